// The record as the view draws it, in a bitmap: pixel facts at mapped positions, the line
// raster's batching against drawing each line at once, the pictures of the layouts for a
// person to look at, and the "Axis configuration" window.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/radiobox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <cstring>
#include <iostream>
#include <random>

#include <wx/dcmemory.h>

#include "app/operations.h"
#include "app/traveltime/modelling_commands.h"
#include "app/view/axis_config.h"
#include "dialogs/app/axis_config_dlg.h"
#include "gui/gui_support.h"
#include "render_harness.h"
#include "tools/scripted_uihost.h"
#include "toolkit/wx_dc_canvas.h"

namespace velk {
namespace {

using namespace velk::gui;
using render::Harness;
using render::ParseOptions;

class WxEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        display_ = std::make_unique<PrivateDisplay>();
        if (!display_->Ok()) return;
        ::setenv("DISPLAY", display_->Name().c_str(), 1);
        static char name[] = "render_tests";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        wxApp::SetInstance(new wxApp());
        ready_ = wxEntryStart(argc, argv);
        if (ready_) {
            wxTheApp->CallOnInit();
            wxInitAllImageHandlers();
        }
    }
    void TearDown() override
    {
        if (ready_) wxEntryCleanup();
        ready_ = false;
        display_.reset();
    }
    static bool Ready() { return ready_; }
    static const std::string& Display() { return display_->Name(); }

private:
    static inline std::unique_ptr<PrivateDisplay> display_;
    static inline bool ready_ = false;
};

[[maybe_unused]] ::testing::Environment* const kWx = ::testing::AddGlobalTestEnvironment(new WxEnvironment);

class RecordPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!WxEnvironment::Ready()) GTEST_SKIP() << "no X server (Xvfb) for the render test";
    }

    static wxImage Draw(Harness& h, const std::string& shot = {})
    {
        wxImage image = h.Render().ConvertToImage();
        if (!shot.empty()) {
            const std::string path = ShotPath("render-" + shot + ".png");
            if (image.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG)) std::cout << "[ picture ] " << path << '\n';
        }
        return image;
    }
    static int Count(const wxImage& image, unsigned char r, unsigned char g, unsigned char b)
    {
        int n = 0;
        for (int y = 0; y < image.GetHeight(); ++y)
            for (int x = 0; x < image.GetWidth(); ++x)
                n += image.GetRed(x, y) == r && image.GetGreen(x, y) == g && image.GetBlue(x, y) == b ? 1 : 0;
        return n;
    }
    // The darkest pixel within `radius` of a device point.
    static int Darkest(const wxImage& image, DevicePoint p, int radius = 1)
    {
        int darkest = 255 * 3;
        for (int y = p.y - radius; y <= p.y + radius; ++y)
            for (int x = p.x - radius; x <= p.x + radius; ++x)
                if (x >= 0 && y >= 0 && x < image.GetWidth() && y < image.GetHeight())
                    darkest = std::min(darkest, image.GetRed(x, y) + image.GetGreen(x, y) + image.GetBlue(x, y));
        return darkest;
    }
};

TEST_F(RecordPicture, FrameAtTheOriginSelectionInRedAndTheEmptyNotice)
{
    Harness plain(ParseOptions({}));
    const wxImage image = Draw(plain);
    const LogicalMapping& m = plain.Mapping();
    const int xorg = plain.ws().settings.xOrg0, yorg = plain.ws().settings.yOrg0;
    EXPECT_LT(Darkest(image, m.ToDevice({xorg, -yorg})), 200);             // the frame's corner
    EXPECT_LT(Darkest(image, m.ToDevice({xorg + 200, -yorg}), 0), 200);    // its top line
    EXPECT_EQ(Count(image, 255, 0, 0), 0);

    Harness selected(ParseOptions({"select=5"}));
    const wxImage red = Draw(selected);
    EXPECT_GT(Count(red, 255, 0, 0), 200);

    Harness empty(ParseOptions({"empty=1"}));
    const wxImage notice = Draw(empty, "empty");
    const DevicePoint at = empty.Mapping().ToDevice({10, -18});
    int ink = 0;
    for (int y = at.y; y < at.y + 16; ++y)
        for (int x = at.x; x < at.x + 120; ++x) ink += notice.GetRed(x, y) < 128 ? 1 : 0;
    EXPECT_GT(ink, 30);
    EXPECT_GT(Darkest(notice, empty.Mapping().ToDevice({xorg, -yorg}), 2), 700);  // no frame
}

