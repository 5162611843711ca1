// The trace-editing commands on a workspace: mutes and their refusals, the Fourier time shift
// and derivative, decimation and record length, delete, insert, reverse, kill, pre-trigger,
// the shift by component, duration, the point read-out, single frequency, decomposition and
// the strong-motion spectrum.

#include "app/dsp/trace_edit_commands.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <numbers>

#include "base/settings_io.h"
#include "app/command_table.h"
#include "app/operations.h"
#include "platform/recent_files.h"
#include "app/store_commands.h"
#include "app/dsp/trace_edit_dialogs.h"
#include "app/dsp/trace_edit_menu.h"
#include "app/view/view_commands.h"
#include "dsp/trace_edit.h"
#include "platform/profile.h"
#include "app/dsp/signal_fixture.h"
#include "platform/shared_block.h"
#include "survey/olvenar_link.h"
#include "tools/fake_launcher.h"

namespace velk {
namespace {

using signaltest::SignalTest;

class TraceEdit : public SignalTest {
protected:
    int RunOp(int (CWaveOperations::*operation)())
    {
        CWaveOperations ops(*ws, ui, progress);
        return ops.Run([operation](CWaveOperations& o) { return (o.*operation)(); });
    }
    void Select(std::initializer_list<int> traces)
    {
        for (int t : traces) ws->store.Params().selectionFlags[static_cast<size_t>(t)] = 1;
    }
    CTraceHeader& Header(int i) { return ws->store.current.headers[static_cast<size_t>(i)]; }
};

std::vector<double> Cosine(int n, double cycles, double phase = 0.0)
{
    std::vector<double> x(static_cast<size_t>(n));
    for (int j = 0; j < n; ++j) x[static_cast<size_t>(j)] = std::cos(2.0 * std::numbers::pi * cycles * j / n + phase);
    return x;
}

// ---------------------------------------------------------------------------------------------
// Mutes

TEST_F(TraceEdit, ApparentVelocityMuteRefusesAZeroMaximumAndMutesOtherwise)
{
    LoadLcg(8100, 3, 240, 500.0f);
    const auto before = Snapshot();
    ui.AnswerDialog("CApparentVelocityMuteDlg", {{"Min. velocity", "0.4"}, {"Max. velocity", "0"}});
    ui.ExpectMessage("Max. velocity must be larger than 0 !");
    EXPECT_EQ(OnApparentVelocityMute(*ws, ui), 0);
    EXPECT_EQ(Snapshot(), before);

    ui.AnswerDialogWith("CApparentVelocityMuteDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Min. velocity")->Text(), "0.4");  // remembered
        return r.SetFromText("Max. velocity", "1.5").empty();
    });
    ASSERT_EQ(OnApparentVelocityMute(*ws, ui), 1);
    EXPECT_EQ(ws->store.undoDepth, 1);
    std::vector<float> expected(ws->store.level1.rows.Row(2).begin(), ws->store.level1.rows.Row(2).begin() + 240);
    CApparentVelocityMuteDlg::MuteTrace(expected, Header(2), ApparentVelocityMute{0.4f, 1.5f, 0.0f});
    EXPECT_EQ(Row(2, 240), expected);
    EXPECT_EQ(Row(2, 240)[0], 0.0f);  // 3 m at 1.5 km/s: 2 ms = sample 4 at 0.5 ms
}

TEST_F(TraceEdit, MouseMuteEntersEditModeNine)
{
    ws->display.mute.state = 3;
    EXPECT_EQ(OnMuteByMouse(*ws), 1);
    EXPECT_EQ(ws->display.editMode, 9);
    EXPECT_EQ(ws->display.mute.state, 0);
    LoadLcg(1, 2, 100, 1000.0f);
    ui.ExpectMessage("The velocity of a mute line is 0 !");
    EXPECT_EQ(TaperAllTraces(*ws, ui, 0.0f, 10.0f, 0.0f, 1.0f), 0);
}

// ---------------------------------------------------------------------------------------------
// Fourier time shift and derivative

