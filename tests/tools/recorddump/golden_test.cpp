// The golden tests of tests/data: every fixture there is read through recorddump (File > Open
// into a fresh workspace) and the dump must equal its sidecar <file>.expected; a sidecar
// <file>.args holds recorddump options for that file. With VELK_UPDATE_GOLDEN=1 the sidecars
// are written instead, for review in the diff. Every fixture also needs its line in
// tests/data/README.md. And the sample record of data/ must equal its regeneration.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "formats/seg2.h"
#include "platform/byte_io.h"
#include "recorddump/recorddump.h"
#include "recorddump/sample_shot.h"
#include "recorddump/import_file_fixtures.h"
#include "recorddump/instrument_fixtures.h"
#include "recorddump/writer_fixtures.h"
#include "tools/test_support.h"

namespace velk::tools {
namespace {

namespace fs = std::filesystem;
using velk::testing::ReadFileBytes;
using velk::testing::ReadFileText;
using velk::testing::TempFolder;

bool IsFixture(const fs::path& p)
{
    const std::string name = p.filename().string();
    const std::string ext = p.extension().string();
    return fs::is_regular_file(p) && name != "README.md" && ext != ".expected" && ext != ".args" && name[0] != '.';
}

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

bool Updating()
{
    const char* v = std::getenv("VELK_UPDATE_GOLDEN");
    return v && std::string(v) == "1";
}

TEST(Golden, EveryFixtureMatchesItsSidecar)
{
    const fs::path data = VELK_TEST_DATA;
    ASSERT_TRUE(fs::is_directory(data)) << data;
    const std::string readme = ReadFileText((data / "README.md").string());
    std::vector<fs::path> fixtures;
    for (const auto& entry : fs::directory_iterator(data)) {
        if (IsFixture(entry.path())) fixtures.push_back(entry.path());
    }
    std::sort(fixtures.begin(), fixtures.end());
    EXPECT_FALSE(fixtures.empty());
    for (const fs::path& file : fixtures) {
        SCOPED_TRACE(file.filename().string());
        EXPECT_NE(readme.find("`" + file.filename().string() + "`"), std::string::npos)
            << "tests/data/README.md has no line for this fixture";
        DumpOptions options;
        std::string named;
        std::vector<std::string> args;
        const fs::path argsFile = file.string() + ".args";
        if (fs::exists(argsFile)) args = Words(ReadFileText(argsFile.string()));
        args.push_back(file.string());
        std::string error;
        ASSERT_TRUE(ParseDumpArgs(args, options, named, &error)) << error;
        const std::string dump = DumpRecord(file.string(), options);
        const fs::path expected = file.string() + ".expected";
        if (Updating()) {
            velk::testing::WriteFileText(expected.string(), dump);
            continue;
        }
        ASSERT_TRUE(fs::exists(expected)) << "no sidecar; write it with VELK_UPDATE_GOLDEN=1 and review it";
        EXPECT_EQ(dump, ReadFileText(expected.string()));
    }
}

TEST(SampleShot, DataFileEqualsItsRegeneration)
{
    TempFolder folder;
    const std::string fresh = folder.File("sample-shot.sg2");
    std::string error;
    ASSERT_TRUE(WriteSampleShot(fresh, &error)) << error;
    const std::string committed = std::string(VELK_SOURCE_DIR) + "/data/sample-shot.sg2";
    ASSERT_TRUE(fs::exists(committed)) << committed;
    EXPECT_TRUE(ReadFileBytes(fresh) == ReadFileBytes(committed))
        << "data/sample-shot.sg2 differs from its regeneration (see tests/tools/recorddump/sample_shot.h)";
}

TEST(WriterFixtures, DataFilesEqualTheirRegeneration)
{
    const fs::path data = VELK_TEST_DATA;
    std::vector<WriterFixture> all = WriterFixtures();
    for (auto& f : GeneratorFixtures()) all.push_back(std::move(f));
    for (auto& f : InstrumentFixtures()) all.push_back(std::move(f));
    for (auto& f : ImportFileFixtures()) all.push_back(std::move(f));
    for (const WriterFixture& f : all) {
        SCOPED_TRACE(f.name);
        EXPECT_TRUE(ReadFileBytes((data / f.name).string()) == f.bytes)
            << "differs from its regeneration (see tests/tools/recorddump/writer_fixtures.h)";
        const fs::path args = (data / f.name).string() + ".args";
        EXPECT_EQ(fs::exists(args) ? ReadFileText(args.string()) : std::string(), f.args.empty() ? "" : f.args + "\n");
    }
}

TEST(SampleShot, OpensAsTheShotItDescribes)
{
    DumpOptions options;
    options.maxPrint = 0;
    const std::string dump = DumpRecord(std::string(VELK_SOURCE_DIR) + "/data/sample-shot.sg2", options);
    EXPECT_NE(dump.find("loaded: yes\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("traces: 24\n"), std::string::npos);
    EXPECT_NE(dump.find("samples per trace: 2000\n"), std::string::npos);
    EXPECT_NE(dump.find("sample interval (ms): 0.25\n"), std::string::npos);
    EXPECT_NE(dump.find("trace 0: 0 0 -250 0 1 0 250 2000 |"), std::string::npos) << dump;
    EXPECT_NE(dump.find("trace 23: 23 11500 -250 0 1 0 250 2000 |"), std::string::npos);

    // The first break: the direct wave near the shot, the head wave far from it.
    const SampleShot shot = MakeSampleShot();
    auto firstBreak = [&](int trace) {
        for (int k = 0; k < SampleShot::kSamples; ++k) {
            if (std::fabs(shot.rows[trace][k]) > 0.05f) return k * 0.25;
        }
        return -1.0;
    };
    EXPECT_GT(firstBreak(0), 0.0);
    EXPECT_LT(firstBreak(0), firstBreak(4));
    EXPECT_LT(firstBreak(4), firstBreak(12));
    EXPECT_LT(firstBreak(12), firstBreak(23));
    EXPECT_LT(firstBreak(23), 120.0) << "far out the head wave arrives long before the direct wave (294 ms)";
}

TEST(SharedFieldRecord, ReadsAsItsReadmeSays)
{
    const std::string path = std::string(VELK_SHARED_DATA) + "/field-shot-24ch.sg2";
    if (!fs::exists(path)) GTEST_SKIP() << "no shared data";
    DumpOptions options;
    options.maxPrint = 0;
    const std::string dump = DumpRecord(path, options);
    EXPECT_NE(dump.find("loaded: yes\n"), std::string::npos) << dump.substr(0, 2000);
    EXPECT_NE(dump.find("traces: 24\n"), std::string::npos);
    EXPECT_NE(dump.find("samples per trace: 4000\n"), std::string::npos);
    EXPECT_NE(dump.find("sample interval (ms): 0.25\n"), std::string::npos);
    for (int i = 0; i < 24; ++i) {
        const std::string words = " " + std::to_string(i * 500) + " 2750 ";
        const std::string line = "trace " + std::to_string(i) + ": ";
        const size_t at = dump.find(line);
        ASSERT_NE(at, std::string::npos) << line;
        EXPECT_NE(dump.substr(at, dump.find('\n', at) - at).find(words), std::string::npos) << i;
    }
}

TEST(RecordDump, OptionsAndScriptedAnswers)
{
    DumpOptions options;
    std::string file;
    std::string error;
    EXPECT_TRUE(ParseDumpArgs({"--max-traces", "2", "--answer", "cancel", "--dialog", "CSourceReceiverLocationDlg:Location=#1",
                               "--cancel-dialog", "X", "--japanese", "a.sg2"},
                              options, file, &error));
    EXPECT_EQ(options.maxTraces, 2);
    EXPECT_EQ(options.language, 1);
    EXPECT_EQ(options.answers, std::vector<std::string>{"cancel"});
    EXPECT_EQ(options.dialogs, (std::vector<std::string>{"CSourceReceiverLocationDlg:Location=#1", "!X"}));
    EXPECT_EQ(file, "a.sg2");
    EXPECT_FALSE(ParseDumpArgs({"--bogus", "a"}, options, file, &error));
    EXPECT_EQ(error, "unknown option --bogus");
    EXPECT_FALSE(ParseDumpArgs({"--max-traces"}, options, file, &error));
    EXPECT_FALSE(ParseDumpArgs({}, options, file, &error));

    // A missing file: the document's message, nothing loaded.
    const std::string dump = DumpRecord("/nonexistent/x.sg2", DumpOptions{});
    EXPECT_NE(dump.find("message: \"Cannot open the file\\n\\n/nonexistent/x.sg2\" -> OK\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("loaded: no\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("traces: 0\n"), std::string::npos) << dump;
}

}  // namespace
}  // namespace velk::tools
