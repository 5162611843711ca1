#include "render_harness.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <sstream>

#include "app/dsp/filter_test.h"
#include "app/formats/document.h"
#include "app/surfacewave/phase_velocity_commands.h"
#include "app/surfacewave/spac_commands.h"
#include "surfacewave/mam_geometry.h"
#include "app/view/record_extents.h"
#include "formats/format_support.h"
#include "traveltime/modelling/generators.h"
#include "app/ui/record_render.h"

namespace velk::render {

Options ParseOptions(const std::vector<std::string>& words)
{
    Options out;
    for (const std::string& w : words) {
        const size_t eq = w.find('=');
        if (eq != std::string::npos) out[w.substr(0, eq)] = w.substr(eq + 1);
    }
    return out;
}

Harness::Harness(const Options& options) : options_(options)
{
    const int traces = static_cast<int>(Number("traces", 24));
    const int samples = static_cast<int>(Number("samples", 1000));
    profile_ = std::make_unique<Profile>(Profile::FromText(
        "[General]\nMAXTRACES=" + std::to_string(std::max(traces, 1)) + "\nMAX_SAMPLE=" + std::to_string(std::max(samples, 1)) + "\n"));
    ws_ = std::make_unique<Workspace>(*profile_, ui_);
    ws_->startup.language = static_cast<int>(Number("language", -1));
    ws_->InitForView();
    const double dpi = Number("dpi", 96);
    mapping_ = LogicalMapping::ForDpi(dpi, dpi);
    BuildRecord();
    ApplyDisplay();
    MakePhaseVelocityImage();
}

namespace {

// Answers every dialog with OK and its values as they are.
class OkUiHost : public NullUiHost {
protected:
    bool DoRunDialog(DialogRequest& request) override { return request.Check().empty(); }
};

class QuietProgress : public ProgressSink {
public:
    void SetRange(int) override {}
    void StepIt() override {}
    void SetText(const std::string&) override {}
};

}  // namespace

void Harness::MakePhaseVelocityImage()
{
    const std::string file = Get("file", "");
    if (!file.empty()) {
        CVelkarineDoc doc(*ws_);
        RegisterFileFormats(doc.Formats());
        doc.LoadRecord(*ws_, file, ui_);
    } else if (Get("signal", "") == "dispersive") {
        GeneratedTraces g = GenerateDispersiveSurfaceWave();
        WaveformStore& store = ws_->store;
        const int traces = std::min(g.traces, store.MaxTraces());
        store.Params().traceCount = traces;
        for (int i = 0; i < traces; ++i) {
            store.current.headers[static_cast<size_t>(i)] = g.headers[static_cast<size_t>(i)];
            const auto from = g.Trace(i);
            std::copy_n(from.begin(), std::min<size_t>(from.size(), store.current.rows.Cols()), store.current.rows.Row(i).begin());
        }
        RecalcRecordExtents(*ws_, 0);
    }
    if (Get("mam", "0") == "1") {
        // A synthetic "Single circle 9" record of 20 m (files in the current folder), and with
        // spac2d=1 its two-dimensional SPAC.
        OkUiHost ok;
        CMamGeometry& g = ws_->MamGeometry();
        g.iGeometry = CMamGeometry::kSingleCircle9;
        g.ArraySize = 20.0f;
        GenerateMicrotremorArrayData(*ws_, ok, 1u);
        QuietProgress quiet;
        if (Get("spac2d", "0") == "1") Spac2DRecord(*ws_, ok, quiet);
        ws_->display.displayMode = static_cast<int>(Number("displaymode", 0));
        CParameterSet& p = ws_->store.Params();
        p.hscale = static_cast<float>(Number("hscale", p.hscale));
        p.plotscale = static_cast<float>(Number("plotscale", p.plotscale));
    }
    if (Get("phasevelocity", "0") != "1") return;
    OkUiHost ok;
    if (!RunPhaseVelocityAnalysis(*ws_, ok, nullptr, false, ws_->contour.endFrequency)) return;
    PickPhaseVelocity(*ws_, ok);
    CParameterSet& p = ws_->store.Params();
    p.hscale = static_cast<float>(Number("hscale", 1.0));
    p.plotscale = static_cast<float>(Number("plotscale", 20.0));
}

std::string Harness::Get(const std::string& name, const std::string& fallback) const
{
    const auto it = options_.find(name);
    return it == options_.end() ? fallback : it->second;
}

double Harness::Number(const std::string& name, double fallback) const
{
    const auto it = options_.find(name);
    return it == options_.end() ? fallback : std::atof(it->second.c_str());
}

void Harness::BuildRecord()
{
    WaveformStore& store = ws_->store;
    const int traces = Get("empty", "0") == "1" ? 0 : std::min(static_cast<int>(Number("traces", 24)), store.MaxTraces());
    const int samples = std::min(static_cast<int>(Number("samples", 1000)), store.MaxSample());
    const float interval = static_cast<float>(Number("interval_us", 500));
    const double spacing = Number("spacing", 2.0);
    const std::string signal = Get("signal", "shot");
    const std::string components = Get("components", "1");
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0.0f, 1.0f);