TEST_F(RecordPicture, BatchedTraceLinesAreThoseDrawnOneByOne)
{
    // Dense traces (many samples to a pixel column) through the line raster: drawn in one batch
    // from their samples, column by column and in bands on several threads, or line by line
    // from their points and laid on the bitmap after each: the same pixels.
    for (const char* shading : {"shading=0", "shading=1"}) {
        const std::vector<std::string> dense = {"traces=48", "samples=16000", "interval_us=125", "hscale=0.4",
                                                "plotscale=8", "components=1-8", "select=3", shading, "trigger=1"};
        Harness batched(ParseOptions(dense));
        std::vector<std::string> oneByOne = dense;
        oneByOne.push_back("batch=0");
        Harness each(ParseOptions(oneByOne));
        const wxImage a = Draw(batched, std::string("dense-") + shading), b = Draw(each);
        ASSERT_EQ(a.GetSize(), b.GetSize());
        const size_t bytes = static_cast<size_t>(a.GetWidth()) * a.GetHeight() * 3;
        EXPECT_EQ(std::memcmp(a.GetData(), b.GetData(), bytes), 0) << shading;
    }
}

TEST_F(RecordPicture, PicturesOfTheLayouts)
{
    const std::vector<std::pair<std::string, std::vector<std::string>>> pictures = {
        {"direction0", {}},
        {"direction1", {"direction=1", "plotscale=40"}},
        {"shading-negative", {"shading=-1"}},
        {"shading-none", {"shading=0"}},
        {"shading-positive", {"shading=1"}},
        {"components-colour", {"components=1-8", "traces=16", "select=9"}},
        {"components-monochrome", {"components=1-8", "traces=16", "colour=-1", "select=9"}},
        {"spectrum-fill", {"signal=spectrum", "datakind=1", "fill=1", "trigger=-1"}},
        {"three-component", {"components=3c", "threec=1", "traces=18", "amplitude=1"}},
        {"japanese", {"language=1", "amplitude=1"}},
    };
    for (const auto& [name, options] : pictures) {
        Harness h(ParseOptions(options));
        const wxImage image = Draw(h, name);
        EXPECT_GT(Count(image, 255, 255, 255), image.GetWidth() * image.GetHeight() / 4) << name;
    }
}

