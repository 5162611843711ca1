#include "platform/uihost.h"
#include "platform/file_patterns.h"

#include <gtest/gtest.h>

#include <fnmatch.h>

#include <clocale>
#include <functional>
#include <locale>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace velk {
namespace {

// ---------------------------------------------------------------------------------------------
// File-dialog filters

// True when one of the ';'-separated glob patterns matches the name.
bool Matches(const std::string& patterns, const std::string& name) {
    size_t start = 0;
    while (start <= patterns.size()) {
        size_t end = patterns.find(';', start);
        if (end == std::string::npos) end = patterns.size();
        if (::fnmatch(patterns.substr(start, end - start).c_str(), name.c_str(), 0) == 0) return true;
        start = end + 1;
    }
    return false;
}

TEST(FileFilters, PatternsMatchWhateverTheCase) {
    const struct {
        const char* pattern;
        const char* name;
        bool shown;
    } cases[] = {
        {"*.dat", "A.DAT", true},          {"*.dat", "a.dat", true},         {"*.dat", "LINE1.Dat", true},
        {"*.dat", "a.sg2", false},         {"*.*", "ANY.Thing", true},       {"*", "noextension", true},
        {"*.sg2;*.SG2", "x.Sg2", true},    {"*.ORG", "y.org", true},         {"ew.DAT", "EW.dat", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Matches(CaseBlindPatterns(c.pattern), c.name), c.shown) << c.pattern << " " << c.name;
    }
    EXPECT_EQ(CaseBlindPatterns("*.dat;*.*"), "*.dat;*.[dD][aA][tT];*.*");  // the first stays first
}

// ---------------------------------------------------------------------------------------------
// DialogRequest and DialogField

struct Params {
    int skip = 2;
    float interval = 0.5f;
    double velocity = 1.5;
    bool bpf = false;
    int change = 1;  // a check box kept in an int
    std::string unit = "m";
    int mode = 0;
};

TEST(DialogRequest, FieldsStartWithTheStructValues) {
    Params p;
    DialogRequest req("CTestDlg", "Test");
    req.Int("Skip", p.skip, 1, 100);
    req.Float("Interval", p.interval);
    req.Double("Velocity", p.velocity);
    req.Bool("BPF", p.bpf);
    req.Bool("Change", p.change);
    req.String("Unit", p.unit);
    req.Choice("Mode", p.mode, {"New file", "Append to present data"});

    EXPECT_EQ(req.DialogClass(), "CTestDlg");
    EXPECT_EQ(req.Title(), "Test");
    ASSERT_EQ(req.Fields().size(), 7u);
    EXPECT_EQ(req.Find("Skip")->Text(), "2");
    EXPECT_EQ(req.Find("Interval")->Text(), "0.5");
    EXPECT_EQ(req.Find("Velocity")->Text(), "1.5");
    EXPECT_EQ(req.Find("BPF")->Text(), "0");
    EXPECT_EQ(req.Find("Change")->Text(), "1");
    EXPECT_EQ(req.Find("Unit")->Text(), "m");
    EXPECT_EQ(req.Find("Mode")->Text(), "New file");
    EXPECT_EQ(req.Find("Mode")->Type(), FieldType::Choice);
    EXPECT_EQ(req.Find("Nothing"), nullptr);
}

TEST(DialogRequest, SetFromTextChangesOnlyTheCopyUntilCommit) {
    Params p;
    DialogRequest req("CTestDlg", "Test");
    req.Int("Skip", p.skip, 1, 100);
    req.Float("Interval", p.interval);
    req.Bool("Change", p.change);
    req.String("Unit", p.unit);
    req.Choice("Mode", p.mode, {"New file", "Append to present data"});

    EXPECT_EQ(req.SetFromText("Skip", " 4 "), "");
    EXPECT_EQ(req.SetFromText("Interval", "0.25"), "");
    EXPECT_EQ(req.SetFromText("Change", "0"), "");
    EXPECT_EQ(req.SetFromText("Unit", "ft"), "");
    EXPECT_EQ(req.SetFromText("Mode", "Append to present data"), "");
    EXPECT_EQ(p.skip, 2);
    EXPECT_EQ(p.interval, 0.5f);
    EXPECT_EQ(p.change, 1);
    EXPECT_EQ(p.unit, "m");
    EXPECT_EQ(p.mode, 0);

    req.Commit();
    EXPECT_EQ(p.skip, 4);
    EXPECT_EQ(p.interval, 0.25f);
    EXPECT_EQ(p.change, 0);
    EXPECT_EQ(p.unit, "ft");
    EXPECT_EQ(p.mode, 1);
}

TEST(DialogRequest, IntLimitsGiveTheDialogErrorText) {
    int skip = 5;
    DialogRequest req("CSampleSkipDlg", "Sample skip");
    DialogField& f = req.Int("Skip", skip, 1, 100);
    EXPECT_EQ(f.SetFromText("0"), "Please enter an integer between 1 and 100.");
    EXPECT_EQ(f.SetFromText("101"), "Please enter an integer between 1 and 100.");
    EXPECT_EQ(f.IntValue(), 5);  // a refused text leaves the value
    EXPECT_EQ(f.SetFromText("1"), "");
    EXPECT_EQ(f.SetFromText("100"), "");
    EXPECT_EQ(f.IntValue(), 100);
    EXPECT_EQ(f.SetFromText("abc"), "Please enter an integer.");
    EXPECT_EQ(f.SetFromText("1.5"), "Please enter an integer.");
    EXPECT_EQ(f.SetFromText(""), "Please enter an integer.");
    EXPECT_EQ(f.SetFromText("99999999999"), "Please enter an integer.");
    EXPECT_EQ(f.IntValue(), 100);
    EXPECT_EQ(f.SetNumber(7.5), "Please enter an integer.");
    EXPECT_EQ(f.SetNumber(7), "");
    EXPECT_EQ(f.SetInt(200), "Please enter an integer between 1 and 100.");
    EXPECT_EQ(f.IntValue(), 7);
}

TEST(DialogRequest, OneSidedLimits) {
    int n = 3;
    double v = 1.0;
    DialogRequest req("X", "X");
    req.Int("N", n, 0, std::nullopt);
    req.Double("V", v, std::nullopt, 10.0);
    EXPECT_EQ(req.SetFromText("N", "-1"), "Please enter an integer not less than 0.");
    EXPECT_EQ(req.SetFromText("N", "2000000000"), "");
    EXPECT_EQ(req.SetFromText("V", "10.5"), "Please enter a number not greater than 10.");
    EXPECT_EQ(req.SetFromText("V", "-1e300"), "");
}

TEST(DialogRequest, FloatLimitsAreComparedAsFloats) {
    float velocity = 1.0f;
    DialogRequest req("CVelocityDlg", "Set velocity");
    DialogField& f = req.Float("Velocity", velocity, 0.00001, 10000);
    EXPECT_EQ(f.SetFromText("10000.5"), "Please enter a number between 1e-05 and 10000.");
    EXPECT_EQ(f.SetFromText("0.000001"), "Please enter a number between 1e-05 and 10000.");
    EXPECT_EQ(f.SetFromText("0.00001"), "");  // equal to the limit as floats
    float third = 1.0f;
    DialogRequest r2("X", "X");
    DialogField& g = r2.Float("F", third, 0.0, 0.3);
    EXPECT_EQ(g.SetFromText("0.3"), "");  // 0.3f is above the double 0.3; still accepted
    EXPECT_EQ(g.NumberValue(), static_cast<double>(0.3f));
    EXPECT_EQ(g.SetFromText("nan"), "Please enter a number.");
    EXPECT_EQ(g.SetFromText("1e39"), "Please enter a number.");  // beyond float
    EXPECT_EQ(g.SetFromText("0.2x"), "Please enter a number.");
}

TEST(DialogRequest, DoubleLimitsUseFifteenDigits) {
    double d = 0.5;
    DialogRequest req("X", "X");
    req.Double("D", d, 0.1, 2.0 / 3.0);
    EXPECT_EQ(req.SetFromText("D", "0.7"), "Please enter a number between 0.1 and 0.666666666666667.");
}

TEST(DialogRequest, NumbersAreCLocaleWhateverTheGlobalLocale) {
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8"};
    std::locale old;
    bool set = false;
    for (const char* n : names) {
        try {
            std::locale::global(std::locale(n));
            set = true;
            break;
        } catch (const std::runtime_error&) {
        }
    }
    if (!set) GTEST_SKIP() << "de_DE.UTF-8 is not generated";
    double d = 1.25;
    DialogRequest req("X", "X");
    DialogField& f = req.Double("D", d);
    EXPECT_EQ(f.Text(), "1.25");
    EXPECT_EQ(f.SetFromText("2,5"), "Please enter a number.");
    EXPECT_EQ(f.SetFromText("2.5"), "");
    EXPECT_EQ(f.Text(), "2.5");
    std::locale::global(old);
    std::setlocale(LC_ALL, "C");
}

TEST(DialogRequest, BoolChoiceAndStringTexts) {
    bool b = false;
    int mode = -1;  // none chosen, as a radio group preset to -1
    std::string name = "abc";
    std::vector<std::string> comps = {"1", "2", "3"};
    int comp = 0;
    DialogRequest req("X", "X");
    DialogField& fb = req.Bool("B", b);
    DialogField& fm = req.Choice("Mode", mode, {"New file", "Append to present data"});
    DialogField& fs = req.String("Name", name, 4);
    DialogField& fc = req.Choice("Comp", comp, comps);

    EXPECT_EQ(fb.SetFromText("true"), "");
    EXPECT_TRUE(fb.BoolValue());
    EXPECT_EQ(fb.SetFromText("0"), "");
    EXPECT_FALSE(fb.BoolValue());
    EXPECT_EQ(fb.SetFromText("yes"), "Please enter 1 or 0.");

    EXPECT_EQ(fm.Text(), "");  // nothing chosen
    EXPECT_EQ(fm.Check(), "");  // and that is allowed
    EXPECT_EQ(fm.SetFromText("Append"), "Please choose one of: \"New file\", \"Append to present data\".");
    EXPECT_EQ(fm.SetFromText("#1"), "");
    EXPECT_EQ(fm.IntValue(), 1);
    EXPECT_EQ(fm.SetFromText("#2"), "Please choose one of the offered items.");
    EXPECT_EQ(fm.SetInt(0), "");
    EXPECT_EQ(fm.Text(), "New file");

    // Labels come first: "2" is the label of index 1; "#2" is index 2.
    EXPECT_EQ(fc.SetFromText("2"), "");
    EXPECT_EQ(fc.IntValue(), 1);
    EXPECT_EQ(fc.SetFromText("#2"), "");
    EXPECT_EQ(fc.Text(), "3");

    EXPECT_EQ(fs.SetFromText("abcde"), "Please enter no more than 4 characters.");
    EXPECT_EQ(fs.SetFromText("ﾃﾞｰﾀ"), "");  // four characters, twelve bytes
    EXPECT_EQ(fs.StringValue(), "ﾃﾞｰﾀ");
    EXPECT_EQ(fs.SetFromText("  x "), "");  // strings are kept as typed
    EXPECT_EQ(fs.StringValue(), "  x ");
}

TEST(DialogRequest, PresentationAndTypeChecks) {
    float t = 0.5f;
    int n = 3;
    DialogRequest req("CSamplingTimeDlg", "Set sampling time");
    DialogField& f = req.Float("Sampling time", t).Label("Sampling time =").Unit("msec");
    DialogField& g = req.Int("Samples", n).ReadOnly();
    EXPECT_EQ(f.LabelText(), "Sampling time =");
    EXPECT_EQ(f.UnitText(), "msec");
    EXPECT_FALSE(f.IsReadOnly());
    EXPECT_EQ(g.LabelText(), "Samples");  // the name when no label is given
    EXPECT_TRUE(g.IsReadOnly());
    EXPECT_THROW(f.SetBool(true), std::logic_error);
    EXPECT_THROW((void)f.StringValue(), std::logic_error);
    EXPECT_THROW(req.Int("Samples", n), std::invalid_argument);  // names are unique
    EXPECT_EQ(req.SetFromText("Nope", "1"), "No field named \"Nope\" in CSamplingTimeDlg.");
}

TEST(DialogRequest, CheckReportsAPresetOutsideTheLimits) {
    int skip = 0;
    DialogRequest req("CSampleSkipDlg", "Sample skip");
    req.Int("Skip", skip, 1, 100).Label("Skip =");
    EXPECT_EQ(req.Check(), "Skip =: Please enter an integer between 1 and 100.");
    EXPECT_EQ(req.SetFromText("Skip", "3"), "");
    EXPECT_EQ(req.Check(), "");
}

TEST(DialogRequest, ReferencesToFieldsStayValidAsFieldsAreAdded) {
    std::vector<int> values(50, 0);
    DialogRequest req("X", "X");
    DialogField& first = req.Int("v0", values[0]);
    for (int i = 1; i < 50; ++i) req.Int("v" + std::to_string(i), values[i]);
    EXPECT_EQ(first.SetFromText("9"), "");
    req.Commit();
    EXPECT_EQ(values[0], 9);
}

// ---------------------------------------------------------------------------------------------
// UiHost's own rules, with a host whose answers a test sets directly

class FixedHost : public UiHost {
public:
    std::function<bool(DialogRequest&)> dialog;
    int twoChoice = 1;
    TwoChoiceRequest lastTwoChoice;

protected:
    MsgResult DoMessage(const MessageRequest& r) override { return DismissResult(r.buttons); }
    int DoTwoChoice(const TwoChoiceRequest& r) override {
        lastTwoChoice = r;
        return twoChoice;
    }
    std::optional<std::string> DoOpenFile(const FileRequest&) override { return std::nullopt; }
    std::vector<std::string> DoOpenFiles(const FileRequest&) override { return {}; }
    std::optional<std::string> DoSaveFile(const FileRequest&) override { return std::nullopt; }
    std::optional<std::string> DoBrowseFolder(const FolderRequest&) override { return std::nullopt; }
    std::unique_ptr<ProgressSink> DoBeginProgress(const std::string&) override { return nullptr; }
    bool DoRunDialog(DialogRequest& r) override { return dialog(r); }
};

TEST(UiHost, RunDialogCommitsOnlyOnOk) {
    FixedHost ui;
    Params p;
    DialogRequest req("CTestDlg", "Test");
    req.Int("Skip", p.skip, 1, 100);
    req.String("Unit", p.unit);

    ui.dialog = [](DialogRequest& r) {
        EXPECT_EQ(r.SetFromText("Skip", "9"), "");
        EXPECT_EQ(r.SetFromText("Unit", "ft"), "");
        return false;  // Cancel
    };
    EXPECT_FALSE(ui.RunDialog(req));
    EXPECT_EQ(p.skip, 2);
    EXPECT_EQ(p.unit, "m");

    ui.dialog = [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Skip")->Text(), "2");  // shown again with the struct's values
        EXPECT_EQ(r.SetFromText("Skip", "9"), "");
        return true;
    };
    EXPECT_TRUE(ui.RunDialog(req));
    EXPECT_EQ(p.skip, 9);
    EXPECT_EQ(p.unit, "m");
}

TEST(UiHost, RunDialogReloadsValuesTheCallerChangedAfterBuilding) {
    FixedHost ui;
    int skip = 2;
    DialogRequest req("X", "X");
    req.Int("Skip", skip);
    skip = 7;
    std::string shown;
    ui.dialog = [&](DialogRequest& r) {
        shown = r.Find("Skip")->Text();
        return true;
    };
    EXPECT_TRUE(ui.RunDialog(req));
    EXPECT_EQ(shown, "7");
    EXPECT_EQ(skip, 7);
}

TEST(UiHost, RunDialogNeverCommitsValuesOutsideTheLimits) {
    FixedHost ui;
    int skip = 0;  // preset below the limit; an implementation that says OK anyway is overruled
    DialogRequest req("X", "X");
    req.Int("Skip", skip, 1, 10);
    ui.dialog = [](DialogRequest&) { return true; };
    EXPECT_FALSE(ui.RunDialog(req));
    EXPECT_EQ(skip, 0);
}

TEST(UiHost, TwoChoiceIsAlwaysOneOrTwo) {
    FixedHost ui;
    ui.twoChoice = 7;
    EXPECT_EQ(ui.TwoChoice("Select the language !", 1, "English", "Japanese"), 2);
    EXPECT_EQ(ui.lastTwoChoice.message, "Select the language !");
    EXPECT_EQ(ui.lastTwoChoice.first, "English");
    EXPECT_EQ(ui.lastTwoChoice.second, "Japanese");
    ui.twoChoice = 1;
    EXPECT_EQ(ui.TwoChoice("q", 0, "a", "b"), 1);
    EXPECT_EQ(ui.lastTwoChoice.defaultChoice, 1);  // a default other than 1 or 2 is 1
}

TEST(UiHost, BeginProgressNeverReturnsNull) {
    FixedHost ui;
    auto p = ui.BeginProgress("Now calculating !");
    ASSERT_NE(p, nullptr);
    p->SetRange(3);
    p->StepIt();
}

// ---------------------------------------------------------------------------------------------
// Message-box helpers

TEST(MessageBox, ButtonsAndDismissal) {
    EXPECT_TRUE(IsButtonOf(MsgResult::Ok, MsgButtons::Ok));
    EXPECT_FALSE(IsButtonOf(MsgResult::Cancel, MsgButtons::Ok));
    EXPECT_TRUE(IsButtonOf(MsgResult::Cancel, MsgButtons::OkCancel));
    EXPECT_FALSE(IsButtonOf(MsgResult::Ok, MsgButtons::YesNo));
    EXPECT_TRUE(IsButtonOf(MsgResult::Cancel, MsgButtons::YesNoCancel));
    EXPECT_FALSE(IsButtonOf(MsgResult::Cancel, MsgButtons::YesNo));
    EXPECT_EQ(DismissResult(MsgButtons::Ok), MsgResult::Ok);
    EXPECT_EQ(DismissResult(MsgButtons::OkCancel), MsgResult::Cancel);
    EXPECT_EQ(DismissResult(MsgButtons::YesNo), MsgResult::No);
    EXPECT_EQ(DismissResult(MsgButtons::YesNoCancel), MsgResult::Cancel);
    EXPECT_STREQ(ToString(MsgButtons::YesNoCancel), "Yes/No/Cancel");
    EXPECT_STREQ(ToString(MsgResult::No), "No");
}

// ---------------------------------------------------------------------------------------------
// Progress

TEST(RecordingProgress, ARangeOf24FilledBy24Steps) {
    RecordingProgress p("Now calculating !");
    p.SetRange(24);
    for (int i = 0; i < 23; ++i) p.StepIt();
    EXPECT_FALSE(p.Full());
    p.StepIt();
    EXPECT_TRUE(p.Full());
    EXPECT_EQ(p.Range(), 24);
    EXPECT_EQ(p.Position(), 24);
    EXPECT_EQ(p.Steps(), 24);
}

TEST(RecordingProgress, StepsBeyondTheRangeKeepTheBarFull) {
    RecordingProgress p("c");
    p.SetRange(2);
    p.StepIt();
    p.StepIt();
    p.StepIt();
    EXPECT_EQ(p.Position(), 2);
    EXPECT_EQ(p.Steps(), 3);
    EXPECT_TRUE(p.Full());
    p.SetRange(1);  // a smaller range pulls the position in
    EXPECT_EQ(p.Position(), 1);
}

TEST(RecordingProgress, RecordOutlivesTheSink) {
    std::shared_ptr<const ProgressRecord> record;
    {
        RecordingProgress p("Now calculating !");
        record = p.Shared();
        p.SetText("Trace 1");
        p.SetText("Trace 2");
        EXPECT_FALSE(record->closed);
    }
    EXPECT_TRUE(record->closed);
    EXPECT_EQ(record->caption, "Now calculating !");
    EXPECT_EQ(record->texts, (std::vector<std::string>{"Trace 1", "Trace 2"}));
    EXPECT_EQ(record->Text(), "Trace 2");
    EXPECT_FALSE(record->Full());  // no range set
}

// ---------------------------------------------------------------------------------------------
// NullUiHost

TEST(NullUiHost, AnswersWhatChangesNothing) {
    NullUiHost ui;
    EXPECT_EQ(ui.Message("Cannot open the file"), MsgResult::Ok);
    EXPECT_EQ(ui.Message("Are you sure you want to over write?", MsgButtons::OkCancel), MsgResult::Cancel);
    EXPECT_EQ(ui.Message("Save?", MsgButtons::YesNo, MsgIcon::Question), MsgResult::No);
    EXPECT_EQ(ui.Message("Save?", MsgButtons::YesNoCancel), MsgResult::Cancel);
    EXPECT_EQ(ui.TwoChoice("Select the language !", 2, "English", "Japanese"), 2);
    EXPECT_EQ(ui.TwoChoice("Select the language !", 1, "English", "Japanese"), 1);
    EXPECT_EQ(ui.OpenFile({.title = "Open", .filters = {{"Seg2 file(*.sg2)", "*.sg2;*.SG2"}}}), std::nullopt);
    EXPECT_TRUE(ui.OpenFiles({}).empty());
    EXPECT_EQ(ui.SaveFile({}), std::nullopt);
    EXPECT_EQ(ui.BrowseFolder({.title = "フォルダの選択"}), std::nullopt);

    int skip = 3;
    DialogRequest req("CSampleSkipDlg", "Sample skip");
    req.Int("Skip", skip, 1, 10);
    EXPECT_FALSE(ui.RunDialog(req));
    EXPECT_EQ(skip, 3);
    DialogRequest okOnly("COpenDataFileDlg", "Open data file");
    int mode = 0;
    okOnly.Choice("Mode", mode, {"New file", "Append to present data"});
    okOnly.OkOnly();
    EXPECT_TRUE(ui.RunDialog(okOnly));
    EXPECT_EQ(mode, 0);

    auto p = ui.BeginProgress("Now calculating !");
    ASSERT_NE(p, nullptr);
    p->SetRange(24);
    for (int i = 0; i < 24; ++i) p->StepIt();
    p->SetText("done");
}

}  // namespace
}  // namespace velk
