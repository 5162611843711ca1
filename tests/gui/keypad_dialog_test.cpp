// The keypad window (the toolkit is started by the environment of dialogs_test.cpp).

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/radiobox.h>

#include <cstdlib>
#include <vector>

#include "acquisition/acq_display_dlg.h"
#include "dialogs/acquisition/keypad_dialog.h"

namespace velk {
namespace {

void Key(wxWindow& w, int code)
{
    wxKeyEvent event(wxEVT_CHAR_HOOK);
    event.m_keyCode = code;
    event.SetEventObject(&w);
    w.GetEventHandler()->ProcessEvent(event);
}

TEST(KeypadDialog, ArrowsWorkTheModelAndEnterClosesAsOk)
{
    if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    CAcqDisplayDlg display;
    display.waveform = 1;
    DialogRequest request = display.Request(-1);
    request.Load();
    KeypadDialog dlg(nullptr, request, -1);
    std::vector<wxRadioBox*> radios;
    for (wxWindow* child : dlg.GetChildren())
        if (auto* r = dynamic_cast<wxRadioBox*>(child)) radios.push_back(r);
    ASSERT_EQ(radios.size(), 3u);  // normalize, waveform, the row
    // The keys reach the model before the radio groups; the focus follows it; Enter is OK.
    int shownWaveform = -1;
    bool waveformFocused = false;
    dlg.CallAfter([&] {
        Key(dlg, WXK_DOWN);
        Key(dlg, WXK_RIGHT);
        Key(dlg, WXK_RIGHT);
        shownWaveform = radios[1]->GetSelection();
        wxWindow* focus = wxWindow::FindFocus();
        waveformFocused = focus && (focus == radios[1] || radios[1]->IsDescendant(focus));
        Key(dlg, WXK_RETURN);
    });
    EXPECT_EQ(dlg.ShowModal(), wxID_OK);
    EXPECT_EQ(shownWaveform, 2);
    EXPECT_TRUE(waveformFocused);
    request.Commit();
    EXPECT_EQ(display.waveform, 2);
    EXPECT_EQ(display.row, 1);
}

}  // namespace
}  // namespace velk
