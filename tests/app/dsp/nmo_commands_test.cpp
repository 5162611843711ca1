// The NMO command and the gathers of a survey line, run against a file group held in memory.

#include "app/dsp/nmo_commands.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "app/dsp/data_kind.h"
#include "app/dsp/signal_fixture.h"
#include "formats/eight_header.h"
#include "survey/file_group.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using signaltest::SignalTest;

class NmoGathers : public SignalTest {
protected:
    // Entry of file `file` at receiver and source (x 100) with n samples of `value`.
    void Entry(int file, int receiver, int source, float value, int n = 50)
    {
        if (group.table.size() <= static_cast<size_t>(file)) group.table.resize(static_cast<size_t>(file) + 1);
        CTraceEntry e;
        e.use = 1;
        e.header.Set(1, receiver, source, 1, 1, 0.0f, 1000.0f, n);
        e.samples.assign(static_cast<size_t>(n), value);
        group.table[static_cast<size_t>(file)].push_back(e);
        group.entryCount = static_cast<int>(group.table.size());
    }
    GatherRun Run(int capacity) { return GatherRun{ui, progress, -1, capacity}; }

    CFileGroup group;
    Matrix2D<float> rows{0, 7, 0, 63};
    std::vector<CTraceHeader> headers = std::vector<CTraceHeader>(8);
};

TEST_F(NmoGathers, CommandCorrectsEveryTraceWithUndo)
{
    std::vector<double> ramp(400);
    for (int j = 0; j < 400; ++j) ramp[static_cast<size_t>(j)] = j;
    Load({ramp, ramp}, 1000.0f);
    ws->store.current.headers[0].receiverHundredths = 10000;  // 100 m
    ws->store.current.headers[1].receiverHundredths = 0;
    ui.AnswerDialogWith("CNmoCorrectionDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Velocity")->Text(), "3");  // MIGRATION_VELOCITY
        return r.SetFromText("Velocity", "1").empty();
    });
    ASSERT_EQ(OnNmoCorrection(*ws, ui), 1);
    EXPECT_EQ(Row(0, 400)[99], 140.0f);
    EXPECT_EQ(Row(1, 400)[99], 99.0f);  // zero offset
    EXPECT_EQ(ws->store.undoDepth, 1);
    EXPECT_EQ(ws->modelling.migrationVelocity, 1.0f);
}

TEST_F(NmoGathers, ConstantVelocityStackSumsEachMidpoint)
{
    // Midpoints from the table's positions: 5 m for the first three cells, 7 m for the last.
    const std::vector<int32_t> sources = {0, 200, 400, 500};
    const std::vector<int32_t> receivers = {600, 800, 900, 1000};
    group.AllocateTable(4, 4);
    group.sourceCount = 4;
    group.receiverCount = 4;
    std::copy(sources.begin(), sources.end(), group.sourcePositions.begin());
    std::copy(receivers.begin(), receivers.end(), group.receiverPositions.begin());
    auto cell = [&](int s, int r, float value) {
        CTraceHeader h;
        h.Set(1, receivers[static_cast<size_t>(r)], sources[static_cast<size_t>(s)], 1, 1, 0.0f, 1000.0f, 50);
        group.table[static_cast<size_t>(s)][static_cast<size_t>(r)].SetTrace(std::vector<float>(50, value), h);
    };
    cell(0, 3, 1.0f);
    cell(1, 1, 2.0f);
    cell(2, 0, 4.0f);
    cell(3, 2, 8.0f);
    group.cdpCount = 2;
    group.cdpPositions[0] = 500;
    group.cdpPositions[1] = 700;
    ASSERT_EQ(ConstantVelocityStack(group, rows, headers, Run(8), 100000.0f), 2);
    EXPECT_EQ(headers[0].receiverHundredths, 500);
    EXPECT_EQ(headers[1].receiverHundredths, 700);
    EXPECT_EQ(rows[0][10], 7.0f);
    EXPECT_EQ(rows[1][10], 8.0f);
    EXPECT_EQ(rows[0][55], 0.0f);  // beyond the traces' 50 samples
    EXPECT_EQ(progress.Record().texts.front(), "Constant velocity stacking ! CDP=0 # of traces=3");

    ui.ExpectMessage(TracesTooLargeText(-1, 2));  // three traces at one midpoint
    EXPECT_EQ(ConstantVelocityStack(group, rows, headers, Run(2), 1.0f), 0);
    group.cdpCount = 9;  // more midpoints than output rows
    ui.ExpectAnyMessage();
    EXPECT_EQ(ConstantVelocityStack(group, rows, headers, Run(100), 1.0f), 0);
}

