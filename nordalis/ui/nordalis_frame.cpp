#include "nordalis/ui/nordalis_frame.h"

#include <vector>

#include <wx/dcclient.h>
#include <wx/menu.h>
#include <wx/printdlg.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include "nordalis/ui/panel_bitmap.h"
#include "platform/numtext.h"
#include "platform/recent_files.h"
#include "toolkit/page_placement.h"
#include "toolkit/toolbar_art.h"
#include "toolkit/wx_dc_canvas.h"
#include "toolkit/wx_uihost.h"

namespace velk::nordalis {

namespace {

constexpr int kToolbarId = 128;
constexpr int kMessagePane = 0;
constexpr int kCapsPane = 1;
constexpr int kToolbarViewId = wxID_HIGHEST + 1;
constexpr int kStatusBarViewId = wxID_HIGHEST + 2;

wxString W(const std::string& s) { return wxString::FromUTF8(s); }

std::vector<int> ViewerIds()
{
    std::vector<int> ids;
    for (const ViewerCommand& c : ViewerCommands()) ids.push_back(c.id);
    return ids;
}

// Frames, labels and the exposed part of every image on one DC.
void PaintPanels(wxDC& dc, const LogicalMapping& mapping, CNordalisView& view, wxRect clip, bool printer)
{
    ViewerState& s = view.State();
    if (!s.data.HasValues()) return;
    WxDcCanvas canvas(dc, mapping);
    canvas.SetMatchScreenText(printer);
    canvas.SetPen(Pen{PenStyle::Solid, 0, {0, 0, 0}});
    canvas.SetTextColour({0, 0, 0});
    canvas.SetFont(Font{});
    DrawPanels(canvas, s.data, s.View(), view.Images().Images(s.data, s.colourScheme), s.originX, s.originY,
               [&](const PanelImage& image, LRect where) {
                   canvas.Flush();
                   DrawPanelImage(dc, mapping, image, where, clip);
               });
    canvas.Flush();
}

}  // namespace

// ---------------------------------------------------------------------------------------------

CNordalisView::CNordalisView(wxWindow* parent, WxUiHost&, const std::string& exchangeFile,
                             const ViewerSettings& settings)
    : wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxHSCROLL | wxVSCROLL | wxFULL_REPAINT_ON_RESIZE)
{
    WfftReadResult read = ReadWfftFile(exchangeFile);
    readMessage_ = read.message;
    state_.data = std::move(read.data);
    state_.yScale = settings.yScale;
    state_.xScale = settings.xScale;
    SetBackgroundColour(*wxWHITE);
    SetScrollbars(1, 1, kScrollSize, kScrollSize);
    Bind(wxEVT_PAINT, &CNordalisView::OnPaint, this);
}

CNordalisView::~CNordalisView() { ReleasePanels(state_.data); }

void CNordalisView::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    TouchFrameEcho(kFrameEchoFile);
    LogicalMapping mapping = LogicalMapping::ForDpi(dc.GetPPI().x, dc.GetPPI().y);
    GetViewStart(&mapping.scrollX, &mapping.scrollY);
    const wxSize size = GetClientSize();
    PaintPanels(dc, mapping, *this, wxRect(0, 0, size.x, size.y), false);
}

// ---------------------------------------------------------------------------------------------

CMainFrame::CMainFrame(WxUiHost& ui, RecentFileList& recent, const ViewerSettings& settings,
                       const std::string& exchangeFile)
    : wxFrame(nullptr, wxID_ANY, "Nordalis"), ui_(ui), ids_(ViewerIds())
{
    BuildMenus(recent);
    BuildToolBar();
    wxStatusBar* bar = CreateStatusBar(4);
    const int widths[4] = {-1, 40, 40, 40};
    bar->SetStatusWidths(4, widths);
    bar->SetStatusText("Ready", kMessagePane);
    view_ = new CNordalisView(this, ui, exchangeFile, settings);

    Bind(wxEVT_MENU, &CMainFrame::OnViewerCommand, this);
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateViewerCommand, this);
    Bind(wxEVT_MENU, &CMainFrame::OnPrint, this, wxID_PRINT);
    Bind(wxEVT_MENU, &CMainFrame::OnPreview, this, wxID_PREVIEW);
    Bind(wxEVT_MENU, &CMainFrame::OnPageSetup, this, wxID_PRINT_SETUP);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, wxID_EXIT);
    Bind(wxEVT_MENU, &CMainFrame::OnToggleBar, this, kToolbarViewId);
    Bind(wxEVT_MENU, &CMainFrame::OnToggleBar, this, kStatusBarViewId);
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateBar, this, kToolbarViewId);
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateBar, this, kStatusBarViewId);
    Bind(wxEVT_IDLE, &CMainFrame::OnIdle, this);
}

