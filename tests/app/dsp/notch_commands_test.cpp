#include "app/dsp/notch_commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "dsp/notch.h"
#include "app/dsp/signal_fixture.h"

namespace velk {
namespace {

using signaltest::SignalTest;

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// sum_h a_h sin(2 pi h f j dt / 1000 + p_h) (+ noise x lcg) as floats.
std::vector<double> Hum(size_t n, double dtMs, double f, std::vector<double> a, std::vector<double> p,
                        double noise = 0.0, uint32_t seed = 0)
{
    const std::vector<double> x = dsptest::SignalLcg(seed, n);
    std::vector<double> out(n);
    for (size_t j = 0; j < n; ++j) {
        double v = noise * x[j];
        for (size_t h = 0; h < a.size(); ++h) {
            v += a[h] * std::sin(kTwoPi * f * static_cast<double>(h + 1) * static_cast<double>(j) * dtMs / 1000.0 + p[h]);
        }
        out[j] = static_cast<float>(v);
    }
    return out;
}

double Rms(const std::vector<float>& x, size_t from, size_t to)
{
    double s = 0.0;
    for (size_t j = from; j < to; ++j) s += static_cast<double>(x[j]) * x[j];
    return std::sqrt(s / static_cast<double>(to - from));
}

// Least-squares amplitude of the f Hz sinusoid in x.
double ToneAmplitude(const std::vector<float>& x, double f, double dtMs)
{
    double ss = 0, cc = 0, sc = 0, xs = 0, xc = 0;
    for (size_t j = 0; j < x.size(); ++j) {
        const double w = kTwoPi * f * static_cast<double>(j) * dtMs / 1000.0;
        const double s = std::sin(w), c = std::cos(w);
        ss += s * s, cc += c * c, sc += s * c, xs += x[j] * s, xc += x[j] * c;
    }
    const double det = ss * cc - sc * sc;
    return std::hypot((xs * cc - xc * sc) / det, (xc * ss - xs * sc) / det);
}

class NotchCommands : public SignalTest {
protected:
    void Picks(std::vector<float> ms)
    {
        for (size_t i = 0; i < ms.size(); ++i) ws->store.Params().pickTimes[i] = ms[i];
    }
    static std::function<bool(DialogRequest&)> Lsq(FieldValues values)
    {
        return [values](DialogRequest& r) {
            for (const auto& [name, text] : values) {
                if (!r.SetFromText(name, text).empty()) return false;
            }
            return true;
        };
    }
};

TEST_F(NotchCommands, SpectralNotchMatchesNumpyAndRemembersTheChoice)
{
    const dsptest::Fixture fx("notch.txt");
    Load({dsptest::SignalLcg(9200, 1000)}, 1000.0f);
    ui.AnswerDialogWith(CNotchFilterDlg::kClass, [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Other frequency")->Text(), "55");  // the hum frequency at start
        EXPECT_EQ(r.Find("Frequency")->Text(), "50Hz");
        EXPECT_EQ(r.Find("Delete harmonic components")->Text(), "1");
        return true;
    });
    ASSERT_EQ(OnNotchFilter(*ws, ui), 1);
    const std::vector<double>& ref = fx.Get("spectral_0");
    const std::vector<float> got = Row(0, 1000);
    for (size_t j = 0; j < ref.size(); ++j) EXPECT_NEAR(got[j], ref[j], 1e-6) << j;
    EXPECT_EQ(ws->store.undoDepth, 1);
}

TEST_F(NotchCommands, SpectralNotchTakesTenDecibelsOffAFiftyHertzTone)
{
    Load({Hum(1000, 1.0, 50.0, {1.0}, {0.2})}, 1000.0f);
    ui.AnswerDialog(CNotchFilterDlg::kClass, {{"Delete harmonic components", "0"}});
    ASSERT_EQ(OnNotchFilter(*ws, ui), 1);
    EXPECT_LT(20.0 * std::log10(ToneAmplitude(Row(0, 1000), 50.0, 1.0)), -10.0);
}

TEST_F(NotchCommands, NotchFrequenciesOutsideTheSpectrumAreRefused)
{
    Load({dsptest::SignalLcg(9201, 1000)}, 1000.0f);
    const std::vector<uint8_t> before = Snapshot();
    for (const char* f : {"0", "500", "-3"}) {
        ui.AnswerDialog(CNotchFilterDlg::kClass, {{"Frequency", "Other frequency"}, {"Other frequency", f}});
        ui.ExpectMessage("The notch frequency must lie above 0 Hz and below the Nyquist frequency (500 Hz) !");
        EXPECT_EQ(OnNotchFilter(*ws, ui), 0) << f;
        EXPECT_EQ(Snapshot(), before) << f;
    }
}

TEST_F(NotchCommands, LeastSquaresNotchRemovesDriftingHumBeforeThePick)
{
    const dsptest::Fixture fx("notch.txt");
    std::vector<std::vector<double>> traces;
    for (int t = 0; t < 4; ++t) {
        traces.push_back(Hum(1000, 1.0, 50.3, {0.8}, {0.6 + 0.7 * t}, 0.05, 9300 + static_cast<uint32_t>(t)));
    }
    traces.push_back(Hum(1000, 1.0, 50.3, {0.8}, {0.0}));
    Load(traces, 1000.0f);
    Picks({200, 200, 200, 200, 8});  // the last pick lies 8 samples in: skipped
    const std::vector<float> skipped = Row(4, 1000);
    ui.AnswerDialogWith(CLsqNotchDlg::kClass, [&](DialogRequest& r) {
        EXPECT_EQ(r.Find("Initial frequency")->Text(), "50.7812");  // 26 x 1000 / 512
        EXPECT_EQ(r.Find("Fixed frequency")->Text(), "50Hz");
        return r.SetFromText("Fixed frequency", "Automatic").empty() && r.SetFromText("Coarse sampling", "1").empty();
    });
    ASSERT_EQ(OnLsqNotchFilter(*ws, ui, progress), 1);
    EXPECT_EQ(Row(4, 1000), skipped);
    for (int t = 0; t < 4; ++t) {
        std::vector<float> noise(1000);
        const std::vector<double> x = dsptest::SignalLcg(9300 + static_cast<uint32_t>(t), 1000);
        for (size_t j = 0; j < noise.size(); ++j) noise[j] = static_cast<float>(0.05 * x[j]);
        EXPECT_LE(Rms(Row(t, 1000), 0, 200), 1.1 * Rms(noise, 0, 200)) << t;
    }
    EXPECT_EQ(progress.Record().texts.back(), " Calculating notch filter : trace = 5 ");
}

TEST_F(NotchCommands, CoarseSamplingSpansThePreArrivalPart)
{
    // Even samples carry the 50 Hz hum alone, odd ones a large offset, sample 200 a spike: with
    // the pick at 250 samples the window holds samples 0, 2, .., 198.
    std::vector<double> x = Hum(1000, 1.0, 50.0, {0.5}, {1.0});
    for (size_t j = 1; j < x.size(); j += 2) x[j] += 5.0;
    x[200] = 50.0;
    Load({x}, 1000.0f);
    Picks({250});
    ui.AnswerDialogWith(CLsqNotchDlg::kClass, Lsq({{"Coarse sampling", "1"}}));  // 50 Hz, one harmonic
    ASSERT_EQ(OnLsqNotchFilter(*ws, ui, progress), 1);
    const std::vector<float> y = Row(0, 1000);
    for (size_t j = 0; j < 200; j += 2) EXPECT_NEAR(y[j], 0.0, 1e-4) << j;
    EXPECT_NEAR(y[1], 5.0, 1e-4);
}

TEST_F(NotchCommands, HarmonicsAboveTheShortTransformsNyquistAreLeftOut)
{
    // 4 ms: the 128-point transform reaches 125 Hz, so of three harmonics of 50 Hz two are fitted.
    Load({Hum(500, 4.0, 50.0, {0.6, 0.2}, {0.3, -0.8}, 0.001, 7)}, 4000.0f);
    Picks({400});
    ui.AnswerDialogWith(CLsqNotchDlg::kClass, Lsq({{"Number of harmonics", "3"}}));
    ASSERT_EQ(OnLsqNotchFilter(*ws, ui, progress), 1);
    EXPECT_LT(Rms(Row(0, 500), 0, 500), 0.002);
    const std::string log = testing::ReadFileText(folder.File("lsm.txt"));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 50);
}

TEST_F(NotchCommands, CommonFrequencyMovesTheHumToTheFittedMean)
{
    std::vector<std::vector<double>> traces;
    for (int t = 0; t < 3; ++t) traces.push_back(Hum(600, 1.0, 59.2, {1.0}, {0.4 * t}, 0.01, 40 + static_cast<uint32_t>(t)));
    Load(traces, 1000.0f);
    Picks({300, 300, 300});
    ui.AnswerDialogWith(CLsqNotchDlg::kClass, Lsq({{"Fixed frequency", "Automatic"}, {"Common frequency", "1"}}));
    ASSERT_EQ(OnLsqNotchFilter(*ws, ui, progress), 1);
    EXPECT_NEAR(ws->notch.humFrequency, 59.2, 0.05);
    for (int t = 0; t < 3; ++t) EXPECT_LT(Rms(Row(t, 600), 0, 300), 0.02) << t;
    EXPECT_EQ(progress.Record().texts.size(), 33u);  // eleven passes over three traces
}

TEST_F(NotchCommands, WithoutAUsablePickNothingChanges)
{
    LoadLcg(9500, 2, 300, 1000.0f);
    Picks({0, 9.5f});
    const std::vector<float> r0 = Row(0, 300), r1 = Row(1, 300);
    ui.AnswerDialog(CLsqNotchDlg::kClass);
    ui.ExpectMessage("初動を読み取って下さい");
    EXPECT_EQ(OnLsqNotchFilter(*ws, ui, progress), 0);
    EXPECT_EQ(Row(0, 300), r0);
    EXPECT_EQ(Row(1, 300), r1);
    EXPECT_EQ(ws->store.undoDepth, 1);  // the snapshot taken before the picks were looked at

    const std::vector<uint8_t> before = Snapshot();
    ui.CancelDialog(CLsqNotchDlg::kClass);
    EXPECT_EQ(OnLsqNotchFilter(*ws, ui, progress), 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(NotchCommands, CuttingTheDominantFrequencyRemovesIt)
{
    Load({Hum(1000, 1.0, 55.0, {2.0}, {0.5}, 0.01, 3)}, 1000.0f);
    ASSERT_EQ(OnCutDominantFrequency(*ws, ui), 1);
    EXPECT_LT(Rms(Row(0, 1000), 0, 1000), 0.02);
    EXPECT_NEAR(ws->notch.humFrequency, 14 * 1000.0 / 256.0, 1e-4);  // the strongest bin of 256
    EXPECT_EQ(ws->store.undoDepth, 1);
}

}  // namespace
}  // namespace velk
