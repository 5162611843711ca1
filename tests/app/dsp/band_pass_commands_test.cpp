#include "app/dsp/band_pass_commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "app/dsp/fourier_commands.h"
#include "app/operations.h"
#include "app/store_commands.h"
#include "dsp/fourier.h"
#include "app/dsp/signal_fixture.h"

namespace velk {
namespace {

using signaltest::SignalTest;

FieldValues Corners(const char* low, const char* high, const char* lowSlope = "20", const char* highSlope = "20")
{
    return {{"Low-cut freq.", low}, {"Low-cut slope", lowSlope}, {"High-cut freq.", high}, {"High-cut slope", highSlope}};
}

// Amplitude of bin b in the first n values of a row: 2/n |sum y e^(-2 pi i b j / n)|.
double BinAmplitude(const std::vector<float>& y, int b)
{
    std::complex<double> sum = 0.0;
    const double n = static_cast<double>(y.size());
    for (size_t j = 0; j < y.size(); ++j) {
        sum += static_cast<double>(y[j]) * std::polar(1.0, -2.0 * std::numbers::pi * b * static_cast<double>(j) / n);
    }
    return 2.0 * std::abs(sum) / n;
}

std::vector<double> Tone(int bin, int n, double amplitude)
{
    std::vector<double> x(static_cast<size_t>(n));
    for (int j = 0; j < n; ++j) x[static_cast<size_t>(j)] = amplitude * std::cos(2.0 * std::numbers::pi * bin * j / n + 0.3);
    return x;
}

class BandPass : public SignalTest {
protected:
    int Bpf(int taperMode = 0)
    {
        return ApplyBandPass(*ws, ui, progress, taperMode, 0, ws->settings.bpfLowCut, ws->settings.bpfHighCut);
    }
    int RunOp(int (CWaveOperations::*operation)())
    {
        CWaveOperations ops(*ws, ui, progress);
        return ops.Run([operation](CWaveOperations& o) { return (o.*operation)(); });
    }
    dsptest::Fixture fx{"commands.txt"};
};

// ---------------------------------------------------------------------------------------------
// BPF

TEST_F(BandPass, MatchesNumpyOnARandomRecordAndRemembersTheCorners)
{
    LoadLcg(7300, 48, 1000, 250.0f);
    ui.AnswerDialogWith("CBandPassDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Low-cut freq.")->Text(), "1");  // preset from BPFFL .. BPFSH
        EXPECT_EQ(r.Find("High-cut freq.")->Text(), "5000");
        EXPECT_EQ(r.Find("Low-cut slope")->Text(), "20");
        for (const auto& [field, value] : Corners("30", "400", "24", "36")) {
            if (!r.SetFromText(field, value).empty()) return false;
        }
        return true;
    });
    ASSERT_EQ(Bpf(), 1);
    const double peak = fx.Scalar("peak_bpf");
    for (int t : {0, 1, 46, 47}) EXPECT_LE(FixtureError(fx, "bpf", t), 2e-6 * peak) << t;
    EXPECT_EQ(ws->settings.bpfLowCut, 30.0f);
    EXPECT_EQ(ws->settings.bpfHighCut, 400.0f);
    EXPECT_EQ(ws->settings.bpfLowSlope, 24.0f);
    EXPECT_EQ(ws->settings.bpfHighSlope, 36.0f);
    EXPECT_EQ(ws->store.undoDepth, 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 1000);
    EXPECT_TRUE(progress.Record().texts.empty());  // 1024 points: no progress
}

TEST_F(BandPass, BinCentredTonesKeepOrLoseExactlyWhatTheSlopesSay)
{
    // 1 ms, 1024 samples: df = 0.9765625 Hz. Low cut 62.5 Hz (bin 64) at 24 dB/oct; bin 16 lies
    // two octaves below it. Bin 100 lies in the pass band.
    Load({Tone(100, 1024, 1.0), Tone(16, 1024, 1.0)}, 1000.0f);
    ui.AnswerDialog("CBandPassDlg", Corners("62.5", "300", "24", "20"));
    ASSERT_EQ(Bpf(), 1);
    EXPECT_NEAR(BinAmplitude(Row(0, 1024), 100), 1.0, 1e-3);
    EXPECT_NEAR(20.0 * std::log10(BinAmplitude(Row(1, 1024), 16)), -48.0, 0.5);
}

TEST_F(BandPass, TheDefaultCornersAmplifyNoBin)
{
    LoadLcg(51, 2, 1024, 500.0f);
    const std::vector<float> before = Row(0, 1024);
    ui.AnswerDialog("CBandPassDlg");  // 1 .. 5000 Hz, 20 dB/oct
    ASSERT_EQ(Bpf(), 1);
    const std::vector<float> after = Row(0, 1024);
    for (int b = 0; b <= 512; b += 7) EXPECT_LE(BinAmplitude(after, b), BinAmplitude(before, b) * (1 + 1e-6)) << b;
}

