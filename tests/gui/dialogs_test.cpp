// The shell's dialog windows in this process, on a virtual display of their own.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/radiobox.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <memory>

#include "dialogs/app/brand_windows.h"
#include "toolkit/form_dlg.h"
#include "toolkit/progress_dlg.h"
#include "toolkit/two_choice_dlg.h"
#include "toolkit/ui_script.h"
#include "toolkit/wx_uihost.h"
#include "gui_support.h"

namespace velk {
namespace {

using namespace velk::gui;

// The toolkit, started once for the process on a display of its own and ended before exit. The
// display is the smallest screen the dialogs must fit, 1024 x 768.
class WxEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        display_ = std::make_unique<PrivateDisplay>("1024x768x24");
        if (!display_->Ok()) return;
        ::setenv("DISPLAY", display_->Name().c_str(), 1);
        static char name[] = "gui_tests";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        wxApp::SetInstance(new wxApp());
        ready_ = wxEntryStart(argc, argv);
        if (ready_) wxTheApp->CallOnInit();
    }
    void TearDown() override
    {
        if (ready_) wxEntryCleanup();
        ready_ = false;
        display_.reset();
    }
    static bool Ready() { return ready_; }
    static const std::string& Display() { return display_->Name(); }

private:
    static inline std::unique_ptr<PrivateDisplay> display_;
    static inline bool ready_ = false;
};

[[maybe_unused]] ::testing::Environment* const kWx = ::testing::AddGlobalTestEnvironment(new WxEnvironment);

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!WxEnvironment::Ready()) GTEST_SKIP() << "no X server (Xvfb) for the GUI test";
    }
    static void Settle()
    {
        for (int i = 0; i < 5; ++i) {
            wxTheApp->Yield(true);
            wxMilliSleep(20);
        }
    }
};

template <class T>
T* FindChild(wxWindow* parent)
{
    for (wxWindow* child : gui::Descendants(parent)) {
        if (auto* found = dynamic_cast<T*>(child)) return found;
    }
    return nullptr;
}

TEST_F(Dialogs, TwoChoiceKeys)
{
    auto* dlg = new CTwoChoiceDlg(nullptr, "Select the language !", 1, "English", "Japanese");
    EXPECT_EQ(dlg->GetTitle(), "Velkarine");
    EXPECT_EQ(dlg->FirstButton()->GetLabel(), "English");
    EXPECT_EQ(dlg->SecondButton()->GetLabel(), "Japanese");
    dlg->Show();
    Settle();
    EXPECT_EQ(dlg->Choice(), 1);
    EXPECT_TRUE(dlg->HandleKey(WXK_RIGHT));
    EXPECT_EQ(dlg->Choice(), 2);
    EXPECT_TRUE(dlg->HandleKey(WXK_RETURN));
    EXPECT_EQ(dlg->Choice(), 2);
    EXPECT_TRUE(dlg->HandleKey(WXK_LEFT));
    EXPECT_TRUE(dlg->HandleKey(WXK_RETURN));
    EXPECT_EQ(dlg->Choice(), 1);
    // Escape is the second button: at the language question it answers "Japanese".
    EXPECT_TRUE(dlg->HandleKey(WXK_ESCAPE));
    EXPECT_EQ(dlg->Choice(), 2);
    EXPECT_FALSE(dlg->HandleKey('A'));
    dlg->Destroy();

    auto* second = new CTwoChoiceDlg(nullptr, "?", 2, "A", "B");
    EXPECT_EQ(second->Choice(), 2);
    second->Destroy();
    Settle();
}

// A box without an icon answered "window OK" by the script shows without one: the toolkit is
// not asked for an icon it does not know.
TEST_F(Dialogs, ScriptedBoxWithoutIconInAWindow)
{
    static int failures = 0;
    const wxAssertHandler_t previous =
        wxSetAssertHandler([](const wxString&, int, const wxString&, const wxString&, const wxString&) { ++failures; });
    UiScript script("answer window OK");
    WxUiHost ui;
    ui.SetScript(&script);
    EXPECT_EQ(ui.Message("No icon", MsgButtons::OkCancel, MsgIcon::None), MsgResult::Ok);
    wxSetAssertHandler(previous);
    EXPECT_EQ(failures, 0);
}

