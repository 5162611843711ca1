// The acoustic finite differences against the two-dimensional Green's function
// (ref/fd_green.py), their absorbing boundary against a wider grid, instability, portions and
// threads, and the constant-impedance option.

#include "traveltime/modelling/fd_modelling.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "draw/parallel.h"
#include "traveltime/modelling/fd_kernels.h"

namespace velk {
namespace {

// Debug and sanitizer builds run the unoptimised kernels: there the long runs check the
// second- and fourth-order schemes only (the portions test still runs every scheme).
#ifdef VELK_CHECKED_INDEX
constexpr bool kCheckedBuild = true;
#else
constexpr bool kCheckedBuild = false;
#endif

std::map<std::string, std::vector<double>> ReadFixture()
{
    std::ifstream in(std::string(VELK_SOURCE_DIR) + "/tests/traveltime/ref/fd_green.txt");
    std::map<std::string, std::vector<double>> blocks;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream head(line);
        std::string name;
        int count = 0;
        head >> name >> count;
        auto& values = blocks[name];
        for (int i = 0; i < count && std::getline(in, line); ++i) values.push_back(std::stod(line));
    }
    return blocks;
}

// The homogeneous 3000 m/s model of the tests, widened to `columns`.
VelocityModel Model(int scheme, int columns = 201, float dt = 0.0001f)
{
    VelocityModel m;
    CreateHomogeneousModel(m);
    if (columns != m.nx) {
        m.nx = columns;
        m.velocity.assign(m.Cells(), 3000.0f);
        m.density.assign(m.Cells(), 2000.0f);
    }
    m.scheme = scheme;
    BeginFdRun(m, dt, 200.0f, 0);
    return m;
}

VelocityModel RunModel(int scheme, int samples, int columns = 201, float dt = 0.0001f, WorkerPool* pool = nullptr)
{
    VelocityModel m = Model(scheme, columns, dt);
    m.sampleCount = samples;
    EXPECT_EQ(CheckFdRun(m), FdRefusal::None);
    RunFdPortion(m, pool, {});
    return m;
}

std::vector<double> Receiver(const VelocityModel& m, int k)
{
    const auto begin = m.record.begin() + static_cast<ptrdiff_t>(k) * m.recordLength;
    return {begin, begin + m.continueSample};
}

// Best normalised cross-correlation over lags -3..3 on samples 50..420 (5-42 ms).
std::pair<double, int> BestMatch(const std::vector<double>& a, const std::vector<double>& b)
{
    double best = -2.0;
    int lag = 0;
    for (int l = -3; l <= 3; ++l) {
        double ab = 0, aa = 0, bb = 0;
        for (int i = 50; i <= 420; ++i) {
            const double x = a[static_cast<size_t>(i)], y = b[static_cast<size_t>(i + l)];
            ab += x * y;
            aa += x * x;
            bb += y * y;
        }
        const double c = ab / std::sqrt(aa * bb);
        if (c > best) {
            best = c;
            lag = l;
        }
    }
    return {best, lag};
}

TEST(FdSchemes, MatchTheGreensFunction)
{
    const auto fixture = ReadFixture();
    ASSERT_EQ(fixture.size(), 6u);
    const struct {
        int scheme;
        double least;
        bool sameLag;
    } cases[] = {{0, 0.98, false}, {1, 0.999, true}, {2, 0.999, true}, {3, 0.995, true}};
    for (const auto& c : cases) {
        if (kCheckedBuild && c.scheme >= 2) continue;
        const VelocityModel m = RunModel(c.scheme, 449);
        const std::string kind = c.scheme == 3 ? "staggered_" : "pressure_";
        std::vector<int> lags;
        for (const auto& [k, d] : {std::pair{7, 25}, {6, 35}, {5, 45}}) {
            const auto [match, lag] = BestMatch(Receiver(m, k), fixture.at(kind + std::to_string(d)));
            EXPECT_GE(match, c.least) << "scheme " << c.scheme << " receiver " << k;
            lags.push_back(lag);
        }
        if (c.sameLag) {
            EXPECT_TRUE(lags[0] == lags[1] && lags[1] == lags[2]) << "scheme " << c.scheme;
        }
    }
}

TEST(FdSchemes, BoundaryAbsorbsLikeAWiderGrid)
{
    // The wider grid's own edge sends nothing back within 50 ms; for the pseudo-spectral scheme
    // 256 columns (the same transform length) are as wide as that needs.
    for (const int scheme : {0, 1, 2, 3}) {
        if (kCheckedBuild && scheme != 1) continue;
        const int k = scheme == 2 ? 17 : 19;
        const VelocityModel narrow = RunModel(scheme, 500);
        const VelocityModel wide = RunModel(scheme, 500, scheme == 2 ? 256 : 401);
        const auto a = Receiver(narrow, k), b = Receiver(wide, k), direct = Receiver(narrow, 7);
        double peak = 0, diff = 0;
        for (size_t i = 0; i < a.size(); ++i) {
            peak = std::max(peak, std::abs(direct[i]));
            diff = std::max(diff, std::abs(a[i] - b[i]));
        }
        EXPECT_LE(diff, (scheme == 2 ? 0.05 : 0.02) * peak) << "scheme " << scheme;
    }
}

TEST(FdSchemes, UnstableStepGrowsAndIsReported)
{
    testing::internal::CaptureStdout();
    const VelocityModel m = RunModel(0, 150, 201, 0.001f);
    const std::string out = testing::internal::GetCapturedStdout();
    double largest = 0;
    for (const auto& level : m.wavefield)
        for (const double v : level) largest = std::max(largest, std::abs(v));
    EXPECT_GT(largest, 1e100);
    EXPECT_NE(out.find("wrong on boundary "), std::string::npos);
}

TEST(FdSchemes, PortionsAndThreadsEqualOneSerialRun)
{
    // A small grid with the receivers moved inside: equality needs no size.
    auto small = [](int scheme, float dt) {
        VelocityModel m;
        CreateHomogeneousModel(m);
        m.nx = m.nz = 64;
        m.velocity.assign(m.Cells(), 3000.0f);
        m.density.assign(m.Cells(), 2000.0f);
        m.sourceX = m.sourceDepth = 32.0f;
        for (int k = 0; k < VelocityModel::kReceivers; ++k) {
            m.receiverColumn[k] = 3 * k + 2;
            m.receiverRow[k] = 30;
        }
        m.scheme = scheme;
        BeginFdRun(m, dt, 200.0f, 0);
        return m;
    };
    WorkerPool pool;
    for (const int scheme : {0, 1, 2, 3}) {
        for (const float firstDt : {0.0001f, 0.00005f}) {
            VelocityModel whole = small(scheme, firstDt);
            whole.sampleCount = 200;
            RunFdPortion(whole, nullptr, {});
            VelocityModel parts = small(scheme, firstDt);
            parts.sampleCount = 100;
            RunFdPortion(parts, &pool, {});
            parts.dt = 0.0001f;  // a later dialog value does not reach a run in progress
            RunFdPortion(parts, &pool, {});
            EXPECT_EQ(parts.continueSample, 201);
            EXPECT_EQ(parts.record, whole.record) << "scheme " << scheme;
            EXPECT_EQ(parts.snapshot, whole.snapshot) << "scheme " << scheme;
        }
    }
}

TEST(FdSchemes, SecondOrderStepIsThePlainStencilOnSmallAndHugeGrids)
{
    // The huge grid (28 MB of levels) takes the road for grids beyond the caches; odd widths
    // leave rows that start and end off the vector boundaries.
    WorkerPool pool;
    for (const auto& [nx, nz] : {std::pair{37, 23}, std::pair{1203, 801}}) {
        const size_t n = static_cast<size_t>(nx) * nz;
        FdLevels p;
        std::vector<float> v(n);
        uint32_t state = 7;
        auto next = [&] {
            state = state * 1664525u + 1013904223u;
            return static_cast<double>(state >> 8) / 16777216.0;
        };
        for (auto& level : p) {
            level.resize(n);
            for (double& x : level) x = next() - 0.5;
        }
        for (float& x : v) x = static_cast<float>(1000.0 + 3000.0 * next());
        const double c = static_cast<double>(0.0001f) / 1.0f;  // as the grid below gives it
        std::vector<double> expected(n);
        for (int k = 1; k < nz - 1; ++k) {
            for (int i = 1; i < nx - 1; ++i) {
                const size_t q = static_cast<size_t>(k) * nx + i;
                const double r = v[q] * c, r2 = r * r;
                const FdLevel& m = p[1];
                expected[q] = 2.0 * (1.0 - 2.0 * r2) * m[q] + r2 * (m[q - 1] + m[q + 1] + m[q - nx] + m[q + nx]) - p[0][q];
            }
        }
        for (WorkerPool* threads : {static_cast<WorkerPool*>(nullptr), &pool}) {
            FdLevels run = p;
            const FdGrid g{nx, nz, 1.0f, 0.0001f, v, v, threads};
            FdStepOrder2(run, g, FdStep{2, 1, 0});
            size_t differ = 0;
            for (int k = 1; k < nz - 1; ++k) {
                for (int i = 1; i < nx - 1; ++i) {
                    const size_t q = static_cast<size_t>(k) * nx + i;
                    differ += run[2][q] != expected[q];
                }
            }
            EXPECT_EQ(differ, 0u) << nx << " x " << nz;
        }
    }
}

TEST(FdSchemes, EdgesAfterTheRowsWhetherStepsRunThemWithTheRowsOrApart)
{
    // The step's edges must be what the absorbing condition gives edge by edge once the rows are
    // new, from the same leftover values in the new level's edge cells, with the same messages.
    // The rows never read the new level, so the step's own rows serve as the expected ones.
    WorkerPool pool;
    uint32_t state = 3;
    auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / 16777216.0 - 0.5;
    };
    for (const auto& [nx, nz] : {std::pair{4, 9}, std::pair{5, 5}, std::pair{37, 23}, std::pair{1203, 801}}) {
        const size_t n = static_cast<size_t>(nx) * nz;
        // Small values, but large leftovers in the new level and one loud row: some edge values
        // read leftovers or that row and go beyond the reported size.
        FdLevels p;
        for (auto& level : p) {
            level.resize(n);
            for (double& x : level) x = (&level == &p[0] ? 200.0 : 0.4) * next();
        }
        for (int i = 0; i < nx; ++i) p[2][static_cast<size_t>(nz / 2) * nx + i] *= 20.0;
        std::vector<float> v(n);
        for (float& x : v) x = static_cast<float>(3000.0 + 4000.0 * next());
        for (const bool fourth : {false, true}) {
            for (WorkerPool* threads : {static_cast<WorkerPool*>(nullptr), &pool}) {
                const FdGrid g{nx, nz, 1.0f, 0.0001f, v, v, threads};
                const FdStep s{0, 2, 1};
                FdLevels run = p;
                testing::internal::CaptureStdout();
                (fourth ? FdStepOrder4 : FdStepOrder2)(run, g, s);
                const std::string messages = testing::internal::GetCapturedStdout();
                FdLevels apart = run;
                FdLevel& nw = apart[0];
                for (int k = 0; k < nz; ++k) {
                    for (int i = 0; i < nx; ++i) {
                        const size_t q = static_cast<size_t>(k) * nx + i;
                        if (i == 0 || k == 0 || i == nx - 1 || k == nz - 1) nw[q] = p[0][q];
                    }
                }
                testing::internal::CaptureStdout();
                for (int edge = 1; edge <= 4; ++edge) ApplyAbsorbingBoundary(apart, g, s, edge);
                EXPECT_EQ(messages, testing::internal::GetCapturedStdout()) << nx << " x " << nz;
                EXPECT_FALSE(messages.empty());
                EXPECT_EQ(std::memcmp(nw.data(), run[0].data(), n * sizeof(double)), 0)
                    << nx << " x " << nz << (fourth ? " fourth order" : " second order") << (threads ? " pool" : "");
            }
        }
    }
}

