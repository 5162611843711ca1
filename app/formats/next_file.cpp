#include "app/formats/next_file.h"

#include <algorithm>

#include "base/display_filter.h"
#include "app/formats/document.h"
#include "app/picking/pick_matching.h"
#include "app/record_arrival.h"
#include "app/view/record_extents.h"
#include "app/store_commands.h"
#include "app/survey/file_list_commands.h"
#include "app/survey/group_commands.h"
#include "app/view/view_seams.h"
#include "app/workspace.h"
#include "formats/file_roads.h"
#include "formats/trace_arrays.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

int FileGroupAccess::MemberFileType(int index)
{
    return FileTypeFromExtension(MemberPath(index), 1);
}

std::string FileGroupAccess::MemberName(int) { return {}; }

WorkspaceFileGroup::WorkspaceFileGroup(Workspace& ws, UiHost& ui) : ws_(ws), ui_(ui), group_(ws.fileGroup) {}

int WorkspaceFileGroup::ReadNthFile(int index, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
                                    std::span<CTraceHeaderEx> headersEx)
{
    return group_.ReadNthFile(index, rows, headers, headersEx, &lastPath_, MakeGroupReadContext(ws_, ui_));
}

int WorkspaceFileGroup::BuildGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int index)
{
    bool stopped = false;
    const int n = group_.BuildGather(rows, headers, index, &stopped);
    TellIfStopped(stopped, group_.GatherCapacity(rows, headers));
    return n;
}

int WorkspaceFileGroup::CommonReceiverGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int index)
{
    bool stopped = false;
    const int n = group_.CommonReceiverGather(rows, headers, index, &stopped);
    TellIfStopped(stopped, group_.GatherCapacity(rows, headers));
    return n;
}

int WorkspaceFileGroup::CdpGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int index)
{
    bool stopped = false;
    const int n = group_.CdpGather(rows, headers, index, &stopped);
    TellIfStopped(stopped, group_.GatherCapacity(rows, headers));
    return n;
}

void WorkspaceFileGroup::TellIfStopped(bool stopped, int capacity)
{
    if (stopped) ui_.Message(GatherTooLargeText(ws_.startup.language, capacity), MsgButtons::Ok, MsgIcon::Warning);
}

std::string WorkspaceFileGroup::MemberPath(int index)
{
    if (index < 0 || index >= static_cast<int>(group_.entries.size())) return {};
    std::string path;
    group_.GetListedPath(index, path, MakeGroupReadContext(ws_, ui_));
    return path;
}

std::string WorkspaceFileGroup::MemberName(int index)
{
    if (index < 0 || index >= static_cast<int>(group_.entries.size())) return {};
    const FileListEntry& entry = group_.entries[static_cast<size_t>(index)];
    return entry.inUse == 1 ? entry.fileName : lastPath_;
}

bool FileGroupHasFiles(const Workspace& ws)
{
    const CFileGroup& g = ws.fileGroup;
    return g.active != 0 && (g.entryCount > 0 || g.dataLoaded == 1);
}

namespace {

// The record goes back to the member file it came from, written by the writer of that file's
// own type through the document's save road. False (after its message) when it was not saved.
bool SaveMember(StepContext& c, int index)
{
    std::string path = c.group.MemberPath(index);
    int type = path.empty() ? c.doc.fileType : c.group.MemberFileType(index);
    if (path.empty()) path = c.doc.Path();
    const int oldType = c.doc.fileType;
    c.doc.fileType = type;
    if (!c.doc.SaveRecord(c.ws, path, c.ui)) {
        c.doc.fileType = oldType;
        return false;
    }
    return true;
}

int MoveTraceWindow(Workspace& ws, bool forward)
{
    CParameterSet& p = ws.store.Params();
    DisplayState& d = ws.display;
    const int step = p.tracesShown / 2;
    const int first = forward ? d.firstTraceShown + step : d.firstTraceShown - step;
    d.firstTraceShown = std::max(0, std::min(first, ws.store.TraceCount() - p.tracesShown));
    return 1;
}

int SetTraceCount(Workspace& ws, int count)
{
    const int n = std::clamp(count, 0, ws.store.MaxTraces());
    ws.store.Params().traceCount = n;
    return n;
}


int StepWaveformFile(StepContext& c, bool forward, bool handOff)
{
    Workspace& ws = c.ws;
    WaveformStore& store = ws.store;
    DisplayState& d = ws.display;
    const int language = ws.startup.language;

    if (!FileGroupHasFiles(ws)) {
        if (StrongMotionStationsLoaded(ws)) return StepStrongMotionStation(ws, forward) ? 1 : 0;
        return MoveTraceWindow(ws, forward);
    }
    if (!store.IsAllocated()) return 0;

    CFileGroup& group = ws.fileGroup;
    // A project file steps through the sources of its table, a list through its files.
    const bool project = c.doc.fileType == kFileProject;
    const int files = project ? group.sourceCount
                              : std::min<int>(group.entryCount, static_cast<int>(group.entries.size()));
    if (files <= 0) return 0;
    const int current = std::clamp<int>(group.currentIndex, 0, files - 1);
    int next = std::clamp(forward ? current + 1 : current - 1, 0, files - 1);

    // The question comes before anything changes, so that a save that does not happen leaves
    // the record on show as it was.
    if (!project && d.modified == 1) {
        const MsgResult answer = c.ui.Message(
            Msg(language, kOverwriteModifiedText, "波形データが変更されています ! \n\n 現在のファイルに上書きしますか ?"),
            MsgButtons::YesNo, MsgIcon::Question);
        if (answer == MsgResult::Yes && !SaveMember(c, current)) return 0;
    }

    // The picks of the record being left go to the traveltime set in automatic processing, and
    // whenever first-arrival picking is on, as on every road that replaces the record.
    if (store.TraceCount() > 0 && d.automaticProcessing == 1 && (!forward || handOff)) {
        MergeRecordPicks(ws);
    } else {
        BeforeRecordReplaced(ws);
    }
    const bool wasSpectrum = store.dataKind() == kRealSpectrum;
    if (wasSpectrum) {
        ResetDisplayFilter(ws.displayFilter);
        if (CanUndo(ws)) RestoreUndo(ws);
    }
    store.PushUndo();

    const bool leftGather = group.gatherKind == 1 || group.gatherKind == 2;
    int read = 0;
    if (project) {
        read = c.group.BuildGather(store.current.rows, store.current.headers, next);
    } else {
        // A member that cannot be read is passed over (its reader has named it) for the next
        // readable one in the direction of the step.
        for (;;) {
            read = c.group.ReadNthFile(next, store.current.rows, store.current.headers, store.headersEx);
            const int after = forward ? next + 1 : next - 1;
            if (read > 0 || after < 0 || after >= files) break;
            next = after;
        }
    }
    if (read <= 0) {
        // Nothing usable came: the snapshot just taken brings the record back.
        RestoreUndo(ws);
        return 1;
    }
    group.currentIndex = next;
    const int count = SetTraceCount(ws, read);
    if (!project) {
        d.modified = 0;
        SortStoreByReceiver(store, count);
        // The document stands for the member shown, so Save writes there and not over the
        // file shown before.
        const std::string path = c.group.MemberPath(next);
        if (!path.empty()) c.doc.AdoptPath(path, c.group.MemberFileType(next));
        const std::string name = c.group.MemberName(next);
        if (!name.empty()) c.doc.currentFileName = name;
    }

    const bool validInterval = RecalcRecordExtents(ws, 0);
    if (wasSpectrum) RestoreDisplayFromLevel1(ws);
    StartFromMemberFile(ws, leftGather);
    store.Params().recordKind = 0;  // waveforms
    store.dataKind() = kTimeDomain;
    // The stored picks of the new record's shot; the old record's picks never stay on it.
    AfterRecordReplaced(ws, &c.doc, c.frame, ListMemberArrival(ws));
    if (!validInterval) c.ui.Message(InvalidIntervalMessage(language), MsgButtons::Ok, MsgIcon::Warning);
    return 1;
}

}  // namespace

