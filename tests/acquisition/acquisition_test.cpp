#include <gtest/gtest.h>

#include "acquisition/acquisition_device.h"
#include "acquisition/acquisition_manager.h"
#include "platform/paths.h"
#include "platform/profile.h"

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
    EXPECT_EQ(d.StartDsp(), 1);
    Profile p = Profile::FromText("");
    d.SaveSettings(p);
    EXPECT_EQ(p.Text(), "");
    float scale = 2.0f;
    d.ComputeDisplayScale(scale);
    EXPECT_EQ(scale, 2.0f);
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

}  // namespace
}  // namespace velk
