#pragma once
// The tau-p energy of a record: the slant stack of dialog 180 over the slownesses of a
// TauPSettings, each stacked row reduced to its energy.

#include <span>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

struct TauPSettings;

// The slownesses of the settings: CTauPTransformDlg::NumberOfP(start, end, step); 0 when the
// step is not above 0.
int TauPCount(const TauPSettings& settings);

// The value of slowness i: start + i x step (s/km, or km/s in velocity mode).
float TauPValue(const TauPSettings& settings, int i);

// Stacks traces 0..traceCount-1 of `rows` (positions from the receiver words, the reference
// from trace 0's source word, the interval from trace 0's word 7) with the settings' mode into
// a buffer of its own; the record itself is only read. energy[i] = the sum of the squares of
// stacked row i, divided by the largest (all stay 0 when the largest is 0); axis[i] = the value
// itself in velocity mode, else its reciprocal (km/s), 0 for a slowness of 0. Returns the
// number of slownesses (0, vectors empty, when the settings give none or the record has no
// trace or sample).
int TauPStackRecord(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int traceCount,
                    const TauPSettings& settings, std::vector<float>& energy, std::vector<float>& axis,
                    int velocityMode);

}  // namespace velk
