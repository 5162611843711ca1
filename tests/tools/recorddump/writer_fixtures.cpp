#include "recorddump/writer_fixtures.h"

#include <functional>

#include "base/matrix2d.h"
#include "base/trace_header.h"
#include "formats/seg2.h"
#include "platform/byte_io.h"
#include "seg2_fixture_writer.h"

namespace velk::tools {

namespace {

// One trace of a fixture: its header, its extended record and its samples.
struct FixtureTrace {
    CTraceHeader header;
    CTraceHeaderEx record;
    std::vector<float> samples;
};

std::vector<uint8_t> Write(const std::vector<FixtureTrace>& traces, int code, float scale, bool withRecords)
{
    const int n = static_cast<int>(traces.size());
    size_t longest = 1;
    for (const FixtureTrace& t : traces) longest = std::max(longest, t.samples.size());
    Matrix2D<float> rows(0, n - 1, 0, static_cast<int>(longest) - 1);
    std::vector<CTraceHeader> headers;
    std::vector<CTraceHeaderEx> records;
    for (int i = 0; i < n; ++i) {
        const FixtureTrace& t = traces[static_cast<size_t>(i)];
        headers.push_back(t.header);
        records.push_back(t.record);
        for (size_t k = 0; k < t.samples.size(); ++k) rows[i][static_cast<int>(k)] = t.samples[k];
    }
    ByteSink sink;
    WriteSeg2(sink, rows, headers, n, code, scale, withRecords ? std::span<const CTraceHeaderEx>(records)
                                                                : std::span<const CTraceHeaderEx>());
    return sink.Bytes();
}

FixtureTrace Trace(int32_t receiver, int32_t source, int component, float delayUs, float intervalUs,
                   std::vector<float> samples)
{
    FixtureTrace t;
    t.header.Set(0, receiver, source, 0, component, delayUs, intervalUs, static_cast<int32_t>(samples.size()));
    t.samples = std::move(samples);
    return t;
}

std::vector<float> Ramp(int n, float first, float step)
{
    std::vector<float> v(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) v[static_cast<size_t>(k)] = first + step * static_cast<float>(k);
    return v;
}

}  // namespace

std::vector<WriterFixture> WriterFixtures()
{
    std::vector<WriterFixture> all;

    all.push_back({"writer-float-2tr.sg2", "",
                   "2 float traces of 3 and 5 samples (delay -2 ms, receivers 12.5 and 15 m, source -2.3 m, "
                   "0.25 ms), written by WriteSeg2 code 4",
                   Write({Trace(1250, -230, 1, -2000.0f, 250.0f, {0.5f, -1.25f, 3.0e-8f}),
                          Trace(1500, -230, 1, -2000.0f, 250.0f, {1.0f, 2.0f, -3.0f, 4.5f, -1e30f})},
                         4, 1.0f, false)});

    all.push_back({"writer-int32-peak.dat", "",
                   "3 traces written as int32 (code 2) scaled by the peak 2.0: samples read back as integers",
                   Write({Trace(0, 0, 1, 0.0f, 1000.0f, {2.0f, 1.0f, -2.0f, 0.25f}),
                          Trace(100, 0, 1, 0.0f, 1000.0f, {0.0f, -1.0f, 0.5f, 1e-9f}),
                          Trace(200, 0, 1, 0.0f, 1000.0f, {1.5f, 1.5f, 1.5f, 1.5f})},
                         2, 2.0f, false)});

    {
        std::vector<FixtureTrace> traces{Trace(-250, 500, 3, 1500.0f, 125.0f, Ramp(6, 0.0f, 0.5f)),
                                         Trace(250, 500, 3, 1500.0f, 125.0f, Ramp(6, 1.0f, -0.5f))};
        traces[0].record.latitude = 35.6812f;
        traces[0].record.longitude = 139.7671f;
        traces[1].record.latitude = -33.8568f;
        traces[1].record.longitude = 151.2153f;
        all.push_back({"writer-latlon.sg2", "",
                       "2 traces with LATITUDE/LONGITUDE strings, component 3, delay 1.5 ms, receivers -2.5 and 2.5 m",
                       Write(traces, 4, 1.0f, true)});
    }

    all.push_back({"writer-too-many-traces.sg2", "--max-traces 2",
                   "3 traces read with MAXTRACES 2: the \"Only 2 traces has been read !\" message, 2 traces",
                   Write({Trace(0, 0, 1, 0.0f, 500.0f, {1.0f}), Trace(100, 0, 1, 0.0f, 500.0f, {2.0f}),
                          Trace(200, 0, 1, 0.0f, 500.0f, {3.0f})},
                         4, 1.0f, false)});

    all.push_back({"writer-too-many-samples.sg2", "--max-sample 8",
                   "2 traces of 12 samples read with MAX_SAMPLE 8: the truncation message once, 8 samples each",
                   Write({Trace(0, 0, 1, 0.0f, 500.0f, Ramp(12, 0.0f, 1.0f)),
                          Trace(100, 0, 1, 0.0f, 500.0f, Ramp(12, 100.0f, 1.0f))},
                         4, 1.0f, false)});

    all.push_back({"writer-repeated.sg2", "",
                   "3 traces at one receiver and source: the \"Source and receiver location\" question, answered "
                   "with its preset (receivers 0, 1, 2 m)",
                   Write({Trace(700, 100, 1, 0.0f, 500.0f, {1.0f}), Trace(700, 100, 1, 0.0f, 500.0f, {2.0f}),
                          Trace(700, 100, 1, 0.0f, 500.0f, {3.0f})},
                         4, 1.0f, false)});

    all.push_back({"writer-repeated-use.sg2", "--dialog CSourceReceiverLocationDlg:Location=#1",
                   "the same record, answered \"Use locations in trace header\"",
                   Write({Trace(700, 100, 1, 0.0f, 500.0f, {1.0f}), Trace(700, 100, 1, 0.0f, 500.0f, {2.0f}),
                          Trace(700, 100, 1, 0.0f, 500.0f, {3.0f})},
                         4, 1.0f, false)});

    all.push_back({"shot-new.dat", "",
                   "a SEG-2 record whose name contains \"ew.dat\": classified by its content as SEG-2, not as a "
                   "three-component file",
                   Write({Trace(300, 0, 1, 0.0f, 250.0f, {7.0f, 8.0f}), Trace(100, 0, 1, 0.0f, 250.0f, {5.0f, 6.0f})},
                         4, 1.0f, false)});

    all.push_back({"writer-coherence.coh", "",
                   "a SEG-2 record named \".coh\": record kind 2 (coherence)",
                   Write({Trace(100, 0, 1, 0.0f, 1000.0f, {0.25f, 0.5f})}, 4, 1.0f, false)});

    all.push_back({"writer-no-interval.sg2", "",
                   "SAMPLE_INTERVAL 0: \"Unknown file format\", nothing loaded",
                   Write({Trace(0, 0, 1, 0.0f, 0.0f, {1.0f, 2.0f})}, 4, 1.0f, false)});

    // Damaged copies of writer-float-2tr.sg2: each is refused with a message, nothing loaded.
    const std::vector<uint8_t> good = all.front().bytes;
    auto damaged = [&](const char* name, const char* description, const std::function<void(std::vector<uint8_t>&)>& harm) {
        std::vector<uint8_t> bytes = good;
        harm(bytes);
        all.push_back({name, "", description, std::move(bytes)});
    };
    damaged("bad-big-endian.sg2", "writer-float-2tr.sg2 with the file ID swapped to 3A 55 (big-endian): refused",
            [](std::vector<uint8_t>& b) { std::swap(b[0], b[1]); });
    damaged("bad-truncated.sg2", "writer-float-2tr.sg2 cut inside the second trace's samples: refused",
            [](std::vector<uint8_t>& b) { b.resize(b.size() - 8); });
    damaged("bad-pointer.sg2", "writer-float-2tr.sg2 with the second trace pointer beyond the end of the file: refused",
            [](std::vector<uint8_t>& b) {
                b[36] = 0x00;
                b[37] = 0xF0;
                b[38] = 0xFF;
                b[39] = 0x00;
            });
    damaged("bad-trace-id.sg2", "writer-float-2tr.sg2 whose first trace block does not start with 22 44: refused",
            [](std::vector<uint8_t>& b) {
                const size_t p = b[32] | (b[33] << 8) | (b[34] << 16) | (static_cast<size_t>(b[35]) << 24);
                b[p] = 0;
                b[p + 1] = 0;
            });
    return all;
}

std::vector<WriterFixture> GeneratorFixtures()
{
    std::vector<WriterFixture> all;
    for (auto& f : velk::testing::seg2fixture::StandardFixtures()) {
        all.push_back({f.name, "", f.description + " (seg2_fixture_writer)", std::move(f.bytes)});
    }
    return all;
}

}  // namespace velk::tools
