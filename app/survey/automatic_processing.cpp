#include "app/survey/automatic_processing.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "app/command_table.h"
#include "app/dsp/nmo_commands.h"
#include "app/formats/document.h"
#include "app/formats/load_setup.h"
#include "app/operations.h"
#include "app/picking/auto_picking.h"
#include "app/picking/pick_matching.h"
#include "app/record_arrival.h"
#include "app/shell_services.h"
#include "app/store_commands.h"
#include "app/survey/file_list_commands.h"
#include "app/survey/group_commands.h"
#include "app/view/record_extents.h"
#include "app/view/view_commands.h"
#include "app/view/view_seams.h"
#include "app/workspace.h"
#include "platform/choose_folder.h"
#include "draw/overlay.h"
#include "dsp/edit_helpers.h"
#include "formats/file_roads.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/org_file.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "survey/file_group.h"
#include "survey/sibling_launch.h"
#include "traveltime/first_break_picker.h"
#include "traveltime/publish_traveltime_set.h"
#include "traveltime/traveltime_set.h"

namespace velk {

namespace {

constexpr int kTickMilliseconds = 1000;
constexpr int kStackEvery = 5;  // CDP mode: ticks between stacks
constexpr const char* kLogName = "multi_select.txt";

// The number a file name holds by the file-list rule; 0 when it holds none.
int NumberOfName(std::string_view name)
{
    const std::string key = FileNameSortKey(name);
    int value = 0;
    const auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), value);
    return key.empty() || ec != std::errc() || end != key.data() + key.size() ? 0 : value;
}

// Whole seconds of the file's last modification, or nullopt when it cannot be asked.
std::optional<int64_t> ModificationTime(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<int64_t>(st.st_mtime);
}

// The refraction program's block opened now (it was not open before and opening it worked).
bool OpenedRostrelBlockNow(Workspace& ws)
{
    return ws.traveltimeSet.blockOpen == 0 && OpenRostrelData(ws.traveltimeSet) == 1;
}

void SetStatus(Workspace& ws, const std::string& text, LPoint at)
{
    OverlayFigure f;
    f.kind = OverlayFigure::Kind::Text;
    f.owner = kAutomaticStatusOwner;
    f.points = {at};
    f.text = text;
    f.opaque = true;
    ws.display.overlay.Replace(kAutomaticStatusOwner, {f});
}

// The scanned record becomes the current one: the document stands for its file.
void CommitScan(CommandContext& ctx, const ScanResult& scan)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    BeforeRecordReplaced(ws);
    CommitLoadTarget(ws, *scan.target, scan.traces, true);
    CParameterSet& p = store.Params();
    p.traceCount = std::min(scan.traces, store.MaxTraces());
    p.recordKind = 0;
    store.dataKind() = 0;
    ctx.doc.AdoptPath(scan.path, FileTypeFromExtension(scan.path, 1));
    AfterRecordReplaced(ctx, ShotArrival());
}

void FinishRecord(Workspace& ws)
{
    ws.store.ComputeTraceMaxima();
    RecalcRecordExtents(ws, 0);
    ws.display.displayMode = 0;
}

ScanResult Scan(Workspace& ws, UiHost& ui)
{
    FormatContext fctx{ui, ws.startup.language, DiagnosticLog(ws)};
    const WaveformStore& store = ws.store;
    // The scan's log goes into the watched folder, beside the files it lists.
    FolderLogSink watched(ws.automatic.folder);
    return ScanNewestFile(ws.automatic.folder, ws.automatic.lastFileTime, store.MaxTraces(), store.RowLength(),
                          store.MaxSample(), fctx, watched);
}

LaunchServices Services(Workspace& ws, UiHost& ui)
{
    return LaunchServices{ui, *ws.launcher, ws.workingFolder, ws.startup.language};
}

