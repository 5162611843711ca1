#pragma once
// The phase velocity-frequency transformation without the store: a record (rows, headers,
// interval) and the settings go in, a finished dispersion image (values, headers, axis step)
// comes out. The phase-shift method stacks each trace's spectrum along trial velocities; the
// SPAC method fits the one- or two-dimensional SPAC model to coherence rows. The callers put
// the image into the store (after their undo snapshot) or use it on a scratch record.
//
// Image layouts:
//   frequency traces (y-axis 1, and always for SPAC): trace k = frequency k x decimation x df,
//     receiver word = trunc(df x k x decimation x 100 + 0.5); sample j = velocity j x interval
//     (from 0, j < trunc(end / interval + 1e-4)); the samples below the start velocity are 0;
//     header interval = velocity interval x 1e6, so the store's interval reads in m/s.
//   velocity traces (y-axis 0, phase shift only): trace j = velocity (start + j x interval),
//     receiver word = trunc(velocity km/s x 100000), j < trunc((end - start) / interval + 1e-4);
//     sample k = frequency bin k; header interval = dfm; store interval = df (Hz).
// Here df = 1000 / (nfft x interval ms) Hz and dfm = trunc(df x 1000). The header word dfm is
// kept as stored files have it; labels, axes and model frequencies use the exact df, which the
// store's interval carries beside it. Frequency rows start at 0 Hz; the start frequency only
// shortens the span: F = trunc((end - start) / df) + 1 rows.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"
#include "surfacewave/contour_settings.h"

namespace velk {

// A record handed to the transformation. `headers` may be longer than traceCount (a store's
// whole header array): image traces beyond the record take their kept words from it.
struct SurfaceWaveRecord {
    const Matrix2D<float>& rows;
    std::span<const CTraceHeader> headers;
    int traceCount = 0;
    int samples = 0;         // per trace
    float intervalMs = 0.0f; // the record's sample interval
};

// Why no image was made.
enum class ImageRefusal {
    None,
    NoUsedTrace,     // the offset range or the trace skip excludes every trace
    TooManyTraces,   // more image traces than the capacity
    TooManySamples,  // more image samples than the capacity
    BadAxis,         // an interval, a frequency step or an end value that gives no grid
    NoSamples,       // the record's traces hold no sample
};

struct ImageCapacity {
    int maxTraces = 128;
    int maxSamples = 4100;
};

struct PhaseVelocityImage {
    int traceCount = 0;
    int samples = 0;
    std::vector<float> values;           // traceCount x samples, trace by trace
    std::vector<CTraceHeader> headers;   // traceCount
    std::vector<float> traceMaxima;      // |value| per trace
    float maximum = 0.0f;                // the largest of them
    float storeInterval = 0.0f;          // the store's sample interval (m/s or Hz per sample)
    int nfft = 0;
    double df = 0.0;                     // Hz
    int decimation = 1;
    int usedTraces = 0;                  // phase shift: traces stacked
    ImageRefusal refusal = ImageRefusal::None;
    // The largest image trace count and sample count the settings asked for (for messages).
    int wantedTraces = 0;
    int wantedSamples = 0;

