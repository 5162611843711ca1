#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquisition/acq_display_dlg.h"
#include "platform/language.h"
#include "tools/scripted_uihost.h"

namespace velk {
namespace {

// Dialog 260 worked through its keys, as the keypad window and a scripted answer both do.
TEST(AcqDisplayDlg, KeysEditTheViewsNormalisationAndTraceStyle)
{
    struct Case {
        int normalisation, style;
        std::vector<std::string> keys;
        const char* shownWaveform;
        bool ok;
        int normalisationAfter, styleAfter;
    };
    const std::vector<Case> cases{
        {0, -1, {"Enter"}, "Minus", true, 0, -1},
        {0, 0, {"Down", "Right", "Right", "Right", "Enter"}, "Wiggle", true, 0, -1},
        {1, 1, {"Left", "Left", "Down", "Left", "Enter"}, "Plus", true, 0, 0},
        {0, 1, {"Down", "Left", "Esc"}, "Plus", false, 0, 1},
    };
    for (const Case& c : cases) {
        ScriptedUiHost ui;
        ui.AnswerDialogWith(CAcqDisplayDlg::kClass, [&](DialogRequest& r) {
            for (const std::string& key : c.keys) {
                const keypad::Close close = PressKey(r, key);
                if (close != keypad::kStayOpen) return close == keypad::kCloseOk;
            }
            return false;
        });
        int normalisation = c.normalisation;
        int style = c.style;
        EXPECT_EQ(CAcqDisplayDlg::Edit(ui, kLanguageEnglish, normalisation, style), c.ok);
        EXPECT_EQ(ui.Calls().at(0).Shown(CAcqDisplayDlg::kWaveform), c.shownWaveform);
        EXPECT_EQ(normalisation, c.normalisationAfter);
        EXPECT_EQ(style, c.styleAfter);
    }
}

}  // namespace
}  // namespace velk