    store.Params().traceCount = traces;
    for (int i = 0; i < traces; ++i) {
        CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        h = CTraceHeader{};
        h.traceNumber = i + 1;
        const int station = i;
        h.receiverHundredths = static_cast<int32_t>(std::lround(station * spacing * 100.0));
        h.sourceHundredths = static_cast<int32_t>(std::lround(-spacing * 100.0));
        h.intervalUs = interval;
        h.delayUs = static_cast<float>(Number("delay_us", 0));
        h.samples = samples;
        if (components == "1-8") h.component = i % 8 + 1;
        if (components == "3c") h.component = i % 3 + 1;
        const double offset = (station + 1) * spacing;  // m from the source
        for (int j = 0; j < samples; ++j) {
            const double t = j * interval * 1e-6;  // s
            double v = 0.0;
            if (signal == "sine") {
                v = std::sin(2 * M_PI * 12.0 * t + i * 0.4);
            } else if (signal == "spectrum") {
                const double f = j / (samples * interval * 1e-6) * 0.5;
                v = std::exp(-std::pow((f - 40.0 - 2 * i) / 15.0, 2)) + 0.05 * std::abs(noise(random));
            } else {
                // A direct wave at 400 m/s and a refraction at 1500 m/s behind it, Ricker
                // wavelets of 40 Hz, with some noise.
                auto ricker = [](double tau) {
                    const double a = M_PI * 40.0 * tau;
                    return (1 - 2 * a * a) * std::exp(-a * a);
                };
                v = ricker(t - 0.01 - offset / 400.0) + 0.7 * ricker(t - 0.02 - 0.015 - offset / 1500.0);
                v = v * 1000.0 / (1.0 + 0.1 * offset) + 15.0 * noise(random);
            }
            store.current.rows[i][j] = static_cast<float>(v);
        }
    }
    if (Get("badsamples", "0") == "1") {
        const float bad[] = {NAN, INFINITY, 1e30f};
        for (int i = 1; i <= 3 && i < traces; ++i)
            for (int j = samples / 4; j < samples / 4 + 20 && j < samples; ++j)
                store.current.rows[i][j] = (j % 2 ? 1.0f : -1.0f) * bad[i - 1];
    }
    RecalcRecordExtents(*ws_, 1);
}

