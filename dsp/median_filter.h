#pragma once
// Medians across traces: the median of M neighbouring traces at equal time ("Enhance vertical
// trajectories", dialog 182 "Median filter"), and the median along the dipping trajectory of
// highest semblance (the median velocity filter, dialog 183 "Velocity filter(Median filter)").
//
// Trace i is row RowLow() + i of a matrix. A window of M traces around trace c holds traces
// c - (M - 1)/2 + m, m = 0..M-1, that exist; at the record's edges fewer traces enter, and with
// an even M the window reaches one trace further after c than before it. Positions are in m,
// slownesses in s/km and intervals in ms, so p x distance / dt is a number of samples.

#include <span>

#include "base/matrix2d.h"

namespace velk {

class DialogRequest;

// The upper middle value of count values: the ((count - 1)/2 + 1)-th largest, the median for an
// odd count. Reorders the values; 0 for count < 1.
float MedianOfValues(float* values, int count);

// output[i][k] = the median of input[t][k] over the window of M traces around i, for every
// trace i < traceCount and sample k < sampleCount. M below 1 is taken as 1. Input and output
// must be different matrices.
void MedianAcrossTraces(int traceCount, int M, const Matrix2D<float>& input, Matrix2D<float>& output,
                        int sampleCount);

// For every output trace c and sample k: among the slownesses p_e = 1/minVelocity + e x step,
// step = (1/maxVelocity - 1/minVelocity) / (steps - 1), e = 0..steps-1, the one whose trajectory
// n = trunc(k + (x_t - x_c) x p_e / dt) over the window of M traces around c has the largest
// semblance S = sum^2 / (count x sum of squares) (0 without energy; a later step wins a tie,
// so a silent window takes the last step); output[c][k] = the median of the samples on that
// trajectory, times S when weighting is 1. Samples beyond a trace do not enter. All
// arithmetic is double, the median and the product rounded to float.
// Invalid parameters (steps < 2, a velocity or dt not above 0, fewer positions than traces)
// copy the input unchanged. Input and output must be different matrices.
void MedianAlongSlowness(int traceCount, int M, const Matrix2D<float>& input, Matrix2D<float>& output,
                         int sampleCount, float dt, std::span<const double> positions, float minVelocity,
                         float maxVelocity, int steps, int weighting);

// Dialog 182 "Median filter".
struct CMedianFilterDlg {
    static constexpr const char* kClass = "CMedianFilterDlg";
    static constexpr const char* kTitle = "Median filter";
    static constexpr const char* kTraces = "# of trace (M)";
    int traces = 0;

    DialogRequest Request(int language);
};

// Dialog 183 "Velocity filter(Median filter)".
struct CMedianVelocityDlg {
    static constexpr const char* kClass = "CMedianVelocityDlg";
    static constexpr const char* kTitle = "Velocity filter(Median filter)";
    static constexpr const char* kTraces = "# of traces (M)";
    static constexpr const char* kSteps = "Number of slowness steers";
    static constexpr const char* kMaxVelocity = "Max. velocity";
    static constexpr const char* kMinVelocity = "Min. velocity";
    static constexpr const char* kWeighting = "Semblance weighting";
    int traces = 0;
    int steps = 0;
    float maxVelocity = 0.0f;  // km/s
    float minVelocity = 0.0f;  // km/s
    int weighting = 0;

    DialogRequest Request(int language);
};

}  // namespace velk
