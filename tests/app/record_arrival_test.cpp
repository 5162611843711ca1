// Every road that replaces the record: the whole command table is walked headless, each
// command answered OK (with the line's files where it asks for files), and every command that
// left another record in the store must have passed it through the common steps: the picks of
// the record it left in the traveltime set (picking is on), load counter raised, the record's
// source position, the picks of its own shot (or none) and a frame title that no longer names
// the record shown before.

#include "app/record_arrival.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "app/formats/document.h"
#include "app/formats/file_commands.h"
#include "app/shell_services.h"
#include "app/survey/file_list_commands.h"
#include "app/surfacewave/spac_commands.h"
#include "app/surfacewave/phase_velocity_commands.h"
#include "app/survey/group_commands.h"
#include "app/traveltime/modelling_commands.h"
#include "app/view/view_commands.h"
#include "app/picking/auto_picking.h"
#include "app/picking/pick_commands.h"
#include "app/formats/seg2_commands.h"
#include "app/survey/batch_commands.h"
#include "app/traveltime/model_commands.h"
#include "traveltime/traveltime_text.h"
#include "app/dsp/resampling_commands.h"
#include "app/formats/text_import_commands.h"
#include "app/formats/key_file_commands.h"
#include "app/view/interactive_edit.h"
#include "app/workspace.h"
#include "platform/profile.h"
#include "platform/recent_files.h"
#include "platform/shared_block.h"
#include "platform/uihost.h"
#include "tools/fake_launcher.h"
#include "tools/test_support.h"
#include "app/answering_host.h"
#include "app/simulated_line.h"
#include "formats/format_support.h"

namespace velk {
namespace {

using testing::AnsweringHost;
using testing::OwnSharedBlocks;
using testing::SimulatedLine;
using testing::TempFolder;

class Panes : public StatusPanes {
public:
    void SetPaneText(int pane, const std::string& text) override { texts[pane] = text; }
    void SetPaneWidth(int, int) override {}
    std::map<int, std::string> texts;
};

class Frame : public FrameServices {
public:
    void DocumentTitleChanged(const std::string& title) override { titles.push_back(title); }
    void RecentFilesChanged() override {}
    void RequestClose() override {}
    void ShowAbout() override {}
    StatusPanes* Status() override { return &panes; }
    std::vector<std::string> titles;
    Panes panes;
};

// What identifies the record on show.
struct Identity {
    int traces = 0;
    int recordKind = 0;
    std::vector<std::pair<int32_t, int32_t>> positions;  // source, receiver of each trace
    bool operator==(const Identity&) const = default;
};

Identity IdentityOf(const Workspace& ws)
{
    Identity id;
    id.traces = ws.store.TraceCount();
    id.recordKind = ws.store.Params().recordKind;
    for (int i = 0; i < id.traces; ++i) {
        const CTraceHeader& h = ws.store.current.headers[static_cast<size_t>(i)];
        id.positions.emplace_back(h.sourceHundredths, h.receiverHundredths);
    }
    return id;
}

constexpr float kShownSource = 12.5f;  // the record on show, outside the list
constexpr float kListedSource = -2.5f;  // the list's second shot, whose picks the set holds
constexpr float kOldPick = 7.0f;  // what the record shown first carries on every trace

// A workspace in the state of a refraction line under way: a file list of shots a (27.5 m) and
// b (-2.5 m) with its geometry and waveform data, shot c (12.5 m) opened and shown with picks
// of its own made by hand (first-arrival picking on), and a traveltime set that holds picks for
// the shot at -2.5 m only.
class Walk {
public:
    Walk(const std::string& shots, const std::string& out)
        : profile_(Profile::FromText("[General]\nMAXTRACES=64\n")), ws(profile_, ui), doc(ws)
    {
        ui.files = {shots + "/shot_a.sg2", shots + "/shot_b.sg2"};
        ui.folder = shots;
        ui.saveFolder = out;
        ws.startup.language = -1;
        ws.diagnostics = std::make_shared<MemoryLogSink>();
        ws.launcher = std::make_unique<FakeLauncher>();
        ws.sleep = [](int) {};
        ws.InitForView(out);
        RegisterFileFormats(doc.Formats());
        Run(cmd::kMakeFileList);
        Run(cmd::kSetUpGeometry);
        CTraveltimeSet& set = ws.traveltimeSet;
        set.shotCount = 1;
        set.sourcePosition[0] = kListedSource;
        set.pickCount[0] = 24;
        for (int k = 0; k < 24; ++k) {
            set.X(0, k) = 2.0f * static_cast<float>(k);
            set.T(0, k) = 10.0f + static_cast<float>(k);
            set.K(0, k) = 1;
        }
        set.hasData = 1;
        CommandContext ctx = Context();
        OpenDocumentFile(ctx, shots + "/shot_c.sg2");
        ws.display.editMode = 1;
        for (int i = 0; i < ws.store.TraceCount(); ++i) ws.store.Params().pickTimes[static_cast<size_t>(i)] = kOldPick;
        frame.titles.clear();
        frame.panes.texts.clear();
    }
    CommandContext Context() { return CommandContext{ws, ui, doc, recent, nullptr, &frame}; }
    int Run(int id)
    {
        CommandContext ctx = Context();
        return RunCommand(table, id, ctx);
    }
    // The set's pick at receiver x for the shot at `source`, or 0.
    float StoredPick(float source, float x) const
    {
        const CTraveltimeSet& set = ws.traveltimeSet;
        for (int s = 0; s < set.shotCount; ++s) {
            if (std::fabs(set.sourcePosition[s] - source) >= 0.01f) continue;
            for (int k = 0; k < set.pickCount[s]; ++k)
                if (std::fabs(set.X(s, k) - x) < 0.0001f) return set.T(s, k);
        }
        return 0.0f;
    }

