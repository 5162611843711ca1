#include "dsp/agc.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "dsp/band_pass.h"
#include "platform/uihost.h"

namespace velk {

namespace {

// Counts of ranks 0..n-1 in a window, with the k-th smallest rank found by descent: the running
// median of the instantaneous AGC in O(log n) per step.
class RankCounter {
public:
    explicit RankCounter(int n) : tree_(static_cast<size_t>(n) + 1, 0), top_(1)
    {
        while (top_ * 2 <= static_cast<size_t>(n)) {
            top_ *= 2;
        }
    }
    void Add(int rank, int delta)
    {
        for (size_t i = static_cast<size_t>(rank) + 1; i < tree_.size(); i += i & (~i + 1)) {
            tree_[i] += delta;
        }
    }
    // The rank of the (k+1)-th smallest present element (k from 0).
    int Select(int k) const
    {
        size_t pos = 0;
        int remaining = k + 1;
        for (size_t step = top_; step > 0; step >>= 1) {
            const size_t next = pos + step;
            if (next < tree_.size() && tree_[next] < remaining) {
                pos = next;
                remaining -= tree_[next];
            }
        }
        return static_cast<int>(pos);  // 0-based rank = (1-based position of the element) - 1
    }

private:
    std::vector<int> tree_;
    size_t top_;
};

constexpr float kSelectionFloor = -100000.0f;

}  // namespace

DialogRequest CAgcDlg::Request()
{
    DialogRequest request(kClass, kTitle);
    request.Float("Critical Gain", criticalGain).Unit("db");
    request.Float("Hi-cut freq.", highCut).Unit("Hz");
    request.Float("Cut off", highSlope).Unit("db/oct");
    request.Bool("Normalize trace", normalize);
    return request;
}

DialogRequest CInstantaneousAgcDlg::Request()
{
    DialogRequest request(kClass, kTitle);
    request.Float("Window length", windowLength, 0.0, 100000.0).Label("Window length =").Unit("msec");
    request.Bool("Normalize trace", normalize).Label("Normalize trace ");
    request.Float("Critical Gain", criticalGain, 1.0, 1000.0).Label("Critical Gain =").Unit("db");
    return request;
}

DialogRequest CInputFloatDlg::Request()
{
    DialogRequest request(kClass, kTitle);
    request.String("Prompt", prompt).ReadOnly();
    request.Float("Value", value);
    return request;
}

void CAgcDlg::ApplyAgc(double* gains, double criticalDb, int count)
{
    double peak = 0.0;
    for (int i = 0; i < count; ++i) {
        peak = std::max(peak, gains[i]);
    }
    const double limit = std::pow(10.0, 0.05 * criticalDb);
    for (int i = 0; i < count; ++i) {
        const double e = gains[i];
        const double g = e > 0.0 ? peak / e : 1e6;
        gains[i] = g >= limit ? 1.0 : g;
    }
}

float CAgcDlg::MedianOfWindow(const float* values, int count)
{
    if (count <= 0) {
        return 0.0f;
    }
    std::vector<float> copy(values, values + count);
    const auto middle = copy.begin() + count / 2;
    std::nth_element(copy.begin(), middle, copy.end());
    return std::max(*middle, kSelectionFloor);
}

void CAgcDlg::ApplyInstantaneousAgc(double* values, int window, int count, double criticalDb)
{
    if (count <= 0) {
        return;
    }
    const long long w = window > 21 ? window : 21;
    const double limit = std::pow(10.0, 0.05 * criticalDb);
    std::vector<float> magnitude(static_cast<size_t>(count));
    double peak = 0.0;
    for (int i = 0; i < count; ++i) {
        magnitude[static_cast<size_t>(i)] = static_cast<float>(std::fabs(values[i]));
        peak = std::max(peak, std::fabs(values[i]));
    }
    // Ranks by (value, index): the k-th smallest rank in a window is the k-th smallest value.
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        // NaN after every number, so that the order stays strict.
        const float x = magnitude[static_cast<size_t>(a)];
        const float y = magnitude[static_cast<size_t>(b)];
        return !std::isnan(x) && (std::isnan(y) || x < y);
    });
    std::vector<int> rank(static_cast<size_t>(count));
    for (int r = 0; r < count; ++r) {
        rank[static_cast<size_t>(order[static_cast<size_t>(r)])] = r;
    }

    RankCounter window_(count);
    int inside = 0;
    auto add = [&](long long k) {
        if (k >= 0 && k < count) {
            window_.Add(rank[static_cast<size_t>(k)], 1);
            ++inside;
        }
    };
    auto remove = [&](long long k) {
        if (k >= 0 && k < count) {
            window_.Add(rank[static_cast<size_t>(k)], -1);
            --inside;
        }
    };
    // Window of sample i: [i - w/2, i - w/2 + w - 1].
    const long long firstLow = -(w / 2);
    for (long long k = std::max(0LL, firstLow); k <= std::min<long long>(count - 1, firstLow + w - 1); ++k) {
        add(k);
    }
    std::vector<double> gain(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            const long long low = i - w / 2;
            remove(low - 1);
            add(low + w - 1);
        }
        const int selected = window_.Select(inside / 2);
        const double med = std::max(magnitude[static_cast<size_t>(order[static_cast<size_t>(selected)])], kSelectionFloor);
        gain[static_cast<size_t>(i)] = (med > 0.0 && peak / med < limit) ? peak / med : 1.0;
    }
    if (count >= 3) {
        std::vector<double> smooth(gain);
        for (int i = 1; i + 1 < count; ++i) {
            smooth[static_cast<size_t>(i)] =
                (gain[static_cast<size_t>(i) - 1] + 2.0 * gain[static_cast<size_t>(i)] + gain[static_cast<size_t>(i) + 1]) / 4.0;
        }
        gain.swap(smooth);
    }
    for (int i = 0; i < count; ++i) {
        values[i] *= gain[static_cast<size_t>(i)];
    }
}

