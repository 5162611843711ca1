#pragma once
// The numerical pieces of the synthetic-record generators: the 15-bit random generator with
// its per-trace seeds, uniform and Gaussian noise, random spectra, the moveout of the
// time-domain generator, the analytic Ricker spectrum, the correlated-noise spectra, and the
// dialogs of the time-domain and frequency-domain generators.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/matrix2d.h"

namespace velk {

class DialogRequest;

// Random values r in 0..32767 and u = r / 32768 in [0, 1), from one seed. The sequence is
// this generator's own; only its range and the seeding pattern matter to the callers.
class SyntheticRandom {
public:
    static constexpr int kMax = 32767;
    explicit SyntheticRandom(uint32_t seed = 1) : state_(seed) {}
    void Seed(uint32_t seed) { state_ = seed; }
    int Next()
    {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<int>((state_ >> 16) & 0x7fffu);
    }
    float Uniform() { return static_cast<float>(Next()) / 32768.0f; }
    // (r + 1) / 32768 in (0, 1]: never 0, so its logarithm is finite.
    float UniformOpenZero() { return static_cast<float>(Next() + 1) / 32768.0f; }

private:
    uint32_t state_;
};

// One seed per trace, drawn in trace order from the generator: each trace reseeds with its
// own value before its samples are drawn.
std::vector<uint32_t> TraceSeeds(SyntheticRandom& random, int traces);

// Rows RowLow() + 0 .. traces-1, samples 0..n-1 (bounded by the matrix). Mode 1 replaces each
// sample by u - 0.5; any other mode adds 0.02 x factor x peak x (u - 0.5).
void FillRandomTimeSeries(Matrix2D<float>& rows, int traces, int n, int mode, float factor, float peak,
                          SyntheticRandom& random);
// The bins j < n/2 whose frequency j x df lies strictly between low and high: mode 1 sets the
// real part to u - 0.5 and the imaginary part to u' - 0.5; any other mode adds
// 0.02 x factor x peak x (u - 0.5) to each. Other bins are not touched.
void FillRandomSpectrum(Matrix2D<float>& re, Matrix2D<float>& im, int traces, int n, int mode, float factor,
                        float peak, float low, float high, float df, SyntheticRandom& random);
// Gaussian noise of standard deviation sigma by the Box-Muller pairs: u1 in (0, 1], u2 in
// [0, 1), g = sqrt(-2 ln u1), samples 2j and 2j+1 = sigma g (cos, sin)(6.28 u2); an odd count
// takes the cosine of one more pair for its last sample.
void FillGaussianNoise(Matrix2D<float>& rows, int traces, int n, float sigma, SyntheticRandom& random);

// Moveout of the time-domain generator in samples, truncated: trace i of n traces at the trace
// interval s (m), velocity v (km/s) and dt (ms). v > 0: onset s i / v / dt and the second
// event's (n - i - 1) s / v / dt; v < 0: onset (n - i - 1) s / |v| / dt (second event the
// same). The caller refuses v = 0 and dt <= 0.
struct Moveout {
    int onset = 0;
    int second = 0;
};
Moveout TraceMoveout(int trace, int traces, float interval, float velocity, float dt);

// R(f) = 2 pi^(-1/2) (f^2 / f0^3) e^(-f^2 / f0^2).
double RickerSpectrum(double f, double f0);

// The spectrum of the Gaussian correlation function for k = 0..n/2:
// omega = 2 pi k dt / n, S[k] = a e^(-a^2 omega^2 / 4) sqrt(pi) / c, c = a sqrt(pi) when
// normalise is 1, else 1.
std::vector<double> GaussianCorrelationSpectrum(float a, int normalise, int n, float dt);
// The correlation function C[i] at the lag (i - n/2) dt, i = 0..n-1: type 0 e^(-tau^2/a^2),
// type 1 e^(-|tau|/a). Other types give an empty vector.
std::vector<double> CorrelationFunction(int type, float a, int n, float dt);

// Filters one row of n samples (a power of two) through its spectrum: forward FFT (scaled
// 1/n), bins 0..n/2 times the factor (real `gain`, or complex gainRe + i gainIm), bins n - k
// the conjugate of bin k, inverse FFT; the real parts are written back.
void FilterRowBySpectrum(std::span<float> row, int n, std::span<const double> gain);
void FilterRowByComplexSpectrum(std::span<float> row, int n, std::span<const double> gainRe,
                                std::span<const double> gainIm);

// Dialog 164 "Generate waveforms in time domain".
struct CTimeDomainWaveformDlg {
    static constexpr const char* kClass = "CTimeDomainWaveformDlg";
    static constexpr const char* kTitle = "Generate waveforms in time domain";
    static constexpr int kTypes = 10;
    float frequency = 0.0f;      // Hz
    int dataLength = 1024;       // 16..MAX_SAMPLE
    int traces = 24;             // 1..1000
    float samplingTime = 1.0f;   // ms
    float velocity = 1.0f;       // km/s
    float traceInterval = 1.0f;  // m, 0.01..10000
    int type = -1;               // 0..9

    DialogRequest Request(int language, int maxSample);
};

// Dialog 165 "Generate waveforms in frequency domain" (also the F-K generator's).
struct CFreqDomainWaveformDlg {
    static constexpr const char* kClass = "CFreqDomainWaveformDlg";
    static constexpr const char* kTitle = "Generate waveforms in frequency domain";
    static constexpr int kTypes = 5;
    float frequency = 100.0f;    // Hz
    int dataLength = 1024;       // 128..2048
    int traces = 24;             // 1..MAXTRACES
    float samplingTime = 0.1f;   // ms
    float bandLow = 1.0f;        // Hz
    float bandHigh = 5000.0f;    // Hz
    float velocity = 1.0f;       // km/s
    int type = -1;               // 0..4
    int events = 10;             // 0..1000

    DialogRequest Request(int language, int maxTraces);
};

// The transform length of the frequency-domain generators: 512 below 1024, 1024 below 2048,
// else 2048.
int FrequencyDomainLength(int dataLength);
// Rows of the F-K generator: 64 for a capacity up to 128 traces, 128 up to 256, else 256.
int FkRows(int maxTraces);

}  // namespace velk