TEST_F(RecordPicture, ColourContoursAndTheVelocityModel)
{
    // Cells of one colour drawn as one path paint the pixels they paint one by one, also where
    // many cells share a pixel.
    for (const char* mode : {"plotmode=0", "plotmode=1"}) {
        const std::vector<std::string> dense = {mode,          "traces=64",    "samples=2000", "interval_us=250",
                                                "hscale=0.8",  "vscale=0.01",  "signal=shot",  "fastfills=0"};
        Harness batched(ParseOptions(dense));
        std::vector<std::string> oneByOne = dense;
        oneByOne.push_back("batchpolygons=0");
        Harness each(ParseOptions(oneByOne));
        const wxImage a = Draw(batched), b = Draw(each);
        ASSERT_EQ(a.GetSize(), b.GetSize());
        EXPECT_EQ(std::memcmp(a.GetData(), b.GetData(), static_cast<size_t>(a.GetWidth()) * a.GetHeight() * 3), 0) << mode;
    }
    // A sine record spans the levels: magenta lows, yellow and green, blue highs, inside the frame.
    const std::vector<std::string> sine = {"signal=sine", "samples=400", "hscale=3", "vscale=0.01"};
    for (const char* mode : {"plotmode=0", "plotmode=1"}) {
        std::vector<std::string> options = sine;
        options.push_back(mode);
        Harness h(ParseOptions(options));
        const wxImage image = Draw(h, std::string("contour-mode") + (mode + 9));
        EXPECT_GT(Count(image, 255, 0, 255), 500) << mode;
        EXPECT_GT(Count(image, 0, 255, 0) + Count(image, 100, 255, 0) + Count(image, 0, 200, 50), 500) << mode;
        EXPECT_GT(Count(image, 0, 50, 200) + Count(image, 0, 25, 225), 500) << mode;
        const LogicalMapping& m = h.Mapping();
        const DevicePoint beyond = m.ToDevice({h.ws().display.layout.rightExtent + 20, -400});
        EXPECT_EQ(image.GetRed(beyond.x, beyond.y) + image.GetGreen(beyond.x, beyond.y), 510) << mode;
    }
    // The velocity model with its cells and legend column, and the bubbles.
    for (const char* mode : {"plotmode=0", "plotmode=1", "plotmode=-1"}) {
        Harness h(ParseOptions({"displaymode=1", mode, "traces=24", "samples=40", "interval_us=1000", "signal=sine",
                                "vscale=0.01", "outline=1"}));
        const wxImage image = Draw(h, std::string("velocity-model-mode") + (mode + 9));
        EXPECT_GT(Count(image, 255, 255, 255), image.GetWidth() * image.GetHeight() / 4) << mode;
        EXPECT_GT(Count(image, 255, 0, 0) + Count(image, 255, 0, 255), 100) << mode;
    }
}

// The pixels where two pictures differ, red on white, for a person to look at.
std::string Difference(const wxImage& a, const wxImage& b, const std::string& name)
{
    wxImage d(a.GetWidth(), a.GetHeight());
    int count = 0;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x) {
            const bool same = a.GetRed(x, y) == b.GetRed(x, y) && a.GetGreen(x, y) == b.GetGreen(x, y) &&
                              a.GetBlue(x, y) == b.GetBlue(x, y);
            count += same ? 0 : 1;
            d.SetRGB(x, y, 255, same ? 255 : 0, same ? 255 : 0);
        }
    const std::string path = ShotPath("render-fill-difference-" + name + ".png");
    d.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG);
    return std::to_string(count) + " pixels differ: " + path;
}

bool SamePicture(const wxImage& a, const wxImage& b)
{
    return a.GetSize() == b.GetSize() &&
           std::memcmp(a.GetData(), b.GetData(), static_cast<size_t>(a.GetWidth()) * a.GetHeight() * 3) == 0;
}

