// CBandPassDlg: transforms, the tabled transform, packing and polar form.

#include "dsp/band_pass.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "dsp/fft_engine.h"
#include "dsp/fourier.h"

namespace velk {

namespace {

// A count for loops over a span: n limited to [0, limit].
int Limit(int n, size_t limit)
{
    if (n <= 0) {
        return 0;
    }
    return static_cast<size_t>(n) < limit ? n : static_cast<int>(limit);
}

constexpr int kTabledMaxLog2 = 11;

}  // namespace

void CBandPassDlg::Fft(double* re, double* im, int n, int log2n, int flag)
{
    CFourier::Fft(re, im, n, log2n, flag);
}

void CBandPassDlg::FftOneBased(double* re, double* im, int n, int log2n, int flag)
{
    const int m = fft_engine::CheckedLog2(n, log2n);
    if (m < 0) {
        return;
    }
    const double scale = flag == 0 ? 1.0 : 1.0 / static_cast<double>(n);
    fft_engine::Transform(re + 1, im + 1, m, flag != 0, scale);
}

// ---------------------------------------------------------------------------------------------
// The tabled transform

void CBandPassDlg::FftTabled(double* re, double* im, std::span<const double> cosTable, int m,
                             int sign)
{
    if (m < 1 || m > kTabledMaxLog2) {
        return;
    }
    const int n = 1 << m;
    const int quarter = n / 4;
    if (cosTable.size() < static_cast<size_t>(quarter + 2)) {
        return;
    }
    const double* table = cosTable.data();
    const double direction = sign > 0 ? 1.0 : -1.0;

    // Butterflies, decimation in frequency, block lengths 2J = n, n/2, ..., 2.
    for (int half = n / 2; half >= 1; half /= 2) {
        const int stride = n / (2 * half);
        for (int k = 1; k <= half; ++k) {
            // Twiddle index G, angle 2 pi (G-1)/n, read from the quarter-wave table.
            const int g = 1 + (k - 1) * stride;
            double c;
            double s;
            if (quarter == 0) {  // n = 2: the table holds only cos 0
                c = table[1];
                s = 0.0;
            } else if (g <= quarter + 1) {
                c = table[g];
                s = table[quarter + 2 - g];
            } else {
                c = -table[n / 2 + 2 - g];
                s = table[g - quarter];
            }
            const double wr = c;
            const double wi = direction * s;
            for (int top = k; top + half <= n; top += 2 * half) {
                const int bottom = top + half;
                const double ar = re[top], ai = im[top];
                const double dr = re[bottom], di = im[bottom];
                re[top] = ar + dr;
                im[top] = ai + di;
                const double xr = ar - dr, xi = ai - di;
                re[bottom] = wr * xr - wi * xi;
                im[bottom] = wr * xi + wi * xr;
            }
        }
    }

    // Unscramble: element i+1 and element rev(i)+1 change places.
    for (int i = 0, j = 0; i < n; ++i) {
        if (i < j) {
            std::swap(re[i + 1], re[j + 1]);
            std::swap(im[i + 1], im[j + 1]);
        }
        int bit = n >> 1;
        while (j & bit) {
            j ^= bit;
            bit >>= 1;
        }
        j |= bit;
    }
    if (sign > 0) {
        for (int i = 1; i <= n; ++i) {
            re[i] /= n;
            im[i] /= n;
        }
    }
}

void CBandPassDlg::PowerOfTwoAtLeast(int n, int& length, int& m)
{
    for (int i = 1; i <= kTabledMaxLog2; ++i) {
        if ((1 << i) >= n) {
            length = 1 << i;
            m = i;
            return;
        }
    }
    length = 1 << kTabledMaxLog2;
    m = kTabledMaxLog2 + 1;
}

int CBandPassDlg::BuildCosTable(int m, std::span<double> table)
{
    if (m < 1 || m > kTabledMaxLog2) {
        return 0;
    }
    const int n = 1 << m;
    const int count = n / 4 + 1;
    if (table.size() < static_cast<size_t>(count + 1)) {
        return 0;
    }
    // The angle step and each angle in single precision, as the table has always been built.
    const float step = 6.2831855f / static_cast<float>(n);
    for (int i = 1; i <= count; ++i) {
        const float angle = static_cast<float>(i - 1) * step;
        table[static_cast<size_t>(i)] = std::cos(static_cast<double>(angle));
    }
    return count;
}

void CBandPassDlg::ZeroComplex(double* values, int n)
{
    for (int i = 1; i <= n; ++i) {
        values[i] = 0.0;
    }
}

int CBandPassDlg::FftLength(int n, int factor)
{
    return PowerOfTwoLength(n, factor);
}

// ---------------------------------------------------------------------------------------------
// Packing

void CBandPassDlg::PackRowComplex(std::span<const float> row, int copyCount, int totalLength,
                                  double* re, double* im)
{
    const int copied = Limit(std::min(copyCount, totalLength), row.size());
    for (int i = 0; i < copied; ++i) {
        re[i] = row[static_cast<size_t>(i)];
        im[i] = 0.0;
    }
    for (int i = copied; i < totalLength; ++i) {
        re[i] = 0.0;
        im[i] = 0.0;
    }
}

int CBandPassDlg::UnpackRowReal(std::span<float> row, int n, const double* values)
{
    const int written = Limit(n, row.size());
    for (int i = 0; i < written; ++i) {
        row[static_cast<size_t>(i)] = static_cast<float>(values[i]);
    }
    return written;
}

// ---------------------------------------------------------------------------------------------
// Polar form. Each element is read before it is overwritten, so input and output share arrays.

namespace {

void ToPolar(double* re, double* im, int first, int last)
{
    for (int i = first; i <= last; ++i) {
        const double a = re[i];
        const double b = im[i];
        re[i] = std::sqrt(a * a + b * b);
        im[i] = std::atan2(b, a);
    }
}

void ToRect(double* amplitude, double* phase, int first, int last)
{
    for (int i = first; i <= last; ++i) {
        const double r = amplitude[i];
        const double p = phase[i];
        amplitude[i] = r * std::cos(p);
        phase[i] = r * std::sin(p);
    }
}

}  // namespace

void CBandPassDlg::RectToPolar1(int n, double* reAmplitude, double* imPhase)
{
    ToPolar(reAmplitude, imPhase, 1, n);
}

void CBandPassDlg::RectToPolar(int n, double* reAmplitude, double* imPhase)
{
    ToPolar(reAmplitude, imPhase, 0, n - 1);
}

void CBandPassDlg::PolarToRect1(int n, double* amplitudeRe, double* phaseIm)
{
    ToRect(amplitudeRe, phaseIm, 1, n);
}

void CBandPassDlg::PolarToRect(int n, double* amplitudeRe, double* phaseIm)
{
    ToRect(amplitudeRe, phaseIm, 0, n - 1);
}

}  // namespace velk
