// The instrument-file roads headless: File > Open and Save of .ORG records through the
// registry, Torvane9 new and appended, the QK and 470 opens with the generic set-up and the QK
// save, the loggers' files and Kesh's files; the saves leave the store as it was.

#include <gtest/gtest.h>

#include <cmath>

#include "app/formats/file_commands.h"
#include "app/formats/instrument_commands.h"
#include "app/formats/load_setup.h"
#include "app/formats/file_road_fixture.h"
#include "formats/instrument_fixture_writer.h"
#include "formats/org_file.h"
#include "formats/org_variants.h"
#include "formats/seg2_test_support.h"
#include "platform/byte_io.h"

namespace velk {
namespace {

using testing::FileRoad;
using testing::ReadFileBytes;
namespace ix = testing::instrumentfixture;

ix::OrgRecord TwoChannels()
{
    ix::OrgRecord r;
    r.gainsDb = {"0", "20"};
    r.data = {{1, 2, 3, 4}, {50, -60, 70, -80}};
    return r;
}

std::string WriteOrg(FileRoad& f, const std::string& name, const ix::OrgRecord& r)
{
    const std::string path = f.folder.File(name);
    testing::WriteFileBytes(path, ix::OrgFile(r));
    return path;
}

int Block(int b, int m) { return (b + 1) * 10 * ((m % 5) - 2); }

// The store's rows and headers of the loaded traces, to show a command left them alone.
struct Snapshot {
    explicit Snapshot(const FileRoad& f)
    {
        for (int i = 0; i < f.ws.store.TraceCount(); ++i) {
            headers.push_back(f.H(i));
            for (int k = 0; k < f.ws.store.TraceSamples(i); ++k) samples.push_back(f.S(i, k));
        }
    }
    bool operator==(const Snapshot&) const = default;
    std::vector<CTraceHeader> headers;
    std::vector<float> samples;
};

TEST(InstrumentRoads, OrgThroughFileOpenAndSave)
{
    FileRoad f;
    const std::string path = WriteOrg(f, "TQ001.ORG", TwoChannels());
    f.ui.ExpectMessage(RecordSummaryMessage(2, 0.25f, 4));
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, path, f.ui));
    EXPECT_EQ(f.doc.fileType, kFileTorvaneOrg);
    EXPECT_EQ(f.S(1, 3), -8.0f);
    EXPECT_EQ(f.H(1).gain, 20);
    EXPECT_NE(f.Log().Text("read_Torvane_file.txt").find("cha=1 gain=20"), std::string::npos);

    const std::string out = f.folder.File("out.ORG");
    ASSERT_TRUE(f.doc.SaveRecord(f.ws, out, f.ui));
    f.ui.AnswerDialog("COpenDataFileDlg");
    f.ui.ExpectMessage(RecordSummaryMessage(2, 0.25f, 4));
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, out, f.ui));
    EXPECT_NEAR(f.S(1, 3), -8.0f, 1.0 / kOrgWrittenGainFactor);
    EXPECT_NEAR(f.S(0, 1), 2.0f, 1.0 / kOrgWrittenGainFactor);

    // 120 traces do not fit the two-character field: refused, the old file stays.
    std::vector<int32_t> receivers(120);
    for (int i = 0; i < 120; ++i) receivers[static_cast<size_t>(i)] = i * 100;
    f.ui.AnswerDialog("COpenDataFileDlg");
    f.ui.ExpectMessage(RecordSummaryMessage(120, 0.5f, 20));
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, f.WriteEightHeader("many.8hd", receivers), f.ui));
    f.doc.fileType = kFileTorvaneOrg;
    const std::vector<uint8_t> old = ReadFileBytes(out);
    f.ui.ExpectMessage("The file could not be saved. The old file was not changed.\n\n" + out +
                       "\nan .ORG file holds at most 99 traces; the record has 120");
    EXPECT_FALSE(f.doc.SaveRecord(f.ws, out, f.ui));
    EXPECT_EQ(ReadFileBytes(out), old);
}

