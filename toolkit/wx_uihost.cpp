#include "toolkit/wx_uihost.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

#include <dlfcn.h>

#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
// After msgdlg.h, which declares the base it builds on.
#include <wx/generic/msgdlgg.h>
#include <wx/modalhook.h>
#include <wx/timer.h>

#include "toolkit/ui_script.h"
#include "toolkit/form_dlg.h"
#include "toolkit/progress_dlg.h"
#include "toolkit/two_choice_dlg.h"
#include "platform/file_patterns.h"
#include "platform/language.h"

namespace velk {

namespace {

constexpr const char* kWindowAnswer = "window ";
constexpr int kWindowAnswerMilliseconds = 700;

wxString W(const std::string& s) { return wxString::FromUTF8(s); }

wxString Wildcard(const std::vector<FileFilter>& filters)
{
    if (filters.empty()) return "*";
    wxString wildcard;
    for (const FileFilter& f : filters) {
        if (!wildcard.empty()) wildcard += "|";
        wildcard += W(f.description) + "|" + W(CaseBlindPatterns(f.pattern));
    }
    return wildcard;
}

std::optional<MsgResult> ParseResult(const std::string& text)
{
    if (text == "OK" || text == "Ok" || text == "ok") return MsgResult::Ok;
    if (text == "Cancel" || text == "cancel") return MsgResult::Cancel;
    if (text == "Yes" || text == "yes") return MsgResult::Yes;
    if (text == "No" || text == "no") return MsgResult::No;
    return std::nullopt;
}

// Closes the progress window when the sink is dropped.
class ProgressWindow : public ProgressSink {
public:
    explicit ProgressWindow(CProgressDlg* dialog) : dialog_(dialog) {}
    ~ProgressWindow() override { dialog_->Destroy(); }
    void SetRange(int n) override { dialog_->SetRange(n); }
    void StepIt() override { dialog_->StepIt(); }
    void SetText(const std::string& text) override { dialog_->SetText(text); }

private:
    CProgressDlg* dialog_;
};

// The toolkit calls that end a dialog or a popup menu it runs in a loop of its own. The toolkit library is
// loaded with wx; its calls are reached by name, as its development headers are not needed for
// these. A call that is not found is said once on standard error: the dialog then stays open,
// and a scripted run that waits for it to end fails on its time limit with the reason in its
// output.
struct NativeDialogCalls {
    using TypeFn = unsigned long (*)();
    using IsAFn = int (*)(void*, unsigned long);
    using ResponseFn = void (*)(void*, int);
    using PopDownFn = void (*)(void*);
    using ListFn = void* (*)();
    using FlagFn = int (*)(void*);
    using FreeFn = void (*)(void*);
    TypeFn type = nullptr;
    IsAFn isA = nullptr;
    ResponseFn respond = nullptr;
    PopDownFn popDown = nullptr;
    ListFn toplevels = nullptr;
    FlagFn visible = nullptr;
    FlagFn modal = nullptr;
    FreeFn freeList = nullptr;
};

const NativeDialogCalls& NativeCalls()
{
    static const NativeDialogCalls calls = [] {
        NativeDialogCalls c;
        auto find = [](const char* name) {
            void* symbol = ::dlsym(RTLD_DEFAULT, name);
            if (!symbol) std::fprintf(stderr, "Cannot end a native window: the toolkit call %s is not found\n", name);
            return symbol;
        };
        c.type = reinterpret_cast<NativeDialogCalls::TypeFn>(find("gtk_dialog_get_type"));
        c.isA = reinterpret_cast<NativeDialogCalls::IsAFn>(find("g_type_check_instance_is_a"));
        c.respond = reinterpret_cast<NativeDialogCalls::ResponseFn>(find("gtk_dialog_response"));
        c.popDown = reinterpret_cast<NativeDialogCalls::PopDownFn>(find("gtk_menu_popdown"));
        c.toplevels = reinterpret_cast<NativeDialogCalls::ListFn>(find("gtk_window_list_toplevels"));
        c.visible = reinterpret_cast<NativeDialogCalls::FlagFn>(find("gtk_widget_get_visible"));
        c.modal = reinterpret_cast<NativeDialogCalls::FlagFn>(find("gtk_window_get_modal"));
        c.freeList = reinterpret_cast<NativeDialogCalls::FreeFn>(find("g_list_free"));
        return c;
    }();
    return calls;
}

// Ends, as its Cancel would, a modal dialog that the toolkit opened on its own behalf (the print
// dialog runs in the toolkit's loop, outside the windows we know of). False when none is shown.
bool EndToolkitModalDialog()
{
    constexpr int kResponseCancel = -6;
    const NativeDialogCalls& calls = NativeCalls();
    if (!calls.type || !calls.isA || !calls.respond || !calls.toplevels || !calls.visible || !calls.modal ||
        !calls.freeList) {
        return false;
    }
    struct ListNode {
        void* data;
        ListNode* next;
        ListNode* prev;
    };
    void* list = calls.toplevels();
    void* shown = nullptr;
    for (auto* node = static_cast<ListNode*>(list); node; node = node->next) {
        if (node->data && calls.isA(node->data, calls.type()) && calls.visible(node->data) && calls.modal(node->data)) {
            shown = node->data;
        }
    }
    calls.freeList(list);
    if (shown) calls.respond(shown, kResponseCancel);
    return shown != nullptr;
}

// Ends a dialog that the toolkit runs in a loop of its own rather than wx's (the native message
// box) as its Cancel would.
void EndNativeDialog(wxDialog* dialog)
{
    constexpr int kResponseCancel = -6;
    const NativeDialogCalls& calls = NativeCalls();
    if (!calls.type || !calls.isA || !calls.respond) return;
    void* widget = dialog->GetHandle();
    if (widget && calls.isA(widget, calls.type())) {
        calls.respond(widget, kResponseCancel);
    } else if (!EndToolkitModalDialog()) {  // a wx window over a dialog the toolkit made (Print)
        std::fprintf(stderr, "Cannot end the window \"%s\": it is not a dialog of the toolkit\n",
                     static_cast<const char*>(dialog->GetTitle().utf8_str()));
    }
}

// Takes a popup menu down as a click beside it would; its loop then returns.
void PopDownMenu(wxMenu& menu)
{
#ifdef __WXGTK__
    const NativeDialogCalls& calls = NativeCalls();
    if (calls.popDown && menu.m_menu) calls.popDown(menu.m_menu);
#else
    (void)menu;
#endif
}

}  // namespace

// Every modal window in the order it opened (the innermost last), and the refusal of new ones
// once the questions are dismissed.
class WxUiHost::ModalWindows : public wxModalDialogHook {
public:
    explicit ModalWindows(const bool& refuse) : refuse_(refuse) { Register(); }

