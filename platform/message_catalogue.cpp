// The catalogue of Japanese twins. Each issue adds the twins of its own messages here.
// Keep the table sorted by the English text in byte order (the compiler checks it), and copy
// the English text exactly, blanks and "\n" included.

#include "platform/message_catalogue.h"

#include <algorithm>
#include <iterator>

namespace velk {

namespace {

constexpr CatalogueEntry kEntries[] = {
    {"Cannot open the file", "ファイルを開けません"},
    {"Cannot save the settings file", "設定ファイルを保存できません"},
    {"Cannot write the file", "ファイルを書き込めません"},
};

constexpr bool LessEnglish(const CatalogueEntry& a, const CatalogueEntry& b) { return a.english < b.english; }

static_assert(std::is_sorted(std::begin(kEntries), std::end(kEntries), LessEnglish),
              "keep the message catalogue sorted by the English text");
static_assert(std::adjacent_find(std::begin(kEntries), std::end(kEntries),
                                 [](const CatalogueEntry& a, const CatalogueEntry& b) {
                                     return a.english == b.english;
                                 }) == std::end(kEntries),
              "an English text appears twice in the message catalogue");

}  // namespace

std::span<const CatalogueEntry> MessageCatalogue() { return kEntries; }

std::string_view CatalogueJapanese(std::string_view english)
{
    const auto it = std::lower_bound(std::begin(kEntries), std::end(kEntries), english,
                                     [](const CatalogueEntry& e, std::string_view key) { return e.english < key; });
    if (it == std::end(kEntries) || it->english != english) return {};
    return it->japanese;
}

}  // namespace velk
