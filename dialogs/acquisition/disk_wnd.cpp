#include "dialogs/acquisition/disk_wnd.h"

#include <set>

#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "acquisition/disk_dlg.h"
#include "platform/language.h"

namespace velk {

namespace {

wxString U(const std::string& s) { return wxString::FromUTF8(s); }

}  // namespace

CDiskWnd::CDiskWnd(wxWindow* parent, DialogRequest& request, int language) : KeypadDialog(parent, request, language)
{
    // The form's layout goes; its windows stay and are arranged in the keypad's rows.
    SetSizer(nullptr, true);
    std::set<wxWindow*> placed;
    auto place = [&placed](wxWindow* w) {
        placed.insert(w);
        return w;
    };
    auto* rows = new wxFlexGridSizer(3, 6, 10);
    for (int r = 0; r < CDiskDlg::kRows; ++r) {
        rows->Add(place(ControlNamed(CDiskDlg::kRowButtons[static_cast<size_t>(r)])), 0, wxEXPAND);
        const char* edit = r == kDiskSetId ? CDiskDlg::kIdNo : r == kDiskSetLineId ? CDiskDlg::kLineId : nullptr;
        if (edit) {
            const std::string label = r == kDiskSetId ? Msg(language, "ID No.", "ID番号") : Msg(language, "Line ID", "ラインID");
            rows->Add(place(new wxStaticText(this, wxID_ANY, U(label))), 0, wxALIGN_CENTER_VERTICAL);
            rows->Add(place(ControlNamed(edit)), 0);
        } else {
            rows->AddSpacer(1);
            rows->AddSpacer(1);
        }
    }
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(place(ControlNamed(keypad::kFocusOk)), 0, wxRIGHT, 6);
    if (wxWindow* cancel = ControlNamed(keypad::kFocusCancel)) buttons->Add(place(cancel));
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(rows, 0, wxALL, 12);
    top->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    for (wxWindow* child : GetChildren())
        if (!placed.count(child)) child->Hide();
    SetSizerAndFit(top);
    CentreOnParent();
    if (wxWindow* w = ControlNamed(KeypadFocus(Request()))) w->SetFocus();
}

CCopyFilesWnd::CCopyFilesWnd(wxWindow* parent, DialogRequest& request, int language)
    : wxDialog(parent, wxID_ANY, U(request.Title())), request_(request)
{
    DialogField* field = request_.Find(CCopyFilesDlg::kFiles);
    wxArrayString names;
    if (field)
        for (const std::string& n : field->Choices()) names.Add(U(n));
    list_ = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxSize(320, 260), names, wxLB_SINGLE);
    if (field && field->IntValue() >= 0 && field->IntValue() < static_cast<int>(names.size()))
        list_->SetSelection(field->IntValue());
    list_->Bind(wxEVT_LISTBOX_DCLICK, [this](wxCommandEvent&) {
        if (Validate() && TransferDataFromWindow()) EndModal(wxID_OK);
    });
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(list_, 1, wxEXPAND | wxALL, 12);
    auto* buttons = new wxStdDialogButtonSizer();
    auto* ok = new wxButton(this, wxID_OK, "OK");
    ok->SetDefault();
    buttons->AddButton(ok);
    buttons->AddButton(new wxButton(this, wxID_CANCEL, U(Msg(language, "Cancel"))));
    buttons->Realize();
    top->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    SetSizerAndFit(top);
    CentreOnParent();
    list_->SetFocus();
}

bool CCopyFilesWnd::TransferDataFromWindow()
{
    if (DialogField* field = request_.Find(CCopyFilesDlg::kFiles)) field->SetInt(list_->GetSelection());
    return true;
}

}  // namespace velk
