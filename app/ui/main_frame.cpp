#include "app/ui/main_frame.h"

#include <algorithm>
#include <memory>
#include <sstream>
#include <vector>

#include <wx/app.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include "app/acquisition/acquisition_commands.h"
#include "app/acquisition/acquisition_menu_commands.h"
#include "app/formats/document.h"
#include "platform/recent_files.h"
#include "app/ui/gtk_settings.h"
#include "toolkit/toolbar_art.h"
#include "app/ui/velkarine_app.h"
#include "app/ui/velkarine_view.h"
#include "toolkit/wx_uihost.h"
#include "app/workspace.h"
#include "dialogs/app/artwork.h"
#include "dialogs/app/brand_windows.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/termination.h"

namespace velk {

namespace {

wxString W(const std::string& s) { return wxString::FromUTF8(s); }

std::vector<int> CommandIds(const CommandTable& table)
{
    std::vector<int> ids;
    for (const CommandRow& row : table.Rows()) ids.push_back(row.id);
    return ids;
}

wxMenu* MakeMenu(const MenuNode& node, const MenuIdMap& ids)
{
    auto* menu = new wxMenu;
    for (const MenuNode& child : node.children) {
        const int id = ids.ToToolkit(child.id);
        switch (child.kind) {
        case MenuNode::Kind::Separator:
            menu->AppendSeparator();
            break;
        case MenuNode::Kind::Submenu:
            menu->AppendSubMenu(MakeMenu(child, ids), W(child.text));
            break;
        case MenuNode::Kind::RecentFiles:
            menu->Append(cmd::kFileRecentPlaceholder, W(child.text));
            break;
        case MenuNode::Kind::Item:
            switch (child.itemKind) {
            case ItemKind::Check: menu->AppendCheckItem(id, W(child.text), W(child.help)); break;
            case ItemKind::Radio: menu->AppendRadioItem(id, W(child.text), W(child.help)); break;
            default: menu->Append(id, W(child.text), W(child.help)); break;
            }
            break;
        }
    }
    return menu;
}

void CollectChecked(std::ostringstream& out, const wxMenu* menu, const MenuIdMap& ids, bool& first)
{
    for (const wxMenuItem* item : menu->GetMenuItems()) {
        if (item->IsSubMenu()) {
            CollectChecked(out, item->GetSubMenu(), ids, first);
        } else if (item->IsCheckable() && item->IsChecked()) {
            if (!first) out << ',';
            first = false;
            out << ids.FromToolkit(item->GetId());
        }
    }
}

bool IsRecentId(int id) { return id >= cmd::kFileRecentPlaceholder && id < cmd::kFileRecent1 + kRecentFileCount; }

void DescribeMenu(std::ostringstream& out, const wxMenu* menu)
{
    bool first = true;
    for (const wxMenuItem* item : menu->GetMenuItems()) {
        if (!first) out << '|';
        first = false;
        if (item->IsSeparator()) {
            out << '-';
        } else if (item->IsSubMenu()) {
            out << '>' << item->GetItemLabelText().utf8_string() << '{';
            DescribeMenu(out, item->GetSubMenu());
            out << '}';
        } else {
            out << item->GetItemLabelText().utf8_string();
        }
    }
}

}  // namespace

CMainFrame::CMainFrame(CVelkarineApp& app, const ScreenRect& rect)
    : wxFrame(nullptr, wxID_ANY, W(FrameTitle("")), wxPoint(rect.x, rect.y), wxSize(rect.width, rect.height)),
      app_(app),
      ids_(CommandIds(app.commands())),
      restored_(rect.x, rect.y, rect.width, rect.height),
      closeTimer_(this),
      endTimer_(this)
{
    SetIcons(ProgramIcons());
    const StartupValues& s = app_.ws().startup;
    menuResource_ = ChooseMenuResource(s.language, s.feetShortMenu, s.acquisitionMode, s.fullMenu);
    toolbarResource_ = ChooseToolbarResource(s.language, s.feetShortMenu, s.acquisitionMode, s.fullMenu);

    BuildToolBar();
    BuildStatusBar();
    BuildMenuBar();
    RecentFilesChanged();
    view_ = new CVelkarineView(this, app_.ws(), [this] { return Context(); });

    // Every command id: the free range and the stand-ins of the fixed ids of stored resources
    // and modules.
    for (auto [first, last] : {std::pair{cmd::kFreeRangeFirst, cmd::kFreeRangeLast},
                               std::pair{MenuIdMap::kStandInFirst, MenuIdMap::kStandInLast}}) {
        Bind(wxEVT_MENU, &CMainFrame::OnCommand, this, first, last);
        Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateUI, this, first, last);
    }
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        // One modal window a turn, innermost first; then the command comes back to its end.
        if (app_.ui().EndInnermostWindow() || CommandOnStack()) return;
        closeTimer_.Stop();
        Close(true);
    }, closeTimer_.GetId());
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        if (!TerminationRequested()) return;
        endTimer_.Stop();
        EndSession();
    }, endTimer_.GetId());
    endTimer_.Start(200);
    Bind(wxEVT_MOVE, [this](wxMoveEvent& e) { OnMoveOrSize(); e.Skip(); });
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) { OnMoveOrSize(); e.Skip(); });
    Bind(wxEVT_IDLE, [this](wxIdleEvent& e) {
        UpdateLockIndicators();
        app_.ws().launcher->ReapChildren();  // no sibling program is left a zombie
        e.Skip();
    });
}

