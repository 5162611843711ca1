#pragma once
// The numeric entry dialogs of the acquisition screen. With arrow keys and Enter only, a number
// is entered digit by digit: each digit, letter or sign has a field of its own, Left and Right
// move the cursor between the fields, Up and Down step the field under it (digits 0..9, letters
// 0..25). The caller loads a value with Split, runs the dialog and, after OK, takes the value
// back with Compose. Enter is OK and Esc Cancel; the window does that.
//
// Request builds what a window (or a script) works: the fields over the dialog's own members
// and the keys, each of which reads the fields, steps the model and shows the fields again.
// Edit runs a dialog over a caller's value and writes it back only after OK.

#include <string>

#include "acquisition/keypad.h"
#include "platform/uihost.h"

namespace velk {

// Dialog 256 "Set ID": a record ID of four digits, cursor 0 thousands .. 3 ones.
struct CSetIdDlg {
    static constexpr const char* kClass = "CSetIdDlg";
    static constexpr int kLast = 3;
    int cursor = 3;
    int ones = 0, tens = 0, hundreds = 0, thousands = 0;

    void Split(int v);
    int Compose() const;  // 0..9999 when Validate holds
    // Each digit 0..9 (what OK checks on typed digits).
    bool Validate() const;
    void Left();
    void Right();
    void Up();
    void Down();
    int& Field(int position);
    static const char* FieldName(int position);  // "Thousands" .. "Ones"

    DialogRequest Request(int language);
    // The record ID through the dialog; true after OK with `id` written back.
    static bool Edit(UiHost& ui, int language, int& id);

private:
    KeypadState keypad_;
};

// Dialog 272 "Set line ID": two letters, cursor 0 first .. 1 second.
struct CSetLineIdDlg {
    static constexpr const char* kClass = "CSetLineIdDlg";
    static constexpr int kLast = 1;
    int cursor = 1;
    int first = 0, second = 0;
    std::string firstText = "a", secondText = "a";

    void Split(int index);
    int Compose() const;
    void Left();
    void Right();
    void Up();
    void Down();
    static const char* FieldName(int position);  // "First letter", "Second letter"

    DialogRequest Request(int language);
    // The line index through the dialog; true after OK with `index` written back.
    static bool Edit(UiHost& ui, int language, int& index);

private:
    void ShowLetters();
    KeypadState keypad_;
};

// Dialog 270 "Set position": a sign and six digits in tenths of a metre, cursor 0 sign,
// 1 ten-thousands .. 5 ones, 6 tenths.
struct CSetPositionDlg {
    static constexpr const char* kClass = "CSetPositionDlg";
    static constexpr int kLast = 6;
    int sign = 0;  // 0 "+", 1 "-"
    int cursor = 5;
    int tenths = 0, ones = 0, tens = 0, hundreds = 0, thousands = 0, tenThousands = 0;
    std::string signText = "+";
    std::string title;  // "Set source position" ...; empty from Geometry setup

    // |v| is taken to the nearest tenth first, so 0.7 loads as 0.7. A negative value sets the
    // sign; a positive one leaves it as it was.
    void Split(float v);
    float Compose() const;
    void Left();
    void Right();
    void Up();
    void Down();
    int& Field(int position);  // 1..6
    static const char* FieldName(int position);  // "Sign", "Ten-thousands" .. "Tenths"

    DialogRequest Request(int language);
    // A position or interval in m through the dialog, with the caller's title (SetPositionTitle,
    // or empty); true after OK with `v` written back.
    static bool Edit(UiHost& ui, int language, float& v, const std::string& title = {});

private:
    KeypadState keypad_;
};

// Dialog 323 "Number of receiver or shot": three digits, cursor 0 hundreds .. 2 ones.
struct CShotCountDlg {
    static constexpr const char* kClass = "CShotCountDlg";
    static constexpr int kLast = 2;
    int cursor = 0;
    int ones = 0, tens = 0, hundreds = 0;
    std::string prompt;

