// A two-dimensional surface-wave line shot on the simulated seismograph, taken through the
// program's own commands (file list, geometry, waveforms, CMP gather files, the curves of every
// file) to its phase-velocity curves, which are checked against the simulator's c(f).

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "acquisition/instrument/simulated_seismograph.h"
#include "app/command_table.h"
#include "app/formats/file_road_fixture.h"
#include "app/surfacewave/cmp_commands.h"
#include "app/survey/file_list_commands.h"
#include "app/survey/group_commands.h"
#include "formats/format_support.h"
#include "formats/seg2.h"
#include "platform/clock.h"
#include "platform/numtext.h"
#include "traveltime/traveltime_set.h"

namespace velk {
namespace {

constexpr int kShots = 25;
constexpr int kChannels = 24;
constexpr int kSamples = 1024;       // at 1 ms
constexpr double kSpacing = 1.0;     // m between receivers
constexpr double kMoveUp = 2.0;      // m the spread and the shot move per shot
constexpr double kShotOffset = 2.0;  // m from the shot to the first receiver
constexpr double kC0 = 400.0, kCinf = 150.0, kFref = 15.0;

double SimulatorVelocity(double f) { return kCinf + (kC0 - kCinf) * std::exp(-f / kFref); }

class SimulatedLine : public ::testing::Test, public testing::FileRoad {
protected:
    SimulatedLine() : FileRoad("[General]\nMAXTRACES=128\n"), table(BuildCommandTable()) { ws.olvenarLink.reset(); }

    // The line's shot files in their own folder, written with our SEG-2 writer: shot n over
    // receivers `spacing` m apart from first(n), its source at source(n); with descending(n) the
    // file holds the traces from the far receiver back to the first.
    template <class First, class Source>
    void ShootLine(int shots, double spacing, First first, Source source, std::function<bool(int)> descending = {})
    {
        SimulatorConfig config;
        EXPECT_TRUE(ParseSurfaceWave("400,150,15", config));
        config.noiseLevel = noise;
        ManualClock clock;
        SimulatedSeismograph seismograph(config, clock);
        std::filesystem::create_directories(line);
        for (int n = 0; n < shots; ++n) {
            std::array<float, kInstrumentRows> receivers{};
            for (int r = 0; r < kChannels; ++r) receivers[static_cast<size_t>(r)] = static_cast<float>(first(n) + r * spacing);
            seismograph.SetSpreadHint(static_cast<float>(source(n)), receivers);
            const auto record = seismograph.MakeRecord(static_cast<uint64_t>(n), kSamples, 1000.0, kSamples / 10);
            Matrix2D<float> rows(0, kChannels - 1, 0, kSamples - 1);
            std::vector<CTraceHeader> headers(kChannels);
            for (int k = 0; k < kChannels; ++k) {
                const int r = descending && descending(n) ? kChannels - 1 - k : k;
                headers[static_cast<size_t>(k)].Set(k + 1, std::lround(receivers[static_cast<size_t>(r)] * 100.0),
                                                    std::lround(source(n) * 100.0), 1, 1, 0.0f, 1000.0f, kSamples);
                for (int i = 0; i < kSamples; ++i) rows[k][i] = static_cast<float>(record[static_cast<size_t>(r)][static_cast<size_t>(i)]);
            }
            const std::string path = (line / FormatC("%d.sg2", 1001 + n)).string();
            EXPECT_TRUE(WriteSeg2File(path, rows, headers, kChannels, 4, 1.0f).ok);
        }
    }

    // "Make file list(select a folder)" on the line's folder, then "Set up geometry" with the
    // waveforms.
    void ListTheLine(int files) { ListFolder(line, files); }
    void ListFolder(const std::filesystem::path& where, int files)
    {
        ui.AnswerFolder(where.string());
        ui.ExpectMessage(FormatC("%d files have been opened!", files));
        ui.AnswerDialog("CUseFileInfoDlg");
        ui.AnswerDialog("CFileListDlg");
        ASSERT_EQ(Run(cmd::kMakeFileListFromFolder), 1);
        ui.ExpectAnyMessage();
        ui.ExpectAnyMessage();
        ui.ExpectMessage("Set waveform data ?");
        ui.ExpectAnyMessage();
        Run(cmd::kSetUpGeometry);
        ASSERT_EQ(ws.fileGroup.dataLoaded, 1);
    }

    int Run(int id)
    {
        CommandContext ctx = Context();
        return RunCommand(table, id, ctx);
    }

