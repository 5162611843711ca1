#include "base/text_helpers.h"

#include <gtest/gtest.h>

#include <string>

namespace velk {
namespace {

TEST(TextHelpers, StringFromTextIsAPlainCopy)
{
    const char text[] = "c:\\survey\\line 1 %s %d";
    std::string copy = StringFromText(text);
    EXPECT_EQ(copy, text);  // "%" is copied, never interpreted
    copy[0] = 'd';
    EXPECT_EQ(text[0], 'c');
}

TEST(TextHelpers, StringFromTextOfEmptyAndNull)
{
    EXPECT_EQ(StringFromText(""), "");
    EXPECT_EQ(StringFromText(static_cast<const char*>(nullptr)), "");
    EXPECT_EQ(StringFromText(std::string("フォルダ")), "フォルダ");
}

}  // namespace
}  // namespace velk
