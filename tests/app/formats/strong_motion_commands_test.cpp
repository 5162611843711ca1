// Strong-motion sets in the program: station files and set files through File > Open (new and
// appended), the shown records that follow their traces, the set file saved and read again,
// refused files, the refill by station and the seams of the view.

#include <gtest/gtest.h>

#include "app/formats/document.h"
#include "platform/recent_files.h"
#include "app/formats/strong_motion_commands.h"
#include "app/view/view_seams.h"
#include "app/workspace.h"
#include "formats/load_target.h"
#include "platform/profile.h"
#include "tests/formats/import_fixtures.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

namespace fx = velk::testing::importfixture;
using velk::testing::TempFolder;

struct StationFixture {
    StationFixture() : profile(Profile::FromText("[General]\nMAXTRACES=16\nMAX_SAMPLE=64\n")), ws(profile, ui), doc(ws)
    {
        ws.startup.language = -1;
        ws.diagnostics = std::make_shared<MemoryLogSink>();
        ws.InitForView(folder.Path());
        RegisterFileFormats(doc.Formats());
        ui.SetStrict(false);
    }
    // A station file of `code` with samples 0, k, 2k, ... at 100 Hz, its station `east` degrees
    // east of the epicentre.
    std::string Station(const std::string& name, const std::string& code, double east, int k = 1)
    {
        fx::StationText s;
        s.code = code;
        s.frequency = 4;
        s.duration = 1;
        s.stationLatitude = 36.0;
        s.stationLongitude = 137.1667 + east;
        s.counts = {0, k, 2 * k, 3 * k};
        const std::string path = folder.File(name);
        velk::testing::WriteFileText(path, fx::StationTextFile(s));
        return path;
    }
    // File > Open as a new record; `repeated`: the components of one station share receiver
    // and source, and the question about it is answered "Use locations in trace header".
    bool Open(const std::string& path, bool repeated = false)
    {
        if (ws.store.TraceCount() > 0) ui.AnswerDialog("COpenDataFileDlg", {{"File", "New file"}});
        if (repeated) ui.AnswerDialog("CSourceReceiverLocationDlg", {{"Location", "Use locations in trace header"}});
        return doc.LoadRecord(ws, path, ui);
    }
    const CTraceHeader& H(int i) const { return ws.store.current.headers[static_cast<size_t>(i)]; }

    TempFolder folder;
    ScriptedUiHost ui;
    Profile profile;
    Workspace ws;
    CVelkarineDoc doc;
};

TEST(StrongMotionRoad, StationFilesGatherIntoOneShownSet)
{
    StationFixture f;
    ASSERT_TRUE(f.Open(f.Station("A.ns", "A", 0.5)));
    EXPECT_EQ(f.ws.store.TraceCount(), 1);
    EXPECT_EQ(f.ws.strongMotionFlag, 1);
    EXPECT_TRUE(StrongMotionSetLoaded(f.ws));
    EXPECT_FALSE(StrongMotionStationsLoaded(f.ws));
    EXPECT_EQ(f.doc.fileType, kFileStrongMotionText);

    ASSERT_TRUE(f.Open(f.Station("A.ew", "A", 0.5), true));
    ASSERT_TRUE(f.Open(f.Station("B.ns", "B", 0.2, 10), true));
    EXPECT_EQ(f.ws.store.TraceCount(), 3);
    EXPECT_EQ(f.ws.strongMotion.header.traceCount, 3);
    EXPECT_EQ(f.ws.strongMotion.StationCount(), 2);
    // Sorted by receiver (station X): each shown record stays with its trace.
    for (int i = 0; i < 3; ++i) {
        const CStrongMotionTrace& r = f.ws.strongMotion.shownRecords[static_cast<size_t>(i)];
        EXPECT_EQ(f.H(i).receiverHundredths, static_cast<int32_t>(r.stationX * 100.0f)) << i;
        EXPECT_EQ(f.H(i).component, r.component) << i;
    }
    EXPECT_NE(dynamic_cast<MemoryLogSink&>(*f.ws.diagnostics).Text("StrongGroudMotionData.txt").find("Number of stations = 2\n"),
              std::string::npos);
    // B's samples 0, 10, 20, 30 x scale, mean removed, at the trace of station B.
    const CStrongMotionTrace& first = f.ws.strongMotion.shownRecords[0];
    const float scale = first.scaleFactor;
    EXPECT_EQ(first.stationCode, "B");
    EXPECT_NEAR(f.ws.store.current.rows[0][3], 15 * scale, 1e-9);
}

TEST(StrongMotionRoad, AnAppendedLoadCountsItsStartOnce)
{
    StationFixture f;
    ASSERT_TRUE(f.Open(f.Station("A.ns", "A", 0.1)));
    ASSERT_TRUE(f.Open(f.Station("B.ns", "B", 0.2)));
    const std::string c = f.Station("C.ns", "C", 0.3);
    f.ui.AnswerDialog("COpenDataFileDlg", {{"File", "Append to present data"}});
    f.ui.CancelDialog("CSourceLocationDlg");
    ASSERT_TRUE(f.doc.LoadRecord(f.ws, c, f.ui));
    // The whole set (3 traces) follows the 2 loaded: 5, not 2 + 2 + 3.
    EXPECT_EQ(f.ws.store.TraceCount(), 5);
    EXPECT_EQ(f.ws.strongMotion.header.traceCount, 5);
}

