#include "app/view/print_view_commands.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/formats/document.h"
#include "draw/coordinates.h"
#include "app/formats/load_setup.h"
#include "app/view/paper_output.h"
#include "app/view/record_seams.h"
#include "app/shell_services.h"
#include "app/formats/strong_motion_commands.h"
#include "app/view/view_seams.h"
#include "app/workspace.h"
#include "platform/language.h"

namespace velk {

bool EarthquakeMode(const Workspace& ws) { return StrongMotionSetLoaded(ws); }

bool CanChooseViewMode(const Workspace& ws, int mode) { return EarthquakeMode(ws) && ws.strongMotion.viewMode != mode; }

bool CanChooseOffsetMode(const Workspace& ws, int mode)
{
    return EarthquakeMode(ws) && ws.strongMotion.offsetMode != mode;
}

int OnEarthquakeViewMode(Workspace& ws, UiHost& ui, CVelkarineDoc* doc, int mode)
{
    if (!EarthquakeMode(ws) || mode < 0 || mode > 6) return 0;
    ws.strongMotion.viewMode = mode;
    return RefillEarthquakeTraces(ws, ui, doc);
}

int OnEarthquakeStation(Workspace& ws, UiHost& ui, CVelkarineDoc* doc)
{
    if (!EarthquakeMode(ws)) return 0;
    if (SelectStations(ws.strongMotion, ui, ws.startup.language) != 1) return 0;
    ws.strongMotion.viewMode = 9;
    return RefillEarthquakeTraces(ws, ui, doc);
}

int OnEarthquakeOffsetMode(Workspace& ws, UiHost& ui, CVelkarineDoc* doc, int mode)
{
    if (!EarthquakeMode(ws) || mode < 0 || mode > 2) return 0;
    ws.strongMotion.offsetMode = mode;
    return RefillEarthquakeTraces(ws, ui, doc);
}

int OnSetupEarthquakeTime(Workspace& ws, UiHost& ui)
{
    if (!EarthquakeMode(ws)) return 0;
    EditEarthquakeTime(ws.strongMotion, ui, ws.startup.language);
    return 0;
}

int OnStartWithEarthquakeTime(Workspace& ws, UiHost& ui, CVelkarineDoc* doc)
{
    if (!EarthquakeMode(ws)) return 0;
    int& flag = ws.coordinateOrigin.startWithEarthquakeTime;
    flag = flag == 1 ? 0 : 1;
    return RefillEarthquakeTraces(ws, ui, doc);
}

int OnCorrectTimeAxis(Workspace& ws)
{
    if (!EarthquakeMode(ws)) return 0;
    int& flag = ws.display.timeAxisCorrection;
    if (flag == 1) {
        flag = 0;
        return 1;
    }
    ws.strongMotion.CorrectTimeAxis(ws.store.TraceCount(), DiagnosticLog(ws));
    flag = 1;
    ws.coordinateOrigin.startWithEarthquakeTime = 0;
    return 1;
}

int OnSetCorollary(Workspace& ws, UiHost& ui, CVelkarineDoc* doc)
{
    if (!EarthquakeMode(ws)) return 0;
    if (ConvertStationsToXY(ws.strongMotion, ws.coordinateOrigin, ui, ws.startup.language, DiagnosticLog(ws)) != 1) {
        return 0;
    }
    return RefillEarthquakeTraces(ws, ui, doc);
}

int32_t StrongMotionTimeShift(const Workspace& ws, int trace)
{
    if (ws.display.timeAxisCorrection != 1 || trace < 0) return 0;
    const std::vector<CStrongMotionTrace>& shown = ws.strongMotion.shownRecords;
    if (static_cast<size_t>(trace) >= shown.size()) return 0;
    return SaturatingTrunc(static_cast<double>(shown[static_cast<size_t>(trace)].timeOffset) * 1000.0 *
                           ws.store.Params().hscale);
}

DialogRequest CSelectComponentDlg::Request(int language)
{
    DialogRequest request("CSelectComponentDlg",
                          Msg(language, "Select components to be plotted", "プロットする成分の選択"));
    static constexpr const char* kLabels[10] = {"1 (NS or Rad)", "2 (EW or Tra)", "3 (UD)", "4", "5",
                                                "6",             "7",             "8",      "9", "10"};
    for (size_t i = 0; i < plot.size(); ++i) request.Bool(kLabels[i], plot[i]);
    return request;
}

int OnSelectComponents(Workspace& ws, UiHost& ui)
{
    CSelectComponentDlg dlg;
    DialogRequest request = dlg.Request(ws.startup.language);
    ui.RunDialog(request);
    return 0;
}

void AddPrintViewCommands(CommandTable& t)
{
    auto has = [&](const char* key) {
        const auto& menus = t.Menus();
        return std::any_of(menus.begin(), menus.end(), [&](const MenuDef& m) { return m.key == key; });
    };
    if (!has("option.earthquakes")) t.AddMenu({"option.earthquakes", "option", "Earthquakes", "地震", kInAllMenus, 730});
    t.AddMenu({"option.earthquakes.view", "option.earthquakes", "View mode", "表示モード", kInAllMenus, 10});
    t.AddMenu({"option.earthquakes.offset", "option.earthquakes", "Offset mode", "オフセットモード", kInAllMenus, 20});

    auto add = [&](int id, const char* menu, double order, const char* en, const char* ja, CommandAction action,
                   int enable = kRuleAlways, int check = kRuleNone) {
        return MakeRow(id, menu, order, en, ja, std::move(action), enable,
                       check == kRuleNone ? ItemKind::Command : ItemKind::Check, check);
    };
    auto separator = [&](const char* menu, double order) {
        t.Add(SeparatorRow(menu, order));
    };

    // File: printing, between the saves and the recent files.
    separator("file", 8000);
    CommandRow r = add(cmd::kFilePrint, "file", 8010, "&Print...", "印刷(&P)...", [](CommandContext& c) {
        if (c.frame) c.frame->PrintRecord(false);
        return 0;
    });
    r.accelerator = "Ctrl+P";
    t.Add(r);
    t.Add(add(cmd::kFilePrintPreview, "file", 8020, "Print Pre&view", "印刷プレビュー(&V)", [](CommandContext& c) {
        if (c.frame) c.frame->PrintRecord(true);
        return 0;
    }));
    t.Add(add(cmd::kFilePrintSetup, "file", 8030, "P&rint Setup...", "プリンタの設定(&R)...", [](CommandContext& c) {
        if (c.frame) c.frame->PrintSetup();
        return 0;
    }));

    // Edit > Copy to clipboard; View > Select components to be plotted.
    t.Add(add(cmd::kCopyToClipboard, "edit", 30, "Copy to clipboard", "クリップボードにコピー", [](CommandContext& c) {
        RecordClipboard* clipboard = c.frame ? c.frame->Clipboard() : nullptr;
        if (!clipboard) return 0;
        return CopyToClipboard(c.ws, c.ui, *clipboard, c.doc.Title());
    }));
    t.Add(add(cmd::kSelectComponents, "view", 345, "Select components to be plotted", "プロットする成分の選択",
              [](CommandContext& c) { return OnSelectComponents(c.ws, c.ui); }));

    // Option > Earthquakes.
    static constexpr std::pair<const char*, const char*> kViewModes[7] = {
        {"All traces", "全トレース"},       {"NS", "NS"},
        {"EW", "EW"},                      {"UD", "UD"},
        {"NS(downhole)", "NS(地中)"},      {"EW(downhole)", "EW(地中)"},
        {"UD(downhole)", "UD(地中)"}};
    for (int mode = 0; mode < 7; ++mode) {
        t.Add(add(cmd::kEarthquakeViewMode + mode, "option.earthquakes.view", 10 + mode, kViewModes[mode].first,
                  kViewModes[mode].second,
                  [mode](CommandContext& c) { return OnEarthquakeViewMode(c.ws, c.ui, &c.doc, mode); },
                  kRuleEarthquakeViewMode + mode));
        t.SetRule(kRuleEarthquakeViewMode + mode,
                  [mode](const Workspace& ws, const RecentFileList&) { return CanChooseViewMode(ws, mode); });
    }
    t.Add(add(cmd::kEarthquakeStation, "option.earthquakes.view", 20, "Station", "観測点",
              [](CommandContext& c) { return OnEarthquakeStation(c.ws, c.ui, &c.doc); }, kRuleEarthquakeStation));
    static constexpr std::pair<const char*, const char*> kOffsetModes[3] = {
        {"Latitude", "緯度"}, {"Longitude", "経度"}, {"Source offset", "震源距離"}};
    for (int mode = 0; mode < 3; ++mode) {
        t.Add(add(cmd::kEarthquakeOffsetMode + mode, "option.earthquakes.offset", 10 + mode, kOffsetModes[mode].first,
                  kOffsetModes[mode].second,
                  [mode](CommandContext& c) { return OnEarthquakeOffsetMode(c.ws, c.ui, &c.doc, mode); },
                  kRuleEarthquakeOffsetMode + mode));
        t.SetRule(kRuleEarthquakeOffsetMode + mode,
                  [mode](const Workspace& ws, const RecentFileList&) { return CanChooseOffsetMode(ws, mode); });
    }
    t.Add(add(cmd::kSetupEarthquakeTime, "option.earthquakes", 30, "Setup earthquake time", "地震発生時刻の設定",
              [](CommandContext& c) { return OnSetupEarthquakeTime(c.ws, c.ui); }, kRuleEarthquakeTime));
    t.Add(add(cmd::kStartWithEarthquakeTime, "option.earthquakes", 31, "Start with earthquake time",
              "地震発生時刻から表示", [](CommandContext& c) { return OnStartWithEarthquakeTime(c.ws, c.ui, &c.doc); },
              kRuleEarthquakeTraces, kRuleStartWithEarthquakeTime));
    t.Add(add(cmd::kCorrectTimeAxis, "option.earthquakes", 32, "Correct time axis", "時間軸の補正",
              [](CommandContext& c) { return OnCorrectTimeAxis(c.ws); }, kRuleEarthquakeTraces,
              kRuleTimeAxisCorrected));
    t.Add(add(cmd::kSetCorollary, "option.earthquakes", 40, "Set corollary", "座標系の設定",
              [](CommandContext& c) { return OnSetCorollary(c.ws, c.ui, &c.doc); }, kRuleEarthquakeMode));

    auto rule = [&](int id, bool (*predicate)(const Workspace&)) {
        t.SetRule(id, [predicate](const Workspace& ws, const RecentFileList&) { return predicate(ws); });
    };
    rule(kRuleEarthquakeStation, [](const Workspace& ws) { return EarthquakeMode(ws) && ws.strongMotion.StationCount() > 0; });
    rule(kRuleEarthquakeTime, [](const Workspace& ws) { return EarthquakeMode(ws) && ws.strongMotion.StationCount() > 1; });
    rule(kRuleEarthquakeTraces, [](const Workspace& ws) { return EarthquakeMode(ws) && ws.store.TraceCount() > 0; });
    rule(kRuleStartWithEarthquakeTime,
         [](const Workspace& ws) { return ws.coordinateOrigin.startWithEarthquakeTime == 1; });
    rule(kRuleTimeAxisCorrected, [](const Workspace& ws) { return ws.display.timeAxisCorrection == 1; });
    rule(kRuleEarthquakeMode, EarthquakeMode);
}

}  // namespace velk