TEST_F(TraceEdit, FourierTimeShiftOfFftDataIsARoll)
{
    constexpr int n = 1024;
    constexpr int k = 37;
    LoadLcg(8400, 2, n, 500.0f);
    const std::vector<float> x0 = Row(0, n);
    ASSERT_EQ(RunOp(&CWaveOperations::ForwardFft), 1);
    ui.AnswerDialog("CShiftAllTracesDlg", {{"Time shift", std::to_string(k * 0.5)}});
    ASSERT_EQ(OnFourierTimeShift(*ws, ui), 1);
    EXPECT_EQ(ws->store.undoDepth, 1);  // the transform's; the shift takes none
    EXPECT_GT(ws->store.current.imagMaximum, 0.0f);
    ASSERT_EQ(RunOp(&CWaveOperations::InverseFft), 1);
    const std::vector<float> y = Row(0, n);
    float peak = 0.0f;
    for (float v : x0) peak = std::max(peak, std::fabs(v));
    for (int j = 0; j < n; ++j) {
        EXPECT_NEAR(y[static_cast<size_t>(j)], x0[static_cast<size_t>((j + k) % n)], 1e-5 * peak) << j;
    }
}

TEST_F(TraceEdit, FourierDifferentialOfABinCentredSinusoid)
{
    constexpr int n = 512;
    constexpr int bin = 12;
    Load({Cosine(n, bin, 0.4)}, 1000.0f);  // dt 1 ms: f = bin x 1000 / n Hz
    ASSERT_EQ(RunOp(&CWaveOperations::ForwardFft), 1);
    ASSERT_EQ(OnFourierDifferential(*ws, ui), 1);
    ASSERT_EQ(RunOp(&CWaveOperations::InverseFft), 1);
    const double omega = 2.0 * std::numbers::pi * bin * 1000.0 / n;
    const std::vector<float> y = Row(0, n);
    for (int j = 0; j < n; ++j) {
        const double expected = -omega * std::sin(2.0 * std::numbers::pi * bin * j / n + 0.4);
        EXPECT_NEAR(y[static_cast<size_t>(j)], expected, 1e-4 * omega) << j;
    }
}

TEST_F(TraceEdit, FourierCommandsRefuseTimeData)
{
    LoadLcg(3, 2, 64, 1000.0f);
    const auto before = Snapshot();
    ui.ExpectMessage("周波数領域の波形ではありません");
    EXPECT_EQ(OnFourierTimeShift(*ws, ui), 0);
    ws->startup.language = 1;  // the same text in Japanese mode
    ui.ExpectMessage("周波数領域の波形ではありません");
    EXPECT_EQ(OnFourierDifferential(*ws, ui), 0);
    EXPECT_EQ(Snapshot(), before);
}

// ---------------------------------------------------------------------------------------------
// Decimation and record length

TEST_F(TraceEdit, DecimationKeepsEveryKthSampleAndMarksTheData)
{
    for (int k : {2, 4, 8, 5}) {
        LoadLcg(8500, 2, 1025, 250.0f);
        const std::vector<float> x = Row(1, 1025);
        ws->display.modified = 0;
        ASSERT_EQ(OnDecimate(*ws, k), 1);
        const int kept = 1025 / k;
        EXPECT_EQ(ws->display.modified, 1) << k;
        EXPECT_EQ(ws->store.Params().samplesPerTrace, kept);
        EXPECT_EQ(Header(1).samples, kept);
        EXPECT_FLOAT_EQ(Header(1).intervalUs, 250.0f * k);
        EXPECT_FLOAT_EQ(ws->store.Params().sampleInterval, 0.25f * k);
        for (int i = 0; i < kept; ++i) EXPECT_EQ(Row(1, kept)[static_cast<size_t>(i)], x[static_cast<size_t>(k * i)]);
    }
    EXPECT_EQ(1025 / 2, 512);
}

TEST_F(TraceEdit, ArbitraryRecordLengthBoundsZeroedTailAndOneUndoLevel)
{
    LoadLcg(8600, 2, 300, 1000.0f);
    const std::vector<float> x = Row(0, 300);
    const auto before = Snapshot();
    ui.AnswerDialog("CDataLengthDlg", {{"Data length", "5000"}});  // above MAX_SAMPLE
    ui.ExpectAnyMessage();
    EXPECT_EQ(OnRecordLengthArbitrary(*ws, ui), 0);
    EXPECT_EQ(Snapshot(), before);

    ui.AnswerDialog("CDataLengthDlg", {{"Data length", "100"}});
    ASSERT_EQ(OnRecordLengthArbitrary(*ws, ui), 1);
    ui.AnswerDialogWith("CDataLengthDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Data length")->Text(), "100");
        return r.SetFromText("Data length", "400").empty();
    });
    ASSERT_EQ(OnRecordLengthArbitrary(*ws, ui), 1);
    const std::vector<float> y = Row(0, 400);
    for (int j = 0; j < 400; ++j) EXPECT_EQ(y[static_cast<size_t>(j)], j < 100 ? x[static_cast<size_t>(j)] : 0.0f) << j;
    ASSERT_TRUE(RestoreUndo(*ws));  // one level per change: back to 100, then to 300 whole
    ASSERT_TRUE(RestoreUndo(*ws));
    EXPECT_EQ(Row(0, 300), x);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 300);
}

