#include "tools/scripted_uihost.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace velk {

namespace {

// The text in double quotes, with line breaks, tabs, quotes and backslashes escaped, so that a
// failure shows exactly what was (or was to be) shown.
std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

std::string At(const ScriptWhere& where) {
    return std::string(where.file) + ":" + std::to_string(where.line);
}

std::string DescribeFile(const FileRequest& r) {
    std::string s = Quote(r.title);
    if (!r.filters.empty()) {
        s += " filters";
        for (size_t i = 0; i < r.filters.size(); ++i)
            s += (i ? ", " : " ") + Quote(r.filters[i].description) + " " + Quote(r.filters[i].pattern);
    }
    if (!r.initialName.empty()) s += " name " + Quote(r.initialName);
    if (!r.initialFolder.empty()) s += " in " + Quote(r.initialFolder);
    return s;
}

std::string JoinPaths(const std::vector<std::string>& paths) {
    std::string s;
    for (size_t i = 0; i < paths.size(); ++i) s += (i ? ", " : "") + Quote(paths[i]);
    return s;
}

}  // namespace

const char* ToString(UiCallKind kind) {
    switch (kind) {
        case UiCallKind::Message: return "message box";
        case UiCallKind::TwoChoice: return "two-choice question";
        case UiCallKind::OpenFile: return "file-open dialog";
        case UiCallKind::OpenFiles: return "multiple file-open dialog";
        case UiCallKind::SaveFile: return "file-save dialog";
        case UiCallKind::Folder: return "folder chooser";
        case UiCallKind::Dialog: return "dialog";
        case UiCallKind::Progress: return "progress window";
    }
    return "?";
}

// ---------------------------------------------------------------------------------------------

std::string UiCall::Describe() const {
    std::string s = ToString(kind);
    switch (kind) {
        case UiCallKind::Message:
            s += " " + Quote(text) + " [" + ToString(message.buttons) + "]";
            if (message.icon != MsgIcon::None) s += std::string(" icon ") + ToString(message.icon);
            if (!message.caption.empty()) s += " caption " + Quote(message.caption);
            break;
        case UiCallKind::TwoChoice:
            s += " " + Quote(text) + " [" + Quote(twoChoice.first) + " | " + Quote(twoChoice.second) +
                 ", default " + std::to_string(twoChoice.defaultChoice) + "]";
            break;
        case UiCallKind::OpenFile:
        case UiCallKind::OpenFiles:
        case UiCallKind::SaveFile: s += " " + DescribeFile(file); break;
        case UiCallKind::Folder:
            s += " " + Quote(text);
            if (!folder.initialFolder.empty()) s += " in " + Quote(folder.initialFolder);
            break;
        case UiCallKind::Dialog: {
            s += " " + text + " " + Quote(dialogTitle) + " {";
            for (size_t i = 0; i < shown.size(); ++i)
                s += (i ? ", " : "") + shown[i].first + "=" + Quote(shown[i].second);
            s += "}";
            break;
        }
        case UiCallKind::Progress: s += " " + Quote(text); break;
    }
    if (!answer.empty()) s += " -> " + answer;
    return s;
}

std::string UiCall::Shown(const std::string& field) const {
    for (const auto& [name, value] : shown)
        if (name == field) return value;
    return {};
}

std::string ScriptedUiHost::Step::Describe() const {
    std::string s;
    switch (kind) {
        case UiCallKind::Message:
            s = text ? "ExpectMessage(" + Quote(*text) : std::string("ExpectAnyMessage(");
            if (buttons) s += std::string(text ? ", " : "") + ToString(*buttons);
            s += std::string(text || buttons ? ", " : "") + ToString(result) + ")";
            break;
        case UiCallKind::TwoChoice:
            s = text ? "ExpectTwoChoice(" + Quote(*text) + ", " : std::string("AnswerTwoChoice(");
            s += std::to_string(choice) + ")";
            break;
        case UiCallKind::OpenFile: s = path ? "AnswerFileOpen(" + Quote(*path) + ")" : "CancelFileOpen()"; break;
        case UiCallKind::OpenFiles:
            s = paths.empty() ? "CancelFilesOpen()" : "AnswerFilesOpen({" + JoinPaths(paths) + "})";
            break;
        case UiCallKind::SaveFile: s = path ? "AnswerFileSave(" + Quote(*path) + ")" : "CancelFileSave()"; break;
        case UiCallKind::Folder: s = path ? "AnswerFolder(" + Quote(*path) + ")" : "CancelFolder()"; break;
        case UiCallKind::Dialog:
            if (handler)
                s = "AnswerDialogWith(" + *text + ", ...)";
            else if (!ok)
                s = "CancelDialog(" + *text + ")";
            else {
                s = "AnswerDialog(" + *text + ", {";
                for (size_t i = 0; i < values.size(); ++i)
                    s += (i ? ", " : "") + values[i].first + "=" + Quote(values[i].second);
                s += "})";
            }
            break;
        case UiCallKind::Progress: s = "progress"; break;
    }
    return s + " scripted at " + At(where);
}

