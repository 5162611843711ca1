// The record on paper (the printing and screen flags, the copy's frame and a clipboard that
// cannot be opened), the geometry pictures, and the earthquake view commands with their rules.

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "app/formats/document.h"
#include "app/view/geometry_pictures.h"
#include "app/view/paper_output.h"
#include "app/view/print_view_commands.h"
#include "platform/recent_files.h"
#include "app/view/draw_fixture.h"
#include "tests/formats/import_fixtures.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using drawtest::Kind;
using drawtest::Op;

// ---------------------------------------------------------------------------------------------
// Paper

class FakeClipboard : public RecordClipboard {
public:
    void DrawBitmap(Workspace& ws, const CopyFrame& f, const std::string&) override
    {
        flagsWhileDrawing = {ws.display.drawing.printing, ws.display.drawing.screen};
        frame = f;
    }
    bool Place(const std::string& s) override
    {
        svg = s;
        return opens;
    }
    bool opens = true;
    std::pair<int, int> flagsWhileDrawing{-1, -1};
    CopyFrame frame;
    std::string svg;
};

class Paper : public drawtest::DrawTest {
protected:
    void SetUp() override
    {
        DrawTest::SetUp();
        Fill(6, 200, [](int i, int j) { return static_cast<float>((i + 1) * ((j % 20) - 10)); });
        ws->settings.triggerPlot = 1;
    }
    bool TriggerDrawn() const
    {
        for (const Op* op : canvas.OpsOf(Kind::Polyline))
            if (op->pen.colour == Rgb{200, 200, 0}) return true;
        return false;
    }
    bool StatusWritten() const
    {
        const auto texts = canvas.Texts();
        return std::find(texts.begin(), texts.end(), "Status : No editing") != texts.end();
    }
    std::pair<int, int> Flags() const { return {ws->display.drawing.printing, ws->display.drawing.screen}; }
};

TEST_F(Paper, PaperFlagsLeaveOutTriggerAndStatusAndComeBackOnEveryPath)
{
    Paint();
    EXPECT_TRUE(TriggerDrawn());
    EXPECT_TRUE(StatusWritten());
    {
        PaperScope paper(*ws);
        EXPECT_EQ(Flags(), std::make_pair(1, 0));
        Paint();  // a paint that does not itself say it is for paper
        EXPECT_FALSE(TriggerDrawn());
        EXPECT_FALSE(StatusWritten());
    }
    EXPECT_EQ(Flags(), std::make_pair(0, 1));
    try {
        PaperScope paper(*ws);
        throw std::runtime_error("printer gone");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Flags(), std::make_pair(0, 1));
}

TEST_F(Paper, CopyFrameFromTheExtentsAndTheFlagsAroundTheCopy)
{
    ws->display.layout.rightExtent = 10000;
    ws->display.layout.bottomExtent = 5000;
    const CopyFrame frame = CopyFrameFor(ws->display.layout);
    EXPECT_EQ(frame.width, 102500);
    EXPECT_EQ(frame.height, 52000);
    const std::string svg = DrawRecordSvg(*ws, frame, "shot.sg2");
    EXPECT_NE(svg.find("width=\"1025mm\" height=\"520mm\""), std::string::npos) << svg.substr(0, 300);

    Paint();  // the extents of this record
    FakeClipboard clipboard;
    EXPECT_EQ(CopyToClipboard(*ws, ui, clipboard, "shot.sg2"), 0);
    EXPECT_EQ(clipboard.flagsWhileDrawing, std::make_pair(1, 0));
    EXPECT_EQ(Flags(), std::make_pair(0, 1));
    EXPECT_EQ(clipboard.frame.width, ws->display.layout.rightExtent * 10 + 2500);
    EXPECT_EQ(clipboard.svg.find("Trigger"), std::string::npos);
    EXPECT_EQ(clipboard.svg.find("Status"), std::string::npos);
    EXPECT_NE(clipboard.svg.find("shot.sg2"), std::string::npos);
    EXPECT_TRUE(ui.Messages().empty());

    clipboard.opens = false;
    ui.ExpectMessage("The clipboard cannot be opened !\n The picture was not copied.");
    CopyToClipboard(*ws, ui, clipboard, "shot.sg2");
    EXPECT_TRUE(ui.VerifyAndClear());
    EXPECT_EQ(Flags(), std::make_pair(0, 1));
}

