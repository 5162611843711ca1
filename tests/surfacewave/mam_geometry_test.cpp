// The microtremor-array geometry: presets, spacings, refusals, channels, array files, GPS, the
// two-dimensional SPAC's channel log and the synthetic plane waves.

#include "surfacewave/mam_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "dsp/fourier.h"
#include "formats/format_support.h"
#include "platform/profile.h"
#include "base/plane_coordinates.h"
#include "surfacewave/synthetic_microtremor.h"
#include "tools/scripted_uihost.h"

namespace velk {
namespace {

struct Geometry : ::testing::Test {
    Geometry() : profile(Profile::FromText("")), g(profile, 32) {}
    std::vector<CTraceHeader> Headers(int n)
    {
        std::vector<CTraceHeader> h(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) h[static_cast<size_t>(i)].Set(i + 1, i * 100, 0, 1, 1, 0.0f, 4000.0f, 64);
        return h;
    }
    bool Build(int preset, int traces)
    {
        g.iGeometry = preset;
        const std::vector<CTraceHeader> h = Headers(traces);
        return g.BuildArrayGeometry(traces, h, MamContext{ui, -1, log});
    }
    std::vector<float> Spacings() const { return {g.spacings.begin(), g.spacings.begin() + g.spacingCount}; }

    Profile profile;
    CMamGeometry g;
    ScriptedUiHost ui;
    MemoryLogSink log;
};

void ExpectNear(const std::vector<float>& got, const std::vector<double>& want, double tolerance)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], tolerance) << i;
}

TEST_F(Geometry, PresetSpacings)
{
    g.ArraySize = 20.0f;
    ASSERT_TRUE(Build(CMamGeometry::kTriangle4, 4));
    ExpectNear(Spacings(), {0.0, 20.0 / std::sqrt(3.0), 20.0}, 1e-4);
    ASSERT_TRUE(Build(CMamGeometry::kSingleCircle9, 12));
    std::vector<double> circle = {0.0};
    for (int k = 1; k <= 4; ++k) circle.push_back(20.0 * std::sin(22.5 * k * M_PI / 180.0));
    circle.insert(circle.begin() + 2, 10.0);
    ExpectNear(Spacings(), circle, 1e-4);
    EXPECT_EQ(g.nReceiver, 9);
    EXPECT_NE(log.Text("mam_spacing.txt").find("1 7.653669 \n"), std::string::npos);
}

TEST_F(Geometry, LFiveFollowsItsSiblings)
{
    g.ArraySize = 20.0f;
    g.Angle = 90.0f;
    ASSERT_TRUE(Build(CMamGeometry::kL5, 5));
    const float want[5][2] = {{0, 20}, {0, 10}, {0, 0}, {10, 0}, {20, 0}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(g.receivers[static_cast<size_t>(i)].x, want[i][0], 1e-5) << i;
        EXPECT_NEAR(g.receivers[static_cast<size_t>(i)].y, want[i][1], 1e-5) << i;
    }
    ASSERT_TRUE(Build(CMamGeometry::kL13, 13));
    EXPECT_EQ(g.receivers.size(), 13u);
}

TEST_F(Geometry, RefusedBuildsChangeNothing)
{
    ASSERT_TRUE(Build(CMamGeometry::kTriangle7, 8));
    const std::vector<CTraceHeaderEx> before = g.receivers;
    struct Case {
        int preset, traces, receivers;
        const char* message;
    } cases[] = {
        {CMamGeometry::kTriangle13, 20, 13,
         "\"Triangle 13\" has no receiver coordinates: choose another array or \"Manual array\" !"},
        {CMamGeometry::kTriangle4, 3, 12, "Error in micro-tremor array geometry !"},
        {CMamGeometry::kManualArray, 12, 20, "Error in micro-tremor array geometry !"},
    };
    for (const Case& c : cases) {
        g.nReceiver = c.receivers;
        ui.ExpectMessage(c.message);
        EXPECT_FALSE(Build(c.preset, c.traces)) << c.message;
        EXPECT_EQ(g.receivers, before);
    }
    EXPECT_TRUE(ui.VerifyAndClear());
}

TEST_F(Geometry, ReverseCableDirection)
{
    g.nReceiver = 6;
    g.SpacingForLinearArray = 2.0f;
    g.reverse = 1;
    ASSERT_TRUE(Build(CMamGeometry::kLinearArray, 8));
    EXPECT_EQ(g.receivers[0].x, 10.0f);
    EXPECT_EQ(g.receivers[5].x, 0.0f);
}

TEST_F(Geometry, UnusedChannelsAndArrayFiles)
{
    struct Case {
        const char* text;
        std::vector<int> marked;
    } cases[] = {{"1 3 5", {1, 3, 5}}, {"1,3", {1, 3}}, {"-1, 200", {}}};
    for (const Case& c : cases) {
        g.ResetUsableChannels();
        g.ParseUnusedChannels(c.text, nullptr, -1);
        std::vector<int> marked;
        for (int i = 0; i < g.Capacity(); ++i)
            if (g.usable[static_cast<size_t>(i)] == 0) marked.push_back(i);
        EXPECT_EQ(marked, c.marked) << c.text;
    }
    EXPECT_EQ(g.ReadReceiverLocationsText(4, Headers(4), "1 2\n3 4\n5 6\n7 8\n9 10\n"), 4);
    EXPECT_EQ(g.receivers[3].y, 8.0f);
    EXPECT_EQ(g.ReadReceiverLocationsText(4, Headers(4), "1 2 3"), 1);
}

