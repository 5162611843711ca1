#pragma once
// The acquisition modes' road to the program's analyses and commands, over the workspace.

#include "acquisition/acquisition_manager.h"

namespace velk {

class UiHost;
class Workspace;

class WorkspaceModeServices : public ModeServices {
public:
    WorkspaceModeServices(Workspace& ws, UiHost& ui) : ws_(ws), ui_(ui) {}
    int SaveRostrelFile(const std::string& path) override;

private:
    Workspace& ws_;
    UiHost& ui_;
};

// The manager's context over the workspace: its device, file group, profile, UiHost, language,
// line-file switch and the given services.
ModeContext MakeModeContext(Workspace& ws, ModeServices* services);

}  // namespace velk
