#pragma once
// CAcquisitionDevice: the seismograph the workstation drives in acquisition mode. It holds the
// parameters in the two records the instrument library takes (PARM, FLAG), the per-channel
// gains and holds, the raw sample buffer, the monitor values, the flags of the record cycle,
// the running stack and the persistent acquisition settings, and it is the only caller of the
// instrument library (which the Workspace owns and hands in as a pointer).
//
// Channel numbering: the 24 channels form two cables of 12. With iDirectionFirst 1, channel k
// of 1..12 comes from cable position 13 - k; with iDirectionSecond 1, channel 12 + k from
// position 25 - k. Buffer row r holds cable position r + 1; the gains sent to the instrument,
// the monitor values and the recorded traces all go through this mapping.
//
// The record cycle is a state machine driven by the caller's timers: RunMonitorLoop sets a run
// up and MonitorTick takes one step of it; nothing here waits or pumps messages. The monitor
// strip is kept as state (points per row, banner, prompt) that the paint draws.
//
// The acquisition screen's pieces (key bars, channel labels, gain and hold boxes, line banner,
// status texts, the strip) are drawn on a Canvas by the members below; the view's paint
// arranges them.

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "acquisition/instrument/instrument_library.h"
#include "base/matrix2d.h"
#include "base/trace_header.h"
#include "draw/canvas.h"
#include "platform/clock.h"

namespace velk {

class CAcquisitionManager;
class CFileGroup;
class Profile;
class UiHost;
struct DiskContext;

// Signal-trigger threshold in monitor counts: level x 327.68, at most 32768.
double SignalTriggerThreshold(float level);
// A monitor word as a level: the low 16 bits sign-extended, divided by the gain's divisor.
int32_t MonitorWordValue(int32_t word);
double MonitorLevel(int32_t word, int gainCode);

// The noise monitor's strip: one polyline per displayed row (the channels, then AUX), growing
// one column per new monitor set and cleared when it wraps after 81 steps.
struct MonitorStrip {
    static constexpr int kWrapStep = 81;
    static constexpr double kStepWidth = 0.85 * 24.0;
    static constexpr double kLevelHeight = 160.0;
    int x0 = 0;
    int y0 = 0;
    int step = 0;              // 0..80
    int bannerCount = 0;       // banners written in this run
    int expectedCode = 0;      // 5 monitoring, 15 waiting for the trigger
    int64_t startTick = 0;     // ms, renewed at each wrap
    std::string banner;        // "Now setting for ..."; "Trigger received"
    std::string prompt;
    std::vector<std::vector<LPoint>> rows;  // per displayed row, at most 82 points
    bool panelRedraw = false;  // the whole panel is to be drawn again (start, wrap)

    int Top() const { return -(y0 + 5); }
    int Bottom() const { return -(y0 + 950); }
};

// One monitor step: 0 when the run has ended. `column` is the logical rectangle of the strip
// column the step advanced into (valid when `advanced`).
struct MonitorStepResult {
    int running = 1;
    bool advanced = false;
    LRect column;
};

// A pane of the main status bar on the acquisition screen.
struct AcquisitionPane {
    int pane = 0;
    int width = 0;
    std::string text;
    bool operator==(const AcquisitionPane&) const = default;
};

class CAcquisitionDevice {
public:
    static constexpr int kRecordSamples = 16400;
    static constexpr int kRecordTraces = 64;
    static constexpr int kMaxNextId = 9999;

    CAcquisitionDevice();
    ~CAcquisitionDevice();
    CAcquisitionDevice(const CAcquisitionDevice&) = delete;
    CAcquisitionDevice& operator=(const CAcquisitionDevice&) = delete;

    // The instrument's record limits: 16400 samples, 64 traces.
    static void GetRecordLimits(int& samples, int& traces);

    // A new instrument starts with its DSP not ready.
    void SetInstrument(InstrumentLibrary* instrument)
    {
        instrument_ = instrument;
        dspReady_ = 0;
    }
    InstrumentLibrary* Instrument() const { return instrument_; }

    void Disarm();                         // armed := 0
    void RequestStop();                    // stop request := 1

    // Init_DSP; codes 1 and 2 show "Cannot load Kernel to DSP." / "Cannot load DSP program!"
    // and return 0, leaving the DSP not ready; otherwise Clear_ADC_Buf, ready, 1.
    int StartDsp(UiHost& ui, int language);
    // True when the DSP is ready, else one more StartDsp. Every operation that makes a
    // measurement call asks this first and stops when it fails.
    bool EnsureDspReady(UiHost& ui, int language);
    bool DspReady() const { return dspReady_ != 0; }

