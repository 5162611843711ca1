// The SEG-2 roads of the File menu, headless over the scripted UiHost: open (new, append,
// cancelled, without a sampling time), the picks of the record left, the sample skip, the
// 20-bit and float-data opens, both saves and their failures, the menu rows, and the
// document's own road through the registered reader and writers.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <sstream>
#include <vector>

#include "base/position.h"
#include "app/formats/document.h"
#include "app/formats/file_commands.h"
#include "app/picking/pick_commands.h"
#include "platform/recent_files.h"
#include "app/formats/seg2_commands.h"
#include "app/shell_services.h"
#include "app/workspace.h"
#include "formats/format_support.h"
#include "formats/seg2.h"
#include "platform/atomic_file.h"
#include "platform/byte_io.h"
#include "platform/profile.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using velk::testing::ReadFileBytes;
using velk::testing::TempFolder;

class TitleFrame : public FrameServices {
public:
    void DocumentTitleChanged(const std::string& title) override { titles.push_back(title); }
    void RecentFilesChanged() override {}
    void RequestClose() override {}
    void ShowAbout() override {}
    StatusPanes* Status() override { return nullptr; }
    std::vector<std::string> titles;
};

// A shot written by our writer: n traces of `samples` floats, trace i at receiver
// receivers[i] m with samples value(i, k).
struct Shot {
    std::vector<float> receivers;
    float source = 0.0f;
    int samples = 100;
    float intervalUs = 250.0f;
    int component = 1;
    std::function<float(int, int)> value = [](int i, int k) { return static_cast<float>(i * 1000 + k); };

    bool Write(const std::string& path, int code = 4, float scale = 1.0f) const
    {
        const int n = static_cast<int>(receivers.size());
        Matrix2D<float> rows(0, n - 1, 0, samples - 1);
        std::vector<CTraceHeader> headers(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            headers[static_cast<size_t>(i)].Set(i + 1, *MetresToHundredths(receivers[static_cast<size_t>(i)]),
                                                *MetresToHundredths(source), 0, component, 0.0f, intervalUs, samples);
            for (int k = 0; k < samples; ++k) rows[i][k] = value(i, k);
        }
        return WriteSeg2File(path, rows, headers, n, code, scale).ok;
    }
};

// The last dialog of a class the code under test showed.
const UiCall& LastDialog(const ScriptedUiHost& ui, const std::string& dialogClass)
{
    static const UiCall none;
    const auto& calls = ui.Calls();
    for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
        if (it->kind == UiCallKind::Dialog && it->text == dialogClass) return *it;
    }
    ADD_FAILURE() << "no dialog " << dialogClass;
    return none;
}

struct RoadFixture {
    explicit RoadFixture(const std::string& profileText = "")
        : profile(Profile::FromText(profileText)), ws(profile, ui), doc(ws)
    {
        ws.startup.language = -1;
        ws.InitForView(folder.Path());
        RegisterFileFormats(doc.Formats());
    }
    CommandContext Context() { return CommandContext{ws, ui, doc, recent, nullptr, &frame}; }
    std::string Write(const std::string& name, const Shot& shot, int code = 4, float scale = 1.0f)
    {
        const std::string path = folder.File(name);
        EXPECT_TRUE(shot.Write(path, code, scale)) << path;
        return path;
    }
    // "Open SEG2 file" of a new record.
    int Open(const std::string& path)
    {
        ui.AnswerFileOpen(path);
        if (ws.store.TraceCount() > 0) ui.AnswerDialog("COpenDataFileDlg");
        CommandContext ctx = Context();
        return OpenSeg2Record(ctx);
    }
    const CTraceHeader& H(int i) const { return ws.store.current.headers[static_cast<size_t>(i)]; }

    TempFolder folder;
    ScriptedUiHost ui;
    Profile profile;
    Workspace ws;
    CVelkarineDoc doc;
    RecentFileList recent;
    TitleFrame frame;
};

