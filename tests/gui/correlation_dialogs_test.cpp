// The "Vertical stacking" and "Correlation function" dialogs on the generic form, in both
// languages, side by side on the test display (the toolkit is started by the environment of
// dialogs_test.cpp).

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/radiobox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <cstdlib>
#include <iostream>
#include <set>
#include <vector>

#include "toolkit/form_dlg.h"
#include "dsp/correlation.h"
#include "dsp/stacking.h"
#include "gui_support.h"

namespace velk {
namespace {

std::set<std::string> TextsOf(wxWindow* dlg)
{
    std::set<std::string> out;
    for (wxWindow* child : gui::Descendants(dlg)) {
        if (auto* s = dynamic_cast<wxStaticText*>(child)) out.insert(s->GetLabel().utf8_string());
        if (auto* c = dynamic_cast<wxCheckBox*>(child)) out.insert(c->GetLabel().utf8_string());
        if (auto* r = dynamic_cast<wxRadioBox*>(child)) {
            out.insert(r->GetLabel().utf8_string());
            for (unsigned i = 0; i < r->GetCount(); ++i) out.insert(r->GetString(i).utf8_string());
        }
        if (auto* t = dynamic_cast<wxTextCtrl*>(child)) out.insert("[" + t->GetValue().utf8_string() + "]");
    }
    return out;
}

TEST(CorrelationDialogs, StackingAndCorrelationFunctionShowTheirFields)
{
    if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";

    CVerticalStackDlg stack;
    stack.method = 0;
    CCorrelationDlg correlation;
    CVerticalStackDlg stackJa;
    stackJa.method = 2;
    CCorrelationDlg correlationJa;
    std::vector<DialogRequest> requests = {stack.Request(-1), correlation.Request(-1), stackJa.Request(1),
                                           correlationJa.Request(1)};
    const int languages[] = {-1, -1, 1, 1};
    const std::vector<std::vector<std::string>> expected = {
        {"1. Average", "2. Summation", "3. Semblance", "4. Semblance weighted stack",
         "Time-window for semblance (need to set if method is 2 or 3)", "msec", "[1]"},
        {"Correlation length", "msec", "[10]", "Standard deviation", "[1]", "Use correlation function",
         "Normalize correlation functions", "Function", "Gaussian", "Exponential", "under construction"},
        {"1. 平均", "4. センブランス重み付き重合", "msec"},
        {"相関長", "標準偏差", "ガウス型", "指数型"},
    };
    const int x[] = {0, 620, 0, 620};
    const int y[] = {0, 0, 330, 330};
    std::vector<CFormDlg*> forms;
    for (size_t i = 0; i < requests.size(); ++i) {
        requests[i].Load();
        auto* form = new CFormDlg(nullptr, requests[i], languages[i]);
        form->Move(x[i], y[i]);
        form->Show();
        forms.push_back(form);
        const std::set<std::string> texts = TextsOf(form);
        for (const std::string& t : expected[i]) EXPECT_TRUE(texts.count(t)) << requests[i].Title() << ": " << t;
    }
    EXPECT_EQ(forms[0]->GetTitle(), "Vertical stacking");
    EXPECT_EQ(forms[1]->GetTitle(), "Correlation function");
    EXPECT_EQ(forms[2]->GetTitle(), wxString::FromUTF8("垂直重合"));
    for (int i = 0; i < 5; ++i) {
        wxTheApp->Yield(true);
        wxMilliSleep(20);
    }
    const std::string shot = gui::ShotPath("correlation_dialogs.png");
    if (gui::Screenshot(std::getenv("DISPLAY"), shot)) std::cout << "[ screenshot ] " << shot << '\n';
    for (CFormDlg* form : forms) form->Destroy();
    for (int i = 0; i < 3; ++i) wxTheApp->Yield(true);
}

}  // namespace
}  // namespace velk
