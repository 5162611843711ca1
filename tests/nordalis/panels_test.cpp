// The time-frequency viewer's core: reading the exchange file, the panel pictures, the frame
// and labels, the commands and the settings file.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "draw/recording_canvas.h"
#include "nordalis/panel_data.h"
#include "nordalis/panel_image.h"
#include "nordalis/viewer_commands.h"
#include "nordalis/viewer_settings.h"
#include "platform/byte_io.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk::nordalis {
namespace {

using velk::testing::ReadFileText;
using velk::testing::TempFolder;
using velk::testing::WriteFileBytes;
using velk::testing::WriteFileText;

// An exchange file: the header, then value(i, j, k) for every panel, window and frequency (the
// header alone without a value function).
std::vector<uint8_t> WfftBytes(int n1, int n2, int n3, float dt, float df, float (*value)(int, int, int))
{
    ByteSink sink;
    sink.WriteI32(n1, ByteOrder::Little);
    sink.WriteI32(n2, ByteOrder::Little);
    sink.WriteI32(n3, ByteOrder::Little);
    sink.WriteF32(dt, ByteOrder::Little);
    sink.WriteF32(df, ByteOrder::Little);
    for (int i = 0; value && i < n1; ++i)
        for (int j = 0; j < n2; ++j)
            for (int k = 0; k < n3; ++k) sink.WriteF32(value(i, j, k), ByteOrder::Little);
    return sink.Bytes();
}

float Ramp(int i, int j, int k) { return static_cast<float>(i * 10000 + j * 100 + k); }

PanelData Panels(int n1, int n2, int n3, float (*value)(int, int, int))
{
    PanelData d;
    d.n1 = n1;
    d.n2 = n2;
    d.n3 = n3;
    d.timeStep = 4.0f;
    d.frequencyStep = 62.5f;
    d.values = Float3D(n1, n2, n3);
    for (int i = 0; i < n1; ++i)
        for (int j = 0; j < n2; ++j)
            for (int k = 0; k < n3; ++k) d.values(i, j, k) = value(i, j, k);
    return d;
}

TEST(WfftFile, ReadsEveryValueAndRefusesWhatTheFileCannotHold)
{
    TempFolder tmp;
    const std::string good = tmp.File("good.dat");
    WriteFileBytes(good, WfftBytes(3, 5, 4, 4.0f, 62.5f, Ramp));
    const WfftReadResult r = ReadWfftFile(good);
    EXPECT_EQ(r.message, "");
    ASSERT_TRUE(r.data.HasValues());
    EXPECT_EQ(r.data.timeStep, 4.0f);
    EXPECT_EQ(r.data.frequencyStep, 62.5f);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 5; ++j)
            for (int k = 0; k < 4; ++k) ASSERT_EQ(r.data.values(i, j, k), Ramp(i, j, k));

    std::vector<uint8_t> cut = WfftBytes(3, 5, 4, 4.0f, 62.5f, Ramp);
    cut.pop_back();
    std::vector<uint8_t> header19 = WfftBytes(0, 0, 0, 0, 0, nullptr);
    header19.pop_back();
    const int big = std::numeric_limits<int32_t>::max();
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        bool message;
    };
    const Case cases[] = {
        {"19 bytes", header19, true},
        {"one value short", cut, true},
        {"negative count", WfftBytes(-1, 2, 2, 1, 1, nullptr), true},
        {"product beyond 32 bits", WfftBytes(65536, 65536, 1, 1, 1, nullptr), true},
        {"no panels, huge windows", WfftBytes(0, big, big, 1, 1, nullptr), true},
        {"no windows", WfftBytes(2, 0, 8, 1, 1, nullptr), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = tmp.File("case.dat");
        WriteFileBytes(path, c.bytes);
        const WfftReadResult bad = ReadWfftFile(path);
        EXPECT_EQ(bad.message, c.message ? "Cannot read the time-frequency file " + path : "");
        EXPECT_FALSE(bad.data.HasValues());
    }
    EXPECT_EQ(ReadWfftFile(tmp.File("missing.dat")).message,
              "Cannot read the time-frequency file " + tmp.File("missing.dat"));
}

