// The catalogue of Japanese twins. Each issue adds the twins of its own messages here.
// Keep the table sorted by the English text in byte order (the compiler checks it), and copy
// the English text exactly, blanks and "\n" included.

#include "platform/message_catalogue.h"

#include <algorithm>
#include <iterator>

namespace velk {

namespace {

constexpr CatalogueEntry kEntries[] = {
    {" Change maximum traces by 'Option', 'Dimension size' !", " 'Option'、'Dimension size' でトレース数の最大値を変更してください !"},
    {" Number of samples is too large ! \n\n Data will be truncated. \n\n Change maximum samples by 'Option', 'Dimension size' !", " サンプル数が多すぎます ! \n\n データを切り詰めます。 \n\n 'Option'、'Dimension size' でサンプル数の最大値を変更してください !"},
    {"%lld samples were not numbers and have been set to 0 !", "数値でないサンプル %lld 個を 0 にしました !"},
    {"%lld samples were out of range and have been clipped !", "範囲外のサンプル %lld 個を範囲の端の値にしました !"},
    {"Cannot open the file", "ファイルを開けません"},
    {"Cannot save the settings file", "設定ファイルを保存できません"},
    {"Cannot write the file", "ファイルを書き込めません"},
    {"The number of samples was too large ! \n Maximum sample number is %d ", "サンプル数が多すぎます ! \n サンプル数の最大値は %d です "},
    {"The number of traces was too large ! \n Maximum trace number is  %d", "トレース数が多すぎます ! \n トレース数の最大値は  %d です"},
    {"The number of traces was too large ! \n Maximum trace number is %d", "トレース数が多すぎます ! \n トレース数の最大値は %d です"},
    {"The total number of traces was too large ! \n It has been set to %d", "合計トレース数が多すぎます ! \n %d に設定しました"},
    {"The total number of traces was too large ! \n Only %d traces has been read !", "合計トレース数が多すぎます ! \n %d トレースだけ読み込みました !"},
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
