#pragma once
// CLeastSquaresDlg: the holder of the least-squares routines (the "Least square method" dialog,
// OK and Cancel only, is never shown). A Gauss-Jordan solver with partial pivoting, the
// augmented-system wrapper, damped Gauss-Newton fits of power-line hum sinusoids to trace
// samples for the notch filters, and fits of reflection traveltimes to picked first arrivals.
//
// The fits share one loop: every round evaluates the model and its partial derivatives at each
// point, takes the RMS of the residuals, solves the normal equations J^T J d = J^T r with
// tolerance 1e-6 and adds factor x d to the parameters. The factor starts at the caller's
// value, is multiplied by a growth factor after each round and never exceeds 1.0. All rounds
// run; there is no convergence test. For the sinusoids sample j lies at t = j x step (ms);
// frequencies are in Hz, phases in radians.

#include <span>
#include <string>

namespace velk {

class CLeastSquaresDlg {
public:
    // GaussJordanSolve codes.
    static constexpr int kSolved = 0;
    static constexpr int kSingular = 1;
    static constexpr int kInvalid = 999;

    // Solves the n x n system held in the first n columns of `matrix` (row-major, rowStride
    // values a row) for each of the extra columns n .. columns-1, in place: the solutions end
    // in the extra columns. For each column the row with the largest absolute value at or below
    // the diagonal is the pivot (the first of equals); a pivot below the tolerance gives
    // kSingular. kInvalid for a row stride below the column count, n below 2 or not below the
    // column count, a negative tolerance, or a matrix shorter than n rows.
    static int GaussJordanSolve(std::span<double> matrix, int rowStride, int n, int columns, double tolerance);

    // M x = b: b is copied into column n of the matrix (rowStride at least n + 1), solved, and
    // the solution copied back into b. Returns the solver's code; b is unchanged unless 0.
    static int SolveAugmented(std::span<double> matrix, int rowStride, std::span<double> rhs, int n,
                              double tolerance = 1e-6);

    // One sinusoid of variable frequency, A sin(2 pi f t / 1000 + phase), from the starting
    // values; `rounds` rounds with the factor starting at alpha and growing by beta; f is held
    // within 48 .. 62 Hz after every round. 0 with the last round's values and the RMS of the
    // first and of the last round; 1 (outputs untouched) when the equations cannot be solved or
    // there are no samples.
    struct SinusoidFit {
        double amplitude = 0.0;
        double phase = 0.0;
        double frequency = 0.0;
        double rmsFirst = 0.0;
        double rmsLast = 0.0;
    };
    static int FitSinusoids(double amplitude, double phase, double frequency, std::span<const double> samples,
                            double stepMs, int rounds, double alpha, double beta, SinusoidFit& out);

    // Amplitude and phase of one sinusoid of the fixed frequency: 50 rounds, factor 0.1 growing
    // by 1.1. 0 with the results and the last round's RMS; 1 (outputs untouched) on failure.
    static int FitSinusoidsIterative(double& amplitude, double& phase, double amplitude0, double phase0,
                                     double frequency, std::span<const double> samples, double stepMs, double& rms);

    // The H sinusoids of frequencies h x f (h = 1 .. H = amplitudes.size() = phases.size()),
    // starting from the given amplitudes and phases and overwriting them with the fitted ones:
    // 50 rounds, factor 0.1 growing by 1.1. When `log` is given it receives " %d %f \n"
    // (round, RMS) for every round: the text of "lsm.txt". 0 when the outputs are valid; 1
    // (outputs untouched) on failure.
    static int FitSinusoidsLogged(std::span<double> amplitudes, std::span<double> phases, double frequency,
                                  std::span<const double> samples, double stepMs, double& rms,
                                  std::string* log = nullptr);

    // Reflection traveltime fits to points (position m, time ms), one point a pick; the factor
    // stays constant. Each returns 1 with the fitted values and the RMS (ms) of the last round,
    // or 0 with rms = -999 and the values untouched when a system cannot be solved, there are
    // no points, or a result is not usable (not finite, a zero slope of the reflector).
    //
    // Horizontal two-layer reflection t = sqrt(x^2 + 4 D^2) / V over the offsets x, in the
    // slowness 1/V and D; factor 0.5.
    static int FitReflectionTwoLayer(std::span<const double> offsets, std::span<const double> times, double& velocity,
                                     double& depth, int rounds, double& rms);
    // Vertical seismic profile: source at `source` and receivers at the given depths along the
    // well, the reflector the line y = u z + b that crosses the well at distance = -b / u at
    // angle = atan(u) to it (degrees); the time is the distance from the source's mirror image
    // in the reflector to the receiver over the velocity (km/s). Starts from u = tan(angle),
    // b = -u distance, or from u = b = 0 within 0.1 degree of 90 (normal equations that cannot
    // be solved). Given the velocity: u and b, factor 0.5.
    static int FitVspGivenVelocity(std::span<const double> receivers, std::span<const double> times, double& angle,
                                   double& distance, int rounds, double& rms, double velocity, double source);
    // The same with the slowness fitted too, at the caller's constant factor.
    static int FitVspFull(std::span<const double> receivers, std::span<const double> times, double& angle,
                          double& distance, int rounds, double& rms, double& velocity, double source,
                          double stepFactor);
};

}  // namespace velk
