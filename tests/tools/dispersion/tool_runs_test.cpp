// The command-line tools on a record longer than the default store: the whole record is used,
// and a range that gives no image ends the tool with its message on standard error.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "formats/seg2.h"
#include "tools/test_support.h"

namespace velk {
namespace {

struct ToolRun {
    int exit = -1;
    std::string out, err;
};

ToolRun RunTool(const std::string& tool, const std::string& args, const testing::TempFolder& folder)
{
    const std::string out = folder.File("out.txt"), err = folder.File("err.txt");
    const int status = std::system((tool + " " + args + " > " + out + " 2> " + err).c_str());
    ToolRun r;
    r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = testing::ReadFileText(out);
    r.err = testing::ReadFileText(err);
    return r;
}

// 24 traces 2 m apart of 12000 samples at 0.125 ms (1.5 s): one wavelet per trace arriving at
// 800 ms + x / 1000 m/s, well past the default store's 4100 samples.
std::string WriteLongRecord(const testing::TempFolder& folder)
{
    constexpr int kTraces = 24, kSamples = 12000;
    Matrix2D<float> rows(0, kTraces - 1, 0, kSamples - 1);
    std::vector<CTraceHeader> headers(kTraces);
    for (int i = 0; i < kTraces; ++i) {
        const double x = 2.0 * i + 2.0;
        headers[static_cast<size_t>(i)].Set(i + 1, static_cast<int32_t>(x * 100), 0, 1, 1, 0.0f, 125.0f, kSamples);
        const double arrival = 0.8 + x / 1000.0;
        for (int k = 0; k < kSamples; ++k) {
            const double a = std::numbers::pi * 30.0 * (k * 125e-6 - arrival - 0.05);
            rows[i][k] = static_cast<float>((1.0 - 2.0 * a * a) * std::exp(-a * a));
        }
    }
    const std::string path = folder.File("long.sg2");
    EXPECT_TRUE(WriteSeg2File(path, rows, headers, kTraces, 4, 1.0f).ok);
    return path;
}

TEST(CommandLineTools, UseTheWholeRecordAndRefuseEmptyRanges)
{
    testing::TempFolder folder;
    const std::string file = WriteLongRecord(folder);

    const ToolRun picks = RunTool(VELK_AUTOPICK_TOOL, file, folder);
    ASSERT_EQ(picks.exit, 0) << picks.err;
    std::istringstream lines(picks.out);
    int trace = 0, count = 0;
    double x = 0.0;
    std::string pick;
    while (lines >> trace >> x >> pick) {
        ++count;
        ASSERT_NE(pick, "-") << trace;
        EXPECT_NEAR(std::stod(pick), 800.0 + x, 60.0) << trace;
    }
    EXPECT_EQ(count, 24);

    const ToolRun image = RunTool(VELK_DISPERSION_TOOL, file, folder);
    ASSERT_EQ(image.exit, 0) << image.err;
    std::istringstream rows(image.out);
    double f0 = 0, f1 = 0, v = 0;
    rows >> f0 >> v >> f1;
    EXPECT_NEAR(f1 - f0, 1000.0 / (16384 * 0.125), 0.005);  // the FFT length of 12000 samples, in hundredths

    for (const char* range : {"--velocity 0.5 0.1 0.0025", "--velocity 0.2 0.2 0.0025", "--frequency 30 10"}) {
        const ToolRun refused = RunTool(VELK_DISPERSION_TOOL, std::string(range) + " " + file, folder);
        EXPECT_NE(refused.exit, 0) << range;
        EXPECT_NE(refused.err.find("The frequency or phase velocity range gives no image !"), std::string::npos)
            << range << ": " << refused.err;
        EXPECT_TRUE(refused.out.empty()) << range;
    }
}

}  // namespace
}  // namespace velk