void CMainFrame::BuildMenuBar()
{
    const StartupValues& s = app_.ws().startup;
    MenuBarModel model = app_.commands().BuildMenuBar(menuResource_, s.language);
    if (PruneFullMenus(model, s.acquisitionMode == 1)) {
        // Read at start; later registrations live in the workspace until it writes them back.
        RegisteredModules& modules = app_.ws().modules;
        if (!modulesRead_) modules.Load(app_.profile());
        modulesRead_ = true;
        AddModuleItems(model, modules.Count(), modules.names);
    }
    auto* bar = new wxMenuBar;
    moduleMenu_ = nullptr;
    for (const MenuNode& top : model.menus) {
        wxMenu* menu = MakeMenu(top, ids_);
        if (top.key == "file") fileMenu_ = menu;
        if (top.key == "module") moduleMenu_ = menu;
        bar->Append(menu, W(top.text));
    }
    SetMenuBar(bar);
}

void CMainFrame::BuildToolBar()
{
    wxToolBar* bar = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT);
    bar->SetToolBitmapSize(wxSize(kToolbarIconSize, kToolbarIconSize));
    const int language = app_.ws().startup.language;
    for (const ToolbarButton& b : app_.commands().BuildToolbar(toolbarResource_, language)) {
        if (b.id == 0) {
            bar->AddSeparator();
        } else {
            bar->AddTool(ids_.ToToolkit(b.id), W(b.tip), ToolbarBitmap(b.icon, b.tip), W(b.tip));
        }
    }
    bar->Realize();
}