TEST(InstrumentRoads, Torvane9NewThenAFailedAppendThenAnAppend)
{
    FileRoad f;
    const std::string first = f.folder.File("t9a.txt");
    testing::WriteFileText(first, ix::Torvane9Text("1000", "1000", "10k ", 500, 2970));
    f.ui.AnswerFileOpen(first);
    f.ui.AnswerDialog("CTraceHeaderKeyDlg", {{"First receiver", "10"}, {"Receiver interval", "2"}, {"Source", "-5"}});
    EXPECT_EQ(f.Run(OpenTorvane9File), 1);
    const UiCall& key = f.ui.Calls().back();
    EXPECT_EQ(key.Shown("Data length"), "990");
    EXPECT_EQ(key.Shown("Number of traces"), "3");
    ASSERT_EQ(f.ws.store.TraceCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(f.H(i).traceNumber, i + 1);
        EXPECT_EQ(f.H(i).receiverHundredths, 1000 + 200 * i);
        EXPECT_EQ(f.H(i).sourceHundredths, -500);
        EXPECT_EQ(f.H(i).component, 1);
        EXPECT_EQ(f.H(i).intervalUs, 500.0f);
        EXPECT_EQ(f.H(i).samples, 990);
    }
    EXPECT_EQ(f.S(2, 0), 2500.0f);
    EXPECT_EQ(f.ws.store.Params().plotscale, 200.0f);
    EXPECT_EQ(f.ws.store.Params().vscale, 0.05f);
    EXPECT_EQ(f.doc.Path(), "");

    // 2969 values: nothing changes, not even the undo levels.
    const Snapshot before(f);
    const std::string bad = f.folder.File("t9bad.txt");
    testing::WriteFileText(bad, ix::Torvane9Text("1000", "1000", "1000", 500, 2969));
    f.ui.AnswerFileOpen(bad);
    f.ui.AnswerDialog("COpenDataFileDlg");
    f.ui.ExpectMessage(" The Torvane9 file holds 2969 of its 2970 values.\n\n The data was not changed.");
    EXPECT_EQ(f.Run(OpenTorvane9File), 0);
    EXPECT_EQ(Snapshot(f), before);
    EXPECT_EQ(f.ws.store.undoDepth, 0);

    // Appended: "Source location etc." with the kept source and the next component.
    f.ui.AnswerFileOpen(first);
    f.ui.AnswerDialog("COpenDataFileDlg");
    f.ui.AnswerDialog("CSourceLocationDlg", {{"Source location", "7"}});
    f.ui.AnswerDialog("CTraceHeaderKeyDlg", {{"First receiver", "11"}});
    EXPECT_EQ(f.Run(OpenTorvane9File), 1);
    const UiCall* source = nullptr;
    for (const UiCall& c : f.ui.Calls())
        if (c.text == "CSourceLocationDlg") source = &c;
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->Shown("Source location"), "-5");
    EXPECT_EQ(source->Shown("Component"), "2");
    ASSERT_EQ(f.ws.store.TraceCount(), 6);
    const int32_t receivers[] = {1000, 1100, 1200, 1300, 1400, 1500};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(f.H(i).receiverHundredths, receivers[i]) << i;
    EXPECT_EQ(f.H(1).component, 2);
    EXPECT_EQ(f.H(1).sourceHundredths, 700);
    EXPECT_EQ(f.H(0).component, 1);
    EXPECT_EQ(f.ws.store.undoDepth, 1);
}

TEST(InstrumentRoads, QkOpenAndSaveByTrace)
{
    FileRoad f;
    ix::OrgRecord r = TwoChannels();
    r.intervalMs = "0.125";
    f.ui.AnswerFileOpen(WriteOrg(f, "TQ001_QK.ORG", r));
    EXPECT_EQ(f.Run(OpenQkFile), 1);
    EXPECT_EQ(f.ui.Calls()[0].file.initialName, "TQ***_QK.ORG");
    ASSERT_EQ(f.ws.store.TraceCount(), 2);
    EXPECT_EQ(f.H(1).traceNumber, 1);
    EXPECT_EQ(f.H(1).receiverHundredths, 200);
    EXPECT_EQ(f.H(1).intervalUs, 125.0f);
    EXPECT_EQ(f.S(1, 0), -50.0f);
    EXPECT_EQ(f.ws.store.Params().plotscale, 50.0f);
    EXPECT_EQ(f.ws.store.Params().hscale, 25.0f);

    const Snapshot before(f);
    const std::string out = f.folder.File("TQ002_QK.ORG");
    f.ui.AnswerDialog("CSave470fFileDlg", {{"Normalization", "Trace"}});
    f.ui.AnswerFileSave(out);
    EXPECT_EQ(f.Run(SaveQkFile), 0);
    EXPECT_EQ(Snapshot(f), before);
    ScriptedUiHost ui;
    FormatContext fc{ui, kLanguageEnglish, NullLog()};
    LoadTarget target = testing::TargetFor(8, 8);
    const InstrumentReadResult back = ReadQkOrg(out, target, fc);
    ASSERT_EQ(back.traces, 2);
    EXPECT_FLOAT_EQ(back.intervalMs, 0.125f);
    EXPECT_EQ(target.RowIfAny(0)[3], -32768.0f) << "each trace's own peak is 32768";
    EXPECT_EQ(target.RowIfAny(1)[3], 32768.0f);
    EXPECT_EQ(target.RowIfAny(0)[0], -8192.0f);
}