    CommandTable table = BuildCommandTable();
    AnsweringHost ui;
    Profile profile_;
    Workspace ws;
    CVelkarineDoc doc;
    RecentFileList recent;
    Frame frame;
};

// Processing of the record shown: transforms, trace edits and geometry edits. They change traces
// or positions but keep the shot and its picks (undo takes them back); they do not replace it.
const std::set<int> kEditsOfTheShot = {
    25010, 25011,                // convolution, reversed convolution
    25601, 25603, 25620,         // F-K domain, F-K spectrum, tau-p transform
    25810,                       // insert trace
    26022, 26023, 26025, 26026,  // trace interpolation and thinning out
    27215, 28281, 28260,         // receiver interval, trace-header key, reverse spread: geometry
    28521, 28610, 28906,         // vertical summation, zero-offset transform, successive correlation
};

// The line's two shots in a folder of their own, and a folder for what commands save.
class RecordArrival : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(shots);
        std::filesystem::create_directories(out);
        SimulatedLine line;
        line.samples = 400;
        ASSERT_TRUE(line.WriteShot(shots + "/shot_a.sg2", 27.5f, 1));
        ASSERT_TRUE(line.WriteShot(shots + "/shot_b.sg2", kListedSource, 2));
        ASSERT_TRUE(line.WriteShot(shots + "/shot_c.sg2", kShownSource, 3));
    }
    OwnSharedBlocks blocks{"arrival"};
    TempFolder folder;
    const std::string shots = folder.File("shots");
    const std::string out = folder.File("out");
};

