#include "dsp/stacking.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

namespace {

// The threshold below which the semblance's energy counts as none, as a float.
constexpr float kNoEnergy = 1e-9f;

}  // namespace

int CVerticalStackDlg::WindowSamples(int method, float window, float intervalMs)
{
    if (method == kAverage) {
        return 1;
    }
    const double k = std::trunc(static_cast<double>(window / intervalMs));
    // A window that no trace can fill still keeps the semblance finite.
    if (!(k >= 2.0)) {
        return 2;
    }
    return k > 1e9 ? 1000000000 : static_cast<int>(k);
}

void CVerticalStackDlg::Stack(int traces, int samples, int method, int windowSamples, const double* const* rows,
                              double* out)
{
    if (traces < 1 || samples < 1) {
        return;
    }
    const size_t n = static_cast<size_t>(samples);
    const double count = static_cast<double>(traces);
    // Per sample: the stacked value and the summed squares over the rows.
    std::vector<double> stacked(n, 0.0);
    for (int r = 0; r < traces; ++r) {
        for (size_t t = 0; t < n; ++t) {
            stacked[t] += rows[r][t];
        }
    }
    if (method == kAverage || method == kSummation) {
        for (size_t t = 0; t < n; ++t) {
            out[t] = method == kAverage ? stacked[t] / count : stacked[t];
        }
        return;
    }
    if (method != kSemblance && method != kSemblanceWeighted) {
        std::fill(out, out + n, 0.0);
        return;
    }
    std::vector<double> squares(n, 0.0);
    for (int r = 0; r < traces; ++r) {
        for (size_t t = 0; t < n; ++t) {
            squares[t] += rows[r][t] * rows[r][t];
        }
    }
    const long long K = std::max(windowSamples, 1);
    const long long h = K / 2;  // trunc(K x 0.5)
    for (long long t = 0; t < static_cast<long long>(n); ++t) {
        // Window positions u = t + j - h, j = 0..K-1; those outside the trace are skipped.
        const long long first = std::max(0LL, t - h);
        const long long last = std::min(static_cast<long long>(n) - 1, t - h + K - 1);
        double A = 0.0;
        double B = 0.0;
        for (long long u = first; u <= last; ++u) {
            A += squares[static_cast<size_t>(u)];
            B += stacked[static_cast<size_t>(u)] * stacked[static_cast<size_t>(u)];
        }
        const double kept = static_cast<double>(std::max(0LL, last - first + 1));
        if (method == kSemblance) {
            const float a = static_cast<float>(A);
            const float b = static_cast<float>(B);
            out[t] = std::fabs(a) < kNoEnergy ? 0.0 : static_cast<double>(b / static_cast<float>(traces) / a);
        } else {
            const double W = stacked[static_cast<size_t>(t)] * kept;
            out[t] = std::fabs(A) < static_cast<double>(kNoEnergy) ? W / count : B * W / count / A;
        }
    }
}

void CVerticalStackDlg::SemblanceCorrelation(const double* x, const double* y, double* out, int n)
{
    for (int i = 0; i < n; ++i) {
        double sum = 0.0;
        for (int j = 0, k = i; j < n; ++j) {
            const double a = x[j] + y[k];
            const float s = static_cast<float>(a);
            const float E = static_cast<float>(x[j] * x[j] + y[k] * y[k]);
            if (E > 0.0f) {
                sum += std::fabs(a) * s * s * 0.5 / E;
            }
            if (++k == n) {
                k = 0;
            }
        }
        out[i] = sum;
    }
}

void CVerticalStackDlg::NormalizedSum(int traces, int n, const float* const* rows, double* out)
{
    if (n <= 0) {
        return;
    }
    std::fill(out, out + n, 0.0);
    for (int r = 0; r < traces; ++r) {
        double peak = 0.0;
        for (int i = 0; i < n; ++i) {
            peak = std::max(peak, std::fabs(static_cast<double>(rows[r][i])));
        }
        if (!(peak > 0.0)) {
            continue;
        }
        for (int i = 0; i < n; ++i) {
            out[i] += rows[r][i] / peak;
        }
    }
}

void CVerticalStackDlg::Difference(int n, const float* const* rows, float* out)
{
    for (int i = 0; i < n; ++i) {
        out[i] = rows[1][i] - rows[0][i];
    }
}

int CVerticalStackDlg::Concatenate(int traces, const double* const* rows, std::span<double> out,
                                   std::span<const CTraceHeader> headers)
{
    size_t total = 0;
    const int count = std::min(traces, static_cast<int>(headers.size()));
    for (int j = 0; j < count; ++j) {
        const size_t m = std::min(static_cast<size_t>(std::max(headers[static_cast<size_t>(j)].samples, 0)),
                                  out.size() - total);
        std::copy(rows[j], rows[j] + m, out.begin() + static_cast<std::ptrdiff_t>(total));
        total += m;
    }
    return static_cast<int>(total);
}

// ---------------------------------------------------------------------------------------------
// The dialog's fields for the UiHost dialog road; its window is the generic form.

DialogRequest CVerticalStackDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, kTitle, "垂直重合"));
    request.Choice(kMethod, method,
                   {Msg(language, "1. Average", "1. 平均"), Msg(language, "2. Summation", "2. 加算"),
                    Msg(language, "3. Semblance", "3. センブランス"),
                    Msg(language, "4. Semblance weighted stack", "4. センブランス重み付き重合")})
        .Label(Msg(language, "Method", "方法"));
    request.Float(kWindow, window, 0.001, 10000.0)
        .Label(Msg(language, "Time-window for semblance (need to set if method is 2 or 3)",
                   "センブランスの時間窓 (方法 2, 3 のとき設定)"))
        .Unit("msec");
    return request;
}

}  // namespace velk
