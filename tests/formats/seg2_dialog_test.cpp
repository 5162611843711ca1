// CSeg2FileDlg: the SEG-2 menu commands' dialogs through a scripted UiHost. The dialogs only read
// into a LoadTarget; a refused or cancelled open gives no target, so the store cannot change.

#include <gtest/gtest.h>

#include <cstring>

#include "base/waveform_store.h"
#include "platform/atomic_file.h"
#include "seg2_fixture_writer.h"
#include "seg2_test_support.h"
#include "tools/test_support.h"

namespace velk {
namespace {

namespace fx = testing::seg2fixture;
using testing::Samples;

constexpr float kSentinel = -12345.5f;

// A small store whose every row value is the sentinel and every header distinctive.
struct SentinelStore {
    WaveformStore store;
    SentinelStore(int maxTraces = 8, int maxSample = 100)
    {
        store.SetCapacity(maxTraces, maxSample);
        store.AllocateParameterSets();
        EXPECT_TRUE(store.AllocateWaveformStore());
        store.current.rows.Fill(kSentinel);
        for (auto& h : store.current.headers) h.Set(9, 9, 9, 9, 9, 9.0f, 9.0f, 9);
    }
    bool Untouched() const
    {
        for (float v : store.current.rows.Elements())
            if (v != kSentinel) return false;
        CTraceHeader nines;
        nines.Set(9, 9, 9, 9, 9, 9.0f, 9.0f, 9);
        for (const auto& h : store.current.headers)
            if (!(h == nines)) return false;
        return true;
    }
};

std::string WriteFile(testing::TempFolder& folder, const std::string& name, const std::vector<uint8_t>& bytes)
{
    const std::string path = folder.File(name);
    testing::WriteFileBytes(path, bytes);
    return path;
}

std::vector<uint8_t> TwoTraces()
{
    fx::File f;
    f.traces.push_back(fx::MakeTrace(4, 3, fx::Float32Data({1, 2, 3}), 0.0005, 4.0, -1.0));
    f.traces.push_back(fx::MakeTrace(4, 3, fx::Float32Data({4, 5, 6}), 0.0005, 2.0, -1.0));
    return fx::WriteStandard(f);
}

// ---------------------------------------------------------------------------------------------
// OpenSeg2Dialog

TEST(OpenSeg2Dialog, CancelReadsNothing)
{
    SentinelStore s;
    ScriptedUiHost ui;
    ui.CancelFileOpen();
    const Seg2OpenResult r = CSeg2FileDlg().OpenSeg2Dialog(ui, kLanguageEnglish, s.store, 0);
    EXPECT_EQ(r.outcome, OpenOutcome::NothingRead);
    EXPECT_EQ(r.target, nullptr);
    ASSERT_EQ(ui.Calls().size(), 1u);
    const FileRequest& req = ui.Calls()[0].file;
    EXPECT_EQ(req.initialName, "*.dat");
    ASSERT_EQ(req.filters.size(), 3u);
    EXPECT_EQ(req.filters[0].description, "Seg2 file(*.dat)");
    EXPECT_EQ(req.filters[1].pattern, "*.sg2");
    EXPECT_EQ(req.filters[2].description, "All files(*.*)");
    EXPECT_TRUE(s.Untouched());
}

TEST(OpenSeg2Dialog, NewRecordWithNothingLoaded)
{
    testing::TempFolder folder;
    const std::string path = WriteFile(folder, "shot.sg2", TwoTraces());
    SentinelStore s;
    ScriptedUiHost ui;
    ui.AnswerFileOpen(path);
    const Seg2OpenResult r = CSeg2FileDlg().OpenSeg2Dialog(ui, kLanguageEnglish, s.store, 0);
    EXPECT_EQ(r.outcome, OpenOutcome::NewRecord);
    EXPECT_EQ(r.path, path);
    EXPECT_EQ(r.start, 0);
    EXPECT_EQ(r.tracesRead, 2);
    EXPECT_EQ(r.traceCount, 2);
    EXPECT_EQ(r.samples, 3);
    EXPECT_FLOAT_EQ(r.intervalMs, 0.5f);
    ASSERT_NE(r.target, nullptr);
    EXPECT_EQ(Samples(*r.target, 1), (std::vector<float>{4, 5, 6}));
    EXPECT_TRUE(s.Untouched());  // the road commits, not the dialog
}

TEST(OpenSeg2Dialog, AppendBehindTheLoadedTraces)
{
    testing::TempFolder folder;
    const std::string path = WriteFile(folder, "shot.dat", TwoTraces());
    SentinelStore s;
    ScriptedUiHost ui;
    ui.AnswerFileOpen(path);
    ui.AnswerDialog("COpenDataFileDlg", {{"File", "Append to present data"}});
    const Seg2OpenResult r = CSeg2FileDlg().OpenSeg2Dialog(ui, kLanguageEnglish, s.store, 5);
    EXPECT_EQ(r.outcome, OpenOutcome::Appended);
    EXPECT_EQ(r.start, 5);
    EXPECT_EQ(r.traceCount, 7);
    ASSERT_NE(r.target, nullptr);
    EXPECT_EQ(r.target->Start(), 5);
    EXPECT_EQ(r.target->HeaderAt(0).traceNumber, 5);
    EXPECT_EQ(ui.Calls()[1].Shown("File"), "New file");  // preset "New file"
}

TEST(OpenSeg2Dialog, AppendPastTheCapacityReadsWhatFits)
{
    testing::TempFolder folder;
    const std::string path = WriteFile(folder, "shot.dat", TwoTraces());
    SentinelStore s(8);
    ScriptedUiHost ui;
    ui.AnswerFileOpen(path);
    ui.AnswerDialog("COpenDataFileDlg", {{"File", "Append to present data"}});
    ui.ExpectMessage("The total number of traces was too large ! \n Only 1 traces has been read !\n"
                     " Change maximum traces by 'Option', 'Dimension size' !");
    const Seg2OpenResult r = CSeg2FileDlg().OpenSeg2Dialog(ui, kLanguageEnglish, s.store, 7);
    EXPECT_EQ(r.outcome, OpenOutcome::Appended);
    EXPECT_EQ(r.traceCount, 8);
}

TEST(OpenSeg2Dialog, NewRecordChosenWhenLoaded)
{
    testing::TempFolder folder;
    const std::string path = WriteFile(folder, "shot.dat", TwoTraces());
    SentinelStore s;
    ScriptedUiHost ui;
    ui.AnswerFileOpen(path);
    ui.AnswerDialog("COpenDataFileDlg");
    const Seg2OpenResult r = CSeg2FileDlg().OpenSeg2Dialog(ui, kLanguageEnglish, s.store, 5);
    EXPECT_EQ(r.outcome, OpenOutcome::NewRecord);
    EXPECT_EQ(r.start, 0);
}

TEST(OpenSeg2Dialog, UnreadableAndBadFilesLeaveTheStore)
{
    testing::TempFolder folder;
    SentinelStore s;
    {
        ScriptedUiHost ui;
        ui.AnswerFileOpen(folder.File("missing.sg2"));
        ui.ExpectMessage("Cannot open the file\n\n" + folder.File("missing.sg2"));
        EXPECT_EQ(CSeg2FileDlg().OpenSeg2Dialog(ui, kLanguageEnglish, s.store, 0).outcome, OpenOutcome::NothingRead);
    }
    const std::vector<uint8_t> good = TwoTraces();
    std::vector<uint8_t> truncated(good.begin(), good.end() - 5);
    std::vector<uint8_t> badPointer = good;
    badPointer[37] = 0x40;
    std::vector<uint8_t> badId = good;
    badId[0] = 0;
    for (const auto& bytes : {fx::ToBigEndian(good), truncated, badPointer, badId}) {
        const std::string path = WriteFile(folder, "bad.sg2", bytes);
        ScriptedUiHost ui;
        ui.AnswerFileOpen(path);
        ui.ExpectAnyMessage();
        const Seg2OpenResult r = CSeg2FileDlg().OpenSeg2Dialog(ui, kLanguageEnglish, s.store, 0);
        EXPECT_EQ(r.outcome, OpenOutcome::NothingRead);
        EXPECT_EQ(r.target, nullptr);
        EXPECT_TRUE(s.Untouched());
    }
}

// ---------------------------------------------------------------------------------------------
// OpenSeg2FloatDialog

// A trace block of 512 bytes without strings, text placed at P + 48 + offset, int32 samples.
std::vector<uint8_t> FloatDataFile(const std::vector<std::pair<size_t, std::string>>& texts,
                                   const std::vector<std::vector<int32_t>>& traces)
{
    fx::File f;
    for (const auto& samples : traces) {
        fx::Trace t;
        t.code = 2;
        t.samples = static_cast<uint32_t>(samples.size());
        t.data = fx::Int32Data(samples);
        t.blockSize = 512;
        f.traces.push_back(t);
    }
    std::vector<uint8_t> b = fx::WriteStandard(f);
    for (size_t i = 0; i < traces.size(); ++i) {
        uint32_t p;
        std::memcpy(&p, &b[32 + 4 * i], 4);
        for (const auto& [offset, text] : texts) std::memcpy(&b[p + 48 + offset], text.data(), text.size());
    }
    return b;
}

TEST(OpenSeg2FloatDialog, IntervalAtTheFixedPlaceAndNegatedMilliUnits)
{
    testing::TempFolder folder;
    const std::string path =
        WriteFile(folder, "float.dat", FloatDataFile({{290, "0.00050000"}}, {{1000, -2000, 3}, {5, 6}}));
    SentinelStore s;
    ScriptedUiHost ui;
    ui.AnswerFileOpen(path);
    const Seg2OpenResult r = CSeg2FileDlg().OpenSeg2FloatDialog(ui, kLanguageEnglish, s.store);
    ASSERT_EQ(r.outcome, OpenOutcome::NewRecord);
    EXPECT_EQ(r.traceCount, 2);
    EXPECT_EQ(r.samples, 2);  // the last trace's
    EXPECT_FLOAT_EQ(r.intervalMs, 0.5f);
    EXPECT_EQ(ui.Calls()[0].file.filters[0].description, "Seg2 file(*.*)");
    EXPECT_EQ(Samples(*r.target, 0), (std::vector<float>{-1.0f, 2.0f, -0.003f}));
}

TEST(OpenSeg2FloatDialog, SecondPlaceWhenTheFirstGivesNothing)
{
    testing::TempFolder folder;
    const std::string path = WriteFile(folder, "float.dat", FloatDataFile({{290, "abc0.00100 "}}, {{1}}));
    SentinelStore s;
    ScriptedUiHost ui;
    ui.AnswerFileOpen(path);
    const Seg2OpenResult r = CSeg2FileDlg().OpenSeg2FloatDialog(ui, kLanguageEnglish, s.store);
    EXPECT_FLOAT_EQ(r.intervalMs, 1.0f);
}

TEST(OpenSeg2FloatDialog, CancelAndBadFiles)
{
    SentinelStore s;
    ScriptedUiHost ui;
    ui.CancelFileOpen();
    EXPECT_EQ(CSeg2FileDlg().OpenSeg2FloatDialog(ui, kLanguageEnglish, s.store).outcome, OpenOutcome::NothingRead);
    testing::TempFolder folder;
    std::vector<uint8_t> b = FloatDataFile({{290, "0.001"}}, {{1, 2, 3}});
    b.resize(b.size() - 2);
    ui.AnswerFileOpen(WriteFile(folder, "cut.dat", b));
    ui.ExpectMessage(" The SEG-2 file is damaged or cut: the samples of trace 1 lie outside the file.\n\n"
                     " The data was not changed.");
    EXPECT_EQ(CSeg2FileDlg().OpenSeg2FloatDialog(ui, kLanguageEnglish, s.store).outcome, OpenOutcome::NothingRead);
    EXPECT_TRUE(s.Untouched());
}

// ---------------------------------------------------------------------------------------------
// SaveSeg2Dialog

TEST(SaveSeg2Dialog, AddsDatAndWrites)
{
    testing::TempFolder folder;
    testing::Record r(2, 4);
    r.Fill(0, 2, [](int k) { return 1.0f + k; });
    r.Fill(1, 2, [](int k) { return 3.0f + k; });
    r.headers[0].intervalUs = r.headers[1].intervalUs = 100.0f;
    ScriptedUiHost ui;
    ui.AnswerFileSave(folder.File("line1"));
    EXPECT_EQ(CSeg2FileDlg().SaveSeg2Dialog(ui, kLanguageEnglish, r.rows, r.headers, 2), SaveOutcome::Written);
    EXPECT_EQ(testing::ReadFileBytes(folder.File("line1.dat")), testing::WriteToBytes(r, 2));
    EXPECT_FALSE(ui.Calls()[0].file.overwritePrompt);

    ui.AnswerFileSave(folder.File("line2.SG2"));
    EXPECT_EQ(CSeg2FileDlg().SaveSeg2Dialog(ui, kLanguageEnglish, r.rows, r.headers, 2), SaveOutcome::Written);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"line1.dat", "line2.SG2"}));
}

