// The document's load and save roads with test readers and writers, the File commands over
// them, and the operations holder.

#include <gtest/gtest.h>

#include <cstring>

#include "app/command_table.h"
#include "app/formats/document.h"
#include "app/formats/file_commands.h"
#include "app/operations.h"
#include "platform/recent_files.h"
#include "app/shell_services.h"
#include "app/workspace.h"
#include "platform/atomic_file.h"
#include "platform/byte_io.h"
#include "platform/profile.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using velk::testing::ReadFileBytes;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;

class RecordingView : public ViewSurface {
public:
    void Repaint() override { ++repaints; }
    void ShowTransientText(const std::string& text, LPoint) override { texts.push_back(text); }
    int repaints = 0;
    std::vector<std::string> texts;
};

class RecordingFrame : public FrameServices {
public:
    void DocumentTitleChanged(const std::string& title) override { titles.push_back(title); }
    void RecentFilesChanged() override { ++recentChanges; }
    void RequestClose() override {}
    void ShowAbout() override {}
    StatusPanes* Status() override { return nullptr; }
    std::vector<std::string> titles;
    int recentChanges = 0;
};

// A test record file: "<n>\n" then n traces; trace k has samples k*10 + j for j < 5. The
// reader reads n from the file and writes header and row of each trace; with `failAfter` it
// fails (with its own message) after that many traces.
struct TestFormat {
    int failAfter = -1;
    int calls = 0;
    std::string nameAtFailure;

    RecordReader Reader()
    {
        return [this](ByteSource& file, LoadTarget& target, LoadContext& ctx) {
            ++calls;
            char text[16] = {};
            file.ReadBytes(text, sizeof text - 1);
            const int n = std::atoi(text);
            for (int k = 0; k < n; ++k) {
                if (k == failAfter) {
                    nameAtFailure = ctx.doc.currentFileName;  // what a paint behind the message shows
                    ctx.ui.Message("test reader failed");
                    return 0;
                }
                std::span<float> row = target.Row(k);
                for (int j = 0; j < 5; ++j) row[static_cast<size_t>(j)] = static_cast<float>(k * 10 + j);
                target.Header(k).Set(k + 1, (target.Start() + k) * 100, 0, 0, 1, 0.0f, 500.0f, 5);
            }
            return n;
        };
    }
};

struct Fixture {
    explicit Fixture(const std::string& profileText = "")
        : profile(Profile::FromText(profileText)), ws(profile, ui), doc(ws)
    {
        ws.startup.language = -1;
        ws.InitForView(folder.Path());
        doc.Formats().SetReader(kFileSeg2, format.Reader());
    }
    std::string Record(const std::string& name, int traces)
    {
        const std::string path = folder.File(name);
        WriteFileText(path, std::to_string(traces) + "\n");
        return path;
    }
    CommandContext Context() { return CommandContext{ws, ui, doc, recent, &view, &frame}; }

    TempFolder folder;
    ScriptedUiHost ui;
    Profile profile;
    Workspace ws;
    CVelkarineDoc doc;
    TestFormat format;
    RecentFileList recent;
    RecordingView view;
    RecordingFrame frame;
};

// The message after a load of the test format (interval 0.5 ms, 5 samples).
std::string Summary(int traces)
{
    return " Number of trace = " + std::to_string(traces) + " \n Sampling time = 0.500000 \n Number of sample = 5 ";
}

// Everything of the current record, for bit-identity checks.
std::vector<uint8_t> Snapshot(const WaveformStore& store)
{
    std::vector<uint8_t> bytes;
    auto add = [&](const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
    };
    for (float v : store.current.rows.Elements()) add(&v, sizeof v);
    for (const CTraceHeader& h : store.current.headers) add(&h, sizeof h);
    for (const CTraceHeaderEx& h : store.headersEx) add(&h, sizeof h);
    const CParameterSet& p = store.current.params;
    add(&p.traceCount, sizeof p.traceCount);
    add(&p.samplesPerTrace, sizeof p.samplesPerTrace);
    add(&p.sampleInterval, sizeof p.sampleInterval);
    add(&p.recordMaximum, sizeof p.recordMaximum);
    for (int32_t f : p.selectionFlags) add(&f, sizeof f);
    return bytes;
}

// ---------------------------------------------------------------------------------------------

