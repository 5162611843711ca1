#include "seg2_fixture_writer.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

namespace velk::testing::seg2fixture {

namespace {

void Add16(std::vector<uint8_t>& b, uint32_t v)
{
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void Add32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void Set16(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Set32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::vector<uint8_t> List(const std::vector<std::string>& strings)
{
    std::vector<uint8_t> b;
    for (const std::string& s : strings) {
        Add16(b, static_cast<uint32_t>(2 + s.size() + 1));
        b.insert(b.end(), s.begin(), s.end());
        b.push_back(0);
    }
    Add16(b, 0);
    return b;
}

std::string Printf(const char* format, double v)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

void Swap(std::vector<uint8_t>& b, size_t at, size_t width)
{
    if (at + width <= b.size()) std::reverse(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + width));
}

uint32_t Get16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t Get32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

}  // namespace

std::vector<uint8_t> Int16Data(const std::vector<int16_t>& values)
{
    std::vector<uint8_t> b;
    for (int16_t v : values) Add16(b, static_cast<uint16_t>(v));
    return b;
}

std::vector<uint8_t> Int32Data(const std::vector<int32_t>& values)
{
    std::vector<uint8_t> b;
    for (int32_t v : values) Add32(b, static_cast<uint32_t>(v));
    return b;
}

std::vector<uint8_t> Float32Data(const std::vector<float>& values)
{
    std::vector<uint8_t> b;
    for (float v : values) Add32(b, std::bit_cast<uint32_t>(v));
    return b;
}

std::vector<uint8_t> Float64Data(const std::vector<double>& values)
{
    std::vector<uint8_t> b;
    for (double v : values) {
        const uint64_t bits = std::bit_cast<uint64_t>(v);
        for (int i = 0; i < 8; ++i) b.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    }
    return b;
}

std::vector<uint8_t> Packed20Data(const std::vector<Packed20>& samples, bool wholeGroups)
{
    std::vector<uint8_t> b;
    for (size_t g = 0; g * 4 < samples.size(); ++g) {
        uint32_t shifts = 0;
        for (size_t s = 0; s < 4 && g * 4 + s < samples.size(); ++s)
            shifts |= static_cast<uint32_t>(samples[g * 4 + s].shift & 0xF) << (4 * s);
        Add16(b, shifts);
        for (size_t s = 0; s < 4; ++s) {
            const int16_t m = g * 4 + s < samples.size() ? samples[g * 4 + s].mantissa : 0;
            Add16(b, static_cast<uint16_t>(m));
        }
    }
    if (!wholeGroups) b.resize(samples.size() * 5 / 2);
    return b;
}

std::vector<uint8_t> WriteStandard(const File& file)
{
    const size_t n = file.traces.size();
    const uint32_t m = static_cast<uint32_t>(4 * n + file.extraPointerRoom);
    std::vector<uint8_t> b(32 + m, 0);
    Set16(b, 0, 0x3A55);
    Set16(b, 2, file.revision);
    Set16(b, 4, m);
    Set16(b, 6, static_cast<uint32_t>(n));
    b[8] = 1;     // string terminator: one NUL
    b[11] = 1;    // line terminator: LF
    b[12] = 0x0A;
    const std::vector<uint8_t> fileList = List(file.strings);
    b.insert(b.end(), fileList.begin(), fileList.end());
    while (b.size() % 4 != 0) b.push_back(0);
    for (size_t i = 0; i < n; ++i) {
        const Trace& t = file.traces[i];
        Set32(b, 32 + 4 * i, static_cast<uint32_t>(b.size()));
        const std::vector<uint8_t> list = List(t.strings);
        const size_t natural = (32 + list.size() + 3) / 4 * 4;
        const size_t blockSize = t.blockSize ? t.blockSize : natural;
        std::vector<uint8_t> block(std::max(blockSize, 32 + list.size()), 0);
        Set16(block, 0, 0x4422);
        Set16(block, 2, static_cast<uint32_t>(blockSize));
        Set32(block, 4, t.dataSizeField.value_or(static_cast<uint32_t>(t.data.size())));
        Set32(block, 8, t.samples);
        block[12] = static_cast<uint8_t>(t.code);
        std::copy(list.begin(), list.end(), block.begin() + 32);
        block.resize(blockSize);  // a block size chosen too small cuts the list (bad-file tests)
        b.insert(b.end(), block.begin(), block.end());
        b.insert(b.end(), t.data.begin(), t.data.end());
    }
    return b;
}

Trace MakeTrace(int code, uint32_t samples, std::vector<uint8_t> data, double intervalSeconds, double receiver,
                double source)
{
    Trace t;
    t.code = code;
    t.samples = samples;
    t.data = std::move(data);
    t.strings = {"CHANNEL_NUMBER 1", "DELAY 0.000", Printf("RECEIVER_LOCATION %.2f", receiver),
                 Printf("SAMPLE_INTERVAL %g", intervalSeconds), Printf("SOURCE_LOCATION %.2f", source)};
    return t;
}

std::vector<uint8_t> ToBigEndian(const std::vector<uint8_t>& le)
{
    std::vector<uint8_t> b = le;
    if (b.size() < 32) return b;
    const uint32_t n = Get16(le, 6);
    for (size_t at : {0, 2, 4, 6}) Swap(b, at, 2);
    for (uint32_t i = 0; i < n; ++i) {
        const size_t at = 32 + 4 * static_cast<size_t>(i);
        if (at + 4 > le.size()) break;
        const uint32_t p = Get32(le, at);
        Swap(b, at, 4);
        if (p + 32 > le.size()) continue;
        const uint32_t blockSize = Get16(le, p + 2);
        const uint32_t dataSize = Get32(le, p + 4);
        const int code = le[p + 12];
        Swap(b, p, 2);
        Swap(b, p + 2, 2);
        Swap(b, p + 4, 4);
        Swap(b, p + 8, 4);
        const size_t width = code == 1 ? 2 : code == 5 ? 8 : code == 3 ? 2 : 4;
        for (size_t d = 0; d + width <= dataSize; d += width) Swap(b, p + blockSize + d, width);
    }
    return b;
}

std::vector<uint8_t> WriteOldLayout(const std::vector<OldTrace>& traces, int code, float scale)
{
    const size_t n = traces.size();
    std::vector<uint8_t> b(32 + 4 * n + 512, 0);
    Set16(b, 0, 0x3A55);
    Set16(b, 2, 1);
    Set16(b, 4, static_cast<uint32_t>(4 * n));
    Set16(b, 6, static_cast<uint32_t>(n));
    b[8] = 1;
    b[11] = 1;
    b[12] = 0x0A;
    // "NOTE" as four 16-bit values.
    const size_t fileBlock = 32 + 4 * n;
    Set16(b, fileBlock, 78);
    Set16(b, fileBlock + 2, 79);
    Set16(b, fileBlock + 4, 84);
    Set16(b, fileBlock + 6, 69);
    size_t p = 544 + 4 * n;
    for (size_t i = 0; i < n; ++i) {
        const OldTrace& t = traces[i];
        const size_t ns = t.samples.size();
        Set32(b, 32 + 4 * i, static_cast<uint32_t>(p));
        const size_t end = std::max(p + 512 + 4 * ns, p + 1072);
        if (b.size() < end) b.resize(end, 0);
        Set16(b, p, 0x4422);
        Set16(b, p + 2, 512);
        Set32(b, p + 4, static_cast<uint32_t>(4 * ns));
        Set32(b, p + 8, static_cast<uint32_t>(ns));
        b[p + 12] = static_cast<uint8_t>(code);
        const std::vector<std::string> strings = {
            "ACQUISITION_DATE 01/01/2001",
            "ACQUISITION_TIME 00:00:00",
            "CLIENT ZAV_CORPORATION",
            "COMPANY ZAV_CORPORATION",
            Printf("*DELAY %f", t.delayUs * 1e-6),
            "GENERAL_CONSTANT 1",
            "INSTRUMENT VELKARINE",
            "JOB_ID 1",
            "OBSERVER ZAV_CORPORATION",
            "PROCESSING_DATE 01/01/2001",
            "PROCESSING_TIME 00:00:00",
            Printf("RECEIVER_LOCATION %f", t.receiverHundredths * 0.01),
            Printf("SAMPLE_INTERVAL %.8f", t.intervalUs * 0.001 * 0.001),
            Printf("SOURCE_LOCATION %f", t.sourceHundredths * 0.01),
            "TRACE_SORT COMMON_SOURCE",
            "TRACE_TYPE " + std::to_string(t.component),
            "*UNITS METERS",
            "NOTE",
        };
        // The 1024-byte string buffer from P + 48 ...
        std::vector<uint8_t> buffer(1024, 0);
        size_t at = 0;
        for (size_t s = 0; s < strings.size(); ++s) {
            std::copy(strings[s].begin(), strings[s].end(), buffer.begin() + static_cast<std::ptrdiff_t>(at));
            at += strings[s].size() + 1;
            if (s + 1 < strings.size()) at += 2;
        }
        std::copy(buffer.begin(), buffer.end(), b.begin() + static_cast<std::ptrdiff_t>(p + 48));
        // ... then the samples from P + 512 over its tail.
        for (size_t k = 0; k < ns; ++k) {
            uint32_t bits;
            if (code == 4) {
                bits = std::bit_cast<uint32_t>(t.samples[k]);
            } else {
                bits = static_cast<uint32_t>(static_cast<int32_t>(t.samples[k] / scale * 1925431424.0));
            }
            Set32(b, p + 512 + 4 * k, bits);
        }
        p += 512 + 4 * ns;
    }
    return b;
}

std::vector<NamedFixture> StandardFixtures()
{
    std::vector<NamedFixture> out;
    {
        File f;
        f.traces.push_back(MakeTrace(1, 6, Int16Data({0, 1, -1, 32767, -32768, 100}), 0.0005, 0.0, -1.0));
        f.traces.push_back(MakeTrace(1, 3, Int16Data({7, -7, 12345}), 0.0005, 2.5, -1.0));
        out.push_back({"seg2-code1-int16.sg2", "standard layout, data code 1 (int16), 2 traces of 6 and 3 samples",
                       WriteStandard(f)});
    }
    {
        File f;
        f.traces.push_back(MakeTrace(2, 6, Int32Data({0, 1, -1, 2147483647, -2147483647 - 1, 123456789}), 0.001, 10.0, 0.0));
        out.push_back({"seg2-code2-int32.sg2", "standard layout, data code 2 (int32), 1 trace of 6 samples", WriteStandard(f)});
    }
    {
        File f;
        const std::vector<Packed20> samples = {{-1, 5}, {-32768, 0}, {1, 15}, {32767, 15}, {-2, 3}, {100, 2}, {-5, 1}};
        f.traces.push_back(MakeTrace(3, 7, Packed20Data(samples), 0.000125, 1.0, 0.0));
        out.push_back({"seg2-code3-20bit.sg2",
                       "standard layout, data code 3 (20-bit packed), 1 trace of 7 samples (a partial last group)",
                       WriteStandard(f)});
    }
    {
        File f;
        f.traces.push_back(MakeTrace(4, 4, Float32Data({1.5f, -2.25f, 1e-30f, 3.4e38f}), 0.00025, 5.0, -2.3));
        out.push_back({"seg2-code4-float32.sg2", "standard layout, data code 4 (float32), 1 trace of 4 samples",
                       WriteStandard(f)});
    }
    {
        File f;
        f.traces.push_back(MakeTrace(5, 3, Float64Data({0.125, -1e10, 3.0}), 0.002, 7.5, 100.0));
        out.push_back({"seg2-code5-float64.sg2", "standard layout, data code 5 (float64), 1 trace of 3 samples",
                       WriteStandard(f)});
    }
    {
        OldTrace a;
        a.receiverHundredths = 250;
        a.sourceHundredths = -230;
        a.delayUs = -2000.0f;
        a.intervalUs = 250.0f;
        a.samples = {1.0f, -0.5f, 0.25f};
        OldTrace b = a;
        b.receiverHundredths = 500;
        b.component = 3;
        b.samples = std::vector<float>(200, 0.75f);
        out.push_back({"seg2-old-layout.sg2",
                       "the older layout of the first SEG-2 writer (strings at P + 48 without distances), code 4, 2 traces",
                       WriteOldLayout({a, b})});
    }
    return out;
}

}  // namespace velk::testing::seg2fixture
