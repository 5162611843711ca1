// A refraction line end to end, through the program's own commands: five shots of the simulated
// seismograph over 24 receivers (400 m/s over 1600 m/s at 4 m, no surface wave), made into a
// file list, its geometry and waveform data set, and picked automatically over the list. Each
// shot's picks must be stored under its own source position, and the slopes of the stored
// direct-wave and head-wave picks must give the simulator's velocities.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/answering_host.h"
#include "app/command_table.h"
#include "app/formats/document.h"
#include "app/simulated_line.h"
#include "app/survey/automatic_processing.h"
#include "app/survey/file_list_commands.h"
#include "app/survey/group_commands.h"
#include "app/workspace.h"
#include "formats/format_support.h"
#include "formats/seg2.h"
#include "platform/profile.h"
#include "platform/recent_files.h"
#include "platform/shared_block.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using testing::AnsweringHost;
using testing::SimulatedLine;
using testing::TempFolder;

// Least-squares slope of t over |x| (ms per m).
double Slope(const std::vector<std::pair<double, double>>& points)
{
    double sx = 0, st = 0, sxx = 0, sxt = 0;
    for (const auto& [x, t] : points) {
        sx += x;
        st += t;
        sxx += x * x;
        sxt += x * t;
    }
    const double n = static_cast<double>(points.size());
    return (n * sxt - sx * st) / (n * sxx - sx * sx);
}

// The program on the line's folder, headless: its workspace, document and commands.
struct LineProgram {
    LineProgram(AnsweringHost& ui, const std::string& folder) : ws(profile, ui), doc(ws), ctx{ws, ui, doc, recent}
    {
        ws.startup.language = -1;
        ws.diagnostics = std::make_shared<MemoryLogSink>();
        ws.InitForView(folder);
        RegisterFileFormats(doc.Formats());
    }
    int Run(int id) { return RunCommand(table, id, ctx); }

    Profile profile = Profile::FromText("[General]\nMAXTRACES=64\n");
    Workspace ws;
    CVelkarineDoc doc;
    RecentFileList recent;
    CommandContext ctx;
    const CommandTable table = BuildCommandTable();
};

TEST(RefractionLine, GroupPickingStoresEachShotUnderItsSourceAndGivesTheLayers)
{
    SetSharedBlockPrefix("velk-line-" + std::to_string(::getpid()) + "-");
    TempFolder folder;
    SimulatedLine line;  // receivers 0 .. 46 m, 2 m apart
    const float sources[] = {-1.0f, 11.0f, 23.0f, 35.0f, 47.0f};
    AnsweringHost ui;
    for (int s = 0; s < 5; ++s) {
        const std::string path = folder.File("shot" + std::to_string(s + 1) + ".sg2");
        ASSERT_TRUE(line.WriteShot(path, sources[s], static_cast<uint64_t>(s + 1)));
        ui.files.push_back(path);
    }
    ui.folder = folder.Path();
    ui.saveFolder = folder.Path();

    LineProgram program(ui, folder.Path());
    ASSERT_EQ(program.Run(cmd::kMakeFileList), 1);
    ASSERT_EQ(program.Run(cmd::kSetUpGeometry), 1);  // "Set waveform data ?" OK
    ASSERT_EQ(program.Run(cmd::kGroupAutoPickFirstArrivals), 1);

    const CTraveltimeSet& set = program.ws.traveltimeSet;
    ASSERT_EQ(set.shotCount, 5);
    std::vector<std::pair<double, double>> direct, head;
    const double crossover = 2.0 * line.config.thickness *
                             std::sqrt((line.config.v2 + line.config.v1) / (line.config.v2 - line.config.v1));
    for (int s = 0; s < 5; ++s) {
        SCOPED_TRACE(s);
        EXPECT_NEAR(set.sourcePosition[s], sources[s], 0.01);
        ASSERT_GE(set.pickCount[s], 20);
        for (int k = 0; k < set.pickCount[s]; ++k) {
            const double offset = std::fabs(set.X(s, k) - set.sourcePosition[s]);
            const double t = set.T(s, k);
            // The receivers 1 m from a source are picked at 7.1 ms, 4.6 ms after their arrival
            // (the others lie within 3.2 ms, later with offset): they are left out of the check and the fits.
            if (t <= 0.0 || offset < 2.0) continue;
            // Picks under their own shot: the first arrival of this source, not another's.
            const double truth = std::min(offset / line.config.v1 * 1000.0,
                                          offset / line.config.v2 * 1000.0 +
                                              (crossover * (1.0 / line.config.v1 - 1.0 / line.config.v2) * 1000.0));
            EXPECT_NEAR(t, truth, 4.0) << "receiver " << set.X(s, k);
            if (offset < 0.8 * crossover) direct.emplace_back(offset, t);
            if (offset > 1.4 * crossover) head.emplace_back(offset, t);
        }
    }
    ASSERT_GE(direct.size(), 10u);
    ASSERT_GE(head.size(), 40u);
    const double v1 = 1000.0 / Slope(direct);
    const double v2 = 1000.0 / Slope(head);
    std::printf("direct-wave picks %zu: V1 = %.1f m/s; head-wave picks %zu: V2 = %.1f m/s\n", direct.size(), v1,
                head.size(), v2);
    EXPECT_NEAR(v1, line.config.v1, 0.1 * line.config.v1);
    EXPECT_NEAR(v2, line.config.v2, 0.1 * line.config.v2);
}

