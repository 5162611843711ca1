// The view's display commands: scales, windows, record length, the toggles, and their menu
// rows and rules as the shell sees them through the command table.

#include "app/view/view_commands.h"

#include <cmath>
#include <set>

#include "app/dsp/data_kind.h"
#include "app/formats/document.h"
#include "app/formats/next_file.h"
#include "platform/recent_files.h"
#include "app/view/record_extents.h"
#include "app/shell_services.h"
#include "app/store_commands.h"
#include "app/view/view_fixture.h"

namespace velk {
namespace {

using viewtest::ViewTest;

class CountingView : public ViewSurface {
public:
    void Repaint() override { ++repaints; }
    void ShowTransientText(const std::string&, LPoint) override {}
    int repaints = 0;
};

// ---------------------------------------------------------------------------------------------
// Windows

using DisplayWindow = ViewTest;

TEST_F(DisplayWindow, SamplesShownClampToTheRecordAndRestartAtZero)
{
    Load(3, 1000, 500.0f);
    RecalcRecordExtents(*ws, 1);
    ws->display.firstSampleShown = 300;
    EXPECT_EQ(OnSamplesShown(*ws, 8000), 1);
    EXPECT_EQ(ws->store.Params().samplesShown, 1000);
    EXPECT_EQ(ws->display.firstSampleShown, 0);
    EXPECT_EQ(ws->store.Params().windowStartTime, 0.0f);
    EXPECT_FLOAT_EQ(ws->store.Params().shownTime, 500.0f);
    OnSamplesShown(*ws, 200);
    EXPECT_EQ(ws->store.Params().samplesShown, 200);
    EXPECT_FLOAT_EQ(ws->store.Params().shownTime, 100.0f);
    OnSamplesShown(*ws, 0);  // Show all samples
    EXPECT_EQ(ws->store.Params().samplesShown, 1000);
}

TEST_F(DisplayWindow, RightSideStepsByHalfAWindowAndStopsAtTheEnd)
{
    Load(3, 1000, 2000.0f);
    RecalcRecordExtents(*ws, 1);
    OnSamplesShown(*ws, 400);
    struct NoGroup : FileGroupAccess {  // never asked without an active group
        int ReadNthFile(int, Matrix2D<float>&, std::span<CTraceHeader>, std::span<CTraceHeaderEx>) override { return Fail(); }
        int BuildGather(Matrix2D<float>&, std::span<CTraceHeader>, int) override { return Fail(); }
        int CommonReceiverGather(Matrix2D<float>&, std::span<CTraceHeader>, int) override { return Fail(); }
        int CdpGather(Matrix2D<float>&, std::span<CTraceHeader>, int) override { return Fail(); }
        std::string MemberPath(int) override { return {}; }
        int Fail() { ADD_FAILURE() << "file group asked"; return 0; }
    } group;
    std::vector<int> firsts;
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(ShowSideWaveforms(*ws, ui, group, true), 1);
        firsts.push_back(ws->display.firstSampleShown);
    }
    EXPECT_EQ(firsts, (std::vector<int>{200, 400, 600, 600}));
    EXPECT_FLOAT_EQ(ws->store.Params().windowStartTime, 1200.0f);
    for (int k = 0; k < 4; ++k) ShowSideWaveforms(*ws, ui, group, false);
    EXPECT_EQ(ws->display.firstSampleShown, 0);
    EXPECT_EQ(ws->store.Params().windowStartTime, 0.0f);

