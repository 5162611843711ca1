#pragma once
// CProgressDlg: the modeless "Now calculating !" window of long commands: a text line and a
// bar. It is the window behind the UiHost's progress sink; the bar has the keyboard focus.

#include <chrono>
#include <optional>
#include <string>

#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/stattext.h>

#include "platform/uihost.h"

namespace velk {

class CProgressDlg : public wxDialog, public ProgressSink {
public:
    CProgressDlg(wxWindow* parent, const wxString& caption);

    // The bar's range becomes 0..n with step 1; a step beyond the range leaves it full.
    void SetRange(int n) override;
    void StepIt() override;
    void SetText(const std::string& text) override;

    int Range() const { return range_; }
    int Position() const { return position_; }

private:
    void ShowNow();

    wxStaticText* text_ = nullptr;
    wxGauge* gauge_ = nullptr;
    int range_ = 0;
    int position_ = 0;
    std::optional<std::chrono::steady_clock::time_point> painted_;  // the last paint between steps
};

// The caption in the interface language.
wxString ProgressCaption(int language);

}  // namespace velk
