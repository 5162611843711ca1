#include "app/formats/key_file_commands.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/view/interactive_edit.h"
#include "app/workspace.h"
#include "base/position.h"
#include "formats/trace_arrays.h"
#include "formats/trace_header_key_dlg.h"
#include "platform/atomic_file.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

int SaveKeyFile(Workspace& ws, UiHost& ui)
{
    const WaveformStore& store = ws.store;
    const int n = store.TraceCount();
    if (n == 0) return 0;
    FileRequest request;
    request.title = "Key file(*.*)";
    request.filters = {{"Key file(*.*)", "*.*"}};
    request.initialName = "*.*";
    const std::optional<std::string> path = ui.SaveFile(request);
    if (!path) return 0;
    if (!WriteFileAtomically(*path, KeyFileText(store.current.headers, n))) {
        ui.Message(Msg(ws.startup.language, "error in opening file", "ファイルを開けません"), MsgButtons::Ok,
                   MsgIcon::Error);
    }
    return 0;
}

int MakeTraceHeaderKey(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const int n = store.TraceCount();
    if (n == 0) return 0;
    const int language = ws.startup.language;
    CTraceHeaderKeyDlg dlg;
    dlg.source = ws.display.sourcePosition;
    dlg.firstReceiver = ws.display.firstReceiver;
    dlg.receiverInterval = ws.geometry.receiverInterval;
    dlg.dataLength = store.current.headers[0].samples;
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) return 0;

    const int maxSample = std::min(store.MaxSample(), store.RowLength());
    if (dlg.dataLength < 1 || dlg.dataLength > maxSample) {
        ui.Message(FormatC(Msg(language, "The number of samples must be between 1 and %d !",
                               "サンプル数は 1 から %d の間にしてください !")
                               .c_str(),
                           maxSample),
                   MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    const std::optional<int32_t> source = MetresToHundredths(dlg.source);
    std::vector<int32_t> receivers(static_cast<size_t>(n));
    bool fits = source.has_value();
    for (int i = 0; i < n && fits; ++i) {
        const std::optional<int32_t> r =
            MetresToHundredths(static_cast<double>(i) * dlg.receiverInterval + dlg.firstReceiver);
        fits = r.has_value();
        if (fits) receivers[static_cast<size_t>(i)] = *r;
    }
    if (!fits) {
        ui.Message(Msg(language, " The source or receiver positions are out of range ! ",
                       " 震源または受振点の位置が範囲外です ! "),
                   MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }

    ws.display.sourcePosition = dlg.source;
    ws.display.firstReceiver = dlg.firstReceiver;
    ws.geometry.receiverInterval = dlg.receiverInterval;
    store.PushUndo();
    for (int i = 0; i < n; ++i) {
        CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        const int oldCount = std::clamp(h.samples, 0, dlg.dataLength);
        const auto row = store.current.rows.Row(i);
        std::fill(row.begin() + oldCount, row.begin() + dlg.dataLength, 0.0f);
        h.receiverHundredths = receivers[static_cast<size_t>(i)];
        h.sourceHundredths = *source;
        h.samples = dlg.dataLength;
    }
    ws.display.firstReceiver = static_cast<float>(store.current.headers[0].receiverHundredths * 0.01);
    ws.display.lastReceiver = static_cast<float>(store.current.headers[static_cast<size_t>(n - 1)].receiverHundredths * 0.01);
    ws.survey.applyShift = 0;
    OnShowEditHeaders(ws, ui);
    return 1;
}

void AddKeyFileCommands(CommandTable& t)
{
    t.AddMenuIfMissing({"edit.keys", "edit", "Edit sorce/receiver locations (with key)", "震源・受振点位置の編集 (キー)",
                        kInAllMenus, 150});
    auto row = [&t](int id, double order, const char* en, const char* ja, int (*f)(Workspace&, UiHost&),
                    const char* accelerator = "") {
        CommandRow r = MakeRow(id, "edit.keys", order, en, ja, [f](CommandContext& c) { return f(c.ws, c.ui); },
                               kRuleTracesLoaded);
        r.accelerator = accelerator;
        t.Add(std::move(r));
    };
    row(cmd::kSaveKeyFile, 20, "Save Key file", "キーファイルの保存", SaveKeyFile);
    row(cmd::kMakeTraceHeaderKey, 30, "Make Key(&K)...", "キーの作成(&K)...", MakeTraceHeaderKey, "Ctrl+K");
}

}  // namespace velk