// ---------------------------------------------------------------------------------------------
// Script

ScriptedUiHost::~ScriptedUiHost() { VerifyAndClear(); }

void ScriptedUiHost::Script(Step step) { steps_.push_back(std::move(step)); }

void ScriptedUiHost::ExpectMessage(std::string text, MsgResult answer, Where where) {
    Step s;
    s.kind = UiCallKind::Message;
    s.text = std::move(text);
    s.result = answer;
    s.where = where;
    Script(std::move(s));
}

void ScriptedUiHost::ExpectMessage(std::string text, MsgButtons buttons, MsgResult answer, Where where) {
    if (!IsButtonOf(answer, buttons))
        ADD_FAILURE_AT(where.file, where.line)
            << "ScriptedUiHost: " << ToString(answer) << " is not a button of a " << ToString(buttons) << " box";
    Step s;
    s.kind = UiCallKind::Message;
    s.text = std::move(text);
    s.buttons = buttons;
    s.result = answer;
    s.where = where;
    Script(std::move(s));
}

void ScriptedUiHost::ExpectAnyMessage(MsgResult answer, Where where) {
    Step s;
    s.kind = UiCallKind::Message;
    s.result = answer;
    s.where = where;
    Script(std::move(s));
}

void ScriptedUiHost::AnswerTwoChoice(int choice, Where where) {
    if (choice != 1 && choice != 2)
        ADD_FAILURE_AT(where.file, where.line) << "ScriptedUiHost: a two-choice answer is 1 or 2, not " << choice;
    Step s;
    s.kind = UiCallKind::TwoChoice;
    s.choice = choice;
    s.where = where;
    Script(std::move(s));
}

void ScriptedUiHost::ExpectTwoChoice(std::string message, int choice, Where where) {
    AnswerTwoChoice(choice, where);
    steps_.back().text = std::move(message);
}

void ScriptedUiHost::AnswerFileOpen(std::string path, Where where) {
    Step s;
    s.kind = UiCallKind::OpenFile;
    s.path = std::move(path);
    s.where = where;
    Script(std::move(s));
}

void ScriptedUiHost::CancelFileOpen(Where where) {
    Step s;
    s.kind = UiCallKind::OpenFile;
    s.where = where;
    Script(std::move(s));
}

void ScriptedUiHost::AnswerFilesOpen(std::vector<std::string> paths, Where where) {
    if (paths.empty())
        ADD_FAILURE_AT(where.file, where.line)
            << "ScriptedUiHost: AnswerFilesOpen needs at least one path (CancelFilesOpen cancels)";
    Step s;
    s.kind = UiCallKind::OpenFiles;
    s.paths = std::move(paths);
    s.where = where;
    Script(std::move(s));
}

void ScriptedUiHost::CancelFilesOpen(Where where) {
    Step s;
    s.kind = UiCallKind::OpenFiles;
    s.where = where;
    Script(std::move(s));
}

void ScriptedUiHost::AnswerFileSave(std::string path, Where where) {
    Step s;
    s.kind = UiCallKind::SaveFile;
    s.path = std::move(path);
    s.where = where;
    Script(std::move(s));
}

void ScriptedUiHost::CancelFileSave(Where where) {
    Step s;
    s.kind = UiCallKind::SaveFile;
    s.where = where;
    Script(std::move(s));
}

void ScriptedUiHost::AnswerFolder(std::string path, Where where) {
    Step s;
    s.kind = UiCallKind::Folder;
    s.path = std::move(path);
    s.where = where;
    Script(std::move(s));
}

void ScriptedUiHost::CancelFolder(Where where) {
    Step s;
    s.kind = UiCallKind::Folder;
    s.where = where;
    Script(std::move(s));
}

void ScriptedUiHost::AnswerDialog(std::string dialogClass, FieldValues values, Where where) {
    Step s;
    s.kind = UiCallKind::Dialog;
    s.text = std::move(dialogClass);
    s.values = std::move(values);
    s.where = where;
    Script(std::move(s));
}

