#pragma once
// What the simulated seismograph does: its shots, the ground it shoots into, its noise and its
// timing. Tests fill a SimulatorConfig directly; the program reads it from the profile keys
// Simulator_<Name> (acquisition/simulator_profile.h). The composite values are plain text,
// numbers in the C locale:
//   Shots        "periodic:2" a shot 2 s after each entry into the trigger wait, "manual" none,
//                "at:1.5,4" shots 1.5 s and 4 s after arming
//   Layers       "v1,v2,h"            velocities (m/s) and thickness (m) of a layer over a half-space
//   SurfaceWave  "c0,cinf,fref"       c(f) = cinf + (c0 - cinf) exp(-f / fref); empty: none
//   Battery      "start,perMinute,perRecord,floor" in V

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

enum class ShotSchedule { Periodic, Manual, At };

struct SimulatorConfig {
    uint64_t seed = 1;
    ShotSchedule shots = ShotSchedule::Periodic;
    double shotPeriod = 2.0;          // s, Periodic
    std::vector<double> shotTimes;    // s after arming, ascending, At
    double v1 = 400.0;                // m/s
    double v2 = 1600.0;               // m/s
    double thickness = 4.0;           // m
    double frequency = 40.0;          // Hz, the Ricker wavelet's peak
    double shotAmplitude = 10.0;      // V at 1 m
    double noiseLevel = 0.001;        // V RMS
    int jitter = 0;                   // +- samples of each record's time zero
    bool surfaceWave = false;
    double c0 = 0.0;                  // m/s
    double cinf = 0.0;                // m/s
    double fref = 0.0;                // Hz
    bool microtremor = false;         // records of random plane waves, no shot
    bool testPattern = false;         // row r holds r + 1
    double timeScale = 1.0;           // recording time: 1 real time, 0 instant
    int initCode = 0;                 // what Init_DSP returns
    int readyCode = 23;               // the status of a ready record: 23 or 0
    double batteryStart = 12.6;       // V
    double batteryPerMinute = 0.01;   // V
    double batteryPerRecord = 0.001;  // V
    double batteryFloor = 10.5;       // V
    double monitorScale = 100.0;      // monitor counts per record unit and gain divisor
};

// Each parser fills its part of the config and returns true, or returns false and leaves the
// config unchanged when the text is not a valid value.
bool ParseShots(std::string_view text, SimulatorConfig& config);
bool ParseLayers(std::string_view text, SimulatorConfig& config);
bool ParseSurfaceWave(std::string_view text, SimulatorConfig& config);
bool ParseBattery(std::string_view text, SimulatorConfig& config);

// A comma-separated list of finite numbers in the C locale (blanks around each allowed); false
// for an empty item, any other text, or more than maxCount numbers.
bool ParseNumberList(std::string_view text, std::vector<double>& values, size_t maxCount);

}  // namespace velk
