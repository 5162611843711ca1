#pragma once
// CPhaseVelocityDlg: dialog 206 "Phase velocity-frequency transformation". Its members are the
// values as the dialog shows them; EditSettings converts the settings record into them and back
// (velocities in km/s when the distance unit is km, else m/s; offsets in km or m).
//
// When the dialog opens only the velocity and frequency ranges, "Normalization", "Y-axis" and
// "Trace skip" are shown; "Advanced menu" (the window's own button) first takes the values
// (with validation) and then shows or hides the fields of kAdvancedFields. The "SPAC" radios
// are shown only while the method is SPAC.

#include <array>
#include <string>

#include "platform/uihost.h"
#include "surfacewave/contour_settings.h"

namespace velk {

// The phase-difference parameters of the trace-pair curves (dialog 205). A command that asks
// them keeps them in its CPhaseVelocityDlg object beside the dialog's fields: they are not
// shown in dialog 206 and not saved, so every command starts from these values.
struct PhaseDifferenceParameters {
    float minimumFrequency = 4.0f;   // Hz
    float maximumFrequency = 40.0f;  // Hz
    float minimumOffset = 1.5f;      // m
    int automaticShift = 0;
    int showPhaseDifference = 0;
    int showPhaseVelocityCurve = 0;
};

struct CPhaseVelocityDlg {
    static constexpr const char* kClass = "CPhaseVelocityDlg";
    static constexpr const char* kTitle = "Phase velocity-frequency transformation";
    static constexpr const char* kAdvancedMenu = "Advanced menu";
    // Field names of the request.
    static constexpr const char* kStartVelocity = "Phase velocity Start";
    static constexpr const char* kEndVelocity = "Phase velocity End";
    static constexpr const char* kInterval = "Interval";
    static constexpr const char* kStartFrequency = "Frequency Start";
    static constexpr const char* kEndFrequency = "Frequency End";
    static constexpr const char* kNormalization = "Normalization";
    static constexpr const char* kYAxis = "Y-axis";
    static constexpr const char* kDirection = "Direction";
    static constexpr const char* kResolution = "Resolution";
    static constexpr const char* kMinimumOffset = "Offset range used in transformation";
    static constexpr const char* kMaximumOffset = "to";
    static constexpr const char* kTraceSkip = "Trace skip";
    static constexpr const char* kMode = "Mode";
    static constexpr const char* kMethod = "Method";
    static constexpr const char* kSpac = "SPAC";
    // Hidden until "Advanced menu"; kSpac only while the method is SPAC.
    static constexpr std::array<const char*, 8> kAdvancedFields = {
        kInterval, kMode, kDirection, kResolution, kMinimumOffset, kMaximumOffset, kMethod, kSpac};

    float startVelocity = 0.0f;  // as shown
    float endVelocity = 0.0f;
    float velocityInterval = 0.0f;
    float startFrequency = 0.0f;  // Hz
    float endFrequency = 0.0f;
    int normalisation = -1;       // radios start unset
    int yAxis = -1;
    int direction = -1;
    int resolution = 0;           // 1..10
    float minimumOffset = 0.0f;   // as shown
    float maximumOffset = 0.0f;
    int traceSkip = 0;            // 1..100000
    int mode = -1;
    int method = -1;
    int spacDimension = -1;       // SPAC dimension - 1
    std::string velocityUnitText;
    std::string distanceUnitText;
    PhaseDifferenceParameters phaseDifference;  // not part of the dialog

    // A run over a list of records offers a third "Direction", kEachRecord: every record is
    // stacked from its own source's side.
    static constexpr int kEachRecord = 2;
    bool eachRecordChoice = false;

    DialogRequest Request(int language);

    // Settings -> members (unit conversion), the dialog, and on OK members -> settings (a CMP
    // mode forces direction 0). Cancel changes nothing and returns false.
    static bool EditSettings(CContourSettings& settings, UiHost& ui, int language);

    // The same dialog for a run over a list: "Direction" shows `listDirection` (0 forward,
    // 1 backward, kEachRecord) and, on OK, holds the choice that is used for every record; a CMP
    // mode gives 0. The settings keep their own direction unless forward or backward is chosen.
    static bool EditListSettings(CContourSettings& settings, int& listDirection, UiHost& ui, int language);

    void From(const CContourSettings& settings);
    void To(CContourSettings& settings) const;
};

}  // namespace velk
