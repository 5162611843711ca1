#include "dialogs/app/axis_config_dlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/view/axis_config.h"
#include "platform/language.h"
#include "toolkit/screen_fit.h"
#include "toolkit/value_error.h"

namespace velk {
namespace {

using D = CAxisConfigDlg;

wxString U(const std::string& s) { return wxString::FromUTF8(s); }

}  // namespace

CAxisConfigWnd::CAxisConfigWnd(wxWindow* parent, DialogRequest& request, int language)
    : wxDialog(parent, wxID_ANY, U(request.Title()), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE),
      request_(request),
      language_(language)
{
    if (const DialogField* units = request_.Find(D::kUnits)) units_ = std::max(units->IntValue(), 0);
    if (const DialogField* start = request_.Find(D::kDistanceStart)) {
        feet_ = start->UnitText() == "ft" || start->UnitText() == "kft";
    }
    const auto labels = D::UnitLabels(units_, feet_);
    auto t = [language](const char* en, const char* ja) { return U(Msg(language, en, ja)); };
    auto unit = [&](wxWindow* p, int k) {
        unitLabels_[k] = new wxStaticText(p, D::kFirstUnitLabelId + k, U(labels[static_cast<size_t>(k)]));
        return unitLabels_[k];
    };
    auto row = [&](wxFlexGridSizer* grid, wxWindow* p, const char* field, int id, int unitIndex) {
        grid->Add(new wxStaticText(p, wxID_ANY, Label(field)), 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(Edit(p, id, field), 1, wxEXPAND);
        if (unitIndex >= 0) {
            grid->Add(unit(p, unitIndex), 0, wxALIGN_CENTER_VERTICAL);
        } else {
            grid->AddSpacer(1);
        }
    };
    auto group = [&](const wxString& title) {
        auto* box = new wxStaticBoxSizer(wxVERTICAL, this, title);
        auto* grid = new wxFlexGridSizer(3, 6, 8);
        grid->AddGrowableCol(1, 1);
        box->Add(grid, 1, wxEXPAND | wxALL, 6);
        return std::make_pair(box, grid);
    };

    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    auto* left = new wxBoxSizer(wxVERTICAL);
    auto* right = new wxBoxSizer(wxVERTICAL);

    auto [scaleBox, scaleGrid] = group(t("Scale", "スケール"));
    row(scaleGrid, scaleBox->GetStaticBox(), D::kTimeScale, D::kTimeScaleId, -1);
    row(scaleGrid, scaleBox->GetStaticBox(), D::kDistanceScale, D::kDistanceScaleId, -1);
    left->Add(scaleBox, 0, wxEXPAND | wxBOTTOM, 8);

    auto [timeBox, timeGrid] = group(t("Time axis", "時間軸"));
    row(timeGrid, timeBox->GetStaticBox(), D::kTimeStart, D::kTimeStartId, 0);
    row(timeGrid, timeBox->GetStaticBox(), D::kTimeEnd, D::kTimeEndId, 1);
    row(timeGrid, timeBox->GetStaticBox(), D::kTimeInterval, D::kTimeIntervalId, 2);
    row(timeGrid, timeBox->GetStaticBox(), D::kTimeDecimals, D::kTimeDecimalsId, -1);
    left->Add(timeBox, 0, wxEXPAND | wxBOTTOM, 8);

    auto [distanceBox, distanceGrid] = group(t("Distance axis", "距離軸"));
    row(distanceGrid, distanceBox->GetStaticBox(), D::kDistanceStart, D::kDistanceStartId, 3);
    row(distanceGrid, distanceBox->GetStaticBox(), D::kDistanceEnd, D::kDistanceEndId, 4);
    row(distanceGrid, distanceBox->GetStaticBox(), D::kDistanceInterval, D::kDistanceIntervalId, 5);
    row(distanceGrid, distanceBox->GetStaticBox(), D::kDistanceDecimals, D::kDistanceDecimalsId, -1);
    left->Add(distanceBox, 0, wxEXPAND);

    auto [gainBox, gainGrid] = group(t("Amplitude", "振幅"));
    gainBox->Insert(0, Check(gainBox->GetStaticBox(), D::kCustomGainId, D::kCustomGain), 0, wxLEFT | wxTOP, 6);
    row(gainGrid, gainBox->GetStaticBox(), D::kGain, D::kGainId, -1);
    row(gainGrid, gainBox->GetStaticBox(), D::kScale, D::kScaleId, -1);
    right->Add(gainBox, 0, wxEXPAND | wxBOTTOM, 8);

    auto [marginBox, marginGrid] = group(t("Margin", "余白"));
    row(marginGrid, marginBox->GetStaticBox(), D::kMarginX, D::kMarginXId, 6);
    row(marginGrid, marginBox->GetStaticBox(), D::kMarginY, D::kMarginYId, 7);
    right->Add(marginBox, 0, wxEXPAND | wxBOTTOM, 8);

    right->Add(Radio(this, D::kDirectionId, D::kDirection), 0, wxEXPAND | wxBOTTOM, 8);
    wxRadioBox* units = Radio(this, D::kUnitsId, D::kUnits);
    units->Bind(wxEVT_RADIOBOX, &CAxisConfigWnd::OnUnits, this);
    right->Add(units, 0, wxEXPAND | wxBOTTOM, 8);
    right->Add(Check(this, D::kPreTriggerId, D::kPreTrigger), 0, wxBOTTOM, 6);
    right->Add(Check(this, D::kDefaultId, D::kDefault), 0, wxBOTTOM, 6);

    columns->Add(left, 1, wxEXPAND | wxRIGHT, 12);
    columns->Add(right, 1, wxEXPAND);
    top->Add(columns, 1, wxEXPAND | wxALL, 12);

    auto* buttons = new wxStdDialogButtonSizer();
    auto* ok = new wxButton(this, wxID_OK, "OK");
    buttons->AddButton(ok);
    buttons->AddButton(new wxButton(this, wxID_CANCEL, t("Cancel", "キャンセル")));
    buttons->Realize();
    top->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    ok->SetDefault();
    ok->Bind(wxEVT_BUTTON, &CAxisConfigWnd::OnOk, this);
    SetSizerAndFit(top);
    CentreOnParent();
    KeepOnScreen(this);
}

wxString CAxisConfigWnd::Label(const char* field) const
{
    const DialogField* f = request_.Find(field);
    return f ? U(f->LabelText()) : U(field);
}

wxTextCtrl* CAxisConfigWnd::Edit(wxWindow* parent, int id, const char* field)
{
    const DialogField* f = request_.Find(field);
    auto* edit = new wxTextCtrl(parent, id, f ? U(f->Text()) : wxString(), wxDefaultPosition, wxSize(110, -1));
    edits_[field] = edit;
    return edit;
}

wxCheckBox* CAxisConfigWnd::Check(wxWindow* parent, int id, const char* field)
{
    const DialogField* f = request_.Find(field);
    auto* check = new wxCheckBox(parent, id, Label(field));
    check->SetValue(f && f->BoolValue());
    checks_[field] = check;
    return check;
}

wxRadioBox* CAxisConfigWnd::Radio(wxWindow* parent, int id, const char* field)
{
    const DialogField* f = request_.Find(field);
    wxArrayString choices;
    if (f)
        for (const std::string& c : f->Choices()) choices.Add(U(c));
    auto* radio = new wxRadioBox(parent, id, Label(field), wxDefaultPosition, wxDefaultSize, choices, 1, wxRA_SPECIFY_COLS);
    if (f && f->IntValue() >= 0 && f->IntValue() < static_cast<int>(choices.size())) radio->SetSelection(f->IntValue());
    radios_[field] = radio;
    return radio;
}

void CAxisConfigWnd::OnUnits(wxCommandEvent&)
{
    const int chosen = radios_[D::kUnits]->GetSelection();
    const double factor = D::UnitFactor(units_, chosen);
    for (const char* name : D::kAxisValues) {
        DialogField* f = request_.Find(name);
        wxTextCtrl* edit = edits_[name];
        if (!f || !edit) continue;
        // A value that does not read as a number is left for OK to point out.
        if (!f->SetFromText(edit->GetValue().utf8_string()).empty()) continue;
        f->SetNumber(f->NumberValue() * factor);
        edit->ChangeValue(U(f->Text()));
    }
    units_ = chosen;
    const auto labels = D::UnitLabels(units_, feet_);
    for (int k = 0; k < 8; ++k)
        if (unitLabels_[k]) unitLabels_[k]->SetLabel(U(labels[static_cast<size_t>(k)]));
    Layout();
}

wxString CAxisConfigWnd::TakeValues()
{
    for (auto& [name, edit] : edits_) {
        DialogField* f = request_.Find(name);
        if (!f) continue;
        const std::string error = f->SetFromText(edit->GetValue().utf8_string());
        if (!error.empty()) {
            edit->SetFocus();
            return U(f->LabelText() + ": " + error);
        }
    }
    for (auto& [name, check] : checks_)
        if (DialogField* f = request_.Find(name)) f->SetBool(check->GetValue());
    for (auto& [name, radio] : radios_)
        if (DialogField* f = request_.Find(name)) f->SetInt(radio->GetSelection());
    return U(request_.Check());
}

void CAxisConfigWnd::OnOk(wxCommandEvent&)
{
    if (ShowValueError(this, TakeValues())) return;
    EndModal(wxID_OK);
}

}  // namespace velk