void Harness::ApplyDisplay()
{
    WaveformStore& store = ws_->store;
    CParameterSet& p = store.Params();
    DisplayState& d = ws_->display;
    ViewSettings& s = ws_->settings;
    p.hscale = static_cast<float>(Number("hscale", 1.0));
    p.plotscale = static_cast<float>(Number("plotscale", 20.0));
    p.vscale = static_cast<float>(Number("vscale", 0.05));
    p.normalisation = static_cast<int>(Number("normalisation", 0));
    s.plotDirection = static_cast<int>(Number("direction", 0));
    s.shading = static_cast<int>(Number("shading", 0));
    s.threeComponentLabel = static_cast<int>(Number("threec", 0));
    s.showAmplitude = static_cast<int>(Number("amplitude", 0));
    s.triggerPlot = static_cast<int>(Number("trigger", 1));
    d.colourFlag = static_cast<int>(Number("colour", 1));
    d.spectrumFill = static_cast<int>(Number("fill", 0));
    d.plotMode = static_cast<int>(Number("plotmode", -2));
    d.displayMode = static_cast<int>(Number("displaymode", 0));
    d.clip = static_cast<int>(Number("clip", 1));
    d.editMode = static_cast<int>(Number("editmode", 0));
    d.plotSubFlag = static_cast<int>(Number("lines", 0));
    d.amplitudeFactor = static_cast<float>(Number("amplitudefactor", 50.0));
    ws_->palette.reverseColours = static_cast<int>(Number("reverse", -1));
    ws_->palette.drawCellOutlines = static_cast<int>(Number("outline", 0));
    ws_->modelView.verticalExaggeration = static_cast<float>(Number("exaggeration", 1.0));
    ws_->modelView.blankThreshold = static_cast<float>(Number("blank", -1000000.0));
    store.dataKind() = static_cast<int>(Number("datakind", 0));
    ApplyPicking();
    BuildGeometry();
    std::stringstream selected(Get("select", ""));
    for (std::string item; std::getline(selected, item, ',');) {
        const int i = std::atoi(item.c_str());
        if (i >= 0 && i < store.TraceCount()) p.selectionFlags[static_cast<size_t>(i)] = 1;
    }
    if (Number("filtertest", 0) == 1) OnFilterTest(*ws_, ui_);
}

namespace {

std::vector<double> Numbers(const std::string& text)
{
    std::vector<double> out;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');) out.push_back(std::atof(item.c_str()));
    return out;
}

}  // namespace

void Harness::ApplyPicking()
{
    WaveformStore& store = ws_->store;
    CParameterSet& p = store.Params();
    DisplayState& d = ws_->display;
    const double spacing = Number("spacing", 2.0);
    // The direct wave of the synthetic shot: 10 ms + offset / 400 m/s.
    auto direct = [](double offset) { return static_cast<float>(10.0 + std::abs(offset) * 2.5); };
    if (Get("picks", "none") == "first") {
        const int code = static_cast<int>(Number("layer", 1));
        for (int i = 0; i < store.TraceCount(); ++i) {
            const CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
            p.pickTimes[static_cast<size_t>(i)] = direct((h.receiverHundredths - h.sourceHundredths) * 0.01);
            p.layerCodes[static_cast<size_t>(i)] = code;
        }
    }
    const int shots = std::clamp(static_cast<int>(Number("shots", 0)), 0, CTraveltimeSet::kMaxShots);
    if (shots > 0 && store.TraceCount() > 0) {
        CTraveltimeSet& set = ws_->traveltimeSet;
        set.hasData = 1;
        set.shotCount = shots;
        const int picks = std::min(store.TraceCount(), CTraveltimeSet::kMaxPicks);
        for (int s = 0; s < shots; ++s) {
            // Shot 0 is the record's; the others further along the line.
            const double source = store.current.headers[0].sourceHundredths * 0.01 + s * 8.0 * spacing;
            set.sourcePosition[s] = static_cast<float>(source);
            set.pickCount[s] = picks;
            for (int k = 0; k < picks; ++k) {
                const double x = store.current.headers[static_cast<size_t>(k)].receiverHundredths * 0.01;
                set.X(s, k) = static_cast<float>(x);
                set.T(s, k) = direct(x - source);
                set.K(s, k) = 1;
            }
        }
    }
    d.showTraveltimeCurves = static_cast<int>(Number("showcurves", -1));
    // velocity=t0,d0,t1,d1[;t0,d0,t1,d1...]: stored velocity lines (ms, m).
    std::stringstream lines(Get("velocity", ""));
    for (std::string item; std::getline(lines, item, ';');) {
        const std::vector<double> v = Numbers(item);
        if (v.size() == 4) {
            d.velocityLines.Append({static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2]),
                                    static_cast<float>(v[3])},
                                   store.MaxTraces());
        }
    }
    // mute=state,s1,T1,s2,T2: the mouse mute's lines (m per ms, ms).
    if (const std::vector<double> m = Numbers(Get("mute", "")); m.size() == 5) {
        d.mute.state = static_cast<int>(m[0]);
        d.mute.slope1 = static_cast<float>(m[1]);
        d.mute.intercept1 = static_cast<float>(m[2]);
        d.mute.slope2 = static_cast<float>(m[3]);
        d.mute.intercept2 = static_cast<float>(m[4]);
    }
}

