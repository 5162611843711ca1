// Interactive editing: the three time shifts with their commands and refusals, the time-shift
// and display-factor files, the mute at the picks, and the source, header and geometry editors.

#include "app/view/interactive_edit.h"

#include <gtest/gtest.h>

#include <fstream>
#include <numeric>
#include <sstream>

#include "base/edit_text_files.h"
#include "app/command_table.h"
#include "platform/recent_files.h"
#include "app/dsp/time_shift.h"
#include "app/dsp/velocity_filter_commands.h"
#include "app/view/draw_fixture.h"
#include "dsp/trace_edit.h"
#include "app/dsp/signal_fixture.h"

namespace velk {
namespace {

using signaltest::SignalTest;

class InteractiveEdit : public SignalTest {
protected:
    // n traces of `samples` values 1, 2, 3 ... (trace i adds 1000 i) at 1 ms; receivers 1, 2, 3 ... m.
    void Ramps(int n, int samples)
    {
        std::vector<std::vector<double>> traces(static_cast<size_t>(n), std::vector<double>(static_cast<size_t>(samples)));
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < samples; ++j) traces[static_cast<size_t>(i)][static_cast<size_t>(j)] = 1000.0 * i + j + 1;
        Load(traces, 1000.0f);
    }
    CTraceHeader& Header(int i) { return ws->store.current.headers[static_cast<size_t>(i)]; }
    std::string WriteText(const std::string& name, const std::string& text)
    {
        const std::string path = folder.Path() + "/" + name;
        std::ofstream(path) << text;
        return path;
    }
};

TEST_F(InteractiveEdit, ShiftTracesRoundsLengthensWithinTheRowAndUndoes)
{
    Ramps(2, 20);
    const std::vector<float> original = Row(0, 20);
    ASSERT_EQ(ShiftTraces(*ws, 2.5f, 1), 1);  // 2.5 samples: 3 earlier
    EXPECT_EQ(Row(0, 4), (std::vector<float>{4, 5, 6, 7}));
    EXPECT_EQ(Row(0, 20)[17], 0.0f);
    ASSERT_TRUE(ws->store.RestoreUndo());
    EXPECT_EQ(Row(0, 20), original);
    ShiftTraces(*ws, -2.5f, 0);  // 3 later, zeros in front
    EXPECT_EQ(Row(0, 5), (std::vector<float>{0, 0, 0, 1, 2}));

    // Changing the data length: 10 samples earlier leaves 1014 of 1024; later stays within
    // MAX_SAMPLE (the commands refuse longer shifts first).
    Build(4, 1020);
    ASSERT_EQ(ws->store.RowLength(), 1024);
    Ramps(1, 1024);
    ws->settings.changeDataLength = 1;
    ShiftTraces(*ws, 10.0f, 1);
    EXPECT_EQ(Header(0).samples, 1014);
    EXPECT_EQ(ShiftedTraceLength(*ws, -20.0f), 1034);
    ShiftTraces(*ws, -20.0f, 1);
    EXPECT_EQ(Header(0).samples, 1020);
    EXPECT_EQ(Row(0, 30)[20], 11.0f);  // the first sample after the first shift, 20 later
    ShiftTraces(*ws, 5000.0f, 0);
    EXPECT_EQ(Header(0).samples, 0);
}

TEST_F(InteractiveEdit, ShiftsReadTheRecordNotTheUndoLevelAndCircularWraps)
{
    Ramps(1, 8);
    ws->store.PushUndo();  // level 1 holds the ramp
    auto row = ws->store.current.rows.Row(0);
    std::fill(row.begin(), row.begin() + 8, 7.0f);  // the record differs from level 1
    ShiftTraces(*ws, 1.0f, 0);
    EXPECT_EQ(Row(0, 8), (std::vector<float>{7, 7, 7, 7, 7, 7, 7, 0}));

    Ramps(1, 8);
    ASSERT_EQ(ShiftTracesCircular(*ws, -1.0f, 0), 1);
    EXPECT_EQ(Row(0, 8), (std::vector<float>{8, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(InteractiveEdit, ShiftAllTracesCommandKeepsTheCheckAndRefusesABadInterval)
{
    Ramps(2, 10);
    ui.AnswerDialogWith("CShiftAllTracesDlg", [](DialogRequest& r) {
        return r.SetFromText("Time shift", "2").empty() && r.SetFromText("Change data length", "1").empty();
    });
    ASSERT_EQ(OnSetTimeShiftAllTraces(*ws, ui), 1);
    EXPECT_EQ(ws->settings.changeDataLength, 1);
    EXPECT_EQ(Header(1).samples, 8);
    EXPECT_EQ(Row(1, 1)[0], 1003.0f);
    EXPECT_EQ(ws->display.modified, 1);

    Header(0).intervalUs = 0.0f;
    const auto before = Snapshot();
    ui.AnswerDialog("CShiftAllTracesDlg", {{"Time shift", "2"}});
    ui.ExpectAnyMessage();
    EXPECT_EQ(OnSetTimeShiftAllTraces(*ws, ui), 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(InteractiveEdit, TimeShiftFileShiftsReceiversWithinATenthOfAMetre)
{
    Ramps(3, 10);  // receivers 1, 2, 3 m
    const std::string path = WriteText("shift.txt", "1.05 2.0\n2.1 3.0\n2.9 1.0 oops 4.0 5.0\n");
    ui.ExpectMessage(kOpenTimeShiftFileText);
    ui.AnswerFileOpen(path);
    ASSERT_EQ(OnReadTimeShiftFile(*ws, ui), 1);
    EXPECT_EQ(ws->interactiveEdit.shiftTable.count, 3);  // the read stops at "oops"
    EXPECT_EQ(Row(0, 2), (std::vector<float>{3, 4}));       // 0.05 m away: shifted 2 samples
    EXPECT_EQ(Row(1, 2), (std::vector<float>{1001, 1002}));  // 0.1 m away: not shifted
    EXPECT_EQ(Row(2, 2), (std::vector<float>{2001, 2002}));  // 2.9 m for 3 m: not shifted
    EXPECT_EQ(ws->store.undoDepth, 1);

    // Cancel ends silently; a file that cannot be opened says so.
    const auto before = Snapshot();
    ui.ExpectMessage(kOpenTimeShiftFileText);
    ui.CancelFileOpen();
    EXPECT_EQ(OnReadTimeShiftFile(*ws, ui), 0);
    ui.ExpectMessage(kOpenTimeShiftFileText);
    ui.AnswerFileOpen(folder.Path() + "/missing.txt");
    ui.ExpectMessage("error in opening file");
    EXPECT_EQ(OnReadTimeShiftFile(*ws, ui), 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(InteractiveEdit, SubtractFirstArrivalTimeShiftsEachTraceByItsPick)
{
    Ramps(2, 10);
    ws->store.Params().pickTimes[0] = 3.0f;
    ws->store.Params().pickTimes[1] = 1.0f;
    CommandTable table = BuildCommandTable();
    RecentFileList recent;
    EXPECT_TRUE(table.IsEnabled(cmd::kSubtractFirstArrival, *ws, recent));
    ASSERT_EQ(OnSubtractFirstArrivalTime(*ws, ui), 1);
    EXPECT_EQ(Row(0, 1)[0], 4.0f);
    EXPECT_EQ(Row(1, 1)[0], 1002.0f);
}

TEST_F(InteractiveEdit, DisplayFactorsSaveOpenAndDefault)
{
    Ramps(3, 10);
    ws->store.displayFactor[0] = 2.0f;
    ws->store.displayFactor[1] = 0.5f;
    const std::string path = folder.Path() + "/factors.txt";
    ui.AnswerFileSave(path);
    EXPECT_EQ(OnSaveCorrectionFile(*ws, ui), 0);
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    EXPECT_EQ(text.str().substr(0, 66), " 1 1.000000 10.000000 2.000000 \n 2 2.000000 1010.000000 0.500000 \n");

    EXPECT_EQ(OnDefaultCorrection(*ws), 1);
    EXPECT_EQ(ws->store.displayFactor[0], 1.0f);
    ui.AnswerFileOpen(path);
    EXPECT_EQ(OnOpenCorrectionFile(*ws, ui), 1);
    EXPECT_EQ(ws->store.displayFactor[0], 2.0f);
    EXPECT_EQ(ws->store.displayFactor[1], 0.5f);
    EXPECT_EQ(ws->store.displayFactor[2], 1.0f);

    // A line that does not parse ends the read; the traces after it keep their factors.
    std::vector<float> factors(3, 9.0f);
    EXPECT_EQ(ReadDisplayFactors(" 1 0 1 3.5 \n 2 x 1 4 \n 3 0 1 5\n", factors), 1);
    EXPECT_EQ(factors, (std::vector<float>{3.5f, 9.0f, 9.0f}));
    ui.CancelFileOpen();
    EXPECT_EQ(OnOpenCorrectionFile(*ws, ui), 0);
}

using DisplayFactorDrawing = drawtest::DrawTest;

TEST_F(DisplayFactorDrawing, AFactorOfTwoDoublesTheDrawnDeflection)
{
    Fill(2, 200, [](int, int j) { return j == 50 ? 1.0f : 0.0f; });
    auto deflection = [&] {
        Paint();
        const auto traces = Polylines(200);
        int largest = 0;
        for (const LPoint& p : traces.at(0)->points) largest = std::max(largest, std::abs(p.y - traces.at(0)->points[0].y));
        return largest;
    };
    const int plain = deflection();
    ASSERT_GT(plain, 0);
    ws->store.displayFactor[0] = 2.0f;
    EXPECT_EQ(deflection(), 2 * plain);
    OnDefaultCorrection(*ws);
    EXPECT_EQ(deflection(), plain);
}

TEST_F(InteractiveEdit, MuteAtThePicksStartsEachWindowAtThePickOrTheTraceBefore)
{
    LoadLcg(77, 3, 100, 1000.0f);
    auto& picks = ws->store.Params().pickTimes;
    picks[0] = -1.0f;     // no pick: from 0
    picks[1] = 20.0f;
    picks[2] = -0.001f;   // no pick: where trace 2 started
    std::vector<std::vector<float>> expected;
    const float starts[] = {0.0f, 20.0f, 20.0f};
    for (int i = 0; i < 3; ++i) {
        expected.push_back(Row(i, 100));
        TaperWindow(expected.back(), 1.0f, 100, starts[i], 10.0f, 0.0f, 5.0f);
    }
    ui.AnswerDialog("CMuteWaveformDlg", {{"Taper(before)", "0"}, {"Window", "10"}, {"Taper(after)", "5"}});
    ASSERT_EQ(OnMuteAtPicks(*ws, ui), 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Row(i, 100), expected[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(Row(1, 100)[19], 0.0f);
    EXPECT_EQ(ws->store.undoDepth, 1);
    ui.AnswerDialogWith("CMuteWaveformDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Window")->Text(), "10");  // remembered
        return false;
    });
    EXPECT_EQ(OnMuteAtPicks(*ws, ui), 0);
}

TEST_F(InteractiveEdit, SourceEditorWritesHundredthsAndTheComponentButton)
{
    Ramps(2, 4);
    Header(0).component = 3;
    ui.AnswerDialogWith("CSourceLocationDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Component")->IntValue(), 2);
        EXPECT_EQ(r.Find("Change source location")->Text(), "1");
        return r.SetFromText("Source location", "0.29").empty() && r.SetFromText("Change component", "1").empty() &&
               r.Find("Component")->SetInt(4).empty();
    });
    ASSERT_EQ(OnInputSourceLocation(*ws, ui), 1);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Header(i).sourceHundredths, 29);  // not 28
        EXPECT_EQ(Header(i).component, 5);
    }
}

TEST_F(InteractiveEdit, HeaderEditorPagesEditsAndSorts)
{
    Ramps(10, 4);
    Header(2).delayUs = -2000.0f;
    ui.AnswerDialogWith("CHeaderInfoDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("No. 1")->Text(), "1");
        EXPECT_TRUE(r.Press("Next"));
        EXPECT_EQ(r.Find("No. 1")->Text(), "3");  // the last full page: traces 3 .. 10
        EXPECT_EQ(r.Find("Delay (msec) 1")->Text(), "-2");
        EXPECT_TRUE(r.SetFromText("Rec. dist.(cm) 1", "50").empty());
        EXPECT_TRUE(r.SetFromText("Time shift (msec) 2", "1.5").empty());
        r.Press("Back");
        EXPECT_EQ(r.Find("Rec. dist.(cm) 3")->Text(), "50");  // taken back before paging
        r.Press("Initialize amplitude");
        return true;
    });
    ASSERT_EQ(OnShowEditHeaders(*ws, ui), 1);
    EXPECT_EQ(Header(0).receiverHundredths, 50);  // sorted to the front
    EXPECT_EQ(Header(0).delayUs, -2000.0f);
    EXPECT_FLOAT_EQ(ws->interactiveEdit.shiftTable.shifts[3], 1.5f);
    EXPECT_FLOAT_EQ(ws->interactiveEdit.shiftTable.positions[3], 4.0f);
    EXPECT_EQ(ws->store.undoDepth, 0);

    // In time-shift mode the table shift runs instead (trace at 4 m: 1.5 ms = 1 sample).
    ui.AnswerDialog("CHeaderInfoDlg");
    ASSERT_EQ(OnSetTimeShiftEachTrace(*ws, ui), 1);
    EXPECT_EQ(ws->survey.applyShift, 0);
    EXPECT_EQ(ws->store.undoDepth, 1);
    EXPECT_EQ(Row(3, 1)[0], 3002.0f);
    ui.CancelDialog("CHeaderInfoDlg");
    EXPECT_EQ(OnShowEditHeaders(*ws, ui), 0);
}

TEST_F(InteractiveEdit, GeometryEditorSetsKeepsChannelsSortsAndUndoes)
{
    Ramps(4, 4);
    ui.AnswerDialogWith("CGeometryDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Channel 4")->Text(), "4");
        EXPECT_EQ(r.Find("Channel 5")->Text(), "");  // four traces: two empty rows
        EXPECT_EQ(r.Find("Interval 4")->Text(), "");
        r.Press("Next");
        EXPECT_EQ(r.Find("Channel 1")->Text(), "1");  // one page only
        EXPECT_TRUE(r.SetFromText("First geophone coordinate", "10").empty());
        EXPECT_TRUE(r.SetFromText("Group interval", "2.5").empty());
        r.Press("Set");
        EXPECT_EQ(r.Find("Geophone coordinate 2")->Text(), "12.5");
        return r.SetFromText("Geophone coordinate 1", "20.29").empty() && r.SetFromText("Shot coordinate", "-1.5").empty() &&
               r.SetFromText("Number of channels", "3").empty();
    });
    ASSERT_EQ(OnEditGeometry(*ws, ui), 1);
    EXPECT_EQ(ws->store.TraceCount(), 3);
    EXPECT_EQ(Header(0).receiverHundredths, 1250);
    EXPECT_EQ(Header(1).receiverHundredths, 1500);
    EXPECT_EQ(Header(2).receiverHundredths, 2029);
    EXPECT_EQ(Header(2).sourceHundredths, -150);
    EXPECT_EQ(Row(2, 1)[0], 1.0f);  // the samples went with their receiver
    EXPECT_EQ(ws->display.modified, 1);
    ASSERT_TRUE(ws->store.RestoreUndo());
    EXPECT_EQ(ws->store.TraceCount(), 4);
    EXPECT_EQ(Header(0).receiverHundredths, 100);
}

