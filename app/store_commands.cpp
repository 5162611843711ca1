#include "app/store_commands.h"

#include <new>
#include <optional>
#include <utility>

#include "app/record_arrival.h"
#include "app/workspace.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

bool RestoreUndo(Workspace& ws)
{
    if (!ws.store.RestoreUndo()) {
        return false;
    }
    ws.display.plotMode = -2;
    ws.display.plotSubFlag = 0;
    ws.display.spectrumAxisKind = 0;
    return true;
}

bool CanUndo(const Workspace& ws) { return ws.store.undoDepth > 0; }

int OnEditUndo(Workspace& ws)
{
    if (!CanUndo(ws)) {
        return 0;
    }
    ResetDisplayFilter(ws.displayFilter);
    const std::optional<int32_t> before = RecordSource(ws);
    BeforeSnapshotRestored(ws, ws.store.level1);
    if (!RestoreUndo(ws)) return 0;
    AfterSnapshotRestored(ws, before);
    return 1;
}

int OnSelectComponent(Workspace& ws, int component)
{
    if (component == -1 || (component >= 1 && component <= 6)) {
        ws.componentToEdit = component;
    }
    return 0;
}

bool IsComponentChecked(const Workspace& ws, int component)
{
    return ws.componentToEdit == component;
}

DialogRequest CDimensionSizeDlg::Request(int language)
{
    DialogRequest req(kClass, IsJapanese(language) ? Msg(language, kTitle, "プロパティ") : kTitle);
    req.Int(kMaxSamples, maxSamples);
    req.Int(kMaxTraces, maxTraces);
    req.Bool(kChange, changeDimension);
    return req;
}

int OnDimensionSize(Workspace& ws, UiHost& ui)
{
    CDimensionSizeDlg dlg;
    dlg.maxSamples = ws.store.MaxSample();
    dlg.maxTraces = ws.store.MaxTraces();
    DialogRequest req = dlg.Request(ws.startup.language);
    if (!ui.RunDialog(req)) {
        return 0;
    }
    return ApplyDimensionSize(ws, ui, dlg);
}

int ApplyDimensionSize(Workspace& ws, UiHost& ui, const CDimensionSizeDlg& values)
{
    const int language = ws.startup.language;
    if (values.changeDimension == 0) {
        return 0;
    }
    const std::string unchanged =
        Msg(language, "The dimension size was not changed.", "配列サイズは変更されていません。");
    if (values.maxSamples < 1 || values.maxTraces < 1) {
        ui.Message(Msg(language,
                       "Maximum samples and maximum traces must be 1 or more.",
                       "最大サンプル数と最大トレース数は 1 以上にしてください。") +
                       "\n\n" + unchanged,
                   MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    // The view's per-trace curves are made at the new capacity first, so that nothing smaller
    // than the capacity survives the swap.
    CTheoreticalTraveltime theoretical;
    std::string error = WaveformStore::CheckCapacity(values.maxTraces, values.maxSamples);
    if (error.empty()) {
        try {
            theoretical = CTheoreticalTraveltime(values.maxTraces);
            // Grows only, so reserving before the swap leaves nothing to undo on failure.
            ws.fftWork.Reserve(static_cast<size_t>(StoreRowLength(values.maxSamples)));
        } catch (const std::bad_alloc&) {
            error = Msg(language, "Not enough memory.", "メモリが足りません。");
        }
    }
    if (!error.empty() || !ws.store.Resize(values.maxTraces, values.maxSamples, &error)) {
        ui.Message(error + "\n\n" + unchanged, MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    const CTheoreticalTraveltime& old = ws.theoretical;
    theoretical.mode = old.mode;
    theoretical.shown = 0;
    theoretical.curveCount = old.curveCount;
    theoretical.modifiedParameter = old.modifiedParameter;
    theoretical.v1 = old.v1;
    theoretical.v2 = old.v2;
    theoretical.depth = old.depth;
    ws.theoretical = std::move(theoretical);
    ws.settings.maxTraces = values.maxTraces;
    ws.settings.maxSample = values.maxSamples;
    ws.display.firstTraceShown = 0;
    ws.display.firstSampleShown = 0;
    ui.Message(Msg(language, kMemoryChangedText,
                   "メモリサイズが変更されました！ \n\n プログラムを再起動してください"),
               MsgButtons::Ok, MsgIcon::Info);
    return 1;
}

}  // namespace velk
