#pragma once
// The tau-p (slant-stack) transform (dialog 180 "tau-p transform") and the tau-p velocity filter
// (dialog 181 "Velocity filter(tau-p)").
//
// A slowness p (s/km) stacks each trace t along n = trunc(j + p (x_t - reference) / dt), x in m
// and dt in ms, for every intercept sample j; samples beyond a trace do not enter. Trace t is
// row RowLow() + t of a matrix; p row i is row RowLow() + i of the panel.

#include <span>
#include <string>

#include "base/matrix2d.h"

namespace velk {

class DialogRequest;

struct CTauPTransformDlg {
    static constexpr const char* kClass = "CTauPTransformDlg";
    static constexpr const char* kTitle = "tau-p transform";
    static constexpr const char* kMaxP = "Maximum p";
    static constexpr const char* kInterval = "Intervals";
    static constexpr const char* kMinP = "Minimum p";
    static constexpr const char* kMethod = "Stacking method";
    static constexpr const char* kNumberOfP = "# of p =";
    static constexpr const char* kVelocity1123 = "Velocity of maximum p";
    static constexpr const char* kVelocity1136 = "Velocity of minimum p";
    static constexpr const char* kMaxOffset = "Maximum offset";
    static constexpr const char* kMinOffset = "Minimum offset";
    static constexpr const char* kCalculate = "Calculate velocity";

    static constexpr int kSumAmplitude = 0;
    static constexpr int kSemblance = 1;
    static constexpr int kAmplitudeBySemblance = 2;

    // The dialog's values in their exchange order; the method -1 until one is chosen. The
    // offsets are exchanged with the dialog but play no part in the transform.
    float maxP = 0.0f;      // s/km
    float interval = 0.0f;  // s/km
    float minP = 0.0f;      // s/km
    int method = -1;
    int numberOfP = 0;
    std::string velocity1123;  // km/sec: 1 / maximum p
    std::string velocity1136;  // km/sec: 1 / minimum p
    float maxOffset = 0.0f;  // m
    float minOffset = 0.0f;  // m

    DialogRequest Request(int language);

    // "Calculate velocity": with both p non-zero, the number of p and the two velocity texts
    // ("%f" of 1 / maximum p and of 1 / minimum p). The number of p needs an interval above 0.
    void UpdateVelocityRange();
    // The "Calculate velocity" button on a dialog being edited: UpdateVelocityRange on the
    // request's edited p values, its results written into the edited number of p and velocity
    // texts (the struct itself changes only when the dialog ends with OK).
    static void CalculateVelocity(DialogRequest& request);

    // The number of slownesses from the smaller p to the larger one, both included:
    // floor(|max - min| / interval + 1e-4) + 1, so that an end value that the float arithmetic
    // puts just below a whole step still counts (0.05 .. 0.5 by 0.05 gives 10). 0 when the
    // interval is not above 0 or the count does not fit an int.
    static int NumberOfP(float minP, float maxP, float interval);

    // Stacks np slownesses p_i = p0 + dp i (their reciprocals when velocityMode is 1, the values
    // then being velocities in km/s) into output rows 0..np-1, `sampleCount` values each:
    //   method 0 (sum amplitude)         A = sum of the samples,
    //   method 1 (semblance)             sum^2 / count / sum of squares,
    //   method 2 and above               A x sum^2 / count / sum of squares,
    // a semblance being 0 without energy. Input and output may be the same matrix (the input
    // traces are copied first). A slowness that is not finite gives a row of zeros.
    static void SlantStack(const Matrix2D<float>& input, Matrix2D<float>& output, float p0, float dp, int np,
                           int sampleCount, int traceCount, float dt, std::span<const double> positions,
                           double reference, int method, int velocityMode);

    // The adjoint of the sum-amplitude stack, unnormalised: output rows 0..traceCount-1 are
    // cleared, then every p row i adds panel[i][j] into output[t][n] along its trajectories.
    // Sums are kept in float, row by row of the panel.
    static void InverseSlantStack(const Matrix2D<float>& panel, Matrix2D<float>& output, float p0, float dp, int np,
                                  int sampleCount, int traceCount, float dt, std::span<const double> positions,
                                  double reference);
};

struct CTauPVelocityFilterDlg {
    static constexpr const char* kClass = "CTauPVelocityFilterDlg";
    static constexpr const char* kTitle = "Velocity filter(tau-p)";
    static constexpr const char* kMaxVelocity = "Max. velocity";
    static constexpr const char* kMinVelocity = "Min. velocity";
    static constexpr const char* kNp = "NP";
    static constexpr const char* kMethod = "Stacking method";
    static constexpr int kMinNp = 2;
    static constexpr int kMaxNp = 10000;

    float maxVelocity = 0.0f;  // km/s
    float minVelocity = 0.0f;  // km/s
    int np = 0;
    int method = -1;

    DialogRequest Request(int language);

    // The filter of traces 0..traceCount-1 in place: the slant stack of np slownesses p0 + dp i
    // with the method, followed by InverseSlantStack of that panel. The panel is made and
    // consumed a block of p rows at a time, so it never needs np whole rows; the result is the
    // one SlantStack and InverseSlantStack give.
    static void Filter(Matrix2D<float>& rows, float p0, float dp, int np, int sampleCount, int traceCount, float dt,
                       std::span<const double> positions, double reference, int method);
};

}  // namespace velk