TEST(Document, ConstructorValues)
{
    ScriptedUiHost ui;
    Profile profile = Profile::FromText("");
    Workspace ws(profile, ui);
    ws.settings.coordinateMode = 5;
    CVelkarineDoc doc(ws);
    EXPECT_EQ(ws.settings.coordinateMode, -1);
    EXPECT_EQ(doc.fileType, 0);
    EXPECT_EQ(doc.currentFileName, "");
    EXPECT_EQ(doc.strongMotionFlag, 0);
    EXPECT_EQ(doc.strongMotion.maximumAngle, 360.0f);
    EXPECT_EQ(doc.strongMotion.viewMode, 0);
    EXPECT_EQ(doc.Path(), "");
}

TEST(LoadRoad, EmptyStoreIsReplacedWithoutAQuestion)
{
    Fixture f;
    const std::string path = f.Record("shot.sg2", 3);
    f.ui.ExpectMessage(Summary(3));
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, path, f.ui));
    EXPECT_EQ(f.ui.Calls().size(), 1u);  // the summary only
    EXPECT_EQ(f.ws.store.TraceCount(), 3);
    EXPECT_EQ(f.ws.store.undoDepth, 0);  // nothing was loaded: no snapshot
    EXPECT_EQ(f.ws.store.current.rows[2][4], 24.0f);
    EXPECT_EQ(f.ws.store.current.headers[2].traceNumber, 3);
    EXPECT_EQ(f.doc.Path(), path);
    EXPECT_EQ(f.doc.Title(), "shot.sg2");
    EXPECT_EQ(f.doc.currentFileName, "shot.sg2");
}

TEST(LoadRoad, NewRecordReplacesLoadedTraces)
{
    Fixture f;
    f.ui.ExpectMessage(Summary(4));
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, f.Record("a.sg2", 4), f.ui));
    f.ui.AnswerDialog("COpenDataFileDlg");  // OK with "New file" preselected
    f.ui.ExpectMessage(Summary(2));
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, f.Record("b.sg2", 2), f.ui));
    EXPECT_EQ(f.ui.Calls()[f.ui.Calls().size() - 2].Shown("File"), "New file");
    EXPECT_EQ(f.ws.store.TraceCount(), 2);
    EXPECT_EQ(f.ws.store.undoDepth, 1);
    EXPECT_EQ(f.doc.Title(), "b.sg2");
}

TEST(LoadRoad, AppendPlacesNewTracesFromTheOldCount)
{
    Fixture f;
    f.ui.ExpectMessage(Summary(3));
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, f.Record("a.sg2", 3), f.ui));
    f.ui.AnswerDialog("COpenDataFileDlg", {{"File", "#1"}});
    f.ui.CancelDialog("CSourceLocationDlg");  // the file's sources and components stay
    f.ui.ExpectMessage(Summary(5));
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, f.Record("b.sg2", 2), f.ui));
    const WaveformStore& s = f.ws.store;
    EXPECT_EQ(s.TraceCount(), 5);
    EXPECT_EQ(s.current.rows[2][1], 21.0f);  // the old third trace is still there
    EXPECT_EQ(s.current.rows[3][1], 1.0f);   // the new first trace
    EXPECT_EQ(s.current.rows[4][1], 11.0f);
    EXPECT_EQ(s.current.headers[3].receiverHundredths, 300);  // the reader saw start index 3
    EXPECT_EQ(s.current.headers[4].traceNumber, 2);
}

TEST(LoadRoad, FailingReaderLeavesTheStoreBitIdentical)
{
    Fixture f;
    f.ui.ExpectMessage(Summary(3));
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, f.Record("a.sg2", 3), f.ui));
    const std::vector<uint8_t> before = Snapshot(f.ws.store);
    f.format.failAfter = 2;  // rows 0 and 1 written, then failure
    f.ui.AnswerDialog("COpenDataFileDlg");
    f.ui.ExpectMessage("test reader failed");
    EXPECT_FALSE(f.doc.LoadRecord(f.ws, f.Record("bad.sg2", 4), f.ui));
    EXPECT_EQ(Snapshot(f.ws.store), before);
    // The document still describes the old record; the snapshot of the load stays for Undo.
    EXPECT_EQ(f.doc.Title(), "a.sg2");
    EXPECT_EQ(f.doc.currentFileName, "a.sg2");
    EXPECT_EQ(f.format.nameAtFailure, "a.sg2");
    EXPECT_EQ(f.ws.store.undoDepth, 1);
}