TEST_F(RecordPicture, RasterFillsPaintWhatTheToolkitsFillsPaint)
{
    // Polygons of every kind (crossing themselves, either fill rule, partly off the bitmap or
    // reaching far beyond it) through the raster and through the device one by one.
    wxBitmap raster(160, 120, 24), device(160, 120, 24);
    const LogicalMapping mapping = LogicalMapping::ForDpi(254.0, 254.0);  // a unit a pixel
    std::mt19937 random(11);
    auto paint = [&](wxBitmap& bitmap, bool fills) {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        WxDcCanvas canvas(dc, mapping, bitmap.GetSize());
        canvas.SetRasterFills(fills);
        canvas.SetBatchPolygons(false);
        canvas.SetPen(Pen{PenStyle::Null, 0, {}});
        std::mt19937 again = random;
        for (int k = 0; k < 400; ++k) {
            const int n = 3 + static_cast<int>(again() % 7);
            const int spread = k % 3 == 0 ? 20 : 190;
            std::vector<LPoint> points;
            for (int i = 0; i < n; ++i) {
                LPoint p{static_cast<int32_t>(again() % spread) - 15, -(static_cast<int32_t>(again() % spread) - 15)};
                if (k % 50 == 7 && i == 0) p.x = 30'000'000;  // beyond the limit: nothing is drawn
                p.x += (k % 7) * 20;
                points.push_back(p);
            }
            canvas.SetBrush(Brush{Rgb{static_cast<uint8_t>(again()), static_cast<uint8_t>(k), 90}, false});
            canvas.Polygon(points, k % 2 ? FillMode::Alternate : FillMode::Winding);
        }
        canvas.Flush();
        dc.SelectObject(wxNullBitmap);
    };
    paint(raster, true);
    paint(device, false);
    const wxImage a = raster.ConvertToImage(), b = device.ConvertToImage();
    EXPECT_TRUE(SamePicture(a, b)) << Difference(a, b, "polygons");

    // The layouts that fill, in both directions, at a small size and at the benchmarks' size;
    // records with runs of NaN, infinite and huge samples draw and fill alike on both roads.
    const std::vector<std::vector<std::string>> records = {
        {"plotmode=0", "signal=sine", "samples=400", "hscale=3", "vscale=0.01"},
        {"plotmode=1", "signal=sine", "samples=400", "hscale=3", "vscale=0.01", "lines=1"},
        {"plotmode=0", "signal=sine", "samples=400", "hscale=3", "vscale=0.01", "direction=1"},
        {"plotmode=1", "signal=sine", "samples=400", "hscale=3", "vscale=0.01", "direction=1"},
        {"displaymode=1", "plotmode=0", "traces=24", "samples=40", "interval_us=1000", "signal=sine", "vscale=0.01"},
        {"displaymode=1", "plotmode=1", "traces=24", "samples=40", "interval_us=1000", "signal=sine", "vscale=0.01",
         "outline=1"},
        {"signal=spectrum", "datakind=1", "fill=1", "trigger=-1"},
        {"signal=spectrum", "datakind=1", "fill=1", "trigger=-1", "direction=1", "plotscale=40"},
        {"shading=1", "samples=600"},
        {"shading=-1", "samples=600", "direction=1", "plotscale=40"},
        {"plotmode=1", "signal=sine", "samples=400", "hscale=3", "vscale=0.01", "badsamples=1", "normalisation=2"},
        {"signal=spectrum", "datakind=1", "fill=1", "trigger=-1", "badsamples=1", "normalisation=2"},
        {"plotmode=0", "traces=128", "samples=4100", "interval_us=250", "hscale=4", "plotscale=20", "vscale=0.01",
         "width=1920", "height=1200"},
        {"plotmode=1", "traces=128", "samples=4100", "interval_us=250", "hscale=4", "plotscale=20", "vscale=0.01",
         "width=1920", "height=1200"},
        {"plotmode=1", "traces=128", "samples=4100", "interval_us=250", "hscale=4", "plotscale=20", "vscale=0.01",
         "width=1920", "height=1200", "direction=1"},
    };
    for (size_t r = 0; r < records.size(); ++r) {
        Harness fast(ParseOptions(records[r]));
        std::vector<std::string> options = records[r];
        options.insert(options.end(), {"fastfills=0", "batchpolygons=0"});
        Harness slow(ParseOptions(options));
        const wxImage x = Draw(fast, "fill-" + std::to_string(r)), y = Draw(slow);
        EXPECT_TRUE(SamePicture(x, y)) << records[r][0] << ' ' << records[r][1] << ": "
                                       << Difference(x, y, std::to_string(r));
    }
}

// The two-layer model: the slow layer (rows 0-98) in the band of 2000 m/s above the fast one
// (rows 101-200); the flat cells of plot mode 0 take the colours of the banded fill of mode 1.
TEST_F(RecordPicture, TwoLayerVelocityModel)
{
    std::map<int, std::vector<Rgb>> colours;
    for (const int mode : {0, 1}) {
        Harness h(ParseOptions({}));
        OnNewTwoLayerModel(h.ws());
        h.ws().display.plotMode = mode;
        h.ws().display.plotSubFlag = 0;
        const wxImage image = Draw(h, "two-layer-model-mode" + std::to_string(mode));
        const ContourPalette& palette = h.ws().palette;
        const Rgb slow = BandColour(palette, ContourCellBand(palette, -10.0f));
        const Rgb fast = BandColour(palette, ContourCellBand(palette, 10.0f));
        ASSERT_FALSE(slow == fast);
        for (const int row : {2, 50, 97, 102, 150, 198}) {
            for (const int column : {3, 100, 197}) {
                // Cell (column, row) of 1 m at plotscale 5: 300 + 5 column, 200 + 5 row below the origin.
                const DevicePoint p = h.Mapping().ToDevice({300 + 5 * column + 2, -200 - 5 * row - 2});
                const Rgb pixel{image.GetRed(p.x, p.y), image.GetGreen(p.x, p.y), image.GetBlue(p.x, p.y)};
                EXPECT_TRUE(pixel == (row < 99 ? slow : fast)) << mode << ": " << column << ", " << row;
                colours[mode].push_back(pixel);
            }
        }
    }
    EXPECT_TRUE(colours[0] == colours[1]);
}

