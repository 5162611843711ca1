#include "dsp/real_row_filter.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <vector>

#include "dsp/fft_engine.h"
#include "platform/thread_pool.h"

namespace velk {

namespace {

// Below this many samples in total a call stays on the calling thread: starting threads
// would cost more than they save.
constexpr long long kParallelWork = 1LL << 18;

inline double CurveFactor(const RealRowJob& job, int bin)
{
    return job.curve[std::min(bin, job.curveCount - 1)];
}

bool Valid(const RealRowJob& job) { return job.row && job.curve && job.curveCount >= 1; }

// Filters one or two rows (b may be null) in the buffers re/im of length n.
void FilterPair(const RealRowJob& a, const RealRowJob* b, int n, int log2n, double* re,
                double* im)
{
    const auto length = static_cast<size_t>(n);
    const auto ca = static_cast<size_t>(std::clamp(a.copyCount, 0, n));
    std::copy(a.row, a.row + ca, re);
    std::fill(re + ca, re + length, 0.0);
    size_t cb = 0;
    if (b) {
        cb = static_cast<size_t>(std::clamp(b->copyCount, 0, n));
        std::copy(b->row, b->row + cb, im);
    }
    std::fill(im + cb, im + length, 0.0);

    fft_engine::Transform(re, im, log2n, false, 1.0 / n);

    const bool sameCurve = !b || (b->curve == a.curve && b->curveCount == a.curveCount);
    // Bins 0 and n/2 pair with themselves: the real part belongs to row a, the imaginary
    // part to row b.
    const int half = n / 2;
    for (int k : {0, half}) {
        const double fa = CurveFactor(a, k);
        re[k] *= fa;
        im[k] *= sameCurve ? fa : CurveFactor(*b, k);
    }
    if (sameCurve) {
        for (int k = 1; k < half; ++k) {
            const double f = CurveFactor(a, k);
            re[k] *= f;
            im[k] *= f;
            re[n - k] *= f;
            im[n - k] *= f;
        }
    } else {
        // With Z = X + iY (X, Y the spectra of rows a and b), the filtered pair is
        // W[k] = s Z[k] + d conj(Z[n-k]), s = (fa + fb)/2, d = (fa - fb)/2.
        for (int k = 1; k < half; ++k) {
            const int m = n - k;
            const double fa = CurveFactor(a, k);
            const double fb = CurveFactor(*b, k);
            const double s = 0.5 * (fa + fb);
            const double d = 0.5 * (fa - fb);
            const double zkr = re[k], zki = im[k], zmr = re[m], zmi = im[m];
            re[k] = s * zkr + d * zmr;
            im[k] = s * zki - d * zmi;
            re[m] = s * zmr + d * zkr;
            im[m] = s * zmi - d * zki;
        }
    }

    fft_engine::Transform(re, im, log2n, true, 1.0);

    const auto wa = static_cast<size_t>(std::clamp(a.writeCount, 0, n));
    for (size_t i = 0; i < wa; ++i) {
        a.row[i] = static_cast<float>(re[i]);
    }
    if (b) {
        const auto wb = static_cast<size_t>(std::clamp(b->writeCount, 0, n));
        for (size_t i = 0; i < wb; ++i) {
            b->row[i] = static_cast<float>(im[i]);
        }
    }
}

}  // namespace

int FilterThreadCount(int rows, int n, int threads)
{
    const int pairs = (std::max(rows, 0) + 1) / 2;
    if (pairs <= 1 || static_cast<long long>(rows) * n < kParallelWork) {
        return 1;
    }
    int wanted = threads;
    if (wanted < 1) {
        wanted = ThreadPool::Shared().Threads();
    }
    return std::clamp(wanted, 1, pairs);
}

void FilterRealRows(std::span<const RealRowJob> jobs, int n, int threads)
{
    const int log2n = fft_engine::CheckedLog2(n, 0);
    if (log2n < 1) {
        return;
    }
    std::vector<const RealRowJob*> valid;
    valid.reserve(jobs.size());
    for (const RealRowJob& job : jobs) {
        if (Valid(job)) {
            valid.push_back(&job);
        }
    }
    const size_t pairs = (valid.size() + 1) / 2;
    if (pairs == 0) {
        return;
    }
    const int count = FilterThreadCount(static_cast<int>(valid.size()), n, threads);
    // Every buffer is made here, on the calling thread, so that a lack of memory reaches the
    // caller as std::bad_alloc and no worker can fail.
    std::vector<std::vector<double>> buffers(static_cast<size_t>(count));
    for (std::vector<double>& buffer : buffers) {
        buffer.resize(2 * static_cast<size_t>(n));
    }
    std::atomic<size_t> next{0};
    auto work = [&](std::vector<double>& buffer) {
        double* re = buffer.data();
        double* im = re + n;
        for (size_t p = next.fetch_add(1); p < pairs; p = next.fetch_add(1)) {
            const RealRowJob* a = valid[2 * p];
            const RealRowJob* b = 2 * p + 1 < valid.size() ? valid[2 * p + 1] : nullptr;
            FilterPair(*a, b, n, log2n, re, im);
        }
    };
    ThreadPool::Shared().Run(
        count, [&](int t) { work(buffers[static_cast<size_t>(t)]); }, count);
}

}  // namespace velk