    const CommandTable table;
    double noise = SimulatorConfig{}.noiseLevel;  // V RMS on every trace
    std::filesystem::path line = std::filesystem::path(folder.Path()) / "line";
};

TEST_F(SimulatedLine, CmpCurvesFollowTheSimulatorsDispersion)
{
    ShootLine(kShots, kSpacing, [](int n) { return n * kMoveUp; }, [](int n) { return n * kMoveUp - kShotOffset; });
    // The diagnostic files go where the program puts them, beside the results.
    ws.diagnostics = std::make_shared<FolderLogSink>(folder.Path());

    // The line's folder, the files' own positions, the list as it is; the line's folder becomes
    // the working folder.
    ListTheLine(kShots);
    EXPECT_EQ(ws.workingFolder, line.string());

    // "Make CMP gather files(2D)" into a new list, every dialog at its defaults.
    ui.ExpectMessage("Make new file list ?", MsgResult::Ok);
    ui.AnswerDialog("CCmpPhaseVelocityDlg");
    ui.AnswerDialog("CCmpPhaseVelocityDlg");
    ui.ExpectMessage("CMP files have been calculated !");
    Run(cmd::kMakeCmpGatherFiles2D);
    const CFileGroup& g = ws.fileGroup;
    ASSERT_GT(g.entryCount, 10);
    ASSERT_EQ(g.cmpList, 1);

    // "Phase velocity (2D : automatic)" with the picking limits of a fresh profile.
    ASSERT_EQ(ws.contour.minMaxPlot, 1);
    ui.AnswerDialog("CPhaseVelocityDlg");
    ui.AnswerDialog("CMinMaxFrequencyDlg");
    // The first CMP, at the line's end, gives no curve (see below) and the user is told.
    ui.ExpectMessage("1 of " + std::to_string(g.entryCount) + " CMPs gave no phase-velocity curve (too few traces or no pick).");
    ui.ExpectAnyMessage();
    Run(cmd::kPhaseVelocityCurves2D);
    // Everything the line made stays in its folder; the CMP curves beside their gathers, apart
    // from the curves of the shots.
    for (const char* name : {"cmp_gathers/phase_velocity_curves.pvs", "multi_select.txt", "geometry.txt", "cmp_gathers/cmp_000300.sg2"}) {
        EXPECT_TRUE(std::filesystem::exists(line / name)) << name;
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder.Path()) / name)) << name;
    }

    const CTraveltimeSet& set = ws.curveSet;
    ASSERT_EQ(set.shotCount, g.entryCount);
    int inBand = 0, near = 0;
    for (int s = 0; s < set.shotCount; ++s) {
        // Each curve stands at its CMP file's position ("cmp_%06d" = CMP x 100).
        const std::string name = std::filesystem::path(g.entries[static_cast<size_t>(s)].fileName).filename().string();
        EXPECT_NEAR(set.sourcePosition[s] * 100.0, std::stoi(name.substr(4, 6)), 1.0) << name;
        // The first CMP, at the line's end, holds two separations: too short a spread for any
        // wavelength to pass the limits. Every other curve has points.
        if (s > 0) {
            EXPECT_GT(set.pickCount[s], 0) << name;
        }
        for (int p = 0; p < set.pickCount[s]; ++p) {
            const double f = set.X(s, p);
            if (f < 10.0 || f > 40.0) continue;
            ++inBand;
            if (std::fabs(set.T(s, p) / SimulatorVelocity(f) - 1.0) <= 0.05) ++near;
        }
    }
    ASSERT_GT(inBand, 0);
    const double share = static_cast<double>(near) / inBand;
    std::printf("simulated line: %d curves, %d points at 10-40 Hz, %.1f%% within 5%% of c(f)\n", set.shotCount, inBand,
                100.0 * share);
    EXPECT_GE(share, 0.8);

    // The gathers copied through a FAT stick come back upper-case: still a CMP list, the same
    // curves.
    std::vector<std::vector<float>> lower(static_cast<size_t>(set.shotCount));
    for (int s = 0; s < set.shotCount; ++s) {
        lower[static_cast<size_t>(s)].push_back(set.sourcePosition[s]);
        for (int p = 0; p < set.pickCount[s]; ++p) lower[static_cast<size_t>(s)].push_back(set.T(s, p));
    }
    const std::filesystem::path upper = std::filesystem::path(folder.Path()) / "stick";
    std::filesystem::create_directories(upper);
    for (const auto& e : std::filesystem::directory_iterator(line / kCmpGatherFolder)) {
        std::string name = e.path().filename().string();
        if (e.path().extension() != ".sg2") continue;
        for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        std::filesystem::copy_file(e.path(), upper / name);
    }
    ListFolder(upper, static_cast<int>(lower.size()));
    ASSERT_EQ(ws.fileGroup.cmpList, 1);
    EXPECT_FALSE(std::filesystem::exists(upper / kPhaseVelocityCurvesFileName));
    ui.AnswerDialog("CPhaseVelocityDlg");
    ui.AnswerDialog("CMinMaxFrequencyDlg");
    ui.ExpectAnyMessage();
    ui.ExpectAnyMessage();
    Run(cmd::kPhaseVelocityCurves2D);
    ASSERT_EQ(set.shotCount, static_cast<int>(lower.size()));
    for (int s = 0; s < set.shotCount; ++s) {
        std::vector<float> now{set.sourcePosition[s]};
        for (int p = 0; p < set.pickCount[s]; ++p) now.push_back(set.T(s, p));
        EXPECT_EQ(now, lower[static_cast<size_t>(s)]) << s;
    }
    EXPECT_TRUE(std::filesystem::exists(upper / kPhaseVelocityCurvesFileName));
}

