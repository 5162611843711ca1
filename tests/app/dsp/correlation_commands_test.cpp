// Correlation, convolution, the automatic shifts, the S-wave corrections, the refraction
// convolutions and the small record commands, on whole records (numpy references in
// tests/dsp/ref/correlation_commands.txt).

#include "app/dsp/correlation_commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "app/command_table.h"
#include "app/dsp/data_kind.h"
#include "platform/recent_files.h"
#include "dsp/correlation.h"
#include "app/dsp/signal_fixture.h"

namespace velk {
namespace {

using signaltest::SignalTest;

class Correlation : public SignalTest {
protected:
    void Select(int trace) { ws->store.Params().selectionFlags[static_cast<size_t>(trace)] = 1; }
    CTraceHeader& Header(int i) { return ws->store.current.headers[static_cast<size_t>(i)]; }
    void Place(int i, int receiverMetres, int component)
    {
        Header(i).receiverHundredths = receiverMetres * 100;
        Header(i).component = component;
    }
    // The index of the largest |value| among the first n samples of trace i.
    int PeakIndex(int i, int n) const
    {
        const std::vector<float> r = Row(i, n);
        return FirstPeakIndex(std::vector<double>(r.begin(), r.end()));
    }
    double Error(const std::string& name, int t, int trace) const
    {
        const std::vector<int> idx = fx.Indices("idx_" + name + "_" + std::to_string(t));
        const std::vector<double>& ref = fx.Get(name + "_" + std::to_string(t));
        const auto row = ws->store.current.rows.Row(trace);
        double err = 0.0;
        for (size_t k = 0; k < idx.size(); ++k) {
            err = std::max(err, std::fabs(static_cast<double>(row[static_cast<size_t>(idx[k])]) - ref[k]));
        }
        return err;
    }
    dsptest::Fixture fx{"correlation_commands.txt"};
};

// A short wavelet centred at c.
std::vector<double> Pulse(int n, double c, double sign = 1.0)
{
    std::vector<double> x(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) {
        const double a = (k - c) / 3.0;
        x[static_cast<size_t>(k)] = sign * (1.0 - 2.0 * a * a) * std::exp(-a * a);
    }
    return x;
}

// ---------------------------------------------------------------------------------------------
// FFT routes

TEST_F(Correlation, CrossCorrelationMatchesNumpyAndPeaksAtTheDelay)
{
    LoadLcg(8500, 3, 1000, 500.0f);
    Select(0);
    ASSERT_EQ(OnCrossCorrelation(*ws, ui, progress), 1);
    for (int t = 0; t < 3; ++t) EXPECT_LE(Error("xcorr", t, t), 2e-6 * fx.Scalar("peak_xcorr")) << t;
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 1024);
    EXPECT_EQ(Header(2).samples, 1024);
    EXPECT_EQ(progress.Record().Text(), " Correlation : trace = 3 ");

    // A copy of the reference delayed by 5 samples peaks at lag 5.
    std::vector<double> ref = dsptest::SignalLcg(11, 300), late(300, 0.0);
    for (int k = 5; k < 300; ++k) late[static_cast<size_t>(k)] = ref[static_cast<size_t>(k) - 5];
    Load({ref, late}, 500.0f);
    ASSERT_EQ(OnCrossCorrelation(*ws, ui, progress), 1);
    EXPECT_EQ(PeakIndex(1, 512), 5);
}

TEST_F(Correlation, ConvolutionMatchesScipyAndLeavesSelectedTraces)
{
    LoadLcg(8600, 3, 1000, 500.0f);
    Select(1);
    const std::vector<float> reference = Row(1, 1000);
    ASSERT_EQ(OnConvolution(*ws, ui, progress), 1);
    const double peak = fx.Scalar("peak_conv");
    EXPECT_LE(Error("conv", 0, 0), 2e-6 * peak);
    EXPECT_LE(Error("conv", 1, 2), 2e-6 * peak);
    EXPECT_EQ(Row(1, 1000), reference);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 1000);

