// The acquisition screen's entry dialogs and the PC start menu worked with real key presses
// only (the toolkit is started by the environment of dialogs_test.cpp), in both languages.

#include <gtest/gtest.h>

#include <wx/app.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "acquisition/keypad_dialogs.h"
#include "acquisition/start_dialogs.h"
#include "dialogs/acquisition/entry_keypads.h"
#include "gui_support.h"
#include "key_feeder.h"
#include "platform/language.h"
#include "toolkit/wx_uihost.h"

namespace velk {
namespace {

using gui::K;
using gui::KeyFeeder;

KeyFeeder::Step Shot(const std::string& name, int language)
{
    return {0, name + (IsJapanese(language) ? "_ja.png" : "_en.png")};
}

class EntryKeypadsGui : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
        language_ = GetParam();
        ui_.SetLanguageSource(&language_);
        RegisterEntryKeypads(ui_);
    }
    int language_ = kLanguageEnglish;
    WxUiHost ui_;
};

TEST_P(EntryKeypadsGui, SetPositionByKeys)
{
    float v = 12.5f;
    // Tens up, then to the sign and down: -22.5.
    KeyFeeder keys({K(WXK_LEFT), K(WXK_UP), K(WXK_LEFT), K(WXK_LEFT), K(WXK_LEFT), K(WXK_LEFT), K(WXK_DOWN),
                    Shot("set_position", language_), K(WXK_RETURN)});
    EXPECT_TRUE(CSetPositionDlg::Edit(ui_, language_, v, SetPositionTitle(0, language_)));
    EXPECT_TRUE(keys.Finished());
    EXPECT_FLOAT_EQ(v, -22.5f);
}

TEST_P(EntryKeypadsGui, GeometrySetupByKeys)
{
    CGeometrySetupDlg g;
    g.id = 7;
    g.source = 10.0f;
    g.sourceInterval = 2.0f;
    int files = 5;
    // Row 2 opens Set position on the source (tens up: 20); back on row 0, Enter moves all back
    // one step; row 5 moves the receivers; Enter clears the row, the next one is OK.
    KeyFeeder keys({K(WXK_DOWN), K(WXK_DOWN), K(WXK_RETURN), K(WXK_LEFT), K(WXK_UP),
                    Shot("geometry_set_position", language_), K(WXK_RETURN), K(WXK_UP), K(WXK_UP),
                    K(WXK_RETURN), K(WXK_DOWN), K(WXK_DOWN), K(WXK_DOWN), K(WXK_DOWN), K(WXK_DOWN),
                    K(WXK_RIGHT), Shot("geometry_setup", language_), K(WXK_RETURN), K(WXK_RETURN)});
    EXPECT_TRUE(g.Run(ui_, language_, files));
    EXPECT_TRUE(keys.Finished());
    EXPECT_EQ(g.id, 6);
    EXPECT_FLOAT_EQ(g.source, 18.0f);
    EXPECT_EQ(g.moveReceivers, 1);
    EXPECT_EQ(files, 4);
}

// The start menus and the step confirmation by keys alone: the arrows move the choice (not
// only a focus ring) and Enter takes it; the confirmation's arrows reach "Back" and Cancel.
TEST_P(EntryKeypadsGui, StartMenusAndStepConfirmationByKeys)
{
    // Each dialog with keys of its own (a feeder cancels what is still open after its keys).
    const auto byKeys = [](std::vector<KeyFeeder::Step> steps, const auto& run) {
        KeyFeeder keys(std::move(steps));
        const int result = run();
        EXPECT_TRUE(keys.Finished());
        return result;
    };
    CAcquisitionMenuPcDlg pc;
    pc.choice = 1;
    EXPECT_EQ(byKeys({K(WXK_DOWN), K(WXK_DOWN), K(WXK_DOWN), K(WXK_DOWN), Shot("menu_on_pc", language_), K(WXK_UP),
                      K(WXK_RETURN)},
                     [&] { return pc.Run(ui_, language_); }),
              3);

    CAcquisitionMenuDlg qkw;
    qkw.type = 4;  // refraction; the arrows end on the 2D surface-wave method, which Enter takes
    EXPECT_EQ(byKeys({K(WXK_UP), K(WXK_DOWN), K(WXK_UP), Shot("qkw_menu", language_), K(WXK_RETURN)},
                     [&] { return qkw.Run(ui_, language_); }),
              3);

    CSurfaceWaveStartDlg wizard;
    wizard.wizard = 0;
    EXPECT_EQ(byKeys({K(WXK_DOWN), K(WXK_DOWN), Shot("wizard_menu", language_), K(WXK_RETURN)},
                     [&] { return wizard.Run(ui_, language_); }),
              1);

    const auto confirm = [&] { return CStepConfirmDlg::Ask(ui_, language_); };
    EXPECT_EQ(byKeys({K(WXK_LEFT), Shot("step_confirmation_back", language_), K(WXK_RETURN)}, confirm),
              CStepConfirmDlg::kBack);
    EXPECT_EQ(byKeys({K(WXK_RIGHT), K(WXK_RIGHT), K(WXK_RETURN)}, confirm), CStepConfirmDlg::kCancel);
    EXPECT_EQ(byKeys({K(WXK_DOWN), K(WXK_UP), K(WXK_UP), K(WXK_DOWN), K(WXK_RETURN)}, confirm), CStepConfirmDlg::kYes);
}

INSTANTIATE_TEST_SUITE_P(Languages, EntryKeypadsGui, ::testing::Values(kLanguageEnglish, kLanguageJapanese),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return IsJapanese(info.param) ? std::string("Japanese") : std::string("English");
                         });

}  // namespace
}  // namespace velk
