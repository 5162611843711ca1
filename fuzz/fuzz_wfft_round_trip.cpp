// The time-frequency exchange file, written from a record and read by the viewer: whatever the
// record, the window and the range, the viewer reads every panel the writer wrote, and the
// values it holds write back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "base/matrix2d.h"
#include "nordalis/panel_data.h"
#include "platform/byte_io.h"
#include "survey/wfft_export.h"

namespace {

void Require(bool condition, const char* rule)
{
    if (!condition) {
        std::fprintf(stderr, "wfft round trip: %s\n", rule);
        std::abort();
    }
}

// The panels as the viewer holds them, in the file's layout.
std::vector<uint8_t> Bytes(const velk::nordalis::PanelData& d)
{
    velk::ByteSink sink;
    constexpr auto le = velk::ByteOrder::Little;
    sink.WriteI32(d.n1, le);
    sink.WriteI32(d.n2, le);
    sink.WriteI32(d.n3, le);
    sink.WriteF32(d.timeStep, le);
    sink.WriteF32(d.frequencyStep, le);
    if (d.HasValues()) {
        for (int i = 0; i < d.n1; ++i) {
            for (int j = 0; j < d.n2; ++j) {
                for (int k = 0; k < d.n3; ++k) sink.WriteF32(d.values(i, j, k), le);
            }
        }
    }
    return sink.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Bytes 0..3: traces (1..4), samples (1..256), window length (4..64) and range (0..3);
    // bytes 4..7: the sample interval (float); then the samples, row after row.
    if (size < 8) return 0;
    const int traces = 1 + data[0] % 4;
    const int samples = 1 + data[1];
    const int window = 4 << (data[2] % 5);
    const int range = data[3] % 4;
    float intervalUs = 0.0f;
    std::memcpy(&intervalUs, data + 4, sizeof intervalUs);
    velk::Matrix2D<float> rows(0, traces - 1, 0, 511);
    size_t at = 8;
    for (int t = 0; t < traces; ++t) {
        for (int k = 0; k < samples && at + 4 <= size; ++k, at += 4) std::memcpy(&rows[t][k], data + at, 4);
    }
    std::vector<int> selected;
    for (int t = traces - 1; t >= 0; --t) selected.push_back(t);

    const velk::WfftLayout layout = velk::MakeWfftLayout(samples, window, range, intervalUs);
    velk::ByteSink written;
    velk::WriteWfft(written, rows, selected, samples, layout);
    velk::ByteSource source = velk::ByteSource::FromSpan(std::span<const uint8_t>(written.Bytes()));
    const velk::nordalis::WfftReadResult read = velk::nordalis::ReadWfft(source, "wfft.dat");
    Require(read.message.empty(), "the viewer refuses what the writer wrote");
    Require(Bytes(read.data) == written.Bytes(), "the viewer holds other values than the file");
    return 0;
}