    // The settings keys of section "General", in their order. LineName is the manager's line
    // index (written as 0 when negative). Loading clamps every value to what the tables and
    // buffers hold and sets PARM byte 7 from TriggerMode (0 for the program's trigger, 11).
    void LoadSettings(const Profile& profile, int& lineIndex);
    void SaveSettings(Profile& profile, int lineIndex);

    void ReleaseAllChannels();  // the 24 channels recorded
    void HoldAllChannels();     // none of the 24 recorded

    // The buffer row (0..24) of channel index 0..23 by the cable directions; the AUX index 24
    // maps to the AUX channel row.
    int CableRow(int channel) const;
    // gain_bf in cable order, then the AUX gain: what chk_meas_flg takes.
    std::array<int8_t, kInstrumentRows> GainsInCableOrder() const;
    // The receiver position of each buffer row, for the instrument's spread hint.
    std::array<float, kInstrumentRows> RowPositions(float receiverInterval) const;
    // Sends the source and the row positions to the instrument (done on arming).
    void SendSpreadHint(float receiverInterval);
    // The displayed level of channel index 0..24 from the latest monitor values: 0 when held;
    // the AUX index reads the AUX channel row.
    double ChannelLevel(int channel) const;

    // read_meas_data into the buffer, then what the record says of itself: the pre-trigger
    // length the instrument used and, for a single record or the first of a stack, `now` as the
    // time it was recorded.
    void ReadRecord(const LocalTime& now);
    // The record in the buffer into trace rows and headers: the channels of disp_ch, then the
    // AUX trace when SaveAux is 1. A held channel is zero in the first record of a stack and
    // keeps the shown trace afterwards. Positions in cm, rounded to the nearest. Every trace
    // starts at minus the pre-trigger length, so that time 0 is the trigger. Returns the trace
    // count (bounded by the rows and headers given).
    int BuildRecord(Matrix2D<float>& traces, std::span<CTraceHeader> headers, float receiverInterval) const;
    // Headers of a stacked record: channels + 1 of them, receivers from 0, source 0, the
    // pre-trigger delay of the records read.
    int MakeTraceHeaders(std::span<CTraceHeader> headers, float receiverInterval) const;
    // Adds a record to the stack (the first one replaces it); held channels keep the stack's
    // trace once it holds one. stackCount + 1.
    void AccumulateStack(int count, const Matrix2D<float>& traces, std::span<const CTraceHeader> headers);
    // Empties the stack: count 0 and no samples left over for the next record.
    void ResetStack();
    const Matrix2D<float>& Stack() const { return stack_; }
    std::span<const CTraceHeader> StackHeaders() const { return stackHeaders_; }
    int StackTraceCount() const { return stackTraces_; }

    // The display's receiver range (first receiver, first + 23 intervals) and the time scale
    // display fill x 2,000,000 / (interval us x samples).
    void ComputeDisplayScale(float receiverInterval, float& distanceMinimum, float& distanceMaximum,
                             float& timeScale) const;

    // The path of the line's file list, "<data folder>/qk<line ID>.xml", written when the line
    // files are on (the manager's UpdateLineFile).
    std::string UpdateLineFile(CAcquisitionManager& manager);

    struct SaveTarget {
        CFileGroup& group;
        CAcquisitionManager& manager;
        Profile& profile;
        UiHost& ui;
        int language = 0;
        float receiverInterval = 1.0f;
    };
    // Writes the shown record as "qk<line ID><NextID 4 digits>.sg2" into the data folder (the
    // working folder when it is empty; a missing folder is made), SEG-2 code 4, with the time
    // of the record and its stack count (at least 1); then the file group entry (with one
    // auxiliary trace when SaveAux is 1, so that lists and gathers leave the AUX trace out),
    // the line file, the mode's Advance (flag 1 for survey types 3 and 4),
    // NextID + 1 (10000 becomes 0, written to the profile) and, with PARM byte 9 0 or 3, the
    // stack emptied. An existing file is overwritten only after Yes to "%s already exists.
    // Overwrite it?"; No, or a failed write ("Cannot save %s"), returns 0 and changes nothing.
    // Returns 1 with the path in savedPath.
    int SaveRecord(const Matrix2D<float>& traces, std::span<const CTraceHeader> headers, int count,
                   const SaveTarget& target, std::string& savedPath);

