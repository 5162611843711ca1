// The scripted UiHost of tests/tools: answers come back in order, every text is recorded exactly,
// and a call the script does not expect, or an answer left unused, fails the test.

#include "tools/scripted_uihost.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velk {
namespace {

using Strings = std::vector<std::string>;

TEST(ScriptedUiHost, ScriptedAnswersComeBackInOrder) {
    ScriptedUiHost ui;
    ui.ExpectMessage("Cannot open the file");
    ui.ExpectMessage("Are you sure you want to over write?", MsgResult::Cancel);
    ui.ExpectAnyMessage(MsgResult::Yes);
    ui.AnswerTwoChoice(2);
    ui.ExpectTwoChoice("Select the language !", 1);
    ui.AnswerFileOpen("/tmp/x.sg2");
    ui.CancelFileOpen();
    ui.AnswerFilesOpen({"/d/a.sg2", "/d/b.sg2"});
    ui.CancelFilesOpen();
    ui.AnswerFileSave("/tmp/out.dat");
    ui.CancelFileSave();
    ui.AnswerFolder("/data/line1");
    ui.CancelFolder();

    EXPECT_EQ(ui.PendingAnswers(), 13u);
    EXPECT_EQ(ui.Message("Cannot open the file"), MsgResult::Ok);
    EXPECT_EQ(ui.Message("Are you sure you want to over write?", MsgButtons::OkCancel), MsgResult::Cancel);
    EXPECT_EQ(ui.Message("Anything", MsgButtons::YesNo), MsgResult::Yes);
    EXPECT_EQ(ui.TwoChoice("Append?", 1, "New", "Append"), 2);
    EXPECT_EQ(ui.TwoChoice("Select the language !", 2, "English", "Japanese"), 1);
    EXPECT_EQ(ui.OpenFile({.title = "Open"}), "/tmp/x.sg2");
    EXPECT_EQ(ui.OpenFile({.title = "Open"}), std::nullopt);
    EXPECT_EQ(ui.OpenFiles({}), (Strings{"/d/a.sg2", "/d/b.sg2"}));
    EXPECT_EQ(ui.OpenFiles({}), Strings{});
    EXPECT_EQ(ui.SaveFile({}), "/tmp/out.dat");
    EXPECT_EQ(ui.SaveFile({}), std::nullopt);
    EXPECT_EQ(ui.BrowseFolder({.title = "フォルダの選択"}), "/data/line1");
    EXPECT_EQ(ui.BrowseFolder({.title = "フォルダの選択"}), std::nullopt);
    EXPECT_EQ(ui.PendingAnswers(), 0u);
    EXPECT_TRUE(ui.VerifyAndClear());
    for (const auto& c : ui.Calls()) EXPECT_TRUE(c.scripted) << c.Describe();
}

TEST(ScriptedUiHost, EveryTextIsRecordedExactly) {
    ScriptedUiHost ui;
    const std::string big = "The number of traces was too large ! \n Maximum trace number is 1024";
    const std::string jp = "ﾃﾞｰﾀﾌｧｲﾙをｵｰﾌﾟﾝできません";
    const std::string freq = " Number of trace = 24 \n Sampling time = 0.500000 \n Number of sample = 4096 ";
    ui.ExpectMessage(big);
    ui.ExpectMessage(jp);
    ui.ExpectMessage(freq);
    ui.ExpectTwoChoice("Select the language !", 1);
    ui.AnswerFileOpen("/tmp/a.dat");

    ui.Message(big, MsgButtons::Ok, MsgIcon::Error, "Velkarine");
    ui.Message(jp);
    ui.Message(freq);
    ui.TwoChoice("Select the language !", 1, "English", "Japanese");
    FileRequest open{.title = "Open SEG2 file",
                     .filters = {{"Seg2 file(*.dat)", "*.dat"}, {"Seg2 file(*.sg2)", "*.sg2;*.SG2"}},
                     .initialFolder = "/data",
                     .initialName = "*.dat"};
    ui.OpenFile(open);
    {
        auto p = ui.BeginProgress("Now calculating !");
        p->SetText("Trace 1 ");
    }

    EXPECT_EQ(ui.Messages(), (Strings{big, jp, freq}));
    EXPECT_EQ(ui.Questions(), (Strings{"Select the language !"}));
    const auto& calls = ui.Calls();
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].kind, UiCallKind::Message);
    EXPECT_EQ(calls[0].text, big);
    EXPECT_EQ(calls[0].message.icon, MsgIcon::Error);
    EXPECT_EQ(calls[0].message.caption, "Velkarine");
    EXPECT_EQ(calls[0].answer, "OK");
    EXPECT_EQ(calls[3].kind, UiCallKind::TwoChoice);
    EXPECT_EQ(calls[3].twoChoice.first, "English");
    EXPECT_EQ(calls[3].twoChoice.second, "Japanese");
    EXPECT_EQ(calls[3].answer, "1");
    EXPECT_EQ(calls[4].kind, UiCallKind::OpenFile);
    EXPECT_EQ(calls[4].text, "Open SEG2 file");
    ASSERT_EQ(calls[4].file.filters.size(), 2u);
    EXPECT_EQ(calls[4].file.filters[1].description, "Seg2 file(*.sg2)");
    EXPECT_EQ(calls[4].file.filters[1].pattern, "*.sg2;*.SG2");
    EXPECT_EQ(calls[4].file.initialName, "*.dat");
    EXPECT_EQ(calls[4].file.initialFolder, "/data");
    EXPECT_EQ(calls[5].kind, UiCallKind::Progress);
    EXPECT_EQ(calls[5].text, "Now calculating !");
    EXPECT_EQ(calls[5].progress->texts, (Strings{"Trace 1 "}));
    // Descriptions escape line breaks, so failures show the exact text.
    EXPECT_NE(calls[0].Describe().find("too large ! \\n Maximum"), std::string::npos) << calls[0].Describe();
}

