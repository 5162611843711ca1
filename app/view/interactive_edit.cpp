#include "app/view/interactive_edit.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "acquisition/receiver_interval_dlg.h"
#include "base/edit_text_files.h"
#include "base/position.h"
#include "app/dsp/data_kind.h"
#include "app/formats/import_roads.h"
#include "app/view/record_extents.h"
#include "app/dsp/time_shift.h"
#include "app/dsp/trace_edit_menu.h"
#include "app/dsp/trace_edit_dialogs.h"
#include "app/workspace.h"
#include "dsp/trace_edit.h"
#include "formats/file_roads.h"
#include "formats/trace_arrays.h"
#include "platform/atomic_file.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "survey/header_edit_dialogs.h"

namespace velk {

namespace {

int Language(const Workspace& ws) { return ws.startup.language; }

bool IsSelected(const Workspace& ws, int trace)
{
    const auto& flags = ws.store.Params().selectionFlags;
    return static_cast<size_t>(trace) < flags.size() && flags[static_cast<size_t>(trace)] == 1;
}

ReceiverShiftTable& ShiftTable(Workspace& ws)
{
    ReceiverShiftTable& table = ws.interactiveEdit.shiftTable;
    table.Fit(ws.store.MaxTraces());
    return table;
}

void ErrorOpening(Workspace& ws, UiHost& ui)
{
    ui.Message(ErrorOpeningFileText(Language(ws)), MsgButtons::Ok, MsgIcon::Error);
}

// The whole text of a file chosen in an open dialog; nullopt after Cancel (silently) or after
// "error in opening file".
std::optional<std::string> ReadChosenFile(Workspace& ws, UiHost& ui, const char* filter)
{
    FileRequest request;
    request.initialName = "*.*";
    request.filters = {{filter, "*"}};
    const std::optional<std::string> path = ui.OpenFile(request);
    if (!path) return std::nullopt;
    ByteSource file = ByteSource::FromFile(*path);
    if (!file.Ok()) {
        ErrorOpening(ws, ui);
        return std::nullopt;
    }
    const std::span<const uint8_t> bytes = file.Peek(static_cast<size_t>(file.Size()));
    return std::string(bytes.begin(), bytes.end());
}

// The receiver range of the titles from the first and the last trace.
void ReceiverRangeFromEnds(Workspace& ws)
{
    const int n = ws.store.TraceCount();
    if (n == 0) return;
    const auto& h = ws.store.current.headers;
    ws.display.firstReceiver = static_cast<float>(HundredthsToMetres(h[0].receiverHundredths));
    ws.display.lastReceiver = static_cast<float>(HundredthsToMetres(h[static_cast<size_t>(n - 1)].receiverHundredths));
}

// Runs the table shift over `count` pairs after the interval check.
int ShiftByTable(Workspace& ws, UiHost& ui, int count)
{
    if (!CheckIntervalMs(ws, ui, ws.store.Params().sampleInterval)) return 0;
    return ShiftTracesByReceiverTable(ws, count);
}

}  // namespace

DialogRequest CAmplitudeConstantDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Setup amplitude constant", "振幅定数の設定"));
    r.Float("Constant", constant).Label("Constant=");
    r.String("Unit", unit).Label("Unit=");
    return r;
}

// ---------------------------------------------------------------------------------------------
// Time shifts

int OnPointShotMark(Workspace& ws)
{
    ws.display.editMode = 2;
    return 1;
}

int OnSetTimeShiftAllTraces(Workspace& ws, UiHost& ui)
{
    CShiftAllTracesDlg dlg;
    dlg.changeLength = ws.settings.changeDataLength;
    DialogRequest request = dlg.Request(Language(ws));
    if (!ui.RunDialog(request)) return 0;
    ws.settings.changeDataLength = dlg.changeLength;
    if (ws.store.TraceCount() == 0 || !CheckTraceIntervals(ws, ui)) return 0;
    if (!CheckRecordFitsMaxSample(ws, ui, ShiftedTraceLength(ws, dlg.shift))) return 0;
    if (ShiftTraces(ws, dlg.shift, 1) == 0) return 0;
    ws.display.modified = 1;
    ws.store.ComputeTraceMaxima();
    return 1;
}