    // Sets a run up: start tick, the strip's pens at (x0, rows downwards from y0) with no
    // points, both monitor sets zeroed, command 10 (armed) or 1 into FLAG with the running code
    // 15 or 5 expected, FLAG bytes 1-2 and the stop request cleared, the gains into cable
    // order and, when armed, the spread hint. Returns at once; MonitorTick does the rest.
    void RunMonitorLoop(int64_t nowMs, int x0, int y0, float receiverInterval);
    // One step of the run: the instrument's flags and monitor values, the banner and prompt,
    // a strip column for a new set (the signal trigger per row while TriggerMode is 11), then
    // the trigger test (a record is ready: "Trigger received"; the run ends unless stk_flg is 2)
    // and the stop request (command 9). A run whose monitor flag was cleared stops as well.
    MonitorStepResult MonitorTick(int64_t nowMs, int language, float amplitudeScale);
    MonitorStrip strip;
    // Called with the AUX row's raw monitor word of each new set while the noise log is open.
    std::function<void(int32_t)> noiseLogHook;

    // The record cycle's timers, which the caller runs: a run is active from RunMonitorLoop
    // until MonitorTick returns 0; pendingStart is what starts once it has ended (1 the
    // monitor, 2 armed).
    int runActive = 0;
    int pendingStart = 0;
    int timerTicks = 0;
    int timerSeconds = 0;
    int icon = 128;            // the frame's icon: 128, or 238 while blinking
    int questionOpen = 0;      // the record's questions are being asked

    // The acquisition screen's keys: a manual trigger of the armed instrument, and the dialogs
    // "Measuring conditions", "Disk" and "Display" (each returns 1 when the view must be
    // repainted).
    void ManualTrigger();
    struct SettingsEdit {
        UiHost& ui;
        Profile& profile;
        CAcquisitionManager* manager = nullptr;
        float& receiverInterval;  // the acquisition's receiver interval, m
        int language = 0;
    };
    // Dialog 244 over the device, the manager's line and the receiver interval. OK writes them
    // back (the line ID excepted: "Setup line ID" changes the line at once), PARM byte 7 from
    // TriggerMode (0 for the program's trigger, 11), saves the settings and returns 1. Cancel
    // returns 0 with nothing changed but the live gains and holds.
    int EditSettings(const SettingsEdit& edit);
    // Dialog 282 over SignalTriggerLevel: OK stores it, writes the key and returns 1.
    int EditTriggerLevel(UiHost& ui, int language, Profile& profile);
    // Dialog 262 "Disk" (acquisition/disk_dlg.h) with ID No. = NextID and the manager's line
    // ID; each action works at once. 1 when the dialog closes with OK, 0 otherwise.
    int DiskMenu(const DiskContext& ctx);
    // Repaints the acquisition view and brings the picture to the screen at once (the window
    // sets it): the gain and hold dialogs show their changes on the monitor, and the record's
    // questions open over the record already drawn.
    std::function<void()> ownerRepaint;

    // The noise-monitor log "monitor_%04d.dat" in `folder`: once open it takes one line per
    // monitor set (AppendNoiseLog) until CloseNoiseLog at the end of the program. Open returns
    // 0 when the log is already open, or after "Cannot create %s" when the file cannot be made
    // (the flag stays clear and the number unchanged); 1 when opened, the number raised.
    int OpenNoiseLog(const std::string& folder, UiHost& ui, int language);
    // "year month day hour minute second tick ms-since-start value" with the value as a
    // double, in the C locale; each line is flushed at once. Nothing while the log is closed.
    void AppendNoiseLog(int32_t value, const LocalTime& now, uint32_t tickMs);
    int CloseNoiseLog();  // 1 when a log was open
    int noiseLogNumber = 0;
    uint32_t noiseLogStartTick = 0;  // the tick count at program start
    int noiseLogOpen = 0;
    // Dialog 260 over the view's normalisation and trace style (see CAcqDisplayDlg); 1 after OK
    // with both written back.
    int EditDisplay(UiHost& ui, int language, int& normalisation, int& traceStyle);

    // The eight status panes of the acquisition screen: NextID and source, sampling, length,
    // stack count, stack mode, trigger level and the battery (in 0.1 V, as Read_Batt gives it).
    std::vector<AcquisitionPane> StatusPanes(int battery) const;
    // The same panes with the widest texts they can show, for sizing the screen.
    static std::vector<AcquisitionPane> WidestStatusPanes();
    // UpdateStatusBar's panes, with the battery read from the instrument (12.6 V without one).
    std::vector<AcquisitionPane> ReadStatusPanes();

