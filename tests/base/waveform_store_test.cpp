#include "base/waveform_store.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

namespace velk {
namespace {

TEST(StoreRowLength, PowerOfTwoAtOrAboveMaxSamplePlusOne)
{
    EXPECT_EQ(StoreRowLength(4100), 8192);
    EXPECT_EQ(StoreRowLength(16400), 32768);
    EXPECT_EQ(StoreRowLength(4095), 4096);
    EXPECT_EQ(StoreRowLength(4096), 8192);
    EXPECT_EQ(StoreRowLength(0), 8);
    EXPECT_EQ(StoreRowLength(7), 8);
    EXPECT_EQ(StoreRowLength(8), 16);
    EXPECT_EQ(StoreRowLength(-1), 0);
    EXPECT_EQ(StoreRowLength((1 << 30) - 1), 1 << 30);
    EXPECT_EQ(StoreRowLength(1 << 30), 0);
}

// A small allocated store.
struct StoreFixture : ::testing::Test {
    void SetUp() override
    {
        s.SetCapacity(4, 1000);
        s.AllocateParameterSets();
        ASSERT_TRUE(s.AllocateWaveformStore());
    }
    // Fills the current record: trace i has n[i] samples of value base + i * 1000 + j.
    void Fill(std::vector<int> n, float base)
    {
        s.Params().traceCount = static_cast<int>(n.size());
        for (size_t i = 0; i < n.size(); ++i) {
            s.current.headers[i].samples = n[i];
            s.current.headers[i].traceNumber = static_cast<int>(i) + 1;
            s.current.headers[i].receiverHundredths = static_cast<int>(base);
            for (int j = 0; j < n[i]; ++j) {
                s.current.rows[static_cast<int>(i)][j] = base + static_cast<float>(i) * 1000 + j;
            }
        }
        s.Params().hscale = base;
        s.Params().pickTimes[0] = base;
    }
    float At(const DataSet& d, int i, int j) const { return d.rows[i][j]; }
    WaveformStore s;
};

TEST_F(StoreFixture, ShapesAndDefaults)
{
    EXPECT_EQ(s.RowLength(), 1024);
    EXPECT_EQ(s.current.rows.Rows(), 5u);  // rows 0..MAXTRACES
    EXPECT_EQ(s.current.rows.Cols(), 1024u);
    EXPECT_EQ(s.level2.imag.Cols(), 1024u);
    EXPECT_EQ(s.current.headers.size(), 4u);
    EXPECT_EQ(s.headersEx.size(), 4u);
    EXPECT_EQ(s.headersEx[0].latitude, -1000.0f);
    EXPECT_EQ(s.displayFactor, std::vector<float>(4, 1.0f));
    EXPECT_EQ(s.mark, std::vector<int32_t>(4, 0));
    EXPECT_EQ(s.current.headers[0].component, 1);
    EXPECT_EQ(s.Params().capacity, 4);
    EXPECT_EQ(s.level1.params.layerCodes, std::vector<int32_t>(4, 1));
    EXPECT_EQ(s.undoDepth, 0);
    EXPECT_EQ(s.dataKind(), kTimeDomain);
}

TEST_F(StoreFixture, ComputeTraceMaxima)
{
    s.Params().traceCount = 0;
    s.ComputeTraceMaxima();
    EXPECT_EQ(s.Params().recordMaximum, 0.0f);
    s.Params().traceCount = 2;
    s.current.headers[0].samples = 2;
    s.current.rows[0][0] = -3.0f;
    s.current.rows[0][1] = 2.0f;
    s.current.rows[0][2] = 100.0f;  // beyond n
    s.current.headers[1].samples = 0;
    s.ComputeTraceMaxima();
    EXPECT_EQ(s.Params().traceMaxima[0], 3.0f);
    EXPECT_EQ(s.Params().traceMaxima[1], 0.0f);
    EXPECT_EQ(s.Params().recordMaximum, 3.0f);
}

TEST_F(StoreFixture, FirstPushFillsBothLevelsThenUndoRestores)
{
    Fill({10, 10}, 1.0f);
    EXPECT_EQ(s.PushUndo(), 1);
    for (const DataSet* level : {&s.level1, &s.level2}) {
        EXPECT_EQ(level->params.traceCount, 2);
        EXPECT_EQ(level->params.hscale, 1.0f);
        EXPECT_EQ(At(*level, 1, 9), 1.0f + 1000 + 9);
        EXPECT_EQ(level->headers[1], s.current.headers[1]);
    }
    Fill({10, 10}, 5.0f);  // the operation
    EXPECT_TRUE(s.RestoreUndo());
    EXPECT_EQ(s.undoDepth, 0);
    EXPECT_EQ(s.undone, 1);
    EXPECT_EQ(At(s.current, 1, 9), 1.0f + 1000 + 9);
    EXPECT_EQ(s.Params().hscale, 1.0f);
    EXPECT_EQ(s.Params().pickTimes[0], 1.0f);
    EXPECT_EQ(At(s.level1, 1, 9), 1.0f + 1000 + 9);  // level 1 unchanged
    EXPECT_EQ(At(s.level2, 1, 9), 5.0f + 1000 + 9);  // the changed state
    EXPECT_EQ(s.level2.params.hscale, 5.0f);
    EXPECT_FALSE(s.RestoreUndo());
}

TEST_F(StoreFixture, TwoOperationsThenTwoUndosGiveTheOriginal)
{
    Fill({10, 10, 10}, 1.0f);
    s.PushUndo();
    Fill({10, 10, 10}, 2.0f);
    EXPECT_EQ(s.PushUndo(), 2);
    Fill({10, 10, 10}, 3.0f);
    s.RestoreUndo();
    EXPECT_EQ(At(s.current, 2, 3), 2.0f + 2000 + 3);
    s.RestoreUndo();
    EXPECT_EQ(At(s.current, 2, 3), 1.0f + 2000 + 3);
    EXPECT_EQ(s.Params().hscale, 1.0f);
    EXPECT_EQ(s.undoDepth, 0);
}

TEST_F(StoreFixture, DepthIsCappedAtTwo)
{
    Fill({4}, 0.0f);  // S0
    EXPECT_EQ(s.PushUndo(), 1);
    Fill({4}, 1.0f);  // S1
    EXPECT_EQ(s.PushUndo(), 2);
    Fill({4}, 2.0f);  // S2
    EXPECT_EQ(s.PushUndo(), 2);
    Fill({4}, 3.0f);  // S3
    ASSERT_TRUE(s.RestoreUndo());
    EXPECT_EQ(s.Params().hscale, 2.0f);
    ASSERT_TRUE(s.RestoreUndo());
    EXPECT_EQ(s.Params().hscale, 1.0f);
    EXPECT_EQ(s.undoDepth, 0);
    EXPECT_FALSE(s.RestoreUndo());
    EXPECT_EQ(s.Params().hscale, 1.0f);
}

TEST_F(StoreFixture, SelectionFlagsSurviveUndo)
{
    Fill({4, 4}, 1.0f);
    s.PushUndo();
    s.Params().selectionFlags[1] = 1;
    s.RestoreUndo();
    EXPECT_EQ(s.Params().selectionFlags[1], 1);
}

TEST_F(StoreFixture, RaggedRowsComeBackAndNothingBeyondNIsTouched)
{
    Fill({500, 1000}, 1.0f);
    s.current.rows[0][500] = -77.0f;  // sentinel beyond n of trace 0
    s.PushUndo();
    EXPECT_EQ(s.level1.rows[0][500], 0.0f);  // not part of the copy
    Fill({500, 1000}, 2.0f);
    s.current.rows[0][500] = -77.0f;
    s.RestoreUndo();
    EXPECT_EQ(s.current.headers[0].samples, 500);
    EXPECT_EQ(s.current.headers[1].samples, 1000);
    for (int j = 0; j < 500; ++j) {
        ASSERT_EQ(s.current.rows[0][j], 1.0f + j);
    }
    for (int j = 0; j < 1000; ++j) {
        ASSERT_EQ(s.current.rows[1][j], 1.0f + 1000 + j);
    }
    EXPECT_EQ(s.current.rows[0][500], -77.0f);
}

TEST_F(StoreFixture, ComplexRecordKeepsItsImaginaryPartsAndKind)
{
    Fill({8, 8}, 1.0f);
    s.dataKind() = kComplexShowReal;
    s.transformFlag() = 1;
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 8; ++j) {
            s.current.imag[i][j] = -100.0f - i * 10 - j;
        }
    }
    s.PushUndo();
    EXPECT_EQ(s.level1.dataKind, kComplexShowReal);
    EXPECT_EQ(s.level1.imag[1][7], -117.0f);
    // The operation: back to the time domain, imaginary parts overwritten.
    Fill({8, 8}, 9.0f);
    s.dataKind() = kTimeDomain;
    s.transformFlag() = 0;
    s.current.imag[1][7] = 0.0f;
    ASSERT_TRUE(s.RestoreUndo());
    EXPECT_EQ(s.dataKind(), kComplexShowReal);
    EXPECT_EQ(s.transformFlag(), 1);
    EXPECT_EQ(s.current.rows[1][7], 1.0f + 1000 + 7);
    EXPECT_EQ(s.current.imag[1][7], -117.0f);
    EXPECT_EQ(s.current.imag[0][0], -100.0f);
    EXPECT_EQ(s.level2.dataKind, kTimeDomain);
}

