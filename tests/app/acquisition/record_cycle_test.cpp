#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <span>

#include "acquisition/instrument/simulated_seismograph.h"
#include "app/acquisition/acquisition_commands.h"
#include "app/workspace.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/seg2.h"
#include "platform/byte_io.h"
#include "platform/clock.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/profile.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

// Passes every call on to the simulator and notes the commands the device writes into FLAG.
class CommandLog : public InstrumentLibrary {
public:
    explicit CommandLog(InstrumentLibrary& inner) : inner_(inner) {}
    uint16_t Init_DSP() override { return inner_.Init_DSP(); }
    void Clear_ADC_Buf(const int8_t* c, InstrumentRow* b, const PARM* p) override { inner_.Clear_ADC_Buf(c, b, p); }
    void chk_meas_flg(FLAG* flag, const PARM* parm, const int8_t* gains, void* reserved, int32_t* monitor) override
    {
        if (flag->code == kCommandMonitor || flag->code == kCommandTriggerWait || flag->code == kCommandStop) {
            if (commands.empty() || commands.back() != flag->code || flag->code == kCommandStop) {
                commands.push_back(flag->code);
                at.push_back(now ? *now : 0);
            }
        }
        inner_.chk_meas_flg(flag, parm, gains, reserved, monitor);
    }
    void DSP_MEAS_trigger() override { inner_.DSP_MEAS_trigger(); }
    void read_meas_data(const PARM* p, const int8_t* c, InstrumentRow* b) override { inner_.read_meas_data(p, c, b); }
    uint16_t Read_Batt() override { return inner_.Read_Batt(); }
    void Timer_Count() override { inner_.Timer_Count(); }
    void SetSpreadHint(float s, const std::array<float, kInstrumentRows>& r) override { inner_.SetSpreadHint(s, r); }
    int PreTriggerSamples() const override { return inner_.PreTriggerSamples(); }

    std::vector<int> commands;
    std::vector<uint32_t> at;
    const uint32_t* now = nullptr;

private:
    InstrumentLibrary& inner_;
};

// The window's timers, run on a manual clock: the 5 ms ticker, the 50 ms timer and the start
// 200 ms after a run ended.
struct Rig {
    explicit Rig(const std::string& profileText)
        : profile(Profile::FromText("[General]\n" + profileText)), ws(profile, ui)
    {
        auto owned = std::make_unique<ManualClock>(1000);
        clock = owned.get();
        ws.UseClock(std::move(owned));
        sim = dynamic_cast<SimulatedSeismograph*>(ws.instrument.get());
        log.emplace(*ws.instrument);
        log->now = &tick;
        ws.acquisitionDevice.SetInstrument(&*log);
        ws.CreateAcquisitionManager().dataFolder = tmp.Path();
        ws.startup.acquisitionMode = 1;
        ws.InitForView();
        ws.acquisitionDevice.acquisitionScreen = 1;
        ws.acquisitionDevice.parm.stk_flg = 0;
        ws.acquisitionDevice.SaveAux = 1;
    }
    void Apply(const AcquisitionEffects& e)
    {
        if (e.startTicker) ticker = true;
        if (e.runEnded) ticker = false;
        if (e.startTimer) timer = true;
        if (e.stopTimer) timer = false;
        if (e.startLater) startAt = tick + 200;
        if (e.icon != 0) icons.push_back(e.icon);
        if (e.invalidate) columns.push_back(e.column);
        repaints += e.repaint ? 1 : 0;
    }
    // Runs the timers for `ms` milliseconds, or until `until` holds.
    void Run(int ms, const std::function<bool()>& until = {})
    {
        for (int t = 0; t < ms; t += 5) {
            clock->AdvanceMs(5);
            tick = clock->TickCountMs();
            if (ticker) Apply(AcquisitionMonitorTick(ws));
            if (timer && tick % 50 == 0) Apply(AcquisitionTimerStep(ws, ui));
            if (startAt && tick >= *startAt) {
                startAt.reset();
                Apply(CompletePendingStart(ws, ui));
            }
            if (until && until()) return;
        }
    }

