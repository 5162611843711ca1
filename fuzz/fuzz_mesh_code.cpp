// MeshCodeToLatLon over any text: the south-west corner of a cell inside the code's range,
// and the component rule of file names.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "formats/strong_motion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    double latitude = -1.0, longitude = -1.0;
    velk::MeshCodeToLatLon(text, latitude, longitude);
    // Two digits x 2/3 plus the finer cells: 0 .. 66 + 9/12 + 9/120; 100 .. 199 + 9/8 + 9/80.
    if (!(latitude >= 0.0 && latitude <= 66.0 + 0.75 + 0.075 + 1e-9 && longitude >= 100.0 &&
          longitude <= 199.0 + 1.125 + 0.1125 + 1e-9)) {
        std::fprintf(stderr, "mesh code: position outside the code's range\n");
        std::abort();
    }
    std::string label;
    const int component = velk::ComponentFromName(text, label);
    if (component < 0 || component > 6 || (component == 0) != label.empty()) {
        std::fprintf(stderr, "mesh code: component and label disagree\n");
        std::abort();
    }
    return 0;
}
