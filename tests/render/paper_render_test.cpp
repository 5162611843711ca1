// The record on paper through the toolkit: the printout's page as the print preview renders it
// (no trigger line, the flags back afterwards, the record at its true size) and the clipboard
// copy holding both the SVG and the bitmap.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/dcscreen.h>
#include <wx/dataobj.h>
#include <wx/generic/printps.h>
#include <wx/image.h>

#include <cstdlib>
#include <iostream>

#include "app/ui/record_print.h"
#include "gui/gui_support.h"
#include "platform/numtext.h"
#include "render_harness.h"
#include "tools/scripted_uihost.h"

namespace velk {
namespace {

using render::Harness;
using render::ParseOptions;

class PaperPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!wxTheApp || !std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (Xvfb) for the render test";
    }
    static int Count(const wxImage& image, unsigned char r, unsigned char g, unsigned char b)
    {
        int n = 0;
        const unsigned char* p = image.GetData();
        for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i, p += 3)
            if (p[0] == r && p[1] == g && p[2] == b) ++n;
        return n;
    }
    static std::pair<int, int> Flags(Harness& h) { return {h.ws().display.drawing.printing, h.ws().display.drawing.screen}; }
};

// The page of the preview, for the generic printer (the GTK preview looks for printers first).
class PagePreview : public wxPostScriptPrintPreview {
public:
    using wxPostScriptPrintPreview::RenderPageIntoBitmap;
    using wxPostScriptPrintPreview::wxPostScriptPrintPreview;
};

TEST_F(PaperPicture, PreviewPageHasNoTriggerLineAndTheFlagsComeBack)
{
    Harness h(ParseOptions({"traces=12", "trigger=1", "delay_us=-20000"}));
    const wxImage screen = h.Render().ConvertToImage();
    EXPECT_GT(Count(screen, 200, 200, 0), 20);  // the trigger line on the screen

    wxPrintDialogData data;
    data.SetAllPages(true);
    data.SetFromPage(1);
    data.SetToPage(1);
    data.GetPrintData().SetPaperId(wxPAPER_A4);
    {
        PagePreview preview(new CRecordPrintout(h.ws(), "shot0001.sg2"), nullptr, &data);
        ASSERT_TRUE(preview.IsOk());
        constexpr double kDpi = 100.0;
        wxBitmap page(static_cast<int>(210 / 25.4 * kDpi), static_cast<int>(297 / 25.4 * kDpi), 24);
        ASSERT_TRUE(preview.RenderPageIntoBitmap(page, 1));
        EXPECT_EQ(Flags(h), std::make_pair(0, 1));
        const wxImage image = page.ConvertToImage();
        const std::string path = gui::ShotPath("render-print-page.png");
        if (image.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG)) std::cout << "[ picture ] " << path << '\n';
        EXPECT_EQ(Count(image, 200, 200, 0), 0);
        // At its true size: the frame's left edge 30 mm from the printable area's edge (the
        // paper's here), seen 2 mm below the frame's top.
        int left = -1;
        const int y = static_cast<int>(32 / 25.4 * kDpi);
        for (int x = 0; x < image.GetWidth() && left < 0; ++x)
            if (image.GetRed(x, y) < 200) left = x;
        EXPECT_NEAR(left, 30 / 25.4 * kDpi, 3);
    }
    // A printout that ends between begin and end of printing still gives the flags back.
    {
        CRecordPrintout printout(h.ws(), "shot0001.sg2");
        printout.OnBeginPrinting();
        EXPECT_EQ(Flags(h), std::make_pair(1, 0));
    }
    EXPECT_EQ(Flags(h), std::make_pair(0, 1));
}

TEST_F(PaperPicture, ClipboardHoldsTheSvgAndTheBitmap)
{
    Harness h(ParseOptions({"traces=12"}));
    h.Render();  // the extents of the last paint
    WxRecordClipboard clipboard;
    ScriptedUiHost ui;
    EXPECT_EQ(CopyToClipboard(h.ws(), ui, clipboard, "shot0001.sg2"), 0);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(Flags(h), std::make_pair(0, 1));
    ASSERT_TRUE(clipboard.Bitmap().IsOk());
    const CopyFrame frame = CopyFrameFor(h.ws().display.layout);
    EXPECT_NEAR(clipboard.Bitmap().GetWidth(), frame.width / 2540.0 * wxScreenDC().GetPPI().x, 2);

    ASSERT_TRUE(wxTheClipboard->Open());
    const wxDataFormat svgFormat(kSvgMimeType);
    EXPECT_TRUE(wxTheClipboard->IsSupported(svgFormat));
    EXPECT_TRUE(wxTheClipboard->IsSupported(wxDF_BITMAP));
    wxCustomDataObject svg(svgFormat);
    ASSERT_TRUE(wxTheClipboard->GetData(svg));
    const std::string text(static_cast<const char*>(svg.GetData()), svg.GetSize());
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find(FormatC("width=\"%gmm\"", frame.width / 100.0)), std::string::npos);
    wxBitmapDataObject bitmap;
    ASSERT_TRUE(wxTheClipboard->GetData(bitmap));
    EXPECT_EQ(bitmap.GetBitmap().GetWidth(), clipboard.Bitmap().GetWidth());
    wxTheClipboard->Close();
}

}  // namespace
}  // namespace velk
