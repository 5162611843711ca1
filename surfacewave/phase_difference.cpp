#include "surfacewave/phase_difference.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "dsp/correlation.h"
#include "dsp/fourier.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "surfacewave/phase_velocity_curve_dlg.h"
#include "survey/olvenar_link.h"
#include "survey/sibling_launch.h"

namespace velk {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

bool HasRow(const Matrix2D<float>& rows, int i) { return i >= rows.RowLow() && i <= rows.RowHigh(); }

double OffsetOf(const CTraceHeader& h)
{
    return (static_cast<double>(h.receiverHundredths) - h.sourceHundredths) * 0.01;
}

bool AskParameters(PairCurveContext& dc, PhaseDifferenceParameters& parameters, int* resolution)
{
    CPhaseVelocityCurveDlg dlg;
    dlg.Load(parameters);
    if (resolution) dlg.resolution = *resolution;
    DialogRequest request = dlg.Request(dc.language);
    if (!dc.ui.RunDialog(request)) return false;
    dlg.Store(parameters);
    if (resolution) *resolution = dlg.resolution;
    return true;
}

void HandOffPairCurve(PairCurveContext& dc, const PhaseDifferenceParameters& parameters, std::span<const float> f,
                      std::span<const float> phase, std::span<const float> velocity, const std::string& curveName)
{
    if (!dc.launch) return;
    const auto count = static_cast<int>(std::min({f.size(), phase.size(), velocity.size()}));
    if (parameters.showPhaseDifference && dc.olvenar) {
        dc.olvenar->PutCurve(count, f.data(), phase.data(), "Frequency(Hz)", "Phase difference");
        dc.olvenar->Launch(kPhaseDifferenceViewerData, kPhaseDifferenceViewerLayout, *dc.launch);
    }
    if (parameters.showPhaseVelocityCurve && dc.quessilPath) {
        SendCurveToQuessil(*dc.quessilPath, std::min(count, kQuessilCurvePoints), f, velocity, curveName, *dc.launch);
    }
}

}  // namespace

int PhaseDifferenceBins(int samples) { return PowerOfTwoLength(std::max(samples, 1), 1) / 8; }

int PhaseDifferenceCurve(PairCurveContext& dc, PhaseDifferenceParameters& parameters, const Matrix2D<float>& rows,
                         std::span<const CTraceHeader> headers, int traceCount, const std::string& curveName,
                         std::span<float> velocities, std::span<float> frequencies, int recordIndex)
{
    traceCount = std::min(traceCount, static_cast<int>(headers.size()));
    if (traceCount <= 0) return 0;
    if (recordIndex == 0 && !AskParameters(dc, parameters, nullptr)) return 0;

    const int samples = std::clamp(headers[0].samples, 1, static_cast<int>(std::max<size_t>(rows.Cols(), 1)));
    const int nfft = PowerOfTwoLength(samples, 1);
    const int bins = nfft / 8;
    const double df = FrequencyStep(nfft, headers[0].intervalUs * 0.001);
    const double dx =
        traceCount > 1 ? std::fabs(static_cast<double>(headers[1].receiverHundredths) - headers[0].receiverHundredths) * 0.01
                       : 0.0;

    // The phases of the used pairs, summed bin by bin in pair order.
    std::vector<double> sum(static_cast<size_t>(bins), 0.0), phase(static_cast<size_t>(nfft));
    int pairs = 0;
    for (int t = 0; t + 1 < traceCount; ++t) {
        if (dc.progress) dc.progress->SetText(FormatC("trace=%d", t));
        const double o1 = std::fabs(OffsetOf(headers[static_cast<size_t>(t)]));
        const double o2 = std::fabs(OffsetOf(headers[static_cast<size_t>(t) + 1]));
        if (!(o1 > parameters.minimumOffset && o2 > parameters.minimumOffset)) continue;
        const int nearer = o1 <= o2 ? t : t + 1;
        const int farther = nearer == t ? t + 1 : t;
        const int low = rows.RowLow();
        if (!HasRow(rows, low + nearer) || !HasRow(rows, low + farther)) continue;
        CCorrelationDlg::CrossSpectrumRows(samples, rows.Row(low + nearer), rows.Row(low + farther), phase);
        for (int k = 0; k < bins; ++k) sum[static_cast<size_t>(k)] += phase[static_cast<size_t>(k)];
        ++pairs;
    }

    std::vector<float> f(static_cast<size_t>(bins), 0.0f), meanPhase(static_cast<size_t>(bins), 0.0f),
        v(static_cast<size_t>(bins), 0.0f);
    for (int k = 1; k < bins; ++k) {
        const double fk = k * df;
        const double mean = pairs > 0 ? sum[static_cast<size_t>(k)] / pairs : 0.0;
        f[static_cast<size_t>(k)] = static_cast<float>(fk);
        meanPhase[static_cast<size_t>(k)] = static_cast<float>(mean);
        if (mean != 0.0 && fk > parameters.minimumFrequency && fk < parameters.maximumFrequency) {
            v[static_cast<size_t>(k)] = static_cast<float>(kTwoPi * fk * dx / mean);
        }
    }
    std::copy_n(v.begin(), std::min(v.size(), velocities.size()), velocities.begin());
    std::copy_n(f.begin(), std::min(f.size(), frequencies.size()), frequencies.begin());
    if (dc.progress) dc.progress->SetText({});

    if (bins > 1) {
        HandOffPairCurve(dc, parameters, std::span<const float>(f).subspan(1), std::span<const float>(meanPhase).subspan(1),
                         std::span<const float>(v).subspan(1), curveName);
    }
    return bins;
}