int StartAutomatic(CommandContext& ctx, int mode)
{
    Workspace& ws = ctx.ws;
    AutomaticProcessingState& a = ws.automatic;
    std::string folder = a.folder.empty() ? ws.workingFolder : a.folder;
    if (ChooseFolder(ctx.ui, folder) != 1) return 0;
    a.folder = folder;
    a.seconds = 0;
    a.ticks = 0;
    ws.display.automaticProcessing = 1;
    StartViewTimer(ws, ctx.view, kTickMilliseconds);
    if (mode != AutomaticProcessingState::kCdpStacking) a.lastFileTime = 0;
    a.mode = mode;
    if (mode == AutomaticProcessingState::kRefraction) {
        if (OpenedRostrelBlockNow(ws)) PublishTraveltimeSet(ws.traveltimeSet);
        LaunchRostrel(ws.programPaths.rostrel, "AUTOMATIC", Services(ws, ctx.ui));
    }
    return 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The scan

ScanResult ScanNewestFile(const std::string& folder, int64_t& lastFileTime, int maxTraces, int rowLength,
                          int maxSample, FormatContext& ctx, LogSink& log)
{
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec)) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    std::string text;
    ScanResult result;
    for (const std::filesystem::path& file : files) {
        const std::string path = file.string();
        const std::optional<int64_t> time = ModificationTime(path);
        if (!time) continue;
        text += FormatC("%lld %lld \n", static_cast<long long>(*time), static_cast<long long>(lastFileTime));
        if (*time <= lastFileTime) continue;
        const std::string name = file.filename().string();
        const int number = NumberOfName(name);
        const int type = FileTypeFromExtension(path, 0);
        text += FormatC("%s %d %d \n", name.c_str(), number, type);
        if (number <= 0) continue;
        auto target = std::make_unique<LoadTarget>(0, maxTraces, rowLength, maxSample);
        int traces = 0;
        if (type == kFileSeg2) {
            traces = ReadSeg2File(path, *target, 1, ctx);
        } else if (type == kFileTorvaneOrg) {
            traces = ReadTorvaneOrgFile(path, *target, ctx);
        }
        if (traces > 0) {
            lastFileTime = *time;
            result.traces = traces;
            result.target = std::move(target);
            result.path = path;
        }
        text += FormatC("n=%d", std::max(traces, 0));
    }
    log.Rewrite(kLogName, text);
    return result;
}

// ---------------------------------------------------------------------------------------------
// Tick actions

int AutomaticShowLastFile(CommandContext& ctx)
{
    ScanResult scan = Scan(ctx.ws, ctx.ui);
    if (scan.traces <= 0) return 0;
    CommitScan(ctx, scan);
    FinishRecord(ctx.ws);
    return 1;
}

int StackFolderFiles(CFileGroup& group, const std::string& folder, float velocity, ProgressSink& progress,
                     int& traces, Workspace& ws, UiHost& ui)
{
    traces = 0;
    GroupReadContext gctx = MakeGroupReadContext(ws, ui);
    // The listing's "multi_select.txt" goes into the watched folder, as the scan's does.
    FolderLogSink watched(folder);
    const GroupReadContext listing = gctx.WithLog(watched);
    if (group.ListFolder(folder, listing) <= 0) return 0;
    group.BuildGeometry(gctx, false);
    group.ReadWaveformData(gctx, false);
    const GatherRun run{ui, progress, ws.startup.language, ws.store.MaxTraces(), &gctx};
    traces = ConstantVelocityStack(group, ws.store.current.rows, ws.store.current.headers, run, velocity);
    return 1;
}

int AutomaticCdpStack(CommandContext& ctx, float velocity)
{
    Workspace& ws = ctx.ws;
    ViewProgressText progress(ctx.view);
    int traces = 0;
    BeforeRecordReplaced(ws);
    if (!StackFolderFiles(ws.fileGroup, ws.automatic.folder, velocity, progress, traces, ws, ctx.ui)) return 0;
    ws.store.Params().traceCount = std::clamp(traces, 0, ws.store.MaxTraces());
    FinishRecord(ws);
    AfterRecordReplaced(ctx, BuiltArrival());
    ws.display.sourcePosition = 0.0f;
    ws.fileGroup.gatherKind = 3;
    ws.fileGroup.active = 1;
    return 1;
}

int AutomaticRefraction(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    ScanResult scan = Scan(ws, ctx.ui);
    if (scan.traces <= 0) return 0;
    CommitScan(ctx, scan);
    WaveformStore& store = ws.store;
    const int count = store.TraceCount();
    if (RunAutoPicking(ws, 0) == 1) {
        CParameterSet& p = store.Params();
        AddPicksToSet(ws.traveltimeSet, ws.picksLeftOut, store.current.headers, count, p.pickTimes, p.layerCodes, 0,
                      ws.display.sourcePosition);
        if (ws.traveltimeSet.blockOpen) PublishTraveltimeSet(ws.traveltimeSet);
    }
    FinishRecord(ws);
    return 1;
}

