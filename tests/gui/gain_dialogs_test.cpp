// The dialogs of the gain, notch and wavelet commands on the generic form, side by side on the
// test display (the toolkit is started by the environment of dialogs_test.cpp).

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/radiobox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <set>

#include "toolkit/form_dlg.h"
#include "dsp/agc.h"
#include "dsp/band_pass.h"
#include "dsp/notch.h"
#include "dsp/wavelet.h"
#include "gui_support.h"
#include "platform/language.h"

namespace velk {
namespace {

// Every label, check-box text, radio title and radio item of a form.
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
    }
    return out;
}

TEST(GainDialogs, TheSixFormsShowTheirTexts)
{
    if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";

    CAgcDlg agc{10.0f, 50.0f, 20.0f, 1};
    CInstantaneousAgcDlg instantaneous{10.0f, 1, 10.0f};
    CInputFloatDlg input{"Enter float multiplier !", 1.0f};
    CNotchFilterDlg notch{55.0f, 0, 1};
    CLsqNotchDlg lsq{1, 1, 0, 0.1, 1.1, 100, 0, 50.78125f};
    CWaveletDlg wavelet{0.0f, 5};
    std::vector<DialogRequest> requests = {agc.Request(),   instantaneous.Request(), input.Request(),
                                           notch.Request(), lsq.Request(),           wavelet.Request()};
    const std::vector<std::vector<std::string>> expected = {
        {"Critical Gain", "Hi-cut freq.", "Cut off", "db/oct", "Normalize trace"},
        {"Window length =", "msec", "Normalize trace ", "Critical Gain =", "db"},
        {"Enter float multiplier !"},
        {"50Hz", "60Hz", "Other frequency", "Delete harmonic components"},
        {"Automatic", "Number of harmonics =", "Coarse sampling", "Alpha", "Beta", "Iteration", "Common frequency",
         "Initial frequency ="},
        {"Frequency", "Hz", "0:Gobor wavelet", "4:Chan and Tsan  source", "10:Sin waves"},
    };
    const int x[] = {0, 330, 690, 0, 330, 960};
    const int y[] = {0, 0, 0, 400, 400, 0};
    std::vector<CFormDlg*> forms;
    for (size_t i = 0; i < requests.size(); ++i) {
        requests[i].Load();
        auto* form = new CFormDlg(nullptr, requests[i], -1);
        form->Move(x[i], y[i]);
        form->Show();
        forms.push_back(form);
        const std::set<std::string> texts = TextsOf(form);
        for (const std::string& t : expected[i]) EXPECT_TRUE(texts.count(t)) << requests[i].Title() << ": " << t;
    }
    EXPECT_EQ(forms[0]->GetTitle(), "AGC");
    EXPECT_EQ(forms[1]->GetTitle(), "Instantaneous AGC");
    EXPECT_EQ(forms[2]->GetTitle(), "Input float");
    EXPECT_EQ(forms[3]->GetTitle(), "Notch filter");
    EXPECT_EQ(forms[5]->GetTitle(), "Wavelet");
    for (int i = 0; i < 5; ++i) {
        wxTheApp->Yield(true);
        wxMilliSleep(20);
    }
    const std::string shot = gui::ShotPath("gain_dialogs.png");
    if (gui::Screenshot(std::getenv("DISPLAY"), shot)) std::cout << "[ screenshot ] " << shot << '\n';
    for (CFormDlg* form : forms) form->Destroy();
    for (int i = 0; i < 3; ++i) wxTheApp->Yield(true);
}

// In Japanese mode the forms of the band-pass, AGC and notch commands show no English word:
// every label, choice and title comes from the message catalogue (units and acronyms stay).
TEST(GainDialogs, JapaneseFormsShowJapaneseTexts)
{
    if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";

    CBandPassDlg bandPass;
    CAgcDlg agc{10.0f, 50.0f, 20.0f, 1};
    CNotchFilterDlg notch{55.0f, 0, 1};
    std::vector<DialogRequest> requests = {BandPassDialogRequest(bandPass), agc.Request(), notch.Request()};
    const std::vector<std::string> titles = {"バンドパスフィルター", "AGC", "ノッチフィルター"};
    const std::set<std::string> neutral = {"", "Hz", "db", "db/oct", "50Hz", "60Hz"};
    std::vector<CFormDlg*> forms;
    for (size_t i = 0; i < requests.size(); ++i) {
        requests[i].Load();
        auto* form = new CFormDlg(nullptr, requests[i], kLanguageJapanese);
        form->Move(static_cast<int>(i) * 380, 0);
        form->Show();
        forms.push_back(form);
        EXPECT_EQ(form->GetTitle().utf8_string(), titles[i]);
        for (const std::string& t : TextsOf(form)) {
            const bool ascii = std::all_of(t.begin(), t.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
            EXPECT_TRUE(!ascii || neutral.count(t)) << requests[i].Title() << ": \"" << t << "\" is left in English";
        }
    }
    for (int i = 0; i < 5; ++i) {
        wxTheApp->Yield(true);
        wxMilliSleep(20);
    }
    const std::string shot = gui::ShotPath("dialogs-japanese.png");
    if (gui::Screenshot(std::getenv("DISPLAY"), shot)) std::cout << "[ screenshot ] " << shot << '\n';
    for (CFormDlg* form : forms) form->Destroy();
    for (int i = 0; i < 3; ++i) wxTheApp->Yield(true);
}

}  // namespace
}  // namespace velk
