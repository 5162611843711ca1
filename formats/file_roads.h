#pragma once
// The file-type table and what the file roads share: the code of a path by its name and, at
// load time, by its content; the rule for members of a file group; the path-level SEG-2
// wrappers; the first step of a load; and the small dialogs of the roads ("Open data file",
// "Set sampling time", "Sample skip", "Source and receiver location", "Source location etc.").
//
// The set-up steps that turn freshly read traces into the current record need the whole
// workspace (picks, display state, settings); they live in app/formats/load_setup.h.

#include <cstdint>
#include <span>
#include <optional>
#include <string>
#include <string_view>

#include "base/trace_header.h"
#include "base/waveform_store.h"
#include "platform/uihost.h"

namespace velk {

class ByteSource;
class LoadTarget;
struct FormatContext;

// File-type codes of a path.
enum FileTypeCode : int {
    kFileSeg2 = 0,
    kFileTorvaneOrg = 1,
    kFileEightHeader = 2,
    kFileStrongMotionText = 3,
    kFileStrongMotionSet = 4,
    kFileProject = 5,
    kFile560QX = 6,
    kFileThreeComponentDat = 7,
    kFileGpr = 8,
    kFileSegY = 9,
};
constexpr int kFileTypeCount = 10;
constexpr int kFileUnclaimed = -1;  // FileTypeOfGroupMember: no rule claims the path

// Record kinds (the parameter set's record kind): what a loaded record shows.
constexpr int kRecordWaveform = 0;
constexpr int kRecordDispersion = 1;
constexpr int kRecordCoherence = 2;

// Sizes of the bounded header reads of the classifiers (zero-filled when the file is shorter).
constexpr size_t kSeg1HeaderProbe = 158;   // the SEG-1 header up to past its model field
constexpr size_t kSeg1ModelOffset = 31;    // the model text of the SEG-1 header
constexpr size_t kOrgHeaderSize = 2816;    // the .ORG header
constexpr size_t kOrgModelFirst = 2;       // its model field, bytes 2..11
constexpr size_t kOrgModelLast = 11;

// The file name of a path: what follows the last '/' or '\' (Windows paths in old file lists).
std::string_view FileNamePart(std::string_view path);

// The code of a path by the name rules, first match wins: ".8hd"/".8HD" 2; ".org"/".ORG" 1
// (with checkFlag 1 only when IsTorvaneOrgFile says so, else the later rules); "ew.DAT",
// "EW.DAT", "ew.dat" and the "ns"/"ud" twins 7; ".ew", ".EW", ".ns", ".NS", ".ud", ".UD" 3;
// ".sgm"/".SGM" 4; ".qz4"/".QZ4" 5; ".dzt"/".DZT" 8; ".sgy", ".SGY", ".segy", ".SEGY" 9;
// otherwise 0. The rules are case-sensitive substring tests on the file name only: a folder
// named "x.org" claims nothing. A name containing ".coh"/".COH" (code 0) sets *recordKind to
// kRecordCoherence for the caller to apply; otherwise *recordKind is left as it is.
int FileTypeFromExtension(std::string_view path, int checkFlag, int* recordKind = nullptr);

// The type that the last extension of the file name names outright, in a spelling the readers
// take for that type: "sg2", "dat" and "coh" in any case (SEG-2), ".org"/".ORG", ".8hd"/".8HD",
// ".sgm"/".SGM", ".qz4"/".QZ4", and the types that have no writer: ".sgy"/".segy" (SEG-Y),
// ".dzt" (GPR), ".ew"/".ns"/".ud" (strong-motion text), each in lower or upper case. Nothing
// for any other extension or none, and never from a folder's name or the middle of a name (the
// open rules' fallbacks).
std::optional<int> SaveTypeNamedByExtension(std::string_view path);

// The load-time variant over the already open file: 6 when the SEG-1 header's model text
// (byte 31 on, within the first 158 bytes) contains "Tq560QX" or "TQ560QX"; otherwise the name
// rules, where the .ORG check reads this file, and a file that starts with a SEG-2 descriptor
// is SEG-2 (0) even when its name says 3 or 7 ("new.dat" contains "ew.dat"). The file position
// is 0 afterwards.
int FileTypeFromContent(std::string_view path, int checkFlag, ByteSource& file, int* recordKind = nullptr);

// The rule for the members of a file group: ".dat", ".DAT", ".sg2", ".SG2" give 6 for a 560QX
// file and 0 otherwise (so "ew.DAT" is never 7 here); then the rules above from ".8hd" on,
// without the three-component names and without ".coh"; kFileUnclaimed when no rule matches.
int FileTypeOfGroupMember(std::string_view path, int checkFlag);

// 1 when the .ORG header's model field (bytes 2..11) names the maker's instrument ("Tq" or
// "TQ", as in "Tq470F"), else 0 (also for a file that cannot be read).
int IsTorvaneOrgFile(const std::string& path);
int IsTorvaneOrgHeader(ByteSource& file);  // the same over an open file; position left at 0

// Whether the file is a SEG-1 record of the 560QX ("Tq560QX"/"TQ560QX" in its model text).
// A pure predicate: no message (the SEG-1 reader says what it needs to).
bool Is560QXFile(const std::string& path);
bool Is560QXHeader(ByteSource& file);  // over an open file; position left at 0

// Whether the file starts with a plausible SEG-2 file descriptor: 55 3A, at least one trace,
// a pointer table that holds the traces (4N <= M) and lies inside the file. Position left at 0.
bool StartsWithSeg2Descriptor(ByteSource& file);

// ---------------------------------------------------------------------------------------------
// Path-level SEG-2 readers. Each opens the path, reads into the target and returns the
// reader's count; a path that cannot be opened gives -1 with the message "Cannot open the
// file" and reads nothing. (WriteSeg2File is in formats/seg2.h.)

// The extended records' latitude and longitude are read into the target as well; callers
// that have no use for them ignore them (the scratch records of the path-level table).
int ReadSeg2File(const std::string& path, LoadTarget& target, int skip, FormatContext& ctx);
// The same; the name of the variant that hands the extended records on.
int ReadSeg2FileEx(const std::string& path, LoadTarget& target, int skip, FormatContext& ctx);
// Headers only, from index 0, for the file lists (headers.size() is MAXTRACES; records empty
// or as long).
int ReadSeg2HeadersFile(const std::string& path, std::span<CTraceHeader> headers,
                        std::span<CTraceHeaderEx> records, int maxSample, FormatContext& ctx);

// ---------------------------------------------------------------------------------------------
// First step of a document load: the current trace count into `loadedCount`, and an undo
// snapshot when it is not 0.
void BeginLoad(WaveformStore& store, int& loadedCount);

// ---------------------------------------------------------------------------------------------
// Dialogs of the file roads. Each is a plain struct shown through the UiHost's generic form;
// its values change only on OK.

// "Open data file": a new record (0) or traces appended to the loaded ones (1). OK only.
struct COpenDataFileDlg {
    static constexpr const char* kClass = "COpenDataFileDlg";
    static constexpr int kNewFile = 0;
    static constexpr int kAppend = 1;
    int value = -1;  // callers preset kNewFile, so "New file" is chosen