    // More shown than exist: the window never starts below 0.
    ws->store.Params().samplesShown = 1500;
    ShowSideWaveforms(*ws, ui, group, true);
    EXPECT_EQ(ws->display.firstSampleShown, 0);
}

TEST_F(DisplayWindow, TracesShownAndTheNumberOfTracesDialog)
{
    Load(20, 10);
    RecalcRecordExtents(*ws, 0);
    ws->display.firstTraceShown = 5;
    OnTracesShown(*ws, 12);
    EXPECT_EQ(ws->store.Params().tracesShown, 12);
    EXPECT_EQ(ws->display.firstTraceShown, 0);
    OnTracesShown(*ws, 48);
    EXPECT_EQ(ws->store.Params().tracesShown, 20);

    ui.AnswerDialogWith(CNumberOfTracesDlg::kClass, [](DialogRequest& req) {
        EXPECT_EQ(req.Title(), "Number of traces");
        EXPECT_EQ(req.Find("Number of traces")->Text(), "20");  // preset with the trace count
        EXPECT_FALSE(req.SetFromText("Number of traces", "0").empty());        // below 1
        EXPECT_FALSE(req.SetFromText("Number of traces", "1000001").empty());  // above 1000000
        EXPECT_TRUE(req.SetFromText("Number of traces", "7").empty());
        return true;
    });
    EXPECT_EQ(OnTracesShownArbitrary(*ws, ui), 1);
    EXPECT_EQ(ws->store.Params().tracesShown, 7);

    ui.CancelDialog(CNumberOfTracesDlg::kClass);
    EXPECT_EQ(OnTracesShownArbitrary(*ws, ui), 0);
    EXPECT_EQ(ws->store.Params().tracesShown, 7);

    // With no traces the preset is the smallest value the dialog takes.
    ws->store.Params().traceCount = 0;
    ui.AnswerDialog(CNumberOfTracesDlg::kClass);
    EXPECT_EQ(OnTracesShownArbitrary(*ws, ui), 1);
    EXPECT_EQ(ui.Calls().back().Shown("Number of traces"), "1");
    EXPECT_EQ(ws->store.Params().tracesShown, 0);
}

// ---------------------------------------------------------------------------------------------
// Scales

using Scales = ViewTest;

TEST_F(Scales, DisplayRatioTakesTheSmaller)
{
    ws->store.Params().hscale = 25.0f;
    ws->store.Params().plotscale = 50.0f;
    OnDisplayRatio(*ws);
    EXPECT_EQ(ws->store.Params().hscale, 25.0f);
    EXPECT_EQ(ws->store.Params().plotscale, 25.0f);
}

TEST_F(Scales, AmplitudeRoundTripsAndNeverReachesZero)
{
    CParameterSet& p = ws->store.Params();
    p.vscale = 0.01f;
    OnReduceAmplitude(*ws);
    EXPECT_NEAR(p.vscale, 0.01f * 2.0f / 3.0f, 1e-9);
    OnEnlargeAmplitude(*ws);
    EXPECT_NEAR(p.vscale / 0.01f, 1.0, 1e-6);
    EXPECT_NEAR(ws->display.amplitudeFactor / 50.0f, 1.0, 1e-6);

    for (int i = 0; i < 200; ++i) OnReduceAmplitude(*ws);
    EXPECT_GT(p.vscale, 0.0f);
    EXPECT_GT(ws->display.amplitudeFactor, 0.0f);
    OnEnlargeAmplitude(*ws);
    EXPECT_GT(p.vscale, kScaleMin);  // it can come back
    for (int i = 0; i < 200; ++i) OnEnlargeAmplitudeFast(*ws);
    EXPECT_TRUE(std::isfinite(p.vscale));
    EXPECT_EQ(p.vscale, kScaleMax);
}

TEST_F(Scales, AmplitudeFactorsByRecordKindAndTheAcquisitionScreen)
{
    CParameterSet& p = ws->store.Params();
    p.vscale = 1.0f;
    p.recordKind = 1;  // dispersion curves: finer steps
    OnEnlargeAmplitude(*ws);
    EXPECT_FLOAT_EQ(p.vscale, 1.2f);
    OnReduceAmplitude(*ws);
    EXPECT_NEAR(p.vscale, 1.2f * 0.8333333f, 1e-6);
    p.recordKind = 0;
    p.vscale = 1.0f;
    OnEnlargeAmplitudeFast(*ws);
    EXPECT_FLOAT_EQ(p.vscale, 5.0f);
    OnReduceAmplitudeFast(*ws);
    EXPECT_FLOAT_EQ(p.vscale, 1.0f);

    ws->acquisitionDevice.acquisitionScreen = 1;
    EXPECT_EQ(OnEnlargeAmplitude(*ws), 1);  // a shown record on the acquisition screen
    ws->acquisitionDevice.monitorRunning = 1;  // the running monitor repaints itself
    EXPECT_EQ(OnEnlargeAmplitude(*ws), 0);
    ws->acquisitionDevice.monitorRunning = 0;
    EXPECT_FLOAT_EQ(p.vscale, 2.25f);
    EXPECT_EQ(OnEnlargeTimeScale(*ws), 1);
}

TEST_F(Scales, TimeAndDistanceFollowDirectionAndDisplayMode)
{
    CParameterSet& p = ws->store.Params();
    auto reset = [&] {
        p.hscale = 10.0f;
        p.plotscale = 20.0f;
        ws->display.geometryXScale = 30.0f;
        ws->display.geometryYScale = 40.0f;
    };
    reset();
    OnEnlargeTimeScale(*ws);
    OnReduceDistanceScale(*ws);
    EXPECT_FLOAT_EQ(p.hscale, 15.0f);
    EXPECT_NEAR(p.plotscale, 40.0f / 3.0f, 1e-5);

    reset();
    OnPlotDirection(*ws, 1);
    OnEnlargeTimeScale(*ws);
    OnEnlargeDistanceScale(*ws);
    EXPECT_FLOAT_EQ(p.plotscale, 30.0f);
    EXPECT_FLOAT_EQ(p.hscale, 15.0f);

    reset();
    ws->display.displayMode = 3;
    OnEnlargeTimeScale(*ws);
    OnEnlargeDistanceScale(*ws);
    EXPECT_FLOAT_EQ(ws->display.geometryXScale, 45.0f);
    EXPECT_FLOAT_EQ(ws->display.geometryYScale, 60.0f);
    EXPECT_EQ(p.hscale, 10.0f);

    // Array geometry: the time commands scale the picture, the distance commands the axis.
    reset();
    ws->display.displayMode = 4;
    OnReduceTimeScale(*ws);
    OnEnlargeDistanceScale(*ws);
    EXPECT_FLOAT_EQ(ws->display.geometryXScale, 20.0f);
    EXPECT_EQ(ws->display.geometryYScale, 40.0f);
    EXPECT_FLOAT_EQ(p.hscale, 15.0f);  // direction 1: the distance axis is hscale
}

// ---------------------------------------------------------------------------------------------
// Change record length

using RecordLength = ViewTest;

TEST_F(RecordLength, LengtheningAppendsZerosAndUndoRestores)
{
    Load(3, 1000);
    RecalcRecordExtents(*ws, 1);
    const std::vector<float> before = Row(2, 1000);
    EXPECT_EQ(OnChangeRecordLength(*ws, ui, 2048), 1);
    EXPECT_EQ(ws->display.modified, 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 2048);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ws->store.current.headers[static_cast<size_t>(i)].samples, 2048);
        const std::vector<float> row = Row(i, 2048);
        EXPECT_EQ(std::vector<float>(row.begin() + 1000, row.end()), std::vector<float>(1048, 0.0f)) << i;
    }
    EXPECT_EQ(Row(2, 1000), before);

    ASSERT_TRUE(CanUndo(*ws));
    OnEditUndo(*ws);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 1000);
    EXPECT_EQ(ws->store.current.headers[1].samples, 1000);
    EXPECT_EQ(Row(2, 1000), before);
}

