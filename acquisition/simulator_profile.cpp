#include "acquisition/simulator_profile.h"

#include <cmath>
#include <string>

#include "base/settings_io.h"
#include "platform/numtext.h"
#include "platform/profile.h"

namespace velk {

namespace {

void ReadNumber(const Profile& profile, const char* key, double& value, double lo, double hi)
{
    std::string text;
    if (!ReadSettingString(profile, key, text)) return;
    const std::optional<double> v = ParseDouble(text);
    if (v && *v >= lo && *v <= hi) value = *v;
}

void ReadInteger(const Profile& profile, const char* key, int& value, int lo, int hi)
{
    int32_t v = 0;
    if (ReadSettingInt(profile, key, v) && v >= lo && v <= hi) value = v;
}

void ReadSwitch(const Profile& profile, const char* key, bool& value)
{
    int32_t v = 0;
    if (ReadSettingInt(profile, key, v)) value = v != 0;
}

template <class Parser>
void ReadComposite(const Profile& profile, const char* key, SimulatorConfig& config, Parser parse)
{
    std::string text;
    if (ReadSettingString(profile, key, text)) parse(text, config);
}

}  // namespace

SimulatorConfig LoadSimulatorConfig(const Profile& profile)
{
    SimulatorConfig c;
    std::string seed;
    if (ReadSettingString(profile, "Simulator_Seed", seed)) {
        if (const std::optional<int64_t> v = ParseInt64(seed); v && *v >= 0) c.seed = static_cast<uint64_t>(*v);
    }
    ReadComposite(profile, "Simulator_Shots", c, ParseShots);
    ReadComposite(profile, "Simulator_Layers", c, ParseLayers);
    ReadNumber(profile, "Simulator_Frequency", c.frequency, 1.0, 1000.0);
    ReadNumber(profile, "Simulator_ShotAmplitude", c.shotAmplitude, 0.0, 1000.0);
    ReadNumber(profile, "Simulator_NoiseLevel", c.noiseLevel, 0.0, 1000.0);
    ReadInteger(profile, "Simulator_Jitter", c.jitter, 0, 1000);
    ReadComposite(profile, "Simulator_SurfaceWave", c, ParseSurfaceWave);
    ReadSwitch(profile, "Simulator_Microtremor", c.microtremor);
    ReadSwitch(profile, "Simulator_TestPattern", c.testPattern);
    ReadNumber(profile, "Simulator_TimeScale", c.timeScale, 0.0, 1000.0);
    ReadInteger(profile, "Simulator_InitCode", c.initCode, 0, 65535);
    int ready = c.readyCode;
    ReadInteger(profile, "Simulator_ReadyCode", ready, 0, 23);
    if (ready == 0 || ready == 23) c.readyCode = ready;
    ReadComposite(profile, "Simulator_Battery", c, ParseBattery);
    ReadNumber(profile, "Simulator_MonitorScale", c.monitorScale, 0.0, 1.0e6);
    return c;
}

}  // namespace velk
