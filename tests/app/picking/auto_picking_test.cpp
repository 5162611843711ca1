// Automatic picking through the workspace: the command with its offset, log and keys, the set-up
// dialog, the odd records that must not crash or pick, the file list, and the real field shot.

#include "app/picking/auto_picking.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/formats/document.h"
#include "platform/recent_files.h"
#include "app/picking/pick_matching.h"
#include "app/view/view_fixture.h"
#include "dsp/synthetic.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/seg2.h"
#include "platform/byte_io.h"
#include "traveltime/first_break_picker.h"

namespace velk {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct RecordingLog : LogSink {
    std::map<std::string, std::string> files;
    void Rewrite(const std::string& name, std::string_view text) override { files[name] = std::string(text); }
};

// Lines of "automatic.txt": pick lines " t1 t2 t3 ", slowness lines "i T r r/m ", checks.
struct LogShape {
    int picks = 0, slowness = 0, checks = 0;
    explicit LogShape(const std::string& text)
    {
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            int i = 0;
            float a = 0, b = 0, c = 0;
            if (line.rfind("Check ", 0) == 0) {
                ++checks;
            } else if (line[0] == ' ' && std::sscanf(line.c_str(), " %f %f %f", &a, &b, &c) == 3) {
                ++picks;
            } else if (std::sscanf(line.c_str(), "%d %f %f %f", &i, &a, &b, &c) == 4) {
                ++slowness;
            }
        }
    }
};

double Onset(double receiverM) { return 20.0 + receiverM / 500.0 * 1000.0; }

// Traces at the given receivers (m), source 0, 0.25 ms, `samples` samples: a damped 100 Hz sine
// from Onset(x) over 1 % Gaussian noise.
void FillShot(Matrix2D<float>& rows, std::span<CTraceHeader> headers, const std::vector<double>& receivers,
              int samples, uint32_t seed, float sourceM = 0.0f)
{
    SyntheticRandom random(seed);
    const int traces = static_cast<int>(receivers.size());
    FillGaussianNoise(rows, traces, samples, 0.01f, random);
    for (int i = 0; i < traces; ++i) {
        headers[static_cast<size_t>(i)].Set(i + 1, static_cast<int32_t>(std::lround(receivers[static_cast<size_t>(i)] * 100)),
                                            static_cast<int32_t>(std::lround(sourceM * 100)), 1, 1, 0.0f, 250.0f, samples);
        for (int j = 0; j < samples; ++j) {
            const double t = j * 0.25 - Onset(std::fabs(receivers[static_cast<size_t>(i)] - sourceM));
            if (t >= 0.0) rows[i][j] += static_cast<float>(std::sin(2.0 * kPi * 0.1 * t) * std::exp(-t / 15.0));
        }
    }
}

class AutoPickTest : public viewtest::ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        log = std::make_shared<RecordingLog>();
        ws->diagnostics = log;
    }
    void Shot(std::vector<double> receivers, int samples = 1024)
    {
        FillShot(ws->store.current.rows, ws->store.current.headers, receivers, samples, 11);
        P().traceCount = static_cast<int>(receivers.size());
        P().samplesPerTrace = samples;
        P().sampleInterval = 0.25f;
        EnsurePickVectors(*ws);
    }
    int Run(int id)
    {
        CommandTable table = BuildCommandTable();
        CVelkarineDoc doc(*ws);
        RecentFileList recent;
        CommandContext ctx{*ws, ui, doc, recent};
        return RunCommand(table, id, ctx);
    }
    CParameterSet& P() { return ws->store.Params(); }
    float Time(int i) { return P().pickTimes[static_cast<size_t>(i)]; }
    int Code(int i) { return P().layerCodes[static_cast<size_t>(i)]; }
    std::shared_ptr<RecordingLog> log;
};

TEST_F(AutoPickTest, CommandPicksAddsTheOffsetAndWritesLogAndKeys)
{
    Shot({10, 12, 14, 16, 18, 20, 22, 24});  // onsets after the first window (28 ms)
    ws->display.displayTimeOffset = 5.0f;
    ws->display.editMode = 0;
    ws->display.amplitudeFlag = 1;
    ws->autoPick.bandPass = 0;
    ws->autoPick.centreFrequency = 120.0f;
    EXPECT_EQ(Run(cmd::kAutoPickFirstArrivals), 1);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Code(i), 1);
        EXPECT_NEAR(Time(i), 5.0 + Onset(10.0 + 2.0 * i), 0.75) << i;
    }
    EXPECT_EQ(ws->display.editMode, 1);
    EXPECT_EQ(ws->display.amplitudeFlag, 0);
    const LogShape shape(log->files[kAutoPickLogName]);
    EXPECT_EQ(shape.picks, 8);
    EXPECT_EQ(shape.slowness, 8);
    EXPECT_EQ(profile->GetString("General", "PICKFREQENCY"), "120.000000");
    EXPECT_EQ(profile->GetString("General", "PICKBPF"), "0");
}

