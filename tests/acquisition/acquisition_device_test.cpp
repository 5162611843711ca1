#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <tuple>
#include <filesystem>

#include "acquisition/acquisition_device.h"
#include "acquisition/acquisition_manager.h"
#include "acquisition/instrument/simulated_seismograph.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/seg2.h"
#include "platform/byte_io.h"
#include "platform/clock.h"
#include "platform/numtext.h"
#include "platform/profile.h"
#include "survey/file_group.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

SimulatorConfig Instant()
{
    SimulatorConfig c;
    c.shots = ShotSchedule::Manual;
    c.timeScale = 0.0;
    return c;
}

// The device on a simulated instrument, with a store-sized record to build into.
struct Rig {
    explicit Rig(SimulatorConfig config = Instant()) : sim(std::move(config), clock)
    {
        device.SetInstrument(&sim);
        EXPECT_EQ(device.StartDsp(ui, kLanguageEnglish), 1);
        device.parm.trig_level = 0;
    }
    // One shot as the record cycle takes it: arm, trigger, read, stop.
    void Record()
    {
        const auto gains = device.GainsInCableOrder();
        device.flag.code = kCommandTriggerWait;
        sim.chk_meas_flg(&device.flag, &device.parm, gains.data(), nullptr, device.monitorValues.data());
        sim.DSP_MEAS_trigger();
        sim.chk_meas_flg(&device.flag, &device.parm, gains.data(), nullptr, device.monitorValues.data());
        ASSERT_EQ(device.flag.complete, 1);
        device.ReadRecord(clock.LocalNow());
        device.flag.code = kCommandStop;
        sim.chk_meas_flg(&device.flag, &device.parm, gains.data(), nullptr, nullptr);
    }
    int Build() { return device.BuildRecord(rows, headers, 1.0f); }
    std::vector<float> Row(int i, int n = 1024) const
    {
        const auto r = rows.Row(i);
        return {r.begin(), r.begin() + n};
    }

    ManualClock clock;
    SimulatedSeismograph sim;
    CAcquisitionDevice device;
    ScriptedUiHost ui;
    Matrix2D<float> rows{0, 63, 0, 16399};
    std::vector<CTraceHeader> headers = std::vector<CTraceHeader>(64);
};

// ---------------------------------------------------------------------------------------------
// Settings

TEST(AcquisitionDeviceSettings, FreshProfileAndRoundTripInOrder)
{
    CAcquisitionDevice fresh;
    int line = -1;
    fresh.LoadSettings(Profile::FromText(""), line);
    EXPECT_EQ(line, -1);
    EXPECT_EQ(std::tie(fresh.NextID, fresh.TriggerMode, fresh.SaveAux, fresh.iDirectionSecond), std::make_tuple(1, 11, 1, 1));
    EXPECT_EQ(fresh.parm.disp_ch, 4);
    EXPECT_EQ(fresh.parm.trig_level, 0);  // TriggerMode 11: the program triggers
    EXPECT_EQ(fresh.gain_bf[23], 1);

    // Every key with a value other than its default, in the order they are kept: a load and a
    // save give the same text back.
    std::string text = "[General]\nLineName=7\nNextID=42\nsetPRM.disp_ch=3\nsetPRM.m_size=2\nsetPRM.rate=5\n"
                       "setPRM.pre_trig=0\nsetPRM.stk_flg=2\nTriggerMode=5\n";
    for (int i = 0; i < 24; ++i) text += FormatC("gain_bf_%d=%d\nhold_bf_%d=%d\n", i, i % 4, i, i % 2);
    text += "iDirectionFirst=1\niDirectionSecond=0\nSignalTriggerLevel=12.500000\nbAutomaticShift=0\n"
            "iReferenceChannel=3\nSaveAux=0\n";
    CAcquisitionDevice d;
    d.LoadSettings(Profile::FromText(text), line);
    EXPECT_EQ(line, 7);
    EXPECT_EQ(d.parm.trig_level, 5);
    Profile saved = Profile::FromText("");
    d.SaveSettings(saved, line);
    EXPECT_EQ(saved.Text(), text);

    Profile negative = Profile::FromText("");
    d.SaveSettings(negative, -3);
    EXPECT_EQ(negative.GetInt("General", "LineName"), 0);
}