void CMainFrame::BuildStatusBar()
{
    wxStatusBar* bar = CreateStatusBar(StatusPanes::kPaneCount);
    // Pane 0 takes the free width; the other text panes start small until the view sizes them.
    widths_[0] = -1;
    for (int i = 1; i < StatusPanes::kTextPanes; ++i) widths_[i] = 60;
    widths_[kKanaPane] = 36;
    widths_[kCapsPane] = 40;
    widths_[kNumPane] = 40;
    widths_[kScrollPane] = 44;
    if (app_.ws().startup.acquisitionMode == 1) {
        // The acquisition panes keep the width of their widest text, and the frame is made wide
        // enough for all of them; on a narrower screen they share its width in proportion, so
        // that every pane shows (only the longest texts are then shortened). The empty first
        // pane takes what is left. The keyboard's lock indicators stay out: the keypad has no
        // such keys, and with them the eight panes would not fit a screen 1024 wide.
        const int margin = bar->GetCharHeight() + 6;  // the pane's text margins and its border
        int texts = 0;
        for (const AcquisitionPane& p : CAcquisitionDevice::WidestStatusPanes()) {
            fitted_[p.pane] = p.text.empty() ? -1 : bar->GetTextExtent(W(p.text)).x + margin;
            texts += std::max(fitted_[p.pane], 0);
        }
        for (int pane : {kKanaPane, kCapsPane, kNumPane, kScrollPane}) widths_[pane] = 0;
        const int rest = 2 * bar->GetCharWidth() + 24;  // some of the free pane, and the size grip
        const int display = wxDisplay::GetFromWindow(this);
        const wxRect area = wxDisplay(display == wxNOT_FOUND ? 0 : static_cast<unsigned>(display)).GetClientArea();
        const int room = area.GetRight() + 1 - GetPosition().x;
        if (texts + rest > room && texts > 0) {
            for (int& w : fitted_)
                if (w > 0) w = w * std::max(room - rest, 0) / texts;
        }
        for (int pane = 0; pane < StatusPanes::kPaneCount; ++pane)
            if (fitted_[pane] != 0) widths_[pane] = fitted_[pane];
        if (GetSize().x < texts + rest) SetSize(std::min(texts + rest, room), GetSize().y);
    }
    bar->SetStatusWidths(StatusPanes::kPaneCount, widths_);
}

// ---------------------------------------------------------------------------------------------

CommandContext CMainFrame::Context()
{
    return CommandContext{app_.ws(), app_.ui(), app_.doc(), app_.recent(), view_, this};
}

void CMainFrame::OnCommand(wxCommandEvent& event)
{
    CommandContext ctx = Context();
    RunCommand(app_.commands(), ids_.FromToolkit(event.GetId()), ctx);
}

void CMainFrame::SendCommand(int id)
{
    const int toolkitId = ids_.ToToolkit(id);
    if (toolkitId < 0) return;  // no such command
    wxCommandEvent event(wxEVT_MENU, toolkitId);
    event.SetEventObject(this);
    GetEventHandler()->ProcessEvent(event);
}

void CMainFrame::OnUpdateUI(wxUpdateUIEvent& event)
{
    const int id = ids_.FromToolkit(event.GetId());
    if (id == cmd::kFileRecentPlaceholder) {
        event.Enable(false);
        return;
    }
    const CommandRow* row = app_.commands().Find(id);
    if (!row) return;
    event.Enable(app_.commands().IsEnabled(id, app_.ws(), app_.recent()));
    if (row->checkRule != kRuleNone) event.Check(app_.commands().IsChecked(id, app_.ws(), app_.recent()));
}

bool CMainFrame::CommandOnStack()
{
    const wxEventLoopBase* active = wxEventLoopBase::GetActive();
    return active == nullptr || active != wxTheApp->GetMainLoop() || active->IsYielding();
}

