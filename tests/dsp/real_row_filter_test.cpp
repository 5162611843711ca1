#include "dsp/real_row_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/band_pass.h"
#include "fixture.h"

namespace velk {
namespace {

// Rows of `length` floats from the generator, seeds seed, seed + 1, ...
std::vector<std::vector<float>> Rows(uint32_t seed, int count, int length)
{
    std::vector<std::vector<float>> rows;
    for (int t = 0; t < count; ++t) {
        const std::vector<double> x = dsptest::SignalLcg(seed + static_cast<uint32_t>(t), static_cast<size_t>(length));
        rows.emplace_back(x.begin(), x.end());
    }
    return rows;
}

// CBandPassDlg::FilterArray on a whole row: the reference of every job.
std::vector<float> Reference(const std::vector<float>& row, int n, const std::vector<double>& curve)
{
    std::vector<double> x(row.begin(), row.end());
    CBandPassDlg::FilterArray(n, n, x.data(), curve);
    return std::vector<float>(x.begin(), x.end());
}

TEST(FilterRealRows, PairsOfRowsWithDifferentCurvesMatchOneRowAtATime)
{
    const int n = 512;
    std::vector<double> a(n / 2 + 1), b(n / 2 + 1), c(100);
    CBandPassDlg::MakeSlopeFilter(n / 2 + 1, 1.0f, 10.0f, 100.0f, 24.0f, 24.0f, a.data());
    CBandPassDlg::MakeSlopeFilter(n / 2 + 1, 0.5f, 30.0f, 300.0f, 12.0f, 36.0f, b.data());
    CBandPassDlg::MakeSlopeFilter(100, 1.0f, 5.0f, 60.0f, 20.0f, 20.0f, c.data());  // short: last value beyond
    std::vector<std::vector<float>> rows = Rows(300, 7, n);
    const std::vector<std::vector<float>> original = rows;
    const std::vector<double>* curves[7] = {&a, &b, &a, &a, &c, &b, &b};
    std::vector<RealRowJob> jobs;
    for (size_t t = 0; t < rows.size(); ++t) {
        jobs.push_back({rows[t].data(), n, n, curves[t]->data(), static_cast<int>(curves[t]->size())});
    }
    FilterRealRows(jobs, n, 3);  // an odd count of rows, over three threads
    for (size_t t = 0; t < rows.size(); ++t) {
        const std::vector<float> ref = Reference(original[t], n, *curves[t]);
        for (int i = 0; i < n; ++i) EXPECT_NEAR(rows[t][static_cast<size_t>(i)], ref[static_cast<size_t>(i)], 1e-6) << t;
    }
}

TEST(FilterRealRows, CopiesAndWritesOnlyTheCountsItIsGiven)
{
    const int n = 64;
    std::vector<double> curve(n / 2 + 1, 1.0);
    curve[3] = 0.0;
    std::vector<float> row(80, 9.0f);
    for (int i = 0; i < 40; ++i) row[static_cast<size_t>(i)] = std::sin(0.3f * i);
    std::vector<float> expected(n, 0.0f);
    {
        std::vector<double> x(n, 0.0);
        for (int i = 0; i < 40; ++i) x[static_cast<size_t>(i)] = row[static_cast<size_t>(i)];
        CBandPassDlg::FilterArray(n, n, x.data(), curve);
        for (int i = 0; i < n; ++i) expected[static_cast<size_t>(i)] = static_cast<float>(x[static_cast<size_t>(i)]);
    }
    const RealRowJob job{row.data(), 40, 50, curve.data(), n / 2 + 1};
    FilterRealRows({&job, 1}, n);
    for (int i = 0; i < 50; ++i) EXPECT_NEAR(row[static_cast<size_t>(i)], expected[static_cast<size_t>(i)], 1e-6) << i;
    for (int i = 50; i < 80; ++i) EXPECT_EQ(row[static_cast<size_t>(i)], 9.0f) << i;  // beyond the write count
}

TEST(FilterRealRows, BadLengthsAndEmptyJobsChangeNothing)
{
    std::vector<float> row(16, 1.0f);
    std::vector<double> curve(9, 0.0);
    const RealRowJob job{row.data(), 16, 16, curve.data(), 9};
    FilterRealRows({&job, 1}, 12);  // not a power of two
    FilterRealRows({&job, 1}, 1);
    const RealRowJob noCurve{row.data(), 16, 16, nullptr, 0};
    FilterRealRows({&noCurve, 1}, 16);
    EXPECT_EQ(row, std::vector<float>(16, 1.0f));
}

TEST(FilterRealRows, SmallWorkStaysOnTheCallingThread)
{
    EXPECT_EQ(FilterThreadCount(48, 1024, 0), 1);
    EXPECT_EQ(FilterThreadCount(1, 1 << 20, 8), 1);
    EXPECT_EQ(FilterThreadCount(1000, 65536, 4), 4);
    EXPECT_EQ(FilterThreadCount(6, 1 << 20, 8), 3);  // one pair per thread at most
}

}  // namespace
}  // namespace velk