    testing::TempFolder tmp;
    ScriptedUiHost ui;
    Profile profile;
    Workspace ws;
    ManualClock* clock = nullptr;
    SimulatedSeismograph* sim = nullptr;
    std::optional<CommandLog> log;
    uint32_t tick = 0;
    bool ticker = false;
    bool timer = false;
    std::optional<uint32_t> startAt;
    std::vector<int> icons;
    std::vector<LRect> columns;
    int repaints = 0;
};

constexpr const char* kQuietShots = "Simulator_NoiseLevel=0\nSimulator_Jitter=0\nSimulator_Shots=at:1\n"
                                    "Simulator_TimeScale=0\n";

TEST(RecordCycle, PreviewStacksTwoShotsAndSavesTheSum)
{
    Rig rig(kQuietShots);
    CAcquisitionDevice& device = rig.ws.acquisitionDevice;
    rig.Apply(OnTriggerArm(rig.ws, rig.ui));
    rig.Run(40);
    EXPECT_EQ(device.strip.banner, "Now setting for Trigger !");
    EXPECT_EQ(device.strip.prompt, "Ready for trigger:No(Cancel) Yes(Enter)");
    rig.Run(1500, [&] { return device.triggerReceived == 1; });
    EXPECT_EQ(device.strip.banner, "Trigger received");

    rig.ui.ExpectMessage("Stack ?", MsgButtons::OkCancel, MsgResult::Ok);
    rig.ui.ExpectMessage("Continue(Enter) or Save(Esc) ?", MsgButtons::OkCancel, MsgResult::Ok);
    rig.Run(100);
    ASSERT_TRUE(rig.ui.VerifyAndClear());
    EXPECT_EQ(device.stackCount, 1);
    const auto first = device.Stack().Row(5);
    const std::vector<float> one(first.begin(), first.begin() + 1024);
    EXPECT_EQ(device.armed, 0);
    rig.ui.ExpectMessage("Stack ?", MsgButtons::OkCancel, MsgResult::Ok);
    rig.ui.ExpectMessage("Continue(Enter) or Save(Esc) ?", MsgButtons::OkCancel, MsgResult::Cancel);
    rig.Run(2000, [&] { return device.NextID == 2; });
    ASSERT_TRUE(rig.ui.VerifyAndClear());

    ByteSource file = ByteSource::FromFile(rig.tmp.File("qkaa0001.sg2"));
    ASSERT_TRUE(file.Ok());
    LoadTarget target(0, 64, 16384, 16384);
    FormatContext ctx{rig.ui, kLanguageEnglish, NullLog()};
    ASSERT_EQ(ReadSeg2(file, target, 1, ctx), 25);
    const auto saved = target.RowIfAny(5);
    ASSERT_FALSE(one.empty());
    double peak = 0.0;
    for (size_t j = 0; j < one.size(); ++j) {
        EXPECT_FLOAT_EQ(saved[j], 2.0f * one[j]) << j;
        peak = std::max(peak, std::abs(static_cast<double>(one[j])));
    }
    EXPECT_GT(peak, 0.0);
    EXPECT_EQ(target.HeaderAt(5).sourceHundredths, -50);
    EXPECT_EQ(target.HeaderAt(5).receiverHundredths, 5 * static_cast<int>(std::lround(rig.ws.geometry.receiverInterval * 100)));
    EXPECT_EQ(rig.ws.fileGroup.entryCount, 1);
    EXPECT_EQ(rig.log->commands, (std::vector<int>{10, 9, 10, 9}));
    EXPECT_EQ(device.stackCount, 0);
    EXPECT_EQ(rig.icons.back(), 128);
}

}  // namespace
}  // namespace velk

