#include "surfacewave/taup_velocity_range_dlg.h"

#include <cmath>

#include "platform/uihost.h"

namespace velk {

DialogRequest CTauPVelocityRangeDlg::Request(int)
{
    DialogRequest r(kClass, "tau-p transform");
    r.Float("Min. velocity", minVelocity).Unit("km/sec");
    r.Float("Max. velocity", maxVelocity).Unit("km/sec");
    r.Float("Minimum offset", minimumOffset).Unit("m");
    r.Float("Maximum offset", maximumOffset).Unit("m");
    return r;
}

void CTauPVelocityRangeDlg::Load(const TauPSettings& settings)
{
    minVelocity = 0.0f;
    maxVelocity = settings.endSlowness;
    minimumOffset = settings.minimumOffset;
    maximumOffset = settings.maximumOffset;
}

void CTauPVelocityRangeDlg::Store(TauPSettings& settings, int maxTraces) const
{
    settings.startSlowness = minVelocity;
    settings.endSlowness = maxVelocity;
    settings.slownessStep = VelocityStep(minVelocity, maxVelocity, maxTraces);
    settings.stackingMode = 0;
    settings.minimumOffset = minimumOffset;
    settings.maximumOffset = maximumOffset;
}

float CTauPVelocityRangeDlg::VelocityStep(float start, float end, int maxTraces)
{
    const float range = std::fabs(end - start);
    // The counts are compared in double, so that a range of any size cannot overflow an int.
    auto count = [range](float step) { return std::trunc(static_cast<double>(range / step)) + 1.0; };
    float step = kStep;
    if (static_cast<double>(maxTraces) < count(step)) step = 2.0f * kStep;
    if (static_cast<double>(maxTraces) < count(step)) step *= 2.0f;
    return step;
}

}  // namespace velk