// ---------------------------------------------------------------------------------------------
// Delete, insert, reverse, kill

TEST_F(TraceEdit, DeleteDropsSelectedTracesAndDeleteAllEmptiesTheStore)
{
    LoadLcg(8700, 5, 50, 1000.0f);
    const std::vector<float> third = Row(3, 50);
    Select({1, 2});
    ASSERT_EQ(RunOp(&CWaveOperations::DeleteSelectedTraces), 1);
    EXPECT_EQ(ws->store.TraceCount(), 3);
    EXPECT_EQ(Row(1, 50), third);
    EXPECT_EQ(Header(1).traceNumber, 4);  // its old position + 1
    EXPECT_EQ(Header(1).receiverHundredths, 400);
    EXPECT_EQ(ws->display.modified, 1);
    EXPECT_EQ(ws->display.firstReceiver, 1.0f);
    EXPECT_EQ(ws->display.lastReceiver, 5.0f);

    ws->display.modified = 0;
    Select({0, 1, 2});
    ASSERT_EQ(RunOp(&CWaveOperations::DeleteSelectedTraces), 1);
    EXPECT_EQ(ws->store.TraceCount(), 0);
    EXPECT_EQ(ws->store.Params().tracesShown, 0);
    EXPECT_EQ(ws->display.modified, 1);
    ui.ExpectMessage("No trace is selected !");  // nothing selected: refused
    LoadLcg(1, 2, 10, 1000.0f);
    EXPECT_EQ(RunOp(&CWaveOperations::DeleteSelectedTraces), 0);
}

TEST_F(TraceEdit, InsertAppendsAZeroTraceInReceiverOrderAlsoIntoAnEmptyStore)
{
    LoadLcg(8800, 3, 40, 500.0f);
    Header(2).component = 2;
    ui.AnswerDialog("CDistanceDlg", {{"Distance", "250"}});
    ASSERT_EQ(OnInsertTrace(*ws, ui), 1);
    EXPECT_EQ(ws->store.TraceCount(), 4);
    EXPECT_EQ(Header(2).receiverHundredths, 250);
    EXPECT_EQ(Header(2).component, 2);  // the last trace's words
    EXPECT_EQ(Header(2).samples, 40);
    EXPECT_EQ(Row(2, 40), std::vector<float>(40, 0.0f));
    EXPECT_EQ(ws->store.Params().layerCodes[2], 3);
    EXPECT_EQ(ws->traceEdit.insertDistance, 250);

    Build(64, 4100);
    ws->store.Params().sampleInterval = 0.25f;
    ui.AnswerDialog("CDistanceDlg", {{"Distance", "-120"}});
    ASSERT_EQ(OnInsertTrace(*ws, ui), 1);
    EXPECT_EQ(ws->store.TraceCount(), 1);
    EXPECT_EQ(Header(0).intervalUs, 250.0f);
    EXPECT_EQ(Header(0).samples, 1024);
    EXPECT_EQ(Header(0).receiverHundredths, -120);
    EXPECT_EQ(ws->store.Params().traceMaxima[0], 0.0f);

    Build(2, 4100);  // a full store refuses
    LoadLcg(1, 2, 10, 1000.0f);
    ui.AnswerDialog("CDistanceDlg");
    ui.ExpectAnyMessage();
    EXPECT_EQ(OnInsertTrace(*ws, ui), 0);
    EXPECT_EQ(ws->store.undoDepth, 0);
}

TEST_F(TraceEdit, ReverseSpreadExchangesSamplesEndForEnd)
{
    LoadLcg(8900, 24, 20, 1000.0f);
    Header(0).samples = 15;
    const std::vector<float> first = Row(0, 15);
    const std::vector<float> last = Row(23, 20);
    ASSERT_EQ(OnReverseSpread(*ws), 1);
    EXPECT_EQ(Row(0, 20), last);
    EXPECT_EQ(Row(23, 15), first);
    EXPECT_EQ(Header(23).samples, 15);
    EXPECT_EQ(Header(0).receiverHundredths, 100);  // other words stay
    Build(64, 4100);
    LoadLcg(1, 23, 10, 1000.0f);
    CommandTable table = BuildCommandTable();
    RecentFileList recent;
    EXPECT_FALSE(table.IsEnabled(cmd::kReverseSpread, *ws, recent));
}

