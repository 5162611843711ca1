// Next and previous file through a file group (a double stands in for the reading of members
// and the building of gathers), with the overwrite question and the document's save road; the
// trace window without a group; the gathers of Show left/right side.

#include <map>
#include <set>

#include "app/formats/document.h"
#include "app/formats/next_file.h"
#include "app/view/record_extents.h"
#include "platform/byte_io.h"
#include "tools/test_support.h"
#include "app/view/view_fixture.h"

namespace velk {
namespace {

using velk::testing::ReadFileText;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;
using viewtest::ViewTest;

// Member k has four traces of 50 samples: sample j of trace i is (k + 1) * 1000 + i * 10 + j;
// its source is at k m. Gathers have three traces marked 7000 + index.
class FakeGroup : public FileGroupAccess {
public:
    int ReadNthFile(int index, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
                    std::span<CTraceHeaderEx>) override
    {
        reads.push_back(index);
        if (unreadable.count(index)) {
            rows[0][0] = -1.0f;  // a reader that fails part way
            return 0;
        }
        return Fill(rows, headers, 4, static_cast<float>((index + 1) * 1000), index);
    }
    int BuildGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int index) override
    {
        built.push_back(index);
        return Fill(rows, headers, 4, static_cast<float>((index + 1) * 1000), index);
    }
    int CommonReceiverGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int index) override
    {
        // The common receiver at 10 + index m stands in the source word, the shots at 0, 1, 2 m
        // in the receiver words.
        gathers.push_back(index);
        return emptyGathers ? 0 : Fill(rows, headers, 3, static_cast<float>(7000 + index), 10 + index);
    }
    int CdpGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int index) override
    {
        // Midpoint 1.25 (index + 1) m.
        gathers.push_back(index);
        if (emptyGathers) return 0;
        const int n = Fill(rows, headers, 3, static_cast<float>(7000 + index), index);
        for (int i = 0; i < n; ++i) {
            CTraceHeader& h = headers[static_cast<size_t>(i)];
            h.receiverHundredths = 250 * (index + 1) - h.sourceHundredths;
        }
        return n;
    }
    std::string MemberPath(int index) override
    {
        return index < static_cast<int>(paths.size()) ? paths[static_cast<size_t>(index)] : std::string();
    }
    // The type as the file-type table gives it for these names.
    int MemberFileType(int index) override
    {
        const std::string path = MemberPath(index);
        if (path.ends_with(".8hd")) return kFileEightHeader;
        if (path.ends_with(".sgy")) return kFileSegY;
        return kFileSeg2;
    }

    std::vector<std::string> paths;
    std::set<int> unreadable;
    bool emptyGathers = false;
    float intervalUs = 500.0f;
    std::vector<int> reads, built, gathers;

private:
    int Fill(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int n, float base, int source,
             float firstReceiver = 0.0f)
    {
        for (int i = 0; i < n; ++i) {
            CTraceHeader& h = headers[static_cast<size_t>(i)];
            h = CTraceHeader{};
            h.traceNumber = i + 1;
            h.receiverHundredths = static_cast<int32_t>((firstReceiver + static_cast<float>(i)) * 100.0f);
            h.sourceHundredths = source * 100;
            h.intervalUs = intervalUs;
            h.samples = 50;
            for (int j = 0; j < 50; ++j) rows[i][j] = base + static_cast<float>(i * 10 + j);
        }
        return n;
    }
};

class NextFile : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        doc = std::make_unique<CVelkarineDoc>(*ws);
        for (int k = 0; k < 3; ++k) {
            const std::string path = folder.File("shot" + std::to_string(k) + ".8hd");
            WriteFileText(path, "old");
            group.paths.push_back(path);
        }
        ws->fileGroup.active = 1;
        ws->fileGroup.entryCount = 3;
        ws->fileGroup.currentIndex = 0;
        ShowMember(0);
    }
    // The record as the group's member `k`, as if it had been opened.
    void ShowMember(int k)
    {
        const int n = group.ReadNthFile(k, ws->store.current.rows, ws->store.current.headers, ws->store.headersEx);
        group.reads.clear();
        ws->store.Params().traceCount = n;
        ws->fileGroup.currentIndex = k;
        RecalcRecordExtents(*ws, 1);
    }
    // An 8-header writer that writes the trace count, or fails.
    void RegisterWriter(bool fails = false)
    {
        doc->Formats().SetWriter(kFileEightHeader, [this, fails](ByteSink& sink, SaveContext& ctx) {
            ++writes;
            if (fails) return false;
            return sink.WriteText("8HD " + std::to_string(ctx.ws.store.TraceCount()));
        });
    }
    int Next(bool handOff = true)
    {
        StepContext ctx{*ws, *doc, ui, group};
        return ShowNextWaveformFile(ctx, handOff);
    }
    int Previous()
    {
        StepContext ctx{*ws, *doc, ui, group};
        return ShowPreviousWaveformFile(ctx);
    }
    float FirstSample() const { return ws->store.current.rows[0][0]; }

    TempFolder folder;
    FakeGroup group;
    std::unique_ptr<CVelkarineDoc> doc;
    int writes = 0;
};