void CAgcDlg::ZavAgcCurve(int n, float intervalMs, float highCut, float highSlope, double* curve)
{
    CBandPassDlg::MakeSlopeFilter(n / 2 + 1, intervalMs, 0.0f, highCut, 20.0f, highSlope, curve);
}

void CAgcDlg::ZavAgcTrace(std::span<const float> before, std::span<float> out, int n, const double* curve,
                          double criticalDb, double* re, double* im)
{
    const int count = n / 2 + 1;
    auto sample = [&](int j) { return static_cast<size_t>(j) < before.size() ? static_cast<double>(before[static_cast<size_t>(j)]) : 0.0; };
    for (int j = 0; j < n; ++j) {
        re[j] = std::fabs(sample(j));
        im[j] = 0.0;
    }
    CBandPassDlg::Fft(re, im, n, 0, 0);
    CBandPassDlg::FilterSymmetric(curve, re, im, n, count);
    CBandPassDlg::Fft(re, im, n, 0, 1);
    ApplyAgc(re, criticalDb, n);
    std::fill(im, im + n, 0.0);
    CBandPassDlg::Fft(re, im, n, 0, 0);
    CBandPassDlg::FilterSymmetric(curve, re, im, n, count);
    CBandPassDlg::Fft(re, im, n, 0, 1);
    const int written = std::min<long long>(n, static_cast<long long>(out.size()));
    for (int j = 0; j < written; ++j) {
        out[static_cast<size_t>(j)] = static_cast<float>(re[j] * sample(j));
    }
}

float NormalizeByPeak(std::span<float> row, int n)
{
    const size_t count = std::min(static_cast<size_t>(std::max(n, 0)), row.size());
    float peak = 0.0f;
    for (size_t j = 0; j < count; ++j) {
        peak = std::max(peak, std::fabs(row[j]));
    }
    if (peak > 0.0f) {
        for (size_t j = 0; j < count; ++j) {
            row[j] /= peak;
        }
    }
    return peak;
}

}  // namespace velk
