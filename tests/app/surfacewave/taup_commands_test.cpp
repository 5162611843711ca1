// "Velocity analysis (tau-p)" and the tau-p stack over the file list, run headless.

#include "app/surfacewave/taup_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "app/formats/file_road_fixture.h"
#include "app/surfacewave/surfacewave_seams.h"
#include "formats/eight_header.h"
#include "platform/uihost.h"

namespace velk {
namespace {

using testing::FileRoad;

// 24 traces at 1..24 m from a source at 0, 1 ms sampling, one spike per trace on t = 20 ms + p0 x.
void LinearEvent(float p0, Matrix2D<float>& rows, std::vector<CTraceHeader>& headers)
{
    for (int t = 0; t < 24; ++t) {
        headers[static_cast<size_t>(t)].Set(t + 1, 100 * (t + 1), 0, 1, 1, 0.0f, 1000.0f, 256);
        const auto row = rows.Row(rows.RowLow() + t);
        std::fill(row.begin(), row.end(), 0.0f);
        row[static_cast<size_t>(20 + std::lround(p0 * (t + 1)))] = 1.0f;
    }
}

// The first 256 samples of rows 0..23.
std::vector<float> Samples(const Matrix2D<float>& rows)
{
    std::vector<float> v;
    for (int t = 0; t < 24; ++t) v.insert(v.end(), rows.Row(t).begin(), rows.Row(t).begin() + 256);
    return v;
}

class QuietProgress : public ProgressSink {
public:
    void SetRange(int) override {}
    void StepIt() override {}
    void SetText(const std::string&) override {}
};

class TauPCommands : public ::testing::Test, public FileRoad {
protected:
    TauPCommands() : FileRoad("[General]\nMAXTRACES=64\n")
    {
        ws.olvenarLink.reset();  // no viewer in tests
        LinearEvent(2.5f, ws.store.current.rows, ws.store.current.headers);
        CParameterSet& p = ws.store.Params();
        p.traceCount = 24, p.samplesPerTrace = 256, p.sampleInterval = 1.0f;
    }
    std::string VelocityFile() const
    {
        std::ifstream in(folder.File("velocity.txt"));
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(TauPCommands, VelocityAnalysisReportsTheEventAndLeavesTheRecord)
{
    const std::vector<float> before = Samples(ws.store.current.rows);
    ui.AnswerDialog("CTauPTransformDlg", {{"Minimum p", "0.5"}, {"Maximum p", "5"}, {"Intervals", "0.25"}});
    ui.ExpectAnyMessage();
    EXPECT_EQ(FileRoad::Run(OnVelocityAnalysisTauP), 1);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].rfind("The phase velocity of maximum semblance is 400.000000m/s. \n Average semblance=", 0),
              0u);
    EXPECT_NE(VelocityFile().find("0.400000 1.000000 \n"), std::string::npos);
    EXPECT_EQ(Samples(ws.store.current.rows), before);
    EXPECT_EQ(ws.tauP.slownessStep, 0.25f);
}

TEST_F(TauPCommands, SlownessCountAndZeroSlowness)
{
    struct Case {
        const char* start;
        int lines;
        bool zeroLine;
    };
    for (const Case& c : {Case{"0.05", 10, false}, Case{"0", 11, true}}) {
        ui.AnswerDialog("CTauPTransformDlg", {{"Minimum p", c.start}, {"Maximum p", "0.5"}, {"Intervals", "0.05"}});
        ui.ExpectAnyMessage();
        FileRoad::Run(OnVelocityAnalysisTauP);
        const std::string text = VelocityFile();
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), c.lines) << c.start;
        EXPECT_EQ(text.rfind("0.000000 ", 0) == 0, c.zeroLine) << c.start;
        EXPECT_EQ(text.find("inf"), std::string::npos);
        EXPECT_EQ(text.find("nan"), std::string::npos);
    }
    // More slownesses than the store has traces (64): the rest of the range is named.
    ui.AnswerDialog("CTauPTransformDlg", {{"Minimum p", "0.01"}, {"Maximum p", "1.5"}, {"Intervals", "0.01"}});
    ui.ExpectMessage("The analysis holds at most 64 slownesses (MAXTRACES): 86 slownesses from p = 0.650000 on were "
                     "not analysed.");
    ui.ExpectAnyMessage();
    FileRoad::Run(OnVelocityAnalysisTauP);
    const std::string text = VelocityFile();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 64);
    EXPECT_EQ(TauPResultText(-1, 0.0f, 0.5f),
              "The semblance is largest at p = 0 (no finite velocity). \n Average semblance=0.500000");
}

TEST_F(TauPCommands, StackOverTheListPutsEachMaximumAtItsSlowness)
{
    CFileGroup& g = ws.fileGroup;
    g.listFolder = folder.Path();
    g.sourceFromFile.fill(0);
    g.receiversFromFile.fill(0);
    const float p0[] = {1.0f, 2.0f, 3.0f};
    for (int f = 0; f < 3; ++f) {
        Matrix2D<float> rows(0, 23, 0, 255);
        std::vector<CTraceHeader> headers(24);
        LinearEvent(p0[f], rows, headers);
        const std::string name = "s" + std::to_string(f) + ".8hd";
        ASSERT_TRUE(WriteEightHeaderFile(folder.File(name), rows, headers, 24).ok);
        g.AddFile(name, 0.0f, 1.0f, 1.0f);
    }
    ws.tauP.startSlowness = 0.5f, ws.tauP.endSlowness = 3.5f, ws.tauP.slownessStep = 0.5f, ws.tauP.stackingMode = 0;
    QuietProgress progress;
    ASSERT_EQ(TauPStack(ws, ui, progress, 0.0f, 100.0f, 0), 3);
    EXPECT_EQ(ws.store.TraceCount(), 3);
    for (int f = 0; f < 3; ++f) {
        EXPECT_FLOAT_EQ(S(f, 1 + 2 * f), 1.0f) << f;  // p = 0.5 + 0.5 i
        EXPECT_EQ(H(f).samples, 7);
        EXPECT_EQ(H(f).receiverHundredths, 1250);  // mean of 1 m and 24 m
        EXPECT_EQ(H(f).gain, 10);
    }

    // More files than MAXTRACES: refused before the store changes.
    for (int f = 3; f < 65; ++f) g.AddFile("s0.8hd", 0.0f, 1.0f, 1.0f);
    const std::vector<float> before = Samples(ws.store.current.rows);
    ui.ExpectAnyMessage();
    EXPECT_EQ(TauPStack(ws, ui, progress, 0.0f, 100.0f, 0), 0);
    EXPECT_EQ(ui.Messages().back().rfind("The number of traces was too large ! \n Maximum trace number is 64\n", 0), 0u);
    EXPECT_EQ(Samples(ws.store.current.rows), before);
    EXPECT_EQ(ws.store.TraceCount(), 3);
}

}  // namespace
}  // namespace velk