TEST(AcquisitionDeviceSettings, LoadClampsWhatTheBuffersCannotHold)
{
    const Profile p = Profile::FromText(
        "[General]\nsetPRM.disp_ch=5\nsetPRM.rate=-1\nTriggerMode=12\ngain_bf_0=7\nhold_bf_2=5\nNextID=12000\n"
        "SignalTriggerLevel=150\niReferenceChannel=30\niDirectionFirst=2\n");
    CAcquisitionDevice d;
    int line = 0;
    d.LoadSettings(p, line);
    EXPECT_EQ(d.parm.disp_ch, 4);
    EXPECT_EQ(d.parm.rate, 0);
    EXPECT_EQ(d.TriggerMode, 11);
    EXPECT_EQ(d.parm.trig_level, 0);
    EXPECT_EQ(d.gain_bf[0], 3);
    EXPECT_EQ(d.hold_bf[2], 1);
    EXPECT_EQ(d.NextID, 9999);
    EXPECT_EQ(d.SignalTriggerLevel, 100.0f);
    EXPECT_EQ(d.iReferenceChannel, 24);
    EXPECT_EQ(d.iDirectionFirst, 1);
    EXPECT_EQ(SignalTriggerThreshold(150.0f), 32768.0);
    EXPECT_NEAR(SignalTriggerThreshold(10.0f), 3276.8, 1e-3);
    EXPECT_EQ(SignalTriggerThreshold(0.0f), 0.0);
    EXPECT_EQ(MonitorWordValue(0xFFFF), -1);
    EXPECT_EQ(MonitorLevel(0x8000, 0), -32768.0 / 16);
}

// ---------------------------------------------------------------------------------------------
// The DSP start

TEST(AcquisitionDevice, DspNotReadyMakesNoMeasurementCall)
{
    const std::pair<int, const char*> cases[] = {{1, "Cannot load Kernel to DSP."}, {2, "Cannot load DSP program!"}};
    for (const auto& [code, text] : cases) {
        ManualClock clock;
        SimulatorConfig c;
        c.initCode = code;
        SimulatedSeismograph sim(c, clock);
        CAcquisitionDevice d;
        d.SetInstrument(&sim);
        ScriptedUiHost ui;
        ui.ExpectMessage(text);
        EXPECT_EQ(d.StartDsp(ui, kLanguageEnglish), 0);
        EXPECT_FALSE(d.DspReady());
        ui.ExpectMessage(text);
        EXPECT_FALSE(d.EnsureDspReady(ui, kLanguageEnglish));
        EXPECT_EQ(sim.CallLog(), (std::vector<std::string>{"Init_DSP", "Init_DSP"}));
        sim.Config().initCode = 0;
        EXPECT_TRUE(d.EnsureDspReady(ui, kLanguageEnglish));
        EXPECT_TRUE(d.EnsureDspReady(ui, kLanguageEnglish));
        EXPECT_EQ(sim.CallLog(), (std::vector<std::string>{"Init_DSP", "Init_DSP", "Init_DSP", "Clear_ADC_Buf"}));
        EXPECT_TRUE(ui.VerifyAndClear());
    }
}

// ---------------------------------------------------------------------------------------------
// Records

TEST(AcquisitionDevice, TestPatternThroughCablesAndGains)
{
    SimulatorConfig c = Instant();
    c.testPattern = true;
    Rig rig(c);
    struct Case {
        int first, second, trace;
        float value;
    };
    const Case cases[] = {{1, 0, 0, 12.0f}, {1, 0, 12, 13.0f}, {1, 1, 23, 13.0f}, {0, 0, 0, 1.0f}, {0, 1, 12, 24.0f}};
    for (const Case& k : cases) {
        rig.device.iDirectionFirst = k.first;
        rig.device.iDirectionSecond = k.second;
        rig.Record();
        ASSERT_EQ(rig.Build(), 25);
        EXPECT_EQ(rig.Row(k.trace), std::vector<float>(1024, k.value)) << k.first << k.second << k.trace;
    }
    EXPECT_EQ(rig.Row(24), std::vector<float>(1024, 25.0f));
    EXPECT_EQ(rig.headers[24].receiverHundredths, 2400);
    rig.device.iDirectionFirst = rig.device.iDirectionSecond = 0;
    for (int8_t gain = 0; gain < 4; ++gain) {
        rig.device.gain_bf.fill(gain);
        rig.Record();
        rig.Build();
        for (int t = 0; t < 25; ++t) EXPECT_EQ(rig.rows[t][1023], t + 1.0f) << int(gain) << " " << t;
    }
}

