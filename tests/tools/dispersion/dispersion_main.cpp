// dispersion: reads one waveform file the way File > Open does, runs the phase
// velocity-frequency transformation (the defaults, automatic direction, or the ranges given)
// and prints one line per frequency row: the frequency (Hz) and the velocity of the row's
// largest value (m/s). The store is sized to the file unless a capacity is given; the
// program's messages go to standard error, and a range that gives no image exits with 1.
//
//   dispersion [--max-traces N] [--max-sample N] [--frequency F0 F1] [--velocity V0 V1 DV] FILE
//   (velocities in km/s)
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/formats/document.h"
#include "app/surfacewave/phase_velocity_commands.h"
#include "app/workspace.h"
#include "formats/format_support.h"
#include "platform/numtext.h"
#include "platform/profile.h"
#include "platform/uihost.h"
#include "recorddump/recorddump.h"

namespace {

bool Number(const std::string& text, float& value)
{
    char* end = nullptr;
    value = std::strtof(text.c_str(), &end);
    return end && *end == '\0' && !text.empty();
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace velk;
    constexpr const char* kUsage =
        "usage: dispersion [--max-traces N] [--max-sample N] [--frequency F0 F1] [--velocity V0 V1 DV] FILE\n";
    std::vector<std::string> args;
    CContourSettings ranges;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--frequency" && i + 2 < argc) {
            ok = ok && Number(argv[i + 1], ranges.startFrequency) && Number(argv[i + 2], ranges.endFrequency);
            i += 2;
        } else if (a == "--velocity" && i + 3 < argc) {
            ok = ok && Number(argv[i + 1], ranges.startVelocity) && Number(argv[i + 2], ranges.endVelocity) &&
                 Number(argv[i + 3], ranges.velocityInterval);
            i += 3;
        } else {
            args.push_back(a);
        }
    }
    tools::DumpOptions options;
    std::string file;
    std::string error;
    if (!ok || !tools::ParseDumpArgs(args, options, file, &error)) {
        std::fprintf(stderr, "dispersion: %s\n%s", ok ? error.c_str() : "bad range", kUsage);
        return 2;
    }
    tools::ToolWorkspace tool(tools::SizedToFile(file, options), "dispersion");
    if (!tool.Load(file)) return 1;
    Workspace& ws = tool.ws;
    CContourSettings& s = ws.contour;
    s.startFrequency = ranges.startFrequency;
    s.startVelocity = ranges.startVelocity;
    s.endVelocity = ranges.endVelocity;
    s.velocityInterval = ranges.velocityInterval;
    if (!RunPhaseVelocityAnalysis(ws, tool.ui, nullptr, false, ranges.endFrequency)) {
        std::fprintf(stderr, "dispersion: no image was made\n");
        return 1;
    }
    const WaveformStore& store = ws.store;
    const double dv = store.Params().sampleInterval;
    for (int k = 0; k < store.TraceCount(); ++k) {
        const auto row = store.current.rows.Row(k);
        const int n = store.TraceSamples(k);
        int best = 0;
        for (int j = 1; j < n; ++j)
            if (row[static_cast<size_t>(j)] > row[static_cast<size_t>(best)]) best = j;
        std::printf("%s %s\n", FormatC("%.3f", store.current.headers[static_cast<size_t>(k)].receiverHundredths * 0.01).c_str(),
                    FormatC("%.1f", best * dv).c_str());
    }
    return 0;
}