TEST_F(NmoGathers, CommonOffsetGatherTakesTheNearestOffsetOfEachFile)
{
    // The member files on disk; 8-header files keep their own positions. Traces: receiver,
    // source (cm) and the value of every sample.
    testing::TempFolder dir;
    group.listFolder = dir.Path();
    auto shot = [&](const std::string& name, std::vector<std::array<int, 3>> traces) {
        const int n = static_cast<int>(traces.size());
        Matrix2D<float> r(0, n - 1, 0, 49);
        std::vector<CTraceHeader> h(traces.size());
        for (int k = 0; k < n; ++k) {
            const auto& t = traces[static_cast<size_t>(k)];
            h[static_cast<size_t>(k)].Set(1, t[0], t[1], 1, 1, 0.0f, 1000.0f, 50);
            for (float& v : r.Row(k)) v = static_cast<float>(t[2]);
        }
        ASSERT_TRUE(WriteEightHeaderFile(dir.File(name), r, h, n));
        group.AddFile(name, 0.0f, 0.0f, 1.0f);
    };
    group.spacing = 10.0f;
    shot("f0.8hd", {{{500, 0, 1}, {900, 0, 2}, {1100, 0, 3}}});  // 9 m: first of the two nearest
    shot("f1.8hd", {{{3000, 1500, 4}}});
    ASSERT_EQ(BuildCommonOffsetGather(group, headers, rows, Run(8)), 2);
    EXPECT_EQ(headers[0].receiverHundredths, 900);
    EXPECT_EQ(rows[0][3], 2.0f);
    EXPECT_EQ(rows[1][3], 4.0f);
    EXPECT_EQ(group.currentIndex, 1);
    EXPECT_EQ(progress.Record().texts, (std::vector<std::string>{"File=0/2", "File=1/2"}));
    ui.ExpectAnyMessage();
    EXPECT_EQ(BuildCommonOffsetGather(group, headers, rows, Run(1)), 0);
}

TEST_F(NmoGathers, CollectOffsetTracesSkipsTheNegativeSideAndRepeatedReceivers)
{
    group.spacing = 10.0f;
    Entry(0, 500, 0, 1.0f);
    Entry(0, 1000, 0, 2.0f);
    Entry(0, 2000, 0, 3.0f);
    Entry(1, 100, 2000, 5.0f);   // every receiver before the source
    Entry(1, 1500, 2000, 6.0f);
    Entry(2, 1000, 100, 7.0f);   // nearest, but the receiver of the trace before
    Entry(3, 3000, 2000, 9.0f);
    ASSERT_EQ(CollectOffsetTraces(group, rows, headers, Run(8)), 2);
    EXPECT_EQ(headers[0].receiverHundredths, 1000);
    EXPECT_EQ(headers[1].receiverHundredths, 3000);
    EXPECT_EQ(rows[1][0], 9.0f);
    EXPECT_EQ(group.table[0][1].mark, 1);
    EXPECT_EQ(group.table[2][0].mark, 0);
    ui.ExpectMessage(TracesTooLargeText(-1, 3));  // four shots do not fit three rows
    EXPECT_EQ(CollectOffsetTraces(group, rows, headers, Run(3)), 0);
}

}  // namespace
}  // namespace velk
