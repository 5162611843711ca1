#include "dsp/least_squares.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "platform/numtext.h"

namespace velk {

namespace {

constexpr double kTolerance = 1e-6;
constexpr double kRadiansPerHzMs = 0.006283185307;  // 2 pi / 1000

// The model at one sample time: its value and its partial derivatives (grad.size() values).
using Model = std::function<double(double t, const std::vector<double>& p, std::vector<double>& grad)>;

struct Schedule {
    int rounds = 0;
    double factor = 0.1;
    double growth = 1.1;
};

// The damped Gauss-Newton loop over the points (abscissa[j], samples[j]). `after` runs on the
// parameters after every update (clamps). Returns 0 with the parameters of the last round and
// the RMS of the first and last rounds (each taken before its round's update), 1 when a system
// could not be solved (p then holds the values reached so far).
int Fit(std::vector<double>& p, const Model& model, std::span<const double> abscissa, std::span<const double> samples,
        Schedule s, const std::function<void(std::vector<double>&)>& after, double& rmsFirst, double& rmsLast,
        std::string* log)
{
    const int np = static_cast<int>(p.size());
    if (samples.empty() || np < 1 || abscissa.size() < samples.size()) {
        return 1;
    }
    const int stride = np + 1;
    std::vector<double> matrix(static_cast<size_t>(np * stride));
    std::vector<double> rhs(static_cast<size_t>(np));
    std::vector<double> grad(static_cast<size_t>(np));
    double factor = s.factor;
    for (int round = 0; round < s.rounds; ++round) {
        std::fill(matrix.begin(), matrix.end(), 0.0);
        std::fill(rhs.begin(), rhs.end(), 0.0);
        double sum = 0.0;
        for (size_t j = 0; j < samples.size(); ++j) {
            const double r = samples[j] - model(abscissa[j], p, grad);
            sum += r * r;
            for (int a = 0; a < np; ++a) {
                rhs[static_cast<size_t>(a)] += grad[static_cast<size_t>(a)] * r;
                for (int b = 0; b < np; ++b) {
                    matrix[static_cast<size_t>(a * stride + b)] += grad[static_cast<size_t>(a)] * grad[static_cast<size_t>(b)];
                }
            }
        }
        const double rms = std::sqrt(sum / static_cast<double>(samples.size()));
        if (round == 0) {
            rmsFirst = rms;
        }
        rmsLast = rms;
        if (log) {
            *log += FormatC(" %d %f \n", round, rms);
        }
        if (CLeastSquaresDlg::SolveAugmented(matrix, stride, rhs, np, kTolerance) != CLeastSquaresDlg::kSolved) {
            return 1;
        }
        factor = std::min(factor, 1.0);
        for (int a = 0; a < np; ++a) {
            p[static_cast<size_t>(a)] += factor * rhs[static_cast<size_t>(a)];
        }
        factor *= s.growth;
        if (after) {
            after(p);
        }
    }
    return 0;
}

// Sample j at j x step.
std::vector<double> SampleTimes(size_t count, double step)
{
    std::vector<double> t(count);
    for (size_t j = 0; j < count; ++j) {
        t[j] = static_cast<double>(j) * step;
    }
    return t;
}

// RMS of the residuals of the model at the given parameters (for a call with no rounds).
double Rms(const std::vector<double>& p, const Model& model, std::span<const double> samples, double step)
{
    std::vector<double> grad(p.size());
    double sum = 0.0;
    for (size_t j = 0; j < samples.size(); ++j) {
        const double r = samples[j] - model(static_cast<double>(j) * step, p, grad);
        sum += r * r;
    }
    return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

}  // namespace

int CLeastSquaresDlg::GaussJordanSolve(std::span<double> m, int rowStride, int n, int columns, double tolerance)
{
    if (rowStride < columns || n < 2 || n >= columns || !(tolerance >= 0.0) ||
        m.size() < static_cast<size_t>(n) * static_cast<size_t>(rowStride)) {
        return kInvalid;
    }
    auto at = [&](int i, int j) -> double& { return m[static_cast<size_t>(i) * static_cast<size_t>(rowStride) + static_cast<size_t>(j)]; };
    for (int i = 0; i < n; ++i) {
        int pivot = i;
        for (int r = i + 1; r < n; ++r) {
            if (std::fabs(at(r, i)) > std::fabs(at(pivot, i))) {
                pivot = r;
            }
        }
        // Also catches NaN: no comparison with it holds.
        if (!(std::fabs(at(pivot, i)) >= tolerance) || at(pivot, i) == 0.0) {
            return kSingular;
        }
        if (pivot != i) {
            for (int j = 0; j < columns; ++j) {
                std::swap(at(i, j), at(pivot, j));
            }
        }
        const double d = at(i, i);
        for (int j = i; j < columns; ++j) {
            at(i, j) /= d;
        }
        for (int r = i + 1; r < n; ++r) {
            const double f = at(r, i);
            if (f != 0.0) {
                for (int j = i; j < columns; ++j) {
                    at(r, j) -= f * at(i, j);
                }
            }
        }
    }
    for (int c = n; c < columns; ++c) {
        for (int i = n - 1; i >= 0; --i) {
            double v = at(i, c);
            for (int j = i + 1; j < n; ++j) {
                v -= at(i, j) * at(j, c);
            }
            at(i, c) = v;
        }
    }
    return kSolved;
}

int CLeastSquaresDlg::SolveAugmented(std::span<double> matrix, int rowStride, std::span<double> rhs, int n,
                                     double tolerance)
{
    if (n < 0 || rhs.size() < static_cast<size_t>(n) || rowStride < n + 1 ||
        matrix.size() < static_cast<size_t>(n) * static_cast<size_t>(std::max(rowStride, 0))) {
        return kInvalid;
    }
    for (int i = 0; i < n; ++i) {
        matrix[static_cast<size_t>(i) * static_cast<size_t>(rowStride) + static_cast<size_t>(n)] = rhs[static_cast<size_t>(i)];
    }
    const int code = GaussJordanSolve(matrix, rowStride, n, n + 1, tolerance);
    if (code != kSolved) {
        return code;
    }
    for (int i = 0; i < n; ++i) {
        rhs[static_cast<size_t>(i)] = matrix[static_cast<size_t>(i) * static_cast<size_t>(rowStride) + static_cast<size_t>(n)];
    }
    return kSolved;
}

int CLeastSquaresDlg::FitSinusoids(double amplitude, double phase, double frequency, std::span<const double> samples,
                                   double stepMs, int rounds, double alpha, double beta, SinusoidFit& out)
{
    // p = (A, phase, f)
    const Model model = [](double t, const std::vector<double>& p, std::vector<double>& g) {
        const double angle = kRadiansPerHzMs * p[2] * t + p[1];
        const double s = std::sin(angle);
        const double c = std::cos(angle);
        g[0] = s;
        g[1] = p[0] * c;
        g[2] = p[0] * c * kRadiansPerHzMs * t;
        return p[0] * s;
    };
    std::vector<double> p = {amplitude, phase, frequency};
    double rmsFirst = 0.0;
    double rmsLast = 0.0;
    if (samples.empty()) {
        return 1;
    }
    if (rounds <= 0) {
        rmsFirst = rmsLast = Rms(p, model, samples, stepMs);
    } else if (Fit(p, model, SampleTimes(samples.size(), stepMs), samples, {rounds, alpha, beta},
                   [](std::vector<double>& q) { q[2] = std::clamp(q[2], 48.0, 62.0); }, rmsFirst, rmsLast,
                   nullptr) != 0) {
        return 1;
    }
    out = {p[0], p[1], p[2], rmsFirst, rmsLast};
    return 0;
}

int CLeastSquaresDlg::FitSinusoidsIterative(double& amplitude, double& phase, double amplitude0, double phase0,
                                            double frequency, std::span<const double> samples, double stepMs,
                                            double& rms)
{
    const double w = kRadiansPerHzMs * frequency;
    const Model model = [w](double t, const std::vector<double>& p, std::vector<double>& g) {
        const double s = std::sin(w * t + p[1]);
        g[0] = s;
        g[1] = p[0] * std::cos(w * t + p[1]);
        return p[0] * s;
    };
    std::vector<double> p = {amplitude0, phase0};
    double first = 0.0;
    double last = 0.0;
    if (Fit(p, model, SampleTimes(samples.size(), stepMs), samples, {50, 0.1, 1.1}, {}, first, last, nullptr) != 0) {
        return 1;
    }
    amplitude = p[0];
    phase = p[1];
    rms = last;
    return 0;
}

int CLeastSquaresDlg::FitSinusoidsLogged(std::span<double> amplitudes, std::span<double> phases, double frequency,
                                         std::span<const double> samples, double stepMs, double& rms,
                                         std::string* log)
{
    const size_t h = std::min(amplitudes.size(), phases.size());
    if (h == 0) {
        return 1;
    }
    const double w = kRadiansPerHzMs * frequency;
    // p = (A_1, phase_1, A_2, phase_2, ...)
    const Model model = [w, h](double t, const std::vector<double>& p, std::vector<double>& g) {
        double v = 0.0;
        for (size_t i = 0; i < h; ++i) {
            const double angle = w * static_cast<double>(i + 1) * t + p[2 * i + 1];
            const double s = std::sin(angle);
            g[2 * i] = s;
            g[2 * i + 1] = p[2 * i] * std::cos(angle);
            v += p[2 * i] * s;
        }
        return v;
    };
    std::vector<double> p(2 * h);
    for (size_t i = 0; i < h; ++i) {
        p[2 * i] = amplitudes[i];
        p[2 * i + 1] = phases[i];
    }
    double first = 0.0;
    double last = 0.0;
    std::string text;
    const int code = Fit(p, model, SampleTimes(samples.size(), stepMs), samples, {50, 0.1, 1.1}, {}, first, last, &text);
    if (log) {
        *log = std::move(text);
    }
    if (code != 0) {
        return 1;
    }
    for (size_t i = 0; i < h; ++i) {
        amplitudes[i] = p[2 * i];
        phases[i] = p[2 * i + 1];
    }
    rms = last;
    return 0;
}

namespace {

constexpr double kFailedRms = -999.0;
constexpr double kRadiansPerDegree = 0.017452888;
constexpr double kDegreesPerRadian = 57.297104;

// The reflection of a VSP: p = (u, b[, slowness]); the source at zs on the well axis y = 0 is
// mirrored in the line y = u z + b and the path runs from the image to the receiver at z.
double VspModel(double z, double zs, const std::vector<double>& p, double slowness, std::vector<double>& g)
{
    const double u = p[0];
    const double b = p[1];
    const double q = 1.0 + u * u;
    const double k = (u * zs + b) / q;  // the image lies at (zs - 2 u k, 2 k)
    const double dkdu = (zs - 2.0 * u * k) / q;
    const double dkdb = 1.0 / q;
    const double a = z - zs + 2.0 * u * k;
    const double c = 2.0 * k;
    const double path = std::hypot(a, c);
    double dpdu = 0.0;
    double dpdb = 0.0;
    if (path > 0.0) {
        dpdu = (a * (2.0 * k + 2.0 * u * dkdu) + c * 2.0 * dkdu) / path;
        dpdb = (a * 2.0 * u * dkdb + c * 2.0 * dkdb) / path;
    }
    g[0] = slowness * dpdu;
    g[1] = slowness * dpdb;
    if (g.size() > 2) {
        g[2] = path;
    }
    return path * slowness;
}

bool Usable(const std::vector<double>& p)
{
    return std::all_of(p.begin(), p.end(), [](double v) { return std::isfinite(v); });
}

// The VSP starting line from the angle (degrees) and the crossing distance (m).
std::vector<double> VspStart(double angle, double distance)
{
    if (std::fabs(90.0 - angle) <= 0.1) {
        return {0.0, 0.0};
    }
    const double u = std::tan(angle * kRadiansPerDegree);
    return {u, -u * distance};
}

}  // namespace

int CLeastSquaresDlg::FitReflectionTwoLayer(std::span<const double> offsets, std::span<const double> times,
                                            double& velocity, double& depth, int rounds, double& rms)
{
    rms = kFailedRms;
    if (!(velocity != 0.0) || times.empty() || offsets.size() < times.size()) {
        return 0;
    }
    const Model model = [](double x, const std::vector<double>& p, std::vector<double>& g) {
        const double root = std::sqrt(x * x + 4.0 * p[1] * p[1]);
        g[0] = root;
        g[1] = root > 0.0 ? 4.0 * p[0] * p[1] / root : 0.0;
        return p[0] * root;
    };
    std::vector<double> p = {1.0 / velocity, depth};
    double first = 0.0;
    double last = 0.0;
    if (Fit(p, model, offsets, times, {rounds, 0.5, 1.0}, {}, first, last, nullptr) != 0 || !Usable(p) ||
        p[0] == 0.0) {
        return 0;
    }
    velocity = 1.0 / p[0];
    depth = p[1];
    rms = last;
    return 1;
}

int CLeastSquaresDlg::FitVspGivenVelocity(std::span<const double> receivers, std::span<const double> times,
                                          double& angle, double& distance, int rounds, double& rms, double velocity,
                                          double source)
{
    rms = kFailedRms;
    if (!(velocity != 0.0) || times.empty() || receivers.size() < times.size()) {
        return 0;
    }
    const double slowness = 1.0 / velocity;
    const Model model = [slowness, source](double z, const std::vector<double>& p, std::vector<double>& g) {
        return VspModel(z, source, p, slowness, g);
    };
    std::vector<double> p = VspStart(angle, distance);
    double first = 0.0;
    double last = 0.0;
    if (Fit(p, model, receivers, times, {rounds, 0.5, 1.0}, {}, first, last, nullptr) != 0 || !Usable(p) ||
        p[0] == 0.0) {
        return 0;
    }
    angle = std::atan(p[0]) * kDegreesPerRadian;
    distance = -p[1] / p[0];
    rms = last;
    return 1;
}

int CLeastSquaresDlg::FitVspFull(std::span<const double> receivers, std::span<const double> times, double& angle,
                                 double& distance, int rounds, double& rms, double& velocity, double source,
                                 double stepFactor)
{
    rms = kFailedRms;
    if (!(velocity != 0.0) || times.empty() || receivers.size() < times.size()) {
        return 0;
    }
    const Model model = [source](double z, const std::vector<double>& p, std::vector<double>& g) {
        return VspModel(z, source, p, p[2], g);
    };
    std::vector<double> p = VspStart(angle, distance);
    p.push_back(1.0 / velocity);
    double first = 0.0;
    double last = 0.0;
    if (Fit(p, model, receivers, times, {rounds, stepFactor, 1.0}, {}, first, last, nullptr) != 0 || !Usable(p) ||
        p[0] == 0.0 || p[2] == 0.0) {
        return 0;
    }
    angle = std::atan(p[0]) * kDegreesPerRadian;
    distance = -p[1] / p[0];
    velocity = 1.0 / p[2];
    rms = last;
    return 1;
}

}  // namespace velk
