#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <fstream>
#include <memory>

#include "acquisition/acquisition_device.h"
#include "acquisition/acquisition_manager.h"
#include "platform/language.h"
#include "platform/profile.h"
#include "platform/shared_block.h"
#include "survey/file_group.h"
#include "survey/sibling_launch.h"
#include "survey/survey_services.h"
#include "tools/fake_launcher.h"
#include "traveltime/publish_traveltime_set.h"
#include "traveltime/traveltime_set.h"
#include "traveltime/traveltime_text.h"
#include "tools/fake_mode_services.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using velk::testing::TempFolder;

struct Line {
    TempFolder folder;
    ScriptedUiHost ui;
    CFileGroup group;
    FakeModeServices services;
    int lineFiles = 1;
    CAcquisitionManager m;

    Line()
    {
        m.dataFolder = folder.Path();
        ModeContext c;
        c.group = &group;
        c.ui = &ui;
        c.services = &services;
        c.language = kLanguageEnglish;
        c.lineFilesSwitch = &lineFiles;
        m.Attach(c);
    }
    void AddFiles(int n)
    {
        for (int i = 0; i < n; ++i) group.AddFile("qkaa000" + std::to_string(i) + ".sg2", float(i), 0.0f, 1.0f);
    }
    std::string Existing(const char* name)
    {
        std::ofstream(folder.File(name)) << "not a line document";
        return folder.File(name);
    }
};

std::string AppendQuestion(const std::string& path)
{
    return path + " is already existed. Append file to it? \n\n（If no, " + path + " will be overwritten.）";
}

TEST(AcquisitionManager, CreateModeMovesToTheNextLineAndWelcomes)
{
    Line l;
    l.m.surveyType = 4;
    EXPECT_EQ(l.m.CreateMode(), 1);
    EXPECT_EQ(l.m.lineIndex, 0);
    EXPECT_EQ(l.m.lineFilePath, l.folder.File("qkaa.xml"));
    EXPECT_EQ(l.m.lineFileSet, 1);
    EXPECT_EQ(l.m.Mode()->GetName(), "Refraction method");
    l.ui.ExpectMessage("Welcome to seismic refraction survey !");
    l.m.Mode()->Welcome();
    // Without a mode the line still moves on; an empty folder is the working folder.
    l.m.surveyType = 0;
    l.m.dataFolder.clear();
    EXPECT_EQ(l.m.CreateMode(), 0);
    EXPECT_EQ(l.m.lineIndex, 1);
    EXPECT_EQ(l.m.lineFilePath, (std::filesystem::current_path() / "qkab.xml").string());
}

TEST(AcquisitionManager, ExistingLineFileAnsweredNoOrUnreadable)
{
    Line l;
    l.AddFiles(2);
    const std::string path = l.Existing("qkab.xml");
    l.ui.ExpectMessage(AppendQuestion(path), MsgButtons::YesNo, MsgResult::No);
    EXPECT_EQ(l.m.CheckLineFile(path), 1);
    EXPECT_EQ(l.group.entryCount, 2);
    // Yes on a document that cannot be read: a message, and the group stays.
    l.ui.ExpectMessage(AppendQuestion(path), MsgButtons::YesNo, MsgResult::Yes);
    l.ui.ExpectMessage("Cannot read " + path);
    EXPECT_EQ(l.m.CheckLineFile(path), 1);
    EXPECT_EQ(l.group.entryCount, 2);
    EXPECT_EQ(l.m.CheckLineFile(l.folder.File("qkzz.xml")), 0);
}