int OnTimer(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    AutomaticProcessingState& a = ws.automatic;
    if (ws.display.automaticProcessing != 1) return 0;
    if (ws.acquisitionDevice.armed != 0 || ws.acquisitionDevice.acquisitionScreen == 1 || a.inTick) return 0;
    a.inTick = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{a.inTick};

    a.icon = a.icon == kAutomaticIcon ? kMainFrameIcon : kAutomaticIcon;
    if (ctx.frame) ctx.frame->SetFrameIcon(a.icon);
    ++a.seconds;
    int repaint = 0;
    switch (a.mode) {
    case AutomaticProcessingState::kShowLastFile:
        SetStatus(ws, FormatC("Show last acquired file : time=%dsec", a.seconds), kAutomaticStatusAt);
        repaint = AutomaticShowLastFile(ctx);
        break;
    case AutomaticProcessingState::kCdpStacking:
        ++a.ticks;
        SetStatus(ws, FormatC("Automatic CDP stacking : time=%dsec", a.seconds), kAutomaticStatusAt);
        if (a.ticks >= kStackEvery) {
            a.ticks = 0;
            repaint = AutomaticCdpStack(ctx, 1.0f);
        }
        break;
    case AutomaticProcessingState::kRefraction:
        SetStatus(ws, FormatC("Seismic refraction analysis : time=%dsec", a.seconds), kRefractionStatusAt);
        repaint = AutomaticRefraction(ctx);
        break;
    default:
        break;
    }
    if (repaint != 1 && ctx.view) ctx.view->RequestRepaint(RepaintKind::Overlay);
    return repaint;
}

// ---------------------------------------------------------------------------------------------
// Commands

int OnAutomaticShowLastFile(CommandContext& ctx) { return StartAutomatic(ctx, AutomaticProcessingState::kShowLastFile); }
int OnAutomaticCdpStacking(CommandContext& ctx) { return StartAutomatic(ctx, AutomaticProcessingState::kCdpStacking); }
int OnAutomaticRefraction(CommandContext& ctx) { return StartAutomatic(ctx, AutomaticProcessingState::kRefraction); }

void OnAutomaticProcessingStop(Workspace& ws, ViewSurface* view, FrameServices* frame)
{
    StopViewTimer(ws, view);
    ws.display.automaticProcessing = 0;
    ws.automatic.icon = kMainFrameIcon;
    ws.display.overlay.RemoveOwner(kAutomaticStatusOwner);
    if (frame) frame->SetFrameIcon(kMainFrameIcon);
    if (view) view->RequestRepaint(RepaintKind::Overlay);
}

int OnAutomaticProcessingStop(CommandContext& ctx)
{
    OnAutomaticProcessingStop(ctx.ws, ctx.view, ctx.frame);
    return 0;
}

int ShowTraveltimeInRostrel(CommandContext& ctx, const std::string& word)
{
    Workspace& ws = ctx.ws;
    if (ws.traveltimeSet.blockOpen == 1 || OpenedRostrelBlockNow(ws)) PublishTraveltimeSet(ws.traveltimeSet);
    LaunchRostrel(ws.programPaths.rostrel, word, Services(ws, ctx.ui));
    return 0;
}