// ---------------------------------------------------------------------------------------------
// Unexpected calls

TEST(ScriptedUiHost, ACallWithNoAnswerLeftFailsTheTest) {
    ScriptedUiHost ui;
    MsgResult r = MsgResult::Yes;
    EXPECT_NONFATAL_FAILURE(r = ui.Message("Not time domain data"),
                            "unexpected message box \"Not time domain data\" [OK]");
    EXPECT_EQ(r, MsgResult::Ok);  // the answer that changes nothing
    ASSERT_EQ(ui.Calls().size(), 1u);
    EXPECT_FALSE(ui.Calls()[0].scripted);
    EXPECT_EQ(ui.Messages(), (Strings{"Not time domain data"}));  // recorded all the same
}

TEST(ScriptedUiHost, ACallOfAnotherKindFailsAndKeepsTheAnswer) {
    ScriptedUiHost ui;
    ui.AnswerFileOpen("/tmp/x.sg2");
    MsgResult r = MsgResult::Ok;
    EXPECT_NONFATAL_FAILURE(r = ui.Message("Save?", MsgButtons::YesNoCancel), "the next scripted answer is AnswerFileOpen");
    EXPECT_EQ(r, MsgResult::Cancel);
    // The answer is still there for the call it was meant for.
    EXPECT_EQ(ui.OpenFile({}), "/tmp/x.sg2");
}

TEST(ScriptedUiHost, AnotherTextFailsTheTest) {
    ScriptedUiHost ui;
    ui.ExpectMessage("Cannot open the file");
    EXPECT_NONFATAL_FAILURE(ui.Message("Cannot open file"), "expected text: \"Cannot open the file\"");
    EXPECT_NONFATAL_FAILURE(ui.Message("Cannot open the file "), "actual text: \"Cannot open the file \"");
    ui.Message("Cannot open the file");
}

TEST(ScriptedUiHost, AnotherQuestionFailsTheTest) {
    ScriptedUiHost ui;
    ui.ExpectTwoChoice("Select the language !", 2);
    int choice = 0;
    EXPECT_NONFATAL_FAILURE(choice = ui.TwoChoice("Select the language", 1, "English", "Japanese"),
                            "unexpected two-choice question");
    EXPECT_EQ(choice, 1);  // the default choice
    EXPECT_EQ(ui.TwoChoice("Select the language !", 1, "English", "Japanese"), 2);
}

