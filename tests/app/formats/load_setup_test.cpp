// The set-up steps that make freshly read traces the current record: replace and append, the
// repeated-configuration question, the scale rules, the generic set-up of header-less readers,
// and the pick matching the loads rely on.

#include <gtest/gtest.h>

#include <vector>

#include "app/formats/load_setup.h"
#include "app/picking/pick_matching.h"
#include "app/record_arrival.h"
#include "app/workspace.h"
#include "formats/file_roads.h"
#include "formats/load_target.h"
#include "platform/profile.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using velk::testing::TempFolder;

struct SetUpFixture {
    SetUpFixture() : profile(Profile::FromText("")), ws(profile, ui)
    {
        ws.startup.language = -1;
        ws.InitForView(folder.Path());
        records.resize(static_cast<size_t>(ws.store.MaxTraces()));
    }

    // Trace i of the read: receiver receivers[i] (hundredths), source `source`, interval
    // `intervalUs`, `samples` samples of value (i + 1) x sign at sample 1 (the rest 0), written
    // at store index start + i as a reader and the document's commit would.
    void Read(int start, std::vector<int32_t> receivers, int32_t source = 0, float intervalUs = 500.0f,
              int samples = 10, int component = 1, float sign = 1.0f)
    {
        for (size_t i = 0; i < receivers.size(); ++i) {
            const int at = start + static_cast<int>(i);
            records[static_cast<size_t>(at)].Set(static_cast<int>(i) + 1, receivers[i], source, 0, component,
                                                 static_cast<float>(i), intervalUs, samples);
            std::span<float> row = ws.store.current.rows.Row(at);
            std::fill(row.begin(), row.end(), 0.0f);
            row[1] = (static_cast<float>(i) + 1.0f) * sign;
        }
    }
    std::string Summary(int traces, const char* interval = "0.500000", int samples = 10)
    {
        return " Number of trace = " + std::to_string(traces) + " \n Sampling time = " + interval +
               " \n Number of sample = " + std::to_string(samples) + " ";
    }
    const CTraceHeader& H(int i) const { return ws.store.current.headers[static_cast<size_t>(i)]; }

    TempFolder folder;
    ScriptedUiHost ui;
    Profile profile;
    Workspace ws;
    std::vector<CTraceHeader> records;
};

TEST(ReplaceLoadedTraces, SortsStablyAndSetsTheRecordUp)
{
    SetUpFixture f;
    f.Read(0, {300, 100, 200, 100});
    f.records[3].sourceHundredths = 50;  // the same receiver, another shot: no question
    f.ui.ExpectMessage(f.Summary(4));
    ASSERT_TRUE(ReplaceLoadedTraces(f.ws, f.ui, 4, f.records));
    const WaveformStore& s = f.ws.store;
    EXPECT_EQ(s.TraceCount(), 4);
    const int32_t receivers[] = {100, 100, 200, 300};
    const float values[] = {2.0f, 4.0f, 3.0f, 1.0f};  // the samples moved with their traces
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(f.H(i).receiverHundredths, receivers[i]);
        EXPECT_EQ(f.H(i).traceNumber, i + 1);
        EXPECT_EQ(s.current.rows[i][1], values[i]);
        EXPECT_EQ(s.Params().traceMaxima[static_cast<size_t>(i)], values[i]);
        EXPECT_EQ(s.displayFactor[static_cast<size_t>(i)], 1.0f);
        EXPECT_EQ(s.headersEx[static_cast<size_t>(i)].receiverHundredths, receivers[i]);
    }
    EXPECT_EQ(s.Params().recordMaximum, 4.0f);
    EXPECT_EQ(s.Params().samplesPerTrace, 10);
    EXPECT_FLOAT_EQ(s.Params().sampleInterval, 0.5f);
    EXPECT_FLOAT_EQ(s.Params().shownTime, 5.0f);
    EXPECT_EQ(s.Params().tracesShown, 4);
    EXPECT_EQ(f.ws.display.firstReceiver, 1.0f);
    EXPECT_EQ(f.ws.display.lastReceiver, 3.0f);
    EXPECT_EQ(f.ws.display.recordLoaded, 1);
}

