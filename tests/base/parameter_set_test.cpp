#include "base/parameter_set.h"

#include <gtest/gtest.h>

#include "tools/scripted_uihost.h"

namespace velk {
namespace {

TEST(ParameterSet, ConstructorDefaults)
{
    CParameterSet p;
    EXPECT_EQ(p.ownsArrays, 0);
    EXPECT_EQ(p.traceCount, 0);
    EXPECT_FLOAT_EQ(p.hscale, 1.0f);
    EXPECT_FLOAT_EQ(p.vscale, 0.01f);
    EXPECT_FLOAT_EQ(p.plotscale, 20.0f);
    EXPECT_TRUE(p.traceMaxima.empty());
}

TEST(ParameterSet, AllocateMakesFourArraysWithInitialValues)
{
    CParameterSet p;
    p.recordKind = 2;
    p.windowStartTime = 5.0f;
    EXPECT_EQ(p.Allocate(16), 16);
    EXPECT_EQ(p.ownsArrays, 1);
    EXPECT_EQ(p.capacity, 16);
    EXPECT_EQ(p.recordKind, 0);
    EXPECT_EQ(p.windowStartTime, 0.0f);
    ASSERT_EQ(p.selectionFlags.size(), 16u);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(p.selectionFlags[i], 0);
        EXPECT_EQ(p.pickTimes[i], 0.0f);
        EXPECT_EQ(p.layerCodes[i], 1);
        EXPECT_EQ(p.traceMaxima[i], 0.0f);
    }
}

TEST(ParameterSet, AllocateOfNothingReturnsZeroAndChangesNothing)
{
    CParameterSet p;
    EXPECT_EQ(p.Allocate(0), 0);
    EXPECT_EQ(p.Allocate(-3), 0);
    EXPECT_EQ(p.ownsArrays, 0);
    EXPECT_EQ(p.capacity, 0);
}

TEST(ParameterSet, CopyToCopiesScalarsAndArraysButNotFlags)
{
    CParameterSet a, b;
    a.Allocate(8);
    b.Allocate(8);
    a.traceCount = 3;
    a.tracesShown = 2;
    a.samplesPerTrace = 500;
    a.samplesShown = 400;
    a.sampleInterval = 0.25f;
    a.shownTime = 100.0f;
    a.timeAxisStart = 1.0f;
    a.hscale = 2.0f;
    a.vscale = 3.0f;
    a.plotscale = 4.0f;
    a.normalisation = 1;
    a.verticalAxisKind = -1;
    a.horizontalAxisKind = -1;
    a.recordMaximum = 9.0f;
    a.recordKind = 1;
    a.windowStartTime = 7.0f;
    for (int i = 0; i < 8; ++i) {
        a.traceMaxima[i] = 10.0f + i;
        a.pickTimes[i] = 20.0f + i;
        a.layerCodes[i] = 30 + i;
        a.selectionFlags[i] = 1;
    }
    b.selectionFlags[0] = 0;
    b.selectionFlags[1] = 1;
    ASSERT_EQ(a.CopyTo(b), 1);
    EXPECT_EQ(b.traceCount, 3);
    EXPECT_EQ(b.tracesShown, 2);
    EXPECT_EQ(b.samplesPerTrace, 500);
    EXPECT_EQ(b.samplesShown, 400);
    EXPECT_EQ(b.sampleInterval, 0.25f);
    EXPECT_EQ(b.shownTime, 100.0f);
    EXPECT_EQ(b.timeAxisStart, 1.0f);
    EXPECT_EQ(b.hscale, 2.0f);
    EXPECT_EQ(b.vscale, 3.0f);
    EXPECT_EQ(b.plotscale, 4.0f);
    EXPECT_EQ(b.normalisation, 1);
    EXPECT_EQ(b.verticalAxisKind, -1);
    EXPECT_EQ(b.horizontalAxisKind, -1);
    EXPECT_EQ(b.recordMaximum, 9.0f);
    EXPECT_EQ(b.recordKind, 1);
    EXPECT_EQ(b.windowStartTime, 7.0f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(b.traceMaxima[i], 10.0f + i);
        EXPECT_EQ(b.pickTimes[i], 20.0f + i);
        EXPECT_EQ(b.layerCodes[i], 30 + i);
    }
    // Entries beyond the count and the selection flags are not copied.
    EXPECT_EQ(b.pickTimes[3], 0.0f);
    EXPECT_EQ(b.selectionFlags[0], 0);
    EXPECT_EQ(b.selectionFlags[1], 1);
    EXPECT_EQ(b.selectionFlags[2], 0);
}

TEST(ParameterSet, CopyFromASetWithoutArraysCopiesNothing)
{
    CParameterSet a, b;
    b.Allocate(4);
    a.traceCount = 2;
    a.hscale = 9.0f;
    EXPECT_EQ(a.CopyTo(b), 0);
    EXPECT_EQ(b.traceCount, 0);
    EXPECT_EQ(b.hscale, 1.0f);
}

TEST(ParameterSet, CopyParameterSetShowsTheMessage)
{
    CParameterSet a, b;
    b.Allocate(4);
    ScriptedUiHost ui;
    ui.ExpectMessage("Cannot copy parameter object !");
    EXPECT_EQ(CopyParameterSet(a, b, ui, -1), 0);
    a.Allocate(4);
    EXPECT_EQ(CopyParameterSet(a, b, ui, -1), 1);
}

TEST(ParameterSet, TraceCountBeyondCapacityIsClampedInEveryLoop)
{
    CParameterSet a, b;
    a.Allocate(4);
    b.Allocate(4);
    a.traceCount = 1000;
    for (int i = 0; i < 4; ++i) {
        a.selectionFlags[i] = 0;
    }
    EXPECT_EQ(a.AnyFlagSet(), 0);
    a.ClearFlags();
    EXPECT_EQ(a.CopyTo(b), 1);
    EXPECT_EQ(a.CountInCapacity(), 4);
}

TEST(ParameterSet, FlagsWithinTheCountOnly)
{
    CParameterSet p;
    p.Allocate(8);
    EXPECT_EQ(p.AnyFlagSet(), 0);  // empty set
    p.selectionFlags[5] = 1;
    p.traceCount = 5;
    EXPECT_EQ(p.AnyFlagSet(), 0);
    p.traceCount = 6;
    EXPECT_EQ(p.AnyFlagSet(), 1);
    p.selectionFlags[6] = 1;
    p.ClearFlags();
    EXPECT_EQ(p.selectionFlags[5], 0);
    EXPECT_EQ(p.selectionFlags[6], 1);
}

}  // namespace
}  // namespace velk
