// Stepping through the member files of a refraction line with the commands a user runs: a member
// file shown after the line's gathers starts from its own state, a damaged member is passed
// over, and Save As never writes a type that has no writer under that type's name.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "app/formats/document.h"
#include "app/formats/file_commands.h"
#include "app/survey/automatic_processing.h"
#include "app/survey/file_list_commands.h"
#include "app/survey/group_commands.h"
#include "app/view/view_commands.h"
#include "app/workspace.h"
#include "formats/format_support.h"
#include "platform/profile.h"
#include "platform/recent_files.h"
#include "app/answering_host.h"
#include "app/simulated_line.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using testing::AnsweringHost;
using testing::SimulatedLine;
using testing::TempFolder;

// Save As gives the name the test chose.
class NamingHost : public AnsweringHost {
public:
    std::string saveName;

protected:
    std::optional<std::string> DoSaveFile(const FileRequest& r) override
    {
        return saveName.empty() ? AnsweringHost::DoSaveFile(r) : std::optional<std::string>(saveName);
    }
};

constexpr float kSources[] = {-2.5f, 12.5f, 27.5f};

// Three shots of a line in a folder; `cut` names a member whose file ends inside its samples.
class LineMembers : public ::testing::Test {
protected:
    void Open(int cut = -1)
    {
        SimulatedLine line;
        line.samples = 400;
        std::filesystem::create_directories(folder.File("shots"));
        for (int k = 0; k < 3; ++k) {
            const std::string path = Shot(k);
            ASSERT_TRUE(line.WriteShot(path, kSources[k], static_cast<uint64_t>(k + 1)));
            if (k == cut) std::filesystem::resize_file(path, std::filesystem::file_size(path) - 500);
            ui.files.push_back(path);
        }
        ui.saveFolder = folder.Path();
        ws.startup.language = -1;
        ws.InitForView(folder.Path());
        RegisterFileFormats(doc.Formats());
        Run(cmd::kMakeFileList);
    }
    std::string Shot(int k) const { return folder.File("shots/shot_" + std::to_string(k) + ".sg2"); }
    int Run(int id)
    {
        CommandContext ctx{ws, ui, doc, recent, nullptr, nullptr};
        return RunCommand(table, id, ctx);
    }
    bool Checked(int id) const { return table.IsChecked(id, ws, recent); }
    float Source() const { return static_cast<float>(ws.store.current.headers[0].sourceHundredths) * 0.01f; }
    int Selected() const
    {
        const auto& f = ws.store.Params().selectionFlags;
        return static_cast<int>(std::count(f.begin(), f.end(), 1));
    }
    // The messages shown that name `path`.
    int Naming(const std::string& path) const
    {
        return static_cast<int>(std::count_if(ui.messages.begin(), ui.messages.end(),
                                              [&](const std::string& m) { return m.find(path) != std::string::npos; }));
    }

    TempFolder folder;
    CommandTable table = BuildCommandTable();
    NamingHost ui;
    Profile profile = Profile::FromText("[General]\nMAXTRACES=64\n");
    Workspace ws{profile, ui};
    CVelkarineDoc doc{ws};
    RecentFileList recent;
};

TEST_F(LineMembers, AMemberFileShownAfterTheSideGathersStartsFromItsOwnState)
{
    Open();
    ASSERT_EQ(Run(cmd::kSetUpGeometry), 1);
    ASSERT_EQ(Source(), kSources[0]);
    Run(cmd::kSamplesShownFirst + 1);  // 100 samples
    for (int step : {cmd::kShowNextFile, cmd::kShowPreviousFile}) {
        SCOPED_TRACE(step);
        Run(cmd::kShowRightSide);
        Run(cmd::kShowRightSide);
        ASSERT_TRUE(Checked(cmd::kCommonReceiverGather));
        ASSERT_GT(Selected(), 0);
        ASSERT_EQ(ws.store.Params().samplesShown, 400);
        ASSERT_EQ(Run(step), 1);
        EXPECT_EQ(ws.fileGroup.gatherKind, 0);
        EXPECT_FALSE(Checked(cmd::kCommonReceiverGather));
        EXPECT_EQ(Selected(), 0);
        EXPECT_EQ(ws.store.Params().samplesShown, 100);
        EXPECT_EQ(doc.Title(), std::filesystem::path(Shot(ws.fileGroup.currentIndex)).filename().string());
    }
    EXPECT_EQ(Source(), kSources[0]);
    // Between member files the window is the whole record, as on every load.
    Run(cmd::kShowNextFile);
    Run(cmd::kSamplesShownFirst + 1);
    Run(cmd::kShowNextFile);
    EXPECT_EQ(ws.store.Params().samplesShown, 400);
}

TEST_F(LineMembers, ADamagedMemberIsPassedOverAndNamedOnce)
{
    Open(1);
    EXPECT_EQ(Source(), kSources[0]);
    ui.messages.clear();
    ASSERT_EQ(Run(cmd::kShowNextFile), 1);
    EXPECT_EQ(Source(), kSources[2]);
    EXPECT_EQ(ws.fileGroup.currentIndex, 2);
    EXPECT_EQ(doc.Title(), "shot_2.sg2");
    EXPECT_EQ(Naming(Shot(1)), 1);
    ASSERT_EQ(Run(cmd::kShowPreviousFile), 1);
    EXPECT_EQ(Source(), kSources[0]);
    EXPECT_EQ(Naming(Shot(1)), 2);
}

TEST_F(LineMembers, ADamagedFirstMemberLeavesTheLineBrowsable)
{
    Open(0);
    // The list opens on the first readable shot; group picking ends on it with its picks.
    EXPECT_EQ(ws.fileGroup.currentIndex, 1);
    EXPECT_EQ(Source(), kSources[1]);
    ASSERT_EQ(Run(cmd::kSetUpGeometry), 1);
    ASSERT_EQ(Run(cmd::kGroupAutoPickFirstArrivals), 1);
    ASSERT_EQ(ws.store.TraceCount(), 24);
    EXPECT_EQ(Source(), kSources[1]);
    EXPECT_GT(ws.store.Params().pickTimes[5], 0.0f);
    ASSERT_EQ(Run(cmd::kShowNextFile), 1);
    EXPECT_EQ(Source(), kSources[2]);
    ui.messages.clear();
    ASSERT_EQ(Run(cmd::kShowPreviousFile), 1);
    ASSERT_EQ(Run(cmd::kShowPreviousFile), 1);
    EXPECT_EQ(Source(), kSources[1]);
    EXPECT_EQ(Naming(Shot(0)), 1);
}

TEST_F(LineMembers, SaveAsATypeWithNoWriterWritesNothing)
{
    Open();
    for (const char* name : {"r1.segy", "r1.SGY", "r1.dzt", "r1.ew"}) {
        SCOPED_TRACE(name);
        ui.saveName = folder.File(name);
        ui.messages.clear();
        Run(cmd::kFileSaveAs);
        EXPECT_EQ(ui.messages, std::vector<std::string>{kCannotSaveType});
        EXPECT_FALSE(std::filesystem::exists(ui.saveName));
        EXPECT_EQ(doc.Path(), Shot(0));
    }
    // A SEG-2 name is written, and reads back.
    ui.saveName = folder.File("r1.sg2");
    Run(cmd::kFileSaveAs);
    ASSERT_TRUE(std::filesystem::exists(ui.saveName));
    EXPECT_EQ(doc.Path(), ui.saveName);
}

}  // namespace
}  // namespace velk