TEST(AcquisitionDevice, BuildRecordPositionsAuxAndHeldChannels)
{
    Rig rig;
    rig.device.firstReceiverPosition = -1.0f;
    rig.device.sourcePosition = 0.7f;
    rig.Record();
    ASSERT_EQ(rig.Build(), 25);
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(rig.headers[static_cast<size_t>(i)].receiverHundredths, -100 + 100 * i);
        EXPECT_EQ(rig.headers[static_cast<size_t>(i)].sourceHundredths, 70);
        EXPECT_EQ(rig.headers[static_cast<size_t>(i)].samples, 1024);
        EXPECT_EQ(rig.headers[static_cast<size_t>(i)].intervalUs, 100.0f);
    }
    rig.device.SaveAux = 0;
    EXPECT_EQ(rig.Build(), 24);

    rig.device.hold_bf[5] = 1;
    for (const int count : {0, 1}) {
        rig.device.stackCount = count;
        std::fill_n(rig.rows.Row(5).begin(), 1024, 7.0f);
        rig.Build();
        EXPECT_EQ(rig.Row(5), std::vector<float>(1024, count == 0 ? 0.0f : 7.0f)) << count;
    }
}

TEST(AcquisitionDevice, StackIsASumAndHeldChannelsKeepTheirShot)
{
    SimulatorConfig pattern = Instant();
    pattern.testPattern = true;
    Rig twice(pattern);
    twice.Record();
    const int n = twice.Build();
    twice.device.AccumulateStack(n, twice.rows, twice.headers);
    twice.device.AccumulateStack(n, twice.rows, twice.headers);
    EXPECT_EQ(twice.device.stackCount, 2);
    for (int t = 0; t < n; ++t) EXPECT_EQ(twice.device.Stack()[t][1023], 2.0f * twice.rows[t][1023]) << t;

    // Three components recorded in turn, each shot's channels released and the shown traces
    // replaced by the stack after each shot, as the record cycle does.
    Rig rig;
    const std::vector<std::vector<int>> released{{3, 5, 12}, {1, 9}, {2, 4, 11}};
    std::map<int, std::vector<float>> own;
    for (const auto& channels : released) {
        rig.device.HoldAllChannels();
        for (int ch : channels) rig.device.hold_bf[static_cast<size_t>(ch - 1)] = 0;
        rig.Record();
        const int count = rig.Build();
        for (int ch : channels) own[ch - 1] = rig.Row(ch - 1);
        rig.device.AccumulateStack(count, rig.rows, rig.headers);
        for (int t = 0; t < count; ++t) std::copy_n(rig.device.Stack().Row(t).begin(), 1024, rig.rows.Row(t).begin());
    }
    for (int t = 0; t < 24; ++t) {
        const auto s = rig.device.Stack().Row(t);
        const std::vector<float> got(s.begin(), s.begin() + 1024);
        EXPECT_EQ(got, own.count(t) ? own[t] : std::vector<float>(1024, 0.0f)) << t;
    }
    rig.device.ResetStack();
    EXPECT_EQ(rig.device.stackCount, 0);
    EXPECT_EQ(rig.device.Stack()[2][10], 0.0f);
}

double Rms(const std::vector<double>& v)
{
    double s = 0.0;
    for (double x : v) s += x * x;
    return std::sqrt(s / static_cast<double>(v.size()));
}