    LoadLcg(8700, 2, 1000, 500.0f);
    ASSERT_EQ(OnAutoCorrelation(*ws, ui, progress), 1);
    for (int t = 0; t < 2; ++t) EXPECT_LE(Error("auto", t, t), 2e-6 * fx.Scalar("peak_auto")) << t;
}

// ---------------------------------------------------------------------------------------------
// Time domain

TEST_F(Correlation, TimeDomainCorrelationUsesTheWholeTrace)
{
    LoadLcg(8800, 2, 1000, 500.0f);
    Select(0);
    ASSERT_EQ(OnCorrelationTimeDomain(*ws, ui, progress), 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 1024);
    EXPECT_EQ(Header(1).samples, 1024);
    for (int t = 0; t < 2; ++t) EXPECT_LE(Error("tdcorr1000", t, t), 1e-6 * fx.Scalar("peak_tdcorr1000")) << t;

    LoadLcg(8900, 2, 3000, 500.0f);
    Select(0);
    ASSERT_EQ(OnCorrelationTimeDomain(*ws, ui, progress), 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 4096);
    for (int t = 0; t < 2; ++t) EXPECT_LE(Error("tdcorr3000", t, t), 1e-6 * fx.Scalar("peak_tdcorr3000")) << t;

    LoadLcg(9000, 2, 300, 500.0f);
    Select(0);
    ASSERT_EQ(OnConvolutionTimeDomain(*ws, ui, progress), 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 300);
    for (int t = 0; t < 2; ++t) EXPECT_LE(Error("tdconv", t, t), 1e-6 * fx.Scalar("peak_tdconv")) << t;
}

TEST_F(Correlation, ReferenceMessagesAndWhenTheSnapshotIsTaken)
{
    LoadLcg(1, 2, 100, 500.0f);
    const auto before = Snapshot();
    // The time-domain routes refuse before their snapshot.
    ui.ExpectMessage("基本波形が指定されていません");
    EXPECT_EQ(OnCorrelationTimeDomain(*ws, ui, progress), 0);
    ui.ExpectMessage("基本波形が指定されていません");
    EXPECT_EQ(OnConvolutionTimeDomain(*ws, ui, progress), 0);
    EXPECT_EQ(Snapshot(), before);
    // The others have pushed theirs.
    ui.ExpectMessage("Select a trace !");
    EXPECT_EQ(OnConvolution(*ws, ui, progress), 0);
    EXPECT_EQ(ws->store.undoDepth, 1);
    ui.ExpectMessage("基本波形が指定されていません");
    EXPECT_EQ(OnCrossCorrelation(*ws, ui, progress), 0);
    ui.ExpectMessage("Select a trace !");
    EXPECT_EQ(AutoShiftByCorrelation(*ws, ui, 0), 0);
    ui.ExpectMessage("基本波形が指定されていません");
    EXPECT_EQ(OnAutoShiftBySemblance(*ws, ui), 0);
    EXPECT_EQ(ws->display.modified, 0);
    EXPECT_TRUE(ui.VerifyAndClear());
}

// ---------------------------------------------------------------------------------------------
// Automatic shifts

TEST_F(Correlation, AutomaticShiftByCorrelationMovesTheOtherComponent)
{
    const int n = 64;
    std::vector<double> early = Pulse(n, 20.0), late = Pulse(n, 23.0);
    Load({early, late, Pulse(n, 33.0)}, 500.0f);
    Place(0, 5, 1);
    Place(1, 5, 2);
    Place(2, 6, 2);
    Select(0);
    ASSERT_EQ(OnAutoShiftByCorrelation(*ws, ui), 1);
    // Lag 3 at 0.5 ms: every component-2 trace moves 1.5 ms earlier.
    EXPECT_EQ(PeakIndex(1, n), 20);
    EXPECT_EQ(PeakIndex(2, n), 30);
    EXPECT_EQ(PeakIndex(0, n), 20);
    EXPECT_EQ(ws->componentToEdit, -1);
    EXPECT_EQ(ws->display.modified, 1);

    // A lag of samples - 3 is -1.5 ms.
    Load({early, Pulse(n, 17.0)}, 500.0f);
    Place(1, 1, 2);
    Select(0);
    ASSERT_EQ(AutoShiftByCorrelation(*ws, ui, 0), 1);
    EXPECT_EQ(PeakIndex(1, n), 20);

    // Mode 1 shifts circularly, by the whole lag also where lag x dt / dt rounds below it
    // (15 samples at 0.3 ms).
    const std::vector<double> x = dsptest::SignalLcg(5, n);
    std::vector<double> rolled(x.size());
    for (int k = 0; k < n; ++k) rolled[static_cast<size_t>((k + 15) % n)] = x[static_cast<size_t>(k)];
    Load({x, rolled}, 300.0f);
    Place(1, 1, 2);
    Select(0);
    ASSERT_EQ(AutoShiftByCorrelation(*ws, ui, 1), 1);
    EXPECT_EQ(Row(1, n), Row(0, n));

    // The semblance measure finds the same lag.
    Load({early, late}, 500.0f);
    Place(1, 1, 2);
    Select(0);
    ASSERT_EQ(OnAutoShiftBySemblance(*ws, ui), 1);
    EXPECT_EQ(PeakIndex(1, n), 20);
    EXPECT_EQ(ws->componentToEdit, -1);
}

