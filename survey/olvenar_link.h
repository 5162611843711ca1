#pragma once
// COlvenarLink: the link to the data viewer Olvenar. It holds the viewer's path, read from the
// profile (key "Olvenar", section "general") when the link is made and written back when it is
// released, and the shared block "MyData" that the viewer reads, in one of four layouts that
// the layout word of the viewer's command line names:
//
//   A "1024"                one curve of at most 1024 points              PutCurve
//   B "8192"                one curve of at most 8192 points              PutSpectrum
//   C "8192ThreeComponents" up to three channels of 8192 points           BeginChannels, PutChannel
//   D "MATRIX"              up to 50 traces of 1024 samples               PutMatrix
//
// The block is mapped once, at the first Put, at the size of the largest layout, and reused:
// the layouts overlap, and a Put writes only the bytes its layout names (labels whole, values
// only as many as it has). Everything is little-endian int32 and IEEE float32; labels are
// UTF-8, cut to 79 bytes on a character boundary, NUL-terminated in 80-byte fields.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "base/matrix2d.h"
#include "base/trace_header.h"
#include "survey/shared_memory.h"

namespace velk {

class Profile;
struct LaunchServices;

class COlvenarLink {
public:
    static constexpr const char* kKey = "Olvenar";
    static constexpr const char* kSection = "general";
    static constexpr const char* kBlockName = "MyData";
    static constexpr int kCurvePoints = 1024;    // layout A
    static constexpr int kMaxPoints = 8192;      // layouts B and C, per curve or channel
    static constexpr int kMaxChannels = 3;
    static constexpr int kMatrixTraces = 50;     // layout D
    static constexpr int kMatrixSamples = 1024;
    static constexpr size_t kLabelLength = 79;   // bytes of a label (80 with the terminator)
    static constexpr size_t kBlockSize = 209104; // the largest layout, D

    // Path := the profile's value, default the executable beside ours.
    explicit COlvenarLink(const Profile& profile);
    // Writes the path back under "Olvenar" and closes the block. Returns the profile's result.
    bool Release(Profile& profile);

    // Each Put returns false when the block could not be made (Launch then says so).
    // Layout A: count (clamped to 0..1024) points of x and y, the two labels.
    bool PutCurve(int count, const float* x, const float* y, const std::string& label1, const std::string& label2);
    // Layout B: the same with up to 8192 points.
    bool PutSpectrum(int count, const float* x, const float* y, const std::string& label1, const std::string& label2);
    // Layout C: the labels, no channel yet.
    bool BeginChannels(const std::string& label1, const std::string& label2);
    // Channel 0..2 after BeginChannels (anything else changes nothing): the caller's value,
    // count (clamped to 0..8192) points; the channel number goes up by one (at most 3).
    bool PutChannel(int channel, int value, int count, const float* x, const float* y);
    // Layout D: traces 0..min(traceCount, 50)-1, the first min(samples of trace 1, 1024) samples
    // of each, the positions (receiver word / 100 in integers, in m) and the sample times (ms):
    // j x stepUs x 0.001, stepUs 0 taking the first header's interval word.
    bool PutMatrix(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int traceCount,
                   double stepUs = 0.0);

    // Starts the viewer with " -Velkarine -<kind> -<layout>" by the launch pattern. 0 without a
    // start: the block could not be made ("Cannot create the shared memory block %s."), or the
    // user cancelled the picker.
    int Launch(const std::string& kind, const std::string& layout, const LaunchServices& services);

    // The mapped block (null before the first Put).
    const uint8_t* Block() const { return memory_.Address(); }

    std::string path;
    int channelsBegun = 0;

private:
    uint8_t* Map();

    CSharedMemory memory_;
    int channelCount_ = 0;  // channels put since BeginChannels
    std::string error_;  // why the block could not be made
};

// The message of a block that cannot be made.
std::string SharedBlockFailureText(int language, const std::string& name);

}  // namespace velk
