#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/acquisition/acquisition_menu.h"
#include "app/acquisition/acquisition_menu_commands.h"
#include "app/command_table.h"
#include "app/formats/document.h"
#include "app/shell_services.h"
#include "acquisition/start_dialogs.h"
#include "app/workspace.h"
#include "platform/clock.h"
#include "platform/language.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/recent_files.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

const MenuNode* FindNode(const MenuNode& menu, int id)
{
    for (const MenuNode& n : menu.children) {
        if (n.kind == MenuNode::Kind::Item && n.id == id) return &n;
        if (n.kind == MenuNode::Kind::Submenu)
            if (const MenuNode* found = FindNode(n, id)) return found;
    }
    return nullptr;
}

// The view and the frame of a command: the record cycle's timers and the one-shot call run on
// a manual clock.
class Shell : public ViewSurface, public FrameServices {
public:
    void Repaint() override {}
    void ShowTransientText(const std::string&, LPoint) override {}
    void ApplyAcquisition(const AcquisitionEffects& e) override
    {
        if (e.startTicker) ticker = true;
        if (e.runEnded) ticker = false;
        if (e.startTimer) timer = true;
        if (e.stopTimer) timer = false;
        if (e.startLater) startAt = now + 200;
    }
    void ScheduleOnce(int ms, std::function<void()> then) override
    {
        if (ms != ContinuousMeasurement::kPollMs) waits.push_back(ms);
        if (ms == ContinuousMeasurement::kBeforeTriggerMs) handled.push_back(static_cast<int>(ui->Messages().size()));
        due = now + static_cast<uint32_t>(ms);
        scheduled = std::move(then);
    }
    void DocumentTitleChanged(const std::string&) override {}
    void RecentFilesChanged() override {}
    void RequestClose() override { ++closes; }
    void ShowAbout() override {}
    StatusPanes* Status() override { return nullptr; }

    uint32_t now = 0;
    bool ticker = false, timer = false;
    std::optional<uint32_t> startAt;
    uint32_t due = 0;
    std::function<void()> scheduled;
    std::vector<int> waits;
    std::vector<int> handled;  // the records' questions asked when the trigger's wait began
    ScriptedUiHost* ui = nullptr;
    int closes = 0;
};

struct Rig {
    explicit Rig(const std::string& profileText = "")
        : profile(Profile::FromText("[General]\n" + profileText)), ws(profile, ui), doc(ws)
    {
        auto owned = std::make_unique<ManualClock>(1000);
        clock = owned.get();
        ws.UseClock(std::move(owned));
        ws.startup.acquisitionMode = 1;
        ws.startup.instrumentMenu = 1;
        ws.CreateAcquisitionManager().dataFolder = tmp.Path();
        ws.InitForView(tmp.Path());
        ws.acquisitionDevice.acquisitionScreen = 1;
        shell.ui = &ui;
    }
    int Run(int id)
    {
        CommandContext ctx{ws, ui, doc, recent, &shell, &shell};
        return RunCommand(table, id, ctx);
    }
    bool Enabled(int id) { return table.IsEnabled(id, ws, recent); }
    // The window's timers for `ms` milliseconds of the manual clock.
    void Tick(int ms)
    {
        for (int t = 0; t < ms; t += 5) {
            clock->AdvanceMs(5);
            shell.now = clock->TickCountMs();
            if (shell.ticker) shell.ApplyAcquisition(AcquisitionMonitorTick(ws));
            if (shell.timer && shell.now % 50 == 0) shell.ApplyAcquisition(AcquisitionTimerStep(ws, ui));
            if (shell.startAt && shell.now >= *shell.startAt) {
                shell.startAt.reset();
                shell.ApplyAcquisition(CompletePendingStart(ws, ui));
            }
            if (shell.scheduled && shell.now >= shell.due) std::exchange(shell.scheduled, nullptr)();
        }
    }

    testing::TempFolder tmp;
    ScriptedUiHost ui;
    Profile profile;
    Workspace ws;
    CVelkarineDoc doc;
    RecentFileList recent;
    Shell shell;
    ManualClock* clock = nullptr;
    const CommandTable table = BuildCommandTable();
};

