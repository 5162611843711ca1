#include "surfacewave/picking_dialogs.h"

#include "platform/language.h"

namespace velk {

DialogRequest CMinMaxFrequencyDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, kTitle, "最小・最大周波数"));
    r.Float(kMinimumFrequency, minimumFrequency, 0.0, 10000.0)
        .Label(Msg(language, "Minimum Frequency =", "最小周波数 ="))
        .Unit("Hz");
    r.Float(kMaximumFrequency, maximumFrequency, 0.0, 10000.0)
        .Label(Msg(language, "Maximum Frequency =", "最大周波数 ="))
        .Unit("Hz");
    r.Bool(kUseMedian, useMedian).Label(Msg(language, "Use median filter", "メディアンフィルターを使う"));
    r.Int(kMedianSamples, medianSamples, 1, 255)
        .Label(Msg(language, "# of sample for median filter =", "メディアンフィルターのサンプル数 ="));
    r.Bool(kLimitation, wavelengthLimitation).Label(Msg(language, "Wavelength limitation", "波長による制限"));
    r.Float(kMaximumWavelength, maximumWavelength, 1.0, 10.0)
        .Label(Msg(language, "Maximum wavelength =", "最大波長 ="))
        .Unit(Msg(language, "times", "倍"));
    r.Float(kMinimumWavelength, minimumWavelength, 1.0, 10.0)
        .Label(Msg(language, "Minimum wavelength =", "最小波長 ="))
        .Unit(Msg(language, "times", "倍"));
    r.Float(kMinimumVelocity, minimumPhaseVelocity)
        .Label(Msg(language, "Minimum phase velocity =", "最小位相速度 ="))
        .Unit(velocityUnitText);
    return r;
}

bool CMinMaxFrequencyDlg::Edit(PeakPickParameters& p, float lastFrequency, bool kmUnit,
                               const std::string& velocityUnitText, UiHost& ui, int language)
{
    const float shown = kmUnit ? 1.0f : 1000.0f;
    CMinMaxFrequencyDlg dlg;
    dlg.minimumFrequency = p.minimumOffset;
    dlg.maximumFrequency = lastFrequency;
    dlg.useMedian = p.medianSmoothing;
    dlg.medianSamples = p.medianWindow;
    dlg.wavelengthLimitation = p.ratioCheck;
    dlg.maximumWavelength = p.ratioLimit1;
    dlg.minimumWavelength = p.ratioLimit2;
    dlg.minimumPhaseVelocity = p.minimumTime * shown;
    dlg.velocityUnitText = velocityUnitText;
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) return false;
    p.minimumOffset = dlg.minimumFrequency;
    p.medianSmoothing = dlg.useMedian;
    p.medianWindow = dlg.medianSamples;
    p.ratioCheck = dlg.wavelengthLimitation;
    p.ratioLimit1 = dlg.maximumWavelength;
    p.ratioLimit2 = dlg.minimumWavelength;
    p.minimumTime = dlg.minimumPhaseVelocity / shown;
    return true;
}

std::vector<int> CShowAnalysisResultDlg::ApplyHideRules()
{
    bool showModel = true, showCurve = true;
    if (modelAvailable == 0) {
        showModel = false;
        choice = 0;
    }
    if (curveAvailable == 0 && secondCurveAvailable == 0) {
        showCurve = false;
        choice = 2;
    }
    std::vector<int> shown;
    if (showCurve) shown.push_back(0);
    if (showModel) shown.push_back(1);
    shown.push_back(2);
    return shown;
}

bool CShowAnalysisResultDlg::Run(UiHost& ui, int language)
{
    const std::vector<int> shown = ApplyHideRules();
    const std::string texts[3] = {Msg(language, "Show dispersion curve", "分散曲線を表示"),
                                  Msg(language, "Show S-velocity model", "S波速度構造を表示"),
                                  Msg(language, "Start analysis again", "解析をやり直す")};
    std::vector<std::string> labels;
    int index = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        labels.push_back(texts[shown[i]]);
        if (shown[i] == choice) index = static_cast<int>(i);
    }
    DialogRequest r(kClass, Msg(language, kTitle, "解析結果の表示"));
    r.Choice(kChoice, index, labels).Label(Msg(language, "Show analysis result", "解析結果の表示"));
    if (!ui.RunDialog(r)) return false;
    if (index >= 0 && static_cast<size_t>(index) < shown.size()) choice = shown[static_cast<size_t>(index)];
    return true;
}

}  // namespace velk
