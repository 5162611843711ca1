#include "app/dsp/filter_test.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "dsp/band_pass.h"
#include "dsp/fourier.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

// FNV-1a over the values that decide the transform of the test trace.
class Signature {
public:
    void Add(const void* data, size_t size)
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            hash_ = (hash_ ^ bytes[i]) * 1099511628211ULL;
        }
    }
    uint64_t Value() const { return hash_; }

private:
    uint64_t hash_ = 1469598103934665603ULL;
};

uint64_t TraceSignature(const Workspace& ws, int trace, int length)
{
    const WaveformStore& store = ws.store;
    const CTraceHeader& h = store.current.headers[static_cast<size_t>(trace)];
    const int n = store.TraceSamples(trace);
    Signature s;
    s.Add(&trace, sizeof trace);
    s.Add(&length, sizeof length);
    s.Add(&h.intervalUs, sizeof h.intervalUs);
    s.Add(&n, sizeof n);
    s.Add(store.current.rows.Row(trace).data(), static_cast<size_t>(n) * sizeof(float));
    return s.Value();
}

void Clear(FilterTest& test)
{
    test.testTrace = -1;
    test.length = 0;
    test.spectrumBins = 0;
    test.signature = 0;
    test.spectrumRe.clear();
    test.spectrumIm.clear();
    test.power.clear();
    test.filtered.clear();
    test.powerMaximum = 0.0f;
}

int TransformLength(const Workspace& ws, int trace)
{
    return CBandPassDlg::FftLength(ws.store.TraceSamples(trace), 1);
}

// The test trace's baseline B' (its along-distance coordinate, positive downwards).
int Baseline(const Workspace& ws, const FilterTest& test, const FilterTestGeometry& g)
{
    const CTraceHeader& h = ws.store.current.headers[static_cast<size_t>(test.testTrace)];
    const double d = (h.receiverHundredths * 0.01 - static_cast<double>(g.distanceOrigin)) *
                     static_cast<double>(ws.store.Params().plotscale);
    return g.yorg + static_cast<int>(std::clamp(d, -1e9, 1e9));
}

int CutX(const Workspace& ws, const FilterTest& test, const FilterTestGeometry& g, float cut)
{
    const double x = static_cast<double>(ws.store.Params().hscale) * test.frequencyScale * cut;
    return g.xorg + static_cast<int>(std::clamp(x, -1e9, 1e9));
}

// The gain the wiggle drawing gives the trace: by trace (normalisation 0) 1000 / its peak, by
// file (1) 1000 / the record's peak, otherwise 1; times the trace's display factor.
double TraceGain(const Workspace& ws, int trace)
{
    const WaveformStore& store = ws.store;
    const CParameterSet& p = store.Params();
    const double factor = static_cast<size_t>(trace) < store.displayFactor.size()
                              ? store.displayFactor[static_cast<size_t>(trace)]
                              : 1.0;
    double peak = 0.0;
    if (p.normalisation == 0) {
        peak = static_cast<size_t>(trace) < p.traceMaxima.size() ? p.traceMaxima[static_cast<size_t>(trace)] : 0.0;
    } else if (p.normalisation == 1) {
        peak = p.recordMaximum;
    } else {
        return factor;
    }
    return peak > 0.0 ? factor * 1000.0 / peak : 0.0;
}

int32_t Truncate(double v) { return static_cast<int32_t>(std::clamp(v, -1e9, 1e9)); }

void BuildPoints(const Workspace& ws, FilterTest& test, const FilterTestGeometry& g)
{
    const WaveformStore& store = ws.store;
    const CParameterSet& p = store.Params();
    const CTraceHeader& h = store.current.headers[static_cast<size_t>(test.testTrace)];
    const int base = Baseline(ws, test, g);
    const double gain = TraceGain(ws, test.testTrace) * ws.settings.polarity;
    const double clipLimit = static_cast<double>(g.meanSpacing) * p.plotscale * 0.49;
    const bool clip = ws.display.clip == -1;
    const int shading = ws.settings.shading;

    test.tracePoints.clear();
    const int n = static_cast<int>(test.filtered.size());
    for (int s = 0; s < n; ++s) {
        const int32_t x = g.xorg + Truncate(static_cast<double>(s) * p.hscale * h.intervalUs * 0.001);
        const double a = static_cast<double>(p.vscale) * test.filtered[static_cast<size_t>(s)] * gain;
        int32_t d = Truncate(a);
        if (clip && std::fabs(a) > clipLimit) {
            d = a > 0 ? Truncate(clipLimit) : -Truncate(clipLimit);
        }
        const LPoint point{x, -base + d};
        test.tracePoints.push_back(point);
        if ((shading == 1 && a > 0) || (shading == -1 && a < 0)) {
            test.tracePoints.push_back({x, -base});
            test.tracePoints.push_back(point);
        }
    }

    test.spectrumPoints.clear();
    if (test.powerMaximum > 0.0f) {
        const double scale = static_cast<double>(p.vscale) * (1000.0 / test.powerMaximum) * 4.0;
        for (int j = 0; j < test.spectrumBins && j < static_cast<int>(test.power.size()); ++j) {
            const int32_t x = g.xorg + Truncate(static_cast<double>(j) * test.df * test.frequencyScale * p.hscale);
            const int32_t y =
                -(Truncate(scale * test.power[static_cast<size_t>(j)]) + base + FilterTest::kSpectrumOffset);
            test.spectrumPoints.push_back({x, y});
        }
    }

    const int32_t top = -base - FilterTest::kMarkerTop;
    const int32_t bottom = -base - FilterTest::kSpectrumOffset;
    const int32_t lowX = CutX(ws, test, g, ws.settings.bpfLowCut);
    const int32_t highX = CutX(ws, test, g, FilterTestHighCut(ws, test));
    test.lowMarker[0] = {lowX, bottom};
    test.lowMarker[1] = {lowX, top};
    test.highMarker[0] = {highX, bottom};
    test.highMarker[1] = {highX, top};
}

}  // namespace

