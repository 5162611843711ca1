// The imported formats in the program, headless over the scripted UiHost: SEG-Y through File >
// Open and through "Open SEGY file" against segyio's readings, the question road, capacity,
// append and cut files; the 560QX file through File > Open and its menu road; .DZT and .DAT
// through File > Open; "Open GPR file"; the menu rows.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/position.h"
#include "app/formats/document.h"
#include "app/formats/load_setup.h"
#include "platform/recent_files.h"
#include "app/formats/seg1_segy_gpr_commands.h"
#include "app/workspace.h"
#include "formats/gpr_radar.h"
#include "formats/seg2.h"
#include "formats/segy_reference.h"
#include "platform/profile.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using testing::LoadSegYReference;
using testing::MaxDifference;
using testing::SegYFixture;
using testing::TempFolder;

struct Fixture {
    explicit Fixture(const std::string& profileText = "")
        : profile(Profile::FromText(profileText)), ws(profile, ui), doc(ws)
    {
        ws.startup.language = -1;
        ws.InitForView(folder.Path());
        ws.diagnostics = std::make_shared<NullLogSink>();
        RegisterFileFormats(doc.Formats());
        ui.SetStrict(false);
    }
    CommandContext Context() { return CommandContext{ws, ui, doc, recent, nullptr, nullptr}; }
    std::vector<float> Row(int i) const
    {
        const auto row = ws.store.current.rows.Row(i);
        return std::vector<float>(row.begin(), row.begin() + ws.store.TraceSamples(i));
    }
    const CTraceHeader& H(int i) const { return ws.store.current.headers[static_cast<size_t>(i)]; }
    // The store's traces first .. first + count - 1 against the reference's traces from 0.
    void ExpectReference(const std::string& name, int first = 0)
    {
        const testing::SegYReference ref = LoadSegYReference(name);
        ASSERT_EQ(ws.store.TraceCount() - first, ref.traces) << name;
        EXPECT_FLOAT_EQ(ws.store.Params().sampleInterval, static_cast<float>(ref.intervalUs * 0.001)) << name;
        for (int k = 0; k < ref.traces; ++k)
            EXPECT_EQ(MaxDifference(Row(first + k), ref.data[static_cast<size_t>(k)]), 0.0) << name << " " << k;
    }

    TempFolder folder;
    ScriptedUiHost ui;
    Profile profile;
    Workspace ws;
    CVelkarineDoc doc;
    RecentFileList recent;
};

const char* const kValidSegY[] = {"segy-ibm-be.sgy", "segy-int32-be.sgy", "segy-int16-be.sgy",
                                  "segy-ieee-be-1000x25.sgy", "segy-int8-be.sgy", "segy-ibm-le.sgy",
                                  "segy-ieee-le.sgy", "segy-ext2.sgy", "segy-ext-endtext.sgy",
                                  "segy-bom-le.sgy", "segy-dead.sgy"};

bool Shown(const ScriptedUiHost& ui, const std::string& text)
{
    const auto m = ui.Messages();
    return std::find(m.begin(), m.end(), text) != m.end();
}

// ---------------------------------------------------------------------------------------------
// SEG-Y

TEST(SegYRoads, FileOpenReadsEveryFixtureAsSegyio)
{
    for (const char* name : kValidSegY) {
        Fixture f;
        ASSERT_TRUE(f.doc.LoadRecord(f.ws, SegYFixture(name), f.ui)) << name;
        EXPECT_EQ(f.doc.fileType, kFileSegY);
        f.ExpectReference(name);
        EXPECT_EQ(f.H(1).receiverHundredths, 100);
    }
}

