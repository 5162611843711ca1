#include "app/acquisition/mode_services.h"

#include "app/acquisition/record_saving.h"
#include "app/operations.h"
#include "app/formats/document.h"
#include "app/formats/next_file.h"
#include "app/formats/seg2_commands.h"
#include "app/picking/pick_commands.h"
#include "app/shell_services.h"
#include "app/surfacewave/cmp_commands.h"
#include "app/surfacewave/phase_velocity_commands.h"
#include "app/surfacewave/spac_commands.h"
#include "app/survey/automatic_processing.h"
#include "app/survey/file_list_commands.h"
#include "app/survey/group_commands.h"
#include "app/traveltime/theoretical_commands.h"
#include "app/view/interactive_edit.h"
#include "app/workspace.h"

namespace velk {

std::optional<CommandContext> WorkspaceModeServices::Context() const
{
    return context_ ? context_() : std::nullopt;
}

int WorkspaceModeServices::SaveRostrelFile(const std::string& path, TraveltimeTextSet set)
{
    return velk::SaveRostrelFile(ws_, ui_, path, set);
}

void WorkspaceModeServices::Repaint()
{
    if (std::optional<CommandContext> c = Context(); c && c->view) c->view->Repaint();
}

int WorkspaceModeServices::SaveRecord()
{
    std::string saved;
    if (SaveAcquiredRecord(ws_, ui_, saved) != 1) return 0;
    ws_.acquisitionDevice.ResetStack();
    return 1;
}

int WorkspaceModeServices::EditReceiverInterval() { return velk::EditReceiverInterval(ws_, ui_) == 0 ? 0 : 1; }

int WorkspaceModeServices::RunPhaseVelocityAnalysis(float endFrequency)
{
    std::optional<CommandContext> c = Context();
    return velk::RunPhaseVelocityAnalysis(ws_, ui_, c ? c->view : nullptr, true, endFrequency, false,
                                          c ? c->doc.currentFileName : std::string())
               ? 1
               : 0;
}

int WorkspaceModeServices::PickPhaseVelocity() { return velk::PickPhaseVelocity(ws_, ui_); }

int WorkspaceModeServices::ShowPhaseVelocityCurve(const std::string& curveName)
{
    const std::optional<CommandContext> c = Context();
    return velk::ShowPhaseVelocityCurve(ws_, ui_, c ? FileNameOf(c->doc.currentFileName) : std::string(), curveName);
}

int WorkspaceModeServices::ShowPhaseVelocityCurveNamed(const std::string& curveName, const std::string& text)
{
    return velk::ShowPhaseVelocityCurveNamed(ws_, ui_, curveName, text);
}

int WorkspaceModeServices::ShowAllCurvesInQuessil(const std::string& programSwitch)
{
    return velk::ShowAllCurvesInQuessil(ws_, ui_, programSwitch);
}

int WorkspaceModeServices::MakeCmpGatherFiles2D(float binSize)
{
    return velk::MakeCmpGatherFiles2D(ws_, ui_, true, true, binSize) > 0 ? 1 : 0;
}

int WorkspaceModeServices::PhaseVelocityCurves(float endFrequency)
{
    std::optional<CommandContext> c = Context();
    ws_.contour.endFrequency = endFrequency;
    return velk::PhaseVelocityCurves(ws_, ui_, c ? c->view : nullptr, true);
}

int WorkspaceModeServices::Spac2DFileGroup(std::string& title)
{
    std::optional<CommandContext> c = Context();
    ViewProgressText progress(c ? c->view : nullptr);
    if (!velk::Spac2DFileGroup(ws_, ui_, progress, c ? c->doc.currentFileName : std::string())) return 0;
    FitImageToWindow(ws_, c ? c->view : nullptr, true);
    title = ws_.display.drawing.secondFileName;
    return 1;
}

int WorkspaceModeServices::SetUpGroupGeometry()
{
    std::optional<CommandContext> c = Context();
    return c ? velk::SetUpGroupGeometry(*c) : 0;
}

int WorkspaceModeServices::SetGroupWaveformData(int showMessage)
{
    std::optional<CommandContext> c = Context();
    return c ? velk::SetGroupWaveformData(*c, showMessage != 0) : 0;
}

int WorkspaceModeServices::GroupAutoPickFirstArrivals()
{
    std::optional<CommandContext> c = Context();
    return c ? velk::GroupAutoPickFirstArrivals(*c) : 0;
}

int WorkspaceModeServices::ShowTraveltimeInRostrel(const std::string& word)
{
    std::optional<CommandContext> c = Context();
    return c ? velk::ShowTraveltimeInRostrel(*c, word) : 0;
}

int WorkspaceModeServices::SetupGroundWaterTable()
{
    velk::SetupGroundWaterTable(ws_);
    return 1;
}

int WorkspaceModeServices::ShowTwoLayerTraveltime() { return velk::ShowTwoLayerTraveltime(ws_); }

int WorkspaceModeServices::MakeFileList()
{
    std::optional<CommandContext> c = Context();
    return c ? velk::MakeFileList(*c, false) : 0;
}

int WorkspaceModeServices::OpenSeg2Record()
{
    std::optional<CommandContext> c = Context();
    return c ? velk::OpenSeg2Record(*c) : 0;
}

int WorkspaceModeServices::ShowNextWaveformFile()
{
    std::optional<CommandContext> c = Context();
    if (!c) return 0;
    WorkspaceFileGroup group(c->ws, c->ui);
    StepContext step{c->ws, c->doc, c->ui, group, c->frame};
    return velk::ShowNextWaveformFile(step, true);
}

ModeContext MakeModeContext(Workspace& ws, ModeServices* services)
{
    ModeContext c;
    c.device = &ws.acquisitionDevice;
    c.group = &ws.fileGroup;
    c.profile = &ws.profile();
    c.ui = &ws.ui();
    c.services = services;
    c.language = ws.startup.language;
    c.lineFilesSwitch = ws.LineFilesSwitch();
    c.geometry = [&ws] { return ws.MamGeometrySlotOf(); };
    c.receiverInterval = &ws.geometry.receiverInterval;
    c.shotInterval = &ws.geometry.sourceInterval;
    c.moveReceivers = &ws.geometry.moveReceivers;
    c.instrumentPresent = &ws.startup.instrumentMenu;
    c.traveltime = &ws.traveltimeSet;
    c.curves = &ws.curveSet;
    c.programs = &ws.programPaths;
    c.launcher = ws.launcher.get();
    c.workingFolder = ws.workingFolder;
    return c;
}

}  // namespace velk
