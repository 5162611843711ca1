#include "dsp/taup.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include "dsp/velocity_parallel.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

using velocity_detail::ParallelFor;

// Panel rows made and consumed together by the filter: about 8 M floats.
constexpr int64_t kFilterBlockValues = 8 << 20;

std::span<const float> RowOf(const Matrix2D<float>& m, int i) { return m.Row(m.RowLow() + i); }
std::span<float> RowOf(Matrix2D<float>& m, int i) { return m.Row(m.RowLow() + i); }

// The shift of trace t for slowness p, in samples.
inline double Shift(double p, double x, double reference, double dt) { return p * (x - reference) / dt; }

// A valid trajectory sample: trunc(v) within [0, count), else -1.
inline int SampleIndex(double v, int count) { return v > -1.0 && v < count ? static_cast<int>(v) : -1; }

double Slowness(float p0, float dp, int i, int velocityMode)
{
    const double p = static_cast<double>(p0) + static_cast<double>(dp) * i;
    return velocityMode == 1 ? 1.0 / p : p;
}

struct Geometry {
    int sampleCount = 0;
    int traceCount = 0;
    double dt = 0.0;
    std::span<const double> positions;
    double reference = 0.0;
};

// Stacks p rows [first, last) of the panel into rows first - offset .. of `out`.
void StackRows(const Matrix2D<float>& traces, Matrix2D<float>& out, int outOffset, int first, int last, float p0,
               float dp, int method, int velocityMode, const Geometry& g)
{
    const auto us = static_cast<size_t>(g.sampleCount);
    ParallelFor(last - first, static_cast<int64_t>(g.sampleCount) * g.traceCount * 2, [&](int begin, int end) {
        std::vector<double> sum(us), squares(us);
        std::vector<int> count(us);
        for (int r = begin; r < end; ++r) {
            const int i = first + r;
            const std::span<float> row = RowOf(out, i - outOffset);
            const double p = Slowness(p0, dp, i, velocityMode);
            if (!std::isfinite(p)) {
                std::fill_n(row.begin(), us, 0.0f);
                continue;
            }
            std::fill(sum.begin(), sum.end(), 0.0);
            std::fill(squares.begin(), squares.end(), 0.0);
            std::fill(count.begin(), count.end(), 0);
            for (int t = 0; t < g.traceCount; ++t) {
                const double s = Shift(p, g.positions[static_cast<size_t>(t)], g.reference, g.dt);
                const std::span<const float> x = RowOf(traces, t);
                for (int j = 0; j < g.sampleCount; ++j) {
                    const int n = SampleIndex(j + s, g.sampleCount);
                    if (n >= 0) {
                        const double v = x[static_cast<size_t>(n)];
                        sum[static_cast<size_t>(j)] += v;
                        squares[static_cast<size_t>(j)] += v * v;
                        ++count[static_cast<size_t>(j)];
                    }
                }
            }
            for (size_t j = 0; j < us; ++j) {
                double value = sum[j];
                if (method > 0) {
                    const double semblance = squares[j] > 0.0 ? sum[j] * sum[j] / count[j] / squares[j] : 0.0;
                    value = method == 1 ? semblance : sum[j] * semblance;
                }
                row[j] = static_cast<float>(value);
            }
        }
    });
}

// Adds p rows [first, last) of the panel (panel row i - offset) along their trajectories into
// the traces of `out`.
void SpreadRows(const Matrix2D<float>& panel, int panelOffset, Matrix2D<float>& out, int first, int last, float p0,
                float dp, const Geometry& g)
{
    ParallelFor(g.traceCount, static_cast<int64_t>(g.sampleCount) * (last - first), [&](int begin, int end) {
        for (int t = begin; t < end; ++t) {
            const std::span<float> y = RowOf(out, t);
            for (int i = first; i < last; ++i) {
                const double p = Slowness(p0, dp, i, 0);
                if (!std::isfinite(p)) {
                    continue;
                }
                const double s = Shift(p, g.positions[static_cast<size_t>(t)], g.reference, g.dt);
                const std::span<const float> a = RowOf(panel, i - panelOffset);
                for (int j = 0; j < g.sampleCount; ++j) {
                    const int n = SampleIndex(j + s, g.sampleCount);
                    if (n >= 0) {
                        y[static_cast<size_t>(n)] += a[static_cast<size_t>(j)];
                    }
                }
            }
        }
    });
}

