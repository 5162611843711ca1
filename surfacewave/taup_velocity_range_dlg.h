#pragma once
// Dialog 230 "tau-p transform" of the file group's velocity analysis: the velocity range and the
// offsets of a tau-p stack in velocity mode. Its labels are English in both languages. A plain
// struct shown through the generic form; its values change only on OK.

#include "surfacewave/taup_settings.h"

namespace velk {

class DialogRequest;

struct CTauPVelocityRangeDlg {
    static constexpr const char* kClass = "CTauPVelocityRangeDlg";
    static constexpr float kStep = 0.0025f;  // km/s, the step of a stack that fits

    float minVelocity = 0.0f;    // km/s
    float maxVelocity = 0.0f;    // km/s
    float minimumOffset = 0.0f;  // m
    float maximumOffset = 0.0f;  // m

    DialogRequest Request(int language);

    // Preset from the settings: minimum velocity 0, maximum velocity the end value, the offsets.
    void Load(const TauPSettings& settings);
    // After OK: start and end from the range, the step of VelocityStep, stacking mode 0 and the
    // two offsets.
    void Store(TauPSettings& settings, int maxTraces) const;

    // The velocity step for a range that must fit maxTraces traces: kStep; twice that when
    // trunc(|end - start| / kStep) + 1 exceeds maxTraces; doubled once more when
    // trunc(|end - start| / step) + 1 still exceeds it (single precision).
    static float VelocityStep(float start, float end, int maxTraces);
};

}  // namespace velk
