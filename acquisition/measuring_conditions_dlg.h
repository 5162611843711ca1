#pragma once
// The measuring conditions of the acquisition screen and the dialogs opened from them, as
// keypad models (acquisition/keypad.h): Up and Down move a row cursor, Left and Right change the
// current row's value or pick one of its buttons, Enter presses the picked button or closes as
// OK, Esc cancels. Values step within fixed bounds, clamped.
//
// A model takes a key and says what follows: a pending action to run, or the dialog's close.
// Its Request builds the DialogRequest that a keypad window or a scripted answer works; the
// keys are the request's buttons named keypad::kKeyUp .. kKeyEsc.
//
// The gain and hold dialogs work live on the device's tables: each change is in gain_bf or
// hold_bf at once and the owner window is repainted, so that the monitor follows; Cancel keeps
// the changes.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "acquisition/instrument/instrument_library.h"
#include "acquisition/keypad.h"
#include "platform/uihost.h"

namespace velk {

// What a key leaves to the caller: an action to run (-1 none) or the close of the dialog.
struct KeypadOutcome {
    int action = -1;
    keypad::Close close = keypad::kStayOpen;
    bool operator==(const KeypadOutcome&) const = default;
};

// Dialog 244 "Measuring conditions".
struct CMeasuringConditionsDlg {
    static constexpr const char* kClass = "CMeasuringConditionsDlg";
    static constexpr int kLastRow = 16;
    static constexpr int kMaxId = 9999;
    enum Row : int {
        kRowId, kRowChannels, kRowSampling, kRowDataLength, kRowPreTrigger, kRowStack, kRowTriggerLevel,
        kRowGain, kRowHold, kRowSpread, kRowSource, kRowFirstReceiver, kRowReceiverInterval, kRowLineId,
        kRowSignalTrigger, kRowAutoShift, kRowAuxiliary
    };
    enum Action : int {
        kNoAction = -1, kSetupId, kGain1, kGain2, kHold, kSpread, kSetupSource, kSetupFirstReceiver,
        kSetupReceiverInterval, kSetupLineId, kSetupSignalTrigger, kSetupAutoShift, kActionCount
    };
    // Field names (the focus names of their controls).
    static constexpr const char* kId = "ID No.";
    static constexpr const char* kChannels = "Channels";
    static constexpr const char* kSampling = "Sampling";
    static constexpr const char* kDataLength = "Data length";
    static constexpr const char* kPreTrigger = "Pre-trigger";
    static constexpr const char* kStack = "Stack";
    static constexpr const char* kTriggerLevel = "Trigger level";
    static constexpr const char* kSource = "Source location";
    static constexpr const char* kFirstReceiver = "First receiver";
    static constexpr const char* kLineId = "Line ID";
    static constexpr const char* kReceiverInterval = "Receiver interval";
    static constexpr const char* kSignalTrigger = "Signal trigger level";
    static constexpr const char* kAuxiliary = "Auxiliary";
    static constexpr const char* kCursor = "Row";

    int action = kNoAction;  // what Enter presses
    int id = 0;              // the next record's number, checked 0..9999 on OK
    int dataLength = -1;     // 0..4: 1024 .. 16384 samples
    int channels = -1;       // 0..4: 1, 3, 6, 12, 24
    int sampling = -1;       // 0..6: 25 .. 2000 us
    int preTrigger = -1;     // 0 on, 1 off
    int stack = -1;          // 0 preview, 1 off, 2 auto, 3 manual re-arm
    int triggerLevel = -1;   // 0 off, 1..10 x 100 mV, 11 the signal trigger
    int row = 0;
    float sourceLocation = 0.0f;
    float firstReceiver = 0.0f;
    std::string lineId = "aa";
    float receiverInterval = 0.0f;
    float signalTriggerLevel = 0.0f;  // percent, checked 0..100 on OK
    int auxiliary = -1;               // 0 off, 1 on
    std::string cursor;               // the row's name, as the window shows the cursor
    int language = 0;                 // of the row's name
    KeypadState keypad;