TEST(StrongMotionRoad, SetFileSavedAndReadAgain)
{
    StationFixture f;
    ASSERT_TRUE(f.Open(f.Station("A.ns", "A", 0.1, 2)));
    ASSERT_TRUE(f.Open(f.Station("A.ud", "A", 0.1, 3), true));
    f.ws.strongMotion.header.earthquakeTime = {2003, 9, 26, 4, 50, 0};
    const std::string sgm = f.folder.File("set.sgm");
    ASSERT_TRUE(f.doc.SaveRecord(f.ws, sgm, f.ui));
    EXPECT_EQ(f.doc.fileType, kFileStrongMotionSet);
    const std::vector<float> before(f.ws.store.current.rows.Row(1).begin(), f.ws.store.current.rows.Row(1).begin() + 4);

    StationFixture g;
    ASSERT_TRUE(g.Open(sgm));
    EXPECT_EQ(g.ws.store.TraceCount(), 2);
    EXPECT_EQ(g.ws.strongMotion.header.earthquakeTime, (StationDateTime{2003, 9, 26, 4, 50, 0}));
    EXPECT_EQ(std::vector<float>(g.ws.store.current.rows.Row(1).begin(), g.ws.store.current.rows.Row(1).begin() + 4), before);
    EXPECT_EQ(g.ws.strongMotion.shownRecords[1].componentLabel, "ud");

    // Without a set there is nothing to save as a set file.
    StationFixture empty;
    empty.ui.SetStrict(true);
    empty.ui.ExpectMessage("This file type cannot be saved. The file was not changed.");
    EXPECT_FALSE(empty.doc.SaveRecord(empty.ws, empty.folder.File("none.sgm"), empty.ui));
}

TEST(StrongMotionRoad, RefusedFilesChangeNothingAndSaySo)
{
    StationFixture f;
    ASSERT_TRUE(f.Open(f.Station("A.ns", "A", 0.1)));
    const float kept = f.ws.store.current.rows[0][1];
    fx::StationText bad;
    bad.frequency = 0;
    bad.counts = {1, 2};
    const std::string path = f.folder.File("bad.ns");
    velk::testing::WriteFileText(path, fx::StationTextFile(bad));
    f.ui.SetStrict(true);
    f.ui.AnswerDialog("COpenDataFileDlg");
    f.ui.ExpectMessage("These strong-motion files have not been read:\n bad.ns : no sampling frequency");
    f.ui.ExpectAnyMessage();  // the set as it is, shown again
    EXPECT_TRUE(f.doc.LoadRecord(f.ws, path, f.ui));
    EXPECT_EQ(f.ws.store.TraceCount(), 1);
    EXPECT_EQ(f.ws.store.current.rows[0][1], kept);

    // A set file that does not hold what it says: the message, the store as it was.
    const std::string sgm = f.folder.File("bad.sgm");
    velk::testing::WriteFileText(sgm, "9999 1");
    f.ui.AnswerDialog("COpenDataFileDlg");
    f.ui.ExpectAnyMessage();
    EXPECT_FALSE(f.doc.LoadRecord(f.ws, sgm, f.ui));
    EXPECT_EQ(f.ws.store.TraceCount(), 1);
    EXPECT_EQ(f.ws.strongMotion.StationCount(), 1);
}

TEST(StrongMotionRoad, StationModeStepsThroughTheStations)
{
    StationFixture f;
    for (const char* code : {"A", "B", "C", "D", "E", "F", "G"}) {
        ASSERT_TRUE(f.Open(f.Station(std::string(code) + ".ns", code, 0.1)));
    }
    ASSERT_TRUE(f.Open(f.Station("A.ew", "A", 0.1), true));
    EXPECT_EQ(f.ws.store.TraceCount(), 8);
    f.ws.strongMotion.viewMode = 9;
    f.ws.strongMotion.currentStation = 0;
    EXPECT_TRUE(StrongMotionStationsLoaded(f.ws));
    EXPECT_EQ(RefillEarthquakeTraces(f.ws, f.ui, &f.doc), 1);
    EXPECT_EQ(f.ws.store.TraceCount(), 2);  // A: ns and ew
    EXPECT_EQ(f.H(1).receiverHundredths, 100);
    EXPECT_EQ(f.doc.currentFileName, "A");
    EXPECT_EQ(f.ws.store.undoDepth, 2);

    EXPECT_FALSE(StepStrongMotionStation(f.ws, false));  // already the first
    EXPECT_TRUE(StepStrongMotionStation(f.ws, true));
    EXPECT_EQ(f.ws.strongMotion.currentStation, 1);
    EXPECT_EQ(f.ws.store.TraceCount(), 1);
    EXPECT_EQ(f.ws.strongMotion.shownRecords[0].stationCode, "B");
}

}  // namespace
}  // namespace velk
