#include "app/surfacewave/phase_velocity_commands.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/command_table.h"
#include "app/dsp/data_kind.h"
#include "app/dsp/trace_edit_dialogs.h"
#include "app/picking/pick_matching.h"
#include "app/record_arrival.h"
#include "app/shell_services.h"
#include "app/surfacewave/quessil_block.h"
#include "app/survey/exchange_commands.h"
#include "app/view/record_axes.h"
#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "app/formats/document.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "survey/sibling_launch.h"
#include "surfacewave/phase_velocity.h"
#include "surfacewave/phase_velocity_dlg.h"
#include "surfacewave/picking_dialogs.h"

namespace velk {

namespace {

void Refuse(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

bool HoldsDispersionImage(const Workspace& ws)
{
    return ws.store.TraceCount() > 0 && ws.store.DispersionFlag() == 1;
}

}  // namespace

void RefuseImage(Workspace& ws, UiHost& ui, const PhaseVelocityImage& image, ImageCapacity capacity)
{
    const int language = ws.startup.language;
    switch (image.refusal) {
    case ImageRefusal::NoUsedTrace:
        Refuse(ui, Msg(language, "No trace is used in the transformation !", "変換に使われるトレースがありません !"));
        break;
    case ImageRefusal::TooManyTraces: Refuse(ui, TracesTooLargeText(language, capacity.maxTraces)); break;
    case ImageRefusal::TooManySamples: Refuse(ui, SamplesTooLargeText(language, capacity.maxSamples)); break;
    case ImageRefusal::NoSamples:
        Refuse(ui, Msg(language, "The record has no samples: no image is made !", "波形にサンプルがありません: 画像は作れません !"));
        break;
    default:
        Refuse(ui, Msg(language, "The frequency or phase velocity range gives no image !",
                       "周波数または位相速度の範囲から画像を作れません !"));
        break;
    }
}

namespace {

// The image replaces the record (the caller has pushed undo).
void StoreImage(Workspace& ws, const PhaseVelocityImage& image)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    for (int k = 0; k < image.traceCount; ++k) {
        const std::span<float> row = store.current.rows.Row(k);
        const std::span<const float> from = image.Row(k);
        std::copy(from.begin(), from.end(), row.begin());
        std::fill(row.begin() + static_cast<std::ptrdiff_t>(from.size()), row.end(), 0.0f);
        store.current.headers[static_cast<size_t>(k)] = image.headers[static_cast<size_t>(k)];
        if (static_cast<size_t>(k) < p.traceMaxima.size()) p.traceMaxima[static_cast<size_t>(k)] = image.traceMaxima[static_cast<size_t>(k)];
        if (static_cast<size_t>(k) < store.displayFactor.size()) store.displayFactor[static_cast<size_t>(k)] = 1.0f;
    }
    p.traceCount = image.traceCount;
    p.samplesPerTrace = image.samples;
    p.sampleInterval = image.storeInterval;
    p.recordMaximum = image.maximum;
}

float LastTraceFrequency(const Workspace& ws)
{
    const int n = ws.store.TraceCount();
    return n > 0 ? static_cast<float>(ws.store.current.headers[static_cast<size_t>(n - 1)].receiverHundredths * 0.01)
                 : 0.0f;
}

bool GuidedMode(const Workspace& ws) { return ws.acquisitionManager && ws.acquisitionManager->Mode() != nullptr; }

}  // namespace

void UpdateVelocityUnitTexts(Workspace& ws)
{
    ws.contour.velocityUnitText = FormatVelocityUnit(ws);
    ws.contour.distanceUnitText = ws.settings.unitText;
    ws.contour.distanceUnitIndex = ws.settings.kmDisplay;
}

int PhaseVelocityTransform(Workspace& ws, UiHost& ui, ViewSurface* view, bool showDialog, bool noAutoDirection)
{
    WaveformStore& store = ws.store;
    CContourSettings& s = ws.contour;
    const int traces = store.TraceCount();
    const std::span<const CTraceHeader> headers(store.current.headers);
    ReceiverSpacingRange(traces, headers, s);
    if (noAutoDirection) {
        s.direction = 0;
    } else {
        const bool type3 = GuidedMode(ws) && ws.acquisitionManager->surveyType == 3;
        s.direction = AutomaticDirection(type3, traces, headers, store.Params().traceMaxima);
    }
    // A coherence image always takes the SPAC road, with the model of the SPAC that made it: the
    // dialog shows that choice (the picking's defaults follow the dimension); the method of the
    // waveform records is kept for them. Its rows are separations: they are the spacing range.
    const bool coherence = store.DispersionFlag() == 2;
    const int keptMethod = s.method;
    if (coherence) {
        s.method = 1;
        s.spacDimension = ws.coherenceDimension == 2 ? 2 : 1;
        SeparationRange(traces, headers, s);
    }
    struct Restore {
        CContourSettings& s;
        bool on;
        int method;
        ~Restore()
        {
            if (on) s.method = method;
        }
    } restore{s, coherence, keptMethod};
    if (showDialog && !CPhaseVelocityDlg::EditSettings(s, ui, ws.startup.language)) return 0;

    const ImageCapacity capacity{store.MaxTraces(), store.MaxSample()};
    const SurfaceWaveRecord record{store.current.rows, headers, traces, store.Params().samplesPerTrace,
                                   store.Params().sampleInterval};
    PhaseVelocityImage image;
    const bool spac = s.method == 1 || store.DispersionFlag() != 0;
    if (spac) {
        SpacImage(record, store.DispersionFlag() != 0, s, capacity, image);
    } else {
        TransformProgress progress;
        if (view) progress = [view](const std::string& text) { view->ShowTransientText(text); };
        PhaseShiftImage(record, s, capacity, image, progress);
    }
    if (image.refusal != ImageRefusal::None) {
        RefuseImage(ws, ui, image, capacity);
        return 0;
    }
    BeforeRecordReplaced(ws);
    store.PushUndo();
    StoreImage(ws, image);
    if (!spac) SaveContourSettings(ws.profile(), s);
    return 1;
}

bool RunPhaseVelocityAnalysis(Workspace& ws, UiHost& ui, ViewSurface* view, bool showDialog, float endFrequency,
                              bool noAutoDirection, const std::string& recordName)
{
    ws.contour.endFrequency = endFrequency;
    UpdateVelocityUnitTexts(ws);
    // The image is titled with what it was made from: the names an image on show carries (a
    // coherence image of a file group), else the record's file.
    RecordDrawFlags& drawing = ws.display.drawing;
    const bool named = ws.store.Params().recordKind != 0 && drawing.secondFileNameFlag == 1;
    const std::string title = named ? drawing.secondFileName : recordName;
    if (PhaseVelocityTransform(ws, ui, view, showDialog, noAutoDirection) == 0) return false;
    drawing.secondFileName = title;
    drawing.secondFileNameFlag = title.empty() ? 0 : 1;

    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    p.recordKind = 1;
    store.dataKind() = kRealSpectrum;
    ws.display.spectrumAxisKind = 2;
    ws.contour.imageKind = 1;  // a phase-velocity image, until a velocity-depth transformation
    p.normalisation = 1;
    // The image's exact sample step: the header word of a frequency step is cut to 0.001 Hz.
    const float step = p.sampleInterval;
    RecalcRecordExtents(ws, 0);
    if (IsValidInterval(step)) {
        p.sampleInterval = step;
        p.shownTime = static_cast<float>(p.samplesShown) * step;
    }
    p.ClearFlags();
    AfterRecordBuilt(ws);
    const float peak = p.recordMaximum;
    if (peak > 0.0f) {
        for (int k = 0; k < store.TraceCount(); ++k) {
            const int n = store.TraceSamples(k);
            const std::span<float> row = store.current.rows.Row(k);
            for (int j = 0; j < n; ++j) row[static_cast<size_t>(j)] /= peak;
        }
        store.ComputeTraceMaxima();
    }
    return true;
}

int PickPhaseVelocity(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    const int count = std::min(store.TraceCount(), p.CountInCapacity());
    if (count <= 0) return 0;
    const std::span<const CTraceHeader> headers(store.current.headers);
    if (store.DispersionFlag() != 1) {
        PeakTimePerTrace(store.current.rows, headers, count, p.pickTimes, p.layerCodes);
        return 1;
    }
    const int language = ws.startup.language;
    if (ws.contour.yAxis == 0 && ws.contour.method == 0) {
        Refuse(ui, Msg(language, "Phase velocities are picked on an image whose Y-axis is the frequency !",
                       "位相速度は縦軸が周波数の画像で読み取ってください !"));
        return 0;
    }
    UpdateVelocityUnitTexts(ws);
    PeakPickParameters parameters = PickParametersOf(ws.contour);
    const float lastFrequency = LastTraceFrequency(ws);
    const bool km = ws.settings.kmDisplay == 1;
    const std::string unit = ws.contour.velocityUnitText;
    const PeakPickDialog dialog = [&](PeakPickParameters& edited) {
        return CMinMaxFrequencyDlg::Edit(edited, lastFrequency, km, unit, ui, language);
    };
    std::vector<float> frequencies(static_cast<size_t>(count));
    const int picked = PickPeakTimes(store.current.rows, headers, count, p.pickTimes, p.layerCodes, frequencies,
                                     store.pickAmplitude, parameters, true, dialog);
    if (picked > 0) {
        TakePickParameters(parameters, ws.contour);
    } else {
        ws.contour.firstUse = parameters.firstUse;  // Cancel keeps the limits; the use counts
    }
    ws.display.phaseVelocityFileMode = 1;
    ws.display.editMode = 1;
    return 1;
}

namespace {

struct Curve {
    std::vector<float> x, y, z;
};

Curve PickedCurve(const Workspace& ws)
{
    Curve c;
    const WaveformStore& store = ws.store;
    const CParameterSet& p = store.Params();
    const int count = std::min(store.TraceCount(), p.CountInCapacity());
    for (int i = 0; i < count; ++i) {
        const float pick = p.pickTimes[static_cast<size_t>(i)];
        if (!(pick > 0.001f)) continue;
        c.x.push_back(static_cast<float>(store.current.headers[static_cast<size_t>(i)].receiverHundredths * 0.01));
        c.y.push_back(pick);
        c.z.push_back(static_cast<size_t>(i) < store.pickAmplitude.size() ? store.pickAmplitude[static_cast<size_t>(i)]
                                                                           : 0.0f);
    }
    return c;
}

}  // namespace

int ShowPhaseVelocityCurve(Workspace& ws, UiHost& ui, const std::string& fileName, const std::string& name)
{
    const Curve c = PickedCurve(ws);
    SendCurveToQuessilNamed(ws.programPaths.quessil, static_cast<int>(c.x.size()), c.x, c.y, c.z, name, fileName,
                            LaunchServicesOf(ws, ui));
    return 1;
}

int ShowPhaseVelocityCurveNamed(Workspace& ws, UiHost& ui, const std::string& curveName, const std::string& text)
{
    return ShowPhaseVelocityCurve(ws, ui, text, curveName);
}

int ShowAllCurvesInQuessil(Workspace& ws, UiHost& ui, const std::string& programSwitch)
{
    const int language = ws.startup.language;
    if (ws.curveSet.shotCount > kMaxQuessilCurves) {
        const std::string format = Msg(language, "The number of phase velocity curves is larger than %d !",
                                       "位相速度曲線の数が %d を超えています !");
        Refuse(ui, FormatC(format.c_str(), kMaxQuessilCurves));
        return 0;
    }
    int requestCode = -1;
    std::string linePath;
    const bool guided = GuidedMode(ws);
    if (guided) {
        requestCode = std::max(ws.acquisitionManager->lineIndex, 0);
        linePath = ws.acquisitionManager->lineFilePath;
    }
    if (!PublishCurvesForQuessil(ws, ui, requestCode, linePath, guided)) return 0;
    return LaunchDispersionProgram(ws.programPaths.quessil, programSwitch, LaunchServicesOf(ws, ui));
}

int VelocityDepthTransform(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    const int n = store.TraceCount();
    const std::span<CTraceHeader> headers(store.current.headers);
    if (n < 2) {
        Refuse(ui, Msg(language, "The velocity-depth transformation needs two traces or more !",
                       "速度-深度変換には2トレース以上が必要です !"));
        return 0;
    }
    const double df =
        (static_cast<double>(headers[static_cast<size_t>(n - 1)].receiverHundredths) - headers[0].receiverHundredths) /
        (n - 1) * 0.01;
    if (!(std::fabs(df) > 0.0)) {
        Refuse(ui, Msg(language, "The frequency step of the image is 0 !", "画像の周波数間隔が 0 です !"));
        return 0;
    }
    CVelocityDepthConversionDlg dlg;
    dlg.depth = ws.modelling.depthMaxForDepthTransformation;
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) return 0;
    ws.modelling.depthMaxForDepthTransformation = dlg.depth;
    const double dz = dlg.depth / (n - 1);
    if (!(dz > 0.0)) {
        Refuse(ui, Msg(language, "The maximum depth must be larger than 0 !", "最大深度は 0 より大きくしてください !"));
        return 0;
    }
    const double dv = headers[0].intervalUs * 0.001;
    int samples = 0;
    for (int t = 0; t < n; ++t) samples = std::max(samples, store.TraceSamples(t));
    const auto width = static_cast<size_t>(samples);
    std::vector<double> sum(static_cast<size_t>(n) * width, 0.0);
    std::vector<int> filled(sum.size(), 0);
    for (int t = 0; t < n; ++t) {
        const double f = headers[static_cast<size_t>(t)].receiverHundredths * 0.01;
        if (f == 0.0) continue;  // no wavelength at 0 Hz
        const std::span<const float> row = store.current.rows.Row(t);
        const int count = store.TraceSamples(t);
        for (int i = 0; i < count; ++i) {
            const double z = i * dv / f / 3.0;
            const double k = std::trunc(z / dz);
            if (!(k >= 0.0 && k < n)) continue;
            const size_t at = static_cast<size_t>(k) * width + static_cast<size_t>(i);
            sum[at] += row[static_cast<size_t>(i)];
            ++filled[at];
        }
    }
    // The input stays readable until every output trace is made.
    std::vector<float> input(static_cast<size_t>(n) * width, 0.0f);
    for (int t = 0; t < n; ++t) {
        const std::span<const float> row = store.current.rows.Row(t);
        std::copy_n(row.begin(), std::min(width, row.size()), input.begin() + static_cast<std::ptrdiff_t>(t * width));
    }
    store.PushUndo();
    for (int k = 0; k < n; ++k) {
        const double zk = k * dz;
        CTraceHeader& h = headers[static_cast<size_t>(k)];
        h.receiverHundredths = static_cast<int32_t>(std::trunc(zk * 100.0 + 0.5));
        h.samples = samples;
        const std::span<float> row = store.current.rows.Row(k);
        for (size_t i = 0; i < width && i < row.size(); ++i) {
            const size_t at = static_cast<size_t>(k) * width + i;
            if (filled[at] > 0) {
                row[i] = static_cast<float>(sum[at] / filled[at]);
            } else if (k == 0) {
                row[i] = 0.0f;
            } else {
                const double t = std::trunc(static_cast<double>(i) * dv / (3.0 * zk) / df);
                row[i] = t >= 0.0 && t < n ? input[static_cast<size_t>(t) * width + i] : 0.0f;
            }
        }
    }
    ws.contour.imageKind = 2;
    store.ComputeTraceMaxima();
    const float peak = store.Params().recordMaximum;
    if (peak > 0.0f) {
        for (int k = 0; k < n; ++k) {
            const std::span<float> row = store.current.rows.Row(k);
            for (size_t i = 0; i < width && i < row.size(); ++i) row[i] /= peak;
        }
        store.ComputeTraceMaxima();
    }
    return 1;
}

