// Automatic processing on a temporary folder: the files' times are set by the test, and the
// test drives the ticks.

#include "app/survey/automatic_processing.h"

#include <gtest/gtest.h>

#include <sys/time.h>
#include <unistd.h>

#include <cmath>
#include <cstring>

#include "app/formats/file_road_fixture.h"
#include "app/view/view_seams.h"
#include "draw/overlay.h"
#include "formats/seg2.h"
#include "platform/numtext.h"
#include "platform/shared_block.h"
#include "tools/fake_launcher.h"
#include "traveltime/publish_traveltime_set.h"

namespace velk {
namespace {

using testing::FileRoad;

struct TimerView : ViewSurface {
    void Repaint() override {}
    void RequestRepaint(RepaintKind kind) override { repaints.push_back(kind); }
    void ShowTransientText(const std::string&, LPoint) override {}
    void StartTimer(int milliseconds) override { timer = milliseconds; }
    void StopTimer() override { timer = 0; }
    int timer = 0;
    std::vector<RepaintKind> repaints;
};

struct IconFrame : testing::TitleOnlyFrame {
    void SetFrameIcon(int resource) override { icons.push_back(resource); }
    std::vector<int> icons;
};

class Automatic : public ::testing::Test, public FileRoad {
protected:
    Automatic() { std::filesystem::create_directory(watched); }

    CommandContext Ctx()
    {
        CommandContext c = Context();
        c.view = &view;
        c.frame = &iconFrame;
        return c;
    }
    int Tick()
    {
        CommandContext c = Ctx();
        return OnTimer(c);
    }
    int Start(int (*command)(CommandContext&))
    {
        ui.AnswerFolder(watched);
        CommandContext c = Ctx();
        return command(c);
    }
    // A SEG-2 file of n traces in the watched folder, modified at `seconds`.
    // A silent record of 8 samples, or one of 200 whose traces break at sample 60 (something for
    // the picker).
    std::string Record(const std::string& name, int n, long seconds, int32_t source = 200, bool onset = false)
    {
        const int samples = onset ? 200 : 8;
        Matrix2D<float> rows(0, n - 1, 0, samples - 1);
        for (int i = 0; onset && i < n; ++i)
            for (int j = 60; j < samples; ++j) rows[i][j] = 100.0f * static_cast<float>(std::sin(0.3 * j));
        std::vector<CTraceHeader> headers(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) headers[static_cast<size_t>(i)].Set(i + 1, i * 100, source, 1, 1, 0.0f, 1000.0f, samples);
        const std::string path = watched + "/" + name;
        EXPECT_TRUE(WriteSeg2File(path, rows, headers, n, 4, 1.0f).ok);
        const timeval times[2] = {{seconds, 0}, {seconds, 0}};
        ::utimes(path.c_str(), times);
        return path;
    }
    std::string Status() const
    {
        for (const OverlayFigure& f : ws.display.overlay.Figures()) {
            if (f.owner == kAutomaticStatusOwner) {
                return f.text + FormatC(" @%d,%d", f.points[0].x, f.points[0].y);
            }
        }
        return "";
    }