// ---------------------------------------------------------------------------------------------
// Geometry pictures

TEST(GeometryPicture, ReceiverColours)
{
    EXPECT_EQ(GeometryReceiverColour(0, 0, 1), kGeometryBlue);
    EXPECT_EQ(GeometryReceiverColour(1, 0, 1), kGeometryBlack);
    EXPECT_EQ(GeometryReceiverColour(1, 1, 1), kGeometryRed);
    EXPECT_EQ(GeometryReceiverColour(1, 1, 0), kGeometryYellow);
    EXPECT_EQ(kGeometryCyan, (Rgb{0, 255, 255}));
}

class GeometryTest : public drawtest::DrawTest {
protected:
    // Two rows of three receivers 1 m apart from 0 m, sources at -1 m and 2 m.
    void MakeGroup()
    {
        CFileGroup& g = ws->fileGroup;
        g.sourceCount = 2;
        g.receiverCount = 3;
        g.table.assign(2, std::vector<CTraceEntry>(3));
        for (int j = 0; j < 3; ++j) g.receiverPositions[static_cast<size_t>(j)] = j * 100;
        g.sourcePositions[0] = -100;
        g.sourcePositions[1] = 200;
        g.minPosition = -100;
        for (auto& row : g.table)
            for (CTraceEntry& e : row) {
                e.use = 1;
                e.hasSamples = 1;
            }
        g.table[0][1].use = 0;
        g.table[1][0].hasSamples = 0;
        g.table[1][2].mark = 1;
    }
};

TEST_F(GeometryTest, RowsOfDotsWithACyanSourceAndTheDefaultScales)
{
    EXPECT_EQ(ws->display.geometryXScale, 20.0f);  // no GEOMETRY_XSCALE in this profile
    EXPECT_EQ(ws->display.geometryYScale, 20.0f);
    MakeGroup();
    ws->display.displayMode = 3;
    Paint();
    const auto dots = canvas.OpsOf(Kind::Ellipse);
    ASSERT_EQ(dots.size(), 7u);  // 5 receivers in use, 2 sources
    auto centre = [](const Op* op) {
        return LPoint{(op->points[0].x + op->points[1].x) / 2, (op->points[0].y + op->points[1].y) / 2};
    };
    // Row 0 at y = -300: receivers at 300 + (pos + 1 m) x 20, then the source.
    EXPECT_EQ(centre(dots[0]), (LPoint{320, -300}));
    EXPECT_EQ(dots[0]->brush.colour, kGeometryYellow);
    EXPECT_EQ(centre(dots[2]), (LPoint{300, -300}));
    EXPECT_EQ(dots[2]->brush.colour, kGeometryCyan);
    EXPECT_EQ(dots[0]->points[1].x - dots[0]->points[0].x, 12);
    // Row 1 at y = -(300 + 20).
    EXPECT_EQ(centre(dots[3]), (LPoint{320, -320}));
    EXPECT_EQ(dots[3]->brush.colour, kGeometryBlue);
    EXPECT_EQ(dots[5]->brush.colour, kGeometryRed);
    EXPECT_EQ(dots[6]->brush.colour, kGeometryCyan);
    EXPECT_EQ(centre(dots[6]), (LPoint{360, -320}));
    const auto pixels = canvas.OpsOf(Kind::SetPixel);
    ASSERT_EQ(pixels.size(), 1u);
    EXPECT_EQ(pixels[0]->points[0], (LPoint{340, -300}));
    EXPECT_EQ(pixels[0]->pixel, kGeometryBlack);

    Build("[General]\nMAXTRACES=16\nGEOMETRY_XSCALE=30.5\nGEOMETRY_YSCALE=7\n");
    EXPECT_EQ(ws->display.geometryXScale, 30.5f);
    EXPECT_EQ(ws->display.geometryYScale, 7.0f);
}