int CrossCorrelationAverageCurve(PairCurveContext& dc, PhaseDifferenceParameters& parameters,
                                 const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int traceCount,
                                 const std::string& curveName, std::span<float> velocities,
                                 std::span<float> frequencies, bool noDialog)
{
    traceCount = std::min(traceCount, static_cast<int>(headers.size()));
    if (traceCount <= 0) return 0;
    int resolution = 1;
    if (!noDialog && !AskParameters(dc, parameters, &resolution)) return 0;

    const int samples = std::clamp(headers[0].samples, 1, static_cast<int>(std::max<size_t>(rows.Cols(), 1)));
    const int nfft = ResolutionFftLength(samples, resolution);
    const auto length = static_cast<size_t>(nfft);
    const double df = FrequencyStep(nfft, headers[0].intervalUs * 0.001);
    const double dx =
        traceCount > 1 ? std::fabs(static_cast<double>(headers[1].receiverHundredths) - headers[0].receiverHundredths) * 0.01
                       : 0.0;

    // Rows 1 and 2 take the pair zero-padded to nfft; the correlation comes back in row 0.
    Matrix2D<float> pair(0, 2, 0, nfft - 1);
    std::vector<double> re(length, 0.0), im(length, 0.0);
    const int low = rows.RowLow();
    for (int t = 0; t + 1 < traceCount; ++t) {
        if (dc.progress) dc.progress->SetText(FormatC("trace=%d nfft=%d", t, nfft));
        const double o1 = std::fabs(OffsetOf(headers[static_cast<size_t>(t)]));
        const double o2 = std::fabs(OffsetOf(headers[static_cast<size_t>(t) + 1]));
        if (!(o1 > parameters.minimumOffset && o2 > parameters.minimumOffset)) continue;
        const int nearer = o1 <= o2 ? t : t + 1;
        const int farther = nearer == t ? t + 1 : t;
        if (!HasRow(rows, low + nearer) || !HasRow(rows, low + farther)) continue;
        for (int r = 0; r < 3; ++r) std::fill(pair.Row(r).begin(), pair.Row(r).end(), 0.0f);
        const auto copy = [&](int from, int to) {
            const auto src = rows.Row(low + from);
            std::copy_n(src.begin(), std::min(src.size(), static_cast<size_t>(samples)), pair.Row(to).begin());
        };
        copy(nearer, 1);
        copy(farther, 2);
        if (CCorrelationDlg::CrossCorrelateRows(nfft, pair, 1, 2) != nfft) continue;
        const auto c = pair.Row(0);
        float top = 0.0f;
        for (const float x : c) top = std::max(top, std::fabs(x));
        if (!(top > 0.0f)) continue;
        for (size_t k = 0; k < length; ++k) re[k] += c[k] / top;
    }
    if (dc.progress) dc.progress->SetText({});

    CFourier::Fft(re.data(), im.data(), nfft, 0, 0);
    CFourier::RectToPolar(nfft, re.data(), im.data());
    const int n = nfft / 8 > 255 ? 256 : nfft / 8;
    const auto points = static_cast<size_t>(std::max(n - 1, 0));
    std::vector<float> f(points), phase(points), v(points);
    for (size_t i = 0; i < points; ++i) {
        const double fk = static_cast<double>(i + 1) * df;
        const double p = im[i + 1];
        f[i] = static_cast<float>(fk);
        phase[i] = static_cast<float>(p);
        v[i] = p != 0.0 ? static_cast<float>(std::fabs(kTwoPi * fk * dx / p)) : 0.0f;
    }
    std::copy_n(v.begin(), std::min(v.size(), velocities.size()), velocities.begin());
    std::copy_n(f.begin(), std::min(f.size(), frequencies.size()), frequencies.begin());
    HandOffPairCurve(dc, parameters, f, phase, v, curveName);
    return static_cast<int>(points);
}