// S-wave records: per receiver a component-1 trace and a component-2 trace of opposite
// polarity, `delay` samples later.
class SWave : public Correlation {
protected:
    void LoadPairs(int receivers, int n, int delay)
    {
        std::vector<std::vector<double>> traces;
        for (int r = 0; r < receivers; ++r) {
            traces.push_back(Pulse(n, 60.0 + 10 * r));
            traces.push_back(Pulse(n, 60.0 + 10 * r + delay, -1.0));
        }
        Load(traces, 500.0f);
        for (int r = 0; r < receivers; ++r) {
            Place(2 * r, r + 1, 1);
            Place(2 * r + 1, r + 1, 2);
        }
    }
    void ExpectAligned(int receivers, int n)
    {
        for (int r = 0; r < receivers; ++r) {
            EXPECT_EQ(PeakIndex(2 * r + 1, n), 60 + 10 * r) << r;
            EXPECT_EQ(PeakIndex(2 * r, n), 60 + 10 * r) << r;
        }
        EXPECT_EQ(ws->componentToEdit, 2);
    }
};

TEST_F(SWave, CorrectionsRecoverTheLagOfTheReversedComponent)
{
    LoadPairs(3, 256, 4);
    ASSERT_EQ(OnSWaveCorrectionByCorrelation(*ws, ui, progress), 1);
    ExpectAligned(3, 256);
    EXPECT_EQ(ws->display.modified, 1);
    EXPECT_EQ(progress.Record().Text(), " Correlation : trace = 5 ");

    LoadPairs(3, 256, -6);
    ASSERT_EQ(OnSWaveCorrectionBySemblance(*ws, ui, progress), 1);
    ExpectAligned(3, 256);
    EXPECT_EQ(progress.Record().Text(), " Semblance calculation : trace = 5 ");
}

TEST_F(SWave, AShiftThatWouldLengthenATraceBeyondMaxSampleIsRefusedWithNothingCut)
{
    // Traces as long as MAX_SAMPLE; the component to shift is early, so its trace would grow.
    Build(8, 300);
    ws->settings.changeDataLength = 1;
    // The record on show and the undo depth are as before (the undo levels beyond the depth
    // cannot be reached and are not compared).
    auto record = [&] {
        const auto e = ws->store.current.rows.Elements();
        return std::vector<float>(e.begin(), e.end());
    };
    auto refused = [&](const std::function<int()>& command, int grown) {
        const auto before = record();
        ui.ExpectMessage(RecordLongerThanMaxSampleText(-1, grown, 300));
        EXPECT_EQ(command(), 0);
        EXPECT_EQ(record(), before);
        EXPECT_EQ(Header(1).samples, 300);
        EXPECT_EQ(ws->store.undoDepth, 0);
        EXPECT_EQ(ws->display.modified, 0);
        EXPECT_TRUE(ui.VerifyAndClear());
    };
    Load({Pulse(300, 20.0), Pulse(300, 17.0)}, 500.0f);
    Place(1, 1, 2);
    Select(0);
    refused([&] { return OnAutoShiftByCorrelation(*ws, ui); }, 303);
    refused([&] { return OnAutoShiftBySemblance(*ws, ui); }, 303);
    LoadPairs(1, 300, -6);
    refused([&] { return OnSWaveCorrectionByCorrelation(*ws, ui, progress); }, 306);
    refused([&] { return OnSWaveCorrectionBySemblance(*ws, ui, progress); }, 306);
    // A shift that shortens the trace still runs.
    LoadPairs(1, 300, 4);
    ASSERT_EQ(OnSWaveCorrectionBySemblance(*ws, ui, progress), 1);
    EXPECT_EQ(Header(1).samples, 296);
}