TEST(AcquisitionManager, NewLinesTakeUnusedIdsAndAskBeforeAnEarlierLinesFile)
{
    Line l;
    CAcquisitionDevice device;
    Profile profile = Profile::FromText("[General]\nLineName=0\n");  // written before line "ad"
    ModeContext c = l.m.Context();
    c.device = &device;
    c.profile = &profile;
    l.m.Attach(c);
    l.m.surveyType = 4;
    l.m.lineIndex = 3;  // "ad" was recorded last
    ASSERT_EQ(l.m.CreateMode(), 1);
    EXPECT_EQ(l.m.LineId(), "ae");
    EXPECT_EQ(profile.GetInt("General", "LineName"), 4);
    // The IDs that files of the data folder carry are passed over.
    for (const char* name : {"qkaf0017.sg2", "qkag.pvs", "qkah.xml"}) l.Existing(name);
    l.Existing("qkai-notes.txt");
    l.m.surveyType = 7;
    ASSERT_EQ(l.m.CreateMode(), 1);
    EXPECT_EQ(l.m.LineId(), "ai");
    EXPECT_EQ(profile.GetInt("General", "LineName"), 8);

    // A traveltime file this line did not write is replaced only after Yes.
    const std::string pvs = l.Existing("qkai.pvs");
    l.ui.ExpectMessage(pvs + " already exists. Overwrite it?", MsgButtons::YesNo, MsgResult::No);
    EXPECT_EQ(l.m.WriteLineResultFile(TraveltimeTextSet::FirstArrivals), "");
    EXPECT_TRUE(l.services.calls.empty());
    l.ui.ExpectMessage(pvs + " already exists. Overwrite it?", MsgButtons::YesNo, MsgResult::Yes);
    EXPECT_EQ(l.m.WriteLineResultFile(TraveltimeTextSet::FirstArrivals), pvs);
    EXPECT_EQ(l.m.WriteLineResultFile(TraveltimeTextSet::FirstArrivals), pvs);  // its own file again: no question
    EXPECT_TRUE(l.ui.VerifyAndClear());
    EXPECT_EQ(l.services.calls.size(), 2u);
}

TEST(AcquisitionManager, ResultNamesKeptUntilANewLine)
{
    Line l;
    l.m.surveyType = 4;
    l.m.CreateMode();
    EXPECT_EQ(l.m.WriteLineResultFile(TraveltimeTextSet::FirstArrivals), l.folder.File("qkaa.pvs"));
    EXPECT_EQ(l.services.calls, std::vector<std::string>{"SaveRostrelFile " + l.folder.File("qkaa.pvs") + " first arrivals"});
    const LineResultNames kept{1, "qkaa.pvs", 0, "", 0, ""};
    EXPECT_EQ(l.m.ResultNames(), kept);
    l.m.UpdateLineFile();  // a later save
    EXPECT_EQ(l.m.ResultNames(), kept);
    l.m.NextLine();
    EXPECT_EQ(l.m.ResultNames(), LineResultNames{});
    // A traveltime file that cannot be written registers nothing.
    l.services.results["SaveRostrelFile"] = 0;
    EXPECT_EQ(l.m.WriteLineResultFile(TraveltimeTextSet::FirstArrivals), "");
    EXPECT_EQ(l.m.ResultNames(), LineResultNames{});
}