int GroupAutoPickFirstArrivals(CommandContext& ctx, bool askBeforeReplacing)
{
    Workspace& ws = ctx.ws;
    WaveformStore& store = ws.store;
    // The record's picks go to the set first, so that the hand corrections on it are among the
    // shots held (and come back onto it after the run when those are kept).
    BeforeRecordReplaced(ws);
    // The shots the set holds before the run: their picks may carry hand corrections.
    const CTraveltimeSet& set = ws.traveltimeSet;
    std::vector<float> heldShots;
    if (askBeforeReplacing && set.hasData == 1) {
        heldShots.assign(set.sourcePosition, set.sourcePosition + std::clamp(set.shotCount, 0, CTraveltimeSet::kMaxShots));
    }
    enum class Answer { NotAsked, Replace, Keep } answer = Answer::NotAsked;
    const int language = ws.startup.language;
    auto pickShot = [&](float source) {
        const bool held = std::any_of(heldShots.begin(), heldShots.end(), [source](float s) {
            return std::fabs(s - source) < CTraveltimeSet::kMatchDistance;
        });
        if (!held) return true;
        if (answer == Answer::NotAsked) {
            const MsgResult r = ctx.ui.Message(
                Msg(language,
                    "The traveltime data already holds picks of shots in this file list.\n"
                    "Replace them with automatic picks ?\n(No: keep them and pick only the other shots)",
                    "走時データにはこのファイルリストの震源の読み取り値が既にあります。\n"
                    "自動読み取りで置き換えますか ?\n(いいえ: それらを残して他の震源だけを読み取ります)"),
                MsgButtons::YesNo, MsgIcon::Question);
            answer = r == MsgResult::Yes ? Answer::Replace : Answer::Keep;
        }
        return answer == Answer::Replace;
    };
    store.PushUndo();
    EnsurePickVectors(ws);
    ViewProgressText progress(ctx.view);
    CParameterSet& p = store.Params();
    bool gatherCut = false;
    AutoPickFileList(ws.fileGroup, ws.traveltimeSet, ws.picksLeftOut, store.current.rows, store.current.headers,
                     ws.display.displayTimeOffset, p.pickTimes, p.layerCodes, ws.autoPick, progress, ws.profile(),
                     DiagnosticLog(ws), askBeforeReplacing ? std::function<bool(float)>(pickShot) : nullptr,
                     &gatherCut);
    RestoreUndo(ws);
    if (gatherCut) ctx.ui.Message(GatherTooLargeText(language, store.MaxTraces()), MsgButtons::Ok, MsgIcon::Warning);
    MatchPicksToTraces(ws);
    ws.display.displayMode = 0;
    ws.display.editMode = 1;
    ws.display.amplitudeFlag = 0;
    ws.display.showTraveltimeCurves = 1;
    return 1;
}

void AddAutomaticProcessingCommands(CommandTable& t)
{
    t.AddMenuIfMissing({"option.automatic", "option", "Automatic processing", "自動処理", kInAllMenus, 750});
    t.AddMenuIfMissing({"option.automatic.start", "option.automatic", "Start", "開始", kInAllMenus, 10});
    t.AddMenuIfMissing({"group.refraction", "group", "Refraction", "屈折法", kInFullMenus, 200});
    t.Add(cmd::kAutomaticShowLastFile, "option.automatic.start", 10, "Show last file", "最新のファイルを表示",
          OnAutomaticShowLastFile, kRuleAlways);
    t.Add(cmd::kAutomaticCdpStacking, "option.automatic.start", 20, "CDP stacking", "CDP重合", OnAutomaticCdpStacking,
          kRuleAlways);
    t.Add(cmd::kAutomaticRefraction, "option.automatic.start", 30, "Refraction analysis", "屈折法解析",
          OnAutomaticRefraction, kRuleAlways);
    t.Add(cmd::kAutomaticProcessingStop, "option.automatic", 20, "Stop", "停止",
          static_cast<int (*)(CommandContext&)>(OnAutomaticProcessingStop), kRuleAutomaticRunning);
    t.Add(cmd::kShowTraveltimeInRostrel, "pick", 17, "Show traveltime curve by Rostrel", "Rostrel で走時曲線を表示",
          [](CommandContext& c) { return ShowTraveltimeInRostrel(c, "AUTOMATIC"); }, kRuleTraveltimeShots);
    t.Add(cmd::kGroupAutoPickFirstArrivals, "group.refraction", 10, "Pick first arrival time automatically",
          "初動を自動で読み取る", [](CommandContext& c) { return GroupAutoPickFirstArrivals(c, true); },
          kRuleGroupAutoPick);

    t.SetRule(kRuleAutomaticRunning,
              [](const Workspace& ws, const RecentFileList&) { return ws.display.automaticProcessing == 1; });
    t.SetRule(kRuleTraveltimeShots,
              [](const Workspace& ws, const RecentFileList&) { return ws.traveltimeSet.shotCount > 0; });
    t.SetRule(kRuleGroupAutoPick, [](const Workspace& ws, const RecentFileList&) { return ws.fileGroup.dataLoaded == 1; });
}

}  // namespace velk
