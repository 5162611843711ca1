#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/profile.h"
#include "surfacewave/contour_settings.h"
#include "surfacewave/mam_geometry.h"
#include "surfacewave/taup_settings.h"

namespace velk {
namespace {

TEST(ContourSettings, DefaultsOfTheRecord)
{
    CContourSettings c;
    EXPECT_EQ(c.endFrequency, 40.0f);
    EXPECT_EQ(c.endVelocity, 0.5f);
    EXPECT_EQ(c.velocityInterval, 0.0025f);
    EXPECT_EQ(c.direction, 0);
    EXPECT_EQ(c.medianFilter, 1);
    EXPECT_EQ(c.minMaxPlot, 1);
    EXPECT_EQ(c.yAxis, 1);
    EXPECT_EQ(c.traceSkip, 1);
    EXPECT_EQ(c.maximumOffset, 100000.0f);
}

TEST(ContourSettings, SaveWritesTheTwoDisplayKeys)
{
    Profile p = Profile::FromText("");
    CContourSettings c;
    c.minMaxPlot = 0;
    SaveContourSettings(p, c);
    EXPECT_EQ(p.Text(), "[General]\nbMedianFilter=1\nMinMaxPlot=0\n");
}

TEST(TauPSettings, DefaultsAndReadingWhenBuilt)
{
    TauPSettings d;
    EXPECT_EQ(d.startSlowness, 0.05f);
    EXPECT_EQ(d.endSlowness, 0.5f);
    EXPECT_EQ(d.slownessStep, 0.05f);
    EXPECT_EQ(d.stackingMode, 2);
    EXPECT_EQ(d.minimumOffset, 0.0f);
    EXPECT_EQ(d.maximumOffset, 10.0f);
    Profile p = Profile::FromText("[General]\nTAUP_V_END=0.8\nTAUP_I_STACK_MENU=1\nTAUP_V_PITCH=x\n");
    TauPSettings t(p);
    EXPECT_EQ(t.endSlowness, 0.8f);
    EXPECT_EQ(t.stackingMode, 1);
    EXPECT_EQ(t.slownessStep, 0.05f);
}

TEST(TauPSettings, SurviveASaveAndLoad)
{
    Profile p = Profile::FromText("");
    TauPSettings t;
    SaveTauPSettings(p, t);
    EXPECT_EQ(p.Text(),
              "[General]\nTAUP_V_START=0.050000\nTAUP_V_END=0.500000\nTAUP_V_PITCH=0.050000\n"
              "TAUP_I_STACK_MENU=2\n");
    TauPSettings back(p);
    EXPECT_EQ(back.startSlowness, 0.05f);
    EXPECT_EQ(back.endSlowness, 0.5f);
    EXPECT_EQ(back.slownessStep, 0.05f);
    EXPECT_EQ(back.stackingMode, 2);
    t.startSlowness = 0.1f;
    t.stackingMode = 0;
    SaveTauPSettings(p, t);
    TauPSettings again(p);
    EXPECT_EQ(again.startSlowness, 0.1f);
    EXPECT_EQ(again.stackingMode, 0);
}

TEST(MamGeometry, DefaultsThenTheFiveKeys)
{
    const CMamGeometry d(Profile::FromText(""), 4);
    EXPECT_EQ((std::array{d.iGeometry, d.spacingCount, d.reverse, d.startChannel, d.nReceiver}),
              (std::array{2, 0, 0, 0, 12}));
    EXPECT_EQ((std::array{d.ArraySize, d.Angle, d.SpacingForLinearArray}), (std::array{20.0f, 90.0f, 10.0f}));
    EXPECT_EQ(d.usable, (std::vector<int32_t>{1, 1, 1, 1}));
    const CMamGeometry g(Profile::FromText("[General]\nArraySize=5.5\niGeometry=7\nAngle=x\nnReceiver=3\n"
                                           "SpacingForLinearArray=2\n"),
                         4);
    EXPECT_EQ((std::array{g.ArraySize, g.Angle, g.SpacingForLinearArray}), (std::array{5.5f, 90.0f, 2.0f}));
    EXPECT_EQ((std::array{g.iGeometry, g.nReceiver}), (std::array{7, 3}));
}

}  // namespace
}  // namespace velk
