// Feeds arbitrary text to the parsers of the simulated seismograph's composite profile values
// (Simulator_Shots, _Layers, _SurfaceWave, _Battery). A value taken must leave the config in
// its valid ranges; a value refused must leave the config exactly as it was.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "acquisition/instrument/simulator_config.h"

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

bool Same(const velk::SimulatorConfig& a, const velk::SimulatorConfig& b)
{
    return a.shots == b.shots && a.shotPeriod == b.shotPeriod && a.shotTimes == b.shotTimes && a.v1 == b.v1 &&
           a.v2 == b.v2 && a.thickness == b.thickness && a.surfaceWave == b.surfaceWave && a.c0 == b.c0 &&
           a.cinf == b.cinf && a.fref == b.fref && a.batteryStart == b.batteryStart &&
           a.batteryPerMinute == b.batteryPerMinute && a.batteryPerRecord == b.batteryPerRecord &&
           a.batteryFloor == b.batteryFloor;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    using Parser = bool (*)(std::string_view, velk::SimulatorConfig&);
    const Parser parsers[] = {velk::ParseShots, velk::ParseLayers, velk::ParseSurfaceWave, velk::ParseBattery};
    for (Parser parse : parsers) {
        velk::SimulatorConfig config;
        const velk::SimulatorConfig before = config;
        if (!parse(text, config)) {
            Require(Same(config, before));
            continue;
        }
        Require(config.shotPeriod > 0.0 && std::isfinite(config.shotPeriod));
        Require(std::is_sorted(config.shotTimes.begin(), config.shotTimes.end()));
        Require(std::all_of(config.shotTimes.begin(), config.shotTimes.end(), [](double t) { return t >= 0.0; }));
        Require(config.v1 > 0.0 && config.v2 > 0.0 && config.thickness >= 0.0);
        Require(!config.surfaceWave || (config.c0 > 0.0 && config.cinf > 0.0 && config.fref > 0.0));
        Require(config.batteryFloor <= config.batteryStart);
    }
    return 0;
}
