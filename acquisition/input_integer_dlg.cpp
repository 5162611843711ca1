#include "acquisition/input_integer_dlg.h"

#include "platform/language.h"

namespace velk {

DialogRequest CInputIntegerDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, title));
    r.Int("Value", value).Label(Msg(language, "Value", "値"));
    return r;
}

}  // namespace velk