// A line of 600 shots, more than the traveltime data holds: group picking stores the first 501
// shots as ever and says once what it left out.
TEST(RefractionLine, GroupPickingOfMoreShotsThanTheSetHoldsSaysWhatWasLeftOut)
{
    SetSharedBlockPrefix("velk-line-" + std::to_string(::getpid()) + "-");
    TempFolder folder;
    AnsweringHost ui;
    constexpr int kShots = 600, kReceivers = 24, kSamples = 200;
    // Small synthetic shots: a clean onset at 5 ms + 0.2 ms per metre of offset, 0.5 ms samples.
    Matrix2D<float> rows(0, kReceivers - 1, 0, kSamples - 1);
    std::vector<CTraceHeader> headers(kReceivers);
    for (int s = 0; s < kShots; ++s) {
        const float source = 0.5f * static_cast<float>(s);
        for (int i = 0; i < kReceivers; ++i) {
            const float receiver = 2.0f * static_cast<float>(i);
            headers[static_cast<size_t>(i)].Set(i + 1, static_cast<int32_t>(receiver * 100.0f),
                                                static_cast<int32_t>(std::lround(source * 100.0f)), 1, 1, 0.0f, 500.0f, kSamples);
            const int onset = static_cast<int>((5.0f + 0.2f * std::fabs(receiver - source)) / 0.5f);
            for (int j = 0; j < kSamples; ++j) rows[i][j] = j < onset ? 0.0f : ((j - onset) % 8 < 4 ? 1.0f : -1.0f);
        }
        char name[32];
        std::snprintf(name, sizeof name, "shot%04d.sg2", s + 1);
        const std::string path = folder.File(name);
        ASSERT_TRUE(WriteSeg2File(path, rows, headers, kReceivers, 4, 1.0f));
        ui.files.push_back(path);
    }
    ui.folder = folder.Path();
    ui.saveFolder = folder.Path();
    LineProgram program(ui, folder.Path());
    ASSERT_EQ(program.Run(cmd::kMakeFileList), 1);
    ASSERT_EQ(program.Run(cmd::kSetUpGeometry), 1);
    ASSERT_EQ(program.ws.fileGroup.sourceCount, kShots);
    ui.messages.clear();
    ASSERT_EQ(program.Run(cmd::kGroupAutoPickFirstArrivals), 1);

    EXPECT_EQ(std::count(ui.messages.begin(), ui.messages.end(),
                         "The traveltime data holds at most 501 shots of 1001 picks: 99 shots (2376 picks) were not stored."),
              1)
        << ::testing::PrintToString(ui.messages);
    const CTraveltimeSet& set = program.ws.traveltimeSet;
    ASSERT_EQ(set.shotCount, CTraveltimeSet::kMaxShots);
    for (int s = 0; s < set.shotCount; ++s) {
        ASSERT_FLOAT_EQ(set.sourcePosition[s], 0.5f * static_cast<float>(s));
        ASSERT_EQ(set.pickCount[s], kReceivers) << s;
    }
}

