#pragma once
// A seismograph in software: it answers the instrument calls as the hardware would, so every
// acquisition step runs without an instrument. It is deterministic: record k draws its noise
// and jitter from (seed, k) alone, so a record can be reproduced by itself, and two records
// have independent noise. Time comes only from the injected clock.
//
// States: Off until Init_DSP returns 0; Idle; Monitoring (status 5) after command 1 and
// TriggerWait (15) after command 10, both with a new set of monitor values every 50 ms; the
// trigger (DSP_MEAS_trigger in TriggerWait, or the level trigger of PARM byte 7) starts
// Recording (20), which lasts the record's length times TimeScale; then the record is ready
// (status ReadyCode with byte 2 = 1). read_meas_data returns to TriggerWait; command 9 returns
// to Idle from any state and a ready record stays readable.
//
// A record holds one shot at time zero (m_size / 10 with the pre-trigger on): the direct wave,
// the head wave beyond the critical distance and, when configured, a dispersive surface-wave
// train, with Gaussian noise; the AUX row holds a time-break pulse. A trigger with no shot
// under way records a shot at the trigger, as a hammer switch would. Microtremor records hold
// random plane waves and no shot. Left out: amplitude decay with absorption, reflections,
// the library channel bytes and PARM bytes 3, 4 and 6.

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "acquisition/instrument/instrument_library.h"
#include "acquisition/instrument/simulator_config.h"

namespace velk {

class Clock;

class SimulatedSeismograph : public InstrumentLibrary {
public:
    enum class State { Off, Idle, Monitoring, TriggerWait, Recording, Ready };

    SimulatedSeismograph(SimulatorConfig config, const Clock& clock);

    uint16_t Init_DSP() override;
    void Clear_ADC_Buf(const int8_t* channels, InstrumentRow* buffer, const PARM* parm) override;
    void chk_meas_flg(FLAG* flag, const PARM* parm, const int8_t* gains, void* reserved,
                      int32_t* monitor) override;
    void DSP_MEAS_trigger() override;
    void read_meas_data(const PARM* parm, const int8_t* channels, InstrumentRow* buffer) override;
    int PreTriggerSamples() const override { return preTrigger_; }
    uint16_t Read_Batt() override;
    void Timer_Count() override;
    void SetSpreadHint(float sourceMetres, const std::array<float, kInstrumentRows>& rowPositions) override;

    // The configuration may change between calls (a test lets Init_DSP succeed at last).
    SimulatorConfig& Config() { return config_; }
    State GetState() const { return state_; }
    // Every call in order, by its library name; " ignored" follows a call that did nothing.
    const std::vector<std::string>& CallLog() const { return log_; }
    uint32_t TimerCount() const { return timerCount_; }
    int RecordsMade() const { return recordsMade_; }

    // Record k as read_meas_data gives it, in record units (V) before the gain, for rows 0..24
    // and `samples` samples at `intervalUs`; zeroIndex is the sample of time zero.
    std::vector<std::vector<double>> MakeRecord(uint64_t k, int samples, double intervalUs, int zeroIndex) const;

private:
    void Log(const char* call, bool ignored = false);
    void Advance();  // reads the clock and runs the timed transitions
    void EnterTriggerWait();
    void Trigger();
    double ShotWave(int row, double tau) const;  // body and surface waves, V
    double BodyWaves(int row, double tau) const;  // the direct and the head wave
    double SurfaceWave(int row, double tau) const;
    double Distance(int row) const;
    int Divisor(int row) const;
    void MakeMonitorSet(int32_t* monitor);

    SimulatorConfig config_;
    const Clock& clock_;
    State state_ = State::Off;
    std::vector<std::string> log_;

    uint32_t lastTick_ = 0;
    int64_t now_ = 0;              // ms since construction
    int64_t armedAt_ = 0;          // command 10
    int64_t waitStart_ = 0;        // entry into the trigger wait
    size_t nextShot_ = 0;          // next entry of the "at" schedule
    bool shotFired_ = false;
    int64_t shotAt_ = 0;
    int64_t recordEnd_ = 0;
    bool recordReady_ = false;
    int64_t lastMonitorSet_ = 0;
    uint64_t monitorSets_ = 0;

    PARM parm_{};
    PARM recordParm_{};
    uint64_t recordIndex_ = 0;     // the next record's k
    uint64_t pendingRecord_ = 0;   // k of the record being made or ready
    int preTrigger_ = 0;           // samples before time zero in the record read last
    std::array<int8_t, kInstrumentRows> gains_{};
    float source_ = -0.5f;
    std::array<float, kInstrumentRows> rowPositions_{};
    uint32_t timerCount_ = 0;
    int recordsMade_ = 0;
};

const char* ToString(SimulatedSeismograph::State state);

// The random streams: a 64-bit Mersenne twister with our own conversions, identical on every
// standard library.
class SimulatorRandom {
public:
    explicit SimulatorRandom(uint64_t seed) : engine_(seed) {}
    double Uniform();  // [0, 1)
    double Gaussian(); // mean 0, deviation 1
private:
    std::mt19937_64 engine_;
    bool haveSpare_ = false;
    double spare_ = 0.0;
};

}  // namespace velk