void CMainFrame::OnClose(wxCloseEvent& event)
{
    Workspace& ws = app_.ws();
    const bool acquisition = ws.startup.acquisitionMode != 0;
    if (!closing_ && event.CanVeto()) {
        bool close = true;
        if (acquisition && !CommandOnStack() && !app_.ui().WindowOpen()) {
            // Every way off the acquisition screen (the close box, File's exit, Shift+F4, a
            // log-out) stops the acquisition and offers the stack in hand before the exit
            // question.
            ApplyAcquisition(OnAcquisitionExit(ws, app_.ui(), close));
            acquisitionStopped_ = close;
        } else {
            const int language = app_.Language();
            close = app_.ui().Message(Msg(language, "Are you sure you want to exit?", "終了してもよろしいですか?"),
                                      MsgButtons::OkCancel, MsgIcon::Question) == MsgResult::Ok;
        }
        if (!close) {
            event.Veto();
            return;
        }
    }
    // The close may arrive from a nested event loop (a window manager's close or a log-out
    // while a command's dialog, a popup menu or a question of the record cycle is open).
    // Destroying the frame then would delete the open windows, the view and the data under the
    // code that waits on them: the open windows end as cancelled, innermost first, further
    // questions are answered as dismissed (the record cycle saves the shot in hand), and the
    // close finishes once the command has returned.
    if (CommandOnStack() || app_.ui().WindowOpen()) {
        if (!closing_) {
            closing_ = true;
            app_.ui().DismissQuestions();
            app_.ui().EndInnermostWindow();
            closeTimer_.Start(50);
        }
        if (event.CanVeto()) event.Veto();
        return;
    }
    if (acquisition && !acquisitionStopped_) {
        // A close that has not stopped the acquisition yet (it waited for a command, or it
        // asks nothing): the stack in hand is offered now, saved as a dismissed question saves
        // it when the close has dismissed the questions.
        acquisitionStopped_ = true;
        ApplyAcquisition(StopAcquisition(ws, app_.ui(), true));
    }
    closeTimer_.Stop();
    app_.ShutDown(RestoredRect());
    Destroy();
}

void CMainFrame::ApplyAcquisition(const AcquisitionEffects& effects)
{
    if (view_) view_->ApplyAcquisition(effects);
}

void CMainFrame::RequestClose() { Close(false); }

void CMainFrame::EndSession()
{
    app_.ui().DismissQuestions();
    Close(true);
}

void CMainFrame::ShowAbout()
{
    CAboutDlg dlg(this, app_.Language(), app_.build());
    dlg.ShowModal();
}

void CMainFrame::PrintRecord(bool preview)
{
    if (preview) {
        printer_.Preview(this, app_.ws(), app_.doc().Title());
    } else {
        printer_.Print(this, app_.ws(), app_.doc().Title());
    }
}

void CMainFrame::PrintSetup() { printer_.PageSetup(this); }


void CMainFrame::DocumentTitleChanged(const std::string& title) { SetTitle(W(FrameTitle(title))); }

void CMainFrame::RecentFilesChanged()
{
    if (!fileMenu_) return;
    int pos = -1;
    for (size_t i = 0; i < fileMenu_->GetMenuItemCount();) {
        wxMenuItem* item = fileMenu_->FindItemByPosition(i);
        if (IsRecentId(item->GetId())) {
            if (pos < 0) pos = static_cast<int>(i);
            fileMenu_->Destroy(item);
        } else {
            ++i;
        }
    }
    if (pos < 0) return;
    const RecentFileList& recent = app_.recent();
    if (recent.Empty()) {
        const std::string text = Msg(app_.Language(), "Recent file", "最近使ったファイル");
        fileMenu_->Insert(static_cast<size_t>(pos), cmd::kFileRecentPlaceholder, W(text))->Enable(false);
        return;
    }
    for (int i = 0; i < recent.Count(); ++i) {
        fileMenu_->Insert(static_cast<size_t>(pos + i), cmd::kFileRecent1 + i,
                          W(RecentFileList::MenuLabel(i, recent.At(i))), W(recent.At(i)));
    }
}

void CMainFrame::ModulesChanged()
{
    if (!moduleMenu_) return;
    for (int i = 0; i < cmd::kModuleCount; ++i) {
        if (wxMenuItem* item = moduleMenu_->FindChildItem(ids_.ToToolkit(cmd::kModuleFirst + i))) {
            moduleMenu_->Destroy(item);
        }
    }
    const RegisteredModules& modules = app_.ws().modules;
    for (int i = 0; i < modules.Count(); ++i) {
        moduleMenu_->Append(ids_.ToToolkit(cmd::kModuleFirst + i), W(modules.names[static_cast<size_t>(i)]));
    }
}

