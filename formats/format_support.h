#pragma once
// Groundwork every waveform reader and writer in formats/ shares:
//
//   - bounded text helpers for the text fields of binary headers (a field up to CR, fixed
//     columns of a line, a key search in a byte window, "%d"/"%f"-style prefix scans where a
//     failed scan means "absent");
//   - checked float -> integer sample conversions that clamp, count and warn;
//   - the capacity messages of the SEG-2 readers with their Japanese twins;
//   - the context a reader or writer gets (UiHost for messages, language, diagnostic log);
//   - a log sink for the diagnostic files ("seg2.txt" and the others): the workspace's
//     working folder in the program, a null sink in tests and fuzz targets;
//   - the result types of the open dialogs and of the writers.
//
// Nothing here touches the waveform store: readers fill a LoadTarget (formats/load_target.h).

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "platform/language.h"

namespace velk {

class UiHost;

// ---------------------------------------------------------------------------------------------
// Bounded text helpers

// "%d" the way sscanf reads it, but bounded by the view and checked: blanks (space, tab, CR,
// LF, VT, FF) are skipped, then an optional sign and at least one digit; the scan stops at the
// first non-digit. No digit, or a value outside int32: nullopt ("absent").
std::optional<int32_t> ScanIntPrefix(std::string_view text);
// "%f" the same way: blanks, optional sign, digits with an optional point and fraction (at
// least one digit), an optional exponent "e[sign]digits". "inf", "nan", hexadecimal and
// results that are not finite give nullopt. Always the C locale.
std::optional<double> ScanDoublePrefix(std::string_view text);

// A text field of a binary header: from `offset`, up to (not including) a carriage return (13)
// or a zero byte, at most `maxLength` characters, never past the end of `bytes`. An offset at
// or beyond the end gives an empty field.
std::string FieldUpToCR(std::span<const uint8_t> bytes, size_t offset, size_t maxLength = 20);

// Columns [first, first + width) of a line: the part inside the line, empty beyond its end.
std::string_view FixedColumns(std::string_view line, size_t first, size_t width);

// A copy of a byte window in which zero bytes and line feeds are blanks, so that keys can be
// found as plain substrings and values scanned after them. The window's length is explicit
// (binary data may hold anything); every search and scan stays inside it.
class TextWindow {
public:
    TextWindow() = default;
    explicit TextWindow(std::span<const uint8_t> bytes);

    std::string_view Text() const { return text_; }
    size_t Size() const { return text_.size(); }

    // Offset of the first occurrence of `key`, or npos.
    size_t Find(std::string_view key) const;
    // The text from `offset` to the end of the window (empty beyond it).
    std::string_view From(size_t offset) const;
    // The character at `offset`, or '\0' beyond the window.
    char At(size_t offset) const;

    // The value scanned right after the first occurrence of `key`; nullopt when the key is
    // missing or the scan fails (a key present but unparsable is absent).
    std::optional<int32_t> IntAfter(std::string_view key) const;
    std::optional<double> DoubleAfter(std::string_view key) const;

private:
    std::string text_;
};

// ---------------------------------------------------------------------------------------------
// Checked sample conversions

// Counts what a conversion had to change, so a writer or reader can warn once afterwards.
struct ConversionCount {
    int64_t clamped = 0;    // values beyond the target range, set to its end
    int64_t nonFinite = 0;  // NaN or infinite values, set to 0
    bool Any() const { return clamped != 0 || nonFinite != 0; }
};

// The nearest int32 to `value` (halves away from zero), clamped to int32 (infinities too),
// counted; NaN gives 0, counted as non-finite. Writers store samples with it, so a sample that
// a reader scaled comes back to the integer it was read from, however the scaling rounded.
int32_t NearestInt32Checked(double value, ConversionCount& count);
// Truncation toward zero of `value`, clamped to int16, counted (the 16-bit sample forms).
int16_t ToInt16Checked(double value, ConversionCount& count);
// A sample read from a file, as the store holds it: finite values beyond the float range clamp
// to +-FLT_MAX (counted as clamped); NaN and infinities become 0 (counted as non-finite).
float ToFiniteFloat(double value, ConversionCount& count);

// The warning after a conversion changed values ("%lld samples were out of range ..."), in the
// interface language; empty when nothing changed.
std::string ConversionWarning(int language, const ConversionCount& count);

// ---------------------------------------------------------------------------------------------
// Capacity and reader messages of the SEG-2 readers, exact English texts. Msg() finds their Japanese
// twins in the message catalogue. The trace messages end with kChangeMaxTracesLine.

inline constexpr const char* kChangeMaxTracesLine = " Change maximum traces by 'Option', 'Dimension size' !";
inline constexpr const char* kTotalTracesReadMsg =
    "The total number of traces was too large ! \n Only %d traces has been read !";
inline constexpr const char* kTotalTracesSetMsg =
    "The total number of traces was too large ! \n It has been set to %d";
inline constexpr const char* kTracesMaxHeadersMsg =
    "The number of traces was too large ! \n Maximum trace number is  %d";  // two blanks
inline constexpr const char* kTracesMaxPacked20Msg =
    "The number of traces was too large ! \n Maximum trace number is %d";   // one blank
inline constexpr const char* kSamplesTruncatedMsg =
    " Number of samples is too large ! \n\n Data will be truncated. \n\n Change maximum samples by 'Option', 'Dimension size' !";
inline constexpr const char* kSamplesMaxMsg =
    "The number of samples was too large ! \n Maximum sample number is %d ";

// The trace messages, formatted and with the added line:
//   TracesMessage(lang, kTotalTracesReadMsg, 0) ->
//   "The total number of traces was too large ! \n Only 0 traces has been read !\n Change maximum traces by 'Option', 'Dimension size' !"
std::string TracesMessage(int language, const char* format, int value);
// The samples messages: kSamplesTruncatedMsg as it is; kSamplesMaxMsg formatted with `value`.
std::string SamplesMessage(int language, const char* format, int value = 0);

// "The file could not be saved. The old file was not changed." (the document's text), the
// path and the reason on the following lines.
std::string FileSaveFailedMessage(int language, const std::string& path, const std::string& reason);

// ---------------------------------------------------------------------------------------------
// Diagnostic log files

// Where the readers' diagnostic files go. Each call replaces the whole file `name` ("seg2.txt")
// with `text`; failures are ignored (a diagnostic never stops a load).
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void Rewrite(const std::string& name, std::string_view text) = 0;
};

