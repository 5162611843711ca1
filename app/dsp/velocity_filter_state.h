#pragma once
// What the velocity-filter commands remember for the run: the last values of their dialogs
// (none of them persists in the profile; the tau-p transform keeps its values in TauPSettings)
// and what a forward F-K transform of the record needs for its inverse.

#include <cstdint>
#include <vector>

namespace velk {

// Set by "Transform to F-K domain(FFT)", read and cleared by its inverse.
struct FkTransformRecord {
    int recorded = 0;          // 1 while a forward transform waits for its inverse
    int traceCount = 0;        // traces before the transform
    int positions = 0;         // Nx: the wavenumber traces it made
    int samples = 0;           // N: frequency bins per trace (and samples per trace after the inverse)
    int32_t firstReceiver = 0; // receiver word of trace 1
    int32_t receiverStep = 0;  // receiver word of trace 2 minus that of trace 1 (> 0)
    // The order the wavenumber traces were sorted into: position i holds wavenumber bin
    // order[i]. The inverse puts them back from this, whatever their receiver labels say.
    std::vector<int> order;
};

struct VelocityFilterState {
    // F-K filter (dialog 173), km/s, in their ordered roles; fan mode 0 Fan-pass, 1 Fan-reject.
    float fkVelocity1121 = 0.3f;
    float fkVelocity1123 = 1.5f;
    float fkVelocity1125 = 1.6f;
    float fkVelocity1126 = 0.2f;
    int fkFanMode = 0;

    // Median filters (dialogs 182 and 183): M is shared by both.
    int medianTraces = 11;
    int slownessSteps = 20;
    float medianMinVelocity = 0.5f;  // km/s
    float medianMaxVelocity = 1.5f;
    int semblanceWeighting = 1;

    // tau-p velocity filter (dialog 181). The stacking method is the view's value; the NP
    // preset is above what the dialog accepts, so the user enters one.
    float taupMinVelocity = 0.5f;  // km/s
    float taupMaxVelocity = 1.5f;
    int taupNp = 48001;
    int taupMethod = 0;

    FkTransformRecord fkTransform;
};

}  // namespace velk