TEST_F(StoreFixture, TimeDomainSnapshotRestoresKindZero)
{
    Fill({8}, 1.0f);
    s.PushUndo();
    s.dataKind() = kRealSpectrum;
    s.RestoreUndo();
    EXPECT_EQ(s.dataKind(), kTimeDomain);
}

TEST_F(StoreFixture, CopiesClampCountsAndSampleCounts)
{
    Fill({4, 4}, 1.0f);
    s.Params().traceCount = 1000;         // beyond the capacity
    s.current.headers[0].samples = 1 << 20;  // beyond the row length
    s.current.headers[1].samples = -5;
    EXPECT_EQ(s.TraceCount(), 4);
    EXPECT_EQ(s.TraceSamples(0), 1024);
    EXPECT_EQ(s.TraceSamples(1), 0);
    EXPECT_EQ(s.PushUndo(), 1);
    s.ComputeTraceMaxima();
    EXPECT_TRUE(s.RestoreUndo());
}

TEST_F(StoreFixture, CopyTraceHeaders)
{
    Fill({4, 5}, 1.0f);
    std::vector<CTraceHeader> out(3);
    out[2].gain = 42;
    s.CopyTraceHeaders(out);
    EXPECT_EQ(out[0], s.current.headers[0]);
    EXPECT_EQ(out[1].samples, 5);
    EXPECT_EQ(out[2].gain, 42);
    std::vector<CTraceHeader> one(1);
    s.CopyTraceHeaders(one);
    EXPECT_EQ(one[0].traceNumber, 1);
}

