#pragma once
// Steps that the 8-header and instrument-file commands share: leaving the record on show (its
// picks go to the traveltime set while picking is on), the snapshot and commit of what a
// road read, what the document stands for afterwards, and the scaled copies the instrument
// saves write instead of scaling the store.

#include <algorithm>
#include <cmath>
#include <string>

#include "base/matrix2d.h"
#include "base/waveform_store.h"

#include "formats/seg2.h"

namespace velk {

class LoadTarget;
class Workspace;
struct CommandContext;

// The picks of the record being left go to the traveltime set when picking is on
// (BeforeRecordReplaced). Returns the trace count loaded.
int LeaveRecordForOpen(Workspace& ws);

// The step before a record is replaced (BeforeRecordReplaced), the undo snapshot (when traces
// are loaded) and the commit of traces 0 .. count-1 of the target into the store at its start
// index. Taken only when the road goes on, so a cancelled
// or failed open leaves the undo levels as they were.
void CommitReadRecord(Workspace& ws, const LoadTarget& target, int count, bool copyHeaders);

// The document now stands for `path` in format `code`: Save writes there.
void AdoptReadFile(CommandContext& ctx, const std::string& path, int code);
// The record came from a file the document must not write back over in another layout (a
// logger's raw file, a text form): the document becomes untitled with `code`, so Save asks for
// a name; the current file name is still the file's.
void AdoptUntitled(CommandContext& ctx, const std::string& path, int code);

// What the SEG-2, SEG-1, SEG-Y and GPR open roads do once traces 0 .. count-1 are committed:
// display factors 1, traces sorted by receiver, peaks, time-domain waveform record, receiver
// range and units, the whole record shown, then AfterRecordReplaced (the document already
// names the file read). `image` (read from the file): the record is that coherence image
// instead, with its exact step, its bins up to the Nyquist frequency and its SPAC dimension.
void FinishOpenRoad(CommandContext& ctx, int count, bool append, const Seg2Image* image = nullptr);

// What every SEG-2 save of the record writes beside the traces: a coherence image on show is
// written as one (present), anything else as waveforms.
Seg2Image RecordSeg2Image(const Workspace& ws);

// The largest |sample| of the loaded traces (over each trace's own count).
float LoadedPeak(const WaveformStore& store);

// A copy of rows 0 .. count-1, each sample x factor(i) over the trace's own count and 0 beyond
// it; a factor that is not finite (a peak of 0) gives zeros. The store is not touched.
template <class Factor>
Matrix2D<float> ScaledCopy(const WaveformStore& store, int count, Factor factor)
{
    const int n = std::max(count, 1);
    Matrix2D<float> copy(0, n - 1, 0, std::max(store.RowLength(), 1) - 1);
    for (int i = 0; i < count; ++i) {
        const double f = factor(i);
        if (!std::isfinite(f)) continue;
        const int samples = store.TraceSamples(i);
        for (int k = 0; k < samples; ++k) copy[i][k] = static_cast<float>(store.current.rows[i][k] * f);
    }
    return copy;
}

}  // namespace velk
