// The ray tracer against closed forms (straight rays, head waves) and a brute-force Fermat
// minimum, its reach from every corner and edge, and the smoothing pass.

#include "traveltime/velocity_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace velk {
namespace {

float T(const VelocityModel& m, int i, int k) { return m.traveltime[static_cast<size_t>(k) * m.nx + i]; }

VelocityModel Traced(void (*create)(VelocityModel&), int column, int row)
{
    VelocityModel m;
    create(m);
    EXPECT_TRUE(TraceTravelTimes(m.traveltime, m.velocity, m.nz, m.nx, m.h, column, row));
    return m;
}

TEST(RayTracing, HomogeneousModelGivesStraightRayTimes)
{
    const VelocityModel m = Traced(CreateHomogeneousModel, 100, 100);
    double worst = 0.0;
    for (int k = 0; k < m.nz; ++k) {
        for (int i = 0; i < m.nx; ++i) {
            const double r = std::hypot(i - 100, k - 100);
            if (r < 10.0) continue;
            worst = std::max(worst, std::fabs(T(m, i, k) - r / 3.0) / (r / 3.0));
        }
    }
    EXPECT_LT(worst, 0.01);
    EXPECT_NEAR(T(m, 100, 130), 10.0, 0.01);
    for (int d = 1; d < 95; ++d) EXPECT_NEAR(T(m, 100 + d + 1, 100 + d + 1) - T(m, 100 + d, 100 + d), 0.4714, 0.001) << d;
}

// The upper layer of the two-layer model: direct waves near the source, head waves beyond the
// critical distance; the lower layer: the time of the fastest path through the interface.
TEST(RayTracing, TwoLayerModelGivesHeadWavesAndRefractedTimes)
{
    const VelocityModel m = Traced(CreateTwoLayerModel, 100, 50);
    const double v1 = 2.0, v2 = 4.0, depth = 100.0, xs = 100.0, zs = 50.0;  // m/ms, m
    const double sine = v1 / v2, cosine = std::sqrt(1.0 - sine * sine), tangent = sine / cosine;
    auto head = [&](double x, double z) {
        const double offset = std::fabs(x - xs);
        if (offset < ((depth - zs) + (depth - z)) * tangent) return 1e30;
        return offset / v2 + ((depth - zs) + (depth - z)) * cosine / v1;
    };
    auto direct = [&](double x, double z) { return std::hypot(x - xs, z - zs) / v1; };
    auto fermat = [&](double x, double z) {
        auto time = [&](double u) { return std::hypot(u - xs, depth - zs) / v1 + std::hypot(x - u, z - depth) / v2; };
        double a = std::min(xs, x), b = std::max(xs, x);
        for (int it = 0; it < 200; ++it) {
            const double c = a + (b - a) / 3.0, d = b - (b - a) / 3.0;
            if (time(c) < time(d)) {
                b = d;
            } else {
                a = c;
            }
        }
        return time((a + b) / 2.0);
    };
    double upper = 0.0, lower = 0.0;
    for (int k = 0; k < m.nz; ++k) {
        for (int i = 0; i < m.nx; ++i) {
            const double t = T(m, i, k);
            if (k <= 95 && std::hypot(i - xs, k - zs) >= 10.0) {
                const double ref = std::min(direct(i, k), head(i, k));
                upper = std::max(upper, std::fabs(t - ref) / ref);
            } else if (k >= 105) {
                lower = std::max(lower, std::fabs(t - fermat(i, k)) / fermat(i, k));
            }
        }
    }
    EXPECT_LT(upper, 0.03);
    EXPECT_LT(lower, 0.07);
    for (const int x : {0, 200}) {
        EXPECT_NEAR(T(m, x, 95), head(x, 95), 0.01 * head(x, 95)) << x;
        EXPECT_LT(T(m, x, 95), 0.92 * direct(x, 95)) << x;
    }
}

TEST(RayTracing, EveryCellIsReachedFromCornersAndEdges)
{
    for (auto create : {CreateHomogeneousModel, CreateTwoLayerModel}) {
        for (const int column : {0, 100, 200}) {
            for (const int row : {0, 100, 200}) {
                const VelocityModel m = Traced(create, column, row);
                EXPECT_LT(*std::max_element(m.traveltime.begin(), m.traveltime.end()), 9999.0f)
                    << column << ", " << row;
            }
        }
    }
}

TEST(RayTracing, SourceOutsideTheGridIsRefused)
{
    VelocityModel m;
    CreateHomogeneousModel(m);
    m.traveltime.assign(m.Cells(), 7.0f);
    const std::vector<float> before = m.traveltime;
    for (const auto& [column, row] : {std::pair{201, 100}, {100, 201}, {-1, 0}}) {
        EXPECT_FALSE(TraceTravelTimes(m.traveltime, m.velocity, m.nz, m.nx, m.h, column, row));
        EXPECT_EQ(m.traveltime, before);
    }
}

TEST(RingSide, OneCellAndMonotonicSides)
{
    const float s[] = {1.0f, 1.0f, 1.0f, 1.0f};
    float out[4] = {};
    const float one[] = {2.0f};
    SolveRingSide(1, std::span(s, 1), std::span(s, 1), one, out, 1.0f);
    EXPECT_FLOAT_EQ(out[0], 3.0f);
    // Inner times falling toward the side's last cell: no interior minimum, every cell reached.
    const float falling[] = {4.0f, 3.0f, 2.0f, 1.0f};
    SolveRingSide(4, s, s, falling, out, 1.0f);
    EXPECT_FLOAT_EQ(out[3], 2.0f);
    for (const float t : out) EXPECT_LT(t, 9999.0f);
}

TEST(Smoothing, KeepsHomogeneousModelsAndEdges)
{
    VelocityModel m;
    CreateHomogeneousModel(m);
    const std::vector<float> homogeneous = m.velocity;
    SmoothVelocityModel(m);
    EXPECT_EQ(m.velocity, homogeneous);

    CreateTwoLayerModel(m);
    const std::vector<float> layered = m.velocity;
    SmoothVelocityModel(m);
    SmoothVelocityModel(m);
    for (int k = 0; k < m.nz; ++k) {
        for (int i = 0; i < m.nx; ++i) {
            const size_t c = static_cast<size_t>(k) * m.nx + i;
            if (i == 0 || k == 0 || i == m.nx - 1 || k == m.nz - 1) {
                EXPECT_EQ(m.velocity[c], layered[c]);
            }
        }
    }
    EXPECT_NE(m.velocity, layered);  // the interface is smoothed
    EXPECT_FLOAT_EQ(m.velocity[static_cast<size_t>(50) * m.nx + 50], 2000.0f);
}

}  // namespace
}  // namespace velk
