#include <gtest/gtest.h>

#include "acquisition/acquisition_device.h"
#include "acquisition/acquisition_manager.h"
#include "platform/paths.h"
#include "platform/language.h"
#include "platform/profile.h"
#include "tools/scripted_uihost.h"

namespace velk {
namespace {

TEST(AcquisitionDevice, RecordLimitsAndFlags)
{
    int samples = 0, traces = 0;
    CAcquisitionDevice::GetRecordLimits(samples, traces);
    EXPECT_EQ(samples, 16400);
    EXPECT_EQ(traces, 64);
    CAcquisitionDevice d;
    EXPECT_EQ(d.monitorRunning, 0);
    EXPECT_EQ(d.armed, 0);
    EXPECT_EQ(d.stopRequest, 0);
    EXPECT_EQ(d.suspendDrawing, 0);
    EXPECT_EQ(d.displayRefreshRequest, 0);
    EXPECT_EQ(d.stackPending, 0);
    EXPECT_EQ(d.acquisitionScreen, 0);
    d.armed = 1;
    d.Disarm();
    EXPECT_EQ(d.armed, 0);
    d.RequestStop();
    EXPECT_EQ(d.stopRequest, 1);
    // Without an instrument the DSP cannot start, and says nothing.
    ScriptedUiHost ui;
    EXPECT_EQ(d.StartDsp(ui, kLanguageEnglish), 0);
    EXPECT_TRUE(ui.Messages().empty());
    // The display: 24 receivers from the first one; 0.85 x 2e6 / (100 us x 1024 samples).
    d.firstReceiverPosition = 2.0f;
    float low = 0.0f, high = 0.0f, scale = 0.0f;
    d.ComputeDisplayScale(0.5f, low, high, scale);
    EXPECT_EQ(low, 2.0f);
    EXPECT_EQ(high, 13.5f);
    EXPECT_FLOAT_EQ(scale, 0.85f * 2000000.0f / (100.0f * 1024.0f));
}

TEST(AcquisitionManager, ModesOnlyForTypesOneToNine)
{
    CAcquisitionManager m;
    EXPECT_EQ(m.surveyType, 0);
    EXPECT_EQ(m.lineIndex, -1);
    EXPECT_EQ(m.dataFolder, MapWindowsPath("c:\\Data"));
    EXPECT_EQ(m.CreateMode(), 0);
    EXPECT_EQ(m.Mode(), nullptr);
    for (int type = 1; type <= 9; ++type) {
        m.surveyType = type;
        EXPECT_EQ(m.CreateMode(), 1);
        ASSERT_NE(m.Mode(), nullptr);
        EXPECT_EQ(m.Mode()->Type(), type);
        m.StepMode();
    }
    for (int type : {10, -1, 0}) {
        m.surveyType = type;
        EXPECT_EQ(m.CreateMode(), 0);
        EXPECT_EQ(m.Mode(), nullptr);
        m.StepMode();
    }
}

TEST(AcquisitionManager, LineIds)
{
    CAcquisitionManager m;
    const std::pair<int, const char*> cases[] = {{-1, "aa"}, {0, "aa"}, {25, "az"}, {26, "ba"}, {27, "bb"},
                                                  {675, "zz"}, {700, "zy"}};
    for (const auto& [index, id] : cases) {
        m.lineIndex = index;
        EXPECT_EQ(m.LineId(), id) << index;
        EXPECT_EQ(m.lineIndex, std::max(index, 0));  // a fresh index is stored back as 0
    }
}

}  // namespace
}  // namespace velk
