// Dialog 244 worked with the keys alone (the toolkit is started by the environment of
// dialogs_test.cpp).

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "acquisition/acquisition_device.h"
#include "dialogs/acquisition/measuring_conditions_wnd.h"
#include "gui_support.h"
#include "platform/language.h"
#include "platform/profile.h"
#include "platform/uihost.h"

namespace velk {
namespace {

// Shows the measuring-conditions windows; everything else as NullUiHost answers.
class WindowHost : public NullUiHost {
public:
    explicit WindowHost(int language) : language_(language) {}

protected:
    bool DoRunDialog(DialogRequest& request) override
    {
        return ShowMeasuringConditionsWindow(nullptr, request, language_);
    }

private:
    int language_;
};

wxDialog* ShownDialog()
{
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* d = dynamic_cast<wxDialog*>(w); d && d->IsShown()) return d;
    return nullptr;
}

void Settle()
{
    for (int i = 0; i < 10; ++i) wxTheApp->Yield(true), wxMilliSleep(20);
}

TEST(MeasuringConditionsWindow, KeysAloneChangeTheChannels)
{
    if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    for (int language : {kLanguageEnglish, kLanguageJapanese}) {
        CAcquisitionDevice device;
        Profile profile = Profile::FromText("[General]\n");
        float interval = 1.0f;
        WindowHost ui(language);
        bool shown = false;
        wxTheApp->CallAfter([&] {
            wxDialog* dlg = ShownDialog();
            shown = dlg != nullptr;
            if (!dlg) return;
            dlg->Raise();
            dlg->SetFocus();
            Settle();
            const std::string shot = gui::ShotPath(language == kLanguageJapanese ? "measuring_conditions_ja.png"
                                                                                  : "measuring_conditions_en.png");
            if (gui::Screenshot(std::getenv("DISPLAY"), shot)) std::cout << "[ screenshot ] " << shot << '\n';
            wxUIActionSimulator keys;
            for (int key : {WXK_DOWN, WXK_LEFT, WXK_RETURN}) {
                keys.Char(key);
                Settle();
            }
            if (ShownDialog() == dlg) dlg->EndModal(wxID_CANCEL);  // the keys did not reach it
        });
        CAcquisitionDevice::SettingsEdit edit{ui, profile, nullptr, interval, language};
        EXPECT_EQ(device.EditSettings(edit), 1);
        EXPECT_TRUE(shown);
        EXPECT_EQ(device.parm.disp_ch, 3);  // 24 channels down to 12
    }
}

}  // namespace
}  // namespace velk
