// Write -> read of the instrument writers: a record made from the input goes through
// WriteTorvaneOrg, WriteQkOrg, WriteShuttleFile and WriteSuspensionFile and is read back by
// the matching reader. Each writer either refuses the record or gives it back within its
// documented rounding: .ORG trunc(s x 10^0.5) / 10^0.5, QK trunc(s), shuttle and suspension
// round(s) within int16; values the writers had to clamp are counted and not compared.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "formats/org_file.h"
#include "formats/org_variants.h"
#include "fuzz/reader_harness.h"

namespace {

using namespace velk;

struct Record {
    int count = 1;
    int samples = 1;
    float intervalMs = 0.25f;
    Matrix2D<float> rows;
    std::vector<CTraceHeader> headers;
};

Record FromBytes(const uint8_t* data, size_t size)
{
    size_t at = 0;
    auto byte = [&]() -> uint8_t { return at < size ? data[at++] : 0; };
    Record r;
    r.count = byte() % 4 + 1;
    r.samples = byte() % 16 + 1;
    r.intervalMs = static_cast<float>(byte() + 1) * 0.03125f;
    r.rows = Matrix2D<float>(0, r.count - 1, 0, 1023);
    r.headers.resize(static_cast<size_t>(r.count));
    for (int i = 0; i < r.count; ++i) {
        r.headers[static_cast<size_t>(i)].Set(i + 1, i * 100, 0, 0, 1, 0.0f, r.intervalMs * 1000.0f, r.samples);
        for (int k = 0; k < r.samples; ++k) {
            int32_t raw = 0;
            for (int b = 0; b < 4; ++b) raw |= static_cast<int32_t>(byte()) << (8 * b);
            float v = static_cast<float>(raw) / 256.0f;  // finite, with fractions
            if (byte() & 1) v = -v;
            r.rows[i][k] = v;
        }
    }
    return r;
}

template <class Read>
void ReadBack(const std::vector<uint8_t>& bytes, int samples, Read read, LoadTarget& target, int& traces)
{
    fuzzing::FuzzUiHost ui;
    FormatContext ctx{ui, kLanguageEnglish, NullLog()};
    ByteSource source = ByteSource::FromSpan(bytes);
    traces = read(source, target, ctx);
    (void)samples;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Record r = FromBytes(data, size);
    const int rowLength = StoreRowLength(1024);

    {  // .ORG
        ByteSink sink;
        const WriteStatus status = WriteTorvaneOrg(sink, r.rows, r.headers, r.count);
        fuzzing::Require(status.ok, "WriteTorvaneOrg refused a small record");
        LoadTarget target(0, 8, rowLength, 1024);
        int traces = 0;
        ReadBack(sink.Bytes(), r.samples, [](ByteSource& s, LoadTarget& t, FormatContext& c) { return ReadTorvaneOrg(s, t, c); },
                 target, traces);
        fuzzing::Require(traces == r.count, ".ORG: read back another number of traces");
        for (int i = 0; i < r.count; ++i) {
            for (int k = 0; k < r.samples; ++k) {
                const double s = r.rows[i][k];
                if (std::fabs(s * kOrgWrittenGainFactor) >= 2147483647.0) continue;
                const double got = target.RowIfAny(i)[static_cast<size_t>(k)];
                fuzzing::Require(std::fabs(got - s) <= 1.0 / kOrgWrittenGainFactor + std::fabs(s) * 1e-6,
                                 ".ORG: a sample came back outside the rounding of the declared gain");
            }
        }
    }
    {  // QK
        ByteSink sink;
        const WriteStatus status = WriteQkOrg(sink, r.samples, r.intervalMs, r.count, r.rows);
        fuzzing::Require(status.ok, "WriteQkOrg refused a small record");
        LoadTarget target(0, 8, rowLength, 1024);
        int traces = 0;
        ReadBack(sink.Bytes(), r.samples,
                 [](ByteSource& s, LoadTarget& t, FormatContext& c) { return ReadQkOrg(s, t, c).traces; }, target, traces);
        fuzzing::Require(traces == r.count, "QK: read back another number of traces");
        for (int i = 0; i < r.count; ++i) {
            for (int k = 0; k < r.samples; ++k) {
                const double s = r.rows[i][k];
                if (std::fabs(s) >= 2147483647.0) continue;
                fuzzing::Require(target.RowIfAny(i)[static_cast<size_t>(k)] == static_cast<float>(std::round(s)),
                                 "QK: a sample did not come back as its nearest integer");
            }
        }
    }
    {  // the loggers' files: shuttle with a fresh and with a kept header, suspension (below 1 ms)
        ShuttleHeader kept{};
        std::memcpy(kept.data() + 76, "  125", 5);
        const float us = r.intervalMs * 1000.0f;
        for (int layout = 0; layout < 3; ++layout) {
            ByteSink sink;
            const WriteStatus status = layout < 2 ? WriteShuttleFile(sink, 1024, r.intervalMs, r.count, r.rows, layout == 1 ? &kept : nullptr)
                                                  : WriteSuspensionFile(sink, 1024, us, us, r.count, r.rows);
            fuzzing::Require(status.ok == (layout < 2 || us < 999.5f), "a logger writer misjudged what it can write");
            if (!status.ok) continue;
            LoadTarget target(0, 8, rowLength, 1024);
            int traces = 0;
            ReadBack(sink.Bytes(), 1024,
                     [layout](ByteSource& s, LoadTarget& t, FormatContext& c) {
                         ShuttleHeader h{};
                         return layout < 2 ? ReadShuttleFile(s, t, h, c).traces : ReadSuspensionFile(s, t, c).traces;
                     },
                     target, traces);
            fuzzing::Require(traces == r.count, "logger file: read back another number of traces");
            for (int i = 0; i < r.count; ++i) {
                for (int k = 0; k < r.samples; ++k) {
                    const double s = r.rows[i][k];
                    if (std::fabs(s) >= 32767.0) continue;
                    fuzzing::Require(target.RowIfAny(i)[static_cast<size_t>(k)] == static_cast<float>(std::round(s)),
                                     "logger file: a sample did not come back rounded to the nearest");
                }
            }
        }
    }
    return 0;
}
