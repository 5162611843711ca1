#pragma once
// What the pick-file fuzz targets share: one small workspace (8 traces of 64 samples), made
// once, and before each input a record of 6 traces (receivers 0-5 m, source -1 m, 0.5 ms) with
// no picks. The first byte of an input chooses amplitude mode (bit 0) and seconds mode (bit 1);
// the rest is the file's text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/picking/pick_matching.h"
#include "app/workspace.h"
#include "platform/profile.h"
#include "platform/uihost.h"

namespace velk::fuzz {

inline void Require(bool condition)
{
    if (!condition) std::abort();
}

class PickHarness {
public:
    PickHarness() : profile_(Profile::FromText("[General]\nMAXTRACES=8\nMAX_SAMPLE=64\n")), ws_(profile_, ui_)
    {
        ws_.startup.language = -1;
        ws_.InitForView();
    }

    // The record and the flags for one input; returns the file's text.
    std::string_view Prepare(const uint8_t* data, size_t size)
    {
        WaveformStore& store = ws_.store;
        CParameterSet& p = store.Params();
        p.traceCount = kTraces;
        p.samplesPerTrace = 16;
        p.sampleInterval = 0.5f;
        p.recordKind = 0;
        for (int i = 0; i < kTraces; ++i) {
            store.current.headers[static_cast<size_t>(i)].Set(i + 1, i * 100, -100, 1, 1, 0.0f, 500.0f, 16);
            for (int j = 0; j < 16; ++j) store.current.rows[i][j] = static_cast<float>((j * 7 + i) % 11) - 5.0f;
            p.pickTimes[static_cast<size_t>(i)] = 0.0f;
            p.layerCodes[static_cast<size_t>(i)] = 3;
        }
        DisplayState& d = ws_.display;
        const uint8_t flags = size > 0 ? data[0] : 0;
        d.amplitudeFlag = flags & 1;
        d.secondsFlag = (flags >> 1) & 1;
        d.phaseVelocityFileMode = 0;
        d.sourcePosition = -1.0f;
        EnsurePickVectors(ws_);
        ws_.traveltimeSet.Reset();
        ws_.curveSet.Reset();
        return size > 0 ? std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1) : std::string_view();
    }

    Workspace& ws() { return ws_; }
    static constexpr int kTraces = 6;

private:
    NullUiHost ui_;
    Profile profile_;
    Workspace ws_;
};

inline PickHarness& Harness()
{
    static PickHarness harness;
    return harness;
}

}  // namespace velk::fuzz
