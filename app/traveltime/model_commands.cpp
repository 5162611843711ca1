#include "app/traveltime/model_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/dsp/generated_record.h"
#include "app/dsp/wavelet_commands.h"
#include "app/operations.h"
#include "app/view/edit_controller.h"
#include "app/workspace.h"
#include "base/position.h"
#include "dsp/synthetic.h"
#include "dsp/wavelet.h"
#include "platform/language.h"
#include "platform/uihost.h"
#include "traveltime/modelling_dialogs.h"
#include "traveltime/zero_offset_models.h"

namespace velk {

namespace {

// The fixed records: 301 zero-offset traces, 24-trace test records.
constexpr int kSectionTraces = 301;
constexpr int kSectionSamples = 1024;
constexpr float kSectionIntervalMs = 0.1f;
constexpr float kSectionVelocity = 4.0f;
constexpr float kSectionFrequency = 200.0f;
constexpr int kTestTraces = 24;
constexpr int kTestSamples = 1024;
constexpr float kHumIntervalMs = 0.2f;
constexpr float kHumFrequency = 60.0f;
constexpr int kRicker = 5;

void Warn(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

// The positions of a generated record, checked before anything changes.
struct Layout {
    std::vector<int32_t> receivers;
    int32_t source = 0;
};

// Trace k (1-based) at k x interval, the source at `source` (m); nullopt, with a message, when a
// position does not fit a header word.
std::optional<Layout> PlaceTraces(Workspace& ws, UiHost& ui, int traces, double interval, double source)
{
    Layout layout;
    const std::optional<int32_t> s = MetresToHundredths(source);
    bool ok = s.has_value();
    for (int k = 1; ok && k <= traces; ++k) {
        const std::optional<int32_t> r = MetresToHundredths(k * interval);
        ok = r.has_value();
        if (ok) layout.receivers.push_back(*r);
    }
    if (!ok) {
        Warn(ui, Msg(ws.startup.language, " The source or receiver positions are out of range !",
                     " 震源または受振点の位置が範囲外です !"));
        return std::nullopt;
    }
    layout.source = *s;
    return layout;
}

// The checks every model makes on OK: at least one trace and one sample, the capacity of the
// store and a usable interval, the positions.
std::optional<Layout> CheckRecord(Workspace& ws, UiHost& ui, int traces, int samples, float intervalMs,
                                  double traceInterval, double source = 0.0)
{
    if (traces < 1 || samples < 1) {
        Warn(ui, Msg(ws.startup.language, "The number of traces and the data length must be at least 1 !",
                     "トレース数とデータ長は 1 以上にしてください !"));
        return std::nullopt;
    }
    if (!FitsStore(ws, ui, traces, samples, intervalMs)) return std::nullopt;
    return PlaceTraces(ws, ui, traces, traceInterval, source);
}

bool CheckVelocity(Workspace& ws, UiHost& ui, float velocity)
{
    if (velocity > 0.0f && std::isfinite(velocity)) return true;
    Warn(ui, Msg(ws.startup.language, "The velocity must be larger than 0 !", "速度は 0 より大きくしてください !"));
    return false;
}

bool CheckWavelet(Workspace& ws, UiHost& ui, int type, float frequency)
{
    if (!CWaveletDlg::NeedsFrequency(type) || frequency > 0.0f) return true;
    Warn(ui, WaveletFrequencyRefusal(ws.startup.language));
    return false;
}

// The wavelet of `samples` + 1 values (w[1] its first sample), dt in ms.
std::vector<float> Wavelet(int type, float frequency, int samples, float intervalMs)
{
    std::vector<float> w(static_cast<size_t>(samples) + 2, 0.0f);
    CWaveletDlg::MakeWavelet(type, 0, samples, w, frequency, 0.0f, 1.0f, 0.0f, intervalMs * 0.001f);
    return w;
}

// The empty record after the undo snapshot.
void Begin(Workspace& ws, int traces, int samples, float intervalMs)
{
    BeginRecord(ws, traces, samples, intervalMs, kTimeDomain, intervalMs * 1000.0f);
}

SyntheticRows Rows(Workspace& ws, int traces, int samples, float intervalMs, const std::vector<float>& w)
{
    return SyntheticRows{ws.store.current.rows, traces, samples, intervalMs, w};
}

// Headers, maxima and the display of the whole record, from the first to the last receiver.
int Finish(Workspace& ws, const Layout& layout, int samples)
{
    WaveformStore& store = ws.store;
    for (size_t i = 0; i < layout.receivers.size(); ++i) {
        store.current.headers[i].receiverHundredths = layout.receivers[i];
        store.current.headers[i].sourceHundredths = layout.source;
    }
    store.ComputeTraceMaxima();
    ShowRecord(ws, static_cast<float>(layout.receivers.front() * 0.01), static_cast<float>(layout.receivers.back() * 0.01),
               50.0f, TimeScaleFor(samples));
    return 1;
}

// A fixed zero-offset section of 301 traces 1 m apart, MIGRATION_VELOCITY := 4.0.
template <typename Kernel>
int SectionModel(Workspace& ws, UiHost& ui, int waveletType, Kernel kernel)
{
    if (!CheckWavelet(ws, ui, waveletType, kSectionFrequency)) return 0;
    const std::optional<Layout> layout = CheckRecord(ws, ui, kSectionTraces, kSectionSamples, kSectionIntervalMs, 1.0);
    if (!layout) return 0;
    ws.modelling.migrationVelocity = kSectionVelocity;
    Begin(ws, kSectionTraces, kSectionSamples, kSectionIntervalMs);
    const std::vector<float> w = Wavelet(waveletType, kSectionFrequency, kSectionSamples, kSectionIntervalMs);
    kernel(Rows(ws, kSectionTraces, kSectionSamples, kSectionIntervalMs, w));
    return Finish(ws, *layout, kSectionSamples);
}

}  // namespace

int OnPointDiffractors(Workspace& ws, UiHost& ui)
{
    CZeroOffsetSectionDlg dlg;
    DialogRequest request = dlg.Request(ws.startup.language);
    if (!ui.RunDialog(request) || !CheckVelocity(ws, ui, dlg.velocity) || !CheckWavelet(ws, ui, kRicker, dlg.frequency)) {
        return 0;
    }
    const std::optional<Layout> layout =
        CheckRecord(ws, ui, dlg.traces, dlg.dataLength, dlg.samplingTime, dlg.traceInterval);
    if (!layout) return 0;
    ws.modelling.migrationVelocity = dlg.velocity;
    Begin(ws, dlg.traces, dlg.dataLength, dlg.samplingTime);
    const std::vector<float> w = Wavelet(kRicker, dlg.frequency, dlg.dataLength, dlg.samplingTime);
    ModelPointDiffractors(Rows(ws, dlg.traces, dlg.dataLength, dlg.samplingTime, w), dlg.traceInterval, dlg.velocity,
                          dlg.x1, dlg.y1, dlg.x2, dlg.y2);
    return Finish(ws, *layout, dlg.dataLength);
}

int OnDippingZeroOffset(Workspace& ws, UiHost& ui)
{
    return SectionModel(ws, ui, ws.wavelet.type,
                        [](const SyntheticRows& rows) { ModelDippingSegments(rows, kSectionVelocity); });
}

int CWaveOperations::ModelDippingReflector()
{
    return SectionModel(ws, ui, kRicker, [](const SyntheticRows& rows) { ModelDesiredMigration(rows, kSectionVelocity); });
}

int OnComplexStructure(Workspace& ws, UiHost& ui)
{
    return SectionModel(ws, ui, kRicker, [](const SyntheticRows& rows) { ModelComplexStructure(rows, kSectionVelocity); });
}

int OnImpulse(Workspace& ws, UiHost& ui)
{
    CImpulseDlg dlg;
    DialogRequest request = dlg.Request(ws.startup.language);
    if (!ui.RunDialog(request) || !CheckWavelet(ws, ui, kRicker, dlg.frequency)) return 0;
    const std::optional<Layout> layout =
        CheckRecord(ws, ui, dlg.traces, dlg.dataLength, dlg.samplingTime, dlg.traceInterval);
    if (!layout) return 0;
    Begin(ws, dlg.traces, dlg.dataLength, dlg.samplingTime);
    const std::vector<float> w = Wavelet(kRicker, dlg.frequency, dlg.dataLength, dlg.samplingTime);
    ModelImpulse(Rows(ws, dlg.traces, dlg.dataLength, dlg.samplingTime, w));
    return Finish(ws, *layout, dlg.dataLength);
}

int OnTwoLayerRecord(Workspace& ws, UiHost& ui)
{
    CTheoreticalTraveltime& model = ws.theoretical;
    CTwoLayerRecordDlg dlg;
    dlg.depth = model.depth;
    dlg.v1 = model.v1;
    dlg.v2 = model.v2;
    DialogRequest request = dlg.Request(ws.startup.language);
    if (!ui.RunDialog(request) || !CheckVelocity(ws, ui, dlg.v1) || !CheckVelocity(ws, ui, dlg.v2) ||
        !CheckWavelet(ws, ui, ws.wavelet.type, dlg.frequency)) {
        return 0;
    }
    const std::optional<Layout> layout =
        CheckRecord(ws, ui, dlg.traces, dlg.dataLength, dlg.samplingTime, dlg.traceInterval, dlg.source);
    if (!layout) return 0;
    model.v1 = dlg.v1;
    model.v2 = dlg.v2;
    model.depth = dlg.depth;
    Begin(ws, dlg.traces, dlg.dataLength, dlg.samplingTime);
    const std::vector<float> w = Wavelet(ws.wavelet.type, dlg.frequency, dlg.dataLength, dlg.samplingTime);
    ModelTwoLayerRecord(Rows(ws, dlg.traces, dlg.dataLength, dlg.samplingTime, w), model, dlg.traceInterval,
                        dlg.source, dlg.includeDirect == 1);
    Finish(ws, *layout, dlg.dataLength);
    RecomputeTheoreticalCurves(ws);  // the model's curves over the new record
    return 1;
}

int CWaveOperations::ModelDeconvolution()
{
    if (!RunWaveletDialog(ws, ui)) return 0;
    const WaveletChoice choice = ws.wavelet;
    if (!CheckWavelet(ws, ui, choice.type, choice.frequency)) return 0;
    const std::optional<Layout> layout = CheckRecord(ws, ui, kTestTraces, kTestSamples, kSectionIntervalMs, 1.0);
    if (!layout) return 0;
    const uint32_t seed = ws.traceEdit.Seed();
    std::vector<float> r1(kTestTraces), r2(kTestTraces);
    SyntheticRandom random(seed);
    for (float& r : r1) r = random.Uniform();
    random.Seed(2 * seed);
    for (float& r : r2) r = random.Uniform();
    Begin(ws, kTestTraces, kTestSamples, kSectionIntervalMs);
    const std::vector<float> w = Wavelet(choice.type, choice.frequency, kTestSamples, kSectionIntervalMs);
    velk::ModelDeconvolution(Rows(ws, kTestTraces, kTestSamples, kSectionIntervalMs, w), r1, r2);
    ws.store.mark[0] = 1;
    return Finish(ws, *layout, kTestSamples);
}

int CWaveOperations::ModelHumNoise()
{
    CHumFrequencyDlg dlg = ws.hum;
    dlg.mains = 0;
    DialogRequest request = dlg.Request(ws.startup.language);
    if (!ui.RunDialog(request)) return 0;
    ws.hum.harmonics = dlg.harmonics;
    ws.hum.amplitude = dlg.amplitude;
    const std::optional<Layout> layout = CheckRecord(ws, ui, kTestTraces, kTestSamples, kHumIntervalMs, 1.0);
    if (!layout) return 0;
    const int harmonics = std::max(dlg.harmonics, 0);
    std::vector<float> randoms(2 * static_cast<size_t>(kTestTraces) * static_cast<size_t>(harmonics));
    SyntheticRandom random(ws.traceEdit.Seed());
    for (float& r : randoms) r = random.Uniform();
    Begin(ws, kTestTraces, kTestSamples, kHumIntervalMs);
    const std::vector<float> w = Wavelet(kRicker, kHumFrequency, kTestSamples, kHumIntervalMs);
    velk::ModelHumNoise(Rows(ws, kTestTraces, kTestSamples, kHumIntervalMs, w), dlg.PeriodMs(), harmonics,
                        dlg.amplitude, randoms);
    return Finish(ws, *layout, kTestSamples);
}

void AddModelCommands(CommandTable& t)
{
    t.AddMenuIfMissing({"option.generate", "option", "Genarate waveform data", "波形データの生成", kInAllMenus, 720});
    t.AddMenuIfMissing({"option.generate.zero", "option.generate", "Zero Offset Section", "ゼロオフセット断面",
                        kInAllMenus, 30});
    t.AddMenuIfMissing({"option.generate.zero.dipping", "option.generate.zero", "Dipping reflectors", "傾斜反射面",
                        kInAllMenus, 20});
    const auto add = [&](int id, const char* menu, double order, const char* en, const char* ja, CommandAction action) {
        t.Add(MakeRow(id, menu, order, en, ja, std::move(action)));
    };
    const auto wsUi = [](int (*f)(Workspace&, UiHost&)) { return [f](CommandContext& c) { return f(c.ws, c.ui); }; };
    const auto holder = [](int (CWaveOperations::*operation)()) -> CommandAction {
        return [operation](CommandContext& c) {
            ViewProgressText progress(c.view);
            CWaveOperations ops(c.ws, c.ui, progress);
            return ops.Run([operation](CWaveOperations& o) { return (o.*operation)(); });
        };
    };
    add(cmd::kPointDiffractors, "option.generate.zero", 10, "Point diffractors", "点回折体", wsUi(OnPointDiffractors));
    add(cmd::kDippingZeroOffset, "option.generate.zero.dipping", 10, "Zero offset section", "ゼロオフセット断面",
        wsUi(OnDippingZeroOffset));
    add(cmd::kDesiredMigration, "option.generate.zero.dipping", 20, "Desired migration", "理想的なマイグレーション",
        holder(&CWaveOperations::ModelDippingReflector));
    add(cmd::kImpulse, "option.generate.zero", 30, "Impulse", "インパルス", wsUi(OnImpulse));
    add(cmd::kComplexStructure, "option.generate.zero", 40, "Complex structure", "複雑な構造", wsUi(OnComplexStructure));
    add(cmd::kTwoLayerRecord, "option.generate", 31, "Horizontal 2-layer model", "水平2層モデル", wsUi(OnTwoLayerRecord));
    add(cmd::kDeconvolutionModel, "option.generate", 32, "Deconvolution Model", "デコンボリューションモデル",
        holder(&CWaveOperations::ModelDeconvolution));
    add(cmd::kHumModel, "option.generate", 33, "Noise model(Hum)", "ノイズモデル(ハム)",
        holder(&CWaveOperations::ModelHumNoise));
}

}  // namespace velk
