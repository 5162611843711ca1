// velk_render <out.png> [name=value ...]: draws a synthetic record as the view would and writes
// it as a PNG. Needs an X display (run it under xvfb-run).

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include <cstdio>

#include "render_harness.h"

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
    wxInitAllImageHandlers();
    std::vector<std::string> words(argv + 2, argv + argc);
    int rc = 0;
    {
        velk::render::Harness harness(velk::render::ParseOptions(words));
        if (!harness.Render().ConvertToImage().SaveFile(wxString::FromUTF8(argv[1]), wxBITMAP_TYPE_PNG)) rc = 1;
    }
    wxEntryCleanup();
    return rc;
}