TEST_F(RecordLength, ShorteningKeepsTheWindowInsideAndUndoBringsTheTailBack)
{
    Load(2, 3000);
    RecalcRecordExtents(*ws, 1);
    OnSamplesShown(*ws, 2000);
    ws->display.firstSampleShown = 900;
    const std::vector<float> before = Row(1, 3000);

    EXPECT_EQ(OnChangeRecordLength(*ws, ui, 1024), 1);
    EXPECT_EQ(ws->store.Params().samplesShown, 1024);
    EXPECT_EQ(ws->display.firstSampleShown, 0);
    EXPECT_EQ(ws->store.current.headers[0].samples, 1024);

    OnEditUndo(*ws);
    EXPECT_EQ(ws->store.current.headers[1].samples, 3000);
    EXPECT_EQ(Row(1, 3000), before);
}

TEST_F(RecordLength, NewSamplesAreZeroFromEachTracesOwnEnd)
{
    Load(2, 1000);
    ws->store.current.headers[0].samples = 500;  // columns 500.. still hold the old values
    RecalcRecordExtents(*ws, 0);
    OnChangeRecordLength(*ws, ui, 1024);
    const std::vector<float> row = Row(0, 1024);
    EXPECT_EQ(row[499], 500.0f);
    EXPECT_EQ(std::vector<float>(row.begin() + 500, row.end()), std::vector<float>(524, 0.0f));
}

