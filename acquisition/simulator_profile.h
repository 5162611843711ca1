#pragma once
// The simulated seismograph's configuration from the profile: keys Simulator_<Name> in section
// "General" (Simulator_Seed, Simulator_Shots, ...). A missing key, or a value that does not
// parse or lies outside its range, keeps the default.

#include "acquisition/instrument/simulator_config.h"

namespace velk {

class Profile;

SimulatorConfig LoadSimulatorConfig(const Profile& profile);

}  // namespace velk
