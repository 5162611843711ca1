// Deconvolution, re-sampling and interpolation commands on whole records, against the numpy
// references of tests/dsp/ref/deconvolution_ref.py where one exists.

#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "app/dsp/data_kind.h"
#include "app/dsp/deconvolution_commands.h"
#include "app/dsp/resampling_commands.h"
#include "app/dsp/signal_fixture.h"

namespace velk {
namespace {

using signaltest::SignalTest;

class ResamplingCommands : public SignalTest {
protected:
    const dsptest::Fixture& Ref()
    {
        static const dsptest::Fixture f("deconvolution.txt");
        return f;
    }
    void AnswerDecon(const char* method, const char* prewhitening, const char* lengthMs)
    {
        ui.AnswerDialog("CDeconvolutionDlg",
                        {{"Method", method}, {"Pre-whitening", prewhitening}, {"Opelator length", lengthMs}});
    }
    bool AllFinite(int traces, int samples) const
    {
        for (int i = 0; i < traces; ++i) {
            for (float v : Row(i, samples)) {
                if (!std::isfinite(v)) return false;
            }
        }
        return true;
    }
};

double Correlation(const std::vector<double>& a, const std::vector<double>& b)
{
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        ab += a[i] * b[i];
        aa += a[i] * a[i];
        bb += b[i] * b[i];
    }
    return ab / std::sqrt(aa * bb);
}

double Kurtosis(const std::vector<double>& v)
{
    double m2 = 0, m4 = 0;
    for (double x : v) {
        m2 += x * x;
        m4 += x * x * x * x;
    }
    m2 /= static_cast<double>(v.size());
    m4 /= static_cast<double>(v.size());
    return m4 / (m2 * m2);
}

// Done when: Known wavelet recovers the spikes; lengths; the refusals; a dead trace.
TEST_F(ResamplingCommands, KnownWaveletRecoversSpikes)
{
    // Seven taps whose zeros all lie inside the unit circle.
    const std::complex<double> zeros[6] = {{0.5, 0.0}, {-0.4, 0.0}, {0.3, 0.3}, {0.3, -0.3}, {-0.2, 0.5}, {-0.2, -0.5}};
    std::vector<std::complex<double>> poly{1.0};
    for (const auto& z : zeros) {
        std::vector<std::complex<double>> next(poly.size() + 1, 0.0);
        for (size_t k = 0; k < poly.size(); ++k) {
            next[k] += poly[k];
            next[k + 1] -= z * poly[k];
        }
        poly = next;
    }
    std::vector<double> wavelet(1000, 0.0), spikes(1000, 0.0), trace(1000, 0.0);
    for (size_t k = 0; k < poly.size(); ++k) wavelet[k] = poly[k].real();
    const std::vector<double> amp = dsptest::SignalLcg(7, 30);
    for (size_t s = 0; s < 30; ++s) spikes[20 + 31 * s] = amp[s] + (amp[s] >= 0 ? 0.5 : -0.5);
    for (size_t i = 0; i < 1000; ++i)
        for (size_t k = 0; k < 7 && k <= i; ++k) trace[i] += wavelet[k] * spikes[i - k];
    Load({wavelet, trace}, 1000.0f);
    ws->store.Params().selectionFlags[0] = 1;

    AnswerDecon("Levinson's method", "0.1", "50");
    ASSERT_EQ(OnKnownWavelet(*ws, ui, progress), 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 1024);
    EXPECT_EQ(ws->store.current.headers[1].samples, 1024);
    const std::vector<float> out = Row(1, 1000);
    const std::vector<double> got(out.begin(), out.end());
    EXPECT_GE(Correlation(got, spikes), 0.9);
    EXPECT_GT(Kurtosis(got), Kurtosis(trace));
    EXPECT_EQ(ws->store.undoDepth, 1);

    // Unknown wavelet on a record with a dead trace: 1024 samples, no NaN, the dead trace 0.
    Load({trace, std::vector<double>(1000, 0.0)}, 1000.0f);
    AnswerDecon("Gauss method", "1", "50");
    ASSERT_EQ(OnUnknownWavelet(*ws, ui, progress), 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 1024);
    EXPECT_TRUE(AllFinite(2, 1024));
    EXPECT_EQ(ws->store.current.params.traceMaxima[1], 0.0f);

    // An operator of one sample is refused before any change of the data.
    AnswerDecon("Levinson's method", "1", "1");
    ui.ExpectMessage("The operator length is too short !");
    EXPECT_EQ(OnWienerOperator(*ws, ui, progress), 0);
    EXPECT_EQ(ws->deconvolution.operatorLength, 1.0f);

    // Known wavelet without a selected trace.
    ws->store.Params().ClearFlags();
    AnswerDecon("Levinson's method", "1", "10");
    ui.ExpectMessage("基本波形が指定されていません");
    EXPECT_EQ(OnKnownWavelet(*ws, ui, progress), 0);
}

// Done when: spline lengths and refusal.
TEST_F(ResamplingCommands, SplineResampleLengthsAndRefusal)
{
    LoadLcg(3, 2, 1000, 1000.0f);
    const std::vector<float> before = Row(0, 1000);
    ui.AnswerDialog("CResamplingDlg", {{"Sampling time", "0.5"}});
    ASSERT_EQ(OnSplineResample(*ws, ui, progress), 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 2000);
    EXPECT_EQ(ws->store.current.headers[1].samples, 2000);
    EXPECT_FLOAT_EQ(ws->store.current.headers[1].intervalUs, 500.0f);
    const std::vector<float> after = Row(0, 2000);
    for (int k = 0; k < 1000; k += 37) EXPECT_NEAR(after[2 * k], before[k], 1e-6);

    LoadLcg(3, 2, 1000, 1000.0f);
    ui.AnswerDialog("CResamplingDlg", {{"Sampling time", "2"}});
    ASSERT_EQ(OnSplineResample(*ws, ui, progress), 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 500);
    EXPECT_FLOAT_EQ(ws->store.Params().sampleInterval, 2.0f);

    LoadLcg(3, 2, 1000, 1000.0f);
    const auto snapshot = Snapshot();
    ui.AnswerDialog("CResamplingDlg", {{"Sampling time", "0.1"}});
    ui.ExpectMessage(RecordLongerThanMaxSampleText(-1, 9999, 4100));  // trunc(1 / 0.1f x 1000)
    EXPECT_EQ(OnSplineResample(*ws, ui, progress), 0);
    EXPECT_EQ(Snapshot(), snapshot);
}

// Done when: time interpolation equals scipy.signal.resample of the zero-filled trace.
TEST_F(ResamplingCommands, TimeInterpolationMatchesScipy)
{
    LoadLcg(31, 1, 1000, 1000.0f);
    const std::vector<float> before = Row(0, 1000);
    ASSERT_EQ(OnTimeInterpolation(*ws, ui, progress, false), 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 2000);
    EXPECT_FLOAT_EQ(ws->store.Params().sampleInterval, 0.5f);
    const std::vector<float> out = Row(0, 2000);
    const std::vector<double> want = Ref().Get("time_interp_every7");
    const double peak = dsptest::MaxAbs(want);
    for (size_t k = 0; k < want.size(); ++k) EXPECT_NEAR(out[7 * k], want[k], 1e-6 * peak) << k;
    for (int k = 0; k < 1000; ++k) ASSERT_NEAR(out[2 * k], before[k], 1e-6 * peak) << k;
    float peakOut = 0.0f;
    for (float v : out) peakOut = std::max(peakOut, std::abs(v));
    EXPECT_FLOAT_EQ(ws->store.Params().recordMaximum, peakOut);  // maxima recomputed
}

// Done when: FK interpolation against numpy, headers, picks, capacity; thinning; FX with a
// dead trace.
TEST_F(ResamplingCommands, TraceInterpolationAndThinning)
{
    Build(128, 4100);
    LoadLcg(41, 24, 100, 1000.0f);
    for (int i = 0; i < 24; ++i) {
        ws->store.current.headers[static_cast<size_t>(i)].receiverHundredths = 200 * i + 1000;
        ws->store.Params().pickTimes[static_cast<size_t>(i)] = 10.0f + 2.0f * static_cast<float>(i);
    }
    ASSERT_EQ(OnTraceInterpolationFk(*ws, ui, progress), 1);
    const WaveformStore& s = ws->store;
    ASSERT_EQ(s.TraceCount(), 48);
    EXPECT_EQ(s.Params().samplesPerTrace, 100);
    for (int j = 0; j < 48; ++j) {
        EXPECT_EQ(s.current.headers[static_cast<size_t>(j)].traceNumber, j + 1);
        EXPECT_EQ(s.current.headers[static_cast<size_t>(j)].receiverHundredths, 1000 + 100 * j);
        EXPECT_EQ(s.current.headers[static_cast<size_t>(j)].samples, 100);
        EXPECT_FLOAT_EQ(s.Params().pickTimes[static_cast<size_t>(j)], 10.0f + static_cast<float>(j)) << j;
    }
    const std::vector<double> want = Ref().Get("fk_every13");
    const double peak = dsptest::MaxAbs(want);
    for (size_t k = 0; k < want.size(); ++k) {
        const size_t flat = 13 * k;
        EXPECT_NEAR(Row(static_cast<int>(flat / 100), 100)[flat % 100], want[k], 1e-5 * peak) << k;
    }
    // 2n above the capacity of 128.
    LoadLcg(41, 65, 100, 1000.0f);
    ui.ExpectMessage("The number of traces was too large ! \n Maximum trace number is 128");
    EXPECT_EQ(OnTraceInterpolationFk(*ws, ui, progress), 0);
    EXPECT_EQ(ws->store.TraceCount(), 65);

    // Thinning 5 traces keeps old 0 and 2 with their whole headers and picks.
    LoadLcg(5, 5, 50, 1000.0f);
    for (int i = 0; i < 5; ++i) {
        ws->store.current.headers[static_cast<size_t>(i)].component = 10 + i;
        ws->store.Params().pickTimes[static_cast<size_t>(i)] = static_cast<float>(i);
    }
    const std::vector<float> old2 = Row(2, 50);
    ASSERT_EQ(OnTraceThinning(*ws, ui), 1);
    ASSERT_EQ(ws->store.TraceCount(), 2);
    EXPECT_EQ(ws->store.current.headers[1].component, 12);
    EXPECT_EQ(ws->store.current.headers[1].traceNumber, 2);
    EXPECT_EQ(ws->store.current.headers[1].receiverHundredths, 300);
    EXPECT_FLOAT_EQ(ws->store.Params().pickTimes[1], 2.0f);
    EXPECT_EQ(Row(1, 50), old2);

    // FX with a dead trace: 2n - 1 traces, no NaN.
    Load({dsptest::SignalLcg(1, 64), std::vector<double>(64, 0.0), dsptest::SignalLcg(2, 64)}, 1000.0f);
    ASSERT_EQ(OnTraceInterpolationFxUnaliased(*ws, ui, progress), 1);
    EXPECT_EQ(ws->store.TraceCount(), 5);
    EXPECT_TRUE(AllFinite(5, 64));
    EXPECT_EQ(ws->store.current.headers[1].receiverHundredths, 150);

    // Not time-domain data.
    ws->store.dataKind() = kRealSpectrum;
    ui.ExpectMessage("Not the time-domain");
    EXPECT_EQ(OnTraceInterpolationFxUnaliased(*ws, ui, progress), 0);
}

}  // namespace
}  // namespace velk
