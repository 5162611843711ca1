#include "toolkit/toolbar_art.h"

#include <map>

#include <wx/artprov.h>
#include <wx/dcmemory.h>

namespace velk {

namespace {

// A fully transparent tile of the toolbar's icon size to draw on.
wxBitmap ClearTile()
{
    wxImage image(kToolbarIconSize, kToolbarIconSize);
    image.InitAlpha();
    for (int y = 0; y < kToolbarIconSize; ++y)
        for (int x = 0; x < kToolbarIconSize; ++x) image.SetAlpha(x, y, 0);
    return wxBitmap(image);
}

// A rounded tile with the label's first letters, for commands without a stock picture.
wxBitmap LetterTile(const std::string& label)
{
    const int s = kToolbarIconSize;
    wxBitmap bitmap = ClearTile();
    wxMemoryDC dc(bitmap);
    dc.SetPen(wxPen(wxColour(30, 78, 110)));
    dc.SetBrush(wxBrush(wxColour(214, 232, 244)));
    dc.DrawRoundedRectangle(1, 1, s - 2, s - 2, 4);
    std::string letters;
    for (char c : label) {
        if (std::isalnum(static_cast<unsigned char>(c))) letters += c;
        if (letters.size() == 2) break;
    }
    wxFont font(wxFontInfo(8).Bold());
    dc.SetFont(font);
    dc.SetTextForeground(wxColour(18, 36, 64));
    const wxSize extent = dc.GetTextExtent(letters);
    dc.DrawText(letters, (s - extent.x) / 2, (s - extent.y) / 2);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

// A magnifier with a plus or minus and an arrow along the axis it zooms.
wxBitmap ZoomGlass(bool in, bool vertical)
{
    wxBitmap bitmap = ClearTile();
    wxMemoryDC dc(bitmap);
    dc.SetPen(wxPen(wxColour(30, 78, 110), 2));
    dc.SetBrush(wxBrush(wxColour(214, 232, 244)));
    dc.DrawCircle(9, 9, 7);
    dc.DrawLine(14, 14, 21, 21);
    dc.DrawLine(6, 9, 13, 9);
    if (in) dc.DrawLine(9, 6, 9, 13);
    dc.SetPen(wxPen(wxColour(150, 40, 40), 2));
    if (vertical) {
        dc.DrawLine(21, 2, 21, 11);
    } else {
        dc.DrawLine(13, 21, 22, 21);
    }
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

}  // namespace

wxBitmap ToolbarBitmap(const std::string& key, const std::string& label)
{
    static const std::map<std::string, wxArtID> stock = {
        {"new", wxART_NEW},           {"open", wxART_FILE_OPEN},   {"save", wxART_FILE_SAVE},
        {"about", wxART_HELP},        {"undo", wxART_UNDO},        {"redo", wxART_REDO},
        {"next", wxART_GO_FORWARD},   {"previous", wxART_GO_BACK}, {"print", wxART_PRINT},
        {"copy", wxART_COPY},         {"up", wxART_GO_UP},         {"down", wxART_GO_DOWN},
        {"cut", wxART_CUT},           {"paste", wxART_PASTE},      {"context_help", wxART_QUESTION},
    };
    if (key.rfind("zoom_", 0) == 0) return ZoomGlass(key.find("_in") != std::string::npos, key[5] == 'y');
    auto it = stock.find(key);
    if (it != stock.end()) {
        wxBitmap bitmap = wxArtProvider::GetBitmap(it->second, wxART_TOOLBAR,
                                                   wxSize(kToolbarIconSize, kToolbarIconSize));
        if (bitmap.IsOk()) return bitmap;
    }
    return LetterTile(label);
}

}  // namespace velk
