#include "app/acquisition/acquisition_commands.h"

#include <algorithm>

#include "app/acquisition/record_saving.h"
#include "app/record_arrival.h"
#include "app/store_commands.h"
#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "base/display_filter.h"
#include "dsp/trace_edit.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

namespace {

constexpr int kMainIcon = 128;
constexpr int kArmedIcon = 238;
constexpr int kStartMonitor = 1;
constexpr int kStartArmed = 2;

int64_t Now(const Workspace& ws) { return ws.clock ? static_cast<int64_t>(ws.clock->TickCountMs()) : 0; }

}  // namespace

// The record is drawn on the screen first, so that the operator sees what the answer is about
// before the question covers the view; the timer takes no step while it is open.
RecordAnswer AskRecordQuestion(Workspace& ws, UiHost& ui, const char* english, const char* japanese)
{
    if (ws.acquisitionDevice.ownerRepaint) ws.acquisitionDevice.ownerRepaint();
    ws.acquisitionDevice.questionOpen = 1;
    const MsgResult answer = ui.Message(Msg(ws.startup.language, english, japanese), MsgButtons::OkCancel,
                                        MsgIcon::Question);
    ws.acquisitionDevice.questionOpen = 0;
    if (ui.Closing()) return RecordAnswer::Closing;
    return answer == MsgResult::Ok ? RecordAnswer::Yes : RecordAnswer::No;
}

void CopyStackIntoStore(Workspace& ws)
{
    const CAcquisitionDevice& device = ws.acquisitionDevice;
    WaveformStore& store = ws.store;
    if (store.current.rows.Empty()) return;
    const int count = std::min({device.StackTraceCount(), static_cast<int>(store.current.headers.size()),
                                static_cast<int>(store.current.rows.Rows()), static_cast<int>(device.Stack().Rows())});
    const size_t columns = std::min(store.current.rows.Cols(), device.Stack().Cols());
    for (int i = 0; i < count; ++i) {
        std::span<const float> from = device.Stack().Row(device.Stack().RowLow() + i);
        std::span<float> to = store.current.rows.Row(store.current.rows.RowLow() + i);
        std::copy_n(from.begin(), columns, to.begin());
        store.current.headers[static_cast<size_t>(i)] = device.StackHeaders()[static_cast<size_t>(i)];
    }
    store.Params().traceCount = count;
    MarkAcquiredRecord(ws);
}

namespace {

void ShowStack(Workspace& ws, AcquisitionEffects& e)
{
    CopyStackIntoStore(ws);
    ComputeAcquiredDisplayScale(ws);
    e.repaint = true;
}

void SaveShown(Workspace& ws, UiHost& ui, AcquisitionEffects& e)
{
    std::string saved;
    if (SaveAcquiredRecord(ws, ui, saved) == 1) {
        ws.acquisitionDevice.ResetStack();
        e.recentFile = saved;
    }
}

void StopTimer(Workspace& ws, AcquisitionEffects& e)
{
    if (ws.display.timerRunning == 1) {
        ws.display.timerRunning = 0;
        e.stopTimer = true;
    }
    ws.acquisitionDevice.icon = kMainIcon;
    e.icon = kMainIcon;
}

// The start itself, with no run active: the shown record becomes an undo level and the run is
// set up.
AcquisitionEffects StartRun(Workspace& ws, int kind)
{
    AcquisitionEffects e;
    CAcquisitionDevice& device = ws.acquisitionDevice;
    ws.store.dataKind() = 0;
    if (ws.store.TraceCount() > 0) {
        ws.store.PushUndo();
        ws.store.Params().traceCount = 0;
        if (device.parm.stk_flg == 1) e.repaint = true;
    }
    ws.store.Params().recordKind = 0;
    if (kind == kStartArmed) device.armed = 1;
    device.monitorRunning = 1;
    if (device.Instrument()) device.Instrument()->Timer_Count();
    device.timerTicks = 0;
    device.timerSeconds = 0;
    ws.display.timerRunning = 1;
    ws.display.timerInterval = DisplayState::kAcquisitionMs;
    e.startTimer = true;
    const RecordLayout& layout = ws.display.layout;
    device.RunMonitorLoop(Now(ws), layout.xorg, layout.yorg, ws.geometry.receiverInterval);
    e.startTicker = true;
    return e;
}

// A start or an arm: at once when no run is active, else once the active run has ended.
AcquisitionEffects RequestStart(Workspace& ws, int kind)
{
    AcquisitionEffects e;
    CAcquisitionDevice& device = ws.acquisitionDevice;
    if (device.pendingStart != 0) return e;
    if (device.runActive == 1) {
        device.RequestStop();
        StopTimer(ws, e);
        device.pendingStart = kind;
        return e;
    }
    return StartRun(ws, kind);
}

}  // namespace

