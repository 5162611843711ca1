#include "traveltime/first_break_picker.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "dsp/band_pass.h"
#include "dsp/deconvolution.h"
#include "dsp/synthetic.h"
#include "dsp/velocity_parallel.h"
#include "platform/numtext.h"

namespace velk {

namespace {

// Truncation toward zero, kept within int.
int Trunc(double v)
{
    if (!(v > std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (!(v < std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return static_cast<int>(v);
}

bool UsableInterval(float intervalMs) { return std::isfinite(intervalMs) && intervalMs > 0.0f; }

float Frequency(float centreFrequency) { return centreFrequency > 0.0f ? centreFrequency : 100.0f; }

int TraceSamples(const Matrix2D<float>& rows, const CTraceHeader& h)
{
    return std::clamp(h.samples, 0, static_cast<int>(rows.Cols()));
}

}  // namespace

bool FirstBreakPicker::SetupWindows(std::span<const double> x, float centreFrequency, float intervalMs)
{
    const int n = static_cast<int>(x.size());
    sampleCount = n;
    windowLength = 0;
    noiseStart = signalStart = 0;
    if (!UsableInterval(intervalMs)) return false;

    const double f = Frequency(centreFrequency);
    const int l0 = std::max(10, Trunc(std::min(3.0 / f / (intervalMs * 0.001), 0.1 * n)));
    const int w = n / l0 >= 2 ? n / l0 - 1 : 1;
    const int length = n / w;
    windowLength = length;
    const int count = 2 * w - 2;
    if (count <= 0 || length < 2) return false;

    // Line length D and amplitude sum A of every window over its first length - 1 samples.
    std::vector<int> start(static_cast<size_t>(count));
    std::vector<double> d(static_cast<size_t>(count)), a(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        const int s = Trunc(k * length / 2.0);
        double dk = 0.0, ak = 0.0;
        for (int j = s; j < s + length - 1; ++j) {
            dk += std::fabs(x[static_cast<size_t>(j) + 1] - x[static_cast<size_t>(j)]);
            ak += std::fabs(x[static_cast<size_t>(j)]);
        }
        start[static_cast<size_t>(k)] = s;
        d[static_cast<size_t>(k)] = dk;
        a[static_cast<size_t>(k)] = ak;
    }

    // From the latest window to the earliest: the signal window has the largest line length
    // (the latest of equals), the noise window the smallest at or before it.
    int signal = count - 1, noise = count - 1;
    for (int k = count - 2; k >= 0; --k) {
        const double dk = d[static_cast<size_t>(k)];
        if (dk > d[static_cast<size_t>(signal)]) {
            signal = noise = k;
        } else if (dk < d[static_cast<size_t>(noise)]) {
            noise = k;
        }
    }
    signalStart = start[static_cast<size_t>(signal)];
    noiseStart = start[static_cast<size_t>(noise)];

    // With a clear contrast, the signal start moves to the first window between the two that
    // rises well above the noise, and the noise start forward over the quiet windows.
    const double aSignal = a[static_cast<size_t>(signal)];
    if (aSignal > 0.0) {
        const double aNoise = a[static_cast<size_t>(noise)];
        const double q = aNoise != 0.0 ? aNoise : 0.01 * aSignal;
        if (q / aSignal < 0.1) {
            const double threshold = q + 0.3 * (aSignal - q);
            for (int k = noise + 1; k < signal; ++k) {
                if (a[static_cast<size_t>(k)] > threshold) {
                    signalStart = start[static_cast<size_t>(k)];
                    break;
                }
            }
            for (int k = noise + 1; k < signal; ++k) {
                if (a[static_cast<size_t>(k)] > q) break;
                noiseStart = start[static_cast<size_t>(k)];
            }
        }
    }
    return true;
}

bool FirstBreakPicker::FitArModel(std::span<const double> y, std::array<double, kArOrder>& a)
{
    const size_t n = y.size();
    if (n <= static_cast<size_t>(kArOrder)) return false;
    double mean = 0.0;
    for (const double v : y) mean += v;
    mean /= static_cast<double>(n);
    std::vector<double> z(n);
    for (size_t j = 0; j < n; ++j) z[j] = y[j] - mean;
    double r[kArOrder + 1];
    for (int k = 0; k <= kArOrder; ++k) {
        double sum = 0.0;
        for (size_t j = 0; j + static_cast<size_t>(k) < n; ++j) sum += z[j] * z[j + static_cast<size_t>(k)];
        r[k] = sum / static_cast<double>(n - static_cast<size_t>(k));
    }
    if (!(r[0] > 0.0)) return false;
    // Yule-Walker: sum_j r(|i - j|) a(j) = r(i + 1).
    return CConjugateGradientDlg::SolveToeplitz(r, r + 1, a.data(), kArOrder) == 0;
}

std::array<int, 3> FirstBreakPicker::FindAicMinima(std::span<const double> aic)
{
    std::vector<int> minima;
    for (size_t i = 1; i + 1 < aic.size(); ++i) {
        const double before = aic[i] - aic[i - 1];
        const double after = aic[i + 1] - aic[i];
        if (before < 0.0 && after >= 0.0 && after - before > 0.0) minima.push_back(static_cast<int>(i));
    }
    std::array<int, 3> best{0, 0, 0};
    if (minima.empty()) return best;
    // Stable: the first of equal minima comes first.
    std::stable_sort(minima.begin(), minima.end(),
                     [&](int l, int r) { return aic[static_cast<size_t>(l)] < aic[static_cast<size_t>(r)]; });
    for (size_t k = 0; k < best.size(); ++k) best[k] = minima[std::min(k, minima.size() - 1)];
    return best;
}

AicPick FirstBreakPicker::PickAic(std::span<const double> x, float intervalMs) const
{
    AicPick pick;
    const int n = static_cast<int>(x.size());
    const int length = windowLength;
    if (length <= kArOrder || noiseStart < 0 || noiseStart + length > n || !UsableInterval(intervalMs)) {
        pick.status = AicPick::kTooShort;
        return pick;
    }

    // The noise window with a small dither, the same at every call, so that a constant
    // stretch still gives a model and repeated runs give the same picks.
    SyntheticRandom random(0);
    std::vector<double> segment(static_cast<size_t>(length));
    for (int j = 0; j < length; ++j) {
        segment[static_cast<size_t>(j)] =
            x[static_cast<size_t>(noiseStart + j)] + (static_cast<double>(random.Uniform()) - 0.5) * 0.001;
    }
    std::array<double, kArOrder> a{};
    if (!FitArModel(segment, a)) {
        pick.status = AicPick::kModelFailed;
        return pick;
    }

    const int s = std::max(0, Trunc(noiseStart - 0.1 * length));
    const int e = std::min(n - 1, Trunc(signalStart + 1.5 * length));
    const int count = e - s + 1;
    // Splits k put errors 0..k-1 before and k..count-1 after, k = 2 .. count-3; the split at
    // error k is the onset at sample s + k.
    const int firstSplit = std::max(2, noiseStart - s);
    const int lastSplit = count - 3;
    if (count < 5 || firstSplit > lastSplit) {
        pick.t1 = pick.t2 = pick.t3 = static_cast<float>((s + firstSplit) * static_cast<double>(intervalMs));
        return pick;
    }

    // Cumulative squared prediction errors; samples before the trace count as 0.
    std::vector<double> cumulative(static_cast<size_t>(count) + 1, 0.0);
    for (int i = 0; i < count; ++i) {
        const int j = s + i;
        double err = x[static_cast<size_t>(j)];
        for (int m = 1; m <= kArOrder; ++m) {
            if (j - m >= 0) err -= a[static_cast<size_t>(m - 1)] * x[static_cast<size_t>(j - m)];
        }
        cumulative[static_cast<size_t>(i) + 1] = cumulative[static_cast<size_t>(i)] + err * err;
    }
    std::vector<double> aic(static_cast<size_t>(lastSplit - firstSplit + 1));
    const double total = cumulative[static_cast<size_t>(count)];
    for (int k = firstSplit; k <= lastSplit; ++k) {
        double before = cumulative[static_cast<size_t>(k)];
        double after = total - before;
        if (!(before > 0.0)) before = 0.0001;
        if (!(after > 0.0)) after = 0.0001;
        const double nb = k, na = count - k;
        aic[static_cast<size_t>(k - firstSplit)] = na * std::log(after / na * 0.0001) + nb * std::log(before / nb * 0.0001);
    }
    const std::array<int, 3> minima = FindAicMinima(aic);
    const auto time = [&](int index) {
        return static_cast<float>((s + firstSplit + index) * static_cast<double>(intervalMs));
    };
    pick.t1 = time(minima[0]);
    pick.t2 = time(minima[1]);
    pick.t3 = time(minima[2]);
    return pick;
}

// ---------------------------------------------------------------------------------------------

namespace {

struct TracePick {
    AicPick pick;
    bool picked = false;
};

}  // namespace

void CheckPicks(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int traceCount,
                std::span<float> times, std::span<int32_t> codes, const AutoPickSettings& settings, int rounds,
                std::string* log)
{
    const int count = std::clamp(
        traceCount, 0,
        static_cast<int>(std::min({headers.size(), times.size(), codes.size(), rows.Rows()})));
    if (count < 2 || rounds <= 0) return;
    const auto u = [](int i) { return static_cast<size_t>(i); };
    const int portion = std::max(1, settings.portion);
    std::vector<double> receiver(u(count)), offset(u(count));
    for (int i = 0; i < count; ++i) {
        receiver[u(i)] = headers[u(i)].receiverHundredths * 0.01;
        offset[u(i)] = std::fabs(headers[u(i)].receiverHundredths - static_cast<double>(headers[u(i)].sourceHundredths)) * 0.01;
    }
    std::vector<char> accepted(u(count), 0);
    std::vector<double> slowness(u(count));
    std::vector<char> usable(u(count));
    std::vector<double> stretch;

    for (int round = 1; round <= rounds; ++round) {
        // Apparent slowness from the neighbours: the smaller of the two sides; a neighbour at
        // the same receiver tells nothing, and a trace without another is left out.
        double sum = 0.0;
        int used = 0;
        for (int i = 0; i < count; ++i) {
            double best = std::numeric_limits<double>::infinity();
            for (const int nb : {i - 1, i + 1}) {
                if (nb < 0 || nb >= count) continue;
                const double dx = std::fabs(receiver[u(i)] - receiver[u(nb)]);
                if (!(dx > 0.0)) continue;
                best = std::min(best, std::fabs(static_cast<double>(times[u(i)]) - times[u(nb)]) / dx);
            }
            usable[u(i)] = std::isfinite(best);
            slowness[u(i)] = usable[u(i)] ? best : 0.0;
            if (usable[u(i)]) {
                sum += best;
                ++used;
            }
        }
        const double mean = used > 0 ? sum / used : 0.0;
        const bool checkable = mean > 0.0 && std::isfinite(mean);
        for (int i = 0; i < count; ++i) {
            const double ratio = checkable ? slowness[u(i)] / mean : 0.0;
            if (log) *log += FormatC("%d %f %f %f \n", i, static_cast<double>(times[u(i)]), slowness[u(i)], ratio);
            if (!checkable || !usable[u(i)]) continue;
            const bool near = offset[u(i)] < settings.nearOffsetLimit;
            if ((!near && ratio < 2.0) || (near && ratio < 6.0)) accepted[u(i)] = 1;
        }
        if (!checkable) continue;

        for (int i = 0; i < count; ++i) {
            if (accepted[u(i)] || !usable[u(i)]) continue;
            double neighbourTime = 0.0;
            int neighbours = 0;
            for (const int nb : {i - 1, i + 1}) {
                if (nb < 0 || nb >= count || !accepted[u(nb)]) continue;
                neighbourTime += times[u(nb)];
                ++neighbours;
            }
            if (neighbours == 0) continue;
            neighbourTime /= neighbours;

            const CTraceHeader& h = headers[u(i)];
            const int samples = std::clamp(h.samples, 0, static_cast<int>(rows.Cols()));
            if (!UsableInterval(h.intervalUs)) continue;
            const int centre = Trunc(neighbourTime * 1000.0 / h.intervalUs);
            if (centre < 0 || centre >= samples) continue;
            const int v = samples / portion;
            const int j0 = std::max(0, centre - v / 4);
            const int j1 = std::min(samples, j0 + 3 * v / 4);
            if (j1 <= j0) continue;
            const std::span<const float> row = rows.Row(rows.RowLow() + i);
            stretch.assign(row.begin() + j0, row.begin() + j1);
            const float dt = h.intervalUs * 0.001f;
            FirstBreakPicker picker;
            if (!picker.SetupWindows(stretch, settings.centreFrequency, dt)) continue;
            const AicPick pick = picker.PickAic(stretch, dt);
            if (pick.status != AicPick::kPicked) continue;
            const double windowStart = j0 * static_cast<double>(h.intervalUs) * 0.001;
            times[u(i)] = static_cast<float>(windowStart + pick.t1);
            codes[u(i)] = 1;
            if (log) {
                *log += FormatC("Check %d %d %f %f %f \n", round, i, static_cast<double>(times[u(i)]),
                                static_cast<double>(pick.t1), windowStart);
            }
        }
    }
}

std::string AutoPickFirstBreaks(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int traceCount,
                                int logFlag, std::span<float> times, std::span<int32_t> codes,
                                const AutoPickSettings& settings, int threads)
{
    const int count = std::clamp(
        traceCount, 0,
        static_cast<int>(std::min({headers.size(), times.size(), codes.size(), rows.Rows()})));
    const auto u = [](int i) { return static_cast<size_t>(i); };
    int longest = 0;
    for (int i = 0; i < count; ++i) longest = std::max(longest, TraceSamples(rows, headers[u(i)]));

    // One band-pass for the record: 1 Hz to five times the centre frequency, 20 dB per octave.
    const float frequency = Frequency(settings.centreFrequency);
    std::vector<double> curve;
    int transformLength = 0;
    if (settings.bandPass == 1 && count > 0 && longest >= 2) {
        transformLength = CBandPassDlg::FftLength(longest, 1);
        curve.assign(u(transformLength / 2 + 1), 0.0);
        CBandPassDlg::MakeSlopeFilter(static_cast<int>(curve.size()), headers[0].intervalUs * 0.001f, 1.0f,
                                      5.0f * frequency, 20.0f, 20.0f, curve.data());
    }

    std::vector<TracePick> results(u(count));
    const auto pickRange = [&](int first, int last) {
        std::vector<double> x;
        for (int i = first; i < last; ++i) {
            const CTraceHeader& h = headers[u(i)];
            const std::span<const float> row = rows.Row(rows.RowLow() + i);
            x.assign(row.begin(), row.begin() + TraceSamples(rows, h));
            if (!curve.empty()) CBandPassDlg::FilterArray(static_cast<int>(x.size()), transformLength, x.data(), curve);
            FirstBreakPicker picker;
            TracePick& r = results[u(i)];
            const float dt = h.intervalUs * 0.001f;
            if (!picker.SetupWindows(x, frequency, dt)) {
                r.pick.status = AicPick::kTooShort;
                continue;
            }
            r.pick = picker.PickAic(x, dt);
            r.picked = r.pick.status == AicPick::kPicked;
        }
    };
    const int64_t cost = std::max<int64_t>(1, longest) * (curve.empty() ? 40 : 80);
    velocity_detail::ParallelFor(count, cost, pickRange, threads);

    std::string log;
    for (int i = 0; i < count; ++i) {
        const TracePick& r = results[u(i)];
        times[u(i)] = r.picked ? r.pick.t1 : 0.0f;
        codes[u(i)] = r.picked ? 1 : kUnpickedCode;
        if (logFlag == 1) {
            log += FormatC(" %f %f %f \n", static_cast<double>(r.pick.t1), static_cast<double>(r.pick.t2),
                           static_cast<double>(r.pick.t3));
        }
    }
    if (settings.numberOfChecking > 0) {
        CheckPicks(rows, headers, count, times, codes, settings, settings.numberOfChecking,
                   logFlag == 1 ? &log : nullptr);
    }
    return log;
}

}  // namespace velk
