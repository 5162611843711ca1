#include "app/ui/main_dialogs.h"

#include "acquisition/acq_display_dlg.h"
#include "acquisition/disk_dlg.h"
#include "acquisition/receiver_interval_dlg.h"
#include "app/picking/auto_pick_setup.h"
#include "app/view/axis_config.h"
#include "dialogs/acquisition/disk_wnd.h"
#include "dialogs/acquisition/entry_keypads.h"
#include "dialogs/acquisition/keypad_dialog.h"
#include "dialogs/acquisition/measuring_conditions_wnd.h"
#include "dialogs/acquisition/receiver_interval_wnd.h"
#include "dialogs/app/auto_pick_setup_wnd.h"
#include "dialogs/app/axis_config_dlg.h"
#include "dialogs/dsp/taup_transform_wnd.h"
#include "dialogs/surfacewave/advanced_form_wnd.h"
#include "dialogs/survey/file_list_dlg.h"
#include "dialogs/survey/paged_table_wnd.h"
#include "dsp/taup.h"
#include "survey/file_list_dialogs.h"
#include "survey/header_edit_dialogs.h"
#include "surfacewave/array_geometry_dlg.h"
#include "surfacewave/phase_velocity_dlg.h"
#include "surfacewave/picking_dialogs.h"
#include "toolkit/wx_uihost.h"

namespace velk {

void RegisterMainDialogs(WxUiHost& ui)
{
    // The keypad dialogs of the acquisition screen.
    ui.RegisterDialog(CAcqDisplayDlg::kClass, [](wxWindow* parent, DialogRequest& request, int language) {
        KeypadDialog dlg(parent, request, language);
        return dlg.ShowModal() == wxID_OK;
    });
    for (const char* cls : MeasuringConditionsClasses()) ui.RegisterDialog(cls, ShowMeasuringConditionsWindow);
    ui.RegisterDialog(CDiskDlg::kClass, [](wxWindow* parent, DialogRequest& request, int language) {
        CDiskWnd dlg(parent, request, language);
        return dlg.ShowModal() == wxID_OK;
    });
    ui.RegisterDialog(CCopyFilesDlg::kClass, [](wxWindow* parent, DialogRequest& request, int language) {
        CCopyFilesWnd dlg(parent, request, language);
        return dlg.ShowModal() == wxID_OK;
    });
    RegisterEntryKeypads(ui);
    ui.RegisterDialog(CReceiverIntervalDlg::kClass, [](wxWindow* parent, DialogRequest& request, int language) {
        CReceiverIntervalWnd dlg(parent, request, language);
        return dlg.ShowModal() == wxID_OK;
    });
    ui.RegisterDialog(CAxisConfigDlg::kClass, [](wxWindow* parent, DialogRequest& request, int language) {
        CAxisConfigWnd dlg(parent, request, language);
        return dlg.ShowModal() == wxID_OK;
    });
    ui.RegisterDialog(CAutoPickSetupDlg::kClass, [](wxWindow* parent, DialogRequest& request, int language) {
        CAutoPickSetupWnd dlg(parent, request, language);
        return dlg.ShowModal() == wxID_OK;
    });
    ui.RegisterDialog(CTauPTransformDlg::kClass, [](wxWindow* parent, DialogRequest& request, int language) {
        CTauPTransformWnd dlg(parent, request, language);
        return dlg.ShowModal() == wxID_OK;
    });
    ui.RegisterDialog(CHeaderInfoDlg::kClass, [](wxWindow* parent, DialogRequest& request, int language) {
        const std::vector<std::string> columns(CHeaderInfoDlg::kTitles.begin(), CHeaderInfoDlg::kTitles.end());
        CPagedTableWnd dlg(parent, request, language, columns, CHeaderInfoDlg::kRows);
        return dlg.ShowModal() == wxID_OK;
    });
    ui.RegisterDialog(FileListEditModel::kClass, [](wxWindow* parent, DialogRequest& request, int language) {
        CFileListDlg dlg(parent, request, language);
        return dlg.ShowModal() == wxID_OK;
    });
    ui.RegisterDialog(CGeometryDlg::kClass, [](wxWindow* parent, DialogRequest& request, int language) {
        CPagedTableWnd dlg(parent, request, language, {"Channel", "Interval", "Geophone coordinate"},
                           CGeometryDlg::kRows);
        return dlg.ShowModal() == wxID_OK;
    });
    ui.RegisterDialog(CPhaseVelocityDlg::kClass, [](wxWindow* parent, DialogRequest& request, int language) {
        AdvancedFormLayout layout;
        layout.advanced.assign(CPhaseVelocityDlg::kAdvancedFields.begin(), CPhaseVelocityDlg::kAdvancedFields.end());
        layout.dependent = CPhaseVelocityDlg::kSpac;
        layout.selector = CPhaseVelocityDlg::kMethod;
        layout.selectorChoice = 1;
        CAdvancedFormWnd dlg(parent, request, language, layout);
        return dlg.ShowModal() == wxID_OK;
    });
    ui.RegisterDialog(CArrayGeometryDlg::kClass, [](wxWindow* parent, DialogRequest& request, int language) {
        AdvancedFormLayout layout;
        layout.advanced.assign(CArrayGeometryDlg::kAdvancedFields.begin(), CArrayGeometryDlg::kAdvancedFields.end());
        layout.advancedChoiceField = CArrayGeometryDlg::kArray;
        layout.advancedChoices.assign(CArrayGeometryDlg::kAdvancedChoices.begin(),
                                      CArrayGeometryDlg::kAdvancedChoices.end());
        layout.advancedButtons.assign(CArrayGeometryDlg::kAdvancedButtons.begin(),
                                      CArrayGeometryDlg::kAdvancedButtons.end());
        layout.focusOk = true;
        CAdvancedFormWnd dlg(parent, request, language, layout);
        return dlg.ShowModal() == wxID_OK;
    });
    ui.RegisterDialog(CMinMaxFrequencyDlg::kClass, [](wxWindow* parent, DialogRequest& request, int language) {
        AdvancedFormLayout layout;
        layout.advanced.assign(CMinMaxFrequencyDlg::kAdvancedFields.begin(), CMinMaxFrequencyDlg::kAdvancedFields.end());
        CAdvancedFormWnd dlg(parent, request, language, layout);
        return dlg.ShowModal() == wxID_OK;
    });
}

}  // namespace velk