TEST(OpenSeg2Record, NewRecordIsSortedAndTheDocumentFollows)
{
    RoadFixture f;
    Shot shot;
    shot.receivers = {10.0f, -2.5f, 5.0f};
    shot.source = -2.3f;
    const std::string path = f.Write("shot.sg2", shot);
    EXPECT_EQ(f.Open(path), 3);
    EXPECT_EQ(f.ui.Calls()[0].file.initialName, "*.dat");
    const WaveformStore& s = f.ws.store;
    EXPECT_EQ(f.H(0).receiverHundredths, -250);
    EXPECT_EQ(f.H(1).receiverHundredths, 500);
    EXPECT_EQ(f.H(2).receiverHundredths, 1000);
    EXPECT_EQ(f.H(0).sourceHundredths, -230);
    EXPECT_EQ(s.current.rows[0][7], 1007.0f);  // the samples moved with their trace
    EXPECT_EQ(s.current.rows[2][7], 7.0f);
    EXPECT_EQ(s.Params().samplesPerTrace, 100);
    EXPECT_FLOAT_EQ(s.Params().sampleInterval, 0.25f);
    EXPECT_EQ(s.Params().recordMaximum, 2099.0f);
    EXPECT_EQ(s.Params().tracesShown, 3);
    EXPECT_EQ(f.ws.display.firstReceiver, -2.5f);
    EXPECT_EQ(f.ws.display.lastReceiver, 10.0f);
    EXPECT_EQ(s.loadCounter, 1);
    EXPECT_EQ(f.doc.Path(), path);
    EXPECT_EQ(f.doc.currentFileName, "shot.sg2");
    EXPECT_EQ(f.recent.At(0), path);
    EXPECT_EQ(f.frame.titles.back(), "shot.sg2");
}

TEST(OpenSeg2Record, UndoGivesTheRecordBeforeTheOpen)
{
    RoadFixture f;
    Shot a;
    a.receivers = {0.0f, 1.0f, 2.0f};
    ASSERT_EQ(f.Open(f.Write("a.sg2", a)), 3);
    EXPECT_EQ(f.ws.store.undoDepth, 0) << "nothing was loaded before";
    Shot b;
    b.receivers = {5.0f};
    b.value = [](int, int k) { return -static_cast<float>(k); };
    ASSERT_EQ(f.Open(f.Write("b.sg2", b)), 1);
    EXPECT_EQ(f.ws.store.undoDepth, 1);
    ASSERT_TRUE(f.ws.store.RestoreUndo());
    EXPECT_EQ(f.ws.store.TraceCount(), 3);
    EXPECT_EQ(f.ws.store.current.rows[2][9], 2009.0f);
}

TEST(OpenSeg2Record, PicksAreMergedBeforeTheFileDialogAndKeptAfterACancel)
{
    RoadFixture f;
    Shot shot;
    shot.receivers = {0.0f, 1.0f, 2.0f};
    shot.source = 2.5f;
    ASSERT_EQ(f.Open(f.Write("a.sg2", shot)), 3);
    CParameterSet& p = f.ws.store.Params();
    p.pickTimes[1] = 4.0f;
    p.pickTimes[2] = 6.0f;
    f.ws.display.editMode = 1;
    f.ws.display.sourcePosition = 2.5f;
    const int depth = f.ws.store.undoDepth;

    f.ui.CancelFileOpen();
    CommandContext ctx = f.Context();
    EXPECT_EQ(OpenSeg2Record(ctx), 3);
    ASSERT_EQ(f.ws.traveltimeSet.shotCount, 1);
    EXPECT_FLOAT_EQ(f.ws.traveltimeSet.sourcePosition[0], 2.5f);
    EXPECT_EQ(f.ws.traveltimeSet.pickCount[0], 2);
    EXPECT_EQ(f.ws.store.undoDepth, depth) << "nothing changed: no undo level is spent";
    EXPECT_EQ(p.pickTimes[1], 4.0f) << "the record is untouched";

    // Another record, then the first again: its picks come back from the set.
    Shot other = shot;
    other.source = 30.0f;
    f.ws.display.editMode = 0;
    ASSERT_EQ(f.Open(f.Write("b.sg2", other)), 3);
    EXPECT_EQ(p.pickTimes[1], 0.0f);
    ASSERT_EQ(f.Open(f.folder.File("a.sg2")), 3);
    EXPECT_EQ(p.pickTimes[1], 4.0f);
    EXPECT_EQ(p.pickTimes[2], 6.0f);
}

