#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "acquisition/acquisition_device.h"
#include "acquisition/acquisition_manager.h"
#include "acquisition/keypad_dialogs.h"
#include "acquisition/measuring_conditions_dlg.h"
#include "platform/clock.h"
#include "platform/language.h"
#include "platform/profile.h"
#include "survey/file_group.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using D = CMeasuringConditionsDlg;

std::vector<std::string> Split(const std::string& keys)
{
    std::istringstream in(keys);
    std::vector<std::string> out;
    for (std::string k; in >> k;) out.push_back(k);
    return out;
}

// The keypad of dialog 244, row by row: what Left, Right and entering a row do.
TEST(MeasuringConditions, RowsFollowTheTable)
{
    struct Case {
        const char* keys;
        int row, action;
        const char* focus;
        int channels, trigger, auxiliary;
        KeypadOutcome last;
    };
    const std::vector<Case> cases{
        {"", 0, D::kSetupId, "OK", 0, 10, 0, {}},
        {"Left", 0, -1, D::kId, 0, 10, 0, {}},
        {"Left Right", 0, D::kSetupId, "Setup ID", 0, 10, 0, {}},
        {"Enter", 0, D::kSetupId, "OK", 0, 10, 0, {D::kSetupId, keypad::kStayOpen}},
        {"Down", 1, -1, "OK", 0, 10, 0, {}},
        {"Down Left", 1, -1, "OK", 0, 10, 0, {}},  // 0 stays 0
        {"Down Right Right Right Right Right", 1, -1, "OK", 4, 10, 0, {}},  // 48 channels not offered
        {"Down Down Down Down Down Down Right", 6, -1, "OK", 0, 11, 0, {}},  // 1000 mV -> signal
        {"Down Down Down Down Down Down Down", 7, D::kGain1, "Gain1 (Individual)", 0, 10, 0, {}},
        {"Down Down Down Down Down Down Down Right", 7, D::kGain2, "Gain2 (All)", 0, 10, 0, {}},
        {"Down Down Down Down Down Down Down Down Left", 8, -1, "Hold", 0, 10, 0, {}},
        {"Down Down Down Down Down Down Down Down Left Enter", 8, -1, "Hold", 0, 10, 0, {-1, keypad::kCloseOk}},
        {"Down Down Down Down Down Down Down Down Down Down Left", 10, -1, D::kSource, 0, 10, 0, {}},
        {"Down Down Down Down Down Down Down Down Down Down Down Down Down", 13, D::kSetupLineId, "Setup line ID", 0, 10,
         0, {}},
        {"Up Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Right", 16, -1,
         "OK", 0, 10, 1, {}},
        {"Esc", 0, D::kSetupId, "OK", 0, 10, 0, {-1, keypad::kCloseCancel}},
    };
    for (const Case& c : cases) {
        D d;
        d.channels = 0;
        d.triggerLevel = 10;
        d.auxiliary = 0;
        d.Open();
        KeypadOutcome last;
        for (const std::string& k : Split(c.keys)) last = d.Key(k);
        SCOPED_TRACE(c.keys);
        EXPECT_EQ(d.row, c.row);
        EXPECT_EQ(d.action, c.action);
        EXPECT_EQ(d.keypad.focus, c.focus);
        EXPECT_EQ(d.channels, c.channels);
        EXPECT_EQ(d.triggerLevel, c.trigger);
        EXPECT_EQ(d.auxiliary, c.auxiliary);
        EXPECT_EQ(last, c.last);
    }
}

TEST(MeasuringConditions, SignalTriggerLadderIsExactAtItsEdges)
{
    const std::vector<std::pair<float, float>> up{{0, 0.01f}, {0.09f, 0.1f}, {0.5f, 0.6f}, {9, 10}, {10, 15}, {98, 100}};
    for (auto [from, to] : up) EXPECT_EQ(CSignalTriggerLevelDlg::Up(from), to) << from;
    const std::vector<std::pair<float, float>> down{{0.011f, 0}, {0.05f, 0.04f}, {1, 0.9f}, {10, 9}, {15, 10}, {3, 2}};
    for (auto [from, to] : down) EXPECT_EQ(CSignalTriggerLevelDlg::Down(from), to) << from;
}

