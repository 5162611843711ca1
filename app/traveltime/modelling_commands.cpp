#include "app/traveltime/modelling_commands.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <type_traits>
#include <utility>
#include <vector>

#include "app/dsp/data_kind.h"
#include "app/dsp/generated_record.h"
#include "app/dsp/synthetic_commands.h"
#include "app/dsp/wavelet_commands.h"
#include "app/formats/load_setup.h"
#include "app/operations.h"
#include "app/record_arrival.h"
#include "app/view/contour_display.h"
#include "app/view/record_extents.h"
#include "app/view/velocity_model_display.h"
#include "app/workspace.h"
#include "dsp/synthetic.h"
#include "formats/format_support.h"
#include "platform/atomic_file.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "traveltime/fd_station.h"
#include "traveltime/modelling/generators.h"
#include "traveltime/spike_file.h"
#include "traveltime/velocity_model.h"

namespace velk {

namespace {

int Language(const Workspace& ws) { return ws.startup.language; }

void Warn(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

std::optional<std::string> ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The generated traces into the store after one undo snapshot: samples, headers, peaks.
void PutRecord(Workspace& ws, const GeneratedTraces& rec)
{
    WaveformStore& store = ws.store;
    BeginRecord(ws, rec.traces, rec.samples, rec.intervalMs, kTimeDomain, rec.intervalMs * 1000.0f);
    for (int i = 0; i < rec.traces; ++i) {
        const auto trace = rec.Trace(i);
        std::copy(trace.begin(), trace.end(), store.current.rows.Row(i).begin());
        store.current.headers[static_cast<size_t>(i)] = rec.headers[static_cast<size_t>(i)];
    }
    store.ComputeTraceMaxima();
}

// The checks of dialogs 175, 178 and 179 after OK, before anything changes.
bool RayValuesUsable(Workspace& ws, UiHost& ui, const RaySyntheticValues& v, int waveletType)
{
    const int language = Language(ws);
    if (!FitsStore(ws, ui, v.traces, v.dataLength, v.samplingTime)) return false;
    if (!(v.velocity > 0.0f) || !std::isfinite(v.velocity)) {
        Warn(ui, Msg(language, "The velocity must be larger than 0 !", "速度は 0 より大きくしてください !"));
        return false;
    }
    if (CWaveletDlg::NeedsFrequency(waveletType) && !(v.frequency > 0.0f)) {
        Warn(ui, WaveletFrequencyRefusal(language));
        return false;
    }
    return true;
}

// The dialog, MIGRATION_VELOCITY back on OK, the checks, the record and its display.
template <class Dlg, class Make>
int RunRayGenerator(Workspace& ws, UiHost& ui, Dlg& dlg, int waveletType, Make make)
{
    dlg.velocity = ws.modelling.migrationVelocity;
    DialogRequest request = dlg.Request(Language(ws));
    if (!ui.RunDialog(request)) return 0;
    ws.modelling.migrationVelocity = dlg.velocity;
    if constexpr (std::is_same_v<Dlg, CVspDlg>) {
        ws.modelling.vspAngle = dlg.angle;
        ws.modelling.vspDistance = dlg.distance;
    }
    if (!RayValuesUsable(ws, ui, dlg, waveletType)) return 0;
    PutRecord(ws, make());
    // Trace k lies at k x interval: the display runs from the first receiver to the last.
    ShowRecord(ws, dlg.traceInterval, static_cast<float>(dlg.traces) * dlg.traceInterval, 50.0f,
               TimeScaleFor(dlg.dataLength));
    return 1;
}

// The display of a record whose receivers the headers give.
void ShowReceivers(Workspace& ws, float plotscale)
{
    const WaveformStore& store = ws.store;
    float first = std::numeric_limits<float>::max(), last = std::numeric_limits<float>::lowest();
    for (int i = 0; i < store.TraceCount(); ++i) {
        const float x = static_cast<float>(store.current.headers[static_cast<size_t>(i)].receiverHundredths) * 0.01f;
        first = std::min(first, x);
        last = std::max(last, x);
    }
    if (store.TraceCount() <= 0) first = last = 0.0f;
    ShowRecord(ws, first, last, plotscale, TimeScaleFor(store.Params().samplesPerTrace));
}

// --- The grids of the velocity model as the display sees them ---------------------------------

// The model's velocity (1), traveltime (2) or snapshot (3) grid, its values mapped from the
// grid's recorded range onto the display's automatic levels [ContourLowerBound, 10]: raw
// velocities of thousands of m/s would all fall into the top level.
class VelocityModelGrid : public ModelGrid {
public:
    VelocityModelGrid(const Workspace& ws, int kind) : ws_(ws), kind_(kind) {}
    int Columns() const override { return Usable() ? Model().nx : 0; }
    int Rows() const override { return Usable() ? Model().nz : 0; }
    float ColumnWidth() const override { return Model().h; }
    float RowHeight() const override { return Model().h; }
    float Value(int column, int row) const override
    {
        const VelocityModel& m = Model();
        float lo = 0.0f, hi = 0.0f;
        const std::vector<float>& grid = Grid(lo, hi);
        const float bottom = ContourLowerBound(ws_);
        if (!(hi > lo)) return (bottom + 10.0f) * 0.5f;
        const float v = grid[static_cast<size_t>(row) * static_cast<size_t>(m.nx) + static_cast<size_t>(column)];
        return bottom + (v - lo) / (hi - lo) * (10.0f - bottom);
    }
    // The level mapped back onto the grid's recorded range (a flat grid has no mapping).
    std::optional<double> LevelValue(float level) const override
    {
        float lo = 0.0f, hi = 0.0f;
        Grid(lo, hi);
        const double bottom = ContourLowerBound(ws_);
        if (!(hi > lo) || !(10.0 > bottom)) return std::nullopt;
        return lo + (level - bottom) / (10.0 - bottom) * (static_cast<double>(hi) - lo);
    }
    std::string Unit() const override
    {
        switch (kind_) {
        case 2: return "ms";
        case 3: return {};  // wavefield amplitude
        default: return "m/s";
        }
    }

private:
    const VelocityModel& Model() const { return ws_.velocityModel; }
    const std::vector<float>& Grid(float& lo, float& hi) const
    {
        const VelocityModel& m = Model();
        switch (kind_) {
        case 2: lo = m.traveltimeMin; hi = m.traveltimeMax; return m.traveltime;
        case 3: lo = m.snapshotMin; hi = m.snapshotMax; return m.snapshot;
        default: lo = m.velocityMin; hi = m.velocityMax; return m.velocity;
        }
    }
    bool Usable() const
    {
        float lo = 0.0f, hi = 0.0f;
        return Model().nx > 0 && Model().nz > 0 && Grid(lo, hi).size() == Model().Cells();
    }

    const Workspace& ws_;
    int kind_;
};

void ShowModelContours(Workspace& ws)
{
    ws.display.plotMode = 2;
    ws.display.plotSubFlag = 1;
}

int NewModel(Workspace& ws, void (*create)(VelocityModel&))
{
    create(ws.velocityModel);
    SetContourSource(ws, 1);
    ws.display.displayMode = 1;
    ws.store.Params().plotscale = 5.0f;
    ShowModelContours(ws);
    return 1;
}

// trunc(position / h) raised to 1; -1 when the source lies beyond the last cell.
int SourceIndex(float position, float h, int cells)
{
    const double index = std::max(1.0, std::trunc(static_cast<double>(position) / h));
    if (!(index <= cells - 1)) return -1;
    return static_cast<int>(index);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Synthetic records

int OnAddTimeNoise(Workspace& ws, UiHost& ui)
{
    if (ws.store.TraceCount() <= 0 || !HoldsTimeDomain(ws)) return 0;
    CTimeNoiseDlg dlg;
    DialogRequest request = dlg.Request(Language(ws));
    if (!ui.RunDialog(request)) return 0;
    ws.store.PushUndo();
    CWaveOperations ops(ws, ui);
    ops.GenerateRandomTimeSeries(0, dlg.level);
    return 1;
}

int OnAddFrequencyNoise(Workspace& ws, UiHost& ui)
{
    if (ws.store.TraceCount() <= 0 || !HoldsComplexData(ws)) return 0;
    CFrequencyNoiseDlg dlg;
    DialogRequest request = dlg.Request(Language(ws));
    if (!ui.RunDialog(request)) return 0;
    // The spectrum before the noise stays one Undo away (its imaginary rows and kind with it).
    ws.store.PushUndo();
    GenerateRandomSpectrum(ws, 0, dlg.level, dlg.from, dlg.to, ws.store.Params().sampleInterval);
    return 1;
}

int OnDiffraction(Workspace& ws, UiHost& ui)
{
    CDiffractionDlg dlg;
    return RunRayGenerator(ws, ui, dlg, 5, [&] { return DiffractionRecord(dlg); });
}

int OnVsp(Workspace& ws, UiHost& ui)
{
    CVspDlg dlg;
    dlg.frequency = 200.0f;
    dlg.angle = ws.modelling.vspAngle;
    dlg.distance = ws.modelling.vspDistance;
    const int type = ws.wavelet.type;
    return RunRayGenerator(ws, ui, dlg, type, [&] { return VspRecord(dlg, type); });
}

int OnReflection(Workspace& ws, UiHost& ui)
{
    CReflectionDlg dlg;
    const int type = ws.wavelet.type;
    return RunRayGenerator(ws, ui, dlg, type, [&] { return ReflectionRecord(dlg, type); });
}

int OnNoiseModel(Workspace& ws, UiHost& ui)
{
    constexpr int kTraces = 24, kSamples = 1024;
    if (!FitsStore(ws, ui, kTraces, kSamples, 0.2f)) return 0;
    SyntheticRandom random(ws.traceEdit.Seed());
    PutRecord(ws, BackgroundNoiseRecord(random));
    ShowReceivers(ws, 50.0f);
    return 1;
}

int OnSpikeRecord(Workspace& ws, UiHost& ui)
{
    const int language = Language(ws);
    WaveformStore& store = ws.store;
    FileRequest files;
    files.filters = {{"Traveltime file(*.*)", "*"}};
    const std::optional<std::string> path = ui.OpenFile(files);
    if (!path) return 0;
    const std::optional<std::string> text = ReadText(*path);
    if (!text) {
        ui.Message("error in opening file");
        return 0;
    }
    const SpikeFile file = ReadSpikeFile(*text);
    CSamplingLengthDlg dlg;
    dlg.samples = std::clamp(store.Params().samplesPerTrace, 1, std::max(1, store.MaxSample()));
    dlg.samplingTime = store.Params().sampleInterval;
    DialogRequest request = dlg.Request(language, store.MaxSample());
    if (!ui.RunDialog(request)) return 0;
    const int blocks = static_cast<int>(file.blocks.size());
    const int traces = std::min(blocks, store.MaxTraces());
    if (!FitsStore(ws, ui, traces, dlg.samples, dlg.samplingTime)) return 0;
    if (traces <= 0) {
        ui.Message(Msg(language, " The file holds no trace.", " ファイルにトレースがありません。"));
        return 0;
    }
    if (blocks > traces) Warn(ui, TracesTooLargeText(language, store.MaxTraces()));
    PutRecord(ws, SpikeRecord(file, dlg.samples, dlg.samplingTime, traces));
    ShowReceivers(ws, 50.0f);
    return 1;
}

int OnDispersiveSurfaceWave(Workspace& ws, UiHost& ui)
{
    if (!FitsStore(ws, ui, kDispersiveTraces, kDispersiveSamples, 0.5f)) return 0;
    PutRecord(ws, GenerateDispersiveSurfaceWave());
    ShowReceivers(ws, 50.0f);
    RecalcRecordExtents(ws, 0);
    return 1;
}

int OnTwoWayTime(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    if (!TimeDomainTraces(ws, ui)) return 0;
    CParameterSet& p = store.Params();
    const float dt = p.sampleInterval;
    if (!CheckIntervalMs(ws, ui, dt)) return 0;
    store.PushUndo();
    const int n = RecordSamples(store);
    std::vector<float> before(static_cast<size_t>(std::max(n, 0)));
    for (int i = 0; i < store.TraceCount(); ++i) {
        const auto row = store.current.rows.Row(i);
        std::copy_n(row.begin(), before.size(), before.begin());
        // A pick before the record's start shifts nothing; one beyond its end leaves zeros.
        const double shift = std::clamp(std::trunc(static_cast<double>(p.pickTimes[static_cast<size_t>(i)]) / dt),
                                        0.0, static_cast<double>(n));
        const int m = static_cast<int>(shift);
        for (int j = 0; j < n; ++j) row[static_cast<size_t>(j)] = j < m ? 0.0f : before[static_cast<size_t>(j - m)];
        p.pickTimes[static_cast<size_t>(i)] *= 2.0f;
    }
    store.ComputeTraceMaxima();
    return 1;
}

int OnVerticalSummation(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    if (!TimeDomainTraces(ws, ui)) return 0;
    const bool normalise = ui.Message("Nornalize each trace ?", MsgButtons::OkCancel, MsgIcon::Question) == MsgResult::Ok;
    store.PushUndo();
    const int count = store.TraceCount();
    const int n = RecordSamples(store);
    std::vector<double> sum(static_cast<size_t>(std::max(n, 0)), 0.0);
    for (int i = 0; i < count; ++i) {
        const auto row = store.current.rows.Row(i).first(sum.size());
        float peak = 0.0f;
        for (const float v : row) peak = std::max(peak, std::fabs(v));
        const double divisor = normalise && peak > 0.0f ? peak : 1.0;
        for (size_t j = 0; j < sum.size(); ++j) sum[j] += row[j] / divisor;
    }
    // Fewer than three traces keep their count: no stale row comes into view.
    const int written = std::min(3, count);
    for (int t = 0; t < written; ++t) {
        const auto row = store.current.rows.Row(t);
        for (size_t j = 0; j < sum.size(); ++j) row[j] = static_cast<float>(sum[j]);
    }
    CParameterSet& p = store.Params();
    p.traceCount = written;
    p.tracesShown = std::min(p.tracesShown, written);
    store.ComputeTraceMaxima();
    ws.display.firstReceiver = static_cast<float>(store.current.headers[0].receiverHundredths) * 0.01f;
    ws.display.lastReceiver =
        static_cast<float>(store.current.headers[static_cast<size_t>(written - 1)].receiverHundredths) * 0.01f;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Velocity model

std::string NoVelocityModelText(int language)
{
    return Msg(language, "No velocity model for traveltime calculation !", "走時計算用の速度構造ﾓﾃﾞﾙがありません");
}

void SetContourSource(Workspace& ws, int source)
{
    ws.velocityModel.contourSource = source;
    if (source >= 1 && source <= 3) {
        ws.modelView.grid = std::make_shared<VelocityModelGrid>(ws, source);
    } else {
        ws.modelView.grid.reset();
    }
}

int OnNewHomogeneousModel(Workspace& ws) { return NewModel(ws, CreateHomogeneousModel); }

int OnNewTwoLayerModel(Workspace& ws) { return NewModel(ws, CreateTwoLayerModel); }

int OnRaytracing(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    const int language = Language(ws);
    VelocityModel& m = ws.velocityModel;
    if (m.hasModel != 1) {
        ui.Message(NoVelocityModelText(language));
        return 0;
    }
    CModelingDlg dlg;
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) return 0;
    const int column = SourceIndex(dlg.location, m.h, m.nx);
    const int row = SourceIndex(dlg.depth, m.h, m.nz);
    if (column < 0 || row < 0) {
        Warn(ui, FormatC(Msg(language, "The source must lie inside the model (0 - %g m, 0 - %g m) !",
                             "震源はモデルの中に置いてください (0 - %g m, 0 - %g m) !")
                             .c_str(),
                         static_cast<double>((m.nx - 1) * m.h), static_cast<double>((m.nz - 1) * m.h)));
        return 0;
    }
    progress.SetText("Start calculation");
    if (!TraceTravelTimes(m.traveltime, m.velocity, m.nz, m.nx, m.h, column, row)) return 0;
    progress.SetText("End of calculation.");
    float lo = 1000000.0f, hi = 0.0f;
    for (const float t : m.traveltime) {
        lo = std::min(lo, t);
        hi = std::max(hi, t);
    }
    m.traveltimeMin = lo;
    m.traveltimeMax = hi;
    m.hasTraveltimes = 1;
    SetContourSource(ws, 2);
    ShowModelContours(ws);
    return 1;
}

int OnModelSmoothing(Workspace& ws)
{
    if (ws.velocityModel.hasModel != 1) return 0;
    SmoothVelocityModel(ws.velocityModel);
    SmoothVelocityModel(ws.velocityModel);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Station output

int WriteFdStationWaveforms(Workspace& ws, UiHost& ui, CFdStationList& list, int traceCount,
                            const Matrix2D<float>& samples, std::span<const CTraceHeader> headers)
{
    const int language = Language(ws);
    CReceiverComponentDlg component;
    DialogRequest first = component.Request(language);
    if (!ui.RunDialog(first)) return 0;
    CObservationStationDlg station = list.Dialog();
    DialogRequest second = station.Request(language);
    if (!ui.RunDialog(second)) return 0;
    list.Apply(station);
    DiagnosticLog(ws).Rewrite("search.txt", "");
    int saved = 0;
    for (const FdStationFile& file : list.StationFiles(station, component.component, traceCount, samples, headers)) {
        const std::string target = ws.workingFolder.empty() ? file.name : ws.workingFolder + "/" + file.name;
        AtomicFileWriter out(target);
        if (out.Write(file.text) && out.Commit()) {
            ++saved;
        } else {
            Warn(ui, Msg(language, "Cannot write the file ", "ファイルを書けません ") + target);
        }
    }
    return saved;
}

int OnSaveEarthquakeSimulation(Workspace& ws, UiHost& ui)
{
    FileRequest files;
    files.initialName = "*.*";
    files.filters = {{"Observation station file(*.*)", "*"}};
    const std::optional<std::string> path = ui.OpenFile(files);
    if (!path) return 0;
    CFdStationList list;
    DiagnosticLog(ws).Rewrite("station.txt", list.ReadStationFile(*path));
    if (list.notRead > 0) {
        ui.Message(FormatC(Msg(Language(ws),
                               "The station list holds at most %d stations: %d stations of the file were not read.",
                               "観測点は %d 点までです: ファイルの %d 点は読み込まれませんでした。")
                               .c_str(),
                           CFdStationList::kMaxStations, list.notRead),
                   MsgButtons::Ok, MsgIcon::Warning);
    }
    const WaveformStore& store = ws.store;
    const int saved =
        WriteFdStationWaveforms(ws, ui, list, store.TraceCount(), store.current.rows, store.current.headers);
    ui.Message(FormatC(Msg(Language(ws), "%d files have been saved !", "%d 個のファイルを保存しました !").c_str(), saved));
    return 0;
}

// ---------------------------------------------------------------------------------------------

void AddModellingCommands(CommandTable& t)
{
    t.AddMenuIfMissing({"option.generate", "option", "Genarate waveform data", "波形データの生成", kInAllMenus, 720});
    t.AddMenuIfMissing({"option.processing", "option", "Processing", "処理", kInAllMenus, 700});
    t.AddMenuIfMissing({"option.processing.vsp", "option.processing", "VSP", "VSP", kInAllMenus, 800});
    t.AddMenuIfMissing({"option.construction", "option", "Under construction", "工事中", kInAllMenus, 900});
    t.AddMenuIfMissing({"option.etc", "option", "etc.", "その他", kInAllMenus, 800});
    t.AddMenuIfMissing({"option.etc.model", "option.etc", "Velocity model", "速度モデル", kInAllMenus, 400});
    t.AddMenuIfMissing({"option.etc.contour", "option.etc", "Contour", "コンター", kInAllMenus, 410});
    t.AddMenuIfMissing({"file.instrument", "file", "Instrument files", "測定器ファイル", kInAllMenus, 64});

    using WsUi = int (*)(Workspace&, UiHost&);
    auto wsUi = [](WsUi f) -> CommandAction { return [f](CommandContext& c) { return f(c.ws, c.ui); }; };
    using WsOnly = int (*)(Workspace&);
    auto wsOnly = [](WsOnly f) -> CommandAction { return [f](CommandContext& c) { return f(c.ws); }; };
    auto holder = [](int (CWaveOperations::*operation)()) -> CommandAction {
        return [operation](CommandContext& c) {
            ViewProgressText progress(c.view);
            CWaveOperations ops(c.ws, c.ui, progress);
            return ops.Run([operation](CWaveOperations& o) { return (o.*operation)(); });
        };
    };

    // Option > Genarate waveform data.
    t.Add(cmd::kAddTimeNoise, "option.generate", 20, "Add random noise in time domain", "時間領域でランダムノイズを加える",
        wsUi(OnAddTimeNoise), kRuleTimeDomain);
    t.Add(cmd::kAddFrequencyNoise, "option.generate", 21, "Add random noise in frequency domain",
        "周波数領域でランダムノイズを加える", wsUi(OnAddFrequencyNoise), kRuleComplexData);
    t.Add(cmd::kDiffraction, "option.generate", 30, "Diffraction", "回折波", wsUi(OnDiffraction), kRuleAlways);
    t.Add(cmd::kVsp, "option.generate", 31, "VSP", "VSP", wsUi(OnVsp), kRuleAlways);
    t.Add(cmd::kReflection, "option.generate", 32, "Reflection(Dipping structure)", "反射波(傾斜構造)",
        wsUi(OnReflection), kRuleAlways);
    t.Add(cmd::kNoiseModel, "option.generate", 33, "Noise model(Back ground)", "ノイズモデル(バックグラウンド)",
        wsUi(OnNoiseModel), kRuleAlways);
    t.Add(cmd::kSelectWavelet, "option.generate", 40, "Select a wavelet", "ウェーブレットの選択",
        [](CommandContext& c) {
            RunWaveletDialog(c.ws, c.ui);
            return 0;
        },
        kRuleAlways);
    t.Add(cmd::kCorrelatedNoise, "option.generate", 41, "Random noise with correlation functions",
        "相関関数をもつランダムノイズ", holder(&CWaveOperations::GenerateNoiseFromCorrelation), kRuleAlways);
    t.Add(cmd::kCorrelatedNoiseOld, "option.construction", 60, "Random noise with correlation functions(old)",
        "相関関数をもつランダムノイズ(旧)", holder(&CWaveOperations::GenerateNoiseGaussianSpectrum), kRuleAlways);
    t.Add(cmd::kSpikeRecord, "option.generate", 50, "Read traveltime data file for delta function",
        "デルタ関数用の走時データファイルを読む", wsUi(OnSpikeRecord), kRuleAlways);
    t.Add(cmd::kDispersiveSurfaceWave, "option.generate", 51, "Dispersive surface wave", "分散性表面波",
        wsUi(OnDispersiveSurfaceWave), kRuleAlways);

    // Option > Processing > VSP.
    t.Add(cmd::kTwoWayTime, "option.processing.vsp", 10, "2-Way Time transform", "往復走時への変換", wsUi(OnTwoWayTime),
        kRuleTimeDomain);
    t.Add(cmd::kVerticalSummation, "option.processing.vsp", 20, "Vertical Summation", "鉛直加算",
        wsUi(OnVerticalSummation), kRuleTimeDomain);

    // Option > etc. > Velocity model, Option > etc. > Contour.
    t.Add(cmd::kNewHomogeneousModel, "option.etc.model", 10, "New model(Homogeneous)", "新規モデル(均質)",
        wsOnly(OnNewHomogeneousModel), kRuleAlways);
    t.Add(cmd::kNewTwoLayerModel, "option.etc.model", 20, "New model(2 layers)", "新規モデル(2層)",
        wsOnly(OnNewTwoLayerModel), kRuleAlways);
    t.Add(cmd::kRaytracing, "option.etc.model", 30, "Raytracing", "波線追跡",
        [](CommandContext& c) {
            ViewProgressText progress(c.view);
            return OnRaytracing(c.ws, c.ui, progress);
        },
        kRuleHasModel);
    t.Add(cmd::kModelSmoothing, "option.etc.model", 40, "Velocity model smoothing", "速度モデルの平滑化",
        wsOnly(OnModelSmoothing), kRuleHasModel);
    t.Add(cmd::kContourVelocity, "option.etc.contour", 10, "Velocity model", "速度モデル",
        [](CommandContext& c) {
            SetContourSource(c.ws, 1);
            return 1;
        },
        kRuleHasModel);
    t.Add(cmd::kContourWaveform, "option.etc.contour", 20, "Waveform data", "波形データ",
        [](CommandContext& c) {
            SetContourSource(c.ws, 0);
            ShowRecordView(c.ws);  // the record, not the empty model grid
            return 1;
        },
        kRuleAlways);
    t.Add(cmd::kContourTraveltime, "option.etc.contour", 30, "Traveltime", "走時",
        [](CommandContext& c) {
            SetContourSource(c.ws, 2);
            return 1;
        },
        kRuleHasTraveltimes);

    // File > Instrument files.
    t.Add(cmd::kSaveEarthquakeSimulation, "file.instrument", 70, "Save earthquake simulation files",
        "地震シミュレーションファイルを保存", wsUi(OnSaveEarthquakeSimulation), kRuleTracesLoaded);

    t.SetRule(kRuleHasModel, [](const Workspace& ws, const RecentFileList&) { return ws.velocityModel.hasModel == 1; });
    t.SetRule(kRuleHasTraveltimes,
              [](const Workspace& ws, const RecentFileList&) { return ws.velocityModel.hasTraveltimes == 1; });
}

}  // namespace velk
