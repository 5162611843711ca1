// The array file of receiver locations, read, saved ("Save array file") and read back: whatever
// text reads saves to a text from which every receiver held reads back with the same position
// (as the file stores it), and saving that again gives the same text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"
#include "surfacewave/mam_geometry.h"

namespace {

void Require(bool condition, const char* rule)
{
    if (!condition) {
        std::fprintf(stderr, "array file round trip: %s\n", rule);
        std::abort();
    }
}

constexpr int kTraces = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const velk::Profile profile = velk::Profile::FromText("");
    const std::vector<velk::CTraceHeader> headers(kTraces);
    velk::CMamGeometry read(profile, 16);
    read.ReadReceiverLocationsText(kTraces, headers, text);
    const std::string saved = velk::CMamGeometry::ReceiverLocationsText(kTraces, read.receivers);

    velk::CMamGeometry back(profile, 16);
    Require(back.ReadReceiverLocationsText(kTraces, headers, saved) == kTraces, "a saved receiver does not read back");
    Require(velk::CMamGeometry::ReceiverLocationsText(kTraces, back.receivers) == saved,
            "save, read and save again changed the text");
    return 0;
}
