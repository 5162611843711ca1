#pragma once
// A panel image on a device: only the part inside the clip is scaled (nearest neighbour, blocky
// as a stretch of the whole picture would be) into the device rectangle that the logical
// rectangle maps to, so a zoom costs only what is seen.

#include <wx/dc.h>

#include "draw/mapping.h"
#include "nordalis/panel_image.h"

namespace velk::nordalis {

void DrawPanelImage(wxDC& dc, const LogicalMapping& mapping, const PanelImage& image, LRect where, wxRect clip);

}  // namespace velk::nordalis