TEST(OpenSeg2Record, AppendTakesTheDialogSourceAndComponent)
{
    RoadFixture f;
    Shot first;
    first.receivers = {0.0f, 2.0f, 4.0f};
    first.component = 3;
    ASSERT_EQ(f.Open(f.Write("a.sg2", first)), 3);
    Shot more;
    more.receivers = {1.0f, 3.0f};
    more.source = 9.0f;
    more.value = [](int i, int k) { return -5000.0f - static_cast<float>(i * 10 + k); };
    f.ui.AnswerFileOpen(f.Write("b.sg2", more));
    f.ui.AnswerDialog("COpenDataFileDlg", {{"File", "Append to present data"}});
    f.ui.AnswerDialog("CSourceLocationDlg", {{"Source location", "-7.5"}, {"Component", "5"}});
    CommandContext ctx = f.Context();
    EXPECT_EQ(OpenSeg2Record(ctx), 5);
    const UiCall& dialog = LastDialog(f.ui, "CSourceLocationDlg");
    EXPECT_EQ(dialog.Shown("Component"), "3");
    EXPECT_EQ(dialog.Shown("Change component"), "1");
    EXPECT_EQ(dialog.Shown("Source location"), "0");
    const int32_t receivers[] = {0, 100, 200, 300, 400};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(f.H(i).receiverHundredths, receivers[i]);
    EXPECT_EQ(f.H(1).sourceHundredths, -750);
    EXPECT_EQ(f.H(1).component, 5);
    EXPECT_EQ(f.H(2).sourceHundredths, 0);
    EXPECT_EQ(f.H(2).component, 3);
    EXPECT_EQ(f.ws.store.current.rows[3][2], -5012.0f);
    EXPECT_EQ(f.ws.store.Params().recordMaximum, 5109.0f);
}

TEST(OpenSeg2Record, CancelledAppendDialogKeepsTheFileValuesAndFinishes)
{
    RoadFixture f;
    Shot first;
    first.receivers = {0.0f, 2.0f};
    ASSERT_EQ(f.Open(f.Write("a.sg2", first)), 2);
    Shot more;
    more.receivers = {1.0f};
    more.source = 9.0f;
    more.component = 4;
    more.value = [](int, int) { return 7777.0f; };
    f.ui.AnswerFileOpen(f.Write("b.sg2", more));
    f.ui.AnswerDialog("COpenDataFileDlg", {{"File", "Append to present data"}});
    f.ui.CancelDialog("CSourceLocationDlg");
    CommandContext ctx = f.Context();
    EXPECT_EQ(OpenSeg2Record(ctx), 3);
    EXPECT_EQ(f.H(1).receiverHundredths, 100);
    EXPECT_EQ(f.H(1).sourceHundredths, 900);
    EXPECT_EQ(f.H(1).component, 4);
    EXPECT_EQ(f.ws.store.Params().traceMaxima[1], 7777.0f);
    EXPECT_EQ(f.ws.store.Params().recordMaximum, 7777.0f);
}

