// The "Automatic picking" dialog on screen: its controls under their ids, the ranges of its
// counts, and its values taken back, in English and in Japanese.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <cstdlib>
#include <iostream>

#include "app/picking/auto_pick_setup.h"
#include "dialogs/app/auto_pick_setup_wnd.h"
#include "gui_support.h"
#include "traveltime/auto_pick_settings.h"

namespace velk {
namespace {

using namespace velk::gui;

TEST(AutoPickSetupDialog, ShowsTheSettingsAndTakesThemBackWithinTheirRanges)
{
    if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    for (int language : {-1, 1}) {
        AutoPickSettings settings;
        settings.portion = 12;
        CAutoPickSetupDlg dlg;
        dlg.Preset(settings);
        DialogRequest request = dlg.Request(language);
        request.Load();
        auto* w = new CAutoPickSetupWnd(nullptr, request, language);
        w->Move(language == 1 ? wxPoint(320, 0) : wxPoint(0, 0));
        w->Show();
        for (int i = 0; i < 5; ++i) {
            wxTheApp->Yield(true);
            wxMilliSleep(20);
        }
        auto* frequency = dynamic_cast<wxTextCtrl*>(w->FindWindow(CAutoPickSetupDlg::kCentreFrequencyId));
        auto* checking = dynamic_cast<wxTextCtrl*>(w->FindWindow(CAutoPickSetupDlg::kNumberOfCheckingId));
        auto* portion = dynamic_cast<wxTextCtrl*>(w->FindWindow(CAutoPickSetupDlg::kPortionId));
        auto* bpf = dynamic_cast<wxCheckBox*>(w->FindWindow(CAutoPickSetupDlg::kBandPassId));
        ASSERT_TRUE(frequency && checking && portion && bpf);
        EXPECT_EQ(frequency->GetValue(), "100");
        EXPECT_EQ(portion->GetValue(), "12");
        EXPECT_TRUE(bpf->GetValue());
        if (language == 1) {
            const std::string shot = ShotPath("auto_pick_setup.png");
            if (Screenshot(std::getenv("DISPLAY"), shot)) std::cout << "[ screenshot ] " << shot << '\n';
        }

        checking->SetValue("21");
        EXPECT_FALSE(w->TakeValues().empty());
        checking->SetValue("20");
        portion->SetValue("0");
        EXPECT_FALSE(w->TakeValues().empty());
        portion->SetValue("1");
        bpf->SetValue(false);
        EXPECT_TRUE(w->TakeValues().empty());
        request.Commit();
        dlg.StoreTo(settings);
        EXPECT_EQ(settings.numberOfChecking, 20);
        EXPECT_EQ(settings.portion, 1);
        EXPECT_EQ(settings.bandPass, 0);
        w->Destroy();
        wxTheApp->Yield(true);
    }
}

}  // namespace
}  // namespace velk
