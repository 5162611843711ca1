#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
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

// "D3 L E": Down three times, Left, Enter (U Up, R Right, X Esc).
std::vector<std::string> Split(const std::string& keys)
{
    static const std::map<char, std::string> kNames{{'U', "Up"}, {'D', "Down"}, {'L', "Left"},
                                                    {'R', "Right"}, {'E', "Enter"}, {'X', "Esc"}};
    std::istringstream in(keys);
    std::vector<std::string> out;
    for (std::string k; in >> k;) out.insert(out.end(), k.size() > 1 ? std::stoi(k.substr(1)) : 1, kNames.at(k[0]));
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
        {"L", 0, -1, D::kId, 0, 10, 0, {}},
        {"L R", 0, D::kSetupId, "Setup ID", 0, 10, 0, {}},
        {"E", 0, D::kSetupId, "OK", 0, 10, 0, {D::kSetupId, keypad::kStayOpen}},
        {"D L", 1, -1, "OK", 0, 10, 0, {}},     // 0 stays 0
        {"D R5", 1, -1, "OK", 4, 10, 0, {}},    // 48 channels not offered
        {"D6 R", 6, -1, "OK", 0, 11, 0, {}},    // 1000 mV -> signal
        {"D7", 7, D::kGain1, "Gain1 (Individual)", 0, 10, 0, {}},
        {"D7 R", 7, D::kGain2, "Gain2 (All)", 0, 10, 0, {}},
        {"D8 L E", 8, -1, "Hold", 0, 10, 0, {-1, keypad::kCloseOk}},
        {"D10 L", 10, -1, D::kSource, 0, 10, 0, {}},
        {"D13", 13, D::kSetupLineId, "Setup line ID", 0, 10, 0, {}},
        {"U D20 R", 16, -1, "OK", 0, 10, 1, {}},
        {"X", 0, D::kSetupId, "OK", 0, 10, 0, {-1, keypad::kCloseCancel}},
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
        ModeContext ctx;
        ctx.device = &device;
        ctx.group = &group;
        ctx.profile = &profile;
        ctx.ui = &ui;
        manager.Attach(ctx);
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
            // A channel down, the trigger up to the signal, the auxiliary off, Enter as OK.
            return Keys("D L D5 R D10 L E")(r);
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
        b.ui.AnswerDialogWith(D::kClass, Keys("D R D6 E X"));
        b.ui.AnswerDialogWith(CGainDlg::kClass, Keys("R E"));
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
    for (const char* key : {"Down", "Up", "Left"}) EXPECT_EQ(PressKey(r, key), keypad::kStayOpen);
    EXPECT_EQ(r.Check(), "ID No.: Please enter an integer between 0 and 9999.");
    EXPECT_TRUE(r.SetFromText(D::kId, "9999").empty());
    EXPECT_EQ(r.Check(), "Signal trigger level (%): Please enter a number between 0 and 100.");
}

TEST(MeasuringConditions, SetupLineIdChangesTheLine)
{
    Bench b;
    b.group.entryCount = 3;
    b.ui.AnswerDialogWith(D::kClass, Keys("D13 E X"));
    b.ui.AnswerDialogWith(CSetLineIdDlg::kClass, Keys("D L U E"));  // "ac" -> "bb"
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
