#include "traveltime/zero_offset_models.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "traveltime/theoretical_traveltime.h"

namespace velk {

namespace {

constexpr double kShortestPath = 0.0001;  // m
constexpr int kMaxStationaryPoints = 10;
constexpr double kTwoPi = 6.2831855;

std::span<float> RowOf(const SyntheticRows& out, int trace)
{
    return out.rows.Row(out.rows.RowLow() + trace);
}

int Samples(const SyntheticRows& out, std::span<float> row)
{
    return std::clamp(out.samples, 0, static_cast<int>(row.size()));
}

// The wavelet value w[index], 0 outside it.
float W(std::span<const float> w, long long index)
{
    return index >= 0 && index < static_cast<long long>(w.size()) ? w[static_cast<size_t>(index)] : 0.0f;
}

// A number of traces that the rows can hold.
int Traces(const SyntheticRows& out) { return std::clamp(out.traces, 0, static_cast<int>(out.rows.Rows())); }

}  // namespace

void AddArrival(std::span<float> row, int samples, std::span<const float> w, double timeMs, double intervalMs,
                double pathM, bool first)
{
    if (!(timeMs >= 0.0) || !std::isfinite(timeMs) || !(intervalMs > 0.0)) return;
    const double kd = std::trunc(timeMs / intervalMs);
    const int n = std::clamp(samples, 0, static_cast<int>(row.size()));
    if (!(kd < n)) return;
    const auto k = static_cast<long long>(kd);
    const double length = std::max(pathM, kShortestPath);
    for (long long i = first ? k : k + 1; i < n; ++i) {
        row[static_cast<size_t>(i)] -= static_cast<float>(W(w, i - k + 1) / length);
    }
}

void ModelPointDiffractors(const SyntheticRows& out, float interval, float velocity, float x1, float y1, float x2,
                           float y2)
{
    for (int t = 0; t < Traces(out); ++t) {
        const double x = (t + 1) * static_cast<double>(interval);
        const std::span<float> row = RowOf(out, t);
        const double p1 = 2.0 * std::hypot(x1 - x, static_cast<double>(y1));
        const double p2 = 2.0 * std::hypot(x2 - x, static_cast<double>(y2));
        AddArrival(row, Samples(out, row), out.wavelet, p1 / velocity, out.intervalMs, p1, true);
        AddArrival(row, Samples(out, row), out.wavelet, p2 / velocity, out.intervalMs, p2, false);
    }
}

double DippingSegmentDepth(int segment, double m)
{
    switch (segment) {
    case 1: return -40.0 - 2.0 * m;
    case 2: return -20.0 - m;
    case 3: return -40.0 - 0.5 * m;
    default: return -40.0;
    }
}

std::array<Arrival, 4> DippingSegmentArrivals(double x, float velocity)
{
    // The nearest point of each segment's line, held within the segment.
    const std::array<double, 4> m = {std::clamp(0.2 * (x - 80.0), 0.0, 75.0), std::clamp(0.5 * (x - 20.0), 75.0, 150.0),
                                     std::clamp(0.8 * (x - 20.0), 150.0, 225.0), std::max(x, 225.0)};
    std::array<Arrival, 4> arrivals;
    for (size_t s = 0; s < 4; ++s) {
        const double path = 2.0 * std::hypot(x - m[s], DippingSegmentDepth(static_cast<int>(s) + 1, m[s]));
        arrivals[s] = {path / velocity, path};
    }
    return arrivals;
}

void ModelDippingSegments(const SyntheticRows& out, float velocity)
{
    for (int t = 0; t < Traces(out); ++t) {
        const std::span<float> row = RowOf(out, t);
        bool first = true;
        for (const Arrival& a : DippingSegmentArrivals(t + 1, velocity)) {
            AddArrival(row, Samples(out, row), out.wavelet, a.timeMs, out.intervalMs, a.pathM, first);
            first = false;
        }
    }
}

void ModelDesiredMigration(const SyntheticRows& out, float velocity)
{
    for (int t = 0; t < Traces(out); ++t) {
        const double x = t + 1;
        const int segment = x < 75.0 ? 1 : x < 150.0 ? 2 : x < 225.0 ? 3 : 4;
        const double path = -2.0 * DippingSegmentDepth(segment, x);
        const std::span<float> row = RowOf(out, t);
        AddArrival(row, Samples(out, row), out.wavelet, path / velocity, out.intervalMs, path, true);
    }
}

void ModelImpulse(const SyntheticRows& out)
{
    constexpr int kTrace = 100;
    if (Traces(out) <= kTrace) return;
    const std::span<float> row = RowOf(out, kTrace);
    for (int j = 201; j < Samples(out, row); ++j) {
        row[static_cast<size_t>(j)] = -W(out.wavelet, j - 199);
    }
}

double ComplexStructureDepth(int i)
{
    static constexpr std::array<std::pair<int, double>, 31> kTable = {{
        {0, 45.0},   {8, 41.0},   {9, 40.6},   {10, 40.3},  {11, 40.1},  {12, 40.0},  {49, 40.0},  {50, 40.1},
        {51, 40.3},  {52, 40.6},  {53, 41.0},  {107, 68.0}, {108, 68.4}, {109, 68.7}, {110, 68.9}, {114, 69.3},
        {116, 69.3}, {120, 68.9}, {121, 68.7}, {122, 68.4}, {123, 68.0}, {219, 20.0}, {220, 19.6}, {221, 19.3},
        {222, 19.1}, {223, 19.0}, {224, 19.1}, {225, 19.3}, {226, 19.6}, {227, 20.0}, {300, 56.5},
    }};
    i = std::clamp(i, 0, 300);
    for (size_t p = 1; p < kTable.size(); ++p) {
        const auto [i1, h1] = kTable[p];
        if (i <= i1) {
            const auto [i0, h0] = kTable[p - 1];
            return h0 + (h1 - h0) * (i - i0) / (i1 - i0);
        }
    }
    return kTable.back().second;
}

void ModelComplexStructure(const SyntheticRows& out, float velocity)
{
    std::array<double, 301> depth{};
    for (int i = 0; i <= 300; ++i) depth[static_cast<size_t>(i)] = 2.0 * ComplexStructureDepth(i);
    auto sign = [](double v) { return (v > 0.0) - (v < 0.0); };
    for (int t = 0; t < Traces(out); ++t) {
        const double x = t + 1;
        std::array<double, 301> d{};
        for (int i = 0; i <= 300; ++i) d[static_cast<size_t>(i)] = std::hypot(x - i, depth[static_cast<size_t>(i)]);
        const std::span<float> row = RowOf(out, t);
        int found = 0;
        for (int i = 1; i < 300 && found < kMaxStationaryPoints; ++i) {
            const auto u = static_cast<size_t>(i);
            if (sign(d[u + 1] - d[u]) == sign(d[u] - d[u - 1])) continue;
            const double path = 2.0 * d[u];
            const double time = path / velocity;
            ++found;
            if (std::trunc(time / out.intervalMs) <= 0.0) continue;  // an arrival at sample 0
            AddArrival(row, Samples(out, row), out.wavelet, time, out.intervalMs, path, found == 1);
        }
    }
}

void ModelTwoLayerRecord(const SyntheticRows& out, const CTheoreticalTraveltime& model, float interval, float source,
                         bool includeDirect)
{
    const double v1 = model.v1, v2 = model.v2, depth = model.depth;
    for (int t = 0; t < Traces(out); ++t) {
        const double x = (t + 1) * static_cast<double>(interval);
        const CTheoreticalTraveltime::Times times = model.ComputeTheoreticalTimes(static_cast<float>(x), source);
        const double offset = std::fabs(x - source);
        const std::span<float> row = RowOf(out, t);
        bool first = true;
        auto arrival = [&](double time, double path) {
            AddArrival(row, Samples(out, row), out.wavelet, time, out.intervalMs, path, first);
            first = false;
        };
        if (times.direct < 0.0f) continue;  // no usable model
        if (includeDirect) arrival(times.direct, offset);
        if (model.HeadWaveAt(offset)) {
            const double s = v1 / v2;
            const double c = std::sqrt(1.0 - s * s);
            arrival(times.head, offset + 2.0 * depth / c - 2.0 * depth * s / c);
        }
        arrival(times.reflection, std::sqrt(4.0 * depth * depth + offset * offset));
    }
}

void ModelDeconvolution(const SyntheticRows& out, std::span<const float> r1, std::span<const float> r2)
{
    const int traces = Traces(out);
    if (traces <= 0) return;
    const std::span<float> first = RowOf(out, 0);
    for (int i = 10; i < Samples(out, first); ++i) first[static_cast<size_t>(i)] = -W(out.wavelet, i - 9);
    for (int j = 1; j < traces; ++j) {
        const std::span<float> row = RowOf(out, j);
        const int n = Samples(out, row);
        for (int l = 0; l < j && static_cast<size_t>(l) < std::min(r1.size(), r2.size()); ++l) {
            const double place = std::trunc((0.8 * r1[static_cast<size_t>(l)] + 0.1) * out.samples);
            if (place >= 0.0 && place < n) row[static_cast<size_t>(place)] = -(r2[static_cast<size_t>(l)] + 0.5f);
        }
    }
}

void ModelHumNoise(const SyntheticRows& out, double periodMs, int harmonics, float amplitude,
                   std::span<const float> randoms)
{
    const int traces = Traces(out);
    for (int t = 0; t < traces; ++t) {
        const std::span<float> row = RowOf(out, t);
        const int n = Samples(out, row);
        for (int j = 400; j < n; ++j) row[static_cast<size_t>(j)] = -10.0f * W(out.wavelet, j - 399);
        for (int h = 1; h <= harmonics; ++h) {
            const size_t at = 2 * (static_cast<size_t>(t) * static_cast<size_t>(harmonics) + static_cast<size_t>(h - 1));
            if (at + 1 >= randoms.size()) return;
            const double a = static_cast<double>(amplitude) * randoms[at];
            const double phase = kTwoPi * randoms[at + 1];
            for (int j = 0; j < n; ++j) {
                row[static_cast<size_t>(j)] += static_cast<float>(a * std::sin(phase + kTwoPi * h * j * out.intervalMs / periodMs));
            }
        }
    }
}

}  // namespace velk