TEST_F(RecordLength, BeyondTheCapacityIsRefusedAndNothingChanges)
{
    Load(2, 1000);
    RecalcRecordExtents(*ws, 1);
    const std::vector<float> before = Row(1, 1000);
    ui.ExpectMessage(RecordLongerThanMaxSampleText(-1, 16384, 4100));
    EXPECT_EQ(OnChangeRecordLength(*ws, ui, 16384), 0);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 1000);
    EXPECT_EQ(ws->store.current.headers[1].samples, 1000);
    EXPECT_EQ(Row(1, 1000), before);
    EXPECT_EQ(ws->display.modified, 0);
    EXPECT_FALSE(CanUndo(*ws));

    ui.ExpectMessage(RecordLongerThanMaxSampleText(-1, 4101, 4100));
    EXPECT_EQ(OnChangeRecordLength(*ws, ui, 4101), 0);
    EXPECT_EQ(OnChangeRecordLength(*ws, ui, 4100), 1);  // what the readers take back
}

// ---------------------------------------------------------------------------------------------
// Toggles

using Toggles = ViewTest;

TEST_F(Toggles, UnitTextLanguageAndSigns)
{
    for (const char* unit : {"km", "ft", "kft", ""}) {
        ws->settings.unitText = unit;
        OnMeterFeet(*ws);
        EXPECT_EQ(ws->settings.unitText, "m") << unit;
    }
    OnMeterFeet(*ws);
    EXPECT_EQ(ws->settings.unitText, "ft");

    ws->startup.language = -1;
    OnEnglish(*ws);
    EXPECT_EQ(ws->startup.language, 1);
    EXPECT_FALSE(IsEnglishChecked(*ws));
    OnEnglish(*ws);
    EXPECT_TRUE(IsEnglishChecked(*ws));

    ws->display.spectrumFill = 3;
    OnColourMonochrome(*ws);
    EXPECT_EQ(ws->display.colourFlag, -1);
    EXPECT_EQ(ws->display.spectrumFill, -3);
    EXPECT_EQ(ws->palette.colourScheme, 1);  // the grey table
    OnClip(*ws);
    EXPECT_EQ(ws->display.clip, -1);
}

TEST_F(Toggles, WaveformDataLeavesSpectraAndFixedAxes)
{
    Load(2, 100);
    ws->display.displayMode = 1;
    ws->store.dataKind() = kRealSpectrum;
    ws->store.Params().recordKind = 2;
    ws->display.axesFixed = 1;
    OnWaveformData(*ws);
    EXPECT_EQ(ws->display.displayMode, 0);
    EXPECT_EQ(ws->store.dataKind(), kTimeDomain);
    EXPECT_EQ(ws->store.Params().recordKind, 0);
    EXPECT_EQ(ws->display.axesFixed, 0);
}

TEST_F(Toggles, RenormalizeMeasuresAgainAndNormalisesEachTrace)
{
    Load(2, 10);
    ws->store.Params().normalisation = 1;
    EXPECT_EQ(OnRenormalize(*ws), 1);
    EXPECT_EQ(ws->store.Params().traceMaxima[1], 10010.0f);
    EXPECT_EQ(ws->store.Params().normalisation, 0);
}

// ---------------------------------------------------------------------------------------------
// The command table: reachability, texts, rules

class ViewMenus : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        table = BuildCommandTable();
        doc = std::make_unique<CVelkarineDoc>(*ws);
    }
    int Run(int id)
    {
        CommandContext ctx{*ws, ui, *doc, recent, &view, nullptr};
        return RunCommand(table, id, ctx);
    }
    bool Enabled(int id) const { return table.IsEnabled(id, *ws, recent); }
    bool Checked(int id) const { return table.IsChecked(id, *ws, recent); }

    CommandTable table;
    RecentFileList recent;
    CountingView view;
    std::unique_ptr<CVelkarineDoc> doc;
};

std::vector<int> AllViewIds()
{
    std::vector<int> ids;
    for (int id = 24000; id < 24200; ++id) ids.push_back(id);
    return ids;
}

void CollectIds(const MenuNode& node, std::set<int>& ids)
{
    if (node.kind == MenuNode::Kind::Item) ids.insert(node.id);
    for (const MenuNode& child : node.children) CollectIds(child, ids);
}

