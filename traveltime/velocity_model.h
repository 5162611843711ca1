#pragma once
// The one two-dimensional velocity model of the modelling tools: a regular grid of square cells
// in a vertical plane, with the traveltime grid of the last ray tracing and the last wavefield
// snapshot, and the first-arrival ray tracer (an expanding-square solution of the eikonal
// equation) that fills the traveltime grid from a point source.
//
// Grids are flat and row-major, nx x nz values: cell (i, k) lies at horizontal position i h and
// depth k h and is element k nx + i. Nothing here knows the waveform store or the display.

#include <array>
#include <span>
#include <vector>

#include "traveltime/modelling/fd_levels.h"

namespace velk {

class DialogRequest;

// Dialog 200 "Modeling": the ray-tracing source, m. Both start at 0 each time.
struct CModelingDlg {
    static constexpr const char* kClass = "CModelingDlg";
    float location = 0.0f;
    float depth = 0.0f;
    DialogRequest Request(int language);
};

struct VelocityModel {
    static constexpr int kCreatedSize = 201;

    int nx = 0;         // grid columns (horizontal)
    int nz = 0;         // grid rows (depth)
    float h = 1.0f;     // cell size, m, in both directions
    std::vector<float> velocity;    // m/s
    std::vector<float> density;     // for the finite differences
    std::vector<float> traveltime;  // ms, from the last ray-tracing source
    std::vector<float> snapshot;    // the last wavefield snapshot
    float velocityMin = 0.0f;
    float velocityMax = 0.0f;
    float traveltimeMin = 0.0f;
    float traveltimeMax = 0.0f;
    float snapshotMin = 0.0f;
    float snapshotMax = 0.0f;
    float sourceX = 0.0f;      // m, the finite differences' source
    float sourceDepth = 0.0f;  // m
    int hasModel = 0;
    int hasTraveltimes = 0;
    int contourSource = 0;     // 0 the waveform record, 1 velocity, 2 traveltime, 3 snapshot

    size_t Cells() const { return static_cast<size_t>(nx) * static_cast<size_t>(nz); }
    float& At(std::vector<float>& grid, int i, int k) const { return grid[static_cast<size_t>(k) * nx + i]; }

    // ---- Finite differences ----
    static constexpr int kReceivers = 20;
    // Pressure at three time levels (old, current, new), cycled by the sample number modulo 3,
    // and the staggered scheme's particle velocities; each level nx x nz, row-major. Sized by
    // the run that uses them.
    FdLevels wavefield;
    FdLevels particleVx;
    FdLevels particleVz;
    float dt = 0.0001f;    // s
    int sampleCount = 100; // samples per portion
    int scheme = 1;        // 0 2nd order, 1 4th order, 2 pseudo spectral, 3 staggered
    int continueSample = 0;  // 0 idle, else the first sample of the next portion
    std::array<int, kReceivers> receiverColumn = ReceiverColumns();
    std::array<int, kReceivers> receiverRow = ReceiverRows();
    // What a run in progress keeps for its later portions: the source frequency, the
    // "Non-reflecting condition", and the receivers' samples so far (kReceivers rows of
    // `recordLength` values each, sample 0 included).
    float runDt = 0.0001f;  // s
    float runFrequency = 200.0f;
    int runNonReflecting = 0;
    int recordLength = 0;
    std::vector<float> record;

    // Reverse-time migration settings, kept while the program runs.
    int rtmTimeFactor = 1;
    int rtmSpaceFactor = 1;
    int rtmInterpolation = 1;

    // Diffraction-stacking settings, kept while the program runs; `stackingUses` counts the
    // accepted runs (0: the first use sets the defaults).
    float stackXFrom = 0.0f, stackXTo = 0.0f, stackXInterval = 0.0f;
    float stackYFrom = 0.0f, stackYTo = 50.0f, stackYInterval = 0.5f;
    int stackMethod = 0;
    float stackSourceY = 0.0f;
    int stackingUses = 0;

    // Sets every wavefield level (pressure and particle velocities) to 0.
    void ClearWavefield();

    static std::array<int, kReceivers> ReceiverColumns()
    {
        std::array<int, kReceivers> c{};
        for (int k = 0; k < kReceivers; ++k) c[k] = 10 * k + 5;
        return c;
    }
    static std::array<int, kReceivers> ReceiverRows()
    {
        std::array<int, kReceivers> r{};
        r.fill(100);
        return r;
    }
};

// "New model(Homogeneous)": 201 x 201 cells of 1 m at 3000 m/s, density 2000, velocity range
// 2000..4000 for the display, source of the finite differences at (100 m, 100 m).
void CreateHomogeneousModel(VelocityModel& model);
// "New model(2 layers)": the same with 2000 m/s in rows 0..99 and 4000 m/s from row 100 (the
// interface at 100 m depth), source depth 50 m.
void CreateTwoLayerModel(VelocityModel& model);

// One smoothing pass: from a copy, every cell off the edges becomes the mean (weights
// 0.33333334) of itself and its two neighbours along x; then, again from a copy, along z. The
// outermost rows and columns keep their values.
void SmoothGrid(int nx, int nz, std::span<float> grid);
// One pass over the model's velocity grid; the finite-difference wavefield is cleared.
void SmoothVelocityModel(VelocityModel& model);

// One side of a ring: n cells, each with the time T[j] of its neighbour on the inner ring and
// the slowness of that neighbour (sIn) and of itself (sOut), in ms per m x 1000 (h x slowness is
// ms). Writes the new times into out. Every cell is reached: a side without an interior local
// minimum of T is seeded at the cells whose inner time is the side's smallest.
void SolveRingSide(int n, std::span<const float> sIn, std::span<const float> sOut, std::span<const float> T,
                   std::span<float> out, float h);

// First-arrival times (ms) of every cell from a point source at (sourceColumn, sourceRow), the
// slowness grid being 1 / (velocity x 0.001) smoothed twice. Returns false and leaves
// `traveltime` unchanged when the grid is empty, the sizes do not match or the source lies
// outside the grid.
bool TraceTravelTimes(std::vector<float>& traveltime, std::span<const float> velocity, int nz, int nx, float h,
                      int sourceColumn, int sourceRow);

}  // namespace velk
