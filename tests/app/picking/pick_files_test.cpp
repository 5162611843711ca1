// Picking: the pick model's copying to and from the traveltime set, the first-arrival file,
// the view's traveltime reader and the save beside it, the amplitude readers and the commands.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include <unistd.h>

#include "app/picking/amplitude_read.h"
#include "app/formats/document.h"
#include "app/picking/pick_commands.h"
#include "app/picking/pick_files.h"
#include "app/picking/pick_matching.h"
#include "app/record_arrival.h"
#include "platform/recent_files.h"
#include "platform/atomic_file.h"
#include "tools/test_support.h"
#include "platform/shared_block.h"
#include "traveltime/publish_traveltime_set.h"
#include "traveltime/traveltime_text.h"
#include "app/view/view_fixture.h"

namespace velk {
namespace {

using testing::ReadFileText;
using testing::TempFolder;
using testing::WriteFileText;

class PickTest : public viewtest::ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        Load(4, 20);  // receivers 0, 1, 2, 3 m; source -1 m; 1 ms; trace i sample j = 1 + 10000 i + j
        P().samplesPerTrace = 20;
        P().sampleInterval = 1.0f;
        ws->display.sourcePosition = -1.0f;
    }
    CParameterSet& P() { return ws->store.Params(); }
    CTraveltimeSet& Set() { return ws->traveltimeSet; }
    int Run(int id)
    {
        CommandTable table = BuildCommandTable();
        CVelkarineDoc doc(*ws);
        RecentFileList recent;
        CommandContext ctx{*ws, ui, doc, recent};
        return RunCommand(table, id, ctx);
    }
    // One shot of the set at `position` with picks at the given receivers.
    void AddShot(float position, std::initializer_list<std::pair<float, float>> picks)
    {
        AddShot(position, picks, Set());
    }
    void AddShot(float position, std::initializer_list<std::pair<float, float>> picks, CTraveltimeSet& s)
    {
        const int n = s.shotCount++;
        s.sourcePosition[n] = position;
        s.pickCount[n] = 0;
        for (auto [x, t] : picks) {
            const int k = s.pickCount[n]++;
            s.X(n, k) = x;
            s.T(n, k) = t;
            s.K(n, k) = 2;
        }
        s.hasData = 1;
    }
    TempFolder dir;
};