TEST_F(AutoPickTest, SetUpDialogStoresOnOkOnly)
{
    ui.AnswerDialog("CAutoPickSetupDlg", {{"Center frequency", "50"}, {"Number of checking", "3"}, {"Portion", "4"},
                                          {"BPF", "0"}});
    Run(cmd::kAutoPickSetup);
    EXPECT_EQ(ws->autoPick.centreFrequency, 50.0f);
    EXPECT_EQ(ws->autoPick.numberOfChecking, 3);
    EXPECT_EQ(ws->autoPick.portion, 4);
    EXPECT_EQ(ws->autoPick.bandPass, 0);
    ui.CancelDialog("CAutoPickSetupDlg");
    Run(cmd::kAutoPickSetup);
    EXPECT_EQ(ws->autoPick.centreFrequency, 50.0f);
    EXPECT_EQ(ws->autoPick.portion, 4);

    const MenuBarModel bar = BuildCommandTable().BuildMenuBar(kMenuDefault, -1);
    const MenuNode* pick = bar.Find("pick");
    ASSERT_NE(pick, nullptr);
    bool prompted = false;
    for (const MenuNode& n : pick->children) prompted |= n.id == cmd::kAutoPickFirstArrivals && n.help == "Pick first break automatically";
    EXPECT_TRUE(prompted);
}

