#include "app/surfacewave/spac_commands.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <span>
#include <vector>

#include "acquisition/input_integer_dlg.h"
#include "acquisition/keypad_dialogs.h"
#include "app/command_table.h"
#include "app/dsp/data_kind.h"
#include "app/formats/document.h"
#include "app/formats/load_setup.h"
#include "app/operations.h"
#include "app/record_arrival.h"
#include "app/survey/exchange_commands.h"
#include "app/survey/file_list_commands.h"
#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "dsp/correlation.h"
#include "dsp/fourier.h"
#include "dsp/synthetic.h"
#include "formats/eight_header.h"
#include "formats/format_support.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "surfacewave/array_geometry_dlg.h"
#include "surfacewave/mam_geometry.h"
#include "surfacewave/phase_velocity_curve_dlg.h"
#include "surfacewave/spac_kernels.h"
#include "surfacewave/synthetic_microtremor.h"
#include "surfacewave/trace_pair_kernels.h"

namespace velk {

namespace {

void Warn(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

std::string NotTimeDomainText(int language)
{
    return Msg(language, "Not time-domain !", "時間領域のデータではありません !");
}

std::string WorkingFile(const Workspace& ws, const std::string& name)
{
    return ws.workingFolder.empty() ? name : ws.workingFolder + "/" + name;
}

MamContext GeometryContext(Workspace& ws, UiHost& ui)
{
    return MamContext{ui, ws.startup.language, DiagnosticLog(ws), &ws.profile()};
}

// The store shows `count` coherence rows of `samples` bins at df Hz from an FFT of `nfft` points
// made by a SPAC of `dimension` dimensions: headers' interval and count words, the data kind 2
// with zero imaginary parts, the dispersion flag 2, the window up to the Nyquist frequency (the
// bins above it mirror those below). The image is titled with `title`, the names of what it was
// made from (the document becomes untitled).
void SetCoherenceImage(Workspace& ws, int count, int samples, double df, int nfft, int dimension,
                       const std::string& title)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    for (int k = 0; k < count; ++k) {
        CTraceHeader& h = store.current.headers[static_cast<size_t>(k)];
        h.intervalUs = static_cast<float>(std::trunc(df * 1000.0));
        h.samples = samples;
        const std::span<float> im = store.current.imag.Row(store.current.imag.RowLow() + k);
        std::fill(im.begin(), im.end(), 0.0f);
    }
    p.traceCount = count;
    p.tracesShown = count;
    p.samplesPerTrace = samples;
    p.samplesShown = nfft > 1 ? std::min(samples, nfft / 2 + 1) : samples;
    p.sampleInterval = static_cast<float>(df);  // exact beside the headers' thousandths
    p.recordKind = 2;
    ws.coherenceDimension = dimension;
    store.dataKind() = kComplexShowReal;
    store.transformFlag() = 0;
    store.ComputeTraceMaxima();
    store.ComputeImagMaxima();
    ws.display.firstReceiver = 0.0f;
    ws.display.lastReceiver = count > 0 ? store.current.headers[static_cast<size_t>(count - 1)].receiverHundredths * 0.01f
                                        : 0.0f;
    ws.display.firstSampleShown = 0;
    ws.display.drawing.secondFileName = title;
    ws.display.drawing.secondFileNameFlag = title.empty() ? 0 : 1;
    ClampDisplayWindow(ws);
    AfterRecordBuilt(ws);
}

ArrayDialogSource DialogSource(Workspace& ws, const std::string& fileName)
{
    ArrayDialogSource s;
    s.fileName = fileName;
    s.folder = ws.workingFolder;
    s.km = ws.settings.kmDisplay == 1;
    s.traceCount = ws.store.TraceCount();
    s.headers = std::span<const CTraceHeader>(ws.store.current.headers.data(), static_cast<size_t>(s.traceCount));
    return s;
}

// The receivers the array dialog's geometry takes: the preset's own count, else the count set
// (0 for a choice that builds no geometry at all).
int ArrayReceiverCount(const CMamGeometry& g)
{
    if (g.iGeometry < 0 || g.iGeometry >= CMamGeometry::kPresetCount || g.iGeometry == CMamGeometry::kTriangle13) return 0;
    const int fixed = CMamGeometry::PresetReceiverCount(g.iGeometry);
    return fixed > 0 ? fixed : g.nReceiver;
}

// The receivers' channels for a record, or the geometry error shown and empty.
std::vector<int> CheckedChannels(const CMamGeometry& g, int receivers, int traces, UiHost& ui, int language)
{
    std::vector<int> channels = g.ReceiverChannels(receivers, traces);
    if (channels.empty()) Warn(ui, ArrayGeometryErrorText(language));
    return channels;
}

}  // namespace

bool RunArrayDialog(Workspace& ws, UiHost& ui, const std::string& fileName)
{
    return CArrayGeometryDlg::Edit(ws.MamGeometry(), ui, ws.startup.language, DialogSource(ws, fileName));
}

void ShowArrayGeometry(Workspace& ws)
{
    const CMamGeometry& g = ws.MamGeometry();
    ArrayGeometryView& v = ws.arrayGeometry;
    v.points.clear();
    for (const CTraceHeaderEx& r : g.receivers) v.points.push_back({r.x, r.y, 1});
    v.firstNumber = g.startChannel;
    v.shown = 1;
}

bool ArrayGeometryDialog(Workspace& ws, UiHost& ui, const std::string& fileName)
{
    CMamGeometry& g = ws.MamGeometry();
    g.ResetUsableChannels();
    if (!RunArrayDialog(ws, ui, fileName)) return false;
    int traces = ws.store.TraceCount();
    if (!g.BuildArrayGeometry(traces, ws.store.current.headers, GeometryContext(ws, ui))) return false;
    ShowArrayGeometry(ws);
    ws.display.displayMode = 4;
    return true;
}

bool MamGeometryFromGps(Workspace& ws, UiHost& ui, int zone)
{
    CMamGeometry& g = ws.MamGeometry();
    g.ResetUsableChannels();
    const int traces = ws.store.TraceCount();
    if (g.GeometryFromGps(traces, ws.store.current.headers, ws.store.headersEx, zone, ui, ws.startup.language) <= 0) {
        return false;
    }
    ShowArrayGeometry(ws);
    ws.display.displayMode = 4;
    return true;
}

namespace {

// What both linear-spread SPAC commands check before they replace the record: a time-domain
// record (else `logName` is emptied), traces and samples, a valid interval (ms into `dt`).
bool PrepareSpac1D(Workspace& ws, UiHost& ui, const char* logName, int& traces, int& samples, double& dt)
{
    WaveformStore& store = ws.store;
    if (store.dataKind() != kTimeDomain) {
        DiagnosticLog(ws).Rewrite(logName, "");
        Warn(ui, NotTimeDomainText(ws.startup.language));
        return false;
    }
    traces = store.TraceCount();
    samples = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    if (traces < 1 || samples < 1) return false;
    dt = store.current.headers[0].intervalUs * 0.001;
    if (!IsValidInterval(static_cast<float>(dt))) {
        Warn(ui, InvalidIntervalMessage(ws.startup.language));
        return false;
    }
    BeforeRecordReplaced(ws);
    store.PushUndo();
    return true;
}

}  // namespace

bool Spac1DReferenceTrace(Workspace& ws, UiHost& ui, const std::string& fileName)
{
    WaveformStore& store = ws.store;
    int traces = 0, samples = 0;
    double dt = 0.0;
    if (!PrepareSpac1D(ws, ui, "SPAC.txt", traces, samples, dt)) return false;
    const DataSet& input = store.level1;
    const std::span<const float> first = input.rows.Row(input.rows.RowLow());
    const int32_t origin = input.headers[0].receiverHundredths;
    int nfft = 0;
    std::string text;
    for (int j = 0; j < traces; ++j) {
        const std::span<float> out = store.current.rows.Row(store.current.rows.RowLow() + j);
        nfft = CoherenceSpectrum(samples, first, input.rows.Row(input.rows.RowLow() + j), out);
        CTraceHeader& h = store.current.headers[static_cast<size_t>(j)];
        h.receiverHundredths = static_cast<int32_t>(static_cast<int64_t>(input.headers[static_cast<size_t>(j)].receiverHundredths) - origin);
        for (int k = 0; k < 30 && k < samples; ++k) text += FormatC(" %f ", static_cast<double>(out[static_cast<size_t>(k)]));
        text += "\n";
    }
    DiagnosticLog(ws).Rewrite("SPAC.txt", text);
    SetCoherenceImage(ws, traces, samples, FrequencyStep(nfft, dt), nfft, 1, FileNameOf(fileName));
    return true;
}

bool Spac1DAllPairs(Workspace& ws, UiHost& ui, const std::string& fileName)
{
    WaveformStore& store = ws.store;
    int traces = 0, samples = 0;
    double dt = 0.0;
    if (!PrepareSpac1D(ws, ui, "SPACAll.txt", traces, samples, dt)) return false;
    const int nfft = SpacSpectra(traces, samples, store.current.rows,
                                 std::span<CTraceHeader>(store.current.headers.data(), static_cast<size_t>(traces)), 1);
    const double df = FrequencyStep(nfft, dt);
    std::string text;
    for (int k = 0; k < traces; ++k) {
        const std::span<const float> row = store.current.rows.Row(store.current.rows.RowLow() + k);
        for (int j = 0; j < 30 && j < samples; ++j) text += FormatC(" %f ", static_cast<double>(row[static_cast<size_t>(j)]));
        text += "\n";
    }
    DiagnosticLog(ws).Rewrite("SPACAll.txt", text);
    SetCoherenceImage(ws, traces, samples, df, nfft, 1, FileNameOf(fileName));
    ws.display.lastReceiver = store.current.headers[static_cast<size_t>(traces - 1)].receiverHundredths * 0.01f;
    return true;
}

bool Spac2DRecord(Workspace& ws, UiHost& ui, ProgressSink&, const std::string& fileName)
{
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    if (store.dataKind() != kTimeDomain) {
        Warn(ui, NotTimeDomainText(language));
        return false;
    }
    CMamGeometry& g = ws.MamGeometry();
    g.ResetUsableChannels();
    if (!RunArrayDialog(ws, ui, fileName)) return false;
    const int traces = store.TraceCount();
    int receivers = traces;
    if (!g.BuildArrayGeometry(receivers, store.current.headers, GeometryContext(ws, ui))) return false;
    if (CheckedChannels(g, receivers, traces, ui, language).empty()) return false;
    const int samples = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    const double dt = store.current.headers[0].intervalUs * 0.001;
    if (samples < 1 || !IsValidInterval(static_cast<float>(dt))) {
        Warn(ui, InvalidIntervalMessage(language));
        return false;
    }
    BeforeRecordReplaced(ws);
    store.PushUndo();
    const int nfft = g.Spac2D(receivers, samples, store.current.rows, store.current.headers, 1, traces, DiagnosticLog(ws));
    SetCoherenceImage(ws, g.spacingCount, samples, FrequencyStep(nfft, dt), nfft, 2, FileNameOf(fileName));
    ShowArrayGeometry(ws);
    return true;
}

bool Spac2DFileGroup(Workspace& ws, UiHost& ui, ProgressSink& progress, const std::string& fileName)
{
    WaveformStore& store = ws.store;
    CFileGroup& group = ws.fileGroup;
    const int language = ws.startup.language;
    if (group.entryCount < 1) {
        Warn(ui, Msg(language, "No file is listed in the file group !", "ファイルグループにファイルがありません !"));
        return false;
    }
    CMamGeometry& g = ws.MamGeometry();
    if (!RunArrayDialog(ws, ui, fileName)) return false;

    // Each file is read and analysed in scratch rows; only the average reaches the store.
    Matrix2D<float> rows(0, store.MaxTraces() - 1, 0, store.RowLength() - 1);
    std::vector<CTraceHeader> headers(static_cast<size_t>(store.MaxTraces()));
    std::vector<CTraceHeaderEx> extended(static_cast<size_t>(store.MaxTraces()));
    const GroupReadContext read = MakeGroupReadContext(ws, ui);
    std::vector<double> sums;
    std::vector<CTraceHeader> outHeaders;
    int used = 0, nfft = 0, width = 0, rowCount = 0;
    double interval = 0.0;
    std::string firstName, lastName;
    std::vector<std::string> leftOut;  // "name (why)" of each file not in the average
    for (int n = 0; n < group.entryCount; ++n) {
        progress.SetText(FormatC("2D SPAC file index = %d", n));
        std::string path;
        const int traces = group.ReadNthFile(n, rows, headers, extended, &path, read);
        std::string name = FileNameOf(path);
        if (name.empty()) name = FormatC(Msg(language, "file %d", "ファイル %d").c_str(), n + 1);
        auto leave = [&](const std::string& why) { leftOut.push_back(name + " (" + why + ")"); };
        if (traces <= 0) {
            leave(Msg(language, "not read", "読めません"));
            continue;
        }
        // A member with fewer traces than the array has receivers, or too few usable channels
        // for them, is left out by name; a geometry no member can take still stops the command.
        const int needed = ArrayReceiverCount(g);
        if (needed > 0 && traces < needed) {
            leave(FormatC(Msg(language, "%d traces, the array has %d receivers", "トレース数 %d (アレイの受振点は %d)").c_str(),
                          traces, needed));
            continue;
        }
        int receivers = traces;
        if (!g.BuildArrayGeometry(receivers, headers, GeometryContext(ws, ui))) return false;
        if (g.ReceiverChannels(receivers, traces).empty()) {
            leave(FormatC(Msg(language, "fewer than %d usable channels", "使えるチャンネルが %d 未満").c_str(), receivers));
            continue;
        }
        const int samples = std::clamp(headers[0].samples, 0, store.RowLength());
        const double dt = headers[0].intervalUs * 0.001;
        if (samples < 1 || !IsValidInterval(static_cast<float>(dt))) {
            leave(Msg(language, "no samples or no valid sample interval", "サンプルまたはサンプリング間隔が正しくありません"));
            continue;
        }
        const int length = ResolutionFftLength(samples, 1);
        if (used > 0 && length != nfft) {
            leave(FormatC(Msg(language, "transform length %d, not %d", "変換長 %d (最初のファイルは %d)").c_str(), length,
                          nfft));
            continue;
        }
        if (used > 0 && std::fabs(dt - interval) > 0.001) {
            leave(FormatC(Msg(language, "sample interval %g ms, not %g ms", "サンプリング間隔 %g ms (最初のファイルは %g ms)")
                              .c_str(),
                          dt, interval));
            continue;
        }
        if (used > 0 && g.spacingCount != rowCount) {
            leave(FormatC(Msg(language, "%d spacings, not %d", "間隔の数 %d (最初のファイルは %d)").c_str(), g.spacingCount,
                          rowCount));
            continue;
        }
        g.Spac2D(receivers, samples, rows, headers, 1, traces, DiagnosticLog(ws));
        if (used == 0) {
            nfft = length;
            interval = dt;
            rowCount = g.spacingCount;
            width = samples;
            sums.assign(static_cast<size_t>(rowCount) * static_cast<size_t>(store.RowLength()), 0.0);
            firstName = FileNameOf(path);
        }
        width = std::min(width, samples);
        const auto stride = static_cast<size_t>(store.RowLength());
        for (int k = 0; k < rowCount; ++k) {
            const std::span<const float> row = rows.Row(k);
            double* sum = sums.data() + static_cast<size_t>(k) * stride;
            for (int j = 0; j < samples; ++j) sum[j] += row[static_cast<size_t>(j)];
        }
        outHeaders.assign(headers.begin(), headers.begin() + rowCount);
        lastName = FileNameOf(path);
        ++used;
    }
    if (!leftOut.empty()) {
        // Which files the average leaves out, and why: the image is the mean of the others.
        constexpr size_t kShown = 20;
        std::string list;
        for (size_t i = 0; i < leftOut.size() && i < kShown; ++i) list += "\n" + leftOut[i];
        if (leftOut.size() > kShown) {
            const int more = static_cast<int>(leftOut.size() - kShown);
            list += "\n" + (more == 1 ? Msg(language, "... and 1 more file", "... ほか 1 ファイル")
                                       : FormatC(Msg(language, "... and %d more files", "... ほか %d ファイル").c_str(), more));
        }
        Warn(ui, FormatC(Msg(language, "%d of %d files are left out of the average:",
                             "%d / %d 個のファイルは平均に含まれていません:")
                             .c_str(),
                         static_cast<int>(leftOut.size()), group.entryCount) +
                     list);
    }
    if (used == 0 || rowCount < 1) return false;

    BeforeRecordReplaced(ws);
    store.PushUndo();
    const auto stride = static_cast<size_t>(store.RowLength());
    std::string text;
    for (int k = 0; k < rowCount; ++k) {
        const std::span<float> row = store.current.rows.Row(store.current.rows.RowLow() + k);
        std::fill(row.begin(), row.end(), 0.0f);
        const double* sum = sums.data() + static_cast<size_t>(k) * stride;
        for (int j = 0; j < width; ++j) row[static_cast<size_t>(j)] = static_cast<float>(sum[j] / used);
        CTraceHeader& h = store.current.headers[static_cast<size_t>(k)];
        h = outHeaders[static_cast<size_t>(k)];
        h.receiverHundredths = static_cast<int32_t>(std::trunc(g.spacings[static_cast<size_t>(k)] * 100.0));
        for (int j = 0; j < 500 && j < width; j += 2) text += FormatC(" %f ", static_cast<double>(row[static_cast<size_t>(j)]));
        text += "\n";
    }
    DiagnosticLog(ws).Rewrite(kSpac2DAllLog, text);
    SetCoherenceImage(ws, rowCount, width, FrequencyStep(nfft, interval), nfft, 2,
                      FormatC("%s-%s", firstName.c_str(), lastName.c_str()));
    ShowArrayGeometry(ws);
    return true;
}

int SendCoherenceToViewer(Workspace& ws, UiHost& ui)
{
    if (!ws.olvenarLink) return 0;
    WaveformStore& store = ws.store;
    const int traces = store.TraceCount();
    // The bins' frequencies from the exact step, which the headers hold in whole thousandths.
    ws.olvenarLink->PutMatrix(store.current.rows,
                              std::span<const CTraceHeader>(store.current.headers.data(), static_cast<size_t>(traces)),
                              traces, traces > 0 ? DrawnIntervalUs(ws, 0) : 0.0);
    return ws.olvenarLink->Launch("COHERENCE", "MATRIX", LaunchServicesOf(ws, ui));
}

int CrossCorrelationGatherRecord(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const int traces = store.TraceCount();
    if (traces < 2) return 0;
    // The gather is made on a copy, so that a refusal leaves the record and undo as they were.
    Matrix2D<float> rows = store.current.rows;
    std::vector<CTraceHeader> headers(store.current.headers.begin(), store.current.headers.begin() + traces);
    std::vector<float> peaks(static_cast<size_t>(traces));
    TraceMaxima(traces, peaks, rows, headers);
    if (CrossCorrelationGather(ui, ws.startup.language, traces, rows, headers, peaks) <= 0) return 0;
    store.PushUndo();
    for (int t = 0; t < traces; ++t) {
        const std::span<const float> from = rows.Row(rows.RowLow() + t);
        const std::span<float> to = store.current.rows.Row(store.current.rows.RowLow() + t);
        std::copy(from.begin(), from.end(), to.begin());
        store.current.headers[static_cast<size_t>(t)] = headers[static_cast<size_t>(t)];
    }
    store.ComputeTraceMaxima();
    return 1;
}

int PhaseSubtraction(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    const int traces = store.Params().CountInCapacity();
    const std::vector<int32_t>& flags = store.Params().selectionFlags;
    int pair[2] = {0, 0};
    const int selected =
        traces > 0 ? SelectedTraceIndices(pair, std::span<const int32_t>(flags.data(),
                                                                           std::min(flags.size(), static_cast<size_t>(traces))))
                   : 0;
    if (selected < 2) {
        ui.Message(Msg(language, " Select 2 traces ! ", " トレースを2本選んでください ! "));
        return 0;
    }
    const auto& h = store.current.headers;
    ui.Message(FormatC(Msg(language, " Selected traces are %f m and %f m", " 選択したトレースは %f m と %f m です").c_str(),
                       h[static_cast<size_t>(pair[0])].receiverHundredths * 0.01,
                       h[static_cast<size_t>(pair[1])].receiverHundredths * 0.01));
    CPhaseVelocityCurveDlg dlg;
    dlg.Load(PhaseDifferenceParameters{});
    dlg.nShift = ws.contour.nShift;
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) return 0;
    ws.contour.nShift = dlg.nShift;
    // The two spectra; nothing is made of them yet.
    const int samples = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    const int nfft = PowerOfTwoLength(samples, 1);
    std::vector<double> re(static_cast<size_t>(nfft)), im(static_cast<size_t>(nfft));
    for (int t : pair) {
        const std::span<const float> row = store.current.rows.Row(store.current.rows.RowLow() + t);
        std::fill(re.begin(), re.end(), 0.0);
        std::fill(im.begin(), im.end(), 0.0);
        std::copy_n(row.begin(), std::min({static_cast<size_t>(samples), row.size(), re.size()}), re.begin());
        CFourier::Fft(re.data(), im.data(), nfft, 0, 0);
    }
    return 0;
}