TEST(PanelPicture, PalettesLevelsAndLayout)
{
    const auto& colour = Palette(kColourScheme);
    const auto& grey = Palette(kGreyScheme);
    EXPECT_EQ(colour[0], (Rgb{255, 0, 255}));
    EXPECT_EQ(colour[6], (Rgb{255, 35, 0}));
    EXPECT_EQ(colour[13], (Rgb{255, 255, 0}));
    EXPECT_EQ(colour[24], (Rgb{25, 255, 0}));
    EXPECT_EQ(colour[25], (Rgb{0, 255, 0}));
    EXPECT_EQ(colour[34], (Rgb{0, 25, 225}));
    EXPECT_EQ(colour[36], (Rgb{0, 0, 255}));
    EXPECT_EQ(grey[0], (Rgb{0, 0, 0}));
    EXPECT_EQ(grey[6], (Rgb{43, 43, 43}));
    EXPECT_EQ(grey[36], (Rgb{255, 255, 255}));

    // The highest frequency on the top row; the maximum at level 36, the minimum at 0.
    const PanelData d = Panels(2, 3, 10, [](int, int j, int k) { return static_cast<float>(j * 10 + k); });
    const PanelImage image = MakePanelImage(d, 0, kColourScheme);
    EXPECT_EQ(image.Pixel(2, 0), colour[36]);
    EXPECT_EQ(image.Pixel(0, 9), colour[0]);
    // Panel 1 starts at row 15 of the stacked rows (10 rows and 5 blank per panel).
    const PanelView view{1.5f, 2.0f, 1};
    EXPECT_EQ(PanelRect(d, view, 100, -100, 1), (LRect{100, -100 - 23, 106, -100 - 38}));

    // A flat panel is all level 0; values all above 100000 still span every level.
    const PanelData flat = Panels(1, 4, 4, [](int, int, int) { return 7.0f; });
    EXPECT_EQ(MakePanelImage(flat, 0, kGreyScheme).Pixel(3, 3), grey[0]);
    const PanelData raw = Panels(1, 37, 1, [](int, int j, int) { return 200000.0f + j * 1000.0f; });
    const PanelImage rawImage = MakePanelImage(raw, 0, kGreyScheme);
    for (int j = 0; j < 37; ++j) ASSERT_EQ(rawImage.Pixel(j, 0), grey[static_cast<size_t>(j)]);
    EXPECT_EQ(PanelLevel(std::nanf(""), 0.0f, 1.0f), 0);
}

TEST(PanelPicture, FrameAndLabelsFollowTheScales)
{
    const PanelData d = Panels(2, 100, 20, Ramp);
    RecordingCanvas canvas;
    std::vector<LRect> images;
    const PanelView view{1.5f, 2.0f, 1};
    PanelImageCache cache;
    DrawPanels(canvas, d, view, cache.Images(d, kColourScheme), 100, -100,
               [&](const PanelImage&, LRect r) { images.push_back(r); });
    ASSERT_EQ(images.size(), 2u);
    const auto frames = canvas.OpsOf(RecordingCanvas::Kind::Polyline);
    ASSERT_EQ(frames.size(), 2u);
    // w = 200, h = -30; panel 1 sits trunc(25 x 1.5) = 37 lower.
    EXPECT_EQ(frames[0]->points, (std::vector<LPoint>{{100, -100}, {300, -100}, {300, -130}, {100, -130}, {100, -100}}));
    EXPECT_EQ(frames[1]->points[0], (LPoint{100, -137}));
    const auto texts = canvas.OpsOf(RecordingCanvas::Kind::Text);
    ASSERT_EQ(texts.size(), 8u);
    // The frequency labels end left of the frame (the recording canvas gives a text 35 / 2 a letter).
    EXPECT_EQ(texts[0]->text, " 0.0");
    EXPECT_EQ(texts[0]->points[0], (LPoint{98 - 4 * 35 / 2, -140}));
    EXPECT_EQ(texts[1]->text, "1250.0");
    EXPECT_EQ(texts[1]->points[0], (LPoint{98 - 6 * 35 / 2, -105}));
    EXPECT_EQ(texts[2]->text, "  2.0");
    EXPECT_EQ(texts[2]->points[0], (LPoint{85, -128}));
    EXPECT_EQ(texts[3]->text, "402.0");
    EXPECT_EQ(texts[3]->points[0], (LPoint{280, -128}));
}