    std::span<float> Row(int k) { return {values.data() + static_cast<size_t>(k) * samples, static_cast<size_t>(samples)}; }
    std::span<const float> Row(int k) const
    {
        return {values.data() + static_cast<size_t>(k) * samples, static_cast<size_t>(samples)};
    }
};

// Progress lines of the transformation (" Calculating Fourier spectrum : trace = %d %d").
using TransformProgress = std::function<void(const std::string&)>;

// Smallest and largest non-zero receiver distance: minimum = |receiver(1) - receiver(0)|,
// maximum = |receiver(last) - receiver(0)| (m), then every ordered pair of the traces
// 0 .. traceCount-2 with a distance above 0 widens them. One trace gives 0 and 0.
void ReceiverSpacingRange(int traceCount, std::span<const CTraceHeader> headers, CContourSettings& settings);
// A shot record whose source lies strictly between its first and last receivers is stacked by
// the offsets on each side of the source (see PhaseShiftImage): its largest spacing is then the
// largest offset from the source, not the whole spread. Any other record keeps the settings.
void InsideSourceSpacingRange(int traceCount, std::span<const CTraceHeader> headers, CContourSettings& settings);
// The source (m) of a shot record when it lies strictly between the record's smallest and
// largest receiver positions; none for a source at or beyond an end, or fewer than two traces.
std::optional<double> SourceInsideSpread(int traceCount, std::span<const CTraceHeader> headers);

// The spacing range of a coherence image, whose receiver words hold its rows' separations: the
// smallest and the largest separation above 0 (m); none gives 0 and 0.
void SeparationRange(int traceCount, std::span<const CTraceHeader> headers, CContourSettings& settings);

// The automatic direction. In the guided mode of survey type 3: 0 when the first trace's
// source word is below the integer mean of the first and last receiver words (halved toward
// zero), else 1. Otherwise 0 when the peak of the first trace exceeds the peak of the last but
// one, else 1 (equal peaks 1). A record of fewer than two traces gives 0.
int AutomaticDirection(bool guidedType3, int traceCount, std::span<const CTraceHeader> headers,
                       std::span<const float> peaks);

// The direction of a shot record from its geometry: 1 (backward) when the first trace's source
// lies nearer the last trace's receiver than the first trace's (a source on the far receiver or
// beyond it), else 0 (a source in the middle of the spread too). No trace gives 0.
int ShotDirection(std::span<const CTraceHeader> headers);

// The exact frequency step (Hz) of an image whose header carries trunc(df x 1000): the store's
// interval when that word was made from it, else the word x 0.001.
double ExactFrequencyStep(float headerWord, float storeInterval);

// True when both ranges of the settings can make an image: the end velocity above the start
// velocity and the end frequency above the start frequency, all finite. A reversed or empty
// range is refused (BadAxis) by both image makers before anything is computed.
bool HasImageRanges(const CContourSettings& settings);

// The frequency rows and the decimation: F = trunc((end - start) / df) + 1 (limited to nfft);
// decimation 1, or with frequency traces 2 when F exceeds maxTraces, doubled while F / D still
// does, at most 64.
int FrequencyRows(const CContourSettings& settings, double df, int nfft);
int FrequencyDecimation(int rows, int maxTraces);
// Velocity samples of the frequency-trace layout, trunc(end / interval + 1e-4), and the first
// computed one, the first at or above the start velocity.
int VelocityColumns(const CContourSettings& settings);
int FirstVelocityColumn(const CContourSettings& settings);
// Velocity traces of the velocity-trace layout: trunc((end - start) / interval + 1e-4).
int VelocityTraces(const CContourSettings& settings);

// The phase-shift image: the used traces (index a multiple of the trace skip, offset
// |receiver - source| (mode 0) or receiver (mode 1) within the offset range) divided by their
// peaks, padded to nfft = ResolutionFftLength(samples, resolution) and transformed; their bins
// 0 .. F-1 are stacked by PhaseShiftStack. The grid is checked against the capacity before
// anything is computed. A shot record (mode 0) whose source lies strictly between its first
// and last used receivers is stacked by the offsets from the source on both sides; a source at
// or beyond an end keeps the direction of the settings. Returns nfft, or 0 with image.refusal
// set.
int PhaseShiftImage(const SurfaceWaveRecord& record, const CContourSettings& settings, ImageCapacity capacity,
                    PhaseVelocityImage& image, const TransformProgress& progress = {});

// The stack of one image: spectra (usedTraces x bins, real and imaginary parts), positions of
// the used traces (m). For each velocity v (0 becomes 0.1 m/s) and frequency row k (bin
// b = k x decimation): S = sum over the traces in order of U(b) (U / |U| with normalisation,
// 0 for |U| = 0) x e^(i 2 pi b df tau), tau = |x| / v with x = position(q) - position(0)
// (forward) or position(last) - position(q) (backward); the cell is |S| / usedTraces. Writes
// image.values in the layout of the settings. `threads` above 0 fixes the thread count (the
// result is the same for every count). With `source` (m) the distances are |position(q) -
// source| whatever the direction: a shot inside its spread sends its waves out to both sides.
void PhaseShiftStack(std::span<const double> spectraRe, std::span<const double> spectraIm, int bins,
                     std::span<const double> positions, const CContourSettings& settings, PhaseVelocityImage& image,
                     int threads = 0, std::optional<double> source = std::nullopt);

// The SPAC image: coherence rows from SpacSpectra over the record (or, when the record is
// already a dispersion or coherence image, its own rows with df = ExactFrequencyStep of the
// first header's interval and the record's interval), B = trunc((end - start) / df) rows decimated as above and always, image traces
// min(B / D, maxTraces); cell (k, j) = SpacCellValue at bin k x D, frequency k x D x df and
// the column's velocity. Returns the number of velocity samples, or 0 with image.refusal.
int SpacImage(const SurfaceWaveRecord& record, bool recordIsImage, const CContourSettings& settings,
              ImageCapacity capacity, PhaseVelocityImage& image);

// Each image trace's peak |value| and the largest of all; with `normalise` and a peak above 0,
// every value divided by the largest (maxima too).
void ImageMaxima(PhaseVelocityImage& image, bool normalise);

}  // namespace velk
