// The gather and group commands of the "Group (File list)" menu, run headless.

#include "app/survey/group_commands.h"

#include <gtest/gtest.h>

#include <functional>

#include "app/formats/file_road_fixture.h"
#include "app/formats/next_file.h"
#include "surfacewave/taup_velocity_range_dlg.h"

namespace velk {
namespace {

using testing::FileRoad;

// A loaded table of `sources` shots (at 10 m steps) over `receivers` receivers (at 1 m steps);
// cell (s, r) holds 8 samples of value 100 s + r.
void LoadTable(CFileGroup& g, int sources, int receivers)
{
    g.AllocateTable(sources, receivers);
    g.sourceCount = sources;
    g.receiverCount = receivers;
    for (int s = 0; s < sources; ++s) {
        g.sourcePositions[static_cast<size_t>(s)] = 1000 * s;
        for (int r = 0; r < receivers; ++r) {
            g.receiverPositions[static_cast<size_t>(r)] = 100 * r;
            CTraceHeader h;
            h.Set(r + 1, 100 * r, 1000 * s, 1, 1, 0.0f, 1000.0f, 8);
            g.table[static_cast<size_t>(s)][static_cast<size_t>(r)].SetTrace(
                std::vector<float>(8, static_cast<float>(100 * s + r)), h);
        }
    }
    g.geometryTraces = sources * receivers;
    g.dataLoaded = 1;
}

// The surface-wave operations as doubles: each leaves a record of three traces behind.
class FakeOps : public GroupSurfaceWaveOps {
public:
    bool PhaseVelocityDialog(Workspace&, UiHost&) override { return dialogOk; }
    int CommonSourceDispersion(Workspace& ws, UiHost&, ProgressSink&) override { return Scribble(ws); }
    int OneCmpDispersion(Workspace& ws, UiHost&, ProgressSink&) override { return refuse ? 0 : Scribble(ws); }
    bool refuse = false;
    int TauPStack(Workspace& ws, UiHost&, ProgressSink&, float, float, int velocityMode) override
    {
        mode = velocityMode;
        return Scribble(ws);
    }
    int Scribble(Workspace& ws)
    {
        ++calls;
        for (int i = 0; i < 3; ++i) {
            ws.store.current.headers[static_cast<size_t>(i)].Set(i + 1, 0, 0, 1, 1, 0.0f, 1000.0f, 5);
            std::fill(ws.store.current.rows.Row(i).begin(), ws.store.current.rows.Row(i).end(), 4.0f * (i + 1));
        }
        ws.store.Params().traceCount = 3;
        return 3;
    }
    bool dialogOk = true;
    int calls = 0;
    int mode = -1;
};

class GroupCommands : public ::testing::Test, public FileRoad {
protected:
    GroupCommands() : FileRoad("[General]\nMAXTRACES=64\n") {}
    int Run(int (*command)(CommandContext&))
    {
        CommandContext c = Context();
        return command(c);
    }
    int Run(int (*command)(CommandContext&, GroupSurfaceWaveOps&))
    {
        CommandContext c = Context();
        return command(c, ops);
    }
    FakeOps ops;
};

TEST_F(GroupCommands, RulesChecksAndStubbedItems)
{
    const CommandTable t = BuildCommandTable();
    CFileGroup& g = ws.fileGroup;
    // After each step: the items enabled, then those disabled.
    struct Step {
        std::function<void()> change;
        std::vector<int> on, off;
    };
    const Step steps[] = {
        {[] {}, {}, {cmd::kSetUpGeometry, cmd::kSetWaveformData, cmd::kCommonShotGather}},
        {[&] { g.entryCount = 1, g.geometryTraces = 4; },
         {cmd::kSetUpGeometry, cmd::kSetWaveformData, cmd::kCommonOffsetGather},
         {cmd::kCommonSpacingGather, cmd::kCdpStack}},
        {[&] { g.dataLoaded = 1, g.gatherKind = 1; },
         {cmd::kCommonShotGather, cmd::kCdpGather, cmd::kCdpStack, cmd::kCommonSpacingGather, cmd::kReceiveSorting,
          cmd::kExtrapolateGroupTraces, cmd::kGroupTauPVelocity, cmd::kGroupTauPSlowness, cmd::kGroupFourierSpectrum,
          cmd::kGroupMamGeometryFromGps, cmd::kCrossCorrelationGather, cmd::kGroupCommonSourceDispersion,
          cmd::kGroupOneCmpDispersion, cmd::kGroupCmpDispersion},
         // The receiver gather is on show; fewer than 24 traces.
         {cmd::kCommonReceiverGather, cmd::kReverseGroupSpread}},
    };
    for (const Step& step : steps) {
        step.change();
        for (int id : step.on) EXPECT_TRUE(t.IsEnabled(id, ws, recent)) << id;
        for (int id : step.off) EXPECT_FALSE(t.IsEnabled(id, ws, recent)) << id;
    }
    EXPECT_TRUE(t.IsChecked(cmd::kCommonReceiverGather, ws, recent));
    EXPECT_FALSE(t.IsChecked(cmd::kCommonShotGather, ws, recent));
}

TEST_F(GroupCommands, GeometryReadGathersStackAndOffsetGather)
{
    // Two shots of three receivers each, positions from the list.
    WriteEightHeader("s1.8hd", {0, 0, 0}, 20, 500.0f);
    WriteEightHeader("s2.8hd", {0, 0, 0}, 20, 500.0f);
    CFileGroup& g = ws.fileGroup;
    g.listFolder = folder.Path();
    g.sourceFromFile.fill(0);
    g.receiversFromFile.fill(0);
    g.AddFile("s1.8hd", 0.0f, 1.0f, 1.0f);
    g.AddFile("s2.8hd", 2.0f, 1.0f, 1.0f);

    ui.ExpectAnyMessage();  // the geometry's counts
    ui.ExpectAnyMessage();
    ui.ExpectMessage("Set waveform data ?", MsgButtons::OkCancel, MsgResult::Ok);
    ui.ExpectAnyMessage();  // the traces read; the final message does not follow
    EXPECT_EQ(Run(SetUpGroupGeometry), 1);
    ASSERT_TRUE(ui.VerifyAndClear());
    EXPECT_EQ(ws.display.displayMode, 3);
    EXPECT_EQ(g.active, 1);
    ASSERT_EQ(g.dataLoaded, 1);

    // The receiver gather at 2 m: both shots, labelled with the common receiver, also after a
    // step to the right (3 m).
    g.gatherIndex = 1;
    Run(ShowCommonReceiverGather);
    EXPECT_EQ(ws.store.TraceCount(), 2);
    EXPECT_FLOAT_EQ(ws.display.gatherPosition, 2.0f);
    WorkspaceFileGroup access(ws, ui);
    ShowSideWaveforms(ws, ui, access, true);
    EXPECT_FLOAT_EQ(ws.display.gatherPosition, 3.0f);

    ws.store.dataKind() = kRealSpectrum;
    ui.ExpectMessage("Data is not time domain ! ");
    EXPECT_EQ(Run(ShowCdpStack), 0);
    ws.store.dataKind() = kTimeDomain;
    ui.AnswerDialog("CMigrationVelocityDlg", {{"Velocity", "2"}});
    EXPECT_EQ(Run(ShowCdpStack), 1);
    EXPECT_EQ(g.gatherKind, 3);
    EXPECT_EQ(ws.display.displayMode, 0);
    EXPECT_EQ(ws.modelling.migrationVelocity, 2.0f);
    EXPECT_EQ(ws.store.TraceCount(), g.cdpCount);

    // The offset gather leaves the list but not the group's role as a source of records.
    ui.AnswerDialog("COffsetDlg", {{"Offset", "1"}});
    EXPECT_EQ(Run(ShowCommonOffsetGather), 1);
    EXPECT_EQ(g.active, 0);
    EXPECT_EQ(g.entryCount, 2);
    EXPECT_EQ(g.spacing, 1.0f);
    EXPECT_EQ(ws.store.TraceCount(), 2);
    // Next file reads no member and keeps the gather on show.
    const int current = g.currentIndex;
    const float first = S(0, 0);
    StepContext step{ws, doc, ui, access};
    ShowNextWaveformFile(step, false);
    EXPECT_EQ(g.currentIndex, current);
    EXPECT_EQ(S(0, 0), first);
    EXPECT_EQ(ws.store.TraceCount(), 2);
    g.dataLoaded = 0;
    ui.AnswerDialog("COffsetDlg", {{"Offset", "1"}});
    EXPECT_EQ(Run(ShowCommonOffsetGather), 1);
    EXPECT_EQ(ws.store.TraceCount(), 2);  // one trace of each file, read from disk
}

TEST_F(GroupCommands, CapacityReverseSpreadAndExtrapolation)
{
    LoadTable(ws.fileGroup, 1, 100);
    for (auto command : {ShowCommonShotGather, ShowAllTraces}) {
        ui.ExpectMessage("Number of traces is larger than dimension size !\n MAXTRACES = 64: the gather's traces beyond "
                         "the first 64 were left out.");
        Run(command);
        EXPECT_EQ(ws.store.TraceCount(), 64);
    }
    // The step to the next receiver gather, of 100 shots, says the same.
    ws.fileGroup = CFileGroup{};
    LoadTable(ws.fileGroup, 100, 2);
    ws.fileGroup.active = 1;
    ws.fileGroup.gatherKind = 1;
    ws.fileGroup.gatherIndex = 0;
    ui.ExpectMessage("Number of traces is larger than dimension size !\n MAXTRACES = 64: the gather's traces beyond "
                     "the first 64 were left out.");
    WorkspaceFileGroup access(ws, ui);
    EXPECT_EQ(ShowSideWaveforms(ws, ui, access, true), 1);
    EXPECT_EQ(ws.store.TraceCount(), 64);
    EXPECT_EQ(ws.store.current.headers[63].receiverHundredths, 63000);  // the 64th shot, swapped in

    // Ten files over five sources: every row reversed exactly once.
    ws.fileGroup = CFileGroup{};
    LoadTable(ws.fileGroup, 5, 24);
    ws.fileGroup.entryCount = 10;
    EXPECT_EQ(Run(ReverseGroupSpread), 1);
    for (size_t s = 0; s < 5; ++s) EXPECT_EQ(ws.fileGroup.table[s][0].samples[0], 100.0f * s + 23) << s;

    // The shot gather follows only a filled cell, and the gather kind stays.
    ws.fileGroup = CFileGroup{};
    LoadTable(ws.fileGroup, 2, 8);
    ws.fileGroup.sourcePositions[1] = 100;  // within a quarter of the last receiver (7 m)
    ws.fileGroup.gatherKind = 2;
    ws.fileGroup.gatherIndex = 1;
    ws.store.Params().traceCount = 0;
    ui.ExpectMessage("0 traces were extrapolated !");
    Run(ExtrapolateGroupTraces);
    EXPECT_EQ(ws.store.TraceCount(), 0);
    ws.fileGroup.table[1][3] = CTraceEntry{};
    ui.ExpectMessage("1 traces were extrapolated !");
    Run(ExtrapolateGroupTraces);
    EXPECT_EQ(ws.store.TraceCount(), 8);
    EXPECT_FLOAT_EQ(ws.display.gatherPosition, 1.0f);
    EXPECT_EQ(ws.fileGroup.gatherKind, 2);
}

TEST_F(GroupCommands, SurfaceWaveRoadsBehindDoubles)
{
    LoadTable(ws.fileGroup, 2, 8);
    Run(ShowCommonShotGather);
    const float before = ws.store.current.rows[0][0];

    ops.dialogOk = false;
    EXPECT_EQ(Run(GroupCommonSourceDispersion), 0);
    EXPECT_EQ(ws.store.undoDepth, 0);  // Cancel spends no undo level
    ops.dialogOk = true;
    EXPECT_EQ(Run(GroupCommonSourceDispersion), 1);
    EXPECT_EQ(ops.calls, 1);
    EXPECT_EQ(ws.store.current.rows[0][0], before);  // restored from the snapshot
    EXPECT_EQ(ws.store.TraceCount(), 8);

    // A refused analysis leaves the record on show as it was: no size box, no CMP record.
    ops.refuse = true;
    Run(GroupOneCmpDispersion);
    EXPECT_EQ(ws.display.cmpRecord, 0);
    EXPECT_EQ(ws.store.TraceCount(), 8);
    ops.refuse = false;
    ui.ExpectMessage("3 5 ");
    Run(GroupOneCmpDispersion);
    EXPECT_EQ(ws.display.cmpRecord, 1);

    ui.AnswerDialog("CTauPVelocityRangeDlg", {{"Min. velocity", "0.1"}, {"Max. velocity", "2.1"}});
    ws.store.Params().traceCount = 8;
    EXPECT_EQ(Run(GroupTauPVelocity), 1);
    EXPECT_EQ(ops.mode, 1);
    EXPECT_FLOAT_EQ(ws.tauP.slownessStep, 0.01f);  // one more doubling only, though 201 > 64
    EXPECT_EQ(ws.tauP.stackingMode, 0);
    EXPECT_EQ(ws.store.dataKind(), kRealSpectrum);
    EXPECT_EQ(ws.display.spectrumAxisKind, 3);
    EXPECT_FLOAT_EQ(ws.store.current.rows[2][0], 1.0f);  // normalised to the peak
    EXPECT_FLOAT_EQ(CTauPVelocityRangeDlg::VelocityStep(0.1f, 2.1f, 128), 0.01f);
}

}  // namespace
}  // namespace velk