TEST(ReplaceLoadedTraces, RepeatedConfigurationAnsweredNeglect)
{
    SetUpFixture f;
    f.Read(0, {500, 500, 500}, 700);
    f.ui.AnswerDialog("CSourceReceiverLocationDlg");  // OK with "Neglect" preselected
    f.ui.ExpectMessage(f.Summary(3));
    ASSERT_TRUE(ReplaceLoadedTraces(f.ws, f.ui, 3, f.records));
    EXPECT_EQ(f.ui.Calls()[0].Shown("Location"), "Neglect receiver locations in trace header");
    EXPECT_EQ(f.H(0).receiverHundredths, 0);
    EXPECT_EQ(f.H(1).receiverHundredths, 100);
    EXPECT_EQ(f.H(2).receiverHundredths, 200);
    EXPECT_EQ(f.ws.display.lastReceiver, 2.0f);
}

TEST(ReplaceLoadedTraces, RepeatedConfigurationAnsweredUse)
{
    SetUpFixture f;
    f.Read(0, {500, 500, 600}, 700);
    f.ui.AnswerDialog("CSourceReceiverLocationDlg", {{"Location", "Use locations in trace header"}});
    f.ui.ExpectMessage(f.Summary(3));
    ASSERT_TRUE(ReplaceLoadedTraces(f.ws, f.ui, 3, f.records));
    EXPECT_EQ(f.H(0).receiverHundredths, 500);
    EXPECT_EQ(f.H(2).receiverHundredths, 600);
}

TEST(ReplaceLoadedTraces, ShortIntervalsAndLongSpreadsSetTheScales)
{
    SetUpFixture f;
    CParameterSet& p = f.ws.store.Params();
    p.plotscale = 20.0f;
    p.hscale = 1.0f;
    f.Read(0, {0, 100}, 0, 10.0f);  // 0.01 ms
    f.ui.ExpectMessage(f.Summary(2, "0.010000"));
    ASSERT_TRUE(ReplaceLoadedTraces(f.ws, f.ui, 2, f.records));
    EXPECT_EQ(p.plotscale, 100.0f);
    EXPECT_EQ(p.hscale, 50.0f);

    // A spread of more than 1000 m brings a vertical scale of 10 or more down to 10.
    f.Read(0, {0, 200000}, 0, 500.0f);
    f.ui.ExpectMessage(f.Summary(2));
    ASSERT_TRUE(ReplaceLoadedTraces(f.ws, f.ui, 2, f.records));
    EXPECT_EQ(p.plotscale, 10.0f);
    EXPECT_EQ(f.ws.settings.kmDisplay, 0);

    // Beyond 5000 m the distances are shown in km; with the kept configuration the scales stay.
    f.ws.settings.applyCurrentConfiguration = 1;
    p.plotscale = 30.0f;
    f.Read(0, {0, 600000}, 0, 10.0f);
    f.ui.ExpectMessage(f.Summary(2, "0.010000"));
    ASSERT_TRUE(ReplaceLoadedTraces(f.ws, f.ui, 2, f.records));
    EXPECT_EQ(p.plotscale, 30.0f);
    EXPECT_EQ(f.ws.settings.kmDisplay, 1);
}

TEST(ReplaceLoadedTraces, Component1000MeansSeconds)
{
    SetUpFixture f;
    f.Read(0, {0, 100}, 0, 500.0f, 10, 1000);
    f.ui.ExpectMessage(f.Summary(2));
    ASSERT_TRUE(ReplaceLoadedTraces(f.ws, f.ui, 2, f.records));
    EXPECT_EQ(f.ws.display.secondsFlag, 1);
}

