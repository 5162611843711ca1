#pragma once
// Batch processing of many waveform files: the "Batch" dialog, the output names of a batch,
// reading a file by its type, the source-receiver batch (key files or typed geometry applied to
// every chosen file, each written under a new name) and the band-pass batch (every chosen file
// filtered with a cosine taper and written as an 8-header file).
//
// Nothing here touches the waveform store: every file is read into a scratch target of the
// store's capacity that the caller makes, and written from there. The user's record and its
// undo levels stay exactly as they were.

#include <functional>
#include <string>
#include <string_view>

#include "platform/uihost.h"

namespace velk {

class LoadTarget;
class LogSink;
struct CBandPassDlg;
struct FormatContext;

// "Batch" (template 217): the source-receiver batch's choices. The template carries English
// control texts only, so both languages show them.
struct CBatchDlg {
    static constexpr const char* kClass = "CBatchDlg";
    static constexpr const char* kTitle = "Batch";
    static constexpr int kSeg2 = 0;
    static constexpr int kEightHeader = 1;
    static constexpr int kByKeyFile = 0;
    static constexpr int kByDialogBox = 1;

    int fileByFile = 0;     // check box "Processing is done file by file" (the batch works file by file)
    int outputFormat = -1;  // "Output file": 0 "Seg2", 1 "8 header"
    int keySource = -1;     // "Key": 0 "By key file", 1 "By dialog box"

    DialogRequest Request(int language);
};

// What a batch needs besides its choices: the user, the diagnostic log ("multi_select.txt"),
// the store's capacities for the scratch targets, the folder of the filter diagnostic, and
// where progress texts go (text, logical x, logical y); none: no progress.
struct BatchContext {
    UiHost& ui;
    int language;
    LogSink& log;
    int maxTraces;
    int maxSample;
    int rowLength;
    std::string workingFolder{};
    std::function<void(const std::string& text, int x, int y)> progress{};
};

// The path up to its extension for a file type: SEG-2 (0) ".dat", else ".sg2"; the instrument's
// file (1) ".org", else ".ORG"; 8 header (2) ".8hd". The extension must end the file name, so
// a folder "run.dat/" is never cut. Empty when the type has no such extension or it is not there.
std::string BatchBaseName(std::string_view path, int fileType);

// The output name of the source-receiver batch: base + suffix + ".sg2" (format 0) or ".8hd"
// (format 1), the type by the file-group member rule; empty when no extension matches (the
// batch then skips the file unread).
std::string BatchOutputName(const std::string& path, std::string_view suffix, int outputFormat);
// The same with ".sg2" always (the cross-correlation gathers pass "_ccg").
std::string BatchReadFile(const std::string& path, std::string_view suffix);
// base + suffix + ".8hd" (the band-pass batch), the type as above; empty when nothing matches.
std::string BatchBandPassName(const std::string& path, std::string_view suffix);

// Reads the file by its type into the target: SEG-2, the instrument's .ORG and 8-header files
// give their traces; a component ".DAT" text file is read and counts 0; other types read
// nothing and count 0. A file that cannot be read counts 0 or less.
int BatchReadByType(const std::string& path, LoadTarget& target, FormatContext& ctx);

// "Source-receiver location": the files of a multiple selection get positions from a key file
// (key source 0) or from the "Make trace header key" dialog (1) and are written beside the
// input with "_key" in the chosen format (0 SEG-2 float, 1 8 header). Returns the number of
// files chosen (0 on Cancel).
int BatchLocationsFromKeyFile(BatchContext& ctx, int fileByFile, int outputFormat, int keySource);

// "BPF(cos function taper)": the band-pass dialog starts from `settings` (OK stores its values
// there; Cancel keeps them and the batch still runs); every chosen file is filtered and written
// as "<base>_BPF.8hd". Ends with "BPF has been finished !". Returns the files written.
int BatchBandPass(BatchContext& ctx, CBandPassDlg& settings);

}  // namespace velk
