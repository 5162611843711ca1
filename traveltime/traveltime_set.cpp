#include "traveltime/traveltime_set.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <vector>

namespace velk {

namespace {

// Sort key: NaN after everything, so the order stays a strict weak one.
float SortKey(float v) { return std::isnan(v) ? std::numeric_limits<float>::infinity() : v; }

bool Within(float a, float b, float limit)
{
    return std::fabs(static_cast<double>(a) - static_cast<double>(b)) < static_cast<double>(limit);
}

float ReceiverMetres(const CTraceHeader& h)
{
    return static_cast<float>(h.receiverHundredths * 0.01);
}

// Stable order of `count` keys, ascending.
std::vector<int> StableOrder(int count, const auto& keyOf)
{
    std::vector<int> order(static_cast<size_t>(std::max(count, 0)));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return SortKey(keyOf(a)) < SortKey(keyOf(b)); });
    return order;
}

bool IsIdentity(const std::vector<int>& order)
{
    for (size_t i = 0; i < order.size(); ++i) {
        if (order[i] != static_cast<int>(i)) {
            return false;
        }
    }
    return true;
}

}  // namespace

CTraveltimeSet::CTraveltimeSet()
    : picks_(std::make_unique<Picks>()), sections_(std::make_unique<Sections>())
{
    // make_unique value-initialises: every column and section starts at zero.
    Reset();
}

CTraveltimeSet::~CTraveltimeSet() = default;

void CTraveltimeSet::Reset()
{
    blockHolder.Close();
    std::fill(std::begin(picks_->f), std::end(picks_->f), 0.0f);
    hasData = 0;
    shotCount = 0;
    rowsA = colsA = colsC = rowsC = entriesB = 0;
    blockOpen = 0;
}

void CTraveltimeSet::NormalizeCurveAmplitudes()
{
    const int shots = std::clamp(shotCount, 0, kMaxShots);
    float largest = 0.0f;
    bool any = false;
    for (int s = 0; s < shots; ++s) {
        for (int p = 0; p < std::clamp(pickCount[s], 0, kMaxPicks); ++p) {
            if (!any || F(s, p) > largest) largest = F(s, p);
            any = true;
        }
    }
    if (!any || !(largest > 0.0f) || !std::isfinite(largest)) return;
    for (int s = 0; s < shots; ++s) {
        for (int p = 0; p < std::clamp(pickCount[s], 0, kMaxPicks); ++p) F(s, p) /= largest;
    }
}

int CTraveltimeSet::AppendShot(std::span<const CTraceHeader> headers, int count,
                               std::span<const float> pickTimes,
                               std::span<const int32_t> layerCodes, float position, int mode,
                               int useA, float spread)
{
    const int s = shotCount;
    sourcePosition[s] = position;
    if (mode == 0 || (mode == 1 && useA == 1)) {
        thirdValue[s] = 0.0f;
    } else if (mode == 1) {
        thirdValue[s] = spread;
    }  // any other mode leaves the third value as it was
    int stored = 0;
    int dropped = 0;
    for (int i = 0; i < count; ++i) {
        const auto u = static_cast<size_t>(i);
        if (!(pickTimes[u] > 0.0f)) {
            continue;
        }
        if (stored >= kMaxPicks) {
            ++dropped;
            continue;
        }
        X(s, stored) = ReceiverMetres(headers[u]);
        T(s, stored) = pickTimes[u];
        K(s, stored) = layerCodes[u];
        ++stored;
    }
    pickCount[s] = stored;
    shotCount = s + 1;
    return dropped;
}

void PicksLeftOut::Add(float position, int picks, bool wholeShot)
{
    if (picks <= 0) return;
    const auto key = static_cast<int64_t>(std::llround(static_cast<double>(position) * 100.0));
    auto& [most, whole] = byShot_[key];
    most = std::max(most, picks);
    whole = whole || wholeShot;
}

int PicksLeftOut::Shots() const
{
    return static_cast<int>(std::count_if(byShot_.begin(), byShot_.end(), [](const auto& e) { return e.second.second; }));
}

int PicksLeftOut::Picks() const
{
    int picks = 0;
    for (const auto& e : byShot_) picks += e.second.first;
    return picks;
}

