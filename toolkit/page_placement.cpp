#include "toolkit/page_placement.h"

#include <algorithm>
#include <cmath>

namespace velk {

bool PlacePage(wxPrintout& printout, wxDC& dc, wxPoint marginMm, LogicalMapping& mapping, wxPoint* origin)
{
    int ppiX = 0, ppiY = 0;
    printout.GetPPIPrinter(&ppiX, &ppiY);
    if (ppiX <= 0 || ppiY <= 0) return false;
    int pageX = 0, pageY = 0;
    printout.GetPageSizePixels(&pageX, &pageY);
    if (pageX <= 0 || pageY <= 0) {
        int mmX = 0, mmY = 0;
        printout.GetPageSizeMM(&mmX, &mmY);
        pageX = static_cast<int>(std::lround(mmX * ppiX / 25.4));
        pageY = static_cast<int>(std::lround(mmY * ppiY / 25.4));
    }
    if (pageX <= 0 || pageY <= 0) return false;
    if (printout.IsPreview()) {
        int w = 0, h = 0;
        dc.GetSize(&w, &h);
        dc.SetUserScale(static_cast<double>(w) / pageX, static_cast<double>(h) / pageY);
    } else {
        dc.SetUserScale(1.0, 1.0);
    }
    mapping = LogicalMapping::ForDpi(ppiX, ppiY);
    // The paper rectangle the toolkit reports is relative to the printable area; without one (a
    // preview with no printer) the origin stays at the printable area.
    wxPoint at(0, 0);
    const wxRect paper = printout.GetPaperRectPixels();
    if (!paper.IsEmpty()) {
        at.x = std::max(0, paper.x + static_cast<int>(std::lround(marginMm.x * ppiX / 25.4)));
        at.y = std::max(0, paper.y + static_cast<int>(std::lround(marginMm.y * ppiY / 25.4)));
    }
    mapping.scrollX = -at.x;
    mapping.scrollY = -at.y;
    if (origin) *origin = at;
    return true;
}

}  // namespace velk
