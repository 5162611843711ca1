// The record in the real program's view: a SEG-2 record opened through the File road is drawn
// in the window, the "Axis configuration" command's window comes up with the record's axes, and
// Edit > Copy to clipboard offers another program a picture of the record.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/image.h>
#include <wx/imagpng.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "app/view/axis_config.h"
#include "app/view/print_view_commands.h"
#include "app/formats/seg2_commands.h"
#include "gui_support.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using namespace velk::gui;
using velk::testing::ReadFileText;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;

// One run of the program on the bundled record: an English profile and a home of its own, a
// script that opens the record and goes on with `then`.
struct SampleRecordRun {
    TempFolder folder;
    std::string report = folder.File("report.txt"), go = folder.File("go");

    bool Start(Child& program, const std::string& display, const std::string& then)
    {
        const std::string profile = folder.File("Velkarine.ini");
        WriteFileText(profile, "[General]\nLanguageRegister=1\nLanguage=-1\n");
        const std::string record = std::string(VELK_SOURCE_DIR) + "/data/sample-shot.sg2";
        const std::string script = "sleep 300; answer " + record + "; command " + std::to_string(cmd::kOpenSeg2) +
                                   "; sleep 800; " + then;
        return program.Start({VELK_PROGRAM},
                             {{"DISPLAY", display},
                              {"VELKARINE_PROFILE", profile},
                              {"VELKARINE_HOME", folder.File("home")},
                              {"VELKARINE_UI_SCRIPT", script},
                              {"LANG", "C.UTF-8"}},
                             folder.File("output.txt"));
    }
    std::string Output() const { return ReadFileText(folder.File("output.txt")); }
};

TEST(RecordViewInTheProgram, AnOpenedRecordIsDrawnInTheView)
{
    PrivateDisplay display;
    if (!display.Ok()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    if (!HaveProgram("import")) GTEST_SKIP() << "no screenshot tool (ImageMagick import)";
    // Open the record, then show the axis dialog's window (the test ends the program).
    SampleRecordRun run;
    const std::string& report = run.report;
    Child program;
    ASSERT_TRUE(run.Start(program, display.Name(),
                          "report " + report + "; waitfile " + run.go + "; command " + std::to_string(cmd::kAxisConfiguration)));
    ASSERT_TRUE(WaitForFile(report, 30s)) << run.Output();
    std::this_thread::sleep_for(300ms);
    const std::string shot = ShotPath("record-view.png");
    ASSERT_TRUE(Screenshot(display.Name(), shot));
    std::cout << "[ screenshot ] " << shot << '\n';
    WriteFileText(run.go, "");
    std::this_thread::sleep_for(1500ms);
    const std::string dialogShot = ShotPath("record-view-axis-configuration.png");
    if (Screenshot(display.Name(), dialogShot)) std::cout << "[ screenshot ] " << dialogShot << '\n';
    program.Kill();

    // Ink inside the view: the frame, the traces and their labels.
    const auto r = ParseReport(ReadFileText(report));
    EXPECT_NE(r.at("display.traces").substr(r.at("display.traces").find('/') + 1), "0");
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    wxImage image;
    ASSERT_TRUE(image.LoadFile(wxString::FromUTF8(shot), wxBITMAP_TYPE_PNG));
    // The record's ink on the screen: dark lines and labels, and the blue time grid that nothing
    // else draws.
    int dark = 0, colour = 0;
    for (int py = 0; py < image.GetHeight(); ++py) {
        for (int px = 0; px < image.GetWidth(); ++px) {
            const int red = image.GetRed(px, py), green = image.GetGreen(px, py), blue = image.GetBlue(px, py);
            if (red < 60 && green < 60 && blue < 60) ++dark;
            if (red == 0 && green == 100 && blue == 200) ++colour;  // the time grid
        }
    }
    EXPECT_GT(colour, 50);
    EXPECT_GT(dark, 500);
}

// The program copies the record; this process, another client of the same display, reads the
// picture as the PNG the toolkit offers (its size from the PNG header, so no image handler of
// this process plays a part).
TEST(RecordViewInTheProgram, CopyToClipboardOffersAPictureOfTheRecord)
{
    const char* shared = std::getenv("DISPLAY");
    if (!wxTheApp || !shared) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    SampleRecordRun run;
    Child program;
    ASSERT_TRUE(run.Start(program, shared, "command " + std::to_string(cmd::kCopyToClipboard) + "; report " + run.report +
                                               "; waitfile " + run.go));
    ASSERT_TRUE(WaitForFile(run.report, 30s)) << run.Output();

    ASSERT_TRUE(wxTheClipboard->Open());
    wxCustomDataObject png(wxDataFormat("image/png"));
    // A picture the program cannot give makes the toolkit assert: a failure here, not a box.
    const wxAssertHandler_t before = wxSetAssertHandler(
        [](const wxString& file, int line, const wxString&, const wxString& cond, const wxString& msg) {
            ADD_FAILURE() << file.utf8_string() << ":" << line << " " << cond.utf8_string() << " " << msg.utf8_string();
        });
    const bool got = wxTheClipboard->GetData(png);
    wxSetAssertHandler(before);
    wxTheClipboard->Close();
    WriteFileText(run.go, "");
    program.Kill();
    ASSERT_TRUE(got) << run.Output();
    ASSERT_GE(png.GetSize(), 24u);
    const auto* bytes = static_cast<const unsigned char*>(png.GetData());
    auto be32 = [&](size_t at) { return (bytes[at] << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3]; };
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes) + 12, 4), "IHDR");
    const int width = be32(16), height = be32(20);
    const std::string shot = ShotPath("record-view-clipboard.png");
    std::ofstream(shot, std::ios::binary).write(static_cast<const char*>(png.GetData()), static_cast<std::streamsize>(png.GetSize()));
    std::cout << "[ picture ] " << shot << " (" << width << " x " << height << ")\n";
    EXPECT_GT(width, 100);
    EXPECT_GT(height, 100);
}

}  // namespace
}  // namespace velk
