#pragma once
// CPhaseVelocityCurveDlg: dialog 205 "Phase velocity curve", the parameters of the phase
// velocities read from trace pairs (phase-difference and cross-correlation averages, two
// selected traces, the CMP analyses). A plain struct shown through the generic form; its
// values change only on OK.

#include "surfacewave/phase_velocity_dlg.h"

namespace velk {

class DialogRequest;

struct CPhaseVelocityCurveDlg {
    static constexpr const char* kClass = "CPhaseVelocityCurveDlg";
    static constexpr const char* kTitle = "Phase velocity curve";
    // Field names of the request.
    static constexpr const char* kNShift = "N shift";
    static constexpr const char* kMinimumFrequency = "Minimum frequency";
    static constexpr const char* kShowPhaseDifference = "Show phase difference";
    static constexpr const char* kAutomaticShift = "Automatic shift";
    static constexpr const char* kShowPhaseVelocityCurve = "Show phase velocity curve";
    static constexpr const char* kMaximumFrequency = "Maximum frequency";
    static constexpr const char* kMinimumOffset = "Minimum offset";
    static constexpr const char* kResolution = "Resolution improvement";
    static constexpr const char* kMaxApparentVelocity = "Maximum apparent vel.";
    static constexpr const char* kMinApparentVelocity = "Minimum apparent vel.";
    static constexpr const char* kMinSeparation = "Minimum separation";
    static constexpr const char* kMaxSeparation = "Maximum separation";

    int nShift = 0;
    float minimumFrequency = 0.0f;  // Hz
    int showPhaseDifference = 0;
    int automaticShift = 0;
    int showPhaseVelocityCurve = 0;
    float maximumFrequency = 0.0f;  // Hz
    float minimumOffset = 0.0f;     // m, 0..100
    int resolution = 0;             // 1..10
    float maxApparentVelocity = 0.0f;  // km/s, 0..10000
    float minApparentVelocity = 0.0f;  // km/s, 0..10000
    int minSeparation = 0;          // 1..30
    int maxSeparation = 0;          // 1..400

    DialogRequest Request(int language);

    // The six phase-difference parameters into the dialog. The fields the caller does not use
    // (resolution, separations) are raised to the lowest value their checks accept, so that
    // OK can be pressed; a caller that uses them sets them afterwards.
    void Load(const PhaseDifferenceParameters& p);
    // After OK: the six back.
    void Store(PhaseDifferenceParameters& p) const;
};

}  // namespace velk
