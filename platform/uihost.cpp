#include "platform/uihost.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "platform/numtext.h"

namespace velk {

// ---------------------------------------------------------------------------------------------
// Message boxes

bool IsButtonOf(MsgResult result, MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok: return result == MsgResult::Ok;
        case MsgButtons::OkCancel: return result == MsgResult::Ok || result == MsgResult::Cancel;
        case MsgButtons::YesNo: return result == MsgResult::Yes || result == MsgResult::No;
        case MsgButtons::YesNoCancel:
            return result == MsgResult::Yes || result == MsgResult::No || result == MsgResult::Cancel;
    }
    return false;
}

MsgResult DismissResult(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok: return MsgResult::Ok;
        case MsgButtons::YesNo: return MsgResult::No;
        case MsgButtons::OkCancel:
        case MsgButtons::YesNoCancel: return MsgResult::Cancel;
    }
    return MsgResult::Cancel;
}

const char* ToString(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok: return "OK";
        case MsgButtons::OkCancel: return "OK/Cancel";
        case MsgButtons::YesNo: return "Yes/No";
        case MsgButtons::YesNoCancel: return "Yes/No/Cancel";
    }
    return "?";
}

const char* ToString(MsgResult result) {
    switch (result) {
        case MsgResult::Ok: return "OK";
        case MsgResult::Cancel: return "Cancel";
        case MsgResult::Yes: return "Yes";
        case MsgResult::No: return "No";
    }
    return "?";
}

const char* ToString(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::None: return "none";
        case MsgIcon::Info: return "info";
        case MsgIcon::Warning: return "warning";
        case MsgIcon::Error: return "error";
        case MsgIcon::Question: return "question";
    }
    return "?";
}

// ---------------------------------------------------------------------------------------------
// Progress

const std::string& ProgressRecord::Text() const {
    static const std::string empty;
    return texts.empty() ? empty : texts.back();
}

RecordingProgress::RecordingProgress(std::string caption)
    : record_(std::make_shared<ProgressRecord>()) {
    record_->caption = std::move(caption);
}

RecordingProgress::RecordingProgress(std::shared_ptr<ProgressRecord> record) : record_(std::move(record)) {
    if (!record_) record_ = std::make_shared<ProgressRecord>();
}

RecordingProgress::~RecordingProgress() { record_->closed = true; }

void RecordingProgress::SetRange(int n) {
    record_->range = n < 0 ? 0 : n;
    if (record_->position > record_->range) record_->position = record_->range;
}

void RecordingProgress::StepIt() {
    ++record_->steps;
    if (record_->position < record_->range) ++record_->position;
}

void RecordingProgress::SetText(const std::string& text) { record_->texts.push_back(text); }

// ---------------------------------------------------------------------------------------------
// Dialog fields

