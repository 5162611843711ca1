#include "app/traveltime/migration_commands.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/dsp/data_kind.h"
#include "app/dsp/generated_record.h"
#include "app/operations.h"
#include "app/shell_services.h"
#include "app/traveltime/modelling_commands.h"
#include "app/record_arrival.h"
#include "app/workspace.h"
#include "draw/parallel.h"
#include "dsp/fourier.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "traveltime/modelling/fd_modelling.h"
#include "traveltime/modelling/migrations.h"
#include "traveltime/modelling_dialogs.h"
#include "traveltime/velocity_model.h"

namespace velk {

namespace {

int Language(const Workspace& ws) { return ws.startup.language; }

void Warn(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

// The view's second progress line.
void SecondLine(ViewSurface* view, const std::string& text)
{
    if (view) view->ShowSecondTransientText(text);
}

void FirstLine(ViewSurface* view, const std::string& text)
{
    if (view) view->ShowTransientText(text);
}

// The loaded record as a migration's input.
GeneratedTraces StoreSection(const Workspace& ws)
{
    const WaveformStore& store = ws.store;
    GeneratedTraces in;
    const int traces = store.TraceCount();
    const int samples = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
    in.Resize(traces, samples, store.Params().sampleInterval);
    for (int i = 0; i < traces; ++i) {
        const auto row = store.current.rows.Row(i);
        std::copy_n(row.begin(), samples, in.Trace(i).begin());
        in.headers[static_cast<size_t>(i)] = store.current.headers[static_cast<size_t>(i)];
    }
    return in;
}

std::string TooFewTracesText(int language)
{
    return Msg(language, "At least two traces at different receiver positions and a sampling time above 0 are needed !",
               "受振点位置の異なる 2 トレース以上と 0 より大きいサンプリング時間が必要です !");
}

bool UsableSection(Workspace& ws, UiHost& ui, const GeneratedTraces& in)
{
    if (MigrationInputUsable(in)) return true;
    Warn(ui, TooFewTracesText(Language(ws)));
    return false;
}

// Undo, then the result with its headers, maxima and display.
void CommitRecord(Workspace& ws, const GeneratedTraces& rec, float plotscale)
{
    WaveformStore& store = ws.store;
    const float headerInterval = rec.traces > 0 ? rec.headers[0].intervalUs : rec.intervalMs * 1000.0f;
    BeginRecord(ws, rec.traces, rec.samples, rec.intervalMs, kTimeDomain, headerInterval);
    for (int i = 0; i < rec.traces; ++i) {
        const auto trace = rec.Trace(i);
        std::copy(trace.begin(), trace.end(), store.current.rows.Row(i).begin());
        store.current.headers[static_cast<size_t>(i)] = rec.headers[static_cast<size_t>(i)];
    }
    store.ComputeTraceMaxima();
    const float first = rec.traces > 0 ? rec.headers.front().receiverHundredths * 0.01f : 0.0f;
    const float last = rec.traces > 0 ? rec.headers.back().receiverHundredths * 0.01f : 0.0f;
    ShowRecord(ws, first, last, plotscale, TimeScaleFor(rec.samples));
    ws.display.displayMode = 0;
}

// Stolt, the phase shift and 15 degrees refuse frequency-domain data.
bool TimeDomainOrRefuse(Workspace& ws, UiHost& ui)
{
    if (ws.store.dataKind() == kTimeDomain) return true;
    Warn(ui, MsgJa("時間領域の波形ではありません"));
    return false;
}

// Dialog 192 with MIGRATION_VELOCITY, written back on OK.
bool AskMigrationVelocity(Workspace& ws, UiHost& ui)
{
    CMigrationVelocityDlg dlg;
    dlg.velocity = std::clamp(ws.modelling.migrationVelocity, 0.00001f, 10000.0f);
    DialogRequest request = dlg.Request(Language(ws));
    if (!ui.RunDialog(request)) return false;
    ws.modelling.migrationVelocity = dlg.velocity;
    return true;
}

std::string TooMuchMemoryText(int language, double bytes)
{
    return FormatC(Msg(language, "The wavefields would take %.2f GiB (at most 2 GiB) !",
                       "波動場に %.2f GiB 必要です (最大 2 GiB) !")
                       .c_str(),
                   bytes / static_cast<double>(size_t{1} << 30));
}

// Refuses work arrays above kMaxWavefieldBytes with a message.
bool WorkFits(Workspace& ws, UiHost& ui, double bytes)
{
    if (bytes <= static_cast<double>(kMaxWavefieldBytes)) return true;
    Warn(ui, TooMuchMemoryText(Language(ws), bytes));
    return false;
}

std::string GridTooLargeText(int language)
{
    return Msg(language, "The pseudo spectral method serves at most 2048 cells in each direction !",
               "擬似スペクトル法は各方向 2048 セルまでです !");
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Finite differences

int OnAcousticFiniteDifference(Workspace& ws, UiHost& ui, ViewSurface* view)
{
    const int language = Language(ws);
    VelocityModel& m = ws.velocityModel;
    if (m.hasModel != 1) {
        ui.Message(NoVelocityModelText(language));
        return 0;
    }
    CFdModelingDlg dlg;
    if (m.continueSample == 0) {
        dlg.samples = m.sampleCount;
        dlg.method = m.scheme;
        dlg.sourceX = m.sourceX;
        dlg.sourceDepth = m.sourceDepth;
        DialogRequest request = dlg.Request(language);
        if (!ui.RunDialog(request)) return 0;
        m.dt = dlg.samplingTime * 0.001f;
        m.sampleCount = dlg.samples;
        m.scheme = std::clamp(dlg.method, 0, 3);
        m.sourceX = dlg.sourceX;
        m.sourceDepth = dlg.sourceDepth;
    }
    switch (CheckFdRun(m)) {
    case FdRefusal::None:
        break;
    case FdRefusal::NoModel:
        ui.Message(NoVelocityModelText(language));
        return 0;
    case FdRefusal::SourceOutside:
        Warn(ui, FormatC(Msg(language, "The source must lie inside the model (0 - %g m, 0 - %g m) !",
                             "震源はモデルの中に置いてください (0 - %g m, 0 - %g m) !")
                             .c_str(),
                         static_cast<double>(m.nx * m.h), static_cast<double>(m.nz * m.h)));
        return 0;
    case FdRefusal::ReceiverOutside:
        Warn(ui, Msg(language, "The receivers must lie inside the model !", "受振点はモデルの中に置いてください !"));
        return 0;
    case FdRefusal::GridTooLarge:
        Warn(ui, GridTooLargeText(language));
        return 0;
    case FdRefusal::TooMuchMemory:
        Warn(ui, TooMuchMemoryText(language, static_cast<double>(FdRunBytes(m.nx, m.nz, m.scheme))));
        return 0;
    }
    // The record that "Finish" delivers must fit the store: a portion that would pass it is
    // refused at its start (a run in progress can still be finished).
    const long long end = static_cast<long long>(std::max(m.continueSample, 1)) + m.sampleCount;
    if (end > static_cast<long long>(ws.store.MaxSample()) + 1 || end > ws.store.RowLength()) {
        Warn(ui, SamplesTooLargeText(language, ws.store.MaxSample()));
        return 0;
    }
    if (m.continueSample == 0) BeginFdRun(m, m.dt, dlg.frequency, dlg.nonReflecting);
    ws.display.plotMode = -2;
    ws.display.plotSubFlag = 0;
    WorkerPool pool;
    RunFdPortion(m, &pool, [view](int s) { SecondLine(view, FormatC(" Finite difference calculation : Sample  =%d ", s)); });
    FirstLine(view, Msg(language, "End of calculation", "計算終了"));
    SetContourSource(ws, 3);
    return 1;
}

int OnFdFinish(Workspace& ws, UiHost& ui)
{
    VelocityModel& m = ws.velocityModel;
    if (m.hasModel != 1 || m.continueSample == 0) return 0;
    const GeneratedTraces rec = FdRunRecord(m);
    if (!FitsStore(ws, ui, rec.traces, rec.samples, rec.intervalMs)) return 0;
    CommitRecord(ws, rec, 50.0f);
    ws.store.Params().hscale = 25.0f;
    SetContourSource(ws, 0);
    m.continueSample = 0;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Reverse time

int OnReverseTimeMigration(Workspace& ws, UiHost& ui, ViewSurface* view)
{
    const int language = Language(ws);
    const GeneratedTraces in = StoreSection(ws);
    if (!UsableSection(ws, ui, in)) return 0;
    VelocityModel& m = ws.velocityModel;
    CReverseTimeMigrationDlg dlg;
    dlg.samples = in.samples;
    dlg.nx = in.traces;
    dlg.ny = static_cast<int>(std::trunc(0.7 * in.traces));
    dlg.velocity = ws.modelling.migrationVelocity;
    dlg.stopTime = 5.0f;
    dlg.dx = std::abs(in.headers[1].receiverHundredths - in.headers[0].receiverHundredths) * 0.01f;
    dlg.timeFactor = m.rtmTimeFactor;
    dlg.spaceFactor = m.rtmSpaceFactor;
    dlg.interpolation = m.rtmInterpolation;
    dlg.method = 1;
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) return 0;
    ws.modelling.migrationVelocity = dlg.velocity;
    m.rtmTimeFactor = dlg.timeFactor;
    m.rtmSpaceFactor = dlg.spaceFactor;
    m.rtmInterpolation = dlg.interpolation;
    if (dlg.method == 3) {
        Warn(ui, Msg(language, "The reverse time migration has no staggered grid scheme !",
                     "リバースタイムマイグレーションにスタッガード格子法はありません !"));
        return 0;
    }
    RtmSettings s;
    s.samples = dlg.samples;
    s.nx = dlg.nx;
    s.ny = dlg.ny;
    s.velocity = dlg.velocity;
    s.stopTimeMs = dlg.stopTime;
    s.dx = dlg.dx;
    s.timeFactor = dlg.timeFactor;
    s.spaceFactor = dlg.spaceFactor;
    s.interpolation = dlg.interpolation;
    s.method = dlg.method;
    switch (CheckRtm(s, in)) {
    case RtmRefusal::None:
        break;
    case RtmRefusal::BadValues:
        Warn(ui, FormatC(Msg(language, "Check the values: NX 2 - %d, samples 1 - %d, NY, DX and the velocity above 0 !",
                             "値を確認してください: NX 2 - %d, サンプル数 1 - %d, NY, DX と速度は 0 より大 !")
                             .c_str(),
                         in.traces, in.samples));
        return 0;
    case RtmRefusal::Unstable:
        Warn(ui, FormatC(Msg(language, "Unstable: r = %.4f is above the limit %.4f of the method ! Raise the time factor.",
                             "不安定です: r = %.4f が計算方法の限界 %.4f を超えています ! 時間方向の分割を増やしてください.")
                             .c_str(),
                         RtmCourantNumber(s, in.intervalMs), RtmStabilityLimit(s.method)));
        return 0;
    case RtmRefusal::GridTooLarge:
        Warn(ui, GridTooLargeText(language));
        return 0;
    case RtmRefusal::TooMuchMemory:
        Warn(ui, TooMuchMemoryText(language, static_cast<double>(s.nx) * s.spaceFactor * s.ny * s.spaceFactor * 28.0));
        return 0;
    }
    const float hPrime = s.dx / static_cast<float>(s.spaceFactor);
    if (!FitsStore(ws, ui, RtmOutputTraces(s), RtmOutputSamples(s), hPrime)) return 0;
    FirstLine(view, Msg(language, "Reverse time migration calculating", "Reverse time migration 計算中"));
    WorkerPool pool;
    const GeneratedTraces out = ReverseTimeMigrate(in, s, &pool, [view](int e, int total) {
        SecondLine(view, FormatC("Sample  =%d / %d   ", e, total));
    });
    if (out.traces == 0) return 0;
    FirstLine(view, Msg(language, "End of migration", "マイグレーション終了"));
    CommitRecord(ws, out, 50.0f);
    return 1;
}

int CWaveOperations::ReverseTimeMigrationPostStack() { return OnReverseTimeMigration(ws, ui, owner); }

int CWaveOperations::ReverseTimeMigrationPreStack() { return 0; }

// ---------------------------------------------------------------------------------------------
// Migrations of the loaded record

int OnZeroOffsetTransform(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const int traces = store.TraceCount();
    if (traces <= 0) return 0;
    std::vector<CTraceHeader> headers(store.current.headers.begin(), store.current.headers.begin() + traces);
    if (!ZeroOffsetTransform(headers)) {
        Warn(ui, Msg(Language(ws), "A midpoint lies out of range !", "中点が範囲外です !"));
        return 0;
    }
    store.PushUndo();
    RecordBecomesPanel(ws);  // a section at the midpoints: no shot's picks
    std::copy(headers.begin(), headers.end(), store.current.headers.begin());
    ws.display.firstReceiver = headers.front().receiverHundredths * 0.01f;
    ws.display.lastReceiver = headers.back().receiverHundredths * 0.01f;
    return 1;
}

int OnDiffractionStacking(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    const int language = Language(ws);
    const GeneratedTraces in = StoreSection(ws);
    if (!UsableSection(ws, ui, in)) return 0;
    VelocityModel& m = ws.velocityModel;
    if (m.stackingUses == 0) {
        m.stackXFrom = static_cast<float>(in.headers.front().receiverHundredths / 100);
        m.stackXTo = static_cast<float>(in.headers.back().receiverHundredths / 100);
        m.stackXInterval = 0.005f * std::abs(in.headers[0].receiverHundredths - in.headers[1].receiverHundredths);
        m.stackYFrom = 0.0f;
        m.stackYTo = 50.0f;
        m.stackYInterval = 0.5f;
        m.stackMethod = 0;
    }
    CDiffractionStackingDlg dlg;
    dlg.velocity = ws.modelling.migrationVelocity;
    dlg.xFrom = m.stackXFrom;
    dlg.xTo = m.stackXTo;
    dlg.xInterval = m.stackXInterval;
    dlg.yFrom = m.stackYFrom;
    dlg.yTo = m.stackYTo;
    dlg.yInterval = m.stackYInterval;
    dlg.method = m.stackMethod;
    dlg.sourceX = in.headers[0].sourceHundredths * 0.01f;
    dlg.sourceY = m.stackSourceY;
    dlg.createModel = m.hasModel == 1 ? 0 : 1;
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) return 0;
    DiffractionStackSettings s;
    s.velocity = dlg.velocity;
    s.xFrom = dlg.xFrom;
    s.xTo = dlg.xTo;
    s.xInterval = dlg.xInterval;
    s.yFrom = dlg.yFrom;
    s.yTo = dlg.yTo;
    s.yInterval = dlg.yInterval;
    s.method = std::clamp(dlg.method, 0, 2);
    s.sourceX = dlg.sourceX;
    s.sourceY = dlg.sourceY;
    s.traveltimeWeighting = dlg.traveltimeWeighting;
    const bool homogeneous = dlg.createModel != 0 || m.hasModel != 1;
    int columns = m.nx, rows = m.nz;
    if (homogeneous) {
        if (!(s.xInterval > 0.0f) || !(s.yInterval > 0.0f) || !(s.velocity > 0.0f)) {
            Warn(ui, Msg(language, "The intervals and the velocity must be larger than 0 !",
                         "間隔と速度は 0 より大きくしてください !"));
            return 0;
        }
        StackImageSize(s, columns, rows);
    }
    if (columns > kStackMaxColumns || rows > kStackMaxRows) {
        Warn(ui, Msg(language, "Imaging area is too large ! ", "イメージ範囲が大きすぎます ! "));
        return 0;
    }
    const float yStep = homogeneous ? s.yInterval : m.h;
    if (!FitsStore(ws, ui, columns, rows, yStep)) return 0;
    if (homogeneous) {
        ws.modelling.migrationVelocity = dlg.velocity;
        m.stackXFrom = s.xFrom;
        m.stackXTo = s.xTo;
        m.stackXInterval = s.xInterval;
        m.stackYFrom = s.yFrom;
        m.stackYTo = s.yTo;
        m.stackYInterval = s.yInterval;
    }
    m.stackMethod = s.method;
    m.stackSourceY = s.sourceY;
    ++m.stackingUses;
    progress.SetText(Msg(language, "Calculating diffraction stacking", "回折重合計算中"));
    WorkerPool pool;
    int skipped = 0;
    const GeneratedTraces out = homogeneous ? DiffractionStackHomogeneous(in, s, &pool) : DiffractionStackModel(in, m, s, skipped, &pool);
    if (out.traces == 0) {
        Warn(ui, Msg(language, "The source must lie inside the model !", "震源はモデルの中に置いてください !"));
        return 0;
    }
    std::string done = Msg(language, "Diffraction stacking completed", "回折重合終了");
    if (skipped > 0) done += FormatC(Msg(language, " (%d receivers outside the model skipped)", " (モデル外の受振点 %d 個を除外)").c_str(), skipped);
    progress.SetText(done);
    CommitRecord(ws, out, 25.0f);
    return 1;
}

int OnKirchhoffMigration(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    const GeneratedTraces in = StoreSection(ws);
    if (!UsableSection(ws, ui, in)) return 0;
    if (!AskMigrationVelocity(ws, ui)) return 0;
    progress.SetText(Msg(Language(ws), "Calculating Kirchhoff migration", "キルヒホッフマイグレーション計算中"));
    WorkerPool pool;
    const GeneratedTraces out = KirchhoffMigrate(in, ws.modelling.migrationVelocity, &pool);
    if (out.traces == 0) return 0;
    CommitRecord(ws, out, 50.0f);
    return 1;
}

int OnStoltMigration(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    const int language = Language(ws);
    if (!TimeDomainOrRefuse(ws, ui)) return 0;
    const GeneratedTraces in = StoreSection(ws);
    if (!UsableSection(ws, ui, in)) return 0;
    if (in.traces > kStoltMaxTraces) {
        Warn(ui, FormatC(Msg(language, "The F-K migration serves at most %d traces !", "F-K マイグレーションは %d トレースまでです !").c_str(),
                         kStoltMaxTraces));
        return 0;
    }
    if (!AskMigrationVelocity(ws, ui)) return 0;
    const int p = PowerOfTwoLength(in.samples, 1);
    if (!FitsStore(ws, ui, in.traces, p, 2.0f * in.intervalMs)) return 0;
    if (!WorkFits(ws, ui, 4.0 * MigrationFkRows(in.traces) * 2.0 * p * sizeof(double))) return 0;
    progress.SetText(" Forward Fourier transform ");
    const GeneratedTraces out = StoltMigration(in, ws.modelling.migrationVelocity);
    progress.SetText(" Inverse Fourier transform ");
    if (out.traces == 0) return 0;
    CommitRecord(ws, out, 50.0f);
    return 1;
}

int OnPhaseShiftMigration(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    const int language = Language(ws);
    if (!TimeDomainOrRefuse(ws, ui)) return 0;
    const GeneratedTraces in = StoreSection(ws);
    if (!UsableSection(ws, ui, in)) return 0;
    if (in.traces > kPhaseShiftMaxTraces) {
        Warn(ui, FormatC(Msg(language, "The phase shift migration serves at most %d traces !",
                             "位相シフトマイグレーションは %d トレースまでです !")
                             .c_str(),
                         kPhaseShiftMaxTraces));
        return 0;
    }
    if (!AskMigrationVelocity(ws, ui)) return 0;
    if (!WorkFits(ws, ui, 2.5 * MigrationFkRows(in.traces) * PowerOfTwoLength(in.samples, 1) * sizeof(double))) return 0;
    PhaseShiftArrays arrays;
    AllocPhaseShiftArrays(arrays, MigrationFkRows(in.traces), PowerOfTwoLength(in.samples, 1));
    progress.SetText(" Forward Fourier transform ");
    const GeneratedTraces out = PhaseShiftMigration(in, ws.modelling.migrationVelocity, arrays, [&progress](int i) {
        progress.SetText(FormatC(" Downward continuation i=%d ", i));
    });
    progress.SetText(" Inverse Fourier transform ");
    FreePhaseShiftArrays(arrays);
    if (out.traces == 0) return 0;
    CommitRecord(ws, out, 50.0f);
    return 1;
}

int OnFifteenDegreeMigration(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    if (!TimeDomainOrRefuse(ws, ui)) return 0;
    const GeneratedTraces in = StoreSection(ws);
    if (!UsableSection(ws, ui, in)) return 0;
    if (!AskMigrationVelocity(ws, ui)) return 0;
    if (!WorkFits(ws, ui, 2.0 * in.traces * in.samples * sizeof(double))) return 0;
    ws.velocityModel.dt = in.intervalMs * 0.001f;
    const GeneratedTraces out = FifteenDegreeMigration(in, ws.modelling.migrationVelocity, [&progress](int n) {
        progress.SetText(FormatC(" n=%d ", n));
    });
    if (out.traces == 0) return 0;
    CommitRecord(ws, out, 25.0f);
    return 1;
}

// ---------------------------------------------------------------------------------------------

void AddMigrationCommands(CommandTable& t)
{
    t.AddMenuIfMissing({"option.processing", "option", "Processing", "処理", kInAllMenus, 700});
    t.AddMenuIfMissing({"option.etc", "option", "etc.", "その他", kInAllMenus, 800});
    t.AddMenuIfMissing({"option.etc.model", "option.etc", "Velocity model", "速度モデル", kInAllMenus, 400});
    t.AddMenuIfMissing({"option.processing.prestack", "option.processing", "Migration(Pre-stack data)",
                        "マイグレーション(重合前データ)", kInAllMenus, 820});
    t.AddMenuIfMissing({"option.processing.poststack", "option.processing", "Migration(Post-stack data)",
                        "マイグレーション(重合後データ)", kInAllMenus, 821});

    auto withProgress = [](int (*f)(Workspace&, UiHost&, ProgressSink&)) -> CommandAction {
        return [f](CommandContext& c) {
            ViewProgressText progress(c.view);
            return f(c.ws, c.ui, progress);
        };
    };

    t.Add(cmd::kAcousticFiniteDifference, "option.etc.model", 50, "Acoustic Finite Difference", "音響波差分法",
        [](CommandContext& c) { return OnAcousticFiniteDifference(c.ws, c.ui, c.view); }, kRuleHasModel);
    t.Add(cmd::kFdContinue, "option.etc.model", 51, "Continue", "継続",
        [](CommandContext& c) { return OnAcousticFiniteDifference(c.ws, c.ui, c.view); }, kRuleFdRunning);
    t.Add(cmd::kFdFinish, "option.etc.model", 52, "Finish", "終了", [](CommandContext& c) { return OnFdFinish(c.ws, c.ui); },
        kRuleFdRunning);

    t.Add(cmd::kZeroOffsetTransform, "option.processing", 830, "Zero Offset transform", "ゼロオフセット変換",
        [](CommandContext& c) { return OnZeroOffsetTransform(c.ws, c.ui); }, kRuleAlways);
    t.Add(cmd::kDiffractionStacking, "option.processing.prestack", 10, "Diffraction stacking", "回折重合",
        withProgress(OnDiffractionStacking), kRuleAlways);
    t.Add(cmd::kReverseTimeMigrationPreStack, "option.processing.prestack", 20, "Reverse time migration",
        "リバースタイムマイグレーション",
        [](CommandContext& c) {
            CWaveOperations ops(c.ws, c.ui);
            return ops.ReverseTimeMigrationPreStack();
        },
        kRuleAlways);
    t.Add(cmd::kKirchhoffMigration, "option.processing.poststack", 10, "Kirchhoff migration(Homogeneous)",
        "キルヒホッフマイグレーション(均質)", withProgress(OnKirchhoffMigration), kRuleAlways);
    t.Add(cmd::kStoltMigration, "option.processing.poststack", 20, "F-K(Stolt) migration", "F-K(Stolt)マイグレーション",
        withProgress(OnStoltMigration), kRuleAlways);
    t.Add(cmd::kPhaseShiftMigration, "option.processing.poststack", 30, "Phase shift method(Gazdag)",
        "位相シフト法(Gazdag)", withProgress(OnPhaseShiftMigration), kRuleAlways);
    t.Add(cmd::kFifteenDegreeMigration, "option.processing.poststack", 40, "15°FD(Claerbout)", "15°FD(Claerbout)",
        withProgress(OnFifteenDegreeMigration), kRuleAlways);
    t.Add(cmd::kReverseTimeMigration, "option.processing.poststack", 50, "Reverse time migration",
        "リバースタイムマイグレーション",
        [](CommandContext& c) {
            ViewProgressText progress(c.view);
            CWaveOperations ops(c.ws, c.ui, progress, c.view);
            return ops.ReverseTimeMigrationPostStack();
        },
        kRuleAlways);

    t.SetRule(kRuleFdRunning, [](const Workspace& ws, const RecentFileList&) {
        return ws.velocityModel.hasModel == 1 && ws.velocityModel.continueSample != 0;
    });
}

}  // namespace velk
