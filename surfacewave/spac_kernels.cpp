#include "surfacewave/spac_kernels.h"

#include <algorithm>
#include <cmath>

#include "dsp/fourier.h"

namespace velk {

namespace {

bool HasRow(const Matrix2D<float>& rows, int i) { return i >= rows.RowLow() && i <= rows.RowHigh(); }

}  // namespace

void CoherencyFromSpectra(int bins, std::span<const double> ar, std::span<const double> ai,
                          std::span<const double> br, std::span<const double> bi, std::span<float> out)
{
    const size_t n = std::min({static_cast<size_t>(std::max(bins, 0)), ar.size(), ai.size(), br.size(), bi.size(),
                               out.size()});
    for (size_t k = 0; k < n; ++k) {
        const auto xr = static_cast<float>(ar[k]), xi = static_cast<float>(ai[k]);
        const auto yr = static_cast<float>(br[k]), yi = static_cast<float>(bi[k]);
        // A x conj(B): its real part over the product of the moduli.
        const float real = xr * yr + xi * yi;
        const float norm = std::sqrt((xr * xr + xi * xi) * (yr * yr + yi * yi));
        out[k] = norm > 0.0f ? real / norm : 0.0f;
    }
}

int SpacSpectra(int traceCount, int samples, Matrix2D<float>& rows, std::span<CTraceHeader> headers, int resolution)
{
    traceCount = std::min(traceCount, static_cast<int>(headers.size()));
    if (traceCount <= 0 || samples <= 0) return 0;
    const int nfft = ResolutionFftLength(samples, resolution);
    const auto length = static_cast<size_t>(nfft);
    std::vector<std::vector<double>> re(static_cast<size_t>(traceCount)), im(static_cast<size_t>(traceCount));
    std::vector<bool> valid(static_cast<size_t>(traceCount), false);
    for (int t = 0; t < traceCount; ++t) {
        auto& r = re[static_cast<size_t>(t)];
        auto& i = im[static_cast<size_t>(t)];
        r.assign(length, 0.0);
        i.assign(length, 0.0);
        if (!HasRow(rows, t)) continue;
        const std::span<const float> row = rows.Row(t);
        const int n = std::min<int>(samples, static_cast<int>(row.size()));
        float largest = -INFINITY;
        for (int k = 0; k < n; ++k) {
            r[static_cast<size_t>(k)] = row[static_cast<size_t>(k)];
            largest = std::max(largest, row[static_cast<size_t>(k)]);
        }
        valid[static_cast<size_t>(t)] = n > 0 && largest > 0.0f;
        CFourier::Fft(r.data(), i.data(), nfft, 0, 0);
    }

    // Accumulators per separation; the rows become them only at the end.
    const auto width = static_cast<size_t>(samples);
    std::vector<double> sums(static_cast<size_t>(traceCount) * width, 0.0);
    std::vector<int> pairs(static_cast<size_t>(traceCount), 0);
    std::vector<float> rho(width);
    for (int e = 0; e + 1 < traceCount; ++e) {
        if (!valid[static_cast<size_t>(e)]) continue;
        for (int g = e; g < traceCount; ++g) {
            if (!valid[static_cast<size_t>(g)]) continue;
            const auto a = static_cast<size_t>(e), b = static_cast<size_t>(g);
            CoherencyFromSpectra(samples, re[a], im[a], re[b], im[b], rho);
            const size_t k = static_cast<size_t>(g - e);
            double* sum = sums.data() + k * width;
            for (size_t j = 0; j < width && j < length; ++j) sum[j] += rho[j];
            ++pairs[k];
        }
    }
    for (int k = 0; k < traceCount; ++k) {
        if (!HasRow(rows, k)) continue;
        const std::span<float> row = rows.Row(k);
        const size_t n = std::min(width, row.size());
        const double* sum = sums.data() + static_cast<size_t>(k) * width;
        const int count = pairs[static_cast<size_t>(k)];
        for (size_t j = 0; j < n; ++j) row[j] = count > 0 ? static_cast<float>(sum[j] / count) : 0.0f;
    }
    const int32_t first = headers[0].receiverHundredths;
    for (int t = 0; t < traceCount; ++t) {
        CTraceHeader& h = headers[static_cast<size_t>(t)];
        h.receiverHundredths = static_cast<int32_t>(static_cast<int64_t>(h.receiverHundredths) - first);
    }
    return nfft;
}

float SpacCellValue(int rowCount, int bin, double frequency, const Matrix2D<float>& rows,
                    std::span<const CTraceHeader> headers, double velocity, int dimension)
{
    if (rowCount <= 0) return 1.0f;
    constexpr double kTwoPi = 6.2831855;
    const int count = std::min(rowCount, static_cast<int>(headers.size()));
    double s = 0.0;
    for (int i = 0; i < count; ++i) {
        const double r = headers[static_cast<size_t>(i)].receiverHundredths * 0.01;
        const double x = r * frequency * kTwoPi / velocity;
        const double model = dimension == 1 ? std::cos(x) : std::cyl_bessel_j(0.0, std::fabs(x));
        double value = 0.0;
        if (HasRow(rows, i) && bin >= 0 && static_cast<size_t>(bin) < rows.Cols()) {
            value = rows.Row(i)[static_cast<size_t>(bin)];
        }
        const double e = value - model;
        s += e * e;
    }
    return static_cast<float>(std::clamp((0.5 - s / rowCount) * 2.0, 0.0, 1.0));
}

}  // namespace velk
