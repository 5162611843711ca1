#include "base/settings_io.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/display_filter.h"
#include "platform/profile.h"

namespace velk {
namespace {

TEST(SettingsIo, FloatIsWrittenWithSixDecimals)
{
    Profile p = Profile::FromText("");
    WriteSettingFloat(p, "x", 1.5f);
    EXPECT_EQ(p.GetString("General", "x"), "1.500000");
    WriteSettingInt(p, "i", -7);
    EXPECT_EQ(p.GetString("general", "i"), "-7");
    WriteSettingBool(p, "b", true);
    EXPECT_EQ(p.GetString("General", "b"), "1");
    WriteSettingString(p, "s", "a b");
    EXPECT_EQ(p.GetString("General", "s"), "a b");
}

TEST(SettingsIo, MissingOrUnparsableKeepsTheVariableBitIdentical)
{
    Profile p = Profile::FromText("[General]\nbad=1.5x\nempty=\nnum=2.25\nflag=256\nzero=0\n");
    float f = 1e-7f;
    EXPECT_FALSE(ReadSettingFloat(p, "missing", f));
    EXPECT_FALSE(ReadSettingFloat(p, "bad", f));
    EXPECT_FALSE(ReadSettingFloat(p, "empty", f));
    const float expected = 1e-7f;
    EXPECT_EQ(std::memcmp(&f, &expected, sizeof f), 0);
    EXPECT_TRUE(ReadSettingFloat(p, "NUM", f));
    EXPECT_EQ(f, 2.25f);
    int i = 5;
    EXPECT_FALSE(ReadSettingInt(p, "num", i));
    EXPECT_EQ(i, 5);
    bool b = false;
    EXPECT_TRUE(ReadSettingBool(p, "flag", b));  // any non-zero value
    EXPECT_TRUE(b);
    EXPECT_TRUE(ReadSettingBool(p, "zero", b));
    EXPECT_FALSE(b);
    std::string s = "keep";
    EXPECT_FALSE(ReadSettingString(p, "missing", s));
    EXPECT_EQ(s, "keep");
}

TEST(SettingsIo, BothSpellingsOfTheSectionAreOne)
{
    Profile p = Profile::FromText("[general]\nWindowX=5\n");
    int x = 0;
    EXPECT_TRUE(ReadSettingInt(p, "WindowX", x));
    EXPECT_EQ(x, 5);
    WriteSettingInt(p, "General", "WindowY", 6);
    EXPECT_EQ(p.Text(), "[general]\nWindowX=5\nWindowY=6\n");
}

TEST(DisplayFilter, DefaultsAndReset)
{
    DisplayFilterState f;
    EXPECT_EQ(f.applied, 0);
    EXPECT_EQ(f.highCut, -1.0f);
    EXPECT_EQ(f.lowCut, -1.0f);
    EXPECT_EQ(f.initialHighCut, 1000.0f);
    EXPECT_EQ(f.initialLowCut, 5.0f);
    EXPECT_EQ(f.highCutStep, 0.8f);
    EXPECT_EQ(f.lowCutStep, 1.5f);
    f.applied = 1;
    f.highCut = 300.0f;
    f.lowCut = 7.5f;
    ResetDisplayFilter(f);
    EXPECT_EQ(f.applied, 0);
    EXPECT_EQ(f.highCut, -1.0f);
    EXPECT_EQ(f.lowCut, -1.0f);
}

}  // namespace
}  // namespace velk
