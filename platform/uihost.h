#pragma once
// The core's only way to talk to the user. Every command asks its questions, shows its messages,
// runs its file and folder dialogs, reports progress and edits its parameters through a UiHost.
// The wx shell implements it with real windows; tests use the scripted fake of tests/tools/,
// which answers from a script and records every text shown; NullUiHost serves headless runs.
//
// Every public call is non-virtual and forwards to a protected virtual Do... function, so that
// the convenience defaults live in one place and the dialog commit rule (values change only
// on OK) holds for every implementation.

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace velk {

// ---------------------------------------------------------------------------------------------
// Message boxes

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Info, Warning, Error, Question };
enum class MsgResult { Ok, Cancel, Yes, No };

struct MessageRequest {
    std::string text{};    // shown exactly as given (the caller has chosen the language)
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    std::string caption{};  // empty: the program's name
};

// True when `result` is one of the buttons of `buttons`.
bool IsButtonOf(MsgResult result, MsgButtons buttons);
// The answer of a box closed without a choice: Ok for an OK box, Cancel where a Cancel button
// exists, No for a Yes/No box.
MsgResult DismissResult(MsgButtons buttons);
const char* ToString(MsgButtons buttons);  // "OK", "OK/Cancel", "Yes/No", "Yes/No/Cancel"
const char* ToString(MsgResult result);    // "OK", "Cancel", "Yes", "No"
const char* ToString(MsgIcon icon);        // "none", "info", "warning", "error", "question"

// ---------------------------------------------------------------------------------------------
// Two-choice question (CTwoChoiceDlg::Ask): a message and two buttons whose labels are given;
// the default choice has the focus. The answer is 1 (first button) or 2 (second button, also
// what closing the window gives).

struct TwoChoiceRequest {
    std::string message{};
    int defaultChoice = 1;  // 1 or 2; anything else is taken as 1
    std::string first{};
    std::string second{};
};

// ---------------------------------------------------------------------------------------------
// File and folder dialogs

struct FileFilter {
    std::string description{};  // "Seg2 file(*.sg2)"
    std::string pattern{};      // "*.sg2;*.SG2" (several patterns separated by ';')
};

struct FileRequest {
    std::string title{};                // empty: the toolkit's "Open" / "Save As"
    std::vector<FileFilter> filters{};  // empty: all files
    std::string initialFolder{};        // empty: the working folder
    std::string initialName{};          // preset file name; a pattern such as "*.dat" presets none
    std::string defaultExtension{};     // without the dot; added by a save dialog to a bare name
    bool overwritePrompt = true;        // save: ask before choosing an existing file
};

struct FolderRequest {
    std::string title{};
    std::string initialFolder{};  // empty: the working folder
};

// ---------------------------------------------------------------------------------------------
// Progress (the core side of CProgressDlg): a window with a text line and a bar. The sink is
// shown while it lives; destroying it closes the window.

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void SetRange(int n) = 0;                   // bar from 0 to n, step 1
    virtual void StepIt() = 0;                          // one step forward
    virtual void SetText(const std::string& text) = 0;  // the text line above the bar
};

// What a progress window went through; kept alive by whoever wants to look at it afterwards.
struct ProgressRecord {
    std::string caption{};
    int range = 0;     // upper end of the bar (lower end 0)
    int position = 0;  // where the bar stands, 0..range
    int steps = 0;     // StepIt calls, all of them (more than range means the caller overran)
    std::vector<std::string> texts{};  // every SetText, in order
    bool closed = false;               // the sink has been destroyed

    bool Full() const { return range > 0 && position == range; }
    const std::string& Text() const;  // the last text, or empty
};

// A progress sink that only records: used by NullUiHost and the scripted fake, and usable by a
// toolkit implementation as its model. A step beyond the range leaves the bar full.
class RecordingProgress : public ProgressSink {
public:
    explicit RecordingProgress(std::string caption);
    explicit RecordingProgress(std::shared_ptr<ProgressRecord> record);
    ~RecordingProgress() override;
    void SetRange(int n) override;
    void StepIt() override;
    void SetText(const std::string& text) override;

    int Range() const { return record_->range; }
    int Position() const { return record_->position; }
    int Steps() const { return record_->steps; }
    bool Full() const { return record_->Full(); }
    const ProgressRecord& Record() const { return *record_; }
    std::shared_ptr<const ProgressRecord> Shared() const { return record_; }

private:
    std::shared_ptr<ProgressRecord> record_;
};

