#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquisition/keypad_dialogs.h"
#include "platform/language.h"
#include "tools/scripted_uihost.h"

namespace velk {
namespace {

TEST(KeypadDialogs, SetIdAndShotCount)
{
    CSetIdDlg id;
    id.Split(9999);
    for (int i = 0; i < 4; ++i) {
        id.Up();
        id.Left();
    }
    EXPECT_EQ(id.Compose(), 9999);
    EXPECT_EQ(id.cursor, 0);
    id.Split(12000);
    EXPECT_FALSE(id.Validate());
    id.Split(305);
    for (int i = 0; i < 5; ++i) id.Right();  // stops on the ones
    id.Down();
    EXPECT_EQ(id.Compose(), 304);
    EXPECT_EQ(id.cursor, 3);

    CShotCountDlg count;
    count.Split(24);
    EXPECT_EQ(count.hundreds * 100 + count.tens * 10 + count.ones, 24);
    EXPECT_EQ(count.hundreds, 0);
    count.Up();
    EXPECT_EQ(count.Compose(), 124);
    EXPECT_EQ(ShotCountPrompt(true, kLanguageEnglish), "Number of shot !");
    EXPECT_FALSE(ShotCountPrompt(false, kLanguageEnglish).empty());  // the English dialog says what it asks
}

TEST(KeypadDialogs, SetLineIdLetters)
{
    const struct {
        int index;
        const char* first;
        const char* second;
        int composed;
    } cases[] = {{0, "a", "a", 0}, {27, "b", "b", 27}, {700, "z", "y", 674}, {-3, "a", "a", 0}};
    for (const auto& c : cases) {
        CSetLineIdDlg d;
        d.Split(c.index);
        EXPECT_EQ(d.firstText, c.first) << c.index;
        EXPECT_EQ(d.secondText, c.second) << c.index;
        EXPECT_EQ(d.Compose(), c.composed) << c.index;
    }
    CSetLineIdDlg d;
    d.Split(25);
    d.Up();  // capped at z
    d.Left();
    d.Up();
    EXPECT_EQ(d.firstText + d.secondText, "bz");
}

TEST(KeypadDialogs, SetPositionSignAndRounding)
{
    CSetPositionDlg d;
    d.Split(-12.5f);
    EXPECT_EQ(d.signText, "-");
    EXPECT_EQ(d.tens, 1);
    EXPECT_EQ(d.ones, 2);
    EXPECT_EQ(d.tenths, 5);
    EXPECT_FLOAT_EQ(d.Compose(), -12.5f);
    CSetPositionDlg p;
    p.Split(0.7f);
    EXPECT_EQ(p.tenths, 7);
    EXPECT_FLOAT_EQ(p.Compose(), 0.7f);
    p.Split(34.0f);
    for (int i = 0; i < 6; ++i) p.Left();
    p.Down();  // the sign only
    EXPECT_FLOAT_EQ(p.Compose(), -34.0f);
    p.Up();
    p.Right();
    p.Up();
    EXPECT_FLOAT_EQ(p.Compose(), 10034.0f);
}

TEST(KeypadDialogs, GeometrySetupBackAppliesOnOk)
{
    CGeometrySetupDlg g;
    g.id = 7;
    g.source = 10.0f;
    g.sourceInterval = 2.0f;
    g.firstReceiver = 1.0f;
    bool close = false;
    EXPECT_EQ(g.Enter(close), 0);  // opens on Back
    EXPECT_FALSE(close);
    g.Back();
    EXPECT_EQ(g.id, 5);
    EXPECT_FLOAT_EQ(g.source, 6.0f);
    EXPECT_FLOAT_EQ(g.firstReceiver, 1.0f);  // fixed receivers
    int count = 5;
    EXPECT_TRUE(g.Apply(count));
    EXPECT_EQ(count, 3);
    g.Enter(close);
    EXPECT_TRUE(close);
    // Row 5 takes Left/Right; Enter there only clears the action.
    for (int i = 0; i < 7; ++i) g.Down();
    g.Right();
    EXPECT_EQ(g.moveReceivers, 1);
    EXPECT_EQ(g.Enter(close), -1);
    EXPECT_FALSE(close);
    g.id = 12000;
    count = 5;
    EXPECT_FALSE(g.Apply(count));
    EXPECT_EQ(count, 5);
}

// Presses the keys on the dialog of `cls` and answers as they leave it (OK unless a key closes it
// as Cancel, or Esc is the last key).
void PressKeys(ScriptedUiHost& ui, const std::string& cls, std::vector<std::string> keys)
{
    ui.AnswerDialogWith(cls, [keys](DialogRequest& r) {
        for (const std::string& k : keys) {
            const keypad::Close c = PressKey(r, k);
            if (c != keypad::kStayOpen) return c == keypad::kCloseOk;
        }
        return true;
    });
}

TEST(KeypadDialogs, KeysWorkTheEntryDialogs)
{
    ScriptedUiHost ui;
    float v = 34.0f;
    PressKeys(ui, CSetPositionDlg::kClass, {"Left", "Up", "Left", "Left", "Left", "Left", "Left", "Down"});
    EXPECT_TRUE(CSetPositionDlg::Edit(ui, kLanguageEnglish, v, "Set source position"));
    EXPECT_FLOAT_EQ(v, -44.0f);
    EXPECT_EQ(ui.Calls().at(0).Shown("Title"), "Set source position");
    EXPECT_EQ(ui.Calls().at(0).Shown("Focus"), "Ones");
    PressKeys(ui, CSetPositionDlg::kClass, {"Up", "Esc"});
    EXPECT_FALSE(CSetPositionDlg::Edit(ui, kLanguageEnglish, v));
    EXPECT_FLOAT_EQ(v, -44.0f);

    int line = 27;
    PressKeys(ui, CSetLineIdDlg::kClass, {"Down", "Left", "Up", "Enter"});
    EXPECT_TRUE(CSetLineIdDlg::Edit(ui, kLanguageEnglish, line));
    EXPECT_EQ(line, 2 * 26 + 0);

    const struct {
        std::vector<std::string> keys;
        int result;
    } confirms[] = {{{"Enter"}, 1}, {{"Esc"}, 0}, {{"Back"}, -1}, {{"Left", "Enter"}, -1},
                    {{"Down", "Down", "Down", "Enter"}, 0}, {{"Up", "Right", "Enter"}, 1}};
    for (const auto& c : confirms) {
        PressKeys(ui, CStepConfirmDlg::kClass, c.keys);
        EXPECT_EQ(CStepConfirmDlg::Ask(ui, kLanguageEnglish), c.result) << c.keys[0];
    }
}

TEST(KeypadDialogs, GeometrySetupAppliesOnOk)
{
    auto fresh = [] {
        CGeometrySetupDlg g;
        g.id = 7;
        g.source = 10.0f;
        g.sourceInterval = 2.0f;
        g.firstReceiver = 1.0f;
        g.moveReceivers = 1;
        return g;
    };
    // Enter on the opening row is Back; twice, then OK: all lowered by two steps.
    ScriptedUiHost ui;
    CGeometrySetupDlg g = fresh();
    int count = 5;
    PressKeys(ui, CGeometrySetupDlg::kClass, {"Enter", "Back source, receivers and ID", "Enter"});
    EXPECT_TRUE(g.Run(ui, kLanguageEnglish, count));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(g.id, 5);
    EXPECT_FLOAT_EQ(g.source, 6.0f);
    EXPECT_FLOAT_EQ(g.firstReceiver, -3.0f);
    // Back, then Cancel: nothing changes.
    g = fresh();
    PressKeys(ui, CGeometrySetupDlg::kClass, {"Enter", "Esc"});
    EXPECT_FALSE(g.Run(ui, kLanguageEnglish, count));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(g.id, 7);
    // An ID beyond 9999 is taken as typed and refused at OK.
    ui.AnswerDialogWith(CGeometrySetupDlg::kClass, [](DialogRequest& r) {
        EXPECT_TRUE(r.SetFromText(CGeometrySetupDlg::kId, "12000").empty());
        EXPECT_FALSE(r.Check().empty());
        return false;
    });
    EXPECT_FALSE(g.Run(ui, kLanguageEnglish, count));
    EXPECT_EQ(g.id, 7);
}

}  // namespace
}  // namespace velk
