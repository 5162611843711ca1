#pragma once
// The display low-cut/high-cut filter state (menu "Fuzz filter"): off after every record load,
// switched on by its step commands, taken back in one step.

namespace velk {

struct DisplayFilterState {
    int applied = 0;                 // 1 while the record on show is the filtered one
    float initialHighCut = 1000.0f;  // Hz, the first high cut a step takes
    float initialLowCut = 5.0f;      // Hz, the first low cut a step takes
    float highCut = -1.0f;           // Hz, -1 = not set
    float lowCut = -1.0f;            // Hz, -1 = not set
    float highCutStep = 0.8f;        // factor per high-cut step
    float lowCutStep = 1.5f;         // factor per low-cut step
};

// Off, both cuts -1.0.
void ResetDisplayFilter(DisplayFilterState& state);

}  // namespace velk
