#include "base/display_filter.h"

namespace velk {

void ResetDisplayFilter(DisplayFilterState& state)
{
    state.applied = 0;
    state.highCut = -1.0f;
    state.lowCut = -1.0f;
}

}  // namespace velk
