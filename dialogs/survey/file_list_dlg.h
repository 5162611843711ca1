#pragma once
// The "File list" window: the list model's page in the paged table window, under the columns
// "Index", "Edit" (a check box), "ID", "Source(m)", "1st receiver(m)", "Receiver int.(m)" and
// "# of aux.", with "Number of files", the two from-file flags and the model's buttons.

#include "dialogs/survey/paged_table_wnd.h"

namespace velk {

class CFileListDlg : public CPagedTableWnd {
public:
    // `request` is FileListEditModel::Request's.
    CFileListDlg(wxWindow* parent, DialogRequest& request, int language);
};

}  // namespace velk