TEST(OpenSeg2Record, ZeroIntervalAsksAndCancelAbandonsTheLoad)
{
    RoadFixture f;
    Shot shot;
    shot.receivers = {0.0f, 1.0f};
    ASSERT_EQ(f.Open(f.Write("a.sg2", shot)), 2);
    Shot bare = shot;
    bare.intervalUs = 0.0f;
    bare.value = [](int, int) { return 1.0f; };
    const std::string path = f.Write("bare.sg2", bare);

    f.ui.AnswerFileOpen(path);
    f.ui.AnswerDialog("COpenDataFileDlg");
    f.ui.CancelDialog("CSamplingTimeDlg");
    f.ui.ExpectMessage(kNoSamplingTime);
    CommandContext ctx = f.Context();
    EXPECT_EQ(OpenSeg2Record(ctx), 2);
    EXPECT_EQ(f.ws.store.current.rows[1][5], 1005.0f) << "the record is untouched";
    EXPECT_EQ(f.doc.currentFileName, "a.sg2");
    EXPECT_EQ(f.ws.store.undoDepth, 0);

    f.ui.AnswerFileOpen(path);
    f.ui.AnswerDialog("COpenDataFileDlg");
    f.ui.AnswerDialog("CSamplingTimeDlg", {{"Sampling time", "0"}});
    f.ui.ExpectMessage(kNoSamplingTime);
    EXPECT_EQ(OpenSeg2Record(ctx), 2);

    f.ui.AnswerFileOpen(path);
    f.ui.AnswerDialog("COpenDataFileDlg");
    f.ui.AnswerDialog("CSamplingTimeDlg", {{"Sampling time", "0.125"}});
    EXPECT_EQ(OpenSeg2Record(ctx), 2);
    EXPECT_EQ(LastDialog(f.ui, "CSamplingTimeDlg").Shown("Sampling time"), "0");
    EXPECT_FLOAT_EQ(f.ws.store.Params().sampleInterval, 0.125f);
    EXPECT_FLOAT_EQ(f.H(0).intervalUs, 125.0f);
    EXPECT_EQ(f.ws.store.current.rows[1][5], 1.0f);
}

TEST(OpenSeg2Record, BadFileLeavesTheStoreAsItWas)
{
    RoadFixture f;
    Shot shot;
    shot.receivers = {0.0f, 1.0f};
    ASSERT_EQ(f.Open(f.Write("a.sg2", shot)), 2);
    const std::string bad = f.folder.File("bad.sg2");
    std::vector<uint8_t> bytes = ReadFileBytes(f.folder.File("a.sg2"));
    bytes.resize(bytes.size() / 2);  // truncated: the second trace's samples run past the end
    velk::testing::WriteFileBytes(bad, bytes);
    f.ui.AnswerFileOpen(bad);
    f.ui.AnswerDialog("COpenDataFileDlg");
    f.ui.ExpectAnyMessage();
    CommandContext ctx = f.Context();
    EXPECT_EQ(OpenSeg2Record(ctx), 2);
    EXPECT_EQ(f.ws.store.current.rows[1][99], 1099.0f);
    EXPECT_EQ(f.doc.Path(), f.folder.File("a.sg2"));
}

TEST(SkipRoad, SkipFourOn4000SamplesGives1000AtFourTimesTheInterval)
{
    RoadFixture f;
    Shot shot;
    shot.receivers = {0.0f, 1.0f};
    shot.samples = 4000;
    const std::string path = f.Write("long.sg2", shot);
    f.ui.AnswerDialog("CSampleSkipDlg", {{"Skip", "4"}});
    f.ui.AnswerFileOpen(path);
    f.ui.ExpectMessage(" Number of trace = 2 \n Sampling time = 1.000000(msec) \n Number of sample = 1000 ");
    CommandContext ctx = f.Context();
    EXPECT_EQ(OpenWithSampleSkip(ctx, Seg2SkipReader()), 1);
    EXPECT_EQ(f.ui.Calls()[0].Shown("Skip"), "1");
    EXPECT_EQ(f.ui.Calls()[1].file.filters[0].description, "Seg2 file (*.*)");
    const WaveformStore& s = f.ws.store;
    EXPECT_EQ(s.TraceCount(), 2);
    EXPECT_EQ(f.H(0).samples, 1000);
    EXPECT_EQ(f.H(0).intervalUs, 1000.0f);
    EXPECT_EQ(s.Params().samplesPerTrace, 1000);
    EXPECT_FLOAT_EQ(s.Params().sampleInterval, 1.0f);
    EXPECT_EQ(s.current.rows[1][999], 1000.0f + 3996.0f);
    EXPECT_EQ(s.current.rows[0][1], 4.0f);
    EXPECT_EQ(f.ws.display.sampleSkip, 4);
    EXPECT_EQ(f.doc.Path(), path);

    // The skip is remembered; Cancel in any dialog stops with nothing changed.
    f.ui.CancelDialog("CSampleSkipDlg");
    EXPECT_EQ(OpenWithSampleSkip(ctx, Seg2SkipReader()), 0);
    EXPECT_EQ(f.ui.Calls().back().Shown("Skip"), "4");
    f.ui.AnswerDialog("CSampleSkipDlg");
    f.ui.CancelFileOpen();
    EXPECT_EQ(OpenWithSampleSkip(ctx, Seg2SkipReader()), 0);
    EXPECT_EQ(s.TraceCount(), 2);
}