// The diagnostic logs whose names carry a number. Listing a folder takes every name with a
// digit or a '-' in it for a numbered shot, so the listing leaves these out by name
// (IsProgramResultFile); the other logs are never taken for shots. A new log whose name has a
// digit or a '-' gets its name here and is written under it.
inline constexpr char kSeg2Log[] = "seg2.txt";
inline constexpr char kRead470Log[] = "read470.txt";
inline constexpr char kTorvane9Log[] = "torvane9.txt";
inline constexpr char kSpac2DLog[] = "Spac2D.txt";
inline constexpr char kSpac2DAllLog[] = "SPAC2DAll.txt";
inline constexpr std::string_view kNumberedLogNames[] = {kSeg2Log, kRead470Log, kTorvane9Log, kSpac2DLog,
                                                         kSpac2DAllLog};

// Drops everything: tests and fuzz targets.
class NullLogSink : public LogSink {
public:
    void Rewrite(const std::string& name, std::string_view text) override;
};
// A shared null sink (stateless).
LogSink& NullLog();

// Writes "<folder>/<name>" atomically; the program passes the workspace's working folder
// (empty: the process's current folder).
class FolderLogSink : public LogSink {
public:
    explicit FolderLogSink(std::string folder);
    void Rewrite(const std::string& name, std::string_view text) override;
    const std::string& Folder() const { return folder_; }

private:
    std::string folder_;
};

// Keeps the last text of each name: tests that look at a diagnostic file.
class MemoryLogSink : public LogSink {
public:
    void Rewrite(const std::string& name, std::string_view text) override;
    const std::map<std::string, std::string>& Files() const { return files_; }
    std::string Text(const std::string& name) const;  // "" when never written

private:
    std::map<std::string, std::string> files_;
};

// ---------------------------------------------------------------------------------------------
// What a reader or writer gets besides its file: where messages go, their language, and the
// diagnostic log.

struct FormatContext {
    UiHost& ui;
    int language = kLanguageEnglish;
    LogSink& log;
};

// ---------------------------------------------------------------------------------------------
// Results

// The open dialogs' result (1 append, 0 new record, -1 nothing read, as the open dialogs return them; the float
// SEG-2 dialog's 0 "file missing" is NothingRead and its 1 "read" is NewRecord).
enum class OpenOutcome { NothingRead = -1, NewRecord = 0, Appended = 1 };

// A writer's status: ok, or the reason it failed (the target file is then unchanged).
struct WriteStatus {
    bool ok = false;
    std::string error;
    ConversionCount conversions;  // samples the writer had to clamp (warn with ConversionWarning)
    explicit operator bool() const { return ok; }
    static WriteStatus Ok() { return {true, {}, {}}; }
    static WriteStatus Failed(std::string reason) { return {false, std::move(reason), {}}; }
};

// The save dialogs' result.
enum class SaveOutcome { Written, Cancelled, Failed };

}  // namespace velk