TEST_F(RecordArrival, EveryCommandThatReplacesTheRecordPassesTheCommonStep)
{

    std::vector<int> ids;
    const CommandTable table = BuildCommandTable();
    for (const CommandRow& row : table.Rows())
        if (row.action && row.kind != ItemKind::Separator) ids.push_back(row.id);

    int replacing = 0;
    for (const int id : ids) {
        Walk w(shots, out);
        ASSERT_EQ(w.ws.store.TraceCount(), 24);
        ASSERT_EQ(w.doc.Title(), "shot_c.sg2");
        const CommandRow* row = w.table.Find(id);
        const std::string what = std::to_string(id) + " \"" + row->english + "\"";
        const Identity before = IdentityOf(w.ws);
        const int counter = w.ws.store.loadCounter;
        w.Run(id);
        // An emptied store (a new survey line) is no record.
        if (IdentityOf(w.ws) == before || kEditsOfTheShot.count(id) || w.ws.store.TraceCount() == 0) continue;
        ++replacing;

        const Workspace& ws = w.ws;
        // The hand picks of the record left are in the set, unless they are still on the record
        // (traces appended to it) or the command made a new set (phase-velocity curves of the line).
        const SimulatedLine line;
        const int stillShown = static_cast<int>(std::count(ws.store.Params().pickTimes.begin(),
                                                           ws.store.Params().pickTimes.begin() + ws.store.TraceCount(), kOldPick));
        const bool newSet = w.StoredPick(kListedSource, 0.0f) != 10.0f;
        for (int i = 0; i < line.receivers && stillShown < line.receivers && !newSet; ++i) {
            EXPECT_EQ(w.StoredPick(kShownSource, line.Receiver(i)), kOldPick)
                << what << " dropped the picks of the record it replaced, receiver " << i;
        }
        EXPECT_GT(ws.store.loadCounter, counter) << what << " replaced the record without the common step";
        if (ws.store.loadCounter == counter) continue;
        const int n = ws.store.TraceCount();
        EXPECT_EQ(ws.display.displayMode, 0) << what;
        if (n > 0) {
            const float source = static_cast<float>(ws.store.current.headers[0].sourceHundredths * 0.01);
            EXPECT_FLOAT_EQ(ws.display.sourcePosition, source) << what;
            // The picks of the record's own shot (in a gather each trace's own shot, which a
            // receiver gather carries in its receiver word), or none; traces appended to the shot
            // shown keep its picks.
            const bool sameShot = std::fabs(source - kShownSource) < 0.01f;
            const int shape = ws.store.Params().pickShape;
            if (ws.store.Params().recordKind == 0) {
                for (int i = 0; i < n; ++i) {
                    const CTraceHeader& h = ws.store.current.headers[static_cast<size_t>(i)];
                    const bool swapped = shape == kPicksSwapped;
                    const float x = static_cast<float>((swapped ? h.sourceHundredths : h.receiverHundredths) * 0.01);
                    const float own = shape == kPicksOfOneShot ? source
                                                               : static_cast<float>((swapped ? h.receiverHundredths : h.sourceHundredths) * 0.01);
                    const float pick = ws.store.Params().pickTimes[static_cast<size_t>(i)];
                    if (sameShot && pick == kOldPick) continue;
                    EXPECT_EQ(pick, shape == kPicksOfNoShot ? 0.0f : w.StoredPick(own, x)) << what << " trace " << i;
                }
            }
            ASSERT_FALSE(w.frame.titles.empty()) << what << " left the frame title as it was";
            // An image made in memory is untitled, and the frame names what it was made from.
            const int kind = ws.store.Params().recordKind;
            if (id == cmd::kPhaseVelocityTransform) {
                EXPECT_EQ(w.frame.titles.back(), "Dispersion curve : shot_c.sg2");
            } else if (!(w.doc.Title().empty() && (kind == 1 || kind == 2))) {
                EXPECT_EQ(w.frame.titles.back(), w.doc.Title()) << what;
            }
            EXPECT_EQ(w.frame.panes.texts[5], w.doc.currentFileName) << what;
            if (!sameShot) {
                EXPECT_NE(w.doc.Title(), "shot_c.sg2") << what << " shows another shot under the old title";
            }
        }
    }
    // The walk reached the roads that replace the record (opens, lists, gathers, generators).
    EXPECT_GT(replacing, 20);
}


// The shots of the line: a (27.5 m), b (-2.5 m) and c (12.5 m).
bool FieldShot(float source, float another)
{
    return std::fabs(source - 27.5f) < 0.01f || std::fabs(source - another) < 0.01f || std::fabs(source - kListedSource) < 0.01f ||
           std::fabs(source - kShownSource) < 0.01f;
}

// What the traveltime data holds beyond the field shots' picks: a shot at no field shot's
// position, a shot without picks, or a pick off the line's receivers. Empty when it holds only field picks.
std::string Strangers(const CTraveltimeSet& set, float anotherShot = 27.5f)
{
    const SimulatedLine line;
    std::string found;
    for (int s = 0; s < set.shotCount; ++s) {
        const float source = set.sourcePosition[s];
        if (!FieldShot(source, anotherShot)) found += " shot at " + std::to_string(source);
        if (set.pickCount[s] <= 0) found += " empty shot at " + std::to_string(source);
        for (int k = 0; k < set.pickCount[s]; ++k) {
            const float x = set.X(s, k), t = set.T(s, k);
            const bool receiver = x >= line.Receiver(0) && x <= line.Receiver(line.receivers - 1) &&
                                  std::fabs(std::remainder(x - line.Receiver(0), line.spacing)) < 0.001f;
            if (!receiver || !(t > 0.0f)) {
                found += " pick (" + std::to_string(x) + ", " + std::to_string(t) + ") of shot " + std::to_string(source);
                break;
            }
        }
    }
    return found;
}