TEST(SkipRoad, AppendAfterTheQuestion)
{
    RoadFixture f;
    Shot shot;
    shot.receivers = {0.0f, 2.0f};
    ASSERT_EQ(f.Open(f.Write("a.sg2", shot)), 2);
    Shot more;
    more.receivers = {1.0f};
    f.ui.AnswerDialog("CSampleSkipDlg", {{"Skip", "2"}});
    f.ui.AnswerFileOpen(f.Write("b.sg2", more));
    f.ui.AnswerDialog("COpenDataFileDlg", {{"File", "Append to present data"}});
    f.ui.ExpectMessage(" Number of trace = 3 \n Sampling time = 0.250000(msec) \n Number of sample = 100 ");
    CommandContext ctx = f.Context();
    EXPECT_EQ(OpenWithSampleSkip(ctx, Seg2SkipReader()), 1);
    EXPECT_EQ(f.ws.store.TraceCount(), 3);
    EXPECT_EQ(f.H(2).samples, 50);
    EXPECT_EQ(f.H(2).intervalUs, 500.0f);
    EXPECT_EQ(f.ws.store.current.rows[2][3], 6.0f);
}

TEST(SaveSeg2, FloatSaveReadsBackAndAsksBeforeOverwriting)
{
    RoadFixture f;
    Shot shot;
    shot.receivers = {0.0f, 1.5f};
    shot.source = -2.5f;
    ASSERT_EQ(f.Open(f.Write("a.sg2", shot)), 2);
    const std::string out = f.folder.File("out");
    f.ui.AnswerFileSave(out);
    CommandContext ctx = f.Context();
    SaveSeg2Record(ctx);
    const std::vector<uint8_t> written = ReadFileBytes(out + ".dat");
    ASSERT_FALSE(written.empty());

    // The same name again: "Are you sure ...", Cancel leaves the file.
    f.ws.store.current.rows[0][0] = 123.0f;
    f.ui.AnswerFileSave(out + ".dat");
    f.ui.ExpectMessage("Are you sure you want to over write?", MsgButtons::OkCancel, MsgResult::Cancel);
    SaveSeg2Record(ctx);
    EXPECT_EQ(ReadFileBytes(out + ".dat"), written);

    ASSERT_EQ(f.Open(out + ".dat"), 2);
    EXPECT_EQ(f.H(1).receiverHundredths, 150);
    EXPECT_EQ(f.H(1).sourceHundredths, -250);
    EXPECT_EQ(f.ws.store.current.rows[1][42], 1042.0f);
}

TEST(SaveSeg2, Int32SaveScalesByThePeak)
{
    RoadFixture f;
    Shot shot;
    shot.receivers = {0.0f};
    shot.samples = 4;
    shot.value = [](int, int k) { return k == 1 ? 1.0f : k == 2 ? 0.5f : k == 3 ? -1.0f : 0.0f; };
    ASSERT_EQ(f.Open(f.Write("a.sg2", shot)), 1);
    const std::string out = f.folder.File("int.dat");
    f.ui.AnswerFileSave(out);
    CommandContext ctx = f.Context();
    SaveSeg2Int32Record(ctx);
    EXPECT_EQ(f.ui.Calls().back().file.initialName, "*.dat");
    ASSERT_EQ(f.Open(out), 1);
    EXPECT_EQ(f.ws.store.current.rows[0][1], 1925431424.0f);
    EXPECT_EQ(f.ws.store.current.rows[0][2], static_cast<float>(962715712));
    EXPECT_EQ(f.ws.store.current.rows[0][3], -1925431424.0f);
}

