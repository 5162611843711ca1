#include "app/survey/group_commands.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/command_table.h"
#include "app/dsp/nmo_commands.h"
#include "app/dsp/trace_edit_commands.h"
#include "app/operations.h"
#include "app/record_arrival.h"
#include "app/store_commands.h"
#include "app/surfacewave/surfacewave_seams.h"
#include "app/survey/file_list_commands.h"
#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "base/display_filter.h"
#include "app/dsp/velocity_filter_commands.h"
#include "app/formats/next_file.h"
#include "dsp/taup.h"
#include "formats/trace_arrays.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/recent_files.h"
#include "platform/uihost.h"
#include "surfacewave/taup_velocity_range_dlg.h"
#include "survey/file_list_dialogs.h"
#include "traveltime/modelling_dialogs.h"

namespace velk {

// ---------------------------------------------------------------------------------------------
// The seams as the default operations

bool GroupSurfaceWaveOps::PhaseVelocityDialog(Workspace& ws, UiHost& ui) { return RunPhaseVelocityDialog(ws, ui); }
int GroupSurfaceWaveOps::CommonSourceDispersion(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    return velk::CommonSourceDispersion(ws, ui, progress);
}
int GroupSurfaceWaveOps::OneCmpDispersion(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    return velk::OneCmpDispersion(ws, ui, progress);
}
int GroupSurfaceWaveOps::CmpDispersion(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    return velk::CmpDispersion(ws, ui, progress);
}
int GroupSurfaceWaveOps::TauPStack(Workspace& ws, UiHost& ui, ProgressSink& progress, float minimumOffset,
                                   float maximumOffset, int velocityMode)
{
    return velk::TauPStack(ws, ui, progress, minimumOffset, maximumOffset, velocityMode);
}
int GroupSurfaceWaveOps::CrossCorrelationGathers(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    return velk::CrossCorrelationGathers(ws, ui, progress);
}
int GroupSurfaceWaveOps::ForwardFourierAll(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    return velk::ForwardFourierAll(ws, ui, progress);
}
bool GroupSurfaceWaveOps::WriteGpsGeometry(Workspace& ws, UiHost& ui, int zone)
{
    return velk::WriteGpsGeometry(ws, ui, zone);
}

std::string GatherTooLargeText(int language, int capacity)
{
    return Msg(language, "Number of traces is larger than dimension size !", "トレース数が配列サイズより大きいです !") +
           FormatC(Msg(language, "\n MAXTRACES = %d: the gather's traces beyond the first %d were left out.",
                       "\n MAXTRACES = %d: ギャザーの最初の %d トレースより後は取り込まれませんでした。")
                       .c_str(),
                   capacity, capacity);
}

namespace {

int Language(const CommandContext& c) { return c.ws.startup.language; }

void Tell(CommandContext& c, const std::string& text, MsgIcon icon = MsgIcon::Info)
{
    c.ui.Message(text, MsgButtons::Ok, icon);
}

void TellIfStopped(CommandContext& c, bool stopped)
{
    if (stopped) Tell(c, GatherTooLargeText(Language(c), c.ws.store.MaxTraces()), MsgIcon::Warning);
}

void TellIfInvalid(CommandContext& c, bool validInterval)
{
    if (!validInterval) Tell(c, InvalidIntervalMessage(Language(c)), MsgIcon::Warning);
}

bool Loaded(const Workspace& ws) { return ws.fileGroup.dataLoaded == 1; }

// The receivers of the titles from the first and last trace.
void ReceiverRangeOfEnds(Workspace& ws)
{
    const int n = ws.store.TraceCount();
    if (n == 0) return;
    ws.display.firstReceiver = static_cast<float>(ws.store.current.headers[0].receiverHundredths * 0.01);
    ws.display.lastReceiver =
        static_cast<float>(ws.store.current.headers[static_cast<size_t>(n - 1)].receiverHundredths * 0.01);
}

// Kind 0 shot, 1 receiver, 2 CDP: the index clamped to the kind's count, the gather cut into the
// store and set up. Returns 1 (an empty group shows an empty record).
int ShowGather(CommandContext& c, int kind)
{
    Workspace& ws = c.ws;
    WaveformStore& store = ws.store;
    CFileGroup& g = ws.fileGroup;
    if (!store.IsAllocated()) return 0;
    const int counts[] = {g.TableSources(), std::min(g.receiverCount, CFileGroup::kMaxReceivers),
                          std::min(g.cdpCount, CFileGroup::kMaxCdps)};
    if (g.gatherKind == 0 && kind != 0) KeepMemberFileWindow(ws);
    g.gatherKind = kind;
    g.gatherIndex = std::clamp(g.gatherIndex, 0, std::max(counts[kind] - 1, 0));
    BeforeRecordReplaced(ws);
    bool stopped = false;
    auto& rows = store.current.rows;
    auto& headers = store.current.headers;
    const int n = kind == 0   ? g.BuildGather(rows, headers, g.gatherIndex, &stopped)
                  : kind == 1 ? g.CommonReceiverGather(rows, headers, g.gatherIndex, &stopped)
                              : g.CdpGather(rows, headers, g.gatherIndex, &stopped);
    TellIfStopped(c, stopped);
    TellIfInvalid(c, GatherStoreSetUp(ws, n, kind));
    // A receiver gather carries each trace's own source in its receiver word.
    constexpr int kShapes[] = {kPicksOfOneShot, kPicksSwapped, kPicksPerTrace};
    AfterRecordReplaced(c, {RecordTitle::Untitled, false, kShapes[kind]});
    return 1;
}

// The set-up of the offset and spacing gathers: the gather's counts, extents, maxima and
// selection; the record is no longer a member file.
void OffsetGatherSetUp(CommandContext& c, int count, int pickShape)
{
    TellIfInvalid(c, GatherStoreSetUp(c.ws, count, -1));
    c.ws.fileGroup.active = 0;
    AfterRecordReplaced(c, {RecordTitle::Untitled, false, pickShape});
}

// Dialog "Offset" preset with the group's spacing; OK stores it.
bool AskSpacing(CommandContext& c)
{
    CFileGroup& g = c.ws.fileGroup;
    COffsetDlg dlg;
    dlg.offset = g.spacing;
    DialogRequest r = dlg.Request(Language(c));
    if (!c.ui.RunDialog(r)) return false;
    g.spacing = dlg.offset;
    return true;
}

// All samples divided by the largest absolute value (no undo: the command took it).
void NormalizeStoreToMax(WaveformStore& store)
{
    store.ComputeTraceMaxima();
    const float peak = store.Params().recordMaximum;
    if (!(peak > 0.0f) || !std::isfinite(peak)) return;
    for (int i = 0; i < store.TraceCount(); ++i) {
        const auto row = store.current.rows.Row(i);
        const int n = std::min(store.TraceSamples(i), static_cast<int>(row.size()));
        for (int j = 0; j < n; ++j) row[static_cast<size_t>(j)] /= peak;
    }
    store.ComputeTraceMaxima();
}

// After a tau-p stack over the line.
int FinishTauP(CommandContext& c, int traces)
{
    Workspace& ws = c.ws;
    if (traces <= 0) return 1;
    NormalizeStoreToMax(ws.store);
    ws.store.dataKind() = kRealSpectrum;
    ws.display.spectrumAxisKind = 3;
    AfterRecordReplaced(c, BuiltArrival());
    return 1;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Geometry and waveforms

int SetUpGroupGeometry(CommandContext& c)
{
    Workspace& ws = c.ws;
    CFileGroup& g = ws.fileGroup;
    ViewProgressText progress(c.view);
    const GroupReadContext gctx = MakeGroupReadContext(ws, c.ui);
    const int traces = g.BuildGeometry(gctx, ws.startup.acquisitionMode == 0,
                                       [&progress](const std::string& text) { progress.SetText(text); });
    if (traces <= 0) return 1;
    g.active = 1;
    ws.display.displayMode = 3;
    const MsgResult answer = c.ui.Message(Msg(Language(c), "Set waveform data ?", "波形データを設定しますか ?"),
                                          MsgButtons::OkCancel, MsgIcon::Question);
    if (answer == MsgResult::Ok) SetGroupWaveformData(c, false);
    return 1;
}

int SetGroupWaveformData(CommandContext& c, bool showMessage)
{
    Workspace& ws = c.ws;
    CFileGroup& g = ws.fileGroup;
    ViewProgressText progress(c.view);
    const GroupReadContext gctx = MakeGroupReadContext(ws, c.ui);
    const int loaded =
        g.ReadWaveformData(gctx, true, [&progress](const std::string& text) { progress.SetText(text); });
    if (showMessage) {
        Tell(c, loaded == 1 ? Msg(Language(c), "Wavefrom reading has been completed !", "波形の読み込みが完了しました !")
                            : Msg(Language(c), "Wavefrom reading has not been completed !",
                                  "波形の読み込みが完了していません !"));
    }
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Gathers

int ShowCommonShotGather(CommandContext& c) { return ShowGather(c, 0); }
int ShowCommonReceiverGather(CommandContext& c) { return ShowGather(c, 1); }
int ShowCdpGather(CommandContext& c) { return ShowGather(c, 2); }

int ShowCdpStack(CommandContext& c)
{
    Workspace& ws = c.ws;
    WaveformStore& store = ws.store;
    const int language = Language(c);
    if (store.dataKind() != kTimeDomain) {
        Tell(c, Msg(language, "Data is not time domain ! ", "時間領域のデータではありません ! "), MsgIcon::Warning);
        return 0;
    }
    CMigrationVelocityDlg dlg;
    dlg.velocity = ws.modelling.migrationVelocity;
    DialogRequest r = dlg.Request(language);
    if (!c.ui.RunDialog(r)) return 0;
    ws.modelling.migrationVelocity = dlg.velocity;
    if (!store.IsAllocated()) return 0;

    ViewProgressText progress(c.view);
    const GroupReadContext gctx = MakeGroupReadContext(ws, c.ui);
    const GatherRun run{c.ui, progress, language, store.MaxTraces(), &gctx};
    BeforeRecordReplaced(ws);
    const int n = ConstantVelocityStack(ws.fileGroup, store.current.rows, store.current.headers, run, dlg.velocity);
    if (n <= 0) return 1;
    store.Params().traceCount = std::min(n, store.MaxTraces());
    store.ComputeTraceMaxima();
    TellIfInvalid(c, RecalcRecordExtents(ws, 0));
    ws.fileGroup.gatherKind = 3;
    AfterRecordReplaced(c, BuiltArrival());
    return 1;
}

int ShowCommonOffsetGather(CommandContext& c)
{
    Workspace& ws = c.ws;
    WaveformStore& store = ws.store;
    if (!store.IsAllocated() || !AskSpacing(c)) return 0;
    BeforeRecordReplaced(ws);
    store.PushUndo();
    ViewProgressText progress(c.view);
    const GroupReadContext gctx = MakeGroupReadContext(ws, c.ui);
    const GatherRun run{c.ui, progress, Language(c), store.MaxTraces(), &gctx};
    CFileGroup& g = ws.fileGroup;
    const int n = Loaded(ws) ? CollectOffsetTraces(g, store.current.rows, store.current.headers, run)
                             : BuildCommonOffsetGather(g, store.current.headers, store.current.rows, run);
    OffsetGatherSetUp(c, n, kPicksPerTrace);
    return 1;
}

int ShowCommonSpacingGather(CommandContext& c)
{
    Workspace& ws = c.ws;
    WaveformStore& store = ws.store;
    if (!store.IsAllocated() || !AskSpacing(c)) return 0;
    BeforeRecordReplaced(ws);
    store.PushUndo();
    if (!Loaded(ws)) {
        Tell(c, Msg(Language(c), "Under construction !", "準備中です !"));
        return 1;
    }
    bool stopped = false;
    const int n = ws.fileGroup.CommonSpacingGather(store.current.rows, store.current.headers, &stopped);
    TellIfStopped(c, stopped);
    Tell(c, FormatC(Msg(Language(c), "The number of traces = %d", "トレース数 = %d").c_str(), n));
    // The traces' receiver words hold their shots' positions: no pick has its receiver.
    OffsetGatherSetUp(c, n, kPicksOfNoShot);
    return 1;
}

int ShowAllTraces(CommandContext& c)
{
    Workspace& ws = c.ws;
    WaveformStore& store = ws.store;
    if (!store.IsAllocated()) return 0;
    if (Loaded(ws)) BeforeRecordReplaced(ws);
    store.PushUndo();
    if (Loaded(ws)) {
        bool stopped = false;
        const int n = ws.fileGroup.GatherAllTraces(store.current.rows, store.current.headers, &stopped);
        TellIfStopped(c, stopped);
        TellIfInvalid(c, GatherStoreSetUp(ws, n, -1));
    }
    SortStoreByReceiver(store, store.TraceCount());
    store.ComputeTraceMaxima();
    if (Loaded(ws)) AfterRecordReplaced(c, GatherArrival());
    return 1;
}

int ExtrapolateGroupTraces(CommandContext& c)
{
    Workspace& ws = c.ws;
    const int filled = ws.fileGroup.ExtrapolateMissingTraces();
    Tell(c, FormatC(Msg(Language(c), "%d traces were extrapolated !", "%d トレースを外挿しました !").c_str(), filled));
    if (filled <= 0) return 1;
    // The shot gather of the gather index, whatever kind is on show.
    const int kind = ws.fileGroup.gatherKind;
    ShowGather(c, 0);
    ws.fileGroup.gatherKind = kind;
    return 1;
}

int ReverseGroupSpread(CommandContext& c)
{
    Workspace& ws = c.ws;
    WaveformStore& store = ws.store;
    if (!store.IsAllocated()) return 0;
    store.PushUndo();
    ReverseTraceOrderInGroup(ws, ws.fileGroup);
    SortStoreByReceiver(store, store.TraceCount());
    store.ComputeTraceMaxima();
    ReceiverRangeOfEnds(ws);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Surface waves over the line

int ShowCrossCorrelationGathers(CommandContext& c, GroupSurfaceWaveOps& ops)
{
    BeforeRecordReplaced(c.ws);
    c.ws.store.PushUndo();
    ViewProgressText progress(c.view);
    if (ops.CrossCorrelationGathers(c.ws, c.ui, progress) <= 0) return 0;
    AfterRecordReplaced(c, BuiltArrival());
    return 1;
}

int GroupFourierSpectrum(CommandContext& c, GroupSurfaceWaveOps& ops)
{
    BeforeRecordReplaced(c.ws);
    ViewProgressText progress(c.view);
    const int files = ops.ForwardFourierAll(c.ws, c.ui, progress);
    if (files > 0) AfterRecordReplaced(c, BuiltArrival());
    if (files > 0) Tell(c, FormatC(Msg(Language(c), "Number of files = %d", "ファイル数 = %d").c_str(), files));
    return 1;
}

int GroupMamGeometryFromGps(CommandContext& c, GroupSurfaceWaveOps& ops)
{
    if (ops.WriteGpsGeometry(c.ws, c.ui, c.ws.settings.coordinateMode)) c.ws.display.displayMode = 4;
    return 1;
}

int GroupCommonSourceDispersion(CommandContext& c, GroupSurfaceWaveOps& ops)
{
    Workspace& ws = c.ws;
    if (!ops.PhaseVelocityDialog(ws, c.ui)) return 0;
    ws.store.PushUndo();
    ViewProgressText progress(c.view);
    ops.CommonSourceDispersion(ws, c.ui, progress);
    ResetDisplayFilter(ws.displayFilter);
    RestoreUndo(ws);
    return 1;
}

int GroupOneCmpDispersion(CommandContext& c, GroupSurfaceWaveOps& ops)
{
    Workspace& ws = c.ws;
    WaveformStore& store = ws.store;
    BeforeRecordReplaced(ws);
    store.PushUndo();
    ViewProgressText progress(c.view);
    // No CMP traces (a refused list, Cancel, no pair kept): the record on show stays as it was.
    if (ops.OneCmpDispersion(ws, c.ui, progress) <= 0) return 1;
    const int traces = store.TraceCount();
    Tell(c, FormatC("%d %d ", traces, traces > 0 ? store.TraceSamples(0) : 0));
    TellIfInvalid(c, RecalcRecordExtents(ws, 0));
    AfterRecordReplaced(c, {RecordTitle::Untitled});
    ws.display.cmpRecord = 1;
    return 1;
}

int GroupCmpDispersion(CommandContext& c, GroupSurfaceWaveOps& ops)
{
    Workspace& ws = c.ws;
    BeforeRecordReplaced(ws);
    ViewProgressText progress(c.view);
    if (ops.CmpDispersion(ws, c.ui, progress) <= 0) return 1;  // refused or cancelled: nothing replaced
    TellIfInvalid(c, RecalcRecordExtents(ws, 0));
    AfterRecordReplaced(c, {RecordTitle::Untitled});
    return 1;
}

int GroupTauPVelocity(CommandContext& c, GroupSurfaceWaveOps& ops)
{
    Workspace& ws = c.ws;
    CTauPVelocityRangeDlg dlg;
    dlg.Load(ws.tauP);
    DialogRequest r = dlg.Request(Language(c));
    if (!c.ui.RunDialog(r)) return 0;
    dlg.Store(ws.tauP, ws.store.MaxTraces());
    // The stack replaces the record: the snapshot keeps it.
    BeforeRecordReplaced(ws);
    ws.store.PushUndo();
    ViewProgressText progress(c.view);
    return FinishTauP(c, ops.TauPStack(ws, c.ui, progress, ws.tauP.minimumOffset, ws.tauP.maximumOffset, 1));
}

int GroupTauPSlowness(CommandContext& c, GroupSurfaceWaveOps& ops)
{
    Workspace& ws = c.ws;
    TauPSettings& settings = ws.tauP;
    CTauPTransformDlg dlg;
    if (!RunTauPDialog(dlg, settings, c.ui, Language(c))) return 0;
    StoreTauPDialog(dlg, settings);
    BeforeRecordReplaced(ws);
    ws.store.PushUndo();
    ViewProgressText progress(c.view);
    return FinishTauP(c, ops.TauPStack(ws, c.ui, progress, settings.minimumOffset, settings.maximumOffset, 0));
}

// ---------------------------------------------------------------------------------------------
// Menu rows

void AddGroupCommands(CommandTable& t)
{
    t.AddMenuIfMissing({"group", "", "&Group (File list)", "グループ (ファイルリスト)(&G)", kInFullMenus, 80});
    t.AddMenuIfMissing({"group.reverse", "group", "Reverse spread", "展開の反転", kInFullMenus, 39});

    using Pred = bool (*)(const Workspace&);
    auto rule = [&t](int id, Pred p) { t.SetRule(id, [p](const Workspace& ws, const RecentFileList&) { return p(ws); }); };
    rule(kRuleGroupGeometry, [](const Workspace& ws) { return ws.fileGroup.geometryTraces > 0; });
    rule(kRuleGroupLoaded, [](const Workspace& ws) { return Loaded(ws); });
    rule(kRuleGroupGeometryLoaded, [](const Workspace& ws) { return ws.fileGroup.geometryTraces > 0 && Loaded(ws); });
    rule(kRuleShotGatherEnabled, [](const Workspace& ws) { return Loaded(ws) && ws.fileGroup.gatherKind != 0; });
    rule(kRuleShotGatherChecked, [](const Workspace& ws) { return ws.fileGroup.gatherKind == 0; });
    rule(kRuleReceiverGatherEnabled, [](const Workspace& ws) { return Loaded(ws) && ws.fileGroup.gatherKind != 1; });
    rule(kRuleReceiverGatherChecked, [](const Workspace& ws) { return ws.fileGroup.gatherKind == 1; });
    rule(kRuleCdpGatherEnabled, [](const Workspace& ws) { return Loaded(ws) && ws.fileGroup.gatherKind != 2; });
    rule(kRuleCdpGatherChecked, [](const Workspace& ws) { return ws.fileGroup.gatherKind == 2; });
    rule(kRuleGroupReverseSpread, [](const Workspace& ws) { return Loaded(ws) && ws.store.TraceCount() >= 24; });
    rule(kRuleCrossCorrelationGather,
         [](const Workspace& ws) { return ws.fileGroup.entryCount > 0; });
    rule(kRuleGroupFourierSpectrum,
         [](const Workspace& ws) { return ws.fileGroup.entryCount > 0; });
    rule(kRuleGroupMamGeometry,
         [](const Workspace& ws) { return ws.fileGroup.entryCount > 0; });
    rule(kRuleGroupCommonSource, [](const Workspace& ws) { return Loaded(ws); });
    rule(kRuleGroupOneCmp, [](const Workspace& ws) { return Loaded(ws); });
    rule(kRuleGroupCmp, [](const Workspace& ws) { return Loaded(ws); });
    rule(kRuleGroupTauP, [](const Workspace& ws) { return Loaded(ws); });

    auto row = [&t](int id, const char* menu, double order, const char* en, const char* ja, int enable,
                    CommandAction action, int check = kRuleNone) {
        CommandRow r = MakeRow(id, menu, order, en, ja, std::move(action), enable,
                               check == kRuleNone ? ItemKind::Command : ItemKind::Check, check);
        r.menus = kInFullMenus;
        t.Add(std::move(r));
    };
    auto separator = [&t](double order) {
        t.Add(SeparatorRow("group", order, kInFullMenus));
    };
    auto surface = [](int (*f)(CommandContext&, GroupSurfaceWaveOps&)) -> CommandAction {
        return [f](CommandContext& c) {
            GroupSurfaceWaveOps ops;
            return f(c, ops);
        };
    };

    separator(20);
    row(cmd::kSetUpGeometry, "group", 21, "Set up geometry", "ジオメトリの設定", kRuleFileListNotEmpty,
        SetUpGroupGeometry);
    row(cmd::kSetWaveformData, "group", 22, "Set waveform data", "波形データの設定", kRuleGroupGeometry,
        [](CommandContext& c) { return SetGroupWaveformData(c, true); });
    separator(30);
    row(cmd::kCommonShotGather, "group", 31, "Common shot gather", "共通震源ギャザー", kRuleShotGatherEnabled,
        ShowCommonShotGather, kRuleShotGatherChecked);
    row(cmd::kCommonReceiverGather, "group", 32, "Common receiver gather", "共通受振点ギャザー",
        kRuleReceiverGatherEnabled, ShowCommonReceiverGather, kRuleReceiverGatherChecked);
    row(cmd::kCdpGather, "group", 33, "CDP gather", "CDP ギャザー", kRuleCdpGatherEnabled, ShowCdpGather,
        kRuleCdpGatherChecked);
    row(cmd::kCdpStack, "group", 34, "CDP stack (constant velocity)", "CDP 重合 (一定速度)", kRuleGroupLoaded,
        ShowCdpStack);
    row(cmd::kCommonOffsetGather, "group", 35, "Common offset gather", "共通オフセットギャザー", kRuleGroupGeometry,
        ShowCommonOffsetGather);
    row(cmd::kCommonSpacingGather, "group", 36, "Common spacing gather", "共通間隔ギャザー",
        kRuleGroupGeometryLoaded, ShowCommonSpacingGather);
    row(cmd::kReceiveSorting, "group", 37, "Receive sorting", "受振点ソート", kRuleGroupGeometryLoaded, ShowAllTraces);
    row(cmd::kExtrapolateGroupTraces, "group", 38, "Extrapolate CMPCC gathers", "CMPCC ギャザーの外挿",
        kRuleGroupLoaded, ExtrapolateGroupTraces);
    row(cmd::kReverseGroupSpread, "group.reverse", 10, "1 to 24", "1 から 24", kRuleGroupReverseSpread,
        ReverseGroupSpread);
    separator(60);
    row(cmd::kCrossCorrelationGather, "group", 61, "Cross-correlation gather", "相互相関ギャザー",
        kRuleCrossCorrelationGather, surface(ShowCrossCorrelationGathers));
    row(cmd::kGroupFourierSpectrum, "group", 62, "Fourier spectrum", "フーリエスペクトル", kRuleGroupFourierSpectrum,
        surface(GroupFourierSpectrum));
    row(cmd::kGroupMamGeometryFromGps, "group", 63, "Set up MAM geometry from GPS (for group)",
        "GPS から微動アレイのジオメトリを設定 (グループ)", kRuleGroupMamGeometry, surface(GroupMamGeometryFromGps));
    row(cmd::kGroupCommonSourceDispersion, "group", 64, "Phase velocity (common source)", "位相速度 (共通震源)",
        kRuleGroupCommonSource, surface(GroupCommonSourceDispersion));
    row(cmd::kGroupOneCmpDispersion, "group", 65, "Phase velocity (one CMP)", "位相速度 (1 CMP)", kRuleGroupOneCmp,
        surface(GroupOneCmpDispersion));
    row(cmd::kGroupCmpDispersion, "group", 66, "Phase velocity (CMP)", "位相速度 (CMP)", kRuleGroupCmp,
        surface(GroupCmpDispersion));
    row(cmd::kGroupTauPVelocity, "group", 67, "Velocity analysis (tau-p:constant velocity interval)",
        "速度解析 (tau-p:速度間隔一定)", kRuleGroupTauP, surface(GroupTauPVelocity));
    row(cmd::kGroupTauPSlowness, "group", 68, "Velocity analysis (tau-p:constant p interval)",
        "速度解析 (tau-p:p 間隔一定)", kRuleGroupTauP, surface(GroupTauPSlowness));
}

}  // namespace velk