// The traveltime data saved by "Save traveltime data" into `out` (the newest ".vs").
std::unique_ptr<CTraveltimeSet> SavedVs(const std::string& out)
{
    auto saved = std::make_unique<CTraveltimeSet>();
    std::filesystem::path newest;
    for (const auto& file : std::filesystem::directory_iterator(out))
        if (file.path().extension() == ".vs" && (newest.empty() || file.last_write_time() >= std::filesystem::last_write_time(newest)))
            newest = file.path();
    if (newest.empty()) return saved;
    // Read as the view reads it: a shot saved without picks stays in the set.
    TraveltimeTextOptions options;
    options.keepEmptyShots = true;
    std::ifstream in(newest);
    std::stringstream text;
    text << in.rdbuf();
    ParseTraveltimeText(*saved, text.str(), options);
    return saved;
}

// Every command of the menu on a picked field shot, then what it left on show picked
// automatically and the traveltime curves updated: the
// traveltime data holds the field shots' picks and nothing else (no model, image, panel or
// curve made a shot of its own or wrote into one).
TEST_F(RecordArrival, EveryCommandLeavesOnlyTheFieldShotsPicksInTheSet)
{
    std::vector<int> ids;
    const CommandTable table = BuildCommandTable();
    for (const CommandRow& row : table.Rows())
        if (row.action && row.kind != ItemKind::Separator) ids.push_back(row.id);
    // Commands whose record still stands for the shot on show, with geometry the user gave it
    // (receiver interval, a key file), interpolated traces between its receivers (they carry
    // the shot's picks between its traces), or a record the user opened from a file of its own.
    const std::set<int> ownShot = {cmd::kReceiverInterval, cmd::kMakeTraceHeaderKey, cmd::kTraceInterpolationFk,
                                   cmd::kTraceInterpolationFkUnaliased, cmd::kTraceInterpolationFxUnaliased,
                                   cmd::kOpenBinaryData};
    for (const int id : ids) {
        if (ownShot.count(id)) continue;
        Walk w(shots, out);
        w.Run(id);
        w.Run(cmd::kAutoPickFirstArrivals);  // whatever the command left on show, picked
        w.Run(cmd::kUpdateTraveltimeCurves);
        EXPECT_EQ(Strangers(w.ws.traveltimeSet), "") << id << " \"" << w.table.Find(id)->english << "\"";
    }
}

// A shot at 0 m picked, then the two-layer model (whose source is at 0 m) made and picked, then
// the traveltime data saved: the model shows no field picks and leaves none of its own; the
// shot's picks stay as the picker left them.
TEST_F(RecordArrival, AModelAtAFieldShotsSourceLeavesItsPicksAlone)
{
    const std::string atZero = shots + "/shot_0.sg2";
    ASSERT_TRUE(SimulatedLine{}.WriteShot(atZero, 0.0f, 4));
    Walk w(shots, out);
    w.ui.files = {atZero};
    ASSERT_EQ(w.Run(cmd::kOpenSeg2), 1);
    ASSERT_EQ(w.ws.display.sourcePosition, 0.0f);
    w.Run(cmd::kAutoPickFirstArrivals);
    const std::vector<float> field(w.ws.store.Params().pickTimes.begin(), w.ws.store.Params().pickTimes.begin() + 24);
    ASSERT_GT(std::count_if(field.begin(), field.end(), [](float t) { return t > 0.0f; }), 20);

    w.Run(cmd::kTwoLayerRecord);
    const CParameterSet& model = w.ws.store.Params();
    ASSERT_GT(model.traceCount, 0);
    EXPECT_EQ(std::count_if(model.pickTimes.begin(), model.pickTimes.begin() + model.traceCount, [](float t) { return t > 0.0f; }), 0)
        << "the model shows the field shot's picks";
    w.Run(cmd::kAutoPickFirstArrivals);
    w.Run(cmd::kSaveRostrelFile);

    const auto saved = SavedVs(out);
    ASSERT_EQ(saved->shotCount, 3);  // -2.5, 0 and 12.5 m
    EXPECT_EQ(Strangers(*saved, 0.0f), "");
    ASSERT_EQ(saved->sourcePosition[1], 0.0f);
    ASSERT_EQ(saved->pickCount[1], static_cast<int>(std::count_if(field.begin(), field.end(), [](float t) { return t > 0.0f; })));
    const SimulatedLine line;
    for (int k = 0, i = 0; i < 24; ++i) {
        if (!(field[static_cast<size_t>(i)] > 0.0f)) continue;
        EXPECT_EQ(saved->X(1, k), line.Receiver(i));
        EXPECT_EQ(saved->T(1, k++), field[static_cast<size_t>(i)]) << "receiver " << line.Receiver(i);
    }
}

