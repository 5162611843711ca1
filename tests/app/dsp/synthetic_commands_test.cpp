// The waveform generators: the Ricker record against scipy, delta spikes, the lengths and the
// sine of the frequency-domain generator, the F-K rows, capacity refusals, the noise
// statistics and seeds, and the autocorrelation of correlated noise.

#include "app/dsp/synthetic_commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "app/dsp/data_kind.h"
#include "app/operations.h"
#include "formats/format_support.h"
#include "app/dsp/signal_fixture.h"

namespace velk {
namespace {

using signaltest::SignalTest;

class Generators : public SignalTest {
protected:
    void SetUp() override
    {
        SignalTest::SetUp();
        Seed(1234);
    }
    void Seed(uint32_t seed) { ws->traceEdit.randomSeed = [seed] { return seed; }; }
    int RunOp(const CWaveOperations::Operation& op)
    {
        CWaveOperations ops(*ws, ui, progress);
        return ops.Run(op);
    }
    // Each answers its dialog with the values, then expects the message when one is given.
    int TimeDomain(FieldValues values, const std::string& message = {})
    {
        ui.AnswerDialog("CTimeDomainWaveformDlg", std::move(values));
        Expect(message);
        return RunOp([](CWaveOperations& o) { return o.GenerateTimeDomain(); });
    }
    int FrequencyDomain(FieldValues values, const std::string& message = {})
    {
        ui.AnswerDialog("CFreqDomainWaveformDlg", std::move(values));
        Expect(message);
        return RunOp([this](CWaveOperations& o) { return o.GenerateFrequencyDomain(velocity); });
    }
    int Fk(FieldValues values, const std::string& message = {})
    {
        ui.AnswerDialog("CFreqDomainWaveformDlg", std::move(values));
        Expect(message);
        return RunOp([](CWaveOperations& o) { return o.GenerateFkDomain(); });
    }
    void Expect(const std::string& message)
    {
        if (!message.empty()) ui.ExpectMessage(message);
    }
    FieldValues Time(const char* type, const char* traces = "3", const char* length = "256")
    {
        return {{"Frequency", "25"}, {"Data length", length}, {"Number of traces", traces}, {"Sampling time", "1"},
                {"Waveform", type}};
    }
    const CTraceHeader& Header(int i) const { return ws->store.current.headers[static_cast<size_t>(i)]; }
    float velocity = 1.0f;
};

// ---------------------------------------------------------------------------------------------
// Time domain

TEST_F(Generators, RickerMatchesScipyAfterPeakNormalisation)
{
    ASSERT_EQ(TimeDomain(Time("Ricker wavelet")), 1);
    EXPECT_EQ(ws->store.undoDepth, 1);
    const dsptest::Fixture fx("trace_edit.txt");
    const std::vector<double>& ricker = fx.Get("ricker");
    const std::vector<float> x = Row(0, 256);
    float peak = 0.0f;
    for (float v : x) peak = std::max(peak, std::fabs(v));
    // The wavelet is cut where pi^2 F^2 t^2 exceeds 15 (|t| > 49.3 ms, from sample 90 on), where
    // the Ricker is below 1e-5 of its peak.
    for (int j = 0; j < 256; ++j) {
        const double expected = j < 121 ? ricker[static_cast<size_t>(j)] : 0.0;
        if (j < 90) {
            EXPECT_NEAR(-x[static_cast<size_t>(j)] / peak, expected, 1e-6) << j;  // the record's Ricker is negated
        } else {
            EXPECT_EQ(x[static_cast<size_t>(j)], 0.0f) << j;
            EXPECT_LT(std::fabs(expected), 1e-5) << j;
        }
    }
    // Trace 1 starts one sample later (1 m at 1 km/s, 1 ms) and is halved.
    EXPECT_FLOAT_EQ(Row(1, 256)[41], x[40] / 2.0f);
    EXPECT_EQ(Header(2).receiverHundredths, 200);
    EXPECT_EQ(Header(2).intervalUs, 1000.0f);
    EXPECT_EQ(Header(2).delayUs, 1.0f);
    EXPECT_EQ(ws->traceEdit.generatorFrequency, 25.0f);
}

TEST_F(Generators, DeltaSpikesFollowTheMoveoutAndTheTraceDivisor)
{
    ASSERT_EQ(TimeDomain(Time("Delta function", "6", "64")), 1);
    for (int i = 0; i < 6; ++i) {
        const std::vector<float> x = Row(i, 64);
        for (int j = 0; j < 64; ++j) EXPECT_EQ(x[static_cast<size_t>(j)], j == i ? 1.0f / (i + 1) : 0.0f) << i << j;
    }
    EXPECT_EQ(ws->store.dataKind(), kTimeDomain);
    EXPECT_EQ(ws->display.lastReceiver, 6.0f);
    EXPECT_EQ(ws->store.Params().hscale, 25.0f);
}

TEST_F(Generators, TimeDomainRefusals)
{
    Build(128, 4100);
    const auto before = Snapshot();
    EXPECT_EQ(TimeDomain(Time("Sin waves", "1000"), TracesTooLargeText(-1, 128)), 0);
    FieldValues zero = Time("Sin waves");
    zero.push_back({"Apparent velocity", "0"});
    EXPECT_EQ(TimeDomain(zero, "The apparent velocity must not be 0 !"), 0);
    FieldValues noFrequency = Time("Ricker wavelet");
    noFrequency[0].second = "0";
    EXPECT_EQ(TimeDomain(noFrequency, "The frequency must be larger than 0 !"), 0);
    EXPECT_EQ(Snapshot(), before);
}

// ---------------------------------------------------------------------------------------------
// Frequency and F-K domains

TEST_F(Generators, FrequencyDomainLengthsAndTheSineBin)
{
    for (const auto& [length, n] : {std::pair{"1000", 512}, std::pair{"1500", 1024}, std::pair{"2048", 2048}}) {
        ASSERT_EQ(FrequencyDomain({{"Data length", length}, {"Waveform", "Ricker wavelet"}}), 1);
        EXPECT_EQ(ws->store.Params().samplesPerTrace, n);
        EXPECT_EQ(ws->store.dataKind(), kComplexShowReal);
    }
    ASSERT_EQ(FrequencyDomain({}, " Frequency of sin waves is 97.656250 Hz"), 1);  // 100 Hz, 0.1 ms, 1024
    EXPECT_FLOAT_EQ(ws->store.Params().sampleInterval, 9.765625f);
    EXPECT_EQ(Row(3, 1024)[10], -1.0f);
    EXPECT_EQ(Header(3).intervalUs, 9765.0f);
    EXPECT_EQ(Header(3).receiverHundredths, 400);

    ASSERT_EQ(FrequencyDomain({{"Waveform", "Ricker wavelet"}}), 1);  // conjugate-symmetric bins
    EXPECT_EQ(Row(0, 1024)[1000], Row(0, 1024)[24]);
    EXPECT_EQ(FrequencyDomain({{"Frequency", "6000"}}, "The frequency of sin waves must be below 5000.000000 Hz !"), 0);
}

TEST_F(Generators, FkRowsFollowTheCapacity)
{
    Build(128, 4100);
    ASSERT_EQ(Fk({}, FkSineFrequencyMessage(97.65625)), 1);
    EXPECT_EQ(ws->store.TraceCount(), 64);
    EXPECT_EQ(Header(0).receiverHundredths, -32 * 15);
    EXPECT_EQ(ws->display.spectrumShading, -1);
    Build(300, 4100);
    ASSERT_EQ(Fk({}, FkSineFrequencyMessage(97.65625)), 1);
    EXPECT_EQ(ws->store.TraceCount(), 256);
    // Sine at 100 Hz, 1 km/s: wavenumber 0.1 / m at dk = 1/256: row 128 - 25.
    EXPECT_EQ(ws->store.current.rows.Row(103)[10], -1.0f);
    Build(50, 4100);
    EXPECT_EQ(Fk({}, TracesTooLargeText(-1, 50)), 0);
    Build(128, 4100);
    EXPECT_EQ(Fk({{"Waveform", "Linear event"}}), 0);  // types 3 and 4 make nothing
    EXPECT_EQ(ws->store.undoDepth, 0);
}

// ---------------------------------------------------------------------------------------------
// Noise

TEST_F(Generators, UniformNoiseRangeMeanAndSeeds)
{
    ASSERT_EQ(TimeDomain(Time("Noise", "5", "4000")), 1);
    double sum = 0.0;
    for (int i = 0; i < 5; ++i) {
        for (float v : Row(i, 4000)) {
            const double u = v * (i + 1.0);
            EXPECT_GE(u, -0.5 - 1e-6);  // the divisor's rounding
            EXPECT_LT(u, 0.5);
            sum += u;
        }
    }
    EXPECT_LT(std::fabs(sum / 20000.0), 4.0 * std::sqrt(1.0 / 12.0) / std::sqrt(20000.0));
    const std::vector<float> first = Row(2, 4000);
    EXPECT_NE(Row(1, 4000), Row(2, 4000));
    ASSERT_EQ(TimeDomain(Time("Noise", "5", "4000")), 1);
    EXPECT_EQ(Row(2, 4000), first);  // the same seed
    Seed(99);
    ASSERT_EQ(TimeDomain(Time("Noise", "5", "4000")), 1);
    EXPECT_NE(Row(2, 4000), first);
}

TEST_F(Generators, GaussianNoiseHasTheStandardDeviation)
{
    LoadLcg(1, 24, 4001, 1000.0f);  // an odd count: the last sample is drawn too
    CWaveOperations ops(*ws, ui, progress);
    ops.GenerateGaussianNoise(2.0f);
    double sum = 0.0, squares = 0.0;
    for (int i = 0; i < 24; ++i) {
        for (float v : Row(i, 4001)) {
            sum += v;
            squares += static_cast<double>(v) * v;
        }
    }
    const double n = 24.0 * 4001.0;
    const double sd = std::sqrt(squares / n - (sum / n) * (sum / n));
    EXPECT_NEAR(sd, 2.0, 0.1);
    EXPECT_NE(Row(0, 4001)[4000], 0.0f);
}

// The autocorrelation of the record at lags 0..maxLag, averaged over the traces, over r(0).
std::vector<double> Autocorrelation(const WaveformStore& store, int traces, int n, int maxLag)
{
    std::vector<double> r(static_cast<size_t>(maxLag) + 1, 0.0);
    for (int t = 0; t < traces; ++t) {
        const auto x = store.current.rows.Row(t);
        for (int lag = 0; lag <= maxLag; ++lag) {
            for (int j = 0; j < n; ++j) {
                r[static_cast<size_t>(lag)] += static_cast<double>(x[static_cast<size_t>(j)]) * x[static_cast<size_t>((j + lag) % n)];
            }
        }
    }
    const double r0 = r[0];
    for (double& v : r) v /= r0;
    return r;
}

TEST_F(Generators, CorrelatedNoiseHasTheSelfConvolvedCorrelation)
{
    auto log = std::make_shared<MemoryLogSink>();
    ws->diagnostics = log;
    ui.AnswerDialog("CCorrelationDlg");  // a = 10 ms, sigma 1, Gaussian, applied and normalised
    ASSERT_EQ(RunOp([](CWaveOperations& o) { return o.GenerateNoiseGaussianSpectrum(); }), 1);
    EXPECT_EQ(ws->store.TraceCount(), 24);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 1024);
    EXPECT_EQ(log->Text("correlation_function.txt").rfind(" 0 1.000000 \n 1 ", 0), 0u);
    // The noise is shaped by S, not sqrt(S): its correlation is C*C, e^(-tau^2 / (2 a^2)).
    const std::vector<double> r = Autocorrelation(ws->store, 24, 1024, 30);
    for (int lag = 0; lag <= 30; lag += 5) {
        EXPECT_NEAR(r[static_cast<size_t>(lag)], std::exp(-lag * lag / 200.0), 0.1) << lag;
    }

    ui.AnswerDialog("CCorrelationDlg", {{"Function", "under construction"}});
    ui.ExpectMessage("This correlation function is under construction !");
    EXPECT_EQ(RunOp([](CWaveOperations& o) { return o.GenerateNoiseFromCorrelation(); }), 0);
    ui.AnswerDialog("CCorrelationDlg", {{"Standard deviation", "3"}});
    ASSERT_EQ(RunOp([](CWaveOperations& o) { return o.GenerateNoiseFromCorrelation(); }), 1);
    double squares = 0.0;
    for (float v : Row(7, 1024)) squares += static_cast<double>(v) * v;
    EXPECT_NEAR(std::sqrt(squares / 1024.0), 3.0, 1e-4);  // normalised to sigma
    EXPECT_NE(log->Text("correlation_function.txt").find(" 512 1.000000 \n"), std::string::npos);
}

}  // namespace
}  // namespace velk
