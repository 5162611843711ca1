#include "app/dsp/trace_edit_commands.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "acquisition/input_integer_dlg.h"
#include "base/settings_io.h"
#include "app/dsp/data_kind.h"
#include "app/dsp/fourier_commands.h"
#include "app/formats/next_file.h"
#include "app/operations.h"
#include "app/view/record_extents.h"
#include "app/dsp/trace_edit_dialogs.h"
#include "app/dsp/time_shift.h"
#include "app/view/view_commands.h"
#include "app/workspace.h"
#include "dsp/fourier.h"
#include "dsp/trace_edit.h"
#include "formats/strong_motion.h"
#include "formats/trace_arrays.h"
#include "platform/atomic_file.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "surfacewave/fourier_decompose.h"
#include "app/survey/exchange_commands.h"
#include "survey/olvenar_link.h"

namespace velk {

namespace {

constexpr int kSpreadTraces = 24;
constexpr int kViewerPoints = COlvenarLink::kMaxPoints;

int Language(const Workspace& ws) { return ws.startup.language; }

void Warn(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

bool IsSelected(const Workspace& ws, int trace)
{
    const auto& flags = ws.store.Params().selectionFlags;
    return static_cast<size_t>(trace) < flags.size() && flags[static_cast<size_t>(trace)] == 1;
}

int FirstSelected(const Workspace& ws)
{
    for (int i = 0; i < ws.store.TraceCount(); ++i) {
        if (IsSelected(ws, i)) {
            return i;
        }
    }
    return -1;
}

std::string NoTraceSelectedText(int language)
{
    return Msg(language, "No trace is selected !", "トレースが選択されていません !");
}

void RefuseNotFrequencyDomain(UiHost& ui) { Warn(ui, MsgJa("周波数領域の波形ではありません")); }

// The receiver range of the titles: the first and the last trace's receiver in m.
void ReceiverRangeFromEnds(Workspace& ws)
{
    const int traces = ws.store.TraceCount();
    if (traces == 0) {
        return;
    }
    const auto& h = ws.store.current.headers;
    ws.display.firstReceiver = static_cast<float>(h[0].receiverHundredths * 0.01);
    ws.display.lastReceiver = static_cast<float>(h[static_cast<size_t>(traces - 1)].receiverHundredths * 0.01);
}

template <class T>
void MoveEntry(std::vector<T>& values, int from, int to)
{
    if (static_cast<size_t>(from) < values.size() && static_cast<size_t>(to) < values.size()) {
        values[static_cast<size_t>(to)] = values[static_cast<size_t>(from)];
    }
}

// Trace `from` with every per-trace value to position `to` (to < from).
void MoveTrace(WaveformStore& store, int from, int to, bool complex)
{
    const auto src = store.current.rows.Row(from);
    std::copy(src.begin(), src.end(), store.current.rows.Row(to).begin());
    if (complex) {
        const auto im = store.current.imag.Row(from);
        std::copy(im.begin(), im.end(), store.current.imag.Row(to).begin());
        MoveEntry(store.current.imagMaxima, from, to);
    }
    MoveEntry(store.current.headers, from, to);
    MoveEntry(store.headersEx, from, to);
    CParameterSet& p = store.Params();
    MoveEntry(p.traceMaxima, from, to);
    MoveEntry(p.pickTimes, from, to);
    MoveEntry(p.layerCodes, from, to);
    MoveEntry(p.selectionFlags, from, to);
    MoveEntry(store.displayFactor, from, to);
    MoveEntry(store.mark, from, to);
    MoveEntry(store.pickAmplitude, from, to);
    MoveEntry(store.timeShift, from, to);
}

std::string WorkingPath(const Workspace& ws, const std::string& name)
{
    const std::string& folder = ws.workingFolder;
    if (folder.empty()) {
        return name;
    }
    return folder + (folder.back() == '/' ? "" : "/") + name;
}

}  // namespace

void CopyTraceHeader(CTraceHeader& destination, const CTraceHeader& source) { destination = source; }

// ---------------------------------------------------------------------------------------------
// Delete, kill, insert

int CWaveOperations::DeleteSelectedTraces()
{
    WaveformStore& store = ws.store;
    const int traces = store.TraceCount();
    if (traces == 0) {
        return 0;
    }
    if (FirstSelected(ws) < 0) {
        Warn(ui, NoTraceSelectedText(Language(ws)));
        return 0;
    }
    store.PushUndo();
    const bool complex = IsComplexKind(store.dataKind());
    int kept = 0;
    float recordMax = 0.0f;
    float lowest = 100000.0f;
    float highest = -100000.0f;
    for (int i = 0; i < traces; ++i) {
        if (IsSelected(ws, i)) {
            ws.display.modified = 1;
            continue;
        }
        if (kept != i) {
            MoveTrace(store, i, kept, complex);
        }
        CTraceHeader& h = store.current.headers[static_cast<size_t>(kept)];
        h.traceNumber = i + 1;
        const auto row = store.current.rows.Row(kept);
        for (int j = 0; j < store.TraceSamples(kept); ++j) {
            recordMax = std::max(recordMax, std::fabs(row[static_cast<size_t>(j)]));
        }
        const auto receiver = static_cast<float>(h.receiverHundredths * 0.01);
        lowest = std::min(lowest, receiver);
        highest = std::max(highest, receiver);
        ++kept;
    }
    CParameterSet& p = store.Params();
    // The dropped traces' places hold no trace now: no selection may be left on them.
    std::fill(p.selectionFlags.begin() + std::min<size_t>(static_cast<size_t>(kept), p.selectionFlags.size()),
              p.selectionFlags.begin() + std::min<size_t>(static_cast<size_t>(traces), p.selectionFlags.size()), 0);
    p.traceCount = kept;
    p.tracesShown = kept;
    p.recordMaximum = recordMax;
    if (kept > 0) {
        ws.display.firstReceiver = lowest;
        ws.display.lastReceiver = highest;
    }
    if (complex) {
        store.ComputeImagMaxima();
    }
    ClampDisplayWindow(ws);
    return 1;
}

int OnKillTrace(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    if (store.TraceCount() == 0) {
        return 0;
    }
    if (FirstSelected(ws) < 0) {
        Warn(ui, NoTraceSelectedText(Language(ws)));
        return 0;
    }
    store.PushUndo();
    const bool complex = IsComplexKind(store.dataKind());
    std::vector<int32_t> receivers;
    for (int i = 0; i < store.TraceCount(); ++i) {
        if (!IsSelected(ws, i)) {
            continue;
        }
        const auto n = static_cast<size_t>(store.TraceSamples(i));
        std::fill_n(store.current.rows.Row(i).begin(), n, 0.0f);
        if (complex) {
            std::fill_n(store.current.imag.Row(i).begin(), n, 0.0f);
        }
        receivers.push_back(store.current.headers[static_cast<size_t>(i)].receiverHundredths);
        ws.display.modified = 1;
    }
    store.ComputeTraceMaxima();
    if (complex) {
        store.ComputeImagMaxima();
    }
    if (FileGroupHasFiles(ws) &&
        ui.Message(Msg(Language(ws), "Kill trace for all waveform data ?", "全ての波形データのトレースを消去しますか ?"),
                   MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes) {
        ws.fileGroup.KillTraces(receivers);
    }
    return 1;
}

int OnInsertTrace(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const int language = Language(ws);
    CDistanceDlg dlg;
    dlg.distance = ws.traceEdit.insertDistance;
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) {
        return 0;
    }
    ws.traceEdit.insertDistance = dlg.distance;
    const int n = store.TraceCount();
    if (n >= store.MaxTraces()) {
        Warn(ui, TracesTooLargeText(language, store.MaxTraces()));
        return 0;
    }
    if (!store.IsAllocated()) {
        return 0;
    }
    store.PushUndo();
    CParameterSet& p = store.Params();
    CTraceHeader h;
    if (n > 0) {
        h = store.current.headers[static_cast<size_t>(n - 1)];
    } else {
        // No trace to copy from: the record's own values where it has them.
        const int samples = p.samplesPerTrace > 0 ? p.samplesPerTrace : std::min(1024, store.MaxSample());
        const float interval = IsValidInterval(p.sampleInterval) ? p.sampleInterval : 1.0f;
        h.Set(0, 0, 0, 0, 1, 0.0f, interval * 1000.0f, std::min(samples, store.RowLength()));
        p.samplesPerTrace = h.samples;
        p.samplesShown = h.samples;
        p.sampleInterval = interval;
    }
    h.traceNumber = n + 1;
    h.receiverHundredths = dlg.distance;
    h.samples = std::clamp(h.samples, 0, store.RowLength());
    store.current.headers[static_cast<size_t>(n)] = h;
    std::fill_n(store.current.rows.Row(n).begin(), static_cast<size_t>(h.samples), 0.0f);
    if (IsComplexKind(store.dataKind())) {
        std::fill_n(store.current.imag.Row(n).begin(), static_cast<size_t>(h.samples), 0.0f);
    }
    const auto un = static_cast<size_t>(n);
    p.traceMaxima[un] = 0.0f;
    p.pickTimes[un] = 0.0f;
    p.layerCodes[un] = 3;
    p.selectionFlags[un] = 0;
    store.displayFactor[un] = 1.0f;
    store.headersEx[un] = CTraceHeaderEx{};
    static_cast<CTraceHeader&>(store.headersEx[un]) = h;
    p.traceCount = n + 1;
    SortStoreByReceiver(store, n + 1);
    p.tracesShown = n + 1;
    ReceiverRangeFromEnds(ws);
    ClampDisplayWindow(ws);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Reverse spread

bool CanReverseSpread(const Workspace& ws) { return ws.store.TraceCount() > kSpreadTraces - 1; }

void ReverseTraceOrder(Workspace& ws)
{
    WaveformStore& store = ws.store;
    if (store.TraceCount() < kSpreadTraces) {
        return;
    }
    const bool complex = IsComplexKind(store.dataKind());
    for (int j = 0; j < kSpreadTraces / 2; ++j) {
        const int k = kSpreadTraces - 1 - j;
        auto a = store.current.rows.Row(j);
        auto b = store.current.rows.Row(k);
        std::swap_ranges(a.begin(), a.end(), b.begin());
        if (complex) {
            auto ia = store.current.imag.Row(j);
            auto ib = store.current.imag.Row(k);
            std::swap_ranges(ia.begin(), ia.end(), ib.begin());
        }
        std::swap(store.current.headers[static_cast<size_t>(j)].samples,
                  store.current.headers[static_cast<size_t>(k)].samples);
    }
    SortStoreByReceiver(store, store.TraceCount());
    store.ComputeTraceMaxima();
    if (complex) {
        store.ComputeImagMaxima();
    }
    ReceiverRangeFromEnds(ws);
}

int OnReverseSpread(Workspace& ws)
{
    if (!CanReverseSpread(ws)) {
        return 0;
    }
    ws.store.PushUndo();
    ReverseTraceOrder(ws);
    return 1;
}

int ReverseTraceOrderInGroup(Workspace& ws, CFileGroup& group)
{
    WaveformStore& store = ws.store;
    // Every shot of the table: one row per source.
    const int shots = std::min<int>(group.sourceCount, static_cast<int>(group.table.size()));
    int reversed = 0;
    for (int i = 0; i < shots; ++i) {
        const int n = group.BuildGather(store.current.rows, store.current.headers, i);
        if (n < kSpreadTraces) {
            continue;
        }
        store.Params().traceCount = n;
        store.dataKind() = kTimeDomain;
        store.PushUndo();
        ReverseTraceOrder(ws);
        group.StoreRow(store.current.rows, store.current.headers, i, store.TraceCount());
        ++reversed;
    }
    return reversed;
}

// ---------------------------------------------------------------------------------------------
// Mutes

int OnApparentVelocityMute(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const int language = Language(ws);
    CApparentVelocityMuteDlg dlg;
    dlg.minVelocity = ws.traceEdit.mute.minVelocity;
    dlg.maxVelocity = ws.traceEdit.mute.maxVelocity;
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) {
        return 0;
    }
    ws.traceEdit.mute.minVelocity = dlg.minVelocity;
    ws.traceEdit.mute.maxVelocity = dlg.maxVelocity;
    if (!(dlg.maxVelocity > 0.0f)) {
        Warn(ui, Msg(language, "Max. velocity must be larger than 0 !", "最大速度は 0 より大きくしてください !"));
        return 0;
    }
    if (store.TraceCount() == 0 || !CheckTraceIntervals(ws, ui)) {
        return 0;
    }
    store.PushUndo();
    for (int i = 0; i < store.TraceCount(); ++i) {
        CApparentVelocityMuteDlg::MuteTrace(store.current.rows.Row(i), store.current.headers[static_cast<size_t>(i)],
                                            ws.traceEdit.mute);
    }
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    return 1;
}

int OnMuteByMouse(Workspace& ws)
{
    ws.display.editMode = 9;
    ws.display.mute = MuteLines{};
    return 1;
}

int TaperAllTraces(Workspace& ws, UiHost& ui, float intercept1, float intercept2, float velocity1, float velocity2)
{
    WaveformStore& store = ws.store;
    if (velocity1 == 0.0f || velocity2 == 0.0f || !std::isfinite(velocity1) || !std::isfinite(velocity2)) {
        Warn(ui, Msg(Language(ws), "The velocity of a mute line is 0 !", "ミュート線の速度が 0 です !"));
        return 0;
    }
    if (store.TraceCount() == 0 || !CheckTraceIntervals(ws, ui)) {
        return 0;
    }
    store.PushUndo();
    for (int i = 0; i < store.TraceCount(); ++i) {
        const CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        const auto x = static_cast<float>(h.receiverHundredths) / 100.0f;
        const float start = intercept1 + x / velocity1;
        const float window = intercept2 + x / velocity2 - start;
        TaperWindow(store.current.rows.Row(i), h.intervalUs * 0.001f, h.samples, start, window, 30.0f, 30.0f);
    }
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Time shifts

int OnEditPretrigger(Workspace& ws, UiHost& ui)
{
    CPretriggerDlg dlg;
    dlg.pretrigger = -ws.display.displayTimeOffset;
    DialogRequest request = dlg.Request(Language(ws));
    if (!ui.RunDialog(request)) {
        return 0;
    }
    ws.display.displayTimeOffset = -dlg.pretrigger;
    for (int i = 0; i < ws.store.TraceCount(); ++i) {
        ws.store.current.headers[static_cast<size_t>(i)].delayUs = ws.display.displayTimeOffset * 1000.0f;
    }
    ws.settings.triggerPlot = 1;
    return 1;
}

int OnFourierTimeShift(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    if (!IsComplexKind(store.dataKind())) {
        RefuseNotFrequencyDomain(ui);
        return 0;
    }
    CShiftAllTracesDlg dlg;
    dlg.changeLength = ws.settings.changeDataLength;
    DialogRequest request = dlg.Request(Language(ws));
    if (!ui.RunDialog(request)) {
        return 0;
    }
    const int n = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    const float df = store.Params().sampleInterval;
    for (int i = 0; i < store.TraceCount(); ++i) {
        FourierTimeShift(store.current.rows.Row(i), store.current.imag.Row(i), n, dlg.shift, df);
    }
    ComputeComplexMaxima(ws);
    return 1;
}

int OnFourierDifferential(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    if (!IsComplexKind(store.dataKind())) {
        RefuseNotFrequencyDomain(ui);
        return 0;
    }
    const int n = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    const float df = store.Params().sampleInterval;
    for (int i = 0; i < store.TraceCount(); ++i) {
        FourierDifferential(store.current.rows.Row(i), store.current.imag.Row(i), n, df);
    }
    ComputeComplexMaxima(ws);
    return 1;
}

int OnTimeShiftByComponent(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    if (store.TraceCount() == 0) {
        return 0;
    }
    CComponentShiftDlg dlg;
    DialogRequest request = dlg.Request(Language(ws));
    if (!ui.RunDialog(request)) {
        return 0;
    }
    int largest = 0;
    for (int i = 0; i < store.TraceCount(); ++i) {
        largest = std::max(largest, store.current.headers[static_cast<size_t>(i)].component);
    }
    const int kept = ws.componentToEdit;
    long long longest = 0;
    for (int c = 1; c <= std::min(largest, CComponentShiftDlg::kComponents); ++c) {
        ws.componentToEdit = c;
        longest = std::max(longest, ShiftedTraceLength(ws, dlg.shifts[static_cast<size_t>(c - 1)]));
    }
    ws.componentToEdit = kept;
    if (!CheckRecordFitsMaxSample(ws, ui, longest)) {
        return 0;
    }
    store.PushUndo();
    for (int c = 1; c <= std::min(largest, CComponentShiftDlg::kComponents); ++c) {
        ws.componentToEdit = c;
        ShiftTraces(ws, dlg.shifts[static_cast<size_t>(c - 1)], 0);
    }
    ws.componentToEdit = kept;
    ws.display.modified = 1;
    store.ComputeTraceMaxima();
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Length and resolution

int OnDecimate(Workspace& ws, int k)
{
    WaveformStore& store = ws.store;
    if (store.TraceCount() == 0 || k < 1) {
        return 0;
    }
    store.PushUndo();
    CParameterSet& p = store.Params();
    const int n = std::clamp(p.samplesPerTrace, 0, store.RowLength());
    for (int i = 0; i < store.TraceCount(); ++i) {
        CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        h.samples = DecimateRow(store.current.rows.Row(i), store.TraceSamples(i), k);
        h.intervalUs *= static_cast<float>(k);
    }
    p.samplesPerTrace = n / k;
    p.samplesShown = n / k;
    p.sampleInterval *= static_cast<float>(k);
    ws.display.modified = 1;
    store.ComputeTraceMaxima();
    ClampDisplayWindow(ws);
    return 1;
}

int OnRecordLengthArbitrary(Workspace& ws, UiHost& ui)
{
    CDataLengthDlg dlg;
    dlg.length = ws.store.Params().samplesPerTrace;
    DialogRequest request = dlg.Request(Language(ws));
    if (!ui.RunDialog(request)) {
        return 0;
    }
    return OnChangeRecordLength(ws, ui, dlg.length);
}

// ---------------------------------------------------------------------------------------------
// Amplitudes

int NormalizeToMax(Workspace& ws)
{
    WaveformStore& store = ws.store;
    if (store.TraceCount() == 0) {
        return 0;
    }
    store.ComputeTraceMaxima();
    const float peak = store.Params().recordMaximum;
    if (!(peak > 0.0f) || !std::isfinite(peak)) {
        return 0;
    }
    store.PushUndo();
    for (int i = 0; i < store.TraceCount(); ++i) {
        const auto row = store.current.rows.Row(i);
        for (int j = 0; j < store.TraceSamples(i); ++j) {
            row[static_cast<size_t>(j)] /= peak;
        }
    }
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    store.Params().recordMaximum = 1.0f;
    return 1;
}

int OnIntegrationInTime(Workspace& ws)
{
    WaveformStore& store = ws.store;
    if (store.TraceCount() == 0) {
        return 0;
    }
    store.PushUndo();
    CParameterSet& p = store.Params();
    float recordMax = 0.0f;
    for (int i = 0; i < store.TraceCount(); ++i) {
        const float last = RunningAbsoluteSum(store.current.rows.Row(i), store.TraceSamples(i));
        p.traceMaxima[static_cast<size_t>(i)] = last;
        recordMax = std::max(recordMax, last);
    }
    p.recordMaximum = recordMax;
    ResetDisplayFactors(ws);
    return 1;
}

int WriteDuration(Workspace& ws, UiHost& ui)
{
    const WaveformStore& store = ws.store;
    if (store.TraceCount() == 0 || !CheckTraceIntervals(ws, ui)) {
        return 0;
    }
    std::string text;
    for (int i = 0; i < store.TraceCount(); ++i) {
        const CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        const float duration = TraceDuration(store.current.rows.Row(i), store.TraceSamples(i), h.intervalUs);
        text += FormatC("%d %f %f %f \n", i, static_cast<double>(h.receiverHundredths) / 100.0,
                        static_cast<double>(h.sourceHundredths) / 100.0, static_cast<double>(duration));
    }
    std::string error;
    if (!WriteFileAtomically(WorkingPath(ws, "Duration.dat"), text, &error)) {
        ui.Message(Msg(Language(ws), "Cannot write the file") + "\n" + WorkingPath(ws, "Duration.dat"),
                   MsgButtons::Ok, MsgIcon::Error);
    }
    return 0;
}

int OnExtractSingleFrequency(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    CFrequencyDlg dlg;
    dlg.frequency = ws.wavelet.frequency;  // shared with the wavelet dialogs
    DialogRequest request = dlg.Request(Language(ws));
    if (!ui.RunDialog(request)) {
        return 0;
    }
    if (store.TraceCount() == 0) {
        return 0;
    }
    store.PushUndo();
    ws.wavelet.frequency = dlg.frequency;
    CFourier::KeepOneFrequency(store.TraceCount(), store.current.rows, store.current.headers, dlg.frequency);
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    return 1;
}

int OnFourierDecomposition(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    if (store.TraceCount() == 0) {
        return 0;
    }
    // Without a selection the decomposition says so itself; no undo level is spent on it.
    if (FirstSelected(ws) >= 0) {
        store.PushUndo();
    }
    if (HarmonicDecompositionSelected(store, ui, Language(ws)) != 1) {
        return 0;
    }
    SortStoreByReceiver(store, store.TraceCount());
    store.ComputeTraceMaxima();
    ReceiverRangeFromEnds(ws);
    CParameterSet& p = store.Params();
    p.tracesShown = store.TraceCount();
    p.samplesShown = p.samplesPerTrace;
    ResetDisplayFactors(ws);
    ClampDisplayWindow(ws);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Strong-motion spectra

namespace {

// The amplitude spectrum of `count` samples at `intervalUs`, times N dt / 2 (dt in s), over
// the frequencies j x df; the points handed on are min(count, 8192). False when the interval
// gives no frequency step.
bool SpectrumCurve(std::span<const float> samples, int count, float intervalUs, std::vector<float>& x,
                   std::vector<float>& y, int& points)
{
    const float dt = intervalUs * 1e-6f;
    std::vector<float> amplitude(static_cast<size_t>(kViewerPoints));
    int length = 0;
    const float df = CFourier::AmplitudeSpectrum(amplitude.data(), kViewerPoints, samples.data(), count, dt, &length);
    if (!(df > 0.0f)) {
        return false;
    }
    points = std::clamp(count, 0, kViewerPoints);
    x.resize(static_cast<size_t>(points));
    y.resize(static_cast<size_t>(points));
    const float scale = static_cast<float>(length) * dt * 0.5f;
    for (int j = 0; j < points; ++j) {
        x[static_cast<size_t>(j)] = static_cast<float>(j) * df;
        y[static_cast<size_t>(j)] = amplitude[static_cast<size_t>(j)] * scale;
    }
    return true;
}

constexpr const char* kFrequencyLabel = "Frequency(Hz)";
constexpr const char* kAmplitudeLabel = "Kine*sec";

}  // namespace

int StrongMotionSpectrum(Workspace& ws, UiHost& ui)
{
    const WaveformStore& store = ws.store;
    const int trace = FirstSelected(ws);
    if (trace < 0) {
        Warn(ui, NoTraceSelectedText(Language(ws)));
        return 0;
    }
    if (!ws.olvenarLink) {
        return 0;
    }
    const CTraceHeader& h = store.current.headers[static_cast<size_t>(trace)];
    std::vector<float> x, y;
    int points = 0;
    if (!SpectrumCurve(store.current.rows.Row(trace), store.TraceSamples(trace), h.intervalUs, x, y, points)) {
        CheckIntervalUs(ws, ui, h.intervalUs);
        return 0;
    }
    ws.olvenarLink->PutSpectrum(points, x.data(), y.data(), kFrequencyLabel, kAmplitudeLabel);
    ws.olvenarLink->Launch("StrongGroundMotion", "8192", LaunchServicesOf(ws, ui));
    return 0;
}

int StrongMotionSpectrum3C(Workspace& ws, UiHost& ui)
{
    const WaveformStore& store = ws.store;
    const int channels = std::min(store.TraceCount(), COlvenarLink::kMaxChannels);
    if (channels == 0 || !ws.olvenarLink) {
        return 0;
    }
    COlvenarLink& link = *ws.olvenarLink;
    link.BeginChannels(kFrequencyLabel, kAmplitudeLabel);
    for (int c = 0; c < channels; ++c) {
        const CTraceHeader& h = store.current.headers[static_cast<size_t>(c)];
        const auto row = store.current.rows.Row(c);
        std::vector<float> x, y;
        int points = 0;
        if (store.dataKind() == kTimeDomain) {
            if (!SpectrumCurve(row, store.TraceSamples(c), h.intervalUs, x, y, points)) {
                CheckIntervalUs(ws, ui, h.intervalUs);
                return 0;
            }
        } else {
            // Already a spectrum: the time-domain record it came from gives the scale.
            const CTraceHeader& before = store.level1.headers[static_cast<size_t>(c)];
            const float scale = static_cast<float>(before.samples) * before.intervalUs * 1e-6f * 0.5f;
            points = std::clamp(store.TraceSamples(c), 0, kViewerPoints);
            x.resize(static_cast<size_t>(points));
            y.resize(static_cast<size_t>(points));
            for (int j = 0; j < points; ++j) {
                x[static_cast<size_t>(j)] = static_cast<float>(j) * h.intervalUs * 0.001f;
                y[static_cast<size_t>(j)] = row[static_cast<size_t>(j)] * scale;
            }
        }
        link.PutChannel(c, h.component, points, x.data(), y.data());
    }
    link.Launch("StrongGroundMotionThreeComponent", "8192ThreeComponents", LaunchServicesOf(ws, ui));
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Settings commands

bool CanSetAngleRange(const Workspace& ws) { return ws.store.TraceCount() > 0 && ws.survey.appendFiles == 1; }

int OnAngleRange(Workspace& ws, UiHost& ui)
{
    CStrongMotionSet& set = ws.strongMotion;
    CAngleRangeDlg dlg;
    dlg.minAngle = std::clamp(set.minimumAngle, 0.0f, 360.0f);
    dlg.maxAngle = std::clamp(set.maximumAngle, 0.0f, 360.0f);
    DialogRequest request = dlg.Request(Language(ws));
    if (!ui.RunDialog(request)) {
        return 0;
    }
    set.minimumAngle = dlg.minAngle;
    set.maximumAngle = dlg.maxAngle;
    return 1;
}

int OnSetupCoordinate(Workspace& ws, UiHost& ui)
{
    CInputIntegerDlg dlg;
    dlg.title = "XY Coordinate";
    dlg.value = ws.settings.coordinateMode;
    DialogRequest request = dlg.Request(Language(ws));
    if (!ui.RunDialog(request)) {
        return 0;
    }
    ws.settings.coordinateMode = dlg.value;
    WriteSettingInt(ws.profile(), "iCoordinate", dlg.value);
    return 0;
}

int OnSpacialFilter(Workspace& ws, UiHost& ui)
{
    ui.Message(Msg(Language(ws), "No service !", "サービスしていません !"));
    return 0;
}

bool CanSetReceiverInterval(const Workspace& ws)
{
    if (ws.store.TraceCount() > 1) {
        return true;
    }
    return ws.startup.acquisitionMode == 1 && ws.acquisitionManager && ws.acquisitionManager->surveyType > 0;
}

// ---------------------------------------------------------------------------------------------
// A view point back to a trace and a time

int PointToTraceTime(const WaveformStore& store, const TracePointGeometry& g, int x, int y, float& time, float& value)
{
    y = -y;
    int along = x;    // the time axis
    int across = y;   // the distance axis
    if (g.timeVertical) {
        std::swap(along, across);
    }
    time = static_cast<float>(along - g.timeOrigin) / g.timeScale + g.startTime;
    const int traces = store.TraceCount();
    int best = -1;
    long long bestDistance = 0;
    for (int i = 0; i < traces; ++i) {
        const float receiver = static_cast<float>(store.current.headers[static_cast<size_t>(i)].receiverHundredths) / 100.0f;
        const long long position =
            static_cast<long long>(TruncIndex(g.distanceScale * (receiver - g.firstReceiver))) + g.distanceOrigin;
        const long long distance = std::llabs(position - across);
        if (best < 0 || distance <= bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    if (best < 0) {
        return -1;
    }
    const CTraceHeader& h = store.current.headers[static_cast<size_t>(best)];
    const int n = store.TraceSamples(best);
    value = 0.0f;
    if (n > 0 && h.intervalUs > 0.0f) {
        const int index = std::clamp(TruncIndex((time - g.startTime) / h.intervalUs * 1000.0f), 0, n - 1);
        value = store.current.rows.Row(best)[static_cast<size_t>(index)];
    }
    return best;
}

}  // namespace velk
