#include "surfacewave/phase_velocity_curve_dlg.h"

#include <algorithm>

#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

DialogRequest CPhaseVelocityCurveDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, kTitle, "位相速度曲線"));
    r.Int(kNShift, nShift).Label(Msg(language, kNShift, "Nシフト"));
    r.Float(kMinimumFrequency, minimumFrequency).Label(Msg(language, kMinimumFrequency, "最小周波数")).Unit("Hz");
    r.Bool(kShowPhaseDifference, showPhaseDifference).Label(Msg(language, kShowPhaseDifference, "位相差を表示"));
    r.Bool(kAutomaticShift, automaticShift).Label(Msg(language, kAutomaticShift, "自動シフト"));
    r.Bool(kShowPhaseVelocityCurve, showPhaseVelocityCurve)
        .Label(Msg(language, kShowPhaseVelocityCurve, "位相速度曲線を表示"));
    r.Float(kMaximumFrequency, maximumFrequency).Label(Msg(language, kMaximumFrequency, "最大周波数")).Unit("Hz");
    r.Float(kMinimumOffset, minimumOffset, 0.0, 100.0).Label(Msg(language, kMinimumOffset, "最小オフセット")).Unit("m");
    r.Int(kResolution, resolution, 1, 10).Label(Msg(language, kResolution, "分解能の改善"));
    r.Float(kMaxApparentVelocity, maxApparentVelocity, 0.0, 10000.0)
        .Label(Msg(language, kMaxApparentVelocity, "最大見かけ速度"))
        .Unit("km/s");
    r.Float(kMinApparentVelocity, minApparentVelocity, 0.0, 10000.0)
        .Label(Msg(language, kMinApparentVelocity, "最小見かけ速度"))
        .Unit("km/s");
    r.Int(kMinSeparation, minSeparation, 1, 30).Label(Msg(language, kMinSeparation, "最小間隔"));
    r.Int(kMaxSeparation, maxSeparation, 1, 400).Label(Msg(language, kMaxSeparation, "最大間隔"));
    return r;
}

void CPhaseVelocityCurveDlg::Load(const PhaseDifferenceParameters& p)
{
    minimumFrequency = p.minimumFrequency;
    maximumFrequency = p.maximumFrequency;
    minimumOffset = p.minimumOffset;
    automaticShift = p.automaticShift;
    showPhaseDifference = p.showPhaseDifference;
    showPhaseVelocityCurve = p.showPhaseVelocityCurve;
    resolution = std::max(resolution, 1);
    minSeparation = std::max(minSeparation, 1);
    maxSeparation = std::max(maxSeparation, 1);
}

void CPhaseVelocityCurveDlg::Store(PhaseDifferenceParameters& p) const
{
    p.minimumFrequency = minimumFrequency;
    p.maximumFrequency = maximumFrequency;
    p.minimumOffset = minimumOffset;
    p.automaticShift = automaticShift;
    p.showPhaseDifference = showPhaseDifference;
    p.showPhaseVelocityCurve = showPhaseVelocityCurve;
}

}  // namespace velk
