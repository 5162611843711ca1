// Kernels of trace editing and NMO: the mutes and NMO against the numpy fixtures, duration,
// alignment by correlation, and the sorting and file-name helpers.

#include "dsp/trace_edit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "dsp/edit_helpers.h"
#include "dsp/fixture.h"
#include "dsp/nmo.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using dsptest::Fixture;
using dsptest::SignalLcg;

std::vector<float> Floats(const std::vector<double>& v) { return std::vector<float>(v.begin(), v.end()); }

CTraceHeader Header(int receiver, int source, float intervalUs, int samples)
{
    CTraceHeader h;
    h.Set(1, receiver, source, 1, 1, 0.0f, intervalUs, samples);
    return h;
}

// ---------------------------------------------------------------------------------------------
// Mutes

TEST(Mutes, TaperWindowMatchesNumpyExactly)
{
    const Fixture fx("trace_edit.txt");
    for (int c = 0; c < 4; ++c) {
        const std::vector<double>& a = fx.Get("taper_args_" + std::to_string(c));
        std::vector<float> x = Floats(SignalLcg(8000 + c, 200));
        TaperWindow(x, static_cast<float>(a[0]), 200, static_cast<float>(a[1]), static_cast<float>(a[2]),
                    static_cast<float>(a[3]), static_cast<float>(a[4]));
        EXPECT_EQ(x, Floats(fx.Get("taper_" + std::to_string(c)))) << c;
    }
}

TEST(Mutes, WithoutTapersExactlyTheWindowSurvives)
{
    // start 5 ms, window 10 ms at 0.25 ms: samples trunc(5/0.25) = 20 .. trunc(15/0.25) - 1 = 59.
    const std::vector<double> in = SignalLcg(8002, 200);
    std::vector<float> x = Floats(in);
    TaperWindow(x, 0.25f, 200, 5.0f, 10.0f, 0.0f, 0.0f);
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(x[static_cast<size_t>(i)], i >= 20 && i < 60 ? static_cast<float>(in[static_cast<size_t>(i)]) : 0.0f)
            << i;
    }
    std::vector<float> untouched = Floats(in);
    TaperWindow(untouched, 0.0f, 200, 5.0f, 10.0f, 0.0f, 0.0f);  // no interval: nothing changes
    EXPECT_EQ(untouched, Floats(in));
}

TEST(Mutes, ApparentVelocityMuteMatchesNumpyExactly)
{
    const Fixture fx("trace_edit.txt");
    for (int c = 0; c < 4; ++c) {
        const std::vector<double>& a = fx.Get("mute_args_" + std::to_string(c));
        std::vector<float> x = Floats(SignalLcg(8100 + c, 240));
        const ApparentVelocityMute mute{static_cast<float>(a[3]), static_cast<float>(a[4]), static_cast<float>(a[5])};
        CApparentVelocityMuteDlg::MuteTrace(
            x, Header(static_cast<int>(a[0]), static_cast<int>(a[1]), static_cast<float>(a[2]), 240), mute);
        EXPECT_EQ(x, Floats(fx.Get("mute_" + std::to_string(c)))) << c;
    }
}

TEST(Mutes, MinimumVelocityZeroKeepsEverySampleAfterTheArrival)
{
    // 41 m at 1.8 km/s: the arrival at 22.78 ms, sample 22 at 1 ms.
    const std::vector<double> in = SignalLcg(8102, 240);
    std::vector<float> x = Floats(in);
    CApparentVelocityMuteDlg::MuteTrace(x, Header(4100, 0, 1000.0f, 240), ApparentVelocityMute{0.0f, 1.8f, 0.0f});
    for (int i = 0; i < 240; ++i) {
        EXPECT_EQ(x[static_cast<size_t>(i)], i < 22 ? 0.0f : static_cast<float>(in[static_cast<size_t>(i)])) << i;
    }
    std::vector<float> y = Floats(in);  // a maximum velocity of 0 changes nothing
    CApparentVelocityMuteDlg::MuteTrace(y, Header(4100, 0, 1000.0f, 240), ApparentVelocityMute{0.5f, 0.0f, 0.0f});
    EXPECT_EQ(y, Floats(in));
}

// ---------------------------------------------------------------------------------------------
// Duration, decimation, integration

