#pragma once
// What happens to freshly read traces before they are the current record: the commit of a
// load target into the store, the two set-up steps of the document's loads (a record that
// replaces the loaded one, traces appended to it), the record extents of the open commands,
// and the generic set-up of the readers that give samples without usable headers.

#include <functional>
#include <optional>
#include <span>
#include <string>

#include "base/trace_header.h"

namespace velk {

class LoadTarget;
class LogSink;
class UiHost;
class Workspace;

// Where results and diagnostic files go: on the acquisition screen beside the survey line's
// records (its data folder), else the working folder.
std::string ResultFolder(const Workspace& ws);

// The diagnostic log of the readers: ws.diagnostics, made on first use as the sink of the
// result folder, which it follows.
LogSink& DiagnosticLog(Workspace& ws);

// Moves the workspace's working folder, where results and diagnostic files go from now on (a
// made or opened file list moves it to the list's folder, so each line's files stay with the
// line). A diagnostic sink of the old folder follows; a sink a test or tool put in place stays.
// An empty folder changes nothing.
void SetWorkingFolder(Workspace& ws, const std::string& folder);

// The receiver range of the display state: [first, last] widened over the receivers of traces
// 0..count-1 (the callers start from their own sentinels).
void WidenReceiverRange(Workspace& ws, int count, float first, float last);
// The kilometre display goes on for a receiver range wider than 5000.
void KilometresForWideRecords(Workspace& ws);

// The message after a load: " Number of trace = %d \n Sampling time = %f \n Number of sample = %d ",
// or with "(msec)" after the sampling time; in Japanese, their twins of the message catalogue.
std::string RecordSummaryMessage(int traces, float intervalMs, int samples, int language = -1);
std::string RecordSummaryMessageMsec(int traces, float intervalMs, int samples, int language = -1);

// " Unknown file format ! \n\n Exit program and \n Use Option - etc. - Open 8 header file (older)"
inline constexpr const char* kUnknownFileFormat =
    " Unknown file format ! \n\n Exit program and \n Use Option - etc. - Open 8 header file (older)";

// Whether a first trace's interval word gives a usable sample interval (at least 1e-9 ms, and
// a number). Loads check it before they commit, so a record without one leaves the store as it
// was; ShowUnknownFileFormat says so.
bool HasUsableInterval(const CTraceHeader& first);
void ShowUnknownFileFormat(UiHost& ui, int language);

// Copies traces 0..count-1 of the target into the store at target.Start() + k: rows (zero
// beyond what was read), extended headers and, with copyHeaders, the headers. Count is
// clamped to the target's capacity and the store.
void CommitLoadTarget(Workspace& ws, const LoadTarget& target, int count, bool copyHeaders);

// What the set-up steps need to know about the load besides the traces.
struct LoadSetupInfo {
    std::string fileName;  // the current file name ("cmp" in it marks a CMP gather)
    // With a strong-motion set loaded: moves the set's per-trace records in the sort's order.
    std::function<void(std::span<const int>)> moveStationRecords;
};

// Set-up after a load that replaced the record: records[i] (store index) become the headers
// of traces 0..count-1, the old record's picks go to the traveltime set first when picking is
// on, the traces are sorted by receiver, the repeated-configuration question is asked, the
// extents, peaks, display values and scales are set and the summary message is shown (the
// command then passes the record through AfterRecordReplaced). A record whose first trace has no usable interval gives the
// "Unknown file format" message and an empty record (false); loads check it before they
// commit, so this is a last guard.
bool ReplaceLoadedTraces(Workspace& ws, UiHost& ui, int count, std::span<const CTraceHeader> records,
                         const LoadSetupInfo& info = {});

// Set-up after a load that appended newCount traces behind the loaded ones (records indexed
// by store index): their headers, the "Source location etc." dialog over them (Cancel keeps
// the file's source and component), then count, extents, peaks, display values, the summary
// message and the sort by receiver.
void AppendLoadedTraces(Workspace& ws, UiHost& ui, int newCount, std::span<const CTraceHeader> records,
                        const LoadSetupInfo& info = {});

// The generic set-up of the readers that give samples without usable headers (the float
// SEG-2, GPR, memory-recorder and instrument opens, and the text and binary imports). Every
// header gets the trace number, receiver (i + firstReceiverNumber) x 100, source 0, gain 1,
// the component, the delay, the interval and the sample count; then peaks, the receiver range
// and the shown values, and per command the options below.
struct GenericSetUpOptions {
    bool showSummary = false;          // the " Number of trace = ..." message first
    bool numberFromOne = false;        // trace numbers i + 1 (else every trace number is 1)
    int firstReceiverNumber = 1;       // receiver of trace i: (i + this) x 100
    int component = 1;                 // 1000: times in seconds (GPR)
    float delayUs = 0.0f;
    std::optional<std::pair<float, float>> receiverRange;  // default: 1 .. count - 1
    bool resetDisplayWindow = false;   // the display filter test back to its defaults
    std::optional<float> verticalScale;    // plotscale
    std::optional<float> horizontalScale;  // hscale
    std::optional<int> secondsFlag;
    bool timeDomain = false;           // data kind := 0
};
void GenericSetUp(Workspace& ws, UiHost& ui, int traceCount, int samples, float intervalMs,
                  const GenericSetUpOptions& options);

}  // namespace velk