TEST_F(Dialogs, ProgressFillsExactly)
{
    auto* dlg = new CProgressDlg(nullptr, ProgressCaption(-1));
    EXPECT_EQ(dlg->GetTitle(), "Now calculating !");
    dlg->SetRange(24);
    for (int i = 0; i < 24; ++i) dlg->StepIt();
    EXPECT_EQ(dlg->Position(), 24);
    EXPECT_EQ(dlg->Range(), 24);
    dlg->StepIt();  // one too many leaves the bar full
    EXPECT_EQ(dlg->Position(), 24);
    dlg->SetText(" Calculation : 24 ");
    dlg->Destroy();
    EXPECT_EQ(ProgressCaption(1), wxString::FromUTF8("計算中です !"));
    Settle();
}

TEST_F(Dialogs, FormTakesValuesThroughTheFieldChecks)
{
    int skip = 1;
    int choice = 0;
    DialogRequest request("CSampleSkipDlg", "Sample skip");
    request.Int("Skip", skip, 1, 1024).Label("Skip=");
    request.Choice("File", choice, {"New file", "Append to present data"});
    request.Load();
    auto* dlg = new CFormDlg(nullptr, request, -1);
    auto* text = FindChild<wxTextCtrl>(dlg);
    auto* radio = FindChild<wxRadioBox>(dlg);
    ASSERT_NE(text, nullptr);
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(text->GetValue(), "1");
    EXPECT_EQ(radio->GetCount(), 2u);

    text->SetValue("2000");
    const wxString error = dlg->TakeValues();
    EXPECT_TRUE(error.StartsWith("Skip=: ")) << error;
    EXPECT_EQ(skip, 1);

    text->SetValue("4");
    radio->SetSelection(1);
    EXPECT_EQ(dlg->TakeValues(), "");
    request.Commit();
    EXPECT_EQ(skip, 4);
    EXPECT_EQ(choice, 1);
    dlg->Destroy();

    // A form longer than the screen scrolls its fields and keeps its buttons.
    std::vector<float> values(60, 1.0f);
    DialogRequest tall("CTallForm", "Tall form");
    for (size_t i = 0; i < values.size(); ++i) tall.Float("Value " + std::to_string(i + 1), values[i]);
    tall.Load();
    auto* form = new CFormDlg(nullptr, tall, -1);
    form->Show();
    Settle();
    ExpectOnScreen(form);
    form->Destroy();
    Settle();
}

TEST_F(Dialogs, WindowsOnScreen)
{
    const BuildInfo build{"0.1.0 (test)", "2026-01-01"};
    auto* panel = new CStartPanel(CStartPanel::Kind::StartPanel, -1, build);
    panel->Move(0, 0);
    panel->Show();
    auto* splash = new CStartPanel(CStartPanel::Kind::AcquisitionSplash, 1, build);
    splash->Move(0, 300);
    splash->Show();
    auto* about = new CAboutDlg(nullptr, 1, build);
    about->Move(560, 0);
    about->Show();
    auto* two = new CTwoChoiceDlg(nullptr, "Select the language !", 1, "English", "Japanese");
    two->Move(560, 330);
    two->Show();
    int type = 2;
    std::string welcome = "Welcome to the Torvane-QKW and Tarnhold ! Select data acquisition menu";
    DialogRequest request("CAcquisitionMenuPcDlg", "QKW Menu on PC");
    request.String("Welcome", welcome).ReadOnly();
    request.Choice("Choice", type, {"Working without menu", "Open existed file list(*.xml)",
                                    "1D surface-wave method", "2D surface-wave method",
                                    "Seismic refraction method"});
    request.Load();
    auto* form = new CFormDlg(nullptr, request, -1);
    form->Move(560, 480);
    form->Show();
    auto* progress = new CProgressDlg(nullptr, ProgressCaption(1));
    progress->Move(0, 620);
    progress->SetRange(10);
    for (int i = 0; i < 4; ++i) progress->StepIt();
    progress->SetText(" BPF calculation : trace = 4 ");
    Settle();
    for (wxWindow* w : std::initializer_list<wxWindow*>{panel, splash, about, two, form, progress}) {
        EXPECT_TRUE(w->IsShown());
    }
    const std::string shot = ShotPath("dialogs.png");
    if (Screenshot(WxEnvironment::Display(), shot)) std::cout << "[ screenshot ] " << shot << '\n';
    for (wxWindow* w : std::initializer_list<wxWindow*>{panel, splash, about, two, form, progress}) w->Destroy();
    Settle();
}

}  // namespace
}  // namespace velk