TEST_F(SWave, LongRecordsUseTheRadixTwoTransform)
{
    Build(8, 8200);
    LoadPairs(1, 6000, 5);
    ASSERT_EQ(OnSWaveCorrectionByCorrelation(*ws, ui, progress), 1);
    ExpectAligned(1, 6000);
    LoadPairs(1, 6000, -3);
    ASSERT_EQ(OnSWaveCorrectionBySemblance(*ws, ui, progress), 1);
    ExpectAligned(1, 6000);
}

TEST_F(Correlation, ShiftsRefuseAnIntervalThatIsNotAboveZero)
{
    LoadLcg(1, 2, 64, 500.0f);
    ws->store.Params().sampleInterval = 0.0f;
    Select(0);
    const auto before = Snapshot();
    ui.ExpectMessage("The sampling time of this record is not valid.");
    EXPECT_EQ(AutoShiftByCorrelation(*ws, ui, 0), 0);
    ui.ExpectMessage("The sampling time of this record is not valid.");
    EXPECT_EQ(OnSWaveCorrectionBySemblance(*ws, ui, progress), 0);
    EXPECT_EQ(Snapshot(), before);
}

// ---------------------------------------------------------------------------------------------
// Refraction convolutions

TEST_F(Correlation, RefractionConvolutionPairsComponentsAtOneReceiver)
{
    const int n = 100;
    const auto a = dsptest::SignalLcg(21, n), b = dsptest::SignalLcg(22, n), c = dsptest::SignalLcg(23, n);
    Load({a, b, c}, 500.0f);
    Place(0, 1, 1);
    Place(1, 1, 2);
    Place(2, 2, 2);  // no component-1 partner
    Header(0).sourceHundredths = 700;
    ASSERT_EQ(OnRefractionConvolution(*ws, ui, progress, 0), 1);
    EXPECT_EQ(ws->store.TraceCount(), 1);
    EXPECT_EQ(Header(0).sourceHundredths, 700);
    // (1/N) x the circular convolution at N = 128.
    std::vector<double> pa(a), pb(b), expect(128);
    pa.resize(128);
    pb.resize(128);
    CCorrelationDlg::CircularConvolution(pa.data(), pb.data(), expect.data(), 128);
    const std::vector<float> got = Row(0, n);
    for (int k = 0; k < n; ++k) EXPECT_NEAR(got[static_cast<size_t>(k)], expect[static_cast<size_t>(k)] / 128, 1e-6) << k;

    // Reversed: the second trace runs backwards into the end of the 128 points.
    Load({a, b}, 500.0f);
    Place(1, 1, 2);
    ASSERT_EQ(OnRefractionConvolution(*ws, ui, progress, 1), 1);
    std::vector<double> rb(128, 0.0);
    for (int k = 0; k < n; ++k) rb[static_cast<size_t>(127 - k)] = b[static_cast<size_t>(k)];
    CCorrelationDlg::CircularConvolution(pa.data(), rb.data(), expect.data(), 128);
    const std::vector<float> rev = Row(0, n);
    for (int k = 0; k < n; ++k) EXPECT_NEAR(rev[static_cast<size_t>(k)], expect[static_cast<size_t>(k)] / 128, 1e-6) << k;
}