namespace velk {
namespace {

TEST(RecordCycle, ArmWhileMonitoringStopsWaitsAndArms)
{
    Rig rig("Simulator_Shots=manual\n");
    CAcquisitionDevice& device = rig.ws.acquisitionDevice;
    rig.Apply(OnNoiseMonitorStart(rig.ws, rig.ui));
    rig.Run(100);
    EXPECT_EQ(device.strip.prompt, "Press F3 to trigger         ");
    rig.Apply(OnTriggerArm(rig.ws, rig.ui));
    rig.Apply(OnTriggerArm(rig.ws, rig.ui));  // a second Arm before the start does nothing
    rig.Run(400);
    ASSERT_EQ(rig.log->commands, (std::vector<int>{1, 9, 10}));
    EXPECT_GE(rig.log->at[2] - rig.log->at[1], 200u);  // the start, then the next tick's command
    EXPECT_LE(rig.log->at[2] - rig.log->at[1], 205u);
    EXPECT_EQ(device.armed, 1);
    EXPECT_EQ(device.strip.expectedCode, kStatusTriggerWait);
    EXPECT_EQ(rig.sim->GetState(), SimulatedSeismograph::State::TriggerWait);
    // The icon blinks every 10 ticks while armed, and every way out restores it.
    rig.Run(600);
    EXPECT_EQ(rig.icons, (std::vector<int>{128, 238}));
    rig.Run(500);
    EXPECT_EQ(rig.icons, (std::vector<int>{128, 238, 128}));
    rig.Apply(StopAcquisition(rig.ws, rig.ui, true));
    rig.Run(20);
    EXPECT_EQ(rig.icons.back(), 128);
    EXPECT_EQ(rig.log->commands.back(), kCommandStop);
    EXPECT_FALSE(rig.ticker);
    EXPECT_FALSE(rig.timer);
}

TEST(RecordCycle, TheMonitorStripAdvancesOneColumnPerSetAndWraps)
{
    Rig rig("Simulator_Shots=manual\n");
    CAcquisitionDevice& device = rig.ws.acquisitionDevice;
    device.parm.disp_ch = 3;  // 12 channels: 13 rows, the last one AUX
    device.hold_bf[2] = 1;
    rig.Apply(OnNoiseMonitorStart(rig.ws, rig.ui));
    rig.repaints = 0;
    rig.Run(80 * 50 + 20);
    ASSERT_EQ(device.strip.rows.size(), 13u);
    EXPECT_EQ(device.strip.step, 80);
    EXPECT_EQ(device.strip.rows[0].size(), 81u);
    EXPECT_EQ(rig.repaints, 1);  // the panel at the start, then only columns until the wrap
    ASSERT_EQ(rig.columns.size(), 80u);
    const LRect c = rig.columns.back();
    EXPECT_LE(c.right - c.left, 22);
    EXPECT_EQ(device.strip.rows[2].back().y, -(device.strip.y0 + 4 * 34));  // a held row draws 0
    rig.Run(50);
    EXPECT_EQ(device.strip.step, 0);
    EXPECT_EQ(device.strip.rows[0].size(), 1u);
    EXPECT_EQ(rig.repaints, 2);
}

TEST(RecordCycle, AutoStacksEveryShotAndEscSavesTheStack)
{
    Rig rig("Simulator_Shots=periodic:1\nSimulator_TimeScale=0\nSimulator_NoiseLevel=0.05\n");
    CAcquisitionDevice& device = rig.ws.acquisitionDevice;
    device.parm.stk_flg = 2;
    device.SaveAux = 0;
    device.sourcePosition = 3.0f;
    rig.Apply(OnTriggerArm(rig.ws, rig.ui));
    rig.Run(30000, [&] { return device.stackCount == 4; });
    ASSERT_EQ(device.stackCount, 4);
    EXPECT_EQ(device.armed, 1);
    EXPECT_TRUE(rig.ticker);
    rig.ui.ExpectMessage("Save to HDD?", MsgButtons::OkCancel, MsgResult::Ok);
    const AcquisitionEffects e = StopAcquisition(rig.ws, rig.ui, true);
    ASSERT_TRUE(rig.ui.VerifyAndClear());
    EXPECT_EQ(e.recentFile, rig.tmp.File("qkaa0001.sg2"));
    ByteSource file = ByteSource::FromFile(e.recentFile);
    LoadTarget target(0, 64, 16384, 16384);
    FormatContext ctx{rig.ui, kLanguageEnglish, NullLog()};
    ASSERT_EQ(ReadSeg2(file, target, 1, ctx), 24);
    EXPECT_EQ(target.HeaderAt(0).sourceHundredths, 300);
    EXPECT_EQ(device.stackCount, 0);
}

}  // namespace
}  // namespace velk

