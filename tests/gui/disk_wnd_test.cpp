// The "Disk" window worked with keys only, in English and Japanese (the toolkit is started by
// the environment of dialogs_test.cpp); screenshots <build>/gui-shots/disk-<language>.png.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/utils.h>

#include <cstdlib>
#include <iostream>
#include <vector>

#include "acquisition/disk_dlg.h"
#include "dialogs/acquisition/disk_wnd.h"
#include "gui_support.h"
#include "platform/language.h"

namespace velk {
namespace {

void Key(wxWindow& w, int code)
{
    wxKeyEvent event(wxEVT_CHAR_HOOK);
    event.m_keyCode = code;
    event.SetEventObject(&w);
    w.GetEventHandler()->ProcessEvent(event);
}

std::string FocusLabel()
{
    wxWindow* focus = wxWindow::FindFocus();
    if (auto* b = dynamic_cast<wxButton*>(focus)) return b->GetLabel().utf8_string();
    return focus ? focus->GetName().utf8_string() : std::string();
}

TEST(DiskWnd, TheKeypadRunsTheRowsActionsAndEnterClosesAsOk)
{
    if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    for (int language : {kLanguageEnglish, kLanguageJapanese}) {
        CDiskDlg disk;
        disk.idNo = 12;
        disk.lineId = "ab";
        std::vector<int> ran;
        DialogRequest request = disk.Request(language, [&ran](int action, bool keypad, CDiskDlg&) {
            ran.push_back(keypad ? action : 100 + action);
            return false;
        });
        request.Load();
        CDiskWnd dlg(nullptr, request, language);
        std::vector<std::string> focus;
        dlg.CallAfter([&] {
            focus.push_back(FocusLabel());  // row 0
            for (int i = 0; i < 5; ++i) Key(dlg, WXK_DOWN);
            focus.push_back(FocusLabel());  // row 5, "Set ID"
            Key(dlg, WXK_LEFT);             // the ID edit
            focus.push_back(wxWindow::FindFocus() ? "edit" : "");
            Key(dlg, WXK_RIGHT);
            Key(dlg, WXK_RETURN);           // runs "Set ID", then OK has the focus
            focus.push_back(FocusLabel());
            Key(dlg, WXK_UP);
            for (int i = 0; i < 5; ++i) {
                wxTheApp->Yield(true);
                wxMilliSleep(20);
            }
            const std::string shot = gui::ShotPath(language == kLanguageJapanese ? "disk-ja.png" : "disk-en.png");
            if (gui::Screenshot(std::getenv("DISPLAY"), shot)) std::cout << "[ screenshot ] " << shot << '\n';
            Key(dlg, WXK_RETURN);  // runs "Save current data" (row 4)
            Key(dlg, WXK_RETURN);  // nothing pending: OK
        });
        EXPECT_EQ(dlg.ShowModal(), wxID_OK);
        EXPECT_EQ(ran, (std::vector<int>{kDiskSetId, kDiskSave}));
        ASSERT_EQ(focus.size(), 4u);
        EXPECT_EQ(focus[0], DiskButtonLabel("Copy all today file list to MO", language));
        EXPECT_EQ(focus[1], DiskButtonLabel("Set ID", language));
        EXPECT_EQ(focus[2], "edit");
        EXPECT_EQ(focus[3], "OK");
    }
}

}  // namespace
}  // namespace velk
