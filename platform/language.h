#pragma once
// Chooses the text of a message by the interface language when the message is shown.
//
//   Msg(language, "Cannot open the file", "ファイルを開けません")  twin given at the call site
//   Msg(language, "Select the folder")     twin, if any, from the message catalogue
//   MsgJa("時間領域の波形ではありません")    a Japanese-only message, shown in both modes
//
// Language 1 is Japanese; -1 (and any other value) is English. A message without a Japanese
// twin is shown in English in both modes. Format strings work the same way: choose the text,
// then format it.

#include <string>
#include <string_view>

namespace velk {

constexpr int kLanguageJapanese = 1;
constexpr int kLanguageEnglish = -1;

constexpr bool IsJapanese(int language) { return language == kLanguageJapanese; }

// `english` is the exact English text; `japanese` its twin, or empty to look the English text
// up in the catalogue.
std::string Msg(int language, std::string_view english, std::string_view japanese = {});

// A message that exists only in Japanese: the same text in every language.
std::string MsgJa(std::string_view japanese);

}  // namespace velk