    // Key bar A (the function keys with the instrument, else the mode's prompt; Japanese: the
    // keys without the instrument's), key bar B (Shift held), and the monitor's amplitude.
    static std::string KeyBarText(int language, bool instrumentPresent, const std::string& modePrompt);
    static std::string MenuKeyBarText(int language);
    static std::string AmplitudeText(float amplitudeScale);
    // The screen's drawing, in logical units (0.1 mm, y up); the monitor rows go downwards
    // from y0, row i + 2 at -((i + 2) x rowHeight + y0). Texts in the serif face, IPAGothic in
    // Japanese.
    // A key bar's text over the blanked bar (10, -18)-(1400, -60); bar B is MenuKeyBarText.
    static void DrawKeyBar(Canvas& canvas, const std::string& text, int language = 0);
    // "1".."n" at x0 - 40 and "AUX" at x0 - 50 for the displayed rows, 20 high.
    void DrawChannelLabels(Canvas& canvas, int x0, int y0, int language) const;
    // Per channel row: a held channel a blue box (15, y - 10)-(67, y + 10); otherwise gain code
    // g as g + 1 red boxes 10 wide and 20 high from x 15, one every 14.
    void DrawGainHold(Canvas& canvas, int y0) const;
    // "Line ID=%s" at (x, y) and the mode's "%s(%d)" at (x + 250, y), 40 high.
    static void DrawLineBanner(Canvas& canvas, int x, int y, const std::string& lineId, const std::string& modeName,
                               int step, int language);
    static std::string LineBannerText(const std::string& lineId, int language);
    // The width of DrawLineBanner's texts from x to the end of the mode's text.
    static int LineBannerWidth(Canvas& canvas, const std::string& lineId, const std::string& modeName, int step,
                               int language);
    // The width of a text of the screen's font at this height (0.1 mm).
    static int ScreenTextWidth(Canvas& canvas, const std::string& text, int height, int language);
    // While the monitor runs "Amp.=%.1f" at (10, -1160); then the mode's status text at
    // (1400, -8) and its guide text at (1700, -68), 45 high.
    void UpdateStatusBar(Canvas& canvas, int language, float amplitudeScale, const std::string& statusText,
                         const std::string& guideText) const;
    // The strip's points so far, one polyline per row, and its banner and prompt at
    // (x0, -1160) and (x0 + 500, -1160).
    void DrawMonitorStrip(Canvas& canvas, int language) const;

    // The raw buffer the instrument fills: kInstrumentRows rows of kInstrumentRowSamples.
    InstrumentRow* Buffer() { return buffer_.get(); }
    const InstrumentRow* Buffer() const { return buffer_.get(); }

    // --- Fields ---------------------------------------------------------------------------
    int NextID = 1;
    int bAutomaticShift = 1;
    int iReferenceChannel = 11;
    float SignalTriggerLevel = 10.0f;
    int auxChannelRow = 24;
    FLAG flag;
    PARM parm;
    int monitorRunning = 0;
    int armed = 0;
    int stopRequest = 0;
    int triggerReceived = 0;
    int stackCount = 0;
    int iDirectionFirst = 0;
    int iDirectionSecond = 1;
    int SaveAux = 1;
    std::array<int8_t, kInstrumentRows> hold_bf{};
    std::array<int8_t, kInstrumentRows> channelBytes{};
    std::array<int8_t, kInstrumentRows> gain_bf{};
    std::array<int8_t, kInstrumentRows> extraBytes{};
    std::array<int8_t, kInstrumentRows> gainCableOrder{};
    std::array<int32_t, kInstrumentRows> monitorValues{};
    std::array<int32_t, kInstrumentRows> monitorValues2{};
    float displayFill = 0.85f;
    float rowHeight = 34.0f;
    float sourcePosition = -0.5f;          // m
    float firstReceiverPosition = 0.0f;    // m
    int preTriggerSamples = 0;             // of the record read last (ReadRecord)
    LocalTime recordTime;                  // when the shown record (a stack: its first) was recorded
    int recordRead = 0;                    // 1 once ReadRecord has read a record
    int TriggerMode = 11;                  // 0 off, 1..10 x 100 mV, 11 the program's trigger

    // Flags the view reads (1 = on). displayRefreshRequest is set when a new record has been
    // read; the view's record drawing clears it.
    int suspendDrawing = 0;
    int displayRefreshRequest = 0;
    int stackPending = 0;
    int acquisitionScreen = 0;

private:
    int DisplayChannels() const;
    InstrumentLibrary* instrument_ = nullptr;
    int dspReady_ = 0;
    std::unique_ptr<InstrumentRow[]> buffer_;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> noiseLog_{nullptr, &std::fclose};
    Matrix2D<float> stack_;
    std::vector<CTraceHeader> stackHeaders_;
    int stackTraces_ = 0;
};

}  // namespace velk