namespace velk {
namespace {

// The program closes while a record question is open, in every stack mode that asks one: the
// shot in hand is saved (in Pre-view and Manual re-arm it joins the stack, as OK would).
TEST(RecordCycle, AClosingQuestionSavesTheShotInHand)
{
    for (const auto& [mode, question] : {std::pair{0, "Stack ?"}, {1, "Save to HDD?"}, {3, "Stack ?"}}) {
        Rig rig(kQuietShots);
        CAcquisitionDevice& device = rig.ws.acquisitionDevice;
        device.parm.stk_flg = mode;
        rig.ui.CloseAt(question);
        rig.Apply(OnTriggerArm(rig.ws, rig.ui));
        rig.Run(1500, [&] { return device.NextID == 2; });
        EXPECT_EQ(rig.ui.Messages().at(0), question);
        ByteSource file = ByteSource::FromFile(rig.tmp.File("qkaa0001.sg2"));
        ASSERT_TRUE(file.Ok()) << mode;
        LoadTarget target(0, 64, 16384, 16384);
        FormatContext ctx{rig.ui, kLanguageEnglish, NullLog()};
        EXPECT_EQ(ReadSeg2(file, target, 1, ctx), 25) << mode;
        EXPECT_EQ(device.stackCount, 0) << mode;
    }
}

TEST(RecordCycle, TheQuestionsOfNoAndPreview)
{
    Rig rig(kQuietShots);
    CAcquisitionDevice& device = rig.ws.acquisitionDevice;
    auto shoot = [&] {
        rig.Apply(OnTriggerArm(rig.ws, rig.ui));
        rig.Run(1500, [&] { return device.armed == 0 && device.runActive == 0 && !rig.startAt; });
    };
    // "No": Cancel brings back the record shown before; OK saves and advances NextID.
    device.parm.stk_flg = 1;
    rig.ui.ExpectMessage("Save to HDD?", MsgButtons::OkCancel, MsgResult::Cancel);
    shoot();
    EXPECT_EQ(rig.ws.store.TraceCount(), 0);
    EXPECT_EQ(device.NextID, 1);
    rig.ui.ExpectMessage("Save to HDD?", MsgButtons::OkCancel, MsgResult::Ok);
    shoot();
    EXPECT_EQ(device.NextID, 2);
    EXPECT_EQ(rig.ws.store.TraceCount(), 25);
    // Pre-view: a first record declined stays shown (the empty stack is not copied over it).
    device.parm.stk_flg = 0;
    rig.ui.ExpectMessage("Stack ?", MsgButtons::OkCancel, MsgResult::Cancel);
    rig.ui.ExpectMessage("Continue(Enter) or Save(Esc) ?", MsgButtons::OkCancel, MsgResult::Cancel);
    shoot();
    ASSERT_TRUE(rig.ui.VerifyAndClear());
    EXPECT_EQ(device.NextID, 3);
    ASSERT_EQ(rig.ws.store.TraceCount(), 25);
    const auto shown = rig.ws.store.current.rows.Row(3);
    EXPECT_TRUE(std::any_of(shown.begin(), shown.begin() + 1024, [](float v) { return v != 0.0f; }));
}

}  // namespace
}  // namespace velk