TEST(Kernels, DurationDecimationAndRunningSum)
{
    std::vector<float> x(100, 0.0f);
    EXPECT_EQ(TraceDuration(x, 100, 500.0f), 0.0f);  // all zero
    x[30] = -4.0f;
    x[31] = 1.9f;
    EXPECT_EQ(TraceDuration(x, 100, 500.0f), 0.0f);  // one sample above half the peak
    x[70] = 2.5f;
    EXPECT_FLOAT_EQ(TraceDuration(x, 100, 500.0f), 40 * 500e-6f);
    x[90] = 2.0f;  // exactly half the peak does not count
    EXPECT_FLOAT_EQ(TraceDuration(x, 100, 500.0f), 40 * 500e-6f);

    std::vector<float> d{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(DecimateRow(d, 11, 4), 2);
    EXPECT_EQ(d, (std::vector<float>{0, 4, 2, 3, 4, 5, 6, 7, 8, 9, 10}));  // the tail keeps its values

    std::vector<float> s{1.0f, -2.0f, 0.5f};
    EXPECT_EQ(RunningAbsoluteSum(s, 3), 3.5f);
    EXPECT_EQ(s, (std::vector<float>{1.0f, 3.0f, 3.5f}));
}

// ---------------------------------------------------------------------------------------------
// Alignment by correlation

TEST(Align, RealignsARecordShiftedBySevenSamples)
{
    constexpr int n = 300;
    Matrix2D<float> a(0, 2, 0, n - 1);
    Matrix2D<float> b(0, 2, 0, n - 1);
    for (int t = 0; t < 3; ++t) {
        const std::vector<double> x = SignalLcg(8300 + t, n);
        for (int j = 0; j < n; ++j) {
            a[t][j] = static_cast<float>(x[static_cast<size_t>(j)] * std::exp(-0.0005 * (j - 150) * (j - 150)));
            b[t][j] = j >= 7 ? a[t][j - 7] : 0.0f;  // B is A delayed by 7 samples
        }
    }
    ASSERT_EQ(AlignByCorrelation(3, 1, n, a, b), 1);
    for (int t = 0; t < 3; ++t) {
        for (int j = 0; j < n - 7; ++j) EXPECT_EQ(b[t][j], a[t][j]) << t << " " << j;
        for (int j = n - 7; j < n; ++j) EXPECT_EQ(b[t][j], 0.0f);
    }
    EXPECT_EQ(AlignByCorrelation(3, 3, n, a, b), 0);      // no such reference row
    EXPECT_EQ(AlignByCorrelation(3, 0, n + 1, a, b), 0);  // longer than the rows
}

// ---------------------------------------------------------------------------------------------
// NMO

TEST(Nmo, SourceIndicesMatchNumpyAndTheWorkedCase)
{
    const Fixture fx("trace_edit.txt");
    for (int c = 0; c < 3; ++c) {
        const std::vector<double>& a = fx.Get("nmo_args_" + std::to_string(c));
        const int n = static_cast<int>(a[4]);
        Matrix2D<float> rows(0, 0, 0, n - 1);
        for (int j = 0; j < n; ++j) rows[0][j] = static_cast<float>(j + 1);  // sample j holds j + 1
        const CTraceHeader h = Header(static_cast<int>(a[0]), static_cast<int>(a[1]), static_cast<float>(a[2]), n);
        NmoCorrect(1, std::span<const CTraceHeader>(&h, 1), rows, static_cast<float>(a[3]));
        const std::vector<int> k = fx.Indices("nmo_" + std::to_string(c));
        for (int j = 0; j < n; ++j) {
            EXPECT_EQ(rows[0][j], static_cast<float>(k[static_cast<size_t>(j)] + 1)) << c << " " << j;
        }
        if (c == 0) {
            EXPECT_EQ(k[99], 140);  // x 100 m, V 1 km/s, dt 1 ms
        }
    }
}

TEST(Nmo, FlattensAHyperbolaAndLeavesZeroOffsetAlone)
{
    constexpr int n = 1000;
    constexpr double v = 1500.0;  // m/s
    const double t0 = 0.2;        // s
    const int offsets[] = {0, 3000, 9000, 15000};  // x 100
    Matrix2D<float> rows(0, 3, 0, n - 1);
    std::vector<CTraceHeader> headers;
    for (int i = 0; i < 4; ++i) {
        const double x = offsets[i] / 100.0;
        const int arrival = static_cast<int>(std::lround(std::sqrt(t0 * t0 + x * x / (v * v)) / 0.001)) - 1;
        rows[i][arrival] = 1.0f;
        headers.push_back(Header(offsets[i], 0, 1000.0f, n));
    }
    const Matrix2D<float> before = rows;
    NmoCorrect(4, headers, rows, 1.5f);
    for (int i = 0; i < 4; ++i) {
        int peak = 0;
        for (int j = 0; j < n; ++j) {
            if (rows[i][j] > rows[i][peak]) peak = j;
        }
        EXPECT_NEAR(peak, 199, 1) << offsets[i];  // t0 = (j + 1) dt
    }
    for (int j = 0; j < n; ++j) EXPECT_EQ(rows[0][j], before[0][j]);
    Matrix2D<float> same = before;
    NmoCorrect(4, headers, same, 0.0f);  // no velocity: nothing changes
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < n; ++j) EXPECT_EQ(same[i][j], before[i][j]);
    }
}