// ---------------------------------------------------------------------------------------------

namespace {

// Room the picture needs beyond the image: the legend with its labels beside it, the caption
// below it (logical units).
constexpr double kLegendRoom = 450.0;
constexpr double kCaptionRoom = 250.0;

}  // namespace

void FitImageToWindow(Workspace& ws, const ViewSurface* view, bool fill)
{
    const LSize visible = view ? view->VisibleSize() : LSize{};
    WaveformStore& store = ws.store;
    const int n = store.TraceCount();
    if (visible.cx <= 0 || visible.cy <= 0 || n < 1) return;
    CParameterSet& p = store.Params();
    const CTraceHeader& first = store.current.headers[0];
    const int samples = std::min(std::max(p.samplesShown, 0), store.TraceSamples(0));
    const double sampleSpan = std::max(samples - 1, 0) * (DrawnIntervalUs(ws, 0) * 0.001);
    const double traceSpan =
        std::fabs((static_cast<double>(store.current.headers[static_cast<size_t>(n - 1)].receiverHundredths) -
                   first.receiverHundredths) * 0.01);
    const bool vertical = ws.settings.plotDirection == 1;
    const double across = visible.cx - ws.settings.xOrg0 - kLegendRoom;
    const double down = visible.cy - ws.settings.yOrg0 - kCaptionRoom;
    const double timeRoom = vertical ? down : across;
    const double distanceRoom = vertical ? across : down;
    if (sampleSpan > 0.0 && timeRoom > 0.0 && (fill || sampleSpan * p.hscale > timeRoom)) {
        p.hscale = ClampScale(static_cast<float>(timeRoom / sampleSpan));
    }
    if (traceSpan > 0.0 && distanceRoom > 0.0 && (fill || traceSpan * p.plotscale > distanceRoom)) {
        p.plotscale = ClampScale(static_cast<float>(distanceRoom / traceSpan));
    }
}