TEST_F(Geometry, GpsWithoutZoneIsInMetres)
{
    std::vector<CTraceHeaderEx> ex(2);
    ex[0].latitude = 35.0f, ex[0].longitude = 139.0f;
    ex[1].latitude = 35.0001f, ex[1].longitude = 139.0001f;
    ASSERT_EQ(g.GeometryFromGps(2, Headers(2), ex, -1, ui, -1), 2);
    EXPECT_NEAR(g.receivers[1].x, 110952.0 * (35.0001f - 35.0f), 0.05);
    EXPECT_NEAR(g.receivers[1].y, 91288.0 * (139.0001f - 139.0f), 0.05);
    EXPECT_EQ(g.iGeometry, CMamGeometry::kManualArray);
    ui.ExpectMessage("The coordinate zone 20 has no origin: choose a zone from 1 to 19 !");
    EXPECT_EQ(g.GeometryFromGps(2, Headers(2), ex, 20, ui, -1), 0);
    EXPECT_TRUE(ui.VerifyAndClear());
}

TEST(PlaneCoordinates, AgreeWithTheProjectionLibrary)
{
    std::ifstream in(std::string(VELK_SOURCE_DIR) + "/tests/reference/plane_zone.txt");
    std::string line;
    int points = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream s(line);
        int zone = 0;
        double lat = 0, lon = 0, x = 0, y = 0;
        s >> zone >> lat >> lon >> x >> y;
        double gx = 0, gy = 0;
        ASSERT_TRUE(LatLonToPlaneXY(lat * M_PI / 180.0, lon * M_PI / 180.0, zone, gx, gy));
        EXPECT_NEAR(gx, x, 0.01) << line;
        EXPECT_NEAR(gy, y, 0.01) << line;
        ++points;
    }
    EXPECT_EQ(points, 95);  // five in each of the 19 zones
}

TEST_F(Geometry, SpacSkipsRunsOfUnusableChannels)
{
    g.nReceiver = 4;
    ASSERT_TRUE(Build(CMamGeometry::kLinearArray, 8));
    g.ParseUnusedChannels("1 2", nullptr, -1);
    Matrix2D<float> rows(0, 7, 0, 63);
    for (int t = 0; t < 8; ++t) rows[t][3] = 1.0f;
    std::vector<CTraceHeader> h = Headers(8);
    ASSERT_GT(g.Spac2D(4, 64, rows, h, 1, 8, log), 0);
    EXPECT_EQ(log.Text("Spac2D.txt").substr(0, 28), "0 0 1 \n1 3 1 \n2 4 1 \n3 5 1 \n");
    g.startChannel = 5;  // receiver 3 would read channel 8
    EXPECT_EQ(g.Spac2D(4, 64, rows, h, 1, 8, log), 0);
}

// One plane wave over three receivers: bin phases, realness, direction.
TEST(SyntheticMicrotremor, PlaneWavePhases)
{
    std::vector<CTraceHeaderEx> r(3);
    r[1].y = 30.0f, r[2].x = 20.0f, r[2].y = -10.0f;
    const int N = SyntheticMicrotremor::kSamples;
    auto spectrum = [&](float angle, std::vector<double>& re, std::vector<double>& im, int i) {
        SyntheticMicrotremor s;
        Matrix2D<float> rows(0, 2, 0, N - 1);
        std::vector<CTraceHeader> h(3);
        MemoryLogSink log;
        EXPECT_EQ(s.Generate(r, h, rows, 3, angle, SyntheticMicrotremor::kDelta, 0, 7u, log), 3);
        re.assign(rows.Row(i).begin(), rows.Row(i).end());
        im.assign(static_cast<size_t>(N), 0.0);
        CFourier::Fft(re.data(), im.data(), N, 0, 0);
    };
    const double df = 1000.0 / (N * 4.0), c = 200.0;
    for (float angle : {0.0f, 180.0f}) {
        const double dy = std::cos(angle * M_PI / 180.0);
        std::vector<double> ar, ai, br, bi;
        spectrum(angle, ar, ai, 0);
        spectrum(angle, br, bi, 1);
        for (int j = 1; j < N / 2; j += 97) {
            const double got = std::atan2(ai[j] * br[j] - ar[j] * bi[j], ar[j] * br[j] + ai[j] * bi[j]);
            const double want = std::remainder(-2.0 * M_PI * j * df * (0.0 - dy * 30.0) / c, 2.0 * M_PI);
            EXPECT_NEAR(std::remainder(got - want, 2.0 * M_PI), 0.0, 1e-3) << angle << " " << j;
        }
    }
    // Nothing of the wave is lost to an imaginary rest: every bin keeps the source's modulus.
    SyntheticMicrotremor s;
    Matrix2D<float> rows(0, 2, 0, N - 1);
    std::vector<CTraceHeader> h(3);
    MemoryLogSink log;
    s.Generate(r, h, rows, 3, 33.0f, SyntheticMicrotremor::kDelta, 0, 11u, log);
    std::vector<double> xr(rows.Row(2).begin(), rows.Row(2).end()), xi(static_cast<size_t>(N), 0.0);
    CFourier::Fft(xr.data(), xi.data(), N, 0, 0);
    for (int j = 0; j <= N / 2; j += 211) EXPECT_NEAR(std::hypot(xr[j], xi[j]) * N, 1.0, 1e-4) << j;
    EXPECT_EQ(h[2].samples, N);
    EXPECT_EQ(h[2].receiverHundredths, 200);
}

}  // namespace
}  // namespace velk
