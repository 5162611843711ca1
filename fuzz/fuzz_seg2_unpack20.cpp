// Unpack20BitSamples: the first two bytes give the sample count, the rest is the packed data.
// Every value is checked against a plain decoding of the standard's rule, with bytes past the
// data read as zero.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/seg2.h"
#include "fuzz/reader_harness.h"

namespace {

int Byte(const uint8_t* p, size_t n, size_t at) { return at < n ? p[at] : 0; }

int32_t Reference(const uint8_t* p, size_t n, size_t i)
{
    const size_t base = i / 4 * 10;
    const int shifts = Byte(p, n, base) | (Byte(p, n, base + 1) << 8);
    const size_t m0 = base + 2 + 2 * (i % 4);
    int m = Byte(p, n, m0) | (Byte(p, n, m0 + 1) << 8);
    if (m >= 32768) m -= 65536;
    if (m < 0) m += 1;  // one's complement
    const int e = (shifts >> (4 * (i % 4))) & 15;
    return static_cast<int32_t>(static_cast<int64_t>(m) << e);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    const size_t count = (data[0] | (data[1] << 8)) % 4097;
    const uint8_t* packed = data + 2;
    const size_t n = size - 2;
    std::vector<uint8_t> exact(packed, packed + n);  // exactly n bytes, so overreads are seen
    std::vector<int32_t> out(count, 99);
    velk::Unpack20BitSamples(exact, out);
    for (size_t i = 0; i < count; ++i)
        velk::fuzzing::Require(out[i] == Reference(exact.data(), n, i), "a sample that is not the standard's value");
    return 0;
}
