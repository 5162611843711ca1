// The dialogs of the velocity filters on screen: the F-K filter, tau-p transform (its own window
// with "Calculate velocity"), tau-p velocity filter and both median dialogs, in English and in
// Japanese. The toolkit and the display are the ones dialogs_test.cpp starts for the process.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <cstdlib>
#include <iostream>
#include <memory>

#include "toolkit/form_dlg.h"
#include "dialogs/dsp/taup_transform_wnd.h"
#include "dsp/fk_filter.h"
#include "dsp/median_filter.h"
#include "dsp/taup.h"
#include "gui_support.h"

namespace velk {
namespace {

using namespace velk::gui;

void Settle()
{
    for (int i = 0; i < 5; ++i) {
        wxTheApp->Yield(true);
        wxMilliSleep(20);
    }
}

// The texts of a window's text controls, in order.
std::vector<std::string> EditTexts(wxWindow* w)
{
    std::vector<std::string> out;
    for (wxWindow* child : gui::Descendants(w)) {
        if (auto* t = dynamic_cast<wxTextCtrl*>(child)) out.push_back(t->GetValue().utf8_string());
    }
    return out;
}

TEST(VelocityDialogs, OpenWithTheirTextsInBothLanguages)
{
    if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    for (int language : {-1, 1}) {
        CFkFilterDlg fk{0.3f, 1.5f, 0, 0.2f, 1.6f};
        CTauPTransformDlg taup;
        taup.maxP = 0.5f;
        taup.interval = 0.05f;
        taup.minP = 0.05f;
        taup.method = 2;
        taup.UpdateVelocityRange();
        CTauPVelocityFilterDlg filter{1.5f, 0.5f, 200, 0};
        CMedianFilterDlg median{11};
        CMedianVelocityDlg mvf{11, 20, 1.5f, 0.5f, 1};
        std::vector<DialogRequest> requests{fk.Request(language), filter.Request(language), median.Request(language),
                                            mvf.Request(language), taup.Request(language)};
        std::vector<wxDialog*> windows;
        const wxPoint places[] = {{0, 0}, {0, 440}, {0, 320}, {400, 440}, {400, 0}};
        for (size_t i = 0; i < requests.size(); ++i) {
            requests[i].Load();
            wxDialog* w = i + 1 < requests.size() ? static_cast<wxDialog*>(new CFormDlg(nullptr, requests[i], language))
                                                  : new CTauPTransformWnd(nullptr, requests[i], language);
            w->Move(places[i]);
            w->Show();
            windows.push_back(w);
        }
        Settle();
        EXPECT_EQ(windows[0]->GetTitle().utf8_string(), language == 1 ? "速度フィルター (F-K)" : "Velocity filter (F-K)");
        EXPECT_EQ(windows[3]->GetTitle().utf8_string(),
                  language == 1 ? "速度フィルター(メディアンフィルター)" : "Velocity filter(Median filter)");
        EXPECT_EQ(EditTexts(windows[0]), (std::vector<std::string>{"0.3", "1.5", "0.2", "1.6"}));

        // "Calculate velocity" on an edited minimum p.
        auto* taupWindow = static_cast<CTauPTransformWnd*>(windows.back());
        std::vector<wxTextCtrl*> edits;
        for (wxWindow* child : taupWindow->GetChildren()) {
            if (auto* t = dynamic_cast<wxTextCtrl*>(child)) edits.push_back(t);
        }
        ASSERT_EQ(edits.size(), 8u);
        EXPECT_EQ(edits[3]->GetValue(), "10");
        edits[2]->SetValue("0.1");
        taupWindow->CalculateVelocity();
        EXPECT_EQ(edits[3]->GetValue(), "9");
        EXPECT_EQ(edits[5]->GetValue(), "10.000000");
        Settle();

        const std::string shot = ShotPath(language == 1 ? "velocity_dialogs_ja.png" : "velocity_dialogs.png");
        if (Screenshot(std::getenv("DISPLAY"), shot)) std::cout << "[ screenshot ] " << shot << '\n';
        for (wxDialog* w : windows) w->Destroy();
        Settle();
    }
}

}  // namespace
}  // namespace velk
