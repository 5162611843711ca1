// The acquisition screen's entry dialogs and the PC start menu worked with real key presses
// only (the toolkit is started by the environment of dialogs_test.cpp), in both languages.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "acquisition/keypad_dialogs.h"
#include "app/start_dialogs.h"
#include "dialogs/acquisition/entry_keypads.h"
#include "gui_support.h"
#include "platform/language.h"
#include "ui/wx_uihost.h"

namespace velk {
namespace {

// The modal dialog on top (a dialog opened from another comes later in the list).
wxDialog* TopModal()
{
    wxDialog* top = nullptr;
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* d = dynamic_cast<wxDialog*>(w); d && d->IsShown() && d->IsModal()) top = d;
    return top;
}

// Presses keys through the system's input, one per tick, on whichever modal dialog is on top,
// and takes screenshots between them ("shot:<name>"). It is restarted before each key, so it
// keeps going inside a dialog that a key opens. Should dialogs still be open after the last
// step, it cancels them (the test then fails instead of hanging).
class KeyFeeder : public wxTimer {
public:
    struct Step {
        int key = 0;
        std::string shot;
    };
    explicit KeyFeeder(std::vector<Step> steps) : steps_(std::move(steps)) { StartOnce(400); }
    bool Finished() const { return next_ >= steps_.size() && !stuck_; }

private:
    void Notify() override
    {
        wxDialog* top = TopModal();
        if (next_ >= steps_.size()) {
            if (top) {
                stuck_ = true;
                top->EndModal(wxID_CANCEL);
                StartOnce(100);
            }
            return;
        }
        const Step step = steps_[next_++];
        StartOnce(step.shot.empty() ? 250 : 400);
        if (!step.shot.empty()) {
            const std::string path = gui::ShotPath(step.shot);
            if (gui::Screenshot(std::getenv("DISPLAY"), path)) std::cout << "[ screenshot ] " << path << '\n';
            return;
        }
        if (top) sim_.MouseMove(top->GetScreenRect().GetTopLeft() + wxPoint(8, 8));
        sim_.Char(step.key);
    }

    std::vector<Step> steps_;
    size_t next_ = 0;
    bool stuck_ = false;
    wxUIActionSimulator sim_;
};

KeyFeeder::Step K(int key) { return {key, {}}; }
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

TEST_P(EntryKeypadsGui, MenuOnPcByKeys)
{
    CAcquisitionMenuPcDlg menu;
    menu.choice = 1;
    KeyFeeder keys({K(WXK_DOWN), K(WXK_DOWN), K(WXK_DOWN), K(WXK_DOWN), Shot("menu_on_pc", language_),
                    K(WXK_UP), K(WXK_RETURN)});
    EXPECT_EQ(menu.Run(ui_, language_), 3);
    EXPECT_TRUE(keys.Finished());
}

INSTANTIATE_TEST_SUITE_P(Languages, EntryKeypadsGui, ::testing::Values(kLanguageEnglish, kLanguageJapanese),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return IsJapanese(info.param) ? std::string("Japanese") : std::string("English");
                         });

}  // namespace
}  // namespace velk
