#pragma once
// Where a printout's page puts the logical origin: one logical unit is one printer pixel (in the
// preview too, zoomed to the preview's size), and the origin is the top-left corner of the
// printable area, or of the page setup's margins when they lie further in. A preview without a
// printer reports no page size in pixels: the paper's millimetres give it.

#include <wx/dc.h>
#include <wx/print.h>

#include "draw/mapping.h"

namespace velk {

// Sets the DC's user scale and returns the mapping for a WxDcCanvas over it, with the origin in
// *origin; false (nothing set) when the printer reports no resolution or page size.
bool PlacePage(wxPrintout& printout, wxDC& dc, wxPoint marginMm, LogicalMapping& mapping, wxPoint* origin);

}  // namespace velk