TEST(AcquisitionDevice, StackingImprovesSignalToNoiseBySqrtN)
{
    SimulatorConfig clean = Instant();
    clean.noiseLevel = 0.0;
    Rig reference(clean);
    reference.Record();
    const int n = reference.Build();
    auto residual = [&](const CAcquisitionDevice& d, const Matrix2D<float>& m, int records, bool stack) {
        std::vector<double> signal, noise;
        for (int t = 0; t < 24; ++t) {
            for (int j = 0; j < 1024; ++j) {
                const double s = records * static_cast<double>(reference.rows[t][j]);
                signal.push_back(s);
                noise.push_back((stack ? d.Stack()[t][j] : m[t][j]) - s);
            }
        }
        return Rms(signal) / Rms(noise);
    };
    SimulatorConfig noisy = Instant();
    noisy.noiseLevel = 0.2;
    for (const int records : {4, 16}) {
        Rig rig(noisy);
        double single = 0.0;
        for (int k = 0; k < records; ++k) {
            rig.Record();
            ASSERT_EQ(rig.Build(), n);
            if (k == 0) single = residual(rig.device, rig.rows, 1, false);
            rig.device.AccumulateStack(n, rig.rows, rig.headers);
        }
        const double gain = residual(rig.device, rig.rows, records, true) / single;
        EXPECT_GT(gain, 0.8 * std::sqrt(records)) << records;
        EXPECT_LT(gain, 1.2 * std::sqrt(records)) << records;
    }
}

// ---------------------------------------------------------------------------------------------
// Saving

class LoggingMode : public CAcquisitionMode {
public:
    LoggingMode(int type, const CAcquisitionManager& manager, std::vector<std::string>& log)
        : CAcquisitionMode(type), manager_(manager), log_(log)
    {
    }
    int Advance(int flag) override
    {
        log_.push_back(FormatC("advance %d after line file %d", flag, manager_.lineFileSet));
        return 1;
    }

private:
    const CAcquisitionManager& manager_;
    std::vector<std::string>& log_;
};

struct SaveRig : Rig {
    explicit SaveRig(const std::string& folder)
    {
        manager.dataFolder = folder;
        manager.surveyType = 4;
        manager.SetMode(std::make_unique<LoggingMode>(4, manager, log));
        manager.Mode()->stepState = 1;  // the line is set up
        device.firstReceiverPosition = -1.0f;
        device.sourcePosition = 0.7f;
        Record();
        count = Build();
        device.AccumulateStack(count, rows, headers);
    }
    int Save()
    {
        const CAcquisitionDevice::SaveTarget target{group, manager, profile, ui, kLanguageEnglish, 1.0f};
        return device.SaveRecord(rows, headers, count, target, saved);
    }
    CFileGroup group;
    CAcquisitionManager manager;
    Profile profile = Profile::FromText("");
    std::vector<std::string> log;
    std::string saved;
    int count = 0;
};

