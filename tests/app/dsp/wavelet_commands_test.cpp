#include "app/dsp/wavelet_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/operations.h"
#include "dsp/wavelet.h"
#include "app/dsp/signal_fixture.h"

namespace velk {
namespace {

using signaltest::SignalTest;

FieldValues Wavelet(const char* type, const char* frequency)
{
    return {{"Type", type}, {"Frequency", frequency}};
}

class WaveletCommands : public SignalTest {
protected:
    dsptest::Fixture fx{"convolution.txt"};
};

TEST_F(WaveletCommands, ConvolutionMatchesNumpyAndGrowsTheRecord)
{
    Load({dsptest::SignalLcg(9400, 500)}, 1000.0f);
    ws->store.displayFactor[0] = 2.0f;
    ui.AnswerDialogWith(CWaveletDlg::kClass, [](DialogRequest& r) {
        EXPECT_EQ(r.Title(), "Wavelet");
        EXPECT_EQ(r.Find("Type")->Text(), "5:Ricker wavelet");  // the type at start
        EXPECT_EQ(r.Find("Frequency")->Text(), "0");
        return r.SetFromText("Frequency", "40").empty();
    });
    ASSERT_EQ(OnWaveletConvolution(*ws, ui, progress), 1);
    const std::vector<double>& ref = fx.Get("wavelet_0");
    const std::vector<float> got = Row(0, 512);
    const double peak = dsptest::MaxAbs(ref);
    for (size_t j = 0; j < ref.size(); ++j) EXPECT_NEAR(got[j], ref[j], 1e-6 * peak) << j;
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 512);
    EXPECT_EQ(ws->store.current.headers[0].samples, 512);
    EXPECT_EQ(ws->store.displayFactor[0], 1.0f);
    EXPECT_EQ(ws->wavelet.frequency, 40.0f);
    EXPECT_EQ(ws->store.undoDepth, 1);
    EXPECT_EQ(progress.Record().texts, std::vector<std::string>{" Convolution : trace = 1 "});
}

TEST_F(WaveletCommands, CancelAndRefusalsLeaveTheStoreAsItWas)
{
    Load({dsptest::SignalLcg(9401, 500)}, 1000.0f);
    const std::vector<uint8_t> before = Snapshot();
    ui.CancelDialog(CWaveletDlg::kClass);
    EXPECT_EQ(OnWaveletConvolution(*ws, ui, progress), 0);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(ws->store.undoDepth, 0);

    ui.AnswerDialog(CWaveletDlg::kClass, Wavelet("0:Gobor wavelet", "0"));
    ui.ExpectMessage("The wavelet frequency must be above 0 Hz !");
    EXPECT_EQ(OnWaveletConvolution(*ws, ui, progress), 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(WaveletCommands, TheWindowedWaveletLeavesItsEmptyFile)
{
    Load({dsptest::SignalLcg(9402, 300)}, 1000.0f);
    ui.AnswerDialog(CWaveletDlg::kClass, Wavelet("9:Windowed wavelet", "80"));
    ASSERT_EQ(OnWaveletConvolution(*ws, ui, progress), 1);
    EXPECT_TRUE(std::filesystem::exists(folder.File("windowed_wavelet.txt")));
    EXPECT_EQ(testing::ReadFileText(folder.File("windowed_wavelet.txt")), "");
}

TEST_F(WaveletCommands, SourceConvolutionOfTypesFiveAndEightMatchesNumpy)
{
    for (const char* type : {"5:Ricker wavelet", "8:Delta function"}) {
        Load({dsptest::SignalLcg(9500, 200)}, 1000.0f);
        CWaveOperations ops(*ws, ui, progress);
        ASSERT_EQ(ops.ForwardFft(), 1);
        const int depth = ws->store.undoDepth;
        ui.AnswerDialog(CWaveletDlg::kClass, Wavelet(type, "30"));
        ASSERT_EQ(OnSourceConvolution(*ws, ui), 1);
        const std::string name = std::string("source") + type[0] + "_0";
        const std::vector<double>& re = fx.Get("re_" + name);
        const std::vector<double>& im = fx.Get("im_" + name);
        const std::vector<float> gotRe = Row(0, 256), gotIm = Imag(0, 256);
        const double peak = std::max(dsptest::MaxAbs(re), dsptest::MaxAbs(im));
        for (size_t j = 0; j < 256; ++j) {
            EXPECT_NEAR(gotRe[j], re[j], 1e-6 * peak) << type << " " << j;
            EXPECT_NEAR(gotIm[j], im[j], 1e-6 * peak) << type << " " << j;
        }
        EXPECT_EQ(ws->store.undoDepth, depth);  // no snapshot of its own
        EXPECT_EQ(ws->store.current.imagMaximum, [&] {
            float m = 0.0f;
            for (float v : gotIm) m = std::max(m, std::fabs(v));
            return m;
        }());
    }
}

TEST_F(WaveletCommands, SourceConvolutionRefusesOtherTypesAndOtherData)
{
    Load({dsptest::SignalLcg(9501, 200)}, 1000.0f);
    ui.ExpectMessage("Not frequency domain data");
    EXPECT_EQ(OnSourceConvolution(*ws, ui), 0);

    CWaveOperations ops(*ws, ui, progress);
    ASSERT_EQ(ops.ForwardFft(), 1);
    const std::vector<uint8_t> before = Snapshot();
    ui.AnswerDialog(CWaveletDlg::kClass, Wavelet("6:Hanning windowed Ricker wavlet", "30"));
    ui.ExpectMessage("Source convolution uses the wavelet types 5 (Ricker) and 8 (Delta function) only !");
    EXPECT_EQ(OnSourceConvolution(*ws, ui), 0);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(ws->wavelet.type, 6);  // the choice is kept for the next dialog
}

}  // namespace
}  // namespace velk
