// ReadModuleOutput over arbitrary text: the input up to the first NUL is tmp_header.txt, the
// rest tmp.txt. Whatever it accepts must be within the capacities and complete.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "survey/module_exchange.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const size_t nul = all.find('\0');
    const std::string_view header = all.substr(0, nul);
    const std::string_view values = nul == std::string_view::npos ? std::string_view() : all.substr(nul + 1);
    ModuleOutput out;
    if (ReadModuleOutput(header, values, 16, 64, out)) {
        const bool sane = out.traces >= 1 && out.traces <= 16 && out.samples >= 1 && out.samples <= 64 &&
                          std::isfinite(out.intervalMs) && out.intervalMs > 0.0f &&
                          out.headers.size() == static_cast<size_t>(out.traces) &&
                          out.values.size() == static_cast<size_t>(out.traces) * static_cast<size_t>(out.samples);
        if (!sane) std::abort();
    }
    return 0;
}
