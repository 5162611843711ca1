// The band-pass dialog's values, its accept flag and its road through the UiHost.

#include <gtest/gtest.h>

#include "dsp/band_pass.h"
#include "platform/uihost.h"
#include "tools/scripted_uihost.h"

namespace velk {
namespace {

TEST(BandPassDialog, Defaults)
{
    const CBandPassDlg values;
    EXPECT_EQ(values.highCut, 5000.0f);
    EXPECT_EQ(values.lowCut, 1.0f);
    EXPECT_EQ(values.highSlope, 20.0f);
    EXPECT_EQ(values.lowSlope, 20.0f);
    const AcceptFlag flag;
    EXPECT_EQ(CBandPassDlg::WasAccepted(flag), 0);
}

TEST(BandPassDialog, FieldsInTheOrderOfTheirEdits)
{
    CBandPassDlg values;
    DialogRequest request = BandPassDialogRequest(values);
    EXPECT_EQ(request.DialogClass(), "CBandPassDlg");
    EXPECT_EQ(request.Title(), "Band-pass filter");
    ASSERT_EQ(request.Fields().size(), 4u);
    EXPECT_EQ(request.Fields()[0].LabelText(), "Low-cut freq.");
    EXPECT_EQ(request.Fields()[1].LabelText(), "Cut-off");
    EXPECT_EQ(request.Fields()[1].UnitText(), "db/oct");
    EXPECT_EQ(request.Fields()[2].LabelText(), "High-cut freq.");
    EXPECT_EQ(request.Fields()[3].LabelText(), "Cut-off");
    EXPECT_EQ(request.Fields()[3].UnitText(), "db/oct");
}

TEST(BandPassDialog, OkSetsTheValuesAndTheFlag)
{
    ScriptedUiHost ui;
    ui.AnswerDialog("CBandPassDlg", {{"Low-cut freq.", "5"}, {"High-cut freq.", "120.5"}, {"Low-cut slope", "48"}});
    CBandPassDlg values;
    AcceptFlag accept;
    EXPECT_EQ(RunBandPassDialog(ui, values, accept), 1);
    EXPECT_EQ(CBandPassDlg::WasAccepted(accept), 1);
    EXPECT_EQ(values.lowCut, 5.0f);
    EXPECT_EQ(values.highCut, 120.5f);
    EXPECT_EQ(values.lowSlope, 48.0f);
    EXPECT_EQ(values.highSlope, 20.0f);
    ASSERT_EQ(ui.Calls().size(), 1u);
    EXPECT_EQ(ui.Calls()[0].Shown("High-cut freq."), "5000");
}

TEST(BandPassDialog, CancelClearsAnEarlierAcceptance)
{
    ScriptedUiHost ui;
    ui.AnswerDialog("CBandPassDlg", {{"High-cut slope", "6"}});
    ui.CancelDialog("CBandPassDlg");
    CBandPassDlg values;
    AcceptFlag accept;
    EXPECT_EQ(RunBandPassDialog(ui, values, accept), 1);
    EXPECT_EQ(values.highSlope, 6.0f);
    EXPECT_EQ(RunBandPassDialog(ui, values, accept), 0);
    EXPECT_EQ(CBandPassDlg::WasAccepted(accept), 0);
    EXPECT_EQ(values.highSlope, 6.0f);  // Cancel leaves the values
}

TEST(BandPassDialog, FlagFollowsTheButtons)
{
    AcceptFlag flag;
    flag.OnOk();
    EXPECT_EQ(flag.Value(), 1);
    flag.OnCancel();
    EXPECT_EQ(flag.Value(), 0);
    flag.SetFromDialogResult(true);
    EXPECT_EQ(CBandPassDlg::WasAccepted(flag), 1);
}

}  // namespace
}  // namespace velk
