#pragma once
// CVelkarineDoc: the one document of the run. It holds no trace data (that is the workspace's
// store); it remembers the file-type code of its path, its path and title, the current file
// name, and the strong-motion objects, and it is the road by which Open, the recent files, a
// file named on the command line, Save and Save As reach the readers and writers.
//
// Readers and writers sit in a registry by file-type code (0..9); each format registers its
// own. A reader fills a LoadTarget (scratch rows and headers) and the store changes only when
// it succeeds; a writer writes through an atomic file, so a failed save leaves the old file.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/trace_header.h"
#include "formats/file_roads.h"
#include "formats/load_target.h"
#include "formats/strong_motion.h"

namespace velk {

class ByteSink;
class ByteSource;
class CVelkarineDoc;
class UiHost;
class Workspace;

// What a reader gets besides the file and the target. Readers give their own messages and
// must not write the store: everything goes into the target.
struct LoadContext {
    Workspace& ws;
    UiHost& ui;
    CVelkarineDoc& doc;
    const std::string& path;
    int language;
    // Run once the record is the store's (a reader whose load changes more than the store,
    // such as the project file's group, sets it).
    std::function<void()> afterCommit{};
};

// Returns the number of traces read (at most target.Capacity()), or 0 or less for failure
// after showing its own message.
using RecordReader = std::function<int(ByteSource& file, LoadTarget& target, LoadContext& ctx)>;

struct SaveContext {
    Workspace& ws;
    UiHost& ui;
    CVelkarineDoc& doc;
    const std::string& path;
    int language;
    // Words 1 to 8 of every current header (MAXTRACES records, the trace count of them set).
    std::span<const CTraceHeader> headers;
    // A writer that refuses the record says why here; the save's message shows it.
    std::string error{};
};

// Writes the record into the sink; false (or a failed sink) means the save failed.
using RecordWriter = std::function<bool(ByteSink& sink, SaveContext& ctx)>;
// Whether there is something this writer can save (a loaded set, a group with files).
using WriterCheck = std::function<bool(const Workspace& ws, const CVelkarineDoc& doc)>;

class FormatRegistry {
public:
    void SetReader(int code, RecordReader reader);
    void SetWriter(int code, RecordWriter writer, WriterCheck check = {});
    const RecordReader* Reader(int code) const;  // null: none registered
    const RecordWriter* Writer(int code) const;
    const WriterCheck* Check(int code) const;

private:
    struct Slot {
        RecordReader reader;
        RecordWriter writer;
        WriterCheck check;
    };
    Slot slots_[kFileTypeCount];
};

class CVelkarineDoc {
public:
    // Sets the coordinate mode to -1 and empties the current file name; the strong-motion
    // objects start empty and the strong-motion flag is 0.
    explicit CVelkarineDoc(Workspace& ws);

    // File > New: path, code and title back to an untitled document, the append-files flag
    // cleared. The store stays as it is.
    void OnNewDocument(Workspace& ws);

    // Reads `path` into the store: classify, BeginLoad (undo snapshot when traces are loaded),
    // the new-or-append question when traces are loaded, the reader of the code, and on
    // success the commit and the set-up step. On any failure the store holds what BeginLoad
    // left (the record as it was, with its undo snapshot), the document is unchanged, and a
    // message has been shown. True on success, with path and title set.
    bool LoadRecord(Workspace& ws, const std::string& path, UiHost& ui);

    // Writes the record to `path` with the writer of the type that the path's extension names
    // (SaveTypeNamedByExtension: ".sg2", ".dat", ".ORG", ".8hd", ".sgm", ".QZ4" ...; ".segy" and
    // the other types that are only read name no writer and are refused), else with
    // the writer of the document's code (code 6 with its own writer when one is registered,
    // else the SEG-2 writer; either way the code is 0 after). The document's code is the type
    // written after. A code without a writer, or a writer with nothing to save, gives a message
    // and touches no file. A failing writer leaves the old file as it was and the document
    // unchanged. True on success, with path and title set.
    bool SaveRecord(Workspace& ws, const std::string& path, UiHost& ui);

    // A command that read `path` into the store by its own road (the File-menu opens): the
    // document now stands for that file, so Save writes there and not over the previous one.
    void AdoptPath(const std::string& path, int code);

    FormatRegistry& Formats() { return formats_; }
    const FormatRegistry& Formats() const { return formats_; }

    const std::string& Path() const { return path_; }
    const std::string& Title() const { return title_; }  // "" while untitled
    // Whether the last successful LoadRecord appended its traces to the record on show.
    bool LastLoadAppended() const { return lastLoadAppended_; }

    int fileType = kFileSeg2;
    std::string currentFileName;  // the current waveform file's name without its folder
    // The workspace's strong-motion set, its coordinate origin and its flag (1 once a set has
    // been loaded): the document's by the file roads, the workspace's so the view finds them.
    CStrongMotionSet& strongMotion;
    CCoordinateOrigin& coordinateOrigin;
    int& strongMotionFlag;

private:
    void Commit(Workspace& ws, UiHost& ui, const LoadTarget& target, int count, bool append);

    FormatRegistry formats_;
    std::string path_;
    std::string title_;
    bool lastLoadAppended_ = false;
};

// The program's readers and writers, by file-type code: every format adds its own here. The
// shell calls it once for the document of the run; tests register their own.
void RegisterFileFormats(FormatRegistry& registry);

// The last part of a path ("/data/shot1.sg2" -> "shot1.sg2").
std::string FileNameOf(const std::string& path);

// Messages of the document's roads (English texts; the Japanese twins are in document.cpp).
inline constexpr const char* kCannotOpenFile = "Cannot open the file";
inline constexpr const char* kCannotReadType = "This file type cannot be read. The data was not changed.";
inline constexpr const char* kCannotSaveType = "This file type cannot be saved. The file was not changed.";
inline constexpr const char* kSaveFailed = "The file could not be saved. The old file was not changed.";

}  // namespace velk
