#pragma once
// Synthetic records without an instrument: ray-geometric records of a point diffractor, of a
// dipping reflector and of a vertical seismic profile, a background-noise record, a spike record
// from a traveltime file and a dispersive surface-wave record. Each is a pure function from its
// parameters to a record; the commands put the record into the store.

#include <span>
#include <vector>

#include "base/trace_header.h"

namespace velk {

class DialogRequest;
class SyntheticRandom;
struct SpikeFile;

// A generated record: traces x samples values, trace after trace.
struct GeneratedTraces {
    int traces = 0;
    int samples = 0;
    float intervalMs = 0.0f;
    std::vector<float> values;
    std::vector<CTraceHeader> headers;

    void Resize(int traceCount, int sampleCount, float dt);
    std::span<float> Trace(int i)
    {
        return std::span<float>(values).subspan(static_cast<size_t>(i) * static_cast<size_t>(samples),
                                                static_cast<size_t>(samples));
    }
    std::span<const float> Trace(int i) const
    {
        return std::span<const float>(values).subspan(static_cast<size_t>(i) * static_cast<size_t>(samples),
                                                      static_cast<size_t>(samples));
    }
};

// The common fields of dialogs 175, 178 and 179.
struct RaySyntheticValues {
    int includeDirect = 1;
    float frequency = 200.0f;    // Hz
    int dataLength = 1024;       // samples
    int traces = 24;
    float sourceLocation = 0.0f; // m
    float samplingTime = 0.1f;   // ms
    float traceInterval = 1.0f;  // m
    float velocity = 3.0f;       // km/s
};

// Dialog 175 "Diffraction".
struct CDiffractionDlg : RaySyntheticValues {
    static constexpr const char* kClass = "CDiffractionDlg";
    float distanceX = 10.0f;  // m
    float depthY = 15.0f;     // m
    CDiffractionDlg() { frequency = 100.0f; }
    DialogRequest Request(int language);
};

// Dialog 178 "VSP".
struct CVspDlg : RaySyntheticValues {
    static constexpr const char* kClass = "CVspDlg";
    float angle = 0.0f;     // degrees
    float distance = 0.0f;  // m
    DialogRequest Request(int language);
};

// Dialog 179 "Reflection".
struct CReflectionDlg : RaySyntheticValues {
    static constexpr const char* kClass = "CReflectionDlg";
    float depthY = 30.0f;  // m
    float angle = 0.0f;    // degrees
    DialogRequest Request(int language);
};

// Dialog 209 "Enter sampling and data length".
struct CSamplingLengthDlg {
    static constexpr const char* kClass = "CSamplingLengthDlg";
    int samples = 1;
    float samplingTime = 1.0f;  // ms
    DialogRequest Request(int language, int maxSample);
};

// Dialog 167 "Add noise in time domain".
struct CTimeNoiseDlg {
    static constexpr const char* kClass = "CTimeNoiseDlg";
    float level = 10.0f;  // %
    DialogRequest Request(int language);
};

// Dialog 168 "Add noise in frequency domain".
struct CFrequencyNoiseDlg {
    static constexpr const char* kClass = "CFrequencyNoiseDlg";
    float level = 5.0f;  // %
    float from = 1.0f;   // Hz
    float to = 5000.0f;  // Hz
    DialogRequest Request(int language);
};

// Path lengths (m) of the scattered waves. Reflection: from the source at s on the surface down
// to the reflector through depth d at x = 0 dipping at `angle` degrees, up to the receiver at x.
double ReflectionPath(double s, double x, double d, double angle);
// VSP: source at s and receiver at z on the same line, the reflector crossing the line at c
// with `angle` degrees (within 0.1 of 90: perpendicular).
double VspPath(double s, double z, double c, double angle);

// The three ray-geometric records. Trace k (1-based) lies at k x interval; the wavelet is
// MakeWavelet's type 5 for the diffraction and `waveletType` for the others. The caller has
// checked the velocity (> 0), the interval (> 0) and the sizes.
GeneratedTraces DiffractionRecord(const CDiffractionDlg& dlg);
GeneratedTraces ReflectionRecord(const CReflectionDlg& dlg, int waveletType);
GeneratedTraces VspRecord(const CVspDlg& dlg, int waveletType);

// "Noise model(Back ground)": 24 traces of 1024 samples at 0.2 ms, a 100 Hz pulse at 80 ms and
// three random sinusoids per trace.
GeneratedTraces BackgroundNoiseRecord(SyntheticRandom& random);

// One trace per block (at most maxTraces): -1.0 at sample trunc(t / dt) of each time inside
// the record.
GeneratedTraces SpikeRecord(const SpikeFile& file, int samples, float dt, int maxTraces);

// The fixed dispersive surface-wave record: 48 traces of 4096 samples at 0.5 ms, phase velocity
// 400 - 10 f limited to 100..300 m/s, nothing from 40 Hz up.
GeneratedTraces GenerateDispersiveSurfaceWave();
inline constexpr int kDispersiveTraces = 48;
inline constexpr int kDispersiveSamples = 4096;
// The phase velocity (m/s) of the dispersive record at f Hz.
double DispersivePhaseVelocity(double f);

}  // namespace velk
