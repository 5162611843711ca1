// ReadSeg2Headers over arbitrary bytes: the count stays within the room, headers outside it keep
// their sentinel, every sample count lies in [0, MAX_SAMPLE].
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/seg2.h"
#include "fuzz/reader_harness.h"

namespace fz = velk::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr int kMaxTraces = 6;
    constexpr int kMaxSample = 40;
    for (int start : {0, 4}) {
        const velk::CTraceHeader sentinel = fz::SentinelHeader(-7777.0f);
        std::vector<velk::CTraceHeader> headers(kMaxTraces, sentinel);
        std::vector<velk::CTraceHeaderEx> records(kMaxTraces);
        fz::FuzzUiHost ui;
        velk::FormatContext ctx{ui, velk::kLanguageEnglish, velk::NullLog()};
        velk::ByteSource source = velk::ByteSource::FromSpan({data, size});
        const int n = velk::ReadSeg2Headers(source, headers, records, start, kMaxSample, ctx);
        fz::Require(n <= kMaxTraces - start, "more headers than the room");
        for (int i = 0; i < kMaxTraces; ++i) {
            const bool inside = n > 0 && i >= start && i < start + n;
            if (!inside) {
                fz::Require(fz::SameBits(&headers[i], &sentinel, sizeof sentinel), "a header outside the read changed");
                continue;
            }
            fz::Require(headers[i].samples >= 0 && headers[i].samples <= kMaxSample, "a sample count outside [0, MAX_SAMPLE]");
            fz::Require(headers[i].traceNumber == i, "a trace number that is not the index");
        }
    }
    return 0;
}