TEST_F(NextFile, YesSavesWithTheWriterOfTheMembersOwnType)
{
    RegisterWriter();
    ws->display.modified = 1;
    ui.ExpectMessage(kOverwriteModifiedText, MsgButtons::YesNo, MsgResult::Yes);
    EXPECT_EQ(Next(), 1);
    EXPECT_EQ(ReadFileText(group.paths[0]), "8HD 4");
    EXPECT_EQ(ReadFileText(group.paths[1]), "old");
    EXPECT_EQ(group.reads, std::vector<int>{1});
    EXPECT_EQ(ws->fileGroup.currentIndex, 1);
    EXPECT_EQ(FirstSample(), 2000.0f);
    EXPECT_EQ(ws->display.modified, 0);
    EXPECT_EQ(folder.Entries().size(), 3u);  // no temporary file left
}

TEST_F(NextFile, NoWritesNothingAndMovesOn)
{
    RegisterWriter();
    ws->display.modified = 1;
    ui.ExpectMessage(kOverwriteModifiedText, MsgButtons::YesNo, MsgResult::No);
    EXPECT_EQ(Next(), 1);
    EXPECT_EQ(writes, 0);
    EXPECT_EQ(ReadFileText(group.paths[0]), "old");
    EXPECT_EQ(FirstSample(), 2000.0f);
    EXPECT_EQ(ws->display.modified, 0);
    // The record left behind is one undo away.
    ws->store.RestoreUndo();
    EXPECT_EQ(FirstSample(), 1000.0f);
}

TEST_F(NextFile, AFailingWriterKeepsTheRecordModified)
{
    RegisterWriter(/*fails=*/true);
    ws->display.modified = 1;
    const int depth = ws->store.undoDepth;
    ui.ExpectMessage(kOverwriteModifiedText, MsgButtons::YesNo, MsgResult::Yes);
    ui.ExpectAnyMessage();
    EXPECT_EQ(Next(), 0);
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[1].rfind(kSaveFailed, 0), 0u) << ui.Messages()[1];
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(ReadFileText(group.paths[0]), "old");
    EXPECT_TRUE(group.reads.empty());
    EXPECT_EQ(ws->fileGroup.currentIndex, 0);
    EXPECT_EQ(FirstSample(), 1000.0f);
    EXPECT_EQ(ws->display.modified, 1);
    EXPECT_EQ(ws->store.undoDepth, depth);
    EXPECT_EQ(doc->fileType, kFileSeg2);  // the document's type is as it was
}

TEST_F(NextFile, AMemberWithoutAWriterIsLeftUntouched)
{
    RegisterWriter();
    group.paths[0] = folder.File("shot0.sgy");
    WriteFileText(group.paths[0], "segy bytes");
    ws->display.modified = 1;
    ui.ExpectMessage(kOverwriteModifiedText, MsgButtons::YesNo, MsgResult::Yes);
    ui.ExpectMessage(kCannotSaveType);
    EXPECT_EQ(Next(), 0);
    EXPECT_EQ(ReadFileText(group.paths[0]), "segy bytes");
    EXPECT_EQ(writes, 0);
    EXPECT_EQ(ws->fileGroup.currentIndex, 0);
    EXPECT_EQ(ws->display.modified, 1);
}

TEST_F(NextFile, AProjectBuildsTheMemberWithoutAsking)
{
    doc->fileType = kFileProject;
    ws->fileGroup.sourceCount = 3;  // a project steps through the sources of its table
    ws->display.modified = 1;
    EXPECT_EQ(Next(), 1);
    EXPECT_EQ(group.built, std::vector<int>{1});
    EXPECT_TRUE(group.reads.empty());
    EXPECT_EQ(FirstSample(), 2000.0f);
}

TEST_F(NextFile, StepsClampToTheGroup)
{
    Previous();
    EXPECT_EQ(group.reads, std::vector<int>{0});
    ShowMember(2);
    Next();
    EXPECT_EQ(group.reads, std::vector<int>{2});
    EXPECT_EQ(ws->fileGroup.currentIndex, 2);
}