TEST(LoadRoad, AppendBeyondCapacityGivesAMessageAndNoPartialRecord)
{
    Fixture f("[General]\nMAXTRACES=4\n");
    ASSERT_EQ(f.ws.store.MaxTraces(), 4);
    f.ui.ExpectMessage(Summary(3));
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, f.Record("a.sg2", 3), f.ui));
    const std::vector<uint8_t> before = Snapshot(f.ws.store);
    f.ui.AnswerDialog("COpenDataFileDlg", {{"File", "#1"}});
    f.ui.ExpectMessage(" The record is too large for the waveform memory ! \n\n"
                       " MAXTRACES = 4, MAX_SAMPLE = 4100 \n\n"
                       " Raise them with Option - Dimension size and re-start the program");
    EXPECT_FALSE(f.doc.LoadRecord(f.ws, f.Record("b.sg2", 2), f.ui));
    EXPECT_EQ(Snapshot(f.ws.store), before);
    EXPECT_EQ(f.ws.store.TraceCount(), 3);
}

TEST(LoadRoad, ReaderClaimingMoreThanItsRoomIsRefused)
{
    Fixture f("[General]\nMAXTRACES=4\n");
    f.doc.Formats().SetReader(kFileSeg2, [](ByteSource&, LoadTarget& target, LoadContext&) {
        target.Row(0)[0] = 1.0f;
        return target.Capacity() + 1;
    });
    const std::vector<uint8_t> before = Snapshot(f.ws.store);
    f.ui.ExpectAnyMessage();
    EXPECT_FALSE(f.doc.LoadRecord(f.ws, f.Record("a.sg2", 1), f.ui));
    EXPECT_EQ(Snapshot(f.ws.store), before);
}

TEST(LoadRoad, MissingFileAndMissingReader)
{
    Fixture f;
    const std::string missing = f.folder.File("none.sg2");
    f.ui.ExpectMessage("Cannot open the file\n\n" + missing);
    EXPECT_FALSE(f.doc.LoadRecord(f.ws, missing, f.ui));
    EXPECT_EQ(f.format.calls, 0);

    f.doc.Formats().SetReader(kFileSeg2, {});
    f.ui.ExpectMessage("This file type cannot be read. The data was not changed.");
    EXPECT_FALSE(f.doc.LoadRecord(f.ws, f.Record("a.sg2", 1), f.ui));
    EXPECT_EQ(f.ws.store.TraceCount(), 0);
}

// ---------------------------------------------------------------------------------------------

struct SaveFixture : Fixture {
    SaveFixture()
    {
        ui.ExpectMessage(Summary(2));
        EXPECT_TRUE(doc.LoadRecord(ws, Record("a.sg2", 2), ui));
        doc.Formats().SetWriter(kFileSeg2, [this](ByteSink& sink, SaveContext& ctx) {
            ++seg2Writes;
            EXPECT_EQ(ctx.headers[1].traceNumber, 2);
            return sink.WriteText("SEG2 " + std::to_string(ctx.ws.store.TraceCount()));
        });
    }
    int seg2Writes = 0;
};

TEST(SaveRoad, Code6IsSavedAsSeg2AndBecomesSeg2)
{
    SaveFixture f;
    f.doc.fileType = kFile560QX;
    const std::string out = f.folder.File("out.sg2");
    ASSERT_TRUE(f.doc.SaveRecord(f.ws, out, f.ui));
    EXPECT_EQ(f.seg2Writes, 1);
    EXPECT_EQ(f.doc.fileType, kFileSeg2);
    EXPECT_EQ(velk::testing::ReadFileText(out), "SEG2 2");
    EXPECT_EQ(f.doc.Path(), out);
}

TEST(SaveRoad, TypeWithoutWriterTouchesNothing)
{
    SaveFixture f;
    const std::string out = f.folder.File("old.sgy");
    WriteFileText(out, "old bytes");
    for (int code : {kFileSegY, kFileStrongMotionText, kFileThreeComponentDat, kFileGpr}) {
        f.doc.fileType = code;
        f.ui.ExpectMessage("This file type cannot be saved. The file was not changed.");
        EXPECT_FALSE(f.doc.SaveRecord(f.ws, out, f.ui));
        EXPECT_EQ(velk::testing::ReadFileText(out), "old bytes");
        EXPECT_EQ(f.doc.fileType, code);
    }
    EXPECT_EQ(f.seg2Writes, 0);
    EXPECT_EQ(f.folder.Entries().size(), 2u);  // a.sg2, old.sgy and nothing new
}