void AcquisitionEffects::Merge(const AcquisitionEffects& o)
{
    repaint = repaint || o.repaint;
    startTicker = startTicker || o.startTicker;
    if (o.startTimer) {
        startTimer = true;
        stopTimer = false;
    }
    if (o.stopTimer) {
        stopTimer = true;
        startTimer = false;
    }
    startLater = startLater || o.startLater;
    runEnded = runEnded || o.runEnded;
    if (o.invalidate) {
        invalidate = true;
        column = o.column;
    }
    if (o.icon != 0) icon = o.icon;
    if (!o.recentFile.empty()) recentFile = o.recentFile;
}

AcquisitionEffects OnNoiseMonitorStart(Workspace& ws, UiHost& ui)
{
    if (!ws.acquisitionDevice.EnsureDspReady(ui, ws.startup.language)) return {};
    return RequestStart(ws, kStartMonitor);
}

AcquisitionEffects OnNoiseMonitorStop(Workspace& ws)
{
    AcquisitionEffects e;
    CAcquisitionDevice& device = ws.acquisitionDevice;
    device.RequestStop();
    device.monitorRunning = 0;
    device.pendingStart = 0;
    StopTimer(ws, e);
    e.repaint = true;
    return e;
}

AcquisitionEffects OnTriggerArm(Workspace& ws, UiHost& ui)
{
    if (!ws.acquisitionDevice.EnsureDspReady(ui, ws.startup.language)) return {};
    // A guided mode that has not begun takes its first step before the first shot.
    if (CAcquisitionMode* mode = ws.acquisitionManager ? ws.acquisitionManager->Mode() : nullptr) mode->OnArm();
    return RequestStart(ws, kStartArmed);
}

AcquisitionEffects OnManualTrigger(Workspace& ws, UiHost& ui)
{
    if (ws.acquisitionDevice.EnsureDspReady(ui, ws.startup.language)) ws.acquisitionDevice.ManualTrigger();
    return {};
}

AcquisitionEffects CompletePendingStart(Workspace& ws, UiHost& ui)
{
    CAcquisitionDevice& device = ws.acquisitionDevice;
    const int kind = device.pendingStart;
    device.pendingStart = 0;
    if (kind == 0 || device.runActive == 1) return {};
    if (!device.EnsureDspReady(ui, ws.startup.language)) return {};
    return StartRun(ws, kind);
}

AcquisitionEffects AcquisitionMonitorTick(Workspace& ws)
{
    AcquisitionEffects e;
    CAcquisitionDevice& device = ws.acquisitionDevice;
    const std::string banner = device.strip.banner;
    const std::string prompt = device.strip.prompt;
    const MonitorStepResult r = device.MonitorTick(Now(ws), ws.startup.language, ws.store.Params().vscale);
    // A new banner or prompt shows at once; otherwise only the advanced column is drawn.
    if (device.strip.banner != banner || device.strip.prompt != prompt) device.strip.panelRedraw = true;
    if (r.advanced) {
        e.invalidate = true;
        e.column = r.column;
    }
    if (device.strip.panelRedraw) {
        device.strip.panelRedraw = false;
        e.repaint = true;
    }
    if (r.running == 0) {
        e.runEnded = true;
        if (device.pendingStart != 0) e.startLater = true;
    }
    return e;
}

AcquisitionEffects AcquisitionTimerStep(Workspace& ws, UiHost& ui)
{
    AcquisitionEffects e;
    CAcquisitionDevice& device = ws.acquisitionDevice;
    if (device.questionOpen == 1) return e;
    InstrumentLibrary* instrument = device.Instrument();
    if (device.armed == 1) {
        if (device.triggerReceived == 1) {
            device.armed = 0;
            device.triggerReceived = 0;
            return OnRecordReady(ws, ui);
        }
        if (instrument) instrument->Timer_Count();
        if (device.timerTicks > 9) {
            device.timerTicks = 0;
            device.icon = device.icon == kArmedIcon ? kMainIcon : kArmedIcon;
            e.icon = device.icon;
            ++device.timerSeconds;
        }
        ++device.timerTicks;
    } else if (device.acquisitionScreen == 1) {
        if (instrument) instrument->Timer_Count();
    }
    return e;
}

