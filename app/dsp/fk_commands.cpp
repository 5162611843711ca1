// The F-K filter, the record in the F-K domain and back, the F-K spectrum and the 2-D DFT.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

#include "app/dsp/data_kind.h"
#include "app/operations.h"
#include "app/dsp/velocity_command_support.h"
#include "app/dsp/velocity_filter_commands.h"
#include "app/record_arrival.h"
#include "app/workspace.h"
#include "dsp/fk_arrays.h"
#include "dsp/fk_filter.h"
#include "dsp/fk_transform.h"
#include "dsp/fourier.h"
#include "formats/trace_arrays.h"
#include "platform/language.h"

namespace velk {

namespace {

using velocity_support::BeginRowsChange;
using velocity_support::CheckedRecord;
using velocity_support::CheckedReceiverSpacing;
using velocity_support::Refuse;
using velocity_support::RecordShape;

int PowerOfTwoNotBelow(int n)
{
    int p = 2;
    while (p < n && p < (1 << 30)) {
        p *= 2;
    }
    return p;
}

// trunc(v) as a receiver word, saturating.
int32_t ReceiverWord(double v)
{
    if (!(v > -2147483648.0)) {
        return v != v ? 0 : INT32_MIN;
    }
    if (!(v < 2147483647.0)) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(v);
}

// Headers of the wavenumber traces 0..nx-1: `samples` values at interval df (Hz, the word in
// Hz x 1000), receiver word trunc(k' dk 1e5) with k' the signed wavenumber bin, component 1.
// Traces beyond the record start from trace 1's header.
void SetWavenumberHeaders(WaveformStore& store, int oldCount, int nx, int samples, double df, double dk)
{
    for (int k = 0; k < nx; ++k) {
        CTraceHeader& h = store.current.headers[static_cast<size_t>(k)];
        if (k >= oldCount) {
            h = store.current.headers[0];
            h.traceNumber = k + 1;
        }
        const int signedBin = k < nx / 2 ? k : k - nx;
        h.samples = samples;
        h.intervalUs = static_cast<float>(df * 1000.0);
        h.receiverHundredths = ReceiverWord(signedBin * dk * 100000.0);
        h.component = 1;
    }
}

// The titles' receivers: the first and last trace's receiver word x 0.01.
void TitleReceivers(Workspace& ws)
{
    const int n = ws.store.TraceCount();
    if (n > 0) {
        ws.display.firstReceiver = static_cast<float>(ws.store.current.headers[0].receiverHundredths * 0.01);
        ws.display.lastReceiver =
            static_cast<float>(ws.store.current.headers[static_cast<size_t>(n) - 1].receiverHundredths * 0.01);
    }
}

// Applies an order to every per-trace array that SortStoreByReceiver moves.
void ApplyStoreOrder(WaveformStore& store, const std::vector<int>& order)
{
    DataSet& set = store.current;
    CParameterSet& p = set.params;
    ApplyOrderToHeaders(order, std::span<CTraceHeader>(set.headers));
    ApplyOrderToHeaders(order, std::span<CTraceHeaderEx>(store.headersEx));
    ApplyOrderToRows(order, set.rows);
    ApplyOrderToRows(order, set.imag);
    ApplyTraceOrder<float>(order, p.traceMaxima);
    ApplyTraceOrder<float>(order, p.pickTimes);
    ApplyTraceOrder<int32_t>(order, p.layerCodes);
    ApplyTraceOrder<int32_t>(order, p.selectionFlags);
    ApplyTraceOrder<float>(order, store.displayFactor);
    ApplyTraceOrder<int32_t>(order, store.mark);
    ApplyTraceOrder<float>(order, store.pickAmplitude);
    ApplyTraceOrder<float>(order, store.timeShift);
}

// The display after a transform into the wavenumber domain.
void ShowWavenumbers(Workspace& ws, int samples, float df)
{
    CParameterSet& p = ws.store.Params();
    p.sampleInterval = df;
    ShowWholeTransform(ws, samples, df);
    p.normalisation = 1;
    ws.display.spectrumFill = -1;
    ws.display.spectrumAxisKind = 1;
    TitleReceivers(ws);
}

std::string NotTimeDomainJa() { return MsgJa("時間領域の波形ではありません"); }

}  // namespace

int FkTransformPositions(int traceCount, int capacity)
{
    if (traceCount < 1) {
        return 0;
    }
    const int usual = traceCount <= 256 ? 256 : traceCount <= 512 ? 512 : 1024;
    if (usual >= traceCount && usual <= capacity) {
        return usual;
    }
    const int fitting = PowerOfTwoNotBelow(traceCount);
    return fitting <= capacity ? fitting : 0;
}

int FkSpectrumPositions(int traceCount, int capacity)
{
    if (traceCount < 1) {
        return 0;
    }
    const int usual = capacity <= 128 ? 64 : capacity <= 256 ? 128 : capacity <= 512 ? 256 : 512;
    if (usual >= traceCount && usual <= capacity) {
        return usual;
    }
    const int fitting = PowerOfTwoNotBelow(traceCount);
    return fitting <= capacity ? fitting : 0;
}

// ---------------------------------------------------------------------------------------------
// F-K filter

int OnFkFilter(CWaveOperations& ops)
{
    Workspace& ws = ops.ws;
    RecordShape r;
    if (!CheckedRecord(ops, r)) {
        return 0;
    }
    const double dx = CheckedReceiverSpacing(ws, ops.ui);
    if (dx == 0.0) {
        return 0;
    }
    VelocityFilterState& memory = ws.velocityFilters;
    CFkFilterDlg dlg;
    dlg.velocity1121 = memory.fkVelocity1121;
    dlg.velocity1123 = memory.fkVelocity1123;
    dlg.fanMode = memory.fkFanMode;
    dlg.velocity1126 = memory.fkVelocity1126;
    dlg.velocity1125 = memory.fkVelocity1125;
    DialogRequest request = dlg.Request(ws.startup.language);
    if (!ops.ui.RunDialog(request)) {
        return 0;
    }
    dlg.OrderRoles();
    memory.fkVelocity1121 = dlg.velocity1121;
    memory.fkVelocity1123 = dlg.velocity1123;
    memory.fkFanMode = dlg.fanMode;
    memory.fkVelocity1126 = dlg.velocity1126;
    memory.fkVelocity1125 = dlg.velocity1125;

    BeginRowsChange(ws, r.samples);
    CFkFilterDlg::Filter(ws.store.current.rows, r.traces, r.samples, r.interval, dx, dlg.Velocities(), dlg.fanMode);
    ResetDisplayFactors(ws);
    ws.store.ComputeTraceMaxima();
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Forward and inverse F-K transforms of the record

int OnFkTransform(CWaveOperations& ops)
{
    Workspace& ws = ops.ws;
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    if (store.dataKind() != kTimeDomain) {
        Refuse(ops.ui, NotTimeDomainJa());
        return 0;
    }
    RecordShape r;
    if (!CheckedRecord(ops, r)) {
        return 0;
    }
    const double dx = CheckedReceiverSpacing(ws, ops.ui);
    if (dx == 0.0) {
        return 0;
    }
    const int n = PowerOfTwoLength(r.samples, 1);
    if (n > store.RowLength()) {
        Refuse(ops.ui, SamplesTooLargeText(language, store.MaxSample()));
        return 0;
    }
    const int nx = FkTransformPositions(r.traces, store.MaxTraces());
    if (nx == 0) {
        Refuse(ops.ui, TracesTooLargeText(language, store.MaxTraces()));
        return 0;
    }

    // The panel stands for no shot (not in the time domain): the shot's picks go to the set first.
    BeforeRecordReplaced(ws);
    BeginRowsChange(ws, n);
    ops.progress.SetText(kForwardFourierText);
    FkForwardTransform(store.current.rows, store.current.imag, r.traces, n, nx);

    FkTransformRecord& record = ws.velocityFilters.fkTransform;
    record.recorded = 1;
    record.traceCount = r.traces;
    record.positions = nx;
    record.samples = n;
    record.firstReceiver = store.current.headers[0].receiverHundredths;
    record.receiverStep = store.current.headers[1].receiverHundredths - store.current.headers[0].receiverHundredths;

    const double df = 1000.0 / (static_cast<double>(r.interval) * n);
    const double dk = 1.0 / (dx * nx);
    SetWavenumberHeaders(store, r.traces, nx, n, df, dk);
    CParameterSet& p = store.Params();
    p.traceCount = nx;
    p.samplesPerTrace = n;
    store.dataKind() = kComplexShowReal;
    store.transformFlag() = 0;
    record.order = SortStoreByReceiver(store, nx);
    if (record.order.empty()) {
        record.order.resize(static_cast<size_t>(nx));
        std::iota(record.order.begin(), record.order.end(), 0);
    }
    ResetDisplayFactors(ws);
    ComputeComplexMaxima(ws);
    ShowWavenumbers(ws, n, static_cast<float>(df));
    return 1;
}

bool CanInverseFkTransform(const Workspace& ws)
{
    const FkTransformRecord& record = ws.velocityFilters.fkTransform;
    return record.recorded == 1 && IsComplexKind(ws.store.dataKind()) &&
           ws.store.TraceCount() == record.positions && ws.store.Params().samplesPerTrace == record.samples &&
           record.order.size() == static_cast<size_t>(record.positions);
}

int OnFkInverseTransform(CWaveOperations& ops)
{
    Workspace& ws = ops.ws;
    WaveformStore& store = ws.store;
    if (!CanInverseFkTransform(ws)) {
        Refuse(ops.ui, MsgJa("F-K領域の波形ではありません"));
        return 0;
    }
    const float df = store.Params().sampleInterval;
    if (!CheckIntervalMs(ws, ops.ui, df)) {
        return 0;
    }
    FkTransformRecord& record = ws.velocityFilters.fkTransform;
    const int nx = record.positions;
    const int n = record.samples;
    const int traces = record.traceCount;

    store.PushUndo();
    // Back into transform order (wavenumber bin k at position k).
    std::vector<int> back(static_cast<size_t>(nx));
    for (int i = 0; i < nx; ++i) {
        back[static_cast<size_t>(record.order[static_cast<size_t>(i)])] = i;
    }
    ApplyStoreOrder(store, back);
    ops.progress.SetText(kInverseFourierText);
    FkInverseTransform(store.current.rows, store.current.imag, traces, n, nx);

    const double dt = 1000.0 / (static_cast<double>(df) * n);
    for (int t = 0; t < traces; ++t) {
        CTraceHeader& h = store.current.headers[static_cast<size_t>(t)];
        const int64_t receiver = static_cast<int64_t>(record.firstReceiver) + static_cast<int64_t>(t) * record.receiverStep;
        h.receiverHundredths = static_cast<int32_t>(std::clamp<int64_t>(receiver, INT32_MIN, INT32_MAX));
        h.samples = n;
        h.intervalUs = static_cast<float>(dt * 1000.0);
    }
    CParameterSet& p = store.Params();
    p.traceCount = traces;
    p.samplesPerTrace = n;
    p.sampleInterval = static_cast<float>(dt);
    store.dataKind() = kTimeDomain;
    store.transformFlag() = 0;
    record = FkTransformRecord();
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    std::fill(store.current.imagMaxima.begin(), store.current.imagMaxima.end(), 0.0f);
    store.current.imagMaximum = 0.0f;
    ShowWholeTransform(ws, n, static_cast<float>(dt));
    TitleReceivers(ws);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// F-K spectrum

int OnFkSpectrum(CWaveOperations& ops)
{
    Workspace& ws = ops.ws;
    WaveformStore& store = ws.store;
    RecordShape r;
    if (!CheckedRecord(ops, r)) {
        return 0;
    }
    const double dx = CheckedReceiverSpacing(ws, ops.ui);
    if (dx == 0.0) {
        return 0;
    }
    const int nx = FkSpectrumPositions(r.traces, store.MaxTraces());
    if (nx == 0) {
        Refuse(ops.ui, TracesTooLargeText(ws.startup.language, store.MaxTraces()));
        return 0;
    }
    const int nt = CFkFilterDlg::TimeLength(r.samples);
    const int bins = std::max(1, nt / 16);

    BeforeRecordReplaced(ws);  // as for the F-K transform
    BeginRowsChange(ws, r.samples);
    ops.progress.SetText(kForwardFourierText);
    FkPowerSpectrum(store.current.rows, r.traces, r.samples, nt, nx, bins);

    const double df = 1000.0 / (static_cast<double>(r.interval) * nt);
    SetWavenumberHeaders(store, r.traces, nx, bins, df, 1.0 / (dx * nx));
    CParameterSet& p = store.Params();
    p.traceCount = nx;
    p.samplesPerTrace = bins;
    store.dataKind() = kRealSpectrum;
    SortStoreByReceiver(store, nx);
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    ShowWavenumbers(ws, bins, static_cast<float>(df));
    return 1;
}

// ---------------------------------------------------------------------------------------------
// 2-D DFT

int OnDft2d(CWaveOperations& ops)
{
    Workspace& ws = ops.ws;
    WaveformStore& store = ws.store;
    if (store.dataKind() != kTimeDomain) {
        Refuse(ops.ui, NotTimeDomainJa());
        return 0;
    }
    RecordShape r;
    if (!CheckedRecord(ops, r)) {
        return 0;
    }
    CFkArraysDlg holder(r.traces, r.samples);  // before the snapshot: a refused allocation changes nothing

    BeforeRecordReplaced(ws);  // as for the F-K transform
    BeginRowsChange(ws, r.samples);
    std::vector<double> values(static_cast<size_t>(r.samples));
    for (int t = 0; t < r.traces; ++t) {
        const std::span<const float> row = store.current.rows.Row(t);
        std::copy_n(row.begin(), r.samples, values.begin());
        holder.SetInputRow(values.data(), t, r.samples);
    }
    ops.progress.SetText(kDft2dText);
    holder.Dft2dMagnitude(r.traces, r.samples);

    const double df = 1000.0 / (static_cast<double>(r.interval) * r.samples);
    for (int t = 0; t < r.traces; ++t) {
        holder.GetOutputRow(values.data(), t, r.samples);
        const std::span<float> row = store.current.rows.Row(t);
        const std::span<float> imag = store.current.imag.Row(t);
        for (int j = 0; j < r.samples; ++j) {
            row[static_cast<size_t>(j)] = static_cast<float>(-values[static_cast<size_t>(j)]);
            imag[static_cast<size_t>(j)] = 0.0f;
        }
        store.current.headers[static_cast<size_t>(t)].intervalUs = static_cast<float>(df * 1000.0);
    }
    store.dataKind() = kComplexShowReal;
    store.transformFlag() = 0;
    ResetDisplayFactors(ws);
    ComputeComplexMaxima(ws);
    store.Params().sampleInterval = static_cast<float>(df);
    ShowWholeTransform(ws, r.samples, static_cast<float>(df));
    return 1;
}

}  // namespace velk