    std::string watched = folder.File("watched");
    TimerView view;
    IconFrame iconFrame;
};

TEST_F(Automatic, ShowLastFileReadsTheNewestNumberedFile)
{
    Record("s1.sg2", 2, 1000);
    Record("s2.sg2", 3, 2000);
    Record("late.dat", 4, 3000);  // no number: never read
    EXPECT_EQ(Start(OnAutomaticShowLastFile), 0);
    EXPECT_EQ(view.timer, 1000);
    EXPECT_EQ(ws.display.automaticProcessing, 1);

    EXPECT_EQ(Tick(), 1);
    EXPECT_EQ(ws.store.TraceCount(), 3);
    EXPECT_EQ(doc.currentFileName, "s2.sg2");
    EXPECT_EQ(ws.automatic.lastFileTime, 2000);
    // The scan's log is written into the watched folder.
    const std::string log = watched + "/multi_select.txt";
    EXPECT_EQ(testing::ReadFileText(log),
              "3000 0 \nlate.dat 0 0 \n1000 0 \ns1.sg2 1 0 \nn=22000 1000 \ns2.sg2 2 0 \nn=3");
    EXPECT_EQ(Log().Text("multi_select.txt"), "");
    EXPECT_EQ(Status(), "Show last acquired file : time=1sec @10,-18");

    // Nothing new: every entry is listed (the log too, as an older file here), nothing is read,
    // only the status is painted.
    const timeval older[2] = {{1500, 0}, {1500, 0}};
    ::utimes(log.c_str(), older);
    ws.store.Params().traceCount = 1;
    view.repaints.clear();
    EXPECT_EQ(Tick(), 0);
    EXPECT_EQ(ws.store.TraceCount(), 1);
    EXPECT_EQ(testing::ReadFileText(log), "3000 2000 \nlate.dat 0 0 \n1500 2000 \n1000 2000 \n2000 2000 \n");
    EXPECT_EQ(view.repaints, std::vector<RepaintKind>{RepaintKind::Overlay});
    EXPECT_EQ(iconFrame.icons, (std::vector<int>{228, 128}));
    EXPECT_EQ(Status(), "Show last acquired file : time=2sec @10,-18");
}

TEST_F(Automatic, StartsKeepOrResetTheLastFileTime)
{
    ws.automatic.lastFileTime = 5000;
    Start(OnAutomaticCdpStacking);
    EXPECT_EQ(ws.automatic.lastFileTime, 5000);
    EXPECT_EQ(ws.automatic.mode, AutomaticProcessingState::kCdpStacking);
    Start(OnAutomaticShowLastFile);
    EXPECT_EQ(ws.automatic.lastFileTime, 0);
    ui.CancelFolder();
    CommandContext c = Ctx();
    OnAutomaticCdpStacking(c);
    EXPECT_EQ(ws.automatic.mode, AutomaticProcessingState::kShowLastFile);
}

TEST_F(Automatic, CdpModeStacksEveryFifthTick)
{
    Record("s1.sg2", 3, 1000);
    Record("s2.sg2", 3, 1000);
    Start(OnAutomaticCdpStacking);
    ui.SetStrict(false);
    std::vector<int> stacked;
    for (int t = 1; t <= 15; ++t) {
        if (Tick() == 1) stacked.push_back(t);
    }
    EXPECT_EQ(stacked, (std::vector<int>{5, 10, 15}));
    EXPECT_EQ(ws.fileGroup.gatherKind, 3);
    EXPECT_EQ(ws.fileGroup.active, 1);
    EXPECT_GT(ws.store.TraceCount(), 0);
    EXPECT_EQ(Status(), "Automatic CDP stacking : time=15sec @10,-18");
}

TEST_F(Automatic, TicksWaitForTheAcquisitionAndForThemselves)
{
    Record("s1.sg2", 2, 1000);
    Start(OnAutomaticShowLastFile);
    for (int c = 0; c < 3; ++c) {
        ws.acquisitionDevice.armed = c == 0;
        ws.acquisitionDevice.acquisitionScreen = c == 1;
        ws.automatic.inTick = c == 2;
        EXPECT_EQ(Tick(), 0) << c;
        EXPECT_EQ(ws.automatic.seconds, 0) << c;
    }
    ws.automatic.inTick = false;
    ws.acquisitionDevice.acquisitionScreen = 0;
    EXPECT_EQ(Tick(), 1);
    EXPECT_FALSE(ws.automatic.inTick);
}

TEST_F(Automatic, MenuStopAndF4EndTheTicks)
{
    CommandTable t;
    AddAutomaticProcessingCommands(t);
    Start(OnAutomaticShowLastFile);
    Tick();
    EXPECT_TRUE(t.IsEnabled(cmd::kAutomaticProcessingStop, ws, recent));
    CommandContext c = Ctx();
    RunCommand(t, cmd::kAutomaticProcessingStop, c);
    EXPECT_EQ(view.timer, 0);
    EXPECT_EQ(ws.display.automaticProcessing, 0);
    EXPECT_EQ(iconFrame.icons.back(), 128);
    EXPECT_EQ(Status(), "");
    EXPECT_FALSE(t.IsEnabled(cmd::kAutomaticProcessingStop, ws, recent));
    EXPECT_EQ(Tick(), 0);

    // F4 of the acquisition keys (Shift held).
    Start(OnAutomaticShowLastFile);
    ws.startup.acquisitionMode = 1;
    ws.acquisitionDevice.acquisitionScreen = 1;
    ui.SetStrict(false);
    ws.editController.OnKeyDown(ws, ui, kKeyShift);
    const EditEffects e = ws.editController.OnKeyDown(ws, ui, kKeyF4);
    EXPECT_TRUE(e.stopTimer);
    EXPECT_EQ(e.acquisition.icon, 128);
    EXPECT_EQ(ws.display.automaticProcessing, 0);
}

TEST_F(Automatic, GroupPickingRestoresTheRecordWithItsPicks)
{
    // Two shots of three traces in the table, each trace a step at sample 40 + 10 x offset.
    CFileGroup& g = ws.fileGroup;
    g.AllocateTable(2, 3);
    g.sourceCount = 2;
    g.receiverCount = 3;
    g.sourcePositions[1] = 300;
    for (int s = 0; s < 2; ++s) {
        g.AddFile("f" + std::to_string(s + 1) + ".sg2", static_cast<float>(3 * s), 0.0f, 1.0f);
        for (int r = 0; r < 3; ++r) {
            g.receiverPositions[static_cast<size_t>(r)] = 100 * r;
            std::vector<float> row(400, 0.0f);
            const int onset = 40 + 10 * std::abs(r - 3 * s);
            for (int k = onset; k < 400; ++k) row[static_cast<size_t>(k)] = ((k - onset) % 8 < 4 ? 1.0f : -1.0f);
            CTraceHeader h;
            h.Set(r + 1, 100 * r, 300 * s, 1, 1, 0.0f, 1000.0f, 400);
            g.table[s][r].SetTrace(row, h);
        }
    }
    g.dataLoaded = 1;
    ws.store.Params().traceCount = 2;
    ws.store.current.rows[1][5] = 7.0f;
    ws.store.current.headers[0].Set(1, 0, 0, 1, 1, 0.0f, 1000.0f, 10);
    ws.store.current.headers[1].Set(2, 100, 0, 1, 1, 0.0f, 1000.0f, 10);
    const int depth = ws.store.undoDepth;
    CommandContext c = Ctx();
    EXPECT_EQ(GroupAutoPickFirstArrivals(c), 1);
    EXPECT_EQ(ws.traveltimeSet.shotCount, 2);
    EXPECT_EQ(ws.store.TraceCount(), 2);
    EXPECT_EQ(ws.store.current.rows[1][5], 7.0f);
    EXPECT_EQ(ws.store.undoDepth, depth);
    EXPECT_GT(ws.store.Params().pickTimes[1], 0.0f);  // the set's pick at 1 m of the shot at 0
    EXPECT_EQ(ws.display.editMode, 1);
    EXPECT_EQ(ws.display.showTraveltimeCurves, 1);

    // A hand correction on the record, where the mouse puts it, not yet merged; the menu command
    // asks once before replacing held shots.
    CTraveltimeSet& set = ws.traveltimeSet;
    const float automatic = set.T(0, 1);
    const float secondShot = set.T(1, 1);
    const std::string question = "The traveltime data already holds picks of shots in this file list.\n"
                                 "Replace them with automatic picks ?\n(No: keep them and pick only the other shots)";
    ws.store.Params().pickTimes[1] = 99.0f;
    set.shotCount = 1;  // the shot at 3 m is not held: it is picked whatever the answer
    ui.ExpectMessage(question, MsgButtons::YesNo, MsgResult::No);
    CommandTable table;
    AddAutomaticProcessingCommands(table);
    CommandContext menu = Ctx();
    EXPECT_EQ(RunCommand(table, cmd::kGroupAutoPickFirstArrivals, menu), 1);
    EXPECT_EQ(set.T(0, 1), 99.0f) << "No keeps the corrected shot";
    EXPECT_EQ(ws.store.Params().pickTimes[1], 99.0f);
    EXPECT_EQ(set.shotCount, 2);
    EXPECT_EQ(set.T(1, 1), secondShot);
    ui.ExpectMessage(question, MsgButtons::YesNo, MsgResult::Yes);  // asked once for both held shots
    CommandContext again = Ctx();
    EXPECT_EQ(GroupAutoPickFirstArrivals(again, true), 1);
    EXPECT_EQ(set.T(0, 1), automatic) << "Yes replaces it";
    EXPECT_EQ(ui.PendingAnswers(), 0u);
}

TEST_F(Automatic, RefractionHandsEachNewShotToRostrel)
{
    SetSharedBlockPrefix("velk-test-" + std::to_string(::getpid()) + "-");
    auto* launcher = new FakeLauncher;
    ws.launcher.reset(launcher);
    std::vector<int> blockAtStart;
    launcher->act = [&](const FakeLauncher::Start&) { blockAtStart.push_back(ws.traveltimeSet.BlockView() != nullptr); };
    auto publishedShots = [&] {
        int32_t n = -1;
        std::memcpy(&n, ws.traveltimeSet.BlockView() + rostrel_block::kShotCount, sizeof n);
        return n;
    };
    Record("s1.sg2", 3, 1000, 200, true);
    Start(OnAutomaticRefraction);
    ASSERT_EQ(launcher->starts.size(), 1u);
    EXPECT_EQ(launcher->starts[0].args, (std::vector<std::string>{"-Velkarine", "-AUTOMATIC"}));
    EXPECT_EQ(Tick(), 1);
    EXPECT_EQ(ws.display.sourcePosition, 2.0f);
    EXPECT_EQ(ws.display.editMode, 1);
    EXPECT_EQ(publishedShots(), 1);
    EXPECT_EQ(Status(), "Seismic refraction analysis : time=1sec @18,-10");
    Record("s2.sg2", 3, 2000, 700, true);
    EXPECT_EQ(Tick(), 1);
    EXPECT_EQ(ws.traveltimeSet.shotCount, 2);
    EXPECT_EQ(publishedShots(), 2);

    // "Show traveltime curve by Rostrel" publishes and starts it again.
    ws.traveltimeSet.shotCount = 1;
    CommandContext c = Ctx();
    EXPECT_EQ(ShowTraveltimeInRostrel(c, "AUTOMATIC"), 0);
    EXPECT_EQ(publishedShots(), 1);
    EXPECT_EQ(blockAtStart, (std::vector<int>{1, 1}));
    EXPECT_EQ(ws.ReleaseSharedBlocks(), "");
    SetSharedBlockPrefix("");
}

TEST(AutomaticCommands, RulesOfTheItems)
{
    CommandTable t;
    AddAutomaticProcessingCommands(t);
    Profile profile = Profile::FromText("");
    NullUiHost ui;
    Workspace ws(profile, ui);
    RecentFileList recent;
    ws.traveltimeSet.shotCount = 1;
    ws.fileGroup.dataLoaded = 1;
    EXPECT_TRUE(t.IsEnabled(cmd::kShowTraveltimeInRostrel, ws, recent));
    EXPECT_TRUE(t.IsEnabled(cmd::kGroupAutoPickFirstArrivals, ws, recent));
    ws.fileGroup.dataLoaded = 0;
    ws.traveltimeSet.shotCount = 0;
    EXPECT_FALSE(t.IsEnabled(cmd::kGroupAutoPickFirstArrivals, ws, recent));
    EXPECT_FALSE(t.IsEnabled(cmd::kShowTraveltimeInRostrel, ws, recent));
}

}  // namespace
}  // namespace velk
