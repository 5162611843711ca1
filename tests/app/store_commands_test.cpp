#include "app/store_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/workspace.h"
#include "platform/profile.h"
#include "tools/scripted_uihost.h"

namespace velk {
namespace {

struct StoreCommands : ::testing::Test {
    void SetUp() override
    {
        profile = std::make_unique<Profile>(Profile::FromText("[General]\nMAXTRACES=8\nMAX_SAMPLE=500\n"));
        ws = std::make_unique<Workspace>(*profile, ui);
        ws->startup.language = -1;
        ws->InitForView();
        ui.ClearCalls();
    }
    void Fill(float base)
    {
        WaveformStore& s = ws->store;
        s.Params().traceCount = 3;
        for (int i = 0; i < 3; ++i) {
            s.current.headers[i].samples = 100;
            for (int j = 0; j < 100; ++j) {
                s.current.rows[i][j] = base + j;
            }
        }
    }
    std::vector<uint8_t> Image()
    {
        std::vector<uint8_t> out;
        auto add = [&](const void* p, size_t n) {
            const auto* b = static_cast<const uint8_t*>(p);
            out.insert(out.end(), b, b + n);
        };
        for (const DataSet* d : {&ws->store.current, &ws->store.level1, &ws->store.level2}) {
            add(d->rows.Elements().data(), d->rows.Elements().size_bytes());
            add(d->headers.data(), d->headers.size() * sizeof(CTraceHeader));
            add(&d->params.traceCount, sizeof(int));
            add(&d->params.samplesPerTrace, sizeof(int));
        }
        const int v[4] = {ws->store.MaxTraces(), ws->store.MaxSample(), ws->settings.maxTraces,
                          ws->settings.maxSample};
        add(v, sizeof v);
        return out;
    }
    ScriptedUiHost ui;
    std::unique_ptr<Profile> profile;
    std::unique_ptr<Workspace> ws;
};

TEST_F(StoreCommands, UndoResetsTheFilterRestoresAndRepaints)
{
    EXPECT_FALSE(CanUndo(*ws));
    EXPECT_EQ(OnEditUndo(*ws), 0);
    Fill(1.0f);
    ws->store.Params().selectionFlags[2] = 1;
    EXPECT_EQ(ws->store.PushUndo(), 1);
    EXPECT_TRUE(CanUndo(*ws));
    Fill(50.0f);
    ws->store.dataKind() = kRealSpectrum;
    ws->display.plotMode = 0;
    ws->display.plotSubFlag = 1;
    ws->display.spectrumAxisKind = 2;
    ws->displayFilter.applied = 1;
    ws->displayFilter.lowCut = 7.5f;
    EXPECT_EQ(OnEditUndo(*ws), 1);
    EXPECT_EQ(ws->store.current.rows[1][10], 11.0f);
    EXPECT_EQ(ws->store.dataKind(), kTimeDomain);
    EXPECT_EQ(ws->display.plotMode, -2);
    EXPECT_EQ(ws->display.plotSubFlag, 0);
    EXPECT_EQ(ws->display.spectrumAxisKind, 0);
    EXPECT_EQ(ws->displayFilter.applied, 0);
    EXPECT_EQ(ws->displayFilter.lowCut, -1.0f);
    EXPECT_EQ(ws->store.Params().selectionFlags[2], 1);
    EXPECT_EQ(ws->store.undone, 1);
    EXPECT_FALSE(CanUndo(*ws));
}

TEST_F(StoreCommands, UndoGivesTheSnapshotsDataKind)
{
    Fill(1.0f);
    ws->store.dataKind() = kComplexShowImag;
    ws->store.current.imag[0][5] = 42.0f;
    ws->store.PushUndo();
    ws->store.dataKind() = kTimeDomain;
    ws->store.current.imag[0][5] = 0.0f;
    EXPECT_EQ(OnEditUndo(*ws), 1);
    EXPECT_EQ(ws->store.dataKind(), kComplexShowImag);
    EXPECT_EQ(ws->store.current.imag[0][5], 42.0f);
}

TEST_F(StoreCommands, ComponentToEdit)
{
    EXPECT_TRUE(IsComponentChecked(*ws, -1));
    for (int c : {1, 2, 3, 4, 5, 6, -1}) {
        OnSelectComponent(*ws, c);
        EXPECT_EQ(ws->componentToEdit, c);
        EXPECT_TRUE(IsComponentChecked(*ws, c));
        EXPECT_FALSE(IsComponentChecked(*ws, c == 1 ? 2 : 1));
    }
    OnSelectComponent(*ws, 3);
    for (int bad : {0, 7, -2}) {
        OnSelectComponent(*ws, bad);
        EXPECT_EQ(ws->componentToEdit, 3);
    }
}

TEST_F(StoreCommands, DimensionSizeCancelOrBoxClearChangesNothing)
{
    Fill(1.0f);
    const auto before = Image();
    ui.CancelDialog("CDimensionSizeDlg");
    EXPECT_EQ(OnDimensionSize(*ws, ui), 0);
    ui.AnswerDialog("CDimensionSizeDlg", {{"Maximum traces", "64"}});
    EXPECT_EQ(OnDimensionSize(*ws, ui), 0);
    EXPECT_EQ(Image(), before);
    EXPECT_TRUE(ui.Messages().empty());
    ASSERT_EQ(ui.Calls().size(), 2u);
    EXPECT_EQ(ui.Calls()[0].Shown("Maximum samples"), "500");
    EXPECT_EQ(ui.Calls()[0].Shown("Maximum traces"), "8");
    EXPECT_EQ(ui.Calls()[0].Shown("Change dimension size"), "0");
    EXPECT_EQ(ui.Calls()[0].dialogTitle, "Property");
}

TEST_F(StoreCommands, DimensionSizeWithTheBoxCheckedReplacesTheStore)
{
    Fill(1.0f);
    ws->store.PushUndo();
    ui.AnswerDialog("CDimensionSizeDlg", {{"Maximum traces", "16"},
                                          {"Maximum samples", "3000"},
                                          {"Change dimension size", "1"}});
    ui.ExpectMessage("Memory size has been changed ! \n\n Please re-start the program");
    EXPECT_EQ(OnDimensionSize(*ws, ui), 1);
    EXPECT_EQ(ws->store.Params().traceCount, 0);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 0);
    EXPECT_EQ(ws->store.MaxTraces(), 16);
    EXPECT_EQ(ws->store.MaxSample(), 3000);
    EXPECT_EQ(ws->store.Params().capacity, 16);
    EXPECT_EQ(ws->theoretical.capacity, 16);
    EXPECT_FALSE(CanUndo(*ws));
    // Written at shut-down.
    ws->Shutdown(FrameRect{});
    EXPECT_EQ(profile->GetInt("General", "MAXTRACES"), 16);
    EXPECT_EQ(profile->GetInt("General", "MAX_SAMPLE"), 3000);
}

TEST_F(StoreCommands, DimensionSizeRefusesBadValuesAndKeepsTheStore)
{
    Fill(1.0f);
    ws->store.PushUndo();
    const auto before = Image();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"0", "500"}, {"-5", "500"}, {"8", "0"}, {"8", "-5"}, {"1000000", "1000000"},
        {"2147483647", "2147483647"}};
    for (const auto& [traces, samples] : cases) {
        ui.AnswerDialog("CDimensionSizeDlg", {{"Maximum traces", traces},
                                              {"Maximum samples", samples},
                                              {"Change dimension size", "1"}});
        ui.ExpectAnyMessage();
        EXPECT_EQ(OnDimensionSize(*ws, ui), 0) << traces << " x " << samples;
        EXPECT_EQ(Image(), before) << traces << " x " << samples;
        ASSERT_TRUE(ui.VerifyAndClear());
    }
    const auto messages = ui.Messages();
    ASSERT_EQ(messages.size(), cases.size());
    EXPECT_EQ(messages[0],
              "Maximum samples and maximum traces must be 1 or more.\n\n"
              "The dimension size was not changed.");
    EXPECT_NE(messages[4].find("The dimension size was not changed."), std::string::npos);
    EXPECT_TRUE(CanUndo(*ws));
}

