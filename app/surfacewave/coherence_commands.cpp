// The trace-pair operations of the processing menu and the group commands of the surface-wave
// subsystem: CWaveOperations::CorrelateWithReference and CoherenceSelected, CrossCorrelationGathers,
// ForwardFourierAll and WriteGpsGeometry (declared in surfacewave_seams.h), and the rows of the
// microtremor-array commands (spac_commands.h).

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "app/command_table.h"
#include "app/dsp/data_kind.h"
#include "app/dsp/filter_test.h"
#include "app/formats/document.h"
#include "app/formats/load_setup.h"
#include "app/operations.h"
#include "app/surfacewave/spac_commands.h"
#include "app/surfacewave/phase_velocity_commands.h"
#include "app/surfacewave/surfacewave_seams.h"
#include "app/survey/file_list_commands.h"
#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "dsp/band_pass.h"
#include "dsp/fourier.h"
#include "formats/format_support.h"
#include "formats/seg2.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "surfacewave/mam_geometry.h"
#include "surfacewave/spac_kernels.h"
#include "surfacewave/trace_pair_kernels.h"

namespace velk {

namespace {

void Warn(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

// The first `count` samples of row i (within its length) into re, zeros to n; im zero.
void PackRow(const Matrix2D<float>& rows, int i, int count, int n, double* re, double* im)
{
    const std::span<const float> row = rows.Row(rows.RowLow() + i);
    const int own = std::clamp(count, 0, std::min(n, static_cast<int>(row.size())));
    for (int j = 0; j < own; ++j) re[j] = row[static_cast<size_t>(j)];
    std::fill(re + own, re + n, 0.0);
    std::fill(im, im + n, 0.0);
}

}  // namespace


int CWaveOperations::CorrelateWithReference()
{
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    const int reference = FirstSelectedTrace(ws);
    if (reference < 0) {
        Warn(ui, Msg(language, "No reference trace is selected !", "基本波形が指定されていません"));
        return 0;
    }
    const int samples = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    if (store.Params().samplesPerTrace > 4096) {
        Warn(ui, Msg(language, "Cross correlation (up to 2048) takes records of at most 4096 samples !",
                     "相互相関 (2048まで) は 4096 サンプル以下の記録に限られます !"));
        return 0;
    }
    const int half = PowerOfTwoLength(samples, 1) / 2;
    int n = 0, m = 0;
    CBandPassDlg::PowerOfTwoAtLeast(half, n, m);
    std::vector<double> table(static_cast<size_t>(n / 4 + 2));
    CBandPassDlg::BuildCosTable(m, table);

    // One-based arrays (elements 1..n).
    std::vector<double> ra(static_cast<size_t>(n) + 1), rp(static_cast<size_t>(n) + 1);
    std::vector<double> ta(static_cast<size_t>(n) + 1), tp(static_cast<size_t>(n) + 1);
    PackRow(store.current.rows, reference, half, n, ra.data() + 1, rp.data() + 1);
    CBandPassDlg::FftTabled(ra.data(), rp.data(), table, m, -1);
    CBandPassDlg::RectToPolar1(n, ra.data(), rp.data());

    store.PushUndo();
    const int traces = store.TraceCount();
    for (int i = 0; i < traces; ++i) {
        progress.SetText(FormatC(" Correlation : trace = %d ", i + 1));
        PackRow(store.current.rows, i, half, n, ta.data() + 1, tp.data() + 1);
        CBandPassDlg::FftTabled(ta.data(), tp.data(), table, m, -1);
        CBandPassDlg::RectToPolar1(n, ta.data(), tp.data());
        for (int k = 1; k <= n; ++k) {
            ta[static_cast<size_t>(k)] *= ra[static_cast<size_t>(k)];
            tp[static_cast<size_t>(k)] -= rp[static_cast<size_t>(k)];
        }
        CBandPassDlg::PolarToRect1(n, ta.data(), tp.data());
        CBandPassDlg::FftTabled(ta.data(), tp.data(), table, m, 1);
        const std::span<float> row = store.current.rows.Row(store.current.rows.RowLow() + i);
        std::fill(row.begin(), row.begin() + std::min(row.size(), static_cast<size_t>(std::max(samples, half))), 0.0f);
        for (int j = 0; j < half && j < n && static_cast<size_t>(j) < row.size(); ++j) {
            row[static_cast<size_t>(j)] = static_cast<float>(-ta[static_cast<size_t>(j) + 1]);
        }
        store.current.headers[static_cast<size_t>(i)].samples = half;
    }
    store.Params().samplesPerTrace = half;
    store.ComputeTraceMaxima();
    store.dataKind() = kTimeDomain;
    ClampDisplayWindow(ws);
    return 1;
}

int CWaveOperations::CoherenceSelected()
{
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    const int reference = FirstSelectedTrace(ws);
    if (reference < 0) {
        Warn(ui, Msg(language, "No trace is selected !", "トレースが選択されていません !"));
        return 0;
    }
    const int own = std::clamp(store.current.headers[static_cast<size_t>(reference)].samples, 0, store.RowLength());
    const int n = PowerOfTwoLength(own, 1);
    if (n > store.RowLength()) {
        Warn(ui, SamplesTooLargeText(language, store.MaxSample()));
        return 0;
    }
    const float dt = store.Params().sampleInterval;
    if (!IsValidInterval(dt)) {
        Warn(ui, InvalidIntervalMessage(language));
        return 0;
    }
    const double df = FrequencyStep(n, dt);
    const auto length = static_cast<size_t>(n);
    std::vector<double> ar(length), ai(length), br(length), bi(length);
    PackRow(store.current.rows, reference, own, n, ar.data(), ai.data());
    CFourier::Fft(ar.data(), ai.data(), n, 0, 0);

    store.PushUndo();
    const int traces = store.TraceCount();
    std::vector<float> rho(length);
    for (int k = 0; k < traces; ++k) {
        const int count = std::clamp(store.current.headers[static_cast<size_t>(k)].samples, 0, n);
        PackRow(store.current.rows, k, count, n, br.data(), bi.data());
        CFourier::Fft(br.data(), bi.data(), n, 0, 0);
        CoherencyFromSpectra(n, ar, ai, br, bi, rho);
        const std::span<float> row = store.current.rows.Row(store.current.rows.RowLow() + k);
        std::copy_n(rho.begin(), std::min(length, row.size()), row.begin());
        CTraceHeader& h = store.current.headers[static_cast<size_t>(k)];
        h.samples = n / 2;
        h.intervalUs = static_cast<float>(std::trunc(df * 1000.0));
    }
    CParameterSet& p = store.Params();
    p.samplesPerTrace = n / 2;
    p.sampleInterval = static_cast<float>(df);
    p.samplesShown = n / 16;
    p.shownTime = static_cast<float>(df * (n / 16));
    store.dataKind() = kRealSpectrum;
    store.ComputeTraceMaxima();
    ClampDisplayWindow(ws);
    return 1;
}

int CrossCorrelationGathers(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    WaveformStore& store = ws.store;
    CFileGroup& group = ws.fileGroup;
    const int language = ws.startup.language;
    Matrix2D<float> rows(0, store.MaxTraces() - 1, 0, store.RowLength() - 1);
    std::vector<CTraceHeader> headers(static_cast<size_t>(store.MaxTraces()));
    std::vector<CTraceHeaderEx> extended(static_cast<size_t>(store.MaxTraces()));
    std::vector<float> peaks(static_cast<size_t>(store.MaxTraces()));
    const GroupReadContext read = MakeGroupReadContext(ws, ui);
    for (int f = 0; f < group.entryCount; ++f) {
        progress.SetText(FormatC("Calculating cross-correlation gathers : index = %d", f));
        std::string path;
        const int traces = group.ReadNthFile(f, rows, headers, extended, &path, read);
        if (traces <= 0) continue;
        TraceMaxima(traces, peaks, rows, headers);
        const int count = CrossCorrelationGather(ui, language, traces, rows, headers, peaks);
        if (count <= 0) continue;
        const size_t slash = path.find_last_of('/');
        const size_t dot = path.find_last_of('.');
        const std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash) ? path.substr(0, dot)
                                                                                                         : path;
        const std::string target = stem + "_ccg.sg2";
        const WriteStatus written = WriteSeg2File(target, rows, headers, count, 4, 1.0f);
        if (!written) ui.Message(FileSaveFailedMessage(language, target, written.error), MsgButtons::Ok, MsgIcon::Error);
    }
    return 0;
}

int ForwardFourierAll(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    WaveformStore& store = ws.store;
    CFileGroup& group = ws.fileGroup;
    if (group.entryCount < 1) return 0;
    Matrix2D<float> rows(0, store.MaxTraces() - 1, 0, store.RowLength() - 1);
    std::vector<CTraceHeader> headers(static_cast<size_t>(store.MaxTraces()));
    std::vector<CTraceHeaderEx> extended(static_cast<size_t>(store.MaxTraces()));
    const GroupReadContext read = MakeGroupReadContext(ws, ui);
    const auto stride = static_cast<size_t>(store.RowLength());
    std::vector<double> sums;
    std::vector<CTraceHeader> first;
    std::vector<double> re(stride), im(stride);
    int used = 0, traces = 0, nfft = 0;
    float interval = 0.0f;
    for (int f = 0; f < group.entryCount; ++f) {
        std::string path;
        const int count = group.ReadNthFile(f, rows, headers, extended, &path, read);
        if (count <= 0) continue;
        const int samples = std::clamp(headers[0].samples, 0, store.RowLength());
        const int length = PowerOfTwoLength(samples, 1);
        const float dt = headers[0].intervalUs * 0.001f;
        if (length > store.RowLength() || !IsValidInterval(dt)) continue;
        if (used > 0 && (count != traces || length != nfft || std::fabs(dt - interval) > 0.001f)) continue;
        if (used == 0) {
            traces = count;
            nfft = length;
            interval = dt;
            sums.assign(static_cast<size_t>(traces) * stride, 0.0);
            first.assign(headers.begin(), headers.begin() + traces);
        }
        for (int t = 0; t < traces; ++t) {
            progress.SetText(FormatC("Forward Fourier transform  index = %d trace=%d", f, t));
            const int own = std::clamp(headers[static_cast<size_t>(t)].samples, 0, samples);
            PackRow(rows, t, own, nfft, re.data(), im.data());
            CFourier::Fft(re.data(), im.data(), nfft, 0, 0);
            double* sum = sums.data() + static_cast<size_t>(t) * stride;
            for (int j = 0; j < nfft; ++j) sum[j] += std::hypot(re[static_cast<size_t>(j)], im[static_cast<size_t>(j)]);
        }
        ++used;
    }
    if (used == 0) return 0;

    store.PushUndo();
    const double df = FrequencyStep(nfft, interval);
    for (int t = 0; t < traces; ++t) {
        const std::span<float> row = store.current.rows.Row(store.current.rows.RowLow() + t);
        std::fill(row.begin(), row.end(), 0.0f);
        const double* sum = sums.data() + static_cast<size_t>(t) * stride;
        for (int j = 0; j < nfft; ++j) row[static_cast<size_t>(j)] = static_cast<float>(sum[j] / used);
        CTraceHeader& h = store.current.headers[static_cast<size_t>(t)];
        h = first[static_cast<size_t>(t)];
        h.intervalUs = static_cast<float>(std::trunc(df * 1000.0));
        h.samples = nfft / 2;
    }
    CParameterSet& p = store.Params();
    p.traceCount = traces;
    p.tracesShown = traces;
    p.samplesPerTrace = nfft / 2;
    p.sampleInterval = static_cast<float>(df);
    p.samplesShown = nfft / 8;
    p.shownTime = static_cast<float>(df * (nfft / 8));
    p.recordKind = 0;
    store.dataKind() = kRealSpectrum;
    store.ComputeTraceMaxima();
    ClampDisplayWindow(ws);
    return used;
}

bool WriteGpsGeometry(Workspace& ws, UiHost& ui, int zone)
{
    WaveformStore& store = ws.store;
    CFileGroup& group = ws.fileGroup;
    const int traces = store.TraceCount();
    if (group.entryCount < 1 || traces < 1) return false;
    Matrix2D<float> rows(0, store.MaxTraces() - 1, 0, store.RowLength() - 1);
    std::vector<CTraceHeader> headers(static_cast<size_t>(store.MaxTraces()));
    std::vector<CTraceHeaderEx> extended(static_cast<size_t>(store.MaxTraces()));
    const GroupReadContext read = MakeGroupReadContext(ws, ui);
    std::vector<double> latitude(static_cast<size_t>(traces), 0.0), longitude(static_cast<size_t>(traces), 0.0);
    std::vector<int> seen(static_cast<size_t>(traces), 0);
    std::string text;
    for (int f = 0; f < group.entryCount; ++f) {
        std::string path;
        std::fill(extended.begin(), extended.end(), CTraceHeaderEx{});
        const int count = group.ReadNthFile(f, rows, headers, extended, &path, read);
        if (count > traces) return false;
        for (int t = 0; t < count; ++t) {
            const CTraceHeaderEx& e = extended[static_cast<size_t>(t)];
            if (!(e.latitude > CTraceHeaderEx::kUnknownDegrees && e.longitude > CTraceHeaderEx::kUnknownDegrees)) continue;
            latitude[static_cast<size_t>(t)] += e.latitude;
            longitude[static_cast<size_t>(t)] += e.longitude;
            ++seen[static_cast<size_t>(t)];
            text += FormatC("%d %d %f %f\n", f, t, static_cast<double>(e.latitude), static_cast<double>(e.longitude));
        }
    }
    std::vector<CTraceHeaderEx> mean(store.headersEx.begin(), store.headersEx.begin() + traces);
    for (size_t t = 0; t < mean.size(); ++t) {
        mean[t].latitude = seen[t] > 0 ? static_cast<float>(latitude[t] / seen[t]) : 0.0f;
        mean[t].longitude = seen[t] > 0 ? static_cast<float>(longitude[t] / seen[t]) : 0.0f;
    }
    CMamGeometry& g = ws.MamGeometry();
    g.ResetUsableChannels();
    if (g.GeometryFromGps(traces, store.current.headers, mean, zone, ui, ws.startup.language) <= 0) return false;
    for (size_t t = 0; t < mean.size(); ++t) {
        text += FormatC("%d %f %f %f %f\n", static_cast<int>(t), static_cast<double>(mean[t].latitude),
                        static_cast<double>(mean[t].longitude), static_cast<double>(mean[t].x),
                        static_cast<double>(mean[t].y));
    }
    DiagnosticLog(ws).Rewrite("GeometryGPS.txt", text);
    ShowArrayGeometry(ws);
    ws.display.displayMode = 4;
    return true;
}

// ---------------------------------------------------------------------------------------------

void AddSpacCommands(CommandTable& t)
{
    auto add = [&](int id, const char* menu, double order, const char* en, const char* ja, CommandAction action,
                   int rule) {
        t.Add(MakeRow(id, menu, order, en, ja, std::move(action), rule));
    };
    const char* s = "surfacewave";
    // A new coherence image fills the window.
    auto image = [](bool made, CommandContext& c) {
        if (!made) return 0;
        FitImageToWindow(c.ws, c.view, true);
        return 1;
    };
    add(cmd::kSpac1DReferenceTrace, s, 30, "Spatial autocorrelation (1D SPAC based on 1 trace)",
        "空間自己相関 (1トレース基準の1D SPAC)",
        [image](CommandContext& c) { return image(Spac1DReferenceTrace(c.ws, c.ui, c.doc.currentFileName), c); }, kRuleWaveformRecordSpac);
    add(cmd::kSpac1DAllPairs, s, 31, "Spatial autocorrelation (1D SPAC)", "空間自己相関 (1D SPAC)",
        [image](CommandContext& c) { return image(Spac1DAllPairs(c.ws, c.ui, c.doc.currentFileName), c); }, kRuleWaveformRecordSpac);
    add(cmd::kSpac2DRecord, s, 32, "Spatial autocorrelation (2D SPAC:MAM)", "空間自己相関 (2D SPAC:MAM)",
        [image](CommandContext& c) {
            ViewProgressText progress(c.view);
            return image(Spac2DRecord(c.ws, c.ui, progress, c.doc.currentFileName), c);
        },
        kRuleAlways);
    add(cmd::kSpac2DFileGroup, s, 33, "Spatial autocorrelation (MAM : SPAC)", "空間自己相関 (MAM : SPAC)",
        [image](CommandContext& c) {
            ViewProgressText progress(c.view);
            return image(Spac2DFileGroup(c.ws, c.ui, progress, c.doc.currentFileName), c);
        },
        kRuleFileGroupListed);
    add(cmd::kShowBesselFunction, s, 34, "Show Bessel function", "ベッセル関数を表示",
        [](CommandContext& c) {
            SendCoherenceToViewer(c.ws, c.ui);
            return 0;
        },
        kRuleCoherenceImage);
    add(cmd::kCrossCorrelationGatherRecord, s, 40, "Cross correlation gather", "相互相関ギャザー",
        [](CommandContext& c) { return CrossCorrelationGatherRecord(c.ws, c.ui); }, kRuleTwoTracesLoaded);
    add(cmd::kPhaseSubtraction, s, 42, "From two traces (Phase subtraction)", "2トレースから (位相差)",
        [](CommandContext& c) { return PhaseSubtraction(c.ws, c.ui); }, kRuleAlways);
    add(cmd::kSuccessiveCrossCorrelation, s, 41, "Successive cross correlation", "連続相互相関",
        [](CommandContext& c) { return SuccessiveCrossCorrelation(c.ws, c.ui); }, kRuleAlways);
    add(cmd::kSetUpMamGeometry, s, 50, "Set up MAM geometry", "微動アレイのジオメトリを設定",
        [](CommandContext& c) { return ArrayGeometryDialog(c.ws, c.ui, c.doc.currentFileName) ? 1 : 0; },
        kRuleTracesLoaded);
    add(cmd::kSetUpMamGeometryFromGps, s, 51, "Set up MAM geometry from GPS", "GPS から微動アレイのジオメトリを設定",
        [](CommandContext& c) { return MamGeometryFromGps(c.ws, c.ui, c.ws.settings.coordinateMode) ? 1 : 0; },
        kRuleGpsPositions);
    t.AddMenuIfMissing({"option.generate", "option", "Genarate waveform data", "波形データの生成", kInAllMenus, 720});
    add(cmd::kMicrotremorArrayData, "option.generate", 60, "Microtremor array data", "微動アレイデータ",
        [](CommandContext& c) { return GenerateMicrotremorArrayData(c.ws, c.ui) > 0 ? 1 : 0; }, kRuleAlways);

    t.SetRule(kRuleWaveformRecordSpac,
              [](const Workspace& ws, const RecentFileList&) { return ws.store.DispersionFlag() == 0; });
    t.SetRule(kRuleFileGroupListed,
              [](const Workspace& ws, const RecentFileList&) { return ws.fileGroup.entryCount > 0; });
    t.SetRule(kRuleCoherenceImage,
              [](const Workspace& ws, const RecentFileList&) { return ws.store.DispersionFlag() == 2; });
    t.SetRule(kRuleTwoTracesLoaded,
              [](const Workspace& ws, const RecentFileList&) { return ws.store.TraceCount() >= 2; });
    t.SetRule(kRuleGpsPositions, [](const Workspace& ws, const RecentFileList&) {
        const int traces = ws.store.TraceCount();
        if (traces < 1) return false;
        for (int i = 0; i < traces; ++i) {
            if (!(ws.store.headersEx[static_cast<size_t>(i)].latitude > CTraceHeaderEx::kUnknownDegrees)) return false;
        }
        return true;
    });
}

}  // namespace velk
