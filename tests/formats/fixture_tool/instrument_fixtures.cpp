// Writes the seeds of the fuzz corpora of the 8-header and instrument-file readers: files of our
// own writers and of the test-only generator (instrument_fixture_writer.h), each into the
// corpus folder of the targets that read it:
//
//     build/tests/formats/instrument_fixtures fuzz/corpus
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "formats/eight_header.h"
#include "formats/org_file.h"
#include "formats/org_variants.h"
#include "instrument_fixture_writer.h"
#include "platform/byte_io.h"

namespace {

namespace fs = std::filesystem;
namespace ix = velk::testing::instrumentfixture;
using Bytes = std::vector<uint8_t>;

int failures = 0;

void Save(const fs::path& folder, const std::string& name, const Bytes& bytes)
{
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) ++failures;
}

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A record of our writers: 3 traces of 5, 8 and 2 samples.
struct Record {
    velk::Matrix2D<float> rows{0, 2, 0, 1023};
    std::vector<velk::CTraceHeader> headers = std::vector<velk::CTraceHeader>(3);
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
    velk::ByteSink sink;
    const velk::WriteStatus status = write(sink);
    if (!status) {
        std::fprintf(stderr, "instrument_fixtures: %s\n", status.error.c_str());
        ++failures;
    }
    return sink.Bytes();
}

int Block(int b, int m) { return (b + 1) * 100 - m % 11; }

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: instrument_fixtures <fuzz corpus folder>\n");
        return 2;
    }
    const fs::path corpus = argv[1];
    const Record r;

    // 8-header family.
    const Bytes written8 = Written([&](velk::ByteSink& s) { return velk::WriteEightHeader(s, r.rows, r.headers, 3); });
    ix::EightHeaderTrace t;
    t.number = 1;
    t.intervalUs = 500.0f;
    t.samples = {1.0f, -2.0f, 3.0f, 4.0f};
    ix::EightHeaderTrace cut = t;
    cut.declared = 9;
    ix::EightHeaderTrace negative = t;
    negative.declared = -3;
    for (const char* target : {"eight_header_read", "eight_header_old"}) {
        Save(corpus / target, "writer-3tr.8hd", written8);
        Save(corpus / target, "gen-cut.8hd", ix::EightHeaderFile({t, cut}));
        Save(corpus / target, "gen-negative.8hd", ix::EightHeaderFile({t, negative, t}));
    }
    Save(corpus / "eight_header_old", "gen-oldest.8hd", ix::EightHeaderFile({t, t}, true));
    Save(corpus / "eight_header_text", "gen-2tr.txt", FromText(ix::EightHeaderText({t, t})));
    Save(corpus / "eight_header_text", "gen-cut.txt", FromText(ix::EightHeaderText({t, cut})));
    Bytes join = {static_cast<uint8_t>(written8.size() & 0xFF), static_cast<uint8_t>(written8.size() >> 8)};
    join.insert(join.end(), written8.begin(), written8.end());
    const Bytes second = ix::EightHeaderFile({t, t, t});
    join.insert(join.end(), second.begin(), second.end());
    Save(corpus / "eight_header_join", "writer-and-gen.bin", join);
    Save(corpus / "eight_header_write_read", "three.bin", Bytes{2, 1, 0, 0, 0, 100, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0,
                                                                1, 0, 0, 0, 0, 0, 128, 63, 0, 0, 250, 67, 3, 0, 0, 0, 3});

    // .ORG and relatives.
    const Bytes org = Written([&](velk::ByteSink& s) { return velk::WriteTorvaneOrg(s, r.rows, r.headers, 3); });
    Save(corpus / "torvane_org", "writer-3tr.ORG", org);
    ix::OrgRecord o;
    o.model = "001TQ300  ";
    o.width = 2;
    o.gainsDb = {"20", "0"};
    o.data = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}};
    Save(corpus / "torvane_org", "gen-16bit.ORG", ix::OrgFile(o));
    o.cutBytes = 3;
    Save(corpus / "torvane_org", "gen-16bit-cut.ORG", ix::OrgFile(o));

    Save(corpus / "logger_files", "gen-torvane9.txt", FromText(ix::Torvane9Text(" 10k", "1000", " 500", 250, 2970)));
    Save(corpus / "org_variants", "writer-qk.ORG",
         Written([&](velk::ByteSink& s) { return velk::WriteQkOrg(s, 8, 0.125f, 3, r.rows); }));
    o.cutBytes = 0;
    o.model = "001TQ470  ";
    Save(corpus / "org_variants", "gen-470.ORG", ix::OrgFile(o));
    Save(corpus / "logger_files", "writer-shuttle.ORG",
         Written([&](velk::ByteSink& s) { return velk::WriteShuttleFile(s, 1024, 0.5f, 2, r.rows, nullptr); }));
    Save(corpus / "org_variants", "gen-kesh.bin", ix::KeshFile(2, 3, {{1.0f, 2.0f, 3.0f}, {4.0f, 5.0f, 6.0f}}));
    Save(corpus / "logger_files", "gen-suspension.ORG", ix::SuspensionFile("500", "250", 3, Block));
    Save(corpus / "org_write_read", "small.bin", Bytes{2, 7, 7, 1, 2, 3, 4, 1, 9, 8, 7, 6, 0, 0, 0, 0x80, 0x7F, 1});
    return failures == 0 ? 0 : 1;
}
