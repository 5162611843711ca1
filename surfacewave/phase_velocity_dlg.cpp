#include "surfacewave/phase_velocity_dlg.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/language.h"

namespace velk {

DialogRequest CPhaseVelocityDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, kTitle, "位相速度-周波数変換"));
    r.Float(kStartVelocity, startVelocity).Label(Msg(language, "Phase velocity  Start", "位相速度  開始")).Unit(velocityUnitText);
    r.Float(kEndVelocity, endVelocity).Label(Msg(language, "End", "終了")).Unit(velocityUnitText);
    r.Float(kInterval, velocityInterval).Label(Msg(language, "Interval", "間隔")).Unit(velocityUnitText);
    r.Float(kStartFrequency, startFrequency).Label(Msg(language, "Frequency  Start", "周波数  開始")).Unit("Hz");
    r.Float(kEndFrequency, endFrequency).Label(Msg(language, "End", "終了")).Unit("Hz");
    r.Choice(kNormalization, normalisation, {Msg(language, "Off", "オフ"), Msg(language, "On", "オン")})
        .Label(Msg(language, "Normalization", "正規化"));
    r.Choice(kYAxis, yAxis, {Msg(language, "Velocity", "速度"), Msg(language, "Frequency", "周波数")})
        .Label(Msg(language, "Y-axis", "縦軸"));
    std::vector<std::string> directions = {Msg(language, "Forward", "順方向"), Msg(language, "Backward", "逆方向")};
    if (eachRecordChoice) directions.push_back(Msg(language, "Each shot its own", "ショットごと"));
    r.Choice(kDirection, direction, std::move(directions)).Label(Msg(language, "Direction", "方向"));
    r.Int(kResolution, resolution, 1, 10).Label(Msg(language, "Frequency  Resolution", "周波数  分解能"));
    r.Float(kMinimumOffset, minimumOffset)
        .Label(Msg(language, "Offset range used in transformation", "変換に使うオフセットの範囲"))
        .Unit(distanceUnitText);
    r.Float(kMaximumOffset, maximumOffset).Label(Msg(language, "to", "から")).Unit(distanceUnitText);
    r.Int(kTraceSkip, traceSkip, 1, 100000).Label(Msg(language, "Trace skip", "トレーススキップ"));
    r.Choice(kMode, mode, {Msg(language, "Shot gather", "ショットギャザー"), "CMP"}).Label(Msg(language, "Mode", "モード"));
    r.Choice(kMethod, method, {Msg(language, "Phase shift", "位相シフト"), "SPAC"}).Label(Msg(language, "Method", "手法"));
    r.Choice(kSpac, spacDimension, {"1D", "2D"}).Label("SPAC");
    return r;
}

void CPhaseVelocityDlg::From(const CContourSettings& s)
{
    const bool km = s.distanceUnitIndex == 1;
    const float velocity = km ? 1.0f : 1000.0f;
    const float offset = km ? 0.001f : 1.0f;
    startVelocity = s.startVelocity * velocity;
    endVelocity = s.endVelocity * velocity;
    velocityInterval = s.velocityInterval * velocity;
    startFrequency = s.startFrequency;
    endFrequency = s.endFrequency;
    normalisation = s.normalisation;
    yAxis = s.yAxis;
    direction = s.direction;
    resolution = s.frequencyResolution;
    minimumOffset = s.minimumOffset * offset;
    maximumOffset = s.maximumOffset * offset;
    traceSkip = s.traceSkip;
    mode = s.mode;
    method = s.method;
    spacDimension = s.spacDimension - 1;
    velocityUnitText = s.velocityUnitText;
    distanceUnitText = s.distanceUnitText;
}

void CPhaseVelocityDlg::To(CContourSettings& s) const
{
    const bool km = s.distanceUnitIndex == 1;
    const float velocity = km ? 1.0f : 0.001f;
    const float offset = km ? 1000.0f : 1.0f;
    // A value shown as it was stays as it was: the unit round trip is not exact in floats, and
    // an OK without an edit must not move the settings.
    CPhaseVelocityDlg shown;
    shown.From(s);
    const auto take = [](float edited, float before, float stored, float factor) {
        return edited == before ? stored : edited * factor;
    };
    s.startVelocity = take(startVelocity, shown.startVelocity, s.startVelocity, velocity);
    s.endVelocity = take(endVelocity, shown.endVelocity, s.endVelocity, velocity);
    s.velocityInterval = take(velocityInterval, shown.velocityInterval, s.velocityInterval, velocity);
    s.startFrequency = startFrequency;
    s.endFrequency = endFrequency;
    s.normalisation = normalisation;
    s.yAxis = yAxis;
    s.direction = direction;
    s.frequencyResolution = resolution;
    s.minimumOffset = take(minimumOffset, shown.minimumOffset, s.minimumOffset, offset);
    s.maximumOffset = take(maximumOffset, shown.maximumOffset, s.maximumOffset, offset);
    s.traceSkip = traceSkip;
    s.mode = mode;
    s.method = method;
    s.spacDimension = spacDimension + 1;
    if (s.mode == 1) s.direction = 0;
}

bool CPhaseVelocityDlg::EditSettings(CContourSettings& settings, UiHost& ui, int language)
{
    CPhaseVelocityDlg dlg;
    dlg.From(settings);
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) return false;
    dlg.To(settings);
    return true;
}

bool CPhaseVelocityDlg::EditListSettings(CContourSettings& settings, int& listDirection, UiHost& ui, int language)
{
    CPhaseVelocityDlg dlg;
    dlg.From(settings);
    dlg.eachRecordChoice = true;
    dlg.direction = std::clamp(listDirection, 0, kEachRecord);
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) return false;
    const int kept = settings.direction;
    dlg.To(settings);
    listDirection = settings.mode == 1 ? 0 : std::clamp(dlg.direction, 0, kEachRecord);
    if (listDirection == kEachRecord) settings.direction = kept;
    return true;
}

}  // namespace velk
