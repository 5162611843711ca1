#include <gtest/gtest.h>

#include <cmath>

#include "acquisition/acquisition_modes.h"
#include "app/acquisition/acquisition_commands.h"
#include "app/acquisition/mode_services.h"
#include "app/workspace.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/seg2.h"
#include "platform/byte_io.h"
#include "platform/clock.h"
#include "platform/language.h"
#include "platform/profile.h"
#include "survey/survey_line_xml.h"
#include "tools/fake_mode_services.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

// A refraction line recorded on the simulated seismograph, from the geometry to the hand-off,
// with the analyses faked.
TEST(AcquisitionLine, RefractionFromGeometryToTheRefractionProgram)
{
    testing::TempFolder tmp;
    ScriptedUiHost ui;
    Profile profile = Profile::FromText(
        "[General]\nSimulator_NoiseLevel=0\nSimulator_Jitter=0\nSimulator_Shots=periodic:1\nSimulator_TimeScale=0\n");
    Workspace ws(profile, ui);
    auto owned = std::make_unique<ManualClock>(1000);
    ManualClock* clock = owned.get();
    ws.UseClock(std::move(owned));
    ws.startup.acquisitionMode = 1;
    ws.startup.instrumentMenu = 1;
    ws.InitForView();
    ws.acquisitionDevice.acquisitionScreen = 1;
    FakeModeServices services;
    CAcquisitionManager& manager = ws.CreateAcquisitionManager();
    manager.Attach(MakeModeContext(ws, &services));
    manager.dataFolder = tmp.Path();
    manager.surveyType = 4;
    ASSERT_EQ(manager.CreateMode(), 1);
    CAcquisitionMode& mode = *manager.Mode();

    auto count = [&](int n) {
        ui.AnswerDialog("CShotCountDlg", {{"Tens", std::to_string(n / 10)}, {"Ones", std::to_string(n % 10)}});
    };
    ui.ExpectMessage("Use default setting? (OK : Default setting.  Cancel : Previous setting.)", MsgButtons::OkCancel,
                     MsgResult::Ok);
    count(24);
    ui.AnswerDialog("CSetPositionDlg");
    count(5);
    ui.ExpectMessage("Number of receivers = 24 \n\n Number of shots = 5");
    ui.ExpectMessage("1 : -11.00m\n2 : 0.50m\n3 : 11.50m\n4 : 22.50m\n5 : 34.00m\n");
    manager.StepMode();
    ASSERT_TRUE(ui.VerifyAndClear());
    EXPECT_EQ(mode.stepState, 1);

    // Per shot: Enter, Arm, the shot, "Save to HDD?" OK.
    const float sources[] = {-11.0f, 0.5f, 11.5f, 22.5f, 34.0f};
    for (int shot = 0; shot < 5; ++shot) {
        ui.AnswerDialog("CStepConfirmDlg");
        ui.ExpectMessage(FormatC("Do the data acquisition \n\n Source location is %f m!", sources[shot]));
        manager.StepMode();
        ui.ExpectMessage("Save to HDD?", MsgButtons::OkCancel, MsgResult::Ok);
        if (shot < 4) {
            ui.ExpectMessage(FormatC("Next shot location is %fm", sources[shot + 1]));
        } else {
            ui.ExpectMessage("Data acquisition has been completed ! \n\n Analysis result was saved into " +
                             tmp.File("qkaa.xml") + "!");
        }
        OnTriggerArm(ws, ui);
        for (int t = 0; t < 5000 && ws.acquisitionDevice.NextID == shot + 1; t += 5) {
            clock->AdvanceMs(5);
            AcquisitionMonitorTick(ws);
            if (clock->TickCountMs() % 50 == 0) AcquisitionTimerStep(ws, ui);
            if (ws.acquisitionDevice.pendingStart != 0 && ws.acquisitionDevice.runActive == 0) {
                CompletePendingStart(ws, ui);
            }
        }
        ASSERT_TRUE(ui.VerifyAndClear()) << shot;
    }
    EXPECT_EQ(mode.stepState, 2);

    for (int shot = 0; shot < 5; ++shot) {
        ByteSource file = ByteSource::FromFile(tmp.File(FormatC("qkaa%04d.sg2", shot + 1)));
        ASSERT_TRUE(file.Ok());
        LoadTarget target(0, 64, 16384, 16384);
        FormatContext fc{ui, kLanguageEnglish, NullLog()};
        ASSERT_EQ(ReadSeg2(file, target, 1, fc), 25);
        EXPECT_EQ(target.HeaderAt(0).sourceHundredths, std::lround(sources[shot] * 100));
        EXPECT_EQ(target.HeaderAt(0).receiverHundredths, 0);
        EXPECT_EQ(target.HeaderAt(23).receiverHundredths, 2300);
    }
    SurveyLine line;
    CFileGroup group;
    MamGeometrySlot slot;
    ASSERT_EQ(ReadLineXml(line, group, slot, tmp.File("qkaa.xml"), 0), 5);
    EXPECT_EQ(line.qkwMenu, 4);
    EXPECT_EQ(line.qkwMenuName, "Refraction method");
    EXPECT_EQ(line.procedureStep, 1);
    for (int i = 0; i < 5; ++i) {
        const FileListEntry& e = group.entries[static_cast<size_t>(i)];
        EXPECT_EQ(e.fileName, FormatC("qkaa%04d.sg2", i + 1));
        EXPECT_FLOAT_EQ(e.shotDistance, sources[i]);
        EXPECT_EQ(e.firstReceiver, 0.0f);
        EXPECT_EQ(e.receiverInterval, 1.0f);
    }

    // The geometry, the picks saved as the line's traveltime file, the refraction program.
    ui.AnswerDialog("CStepConfirmDlg");
    ui.ExpectMessage("Source-receiver geometry is completed \n\n Analysis result was saved into " +
                     tmp.File("qkaa.xml") + "!");
    ui.AnswerDialog("CStepConfirmDlg");
    ui.ExpectMessage("Traveltime curves were saved into " + tmp.File("qkaa.pvs") + "!");
    ui.AnswerDialog("CStepConfirmDlg");
    services.calls.clear();
    for (int i = 0; i < 3; ++i) manager.StepMode();
    EXPECT_EQ(mode.stepState, 4);
    EXPECT_EQ(services.calls, (std::vector<std::string>{"SetUpGroupGeometry", "SetGroupWaveformData 0",
                                                        "GroupAutoPickFirstArrivals",
                                                        "SaveRostrelFile " + tmp.File("qkaa.pvs") + " first arrivals",
                                                        "ShowTraveltimeInRostrel QKWREFRACTION"}));
    ASSERT_EQ(ReadLineXml(line, group, slot, tmp.File("qkaa.xml"), 0), 5);
    EXPECT_EQ(line.dataFile, "qkaa.pvs");
}

}  // namespace
}  // namespace velk