TEST_F(InteractiveEdit, ReceiverIntervalPresetsAndTheFreeValue)
{
    Ramps(3, 4);
    ws->geometry.receiverInterval = 1.0005f;  // 100.05 cm: the 1 m preset
    ui.AnswerDialogWith("CReceiverIntervalDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Interval")->IntValue(), 4);
        return r.Find("Interval")->SetInt(7).empty();  // 2.5m
    });
    ASSERT_EQ(EditReceiverInterval(*ws, ui), 1);
    EXPECT_EQ(Header(2).receiverHundredths, 500);
    EXPECT_FLOAT_EQ(ws->geometry.receiverInterval, 2.5f);
    EXPECT_EQ(ws->store.undoDepth, 1);

    ws->geometry.receiverInterval = 1.002f;  // no preset: the free value from traces 1 and 2
    ui.AnswerDialogWith("CReceiverIntervalDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Interval")->IntValue(), 11);
        EXPECT_EQ(r.Find("Free value")->Text(), "2.5");
        return r.SetFromText("Free value", "0.29").empty();
    });
    ASSERT_EQ(EditReceiverInterval(*ws, ui), 1);
    EXPECT_EQ(Header(1).receiverHundredths, 29);  // not 28
    EXPECT_EQ(Header(2).receiverHundredths, 58);
    ui.CancelDialog("CReceiverIntervalDlg");
    EXPECT_EQ(EditReceiverInterval(*ws, ui), 0);
    EXPECT_EQ(ws->store.undoDepth, 2);
}