TEST_F(StoreCommands, DimensionSizeKeepsSamplesWithinTheLongestTransform)
{
    ui.AnswerDialog("CDimensionSizeDlg", {{"Maximum traces", "2"},
                                          {"Maximum samples", "262145"},
                                          {"Change dimension size", "1"}});
    ui.ExpectAnyMessage();
    EXPECT_EQ(OnDimensionSize(*ws, ui), 0);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages()[0].find("262144"), std::string::npos) << ui.Messages()[0];
    ASSERT_TRUE(ui.VerifyAndClear());

    ui.AnswerDialog("CDimensionSizeDlg", {{"Maximum traces", "2"},
                                          {"Maximum samples", "262144"},
                                          {"Change dimension size", "1"}});
    ui.ExpectMessage("Memory size has been changed ! \n\n Please re-start the program");
    EXPECT_EQ(OnDimensionSize(*ws, ui), 1);
    // The transforms' work arrays cover a whole row of the new store.
    EXPECT_GE(ws->fftWork.Length(), static_cast<size_t>(ws->store.RowLength()));
}

TEST_F(StoreCommands, JapaneseTexts)
{
    ws->startup.language = 1;
    ui.AnswerDialog("CDimensionSizeDlg", {{"Change dimension size", "1"}});
    ui.ExpectAnyMessage();
    EXPECT_EQ(OnDimensionSize(*ws, ui), 1);
    EXPECT_EQ(ui.Calls()[0].dialogTitle, "プロパティ");
    EXPECT_NE(ui.Messages()[0], kMemoryChangedText);
}

}  // namespace
}  // namespace velk
