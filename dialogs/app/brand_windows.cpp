#include "dialogs/app/brand_windows.h"

#include <wx/button.h>
#include <wx/dcbuffer.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "dialogs/app/artwork.h"
#include "platform/language.h"

namespace velk {

namespace {

wxString W(const std::string& s) { return wxString::FromUTF8(s); }

std::string Subtitle(int language)
{
    return Msg(language, "Shallow-seismic survey workstation", "浅層地震探査ワークステーション");
}

// A panel that paints the banner behind nothing else.
class BannerPanel : public wxPanel {
public:
    BannerPanel(wxWindow* parent, const wxSize& size, const wxColour& accent)
        : wxPanel(parent, wxID_ANY, wxDefaultPosition, size), accent_(accent)
    {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxAutoBufferedPaintDC dc(this);
            DrawBanner(dc, GetClientRect(), accent_);
        });
    }

private:
    wxColour accent_;
};

}  // namespace

std::string VersionLine(int language, const BuildInfo& build)
{
    return Msg(language, "Velkarine Version ", "Velkarine バージョン ") + build.version;
}

std::string RightsLine(int /*language*/)
{
    return "Copyright (C) 2026 The Velkarine developers";
}

std::string MakerLine(int language)
{
    return Msg(language, "Made by the Velkarine project", "製作: Velkarine プロジェクト");
}

// ---------------------------------------------------------------------------------------------

CAboutDlg::CAboutDlg(wxWindow* parent, int language, const BuildInfo& build)
    : wxDialog(parent, wxID_ANY, W(Msg(language, "About Velkarine", "バージョン情報")))
{
    SetIcons(ProgramIcons());
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(new BannerPanel(this, wxSize(420, 90), wxColour(150, 210, 240)), 0, wxEXPAND);

    auto* body = new wxBoxSizer(wxHORIZONTAL);
    body->Add(new wxStaticBitmap(this, wxID_ANY, ProgramBitmap(48)), 0, wxALL, 12);
    auto* lines = new wxBoxSizer(wxVERTICAL);
    auto* name = new wxStaticText(this, wxID_ANY, W(VersionLine(language, build)));
    name->SetFont(name->GetFont().Bold());
    lines->Add(name, 0, wxBOTTOM, 4);
    lines->Add(new wxStaticText(this, wxID_ANY, W(Subtitle(language))), 0, wxBOTTOM, 8);
    lines->Add(new wxStaticText(this, wxID_ANY, W(RightsLine(language))), 0, wxBOTTOM, 4);
    lines->Add(new wxStaticText(this, wxID_ANY, W(MakerLine(language))), 0, wxBOTTOM, 4);
    lines->Add(new wxStaticText(this, wxID_ANY,
                                W(Msg(language, "Built ", "ビルド日 ") + build.buildDate)),
               0);
    body->Add(lines, 1, wxTOP | wxRIGHT | wxBOTTOM, 12);
    top->Add(body, 1, wxEXPAND);

    auto* ok = new wxButton(this, wxID_OK, "OK");
    ok->SetDefault();
    top->Add(ok, 0, wxALIGN_RIGHT | wxRIGHT | wxBOTTOM, 12);
    SetSizerAndFit(top);
    CentreOnParent();
}

// ---------------------------------------------------------------------------------------------

CStartPanel::CStartPanel(Kind kind, int language, const BuildInfo& build)
    : wxFrame(nullptr, wxID_ANY, "Velkarine", wxDefaultPosition, wxSize(520, 280),
              wxFRAME_NO_TASKBAR | wxSTAY_ON_TOP | wxBORDER_SIMPLE),
      kind_(kind),
      language_(language),
      build_(build)
{
    SetIcons(ProgramIcons());
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CStartPanel::OnPaint, this);
    CentreOnScreen();
}

void CStartPanel::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    const wxRect all = GetClientRect();
    const bool splash = kind_ == Kind::AcquisitionSplash;
    DrawBanner(dc, all, splash ? wxColour(255, 200, 120) : wxColour(150, 210, 240));

    // A dark band for the text.
    const wxRect band(0, all.height - 118, all.width, 118);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxColour(10, 22, 40)));
    dc.DrawRectangle(band);
    dc.DrawBitmap(ProgramBitmap(64), 18, band.y + 26, false);

    dc.SetTextForeground(wxColour(240, 244, 248));
    wxFont big = GetFont();
    big.SetPointSize(20);
    big.SetWeight(wxFONTWEIGHT_BOLD);
    dc.SetFont(big);
    dc.DrawText("Velkarine", 98, band.y + 10);
    wxFont small = GetFont();
    dc.SetFont(small);
    const std::string subtitle = splash ? Msg(language_, "Data acquisition", "データ収録") : Subtitle(language_);
    dc.DrawText(W(subtitle), 98, band.y + 46);
    dc.DrawText(W(VersionLine(language_, build_)), 98, band.y + 68);
    dc.DrawText(W(RightsLine(language_)), 98, band.y + 90);
}

}  // namespace velk
