#include "app/dsp/data_kind.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/command_table.h"
#include "app/dsp/display_filter_commands.h"
#include "app/view/record_extents.h"
#include "app/workspace.h"
#include "formats/format_support.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

bool HoldsTimeDomain(const Workspace& ws) { return ws.store.dataKind() == kTimeDomain; }
bool HoldsRealSpectrum(const Workspace& ws) { return ws.store.dataKind() == kRealSpectrum; }
bool HoldsComplexData(const Workspace& ws) { return IsComplexKind(ws.store.dataKind()); }
bool HoldsFftData(const Workspace& ws) { return HoldsComplexData(ws) && ws.store.current.transformFlag == 0; }
bool HoldsDftData(const Workspace& ws) { return HoldsComplexData(ws) && ws.store.current.transformFlag == 1; }

void RegisterDataKindRules(CommandTable& t)
{
    auto set = [&](int id, bool (*predicate)(const Workspace&)) {
        t.SetRule(id, [predicate](const Workspace& ws, const RecentFileList&) { return predicate(ws); });
    };
    set(kRuleFftData, HoldsFftData);
    set(kRuleDftData, HoldsDftData);
    set(kRuleComplexData, HoldsComplexData);
    set(kRuleRealSpectrum, HoldsRealSpectrum);
    set(kRuleShadeSpectrum, [](const Workspace& ws) { return ws.display.spectrumShading == 1; });
    set(kRuleKindTime, HoldsTimeDomain);
    set(kRuleDisplayFilterApplied, IsDisplayFilterApplied);
    set(kRuleRedo, CanRedo);
}

std::string SamplesTooLargeText(int language, int maxSamples)
{
    return SamplesMessage(language, kSamplesMaxMsg, maxSamples) + "\n" +
           Msg(language, " Change maximum samples by 'Option', 'Dimension size' !",
               " 'Option'、'Dimension size' でサンプル数の最大値を変更してください !");
}

std::string RecordLongerThanMaxSampleText(int language, int64_t samples, int maxSample)
{
    const std::string format =
        Msg(language,
            " A record of %lld samples per trace does not fit the waveform memory ! \n"
            " MAX_SAMPLE = %d \n Nothing has been changed. \n\n"
            " Raise MAX_SAMPLE with Option - Dimension size and re-start the program",
            " 1 トレース %lld サンプルの波形は波形メモリに入りきりません ! \n"
            " MAX_SAMPLE = %d \n 何も変更していません。 \n\n"
            " Option - Dimension size で MAX_SAMPLE を大きくしてから、プログラムを再起動してください");
    return FormatC(format.c_str(), static_cast<long long>(samples), maxSample);
}

bool CheckRecordFitsMaxSample(const Workspace& ws, UiHost& ui, int64_t samples)
{
    if (samples <= ws.store.MaxSample()) return true;
    ui.Message(RecordLongerThanMaxSampleText(ws.startup.language, samples, ws.store.MaxSample()), MsgButtons::Ok,
               MsgIcon::Warning);
    return false;
}

std::string TracesTooLargeText(int language, int maxTraces)
{
    return TracesMessage(language, kTracesMaxPacked20Msg, maxTraces);
}

bool CheckIntervalUs(Workspace& ws, UiHost& ui, float intervalUs)
{
    if (IsValidInterval(intervalUs)) {
        return true;
    }
    ui.Message(InvalidIntervalMessage(ws.startup.language), MsgButtons::Ok, MsgIcon::Error);
    return false;
}

bool CheckIntervalMs(Workspace& ws, UiHost& ui, float intervalMs) { return CheckIntervalUs(ws, ui, intervalMs); }

bool TimeDomainTraces(Workspace& ws, UiHost& ui)
{
    if (ws.store.TraceCount() == 0) {
        return false;
    }
    if (ws.store.dataKind() != kTimeDomain) {
        ui.Message(Msg(ws.startup.language, "Not time domain data", "時間領域のデータではありません"), MsgButtons::Ok,
                   MsgIcon::Warning);
        return false;
    }
    return true;
}

bool TimeDomainWithInterval(Workspace& ws, UiHost& ui)
{
    return TimeDomainTraces(ws, ui) && CheckIntervalMs(ws, ui, ws.store.Params().sampleInterval);
}

int RecordSamples(const WaveformStore& store)
{
    return std::clamp(store.Params().samplesPerTrace, 0, store.RowLength());
}

bool CheckTraceIntervals(Workspace& ws, UiHost& ui)
{
    const int traces = ws.store.TraceCount();
    for (int i = 0; i < traces; ++i) {
        if (!IsValidInterval(ws.store.current.headers[static_cast<size_t>(i)].intervalUs)) {
            return CheckIntervalUs(ws, ui, 0.0f);
        }
    }
    return true;
}

void RaiseSampleCounts(Workspace& ws, int n)
{
    WaveformStore& store = ws.store;
    const int target = std::clamp(n, 0, store.RowLength());
    const bool complex = IsComplexKind(store.dataKind());
    const int traces = store.TraceCount();
    for (int i = 0; i < traces; ++i) {
        CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
        const int old = std::clamp(h.samples, 0, target);
        if (old < target) {
            const size_t count = static_cast<size_t>(target - old);
            std::memset(store.current.rows.Row(i).data() + old, 0, count * sizeof(float));
            if (complex) {
                std::memset(store.current.imag.Row(i).data() + old, 0, count * sizeof(float));
            }
        }
        h.samples = target;
    }
}

void ResetDisplayFactors(Workspace& ws)
{
    const size_t n = std::min(static_cast<size_t>(ws.store.TraceCount()), ws.store.displayFactor.size());
    std::fill_n(ws.store.displayFactor.begin(), n, 1.0f);
}

void ShowWholeTransform(Workspace& ws, int samplesShown, float intervalMs)
{
    CParameterSet& p = ws.store.Params();
    p.samplesShown = samplesShown;
    p.tracesShown = ws.store.TraceCount();
    p.windowStartTime = 0.0f;
    ws.display.firstSampleShown = 0;
    ws.display.firstTraceShown = 0;
    const int first = ws.store.TraceCount() > 0 ? ws.store.TraceSamples(0) : 0;
    p.shownTime = static_cast<float>(first) * intervalMs;
}

void ComputeComplexMaxima(Workspace& ws)
{
    ws.store.ComputeTraceMaxima();
    ws.store.ComputeImagMaxima();
}

}  // namespace velk
