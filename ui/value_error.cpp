#include "ui/value_error.h"

#include <wx/msgdlg.h>

namespace velk {

bool ShowValueError(wxWindow* parent, const wxString& error)
{
    if (error.empty()) return false;
    wxMessageDialog box(parent, error, "Velkarine", wxOK | wxICON_WARNING);
    box.ShowModal();
    return true;
}

}  // namespace velk