// Counts limited to the matrices and positions; false when nothing can be done.
bool Prepare(Geometry& g, const Matrix2D<float>& traces, const Matrix2D<float>& other, int sampleCount, int traceCount,
             float dt, std::span<const double> positions, double reference)
{
    g.traceCount = std::clamp(traceCount, 0, static_cast<int>(std::min(traces.Rows(), positions.size())));
    g.sampleCount = std::clamp(sampleCount, 0, static_cast<int>(std::min(traces.Cols(), other.Cols())));
    g.dt = dt;
    g.positions = positions;
    g.reference = reference;
    return g.sampleCount > 0 && dt > 0.0f && std::isfinite(dt);
}

// Rows 0..rows-1 (their first `samples` values) of a matrix, as a matrix of their own.
Matrix2D<float> CopyRows(const Matrix2D<float>& input, int rows, int samples)
{
    Matrix2D<float> copy(0, std::max(rows, 1) - 1, 0, std::max(samples, 1) - 1);
    for (int t = 0; t < rows; ++t) {
        std::copy_n(RowOf(input, t).begin(), samples, copy.Row(t).begin());
    }
    return copy;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The dialogs

DialogRequest CTauPTransformDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, kTitle, "τ-p 変換"));
    request.Float(kMaxP, maxP).Label(Msg(language, kMaxP, "最大 p")).Unit("s/km");
    request.Float(kInterval, interval).Label(Msg(language, kInterval, "間隔")).Unit("s/km");
    request.Float(kMinP, minP).Label(Msg(language, kMinP, "最小 p")).Unit("s/km");
    request.Choice(kMethod, method,
                   {Msg(language, "1. Sum amplitude", "1. 振幅の和"), Msg(language, "2. Semblance", "2. センブランス"),
                    Msg(language, "3. Amplitude by semblance", "3. 振幅 x センブランス")})
        .Label(Msg(language, "Stacking method", "重合の方法"));
    request.Int(kNumberOfP, numberOfP).Label(Msg(language, kNumberOfP, "p の数 =")).ReadOnly();
    request.String(kVelocity1123, velocity1123).Label(Msg(language, kVelocity1123, "最大 p の速度")).Unit("km/sec").ReadOnly();
    request.String(kVelocity1136, velocity1136).Label(Msg(language, kVelocity1136, "最小 p の速度")).Unit("km/sec").ReadOnly();
    request.Float(kMaxOffset, maxOffset).Label(Msg(language, kMaxOffset, "最大オフセット")).Unit("m");
    request.Float(kMinOffset, minOffset).Label(Msg(language, kMinOffset, "最小オフセット")).Unit("m");
    return request;
}

int CTauPTransformDlg::NumberOfP(float minP, float maxP, float interval)
{
    if (!(interval > 0.0f)) {
        return 0;
    }
    const double steps = std::floor(std::fabs(static_cast<double>(maxP) - static_cast<double>(minP)) /
                                        static_cast<double>(interval) +
                                    1e-4);
    if (!(steps < std::numeric_limits<int>::max() - 1)) {
        return 0;
    }
    return static_cast<int>(steps) + 1;
}

void CTauPTransformDlg::UpdateVelocityRange()
{
    if (maxP == 0.0f || minP == 0.0f) {
        return;
    }
    if (interval > 0.0f) {
        numberOfP = NumberOfP(minP, maxP, interval);
    }
    velocity1136 = FormatC("%f", static_cast<double>(1.0f / minP));
    velocity1123 = FormatC("%f", static_cast<double>(1.0f / maxP));
}

void CTauPTransformDlg::CalculateVelocity(DialogRequest& request)
{
    DialogField* maxField = request.Find(kMaxP);
    DialogField* intervalField = request.Find(kInterval);
    DialogField* minField = request.Find(kMinP);
    DialogField* countField = request.Find(kNumberOfP);
    DialogField* text1123 = request.Find(kVelocity1123);
    DialogField* text1136 = request.Find(kVelocity1136);
    if (!maxField || !intervalField || !minField || !countField || !text1123 || !text1136) {
        return;
    }
    CTauPTransformDlg values;
    values.maxP = static_cast<float>(maxField->NumberValue());
    values.interval = static_cast<float>(intervalField->NumberValue());
    values.minP = static_cast<float>(minField->NumberValue());
    values.numberOfP = countField->IntValue();
    values.velocity1123 = text1123->StringValue();
    values.velocity1136 = text1136->StringValue();
    values.UpdateVelocityRange();
    countField->SetInt(values.numberOfP);
    text1123->SetString(values.velocity1123);
    text1136->SetString(values.velocity1136);
}