TEST(FdSchemes, NonReflectingConditionRemovesTheInterfaceEcho)
{
    // Staggered, source (100 m, 50 m), snapshot at 40 ms; rows 0-95, columns 90-110.
    auto snapshot = [](bool twoLayers, int option) {
        VelocityModel m;
        twoLayers ? CreateTwoLayerModel(m) : CreateHomogeneousModel(m);
        if (!twoLayers) std::fill(m.velocity.begin(), m.velocity.end(), 2000.0f);
        const std::vector<float> density = m.density;
        m.scheme = 3;
        m.sourceX = 100.0f;
        m.sourceDepth = 50.0f;
        m.sampleCount = 400;
        BeginFdRun(m, 0.0001f, 200.0f, option);
        RunFdPortion(m, nullptr, {});
        EXPECT_EQ(m.density, density);
        return m;
    };
    double with = 0, without = 0, peak = 0;
    for (const int option : {1, 0}) {
        const VelocityModel layered = snapshot(true, option), plain = snapshot(false, option);
        double& d = option ? with : without;
        for (int k = 0; k <= 95; ++k)
            for (int i = 90; i <= 110; ++i) {
                const size_t c = static_cast<size_t>(k) * 201 + i;
                d = std::max(d, static_cast<double>(std::abs(layered.snapshot[c] - plain.snapshot[c])));
                peak = std::max(peak, static_cast<double>(std::abs(plain.snapshot[c])));
            }
    }
    EXPECT_GT(without, 0.0);
    EXPECT_LE(with, 0.5 * without) << with / peak << " vs " << without / peak;
}

}  // namespace
}  // namespace velk