// A shot opened and never picked adds no shot to the traveltime data, whether another shot or
// appended files replace it or it is on show when the data is saved.
TEST_F(RecordArrival, AShotWithoutPicksAddsNoShot)
{
    Walk w(shots, out);
    w.ui.files = {shots + "/shot_a.sg2"};
    ASSERT_EQ(w.Run(cmd::kOpenSeg2), 1);  // the shot at 27.5 m, which the set does not hold
    w.ui.files = {shots + "/shot_b.sg2"};
    ASSERT_EQ(w.Run(cmd::kOpenSeg2), 1);
    w.ui.files = {shots + "/shot_a.sg2"};
    ASSERT_EQ(w.Run(cmd::kOpenSeg2), 1);
    w.Run(cmd::kAppendSelectedFiles);
    w.Run(cmd::kSaveRostrelFile);
    const auto saved = SavedVs(out);
    ASSERT_EQ(saved->shotCount, 2);
    EXPECT_EQ(saved->sourcePosition[0], kListedSource);
    EXPECT_EQ(saved->pickCount[0], 24);
    EXPECT_EQ(saved->sourcePosition[1], kShownSource);
    EXPECT_EQ(saved->pickCount[1], 24);
}

// Two shots in one record (a shot with another appended): each trace's pick is filed under its
// own shot when another record replaces it.
TEST_F(RecordArrival, AppendedShotsFileEachTracesPickUnderItsOwnShot)
{
    Walk w(shots, out);
    w.ui.files = {shots + "/shot_a.sg2"};
    ASSERT_EQ(w.Run(cmd::kOpenSeg2), 1);  // 27.5 m, which the set does not hold
    w.ui.files = {shots + "/shot_b.sg2"};
    w.Run(cmd::kAppendSelectedFiles);    // -2.5 m, whose picks the set holds
    ASSERT_EQ(w.ws.store.TraceCount(), 48);
    EXPECT_EQ(w.ws.store.Params().pickShape, kPicksPerTrace);
    std::vector<float>& picks = w.ws.store.Params().pickTimes;
    for (int i = 0; i < 48; ++i) picks[static_cast<size_t>(i)] = 100.0f + static_cast<float>(i);
    w.ui.files = {shots + "/shot_c.sg2"};
    ASSERT_EQ(w.Run(cmd::kOpenSeg2), 1);
    int a = 0, b = 0;
    const SimulatedLine line;
    for (int i = 0; i < 24; ++i) {
        const float x = line.Receiver(i);
        const float atA = w.StoredPick(27.5f, x), atB = w.StoredPick(kListedSource, x);
        EXPECT_GE(atA, 100.0f) << "shot 27.5 m at " << x;
        EXPECT_GE(atB, 100.0f) << "shot -2.5 m at " << x;
        a += atA >= 100.0f;
        b += atB >= 100.0f;
        EXPECT_NE(atA, atB) << x;
    }
    EXPECT_EQ(a, 24);
    EXPECT_EQ(b, 24);
    EXPECT_EQ(w.StoredPick(kShownSource, line.Receiver(0)), kOldPick);
}

// A CMP gather by its name, opened from the File menu beside a field shot at its position, stands
// for no shot: it shows no picks and its picks leave the shot's field picks as they were.
TEST_F(RecordArrival, ACmpGatherOpenedAsAFileStandsForNoShot)
{
    const std::string gather = shots + "/cmp_000250.sg2";
    ASSERT_TRUE(SimulatedLine{}.WriteShot(gather, kListedSource, 5));
    Walk w(shots, out);
    CommandContext ctx = w.Context();
    ASSERT_TRUE(OpenDocumentFile(ctx, gather));
    EXPECT_EQ(w.ws.store.Params().pickShape, kPicksOfNoShot);
    std::vector<float>& picks = w.ws.store.Params().pickTimes;
    EXPECT_EQ(std::count_if(picks.begin(), picks.begin() + 24, [](float t) { return t > 0.0f; }), 0);
    w.Run(cmd::kAutoPickFirstArrivals);
    w.ui.files = {shots + "/shot_c.sg2"};
    ASSERT_EQ(w.Run(cmd::kOpenSeg2), 1);
    for (int k = 0; k < 24; ++k) EXPECT_EQ(w.StoredPick(kListedSource, 2.0f * static_cast<float>(k)), 10.0f + static_cast<float>(k));
}