// ---------------------------------------------------------------------------------------------
// Modal parameter dialogs. A command fills a plain core struct, builds a DialogRequest that
// names the dialog class and exposes the struct's fields by name, and runs it:
//
//     SamplingTime dlg{interval};
//     DialogRequest req("CSamplingTimeDlg", "Set sampling time");
//     req.Float("Sampling time", dlg.interval, 0.000001, 1e6).Label("Sampling time =").Unit("msec");
//     if (ui.RunDialog(req)) { ... dlg.interval holds the value entered ... }
//
// The dialog edits copies of the values; they are written back into the struct only when the
// dialog ends with OK. Cancel leaves the struct as it was.

enum class FieldType { Int, Float, Double, Bool, String, Choice };
const char* ToString(FieldType type);

class DialogField {
public:
    using Target = std::variant<int*, float*, double*, bool*, std::string*>;

    DialogField(std::string name, FieldType type, Target target);

    // Presentation, chainable right after the builder call: req.Int(...).Label("Skip =").Unit("traces").
    DialogField& Label(std::string text);  // the text beside the field (default: the name)
    DialogField& Unit(std::string text);   // the text after the field ("msec", "Hz")
    DialogField& ReadOnly(bool on = true); // shown, not editable
    DialogField& Focus(bool on = true);    // where the input focus starts when the dialog opens
    // The limits are checked when the dialog is to close with OK (Check), not each time the
    // value is set: a keypad dialog reads its edits on every key.
    DialogField& LimitsOnOk(bool on = true);

    const std::string& Name() const { return name_; }
    FieldType Type() const { return type_; }
    const std::string& LabelText() const { return label_.empty() ? name_ : label_; }
    const std::string& UnitText() const { return unit_; }
    bool IsReadOnly() const { return readOnly_; }
    bool HasFocus() const { return focus_; }
    const std::optional<double>& Min() const { return min_; }  // Int, Float, Double
    const std::optional<double>& Max() const { return max_; }
    size_t MaxLength() const { return maxLength_; }             // String; 0 = unlimited
    const std::vector<std::string>& Choices() const { return choices_; }  // Choice labels

    // The value being edited, as an edit box shows it: ints "%d", floats "%.6g", doubles "%.15g"
    // (C locale), bools "1"/"0", strings as they are, choices the chosen label (empty when
    // none is chosen).
    std::string Text() const;

    // Sets the edited value from text, the way the dialog's data exchange would: numbers are
    // parsed strictly in the C locale and checked against the limits; a bool takes "1"/"0"/
    // "true"/"false"; a choice takes one of its labels or its index. Returns the error text a
    // dialog shows ("Please enter an integer between 1 and 100."), or an empty string when
    // the value was taken. A refused text leaves the value unchanged.
    std::string SetFromText(std::string_view text);

    // Typed access to the edited value. The setters check the limits like SetFromText.
    int IntValue() const;        // Int, Choice (-1: no choice)
    double NumberValue() const;  // Int, Float, Double
    bool BoolValue() const;
    const std::string& StringValue() const;
    std::string SetInt(int v);       // Int, Choice
    std::string SetNumber(double v); // Int (must be whole), Float, Double
    std::string SetBool(bool v);
    std::string SetString(std::string v);

    // Error text when the edited value breaks a limit (a preset can), else empty.
    std::string Check() const;

    void Load();          // edited value := the struct's value
    void Commit() const;  // the struct's value := edited value

private:
    friend class DialogRequest;
    using Value = std::variant<int, float, double, bool, std::string>;
    std::string CheckValue(const Value& v, bool withLimits = true) const;
    std::string Assign(Value v);

    std::string name_;
    FieldType type_;
    Target target_;
    Value value_;
    std::string label_;
    std::string unit_;
    bool readOnly_ = false;
    bool focus_ = false;
    bool limitsOnOk_ = false;
    std::optional<double> min_, max_;
    size_t maxLength_ = 0;
    std::vector<std::string> choices_;
};

class DialogRequest {
public:
    DialogRequest(std::string dialogClass, std::string title);

    const std::string& DialogClass() const { return dialogClass_; }
    const std::string& Title() const { return title_; }

    // Builders: each exposes one member of the caller's struct, which must outlive the request.
    // Names are unique within a request (a repeated name throws std::invalid_argument).
    DialogField& Int(std::string name, int& value, std::optional<int> min = {}, std::optional<int> max = {});
    DialogField& Float(std::string name, float& value, std::optional<double> min = {},
                       std::optional<double> max = {});
    DialogField& Double(std::string name, double& value, std::optional<double> min = {},
                        std::optional<double> max = {});
    DialogField& Bool(std::string name, bool& value);
    DialogField& Bool(std::string name, int& value);  // a check box kept as 0/1 in an int
    DialogField& String(std::string name, std::string& value, size_t maxLength = 0);
    // A radio group or list: `index` is 0..labels-1, or -1 for none chosen.
    DialogField& Choice(std::string name, int& index, std::vector<std::string> labels);