TEST(SaveRoad, WriterWithNothingToSave)
{
    SaveFixture f;
    bool setLoaded = false;
    f.doc.Formats().SetWriter(
        kFileStrongMotionSet, [](ByteSink& sink, SaveContext&) { return sink.WriteText("set"); },
        [&](const Workspace&, const CVelkarineDoc&) { return setLoaded; });
    f.doc.fileType = kFileStrongMotionSet;
    const std::string out = f.folder.File("x.sgm");
    f.ui.ExpectMessage("This file type cannot be saved. The file was not changed.");
    EXPECT_FALSE(f.doc.SaveRecord(f.ws, out, f.ui));
    EXPECT_FALSE(std::filesystem::exists(out));
    setLoaded = true;
    EXPECT_TRUE(f.doc.SaveRecord(f.ws, out, f.ui));
    EXPECT_EQ(velk::testing::ReadFileText(out), "set");
}

TEST(SaveRoad, FailingWriterLeavesTheOldFile)
{
    SaveFixture f;
    const std::string out = f.folder.File("keep.sg2");
    const std::vector<uint8_t> old(3000, 0x5a);
    velk::testing::WriteFileBytes(out, old);

    // A writer that gives up midway.
    f.doc.Formats().SetWriter(kFileSeg2, [](ByteSink& sink, SaveContext&) {
        std::vector<uint8_t> chunk(1000, 1);
        sink.WriteBytes(chunk.data(), chunk.size());
        return false;
    });
    f.ui.ExpectAnyMessage();
    EXPECT_FALSE(f.doc.SaveRecord(f.ws, out, f.ui));
    EXPECT_EQ(ReadFileBytes(out), old);
    EXPECT_NE(f.ui.Messages().back().find("The file could not be saved. The old file was not changed."),
              std::string::npos);

    // A disk that fails under a writer that thinks all went well.
    f.doc.Formats().SetWriter(kFileSeg2, [](ByteSink& sink, SaveContext&) {
        std::vector<uint8_t> chunk(1000, 2);
        for (int i = 0; i < 5; ++i) sink.WriteBytes(chunk.data(), chunk.size());
        return true;
    });
    AtomicFileWriter::SetFaultInjector([](size_t soFar) { return soFar < 2000; });
    f.ui.ExpectAnyMessage();
    const bool saved = f.doc.SaveRecord(f.ws, out, f.ui);
    AtomicFileWriter::SetFaultInjector({});
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFileBytes(out), old);
    EXPECT_EQ(f.doc.Path(), f.folder.File("a.sg2"));
    EXPECT_EQ(f.folder.Entries().size(), 2u);  // no temporary file left
}

// ---------------------------------------------------------------------------------------------

TEST(FileCommands, OpenAddsRecentFileAndTitle)
{
    Fixture f;
    const std::string path = f.Record("shot1.sg2", 2);
    f.ui.AnswerFileOpen(path);
    f.ui.ExpectMessage(Summary(2));
    CommandContext ctx = f.Context();
    EXPECT_EQ(OnFileOpen(ctx), 1);
    EXPECT_EQ(f.recent.Paths(), std::vector<std::string>{path});
    EXPECT_EQ(f.frame.titles.back(), "shot1.sg2");
    EXPECT_EQ(FrameTitle(f.frame.titles.back()), "shot1.sg2 - Velkarine");

    f.ui.CancelFileOpen();
    EXPECT_EQ(OnFileOpen(ctx), 0);
}

TEST(FileCommands, NewKeepsTheStore)
{
    Fixture f;
    CommandContext ctx = f.Context();
    f.ui.ExpectMessage(Summary(3));
    ASSERT_TRUE(OpenDocumentFile(ctx, f.Record("a.sg2", 3)));
    f.doc.fileType = kFileSegY;
    f.ws.survey.appendFiles = 1;
    OnFileNew(ctx);
    EXPECT_EQ(f.doc.Path(), "");
    EXPECT_EQ(f.doc.Title(), "");
    EXPECT_EQ(f.doc.fileType, 0);
    EXPECT_EQ(f.ws.survey.appendFiles, 0);
    EXPECT_EQ(f.ws.store.TraceCount(), 3);
    EXPECT_EQ(f.frame.titles.back(), "");
}

