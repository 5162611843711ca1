#include "dialogs/survey/file_list_dlg.h"

#include <string>
#include <vector>

#include "survey/file_list_dialogs.h"

namespace velk {

CFileListDlg::CFileListDlg(wxWindow* parent, DialogRequest& request, int language)
    : CPagedTableWnd(parent, request, language,
                     std::vector<std::string>(FileListEditModel::kTitles.begin(), FileListEditModel::kTitles.end()),
                     FileListEditModel::kRows)
{
}

}  // namespace velk
