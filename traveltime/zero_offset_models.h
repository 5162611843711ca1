#pragma once
// Synthetic test records of the migrations and the processing commands: zero-offset sections
// (two point diffractors, four dipping reflector segments and their true image, an impulse, a
// curved reflector), the shot record of the horizontal two-layer model, a deconvolution test
// record and a power-line hum record.
//
// Each kernel writes into rows 0 .. traces-1 of `rows` (zeroed by the caller), samples
// 0 .. samples-1. The wavelet w comes from the caller, indexed from 1 (samples + 1 values);
// random values come drawn, so that these kernels stay pure.
//
// An arrival of two-way path L (m) at time t (ms) adds -w[i - k + 1] / L to sample i, with
// k = trunc(t / dt) and L raised to at least 0.0001; a trace's first arrival from i = k, every
// further arrival from i = k + 1.

#include <array>
#include <span>
#include <vector>

#include "base/matrix2d.h"

namespace velk {

class CTheoreticalTraveltime;

struct SyntheticRows {
    Matrix2D<float>& rows;
    int traces = 0;
    int samples = 0;
    float intervalMs = 0.0f;
    std::span<const float> wavelet;
};

// Adds one arrival to a row (see above). Nothing for a time that is not finite or negative.
void AddArrival(std::span<float> row, int samples, std::span<const float> w, double timeMs, double intervalMs,
                double pathM, bool first);

// Trace k (1-based) at x = k x interval: the two-way paths to diffractor 1 (first arrival) and
// diffractor 2 (further arrival) at the velocity (km/s).
void ModelPointDiffractors(const SyntheticRows& out, float interval, float velocity, float x1, float y1, float x2,
                           float y2);

// The four dipping segments, depth y(m) < 0 at horizontal position m.
double DippingSegmentDepth(int segment, double m);
// The normal-incidence arrivals at x of the four segments, each from its nearest point (an end
// point gives a diffraction): time (ms) at the velocity (km/s) and two-way path (m).
struct Arrival {
    double timeMs = 0.0;
    double pathM = 0.0;
};
std::array<Arrival, 4> DippingSegmentArrivals(double x, float velocity);
// Trace k at x = k m: the four arrivals above, segment 1 the first.
void ModelDippingSegments(const SyntheticRows& out, float velocity);
// Trace k at x = k m: one arrival at the vertical two-way path of the segment below x.
void ModelDesiredMigration(const SyntheticRows& out, float velocity);

// Zero except trace index 100, where sample j > 200 holds -w[j - 199].
void ModelImpulse(const SyntheticRows& out);

// The curved reflector's half depth h at integer position i = 0 .. 300 (m).
double ComplexStructureDepth(int i);
// Trace k at x = k m: an arrival at path 2 D(i) for each stationary point (at most 10) of
// D(i) = sqrt((x - i)^2 + (2 h(i))^2); an arrival at sample 0 is dropped.
void ModelComplexStructure(const SyntheticRows& out, float velocity);

// The shot record of the two-layer model: trace k (1-based) at x = k x interval, the source at
// `source` m. The direct wave (with includeDirect), the head wave where it exists as a wave of
// its own, and the reflection; the earliest of them is the first arrival.
void ModelTwoLayerRecord(const SyntheticRows& out, const CTheoreticalTraveltime& model, float interval, float source,
                         bool includeDirect);

// The deconvolution test record: trace 0 is the wavelet delayed 9 samples; trace j carries j
// spikes -(r2[l] + 0.5) at samples trunc((0.8 r1[l] + 0.1) x samples), l < j (a later one
// replaces an earlier one on the same sample). r1 and r2 hold at least traces - 1 values.
void ModelDeconvolution(const SyntheticRows& out, std::span<const float> r1, std::span<const float> r2);

// The hum record: -10 w[j - 399] for j > 399 plus, per harmonic n, A r1 sin(2 pi r2 + 2 pi n j dt
// / P); `randoms` holds r1, r2 for each trace and harmonic in that order (2 x traces x
// harmonics values).
void ModelHumNoise(const SyntheticRows& out, double periodMs, int harmonics, float amplitude,
                   std::span<const float> randoms);

}  // namespace velk