TEST(AcquisitionDeviceSave, WritesTheNextRecordOfTheLine)
{
    testing::TempFolder tmp;
    const std::string folder = tmp.File("Data");  // made by the save
    SaveRig rig(folder);
    ASSERT_EQ(rig.Save(), 1);
    const std::string path = folder + "/qkaa0001.sg2";
    EXPECT_EQ(rig.saved, path);

    ByteSource file = ByteSource::FromFile(path);
    ASSERT_TRUE(file.Ok());
    LoadTarget target(0, 64, 16384, 16384);
    FormatContext ctx{rig.ui, kLanguageEnglish, NullLog()};
    ASSERT_EQ(ReadSeg2(file, target, 1, ctx), 25);
    const std::vector<uint8_t> bytes = testing::ReadFileBytes(path);
    for (int k = 0; k < 25; ++k) {
        uint32_t pointer = 0;
        std::memcpy(&pointer, &bytes[32 + 4 * static_cast<size_t>(k)], 4);
        EXPECT_EQ(bytes[pointer + 12], 4) << k;  // the data format code of the trace
        EXPECT_EQ(target.HeaderAt(k).receiverHundredths, -100 + 100 * k);
        EXPECT_EQ(target.HeaderAt(k).sourceHundredths, 70);
        const auto read = target.RowIfAny(k);
        EXPECT_TRUE(std::equal(read.begin(), read.begin() + 1024, rig.rows.Row(k).begin())) << k;
    }
    ASSERT_EQ(rig.group.entryCount, 1);
    const FileListEntry& e = rig.group.entries[0];
    EXPECT_EQ(std::tie(e.fileName, e.id, e.shotDistance, e.firstReceiver, e.receiverInterval),
              std::make_tuple(std::string("qkaa0001.sg2"), 1, 0.7f, -1.0f, 1.0f));
    EXPECT_EQ(e.numberOfAuxiliary, 1);  // the AUX trace is no receiver of the line
    EXPECT_EQ(rig.log, std::vector<std::string>{"advance 1 after line file 1"});
    EXPECT_EQ(rig.manager.lineFilePath, folder + "/qkaa.xml");
    EXPECT_EQ(rig.device.NextID, 2);
    EXPECT_EQ(rig.profile.GetInt("General", "NextID"), 2);
    EXPECT_EQ(rig.device.stackCount, 0);

    rig.device.NextID = 9999;
    ASSERT_EQ(rig.Save(), 1);
    EXPECT_TRUE(std::filesystem::exists(folder + "/qkaa9999.sg2"));
    EXPECT_EQ(rig.device.NextID, 0);
    EXPECT_EQ(rig.profile.GetInt("General", "NextID"), 0);

    // A full list: the record is saved, and the list says it could not take it.
    rig.group.entryCount = CFileGroup::kMaxFiles;
    rig.ui.ExpectMessage("The file list is full: at most 1000 files can be listed.");
    ASSERT_EQ(rig.Save(), 1);
    EXPECT_TRUE(std::filesystem::exists(folder + "/qkaa0000.sg2"));
    EXPECT_EQ(rig.group.entryCount, CFileGroup::kMaxFiles);

    // Before the line's set-up a record is kept outside it: not listed, no next shot.
    rig.group.entryCount = 1;
    rig.manager.Mode()->stepState = 0;
    rig.device.NextID = 5;
    rig.ui.ExpectMessage(folder + "/qkaa0005.sg2 was saved outside the survey line: press Enter to set up the line.");
    ASSERT_EQ(rig.Save(), 1);
    EXPECT_TRUE(std::filesystem::exists(folder + "/qkaa0005.sg2"));
    EXPECT_EQ(rig.group.entryCount, 1);
    EXPECT_EQ(rig.log.size(), 3u);  // only the three saves on the line advanced it
    EXPECT_EQ(rig.device.NextID, 6);
}

size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

TEST(AcquisitionDeviceSave, RecordSaysWhenAndHowItWasMade)
{
    testing::TempFolder tmp;
    SaveRig rig(tmp.Path());
    rig.device.ResetStack();  // a stack of three shots, the first at 14:05:09 on 9 December 2026
    rig.clock.SetLocal({2026, 12, 9, 14, 5, 9, 0});
    for (int shot = 0; shot < 3; ++shot) {
        rig.Record();
        rig.clock.AdvanceMs(65000);
        rig.device.AccumulateStack(rig.Build(), rig.rows, rig.headers);
    }
    ASSERT_EQ(rig.Save(), 1);
    const std::string other = tmp.File("other.sg2");  // a save by any other road
    ASSERT_TRUE(WriteSeg2File(other, rig.rows, rig.headers, rig.count, 4, 1.0f));
    const std::string saved = testing::ReadFileText(rig.saved), plain = testing::ReadFileText(other);
    for (const char* key : {"ACQUISITION_DATE 09/12/2026", "ACQUISITION_TIME 14:05:09", "STACK 3"})
        EXPECT_EQ(Count(saved, std::string(key) + '\0'), 25u) << key;
    EXPECT_EQ(Count(plain, std::string("ACQUISITION_DATE 01/01/2001") + '\0'), 25u);
    EXPECT_EQ(Count(plain, "STACK"), 0u);
    EXPECT_EQ(saved.size(), plain.size());  // the string blocks kept their size
}