// Shot records of both ends of the spread through "Phase velocity (2D : automatic)", each
// stacked from its own source's side whatever the folder's name or the trace order of its file;
// gathers made beside the shots do not change the shot list or its curves.
TEST_F(SimulatedLine, EveryShotFollowsTheSimulatorsDispersionFromItsOwnSide)
{
    // Receivers 0-46 m from first(n) (each file on a spread of its own): forward shots on the first receiver and 2 m before it,
    // reverse shots on the last receiver, 0.5 m and 2 m beyond it; every other file holds its
    // traces from the far end back.
    constexpr std::array<double, 5> kSources = {0.0, -2.0, 46.0, 46.5, 48.0};
    constexpr int kFiles = 2 * static_cast<int>(kSources.size());
    line = std::filesystem::path(folder.Path()) / "cmpline";
    ShootLine(kFiles, 2.0, [](int n) { return n * 10.0; },
              [&](int n) { return n * 10.0 + kSources[static_cast<size_t>(n / 2)]; },
              [](int n) { return n % 2 == 1; });
    ListTheLine(kFiles);
    ASSERT_EQ(ws.fileGroup.cmpList, 0);

    // The dialog shows one direction for the whole list: each shot its own.
    auto curves = [&] {
        ui.AnswerDialogWith("CPhaseVelocityDlg", [](DialogRequest& r) {
            EXPECT_EQ(r.Find("Direction")->Text(), "Each shot its own");
            return true;
        });
        ui.AnswerDialog("CMinMaxFrequencyDlg");
        ui.ExpectAnyMessage();
        Run(cmd::kPhaseVelocityCurves2D);
        const CTraveltimeSet& set = ws.curveSet;
        std::vector<std::vector<std::array<double, 2>>> points(static_cast<size_t>(set.shotCount));
        for (int s = 0; s < set.shotCount; ++s) {
            for (int p = 0; p < set.pickCount[s]; ++p) points[static_cast<size_t>(s)].push_back({set.X(s, p), set.T(s, p)});
        }
        return points;
    };
    const auto first = curves();
    ASSERT_EQ(first.size(), static_cast<size_t>(kFiles));
    for (int s = 0; s < kFiles; ++s) {
        const auto& curve = first[static_cast<size_t>(s)];
        const auto near = std::count_if(curve.begin(), curve.end(), [](const std::array<double, 2>& p) {
            return std::fabs(p[1] / SimulatorVelocity(p[0]) - 1.0) <= 0.05;
        });
        ASSERT_GT(curve.size(), 5u) << s;
        const double share = static_cast<double>(near) / static_cast<double>(curve.size());
        std::printf("shot at %.1f m: %zu points, %.1f%% within 5%% of c(f)\n", ws.curveSet.sourcePosition[s],
                    curve.size(), 100.0 * share);
        EXPECT_GE(share, 0.9) << "shot at " << ws.curveSet.sourcePosition[s] << " m";
    }

    // "Make CMP gather files(2D)" without a new list: the gathers go into their own folder, and
    // the line's folder listed again gives the same shots and the same curves.
    ui.ExpectMessage("Make new file list ?", MsgResult::Cancel);
    ui.AnswerDialog("CCmpPhaseVelocityDlg");
    ui.AnswerDialog("CCmpPhaseVelocityDlg");
    ui.ExpectMessage("CMP files have been calculated !");
    Run(cmd::kMakeCmpGatherFiles2D);
    const std::filesystem::path gathers = line / kCmpGatherFolder;
    ASSERT_TRUE(std::filesystem::is_directory(gathers));
    const std::vector<FileListEntry> entries = ws.fileGroup.entries;
    ListTheLine(kFiles);
    for (int i = 0; i < kFiles; ++i) EXPECT_EQ(ws.fileGroup.entries[static_cast<size_t>(i)].fileName, entries[static_cast<size_t>(i)].fileName);
    const std::string written = testing::ReadFileText((line / kPhaseVelocityCurvesFileName).string());
    const auto second = curves();
    ASSERT_EQ(second.size(), first.size());
    EXPECT_EQ(testing::ReadFileText((line / kPhaseVelocityCurvesFileName).string()), written);

    // One of the gathers among the shots: the list is analysed as neither, the gather named.
    const std::filesystem::path gather = std::filesystem::directory_iterator(gathers)->path();
    std::filesystem::copy_file(gather, line / gather.filename());
    ListTheLine(kFiles + 1);
    ui.ExpectMessage("The file list holds shot records and CMP gathers (1): make a list of the one or the other !\n" +
                     gather.filename().string());
    ui.ExpectMessage("The file list holds shot records and CMP gathers (1): make a list of the one or the other !\n" +
                     gather.filename().string());
    Run(cmd::kPhaseVelocityCurves2D);
    Run(cmd::kMakeCmpGatherFiles2D);
}