int CTraveltimeSet::AddShotPicks(std::span<const CTraceHeader> headers, int traceCount,
                                 std::span<const float> pickTimes,
                                 std::span<const int32_t> layerCodes, int mode, float positionA,
                                 float positionB, int* changed,
                                 std::span<const CTraceHeader> spreadHeaders,
                                 int spreadTraceCount, int useA)
{
    const int count = std::max(
        0, std::min({traceCount, static_cast<int>(headers.size()),
                     static_cast<int>(pickTimes.size()), static_cast<int>(layerCodes.size())}));
    const bool positionB_chosen = (mode == 1 && useA == 0);
    const float position = positionB_chosen ? positionB : positionA;
    float spread = 0.0f;
    if (positionB_chosen) {
        const int last = std::min(spreadTraceCount, static_cast<int>(spreadHeaders.size())) - 1;
        if (last >= 0) {
            spread = static_cast<float>(
                (spreadHeaders[static_cast<size_t>(last)].receiverHundredths -
                 spreadHeaders[0].receiverHundredths) * 0.01);
        }
    }

    int dropped = 0;
    if (hasData == 0) {
        kindWritten = 0;
        shotCount = 0;
        dropped = AppendShot(headers, count, pickTimes, layerCodes, position, mode, useA, spread);
        hasData = 1;
    } else {
        int match = -1;
        if (mode == 0 || mode == 1) {
            for (int s = 0; s < shotCount; ++s) {
                if (Within(sourcePosition[s], position, kMatchDistance)) {
                    match = s;  // the last matching shot wins
                }
            }
        }
        if (match >= 0) {
            for (int i = 0; i < count; ++i) {
                const auto u = static_cast<size_t>(i);
                if (!(pickTimes[u] > 0.0f)) {
                    continue;
                }
                const float x = ReceiverMetres(headers[u]);
                int found = -1;
                for (int p = 0; p < pickCount[match]; ++p) {
                    if (Within(X(match, p), x, kMatchDistance)) {
                        found = p;
                        break;
                    }
                }
                if (found >= 0) {
                    T(match, found) = pickTimes[u];
                    K(match, found) = layerCodes[u];
                } else if (pickCount[match] < kMaxPicks) {
                    const int p = pickCount[match]++;
                    X(match, p) = x;
                    T(match, p) = pickTimes[u];
                    K(match, p) = layerCodes[u];
                } else {
                    ++dropped;
                }
            }
            SortShotPicks();
        } else if (shotCount < kMaxShots) {
            dropped =
                AppendShot(headers, count, pickTimes, layerCodes, position, mode, useA, spread);
            SortShotPicks();
        } else {
            for (int i = 0; i < count; ++i) {
                if (pickTimes[static_cast<size_t>(i)] > 0.0f) {
                    ++dropped;
                }
            }
        }
    }
    if (changed != nullptr) {
        *changed = 1;
    }
    return dropped;
}

void CTraveltimeSet::SortShotPicks()
{
    const int n = std::clamp(shotCount, 0, kMaxShots);

    // Shots by source position; a shot's whole rows move with it.
    const std::vector<int> shotOrder = StableOrder(n, [&](int s) { return sourcePosition[s]; });
    if (!IsIdentity(shotOrder)) {
        const size_t rowFloats = static_cast<size_t>(n) * kMaxPicks;
        std::vector<float> x(rowFloats), t(rowFloats), f(rowFloats), w(rowFloats);
        std::vector<int32_t> k(rowFloats);
        std::vector<int32_t> counts(static_cast<size_t>(n));
        std::vector<float> positions(static_cast<size_t>(n)), thirds(static_cast<size_t>(n));
        for (int d = 0; d < n; ++d) {
            const int s = shotOrder[static_cast<size_t>(d)];
            const size_t to = static_cast<size_t>(d) * kMaxPicks;
            const size_t from = Index(s, 0);
            std::copy_n(&picks_->x[from], kMaxPicks, &x[to]);
            std::copy_n(&picks_->t[from], kMaxPicks, &t[to]);
            std::copy_n(&picks_->k[from], kMaxPicks, &k[to]);
            std::copy_n(&picks_->f[from], kMaxPicks, &f[to]);
            std::copy_n(&picks_->w[from], kMaxPicks, &w[to]);
            counts[static_cast<size_t>(d)] = pickCount[s];
            positions[static_cast<size_t>(d)] = sourcePosition[s];
            thirds[static_cast<size_t>(d)] = thirdValue[s];
        }
        std::copy(x.begin(), x.end(), picks_->x);
        std::copy(t.begin(), t.end(), picks_->t);
        std::copy(k.begin(), k.end(), picks_->k);
        std::copy(f.begin(), f.end(), picks_->f);
        std::copy(w.begin(), w.end(), picks_->w);
        std::copy(counts.begin(), counts.end(), pickCount);
        std::copy(positions.begin(), positions.end(), sourcePosition);
        std::copy(thirds.begin(), thirds.end(), thirdValue);
    }

    // Picks of every shot by receiver position; X, T, K, F and W move together.
    for (int s = 0; s < n; ++s) {
        const int m = std::clamp(pickCount[s], 0, kMaxPicks);
        const std::vector<int> order = StableOrder(m, [&](int p) { return X(s, p); });
        if (IsIdentity(order)) {
            continue;
        }
        std::vector<float> x(static_cast<size_t>(m)), t(x.size()), f(x.size()), w(x.size());
        std::vector<int32_t> k(x.size());
        for (int d = 0; d < m; ++d) {
            const int p = order[static_cast<size_t>(d)];
            const auto u = static_cast<size_t>(d);
            x[u] = X(s, p);
            t[u] = T(s, p);
            k[u] = K(s, p);
            f[u] = F(s, p);
            w[u] = W(s, p);
        }
        for (int d = 0; d < m; ++d) {
            const auto u = static_cast<size_t>(d);
            X(s, d) = x[u];
            T(s, d) = t[u];
            K(s, d) = k[u];
            F(s, d) = f[u];
            W(s, d) = w[u];
        }
    }
}

}  // namespace velk