TEST(SaveSeg2, AFailedSaveSaysSoAndTheOldFileStays)
{
    RoadFixture f;
    Shot shot;
    shot.receivers = {0.0f, 1.0f};
    ASSERT_EQ(f.Open(f.Write("a.sg2", shot)), 2);
    CommandContext ctx = f.Context();

    // A folder that cannot be written into (here: a path whose folder is a plain file; the
    // tests may run as root, for whom permissions stop nothing).
    const std::string plain = f.folder.File("plain");
    velk::testing::WriteFileText(plain, "not a folder");
    const std::string target = plain + "/out.dat";
    f.ui.AnswerFileSave(target);
    f.ui.ExpectAnyMessage();
    SaveSeg2Int32Record(ctx);
    EXPECT_EQ(f.ui.Messages().back().rfind("The file could not be saved. The old file was not changed.\n\n" + target, 0),
              0u)
        << f.ui.Messages().back();
    f.ui.AnswerFileSave(target);
    f.ui.ExpectAnyMessage();
    SaveSeg2Record(ctx);
    EXPECT_EQ(f.ui.Messages().back().rfind("The file could not be saved.", 0), 0u);

    // A disk that fails in the middle of the write: the old file is byte-identical.
    const std::string old = f.folder.File("old.dat");
    const std::vector<uint8_t> oldBytes(5000, 0x5a);
    velk::testing::WriteFileBytes(old, oldBytes);
    const std::vector<std::string> before = f.folder.Entries();
    AtomicFileWriter::SetFaultInjector([](size_t soFar) { return soFar < 600; });
    f.ui.AnswerFileSave(old);
    f.ui.ExpectAnyMessage();
    SaveSeg2Int32Record(ctx);
    f.ui.AnswerFileSave(old);
    f.ui.ExpectMessage("Are you sure you want to over write?", MsgButtons::OkCancel, MsgResult::Ok);
    f.ui.ExpectAnyMessage();
    SaveSeg2Record(ctx);
    AtomicFileWriter::SetFaultInjector({});
    EXPECT_EQ(ReadFileBytes(old), oldBytes);
    EXPECT_EQ(f.folder.Entries(), before) << "no temporary file is left";
}

TEST(Packed20Road, HeadersComeFromTheArrays)
{
    RoadFixture f;
    Shot shot;
    shot.receivers = {2.0f, 0.005f, 1.0f};
    shot.source = -2.5f;
    shot.samples = 8;
    shot.value = [](int, int) { return 0.0f; };  // zero bytes decode as zero samples
    const std::string path = f.Write("p20.sg2", shot);
    auto log = std::make_shared<MemoryLogSink>();
    f.ws.diagnostics = log;
    f.ui.AnswerFileOpen(path);
    f.ui.ExpectMessage(" Number of trace = 3 \n Sampling time = 0.250000(msec) \n Number of sample = 8 ");
    CommandContext ctx = f.Context();
    EXPECT_EQ(OpenSeg2Packed20Record(ctx), 3);
    const int32_t receivers[] = {1, 100, 200};  // 0.005 m rounds to 1
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(f.H(i).receiverHundredths, receivers[i]);
        EXPECT_EQ(f.H(i).sourceHundredths, -250) << "nearest, not truncated";
        EXPECT_EQ(f.H(i).traceNumber, 1);
        EXPECT_EQ(f.H(i).gain, 1);
        EXPECT_EQ(f.H(i).intervalUs, 250.0f);
        EXPECT_EQ(f.H(i).samples, 8);
    }
    EXPECT_EQ(f.doc.Path(), path);
    EXPECT_NE(log->Text("seg2.txt"), "") << "the diagnostic goes to the workspace's log";
}