TEST(SegYRoads, OpenSegYReadsEveryFixtureAsSegyioWithTheCommonSetUp)
{
    for (const char* name : kValidSegY) {
        Fixture f;
        const testing::SegYReference ref = LoadSegYReference(name);
        f.ui.AnswerFileOpen(SegYFixture(name));
        CommandContext ctx = f.Context();
        ASSERT_EQ(OpenSegYRecord(ctx), 1) << name;
        f.ExpectReference(name);
        EXPECT_EQ(f.ui.Messages().front(),
                  RecordSummaryMessageMsec(ref.traces, static_cast<float>(ref.intervalUs * 0.001), ref.samples));
        CTraceHeader want;
        want.Set(1, 200, 0, 1, 1, 0.0f, static_cast<float>(ref.intervalUs), ref.samples);
        EXPECT_EQ(f.H(1), want) << name;
        EXPECT_EQ(f.ws.store.Params().plotscale, 50.0f);
        EXPECT_EQ(f.ws.store.Params().hscale, 25.0f);
        EXPECT_EQ(f.doc.fileType, kFileSegY);
    }
}

TEST(SegYRoads, Code0AsksOnBothRoads)
{
    Fixture doc;
    doc.ui.ExpectMessage("Convert to IEEE format ?", MsgButtons::YesNo, MsgResult::Yes);
    ASSERT_TRUE(doc.doc.LoadRecord(doc.ws, SegYFixture("segy-code0.sgy"), doc.ui));
    doc.ExpectReference("segy-code0.sgy");  // Yes on the document road: IBM

    Fixture menu;
    menu.ui.AnswerFileOpen(SegYFixture("segy-code0.sgy"));
    menu.ui.ExpectMessage("Convert to IEEE format ?", MsgButtons::YesNo, MsgResult::No);
    CommandContext ctx = menu.Context();
    ASSERT_EQ(OpenSegYRecord(ctx), 1);
    EXPECT_EQ(menu.ws.store.TraceCount(), 2);
    EXPECT_NE(MaxDifference(menu.Row(0), LoadSegYReference("segy-code0.sgy").data[0]), 0.0);  // int32 words
}

TEST(SegYRoads, TooManyTracesCutFilesAndAppends)
{
    {
        Fixture f;
        ASSERT_TRUE(f.doc.LoadRecord(f.ws, SegYFixture("segy-240tr.sgy"), f.ui));
        EXPECT_EQ(f.ws.store.TraceCount(), 128);
        EXPECT_TRUE(Shown(f.ui, TracesMessage(kLanguageEnglish, kTotalTracesReadMsg, 128)));
    }
    {
        Fixture f;
        ASSERT_TRUE(f.doc.LoadRecord(f.ws, SegYFixture("segy-truncated.sgy"), f.ui));
        f.ExpectReference("segy-truncated.sgy");
        EXPECT_TRUE(Shown(f.ui, " The SEG-Y file ends inside a trace: the incomplete last trace was not read."));
    }
    {  // Ten traces loaded, then the SEG-Y file appended behind them.
        Fixture f;
        Matrix2D<float> rows(0, 9, 0, 3);
        std::vector<CTraceHeader> headers(10);
        for (int i = 0; i < 10; ++i) {
            headers[static_cast<size_t>(i)].Set(i + 1, i * 100, 0, 0, 1, 0.0f, 500.0f, 4);
            for (int k = 0; k < 4; ++k) rows[i][k] = static_cast<float>(i * 10 + k);
        }
        const std::string seg2 = f.folder.File("ten.sg2");
        ASSERT_TRUE(WriteSeg2File(seg2, rows, headers, 10, 4, 1.0f).ok);
        ASSERT_TRUE(f.doc.LoadRecord(f.ws, seg2, f.ui));
        f.ui.AnswerDialog("COpenDataFileDlg", {{"File", "Append to present data"}});
        f.ui.AnswerDialog("CSourceLocationDlg");
        ASSERT_TRUE(f.doc.LoadRecord(f.ws, SegYFixture("segy-ibm-be.sgy"), f.ui));
        for (int i = 0; i < 10; ++i) EXPECT_EQ(f.Row(i), (std::vector<float>{i * 10.0f, i * 10.0f + 1, i * 10.0f + 2, i * 10.0f + 3}));
        f.ExpectReference("segy-ibm-be.sgy", 10);
        EXPECT_EQ(f.H(10).receiverHundredths, 1000);
    }
}