    std::vector<wxDialog*> open;
    std::set<wxDialog*> ending;  // asked to end, still on the way out

protected:
    int Enter(wxDialog* dialog) override
    {
        if (refuse_) return wxID_CANCEL;
        open.push_back(dialog);
        return wxID_NONE;
    }
    void Exit(wxDialog* dialog) override
    {
        open.erase(std::remove(open.begin(), open.end(), dialog), open.end());
        ending.erase(dialog);
    }

private:
    const bool& refuse_;
};

WxUiHost::WxUiHost() : modal_(std::make_unique<ModalWindows>(dismissing_)) {}

WxUiHost::~WxUiHost() = default;

bool WxUiHost::WindowOpen() const { return !modal_->open.empty() || popup_ != nullptr; }

wxWindow* WxUiHost::InnermostWindow() const { return modal_->open.empty() ? nullptr : modal_->open.back(); }

bool WxUiHost::EndInnermostWindow()
{
    if (modal_->open.empty()) {
        if (!popup_) return false;
        PopDownMenu(*popup_);
        return true;
    }
    wxDialog* innermost = modal_->open.back();
    if (modal_->ending.insert(innermost).second) {
        // A window in wx's own modal loop ends through it; the others are the toolkit's.
        if (innermost->IsModal()) {
            innermost->EndModal(wxID_CANCEL);
        } else {
            EndNativeDialog(innermost);
        }
    }
    return true;
}

void WxUiHost::PopupMenu(wxWindow& owner, wxMenu& menu, const wxPoint& at)
{
    if (dismissing_ || popup_) return;
    if (script_) std::fprintf(stderr, "[ui-script] popup menu -> (window)\n");
    popup_ = &menu;
    owner.PopupMenu(&menu, at);
    popup_ = nullptr;
}

void WxUiHost::RegisterDialog(const std::string& dialogClass, DialogWindow window)
{
    windows_[dialogClass] = std::move(window);
}

wxWindow* WxUiHost::Parent() const { return parent_ ? parent_() : nullptr; }

namespace {
std::string& ProgramCaptionText()
{
    static std::string caption = "Velkarine";
    return caption;
}
}  // namespace

wxString ProgramCaption() { return W(ProgramCaptionText()); }
void SetProgramCaption(const std::string& name) { ProgramCaptionText() = name; }

std::optional<std::string> WxUiHost::Scripted(const char* kind, const std::string& question, const std::string& caption)
{
    if (!script_) return std::nullopt;
    std::optional<std::string> answer = script_->TakeAnswer();
    std::fprintf(stderr, "[ui-script] %s \"%s\" -> %s%s\n", kind, question.c_str(),
                 answer ? answer->c_str() : "(window)", caption.empty() ? "" : (" [" + caption + "]").c_str());
    return answer;
}

MsgResult WxUiHost::DoMessage(const MessageRequest& request)
{
    if (dismissing_) return DismissResult(request.buttons);
    const wxString caption = request.caption.empty() ? ProgramCaption() : W(request.caption);
    std::optional<std::string> answer = Scripted("message", request.text, caption.utf8_string());
    // "window <answer>": the box is shown as a real window would be, with its own event loop,
    // and closes itself after a moment with the answer.
    const bool inWindow = answer && answer->rfind(kWindowAnswer, 0) == 0;
    if (answer && !inWindow) {
        std::optional<MsgResult> r = ParseResult(*answer);
        return r && IsButtonOf(*r, request.buttons) ? *r : DismissResult(request.buttons);
    }
    long style = 0;
    switch (request.buttons) {
    case MsgButtons::Ok: style = wxOK; break;
    case MsgButtons::OkCancel: style = wxOK | wxCANCEL; break;
    case MsgButtons::YesNo: style = wxYES_NO; break;
    case MsgButtons::YesNoCancel: style = wxYES_NO | wxCANCEL; break;
    }
    switch (request.icon) {
    case MsgIcon::None: style |= wxICON_NONE; break;
    case MsgIcon::Info: style |= wxICON_INFORMATION; break;
    case MsgIcon::Warning: style |= wxICON_WARNING; break;
    case MsgIcon::Error: style |= wxICON_ERROR; break;
    case MsgIcon::Question: style |= wxICON_QUESTION; break;
    }
    if (inWindow) {
        std::optional<MsgResult> r = ParseResult(answer->substr(std::string_view(kWindowAnswer).size()));
        const MsgResult result = r && IsButtonOf(*r, request.buttons) ? *r : DismissResult(request.buttons);
        // The generic box looks up an icon for every icon flag and has none for wxICON_NONE:
        // without an icon flag it shows none.
        wxGenericMessageDialog box(Parent(), W(request.text), caption, style & ~wxICON_NONE);
        wxTimer close;
        close.Bind(wxEVT_TIMER, [this, &box, &close](wxTimerEvent&) {
            // A window opened over the box (a question nested in it) is answered first: the
            // box's loop can only end once it runs again.
            const bool covered = modal_->open.empty() || modal_->open.back() != &box;
            if (covered || (windowAnswerHold_ && windowAnswerHold_())) {
                close.StartOnce(kWindowAnswerMilliseconds);
                return;
            }
            if (box.IsModal()) box.EndModal(wxID_CANCEL);
        });
        close.StartOnce(kWindowAnswerMilliseconds);
        ++windowAnswers_;
        box.ShowModal();
        --windowAnswers_;
        return dismissing_ ? DismissResult(request.buttons) : result;
    }
    wxMessageDialog box(Parent(), W(request.text), caption, style);
    const int lang = Language();
    const wxString cancel = W(Msg(lang, "Cancel", "キャンセル"));
    box.SetOKCancelLabels("OK", cancel);
    box.SetYesNoCancelLabels(W(Msg(lang, "Yes", "はい")), W(Msg(lang, "No", "いいえ")), cancel);
    const int answered = box.ShowModal();
    if (dismissing_) return DismissResult(request.buttons);  // ended by the program's close
    switch (answered) {
    case wxID_OK: return MsgResult::Ok;
    case wxID_YES: return MsgResult::Yes;
    case wxID_NO: return MsgResult::No;
    case wxID_CANCEL: return MsgResult::Cancel;
    default: return DismissResult(request.buttons);
    }
}

int WxUiHost::DoTwoChoice(const TwoChoiceRequest& request)
{
    if (dismissing_) return request.defaultChoice;
    if (auto answer = Scripted("two-choice", request.message)) {
        if (*answer == "2" || *answer == request.second) return 2;
        return 1;
    }
    CTwoChoiceDlg dlg(Parent(), W(request.message), request.defaultChoice, W(request.first),
                      W(request.second));
    return dlg.Ask();
}

std::optional<std::string> WxUiHost::DoOpenFile(const FileRequest& request)
{
    if (dismissing_) return std::nullopt;
    if (auto answer = Scripted("open-file", request.title)) {
        if (*answer == "Cancel") return std::nullopt;
        return answer;
    }
    wxFileDialog dlg(Parent(), request.title.empty() ? wxString(wxFileSelectorPromptStr) : W(request.title),
                     W(request.initialFolder), W(request.initialName), Wildcard(request.filters),
                     wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dlg.ShowModal() != wxID_OK) return std::nullopt;
    return dlg.GetPath().utf8_string();
}

std::vector<std::string> WxUiHost::DoOpenFiles(const FileRequest& request)
{
    if (dismissing_) return {};
    if (auto answer = Scripted("open-files", request.title)) {
        if (*answer == "Cancel") return {};
        return {*answer};
    }
    wxFileDialog dlg(Parent(), request.title.empty() ? wxString(wxFileSelectorPromptStr) : W(request.title),
                     W(request.initialFolder), W(request.initialName), Wildcard(request.filters),
                     wxFD_OPEN | wxFD_FILE_MUST_EXIST | wxFD_MULTIPLE);
    if (dlg.ShowModal() != wxID_OK) return {};
    wxArrayString paths;
    dlg.GetPaths(paths);
    std::vector<std::string> out;
    for (const wxString& p : paths) out.push_back(p.utf8_string());
    return out;
}

std::optional<std::string> WxUiHost::DoSaveFile(const FileRequest& request)
{
    if (dismissing_) return std::nullopt;
    if (auto answer = Scripted("save-file", request.title)) {
        if (*answer == "Cancel") return std::nullopt;
        return answer;
    }
    // A pattern such as "*.dat" is not a name to preset.
    const bool pattern = request.initialName.find_first_of("*?") != std::string::npos;
    long style = wxFD_SAVE;
    if (request.overwritePrompt) style |= wxFD_OVERWRITE_PROMPT;
    wxFileDialog dlg(Parent(), request.title.empty() ? wxString(wxFileSelectorPromptStr) : W(request.title),
                     W(request.initialFolder), pattern ? wxString() : W(request.initialName),
                     Wildcard(request.filters), style);
    if (dlg.ShowModal() != wxID_OK) return std::nullopt;
    wxFileName name(dlg.GetPath());
    if (!request.defaultExtension.empty() && !name.HasExt()) name.SetExt(W(request.defaultExtension));
    return name.GetFullPath().utf8_string();
}

std::optional<std::string> WxUiHost::DoBrowseFolder(const FolderRequest& request)
{
    if (dismissing_) return std::nullopt;
    if (auto answer = Scripted("folder", request.title)) {
        if (*answer == "Cancel") return std::nullopt;
        return answer;
    }
    wxDirDialog dlg(Parent(), W(request.title), W(request.initialFolder),
                    wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dlg.ShowModal() != wxID_OK) return std::nullopt;
    return dlg.GetPath().utf8_string();
}

std::unique_ptr<ProgressSink> WxUiHost::DoBeginProgress(const std::string& caption)
{
    const wxString title = caption.empty() ? ProgressCaption(Language()) : W(caption);
    return std::make_unique<ProgressWindow>(new CProgressDlg(Parent(), title));
}

bool WxUiHost::DoRunDialog(DialogRequest& request)
{
    if (dismissing_) return false;
    if (auto answer = Scripted("dialog", request.DialogClass())) {
        return *answer != "Cancel" && request.Check().empty();
    }
    if (const auto it = windows_.find(request.DialogClass()); it != windows_.end()) {
        return it->second(Parent(), request, Language());
    }
    CFormDlg dlg(Parent(), request, Language());
    return dlg.ShowModal() == wxID_OK;
}

}  // namespace velk
