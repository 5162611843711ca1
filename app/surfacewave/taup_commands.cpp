#include "app/surfacewave/taup_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "app/command_table.h"
#include "app/dsp/data_kind.h"
#include "app/dsp/velocity_command_support.h"
#include "app/dsp/velocity_filter_commands.h"
#include "app/operations.h"
#include "app/surfacewave/surfacewave_seams.h"
#include "app/survey/exchange_commands.h"
#include "app/survey/file_list_commands.h"
#include "app/workspace.h"
#include "base/display_filter.h"
#include "dsp/taup.h"
#include "formats/format_support.h"
#include "platform/atomic_file.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "surfacewave/taup_settings.h"
#include "surfacewave/taup_stack.h"
#include "survey/file_group.h"
#include "survey/olvenar_link.h"

namespace velk {

namespace {

using velocity_support::CheckedRecord;
using velocity_support::ReceiverPositions;
using velocity_support::RecordShape;
using velocity_support::SourceReference;

void Warn(UiHost& ui, const std::string& text) { ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

// The traces of a read file whose offset |receiver - source| lies in [minimum, maximum] m,
// moved to the front of rows and headers; returns their number.
int KeepOffsetRange(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int count, float minimum, float maximum)
{
    int kept = 0;
    for (int t = 0; t < count; ++t) {
        const CTraceHeader& h = headers[static_cast<size_t>(t)];
        const double offset =
            std::fabs((static_cast<double>(h.receiverHundredths) - static_cast<double>(h.sourceHundredths)) * 0.01);
        if (offset < minimum || offset > maximum) continue;
        if (kept != t) {
            const auto from = rows.Row(rows.RowLow() + t);
            std::copy(from.begin(), from.end(), rows.Row(rows.RowLow() + kept).begin());
            headers[static_cast<size_t>(kept)] = h;
        }
        ++kept;
    }
    return kept;
}

bool WriteVelocityFile(Workspace& ws, UiHost& ui, const std::vector<float>& velocity, const std::vector<float>& energy)
{
    const std::string path = (std::filesystem::path(ws.workingFolder) / kVelocityFileName).string();
    std::string text;
    for (size_t i = 0; i < velocity.size(); ++i) {
        text += FormatC("%f %f \n", static_cast<double>(velocity[i]), static_cast<double>(energy[i]));
    }
    AtomicFileWriter out(path);
    if (!out.Failed()) {
        out.Write(text);
        if (out.Commit()) return true;
    }
    ui.Message(FileSaveFailedMessage(ws.startup.language, path, out.Error()), MsgButtons::Ok, MsgIcon::Error);
    return false;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The stack over the file list


int TauPStack(Workspace& ws, UiHost& ui, ProgressSink& progress, float minimumOffset, float maximumOffset,
              int velocityMode)
{
    WaveformStore& store = ws.store;
    CFileGroup& group = ws.fileGroup;
    const int language = ws.startup.language;
    const int files = std::min<int>(group.entryCount, CFileGroup::kMaxFiles);
    if (files <= 0 || !store.IsAllocated()) return 0;
    if (files > store.MaxTraces()) {
        Warn(ui, TracesTooLargeText(language, store.MaxTraces()));
        return 0;
    }
    const TauPSettings& settings = ws.tauP;
    const int np = TauPCount(settings);
    if (np <= 0) {
        Warn(ui, SlownessIntervalRefusal(language));
        return 0;
    }
    if (np > store.MaxSample() || np > store.RowLength()) {
        Warn(ui, SamplesTooLargeText(language, store.MaxSample()));
        return 0;
    }

    // Each file is read and stacked in buffers of the run; the store is written at the end.
    Matrix2D<float> work(0, store.MaxTraces() - 1, 0, store.RowLength() - 1);
    std::vector<CTraceHeader> headers(static_cast<size_t>(store.MaxTraces()));
    Matrix2D<float> panel(0, files - 1, 0, np - 1);
    std::vector<CTraceHeader> out(static_cast<size_t>(files));
    const float intervalUs = settings.slownessStep * (velocityMode == 1 ? 1.0e6f : 1000.0f);
    const GroupReadContext read = MakeGroupReadContext(ws, ui);
    std::vector<float> energy, axis;
    for (int n = 0; n < files; ++n) {
        progress.SetText(FormatC("source=%d", n));
        group.currentIndex = n;
        const int traces = std::max(0, group.ReadListedFile(n, work, headers, read));
        const int kept = KeepOffsetRange(work, headers, traces, minimumOffset, maximumOffset);
        int32_t receiver = 0;
        if (kept > 0) {
            const int64_t first = headers[0].receiverHundredths;
            const int64_t last = headers[static_cast<size_t>(kept - 1)].receiverHundredths;
            receiver = static_cast<int32_t>((first + last) / 2);
            TauPStackRecord(work, headers, kept, settings, energy, axis, velocityMode);
            for (size_t i = 0; i < energy.size(); ++i) panel.Row(n)[i] = energy[i];
        }
        out[static_cast<size_t>(n)].Set(n, receiver, 0, 10, 1, 0.0f, intervalUs, np);
    }

    for (int n = 0; n < files; ++n) {
        const auto row = store.current.rows.Row(store.current.rows.RowLow() + n);
        std::fill(row.begin(), row.end(), 0.0f);
        const auto from = panel.Row(n);
        std::copy(from.begin(), from.end(), row.begin());
        store.current.headers[static_cast<size_t>(n)] = out[static_cast<size_t>(n)];
    }
    store.Params().traceCount = files;
    store.Params().samplesPerTrace = np;
    store.Params().sampleInterval = intervalUs * 0.001f;
    store.ComputeTraceMaxima();
    SaveTauPSettings(ws.profile(), settings);
    return files;
}

// ---------------------------------------------------------------------------------------------
// "Velocity analysis (tau-p)"

std::string TauPResultText(int language, float velocityMs, float averageSemblance)
{
    if (velocityMs == 0.0f) {
        return FormatC(Msg(language, "The semblance is largest at p = 0 (no finite velocity). \n Average semblance=%f",
                           "センブランスは p = 0 (有限の速度なし) で最大です。 \n 平均センブランス=%f")
                           .c_str(),
                       static_cast<double>(averageSemblance));
    }
    return FormatC(Msg(language, "The phase velocity of maximum semblance is %fm/s. \n Average semblance=%f",
                       "最大センブランスの位相速度は %fm/s です。 \n 平均センブランス=%f")
                       .c_str(),
                   static_cast<double>(velocityMs), static_cast<double>(averageSemblance));
}

int OnVelocityAnalysisTauP(CommandContext& c)
{
    Workspace& ws = c.ws;
    WaveformStore& store = ws.store;
    const int language = ws.startup.language;
    RecordShape r;
    if (!CheckedRecord(ws, c.ui, r)) return 0;

    TauPSettings& settings = ws.tauP;
    CTauPTransformDlg dlg;
    if (!RunTauPDialog(dlg, settings, c.ui, language)) return 0;
    StoreTauPDialog(dlg, settings);
    const int slownesses = CTauPTransformDlg::NumberOfP(dlg.minP, dlg.maxP, dlg.interval);
    const int np = std::min(slownesses, store.MaxTraces());
    if (np <= 0) {
        Warn(c.ui, SlownessIntervalRefusal(language));
        return 0;
    }

    // A copy of the record, each trace scaled to its own peak; the record is only read.
    Matrix2D<float> input(0, r.traces - 1, 0, r.samples - 1);
    for (int t = 0; t < r.traces; ++t) {
        const auto from = store.current.rows.Row(store.current.rows.RowLow() + t);
        const auto to = input.Row(t);
        float peak = 0.0f;
        for (int k = 0; k < r.samples; ++k) peak = std::max(peak, std::fabs(from[static_cast<size_t>(k)]));
        for (int k = 0; k < r.samples; ++k) {
            to[static_cast<size_t>(k)] = peak > 0.0f ? from[static_cast<size_t>(k)] / peak : 0.0f;
        }
    }
    std::vector<double> positions;
    ReceiverPositions(ws, r.traces, positions);
    ViewProgressText progress(c.view);
    progress.SetText(kTauPTransformText);
    Matrix2D<float> panel(0, np - 1, 0, r.samples - 1);
    CTauPTransformDlg::SlantStack(input, panel, dlg.minP, dlg.interval, np, r.samples, r.traces, r.interval, positions,
                                  SourceReference(ws), dlg.method, 0);

    // velocity: 1/p in km/s, metres: 1000/p in m/s; both 0 at p = 0 (no finite velocity).
    std::vector<float> energy(static_cast<size_t>(np)), velocity(static_cast<size_t>(np)), metres(static_cast<size_t>(np));
    int best = 0;
    for (int i = 0; i < np; ++i) {
        double sum = 0.0;
        for (const float v : panel.Row(i)) sum += static_cast<double>(v) * v;
        const auto e = static_cast<float>(sum / r.samples);
        energy[static_cast<size_t>(i)] = std::isfinite(e) ? e : 0.0f;
        const float p = dlg.minP + static_cast<float>(i) * dlg.interval;
        velocity[static_cast<size_t>(i)] = p != 0.0f ? 1.0f / p : 0.0f;
        metres[static_cast<size_t>(i)] = p != 0.0f ? 1000.0f / p : 0.0f;
        if (energy[static_cast<size_t>(i)] > energy[static_cast<size_t>(best)]) best = i;
    }
    const float largest = energy[static_cast<size_t>(best)];
    double sum = 0.0;
    for (float& e : energy) {
        if (largest > 0.0f) e /= largest;
        sum += e;
    }
    const auto average = static_cast<float>(sum / np);
    progress.SetText({});

    WriteVelocityFile(ws, c.ui, velocity, energy);
    if (ws.olvenarLink) {
        std::vector<float> x, y;
        for (int i = 0; i < np && static_cast<int>(x.size()) < COlvenarLink::kCurvePoints; ++i) {
            if (metres[static_cast<size_t>(i)] == 0.0f) continue;  // p = 0: no finite velocity
            x.push_back(metres[static_cast<size_t>(i)]);
            y.push_back(energy[static_cast<size_t>(i)]);
        }
        ws.olvenarLink->PutCurve(static_cast<int>(x.size()), x.data(), y.data(), kTauPVelocityLabel,
                                 kTauPSemblanceLabel);
        ws.olvenarLink->Launch(kTauPViewerData, "", LaunchServicesOf(ws, c.ui));
    }

    ResetDisplayFilter(ws.displayFilter);
    store.PushUndo();
    if (slownesses > np) {
        // One slowness a trace of the store: the rest of the range is not analysed.
        Warn(c.ui, FormatC(Msg(language,
                               "The analysis holds at most %d slownesses (MAXTRACES): %d slownesses from p = %f on "
                               "were not analysed.",
                               "解析できるスローネスは %d 個まで (MAXTRACES) です: %d 個 (p = %f 以降) は解析されません"
                               "でした。")
                               .c_str(),
                           np, slownesses - np, static_cast<double>(dlg.minP + static_cast<float>(np) * dlg.interval)));
    }
    c.ui.Message(TauPResultText(language, metres[static_cast<size_t>(best)], average), MsgButtons::Ok,
                 MsgIcon::Info);
    return 1;
}

void AddTauPCommands(CommandTable& t)
{
    t.Add(cmd::kVelocityAnalysisTauP, "surfacewave", 40, "Velocity analysis (tau-p)", "速度解析 (tau-p)",
          OnVelocityAnalysisTauP, kRuleAlways);
}

}  // namespace velk
