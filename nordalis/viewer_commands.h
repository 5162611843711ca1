#pragma once
// The viewer's own commands: one list of ids, menu texts, actions and check marks that the frame
// routes and its update handler asks. The toolkit's standard commands (print, exit, toolbar and
// status bar) stay with the frame.

#include <span>
#include <string>

#include "nordalis/panel_data.h"
#include "nordalis/panel_image.h"

namespace velk {
class UiHost;
}

namespace velk::nordalis {

namespace cmd {
constexpr int kSaveTextData = 32771;
constexpr int kYZoomIn = 32772;
constexpr int kYZoomOut = 32773;
constexpr int kXZoomOut = 32774;
constexpr int kXZoomIn = 32775;
constexpr int kColour = 32776;
constexpr int kAbout = 57664;
}  // namespace cmd

// The viewer's name, the caption of its message boxes.
inline constexpr const char* kViewerName = "Nordalis";

// What the view shows: the panels read at its construction and how they are drawn.
struct ViewerState {
    PanelData data;
    float yScale = 1.0f;
    float xScale = 1.0f;
    int originX = 100;
    int originY = -100;
    int labelUnit = 1;
    int colourScheme = kColourScheme;

    PanelView View() const { return {yScale, xScale, labelUnit}; }
};

struct ViewerCommand {
    int id;
    const char* menuText;  // empty for toolbar-only commands
    // Runs the command; true when the view must be repainted.
    bool (*run)(ViewerState& state, UiHost& ui);
    // The check mark; null for commands without one.
    bool (*checked)(const ViewerState& state);
};

std::span<const ViewerCommand> ViewerCommands();
const ViewerCommand* FindViewerCommand(int id);

// "Save text data file": the panel number, then the file; a number outside 0..n1-1 is refused,
// and Cancel in either dialog writes nothing. With no panels read it says there is no data.
bool OnFileSaveTextData(ViewerState& state, UiHost& ui);

}  // namespace velk::nordalis