TEST_F(ViewMenus, EveryCommandHasAnActionAndEveryMenuItemBothTexts)
{
    const std::set<int> withoutMenu = {cmd::kWaveformDisplay, cmd::kPlotWiggleAlternative,
                                       cmd::kPlotColourAlternative, cmd::kPlotFine2, cmd::kPlotFine1};
    int rows = 0;
    for (int id : AllViewIds()) {
        const CommandRow* row = table.Find(id);
        if (!row) continue;
        ++rows;
        EXPECT_TRUE(static_cast<bool>(row->action)) << id;
        if (withoutMenu.count(id)) {
            EXPECT_EQ(row->menus, 0u) << id;
        } else {
            EXPECT_FALSE(row->english.empty()) << id;
            EXPECT_FALSE(row->japanese.empty()) << id;
        }
    }
    EXPECT_EQ(rows, 73);  // the commands of the view core, Undo, the component choice, Dimension size

    for (int resource : {kMenuDefault, kMenuShortEnglish, kMenuFullEnglish}) {
        std::set<int> inMenu;
        for (const MenuNode& top : table.BuildMenuBar(resource, -1).menus) CollectIds(top, inMenu);
        for (int id : AllViewIds()) {
            const CommandRow* row = table.Find(id);
            if (row && row->menus != 0) {
                EXPECT_TRUE(inMenu.count(id)) << id << " in " << resource;
            }
        }
    }
}

TEST_F(ViewMenus, PlacedInTheMenusTheCommandsBelongTo)
{
    const MenuBarModel model = table.BuildMenuBar(kMenuDefault, -1);
    auto texts = [&](const std::string& top, const std::vector<std::string>& path) {
        const MenuNode* node = model.Find(top);
        for (const std::string& sub : path) {
            const MenuNode* next = nullptr;
            for (const MenuNode& child : node->children) {
                if (child.kind == MenuNode::Kind::Submenu && child.text == sub) next = &child;
            }
            if (!next) return std::vector<std::string>{"<no " + sub + ">"};
            node = next;
        }
        std::vector<std::string> out;
        for (const MenuNode& child : node->children) out.push_back(child.text);
        return out;
    };
    // Other features add their own items after these.
    EXPECT_EQ(texts("option", {"etc."}).front(), "English");
    EXPECT_EQ(texts("option", {"Processing", "Option"}).front(), "Selected trace only");
    EXPECT_EQ(texts("edit", {"Change record length"}),
              (std::vector<std::string>{"1024", "2048", "4096", "8192", "16384", "Arbitrary"}));
    EXPECT_EQ(texts("edit", {"Option", "Select component to be edited"}),
              (std::vector<std::string>{"All components", "1st component", "2nd component", "3rd component",
                                        "4th component", "5th component", "6th component"}));
    EXPECT_EQ(texts("view", {"Trace shading"}),
              (std::vector<std::string>{"Shade positive side", "No shading", "Shade negative side"}));
    EXPECT_EQ(texts("view", {"# of traces shown"}),
              (std::vector<std::string>{"12", "24", "48", "Arbitrary", "Show all traces"}));
}

TEST_F(ViewMenus, WithoutTracesTheTraceCommandsAreDisabled)
{
    const int traceCommands[] = {cmd::kReversedSense, cmd::kThreeComponentLabel, cmd::kKeepScaleAndTimeAxis,
                                 cmd::kKeepDistanceAxis, cmd::kWaveformData, cmd::kShowStationCode};
    for (int id : traceCommands) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ(Run(cmd::kReversedSense), 0);
    EXPECT_EQ(ws->settings.polarity, 1);

    Load(2, 10);
    for (int id : traceCommands) EXPECT_EQ(Enabled(id), id != cmd::kShowStationCode) << id;
    EXPECT_FALSE(Enabled(cmd::kGeometry));  // no file list, no array
    ws->fileGroup.entryCount = 3;
    EXPECT_TRUE(Enabled(cmd::kGeometry));
}

TEST_F(ViewMenus, SpectraDisableTimeDomainCommandsAndSideStepsOutsideAGroup)
{
    Load(2, 10);
    EXPECT_TRUE(TimeDomainData(*ws));
    EXPECT_TRUE(Enabled(cmd::kShowLeftSide));
    ws->store.dataKind() = kRealSpectrum;
    EXPECT_FALSE(TimeDomainData(*ws));
    EXPECT_FALSE(table.IsEnabled(cmd::kEditUndo, *ws, recent));  // nothing to undo yet
    EXPECT_FALSE(Enabled(cmd::kShowLeftSide));
    EXPECT_FALSE(Enabled(cmd::kShowRightSide));
    ws->fileGroup.active = 1;
    ws->fileGroup.entryCount = 2;
    EXPECT_TRUE(Enabled(cmd::kShowLeftSide));
    ws->fileGroup.active = 0;
    ws->store.dataKind() = kComplexShowReal;
    EXPECT_TRUE(Enabled(cmd::kShowRightSide));
}

