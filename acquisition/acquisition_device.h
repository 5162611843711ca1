#pragma once
// CAcquisitionDevice: the seismograph the workstation drives in acquisition mode. What is here
// so far: the record limits, the flags the view reads (all off), and the operations the view
// calls, as no-ops. The instrument library, the record cycle and the screens come with the
// acquisition work; SaveSettings is where the instrument settings will be written.

#include <string>

namespace velk {

class Profile;

class CAcquisitionDevice {
public:
    static constexpr int kRecordSamples = 16400;
    static constexpr int kRecordTraces = 64;

    // The instrument's record limits: 16400 samples, 64 traces.
    static void GetRecordLimits(int& samples, int& traces);

    void Disarm();                         // armed := 0
    void RequestStop();                    // stop request := 1
    void SaveSettings(Profile& profile);   // hook: no keys yet
    int StartDsp();                        // 1: started (nothing to start yet)
    void MakeTraceHeaders();
    // Writes the survey-line file of the line being recorded to `path`; 1 when written. Not
    // built yet: 0.
    int WriteLineFile(const std::string& path);
    void SaveRecord();
    // The acquisition screen's keys: a manual trigger of the armed instrument, and the dialogs
    // "Measuring conditions", "Disk" and "Display" (each returns 1 when the view must be
    // repainted). No-ops until the screens exist.
    void ManualTrigger();
    int EditSettings();
    int DiskMenu();
    int EditDisplay();

    // Drawing hooks of the acquisition screen: no-ops until the screen exists.
    void DrawKeyBar();
    void DrawMenuKeyBar();
    void UpdateStatusBar();
    void DrawLineBanner(int x, int y);
    void DrawMonitorPanel();
    void ComputeDisplayScale(float& timeScale);

    // Flags the view reads (1 = on).
    int monitorRunning = 0;
    int armed = 0;
    int stopRequest = 0;
    int suspendDrawing = 0;
    int displayRefreshRequest = 0;
    int stackPending = 0;
    int acquisitionScreen = 0;
};

}  // namespace velk
