#pragma once
// A workspace with a small store for the view tests, and a record maker.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/workspace.h"
#include "platform/profile.h"
#include "tools/scripted_uihost.h"

namespace velk::viewtest {

class ViewTest : public ::testing::Test {
protected:
    // MAX_SAMPLE 4100 (the default), 64 traces.
    void SetUp() override { Build("[General]\nMAXTRACES=64\n"); }

    void Build(const std::string& profileText)
    {
        ws.reset();
        profile = std::make_unique<Profile>(Profile::FromText(profileText));
        ws = std::make_unique<Workspace>(*profile, ui);
        ws->startup.language = -1;
        ws->InitForView();
        ui.ClearCalls();
    }

    // `traces` traces of `samples` samples at `intervalUs`; sample j of trace i is base + i*10000 + j;
    // receivers 1 m apart from `firstReceiver` m.
    void Load(int traces, int samples, float intervalUs = 1000.0f, float base = 1.0f, float firstReceiver = 0.0f)
    {
        WaveformStore& s = ws->store;
        s.Params().traceCount = traces;
        for (int i = 0; i < traces; ++i) {
            CTraceHeader& h = s.current.headers[static_cast<size_t>(i)];
            h.traceNumber = i + 1;
            h.receiverHundredths = static_cast<int32_t>((firstReceiver + static_cast<float>(i)) * 100.0f);
            h.sourceHundredths = -100;
            h.intervalUs = intervalUs;
            h.samples = samples;
            for (int j = 0; j < samples; ++j) s.current.rows[i][j] = base + static_cast<float>(i * 10000 + j);
        }
    }

    std::vector<float> Row(int i, int n) const
    {
        const auto row = ws->store.current.rows.Row(i);
        return std::vector<float>(row.begin(), row.begin() + n);
    }

    ScriptedUiHost ui;
    std::unique_ptr<Profile> profile;
    std::unique_ptr<Workspace> ws;
};

}  // namespace velk::viewtest
