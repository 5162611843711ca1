// The synthetic records: mirror paths against a brute-force Fermat minimum, the arrival rule,
// the diffraction apex, the spectrum of the dispersive record and the spike record.

#include "traveltime/modelling/generators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "dsp/fourier.h"
#include "traveltime/spike_file.h"

namespace velk {
namespace {

// The shortest path from (s, 0) to (x, 0) over the points p(u) of a straight reflector.
template <class Point>
double FermatPath(double s, double x, Point p)
{
    auto length = [&](double u) {
        const auto [px, pz] = p(u);
        return std::hypot(px - s, pz) + std::hypot(x - px, pz);
    };
    double a = -1000.0, b = 1000.0;
    for (int it = 0; it < 300; ++it) {
        const double c = a + (b - a) / 3.0, d = b - (b - a) / 3.0;
        if (length(c) < length(d)) {
            b = d;
        } else {
            a = c;
        }
    }
    return length((a + b) / 2.0);
}

TEST(MirrorPaths, EqualTheFermatMinimum)
{
    const double degree = 0.017452888;
    struct Case {
        double s, x, depthOrCrossing, angle;
    };
    for (const Case& c : {Case{0, 12, 30, 0}, Case{5, 40, 30, 10}, Case{0, 23, 20, -25}, Case{10, 3, 15, 35}}) {
        const double w = std::tan(c.angle * degree);
        const double reflection = FermatPath(c.s, c.x, [&](double u) { return std::pair{u, c.depthOrCrossing + w * u}; });
        EXPECT_NEAR(ReflectionPath(c.s, c.x, c.depthOrCrossing, c.angle), reflection, 1e-3) << c.angle;
    }
    // VSP: source and receivers on one side of a reflector that crosses the line at 50 m.
    for (const Case& c : {Case{0, 12, 50, 60}, Case{2, 30, 50, 120}, Case{0, 40, 50, 45}}) {
        const double w = std::tan(c.angle * degree);
        const double vsp = FermatPath(c.s, c.x, [&](double u) { return std::pair{u, w * (u - c.depthOrCrossing)}; });
        EXPECT_NEAR(VspPath(c.s, c.x, c.depthOrCrossing, c.angle), vsp, 1e-3) << c.angle;
    }
    EXPECT_DOUBLE_EQ(VspPath(0, 10, 50, 90.05), 2 * 40 + 10);
}

int PeakIndex(std::span<const float> trace)
{
    return static_cast<int>(std::max_element(trace.begin(), trace.end(),
                                             [](float a, float b) { return std::fabs(a) < std::fabs(b); }) -
                            trace.begin());
}

TEST(RaySynthetics, DiffractionApexAndHeaders)
{
    CDiffractionDlg dlg;  // diffractor at 10 m, 15 m deep; 100 Hz; 0.1 ms; 1 m; 24 traces
    dlg.sourceLocation = 10.0f;
    dlg.includeDirect = 0;
    const GeneratedTraces rec = DiffractionRecord(dlg);
    // Trace 10 lies at 10 m, right above the diffractor: 2 d / v, and the wavelet peaks 1/f later.
    const int apex = static_cast<int>(std::trunc(2.0 * 15.0 / 3.0 / 0.1)) + static_cast<int>(1.0 / (100.0 * 0.0001));
    EXPECT_NEAR(PeakIndex(rec.Trace(9)), apex, 1);
    EXPECT_LT(rec.Trace(9)[static_cast<size_t>(PeakIndex(rec.Trace(9)))], 0.0f);  // negative polarity
    const CTraceHeader& h = rec.headers[9];
    EXPECT_EQ(h, (CTraceHeader{10, 1000, 1000, 1, 1, 1.0f, 100.0f, 1024}));
}

TEST(RaySynthetics, ReflectionEarlierThanTheDirectWaveIsLeftOut)
{
    // The reflector crosses the line between the source (0 m) and receiver 20 (20 m): its mirror
    // path there (14.1 m) is shorter than the direct one.
    CVspDlg dlg;
    dlg.includeDirect = 0;
    dlg.distance = 10.0f;
    dlg.angle = 45.0f;
    const GeneratedTraces rec = VspRecord(dlg, 5);
    const auto late = rec.Trace(19);
    EXPECT_TRUE(std::all_of(late.begin(), late.end(), [](float v) { return v == 0.0f; }));
    const auto early = rec.Trace(4);  // 5 m: before the crossing, the reflection comes
    EXPECT_TRUE(std::any_of(early.begin(), early.end(), [](float v) { return v != 0.0f; }));
}

TEST(DispersiveRecord, SpectrumHasUnitAmplitudeAndDispersivePhase)
{
    const GeneratedTraces rec = GenerateDispersiveSurfaceWave();
    ASSERT_EQ(rec.traces, 48);
    ASSERT_EQ(rec.samples, 4096);
    EXPECT_EQ(rec.headers[47], (CTraceHeader{47, 4700, 0, 20, 1, 0.0f, 500.0f, 4096}));
    std::vector<double> re(4096), im(4096);
    for (const int i : {0, 1, 17, 47}) {
        const auto trace = rec.Trace(i);
        std::copy(trace.begin(), trace.end(), re.begin());
        std::fill(im.begin(), im.end(), 0.0);
        CFourier::Fft(re.data(), im.data(), 4096, 0, 0);
        for (int k = 0; k <= 2048; ++k) {
            const double f = k * 0.48828125;
            const double amplitude = std::hypot(re[static_cast<size_t>(k)], im[static_cast<size_t>(k)]);
            if (f >= 40.0) {
                EXPECT_LT(amplitude, 1e-4) << i << " " << k;
                continue;
            }
            EXPECT_NEAR(amplitude, 1.0, 1e-4) << i << " " << k;
            const double expected = -2.0 * std::numbers::pi * f * i / DispersivePhaseVelocity(f);
            const double phase = std::atan2(im[static_cast<size_t>(k)], re[static_cast<size_t>(k)]);
            EXPECT_NEAR(std::remainder(phase - expected, 2.0 * std::numbers::pi), 0.0, 1e-3) << i << " " << k;
        }
    }
}

TEST(SpikeRecord, SpikesAtTruncatedTimesInsideTheRecord)
{
    const SpikeFile file = ReadSpikeFile("1.5 3 0.25 0.99 -1\n2.5 2 3.0 100\n4 1 2\n");
    const GeneratedTraces rec = SpikeRecord(file, 10, 0.5f, 2);
    ASSERT_EQ(rec.traces, 2);
    EXPECT_EQ(std::vector<float>(rec.Trace(0).begin(), rec.Trace(0).end()),
              (std::vector<float>{-1, -1, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(std::vector<float>(rec.Trace(1).begin(), rec.Trace(1).end()),
              (std::vector<float>{0, 0, 0, 0, 0, 0, -1, 0, 0, 0}));
    EXPECT_EQ(rec.headers[1], (CTraceHeader{2, 250, 0, 1, 1, 1.0f, 500.0f, 10}));
}

}  // namespace
}  // namespace velk