TEST_F(GeometryTest, ArrayInPlaneCoordinatesStaysBesideTheOriginAndSkipsUnusedNumbers)
{
    ArrayGeometryView& a = ws->arrayGeometry;
    a.shown = 1;
    a.firstNumber = 5;
    a.points = {{-35000.0f, 12000.0f, 1}, {-34990.0f, 12000.0f, 0}, {-34995.0f, 12010.0f, 1}};
    ws->display.displayMode = 4;
    Paint();
    const auto dots = canvas.OpsOf(Kind::Ellipse);
    ASSERT_EQ(dots.size(), 3u);
    // x from the smallest x, y down from the largest y, both at the x scale.
    EXPECT_EQ(dots[0]->points[0].x + 6, 300);
    EXPECT_EQ(dots[0]->points[0].y - 6, -(300 + 200));
    EXPECT_EQ(dots[2]->points[0].y - 6, -300);
    EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"5", "6"}));
    a.shown = 0;
    Paint();
    EXPECT_TRUE(canvas.OpsOf(Kind::Ellipse).empty());
}

// ---------------------------------------------------------------------------------------------
// Earthquake view

namespace fx = velk::testing::importfixture;

struct EarthquakeFixture {
    EarthquakeFixture() : profile(Profile::FromText("[General]\nMAXTRACES=16\nMAX_SAMPLE=64\n")), ws(profile, ui), doc(ws)
    {
        ws.startup.language = -1;
        ws.diagnostics = std::make_shared<MemoryLogSink>();
        ws.InitForView(folder.Path());
        RegisterFileFormats(doc.Formats());
        ui.SetStrict(false);
        commands = BuildCommandTable();
    }
    // Three stations (east of each other) with three components each: nine traces of 4 samples.
    void LoadSet()
    {
        const char* components[] = {"ns", "ew", "ud"};
        int n = 0;
        for (int s = 0; s < 3; ++s) {
            for (const char* c : components) {
                fx::StationText t;
                t.code = std::string(1, static_cast<char>('C' - s));
                t.frequency = 4;
                t.duration = 1;
                t.stationLongitude = 137.1667 + 0.1 * (3 - s);
                t.counts = {0, 1, 2, 3};
                const std::string path = folder.File(t.code + "." + c);
                velk::testing::WriteFileText(path, fx::StationTextFile(t));
                if (ws.store.TraceCount() > 0) ui.AnswerDialog("COpenDataFileDlg", {{"File", "New file"}});
                if (n++ > 0) ui.AnswerDialog("CSourceReceiverLocationDlg", {{"Location", "Use locations in trace header"}});
                ASSERT_TRUE(doc.LoadRecord(ws, path, ui));
            }
        }
    }
    bool Enabled(int id) const { return commands.IsEnabled(id, ws, recent); }
    bool Checked(int id) const { return commands.IsChecked(id, ws, recent); }

    velk::testing::TempFolder folder;
    ScriptedUiHost ui;
    Profile profile;
    Workspace ws;
    CVelkarineDoc doc;
    CommandTable commands;
    RecentFileList recent;
};

TEST(EarthquakeView, NothingOutsideEarthquakeMode)
{
    EarthquakeFixture f;
    for (int id : {cmd::kEarthquakeViewMode + 1, cmd::kEarthquakeStation, cmd::kEarthquakeOffsetMode + 2,
                   cmd::kSetupEarthquakeTime, cmd::kStartWithEarthquakeTime, cmd::kCorrectTimeAxis, cmd::kSetCorollary}) {
        EXPECT_FALSE(f.Enabled(id)) << id;
    }
    EXPECT_TRUE(f.Enabled(cmd::kFilePrint));
    EXPECT_TRUE(f.Enabled(cmd::kFilePrintPreview));
    EXPECT_EQ(OnCorrectTimeAxis(f.ws), 0);
    EXPECT_EQ(f.ws.display.timeAxisCorrection, 0);
    EXPECT_EQ(OnEarthquakeViewMode(f.ws, f.ui, &f.doc, 1), 0);
}