// ---------------------------------------------------------------------------------------------

void CMainFrame::SetPaneText(int pane, const std::string& text)
{
    if (pane < 0 || pane >= StatusPanes::kTextPanes || !GetStatusBar()) return;
    SetStatusText(W(text), pane);
}

void CMainFrame::SetPaneWidth(int pane, int width)
{
    if (pane < 0 || pane >= StatusPanes::kPaneCount || !GetStatusBar()) return;
    // Widths are given for an interface font five pixels a character wide; they grow with ours,
    // so that the read-outs fit.
    if (fitted_[pane] != 0) width = fitted_[pane];
    else if (width > 0) width = std::max(width, width * GetStatusBar()->GetCharWidth() / 5);
    if (widths_[pane] == width) return;
    widths_[pane] = width;
    GetStatusBar()->SetStatusWidths(StatusPanes::kPaneCount, widths_);
}

void CMainFrame::UpdateLockIndicators()
{
    wxStatusBar* bar = GetStatusBar();
    if (!bar) return;
    // The lock keys' states are only known on X11; elsewhere the panes stay empty.
    const bool x11 = wxGetDisplayInfo().type == wxDisplayX11;
    const std::pair<wxKeyCode, const char*> keys[3] = {
        {WXK_CAPITAL, "CAP"}, {WXK_NUMLOCK, "NUM"}, {WXK_SCROLL, "SCRL"}};
    for (int i = 0; i < 3; ++i) {
        const std::string text = x11 && wxGetKeyState(keys[i].first) ? keys[i].second : "";
        if (text != lockTexts_[i]) {
            lockTexts_[i] = text;
            bar->SetStatusText(text, kCapsPane + i);
        }
    }
}

// ---------------------------------------------------------------------------------------------

void CMainFrame::OnMoveOrSize()
{
    if (!IsIconized() && !IsMaximized() && !IsFullScreen()) restored_ = GetRect();
}

FrameRect CMainFrame::RestoredRect() const
{
    const wxRect r = IsIconized() || IsMaximized() || IsFullScreen() ? restored_ : GetRect();
    return FrameRect{r.x, r.y, r.width, r.height};
}