TEST_F(BandPass, OverlappingCosineTapersAreRefusedAfterTheUndoPush)
{
    LoadLcg(53, 3, 500, 1000.0f);
    const std::vector<float> before = Row(2, 500);
    ui.AnswerDialog("CBandPassDlg", Corners("30", "40"));
    ui.ExpectMessage("Wrong filter parameters !");
    EXPECT_EQ(Bpf(1), 0);
    EXPECT_EQ(Row(2, 500), before);
    EXPECT_EQ(ws->store.undoDepth, 1);

    ui.AnswerDialog("CBandPassDlg", Corners("10", "100"));
    EXPECT_EQ(Bpf(1), 1);
    EXPECT_NE(Row(2, 500), before);
    const std::string diagnostic = testing::ReadFileText(folder.File("filter.txt"));
    EXPECT_EQ(diagnostic.substr(0, 9), "1.953125\n");  // df of 512 bins at 1 ms
}

TEST_F(BandPass, SelectedTraceOnlyFiltersTheSelectionAndKeepsTheTrueRecordMaximum)
{
    LoadLcg(55, 3, 200, 1000.0f);
    const float recordMax = ws->store.Params().recordMaximum;
    const std::vector<float> t0 = Row(0, 200), t1 = Row(1, 200);
    ws->display.selectedOnly = 1;
    ui.AnswerDialog("CBandPassDlg", Corners("50", "100"));
    ASSERT_EQ(Bpf(), 1);
    EXPECT_EQ(Row(0, 200), t0);
    EXPECT_EQ(Row(1, 200), t1);
    EXPECT_EQ(ws->store.Params().recordMaximum, recordMax);  // not 0

    ws->store.Params().selectionFlags[1] = 1;
    ws->store.displayFactor[1] = 5.0f;
    ws->store.displayFactor[0] = 5.0f;
    ui.AnswerDialog("CBandPassDlg", Corners("50", "100"));
    ASSERT_EQ(Bpf(), 1);
    EXPECT_EQ(Row(0, 200), t0);
    EXPECT_NE(Row(1, 200), t1);
    EXPECT_EQ(ws->store.displayFactor[1], 1.0f);
    EXPECT_EQ(ws->store.displayFactor[0], 5.0f);
    EXPECT_EQ(ws->store.Params().recordMaximum,
              std::max({ws->store.Params().traceMaxima[0], ws->store.Params().traceMaxima[1],
                        ws->store.Params().traceMaxima[2]}));
}

TEST_F(BandPass, TracesWithTheirOwnIntervalsGetTheirOwnCurves)
{
    // The same tone at bin 20 on two intervals: at 1 ms it lies at 19.5 Hz, below a 100 Hz
    // low cut; at 50 us at 390.6 Hz, in the pass band.
    Load({Tone(20, 1024, 1.0), Tone(20, 1024, 1.0)}, 1000.0f);
    ws->store.current.headers[1].intervalUs = 50.0f;  // bin 20 at 390.625 Hz: passes
    ui.AnswerDialog("CBandPassDlg", Corners("100", "5000", "48", "20"));
    ASSERT_EQ(Bpf(), 1);
    EXPECT_LT(BinAmplitude(Row(0, 1024), 20), 1e-3);
    EXPECT_NEAR(BinAmplitude(Row(1, 1024), 20), 1.0, 1e-3);
}

TEST_F(BandPass, LongTransformsReportEveryTraceAndCancelChangesNothing)
{
    LoadLcg(57, 3, 3000, 1000.0f);
    const std::vector<uint8_t> before = Snapshot();
    ui.CancelDialog("CBandPassDlg");
    EXPECT_EQ(Bpf(), 0);
    EXPECT_EQ(Snapshot(), before);

    ui.AnswerDialog("CBandPassDlg", Corners("5", "100"));
    ASSERT_EQ(Bpf(), 1);
    EXPECT_EQ(progress.Record().texts,
              (std::vector<std::string>{" BPF calculation : trace = 1 ", " BPF calculation : trace = 2 ",
                                        " BPF calculation : trace = 3 "}));
}

TEST_F(BandPass, AnUnusableIntervalIsRefusedBeforeTheDialog)
{
    LoadLcg(59, 2, 100, 1000.0f);
    ws->store.current.headers[1].intervalUs = -1.0f;
    ui.ExpectMessage("The sampling time of this record is not valid.");
    EXPECT_EQ(Bpf(), 0);
    EXPECT_EQ(ws->store.undoDepth, 0);
}