// Pictures to look at: the traveltime contours after "Raytracing" in the two-layer model, and
// the dispersive record as wiggles.
TEST_F(RecordPicture, TraveltimeContoursAndTheDispersiveRecord)
{
    ScriptedUiHost ui;
    ViewProgressText progress(nullptr);
    Harness model(ParseOptions({}));
    OnNewTwoLayerModel(model.ws());
    ui.AnswerDialog("CModelingDlg", {{"Source location", "100"}, {"Source depth", "50"}});
    ASSERT_EQ(OnRaytracing(model.ws(), ui, progress), 1);
    const wxImage contours = Draw(model, "traveltime-contours");
    EXPECT_GT(contours.GetWidth() * contours.GetHeight() - Count(contours, 255, 255, 255), 5000);

    Harness record(ParseOptions({"traces=48", "samples=4096"}));
    ASSERT_EQ(OnDispersiveSurfaceWave(record.ws(), ui), 1);
    const wxImage wiggles = Draw(record, "dispersive-record");
    EXPECT_GT(wiggles.GetWidth() * wiggles.GetHeight() - Count(wiggles, 255, 255, 255), 5000);
}

TEST_F(RecordPicture, PicksShotCurvesVelocityAndMuteLines)
{
    // Picks on the direct wave as red ticks, the record's shot as a magenta curve through them
    // and two other shots in green; a velocity line in red; in both directions.
    const std::vector<std::string> picking = {"editmode=1", "picks=first", "shots=3", "showcurves=1",
                                              "velocity=20,10,60,30", "samples=300", "hscale=6", "plotscale=25"};
    for (const char* direction : {"direction=0", "direction=1"}) {
        std::vector<std::string> options = picking;
        options.push_back(direction);
        Harness h(ParseOptions(options));
        const wxImage image = Draw(h, std::string("picks-") + direction);
        EXPECT_GT(Count(image, 255, 0, 0), 24 * 6) << direction;    // ticks and the velocity line
        EXPECT_GT(Count(image, 255, 0, 255), 100) << direction;     // the record's shot
        EXPECT_GT(Count(image, 0, 255, 0), 200) << direction;       // the other two
    }
    // The curves stay off until asked for; the ticks stay.
    std::vector<std::string> off = picking;
    off[3] = "showcurves=-1";
    Harness h(ParseOptions(off));
    const wxImage image = Draw(h);
    EXPECT_EQ(Count(image, 0, 255, 0), 0);
    EXPECT_GT(Count(image, 255, 0, 0), 24 * 6);

    // The mute lines: thin, so smoothed; count the pixels that are mostly magenta.
    Harness mute(ParseOptions({"editmode=9", "mute=4,0.5,10,0.8,60", "samples=300", "hscale=6"}));
    const wxImage lines = Draw(mute, "mute");
    int magenta = 0;
    for (int y = 0; y < lines.GetHeight(); ++y)
        for (int x = 0; x < lines.GetWidth(); ++x)
            magenta += lines.GetRed(x, y) > 200 && lines.GetGreen(x, y) < 120 && lines.GetBlue(x, y) > 200 ? 1 : 0;
    EXPECT_GT(magenta, 200);
}

