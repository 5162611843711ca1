#include "app/picking/pick_commands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <span>

#include "app/picking/amplitude_read.h"
#include "app/picking/auto_picking.h"
#include "app/formats/import_roads.h"
#include "app/picking/pick_files.h"
#include "app/picking/pick_matching.h"
#include "app/workspace.h"
#include "formats/file_roads.h"
#include "formats/format_support.h"
#include "platform/atomic_file.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "traveltime/publish_traveltime_set.h"
#include "traveltime/traveltime_text.h"

namespace velk {

namespace {

int Language(const Workspace& ws) { return ws.startup.language; }

// The whole file as text; nullopt when it cannot be opened or read.
std::optional<std::string> ReadText(const std::string& path)
{
    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) return std::nullopt;
    const std::span<const uint8_t> bytes = file.Peek(static_cast<size_t>(file.Size()));
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

FileRequest Request(const char* description, const char* pattern, const char* initialName)
{
    FileRequest request;
    request.filters = {{description, pattern}};
    request.initialName = initialName;
    return request;
}

// Asks for a file and reads it; nullopt after Cancel (silently) or when it cannot be read
// (after "error in opening file").
// The path chosen goes to *chosen (when given), so that what is found in the file can be said
// under its name.
std::optional<std::string> AskAndRead(CommandContext& ctx, const FileRequest& request, std::string* chosen = nullptr)
{
    const std::optional<std::string> path = ctx.ui.OpenFile(request);
    if (!path) return std::nullopt;
    if (chosen) *chosen = *path;
    std::optional<std::string> text = ReadText(*path);
    if (!text) ctx.ui.Message(ErrorOpeningFileText(Language(ctx.ws)), MsgButtons::Ok, MsgIcon::Error);
    return text;
}

// Writes `text` to `path` through a temporary file; false after telling the user. A file that
// cannot be begun gives `cannotOpen`.
bool SaveText(UiHost& ui, int language, const std::string& path, const std::string& cannotOpen,
              const std::function<std::string()>& text)
{
    AtomicFileWriter out(path);
    if (out.Failed()) {
        ui.Message(cannotOpen, MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    out.Write(text());
    if (!out.Commit()) {
        ui.Message(FileSaveFailedMessage(language, path, out.Error()), MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    return true;
}

int RecordTraces(const Workspace& ws)
{
    const CParameterSet& p = ws.store.Params();
    return std::clamp(ws.store.TraceCount(), 0,
                      std::min(static_cast<int>(p.pickTimes.size()), static_cast<int>(p.layerCodes.size())));
}

std::span<const float> FirstSamples(const WaveformStore& store, int i)
{
    const std::span<const float> row = store.current.rows.Row(i);
    const int n = std::clamp(store.Params().samplesPerTrace, 0, static_cast<int>(row.size()));
    return row.first(static_cast<size_t>(n));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Texts

std::string FirstArrivalReadText(int language)
{
    return Msg(language, "First arrival file has beem read !", "初動ファイルを読み込みました !");
}
std::string FirstArrivalSavedText(int language)
{
    return Msg(language, "First arrival file has been saved", "初動ファイルを保存しました");
}
std::string RostrelSavedText(int language) { return Msg(language, "Rostrel file has been saved", "Rostrelファイルを保存しました"); }
std::string CannotOpenAFileText(int language) { return Msg(language, "Cannot open a file !", "ファイルを開けません !"); }
std::string OpenWaveformFirstText(int language)
{
    return Msg(language, "Open a waveform data file before the Rostrel file !",
               "Rostrelファイルの前に波形データファイルを開いて下さい !");
}
// ---------------------------------------------------------------------------------------------
// Rostrel files

std::string RostrelSavePath(const std::string& path, TraveltimeTextSet set)
{
    // A name the user gave an extension keeps it ("x.pvs" stays "x.pvs" whatever it holds).
    if (std::filesystem::path(path).filename().has_extension()) return path;
    return path + (set == TraveltimeTextSet::PhaseVelocityCurves ? ".pvs" : ".vs");
}

TraveltimeTextSet RostrelSetOnShow(const Workspace& ws)
{
    return ws.store.Params().recordKind == kRecordDispersion ? TraveltimeTextSet::PhaseVelocityCurves
                                                             : TraveltimeTextSet::FirstArrivals;
}

int SaveRostrelFile(Workspace& ws, UiHost& ui, const std::string& path, TraveltimeTextSet which)
{
    const int language = Language(ws);
    DisplayState& d = ws.display;
    // Each kind in its own format: the curves never go out as first arrivals, nor the reverse.
    // The caller names the set; the file's declared kind then tells every reader which it is.
    const int curves = which == TraveltimeTextSet::PhaseVelocityCurves ? 1 : 0;
    CTraveltimeSet& set = curves == 1 ? ws.curveSet : ws.traveltimeSet;
    const bool saved = SaveText(ui, language, path, CannotOpenAFileText(language), [&] {
        MergeRecordPicks(ws);
        if (curves == 1) {
            set.kindWritten = 20;
        } else {
            if (set.kindWritten >= 20) set.kindWritten = 0;
            if (d.amplitudeFlag == 1 && set.kindWritten < 10) set.kindWritten = 10;
        }
        std::string text;
        WriteTraveltimeText(set, text, d.secondsFlag, curves);
        return text;
    });
    if (!saved) return 0;
    ui.Message(RostrelSavedText(language));
    return 1;
}

int OnSaveRostrelFile(CommandContext& ctx)
{
    // The name and filter follow what is saved (the kind on show), not the last file read.
    const TraveltimeTextSet which = RostrelSetOnShow(ctx.ws);
    const bool pv = which == TraveltimeTextSet::PhaseVelocityCurves;
    FileRequest request = pv ? Request("Phase-velocity data Rostrel file(*.pvs)", "*.pvs", "*.pvs")
                             : Request("Traveltime data Rostrel file(*.vs)", "*.vs", "*.vs");
    request.overwritePrompt = false;
    const std::optional<std::string> path = ctx.ui.SaveFile(request);
    if (!path) return 0;
    SaveRostrelFile(ctx.ws, ctx.ui, RostrelSavePath(*path, which), which);
    return 1;
}

int OnUpdateTraveltimeCurves(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    MergeRecordPicks(ws);
    const bool curves = ws.store.Params().recordKind == kRecordDispersion;
    CTraveltimeSet& set = ws.traveltimeSet;
    if (set.blockOpen == 1) CopyToRostrelData(set, curves ? ws.curveSet : set, -1, "");
    ws.display.phaseVelocityFileMode = curves ? 1 : 0;
    return 1;
}

int OpenRostrelFile(Workspace& ws, UiHost& ui, const std::string& path)
{
    const int language = Language(ws);
    const std::optional<std::string> text = ReadText(path);
    if (!text) {
        ui.Message(ErrorOpeningFileText(language), MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    // A file that does not read whole leaves the set, the picks and the display as they were.
    const RostrelRead check = CheckRostrelText(ws, *text);
    if (!check.headerRead || check.end != TextReadEnd::Complete) {
        RostrelRead shown = check;
        shown.shotsStored = shown.shotsDeclared;  // nothing was stored: no count of stored shots
        // Headed by the file's path, as the file list's readers say it.
        std::string message = path + "\n" + RostrelReadMessage(shown, language);
        if (check.headerRead) {
            message += Msg(language, "\nThe traveltime data was not changed.", "\n走時データは変更されていません。");
        }
        ui.Message(message, MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    const RostrelRead read = ReadRostrelText(ws, *text);
    if (read.headerRead) {
        ws.display.editMode = ws.display.amplitudeFlag == 1 ? 3 : 1;
        ws.display.showTraveltimeCurves = 1;
    }
    const bool complete = read.headerRead && read.end == TextReadEnd::Complete;
    ui.Message((complete ? "" : path + "\n") + RostrelReadMessage(read, language), MsgButtons::Ok,
               complete ? MsgIcon::None : MsgIcon::Warning);
    return read.headerRead ? 1 : 0;
}

int OnOpenRostrelFile(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    if (ws.store.TraceCount() <= 0) {
        ctx.ui.Message(OpenWaveformFirstText(Language(ws)));
        return 0;
    }
    const std::optional<std::string> path = ctx.ui.OpenFile(Request("Velkarine output(*.vs)", "*.vs", "*.vs"));
    if (!path) return 0;
    OpenRostrelFile(ws, ctx.ui, *path);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// First-arrival files

int OnOpenFirstArrivalFile(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    std::string path;
    const std::optional<std::string> text = AskAndRead(ctx, Request("First arrival file(*.*)", "*.*", "*.*"), &path);
    if (!text) return 0;
    ws.display.editMode = ws.display.amplitudeFlag == 1 ? 3 : 1;
    const FirstArrivalRead read = ReadFirstArrivalText(ws, *text);
    if (read.end == TextReadEnd::BadValue) {
        ctx.ui.Message(path + "\n" + BadValueMessage(Language(ws)), MsgButtons::Ok, MsgIcon::Warning);
    }
    ctx.ui.Message(FirstArrivalReadText(Language(ws)));
    return 1;
}

int OnSaveFirstArrivalFile(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    const int language = Language(ws);
    const std::optional<std::string> path = ctx.ui.SaveFile(Request("First arrival file(*.*)", "*.*", "*.*"));
    if (!path) return 0;
    if (!SaveText(ctx.ui, language, *path, ErrorOpeningFileText(language), [&] { return WriteFirstArrivalText(ws); })) {
        return 0;
    }
    ctx.ui.Message(FirstArrivalSavedText(language));
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Picking

int OnPickFirstArrivalManually(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    if (ws.startup.feetShortMenu == 1) return RunAutoPicking(ws, 1);
    ws.display.editMode = 1;
    ws.display.amplitudeFlag = 0;
    if (ws.store.Params().recordKind == 1) ws.display.phaseVelocityFileMode = 1;
    return 1;
}

int OnShowTraveltimeCurves(Workspace& ws)
{
    ws.display.showTraveltimeCurves = -ws.display.showTraveltimeCurves;
    return 1;
}

int OnSetTraveltimeQuality(Workspace& ws, int quality)
{
    ws.display.currentLayerCode = quality;
    return 0;
}

int OnChangeTraveltimeSymbol(Workspace& ws)
{
    ws.display.pickMarkStyle = -ws.display.pickMarkStyle;
    ws.display.pickMarkStyleSet = 1;
    return 1;
}

int OnPickAmplitude(Workspace& ws)
{
    ws.display.editMode = 3;
    ws.display.amplitudeFlag = 1;
    return 1;
}

int OnReadMaximumAmplitude(Workspace& ws)
{
    EnsurePickVectors(ws);
    CParameterSet& p = ws.store.Params();
    DisplayState& d = ws.display;
    for (int i = 0; i < RecordTraces(ws); ++i) {
        const auto u = static_cast<size_t>(i);
        const AmplitudeRead peak = CAmplitudeReadDlg::FindPeakAmplitude(FirstSamples(ws.store, i), p.sampleInterval);
        p.pickTimes[u] = peak.amplitude;
        p.layerCodes[u] = 1;
        d.amplitudePickTimes[u] = peak.time;
    }
    d.editMode = 3;
    d.amplitudeFlag = 1;
    return 1;
}

int OnAmplitudeUseFile(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    DisplayState& d = ws.display;
    EnsurePickVectors(ws);
    if (d.referenceTimesLoaded == 0) {
        std::string path;
        const std::optional<std::string> text =
            AskAndRead(ctx, Request("First arrival file for amplitude picking(*.*)", "*.*", "*.*"), &path);
        if (!text) return 0;
        const ReferenceTimesRead read = ReadReferenceTimesText(ws, *text);
        if (read.end == TextReadEnd::BadValue) {
            ctx.ui.Message(path + "\n" + BadValueMessage(Language(ws)), MsgButtons::Ok, MsgIcon::Warning);
        }
    }
    d.referenceTimesLoaded = 1;
    CParameterSet& p = ws.store.Params();
    for (int i = 0; i < RecordTraces(ws); ++i) {
        const auto u = static_cast<size_t>(i);
        const std::span<const float> samples = FirstSamples(ws.store, i);
        const AmplitudeRead near = CAmplitudeReadDlg::FindAmplitudeNearPick(
            samples, p.sampleInterval, static_cast<int>(samples.size()), d.referenceTimes[u], d.secondsFlag);
        p.pickTimes[u] = near.amplitude;
        p.layerCodes[u] = d.currentLayerCode;
        d.amplitudePickTimes[u] = near.time;
    }
    d.editMode = 3;
    d.referenceTimesFlag = 1;
    d.amplitudeFlag = 1;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Rules and rows

bool RostrelOpenEnabled(const Workspace& ws) { return ws.store.TraceCount() > 0 && ws.store.Params().recordKind != 1; }
bool ShowTraveltimeCurvesChecked(const Workspace& ws) { return ws.display.showTraveltimeCurves == 1; }
bool TraveltimeQualityChecked(const Workspace& ws, int quality) { return ws.display.currentLayerCode == quality; }

void AddPickCommands(CommandTable& t)
{
    const auto hasMenu = [&](const std::string& key) {
        return std::any_of(t.Menus().begin(), t.Menus().end(), [&](const MenuDef& m) { return m.key == key; });
    };
    const auto menu = [&](MenuDef m) {
        if (!hasMenu(m.key)) t.AddMenu(std::move(m));
    };
    menu({"file.option", "file", "Option", "オプション", kInAllMenus, 60});
    menu({"pick.option", "pick", "Option", "オプション", kInAllMenus, 900});
    menu({"pick.option.amplitude", "pick.option", "Read amplitude", "振幅の読み取り", kInAllMenus, 30});

    const auto rule = [&](int id, std::function<bool(const Workspace&)> predicate) {
        t.SetRule(id, [predicate = std::move(predicate)](const Workspace& ws, const RecentFileList&) {
            return predicate(ws);
        });
        return id;
    };
    rule(kRuleRostrelOpen, RostrelOpenEnabled);
    rule(kRuleShowTraveltimeCurves, ShowTraveltimeCurvesChecked);
    for (int q = 1; q <= 3; ++q) {
        rule(kRuleTraveltimeQualityFirst + q - 1, [q](const Workspace& ws) { return TraveltimeQualityChecked(ws, q); });
    }

    const auto add = [&](int id, const char* m, double order, const char* en, const char* ja, CommandAction action,
                         int enable = kRuleTracesLoaded, ItemKind kind = ItemKind::Command, int check = kRuleNone) {
        t.Add(MakeRow(id, m, order, en, ja, std::move(action), enable, kind, check));
    };
    const auto onWs = [](int (*f)(Workspace&)) { return [f](CommandContext& c) { return f(c.ws); }; };

    // File.
    add(cmd::kSaveRostrelFile, "file", 70, "Save first arrival data as a Rostrel file",
        "初動データをRostrelファイルに保存", OnSaveRostrelFile, kRuleAlways);
    add(cmd::kOpenRostrelFile, "file", 71, "Open first arrival data as a Rostrel file",
        "初動データをRostrelファイルから開く", OnOpenRostrelFile, kRuleRostrelOpen);
    add(cmd::kOpenFirstArrivalFile, "file.option", 70, "Open first arrival file", "初動ファイルを開く",
        OnOpenFirstArrivalFile);
    add(cmd::kSaveFirstArrivalFile, "file.option", 71, "Save first arrival file", "初動ファイルを保存",
        OnSaveFirstArrivalFile);

    // View.
    add(cmd::kShowTraveltimeCurves, "view", 300, "Show traveltime curves", "走時曲線を表示",
        onWs(OnShowTraveltimeCurves), kRuleAlways, ItemKind::Check, kRuleShowTraveltimeCurves);

    // Pick first arrivals.
    add(cmd::kPickFirstArrivalManually, "pick", 10, "Pick first arrival time manually", "初動を手動で読み取る",
        OnPickFirstArrivalManually);
    add(cmd::kUpdateTraveltimeCurves, "pick", 20, "Update the traveltime curves", "走時曲線を更新",
        OnUpdateTraveltimeCurves);
    static const char* const kQualityEn[] = {"Set traveltime quality to 1", "Set traveltime quality to 2",
                                             "Set traveltime quality to 3"};
    static const char* const kQualityJa[] = {"走時の品質を 1 にする", "走時の品質を 2 にする", "走時の品質を 3 にする"};
    for (int q = 1; q <= 3; ++q) {
        add(cmd::kTraveltimeQualityFirst + q - 1, "pick", 30 + q, kQualityEn[q - 1], kQualityJa[q - 1],
            [q](CommandContext& c) { return OnSetTraveltimeQuality(c.ws, q); }, kRuleAlways, ItemKind::Check,
            kRuleTraveltimeQualityFirst + q - 1);
    }
    add(cmd::kChangeTraveltimeSymbol, "pick.option", 20, "Change traveltime symbol", "走時の記号を変更",
        onWs(OnChangeTraveltimeSymbol), kRuleAlways);
    add(cmd::kPickAmplitude, "pick.option.amplitude", 10, "Pick amplitude", "振幅を読み取る", onWs(OnPickAmplitude));
    add(cmd::kAmplitudeUseFile, "pick.option.amplitude", 20, "Use file", "ファイルを使う", OnAmplitudeUseFile);
    add(cmd::kReadMaximumAmplitude, "pick.option.amplitude", 30, "Read maximium amplitude", "最大振幅を読み取る",
        onWs(OnReadMaximumAmplitude));
}

}  // namespace velk