TEST(AcquisitionManager, ChangeLineIndexAndReopening)
{
    Line l;
    l.m.ChangeLineIndex(3);  // empty group: no question
    EXPECT_EQ(l.m.lineFilePath, l.folder.File("qkad.xml"));
    l.AddFiles(3);
    const struct {
        MsgResult answer;
        int count;
    } cases[] = {{MsgResult::No, 3}, {MsgResult::Yes, 0}};
    for (const auto& c : cases) {
        l.ui.ExpectMessage("Line ID was changed. Make new file list?", MsgButtons::YesNo, c.answer);
        l.m.ChangeLineIndex(27);
        EXPECT_EQ(l.group.entryCount, c.count);
        EXPECT_EQ(l.m.LineId(), "bb");
    }
    // Reopening asks about no other line, even when the next line's file exists.
    l.Existing("qkaf.xml");
    LineRecord record;
    record.surveyType = 4;
    record.lineId = 4;
    record.procedureStep = 2;
    record.names.hasDataFile = 1;
    record.names.dataFile = "qkae.pvs";
    // The line's result file goes into the set its declared kind says, whatever its name: an
    // older "qk<ID>.pvs" of first arrivals into the traveltime data, curves among the curves.
    auto owned = std::make_unique<CTraveltimeSet[]>(3);
    CTraveltimeSet& arrivals = owned[0];
    CTraveltimeSet& curves = owned[1];
    CTraveltimeSet& written = owned[2];
    ModeContext c = l.m.Context();
    c.traveltime = &arrivals;
    c.curves = &curves;
    l.m.Attach(c);
    written.shotCount = 1;
    written.pickCount[0] = 1;
    written.sourcePosition[0] = 2.5f;
    written.X(0, 0) = 4.0f;
    written.T(0, 0) = 7.0f;
    std::string text;
    WriteTraveltimeText(written, text, 0, 0);
    std::ofstream(l.folder.File("qkae.pvs")) << text;
    EXPECT_EQ(l.m.SelectMode(record), 4);
    EXPECT_EQ(arrivals.shotCount, 1);
    EXPECT_EQ(arrivals.sourcePosition[0], 2.5f);
    EXPECT_EQ(curves.shotCount, 0);
    EXPECT_EQ(l.m.lineIndex, 4);
    EXPECT_EQ(l.m.Mode()->GetStep(), 2);
    EXPECT_EQ(l.m.ResultNames(), record.names);
    EXPECT_EQ(l.m.GetType(), 4);
    written.kindWritten = kPhaseVelocityCurveKind;
    text.clear();
    WriteTraveltimeText(written, text, 0, 1);
    std::ofstream(l.folder.File("qkae.pvs")) << text;
    arrivals.shotCount = 0;
    EXPECT_EQ(l.m.SelectMode(record), 4);
    EXPECT_EQ(curves.shotCount, 1);
    EXPECT_EQ(arrivals.shotCount, 0);
    record.surveyType = 0;
    EXPECT_EQ(l.m.SelectMode(record), -1);
}

TEST(RefractionShots, PositionsAroundTheSpread)
{
    const std::vector<float> p = ComputeShotPositions(5, 24, 1.0f, 0.0f);
    const std::vector<float> expected{-11.0f, 0.5f, 11.5f, 22.5f, 34.0f};
    ASSERT_EQ(p.size(), expected.size());
    for (size_t i = 0; i < p.size(); ++i) EXPECT_FLOAT_EQ(p[i], expected[i]) << i;
    EXPECT_EQ(ShotPositionList(p), "1 : -11.00m\n2 : 0.50m\n3 : 11.50m\n4 : 22.50m\n5 : 34.00m\n");
    EXPECT_EQ(ComputeShotPositions(4, 12, 2.0f, 10.0f), (std::vector<float>{-10.0f, 11.0f, 31.0f, 52.0f}));
    EXPECT_TRUE(ComputeShotPositions(3, 24, 1.0f, 0.0f).empty());
    EXPECT_EQ(TooFewShotsMessage(kLanguageEnglish), "The number of shots must be 4 or more.");
}

TEST(AcquisitionManager, ExistingLineFileAnsweredYesTakesExactlyItsList)
{
    Line l;
    l.m.lineIndex = 1;
    l.AddFiles(3);
    const std::string path = l.folder.File("qkab.xml");
    ASSERT_EQ(l.m.WriteLineFile(path), 1);
    l.group.entryCount = 0;
    for (int i = 0; i < 5; ++i) l.group.AddFile("other" + std::to_string(i) + ".sg2", 0.0f, 0.0f, 1.0f);
    l.ui.ExpectMessage(AppendQuestion(path), MsgButtons::YesNo, MsgResult::Yes);
    EXPECT_EQ(l.m.CheckLineFile(path), 1);
    ASSERT_EQ(l.group.entryCount, 3);
    EXPECT_EQ(l.group.entries[2].fileName, "qkaa0002.sg2");
    EXPECT_EQ(l.group.AddFile("qkab0004.sg2", 3.0f, 0.0f, 1.0f), 4);
}

