// Write -> read -> conformance: a record made from the input bytes is written by WriteSeg2,
// must pass the independent conformance checker, and must read back with its positions,
// component, delay, interval, counts and samples.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "formats/seg2.h"
#include "fuzz/reader_harness.h"
#include "platform/byte_io.h"
#include "seg2_conformance.h"

namespace {

namespace fz = velk::fuzzing;

// Takes bytes from the input, zeros once it runs out.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t U8() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t U32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(U8()) << (8 * i);
        return v;
    }
    float F32() { return std::bit_cast<float>(U32()); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Bytes in(data, size);
    const int count = 1 + in.U8() % 6;
    const int flags = in.U8();
    const int code = flags & 1 ? 2 : 4;
    const bool withRecords = flags & 2;
    const float scale = code == 2 ? static_cast<float>(in.U8()) / 16.0f : 1.0f;
    constexpr int kColumns = 48;
    velk::Matrix2D<float> rows(0, count - 1, 0, kColumns - 1);
    std::vector<velk::CTraceHeader> headers(count);
    std::vector<velk::CTraceHeaderEx> records(count);
    for (int i = 0; i < count; ++i) {
        velk::CTraceHeader& h = headers[i];
        h.receiverHundredths = static_cast<int32_t>(in.U32());
        h.sourceHundredths = static_cast<int32_t>(in.U32());
        h.component = static_cast<int32_t>(in.U32());
        h.delayUs = in.F32();
        h.intervalUs = static_cast<float>(1 + in.U8()) * 10.0f;  // positive, exact in "%.8f" seconds
        h.samples = in.U8() % (kColumns + 8);  // sometimes more than the row holds
        records[i].latitude = in.F32();
        records[i].longitude = in.F32();
        for (int k = 0; k < kColumns; ++k) rows[i][k] = in.F32();
    }

    velk::ByteSink sink;
    const velk::WriteStatus status =
        velk::WriteSeg2(sink, rows, headers, count, code, scale,
                        withRecords ? std::span<const velk::CTraceHeaderEx>(records) : std::span<const velk::CTraceHeaderEx>());
    fz::Require(status.ok, "the writer refused a valid record");
    const std::vector<uint8_t>& file = sink.Bytes();
    const seg2_conformance::Report report = seg2_conformance::Check(file);
    if (!report.Ok()) {
        std::fprintf(stderr, "%s", report.Describe().c_str());
        fz::Fail("a written file does not conform to the standard");
    }

    velk::LoadTarget target(0, count, velk::StoreRowLength(kColumns + 8), kColumns + 8);
    fz::FuzzUiHost ui;
    velk::FormatContext ctx{ui, velk::kLanguageEnglish, velk::NullLog()};
    velk::ByteSource source = velk::ByteSource::FromSpan(file);
    fz::Require(velk::ReadSeg2(source, target, 1, ctx) == count, "the written record does not read back");

    bool allZero = true;
    for (int i = 0; i < count; ++i) allZero = allZero && headers[i].receiverHundredths == 0;
    for (int i = 0; i < count; ++i) {
        const velk::CTraceHeader& w = headers[i];
        const velk::CTraceHeader& r = target.HeaderAt(i);
        const int n = std::min(w.samples, kColumns);
        fz::Require(r.samples == n, "sample count");
        fz::Require(r.receiverHundredths == (allZero ? i * 100 : w.receiverHundredths), "receiver");
        fz::Require(r.sourceHundredths == w.sourceHundredths, "source");
        fz::Require(r.component == (w.component >= 1 && w.component <= 100 ? w.component : 1), "component");
        fz::Require(r.intervalUs == w.intervalUs, "interval");
        const double delaySeconds = static_cast<double>(w.delayUs) * 1e-6;
        if (std::isfinite(delaySeconds) && std::fabs(delaySeconds) <= 999.0) {
            fz::Require(std::fabs(static_cast<double>(r.delayUs) - w.delayUs) <= 0.5 + std::fabs(w.delayUs) * 1e-6,
                        "delay beyond 1 us");
        }
        const std::span<const float> row = target.RowIfAny(i);
        for (int k = 0; k < n; ++k) {
            const float v = rows[i][k];
            if (code == 4) {
                const float expected = std::isfinite(v) ? v : 0.0f;
                fz::Require(std::bit_cast<uint32_t>(row[k]) == std::bit_cast<uint32_t>(expected), "float sample");
            } else {
                velk::ConversionCount unused;
                const double scaled = scale > 0.0f ? static_cast<double>(v) / scale * 1925431424.0 : 0.0;
                fz::Require(row[k] == static_cast<float>(velk::NearestInt32Checked(scaled, unused)), "int32 sample");
            }
        }
        if (withRecords && records[i].latitude > -1000.0f && std::fabs(records[i].latitude) < 1e30f) {
            fz::Require(std::fabs(target.HeaderExAt(i).latitude - records[i].latitude) <=
                            1e-6 + std::fabs(records[i].latitude) * 1e-6,
                        "latitude");
        }
    }
    return 0;
}
