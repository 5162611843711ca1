#pragma once
// Shots of a refraction line made by the simulated seismograph and written as SEG-2 files by
// our writer: 24 receivers, time zero at the first sample, so the truth of every record is the
// simulator's ground (direct wave at v1, head wave at v2 beyond the crossover).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "acquisition/instrument/simulated_seismograph.h"
#include "base/matrix2d.h"
#include "base/trace_header.h"
#include "formats/seg2.h"
#include "platform/clock.h"

namespace velk::testing {

struct SimulatedLine {
    SimulatorConfig config = [] {
        SimulatorConfig c;
        c.v1 = 400.0;
        c.v2 = 1600.0;
        c.thickness = 4.0;
        c.surfaceWave = false;
        c.noiseLevel = 0.0005;
        return c;
    }();
    int receivers = 24;
    float firstReceiver = 0.0f;  // m
    float spacing = 2.0f;        // m
    int samples = 1000;
    float intervalUs = 125.0f;

    float Receiver(int i) const { return firstReceiver + spacing * static_cast<float>(i); }

    // Shot `k` with its source at `source` m into `path`; false when the writer failed.
    bool WriteShot(const std::string& path, float source, uint64_t k) const
    {
        ManualClock clock;
        SimulatedSeismograph instrument(config, clock);
        std::array<float, kInstrumentRows> positions{};
        for (int i = 0; i < kInstrumentRows; ++i) positions[static_cast<size_t>(i)] = Receiver(i);
        instrument.SetSpreadHint(source, positions);
        const std::vector<std::vector<double>> made = instrument.MakeRecord(k, samples, intervalUs, 0);
        Matrix2D<float> rows(0, receivers - 1, 0, samples - 1);
        std::vector<CTraceHeader> headers(static_cast<size_t>(receivers));
        for (int i = 0; i < receivers; ++i) {
            headers[static_cast<size_t>(i)].Set(i + 1, static_cast<int32_t>(Receiver(i) * 100.0f),
                                                static_cast<int32_t>(source * 100.0f), 1, 1, 0.0f, intervalUs, samples);
            for (int j = 0; j < samples; ++j) {
                rows[i][j] = static_cast<float>(made[static_cast<size_t>(i)][static_cast<size_t>(j)]);
            }
        }
        return static_cast<bool>(WriteSeg2File(path, rows, headers, receivers, 4, 1.0f));
    }
};

}  // namespace velk::testing
