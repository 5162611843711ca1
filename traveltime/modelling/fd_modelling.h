#pragma once
// The finite-difference modelling run on the velocity model: portions of time steps that record
// the twenty buried receivers into the run's own buffer, the snapshot at the end of a portion,
// and the record that "Finish" delivers. The run's state lives in the VelocityModel.

#include <cstddef>
#include <functional>

#include "traveltime/modelling/generators.h"
#include "traveltime/velocity_model.h"

namespace velk {

class WorkerPool;

// The largest wavefield a run or a migration may allocate.
inline constexpr size_t kMaxWavefieldBytes = size_t{2} << 30;

enum class FdRefusal {
    None,
    NoModel,
    SourceOutside,    // the source cell lies outside the grid
    ReceiverOutside,  // a receiver cell lies outside the grid
    GridTooLarge,     // pseudo-spectral scheme on more than 2048 cells along a side
    TooMuchMemory,    // the wavefields would take more than kMaxWavefieldBytes
};

// The bytes the run's grids take for a model of nx x nz cells and the scheme.
size_t FdRunBytes(int nx, int nz, int scheme);
// Whether a portion of the model's run can go ahead (source, receivers, grid size, memory).
FdRefusal CheckFdRun(const VelocityModel& m);

// The start of a run (continueSample 0): the settings every portion keeps, the levels sized to
// the model and cleared, the record emptied.
void BeginFdRun(VelocityModel& m, float dt, float frequency, int nonReflecting);

// One portion of m.sampleCount samples from max(continueSample, 1); progress(s) before each
// step. Afterwards continueSample is the first sample not computed and the snapshot holds the
// newest level with its range (from 0). The caller has checked the run (CheckFdRun).
void RunFdPortion(VelocityModel& m, WorkerPool* pool, const std::function<void(int)>& progress);

// The record of the run so far: twenty traces of continueSample samples at dt, receiver k at
// trunc(h x column) m.
GeneratedTraces FdRunRecord(const VelocityModel& m);

}  // namespace velk
