// The batches and the appends run headless on files of a temporary folder.

#include "app/survey/batch_commands.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/formats/file_road_fixture.h"
#include "dsp/fixture.h"
#include "formats/eight_header.h"
#include "formats/file_roads.h"
#include "formats/load_target.h"
#include "formats/seg2.h"
#include "platform/byte_io.h"
#include "tests/formats/import_fixtures.h"

namespace velk {
namespace {

using testing::FileRoad;

class Batch : public ::testing::Test, public FileRoad {
protected:
    explicit Batch(const std::string& profileText = "") : FileRoad(profileText) {}
    int Do(int (*command)(CommandContext&)) { return FileRoad::Run(command); }

    // A SEG-2 float file of n traces: receiver i x 100, sample k of trace i = i + k / 4; with a
    // latitude the extended records carry it.
    std::string WriteSeg2(const std::string& name, int n, int samples = 16, float latitude = -1000.0f)
    {
        Matrix2D<float> rows(0, n - 1, 0, samples - 1);
        std::vector<CTraceHeader> headers(static_cast<size_t>(n));
        std::vector<CTraceHeaderEx> records(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            headers[static_cast<size_t>(i)].Set(i + 1, i * 100, 0, 1, 7, 0.0f, 500.0f, samples);
            records[static_cast<size_t>(i)].latitude = latitude;
            records[static_cast<size_t>(i)].longitude = latitude;
            for (int k = 0; k < samples; ++k) rows[i][k] = static_cast<float>(i) + 0.25f * static_cast<float>(k);
        }
        ByteSink sink;
        EXPECT_TRUE(velk::WriteSeg2(sink, rows, headers, n, 4, 1.0f, records).ok);
        const std::string path = folder.File(name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(sink.Bytes().data()), static_cast<std::streamsize>(sink.Bytes().size()));
        return path;
    }

    // A written output read back by the program's readers.
    struct Back {
        int traces = 0;
        std::unique_ptr<LoadTarget> target;
        const CTraceHeader& H(int i) const { return target->HeaderAt(i); }
        float S(int i, int k) const { return target->RowIfAny(i)[static_cast<size_t>(k)]; }
    };
    Back ReadBack(const std::string& path)
    {
        NullUiHost quiet;
        FormatContext ctx{quiet, -1, NullLog()};
        Back b;
        b.target = std::make_unique<LoadTarget>(0, 128, 8192, 4100);
        b.traces = BatchReadByType(path, *b.target, ctx);
        return b;
    }

