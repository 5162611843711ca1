#pragma once
// The calls and records of the seismograph's instrument library, as the acquisition device
// makes them. No driver for the instrument exists on Linux; SimulatedSeismograph stands in for
// it. The calls keep the library's names and argument shapes; the records are packed byte for
// byte as the library shares them.

#include <array>
#include <cstdint>

namespace velk {

inline constexpr int kInstrumentRows = 25;        // 24 channel rows and the AUX row
inline constexpr int kInstrumentChannels = 24;
inline constexpr int kInstrumentRowSamples = 16384;

// The index tables of PARM and of the gain codes.
inline constexpr std::array<int, 6> kChannelTable{1, 3, 6, 12, 24, 48};                 // disp_ch
inline constexpr std::array<int, 5> kSampleTable{1024, 2048, 4096, 8192, 16384};        // m_size
inline constexpr std::array<int, 7> kRateTableUs{25, 50, 100, 200, 500, 1000, 2000};    // rate
inline constexpr std::array<int, 4> kGainDivisor{16, 64, 256, 1024};                   // gain code
// Raw counts per record unit before the gain divisor.
inline constexpr double kCountsPerUnit = 20480.0;

// Table look-ups that stay inside their tables whatever byte they are given.
int ChannelsOf(int dispCh);   // at most the 24 channels the buffers hold
int SamplesOf(int mSize);
int IntervalUsOf(int rate);
int DivisorOf(int gainCode);

// One row of the sample buffer; the buffer is kInstrumentRows of them.
using InstrumentRow = int32_t[kInstrumentRowSamples];

#pragma pack(push, 1)
// The acquisition parameters as the library takes them.
struct PARM {
    int8_t disp_ch = 4;     // channel-count index: 1, 3, 6, 12, 24, 48 channels
    int8_t m_size = 0;      // data-length index: 1024 .. 16384 samples
    int8_t rate = 2;        // sampling index: 25 .. 2000 microseconds
    int8_t byte3 = 49;      // passed through untouched
    int8_t byte4 = 48;      // passed through untouched
    int8_t pre_trig = 1;    // 0 pre-trigger on, 1 off
    int8_t byte6 = 0;       // set by the survey presets
    int8_t trig_level = 1;  // hardware trigger level n x 100 mV, 0 = the program triggers
    int8_t stk_flg = 1;     // stack mode: 0 pre-view, 1 no, 2 auto, 3 manual re-arm
    int8_t byte9 = 0;       // 0 or 3: a save empties the stack
};

// The status record: byte 0 command (1 monitor, 10 trigger wait, 9 stop) or status (5
// monitoring, 15 waiting, 20 recording, 0 or 23 with byte 2 = 1 a record is ready); byte 1 > 0
// a new set of monitor values; byte 2 = 1 the record is complete.
struct FLAG {
    int8_t code = 0;
    int8_t monitor = 0;
    int8_t complete = 0;
};
#pragma pack(pop)

static_assert(sizeof(PARM) == 10);
static_assert(sizeof(FLAG) == 3);

inline constexpr int8_t kCommandMonitor = 1;
inline constexpr int8_t kCommandTriggerWait = 10;
inline constexpr int8_t kCommandStop = 9;
inline constexpr int8_t kStatusMonitoring = 5;
inline constexpr int8_t kStatusTriggerWait = 15;
inline constexpr int8_t kStatusRecording = 20;

class InstrumentLibrary {
public:
    virtual ~InstrumentLibrary() = default;

    // 0 ready, 1 kernel not loaded, 2 program not loaded.
    virtual uint16_t Init_DSP() = 0;
    // channels: the 24 library channel bytes; buffer: kInstrumentRows rows.
    virtual void Clear_ADC_Buf(const int8_t* channels, InstrumentRow* buffer, const PARM* parm) = 0;
    // gains: the 24 gain codes in cable order, then the AUX row's code. monitor: 25 values, or
    // null when only a command is passed (the stop).
    virtual void chk_meas_flg(FLAG* flag, const PARM* parm, const int8_t* gains, void* reserved,
                              int32_t* monitor) = 0;
    virtual void DSP_MEAS_trigger() = 0;
    virtual void read_meas_data(const PARM* parm, const int8_t* channels, InstrumentRow* buffer) = 0;
    // The samples the record that read_meas_data gave last holds before its trigger: the
    // pre-trigger length the instrument used (0 with the pre-trigger off, or before a record).
    virtual int PreTriggerSamples() const = 0;
    // Battery voltage in 0.1 V.
    virtual uint16_t Read_Batt() = 0;
    virtual void Timer_Count() = 0;

    // The geometry of the spread for synthetic instruments: the source position and the
    // position of the receiver on each buffer row (m). The device sends it when it arms.
    virtual void SetSpreadHint(float sourceMetres, const std::array<float, kInstrumentRows>& rowPositions) = 0;
};

}  // namespace velk