TEST(SegYRoads, NoIntervalIsRefusedOnBothRoads)
{
    const std::vector<uint8_t> good = testing::ReadFileBytes(SegYFixture("segy-ibm-be.sgy"));
    std::vector<uint8_t> bytes = good;
    bytes[3216] = bytes[3217] = 0;
    Fixture f;
    const std::string path = f.folder.File("nointerval.sgy");
    testing::WriteFileBytes(path, bytes);
    EXPECT_FALSE(f.doc.LoadRecord(f.ws, path, f.ui));
    EXPECT_TRUE(Shown(f.ui, kUnknownFileFormat));
    EXPECT_EQ(f.ws.store.TraceCount(), 0);

    f.ui.AnswerFileOpen(path);
    CommandContext ctx = f.Context();
    EXPECT_EQ(OpenSegYRecord(ctx), 0);
    EXPECT_NE(f.ui.Messages().back().find("no sample interval"), std::string::npos);
    EXPECT_EQ(f.ws.store.TraceCount(), 0);
}

// ---------------------------------------------------------------------------------------------
// 560QX

std::vector<uint8_t> Seg1File(int channels, int samples)
{
    std::vector<uint8_t> b(1024, ' ');
    auto put = [&](size_t at, const std::string& text) {
        std::memcpy(&b[at], text.data(), text.size());
        b[at + text.size()] = 13;
    };
    put(31, "TQ560QX");
    put(99, std::to_string(channels));
    put(102, std::to_string(samples));
    put(107, "0.5");
    put(114, "0");
    for (int t = 0; t <= channels; ++t) {
        for (int e = 0; e < samples; ++e) {
            b.push_back(static_cast<uint8_t>(t * 10 + e));
            b.push_back(0);
        }
    }
    return b;
}

TEST(Seg1Roads, FileOpenNamesTheInstrumentAndReads)
{
    Fixture f;
    const std::string path = f.folder.File("shot.dat");
    testing::WriteFileBytes(path, Seg1File(2, 3));
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, path, f.ui));
    EXPECT_EQ(f.ui.Messages().front(), "560QX");
    EXPECT_EQ(f.ws.store.TraceCount(), 3);
    EXPECT_EQ(f.Row(2), (std::vector<float>{20, 21, 22}));
    EXPECT_EQ(f.doc.fileType, kFile560QX);
}

TEST(Seg1Roads, MenuRoadAsksNewOrAppendBeforeTheFile)
{
    Fixture f;
    const std::string path = f.folder.File("shot.dat");
    testing::WriteFileBytes(path, Seg1File(1, 4));
    f.ui.SetStrict(true);
    f.ui.AnswerFileOpen(path);
    CommandContext ctx = f.Context();
    EXPECT_EQ(Open560QXRecord(ctx), 2);
    EXPECT_EQ(f.H(1).intervalUs, 500.0f);

    // With traces loaded: "Open data file" first, then the file, then "Source location etc.".
    f.ui.AnswerDialog("COpenDataFileDlg", {{"File", "Append to present data"}});
    f.ui.AnswerFileOpen(path);
    f.ui.AnswerDialog("CSourceLocationDlg", {{"Source location", "12.5"}});
    EXPECT_EQ(Open560QXRecord(ctx), 4);
    const auto& calls = f.ui.Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[calls.size() - 3].text, "COpenDataFileDlg");
    EXPECT_EQ(calls[calls.size() - 2].kind, UiCallKind::OpenFile);
    EXPECT_EQ(f.H(3).sourceHundredths, 1250);
    EXPECT_EQ(f.H(0).sourceHundredths, 0);
    EXPECT_EQ(f.doc.fileType, kFile560QX);
}

// ---------------------------------------------------------------------------------------------
// .DZT and .DAT through File > Open

