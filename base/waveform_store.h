#pragma once
// WaveformStore: the one body of trace data every command works on. A current data set and two
// undo levels (level 1 the newer), each with a sample matrix, a matrix of imaginary parts, a
// header array, a parameter set, and the data kind it holds; the extended headers and the
// per-trace store arrays; the undo bookkeeping.
//
// Invariants, kept by every operation here:
//   - capacities MaxTraces() and MaxSample() are fixed between allocations;
//   - each sample row is RowLength() floats: the power of two at or above MaxSample() + 1, so
//     in-place transforms of a full row fit (the extra length is workspace, not capacity);
//   - copies inside the store clamp trace counts to MaxTraces() and each trace's sample count
//     to [0, RowLength()], and touch nothing of a row beyond that trace's own count;
//   - every per-trace array holds MaxTraces() entries, every per-sample array RowLength().

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/matrix2d.h"
#include "base/parameter_set.h"
#include "base/trace_header.h"

namespace velk {

// Data kinds: what the samples of a data set are.
enum DataKind : int {
    kTimeDomain = 0,
    kRealSpectrum = 1,       // real-valued spectrum
    kComplexShowReal = 2,    // complex frequency-domain data, showing the real part
    kComplexShowImag = 3,    // the same, showing the imaginary part
};
inline bool IsComplexKind(int kind) { return kind == kComplexShowReal || kind == kComplexShowImag; }

// The smallest power of two at or above maxSample + 1 (at least 8); 0 when it would not fit
// an int column bound (maxSample above 2^30 - 1) or maxSample is negative.
int StoreRowLength(int maxSample);

// One data set: the current record or one undo level.
struct DataSet {
    Matrix2D<float> rows;    // rows 0..MaxTraces(), columns 0..RowLength()-1
    Matrix2D<float> imag;    // same shape; meaningful while dataKind is 2 or 3
    std::vector<float> imagMaxima;  // MaxTraces() peaks |imag| per trace (complex data)
    float imagMaximum = 0.0f;       // the largest of them
    std::vector<CTraceHeader> headers;  // MaxTraces() records
    CParameterSet params;
    int dataKind = kTimeDomain;
    int transformFlag = 0;   // complex data from the FFT (0) or the DFT (1)
};

class WaveformStore {
public:
    static constexpr int kDefaultMaxTraces = 128;
    static constexpr int kDefaultMaxSample = 4100;
    static constexpr int kUndoLevels = 2;

    WaveformStore() = default;
    WaveformStore(const WaveformStore&) = delete;
    WaveformStore& operator=(const WaveformStore&) = delete;

    // Capacities used by the next allocation (and reported by the accessors until then).
    // Values below 1 are taken as 1.
    void SetCapacity(int maxTraces, int maxSample);
    int MaxTraces() const { return maxTraces_; }
    int MaxSample() const { return maxSample_; }
    int RowLength() const { return StoreRowLength(maxSample_); }

    // The bytes an allocation at these capacities takes (matrices, scratch, per-trace and
    // per-sample arrays); 0 when the count overflows or a value is out of range. Checks only.
    static size_t RequiredBytes(int maxTraces, int maxSample);
    // The largest MAX_SAMPLE: the longest transform length of the Fourier commands.
    static constexpr int kMaxSampleLimit = 262144;
    // Refusal text for capacities that cannot be allocated here (below 1, more samples than
    // kMaxSampleLimit, overflowing, or more than the machine's memory), or empty when they
    // look possible.
    static std::string CheckCapacity(int maxTraces, int maxSample);

    // Allocate of the three parameter sets for MaxTraces() (pick times 0.0, layer codes 1).
    // Returns MaxTraces().
    int AllocateParameterSets();

    // The three sample matrices and their imaginary twins, the three header arrays (default
    // records), the extended headers, the per-trace and per-sample arrays and the undo scratch,
    // all at the current capacities. False (store unchanged, reason in *error) when the memory
    // is not there.
    bool AllocateWaveformStore(std::string* error = nullptr);
    // Releases what AllocateWaveformStore made; the parameter sets keep their arrays.
    void FreeWaveformStore();
    bool IsAllocated() const { return !current.rows.Empty(); }

