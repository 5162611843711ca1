#pragma once
// The display low-cut/high-cut filter state (menu "Fuzz filter"): off after every record load,
// switched on by its step commands, taken back in one step.

#include <cstdint>

namespace velk {

struct DisplayFilterState {
    int applied = 0;                 // 1 while the record on show is the filtered one
    float initialHighCut = 1000.0f;  // Hz, the first high cut a step takes
    float initialLowCut = 5.0f;      // Hz, the first low cut a step takes
    float highCut = -1.0f;           // Hz, -1 = not set
    float lowCut = -1.0f;            // Hz, -1 = not set
    float highCutStep = 0.8f;        // factor per high-cut step
    float lowCutStep = 1.5f;         // factor per low-cut step
    // The store's push count and undo depth right after the filter's own undo push: when
    // either differs, another command has changed the record since and the filter no longer
    // stands over the unfiltered snapshot.
    uint64_t ownPushCount = 0;
    int ownUndoDepth = 0;
};

// Off, both cuts -1.0.
void ResetDisplayFilter(DisplayFilterState& state);

}  // namespace velk
