#include "app/picking/auto_picking.h"

#include <algorithm>

#include "app/dsp/data_kind.h"
#include "app/formats/load_setup.h"
#include "app/picking/auto_pick_setup.h"
#include "app/picking/pick_matching.h"
#include "app/workspace.h"
#include "formats/format_support.h"
#include "platform/profile.h"
#include "platform/uihost.h"
#include "survey/file_group.h"
#include "traveltime/auto_pick_settings.h"
#include "traveltime/first_break_picker.h"
#include "traveltime/traveltime_set.h"

namespace velk {

namespace {

// The offset goes onto picked traces only: an unpicked trace keeps time 0, which every reader
// of the picks takes as "no pick".
void AddTimeOffset(std::span<float> times, std::span<const int32_t> codes, int count, float offset)
{
    for (int i = 0; i < count; ++i) {
        const auto u = static_cast<size_t>(i);
        if (codes[u] != kUnpickedCode) times[u] += offset;
    }
}

}  // namespace

int RunAutoPicking(Workspace& ws, int logFlag)
{
    UiHost& ui = ws.ui();
    if (ws.store.TraceCount() <= 0) return 0;
    if (!CheckTraceIntervals(ws, ui) || !TimeDomainTraces(ws, ui)) return 0;
    EnsurePickVectors(ws);
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const int count = std::min({store.TraceCount(), static_cast<int>(p.pickTimes.size()),
                                static_cast<int>(p.layerCodes.size())});
    const std::string log = AutoPickFirstBreaks(store.current.rows, store.current.headers, count, logFlag,
                                                p.pickTimes, p.layerCodes, ws.autoPick);
    AddTimeOffset(p.pickTimes, p.layerCodes, count, ws.display.displayTimeOffset);
    ws.display.editMode = 1;
    ws.display.amplitudeFlag = 0;
    if (logFlag == 1) DiagnosticLog(ws).Rewrite(kAutoPickLogName, log);
    SaveAutoPickSettings(ws.profile(), ws.autoPick);
    return 1;
}

int AutoPickFileList(CFileGroup& group, CTraveltimeSet& set, PicksLeftOut& leftOut, Matrix2D<float>& rows,
                     std::span<CTraceHeader> headers,
                     float timeOffset, std::span<float> times, std::span<int32_t> codes,
                     const AutoPickSettings& settings, ProgressSink& progress, Profile& profile, LogSink& log,
                     const std::function<bool(float)>& pickShot, bool* gatherCut)
{
    const int files = std::max(0, group.entryCount);
    progress.SetRange(files);
    int refused = 0;
    if (gatherCut) *gatherCut = false;
    for (int f = 0; f < files; ++f) {
        bool stopped = false;
        const int gathered = group.BuildGather(rows, headers, f, &stopped);
        if (gatherCut && stopped) *gatherCut = true;
        const int count = std::min({gathered, static_cast<int>(times.size()), static_cast<int>(codes.size())});
        const float source = count > 0 ? static_cast<float>(headers[0].sourceHundredths * 0.01) : 0.0f;
        if (count > 0 && (!pickShot || pickShot(source))) {
            const int logFlag = f == 0 ? 1 : 0;
            const std::string text = AutoPickFirstBreaks(rows, headers, count, logFlag, times, codes, settings);
            if (logFlag == 1) log.Rewrite(kAutoPickLogName, text);
            AddTimeOffset(times, codes, count, timeOffset);
            refused += AddPicksToSet(set, leftOut, headers, count, times, codes, 0, source);
        }
        progress.StepIt();
    }
    SaveAutoPickSettings(profile, settings);
    return refused;
}

int OnAutoPickFirstArrivals(CommandContext& ctx) { return RunAutoPicking(ctx.ws, 1); }

int OnAutoPickSetup(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    CAutoPickSetupDlg dlg;
    dlg.Preset(ws.autoPick);
    DialogRequest request = dlg.Request(ws.startup.language);
    if (!ctx.ui.RunDialog(request)) return 0;
    dlg.StoreTo(ws.autoPick);
    return 0;
}

void AddAutoPickCommands(CommandTable& t)
{
    CommandRow pick = MakeRow(cmd::kAutoPickFirstArrivals, "pick", 15, "Pick first arrival time automatically",
                              "初動を自動で読み取る", OnAutoPickFirstArrivals, kRuleTracesLoaded);
    pick.promptEnglish = "Pick first break automatically";
    pick.promptJapanese = "初動を自動で読み取ります";
    t.Add(std::move(pick));

    t.Add(cmd::kAutoPickSetup, "pick", 16, "Set up", "設定", OnAutoPickSetup, kRuleAlways);
}

}  // namespace velk
