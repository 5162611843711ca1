#pragma once
// A UiHost for tests: it answers from a script, in order, and records every call with its exact
// text. A call that the script does not expect next (nothing left, another kind of call, another
// text or dialog class) fails the test with a description of the call and of the next scripted
// answer, and gets the answer that changes nothing. A scripted answer left unused fails the test
// when the host is destroyed (or at VerifyAndClear()).
//
//     ScriptedUiHost ui;
//     ui.AnswerFileOpen("/tmp/x.sg2");
//     ui.AnswerDialog("CSamplingTimeDlg", {{"Sampling time", "0.25"}});  // OK with 0.25
//     ui.ExpectMessage("Cannot open the file");                           // answered OK
//     RunTheCommand(ui, ...);
//     EXPECT_EQ(ui.Messages(), std::vector<std::string>{"Cannot open the file"});
//
// Progress windows are not scripted; each one is recorded (Progresses()).

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/uihost.h"

namespace velk {

enum class UiCallKind { Message, TwoChoice, OpenFile, OpenFiles, SaveFile, Folder, Dialog, Progress };
const char* ToString(UiCallKind kind);

// One call the code under test made.
struct UiCall {
    UiCallKind kind = UiCallKind::Message;
    // The call's main text, exactly as shown: the message, the two-choice question, the file or
    // folder dialog's title, the dialog class, the progress caption.
    std::string text;

    MessageRequest message;       // Message
    TwoChoiceRequest twoChoice;   // TwoChoice
    FileRequest file;             // OpenFile, OpenFiles, SaveFile
    FolderRequest folder;         // Folder
    std::string dialogTitle;      // Dialog
    // Dialog: every field's name and its text as the dialog showed it, before the answer.
    std::vector<std::pair<std::string, std::string>> shown;
    std::shared_ptr<const ProgressRecord> progress;  // Progress

    bool scripted = false;  // a scripted answer matched it
    std::string answer;     // the answer given, as text: "OK", "2", a path, "Cancel", "OK with Skip=4"

    std::string Describe() const;
    // Dialog: the text a field showed ("" when there is no such field).
    std::string Shown(const std::string& field) const;
};

using FieldValues = std::vector<std::pair<std::string, std::string>>;

// Where a test scripted an answer, for the failure messages. (std::source_location needs a
// newer clang than Debian 12's; these builtins exist in both compilers.)
struct ScriptWhere {
    const char* file = "";
    int line = 0;
    static constexpr ScriptWhere current(const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
        return ScriptWhere{file, line};
    }
};

class ScriptedUiHost : public UiHost {
public:
    using Where = ScriptWhere;

    ScriptedUiHost() = default;
    ~ScriptedUiHost() override;  // fails the test when scripted answers are left
    ScriptedUiHost(const ScriptedUiHost&) = delete;
    ScriptedUiHost& operator=(const ScriptedUiHost&) = delete;

    // Message boxes: the text must match exactly; the answer must be one of the box's buttons.
    void ExpectMessage(std::string text, MsgResult answer = MsgResult::Ok, Where where = Where::current());
    // ... and the buttons must be these.
    void ExpectMessage(std::string text, MsgButtons buttons, MsgResult answer, Where where = Where::current());
    void ExpectAnyMessage(MsgResult answer = MsgResult::Ok, Where where = Where::current());

    // Two-choice questions: answer 1 or 2.
    void AnswerTwoChoice(int choice, Where where = Where::current());                       // any question
    void ExpectTwoChoice(std::string message, int choice, Where where = Where::current());  // exact question

    // File and folder dialogs.
    void AnswerFileOpen(std::string path, Where where = Where::current());
    void CancelFileOpen(Where where = Where::current());
    void AnswerFilesOpen(std::vector<std::string> paths, Where where = Where::current());
    void CancelFilesOpen(Where where = Where::current());
    void AnswerFileSave(std::string path, Where where = Where::current());
    void CancelFileSave(Where where = Where::current());
    void AnswerFolder(std::string path, Where where = Where::current());
    void CancelFolder(Where where = Where::current());

    // Parameter dialogs of the named class. OK after setting the fields from text, in the order
    // given (FieldValues as for DialogField::SetFromText); a refused value, a read-only or
    // unknown field, or a value that OK would refuse fails the test and cancels the dialog.
    void AnswerDialog(std::string dialogClass, FieldValues values = {}, Where where = Where::current());
    void CancelDialog(std::string dialogClass, Where where = Where::current());
    // Full control: the handler edits the request and returns true for OK.
    void AnswerDialogWith(std::string dialogClass, std::function<bool(DialogRequest&)> handler,
                          Where where = Where::current());

    // Not strict: an unexpected call gets the answer that changes nothing without failing the
    // test (still recorded, with scripted = false). Strict is the default.
    void SetStrict(bool strict) { strict_ = strict; }

    // The program closes while the message with this text is open: from then on every message
    // is answered as dismissed and Closing() holds.
    void CloseAt(std::string text) { closeAt_ = std::move(text); }

    // Fails the test when scripted answers are left, then forgets them. True when none was left.
    bool VerifyAndClear();
    size_t PendingAnswers() const { return steps_.size(); }

    // What happened.
    const std::vector<UiCall>& Calls() const { return calls_; }
    std::vector<std::string> Messages() const;   // message-box texts, in order
    std::vector<std::string> Questions() const;  // two-choice questions, in order
    std::vector<std::shared_ptr<const ProgressRecord>> Progresses() const;
    void ClearCalls() { calls_.clear(); }

protected:
    MsgResult DoMessage(const MessageRequest& request) override;
    int DoTwoChoice(const TwoChoiceRequest& request) override;
    std::optional<std::string> DoOpenFile(const FileRequest& request) override;
    std::vector<std::string> DoOpenFiles(const FileRequest& request) override;
    std::optional<std::string> DoSaveFile(const FileRequest& request) override;
    std::optional<std::string> DoBrowseFolder(const FolderRequest& request) override;
    std::unique_ptr<ProgressSink> DoBeginProgress(const std::string& caption) override;
    bool DoRunDialog(DialogRequest& request) override;
    bool DoClosing() const override { return closing_; }

private:
    struct Step {
        UiCallKind kind = UiCallKind::Message;
        std::optional<std::string> text;  // exact text (dialog class for dialogs); none: any
        std::optional<MsgButtons> buttons;
        MsgResult result = MsgResult::Ok;
        int choice = 1;
        std::optional<std::string> path;  // none: Cancel
        std::vector<std::string> paths;
        bool ok = true;  // dialogs
        FieldValues values;
        std::function<bool(DialogRequest&)> handler;
        Where where;
        std::string Describe() const;
    };

    void Script(Step step);
    // The next step when it matches the call (and removes it from the script); otherwise
    // nullopt, after failing the test in strict mode.
    std::optional<Step> Take(UiCall& call);
    void Fail(const std::string& what) const;

    std::deque<Step> steps_;  // in order; the front is next
    std::vector<UiCall> calls_;
    bool strict_ = true;
    std::optional<std::string> closeAt_;
    bool closing_ = false;
};

}  // namespace velk
