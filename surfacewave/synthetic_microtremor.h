#pragma once
// SyntheticMicrotremor: the working object of the synthetic microtremor-array records. Plane
// surface waves cross the receivers of an array from a direction, each with a random time
// offset, dispersed by a phase-velocity table (one velocity per frequency bin). It lives for one
// command; the records it makes are N samples long in buffers of the caller's.
//
// The source of a wave is a delta function, or N numbers of the text file
// "MicrotremorArrayData.dat" (white-space separated, read in turn by each wave; numbers the file
// does not have are 0). Without that file the "Waveform" source makes empty traces.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

class LogSink;

class SyntheticMicrotremor {
public:
    static constexpr int kSamples = 8192;         // N
    static constexpr float kInterval = 4.0f;      // ms
    static constexpr float kDefaultVelocity = 200.0f;  // m/s
    static constexpr const char* kSpectrumFile = "MicrotremorArrayData.dat";
    static constexpr int kDelta = 0;     // source choices
    static constexpr int kWaveform = 1;

    // The numbers of the source file (nullopt: there is none).
    explicit SyntheticMicrotremor(std::optional<std::string> sourceText = std::nullopt);
    // Reads `path` (at most 64 MiB) when it opens.
    static SyntheticMicrotremor FromFile(const std::string& path);
    // The numbers of a source file: white-space separated, C locale, up to the first text that
    // is not a number.
    static std::vector<float> ParseSourceNumbers(std::string_view text);

    // One plane wave over the first receiverCount receivers (bounded by the receivers, headers
    // and rows; rows need N columns): written into the rows (directionIndex 0) or added to them.
    // The wave travels along (-sin angle, cos angle) (x, y); with p(i) the receiver's position
    // along it and m the smallest, receiver i is delayed by u + (p(i) - m) / c(f), u = R x N x
    // interval / 32768 from one draw R of a generator seeded with `seed`. Headers i get trace
    // number i + 1, receiver i x 100, gain 10, component 1, interval x 1000 µs and N samples.
    // "mam.txt" gets "%d %f %f %f \n" (i, distance, df, distance / c(0)). Returns receiverCount
    // (0 when the "Waveform" source has no file: the traces are then empty).
    int Generate(std::span<const CTraceHeaderEx> receivers, std::span<CTraceHeader> headers, Matrix2D<float>& rows,
                 int receiverCount, float angle, int source, int directionIndex, uint32_t seed, LogSink& log);

    int samples = kSamples;
    float interval = kInterval;
    std::vector<float> phaseVelocity;  // N/2 + 1 bins, m/s

private:
    bool haveSource_ = false;
    std::vector<float> numbers_;
    size_t next_ = 0;
};

}  // namespace velk
