#include <gtest/gtest.h>

#include "app/acquisition/record_saving.h"
#include "app/workspace.h"
#include "platform/clock.h"
#include "platform/language.h"
#include "platform/profile.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

TEST(AcquiredRecords, TheWorkspaceInstrumentAndItsRecordOperations)
{
    testing::TempFolder tmp;
    Profile profile = Profile::FromText("[General]\nSimulator_InitCode=2\n");
    ScriptedUiHost ui;
    Workspace ws(profile, ui);
    // The profile configures the instrument; a new clock brings a new instrument, not started.
    ASSERT_EQ(ws.acquisitionDevice.Instrument(), ws.instrument.get());
    ui.ExpectMessage("Cannot load DSP program!");
    EXPECT_EQ(ws.acquisitionDevice.StartDsp(ui, kLanguageEnglish), 0);
    ws.UseClock(std::make_unique<ManualClock>());
    EXPECT_EQ(ws.acquisitionDevice.Instrument(), ws.instrument.get());
    EXPECT_FALSE(ws.acquisitionDevice.DspReady());

    std::string saved;
    EXPECT_EQ(SaveAcquiredRecord(ws, ui, saved), 0);  // no survey line without a manager
    ws.CreateAcquisitionManager().dataFolder = tmp.Path();
    ws.startup.acquisitionMode = 1;
    ws.InitForView();
    ws.geometry.receiverInterval = 2.0f;
    EXPECT_EQ(MakeAcquiredTraceHeaders(ws), 25);
    EXPECT_EQ(ws.store.current.headers[3].receiverHundredths, 600);
    ws.store.Params().traceCount = 25;
    EXPECT_EQ(SaveAcquiredRecord(ws, ui, saved), 1);
    EXPECT_EQ(saved, tmp.File("qkaa0001.sg2"));
    EXPECT_EQ(ws.fileGroup.entries[0].receiverInterval, 2.0f);
    EXPECT_EQ(profile.GetInt("General", "NextID"), 2);

    ComputeAcquiredDisplayScale(ws);
    EXPECT_EQ(ws.display.layout.distanceMinimum, 0.0f);
    EXPECT_EQ(ws.display.layout.distanceMaximum, 46.0f);
    EXPECT_FLOAT_EQ(ws.store.Params().hscale, 0.85f * 2000000.0f / (100.0f * 1024.0f));
}

}  // namespace
}  // namespace velk