TEST_F(Correlation, RefractionConvolutionRefusesMorePairsThanTraces)
{
    Build(5, 512);
    LoadLcg(1, 5, 64, 500.0f);
    for (int i = 0; i < 5; ++i) Place(i, 1, i < 3 ? 1 : 2);  // 3 x 2 pairs
    const auto before = Snapshot();
    ui.ExpectMessage("The number of traces was too large ! \n Maximum trace number is 5\n"
                     " Change maximum traces by 'Option', 'Dimension size' !");
    EXPECT_EQ(OnRefractionConvolution(*ws, ui, progress, 0), 0);
    EXPECT_EQ(Snapshot(), before);
}

// ---------------------------------------------------------------------------------------------
// Select all, sort, reduce DC, menu rows

TEST_F(Correlation, SelectAllTracesOfTheEditedComponent)
{
    LoadLcg(1, 4, 16, 500.0f);
    Place(0, 1, 1);
    Place(1, 1, 2);
    Place(2, 2, 1);
    Place(3, 2, 2);
    Select(0);
    ws->componentToEdit = 2;
    EXPECT_EQ(OnSelectAllTraces(*ws), 1);
    const auto& flags = ws->store.Params().selectionFlags;
    EXPECT_EQ(std::vector<int32_t>(flags.begin(), flags.begin() + 4), (std::vector<int32_t>{1, 1, 0, 1}));
    EXPECT_EQ(ws->display.editMode, 5);
    EXPECT_EQ(ws->display.selectionMode, 1);
}

TEST_F(Correlation, SortMovesHeadersRowsAndPeaksTogetherAndReduceDcRemovesTheMean)
{
    Load({{1.0, 1.0}, {2.0, 4.0}, {3.0, 9.0}, {4.0, 16.0}}, 500.0f);
    Place(0, 3, 1);
    Place(1, 1, 1);
    Place(2, 3, 2);
    Place(3, 2, 1);
    ws->store.ComputeTraceMaxima();
    EXPECT_EQ(OnSortByDistance(*ws), 1);
    // Receivers 1, 2, 3, 3: the two traces at 3 m keep their order.
    EXPECT_EQ(Row(0, 2), (std::vector<float>{2.0f, 4.0f}));
    EXPECT_EQ(Row(1, 2), (std::vector<float>{4.0f, 16.0f}));
    EXPECT_EQ(Row(2, 2), (std::vector<float>{1.0f, 1.0f}));
    EXPECT_EQ(Row(3, 2), (std::vector<float>{3.0f, 9.0f}));
    EXPECT_EQ(Header(3).component, 2);
    EXPECT_EQ(ws->store.Params().traceMaxima[1], 16.0f);

    ASSERT_EQ(OnReduceDc(*ws), 1);
    EXPECT_EQ(Row(3, 2), (std::vector<float>{-3.0f, 3.0f}));
    EXPECT_EQ(ws->store.Params().traceMaxima[3], 3.0f);
    EXPECT_EQ(ws->store.undoDepth, 1);
}

TEST_F(Correlation, MenuRowsInBothLanguagesAndTheSurfaceWaveItems)
{
    const CommandTable table = BuildCommandTable();
    for (int id : {cmd::kCorrelationTimeDomain, cmd::kCrossCorrelation, cmd::kConvolution, cmd::kVerticalStack,
                   cmd::kConnect, cmd::kSWaveSemblance, cmd::kSelectAllTraces, cmd::kSortByDistance}) {
        const CommandRow* row = table.Find(id);
        ASSERT_NE(row, nullptr) << id;
        EXPECT_FALSE(row->english.empty());
        EXPECT_FALSE(row->japanese.empty());
    }
    EXPECT_EQ(table.Find(cmd::kConvolution)->english, "Convolution ");
    EXPECT_EQ(table.Find(cmd::kCoherence)->menus, static_cast<unsigned>(kIn128));

    LoadLcg(1, 2, 16, 500.0f);
    Select(0);
    const RecentFileList recent;
    EXPECT_TRUE(table.IsEnabled(cmd::kCoherence, *ws, recent));
    EXPECT_TRUE(table.IsEnabled(cmd::kCrossCorrelation2048, *ws, recent));
    EXPECT_TRUE(table.IsEnabled(cmd::kCrossCorrelation, *ws, recent));
}

}  // namespace
}  // namespace velk