// A receiver gather while picking: each trace shows and keeps the pick of its own shot at the
// gather's receiver, and leaving the gather (to the next one, then saving) makes no shot of it.
TEST_F(RecordArrival, PicksOnAReceiverGatherGoToTheShotsOfItsTraces)
{
    Walk w(shots, out);
    const Workspace& ws = w.ws;
    w.ws.store.PushUndo();  // as an edit of the shot shown would
    w.ws.fileGroup.gatherIndex = 1;  // the receiver at 2 m
    ASSERT_EQ(w.Run(cmd::kCommonReceiverGather), 1);
    ASSERT_EQ(ws.store.TraceCount(), 2);  // the shots at -2.5 m and 27.5 m, in this order
    std::vector<float>& picks = w.ws.store.Params().pickTimes;
    EXPECT_EQ(picks[0], 11.0f);  // the set's pick of the shot at -2.5 m at 2 m
    EXPECT_EQ(picks[1], 0.0f);
    picks[0] = 12.5f;  // corrections where the mouse puts them
    picks[1] = 33.0f;
    ASSERT_EQ(w.Run(cmd::kShowRightSide), 1);
    ASSERT_EQ(ws.store.TraceCount(), 2);
    EXPECT_EQ(picks[0], 12.0f);  // the receiver at 4 m
    EXPECT_EQ(w.StoredPick(kListedSource, 2.0f), 12.5f);
    EXPECT_EQ(w.StoredPick(27.5f, 2.0f), 33.0f);
    ASSERT_EQ(w.Run(cmd::kShowLeftSide), 1);
    EXPECT_EQ(picks[0], 12.5f);
    EXPECT_EQ(picks[1], 33.0f);

    // Undo brings back the shot shown before the gathers (which take no snapshot): the picks of
    // the gather left go to their shots as on every road.
    picks[1] = 34.0f;
    ASSERT_EQ(w.Run(cmd::kEditUndo), 1);
    EXPECT_EQ(ws.display.sourcePosition, kShownSource);
    EXPECT_EQ(w.StoredPick(27.5f, 2.0f), 34.0f);

    ASSERT_EQ(w.Run(cmd::kSaveRostrelFile), 1);
    auto saved = std::make_unique<CTraveltimeSet>();
    std::string path;
    for (const auto& file : std::filesystem::directory_iterator(out))
        if (file.path().extension() == ".vs") path = file.path().string();
    ASSERT_EQ(ReadTraveltimeText(*saved, path), 3) << path;
    EXPECT_EQ(saved->sourcePosition[0], kListedSource);
    EXPECT_EQ(saved->sourcePosition[1], kShownSource);
    EXPECT_EQ(saved->sourcePosition[2], 27.5f);
    EXPECT_EQ(saved->pickCount[2], 1);
}

// A new record or image is shown whatever picture was on: the velocity model and the array
// geometry give way, and the plot commands leave the geometry picture.
TEST_F(RecordArrival, NewRecordsAndImagesLeaveThePicturesThatHideThem)
{
    Walk w(shots, out);
    const DisplayState& d = w.ws.display;

    // The velocity model's colours give way to the wiggles of a generated record, and
    // "Contour > Waveform data" shows the record, not the empty model grid.
    for (const int leave : {cmd::kReflection, cmd::kContourWaveform}) {
        w.Run(cmd::kNewTwoLayerModel);
        ASSERT_EQ(d.displayMode, 1);
        w.Run(leave);
        EXPECT_EQ(d.displayMode, 0) << leave;
        EXPECT_EQ(d.plotMode, -2) << leave;
    }

    // Synthetic array data, the plot commands and 2D SPAC leave the array-geometry picture.
    w.Run(cmd::kMicrotremorArrayData);
    EXPECT_EQ(d.displayMode, 0);
    for (const int plot : {cmd::kWaveformPlot, cmd::kContourPlot}) {
        w.Run(cmd::kSetUpMamGeometry);
        ASSERT_EQ(d.displayMode, 4);
        w.Run(plot);
        EXPECT_EQ(d.displayMode, 0) << plot;
    }
    w.Run(cmd::kWaveformPlot);
    w.Run(cmd::kSetUpMamGeometry);
    ASSERT_EQ(d.displayMode, 4);
    w.Run(cmd::kSpac2DRecord);
    EXPECT_EQ(w.ws.store.Params().recordKind, 2);
    EXPECT_EQ(d.displayMode, 0);
}

}  // namespace
}  // namespace velk
