#include "app/dsp/deconvolution_commands.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "app/command_table.h"
#include "app/dsp/data_kind.h"
#include "app/operations.h"
#include "app/workspace.h"
#include "dsp/band_pass.h"
#include "dsp/deconvolution.h"
#include "dsp/fourier.h"
#include "platform/atomic_file.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

void Tell(Workspace& ws, UiHost& ui, const char* en, const char* ja)
{
    ui.Message(Msg(ws.startup.language, en, ja), MsgButtons::Ok, MsgIcon::Warning);
}

// Checks before the dialog: traces and a usable interval.
bool Usable(Workspace& ws, UiHost& ui)
{
    return ws.store.TraceCount() > 0 && CheckIntervalMs(ws, ui, ws.store.Params().sampleInterval);
}

// Dialog 196 preset from the remembered values; true after OK (the values stored back).
bool AskParameters(Workspace& ws, UiHost& ui)
{
    DeconvolutionSettings& s = ws.deconvolution;
    if (s.operatorLength < 0.0f) {
        s.operatorLength = 100.0f * ws.store.Params().sampleInterval;
    }
    CDeconvolutionDlg dlg;
    dlg.method = s.method;
    dlg.prewhitening = s.prewhitening;
    dlg.operatorLength = s.operatorLength;
    DialogRequest request = dlg.Request();
    if (!ui.RunDialog(request)) {
        return false;
    }
    s.method = std::clamp(dlg.method, 0, 2);
    s.prewhitening = dlg.prewhitening;
    s.operatorLength = dlg.operatorLength;
    return true;
}

// The operator length in samples for a transform of L points, or 0 after the refusal.
int OperatorLengthOrRefuse(Workspace& ws, UiHost& ui, int L)
{
    const int n = OperatorSamples(ws.deconvolution.operatorLength, ws.store.Params().sampleInterval,
                                  ws.deconvolution.method, L);
    if (n < 2) {
        Tell(ws, ui, "The operator length is too short !", "オペレータ長が短すぎます !");
        return 0;
    }
    return n;
}

// Work arrays of one command, made once and reused for every trace.
struct Work {
    explicit Work(int L)
        : re(static_cast<size_t>(L)), im(static_cast<size_t>(L)), opRe(static_cast<size_t>(L)),
          opIm(static_cast<size_t>(L))
    {
    }
    std::vector<double> re, im, opRe, opIm;
};

// The operator of x[0..count-1] at L points: n values, all 0 when it cannot be solved.
std::vector<double> DesignOperator(Workspace& ws, const float* x, int count, int L, int n, Work& w)
{
    std::vector<double> op(static_cast<size_t>(n));
    Autocorrelation(x, count, L, op.data(), n, w.re.data(), w.im.data());
    if (ComputeWienerOperator(op.data(), n, ws.deconvolution.method, ws.deconvolution.prewhitening) < 0) {
        std::fill(op.begin(), op.end(), 0.0);
    }
    return op;
}

// The operator's spectrum at L points into w.opRe/opIm (forward, scaled 1/L).
void OperatorSpectrum(const std::vector<double>& op, int L, Work& w)
{
    std::fill(w.opRe.begin(), w.opRe.end(), 0.0);
    std::fill(w.opIm.begin(), w.opIm.end(), 0.0);
    std::copy(op.begin(), op.end(), w.opRe.begin());
    CBandPassDlg::Fft(w.opRe.data(), w.opIm.data(), L, 0, 0);
}

// Row i (its own samples, zero-filled to L) times the operator's spectrum, back to time; the
// L real values replace the row.
void Convolve(WaveformStore& store, int i, int L, Work& w)
{
    const auto row = store.current.rows.Row(i);
    const int count = std::min(store.TraceSamples(i), L);
    for (int k = 0; k < L; ++k) {
        w.re[static_cast<size_t>(k)] = k < count ? static_cast<double>(row[static_cast<size_t>(k)]) : 0.0;
        w.im[static_cast<size_t>(k)] = 0.0;
    }
    CBandPassDlg::Fft(w.re.data(), w.im.data(), L, 0, 0);
    for (int k = 0; k < L; ++k) {
        const size_t s = static_cast<size_t>(k);
        const double a = w.re[s], b = w.im[s];
        w.re[s] = a * w.opRe[s] - b * w.opIm[s];  // amplitudes multiplied, phases added
        w.im[s] = a * w.opIm[s] + b * w.opRe[s];
    }
    CBandPassDlg::Fft(w.re.data(), w.im.data(), L, 0, 1);
    for (int k = 0; k < L; ++k) {
        row[static_cast<size_t>(k)] = static_cast<float>(w.re[static_cast<size_t>(k)]);
    }
}

// Counts, maxima, display factors and kind after a command; samples shown lowered.
void Finish(Workspace& ws, int samples, const std::vector<std::vector<double>>& operators)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const int traces = store.TraceCount();
    for (int i = 0; i < traces; ++i) {
        store.current.headers[static_cast<size_t>(i)].samples = samples;
        if (static_cast<size_t>(i) < store.displayFactor.size()) {
            store.displayFactor[static_cast<size_t>(i)] = 1.0f;
        }
    }
    p.samplesPerTrace = samples;
    p.samplesShown = std::min(p.samplesShown, samples);
    store.dataKind() = kTimeDomain;
    store.ComputeTraceMaxima();
    // A diagnostic only: a folder that cannot be written does not fail the command.
    const std::string folder = ws.workingFolder.empty() ? std::string(".") : ws.workingFolder;
    WriteFileAtomically(folder + "/Wiener.txt", WienerOperatorText(operators));
}

