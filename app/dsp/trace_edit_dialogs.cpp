#include "app/dsp/trace_edit_dialogs.h"

#include "platform/language.h"

namespace velk {

DialogRequest CDistanceDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, kTitle, "距離"));
    r.Int("Distance", distance).Label(Msg(language, "Distance", "距離")).Unit("cm");
    return r;
}

DialogRequest CShiftAllTracesDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, kTitle, "全トレースのシフト"));
    r.Float("Time shift", shift).Label(Msg(language, "Time shift =", "時間シフト =")).Unit("msec");
    r.Bool("Change data length", changeLength).Label(Msg(language, "Change data length", "データ長を変更する"));
    note_ = Msg(language, kNote, "シフトが正(+)のとき、波形は左へ移動します。");
    r.String("Note", note_).ReadOnly();
    return r;
}

DialogRequest CMuteWaveformDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, kTitle, "波形のミュート"));
    r.Float("Taper(before)", taperBefore, 0.0, 1000.0).Label(Msg(language, "Taper(before)", "テーパー(前)")).Unit("msec");
    r.Float("Window", window, 0.0, 1000000.0).Label(Msg(language, "Window", "ウィンドウ")).Unit("msec");
    r.Float("Taper(after)", taperAfter, 0.0, 1000.0).Label(Msg(language, "Taper(after)", "テーパー(後)")).Unit("msec");
    return r;
}

DialogRequest CFrequencyDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, kTitle, "周波数"));
    r.Float("Frequency", frequency)
        .Label(Msg(language, "Enter center frequency !", "中心周波数を入力してください !"))
        .Unit("Hz");
    return r;
}

DialogRequest CPretriggerDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, kTitle, "プリトリガー"));
    r.Float("Pre-trigger", pretrigger).Label(Msg(language, "Pre-trigger =", "プリトリガー =")).Unit("msec");
    return r;
}

DialogRequest CAngleRangeDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, kTitle, "最小・最大角度"));
    r.Float("Min. angle", minAngle, 0.0, 360.0).Label(Msg(language, "Min. angle", "最小角度")).Unit("degree");
    r.Float("Max. angle", maxAngle, 0.0, 360.0).Label(Msg(language, "Max. angle", "最大角度")).Unit("degree");
    return r;
}

std::string CComponentShiftDlg::FieldName(int component) { return "Component " + std::to_string(component); }

DialogRequest CComponentShiftDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, kTitle, "成分ごとの時間シフト"));
    for (int c = 1; c <= kComponents; ++c) {
        const std::string label = Msg(language, "Shift (msec)", "シフト (msec)") + " " + std::to_string(c);
        r.Float(FieldName(c), shifts[static_cast<size_t>(c - 1)]).Label(label);
    }
    return r;
}

DialogRequest CVelocityDepthConversionDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, kTitle, "速度-深度変換"));
    r.Float("Depth", depth, 0.0, 10000000.0).Label(Msg(language, "Depth  0m to", "深度  0m から")).Unit("m");
    return r;
}

DialogRequest CWfftDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, kTitle, "WFFT"));
    r.Int("Number of window samples", windowSamples, 4, 512)
        .Label(Msg(language, "Number of window samples", "ウィンドウのサンプル数"));
    note_ = Msg(language, kNote, "4,8,16,32,64,128 のいずれかにしてください");
    r.String("Note", note_).ReadOnly();
    r.Choice("Frequency range shown", range, {"ALL", "1/2", "1/4", "1/8"})
        .Label(Msg(language, "Frequency range shown", "表示する周波数範囲"));
    return r;
}

}  // namespace velk
