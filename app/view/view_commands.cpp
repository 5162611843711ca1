#include "app/view/view_commands.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/dsp/data_kind.h"
#include "app/view/interactive_edit.h"
#include "app/formats/next_file.h"
#include "app/view/record_extents.h"
#include "app/shell_services.h"
#include "app/store_commands.h"
#include "app/view/view_seams.h"
#include "app/workspace.h"
#include "formats/file_roads.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

bool AlwaysEnabled(const Workspace&) { return true; }
bool TracesLoaded(const Workspace& ws) { return ws.store.TraceCount() > 0; }
bool TimeDomainData(const Workspace& ws) { return TracesLoaded(ws) && ws.store.dataKind() == kTimeDomain; }

// ---------------------------------------------------------------------------------------------
// Scales

namespace {

int ScaleAmplitude(Workspace& ws, double factor)
{
    MultiplyScale(ws.store.Params().vscale, factor);
    MultiplyScale(ws.display.amplitudeFactor, factor);
    // The running monitor redraws itself; a record shown on the acquisition screen does not.
    const CAcquisitionDevice& device = ws.acquisitionDevice;
    return device.acquisitionScreen == 1 && device.monitorRunning == 1 ? 0 : 1;
}

bool DispersionCurves(const Workspace& ws) { return ws.store.Params().recordKind == 1; }

// The scale of the time axis, or of the distance axis, in the current direction.
float& TimeAxisScale(Workspace& ws)
{
    CParameterSet& p = ws.store.Params();
    return ws.settings.plotDirection == 1 ? p.plotscale : p.hscale;
}

float& DistanceAxisScale(Workspace& ws)
{
    CParameterSet& p = ws.store.Params();
    return ws.settings.plotDirection == 1 ? p.hscale : p.plotscale;
}

int ScaleTime(Workspace& ws, double factor)
{
    const int mode = ws.display.displayMode;
    MultiplyScale(mode == 3 || mode == 4 ? ws.display.geometryXScale : TimeAxisScale(ws), factor);
    return 1;
}

int ScaleDistance(Workspace& ws, double factor)
{
    MultiplyScale(ws.display.displayMode == 3 ? ws.display.geometryYScale : DistanceAxisScale(ws), factor);
    return 1;
}

constexpr double kTwoThirds = 2.0 / 3.0;

}  // namespace

int OnEnlargeAmplitude(Workspace& ws) { return ScaleAmplitude(ws, DispersionCurves(ws) ? 1.2 : 1.5); }
int OnReduceAmplitude(Workspace& ws) { return ScaleAmplitude(ws, DispersionCurves(ws) ? 0.8333333 : kTwoThirds); }
int OnEnlargeAmplitudeFast(Workspace& ws) { return ScaleAmplitude(ws, 5.0); }
int OnReduceAmplitudeFast(Workspace& ws) { return ScaleAmplitude(ws, 0.2); }
int OnEnlargeTimeScale(Workspace& ws) { return ScaleTime(ws, 1.5); }
int OnReduceTimeScale(Workspace& ws) { return ScaleTime(ws, kTwoThirds); }
int OnEnlargeDistanceScale(Workspace& ws) { return ScaleDistance(ws, 1.5); }
int OnReduceDistanceScale(Workspace& ws) { return ScaleDistance(ws, kTwoThirds); }

