// The least-squares fits of picked reflection times (Pick first arrivals > Option > Automatic
// fitting of reflection traveltimes).

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/traveltime/theoretical_commands.h"
#include "app/view/edit_controller.h"
#include "app/workspace.h"
#include "dsp/least_squares.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "traveltime/modelling_dialogs.h"

namespace velk {

namespace {

constexpr float kPickedAbove = 0.01f;  // ms: a pick at or below this is none

// The picked traces: their positions (offsets from the source, or receiver positions) and
// times; `source` is the source position of the last of them.
struct Picks {
    std::vector<double> positions;
    std::vector<double> times;
    double source = 0.0;
};

Picks CollectPicks(const Workspace& ws, bool offsets)
{
    Picks picks;
    const WaveformStore& store = ws.store;
    const std::vector<float>& pickTimes = store.Params().pickTimes;
    const int n = std::min(store.TraceCount(), static_cast<int>(pickTimes.size()));
    for (int i = 0; i < n; ++i) {
        const float t = pickTimes[static_cast<size_t>(i)];
        if (!(t > kPickedAbove)) continue;
        const CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        const double receiver = h.receiverHundredths * 0.01;
        picks.source = h.sourceHundredths * 0.01;
        picks.positions.push_back(offsets ? std::fabs(receiver - picks.source) : receiver);
        picks.times.push_back(t);
    }
    return picks;
}

void FitFailed(Workspace& ws, UiHost& ui)
{
    ui.Message(Msg(ws.startup.language, "Error in Least Squear Method !", "最小二乗法でエラーが起きました !"),
               MsgButtons::Ok, MsgIcon::Warning);
}

void ShowVspCurves(Workspace& ws)
{
    RecomputeVspCurves(ws);
    ws.theoretical.curveCount = 2;
    ws.theoretical.shown = 1;
}

// Runs one VSP fit from the stored reflector; on success stores it and shows the curves.
int FitVsp(Workspace& ws, UiHost& ui, bool fullFit)
{
    const Picks picks = CollectPicks(ws, false);
    ModellingValues& v = ws.modelling;
    double angle = v.vspAngle;
    double distance = v.vspDistance;
    double velocity = v.migrationVelocity;
    double rms = 0.0;
    const int ok = fullFit ? CLeastSquaresDlg::FitVspFull(picks.positions, picks.times, angle, distance, 50, rms,
                                                          velocity, picks.source, 0.2)
                           : CLeastSquaresDlg::FitVspGivenVelocity(picks.positions, picks.times, angle, distance, 20,
                                                                   rms, velocity, picks.source);
    if (ok != 1) {
        FitFailed(ws, ui);
        return 0;
    }
    v.vspAngle = static_cast<float>(angle);
    v.vspDistance = static_cast<float>(distance);
    if (fullFit) v.migrationVelocity = static_cast<float>(velocity);
    ShowVspCurves(ws);
    const int language = ws.startup.language;
    const std::string text =
        fullFit ? FormatC(Msg(language, " Distance=%fm Angle=%fdegree Velocity=%fkm/sec RMS=%fmsec",
                              " 距離=%fm 角度=%f度 速度=%fkm/sec RMS=%fmsec")
                              .c_str(),
                          distance, angle, velocity, rms)
                : FormatC(Msg(language, " Distance=%fm Angle=%fdegree RMS=%fmsec", " 距離=%fm 角度=%f度 RMS=%fmsec")
                              .c_str(),
                          distance, angle, rms);
    ui.Message(text);
    return 1;
}

}  // namespace

int OnFitTwoLayer(Workspace& ws, UiHost& ui)
{
    const Picks picks = CollectPicks(ws, true);
    CTheoreticalTraveltime& m = ws.theoretical;
    double velocity = m.v2;
    double depth = m.depth;
    double rms = 0.0;
    // The hyperbola depends on D only through D squared, so a fit that ends on a negative depth
    // found the reflector at |D|. A velocity that is not positive has no physical reading.
    if (CLeastSquaresDlg::FitReflectionTwoLayer(picks.positions, picks.times, velocity, depth, 10, rms) != 1 ||
        !(velocity > 0.0) || !std::isfinite(velocity) || !std::isfinite(depth) || !std::isfinite(rms) ||
        !std::isfinite(static_cast<float>(velocity)) || !std::isfinite(static_cast<float>(depth))) {
        FitFailed(ws, ui);
        return 0;
    }
    depth = std::fabs(depth);
    m.v1 = static_cast<float>(velocity);
    m.depth = static_cast<float>(depth);
    RecomputeTheoreticalCurves(ws);
    m.curveCount = 3;
    m.shown = 1;
    ui.Message(FormatC(" V1=%fkm/sec D1=%fm RMS=%fmsec", static_cast<double>(m.v1), static_cast<double>(m.depth), rms));
    return 1;
}

int OnFitVspGivenVelocity(Workspace& ws, UiHost& ui)
{
    CSetVelocityDlg dlg;
    dlg.velocity = std::clamp(ws.modelling.migrationVelocity, 0.00001f, 10000.0f);
    DialogRequest request = dlg.Request(ws.startup.language);
    if (!ui.RunDialog(request)) return 0;
    ws.modelling.migrationVelocity = dlg.velocity;
    return FitVsp(ws, ui, false);
}

int OnFitVspFull(Workspace& ws, UiHost& ui) { return FitVsp(ws, ui, true); }

}  // namespace velk
