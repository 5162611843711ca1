#include "nordalis/viewer_commands.h"

#include <algorithm>
#include <array>

#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk::nordalis {

namespace {

constexpr float kZoomIn = 1.5f;
constexpr float kZoomOut = 0.6666667f;

bool YZoomIn(ViewerState& s, UiHost&) { return s.yScale *= kZoomIn, true; }
bool YZoomOut(ViewerState& s, UiHost&) { return s.yScale *= kZoomOut, true; }
bool XZoomIn(ViewerState& s, UiHost&) { return s.xScale *= kZoomIn, true; }
bool XZoomOut(ViewerState& s, UiHost&) { return s.xScale *= kZoomOut, true; }
bool ToggleColour(ViewerState& s, UiHost&) { return s.colourScheme = -s.colourScheme, true; }
bool ColourShown(const ViewerState& s) { return s.colourScheme == kColourScheme; }

bool About(ViewerState&, UiHost& ui)
{
    MessageRequest request;
    request.text = "Nordalis Version 1.0";
    request.caption = "About Nordalis";
    request.buttons = MsgButtons::Ok;
    request.icon = MsgIcon::Info;
    ui.Message(request);
    return false;
}

bool SaveTextData(ViewerState& s, UiHost& ui) { return OnFileSaveTextData(s, ui); }

constexpr std::array<ViewerCommand, 7> kCommands = {{
    {cmd::kSaveTextData, "Save text data file", SaveTextData, nullptr},
    {cmd::kYZoomIn, "", YZoomIn, nullptr},
    {cmd::kYZoomOut, "", YZoomOut, nullptr},
    {cmd::kXZoomIn, "", XZoomIn, nullptr},
    {cmd::kXZoomOut, "", XZoomOut, nullptr},
    {cmd::kColour, "&Color", ToggleColour, ColourShown},
    {cmd::kAbout, "&About Nordalis...", About, nullptr},
}};

}  // namespace

std::span<const ViewerCommand> ViewerCommands() { return kCommands; }

const ViewerCommand* FindViewerCommand(int id)
{
    const auto it = std::find_if(kCommands.begin(), kCommands.end(), [id](const ViewerCommand& c) { return c.id == id; });
    return it == kCommands.end() ? nullptr : &*it;
}

bool OnFileSaveTextData(ViewerState& s, UiHost& ui)
{
    if (s.data.n1 <= 0) {
        ui.Message("There is no data to save: no time-frequency panels have been read.", MsgButtons::Ok,
                   MsgIcon::Warning, kViewerName);
        return false;
    }
    int panel = 0;
    DialogRequest request("CSaveTextDataDlg", "Save text data");
    request.Int("Trace number", panel).Label("Enter trace number to be saved");
    if (!ui.RunDialog(request)) return false;
    if (panel < 0 || panel >= s.data.n1) {
        ui.Message(FormatC("Trace number must be between 0 and %d.", s.data.n1 - 1), MsgButtons::Ok, MsgIcon::Warning,
                   kViewerName);
        return false;
    }
    FileRequest file;
    file.title = "text file name(*.txt)";
    file.filters = {{"text file name(*.txt)", "*.txt"}};
    file.defaultExtension = "txt";
    const std::optional<std::string> path = ui.SaveFile(file);
    if (!path) return false;
    std::string error;
    if (!WritePanelText(s.data, panel, *path, &error)) {
        ui.Message("Cannot write " + *path + ": " + error, MsgButtons::Ok, MsgIcon::Error, kViewerName);
    }
    return false;
}

}  // namespace velk::nordalis
