#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>

#include <unistd.h>

#include "app/acquisition/acquisition_commands.h"
#include "app/acquisition/acquisition_menu_commands.h"
#include "app/acquisition/mode_services.h"
#include "app/command_table.h"
#include "app/formats/file_commands.h"
#include "app/formats/document.h"
#include "acquisition/start_dialogs.h"
#include "app/surfacewave/phase_velocity_commands.h"
#include "app/view/edit_controller.h"
#include "app/workspace.h"
#include "formats/format_support.h"
#include "formats/seg2.h"
#include "platform/byte_io.h"
#include "platform/clock.h"
#include "platform/shared_block.h"
#include "platform/numtext.h"
#include "platform/profile.h"
#include "platform/recent_files.h"
#include "survey/survey_line_xml.h"
#include "app/simulated_line.h"
#include "tools/fake_launcher.h"
#include "tools/test_support.h"
#include "traveltime/publish_traveltime_set.h"
#include "traveltime/traveltime_set.h"
#include "traveltime/traveltime_text.h"

namespace velk {
namespace {

// The field crew: Yes or OK to everything but "Continue" (a previewed record is saved), each
// dialog as it shows, the survey type of the next "QKW menu" set beforehand.
class CrewUiHost : public NullUiHost {
public:
    int surveyType = 4;
    std::vector<std::string> messages;

protected:
    MsgResult DoMessage(const MessageRequest& r) override
    {
        messages.push_back(r.text);
        if (r.text == "Continue(Enter) or Save(Esc) ?") return MsgResult::Cancel;
        return r.buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
    }
    bool DoRunDialog(DialogRequest& r) override
    {
        if (r.DialogClass() == CAcquisitionMenuDlg::kClass) r.Find("Survey type")->SetInt(surveyType);
        return r.Check().empty();
    }
};

// Lines recorded on the simulated seismograph (400 m/s over 1600 m/s at 4 m: the direct wave
// comes first up to 10.3 m) through the acquisition screen's keys and the "QKW menu" command.
struct Field {
    Field()
    {
        setenv("VELKARINE_HOME", tmp.Path().c_str(), 1);
        std::filesystem::current_path(tmp.Path());  // the analyses write their fixed-name files here
        auto owned = std::make_unique<ManualClock>(1000);
        clock = owned.get();
        ws.UseClock(std::move(owned));
        ws.startup.acquisitionMode = ws.startup.instrumentMenu = ws.acquisitionStartupValue = 1;
        ws.InitForView();
        ws.acquisitionDevice.acquisitionScreen = 1;
        RegisterFileFormats(doc.Formats());
        ws.ModeServicesOf().SetContextSource([this] { return std::optional(Context()); });
        ws.CreateAcquisitionManager().dataFolder = data;
        std::filesystem::create_directories(data);
    }
    ~Field()
    {
        ws.ReleaseSharedBlocks();
        unsetenv("VELKARINE_HOME");
        std::filesystem::current_path(kept);
    }
    CommandContext Context() { return CommandContext{ws, ui, doc, recent, nullptr, nullptr}; }
    std::string NewLine(int type)
    {
        ui.surveyType = type;
        CommandContext ctx = Context();
        RunCommand(table, cmd::kQkwMenu, ctx);
        return ws.acquisitionManager->LineId();
    }
    void Key(int key) { ws.editController.OnKeyDown(ws, ui, key); }
    // F3, the shot and its record saved, on the window's timers.
    void Shot()
    {
        const int id = ws.acquisitionDevice.NextID;
        Key(kKeyF3);
        for (int t = 0; t < 5000 && ws.acquisitionDevice.NextID == id; t += 5) {
            clock->AdvanceMs(5);
            AcquisitionMonitorTick(ws);
            if (clock->TickCountMs() % 50 == 0) AcquisitionTimerStep(ws, ui);
            if (ws.acquisitionDevice.pendingStart != 0 && ws.acquisitionDevice.runActive == 0) CompletePendingStart(ws, ui);
        }
        ASSERT_EQ(ws.acquisitionDevice.NextID, id + 1);
    }
    std::string File(const std::string& name) const { return data + "/" + name; }

