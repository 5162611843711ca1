#pragma once
// CParameterSet: the per-record scalars and per-trace arrays of one data set. The waveform
// store holds three of them: the current record and the two undo levels.

#include <cstdint>
#include <string>
#include <vector>

namespace velk {

class UiHost;

// How the traces of a record stand to the shots of the traveltime set: where its picks are
// merged and where stored picks are found for it.
enum PickShape : int {
    kPicksOfOneShot = 0,  // a shot record: every trace belongs to the record's source position
    kPicksSwapped = 1,    // a common-receiver gather: each trace's own source in its receiver word,
                          // the common receiver in its source word
    kPicksPerTrace = 2,   // traces of several shots, each with its own source and receiver words
    kPicksOfNoShot = 3,   // traces that stand for no shot (stacks, spacing gathers): picks made on
                          // them are not merged and none are found for them
};

class CParameterSet {
public:
    static constexpr const char* kCannotCopy = "Cannot copy parameter object !";

    // Trace count 0, hscale 1.0, vscale 0.01, plotscale 20.0; no arrays.
    CParameterSet() = default;

    // Capacity n, owns-arrays 1, four arrays of n entries: trace maxima 0.0, pick times 0.0,
    // layer codes 1, selection flags 0; record kind 0 and window start time 0. Returns n, or
    // 0 (nothing changed) when n <= 0.
    int Allocate(int n);

    // Copies the scalars (trace count .. record maximum, record kind, window start time, pick shape) and
    // entries 0..count-1 of the trace maxima, pick times and layer codes. Selection flags,
    // capacity and owns-arrays are not copied. A source without arrays copies nothing and
    // returns 0 (the caller shows kCannotCopy); otherwise 1. Both sets must have the same
    // capacity (asserted); the entry copy is bounded by the smaller capacity regardless.
    int CopyTo(CParameterSet& destination) const;

    // The scalar part of CopyTo alone (no arrays, no capacity check).
    void CopyScalarsTo(CParameterSet& destination) const;

    // Selection flags 0..count-1 := 0.
    void ClearFlags();
    // 1 when any of the entries 0..count-1 is selected, else 0.
    int AnyFlagSet() const;

    // The trace count clamped to [0, capacity]: the number of entries every loop may touch.
    int CountInCapacity() const;

    // Fields in their order. 1-2: bookkeeping.
    int ownsArrays = 0;
    int capacity = 0;
    // 3-16: scalars of the record and the display window.
    int traceCount = 0;
    int tracesShown = 0;
    int samplesPerTrace = 0;
    int samplesShown = 0;
    float sampleInterval = 0.0f;   // ms
    float shownTime = 0.0f;        // ms
    float timeAxisStart = 0.0f;    // ms
    float hscale = 1.0f;
    float vscale = 0.01f;
    float plotscale = 20.0f;
    int normalisation = 0;         // 1 by the whole record, 0 each trace by itself
    int verticalAxisKind = 1;      // 1 distance, -1 depth
    int horizontalAxisKind = 1;    // 1 time, -1 depth
    float recordMaximum = 0.0f;
    // 17-20: per-trace arrays (capacity entries once allocated).
    std::vector<float> traceMaxima;
    std::vector<float> pickTimes;     // ms
    std::vector<int32_t> layerCodes;
    std::vector<int32_t> selectionFlags;
    // 21-22.
    int recordKind = 0;            // 0 waveforms, 1 dispersion curves, 2 coherence
    float windowStartTime = 0.0f;  // ms
    // How the picks travel (PickShape); undo carries it with the record.
    int pickShape = kPicksOfOneShot;
};

// CopyTo, showing CParameterSet::kCannotCopy (in the language) when the source has no arrays.
int CopyParameterSet(const CParameterSet& from, CParameterSet& to, UiHost& ui, int language);

}  // namespace velk
