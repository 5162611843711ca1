#pragma once
// The parameter dialogs of the theoretical traveltimes, the fits and the synthetic models: plain
// structs with their defaults, shown through the generic form.

namespace velk {

class DialogRequest;

// Dialog 185 "Horizontal 2-layer model".
struct CTwoLayerModelDlg {
    static constexpr const char* kClass = "CTwoLayerModelDlg";
    float depth = 5.0f;  // m
    float v1 = 0.3f;     // km/s
    float v2 = 1.5f;     // km/s
    DialogRequest Request(int language);
};

// Dialog 186 "VSP": the reflector and the velocity.
struct CVspCurveDlg {
    static constexpr const char* kClass = "CVspCurveDlg";
    float angle = 60.0f;     // degrees
    float distance = 30.0f;  // m
    float velocity = 3.0f;   // km/s
    DialogRequest Request(int language);
};

// Dialog 188 "Set velocity".
struct CSetVelocityDlg {
    static constexpr const char* kClass = "CSetVelocityDlg";
    float velocity = 3.0f;  // km/s, 0.00001 .. 10000
    DialogRequest Request(int language);
};

// Dialog 192 "Migration velocity": the one constant velocity (MIGRATION_VELOCITY) of the CDP
// stack and the migrations.
struct CMigrationVelocityDlg {
    static constexpr const char* kClass = "CMigrationVelocityDlg";
    float velocity = 3.0f;  // km/s, 0.00001 .. 100000
    DialogRequest Request(int language);
};

// Dialog 190 "0 Offset profile(Diffraction)".
struct CZeroOffsetSectionDlg {
    static constexpr const char* kClass = "CZeroOffsetSectionDlg";
    float x1 = 80.0f;  // diffractor 1, m
    float y1 = 20.0f;
    float frequency = 100.0f;  // Hz
    int dataLength = 1024;
    int traces = 201;
    float samplingTime = 0.1f;   // ms
    float traceInterval = 1.0f;  // m
    float velocity = 3.0f;       // km/s
    float x2 = 120.0f;  // diffractor 2, m
    float y2 = 40.0f;
    DialogRequest Request(int language);
};

// Dialog 193 "Impulse".
struct CImpulseDlg {
    static constexpr const char* kClass = "CImpulseDlg";
    float frequency = 100.0f;
    int dataLength = 1024;
    int traces = 201;
    float samplingTime = 0.1f;
    float traceInterval = 1.0f;
    DialogRequest Request(int language);
};

// Dialog 184 "2-layer model": the shot record of the horizontal two-layer model.
struct CTwoLayerRecordDlg {
    static constexpr const char* kClass = "CTwoLayerRecordDlg";
    int includeDirect = 1;
    float depth = 5.0f;
    float frequency = 200.0f;
    int dataLength = 1024;
    int traces = 24;
    float source = 0.0f;  // m
    float samplingTime = 0.1f;
    float traceInterval = 1.0f;
    float v1 = 0.3f;
    float v2 = 1.5f;
    DialogRequest Request(int language);
};

// Dialog 195 "Hum frequency". The harmonics and the amplitude are kept for the run; the mains
// frequency starts at 50 Hz each time.
struct CHumFrequencyDlg {
    static constexpr const char* kClass = "CHumFrequencyDlg";
    int mains = 0;  // 0: 50 Hz, 1: 60 Hz
    int harmonics = 1;
    float amplitude = 10.0f;
    double PeriodMs() const { return 1000.0 / (mains == 1 ? 60.0 : 50.0); }
    DialogRequest Request(int language);
};

// Dialog 203 "Finite difference modeling".
struct CFdModelingDlg {
    static constexpr const char* kClass = "CFdModelingDlg";
    float samplingTime = 0.1f;  // ms
    int samples = 100;
    int method = 1;  // 0 "2nd order", 1 "4th order", 2 "Pseudo spectral", 3 "Staggered"
    float frequency = 200.0f;  // Hz
    float sourceX = 0.0f;      // m
    float sourceDepth = 0.0f;  // m
    int nonReflecting = 0;
    DialogRequest Request(int language);
};

// Dialog 191 "Reverse time migration". The post-stack migration reads the first nine fields
// and the method; the rest are shown and kept in the dialog only.
struct CReverseTimeMigrationDlg {
    static constexpr const char* kClass = "CReverseTimeMigrationDlg";
    int samples = 0;
    int nx = 0;
    int ny = 0;
    float velocity = 3.0f;    // km/s
    float stopTime = 5.0f;    // ms
    float dx = 1.0f;          // m
    int timeFactor = 1;       // 1 .. 10
    int spaceFactor = 1;      // 1 .. 20
    int interpolation = 1;
    float sourceX = 0.0f, sourceY = 0.0f;  // m
    int method = 1;  // 0 "2nd order", 1 "4th order", 2 "Pseudo spectral", 3 "Staggered grid"
    int createModel = 0;
    int preStack = 0;  // 0 "Traveltime", 1 "Max amplitude"
    int traveltimeWeighting = 0;
    int nonReflecting = 0;
    DialogRequest Request(int language);
};

// Dialog 176 "Diffraction Stacking".
struct CDiffractionStackingDlg {
    static constexpr const char* kClass = "CDiffractionStackingDlg";
    float velocity = 3.0f;  // km/s
    float xFrom = 0.0f, xTo = 0.0f, xInterval = 0.5f;  // m
    float yFrom = 0.0f, yTo = 50.0f, yInterval = 0.5f;  // m
    int method = 0;  // "Normal", "Semblance", "Semblance weighted stacking"
    float sourceX = 0.0f, sourceY = 0.0f;  // m
    int createModel = 0;
    int traveltimeWeighting = 0;
    DialogRequest Request(int language);
};

}  // namespace velk