TEST(MeasuringConditions, GainAndHoldAreLiveAndClamped)
{
    std::array<int8_t, kInstrumentRows> table{3, 0}, zeros{}, holds{};
    int repaints = 0;
    CGainDlg gain, hold;
    hold.hold = true;
    CGainAllDlg all;
    DialogRequest g = gain.Request(kLanguageEnglish, table, [&] { ++repaints; });
    DialogRequest a = all.Request(kLanguageEnglish, zeros, {});
    DialogRequest h = hold.Request(kLanguageEnglish, holds, {});
    for (DialogRequest* r : {&g, &a, &h}) r->Load();
    for (const char* key : {"Right", "Down", "Right"}) PressKey(g, key);  // at 3 stays 3
    EXPECT_EQ(PressKey(g, "Esc"), keypad::kCloseCancel);
    EXPECT_EQ(table[0], 3);
    EXPECT_EQ(table[1], 1);  // kept after Cancel
    EXPECT_EQ(repaints, 1);
    PressKey(a, "Down");
    EXPECT_EQ(zeros[5], 0);
    a.Press(CGainAllDlg::kUpAll);
    EXPECT_EQ(zeros[23], 1);
    PressKey(h, "Right");
    PressKey(h, "Right");
    EXPECT_EQ(holds[0], 1);
}

struct Bench {
    Bench() : profile(Profile::FromText("[General]\n"))
    {
        device.TriggerMode = 10;
        device.parm.trig_level = 10;
        ModeContext context;
        context.device = &device;
        context.group = &group;
        context.profile = &profile;
        context.ui = &ui;
        context.language = kLanguageEnglish;
        manager.Attach(context);
        manager.dataFolder = tmp.Path();
        manager.lineIndex = 2;
    }
    CAcquisitionDevice::SettingsEdit Edit() { return {ui, profile, &manager, interval, kLanguageEnglish}; }
    testing::TempFolder tmp;
    ScriptedUiHost ui;
    Profile profile;
    CAcquisitionDevice device;
    CFileGroup group;
    CAcquisitionManager manager;
    float interval = 2.0f;
};

// Presses keys in the dialog the script answers; OK when a key closes it so.
std::function<bool(DialogRequest&)> Keys(std::string keys)
{
    return [keys](DialogRequest& r) {
        for (const std::string& k : Split(keys)) {
            const keypad::Close close = PressKey(r, k);
            if (close != keypad::kStayOpen) return close == keypad::kCloseOk;
        }
        return false;
    };
}

TEST(MeasuringConditions, EditSettingsWritesBackOnOkOnly)
{
    {
        Bench b;
        b.ui.AnswerDialogWith(D::kClass, [](DialogRequest& r) {
            EXPECT_EQ(r.Find(D::kLineId)->Text(), "ac");
            EXPECT_TRUE(r.SetFromText(D::kFirstReceiver, "12.5").empty());
            // Trigger level up to the signal trigger, a channel step, then Enter on the
            // auxiliary row closes as OK.
            return Keys("Down Left Down Down Down Down Down Right Down Down Down Down Down Down Down Down Down Down "
                        "Left Enter")(r);
        });
        EXPECT_EQ(b.device.EditSettings(b.Edit()), 1);
        EXPECT_EQ(b.device.parm.disp_ch, 3);
        EXPECT_EQ(b.device.TriggerMode, 11);
        EXPECT_EQ(b.device.parm.trig_level, 0);
        EXPECT_EQ(b.device.SaveAux, 0);
        EXPECT_FLOAT_EQ(b.device.firstReceiverPosition, 12.5f);
        EXPECT_EQ(b.profile.GetString("General", "TriggerMode").value_or(""), "11");
        EXPECT_EQ(b.profile.GetString("General", "SaveAux").value_or(""), "0");
    }
    {
        // Cancel: nothing but the live gains.
        Bench b;
        b.ui.AnswerDialogWith(D::kClass, Keys("Down Right Down Down Down Down Down Down Enter Esc"));
        b.ui.AnswerDialogWith(CGainDlg::kClass, Keys("Right Enter"));
        EXPECT_EQ(b.device.EditSettings(b.Edit()), 0);
        EXPECT_EQ(b.device.parm.disp_ch, 4);
        EXPECT_EQ(b.device.gain_bf[0], 2);
        EXPECT_EQ(b.profile.GetString("General", "TriggerMode").value_or(""), "");
    }
}