TEST_F(NextFile, AnUnreadableMemberIsPassedOverAndTheLastLeavesTheRecordOnShow)
{
    group.unreadable = {1};
    Next();
    EXPECT_EQ(group.reads, (std::vector<int>{1, 2}));
    EXPECT_EQ(ws->fileGroup.currentIndex, 2);
    Previous();
    EXPECT_EQ(ws->fileGroup.currentIndex, 0);

    group.unreadable = {1, 2};
    group.reads.clear();
    const std::vector<float> before = Row(0, 50);
    Next();
    EXPECT_EQ(group.reads, (std::vector<int>{1, 2}));
    EXPECT_EQ(ws->fileGroup.currentIndex, 0);
    EXPECT_EQ(ws->store.TraceCount(), 4);
    EXPECT_EQ(Row(0, 50), before);
}

TEST_F(NextFile, PicksGoToTheTraveltimeSetInAutomaticProcessing)
{
    ws->display.automaticProcessing = 1;
    for (int i = 0; i < 4; ++i) ws->store.Params().pickTimes[static_cast<size_t>(i)] = 5.0f + static_cast<float>(i);

    Next(/*handOff=*/false);
    EXPECT_EQ(ws->traveltimeSet.shotCount, 0);
    EXPECT_FLOAT_EQ(ws->display.sourcePosition, 1.0f);  // from the new record's first header

    for (int i = 0; i < 4; ++i) ws->store.Params().pickTimes[static_cast<size_t>(i)] = 5.0f;
    Next(/*handOff=*/true);
    EXPECT_EQ(ws->traveltimeSet.shotCount, 1);
    EXPECT_EQ(ws->traveltimeSet.pickCount[0], 4);
    EXPECT_FLOAT_EQ(ws->traveltimeSet.sourcePosition[0], 1.0f);
    EXPECT_EQ(ws->display.showTraveltimeCurves, 1);

    for (int i = 0; i < 4; ++i) ws->store.Params().pickTimes[static_cast<size_t>(i)] = 6.0f;
    Previous();  // always hands the picks over
    EXPECT_EQ(ws->traveltimeSet.shotCount, 2);

    ws->display.automaticProcessing = 0;
    Next();
    EXPECT_EQ(ws->traveltimeSet.shotCount, 2);
}

TEST_F(NextFile, WithPickingOnThePicksOfEachShotTravelWithIt)
{
    ws->display.editMode = 1;
    ws->display.sourcePosition = 0.0f;
    for (int i = 0; i < 4; ++i) ws->store.Params().pickTimes[static_cast<size_t>(i)] = 5.0f;
    Next();
    EXPECT_EQ(ws->traveltimeSet.shotCount, 1);
    EXPECT_EQ(ws->store.Params().pickTimes[0], 0.0f);  // shot 1 has no picks yet
    Previous();
    EXPECT_EQ(ws->store.Params().pickTimes[3], 5.0f);
}

TEST_F(NextFile, ASpectrumGoesBackAndTheDisplayValuesComeFromLevelOne)
{
    CParameterSet& p = ws->store.Params();
    p.hscale = 3.0f;
    p.tracesShown = 2;
    p.normalisation = 1;
    ws->store.PushUndo();          // the spectrum command's snapshot
    ws->store.dataKind() = kRealSpectrum;
    p.hscale = 9.0f;
    p.tracesShown = 4;
    p.normalisation = 0;
    ws->displayFilter.applied = 1;
    p.recordKind = 1;

    Next();
    EXPECT_EQ(ws->store.dataKind(), kTimeDomain);
    EXPECT_EQ(p.recordKind, 0);
    EXPECT_EQ(ws->displayFilter.applied, 0);
    EXPECT_EQ(p.hscale, 3.0f);
    EXPECT_EQ(p.tracesShown, 2);
    EXPECT_EQ(p.normalisation, 1);
    EXPECT_EQ(FirstSample(), 2000.0f);
}

TEST_F(NextFile, ASpectrumWithoutUndoGoesOn)
{
    ws->store.dataKind() = kRealSpectrum;
    ASSERT_EQ(ws->store.undoDepth, 0);
    EXPECT_EQ(Next(), 1);
    EXPECT_EQ(ws->store.dataKind(), kTimeDomain);
    EXPECT_EQ(FirstSample(), 2000.0f);
}

TEST_F(NextFile, AnInvalidIntervalIsReported)
{
    group.intervalUs = 0.0f;
    ui.ExpectMessage("The sampling time of this record is not valid.");
    EXPECT_EQ(Next(), 1);
    EXPECT_EQ(ws->fileGroup.currentIndex, 1);
}

