#pragma once
// Time-stepping kernels of the two-dimensional acoustic wave equation on a regular grid of square
// cells (h metres, row-major, nx columns by nz rows): second- and fourth-order central
// differences, a pseudo-spectral scheme on the tabled FFT and a staggered grid of pressure and
// particle velocities. Each call advances one time step from the current (and old) level into
// the new one; the three levels are cycled by the caller.
//
// Nothing here allocates: the pseudo-spectral work arrays are made once by
// SetupPseudoSpectralGrid. A pool splits the rows of one step over threads; every cell is
// computed by the same expression whichever thread computes it, so the results equal the serial
// ones bit for bit. The second- and fourth-order steps give each row its absorbing edge cells on
// the row's thread, with the values and messages the edges applied one after another give; the
// other schemes apply the absorbing boundary serially, edge by edge.

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "traveltime/modelling/fd_levels.h"

namespace velk {

class WorkerPool;

// The grid every kernel works on: its size, cell size and time step, the cell velocities (m/s)
// and, for the staggered scheme, densities. Spans hold nx * nz values.
struct FdGrid {
    int nx = 0;
    int nz = 0;
    float h = 1.0f;   // m
    float dt = 0.0f;  // s
    std::span<const float> velocity;
    std::span<const float> density;
    WorkerPool* pool = nullptr;  // null: serial
};

// The level indices of one step.
struct FdStep {
    int newLevel = 2;
    int current = 1;
    int old = 0;
};

// The one-way absorbing condition's constant (kept as the condition was tuned).
inline constexpr double kAbsorbingC = 0.8660508;

// new = 2 (1 - 2 r^2) cur + r^2 (four nearest of cur) - old with r = v dt / h, every interior
// cell; then the absorbing condition on edges 1..4.
void FdStepOrder2(FdLevels& p, const FdGrid& g, FdStep s);
// The fourth-order stencil on cells at least two lines from every edge, the second-order one on
// the other interior cells; then the absorbing condition on edges 1..4.
void FdStepOrder4(FdLevels& p, const FdGrid& g, FdStep s);

// The transform lengths, wavenumbers and per-thread work rows of the pseudo-spectral scheme.
struct PseudoSpectralGrid {
    int nx = 0, nz = 0;
    int lengthX = 0, mX = 0;  // Nx = 2^mX
    int lengthZ = 0, mZ = 0;
    double dkx = 0.0, dkz = 0.0;
    std::vector<double> cosX, cosZ;      // tables of the tabled FFT
    std::vector<double> minusK2X, minusK2Z;  // -k^2 per bin, zero-based
    std::vector<double> uxx, uzz;        // second derivatives, nx * nz
    int chunks = 0;
    std::vector<double> workRe, workIm;  // chunks rows of max(Nx, Nz) + 1 (one-based)
};

// Nx, Nz: the smallest of 32, 64, .., 2048 not below nx, nz; wavenumbers k = j dk below N/2 and
// (N - j) dk above. False (nothing usable) when either side is longer than 2048 cells or not
// positive: the tabled FFT has no longer transform.
bool SetupPseudoSpectralGrid(PseudoSpectralGrid& ps, int nx, int nz, float h);
// The bytes SetupPseudoSpectralGrid allocates for that grid (0 beyond 2048).
size_t PseudoSpectralBytes(int nx, int nz);

// uxx and uzz by transforms along rows and columns of cur, then
// new = (v dt)^2 (uxx + uzz) + 2 cur - old, then DampBoundaryZone on edges 1..4.
void FdStepPseudoSpectral(FdLevels& p, const FdGrid& g, FdStep s, PseudoSpectralGrid& ps);

// Pressure and particle velocities on the staggered grid (vx at i + 1/2, vz at k + 1/2),
// fourth-order staggered differences inside and the plain neighbour difference within two
// lines of an edge. The pressure steps from its current level with the current velocities; each
// velocity then steps from its current level with the differences of the new pressure. The
// absorbing condition runs on the pressure, then on vx and vz (vz at edge 3 and vx at edge 4 on
// the second-last line).
void FdStepStaggered(FdLevels& p, FdLevels& vx, FdLevels& vz, const FdGrid& g, FdStep s);

// The paraxial absorbing condition on one edge (1 first row, 2 first column, 3 last row, 4 last
// column), every point along the edge line; `secondLast` moves the line of edges 3 and 4 one
// inward. A new value whose square exceeds 2 prints "wrong on boundary %d, m=%d" (edges 1, 3) or
// "wrong on boundary %d, n=%d" (edges 2, 4) on the standard output and is kept.
void ApplyAbsorbingBoundary(FdLevels& f, const FdGrid& g, FdStep s, int edge, bool secondLast = false);

// Cells closer than 20 lines to the edge: current and new levels times exp(-(0.015 (20 - d))^2).
void DampBoundaryZone(FdLevels& p, const FdGrid& g, FdStep s, int edge);

}  // namespace velk
