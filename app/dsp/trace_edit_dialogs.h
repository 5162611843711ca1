#pragma once
// The small dialogs of the trace-editing commands as plain structs, each with the request that
// shows it through the generic form. Values are written back only on OK.

#include <array>
#include <string>

#include "platform/uihost.h"

namespace velk {

// Dialog 140 "Distance": the receiver position of an inserted trace.
struct CDistanceDlg {
    static constexpr const char* kClass = "CDistanceDlg";
    static constexpr const char* kTitle = "Distance";
    int distance = 0;  // cm
    DialogRequest Request(int language);
};

// Dialog 144 "Shift all traces".
struct CShiftAllTracesDlg {
    static constexpr const char* kClass = "CShiftAllTracesDlg";
    static constexpr const char* kTitle = "Shift all traces";
    static constexpr const char* kNote = "If the shift is positive(+), waveforms go to left direction.";
    float shift = 0.0f;    // ms
    int changeLength = 0;  // "Change data length"
    DialogRequest Request(int language);

private:
    std::string note_;
};

// Dialog 154 "Mute waveform".
struct CMuteWaveformDlg {
    static constexpr const char* kClass = "CMuteWaveformDlg";
    static constexpr const char* kTitle = "Mute waveform";
    float taperBefore = 30.0f;  // ms, 0..1000
    float window = 30.0f;       // ms, 0..1000000
    float taperAfter = 30.0f;   // ms, 0..1000
    DialogRequest Request(int language);
};

// Dialog 210 "Frequency".
struct CFrequencyDlg {
    static constexpr const char* kClass = "CFrequencyDlg";
    static constexpr const char* kTitle = "Frequency";
    float frequency = 0.0f;  // Hz
    DialogRequest Request(int language);
};

// Dialog 240 "Pre-trigger".
struct CPretriggerDlg {
    static constexpr const char* kClass = "CPretriggerDlg";
    static constexpr const char* kTitle = "Pre-trigger";
    float pretrigger = 0.0f;  // ms
    DialogRequest Request(int language);
};

// Dialog 242 "Min. and max. angle".
struct CAngleRangeDlg {
    static constexpr const char* kClass = "CAngleRangeDlg";
    static constexpr const char* kTitle = "Min. and max. angle";
    float minAngle = 0.0f;  // degrees, 0..360
    float maxAngle = 0.0f;
    DialogRequest Request(int language);
};

// Dialog 328 "Time-shift by component": one shift per component 1..10.
struct CComponentShiftDlg {
    static constexpr const char* kClass = "CComponentShiftDlg";
    static constexpr const char* kTitle = "Time-shift by component";
    static constexpr int kComponents = 10;
    std::array<float, kComponents> shifts{};  // ms
    // The field of component c (1..10): "Component c".
    static std::string FieldName(int component);
    DialogRequest Request(int language);
};

// Dialog 241 "Velocity-depth conversion" (shown by a surface-wave command).
struct CVelocityDepthConversionDlg {
    static constexpr const char* kClass = "CVelocityDepthConversionDlg";
    static constexpr const char* kTitle = "Velocity-depth conversion";
    float depth = 0.0f;  // m, 0..10000000
    DialogRequest Request(int language);
};

// Dialog 216 "WFFT" (shown by the time-frequency export).
struct CWfftDlg {
    static constexpr const char* kClass = "CWfftDlg";
    static constexpr const char* kTitle = "WFFT";
    static constexpr const char* kNote = "Should be 4,8,16,32,64,128";
    int windowSamples = 0;  // 4..512
    int range = -1;         // 0 ALL, 1 1/2, 2 1/4, 3 1/8
    DialogRequest Request(int language);

private:
    std::string note_;
};

}  // namespace velk
