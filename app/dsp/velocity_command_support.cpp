#include "app/dsp/velocity_command_support.h"

#include <cstdint>
#include <vector>

#include "app/dsp/data_kind.h"
#include "app/operations.h"
#include "app/dsp/velocity_filter_commands.h"
#include "app/workspace.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace velocity_support {

void Refuse(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

bool CheckedRecord(CWaveOperations& ops, RecordShape& shape) { return CheckedRecord(ops.ws, ops.ui, shape); }

bool CheckedRecord(Workspace& ws, UiHost& ui, RecordShape& shape)
{
    const WaveformStore& store = ws.store;
    shape.traces = store.TraceCount();
    shape.samples = store.Params().samplesPerTrace;
    shape.interval = store.Params().sampleInterval;
    if (shape.traces == 0 || shape.samples <= 0) {
        return false;
    }
    if (shape.samples > store.RowLength()) {
        Refuse(ui, SamplesTooLargeText(ws.startup.language, store.MaxSample()));
        return false;
    }
    return CheckIntervalMs(ws, ui, shape.interval);
}

double CheckedReceiverSpacing(Workspace& ws, UiHost& ui)
{
    const WaveformStore& store = ws.store;
    if (store.TraceCount() >= 2) {
        const int64_t step = static_cast<int64_t>(store.current.headers[1].receiverHundredths) -
                             store.current.headers[0].receiverHundredths;
        if (step > 0) {
            return static_cast<double>(step) * 0.01;
        }
    }
    Refuse(ui, ReceiverSpacingRefusal(ws.startup.language));
    return 0.0;
}

void ReceiverPositions(const Workspace& ws, int count, std::vector<double>& positions)
{
    positions.resize(static_cast<size_t>(std::max(count, 0)));
    for (int t = 0; t < count; ++t) {
        positions[static_cast<size_t>(t)] = ws.store.current.headers[static_cast<size_t>(t)].receiverHundredths * 0.01;
    }
}

double SourceReference(const Workspace& ws) { return ws.store.current.headers[0].sourceHundredths * 0.01; }

bool PositiveVelocities(UiHost& ui, int language, float maxVelocity, float minVelocity)
{
    if (maxVelocity > 0.0f && minVelocity > 0.0f) {
        return true;
    }
    Refuse(ui, VelocityRefusal(language));
    return false;
}

void BeginRowsChange(Workspace& ws, int samples)
{
    ws.store.PushUndo();
    RaiseSampleCounts(ws, samples);
}

}  // namespace velocity_support

// ---------------------------------------------------------------------------------------------
// Texts

std::string OldBandPassProgressText(int trace) { return FormatC(" BPF calculation : Trace = %d ", trace); }

std::string ReceiverSpacingRefusal(int language)
{
    return Msg(language,
               "The F-K commands need traces at increasing receiver positions.\n"
               "The receivers of the first two traces are not.",
               "F-K のコマンドには受振点位置が増加するトレースが必要です。\n"
               "最初の 2 トレースの受振点位置が増加していません。");
}

std::string OldBandPassRefusal(int language, int samples)
{
    return FormatC(Msg(language,
                       "BPF (up to 2048) filters records of up to 2048 samples.\n"
                       "This record has %d samples: use \"BPF\".",
                       "BPF (2048 まで) は 2048 サンプルまでの記録を処理します。\n"
                       "この記録は %d サンプルです: \"BPF\" を使ってください。")
                       .c_str(),
                   samples);
}

std::string OldPowerSpectrumRefusal(int language, int samples)
{
    return FormatC(Msg(language,
                       "Power spectrum(up to 2048) transforms at most 2048 points, the first half of a record of "
                       "up to 4096 samples.\nThis record has %d samples: use \"Power spectrum\".",
                       "パワースペクトル(2048 まで) は最大 2048 点 (4096 サンプルまでの記録の前半) を変換します。\n"
                       "この記録は %d サンプルです: \"パワースペクトル\" を使ってください。")
                       .c_str(),
                   samples);
}

std::string VelocityRefusal(int language)
{
    return Msg(language, "The velocities must be greater than 0.", "速度は 0 より大きくしてください。");
}

std::string SlownessIntervalRefusal(int language)
{
    return Msg(language, "The interval of p must be greater than 0.", "p の間隔は 0 より大きくしてください。");
}

bool RunTauPDialog(CTauPTransformDlg& dlg, const TauPSettings& settings, UiHost& ui, int language)
{
    dlg.maxP = settings.endSlowness;
    dlg.interval = settings.slownessStep;
    dlg.minP = settings.startSlowness;
    dlg.method = settings.stackingMode;
    dlg.maxOffset = settings.maximumOffset;
    dlg.minOffset = settings.minimumOffset;
    dlg.UpdateVelocityRange();
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) return false;
    if (!(dlg.interval > 0.0f)) {
        ui.Message(SlownessIntervalRefusal(language), MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    return true;
}

void StoreTauPDialog(const CTauPTransformDlg& dlg, TauPSettings& settings)
{
    settings.startSlowness = dlg.minP;
    settings.endSlowness = dlg.maxP;
    settings.slownessStep = dlg.interval;
    settings.stackingMode = dlg.method;
    settings.maximumOffset = dlg.maxOffset;
    settings.minimumOffset = dlg.minOffset;
}

}  // namespace velk
