#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "acquisition/acquisition_device.h"
#include "acquisition/acquisition_manager.h"
#include "acquisition/disk_dlg.h"
#include "platform/clock.h"
#include "platform/file_ops.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "survey/file_group.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using velk::testing::TempFolder;
using velk::testing::WriteFileText;

TEST(DiskDlg, KeypadRowsAndTheirActions)
{
    struct Case {
        const char* keys;  // Up, Down, Left, Right
        int row, action;
        const char* focus;
    };
    const Case cases[] = {
        {"", 0, 0, "Copy all today file list to MO"},   {"U", 0, 0, "Copy all today file list to MO"},
        {"DDDD", 4, 4, "Save current data"},            {"DDDDDDDDDDD", 8, 8, "Copy waveform files to FD"},
        {"DDDDDL", 5, -1, "ID No."},                    {"DDDDDLR", 5, 5, "Set ID"},
        {"DDDDDDL", 6, -1, "Line ID"},                  {"DDDDDDLR", 6, 6, "Set line ID"},
        {"DDR", 2, -1, "OK"},                           {"DDDL", 3, -1, "OK"},
    };
    for (const Case& c : cases) {
        CDiskDlg d;
        for (const char* k = c.keys; *k; ++k)
            (d.*(*k == 'U' ? &CDiskDlg::Up : *k == 'D' ? &CDiskDlg::Down : *k == 'L' ? &CDiskDlg::Left : &CDiskDlg::Right))();
        EXPECT_EQ(std::tie(d.row, d.action, d.focus), std::tie(c.row, c.action, c.focus)) << c.keys;
    }
}

struct Screen {
    TempFolder data, mo;
    ScriptedUiHost ui;
    ManualClock clock;
    PosixFileOps ops;
    CFileGroup group;
    int lineFiles = 1;
    CAcquisitionManager manager;
    CAcquisitionDevice device;
    DiskContext ctx;
    std::vector<std::string> saves;

    Screen()
    {
        manager.dataFolder = data.Path();
        manager.lineIndex = 3;
        ModeContext m;
        m.group = &group;
        m.ui = &ui;
        m.language = ctx.language = kLanguageEnglish;
        m.lineFilesSwitch = &lineFiles;
        manager.Attach(m);
        ctx.ui = &ui;
        ctx.manager = &manager;
        ctx.files = &ops;
        ctx.clock = &clock;
        ctx.dataFolder = data.Path();
        ctx.moFolder = mo.Path();
        ctx.saveRecord = [this] { return saves.push_back("saved"), 1; };
    }
    // Scripts the dialog: the keys and buttons given, then the closing key if it is still open.
    // What the actions show is scripted after it.
    void Script(std::vector<std::string> presses, const char* closing = "Esc")
    {
        ui.AnswerDialogWith(CDiskDlg::kClass, [presses, closing](DialogRequest& r) {
            for (const std::string& p : presses) {
                const keypad::Close c = PressKey(r, p);
                if (c != keypad::kStayOpen) return c == keypad::kCloseOk;
            }
            return PressKey(r, closing) == keypad::kCloseOk;
        });
    }
    int Run() { return device.DiskMenu(ctx); }
};

TEST(DiskDlg, SaveCurrentDataSavesOnlyAWaveformRecord)
{
    struct Case {
        int traces, kind;
        std::vector<std::string> presses;
        const char* message;  // empty: none
        size_t saves;
        int result;
    };
    const std::vector<std::string> keypad{"Down", "Down", "Down", "Down", "Enter"};
    const Case cases[] = {
        {24, 1, keypad, "Not time domain data", 0, 0},
        {24, 0, {"Save current data"}, "Waveform data file has been saved !", 1, 1},
        {24, 0, keypad, "Waveform data file has been saved !", 1, 1},
        {0, 0, keypad, "No waveform data !", 0, 0},
        {0, 0, {"Save current data"}, "", 0, 1},
    };
    for (const Case& c : cases) {
        Screen s;
        s.ctx.traceCount = c.traces;
        s.ctx.dataKind = c.kind;
        s.ctx.dispersionFlag = c.kind;
        s.Script(c.presses);
        if (*c.message) s.ui.ExpectMessage(c.message);
        EXPECT_EQ(s.Run(), c.result) << c.message;
        EXPECT_EQ(s.saves.size(), c.saves) << c.message;
    }
}