TEST(ScriptedUiHost, OtherButtonsFailTheTest) {
    ScriptedUiHost ui;
    ui.ExpectMessage("Are you sure you want to over write?", MsgButtons::OkCancel, MsgResult::Ok);
    EXPECT_NONFATAL_FAILURE(ui.Message("Are you sure you want to over write?", MsgButtons::YesNo),
                            "expected buttons OK/Cancel, shown Yes/No");
    EXPECT_EQ(ui.Message("Are you sure you want to over write?", MsgButtons::OkCancel), MsgResult::Ok);
}

TEST(ScriptedUiHost, AnAnswerThatIsNoButtonOfTheBoxFailsTheTest) {
    ScriptedUiHost ui;
    ui.ExpectMessage("Save the data?", MsgResult::Ok);
    MsgResult r = MsgResult::Ok;
    EXPECT_NONFATAL_FAILURE(r = ui.Message("Save the data?", MsgButtons::YesNo), "the answer OK is not a button of");
    EXPECT_EQ(r, MsgResult::No);
    EXPECT_NONFATAL_FAILURE(ui.ExpectMessage("x", MsgButtons::YesNo, MsgResult::Cancel),
                            "Cancel is not a button of a Yes/No box");
    EXPECT_NONFATAL_FAILURE(ui.VerifyAndClear(), "ExpectMessage(\"x\", Yes/No, Cancel)");
}

TEST(ScriptedUiHost, AFileDialogOfAnotherKindFailsTheTest) {
    ScriptedUiHost ui;
    ui.AnswerFileSave("/tmp/out.dat");
    std::optional<std::string> path = "untouched";
    EXPECT_NONFATAL_FAILURE(path = ui.OpenFile({.title = "Open"}),
                            "unexpected file-open dialog \"Open\"");
    EXPECT_EQ(path, std::nullopt);
    EXPECT_EQ(ui.SaveFile({.title = "Save"}), "/tmp/out.dat");
}

TEST(ScriptedUiHost, NotStrictLetsUnexpectedCallsPass) {
    ScriptedUiHost ui;
    ui.SetStrict(false);
    EXPECT_EQ(ui.Message("Any", MsgButtons::OkCancel), MsgResult::Cancel);
    EXPECT_EQ(ui.OpenFile({}), std::nullopt);
    EXPECT_EQ(ui.Messages(), (Strings{"Any"}));
    EXPECT_FALSE(ui.Calls()[0].scripted);
}

// ---------------------------------------------------------------------------------------------
// Unused answers

TEST(ScriptedUiHost, AnUnusedAnswerFailsAtDestruction) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUiHost ui;
            ui.AnswerFolder("/data");
        },
        "1 scripted answer was never used:\n  AnswerFolder(\"/data\") scripted at");
}

TEST(ScriptedUiHost, UnusedAnswersAreListedTogether) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUiHost ui;
            ui.ExpectMessage("Cannot open the file");
            ui.CancelDialog("CSamplingTimeDlg");
            ui.Message("Cannot open the file");
            ui.AnswerTwoChoice(2);
        },
        "2 scripted answers were never used:\n  CancelDialog(CSamplingTimeDlg)");
}

TEST(ScriptedUiHost, VerifyAndClearReportsAndForgets) {
    ScriptedUiHost ui;
    ui.ExpectMessage("Select a trace");
    bool ok = true;
    EXPECT_NONFATAL_FAILURE(ok = ui.VerifyAndClear(), "ExpectMessage(\"Select a trace\", OK)");
    EXPECT_FALSE(ok);
    EXPECT_EQ(ui.PendingAnswers(), 0u);
    EXPECT_TRUE(ui.VerifyAndClear());
}

// ---------------------------------------------------------------------------------------------
// Dialogs