TEST_F(RecordPicture, PicksCurvesAndLinesStayInsideThePlotFrame)
{
    // 30 ms shown of picks that run to 125 ms, curves through them and a velocity line to 80 ms.
    for (const char* direction : {"direction=0", "direction=1"}) {
        Harness h(ParseOptions({"editmode=1", "picks=first", "shots=3", "showcurves=1", "velocity=5,0,80,40",
                                "samples=60", "hscale=20", "plotscale=25", direction}));
        const wxImage image = Draw(h, std::string("picks-framed-") + direction);
        const std::optional<PlotFrame>& frame = h.ws().display.layout.frame;
        ASSERT_TRUE(frame.has_value()) << direction;
        const DevicePoint a = h.Mapping().ToDevice({frame->left, frame->top});
        const DevicePoint b = h.Mapping().ToDevice({frame->right, frame->bottom});
        const int left = std::min(a.x, b.x) - 1, right = std::max(a.x, b.x) + 1;  // a pen's width
        const int top = std::min(a.y, b.y) - 1, bottom = std::max(a.y, b.y) + 1;
        int inside = 0, outside = 0;
        for (int y = 0; y < image.GetHeight(); ++y) {
            for (int x = 0; x < image.GetWidth(); ++x) {
                const int r = image.GetRed(x, y), g = image.GetGreen(x, y), bl = image.GetBlue(x, y);
                const bool red = r > 200 && g < 80 && bl < 80, magenta = r > 200 && g < 80 && bl > 200;
                const bool green = r < 80 && g > 200 && bl < 80;
                if (!red && !magenta && !green) continue;
                (x >= left && x <= right && y >= top && y <= bottom ? inside : outside) += 1;
            }
        }
        EXPECT_GT(inside, 100) << direction;
        EXPECT_EQ(outside, 0) << direction;
    }
}

TEST_F(RecordPicture, AxisConfigurationWindow)
{
    Harness h(ParseOptions({}));
    h.Render();  // the tick choice the dialog is preset from
    CAxisConfigDlg dlg = PresetAxisConfig(h.ws());
    DialogRequest request = dlg.Request(-1);
    request.Load();
    auto* window = new CAxisConfigWnd(nullptr, request, -1);
    window->Show();
    for (int i = 0; i < 10; ++i) {
        wxTheApp->Yield(true);
        wxMilliSleep(30);
    }
    auto* margin = dynamic_cast<wxStaticText*>(window->FindWindow(CAxisConfigDlg::kFirstUnitLabelId + 6));
    ASSERT_NE(margin, nullptr);
    EXPECT_EQ(margin->GetLabel(), "mm");
    auto* end = dynamic_cast<wxTextCtrl*>(window->FindWindow(CAxisConfigDlg::kTimeEndId));
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(end->GetValue(), "600");  // the axis runs on to its next tick
    const std::string shot = ShotPath("render-axis-configuration.png");
    if (Screenshot(WxEnvironment::Display(), shot)) std::cout << "[ screenshot ] " << shot << '\n';

    // The other units: the axis values x 0.001 and their labels in seconds at once.
    auto* units = dynamic_cast<wxRadioBox*>(window->FindWindow(CAxisConfigDlg::kUnitsId));
    ASSERT_NE(units, nullptr);
    units->SetSelection(1);
    wxCommandEvent event(wxEVT_RADIOBOX, CAxisConfigDlg::kUnitsId);
    event.SetInt(1);
    event.SetEventObject(units);
    units->GetEventHandler()->ProcessEvent(event);
    EXPECT_EQ(end->GetValue(), "0.6");
    EXPECT_EQ(dynamic_cast<wxStaticText*>(window->FindWindow(CAxisConfigDlg::kFirstUnitLabelId + 1))->GetLabel(), "sec");
    EXPECT_TRUE(window->TakeValues().empty());
    request.Commit();
    EXPECT_EQ(dlg.units, 1);
    EXPECT_FLOAT_EQ(dlg.timeEnd, 0.6f);
    window->Destroy();
}

}  // namespace
}  // namespace velk