TEST(EarthquakeView, ModesRefillSortAndDisableTheCurrentItem)
{
    EarthquakeFixture f;
    f.LoadSet();
    ASSERT_EQ(f.ws.store.TraceCount(), 9);
    EXPECT_FALSE(f.Enabled(cmd::kEarthquakeViewMode + 0));  // all traces: the current mode
    EXPECT_TRUE(f.Enabled(cmd::kEarthquakeViewMode + 3));
    EXPECT_FALSE(f.Enabled(cmd::kEarthquakeOffsetMode + 0));
    EXPECT_TRUE(f.Enabled(cmd::kEarthquakeStation));
    EXPECT_TRUE(f.Enabled(cmd::kSetupEarthquakeTime));

    // NS only: one trace per station, sorted by receiver, all shown, samples shown within the
    // traces' length (not the store's capacity of 64).
    f.ws.store.Params().tracesShown = 1;
    CommandContext ctx{f.ws, f.ui, f.doc, f.recent};
    EXPECT_EQ(RunCommand(f.commands, cmd::kEarthquakeViewMode + 1, ctx), 1);
    EXPECT_EQ(f.ws.strongMotion.viewMode, 1);
    ASSERT_EQ(f.ws.store.TraceCount(), 3);
    EXPECT_EQ(f.ws.store.Params().tracesShown, 3);
    EXPECT_EQ(f.ws.store.Params().samplesShown, 4);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(f.ws.store.current.headers[static_cast<size_t>(i)].component, 1);
    EXPECT_LT(f.ws.store.current.headers[0].receiverHundredths, f.ws.store.current.headers[2].receiverHundredths);
    EXPECT_FALSE(f.Enabled(cmd::kEarthquakeViewMode + 1));
    EXPECT_TRUE(f.Enabled(cmd::kEarthquakeViewMode + 0));

    // Offset mode 1 refills too.
    EXPECT_EQ(OnEarthquakeOffsetMode(f.ws, f.ui, &f.doc, 1), 1);
    EXPECT_EQ(f.ws.strongMotion.offsetMode, 1);
    EXPECT_FALSE(f.Enabled(cmd::kEarthquakeOffsetMode + 1));
}

TEST(EarthquakeView, CorrectTimeAxisTogglesAndClearsTheStartAtEarthquakeTime)
{
    EarthquakeFixture f;
    f.LoadSet();
    f.ws.coordinateOrigin.startWithEarthquakeTime = 1;
    EXPECT_TRUE(f.Checked(cmd::kStartWithEarthquakeTime));
    EXPECT_FALSE(f.Checked(cmd::kCorrectTimeAxis));
    EXPECT_EQ(OnCorrectTimeAxis(f.ws), 1);
    EXPECT_EQ(f.ws.display.timeAxisCorrection, 1);
    EXPECT_EQ(f.ws.coordinateOrigin.startWithEarthquakeTime, 0);
    EXPECT_TRUE(f.Checked(cmd::kCorrectTimeAxis));
    EXPECT_FALSE(f.Checked(cmd::kStartWithEarthquakeTime));
    EXPECT_EQ(OnCorrectTimeAxis(f.ws), 1);
    EXPECT_EQ(f.ws.display.timeAxisCorrection, 0);
    EXPECT_EQ(f.ws.coordinateOrigin.startWithEarthquakeTime, 0);

    // The component choice: ten boxes, all checked; it changes nothing.
    f.ui.AnswerDialogWith("CSelectComponentDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Fields().size(), 10u);
        EXPECT_EQ(r.Fields()[0].LabelText(), "1 (NS or Rad)");
        EXPECT_EQ(r.Fields()[2].LabelText(), "3 (UD)");
        for (const DialogField& field : r.Fields()) EXPECT_TRUE(field.BoolValue());
        r.SetFromText("1 (NS or Rad)", "0");
        return true;
    });
    EXPECT_EQ(OnSelectComponents(f.ws, f.ui), 0);
    EXPECT_EQ(f.ws.store.TraceCount(), 9);
}

}  // namespace
}  // namespace velk