TEST_F(StoreFixture, PushOnAnUnallocatedStoreDoesNothing)
{
    WaveformStore empty;
    EXPECT_EQ(empty.PushUndo(), 0);
    EXPECT_FALSE(empty.RestoreUndo());
    EXPECT_FALSE(empty.IsAllocated());
    s.FreeWaveformStore();
    EXPECT_FALSE(s.IsAllocated());
    EXPECT_EQ(s.Params().capacity, 4);  // the sets keep their arrays
}

// Byte image of everything the store holds, for "bit-identical" checks.
std::vector<uint8_t> Image(const WaveformStore& s)
{
    std::vector<uint8_t> out;
    auto add = [&](const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        out.insert(out.end(), b, b + n);
    };
    for (const DataSet* d : {&s.current, &s.level1, &s.level2}) {
        add(d->rows.Elements().data(), d->rows.Elements().size_bytes());
        add(d->imag.Elements().data(), d->imag.Elements().size_bytes());
        add(d->headers.data(), d->headers.size() * sizeof(CTraceHeader));
        add(&d->params.traceCount, sizeof(int));
        add(&d->params.samplesPerTrace, sizeof(int));
        add(&d->params.hscale, sizeof(float));
        add(d->params.pickTimes.data(), d->params.pickTimes.size() * sizeof(float));
        add(&d->dataKind, sizeof(int));
    }
    const int caps[3] = {s.MaxTraces(), s.MaxSample(), s.undoDepth};
    add(caps, sizeof(caps));
    add(s.displayFactor.data(), s.displayFactor.size() * sizeof(float));
    return out;
}

