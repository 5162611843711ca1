// Feeds arbitrary bytes to the trace-header binary reader, then writes every record read as
// text and binary. A complete record must write back to the very bytes it came from, and a
// short one must report exactly the bytes that were left and keep its unread words.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "base/trace_header.h"
#include "platform/byte_io.h"

namespace {
void Require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

// Word-by-word bit equality (NaN payloads included).
bool SameBits(const velk::CTraceHeader& a, const velk::CTraceHeader& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    velk::ByteSource source = velk::ByteSource::FromSpan(std::span<const uint8_t>(data, size));
    size_t offset = 0;
    for (;;) {
        const size_t left = size - offset;
        velk::CTraceHeaderEx header;
        header.x = 1.0f;
        const velk::CTraceHeaderEx before = header;
        const size_t got = header.ReadBinary(source);
        Require(got == (left < 32 ? left : 32));
        Require(header.x == before.x && header.y == before.y &&
                header.latitude == before.latitude && header.longitude == before.longitude);

        velk::ByteSink text;
        Require(header.WriteText(text) == 1);
        Require(text.Ok() && !text.Bytes().empty() && text.Bytes().back() == '\n');

        velk::ByteSink binary;
        Require(header.WriteBinary(binary) == 1);
        Require(binary.Bytes().size() == 32);
        if (got == 32) {
            Require(std::memcmp(binary.Bytes().data(), data + offset, 32) == 0);
            // And back again, bit for bit.
            velk::ByteSource again = velk::ByteSource::FromSpan(binary.Bytes());
            velk::CTraceHeader copy;
            Require(copy.ReadBinary(again) == 32);
            Require(SameBits(copy, header));
        } else {
            // Only whole words were taken from the data; the rest are the defaults.
            const size_t whole = got / 4 * 4;
            Require(std::memcmp(binary.Bytes().data(), data + offset, whole) == 0);
            velk::ByteSink defaults;
            velk::CTraceHeader().WriteBinary(defaults);
            Require(std::memcmp(binary.Bytes().data() + whole, defaults.Bytes().data() + whole,
                                32 - whole) == 0);
            break;
        }
        offset += got;
    }
    return 0;
}