int TransformLength(const WaveformStore& store)
{
    const int samples = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    return std::min(PowerOfTwoLength(samples, 1), store.RowLength());
}

// The common start of the two filters: a usable record whose transform fits the rows, undo
// pushed before the dialog (Cancel leaves the snapshot) and the parameters asked. The transform
// length, or 0 when refused or cancelled.
int StartFilter(Workspace& ws, UiHost& ui)
{
    if (!Usable(ws, ui) || !CheckRecordFitsMaxSample(ws, ui, TransformLength(ws.store))) {
        return 0;
    }
    ws.store.PushUndo();
    if (!AskParameters(ws, ui)) {
        return 0;
    }
    return TransformLength(ws.store);
}

}  // namespace

std::string DeconvolutionProgressText(int trace) { return FormatC(" Deconvolution : trace = %d ", trace); }

int OnWienerOperator(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    if (!Usable(ws, ui) || !AskParameters(ws, ui)) {
        return 0;
    }
    WaveformStore& store = ws.store;
    // The output is an operator, not the trace: it is designed over the first half of the
    // transform length and the record keeps that half.
    const int L = TransformLength(store) / 2;
    const int n = OperatorLengthOrRefuse(ws, ui, L);
    if (n == 0) {
        return 0;
    }
    store.PushUndo();
    Work w(L);
    std::vector<std::vector<double>> operators;
    const int traces = store.TraceCount();
    for (int i = 0; i < traces; ++i) {
        progress.SetText(DeconvolutionProgressText(i + 1));
        const auto row = store.current.rows.Row(i);
        operators.push_back(DesignOperator(ws, row.data(), std::min(store.TraceSamples(i), L), L, n, w));
        for (int k = 0; k < L; ++k) {
            row[static_cast<size_t>(k)] = k < n ? static_cast<float>(operators.back()[static_cast<size_t>(k)]) : 0.0f;
        }
    }
    Finish(ws, L, operators);
    return 1;
}

int OnKnownWavelet(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    const int L = StartFilter(ws, ui);
    if (L == 0) {
        return 0;
    }
    WaveformStore& store = ws.store;
    int reference = -1;
    SelectedTraceIndices(std::span<int>(&reference, 1),
                         std::span<const int32_t>(store.Params().selectionFlags.data(),
                                                  static_cast<size_t>(store.TraceCount())));
    if (reference < 0) {
        ui.Message("基本波形が指定されていません", MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    const int n = OperatorLengthOrRefuse(ws, ui, L);
    if (n == 0) {
        return 0;
    }
    Work w(L);
    const auto ref = store.current.rows.Row(reference);
    std::vector<std::vector<double>> operators{
        DesignOperator(ws, ref.data(), std::min(store.TraceSamples(reference), L), L, n, w)};
    OperatorSpectrum(operators[0], L, w);
    const int traces = store.TraceCount();
    for (int i = 0; i < traces; ++i) {
        progress.SetText(DeconvolutionProgressText(i + 1));
        Convolve(store, i, L, w);
    }
    Finish(ws, L, operators);
    return 1;
}

int OnUnknownWavelet(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    const int L = StartFilter(ws, ui);
    if (L == 0) {
        return 0;
    }
    WaveformStore& store = ws.store;
    const int n = OperatorLengthOrRefuse(ws, ui, L);
    if (n == 0) {
        return 0;
    }
    Work w(L);
    std::vector<std::vector<double>> operators;
    const int traces = store.TraceCount();
    for (int i = 0; i < traces; ++i) {
        progress.SetText(DeconvolutionProgressText(i + 1));
        const auto row = store.current.rows.Row(i);
        operators.push_back(DesignOperator(ws, row.data(), std::min(store.TraceSamples(i), L), L, n, w));
        OperatorSpectrum(operators.back(), L, w);
        Convolve(store, i, L, w);
    }
    Finish(ws, L, operators);
    return 1;
}

void AddDeconvolutionCommands(CommandTable& t)
{
    t.AddMenuIfMissing({"option.processing", "option", "Processing", "処理", kInAllMenus, 700});
    t.AddMenu({"option.processing.deconvolution", "option.processing", "De-convolution", "デコンボリューション",
               kInAllMenus, 55});
    auto add = [&](int id, double order, const char* en, const char* ja,
                   int (*command)(Workspace&, UiHost&, ProgressSink&)) {
        t.Add(MakeRow(
            id, "option.processing.deconvolution", order, en, ja,
            [command](CommandContext& c) {
                ViewProgressText progress(c.view);
                return command(c.ws, c.ui, progress);
            },
            kRuleTimeDomain));
    };
    add(cmd::kWienerOperator, 10, "Compute Wiener filter opereaor", "ウィーナーフィルターオペレーターの計算",
        OnWienerOperator);
    add(cmd::kKnownWavelet, 20, "Known wavelet", "既知の基本波形", OnKnownWavelet);
    add(cmd::kUnknownWavelet, 30, "Unknown wavelet", "未知の基本波形", OnUnknownWavelet);
}

}  // namespace velk