    // Dimension size: validates, builds a complete new store (matrices, sets, per-trace arrays)
    // at the new capacities and only then replaces the old one. The new record is empty (trace
    // count 0, samples per trace 0, undo depth 0); the sets keep their scalars (scales, axis
    // kinds). False with *error and nothing changed when the values are refused or the memory
    // is not there.
    bool Resize(int maxTraces, int maxSample, std::string* error = nullptr);

    // Current record shortcuts.
    CParameterSet& Params() { return current.params; }
    const CParameterSet& Params() const { return current.params; }
    // Current trace count clamped to [0, MaxTraces()].
    int TraceCount() const;
    // Header word 8 of trace i clamped to [0, RowLength()] (0 outside the trace range).
    int TraceSamples(int i) const;
    int& dataKind() { return current.dataKind; }
    int dataKind() const { return current.dataKind; }
    int& transformFlag() { return current.transformFlag; }
    // The dispersion flag: the current parameter set's record kind (0 waveform record,
    // 1 dispersion image, 2 coherence image), so that undo carries it with the record.
    int DispersionFlag() const { return current.params.recordKind; }

    // Per-trace maxima of the current record and the record maximum (0.0 with no traces).
    void ComputeTraceMaxima();
    // The same over the imaginary rows, into current.imagMaxima and current.imagMaximum.
    void ComputeImagMaxima();

    // Snapshot before an operation changes the data; returns the new depth, at most 2.
    // Clears the undone flag (nothing is left to redo). Returns 0 (nothing done) when the
    // store is not allocated.
    int PushUndo();
    // The undo step: current <- level 1, level 1 <- level 2 (depth above 1), level 2 <- the
    // state that was current. Restores the snapshot's data kind and transform flag. Sets the
    // undone flag. False (nothing done) when the depth is 0 or the store is not allocated.
    bool RestoreUndo();
    // Redo: the state the last undo replaced (level 2) becomes current again, and the state
    // it replaces is pushed as an undo level, so that Undo after Redo returns to it. Clears
    // the undone flag. False (nothing done) unless an undo came last (undone 1).
    bool Redo();
    // Words 1-8 of each current header (trace count of them, at most out.size()).
    void CopyTraceHeaders(std::span<CTraceHeader> out) const;

    // Copies one data set into another the way undo does: the parameter set (CopyTo), then per
    // trace below the source's trace count its header and its own n samples, and its imaginary
    // samples when the source's kind is complex; the data kind and transform flag. Returns 0
    // when the source set has no arrays (nothing copied), else 1.
    int CopyDataSet(const DataSet& from, DataSet& to) const;

    // The current record and the undo levels.
    DataSet current;
    DataSet level1;
    DataSet level2;

    // Not part of undo.
    std::vector<CTraceHeaderEx> headersEx;  // MaxTraces()
    std::vector<float> displayFactor;       // per-trace display factor, 1.0
    std::vector<int32_t> mark;              // per-trace mark, 0
    std::vector<float> pickAmplitude;       // per-trace pick amplitude, 0.0
    std::vector<float> timeShift;           // per-trace time-shift value (ms), 0.0
    int loadCounter = 0;       // raised after each newly loaded record

    // Undo bookkeeping.
    int undoDepth = 0;   // snapshots pushed and not yet restored, 0..2
    int undone = 0;      // 1 after an undo, until a redo, a new push or a new view clears it
    uint64_t pushCount = 0;  // PushUndo calls so far: tells a holder of a snapshot whether
                             // another command has pushed since

private:
    struct Body;  // everything that depends on the capacities
    bool BuildBody(int maxTraces, int maxSample, Body& body, std::string* error) const;
    void TakeBody(Body& body);

    int maxTraces_ = kDefaultMaxTraces;
    int maxSample_ = kDefaultMaxSample;
    DataSet scratch_;  // the undo step's temporary, allocated with the store
};

}  // namespace velk
