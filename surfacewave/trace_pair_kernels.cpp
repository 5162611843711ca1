#include "surfacewave/trace_pair_kernels.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "dsp/correlation.h"
#include "dsp/fourier.h"
#include "dsp/velocity_parallel.h"
#include "platform/language.h"
#include "platform/uihost.h"
#include "surfacewave/spac_kernels.h"

namespace velk {

namespace {

bool HasRow(const Matrix2D<float>& rows, int i) { return i >= rows.RowLow() && i <= rows.RowHigh(); }

// The first min(samples, row length) values of `row`, zero-padded to nfft, transformed.
void Spectrum(std::span<const float> row, int samples, int nfft, std::vector<double>& re, std::vector<double>& im,
              double scale = 1.0)
{
    re.assign(static_cast<size_t>(nfft), 0.0);
    im.assign(static_cast<size_t>(nfft), 0.0);
    const size_t n = std::min({row.size(), static_cast<size_t>(std::max(samples, 0)), static_cast<size_t>(nfft)});
    for (size_t k = 0; k < n; ++k) re[k] = row[k] * scale;
    CFourier::Fft(re.data(), im.data(), nfft, 0, 0);
}

}  // namespace

int CoherenceSpectrum(int samples, std::span<const float> a, std::span<const float> b, std::span<float> out)
{
    if (samples <= 0) return 0;
    const int nfft = PowerOfTwoLength(samples, 1);
    std::vector<double> ar, ai, br, bi;
    Spectrum(a, samples, nfft, ar, ai);
    Spectrum(b, samples, nfft, br, bi);
    CoherencyFromSpectra(samples, ar, ai, br, bi, out);
    return nfft;
}

int CoherenceOfRows(int samples, Matrix2D<float>& rows, int i, int j)
{
    if (samples <= 0 || !HasRow(rows, i) || !HasRow(rows, j) || !HasRow(rows, 0)) return 0;
    std::vector<float> rho(std::min(static_cast<size_t>(samples), rows.Cols()));
    const int nfft = CoherenceSpectrum(samples, rows.Row(i), rows.Row(j), rho);
    std::copy(rho.begin(), rho.end(), rows.Row(0).begin());
    return nfft;
}

int CrossCorrelationGather(UiHost& ui, int language, int traceCount, Matrix2D<float>& rows,
                           std::span<CTraceHeader> headers, std::span<const float> peaks, int threadCount)
{
    traceCount = std::min({traceCount, static_cast<int>(headers.size()), static_cast<int>(peaks.size()),
                           rows.RowHigh() - rows.RowLow() + 1});
    if (traceCount <= 0) return 0;
    const auto at = [&](int t) -> CTraceHeader& { return headers[static_cast<size_t>(t)]; };
    const int64_t spacing =
        traceCount > 1 ? static_cast<int64_t>(at(1).receiverHundredths) - at(0).receiverHundredths : 0;
    for (int i = 1; i + 1 < traceCount; ++i) {
        if (static_cast<int64_t>(at(i + 1).receiverHundredths) - at(i).receiverHundredths != spacing) {
            ui.Message(Msg(language, "Error : Receiver spacings are not unique !", "エラー : 受振点間隔が一定ではありません !"),
                       MsgButtons::Ok, MsgIcon::Error);
            return 0;
        }
    }
    const bool backward = traceCount > 1 && !(peaks[0] > peaks[static_cast<size_t>(traceCount - 2)]);

    const auto samplesOf = [&](int t) {
        return std::clamp(at(t).samples, 0, static_cast<int>(rows.Cols()));
    };
    int largest = 0;
    for (int t = 0; t < traceCount; ++t) largest = std::max(largest, samplesOf(t));
    if (largest <= 0) return 0;
    const int nfft = PowerOfTwoLength(largest, 1);
    const auto length = static_cast<size_t>(nfft);

    // The spectra of the traces scaled to their peaks; a dead trace keeps none.
    std::vector<std::vector<double>> re(static_cast<size_t>(traceCount)), im(static_cast<size_t>(traceCount));
    std::vector<char> live(static_cast<size_t>(traceCount), 0);
    const int low = rows.RowLow();
    velocity_detail::ParallelFor(
        traceCount, static_cast<int64_t>(nfft) * 20,
        [&](int first, int last) {
            for (int t = first; t < last; ++t) {
                const float peak = peaks[static_cast<size_t>(t)];
                if (!(peak != 0.0f) || !std::isfinite(peak)) continue;
                live[static_cast<size_t>(t)] = 1;
                Spectrum(rows.Row(low + t), samplesOf(t), nfft, re[static_cast<size_t>(t)], im[static_cast<size_t>(t)],
                         1.0 / peak);
            }
        },
        threadCount);
    for (int t = 0; t < traceCount; ++t) std::fill(rows.Row(low + t).begin(), rows.Row(low + t).end(), 0.0f);

    // Row k: the pairs (i, i + k) in increasing i.
    velocity_detail::ParallelFor(
        traceCount, static_cast<int64_t>(nfft) * 20 * traceCount / 2,
        [&](int first, int last) {
            std::vector<double> zr(length), zi(length);
            std::vector<double> sum;
            for (int k = first; k < last; ++k) {
                sum.assign(length, 0.0);
                for (int i = 0; i + k < traceCount; ++i) {
                    const int j = i + k;
                    if (!live[static_cast<size_t>(i)] || !live[static_cast<size_t>(j)]) continue;
                    const int a = backward ? i : j, b = backward ? j : i;
                    CCorrelationDlg::CrossSpectrumRect(nfft, re[static_cast<size_t>(a)].data(),
                                                       im[static_cast<size_t>(a)].data(), re[static_cast<size_t>(b)].data(),
                                                       im[static_cast<size_t>(b)].data(), zr.data(), zi.data());
                    CFourier::Fft(zr.data(), zi.data(), nfft, 0, 1);
                    const double top = *std::max_element(zr.begin(), zr.end());
                    if (!(top > 0.0)) continue;
                    for (size_t n = 0; n < length; ++n) sum[n] += zr[n] / top;
                }
                const std::span<float> row = rows.Row(low + k);
                const size_t n = std::min({row.size(), length, static_cast<size_t>(largest)});
                for (size_t s = 0; s < n; ++s) row[s] = static_cast<float>(sum[s]);
            }
        },
        threadCount);

    for (int k = 0; k < traceCount; ++k) {
        at(k).receiverHundredths = static_cast<int32_t>(std::clamp<int64_t>(
            k * spacing, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    }
    return traceCount;
}

}  // namespace velk
