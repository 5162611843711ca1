#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "acquisition/instrument/simulated_seismograph.h"
#include "platform/clock.h"

namespace velk {
namespace {

using State = SimulatedSeismograph::State;

// A simulator on a manual clock, with the calls the device makes.
struct Sim {
    explicit Sim(SimulatorConfig config = {}) : sim(std::move(config), clock)
    {
        parm.trig_level = 0;
        gains.fill(0);
    }
    FLAG Chk(int8_t command = -1)
    {
        if (command >= 0) flag.code = command;
        sim.chk_meas_flg(&flag, &parm, gains.data(), nullptr, monitor.data());
        return flag;
    }
    void Read() { sim.read_meas_data(&parm, nullptr, buffer.get()); }
    // Arms and advances the clock in monitor periods until the instrument reports a record.
    bool WaitForRecord(int maxMs)
    {
        for (int t = 0; t <= maxMs; t += 50) {
            if (Chk().complete == 1) return true;
            flag.monitor = 0;
            clock.AdvanceMs(50);
        }
        return false;
    }

    ManualClock clock{1000};
    SimulatedSeismograph sim;
    FLAG flag;
    PARM parm;
    std::array<int8_t, kInstrumentRows> gains{};
    std::array<int32_t, kInstrumentRows> monitor{};
    std::unique_ptr<InstrumentRow[]> buffer = std::make_unique<InstrumentRow[]>(kInstrumentRows);
};

SimulatorConfig Quiet()
{
    SimulatorConfig c;
    c.shots = ShotSchedule::Manual;
    return c;
}

TEST(SimulatedSeismograph, StateMachineOnTheClock)
{
    Sim s(Quiet());
    EXPECT_EQ(s.Chk(kCommandMonitor).code, kCommandMonitor);  // Off: ignored
    EXPECT_EQ(s.sim.CallLog().back(), "chk_meas_flg ignored");
    EXPECT_EQ(s.sim.Init_DSP(), 0);
    EXPECT_EQ(s.Chk(kCommandMonitor).code, kStatusMonitoring);
    EXPECT_EQ(s.flag.monitor, 0);
    s.clock.AdvanceMs(49);
    EXPECT_EQ(s.Chk().monitor, 0);
    s.clock.AdvanceMs(1);
    EXPECT_EQ(s.Chk().monitor, 1);
    s.flag.monitor = 0;
    EXPECT_EQ(s.Chk().monitor, 0);  // no new set within the period
    s.sim.DSP_MEAS_trigger();       // not waiting for a trigger
    EXPECT_EQ(s.sim.CallLog().back(), "DSP_MEAS_trigger ignored");
    EXPECT_EQ(s.Chk().code, kStatusMonitoring);
    EXPECT_EQ(s.Chk(kCommandStop).code, 0);
    EXPECT_EQ(s.sim.GetState(), State::Idle);

    s.parm.m_size = 0;  // 1024 samples at 100 us: 102.4 ms of recording
    s.parm.rate = 2;
    EXPECT_EQ(s.Chk(kCommandTriggerWait).code, kStatusTriggerWait);
    s.sim.DSP_MEAS_trigger();
    EXPECT_EQ(s.Chk().code, kStatusRecording);
    s.clock.AdvanceMs(101);
    EXPECT_EQ(s.Chk().code, kStatusRecording);
    s.clock.AdvanceMs(1);
    const FLAG ready = s.Chk();
    EXPECT_EQ(ready.code, 23);
    EXPECT_EQ(ready.complete, 1);
    s.Read();
    const FLAG waiting = s.Chk();
    EXPECT_EQ(waiting.code, kStatusTriggerWait);
    EXPECT_EQ(waiting.complete, 0);
    EXPECT_EQ(s.Chk(kCommandStop).code, 0);
    EXPECT_EQ(s.sim.GetState(), State::Idle);

    // A record made ready stays readable after the stop; the buffer is cleared on request.
    s.sim.Config().timeScale = 0.0;
    s.Chk(kCommandTriggerWait);
    s.sim.DSP_MEAS_trigger();
    EXPECT_EQ(s.Chk().complete, 1);
    s.Chk(kCommandStop);
    s.buffer[3][0] = 0;
    s.Read();
    EXPECT_EQ(s.sim.CallLog().back(), "read_meas_data");
    EXPECT_NE(s.buffer[24][0], 0);  // the time break at time zero (pre-trigger off)
    s.sim.Clear_ADC_Buf(nullptr, s.buffer.get(), &s.parm);
    EXPECT_EQ(s.buffer[24][0], 0);
    EXPECT_EQ(s.sim.GetState(), State::Idle);
}

TEST(SimulatedSeismograph, LevelTriggerFiresOnTheShotNotOnNoise)
{
    for (const bool shot : {false, true}) {
        SimulatorConfig c;
        c.shots = shot ? ShotSchedule::Periodic : ShotSchedule::Manual;
        c.shotPeriod = 2.0;
        Sim s(c);
        s.sim.Init_DSP();
        s.parm.trig_level = 3;
        s.Chk(kCommandTriggerWait);
        for (int t = 0; t < 4000 && s.sim.GetState() == State::TriggerWait; t += 50) {
            s.clock.AdvanceMs(50);
            s.Chk();
        }
        EXPECT_EQ(s.sim.GetState(), shot ? State::Recording : State::TriggerWait) << shot;
    }
}

TEST(SimulatedSeismograph, MonitorWordsAreSixteenBitsNotExtended)
{
    SimulatorConfig c;
    c.noiseLevel = 1.0;
    Sim s(c);
    s.sim.Init_DSP();
    s.Chk(kCommandMonitor);
    s.clock.AdvanceMs(50);
    s.Chk();
    int negatives = 0;
    for (int r = 0; r < kInstrumentRows; ++r) {  // the AUX row too, with noise of its own
        const int32_t w = s.monitor[static_cast<size_t>(r)];
        EXPECT_EQ(w & ~0xFFFF, 0) << r;
        EXPECT_NE(w, 0) << r;
        if (w & 0x8000) ++negatives;
    }
    EXPECT_GT(negatives, 0);
}

std::vector<std::vector<double>> RecordOf(const SimulatorConfig& c, uint64_t k)
{
    ManualClock clock;
    return SimulatedSeismograph(c, clock).MakeRecord(k, 1024, 1000.0, 0);
}

TEST(SimulatedSeismograph, RecordsFollowTheSeed)
{
    SimulatorConfig c;
    c.surfaceWave = true;
    c.c0 = 300.0;
    c.cinf = 150.0;
    c.fref = 20.0;
    c.jitter = 3;
    EXPECT_EQ(RecordOf(c, 5), RecordOf(c, 5));
    EXPECT_NE(RecordOf(c, 5), RecordOf(c, 6));
    SimulatorConfig other = c;
    other.seed = 2;
    EXPECT_NE(RecordOf(c, 5), RecordOf(other, 5));
}

TEST(SimulatedSeismograph, FirstBreaksAreTheEarlierBranch)
{
    SimulatorConfig c;
    c.noiseLevel = 0.0;
    const auto rows = RecordOf(c, 0);  // 1 ms sampling, time zero at sample 0
    const double v1 = 400.0, v2 = 1600.0, h = 4.0;
    const double critical = 2.0 * h * v1 / std::sqrt(v2 * v2 - v1 * v1);
    int direct = 0, refracted = 0;
    for (int r = 0; r < kInstrumentChannels; ++r) {
        const double d = std::abs(r + 0.5);  // source at -0.5 m, receivers every metre from 0
        double expected = d / v1;
        if (d > critical) {
            const double head = d / v2 + 2.0 * h * std::sqrt(1.0 / (v1 * v1) - 1.0 / (v2 * v2));
            if (head < expected) {
                expected = head;
                ++refracted;
            } else {
                ++direct;
            }
        } else {
            ++direct;
        }
        const auto& row = rows[static_cast<size_t>(r)];
        const double peak = std::abs(*std::max_element(row.begin(), row.end(), [](double a, double b) {
            return std::abs(a) < std::abs(b);
        }));
        const auto first = std::find_if(row.begin(), row.end(), [&](double v) { return std::abs(v) > 1e-4 * peak; });
        EXPECT_NEAR(static_cast<double>(first - row.begin()), expected * 1000.0, 2.0) << r;
    }
    EXPECT_GT(direct, 0);
    EXPECT_GT(refracted, 0);
}

TEST(SimulatedSeismograph, BatteryAndTimer)
{
    SimulatorConfig c = Quiet();
    c.timeScale = 0.0;
    c.batteryStart = 12.0;
    c.batteryPerMinute = 0.5;
    c.batteryPerRecord = 0.1;
    c.batteryFloor = 10.5;
    Sim s(c);
    EXPECT_EQ(s.sim.Read_Batt(), 0);  // off
    s.sim.Init_DSP();
    EXPECT_EQ(s.sim.Read_Batt(), 120);
    s.clock.AdvanceMs(120000);
    EXPECT_EQ(s.sim.Read_Batt(), 110);
    s.Chk(kCommandTriggerWait);
    s.sim.DSP_MEAS_trigger();
    EXPECT_EQ(s.sim.Read_Batt(), 109);
    s.clock.AdvanceMs(600000);
    EXPECT_EQ(s.sim.Read_Batt(), 105);  // the floor
    s.sim.Timer_Count();
    s.sim.Timer_Count();
    EXPECT_EQ(s.sim.TimerCount(), 2u);
}

TEST(SimulatorConfig, CompositeValues)
{
    struct Case {
        const char* text;
        bool (*parse)(std::string_view, SimulatorConfig&);
        bool ok;
    };
    const Case cases[] = {
        {"periodic:2.5", ParseShots, true}, {"manual", ParseShots, true}, {"at:4, 1.5", ParseShots, true},
        {"periodic:0", ParseShots, false},  {"at:", ParseShots, false},   {"at:1,,2", ParseShots, false},
        {"at:-1", ParseShots, false},       {"sometimes", ParseShots, false},
        {"400,1600,4", ParseLayers, true},  {"400,1600", ParseLayers, false}, {"0,1600,4", ParseLayers, false},
        {"400,1600,4,5", ParseLayers, false}, {"400,nan,4", ParseLayers, false},
        {"", ParseSurfaceWave, true},       {"300,150,20", ParseSurfaceWave, true}, {"300,-1,20", ParseSurfaceWave, false},
        {"12.6,0.01,0.001,10.5", ParseBattery, true}, {"10,0,0,11", ParseBattery, false},
        {"1e999,0,0,1", ParseBattery, false},
    };
    for (const Case& c : cases) {
        SimulatorConfig config;
        config.shotPeriod = 7.0;
        const SimulatorConfig before = config;
        EXPECT_EQ(c.parse(c.text, config), c.ok) << c.text;
        if (!c.ok) {
            EXPECT_EQ(config.shotPeriod, before.shotPeriod) << c.text;
        }
    }
    SimulatorConfig config;
    ASSERT_TRUE(ParseShots("at:4,1.5", config));
    EXPECT_EQ(config.shotTimes, (std::vector<double>{1.5, 4.0}));
}

}  // namespace
}  // namespace velk
