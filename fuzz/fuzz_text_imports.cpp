// Every text and binary import through the shared reader harness. The first input byte chooses
// the reader, the second its samples per trace (text columns, binary words, Varnel), the third
// Brevik's receiver; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/text_imports.h"
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3) return 0;
    const uint8_t choice = data[0];
    const int m = data[1] % 64;  // 0 is refused, above MAX_SAMPLE is cut
    const float receiver = static_cast<float>(static_cast<int8_t>(data[2])) * 0.5f;
    const std::span<const uint8_t> file(data + 3, size - 3);
    const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
    velk::fuzzing::CheckReader(file, {}, choice % 3, [&](velk::ByteSource&, velk::LoadTarget& target, velk::FormatContext& ctx) {
        velk::TextImport out;
        int read = 0;
        switch ((choice / 3) % 9) {
        case 0: read = velk::ReadTextTraces(text, m, target, ctx, out); break;
        case 1: read = velk::ReadOskerbyFile(text, target, ctx, out); break;
        case 2: read = velk::ReadTextRows(text, target, ctx, out); break;
        case 3: read = velk::ReadMorvathFile(text, target, ctx, out); break;
        case 4: read = velk::ReadLaserDopplerFile(text, target, ctx, out); break;
        case 5: read = velk::ReadBinaryTraces(file, m, target, ctx, out); break;
        case 6: read = velk::ReadBrevikFile(text, receiver, target, ctx, out, {}); break;
        case 7: read = velk::ReadDwmFile(text, target, ctx, out); break;
        default: {
            const std::optional<velk::VarnelHeader> header = velk::ReadVarnelHeader(text);
            if (header) read = velk::ReadVarnelSamples(text, *header, m, target, ctx, out);
            break;
        }
        }
        if (read > 0) {
            velk::fuzzing::Require(out.traces == read, "the import's count and its result differ");
            velk::fuzzing::Require(out.samples >= 0 && out.samples <= target.MaxSample(), "samples beyond MAX_SAMPLE");
        }
        return read;
    });
    return 0;
}
