#include "app/view/axis_config.h"

#include <cmath>

#include "draw/coordinates.h"
#include "app/view/record_axes.h"
#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "platform/language.h"

namespace velk {
namespace {

// Units per inch and per millimetre (one unit is 0.1 mm).
constexpr double kUnitsPerInch = 254.0;
constexpr double kUnitsPerMm = 10.0;

bool FeetUnits(const std::string& unit) { return unit == "ft" || unit == "kft"; }

bool Positive(float v) { return v > 0.0f && std::isfinite(v); }

float FileGainPreset(const Workspace& ws)
{
    const float gain = ws.display.axes.fixedFileGain;
    if (gain >= 0.0f) return gain;
    const float peak = ws.store.Params().recordMaximum;
    return peak > 0.0f ? 1000.0f / peak : 0.0f;
}

}  // namespace

double CAxisConfigDlg::UnitFactor(int fromUnits, int toUnits)
{
    if (fromUnits == toUnits) return 1.0;
    return toUnits == 1 ? 0.001 : 1000.0;
}

void CAxisConfigDlg::OnUnitRadio(int newUnits)
{
    const double f = UnitFactor(units, newUnits);
    for (float* v : {&timeStart, &timeEnd, &timeInterval, &distanceStart, &distanceEnd, &distanceInterval}) {
        *v = static_cast<float>(*v * f);
    }
    units = newUnits;
}

std::array<std::string, 8> CAxisConfigDlg::UnitLabels(int units, bool feet)
{
    const std::string time = units == 1 ? "sec" : "msec";
    const std::string distance = feet ? (units == 1 ? "kft" : "ft") : (units == 1 ? "km" : "m");
    const std::string margin = feet ? "inch" : "mm";
    return {time, time, time, distance, distance, distance, margin, margin};
}

DialogRequest CAxisConfigDlg::Request(int language)
{
    auto t = [language](const char* en, const char* ja) { return Msg(language, en, ja); };
    const std::array<std::string, 8> unit = UnitLabels(units, feet);
    DialogRequest req(kClass, t(kTitle, "軸の設定"));
    req.Float(kTimeScale, timeScale).Label(t("Time scale 1/", "時間スケール 1/"));
    req.Float(kDistanceScale, distanceScale).Label(t("Distance scale 1/", "距離スケール 1/"));
    req.Float(kTimeStart, timeStart).Label(t("Time axis: start", "時間軸: 開始")).Unit(unit[0]);
    req.Float(kTimeEnd, timeEnd).Label(t("end", "終了")).Unit(unit[1]);
    req.Float(kTimeInterval, timeInterval).Label(t("tick interval", "目盛間隔")).Unit(unit[2]);
    req.Int(kTimeDecimals, timeDecimals, 0, 1).Label(t("decimals", "小数桁"));
    req.Float(kDistanceStart, distanceStart).Label(t("Distance axis: start", "距離軸: 開始")).Unit(unit[3]);
    req.Float(kDistanceEnd, distanceEnd).Label(t("end", "終了")).Unit(unit[4]);
    req.Float(kDistanceInterval, distanceInterval).Label(t("interval", "間隔")).Unit(unit[5]);
    req.Int(kDistanceDecimals, distanceDecimals, 0, 1).Label(t("decimals", "小数桁"));
    req.Bool(kDefault, useDefault).Label(t("Default", "デフォルト"));
    req.Bool(kCustomGain, customGain).Label(t("Custom gain", "ゲインを指定"));
    req.Float(kGain, gain).Label(t("Gain =", "ゲイン ="));
    req.Float(kScale, scale).Label(t("Scale =", "スケール ="));
    req.Float(kMarginX, marginX).Label(t("X = ", "X = ")).Unit(unit[6]);
    req.Float(kMarginY, marginY).Label(t("Y = ", "Y = ")).Unit(unit[7]);
    req.Bool(kPreTrigger, preTriggerShift).Label(t("Pre-trigger shift", "プリトリガー分ずらす"));
    req.Choice(kDirection, direction,
               {t("Time axis horizontal", "時間軸を横"), t("Time axis vertical", "時間軸を縦")})
        .Label(t("Direction", "方向"));
    req.Choice(kUnits, units, {t("m(ft) and msec", "m(ft) と msec"), t("km(kft) and sec", "km(kft) と sec")})
        .Label(t("Units", "単位"));
    return req;
}

CAxisConfigDlg PresetAxisConfig(const Workspace& ws)
{
    const CParameterSet& p = ws.store.Params();
    const ViewSettings& s = ws.settings;
    const DisplayState& d = ws.display;
    CAxisConfigDlg dlg;
    const bool kilo = s.kmDisplay == 1;
    const double k = kilo ? 0.001 : 1.0;
    dlg.timeScale = 10000.0f / p.hscale;
    dlg.distanceScale = 10000.0f / p.plotscale;
    dlg.timeDecimals = d.axes.timeDecimals == 1 ? 1 : 0;
    dlg.distanceDecimals = d.axes.distanceDecimals == 1 ? 1 : 0;
    dlg.units = kilo ? 1 : 0;
    dlg.direction = s.plotDirection == 1 ? 1 : 0;
    dlg.feet = FeetUnits(s.unitText);
    const double margin = dlg.feet ? 1.0 / kUnitsPerInch : 1.0 / kUnitsPerMm;
    dlg.marginX = static_cast<float>(s.xOrg0 * margin);
    dlg.marginY = static_cast<float>(s.yOrg0 * margin);
    dlg.preTriggerShift = s.triggerPlot == 1 ? 1 : 0;
    dlg.customGain = d.axes.fixedGainFlag == 1 ? 1 : 0;
    dlg.gain = FileGainPreset(ws);
    dlg.scale = p.vscale;
    // The time window as the axis shows it: from the first shown sample's time.
    const double s0 = p.windowStartTime;
    dlg.timeStart = static_cast<float>((s0 + s.xst) * k);
    dlg.timeEnd = static_cast<float>((s0 + s.xe) * k);
    dlg.timeInterval = static_cast<float>(s.xi * k);
    // The distance range without the margin ticks the axis adds on either side.
    const double margins = (s.threeComponentLabel == 1 && s.plotDirection != 1 ? 2.0 : 1.0) * s.yi;
    dlg.distanceStart = static_cast<float>((d.layout.distanceOrigin + margins) * k);
    dlg.distanceEnd = static_cast<float>((d.layout.distanceEnd - margins) * k);
    dlg.distanceInterval = static_cast<float>(s.yi * k);
    return dlg;
}

std::string CheckAxisConfig(const CAxisConfigDlg& dlg, int language)
{
    if (dlg.useDefault == 1) return {};
    if (!Positive(dlg.timeScale) || !Positive(dlg.distanceScale) || !Positive(dlg.timeInterval) ||
        !Positive(dlg.distanceInterval)) {
        return Msg(language, "The scales and the tick intervals must be greater than 0.",
                   "スケールと目盛間隔は 0 より大きい値にしてください。");
    }
    if (!(dlg.timeEnd > dlg.timeStart) || !(dlg.distanceEnd >= dlg.distanceStart) || !std::isfinite(dlg.timeEnd) ||
        !std::isfinite(dlg.timeStart) || !std::isfinite(dlg.distanceStart) || !std::isfinite(dlg.distanceEnd)) {
        return Msg(language, "The end of an axis must lie beyond its start.",
                   "軸の終わりは始まりより大きい値にしてください。");
    }
    return {};
}

void ApplyAxisConfig(Workspace& ws, const CAxisConfigDlg& dlg)
{
    DisplayState& d = ws.display;
    if (dlg.useDefault == 1) {
        d.axesFixed = 0;
        return;
    }
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    ViewSettings& s = ws.settings;
    const bool kilo = dlg.units == 1;
    const double k = kilo ? 1000.0 : 1.0;  // back to m and ms

    p.hscale = ClampScale(static_cast<float>(10000.0 / dlg.timeScale));
    p.plotscale = ClampScale(static_cast<float>(10000.0 / dlg.distanceScale));
    d.axes.timeDecimals = dlg.timeDecimals;
    d.axes.distanceDecimals = dlg.distanceDecimals;

    // The time window: the start picks the first sample, the end the samples shown; the axis
    // then spans the window from the origin, labelled from the start.
    const double start = dlg.timeStart * k, end = dlg.timeEnd * k;
    const float interval = p.sampleInterval;
    if (IsValidInterval(interval) && p.samplesPerTrace > 0) {
        const double firstExact = std::clamp(std::trunc(start / interval), 0.0, p.samplesPerTrace - 1.0);
        const int first = static_cast<int>(firstExact);
        d.firstSampleShown = first;
        p.windowStartTime = static_cast<float>(first * static_cast<double>(interval));
        const double samples = std::floor((end - start) / interval + 0.5);
        p.samplesShown = static_cast<int>(std::clamp(samples, 1.0, static_cast<double>(p.samplesPerTrace - first)));
    }
    p.shownTime = static_cast<float>(end - start);
    p.timeAxisStart = 0.0f;
    s.xst = 0.0f;
    s.xe = p.shownTime;
    s.xi = static_cast<float>(dlg.timeInterval * k);

    d.axes.fixedGainFlag = dlg.customGain == 1 ? 1 : 0;
    if (d.axes.fixedGainFlag == 1) p.normalisation = 1;
    d.axes.fixedFileGain = dlg.gain;
    p.vscale = dlg.scale;
    s.kmDisplay = kilo ? 1 : 0;
    s.plotDirection = dlg.direction == 1 ? 1 : 0;
    const double perMargin = dlg.feet ? kUnitsPerInch : kUnitsPerMm;
    s.xOrg0 = SaturatingTrunc(dlg.marginX * perMargin);
    s.yOrg0 = SaturatingTrunc(dlg.marginY * perMargin);

    RecordLayout& l = d.layout;
    l.distanceMinimum = static_cast<float>(dlg.distanceStart * k);
    l.distanceMaximum = static_cast<float>(dlg.distanceEnd * k);
    s.yi = static_cast<float>(dlg.distanceInterval * k);
    s.triggerPlot = dlg.preTriggerShift == 1 ? 1 : -1;

    // The traces inside the distance range.
    const int count = store.TraceCount();
    int first = 0;
    while (first < count &&
           !(store.current.headers[static_cast<size_t>(first)].receiverHundredths * 0.01 + 0.00001 >= l.distanceMinimum)) {
        ++first;
    }
    if (first >= count) {
        d.firstTraceShown = 0;
        p.tracesShown = 0;
    } else {
        int shown = 0;
        while (first + shown < count &&
               store.current.headers[static_cast<size_t>(first + shown)].receiverHundredths * 0.01 <= l.distanceMaximum) {
            ++shown;
        }
        d.firstTraceShown = first;
        p.tracesShown = shown;
    }
    d.axesFixed = 1;
    s.unitText = dlg.feet ? (kilo ? "kft" : "ft") : (kilo ? "km" : "m");
}

int OnAxisConfiguration(Workspace& ws, UiHost& ui)
{
    if (ws.store.TraceCount() <= 0) return 0;
    const AxisChoiceInput in = AxisInputFrom(ws);
    StoreAxisChoice(ws, ws.settings.plotDirection == 1 ? ChooseAxisTickStepsVertical(in) : ChooseAxisTickSteps(in));
    ws.display.axes.fixedFileGain = FileGainPreset(ws);
    CAxisConfigDlg dlg = PresetAxisConfig(ws);
    for (;;) {
        DialogRequest req = dlg.Request(ws.startup.language);
        if (!ui.RunDialog(req)) return 0;
        const std::string refusal = CheckAxisConfig(dlg, ws.startup.language);
        if (refusal.empty()) break;
        ui.Message(refusal, MsgButtons::Ok, MsgIcon::Warning);
    }
    ApplyAxisConfig(ws, dlg);
    return 1;
}

void AddRecordDrawingCommands(CommandTable& table)
{
    table.Add(cmd::kAxisConfiguration, "view", 26, "Axis configuration", "軸の設定",
              [](CommandContext& c) { return OnAxisConfiguration(c.ws, c.ui); }, kRuleTracesLoaded);
}

}  // namespace velk
