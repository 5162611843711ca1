// Writes the SEG-2 test fixtures into a folder: the standard-layout files of every data code and
// the older layout (seg2_fixture_writer), and files of our own writer (float, int32, a grown
// block). The fuzz corpora of the SEG-2 readers are seeded from its output:
//
//     build/tests/formats/seg2_fixtures fuzz/corpus/seg2_read
#include <cstdio>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "formats/seg2.h"
#include "platform/byte_io.h"
#include "seg2_fixture_writer.h"

namespace {

bool Save(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<uint8_t> Written(int code, bool grown)
{
    velk::Matrix2D<float> rows(0, 1, 0, 15);
    std::vector<velk::CTraceHeader> headers(2);
    std::vector<velk::CTraceHeaderEx> records(2);
    for (int i = 0; i < 2; ++i) {
        for (int k = 0; k < 8 + i; ++k) rows[i][k] = 0.25f * static_cast<float>(k) - static_cast<float>(i);
        headers[i].Set(i, 1250 + 500 * i, -230, 0, 1 + i, -2000.0f, 250.0f, 8 + i);
        if (grown) {
            headers[i].receiverHundredths = std::numeric_limits<int32_t>::min();
            headers[i].delayUs = -3.0e38f;
            records[i].latitude = 3.0e38f;
            records[i].longitude = 139.5f;
        }
    }
    velk::ByteSink sink;
    const velk::WriteStatus status = velk::WriteSeg2(
        sink, rows, headers, 2, code, 2.0f,
        grown ? std::span<const velk::CTraceHeaderEx>(records) : std::span<const velk::CTraceHeaderEx>());
    if (!status) std::fprintf(stderr, "seg2_fixtures: %s\n", status.error.c_str());
    return sink.Bytes();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: seg2_fixtures <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    for (const auto& f : velk::testing::seg2fixture::StandardFixtures()) ok &= Save(folder + "/" + f.name, f.bytes);
    ok &= Save(folder + "/velk-float.sg2", Written(4, false));
    ok &= Save(folder + "/velk-int32.sg2", Written(2, false));
    ok &= Save(folder + "/velk-grown.sg2", Written(4, true));
    return ok ? 0 : 1;
}