int FirstSelectedTrace(const Workspace& ws)
{
    const std::vector<int32_t>& flags = ws.store.Params().selectionFlags;
    const int traces = std::min(ws.store.TraceCount(), static_cast<int>(flags.size()));
    for (int i = 0; i < traces; ++i) {
        if (flags[static_cast<size_t>(i)] == 1) {
            return i;
        }
    }
    return -1;
}

float FilterTestHighCut(const Workspace& ws, const FilterTest& test)
{
    const float top = static_cast<float>(test.spectrumBins) * test.df;
    return std::min(ws.settings.bpfHighCut, top);
}

bool ComputeFilterTest(const Workspace& ws, FilterTest& test, int trace)
{
    const WaveformStore& store = ws.store;
    if (trace < 0 || trace >= store.TraceCount()) {
        Clear(test);
        return false;
    }
    const int n = store.TraceSamples(trace);
    const float intervalMs = store.current.headers[static_cast<size_t>(trace)].intervalUs * 0.001f;
    if (n == 0 || !IsValidInterval(intervalMs)) {
        Clear(test);
        return false;
    }
    const int length = TransformLength(ws, trace);
    test.testTrace = trace;
    test.length = length;
    test.spectrumBins = length <= 256 ? length / 2 : length / 16;
    test.df = 1000.0f / (static_cast<float>(length) * intervalMs);
    test.frequencyScale = static_cast<float>(length) * intervalMs / (static_cast<float>(test.spectrumBins) * test.df);

    const auto size = static_cast<size_t>(length);
    test.spectrumRe.assign(size, 0.0);
    test.spectrumIm.assign(size, 0.0);
    CBandPassDlg::PackRowComplex(store.current.rows.Row(trace), n, length, test.spectrumRe.data(),
                                 test.spectrumIm.data());
    CBandPassDlg::Fft(test.spectrumRe.data(), test.spectrumIm.data(), length, 0, 0);
    test.power.resize(size);
    double maximum = 0.0;
    for (size_t j = 0; j < size; ++j) {
        const double pw = test.spectrumRe[j] * test.spectrumRe[j] + test.spectrumIm[j] * test.spectrumIm[j];
        test.power[j] = static_cast<float>(-pw);
        maximum = std::max(maximum, pw);
    }
    test.powerMaximum = static_cast<float>(maximum);
    test.signature = TraceSignature(ws, trace, length);
    RefilterTest(ws, test);
    return true;
}

void RefilterTest(const Workspace& ws, FilterTest& test)
{
    if (test.testTrace < 0 || test.length < 2) {
        test.filtered.clear();
        return;
    }
    const int length = test.length;
    const int count = length / 2 + 1;
    const float intervalMs = ws.store.current.headers[static_cast<size_t>(test.testTrace)].intervalUs * 0.001f;
    const float low = ws.settings.bpfLowCut;
    const float high = FilterTestHighCut(ws, test);
    std::vector<double> curve(static_cast<size_t>(count));
    CBandPassDlg::MakeSlopeFilter(count, intervalMs, low, high, ws.settings.bpfLowSlope, ws.settings.bpfHighSlope,
                                  curve.data());
    std::vector<double> re = test.spectrumRe;
    std::vector<double> im = test.spectrumIm;
    CBandPassDlg::FilterSymmetric(curve.data(), re.data(), im.data(), length, count);
    CBandPassDlg::Fft(re.data(), im.data(), length, 0, 1);
    const int n = ws.store.TraceSamples(test.testTrace);
    test.filtered.resize(static_cast<size_t>(std::min(n, length)));
    for (size_t s = 0; s < test.filtered.size(); ++s) {
        test.filtered[s] = static_cast<float>(re[s]);
    }
    test.filteredLow = low;
    test.filteredHigh = high;
    test.filteredLowSlope = ws.settings.bpfLowSlope;
    test.filteredHighSlope = ws.settings.bpfHighSlope;
}