    const std::filesystem::path kept = std::filesystem::current_path();
    testing::TempFolder tmp;
    std::string data = tmp.File("Data");
    CrewUiHost ui;
    Profile profile = Profile::FromText("[General]\nLineName=0\nSimulator_Jitter=0\nSimulator_Shots=periodic:1\n"
                                        "Simulator_TimeScale=0\n");
    Workspace ws{profile, ui};
    CVelkarineDoc doc{ws};
    RecentFileList recent;
    ManualClock* clock = nullptr;
    const CommandTable table = BuildCommandTable();
};

TEST(FieldLines, RefractionPicksAtTrueTimesAndEachLineKeepsItsFiles)
{
    Field f;
    const std::string first = f.NewLine(4);
    f.Key(kKeyEnter);  // the presets (pre-trigger on, 2048 samples at 200 us, AUX saved), 24 receivers, 5 shots
    ASSERT_EQ(f.ws.acquisitionDevice.parm.pre_trig, 0);
    for (int shot = 0; shot < 5; ++shot) f.Shot();
    f.Key(kKeyEnter);  // the list's geometry and waveforms
    f.Key(kKeyEnter);  // group automatic picking into the line's traveltime file
    ASSERT_EQ(f.ws.acquisitionManager->Mode()->stepState, 4);

    // Every trace starts 204 samples (40.8 ms) before the trigger.
    std::map<std::string, std::vector<uint8_t>> kept;
    for (int n = 1; n <= 5; ++n) {
        const std::string name = FormatC("qk%s%04d.sg2", first.c_str(), n);
        ByteSource file = ByteSource::FromFile(f.File(name));
        LoadTarget target(0, 64, 16384, 16384);
        FormatContext fc{f.ui, 0, NullLog()};
        ASSERT_EQ(ReadSeg2(file, target, 1, fc), 25) << name;
        for (int k = 0; k < 25; ++k) EXPECT_FLOAT_EQ(target.HeaderAt(k).delayUs, -40800.0f) << name << " " << k;
        kept[name] = testing::ReadFileBytes(f.File(name));
    }
    for (const char* ext : {".xml", ".pvs"}) kept["qk" + first + ext] = testing::ReadFileBytes(f.File("qk" + first + ext));

    // The picks of the five shots against the direct wave; none at the AUX trace's 24 m.
    const CTraveltimeSet& set = f.ws.traveltimeSet;
    std::vector<float> shots;
    double worst = 0.0;
    int near = 0;
    for (int s = 0; s < set.shotCount; ++s) {
        if (set.pickCount[s] > 0) shots.push_back(set.sourcePosition[s]);
        for (int p = 0; p < set.pickCount[s]; ++p) {
            EXPECT_LT(set.X(s, p), 23.5f);
            const double offset = std::fabs(set.X(s, p) - set.sourcePosition[s]);
            if (offset <= 10.0) worst = std::max(worst, std::fabs(set.T(s, p) - offset / 0.4)), ++near;
        }
    }
    std::cout << "[ figures  ] " << near << " picks up to 10 m off the direct wave by at most " << worst << " ms\n";
    EXPECT_EQ(shots, (std::vector<float>{-11.0f, 0.5f, 11.5f, 22.5f, 34.0f}));
    EXPECT_GE(near, 30);
    EXPECT_LE(worst, 2.0);

    // The line's result file, read as the program reads it, holds the same first arrivals.
    const std::string result = f.File("qk" + first + ".pvs");
    EXPECT_EQ(TraveltimeFileSetOf(result), TraveltimeTextSet::FirstArrivals);
    auto owned = std::make_unique<CTraveltimeSet>();
    CTraveltimeSet& read = *owned;
    TraveltimeTextOptions options;
    options.keepEmptyShots = true;
    ASSERT_EQ(ParseTraveltimeText(read, testing::ReadFileText(result), options).end, TextReadEnd::Complete);
    ASSERT_EQ(read.shotCount, set.shotCount);
    for (int s = 0; s < set.shotCount; ++s) {
        EXPECT_EQ(read.sourcePosition[s], set.sourcePosition[s]) << s;
        ASSERT_EQ(read.pickCount[s], set.pickCount[s]) << s;
        for (int p = 0; p < set.pickCount[s]; ++p) EXPECT_NEAR(read.T(s, p), set.T(s, p), 1e-3) << s << " " << p;
    }
    SurveyLine line;
    CFileGroup listed;
    MamGeometrySlot slot;
    ASSERT_EQ(ReadLineXml(line, listed, slot, f.File("qk" + first + ".xml"), 0), 5);
    EXPECT_EQ(listed.entries[4].numberOfAuxiliary, 1);

    // Two more lines in a row (the profile's LineName is never brought back): their own IDs,
    // no question about an earlier line's files, the first line's files as they were.
    const std::string second = f.NewLine(7);
    f.Key(kKeyEnter);
    f.Shot();
    const std::string third = f.NewLine(4);
    std::cout << "[ figures  ] lines " << first << ", " << second << ", " << third << "\n";
    EXPECT_TRUE(first != second && second != third && third != first);
    EXPECT_TRUE(std::filesystem::exists(f.File("qk" + second + "0006.sg2")));
    for (const auto& [name, bytes] : kept) EXPECT_EQ(testing::ReadFileBytes(f.File(name)), bytes) << name;
    for (const std::string& m : f.ui.messages) EXPECT_EQ(m.find("already exist"), std::string::npos) << m;
}


// The values of one key's strings in a SEG-2 file, in the order of the traces ("DELAY" alone,
// not as the end of "*DELAY").
std::vector<std::string> StringValues(const std::vector<uint8_t>& bytes, const std::string& key)
{
    std::vector<std::string> values;
    const std::string text(bytes.begin(), bytes.end());
    for (size_t at = text.find(key + " "); at != std::string::npos; at = text.find(key + " ", at + 1)) {
        if (at == 0 || text[at - 1] != '\0') continue;  // an entry starts after its length's high byte
        values.push_back(text.substr(at + key.size() + 1, text.find('\0', at) - at - key.size() - 1));
    }
    return values;
}

TEST(FieldLines, MicrotremorArrayStaysAndItsRecordsTellTheirPreTriggerAndScale)
{
    Field f;
    const float officeScale = f.ws.store.Params().hscale;
    const std::string id = f.NewLine(5);
    f.Key(kKeyEnter);  // the presets: 12 channels, 16384 samples at 2 ms, pre-trigger on
    ASSERT_EQ(f.ws.acquisitionDevice.parm.pre_trig, 0);
    for (int shot = 0; shot < 3; ++shot) f.Shot();

    // The same receivers in every record and in the list; the standard DELAY beside *DELAY.
    std::vector<int32_t> first;
    for (int n = 1; n <= 3; ++n) {
        const std::string name = FormatC("qk%s%04d.sg2", id.c_str(), n);
        ByteSource file = ByteSource::FromFile(f.File(name));
        LoadTarget target(0, 64, 16384, 16384);
        FormatContext fc{f.ui, 0, NullLog()};
        const int traces = ReadSeg2(file, target, 1, fc);
        ASSERT_EQ(traces, 13) << name;  // 12 channels and AUX
        std::vector<int32_t> receivers;
        for (int k = 0; k < traces; ++k) receivers.push_back(target.HeaderAt(k).receiverHundredths);
        if (n == 1) first = receivers;
        EXPECT_EQ(receivers, first) << name;
        EXPECT_LT(target.HeaderAt(0).delayUs, 0.0f) << name;
        const std::vector<uint8_t> bytes = testing::ReadFileBytes(f.File(name));
        const std::vector<std::string> delays = StringValues(bytes, "*DELAY");
        EXPECT_EQ(delays.size(), 13u) << name;
        EXPECT_EQ(StringValues(bytes, "DELAY"), delays) << name;
    }
    SurveyLine line;
    CFileGroup listed;
    MamGeometrySlot slot;
    ASSERT_EQ(ReadLineXml(line, listed, slot, f.File("qk" + id + ".xml"), 0), 3);
    for (int n = 0; n < 3; ++n) EXPECT_EQ(listed.entries[static_cast<size_t>(n)].firstReceiver, first[0] * 0.01f);

    // The record shown is drawn at the instrument's time scale; a file opened after it at the
    // scale it has outside acquisition.
    EXPECT_FLOAT_EQ(f.ws.store.Params().hscale, 0.85f * 2000000.0f / (2000.0f * 16384.0f));
    testing::SimulatedLine shots;
    const std::string other = f.tmp.File("other.sg2");
    ASSERT_TRUE(shots.WriteShot(other, 0.0f, 1));
    CommandContext ctx = f.Context();
    ASSERT_TRUE(OpenDocumentFile(ctx, other));
    EXPECT_EQ(f.ws.store.Params().hscale, officeScale);
}

// "Show phase velocity curves (All curves)" in a guided mode hands the dispersion program the
// mode's spread length in the block's first parameter slot.
TEST(FieldLines, AllCurvesCarryTheModesSpreadLength)
{
    Field f;
    f.NewLine(4);
    f.Key(kKeyEnter);  // 24 receivers
    f.ws.launcher = std::make_unique<FakeLauncher>();
    f.ws.traveltimeSet.shotCount = 1;
    SetSharedBlockPrefix("velk-test-" + std::to_string(::getpid()) + "-spread-");
    ASSERT_EQ(ShowAllCurvesInQuessil(f.ws, f.ui, "-Velkarine"), 1);
    float slot0 = 0.0f;
    std::memcpy(&slot0, f.ws.traveltimeSet.BlockView() + rostrel_block::kParameterSlots, 4);
    EXPECT_EQ(slot0, f.ws.acquisitionManager->Mode()->spreadLength);
    EXPECT_GT(slot0, 4.0f);  // not the survey type
    EXPECT_EQ(f.ws.ReleaseSharedBlocks(), "");
    SetSharedBlockPrefix("");
}

}  // namespace
}  // namespace velk