namespace {

// Code points of UTF-8 text (bytes that do not continue a sequence).
size_t CharCount(std::string_view s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string Trimmed(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
    return std::string(s.substr(b, e - b));
}

std::string FormatLimit(FieldType type, double v) {
    switch (type) {
        case FieldType::Int: return FormatC("%d", static_cast<int>(v));
        case FieldType::Float: return FormatC("%.*g", FLT_DIG, v);
        default: return FormatC("%.*g", DBL_DIG, v);
    }
}

std::string RangeError(FieldType type, const std::optional<double>& min, const std::optional<double>& max) {
    const char* what = type == FieldType::Int ? "an integer" : "a number";
    if (min && max)
        return std::string("Please enter ") + what + " between " + FormatLimit(type, *min) + " and " +
               FormatLimit(type, *max) + ".";
    if (min) return std::string("Please enter ") + what + " not less than " + FormatLimit(type, *min) + ".";
    return std::string("Please enter ") + what + " not greater than " + FormatLimit(type, *max) + ".";
}

}  // namespace

const char* ToString(FieldType type) {
    switch (type) {
        case FieldType::Int: return "int";
        case FieldType::Float: return "float";
        case FieldType::Double: return "double";
        case FieldType::Bool: return "bool";
        case FieldType::String: return "string";
        case FieldType::Choice: return "choice";
    }
    return "?";
}

DialogField::DialogField(std::string name, FieldType type, Target target)
    : name_(std::move(name)), type_(type), target_(target) {
    Load();
}

DialogField& DialogField::Label(std::string text) {
    label_ = std::move(text);
    return *this;
}

DialogField& DialogField::Unit(std::string text) {
    unit_ = std::move(text);
    return *this;
}

DialogField& DialogField::Focus(bool on) {
    focus_ = on;
    return *this;
}

DialogField& DialogField::LimitsOnOk(bool on) {
    limitsOnOk_ = on;
    return *this;
}

DialogField& DialogField::ReadOnly(bool on) {
    readOnly_ = on;
    return *this;
}

void DialogField::Load() {
    switch (type_) {
        case FieldType::Int:
        case FieldType::Choice: value_ = *std::get<int*>(target_); break;
        case FieldType::Float: value_ = *std::get<float*>(target_); break;
        case FieldType::Double: value_ = *std::get<double*>(target_); break;
        case FieldType::Bool:
            if (auto* b = std::get_if<bool*>(&target_))
                value_ = **b;
            else
                value_ = *std::get<int*>(target_) != 0;
            break;
        case FieldType::String: value_ = *std::get<std::string*>(target_); break;
    }
}

void DialogField::Commit() const {
    switch (type_) {
        case FieldType::Int:
        case FieldType::Choice: *std::get<int*>(target_) = std::get<int>(value_); break;
        case FieldType::Float: *std::get<float*>(target_) = std::get<float>(value_); break;
        case FieldType::Double: *std::get<double*>(target_) = std::get<double>(value_); break;
        case FieldType::Bool:
            if (auto* b = std::get_if<bool*>(&target_))
                **b = std::get<bool>(value_);
            else
                *std::get<int*>(target_) = std::get<bool>(value_) ? 1 : 0;
            break;
        case FieldType::String: *std::get<std::string*>(target_) = std::get<std::string>(value_); break;
    }
}

std::string DialogField::Text() const {
    switch (type_) {
        case FieldType::Int: return FormatC("%d", std::get<int>(value_));
        case FieldType::Float: return FormatC("%.*g", FLT_DIG, static_cast<double>(std::get<float>(value_)));
        case FieldType::Double: return FormatC("%.*g", DBL_DIG, std::get<double>(value_));
        case FieldType::Bool: return std::get<bool>(value_) ? "1" : "0";
        case FieldType::String: return std::get<std::string>(value_);
        case FieldType::Choice: {
            int i = std::get<int>(value_);
            return i >= 0 && static_cast<size_t>(i) < choices_.size() ? choices_[i] : std::string();
        }
    }
    return {};
}

std::string DialogField::CheckValue(const Value& v, bool withLimits) const {
    switch (type_) {
        case FieldType::Int:
        case FieldType::Float:
        case FieldType::Double: {
            double x = type_ == FieldType::Int     ? std::get<int>(v)
                       : type_ == FieldType::Float ? static_cast<double>(std::get<float>(v))
                                                   : std::get<double>(v);
            if (!std::isfinite(x)) return type_ == FieldType::Int ? "Please enter an integer." : "Please enter a number.";
            if (withLimits && ((min_ && x < *min_) || (max_ && x > *max_))) return RangeError(type_, min_, max_);
            return {};
        }
        case FieldType::String:
            if (maxLength_ > 0 && CharCount(std::get<std::string>(v)) > maxLength_)
                return FormatC("Please enter no more than %zu characters.", maxLength_);
            return {};
        case FieldType::Choice: {
            int i = std::get<int>(v);
            if (i < -1 || i >= static_cast<int>(choices_.size())) return "Please choose one of the offered items.";
            return {};
        }
        case FieldType::Bool: return {};
    }
    return {};
}

std::string DialogField::Check() const { return CheckValue(value_); }

std::string DialogField::Assign(Value v) {
    std::string error = CheckValue(v, !limitsOnOk_);
    if (error.empty()) value_ = std::move(v);
    return error;
}

std::string DialogField::SetFromText(std::string_view text) {
    switch (type_) {
        case FieldType::Int: {
            auto v = ParseInt(text);
            if (!v) return "Please enter an integer.";
            return Assign(static_cast<int>(*v));
        }
        case FieldType::Float: {
            auto v = ParseFloat(text);
            if (!v) return "Please enter a number.";
            return Assign(*v);
        }
        case FieldType::Double: {
            auto v = ParseDouble(text);
            if (!v) return "Please enter a number.";
            return Assign(*v);
        }
        case FieldType::Bool: {
            std::string t = Trimmed(text);
            if (t == "1" || t == "true") return Assign(true);
            if (t == "0" || t == "false") return Assign(false);
            return "Please enter 1 or 0.";
        }
        case FieldType::String: return Assign(std::string(text));
        case FieldType::Choice: {
            for (size_t i = 0; i < choices_.size(); ++i)
                if (choices_[i] == text) return Assign(static_cast<int>(i));
            if (!text.empty() && text[0] == '#') {
                auto v = ParseInt(text.substr(1));
                if (v && *v >= 0) return Assign(static_cast<int>(*v));
            }
            std::string error = "Please choose one of:";
            for (size_t i = 0; i < choices_.size(); ++i) error += (i ? ", \"" : " \"") + choices_[i] + "\"";
            return error + ".";
        }
    }
    return {};
}

int DialogField::IntValue() const {
    if (const int* i = std::get_if<int>(&value_)) return *i;
    throw std::logic_error("field " + name_ + " is not an int");
}

double DialogField::NumberValue() const {
    if (const int* i = std::get_if<int>(&value_)) return *i;
    if (const float* f = std::get_if<float>(&value_)) return *f;
    if (const double* d = std::get_if<double>(&value_)) return *d;
    throw std::logic_error("field " + name_ + " is not a number");
}

bool DialogField::BoolValue() const {
    if (const bool* b = std::get_if<bool>(&value_)) return *b;
    throw std::logic_error("field " + name_ + " is not a bool");
}

const std::string& DialogField::StringValue() const {
    if (const std::string* s = std::get_if<std::string>(&value_)) return *s;
    throw std::logic_error("field " + name_ + " is not a string");
}

std::string DialogField::SetInt(int v) {
    if (type_ != FieldType::Int && type_ != FieldType::Choice)
        throw std::logic_error("field " + name_ + " is not an int");
    return Assign(v);
}

std::string DialogField::SetNumber(double v) {
    switch (type_) {
        case FieldType::Int:
            if (!(v >= INT_MIN && v <= INT_MAX) || v != std::trunc(v)) return "Please enter an integer.";
            return Assign(static_cast<int>(v));
        case FieldType::Float:
            if (!(std::fabs(v) <= FLT_MAX)) return "Please enter a number.";
            return Assign(static_cast<float>(v));
        case FieldType::Double: return Assign(v);
        default: throw std::logic_error("field " + name_ + " is not a number");
    }
}

std::string DialogField::SetBool(bool v) {
    if (type_ != FieldType::Bool) throw std::logic_error("field " + name_ + " is not a bool");
    return Assign(v);
}

std::string DialogField::SetString(std::string v) {
    if (type_ != FieldType::String) throw std::logic_error("field " + name_ + " is not a string");
    return Assign(std::move(v));
}

// ---------------------------------------------------------------------------------------------
// Dialog requests

DialogRequest::DialogRequest(std::string dialogClass, std::string title)
    : dialogClass_(std::move(dialogClass)), title_(std::move(title)) {}

DialogField& DialogRequest::Add(DialogField field) {
    if (Find(field.Name()))
        throw std::invalid_argument("dialog " + dialogClass_ + ": field " + field.Name() + " named twice");
    fields_.push_back(std::move(field));
    return fields_.back();
}

DialogField& DialogRequest::Int(std::string name, int& value, std::optional<int> min, std::optional<int> max) {
    DialogField f(std::move(name), FieldType::Int, &value);
    if (min) f.min_ = *min;
    if (max) f.max_ = *max;
    return Add(std::move(f));
}

DialogField& DialogRequest::Float(std::string name, float& value, std::optional<double> min,
                                  std::optional<double> max) {
    DialogField f(std::move(name), FieldType::Float, &value);
    // Compared as floats, the way the value is stored: 0.3 as a limit admits 0.3f.
    if (min) f.min_ = static_cast<double>(static_cast<float>(*min));
    if (max) f.max_ = static_cast<double>(static_cast<float>(*max));
    return Add(std::move(f));
}

DialogField& DialogRequest::Double(std::string name, double& value, std::optional<double> min,
                                   std::optional<double> max) {
    DialogField f(std::move(name), FieldType::Double, &value);
    f.min_ = min;
    f.max_ = max;
    return Add(std::move(f));
}

DialogField& DialogRequest::Bool(std::string name, bool& value) {
    return Add(DialogField(std::move(name), FieldType::Bool, &value));
}

DialogField& DialogRequest::Bool(std::string name, int& value) {
    return Add(DialogField(std::move(name), FieldType::Bool, &value));
}

DialogField& DialogRequest::String(std::string name, std::string& value, size_t maxLength) {
    DialogField f(std::move(name), FieldType::String, &value);
    f.maxLength_ = maxLength;
    return Add(std::move(f));
}

DialogField& DialogRequest::Choice(std::string name, int& index, std::vector<std::string> labels) {
    DialogField f(std::move(name), FieldType::Choice, &index);
    f.choices_ = std::move(labels);
    return Add(std::move(f));
}

DialogField* DialogRequest::Find(std::string_view name) {
    for (auto& f : fields_)
        if (f.Name() == name) return &f;
    return nullptr;
}

const DialogField* DialogRequest::Find(std::string_view name) const {
    for (const auto& f : fields_)
        if (f.Name() == name) return &f;
    return nullptr;
}

std::string DialogRequest::SetFromText(std::string_view name, std::string_view text) {
    DialogField* f = Find(name);
    if (!f) return "No field named \"" + std::string(name) + "\" in " + dialogClass_ + ".";
    return f->SetFromText(text);
}

std::string DialogRequest::Check() const {
    for (const auto& f : fields_) {
        std::string error = f.Check();
        if (!error.empty()) return f.LabelText() + ": " + error;
    }
    return {};
}

void DialogRequest::Load() {
    for (auto& f : fields_) f.Load();
}

void DialogRequest::Commit() const {
    for (const auto& f : fields_) f.Commit();
}

DialogRequest& DialogRequest::AddButton(std::string name, Action action, std::string label) {
    if (label.empty()) label = name;
    buttons_.push_back(Button{std::move(name), std::move(label), std::move(action)});
    return *this;
}

bool DialogRequest::Press(std::string_view name) {
    for (const Button& b : buttons_) {
        if (b.name == name) {
            if (b.action) b.action(*this);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// UiHost

MsgResult UiHost::Message(const MessageRequest& request) { return DoMessage(request); }

MsgResult UiHost::Message(std::string text, MsgButtons buttons, MsgIcon icon, std::string caption) {
    return DoMessage(MessageRequest{std::move(text), buttons, icon, std::move(caption)});
}

int UiHost::TwoChoice(const TwoChoiceRequest& request) {
    TwoChoiceRequest r = request;
    if (r.defaultChoice != 2) r.defaultChoice = 1;
    return DoTwoChoice(r) == 1 ? 1 : 2;
}

int UiHost::TwoChoice(std::string message, int defaultChoice, std::string first, std::string second) {
    return TwoChoice(TwoChoiceRequest{std::move(message), defaultChoice, std::move(first), std::move(second)});
}

std::optional<std::string> UiHost::OpenFile(const FileRequest& request) { return DoOpenFile(request); }
std::vector<std::string> UiHost::OpenFiles(const FileRequest& request) { return DoOpenFiles(request); }
std::optional<std::string> UiHost::SaveFile(const FileRequest& request) { return DoSaveFile(request); }
std::optional<std::string> UiHost::BrowseFolder(const FolderRequest& request) { return DoBrowseFolder(request); }

std::unique_ptr<ProgressSink> UiHost::BeginProgress(const std::string& caption) {
    auto sink = DoBeginProgress(caption);
    if (!sink) sink = std::make_unique<RecordingProgress>(caption);
    return sink;
}

bool UiHost::RunDialog(DialogRequest& request) {
    request.Load();
    if (!DoRunDialog(request) || !request.Check().empty()) return false;
    request.Commit();
    return true;
}

// ---------------------------------------------------------------------------------------------
// NullUiHost

MsgResult NullUiHost::DoMessage(const MessageRequest& request) { return DismissResult(request.buttons); }
int NullUiHost::DoTwoChoice(const TwoChoiceRequest& request) { return request.defaultChoice; }
std::optional<std::string> NullUiHost::DoOpenFile(const FileRequest&) { return std::nullopt; }
std::vector<std::string> NullUiHost::DoOpenFiles(const FileRequest&) { return {}; }
std::optional<std::string> NullUiHost::DoSaveFile(const FileRequest&) { return std::nullopt; }
std::optional<std::string> NullUiHost::DoBrowseFolder(const FolderRequest&) { return std::nullopt; }
std::unique_ptr<ProgressSink> NullUiHost::DoBeginProgress(const std::string& caption) {
    return std::make_unique<RecordingProgress>(caption);
}
// An OK-only dialog cannot be refused: it ends with its preset values.
bool NullUiHost::DoRunDialog(DialogRequest& request) { return request.IsOkOnly() && request.Check().empty(); }

}  // namespace velk