TEST(DiskDlg, ListCopiesNeedTheLineFilesAndLeaveTheLineAlone)
{
    Screen s;
    s.lineFiles = 0;
    s.Script({"Copy file list to MO"});
    s.ui.ExpectMessage("Sorry! This unction cannot be used.");
    s.Run();

    s.lineFiles = 1;
    CFileGroup list;
    list.AddFile("qkab0003.sg2", 0.0f, 0.0f, 1.0f);
    SurveyLine line;
    line.lineId = 1;
    WriteLineXml(line, list, MamGeometrySlot{}, s.data.File("qkab.xml"));
    WriteFileText(s.data.File("qkab0003.sg2"), "3");
    WriteFileText(s.data.File("QKAB0004.SG2"), "4");
    WriteFileText(s.data.File("other.sg2"), "-");
    EXPECT_EQ(CCopyFilesDlg::MatchingFiles(s.ops, s.data.Path(), "sg2"),
              (std::vector<std::string>{"QKAB0004.SG2", "qkab0003.sg2"}));
    s.Script({"Down", "Down", "Enter"});
    s.ui.AnswerDialog(CCopyFilesDlg::kClass, {{CCopyFilesDlg::kFiles, "qkab.xml"}});
    s.ui.ExpectMessage("2 files were copied !");
    s.Run();
    EXPECT_TRUE(std::filesystem::exists(s.mo.File("QKWData_ab/qkab0003.sg2")));
    EXPECT_EQ(s.manager.lineIndex, 3);
    // OK with nothing chosen copies nothing.
    s.Script({"Copy waveform files to MO"});
    s.ui.AnswerDialog(CCopyFilesDlg::kClass);
    s.Run();
    EXPECT_EQ(s.mo.Entries(), std::vector<std::string>{"QKWData_ab"});
}

TEST(DiskDlg, CopiesToADriveThatIsNotMountedSaySo)
{
    Screen s;
    WriteFileText(s.data.File("qkad0001.sg2"), "1");
    s.ctx.moFolder = s.mo.File("gone");
    s.ctx.moKey = "Drive_E";
    s.ctx.fdFolder = s.mo.File("floppy");
    s.ctx.fdKey = "Drive_A";
    const std::string unmounted = "The drive is not mounted: %s is not there. Mount the disk, or set its mount point "
                                  "in the profile key %s.";
    for (const char* button : {"Copy waveform files to MO", "Copy all today waveform files to MO",
                               "Copy all today file list to MO", "Copy file list to FD"}) {
        s.Script({button});
        const bool floppy = std::string(button).ends_with("FD");
        s.ui.ExpectMessage(FormatC(unmounted.c_str(), (floppy ? s.ctx.fdFolder : s.ctx.moFolder).c_str(),
                                   floppy ? "Drive_A" : "Drive_E"));
        s.Run();
        EXPECT_TRUE(s.ui.VerifyAndClear()) << button;
    }
    EXPECT_TRUE(s.mo.Entries().empty());
}

TEST(DiskDlg, SetIdAndSetLineIdChangeTheDeviceAndTheLine)
{
    Screen s;
    s.device.NextID = 12;
    s.group.AddFile("qkad0001.sg2", 0.0f, 0.0f, 1.0f);
    s.ctx.editId = [](UiHost&, int, int& id) { return id == 12 ? (id = 40, true) : false; };
    s.ctx.editLineIndex = [](UiHost&, int, int& index) { return index == 3 ? (index = 27, true) : false; };
    s.ui.AnswerDialogWith(CDiskDlg::kClass, [](DialogRequest& r) {
        EXPECT_EQ(r.Find(CDiskDlg::kLineId)->Text(), "ad");
        r.Press("Set ID");
        r.Press("Set line ID");
        EXPECT_EQ(r.Find(CDiskDlg::kIdNo)->Text(), "40");
        EXPECT_EQ(r.Find(CDiskDlg::kLineId)->Text(), "bb");
        return false;
    });
    // The line changes as measuring conditions change it: the file list question first.
    s.ui.ExpectMessage("Line ID was changed. Make new file list?", MsgButtons::YesNo, MsgResult::No);
    EXPECT_EQ(s.Run(), 0);
    EXPECT_EQ(s.device.NextID, 40);
    EXPECT_EQ(s.manager.lineIndex, 27);
}

}  // namespace
}  // namespace velk
