// The microtremor-array text inputs: the array file of receiver locations, the unused-channel
// text of dialog "2D SPAC" and the source numbers of "MicrotremorArrayData.dat". Whatever the
// text, at most the record's receivers are read and only channels inside the capacity are marked.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/profile.h"
#include "surfacewave/mam_geometry.h"
#include "surfacewave/synthetic_microtremor.h"

namespace {

void Require(bool condition, const char* rule)
{
    if (!condition) {
        std::fprintf(stderr, "array files: %s\n", rule);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const velk::Profile profile = velk::Profile::FromText("");
    velk::CMamGeometry g(profile, 16);
    std::vector<velk::CTraceHeader> headers(8);
    const int read = g.ReadReceiverLocationsText(8, headers, text);
    Require(read >= 0 && read <= 8 && g.receivers.size() == 8, "receiver count");
    g.ParseUnusedChannels(text, nullptr, -1);
    Require(g.usable.size() == 16, "usable flags");
    const std::vector<float> numbers = velk::SyntheticMicrotremor::ParseSourceNumbers(text);
    Require(numbers.size() <= size, "numbers");
    return 0;
}
