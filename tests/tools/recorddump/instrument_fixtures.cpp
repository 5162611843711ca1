#include "recorddump/instrument_fixtures.h"

#include "formats/eight_header.h"
#include "formats/org_file.h"
#include "formats/org_variants.h"
#include "instrument_fixture_writer.h"
#include "platform/byte_io.h"

namespace velk::tools {

namespace {

namespace ix = velk::testing::instrumentfixture;
using Bytes = std::vector<uint8_t>;

// Three traces of 5, 8 and 2 samples (receivers -0.5, 0.5 and 1.5 m, source 2.5 m, 0.25 ms).
struct Record {
    Matrix2D<float> rows{0, 2, 0, 1023};
    std::vector<CTraceHeader> headers = std::vector<CTraceHeader>(3);
    Record()
    {
        const int lengths[] = {5, 8, 2};
        for (int i = 0; i < 3; ++i) {
            headers[static_cast<size_t>(i)].Set(i + 1, 100 * i - 50, 250, 6, 1, -1000.0f, 250.0f, lengths[i]);
            for (int k = 0; k < lengths[i]; ++k) rows[i][k] = 1.5f * static_cast<float>(k) - 3.25f * static_cast<float>(i);
        }
    }
};

template <class Write>
Bytes Written(Write write)
{
    ByteSink sink;
    write(sink);
    return sink.Bytes();
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

ix::EightHeaderTrace Trace(int32_t number, int32_t receiver, std::vector<float> samples)
{
    ix::EightHeaderTrace t;
    t.number = number;
    t.receiver = receiver;
    t.source = -100;
    t.component = 2;
    t.delayUs = 500.0f;
    t.intervalUs = 1000.0f;
    t.samples = std::move(samples);
    return t;
}

int Block(int b, int m) { return (b + 1) * 100 - m % 11; }

}  // namespace

std::vector<WriterFixture> InstrumentFixtures()
{
    std::vector<WriterFixture> all;
    const Record r;
    auto add = [&](const char* name, const char* args, const char* description, Bytes bytes) {
        all.push_back({name, args, description, std::move(bytes)});
    };

    // 8-header family.
    add("eight-header-3tr.8hd", "", "3 traces of 5, 8 and 2 samples written by WriteEightHeader (File > Open, code 2)",
        Written([&](ByteSink& s) { return WriteEightHeader(s, r.rows, r.headers, 3); }));
    ix::EightHeaderTrace cut = Trace(2, 100, {1.0f, 2.0f});
    cut.declared = 6;
    add("eight-header-cut.8hd", "", "2 traces, the second declaring 6 samples of which 2 are there: kept with a warning (generator)",
        ix::EightHeaderFile({Trace(1, 0, {0.5f, -0.5f, 0.25f}), cut}));
    ix::EightHeaderTrace negative = Trace(2, 100, {9.0f});
    negative.declared = -4;
    add("eight-header-negative.8hd", "", "trace 2 declares -4 samples: the read ends before it with a warning (generator)",
        ix::EightHeaderFile({Trace(1, 0, {1.0f, 2.0f}), negative}));
    add("eight-header-long.8hd", "--max-sample 8",
        "a trace of 12 samples read with MAX_SAMPLE 8: 8 kept with the capacity message, the next trace read right (generator)",
        ix::EightHeaderFile({Trace(1, 0, std::vector<float>(12, 3.0f)), Trace(2, 100, {4.0f, 5.0f})}));
    add("eight-header-empty.8hd", "", "an empty 8-header file: no trace, nothing loaded (generator)", {});
    ix::EightHeaderTrace oldest = Trace(1, 0, {1.0f, -2.0f, 3.0f});
    oldest.delayUs = 2000.0f;
    oldest.intervalUs = 500.0f;
    oldest.component = 1000;
    add("eight-header-oldest.8hd", "--reader eight-header-oldest",
        "the oldest layout (int32 delay 2000 and interval 500 us, component 1000: seconds) (generator)",
        ix::EightHeaderFile({oldest, Trace(2, 100, {4.0f})}, true));
    add("eight-header-text.txt", "--reader eight-header-text",
        "the text form of 2 traces (\"Open 8 header file (text format, FD results)\") (generator)",
        Text(ix::EightHeaderText({Trace(1, 1000, {0.5f, 1.5f}), Trace(2, 2000, {-4.0f, 1.0f, 2.0f})})));

    // .ORG and its relatives.
    add("org-3tr.ORG", "", "3 traces written by WriteTorvaneOrg: samples x 10^0.5 stored, divided by the 10 dB gain on reading (File > Open, code 1)",
        Written([&](ByteSink& s) { return WriteTorvaneOrg(s, r.rows, r.headers, 3); }));
    ix::OrgRecord o;
    o.model = "002TQ300  ";
    o.width = 2;
    o.intervalMs = "0.125";
    o.delayMs = "-0002.500";
    o.gainsDb = {"20", "0"};
    o.data = {{10, -20, 30, 40}, {1, 2, 3, 4}, {-7, 8, 9, 10}, {5, 6, 7, 8}};
    add("org-16bit.ORG", "", "a 16-bit \"TQ\" record of 2 channels (gains 20 and 0 dB) and the two extra traces (generator)",
        ix::OrgFile(o));
    o.model = "001Tq470FP";
    o.width = 4;
    o.cutBytes = 4 * 4 + 6;
    add("org-cut.ORG", "", "a 32-bit record cut inside trace 3: 2 traces with a warning (generator)", ix::OrgFile(o));

    add("torvane9.txt", "--reader torvane9 --max-print 8",
        "a Torvane9 text of 3 x 990 values, ranges \" 10k\", 1000, 500, interval 250 us (generator)",
        Text(ix::Torvane9Text(" 10k", "1000", " 500", 250, 2970)));
    ix::OrgRecord qk;
    qk.channels = "2";
    qk.samples = "3";
    qk.intervalMs = "0.125";
    qk.gainsDb = {"20", "20"};
    qk.data = {{1, -2, 3}, {4, 5, 6}, {-7, 8, 9}};
    add("qk-gen.ORG", "--reader qk", "a QK record of 2 channels and the extra trace, samples -value (generator)", ix::OrgFile(qk));
    add("qk-writer.ORG", "--reader qk", "3 traces written by WriteQkOrg (8 samples, 0.125 ms), read back",
        Written([&](ByteSink& s) { return WriteQkOrg(s, 8, 0.125f, 3, r.rows); }));
    ix::OrgRecord o470 = qk;
    o470.model = "001TQ470  ";
    o470.width = 2;
    o470.gainsDb = {"20", "0"};
    o470.data = {{100, -50, 10}, {3, 4, 5}};
    add("qk-470.ORG", "--reader 470", "a 470 record: int16 samples, -value / gain factor (generator)", ix::OrgFile(o470));
    add("shuttle-gen.ORG", "--reader shuttle --max-print 8", "a shuttle file of 3 blocks, interval \"  500\" (generator)",
        ix::ShuttleFile("  500", 3, Block));
    add("shuttle-writer.ORG", "--reader shuttle --max-print 8",
        "2 traces written by WriteShuttleFile with a fresh header (0.5 ms), read back",
        Written([&](ByteSink& s) { return WriteShuttleFile(s, 1024, 0.5f, 2, r.rows, nullptr); }));
    add("kesh.bin", "--reader kesh", "a Kesh file of 2 traces of 3 float samples (generator)",
        ix::KeshFile(2, 3, {{1.0f, 2.0f, 3.0f}, {-4.0f, 5.0f, 6.0f}}));
    add("suspension.ORG", "--reader suspension --max-print 4",
        "a suspension file of 6 blocks, intervals A 500 and B 250: B on traces 3 and 6 (generator)",
        ix::SuspensionFile("500", "250", 6, Block));
    return all;
}

}  // namespace velk::tools