TEST_F(PickTest, MatchingCopiesTheShotOfTheRecordAndClearsOtherwise)
{
    AddShot(5.0f, {{1.0f, 9.0f}});
    AddShot(-1.005f, {{1.00005f, 4.0f}, {2.0f, 6.0f}, {7.0f, 8.0f}});
    P().pickTimes[0] = 3.0f;
    EXPECT_EQ(MatchPicksToTraces(*ws), 1);
    EXPECT_EQ(P().pickTimes[0], 0.0f);
    EXPECT_EQ(P().layerCodes[0], 3);
    EXPECT_EQ(P().pickTimes[1], 4.0f);
    EXPECT_EQ(P().layerCodes[1], 2);
    EXPECT_EQ(P().pickTimes[2], 6.0f);

    ws->display.sourcePosition = -1.02f;  // 0.015 m from the shot
    EXPECT_EQ(MatchPicksToTraces(*ws), 0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(P().pickTimes[static_cast<size_t>(i)], 0.0f);

    // After a shot arrived, trace 1's source position decides.
    AfterRecordReplaced(*ws, nullptr, nullptr, ShotArrival());
    EXPECT_EQ(ws->display.sourcePosition, -1.0f);
    EXPECT_EQ(P().pickTimes[2], 6.0f);

    // A dispersion image finds its curve among the curves only.
    P().recordKind = 1;
    EXPECT_EQ(MatchPicksToTraces(*ws), 0);
    AddShot(-1.0f, {{1.0f, 4.0f}}, ws->curveSet);
    EXPECT_EQ(MatchPicksToTraces(*ws), 1);
    EXPECT_EQ(ws->display.pendingCurve, 1);
    EXPECT_EQ(ws->display.pendingCurveIndex, 0);
    EXPECT_EQ(P().pickTimes[1], 0.0f);
    CopyShotPicksToTraces(*ws);
    EXPECT_EQ(ws->display.pendingCurve, 0);
    EXPECT_EQ(P().pickTimes[1], 4.0f);
}

TEST_F(PickTest, FirstArrivalFileRoundTripAndRules)
{
    P().pickTimes = {12.5f, 0.5f, -0.002f, 0.0f};
    P().layerCodes = {1, 2, 3, 3};
    EnsurePickVectors(*ws);
    ws->display.thirdValues[0] = 7.0f;
    const std::string text = WriteFirstArrivalText(*ws);
    EXPECT_EQ(text, " 0.000000 12.500000 7.000000 \n 1.000000 5.000000e-01 0.000000 \n"
                    " 3.000000 0.000000e+00 0.000000 \n");

    const std::string path = dir.File("picks.txt");
    ui.AnswerFileSave(path);
    ui.ExpectMessage("First arrival file has been saved");
    Run(cmd::kSaveFirstArrivalFile);
    EXPECT_EQ(ReadFileText(path), text);

    P().pickTimes = {0, 0, 0, 0};
    ws->display.currentLayerCode = 2;
    ui.AnswerFileOpen(path);
    ui.ExpectMessage("First arrival file has beem read !");
    EXPECT_EQ(Run(cmd::kOpenFirstArrivalFile), 1);
    EXPECT_EQ(ws->display.editMode, 1);
    EXPECT_EQ(P().pickTimes[0], 12.5f);
    EXPECT_EQ(P().pickTimes[1], 0.5f);
    EXPECT_EQ(P().layerCodes[0], 2);
    EXPECT_EQ(ws->display.thirdValues[0], 7.0f);

    // Two traces at one receiver both take the line; a word ends the reading with a message.
    ws->store.current.headers[3].receiverHundredths = 100;
    ReadFirstArrivalText(*ws, " 1.005 33 0\n");
    EXPECT_EQ(P().pickTimes[1], 33.0f);
    EXPECT_EQ(P().pickTimes[3], 33.0f);
    WriteFileText(path, "0 44 0\nabc 55 0\n2 66 0\n");
    ui.AnswerFileOpen(path);
    ui.ExpectMessage(path + "\n" + BadValueMessage(-1));
    ui.ExpectMessage("First arrival file has beem read !");
    Run(cmd::kOpenFirstArrivalFile);
    EXPECT_EQ(P().pickTimes[0], 44.0f);
    EXPECT_EQ(P().pickTimes[2], 0.0f);

    // Amplitude mode: line n to trace n, with the time of the sample of that magnitude.
    ws->display.amplitudeFlag = 1;
    const FirstArrivalRead read = ReadFirstArrivalText(*ws, "9 10005 0\n9 10020 0\n9 1 0\n9 1 0\n9 1 0\n");
    EXPECT_EQ(read.lines, 5);
    EXPECT_EQ(P().pickTimes[0], 10005.0f);
    EXPECT_EQ(ws->display.amplitudePickTimes[0], 0.0f);   // no sample of that size
    EXPECT_EQ(ws->display.amplitudePickTimes[1], 19.0f);  // sample 19 of trace 1 is 10020
}

// A set with two shots (one at the record's source), sections A, B and C filled.
void FillSet(CTraveltimeSet& s, int kind, int level)
{
    s.Reset();
    s.hasData = 1;
    s.kindWritten = kind;
    s.formatLevel = level;
    s.spacingWritten = 1.0f;
    s.shotCount = 2;
    const float positions[] = {-1.0f, 10.25f};
    for (int n = 0; n < 2; ++n) {
        s.sourcePosition[n] = positions[n];
        s.thirdValue[n] = 0.5f * static_cast<float>(n);
        s.pickCount[n] = n == 0 ? 3 : 0;
    }
    for (int k = 0; k < 3; ++k) {
        s.X(0, k) = static_cast<float>(k);
        s.T(0, k) = 2.125f + static_cast<float>(k);
        s.K(0, k) = k + 1;
        s.F(0, k) = 0.25f * static_cast<float>(k);
    }
    CTraveltimeSet::Sections& sec = s.sections();
    s.rowsA = 2;
    s.colsA = 3;
    s.entriesB = 2;
    s.rowsC = 2;
    s.colsC = 3;
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 3; ++c) {
            sec.aLine1[r][c] = static_cast<float>(r * 10 + c) + 0.5f;
            sec.aLine2[r][c] = static_cast<float>(r * 10 + c) + 0.75f;
            sec.cLine1[r][c] = -static_cast<float>(r + c);
            sec.cLine2[r][c] = static_cast<float>(r * c) + 0.125f;
        }
        sec.cHeader1[r] = 100.0f + static_cast<float>(r);
        sec.cHeader2[r] = 200.0f + static_cast<float>(r);
        sec.bCount[r] = r + 1;
        sec.bValue1[r] = 1.5f;
        sec.bValue2[r] = 2.5f;
        sec.bValue3[r] = 3.5f;
        for (int q = 0; q <= r; ++q) {
            sec.bFirst[r][q] = static_cast<float>(q);
            sec.bSecond[r][q] = static_cast<float>(q) * 2.0f;
        }
    }
}