TEST_F(TraceEdit, ReverseInGroupWritesEachFileBack)
{
    CFileGroup& g = ws->fileGroup;
    g.AllocateTable(2, 24);
    g.sourceCount = 2;
    g.receiverCount = 24;
    for (int r = 0; r < 24; ++r) {
        CTraceHeader h;
        h.Set(r + 1, 100 * (r + 1), 0, 1, 1, 0.0f, 1000.0f, 4);
        const std::vector<float> samples(4, static_cast<float>(r));
        g.table[0][static_cast<size_t>(r)].SetTrace(samples, h);
        if (r < 5) g.table[1][static_cast<size_t>(r)].SetTrace(samples, h);  // too short a spread: left alone
    }
    EXPECT_EQ(ReverseTraceOrderInGroup(*ws, g), 1);
    EXPECT_EQ(g.table[0][0].samples, std::vector<float>(4, 23.0f));
    EXPECT_EQ(g.table[0][23].samples, std::vector<float>(4, 0.0f));
    EXPECT_EQ(g.table[0][0].header.receiverHundredths, 100);
    EXPECT_EQ(g.table[1][0].samples, std::vector<float>(4, 0.0f));
}

TEST_F(TraceEdit, KillZeroesSelectedTracesAndOnYesTheGroupsTraces)
{
    LoadLcg(9000, 4, 30, 1000.0f);
    CFileGroup& g = ws->fileGroup;
    g.active = 1;
    g.entryCount = 2;
    g.table.resize(2);
    for (auto& file : g.table) {
        for (int r : {200, 300}) {
            CTraceEntry e;
            e.use = 1;
            e.header.Set(1, r, 0, 1, 1, 0.0f, 1000.0f, 3);
            e.samples = {1.0f, 2.0f, 3.0f};
            file.push_back(e);
        }
    }
    Select({2});
    ui.ExpectMessage("Kill trace for all waveform data ?", MsgButtons::YesNo, MsgResult::Yes);
    ASSERT_EQ(OnKillTrace(*ws, ui), 1);
    EXPECT_EQ(Row(2, 30), std::vector<float>(30, 0.0f));
    EXPECT_NE(Row(1, 30), std::vector<float>(30, 0.0f));
    EXPECT_EQ(ws->display.modified, 1);
    for (const auto& file : g.table) {
        EXPECT_EQ(file[0].samples, (std::vector<float>{1.0f, 2.0f, 3.0f}));
        EXPECT_EQ(file[1].samples, std::vector<float>(3, 0.0f));  // receiver 300 = trace 2
    }
}

// ---------------------------------------------------------------------------------------------
// Pre-trigger, shift by component

TEST_F(TraceEdit, PretriggerSetsTheOffsetAndEveryDelay)
{
    LoadLcg(1, 3, 10, 1000.0f);
    ws->display.displayTimeOffset = -4.0f;
    ws->settings.triggerPlot = -1;
    ui.AnswerDialogWith("CPretriggerDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Pre-trigger")->Text(), "4");
        return r.SetFromText("Pre-trigger", "12.5").empty();
    });
    ASSERT_EQ(OnEditPretrigger(*ws, ui), 1);
    EXPECT_EQ(ws->display.displayTimeOffset, -12.5f);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Header(i).delayUs, -12500.0f);
    EXPECT_EQ(ws->settings.triggerPlot, 1);
    EXPECT_EQ(ws->store.undoDepth, 0);
}

TEST_F(TraceEdit, ShiftByComponentMovesOnlyComponentOneEarlier)
{
    LoadLcg(9100, 4, 100, 1000.0f);
    Header(1).component = 2;
    Header(3).component = 3;
    const std::vector<float> c1 = Row(0, 100);
    const std::vector<float> c2 = Row(1, 100);
    ui.AnswerDialog("CComponentShiftDlg", {{CComponentShiftDlg::FieldName(1), "5"}});
    ASSERT_EQ(OnTimeShiftByComponent(*ws, ui), 1);
    const std::vector<float> y = Row(0, 100);
    for (int j = 0; j < 100; ++j) EXPECT_EQ(y[static_cast<size_t>(j)], j < 95 ? c1[static_cast<size_t>(j + 5)] : 0.0f);
    EXPECT_EQ(Row(1, 100), c2);
    EXPECT_EQ(ws->componentToEdit, -1);
    EXPECT_EQ(ws->display.modified, 1);
}

