#pragma once
// CAmplitudeReadDlg: the holder of the two amplitude readers of amplitude picking. It has no
// window; the commands call its functions directly.

#include <span>

namespace velk {

struct AmplitudeRead {
    float amplitude = 0.0f;  // |sample|
    float time = 0.0f;       // ms: index x interval
};

class CAmplitudeReadDlg {
public:
    // The largest |v_i| of the samples and its time i x dt; the first of equal maxima. Empty
    // samples give (0, 0).
    static AmplitudeRead FindPeakAmplitude(std::span<const float> samples, float dt);

    // The amplitude near the reference time T among samples v_0 .. v_(n-3) (n = count, at most
    // the samples given), from the differences D_i = v_(i+1) - v_i smoothed over three:
    //   mode not 0: the largest |v_i| with T - 500 < i x dt < T + 500 (first of equals), (0, 0)
    //               when there is none;
    //   mode 0:     the first i > 0 with i x dt > T + 0.05 where the sign of the smoothed
    //               difference changes; (|v_0|, 0) when there is none.
    // Fewer than 4 samples: (|v_0|, 0), or (0, 0) without samples.
    static AmplitudeRead FindAmplitudeNearPick(std::span<const float> samples, float dt, int count,
                                               float referenceTime, int mode);
};

}  // namespace velk
