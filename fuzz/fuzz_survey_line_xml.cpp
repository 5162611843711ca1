// The survey-line XML reader: whatever the bytes and the declaration, an unreadable document
// changes nothing, and a readable one fills entries only from the first index up to the count
// it returns, which never passes the list's capacity.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "survey/file_group.h"
#include "survey/survey_line_xml.h"

namespace {

void Require(bool condition, const char* rule)
{
    if (!condition) {
        std::fprintf(stderr, "line xml: %s\n", rule);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    // Byte 0: the first index (a few beyond the capacity too); byte 1: the declaration put in
    // front of the rest (none, Shift_JIS, UTF-8, or the bytes as they are).
    const int first = (data[0] * 7) % (velk::CFileGroup::kMaxFiles + 8);
    static constexpr const char* kDeclarations[] = {"<?xml version='1.0'?>", "<?xml version='1.0' encoding='Shift_JIS'?>",
                                                    "<?xml version='1.0' encoding='UTF-8'?>", ""};
    std::string bytes = kDeclarations[data[1] % 4];
    bytes.append(reinterpret_cast<const char*>(data + 2), size - 2);

    velk::CFileGroup group;
    for (auto& e : group.entries) e.id = -77;
    velk::SurveyLine line;
    velk::MamGeometrySlot slot;
    const int n = velk::ReadLineXmlBytes(line, group, slot, bytes, first);
    if (n < 0) {
        Require(group.entryCount == 0 && slot.present == 0 && line == velk::SurveyLine{}, "unreadable but changed");
        for (const auto& e : group.entries) Require(e.id == -77, "unreadable but an entry changed");
        return 0;
    }
    Require(n == group.entryCount && n >= first && n <= velk::CFileGroup::kMaxFiles, "count outside the list");
    for (int i = 0; i < velk::CFileGroup::kMaxFiles; ++i) {
        if (i < first || i >= n) Require(group.entries[static_cast<size_t>(i)].id == -77, "entry touched outside");
    }
    Require(group.fileType >= 0 && group.fileType < velk::CFileGroup::kNamingSchemes, "file type outside 0..3");
    return 0;
}