TEST_F(NextFile, WithoutAGroupTheTraceWindowMoves)
{
    ws->fileGroup.active = 0;
    Load(48, 10);
    RecalcRecordExtents(*ws, 0);
    ws->store.Params().tracesShown = 12;
    std::vector<int> firsts;
    for (int k = 0; k < 8; ++k) {
        Next();
        firsts.push_back(ws->display.firstTraceShown);
    }
    EXPECT_EQ(firsts, (std::vector<int>{6, 12, 18, 24, 30, 36, 36, 36}));
    for (int k = 0; k < 8; ++k) Previous();
    EXPECT_EQ(ws->display.firstTraceShown, 0);
    ws->store.Params().tracesShown = 60;
    Next();
    EXPECT_EQ(ws->display.firstTraceShown, 0);
    EXPECT_TRUE(group.reads.empty());
}

// ---------------------------------------------------------------------------------------------

using Gathers = NextFile;

TEST_F(Gathers, CommonReceiverGathersStepAndClamp)
{
    ws->fileGroup.gatherKind = 0;  // anything but 1 or 2 becomes 1
    ws->fileGroup.receiverCount = 3;
    ws->fileGroup.gatherIndex = 1;
    EXPECT_EQ(ShowSideWaveforms(*ws, ui, group, true), 1);
    EXPECT_EQ(ws->fileGroup.gatherKind, 1);
    EXPECT_EQ(ws->fileGroup.gatherIndex, 2);
    EXPECT_EQ(ws->store.TraceCount(), 3);
    EXPECT_EQ(FirstSample(), 7002.0f);
    EXPECT_FLOAT_EQ(ws->display.gatherPosition, 12.0f);  // the common receiver
    EXPECT_FLOAT_EQ(ws->display.sourcePosition, 12.0f);  // where the gather's source stands
    ShowSideWaveforms(*ws, ui, group, true);
    EXPECT_EQ(ws->fileGroup.gatherIndex, 2);
    for (int k = 0; k < 4; ++k) ShowSideWaveforms(*ws, ui, group, false);
    EXPECT_EQ(ws->fileGroup.gatherIndex, 0);
    EXPECT_EQ(group.gathers, (std::vector<int>{2, 2, 1, 0, 0, 0}));
}

TEST_F(Gathers, MidpointGathersAreTitledWithTheirPosition)
{
    ws->fileGroup.gatherKind = 2;
    ws->fileGroup.cdpCount = 4;
    ws->fileGroup.cdpPositions[1] = 250;
    ws->fileGroup.gatherIndex = 0;
    ShowSideWaveforms(*ws, ui, group, true);
    EXPECT_FLOAT_EQ(ws->display.gatherPosition, 2.5f);
    EXPECT_EQ(ws->store.TraceCount(), 3);
}

TEST_F(Gathers, NoReceiversOrAnEmptyGatherChangeNothing)
{
    ws->fileGroup.gatherKind = 1;
    ws->fileGroup.receiverCount = 0;
    ws->fileGroup.gatherIndex = 0;
    EXPECT_EQ(ShowSideWaveforms(*ws, ui, group, true), 0);
    EXPECT_TRUE(group.gathers.empty());

    ws->fileGroup.receiverCount = 5;
    group.emptyGathers = true;
    EXPECT_EQ(ShowSideWaveforms(*ws, ui, group, true), 0);
    EXPECT_EQ(ws->fileGroup.gatherIndex, 0);
    EXPECT_EQ(ws->store.TraceCount(), 4);
}

TEST_F(Gathers, AGatherIsTimeDomainData)
{
    ws->fileGroup.receiverCount = 3;
    ws->store.dataKind() = kComplexShowImag;
    ShowSideWaveforms(*ws, ui, group, true);
    EXPECT_EQ(ws->store.dataKind(), kTimeDomain);
}

TEST_F(Gathers, FromASpectrumTheDisplayValuesComeBack)
{
    ws->fileGroup.receiverCount = 3;
    ws->fileGroup.gatherIndex = 0;
    ws->store.Params().hscale = 4.0f;
    ws->store.PushUndo();
    ws->store.dataKind() = kRealSpectrum;
    ws->store.Params().hscale = 8.0f;
    ShowSideWaveforms(*ws, ui, group, true);
    EXPECT_EQ(ws->store.dataKind(), kTimeDomain);
    EXPECT_EQ(ws->store.Params().hscale, 4.0f);
}

}  // namespace
}  // namespace velk