int OnDisplayRatio(Workspace& ws)
{
    CParameterSet& p = ws.store.Params();
    const float smaller = ClampScale(std::min(p.hscale, p.plotscale));
    p.hscale = smaller;
    p.plotscale = smaller;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Display toggles and modes

int OnNormalize(Workspace& ws, int byFile)
{
    ws.store.Params().normalisation = byFile == 1 ? 1 : 0;
    return 1;
}

int OnRenormalize(Workspace& ws)
{
    ws.store.ComputeTraceMaxima();
    ws.store.Params().normalisation = 0;
    return 1;
}

int OnClip(Workspace& ws)
{
    ws.display.clip = -ws.display.clip;
    return 1;
}

int OnShading(Workspace& ws, int shading)
{
    ws.settings.shading = shading;
    return 1;
}
bool IsShadingChecked(const Workspace& ws, int shading) { return ws.settings.shading == shading; }

int OnPlotDirection(Workspace& ws, int direction)
{
    ws.settings.plotDirection = direction;
    return 1;
}
bool IsPlotDirectionChecked(const Workspace& ws, int direction) { return ws.settings.plotDirection == direction; }

int OnVerticalAxisTitle(Workspace& ws)
{
    ws.store.Params().verticalAxisKind = -ws.store.Params().verticalAxisKind;
    return 1;
}

int OnHorizontalAxisTitle(Workspace& ws)
{
    ws.store.Params().horizontalAxisKind = -ws.store.Params().horizontalAxisKind;
    return 1;
}

int OnColourMonochrome(Workspace& ws)
{
    ws.display.colourFlag = -ws.display.colourFlag;
    ws.display.spectrumFill = -ws.display.spectrumFill;
    ws.palette.colourScheme = -ws.palette.colourScheme;
    return 1;
}

int OnEnglish(Workspace& ws)
{
    ws.startup.language = -ws.startup.language;
    return 1;
}
bool IsEnglishChecked(const Workspace& ws) { return ws.startup.language == -1; }

int OnReversedSense(Workspace& ws)
{
    ws.settings.polarity = -ws.settings.polarity;
    return 1;
}
bool IsReversedSenseChecked(const Workspace& ws) { return ws.settings.polarity == -1; }

int OnMeterFeet(Workspace& ws)
{
    ws.settings.unitText = ws.settings.unitText == "m" ? "ft" : "m";
    return 1;
}

namespace {
int Toggle(int& value)
{
    value = value == 1 ? 0 : 1;
    return 1;
}
}  // namespace

int OnShowMaximumAmplitude(Workspace& ws) { return Toggle(ws.settings.showAmplitude); }
bool IsShowMaximumAmplitudeChecked(const Workspace& ws) { return ws.settings.showAmplitude == 1; }
int OnShowStationCode(Workspace& ws) { return Toggle(ws.display.showStationCode); }
bool CanShowStationCode(const Workspace& ws) { return TracesLoaded(ws) && StrongMotionSetLoaded(ws); }
bool IsShowStationCodeChecked(const Workspace& ws) { return ws.display.showStationCode == 1; }
int OnThreeComponentLabel(Workspace& ws) { return Toggle(ws.settings.threeComponentLabel); }
bool IsThreeComponentLabelChecked(const Workspace& ws) { return ws.settings.threeComponentLabel == 1; }
int OnKeepScaleAndTimeAxis(Workspace& ws) { return Toggle(ws.settings.applyCurrentConfiguration); }
bool IsKeepScaleAndTimeAxisChecked(const Workspace& ws) { return ws.settings.applyCurrentConfiguration == 1; }
int OnKeepDistanceAxis(Workspace& ws) { return Toggle(ws.settings.applyCurrentConfigurationDistance); }
bool IsKeepDistanceAxisChecked(const Workspace& ws) { return ws.settings.applyCurrentConfigurationDistance == 1; }

int OnSelectedTraceOnly(Workspace& ws)
{
    ws.display.selectedOnly = -ws.display.selectedOnly;
    return 0;
}
bool IsSelectedTraceOnlyChecked(const Workspace& ws) { return ws.display.selectedOnly == 1; }

int OnWaveformData(Workspace& ws)
{
    ws.display.displayMode = 0;
    ws.store.dataKind() = kTimeDomain;
    ws.store.Params().recordKind = 0;  // waveforms
    ws.display.axesFixed = 0;
    return 1;
}

int OnVelocityModel(Workspace& ws)
{
    ws.display.displayMode = 1;
    return 1;
}

int OnWaveformDisplay(Workspace& ws)
{
    ws.display.displayMode = 0;
    return 1;
}

int OnGeometry(Workspace& ws)
{
    ws.display.displayMode = ArrayGeometryPresent(ws) ? 4 : 3;
    return 1;
}
bool CanShowGeometry(const Workspace& ws) { return ws.fileGroup.entryCount > 0 || ArrayGeometryPresent(ws); }
bool IsDisplayModeChecked(const Workspace& ws, int mode) { return ws.display.displayMode == mode; }
bool IsGeometryChecked(const Workspace& ws) { return ws.display.displayMode == 3 || ws.display.displayMode == 4; }

int OnPlotMode(Workspace& ws, int plotMode, int subFlag)
{
    ws.display.plotMode = plotMode;
    ws.display.plotSubFlag = subFlag;
    // A record's plot mode shows the record: the geometry pictures are left.
    if (ws.display.displayMode == 3 || ws.display.displayMode == 4) ws.display.displayMode = 0;
    return 1;
}
bool IsPlotModeChecked(const Workspace& ws, int plotMode, int subFlag)
{
    return ws.display.plotMode == plotMode && ws.display.plotSubFlag == subFlag;
}

// ---------------------------------------------------------------------------------------------
// Display window

int OnSamplesShown(Workspace& ws, int n)
{
    CParameterSet& p = ws.store.Params();
    const int all = std::max(0, p.samplesPerTrace);
    p.samplesShown = n <= 0 ? all : std::min(n, all);
    ws.display.firstSampleShown = 0;
    p.windowStartTime = 0.0f;
    p.shownTime = static_cast<float>(p.samplesShown) * p.sampleInterval;
    return 1;
}

int OnTracesShown(Workspace& ws, int n)
{
    CParameterSet& p = ws.store.Params();
    const int all = ws.store.TraceCount();
    p.tracesShown = n <= 0 ? all : std::min(n, all);
    ws.display.firstTraceShown = 0;
    return 1;
}

DialogRequest CNumberOfTracesDlg::Request(int language)
{
    DialogRequest req(kClass, Msg(language, kTitle, "トレース数"));
    req.Int("Number of traces", traces, kMin, kMax).Label(Msg(language, "Number of traces", "トレース数"));
    return req;
}

int OnTracesShownArbitrary(Workspace& ws, UiHost& ui)
{
    CNumberOfTracesDlg dlg;
    // A preset outside the field's range would make OK refuse the untouched dialog.
    dlg.traces = std::clamp(ws.store.TraceCount(), CNumberOfTracesDlg::kMin, CNumberOfTracesDlg::kMax);
    DialogRequest req = dlg.Request(ws.startup.language);
    if (!ui.RunDialog(req)) return 0;
    return OnTracesShown(ws, dlg.traces);
}

bool CanShowSideWaveforms(const Workspace& ws)
{
    return ws.store.dataKind() != kRealSpectrum || FileGroupHasFiles(ws);
}

// ---------------------------------------------------------------------------------------------
// Record length

int OnChangeRecordLength(Workspace& ws, UiHost& ui, int n)
{
    WaveformStore& store = ws.store;
    if (n < 1 || !CheckRecordFitsMaxSample(ws, ui, n)) return 0;
    if (!store.IsAllocated()) return 0;
    store.PushUndo();

    CParameterSet& p = store.Params();
    const bool complex = IsComplexKind(store.dataKind());
    for (int i = 0; i < store.TraceCount(); ++i) {
        // New samples are 0 from each trace's own end: columns beyond it may hold anything.
        const int own = store.TraceSamples(i);
        if (own < n) {
            std::span<float> row = store.current.rows.Row(i);
            std::fill(row.begin() + own, row.begin() + n, 0.0f);
            if (complex) {
                std::span<float> imag = store.current.imag.Row(i);
                std::fill(imag.begin() + own, imag.begin() + n, 0.0f);
            }
        }
        store.current.headers[static_cast<size_t>(i)].samples = n;
    }
    p.samplesPerTrace = n;
    p.samplesShown = std::min(p.samplesShown, n);
    ClampDisplayWindow(ws);
    ws.display.modified = 1;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Timer

void StartViewTimer(Workspace& ws, ViewSurface* view, int milliseconds)
{
    ws.display.timerRunning = 1;
    ws.display.timerInterval = milliseconds;
    if (view) view->StartTimer(milliseconds);
}

void StopViewTimer(Workspace& ws, ViewSurface* view)
{
    ws.display.timerRunning = 0;
    ws.display.timerInterval = 0;
    if (view) view->StopTimer();
}

// ---------------------------------------------------------------------------------------------
// Menu rows

void AddViewCommands(CommandTable& t)
{
    // Submenus.
    t.AddMenu({"view.samples", "view", "# of samples shown", "表示サンプル数", kInAllMenus, 300});
    t.AddMenu({"view.traces", "view", "# of traces shown", "表示トレース数", kInAllMenus, 310});
    t.AddMenu({"view.normalize", "view", "Normalize", "正規化", kInAllMenus, 320});
    t.AddMenu({"view.shading", "view", "Trace shading", "トレースの塗りつぶし", kInAllMenus, 340});
    t.AddMenu({"view.amplitude", "view", "Show amplitude", "振幅表示", kInAllMenus, 350});
    t.AddMenu({"view.option", "view", "Option", "オプション", kInAllMenus, 500});
    t.AddMenu({"edit.recordlength", "edit", "Change record length", "レコード長の変更", kInAllMenus, 200});
    t.AddMenu({"edit.option", "edit", "Option", "オプション", kInAllMenus, 300});
    t.AddMenu({"edit.option.component", "edit.option", "Select component to be edited", "編集する成分の選択",
               kInAllMenus, 10});
    t.AddMenu({"option.etc", "option", "etc.", "その他", kInAllMenus, 800});
    t.AddMenu({"option.processing", "option", "Processing", "処理", kInAllMenus, 700});
    t.AddMenu({"option.processing.option", "option.processing", "Option", "オプション", kInAllMenus, 900});

    int nextRule = kRuleViewFirst;
    auto rule = [&](std::function<bool(const Workspace&)> predicate) {
        const int id = nextRule++;
        t.SetRule(id, [predicate = std::move(predicate)](const Workspace& ws, const RecentFileList&) {
            return predicate(ws);
        });
        return id;
    };
    const int tracesRule = rule(TracesLoaded);

    using WsAction = std::function<int(Workspace&)>;
    auto add = [&](int id, const char* menu, double order, const char* en, const char* ja, CommandAction action,
                   ItemKind kind = ItemKind::Command, int enable = kRuleAlways, int check = kRuleNone) {
        t.Add(MakeRow(id, menu, order, en, ja, std::move(action), enable, kind, check));
    };
    auto ws = [](WsAction f) -> CommandAction { return [f = std::move(f)](CommandContext& c) { return f(c.ws); }; };
    auto separator = [&](const char* menu, double order) {
        t.Add(SeparatorRow(menu, order));
    };
    // An id without a menu item (bound to keys elsewhere); still checked through its rule.
    auto hidden = [&](int id, CommandAction action, int check = kRuleNone) {
        CommandRow r;
        r.id = id;
        r.menus = 0;
        r.action = std::move(action);
        r.checkRule = check;
        t.Add(std::move(r));
    };

    // Edit.
    CommandRow undo = MakeRow(cmd::kEditUndo, "edit", 10, "&Undo", "元に戻す(&U)",
                              [](CommandContext& c) { return OnEditUndo(c.ws); }, rule(CanUndo));
    undo.accelerator = "Ctrl+Z";
    t.Add(std::move(undo));
    separator("edit", 100);
    for (size_t k = 0; k < std::size(kRecordLengthChoices); ++k) {
        const int n = kRecordLengthChoices[k];
        const std::string text = std::to_string(n);
        t.Add(MakeRow(cmd::kRecordLengthFirst + static_cast<int>(k), "edit.recordlength", static_cast<double>(k), text,
                      text, [n](CommandContext& c) { return OnChangeRecordLength(c.ws, c.ui, n); }));
    }
    add(cmd::kComponentAll, "edit.option.component", 0, "All components", "全成分",
        ws([](Workspace& w) { return OnSelectComponent(w, -1); }), ItemKind::Radio, kRuleAlways,
        rule([](const Workspace& w) { return IsComponentChecked(w, -1); }));
    static const char* const kOrdinalsEn[] = {"1st component", "2nd component", "3rd component",
                                              "4th component", "5th component", "6th component"};
    static const char* const kOrdinalsJa[] = {"第1成分", "第2成分", "第3成分", "第4成分", "第5成分", "第6成分"};
    for (int k = 1; k <= 6; ++k) {
        add(cmd::kComponentFirst + k - 1, "edit.option.component", k, kOrdinalsEn[k - 1], kOrdinalsJa[k - 1],
            ws([k](Workspace& w) { return OnSelectComponent(w, k); }), ItemKind::Radio, kRuleAlways,
            rule([k](const Workspace& w) { return IsComponentChecked(w, k); }));
    }

    // Option.
    add(cmd::kDimensionSize, "option", 10, "Dimension size", "配列サイズ",
        [](CommandContext& c) { return OnDimensionSize(c.ws, c.ui); });
    add(cmd::kEnglish, "option.etc", 10, "English", "英語 (English)", ws(OnEnglish), ItemKind::Check, kRuleAlways,
        rule(IsEnglishChecked));
    add(cmd::kSelectedTraceOnly, "option.processing.option", 10, "Selected trace only", "選択トレースのみ",
        ws(OnSelectedTraceOnly), ItemKind::Check, kRuleAlways, rule(IsSelectedTraceOnlyChecked));

    // View: scales.
    add(cmd::kEnlargeAmplitude, "view", 10, "Enlarge waveform amplitude", "波形振幅の拡大", ws(OnEnlargeAmplitude));
    add(cmd::kReduceAmplitude, "view", 11, "Reduce waveform amplitude", "波形振幅の縮小", ws(OnReduceAmplitude));
    add(cmd::kEnlargeAmplitudeFast, "view", 12, "Enlarge waveform amplitude (fast)", "波形振幅の拡大 (高速)",
        ws(OnEnlargeAmplitudeFast));
    add(cmd::kReduceAmplitudeFast, "view", 13, "Reduce waveform amplitude (fast)", "波形振幅の縮小 (高速)",
        ws(OnReduceAmplitudeFast));
    separator("view", 20);
    add(cmd::kEnlargeTimeScale, "view", 21, "Enlarge time (horizontal) scale", "時間(横)軸スケールの拡大",
        ws(OnEnlargeTimeScale));
    add(cmd::kReduceTimeScale, "view", 22, "Reduce time (horizontal) scale", "時間(横)軸スケールの縮小",
        ws(OnReduceTimeScale));
    add(cmd::kEnlargeDistanceScale, "view", 23, "Enlarge distance (depth, vertical) scale",
        "距離(深度・縦)軸スケールの拡大", ws(OnEnlargeDistanceScale));
    add(cmd::kReduceDistanceScale, "view", 24, "Reduce distance (depth, vertical) scale",
        "距離(深度・縦)軸スケールの縮小", ws(OnReduceDistanceScale));
    add(cmd::kDisplayRatio, "view", 25, "1:1 display ratio", "1:1 表示比率", ws(OnDisplayRatio));
    separator("view", 100);

    // View: moving through the record and the survey line.
    const int sideRule = rule(CanShowSideWaveforms);
    auto side = [](bool right) -> CommandAction {
        return [right](CommandContext& c) {
            WorkspaceFileGroup group(c.ws, c.ui);
            return ShowSideWaveforms(c.ws, c.ui, group, right, &c.doc, c.frame);
        };
    };
    add(cmd::kShowLeftSide, "view", 110, "Show left side waveforms", "左側の波形を表示", side(false),
        ItemKind::Command, sideRule);
    add(cmd::kShowRightSide, "view", 111, "Show right side waveforms", "右側の波形を表示", side(true),
        ItemKind::Command, sideRule);
    add(cmd::kShowNextFile, "view", 112, "Show next waveform file", "次の波形ファイルを表示",
        [](CommandContext& c) {
            WorkspaceFileGroup group(c.ws, c.ui);
            StepContext step{c.ws, c.doc, c.ui, group, c.frame};
            return ShowNextWaveformFile(step, true);
        });
    add(cmd::kShowPreviousFile, "view", 113, "Show previous waveform file", "前の波形ファイルを表示",
        [](CommandContext& c) {
            WorkspaceFileGroup group(c.ws, c.ui);
            StepContext step{c.ws, c.doc, c.ui, group, c.frame};
            return ShowPreviousWaveformFile(step);
        });
    separator("view", 200);

    // View: windows.
    for (size_t k = 0; k < std::size(kSamplesShownChoices); ++k) {
        const int n = kSamplesShownChoices[k];
        const std::string text = std::to_string(n);
        add(cmd::kSamplesShownFirst + static_cast<int>(k), "view.samples", static_cast<double>(k), text.c_str(),
            text.c_str(), ws([n](Workspace& w) { return OnSamplesShown(w, n); }));
    }
    add(cmd::kShowAllSamples, "view.samples", 100, "Show all samples", "全サンプルを表示",
        ws([](Workspace& w) { return OnSamplesShown(w, 0); }));
    for (size_t k = 0; k < std::size(kTracesShownChoices); ++k) {
        const int n = kTracesShownChoices[k];
        const std::string text = std::to_string(n);
        add(cmd::kTracesShownFirst + static_cast<int>(k), "view.traces", static_cast<double>(k), text.c_str(),
            text.c_str(), ws([n](Workspace& w) { return OnTracesShown(w, n); }));
    }
    add(cmd::kTracesShownArbitrary, "view.traces", 50, "Arbitrary", "任意の数...",
        [](CommandContext& c) { return OnTracesShownArbitrary(c.ws, c.ui); });
    add(cmd::kShowAllTraces, "view.traces", 100, "Show all traces", "全トレースを表示",
        ws([](Workspace& w) { return OnTracesShown(w, 0); }));

    // View: normalisation, clipping, shading, amplitude, units.
    add(cmd::kNormalizeByFile, "view.normalize", 10, "By file", "ファイル単位",
        ws([](Workspace& w) { return OnNormalize(w, 1); }));
    add(cmd::kNormalizeByTrace, "view.normalize", 20, "By each trace", "トレース単位",
        ws([](Workspace& w) { return OnNormalize(w, 0); }));
    add(cmd::kRenormalize, "view.normalize", 30, "Re-normalize", "再正規化", ws(OnRenormalize));
    // Checked while the clip flag is -1 (the rule comes with the interactive editing).
    add(cmd::kClip, "view", 330, "Clipping", "クリッピング", ws(OnClip), ItemKind::Check, kRuleAlways,
        kRuleClipChecked);
    const struct { int id; int value; const char* en; const char* ja; } shades[] = {
        {cmd::kShadePositive, 1, "Shade positive side", "正側を塗りつぶす"},
        {cmd::kNoShading, 0, "No shading", "塗りつぶしなし"},
        {cmd::kShadeNegative, -1, "Shade negative side", "負側を塗りつぶす"},
    };
    for (const auto& s : shades) {
        const int value = s.value;
        add(s.id, "view.shading", 10 - value, s.en, s.ja, ws([value](Workspace& w) { return OnShading(w, value); }),
            ItemKind::Radio, kRuleAlways, rule([value](const Workspace& w) { return IsShadingChecked(w, value); }));
    }
    add(cmd::kShowMaximumAmplitude, "view.amplitude", 10, "Show maximum amplitude", "最大振幅を表示",
        ws(OnShowMaximumAmplitude), ItemKind::Check, kRuleAlways, rule(IsShowMaximumAmplitudeChecked));
    add(cmd::kMeterFeet, "view", 360, "meter/feet", "メートル/フィート", ws(OnMeterFeet));
    separator("view", 400);

    // View: plot modes.
    struct PlotMode { int id; int mode; int sub; const char* en; const char* ja; };
    const PlotMode plots[] = {
        {cmd::kWaveformPlot, -2, 0, "Waveform plot", "波形表示"},
        {cmd::kFineContourPlot, 1, 0, "Fine color contour plot", "精細カラーコンター表示"},
        {cmd::kContourPlot, 0, 0, "Color contour plot", "カラーコンター表示"},
        {cmd::kPlotWiggleAlternative, -3, 0, nullptr, nullptr},
        {cmd::kPlotColourAlternative, -1, 0, nullptr, nullptr},
        {cmd::kPlotFine2, 2, 1, nullptr, nullptr},
        {cmd::kPlotFine1, 1, 1, nullptr, nullptr},
    };
    double plotOrder = 410;
    for (const PlotMode& m : plots) {
        const int mode = m.mode;
        const int sub = m.sub;
        CommandAction action = ws([mode, sub](Workspace& w) { return OnPlotMode(w, mode, sub); });
        const int check = rule([mode, sub](const Workspace& w) { return IsPlotModeChecked(w, mode, sub); });
        if (m.en) {
            add(m.id, "view", plotOrder++, m.en, m.ja, std::move(action), ItemKind::Check, kRuleAlways, check);
        } else {
            hidden(m.id, std::move(action), check);
        }
    }

    // View > Option.
    const char* opt = "view.option";
    add(cmd::kHorizontalDirection, opt, 10, "Horizontal direction", "横方向",
        ws([](Workspace& w) { return OnPlotDirection(w, 0); }), ItemKind::Radio, kRuleAlways,
        rule([](const Workspace& w) { return IsPlotDirectionChecked(w, 0); }));
    add(cmd::kVerticalDirection, opt, 11, "Vertical direction", "縦方向",
        ws([](Workspace& w) { return OnPlotDirection(w, 1); }), ItemKind::Radio, kRuleAlways,
        rule([](const Workspace& w) { return IsPlotDirectionChecked(w, 1); }));
    separator(opt, 20);
    add(cmd::kVerticalAxisTitle, opt, 21, "Vertical axis title(distance or depth)", "縦軸タイトル(距離または深度)",
        ws(OnVerticalAxisTitle));
    add(cmd::kHorizontalAxisTitle, opt, 22, "Horizontal axis title(time or depth)", "横軸タイトル(時間または深度)",
        ws(OnHorizontalAxisTitle));
    add(cmd::kColourMonochrome, opt, 23, "Color <-> monochrome", "カラー <-> モノクロ", ws(OnColourMonochrome));
    add(cmd::kReversedSense, opt, 24, "Reversed sense", "極性反転", ws(OnReversedSense), ItemKind::Check, tracesRule,
        rule(IsReversedSenseChecked));
    add(cmd::kShowStationCode, opt, 25, "Show observation station code etc.", "観測点コード等を表示",
        ws(OnShowStationCode), ItemKind::Check, rule(CanShowStationCode), rule(IsShowStationCodeChecked));
    add(cmd::kThreeComponentLabel, opt, 26, "Show 3 component label(NS,EW,UD)", "3成分ラベルを表示(NS,EW,UD)",
        ws(OnThreeComponentLabel), ItemKind::Check, tracesRule, rule(IsThreeComponentLabelChecked));
    add(cmd::kKeepScaleAndTimeAxis, opt, 27, "Apply current configuration(scale and time axis)",
        "現在の設定を適用(スケールと時間軸)", ws(OnKeepScaleAndTimeAxis), ItemKind::Check, tracesRule,
        rule(IsKeepScaleAndTimeAxisChecked));
    add(cmd::kKeepDistanceAxis, opt, 28, "Apply current configuration(distance axis)", "現在の設定を適用(距離軸)",
        ws(OnKeepDistanceAxis), ItemKind::Check, tracesRule, rule(IsKeepDistanceAxisChecked));
    separator(opt, 30);
    const int modeZero = rule([](const Workspace& w) { return IsDisplayModeChecked(w, 0); });
    add(cmd::kWaveformData, opt, 31, "Waveform data", "波形データ", ws(OnWaveformData), ItemKind::Check, tracesRule,
        modeZero);
    add(cmd::kVelocityModel, opt, 32, "Velocity model", "速度モデル", ws(OnVelocityModel), ItemKind::Check,
        kRuleAlways, rule([](const Workspace& w) { return IsDisplayModeChecked(w, 1); }));
    add(cmd::kGeometry, opt, 33, "Geometry", "ジオメトリ", ws(OnGeometry), ItemKind::Check, rule(CanShowGeometry),
        rule(IsGeometryChecked));
    hidden(cmd::kWaveformDisplay, ws(OnWaveformDisplay), modeZero);
}

}  // namespace velk