    // The control name of an action's button ("Setup ID" ..).
    static const char* ButtonName(int action);

    // The dialog opening: row 0 entered, so Enter at once opens Set ID; the focus on OK.
    void Open();
    KeypadOutcome Key(std::string_view key);
    // A click on an action's button runs that action.
    KeypadOutcome Click(int clicked);
    // After an action has run: none pending, the focus on OK.
    void ActionDone();

    // `run` performs an action on this struct (the sub-dialogs); it sees the edited values.
    DialogRequest Request(int language, std::function<void(int action)> run);

private:
    void EnterRow();
    void Pick(const char* control, int picked);
};

// Dialog 245 "Gain" and dialog 259 "Hold": one step per channel and a row cursor 0..23. Left
// and Right change the current channel's entry of the table (gain 0..3; hold: Left 0 "Off",
// Right 1 "On").
struct CGainDlg {
    static constexpr const char* kClass = "CGainDlg";
    static constexpr const char* kHoldClass = "CHoldDlg";
    static constexpr int kChannels = kInstrumentChannels;
    std::array<int, kChannels> steps{};
    int row = 0;
    bool hold = false;  // the Hold dialog
    KeypadState keypad;

    // Up/Down/Left/Right on `table` (the device's gain_bf or hold_bf), which takes each change
    // at once; the steps then show the table again. True when the table changed.
    KeypadOutcome Key(std::string_view key, std::array<int8_t, kInstrumentRows>& table, bool& changed);
    void Show(const std::array<int8_t, kInstrumentRows>& table);
    // `changed` is called after each live change (the owner's repaint).
    DialogRequest Request(int language, std::array<int8_t, kInstrumentRows>& table, std::function<void()> changed);
};

// Dialog 257 "Gain2 (All)": Up and its button raise every step by one (at most 3), Down and
// its button lower them (at least 0).
struct CGainAllDlg {
    static constexpr const char* kClass = "CGainAllDlg";
    static constexpr const char* kUpAll = "Up all channels (Up key)";
    static constexpr const char* kDownAll = "Down all channels (Down key)";
    std::array<int, kInstrumentChannels> steps{};
    KeypadState keypad;

    // Every step by `by`, clamped; the table takes them. True when one changed.
    bool Step(int by, std::array<int8_t, kInstrumentRows>& table);
    DialogRequest Request(int language, std::array<int8_t, kInstrumentRows>& table, std::function<void()> changed);
};

// Dialog 258 "Spread": the directions of the two halves of the spread.
struct CSpreadDlg {
    static constexpr const char* kClass = "CSpreadDlg";
    int first = -1;   // 0 "1 to 12", 1 "12 to 1"
    int second = -1;  // 0 "13 to 24", 1 "24 to 13"
    int row = 0;      // 0 first, 1 second
    KeypadState keypad;

    KeypadOutcome Key(std::string_view key);
    DialogRequest Request(int language);
};

// Dialog 289 "Automatic shift stack": the switch (row 0) and the reference channel 0..24 (row 1).
struct CAutoShiftStackDlg {
    static constexpr const char* kClass = "CAutoShiftStackDlg";
    int referenceChannel = 0;
    int automaticShift = -1;  // 0 "Off", 1 "On"
    int row = 0;
    KeypadState keypad;

    KeypadOutcome Key(std::string_view key);
    DialogRequest Request(int language);
};

// Dialog 282 "Signal trigger level", percent: Up and Down walk the ladder 0, 0.01 .. 0.1, 0.2
// .. 1, 2 .. 10, 15 .. 100. Each result is rounded to 0.01, so that the ladder's edges come
// out exact, and capped to 0..100. The typed value is checked 0..100 on OK only.
struct CSignalTriggerLevelDlg {
    static constexpr const char* kClass = "CSignalTriggerLevelDlg";
    static constexpr const char* kLevel = "Level";
    float level = 0.0f;
    KeypadState keypad;

    static float Up(float v);
    static float Down(float v);
    DialogRequest Request(int language);
};

}  // namespace velk
