#pragma once
// Settings of the automatic first-break picker (keys PICKFREQENCY, PICKNCHECK, PICKPORTION,
// PICKNEAROFFSETLIMIT, PICKBPF; section "General"), and the two modelling values the view keeps
// for the migration and depth-conversion commands. The picker itself comes later.

namespace velk {

class Profile;

struct AutoPickSettings {
    float centreFrequency = 100.0f;   // PICKFREQENCY, Hz
    int numberOfChecking = 1;         // PICKNCHECK, 0..20
    int portion = 8;                  // PICKPORTION, 1..20
    float nearOffsetLimit = 15.0f;    // PICKNEAROFFSETLIMIT, m
    int bandPass = 1;                 // PICKBPF
};

// Reads the five keys, each keeping its value when absent, in the order the view reads them.
void LoadAutoPickSettings(const Profile& profile, AutoPickSettings& settings);
// Writes the five keys.
void SaveAutoPickSettings(Profile& profile, const AutoPickSettings& settings);

struct ModellingValues {
    float migrationVelocity = 3.0f;              // MIGRATION_VELOCITY, km/s
    float depthMaxForDepthTransformation = 15.0f;  // DepthMaxForDepthTravsformation, m
    float vspAngle = 0.0f;     // the VSP generator's reflector, kept for the run (degrees)
    float vspDistance = 0.0f;  // m
};

}  // namespace velk