// The hand-offs to the sibling programs, with a fake launcher and blocks of this test only.
struct HandOff : ::testing::Test {
    void SetUp() override
    {
        SetSharedBlockPrefix("velk-test-" + std::to_string(::getpid()) + "-acq-");
        ModeContext c = l.m.Context();
        c.traveltime = set.get();
        c.programs = &paths;
        c.launcher = &launcher;
        l.m.Attach(c);
    }
    void TearDown() override
    {
        CloseRostrelData(*set);
        UnlinkSharedBlocks();
        SetSharedBlockPrefix("");
    }
    // A curve file of n curves of one point each.
    void Curves(int n, const std::string& name)
    {
        auto curves = std::make_unique<CTraveltimeSet>();
        curves->shotCount = n;
        for (int s = 0; s < n; ++s) {
            curves->pickCount[s] = 1;
            curves->sourcePosition[s] = static_cast<float>(s);
            curves->X(s, 0) = 10.0f;
            curves->T(s, 0) = 200.0f;
            curves->K(s, 0) = 1;
        }
        std::string text;
        WriteTraveltimeText(*curves, text, 0, 1);
        std::ofstream(l.folder.File(name)) << text;
    }
    Line l;
    std::unique_ptr<CTraveltimeSet> set = std::make_unique<CTraveltimeSet>();
    SiblingProgramPaths paths;
    FakeLauncher launcher;
};

TEST_F(HandOff, DispersionCurvesUpTo251)
{
    l.ui.ExpectMessage("No dispersion curve data !");
    EXPECT_EQ(l.m.SendDispersionCurves("-MASW2D", "none.pvs"), 0);
    Curves(252, "many.pvs");
    l.ui.ExpectMessage("The number of phase velocity curves is larger than 251 !");
    EXPECT_EQ(l.m.SendDispersionCurves("-MASW2D", "many.pvs"), 0);
    EXPECT_TRUE(launcher.starts.empty());
    Curves(251, "line.pvs");
    l.m.lineIndex = 3;
    EXPECT_EQ(l.m.SendDispersionCurves("-MASW2D", "line.pvs"), 1);
    ASSERT_EQ(launcher.Started(), std::vector<std::string>{paths.quessil});
    EXPECT_EQ(launcher.starts[0].args, (std::vector<std::string>{"-2", "-MASW2D"}));
    int32_t request = 0;
    std::memcpy(&request, set->BlockView() + rostrel_block::kRequest, 4);
    EXPECT_EQ(request, 3);
}

TEST_F(HandOff, PlotterGetsTheLineAndTheDataFolder)
{
    l.m.surveyType = 3;
    l.m.lineIndex = 2;
    EXPECT_EQ(l.m.StartPlotter("qkac.pvs"), 1);
    ASSERT_EQ(launcher.Started(), std::vector<std::string>{paths.mandrove});
    EXPECT_EQ(launcher.starts[0].args, (std::vector<std::string>{"-0", "-100", "-20", "-10", "-1",
                                                                  "-" + l.folder.File("qkac.pvs"), "-3", "-2"}));
    SharedBlock block;
    ASSERT_TRUE(block.Open(CAcquisitionManager::kPlottingBlock, CAcquisitionManager::kPlottingBlockSize));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.Data())), l.folder.Path());
    // Nothing starts and the user cancels the search: no more tries.
    launcher.failing = {paths.mandrove, FixedInstallPath(SiblingProgram::Mandrove)};
    l.ui.ExpectMessage("Can not execute Mandrove. Please set the location of Mandrove.exe");
    l.ui.CancelFileOpen();
    EXPECT_EQ(l.m.StartPlotter("qkac.pvs"), 0);
}

}  // namespace
}  // namespace velk