// ---------------------------------------------------------------------------------------------
// Precise, DFT and Fourier band-passes

TEST_F(BandPass, PreciseFiltersAtTwiceTheLengthOnTheStoreInterval)
{
    LoadLcg(7400, 2, 300, 1000.0f);
    ui.AnswerDialog("CBandPassDlg", Corners("8", "120", "18", "30"));
    ASSERT_EQ(OnBandPassPrecise(*ws, ui, progress), 1);
    for (int t = 0; t < 2; ++t) EXPECT_LE(FixtureError(fx, "precise", t), 2e-6 * fx.Scalar("peak_precise"));
    EXPECT_EQ(ws->settings.bpfLowSlope, 18.0f);
    EXPECT_EQ(ws->settings.bpfHighCut, 120.0f);
}

TEST_F(BandPass, DftBandPassWorksAtTheExactLength)
{
    LoadLcg(7500, 2, 300, 2000.0f);
    ui.AnswerDialog("CBandPassDlg", Corners("5", "60", "12", "24"));
    ASSERT_EQ(RunOp(&CWaveOperations::BandPassDft), 1);
    for (int t = 0; t < 2; ++t) EXPECT_LE(FixtureError(fx, "bpfdft", t), 2e-6 * fx.Scalar("peak_bpfdft"));
    EXPECT_EQ(progress.Record().texts,
              (std::vector<std::string>{" BPF(DFT) calculation : trace = 1 ", " BPF(DFT) calculation : trace = 2 "}));
}

TEST_F(BandPass, FourierBandPassEqualsTheTimeDomainFilterAndKeepsTheLength)
{
    LoadLcg(61, 3, 1000, 1000.0f);
    ui.AnswerDialog("CBandPassDlg", Corners("20.3", "150.7", "24", "30"));
    ASSERT_EQ(Bpf(), 1);
    const std::vector<float> timeDomain = Row(2, 1000);

    LoadLcg(61, 3, 1000, 1000.0f);
    ASSERT_EQ(RunOp(&CWaveOperations::ForwardFft), 1);
    const std::vector<float> re = Row(2, 1024), im = Imag(2, 1024);
    ui.AnswerDialog("CBandPassDlg", Corners("20.3", "150.7", "24", "30"));
    ASSERT_EQ(RunOp(&CWaveOperations::FourierBandPass), 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 1024);  // not halved
    EXPECT_EQ(ws->store.current.headers[2].samples, 1024);

    // Undo gives the unfiltered complex record back, imaginary parts included.
    ASSERT_TRUE(RestoreUndo(*ws));
    EXPECT_EQ(ws->store.dataKind(), kComplexShowReal);
    EXPECT_EQ(Row(2, 1024), re);
    EXPECT_EQ(Imag(2, 1024), im);

    ui.AnswerDialog("CBandPassDlg", Corners("20.3", "150.7", "24", "30"));
    ASSERT_EQ(RunOp(&CWaveOperations::FourierBandPass), 1);
    ASSERT_EQ(RunOp(&CWaveOperations::InverseFft), 1);
    const std::vector<float> viaFourier = Row(2, 1000);
    double peak = 0.0, err = 0.0;
    for (size_t j = 0; j < 1000; ++j) {
        peak = std::max(peak, std::fabs(static_cast<double>(timeDomain[j])));
        err = std::max(err, std::fabs(static_cast<double>(viaFourier[j]) - timeDomain[j]));
    }
    EXPECT_LE(err, 1e-6 * std::max(peak, 1.0));
}

TEST_F(BandPass, FourierBandPassWorksOnDftDataToo)
{
    // The DFT stores -X; filtering is linear, so the inverse DFT of the filtered spectrum is
    // the exact-length band-pass of the trace.
    LoadLcg(63, 1, 300, 2000.0f);
    ui.AnswerDialog("CBandPassDlg", Corners("5", "60", "12", "24"));
    ASSERT_EQ(RunOp(&CWaveOperations::BandPassDft), 1);
    const std::vector<float> direct = Row(0, 300);

    LoadLcg(63, 1, 300, 2000.0f);
    ASSERT_EQ(RunOp(&CWaveOperations::ForwardDft), 1);
    ui.AnswerDialog("CBandPassDlg", Corners("5", "60", "12", "24"));
    ASSERT_EQ(RunOp(&CWaveOperations::FourierBandPass), 1);
    ASSERT_EQ(RunOp(&CWaveOperations::InverseDftAll), 1);
    const std::vector<float> viaFourier = Row(0, 300);
    for (size_t j = 0; j < 300; ++j) EXPECT_NEAR(viaFourier[j], direct[j], 1e-5) << j;
}

// ---------------------------------------------------------------------------------------------
// Integration, differential, spectra