TEST(ViewerCommands, ZoomColourAndTextExport)
{
    ViewerState s;
    ScriptedUiHost ui;
    auto run = [&](int id) { return FindViewerCommand(id)->run(s, ui); };
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(run(cmd::kYZoomIn));
    EXPECT_FLOAT_EQ(s.yScale, 3.375f);
    run(cmd::kXZoomIn);
    run(cmd::kXZoomOut);
    EXPECT_NEAR(s.xScale, 1.0f, 1e-6f);
    const ViewerCommand* colour = FindViewerCommand(cmd::kColour);
    run(cmd::kColour);
    EXPECT_FALSE(colour->checked(s));
    run(cmd::kColour);
    EXPECT_TRUE(colour->checked(s));

    TempFolder tmp;
    s.data = Panels(2, 3, 2, [](int i, int j, int k) { return i + j * 0.5f + k * 0.25f; });
    const std::string path = tmp.File("panel.txt");
    ui.AnswerDialog("CSaveTextDataDlg", {{"Trace number", "1"}});
    ui.AnswerFileSave(path);
    run(cmd::kSaveTextData);
    EXPECT_EQ(ReadFileText(path), " 1.000000  1.250000  \n 1.500000  1.750000  \n 2.000000  2.250000  \n");

    // Refused and cancelled exports write nothing.
    const std::string other = tmp.File("other.txt");
    ui.AnswerDialog("CSaveTextDataDlg", {{"Trace number", "2"}});
    ui.ExpectMessage("Trace number must be between 0 and 1.");
    run(cmd::kSaveTextData);
    ui.CancelDialog("CSaveTextDataDlg");
    run(cmd::kSaveTextData);
    ui.AnswerDialog("CSaveTextDataDlg", {{"Trace number", "0"}});
    ui.CancelFileSave();
    run(cmd::kSaveTextData);
    // Without panels nothing is asked: there is no data. The viewer's boxes carry its name.
    s.data = PanelData{};
    ui.ExpectMessage("There is no data to save: no time-frequency panels have been read.");
    run(cmd::kSaveTextData);
    EXPECT_EQ(tmp.Entries(), std::vector<std::string>{"panel.txt"});
    ASSERT_FALSE(ui.Calls().empty());
    EXPECT_EQ(ui.Calls().back().message.caption, "Nordalis");
    EXPECT_TRUE(ui.VerifyAndClear());
}

TEST(ViewerSettingsFile, WrittenInTheCLocaleAndReadWithDefaults)
{
    TempFolder tmp;
    const std::string path = tmp.File(kSettingsFile);
    ViewerSettings s;
    s.left = 12;
    s.top = -3;
    s.width = 640;
    s.height = 480;
    s.yScale = 2.25f;
    s.xScale = 0.5f;
    {
        velk::testing::ScopedGlobalLocale german("de_DE.UTF-8");
        ASSERT_TRUE(WriteViewerSettings(path, s));
    }
    EXPECT_EQ(ReadFileText(path), " 12 \n -3 \n 640 \n 480 \n 2.250000 \n 0.500000 \n");
    const ViewerSettings back = ReadViewerSettings(path);
    EXPECT_TRUE(back.hasPlacement);
    EXPECT_EQ(back.top, -3);
    EXPECT_EQ(back.yScale, 2.25f);

    EXPECT_FALSE(ReadViewerSettings(tmp.File("missing.txt")).hasPlacement);
    struct Case {
        const char* text;
        int width, height;
        float yScale, xScale;
    };
    for (const Case& c : {Case{"", 400, 300, 1.0f, 1.0f}, Case{"junk\n\x01\x02", 400, 300, 1.0f, 1.0f},
                          Case{" 5 \n 6 \n 0 \n -2 \n nan \n -1.5 \n", 400, 300, 1.0f, 1.0f},
                          Case{" 5 \n 6 \n 700 \n", 700, 300, 1.0f, 1.0f}}) {
        SCOPED_TRACE(c.text);
        const ViewerSettings r = ParseViewerSettings(c.text);
        EXPECT_EQ(r.width, c.width);
        EXPECT_EQ(r.height, c.height);
        EXPECT_EQ(r.yScale, c.yScale);
        EXPECT_EQ(r.xScale, c.xScale);
    }
}

}  // namespace
}  // namespace velk::nordalis
