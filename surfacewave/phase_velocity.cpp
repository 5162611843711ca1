#include "surfacewave/phase_velocity.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <numbers>

#include "dsp/fourier.h"
#include "dsp/velocity_parallel.h"
#include "surfacewave/spac_kernels.h"

namespace velk {

namespace {

constexpr double kColumnTolerance = 1e-4;
constexpr int kMaxDecimation = 64;

bool HasRow(const Matrix2D<float>& rows, int i) { return i >= rows.RowLow() && i <= rows.RowHigh(); }

int32_t Trunc32(double v)
{
    if (!(v == v)) return 0;
    return static_cast<int32_t>(std::clamp(std::trunc(v), -2147483648.0, 2147483647.0));
}

// Trunc of a count that must stay in int range; -1 for nonsense.
int CountOf(double v)
{
    if (!std::isfinite(v) || v < 0.0) return -1;
    return static_cast<int>(std::min(std::trunc(v), 2.0e9));
}

// The kept words of image trace k: the record's header of that index when there is one.
CTraceHeader KeptHeader(const SurfaceWaveRecord& record, int k)
{
    if (k >= 0 && static_cast<size_t>(k) < record.headers.size()) return record.headers[static_cast<size_t>(k)];
    CTraceHeader h;
    h.traceNumber = k + 1;
    return h;
}

void FrequencyTraceHeaders(const SurfaceWaveRecord& record, const CContourSettings& s, PhaseVelocityImage& image)
{
    image.headers.resize(static_cast<size_t>(image.traceCount));
    for (int k = 0; k < image.traceCount; ++k) {
        CTraceHeader h = KeptHeader(record, k);
        // The row's own frequency, from the exact step (the millihertz word would lose up to
        // one step in a thousand per row).
        h.receiverHundredths = Trunc32(image.df * k * image.decimation * 100.0 + 0.5);
        h.intervalUs = static_cast<float>(static_cast<double>(s.velocityInterval) * 1e6);
        h.samples = image.samples;
        h.component = 1;
        image.headers[static_cast<size_t>(k)] = h;
    }
    image.storeInterval = s.velocityInterval * 1000.0f;
}

bool ValidVelocityAxis(const CContourSettings& s)
{
    return std::isfinite(s.velocityInterval) && s.velocityInterval > 0.0f && std::isfinite(s.endVelocity) &&
           std::isfinite(s.startVelocity);
}

}  // namespace

void ReceiverSpacingRange(int traceCount, std::span<const CTraceHeader> headers, CContourSettings& s)
{
    traceCount = std::min(traceCount, static_cast<int>(headers.size()));
    if (traceCount < 2) {
        s.minimumReceiverSpacing = 0.0f;
        s.maximumReceiverSpacing = 0.0f;
        return;
    }
    auto at = [&](int i) { return static_cast<double>(headers[static_cast<size_t>(i)].receiverHundredths); };
    double minimum = std::fabs(at(1) - at(0)) * 0.01;
    double maximum = std::fabs(at(traceCount - 1) - at(0)) * 0.01;
    for (int i = 0; i + 1 < traceCount; ++i) {
        for (int j = 0; j + 1 < traceCount; ++j) {
            if (i == j) continue;
            const double a = std::fabs(at(i) - at(j)) * 0.01;
            if (a > 0.0) {
                minimum = std::min(minimum, a);
                maximum = std::max(maximum, a);
            }
        }
    }
    s.minimumReceiverSpacing = static_cast<float>(minimum);
    s.maximumReceiverSpacing = static_cast<float>(maximum);
}

std::optional<double> SourceInsideSpread(int traceCount, std::span<const CTraceHeader> headers)
{
    traceCount = std::min(traceCount, static_cast<int>(headers.size()));
    if (traceCount < 2) return std::nullopt;
    const auto [lo, hi] = std::minmax_element(headers.begin(), headers.begin() + traceCount, [](const CTraceHeader& a, const CTraceHeader& b) {
        return a.receiverHundredths < b.receiverHundredths;
    });
    const int32_t source = headers.front().sourceHundredths;
    if (source <= lo->receiverHundredths || source >= hi->receiverHundredths) return std::nullopt;
    return source * 0.01;
}

void InsideSourceSpacingRange(int traceCount, std::span<const CTraceHeader> headers, CContourSettings& s)
{
    const std::optional<double> source = SourceInsideSpread(traceCount, headers);
    if (!source) return;
    double largest = 0.0;
    for (int i = 0; i < traceCount; ++i) {
        largest = std::max(largest, std::fabs(headers[static_cast<size_t>(i)].receiverHundredths * 0.01 - *source));
    }
    if (largest > 0.0) s.maximumReceiverSpacing = static_cast<float>(largest);
}

void SeparationRange(int traceCount, std::span<const CTraceHeader> headers, CContourSettings& s)
{
    traceCount = std::clamp(traceCount, 0, static_cast<int>(headers.size()));
    double minimum = 0.0, maximum = 0.0;
    for (int i = 0; i < traceCount; ++i) {
        const double r = std::fabs(static_cast<double>(headers[static_cast<size_t>(i)].receiverHundredths)) * 0.01;
        if (!(r > 0.0)) continue;
        minimum = minimum > 0.0 ? std::min(minimum, r) : r;
        maximum = std::max(maximum, r);
    }
    s.minimumReceiverSpacing = static_cast<float>(minimum);
    s.maximumReceiverSpacing = static_cast<float>(maximum);
}

int AutomaticDirection(bool guidedType3, int traceCount, std::span<const CTraceHeader> headers,
                       std::span<const float> peaks)
{
    traceCount = std::min(traceCount, static_cast<int>(headers.size()));
    if (traceCount < 2) return 0;
    if (guidedType3) {
        const int64_t mean = (static_cast<int64_t>(headers[0].receiverHundredths) +
                              headers[static_cast<size_t>(traceCount - 1)].receiverHundredths) /
                             2;
        return headers[0].sourceHundredths < mean ? 0 : 1;
    }
    if (peaks.size() < static_cast<size_t>(traceCount)) return 0;
    return peaks[0] > peaks[static_cast<size_t>(traceCount - 2)] ? 0 : 1;
}

int ShotDirection(std::span<const CTraceHeader> headers)
{
    if (headers.empty()) return 0;
    // The stack measures distances from the first trace (forward) or the last (backward), in
    // the record's own trace order: the source's side decides, whichever way the traces run.
    const int64_t source = headers.front().sourceHundredths;
    const int64_t toFirst = std::llabs(source - headers.front().receiverHundredths);
    const int64_t toLast = std::llabs(source - headers.back().receiverHundredths);
    return toLast < toFirst ? 1 : 0;
}

double ExactFrequencyStep(float headerWord, float storeInterval)
{
    const double exact = storeInterval;
    if (std::isfinite(exact) && exact > 0.0 && std::fabs(std::trunc(exact * 1000.0) - headerWord) <= 1.0) return exact;
    return headerWord * 0.001;
}

bool HasImageRanges(const CContourSettings& s)
{
    const bool finite = std::isfinite(s.startVelocity) && std::isfinite(s.endVelocity) &&
                        std::isfinite(s.startFrequency) && std::isfinite(s.endFrequency);
    return finite && s.endVelocity > s.startVelocity && s.endFrequency > s.startFrequency;
}

int FrequencyRows(const CContourSettings& s, double df, int nfft)
{
    if (!(df > 0.0)) return -1;
    const int rows = CountOf((static_cast<double>(s.endFrequency) - s.startFrequency) / df);
    if (rows < 0) return -1;
    return std::min(rows + 1, nfft);
}

int FrequencyDecimation(int rows, int maxTraces)
{
    if (rows <= maxTraces || maxTraces <= 0) return 1;
    int d = 2;
    while (rows / d > maxTraces && d < kMaxDecimation) d *= 2;
    return d;
}

int VelocityColumns(const CContourSettings& s)
{
    if (!ValidVelocityAxis(s)) return -1;
    return CountOf(static_cast<double>(s.endVelocity) / s.velocityInterval + kColumnTolerance);
}

int FirstVelocityColumn(const CContourSettings& s)
{
    if (!ValidVelocityAxis(s) || s.startVelocity <= 0.0f) return 0;
    return CountOf(std::ceil(static_cast<double>(s.startVelocity) / s.velocityInterval - kColumnTolerance));
}

int VelocityTraces(const CContourSettings& s)
{
    if (!ValidVelocityAxis(s)) return -1;
    return CountOf((static_cast<double>(s.endVelocity) - s.startVelocity) / s.velocityInterval + kColumnTolerance);
}

void PhaseShiftStack(std::span<const double> spectraRe, std::span<const double> spectraIm, int bins,
                     std::span<const double> positions, const CContourSettings& s, PhaseVelocityImage& image,
                     int threads, std::optional<double> source)
{
    const int used = static_cast<int>(positions.size());
    if (used <= 0 || bins <= 0 || spectraRe.size() < static_cast<size_t>(used) * bins ||
        spectraIm.size() < static_cast<size_t>(used) * bins) {
        return;
    }
    // The stacked terms: the spectra, normalised by their moduli when asked.
    std::vector<std::complex<double>> u(static_cast<size_t>(used) * bins);
    for (size_t i = 0; i < u.size(); ++i) {
        std::complex<double> z(spectraRe[i], spectraIm[i]);
        if (s.normalisation == 1) {
            const double m = std::abs(z);
            z = m > 0.0 ? z / m : std::complex<double>(0.0, 0.0);
        }
        u[i] = z;
    }
    std::vector<double> distance(static_cast<size_t>(used));
    for (int q = 0; q < used; ++q) {
        const double x = source                ? positions[static_cast<size_t>(q)] - *source
                         : s.direction == 1 ? positions[static_cast<size_t>(used - 1)] - positions[static_cast<size_t>(q)]
                                            : positions[static_cast<size_t>(q)] - positions[0];
        distance[static_cast<size_t>(q)] = std::fabs(x);
    }

    const bool velocityTraces = s.yAxis == 0;
    const int rows = velocityTraces ? image.samples : image.traceCount;
    const int firstColumn = velocityTraces ? 0 : FirstVelocityColumn(s);
    const int columns = velocityTraces ? image.traceCount : image.samples;
    const int d = image.decimation;
    const double df = image.df;
    const double interval = s.velocityInterval;
    const double start = velocityTraces ? static_cast<double>(s.startVelocity) : 0.0;
    const int count = std::max(columns - firstColumn, 0);
    velocity_detail::ParallelFor(
        count, static_cast<int64_t>(used) * rows * 8,
        [&](int first, int last) {
            std::vector<std::complex<double>> sum(static_cast<size_t>(rows));
            for (int c = first; c < last; ++c) {
                const int j = c + firstColumn;
                double v = (j * interval + start) * 1000.0;
                if (v == 0.0) v = 0.1;
                std::fill(sum.begin(), sum.end(), std::complex<double>(0.0, 0.0));
                for (int q = 0; q < used; ++q) {
                    // The phase grows by the same angle from row to row: rotate instead of a
                    // cosine and sine per term.
                    const double tau = distance[static_cast<size_t>(q)] / v;
                    const double angle = 2.0 * std::numbers::pi * d * df * tau;
                    // Plain products: the library's complex product checks for infinities.
                    const double sr = std::cos(angle), si = std::sin(angle);
                    double tr = 1.0, ti = 0.0;
                    const std::complex<double>* spectrum = u.data() + static_cast<size_t>(q) * bins;
                    for (int k = 0; k < rows; ++k) {
                        const int b = k * d;
                        if (b >= bins) break;
                        const double ur = spectrum[b].real(), ui = spectrum[b].imag();
                        sum[static_cast<size_t>(k)] += std::complex<double>(ur * tr - ui * ti, ur * ti + ui * tr);
                        const double nr = tr * sr - ti * si;
                        ti = tr * si + ti * sr;
                        tr = nr;
                        // Renormalise now and then so the rotation keeps unit length.
                        if ((k & 63) == 63) {
                            const double m = std::hypot(tr, ti);
                            tr /= m;
                            ti /= m;
                        }
                    }
                }
                for (int k = 0; k < rows; ++k) {
                    const auto value = static_cast<float>(std::abs(sum[static_cast<size_t>(k)]) / used);
                    if (velocityTraces) {
                        image.values[static_cast<size_t>(j) * image.samples + static_cast<size_t>(k)] = value;
                    } else {
                        image.values[static_cast<size_t>(k) * image.samples + static_cast<size_t>(j)] = value;
                    }
                }
            }
        },
        threads);
}

int PhaseShiftImage(const SurfaceWaveRecord& record, const CContourSettings& s, ImageCapacity capacity,
                    PhaseVelocityImage& image, const TransformProgress& progress)
{
    image = PhaseVelocityImage{};
    auto refuse = [&](ImageRefusal why) {
        image.refusal = why;
        return 0;
    };
    if (!HasImageRanges(s)) return refuse(ImageRefusal::BadAxis);
    const int traceCount = std::min(record.traceCount, static_cast<int>(record.headers.size()));
    if (record.samples <= 0) return refuse(ImageRefusal::NoSamples);
    if (!(record.intervalMs > 0.0f) || !std::isfinite(record.intervalMs)) return refuse(ImageRefusal::BadAxis);
    const int nfft = ResolutionFftLength(record.samples, s.frequencyResolution);
    const double df = 1000.0 / (static_cast<double>(nfft) * record.intervalMs);
    const int frequencyRows = FrequencyRows(s, df, nfft);
    if (frequencyRows <= 0) return refuse(ImageRefusal::BadAxis);
    image.nfft = nfft;
    image.df = df;

    // The grid, checked before any work.
    if (s.yAxis == 0) {
        image.decimation = 1;
        image.traceCount = VelocityTraces(s);
        image.samples = frequencyRows;
    } else {
        image.decimation = FrequencyDecimation(frequencyRows, capacity.maxTraces);
        image.traceCount = frequencyRows / image.decimation;
        image.samples = VelocityColumns(s);
    }
    image.wantedTraces = image.traceCount;
    image.wantedSamples = image.samples;
    if (image.traceCount <= 0 || image.samples <= 0) return refuse(ImageRefusal::BadAxis);
    if (image.traceCount > capacity.maxTraces) return refuse(ImageRefusal::TooManyTraces);
    if (image.samples > capacity.maxSamples) return refuse(ImageRefusal::TooManySamples);

    // The used traces.
    std::vector<int> used;
    std::vector<double> positions;
    const int skip = std::max(s.traceSkip, 1);
    for (int i = 0; i < traceCount; ++i) {
        if (i % skip != 0 || !HasRow(record.rows, i)) continue;
        const CTraceHeader& h = record.headers[static_cast<size_t>(i)];
        const double offset =
            s.mode == 1 ? h.receiverHundredths * 0.01
                        : std::fabs(static_cast<double>(h.receiverHundredths) - h.sourceHundredths) * 0.01;
        if (offset < s.minimumOffset || offset > s.maximumOffset) continue;
        used.push_back(i);
        positions.push_back(h.receiverHundredths * 0.01);
    }
    if (used.empty()) return refuse(ImageRefusal::NoUsedTrace);
    image.usedTraces = static_cast<int>(used.size());

    // Spectra: bins 0 .. F-1 of each used trace.
    const int bins = frequencyRows;
    std::vector<double> spectraRe(used.size() * static_cast<size_t>(bins));
    std::vector<double> spectraIm(spectraRe.size());
    std::vector<double> re(static_cast<size_t>(nfft)), im(static_cast<size_t>(nfft));
    for (size_t u = 0; u < used.size(); ++u) {
        if (progress && nfft > 2048) {
            char text[96];
            std::snprintf(text, sizeof text, " Calculating Fourier spectrum : trace = %d %d", used[u] + 1,
                          static_cast<int>(u) + 1);
            progress(text);
        }
        const std::span<const float> row = record.rows.Row(used[u]);
        CFourier::PackRowNormalized(row, record.samples, nfft, re.data(), im.data());
        CFourier::Fft(re.data(), im.data(), nfft, 0, 0);
        std::copy_n(re.begin(), bins, spectraRe.begin() + static_cast<std::ptrdiff_t>(u * bins));
        std::copy_n(im.begin(), bins, spectraIm.begin() + static_cast<std::ptrdiff_t>(u * bins));
    }

    image.values.assign(static_cast<size_t>(image.traceCount) * image.samples, 0.0f);
    // A split spread: the traces on either side of the source by their offsets from it.
    std::optional<double> inside;
    if (s.mode != 1) {
        const double source = record.headers[static_cast<size_t>(used.front())].sourceHundredths * 0.01;
        const auto [lo, hi] = std::minmax_element(positions.begin(), positions.end());
        if (source > *lo && source < *hi) inside = source;
    }
    PhaseShiftStack(spectraRe, spectraIm, bins, positions, s, image, 0, inside);

    if (s.yAxis == 0) {
        const int dfm = Trunc32(df * 1000.0);
        image.headers.resize(static_cast<size_t>(image.traceCount));
        for (int j = 0; j < image.traceCount; ++j) {
            CTraceHeader h = KeptHeader(record, j);
            // In single precision, as the settings hold the velocities: 7.5 m/s is 750.
            const float velocity = static_cast<float>(j) * s.velocityInterval + s.startVelocity;
            h.receiverHundredths = Trunc32(velocity * 100000.0f);
            h.intervalUs = static_cast<float>(dfm);
            h.samples = image.samples;
            h.component = 1;
            image.headers[static_cast<size_t>(j)] = h;
        }
        image.storeInterval = static_cast<float>(df);  // Hz per sample, exact beside the header word
    } else {
        FrequencyTraceHeaders(record, s, image);
    }
    ImageMaxima(image, false);
    return nfft;
}

int SpacImage(const SurfaceWaveRecord& record, bool recordIsImage, const CContourSettings& s, ImageCapacity capacity,
              PhaseVelocityImage& image)
{
    image = PhaseVelocityImage{};
    auto refuse = [&](ImageRefusal why) {
        image.refusal = why;
        return 0;
    };
    if (!HasImageRanges(s)) return refuse(ImageRefusal::BadAxis);
    const int traceCount = std::min(record.traceCount, static_cast<int>(record.headers.size()));
    if (traceCount <= 0 || record.samples <= 0) return refuse(ImageRefusal::NoUsedTrace);

    // The coherence rows: the image's own, or the SPAC of the record on a copy.
    Matrix2D<float> scratch;
    std::vector<CTraceHeader> headers(record.headers.begin(), record.headers.begin() + traceCount);
    const Matrix2D<float>* rows = &record.rows;
    double df = 0.0;
    if (recordIsImage) {
        df = ExactFrequencyStep(headers[0].intervalUs, record.intervalMs);
    } else {
        if (!(record.intervalMs > 0.0f) || !std::isfinite(record.intervalMs)) return refuse(ImageRefusal::BadAxis);
        scratch = Matrix2D<float>(0, traceCount - 1, 0, record.samples - 1);
        for (int t = 0; t < traceCount; ++t) {
            if (!HasRow(record.rows, t)) continue;
            const std::span<const float> from = record.rows.Row(t);
            const size_t n = std::min(from.size(), static_cast<size_t>(record.samples));
            std::copy_n(from.begin(), n, scratch.Row(t).begin());
        }
        const int nfft = SpacSpectra(traceCount, record.samples, scratch, headers, s.frequencyResolution);
        image.nfft = nfft;
        df = 1000.0 / (static_cast<double>(nfft) * record.intervalMs);
        rows = &scratch;
    }
    if (!(df > 0.0) || !std::isfinite(df)) return refuse(ImageRefusal::BadAxis);
    image.df = df;
    const int bandRows = CountOf((static_cast<double>(s.endFrequency) - s.startFrequency) / df);
    if (bandRows < 0) return refuse(ImageRefusal::BadAxis);
    image.decimation = FrequencyDecimation(bandRows, capacity.maxTraces);
    image.traceCount = std::min(bandRows / image.decimation, capacity.maxTraces);
    image.samples = VelocityColumns(s);
    image.wantedTraces = image.traceCount;
    image.wantedSamples = image.samples;
    if (image.traceCount <= 0 || image.samples <= 0) return refuse(ImageRefusal::BadAxis);
    if (image.samples > capacity.maxSamples) return refuse(ImageRefusal::TooManySamples);

    image.values.assign(static_cast<size_t>(image.traceCount) * image.samples, 0.0f);
    const int firstColumn = FirstVelocityColumn(s);
    const int dimension = s.spacDimension;
    velocity_detail::ParallelFor(image.traceCount, static_cast<int64_t>(image.samples) * traceCount * 20,
                                 [&](int first, int last) {
                                     for (int k = first; k < last; ++k) {
                                         const int bin = k * image.decimation;
                                         const double f = df * bin;
                                         std::span<float> out = image.Row(k);
                                         for (int j = firstColumn; j < image.samples; ++j) {
                                             double v = j * static_cast<double>(s.velocityInterval) * 1000.0;
                                             if (v == 0.0) v = 0.1;
                                             out[static_cast<size_t>(j)] =
                                                 SpacCellValue(traceCount, bin, f, *rows, headers, v, dimension);
                                         }
                                     }
                                 });
    FrequencyTraceHeaders(record, s, image);
    ImageMaxima(image, false);
    return image.samples;
}

void ImageMaxima(PhaseVelocityImage& image, bool normalise)
{
    image.traceMaxima.assign(static_cast<size_t>(image.traceCount), 0.0f);
    image.maximum = 0.0f;
    for (int k = 0; k < image.traceCount; ++k) {
        float peak = 0.0f;
        for (const float v : image.Row(k)) peak = std::max(peak, std::fabs(v));
        image.traceMaxima[static_cast<size_t>(k)] = peak;
        image.maximum = std::max(image.maximum, peak);
    }
    if (!normalise || !(image.maximum > 0.0f)) return;
    const float m = image.maximum;
    for (float& v : image.values) v /= m;
    for (float& v : image.traceMaxima) v /= m;
    image.maximum = 1.0f;
}

}  // namespace velk
