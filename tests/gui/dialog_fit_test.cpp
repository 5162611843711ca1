// The tallest dialogs on the smallest screen they must fit (the 1024 x 768 display that
// dialogs_test.cpp starts for the process): with every option shown each one lies on the work
// area with its OK button, and a form longer than the screen scrolls its fields instead.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/utils.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "dialogs/surfacewave/advanced_form_wnd.h"
#include "gui_support.h"
#include "platform/profile.h"
#include "surfacewave/array_geometry_dlg.h"
#include "surfacewave/contour_settings.h"
#include "surfacewave/mam_geometry.h"
#include "surfacewave/phase_velocity_dlg.h"
#include "ui/form_dlg.h"
#include "ui/screen_fit.h"

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

// The dialog and its OK button lie on the work area; a screenshot for the eye.
void ExpectOnScreen(wxWindow* dialog, const std::string& shot)
{
    Settle();
    const wxRect area = WorkAreaOf(dialog);
    ASSERT_LE(area.height, 768);
    const wxRect outer = dialog->GetScreenRect();
    EXPECT_TRUE(area.Contains(outer)) << shot << ": " << outer.x << ',' << outer.y << ' ' << outer.width << 'x'
                                      << outer.height;
    const wxWindow* ok = dialog->FindWindow(wxID_OK);
    ASSERT_NE(ok, nullptr) << shot;
    EXPECT_TRUE(ok->IsShownOnScreen()) << shot;
    EXPECT_TRUE(area.Contains(ok->GetScreenRect())) << shot;
    if (Screenshot(std::getenv("DISPLAY"), ShotPath(shot))) std::cout << "[ screenshot ] " << shot << '\n';
}

TEST(DialogsFitTheScreen, TallestFormsKeepTheirButtonsOnTheScreen)
{
    if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    NullUiHost ui;

    // "Phase velocity-frequency transformation" with the SPAC method and its advanced fields,
    // opened low on the screen as a dialog centred on a low frame would be.
    CContourSettings settings;
    settings.method = 1;
    CPhaseVelocityDlg pv;
    pv.From(settings);
    DialogRequest pvRequest = pv.Request(-1);
    pvRequest.Load();
    AdvancedFormLayout pvLayout;
    pvLayout.advanced.assign(CPhaseVelocityDlg::kAdvancedFields.begin(), CPhaseVelocityDlg::kAdvancedFields.end());
    pvLayout.dependent = CPhaseVelocityDlg::kSpac;
    pvLayout.selector = CPhaseVelocityDlg::kMethod;
    pvLayout.selectorChoice = 1;
    auto* pvWindow = new CAdvancedFormWnd(nullptr, pvRequest, -1, pvLayout);
    pvWindow->Move(0, 400);
    pvWindow->Show();
    ASSERT_TRUE(pvWindow->ToggleAdvanced());
    EXPECT_TRUE(pvWindow->FieldShown(CPhaseVelocityDlg::kSpac));
    ExpectOnScreen(pvWindow, "dialog_fit_phase_velocity.png");
    pvWindow->Destroy();

    // "2D SPAC" with every preset and the array-file controls.
    const Profile profile = Profile::FromText("");
    CMamGeometry geometry(profile, 64);
    CArrayGeometryDlg array;
    DialogRequest arrayRequest = array.Request(-1, geometry, ui, ArrayDialogSource{});
    arrayRequest.Load();
    AdvancedFormLayout arrayLayout;
    arrayLayout.advanced.assign(CArrayGeometryDlg::kAdvancedFields.begin(), CArrayGeometryDlg::kAdvancedFields.end());
    arrayLayout.advancedChoiceField = CArrayGeometryDlg::kArray;
    arrayLayout.advancedChoices.assign(CArrayGeometryDlg::kAdvancedChoices.begin(),
                                       CArrayGeometryDlg::kAdvancedChoices.end());
    arrayLayout.advancedButtons.assign(CArrayGeometryDlg::kAdvancedButtons.begin(),
                                       CArrayGeometryDlg::kAdvancedButtons.end());
    auto* arrayWindow = new CAdvancedFormWnd(nullptr, arrayRequest, -1, arrayLayout);
    arrayWindow->Move(0, 500);
    arrayWindow->Show();
    ASSERT_TRUE(arrayWindow->ToggleAdvanced());
    ExpectOnScreen(arrayWindow, "dialog_fit_2d_spac.png");
    arrayWindow->Destroy();

    // A generic form longer than any screen: its fields scroll, its buttons stay.
    DialogRequest tall("CTallForm", "Tall form");
    std::vector<float> values(60, 1.0f);
    for (size_t i = 0; i < values.size(); ++i) tall.Float("Value " + std::to_string(i + 1), values[i]);
    tall.Load();
    auto* form = new CFormDlg(nullptr, tall, -1);
    form->Show();
    ExpectOnScreen(form, "dialog_fit_long_form.png");
    form->Destroy();
    Settle();
}

}  // namespace
}  // namespace velk
