#pragma once
// recorddump: reads one waveform file the way the program's File > Open does (classification,
// the registered reader, the commit and the set-up) into a fresh workspace, and prints what
// the store then holds: every message shown, the trace count, each trace's eight header words
// and extended record, and every sample ("%.9g"). The golden tests of tests/data compare this
// text with the sidecar <file>.expected.
//
//   recorddump [--max-traces N] [--max-sample N] [--japanese] [--max-print N]
//              [--answer ok|cancel|yes|no]... [--dialog Class[:Field=Value[,Field=Value]]]...
//              [--cancel-dialog Class]... [--first NAME=FILE]... [--reader NAME] FILE
//
// Messages are answered OK unless an --answer is queued; dialogs are answered OK with their
// preset values unless a --dialog (values to set) or --cancel-dialog for that class is queued.
// --reader reads the file through the menu command of that name instead of File > Open (for
// formats only a command opens); its first file dialog is answered with FILE. --first reads
// another file before (by the reader NAME, or "open" for File > Open; a relative path is taken
// beside FILE), for commands that work on a loaded record such as the key files.

#include <string>
#include <utility>
#include <vector>

#include "app/formats/document.h"
#include "app/workspace.h"
#include "platform/profile.h"
#include "platform/uihost.h"

namespace velk::tools {

struct DumpOptions {
    int maxTraces = 128;
    int maxSample = 4100;
    bool capacityGiven = false;    // --max-traces or --max-sample was given
    int language = -1;             // 1 Japanese
    int maxPrint = -1;             // samples printed per trace; -1 all
    std::vector<std::string> answers;  // message answers in order: ok, cancel, yes, no
    // Dialog answers in order of use: "Class:Field=Value,Field=Value" (OK with these values)
    // or "!Class" (Cancel).
    std::vector<std::string> dialogs;
    std::string reader;  // a name of ReaderCommands(), or empty for File > Open
    std::vector<std::pair<std::string, std::string>> first;  // reader name ("open") and file, in order
};

// The menu commands --reader can name: name and command id.
struct ReaderCommand {
    const char* name;
    int id;
};
const std::vector<ReaderCommand>& ReaderCommands();

// Parses the options before the file name; the file is the last word. False with the reason
// in *error for an unknown option or a missing value.
bool ParseDumpArgs(const std::vector<std::string>& args, DumpOptions& options, std::string& file,
                   std::string* error);

// The dump of `path` (the file is named by its last part only, so dumps do not depend on the
// folder).
std::string DumpRecord(const std::string& path, const DumpOptions& options);

// Options whose capacity fits `file`: unless a capacity was given, at least the defaults and
// at least the file's traces and longest trace, as File > Open's reader of the file reports
// them. A file the probe cannot read leaves the options as they are.
DumpOptions SizedToFile(const std::string& file, DumpOptions options);

// Writes every message's text to standard error, after "<tool>: ", and dismisses it as nobody
// at the screen would.
class ToolUiHost : public NullUiHost {
public:
    explicit ToolUiHost(std::string tool) : tool_(std::move(tool)) {}

protected:
    MsgResult DoMessage(const MessageRequest& request) override;

private:
    std::string tool_;
};

// A fresh workspace with the capacity of `options`, English messages written to standard error,
// no diagnostics, and the program's readers: the set-up of the command-line
// tools that work on one record read through File > Open.
struct ToolWorkspace {
    ToolWorkspace(const DumpOptions& options, const char* tool);
    // Reads `file` through File > Open; false after "<tool>: no traces read from <file>".
    bool Load(const std::string& file);

    std::string tool;
    ToolUiHost ui;
    Profile profile;
    Workspace ws;
    CVelkarineDoc doc;
};

}  // namespace velk::tools
