// The store-free phase velocity-frequency transformation: grid rules, the images of synthetic
// dispersive records, the numpy reference, the SPAC path and its kernels.

#include "surfacewave/phase_velocity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>

#include "dsp/fourier.h"
#include "surfacewave/spac_kernels.h"
#include "surfacewave/phase_velocity_test_record.h"
#include <complex>

namespace velk {
namespace {

using testrecord::Record;

TEST(PhaseVelocityGrid, LengthsAndCounts)
{
    EXPECT_EQ(ResolutionFftLength(1000, 1), 1024);
    EXPECT_EQ(ResolutionFftLength(1000, 2), 2048);
    EXPECT_EQ(ResolutionFftLength(1000, 3), 4096);
    EXPECT_EQ(ResolutionFftLength(4096, 1), 4096);
    EXPECT_EQ(FrequencyDecimation(300, 128), 4);
    EXPECT_EQ(FrequencyDecimation(128, 128), 1);
    EXPECT_EQ(FrequencyDecimation(100000, 128), 64);
    CContourSettings s;
    EXPECT_EQ(VelocityTraces(s), 200);
    EXPECT_EQ(VelocityColumns(s), 200);
    s.startVelocity = 0.05f;
    EXPECT_EQ(FirstVelocityColumn(s), 20);
    EXPECT_EQ(VelocityTraces(s), 180);
    // Direction: equal peaks backward; guided type 3 by the source against the spread's middle.
    CTraceHeader h[3];
    h[0].receiverHundredths = 0, h[2].receiverHundredths = 1000;
    h[0].sourceHundredths = 499;
    const float equal[3] = {2, 2, 2}, falling[3] = {3, 2, 1};
    EXPECT_EQ(AutomaticDirection(false, 3, h, equal), 1);
    EXPECT_EQ(AutomaticDirection(false, 3, h, falling), 0);
    EXPECT_EQ(AutomaticDirection(true, 3, h, equal), 0);
    h[0].sourceHundredths = 500;
    EXPECT_EQ(AutomaticDirection(true, 3, h, falling), 1);
    // Spacings: one trace gives 0 without a second receiver.
    ReceiverSpacingRange(1, std::span<const CTraceHeader>(h, 1), s);
    EXPECT_EQ(s.maximumReceiverSpacing, 0.0f);
}

// A record of 30000 samples at 4 ms is padded to 32768: its frequency step 7.63 mHz is not a
// whole number of millihertz. The rows are labelled from the true step; the velocity-trace
// layout keeps the step's whole millihertz in the header word and the true step in the store's.
TEST(PhaseShiftImage, FrequenciesFromTheTrueStep)
{
    Record r(4, 30000, 4.0f);
    for (int i = 0; i < 4; ++i) r.headers[static_cast<size_t>(i)].Set(i + 1, 100 * i, 0, 1, 1, 0.0f, 4000.0f, 30000);
    const double df = 1000.0 / (32768 * 4.0);
    CContourSettings s;
    PhaseVelocityImage image;
    ASSERT_EQ(PhaseShiftImage(r.View(), s, {128, 4100}, image), 32768);
    ASSERT_EQ(image.decimation, 64);  // 5243 rows up to 40 Hz for 128 traces
    for (int k = 0; k < image.traceCount; ++k)
        EXPECT_EQ(image.headers[static_cast<size_t>(k)].receiverHundredths, std::lround(k * 64 * df * 100.0)) << k;
    s.yAxis = 0;
    ASSERT_EQ(PhaseShiftImage(r.View(), s, {200, 8192}, image), 32768);
    EXPECT_EQ(image.headers[0].intervalUs, 7.0f);
    EXPECT_FLOAT_EQ(image.storeInterval, static_cast<float>(df));
}

// The velocity of the largest value of row k among samples of at least `from` m/s.
double PeakVelocity(const PhaseVelocityImage& image, int k, double dv, double from)
{
    const auto row = image.Row(k);
    int best = -1;
    for (int j = static_cast<int>(std::ceil(from / dv)); j < image.samples; ++j)
        if (best < 0 || row[static_cast<size_t>(j)] > row[static_cast<size_t>(best)]) best = j;
    return best * dv;
}

TEST(PhaseShiftImage, SingleModeFollowsThePhaseVelocity)
{
    const Record r = testrecord::Dispersive(false);
    for (const float start : {0.0f, 0.05f}) {
        CContourSettings s;
        s.startVelocity = start;
        PhaseVelocityImage image;
        ASSERT_EQ(PhaseShiftImage(r.View(), s, {128, 4100}, image), 4096);
        ASSERT_EQ(image.samples, 200);
        const double dv = image.storeInterval;
        EXPECT_FLOAT_EQ(dv, 2.5);
        for (int k = 0; k < image.traceCount; ++k) {
            const double f = image.headers[static_cast<size_t>(k)].receiverHundredths * 0.01;
            if (f < 2.0 || f >= 39.5) continue;
            EXPECT_NEAR(PeakVelocity(image, k, dv, 50.0), testrecord::C0(f), 2.5) << f << " Hz, start " << start;
            if (start > 0.0f) {
                EXPECT_EQ(image.Row(k)[19], 0.0f);
            }
        }
    }
}

TEST(PhaseShiftImage, TwoModesAreResolved)
{
    const Record r = testrecord::Dispersive(true);
    CContourSettings s;
    s.endVelocity = 0.7f;
    PhaseVelocityImage image;
    ASSERT_GT(PhaseShiftImage(r.View(), s, {128, 4100}, image), 0);
    const double dv = image.storeInterval;
    int checked = 0;
    for (int k = 0; k < image.traceCount; ++k) {
        const double f = image.headers[static_cast<size_t>(k)].receiverHundredths * 0.01;
        const double c0 = testrecord::C0(f), c1 = testrecord::C1(f);
        if (f < 5.0 || f >= 39.5 || f * 47.0 * std::fabs(1.0 / c0 - 1.0 / c1) < 4.0) continue;
        ++checked;
        EXPECT_NEAR(PeakVelocity(image, k, dv, 50.0), c0, dv) << f;
        const auto row = image.Row(k);
        bool local = false;
        for (int j = 1; j + 1 < image.samples; ++j) {
            const bool peak = row[static_cast<size_t>(j)] >= row[static_cast<size_t>(j - 1)] &&
                              row[static_cast<size_t>(j)] >= row[static_cast<size_t>(j + 1)];
            local = local || (peak && std::fabs(j * dv - c1) <= 0.1 * c1);
        }
        EXPECT_TRUE(local) << f;
    }
    EXPECT_GT(checked, 20);
}

TEST(PhaseShiftImage, AgreesWithTheNumpyReference)
{
    const Record r = testrecord::TwoModeReference();
    CContourSettings s;
    s.velocityInterval = 0.005f;
    PhaseVelocityImage image;
    ASSERT_GT(PhaseShiftImage(r.View(), s, {128, 4100}, image), 0);
    ImageMaxima(image, true);
    std::ifstream in(std::string(VELK_SOURCE_DIR) + "/tests/reference/phase_shift.txt");
    std::string comment;
    std::getline(in, comment);
    int rows = 0, cols = 0;
    in >> rows >> cols;
    ASSERT_EQ(rows, image.traceCount);
    ASSERT_EQ(cols, image.samples);
    for (int k = 0; k < rows; ++k)
        for (int j = 0; j < cols; ++j) {
            double expected = 0;
            in >> expected;
            ASSERT_NEAR(image.Row(k)[static_cast<size_t>(j)], expected, 1e-4) << k << " " << j;
        }
}

TEST(PhaseShiftStack, RotationEqualsTheDirectSumForAnyThreadCount)
{
    const int used = 5, bins = 300;
    std::vector<double> re(used * bins), im(used * bins), positions{0.0, 1.5, 3.0, 7.0, 11.0};
    for (size_t i = 0; i < re.size(); ++i) re[i] = std::sin(0.37 * i), im[i] = std::cos(0.11 * i * i);
    CContourSettings s;
    PhaseVelocityImage one, three;
    for (PhaseVelocityImage* image : {&one, &three}) {
        image->traceCount = bins, image->samples = 200, image->df = 0.25;
        image->values.assign(bins * 200, 0.0f);
    }
    PhaseShiftStack(re, im, bins, positions, s, one, 1);
    PhaseShiftStack(re, im, bins, positions, s, three, 3);
    EXPECT_EQ(one.values, three.values);
    for (const int k : {1, 150, 299})
        for (const int j : {0, 40, 199}) {
            std::complex<double> sum;
            const double v = j == 0 ? 0.1 : j * 2.5;
            for (int q = 0; q < used; ++q) {
                const std::complex<double> u(re[q * bins + k], im[q * bins + k]);
                const double phi = 2 * std::numbers::pi * k * 0.25 * positions[static_cast<size_t>(q)] / v;
                sum += u / std::abs(u) * std::complex<double>(std::cos(phi), std::sin(phi));
            }
            const double direct = std::abs(sum) / used;
            EXPECT_NEAR(one.Row(k)[static_cast<size_t>(j)], direct, 1e-6 * std::max(direct, 1e-3)) << k << " " << j;
        }
}

TEST(PhaseShiftImage, RefusalsAndLayouts)
{
    const Record r = testrecord::Dispersive(false, 24, 1024);
    struct Case {
        int yAxis, skip;
        float minimumOffset;
        ImageCapacity capacity;
        ImageRefusal refusal;
        int used;
    } cases[] = {
        {1, 3, 0.0f, {128, 4100}, ImageRefusal::None, 8},
        {1, 1, 100.0f, {128, 4100}, ImageRefusal::NoUsedTrace, 0},
        {0, 1, 0.0f, {128, 4100}, ImageRefusal::TooManyTraces, 0},
        {0, 1, 0.0f, {200, 4100}, ImageRefusal::None, 24},
        {1, 1, 0.0f, {128, 199}, ImageRefusal::TooManySamples, 0},
    };
    for (const Case& c : cases) {
        CContourSettings s;
        s.yAxis = c.yAxis, s.traceSkip = c.skip, s.minimumOffset = c.minimumOffset;
        PhaseVelocityImage image;
        PhaseShiftImage(r.View(), s, c.capacity, image);
        EXPECT_EQ(image.refusal, c.refusal);
        EXPECT_EQ(image.usedTraces, c.used);
        if (c.yAxis == 0 && c.refusal == ImageRefusal::None) {
            EXPECT_EQ(image.traceCount, 200);
            EXPECT_EQ(image.headers[3].receiverHundredths, 750);  // 7.5 m/s x 100
            EXPECT_GT(image.Row(0)[5], 0.0f);                      // the 0.1 m/s trace is computed
        }
    }
}

TEST(SpacImage, PlaneWaveCoherencePeaksAtItsVelocity)
{
    // A coherence image: 24 separations of 1 m, rows cos(2 pi f k / 200) at df = 0.25 Hz.
    Record r(24, 200);
    for (int k = 0; k < 24; ++k) {
        r.headers[static_cast<size_t>(k)].Set(k + 1, 100 * k, 0, 1, 1, 0.0f, 250.0f, 200);
        for (int j = 0; j < 200; ++j) r.rows[k][j] = static_cast<float>(std::cos(2 * std::numbers::pi * j * 0.25 * k / 200.0));
    }
    CContourSettings s;
    s.method = 1;
    PhaseVelocityImage image;
    ASSERT_EQ(SpacImage(r.View(), true, s, {128, 4100}, image), 200);
    for (int k = 0; k < image.traceCount; ++k) {
        const double f = k * 0.25;
        if (f < 5.0 || f >= 39.5) continue;
        EXPECT_NEAR(PeakVelocity(image, k, 2.5, 100.0), 200.0, 2.5) << f;
    }
}

TEST(SpacKernels, RowsBySeparationAndZeroSpectra)
{
    // Circular shifts of one signal: pair (e, g) has coherence cos(2 pi k (g - e) / 64) at bin k.
    // Trace 1 is dead; row 1 must still hold separation 1 (the pair 2-3).
    Record r(4, 64);
    for (int t = 0; t < 4; ++t) {
        r.headers[static_cast<size_t>(t)].Set(t + 1, 100 * t, 0, 1, 1, 0.0f, 1000.0f, 64);
        for (int j = 0; j < 64; ++j) r.rows[t][j] = t == 1 ? 0.0f : static_cast<float>(std::sin(0.3 * ((j - t + 64) % 64) * ((j - t + 64) % 64)) + 0.2);
    }
    std::vector<CTraceHeader> headers = r.headers;
    ASSERT_EQ(SpacSpectra(4, 64, r.rows, headers, 1), 64);
    for (int sep = 0; sep < 4; ++sep)
        for (const int k : {1, 5, 9}) EXPECT_NEAR(r.rows[sep][k], std::cos(2 * std::numbers::pi * k * sep / 64.0), 1e-4) << sep;
    const std::vector<double> zero(4, 0.0), one(4, 1.0);
    std::vector<float> out(4, 5.0f);
    CoherencyFromSpectra(4, zero, zero, one, one, out);
    EXPECT_EQ(out, std::vector<float>(4, 0.0f));
}

}  // namespace
}  // namespace velk