TEST(InstrumentRoads, Open470AppliesTheGains)
{
    FileRoad f;
    ix::OrgRecord r = TwoChannels();
    r.model = "001TQ470  ";
    r.width = 2;
    f.ui.AnswerFileOpen(WriteOrg(f, "TQ003.ORG", r));
    EXPECT_EQ(f.Run(Open470File), 1);
    ASSERT_EQ(f.ws.store.TraceCount(), 2);
    EXPECT_EQ(f.S(1, 1), 6.0f);
    EXPECT_NE(f.Log().Text("read470.txt").find(" 1 20 10.000000 \n"), std::string::npos);
}

TEST(InstrumentRoads, ShuttleOpenAndSaveKeepTheHeaderAndTheStore)
{
    FileRoad f;
    const std::string path = f.folder.File("SUSPE001.ORG");
    testing::WriteFileBytes(path, ix::ShuttleFile("  250", 3, Block));
    f.ui.AnswerFileOpen(path);
    EXPECT_EQ(f.Run(OpenShuttleFile), 1);
    ASSERT_EQ(f.ws.store.TraceCount(), 3);
    EXPECT_EQ(f.ws.instrumentFiles.shuttleHeaderHeld, 1);
    EXPECT_FLOAT_EQ(f.ws.store.Params().sampleInterval, 0.2500001f);
    EXPECT_EQ(f.S(2, 0), 60.0f);
    EXPECT_EQ(f.H(2).receiverHundredths, 300);

    const Snapshot before(f);
    const std::string out = f.folder.File("SUSPE002.ORG");
    f.ui.AnswerFileSave(out);
    EXPECT_EQ(f.Run(SaveShuttleFile), 0);
    EXPECT_EQ(Snapshot(f), before);
    const std::vector<uint8_t> written = ReadFileBytes(out);
    const std::vector<uint8_t> original = ReadFileBytes(path);
    ASSERT_EQ(written.size(), original.size());
    EXPECT_TRUE(std::equal(written.begin(), written.begin() + 1024, original.begin())) << "the kept header";
    const int16_t firstOfLast = static_cast<int16_t>(written[1024 + 2 * 2048] | (written[1024 + 2 * 2048 + 1] << 8));
    EXPECT_EQ(firstOfLast, -2048) << "the peak 60 scaled to 2048, stored with the opposite sign";

    // A record whose interval no longer matches the kept header: said, then written.
    f.ws.store.Params().sampleInterval = 0.5f;
    f.ui.AnswerFileSave(out);
    f.ui.ExpectMessage(" The kept shuttle header gives a sampling time of 0.25 ms, the record has 0.5 ms ! \n The header is written as it was read.");
    EXPECT_EQ(f.Run(SaveShuttleFile), 0);
}

TEST(InstrumentRoads, SuspensionOpenAndSave)
{
    FileRoad f;
    const std::string path = f.folder.File("susp.ORG");
    testing::WriteFileBytes(path, ix::SuspensionFile("500", "250", 6, Block));
    f.ui.AnswerFileOpen(path);
    EXPECT_EQ(f.Run(OpenSuspensionFile), 1);
    ASSERT_EQ(f.ws.store.TraceCount(), 6);
    EXPECT_EQ(f.H(2).intervalUs, 250.0f);
    EXPECT_EQ(f.H(5).intervalUs, 250.0f);
    EXPECT_EQ(f.H(4).intervalUs, 500.0f);
    EXPECT_FLOAT_EQ(f.ws.store.Params().sampleInterval, 0.5f);
    EXPECT_EQ(f.ws.store.Params().samplesPerTrace, 1024);

    const Snapshot before(f);
    const std::string out = f.folder.File("SUSPE003.ORG");
    f.ui.AnswerFileSave(out);
    EXPECT_EQ(f.Run(SaveSuspensionFile), 0);
    EXPECT_EQ(Snapshot(f), before);
    const std::vector<uint8_t> written = ReadFileBytes(out);
    ASSERT_EQ(written.size(), 1024u + 6 * 2048);
    EXPECT_EQ(std::string(written.begin() + 76, written.begin() + 82), "  500\r");
}

