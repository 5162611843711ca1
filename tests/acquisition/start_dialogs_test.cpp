#include <gtest/gtest.h>

#include "acquisition/start_dialogs.h"
#include "platform/language.h"

namespace velk {
namespace {

TEST(StartDialogs, MenuOnPcStepsItsChoiceWithinTheList)
{
    const struct {
        int choice;
        const char* key;
        int after;
    } cases[] = {{4, "Down", 4}, {1, "Down", 2}, {0, "Up", 0}, {3, "Up", 2}, {-1, "Down", 0}};
    for (const auto& c : cases) {
        CAcquisitionMenuPcDlg dlg;
        dlg.choice = c.choice;
        DialogRequest r = dlg.Request(kLanguageEnglish);
        r.Load();
        EXPECT_EQ(KeypadFocus(r), keypad::kFocusOk);
        EXPECT_EQ(PressKey(r, c.key), keypad::kStayOpen);
        EXPECT_EQ(r.Find("Choice")->IntValue(), c.after) << c.choice << ' ' << c.key;
        EXPECT_EQ(PressKey(r, keypad::kKeyEnter), keypad::kCloseOk);
    }
}

}  // namespace
}  // namespace velk