TEST(ReplaceLoadedTraces, UnknownFormatWithoutAnInterval)
{
    SetUpFixture f;
    f.Read(0, {0, 100}, 0, 0.0f);
    f.ui.ExpectMessage(kUnknownFileFormat);
    EXPECT_FALSE(ReplaceLoadedTraces(f.ws, f.ui, 2, f.records));
    EXPECT_EQ(f.ws.store.TraceCount(), 0);
    EXPECT_FALSE(HasUsableInterval(f.records[0]));
    CTraceHeader nan;
    nan.intervalUs = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(HasUsableInterval(nan));
}

TEST(ReplaceLoadedTraces, CoherenceRecordKeepsTheDisplayFilterState)
{
    SetUpFixture f;
    f.ws.displayFilter.highCut = 33.0f;
    f.ws.store.Params().recordKind = kRecordCoherence;
    f.Read(0, {0, 100});
    f.ui.ExpectMessage(f.Summary(2));
    ASSERT_TRUE(ReplaceLoadedTraces(f.ws, f.ui, 2, f.records));
    EXPECT_EQ(f.ws.displayFilter.highCut, 33.0f);
    EXPECT_EQ(f.ws.store.Params().recordKind, kRecordCoherence);

    f.ws.store.Params().recordKind = kRecordDispersion;
    f.ui.ExpectMessage(f.Summary(2));
    ASSERT_TRUE(ReplaceLoadedTraces(f.ws, f.ui, 2, f.records));
    EXPECT_EQ(f.ws.displayFilter.highCut, -1.0f);
    EXPECT_EQ(f.ws.store.Params().recordKind, kRecordWaveform);
}

TEST(ReplaceLoadedTraces, PicksOfTheOldRecordGoToTheSetAndComeBack)
{
    SetUpFixture f;
    f.Read(0, {0, 100, 200}, 250);
    f.ui.ExpectMessage(f.Summary(3));
    ASSERT_TRUE(ReplaceLoadedTraces(f.ws, f.ui, 3, f.records));
    AfterRecordReplaced(f.ws, nullptr, nullptr, ShotArrival());
    CParameterSet& p = f.ws.store.Params();
    p.pickTimes[0] = 0.0f;
    p.pickTimes[1] = 4.5f;
    p.pickTimes[2] = 6.5f;
    f.ws.display.editMode = 1;

    // A record of another shot: the old picks are stored, the new traces get none.
    f.Read(0, {0, 100, 200}, 900);
    f.ui.ExpectMessage(f.Summary(3));
    ASSERT_TRUE(ReplaceLoadedTraces(f.ws, f.ui, 3, f.records));
    AfterRecordReplaced(f.ws, nullptr, nullptr, ShotArrival());
    EXPECT_EQ(f.ws.traveltimeSet.shotCount, 1);
    EXPECT_FLOAT_EQ(f.ws.traveltimeSet.sourcePosition[0], 2.5f);
    EXPECT_EQ(f.ws.traveltimeSet.pickCount[0], 2);
    EXPECT_EQ(p.pickTimes[1], 0.0f);
    EXPECT_EQ(f.ws.display.sourcePosition, 9.0f);

    // Back to the first shot: its picks are matched onto the traces by receiver.
    f.Read(0, {0, 100, 200}, 250);
    f.ui.ExpectMessage(f.Summary(3));
    ASSERT_TRUE(ReplaceLoadedTraces(f.ws, f.ui, 3, f.records));
    AfterRecordReplaced(f.ws, nullptr, nullptr, ShotArrival());
    EXPECT_EQ(p.pickTimes[1], 4.5f);
    EXPECT_EQ(p.pickTimes[2], 6.5f);
    EXPECT_EQ(p.pickTimes[0], 0.0f);
    EXPECT_EQ(p.layerCodes[0], 3);
}

