// Both memory-recorder readers through the shared reader harness. The first input byte chooses
// the reader and how "Check # of headers" is answered (the computed count, a count from the
// input, or Cancel); the rest is the file.
#include <cstddef>
#include <cstdint>

#include "formats/memory_recorder.h"
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    const uint8_t choice = data[0];
    const uint8_t count = data[1];
    const std::span<const uint8_t> file(data + 2, size - 2);
    velk::fuzzing::CheckReader(file, {}, choice % 4, [&](velk::ByteSource& source, velk::LoadTarget& target, velk::FormatContext& ctx) {
        auto& ui = static_cast<velk::fuzzing::FuzzUiHost&>(ctx.ui);
        ui.dialogs = [&](velk::DialogRequest& request) {
            switch (choice & 3) {
            case 0: return true;  // the computed count
            case 1: return request.SetFromText("Headers", std::to_string(count)).empty();
            default: return false;
            }
        };
        velk::MemoryRecorderRead out;
        const int result = (choice & 4) ? velk::ReadHioki8826(source, target, ctx, out) : velk::ReadHioki8840(source, target, ctx, out);
        if (result != 1) return 0;
        velk::fuzzing::Require(out.traces > 0 && out.traces <= target.Capacity(), "channels read outside the room");
        velk::fuzzing::Require(out.samples >= 0 && out.samples <= target.MaxSample(), "samples beyond MAX_SAMPLE");
        return out.traces;
    });
    return 0;
}
