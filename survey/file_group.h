#pragma once
// The file group of a survey line: the file list with its nominal geometry and, once read, the
// trace table arranged by source (rows) and receiver (columns). There is one per Workspace.
//
// The list names the shot files; the geometry reads their headers and lays out the table; the
// waveform read fills the table's cells; the project file (.QZ4) saves and restores the loaded
// table. Reading a listed file goes through a GroupReadContext (messages, diagnostic log, the
// folders names are resolved against), and fills the caller's rows only when it succeeds.
// Every gather carries its guards: an empty group gives 0, and a copy is bounded by the
// caller's rows, headers and row length.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

class ByteSink;
class ByteSource;
class LoadTarget;
class LogSink;
class UiHost;

// One file of the list.
struct FileListEntry {
    static constexpr size_t kMaxName = 79;  // file_name is char[80] where it is stored
    int32_t inUse = 0;        // 1 = named by fileName; 0 = name made from the pattern and id
    std::string fileName;     // without a folder as a rule
    int32_t hasType = 0;
    int32_t fileType = 0;     // 0 SEG-2, 1 .ORG, 2 8-header, 3 unknown, 6 SEG-1 of the 560QX
    int32_t id = 0;
    float shotDistance = 0.0f;      // m
    float firstReceiver = 0.0f;     // m
    float receiverInterval = 0.0f;  // m
    int32_t numberOfAuxiliary = 0;

    bool operator==(const FileListEntry&) const = default;
};

// One cell of the trace table.
class CTraceEntry {
public:
    // Frees owned samples, takes the header and header-word-8 samples of the row (bit for
    // bit; missing ones are 0); owns, has samples and is in use afterwards.
    void SetTrace(std::span<const float> row, const CTraceHeader& h);
    // Copies the entry's samples (header word 8 of them, at most out.size()) into a row;
    // returns the count copied.
    int GetSamples(std::span<float> out) const;
    // Sample count := count, and count samples of the row copied in (the array grows when it
    // is shorter).
    void PutSamples(std::span<const float> row, int count);
    CTraceHeader GetHeader() const { return header; }
    CTraceHeader SetHeaderWords(const CTraceHeader& words);
    // With samples: the forward FFT of the samples zero-padded to PowerOfTwoLength(n, p), p
    // clamped to 1..4; returns the length, 0 without samples.
    int ComputeSpectrum(int padding, int n);
    // spectrumLength values of each part into the arrays (bounded by them); the length.
    int GetSpectrum(std::span<float> re, std::span<float> im) const;
    // alive 0, every sample 0.
    void Kill();
    // n samples: the old ones in front, zeros behind.
    void ResizeSamples(int n);
    void FreeArrays();

    int32_t use = 0;
    int32_t fileIndex = -1;
    int32_t traceIndex = -1;
    int32_t hasSamples = 0;
    CTraceHeader header;
    int32_t ownsSamples = 0;
    std::vector<float> samples;
    int32_t hasSpectrum = 0;
    std::vector<float> spectrumRe;
    std::vector<float> spectrumIm;
    int32_t spectrumLength = 0;
    int32_t alive = 1;
    int32_t mark = 0;
};

// Where the names of a listed file resolve and how much the waveform read may hold.
struct GroupReadSettings {
    std::string workingFolder{};  // names resolve here when the group has no list folder
    int instrumentMenu = 0;      // ONQKW: names of in-use entries resolve in dataFolder
    std::string dataFolder{};
    int maxTraces = 128;         // the store's capacities (scratch of the waveform read)
    int maxSample = 4100;
};

// What reading a listed file needs besides the group: where messages go and in which
// language, the diagnostic log, and the settings above. WithUi and WithLog copy a context with
// the messages or the log sent elsewhere and every setting kept.
struct GroupReadContext : GroupReadSettings {
    GroupReadContext(UiHost& ui, int language, LogSink& log, GroupReadSettings settings = {})
        : GroupReadSettings(std::move(settings)), ui(ui), language(language), log(log)
    {
    }
    GroupReadContext WithUi(UiHost& other) const { return {other, language, log, *this}; }
    GroupReadContext WithLog(LogSink& other) const { return {ui, language, other, *this}; }

    UiHost& ui;
    int language;
    LogSink& log;
};

// How a project file load ended.
enum class ProjectLoadStatus { Loaded, WrongSignature, Bad, TooLarge };

