#pragma once
// A workspace with a record made by a function, painted on a recording canvas, for the tests of
// the record drawing.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "draw/recording_canvas.h"
#include "app/view/record_drawing.h"
#include "app/view/record_extents.h"
#include "app/shell_services.h"
#include "app/view/view_fixture.h"

namespace velk::drawtest {

using Op = RecordingCanvas::Op;
using Kind = RecordingCanvas::Kind;

// The status bar as the frame would keep it.
class FakeStatus : public StatusPanes {
public:
    void SetPaneText(int pane, const std::string& text) override { texts[pane] = text; }
    void SetPaneWidth(int pane, int width) override { widths[pane] = width; }
    std::map<int, std::string> texts;
    std::map<int, int> widths;
};

class DrawTest : public viewtest::ViewTest {
protected:
    void SetUp() override { Build("[General]\nMAXTRACES=16\nMAX_SAMPLE=16500\n"); }

    // `traces` traces of `samples` samples, sample j of trace i = f(i, j); receivers `spacing` m
    // apart from 0; then the set-up step, and the scales of these tests: 1 unit per ms, 50 per m,
    // vscale 0.05, each trace normalised by itself, no trigger shift.
    void Fill(int traces, int samples, const std::function<float(int, int)>& f, float intervalUs = 1000.0f,
              float spacing = 1.0f)
    {
        WaveformStore& s = ws->store;
        s.Params().traceCount = traces;
        for (int i = 0; i < traces; ++i) {
            CTraceHeader& h = s.current.headers[static_cast<size_t>(i)];
            h = CTraceHeader{};
            h.traceNumber = i + 1;
            h.receiverHundredths = static_cast<int32_t>(i * spacing * 100.0f);
            h.intervalUs = intervalUs;
            h.samples = samples;
            for (int j = 0; j < samples; ++j) s.current.rows[i][j] = f(i, j);
        }
        RecalcRecordExtents(*ws, 0);
        CParameterSet& p = s.Params();
        p.hscale = 1.0f;
        p.plotscale = 50.0f;
        p.vscale = 0.05f;
        p.normalisation = 0;
        ws->settings.triggerPlot = -1;
    }

    void Paint(bool printing = false)
    {
        canvas.Clear();
        RecordPaint paint{canvas, &status, printing, "shot.sg2", "shot.sg2"};
        DrawRecord(paint, *ws);
    }

    // The polylines of exactly n points (the traces; the frame is drawn with lines).
    std::vector<const Op*> Polylines(size_t n) const
    {
        std::vector<const Op*> found;
        for (const Op* op : canvas.OpsOf(Kind::Polyline))
            if (op->points.size() == n) found.push_back(op);
        return found;
    }

    RecordingCanvas canvas;
    FakeStatus status;
};

}  // namespace velk::drawtest