AcquisitionEffects OnRecordReady(Workspace& ws, UiHost& ui)
{
    AcquisitionEffects e;
    CAcquisitionDevice& device = ws.acquisitionDevice;
    InstrumentLibrary* instrument = device.Instrument();
    if (!instrument) return e;
    device.displayRefreshRequest = 1;
    BeforeRecordReplaced(ws);
    ws.store.PushUndo();
    device.ReadRecord(ws.clock ? ws.clock->LocalNow() : LocalTime{});
    const int mode = device.parm.stk_flg;
    if (mode != 2) {
        device.Disarm();
        device.RequestStop();
        device.monitorRunning = 0;
        StopTimer(ws, e);
        e.repaint = true;
    }
    WaveformStore& store = ws.store;
    const int count = device.BuildRecord(store.current.rows, store.current.headers, ws.geometry.receiverInterval);
    store.Params().traceCount = count;
    // Picks are taken from the trigger, as for a record read from a file.
    ws.display.displayTimeOffset = count > 0 ? store.current.headers[0].delayUs * 0.001f : 0.0f;
    RecalcRecordExtents(ws, 0);
    AfterShotAcquired(ws);
    MarkAcquiredRecord(ws);
    ComputeAcquiredDisplayScale(ws);
    if (device.stackCount > 0) {
        // Against the stack so far, which the undo pushes above no longer hold.
        if (device.bAutomaticShift == 1) {
            const int samples = std::min({SamplesOf(device.parm.m_size), static_cast<int>(store.current.rows.Cols()),
                                          static_cast<int>(device.Stack().Cols())});
            AlignByCorrelation(count, device.iReferenceChannel, samples, device.Stack(), store.current.rows);
        }
        if (mode == 0 || mode == 3) device.stackPending = 1;
    }
    e.repaint = true;
    // A close while a question is open keeps what the operator confirmed, saved as "Save" would
    // save it: the stack of the confirmed shots; a first record, which has no stack yet, by
    // itself. A record nobody confirmed never joins a stack.
    const auto answerStack = [&](RecordAnswer stack) {
        if (stack == RecordAnswer::Yes || (stack == RecordAnswer::Closing && device.stackCount == 0))
            device.AccumulateStack(count, store.current.rows, store.current.headers);
    };
    switch (mode) {
    case 0: {
        const RecordAnswer stack = AskRecordQuestion(ws, ui, "Stack ?", "スタックしますか ?");
        answerStack(stack);
        // A first record declined stays shown: the empty stack is not copied over it.
        if (device.stackCount > 0) ShowStack(ws, e);
        device.stackPending = 0;
        const RecordAnswer go = stack == RecordAnswer::Closing
                                    ? stack
                                    : AskRecordQuestion(ws, ui, "Continue(Enter) or Save(Esc) ?", "続行(Enter) または 保存(Esc) ?");
        if (go == RecordAnswer::Yes) {
            device.pendingStart = kStartArmed;
            e.startLater = true;
        } else {
            SaveShown(ws, ui, e);
            device.ResetStack();
        }
        break;
    }
    case 1:
        if (AskRecordQuestion(ws, ui, "Save to HDD?", "ハードディスクに保存しますか?") != RecordAnswer::No) {
            SaveShown(ws, ui, e);
            device.ResetStack();
        } else {
            ResetDisplayFilter(ws.displayFilter);
            RestoreUndo(ws);
        }
        break;
    case 3: {
        const RecordAnswer stack = AskRecordQuestion(ws, ui, "Stack ?", "スタックしますか ?");
        answerStack(stack);
        if (device.stackCount > 0) ShowStack(ws, e);
        device.stackPending = 0;
        if (stack == RecordAnswer::Closing) {
            SaveShown(ws, ui, e);
            device.ResetStack();
        }
        break;
    }
    case 2:
    default:
        device.AccumulateStack(count, store.current.rows, store.current.headers);
        ShowStack(ws, e);
        device.flag.complete = 0;
        device.triggerReceived = 0;
        device.armed = 1;
        break;
    }
    return e;
}

AcquisitionEffects StopAcquisition(Workspace& ws, UiHost& ui, bool askToSaveStack)
{
    AcquisitionEffects e;
    CAcquisitionDevice& device = ws.acquisitionDevice;
    device.Disarm();
    device.RequestStop();
    device.monitorRunning = 0;
    device.pendingStart = 0;
    device.stackPending = 0;
    StopTimer(ws, e);
    e.repaint = true;
    if (device.stackCount > 0 && device.parm.stk_flg != 1) {
        CopyStackIntoStore(ws);
        RecalcRecordExtents(ws, 0);
        ComputeAcquiredDisplayScale(ws);
        if (askToSaveStack &&
            AskRecordQuestion(ws, ui, "Save to HDD?", "ハードディスクに保存しますか?") != RecordAnswer::No)
            SaveShown(ws, ui, e);
    } else {
        ComputeAcquiredDisplayScale(ws);
    }
    return e;
}

}  // namespace velk
