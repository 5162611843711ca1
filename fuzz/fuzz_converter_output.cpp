// ReadConverterOutput over arbitrary bytes: it reads only complete traces within the target's
// capacities, or refuses the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "formats/load_target.h"
#include "survey/old_eight_header_conversion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    ByteSource file = ByteSource::FromSpan({data, size});
    LoadTarget target(0, 8, 64, 32);
    const int read = ReadConverterOutput(file, target);
    if (read < -1 || read > 8) std::abort();
    for (int k = 0; k < read; ++k) {
        const int n = target.HeaderAt(k).samples;
        if (n < 1 || n > 32) std::abort();
    }
    return 0;
}