TEST(GprAndDatRoads, DztThroughFileOpen)
{
    Fixture f;
    std::vector<uint8_t> b(1024, 0);
    b[4] = 2;
    b[6] = 8;
    const float v = 50.0f;
    std::memcpy(&b[16], &v, 4);
    for (int i = 0; i < 6; ++i) b.push_back(static_cast<uint8_t>(128 + i));
    const std::string path = f.folder.File("line.dzt");
    testing::WriteFileBytes(path, b);
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, path, f.ui));
    EXPECT_EQ(f.ui.Messages().front(), "# of traces=3 # of samples=2 bits=8 Trace spacing=0.020000 50.000000 0.000000");
    EXPECT_EQ(f.ws.store.TraceCount(), 3);
    EXPECT_EQ(f.H(2).receiverHundredths, 4);
    EXPECT_EQ(f.Row(2), (std::vector<float>{4, 5}));
}

TEST(GprAndDatRoads, DatThroughFileOpen)
{
    Fixture f;
    const std::string path = f.folder.File("stNS.DAT");
    testing::WriteFileText(path, "0 1\n0.01 3\n");
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, path, f.ui));
    EXPECT_EQ(f.doc.fileType, kFileThreeComponentDat);
    EXPECT_EQ(f.H(0).component, 1);
    EXPECT_FLOAT_EQ(f.ws.store.Params().sampleInterval, 10.0f);
    EXPECT_EQ(f.Row(0), (std::vector<float>{-0.01f, 0.01f}));

    // One sample: no interval, "Unknown file format", the store as it was.
    const std::string one = f.folder.File("oneNS.DAT");
    testing::WriteFileText(one, "0 1\n");
    f.ui.AnswerDialog("COpenDataFileDlg");
    EXPECT_FALSE(f.doc.LoadRecord(f.ws, one, f.ui));
    EXPECT_EQ(f.ui.Messages().back(), kUnknownFileFormat);
    EXPECT_EQ(f.ws.store.TraceCount(), 1);
    EXPECT_EQ(f.Row(0), (std::vector<float>{-0.01f, 0.01f}));
}

TEST(GprAndDatRoads, OpenGprSetsUpTheRadarRecord)
{
    Fixture f;
    const std::string path = f.folder.File("radar.txt");
    testing::WriteFileText(path, "3 0 0.001 0 1 0 W 0 1 2 3\n3 0 0.001 0 1 0 W 0 4 5 6\n");
    f.ui.AnswerFileOpen(path);
    CommandContext ctx = f.Context();
    ASSERT_EQ(OpenGprRecord(ctx), 1);
    EXPECT_EQ(f.ui.Messages().front(), RecordSummaryMessage(2, 1.0f, 3));
    EXPECT_EQ(f.Row(1), (std::vector<float>{40000, 50000, 60000}));
    EXPECT_EQ(f.H(1).component, 1000);
    EXPECT_EQ(f.H(1).receiverHundredths, 200);
    EXPECT_EQ(f.ws.store.Params().plotscale, 100.0f);
    EXPECT_EQ(f.ws.store.Params().hscale, 0.05f);
    EXPECT_EQ(f.ws.display.secondsFlag, 1);

    f.ui.AnswerFileOpen(f.folder.File("missing.txt"));
    EXPECT_EQ(OpenGprRecord(ctx), 0);
    EXPECT_EQ(f.ui.Messages().back(), kDataFileNotOpened);
    EXPECT_EQ(f.ws.store.TraceCount(), 2);
}

TEST(Seg1SegYGprCommands, MenuRows)
{
    CommandTable table = BuildCommandTable();
    for (auto [id, text] : {std::pair{cmd::kOpen560QX, "Open ZAV 560QX (SEG1) file"},
                            std::pair{cmd::kOpenSegY, "Open SEGY file"}, std::pair{cmd::kOpenGpr, "Open GPR file"}}) {
        const CommandRow* row = table.Find(id);
        ASSERT_NE(row, nullptr) << text;
        EXPECT_EQ(row->english, text);
        EXPECT_EQ(row->menu, "file.option");
        EXPECT_FALSE(row->japanese.empty());
    }
}

}  // namespace
}  // namespace velk