TEST_F(PickTest, TraveltimeFileWrittenReadAndWrittenAgainIsTheSame)
{
    for (const auto& [kind, pv] : {std::pair{0, 0}, {10, 0}, {20, 1}}) {
        for (const int level : {7, 9}) {
            SCOPED_TRACE(::testing::Message() << "kind " << kind << " level " << level);
            // Phase-velocity curves are read among the curves and stay off a waveform record.
            CTraveltimeSet& set = pv ? ws->curveSet : Set();
            FillSet(set, kind, level);
            std::string first;
            WriteTraveltimeText(set, first, 0, pv);
            EXPECT_EQ(first.substr(0, 5), pv ? "2000 " : "1996 ");
            set.Reset();
            ws->display.phaseVelocityFileMode = 0;
            ws->display.amplitudeFlag = 0;
            P().pickTimes = {0, 0, 0, 0};
            const RostrelRead read = ReadRostrelText(*ws, first);
            EXPECT_EQ(read.end, TextReadEnd::Complete);
            EXPECT_EQ(ws->display.phaseVelocityFileMode, pv);
            EXPECT_EQ(ws->display.amplitudeFlag, kind == 10 ? 1 : 0);
            EXPECT_EQ(P().pickTimes[1], pv ? 0.0f : 3.125f);  // the record's shot onto its traces
            std::string second;
            WriteTraveltimeText(set, second, 0, ws->display.phaseVelocityFileMode);
            EXPECT_EQ(second, first);
        }
    }
}

TEST_F(PickTest, TraveltimeFileForms)
{
    // Old headerless form: kind, N, spacing; one value per section A row.
    RostrelRead read = ReadRostrelText(*ws, "0 1 5.0\n-1 2 0\n0 10 1\n1 11 2\n1 2\n7 8 9\n0\n0 0\n");
    EXPECT_EQ(read.end, TextReadEnd::Complete);
    EXPECT_EQ(Set().formatLevel, 7);
    EXPECT_EQ(Set().spacingWritten, 5.0f);
    EXPECT_EQ(Set().sections().aLine1[0][1], 7.0f);
    EXPECT_EQ(Set().sections().aLine2[0][1], 9.0f);
    EXPECT_EQ(Set().F(0, 1), 1.0f);
    EXPECT_EQ(P().pickTimes[1], 11.0f);

    // 2000 with kind 3: X T K W F. Seconds mode multiplies by 1000 and writes back x 0.001.
    ws->display.secondsFlag = 1;
    read = ReadRostrelText(*ws, "2000 7 3.0\n3 1 1.0\n-1 1 0\n2 0.0125 1 4.5 6.5\n");
    EXPECT_EQ(read.end, TextReadEnd::Complete);
    EXPECT_EQ(Set().W(0, 0), 4.5f);
    EXPECT_EQ(Set().F(0, 0), 6.5f);
    EXPECT_FLOAT_EQ(P().pickTimes[2], 12.5f);
    std::string text;
    Set().kindWritten = 0;
    WriteTraveltimeText(Set(), text, 1, 0);
    EXPECT_NE(text.find("2.000000 0.012500 1 \n"), std::string::npos) << text;
}

