#include "surfacewave/contour_settings.h"

#include "base/settings_io.h"
#include "platform/profile.h"

namespace velk {

PeakPickParameters PickParametersOf(const CContourSettings& s)
{
    PeakPickParameters p;
    p.mode = s.spacDimension == 1 ? 1 : 0;
    p.distanceUnit = s.distanceUnitText;
    p.firstUse = s.firstUse;
    p.ratioLimit1 = s.maximumWavelengthFactor;
    p.ratioLimit2 = s.minimumWavelengthFactor;
    p.minimumOffset = s.minimumFrequency;
    p.minimumTime = s.minimumPhaseVelocity;
    p.maximumTime = s.endVelocity * 1000.0f;
    p.ratioCheck = s.minMaxPlot == 1 ? 1 : 0;
    p.ratioUpperThreshold = s.maximumReceiverSpacing;
    p.ratioLowerThreshold = s.minimumReceiverSpacing;
    p.medianSmoothing = s.medianFilter;
    p.medianWindow = s.medianSamples;
    return p;
}

void TakePickParameters(const PeakPickParameters& p, CContourSettings& s)
{
    s.firstUse = p.firstUse;
    s.maximumWavelengthFactor = p.ratioLimit1;
    s.minimumWavelengthFactor = p.ratioLimit2;
    s.minimumFrequency = p.minimumOffset;
    s.minimumPhaseVelocity = p.minimumTime;
    s.minMaxPlot = p.ratioCheck == 1 ? 1 : 0;
    s.medianFilter = p.medianSmoothing;
    s.medianSamples = p.medianWindow;
}

void SaveContourSettings(Profile& profile, const CContourSettings& s)
{
    Profile::Batch batch(profile);
    WriteSettingInt(profile, "bMedianFilter", s.medianFilter);
    WriteSettingInt(profile, "MinMaxPlot", s.minMaxPlot);
}

}  // namespace velk
