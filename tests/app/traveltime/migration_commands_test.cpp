// The finite-difference and migration commands: the store stays as it was until "Finish", Undo
// brings the loaded record back, and every refusal (capacity, trace limits, data kind, image
// size, scheme, stability) leaves the store bit-identical.

#include "app/traveltime/migration_commands.h"

#include <gtest/gtest.h>

#include "app/dsp/data_kind.h"
#include "app/dsp/signal_fixture.h"
#include "app/operations.h"
#include "app/traveltime/modelling_commands.h"
#include "platform/language.h"

namespace velk {
namespace {

using signaltest::SignalTest;

class MigrationCommands : public SignalTest {};

TEST_F(MigrationCommands, ModellingRunTouchesTheStoreOnlyAtFinish)
{
    LoadLcg(5, 4, 256, 100.0f);
    const std::vector<uint8_t> before = Snapshot();
    const std::vector<float> firstTrace = Row(0, 256);
    OnNewHomogeneousModel(*ws);
    ui.AnswerDialog("CFdModelingDlg", {{"Number of sample", "100"}, {"Calculatioin method", "#0"}});
    EXPECT_EQ(OnAcousticFiniteDifference(*ws, ui, nullptr), 1);
    EXPECT_EQ(OnAcousticFiniteDifference(*ws, ui, nullptr), 1);  // "Continue": no dialog
    EXPECT_EQ(ws->velocityModel.continueSample, 201);
    EXPECT_EQ(ws->velocityModel.contourSource, 3);
    EXPECT_EQ(Snapshot(), before);

    EXPECT_EQ(OnFdFinish(*ws, ui), 1);
    EXPECT_EQ(ws->store.TraceCount(), 20);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 201);
    EXPECT_EQ(ws->store.current.headers[1].receiverHundredths, 1500);
    EXPECT_EQ(ws->velocityModel.continueSample, 0);
    ASSERT_TRUE(ws->store.RestoreUndo());
    EXPECT_EQ(Row(0, 256), firstTrace);
    EXPECT_EQ(ws->store.TraceCount(), 4);
}

TEST_F(MigrationCommands, ResultsBeyondTheStoreAreRefused)
{
    Build(16, 150);
    LoadLcg(5, 4, 128, 100.0f);
    const std::vector<uint8_t> before = Snapshot();
    OnNewHomogeneousModel(*ws);
    // A portion past MAX_SAMPLE is refused at its start; 20 traces do not fit 16.
    ui.AnswerDialog("CFdModelingDlg", {{"Number of sample", "200"}});
    ui.ExpectMessage(SamplesTooLargeText(-1, 150));
    EXPECT_EQ(OnAcousticFiniteDifference(*ws, ui, nullptr), 0);
    EXPECT_EQ(ws->velocityModel.continueSample, 0);
    ui.AnswerDialog("CFdModelingDlg", {{"Number of sample", "100"}});
    EXPECT_EQ(OnAcousticFiniteDifference(*ws, ui, nullptr), 1);
    ui.ExpectMessage(TracesTooLargeText(-1, 16));
    EXPECT_EQ(OnFdFinish(*ws, ui), 0);
    // Stolt's 128 samples fit; the reverse-time output of NX S traces does not.
    ui.AnswerDialog("CReverseTimeMigrationDlg",
                    {{"Space direction by", "5"}, {"Time direction by", "2"}, {"Calculatioin method", "#0"}});
    ui.ExpectMessage(TracesTooLargeText(-1, 16));
    EXPECT_EQ(OnReverseTimeMigration(*ws, ui, nullptr), 0);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_TRUE(ui.VerifyAndClear());
}

TEST_F(MigrationCommands, RefusalsLeaveTheStoreUnchanged)
{
    Build(1100, 64);
    LoadLcg(5, 1025, 32, 100.0f);
    ViewProgressText progress(nullptr);
    const std::vector<uint8_t> many = Snapshot();
    ui.ExpectMessage("The F-K migration serves at most 1024 traces !");
    EXPECT_EQ(OnStoltMigration(*ws, ui, progress), 0);
    ws->store.Params().traceCount = 513;
    const std::vector<uint8_t> fewer = Snapshot();
    ui.ExpectMessage("The phase shift migration serves at most 512 traces !");
    EXPECT_EQ(OnPhaseShiftMigration(*ws, ui, progress), 0);
    EXPECT_EQ(Snapshot(), fewer);

    ws->store.Params().traceCount = 24;
    ws->store.dataKind() = 1;
    ui.ExpectMessage(MsgJa("時間領域の波形ではありません"));
    EXPECT_EQ(OnFifteenDegreeMigration(*ws, ui, progress), 0);
    ws->store.dataKind() = kTimeDomain;
    const std::vector<uint8_t> before = Snapshot();

    ui.AnswerDialog("CDiffractionStackingDlg", {{"X-dir. interval", "0.01"}, {"Create velocity model", "1"}});
    ui.ExpectMessage("Imaging area is too large ! ");
    EXPECT_EQ(OnDiffractionStacking(*ws, ui, progress), 0);
    ui.AnswerDialog("CReverseTimeMigrationDlg", {{"Calculatioin method", "#3"}});
    ui.ExpectMessage("The reverse time migration has no staggered grid scheme !");
    EXPECT_EQ(OnReverseTimeMigration(*ws, ui, nullptr), 0);
    ui.AnswerDialog("CReverseTimeMigrationDlg", {{"Velocity", "30"}, {"Calculatioin method", "#0"}});
    ui.ExpectMessage("Unstable: r = 1.5000 is above the limit 0.7071 of the method ! Raise the time factor.");
    EXPECT_EQ(OnReverseTimeMigration(*ws, ui, nullptr), 0);
    ws->store.current.headers[1].receiverHundredths = ws->store.current.headers[0].receiverHundredths;
    ui.ExpectMessage("At least two traces at different receiver positions and a sampling time above 0 are needed !");
    EXPECT_EQ(OnKirchhoffMigration(*ws, ui, progress), 0);
    ws->store.current.headers[1].receiverHundredths = 200;
    EXPECT_EQ(Snapshot(), before);
    EXPECT_TRUE(ui.VerifyAndClear());
}

}  // namespace
}  // namespace velk