TEST(AcquisitionDeviceSave, RefusedSaveChangesNothing)
{
    testing::TempFolder tmp;
    struct Case {
        std::string folder;
        const char* message;  // %s: the path
        MsgResult answer;
    };
    testing::WriteFileText(tmp.File("plain"), "a file, not a folder");
    std::filesystem::create_directories(tmp.File("kept"));
    testing::WriteFileText(tmp.File("kept/qkaa0001.sg2"), "old bytes");
    std::filesystem::create_directories(tmp.File("blocked/qkaa0001.sg2"));  // a folder where the file goes
    const Case cases[] = {
        {tmp.File("kept"), "%s already exists. Overwrite it?", MsgResult::No},
        {tmp.File("plain/Data"), "Cannot save %s", MsgResult::Ok},
        {tmp.File("blocked"), "Cannot save %s", MsgResult::Ok},
    };
    for (const Case& c : cases) {
        SaveRig rig(c.folder);
        const std::string path = c.folder + "/qkaa0001.sg2";
        if (c.folder == tmp.File("blocked")) rig.ui.ExpectMessage(path + " already exists. Overwrite it?", MsgResult::Yes);
        rig.ui.ExpectMessage(FormatC(c.message, path.c_str()), c.answer);
        EXPECT_EQ(rig.Save(), 0) << c.folder;
        EXPECT_TRUE(rig.ui.VerifyAndClear()) << c.folder;
        EXPECT_EQ(rig.device.NextID, 1);
        EXPECT_EQ(rig.device.stackCount, 1);
        EXPECT_EQ(rig.group.entryCount, 0);
        EXPECT_TRUE(rig.log.empty());
        EXPECT_EQ(rig.manager.lineFileSet, 0);
        EXPECT_FALSE(rig.profile.GetInt("General", "NextID").has_value());
        EXPECT_TRUE(rig.saved.empty());
    }
    EXPECT_EQ(testing::ReadFileText(tmp.File("kept/qkaa0001.sg2")), "old bytes");
}

}  // namespace
}  // namespace velk

namespace velk {
namespace {

TEST(AcquisitionDeviceScreen, StatusPanes)
{
    CAcquisitionDevice device;
    device.parm.stk_flg = 1;
    device.TriggerMode = 11;
    std::vector<std::string> texts;
    for (const AcquisitionPane& p : device.StatusPanes(126)) texts.push_back(p.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"", "Next ID=1(-0.5m)", "SR=100 micro-sec", "DL=1024 word",
                                               "# of stack=0", "Stack mode=No", "Trigger level=Signal",
                                               "Batt.=12.6V"}));
    const struct {
        int triggerMode;
        const char* text;
    } levels[] = {{0, "Trigger level=Off"}, {3, "Trigger level=300mv"}};
    for (const auto& c : levels) {
        device.TriggerMode = c.triggerMode;
        EXPECT_EQ(device.StatusPanes(126)[6].text, c.text);
    }
    device.parm.stk_flg = 3;
    EXPECT_EQ(device.StatusPanes(126)[5], (AcquisitionPane{5, 120, "Stack mode=Manual re-arm"}));
}

}  // namespace
}  // namespace velk

namespace velk {
namespace {

TEST(AcquisitionDeviceScreen, KeyBars)
{
    using D = CAcquisitionDevice;
    EXPECT_EQ(D::KeyBarText(kLanguageEnglish, true, "prompt"),
              "F1:Noise F2:Settings F3:Arm F4:Disk F5:Disp. Alt:Menu Enter:Proc.");
    EXPECT_EQ(D::KeyBarText(kLanguageEnglish, false, "prompt"), "prompt");
    EXPECT_EQ(D::KeyBarText(kLanguageJapanese, false, "prompt"), "F5:画面 Alt:メニュー Enter:実行");
    EXPECT_EQ(D::MenuKeyBarText(kLanguageEnglish), "F1:Acquisition menu F2:Geometry F3:Undo F4:Exit F5:Exit Windows");
    EXPECT_EQ(D::AmplitudeText(0.125f), "Amp.=12.5");
}

}  // namespace
}  // namespace velk