class CFileGroup {
public:
    static constexpr int kMaxFiles = 1000;      // fixed list capacity (MAX_WORK_GROUP_FILE only carries the key)
    static constexpr int kMaxSources = 1000;
    static constexpr int kMaxReceivers = 2000;
    static constexpr int kMaxCdps = 4000;
    static constexpr int kNamingSchemes = 4;
    static constexpr const char* kSignature = "VELKARINE";

    CFileGroup();

    // --- List -------------------------------------------------------------------------------
    // Appends a file named `name` (numbered by the digits in it) with its geometry; a name
    // without a number adds nothing. Returns entryCount. A full list adds nothing and, with a
    // UiHost, says so.
    int AddFile(const std::string& name, float shotDistance, float firstReceiver, float receiverInterval,
                UiHost* ui = nullptr, int language = -1);
    // Stable ascending sort of the entries by id.
    void SortEntriesById();
    // Adds x metres to every entry's source and first receiver.
    void ShiftPositions(float x);
    // The name the pattern of the current file type gives entry n.
    std::string PatternFileName(int n) const;
    // Whether a file is a CMP gather by its own name (its folder has no say): the names "Make
    // CMP gather files(2D)" writes (IsCmpGatherFileName), or a name that starts with the current
    // type's prefix when that prefix holds "cmp".
    bool IsCmpGatherName(std::string_view name) const;
    // Whether list member `index` is a CMP gather, by its listed name or its pattern name.
    bool IsCmpGather(int index) const;
    // The members that are CMP gathers, in list order.
    std::vector<int> CmpGatherMembers() const;
    // cmpList from the members: 1 when every member of a list of at least one is a CMP gather,
    // else 0. Every member read refreshes it.
    void UpdateCmpList();
    // Entry n's path when it is in use (its name resolved, see the class comment); else the
    // path is left as it is. Returns 0.
    int GetListedPath(int n, std::string& path, const GroupReadContext& ctx) const;
    // The folder a relative name resolves against: the list folder, else the working folder.
    std::string FolderOfList(const GroupReadContext& ctx) const;

    // Member file n into rows and headers (and extended headers) from 0, its positions from
    // the entry unless the current type's from-file flags say otherwise. Returns the traces
    // read minus the entry's auxiliaries (at least 0); the caller's arrays change only when
    // traces were read. *pathOut gets the path read (also on failure).
    int ReadNthFile(int index, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
                    std::span<CTraceHeaderEx> headersEx, std::string* pathOut, const GroupReadContext& ctx);
    // The same road with the header-only readers.
    int ReadNthFileHeader(std::span<CTraceHeader> headers, int index, std::string* pathOut,
                          const GroupReadContext& ctx);
    int ReadListedFile(int fileIndex, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
                       const GroupReadContext& ctx);
    int ReadListedFileArgs(int fileIndex, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
                           std::string& pathOut, const GroupReadContext& ctx);

    // List makers: each replaces the list (whole entries, from 0), sorts it by id and makes
    // entry 0's type current. Names keep no folder; the folder becomes the list folder.
    // Files chosen in a multiple selection ("%d files have been opened!"); Cancel keeps the list.
    int ListSelectedFiles(const GroupReadContext& ctx);
    // Every numbered file of a folder, in name order, with the log "multi_select.txt"; the
    // results and logs this program writes there are left out (IsProgramResultFile).
    int ListFolder(const std::string& folder, const GroupReadContext& ctx);
    // A folder chosen in a folder chooser ("%d files have been opened!"); Cancel keeps the list.
    int ListFolderByBrowse(const GroupReadContext& ctx);
    // Whether the files carry their own positions: sets both from-file flags of the current type
    // from the first two members that give traces (the only one, in a list of one). When fewer
    // give traces, says that the positions could not be read and names the members that
    // failed; the flags then stay as they were.
    void DetectFilePositions(const GroupReadContext& ctx);
    // mode 1: "Select file type" then "File name option"; other modes: "Use information in
    // file". True when every dialog shown ended with OK.
    bool EditNamingOptions(int mode, UiHost& ui, int language);

    // Text list: entries first.. from the lines of the file; returns entryCount (first when
    // nothing was read).
    int ReadTextList(const std::string& path, int first, UiHost& ui, int language);
    int ReadTextListText(std::string_view text, int first, UiHost& ui, int language);
    // 1, or 0 when the file could not be written.
    int WriteTextList(const std::string& path) const;
    int WriteTabularList(const std::string& path, const GroupReadContext& ctx);

