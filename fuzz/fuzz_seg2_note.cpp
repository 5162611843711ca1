// ParseSeg2Note over arbitrary text: it stays inside the text (the input buffer has exactly its
// size, so AddressSanitizer sees any read past it) and gives finite positions or none.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/seg2.h"
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    double latitude = 12345.0, longitude = 12345.0;
    const bool found = velk::ParseSeg2Note(std::string_view(reinterpret_cast<const char*>(data), size), latitude, longitude);
    if (found) {
        velk::fuzzing::Require(std::isfinite(latitude) && std::isfinite(longitude), "a position that is not finite");
    } else {
        velk::fuzzing::Require(latitude == 12345.0 && longitude == 12345.0, "a position written without a complete pair");
    }
    return 0;
}
