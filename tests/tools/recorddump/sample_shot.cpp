#include "recorddump/sample_shot.h"

#include <cmath>
#include <cstdint>
#include <numbers>

#include "formats/seg2.h"

namespace velk::tools {

namespace {

// SplitMix64: a fixed, portable sequence.
class Noise {
public:
    explicit Noise(uint64_t seed) : state_(seed) {}
    // Roughly normal, mean 0, standard deviation 1 (a sum of four uniforms).
    double Next()
    {
        double sum = 0.0;
        for (int i = 0; i < 4; ++i) sum += Uniform();
        return (sum - 2.0) * std::sqrt(3.0);
    }

private:
    double Uniform()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) * 0x1.0p-53;
    }
    uint64_t state_;
};

// Ricker wavelet of peak frequency f (Hz) at time t (s) from its centre.
double Ricker(double f, double t)
{
    const double a = std::numbers::pi * std::numbers::pi * f * f * t * t;
    return (1.0 - 2.0 * a) * std::exp(-a);
}

}  // namespace

SampleShot MakeSampleShot()
{
    constexpr double kSource = -2.5;        // m
    constexpr double kSpacing = 5.0;        // m
    constexpr double kV1 = 400.0;           // m/s, the top layer
    constexpr double kV2 = 1800.0;          // m/s, the refractor
    constexpr double kDepth = 6.0;          // m
    constexpr double kRollVelocity = 180.0; // m/s
    const double intercept = 2.0 * kDepth * std::sqrt(1.0 / (kV1 * kV1) - 1.0 / (kV2 * kV2));
    const double dt = SampleShot::kIntervalUs * 1e-6;

    SampleShot shot;
    shot.rows = Matrix2D<float>(0, SampleShot::kTraces - 1, 0, SampleShot::kSamples - 1);
    shot.headers.resize(SampleShot::kTraces);
    Noise noise(20240611);
    for (int i = 0; i < SampleShot::kTraces; ++i) {
        const double receiver = i * kSpacing;
        const double x = receiver - kSource;
        const double direct = x / kV1;
        const double head = x / kV2 + intercept;
        const double roll = x / kRollVelocity;
        shot.headers[static_cast<size_t>(i)].Set(i + 1, static_cast<int32_t>(std::lround(receiver * 100.0)),
                                                 static_cast<int32_t>(std::lround(kSource * 100.0)), 0, 1, 0.0f,
                                                 SampleShot::kIntervalUs, SampleShot::kSamples);
        for (int k = 0; k < SampleShot::kSamples; ++k) {
            const double t = k * dt;
            // Each wavelet starts at its arrival: the centre lies one period later.
            double v = Ricker(80.0, t - direct - 1.0 / 80.0) / (1.0 + x / 5.0);
            v += 0.6 * Ricker(60.0, t - head - 1.0 / 60.0) / (1.0 + x / 20.0);
            v += 1.5 * Ricker(18.0, t - roll - 1.0 / 18.0) / (1.0 + x / 10.0);
            v += 0.01 * noise.Next();
            shot.rows[i][k] = static_cast<float>(v);
        }
    }
    return shot;
}

bool WriteSampleShot(const std::string& path, std::string* error)
{
    const SampleShot shot = MakeSampleShot();
    const WriteStatus status = WriteSeg2File(path, shot.rows, shot.headers, SampleShot::kTraces, 4, 1.0f);
    if (!status && error) *error = status.error;
    return status.ok;
}

}  // namespace velk::tools
