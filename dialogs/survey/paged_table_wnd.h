#pragma once
// The window of a paged table dialog ("Header information", "Geometry"): the fields named
// "<column> <row>" form a grid of edit boxes under the column titles, one page of rows; the
// other fields follow as labelled boxes, check boxes or radio groups (a bool cell of the grid
// is a check box too); the request's buttons come before OK
// and Cancel. A row whose first cell is empty holds no trace and shows nothing. A button hands
// the boxes to the request, runs its action and shows the page again.

#include <string>
#include <vector>

#include <wx/dialog.h>

#include "platform/uihost.h"

class wxCheckBox;
class wxRadioBox;
class wxTextCtrl;

namespace velk {

class CPagedTableWnd : public wxDialog {
public:
    CPagedTableWnd(wxWindow* parent, DialogRequest& request, int language, const std::vector<std::string>& columns,
                   int rows);

    // Copies the boxes into the request's edited values; the first error, or empty.
    wxString TakeValues();
    void ShowValues();
    // A button of the request, as clicking it does.
    void Press(const std::string& name);

private:
    struct Cell {
        DialogField* field = nullptr;
        wxTextCtrl* text = nullptr;
        wxRadioBox* radio = nullptr;
        wxCheckBox* check = nullptr;
        DialogField* rowKey = nullptr;  // the row's first cell (null outside the grid)
    };
    bool Blank(const Cell& c) const;
    void OnOk(wxCommandEvent& event);

    DialogRequest& request_;
    int language_;
    std::vector<Cell> cells_;
};

}  // namespace velk
