// The paged table windows of the header and geometry editors: the page's boxes go back into
// the editor before a button pages, rows without a trace are blank and disabled (the toolkit is
// started by the environment of dialogs_test.cpp).

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "dialogs/survey/paged_table_wnd.h"
#include "gui_support.h"
#include "survey/header_edit_dialogs.h"

namespace velk {
namespace {

std::vector<wxTextCtrl*> Boxes(wxWindow* w)
{
    std::vector<wxTextCtrl*> out;
    for (wxWindow* child : w->GetChildren())
        if (auto* t = dynamic_cast<wxTextCtrl*>(child)) out.push_back(t);
    return out;
}

TEST(PagedTableWindow, ButtonsTakeThePageBackAndEmptyRowsStayBlank)
{
    if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    HeaderInfoColumns columns;
    columns.Resize(10);
    for (int i = 0; i < 10; ++i) {
        columns.traceNumber[static_cast<size_t>(i)] = i + 1;
        columns.receiver[static_cast<size_t>(i)] = 100 * i;
        columns.amplitude[static_cast<size_t>(i)] = 1.0f;
    }
    CHeaderInfoDlg header;
    header.SetHeaders(10, columns);
    DialogRequest headerRequest = header.Request(-1);
    headerRequest.Load();
    const std::vector<std::string> titles(CHeaderInfoDlg::kTitles.begin(), CHeaderInfoDlg::kTitles.end());
    auto* headerWnd = new CPagedTableWnd(nullptr, headerRequest, -1, titles, CHeaderInfoDlg::kRows);
    headerWnd->Move(0, 0);
    headerWnd->Show();
    std::vector<wxTextCtrl*> boxes = Boxes(headerWnd);
    ASSERT_GE(boxes.size(), 89u);
    boxes[1]->ChangeValue("777");  // row 1, "Rec. dist.(cm)"
    headerWnd->Press(CHeaderInfoDlg::kNext);
    EXPECT_EQ(boxes[0]->GetValue().utf8_string(), "3");
    headerWnd->Press(CHeaderInfoDlg::kBack);
    EXPECT_EQ(boxes[1]->GetValue().utf8_string(), "777");

    std::vector<CTraceHeader> headers(4);
    for (int i = 0; i < 4; ++i) headers[static_cast<size_t>(i)].Set(i + 1, 250 * i, -150, 0, 1, 0.0f, 250.0f, 100);
    CGeometryDlg geometry;
    geometry.LoadLocations(4, headers, "m");
    DialogRequest geometryRequest = geometry.Request(-1);
    geometryRequest.Load();
    auto* geometryWnd =
        new CPagedTableWnd(nullptr, geometryRequest, -1, {"Channel", "Interval", "Geophone coordinate"}, CGeometryDlg::kRows);
    geometryWnd->Move(0, 420);
    geometryWnd->Show();
    boxes = Boxes(geometryWnd);
    ASSERT_GE(boxes.size(), 18u);
    EXPECT_EQ(boxes[5]->GetValue().utf8_string(), "2.5");  // row 2's coordinate
    EXPECT_EQ(boxes[10]->GetValue().utf8_string(), "");  // row 4: the last trace has no interval
    EXPECT_FALSE(boxes[14]->IsEnabled());                     // row 5: no trace
    EXPECT_EQ(boxes[14]->GetValue().utf8_string(), "");

    for (int i = 0; i < 5; ++i) {
        wxTheApp->Yield(true);
        wxMilliSleep(20);
    }
    const std::string path = gui::ShotPath("paged_table_windows.png");
    if (gui::Screenshot(std::getenv("DISPLAY"), path)) std::cout << "[ screenshot ] " << path << '\n';
    headerWnd->Destroy();
    geometryWnd->Destroy();
    for (int i = 0; i < 3; ++i) wxTheApp->Yield(true);
}

}  // namespace
}  // namespace velk
