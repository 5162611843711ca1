#include "dsp/fourier.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

#include "dsp/band_pass.h"
#include "dsp/chirp_transform.h"
#include "dsp/fft_engine.h"

namespace velk {

namespace {

// The scale of the radix-2 family's zero-based members: flag 1 is the unscaled inverse, every
// other flag 1/n.
template <class T>
void ZeroBasedFft(T* re, T* im, int n, int log2n, int flag)
{
    const int m = fft_engine::CheckedLog2(n, log2n);
    if (m < 0) {
        return;
    }
    const T scale = flag == 1 ? T(1) : T(1) / static_cast<T>(n);
    fft_engine::Transform(re, im, m, flag != 0, scale);
}

// The number of traces that have a row and a header, at most traceCount.
size_t UsableTraces(int traceCount, const Matrix2D<float>& samples, size_t headerCount)
{
    if (traceCount <= 0) {
        return 0;
    }
    return std::min({static_cast<size_t>(traceCount), samples.Rows(), headerCount});
}

// A header's sample count limited to the row length.
size_t RowSampleCount(const CTraceHeader& header, size_t rowLength)
{
    if (header.samples <= 0) {
        return 0;
    }
    return std::min(static_cast<size_t>(header.samples), rowLength);
}

// A count for loops over a span: n limited to [0, limit].
int Limit(int n, size_t limit)
{
    if (n <= 0) {
        return 0;
    }
    return static_cast<size_t>(n) < limit ? n : static_cast<int>(limit);
}

}  // namespace

int PowerOfTwoLength(int n, int factor)
{
    int length = 8;
    while (length < n && length < 131072) {
        length *= 2;
    }
    if (n > 131072) {
        length = 262144;
    }
    return length * factor;
}

int ResolutionFftLength(int n, int factor)
{
    const int64_t wanted = static_cast<int64_t>(PowerOfTwoLength(n, 1)) * std::max(factor, 1);
    int64_t length = 8;
    while (length < wanted && length < (int64_t{1} << 30)) length *= 2;
    return static_cast<int>(length);
}

double FrequencyStep(int n, double intervalMs)
{
    if (n <= 0 || !(intervalMs > 0.0)) {
        return 0.0;
    }
    return 1000.0 / (static_cast<double>(n) * intervalMs);
}

void Dft(const double* samples, double* re, double* im, int n)
{
    if (n <= 0) {
        return;
    }
    TransformRealAnyLength(samples + 1, re + 1, im + 1, n, 1.0 / static_cast<double>(n));
}

void InverseDft(double* samples, const double* re, const double* im, int n)
{
    if (n <= 0) {
        return;
    }
    std::vector<double> xr(re + 1, re + 1 + n);
    std::vector<double> xi(im + 1, im + 1 + n);
    TransformAnyLength(xr.data(), xi.data(), n, true, 1.0);
    std::copy(xr.begin(), xr.end(), samples + 1);
}

float TraceMaxima(int traceCount, std::span<float> maxima, const Matrix2D<float>& samples,
                  std::span<const CTraceHeader> headers)
{
    const size_t count = std::min(UsableTraces(traceCount, samples, headers.size()), maxima.size());
    float overall = 0.0f;
    for (size_t i = 0; i < count; ++i) {
        const std::span<const float> row = samples.Row(samples.RowLow() + static_cast<int>(i));
        const size_t n = RowSampleCount(headers[i], row.size());
        float peak = 0.0f;
        for (size_t k = 0; k < n; ++k) {
            peak = std::max(peak, std::fabs(row[k]));
        }
        maxima[i] = peak;
        overall = std::max(overall, peak);
    }
    return overall;
}

namespace {

template <class Flag>
int SelectedIndices(std::span<int> indices, std::span<const Flag> flags)
{
    size_t written = 0;
    for (size_t i = 0; i < flags.size() && written < indices.size(); ++i) {
        if (flags[i] == 1) {
            indices[written++] = static_cast<int>(i);
        }
    }
    return static_cast<int>(written);
}

}  // namespace

int SelectedTraceIndices(std::span<int> indices, std::span<const int> selectionFlags)
{
    return SelectedIndices(indices, selectionFlags);
}

int SelectedTraceIndices(std::span<int> indices, std::span<const uint8_t> selectionFlags)
{
    return SelectedIndices(indices, selectionFlags);
}

void RemoveMean(float* values, int n)
{
    if (n <= 0) {
        return;
    }
    long double sum = 0.0L;
    for (int i = 0; i < n; ++i) {
        sum += values[i];
    }
    const long double mean = sum / static_cast<long double>(n);
    for (int i = 0; i < n; ++i) {
        values[i] = static_cast<float>(values[i] - mean);
    }
}

// ---------------------------------------------------------------------------------------------
// CFourier

void CFourier::Fft(double* re, double* im, int n, int log2n, int flag)
{
    ZeroBasedFft(re, im, n, log2n, flag);
}

void CFourier::FftFloat(float* re, float* im, int n, int log2n, int flag)
{
    ZeroBasedFft(re, im, n, log2n, flag);
}

void CFourier::PackComplex(int copyCount, int totalLength, const float* samples, double* re,
                           double* im)
{
    const int copied = std::max(0, std::min(copyCount, totalLength));
    for (int i = 0; i < copied; ++i) {
        re[i] = samples[i];
        im[i] = 0.0;
    }
    for (int i = copied; i < totalLength; ++i) {
        re[i] = 0.0;
        im[i] = 0.0;
    }
}

void CFourier::PackRowNormalized(std::span<const float> row, int copyCount, int totalLength,
                                 double* re, double* im)
{
    CBandPassDlg::PackRowComplex(row, copyCount, totalLength, re, im);
    const int copied = Limit(std::min(copyCount, totalLength), row.size());
    double peak = 0.0;
    for (int i = 0; i < copied; ++i) {
        peak = std::max(peak, std::fabs(re[i]));
    }
    if (peak == 0.0) {
        return;
    }
    for (int i = 0; i < totalLength; ++i) {
        re[i] /= peak;
    }
}

int CFourier::UnpackRowFloat(std::span<float> row, int n, const float* values)
{
    const int written = Limit(n, row.size());
    std::copy(values, values + written, row.begin());
    return written;
}

void CFourier::RectToPolar(int n, double* reAmplitude, double* imPhase)
{
    CBandPassDlg::RectToPolar(n, reAmplitude, imPhase);
}

void CFourier::PolarToRect1(int n, double* amplitudeRe, double* phaseIm)
{
    CBandPassDlg::PolarToRect1(n, amplitudeRe, phaseIm);
}

float CFourier::AmplitudeSpectrum(float* out, int outLength, const float* samples,
                                  int sampleCount, float interval, int* transformLength)
{
    const int n = PowerOfTwoLength(sampleCount, 1);
    if (transformLength) {
        *transformLength = n;
    }
    std::vector<double> re(static_cast<size_t>(n));
    std::vector<double> im(static_cast<size_t>(n));
    PackComplex(sampleCount, n, samples, re.data(), im.data());
    Fft(re.data(), im.data(), n, 0, 0);
    const int shown = std::min(n, std::max(outLength, 0));
    for (int i = 0; i < shown; ++i) {
        const auto k = static_cast<size_t>(i);
        out[i] = static_cast<float>(std::sqrt(re[k] * re[k] + im[k] * im[k]));
    }
    for (int i = shown; i < outLength; ++i) {
        out[i] = 0.0f;
    }
    if (!(interval > 0.0f)) {
        return 0.0f;
    }
    return 1.0f / (static_cast<float>(n) * interval);
}

void CFourier::KeepOneFrequency(int traceCount, Matrix2D<float>& samples,
                                std::span<const CTraceHeader> headers, float frequencyHz)
{
    const size_t count = UsableTraces(traceCount, samples, headers.size());
    std::vector<double> re, im;
    for (size_t t = 0; t < count; ++t) {
        const CTraceHeader& header = headers[t];
        const float intervalMs = header.intervalUs * 0.001f;
        if (!(intervalMs > 0.0f)) {
            continue;
        }
        const std::span<float> row = samples.Row(samples.RowLow() + static_cast<int>(t));
        const int n = static_cast<int>(RowSampleCount(header, row.size()));
        const int length = PowerOfTwoLength(n, 1);
        const float df = 1000.0f / (static_cast<float>(length) * intervalMs);

        // The bin nearest the frequency; the lower one on equal distances.
        int kept = 0;
        float best = std::fabs(0.0f - frequencyHz);
        for (int j = 1; j <= length / 2; ++j) {
            const float distance = std::fabs(static_cast<float>(j) * df - frequencyHz);
            if (distance < best) {
                best = distance;
                kept = j;
            }
        }

        re.resize(static_cast<size_t>(length));
        im.resize(static_cast<size_t>(length));
        PackComplex(n, length, row.data(), re.data(), im.data());
        Fft(re.data(), im.data(), length, 0, 0);
        for (int k = 0; k <= length / 2; ++k) {
            const auto uk = static_cast<size_t>(k);
            if (k != kept) {
                re[uk] = 0.0;
                im[uk] = 0.0;
            }
            if (k != 0 && k != length / 2) {
                const auto mirror = static_cast<size_t>(length - k);
                re[mirror] = re[uk];
                im[mirror] = -im[uk];
            }
        }
        Fft(re.data(), im.data(), length, 0, 1);
        // A row longer than the largest transform length keeps its tail.
        for (int i = 0; i < std::min(n, length); ++i) {
            row[static_cast<size_t>(i)] = static_cast<float>(re[static_cast<size_t>(i)]);
        }
    }
}

}  // namespace velk