void StartFromMemberFile(Workspace& ws, bool leftGather)
{
    CParameterSet& p = ws.store.Params();
    DisplayState& d = ws.display;
    ws.fileGroup.gatherKind = 0;
    std::fill(p.selectionFlags.begin(), p.selectionFlags.end(), 0);
    if (leftGather && d.fileSamplesShown > 0) {
        p.samplesShown = d.fileSamplesShown;
        d.firstSampleShown = d.fileFirstSample;
        ClampDisplayWindow(ws);
    }
    d.fileSamplesShown = -1;
}

void KeepMemberFileWindow(Workspace& ws)
{
    ws.display.fileSamplesShown = ws.store.Params().samplesShown;
    ws.display.fileFirstSample = ws.display.firstSampleShown;
}

int ShowNextWaveformFile(StepContext& ctx, bool handOff) { return StepWaveformFile(ctx, true, handOff); }

int ShowPreviousWaveformFile(StepContext& ctx) { return StepWaveformFile(ctx, false, true); }

int ShowSideWaveforms(Workspace& ws, UiHost& ui, FileGroupAccess& access, bool right, CVelkarineDoc* doc,
                      FrameServices* frame)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    DisplayState& d = ws.display;

    if (!FileGroupHasFiles(ws)) {
        const int step = p.samplesShown / 2;
        const int first = right ? d.firstSampleShown + step : d.firstSampleShown - step;
        d.firstSampleShown = std::max(0, std::min(first, p.samplesPerTrace - p.samplesShown));
        p.windowStartTime = static_cast<float>(d.firstSampleShown) * p.sampleInterval;
        return 1;
    }
    if (!store.IsAllocated()) return 0;

    CFileGroup& group = ws.fileGroup;
    const int kindBefore = group.gatherKind;
    if (group.gatherKind != 1 && group.gatherKind != 2) group.gatherKind = 1;
    const bool receivers = group.gatherKind == 1;
    const int gathers = receivers ? group.receiverCount : group.cdpCount;
    if (gathers <= 0) return 0;
    const int index = std::clamp(right ? group.gatherIndex + 1 : group.gatherIndex - 1, 0, gathers - 1);

    BeforeRecordReplaced(ws);
    const bool wasSpectrum = store.dataKind() == kRealSpectrum;
    const int built = receivers ? access.CommonReceiverGather(store.current.rows, store.current.headers, index)
                                : access.CdpGather(store.current.rows, store.current.headers, index);
    if (built <= 0) return 0;
    if (kindBefore == 0) KeepMemberFileWindow(ws);
    group.gatherIndex = index;
    // The set-up of a gather: counts, extents, maxima, the whole gather selected, the label,
    // time-domain data.
    const bool validInterval = GatherStoreSetUp(ws, built, receivers ? 1 : 2);
    if (wasSpectrum) RestoreDisplayFromLevel1(ws);
    AfterRecordReplaced(ws, doc, frame, receivers ? RecordArrival{RecordTitle::Untitled, false, kPicksSwapped} : GatherArrival());
    if (!validInterval) {
        ui.Message(InvalidIntervalMessage(ws.startup.language), MsgButtons::Ok, MsgIcon::Warning);
    }
    return 1;
}

}  // namespace velk