TEST(AcquisitionMenu, RowsTitlesAndJapaneseOnlyItems)
{
    const CommandTable table = BuildCommandTable();
    const MenuBarModel ja = table.BuildMenuBar(kMenuDefault, kLanguageJapanese);
    const MenuBarModel en = table.BuildMenuBar(kMenuFullEnglish, kLanguageEnglish);
    EXPECT_EQ(ja.Find("acquisition")->text, "測定(&D)");
    EXPECT_EQ(en.Find("acquisition")->text, "Data acquisition(&D)");
    for (int id : {cmd::kAcquisitionSetting, cmd::kAcquisitionDisk, cmd::kAcquisitionDisplay, cmd::kSetupReceiverCount,
                   cmd::kSetupFirstReceiver, cmd::kSetupGeometry, cmd::kQkwMenu, cmd::kSignalTriggerLevel,
                   cmd::kNoiseMonitorRecord, cmd::kContinuousMeasurement, cmd::kMoDriveD, cmd::kMoDriveE}) {
        const bool japaneseOnly = id == cmd::kNoiseMonitorRecord || id == cmd::kContinuousMeasurement ||
                                  id == cmd::kMoDriveD || id == cmd::kMoDriveE;
        EXPECT_NE(FindNode(*ja.Find("acquisition"), id), nullptr) << id;
        EXPECT_EQ(FindNode(*en.Find("acquisition"), id) == nullptr, japaneseOnly) << id;
    }
    EXPECT_EQ(FindNode(*ja.Find("acquisition"), cmd::kNoiseMonitorRecord)->text, "ﾓﾆﾀｰの記録");
}

TEST(AcquisitionMenu, RulesOverTheFlags)
{
    Rig rig;
    // present, monitor, armed -> Arm, Stop, Setting, Disk, Display
    struct Case {
        int present, monitor, armed;
        bool arm, stop, setting, disk, display;
    };
    for (const Case& c : std::vector<Case>{{1, 0, 0, true, false, true, true, true},
                                           {1, 1, 0, true, true, false, false, false},
                                           {1, 1, 1, false, true, false, false, false},
                                           {0, 0, 0, false, false, false, false, true},
                                           {0, 1, 0, false, false, false, false, false}}) {
        rig.ws.startup.instrumentMenu = c.present;
        rig.ws.acquisitionDevice.monitorRunning = c.monitor;
        rig.ws.acquisitionDevice.armed = c.armed;
        SCOPED_TRACE(::testing::Message() << c.present << c.monitor << c.armed);
        EXPECT_EQ(rig.Enabled(cmd::kTriggerArm), c.arm);
        EXPECT_EQ(rig.Enabled(cmd::kNoiseMonitorStop), c.stop);
        EXPECT_EQ(rig.Enabled(cmd::kAcquisitionSetting), c.setting);
        EXPECT_EQ(rig.Enabled(cmd::kAcquisitionDisk), c.disk);
        EXPECT_EQ(rig.Enabled(cmd::kAcquisitionDisplay), c.display);
    }
}

TEST(AcquisitionMenu, MoDriveChecksFollowTheLetter)
{
    Rig rig("Drive_D=/media/velkarine/e\nDrive_E=/media/velkarine/d\n");
    rig.Run(cmd::kMoDriveD);
    EXPECT_EQ(rig.ws.driveText, "/media/velkarine/e");
    EXPECT_TRUE(rig.table.IsChecked(cmd::kMoDriveD, rig.ws, rig.recent));
    EXPECT_FALSE(rig.table.IsChecked(cmd::kMoDriveE, rig.ws, rig.recent));
    rig.Run(cmd::kMoDriveE);
    EXPECT_EQ(rig.ws.driveText, "/media/velkarine/d");
    EXPECT_TRUE(rig.table.IsChecked(cmd::kMoDriveE, rig.ws, rig.recent));
}

// A stack waits: every way to a new line or out offers it first.
void PendStack(Rig& rig)
{
    rig.ws.acquisitionDevice.parm.stk_flg = 0;
    rig.ws.acquisitionDevice.stackCount = 1;
    rig.ws.acquisitionDevice.monitorRunning = 1;
}

TEST(AcquisitionMenu, NewSurveyLine)
{
    Rig rig;
    CAcquisitionManager& manager = *rig.ws.acquisitionManager;
    manager.lineIndex = 4;
    rig.ws.fileGroup.entryCount = 2;
    rig.ui.ExpectMessage("Are you sure to go new survey line ?", MsgButtons::OkCancel, MsgResult::Cancel);
    rig.Run(cmd::kQkwMenu);
    EXPECT_EQ(manager.lineIndex, 4);
    EXPECT_EQ(rig.ws.fileGroup.entryCount, 2);

    PendStack(rig);
    rig.ws.editController.shiftState = 1;
    rig.ws.store.Params().traceCount = 3;
    rig.ui.ExpectMessage("Are you sure to go new survey line ?", MsgButtons::OkCancel, MsgResult::Ok);
    rig.ui.ExpectMessage("Save to HDD?", MsgButtons::OkCancel, MsgResult::Cancel);
    rig.ui.AnswerDialogWith(CAcquisitionMenuDlg::kClass, [](DialogRequest& r) {
        r.Find("Survey type")->SetInt(4);
        return true;
    });
    rig.ui.ExpectMessage("Welcome to seismic refraction survey !");
    rig.Run(cmd::kQkwMenu);
    EXPECT_TRUE(rig.ui.VerifyAndClear());
    EXPECT_EQ(manager.surveyType, 4);
    EXPECT_EQ(manager.lineIndex, 5);
    EXPECT_EQ(rig.ws.store.Params().traceCount, 0);
    EXPECT_EQ(rig.ws.fileGroup.entryCount, 0);
    EXPECT_EQ(rig.ws.editController.shiftState, 0);
    EXPECT_EQ(rig.ws.acquisitionDevice.monitorRunning, 0);
}

