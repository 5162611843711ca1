#include "platform/text_codec.h"

#include <gtest/gtest.h>

namespace velk {
namespace {

TEST(TextCodec, ConvertsWholeBuffersOrFails)
{
    // "測線A\" in CP932 (iconv -t CP932): the trail byte 0x5C of "ソ" stays inside its character.
    EXPECT_EQ(TextCodec::Utf8ToCp932("測線A\\"), "\x91\xaa\x90\xfc" "A\\");
    EXPECT_EQ(TextCodec::Cp932ToUtf8("\x83\x5c" "A"), "ソA");
    EXPECT_EQ(TextCodec::Cp932ToUtf8(""), "");
    for (const char* bad : {"\x81", "A\xff", "\x85\x40"}) EXPECT_FALSE(TextCodec::Cp932ToUtf8(bad)) << bad;
    for (const char* bad : {"café", "\xF0\x9F\x98\x80", "\xC3"}) EXPECT_FALSE(TextCodec::Utf8ToCp932(bad)) << bad;
}

TEST(TextCodec, Utf8Validity)
{
    for (const char* good : {"", "plain", "café", "測線", "\xF0\x9F\x98\x80"}) EXPECT_TRUE(TextCodec::IsValidUtf8(good));
    // Overlong slash, a surrogate, beyond U+10FFFF, a stray trail byte, a cut sequence.
    for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "\xE6\xB8"})
        EXPECT_FALSE(TextCodec::IsValidUtf8(bad)) << bad;
}

}  // namespace
}  // namespace velk