TEST(SaveSeg2Dialog, AsksBeforeOverwritingAndCancelKeepsTheFile)
{
    testing::TempFolder folder;
    testing::WriteFileText(folder.File("old.dat"), "old");
    testing::Record r(1, 4);
    r.Fill(0, 2, [](int) { return 1.0f; });
    ScriptedUiHost ui;
    ui.AnswerFileSave(folder.File("old.dat"));
    ui.ExpectMessage("Are you sure you want to over write?", MsgButtons::OkCancel, MsgResult::Cancel);
    EXPECT_EQ(CSeg2FileDlg().SaveSeg2Dialog(ui, kLanguageEnglish, r.rows, r.headers, 1), SaveOutcome::Cancelled);
    EXPECT_EQ(testing::ReadFileText(folder.File("old.dat")), "old");

    ui.AnswerFileSave(folder.File("old.dat"));
    ui.ExpectMessage("Are you sure you want to over write?", MsgButtons::OkCancel, MsgResult::Ok);
    EXPECT_EQ(CSeg2FileDlg().SaveSeg2Dialog(ui, kLanguageEnglish, r.rows, r.headers, 1), SaveOutcome::Written);
    EXPECT_NE(testing::ReadFileText(folder.File("old.dat")), "old");

    ui.CancelFileSave();
    EXPECT_EQ(CSeg2FileDlg().SaveSeg2Dialog(ui, kLanguageEnglish, r.rows, r.headers, 1), SaveOutcome::Cancelled);
}