TEST(FloatDataRoad, GenericSetUpAfterTheSamplingTime)
{
    RoadFixture f;
    Shot shot;
    shot.receivers = {5.0f, 6.0f};
    shot.samples = 10;
    shot.value = [](int i, int k) { return static_cast<float>(i * 100 + k); };
    const std::string path = f.Write("int.dat", shot, 2, 1925431424.0f);  // the samples as int32
    f.ui.AnswerFileOpen(path);
    f.ui.AnswerDialog("CSamplingTimeDlg", {{"Sampling time", "2"}});
    CommandContext ctx = f.Context();
    EXPECT_EQ(OpenSeg2FloatRecord(ctx), 1);
    const WaveformStore& s = f.ws.store;
    ASSERT_EQ(s.TraceCount(), 2);
    EXPECT_EQ(f.H(1), (CTraceHeader{1, 200, 0, 1, 1, 0.0f, 2000.0f, 10}));
    EXPECT_FLOAT_EQ(s.current.rows[1][3], -0.103f);
    EXPECT_FLOAT_EQ(s.Params().sampleInterval, 2.0f);
    EXPECT_EQ(f.ws.display.firstReceiver, 1.0f);
    EXPECT_EQ(f.ws.display.lastReceiver, 1.0f);

    f.ui.CancelFileOpen();
    EXPECT_EQ(OpenSeg2FloatRecord(ctx), 0);
}

TEST(Seg2Commands, RowsAndRules)
{
    const CommandTable table = BuildCommandTable();
    struct Expected {
        int id;
        const char* menu;
        const char* english;
        int rule;
    };
    for (const Expected& e : {Expected{cmd::kOpenSeg2, "file", "Open SEG2 file", kRuleAlways},
                              Expected{cmd::kSaveSeg2, "file", "Save SEG2 file", kRuleTracesLoaded},
                              Expected{cmd::kSaveSeg2Int32, "file", "Save SEG2 file(32bit integer)", kRuleTracesLoaded},
                              Expected{cmd::kOpenSeg2WithSkip, "file.option", "Open SEG2 file (with sample skip)", kRuleAlways},
                              Expected{cmd::kOpenSeg2Packed20, "file.option", "Open SEG2 file(20bit float)", kRuleAlways},
                              Expected{cmd::kOpenSeg2Float, "file.option", "Open Seg2 file (float data)", kRuleAlways}}) {
        const CommandRow* row = table.Find(e.id);
        ASSERT_NE(row, nullptr) << e.english;
        EXPECT_EQ(row->menu, e.menu);
        EXPECT_EQ(row->english, e.english);
        EXPECT_FALSE(row->japanese.empty());
        EXPECT_EQ(row->enableRule, e.rule);
        EXPECT_TRUE(row->action);
    }
    const MenuBarModel ja = table.BuildMenuBar(kMenuDefault, 1);
    bool found = false;
    for (const MenuNode& n : ja.Find("file")->children) found = found || n.id == cmd::kOpenSeg2;
    EXPECT_TRUE(found);

    // The saves are disabled without traces; running one then does nothing.
    RoadFixture f;
    RecentFileList recent;
    EXPECT_FALSE(table.IsEnabled(cmd::kSaveSeg2, f.ws, recent));
    EXPECT_TRUE(table.IsEnabled(cmd::kOpenSeg2, f.ws, recent));
    CommandContext ctx = f.Context();
    EXPECT_EQ(RunCommand(table, cmd::kSaveSeg2, ctx), 0);
    EXPECT_TRUE(f.ui.Calls().empty());
}

TEST(DocumentSeg2, OpenAndSaveThroughTheRegistry)
{
    RoadFixture f;
    Shot shot;
    shot.receivers = {3.0f, 1.0f};
    shot.source = 12.5f;
    const std::string path = f.Write("doc.sg2", shot);
    f.ui.ExpectMessage(" Number of trace = 2 \n Sampling time = 0.250000 \n Number of sample = 100 ");
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, path, f.ui));
    EXPECT_EQ(f.H(0).receiverHundredths, 100);
    EXPECT_EQ(f.ws.store.current.rows[0][1], 1001.0f);
    f.ws.store.headersEx[0].latitude = 35.25f;
    f.ws.store.headersEx[0].longitude = 139.5f;

    const std::string out = f.folder.File("saved.sg2");
    ASSERT_TRUE(f.doc.SaveRecord(f.ws, out, f.ui));
    f.ui.AnswerDialog("COpenDataFileDlg");
    f.ui.ExpectAnyMessage();
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, out, f.ui));
    EXPECT_EQ(f.H(1).receiverHundredths, 300);
    EXPECT_EQ(f.H(1).sourceHundredths, 1250);
    EXPECT_FLOAT_EQ(f.ws.store.headersEx[0].latitude, 35.25f);
    EXPECT_FLOAT_EQ(f.ws.store.headersEx[0].longitude, 139.5f);

    // A 560QX record is saved by its own registered writer, as SEG-2 without positions.
    f.doc.fileType = kFile560QX;
    const std::string qx = f.folder.File("qx.sg2");
    ASSERT_TRUE(f.doc.SaveRecord(f.ws, qx, f.ui));
    EXPECT_EQ(f.doc.fileType, kFileSeg2);
    f.ui.AnswerDialog("COpenDataFileDlg");
    f.ui.ExpectAnyMessage();
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, qx, f.ui));
    EXPECT_EQ(f.ws.store.headersEx[0].latitude, CTraceHeaderEx::kUnknownDegrees);
}