TEST(Nmo, StackToOneSumsAndPlacesTheMidpoint)
{
    Matrix2D<float> rows(0, 2, 0, 9);
    for (int t = 0; t < 3; ++t) {
        for (int j = 0; j < 10; ++j) rows[t][j] = static_cast<float>(t + j);
    }
    std::vector<float> sum(10, -1.0f);
    const CTraceHeader out = StackToOne(3, Header(1000, 0, 500.0f, 8), rows, sum);
    EXPECT_EQ(out.receiverHundredths, 500);
    EXPECT_EQ(out.intervalUs, 500.0f);
    for (int j = 0; j < 8; ++j) EXPECT_EQ(sum[static_cast<size_t>(j)], static_cast<float>(3 * j + 3));
    EXPECT_EQ(sum[8], -1.0f);  // beyond the header's count
}

// ---------------------------------------------------------------------------------------------
// Helpers

TEST(Helpers, SortedInsertionOrderFileKeysMedianExtensions)
{
    std::vector<int32_t> v;
    EXPECT_EQ(InsertSortedUniqueInt(v, 5), -1);  // the first value is stored, result -1
    EXPECT_EQ(InsertSortedUniqueInt(v, 2), 0);
    EXPECT_EQ(InsertSortedUniqueInt(v, 9), 2);
    EXPECT_EQ(InsertSortedUniqueInt(v, 5), -1);
    EXPECT_EQ(v, (std::vector<int32_t>{2, 5, 9}));
    std::vector<float> f;
    InsertSortedUniqueFloat(f, 1.0f, 0.01f);
    EXPECT_EQ(InsertSortedUniqueFloat(f, 1.005f, 0.01f), -1);  // within the tolerance
    EXPECT_EQ(InsertSortedUniqueFloat(f, 0.5f, 0.01f), 0);
    EXPECT_EQ(f, (std::vector<float>{0.5f, 1.0f}));

    CDistanceOrder order;
    order.Alloc(5);
    order.distances = {3.0f, 1.0f, 3.0f, 0.5f, 1.0f};
    EXPECT_EQ(order.OrderNearestFirst(5), 5);
    EXPECT_EQ(order.order, (std::vector<int>{3, 1, 4, 0, 2}));  // equals keep their order

    EXPECT_EQ(FileNameSortKey("file0123.dat"), "0123");
    EXPECT_EQ(FileNameSortKey("shot-12b7"), "-12");
    EXPECT_EQ(FileNameSortKey("abc"), "");

    EXPECT_EQ(MedianNonNegative({3.0f, -1.0f, 1.0f, 2.0f}, 7.0f), 2.0f);
    EXPECT_EQ(MedianNonNegative({4.0f, 1.0f, 1.004f, 2.0f}, 7.0f), 2.0f);  // 1.004 is 1 within 0.01
    EXPECT_EQ(MedianNonNegative({4.0f, 1.0f, 3.0f, 2.0f}, 7.0f), 2.5f);
    EXPECT_EQ(MedianNonNegative({-1.0f}, 7.0f), 7.0f);

    EXPECT_EQ(EnsureExtension2("a.sg2", ".dat", ".sg2"), "a.sg2");
    EXPECT_EQ(EnsureExtension2("a", ".dat", ".sg2"), "a.dat");
    EXPECT_EQ(EnsureExtension4("b.SGY", ".sgy", ".segy", ".SGY", ".SEGY"), "b.SGY");
    EXPECT_EQ(EnsureExtension4("b", ".sgy", ".segy", ".SGY", ".SEGY"), "b.sgy");
}

TEST(Helpers, ConfirmOverwriteAsksOnlyForAnExistingFile)
{
    testing::TempFolder folder;
    ScriptedUiHost ui;
    EXPECT_TRUE(ConfirmOverwrite(ui, -1, folder.File("missing.dat")));
    testing::WriteFileText(folder.File("here.dat"), "x");
    ui.ExpectMessage("Are you sure you want to over write?", MsgButtons::OkCancel, MsgResult::Cancel);
    EXPECT_FALSE(ConfirmOverwrite(ui, -1, folder.File("here.dat")));
    ui.ExpectMessage("Are you sure you want to over write?", MsgButtons::OkCancel, MsgResult::Ok);
    EXPECT_TRUE(ConfirmOverwrite(ui, -1, folder.File("here.dat")));
}

}  // namespace
}  // namespace velk