    // A dialog with OK only (the Cancel button absent; closing the window counts as OK).
    DialogRequest& OkOnly(bool on = true) { okOnly_ = on; return *this; }
    bool IsOkOnly() const { return okOnly_; }

    // A push button besides OK and Cancel ("Next", "Set"): its action works on the values being
    // edited. A window hands its controls' values to the request first and shows the edited
    // values again afterwards; a scripted answer calls Press. The action may change the caller's
    // struct (a dialog's working copy); Cancel still commits nothing of the edited values.
    using Action = std::function<void(DialogRequest&)>;
    struct Button {
        std::string name;
        std::string label;  // the text on the button (default: the name)
        Action action;
    };
    DialogRequest& AddButton(std::string name, Action action, std::string label = {});
    const std::vector<Button>& Buttons() const { return buttons_; }
    // Runs the named button's action; false when there is no such button.
    bool Press(std::string_view name);

    std::deque<DialogField>& Fields() { return fields_; }
    const std::deque<DialogField>& Fields() const { return fields_; }
    DialogField* Find(std::string_view name);
    const DialogField* Find(std::string_view name) const;

    // Sets a field's edited value from text; the error text, or empty on success. An unknown
    // name gives "No field named ...".
    std::string SetFromText(std::string_view name, std::string_view text);
    // The first field's limit error ("<label>: <error>"), or empty when OK may be pressed.
    std::string Check() const;

    void Load();          // every edited value := the struct's value
    void Commit() const;  // every struct value := edited value

private:
    DialogField& Add(DialogField field);

    std::string dialogClass_;
    std::string title_;
    bool okOnly_ = false;
    std::vector<Button> buttons_;
    std::deque<DialogField> fields_;  // a deque keeps returned references valid
};

// ---------------------------------------------------------------------------------------------

class UiHost {
public:
    virtual ~UiHost() = default;

    MsgResult Message(const MessageRequest& request);
    MsgResult Message(std::string text, MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None,
                      std::string caption = {});

    // Returns 1 or 2.
    int TwoChoice(const TwoChoiceRequest& request);
    int TwoChoice(std::string message, int defaultChoice, std::string first, std::string second);

    // Full paths; nullopt (or an empty list) on Cancel.
    std::optional<std::string> OpenFile(const FileRequest& request);
    std::vector<std::string> OpenFiles(const FileRequest& request);  // multiple selection
    std::optional<std::string> SaveFile(const FileRequest& request);
    std::optional<std::string> BrowseFolder(const FolderRequest& request);

    // A progress window with this caption, shown until the sink is destroyed. Never null.
    std::unique_ptr<ProgressSink> BeginProgress(const std::string& caption);

    // Shows the dialog with the struct's current values. True after OK, with the values
    // written back; false after Cancel, with the struct untouched.
    bool RunDialog(DialogRequest& request);
    // True once the program is closing while a command is still running: every question is
    // then answered as dismissed without a window, and a command that holds work not yet saved
    // (a recorded shot) saves it instead of dropping it.
    bool Closing() const { return DoClosing(); }

protected:
    virtual MsgResult DoMessage(const MessageRequest& request) = 0;
    virtual int DoTwoChoice(const TwoChoiceRequest& request) = 0;
    virtual std::optional<std::string> DoOpenFile(const FileRequest& request) = 0;
    virtual std::vector<std::string> DoOpenFiles(const FileRequest& request) = 0;
    virtual std::optional<std::string> DoSaveFile(const FileRequest& request) = 0;
    virtual std::optional<std::string> DoBrowseFolder(const FolderRequest& request) = 0;
    virtual std::unique_ptr<ProgressSink> DoBeginProgress(const std::string& caption) = 0;
    // Edits the request's values (already loaded from the struct); true means OK. The caller
    // commits; an implementation must not return true while request.Check() reports an error.
    virtual bool DoRunDialog(DialogRequest& request) = 0;
    virtual bool DoClosing() const { return false; }
};

// For headless runs with no user: every question gets the answer that changes nothing
// (DismissResult, the default choice, Cancel), progress is recorded and dropped.
class NullUiHost : public UiHost {
protected:
    MsgResult DoMessage(const MessageRequest& request) override;
    int DoTwoChoice(const TwoChoiceRequest& request) override;
    std::optional<std::string> DoOpenFile(const FileRequest& request) override;
    std::vector<std::string> DoOpenFiles(const FileRequest& request) override;
    std::optional<std::string> DoSaveFile(const FileRequest& request) override;
    std::optional<std::string> DoBrowseFolder(const FolderRequest& request) override;
    std::unique_ptr<ProgressSink> DoBeginProgress(const std::string& caption) override;
    bool DoRunDialog(DialogRequest& request) override;
};

}  // namespace velk