TEST(AppendLoadedTraces, ThreeOntoTenSortedWithTheDialogValues)
{
    SetUpFixture f;
    std::vector<int32_t> ten;
    for (int i = 0; i < 10; ++i) ten.push_back(i * 200);
    f.Read(0, ten, 0);
    f.ui.ExpectMessage(f.Summary(10));
    ASSERT_TRUE(ReplaceLoadedTraces(f.ws, f.ui, 10, f.records));

    f.Read(10, {100, 300, 2500}, 50, 500.0f, 10, 1, -3.0f);
    f.ui.AnswerDialog("CSourceLocationDlg", {{"Change source location", "1"}, {"Source location", "-1.25"},
                                             {"Change component", "1"}, {"Component", "2"}});
    f.ui.ExpectMessage(f.Summary(13));
    AppendLoadedTraces(f.ws, f.ui, 3, f.records);
    EXPECT_EQ(f.ui.Calls()[1].Shown("Source location"), "0.5");
    const WaveformStore& s = f.ws.store;
    EXPECT_EQ(s.TraceCount(), 13);
    for (int i = 1; i < 13; ++i) EXPECT_LE(f.H(i - 1).receiverHundredths, f.H(i).receiverHundredths);
    EXPECT_EQ(f.H(1).receiverHundredths, 100);
    EXPECT_EQ(f.H(1).sourceHundredths, -125);
    EXPECT_EQ(f.H(1).component, 2);
    EXPECT_EQ(f.H(0).sourceHundredths, 0);
    EXPECT_EQ(f.H(12).receiverHundredths, 2500);
    EXPECT_EQ(s.Params().recordMaximum, 10.0f);
    EXPECT_EQ(f.ws.display.lastReceiver, 25.0f);
}

TEST(AppendLoadedTraces, CancelledDialogKeepsTheFileValuesAndFinishes)
{
    SetUpFixture f;
    f.Read(0, {0, 100}, 0);
    f.ui.ExpectMessage(f.Summary(2));
    ASSERT_TRUE(ReplaceLoadedTraces(f.ws, f.ui, 2, f.records));
    f.Read(2, {50}, 777, 500.0f, 12, 4, 20.0f);
    f.ui.CancelDialog("CSourceLocationDlg");
    f.ui.ExpectMessage(f.Summary(3, "0.500000", 12));
    AppendLoadedTraces(f.ws, f.ui, 1, f.records);
    const WaveformStore& s = f.ws.store;
    EXPECT_EQ(s.TraceCount(), 3);
    EXPECT_EQ(f.H(1).receiverHundredths, 50);
    EXPECT_EQ(f.H(1).sourceHundredths, 777);
    EXPECT_EQ(f.H(1).component, 4);
    EXPECT_EQ(s.Params().traceMaxima[1], 20.0f);
    EXPECT_EQ(s.Params().recordMaximum, 20.0f);
    EXPECT_EQ(s.Params().samplesPerTrace, 12);
}

TEST(GenericSetUp, HeadersAndOptions)
{
    SetUpFixture f;
    for (int i = 0; i < 3; ++i) f.ws.store.current.rows[i][2] = -2.0f * (i + 1);
    f.ws.displayFilter.highCut = 5.0f;
    GenericSetUpOptions gpr;
    gpr.showSummary = true;
    gpr.component = 1000;
    gpr.verticalScale = 100.0f;
    gpr.horizontalScale = 0.05f;
    gpr.secondsFlag = 1;
    f.ui.ExpectMessage(f.Summary(3, "0.250000", 64));
    GenericSetUp(f.ws, f.ui, 3, 64, 0.25f, gpr);
    const WaveformStore& s = f.ws.store;
    EXPECT_EQ(s.TraceCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(f.H(i), (CTraceHeader{1, (i + 1) * 100, 0, 1, 1000, 0.0f, 250.0f, 64}));
        EXPECT_EQ(s.Params().traceMaxima[static_cast<size_t>(i)], 2.0f * (i + 1));
    }
    EXPECT_EQ(f.ws.display.firstReceiver, 1.0f);
    EXPECT_EQ(f.ws.display.lastReceiver, 2.0f);
    EXPECT_FLOAT_EQ(s.Params().shownTime, 16.0f);
    EXPECT_EQ(s.Params().plotscale, 100.0f);
    EXPECT_FLOAT_EQ(s.Params().hscale, 0.05f);
    EXPECT_EQ(f.ws.display.secondsFlag, 1);
    EXPECT_EQ(f.ws.displayFilter.highCut, 5.0f);

    GenericSetUpOptions text;  // the imports' numbering, delay and reset
    text.numberFromOne = true;
    text.delayUs = 1.0f;
    text.resetDisplayWindow = true;
    GenericSetUp(f.ws, f.ui, 2, 8, 1.0f, text);
    EXPECT_EQ(f.H(1).traceNumber, 2);
    EXPECT_EQ(f.H(1).delayUs, 1.0f);
    EXPECT_EQ(f.ws.displayFilter.highCut, -1.0f);
}

