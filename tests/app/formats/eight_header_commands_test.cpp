// The 8-header roads headless: File > Open and Save through the registry, the skip road's
// 8-header branch, the old layouts, appending, "Save 8 header file", the text form and the
// join.

#include <gtest/gtest.h>

#include "app/formats/eight_header_commands.h"
#include "app/formats/load_setup.h"
#include "app/formats/seg2_commands.h"
#include "app/formats/file_road_fixture.h"
#include "formats/instrument_fixture_writer.h"

namespace velk {
namespace {

using testing::FileRoad;
using testing::ReadFileBytes;
namespace ix = testing::instrumentfixture;

TEST(EightHeaderRoads, FileOpenAndSaveGoThroughTheRegistryBitForBit)
{
    FileRoad f;
    const std::string path = f.WriteEightHeader("a.8hd", {0, 100, 200});
    f.ui.ExpectMessage(RecordSummaryMessage(3, 0.5f, 20));
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, path, f.ui));
    EXPECT_EQ(f.doc.fileType, kFileEightHeader);
    EXPECT_EQ(f.S(2, 7), 2007.0f);
    const std::string out = f.folder.File("b.8hd");
    ASSERT_TRUE(f.doc.SaveRecord(f.ws, out, f.ui));
    EXPECT_EQ(ReadFileBytes(out), ReadFileBytes(path));

    f.ui.AnswerDialog("COpenDataFileDlg");
    f.ui.ExpectMessage(" The file holds no trace.");
    testing::WriteFileText(f.folder.File("empty.8hd"), "");
    EXPECT_FALSE(f.doc.LoadRecord(f.ws, f.folder.File("empty.8hd"), f.ui));
    EXPECT_EQ(f.ws.store.TraceCount(), 3);
}

TEST(EightHeaderRoads, SkipRoadBranchReadsEveryOtherSampleAndTheDocumentIsEightHeader)
{
    FileRoad f;
    const std::string path = f.WriteEightHeader("a.8hd", {0, 100});
    f.ui.AnswerDialog("CSampleSkipDlg", {{"Skip", "2"}});
    f.ui.AnswerFileOpen(path);
    f.ui.ExpectMessage(RecordSummaryMessageMsec(2, 1.0f, 10));
    CommandContext ctx = f.Context();
    EXPECT_EQ(OpenWithSampleSkip(ctx, EightHeaderSkipReader()), 1);
    EXPECT_EQ(f.ui.Calls()[1].file.initialName, "*.8hd");
    EXPECT_EQ(f.H(1).samples, 10);
    EXPECT_EQ(f.H(1).intervalUs, 1000.0f);
    EXPECT_EQ(f.S(1, 3), 1006.0f);
    EXPECT_EQ(f.doc.fileType, kFileEightHeader);
    EXPECT_EQ(f.doc.Path(), path);
}

