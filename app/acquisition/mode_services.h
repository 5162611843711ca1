#pragma once
// The acquisition modes' road to the program's analyses and commands, over the workspace.
//
// The commands that need the document and the view get them from the shell's context source;
// until the shell has set one, they do nothing and return 0.

#include <functional>
#include <optional>

#include "acquisition/acquisition_manager.h"
#include "app/command_table.h"

namespace velk {

class UiHost;
class Workspace;

class WorkspaceModeServices : public ModeServices {
public:
    using ContextSource = std::function<std::optional<CommandContext>()>;

    WorkspaceModeServices(Workspace& ws, UiHost& ui) : ws_(ws), ui_(ui) {}
    void SetContextSource(ContextSource source) { context_ = std::move(source); }

    int SaveRostrelFile(const std::string& path, TraveltimeTextSet set) override;
    void Repaint() override;
    int SaveRecord() override;
    int EditReceiverInterval() override;
    int RunPhaseVelocityAnalysis(float endFrequency) override;
    int PickPhaseVelocity() override;
    int ShowPhaseVelocityCurve(const std::string& curveName) override;
    int ShowPhaseVelocityCurveNamed(const std::string& curveName, const std::string& text) override;
    int ShowAllCurvesInQuessil(const std::string& programSwitch) override;
    int MakeCmpGatherFiles2D(float binSize) override;
    int PhaseVelocityCurves(float endFrequency) override;
    int Spac2DFileGroup(std::string& title) override;
    int SetUpGroupGeometry() override;
    int SetGroupWaveformData(int showMessage) override;
    int GroupAutoPickFirstArrivals() override;
    int ShowTraveltimeInRostrel(const std::string& word) override;
    int SetupGroundWaterTable() override;
    int ShowTwoLayerTraveltime() override;
    int MakeFileList() override;
    int OpenSeg2Record() override;
    int ShowNextWaveformFile() override;

private:
    std::optional<CommandContext> Context() const;

    Workspace& ws_;
    UiHost& ui_;
    ContextSource context_;
};

// The manager's context over the workspace: its device, file group, profile, UiHost, language,
// line-file switch, the view's geometry, the hand-offs' objects and the given services.
ModeContext MakeModeContext(Workspace& ws, ModeServices* services);

}  // namespace velk