TEST_F(BandPass, IntegrationIsTheRunningSumOfTheTraces)
{
    LoadLcg(7600, 2, 400, 500.0f);
    ui.CancelDialog("CBandPassDlg");  // plain running sum of the unfiltered traces
    ASSERT_EQ(OnIntegration(*ws, ui, progress), 1);
    for (int t = 0; t < 2; ++t) EXPECT_LE(FixtureError(fx, "integral", t), 1e-6 * fx.Scalar("peak_integral"));
    EXPECT_EQ(ws->store.undoDepth, 1);

    LoadLcg(7600, 2, 400, 500.0f);
    ui.AnswerDialogWith("CBandPassDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Low-cut freq.")->Text(), "0.1");
        EXPECT_EQ(r.Find("High-cut freq.")->Text(), "5000");
        return r.SetFromText("Low-cut freq.", "3").empty();
    });
    ASSERT_EQ(OnIntegration(*ws, ui, progress), 1);
    EXPECT_EQ(ws->settings.bpfLowCut, 1.0f);  // integration does not remember its corners
    EXPECT_EQ(ws->store.undoDepth, 2);
}

TEST_F(BandPass, DifferentialIsTheForwardDifferenceAndASingleSampleGivesZero)
{
    LoadLcg(7600, 2, 400, 500.0f);
    ASSERT_EQ(OnDifferential(*ws, ui), 1);
    for (int t = 0; t < 2; ++t) {
        const std::vector<int> idx = fx.Indices("idx_differential_" + std::to_string(t));
        const std::vector<double>& ref = fx.Get("differential_" + std::to_string(t));
        const std::vector<float> row = Row(t, 400);
        for (size_t k = 0; k < idx.size(); ++k) {
            EXPECT_NEAR(row[static_cast<size_t>(idx[k])], ref[k], 1e-6 * fx.Scalar("peak_differential"));
        }
        EXPECT_EQ(row[399], row[398]);
    }
    Load({{5.0}}, 1000.0f);
    ASSERT_EQ(OnDifferential(*ws, ui), 1);
    EXPECT_EQ(Row(0, 1)[0], 0.0f);
}

TEST_F(BandPass, PowerSpectrumIsTheAmplitudeSpectrumOfHalfTheBins)
{
    LoadLcg(7700, 2, 500, 1000.0f);
    ASSERT_EQ(OnPowerSpectrum(*ws, ui, progress), 1);
    for (int t = 0; t < 2; ++t) EXPECT_LE(FixtureError(fx, "amplitude", t), 2e-6 * fx.Scalar("peak_amplitude"));
    const CParameterSet& p = ws->store.Params();
    EXPECT_EQ(ws->store.dataKind(), kRealSpectrum);
    EXPECT_EQ(p.samplesPerTrace, 256);
    EXPECT_EQ(p.samplesShown, 32);
    EXPECT_EQ(p.sampleInterval, 1.953125f);
    EXPECT_EQ(ws->store.current.headers[0].intervalUs, 1953.125f);  // not truncated
    EXPECT_EQ(p.shownTime, 32 * 1.953125f);

    ui.ExpectMessage("Not time domain data");
    EXPECT_EQ(OnPowerSpectrum(*ws, ui, progress), 0);
}

TEST_F(BandPass, PhaseSpectrumIsTheAngleOfTheTransformAndWantsTimeData)
{
    LoadLcg(7800, 2, 500, 1000.0f);
    ASSERT_EQ(OnPhaseSpectrum(*ws, ui), 1);
    for (int t = 0; t < 2; ++t) {
        const std::vector<int> idx = fx.Indices("idx_phase_" + std::to_string(t));
        const std::vector<double>& ref = fx.Get("phase_" + std::to_string(t));
        const std::vector<float> row = Row(t, 64);
        for (size_t k = 0; k < idx.size(); ++k) {
            // The same angle, +pi and -pi being one.
            const double d = std::remainder(static_cast<double>(row[static_cast<size_t>(idx[k])]) - ref[k],
                                            2.0 * std::numbers::pi);
            EXPECT_NEAR(d, 0.0, 1e-5) << idx[k];
        }
    }
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 64);
    EXPECT_EQ(ws->store.Params().samplesShown, 8);
    EXPECT_EQ(ws->store.dataKind(), kRealSpectrum);

    LoadLcg(7800, 2, 500, 1000.0f);
    ws->store.dataKind() = kComplexShowReal;
    const std::vector<uint8_t> before = Snapshot();
    ui.ExpectMessage("Not time domain data");
    EXPECT_EQ(OnPhaseSpectrum(*ws, ui), 0);
    EXPECT_EQ(Snapshot(), before);
}

}  // namespace
}  // namespace velk