TEST(SaveSeg2Dialog, AFailedWriteSaysSoAndKeepsTheOldFile)
{
    testing::TempFolder folder;
    const std::string path = folder.File("old.dat");
    testing::WriteFileText(path, "old");
    testing::Record r(1, 4);
    r.Fill(0, 2, [](int) { return 1.0f; });
    ScriptedUiHost ui;
    ui.AnswerFileSave(path);
    ui.ExpectMessage("Are you sure you want to over write?", MsgButtons::OkCancel, MsgResult::Ok);
    ui.ExpectAnyMessage();
    AtomicFileWriter::SetFaultInjector([](size_t) { return false; });
    const SaveOutcome outcome = CSeg2FileDlg().SaveSeg2Dialog(ui, kLanguageEnglish, r.rows, r.headers, 1);
    AtomicFileWriter::SetFaultInjector({});
    EXPECT_EQ(outcome, SaveOutcome::Failed);
    EXPECT_EQ(ui.Messages().back().rfind("The file could not be saved. The old file was not changed.\n\n" + path, 0), 0u);
    EXPECT_EQ(testing::ReadFileText(path), "old");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"old.dat"});
}

// ---------------------------------------------------------------------------------------------
// OpenSeg2Packed20Dialog

std::vector<uint8_t> Packed20File(int traces, uint32_t ns)
{
    fx::File f;
    for (int i = 0; i < traces; ++i) {
        std::vector<fx::Packed20> v;
        for (uint32_t k = 0; k < ns; ++k) v.push_back({static_cast<int16_t>(k + 10 * i), 1});
        fx::Trace t = fx::MakeTrace(4, ns, fx::Packed20Data(v, false), 0.00025, 0.0, 3.5);  // code byte says 4
        t.strings.push_back("RECEIVER_COMPONENT 2");
        f.traces.push_back(t);
    }
    return fx::WriteStandard(f);
}

