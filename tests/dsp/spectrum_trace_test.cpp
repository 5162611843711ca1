// Spectral helpers on traces (AmplitudeSpectrum, KeepOneFrequency) and the per-trace array
// helpers (TraceMaxima, SelectedTraceIndices, RemoveMean).

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"
#include "dsp/fourier.h"
#include "fixture.h"

namespace velk {
namespace {

using dsptest::Fixture;
using dsptest::SignalLcg;

std::vector<float> FloatLcg(uint32_t seed, size_t n)
{
    const std::vector<double> v = SignalLcg(seed, n);
    return std::vector<float>(v.begin(), v.end());
}

CTraceHeader Header(int samples, float intervalUs)
{
    CTraceHeader h;
    h.samples = samples;
    h.intervalUs = intervalUs;
    return h;
}

TEST(AmplitudeSpectrum, MatchesNumpy)
{
    const Fixture fixture("spectrum.txt");
    for (int count : {9, 100}) {
        const std::vector<float> x = FloatLcg(3000 + static_cast<uint32_t>(count), static_cast<size_t>(count));
        const std::vector<double>& expected = fixture.Get("amplitude_" + std::to_string(count));
        const int length = static_cast<int>(expected.size());
        std::vector<float> out(static_cast<size_t>(length) + 5, -1.0f);
        int n = 0;
        const float step = CFourier::AmplitudeSpectrum(out.data(), length + 3, x.data(), count, 0.5f, &n);
        EXPECT_EQ(n, length);
        EXPECT_FLOAT_EQ(step, 1.0f / (static_cast<float>(length) * 0.5f));
        for (int i = 0; i < length; ++i) {
            EXPECT_NEAR(out[static_cast<size_t>(i)], expected[static_cast<size_t>(i)], 1e-6) << count << " " << i;
        }
        for (int i = length; i < length + 3; ++i) {
            EXPECT_EQ(out[static_cast<size_t>(i)], 0.0f);  // beyond N: zeros
        }
        EXPECT_EQ(out[static_cast<size_t>(length) + 3], -1.0f);  // beyond the output length
    }
}

TEST(AmplitudeSpectrum, ShortOutputAndNoInterval)
{
    const std::vector<float> x = {1.0f, 1.0f, 1.0f, 1.0f};
    std::vector<float> out(4, -1.0f);
    int n = 0;
    EXPECT_EQ(CFourier::AmplitudeSpectrum(out.data(), 2, x.data(), 4, 0.0f, &n), 0.0f);
    EXPECT_EQ(n, 8);
    EXPECT_FLOAT_EQ(out[0], 0.5f);  // |sum| / 8
    EXPECT_EQ(out[2], -1.0f);
    EXPECT_EQ(CFourier::AmplitudeSpectrum(out.data(), 1, x.data(), 4, -2.0f, nullptr), 0.0f);
}

TEST(KeepOneFrequency, MatchesNumpyPerTrace)
{
    const Fixture fixture("spectrum.txt");
    const float frequency = static_cast<float>(fixture.Scalar("keep_frequency"));
    Matrix2D<float> samples(0, 3, 0, 127);
    std::vector<CTraceHeader> headers;
    for (int t = 0; t < 3; ++t) {
        const std::vector<double>& h = fixture.Get("keep_header_" + std::to_string(t));
        headers.push_back(Header(static_cast<int>(h[0]), static_cast<float>(h[1])));
        const std::vector<float> x = FloatLcg(3100 + static_cast<uint32_t>(t), static_cast<size_t>(h[0]));
        std::copy(x.begin(), x.end(), samples.Row(t).begin());
        samples.Row(t)[127] = 42.0f;  // beyond every trace's samples
    }
    CFourier::KeepOneFrequency(3, samples, headers, frequency);
    for (int t = 0; t < 3; ++t) {
        const std::vector<double>& expected = fixture.Get("keep_" + std::to_string(t));
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_NEAR(samples.Row(t)[i], expected[i], 1e-6) << t << " " << i;
        }
        EXPECT_EQ(samples.Row(t)[127], 42.0f);
    }
}

TEST(KeepOneFrequency, ZeroHertzGivesTheMeanOverTheTransformLength)
{
    Matrix2D<float> samples(0, 0, 0, 9);
    const std::vector<float> x = {1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f};  // N = 8, sum 21
    std::copy(x.begin(), x.end(), samples.Row(0).begin());
    const std::vector<CTraceHeader> headers = {Header(6, 1000.0f)};
    CFourier::KeepOneFrequency(1, samples, headers, 0.0f);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(samples.Row(0)[i], 21.0f / 8.0f) << i;
    }
}

