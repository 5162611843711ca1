// The file group's dispersion analyses: common source, one CMP and every CMP of the line
// (declared with the group's seams in surfacewave_seams.h).

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "app/dsp/data_kind.h"
#include "app/formats/document.h"
#include "app/surfacewave/cmp_commands.h"
#include "app/surfacewave/line_curves.h"
#include "app/surfacewave/surfacewave_seams.h"
#include "app/survey/exchange_commands.h"
#include "app/survey/file_list_commands.h"
#include "app/survey/group_commands.h"
#include "app/workspace.h"
#include "formats/eight_header.h"
#include "formats/format_support.h"
#include "formats/seg2.h"
#include "platform/atomic_file.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "surfacewave/cmp_dispersion.h"
#include "surfacewave/cmp_phase_velocity_dlg.h"
#include "surfacewave/phase_difference.h"
#include "surfacewave/phase_velocity_curve_dlg.h"
#include "surfacewave/phase_velocity_dlg.h"
#include "survey/file_group.h"
#include "survey/olvenar_link.h"
#include "survey/sibling_launch.h"
#include "traveltime/traveltime_set.h"

namespace velk {

namespace {

bool Loaded(const Workspace& ws) { return ws.fileGroup.dataLoaded == 1; }

std::string WorkingPath(const Workspace& ws, const std::string& name)
{
    return (std::filesystem::path(ws.workingFolder) / name).string();
}

void WriteText(Workspace& ws, UiHost& ui, const std::string& name, const std::string& text)
{
    const std::string path = WorkingPath(ws, name);
    AtomicFileWriter out(path);
    if (!out.Failed()) {
        out.Write(text);
        if (out.Commit()) return;
    }
    ui.Message(FileSaveFailedMessage(ws.startup.language, path, out.Error()), MsgButtons::Ok, MsgIcon::Error);
}

// Dialog 225 with the bin size (and, for one CMP, the CMP distance); false on Cancel.
bool AskCmpDialog(UiHost& ui, int language, bool oneCmp, CCmpPhaseVelocityDlg& dlg)
{
    dlg.captions = {Msg(language, "Bin size (CMP interval)", "ビンサイズ (CMP間隔)"),
                    oneCmp ? Msg(language, "CMP distance", "CMP距離") : std::string(), std::string()};
    dlg.values = {4.0f, 0.0f, 0.0f};
    dlg.method = kCmpCrossCorrelation;
    DialogRequest r = dlg.Request(language);
    return ui.RunDialog(r);
}

// Dialog 205 over the phase-difference parameters, with the resolution and separations of a
// CMP analysis; false on Cancel.
bool AskPairCurveDialog(UiHost& ui, int language, PhaseDifferenceParameters& p, int maxSeparation,
                        CPhaseVelocityCurveDlg& dlg)
{
    dlg.Load(p);
    dlg.resolution = 1;
    dlg.minSeparation = 1;
    dlg.maxSeparation = std::clamp(maxSeparation, 1, 400);
    DialogRequest r = dlg.Request(language);
    if (!ui.RunDialog(r)) return false;
    dlg.Store(p);
    return true;
}

CmpPairOptions PairOptions(const CCmpPhaseVelocityDlg& cmp, const PhaseDifferenceParameters& p)
{
    CmpPairOptions o;
    o.method = std::clamp(cmp.method, 0, 2);
    o.bin = cmp.values[0];
    o.minimumOffset = 0.0;
    o.maximumOffset = 1.0e7;
    o.pairMinimumOffset = p.minimumOffset;
    return o;
}

// Rows and headers into the store from trace 0 (the caller has pushed undo).
void StoreTraces(Workspace& ws, const std::vector<std::vector<float>>& traces, const std::vector<CTraceHeader>& headers,
                 float intervalMs)
{
    WaveformStore& store = ws.store;
    const int n = std::min(static_cast<int>(traces.size()), store.MaxTraces());
    int samples = 0;
    for (int i = 0; i < n; ++i) {
        const auto row = store.current.rows.Row(store.current.rows.RowLow() + i);
        std::fill(row.begin(), row.end(), 0.0f);
        const auto& t = traces[static_cast<size_t>(i)];
        const size_t m = std::min(t.size(), row.size());
        std::copy_n(t.begin(), m, row.begin());
        CTraceHeader h = headers[static_cast<size_t>(i)];
        h.samples = static_cast<int32_t>(m);
        store.current.headers[static_cast<size_t>(i)] = h;
        samples = std::max(samples, static_cast<int>(m));
    }
    CParameterSet& p = store.Params();
    p.traceCount = n;
    p.samplesPerTrace = samples;
    p.sampleInterval = intervalMs;
    store.dataKind() = kTimeDomain;
    store.ComputeTraceMaxima();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Common source


int CommonSourceDispersion(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    CFileGroup& g = ws.fileGroup;
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    const int files = std::min(g.entryCount, static_cast<int>(CTraveltimeSet::kMaxShots));
    if (files <= 0 || !Loaded(ws) || !store.IsAllocated() || RefuseMixedList(ws, ui)) return 0;

    PhaseDifferenceParameters parameters;
    const LaunchServices launch = LaunchServicesOf(ws, ui);
    PairCurveContext dc{ui, language, &progress, ws.olvenarLink.get(), &ws.programPaths.quessil, &launch};
    Matrix2D<float> rows(0, store.MaxTraces() - 1, 0, store.RowLength() - 1);
    std::vector<CTraceHeader> headers(static_cast<size_t>(store.MaxTraces()));
    std::vector<LineCurve> curves(static_cast<size_t>(files));
    std::vector<float> velocities, frequencies;
    bool stopped = false;  // a shot gather beyond the trace capacity
    // Each member from its own traces, as "Phase velocity (2D : automatic)" does.
    const GroupReadContext read = MakeGroupReadContext(ws, ui);
    std::vector<std::string> names(static_cast<size_t>(files));
    for (int n = 0; n < files; ++n) {
        progress.SetText(FormatC("source=%d", n));
        bool full = false;
        std::string path;
        const int count = g.ShotRecordGather(n, rows, headers, &path, read, &full);
        stopped = stopped || full;
        names[static_cast<size_t>(n)] = FileNameOf(path);
        const int samples = count > 0 ? headers[0].samples : 0;
        const int bins = PhaseDifferenceBins(std::max(samples, 1));
        velocities.assign(static_cast<size_t>(bins), 0.0f);
        frequencies.assign(static_cast<size_t>(bins), 0.0f);
        const int kept = count > 1 ? PhaseDifferenceCurve(dc, parameters, rows, headers, count, kCommonSourceFileName,
                                                          velocities, frequencies, n)
                                   : 0;
        if (n == 0 && kept == 0 && count > 1) return 0;  // Cancel on the first dialog
        LineCurve& c = curves[static_cast<size_t>(n)];
        c.position = count > 0 ? static_cast<float>(headers[0].sourceHundredths * 0.01) : 0.0f;
        for (int k = 0; k < std::min(kept, bins); ++k) {
            if (velocities[static_cast<size_t>(k)] > 0.0f) {
                c.points.push_back({frequencies[static_cast<size_t>(k)], velocities[static_cast<size_t>(k)], 1, 0.0f});
            }
        }
    }
    PutLineCurves(ws.curveSet, curves);
    WriteLineCurves(ws, ui, kCommonSourceFileName);
    TellSharedPositions(ui, language, curves, names);
    if (stopped) ui.Message(GatherTooLargeText(language, store.MaxTraces()), MsgButtons::Ok, MsgIcon::Warning);
    TellSourcesLeftOut(ui, language, g.entryCount);
    return files;
}

// ---------------------------------------------------------------------------------------------
// One CMP


int OneCmpDispersion(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    CFileGroup& g = ws.fileGroup;
    const int language = ws.startup.language;
    if (!Loaded(ws) || !ws.store.IsAllocated() || RefuseMixedList(ws, ui) || RefuseMixedIntervals(ws, ui)) return 0;
    CCmpPhaseVelocityDlg cmpDlg;
    if (!AskCmpDialog(ui, language, true, cmpDlg)) return 0;
    PhaseDifferenceParameters parameters;
    CPhaseVelocityCurveDlg curveDlg;
    if (!AskPairCurveDialog(ui, language, parameters, g.entryCount, curveDlg)) return 0;

    CmpPairOptions options = PairOptions(cmpDlg, parameters);
    options.keepPairTraces = true;
    const double cmp = cmpDlg.values[1] - cmpDlg.values[0] / 2.0;
    const CmpSpectra spectra(g, curveDlg.resolution);
    const MultiSeparationResult result = MultiSeparationCurve(
        g, spectra, cmp, 1, curveDlg.maxSeparation, options, [&progress](const std::string& t) { progress.SetText(t); });
    WriteText(ws, ui, kMultiSeparationFileName, result.log);

    if (parameters.showPhaseVelocityCurve != 0 && !result.points.empty()) {
        std::vector<float> x, y, z;
        for (const CmpCurvePoint& p : result.points) {
            if (static_cast<int>(x.size()) >= kMaxCmpCurvePoints) break;
            x.push_back(p.frequency), y.push_back(p.velocity), z.push_back(0.0f);
        }
        SendCurveToQuessilNamed(ws.programPaths.quessil, static_cast<int>(x.size()), x, y, z, " ",
                                kMultiSeparationFileName, LaunchServicesOf(ws, ui));
    }
    if (options.method == kCmpPhaseDifference || result.kept.empty()) return 0;

    // Per separation its pair gather (one trace per pair, then the mean trace).
    const float intervalUs = static_cast<float>(spectra.IntervalMs() * 1000.0);
    std::vector<std::vector<float>> traces;
    std::vector<CTraceHeader> headers;
    for (const CmpSeparationGather& s : result.kept) {
        traces.clear(), headers.clear();
        const CmpPairGatherResult& r = s.gather;
        const int samples = static_cast<int>(r.meanTrace.size());
        for (size_t i = 0; i < r.pairTraces.size(); ++i) {
            traces.push_back(r.pairTraces[i]);
            headers.push_back(CmpPairTraceHeader(cmp, static_cast<int>(i), samples, intervalUs));
        }
        traces.push_back(r.meanTrace);
        headers.push_back(CmpMeanTraceHeader(cmp, samples, intervalUs));
        const int nt = static_cast<int>(traces.size());
        Matrix2D<float> rows(0, nt - 1, 0, std::max(samples, 1) - 1);
        for (int i = 0; i < nt; ++i) std::copy(traces[static_cast<size_t>(i)].begin(), traces[static_cast<size_t>(i)].end(), rows.Row(i).begin());
        const bool coherence = options.method == kCmpCoherence;
        const std::string name = FormatC(coherence ? "cmp%f_separation%d.coh" : "cmp%f_separation%d.8hd", cmp, s.separation);
        const std::string path = WorkingPath(ws, name);
        const WriteStatus status = coherence ? WriteSeg2File(path, rows, headers, nt, 4, 1.0f)
                                             : WriteEightHeaderFile(path, rows, headers, nt);
        if (!status.ok) {
            ui.Message(FileSaveFailedMessage(language, path, status.error), MsgButtons::Ok, MsgIcon::Error);
        }
    }
    // The store keeps the last gather (the caller has pushed undo).
    if (static_cast<int>(traces.size()) > ws.store.MaxTraces()) {
        ui.Message(TracesTooLargeText(language, ws.store.MaxTraces()), MsgButtons::Ok, MsgIcon::Warning);
    }
    StoreTraces(ws, traces, headers, static_cast<float>(spectra.IntervalMs()));
    return ws.store.TraceCount();
}

// ---------------------------------------------------------------------------------------------
// Every CMP


int CmpDispersion(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    CFileGroup& g = ws.fileGroup;
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    if (!Loaded(ws) || !store.IsAllocated() || g.cdpCount <= 0 || RefuseMixedList(ws, ui) || RefuseMixedIntervals(ws, ui)) {
        return 0;
    }
    CCmpPhaseVelocityDlg cmpDlg;
    if (!AskCmpDialog(ui, language, false, cmpDlg)) return 0;
    PhaseDifferenceParameters parameters;
    CPhaseVelocityCurveDlg curveDlg;
    if (!AskPairCurveDialog(ui, language, parameters, 1, curveDlg)) return 0;

    const CmpPairOptions options = PairOptions(cmpDlg, parameters);
    const CmpSpectra spectra(g, curveDlg.resolution);
    const std::vector<double> positions =
        CmpPositions(g.cdpPositions[0] * 0.01, g.cdpPositions[static_cast<size_t>(g.cdpCount - 1)] * 0.01, options.bin);
    const std::vector<CmpLineCurve> lines =
        CmpLineCurves(g, spectra, positions, curveDlg.minSeparation, std::max(curveDlg.minSeparation, curveDlg.maxSeparation),
                      options, parameters.minimumFrequency, parameters.maximumFrequency);

    // Store traces and curves are numbered apart: a CMP without points has neither.
    const float intervalUs = static_cast<float>(spectra.IntervalMs() * 1000.0);
    std::vector<std::vector<float>> traces;
    std::vector<CTraceHeader> headers;
    std::vector<LineCurve> curves;
    bool tooMany = false;
    int cmpsLeftOut = 0;  // CMPs with a curve beyond the table's capacity
    double firstLeftOut = 0.0;
    int withoutCurve = 0;  // CMPs whose pairs gave no point
    for (size_t i = 0; i < lines.size(); ++i) {
        const CmpLineCurve& line = lines[i];
        if (line.points.empty()) {
            ++withoutCurve;
            continue;
        }
        if (static_cast<int>(curves.size()) >= CTraveltimeSet::kMaxShots) {
            if (cmpsLeftOut++ == 0) firstLeftOut = line.cmp;
            continue;
        }
        progress.SetText(FormatC("CMP=%fm nt=%d     ", line.cmp, static_cast<int>(line.points.size())));
        if (!line.trace.empty()) {
            if (static_cast<int>(traces.size()) < store.MaxTraces()) {
                CTraceHeader h = CmpMeanTraceHeader(line.cmp, static_cast<int>(line.trace.size()), intervalUs);
                if (options.method == kCmpCrossCorrelation) h.traceNumber = static_cast<int32_t>(i);
                traces.push_back(line.trace);
                headers.push_back(h);
            } else {
                tooMany = true;
            }
        }
        LineCurve c;
        c.position = static_cast<float>(line.cmp);
        for (const CmpCurvePoint& p : line.points) c.points.push_back({p.frequency, p.velocity, 1, 0.0f});
        curves.push_back(std::move(c));
    }
    TellCurvesMissing(ui, language, withoutCurve, static_cast<int>(lines.size()), true);
    if (curves.empty()) return 0;
    if (!traces.empty()) {
        store.PushUndo();  // the CMP traces replace the record
        StoreTraces(ws, traces, headers, static_cast<float>(spectra.IntervalMs()));
    }
    PutLineCurves(ws.curveSet, curves);
    WriteLineCurves(ws, ui, kCmpFileName);
    if (tooMany) ui.Message(TracesTooLargeText(language, store.MaxTraces()), MsgButtons::Ok, MsgIcon::Warning);
    if (cmpsLeftOut > 0) {
        ui.Message(FormatC(Msg(language,
                               "The CMP curves hold at most %d CMPs: %d CMPs from %.2f m on were not stored.",
                               "CMP の曲線は %d 個までです: %d 個の CMP (%.2f m 以降) は保存されませんでした。")
                               .c_str(),
                           CTraveltimeSet::kMaxShots, cmpsLeftOut, firstLeftOut),
                   MsgButtons::Ok, MsgIcon::Warning);
    }
    return static_cast<int>(curves.size());
}

}  // namespace velk