void ScriptedUiHost::CancelDialog(std::string dialogClass, Where where) {
    Step s;
    s.kind = UiCallKind::Dialog;
    s.text = std::move(dialogClass);
    s.ok = false;
    s.where = where;
    Script(std::move(s));
}

void ScriptedUiHost::AnswerDialogWith(std::string dialogClass, std::function<bool(DialogRequest&)> handler,
                                      Where where) {
    Step s;
    s.kind = UiCallKind::Dialog;
    s.text = std::move(dialogClass);
    s.handler = std::move(handler);
    s.where = where;
    Script(std::move(s));
}

bool ScriptedUiHost::VerifyAndClear() {
    if (steps_.empty()) return true;
    std::string list;
    for (const auto& s : steps_) list += "\n  " + s.Describe();
    const Step& first = steps_.front();
    ADD_FAILURE_AT(first.where.file, first.where.line)
        << "ScriptedUiHost: " << steps_.size() << " scripted answer" << (steps_.size() == 1 ? " was" : "s were")
        << " never used:" << list;
    steps_.clear();
    return false;
}

// ---------------------------------------------------------------------------------------------
// Matching

void ScriptedUiHost::Fail(const std::string& what) const {
    std::string history;
    size_t from = calls_.size() > 5 ? calls_.size() - 5 : 0;
    for (size_t i = from; i < calls_.size(); ++i) history += "\n    " + calls_[i].Describe();
    ADD_FAILURE() << "ScriptedUiHost: " << what
                  << (history.empty() ? std::string("\n  (no earlier call)") : "\n  earlier calls:" + history);
}

