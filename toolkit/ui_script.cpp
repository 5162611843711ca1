#include "toolkit/ui_script.h"

#include <cstdlib>

namespace velk {

namespace {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

}  // namespace

std::unique_ptr<UiScript> UiScript::FromEnvironment(const char* variable)
{
    const char* text = std::getenv(variable);
    if (!text || !*text) return nullptr;
    return std::make_unique<UiScript>(text);
}

UiScript::UiScript(std::string_view text)
{
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(";\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty()) continue;
        const size_t space = line.find(' ');
        const std::string_view verb = line.substr(0, space);
        const std::string argument(space == std::string_view::npos ? std::string_view() : Trim(line.substr(space + 1)));
        Step step;
        step.argument = argument;
        if (verb == "answer") {
            step.kind = Step::Kind::Answer;
        } else if (verb == "report") {
            step.kind = Step::Kind::Report;
        } else if (verb == "waitfile") {
            step.kind = Step::Kind::WaitFile;
        } else if (verb == "sleep") {
            step.kind = Step::Kind::Sleep;
        } else if (verb == "close") {
            step.kind = Step::Kind::Close;
        } else if (verb == "command") {
            step.kind = Step::Kind::Command;
        } else if (verb == "mouse") {
            step.kind = Step::Kind::Mouse;
        } else if (verb == "press") {
            step.kind = Step::Kind::Press;
        } else if (verb == "release") {
            step.kind = Step::Kind::Release;
        } else if (verb == "rightclick") {
            step.kind = Step::Kind::RightClick;
        } else if (verb == "key") {
            step.kind = Step::Kind::Key;
        } else if (verb == "editmode") {
            step.kind = Step::Kind::EditMode;
        } else {
            errors_.emplace_back(line);
            continue;
        }
        steps_.push_back(std::move(step));
    }
    while (!steps_.empty() && steps_.front().kind == Step::Kind::Answer) {
        answers_.push_back(steps_.front().argument);
        steps_.pop_front();
    }
}

std::optional<std::string> UiScript::TakeAnswer()
{
    if (answers_.empty()) return std::nullopt;
    std::string answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

std::optional<UiScript::Step> UiScript::NextAction()
{
    while (!steps_.empty() && steps_.front().kind == Step::Kind::Answer) {
        answers_.push_back(steps_.front().argument);
        steps_.pop_front();
    }
    if (steps_.empty()) return std::nullopt;
    Step step = std::move(steps_.front());
    steps_.pop_front();
    return step;
}

}  // namespace velk
