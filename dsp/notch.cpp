#include "dsp/notch.h"

#include <algorithm>
#include <cmath>

#include "platform/uihost.h"

namespace velk {

DialogRequest CNotchFilterDlg::Request()
{
    DialogRequest request(kClass, kTitle);
    request.Float("Other frequency", otherFrequency).Unit("Hz");
    request.Choice("Frequency", choice, {"50Hz", "60Hz", "Other frequency"});
    request.Bool("Delete harmonic components", deleteHarmonics);
    return request;
}

float CNotchFilterDlg::Frequency() const
{
    switch (choice) {
    case 0:
        return 50.0f;
    case 1:
        return 60.0f;
    default:
        return otherFrequency;
    }
}

DialogRequest CLsqNotchDlg::Request()
{
    DialogRequest request(kClass, kTitle);
    request.Choice("Fixed frequency", mode, {"Automatic", "50Hz", "60Hz"});
    request.Int("Number of harmonics", harmonics, 1, 100).Label("Number of harmonics =");
    request.Bool("Coarse sampling", coarseSampling);
    request.Double("Alpha", alpha);
    request.Double("Beta", beta);
    request.Int("Iteration", iterations, 0);
    request.Bool("Common frequency", commonFrequency);
    request.Float("Initial frequency", initialFrequency).Label("Initial frequency =").Unit("Hz");
    return request;
}

void ZeroNotchBins(double* re, double* im, int n, double f0, double df, bool harmonics)
{
    if (n <= 0 || !(df > 0.0)) {
        return;
    }
    auto zero = [&](long long bin) {
        if (bin >= 0 && bin < n) {
            re[bin] = 0.0;
            im[bin] = 0.0;
        }
    };
    auto notch = [&](long long a) {
        zero(a);
        zero(a + 1);
        zero(n - a);
        zero(n - a - 1);
    };
    const double first = std::trunc(f0 / df);
    if (!(first >= 0.0 && first <= n)) {
        return;
    }
    notch(static_cast<long long>(first));
    if (!harmonics) {
        return;
    }
    for (int h = 2; h < 100; ++h) {
        const double e = std::trunc(static_cast<double>(h) * f0 / df);
        if (!(e <= n / 2)) {
            break;
        }
        notch(static_cast<long long>(e));
    }
}

int LargestBin(const double* re, const double* im, int count)
{
    int best = 0;
    double largest = -1.0;
    for (int k = 0; k < count; ++k) {
        const double a = std::hypot(re[k], im[k]);
        if (a > largest) {
            largest = a;
            best = k;
        }
    }
    return best;
}

void SubtractSinusoids(std::span<float> x, int count, double intervalMs, double frequency,
                       std::span<const double> amplitudes, std::span<const double> phases)
{
    constexpr double kTwoPi = 6.2831855;
    if (!(frequency > 0.0)) {
        return;
    }
    const double period = 1000.0 / frequency;
    const size_t harmonics = std::min(amplitudes.size(), phases.size());
    const size_t n = std::min(static_cast<size_t>(std::max(count, 0)), x.size());
    for (size_t k = 0; k < n; ++k) {
        const double t = static_cast<double>(k) * intervalMs;
        double hum = 0.0;
        for (size_t h = 0; h < harmonics; ++h) {
            hum += amplitudes[h] * std::sin(kTwoPi * static_cast<double>(h + 1) * t / period + phases[h]);
        }
        x[k] = static_cast<float>(static_cast<double>(x[k]) - hum);
    }
}

}  // namespace velk
