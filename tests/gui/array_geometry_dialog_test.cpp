// Dialog "2D SPAC" on screen: the advanced controls, radios and array-file buttons hidden at the
// start and shown by "Advanced menu". The toolkit and the display are the ones dialogs_test.cpp
// starts for the process.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/utils.h>

#include <cstdlib>
#include <iostream>

#include "dialogs/surfacewave/advanced_form_wnd.h"
#include "gui_support.h"
#include "platform/profile.h"
#include "surfacewave/array_geometry_dlg.h"
#include "surfacewave/mam_geometry.h"

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

TEST(ArrayGeometryDialog, AdvancedMenuShowsTheArrayFileControls)
{
    if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    const Profile profile = Profile::FromText("");
    CMamGeometry geometry(profile, 64);
    NullUiHost ui;
    CArrayGeometryDlg dlg;
    dlg.arraySize = geometry.ArraySize;
    dlg.fileName = "mam01.sg2";
    DialogRequest request = dlg.Request(-1, geometry, ui, ArrayDialogSource{});
    request.Load();
    AdvancedFormLayout layout;
    layout.advanced.assign(CArrayGeometryDlg::kAdvancedFields.begin(), CArrayGeometryDlg::kAdvancedFields.end());
    layout.advancedChoiceField = CArrayGeometryDlg::kArray;
    layout.advancedChoices.assign(CArrayGeometryDlg::kAdvancedChoices.begin(), CArrayGeometryDlg::kAdvancedChoices.end());
    layout.advancedButtons.assign(CArrayGeometryDlg::kAdvancedButtons.begin(), CArrayGeometryDlg::kAdvancedButtons.end());
    layout.focusOk = true;
    auto* w = new CAdvancedFormWnd(nullptr, request, -1, layout);
    w->Move(0, 500);
    w->Show();
    Settle();
    EXPECT_TRUE(w->FieldShown(CArrayGeometryDlg::kArraySize));
    EXPECT_FALSE(w->FieldShown(CArrayGeometryDlg::kUnused));
    EXPECT_FALSE(w->ButtonShown(CArrayGeometryDlg::kOpenArrayFile));
    if (Screenshot(std::getenv("DISPLAY"), ShotPath("array_geometry_dialog.png"))) std::cout << "[ screenshot ] array_geometry_dialog.png\n";
    ASSERT_TRUE(w->ToggleAdvanced());
    EXPECT_TRUE(w->FieldShown(CArrayGeometryDlg::kUnused));
    EXPECT_TRUE(w->ButtonShown(CArrayGeometryDlg::kSaveArrayFile));
    Settle();
    ExpectOnScreen(w);
    if (Screenshot(std::getenv("DISPLAY"), ShotPath("array_geometry_dialog_advanced.png"))) std::cout << "[ screenshot ] array_geometry_dialog_advanced.png\n";
    w->Destroy();
    Settle();
}

}  // namespace
}  // namespace velk