int OnReadTimeShiftFile(Workspace& ws, UiHost& ui)
{
    ui.Message(Msg(Language(ws), kOpenTimeShiftFileText, "トレースの時間シフトファイルを開いてください !"));
    const std::optional<std::string> text = ReadChosenFile(ws, ui, "Trace time shift file(*.*)");
    if (!text) return 0;
    ReceiverShiftTable& table = ShiftTable(ws);
    table.count = ReadReceiverShiftPairs(*text, table.positions, table.shifts);
    return ShiftByTable(ws, ui, table.count);
}

int OnSubtractFirstArrivalTime(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const int n = store.TraceCount();
    if (n == 0) return 0;
    ReceiverShiftTable& table = ShiftTable(ws);
    const CParameterSet& p = store.Params();
    for (int i = 0; i < n; ++i) {
        const auto k = static_cast<size_t>(i);
        table.positions[k] = static_cast<float>(HundredthsToMetres(store.current.headers[k].receiverHundredths));
        table.shifts[k] = k < p.pickTimes.size() ? p.pickTimes[k] : 0.0f;
    }
    table.count = n;
    return ShiftByTable(ws, ui, n);
}

int OnPreTriggerShift(Workspace& ws)
{
    int& plot = ws.settings.triggerPlot;
    plot = plot == 1 ? -1 : 1;
    ws.display.displayTimeOffset =
        plot == 1 && ws.store.TraceCount() > 0 ? ws.store.current.headers[0].delayUs * 0.001f : 0.0f;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Selection

int OnSelectTrace(Workspace& ws)
{
    auto& flags = ws.store.Params().selectionFlags;
    std::fill(flags.begin(), flags.end(), 0);
    const bool on = ws.display.editMode == 5;
    ws.display.editMode = on ? 0 : 5;
    ws.display.selectionMode = on ? 0 : 1;
    return 1;
}

int OnReverseSelected(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const int n = store.TraceCount();
    bool any = false;
    const int samples = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    for (int i = 0; i < n; ++i) {
        if (!IsSelected(ws, i)) continue;
        any = true;
        const auto row = store.current.rows.Row(i);
        for (int j = 0; j < samples; ++j) row[static_cast<size_t>(j)] = -row[static_cast<size_t>(j)];
    }
    if (!any) {
        if (n > 0) ui.Message(Msg(Language(ws), "No trace is selected !", "トレースが選択されていません !"),
                              MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    ws.display.modified = 1;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Display factors, normalisation, amplitude constants

int OnOpenCorrectionFile(Workspace& ws, UiHost& ui)
{
    const std::optional<std::string> text = ReadChosenFile(ws, ui, "Key file(*.*)");
    if (!text) return 0;
    WaveformStore& store = ws.store;
    const size_t n = std::min(static_cast<size_t>(store.TraceCount()), store.displayFactor.size());
    ReadDisplayFactors(*text, std::span<float>(store.displayFactor).first(n));
    return 1;
}

int OnSaveCorrectionFile(Workspace& ws, UiHost& ui)
{
    FileRequest request;
    request.initialName = "*.*";
    request.filters = {{"All files(*.*)", "*"}};
    const std::optional<std::string> path = ui.SaveFile(request);
    if (!path) return 0;
    const WaveformStore& store = ws.store;
    const CParameterSet& p = store.Params();
    const int n = store.TraceCount();
    std::vector<float> receivers(static_cast<size_t>(n)), maxima(static_cast<size_t>(n)), factors(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const auto k = static_cast<size_t>(i);
        receivers[k] = static_cast<float>(HundredthsToMetres(store.current.headers[k].receiverHundredths));
        maxima[k] = k < p.traceMaxima.size() ? p.traceMaxima[k] : 0.0f;
        factors[k] = k < store.displayFactor.size() ? store.displayFactor[k] : 1.0f;
    }
    if (!WriteFileAtomically(*path, FormatDisplayFactors(receivers, maxima, factors))) ErrorOpening(ws, ui);
    return 0;
}

int OnDefaultCorrection(Workspace& ws)
{
    std::fill(ws.store.displayFactor.begin(), ws.store.displayFactor.end(), 1.0f);
    return 1;
}

int OnNormalizeTraces(Workspace& ws)
{
    ws.store.ComputeTraceMaxima();
    int& flag = ws.store.Params().normalisation;
    flag = flag == 1 ? 0 : 1;
    return 1;
}

int OnSetupAmplitudeConstants(Workspace& ws, UiHost& ui)
{
    CAmplitudeConstantDlg dlg;
    dlg.constant = ws.settings.amplitudeConstant;
    dlg.unit = ws.settings.amplitudeUnit;
    DialogRequest request = dlg.Request(Language(ws));
    if (!ui.RunDialog(request)) return 0;
    ws.settings.amplitudeConstant = dlg.constant;
    ws.settings.amplitudeUnit = dlg.unit;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Mute at the picks

int OnMuteAtPicks(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    MuteWindow& kept = ws.interactiveEdit.muteWindow;
    CMuteWaveformDlg dlg;
    dlg.taperBefore = kept.taperBefore;
    dlg.window = kept.window;
    dlg.taperAfter = kept.taperAfter;
    DialogRequest request = dlg.Request(Language(ws));
    if (!ui.RunDialog(request)) return 0;
    kept = MuteWindow{dlg.taperBefore, dlg.window, dlg.taperAfter};
    const int n = store.TraceCount();
    if (n == 0 || !CheckTraceIntervals(ws, ui)) return 0;
    store.PushUndo();
    const auto& picks = store.Params().pickTimes;
    float start = 0.0f;  // a trace without a pick starts where the trace before it started
    for (int i = 0; i < n; ++i) {
        const auto k = static_cast<size_t>(i);
        const float pick = k < picks.size() ? picks[k] : -1.0f;
        if (pick > -0.001f) start = pick;
        TaperWindow(store.current.rows.Row(i), store.current.headers[k].intervalUs * 0.001f, store.TraceSamples(i),
                    start, kept.window, kept.taperBefore, kept.taperAfter);
    }
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Editors

int OnShowEditHeaders(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const int n = store.TraceCount();
    if (n == 0) return 0;
    ReceiverShiftTable& table = ShiftTable(ws);
    CParameterSet& p = store.Params();
    HeaderInfoColumns c;
    c.Resize(n);
    for (int i = 0; i < n; ++i) {
        const auto k = static_cast<size_t>(i);
        const CTraceHeader& h = store.current.headers[k];
        c.traceNumber[k] = i + 1;
        c.receiver[k] = h.receiverHundredths;
        c.source[k] = h.sourceHundredths;
        c.gain[k] = h.gain;
        c.component[k] = h.component;
        c.delay[k] = h.delayUs;
        c.interval[k] = h.intervalUs;
        c.length[k] = h.samples;
        c.firstArrival[k] = k < p.pickTimes.size() ? p.pickTimes[k] : 0.0f;
        c.amplitude[k] = k < store.displayFactor.size() ? store.displayFactor[k] : 1.0f;
        c.timeShift[k] = k < table.shifts.size() ? table.shifts[k] : 0.0f;
    }
    CHeaderInfoDlg dlg;
    dlg.SetHeaders(n, c);
    DialogRequest request = dlg.Request(Language(ws));
    dlg.Finish(ui.RunDialog(request));
    if (dlg.GetStatus() != 1) return 0;
    dlg.GetHeaders(c);
    const int rowLength = store.RowLength();
    for (int i = 0; i < n; ++i) {
        const auto k = static_cast<size_t>(i);
        CTraceHeader& h = store.current.headers[k];
        const int oldCount = store.TraceSamples(i);
        h.receiverHundredths = c.receiver[k];
        h.sourceHundredths = c.source[k];
        h.gain = c.gain[k];
        h.component = c.component[k];
        h.delayUs = c.delay[k];
        h.intervalUs = c.interval[k];
        h.samples = std::clamp(c.length[k], 0, rowLength);
        if (h.samples > oldCount) {  // a longer trace shows zeros, not what the row held before
            const auto row = store.current.rows.Row(i);
            std::fill(row.begin() + oldCount, row.begin() + h.samples, 0.0f);
        }
        if (k < p.pickTimes.size()) p.pickTimes[k] = c.firstArrival[k];
        if (k < store.displayFactor.size()) store.displayFactor[k] = c.amplitude[k];
        if (k < table.shifts.size()) {
            table.shifts[k] = c.timeShift[k];
            table.positions[k] = static_cast<float>(HundredthsToMetres(h.receiverHundredths));
        }
    }
    table.count = std::min(n, table.Capacity());
    if (ws.survey.applyShift == 1) {
        ShiftByTable(ws, ui, table.count);
    } else {
        SortStoreByReceiver(store, n);
        ReceiverRangeFromEnds(ws);
    }
    ws.survey.applyShift = 0;
    return 1;
}

int OnSetTimeShiftEachTrace(Workspace& ws, UiHost& ui)
{
    ws.survey.applyShift = 1;
    const int result = OnShowEditHeaders(ws, ui);
    ws.survey.applyShift = 0;  // a cancelled editor leaves no shift pending for the next opening
    return result;
}

int OnInputSourceLocation(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const int n = store.TraceCount();
    if (n == 0) return 0;
    const CTraceHeader& lead = store.current.headers[0];
    CSourceLocationDlg dlg;
    dlg.sourceLocation = static_cast<float>(HundredthsToMetres(lead.sourceHundredths));
    dlg.component = ComponentIndexOf(lead.component);
    dlg.changeSourceLocation = 1;
    DialogRequest request = dlg.Request(Language(ws));
    if (!ui.RunDialog(request)) return 0;
    const std::optional<int32_t> source = MetresToHundredths(dlg.sourceLocation);
    for (int i = 0; i < n; ++i) {
        CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        if (dlg.changeSourceLocation == 1 && source) h.sourceHundredths = *source;
        if (dlg.changeComponent == 1) h.component = dlg.component + 1;
    }
    return 1;
}

int OnEditGeometry(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const int n = store.TraceCount();
    if (n == 0) return 0;
    CGeometryDlg dlg;
    dlg.SetFirstRow(ws.interactiveEdit.geometryFirstRow);
    dlg.LoadLocations(n, std::span<const CTraceHeader>(store.current.headers).first(static_cast<size_t>(n)),
                      ws.settings.unitText);
    DialogRequest request = dlg.Request(Language(ws));
    if (!ui.RunDialog(request)) return 0;
    store.PushUndo();
    std::string unit;
    const int kept = dlg.StoreLocations(std::span<CTraceHeader>(store.current.headers).first(static_cast<size_t>(n)), unit);
    ws.interactiveEdit.geometryFirstRow = dlg.FirstRow();
    CParameterSet& p = store.Params();
    std::fill(p.selectionFlags.begin() + std::min(p.selectionFlags.size(), static_cast<size_t>(kept)),
              p.selectionFlags.begin() + std::min(p.selectionFlags.size(), static_cast<size_t>(n)), 0);
    p.traceCount = kept;
    // The radio switches between metres and feet; "km" and "kft" stay as long as the kind does.
    const bool feet = ws.settings.unitText.find("ft") != std::string::npos;
    if (feet != (unit == "ft")) ws.settings.unitText = unit;
    SortStoreByReceiver(store, kept);
    ReceiverRangeFromEnds(ws);
    ClampDisplayWindow(ws);
    ws.display.modified = 1;
    return 1;
}

int EditReceiverInterval(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const int n = store.TraceCount();
    // The dialog works on a copy, so that Cancel leaves no undo snapshot behind.
    std::vector<CTraceHeader> headers(store.current.headers.begin(), store.current.headers.begin() + n);
    float spacing = ws.geometry.receiverInterval * 100.0f;
    CReceiverIntervalDlg dlg;
    dlg.ApplySpacing(n, headers, spacing, ui, Language(ws));
    if (!dlg.accepted) return 0;
    if (n > 0) store.PushUndo();
    std::copy(headers.begin(), headers.end(), store.current.headers.begin());
    ws.geometry.receiverInterval = spacing * 0.01f;
    ReceiverRangeFromEnds(ws);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Menu type

int OnMenuTypeSimple(Workspace& ws, UiHost& ui)
{
    ws.startup.fullMenu = ws.startup.fullMenu == 1 ? 0 : 1;
    ui.Message(Msg(Language(ws), kRestartText, "プログラムを再起動してください !"));
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Menu rows

void AddInteractiveEditCommands(CommandTable& t)
{
    // Menus another feature may have made already are reused.
    t.AddMenuIfMissing({"edit.selected", "edit", "Selected traces", "選択トレース", kInAllMenus, 110});
    t.AddMenuIfMissing({"edit.timeshift", "edit", "Time shift traces", "トレースの時間シフト", kInAllMenus, 120});
    t.AddMenuIfMissing({"edit.option", "edit", "Option", "オプション", kInAllMenus, 300});
    t.AddMenuIfMissing({"view.option", "view", "Option", "オプション", kInAllMenus, 500});
    t.AddMenuIfMissing({"view.amplitude", "view", "Show amplitude", "振幅表示", kInAllMenus, 350});
    t.AddMenuIfMissing({"option.processing", "option", "Processing", "処理", kInAllMenus, 700});
    t.AddMenuIfMissing({"option.processing.mute", "option.processing", "Mute", "ミュート", kInAllMenus, 45});
    t.AddMenuIfMissing({"option.etc", "option", "etc.", "その他", kInAllMenus, 800});
    t.AddMenuIfMissing({"option.etc.amplitude", "option.etc", "Amplitude correction", "振幅補正", kInAllMenus, 100});
    t.AddMenuIfMissing({"option.etc.menutype", "option.etc", "Menu type", "メニューの種類", kInAllMenus, 110});

    auto add = [&](int id, const char* where, double order, const char* en, const char* ja, CommandAction action,
                   int enable, int check = kRuleNone) {
        t.Add(MakeRow(id, where, order, en, ja, std::move(action), enable,
                      check == kRuleNone ? ItemKind::Command : ItemKind::Check, check));
    };
    using WsUi = int (*)(Workspace&, UiHost&);
    using WsOnly = int (*)(Workspace&);
    auto wsUi = [](WsUi f) -> CommandAction { return [f](CommandContext& c) { return f(c.ws, c.ui); }; };
    auto wsOnly = [](WsOnly f) -> CommandAction { return [f](CommandContext& c) { return f(c.ws); }; };

    // Edit > Time shift traces.
    add(cmd::kPointShotMark, "edit.timeshift", 10, "Point shot-mark by a mouse", "マウスで発震点を指定",
        wsOnly(OnPointShotMark), kRuleTracesLoaded);
    add(cmd::kSetTimeShiftAllTraces, "edit.timeshift", 11, "Set time-shift(all traces)", "時間シフトの設定(全トレース)",
        wsUi(OnSetTimeShiftAllTraces), kRuleTracesLoaded);
    add(cmd::kSetTimeShiftEachTrace, "edit.timeshift", 12, "Set time-shift(each trace)",
        "時間シフトの設定(トレースごと)", wsUi(OnSetTimeShiftEachTrace), kRuleTracesLoaded);
    add(cmd::kReadTimeShiftFile, "edit.timeshift", 13, "Read time-shift file", "時間シフトファイルの読み込み",
        wsUi(OnReadTimeShiftFile), kRuleTracesLoaded);

    // Edit.
    add(cmd::kSelectTrace, "edit", 105, "Select trace", "トレースの選択", wsOnly(OnSelectTrace), kRuleTracesLoaded,
        kRuleSelectTraceChecked);
    add(cmd::kReverseSelected, "edit.selected", 10, "Reverse", "極性の反転", wsUi(OnReverseSelected),
        kRuleTracesLoaded);
    add(cmd::kShowEditHeaders, "edit", 130, "Show/edit source/receiver locations etc.",
        "震源・受振点位置などの表示/編集", wsUi(OnShowEditHeaders), kRuleTracesLoaded);
    add(cmd::kEditGeometry, "edit", 131, "Edit source/receiver locations, etc.", "震源・受振点位置などの編集",
        wsUi(OnEditGeometry), kRuleTracesLoaded);
    {
        CommandRow r = MakeRow(cmd::kReceiverInterval, "edit", 132, "Receiver interval(&I)...", "受振点間隔(&I)...",
                               wsUi(EditReceiverInterval), kRuleReceiverInterval);
        r.accelerator = "Ctrl+I";
        t.Add(std::move(r));
    }
    add(cmd::kInputSourceLocation, "edit.option", 20, "Input source location etc.", "震源位置などの入力",
        wsUi(OnInputSourceLocation), kRuleTracesLoaded);

    // View.
    add(cmd::kPreTriggerShift, "view.option", 30, "Pre-trigger shift", "プリトリガー分ずらす",
        wsOnly(OnPreTriggerShift), kRuleAlways, kRulePreTriggerChecked);
    add(cmd::kNormalizeTraces, "view", 325, "Normalize traces", "トレースの正規化", wsOnly(OnNormalizeTraces),
        kRuleTracesLoaded, kRuleNormalizeChecked);
    add(cmd::kSetupAmplitudeConstants, "view.amplitude", 20, "Setup constants", "定数の設定",
        wsUi(OnSetupAmplitudeConstants), kRuleAlways);

    // Option.
    add(cmd::kOpenCorrectionFile, "option.etc.amplitude", 10, "Open correction file", "補正ファイルを開く",
        wsUi(OnOpenCorrectionFile), kRuleTracesLoaded);
    add(cmd::kSaveCorrectionFile, "option.etc.amplitude", 11, "Save correction file", "補正ファイルの保存",
        wsUi(OnSaveCorrectionFile), kRuleTracesLoaded);
    add(cmd::kDefaultCorrection, "option.etc.amplitude", 12, "Default", "既定値", wsOnly(OnDefaultCorrection),
        kRuleTracesLoaded);
    add(cmd::kMuteAtPicks, "option.processing.mute", 30, "Mute(picked arrivale)", "ミュート(読み取った初動)",
        wsUi(OnMuteAtPicks), kRuleTimeDomain);
    add(cmd::kMenuTypeSimple, "option.etc.menutype", 10, "Simple", "簡易", wsUi(OnMenuTypeSimple), kRuleAlways,
        kRuleSimpleMenuChecked);

    auto rule = [&](int id, bool (*predicate)(const Workspace&)) {
        t.SetRule(id, [predicate](const Workspace& ws, const RecentFileList&) { return predicate(ws); });
    };
    rule(kRuleSelectTraceChecked, [](const Workspace& ws) { return ws.display.editMode == 5; });
    rule(kRulePreTriggerChecked, [](const Workspace& ws) { return ws.settings.triggerPlot == 1; });
    rule(kRuleNormalizeChecked, [](const Workspace& ws) { return ws.store.Params().normalisation == 0; });
    rule(kRuleClipChecked, [](const Workspace& ws) { return ws.display.clip == -1; });
    rule(kRuleSimpleMenuChecked, [](const Workspace& ws) { return ws.startup.fullMenu == 0; });
}

}  // namespace velk
