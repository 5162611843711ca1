#pragma once
// Scripted answers for unattended runs (the smoke test under a virtual display). The variable
// VELKARINE_UI_SCRIPT holds steps separated by ';' (or new lines); when it is unset or empty
// nothing is scripted and every question shows its window.
//
//   answer <text>    the next question gets this answer instead of a window:
//                    OK, Cancel, Yes, No (message boxes, dialogs), 1 or 2 (two-choice),
//                    a path (file and folder dialogs); "window OK" (message boxes) shows the
//                    box in a window of its own that closes itself after a moment with OK
//                    (not while the script waits for a file: "waitfile" holds it open, nor
//                    while a window opened over it is open; mouse and key steps wait for it)
//   report <path>    write a description of the frame (title, menus, toolbar, status bar, font)
//   waitfile <path>  go on once the file exists (at most 60 s)
//   sleep <ms>       go on after a pause
//   close            close the frame as its close box does (the exit question is asked)
//   command <id>     the menu command with this id, as a click on its item sends it
//   mouse <x> <y>    move the pointer to the view's logical point (x, y) (0.1 mm, y up)
//   press, release   the left mouse button
//   rightclick       a click of the right mouse button
//   key <name>       a key stroke: escape, left, right, up, down, delete, return, f1 .. f5, alt
//                    (alone), each also with Shift held ("shift+f5"); it goes to the view, or to
//                    the modal window on top when one is open
//   editmode <n>     the view's edit mode := n, as the command that enters it would
//
// Answers before the first action are ready for the start-up questions; later ones are queued
// when the script reaches them. Every scripted question is written to stderr.

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velk {

class UiScript {
public:
    static constexpr const char* kVariable = "VELKARINE_UI_SCRIPT";

    struct Step {
        enum class Kind { Answer, Report, WaitFile, Sleep, Close, Command, Mouse, Press, Release, RightClick, Key,
                          EditMode };
        Kind kind = Kind::Answer;
        std::string argument;
    };

    // Null when the variable is unset or empty (each program reads its own variable).
    static std::unique_ptr<UiScript> FromEnvironment(const char* variable = kVariable);
    explicit UiScript(std::string_view text);

    // The answer for the next question, if one is queued.
    std::optional<std::string> TakeAnswer();
    // The next action; the answers before it are queued first. None at the end.
    std::optional<Step> NextAction();
    // An action taken that has to wait: it comes again next.
    void PutBack(Step step) { steps_.push_front(std::move(step)); }
    bool Finished() const { return steps_.empty(); }
    // Steps that could not be read, for the log.
    const std::deque<std::string>& Errors() const { return errors_; }

private:
    std::deque<Step> steps_;
    std::deque<std::string> answers_;
    std::deque<std::string> errors_;
};

}  // namespace velk
