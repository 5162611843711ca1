#include <gtest/gtest.h>

#include <filesystem>

#include "acquisition/acquisition_manager.h"
#include "acquisition/disk_dlg.h"
#include "acquisition/keypad_dialogs.h"
#include "app/acquisition/disk_commands.h"
#include "app/acquisition/record_saving.h"
#include "app/workspace.h"
#include "platform/clock.h"
#include "platform/file_ops.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/profile.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using velk::testing::TempFolder;

// The workspace's record, MO drive and data folder meet the dialog: the shown record is saved
// as the line's next record, and the archive goes to the MO letter's mount point.
TEST(DiskCommands, SaveAndArchiveOnTheWorkspace)
{
    TempFolder data, d, e;
    Profile profile = Profile::FromText("[General]\nDrive_D=" + d.Path() + "\nDrive_E=" + e.Path() + "\n");
    ScriptedUiHost ui;
    Workspace ws(profile, ui);
    auto clock = std::make_unique<ManualClock>();
    const LocalTime now = SystemClock().LocalNow();  // the record is written today
    clock->SetLocal(now);
    ws.UseClock(std::move(clock));
    ws.CreateAcquisitionManager().dataFolder = data.Path();
    ws.startup.acquisitionMode = 1;
    ws.startup.language = kLanguageEnglish;
    ws.InitForView();
    ws.moDriveLetter = 'd';
    MakeAcquiredTraceHeaders(ws);
    ws.store.Params().traceCount = 25;

    auto press = [&ui](const char* button) {
        ui.AnswerDialogWith(CDiskDlg::kClass, [button](DialogRequest& r) { return PressKey(r, button) == keypad::kCloseOk; });
    };
    PosixFileOps files;
    std::string saved;
    press("Save current data");
    ui.ExpectMessage("Waveform data file has been saved !");
    EXPECT_EQ(RunDiskMenu(ws, ui, files, saved), 1);
    EXPECT_EQ(saved, data.File("qkaa0001.sg2"));
    EXPECT_EQ(ws.acquisitionDevice.NextID, 2);

    press("Set ID");  // the keypad dialog of the record ID
    ui.CancelDialog(CSetIdDlg::kClass);
    EXPECT_EQ(RunDiskMenu(ws, ui, files, saved), 0);

    press("Copy all today waveform files to MO");
    ui.ExpectAnyMessage(MsgResult::Yes);
    ui.ExpectAnyMessage();
    ui.ExpectAnyMessage();
    EXPECT_EQ(RunDiskMenu(ws, ui, files, saved), 0);
    const std::string dated =
        FormatC("QKWData_%4d_%02d_%02d_%02d_%02d", now.year, now.month, now.day, now.hour, now.minute);
    EXPECT_TRUE(e.Entries().empty());
    EXPECT_TRUE(std::filesystem::exists(d.File(dated + "/qkaa0001.sg2")));
    EXPECT_TRUE(std::filesystem::exists(data.File(dated + "/qkaa0001.sg2")));
}

}  // namespace
}  // namespace velk