    // --- Table ------------------------------------------------------------------------------
    // S rows of R cells; returns S x (S + R), or -1 when a table exists.
    int AllocateTable(int sources, int receivers);
    // Frees the table; counts, table and loaded flags 0.
    void FreeTable();
    // The table from the headers of the listed files; "geometry.txt" into ctx.log; progress
    // texts through `progress`. Returns geometryTraces.
    int BuildGeometry(const GroupReadContext& ctx, bool verbose,
                      const std::function<void(const std::string&)>& progress = {});
    // The samples of every listed file into their cells. Returns dataLoaded.
    int ReadWaveformData(const GroupReadContext& ctx, bool verbose,
                         const std::function<void(const std::string&)>& progress = {});
    void SetDataLength(int n);
    int ComputeCellSpectra(int padding);
    int MaxUsedCellsPerRow() const;
    // Kills every cell whose receiver word is listed; returns how many.
    int KillTraces(std::span<const int32_t> receiverHundredths);
    int GetTrace(std::span<float> row, CTraceHeader& header, int s, int r) const;
    int GetTraceSpectrum(std::span<float> re, std::span<float> im, CTraceHeader& header, int s, int r) const;
    int GetTraceHeader(CTraceHeader& header, int s, int r) const;

    // Project file (.QZ4). Save writes the loaded table (0 and nothing written unless
    // dataLoaded is 1). Load replaces table, counts and positions only when the whole file is
    // sound (traces into *traces); the list and everything else stay.
    int Save(ByteSink& sink) const;
    ProjectLoadStatus Load(ByteSource& source, int maxSample, int* traces = nullptr);
    // Takes the table, positions and counts of another group (a project loaded into scratch).
    void AdoptTable(CFileGroup&& other);