TEST(RefractionLine, AFolderListSkipsTheLinesResultsAndDetectsPastAnUnreadableShot)
{
    TempFolder folder;
    SimulatedLine line;
    const float sources[] = {-1.0f, 11.0f, 23.0f, 35.0f, 47.0f};
    for (int s = 0; s < 5; ++s) {
        ASSERT_TRUE(line.WriteShot(folder.File("shot" + std::to_string(s + 1) + ".sg2"), sources[s],
                                   static_cast<uint64_t>(s + 1)));
    }
    // First in the list: a shot cut short in its first trace; beside the shots, the line's
    // saved traveltimes and its survey-line document.
    const std::string cut = folder.File("shot0.sg2");
    ASSERT_TRUE(line.WriteShot(cut, -13.0f, 9));
    std::filesystem::resize_file(cut, 400);
    testing::WriteFileText(folder.File("line0.vs"), "1996 7 3.000000\n0 1 2.000000\n0.000000 0 0.000000\n");
    testing::WriteFileText(folder.File("line0.xml"), "<line/>\n");

    AnsweringHost ui;
    ui.folder = folder.Path();
    LineProgram program(ui, folder.Path());
    ASSERT_EQ(program.Run(cmd::kMakeFileListFromFolder), 1);
    ASSERT_EQ(program.Run(cmd::kSetUpGeometry), 1);

    const CFileGroup& g = program.ws.fileGroup;
    ASSERT_EQ(g.entryCount, 6);  // the shots only, the cut one first
    EXPECT_EQ(g.entries[0].fileName, "shot0.sg2");
    // Each readable shot keeps its own source and its 24 receivers.
    ASSERT_EQ(g.sourceCount, 5);
    ASSERT_EQ(g.receiverCount, 24);
    EXPECT_EQ(g.geometryTraces, 120);
    for (int s = 0; s < 5; ++s) EXPECT_EQ(g.sourcePositions[static_cast<size_t>(s)], static_cast<int>(sources[s] * 100));
    for (int r = 0; r < 24; ++r) EXPECT_EQ(g.receiverPositions[static_cast<size_t>(r)], r * 200);
    // The cut shot is named where it is read; the positions were found past it.
    auto told = [&](const std::string& part) {
        const auto m = std::find_if(ui.messages.begin(), ui.messages.end(),
                                    [&](const std::string& text) { return text.find(part) != std::string::npos; });
        return m == ui.messages.end() ? std::string() : *m;
    };
    EXPECT_EQ(told(cut + "\n").rfind(cut + "\n", 0), 0u);
    EXPECT_EQ(told("could not be read"), "");

    // With one readable shot in the list, the positions cannot be detected: the message says so
    // and names each member that gave no traces.
    for (int s = 2; s <= 5; ++s) std::filesystem::remove(folder.File("shot" + std::to_string(s) + ".sg2"));
    ui.messages.clear();
    ASSERT_EQ(program.Run(cmd::kMakeFileListFromFolder), 1);
    EXPECT_EQ(g.entryCount, 2);
    EXPECT_EQ(told("could not be read").rfind("The source and receiver positions could not be read from the files. "
                                              "These files gave no traces:\n\n" + cut + "\n", 0),
              0u)
        << told("could not be read");
}

}  // namespace
}  // namespace velk
