#include "base/parameter_set.h"

#include <algorithm>
#include <cassert>

#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

int CParameterSet::Allocate(int n)
{
    if (n <= 0) {
        return 0;
    }
    const auto size = static_cast<size_t>(n);
    // Build first, then take: a failed allocation leaves the set as it was.
    std::vector<float> maxima(size, 0.0f);
    std::vector<float> picks(size, 0.0f);
    std::vector<int32_t> codes(size, 1);
    std::vector<int32_t> flags(size, 0);
    traceMaxima.swap(maxima);
    pickTimes.swap(picks);
    layerCodes.swap(codes);
    selectionFlags.swap(flags);
    capacity = n;
    ownsArrays = 1;
    recordKind = 0;
    windowStartTime = 0.0f;
    pickShape = kPicksOfOneShot;
    return n;
}

void CParameterSet::CopyScalarsTo(CParameterSet& d) const
{
    d.traceCount = traceCount;
    d.tracesShown = tracesShown;
    d.samplesPerTrace = samplesPerTrace;
    d.samplesShown = samplesShown;
    d.sampleInterval = sampleInterval;
    d.shownTime = shownTime;
    d.timeAxisStart = timeAxisStart;
    d.hscale = hscale;
    d.vscale = vscale;
    d.plotscale = plotscale;
    d.normalisation = normalisation;
    d.verticalAxisKind = verticalAxisKind;
    d.horizontalAxisKind = horizontalAxisKind;
    d.recordMaximum = recordMaximum;
    d.recordKind = recordKind;
    d.windowStartTime = windowStartTime;
    d.pickShape = pickShape;
}

int CParameterSet::CopyTo(CParameterSet& d) const
{
    if (ownsArrays == 0) {
        return 0;
    }
    assert(capacity == d.capacity);
    CopyScalarsTo(d);
    const int n = std::clamp(traceCount, 0, std::min(capacity, d.capacity));
    std::copy_n(traceMaxima.begin(), n, d.traceMaxima.begin());
    std::copy_n(pickTimes.begin(), n, d.pickTimes.begin());
    std::copy_n(layerCodes.begin(), n, d.layerCodes.begin());
    return 1;
}

int CParameterSet::CountInCapacity() const
{
    return std::clamp(traceCount, 0, static_cast<int>(selectionFlags.size()));
}

void CParameterSet::ClearFlags()
{
    std::fill_n(selectionFlags.begin(), CountInCapacity(), 0);
}

int CParameterSet::AnyFlagSet() const
{
    const int n = CountInCapacity();
    for (int i = 0; i < n; ++i) {
        if (selectionFlags[static_cast<size_t>(i)] == 1) {
            return 1;
        }
    }
    return 0;
}

int CopyParameterSet(const CParameterSet& from, CParameterSet& to, UiHost& ui, int language)
{
    if (from.CopyTo(to) == 0) {
        ui.Message(Msg(language, CParameterSet::kCannotCopy,
                       "パラメータオブジェクトをコピーできません !"),
                   MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    return 1;
}

}  // namespace velk
