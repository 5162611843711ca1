#include "acquisition/acq_display_dlg.h"

#include <algorithm>

#include "platform/language.h"

namespace velk {

DialogRequest CAcqDisplayDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Display", "表示"));
    r.Choice(kNormalize, normalize, {"On", "Off"}).Label(Msg(language, "Normalize", "正規化"));
    r.Choice(kWaveform, waveform, {"Wiggle", "Plus", "Minus"}).Label(Msg(language, "Waveform", "波形"));
    r.Choice(kRow, row, {kNormalize, kWaveform}).ReadOnly();
    keypad_.focus = row == 1 ? kWaveform : kNormalize;
    keypad_.close = keypad::kStayOpen;
    AddKeypadState(r, keypad_);
    auto choose = [](int chosen) {
        return [chosen](DialogRequest& d) {
            d.Find(kRow)->SetInt(chosen);
            SetKeypadFocus(d, chosen == 1 ? kWaveform : kNormalize);
        };
    };
    auto step = [](int by) {
        return [by](DialogRequest& d) {
            const bool waveformRow = d.Find(kRow)->IntValue() == 1;
            DialogField* f = d.Find(waveformRow ? kWaveform : kNormalize);
            f->SetInt(std::clamp(f->IntValue() + by, 0, waveformRow ? 2 : 1));
        };
    };
    r.AddButton(keypad::kKeyUp, choose(0));
    r.AddButton(keypad::kKeyDown, choose(1));
    r.AddButton(keypad::kKeyLeft, step(-1));
    r.AddButton(keypad::kKeyRight, step(1));
    return r;
}

bool CAcqDisplayDlg::Edit(UiHost& ui, int language, int& normalisation, int& traceStyle)
{
    CAcqDisplayDlg dlg;
    dlg.normalize = std::clamp(normalisation, 0, 1);
    dlg.waveform = traceStyle < 0 ? 2 : std::clamp(traceStyle, 0, 1);
    DialogRequest r = dlg.Request(language);
    if (!ui.RunDialog(r)) return false;
    normalisation = dlg.normalize;
    traceStyle = dlg.waveform == 2 ? -1 : dlg.waveform;
    return true;
}

}  // namespace velk
