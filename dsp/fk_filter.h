#pragma once
// The F-K velocity filter (dialog 173 "Velocity filter (F-K)") and the F-K power spectrum.
//
// A record of traces at equal receiver spacing dx is placed side by side, trace j in column j,
// in a grid of Nt time samples by Nx positions, zero beyond the record. The two-dimensional
// transform is e^(-i...) over time, then over position, both unscaled; its inverse carries the
// 1/(Nt Nx). A cell of frequency f and wavenumber bin j has the apparent velocity
//     h = 1e9 for j = 0,  -f / (dk j) for 1 <= j < Nx/2,  f / (dk (Nx - j)) for j >= Nx/2,
// with dk = 1 / (dx Nx): events whose arrival time grows with the trace index (positive
// apparent velocity) lie in the upper half of the wavenumber bins. The fan weight of h keeps
// (Fan-pass) or removes (Fan-reject) the positive velocities between the two inner velocities,
// with cosine transitions out to the two outer ones; negative velocities get the outer weight.

#include <complex>
#include <vector>

#include "base/matrix2d.h"

namespace velk {

class DialogRequest;

// The filter velocities in m/s, from the highest: outer zone edges v1 and v4, the inner zone
// v3..v2.
struct FanVelocities {
    double v1 = 0.0;
    double v2 = 0.0;
    double v3 = 0.0;
    double v4 = 0.0;
};

struct CFkFilterDlg {
    static constexpr const char* kClass = "CFkFilterDlg";
    static constexpr const char* kTitle = "Velocity filter (F-K)";
    // Field names (the edits of the two groups and the radio group).
    static constexpr const char* kInnerLow = "1 low";     // edit 1121
    static constexpr const char* kInnerHigh = "1 high";   // edit 1123
    static constexpr const char* kFan = "Fan";            // radios 1119 / 1124
    static constexpr const char* kOuterLow = "2 low";     // edit 1126
    static constexpr const char* kOuterHigh = "2 high";   // edit 1125

    static constexpr int kFanPass = 0;
    static constexpr int kFanReject = 1;

    // The dialog's values in their exchange order, km/s; the fan mode -1 until one is chosen.
    float velocity1121 = 0.0f;  // group "1": the low end of the inner zone
    float velocity1123 = 0.0f;  // group "1": its high end
    int fanMode = -1;           // kFanPass or kFanReject
    float velocity1126 = 0.0f;  // group "2": the low end of the transitions
    float velocity1125 = 0.0f;  // group "2": their high end

    DialogRequest Request(int language);

    // Puts the values into their roles: when 1126 is above 1125 the two pairs are taken the
    // other way round, and both pairs are exchanged in the fields, so that a dialog preset from
    // them shows 1125 >= 1126.
    void OrderRoles();
    // The four roles in m/s (call OrderRoles first): v1 = 1125, v2 = 1123, v3 = 1121, v4 = 1126.
    FanVelocities Velocities() const;

    // The weight of apparent velocity h (m/s) between the outer and the inner weight.
    static double FanWeight(double h, const FanVelocities& v, double outerWeight, double innerWeight);
    // The apparent velocity of frequency f (Hz) and wavenumber bin j of nx (dk cycles per m).
    static double ApparentVelocity(double f, double dk, int j, int nx);

    // Grid sizes: Nt the smallest power of two, at least 2, not below the sample count; Nx 256
    // up to 256 traces, else the smallest power of two not below the trace count.
    static int TimeLength(int samples);
    static int PositionCount(int traceCount);

    // Filters the first `samples` values of traces 0..traceCount-1 (rows RowLow() + i) in place,
    // dt in ms, dx in m. Returns 1, or 0 with nothing changed when a count, dt or dx is not
    // above 0.
    static int Filter(Matrix2D<float>& rows, int traceCount, int samples, double dtMs, double dxM,
                      const FanVelocities& velocities, int fanMode);
};

// The F-K power spectrum: the grid of the filter for traces 0..traceCount-1 (`samples` values
// each) with Nt = nt and Nx = nx, then (re^2 + im^2) x 1e6 of the unscaled transform for
// frequency bins 0..bins-1 (bins <= nt/2 + 1) written into rows 0..nx-1 (row RowLow() + j holds
// wavenumber bin j), columns 0..bins-1. The rows must hold nx rows of bins columns, and nt and
// nx must be powers of two of at least 2; otherwise nothing changes (returns 0).
int FkPowerSpectrum(Matrix2D<float>& rows, int traceCount, int samples, int nt, int nx, int bins);

namespace fk_detail {

// The frequency half of a record's time transforms: bins 0..bins-1 of e^(-i...) over nt points
// (unscaled), trace j in column j of a row of nx cells per bin.
std::vector<std::complex<float>> ForwardTimeBins(const Matrix2D<float>& rows, int traceCount, int samples,
                                                 int nt, int bins, int nx);

}  // namespace fk_detail

}  // namespace velk
