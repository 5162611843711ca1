#include "app/dsp/display_filter_commands.h"

#include <gtest/gtest.h>

#include "app/dsp/band_pass_commands.h"
#include "app/command_table.h"
#include "platform/recent_files.h"
#include "app/dsp/signal_commands.h"
#include "app/store_commands.h"
#include "dsp/band_pass.h"
#include "app/dsp/signal_fixture.h"

namespace velk {
namespace {

using signaltest::SignalTest;

class DisplayFilter : public SignalTest {
protected:
    void SetUp() override
    {
        SignalTest::SetUp();
        LoadLcg(400, 3, 500, 1000.0f);
        original = {Row(0, 500), Row(1, 500), Row(2, 500)};
    }
    std::vector<std::vector<float>> Rows() const { return {Row(0, 500), Row(1, 500), Row(2, 500)}; }
    std::vector<std::vector<float>> original;
};

TEST_F(DisplayFilter, LowCutStepsFromFiveByHalvesAndAlwaysFiltersTheUnfilteredRecord)
{
    EXPECT_EQ(OnLowCutFilter(*ws, ui), 1);
    EXPECT_EQ(ws->displayFilter.lowCut, 5.0f);
    EXPECT_TRUE(IsDisplayFilterApplied(*ws));
    EXPECT_EQ(DisplayFilterStatus(*ws), "Status : LCF=5.000000Hz ");
    EXPECT_EQ(OnLowCutFilter(*ws, ui), 1);
    EXPECT_EQ(ws->displayFilter.lowCut, 7.5f);
    EXPECT_EQ(OnLowCutFilter(*ws, ui), 1);
    EXPECT_EQ(ws->displayFilter.lowCut, 11.25f);
    EXPECT_EQ(ws->store.undoDepth, 1);

    // One step at 11.25 Hz straight from the original record gives the same rows.
    std::vector<double> x(original[1].begin(), original[1].end());
    const int length = CBandPassDlg::FftLength(500, 2);
    std::vector<double> curve(static_cast<size_t>(length / 2));
    CBandPassDlg::MakeSlopeFilter(length / 2, 1.0f, 11.25f, 1000.0f, 20.0f, 0.0f, curve.data());
    CBandPassDlg::FilterArray(500, length, x.data(), curve);
    for (size_t j = 0; j < 500; ++j) EXPECT_NEAR(Row(1, 500)[j], x[j], 1e-6) << j;
    double peak = 0.0;
    for (double v : x) peak = std::max(peak, std::fabs(v));
    EXPECT_NEAR(ws->store.Params().traceMaxima[1], peak, 1e-6);  // maxima follow the filter
}

TEST_F(DisplayFilter, HighCutStepsDownButNeverBelowTheLowCut)
{
    EXPECT_EQ(OnHighCutFilter(*ws, ui), 1);
    EXPECT_EQ(ws->displayFilter.highCut, 1000.0f);
    OnHighCutFilter(*ws, ui);
    EXPECT_EQ(ws->displayFilter.highCut, 800.0f);
    OnHighCutFilter(*ws, ui);
    EXPECT_EQ(ws->displayFilter.highCut, 640.0f);
    EXPECT_EQ(DisplayFilterStatus(*ws), "Status : HCF=640.000000Hz ");

    ws->displayFilter.lowCut = 600.0f;
    OnHighCutFilter(*ws, ui);
    EXPECT_EQ(ws->displayFilter.highCut, 600.0f);  // 512 would be below the low cut
    EXPECT_EQ(DisplayFilterStatus(*ws), "Status : LCF=600.000000Hz  HCF=600.000000Hz ");
}

TEST_F(DisplayFilter, FilterAfterTwoPressesRestoresTheRecordWithNothingToUndo)
{
    OnLowCutFilter(*ws, ui);
    OnLowCutFilter(*ws, ui);
    EXPECT_NE(Rows(), original);
    const CommandTable table = BuildCommandTable();
    RecentFileList recent;
    EXPECT_TRUE(table.IsEnabled(cmd::kDisplayFilter, *ws, recent));
    EXPECT_TRUE(table.IsChecked(cmd::kDisplayFilter, *ws, recent));
    EXPECT_FALSE(table.IsEnabled(cmd::kEditRedo, *ws, recent));  // never while the filter is applied

    EXPECT_EQ(OnDisplayFilter(*ws), 1);
    EXPECT_EQ(Rows(), original);
    EXPECT_EQ(ws->store.undoDepth, 0);
    EXPECT_EQ(ws->store.undone, 0);
    EXPECT_FALSE(IsDisplayFilterApplied(*ws));
    EXPECT_EQ(ws->displayFilter.lowCut, -1.0f);
    EXPECT_FALSE(table.IsEnabled(cmd::kDisplayFilter, *ws, recent));
    EXPECT_EQ(OnDisplayFilter(*ws), 0);
}

TEST_F(DisplayFilter, ACommandBetweenTwoPressesIsKept)
{
    OnLowCutFilter(*ws, ui);
    ui.AnswerDialog("CBandPassDlg", {{"Low-cut freq.", "50"}, {"High-cut freq.", "100"}});
    ASSERT_EQ(ApplyBandPass(*ws, ui, progress, 0, 0, 1.0f, 5000.0f), 1);
    const auto bandPassed = Rows();
    EXPECT_FALSE(IsDisplayFilterApplied(*ws));
    EXPECT_EQ(OnDisplayFilter(*ws), 0);  // nothing to take back: the band-pass stays
    EXPECT_EQ(Rows(), bandPassed);

    EXPECT_EQ(OnLowCutFilter(*ws, ui), 1);  // starts again over the band-passed record
    EXPECT_EQ(ws->displayFilter.lowCut, 5.0f);
    EXPECT_EQ(OnDisplayFilter(*ws), 1);
    EXPECT_EQ(Rows(), bandPassed);
}

TEST_F(DisplayFilter, UndoResetsTheFilter)
{
    OnHighCutFilter(*ws, ui);
    EXPECT_EQ(OnEditUndo(*ws), 1);
    EXPECT_EQ(Rows(), original);
    EXPECT_FALSE(IsDisplayFilterApplied(*ws));
    EXPECT_EQ(ws->displayFilter.highCut, -1.0f);
}

TEST_F(DisplayFilter, ARecordWithoutAUsableIntervalIsRefused)
{
    ws->store.current.headers[0].intervalUs = 0.0f;
    ui.ExpectMessage("The sampling time of this record is not valid.");
    EXPECT_EQ(OnLowCutFilter(*ws, ui), 0);
    EXPECT_EQ(ws->store.undoDepth, 0);
    EXPECT_EQ(Rows(), original);
}

// ---------------------------------------------------------------------------------------------
// Redo

TEST_F(DisplayFilter, RedoAfterUndoRestoresAndUndoThenReturnsToTheStateBefore)
{
    ws->store.PushUndo();
    ws->store.current.rows[0][0] = 111.0f;  // state B
    ws->store.PushUndo();
    ws->store.current.rows[0][0] = 222.0f;  // state C
    ws->store.dataKind() = kRealSpectrum;
    EXPECT_FALSE(CanRedo(*ws));
    ASSERT_EQ(OnEditUndo(*ws), 1);
    EXPECT_EQ(ws->store.current.rows[0][0], 111.0f);
    ASSERT_TRUE(CanRedo(*ws));
    ASSERT_EQ(OnEditRedo(*ws), 1);
    EXPECT_EQ(ws->store.current.rows[0][0], 222.0f);
    EXPECT_EQ(ws->store.dataKind(), kRealSpectrum);  // the kind comes back with the data
    EXPECT_FALSE(CanRedo(*ws));
    ASSERT_EQ(OnEditUndo(*ws), 1);
    EXPECT_EQ(ws->store.current.rows[0][0], 111.0f);
    ASSERT_EQ(OnEditUndo(*ws), 1);
    EXPECT_EQ(ws->store.current.rows[0][0], original[0][0]);
}

TEST_F(DisplayFilter, RedoKeepsImaginaryRowsAndANewCommandEndsIt)
{
    ws->store.PushUndo();
    ws->store.dataKind() = kComplexShowImag;
    ws->store.current.transformFlag = 1;
    ws->store.current.imag[2][7] = 5.5f;
    ASSERT_EQ(OnEditUndo(*ws), 1);
    EXPECT_EQ(ws->store.dataKind(), kTimeDomain);
    ASSERT_EQ(OnEditRedo(*ws), 1);
    EXPECT_EQ(ws->store.dataKind(), kComplexShowImag);
    EXPECT_EQ(ws->store.current.transformFlag, 1);
    EXPECT_EQ(ws->store.current.imag[2][7], 5.5f);

    ASSERT_EQ(OnEditUndo(*ws), 1);
    ws->store.PushUndo();  // another command: nothing is left to redo
    EXPECT_FALSE(CanRedo(*ws));
    EXPECT_EQ(OnEditRedo(*ws), 0);
}

TEST_F(DisplayFilter, RedoIsDisabledWhileTheFilterIsApplied)
{
    ws->store.PushUndo();
    ws->store.current.rows[0][0] = 1.0f;
    OnEditUndo(*ws);
    EXPECT_TRUE(CanRedo(*ws));
    ws->displayFilter.applied = 1;
    ws->displayFilter.ownPushCount = ws->store.pushCount;
    ws->displayFilter.ownUndoDepth = ws->store.undoDepth;
    EXPECT_FALSE(CanRedo(*ws));
    EXPECT_EQ(OnEditRedo(*ws), 0);
}

}  // namespace
}  // namespace velk
