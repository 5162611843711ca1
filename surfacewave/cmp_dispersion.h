#pragma once
// Dispersion along a survey line from trace pairs of equal separation: the pair gather of one
// common midpoint (CMP), the curve of several separations at one CMP, and the curves of every
// CMP of the line. Everything works on the file group's trace table and on buffers of its
// own; nothing here touches the WaveformStore, so the commands decide what the store receives.
//
// Pairs: in every table row (one shot) the cells j and j + separation that both hold samples.
// The spectra of the cells are made once per run (CmpSpectra), at the power-of-two length of
// the record's samples at the resolution, and kept per shot within a memory budget; shots
// beyond it are transformed again where they are used.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "base/trace_header.h"

namespace velk {

class CFileGroup;

enum CmpMethod : int {
    kCmpPhaseDifference = 0,
    kCmpCrossCorrelation = 1,
    kCmpCoherence = 2,
};

// The spectra of every cell of the table that holds samples: L = ResolutionFftLength(samples,
// resolution), samples the largest header sample count of the cells; forward transform,
// scaled 1/L. Bins 0 .. L/2 are kept in single precision (the others follow from them, the
// samples being real). Rows (shots) are kept from the first while their sum stays within
// budgetBytes; the others are transformed again at each use.
class CmpSpectra {
public:
    static constexpr size_t kDefaultBudget = size_t{512} << 20;

    CmpSpectra(const CFileGroup& group, int resolution, size_t budgetBytes = kDefaultBudget, int threads = 0);

    int Length() const { return length_; }
    int Samples() const { return samples_; }
    double IntervalMs() const { return intervalMs_; }
    int CachedRows() const { return cachedRows_; }

    // Bins 0 .. Length()/2 of the spectrum of cell (s, r): from the kept row, or transformed
    // now. False when the cell holds no samples.
    bool Get(int s, int r, std::vector<double>& re, std::vector<double>& im) const;

private:
    bool Transform(int s, int r, std::vector<double>& re, std::vector<double>& im) const;

    const CFileGroup& group_;
    int length_ = 0;
    int samples_ = 0;
    double intervalMs_ = 0.0;
    int cachedRows_ = 0;
    // Kept rows: kept_[s][r] holds bins 0 .. L/2 of cell (s, r) as (re, im) pairs; empty for a
    // cell without samples or a row beyond the budget.
    std::vector<std::vector<std::vector<float>>> kept_;
};

// The sample intervals of the files whose traces the group's table holds: one line per file,
// "name: interval ms", in list order, when the files do not all share one interval; empty
// when they do. Spectra of pairs and CMP gathers assume one interval for the whole group.
std::vector<std::string> MixedIntervalFiles(const CFileGroup& group);

// The selection of pairs of one CMP and separation.
struct CmpPairOptions {
    int method = kCmpCrossCorrelation;
    double bin = 4.0;                 // m
    double minimumOffset = 0.0;       // the call's offset range, |source - receiver| (m)
    double maximumOffset = 1.0e7;
    double pairMinimumOffset = 1.5;   // the signed offsets of both exceed it in size
    bool keepPairTraces = false;      // one trace per pair for a written gather
};

struct CmpPairGatherResult {
    int pairs = 0;
    double distance = 0.0;  // the mean receiver distance of the pairs (m)
    double df = 0.0;        // Hz per bin, 1000 / (L x dt)
    int bins = 0;           // n: L / 8, at most 256
    // Bins 1 .. n-1: phase[k - 1] is the mean phase of bin k (frequency k x df).
    std::vector<float> phase;
    // Methods 1 and 2: the mean of the normalised pair traces (L lags, or the coherence of the
    // first `samples` bins).
    std::vector<float> meanTrace;
    std::vector<std::vector<float>> pairTraces;  // with keepPairTraces
};

// Progress lines of the pair selection ("CMP=%f Separation=%d distance=%f offset=%f").
using CmpProgress = std::function<void(const std::string&)>;

// The pairs of `separation` columns whose receiver midpoint lies within bin / 2 + 0.01 m of
// `cmp`, both offsets within the call's range and beyond the pair minimum on the same side of
// the source. The nearer trace is taken first. Method 0: the mean over the pairs of the phase
// of the cross spectrum. Method 1: per pair the cross-correlation divided by its largest value
// (a pair whose largest value is not above 0 adds zeros); the phase is that of the mean
// trace's spectrum. Method 2: per pair the coherence divided by its largest value, averaged;
// the phase is taken from the mean trace's spectrum as for method 1.
CmpPairGatherResult CmpPairGather(const CFileGroup& group, const CmpSpectra& spectra, double cmp, int separation,
                                  const CmpPairOptions& options, const CmpProgress& progress = {});

struct CmpCurvePoint {
    float frequency = 0.0f;  // Hz
    float velocity = 0.0f;   // m/s
};

struct CmpSeparationGather {
    int separation = 0;
    CmpPairGatherResult gather;
};

struct MultiSeparationResult {
    std::vector<CmpCurvePoint> points;
    std::vector<CmpSeparationGather> kept;  // separations with pairs, in order
    std::string log;                        // the lines of "multi_separation.txt"
};

// The curve of one CMP from separations s1..s2 (at most the table's receivers - 1): per bin i (frequency f) the kept separations
// in order, each dropped from this bin on once 2 dk f > 0.9 |2 pi f dk / phi_k| above 5 Hz;
// the others add phi_k x d0 / dk. A point (f, |2 pi d0 f / mean|) when a separation remains
// and the mean is not 0.
MultiSeparationResult MultiSeparationCurve(const CFileGroup& group, const CmpSpectra& spectra, double cmp, int s1,
                                           int s2, const CmpPairOptions& options, const CmpProgress& progress = {});

// The CMP positions of a line: from `first` by `bin` while not past `last` (m); none for a bin
// not above 0.
std::vector<double> CmpPositions(double first, double last, double bin);

struct CmpLineCurve {
    double cmp = 0.0;
    std::vector<CmpCurvePoint> points;  // velocity > 0, minimum <= f <= maximum, at most 256
    std::vector<float> trace;           // the first kept separation's mean trace
    int separation = 0;
};

// MultiSeparationCurve at each position, in parallel; slot i holds position i's curve (empty
// points when the CMP has none). The same for every thread count.
std::vector<CmpLineCurve> CmpLineCurves(const CFileGroup& group, const CmpSpectra& spectra,
                                        const std::vector<double>& positions, int s1, int s2,
                                        const CmpPairOptions& options, float minimumFrequency,
                                        float maximumFrequency, int threads = 0);

// The header of a written pair trace (index i) and of a mean trace at `cmp`: gain 10,
// component 1, delay 0.
CTraceHeader CmpPairTraceHeader(double cmp, int index, int samples, float intervalUs);
CTraceHeader CmpMeanTraceHeader(double cmp, int samples, float intervalUs);

}  // namespace velk
