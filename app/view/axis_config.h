#pragma once
// View > Axis configuration: scales, axis ranges and tick steps, label decimals, units, plot
// direction, margins, the trigger shift and a fixed gain, in one dialog. OK fixes the axes (the
// automatic fit and tick choice stop) until "Default" is chosen or a new record comes.
//
// The dialog's fields are a plain struct; PresetAxisConfig fills it from the workspace and
// ApplyAxisConfig writes it back, so both directions are tested without a window.

#include <array>
#include <string>

#include "app/command_table.h"
#include "platform/uihost.h"

namespace velk {

class Workspace;

namespace cmd {
constexpr int kAxisConfiguration = 24200;  // record drawing: 24200..24219
}

struct CAxisConfigDlg {
    static constexpr const char* kClass = "CAxisConfigDlg";
    static constexpr const char* kTitle = "Axis configuration";

    // Control ids of the dialog window.
    enum Control : int {
        kTimeScaleId = 1081,
        kDistanceScaleId = 1082,
        kTimeStartId = 1083,
        kTimeEndId = 1084,
        kTimeIntervalId = 1085,
        kTimeDecimalsId = 1086,
        kDistanceStartId = 1087,
        kDistanceEndId = 1088,
        kDistanceIntervalId = 1089,
        kDistanceDecimalsId = 1090,
        kDefaultId = 1091,
        kGainId = 1132,
        kScaleId = 1133,
        kMarginXId = 1134,
        kMarginYId = 1135,
        kCustomGainId = 1150,
        kPreTriggerId = 1183,
        kDirectionId = 1321,
        kUnitsId = 1323,
        kFirstUnitLabelId = 1364,  // 1364..1371: time start, end, interval, distance start,
                                   // end, interval, margin X, margin Y
    };
    // Field names of the request, shared with the window.
    static constexpr const char* kTimeScale = "Time scale";
    static constexpr const char* kDistanceScale = "Distance scale";
    static constexpr const char* kTimeStart = "Time start";
    static constexpr const char* kTimeEnd = "Time end";
    static constexpr const char* kTimeInterval = "Time interval";
    static constexpr const char* kTimeDecimals = "Time decimals";
    static constexpr const char* kDistanceStart = "Distance start";
    static constexpr const char* kDistanceEnd = "Distance end";
    static constexpr const char* kDistanceInterval = "Distance interval";
    static constexpr const char* kDistanceDecimals = "Distance decimals";
    static constexpr const char* kDefault = "Default";
    static constexpr const char* kCustomGain = "Custom gain";
    static constexpr const char* kGain = "Gain =";
    static constexpr const char* kScale = "Scale =";
    static constexpr const char* kMarginX = "X = ";
    static constexpr const char* kMarginY = "Y = ";
    static constexpr const char* kPreTrigger = "Pre-trigger shift";
    static constexpr const char* kDirection = "Direction";
    static constexpr const char* kUnits = "Units";
    // The six axis values that the unit radio rescales, in the order of their unit labels.
    static constexpr std::array<const char*, 6> kAxisValues = {kTimeStart, kTimeEnd, kTimeInterval,
                                                               kDistanceStart, kDistanceEnd, kDistanceInterval};

    float timeScale = 0.0f;      // "1/" value: ms per metre of paper (10000 / hscale)
    float distanceScale = 0.0f;  // m per metre of paper (10000 / plotscale)
    float timeStart = 0.0f;      // ms, or s with the kilo units
    float timeEnd = 0.0f;
    float timeInterval = 0.0f;
    int timeDecimals = 0;        // 0..1
    float distanceStart = 0.0f;  // m (ft), or km (kft) with the kilo units
    float distanceEnd = 0.0f;
    float distanceInterval = 0.0f;
    int distanceDecimals = 0;    // 0..1
    int useDefault = 0;          // "Default": automatic axes again
    int customGain = 0;
    float gain = 0.0f;
    float scale = 0.0f;          // vscale
    float marginX = 0.0f;        // mm, or inches with feet units
    float marginY = 0.0f;
    int preTriggerShift = 0;
    int direction = 0;           // 0 time axis horizontal, 1 vertical
    int units = 0;               // 0 m(ft) and msec, 1 km(kft) and sec
    bool feet = false;           // the distance unit is feet (labels, inch margins)

    DialogRequest Request(int language);

    // The unit radio: switching to "m(ft) and msec" multiplies the six axis values by 1000,
    // to "km(kft) and sec" by 0.001; choosing the current units changes nothing.
    void OnUnitRadio(int newUnits);
    // The factor OnUnitRadio applies.
    static double UnitFactor(int fromUnits, int toUnits);
    // The eight unit labels for these units: three time units, three distance units, two
    // margin units.
    static std::array<std::string, 8> UnitLabels(int units, bool feet);
};

// The dialog preset from the current state and the tick choice just made: scales as "1/"
// values, the axis ranges without their margin ticks, margins in mm (inches with feet), the
// fixed gain (1000 / the record's peak while none is set; 0 for a silent record).
CAxisConfigDlg PresetAxisConfig(const Workspace& ws);

// A refusal text for values that cannot be drawn (a scale or tick interval that is not
// positive, an axis that ends before it starts), or empty.
std::string CheckAxisConfig(const CAxisConfigDlg& dlg, int language);

// OK: "Default" makes the axes automatic again; otherwise scales, decimals, the time window
// (first sample and samples shown from the start and end), gain, units, direction, margins,
// axis ranges and steps, the trigger shift, the trace window from the distance range, and the
// axes are fixed. The caller has checked the values.
void ApplyAxisConfig(Workspace& ws, const CAxisConfigDlg& dlg);

// The menu command: choose the ticks, preset, show, check (a refused value shows its message
// and the dialog again), apply. Returns 1 to repaint.
int OnAxisConfiguration(Workspace& ws, UiHost& ui);

// The menu row (View menu, enabled while traces are loaded).
void AddRecordDrawingCommands(CommandTable& table);

}  // namespace velk