TEST(DocumentSeg2, FileWithoutAnIntervalIsRefusedBeforeTheCommit)
{
    RoadFixture f;
    Shot shot;
    shot.receivers = {0.0f};
    ASSERT_EQ(f.Open(f.Write("a.sg2", shot)), 1);
    Shot bare = shot;
    bare.intervalUs = 0.0f;
    bare.value = [](int, int) { return 5.0f; };
    f.ui.AnswerDialog("COpenDataFileDlg");
    f.ui.ExpectMessage(" Unknown file format ! \n\n Exit program and \n Use Option - etc. - Open 8 header file (older)");
    EXPECT_FALSE(f.doc.LoadRecord(f.ws, f.Write("bare.sg2", bare), f.ui));
    EXPECT_EQ(f.ws.store.TraceCount(), 1);
    EXPECT_EQ(f.ws.store.current.rows[0][3], 3.0f);
}

// The first record of the run takes its source position from trace 1 whatever road opened it,
// so that its picks are merged at that shot.
TEST(RecordSourcePosition, EveryRoadSetsItOnTheFirstLoad)
{
    const std::vector<std::pair<const char*, std::function<int(RoadFixture&, const std::string&)>>> roads = {
        {"command line", [](RoadFixture& f, const std::string& path) {
             CommandContext ctx = f.Context();
             return OpenDocumentFile(ctx, path) ? 1 : 0;
         }},
        {"File > Open", [](RoadFixture& f, const std::string& path) {
             f.ui.AnswerFileOpen(path);
             CommandContext ctx = f.Context();
             return OnFileOpen(ctx);
         }},
        {"Open SEG2 file", [](RoadFixture& f, const std::string& path) { return f.Open(path); }},
    };
    for (const auto& [name, open] : roads) {
        RoadFixture f;
        f.ui.SetStrict(false);
        Shot shot;
        shot.receivers = {0.0f, 5.0f, 10.0f};
        shot.source = -2.5f;
        EXPECT_GT(open(f, f.Write("shot.sg2", shot)), 0) << name;
        EXPECT_EQ(f.ws.store.loadCounter, 1) << name;
        EXPECT_FLOAT_EQ(f.ws.display.sourcePosition, -2.5f) << name;
    }
}

TEST(RecordSourcePosition, PicksOfTheFirstRecordAreSavedAtItsShot)
{
    RoadFixture f;
    f.ui.SetStrict(false);
    Shot shot;
    shot.receivers = {0.0f, 5.0f, 10.0f, 15.0f};
    shot.source = -2.5f;
    CommandContext ctx = f.Context();
    ASSERT_TRUE(OpenDocumentFile(ctx, f.Write("shot.sg2", shot)));
    CParameterSet& p = f.ws.store.Params();
    p.pickTimes[0] = 4.0f;
    p.pickTimes[3] = 9.0f;
    const std::string out = f.folder.File("picks.vs");
    EXPECT_EQ(SaveRostrelFile(f.ws, f.ui, out, TraveltimeTextSet::FirstArrivals), 1);
    // Line 3 is the shot line: its position, the pick count and the third value.
    std::istringstream lines(velk::testing::ReadFileText(out));
    std::string line;
    for (int i = 0; i < 3; ++i) std::getline(lines, line);
    EXPECT_EQ(line, "-2.500000 2 0.000000");
}

}  // namespace
}  // namespace velk