int OnFilterTest(Workspace& ws, UiHost& ui)
{
    FilterTest& test = ws.filterTest;
    const int trace = FirstSelectedTrace(ws);
    if (trace < 0) {
        ui.Message(Msg(ws.startup.language, "Select a trace", "トレースを選択してください"), MsgButtons::Ok,
                   MsgIcon::Warning);
        return 0;
    }
    if (!ComputeFilterTest(ws, test, trace)) {
        ui.Message(InvalidIntervalMessage(ws.startup.language), MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    ws.settings.bpfHighCut = FilterTestHighCut(ws, test);
    ws.display.editMode = 8;
    test.grabbedCut = -1;
    return 1;
}

std::string FilterTestStatus(const Workspace& ws, const FilterTest& test)
{
    std::string text = FormatC("Status : filter test Low cut=%fHz High cut=%fHz",
                               static_cast<double>(ws.settings.bpfLowCut),
                               static_cast<double>(FilterTestHighCut(ws, test)));
    if (test.grabbedCut == 0) {
        text += " modify：Low cut frequency";
    } else if (test.grabbedCut == 1) {
        text += " modify：High cut frequency";
    }
    return text;
}

void DrawFilterTest(Canvas& canvas, const Workspace& ws, FilterTest& test, const FilterTestGeometry& geometry)
{
    const int trace = FirstSelectedTrace(ws);
    if (trace < 0) {
        return;
    }
    if (trace != test.testTrace || test.signature != TraceSignature(ws, trace, TransformLength(ws, trace))) {
        if (!ComputeFilterTest(ws, test, trace)) {
            return;
        }
    } else if (test.filteredLow != ws.settings.bpfLowCut || test.filteredHigh != FilterTestHighCut(ws, test) ||
               test.filteredLowSlope != ws.settings.bpfLowSlope ||
               test.filteredHighSlope != ws.settings.bpfHighSlope) {
        RefilterTest(ws, test);
    }
    BuildPoints(ws, test, geometry);

    canvas.SetPen(Pen{PenStyle::Solid, FilterTest::kCurvePen, FilterTest::kColour});
    canvas.SetBrush(Brush{FilterTest::kColour, false});
    if (!test.tracePoints.empty()) {
        canvas.Polyline(test.tracePoints);
    }
    if (!test.spectrumPoints.empty()) {
        if (ws.display.spectrumFill == 1) {
            const int32_t base = -(Baseline(ws, test, geometry) + FilterTest::kSpectrumOffset);
            std::vector<LPoint> polygon = test.spectrumPoints;
            polygon.push_back({test.spectrumPoints.back().x, base});
            polygon.push_back({test.spectrumPoints.front().x, base});
            canvas.Polygon(polygon, FillMode::Winding);
        } else {
            canvas.Polyline(test.spectrumPoints);
        }
    }
    canvas.SetPen(Pen{PenStyle::Solid, FilterTest::kMarkerPen, FilterTest::kColour});
    for (const LPoint* marker : {test.lowMarker, test.highMarker}) {
        canvas.MoveTo(marker[0]);
        canvas.LineTo(marker[1]);
    }
    canvas.SetTextColour(Rgb{0, 0, 0});
    canvas.TextOut(FilterTest::kStatusAt, FilterTestStatus(ws, test));
}

bool GrabCut(const Workspace& ws, FilterTest& test, int a, int b, const FilterTestGeometry& geometry)
{
    if (test.testTrace < 0 || test.testTrace >= ws.store.TraceCount()) {
        return false;
    }
    const int base = Baseline(ws, test, geometry);
    if (!(b > base + FilterTest::kMarkerTop && b < base + FilterTest::kSpectrumOffset)) {
        return false;
    }
    if (std::abs(CutX(ws, test, geometry, ws.settings.bpfLowCut) - a) < FilterTest::kGrabDistance) {
        test.grabbedCut = 0;
    } else if (std::abs(CutX(ws, test, geometry, FilterTestHighCut(ws, test)) - a) < FilterTest::kGrabDistance) {
        test.grabbedCut = 1;
    } else {
        return false;
    }
    return true;
}

bool MoveCut(Workspace& ws, FilterTest& test, int a, const FilterTestGeometry& geometry)
{
    const float hscale = ws.store.Params().hscale;
    if (test.grabbedCut < 0 || test.testTrace < 0 || !(hscale > 0.0f) || !(test.frequencyScale > 0.0f)) {
        return false;
    }
    const float f = static_cast<float>(a - geometry.xorg) / hscale / test.frequencyScale;
    float& low = ws.settings.bpfLowCut;
    float& high = ws.settings.bpfHighCut;
    if (test.grabbedCut == 0) {
        low = f;
        if (low > high - 1.0f) {
            low = high - 1.0f;
        }
        if (low < 1.0f) {
            low = 1.0f;
        }
    } else {
        high = std::min(f, static_cast<float>(test.spectrumBins) * test.df);
        if (high < low + 1.0f) {
            high = low + 1.0f;
        }
    }
    RefilterTest(ws, test);
    return true;
}

void ReleaseCut(FilterTest& test) { test.grabbedCut = -1; }

}  // namespace velk