DialogRequest CTauPVelocityFilterDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, kTitle, "速度フィルター(τ-p)"));
    request.Float(kMaxVelocity, maxVelocity).Label(Msg(language, kMaxVelocity, "最大速度")).Unit("km/s");
    request.Float(kMinVelocity, minVelocity).Label(Msg(language, kMinVelocity, "最小速度")).Unit("km/s");
    request.Int(kNp, np, kMinNp, kMaxNp);
    request.Choice(kMethod, method,
                   {Msg(language, "1. Sum amplitude", "1. 振幅の和"), Msg(language, "2. Semblance", "2. センブランス"),
                    Msg(language, "3. Amplitude by semblance", "3. 振幅 x センブランス")})
        .Label(Msg(language, "Stacking method", "重合の方法"));
    return request;
}

// ---------------------------------------------------------------------------------------------
// The stacks

void CTauPTransformDlg::SlantStack(const Matrix2D<float>& input, Matrix2D<float>& output, float p0, float dp, int np,
                                   int sampleCount, int traceCount, float dt, std::span<const double> positions,
                                   double reference, int method, int velocityMode)
{
    Geometry g;
    np = std::clamp(np, 0, static_cast<int>(output.Rows()));
    if (!Prepare(g, input, output, sampleCount, traceCount, dt, positions, reference) || np == 0) {
        return;
    }
    if (&input == &output) {
        const Matrix2D<float> copy = CopyRows(input, g.traceCount, g.sampleCount);
        StackRows(copy, output, 0, 0, np, p0, dp, method, velocityMode, g);
    } else {
        StackRows(input, output, 0, 0, np, p0, dp, method, velocityMode, g);
    }
}

void CTauPTransformDlg::InverseSlantStack(const Matrix2D<float>& panel, Matrix2D<float>& output, float p0, float dp,
                                          int np, int sampleCount, int traceCount, float dt,
                                          std::span<const double> positions, double reference)
{
    Geometry g;
    np = std::clamp(np, 0, static_cast<int>(panel.Rows()));
    if (!Prepare(g, output, panel, sampleCount, traceCount, dt, positions, reference)) {
        return;
    }
    // The panel may lie in the rows that are about to be cleared.
    const bool shared = &panel == &output;
    const Matrix2D<float> copy = shared ? CopyRows(panel, np, g.sampleCount) : Matrix2D<float>();
    const Matrix2D<float>& source = shared ? copy : panel;
    for (int t = 0; t < g.traceCount; ++t) {
        std::fill_n(RowOf(output, t).begin(), g.sampleCount, 0.0f);
    }
    SpreadRows(source, 0, output, 0, np, p0, dp, g);
}

void CTauPVelocityFilterDlg::Filter(Matrix2D<float>& rows, float p0, float dp, int np, int sampleCount,
                                    int traceCount, float dt, std::span<const double> positions, double reference,
                                    int method)
{
    Geometry g;
    if (!Prepare(g, rows, rows, sampleCount, traceCount, dt, positions, reference) || np < 1 || g.traceCount == 0) {
        return;
    }
    const Matrix2D<float> traces = CopyRows(rows, g.traceCount, g.sampleCount);
    const int block = static_cast<int>(std::clamp<int64_t>(kFilterBlockValues / g.sampleCount, 1, np));
    Matrix2D<float> panel(0, block - 1, 0, g.sampleCount - 1);
    for (int t = 0; t < g.traceCount; ++t) {
        std::fill_n(RowOf(rows, t).begin(), g.sampleCount, 0.0f);
    }
    for (int first = 0; first < np; first += block) {
        const int last = std::min(np, first + block);
        StackRows(traces, panel, first, first, last, p0, dp, method, 0, g);
        SpreadRows(panel, first, rows, first, last, p0, dp, g);
    }
}

}  // namespace velk
