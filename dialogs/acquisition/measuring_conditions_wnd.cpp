#include "dialogs/acquisition/measuring_conditions_wnd.h"

#include <string>

#include "acquisition/measuring_conditions_dlg.h"
#include "dialogs/acquisition/keypad_dialog.h"
#include "platform/language.h"

namespace velk {

const std::vector<const char*>& MeasuringConditionsClasses()
{
    static const std::vector<const char*> kClasses{
        CMeasuringConditionsDlg::kClass, CGainDlg::kClass, CGainDlg::kHoldClass, CGainAllDlg::kClass,
        CSpreadDlg::kClass, CAutoShiftStackDlg::kClass, CSignalTriggerLevelDlg::kClass};
    return kClasses;
}

bool ShowMeasuringConditionsWindow(wxWindow* parent, DialogRequest& request, int language)
{
    const std::string cls = request.DialogClass();
    // The 24 channels stand in two columns of twelve.
    const bool channels = cls == CGainDlg::kClass || cls == CGainDlg::kHoldClass || cls == CGainAllDlg::kClass;
    std::string headline;
    if (cls == CMeasuringConditionsDlg::kClass) {
        headline = Msg(language, "Up/Down: row   Left/Right: value or button   Enter: run or OK   Esc: Cancel",
                       "上下: 行   左右: 値またはボタン   Enter: 実行または OK   Esc: キャンセル");
    } else if (channels) {
        headline = Msg(language, "Up/Down: channel   Left/Right: step", "上下: チャンネル   左右: 変更");
    }
    KeypadDialog dlg(parent, request, language, headline, channels ? 2 : 1);
    return dlg.ShowModal() == wxID_OK;
}

}  // namespace velk
