#pragma once
// What the trace-editing, NMO and generator commands remember for the run: each command's last
// input, which presets its dialog next time, the points of the mouse mute, and where the
// generators' random seeds come from.

#include <cstdint>
#include <ctime>
#include <functional>

#include "dsp/trace_edit.h"

namespace velk {

struct TraceEditState {
    int insertDistance = 0;        // cm, the receiver position of the last inserted trace
    ApparentVelocityMute mute;     // the apparent-velocity mute record
    float generatorFrequency = 0.0f;  // Hz, the time-domain generator
    float generatorVelocity = 1.0f;   // km/s, the frequency-domain generator's apparent velocity
    int generatorEvents = 10;         // the frequency-domain generator's number of events

    // The seed of each generator run; empty: the current time. Tests put a fixed seed here.
    std::function<uint32_t()> randomSeed;
    uint32_t Seed() const
    {
        return randomSeed ? randomSeed() : static_cast<uint32_t>(std::time(nullptr));
    }
};

}  // namespace velk
