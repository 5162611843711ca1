// velk_render <out.png> [name=value ...]: draws a synthetic record as the view would and writes
// it as a PNG. Needs an X display (run it under xvfb-run).
//
// With preview=1 the PNG is the page as File > Print preview shows it, through the printout of
// File > Print (orientation=portrait|landscape, pagedpi=60). Without a printer the toolkit's
// GTK preview may look for one for a long time: XDG_CONFIG_HOME with a gtk-3.0/settings.ini
// holding "gtk-print-backends = file" avoids that.

#include <wx/app.h>
#include <wx/generic/printps.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/print.h>

#include <cstdio>
#include <cstdlib>

#include "app/ui/record_print.h"
#include "render_harness.h"

namespace {

// The page as the print preview shows it (the toolkit's preview of the printer chosen by the
// print data), into a bitmap of the paper at `dpi` (default 60).
template <class Base>
class PagePreview : public Base {
public:
    using Base::Base;
    using Base::RenderPageIntoBitmap;
};

int Preview(velk::render::Harness& harness, const velk::render::Options& options, const std::string& png)
{
    wxPrintDialogData dialogData;
    dialogData.SetAllPages(true);
    dialogData.SetFromPage(1);
    dialogData.SetToPage(1);
    const auto it = options.find("orientation");
    const bool landscape = it != options.end() && it->second == "landscape";
    dialogData.GetPrintData().SetOrientation(landscape ? wxLANDSCAPE : wxPORTRAIT);
    dialogData.GetPrintData().SetPaperId(wxPAPER_A4);
    PagePreview<wxPrintPreview> native(new velk::CRecordPrintout(harness.ws(), "shot0001.sg2"), nullptr, &dialogData);
    PagePreview<wxPostScriptPrintPreview> generic(new velk::CRecordPrintout(harness.ws(), "shot0001.sg2"), nullptr,
                                                  &dialogData);
    const auto dpi = options.find("pagedpi");
    const double scale = (dpi == options.end() ? 60.0 : std::atof(dpi->second.c_str())) / 25.4;
    const int w = static_cast<int>(210 * scale), h = static_cast<int>(297 * scale);
    wxBitmap page(landscape ? h : w, landscape ? w : h, 24);
    const bool ok = native.IsOk() ? native.RenderPageIntoBitmap(page, 1) : generic.RenderPageIntoBitmap(page, 1);
    std::printf("rendered=%d printing=%d screen=%d\n", ok ? 1 : 0, harness.ws().display.drawing.printing,
                harness.ws().display.drawing.screen);
    return ok && page.ConvertToImage().SaveFile(wxString::FromUTF8(png), wxBITMAP_TYPE_PNG) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s out.png [name=value ...]\n", argv[0]);
        return 2;
    }
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(wxArgc, wxArgv)) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxInitAllImageHandlers();
    std::vector<std::string> words(argv + 2, argv + argc);
    int rc = 0;
    {
        const velk::render::Options options = velk::render::ParseOptions(words);
        velk::render::Harness harness(options);
        if (options.count("preview")) {
            rc = Preview(harness, options, argv[1]);
        } else if (!harness.Render().ConvertToImage().SaveFile(wxString::FromUTF8(argv[1]), wxBITMAP_TYPE_PNG)) {
            rc = 1;
        }
    }
    wxEntryCleanup();
    return rc;
}
