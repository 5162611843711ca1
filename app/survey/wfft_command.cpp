// "WFFT": the time-frequency export of the selected traces for the viewer Nordalis.

#include <bit>
#include <vector>

#include "app/dsp/trace_edit_dialogs.h"
#include "app/survey/exchange_commands.h"
#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "dsp/fourier.h"
#include "platform/language.h"
#include "platform/uihost.h"
#include "survey/wfft_export.h"

namespace velk {

int OnOptionWfft(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    const int traces = store.TraceCount();
    const std::vector<int32_t>& flags = store.Params().selectionFlags;
    std::vector<int> selected(static_cast<size_t>(traces));
    const int count = SelectedTraceIndices(
        selected, std::span<const int32_t>(flags.data(), std::min(flags.size(), static_cast<size_t>(traces))));
    selected.resize(static_cast<size_t>(count));
    if (count == 0) {
        ui.Message(Msg(language, "No trace is selected !", "トレースが選択されていません !"));
        return 0;
    }
    const float intervalUs = store.current.headers[static_cast<size_t>(selected[0])].intervalUs;
    if (!IsValidInterval(intervalUs)) {
        ui.Message(InvalidIntervalMessage(language), MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    const int samples = std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());

    CWfftDlg dlg;
    dlg.windowSamples = WfftDefaultWindow(samples);
    dlg.range = 1;
    for (;;) {
        DialogRequest request = dlg.Request(language);
        if (!ui.RunDialog(request)) return 0;
        if (std::has_single_bit(static_cast<unsigned>(dlg.windowSamples))) break;
        // The transform takes powers of two only.
        ui.Message(Msg(language, "The number of window samples must be 4, 8, 16, 32, 64, 128, 256 or 512.",
                       "ウィンドウのサンプル数は 4, 8, 16, 32, 64, 128, 256, 512 のいずれかにしてください。"));
    }

    const WfftLayout layout = MakeWfftLayout(samples, dlg.windowSamples, dlg.range, intervalUs);
    const std::string path = WfftExchangePath();
    std::string error;
    if (!WriteWfftFile(path, store.current.rows, selected, samples, layout, &error)) {
        ui.Message(Msg(language, "Cannot write the file") + "\n" + path + (error.empty() ? "" : "\n" + error),
                   MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    LaunchWithRetry(SiblingProgram::Nordalis, ws.programPaths.nordalis, NordalisCommandLine(),
                    LaunchServicesOf(ws, ui));
    return 0;
}

}  // namespace velk
