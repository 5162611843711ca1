#include "app/dsp/stack_commands.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <vector>

#include "app/dsp/data_kind.h"
#include "app/operations.h"
#include "app/workspace.h"
#include "dsp/stacking.h"
#include "formats/trace_arrays.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

// [first, last] of each run of equal receiver words among the first `traces` headers.
struct Group {
    int first = 0;
    int last = 0;
    int Size() const { return last - first + 1; }
};

std::vector<Group> Groups(const std::vector<CTraceHeader>& headers, int traces)
{
    std::vector<Group> groups;
    for (int i = 0; i < traces; ++i) {
        if (i == 0 || headers[static_cast<size_t>(i)].receiverHundredths !=
                          headers[static_cast<size_t>(i) - 1].receiverHundredths) {
            groups.push_back({i, i});
        } else {
            groups.back().last = i;
        }
    }
    return groups;
}

// Sorts by receiver, takes the snapshot and returns the groups; the inputs are then read from
// undo level 1.
std::vector<Group> SortAndSnapshot(WaveformStore& store)
{
    SortStoreByReceiver(store, store.TraceCount());
    store.PushUndo();
    return Groups(store.level1.headers, store.TraceCount());
}

// Rows of one group as doubles (or floats) of n values from undo level 1: each trace's own
// samples, zeros beyond them. The block grows only, so one serves every group.
template <class T>
std::vector<const T*> GroupRows(const WaveformStore& store, const Group& g, int n, std::vector<T>& block)
{
    const size_t width = static_cast<size_t>(std::max(n, 1));
    if (block.size() < width * static_cast<size_t>(g.Size())) block.resize(width * static_cast<size_t>(g.Size()));
    std::vector<const T*> rows;
    for (int t = g.first; t <= g.last; ++t) {
        T* row = block.data() + width * static_cast<size_t>(t - g.first);
        const int own = std::clamp(store.level1.headers[static_cast<size_t>(t)].samples, 0, std::min(n, store.RowLength()));
        const auto src = store.level1.rows.Row(t);
        std::copy(src.begin(), src.begin() + own, row);
        std::fill(row + own, row + n, T(0));
        rows.push_back(row);
    }
    return rows;
}

// Output trace g := values[0..n) with the group's last header numbered g; zeros between n and
// that header's count.
template <class T>
void WriteGroup(WaveformStore& store, int g, const Group& group, const T* values, int n)
{
    CTraceHeader h = store.level1.headers[static_cast<size_t>(group.last)];
    h.traceNumber = g;
    store.current.headers[static_cast<size_t>(g)] = h;
    const auto row = store.current.rows.Row(g);
    const int limit = std::clamp(n, 0, store.RowLength());
    for (int j = 0; j < limit; ++j) row[static_cast<size_t>(j)] = static_cast<float>(values[j]);
    const int count = std::clamp(h.samples, 0, store.RowLength());
    if (count > limit) std::fill(row.begin() + limit, row.begin() + count, 0.0f);
}

// The record after the last group: one trace per group, peaks, display factors 1.0, the
// window from the first trace over all of them.
void FinishGroups(Workspace& ws, int groups)
{
    CParameterSet& p = ws.store.Params();
    p.traceCount = groups;
    ws.store.ComputeTraceMaxima();
    ResetDisplayFactors(ws);
    ws.display.firstTraceShown = 0;
    p.tracesShown = groups;
}

// Trace 1's sample count within the rows: the length Vertical stack and Subtract work over.
int FirstTraceSamples(const WaveformStore& store)
{
    return std::clamp(store.level1.headers[0].samples, 0, store.RowLength());
}

}  // namespace

std::string StackProgressText(int trace) { return FormatC("Vertical stacking : trace = %d       ", trace); }
std::string SubtractProgressText(int trace) { return FormatC("Subtracting : trace = %d       ", trace); }
std::string ConnectProgressText(int trace, int count)
{
    return FormatC("Connecting : trace = %d N = %d      ", trace, count);
}

int StackGroups(Workspace& ws, ProgressSink& progress, int method, int windowSamples)
{
    WaveformStore& store = ws.store;
    if (store.TraceCount() == 0) return 0;
    const std::vector<Group> groups = SortAndSnapshot(store);
    const int n = FirstTraceSamples(store);
    std::vector<double> block;
    std::vector<double> out(static_cast<size_t>(std::max(n, 1)));
    for (size_t g = 0; g < groups.size(); ++g) {
        const std::vector<const double*> rows = GroupRows(store, groups[g], n, block);
        if (g + 1 < groups.size()) progress.SetText(StackProgressText(static_cast<int>(g)));
        CVerticalStackDlg::Stack(groups[g].Size(), n, method, windowSamples, rows.data(), out.data());
        WriteGroup(store, static_cast<int>(g), groups[g], out.data(), n);
    }
    FinishGroups(ws, static_cast<int>(groups.size()));
    return 1;
}