// geometry=<rows>x<receivers>: a survey line of that many shots along a spread (row 0 read
// without samples, one killed receiver per row, the middle row the gather shown, every fifth
// position unused). array=triangle|plane: a ten-point array (plane: in plane coordinates of
// thousands of metres), point 4 unused.
void Harness::BuildGeometry()
{
    const std::string geometry = Get("geometry", "");
    if (const size_t x = geometry.find('x'); x != std::string::npos) {
        CFileGroup& g = ws_->fileGroup;
        const int rows = std::clamp(std::atoi(geometry.substr(0, x).c_str()), 1, 50);
        const int receivers = std::clamp(std::atoi(geometry.substr(x + 1).c_str()), 1, 200);
        g.sourceCount = rows;
        g.receiverCount = receivers;
        g.entryCount = rows;
        g.table.assign(static_cast<size_t>(rows), std::vector<CTraceEntry>(static_cast<size_t>(receivers)));
        for (int j = 0; j < receivers; ++j) g.receiverPositions[static_cast<size_t>(j)] = j * 200;
        for (int i = 0; i < rows; ++i) {
            g.sourcePositions[static_cast<size_t>(i)] = -300 + i * 200 * receivers / std::max(rows - 1, 1);
            for (int j = 0; j < receivers; ++j) {
                CTraceEntry& e = g.table[static_cast<size_t>(i)][static_cast<size_t>(j)];
                e.use = (i + j) % 5 == 4 ? 0 : 1;
                e.hasSamples = i == 0 ? 0 : 1;
                e.alive = j == (i * 3) % receivers ? 0 : 1;
                e.mark = i == rows / 2 ? 1 : 0;
            }
        }
        g.minPosition = std::min(g.sourcePositions[0], 0);
        g.maxPosition = std::max(g.sourcePositions[static_cast<size_t>(rows - 1)], (receivers - 1) * 200);
    }
    const std::string array = Get("array", "");
    if (array == "triangle" || array == "plane") {
        ArrayGeometryView& a = ws_->arrayGeometry;
        const double side = 20.0, c30 = std::cos(M_PI / 6), t30 = std::tan(M_PI / 6);
        const double xy[10][2] = {{0, 0},           {side / 2, 0},          {side, 0},
                                  {3 * side / 4, side / 2 * c30}, {side / 2, side * c30}, {side / 4, side / 2 * c30},
                                  {side / 2 - side / 8, side / 4 * c30}, {side / 2 + side / 8, side / 4 * c30},
                                  {side / 2, side / 2 * c30}, {side / 2, side / 2 * t30}};
        const double x0 = array == "plane" ? -35210.5 : 0.0, y0 = array == "plane" ? 12880.25 : 0.0;
        a.shown = 1;
        a.firstNumber = 1;
        a.points.clear();
        for (int k = 0; k < 10; ++k) {
            a.points.push_back({static_cast<float>(x0 + xy[k][0]), static_cast<float>(y0 + xy[k][1]), k == 3 ? 0 : 1});
        }
    }
    if (Number("gxscale", 0) > 0) ws_->display.geometryXScale = static_cast<float>(Number("gxscale", 20));
    if (Number("gyscale", 0) > 0) ws_->display.geometryYScale = static_cast<float>(Number("gyscale", 20));
}

wxBitmap Harness::Render()
{
    wxBitmap bitmap(static_cast<int>(Number("width", 1000)), static_cast<int>(Number("height", 700)), 24);
    RecordRenderInfo info;
    info.documentTitle = Get("title", "shot0001.sg2");
    info.fastLines = Get("fast", "1") == "1";
    info.batchLines = Get("batch", "1") == "1";
    info.batchPolygons = Get("batchpolygons", "1") == "1";
    info.fastFills = Get("fastfills", "1") == "1";
    RenderRecordBitmap(bitmap, mapping_, *ws_, info);
    return bitmap;
}

}  // namespace velk::render
