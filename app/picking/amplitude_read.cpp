#include "app/picking/amplitude_read.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace velk {

AmplitudeRead CAmplitudeReadDlg::FindPeakAmplitude(std::span<const float> samples, float dt)
{
    AmplitudeRead best;
    bool found = false;
    for (size_t i = 0; i < samples.size(); ++i) {
        const float a = std::fabs(samples[i]);
        if (!found || a > best.amplitude) {
            best = {a, static_cast<float>(static_cast<double>(i) * dt)};
            found = true;
        }
    }
    return best;
}

AmplitudeRead CAmplitudeReadDlg::FindAmplitudeNearPick(std::span<const float> samples, float dt, int count,
                                                       float referenceTime, int mode)
{
    const int n = std::clamp(count, 0, static_cast<int>(samples.size()));
    if (n == 0) return {};
    if (n < 4) return {std::fabs(samples[0]), 0.0f};

    const auto v = [&](int i) { return samples[static_cast<size_t>(i)]; };
    const auto timeOf = [&](int i) { return static_cast<float>(i) * dt; };
    const int last = n - 3;  // D and S run over 0 .. n - 3

    if (mode != 0) {
        AmplitudeRead best;
        bool found = false;
        for (int i = 0; i <= last; ++i) {
            const float t = timeOf(i);
            if (!(t > referenceTime - 500.0f && t < referenceTime + 500.0f)) continue;
            const float a = std::fabs(v(i));
            if (!found || a > best.amplitude) {
                best = {a, t};
                found = true;
            }
        }
        return best;
    }

    std::vector<float> d(static_cast<size_t>(last + 1));
    for (int i = 0; i <= last; ++i) d[static_cast<size_t>(i)] = v(i + 1) - v(i);
    const auto D = [&](int i) { return d[static_cast<size_t>(i)]; };
    const auto smoothed = [&](int i) {
        if (i == 0) return D(0);
        if (i == last) return (D(last - 1) + D(last)) * 0.5f;
        return (D(i - 1) + D(i) + D(i + 1)) * 0.33333334f;
    };
    int previousSign = 1;
    for (int i = 0; i <= last; ++i) {
        const int sign = smoothed(i) < 0.0f ? -1 : 1;
        if (i > 0 && timeOf(i) > referenceTime + 0.05f && sign * previousSign == -1) {
            return {std::fabs(v(i)), timeOf(i)};
        }
        previousSign = sign;
    }
    return {std::fabs(v(0)), 0.0f};
}

}  // namespace velk