TEST(MeasuringConditions, RangesAreCheckedOnOkOnly)
{
    D d;
    d.Open();
    DialogRequest r = d.Request(kLanguageEnglish, {});
    r.Load();
    EXPECT_TRUE(r.SetFromText(D::kId, "12000").empty());
    EXPECT_TRUE(r.SetFromText(D::kSignalTrigger, "150").empty());
    EXPECT_EQ(PressKey(r, "Down"), keypad::kStayOpen);
    EXPECT_EQ(PressKey(r, "Up"), keypad::kStayOpen);
    EXPECT_EQ(r.Check(), "ID No.: Please enter an integer between 0 and 9999.");
    EXPECT_TRUE(r.SetFromText(D::kId, "9999").empty());
    EXPECT_EQ(r.Check(), "Signal trigger level (%): Please enter a number between 0 and 100.");
}

TEST(MeasuringConditions, SetupLineIdChangesTheLine)
{
    Bench b;
    b.group.entryCount = 3;
    b.ui.AnswerDialogWith(D::kClass, Keys("Down Down Down Down Down Down Down Down Down Down Down Down Down Enter Esc"));
    b.ui.AnswerDialogWith(CSetLineIdDlg::kClass, Keys("Down Left Up Enter"));  // "ac" -> "bb"
    b.ui.ExpectMessage("Line ID was changed. Make new file list?", MsgButtons::YesNo, MsgResult::Yes);
    EXPECT_EQ(b.device.EditSettings(b.Edit()), 0);
    EXPECT_EQ(b.manager.lineIndex, 27);
    EXPECT_EQ(b.manager.LineId(), "bb");
    EXPECT_EQ(b.group.entryCount, 0);
}

TEST(NoiseLog, NamesLinesAndFailure)
{
    testing::TempFolder tmp;
    ScriptedUiHost ui;
    CAcquisitionDevice device;
    device.noiseLogStartTick = 4000000000u;
    EXPECT_EQ(device.OpenNoiseLog(tmp.Path(), ui, kLanguageEnglish), 1);
    EXPECT_EQ(device.OpenNoiseLog(tmp.Path(), ui, kLanguageEnglish), 0);  // open: nothing
    {
        testing::ScopedGlobalLocale german("de_DE.UTF-8");
        device.AppendNoiseLog(-123, LocalTime{2024, 5, 6, 14, 7, 9, 0}, 4000000500u);
    }
    std::ifstream in(tmp.Path() + "/monitor_0000.dat");  // readable before the close
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "2024 5 6 14 7 9 4000000500 500 -123.000000");
    EXPECT_EQ(device.CloseNoiseLog(), 1);
    EXPECT_EQ(device.OpenNoiseLog(tmp.Path(), ui, kLanguageEnglish), 1);
    EXPECT_TRUE(std::filesystem::exists(tmp.Path() + "/monitor_0001.dat"));
    device.CloseNoiseLog();

    // A read-only folder (root writes anywhere but in /proc).
    std::string locked = tmp.Path() + "/locked";
    std::filesystem::create_directory(locked);
    ::chmod(locked.c_str(), 0555);
    if (::geteuid() == 0) locked = "/proc";
    ui.ExpectMessage("Cannot create " + locked + "/monitor_0002.dat");
    EXPECT_EQ(device.OpenNoiseLog(locked, ui, kLanguageEnglish), 0);
    EXPECT_EQ(device.noiseLogOpen, 0);
    EXPECT_EQ(device.noiseLogNumber, 2);
    EXPECT_FALSE(std::filesystem::exists(locked + "/monitor_0002.dat"));
}

}  // namespace
}  // namespace velk
