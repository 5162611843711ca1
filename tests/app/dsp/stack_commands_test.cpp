// Vertical stack, Subtract and Connect on whole records: grouping by receiver, headers,
// the dialog road, refusals and groups of any size.

#include "app/dsp/stack_commands.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/dsp/data_kind.h"
#include "app/operations.h"
#include "app/store_commands.h"
#include "dsp/stacking.h"
#include "app/dsp/signal_fixture.h"

namespace velk {
namespace {

using signaltest::SignalTest;

class Stack : public SignalTest {
protected:
    CTraceHeader& Header(int i) { return ws->store.current.headers[static_cast<size_t>(i)]; }
    // Traces of generator values at the given receivers (m); each source word tells the trace.
    void LoadAt(const std::vector<int>& receivers, int samples)
    {
        LoadLcg(40, static_cast<int>(receivers.size()), samples, 500.0f);
        for (size_t i = 0; i < receivers.size(); ++i) {
            Header(static_cast<int>(i)).receiverHundredths = receivers[i] * 100;
            Header(static_cast<int>(i)).sourceHundredths = static_cast<int32_t>(i);
        }
    }
    std::vector<double> Input(int trace, int samples) const
    {
        return dsptest::SignalLcg(40 + static_cast<uint32_t>(trace), static_cast<size_t>(samples));
    }
    // Answers the dialog with the method and window (then the message, if one is expected).
    int RunStack(int method, const char* window = "1", const char* message = nullptr)
    {
        static const char* const kLabels[] = {"1. Average", "2. Summation", "3. Semblance",
                                              "4. Semblance weighted stack"};
        ui.AnswerDialog(CVerticalStackDlg::kClass, {{CVerticalStackDlg::kMethod, kLabels[method]},
                                                    {CVerticalStackDlg::kWindow, window}});
        if (message) ui.ExpectMessage(message);
        CWaveOperations ops(*ws, ui, progress);
        return ops.Run([](CWaveOperations& o) { return o.VerticalStack(); });
    }
};

TEST_F(Stack, ThreeReceiversGiveThreeTracesInReceiverOrder)
{
    // Receivers 3, 1, 2, 1, 3, 1 m: groups {1, 3, 5}, {2}, {0, 4} after the stable sort.
    LoadAt({3, 1, 2, 1, 3, 1}, 50);
    ASSERT_EQ(RunStack(0), 1);
    ASSERT_EQ(ws->store.TraceCount(), 3);
    const std::vector<std::vector<int>> groups{{1, 3, 5}, {2}, {0, 4}};
    for (int g = 0; g < 3; ++g) {
        EXPECT_EQ(Header(g).traceNumber, g);
        EXPECT_EQ(Header(g).receiverHundredths, (g + 1) * 100);
        EXPECT_EQ(Header(g).sourceHundredths, groups[static_cast<size_t>(g)].back());  // the last trace's header
        const std::vector<float> row = Row(g, 50);
        for (int t = 0; t < 50; ++t) {
            double mean = 0.0;
            for (int i : groups[static_cast<size_t>(g)]) mean += static_cast<float>(Input(i, 50)[static_cast<size_t>(t)]);
            mean /= static_cast<double>(groups[static_cast<size_t>(g)].size());
            EXPECT_EQ(row[static_cast<size_t>(t)], static_cast<float>(mean)) << g << " " << t;
        }
    }
    // A lone trace comes back unchanged.
    const std::vector<double> lone = Input(2, 50);
    EXPECT_EQ(Row(1, 50), std::vector<float>(lone.begin(), lone.end()));
    EXPECT_EQ(ws->store.Params().tracesShown, 3);
    EXPECT_EQ(progress.Record().Text(), "Vertical stacking : trace = 1       ");

    // Undo returns the sorted record.
    ASSERT_TRUE(RestoreUndo(*ws));
    EXPECT_EQ(ws->store.TraceCount(), 6);
    EXPECT_EQ(Header(0).sourceHundredths, 1);
    EXPECT_EQ(Header(5).sourceHundredths, 4);
}

TEST_F(Stack, ShortTracesCountZeroBeyondTheirSamples)
{
    LoadAt({1, 1}, 40);
    // Trace 2 holds 30 samples; its row beyond them must not count.
    Header(1).samples = 30;
    ws->store.current.rows.Row(1)[35] = 1000.0f;
    ASSERT_EQ(RunStack(1), 1);
    const std::vector<double> a = Input(0, 40), b = Input(1, 40);
    EXPECT_EQ(Row(0, 40)[10], static_cast<float>(static_cast<float>(a[10]) + static_cast<double>(static_cast<float>(b[10]))));
    EXPECT_EQ(Row(0, 40)[35], static_cast<float>(a[35]));

}

TEST_F(Stack, CancelAndAnUnusableIntervalChangeNothing)
{
    LoadAt({2, 1}, 20);
    const auto before = Snapshot();
    ui.CancelDialog(CVerticalStackDlg::kClass);
    CWaveOperations ops(*ws, ui, progress);
    EXPECT_EQ(ops.Run([](CWaveOperations& o) { return o.VerticalStack(); }), 0);
    EXPECT_EQ(ws->verticalStackAccepted.Value(), 0);
    EXPECT_EQ(Snapshot(), before);

    ws->store.Params().sampleInterval = -1.0f;
    const auto withBadInterval = Snapshot();
    EXPECT_EQ(RunStack(3, "1", "The sampling time of this record is not valid."), 0);
    EXPECT_EQ(Snapshot(), withBadInterval);
    EXPECT_TRUE(ui.VerifyAndClear());
}

TEST_F(Stack, AGroupOf150TracesStacks)
{
    Build(160, 512);
    LoadAt(std::vector<int>(150, 7), 8);
    ASSERT_EQ(RunStack(1), 1);
    EXPECT_EQ(ws->store.TraceCount(), 1);
    double sum = 0.0;
    for (int i = 0; i < 150; ++i) sum += static_cast<float>(Input(i, 8)[3]);
    EXPECT_NEAR(Row(0, 8)[3], sum, 1e-5);
}

TEST_F(Stack, SubtractSecondMinusFirst)
{
    LoadAt({1, 2, 1}, 30);
    ASSERT_EQ(OnSubtract(*ws, progress), 1);
    ASSERT_EQ(ws->store.TraceCount(), 2);
    const std::vector<double> first = Input(0, 30), second = Input(2, 30), lone = Input(1, 30);
    for (int t = 0; t < 30; ++t) {
        EXPECT_EQ(Row(0, 30)[static_cast<size_t>(t)],
                  static_cast<float>(second[static_cast<size_t>(t)]) - static_cast<float>(first[static_cast<size_t>(t)]));
    }
    EXPECT_EQ(Row(1, 30), std::vector<float>(lone.begin(), lone.end()));  // one trace: unchanged
    EXPECT_EQ(Header(0).sourceHundredths, 2);
}

TEST_F(Stack, ConnectJoinsTracesAndRefusesWhatTheRowsCannotHold)
{
    Load({dsptest::SignalLcg(1, 1000), dsptest::SignalLcg(2, 1500)}, 500.0f);
    ws->store.current.headers[1].receiverHundredths = 100;
    ASSERT_EQ(OnConnect(*ws, ui, progress), 1);
    ASSERT_EQ(ws->store.TraceCount(), 1);
    EXPECT_EQ(Header(0).samples, 2500);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 2500);
    EXPECT_EQ(ws->store.Params().samplesShown, 2500);
    EXPECT_FLOAT_EQ(ws->store.Params().shownTime, 1250.0f);
    EXPECT_EQ(Row(0, 2500)[1000], static_cast<float>(dsptest::SignalLcg(2, 1)[0]));

    Load({dsptest::SignalLcg(1, 3000), dsptest::SignalLcg(2, 2000)}, 500.0f);
    ws->store.current.headers[1].receiverHundredths = 100;
    const auto before = Snapshot();
    ui.ExpectMessage(RecordLongerThanMaxSampleText(-1, 5000, 4100));
    EXPECT_EQ(OnConnect(*ws, ui, progress), 0);
    EXPECT_EQ(Snapshot(), before);
}

}  // namespace
}  // namespace velk