    // Gathers into caller rows and headers (row k and header k for the k-th trace taken); each
    // returns its trace count, 0 for an empty group. Only cells that hold samples are taken. A
    // gather stops at its capacity (the smaller of the caller's rows and headers) and then sets
    // *stopped, so that the caller can say the gather is incomplete. Every gather but the one of
    // all traces first clears all marks and marks the cells it takes.
    //
    // BuildGather: the cells of source row `sourceIndex` (clamped to the sources) in receiver
    // order.
    int BuildGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int sourceIndex,
                    bool* stopped = nullptr);
    // ShotRecordGather: member file `fileIndex` as it was recorded (its own traces, even when
    // another member shares its source position), in receiver order; a receiver met twice keeps
    // its first trace, as in the table. 0 for a member that cannot be read.
    int ShotRecordGather(int fileIndex, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
                         std::string* pathOut, const GroupReadContext& ctx, bool* stopped = nullptr);
    // How many traces BuildGather would give for the source, unbounded by any caller.
    int ShotGatherSize(int sourceIndex) const;
    // The cells of receiver column `receiverIndex` (clamped) in source order; in each copied
    // header the source and receiver words are exchanged, so the gather draws like a shot.
    int CommonReceiverGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int receiverIndex,
                             bool* stopped = nullptr);
    // The cells whose midpoint (source_positions[row] + receiver_positions[column]) / 2 (integer
    // cm) is midpoint position `midpointIndex`, rows then columns; an index outside the
    // midpoints gives no trace.
    int CdpGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int midpointIndex,
                  bool* stopped = nullptr);
    // How many cells CdpGather would find for the midpoint (all of them, not bounded by any
    // caller's arrays); 0 for an index outside the midpoints.
    int CdpFold(int midpointIndex) const;
    // The cells of source row `sourceIndex` (clamped) whose offset |receiver - source| (header
    // words) lies within the two offsets (m, made hundredths), in receiver order.
    int TakeTracesByOffset(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int sourceIndex,
                           double minimumOffset, double maximumOffset, bool* stopped = nullptr);
    // Every cell, rows then columns; the marks stay as they are.
    int GatherAllTraces(Matrix2D<float>& rows, std::span<CTraceHeader> headers, bool* stopped = nullptr);
    // Per shot the cell whose receiver position is nearest `spacing` (m, the first of equal
    // distances), taken when it lies less than 1 m from it; its receiver word becomes the
    // shot's source position, so the gather is laid out along the shots.
    int CommonSpacingGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, bool* stopped = nullptr);
    // Every cell's header gets its row's source and column's receiver position; an empty cell
    // takes samples and header (its source word kept) of the cell of the same receiver whose
    // source is nearest, when that lies less than a quarter of the last receiver position
    // away. Cells filled in this run give nothing. Returns the cells filled.
    int ExtrapolateMissingTraces();
    // Writes the first `traceCount` traces (at most the rows and headers) back into the cells
    // of one table row that hold samples, in receiver order (headers and samples); returns the
    // count written.
    int StoreRow(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int sourceIndex,
                 int traceCount);
    // Mark := 0 for every cell of source_count x receiver_count; returns the cells cleared.
    int ClearMarks();

    // The most traces a gather may write into these caller arrays: the smaller of the header
    // count and the matrix rows; 0 when the table does not exist.
    int GatherCapacity(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers) const;
    bool Empty() const { return entryCount <= 0; }

    int32_t reserved = 0;
    int32_t rowsAllocated = 0;
    int32_t columnsAllocated = 0;
    int32_t tableAllocated = 0;
    int32_t positions = 0;
    int32_t geometryTraces = 0;
    int32_t tracesRead = 0;
    std::array<char, 12> signature{'V', 'E', 'L', 'K', 'A', 'R', 'I', 'N', 'E', 0, 0, 0};
    // Trace table: sourceCount rows of receiverCount cells.
    std::vector<std::vector<CTraceEntry>> table;
    // Per member, its traces the table turned away because an earlier member holds their cell
    // (a shot repeated at one position); empty when none was.
    std::vector<int32_t> tracesOutsideTable;
    std::vector<FileListEntry> entries;  // kMaxFiles, on the heap
    int32_t gatherKind = 0;     // 0 common shot, 1 common receiver, 2 CDP, 3 CDP stack
    int32_t sourceCount = 0;
    int32_t receiverCount = 0;
    int32_t cdpCount = 0;
    std::vector<int32_t> sourcePositions;    // kMaxSources, cm
    std::vector<int32_t> receiverPositions;  // kMaxReceivers, cm
    std::vector<int32_t> cdpPositions;       // kMaxCdps, cm
    int32_t minPosition = 0;
    int32_t maxPosition = 0;
    int32_t dataLoaded = 0;     // every geometry cell received its samples
    int32_t cmpList = 0;        // the list holds CMP gathers only (UpdateCmpList)
    int32_t entryCount = 0;     // files in the list
    int32_t currentIndex = 0;   // the member file shown
    int32_t active = 0;         // 1 while a group or a project file is the source of records
    // Naming schemes (profile I_FILE, PREFIXn, EXTENTIONn, NDIGITSn).
    int32_t fileType = 0;
    std::array<std::string, kNamingSchemes> prefix{"file", "Tq", "", ""};
    std::array<std::string, kNamingSchemes> extension{".dat", "_qk.org", ".8hd", ".dat"};
    std::array<int32_t, kNamingSchemes> digits{4, 3, 0, 0};
    std::array<int32_t, kNamingSchemes> sourceFromFile{0, 0, 1, 0};
    std::array<int32_t, kNamingSchemes> receiversFromFile{0, 0, 1, 0};
    int32_t gatherIndex = 1;
    float spacing = 10.0f;      // m, the chosen offset of the offset gathers
    // The folder of the last selection, chosen folder or opened list file (never stored in a
    // list file); empty: the working folder.
    std::string listFolder;

    // fileType when it is 0..3, else 0.
    int CurrentType() const;
    // The rows of the table that have a source position, and the cells of a row that have a
    // receiver position.
    int TableSources() const;
    int TableReceivers(int row) const;

private:
    std::string ResolveName(const std::string& name, bool inUse, const GroupReadContext& ctx) const;
    // The read road of ReadNthFile (into target) and ReadNthFileHeader (into headers): the raw
    // trace count with the list's positions applied, 0 after the path message.
    int ReadMember(int index, LoadTarget* target, std::span<CTraceHeader> headers, std::string* pathOut,
                   const GroupReadContext& ctx);
};

// "The file list is full: ..." (with the list's capacity) when a list would pass it; nothing
// without a UiHost.
void ListFullMessage(UiHost* ui, int language);
std::string ListFullText(int language);

// Why a file did not open, for a message that already names it: "The file does not exist." or
// "The file cannot be opened: " with the system's reason from `error` (ByteSource::Error()).
std::string UnopenedFileReason(const std::string& path, const std::string& error, int language);

// The numeric key of a file name as a list number: the digit run FileNameSortKey finds; a lone
// "-" is 0; no run, or one beyond int32, is no number.
std::optional<int32_t> FileNumberOf(std::string_view name);

}  // namespace velk