TEST(OpenSeg2Packed20Dialog, UnpacksWhateverTheCodeAndLogs)
{
    testing::TempFolder folder;
    const std::string path = WriteFile(folder, "p20.sg2", Packed20File(3, 8));
    SentinelStore s;
    ScriptedUiHost ui;
    MemoryLogSink log;
    ui.AnswerFileOpen(path);
    const Seg2OpenResult r = CSeg2FileDlg().OpenSeg2Packed20Dialog(ui, kLanguageEnglish, log, s.store, 0);
    ASSERT_EQ(r.outcome, OpenOutcome::NewRecord);
    EXPECT_EQ(r.traceCount, 3);
    EXPECT_EQ(r.samples, 8);
    EXPECT_FLOAT_EQ(r.intervalMs, 0.25f);
    EXPECT_EQ(r.receivers, (std::vector<float>{0, 1, 2}));  // all zero: 0, 1, 2
    EXPECT_EQ(r.sources, (std::vector<float>{3.5f, 3.5f, 3.5f}));
    EXPECT_EQ(r.components, (std::vector<int>{2, 2, 2}));
    EXPECT_EQ(Samples(*r.target, 1), (std::vector<float>{20, 22, 24, 26, 28, 30, 32, 34}));
    const CTraceHeader& h = r.target->HeaderAt(2);
    EXPECT_EQ(h.traceNumber, 1);
    EXPECT_EQ(h.receiverHundredths, 200);
    EXPECT_EQ(h.sourceHundredths, 350);
    EXPECT_EQ(h.gain, 1);
    EXPECT_EQ(h.component, 2);
    EXPECT_EQ(h.intervalUs, 250.0f);
    const std::string text = log.Text("seg2.txt");
    EXPECT_EQ(text.rfind("0 14933 \n1 1 \n", 0), 0u) << text.substr(0, 40);  // 0x3A55 and the revision
    EXPECT_NE(text.find("offset "), std::string::npos);
}