    DialogRequest Request(int language);
    // Presets "New file" and shows the dialog: kNewFile or kAppend, or -1 when it was closed
    // without OK.
    static int Ask(UiHost& ui, int language);
};

// "Set sampling time": the interval in ms.
struct CSamplingTimeDlg {
    static constexpr const char* kClass = "CSamplingTimeDlg";
    float interval = 0.5f;  // ms

    DialogRequest Request(int language);
};

// "Sample skip": keep every skip-th sample, 1..1024. Seeded with 1 (the first use keeps every
// sample) and then with the last value.
struct CSampleSkipDlg {
    static constexpr const char* kClass = "CSampleSkipDlg";
    static constexpr int kMaxSkip = 1024;
    int skip = 1;

    DialogRequest Request(int language);
};

// "Source and receiver location": shown when a loaded record holds traces with the same
// source and receiver. 0 neglect the receiver locations of the headers (receivers become
// 0, 1, 2 ... m), 1 use them. OK only; the caller presets 0.
struct CSourceReceiverLocationDlg {
    static constexpr const char* kClass = "CSourceReceiverLocationDlg";
    static constexpr int kNeglect = 0;
    static constexpr int kUseHeaders = 1;
    int choice = -1;
    std::string warning;  // the dialog's three static lines, shown read-only (set by Request)

    DialogRequest Request(int language);
};

// "Source location etc.": the source position of traces that carry none, their component,
// and a shift of their receivers.
struct CSourceLocationDlg {
    static constexpr const char* kClass = "CSourceLocationDlg";
    static constexpr int kComponents = 10;  // radio "1" .. "10": index 0..9
    float sourceLocation = 0.0f;   // m
    int component = 0;             // index 0..9 (component code - 1)
    int changeComponent = 0;       // check "Change" beside the component
    int changeSourceLocation = 0;  // check "Change" beside the source location
    int distanceShiftOn = 0;       // check "Shift"
    float distanceShift = 0.0f;    // m

    DialogRequest Request(int language);
};

// The component index the dialog shows for a component code (code - 1, clamped to 0..9).
int ComponentIndexOf(int32_t componentCode);

// Runs "Source location etc." for the traces first .. end-1 of `headers`, preset with the
// first trace's source position and component. On OK, for each trace of the range: the source
// word when the source "Change" box is ticked, the component (index + 1) when the component
// "Change" box is ticked, and the receiver word moved by the shift when "Shift" is ticked;
// positions in hundredths by the one rounding helper (nearest; a shifted receiver outside
// int32 stays where it was). Returns 1 on OK, 0 on Cancel (nothing written) or an empty range.
int EditSourceLocation(std::span<CTraceHeader> headers, int first, int end, UiHost& ui, int language);

}  // namespace velk
