#pragma once
// The record the drawing benchmarks paint: a workspace with the given capacities holding
// `traces` x `samples` at 0.25 ms, receivers 1 m apart, each trace a Gaussian-windowed cosine
// arriving later with distance (1500 m/s) plus unit noise from a fixed seed.

#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "platform/profile.h"
#include "platform/uihost.h"

namespace velk {

struct SyntheticRecord {
    NullUiHost ui;
    std::unique_ptr<Profile> profile;
    std::unique_ptr<Workspace> ws;

    // sharpness: the Gaussian's factor (larger gives a shorter pulse).
    SyntheticRecord(int traces, int samples, double sharpness)
    {
        profile = std::make_unique<Profile>(Profile::FromText("[General]\nMAXTRACES=" + std::to_string(traces) +
                                                              "\nMAX_SAMPLE=" + std::to_string(samples) + "\n"));
        ws = std::make_unique<Workspace>(*profile, ui);
        ws->startup.language = -1;
        ws->InitForView();
        WaveformStore& s = ws->store;
        std::mt19937 random(5);
        std::normal_distribution<float> noise(0.0f, 1.0f);
        s.Params().traceCount = traces;
        for (int i = 0; i < traces; ++i) {
            CTraceHeader& h = s.current.headers[static_cast<size_t>(i)];
            h.traceNumber = i + 1;
            h.receiverHundredths = i * 100;
            h.intervalUs = 250.0f;
            h.samples = samples;
            h.component = 1;
            for (int j = 0; j < samples; ++j) {
                const double t = j * 0.00025 - 0.05 - i / 1500.0;
                s.current.rows[i][j] =
                    static_cast<float>(std::exp(-t * t * sharpness) * std::cos(250.0 * t) * 100.0) + noise(random);
            }
        }
        RecalcRecordExtents(*ws, 0);
    }
};

}  // namespace velk