    void Split(int v);
    int Compose() const;  // 0..999 when Validate holds
    bool Validate() const;
    void Left();
    void Right();
    void Up();
    void Down();
    int& Field(int position);
    static const char* FieldName(int position);  // "Hundreds" .. "Ones"

    DialogRequest Request(int language);
    // A number of receivers or shots through the dialog, with the caller's prompt
    // (ShotCountPrompt); true after OK with `n` written back.
    static bool Edit(UiHost& ui, int language, int& n, const std::string& prompt = {});

private:
    KeypadState keypad_;
};

// The callers' titles and prompts.
std::string SetPositionTitle(int which, int language);  // 0 source, 1 first receiver, 2 interval
std::string ShotCountPrompt(bool shots, int language);

// Dialog 254 "Procedure step confirmation": Yes 1, Cancel 0, Back -1. Yes is the dialog's OK,
// Cancel its Cancel (Esc); "Back" closes it with -1. The arrows move the focus along Back, Yes
// and Cancel (it starts on Yes); Enter presses the button with the focus.
struct CStepConfirmDlg {
    static constexpr const char* kClass = "CStepConfirmDlg";
    static constexpr int kYes = 1, kCancel = 0, kBack = -1;
    static constexpr const char* kBackButton = "Back";
    std::string message;
    int result = kCancel;

    DialogRequest Request(int language);
    // Asks "Ready to proceed?": kYes, kCancel or kBack.
    static int Ask(UiHost& ui, int language);

private:
    KeypadState keypad_;
};

// Dialog 290 "Geometry setup" over NextID, the present first receiver, the source, the source
// interval and "move receivers". Rows 0..5 with pending actions: 0 "Back source, receivers and
// ID", 1 "Setup ID", 2 "Setup source location", 3 "Setup source interval", 4 "Setup receiver
// location", 5 move receivers (Left/Right). Back moves the ID, source and (moving receivers)
// first receiver back at once and counts itself; the file group's count is lowered by the
// counted Backs on OK only, so Cancel changes nothing. The ID is checked on OK (0..9999).
struct CGeometrySetupDlg {
    static constexpr const char* kClass = "CGeometrySetupDlg";
    static constexpr int kMaxId = 9999;
    static constexpr const char* kId = "ID";
    static constexpr const char* kFirstReceiver = "Present first receiver";
    static constexpr const char* kSource = "Source";
    static constexpr const char* kSourceInterval = "Source interval";
    static constexpr const char* kMoveReceivers = "Move receivers";
    // The buttons of the actions 0..4, in order.
    static constexpr const char* kActions[5] = {"Back source, receivers and ID", "Setup ID", "Setup source location",
                                                "Setup source interval", "Setup receiver location"};
    int action = 0;  // -1 none
    int row = 0;
    int id = 0;
    float firstReceiver = 0.0f;
    float source = 0.0f;
    float sourceInterval = 0.0f;
    int moveReceivers = 0;  // 0 "Fixed", 1 "Move with receivers"
    int backs = 0;

    void Up();
    void Down();
    void Left();
    void Right();
    // Enter: the pending action to run (0..4; Back is run here, 1..4 are the caller's keypad
    // dialogs), -1 when none was pending; `close` is set when Enter closes as OK.
    int Enter(bool& close);
    void Back();
    bool ValidId() const { return id >= 0 && id <= kMaxId; }
    // OK: the group's count lowered by the Backs (not below 0). False when the ID is refused.
    bool Apply(int& fileCount) const;
    // The button that has the focus on rows 0..4. On row 5 the focus stays where it was: a
    // radio group with the focus would take the arrows for itself.
    static const char* RowFocus(int row);

    // The actions 1..4 open the Set ID and Set position dialogs through `ui`.
    DialogRequest Request(UiHost& ui, int language);
    // Runs the dialog from row 0 over these values (the caller fills all five); after OK they
    // hold the answer and the group's file count is lowered by the Backs. Cancel changes nothing.
    bool Run(UiHost& ui, int language, int& fileCount);

private:
    // Runs action 0..4 on the values (1..4 through their keypad dialogs).
    void RunAction(int which, UiHost& ui, int language);
    KeypadState keypad_;
};

}  // namespace velk