int ShowPhaseDifference(PairCurveContext& dc, const Matrix2D<float>& rows, std::span<const CTraceHeader> headers,
                        int samples, float intervalMs, int first, int second, int& nShift,
                        const std::string& fileName, PairPhaseCurve* curve)
{
    const int low = rows.RowLow();
    if (samples <= 0 || !(intervalMs > 0.0f) || first < 0 || second < 0 ||
        static_cast<size_t>(std::max(first, second)) >= headers.size() || !HasRow(rows, low + first) ||
        !HasRow(rows, low + second)) {
        return 0;
    }
    PhaseDifferenceParameters parameters;
    parameters.minimumFrequency = 0.0f;
    parameters.showPhaseDifference = 0;
    parameters.automaticShift = 0;
    parameters.showPhaseVelocityCurve = 1;
    CPhaseVelocityCurveDlg dlg;
    dlg.Load(parameters);
    dlg.nShift = nShift;
    DialogRequest request = dlg.Request(dc.language);
    if (!dc.ui.RunDialog(request)) return 0;
    dlg.Store(parameters);
    nShift = dlg.nShift;

    samples = std::min(samples, static_cast<int>(rows.Cols()));
    const int nfft = PowerOfTwoLength(samples, 1);
    const double df = 500.0 / intervalMs / (nfft / 2);
    const CTraceHeader* a = &headers[static_cast<size_t>(first)];
    const CTraceHeader* b = &headers[static_cast<size_t>(second)];
    if (b->receiverHundredths < b->sourceHundredths) {
        std::swap(a, b);
        std::swap(first, second);
    }
    const double xa = a->receiverHundredths * 0.01, xb = b->receiverHundredths * 0.01;
    const double dx = std::fabs(xb - xa);
    dc.ui.Message(FormatC(" Selected traces are %f m and %f m : %d %d ", xa, xb, first, second), MsgButtons::Ok,
                  MsgIcon::Info);

    const auto length = static_cast<size_t>(nfft);
    std::vector<double> ar(length), ai(length), br(length), bi(length), zr(length), zi(length);
    CFourier::PackComplex(samples, nfft, rows.Row(low + first).data(), ar.data(), ai.data());
    CFourier::PackComplex(samples, nfft, rows.Row(low + second).data(), br.data(), bi.data());
    CFourier::Fft(ar.data(), ai.data(), nfft, 0, 0);
    CFourier::Fft(br.data(), bi.data(), nfft, 0, 0);
    CCorrelationDlg::CrossSpectrumToPolar(nfft, ar.data(), ai.data(), br.data(), bi.data(), zr.data(), zi.data());

    PairPhaseCurve c;
    int shift = dlg.nShift;
    bool previous = false;
    double last = 0.0;
    constexpr double kPi = 3.1415927, kTwoPiF = 6.2831855;
    for (int k = 1; k < nfft / 4; ++k) {
        const double f = k * df;
        if (f < parameters.minimumFrequency) continue;
        const double phase = zi[static_cast<size_t>(k)];
        if (parameters.automaticShift && previous) {
            if (last > phase + 1.0) shift += 2;
            if (last + kTwoPiF < phase) shift -= 2;
        }
        previous = true;
        last = phase;
        const double divisor = shift * kPi + phase;
        if (divisor == 0.0) continue;
        c.frequency.push_back(static_cast<float>(f));
        c.velocity.push_back(static_cast<float>(f * dx * kTwoPiF / divisor));
        c.phase.push_back(static_cast<float>(phase));
    }
    HandOffPairCurve(dc, parameters, c.frequency, c.phase, c.velocity, fileName);
    const auto points = static_cast<int>(c.frequency.size());
    if (curve) *curve = std::move(c);
    return points;
}

}  // namespace velk
