#pragma once
// A workspace for the Fourier, band-pass and filter tests: a store with room for the records
// the tests make, records from the shared generator (dsp/fixture.h), and a look at whole rows.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/workspace.h"
#include "dsp/fixture.h"
#include "platform/profile.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk::signaltest {

class SignalTest : public ::testing::Test {
protected:
    void SetUp() override { Build(64, 4100); }

    void Build(int maxTraces, int maxSample)
    {
        ws.reset();
        profile = std::make_unique<Profile>(Profile::FromText(
            "[General]\nMAXTRACES=" + std::to_string(maxTraces) + "\nMAX_SAMPLE=" + std::to_string(maxSample) + "\n"));
        ws = std::make_unique<Workspace>(*profile, ui);
        ws->startup.language = -1;
        ws->InitForView(folder.Path());
        ui.ClearCalls();
    }

    // A record of the given traces (samples as floats) at intervalUs; receivers (i + 1) m.
    void Load(const std::vector<std::vector<double>>& traces, float intervalUs)
    {
        WaveformStore& s = ws->store;
        CParameterSet& p = s.Params();
        int longest = 0;
        for (size_t i = 0; i < traces.size(); ++i) {
            CTraceHeader& h = s.current.headers[i];
            h.Set(static_cast<int32_t>(i) + 1, static_cast<int32_t>(i + 1) * 100, 0, 1, 1, 0.0f, intervalUs,
                  static_cast<int32_t>(traces[i].size()));
            const auto row = s.current.rows.Row(static_cast<int>(i));
            for (size_t j = 0; j < traces[i].size(); ++j) row[j] = static_cast<float>(traces[i][j]);
            longest = std::max(longest, static_cast<int>(traces[i].size()));
        }
        p.traceCount = static_cast<int>(traces.size());
        p.samplesPerTrace = longest;
        p.samplesShown = longest;
        p.tracesShown = static_cast<int>(traces.size());
        p.sampleInterval = intervalUs * 0.001f;
        s.dataKind() = kTimeDomain;
        s.ComputeTraceMaxima();
    }

    // count traces of `samples` generator values, seeds seed, seed + 1, ...
    void LoadLcg(uint32_t seed, int count, int samples, float intervalUs)
    {
        std::vector<std::vector<double>> traces;
        for (int t = 0; t < count; ++t) traces.push_back(dsptest::SignalLcg(seed + static_cast<uint32_t>(t), samples));
        Load(traces, intervalUs);
    }

    std::vector<float> Row(int i, int n) const
    {
        const auto row = ws->store.current.rows.Row(i);
        return std::vector<float>(row.begin(), row.begin() + n);
    }
    std::vector<float> Imag(int i, int n) const
    {
        const auto row = ws->store.current.imag.Row(i);
        return std::vector<float>(row.begin(), row.begin() + n);
    }

    // The largest |row value - reference| at the fixture's indices for trace t of `name`.
    double FixtureError(const dsptest::Fixture& fx, const std::string& name, int t, bool imag = false) const
    {
        const std::vector<int> idx = fx.Indices("idx_" + name + "_" + std::to_string(t));
        const std::vector<double>& ref = fx.Get(name + "_" + std::to_string(t));
        const auto row = imag ? ws->store.current.imag.Row(t) : ws->store.current.rows.Row(t);
        double err = 0.0;
        for (size_t k = 0; k < idx.size(); ++k) {
            err = std::max(err, std::fabs(static_cast<double>(row[static_cast<size_t>(idx[k])]) - ref[k]));
        }
        return err;
    }

    // Every byte of the current record (rows and imaginary rows of the traces, headers,
    // parameter scalars, kind and flag), for "nothing changed" checks.
    std::vector<uint8_t> Snapshot() const
    {
        std::vector<uint8_t> out;
        auto add = [&](const void* p, size_t n) {
            const auto* b = static_cast<const uint8_t*>(p);
            out.insert(out.end(), b, b + n);
        };
        const WaveformStore& s = ws->store;
        for (const DataSet* d : {&s.current, &s.level1, &s.level2}) {
            add(d->rows.Elements().data(), d->rows.Elements().size_bytes());
            add(d->imag.Elements().data(), d->imag.Elements().size_bytes());
            add(d->headers.data(), d->headers.size() * sizeof(CTraceHeader));
            add(&d->params.traceCount, sizeof(int));
            add(&d->params.samplesPerTrace, sizeof(int));
            add(&d->params.sampleInterval, sizeof(float));
            add(&d->dataKind, sizeof(int));
            add(&d->transformFlag, sizeof(int));
        }
        add(&s.undoDepth, sizeof(int));
        return out;
    }

    testing::TempFolder folder;
    ScriptedUiHost ui;
    std::unique_ptr<Profile> profile;
    std::unique_ptr<Workspace> ws;
    RecordingProgress progress{"test"};
};

}  // namespace velk::signaltest