// ---------------------------------------------------------------------------------------------
// Duration, the point read-out

TEST_F(TraceEdit, DurationFileHasOneLinePerTrace)
{
    std::vector<double> a(50, 0.0), b(50, 0.0);
    a[10] = 1.0;
    a[30] = -0.8;
    b[5] = 2.0;
    Load({a, b}, 500.0f);
    Header(1).sourceHundredths = -150;
    EXPECT_EQ(WriteDuration(*ws, ui), 0);
    EXPECT_EQ(testing::ReadFileText(folder.File("Duration.dat")),
              "0 1.000000 0.000000 0.010000 \n1 2.000000 -1.500000 0.000000 \n");
}

TEST_F(TraceEdit, PointToTraceTimeInBothOrientations)
{
    LoadLcg(9200, 3, 100, 2000.0f);  // receivers 1, 2, 3 m; dt 2 ms
    TracePointGeometry g;
    g.timeScale = 2.0f;  // units per ms
    g.distanceScale = 100.0f;
    g.timeOrigin = 300;
    g.distanceOrigin = 200;
    g.firstReceiver = 1.0f;
    float time = 0.0f, value = 0.0f;
    // Time horizontal: x = 300 + 2 x 41 ms; y = -(200 + 100 x 1 m) is trace 1.
    EXPECT_EQ(PointToTraceTime(ws->store, g, 382, -300, time, value), 1);
    EXPECT_FLOAT_EQ(time, 41.0f);
    EXPECT_EQ(value, Row(1, 100)[20]);
    EXPECT_EQ(PointToTraceTime(ws->store, g, 382, -350, time, value), 2);  // a tie: the later trace
    g.timeVertical = true;  // the roles of x and y exchange
    EXPECT_EQ(PointToTraceTime(ws->store, g, 400, -382, time, value), 2);
    EXPECT_FLOAT_EQ(time, 41.0f);
    EXPECT_EQ(PointToTraceTime(ws->store, g, 400, -2000, time, value), 2);
    EXPECT_EQ(value, Row(2, 100)[99]);  // clamped to the last sample
    Build(64, 4100);
    EXPECT_EQ(PointToTraceTime(ws->store, g, 0, 0, time, value), -1);
}

// ---------------------------------------------------------------------------------------------
// Single frequency, decomposition, strong-motion spectrum

TEST_F(TraceEdit, ExtractSingleFrequencyLeavesAPureSinusoid)
{
    constexpr int n = 256;
    std::vector<double> x = Cosine(n, 20, 0.3);
    const std::vector<double> noise = dsptest::SignalLcg(9300, n);
    for (int j = 0; j < n; ++j) x[static_cast<size_t>(j)] += 0.5 * Cosine(n, 7)[static_cast<size_t>(j)] + noise[static_cast<size_t>(j)];
    Load({x}, 1000.0f);  // bin 20 = 78.125 Hz
    ui.AnswerDialog("CFrequencyDlg", {{"Frequency", "80"}});
    ASSERT_EQ(OnExtractSingleFrequency(*ws, ui), 1);
    EXPECT_EQ(ws->wavelet.frequency, 80.0f);  // the wavelet dialogs' frequency
    const std::vector<float> y = Row(0, n);
    // A sinusoid at bin 20: y[j] = A cos(2 pi 20 j / n + p), so y[j+1] + y[j-1] = 2 cos(2 pi 20 / n) y[j].
    const double c = 2.0 * std::cos(2.0 * std::numbers::pi * 20 / n);
    for (int j = 1; j + 1 < n; ++j) {
        EXPECT_NEAR(y[static_cast<size_t>(j - 1)] + y[static_cast<size_t>(j + 1)], c * y[static_cast<size_t>(j)], 1e-4);
    }
    EXPECT_NEAR(ws->store.Params().recordMaximum, 1.0, 0.15);
}

