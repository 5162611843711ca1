#pragma once
// Dialog 296 "Input integer": one integer; the caller sets the title and the preset and reads
// the value after OK.

#include <string>

#include "platform/uihost.h"

namespace velk {

struct CInputIntegerDlg {
    static constexpr const char* kClass = "CInputIntegerDlg";
    static constexpr const char* kTitle = "Input integer";
    std::string title = kTitle;
    int value = 0;

    DialogRequest Request(int language);
};

}  // namespace velk
