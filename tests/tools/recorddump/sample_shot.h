#pragma once
// The synthetic shot record of data/sample-shot.sg2: 24 receivers 5 m apart from 0 m, the shot
// 2.5 m before the first, 2000 samples at 0.25 ms. Each trace holds a direct wave (400 m/s), a
// head wave from a refractor 6 m deep (1800 m/s) whose first arrival overtakes the direct
// wave beyond about 15 m, slow ground roll (180 m/s), and noise from a fixed seed. Nothing
// depends on the machine's random devices, so a regeneration gives the same bytes.
//
// Regenerate: cmake --build build --target make_sample_shot &&
//             build/tests/tools/recorddump/make_sample_shot data/sample-shot.sg2

#include <string>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk::tools {

struct SampleShot {
    static constexpr int kTraces = 24;
    static constexpr int kSamples = 2000;
    static constexpr float kIntervalUs = 250.0f;
    Matrix2D<float> rows;
    std::vector<CTraceHeader> headers;
};

SampleShot MakeSampleShot();
// Writes the record with WriteSeg2File (float samples); false with the reason in *error.
bool WriteSampleShot(const std::string& path, std::string* error = nullptr);

}  // namespace velk::tools
