#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <iostream>

#include "acquisition/acquisition_modes.h"
#include "app/acquisition/acquisition_commands.h"
#include "app/acquisition/acquisition_menu.h"
#include "app/acquisition/acquisition_menu_commands.h"
#include "app/acquisition/mode_services.h"
#include "app/command_table.h"
#include "app/formats/document.h"
#include "app/start_dialogs.h"
#include "app/view/edit_controller.h"
#include "app/workspace.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/seg2.h"
#include "platform/byte_io.h"
#include "platform/clock.h"
#include "platform/numtext.h"
#include "platform/profile.h"
#include "platform/recent_files.h"
#include "survey/survey_line_xml.h"
#include "tools/test_support.h"
#include "traveltime/traveltime_set.h"

namespace velk {
namespace {

// The field crew: every question Yes or OK (a previewed record is saved, not stacked on), every
// dialog OK with what it shows, the survey type of the next "QKW menu" from a list. Keeps the
// messages.
class CrewUiHost : public NullUiHost {
public:
    std::deque<int> surveyTypes;
    std::vector<std::string> messages;

protected:
    MsgResult DoMessage(const MessageRequest& r) override
    {
        messages.push_back(r.text);
        if (r.text == "Continue(Enter) or Save(Esc) ?") return MsgResult::Cancel;
        return r.buttons == MsgButtons::YesNo || r.buttons == MsgButtons::YesNoCancel ? MsgResult::Yes : MsgResult::Ok;
    }
    bool DoRunDialog(DialogRequest& r) override
    {
        if (r.DialogClass() == CAcquisitionMenuDlg::kClass && !surveyTypes.empty()) {
            r.Find("Survey type")->SetInt(surveyTypes.front());
            surveyTypes.pop_front();
        }
        return r.Check().empty();
    }
};

// The simulator's model (acquisition/instrument/simulator_config.h defaults): 400 m/s over
// 1600 m/s at 4 m, so the direct wave arrives first up to 10.3 m.
constexpr double kV1 = 400.0;

struct Field {
    Field()
    {
        setenv("VELKARINE_HOME", tmp.Path().c_str(), 1);
        std::filesystem::current_path(tmp.Path());  // the analyses write their fixed-name files here
        auto owned = std::make_unique<ManualClock>(1000);
        clock = owned.get();
        clock->SetLocal({2026, 12, 9, 9, 30, 0, 0});
        ws.UseClock(std::move(owned));
        ws.startup.acquisitionMode = 1;
        ws.startup.instrumentMenu = 1;
        ws.acquisitionStartupValue = 1;  // the line files on
        ws.InitForView();
        ws.acquisitionDevice.acquisitionScreen = 1;
        RegisterFileFormats(doc.Formats());
        ws.ModeServicesOf().SetContextSource(
            [this]() -> std::optional<CommandContext> { return CommandContext{ws, ui, doc, recent, nullptr, nullptr}; });
        ws.CreateAcquisitionManager().dataFolder = data;
        std::filesystem::create_directories(data);
    }
    ~Field()
    {
        ws.ReleaseSharedBlocks();
        unsetenv("VELKARINE_HOME");
        std::filesystem::current_path(kept);
    }
    CAcquisitionManager& Manager() { return *ws.acquisitionManager; }
    void NewLine(int type)
    {
        ui.surveyTypes.push_back(type);
        CommandContext ctx{ws, ui, doc, recent, nullptr, nullptr};
        RunCommand(table, cmd::kQkwMenu, ctx);
    }
    void Key(int key) { ws.editController.OnKeyDown(ws, ui, key); }
    // F3, the shot, "Save to HDD?" OK: the window's timers on the manual clock until the record
    // is saved.
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

// A refraction line of five shots with the pre-trigger on and the AUX trace saved, then two
// more lines from the QKW menu, all through the acquisition screen's keys and commands.
TEST(FieldLines, RefractionPicksAtTrueTimesAndEachLineKeepsItsFiles)
{
    Field f;
    f.NewLine(4);
    const std::string id = f.Manager().LineId();
    f.Key(kKeyEnter);  // the presets (pre-trigger on, 2048 samples at 200 us), the spread, 5 shots
    CAcquisitionMode& refraction = *f.Manager().Mode();
    ASSERT_EQ(refraction.stepState, 1);
    ASSERT_EQ(f.ws.acquisitionDevice.parm.pre_trig, 0);
    ASSERT_EQ(f.ws.acquisitionDevice.SaveAux, 1);
    for (int shot = 0; shot < 5; ++shot) f.Shot();
    EXPECT_EQ(refraction.stepState, 2);
    f.Key(kKeyEnter);  // the geometry and waveforms of the list
    f.Key(kKeyEnter);  // group automatic picking, the line's traveltime file
    ASSERT_EQ(refraction.stepState, 4);

    // Every trace of every record starts 204 samples (40.8 ms) before the trigger.
    std::map<std::string, std::vector<uint8_t>> firstLine;
    for (int n = 1; n <= 5; ++n) {
        const std::string name = FormatC("qk%s%04d.sg2", id.c_str(), n);
        ByteSource file = ByteSource::FromFile(f.data + "/" + name);
        LoadTarget target(0, 64, 16384, 16384);
        FormatContext fc{f.ui, kLanguageEnglish, NullLog()};
        ASSERT_EQ(ReadSeg2(file, target, 1, fc), 25) << name;
        for (int k = 0; k < 25; ++k) EXPECT_FLOAT_EQ(target.HeaderAt(k).delayUs, -40800.0f) << name << " " << k;
        firstLine[name] = testing::ReadFileBytes(f.data + "/" + name);
    }
    for (const char* ext : {".xml", ".pvs"}) firstLine["qk" + id + ext] = testing::ReadFileBytes(f.data + "/qk" + id + ext);

    // The picks against the simulator's direct wave; none at the AUX trace's 24 m.
    const CTraveltimeSet& set = f.ws.traveltimeSet;
    std::vector<float> picked;
    double worst = 0.0;
    int near = 0;
    for (int s = 0; s < set.shotCount; ++s) {
        if (set.pickCount[s] > 0) picked.push_back(set.sourcePosition[s]);
        EXPECT_LE(set.pickCount[s], 24);
        for (int p = 0; p < set.pickCount[s]; ++p) {
            EXPECT_LT(set.X(s, p), 23.5f) << "shot " << set.sourcePosition[s];
            const double offset = std::fabs(set.X(s, p) - set.sourcePosition[s]);
            if (offset > 10.0) continue;
            worst = std::max(worst, std::fabs(set.T(s, p) - 1000.0 * offset / kV1));
            ++near;
        }
    }
    std::cout << "[ figures  ] " << near << " picks at offsets up to 10 m: largest difference from the direct wave "
              << worst << " ms\n";
    EXPECT_EQ(picked, (std::vector<float>{-11.0f, 0.5f, 11.5f, 22.5f, 34.0f}));
    EXPECT_GE(near, 30);
    EXPECT_LE(worst, 2.0);

    // The line's list names the AUX trace as auxiliary.
    SurveyLine line;
    CFileGroup listed;
    MamGeometrySlot slot;
    ASSERT_EQ(ReadLineXml(line, listed, slot, f.data + "/qk" + id + ".xml", 0), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(listed.entries[static_cast<size_t>(i)].numberOfAuxiliary, 1);

    // Two more lines in a row: each its own ID, no question about an earlier line's files, and
    // the first line's files as they were.
    f.NewLine(7);
    const std::string second = f.Manager().LineId();
    f.Key(kKeyEnter);
    f.Shot();
    f.NewLine(4);
    const std::string third = f.Manager().LineId();
    std::cout << "[ figures  ] lines " << id << ", " << second << ", " << third << "\n";
    EXPECT_NE(second, id);
    EXPECT_NE(third, second);
    EXPECT_NE(third, id);
    EXPECT_TRUE(std::filesystem::exists(f.data + "/qk" + second + "0006.sg2"));
    EXPECT_TRUE(std::filesystem::exists(f.data + "/qk" + second + ".xml"));
    for (const auto& [name, bytes] : firstLine) EXPECT_EQ(testing::ReadFileBytes(f.data + "/" + name), bytes) << name;
    for (const std::string& m : f.ui.messages) EXPECT_EQ(m.find("already exist"), std::string::npos) << m;
}

}  // namespace
}  // namespace velk
