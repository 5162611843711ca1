#pragma once
// Stepping through a survey line: the next and previous member file of the file group (or,
// without a group, the next half window of traces), and the common-receiver and CMP gathers
// that Show left/right side step through while a group with files is active.
//
// The commands reach the file group through FileGroupAccess, so that the reading of members
// and the building of gathers can be replaced (tests use a double). The group's state (active,
// counts, current index, gather kind and index) is read and written in ws.fileGroup.

#include <span>
#include <string>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

class CFileGroup;
class CVelkarineDoc;
class FrameServices;
class UiHost;
class Workspace;

class FileGroupAccess {
public:
    virtual ~FileGroupAccess() = default;
    // Each fills the store's rows and headers from index 0 and returns the traces written
    // (0 or less: nothing usable; readers give their own messages).
    virtual int ReadNthFile(int index, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
                            std::span<CTraceHeaderEx> headersEx) = 0;
    virtual int BuildGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int index) = 0;
    virtual int CommonReceiverGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int index) = 0;
    virtual int CdpGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int index) = 0;
    // The path of member file `index` ("" when the group cannot name it) and its file-type code.
    virtual std::string MemberPath(int index) = 0;
    virtual int MemberFileType(int index);
    // The current file name after member `index` was read: its listed name, or the path read
    // when the entry is named by the pattern ("" keeps the document's name).
    virtual std::string MemberName(int index);
};

// The file group of the workspace.
class WorkspaceFileGroup : public FileGroupAccess {
public:
    WorkspaceFileGroup(Workspace& ws, UiHost& ui);
    int ReadNthFile(int index, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
                    std::span<CTraceHeaderEx> headersEx) override;
    int BuildGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int index) override;
    int CommonReceiverGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int index) override;
    int CdpGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int index) override;
    std::string MemberPath(int index) override;
    std::string MemberName(int index) override;

private:
    // A gather that stopped at the caller's capacity says so.
    void TellIfStopped(bool stopped, int capacity);

    Workspace& ws_;
    UiHost& ui_;
    CFileGroup& group_;
    std::string lastPath_;  // the path of the last ReadNthFile
};

// A file group is active and holds files, or a loaded project table.
bool FileGroupHasFiles(const Workspace& ws);

struct StepContext {
    Workspace& ws;
    CVelkarineDoc& doc;
    UiHost& ui;
    FileGroupAccess& group;
    FrameServices* frame = nullptr;  // the frame whose title names the record (may be null)
};

// "Waveform data was modified ! \n\n Overwrite current file ?"
inline constexpr const char* kOverwriteModifiedText =
    "Waveform data was modified ! \n\n Overwrite current file ?";

// Show next waveform file. Without an active group: the next strong-motion station when a
// station set is loaded, else the trace window moves on by half its width. With a group:
//   1. modified data of a member file: the overwrite question; Yes saves the record to the
//      member's own path with the writer of its own type (the document's save road); no
//      writer or a failed save: the message, and the record stays as it is, still modified;
//   2. in automatic processing, with `handOff`, the record's picks go into the traveltime set;
//   3. a real-valued spectrum goes back (display filter off, undo when there is one);
//   4. undo snapshot; the member index steps (clamped to the group); a project file builds
//      the member's traces, otherwise the member file is read and sorted by receiver; a member
//      that cannot be read is passed over (its reader names it) for the next readable one in
//      the direction of the step; when none gives traces the record on show stays;
//   5. extents and maxima; the display values of level 1 after a spectrum; the record starts
//      from the member file's own state: a shot gather (gather kind 0) with no trace selected,
//      and, when a gather of the line was on show, the time window the user had on the member
//      file it replaced; record kind and data kind 0; the document stands for the member file
//      read (a project stays the document); then AfterRecordReplaced. An invalid interval is
//      reported.
// Returns 1 to repaint.
int ShowNextWaveformFile(StepContext& ctx, bool handOff);
// Show previous waveform file: the same backwards; the picks always go into the set (2).
int ShowPreviousWaveformFile(StepContext& ctx);

// Show left side / right side waveforms. Without an active group the sample window moves by
// half its width. With a group it steps the gather index (kind 1 common receiver or 2 CMP;
// any other kind becomes 1) and builds that gather, which is time-domain data; no receivers
// or midpoints, or an empty gather, change nothing. A gather built goes through
// AfterRecordReplaced as a record built in memory. Returns 1 to repaint.
int ShowSideWaveforms(Workspace& ws, UiHost& ui, FileGroupAccess& group, bool right, CVelkarineDoc* doc = nullptr,
                      FrameServices* frame = nullptr);

// Before a gather of the line replaces a member file on show: its time window is kept, and the
// next member file shown opens at it again.
void KeepMemberFileWindow(Workspace& ws);
// A member file of the line arrives in the store: it is a shot gather (gather kind 0, whose
// titles name the source), no trace is selected, and when a gather of the line was on show
// (`leftGather`) the time window kept by KeepMemberFileWindow comes back.
void StartFromMemberFile(Workspace& ws, bool leftGather);

}  // namespace velk