int SuccessiveCrossCorrelation(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    CInputIntegerDlg dlg;
    dlg.title = Msg(language, "Enter spacing number !", "間隔の番号を入力してください !");
    dlg.value = 1;
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) return 0;
    const int s = dlg.value;
    const int traces = store.TraceCount();
    if (s < 1 || s >= traces) {
        Warn(ui, FormatC(Msg(language, "The spacing number must be 1 to %d !", "間隔の番号は 1 から %d です !").c_str(),
                         std::max(traces - 1, 1)));
        return 0;
    }
    const int samples = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    store.PushUndo();
    for (int i = 0; i + s < traces; ++i) {
        CCorrelationDlg::CrossCorrelateRowsPolar(samples, store.level1.rows.RowLow() + i,
                                                 store.level1.rows.RowLow() + i + s,
                                                 store.current.rows.RowLow() + i, store.level1.rows, store.current.rows);
    }
    CParameterSet& p = store.Params();
    p.traceCount = traces - s;
    p.tracesShown = std::min(p.tracesShown, p.traceCount);
    store.ComputeTraceMaxima();
    ClampDisplayWindow(ws);
    return 1;
}

int GenerateMicrotremorArrayData(Workspace& ws, UiHost& ui, std::optional<uint32_t> seed)
{
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    CMamGeometry& g = ws.MamGeometry();
    if (!RunArrayDialog(ws, ui)) return 0;
    CMicrotremorArrayDlg wave;
    DialogRequest request = wave.Request(language);
    if (!ui.RunDialog(request)) return 0;

    // Fresh headers for the build: one trace per channel of the store's capacity.
    int receivers = store.MaxTraces();
    std::vector<CTraceHeader> fresh(static_cast<size_t>(receivers));
    for (int i = 0; i < receivers; ++i) fresh[static_cast<size_t>(i)].Set(i + 1, i * 100, 0, 10, 1, 0.0f, 4000.0f, 0);
    if (!g.BuildArrayGeometry(receivers, fresh, GeometryContext(ws, ui))) return 0;

    SyntheticMicrotremor synthetic = SyntheticMicrotremor::FromFile(WorkingFile(ws, SyntheticMicrotremor::kSpectrumFile));
    const int N = synthetic.samples;
    // Records the store cannot hold are not written either.
    if (!CheckRecordFitsMaxSample(ws, ui, N)) return 0;
    if (receivers > store.MaxTraces()) {
        Warn(ui, TracesTooLargeText(language, store.MaxTraces()));
        return 0;
    }
    Matrix2D<float> rows(0, receivers - 1, 0, std::max(N, 1) - 1);
    std::vector<CTraceHeader> headers(static_cast<size_t>(receivers));
    const uint32_t start = seed ? *seed
                                : static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
    SyntheticRandom random(start);
    LogSink& log = DiagnosticLog(ws);
    for (int record = 1; record <= 10; ++record) {
        for (int d = 0; d < wave.directions; ++d) {
            synthetic.Generate(g.receivers, headers, rows, receivers, wave.angle + 18.5f * static_cast<float>(d),
                               wave.source, d, static_cast<uint32_t>(random.Next()), log);
        }
        const std::string path = WorkingFile(ws, FormatC("MicrotremorArrayData_%02d.8hd", record));
        const WriteStatus written = WriteEightHeaderFile(path, rows, headers, receivers);
        if (!written) {
            ui.Message(FileSaveFailedMessage(language, path, written.error), MsgButtons::Ok, MsgIcon::Error);
            return 0;
        }
    }

    const int samples = std::clamp(headers[0].samples, 0, N);
    BeforeRecordReplaced(ws);
    store.PushUndo();
    for (int i = 0; i < receivers; ++i) {
        const std::span<float> row = store.current.rows.Row(store.current.rows.RowLow() + i);
        std::fill(row.begin(), row.end(), 0.0f);
        const std::span<const float> from = rows.Row(i);
        std::copy_n(from.begin(), std::min(static_cast<size_t>(std::max(samples, 0)), row.size()), row.begin());
        store.current.headers[static_cast<size_t>(i)] = headers[static_cast<size_t>(i)];
    }
    CParameterSet& p = store.Params();
    p.traceCount = receivers;
    p.tracesShown = receivers;
    p.samplesPerTrace = samples;
    p.samplesShown = samples;
    p.sampleInterval = headers[0].intervalUs * 0.001f;
    p.shownTime = static_cast<float>(samples) * p.sampleInterval;
    p.recordKind = 0;
    p.plotscale = 50.0f;
    p.hscale = 25.0f;
    store.dataKind() = kTimeDomain;
    store.ComputeTraceMaxima();
    ws.display.firstReceiver = 1.0f;
    ws.display.lastReceiver = static_cast<float>(receivers - 1);
    ShowArrayGeometry(ws);
    ClampDisplayWindow(ws);
    AfterRecordBuilt(ws);
    return receivers;
}

int ConfirmProcedureStep(UiHost& ui, int language) { return CStepConfirmDlg::Ask(ui, language); }

}  // namespace velk