// A repeated shot as the line's first two members, a split spread and a damaged member through "Phase velocity (2D : automatic)": every readable
// shot gives its own curve from its own traces at its own position.
TEST_F(SimulatedLine, EveryShotRecordGivesItsOwnCurve)
{
    // Spreads of 24 receivers 2 m apart (0-46 m from first(n)).
    constexpr std::array<double, 4> kSources = {-2.0, -2.0, 10.0, 48.0};
    constexpr std::array<double, 4> kFirst = {0.0, 0.0, 200.0, 300.0};
    constexpr int kShotFiles = static_cast<int>(kSources.size());
    // Noise enough that a repeated shot's own record gives a curve of its own.
    noise = 0.05;
    ShootLine(kShotFiles, 2.0, [&](int n) { return kFirst[static_cast<size_t>(n)]; },
              [&](int n) { return kFirst[static_cast<size_t>(n)] + kSources[static_cast<size_t>(n)]; });
    {
        std::FILE* f = std::fopen((line / "1005.sg2").string().c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("not a record", f);
        std::fclose(f);
    }
    ui.SetStrict(false);
    ui.AnswerFolder(line.string());
    ui.AnswerDialogWith("CUseFileInfoDlg", [](DialogRequest& r) {
        // The first two members share a source: the positions are still the files' own.
        EXPECT_TRUE(r.Find("Source position")->BoolValue());
        EXPECT_TRUE(r.Find("Receiver position")->BoolValue());
        return true;
    });
    ui.AnswerDialog("CFileListDlg");
    Run(cmd::kMakeFileListFromFolder);
    ui.ExpectMessage("Set waveform data ?");
    Run(cmd::kSetUpGeometry);
    ASSERT_EQ(ws.fileGroup.dataLoaded, 1);
    ui.ClearCalls();

    ui.AnswerDialog("CPhaseVelocityDlg");
    ui.AnswerDialog("CMinMaxFrequencyDlg");
    Run(cmd::kPhaseVelocityCurves2D);
    const std::vector<std::string> said = ui.Messages();
    const CTraveltimeSet& set = ws.curveSet;
    ASSERT_EQ(set.shotCount, kShotFiles + 1);
    for (int s = 0; s < kShotFiles; ++s) {
        EXPECT_NEAR(set.sourcePosition[s], kFirst[static_cast<size_t>(s)] + kSources[static_cast<size_t>(s)], 1e-3);
        int near = 0;
        for (int p = 0; p < set.pickCount[s]; ++p) {
            if (std::fabs(set.T(s, p) / SimulatorVelocity(set.X(s, p)) - 1.0) <= 0.05) ++near;
        }
        ASSERT_GT(set.pickCount[s], 5) << s;
        const double share = static_cast<double>(near) / set.pickCount[s];
        std::printf("shot at %.1f m: %d points, %.1f%% within 5%% of c(f)\n", set.sourcePosition[s], set.pickCount[s],
                    100.0 * share);
        EXPECT_GE(share, 0.9) << "shot " << s;
    }
    // The repeated shot is its own record, not a copy of the first.
    bool same = set.pickCount[0] == set.pickCount[1];
    for (int p = 0; same && p < set.pickCount[0]; ++p) same = set.T(0, p) == set.T(1, p);
    EXPECT_FALSE(same);
    // The damaged member has no curve and is counted; the shared position is named; the count
    // is of the curves made.
    EXPECT_EQ(set.pickCount[kShotFiles], 0);
    auto count = [&](const std::string& part) {
        return std::count_if(said.begin(), said.end(), [&](const std::string& m) { return m.find(part) != std::string::npos; });
    };
    EXPECT_EQ(count("1 of 5 sources gave no phase-velocity curve."), 1);
    EXPECT_EQ(count("-2.00 m: 1001.sg2, 1002.sg2"), 1);
    EXPECT_EQ(count("4 phase-velocity curves have been calculated !"), 1);
    EXPECT_EQ(count("1005.sg2"), 0);
}

}  // namespace
}  // namespace velk