void CMainFrame::BuildMenus(RecentFileList& recent)
{
    auto* file = new wxMenu;
    file->Append(ids_.ToToolkit(cmd::kSaveTextData), "Save text data file");
    file->AppendSeparator();
    file->Append(wxID_PRINT, "&Print...\tCtrl+P");
    file->Append(wxID_PREVIEW, "Print Pre&view");
    file->Append(wxID_PRINT_SETUP, "P&rint Setup...");
    file->AppendSeparator();
    // The viewer opens no document by name: the list is shown as it is kept, and disabled.
    if (recent.Empty()) {
        file->Append(wxID_FILE1, "Recent file")->Enable(false);
    } else {
        for (int i = 0; i < recent.Count(); ++i) {
            file->Append(wxID_FILE1 + i, W(RecentFileList::MenuLabel(i, recent.At(i))))->Enable(false);
        }
    }
    file->AppendSeparator();
    file->Append(wxID_EXIT, "E&xit");
    auto* view = new wxMenu;
    view->AppendCheckItem(kToolbarViewId, "&Toolbar");
    view->AppendCheckItem(kStatusBarViewId, "&Status Bar");
    view->AppendCheckItem(ids_.ToToolkit(cmd::kColour), W(FindViewerCommand(cmd::kColour)->menuText));
    auto* help = new wxMenu;
    help->Append(wxID_HELP_CONTENTS, "&Help Topics")->Enable(false);
    help->AppendSeparator();
    help->Append(ids_.ToToolkit(cmd::kAbout), W(FindViewerCommand(cmd::kAbout)->menuText));
    auto* bar = new wxMenuBar;
    bar->Append(file, "&File");
    bar->Append(view, "&View");
    bar->Append(help, "&Help");
    SetMenuBar(bar);
}

void CMainFrame::BuildToolBar()
{
    wxToolBar* bar = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT, kToolbarId);
    struct Button {
        int id;
        const char* icon;
        const char* tip;
        bool enabled;
    };
    // The four document buttons and context help have no command here: shown, disabled.
    const Button buttons[] = {
        {wxID_NEW, "new", "New", false},           {wxID_OPEN, "open", "Open", false},
        {wxID_SAVE, "save", "Save", false},        {wxID_CUT, "cut", "Cut", false},
        {wxID_COPY, "copy", "Copy", false},        {wxID_PASTE, "paste", "Paste", false},
        {wxID_PRINT, "print", "Print", true},      {cmd::kAbout, "about", "About", true},
        {wxID_CONTEXT_HELP, "context_help", "Help", false},
        // The panels' frequency runs up the page (y), their time across it (x).
        {cmd::kYZoomIn, "zoom_y_in", "Zoom in (frequency)", true},
        {cmd::kYZoomOut, "zoom_y_out", "Zoom out (frequency)", true},
        {cmd::kXZoomIn, "zoom_x_in", "Zoom in (time)", true},
        {cmd::kXZoomOut, "zoom_x_out", "Zoom out (time)", true},
    };
    for (const Button& b : buttons) {
        if (b.id == wxID_PRINT || b.id == cmd::kYZoomIn) bar->AddSeparator();
        const int id = ids_.ToToolkit(b.id);
        bar->AddTool(id, b.tip, ToolbarBitmap(b.icon, b.tip), b.tip);
        bar->EnableTool(id, b.enabled);
    }
    bar->Realize();
}

void CMainFrame::SendCommand(int id)
{
    const int toolkitId = ids_.ToToolkit(id);
    if (toolkitId < 0) return;  // no such command
    wxCommandEvent event(wxEVT_MENU, toolkitId);
    event.SetEventObject(this);
    ProcessWindowEvent(event);
}

void CMainFrame::OnViewerCommand(wxCommandEvent& event)
{
    const ViewerCommand* command = FindViewerCommand(ids_.FromToolkit(event.GetId()));
    if (!command) {
        event.Skip();
        return;
    }
    if (command->run(view_->State(), ui_)) view_->Refresh();
}

void CMainFrame::OnUpdateViewerCommand(wxUpdateUIEvent& event)
{
    const ViewerCommand* command = FindViewerCommand(ids_.FromToolkit(event.GetId()));
    if (!command) {
        event.Skip();
        return;
    }
    event.Enable(true);
    if (command->checked) event.Check(command->checked(view_->State()));
}

