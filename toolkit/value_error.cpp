#include "toolkit/value_error.h"

#include <wx/msgdlg.h>

#include "toolkit/wx_uihost.h"

namespace velk {

bool ShowValueError(wxWindow* parent, const wxString& error)
{
    if (error.empty()) return false;
    wxMessageDialog box(parent, error, ProgramCaption(), wxOK | wxICON_WARNING);
    box.ShowModal();
    return true;
}

}  // namespace velk