    // The user's record: two traces and one undo level, to prove the batches leave it alone.
    void LoadUserRecord()
    {
        WaveformStore& s = ws.store;
        s.Params().traceCount = 2;
        s.current.rows[1][3] = 42.0f;
        s.current.headers[1].receiverHundredths = 1234;
        s.PushUndo();
    }
    void ExpectUserRecordKept()
    {
        EXPECT_EQ(ws.store.TraceCount(), 2);
        EXPECT_EQ(ws.store.undoDepth, 1);
        EXPECT_EQ(S(1, 3), 42.0f);
        EXPECT_EQ(H(1).receiverHundredths, 1234);
        EXPECT_EQ(S(2, 0), 0.0f);
    }
};

TEST(BatchNames, ExtensionsEndTheFileName)
{
    struct Case {
        std::string got, want;
    } cases[] = {
        {BatchOutputName("/d/a.b/x.sg2", "_key", 0), "/d/a.b/x_key.sg2"},
        {BatchOutputName("C:\\a.b\\x.sg2", "_key", 0), "C:\\a.b\\x_key.sg2"},
        {BatchOutputName("/d/run.dat/S1.dat", "_key", 1), "/d/run.dat/S1_key.8hd"},
        {BatchOutputName("/d/t.ORG", "_key", 1), "/d/t_key.8hd"},
        {BatchReadFile("/d/r.8hd", "_ccg"), "/d/r_ccg.sg2"},
        {BatchBandPassName("/d/line1.dat", "_BPF"), "/d/line1_BPF.8hd"},
        {BatchBandPassName("/d/run.dat/", "_BPF"), ""},
        {BatchOutputName("/d/notes.txt", "_key", 0), ""},
        {BatchOutputName("/d/x.dat.bak", "_key", 0), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST_F(Batch, KeysByDialogBoxAreWrittenAndTheRecordIsKept)
{
    LoadUserRecord();
    const std::string a = WriteSeg2("s1.dat", 3);
    const std::string b = WriteSeg2("s2.sg2", 3);
    const std::string c = WriteSeg2("s3.dat", 3);
    const std::string empty = folder.File("e.dat");
    std::ofstream(empty).put('\n');
    const std::string unknown = folder.File("notes.txt");
    for (const char* format : {"8 header", "Seg2"}) {
        const std::string ext = format[0] == '8' ? ".8hd" : ".sg2";
        ui.AnswerDialog("CBatchDlg", {{"Output file", format}});
        ui.AnswerFilesOpen({a, b, unknown, c, empty});
        ui.AnswerDialog("CTraceHeaderKeyDlg", {{"First receiver", "1"}, {"Receiver interval", "2.5"}, {"Source", "-3.5"}});
        ui.ExpectMessage(" 1 3 " + folder.File("s1_key") + ext);
        ui.AnswerDialog("CTraceHeaderKeyDlg", {{"Number of traces", "30"}});
        ui.ExpectMessage("The number of traces must be between 1 and 3 !");
        ui.AnswerDialogWith("CTraceHeaderKeyDlg", [](DialogRequest& r) {
            // The source stays from the file before; the refused count comes back to be mended.
            EXPECT_EQ(r.Find("Source")->Text(), "-3.5");
            EXPECT_EQ(r.SetFromText("Number of traces", "2"), "");
            EXPECT_EQ(r.SetFromText("Data length", "20"), "");
            return true;
        });
        ui.ExpectMessage(" 2 2 " + folder.File("s2_key") + ext);
        ui.CancelDialog("CTraceHeaderKeyDlg");
        ui.SetStrict(false);  // the empty file's reader messages
        EXPECT_EQ(Do(BatchSourceReceiverLocations), 0);
        ui.SetStrict(true);
        ExpectUserRecordKept();

        Back one = ReadBack(folder.File("s1_key") + ext);
        ASSERT_EQ(one.traces, 3);
        EXPECT_EQ(one.H(0).receiverHundredths, 100);
        EXPECT_EQ(one.H(1).receiverHundredths, 350);
        EXPECT_EQ(one.H(2).receiverHundredths, 600);
        EXPECT_EQ(one.H(2).sourceHundredths, -350);
        EXPECT_EQ(one.S(2, 3), 2.75f);
        Back two = ReadBack(folder.File("s2_key") + ext);
        ASSERT_EQ(two.traces, 2);
        EXPECT_EQ(two.H(1).samples, 20);
        EXPECT_EQ(two.S(1, 15), 4.75f);
        EXPECT_EQ(two.S(1, 19), 0.0f);
        EXPECT_EQ(Log().Text("multi_select.txt"),
                  "0 : " + a + " \n1 : " + b + " \n2 : " + unknown + " \n2 : no output name for this file type, skipped \n" +
                      "3 : " + c + " \n3 : cancelled, skipped \n4 : " + empty + " \n4 : no trace read, skipped \n");
    }
}

TEST_F(Batch, KeysFromAKeyFileRelabelAndReorder)
{
    LoadUserRecord();
    const std::string a = WriteSeg2("k1.dat", 3);
    const std::string one = WriteSeg2("k2.dat", 1);
    const std::string key = folder.File("keys.txt");
    testing::WriteFileText(key, "3 500 0 1 0 0\n1 900 0 2 0 0\n");
    ui.AnswerDialog("CBatchDlg", {{"Key", "By key file"}});
    ui.AnswerFilesOpen({a, one});
    ui.AnswerFileOpen(key);
    ui.AnswerDialogWith("CTraceHeaderKeyDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("First receiver")->Text(), "5");
        EXPECT_EQ(r.Find("Receiver interval")->Text(), "4");
        return r.SetFromText("Source", "12").empty();
    });
    ui.ExpectMessage(" 1 2 " + folder.File("k1_key.8hd"));
    // One trace: the interval of the file before stays.
    ui.AnswerDialogWith("CTraceHeaderKeyDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Receiver interval")->Text(), "4");
        EXPECT_EQ(r.Find("Source")->Text(), "12");
        return true;
    });
    ui.ExpectMessage(" 2 1 " + folder.File("k2_key.8hd"));
    EXPECT_EQ(Do(BatchSourceReceiverLocations), 0);
    ExpectUserRecordKept();
    Back b = ReadBack(folder.File("k1_key.8hd"));
    ASSERT_EQ(b.traces, 2);
    EXPECT_EQ(b.H(0).receiverHundredths, 500);
    EXPECT_EQ(b.S(0, 0), 2.0f);  // trace 3 of the file
    EXPECT_EQ(b.H(1).receiverHundredths, 900);
    EXPECT_EQ(b.H(1).component, 2);
    EXPECT_EQ(b.H(1).sourceHundredths, 1200);
}

TEST_F(Batch, BandPassMatchesTheReference)
{
    LoadUserRecord();
    const dsptest::Fixture fx("batch.txt");
    const int traces = 3;
    Matrix2D<float> rows(0, traces - 1, 0, 99);
    std::vector<CTraceHeader> headers(traces);
    for (int c = 0; c < traces; ++c) {
        const std::vector<double> args = fx.Get("trace_args_" + std::to_string(c));
        const int n = static_cast<int>(args[1]);
        const std::vector<double> x = dsptest::SignalLcg(static_cast<uint32_t>(args[0]), static_cast<size_t>(n));
        for (int k = 0; k < n; ++k) rows[c][k] = static_cast<float>(x[static_cast<size_t>(k)]);
        headers[static_cast<size_t>(c)].Set(c + 1, c * 100, 0, 1, 1, 0.0f, static_cast<float>(args[2] * 1000.0), n);
    }
    const std::string in = folder.File("line1.dat");
    ASSERT_TRUE(WriteSeg2File(in, rows, headers, traces, 4, 1.0f).ok);
    const std::string bad = folder.File("line2.8hd");
    headers[0].intervalUs = 0.0f;
    ASSERT_TRUE(WriteEightHeaderFile(bad, rows, headers, 1).ok);

    ws.settings.bpfLowCut = static_cast<float>(fx.Get("cuts")[0]);
    ws.settings.bpfHighCut = static_cast<float>(fx.Get("cuts")[1]);
    ui.AnswerFilesOpen({bad, in});
    ui.CancelDialog("CBandPassDlg");  // the kept corners, and the batch runs
    ui.ExpectMessage("The sampling time of this record is not valid.");
    ui.ExpectMessage("BPF has been finished !");
    EXPECT_EQ(Do(BatchBandPassCommand), 0);
    ExpectUserRecordKept();
    Back out = ReadBack(folder.File("line1_BPF.8hd"));
    ASSERT_EQ(out.traces, traces);
    for (int c = 0; c < traces; ++c) {
        const std::vector<double>& want = fx.Get("trace_" + std::to_string(c));
        const double peak = dsptest::MaxAbs(want);
        for (size_t k = 0; k < want.size(); ++k) EXPECT_NEAR(out.S(c, static_cast<int>(k)), want[k], 1e-5 * peak);
    }

    // Overlapping tapers stop the batch; the end message still comes.
    ws.settings.bpfLowCut = 50.0f;
    ui.AnswerFilesOpen({in});
    ui.AnswerDialog("CBandPassDlg");
    ui.ExpectMessage("Wrong filter parameters !");
    ui.ExpectMessage("BPF has been finished !");
    EXPECT_EQ(Do(BatchBandPassCommand), 0);
}

TEST_F(Batch, BandPassShowsTraceProgressOnlyForLongTransforms)
{
    struct View : ViewSurface {
        void Repaint() override {}
        void ShowTransientText(const std::string& text, LPoint at) override { texts.push_back({text, at.x, at.y}); }
        std::vector<std::tuple<std::string, int, int>> texts;
    } view;
    const std::string shortFile = WriteSeg2("a1.dat", 2, 2048);
    const std::string longFile = WriteSeg2("a2.dat", 2, 2049);
    ui.AnswerFilesOpen({shortFile, longFile});
    ui.AnswerDialog("CBandPassDlg", {{"Low-cut freq.", "5"}, {"High-cut freq.", "100"}});
    ui.ExpectMessage("BPF has been finished !");
    CommandContext c = Context();
    c.view = &view;
    BatchBandPassCommand(c);
    using T = std::tuple<std::string, int, int>;
    EXPECT_EQ(view.texts, (std::vector<T>{T{"1 files have been bandpassed !", 10, -18},
                                          T{" BPF calculation : trace = 1 ", 10, -68},
                                          T{" BPF calculation : trace = 2 ", 10, -68},
                                          T{"2 files have been bandpassed !", 10, -18}}));
    EXPECT_EQ(ws.settings.bpfLowCut, 5.0f);
}

TEST_F(Batch, AppendedFilesGetComponentsAndPositions)
{
    const std::string f1 = WriteSeg2("c1.sg2", 2);
    const std::string f2 = WriteSeg2("c2.sg2", 2);
    const std::string f3 = WriteSeg2("c3.sg2", 2);
    const std::string station = WriteSeg2("st_0042.sg2", 1, 16, 35.5f);
    ui.AnswerFilesOpen({f3, f1, f2, station});
    ui.ExpectMessage("Use receiver component in trace header ?", MsgButtons::YesNo, MsgResult::No);
    ui.ExpectMessage("4 files have been appended !");
    EXPECT_EQ(Do(AppendSelectedFilesCommand), 1);
    ASSERT_EQ(ws.store.TraceCount(), 7);
    EXPECT_EQ(ws.survey.appendFiles, 1);
    // Sorted by receiver: 0, 0, 0, 100, 100, 100, then the station at 42 m.
    const int components[] = {1, 2, 3, 1, 2, 3, 4};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(H(i).component, components[i]) << i;
    EXPECT_EQ(H(6).receiverHundredths, 4200);
    EXPECT_EQ(ws.store.undoDepth, 1);
}

class SmallStore : public Batch {
protected:
    SmallStore() : Batch("[General]\nMAXTRACES=64\n") {}
};

TEST_F(SmallStore, AFileThatDoesNotFitIsNotRead)
{
    const std::string a = WriteSeg2("f1.dat", 24);
    const std::string b = WriteSeg2("f2.dat", 24);
    const std::string c = WriteSeg2("f3.dat", 24);
    ui.AnswerFilesOpen({a, b, c});
    ui.ExpectMessage("Use receiver component in trace header ?", MsgButtons::YesNo, MsgResult::Yes);
    ui.ExpectMessage(RecordTooLargeMessage(-1, 64, 4100));
    ui.ExpectMessage("2 files have been appended !");
    EXPECT_EQ(Do(AppendSelectedFilesCommand), 1);
    EXPECT_EQ(ws.store.TraceCount(), 48);
    EXPECT_EQ(H(0).component, 7);
}

TEST_F(Batch, AFolderSkipsUnknownFilesAndFeedsStations)
{
    WriteSeg2("b1.dat", 2);
    testing::WriteFileText(folder.File("readme.txt"), "not a record\n");
    namespace fx = testing::importfixture;
    fx::StationText station;
    station.code = "KNG001";
    station.counts = {1, 2, 3, 4, 5, 6, 7, 8};
    station.frequency = 8;
    testing::WriteFileText(folder.File("KNG001.EW"), fx::StationTextFile(station));
    ui.AnswerFolder(folder.Path());
    ui.ExpectMessage("Use receiver component in trace header ?", MsgButtons::YesNo, MsgResult::Yes);
    ui.SetStrict(false);  // what the station reader may say of its text
    Do(AppendFolderCommand);
    ui.SetStrict(true);
    EXPECT_EQ(ui.Messages().back(), "2 files have been appended !");
    EXPECT_EQ(ws.store.TraceCount(), 3);
    EXPECT_EQ(ws.strongMotionFlag, 1);
    // The log is written into the chosen folder, not through the working folder's sink.
    EXPECT_EQ(Log().Text("multi_select.txt"), "");
    const std::string log = testing::ReadFileText(folder.File("multi_select.txt"));
    EXPECT_NE(log.find("readme.txt -1 \n"), std::string::npos);
    EXPECT_NE(log.find("b1.dat 0 \n"), std::string::npos);
}

}  // namespace
}  // namespace velk
