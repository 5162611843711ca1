// The "Old FFT" commands: the band-pass and the power spectrum on the tabled transform of at
// most 2048 points, with the band-pass corners the other band-pass commands remember.

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/dsp/data_kind.h"
#include "app/operations.h"
#include "app/dsp/velocity_command_support.h"
#include "app/dsp/velocity_filter_commands.h"
#include "app/workspace.h"
#include "dsp/band_pass.h"
#include "dsp/fourier.h"
#include "platform/language.h"

namespace velk {

namespace {

using velocity_support::CheckedRecord;
using velocity_support::Refuse;
using velocity_support::RecordShape;

constexpr int kTabledLimit = 2048;

// The first n samples of a trace into elements 1..n of a one-based array of length + 1
// elements, zeros after them and beyond the trace's own count.
void LoadOneBased(const WaveformStore& store, int trace, int n, int length, std::vector<double>& x)
{
    std::fill(x.begin(), x.end(), 0.0);
    const int own = std::min(n, store.TraceSamples(trace));
    const std::span<const float> row = store.current.rows.Row(trace);
    for (int j = 0; j < own && j < length; ++j) {
        x[static_cast<size_t>(j) + 1] = row[static_cast<size_t>(j)];
    }
}

}  // namespace

int CWaveOperations::BandPassOldFft()
{
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    RecordShape r;
    if (!CheckedRecord(*this, r)) {
        return 0;
    }
    if (r.samples > kTabledLimit) {
        Refuse(ui, OldBandPassRefusal(language, r.samples));
        return 0;
    }
    CBandPassDlg dlg;
    dlg.lowCut = ws.settings.bpfLowCut;
    dlg.highCut = ws.settings.bpfHighCut;
    dlg.lowSlope = ws.settings.bpfLowSlope;
    dlg.highSlope = ws.settings.bpfHighSlope;
    if (RunBandPassDialog(ui, dlg, ws.bandPassAccepted) != 1) {
        return 0;
    }
    store.PushUndo();
    ws.settings.bpfLowCut = dlg.lowCut;
    ws.settings.bpfHighCut = dlg.highCut;
    ws.settings.bpfLowSlope = dlg.lowSlope;
    ws.settings.bpfHighSlope = dlg.highSlope;

    // The whole trace, zero-padded to the tabled length, keeps its length.
    int n = 0;
    int m = 0;
    CBandPassDlg::PowerOfTwoAtLeast(r.samples, n, m);
    std::vector<double> table(static_cast<size_t>(n) / 4 + 2);
    CBandPassDlg::BuildCosTable(m, table);
    std::vector<double> curve(static_cast<size_t>(n) / 2 + 2);
    CBandPassDlg::MakeSlopeFilter1(n / 2 + 1, r.interval, dlg.lowCut, dlg.highCut, dlg.lowSlope, dlg.highSlope,
                                   curve.data());
    std::vector<double> x(static_cast<size_t>(n) + 1);
    std::vector<double> power(static_cast<size_t>(n) + 1);
    for (int t = 0; t < r.traces; ++t) {
        progress.SetText(OldBandPassProgressText(t + 1));
        const int own = std::min(r.samples, store.TraceSamples(t));
        LoadOneBased(store, t, own, n, x);
        CBandPassDlg::FilterSpectrumTabled(x.data(), curve.data(), table, power.data(), n, n / 2, m);
        const std::span<float> row = store.current.rows.Row(t);
        for (int j = 0; j < own; ++j) {
            row[static_cast<size_t>(j)] = static_cast<float>(x[static_cast<size_t>(j) + 1]);
        }
    }
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    return 1;
}

int CWaveOperations::PowerSpectrumOldFft()
{
    WaveformStore& store = ws.store;
    RecordShape r;
    if (!CheckedRecord(*this, r)) {
        return 0;
    }
    // The spectrum of the first half of the transform length: N0/2 points, N0/32 values kept.
    const int half = PowerOfTwoLength(r.samples, 1) / 2;
    if (half > kTabledLimit) {
        Refuse(ui, OldPowerSpectrumRefusal(ws.startup.language, r.samples));
        return 0;
    }
    store.PushUndo();
    int n = 0;
    int m = 0;
    CBandPassDlg::PowerOfTwoAtLeast(half, n, m);
    std::vector<double> table(static_cast<size_t>(n) / 4 + 2);
    CBandPassDlg::BuildCosTable(m, table);
    const float df = 500.0f / r.interval / static_cast<float>(n / 2);

    std::vector<double> re(static_cast<size_t>(n) + 1);
    std::vector<double> im(static_cast<size_t>(n) + 1);
    const int kept = half / 16;
    for (int t = 0; t < r.traces; ++t) {
        LoadOneBased(store, t, half, n, re);
        CBandPassDlg::ZeroComplex(im.data(), n);
        CBandPassDlg::FftTabled(re.data(), im.data(), table, m, -1);
        const std::span<float> row = store.current.rows.Row(t);
        for (int j = 0; j < half; ++j) {
            const auto k = static_cast<size_t>(j) + 1;
            row[static_cast<size_t>(j)] = static_cast<float>(-std::sqrt(re[k] * re[k] + im[k] * im[k]));
        }
        CTraceHeader& h = store.current.headers[static_cast<size_t>(t)];
        h.samples = kept;
        h.intervalUs = df * 1000.0f;
    }
    CParameterSet& p = store.Params();
    p.samplesPerTrace = kept;
    store.dataKind() = kRealSpectrum;
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    p.sampleInterval = df;
    ws.display.spectrumShading = 1;
    ShowWholeTransform(ws, kept, df);
    return 1;
}

}  // namespace velk