TEST_F(ViewMenus, RadioAndCheckStatesFollowTheCommands)
{
    Load(2, 10);
    EXPECT_TRUE(Checked(cmd::kNoShading));
    Run(cmd::kShadeNegative);
    EXPECT_EQ(ws->settings.shading, -1);
    EXPECT_TRUE(Checked(cmd::kShadeNegative));
    EXPECT_FALSE(Checked(cmd::kNoShading));

    EXPECT_TRUE(Checked(cmd::kHorizontalDirection));
    Run(cmd::kVerticalDirection);
    EXPECT_TRUE(Checked(cmd::kVerticalDirection));
    EXPECT_FALSE(Checked(cmd::kHorizontalDirection));

    EXPECT_TRUE(Checked(cmd::kWaveformPlot));
    Run(cmd::kPlotFine2);
    EXPECT_EQ(ws->display.plotMode, 2);
    EXPECT_EQ(ws->display.plotSubFlag, 1);
    EXPECT_FALSE(Checked(cmd::kWaveformPlot));
    EXPECT_TRUE(Checked(cmd::kPlotFine2));
    Run(cmd::kFineContourPlot);
    EXPECT_TRUE(Checked(cmd::kFineContourPlot));
    EXPECT_FALSE(Checked(cmd::kPlotFine1));  // same mode, other sub-flag
    Run(cmd::kContourPlot);
    EXPECT_TRUE(Checked(cmd::kContourPlot));

    EXPECT_TRUE(Checked(cmd::kWaveformData));
    EXPECT_TRUE(Checked(cmd::kWaveformDisplay));
    Run(cmd::kVelocityModel);
    EXPECT_TRUE(Checked(cmd::kVelocityModel));
    EXPECT_FALSE(Checked(cmd::kWaveformData));
    ws->fileGroup.entryCount = 1;
    Run(cmd::kGeometry);
    EXPECT_EQ(ws->display.displayMode, 3);
    EXPECT_TRUE(Checked(cmd::kGeometry));
    Run(cmd::kWaveformDisplay);
    EXPECT_TRUE(Checked(cmd::kWaveformData));

    const int toggles[] = {cmd::kReversedSense, cmd::kShowMaximumAmplitude, cmd::kThreeComponentLabel,
                           cmd::kKeepScaleAndTimeAxis, cmd::kKeepDistanceAxis, cmd::kSelectedTraceOnly};
    for (int id : toggles) {
        EXPECT_FALSE(Checked(id)) << id;
        Run(id);
        EXPECT_TRUE(Checked(id)) << id;
        Run(id);
        EXPECT_FALSE(Checked(id)) << id;
    }

    EXPECT_TRUE(Checked(cmd::kComponentAll));
    Run(cmd::kComponentFirst + 2);
    EXPECT_EQ(ws->componentToEdit, 3);
    EXPECT_TRUE(Checked(cmd::kComponentFirst + 2));
    EXPECT_FALSE(Checked(cmd::kComponentAll));
}

TEST_F(ViewMenus, RepaintsExceptForTheSelectionScope)
{
    Run(cmd::kEnlargeAmplitude);
    Run(cmd::kNormalizeByFile);
    EXPECT_EQ(view.repaints, 2);
    EXPECT_EQ(ws->store.Params().normalisation, 1);
    EXPECT_EQ(Run(cmd::kSelectedTraceOnly), 0);
    EXPECT_EQ(ws->display.selectedOnly, 1);
    EXPECT_EQ(view.repaints, 2);
}

TEST_F(ViewMenus, UndoAndDimensionSizeRunFromTheirIds)
{
    Load(2, 100);
    RecalcRecordExtents(*ws, 0);
    EXPECT_FALSE(Enabled(cmd::kEditUndo));
    Run(cmd::kRecordLengthFirst + 1);  // 2048
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 2048);
    EXPECT_TRUE(Enabled(cmd::kEditUndo));
    EXPECT_EQ(Run(cmd::kEditUndo), 1);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 100);

    ui.CancelDialog(CDimensionSizeDlg::kClass);
    EXPECT_EQ(Run(cmd::kDimensionSize), 0);
    EXPECT_EQ(ws->store.TraceCount(), 2);
}

TEST_F(ViewMenus, DescribesTheStateForReports)
{
    Run(cmd::kShadePositive);
    const std::string text = DescribeDisplayState(*ws);
    EXPECT_NE(text.find("shading=1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("plotMode=-2,0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("language=-1\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace velk
