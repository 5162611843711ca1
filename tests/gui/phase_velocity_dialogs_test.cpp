// Dialog 206 "Phase velocity-frequency transformation" on screen: the advanced controls hidden
// at the start, shown by "Advanced menu", the SPAC radios only for the SPAC method. The toolkit
// and the display are the ones dialogs_test.cpp starts for the process.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/utils.h>

#include <cstdlib>
#include <iostream>

#include "dialogs/surfacewave/advanced_form_wnd.h"
#include "gui_support.h"
#include "surfacewave/phase_velocity_dlg.h"

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

TEST(PhaseVelocityDialog, AdvancedMenuShowsTheAdvancedControls)
{
    if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    CContourSettings settings;
    settings.velocityUnitText = "m/sec";
    settings.distanceUnitText = "m";
    CPhaseVelocityDlg dlg;
    dlg.From(settings);
    DialogRequest request = dlg.Request(-1);
    request.Load();
    AdvancedFormLayout layout;
    layout.advanced.assign(CPhaseVelocityDlg::kAdvancedFields.begin(), CPhaseVelocityDlg::kAdvancedFields.end());
    layout.dependent = CPhaseVelocityDlg::kSpac;
    layout.selector = CPhaseVelocityDlg::kMethod;
    layout.selectorChoice = 1;
    auto* w = new CAdvancedFormWnd(nullptr, request, -1, layout);
    w->Move(0, 400);  // low, as centred on a low frame: it grows upwards
    w->Show();
    Settle();
    EXPECT_TRUE(w->FieldShown(CPhaseVelocityDlg::kTraceSkip));
    EXPECT_FALSE(w->FieldShown(CPhaseVelocityDlg::kInterval));
    if (Screenshot(std::getenv("DISPLAY"), ShotPath("phase_velocity_dialog.png"))) std::cout << "[ screenshot ] phase_velocity_dialog.png\n";
    ASSERT_TRUE(w->ToggleAdvanced());
    EXPECT_TRUE(w->FieldShown(CPhaseVelocityDlg::kInterval));
    EXPECT_FALSE(w->FieldShown(CPhaseVelocityDlg::kSpac));
    w->Choose(CPhaseVelocityDlg::kMethod, 1);
    EXPECT_TRUE(w->FieldShown(CPhaseVelocityDlg::kSpac));
    Settle();
    ExpectOnScreen(w);
    if (Screenshot(std::getenv("DISPLAY"), ShotPath("phase_velocity_dialog_advanced.png"))) std::cout << "[ screenshot ] phase_velocity_dialog_advanced.png\n";
    w->Choose(CPhaseVelocityDlg::kMethod, 0);
    EXPECT_FALSE(w->FieldShown(CPhaseVelocityDlg::kSpac));
    w->Destroy();
    Settle();
}

}  // namespace
}  // namespace velk