TEST(FileCommands, SaveOfAnUntitledDocumentAsksForAName)
{
    Fixture f;
    f.doc.Formats().SetWriter(kFileSeg2, [](ByteSink& sink, SaveContext&) { return sink.WriteText("x"); });
    CommandContext ctx = f.Context();
    const std::string out = f.folder.File("new.sg2");
    f.ui.AnswerFileSave(out);
    OnFileSave(ctx);
    EXPECT_EQ(f.doc.Path(), out);
    EXPECT_EQ(f.recent.At(0), out);
    OnFileSave(ctx);  // titled now: no dialog
    EXPECT_EQ(f.ui.Calls().size(), 1u);
}

TEST(FileCommands, RecentFileThatVanishedLeavesTheList)
{
    Fixture f;
    CommandContext ctx = f.Context();
    f.recent.Add(f.folder.File("gone.sg2"));
    f.recent.Add(f.Record("here.sg2", 1));
    f.ui.ExpectMessage(Summary(1));
    EXPECT_EQ(OnOpenRecentFile(ctx, 0), 1);
    f.ui.ExpectAnyMessage();
    EXPECT_EQ(OnOpenRecentFile(ctx, 1), 0);
    EXPECT_EQ(f.recent.Count(), 1);
    EXPECT_EQ(OnOpenRecentFile(ctx, 7), 0);
}

// ---------------------------------------------------------------------------------------------

TEST(Operations, ResultOneRepaintsOnceOthersNever)
{
    Fixture f;
    CWaveOperations ops(f.ws, f.ui, f.view);
    EXPECT_EQ(ops.Run([](CWaveOperations&) { return 0; }), 0);
    EXPECT_EQ(f.view.repaints, 0);
    EXPECT_EQ(ops.Run([](CWaveOperations&) { return -1; }), -1);
    EXPECT_EQ(f.view.repaints, 0);
    EXPECT_EQ(ops.Run([](CWaveOperations&) { return 1; }), 1);
    EXPECT_EQ(f.view.repaints, 1);
    EXPECT_EQ(ops.OnTest(), 1);
    EXPECT_EQ(f.view.repaints, 2);
}

TEST(Operations, ProgressTextGoesToTheViewOverlay)
{
    Fixture f;
    CWaveOperations ops(f.ws, f.ui, f.view);
    ops.Run([](CWaveOperations& o) {
        for (int i = 1; i <= 2; ++i) o.progress.SetText(" BPF calculation : trace = " + std::to_string(i) + " ");
        return 0;
    });
    EXPECT_EQ(f.view.texts, (std::vector<std::string>{" BPF calculation : trace = 1 ", " BPF calculation : trace = 2 "}));
}

TEST(Operations, HolderWithoutViewNeverRepaints)
{
    Fixture f;
    CWaveOperations ops(f.ws, f.ui);
    EXPECT_EQ(ops.OnTest(), 1);
    ops.progress.SetText("dropped");
    EXPECT_EQ(f.view.repaints, 0);
    EXPECT_TRUE(f.view.texts.empty());
}

// ---------------------------------------------------------------------------------------------

TEST(RecentFiles, MostRecentFirstFourAtMost)
{
    RecentFileList list;
    for (const char* p : {"/a", "/b", "/c", "/d", "/e"}) list.Add(p);
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"/e", "/d", "/c", "/b"}));
    list.Add("/c");
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"/c", "/e", "/d", "/b"}));
    list.Add("");
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(RecentFileList::MenuLabel(1, "/data/R&D/shot 1.sg2"), "&2 shot 1.sg2");
    EXPECT_EQ(RecentFileList::MenuLabel(0, "a&b.sg2"), "&1 a&&b.sg2");
}

TEST(RecentFiles, ProfileRoundTrip)
{
    TempFolder folder;
    const std::string path = folder.File("Velkarine.ini");
    {
        Profile profile(path);
        RecentFileList list;
        list.Add("/data/b.sg2");
        list.Add("/data/a b.sg2");
        ASSERT_TRUE(list.Save(profile));
    }
    const std::string text = velk::testing::ReadFileText(path);
    EXPECT_NE(text.find("[Recent File List]\nFile1=/data/a b.sg2\nFile2=/data/b.sg2\nFile3=\nFile4=\n"),
              std::string::npos)
        << text;
    Profile profile(path);
    RecentFileList list;
    list.Load(profile);
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"/data/a b.sg2", "/data/b.sg2"}));
}

}  // namespace
}  // namespace velk
