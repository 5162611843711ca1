#include "surfacewave/cmp_phase_velocity_dlg.h"

#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

DialogRequest CCmpPhaseVelocityDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, kTitle, "CMPの位相速度計算"));
    const char* names[] = {kFirst, kSecond, kThird};
    for (size_t i = 0; i < values.size(); ++i) {
        if (captions[i].empty()) continue;
        auto& field = i == 0 ? r.Float(names[i], values[i], 0.0, 10000.0) : r.Float(names[i], values[i]);
        field.Label(captions[i]).Unit("m");
    }
    r.Choice(kMethod, method,
             {Msg(language, "Phase-difference average", "位相差の平均"),
              Msg(language, "Cross-correlation average", "相互相関の平均"),
              Msg(language, "Coherence average", "コヒーレンスの平均")})
        .Label(Msg(language, "Method", "方法"));
    r.Bool(kShowOptionMenu, showOptionMenu).Label(Msg(language, "Show option menu", "オプションメニューを表示"));
    return r;
}

}  // namespace velk
