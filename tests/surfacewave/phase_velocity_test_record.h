#pragma once
// Records for the phase-velocity tests: a dispersive surface wave (one mode, or two with the
// second at half amplitude) built from its spectrum, and the numpy reference's two-mode record.

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"
#include "dsp/fourier.h"
#include "surfacewave/phase_velocity.h"

namespace velk::testrecord {

inline double C0(double f) { return std::clamp(400.0 - 10.0 * f, 100.0, 300.0); }
inline double C1(double f) { return std::clamp(650.0 - 10.0 * f, 300.0, 550.0); }

struct Record {
    Record(int traces, int samples, float intervalMs = 0.5f)
        : rows(0, traces - 1, 0, samples - 1), headers(static_cast<size_t>(traces)), traces(traces),
          samples(samples), intervalMs(intervalMs)
    {
    }
    SurfaceWaveRecord View() const { return {rows, headers, traces, samples, intervalMs}; }
    Matrix2D<float> rows;
    std::vector<CTraceHeader> headers;
    int traces, samples;
    float intervalMs;
};

// Traces at 0, 1, ... m, source 0, 0.5 ms; phase velocity C0 below 40 Hz (and C1 at half
// amplitude with twoModes).
inline Record Dispersive(bool twoModes, int traces = 48, int samples = 4096)
{
    Record r(traces, samples);
    const int n = samples;
    const double df = 1000.0 / (n * 0.5);
    std::vector<double> re(static_cast<size_t>(n)), im(static_cast<size_t>(n));
    for (int i = 0; i < traces; ++i) {
        std::fill(re.begin(), re.end(), 0.0);
        std::fill(im.begin(), im.end(), 0.0);
        for (int k = 1; k < n / 2; ++k) {
            const double f = k * df;
            if (f >= 40.0) break;
            std::complex<double> z = std::polar(1.0, -2 * std::numbers::pi * f * i / C0(f));
            if (twoModes) z += std::polar(0.5, -2 * std::numbers::pi * f * i / C1(f));
            re[static_cast<size_t>(k)] = z.real(), im[static_cast<size_t>(k)] = z.imag();
            re[static_cast<size_t>(n - k)] = z.real(), im[static_cast<size_t>(n - k)] = -z.imag();
        }
        CFourier::Fft(re.data(), im.data(), n, 0, 1);
        for (int j = 0; j < n; ++j) r.rows[i][j] = static_cast<float>(re[static_cast<size_t>(j)]);
        r.headers[static_cast<size_t>(i)].Set(i + 1, 100 * i, 0, 1, 1, 0.0f, 500.0f, n);
    }
    return r;
}

// tests/reference/phase_shift_ref.py's record.
inline Record TwoModeReference()
{
    Record r(24, 512, 1.0f);
    for (int i = 0; i < 24; ++i) {
        const double x = 2.0 + i;
        r.headers[static_cast<size_t>(i)].Set(i + 1, static_cast<int32_t>(x * 100), 0, 1, 1, 0.0f, 1000.0f, 512);
        for (int j = 0; j < 512; ++j) {
            const double t = j * 0.001;
            double v = 0.0;
            for (int f = 4; f <= 40; f += 2) {
                v += std::cos(2 * std::numbers::pi * f * (t - 0.05 - x / C0(f)));
                v += 0.5 * std::cos(2 * std::numbers::pi * f * (t - 0.05 - x / C1(f)));
            }
            r.rows[i][j] = static_cast<float>(v);
        }
    }
    return r;
}

}  // namespace velk::testrecord
