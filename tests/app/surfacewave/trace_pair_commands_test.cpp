// The trace-pair commands on a workspace: the phase-difference picks of a record and of the
// record a dispersion image keeps, and the refusals.

#include "app/surfacewave/trace_pair_commands.h"

#include <gtest/gtest.h>

#include "app/command_table.h"
#include "app/formats/document.h"
#include "app/view/draw_fixture.h"
#include "platform/recent_files.h"
#include "tools/fake_launcher.h"
#include "surfacewave/phase_velocity_curve_dlg.h"
#include "surfacewave/phase_velocity_test_record.h"

namespace velk {
namespace {

class TracePairCommandTest : public drawtest::DrawTest {
protected:
    void SetUp() override
    {
        Build("[General]\nMAXTRACES=64\nMAX_SAMPLE=4100\n");
        const testrecord::Record r = testrecord::Dispersive(false, 24);  // nfft / 8 = 512 bins
        WaveformStore& s = ws->store;
        s.Params().traceCount = r.traces;
        for (int i = 0; i < r.traces; ++i) {
            s.current.headers[static_cast<size_t>(i)] = r.headers[static_cast<size_t>(i)];
            for (int j = 0; j < r.samples; ++j) s.current.rows[i][j] = r.rows[i][j];
        }
        RecalcRecordExtents(*ws, 0);
    }

    int Run(int (*command)(CommandContext&))
    {
        CVelkarineDoc doc(*ws);
        RecentFileList recent;
        CommandContext ctx{*ws, ui, doc, recent};
        return command(ctx);
    }

    std::vector<float>& Picks() { return ws->store.Params().pickTimes; }
};

TEST_F(TracePairCommandTest, PhaseDifferenceAverageWritesOnePickPerTraceFromTheWaveforms)
{
    std::fill(Picks().begin(), Picks().end(), -7.0f);
    ui.AnswerDialog(CPhaseVelocityCurveDlg::kClass);
    ASSERT_EQ(Run(OnPhaseDifferenceAverage), 1);
    EXPECT_EQ(ws->display.phaseVelocityFileMode, 1);
    const double df = 1000.0 / (4096 * 0.5);
    for (int k = 0; k < 24; ++k) {
        const double f = k * df;
        const double expected = f > 4.0 ? testrecord::C0(f) : 0.0;
        EXPECT_NEAR(Picks()[static_cast<size_t>(k)], expected, 0.005 * expected) << k;
    }
    for (size_t k = 24; k < Picks().size(); ++k) EXPECT_EQ(Picks()[k], -7.0f) << k;  // 24 picks only
    const std::vector<float> fromRecord = Picks();

    // A dispersion image in the store: its waveforms are undo level 1.
    WaveformStore& s = ws->store;
    s.PushUndo();
    for (int i = 0; i < 24; ++i) std::fill(s.current.rows.Row(i).begin(), s.current.rows.Row(i).end(), 0.0f);
    s.dataKind() = kRealSpectrum;
    std::fill(Picks().begin(), Picks().end(), -7.0f);
    ui.AnswerDialog(CPhaseVelocityCurveDlg::kClass);
    ASSERT_EQ(Run(OnPhaseDifferenceAverage), 1);
    EXPECT_EQ(Picks(), fromRecord);

    ui.CancelDialog(CPhaseVelocityCurveDlg::kClass);
    std::fill(Picks().begin(), Picks().end(), -7.0f);
    EXPECT_EQ(Run(OnPhaseDifferenceAverage), 0);
    EXPECT_EQ(Picks()[10], -7.0f);
}

TEST_F(TracePairCommandTest, RulesAndTheTwoTraceRefusal)
{
    const CommandTable table = BuildCommandTable();
    RecentFileList recent;
    EXPECT_TRUE(table.IsEnabled(cmd::kPhaseDifferenceAverage, *ws, recent));
    ws->store.Params().traceCount = 1;
    EXPECT_FALSE(table.IsEnabled(cmd::kPhaseDifferenceAverage, *ws, recent));
    EXPECT_TRUE(table.IsEnabled(cmd::kCrossCorrelationAverage, *ws, recent));
    ws->store.Params().traceCount = 24;

    ws->store.Params().selectionFlags[3] = 1;
    ui.ExpectMessage(" Select 2 traces ! ");
    EXPECT_EQ(Run(OnPhaseFromTwoTraces), 0);

    // Three selected: the first two, with the kept "N shift" shown and stored back.
    ws->store.Params().selectionFlags[5] = ws->store.Params().selectionFlags[9] = 1;
    ws->contour.nShift = 4;
    auto launcher = std::make_unique<FakeLauncher>();
    FakeLauncher& fake = *launcher;
    ws->launcher = std::move(launcher);
    ui.AnswerDialog(CPhaseVelocityCurveDlg::kClass, {{CPhaseVelocityCurveDlg::kNShift, "6"}});
    ui.ExpectMessage(" Selected traces are 3.000000 m and 5.000000 m : 3 5 ");
    EXPECT_EQ(Run(OnPhaseFromTwoTraces), 0);
    ASSERT_GE(ui.Calls().size(), 2u);
    EXPECT_EQ(ui.Calls()[ui.Calls().size() - 2].Shown(CPhaseVelocityCurveDlg::kNShift), "4");
    EXPECT_EQ(ws->contour.nShift, 6);
    EXPECT_EQ(fake.starts.size(), 1u);  // the curve to the dispersion program
}

}  // namespace
}  // namespace velk
