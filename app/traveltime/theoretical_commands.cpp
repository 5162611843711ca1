#include "app/traveltime/theoretical_commands.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "app/view/edit_controller.h"
#include "app/view/plot_mapping.h"
#include "app/view/record_seams.h"
#include "app/workspace.h"
#include "draw/canvas.h"
#include "platform/language.h"
#include "platform/uihost.h"
#include "traveltime/modelling_dialogs.h"

namespace velk {

namespace {

// Direct wave, head wave, reflection.
constexpr Rgb kCurveColours[CTheoreticalTraveltime::kCurves] = {{220, 0, 0}, {0, 150, 0}, {0, 0, 230}};
constexpr int kHeadWaveOffset = 2;      // units along the time axis, to keep it apart from the reflection
constexpr double kReceiverRangeSlack = 0.01;  // m

void Warn(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

std::string VelocityNotPositiveText(int language)
{
    return Msg(language, "The velocity must be larger than 0 !", "速度は 0 より大きくしてください !");
}

bool UsableVelocity(float v) { return v > 0.0f && std::isfinite(v); }

}  // namespace

void SetupGroundWaterTable(Workspace& ws) { ws.theoretical.SetupGroundWaterTable(); }

int ShowTwoLayerTraveltime(Workspace& ws)
{
    ws.display.editMode = 7;
    CTheoreticalTraveltime& m = ws.theoretical;
    RecomputeTheoreticalCurves(ws);
    m.modifiedParameter = -1;
    ShowTheoreticalTraveltimeTexts(ws, m.FormatTheoreticalTraveltimeStatus(ws.startup.language));
    return 1;
}

void RecomputeVspCurves(Workspace& ws)
{
    CTheoreticalTraveltime& m = ws.theoretical;
    const ModellingValues& v = ws.modelling;
    const int n = ws.store.TraceCount();
    for (int j = 0; j < n; ++j) {
        const CTraceHeader& h = ws.store.current.headers[static_cast<size_t>(j)];
        const auto t = CTheoreticalTraveltime::ComputeVspTimes(static_cast<float>(h.receiverHundredths * 0.01),
                                                                static_cast<float>(h.sourceHundredths * 0.01),
                                                                v.vspDistance, v.vspAngle, v.migrationVelocity);
        if (static_cast<size_t>(j) < m.curves[0].size()) m.curves[0][static_cast<size_t>(j)] = t.direct;
        if (static_cast<size_t>(j) < m.curves[1].size()) m.curves[1][static_cast<size_t>(j)] = t.reflection;
    }
}

void DrawTwoLayerTraveltime(RecordPaint& paint, Workspace& ws, int xorg, int yorg)
{
    CTheoreticalTraveltime& m = ws.theoretical;
    const PlotMapping map = PlotMapping::ForRecord(ws, xorg, yorg);
    const DisplayState& d = ws.display;
    const double low = std::min(d.firstReceiver, d.lastReceiver) - kReceiverRangeSlack;
    const double high = std::max(d.firstReceiver, d.lastReceiver) + kReceiverRangeSlack;
    const int traces = ws.store.TraceCount();
    // A repaint of the record ends the transient texts; in this mode they belong with the curves.
    const auto& figures = ws.display.overlay.Figures();
    if (!paint.printing && std::none_of(figures.begin(), figures.end(), [](const OverlayFigure& f) {
            return f.owner == EditController::kTextOwner;
        })) {
        const int language = ws.startup.language;
        const std::string status = m.FormatTheoreticalTraveltimeStatus(language);
        ShowTheoreticalTraveltimeTexts(ws, m.modifiedParameter >= 0 ? m.FormatModifyLabel(language) + " " + status
                                                                    : status);
    }
    Canvas& c = paint.canvas;
    std::vector<LPoint> points;
    m.pointCount = 0;
    for (int curve = 0; curve < m.ModeCurveCount(); ++curve) {
        const std::vector<float>& times = m.curves[static_cast<size_t>(curve)];
        const int n = std::min(traces, static_cast<int>(times.size()));
        points.clear();
        for (int j = 0; j < n; ++j) {
            const double r = ws.store.current.headers[static_cast<size_t>(j)].receiverHundredths * 0.01;
            const double t = times[static_cast<size_t>(j)];
            // A negative time is a wave that does not arrive (no head wave, no model).
            if (!(t >= 0.0) || !std::isfinite(t) || r < low || r > high) continue;
            const int32_t along = map.AlongTime(t) + (curve == 1 ? kHeadWaveOffset : 0);
            points.push_back(map.At(along, map.AlongDistance(r)));
        }
        m.pointCount = static_cast<int>(points.size());
        if (points.size() < 2) continue;
        ScopedPen pen(c, Pen{PenStyle::Solid, 1, kCurveColours[curve]});
        c.Polyline(points);
    }
}

int OnTwoLayerDialog(Workspace& ws, UiHost& ui)
{
    CTheoreticalTraveltime& m = ws.theoretical;
    CTwoLayerModelDlg dlg;
    dlg.depth = m.depth;
    dlg.v1 = m.v1;
    dlg.v2 = m.v2;
    DialogRequest request = dlg.Request(ws.startup.language);
    if (!ui.RunDialog(request)) return 0;
    if (!UsableVelocity(dlg.v1) || !UsableVelocity(dlg.v2)) {
        Warn(ui, VelocityNotPositiveText(ws.startup.language));
        return 0;
    }
    m.depth = dlg.depth;
    m.v1 = dlg.v1;
    m.v2 = dlg.v2;
    RecomputeTheoreticalCurves(ws);
    m.curveCount = 3;
    m.shown = 1;
    return 1;
}

int OnVspDialog(Workspace& ws, UiHost& ui)
{
    ModellingValues& v = ws.modelling;
    CVspCurveDlg dlg;
    dlg.angle = v.vspAngle;
    dlg.distance = v.vspDistance;
    dlg.velocity = v.migrationVelocity;
    DialogRequest request = dlg.Request(ws.startup.language);
    if (!ui.RunDialog(request)) return 0;
    if (!UsableVelocity(dlg.velocity)) {
        Warn(ui, VelocityNotPositiveText(ws.startup.language));
        return 0;
    }
    v.vspAngle = dlg.angle;
    v.vspDistance = dlg.distance;
    v.migrationVelocity = dlg.velocity;
    RecomputeVspCurves(ws);
    ws.theoretical.curveCount = 2;
    ws.theoretical.shown = 1;
    return 1;
}

int OnDeleteTheoretical(Workspace& ws)
{
    ws.theoretical.shown = 0;
    return 1;
}

int OnGroundWaterTable(Workspace& ws)
{
    SetupGroundWaterTable(ws);
    RecomputeTheoreticalCurves(ws);
    return 1;
}

int OnTwoLayerSetup(Workspace& ws)
{
    ws.theoretical.SetupTwoLayerModel();
    RecomputeTheoreticalCurves(ws);
    return 1;
}

void AddTheoreticalTraveltimeCommands(CommandTable& t)
{
    t.AddMenuIfMissing({"pick.theoretical", "pick", "Thoretical traveltime", "理論走時", kInAllMenus, 600});
    t.AddMenuIfMissing({"pick.theoretical.dialog", "pick.theoretical", "Use dialog-box", "ダイアログを使う",
                        kInAllMenus, 20});
    t.AddMenuIfMissing({"pick.theoretical.setup", "pick.theoretical", "Setup", "設定", kInAllMenus, 30});
    t.AddMenuIfMissing({"pick.option", "pick", "Option", "オプション", kInAllMenus, 900});
    t.AddMenuIfMissing({"pick.option.fitting", "pick.option", "Automatic fitting of reflection traveltimes ",
                        "反射走時の自動フィッティング", kInAllMenus, 60});

    const auto rule = [&](int id, bool (*predicate)(const Workspace&)) {
        t.SetRule(id, [predicate](const Workspace& ws, const RecentFileList&) { return predicate(ws); });
    };
    rule(kRuleTwoLayerEditMode, [](const Workspace& ws) { return ws.display.editMode == 7; });
    rule(kRuleTheoreticalShown, [](const Workspace& ws) { return ws.theoretical.shown == 1; });
    rule(kRuleGroundWaterEnable,
         [](const Workspace& ws) { return ws.store.TraceCount() > 0 && ws.theoretical.mode != 1; });
    rule(kRuleGroundWaterCheck, [](const Workspace& ws) { return ws.theoretical.mode == 1; });
    rule(kRuleTwoLayerEnable, [](const Workspace& ws) { return ws.store.TraceCount() > 0 && ws.theoretical.mode != 0; });
    rule(kRuleTwoLayerCheck, [](const Workspace& ws) { return ws.theoretical.mode == 0; });

    const auto add = [&](int id, const char* menu, double order, const char* en, const char* ja, CommandAction action,
                         int enable, ItemKind kind = ItemKind::Command, int check = kRuleNone) {
        t.Add(MakeRow(id, menu, order, en, ja, std::move(action), enable, kind, check));
    };
    const auto onWs = [](int (*f)(Workspace&)) { return [f](CommandContext& c) { return f(c.ws); }; };
    const auto wsUi = [](int (*f)(Workspace&, UiHost&)) { return [f](CommandContext& c) { return f(c.ws, c.ui); }; };

    add(cmd::kTwoLayerTraveltime, "pick.theoretical", 10, "2 layer model", "2層モデル", onWs(ShowTwoLayerTraveltime),
        kRuleTracesLoaded, ItemKind::Check, kRuleTwoLayerEditMode);
    add(cmd::kTwoLayerDialog, "pick.theoretical.dialog", 10, "2-layer model", "2層モデル", wsUi(OnTwoLayerDialog),
        kRuleAlways);
    add(cmd::kVspDialog, "pick.theoretical.dialog", 20, "VSP", "VSP", wsUi(OnVspDialog), kRuleAlways);
    add(cmd::kGroundWaterTable, "pick.theoretical.setup", 10, "Ground water table", "地下水位",
        onWs(OnGroundWaterTable), kRuleGroundWaterEnable, ItemKind::Radio, kRuleGroundWaterCheck);
    add(cmd::kTwoLayerSetup, "pick.theoretical.setup", 20, "2-layer model (refraction and reflection)",
        "2層モデル（屈折と反射）", onWs(OnTwoLayerSetup), kRuleTwoLayerEnable, ItemKind::Radio, kRuleTwoLayerCheck);
    add(cmd::kDeleteTheoretical, "pick.option", 50, "Delete theoretical traveltime", "理論走時を消去",
        onWs(OnDeleteTheoretical), kRuleTheoreticalShown);
    add(cmd::kFitTwoLayer, "pick.option.fitting", 10, "2-layer model", "2層モデル", wsUi(OnFitTwoLayer),
        kRuleTracesLoaded);
    add(cmd::kFitVspGivenVelocity, "pick.option.fitting", 20, "VSP(give velocity)", "VSP(速度を与える)",
        wsUi(OnFitVspGivenVelocity), kRuleTracesLoaded);
    add(cmd::kFitVspFull, "pick.option.fitting", 30, "VSP(velocity is unknown)", "VSP(速度が未知)",
        wsUi(OnFitVspFull), kRuleTracesLoaded);
}

}  // namespace velk