TEST(KeepOneFrequency, LowerBinWinsATie)
{
    // N = 8 at 1 ms: df = 125 Hz; 62.5 Hz is as near bin 0 as bin 1.
    Matrix2D<float> samples(0, 0, 0, 7);
    const std::vector<float> x = {3.0f, -1.0f, 0.5f, 2.0f, -2.0f, 1.0f, 0.0f, 4.0f};
    std::copy(x.begin(), x.end(), samples.Row(0).begin());
    const std::vector<CTraceHeader> headers = {Header(8, 1000.0f)};
    CFourier::KeepOneFrequency(1, samples, headers, 62.5f);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_FLOAT_EQ(samples.Row(0)[i], 7.5f / 8.0f) << i;
    }
}

TEST(KeepOneFrequency, NoIntervalLeavesTheTrace)
{
    Matrix2D<float> samples(0, 1, 0, 7);
    for (int t = 0; t < 2; ++t) {
        for (size_t i = 0; i < 8; ++i) samples.Row(t)[i] = static_cast<float>(i);
    }
    const std::vector<CTraceHeader> headers = {Header(8, 0.0f), Header(8, -5.0f)};
    CFourier::KeepOneFrequency(2, samples, headers, 100.0f);
    for (int t = 0; t < 2; ++t) {
        for (size_t i = 0; i < 8; ++i) EXPECT_EQ(samples.Row(t)[i], static_cast<float>(i));
    }
}

TEST(KeepOneFrequency, HeaderCountBeyondTheRowIsLimited)
{
    Matrix2D<float> samples(0, 0, 0, 7);
    for (size_t i = 0; i < 8; ++i) samples.Row(0)[i] = 1.0f;
    const std::vector<CTraceHeader> headers = {Header(5000, 1000.0f)};
    CFourier::KeepOneFrequency(5, samples, headers, 0.0f);  // more traces than rows too
    for (size_t i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(samples.Row(0)[i], 1.0f);
}

// ---------------------------------------------------------------------------------------------

TEST(TraceMaxima, LargestMagnitudePerTrace)
{
    Matrix2D<float> samples(0, 2, 0, 3);
    samples.Row(0)[0] = -3.0f;
    samples.Row(0)[1] = 2.0f;
    samples.Row(0)[2] = 100.0f;  // beyond trace 0's count
    samples.Row(1)[3] = -0.5f;
    samples.Row(2)[0] = 7.0f;
    const std::vector<CTraceHeader> headers = {Header(2, 1.0f), Header(4, 1.0f), Header(0, 1.0f)};
    std::vector<float> maxima(4, -1.0f);
    EXPECT_EQ(TraceMaxima(3, maxima, samples, headers), 3.0f);
    EXPECT_EQ(maxima, (std::vector<float>{3.0f, 0.5f, 0.0f, -1.0f}));
}

TEST(TraceMaxima, NeverReadsPastTheRow)
{
    Matrix2D<float> samples(0, 1, 0, 3);
    samples.Row(0)[3] = -9.0f;
    samples.Row(1)[0] = 2.0f;
    const std::vector<CTraceHeader> headers = {Header(1 << 30, 1.0f), Header(-4, 1.0f)};
    std::vector<float> maxima(2);
    EXPECT_EQ(TraceMaxima(10, maxima, samples, headers), 9.0f);
    EXPECT_EQ(maxima, (std::vector<float>{9.0f, 0.0f}));
    std::vector<float> one(1);
    EXPECT_EQ(TraceMaxima(2, one, samples, headers), 9.0f);  // limited to the maxima slots
    EXPECT_EQ(TraceMaxima(0, maxima, samples, headers), 0.0f);
}

TEST(SelectedTraces, IndicesOfFlagsEqualToOne)
{
    const std::vector<int> flags = {0, 1, 1, 0, 1, 2, -1, 1};
    std::vector<int> out(8, -1);
    EXPECT_EQ(SelectedTraceIndices(out, flags), 4);
    EXPECT_EQ(out, (std::vector<int>{1, 2, 4, 7, -1, -1, -1, -1}));
    std::vector<int> small(2, -1);
    EXPECT_EQ(SelectedTraceIndices(small, flags), 2);
    EXPECT_EQ(small, (std::vector<int>{1, 2}));
    const std::vector<uint8_t> bytes = {1, 0, 0, 1};
    EXPECT_EQ(SelectedTraceIndices(out, bytes), 2);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 3);
    EXPECT_EQ(SelectedTraceIndices(out, std::span<const int>()), 0);
}

TEST(RemoveMean, SubtractsTheExtendedPrecisionMean)
{
    std::vector<float> v = {16777216.0f, 16777218.0f, 16777220.0f};
    RemoveMean(v.data(), 3);
    EXPECT_EQ(v, (std::vector<float>{-2.0f, 0.0f, 2.0f}));
    std::vector<float> w = {1.0f, 2.0f, 3.0f, 6.0f};
    RemoveMean(w.data(), 4);
    EXPECT_EQ(w, (std::vector<float>{-2.0f, -1.0f, 0.0f, 3.0f}));
    RemoveMean(w.data(), 0);
    EXPECT_EQ(w[0], -2.0f);
}

}  // namespace
}  // namespace velk
