// The survey-line XML document, read, saved and read back: whatever document reads saves, the
// second read gives the same line, list and geometry (numbers as the document stores them,
// each entry opened with the same reader), and saving that again gives the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/numtext.h"
#include "survey/file_group.h"
#include "survey/survey_line_xml.h"

namespace {

void Require(bool condition, const char* rule)
{
    if (!condition) {
        std::fprintf(stderr, "line xml round trip: %s\n", rule);
        std::abort();
    }
}

// A number as the document stores it.
std::string Stored(float v) { return velk::FormatC("%f", static_cast<double>(v)); }

// The type an entry's file is opened with.
int ReaderOf(const velk::FileListEntry& e, const velk::CFileGroup& g) { return e.hasType == 1 ? e.fileType : g.CurrentType(); }

bool SameEntry(const velk::FileListEntry& a, const velk::CFileGroup& ga, const velk::FileListEntry& b,
               const velk::CFileGroup& gb)
{
    return a.inUse == b.inUse && (a.inUse != 1 || a.fileName == b.fileName) && a.id == b.id &&
           ReaderOf(a, ga) == ReaderOf(b, gb) && Stored(a.shotDistance) == Stored(b.shotDistance) &&
           Stored(a.firstReceiver) == Stored(b.firstReceiver) &&
           Stored(a.receiverInterval) == Stored(b.receiverInterval) && a.numberOfAuxiliary == b.numberOfAuxiliary;
}

bool SameGeometry(const velk::MamGeometryValues& a, const velk::MamGeometryValues& b)
{
    return a.iGeometry == b.iGeometry && Stored(a.ArraySize) == Stored(b.ArraySize) &&
           Stored(a.Angle) == Stored(b.Angle) && a.nReceiver == b.nReceiver && a.startChannel == b.startChannel &&
           a.reverse == b.reverse && Stored(a.SpacingForLinearArray) == Stored(b.SpacingForLinearArray);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    // Byte 0: the first index of the first read; byte 1: the declaration put in front of the
    // rest (none, Shift_JIS, UTF-8, or the bytes as they are).
    const int first = data[0] % 8;
    static constexpr const char* kDeclarations[] = {"<?xml version='1.0'?>", "<?xml version='1.0' encoding='Shift_JIS'?>",
                                                    "<?xml version='1.0' encoding='UTF-8'?>", ""};
    std::string bytes = kDeclarations[data[1] % 4];
    bytes.append(reinterpret_cast<const char*>(data + 2), size - 2);

    velk::SurveyLine line;
    velk::CFileGroup group;
    velk::MamGeometrySlot slot;
    if (velk::ReadLineXmlBytes(line, group, slot, bytes, first) < 0) return 0;
    const std::optional<std::string> saved = velk::LineXmlBytes(line, group, slot);
    Require(saved.has_value(), "a document that reads cannot be saved");

    velk::SurveyLine line2;
    velk::CFileGroup group2;
    velk::MamGeometrySlot slot2;
    Require(velk::ReadLineXmlBytes(line2, group2, slot2, *saved, 0) == group.entryCount, "the list count changed");
    Require(line2.lineName == line.lineName && line2.lineId == line.lineId && line2.qkwMenu == line.qkwMenu &&
                line2.hasDataFile == line.hasDataFile && line2.dataFile == line.dataFile &&
                line2.hasResultFile == line.hasResultFile && line2.resultFile == line.resultFile &&
                line2.hasPlottingFile == line.hasPlottingFile && line2.plottingFile == line.plottingFile,
            "the line changed");
    if (line.qkwMenu != 0) {
        Require(line2.qkwMenuName == line.qkwMenuName && line2.procedureStep == line.procedureStep,
                "the menu name or step changed");
    }
    const size_t type = static_cast<size_t>(group.CurrentType());
    Require(group2.fileType == group.fileType && group2.sourceFromFile[type] == group.sourceFromFile[type] &&
                group2.receiversFromFile[type] == group.receiversFromFile[type],
            "the line's file type or position flags changed");
    for (int i = 0; i < group.entryCount; ++i) {
        const size_t k = static_cast<size_t>(i);
        Require(SameEntry(group.entries[k], group, group2.entries[k], group2), "an entry changed");
    }
    Require(slot2.present == slot.present && (slot.present != 1 || SameGeometry(slot.values, slot2.values)),
            "the array geometry changed");

    const std::optional<std::string> again = velk::LineXmlBytes(line2, group2, slot2);
    Require(again == saved, "save, read and save again changed the bytes");
    return 0;
}
