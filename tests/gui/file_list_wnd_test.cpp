// The "File list" dialog in the paged table window: an "Edit" check box per row, the page
// after "Next", and a screenshot of it (the toolkit is started by the environment of
// dialogs_test.cpp).

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "dialogs/survey/file_list_dlg.h"
#include "gui_support.h"
#include "survey/file_list_dialogs.h"

namespace velk {
namespace {

TEST(FileListWindow, TwelveEntriesOnTheSecondPage)
{
    if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    CFileGroup group;
    for (int i = 0; i < 12; ++i) group.AddFile("shot" + std::to_string(i + 1) + ".sg2", 2.0f * i - 0.5f, 0.0f, 1.0f);
    NullUiHost ui;
    FileListEditModel dlg;
    dlg.LoadList(group);
    DialogRequest request = dlg.Request(-1, ui);
    request.Load();
    auto* wnd = new CFileListDlg(nullptr, request, -1);
    wnd->Move(0, 0);
    wnd->Show();
    std::vector<wxTextCtrl*> boxes;
    std::vector<wxCheckBox*> checks;
    for (wxWindow* child : wnd->GetChildren()) {
        if (auto* t = dynamic_cast<wxTextCtrl*>(child)) boxes.push_back(t);
        if (auto* c = dynamic_cast<wxCheckBox*>(child)) checks.push_back(c);
    }
    ASSERT_EQ(checks.size(), 12u);  // ten "Edit" cells and the two flags
    checks[0]->SetValue(true);
    wnd->Press(FileListEditModel::kNext);
    EXPECT_EQ(dlg.FirstRow(), 2);
    EXPECT_EQ(boxes[0]->GetValue().utf8_string(), "2");   // "Index" of row 1
    EXPECT_EQ(boxes[1]->GetValue().utf8_string(), "3");   // its "ID"
    EXPECT_FALSE(checks[0]->GetValue());                  // "Edit" is cleared on every page

    for (int i = 0; i < 5; ++i) {
        wxTheApp->Yield(true);
        wxMilliSleep(20);
    }
    const std::string path = gui::ShotPath("file_list_window.png");
    if (gui::Screenshot(std::getenv("DISPLAY"), path)) std::cout << "[ screenshot ] " << path << '\n';
    wnd->Destroy();
    for (int i = 0; i < 3; ++i) wxTheApp->Yield(true);
}

}  // namespace
}  // namespace velk