struct SkipParams {
    int skip = 2;
    float interval = 0.5f;
    int mode = 0;
    std::string unit = "m";
    int samples = 4096;
};

DialogRequest SkipRequest(SkipParams& p) {
    DialogRequest req("CSampleSkipDlg", "Sample skip");
    req.Int("Skip", p.skip, 1, 100);
    req.Float("Interval", p.interval, 0.001, 1000).Unit("msec");
    req.Choice("Mode", p.mode, {"New file", "Append to present data"});
    req.String("Unit", p.unit, 3);
    req.Int("Samples", p.samples).ReadOnly();
    return req;
}

TEST(ScriptedUiHost, DialogOkWithValues) {
    ScriptedUiHost ui;
    ui.AnswerDialog("CSampleSkipDlg", {{"Skip", "4"}, {"Mode", "Append to present data"}, {"Interval", "0.25"}});
    SkipParams p;
    DialogRequest req = SkipRequest(p);
    EXPECT_TRUE(ui.RunDialog(req));
    EXPECT_EQ(p.skip, 4);
    EXPECT_EQ(p.mode, 1);
    EXPECT_EQ(p.interval, 0.25f);
    EXPECT_EQ(p.unit, "m");
    const UiCall& call = ui.Calls().back();
    EXPECT_EQ(call.kind, UiCallKind::Dialog);
    EXPECT_EQ(call.text, "CSampleSkipDlg");
    EXPECT_EQ(call.dialogTitle, "Sample skip");
    EXPECT_EQ(call.Shown("Skip"), "2");  // what the dialog showed before the answer
    EXPECT_EQ(call.Shown("Interval"), "0.5");
    EXPECT_EQ(call.Shown("Mode"), "New file");
    EXPECT_EQ(call.Shown("Samples"), "4096");
    EXPECT_EQ(call.answer, "OK with Skip=4, Mode=Append to present data, Interval=0.25");
}

TEST(ScriptedUiHost, DialogOkWithoutValuesKeepsThePresets) {
    ScriptedUiHost ui;
    ui.AnswerDialog("CSampleSkipDlg");
    SkipParams p;
    DialogRequest req = SkipRequest(p);
    EXPECT_TRUE(ui.RunDialog(req));
    EXPECT_EQ(p.skip, 2);
    EXPECT_EQ(ui.Calls().back().answer, "OK");
}

TEST(ScriptedUiHost, DialogCancelLeavesTheStructUntouched) {
    ScriptedUiHost ui;
    ui.CancelDialog("CSampleSkipDlg");
    SkipParams p;
    DialogRequest req = SkipRequest(p);
    EXPECT_FALSE(ui.RunDialog(req));
    EXPECT_EQ(p.skip, 2);
    EXPECT_EQ(p.mode, 0);
    EXPECT_EQ(ui.Calls().back().answer, "Cancel");
}

TEST(ScriptedUiHost, DialogHandlerSeesTheRequest) {
    ScriptedUiHost ui;
    ui.AnswerDialogWith("CSampleSkipDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Title(), "Sample skip");
        EXPECT_EQ(r.Find("Unit")->SetString("ft"), "");
        return true;
    });
    SkipParams p;
    DialogRequest req = SkipRequest(p);
    EXPECT_TRUE(ui.RunDialog(req));
    EXPECT_EQ(p.unit, "ft");
}

TEST(ScriptedUiHost, AnotherDialogClassFailsTheTest) {
    ScriptedUiHost ui;
    ui.AnswerDialog("CSamplingTimeDlg", {{"Sampling time", "0.25"}});
    SkipParams p;
    DialogRequest req = SkipRequest(p);
    bool ok = true;
    EXPECT_NONFATAL_FAILURE(ok = ui.RunDialog(req), "unexpected dialog CSampleSkipDlg \"Sample skip\"");
    EXPECT_FALSE(ok);
    EXPECT_EQ(p.skip, 2);
    EXPECT_NONFATAL_FAILURE(ui.VerifyAndClear(), "AnswerDialog(CSamplingTimeDlg, {Sampling time=\"0.25\"})");
}

