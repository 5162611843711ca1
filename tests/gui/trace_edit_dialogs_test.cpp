// The dialogs of the trace-editing, NMO and generator commands on the generic form, in two
// screenfuls on the test display (the toolkit is started by the environment of
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
#include <string>
#include <vector>

#include "acquisition/input_integer_dlg.h"
#include "app/dsp/trace_edit_dialogs.h"
#include "toolkit/form_dlg.h"
#include "dsp/nmo.h"
#include "dsp/synthetic.h"
#include "dsp/trace_edit.h"
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
    }
    return out;
}

struct Shown {
    DialogRequest request;
    std::vector<std::string> texts;
    int x = 0;
    int y = 0;
};

// Shows the forms at their places, checks their texts and that OK refuses the out-of-range
// text given for each, takes a screenshot, closes them.
void ShowAll(std::vector<Shown>& shown, const std::string& shot,
             const std::vector<std::pair<std::string, std::string>>& refused)
{
    std::vector<CFormDlg*> forms;
    for (size_t i = 0; i < shown.size(); ++i) {
        shown[i].request.Load();
        auto* form = new CFormDlg(nullptr, shown[i].request, -1);
        form->Move(shown[i].x, shown[i].y);
        form->Show();
        forms.push_back(form);
        EXPECT_EQ(form->GetTitle().utf8_string(), shown[i].request.Title());
        const std::set<std::string> texts = TextsOf(form);
        for (const std::string& t : shown[i].texts) EXPECT_TRUE(texts.count(t)) << shown[i].request.Title() << ": " << t;
        if (!refused[i].first.empty()) {
            EXPECT_FALSE(shown[i].request.SetFromText(refused[i].first, refused[i].second).empty())
                << shown[i].request.Title() << " took " << refused[i].second;
        }
    }
    for (int i = 0; i < 5; ++i) {
        wxTheApp->Yield(true);
        wxMilliSleep(20);
    }
    const std::string path = gui::ShotPath(shot);
    if (gui::Screenshot(std::getenv("DISPLAY"), path)) std::cout << "[ screenshot ] " << path << '\n';
    for (CFormDlg* form : forms) form->Destroy();
    for (int i = 0; i < 3; ++i) wxTheApp->Yield(true);
}

TEST(TraceEditDialogs, EditingDialogsShowTheirTextsAndRanges)
{
    if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    CDistanceDlg distance;
    CShiftAllTracesDlg shift;
    CMuteWaveformDlg mute;
    CFrequencyDlg frequency;
    CApparentVelocityMuteDlg velocityMute;
    CPretriggerDlg pretrigger;
    CAngleRangeDlg angles;
    CVelocityDepthConversionDlg depth;
    CWfftDlg wfft;
    wfft.windowSamples = 64;
    CInputIntegerDlg integer;
    integer.title = "XY Coordinate";
    std::vector<Shown> shown;
    shown.push_back({distance.Request(-1), {"Distance", "cm"}, 0, 0});
    shown.push_back({shift.Request(-1), {"Time shift =", "msec", "Change data length", CShiftAllTracesDlg::kNote}, 300, 0});
    shown.push_back({mute.Request(-1), {"Taper(before)", "Window", "Taper(after)"}, 780, 0});
    shown.push_back({frequency.Request(-1), {"Enter center frequency !", "Hz"}, 0, 250});
    shown.push_back({velocityMute.Request(-1), {"Min. velocity", "Max. velocity", "km/sec"}, 400, 250});
    shown.push_back({pretrigger.Request(-1), {"Pre-trigger =", "msec"}, 780, 250});
    shown.push_back({angles.Request(-1), {"Min. angle", "Max. angle", "degree"}, 0, 480});
    shown.push_back({depth.Request(-1), {"Depth  0m to", "m"}, 400, 480});
    shown.push_back({wfft.Request(-1), {"Number of window samples", CWfftDlg::kNote, "ALL", "1/2", "1/4", "1/8"}, 780, 480});
    shown.push_back({integer.Request(-1), {"Value"}, 0, 700});
    ShowAll(shown, "trace_edit_dialogs.png",
            {{}, {}, {"Taper(before)", "1001"}, {}, {}, {}, {"Max. angle", "361"}, {"Depth", "-1"},
             {"Number of window samples", "513"}, {}});
}

TEST(TraceEditDialogs, ComponentNmoAndGeneratorDialogs)
{
    if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    CComponentShiftDlg components;
    CNmoCorrectionDlg nmo;
    nmo.velocity = 1.5f;
    CTimeDomainWaveformDlg time;
    time.type = 0;
    CFreqDomainWaveformDlg freq;
    freq.type = 0;
    std::vector<Shown> shown;
    shown.push_back({components.Request(-1), {"Shift (msec) 1", "Shift (msec) 10"}, 0, 0});
    shown.push_back({nmo.Request(-1), {"Velocity", "km/sec"}, 0, 560});
    shown.push_back({time.Request(-1, 4100),
                     {"Sin waves", "Gobor wavelet", "Chan and Tsan  source", "Delta function", "Trace interval"},
                     330, 0});
    shown.push_back({freq.Request(-1, 128), {"sin waves", "Random linear events", "to", "Number of event ="}, 730, 0});
    ShowAll(shown, "trace_edit_dialogs_2.png",
            {{}, {"Velocity", "0"}, {"Number of traces", "1001"}, {"Data length", "4096"}});
}

}  // namespace
}  // namespace velk