TEST_F(StoreFixture, ResizeRefusesBadValuesAndKeepsEverything)
{
    Fill({10, 20}, 3.0f);
    s.PushUndo();
    const std::vector<uint8_t> before = Image(s);
    std::string error;
    for (auto [traces, samples] : std::vector<std::pair<int, int>>{
             {0, 100}, {10, 0}, {-5, 100}, {10, -5}, {INT_MAX, INT_MAX},
             {1 << 20, (1 << 30) - 1}, {1000000, 1000000}, {10, 1 << 30}}) {
        error.clear();
        EXPECT_FALSE(s.Resize(traces, samples, &error)) << traces << " x " << samples;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(Image(s), before);
    }
}

TEST_F(StoreFixture, ResizeSwapsEverythingAndEmptiesTheRecord)
{
    Fill({10, 20}, 3.0f);
    s.PushUndo();
    s.Params().vscale = 0.5f;
    ASSERT_TRUE(s.Resize(6, 3000));
    EXPECT_EQ(s.MaxTraces(), 6);
    EXPECT_EQ(s.MaxSample(), 3000);
    EXPECT_EQ(s.RowLength(), 4096);
    EXPECT_EQ(s.Params().traceCount, 0);
    EXPECT_EQ(s.Params().samplesPerTrace, 0);
    EXPECT_EQ(s.Params().vscale, 0.5f);   // scalars kept
    EXPECT_EQ(s.Params().hscale, 3.0f);
    EXPECT_EQ(s.Params().capacity, 6);
    EXPECT_EQ(s.level2.params.capacity, 6);
    EXPECT_EQ(s.current.rows.Rows(), 7u);
    EXPECT_EQ(s.level1.imag.Cols(), 4096u);
    EXPECT_EQ(s.displayFactor.size(), 6u);
    EXPECT_EQ(s.headersEx.size(), 6u);
    EXPECT_EQ(s.undoDepth, 0);
    // The new store works.
    Fill({3000, 1, 2, 3, 4, 5}, 1.0f);
    EXPECT_EQ(s.PushUndo(), 1);
    Fill({3000, 1, 2, 3, 4, 5}, 2.0f);
    EXPECT_TRUE(s.RestoreUndo());
    EXPECT_EQ(s.current.rows[0][2999], 1.0f + 2999);
}

TEST(WaveformStore, CheckCapacity)
{
    EXPECT_EQ(WaveformStore::CheckCapacity(128, 4100), "");
    EXPECT_NE(WaveformStore::CheckCapacity(0, 4100), "");
    EXPECT_NE(WaveformStore::CheckCapacity(128, -1), "");
    EXPECT_NE(WaveformStore::CheckCapacity(INT_MAX, 10), "");
    EXPECT_EQ(WaveformStore::RequiredBytes(INT_MAX, INT_MAX), 0u);
    EXPECT_GT(WaveformStore::RequiredBytes(128, 4100), 129u * 8192 * 4 * 8);
}

}  // namespace
}  // namespace velk
