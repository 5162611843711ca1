#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>

#include "acquisition/acquisition_modes.h"
#include "app/acquisition/acquisition_commands.h"
#include "app/acquisition/mode_services.h"
#include "app/formats/document.h"
#include "app/workspace.h"
#include "platform/clock.h"
#include "platform/numtext.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/recent_files.h"
#include "tools/test_support.h"

namespace velk {
namespace {

// The user who agrees: every question Yes or OK, every dialog OK as it opens, and the counts
// dialog answered from a list. Keeps the messages.
class AgreeingUiHost : public NullUiHost {
public:
    std::deque<int> counts;
    std::vector<std::string> messages;

protected:
    MsgResult DoMessage(const MessageRequest& r) override
    {
        messages.push_back(r.text);
        return r.buttons == MsgButtons::YesNo || r.buttons == MsgButtons::YesNoCancel ? MsgResult::Yes : MsgResult::Ok;
    }
    bool DoRunDialog(DialogRequest& r) override
    {
        if (r.DialogClass() == "CShotCountDlg" && !counts.empty()) {
            const int n = counts.front();
            counts.pop_front();
            r.SetFromText("Hundreds", std::to_string(n / 100));
            r.SetFromText("Tens", std::to_string(n / 10 % 10));
            r.SetFromText("Ones", std::to_string(n % 10));
        }
        return r.Check().empty();
    }
};

// A 2D surface-wave line of 6 receivers and 7 shots on the simulated seismograph, through the
// program's own analyses to its dispersion curves.
TEST(AcquisitionLine, SurfaceWave2DToItsDispersionCurves)
{
    testing::TempFolder tmp;
    setenv("VELKARINE_HOME", tmp.Path().c_str(), 1);
    // The analyses write their fixed-name files into the current folder.
    const std::filesystem::path kept = std::filesystem::current_path();
    std::filesystem::current_path(tmp.Path());
    AgreeingUiHost ui;
    Profile profile = Profile::FromText(
        "[General]\nSimulator_NoiseLevel=0.01\nSimulator_Jitter=0\nSimulator_Shots=periodic:1\n"
        "Simulator_TimeScale=0\n");
    {
        Workspace ws(profile, ui);
        auto owned = std::make_unique<ManualClock>(1000);
        ManualClock* clock = owned.get();
        ws.UseClock(std::move(owned));
        ws.startup.acquisitionMode = 1;
        ws.startup.instrumentMenu = 1;  // the records are found in the data folder
        ws.InitForView();
        ws.acquisitionDevice.acquisitionScreen = 1;
        CVelkarineDoc doc(ws);
        RegisterFileFormats(doc.Formats());
        RecentFileList recent;
        ws.ModeServicesOf().SetContextSource(
            [&]() -> std::optional<CommandContext> { return CommandContext{ws, ui, doc, recent, nullptr, nullptr}; });
        CAcquisitionManager& manager = ws.CreateAcquisitionManager();
        manager.dataFolder = MapWindowsPath("c:\\Data");
        std::filesystem::create_directories(manager.dataFolder);
        manager.surveyType = 3;
        ASSERT_EQ(manager.CreateMode(), 1);
        CAcquisitionMode& mode = *manager.Mode();
        ui.counts = {6, 7};
        manager.StepMode();  // the presets, the interval and the counts
        ws.acquisitionDevice.parm.disp_ch = 2;  // 6 channels
        ASSERT_EQ(mode.stepState, 1);
        EXPECT_EQ(mode.targetCount, 7);
        for (int shot = 1; shot <= 7; ++shot) {
            manager.StepMode();
            OnTriggerArm(ws, ui);
            for (int t = 0; t < 5000 && ws.acquisitionDevice.NextID == shot; t += 5) {
                clock->AdvanceMs(5);
                AcquisitionMonitorTick(ws);
                if (clock->TickCountMs() % 50 == 0) AcquisitionTimerStep(ws, ui);
                if (ws.acquisitionDevice.pendingStart != 0 && ws.acquisitionDevice.runActive == 0) {
                    CompletePendingStart(ws, ui);
                }
            }
            ASSERT_EQ(ws.acquisitionDevice.NextID, shot + 1);
        }
        EXPECT_EQ(mode.stepState, 2);
        manager.StepMode();  // the geometry
        EXPECT_EQ(mode.stepState, 3);
        manager.StepMode();  // CMP gathers, curves, the line's result file
        EXPECT_EQ(mode.stepState, 5);
        const std::string pvs = manager.LineFilePath(".pvs");
        EXPECT_TRUE(std::filesystem::exists(pvs));
        EXPECT_EQ(ui.messages.back(), "Dispersion curves were saved into " + pvs + "!");
        EXPECT_EQ(manager.ResultNames().dataFile, "qkaa.pvs");
        ws.ReleaseSharedBlocks();
    }
    unsetenv("VELKARINE_HOME");
    std::filesystem::current_path(kept);
}

}  // namespace
}  // namespace velk
