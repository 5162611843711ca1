#include "app/view/record_extents.h"

#include <algorithm>
#include <cmath>

#include "app/workspace.h"
#include "platform/language.h"

namespace velk {

float ClampScale(float value)
{
    if (!(value >= kScaleMin)) return kScaleMin;  // also NaN
    return std::min(value, kScaleMax);
}

void MultiplyScale(float& scale, double factor)
{
    const double product = static_cast<double>(scale) * factor;
    if (!(product >= static_cast<double>(kScaleMin))) {
        scale = kScaleMin;
    } else if (product > static_cast<double>(kScaleMax)) {
        scale = kScaleMax;
    } else {
        scale = static_cast<float>(product);
    }
}

bool IsValidInterval(float intervalMs) { return std::isfinite(intervalMs) && intervalMs > 0.0f; }

double DrawnIntervalUs(const Workspace& ws, int trace)
{
    const WaveformStore& store = ws.store;
    if (trace < 0 || static_cast<size_t>(trace) >= store.current.headers.size()) return 0.0;
    const double word = store.current.headers[static_cast<size_t>(trace)].intervalUs;
    const CParameterSet& p = store.Params();
    if (p.recordKind != 1 && p.recordKind != 2) return word;
    if (!IsValidInterval(p.sampleInterval)) return word;
    const double exact = static_cast<double>(p.sampleInterval) * 1000.0;
    return std::fabs(std::trunc(exact) - word) <= 1.0 ? exact : word;
}

std::string InvalidIntervalMessage(int language)
{
    return Msg(language, "The sampling time of this record is not valid.",
               "このレコードのサンプリング時間が正しくありません。");
}

void ClampDisplayWindow(Workspace& ws)
{
    CParameterSet& p = ws.store.Params();
    DisplayState& d = ws.display;
    const int traces = ws.store.TraceCount();
    const int samples = std::max(0, p.samplesPerTrace);
    p.tracesShown = std::clamp(p.tracesShown, 0, traces);
    p.samplesShown = std::clamp(p.samplesShown, 0, samples);
    // The lower bound last: with more shown than exist the upper bound is negative.
    d.firstTraceShown = std::max(0, std::min(d.firstTraceShown, traces - p.tracesShown));
    d.firstSampleShown = std::max(0, std::min(d.firstSampleShown, samples - p.samplesShown));
    p.windowStartTime = static_cast<float>(d.firstSampleShown) * p.sampleInterval;
    p.shownTime = static_cast<float>(p.samplesShown) * p.sampleInterval;
}

void FitDisplayWindow(Workspace& ws, int tracesBefore)
{
    if (ws.store.TraceCount() > tracesBefore) {
        ws.store.Params().tracesShown = ws.store.TraceCount();
        ws.display.firstTraceShown = 0;
    }
    ClampDisplayWindow(ws);
}

bool RecalcRecordExtents(Workspace& ws, int replace)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    DisplayState& d = ws.display;
    const int traces = store.TraceCount();

    int samples = 0;
    for (int i = 0; i < traces; ++i) samples = std::max(samples, store.TraceSamples(i));
    p.samplesPerTrace = samples;
    if (traces > 0) {
        const auto& headers = store.current.headers;
        p.sampleInterval = static_cast<float>(static_cast<double>(headers[0].intervalUs) * 0.001);
        d.firstReceiver = static_cast<float>(headers[0].receiverHundredths * 0.01);
        d.lastReceiver = static_cast<float>(headers[static_cast<size_t>(traces - 1)].receiverHundredths * 0.01);
    }

    p.timeAxisStart = 0.0f;
    p.samplesShown = samples;
    p.tracesShown = traces;
    d.firstTraceShown = 0;
    d.firstSampleShown = 0;
    p.windowStartTime = 0.0f;
    p.shownTime = static_cast<float>(samples) * p.sampleInterval;

    if (replace == 1 && d.firstRecordScaled == 0) {
        p.plotscale = 50.0f;
        p.hscale = samples > 4096 ? 2.0f : samples > 2048 ? 5.0f : 25.0f;
        d.firstRecordScaled = 1;
    }

    if (traces > 0) store.ComputeTraceMaxima();
    d.axesFixed = 0;
    return IsValidInterval(p.sampleInterval);
}

void RestoreDisplayFromLevel1(Workspace& ws)
{
    CParameterSet& p = ws.store.Params();
    const CParameterSet& level1 = ws.store.level1.params;
    p.tracesShown = level1.tracesShown;
    p.samplesShown = level1.samplesShown;
    p.hscale = ClampScale(level1.hscale);
    p.normalisation = level1.normalisation;
    p.verticalAxisKind = level1.verticalAxisKind;
    p.horizontalAxisKind = level1.horizontalAxisKind;
    ws.store.dataKind() = kTimeDomain;
    ClampDisplayWindow(ws);
}

}  // namespace velk
