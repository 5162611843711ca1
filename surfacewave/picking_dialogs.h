#pragma once
// The dialogs of the phase-velocity picking: dialog 236 "Min. and Max. frequency" (the picking
// limits; the window shows the fields of kAdvancedFields only after "Advanced menu") and
// dialog 326 "Show analysis result" (what a guided survey mode offers after an analysis).

#include <array>
#include <string>
#include <vector>

#include "formats/trace_arrays.h"
#include "platform/uihost.h"

namespace velk {

struct CMinMaxFrequencyDlg {
    static constexpr const char* kClass = "CMinMaxFrequencyDlg";
    static constexpr const char* kTitle = "Min. and Max. frequency";
    static constexpr const char* kAdvancedMenu = "Advanced menu";
    static constexpr const char* kMinimumFrequency = "Minimum Frequency";
    static constexpr const char* kMaximumFrequency = "Maximum Frequency";
    static constexpr const char* kUseMedian = "Use median filter";
    static constexpr const char* kMedianSamples = "# of sample for median filter";
    static constexpr const char* kLimitation = "Wavelength limitation";
    static constexpr const char* kMaximumWavelength = "Maximum wavelength";
    static constexpr const char* kMinimumWavelength = "Minimum wavelength";
    static constexpr const char* kMinimumVelocity = "Minimum phase velocity";
    static constexpr std::array<const char*, 6> kAdvancedFields = {
        kUseMedian, kMedianSamples, kLimitation, kMaximumWavelength, kMinimumWavelength, kMinimumVelocity};

    float minimumFrequency = 0.0f;   // Hz, 0..10000
    float maximumFrequency = 0.0f;   // Hz, shown only
    int useMedian = 0;
    int medianSamples = 0;           // 1..255
    int wavelengthLimitation = 0;
    float maximumWavelength = 0.0f;  // times, 1..10
    float minimumWavelength = 0.0f;  // times, 1..10
    float minimumPhaseVelocity = 0.0f;  // in the shown unit
    std::string velocityUnitText;

    DialogRequest Request(int language);

    // The picker's dialog on the parameters of a dispersion image (PickParametersOf): shows the
    // minimum phase velocity in km/s when kmUnit, else m/s, and `lastFrequency` as the maximum
    // frequency; OK writes the limits back (the maximum frequency is not kept).
    static bool Edit(PeakPickParameters& parameters, float lastFrequency, bool kmUnit,
                     const std::string& velocityUnitText, UiHost& ui, int language);
};

struct CShowAnalysisResultDlg {
    static constexpr const char* kClass = "CShowAnalysisResultDlg";
    static constexpr const char* kTitle = "Show analysis result";
    static constexpr const char* kChoice = "Result";

    // Set before the dialog opens.
    int curveAvailable = 0;        // a dispersion curve is available
    int secondCurveAvailable = 0;  // the guided mode's second curve value, kept as it is given
    int modelAvailable = 0;        // an S-velocity model is available
    int choice = 1;                // 0 show the curve, 1 show the model, 2 start the analysis again

    // The opening's hide rules: without a model "Show S-velocity model" is hidden and the
    // choice becomes 0; with neither curve value "Show dispersion curve" is hidden and the
    // choice becomes 2. Returns the choices left, in order.
    std::vector<int> ApplyHideRules();
    // The rules, the dialog over the choices left; true after OK with `choice` set.
    bool Run(UiHost& ui, int language);
};

}  // namespace velk
