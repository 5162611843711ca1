// autopick: reads one waveform file the way File > Open does and prints, per trace, its number,
// its receiver position (m) and its automatic first-arrival pick (ms) with the set-up's
// defaults ("-" for a trace that could not be picked). The store is sized to the file unless a
// capacity is given; the program's messages go to standard error.
//
//   autopick [--max-traces N] [--max-sample N] FILE
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/formats/document.h"
#include "app/picking/auto_picking.h"
#include "app/workspace.h"
#include "formats/format_support.h"
#include "platform/numtext.h"
#include "platform/profile.h"
#include "platform/uihost.h"
#include "recorddump/recorddump.h"
#include "traveltime/first_break_picker.h"

int main(int argc, char** argv)
{
    using namespace velk;
    const std::vector<std::string> args(argv + 1, argv + argc);
    tools::DumpOptions options;
    std::string file;
    std::string error;
    if (!tools::ParseDumpArgs(args, options, file, &error)) {
        std::fprintf(stderr, "autopick: %s\nusage: autopick [--max-traces N] [--max-sample N] FILE\n", error.c_str());
        return 2;
    }
    tools::ToolWorkspace tool(tools::SizedToFile(file, options), "autopick");
    if (!tool.Load(file)) return 1;
    Workspace& ws = tool.ws;
    if (RunAutoPicking(ws, 0) != 1) {
        std::fprintf(stderr, "autopick: the record cannot be picked\n");
        return 1;
    }
    const CParameterSet& p = ws.store.Params();
    for (int i = 0; i < ws.store.TraceCount(); ++i) {
        const CTraceHeader& h = ws.store.current.headers[static_cast<size_t>(i)];
        const auto u = static_cast<size_t>(i);
        const std::string pick = p.layerCodes[u] == kUnpickedCode ? "-" : FormatC("%.2f", static_cast<double>(p.pickTimes[u]));
        std::printf("%d %s %s\n", h.traceNumber, FormatC("%.2f", h.receiverHundredths * 0.01).c_str(), pick.c_str());
    }
    return 0;
}