std::optional<ScriptedUiHost::Step> ScriptedUiHost::Take(UiCall& call) {
    if (!steps_.empty()) {
        const Step& s = steps_.front();
        if (s.kind == call.kind && (!s.text || *s.text == call.text) &&
            (!s.buttons || *s.buttons == call.message.buttons)) {
            Step step = std::move(steps_.front());
            steps_.pop_front();
            call.scripted = true;
            return step;
        }
    }
    if (strict_) {
        std::string what = "unexpected " + call.Describe();
        if (steps_.empty()) {
            what += "\n  no scripted answer is left";
        } else {
            const Step& s = steps_.front();
            what += "\n  the next scripted answer is " + s.Describe();
            if (s.kind == call.kind && s.text && *s.text != call.text) {
                if (call.kind == UiCallKind::Dialog)
                    what += "\n  expected dialog class " + *s.text + ", shown " + call.text;
                else
                    what += "\n  expected text: " + Quote(*s.text) + "\n    actual text: " + Quote(call.text);
            }
            if (s.kind == call.kind && s.buttons && *s.buttons != call.message.buttons)
                what += std::string("\n  expected buttons ") + ToString(*s.buttons) + ", shown " +
                        ToString(call.message.buttons);
        }
        Fail(what);
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------
// Calls

MsgResult ScriptedUiHost::DoMessage(const MessageRequest& request) {
    UiCall call;
    call.kind = UiCallKind::Message;
    call.text = request.text;
    call.message = request;
    MsgResult result = DismissResult(request.buttons);
    closing_ = closing_ || request.text == closeAt_;
    if (closing_) {
        call.answer = std::string(ToString(result)) + " (closing)";
    } else if (auto step = Take(call)) {
        if (IsButtonOf(step->result, request.buttons))
            result = step->result;
        else
            Fail(std::string("the answer ") + ToString(step->result) + " is not a button of " + call.Describe() +
                 "\n  " + step->Describe());
    }
    if (!closing_) call.answer = ToString(result);
    calls_.push_back(std::move(call));
    return result;
}

int ScriptedUiHost::DoTwoChoice(const TwoChoiceRequest& request) {
    UiCall call;
    call.kind = UiCallKind::TwoChoice;
    call.text = request.message;
    call.twoChoice = request;
    int choice = request.defaultChoice;
    if (auto step = Take(call)) choice = step->choice == 1 ? 1 : 2;
    call.answer = std::to_string(choice);
    calls_.push_back(std::move(call));
    return choice;
}

std::optional<std::string> ScriptedUiHost::DoOpenFile(const FileRequest& request) {
    UiCall call;
    call.kind = UiCallKind::OpenFile;
    call.text = request.title;
    call.file = request;
    std::optional<std::string> path;
    if (auto step = Take(call)) path = step->path;
    call.answer = path ? Quote(*path) : "Cancel";
    calls_.push_back(std::move(call));
    return path;
}

std::vector<std::string> ScriptedUiHost::DoOpenFiles(const FileRequest& request) {
    UiCall call;
    call.kind = UiCallKind::OpenFiles;
    call.text = request.title;
    call.file = request;
    std::vector<std::string> paths;
    if (auto step = Take(call)) paths = step->paths;
    call.answer = paths.empty() ? "Cancel" : JoinPaths(paths);
    calls_.push_back(std::move(call));
    return paths;
}

std::optional<std::string> ScriptedUiHost::DoSaveFile(const FileRequest& request) {
    UiCall call;
    call.kind = UiCallKind::SaveFile;
    call.text = request.title;
    call.file = request;
    std::optional<std::string> path;
    if (auto step = Take(call)) path = step->path;
    call.answer = path ? Quote(*path) : "Cancel";
    calls_.push_back(std::move(call));
    return path;
}

std::optional<std::string> ScriptedUiHost::DoBrowseFolder(const FolderRequest& request) {
    UiCall call;
    call.kind = UiCallKind::Folder;
    call.text = request.title;
    call.folder = request;
    std::optional<std::string> path;
    if (auto step = Take(call)) path = step->path;
    call.answer = path ? Quote(*path) : "Cancel";
    calls_.push_back(std::move(call));
    return path;
}

std::unique_ptr<ProgressSink> ScriptedUiHost::DoBeginProgress(const std::string& caption) {
    auto record = std::make_shared<ProgressRecord>();
    record->caption = caption;
    UiCall call;
    call.kind = UiCallKind::Progress;
    call.text = caption;
    call.progress = record;
    call.scripted = true;  // progress is never scripted, so never unexpected
    calls_.push_back(std::move(call));
    return std::make_unique<RecordingProgress>(record);
}

bool ScriptedUiHost::DoRunDialog(DialogRequest& request) {
    UiCall call;
    call.kind = UiCallKind::Dialog;
    call.text = request.DialogClass();
    call.dialogTitle = request.Title();
    for (const auto& f : request.Fields()) call.shown.emplace_back(f.Name(), f.Text());

    bool ok = false;
    auto step = Take(call);
    if (!step) {
        ok = request.IsOkOnly() && request.Check().empty();
        call.answer = ok ? "OK" : "Cancel";
    } else if (step->handler) {
        ok = step->handler(request);
        if (ok && !request.Check().empty()) {
            Fail("OK would be refused in " + call.Describe() + ": " + request.Check() + "\n  " + step->Describe());
            ok = false;
        }
        call.answer = ok ? "OK (handler)" : "Cancel (handler)";
    } else if (!step->ok) {
        if (request.IsOkOnly())
            Fail(call.Describe() + " has no Cancel button\n  " + step->Describe());
        call.answer = "Cancel";
    } else {
        ok = true;
        std::string answer = "OK";
        for (const auto& [name, value] : step->values) {
            DialogField* field = request.Find(name);
            std::string error;
            if (!field) {
                error = "it has no field named \"" + name + "\"; its fields are:";
                for (const auto& f : request.Fields()) error += " \"" + f.Name() + "\"";
            } else if (field->IsReadOnly()) {
                error = "field \"" + name + "\" is read-only";
            } else {
                error = field->SetFromText(value);
                if (!error.empty()) error = name + "=" + Quote(value) + " is refused: " + error;
            }
            if (!error.empty()) {
                Fail("cannot answer " + call.Describe() + ": " + error + "\n  " + step->Describe());
                ok = false;
                break;
            }
            answer += (answer == "OK" ? " with " : ", ") + name + "=" + value;
        }
        if (ok) {
            std::string error = request.Check();
            if (!error.empty()) {
                Fail("OK would be refused in " + call.Describe() + ": " + error + "\n  " + step->Describe());
                ok = false;
            }
        }
        call.answer = ok ? answer : "Cancel (script refused)";
    }
    calls_.push_back(std::move(call));
    return ok;
}

std::vector<std::string> ScriptedUiHost::Messages() const {
    std::vector<std::string> texts;
    for (const auto& c : calls_)
        if (c.kind == UiCallKind::Message) texts.push_back(c.text);
    return texts;
}

std::vector<std::string> ScriptedUiHost::Questions() const {
    std::vector<std::string> texts;
    for (const auto& c : calls_)
        if (c.kind == UiCallKind::TwoChoice) texts.push_back(c.text);
    return texts;
}

std::vector<std::shared_ptr<const ProgressRecord>> ScriptedUiHost::Progresses() const {
    std::vector<std::shared_ptr<const ProgressRecord>> records;
    for (const auto& c : calls_)
        if (c.kind == UiCallKind::Progress) records.push_back(c.progress);
    return records;
}

}  // namespace velk