// Both logger saves of the bundled record (24 traces of 2000 samples at 0.25 ms) read back as the
// 1024-sample traces they wrote, scaled to a peak of 2048, with the interval and the reader's
// positions; saving what was read back gives the same bytes again.
TEST(InstrumentRoads, LoggerSavesOfTheBundledRecordReadBack)
{
    struct Road {
        int (*save)(CommandContext&);
        int (*open)(CommandContext&);
        int32_t firstReceiver;
    };
    for (const Road& road : {Road{SaveShuttleFile, OpenShuttleFile, 100}, Road{SaveSuspensionFile, OpenSuspensionFile, 0}}) {
        FileRoad f;
        CommandContext ctx = f.Context();
        f.ui.ExpectMessage(RecordSummaryMessage(24, 0.25f, 2000));
        ASSERT_TRUE(OpenDocumentFile(ctx, std::string(VELK_SOURCE_DIR) + "/data/sample-shot.sg2"));
        ASSERT_EQ(f.ws.store.TraceCount(), 24);
        const Snapshot shot(f);
        float peak = 0.0f;
        for (int i = 0; i < 24; ++i)
            for (int k = 0; k < 1024; ++k) peak = std::max(peak, std::fabs(f.S(i, k)));

        const std::string first = f.folder.File("SUSPE001.ORG"), second = f.folder.File("SUSPE002.ORG");
        f.ui.AnswerFileSave(first);
        f.ui.ExpectMessage(" 2000 samples per trace are written as 1024 ! \n The file holds blocks of 1024 samples: longer traces are cut, shorter ones padded with zeros.");
        EXPECT_EQ(f.Run(road.save), 0);
        f.ui.AnswerFileOpen(first);
        ASSERT_EQ(f.Run(road.open), 1);
        ASSERT_EQ(f.ws.store.TraceCount(), 24);
        EXPECT_EQ(f.ws.store.Params().samplesPerTrace, 1024);
        EXPECT_NEAR(f.ws.store.Params().sampleInterval, 0.25f, 1e-6);
        for (int i = 0; i < 24; ++i) {
            EXPECT_NEAR(f.H(i).intervalUs, 250.0f, 1e-3);
            EXPECT_EQ(f.H(i).receiverHundredths, road.firstReceiver + 100 * i);
            for (int k = 0; k < 1024; ++k) {
                const float written = shot.samples[static_cast<size_t>(i * 2000 + k)] * 2048.0f / peak;
                ASSERT_LE(std::fabs(f.S(i, k) - written), 0.5f) << "trace " << i << " sample " << k;
            }
        }

        f.ui.AnswerFileSave(second);
        EXPECT_EQ(f.Run(road.save), 0);
        EXPECT_EQ(f.ui.Messages().size(), 2u) << "the summary and the first save's only: 1024 samples fit";
        EXPECT_EQ(ReadFileBytes(first), ReadFileBytes(second));
    }
}

TEST(InstrumentRoads, KeshFileHasOneMillisecond)
{
    FileRoad f;
    const std::string path = f.folder.File("kesh.bin");
    testing::WriteFileBytes(path, ix::KeshFile(2, 3, {{1.0f, 2.0f, 3.0f}, {-4.0f, 5.0f, 6.0f}}));
    f.ui.AnswerFileOpen(path);
    EXPECT_EQ(f.Run(ReadKeshFileCommand), 1);
    EXPECT_EQ(f.ws.store.TraceCount(), 2);
    EXPECT_FLOAT_EQ(f.ws.store.Params().sampleInterval, 1.0f);
    EXPECT_EQ(f.H(1).receiverHundredths, 200);
    EXPECT_EQ(f.ws.store.Params().recordMaximum, 6.0f);

    f.ui.AnswerFileOpen(f.folder.File("none.bin"));
    f.ui.ExpectMessage("ﾃﾞｰﾀﾌｧｲﾙをｵｰﾌﾟﾝできません\n\n" + f.folder.File("none.bin"));
    EXPECT_EQ(f.Run(ReadKeshFileCommand), 0);
    EXPECT_EQ(f.ws.store.TraceCount(), 2);
}

}  // namespace
}  // namespace velk
