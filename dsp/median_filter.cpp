#include "dsp/median_filter.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "dsp/velocity_parallel.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

namespace {

using velocity_detail::ParallelFor;

// The traces of the window around c: [first, last).
void Window(int c, int M, int traceCount, int& first, int& last)
{
    const int start = c - (M - 1) / 2;
    first = std::max(start, 0);
    last = std::min(start + M, traceCount);
}

std::span<const float> RowOf(const Matrix2D<float>& m, int i) { return m.Row(m.RowLow() + i); }
std::span<float> RowOf(Matrix2D<float>& m, int i) { return m.Row(m.RowLow() + i); }

// Counts limited to what both matrices hold.
void Limit(const Matrix2D<float>& input, const Matrix2D<float>& output, int& traceCount, int& sampleCount)
{
    traceCount = std::clamp(traceCount, 0, static_cast<int>(std::min(input.Rows(), output.Rows())));
    sampleCount = std::clamp(sampleCount, 0, static_cast<int>(std::min(input.Cols(), output.Cols())));
}

// trunc(v) when it is a sample index below `count` (v in (-1, count)), else -1.
inline int SampleIndex(double v, int count) { return v > -1.0 && v < count ? static_cast<int>(v) : -1; }

}  // namespace

float MedianOfValues(float* values, int count)
{
    if (count < 1) {
        return 0.0f;
    }
    // The ((count - 1)/2 + 1)-th largest is the ascending element count - 1 - (count - 1)/2.
    float* nth = values + (count - 1 - (count - 1) / 2);
    std::nth_element(values, nth, values + count);
    return *nth;
}

void MedianAcrossTraces(int traceCount, int M, const Matrix2D<float>& input, Matrix2D<float>& output,
                        int sampleCount)
{
    Limit(input, output, traceCount, sampleCount);
    M = std::max(M, 1);
    ParallelFor(traceCount, static_cast<int64_t>(sampleCount) * M * 2, [&](int begin, int end) {
        std::vector<float> buffer(static_cast<size_t>(M));
        for (int i = begin; i < end; ++i) {
            int first, last;
            Window(i, M, traceCount, first, last);
            const std::span<float> out = RowOf(output, i);
            for (int k = 0; k < sampleCount; ++k) {
                int n = 0;
                for (int t = first; t < last; ++t) {
                    buffer[static_cast<size_t>(n++)] = RowOf(input, t)[static_cast<size_t>(k)];
                }
                out[static_cast<size_t>(k)] = MedianOfValues(buffer.data(), n);
            }
        }
    });
}

void MedianAlongSlowness(int traceCount, int M, const Matrix2D<float>& input, Matrix2D<float>& output,
                         int sampleCount, float dt, std::span<const double> positions, float minVelocity,
                         float maxVelocity, int steps, int weighting)
{
    Limit(input, output, traceCount, sampleCount);
    M = std::max(M, 1);
    if (steps < 2 || !(minVelocity > 0.0f) || !(maxVelocity > 0.0f) || !(dt > 0.0f) ||
        positions.size() < static_cast<size_t>(traceCount)) {
        for (int i = 0; i < traceCount; ++i) {
            std::copy_n(RowOf(input, i).begin(), sampleCount, RowOf(output, i).begin());
        }
        return;
    }
    const double pStart = 1.0 / static_cast<double>(minVelocity);
    const double pStep = (1.0 / static_cast<double>(maxVelocity) - pStart) / (steps - 1);
    const double interval = dt;
    const auto us = static_cast<size_t>(sampleCount);

    ParallelFor(traceCount, static_cast<int64_t>(sampleCount) * M * (steps + 2), [&](int begin, int end) {
        std::vector<double> shift(static_cast<size_t>(steps) * static_cast<size_t>(M));
        std::vector<double> best(us);
        std::vector<int> bestStep(us);
        std::vector<float> buffer(static_cast<size_t>(M));
        for (int c = begin; c < end; ++c) {
            int first, last;
            Window(c, M, traceCount, first, last);
            const int width = last - first;
            const double xc = positions[static_cast<size_t>(c)];
            for (int e = 0; e < steps; ++e) {
                const double p = pStart + e * pStep;
                for (int m = 0; m < width; ++m) {
                    const double xt = positions[static_cast<size_t>(first + m)];
                    shift[static_cast<size_t>(e) * static_cast<size_t>(M) + static_cast<size_t>(m)] =
                        (xt - xc) * p / interval;
                }
            }
            std::fill(best.begin(), best.end(), 0.0);
            std::fill(bestStep.begin(), bestStep.end(), 0);
            for (int e = 0; e < steps; ++e) {
                const double* s = shift.data() + static_cast<size_t>(e) * static_cast<size_t>(M);
                for (int k = 0; k < sampleCount; ++k) {
                    double sum = 0.0;
                    double squares = 0.0;
                    int count = 0;
                    for (int m = 0; m < width; ++m) {
                        const int n = SampleIndex(k + s[m], sampleCount);
                        if (n >= 0) {
                            const double v = RowOf(input, first + m)[static_cast<size_t>(n)];
                            sum += v;
                            squares += v * v;
                            ++count;
                        }
                    }
                    const double semblance = squares > 0.0 ? sum * sum / (count * squares) : 0.0;
                    if (semblance >= best[static_cast<size_t>(k)]) {
                        best[static_cast<size_t>(k)] = semblance;
                        bestStep[static_cast<size_t>(k)] = e;
                    }
                }
            }
            const std::span<float> out = RowOf(output, c);
            for (int k = 0; k < sampleCount; ++k) {
                const double* s = shift.data() + static_cast<size_t>(bestStep[static_cast<size_t>(k)]) *
                                                     static_cast<size_t>(M);
                int count = 0;
                for (int m = 0; m < width; ++m) {
                    const int n = SampleIndex(k + s[m], sampleCount);
                    if (n >= 0) {
                        buffer[static_cast<size_t>(count++)] = RowOf(input, first + m)[static_cast<size_t>(n)];
                    }
                }
                const float median = MedianOfValues(buffer.data(), count);
                out[static_cast<size_t>(k)] =
                    weighting == 1 ? static_cast<float>(median * best[static_cast<size_t>(k)]) : median;
            }
        }
    });
}

// ---------------------------------------------------------------------------------------------
// The dialogs

DialogRequest CMedianFilterDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, kTitle, "メディアンフィルター"));
    request.Int(kTraces, traces, 1).Label(Msg(language, kTraces, "トレース数 (M)")).Unit(Msg(language, "(Must be odd)", "(奇数)"));
    return request;
}

DialogRequest CMedianVelocityDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, kTitle, "速度フィルター(メディアンフィルター)"));
    request.Int(kTraces, traces, 1).Label(Msg(language, kTraces, "トレース数 (M)"));
    request.Int(kSteps, steps, 2).Label(Msg(language, kSteps, "スローネスのステップ数"));
    request.Float(kMaxVelocity, maxVelocity).Label(Msg(language, kMaxVelocity, "最大速度")).Unit("km/s");
    request.Float(kMinVelocity, minVelocity).Label(Msg(language, kMinVelocity, "最小速度")).Unit("km/s");
    request.Bool(kWeighting, weighting).Label(Msg(language, kWeighting, "センブランスで重み付け"));
    return request;
}

}  // namespace velk