namespace velk {
namespace {

// The first 24 traces, 1024 samples each.
using Rows = std::vector<std::vector<float>>;
Rows Take(const std::function<std::span<const float>(int)>& row)
{
    Rows rows;
    for (int t = 0; t < 24; ++t) rows.emplace_back(row(t).begin(), row(t).begin() + 1024);
    return rows;
}
Rows StackRows(const CAcquisitionDevice& d) { return Take([&](int t) { return d.Stack().Row(t); }); }

TEST(RecordCycle, JitteredShotsAreAlignedBeforeStacking)
{
    Rig rig("Simulator_NoiseLevel=0\nSimulator_Jitter=3\nSimulator_Shots=periodic:1\nSimulator_TimeScale=0\n");
    CAcquisitionDevice& device = rig.ws.acquisitionDevice;
    device.parm.stk_flg = 2;
    rig.Apply(OnTriggerArm(rig.ws, rig.ui));
    std::vector<Rows> stacks;
    for (int n : {1, 2}) {
        rig.Run(10000, [&] { return device.stackCount == n; });
        stacks.push_back(StackRows(device));
    }
    auto peak = [](const std::vector<float>& r) {
        const auto [lo, hi] = std::minmax_element(r.begin(), r.end());
        return std::max(*hi, -*lo);
    };
    for (int t = 0; t < 24; ++t) {
        ASSERT_GT(peak(stacks[0][t]), 0.0f) << t;
        EXPECT_GE(peak(stacks[1][t]), 1.9f * peak(stacks[0][t])) << t;
    }
}

// Auto with noise: 16 shots stack without a question, Esc saves the stack, and its
// signal-to-noise ratio against the noise-free shot is four times that of one shot.
TEST(RecordCycle, SixteenAutoShotsImproveTheSignalToNoiseFourfold)
{
    // The first record and the stack of `records`, as Esc's "Save to HDD?" wrote it.
    auto run = [](const std::string& noise, int records, Rows& first, Rows& saved) {
        Rig rig("Simulator_Shots=periodic:1\nSimulator_TimeScale=0\n" + noise);
        CAcquisitionDevice& device = rig.ws.acquisitionDevice;
        device.parm.stk_flg = 2;
        device.SaveAux = 0;
        device.sourcePosition = 2.0f;
        rig.Apply(OnTriggerArm(rig.ws, rig.ui));
        rig.Run(10000, [&] { return device.stackCount == 1; });
        first = StackRows(device);
        rig.Run(60000, [&] { return device.stackCount == records; });
        EXPECT_EQ(device.StatusPanes(126)[4].text, FormatC("# of stack=%d", records));
        rig.ui.ExpectMessage("Save to HDD?", MsgButtons::OkCancel, MsgResult::Ok);
        ByteSource file = ByteSource::FromFile(StopAcquisition(rig.ws, rig.ui, true).recentFile);
        LoadTarget target(0, 64, 16384, 16384);
        FormatContext ctx{rig.ui, kLanguageEnglish, NullLog()};
        ASSERT_EQ(ReadSeg2(file, target, 1, ctx), 24);
        EXPECT_EQ(target.HeaderAt(3).sourceHundredths, 200);
        saved = Take([&](int t) { return target.RowIfAny(t); });
    };
    Rows clean, unused, one, stack;
    run("Simulator_NoiseLevel=0\n", 1, clean, unused);
    run("Simulator_NoiseLevel=0.2\n", 16, one, stack);
    auto snr = [&](const Rows& record, int records) {
        double signal = 0.0, noise = 0.0;
        for (int t = 0; t < 24; ++t) {
            for (int j = 0; j < 1024; ++j) {
                const double s = records * static_cast<double>(clean[t][j]);
                signal += s * s;
                noise += (record[t][j] - s) * (record[t][j] - s);
            }
        }
        return std::sqrt(signal / noise);
    };
    const double gain = snr(stack, 16) / snr(one, 1);
    EXPECT_GT(gain, 0.8 * 4.0);
    EXPECT_LT(gain, 1.2 * 4.0);
}

}  // namespace
}  // namespace velk
