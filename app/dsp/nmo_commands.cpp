#include "app/dsp/nmo_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "app/dsp/data_kind.h"
#include "app/workspace.h"
#include "dsp/nmo.h"
#include "formats/format_support.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "survey/file_group.h"

namespace velk {

int OnNmoCorrection(Workspace& ws, UiHost& ui)
{
    WaveformStore& store = ws.store;
    CNmoCorrectionDlg dlg;
    dlg.velocity = std::clamp(ws.modelling.migrationVelocity, static_cast<float>(CNmoCorrectionDlg::kMin),
                              static_cast<float>(CNmoCorrectionDlg::kMax));
    DialogRequest request = dlg.Request(ws.startup.language);
    if (!ui.RunDialog(request)) {
        return 0;
    }
    ws.modelling.migrationVelocity = dlg.velocity;
    if (store.TraceCount() == 0 || !CheckTraceIntervals(ws, ui)) {
        return 0;
    }
    store.PushUndo();
    NmoCorrect(store.TraceCount(), store.current.headers, store.current.rows, dlg.velocity);
    ResetDisplayFactors(ws);
    store.ComputeTraceMaxima();
    return 1;
}

namespace {

double OffsetMisfit(const CTraceHeader& h, float chosen)
{
    const auto offset = static_cast<double>(std::llabs(static_cast<long long>(h.receiverHundredths) -
                                                       h.sourceHundredths)) / 100.0;
    return std::fabs(offset - static_cast<double>(chosen));
}

// Refuses with the capacity message when `count` rows do not fit the capacity and the output.
bool FitsRows(const GatherRun& run, int count, const Matrix2D<float>& outRows, std::span<CTraceHeader> outHeaders)
{
    const int room = std::min({run.capacity, static_cast<int>(outRows.Rows()), static_cast<int>(outHeaders.size())});
    if (count > room) {
        run.ui.Message(TracesTooLargeText(run.language, std::min(run.capacity, room)), MsgButtons::Ok,
                       MsgIcon::Warning);
        return false;
    }
    return true;
}

// Refuses when an entry holds more samples than a row.
bool FitsSamples(const GatherRun& run, const CFileGroup& group, const Matrix2D<float>& outRows)
{
    const auto cols = static_cast<long long>(outRows.Cols());
    for (const auto& cells : group.table) {
        for (const CTraceEntry& cell : cells) {
            if (cell.use == 1 && cell.header.samples > cols) {
                run.ui.Message(SamplesTooLargeText(run.language, static_cast<int>(cols)), MsgButtons::Ok,
                               MsgIcon::Warning);
                return false;
            }
        }
    }
    return true;
}

void ZeroRow(Matrix2D<float>& rows, int row)
{
    const auto r = rows.Row(rows.RowLow() + row);
    std::fill(r.begin(), r.end(), 0.0f);
}

}  // namespace

int ConstantVelocityStack(CFileGroup& group, Matrix2D<float>& outRows, std::span<CTraceHeader> outHeaders,
                          const GatherRun& run, float velocity)
{
    const int cdps = std::min(group.cdpCount, CFileGroup::kMaxCdps);
    if (cdps <= 0 || run.capacity <= 0 || outRows.Empty() || !FitsRows(run, cdps, outRows, outHeaders) ||
        !FitsSamples(run, group, outRows)) {
        return 0;
    }
    for (int cdp = 0; cdp < cdps; ++cdp) {
        if (group.CdpFold(cdp) > run.capacity) {
            run.ui.Message(TracesTooLargeText(run.language, run.capacity), MsgButtons::Ok, MsgIcon::Warning);
            return 0;
        }
    }
    Matrix2D<float> work(0, run.capacity - 1, 0, static_cast<int>(outRows.Cols()) - 1);
    std::vector<CTraceHeader> headers(static_cast<size_t>(run.capacity));
    for (int cdp = 0; cdp < cdps; ++cdp) {
        const int d = group.CdpGather(work, headers, cdp);
        run.progress.SetText(FormatC("Constant velocity stacking ! CDP=%d # of traces=%d", cdp, d));
        const auto out = outRows.Row(outRows.RowLow() + cdp);
        if (d == 0) {
            ZeroRow(outRows, cdp);
            outHeaders[static_cast<size_t>(cdp)] = CTraceHeader{};
            outHeaders[static_cast<size_t>(cdp)].receiverHundredths = group.cdpPositions[static_cast<size_t>(cdp)];
            continue;
        }
        NmoCorrect(d, headers, work, velocity);
        ZeroRow(outRows, cdp);
        outHeaders[static_cast<size_t>(cdp)] = StackToOne(d, headers[0], work, out);
    }
    return cdps;
}

int BuildCommonOffsetGather(CFileGroup& group, std::span<CTraceHeader> outHeaders, Matrix2D<float>& outRows,
                            const GatherRun& run)
{
    const int files = std::min<int>(group.entryCount, CFileGroup::kMaxFiles);
    if (files <= 0 || run.capacity <= 0 || outRows.Empty() || !FitsRows(run, files, outRows, outHeaders) ||
        !FitsSamples(run, group, outRows)) {
        return 0;
    }
    Matrix2D<float> work(0, run.capacity - 1, 0, static_cast<int>(outRows.Cols()) - 1);
    std::vector<CTraceHeader> headers(static_cast<size_t>(run.capacity));
    const GroupReadContext read = run.read ? *run.read : GroupReadContext{run.ui, run.language, NullLog()};
    for (int i = 0; i < files; ++i) {
        run.progress.SetText(FormatC("File=%d/%d", i, files));
        group.currentIndex = i;
        const int n = group.ReadListedFile(i, work, headers, read);
        int best = -1;
        double bestMisfit = 100000.0;
        for (int t = 0; t < n; ++t) {
            const double misfit = OffsetMisfit(headers[static_cast<size_t>(t)], group.spacing);
            if (misfit < bestMisfit) {
                bestMisfit = misfit;
                best = t;
            }
        }
        ZeroRow(outRows, i);
        if (best < 0) {
            outHeaders[static_cast<size_t>(i)] = CTraceHeader{};
            continue;
        }
        const CTraceHeader& h = headers[static_cast<size_t>(best)];
        outHeaders[static_cast<size_t>(i)] = h;
        const auto from = work.Row(best);
        const size_t count = std::min(static_cast<size_t>(std::max(h.samples, 0)), from.size());
        std::copy_n(from.begin(), count, outRows.Row(outRows.RowLow() + i).begin());
    }
    return files;
}

int CollectOffsetTraces(CFileGroup& group, Matrix2D<float>& outRows, std::span<CTraceHeader> outHeaders,
                        const GatherRun& run)
{
    const int shots = static_cast<int>(group.table.size());
    if (shots <= 0 || run.capacity <= 0 || outRows.Empty() || !FitsRows(run, shots, outRows, outHeaders) ||
        !FitsSamples(run, group, outRows)) {
        return 0;
    }
    group.ClearMarks();
    int collected = 0;
    for (int s = 0; s < shots; ++s) {
        run.progress.SetText(FormatC("Source=%d/%d", s, shots));
        CTraceEntry* best = nullptr;
        double bestMisfit = 100000.0;
        for (CTraceEntry& cell : group.table[static_cast<size_t>(s)]) {
            if (cell.use != 1 || !(cell.header.sourceHundredths < cell.header.receiverHundredths)) {
                continue;
            }
            const double misfit = OffsetMisfit(cell.header, group.spacing);
            if (misfit < bestMisfit) {
                bestMisfit = misfit;
                best = &cell;
            }
        }
        if (!best || (collected > 0 && best->header.receiverHundredths ==
                                           outHeaders[static_cast<size_t>(collected - 1)].receiverHundredths)) {
            continue;
        }
        ZeroRow(outRows, collected);
        outHeaders[static_cast<size_t>(collected)] = best->GetHeader();
        outHeaders[static_cast<size_t>(collected)].samples =
            best->GetSamples(outRows.Row(outRows.RowLow() + collected));
        best->mark = 1;
        ++collected;
    }
    return collected;
}

}  // namespace velk
