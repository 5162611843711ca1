#include "dsp/deconvolution.h"

#include <algorithm>
#include <cmath>

#include "dsp/band_pass.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "dsp/least_squares.h"
#include "dsp/matrix_product.h"

namespace velk {

namespace {

constexpr int kGaussCap = 200;      // Gauss and conjugate gradient above kLargest
constexpr int kLevinsonCap = 201;
constexpr int kLargest = 201;
constexpr int kMaxIterations = 50;

bool Finite(double v) { return std::isfinite(v); }

}  // namespace

DialogRequest CDeconvolutionDlg::Request()
{
    DialogRequest request(kClass, kTitle);
    request.Choice("Method", method, {"Gauss method", "Conjugate gradient", "Levinson's method"});
    request.Float("Pre-whitening", prewhitening, 0.0, 100.0).Label("Pre-whitening = ").Unit("%");
    request.Float("Opelator length", operatorLength).Label("Opelator length = ").Unit("msec");
    return request;
}

int CConjugateGradientDlg::Solve(const double* matrix, int rowStride, double* b, const double* x0, double* history,
                                 int n, int maxIterations)
{
    if (n <= 0) {
        return 0;
    }
    std::vector<double> x(x0, x0 + n), g(static_cast<size_t>(n)), d(static_cast<size_t>(n), 0.0),
        q(static_cast<size_t>(n));
    MultiplyTransposed(n, x.data(), matrix, rowStride, q.data());
    for (int i = 0; i < n; ++i) {
        g[static_cast<size_t>(i)] = b[i] - q[static_cast<size_t>(i)];
    }
    double previous = 1.0;
    int stop = 0;
    for (int it = 0; it < maxIterations; ++it) {
        double s = 0.0;
        for (double v : g) {
            s += v * v;
        }
        history[it] = std::sqrt(s);
        if ((it > 3 && history[it] > 2.0 * history[it - 1]) || s < 0.00001) {
            stop = it;
            break;
        }
        const double beta = s / previous;
        for (int i = 0; i < n; ++i) {
            d[static_cast<size_t>(i)] = beta * d[static_cast<size_t>(i)] + g[static_cast<size_t>(i)];
        }
        MultiplyTransposed(n, d.data(), matrix, rowStride, q.data());
        double dq = 0.0;
        for (int i = 0; i < n; ++i) {
            dq += d[static_cast<size_t>(i)] * q[static_cast<size_t>(i)];
        }
        if (dq == 0.0 || !Finite(dq)) {
            return -1;
        }
        const double alpha = s / dq;
        for (int i = 0; i < n; ++i) {
            x[static_cast<size_t>(i)] += alpha * d[static_cast<size_t>(i)];
            g[static_cast<size_t>(i)] -= alpha * q[static_cast<size_t>(i)];
        }
        previous = s;
    }
    std::copy(x.begin(), x.end(), b);
    return stop;
}

int CConjugateGradientDlg::SolveToeplitz(const double* r, const double* g, double* f, int n)
{
    if (n < 1 || r[0] == 0.0 || !Finite(r[0])) {
        return -1;
    }
    // Normalised to r[0] = 1: t[k] = r[k] / r[0]. x solves the growing system, y the
    // Yule-Walker system T y = -(t[1..k]) that extends it by one order each step.
    const double r0 = r[0];
    std::vector<double> y(static_cast<size_t>(n)), z(static_cast<size_t>(n));
    f[0] = g[0] / r0;
    if (n == 1) {
        return Finite(f[0]) ? 0 : -1;
    }
    y[0] = -r[1] / r0;
    double alpha = y[0];
    double beta = 1.0;
    for (int k = 1; k < n; ++k) {
        beta *= (1.0 - alpha * alpha);
        if (beta == 0.0 || !Finite(beta)) {
            return -1;
        }
        double num = g[k] / r0;
        for (int j = 0; j < k; ++j) {
            num -= r[j + 1] / r0 * f[k - 1 - j];
        }
        const double mu = num / beta;
        for (int j = 0; j < k; ++j) {
            f[j] += mu * y[static_cast<size_t>(k - 1 - j)];
        }
        f[k] = mu;
        if (k == n - 1) {
            break;
        }
        double c = -r[k + 1] / r0;
        for (int j = 0; j < k; ++j) {
            c -= r[j + 1] / r0 * y[static_cast<size_t>(k - 1 - j)];
        }
        alpha = c / beta;
        for (int j = 0; j < k; ++j) {
            z[static_cast<size_t>(j)] = y[static_cast<size_t>(j)] + alpha * y[static_cast<size_t>(k - 1 - j)];
        }
        std::copy(z.begin(), z.begin() + k, y.begin());
        y[static_cast<size_t>(k)] = alpha;
    }
    for (int i = 0; i < n; ++i) {
        if (!Finite(f[i])) {
            return -1;
        }
    }
    return 0;
}

int OperatorSamples(float operatorLengthMs, float intervalMs, int method, int maxLength)
{
    if (!(intervalMs > 0.0f) || !std::isfinite(intervalMs) || !std::isfinite(operatorLengthMs)) {
        return 0;
    }
    const double q = static_cast<double>(operatorLengthMs) / static_cast<double>(intervalMs);
    int n = q >= 1e9 ? 1000000000 : (q <= 0.0 ? 0 : static_cast<int>(q));
    if (n > kLargest) {
        n = method == CDeconvolutionDlg::kLevinson ? kLevinsonCap : kGaussCap;
    }
    return std::min(n, std::max(maxLength, 0));
}

void Autocorrelation(const float* x, int count, int L, double* lags, int lagCount, double* re, double* im)
{
    count = std::clamp(count, 0, L);
    for (int i = 0; i < L; ++i) {
        re[i] = i < count ? static_cast<double>(x[i]) : 0.0;
        im[i] = 0.0;
    }
    CBandPassDlg::Fft(re, im, L, 0, 0);
    // The cross spectrum of the series with itself: amplitude squared, phase 0.
    for (int i = 0; i < L; ++i) {
        re[i] = re[i] * re[i] + im[i] * im[i];
        im[i] = 0.0;
    }
    CBandPassDlg::Fft(re, im, L, 0, 1);
    for (int i = 0; i < lagCount && i < L; ++i) {
        lags[i] = re[i];
    }
}

int ComputeWienerOperator(double* r, int n, int method, double prewhitening)
{
    if (n > kLargest) {
        n = method == CDeconvolutionDlg::kLevinson ? kLevinsonCap : kGaussCap;
    }
    if (n < 2) {
        return -2;
    }
    double a = 0.0;
    for (int i = 0; i < n; ++i) {
        if (!Finite(r[i])) {
            return -3;
        }
        a = std::max(a, std::abs(r[i]));
    }
    if (a == 0.0) {
        return -3;  // a dead trace has no operator
    }
    std::vector<double> lags(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        lags[static_cast<size_t>(i)] = r[i] / a;
    }
    const double diagonal = prewhitening * 0.01;  // p % of the largest lag, which is now 1
    std::vector<double> solution(static_cast<size_t>(n), 0.0);
    solution[0] = 1.0;
    int status = 0;
    if (method == CDeconvolutionDlg::kLevinson) {
        std::vector<double> g = solution;
        lags[0] += diagonal;
        status = CConjugateGradientDlg::SolveToeplitz(lags.data(), g.data(), solution.data(), n);
    } else {
        const int stride = n + 1;  // room for the right-hand side of the Gauss solver
        std::vector<double> m(static_cast<size_t>(n) * static_cast<size_t>(stride), 0.0);
        for (int e = 0; e < n; ++e) {
            for (int i = 0; i < n; ++i) {
                m[static_cast<size_t>(e) * stride + i] = lags[static_cast<size_t>(std::abs(e - i))];
            }
            m[static_cast<size_t>(e) * stride + e] += diagonal;
        }
        if (method == CDeconvolutionDlg::kGauss) {
            const int code = CLeastSquaresDlg::SolveAugmented(m, stride, solution, n);
            status = code == CLeastSquaresDlg::kSolved ? 0 : -code;
        } else {
            std::vector<double> history(kMaxIterations);
            status = CConjugateGradientDlg::Solve(m.data(), stride, solution.data(), lags.data(), history.data(), n,
                                                  kMaxIterations);
            if (status > 0) {
                status = 0;  // stopped early: the iterate is the result
            }
        }
    }
    if (status < 0) {
        return status;
    }
    for (int i = 0; i < n; ++i) {
        if (!Finite(solution[static_cast<size_t>(i)])) {
            return -4;
        }
    }
    for (int i = 0; i < n; ++i) {
        r[i] = solution[static_cast<size_t>(i)] / a;
    }
    return 0;
}

std::string WienerOperatorText(const std::vector<std::vector<double>>& operators)
{
    size_t lags = 0;
    for (const auto& op : operators) {
        lags = std::max(lags, op.size());
    }
    std::string text;
    for (size_t k = 0; k < lags; ++k) {
        text += FormatC("%d", static_cast<int>(k));
        for (const auto& op : operators) {
            text += FormatC(" %.9g", k < op.size() ? op[k] : 0.0);
        }
        text += '\n';
    }
    return text;
}

}  // namespace velk
