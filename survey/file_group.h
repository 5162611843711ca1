#pragma once
// The file group of a survey line: the file list with its nominal geometry and, once read, the
// trace table arranged by source (rows) and receiver (columns). There is one per Workspace.
//
// What is here so far: the data model, the naming settings the view keeps in the profile, and
// the operations the workspace calls. The gathers, the write-back, the marks and the kill work
// on the trace table held in memory (table row i holds the traces of member file i); reading
// member files from disk and the project file are not built yet (they return 0 and leave the
// store untouched). Every gather carries its guards: an empty group gives 0, and a copy is
// bounded by the caller's rows, headers and row length.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

class ByteSink;
class ByteSource;

// One file of the list.
struct FileListEntry {
    int32_t inUse = 0;        // 1 = named by fileName; 0 = name made from the pattern and id
    std::string fileName;     // at most 79 bytes when stored
    int32_t hasType = 0;
    int32_t fileType = 0;     // 0 SEG-2, 1 .ORG, 2 8-header, 3 unknown, 6 SEG-1 of the 560QX
    int32_t id = 0;
    float shotDistance = 0.0f;      // m
    float firstReceiver = 0.0f;     // m
    float receiverInterval = 0.0f;  // m
    int32_t numberOfAuxiliary = 0;
};

// One cell of the trace table.
class CTraceEntry {
public:
    CTraceHeader GetHeader() const { return header; }
    // Copies the entry's samples (header word 8 of them, at most out.size()) into a row;
    // returns the count copied.
    int GetSamples(std::span<float> out) const;

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

class CFileGroup {
public:
    static constexpr int kMaxFiles = 1000;      // fixed list capacity (MAX_WORK_GROUP_FILE only carries the key)
    static constexpr int kMaxSources = 1000;
    static constexpr int kMaxReceivers = 2000;
    static constexpr int kMaxCdps = 4000;
    static constexpr int kNamingSchemes = 4;

    CFileGroup();

    // Project file (.QZ4) through the document. Not built yet: read and write nothing, 0.
    int Load(ByteSource& source);
    int Save(ByteSink& sink);

    // Appends a file of the line: in use, the group-member type of its name, the number in
    // its name as the id, the geometry given (m). A name without a number, or a full list,
    // adds nothing. Returns the file count.
    int AddFile(const std::string& name, float sourcePosition, float firstReceiver, float receiverInterval);

    // Member file `index` into the store's rows and headers (and extended headers). Not built
    // yet: 0 traces, store untouched.
    int ReadNthFile(int index, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
                    std::span<CTraceHeaderEx> headersEx);
    // Member file `fileIndex` into rows and headers from 0: for now its traces as the table
    // holds them (the in-use cells of table row fileIndex, in order). Returns the count.
    int ReadListedFile(int fileIndex, Matrix2D<float>& rows, std::span<CTraceHeader> headers);

    // Gathers into caller rows and headers; each returns its trace count, 0 for an empty group.
    // BuildGather: the row is clamped to the files; all marks are cleared, then the in-use
    // cells of that row are copied (header and samples) and marked.
    int BuildGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int sourceIndex);
    int CommonReceiverGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers,
                             int receiverIndex);
    // The in-use cells whose midpoint, the integer mean (receiver + source) / 2, equals
    // midpoint position `midpointIndex`, in table order, as many as the caller's arrays hold.
    int CdpGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int midpointIndex);
    // How many cells CdpGather would find for the midpoint (all of them, not bounded by any
    // caller's arrays); 0 for an index outside the midpoints.
    int CdpFold(int midpointIndex) const;
    // Writes the traces back into the in-use cells of one table row, in order (headers and
    // samples); returns the count.
    int StoreRow(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers,
                 int sourceIndex);
    // Mark := 0 for every cell; returns the cells cleared.
    int ClearMarks();
    // Zeroes the samples of every cell whose receiver word is listed; returns how many.
    int KillTraces(std::span<const int32_t> receiverHundredths);

    // The most traces a gather may write into these caller arrays: the smaller of the header
    // count and the matrix rows; 0 when the group holds no files or the table does not exist.
    int GatherCapacity(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers) const;
    bool Empty() const { return entryCount <= 0; }

    // Trace table: rows of cells (sources), receiverCount cells used per row.
    std::vector<std::vector<CTraceEntry>> table;

    int32_t reserved = 0;
    int32_t geometryTraces = 0;
    int32_t tracesRead = 0;
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
    int32_t cmpList = 0;
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
};

}  // namespace velk
