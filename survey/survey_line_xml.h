#pragma once
// The survey-line XML document: a line's identity, the acquisition menu and step it was
// recorded with, the file group's naming type and flags, the names of its data, result and
// plotting files, the file list with its nominal geometry and, for microtremor arrays, the
// array geometry.
//
// Writing: an entry without a type of its own is written without `number_of_auxiliary` (whose
// reading gives an entry its own type) while it has no auxiliary channels, and with the line's
// type as its own when it has, so it is read back with the reader it had. The tree is built in a fixed element order, numbers in the C locale ("%d", "%f"),
// no white space between elements, behind the declaration
// "<?xml version='1.0' encoding='Shift_JIS'?>". The document is stored in CP932; when some text
// has no CP932 form it is stored in UTF-8 and declared 'UTF-8' instead, so no character is
// lost. The file is replaced atomically: a failed write leaves the old file as it was.
//
// Reading: the declaration decides the encoding (Shift_JIS, SJIS, CP932 or Windows-31J in any
// case: CP932; none or UTF-8: valid UTF-8, a byte-order mark allowed; anything else:
// unreadable). The whole document is parsed first; a file that cannot be read or converted, a
// document that is not well-formed, or a root that is not `line` gives -1 and changes nothing.
// Otherwise the known elements are applied in document order to copies of the record, the
// group's list fields and the geometry slot, which are committed at the end:
//   - unknown elements are ignored, a repeated single value keeps the last, a second
//     `file_list` goes on after the first; absent elements leave their fields as they were;
//   - a text value is the element's whole text, surrounding white space trimmed; an element
//     without text gives empty text (an empty `file_name` is ignored);
//   - a number is the leading number of the text in the C locale, the rest ignored; no number,
//     a value that is not finite, or an integer beyond int32 leaves the field as it was;
//   - the line-level `file_type` takes 0..3 only; `apply_source_position` and
//     `apply_receiver_position` go to the file type current when they are read;
//   - entries are stored from the first index on and stop at the list's capacity with the
//     list-full message; `qkw_menu_name` is cut to 79 bytes of its CP932 form, on a character
//     boundary, and trimmed again after the cut;
//   - text that is not valid UTF-8 once character references are decoded makes the document
//     unreadable, as it could never be saved again.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pugi {
class xml_node;
}

namespace velk {

class CFileGroup;
class UiHost;
struct FileListEntry;

// One open line. Text is UTF-8.
struct SurveyLine {
    static constexpr size_t kMaxMenuName = 79;  // bytes of the menu name's CP932 form

    std::string lineName;        // line_name
    int32_t lineId = 0;          // line_id
    int32_t qkwMenu = 0;         // qkw_menu: the acquisition menu (survey method) number
    std::string qkwMenuName;     // qkw_menu_name
    int32_t procedureStep = 0;   // procedure_step
    int32_t hasDataFile = 0;
    std::string dataFile;        // datafile
    int32_t hasResultFile = 0;
    std::string resultFile;      // resultfile
    int32_t hasPlottingFile = 0;
    std::string plottingFile;    // mandrove: the plotting program's exchange file
    // Set by the reader: 1 when the document carried `mam_geometry`.
    int32_t hasArrayGeometry = 0;

    bool operator==(const SurveyLine&) const = default;
};

// The seven values of the microtremor-array geometry that a line document carries.
struct MamGeometryValues {
    int32_t iGeometry = 2;
    float ArraySize = 20.0f;            // m
    float Angle = 90.0f;                // degrees
    int32_t nReceiver = 12;
    int32_t startChannel = 0;           // iStartChannel, channels from 0
    int32_t reverse = 0;                // Reverse
    float SpacingForLinearArray = 10.0f;  // m

    bool operator==(const MamGeometryValues&) const = default;
};

// The document's microtremor-array geometry as the line document sees it: whether it exists,
// its values, and the hook that makes it (reading its settings) and gives its values, called
// by the reader on first use.
struct MamGeometrySlot {
    int32_t present = 0;
    MamGeometryValues values;
    std::function<void(MamGeometryValues&)> make;
};

// Writes the line, the group's list and, when present, the geometry as a line document.
// Entries below the count that are not in use are first filled in the group itself (the
// pattern's name, and the current file type unless they have a type of their own). A carriage
// return in a text is written as "&#13;". 1, or 0 when nothing could be written (the old file
// then stays).
int WriteLineXml(const SurveyLine& line, CFileGroup& group, const MamGeometrySlot& slot, const std::string& path);
// The bytes WriteLineXml writes (with the same filling of unused entries); nothing when some
// text is not valid UTF-8.
std::optional<std::string> LineXmlBytes(const SurveyLine& line, CFileGroup& group, const MamGeometrySlot& slot);

// Why a document was not read: whether the file opened, and the reason (the system's text when
// it did not open; what is wrong with the document when it did).
struct LineXmlError {
    bool opened = false;
    std::string reason;
};

// Reads the document at `path` into the record, the group (entries from `first` on) and the
// slot. Returns the index after the last file read (the group's new count), or -1 when the
// document is unreadable or `first` lies outside 0..capacity; nothing changes then, and
// `error` (when given) says why. The list-full message goes to `ui` when one is given.
int ReadLineXml(SurveyLine& line, CFileGroup& group, MamGeometrySlot& slot, const std::string& path, int first,
                UiHost* ui = nullptr, int language = -1, LineXmlError* error = nullptr);
// The same on the bytes of a document.
int ReadLineXmlBytes(SurveyLine& line, CFileGroup& group, MamGeometrySlot& slot, std::string_view bytes, int first,
                     UiHost* ui = nullptr, int language = -1, LineXmlError* error = nullptr);
// Thin forms of ReadLineXml.
int LoadLineXml(SurveyLine& line, CFileGroup& group, MamGeometrySlot& slot, std::string_view path, int first,
                UiHost* ui = nullptr, int language = -1);
int LoadLineXmlFile(SurveyLine& line, CFileGroup& group, MamGeometrySlot& slot, const char* path, int first,
                    UiHost* ui = nullptr, int language = -1);

// One list entry as the children of a `file` element, and back; `lineType` is the line's file
// type, which an entry without a type of its own is read with. Reading keeps the fields whose
// elements are missing or unreadable.
void WriteFileEntryXml(pugi::xml_node& file, const FileListEntry& entry, int32_t lineType);
void ReadFileEntryXml(const pugi::xml_node& file, FileListEntry& entry);

}  // namespace velk
