// "Save Key file" and "Make Key" on a record in the store.

#include "app/formats/key_file_commands.h"

#include <gtest/gtest.h>

#include "app/formats/file_road_fixture.h"
#include "app/formats/memory_recorder_commands.h"
#include "app/store_commands.h"
#include "formats/trace_arrays.h"
#include "formats/trace_header_key_dlg.h"

namespace velk {
namespace {

using testing::FileRoad;

class KeyFiles : public ::testing::Test, public FileRoad {
protected:
    // n traces of `samples` samples of value 1, receivers at `receivers` (hundredths).
    void Record(std::vector<int32_t> receivers, int32_t source, int samples = 10)
    {
        const int n = static_cast<int>(receivers.size());
        for (int i = 0; i < n; ++i) {
            ws.store.current.headers[static_cast<size_t>(i)].Set(i + 1, receivers[static_cast<size_t>(i)], source, 1,
                                                                 1, 0.0f, 1000.0f, samples);
            std::fill(ws.store.current.rows.Row(i).begin(), ws.store.current.rows.Row(i).end(), 1.0f);
        }
        ws.store.Params().traceCount = n;
    }
};

TEST_F(KeyFiles, SaveWritesOneLinePerTraceAndCancelIsSilent)
{
    Record({0, 100}, -50);
    const std::string path = folder.File("shot.key");
    ui.AnswerFileSave(path);
    EXPECT_EQ(SaveKeyFile(ws, ui), 0);
    EXPECT_EQ(testing::ReadFileText(path), "1 1 1 0 -50 1 \n1 1 2 100 -50 1 \n");
    EXPECT_EQ(ParseKeyText(testing::ReadFileText(path)).size(), 2u);  // the key reader takes both lines
    CTraceHeaderKeyDlg key;
    EXPECT_TRUE(key.Request(-1).Find("Receiver interval")->HasFocus());

    ui.CancelFileSave();
    EXPECT_EQ(SaveKeyFile(ws, ui), 0);
    EXPECT_TRUE(ui.Messages().empty());

    ui.AnswerFileSave(folder.File("missing/shot.key"));
    ui.ExpectMessage("error in opening file");
    SaveKeyFile(ws, ui);
    EXPECT_EQ(testing::ReadFileText(path), "1 1 1 0 -50 1 \n1 1 2 100 -50 1 \n");
}

TEST_F(KeyFiles, MakeKeyRewritesEveryHeaderThenOpensTheHeaderEditor)
{
    struct Case {
        const char* first;
        const char* interval;
        const char* length;
        std::vector<int32_t> receivers;  // expected; empty: refused, nothing changes
    };
    const Case cases[] = {
        {"0.0", "0.1", "1000", {0, 10, 20, 30}},
        {"-2.3", "1", "1200", {-230, -130, -30, 70}},
        {"0", "1", "5000", {}},  // beyond MAX_SAMPLE 4100
        {"0", "1", "0", {}},
    };
    for (const Case& c : cases) {
        Record({7, 8, 9, 10}, 300, 1000);
        ws.store.undoDepth = 0;
        ws.store.current.rows[0][1100] = 5.0f;
        ui.AnswerDialog("CTraceHeaderKeyDlg", {{"First receiver", c.first},
                                               {"Receiver interval", c.interval},
                                               {"Source", "-0.5"},
                                               {"Data length", c.length}});
        if (c.receivers.empty()) {
            ui.ExpectAnyMessage();
            EXPECT_EQ(MakeTraceHeaderKey(ws, ui), 0);
            EXPECT_EQ(H(0).receiverHundredths, 7);
            EXPECT_EQ(ws.store.undoDepth, 0);
            continue;
        }
        ui.AnswerDialogWith("CHeaderInfoDlg", [](DialogRequest&) { return false; });
        EXPECT_EQ(MakeTraceHeaderKey(ws, ui), 1) << c.first;
        for (int i = 0; i < 4; ++i) EXPECT_EQ(H(i).receiverHundredths, c.receivers[static_cast<size_t>(i)]) << c.first;
        EXPECT_EQ(H(3).sourceHundredths, -50);
        EXPECT_EQ(H(0).samples, std::stoi(c.length));
        EXPECT_EQ(S(0, 1100), std::stoi(c.length) > 1100 ? 0.0f : 5.0f);  // zero between the old and new count
        EXPECT_EQ(ws.store.undoDepth, 1);
        EXPECT_FLOAT_EQ(ws.display.lastReceiver, static_cast<float>(c.receivers[3] * 0.01));
        EXPECT_EQ(ws.survey.applyShift, 0);
    }
    EXPECT_FLOAT_EQ(ws.geometry.receiverInterval, 1.0f);
}

TEST_F(KeyFiles, ASavedKeyFileOpensBackAndUndoReturnsTheRecordItReplaced)
{
    Record({-250, 150, 600}, 1200, 10);
    ws.store.Params().samplesPerTrace = 10;
    ws.store.Params().sampleInterval = 1.0f;
    for (int i = 0; i < 3; ++i) ws.store.current.rows[i][2] = static_cast<float>(i + 1);
    const std::string path = folder.File("line.key");
    ui.AnswerFileSave(path);
    SaveKeyFile(ws, ui);

    // The positions are lost (all traces moved to one place), then the key file puts them back.
    for (int i = 0; i < 3; ++i) ws.store.current.headers[static_cast<size_t>(i)].receiverHundredths = 0;
    ws.store.undoDepth = 0;
    ui.AnswerFileOpen(path);
    EXPECT_EQ(FileRoad::Run(OpenKeyFile), 1);
    ASSERT_EQ(ws.store.TraceCount(), 3);
    const int32_t expected[] = {-250, 150, 600};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(H(i).receiverHundredths, expected[i]);
        EXPECT_EQ(H(i).sourceHundredths, 1200);
        EXPECT_EQ(S(i, 2), static_cast<float>(i + 1)) << "each trace keeps its own samples";
    }
    ASSERT_TRUE(RestoreUndo(ws));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(H(i).receiverHundredths, 0);

    // The other layout, "trace receiver source component - -", still reads as before.
    const std::vector<KeyLine> plain = ParseKeyText("2 100 0 3 0 0\n1 200 0 3 0 0\n");
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(plain[0].trace, 2);
    EXPECT_EQ(plain[1].receiver, 200);
}

}  // namespace
}  // namespace velk
