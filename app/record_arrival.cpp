#include "app/record_arrival.h"

#include <algorithm>
#include <vector>

#include "app/acquisition/record_saving.h"
#include "app/command_table.h"
#include "app/formats/document.h"
#include "app/picking/pick_matching.h"
#include "app/shell_services.h"
#include "app/workspace.h"
#include "formats/file_roads.h"
#include "platform/language.h"

namespace velk {

namespace {

// The status bar's pane that names the record's file (the acquisition screen uses it for its
// own texts).
constexpr int kFilePane = 5;

constexpr int kPendingTitle = 1;
constexpr int kPendingUntitled = 2;

// Step 5: the document as the arrival says, then the frame's title and file pane.
void NameRecord(Workspace& ws, CVelkarineDoc& doc, FrameServices* frame, int title)
{
    // A gather of a project file is still the project's: Save keeps writing the project.
    if (title == kPendingUntitled && doc.fileType != kFileProject) doc.AdoptPath("", kFileSeg2);
    if (!frame) return;
    // An image made in memory is untitled (Save asks for a name) but keeps the name it was made
    // from in the frame's title.
    const bool image = ws.store.Params().recordKind == 1 || ws.store.Params().recordKind == 2;
    const bool named = image && ws.display.drawing.secondFileNameFlag == 1;
    frame->DocumentTitleChanged(doc.Title().empty() && named ? RecordTitleText(ws, "") : doc.Title());
    StatusPanes* status = frame->Status();
    if (status && ws.startup.acquisitionMode == 0) status->SetPaneText(kFilePane, doc.currentFileName);
}

}  // namespace

void ShowRecordView(Workspace& ws)
{
    DisplayState& d = ws.display;
    if (d.displayMode == 1) {
        const int recordKind = ws.store.Params().recordKind;
        d.plotMode = recordKind == 1 || recordKind == 2 ? 0 : -2;
        d.plotSubFlag = 0;
    }
    d.displayMode = 0;
    ShowPlotModeOfRecord(ws);
}

void ShowPlotModeOfRecord(Workspace& ws)
{
    DisplayState& d = ws.display;
    const int recordKind = ws.store.Params().recordKind;
    const bool image = recordKind == 1 || recordKind == 2;
    const bool wiggles = d.plotMode == -3 || d.plotMode == -2;
    if (image && wiggles) {
        d.waveformPlotMode = d.plotMode;
        d.plotMode = 0;
        d.plotSubFlag = 0;
    } else if (!image && d.waveformPlotMode != 0) {
        d.plotMode = d.waveformPlotMode;
        d.plotSubFlag = 0;
        d.waveformPlotMode = 0;
    }
    if (!image) d.drawing.secondFileNameFlag = 0;  // the names an image was made from
    // The picks drawn and saved are of the record's kind: a phase-velocity curve on a dispersion
    // image, first arrivals on waveforms (a coherence image leaves the choice as it was).
    if (recordKind == kRecordDispersion) d.phaseVelocityFileMode = 1;
    if (recordKind == kRecordWaveform) d.phaseVelocityFileMode = 0;
}

void BeforeRecordReplaced(Workspace& ws)
{
    if (ws.store.TraceCount() > 0 && ws.display.editMode == 1) MergeRecordPicks(ws);
}

std::string RecordTitleText(const Workspace& ws, const std::string& documentTitle)
{
    const bool jp = IsJapanese(ws.startup.language);
    const int kind = ws.store.Params().recordKind;
    const DisplayState& d = ws.display;
    std::string name = documentTitle;
    if (kind != 0 && d.drawing.secondFileNameFlag == 1 && (!jp || name.empty())) name = d.drawing.secondFileName;
    if (kind == 1) return (jp ? "分散曲線 : " : "Dispersion curve : ") + name;
    if (kind == 2) return (jp ? "コヒーレンス : " : "Coherence : ") + name;
    return name;
}

void RecordBecomesPanel(Workspace& ws)
{
    BeforeRecordReplaced(ws);
    ws.store.Params().pickShape = kPicksOfNoShot;
    MatchPicksToTraces(ws);  // clears the record's picks: none are found for no shot
}

RecordArrival ListMemberArrival(const Workspace& ws, RecordTitle title)
{
    if (ws.fileGroup.cmpList == 1) return BuiltArrival(title);
    return ShotArrival(title);
}

int RecordPickShape(const Workspace& ws, int claimed, const std::string& fileName)
{
    const WaveformStore& store = ws.store;
    if (store.Params().recordKind != kRecordWaveform) return kPicksOfNoShot;
    if (claimed != kPicksOfOneShot) return claimed;
    // A CMP gather's traces are gathered at a midpoint, not shot from it, whatever road opened it.
    if (!fileName.empty() && ws.fileGroup.IsCmpGatherName(fileName)) return kPicksOfNoShot;
    const int traces = std::min<int>(store.TraceCount(), static_cast<int>(store.current.headers.size()));
    for (int i = 1; i < traces; ++i) {
        if (store.current.headers[i].sourceHundredths != store.current.headers[0].sourceHundredths) return kPicksPerTrace;
    }
    return kPicksOfOneShot;
}

void AfterRecordReplaced(Workspace& ws, CVelkarineDoc* doc, FrameServices* frame, RecordArrival arrival)
{
    WaveformStore& store = ws.store;
    ++store.loadCounter;
    LeaveAcquiredDisplayScale(ws);
    // The file the record was read from: a road that kept the document names it there.
    const std::string fileName = doc && arrival.title == RecordTitle::Kept ? doc->currentFileName : std::string();
    CParameterSet& p = store.Params();
    bool becameGather = false;
    if (!arrival.keepPicks) {
        p.pickShape = RecordPickShape(ws, arrival.pickShape, fileName);
    } else if (p.pickShape == kPicksOfOneShot) {
        // Traces appended to a shot from other sources: the kept picks are each trace's own.
        p.pickShape = RecordPickShape(ws, kPicksOfOneShot, fileName);
        becameGather = p.pickShape == kPicksPerTrace;
    }
    if (store.TraceCount() > 0) {
        TakeRecordSourcePosition(ws);
        if (!arrival.keepPicks) {
            MatchPicksToTraces(ws);
        } else if (becameGather) {
            // The appended shots' traces show their own shots' picks; the picks kept stay.
            const std::vector<float> kept = p.pickTimes;
            const std::vector<int32_t> keptCodes = p.layerCodes;
            MatchPicksToTraces(ws);
            for (size_t i = 0; i < kept.size() && i < p.pickTimes.size(); ++i) {
                if (!(kept[i] > 0.0f)) continue;
                p.pickTimes[i] = kept[i];
                if (i < keptCodes.size() && i < p.layerCodes.size()) p.layerCodes[i] = keptCodes[i];
            }
        }
    }
    ShowRecordView(ws);

    const int title = arrival.title == RecordTitle::Untitled ? kPendingUntitled : kPendingTitle;
    if (!doc) {
        ws.pendingRecordTitle = std::max(ws.pendingRecordTitle, title);
        return;
    }
    ws.pendingRecordTitle = 0;
    NameRecord(ws, *doc, frame, title);
}

void AfterRecordReplaced(CommandContext& ctx, RecordArrival arrival)
{
    AfterRecordReplaced(ctx.ws, &ctx.doc, ctx.frame, arrival);
}

std::optional<int32_t> RecordSource(const Workspace& ws)
{
    if (ws.store.TraceCount() <= 0) return std::nullopt;
    return ws.store.current.headers[0].sourceHundredths;
}

void AfterSnapshotRestored(Workspace& ws, std::optional<int32_t> before)
{
    if (RecordSource(ws) != before) {
        AfterRecordReplaced(ws, nullptr, nullptr, RestoredArrival());
    } else {
        ShowPlotModeOfRecord(ws);
    }
}

void BeforeSnapshotRestored(Workspace& ws, const DataSet& coming)
{
    std::optional<int32_t> source;
    if (coming.params.traceCount > 0 && !coming.headers.empty()) source = coming.headers[0].sourceHundredths;
    if (source != RecordSource(ws)) BeforeRecordReplaced(ws);
}

void ApplyPendingRecordTitle(CommandContext& ctx)
{
    const int title = ctx.ws.pendingRecordTitle;
    if (title == 0) return;
    ctx.ws.pendingRecordTitle = 0;
    NameRecord(ctx.ws, ctx.doc, ctx.frame, title);
}

}  // namespace velk
