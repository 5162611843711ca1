#include "app/dsp/fourier_commands.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <functional>

#include "app/command_table.h"
#include "app/dsp/data_kind.h"
#include "app/operations.h"
#include "platform/recent_files.h"
#include "app/dsp/signal_commands.h"
#include "app/store_commands.h"
#include "dsp/fourier.h"
#include "formats/file_roads.h"
#include "platform/atomic_file.h"
#include "app/dsp/signal_fixture.h"

namespace velk {
namespace {

using signaltest::SignalTest;

class FourierCommands : public SignalTest {
protected:
    int Run(int (CWaveOperations::*operation)())
    {
        CWaveOperations ops(*ws, ui, progress);
        return ops.Run([operation](CWaveOperations& o) { return (o.*operation)(); });
    }
    std::pair<int, int> KindAndFlag() const { return {ws->store.dataKind(), ws->store.current.transformFlag}; }

    dsptest::Fixture fx{"commands.txt"};
};

// ---------------------------------------------------------------------------------------------
// FFT

TEST_F(FourierCommands, ForwardFftMatchesNumpyAndTheInverseGivesTheInputBack)
{
    LoadLcg(7000, 3, 1000, 1000.0f);
    const std::vector<float> input = Row(1, 1000);
    ws->store.displayFactor[1] = 3.0f;

    ASSERT_EQ(Run(&CWaveOperations::ForwardFft), 1);
    const double peakRe = fx.Scalar("peak_fft_re"), peakIm = fx.Scalar("peak_fft_im");
    for (int t = 0; t < 3; ++t) {
        EXPECT_LE(FixtureError(fx, "fft_re", t), 2e-6 * peakRe) << t;
        EXPECT_LE(FixtureError(fx, "fft_im", t, true), 2e-6 * peakIm) << t;
    }
    const CParameterSet& p = ws->store.Params();
    EXPECT_EQ(KindAndFlag(), std::make_pair(2, 0));
    EXPECT_EQ(p.samplesPerTrace, 1024);
    EXPECT_EQ(p.sampleInterval, 0.9765625f);
    EXPECT_EQ(ws->store.current.headers[2].samples, 1024);
    EXPECT_EQ(ws->store.current.headers[2].intervalUs, 976.5625f);  // not truncated to 976
    EXPECT_EQ(ws->store.undoDepth, 1);
    EXPECT_EQ(ws->store.displayFactor[1], 1.0f);
    EXPECT_GT(ws->store.current.imagMaximum, 0.0f);
    EXPECT_LE(ws->store.current.imagMaxima[0], ws->store.current.imagMaximum);
    EXPECT_TRUE(progress.Record().texts.empty());

    ASSERT_EQ(Run(&CWaveOperations::InverseFft), 1);
    EXPECT_EQ(KindAndFlag(), std::make_pair(0, 0));
    EXPECT_EQ(ws->store.undoDepth, 1);  // the inverse pushes nothing
    EXPECT_EQ(p.samplesPerTrace, 1024);
    EXPECT_EQ(p.sampleInterval, 1.0f);
    EXPECT_EQ(ws->store.current.headers[1].intervalUs, 1000.0f);
    const std::vector<float> back = Row(1, 1024);
    for (int j = 0; j < 1024; ++j) {
        EXPECT_NEAR(back[static_cast<size_t>(j)], j < 1000 ? input[static_cast<size_t>(j)] : 0.0f, 1e-6) << j;
    }
}

TEST_F(FourierCommands, LongTransformsReportEveryTrace)
{
    LoadLcg(1, 2, 3000, 500.0f);
    ASSERT_EQ(Run(&CWaveOperations::ForwardFft), 1);
    EXPECT_EQ(progress.Record().texts,
              (std::vector<std::string>{" Calculating Fourier spectrum : trace = 1, Data length = 3000",
                                        " Calculating Fourier spectrum : trace = 2, Data length = 3000"}));

    RecordingProgress quiet("quiet");
    LoadLcg(1, 2, 2048, 500.0f);
    CWaveOperations ops(*ws, ui, quiet);
    ASSERT_EQ(ops.ForwardFft(), 1);
    EXPECT_TRUE(quiet.Record().texts.empty());
}

TEST_F(FourierCommands, AFullRowOfMaxSampleStillFitsItsTransform)
{
    // 4100 samples need 8192 points; the rows are long enough.
    LoadLcg(3, 1, 4100, 1000.0f);
    ASSERT_EQ(Run(&CWaveOperations::ForwardFft), 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 8192);
}

TEST_F(FourierCommands, ShorterTracesAreZeroPaddedNotFilledWithStaleRowContents)
{
    LoadLcg(5, 2, 64, 1000.0f);
    ws->store.current.headers[1].samples = 40;  // samples 40..63 of its row are left over
    ASSERT_EQ(Run(&CWaveOperations::ForwardFft), 1);
    // The transform of the 40 samples followed by zeros.
    std::vector<double> re(64, 0.0), im(64, 0.0);
    const std::vector<double> x = dsptest::SignalLcg(6, 64);
    std::copy_n(x.begin(), 40, re.begin());
    CFourier::Fft(re.data(), im.data(), 64, 0, 0);
    for (int j = 0; j < 64; ++j) {
        EXPECT_NEAR(Row(1, 64)[static_cast<size_t>(j)], re[static_cast<size_t>(j)], 1e-7) << j;
    }
}

// ---------------------------------------------------------------------------------------------
// DFT and its spectra

TEST_F(FourierCommands, ForwardDftIsTheNegatedNumpyTransformAndComesBack)
{
    LoadLcg(7100, 2, 150, 500.0f);
    const std::vector<float> input = Row(0, 150);
    ASSERT_EQ(Run(&CWaveOperations::ForwardDft), 1);
    for (int t = 0; t < 2; ++t) {
        EXPECT_LE(FixtureError(fx, "dft_re", t), 1e-6 * fx.Scalar("peak_dft_re"));
        EXPECT_LE(FixtureError(fx, "dft_im", t, true), 1e-6 * fx.Scalar("peak_dft_im"));
    }
    EXPECT_EQ(KindAndFlag(), std::make_pair(2, 1));
    EXPECT_FLOAT_EQ(ws->store.current.headers[0].intervalUs, 1000.0f * 1000.0f / (150 * 0.5f));
    EXPECT_EQ(progress.Record().texts,
              (std::vector<std::string>{" DFT calculation : trace = 1 ", " DFT calculation : trace = 2 "}));

    ASSERT_EQ(Run(&CWaveOperations::InverseDftAll), 1);
    EXPECT_EQ(KindAndFlag(), std::make_pair(0, 1));
    EXPECT_NEAR(ws->store.current.headers[0].intervalUs, 500.0f, 1e-3);
    const std::vector<float> back = Row(0, 150);
    for (int j = 0; j < 150; ++j) EXPECT_NEAR(back[static_cast<size_t>(j)], input[static_cast<size_t>(j)], 1e-6);
}

TEST_F(FourierCommands, DftSpectraKeepTheLowPartAsNumpySaysAndADeadTraceGivesZeros)
{
    LoadLcg(7200, 2, 200, 1000.0f);
    ASSERT_EQ(Run(&CWaveOperations::PowerSpectrumDft), 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 100);
    EXPECT_EQ(KindAndFlag().first, 1);
    for (int t = 0; t < 2; ++t) EXPECT_LE(FixtureError(fx, "power", t), 1e-6 * fx.Scalar("peak_power"));

    std::vector<std::vector<double>> traces{dsptest::SignalLcg(7200, 200), dsptest::SignalLcg(7201, 200),
                                            std::vector<double>(200, 0.0)};
    Load(traces, 1000.0f);
    ASSERT_EQ(Run(&CWaveOperations::DecibelSpectrumDft), 1);
    for (int t = 0; t < 2; ++t) EXPECT_LE(FixtureError(fx, "db", t), 1e-4);
    for (float v : Row(0, 100)) EXPECT_LE(v, 1e-4f);
    for (float v : Row(2, 100)) EXPECT_EQ(v, 0.0f);  // no -inf, no NaN

    LoadLcg(1, 1, 1000, 1000.0f);
    ASSERT_EQ(Run(&CWaveOperations::PowerSpectrumDft), 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 62);
    EXPECT_EQ(ws->store.current.headers[0].samples, 62);
}

// ---------------------------------------------------------------------------------------------
// Refusals and the lifecycle

TEST_F(FourierCommands, EveryRefusalShowsItsTextAndChangesNothing)
{
    struct Case {
        const char* what;
        int kind;
        int flag;
        std::function<int()> command;
        std::string text;
    };
    auto op = [&](int (CWaveOperations::*o)()) { return [this, o] { return Run(o); }; };
    const std::vector<Case> cases = {
        {"fft on a spectrum", 1, 0, op(&CWaveOperations::ForwardFft), "Not time-domain !"},
        {"inverse fft on time data", 0, 0, op(&CWaveOperations::InverseFft), "Not frequency domain data"},
        {"inverse fft on dft data", 2, 1, op(&CWaveOperations::InverseFft), "The data was not transformed by FFT"},
        {"inverse dft on fft data", 3, 0, op(&CWaveOperations::InverseDftAll), "DFTで変換されていません"},
        {"inverse dft on a spectrum", 1, 1, op(&CWaveOperations::InverseDftAll), "周波数領域の波形ではありません"},
        {"dft on complex data", 2, 0, op(&CWaveOperations::ForwardDft), "時間領域の波形ではありません"},
        {"spectrum on a spectrum", 1, 0, op(&CWaveOperations::PowerSpectrumDft), "Not the waveform in time domain"},
        {"dB spectrum on complex data", 3, 1, op(&CWaveOperations::DecibelSpectrumDft), "時間領域の波形ではありません"},
        {"real part of time data", 0, 0, [this] { return OnShowRealPart(*ws, ui); }, "周波数領域の波形ではありません"},
        {"imaginary part of a spectrum", 1, 0, [this] { return OnShowImaginaryPart(*ws, ui); },
         "周波数領域の波形ではありません"},
    };
    for (const Case& c : cases) {
        LoadLcg(9, 2, 64, 1000.0f);
        ws->store.dataKind() = c.kind;
        ws->store.current.transformFlag = c.flag;
        const std::vector<uint8_t> before = Snapshot();
        ui.ExpectMessage(c.text);
        EXPECT_EQ(c.command(), 0) << c.what;
        EXPECT_TRUE(ui.VerifyAndClear()) << c.what;
        EXPECT_EQ(Snapshot(), before) << c.what;
    }
}

TEST_F(FourierCommands, AnUnusableIntervalIsRefusedBeforeAnyChange)
{
    LoadLcg(9, 2, 64, 0.0f);
    const std::vector<uint8_t> before = Snapshot();
    ui.ExpectMessage("The sampling time of this record is not valid.");
    EXPECT_EQ(Run(&CWaveOperations::ForwardFft), 0);
    ui.ExpectMessage("The sampling time of this record is not valid.");
    EXPECT_EQ(Run(&CWaveOperations::ForwardDft), 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(FourierCommands, ARecordLongerThanTheRowsIsRefused)
{
    LoadLcg(9, 1, 64, 1000.0f);
    ws->store.Params().samplesPerTrace = ws->store.RowLength() + 1;
    const std::vector<uint8_t> before = Snapshot();
    ui.ExpectMessage(
        "The number of samples was too large ! \n Maximum sample number is 4100 \n"
        " Change maximum samples by 'Option', 'Dimension size' !");
    EXPECT_EQ(Run(&CWaveOperations::ForwardFft), 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(FourierCommands, TheLifecycleTableHoldsCommandByCommand)
{
    LoadLcg(11, 2, 100, 1000.0f);
    ASSERT_EQ(Run(&CWaveOperations::ForwardFft), 1);
    EXPECT_EQ(KindAndFlag(), std::make_pair(2, 0));
    ASSERT_EQ(OnShowImaginaryPart(*ws, ui), 1);
    EXPECT_EQ(KindAndFlag(), std::make_pair(3, 0));
    ASSERT_EQ(OnShowRealPart(*ws, ui), 1);
    EXPECT_EQ(KindAndFlag(), std::make_pair(2, 0));
    EXPECT_EQ(OnShowTimeDomain(*ws), 0);  // nothing on complex data
    EXPECT_EQ(KindAndFlag(), std::make_pair(2, 0));
    ASSERT_EQ(OnShowImaginaryPart(*ws, ui), 1);
    ASSERT_EQ(Run(&CWaveOperations::InverseFft), 1);
    EXPECT_EQ(KindAndFlag(), std::make_pair(0, 0));
    ASSERT_EQ(Run(&CWaveOperations::ForwardDft), 1);
    EXPECT_EQ(KindAndFlag(), std::make_pair(2, 1));
    ASSERT_EQ(Run(&CWaveOperations::InverseDftAll), 1);
    EXPECT_EQ(KindAndFlag(), std::make_pair(0, 1));
    const std::vector<float> time = Row(0, 128);
    ASSERT_EQ(Run(&CWaveOperations::DecibelSpectrumDft), 1);
    EXPECT_EQ(KindAndFlag(), std::make_pair(1, 1));
    ws->displayFilter.applied = 1;
    ASSERT_EQ(OnShowTimeDomain(*ws), 1);
    EXPECT_EQ(KindAndFlag(), std::make_pair(0, 1));
    EXPECT_EQ(ws->displayFilter.applied, 0);
    EXPECT_EQ(Row(0, 128), time);
}

TEST_F(FourierCommands, UndoAfterAnotherCommandKeepsTheComplexRecordWhole)
{
    LoadLcg(13, 2, 256, 1000.0f);
    ASSERT_EQ(Run(&CWaveOperations::ForwardFft), 1);
    const std::vector<float> re = Row(1, 256), im = Imag(1, 256);
    const float imagPeak = ws->store.current.imagMaximum;
    ws->display.appliedGain = {2.0f, 2.0f};
    ASSERT_EQ(OnMemoryPresentAmplitude(*ws), 1);
    EXPECT_EQ(Imag(1, 256)[5], 2.0f * im[5]);  // complex data keeps its phase
    ASSERT_TRUE(RestoreUndo(*ws));
    EXPECT_EQ(KindAndFlag(), std::make_pair(2, 0));
    EXPECT_EQ(Row(1, 256), re);
    EXPECT_EQ(Imag(1, 256), im);
    EXPECT_EQ(ws->store.current.imagMaximum, imagPeak);
}

// ---------------------------------------------------------------------------------------------
// The frequency-domain file

TEST_F(FourierCommands, SaveThenOpenRestoresEveryFloat)
{
    LoadLcg(17, 3, 1000, 1000.0f);
    ws->store.current.headers[1].receiverHundredths = 129;  // spacing 0.29 m
    ws->store.current.headers[0].receiverHundredths = 100;
    ASSERT_EQ(Run(&CWaveOperations::ForwardFft), 1);
    ws->store.current.transformFlag = 1;  // opening keeps the flag
    ws->store.current.rows[2][7] = 1.0e-30f;
    ws->store.current.imag[2][9] = -3.4e38f;
    const std::vector<uint8_t> rows(reinterpret_cast<const uint8_t*>(ws->store.current.rows.Row(0).data()),
                                    reinterpret_cast<const uint8_t*>(ws->store.current.rows.Row(3).data()));
    const std::vector<uint8_t> imag(reinterpret_cast<const uint8_t*>(ws->store.current.imag.Row(0).data()),
                                    reinterpret_cast<const uint8_t*>(ws->store.current.imag.Row(3).data()));
    const std::string path = folder.File("spectrum.txt");

    ui.AnswerFileSave(path);
    ui.ExpectMessage("Sampling frequency is 0.976562 Hz ");
    EXPECT_EQ(OnSaveFrequencyDomainData(*ws, ui), 0);
    EXPECT_TRUE(ui.VerifyAndClear());

    LoadLcg(99, 5, 300, 250.0f);
    ui.AnswerFileOpen(path);
    ui.ExpectMessage(" Number of trace = 3 \n Sampling time = 0.976562 \n Number of sample = 1024 ");
    ASSERT_EQ(OnOpenFrequencyDomainData(*ws, ui), 1);
    EXPECT_TRUE(ui.VerifyAndClear());
    const WaveformStore& s = ws->store;
    EXPECT_EQ(s.TraceCount(), 3);
    EXPECT_EQ(s.Params().samplesPerTrace, 1024);
    EXPECT_EQ(s.Params().sampleInterval, 0.9765625f);
    EXPECT_EQ(KindAndFlag(), std::make_pair(2, 1));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(0, std::memcmp(s.current.rows.Row(i).data(), rows.data() + i * s.RowLength() * sizeof(float),
                                 1024 * sizeof(float)));
        EXPECT_EQ(0, std::memcmp(s.current.imag.Row(i).data(), imag.data() + i * s.RowLength() * sizeof(float),
                                 1024 * sizeof(float)));
        EXPECT_EQ(s.current.headers[static_cast<size_t>(i)].receiverHundredths, 29 * (i + 1));  // not 28
        EXPECT_EQ(s.current.headers[static_cast<size_t>(i)].intervalUs, 976.5625f);
    }
    EXPECT_EQ(s.Params().plotscale, 50.0f);
    EXPECT_EQ(s.Params().hscale, 25.0f);
    EXPECT_EQ(s.Params().shownTime, 1024 * 0.9765625f);
}

TEST_F(FourierCommands, ABadFrequencyFileLeavesTheStoreAsItWas)
{
    Build(4, 1000);  // rows of 1024
    LoadLcg(21, 2, 100, 1000.0f);
    ws->displayFilter.applied = 1;
    const std::vector<uint8_t> before = Snapshot();
    const std::string traceMessage =
        "The number of traces was too large ! \n Maximum trace number is 4\n"
        " Change maximum traces by 'Option', 'Dimension size' !";
    const std::string sampleMessage =
        "The number of samples was too large ! \n Maximum sample number is 1024 \n"
        " Change maximum samples by 'Option', 'Dimension size' !";
    const std::string shortMessage = "The frequency domain data file ends before all of its values.\nNothing was read.";
    const std::string invalid = "The frequency domain data file is not valid.\nNothing was read.";
    const std::vector<std::pair<std::string, std::string>> files = {
        {" 5 2 1.0 1.0 \n", traceMessage},
        {" 1 1025 1.0 1.0 \n", sampleMessage},
        {" 2 2 1.0 1.0 \n 1 \n 2 \n 3 \n 4 \n 5 \n 6 \n 7 \n", shortMessage},
        {" 1 2 1.0 1.0 \n 1 \n 2 \n x \n 4 \n", invalid},
        {" 1 2 -1.0 1.0 \n 1 \n 2 \n 3 \n 4 \n", invalid},
        {" 1 2 1.0 1.0 \n 1 \n nan \n 3 \n 4 \n", invalid},
        {" 0 2 1.0 1.0 \n", invalid},
        {"", shortMessage},
    };
    for (const auto& [text, message] : files) {
        const std::string path = folder.File("bad.txt");
        testing::WriteFileText(path, text);
        ui.AnswerFileOpen(path);
        ui.ExpectMessage(message);
        EXPECT_EQ(OnOpenFrequencyDomainData(*ws, ui), 0) << text;
        EXPECT_TRUE(ui.VerifyAndClear()) << text;
        EXPECT_EQ(Snapshot(), before) << text;
        EXPECT_EQ(ws->displayFilter.applied, 1);
    }
    ui.CancelFileOpen();
    ui.ExpectMessage("error in opening file");
    EXPECT_EQ(OnOpenFrequencyDomainData(*ws, ui), 0);
    ui.AnswerFileOpen(folder.File("missing.txt"));
    ui.ExpectMessage("error in opening file");
    EXPECT_EQ(OnOpenFrequencyDomainData(*ws, ui), 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(FourierCommands, AFailedSaveSaysSoAndKeepsTheOldFile)
{
    LoadLcg(23, 1, 64, 1000.0f);
    ASSERT_EQ(Run(&CWaveOperations::ForwardFft), 1);
    const std::string path = folder.File("old.txt");
    testing::WriteFileText(path, "old contents");
    AtomicFileWriter::SetFaultInjector([](size_t) { return false; });
    ui.AnswerFileSave(path);
    ui.ExpectAnyMessage();
    EXPECT_EQ(OnSaveFrequencyDomainData(*ws, ui), 0);
    AtomicFileWriter::SetFaultInjector({});
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].rfind("The file could not be saved. The old file was not changed.", 0), 0u);
    EXPECT_EQ(testing::ReadFileText(path), "old contents");

    ui.CancelFileSave();
    ui.ExpectMessage("error in opening file");
    EXPECT_EQ(OnSaveFrequencyDomainData(*ws, ui), 0);
}

TEST_F(FourierCommands, ASingleTraceIsSavedWithZeroSpacing)
{
    LoadLcg(25, 1, 8, 1000.0f);
    ASSERT_EQ(Run(&CWaveOperations::ForwardFft), 1);
    const std::string path = folder.File("one.txt");
    ui.AnswerFileSave(path);
    ui.ExpectAnyMessage();
    OnSaveFrequencyDomainData(*ws, ui);
    EXPECT_EQ(testing::ReadFileText(path).substr(0, 12), " 1 8 125 0 \n");
}

// ---------------------------------------------------------------------------------------------
// Small commands

TEST_F(FourierCommands, MemoryPresentAmplitudeAppliesThePaintedGains)
{
    LoadLcg(27, 3, 16, 1000.0f);
    const std::vector<float> r0 = Row(0, 16), r2 = Row(2, 16);
    ws->display.appliedGain = {4.0f, 0.5f};  // trace 2 was not painted: 1.0
    ws->store.displayFactor[0] = 7.0f;
    ASSERT_EQ(OnMemoryPresentAmplitude(*ws), 1);
    EXPECT_EQ(Row(0, 16)[3], 4.0f * r0[3]);
    EXPECT_EQ(Row(2, 16), r2);
    EXPECT_EQ(ws->store.displayFactor[0], 1.0f);
    EXPECT_FLOAT_EQ(ws->store.Params().traceMaxima[0], 4.0f * ws->store.level1.params.traceMaxima[0]);
    EXPECT_EQ(ws->store.undoDepth, 1);
}

TEST_F(FourierCommands, ChangeSamplingTimeRewritesEveryHeaderWithoutUndo)
{
    LoadLcg(29, 2, 100, 1000.0f);
    ui.AnswerDialogWith(CSamplingTimeDlg::kClass, [](DialogRequest& r) {
        EXPECT_EQ(r.Fields().front().Text(), "1");
        return r.SetFromText("Sampling time", "0.25").empty();
    });
    ASSERT_EQ(OnChangeSamplingTime(*ws, ui), 1);
    EXPECT_EQ(ws->store.current.headers[1].intervalUs, 250.0f);
    EXPECT_EQ(ws->store.Params().sampleInterval, 0.25f);
    EXPECT_EQ(ws->store.Params().shownTime, 25.0f);
    EXPECT_EQ(ws->store.undoDepth, 0);

    const std::vector<uint8_t> before = Snapshot();
    ui.AnswerDialog(CSamplingTimeDlg::kClass, {{"Sampling time", "0"}});
    ui.ExpectMessage("The sampling time of this record is not valid.");
    EXPECT_EQ(OnChangeSamplingTime(*ws, ui), 0);
    ui.CancelDialog(CSamplingTimeDlg::kClass);
    EXPECT_EQ(OnChangeSamplingTime(*ws, ui), 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(FourierCommands, MenuRulesFollowTheDataKind)
{
    const CommandTable table = BuildCommandTable();
    RecentFileList recent;
    LoadLcg(31, 2, 64, 1000.0f);
    auto enabled = [&](int id) { return table.IsEnabled(id, *ws, recent); };
    EXPECT_TRUE(enabled(cmd::kForwardFft));
    EXPECT_FALSE(enabled(cmd::kInverseFft));
    EXPECT_FALSE(enabled(cmd::kShowRealPart));
    EXPECT_FALSE(enabled(cmd::kShowTimeDomain));
    EXPECT_TRUE(enabled(cmd::kSpectrumDft));
    ws->store.dataKind() = kComplexShowImag;
    ws->store.current.transformFlag = 1;
    EXPECT_FALSE(enabled(cmd::kForwardFft));
    EXPECT_FALSE(enabled(cmd::kInverseFft));
    EXPECT_TRUE(enabled(cmd::kInverseDft));
    EXPECT_TRUE(enabled(cmd::kSaveFrequencyData));
    EXPECT_TRUE(enabled(cmd::kFourierBandPass));
    EXPECT_FALSE(enabled(cmd::kBandPass));
    ws->store.dataKind() = kRealSpectrum;
    EXPECT_TRUE(enabled(cmd::kShowTimeDomain));
    EXPECT_FALSE(enabled(cmd::kSaveFrequencyData));

    EXPECT_TRUE(table.IsChecked(cmd::kShadeSpectrum, *ws, recent));
    EXPECT_EQ(OnShadeSpectrum(*ws), 1);
    EXPECT_EQ(ws->display.spectrumShading, -1);
    EXPECT_FALSE(table.IsChecked(cmd::kShadeSpectrum, *ws, recent));
}

TEST(DataLengthDialog, OneIntegerFieldWithItsLabel)
{
    CDataLengthDlg dlg;
    DialogRequest r = dlg.Request(-1);
    EXPECT_EQ(r.DialogClass(), "CDataLengthDlg");
    EXPECT_EQ(r.Title(), "Data length");
    ASSERT_EQ(r.Fields().size(), 1u);
    EXPECT_EQ(r.Fields().front().LabelText(), "Data length = ");
    EXPECT_EQ(r.Fields().front().Text(), "0");
    EXPECT_TRUE(r.SetFromText("Data length", "2048").empty());
    r.Commit();
    EXPECT_EQ(dlg.length, 2048);
}

}  // namespace
}  // namespace velk