TEST(AcquisitionMenu, ExitStopsThenAsks)
{
    Rig rig;
    PendStack(rig);
    rig.ws.acquisitionDevice.armed = 1;
    rig.ui.ExpectMessage("Save to HDD?", MsgButtons::OkCancel, MsgResult::Cancel);
    rig.ui.ExpectMessage("Are you sure you want to exit?", MsgButtons::OkCancel, MsgResult::Cancel);
    bool close = true;
    OnAcquisitionExit(rig.ws, rig.ui, close);
    EXPECT_FALSE(close);
    EXPECT_EQ(rig.ws.acquisitionDevice.armed, 0);
    EXPECT_EQ(rig.ws.acquisitionDevice.monitorRunning, 0);
    rig.ui.ExpectMessage("Save to HDD?", MsgButtons::OkCancel, MsgResult::Cancel);  // the stack still waits
    rig.ui.ExpectMessage("Are you sure you want to exit?", MsgButtons::OkCancel, MsgResult::Ok);
    OnAcquisitionExit(rig.ws, rig.ui, close);
    EXPECT_TRUE(close);
    // File's exit is the frame's close, which asks these questions itself.
    rig.Run(cmd::kAppExit);
    EXPECT_EQ(rig.shell.closes, 1);
    EXPECT_TRUE(rig.ui.VerifyAndClear());
}

TEST(AcquisitionMenu, NoiseLogFromTheMonitorUntilProgramEnd)
{
    Rig rig;
    rig.ws.acquisitionDevice.monitorRunning = 1;
    rig.ws.acquisitionDevice.armed = 1;
    EXPECT_EQ(OnNoiseMonitorRecord(rig.ws, rig.ui), 0);  // armed: no log
    rig.ws.acquisitionDevice.armed = 0;
    EXPECT_EQ(OnNoiseMonitorRecord(rig.ws, rig.ui), 1);
    rig.clock->AdvanceMs(250);
    rig.ws.acquisitionDevice.noiseLogHook(7);
    std::string line;
    std::getline(std::ifstream(rig.tmp.Path() + "/monitor_0000.dat") >> std::ws, line);
    EXPECT_NE(line.find(" 1250 250 7.000000"), std::string::npos) << line;
    rig.ws.SaveProgramEndSettings();
    EXPECT_EQ(rig.ws.acquisitionDevice.noiseLogOpen, 0);
}

TEST(ContinuousMeasurement, ShotsOnTimersUntilEscapeAfterThePass)
{
    Rig rig("Simulator_NoiseLevel=0\nSimulator_Jitter=0\nSimulator_Shots=at:1\nSimulator_TimeScale=0\n");
    rig.ws.acquisitionDevice.parm.stk_flg = 1;
    rig.ui.SetStrict(false);  // "Save to HDD?" answered Cancel
    EXPECT_EQ(rig.Run(cmd::kContinuousMeasurement), 0);
    EXPECT_TRUE(rig.ws.continuousMeasurement.Running());  // returned at once
    EXPECT_FALSE(rig.ws.continuousMeasurement.Start(rig.ws, rig.ui, &rig.shell, 5));
    rig.Tick(20000);
    rig.ws.editController.stopFlag = 1;  // Escape in the pass
    rig.Tick(60000);
    EXPECT_FALSE(rig.ws.continuousMeasurement.Running());
    EXPECT_EQ(rig.ws.continuousMeasurement.ShotsAttempted(), 5);
    EXPECT_EQ(rig.ws.editController.stopFlag, 1);
    std::vector<int> pass;
    for (int i = 0; i < 5; ++i) pass.insert(pass.end(), {1000, 5000, 2000});
    EXPECT_EQ(rig.shell.waits, pass);
    EXPECT_EQ(rig.shell.handled, (std::vector<int>{1, 2, 3, 4, 5}));  // each record handled before the wait
    EXPECT_EQ(rig.ui.Messages(), std::vector<std::string>(5, "Save to HDD?"));
}

}  // namespace
}  // namespace velk
