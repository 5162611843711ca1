// View > Axis configuration: preset and apply, the unit radio, inch margins, refusals, Default.

#include "app/view/axis_config.h"
#include "app/view/record_axes.h"
#include "app/view/draw_fixture.h"

namespace velk {
namespace {

using drawtest::DrawTest;
using AxisConfiguration = DrawTest;

TEST_F(AxisConfiguration, PresetAndApplyRoundTrip)
{
    Fill(6, 1000, [](int i, int j) { return static_cast<float>((j % 9) - 4) * (i + 1); }, 1000.0f, 2.0f);
    Paint();
    const CAxisConfigDlg dlg = PresetAxisConfig(*ws);
    EXPECT_FLOAT_EQ(dlg.timeScale, 10000.0f);     // 10000 / hscale
    EXPECT_FLOAT_EQ(dlg.distanceScale, 200.0f);   // 10000 / plotscale
    EXPECT_FLOAT_EQ(dlg.timeStart, 0.0f);
    EXPECT_FLOAT_EQ(dlg.timeEnd, 1000.0f);
    EXPECT_FLOAT_EQ(dlg.timeInterval, 200.0f);
    EXPECT_FLOAT_EQ(dlg.distanceStart, 0.0f);     // the receivers, without the margin ticks
    EXPECT_FLOAT_EQ(dlg.distanceEnd, 10.0f);
    EXPECT_FLOAT_EQ(dlg.marginX, 30.0f);          // mm
    EXPECT_EQ(dlg.units, 0);
    EXPECT_FLOAT_EQ(dlg.gain, 1000.0f / ws->store.Params().recordMaximum);

    // Applying the preset unchanged fixes the axes and keeps the picture.
    const CParameterSet before = ws->store.Params();
    ApplyAxisConfig(*ws, dlg);
    EXPECT_EQ(ws->display.axesFixed, 1);
    EXPECT_FLOAT_EQ(ws->store.Params().hscale, before.hscale);
    EXPECT_FLOAT_EQ(ws->store.Params().plotscale, before.plotscale);
    EXPECT_EQ(ws->store.Params().tracesShown, 6);
    EXPECT_EQ(ws->settings.xOrg0, 300);
    EXPECT_EQ(ws->settings.triggerPlot, -1);
    EXPECT_FLOAT_EQ(ws->store.Params().shownTime, 1000.0f);

    // A new window: traces 2..4 m, 200..600 ms; the axis spans the window from the origin and
    // is labelled from its start.
    CAxisConfigDlg w = PresetAxisConfig(*ws);
    w.distanceStart = 2.0f;
    w.distanceEnd = 6.0f;
    w.timeStart = 200.0f;
    w.timeEnd = 600.0f;
    w.timeInterval = 100.0f;
    w.preTriggerShift = 1;
    w.customGain = 1;
    w.gain = 7.0f;
    ApplyAxisConfig(*ws, w);
    EXPECT_EQ(ws->display.firstTraceShown, 1);
    EXPECT_EQ(ws->store.Params().tracesShown, 3);
    EXPECT_EQ(ws->display.firstSampleShown, 200);
    EXPECT_EQ(ws->store.Params().samplesShown, 400);
    EXPECT_EQ(ws->settings.triggerPlot, 1);
    EXPECT_EQ(ws->store.Params().normalisation, 1);
    EXPECT_FLOAT_EQ(TraceDisplayGain(*ws, 0), 7.0f);
    Paint();
    EXPECT_NE(canvas.FindText("200"), nullptr);
    EXPECT_NE(canvas.FindText("600"), nullptr);
    EXPECT_EQ(ws->display.axes.timeTickCount, 5);
    const CAxisConfigDlg again = PresetAxisConfig(*ws);
    EXPECT_FLOAT_EQ(again.timeStart, 200.0f);
    EXPECT_FLOAT_EQ(again.timeEnd, 600.0f);
    EXPECT_FLOAT_EQ(again.distanceStart, 2.0f);
    EXPECT_FLOAT_EQ(again.distanceEnd, 6.0f);

    // A start beyond the record is clamped to its last sample.
    w.timeStart = 5000.0f;
    w.timeEnd = 6000.0f;
    ApplyAxisConfig(*ws, w);
    EXPECT_EQ(ws->display.firstSampleShown, 999);
    // A distance range with no receiver: no trace shown, axes still drawn.
    w.distanceStart = 50.0f;
    w.distanceEnd = 60.0f;
    ApplyAxisConfig(*ws, w);
    EXPECT_EQ(ws->store.Params().tracesShown, 0);
    Paint();
    EXPECT_NE(canvas.FindText("D i s t a n c e"), nullptr);

    // "Default": automatic axes again.
    w.useDefault = 1;
    ApplyAxisConfig(*ws, w);
    EXPECT_EQ(ws->display.axesFixed, 0);
}

TEST_F(AxisConfiguration, UnitsMarginsAndRefusals)
{
    CAxisConfigDlg dlg;
    dlg.timeStart = 100.0f;
    dlg.timeEnd = 500.0f;
    dlg.timeInterval = 50.0f;
    dlg.distanceStart = 2000.0f;
    dlg.distanceEnd = 4000.0f;
    dlg.distanceInterval = 500.0f;
    dlg.OnUnitRadio(1);
    EXPECT_FLOAT_EQ(dlg.timeEnd, 0.5f);
    EXPECT_FLOAT_EQ(dlg.distanceInterval, 0.5f);
    dlg.OnUnitRadio(1);  // the same units: nothing changes
    EXPECT_FLOAT_EQ(dlg.timeEnd, 0.5f);
    dlg.OnUnitRadio(0);
    EXPECT_FLOAT_EQ(dlg.distanceStart, 2000.0f);
    EXPECT_EQ(CAxisConfigDlg::UnitLabels(1, true)[3], "kft");
    EXPECT_EQ(CAxisConfigDlg::UnitLabels(0, false)[0], "msec");
    EXPECT_EQ(CAxisConfigDlg::UnitLabels(0, true)[6], "inch");

    // Feet: margins in inches, 30 mm showing 1.181 in and coming back as 300 units.
    Fill(3, 100, [](int, int j) { return static_cast<float>(j % 3); });
    ws->settings.unitText = "ft";
    Paint();
    CAxisConfigDlg feet = PresetAxisConfig(*ws);
    EXPECT_NEAR(feet.marginX, 1.181, 0.0005);
    ApplyAxisConfig(*ws, feet);
    EXPECT_NEAR(ws->settings.xOrg0, 300, 1);
    EXPECT_EQ(ws->settings.unitText, "ft");
    feet.units = 1;
    ApplyAxisConfig(*ws, feet);
    EXPECT_EQ(ws->settings.unitText, "kft");
    EXPECT_EQ(ws->settings.kmDisplay, 1);

    // Zero or negative scales and steps, and an axis ending before it starts, are refused; the
    // command shows the message and the dialog again.
    ws->settings.unitText = "m";
    ws->settings.kmDisplay = 0;
    ws->display.axesFixed = 0;
    ui.AnswerDialog(CAxisConfigDlg::kClass, {{CAxisConfigDlg::kTimeScale, "0"}});
    ui.ExpectMessage("The scales and the tick intervals must be greater than 0.");
    ui.AnswerDialog(CAxisConfigDlg::kClass, {{CAxisConfigDlg::kTimeScale, "5000"}, {CAxisConfigDlg::kTimeEnd, "-1"}});
    ui.ExpectMessage("The end of an axis must lie beyond its start.");
    ui.CancelDialog(CAxisConfigDlg::kClass);
    EXPECT_EQ(OnAxisConfiguration(*ws, ui), 0);
    EXPECT_EQ(ws->display.axesFixed, 0);
    ui.AnswerDialog(CAxisConfigDlg::kClass, {{CAxisConfigDlg::kTimeScale, "5000"}});
    EXPECT_EQ(OnAxisConfiguration(*ws, ui), 1);
    EXPECT_FLOAT_EQ(ws->store.Params().hscale, 2.0f);
    EXPECT_EQ(ws->display.axesFixed, 1);
    // Decimals beyond 0..1 are the field's own refusal.
    DialogRequest req = feet.Request(-1);
    EXPECT_FALSE(req.SetFromText(CAxisConfigDlg::kTimeDecimals, "2").empty());
}

}  // namespace
}  // namespace velk