TEST(EightHeaderRoads, SaveThenOlderRestoresHeadersAndSamples)
{
    FileRoad f;
    const std::string a = f.WriteEightHeader("a.8hd", {0, 250, 500}, 20, 500.0f, 2);
    f.ui.AnswerFileOpen(a);
    f.ui.ExpectMessage(RecordSummaryMessage(3, 0.5f, 20));
    EXPECT_EQ(f.Run(OpenOlderEightHeader), 1);
    EXPECT_EQ(f.ws.instrumentFiles.oldEightHeaderFile, 1);
    const std::vector<CTraceHeader> before(f.ws.store.current.headers.begin(), f.ws.store.current.headers.begin() + 3);

    const std::string b = f.folder.File("b.8hd");
    f.ui.AnswerFileSave(b);
    EXPECT_EQ(f.Run(SaveEightHeaderRecord), 0);
    EXPECT_EQ(ReadFileBytes(b), ReadFileBytes(a));

    f.ui.AnswerFileOpen(b);
    f.ui.ExpectMessage(RecordSummaryMessage(3, 0.5f, 20));
    EXPECT_EQ(f.Run(OpenOlderEightHeader), 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(f.H(i), before[static_cast<size_t>(i)]);
    EXPECT_EQ(f.S(2, 19), 2019.0f);
    EXPECT_FLOAT_EQ(f.ws.geometry.receiverInterval, 2.5f) << "from the second file on, from the second trace";
    EXPECT_EQ(f.ws.store.undoDepth, 1);
    EXPECT_EQ(f.doc.Path(), b);

    f.ui.AnswerFileSave(f.folder.File("missing/c.8hd"));
    f.ui.ExpectAnyMessage();
    EXPECT_EQ(f.Run(SaveEightHeaderRecord), 0);
}

TEST(EightHeaderRoads, OldestLayoutHasIntegerTimesAndComponent1000MeansSeconds)
{
    FileRoad f;
    ix::EightHeaderTrace t;
    t.number = 1;
    t.component = 1000;
    t.delayUs = 2000.0f;
    t.intervalUs = 500.0f;
    t.samples = {1.0f, -2.0f, 3.0f};
    const std::string path = f.folder.File("old.dat");
    testing::WriteFileBytes(path, ix::EightHeaderFile({t}, true));
    f.ui.AnswerFileOpen(path);
    f.ui.ExpectMessage(" Number of trace = 1 \n Sampling time = 0.500000 \n Number of sample = 3 ");
    EXPECT_EQ(f.Run(OpenOldestEightHeader), 1);
    EXPECT_EQ(f.H(0).delayUs, 2000.0f);
    EXPECT_EQ(f.H(0).intervalUs, 500.0f);
    EXPECT_FLOAT_EQ(f.ws.store.Params().sampleInterval, 0.5f);
    EXPECT_EQ(f.ws.display.secondsFlag, 1);
    EXPECT_EQ(f.ws.store.Params().recordMaximum, 3.0f);
    EXPECT_EQ(f.doc.Path(), "") << "Save asks for a name: the oldest layout is never written over";
    EXPECT_EQ(f.doc.currentFileName, "old.dat");
}

TEST(EightHeaderRoads, AppendingThreeOntoTenGivesThirteenSorted)
{
    FileRoad f;
    std::vector<int32_t> ten;
    for (int i = 0; i < 10; ++i) ten.push_back(i * 100);
    f.ui.AnswerFileOpen(f.WriteEightHeader("ten.8hd", ten));
    f.ui.ExpectMessage(RecordSummaryMessage(10, 0.5f, 20));
    ASSERT_EQ(f.Run(OpenOlderEightHeader), 1);
    const int axis = f.ws.store.Params().verticalAxisKind;

    f.ui.AnswerFileOpen(f.WriteEightHeader("three.8hd", {1050, 450, -50}));
    f.ui.ExpectMessage(RecordSummaryMessage(13, 0.5f, 20));
    EXPECT_EQ(f.Run(AppendEightHeader), 1);
    ASSERT_EQ(f.ws.store.TraceCount(), 13);
    for (int i = 1; i < 13; ++i) EXPECT_LE(f.H(i - 1).receiverHundredths, f.H(i).receiverHundredths);
    EXPECT_EQ(f.H(0).receiverHundredths, -50);
    EXPECT_EQ(f.S(0, 4), 2004.0f) << "the samples moved with their trace";
    EXPECT_EQ(f.ws.store.Params().verticalAxisKind, -axis);
    EXPECT_EQ(f.ws.display.firstReceiver, -0.5f);

    f.ui.AnswerFileOpen(f.folder.File("none.8hd"));
    f.ui.ExpectMessage(kCanNotOpenFile);
    EXPECT_EQ(f.Run(AppendEightHeader), 0);
}

TEST(EightHeaderRoads, AppendIntoAFullStoreSaysSo)
{
    FileRoad f("[General]\nMAXTRACES=2\n");
    f.ui.AnswerFileOpen(f.WriteEightHeader("two.8hd", {0, 100}));
    f.ui.ExpectMessage(RecordSummaryMessage(2, 0.5f, 20));
    ASSERT_EQ(f.Run(OpenOlderEightHeader), 1);
    f.ui.AnswerFileOpen(f.folder.File("two.8hd"));
    f.ui.ExpectMessage(TracesMessage(kLanguageEnglish, kTotalTracesReadMsg, 0));
    EXPECT_EQ(f.Run(AppendEightHeader), 0);
    EXPECT_EQ(f.ws.store.undoDepth, 0);
}

TEST(EightHeaderRoads, TextFormRoad)
{
    FileRoad f;
    f.ui.AnswerFileOpen(f.folder.File("none.txt"));
    f.ui.ExpectMessage(kCouldNotOpenFile);
    EXPECT_EQ(f.Run(OpenEightHeaderText), 0);

    ix::EightHeaderTrace t;
    t.number = 1;
    t.receiver = 1000;
    t.intervalUs = 10.0f;  // below 0.02 ms: the short-interval scales
    t.samples = {0.5f, 1.5f};
    ix::EightHeaderTrace u = t;
    u.receiver = 2000;
    u.samples = {-4.0f, 1.0f, 2.0f};
    const std::string path = f.folder.File("fd.txt");
    testing::WriteFileText(path, ix::EightHeaderText({t, u}));
    f.ui.AnswerFileOpen(path);
    EXPECT_EQ(f.Run(OpenEightHeaderText), 1);
    const CParameterSet& p = f.ws.store.Params();
    EXPECT_EQ(f.ws.store.TraceCount(), 2);
    EXPECT_EQ(p.samplesPerTrace, 2) << "the first trace's count";
    EXPECT_FLOAT_EQ(p.sampleInterval, 0.01f);
    EXPECT_EQ(p.plotscale, 100.0f);
    EXPECT_EQ(p.hscale, 50.0f);
    EXPECT_EQ(p.recordMaximum, 4.0f);
    EXPECT_EQ(f.ws.display.firstReceiver, 10.0f);
    EXPECT_EQ(f.ws.display.lastReceiver, 20.0f);
    EXPECT_EQ(f.ws.instrumentFiles.textEightHeaderRecord, 1);
    EXPECT_EQ(f.ws.store.loadCounter, 1);
}

TEST(EightHeaderRoads, JoinAsksForThreeFilesAndCountsTheRecords)
{
    FileRoad f;
    const std::string a = f.WriteEightHeader("a.8hd", {0, 100}, 100);
    const std::string b = f.WriteEightHeader("b.8hd", {500}, 50);
    const std::string out = f.folder.File("ab.8hd");
    f.ui.AnswerFileOpen(a);
    f.ui.AnswerFileOpen(b);
    f.ui.AnswerFileSave(out);
    f.ui.ExpectMessage("Number of traces = 1");
    EXPECT_EQ(f.Run(ConnectEightHeaderFilesCommand), 0);
    EXPECT_EQ(f.ui.Calls()[0].file.filters[0].description, "8 header file 1 (*.*)");
    EXPECT_EQ(f.ui.Calls()[2].file.filters[0].description, "New 8 header file (*.*)");
    std::vector<CTraceHeader> headers(4);
    ASSERT_EQ(CountEightHeaderTraces(out, headers), 1);
    EXPECT_EQ(headers[0].samples, 150);
    EXPECT_EQ(headers[0].sourceHundredths, 300);
    EXPECT_EQ(f.ws.store.TraceCount(), 0);
}

}  // namespace
}  // namespace velk
