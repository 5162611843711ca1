#include "platform/language.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/message_catalogue.h"

namespace velk {
namespace {

// Structure only (lead byte and continuation bytes); enough to catch a mangled table entry.
bool IsValidUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t extra = 0;
        if (c < 0x80) {
            extra = 0;
        } else if ((c >> 5) == 0x6) {
            extra = 1;
        } else if ((c >> 4) == 0xE) {
            extra = 2;
        } else if ((c >> 3) == 0x1E) {
            extra = 3;
        } else {
            return false;
        }
        if (s.size() - i <= extra) return false;
        for (size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) return false;
        }
        i += extra + 1;
    }
    return true;
}

TEST(Language, TwinGivenAtTheCallSite)
{
    EXPECT_EQ(Msg(kLanguageJapanese, "Cannot open the file", "データファイルをオープンできません"),
              "データファイルをオープンできません");
    EXPECT_EQ(Msg(kLanguageEnglish, "Cannot open the file", "データファイルをオープンできません"),
              "Cannot open the file");
}

TEST(Language, TwinFromTheCatalogue)
{
    EXPECT_EQ(Msg(1, "Cannot open the file"), "ファイルを開けません");
    EXPECT_EQ(Msg(-1, "Cannot open the file"), "Cannot open the file");
}

TEST(Language, MissingTwinFallsBackToEnglish)
{
    EXPECT_EQ(Msg(1, "Select the language !"), "Select the language !");
    EXPECT_EQ(Msg(-1, "Select the language !"), "Select the language !");
    EXPECT_EQ(Msg(1, "Cannot open the file "), "Cannot open the file ");  // exact text only
}

TEST(Language, JapaneseOnlyMessagesInBothModes)
{
    EXPECT_EQ(MsgJa("時間領域の波形ではありません"), "時間領域の波形ではありません");
    EXPECT_EQ(MsgJa("ﾃﾞｰﾀﾌｧｲﾙをｵｰﾌﾟﾝできません"), "ﾃﾞｰﾀﾌｧｲﾙをｵｰﾌﾟﾝできません");
}

TEST(Language, OnlyOneMeansJapanese)
{
    EXPECT_TRUE(IsJapanese(1));
    EXPECT_FALSE(IsJapanese(-1));
    EXPECT_FALSE(IsJapanese(0));
    EXPECT_EQ(Msg(0, "Cannot open the file", "開けません"), "Cannot open the file");
}

TEST(Language, ChosenWhenShown)
{
    int language = -1;
    auto show = [&] { return Msg(language, "Cannot write the file"); };
    EXPECT_EQ(show(), "Cannot write the file");
    language = 1;
    EXPECT_EQ(show(), "ファイルを書き込めません");
}

TEST(MessageCatalogueTest, SortedUniqueAndUtf8)
{
    const auto table = MessageCatalogue();
    ASSERT_FALSE(table.empty());
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_FALSE(table[i].english.empty());
        EXPECT_FALSE(table[i].japanese.empty());
        EXPECT_TRUE(IsValidUtf8(table[i].english)) << i;
        EXPECT_TRUE(IsValidUtf8(table[i].japanese)) << table[i].english;
        if (i > 0) {
            EXPECT_LT(table[i - 1].english, table[i].english);
        }
        EXPECT_EQ(CatalogueJapanese(table[i].english), table[i].japanese);
    }
    EXPECT_EQ(CatalogueJapanese("no such message"), "");
}

}  // namespace
}  // namespace velk
