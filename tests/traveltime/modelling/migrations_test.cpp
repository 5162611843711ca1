// The migrations of a point diffractor: focus, depth of the envelope peak, output sizes, the
// reverse-time focus with its refinements, and the diffraction stacking of spike records.

#include "traveltime/modelling/migrations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>

#include "base/matrix2d.h"
#include "draw/parallel.h"
#include "dsp/fourier.h"
#include "dsp/wavelet.h"
#include "traveltime/velocity_model.h"
#include "traveltime/zero_offset_models.h"

namespace velk {
namespace {

// 128 traces at 1 m (trace k at k m), 0.1 ms, 200 Hz, 3 km/s; the diffractor at (64 m, 20 m) lies
// under trace index 63, the second one far away.
GeneratedTraces Diffractor(int samples = 1024, int traces = 128)
{
    Matrix2D<float> rows(0, traces - 1, 0, samples - 1);
    for (int i = 0; i < traces; ++i) std::fill(rows.Row(i).begin(), rows.Row(i).end(), 0.0f);
    std::vector<float> w(static_cast<size_t>(samples) + 1);
    CWaveletDlg::MakeWavelet(5, 0, samples, w, 200.0f, 0.0f, 0.0f, 0.0f, 0.0001f);
    ModelPointDiffractors(SyntheticRows{rows, traces, samples, 0.1f, w}, 1.0f, 3.0f, 64.0f, 20.0f, 1000.0f, 20.0f);
    GeneratedTraces in;
    in.Resize(traces, samples, 0.1f);
    for (int i = 0; i < traces; ++i) {
        std::copy_n(rows.Row(i).begin(), samples, in.Trace(i).begin());
        in.headers[static_cast<size_t>(i)].Set(i + 1, 100 * (i + 1), 0, 1, 1, 1.0f, 100.0f, samples);
    }
    return in;
}

double Energy(const GeneratedTraces& r, int from, int to)
{
    double e = 0;
    for (int i = std::max(from, 0); i <= std::min(to, r.traces - 1); ++i)
        for (const float v : r.Trace(i)) e += static_cast<double>(v) * v;
    return e;
}

// Index of the largest envelope sample of a trace (FFT Hilbert transform).
int EnvelopePeak(std::span<const float> trace)
{
    const int n = PowerOfTwoLength(static_cast<int>(trace.size()), 2);
    std::vector<double> re(static_cast<size_t>(n), 0.0), im(static_cast<size_t>(n), 0.0);
    std::copy(trace.begin(), trace.end(), re.begin());
    CFourier::Fft(re.data(), im.data(), n, 0, 0);
    for (int j = 1; j < n; ++j) {
        const double f = j < n / 2 ? 2.0 : j == n / 2 ? 1.0 : 0.0;
        re[static_cast<size_t>(j)] *= f;
        im[static_cast<size_t>(j)] *= f;
    }
    CFourier::Fft(re.data(), im.data(), n, 0, 1);
    int best = 0;
    for (int j = 0; j < static_cast<int>(trace.size()); ++j)
        if (std::hypot(re[j], im[j]) > std::hypot(re[best], im[best])) best = j;
    return best;
}

TEST(Migrations, FocusThePointDiffractor)
{
    const GeneratedTraces in = Diffractor();
    EXPECT_LT(Energy(in, 58, 68) / Energy(in, 0, 127), 0.3);
    PhaseShiftArrays arrays;
    const struct {
        const char* name;
        GeneratedTraces out;
        double share;
        int peak;  // envelope peak on trace 63, -1 unchecked
    } cases[] = {
        {"Kirchhoff", KirchhoffMigrate(in, 3.0f), 0.7, 183},
        {"Stolt", StoltMigration(in, 3.0f), 0.7, 137},
        {"phase shift", PhaseShiftMigration(in, 3.0f, arrays), 0.7, 183},
#ifndef VELK_CHECKED_INDEX  // unoptimised builds: too slow for the suite
        {"15 degrees", FifteenDegreeMigration(in, 3.0f), 0.5, -1},
#endif
    };
    for (const auto& c : cases) {
        ASSERT_EQ(c.out.traces, 128) << c.name;
        const double left = Energy(c.out, 58, 62), right = Energy(c.out, 64, 68);
        EXPECT_NEAR(left / right, 1.0, 0.1) << c.name;
        EXPECT_GE(Energy(c.out, 58, 68) / Energy(c.out, 0, 127), c.share) << c.name;
        if (c.peak >= 0) {
            EXPECT_NEAR(EnvelopePeak(c.out.Trace(63)), c.peak, 5) << c.name;
        }
    }
}

TEST(Migrations, OutputSizesAndTraceLimits)
{
    const GeneratedTraces in = Diffractor(1000, 16);
    PhaseShiftArrays arrays;
    EXPECT_EQ(StoltMigration(in, 3.0f).samples, 1024);
    EXPECT_EQ(PhaseShiftMigration(in, 3.0f, arrays).samples, 256);
    EXPECT_EQ(MigrationFkRows(1024), 1024);
    EXPECT_EQ(MigrationFkRows(1025), 0);
    const GeneratedTraces many = Diffractor(8, 513);
    EXPECT_EQ(PhaseShiftMigration(many, 3.0f, arrays).traces, 0);
    EXPECT_EQ(StoltMigration(many, 3.0f).traces, 513);
    GeneratedTraces flat = in;
    flat.headers[1].receiverHundredths = flat.headers[0].receiverHundredths;
    EXPECT_FALSE(MigrationInputUsable(flat));
}

TEST(Migrations, ParallelKirchhoffEqualsSerial)
{
    const GeneratedTraces in = Diffractor(256, 32);
    WorkerPool pool;
    EXPECT_EQ(KirchhoffMigrate(in, 3.0f, &pool).values, KirchhoffMigrate(in, 3.0f, nullptr).values);
}

TEST(ReverseTimeMigration, FocusesAtTheDiffractor)
{
    const GeneratedTraces in = Diffractor();
    RtmSettings base;
    base.samples = 1024;
    base.nx = 128;
    base.ny = 89;
    base.velocity = 3.0f;
    base.stopTimeMs = 5.0f;
    base.dx = 1.0f;
    base.method = 0;
    const struct {
        int time, space, interpolation, row, rowTolerance;
    } cases[] = {{1, 1, 1, 20, 2}, {1, 2, 0, 40, 3}, {2, 1, 1, 20, 2}};
    for (const auto& c : cases) {
        RtmSettings s = base;
        s.timeFactor = c.time;
        s.spaceFactor = c.space;
        s.interpolation = c.interpolation;
        ASSERT_EQ(CheckRtm(s, in), RtmRefusal::None);
        const GeneratedTraces out = ReverseTimeMigrate(in, s);
        ASSERT_EQ(out.traces, RtmOutputTraces(s));
        ASSERT_EQ(out.samples, RtmOutputSamples(s));
        const auto it = std::max_element(out.values.begin(), out.values.end(),
                                          [](float a, float b) { return std::abs(a) < std::abs(b); });
        const int index = static_cast<int>(it - out.values.begin());
        EXPECT_NEAR(index / out.samples, 63, 1) << c.time << " " << c.space;
        EXPECT_NEAR(index % out.samples, c.row, c.rowTolerance) << c.time << " " << c.space;
    }
    RtmSettings fast = base;
    fast.velocity = 30.0f;  // r = 1.5 above 1/sqrt(2)
    EXPECT_EQ(CheckRtm(fast, in), RtmRefusal::Unstable);
    fast = base;
    fast.nx = 129;
    EXPECT_EQ(CheckRtm(fast, in), RtmRefusal::BadValues);
}

// Spikes at the times of a diffractor at (10 m, 15 m) for receivers 1..24 m.
GeneratedTraces Spikes(double sx, double sz, double rz)
{
    GeneratedTraces in;
    in.Resize(24, 1024, 0.1f);
    for (int k = 0; k < 24; ++k) {
        const double x = k + 1;
        const double t = (std::hypot(10.0 - sx, 15.0 - sz) + std::hypot(10.0 - x, 15.0 - rz)) / 3.0;
        in.Trace(k)[static_cast<size_t>(std::trunc(t / 0.1))] = -1.0f;
        in.headers[static_cast<size_t>(k)].Set(k + 1, 100 * (k + 1), 0, 1, 1, 1.0f, 100.0f, 1024);
    }
    return in;
}

TEST(DiffractionStacking, PeaksAtTheDiffractor)
{
    DiffractionStackSettings s;
    s.xFrom = 0.0f;
    s.xTo = 24.0f;
    s.xInterval = 0.5f;
    WorkerPool pool;
    for (const int method : {0, 1, 2}) {
        s.method = method;
        const GeneratedTraces image = DiffractionStackHomogeneous(Spikes(0, 0, 0), s, &pool);
        ASSERT_EQ(image.traces, 49);
        ASSERT_EQ(image.samples, 101);
        const auto it = std::max_element(image.values.begin(), image.values.end(),
                                          [](float a, float b) { return std::abs(a) < std::abs(b); });
        const int index = static_cast<int>(it - image.values.begin());
        EXPECT_EQ(index / image.samples, 20) << method;
        EXPECT_EQ(index % image.samples, 30) << method;
        if (method == 1) {
            EXPECT_LT(*it, 0.0f);
        }
    }
    VelocityModel model;
    CreateHomogeneousModel(model);
    s.method = 0;
    s.sourceX = s.sourceY = 1.0f;
    int skipped = -1;
    GeneratedTraces far = Spikes(1, 1, 1);
    far.headers[23].receiverHundredths = 100000;  // outside the model
    const GeneratedTraces image = DiffractionStackModel(far, model, s, skipped, &pool);
    ASSERT_EQ(image.traces, 201);
    EXPECT_EQ(skipped, 1);
    const auto it = std::max_element(image.values.begin(), image.values.end(),
                                      [](float a, float b) { return std::abs(a) < std::abs(b); });
    const int index = static_cast<int>(it - image.values.begin());
    EXPECT_NEAR(index / image.samples, 10, 1);
    EXPECT_NEAR(index % image.samples, 15, 1);
}

}  // namespace
}  // namespace velk