TEST_F(PickTest, HostileTraveltimeFilesStopWithAMessageWithinCapacity)
{
    struct Case {
        const char* text;
        TextReadEnd end;
        int shots;
        const char* message;
    };
    const Case cases[] = {
        {"1996 7 3\n0 1000000 1\n", TextReadEnd::EndOfFile, 0, "read 0 of 1000000 shots"},
        {"1996 7 3\n0 2 1\n-1 1000000 0\n", TextReadEnd::TooLarge, 0, "1001 picks per shot"},
        {"1996 7 3\n0 2 1\n-1 -7 0\n", TextReadEnd::TooLarge, 0, "count -7 in the shots is not a valid count"},
        {"1996 7 3\n0 2 1\n-1 1 0\n0 abc 1\n", TextReadEnd::BadValue, 0, "not a number"},
        {"1996 7 3\n0 3 1\n-1 1 0\n0 5 1\n2 0 0\n", TextReadEnd::EndOfFile, 2, "read 2 of 3 shots"},
        {"1996 7 3\n0 1 1\n-1 0 0\n2 2\n1 2\n", TextReadEnd::EndOfFile, 1, "inside section A"},
        {"1996 7 3\n0 1 1\n-1 0 0\n0 0\n1000000\n", TextReadEnd::TooLarge, 1, "section B"},
        {"1996 7 3\n0 1 1\n-1 0 0\n0 0\n1\n2 0 0 0\n1 1\n", TextReadEnd::EndOfFile, 1, "inside section B"},
        {"1996 7 3\n0 1 1\n-1 0 0\n0 0\n0\n1 300\n", TextReadEnd::TooLarge, 1, "1001 rows of 201 values"},
        {"1996 9 3\n0 1 1\n-1 0 0\n0 0\n0\n1 2\n5\n", TextReadEnd::EndOfFile, 1, "inside section C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const RostrelRead read = ReadRostrelText(*ws, c.text);
        EXPECT_EQ(read.end, c.end);
        EXPECT_EQ(Set().shotCount, c.shots);
        EXPECT_LE(Set().rowsA, CTraveltimeSet::kMaxSectionRows);
        EXPECT_LE(Set().entriesB, CTraveltimeSet::kMaxSectionBEntries);
        EXPECT_EQ(Set().rowsC, 0);
        EXPECT_NE(RostrelReadMessage(read, -1).find(c.message), std::string::npos) << RostrelReadMessage(read, -1);
    }
    const RostrelRead many = ReadRostrelText(*ws, "1996 7 3\n0 600 1\n" + [] {
        std::string shots;
        for (int s = 0; s < 600; ++s) shots += std::to_string(s) + " 0 0\n";
        return shots;
    }());
    EXPECT_EQ(many.end, TextReadEnd::TooLarge);
    EXPECT_EQ(Set().shotCount, CTraveltimeSet::kMaxShots);
    EXPECT_FALSE(ReadRostrelText(*ws, "").headerRead);
}

// A full traveltime data: "Update the traveltime curves" and the save say once what they left
// out, a whole shot or the picks beyond a shot's 1001, in both languages.
TEST_F(PickTest, FullSetSaysWhatWasLeftOutOncePerCommand)
{
    for (int s = 0; s < CTraveltimeSet::kMaxShots; ++s) AddShot(100.0f + static_cast<float>(s), {{0.0f, 1.0f}});
    P().pickTimes = {5.0f, 6.0f, 0.0f, 7.0f};
    ui.ExpectMessage("The traveltime data holds at most 501 shots of 1001 picks: 1 shot (3 picks) was not stored.");
    Run(cmd::kUpdateTraveltimeCurves);
    ws->startup.language = 1;
    ui.AnswerFileSave(dir.File("full.vs"));
    ui.ExpectAnyMessage();  // saved
    ui.ExpectMessage("走時データに格納できるのは最大 501 ショット (各 1001 点) までです: 1 ショット (3 点) を格納できませんでした。");
    Run(cmd::kSaveRostrelFile);
    EXPECT_EQ(Set().shotCount, CTraveltimeSet::kMaxShots);

    // The record's own shot full at 1001 picks: its picks at new receivers are left out.
    ws->startup.language = -1;
    ws->display.sourcePosition = 100.0f;
    CTraveltimeSet& set = Set();
    set.pickCount[0] = CTraveltimeSet::kMaxPicks;
    for (int k = 0; k < CTraveltimeSet::kMaxPicks; ++k) set.X(0, k) = 10.0f + static_cast<float>(k);
    ui.ExpectMessage("The traveltime data holds at most 501 shots of 1001 picks: 3 picks were not stored.");
    Run(cmd::kUpdateTraveltimeCurves);
    EXPECT_EQ(ui.PendingAnswers(), 0u);
}

TEST_F(PickTest, RostrelSaveAndOpenCommands)
{
    const TraveltimeTextSet arrivals = TraveltimeTextSet::FirstArrivals;
    const TraveltimeTextSet curves = TraveltimeTextSet::PhaseVelocityCurves;
    EXPECT_EQ(RostrelSavePath("a", arrivals), "a.vs");
    EXPECT_EQ(RostrelSavePath("a.VS", arrivals), "a.VS");
    EXPECT_EQ(RostrelSavePath("a.PVS", curves), "a.PVS");
    EXPECT_EQ(RostrelSavePath("x.pvs", arrivals), "x.pvs") << "a name with an extension keeps it";
    EXPECT_EQ(RostrelSavePath("dir.d/x", curves), "dir.d/x.pvs");

    P().pickTimes = {5.0f, 6.0f, 0.0f, 0.0f};
    P().layerCodes = {1, 1, 3, 3};
    ws->display.amplitudeFlag = 1;
    ui.AnswerFileSave(dir.File("line"));
    ui.ExpectMessage("Rostrel file has been saved");
    EXPECT_EQ(Run(cmd::kSaveRostrelFile), 1);
    const std::string saved = ReadFileText(dir.File("line.vs"));
    EXPECT_EQ(saved.substr(0, saved.find('\n', saved.find('\n') + 1)), "1996 0 3.000000\n10 1 1.000000");
    EXPECT_EQ(ws->display.showTraveltimeCurves, 1);

    // A failing write leaves the old file.
    AtomicFileWriter::SetFaultInjector([](size_t) { return false; });
    ui.AnswerFileSave(dir.File("line.vs"));
    ui.ExpectAnyMessage();
    Run(cmd::kSaveRostrelFile);
    AtomicFileWriter::SetFaultInjector({});
    EXPECT_EQ(ReadFileText(dir.File("line.vs")), saved);

    // Opening: Cancel is silent; kind 20 switches to phase-velocity-file mode.
    ui.CancelFileOpen();
    EXPECT_EQ(Run(cmd::kOpenRostrelFile), 0);
    WriteFileText(dir.File("pv.pvs"), "2000 7 3\n20 1 1\n-1 1 0\n1 7 2 0.5\n");
    ui.AnswerFileOpen(dir.File("pv.pvs"));
    ui.ExpectMessage("Rostrel file has been read !");
    Run(cmd::kOpenRostrelFile);
    EXPECT_EQ(ws->display.phaseVelocityFileMode, 1);
    EXPECT_EQ(ws->display.editMode, 1);
    // The shot on show is what is saved, not the kind of the last file read.
    ui.AnswerFileSave(dir.File("next"));
    ui.ExpectMessage("Rostrel file has been saved");
    Run(cmd::kSaveRostrelFile);
    EXPECT_EQ(ReadFileText(dir.File("next.vs")).substr(0, 5), "1996 ");
    for (const UiCall& call : ui.Calls()) {
        if (call.kind == UiCallKind::SaveFile) {
            EXPECT_EQ(call.file.initialName, "*.vs");
        }
    }
    ui.AnswerFileOpen(dir.File("missing.vs"));
    ui.ExpectMessage("error in opening file");
    Run(cmd::kOpenRostrelFile);

    // A file cut inside its second shot leaves the set, the mode and the picks as they were.
    WriteFileText(dir.File("cut.vs"), "1996 7 3\n0 2 1\n-1 1 0\n0 5 1\n4 3 0\n1 2 1\n");
    const int shots = Set().shotCount;
    const float kept = Set().T(0, 0);
    ui.AnswerFileOpen(dir.File("cut.vs"));
    ui.ExpectMessage(dir.File("cut.vs") + "\nThe file ended inside the shots.\nThe traveltime data was not changed.");
    Run(cmd::kOpenRostrelFile);
    EXPECT_EQ(Set().shotCount, shots);
    EXPECT_EQ(Set().T(0, 0), kept);
    EXPECT_EQ(ws->display.phaseVelocityFileMode, 1);

    P().traceCount = 0;
    CommandTable table = BuildCommandTable();
    RecentFileList recent;
    EXPECT_FALSE(table.IsEnabled(cmd::kOpenRostrelFile, *ws, recent));
    ui.ExpectMessage("Open a waveform data file before the Rostrel file !");
    CVelkarineDoc doc(*ws);
    CommandContext ctx{*ws, ui, doc, recent};
    OnOpenRostrelFile(ctx);
}

TEST_F(PickTest, UpdatingTheCurvesPublishesTheSetToAnOpenBlock)
{
    SetSharedBlockPrefix("velk-test-" + std::to_string(::getpid()) + "-pick-");
    P().pickTimes = {5.0f, 6.0f, 0.0f, 0.0f};
    EXPECT_EQ(Run(cmd::kUpdateTraveltimeCurves), 1);  // no block: nothing to publish into
    ASSERT_EQ(OpenRostrelData(Set()), 1);
    AddShot(7.0f, {{1.0f, 3.0f}});
    Run(cmd::kUpdateTraveltimeCurves);
    const uint8_t* block = Set().BlockView();
    EXPECT_EQ(block[rostrel_block::kRequest], 0xff);
    EXPECT_EQ(block[rostrel_block::kShotCount], 2);
    EXPECT_EQ(block[rostrel_block::kPickCounts], 2);  // the record's shot at -1 m
    EXPECT_EQ(ws->ReleaseSharedBlocks(), "");
    SetSharedBlockPrefix("");
}

TEST_F(PickTest, AmplitudeReaders)
{
    const float v[] = {1.0f, -3.0f, 3.0f, 2.0f, 0.0f, -1.0f, -2.0f, -1.0f, 0.0f, 1.0f};
    AmplitudeRead r = CAmplitudeReadDlg::FindPeakAmplitude(v, 0.5f);
    EXPECT_EQ(r.amplitude, 3.0f);
    EXPECT_EQ(r.time, 0.5f);
    // Mode 0: the first sign change of the smoothed slope after T + 0.05.
    r = CAmplitudeReadDlg::FindAmplitudeNearPick(v, 1.0f, 10, 1.0f, 0);
    EXPECT_EQ(r.time, 3.0f);
    EXPECT_EQ(r.amplitude, 2.0f);
    r = CAmplitudeReadDlg::FindAmplitudeNearPick(v, 1.0f, 10, 3.5f, 0);
    EXPECT_EQ(r.time, 6.0f);
    EXPECT_EQ(r.amplitude, 2.0f);
    r = CAmplitudeReadDlg::FindAmplitudeNearPick(v, 1.0f, 10, 7.0f, 0);
    EXPECT_EQ(r.amplitude, 1.0f);
    EXPECT_EQ(r.time, 0.0f);
    // Mode 1: the largest within 500 ms, the first of equals.
    r = CAmplitudeReadDlg::FindAmplitudeNearPick(v, 100.0f, 10, 600.0f, 1);
    EXPECT_EQ(r.amplitude, 3.0f);
    EXPECT_EQ(r.time, 200.0f);
    for (int n = 0; n < 4; ++n) {
        r = CAmplitudeReadDlg::FindAmplitudeNearPick(std::span(v, static_cast<size_t>(n)), 1.0f, n, 0.0f, 0);
        EXPECT_EQ(r.amplitude, n == 0 ? 0.0f : 1.0f);
        EXPECT_EQ(r.time, 0.0f);
    }

    // The commands: maximum per trace; Use file reads the reference times once.
    Run(cmd::kReadMaximumAmplitude);
    EXPECT_EQ(P().pickTimes[1], 10020.0f);
    EXPECT_EQ(ws->display.amplitudePickTimes[1], 19.0f);
    EXPECT_EQ(ws->display.editMode, 3);
    WriteFileText(dir.File("ref.vs"), "1996 7 3\n0 1 1\n-1 1 0\n2 4 1\n");
    ui.AnswerFileOpen(dir.File("ref.vs"));
    Run(cmd::kAmplitudeUseFile);
    EXPECT_EQ(ws->display.referenceTimes[2], 4.0f);
    EXPECT_EQ(ws->display.referenceTimesFlag, 1);
    Run(cmd::kAmplitudeUseFile);  // no dialog the second time
}

TEST_F(PickTest, PickingCommandsAndTheirMarks)
{
    CommandTable table = BuildCommandTable();
    RecentFileList recent;
    Run(cmd::kTraveltimeQualityFirst + 1);
    EXPECT_TRUE(table.IsChecked(cmd::kTraveltimeQualityFirst + 1, *ws, recent));
    EXPECT_FALSE(table.IsChecked(cmd::kTraveltimeQualityFirst, *ws, recent));
    EXPECT_FALSE(table.IsChecked(cmd::kShowTraveltimeCurves, *ws, recent));
    Run(cmd::kShowTraveltimeCurves);
    EXPECT_TRUE(table.IsChecked(cmd::kShowTraveltimeCurves, *ws, recent));
    Run(cmd::kChangeTraveltimeSymbol);
    EXPECT_EQ(ws->display.pickMarkStyle, -1);
    EXPECT_EQ(ws->display.pickMarkStyleSet, 1);
    ws->display.amplitudeFlag = 1;
    P().recordKind = 1;
    Run(cmd::kPickFirstArrivalManually);
    EXPECT_EQ(ws->display.editMode, 1);
    EXPECT_EQ(ws->display.amplitudeFlag, 0);
    EXPECT_EQ(ws->display.phaseVelocityFileMode, 1);
}

TEST_F(PickTest, SampleLineFileRoundTrips)
{
    const std::string text = ReadFileText(std::string(VELK_TEST_DATA) + "/picks/sample-line.vs");
    ws->display.sourcePosition = 57.5f;
    ASSERT_EQ(ReadRostrelText(*ws, text).end, TextReadEnd::Complete);
    EXPECT_EQ(Set().shotCount, 3);
    std::string again;
    WriteTraveltimeText(Set(), again, 0, 0);
    EXPECT_EQ(again, text);
}

TEST_F(PickTest, GoldenFilesRoundTripThroughTheViewReader)
{
    struct Case {
        const char* name;
        int phaseVelocity;
    };
    for (const Case c : {Case{"v1996-kind0.vs", 0}, Case{"v1996-kind3.vs", 0}, Case{"v1996-kind10.vs", 0},
                         Case{"v2000-kind20.pvs", 1}, Case{"v1996-level9.vs", 0}}) {
        SCOPED_TRACE(c.name);
        CTraveltimeSet& set = c.phaseVelocity ? ws->curveSet : Set();
        set.Reset();
        const std::string text = ReadFileText(std::string(VELK_TEST_DATA) + "/picks/" + c.name);
        ASSERT_EQ(ReadRostrelText(*ws, text).end, TextReadEnd::Complete);
        std::string again;
        WriteTraveltimeText(set, again, 0, c.phaseVelocity);
        EXPECT_EQ(again, text);
    }
}

TEST_F(PickTest, OldHeaderlessFileReadsAndIsWrittenVersioned)
{
    const std::string text = ReadFileText(std::string(VELK_TEST_DATA) + "/picks/old-headerless.vs");
    const RostrelRead read = ReadRostrelText(*ws, text);
    ASSERT_EQ(read.end, TextReadEnd::Complete);
    EXPECT_EQ(Set().kindWritten, 0);
    EXPECT_EQ(Set().shotCount, 2);
    EXPECT_EQ(Set().spacingWritten, 5.0f);
    EXPECT_EQ(Set().formatLevel, 7);
    EXPECT_EQ(Set().T(1, 0), 20.0f);
    EXPECT_EQ(Set().rowsA, 2);
    EXPECT_EQ(Set().sections().aLine1[1][1], 4.0f);  // the row's one value, repeated
    EXPECT_EQ(Set().sections().aLine2[1][1], 0.4f);
    EXPECT_EQ(Set().rowsC, 1);
    std::string again;
    WriteTraveltimeText(Set(), again, 0, 0);
    EXPECT_EQ(again.substr(0, 29), "1996 7 3.000000\n0 2 5.000000\n");
    EXPECT_NE(again.find("2 2 \n 3.000000  3.000000  \n 0.100000  0.200000  \n"), std::string::npos);
}

}  // namespace
}  // namespace velk
