// The synthetic models of Option > Genarate waveform data, through their commands.

#include "app/traveltime/model_commands.h"

#include <cmath>
#include <vector>

#include "app/dsp/data_kind.h"
#include "app/operations.h"
#include "app/view/view_fixture.h"
#include "dsp/wavelet.h"

namespace velk {
namespace {

class ModelCommands : public viewtest::ViewTest {
protected:
    std::vector<std::vector<float>> Record() const
    {
        std::vector<std::vector<float>> rows;
        for (int i = 0; i < ws->store.TraceCount(); ++i) rows.push_back(Row(i, ws->store.Params().samplesPerTrace));
        return rows;
    }
};

TEST_F(ModelCommands, PointDiffractorsAreTheSumOfTheirTwoArrivals)
{
    Build("[General]\nMAXTRACES=256\n");
    ui.AnswerDialog("CZeroOffsetSectionDlg");
    ASSERT_EQ(OnPointDiffractors(*ws, ui), 1);
    ASSERT_EQ(ws->store.TraceCount(), 201);
    EXPECT_EQ(ws->modelling.migrationVelocity, 3.0f);
    EXPECT_EQ(ws->display.firstReceiver, 1.0f);
    EXPECT_EQ(ws->display.lastReceiver, 201.0f);
    const int n = 1024;
    const double dt = static_cast<double>(0.1f);
    std::vector<float> w(n + 2, 0.0f);
    CWaveletDlg::MakeWavelet(5, 0, n, w, 100.0f, 0.0f, 1.0f, 0.0f, 0.1f * 0.001f);
    for (int t = 0; t < 201; ++t) {
        const double x = t + 1.0;
        std::vector<double> expected(n, 0.0);
        const double paths[2] = {2.0 * std::hypot(80.0 - x, 20.0), 2.0 * std::hypot(120.0 - x, 40.0)};
        for (int a = 0; a < 2; ++a) {
            const int k = static_cast<int>(paths[a] / 3.0 / dt);
            for (int i = a == 0 ? k : k + 1; i < n; ++i) expected[i] -= w[i - k + 1] / paths[a];
        }
        const std::vector<float> row = Row(t, n);
        for (int j = 0; j < n; ++j) ASSERT_NEAR(row[j], expected[j], 1e-6) << t << " " << j;
        EXPECT_EQ(ws->store.current.headers[static_cast<size_t>(t)].receiverHundredths, 100 * (t + 1));
    }
    const std::vector<float> apex = Row(79, n);  // x = 80 m
    for (int j = 0; j < 133; ++j) EXPECT_EQ(apex[j], 0.0f);
    EXPECT_EQ(apex[133], static_cast<float>(-w[1] / 40.0));
}

TEST_F(ModelCommands, CapacityIsCheckedBeforeAnythingChangesAndUndoBringsTheRecordBack)
{
    Build("[General]\n");  // capacity 128
    Load(4, 50);
    const auto before = Record();
    ui.AnswerDialog("CImpulseDlg");
    ui.ExpectMessage(TracesTooLargeText(-1, 128));
    EXPECT_EQ(OnImpulse(*ws, ui), 0);
    EXPECT_EQ(Record(), before);
    EXPECT_EQ(ws->store.undoDepth, 0);

    Build("[General]\nMAXTRACES=512\n");
    Load(4, 50);
    ui.AnswerDialog("CImpulseDlg");
    ASSERT_EQ(OnImpulse(*ws, ui), 1);
    EXPECT_EQ(ws->store.TraceCount(), 201);
    EXPECT_NE(Row(100, 1024)[250], 0.0f);
    ASSERT_TRUE(ws->store.RestoreUndo());
    EXPECT_EQ(Record(), before);
}

TEST_F(ModelCommands, RandomModelsRepeatWithTheirSeedAndKeepTheirSpikesInside)
{
    ws->traceEdit.randomSeed = [] { return 12345u; };
    std::vector<std::vector<float>> first;
    for (int run = 0; run < 2; ++run) {
        ui.AnswerDialog("CWaveletDlg", {{"Frequency", "100"}, {"Type", "5:Ricker wavelet"}});
        CWaveOperations ops(*ws, ui);
        ASSERT_EQ(ops.ModelDeconvolution(), 1);
        if (run == 0) first = Record();
    }
    EXPECT_EQ(Record(), first);
    EXPECT_EQ(ws->store.mark[0], 1);
    for (int j = 1; j < 24; ++j) {
        int spikes = 0;
        for (float v : first[static_cast<size_t>(j)]) {
            if (v == 0.0f) continue;
            ++spikes;
            EXPECT_TRUE(v <= -0.5f && v >= -1.5f) << v;
        }
        EXPECT_GE(spikes, 1);
        EXPECT_LE(spikes, j);
    }
    for (int run = 0; run < 2; ++run) {
        ui.AnswerDialog("CHumFrequencyDlg", {{"Number of harmonics", "3"}});
        CWaveOperations ops(*ws, ui);
        ASSERT_EQ(ops.ModelHumNoise(), 1);
        if (run == 0) first = Record();
    }
    EXPECT_EQ(Record(), first);
    EXPECT_EQ(ws->hum.harmonics, 3);
    EXPECT_EQ(ws->store.Params().sampleInterval, 0.2f);
}

TEST_F(ModelCommands, TwoLayerRecordKeepsItsModel)
{
    ui.AnswerDialog("CTwoLayerRecordDlg", {{"Depth(y)", "8"}, {"1st Layer Velocity(v1)", "0.5"}, {"2nd Layer Velocity(v2)", "2"}});
    ASSERT_EQ(OnTwoLayerRecord(*ws, ui), 1);
    EXPECT_EQ(ws->theoretical.v1, 0.5f);
    EXPECT_EQ(ws->theoretical.v2, 2.0f);
    EXPECT_EQ(ws->theoretical.depth, 8.0f);
    EXPECT_EQ(ws->store.TraceCount(), 24);
    ui.CancelDialog("CTwoLayerRecordDlg");
    EXPECT_EQ(OnTwoLayerRecord(*ws, ui), 0);
}

}  // namespace
}  // namespace velk
