#pragma once
// Migrations of a record into a depth (or migrated time) image: Kirchhoff summation, F-K
// (Stolt) mapping, phase-shift downward continuation, the 15-degree finite-difference
// continuation and the post-stack reverse-time migration of a zero-offset section in a constant
// velocity, and the diffraction stacking of a shot record. Each maps an input record (samples,
// headers, interval) to a new record; work grids and spectra are the operation's own. Receiver
// positions come from the headers (x 0.01 m). The callers check the counts and intervals first
// (MigrationInputUsable); the functions return an empty record for what they cannot use.

#include <functional>
#include <span>
#include <vector>

#include "traveltime/modelling/generators.h"

namespace velk {

class WorkerPool;
struct VelocityModel;

// At least two traces, a positive interval and a non-zero receiver step between the first two.
bool MigrationInputUsable(const GeneratedTraces& in);

// "Zero Offset transform": receiver = trunc((source + receiver) / 2 in m x 100) through the
// checked rounding helper, source 0, trace numbers from 1. Returns false (nothing changed) when a
// midpoint is out of range.
bool ZeroOffsetTransform(std::span<CTraceHeader> headers);

// Every output sample j of trace i (t0 = j dt): the sum over traces k of w in_k[n],
// t = sqrt(t0^2 + 4 (x_k - x_i)^2 / v^2), n = trunc(t / dt), w = (t0 / t) sqrt(1 / (v t)) (1 for
// t <= 0.0001 s). Output traces in parallel on the pool; each sum in trace order.
GeneratedTraces KirchhoffMigrate(const GeneratedTraces& in, float velocityKmS, WorkerPool* pool = nullptr);

// Rows of the F-K transform across traces: 256, 512 or 1024; 0 above 1024 traces.
int MigrationFkRows(int traces);
inline constexpr int kStoltMaxTraces = 1024;
inline constexpr int kPhaseShiftMaxTraces = 512;

// The Stolt mapping of an F-K spectrum of rows x columns (row-major, columns = 2P) in place.
void StoltMapFk(std::vector<double>& re, std::vector<double>& im, int rows, int columns, double a, double df,
                double b);
// Time transform of the first P = PowerOfTwoLength(samples, 1) samples padded to 2P, transform
// across traces, the mapping, the way back; samples at the even positions. P samples out, the
// depth step 2 x interval (m for ms) in the interval word.
GeneratedTraces StoltMigration(const GeneratedTraces& in, float velocityKmS);

// The phase-shift operator and the work spectra, sized to the job: N rows by L/4 (operator),
// N by L/2 (spectrum), N (image row).
struct PhaseShiftArrays {
    int rows = 0;
    int length = 0;  // L
    std::vector<double> opRe, opIm;
    std::vector<double> re, im;
    std::vector<double> imageRe, imageIm;
};
void AllocPhaseShiftArrays(PhaseShiftArrays& a, int rows, int length);
void FreePhaseShiftArrays(PhaseShiftArrays& a);
// Gazdag's downward continuation of the first L/2 samples (L = PowerOfTwoLength(samples, 1)):
// L/4 depth samples at dz = v / 2 x dt. progress(i) before depth step i.
GeneratedTraces PhaseShiftMigration(const GeneratedTraces& in, float velocityKmS, PhaseShiftArrays& arrays,
                                    const std::function<void(int)>& progress = {});

// Claerbout's 15-degree continuation on two float64 planes; progress(n) before step n.
GeneratedTraces FifteenDegreeMigration(const GeneratedTraces& in, float velocityKmS,
                                       const std::function<void(int)>& progress = {});

// The post-stack reverse-time migration (dialog 191's values).
struct RtmSettings {
    int samples = 0;      // H, samples of the section used
    int nx = 0;           // NX, traces used
    int ny = 0;           // NY, rows before refinement
    float velocity = 3.0f;  // km/s
    float stopTimeMs = 5.0f;
    float dx = 1.0f;      // m
    int timeFactor = 1;   // F
    int spaceFactor = 1;  // S
    int interpolation = 1;
    int method = 1;       // 0 2nd order, 1 4th order, 2 pseudo spectral
};
enum class RtmRefusal { None, BadValues, Unstable, GridTooLarge, TooMuchMemory };
// r = (v / 2) dt' / h' and the scheme's two-dimensional limit.
double RtmCourantNumber(const RtmSettings& s, float intervalMs);
double RtmStabilityLimit(int method);
RtmRefusal CheckRtm(const RtmSettings& s, const GeneratedTraces& in);
// Output traces and samples of the migration (NX or NX S traces, NY S samples).
int RtmOutputTraces(const RtmSettings& s);
int RtmOutputSamples(const RtmSettings& s);
// progress(E, total) before each step.
GeneratedTraces ReverseTimeMigrate(const GeneratedTraces& in, const RtmSettings& s, WorkerPool* pool = nullptr,
                                   const std::function<void(int, int)>& progress = {});

// Diffraction stacking: the image area and method (dialog 176's values).
struct DiffractionStackSettings {
    float velocity = 3.0f;  // km/s
    float xFrom = 0.0f, xTo = 0.0f, xInterval = 0.5f;
    float yFrom = 0.0f, yTo = 50.0f, yInterval = 0.5f;
    int method = 0;  // 0 normal, 1 semblance, 2 semblance-weighted stacking
    float sourceX = 0.0f, sourceY = 0.0f;
    int traveltimeWeighting = 0;
};
inline constexpr int kStackMaxColumns = 309;
inline constexpr int kStackMaxRows = 310;
// The homogeneous image: columns x rows from the settings.
void StackImageSize(const DiffractionStackSettings& s, int& columns, int& rows);
GeneratedTraces DiffractionStackHomogeneous(const GeneratedTraces& in, const DiffractionStackSettings& s,
                                            WorkerPool* pool = nullptr);
// Over the model's grid (nx x nz, cell h) with the ray-traced times; `skipped` counts the
// receivers whose cell lies outside the model.
GeneratedTraces DiffractionStackModel(const GeneratedTraces& in, const VelocityModel& model,
                                      const DiffractionStackSettings& s, int& skipped, WorkerPool* pool = nullptr);

}  // namespace velk