TEST_F(InteractiveEdit, ToggleCommandsAndTheirChecks)
{
    Ramps(2, 4);
    CommandTable table = BuildCommandTable();
    RecentFileList recent;
    ws->store.Params().selectionFlags[1] = 1;
    EXPECT_EQ(OnSelectTrace(*ws), 1);
    EXPECT_EQ(ws->store.Params().selectionFlags[1], 0);
    EXPECT_TRUE(table.IsChecked(cmd::kSelectTrace, *ws, recent));
    OnSelectTrace(*ws);
    EXPECT_EQ(ws->display.editMode, 0);

    ws->store.Params().selectionFlags[1] = 1;
    EXPECT_EQ(OnReverseSelected(*ws, ui), 1);
    EXPECT_EQ(Row(1, 2), (std::vector<float>{-1001, -1002}));
    EXPECT_EQ(ws->store.undoDepth, 0);

    ws->settings.triggerPlot = -1;
    Header(0).delayUs = -5000.0f;
    OnPreTriggerShift(*ws);
    EXPECT_FLOAT_EQ(ws->display.displayTimeOffset, -5.0f);
    EXPECT_TRUE(table.IsChecked(cmd::kPreTriggerShift, *ws, recent));

    ws->store.Params().normalisation = 1;
    OnNormalizeTraces(*ws);
    EXPECT_TRUE(table.IsChecked(cmd::kNormalizeTraces, *ws, recent));

    ws->startup.fullMenu = 1;
    ui.ExpectMessage(kRestartText);
    OnMenuTypeSimple(*ws, ui);
    EXPECT_TRUE(table.IsChecked(cmd::kMenuTypeSimple, *ws, recent));

    ui.AnswerDialog("CAmplitudeConstantDlg", {{"Constant", "2.5"}, {"Unit", "mm/s"}});
    EXPECT_EQ(OnSetupAmplitudeConstants(*ws, ui), 1);
    EXPECT_EQ(ws->settings.amplitudeUnit, "mm/s");
}

}  // namespace
}  // namespace velk
