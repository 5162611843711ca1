#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>

#include "acquisition/acquisition_modes.h"
#include "app/acquisition/acquisition_menu_commands.h"
#include "app/acquisition/acquisition_commands.h"
#include "app/acquisition/mode_services.h"
#include "app/formats/document.h"
#include "app/workspace.h"
#include "platform/clock.h"
#include "platform/numtext.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/recent_files.h"
#include "survey/file_group.h"
#include "survey/survey_line_xml.h"
#include "tools/test_support.h"

namespace velk {
namespace {

// The user who agrees: every question Yes or OK, every dialog OK as it opens, and the counts
// dialog answered from a list. Keeps the messages.
class AgreeingUiHost : public NullUiHost {
public:
    std::deque<int> counts;
    std::vector<std::string> messages;

protected:
    MsgResult DoMessage(const MessageRequest& r) override
    {
        messages.push_back(r.text);
        return r.buttons == MsgButtons::YesNo || r.buttons == MsgButtons::YesNoCancel ? MsgResult::Yes : MsgResult::Ok;
    }
    bool DoRunDialog(DialogRequest& r) override
    {
        if (r.DialogClass() == "CShotCountDlg" && !counts.empty()) {
            const int n = counts.front();
            counts.pop_front();
            r.SetFromText("Hundreds", std::to_string(n / 100));
            r.SetFromText("Tens", std::to_string(n / 10 % 10));
            r.SetFromText("Ones", std::to_string(n % 10));
        }
        return r.Check().empty();
    }
};

// The files of a folder and its subfolders, by their path under it, with their bytes.
std::map<std::string, std::vector<uint8_t>> FilesUnder(const std::string& folder)
{
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
        if (e.is_regular_file()) {
            files[std::filesystem::relative(e.path(), folder).string()] = testing::ReadFileBytes(e.path().string());
        }
    }
    return files;
}

// The names a line file lists.
std::vector<std::string> ListedNames(const std::string& path)
{
    SurveyLine line;
    CFileGroup group;
    MamGeometrySlot slot;
    std::vector<std::string> names;
    const int count = ReadLineXml(line, group, slot, path, 0);
    for (int i = 0; i < count; ++i) names.push_back(group.entries[static_cast<size_t>(i)].fileName);
    return names;
}

// Two 2D surface-wave lines of 6 receivers and 7 shots in a row on the simulated seismograph,
// each through the program's own analyses to its dispersion curves; the second line comes from
// the "QKW menu" command. Each line keeps its own records, list, result and CMP gathers.
TEST(AcquisitionLine, SurfaceWave2DLinesEachToTheirOwnDispersionCurves)
{
    testing::TempFolder tmp;
    setenv("VELKARINE_HOME", tmp.Path().c_str(), 1);
    // The analyses write their fixed-name files into the current folder.
    const std::filesystem::path kept = std::filesystem::current_path();
    std::filesystem::current_path(tmp.Path());
    AgreeingUiHost ui;
    Profile profile = Profile::FromText(
        "[General]\nSimulator_NoiseLevel=0.01\nSimulator_Jitter=0\nSimulator_Shots=periodic:1\n"
        "Simulator_TimeScale=0\n");
    {
        Workspace ws(profile, ui);
        auto owned = std::make_unique<ManualClock>(1000);
        ManualClock* clock = owned.get();
        ws.UseClock(std::move(owned));
        ws.startup.acquisitionMode = 1;
        ws.startup.instrumentMenu = 1;  // the records are found in the data folder
        ws.InitForView();
        ws.acquisitionDevice.acquisitionScreen = 1;
        CVelkarineDoc doc(ws);
        RegisterFileFormats(doc.Formats());
        RecentFileList recent;
        ws.ModeServicesOf().SetContextSource(
            [&]() -> std::optional<CommandContext> { return CommandContext{ws, ui, doc, recent, nullptr, nullptr}; });
        CAcquisitionManager& manager = ws.CreateAcquisitionManager();
        const std::string data = MapWindowsPath("c:\\Data");
        manager.dataFolder = data;
        std::filesystem::create_directories(data);
        manager.surveyType = 3;
        ASSERT_EQ(manager.CreateMode(), 1);

        std::map<std::string, std::vector<uint8_t>> firstLine;
        for (const std::string id : {"aa", "ab"}) {
            SCOPED_TRACE(id);
            if (id == "ab") OnAcquisitionMenu(ws, ui);  // the next line, of the same survey type
            ASSERT_EQ(manager.LineId(), id);
            CAcquisitionMode& mode = *manager.Mode();
            ui.counts = {6, 7};
            manager.StepMode();  // the presets, the interval and the counts
            ws.acquisitionDevice.parm.disp_ch = 2;  // 6 channels
            ASSERT_EQ(mode.stepState, 1);
            EXPECT_EQ(mode.targetCount, 7);
            const int firstId = ws.acquisitionDevice.NextID;
            for (int shot = firstId; shot < firstId + 7; ++shot) {
                manager.StepMode();
                OnTriggerArm(ws, ui);
                for (int t = 0; t < 5000 && ws.acquisitionDevice.NextID == shot; t += 5) {
                    clock->AdvanceMs(5);
                    AcquisitionMonitorTick(ws);
                    if (clock->TickCountMs() % 50 == 0) AcquisitionTimerStep(ws, ui);
                    if (ws.acquisitionDevice.pendingStart != 0 && ws.acquisitionDevice.runActive == 0) {
                        CompletePendingStart(ws, ui);
                    }
                }
                ASSERT_EQ(ws.acquisitionDevice.NextID, shot + 1);
            }
            EXPECT_EQ(mode.stepState, 2);
            ui.messages.clear();
            manager.StepMode();  // the geometry
            EXPECT_EQ(mode.stepState, 3);
            EXPECT_EQ(std::count_if(ui.messages.begin(), ui.messages.end(),
                                    [](const std::string& m) { return m.find("waveform trace data are read") != m.npos; }),
                      1);
            manager.StepMode();  // CMP gathers, curves, the line's result file
            EXPECT_EQ(mode.stepState, 5);
            const std::string pvs = manager.LineFilePath(".pvs");
            EXPECT_TRUE(std::filesystem::exists(pvs));
            EXPECT_EQ(ui.messages.back(), "Dispersion curves were saved into " + pvs + "!");
            EXPECT_EQ(manager.ResultNames().dataFile, "qk" + id + ".pvs");
            EXPECT_EQ(mode.GetGuideText(), "Source=7/7 finished");

            // The line file lists the line's records, and its gathers have a folder of their own.
            std::vector<std::string> records;
            for (int n = firstId; n < firstId + 7; ++n) records.push_back(FormatC("qk%s%04d.sg2", id.c_str(), n));
            EXPECT_EQ(ListedNames(manager.LineFilePath(".xml")), records);
            EXPECT_GT(ws.fileGroup.entryCount, 0);
            for (int i = 0; i < ws.fileGroup.entryCount; ++i) {
                EXPECT_EQ(ws.fileGroup.entries[static_cast<size_t>(i)].fileName.rfind("qk" + id + "_cmp/cmp_", 0), 0u);
            }
            if (id == "aa") firstLine = FilesUnder(data);
        }
        // Back to the analysis step of the second line: its gathers are analysed as they are,
        // not gathered again.
        const std::map<std::string, std::vector<uint8_t>> analysed = FilesUnder(data);
        manager.Mode()->stepState = 3;
        manager.StepMode();
        EXPECT_EQ(manager.Mode()->stepState, 5);
        for (const auto& [name, bytes] : FilesUnder(data)) {
            if (name.rfind("qkab_cmp/", 0) != 0) continue;
            ASSERT_TRUE(analysed.count(name)) << name;
            EXPECT_EQ(analysed.at(name), bytes) << name;
        }
        // Every file of the first line as it was: records, list, result and gathers.
        EXPECT_EQ(firstLine.count("qkaa.xml") + firstLine.count("qkaa.pvs") + firstLine.count("qkaa0007.sg2"), 3u);
        EXPECT_TRUE(firstLine.count("qkaa_cmp/cmp_000175.sg2"));
        const std::map<std::string, std::vector<uint8_t>> after = FilesUnder(data);
        for (const auto& [name, bytes] : firstLine) {
            ASSERT_TRUE(after.count(name)) << name;
            EXPECT_EQ(after.at(name), bytes) << name;
        }
        ws.ReleaseSharedBlocks();
    }
    unsetenv("VELKARINE_HOME");
    std::filesystem::current_path(kept);
}

}  // namespace
}  // namespace velk