int CWaveOperations::VerticalStack()
{
    CVerticalStackDlg dlg;
    dlg.method = CVerticalStackDlg::kAverage;
    DialogRequest request = dlg.Request(ws.startup.language);
    ws.verticalStackAccepted.SetFromDialogResult(ui.RunDialog(request));
    if (ws.verticalStackAccepted.Value() != 1) return 0;
    int windowSamples = 1;
    if (dlg.method == CVerticalStackDlg::kSemblance || dlg.method == CVerticalStackDlg::kSemblanceWeighted) {
        const float interval = ws.store.Params().sampleInterval;
        if (!CheckIntervalMs(ws, ui, interval)) return 0;
        windowSamples = CVerticalStackDlg::WindowSamples(dlg.method, dlg.window, interval);
    }
    return StackGroups(ws, progress, dlg.method, windowSamples);
}

int OnSubtract(Workspace& ws, ProgressSink& progress)
{
    WaveformStore& store = ws.store;
    if (store.TraceCount() == 0) return 0;
    const std::vector<Group> groups = SortAndSnapshot(store);
    const int n = FirstTraceSamples(store);
    std::vector<float> block;
    std::vector<float> out(static_cast<size_t>(std::max(n, 1)));
    for (size_t g = 0; g < groups.size(); ++g) {
        const std::vector<const float*> rows = GroupRows(store, groups[g], n, block);
        if (g + 1 < groups.size()) progress.SetText(SubtractProgressText(static_cast<int>(g)));
        if (rows.size() >= 2) {
            CVerticalStackDlg::Difference(n, rows.data(), out.data());
            WriteGroup(store, static_cast<int>(g), groups[g], out.data(), n);
        } else {
            // Nothing to subtract from a lone trace: it stays as it is.
            WriteGroup(store, static_cast<int>(g), groups[g], rows[0], n);
        }
    }
    FinishGroups(ws, static_cast<int>(groups.size()));
    return 1;
}

int OnConnect(Workspace& ws, UiHost& ui, ProgressSink& progress)
{
    WaveformStore& store = ws.store;
    const int traces = store.TraceCount();
    if (traces == 0) return 0;
    // A group is one receiver word, wherever its traces lie before the sort.
    std::map<int32_t, long long> joined;
    for (int i = 0; i < traces; ++i) joined[store.current.headers[static_cast<size_t>(i)].receiverHundredths] += store.TraceSamples(i);
    for (const auto& [receiver, total] : joined) {
        if (!CheckRecordFitsMaxSample(ws, ui, total)) return 0;
    }
    const std::vector<Group> groups = SortAndSnapshot(store);
    std::vector<double> block;
    std::vector<double> out(static_cast<size_t>(store.MaxSample()));
    for (size_t g = 0; g < groups.size(); ++g) {
        const Group& group = groups[g];
        int longest = 0;
        for (int t = group.first; t <= group.last; ++t) longest = std::max(longest, store.TraceSamples(t));
        const std::vector<const double*> rows = GroupRows(store, group, longest, block);
        if (g + 1 < groups.size()) progress.SetText(ConnectProgressText(static_cast<int>(g), group.Size()));
        // The group's headers with their counts held to the rows.
        std::vector<CTraceHeader> headers(store.level1.headers.begin() + group.first,
                                          store.level1.headers.begin() + group.last + 1);
        for (CTraceHeader& h : headers) h.samples = std::clamp(h.samples, 0, longest);
        const int total = CVerticalStackDlg::Concatenate(group.Size(), rows.data(), out, headers);
        WriteGroup(store, static_cast<int>(g), group, out.data(), total);
        store.current.headers[g].samples = total;
    }
    FinishGroups(ws, static_cast<int>(groups.size()));
    CParameterSet& p = store.Params();
    p.samplesPerTrace = store.current.headers[0].samples;
    p.samplesShown = p.samplesPerTrace;
    p.shownTime = static_cast<float>(p.samplesPerTrace) * p.sampleInterval;
    return 1;
}

}  // namespace velk
