#pragma once
// The shared harness of the waveform readers' fuzz targets. A reader fills a LoadTarget; the
// harness plays the document around it with small capacities:
//
//   - a small store (rows and headers) filled with a sentinel before each run;
//   - the reader into a LoadTarget at a chosen start index, with a UiHost that answers every
//     message (FuzzUiHost);
//   - on success the commit as the document makes it (rows and headers start .. start+n-1);
//
// and checks that
//
//   - the result never exceeds the room the target gave, and no target row beyond it was made;
//   - a failure (result <= 0) leaves the store exactly as before;
//   - rows and headers outside [start, start + n) keep the sentinel;
//   - every committed sample is finite, every sample count lies in [0, MAX_SAMPLE], and (unless
//     switched off) nothing beyond a trace's count is non-zero;
//   - two runs over stores with different sentinels commit the same traces, bit for bit.
//
// A broken rule aborts with a line on stderr, which libFuzzer reports as a crash.
//
//     extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
//         velk::fuzzing::CheckReader({data, size}, {}, 0, [](auto& source, auto& target, auto& ctx) {
//             return velk::ReadSomething(source, target, ctx);
//         });
//         return 0;
//     }

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/trace_header.h"
#include "base/waveform_store.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "platform/byte_io.h"
#include "platform/uihost.h"

