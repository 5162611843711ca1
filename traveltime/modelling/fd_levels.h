#pragma once
// The time levels of the finite-difference fields. Each level is swept once per time step, by
// all threads at once, so large grids get large pages (see platform/large_pages.h).

#include <array>
#include <vector>

#include "platform/large_pages.h"

namespace velk {

using FdLevel = std::vector<double, LargePageAllocator<double>>;
using FdLevels = std::array<FdLevel, 3>;

}  // namespace velk
