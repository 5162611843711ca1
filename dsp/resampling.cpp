#include "dsp/resampling.h"

#include <vector>

#include "platform/uihost.h"

namespace velk {

namespace {

bool ValidKnots(const double* x, int n)
{
    if (n <= 2 || n > CResamplingDlg::kMaxKnots) {
        return false;
    }
    for (int k = 1; k < n; ++k) {
        if (!(x[k] > x[k - 1])) {
            return false;
        }
    }
    return true;
}

double Evaluate(const double* x, const double* y, const double* h, const double* M, int j, double xq)
{
    const double c = xq - x[j - 1];
    const double a = x[j] - xq;
    const double hh = h[j];
    return (M[j] * c * c * c + M[j - 1] * a * a * a + a * (6.0 * y[j - 1] - M[j - 1] * hh * hh) +
            c * (6.0 * y[j] - M[j] * hh * hh)) /
           hh / 6.0;
}

}  // namespace

DialogRequest CResamplingDlg::Request()
{
    DialogRequest request(kClass, kTitle);
    request.Float("Sampling time", samplingTime).Label("Sampling time =").Unit("msec");
    return request;
}

int CResamplingDlg::SplineSecondDerivatives(const double* x, const double* y, int n, double* h, double* M)
{
    if (!ValidKnots(x, n)) {
        return kInvalid;
    }
    h[0] = 0.0;
    for (int k = 1; k < n; ++k) {
        h[k] = x[k] - x[k - 1];
    }
    // Unknowns M[1..n-2]: sub-diagonal 1, diagonal 2 (1 + r_k), super-diagonal r_k.
    const int u = n - 2;
    std::vector<double> diag(static_cast<size_t>(u)), upper(static_cast<size_t>(u)), rhs(static_cast<size_t>(u));
    for (int k = 1; k <= u; ++k) {
        const double r = h[k + 1] / h[k];
        diag[static_cast<size_t>(k - 1)] = 2.0 * (1.0 + r);
        upper[static_cast<size_t>(k - 1)] = r;
        rhs[static_cast<size_t>(k - 1)] =
            6.0 * ((y[k + 1] - y[k]) / (h[k] * h[k + 1]) - (y[k] - y[k - 1]) / (h[k] * h[k]));
    }
    diag[0] += 1.0;                                        // M[0] = M[1]
    diag[static_cast<size_t>(u - 1)] += upper[static_cast<size_t>(u - 1)];  // M[n-1] = M[n-2]
    for (int k = 1; k < u; ++k) {
        const double w = 1.0 / diag[static_cast<size_t>(k - 1)];
        diag[static_cast<size_t>(k)] -= w * upper[static_cast<size_t>(k - 1)];
        rhs[static_cast<size_t>(k)] -= w * rhs[static_cast<size_t>(k - 1)];
    }
    M[u] = rhs[static_cast<size_t>(u - 1)] / diag[static_cast<size_t>(u - 1)];
    for (int k = u - 1; k >= 1; --k) {
        M[k] = (rhs[static_cast<size_t>(k - 1)] - upper[static_cast<size_t>(k - 1)] * M[k + 1]) /
               diag[static_cast<size_t>(k - 1)];
    }
    M[0] = M[1];
    M[n - 1] = M[n - 2];
    return kValue;
}

int CResamplingDlg::SplineValue(const double* x, const double* y, int n, double xq, double* out)
{
    if (!ValidKnots(x, n)) {
        return kInvalid;
    }
    std::vector<double> h(static_cast<size_t>(n)), M(static_cast<size_t>(n));
    SplineSecondDerivatives(x, y, n, h.data(), M.data());
    for (int j = 1; j < n; ++j) {
        if (x[j - 1] <= xq && xq <= x[j]) {
            *out = Evaluate(x, y, h.data(), M.data(), j, xq);
            return kValue;
        }
    }
    return kOutside;
}

void CResamplingDlg::Resample(const double* x, const double* y, int n, double* outX, double* outY, int m,
                              double step)
{
    if (m <= 0) {
        return;
    }
    if (step == 0.0) {
        step = 0.00001;
    }
    const bool valid = ValidKnots(x, n);
    std::vector<double> h, M;
    if (valid) {
        h.resize(static_cast<size_t>(n));
        M.resize(static_cast<size_t>(n));
        SplineSecondDerivatives(x, y, n, h.data(), M.data());
    }
    double last = 0.0;
    int j = 1;
    for (int i = 0; i < m; ++i) {
        const double xq = x[0] + static_cast<double>(i) * step;
        outX[i] = xq;
        if (step < 0.0) {
            j = 1;  // points move backwards: search from the start as SplineValue does
        }
        if (valid && xq >= x[0]) {
            // The first interval whose right end reaches xq; xq only grows (step > 0), so
            // the walk never goes back.
            while (j < n - 1 && x[j] < xq) {
                ++j;
            }
            if (xq <= x[j]) {
                last = Evaluate(x, y, h.data(), M.data(), j, xq);
            }
        }
        outY[i] = last;
    }
}

}  // namespace velk