TEST_F(TraceEdit, FourierDecompositionGivesCosineTracesByFrequency)
{
    Build(40, 4100);
    std::vector<double> x = dsptest::SignalLcg(9400, 200);
    Load({x, Cosine(200, 3)}, 500.0f);  // N = 256: 128 components, 40 fit
    Select({0});
    ASSERT_EQ(OnFourierDecomposition(*ws, ui), 1);
    EXPECT_EQ(ws->store.TraceCount(), 40);
    EXPECT_EQ(ws->store.undoDepth, 1);
    const double df = 1000.0 / (256 * 0.5);
    for (int j = 0; j < 40; ++j) {
        EXPECT_EQ(Header(j).receiverHundredths, static_cast<int>(std::lround(j * df * 100))) << j;
        EXPECT_EQ(Header(j).gain, 10);
        EXPECT_EQ(Header(j).samples, 200);
    }
    // Component 5 is a cosine at bin 5: y[t+1] + y[t-1] = 2 cos(2 pi 5 / 256) y[t].
    const std::vector<float> y = Row(5, 200);
    for (int t = 1; t + 1 < 200; ++t) {
        EXPECT_NEAR(y[static_cast<size_t>(t - 1)] + y[static_cast<size_t>(t + 1)],
                    2.0 * std::cos(2.0 * std::numbers::pi * 5 / 256) * y[static_cast<size_t>(t)], 1e-5);
    }
    EXPECT_EQ(ws->store.Params().AnyFlagSet(), 0);
    ui.ExpectMessage("Error ! No trace is selected !");
    EXPECT_EQ(OnFourierDecomposition(*ws, ui), 0);
    EXPECT_EQ(ws->store.undoDepth, 1);
}

TEST_F(TraceEdit, StrongMotionSpectrumHandsAtMost8192Points)
{
    Build(8, 20000);
    SetSharedBlockPrefix("velk-test-" + std::to_string(::getpid()) + "-");
    auto* launcher = new FakeLauncher;
    ws->launcher.reset(launcher);
    LoadLcg(9500, 2, 10000, 10000.0f);  // 10 ms: N = 16384
    Select({1});
    EXPECT_EQ(StrongMotionSpectrum(*ws, ui), 0);
    const COlvenarLink& link = *ws->olvenarLink;
    ASSERT_EQ(launcher->starts.size(), 1u);
    EXPECT_EQ(launcher->starts[0].args, (std::vector<std::string>{"-Velkarine", "-StrongGroundMotion", "-8192"}));
    auto word = [&](size_t at) {
        uint32_t v = 0;
        for (size_t i = 0; i < 4; ++i) v |= static_cast<uint32_t>(link.Block()[at + i]) << (8 * i);
        return v;
    };
    EXPECT_EQ(word(8356), 8192u);
    EXPECT_STREQ(reinterpret_cast<const char*>(link.Block() + 73896), "Frequency(Hz)");
    EXPECT_STREQ(reinterpret_cast<const char*>(link.Block() + 73976), "Kine*sec");
    EXPECT_FLOAT_EQ(std::bit_cast<float>(word(8364)), 1.0f / (16384 * 0.01f));
    EXPECT_EQ(StrongMotionSpectrum3C(*ws, ui), 0);
    EXPECT_EQ(word(8356), 2u);
    EXPECT_EQ(word(8364), 8192u);
    EXPECT_EQ(launcher->starts.back().args[1], "-StrongGroundMotionThreeComponent");
    ws->Shutdown(FrameRect{});
    SetSharedBlockPrefix("");
}

// ---------------------------------------------------------------------------------------------
// Settings commands and rules

TEST_F(TraceEdit, SpacialFilterCoordinateAndTheRules)
{
    ui.ExpectMessage("No service !");
    EXPECT_EQ(OnSpacialFilter(*ws, ui), 0);
    ui.AnswerDialogWith("CInputIntegerDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Title(), "XY Coordinate");
        return r.SetFromText("Value", "7").empty();
    });
    EXPECT_EQ(OnSetupCoordinate(*ws, ui), 0);
    EXPECT_EQ(ws->settings.coordinateMode, 7);
    int32_t stored = 0;
    EXPECT_TRUE(ReadSettingInt(*profile, "iCoordinate", stored));
    EXPECT_EQ(stored, 7);

    CommandTable table = BuildCommandTable();
    RecentFileList recent;
    LoadLcg(1, 1, 10, 1000.0f);
    EXPECT_FALSE(table.IsEnabled(cmd::kAngleRange, *ws, recent));
    EXPECT_FALSE(CanSetReceiverInterval(*ws));
    ws->survey.appendFiles = 1;
    EXPECT_TRUE(table.IsEnabled(cmd::kAngleRange, *ws, recent));
    ws->startup.acquisitionMode = 1;
    ws->CreateAcquisitionManager().surveyType = 2;
    EXPECT_TRUE(CanSetReceiverInterval(*ws));
    EXPECT_FALSE(table.IsEnabled(cmd::kFourierTimeShift, *ws, recent));
}

}  // namespace
}  // namespace velk