void CMainFrame::OnToggleBar(wxCommandEvent& event)
{
    wxWindow* bar = event.GetId() == kToolbarViewId ? static_cast<wxWindow*>(GetToolBar()) : GetStatusBar();
    if (bar) {
        bar->Show(!bar->IsShown());
        SendSizeEvent();
    }
}

void CMainFrame::OnUpdateBar(wxUpdateUIEvent& event)
{
    wxWindow* bar = event.GetId() == kToolbarViewId ? static_cast<wxWindow*>(GetToolBar()) : GetStatusBar();
    event.Check(bar && bar->IsShown());
}

void CMainFrame::OnIdle(wxIdleEvent& event)
{
    event.Skip();
    wxStatusBar* bar = GetStatusBar();
    if (!bar) return;
    // The lock keys' states are only known on X11; elsewhere the panes stay empty.
    const bool x11 = wxGetDisplayInfo().type == wxDisplayX11;
    const std::pair<wxKeyCode, const char*> keys[3] = {{WXK_CAPITAL, "CAP"}, {WXK_NUMLOCK, "NUM"}, {WXK_SCROLL, "SCRL"}};
    for (int i = 0; i < 3; ++i) {
        const std::string text = x11 && wxGetKeyState(keys[i].first) ? keys[i].second : "";
        if (text != lockTexts_[static_cast<size_t>(i)]) {
            lockTexts_[static_cast<size_t>(i)] = text;
            bar->SetStatusText(text, kCapsPane + i);
        }
    }
}

void CMainFrame::OnPrint(wxCommandEvent&)
{
    wxPrinter printer(&printData_);
    CNordalisPrintout printout(*view_, pageSetup_.GetMarginTopLeft());
    if (printer.Print(this, &printout, true)) printData_ = printer.GetPrintDialogData();
}

void CMainFrame::OnPreview(wxCommandEvent&)
{
    auto* preview = new wxPrintPreview(new CNordalisPrintout(*view_, pageSetup_.GetMarginTopLeft()),
                                       new CNordalisPrintout(*view_, pageSetup_.GetMarginTopLeft()), &printData_);
    if (!preview->IsOk()) {
        delete preview;
        return;
    }
    auto* frame = new wxPreviewFrame(preview, this, "Print Preview");
    frame->Initialize();
    frame->Show();
}

void CMainFrame::OnPageSetup(wxCommandEvent&)
{
    pageSetup_.SetPrintData(printData_.GetPrintData());
    wxPageSetupDialog dialog(this, &pageSetup_);
    if (dialog.ShowModal() == wxID_OK) {
        pageSetup_ = dialog.GetPageSetupDialogData();
        printData_.SetPrintData(pageSetup_.GetPrintData());
    }
}

std::string CMainFrame::Describe()
{
    UpdateWindowUI();
    const ViewerState& s = view_->State();
    const bool colourChecked = GetMenuBar()->IsChecked(ids_.ToToolkit(cmd::kColour));
    return FormatC("title=%s\ncolour=%d\nyscale=%f\nxscale=%f\npanels=%d windows=%d frequencies=%d\n",
                   GetTitle().utf8_string().c_str(), colourChecked ? 1 : 0, static_cast<double>(s.yScale),
                   static_cast<double>(s.xScale), s.data.n1, s.data.n2, s.data.n3);
}

ViewerSettings CMainFrame::SettingsToKeep() const
{
    ViewerSettings s;
    const wxRect r = GetRect();
    s.hasPlacement = true;
    s.left = r.x;
    s.top = r.y;
    s.width = r.width;
    s.height = r.height;
    s.yScale = view_->State().yScale;
    s.xScale = view_->State().xScale;
    return s;
}

// ---------------------------------------------------------------------------------------------

CNordalisPrintout::CNordalisPrintout(CNordalisView& view, wxPoint marginMm)
    : wxPrintout("Nordalis"), view_(view), marginMm_(marginMm)
{
}

void CNordalisPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo)
{
    *minPage = *maxPage = *pageFrom = *pageTo = 1;
}

bool CNordalisPrintout::OnPrintPage(int)
{
    wxDC* dc = GetDC();
    if (!dc) return false;
    LogicalMapping mapping;
    wxPoint origin;
    if (!PlacePage(*this, *dc, marginMm_, mapping, &origin)) return false;
    int w = 0, h = 0;
    GetPageSizePixels(&w, &h);
    PaintPanels(*dc, mapping, view_, wxRect(0, 0, std::max(w, 1), std::max(h, 1)), true);
    return true;
}

}  // namespace velk::nordalis