namespace {

int OnPhaseVelocityTransform(CommandContext& ctx)
{
    Workspace& ws = ctx.ws;
    // A CMP gather, by its own name, is transformed in the CMP mode.
    if (ws.fileGroup.cmpList != 0 || ws.fileGroup.IsCmpGatherName(ctx.doc.currentFileName)) ws.contour.mode = 1;
    if (!RunPhaseVelocityAnalysis(ws, ctx.ui, ctx.view, true, ws.contour.endFrequency, false, ctx.doc.currentFileName)) {
        return 0;
    }
    CParameterSet& p = ws.store.Params();
    p.plotscale = 25.0f;
    p.hscale = 10.0f;
    FitImageToWindow(ws, ctx.view);
    ws.contour.imageKind = 1;
    return 1;
}

void AddRow(CommandTable& t, int id, double order, const char* english, const char* japanese, CommandAction action,
            int enableRule, std::string accelerator = {}, ItemKind kind = ItemKind::Command, int checkRule = kRuleNone)
{
    CommandRow r = MakeRow(id, "surfacewave", order, english, japanese, std::move(action), enableRule, kind, checkRule);
    r.accelerator = std::move(accelerator);
    t.Add(std::move(r));
}

}  // namespace

void AddPhaseVelocityCommands(CommandTable& t)
{
    AddRow(t, cmd::kPhaseVelocityTransform, 10, "Phase velocity-frequency transformation", "位相速度-周波数変換",
           OnPhaseVelocityTransform, kRuleTracesLoaded, "Ctrl+D");
    AddRow(t, cmd::kPickPhaseVelocity, 11, "Pick phase velocity", "位相速度を読み取る",
           [](CommandContext& ctx) { return PickPhaseVelocity(ctx.ws, ctx.ui); }, kRuleTracesLoaded);
    AddRow(t, cmd::kPickPhaseVelocity1D, 12, "Pick phase velocity(1D)", "位相速度を読み取る(1D)",
           [](CommandContext& ctx) { return PickPhaseVelocity(ctx.ws, ctx.ui); }, kRuleDispersionImage);
    AddRow(t, cmd::kShowPhaseVelocityCurve, 13, "Show phase velocity curve", "位相速度曲線を表示",
           [](CommandContext& ctx) {
               ShowPhaseVelocityCurve(ctx.ws, ctx.ui, FileNameOf(ctx.doc.currentFileName));
               return 0;
           },
           kRuleDispersionImage);
    AddRow(t, cmd::kShowAllPhaseVelocityCurves, 14, "Show phase velocity curves (All curves)",
           "位相速度曲線を表示(全曲線)",
           [](CommandContext& ctx) {
               ShowAllCurvesInQuessil(ctx.ws, ctx.ui, "-Velkarine");
               return 0;
           },
           kRuleCurvesInSet);
    AddRow(t, cmd::kVelocityDepthTransform, 15, "Velocity-depth transformation", "速度-深度変換",
           [](CommandContext& ctx) {
               if (VelocityDepthTransform(ctx.ws, ctx.ui) == 0) return 0;
               FitImageToWindow(ctx.ws, ctx.view, true);
               return 1;
           },
           kRuleVelocityDepth);
    AddRow(t, cmd::kUseMinMaxPhaseVelocity, 16, "Use min. and max. phase velocity", "最小・最大位相速度を使う",
           [](CommandContext& ctx) {
               ctx.ws.contour.minMaxPlot = ctx.ws.contour.minMaxPlot == 1 ? 0 : 1;
               return 1;
           },
           kRuleAlways, {}, ItemKind::Check, kRuleWavelengthLimitation);

    t.SetRule(kRuleDispersionImage, [](const Workspace& ws, const RecentFileList&) { return HoldsDispersionImage(ws); });
    t.SetRule(kRuleCurvesInSet, [](const Workspace& ws, const RecentFileList&) { return ws.curveSet.shotCount > 0; });
    t.SetRule(kRuleVelocityDepth, [](const Workspace& ws, const RecentFileList&) {
        return HoldsDispersionImage(ws) && ws.store.dataKind() == kRealSpectrum;
    });
    t.SetRule(kRuleWavelengthLimitation,
              [](const Workspace& ws, const RecentFileList&) { return ws.contour.minMaxPlot == 1; });
}

}  // namespace velk