namespace velk::fuzzing {

[[noreturn]] inline void Fail(const char* rule)
{
    std::fprintf(stderr, "reader harness: %s\n", rule);
    std::abort();
}

inline void Require(bool condition, const char* rule)
{
    if (!condition) Fail(rule);
}

// Answers every message with its default, every dialog through `dialogs` (Cancel when unset),
// every file-open dialog with `openPath` (Cancel when unset); counts the messages.
class FuzzUiHost : public NullUiHost {
public:
    std::optional<std::string> openPath;
    std::function<bool(DialogRequest&)> dialogs;
    int messages = 0;

protected:
    MsgResult DoMessage(const MessageRequest& request) override
    {
        ++messages;
        return NullUiHost::DoMessage(request);
    }
    std::optional<std::string> DoOpenFile(const FileRequest&) override { return openPath; }
    bool DoRunDialog(DialogRequest& request) override { return dialogs ? dialogs(request) : false; }
};

struct HarnessLimits {
    int maxTraces = 6;
    int maxSample = 40;
    bool zeroBeyondCount = true;  // a trace's row is zero beyond its sample count
};

using ReaderUnderTest = std::function<int(ByteSource& source, LoadTarget& target, FormatContext& ctx)>;

// What one run committed: rows and headers of the whole small store.
struct Committed {
    int result = 0;
    std::vector<float> rows;  // maxTraces x rowLength
    std::vector<CTraceHeader> headers;
    std::vector<CTraceHeaderEx> records;
};

inline CTraceHeader SentinelHeader(float sentinel)
{
    CTraceHeader h;
    const int32_t w = static_cast<int32_t>(sentinel);
    h.Set(w, w, w, w, w, sentinel, sentinel, w);
    return h;
}

inline bool SameBits(const void* a, const void* b, size_t n) { return std::memcmp(a, b, n) == 0; }

// One run over a store filled with `sentinel`.
inline Committed RunOnce(std::span<const uint8_t> data, const HarnessLimits& limits, int start, float sentinel,
                         const ReaderUnderTest& read)
{
    const int rowLength = StoreRowLength(limits.maxSample);
    const size_t traces = static_cast<size_t>(limits.maxTraces);
    Committed c;
    c.rows.assign(traces * static_cast<size_t>(rowLength), sentinel);
    c.headers.assign(traces, SentinelHeader(sentinel));
    CTraceHeaderEx ex;
    static_cast<CTraceHeader&>(ex) = SentinelHeader(sentinel);
    ex.x = ex.y = ex.latitude = ex.longitude = sentinel;
    c.records.assign(traces, ex);
    const Committed before = c;

    start = start < 0 ? 0 : start > limits.maxTraces ? limits.maxTraces : start;
    LoadTarget target(start, limits.maxTraces - start, rowLength, limits.maxSample);
    FuzzUiHost ui;
    FormatContext ctx{ui, kLanguageEnglish, NullLog()};
    ByteSource source = ByteSource::FromSpan(data);
    c.result = read(source, target, ctx);

    Require(c.result <= target.Capacity(), "the reader claims more traces than the room it was given");
    if (c.result <= 0) {
        Require(SameBits(c.rows.data(), before.rows.data(), c.rows.size() * sizeof(float)) &&
                    SameBits(c.headers.data(), before.headers.data(), c.headers.size() * sizeof(CTraceHeader)),
                "a failed read changed the store");
        return c;
    }
    for (int k = c.result; k < target.Capacity(); ++k)
        Require(!target.HasRow(k), "the reader made a row beyond the traces it reports");

    // The commit, as the document makes it.
    for (int k = 0; k < c.result; ++k) {
        const size_t i = static_cast<size_t>(start + k);
        c.headers[i] = target.HeaderAt(k);
        c.records[i] = target.HeaderExAt(k);
        float* row = &c.rows[i * static_cast<size_t>(rowLength)];
        const std::span<const float> got = target.RowIfAny(k);
        for (int s = 0; s < rowLength; ++s) row[s] = got.empty() ? 0.0f : got[static_cast<size_t>(s)];
    }

    const size_t rowBytes = static_cast<size_t>(rowLength) * sizeof(float);
    for (size_t i = 0; i < traces; ++i) {
        const float* row = &c.rows[i * static_cast<size_t>(rowLength)];
        const bool inside = static_cast<int>(i) >= start && static_cast<int>(i) < start + c.result;
        if (!inside) {
            Require(SameBits(row, &before.rows[i * static_cast<size_t>(rowLength)], rowBytes),
                    "a row outside [start, start + traces) lost its sentinel");
            Require(SameBits(&c.headers[i], &before.headers[i], sizeof(CTraceHeader)),
                    "a header outside [start, start + traces) lost its sentinel");
            continue;
        }
        const int n = c.headers[i].samples;
        Require(n >= 0 && n <= limits.maxSample, "a sample count outside [0, MAX_SAMPLE]");
        for (int s = 0; s < rowLength; ++s) {
            Require(std::isfinite(row[s]), "a sample that is not finite");
            if (limits.zeroBeyondCount && s >= n) Require(row[s] == 0.0f, "a non-zero sample beyond the trace's count");
        }
    }
    return c;
}

// Two runs with different sentinels: both must pass RunOnce and commit the same traces.
inline int CheckReader(std::span<const uint8_t> data, const HarnessLimits& limits, int start,
                       const ReaderUnderTest& read)
{
    const Committed a = RunOnce(data, limits, start, -7777.0f, read);
    const Committed b = RunOnce(data, limits, start, 31337.0f, read);
    Require(a.result == b.result, "two runs gave different results");
    if (a.result > 0) {
        const int rowLength = StoreRowLength(limits.maxSample);
        for (int k = 0; k < a.result; ++k) {
            const size_t i = static_cast<size_t>(start + k);
            Require(SameBits(&a.rows[i * static_cast<size_t>(rowLength)], &b.rows[i * static_cast<size_t>(rowLength)],
                             static_cast<size_t>(rowLength) * sizeof(float)),
                    "two runs over different sentinels read different samples");
            Require(SameBits(&a.headers[i], &b.headers[i], sizeof(CTraceHeader)),
                    "two runs over different sentinels read different headers");
            Require(SameBits(&a.records[i].latitude, &b.records[i].latitude, 2 * sizeof(float)),
                    "two runs over different sentinels read different positions");
        }
    }
    return a.result;
}

}  // namespace velk::fuzzing