std::string CMainFrame::Describe() const
{
    std::ostringstream out;
    out << "title=" << GetTitle().utf8_string() << '\n';
    out << "language=" << app_.Language() << '\n';
    out << "menu.resource=" << menuResource_ << '\n';
    out << "toolbar.resource=" << toolbarResource_ << '\n';
    const wxMenuBar* bar = GetMenuBar();
    out << "menus=";
    for (size_t i = 0; bar && i < bar->GetMenuCount(); ++i) {
        if (i) out << '|';
        out << bar->GetMenuLabelText(i).utf8_string();
    }
    out << '\n';
    for (size_t i = 0; bar && i < bar->GetMenuCount(); ++i) {
        out << "menu." << i << '=';
        DescribeMenu(out, bar->GetMenu(i));
        out << '\n';
    }
    out << "checked=";
    bool first = true;
    for (size_t i = 0; bar && i < bar->GetMenuCount(); ++i) CollectChecked(out, bar->GetMenu(i), ids_, first);
    out << '\n';
    const wxToolBar* tools = GetToolBar();
    out << "toolbar=";
    for (size_t i = 0; tools && i < tools->GetToolsCount(); ++i) {
        if (i) out << ',';
        const wxToolBarToolBase* tool = tools->GetToolByPos(static_cast<int>(i));
        if (tool->IsSeparator()) {
            out << '-';
        } else {
            out << ids_.FromToolkit(tool->GetId());
        }
    }
    out << '\n';
    out << "toolbar.shown=" << (tools && tools->IsShown() ? 1 : 0) << '\n';
    out << "statusbar.panes=" << (GetStatusBar() ? GetStatusBar()->GetFieldsCount() : 0) << '\n';
    out << "font=" << InterfaceFont() << '\n';
    const FrameRect r = RestoredRect();
    out << "rect=" << r.x << ',' << r.y << ',' << r.width << ',' << r.height << '\n';
    out << "shown=" << (IsShown() ? 1 : 0) << " iconized=" << (IsIconized() ? 1 : 0) << '\n';
    const wxSize client = GetClientSize();
    out << "client.size=" << client.x << 'x' << client.y << '\n';
    if (view_) {
        const wxRect v = view_->GetRect();
        out << "view.rect=" << v.x << ',' << v.y << ',' << v.width << ',' << v.height << '\n';
        const LSize visible = view_->VisibleSize();
        out << "view.visible=" << visible.cx << ',' << visible.cy << '\n';
    }
    if (const wxStatusBar* bar = GetStatusBar()) {
        out << "status=";
        for (int i = 0; i < StatusPanes::kTextPanes; ++i) out << (i ? "|" : "") << bar->GetStatusText(i).utf8_string();
        out << '\n';
    }
    // What the mouse left: the picks, the selection and the overlay figures.
    const Workspace& ws = app_.ws();
    const CParameterSet& params = ws.store.Params();
    out << "picks=";
    for (int i = 0; i < ws.store.TraceCount(); ++i) {
        out << (i ? "," : "") << FormatC("%.2f", static_cast<double>(params.pickTimes[static_cast<size_t>(i)]));
    }
    out << "\nselected=";
    for (int i = 0; i < ws.store.TraceCount(); ++i) out << params.selectionFlags[static_cast<size_t>(i)];
    out << "\nreceivers=";
    for (int i = 0; i < ws.store.TraceCount(); ++i) {
        out << (i ? "," : "") << ws.store.current.headers[static_cast<size_t>(i)].receiverHundredths;
    }
    out << "\nsamples0=";
    for (int k = 0; k < std::min(100, ws.store.TraceSamples(0)); ++k) {
        out << (k ? "," : "") << FormatC("%g", static_cast<double>(ws.store.current.rows.Row(0)[static_cast<size_t>(k)]));
    }
    const RecordLayout& layout = ws.display.layout;
    out << "\nlayout=" << layout.xorg << ',' << layout.yorg << ',' << FormatC("%g", static_cast<double>(layout.distanceOrigin))
        << ',' << FormatC("%g", static_cast<double>(layout.timeOffset)) << ',' << layout.direction;
    out << "\ninterval=" << FormatC("%g", static_cast<double>(params.sampleInterval));
    out << "\noverlay=";
    for (const OverlayFigure& f : ws.display.overlay.Figures()) {
        out << f.owner << ':';
        for (const LPoint& p : f.points) out << '(' << p.x << ',' << p.y << ')';
        out << (f.text.empty() ? "" : "\"" + f.text + "\"") << ';';
    }
    out << '\n';
    std::istringstream display(DescribeDisplayState(app_.ws()));
    for (std::string line; std::getline(display, line);) out << "display." << line << '\n';
    return out.str();
}

void CMainFrame::SetFrameIcon(int resource)
{
    if (resource == iconResource_) return;
    iconResource_ = resource;
    SetIcons(FrameIcons(resource));
}

void CMainFrame::PopupAcquisitionMenu()
{
    const MenuBarModel model = app_.commands().BuildMenuBar(menuResource_, app_.ws().startup.language);
    const MenuNode* node = model.Find("acquisition");
    if (!node || !view_) return;
    std::unique_ptr<wxMenu> menu(MakeMenu(*node, ids_));
    // At the view's top left, inside the frame wherever the pointer is; its items come to the
    // frame's command handler. A close while it is open takes it down first.
    app_.ui().PopupMenu(*view_, *menu, wxPoint(0, 0));
}

}  // namespace velk
