#include "app/surfacewave/cmp_commands.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/command_table.h"
#include "app/formats/document.h"
#include "app/formats/next_file.h"
#include "app/picking/pick_matching.h"
#include "app/shell_services.h"
#include "traveltime/traveltime_set.h"
#include "app/surfacewave/line_curves.h"
#include "app/surfacewave/phase_velocity_commands.h"
#include "app/survey/file_list_commands.h"
#include "app/survey/group_commands.h"
#include "app/workspace.h"
#include "acquisition/acquisition_manager.h"
#include "base/position.h"
#include "formats/file_roads.h"
#include "formats/seg2.h"
#include "formats/trace_arrays.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/paths.h"
#include "platform/uihost.h"
#include "surfacewave/cmp_dispersion.h"
#include "surfacewave/cmp_phase_velocity_dlg.h"
#include "surfacewave/phase_velocity.h"
#include "surfacewave/phase_velocity_dlg.h"
#include "surfacewave/picking_dialogs.h"
#include "survey/file_group.h"
#include "survey/result_files.h"

namespace velk {

namespace {

void Warn(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

std::string NoWaveformDataText(int language)
{
    return Msg(language, "The file list holds no waveform data !", "ファイルリストに波形データがありません !");
}

// Where the CMP files go, and how the new list names them from its folder.
struct CmpFileFolder {
    std::string listFolder;  // the list's folder
    std::string subfolder;   // under it, where the files are; empty: the list's folder itself

    std::string Folder() const
    {
        return subfolder.empty() ? listFolder : (std::filesystem::path(listFolder) / subfolder).string();
    }
    std::string ListedName(const std::string& name) const { return subfolder.empty() ? name : subfolder + "/" + name; }
};

// The gathers have a folder of their own beside the line's shots, where no listing of the
// shots' folder takes them for shots: "cmp_gathers" in the working folder; in acquisition mode
// "qk<ID>_cmp" in the data folder, so that no line's analysis writes over another's.
CmpFileFolder CmpFileFolderOf(Workspace& ws)
{
    if (ws.startup.acquisitionMode == 0) return {ws.workingFolder, kCmpGatherFolder};
    if (!ws.acquisitionManager) return {MapWindowsPath("c:\\Data"), {}};
    CAcquisitionManager& manager = *ws.acquisitionManager;
    const std::string subfolder = "qk" + manager.LineId() + "_cmp";
    return {std::filesystem::path(manager.DataFilePath(subfolder)).parent_path().string(), subfolder};
}

}  // namespace

bool RefuseMixedList(const Workspace& ws, UiHost& ui)
{
    const CFileGroup& g = ws.fileGroup;
    const std::vector<int> gathers = g.CmpGatherMembers();
    if (gathers.empty() || static_cast<int>(gathers.size()) == std::min(g.entryCount, CFileGroup::kMaxFiles)) {
        return false;
    }
    constexpr size_t kShown = 20;
    std::string list;
    for (size_t i = 0; i < gathers.size() && i < kShown; ++i) {
        const FileListEntry& e = g.entries[static_cast<size_t>(gathers[i])];
        list += "\n" + (e.inUse == 1 ? e.fileName : g.PatternFileName(gathers[i]));
    }
    if (gathers.size() > kShown) {
        list += FormatC(Msg(ws.startup.language, "\n... and %d more", "\n... ほか %d 個").c_str(),
                        static_cast<int>(gathers.size() - kShown));
    }
    Warn(ui, FormatC(Msg(ws.startup.language,
                         "The file list holds shot records and CMP gathers (%d): make a list of the one or the other !",
                         "ファイルリストにショット記録とCMPギャザー (%d 個) が混在しています: どちらか一方のリストを作ってください !")
                         .c_str(),
                     static_cast<int>(gathers.size())) +
                 list);
    return true;
}

bool RefuseMixedIntervals(const Workspace& ws, UiHost& ui)
{
    const std::vector<std::string> files = MixedIntervalFiles(ws.fileGroup);
    if (files.empty()) return false;
    constexpr size_t kShown = 20;
    std::string list;
    for (size_t i = 0; i < files.size() && i < kShown; ++i) list += "\n" + files[i];
    if (files.size() > kShown) list += FormatC("\n... (%d files)", static_cast<int>(files.size()));
    Warn(ui, Msg(ws.startup.language, "The files of the list do not have one sample interval !",
                 "リストのファイルのサンプリング間隔が一つではありません !") +
                 list);
    return true;
}

// ---------------------------------------------------------------------------------------------
// "Make CMP gather files(2D)"

int MakeCmpGatherFiles2D(Workspace& ws, UiHost& ui, bool newList, bool announce, float binSize)
{
    CFileGroup& g = ws.fileGroup;
    const int language = ws.startup.language;
    if (g.dataLoaded != 1) {
        Warn(ui, NoWaveformDataText(language));
        return 0;
    }
    if (RefuseMixedList(ws, ui) || RefuseMixedIntervals(ws, ui)) return 0;
    CCmpPhaseVelocityDlg first;
    first.captions = {Msg(language, "Bin size(CMP interval)", "ビンサイズ(CMP間隔)"),
                      Msg(language, "First distance", "最初の距離"), Msg(language, "Last distance", "最後の距離")};
    first.values = {binSize, g.cdpCount > 0 ? g.cdpPositions[0] * 0.01f : 0.0f,
                    g.cdpCount > 0 ? g.cdpPositions[static_cast<size_t>(g.cdpCount - 1)] * 0.01f : 0.0f};
    first.method = kCmpCrossCorrelation;
    DialogRequest r1 = first.Request(language);
    if (!ui.RunDialog(r1)) return -1;
    CCmpPhaseVelocityDlg second;
    second.captions = {Msg(language, "Minimum offset", "最小オフセット"), Msg(language, "Maximum offset", "最大オフセット"), ""};
    second.values = {0.0f, 1000.0f, 0.0f};
    second.method = first.method;
    DialogRequest r2 = second.Request(language);
    if (!ui.RunDialog(r2)) return -1;

    const int method = std::clamp(first.method, 0, 2);
    const std::vector<double> positions = CmpPositions(first.values[1], first.values[2], first.values[0]);
    auto progress = ui.BeginProgress(Msg(language, "Calculating CMP correlation", "CMP相関を計算中"));
    if (method == kCmpCrossCorrelation) {
        progress->SetText(Msg(language, "Calculating forward Fourier transform.", "フーリエ変換を計算中。"));
    }
    const CmpSpectra spectra(g, 1);
    if (method == kCmpCrossCorrelation) {
        progress->SetText(Msg(language, "Forward Fourier transform was completed.", "フーリエ変換が完了しました。"));
    }
    progress->SetRange(static_cast<int>(positions.size()));

    CmpPairOptions options;
    options.method = method;
    options.bin = first.values[0];
    options.minimumOffset = second.values[0];
    options.maximumOffset = second.values[1];
    const int separations = std::max(1, g.entryCount);
    const CmpFileFolder where = CmpFileFolderOf(ws);
    const std::string folder = where.Folder();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);  // the data folder may not exist yet
    const float intervalUs = static_cast<float>(spectra.IntervalMs() * 1000.0);
    const float cohIntervalUs = spectra.Length() > 0
                                    ? static_cast<float>(std::trunc(1000.0 / (spectra.Length() * spectra.IntervalMs()) * 1000.0))
                                    : 0.0f;
    // Each written file with its own positions, for the new list: the CMP position, the first
    // separation distance and the step to the next one.
    struct Written {
        std::string name;
        float cmp = 0.0f;
        float first = 0.0f;
        float step = 0.0f;
        bool even = true;  // every separation lies on first + k x step
    };
    std::vector<Written> written;
    bool failed = false;
    for (const double cmp : positions) {
        progress->StepIt();
        const MultiSeparationResult curve = MultiSeparationCurve(g, spectra, cmp, 1, separations, options);
        const int nt = static_cast<int>(curve.kept.size());
        if (nt == 0) continue;
        const int samples = static_cast<int>(curve.kept.front().gather.meanTrace.size());
        if (samples <= 0) continue;
        Matrix2D<float> rows(0, nt - 1, 0, samples - 1);
        std::vector<CTraceHeader> headers(static_cast<size_t>(nt));
        for (int i = 0; i < nt; ++i) {
            const CmpPairGatherResult& r = curve.kept[static_cast<size_t>(i)].gather;
            std::copy_n(r.meanTrace.begin(), std::min<size_t>(r.meanTrace.size(), static_cast<size_t>(samples)),
                        rows.Row(i).begin());
            CTraceHeader h = CmpMeanTraceHeader(cmp, samples, method == kCmpCoherence ? cohIntervalUs : intervalUs);
            h.traceNumber = i + 1;
            h.receiverHundredths = static_cast<int32_t>(std::trunc(r.distance * 100.0 + 0.5));
            h.sourceHundredths = static_cast<int32_t>(std::trunc(cmp * 100.0 + 0.5));
            headers[static_cast<size_t>(i)] = h;
        }
        const std::string name = CmpGatherFileName(static_cast<int>(std::trunc(cmp * 100.0)), method == kCmpCoherence);
        const std::string path = (std::filesystem::path(folder) / name).string();
        // "DELAY" beside "*DELAY", as in the recorded files; the derived record keeps the dummy
        // date and tells no stack.
        const Seg2RecordFacts derived{LocalTime{}, 1, false};
        const WriteStatus status = WriteSeg2File(path, rows, headers, nt, 4, 1.0f, &derived);
        if (!status.ok) {
            failed = true;
            break;
        }
        Written w{where.ListedName(name), static_cast<float>(headers[0].sourceHundredths * 0.01),
                  static_cast<float>(headers[0].receiverHundredths * 0.01), 0.0f, true};
        if (nt > 1) w.step = static_cast<float>((headers[1].receiverHundredths - headers[0].receiverHundredths) * 0.01);
        for (int i = 0; i < nt; ++i) {
            const std::optional<int32_t> listed = MetresToHundredths(static_cast<float>(i) * w.step + w.first);
            if (!listed || *listed != headers[static_cast<size_t>(i)].receiverHundredths) w.even = false;
        }
        written.push_back(std::move(w));
    }
    progress.reset();
    if (failed) {
        ui.Message(Msg(language, "A CMP file could not be written !", "CMPファイルを書き込めませんでした !"),
                   MsgButtons::Ok, MsgIcon::Error);
    }
    if (newList) {
        g.entryCount = 0;
        g.listFolder = where.listFolder;
        // The entries carry the files' own positions, so that a read gives them back; separations
        // that no single step describes are taken from the files themselves.
        bool uneven = false;
        for (const Written& w : written) {
            g.AddFile(w.name, w.cmp, w.first, w.step, &ui, language);
            uneven = uneven || !w.even;
        }
        g.UpdateCmpList();
        if (uneven && g.entryCount > 0) {
            const size_t t = static_cast<size_t>(std::clamp(g.entries[0].fileType, 0, CFileGroup::kNamingSchemes - 1));
            g.sourceFromFile[t] = 1;
            g.receiversFromFile[t] = 1;
        }
    }
    if (announce) ui.Message(Msg(language, "CMP files have been calculated !", "CMPファイルを計算しました !"));
    return static_cast<int>(written.size());
}

// ---------------------------------------------------------------------------------------------
// "Phase velocity (2D : automatic)"

int PhaseVelocityCurves(Workspace& ws, UiHost& ui, ViewSurface* view, bool announce)
{
    CFileGroup& g = ws.fileGroup;
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    if (g.dataLoaded != 1) {
        Warn(ui, NoWaveformDataText(language));
        return 0;
    }
    const int files = std::min(g.entryCount, static_cast<int>(CTraveltimeSet::kMaxShots));
    if (files <= 0 || !store.IsAllocated()) return 0;
    if (RefuseMixedList(ws, ui)) return 0;
    // The CMP gathers of one list come from one line and share its interval.
    if (g.cmpList == 1 && RefuseMixedIntervals(ws, ui)) return 0;
    CContourSettings& s = ws.contour;
    if (g.cmpList == 1) s.mode = 1;
    UpdateVelocityUnitTexts(ws);

    auto progress = ui.BeginProgress(Msg(language, "Calculating phase velocity curves", "位相速度曲線を計算中"));
    progress->SetRange(files);
    Matrix2D<float> scratch(0, store.MaxTraces() - 1, 0, store.RowLength() - 1);
    std::vector<CTraceHeader> headers(static_cast<size_t>(store.MaxTraces()));
    const ImageCapacity capacity{store.MaxTraces(), store.MaxSample()};
    std::vector<LineCurve> curves(static_cast<size_t>(files));
    PeakPickParameters parameters = PickParametersOf(s);
    bool refused = false;
    bool stopped = false;  // a shot gather beyond the trace capacity
    // The dialog's direction holds for the whole list: forward or backward for every file, or
    // (its start) each shot from its own source's side. A CMP gather is stacked forward.
    int listDirection = g.cmpList == 1 ? 0 : CPhaseVelocityDlg::kEachRecord;
    int keptDirection = s.direction;
    // The settings keep the direction they had, or the one chosen for every file, however the
    // run ends.
    struct KeepDirection {
        CContourSettings& settings;
        const int& direction;
        ~KeepDirection() { settings.direction = direction; }
    } keep{s, keptDirection};
    // Each member is analysed from its own traces: the table keeps one row per source position,
    // so a repeated shot or a roll-along at an occupied position would otherwise be lost.
    const GroupReadContext read = MakeGroupReadContext(ws, ui);
    std::vector<std::string> names(static_cast<size_t>(files));
    for (int n = 0; n < files; ++n) {
        progress->StepIt();
        progress->SetText(FormatC("source=%d", n));
        bool full = false;
        std::string path;
        const int count = g.ShotRecordGather(n, scratch, headers, &path, read, &full);
        stopped = stopped || full;
        names[static_cast<size_t>(n)] = FileNameOf(path);
        if (count <= 0) continue;
        const std::span<const CTraceHeader> h(headers.data(), static_cast<size_t>(count));
        LineCurve& c = curves[static_cast<size_t>(n)];
        c.position = static_cast<float>(headers[0].sourceHundredths * 0.01);
        c.third = static_cast<float>(std::fabs(
            (static_cast<double>(headers[0].receiverHundredths) - headers[static_cast<size_t>(count - 1)].receiverHundredths) *
            0.01));
        // The wavelength limits come from this file's own spread.
        ReceiverSpacingRange(count, h, s);
        // A shot inside its spread is stacked by its offsets on each side (mode 0).
        if (s.mode != 1) InsideSourceSpacingRange(count, h, s);
        parameters.ratioUpperThreshold = s.maximumReceiverSpacing;
        parameters.ratioLowerThreshold = s.minimumReceiverSpacing;
        if (n == 0) {
            if (!CPhaseVelocityDlg::EditListSettings(s, listDirection, ui, language)) return 0;
            keptDirection = s.direction;
        }
        s.direction = listDirection == CPhaseVelocityDlg::kEachRecord ? ShotDirection(h) : listDirection;
        if (n == 0 && s.yAxis == 0 && s.method == 0) {
            Warn(ui, Msg(language, "Phase velocities are picked on an image whose Y-axis is the frequency !",
                         "位相速度は縦軸が周波数の画像で読み取ってください !"));
            return 0;
        }
        int samples = 0;
        for (const CTraceHeader& x : h) samples = std::max(samples, std::min(x.samples, store.RowLength()));
        const float intervalMs = count > 0 ? headers[0].intervalUs * 0.001f : 0.0f;
        const SurfaceWaveRecord record{scratch, h, count, samples, intervalMs};
        PhaseVelocityImage image;
        if (s.method == 1) {
            SpacImage(record, false, s, capacity, image);
        } else {
            TransformProgress lines;
            if (view) lines = [view](const std::string& text) { view->ShowTransientText(text); };
            PhaseShiftImage(record, s, capacity, image, lines);
        }
        if (n == 0 && !HasImageRanges(s)) {
            // The ranges of the dialog give no image for any file: say so and write nothing.
            progress.reset();
            RefuseImage(ws, ui, image, capacity);
            return 0;
        }
        if (image.refusal != ImageRefusal::None || image.traceCount <= 0) {
            refused = true;
            continue;
        }
        ImageMaxima(image, true);

        // The picker on the image.
        const int traces = image.traceCount;
        Matrix2D<float> rows(0, traces - 1, 0, image.samples - 1);
        for (int k = 0; k < traces; ++k) std::copy(image.Row(k).begin(), image.Row(k).end(), rows.Row(k).begin());
        std::vector<float> picks(static_cast<size_t>(traces)), frequencies(picks.size()), amplitudes(picks.size());
        std::vector<int32_t> codes(picks.size());
        const float lastFrequency = image.headers.back().receiverHundredths * 0.01f;
        const bool km = ws.settings.kmDisplay == 1;
        const PeakPickDialog dialog = [&](PeakPickParameters& edited) {
            return CMinMaxFrequencyDlg::Edit(edited, lastFrequency, km, s.velocityUnitText, ui, language);
        };
        const int picked = PickPeakTimes(rows, image.headers, traces, picks, codes, frequencies, amplitudes,
                                         parameters, n == 0, dialog);
        if (n == 0) {
            if (picked <= 0) {
                s.firstUse = parameters.firstUse;
                return 0;
            }
            TakePickParameters(parameters, s);
        }
        for (int k = 0; k < traces; ++k) {
            if (!(picks[static_cast<size_t>(k)] > 0.0f)) continue;
            c.points.push_back({image.headers[static_cast<size_t>(k)].receiverHundredths * 0.01f,
                                picks[static_cast<size_t>(k)], codes[static_cast<size_t>(k)],
                                amplitudes[static_cast<size_t>(k)]});
        }
    }
    progress.reset();
    if (refused) {
        Warn(ui, Msg(language, "Some files gave no phase velocity-frequency image !",
                     "位相速度-周波数画像を作れないファイルがありました !"));
    }
    PutLineCurves(ws.curveSet, curves);
    // The curves of a CMP list go beside its gathers, so that they do not replace the curves of
    // the shot line the gathers were made from.
    std::string curvesFolder;
    if (g.cmpList == 1 && !g.entries.empty() && !g.entries[0].fileName.empty()) {
        std::filesystem::path member(g.entries[0].fileName);
        if (member.is_relative()) member = std::filesystem::path(g.FolderOfList(read)) / member;
        curvesFolder = member.parent_path().string();
    }
    const std::string curvesPath = WriteLineCurvesInto(ws, ui, curvesFolder, kPhaseVelocityCurvesFileName);
    TellSharedPositions(ui, language, curves, names);
    if (stopped) Warn(ui, GatherTooLargeText(language, store.MaxTraces()));
    TellSourcesLeftOut(ui, language, g.entryCount);
    // A member without a point keeps its place in the file as a curve of none: say how many.
    const auto empty = std::count_if(curves.begin(), curves.end(), [](const LineCurve& c) { return c.points.empty(); });
    TellCurvesMissing(ui, language, static_cast<int>(empty), files, g.cmpList == 1);
    if (announce && !curvesPath.empty()) {
        const int made = static_cast<int>(curves.size() - static_cast<size_t>(empty));
        ui.Message(FormatC(Msg(language,
                               made == 1 ? "%d phase-velocity curve has been calculated ! \n\n phase velocity curves are "
                                           "saved into '%s'"
                                         : "%d phase-velocity curves have been calculated ! \n\n phase velocity curves are saved "
                                           "into '%s'",
                               "%d 本の位相速度曲線を計算しました ! \n\n 位相速度曲線は '%s' に保存されました")
                               .c_str(),
                           made, curvesPath.c_str()));
    }
    // A dispersion image on show takes the new curve at its position; a shot's own picks stay.
    if (store.Params().recordKind == kRecordDispersion) MatchPicksToTraces(ws);
    NormalizeEachCurveAmplitude(ws.curveSet);
    return files;
}

// ---------------------------------------------------------------------------------------------
// Menu rows

namespace {

int OnMakeCmpGatherFiles2D(CommandContext& c)
{
    Workspace& ws = c.ws;
    if (ws.fileGroup.dataLoaded == 1 && RefuseMixedList(ws, c.ui)) return 1;
    const bool newList = c.ui.Message(Msg(ws.startup.language, "Make new file list ?", "新しいファイルリストを作りますか ?"),
                                      MsgButtons::OkCancel, MsgIcon::Question) == MsgResult::Ok;
    const int written = MakeCmpGatherFiles2D(ws, c.ui, newList, true);
    if (written <= 0 || !newList) return 1;
    CFileGroup& g = ws.fileGroup;
    const GroupReadContext gctx = MakeGroupReadContext(ws, c.ui);
    if (g.BuildGeometry(gctx, false) > 0) {
        g.active = 1;
        g.ReadWaveformData(gctx, false);
    }
    WorkspaceFileGroup group(ws, c.ui);
    StepContext step{ws, c.doc, c.ui, group, c.frame};
    ShowNextWaveformFile(step, false);
    return 1;
}

int OnPhaseVelocityCurves2D(CommandContext& c)
{
    PhaseVelocityCurves(c.ws, c.ui, c.view, true);
    WorkspaceFileGroup group(c.ws, c.ui);
    StepContext step{c.ws, c.doc, c.ui, group, c.frame};
    ShowNextWaveformFile(step, false);
    return 1;
}

}  // namespace

void AddCmpCommands(CommandTable& t)
{
    t.SetRule(kRuleGroupWaveformData,
              [](const Workspace& ws, const RecentFileList&) { return ws.fileGroup.dataLoaded == 1; });
    auto row = [&t](int id, double order, const char* english, const char* japanese, CommandAction action) {
        t.Add(MakeRow(id, "surfacewave", order, english, japanese, std::move(action), kRuleGroupWaveformData));
    };
    row(cmd::kMakeCmpGatherFiles2D, 41, "Make CMP gather files(2D)", "CMPギャザーファイルの作成(2D)",
        OnMakeCmpGatherFiles2D);
    row(cmd::kPhaseVelocityCurves2D, 42, "Phase velocity (2D : automatic)", "位相速度 (2D : 自動)",
        OnPhaseVelocityCurves2D);
}

}  // namespace velk