TEST(CommitLoadTarget, RowsHeadersAndExtendedHeadersAtTheStart)
{
    SetUpFixture f;
    LoadTarget target(2, f.ws.store.MaxTraces() - 2, f.ws.store.RowLength(), f.ws.store.MaxSample());
    target.Row(0)[0] = 7.0f;
    target.Header(0).Set(9, 1, 2, 3, 4, 5.0f, 6.0f, 1);
    target.HeaderEx(0).latitude = 35.5f;
    f.ws.store.current.rows[2][5] = 99.0f;  // an old sample beyond the new ones
    CommitLoadTarget(f.ws, target, 1, true);
    EXPECT_EQ(f.ws.store.current.rows[2][0], 7.0f);
    EXPECT_EQ(f.ws.store.current.rows[2][5], 0.0f);
    EXPECT_EQ(f.H(2).traceNumber, 9);
    EXPECT_EQ(f.ws.store.headersEx[2].latitude, 35.5f);
    EXPECT_EQ(f.ws.store.headersEx[2].traceNumber, 9);
}

TEST(MatchPicksToTraces, DispersionRecordsWaitAndAmplitudeModeCopiesNothing)
{
    SetUpFixture f;
    f.Read(0, {0, 100}, 100);
    f.ui.ExpectMessage(f.Summary(2));
    ASSERT_TRUE(ReplaceLoadedTraces(f.ws, f.ui, 2, f.records));
    CParameterSet& p = f.ws.store.Params();
    p.pickTimes[1] = 3.0f;
    f.ws.display.sourcePosition = 1.0f;
    MergeRecordPicks(f.ws);
    EXPECT_EQ(f.ws.display.showTraveltimeCurves, 1);

    p.pickTimes[1] = 0.0f;
    EXPECT_EQ(MatchPicksToTraces(f.ws), 1);
    EXPECT_EQ(p.pickTimes[1], 3.0f);

    f.ws.display.amplitudeFlag = 1;
    EXPECT_EQ(MatchPicksToTraces(f.ws), 1);
    EXPECT_EQ(p.pickTimes[1], 0.0f);
    f.ws.display.amplitudeFlag = 0;

    // A dispersion image waits for a curve at its position among the curves, not the shots.
    p.recordKind = kRecordDispersion;
    EXPECT_EQ(MatchPicksToTraces(f.ws), 0);
    p.pickTimes[1] = 3.0f;
    MergeRecordPicks(f.ws);
    EXPECT_EQ(f.ws.curveSet.shotCount, 1);
    EXPECT_EQ(f.ws.traveltimeSet.pickCount[0], 1);
    EXPECT_EQ(MatchPicksToTraces(f.ws), 1);
    EXPECT_EQ(f.ws.display.pendingCurve, 1);
    EXPECT_EQ(f.ws.display.pendingCurveIndex, 0);
    EXPECT_EQ(p.pickTimes[1], 0.0f);

    p.recordKind = kRecordWaveform;
    f.ws.display.sourcePosition = 1.02f;
    EXPECT_EQ(MatchPicksToTraces(f.ws), 0);
    EXPECT_EQ(f.ws.display.pendingCurve, 0);
}

}  // namespace
}  // namespace velk