TEST(ScriptedUiHost, ARefusedValueFailsTheTestAndCancels) {
    ScriptedUiHost ui;
    ui.AnswerDialog("CSampleSkipDlg", {{"Skip", "4"}, {"Interval", "0"}});
    SkipParams p;
    DialogRequest req = SkipRequest(p);
    bool ok = true;
    EXPECT_NONFATAL_FAILURE(ok = ui.RunDialog(req),
                            "Interval=\"0\" is refused: Please enter a number between 0.001 and 1000.");
    EXPECT_FALSE(ok);
    EXPECT_EQ(p.skip, 2);  // nothing committed
    EXPECT_EQ(ui.Calls().back().answer, "Cancel (script refused)");
}

TEST(ScriptedUiHost, AnUnknownOrReadOnlyFieldFailsTheTest) {
    SkipParams p;
    {
        ScriptedUiHost ui;
        ui.AnswerDialog("CSampleSkipDlg", {{"skip", "4"}});
        DialogRequest req = SkipRequest(p);
        EXPECT_NONFATAL_FAILURE(ui.RunDialog(req), "it has no field named \"skip\"; its fields are: \"Skip\"");
    }
    {
        ScriptedUiHost ui;
        ui.AnswerDialog("CSampleSkipDlg", {{"Samples", "10"}});
        DialogRequest req = SkipRequest(p);
        EXPECT_NONFATAL_FAILURE(ui.RunDialog(req), "field \"Samples\" is read-only");
    }
    EXPECT_EQ(p.samples, 4096);
}

TEST(ScriptedUiHost, OkRefusedForAPresetOutsideTheLimitsFailsTheTest) {
    ScriptedUiHost ui;
    ui.AnswerDialog("CSampleSkipDlg");
    SkipParams p;
    p.skip = 0;
    DialogRequest req = SkipRequest(p);
    EXPECT_NONFATAL_FAILURE(ui.RunDialog(req), "OK would be refused in dialog CSampleSkipDlg");
}

TEST(ScriptedUiHost, AnOkOnlyDialogCannotBeCancelled) {
    ScriptedUiHost ui;
    ui.CancelDialog("COpenDataFileDlg");
    int mode = 0;
    DialogRequest req("COpenDataFileDlg", "Open data file");
    req.Choice("Mode", mode, {"New file", "Append to present data"});
    req.OkOnly();
    EXPECT_NONFATAL_FAILURE(ui.RunDialog(req), "has no Cancel button");
}

// ---------------------------------------------------------------------------------------------
// Progress

TEST(ScriptedUiHost, ProgressRangeOf24With24StepsIsFull) {
    ScriptedUiHost ui;
    {
        auto sink = ui.BeginProgress("Now calculating !");
        sink->SetRange(24);
        for (int i = 0; i < 24; ++i) {
            sink->SetText("Step " + std::to_string(i + 1));
            sink->StepIt();
        }
    }
    auto records = ui.Progresses();
    ASSERT_EQ(records.size(), 1u);
    const ProgressRecord& r = *records[0];
    EXPECT_EQ(r.caption, "Now calculating !");
    EXPECT_EQ(r.range, 24);
    EXPECT_EQ(r.position, 24);
    EXPECT_EQ(r.steps, 24);
    EXPECT_TRUE(r.Full());
    EXPECT_TRUE(r.closed);
    EXPECT_EQ(r.texts.size(), 24u);
    EXPECT_EQ(r.Text(), "Step 24");
}

TEST(ScriptedUiHost, ProgressNeedsNoScriptAndDoesNotDisturbIt) {
    ScriptedUiHost ui;
    ui.ExpectMessage("done");
    {
        auto sink = ui.BeginProgress("Now calculating !");
        sink->SetRange(23);
        for (int i = 0; i < 22; ++i) sink->StepIt();
    }
    ui.Message("done");
    EXPECT_FALSE(ui.Progresses()[0]->Full());
    EXPECT_EQ(ui.Progresses()[0]->position, 22);
}

}  // namespace
}  // namespace velk