TEST_F(AutoPickTest, OddRecordsNeitherCrashNorPickAtTheOffset)
{
    ws->display.displayTimeOffset = 5.0f;
    struct Case {
        const char* name;
        std::vector<double> receivers;
        int samples;
        float frequency;
        int rounds;
        int failedTrace;  // -1: none
    };
    const Case cases[] = {
        {"failed model", {2, 4, 6}, 1024, 100.0f, 0, 1},
        {"12 samples", {2, 4, 6}, 12, 100.0f, 1, -1},
        {"one trace", {10}, 1024, 100.0f, 1, -1},
        {"one receiver", {10, 10}, 1024, 100.0f, 1, -1},
        {"frequency 0", {2, 4, 6, 8}, 1024, 0.0f, 1, -1},
        {"no checking", {2, 4, 6, 8}, 1024, 100.0f, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Shot(c.receivers, c.samples);
        if (c.failedTrace >= 0) {
            for (int j = 0; j < c.samples; ++j) ws->store.current.rows[c.failedTrace][j] = 1e17f;  // no model
        }
        ws->autoPick = AutoPickSettings{};
        ws->autoPick.centreFrequency = c.frequency;
        ws->autoPick.numberOfChecking = c.rounds;
        ASSERT_EQ(Run(cmd::kAutoPickFirstArrivals), 1);
        for (int i = 0; i < P().traceCount; ++i) {
            EXPECT_TRUE(std::isfinite(Time(i))) << i;
            const bool unpicked = c.samples < 30 || i == c.failedTrace;
            EXPECT_EQ(Code(i), unpicked ? kUnpickedCode : 1) << i;
            if (unpicked) {
                EXPECT_EQ(Time(i), 0.0f) << i;
            } else {
                EXPECT_NE(Time(i), 5.0f) << i;
            }
        }
        const std::string& text = log->files[kAutoPickLogName];
        EXPECT_EQ(text.find("nan"), std::string::npos) << text;
        if (c.rounds == 0 || c.receivers.size() < 2) {
            EXPECT_EQ(LogShape(text).checks, 0) << text;
        }
    }
    // A centre frequency of 0 picks as 100 Hz does.
    Shot({2, 4, 6, 8});
    ws->autoPick.centreFrequency = 0.0f;
    Run(cmd::kAutoPickFirstArrivals);
    const std::vector<float> zero = P().pickTimes;
    ws->autoPick.centreFrequency = 100.0f;
    Run(cmd::kAutoPickFirstArrivals);
    EXPECT_EQ(P().pickTimes, zero);
}

TEST_F(AutoPickTest, FileListAddsOneShotPerFileAndLogsTheFirst)
{
    CFileGroup& group = ws->fileGroup;
    group.entryCount = 3;
    group.sourceCount = 3;
    group.receiverCount = 6;
    group.table.assign(3, std::vector<CTraceEntry>(6));
    const std::vector<double> receivers{0, 5, 10, 15, 20, 25};
    Matrix2D<float> rows(0, 5, 0, 1023);
    std::vector<CTraceHeader> headers(6);
    for (int f = 0; f < 3; ++f) {
        FillShot(rows, headers, receivers, 1024, 20 + f, -5.0f - 10.0f * f);
        for (int i = 0; i < 6; ++i) {
            CTraceEntry& cell = group.table[static_cast<size_t>(f)][static_cast<size_t>(i)];
            cell.use = 1;
            cell.header = headers[static_cast<size_t>(i)];
            const auto row = rows.Row(i);
            cell.samples.assign(row.begin(), row.end());
            cell.hasSamples = 1;
        }
    }
    RecordingProgress progress("auto");
    RecordingLog fileLog;
    ws->autoPick.bandPass = 0;
    CParameterSet& p = P();
    EnsurePickVectors(*ws);
    const int refused = AutoPickFileList(group, ws->traveltimeSet, ws->picksLeftOut, ws->store.current.rows, ws->store.current.headers,
                                         2.0f, p.pickTimes, p.layerCodes, ws->autoPick, progress, *profile, fileLog);
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(progress.Steps(), 3);
    const CTraveltimeSet& set = ws->traveltimeSet;
    ASSERT_EQ(set.shotCount, 3);
    EXPECT_EQ(set.sourcePosition[0], -25.0f);  // sorted
    EXPECT_EQ(set.pickCount[2], 6);
    EXPECT_NEAR(set.T(2, 3), 2.0 + Onset(20.0), 0.75);  // source -5 m, receiver 15 m

    // The log of the first file only: six pick lines, then the check of its one round.
    const LogShape shape(fileLog.files[kAutoPickLogName]);
    EXPECT_EQ(shape.picks, 6);
    EXPECT_EQ(shape.slowness, 6);
    EXPECT_EQ(shape.checks, 0);
    for (const char* key : {"PICKFREQENCY", "PICKNCHECK", "PICKPORTION", "PICKNEAROFFSETLIMIT", "PICKBPF"}) {
        EXPECT_TRUE(profile->GetString("General", key).has_value()) << key;
    }

    // Rows of four traces: the six-trace gathers are cut, and the caller is told so.
    Matrix2D<float> four(0, 3, 0, 1023);
    std::vector<CTraceHeader> fourHeaders(4);
    bool cut = false;
    AutoPickFileList(group, ws->traveltimeSet, ws->picksLeftOut, four, fourHeaders, 2.0f, p.pickTimes, p.layerCodes,
                     ws->autoPick, progress, *profile, fileLog, {}, &cut);
    EXPECT_TRUE(cut);
}

// The field shot against picks made by eye (tests/data/picks/field-shot-24ch-hand.txt).
TEST(AutoPickField, NearTracesAgreeWithTheHandPicks)
{
    const char* shared = std::getenv("VELK_SHARED_DATA");
    const std::string path = std::string(shared ? shared : VELK_SHARED_DATA) + "/field-shot-24ch.sg2";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no " << path;
    std::map<int, float> hand;  // receiver cm -> ms
    std::ifstream in(std::string(VELK_TEST_DATA) + "/picks/field-shot-24ch-hand.txt");
    for (float x = 0, t = 0, q = 0; in >> x >> t >> q;) hand[static_cast<int>(std::lround(x * 100))] = t;
    ASSERT_EQ(hand.size(), 24u);

    LoadTarget target(0, 24, StoreRowLength(4100), 4100);
    ByteSource file = ByteSource::FromFile(path);
    NullUiHost ui;
    FormatContext ctx{ui, kLanguageEnglish, NullLog()};
    ASSERT_EQ(ReadSeg2(file, target, 1, ctx), 24);
    std::vector<CTraceHeader> headers(24);
    Matrix2D<float> rows(0, 23, 0, 4099);
    for (int i = 0; i < 24; ++i) {
        headers[static_cast<size_t>(i)] = target.HeaderAt(i);
        const std::span<const float> row = target.RowIfAny(i);
        std::copy_n(row.begin(), std::min<size_t>(row.size(), 4100), rows.Row(i).begin());
    }
    std::vector<float> times(24);
    std::vector<int32_t> codes(24);
    AutoPickFirstBreaks(rows, headers, 24, 0, times, codes, AutoPickSettings{});
    int close = 0;
    for (int i = 0; i < 24; ++i) {
        const int receiver = headers[static_cast<size_t>(i)].receiverHundredths;
        const float diff = times[static_cast<size_t>(i)] - hand[receiver];
        std::printf("%6.1f m  auto %8.2f ms  hand %8.2f ms  %+7.2f\n", receiver * 0.01, times[static_cast<size_t>(i)],
                    hand[receiver], diff);
        if (receiver <= 5500 && std::fabs(diff) <= 2.0f) ++close;
    }
    EXPECT_GE(close, 10);
}

}  // namespace
}  // namespace velk