TEST(OpenSeg2Packed20Dialog, LimitsAndAppend)
{
    testing::TempFolder folder;
    const std::string path = WriteFile(folder, "p20.sg2", Packed20File(3, 30));
    SentinelStore s(4, 20);
    ScriptedUiHost ui;
    ui.AnswerFileOpen(path);
    ui.AnswerDialog("COpenDataFileDlg", {{"File", "Append to present data"}});
    ui.ExpectMessage("The total number of traces was too large ! \n It has been set to 4\n"
                     " Change maximum traces by 'Option', 'Dimension size' !");
    ui.ExpectMessage("The number of samples was too large ! \n Maximum sample number is 20 ");
    const Seg2OpenResult r = CSeg2FileDlg().OpenSeg2Packed20Dialog(ui, kLanguageEnglish, NullLog(), s.store, 2);
    ASSERT_EQ(r.outcome, OpenOutcome::Appended);
    EXPECT_EQ(r.start, 2);
    EXPECT_EQ(r.tracesRead, 2);
    EXPECT_EQ(r.traceCount, 4);
    EXPECT_EQ(r.samples, 20);
    EXPECT_EQ(r.target->HeaderAt(1).samples, 20);
}

TEST(OpenSeg2Packed20Dialog, BadFileRefusedWithTheLogWritten)
{
    testing::TempFolder folder;
    std::vector<uint8_t> b = Packed20File(2, 8);
    b.resize(b.size() - 3);
    const std::string path = WriteFile(folder, "p20.sg2", b);
    SentinelStore s;
    ScriptedUiHost ui;
    MemoryLogSink log;
    ui.AnswerFileOpen(path);
    ui.ExpectAnyMessage();
    EXPECT_EQ(CSeg2FileDlg().OpenSeg2Packed20Dialog(ui, kLanguageEnglish, log, s.store, 0).outcome,
              OpenOutcome::NothingRead);
    EXPECT_FALSE(log.Text("seg2.txt").empty());
    EXPECT_TRUE(s.Untouched());
}

}  // namespace
}  // namespace velk
