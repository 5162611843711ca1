#pragma once
// A test-only generator of the 8-header family, the instrument .ORG records and the loggers'
// files, written byte by byte from the layouts as documented, without the program's readers or
// writers, so that a test of a reader does not rest on the writer it is meant to check. The
// fixtures of tests/data and the fuzz seeds come from here too.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace velk::testing::instrumentfixture {

using Bytes = std::vector<uint8_t>;

inline void PutI16(Bytes& b, size_t at, int16_t v)
{
    if (b.size() < at + 2) b.resize(at + 2, 0);
    b[at] = static_cast<uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<uint8_t>((static_cast<uint16_t>(v) >> 8) & 0xFF);
}

inline void PutI32(Bytes& b, size_t at, int32_t v)
{
    if (b.size() < at + 4) b.resize(at + 4, 0);
    const uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>((u >> (8 * i)) & 0xFF);
}

inline void PutF32(Bytes& b, size_t at, float v) { PutI32(b, at, std::bit_cast<int32_t>(v)); }

inline void PutText(Bytes& b, size_t at, const std::string& text)
{
    if (b.size() < at + text.size()) b.resize(at + text.size(), 0);
    for (size_t i = 0; i < text.size(); ++i) b[at + i] = static_cast<uint8_t>(text[i]);
}

// One trace of an 8-header file: eight words and the samples that follow. `declared` is the
// count word (the number of samples unless a test wants them to differ).
struct EightHeaderTrace {
    int32_t number = 0, receiver = 0, source = 0, gain = 0, component = 1;
    float delayUs = 0.0f, intervalUs = 0.0f;
    std::optional<int32_t> declared;  // none: samples.size()
    std::vector<float> samples;
};

// An .ORG record: model at 2, channel count, samples, interval and delay texts in the block,
// per channel its gain text, then the samples from 6144 (int16 when width is 2).
struct OrgRecord {
    std::string model = "001Tq470FP";
    std::string channels = "2";
    std::string samples = "4";
    std::string intervalMs = "0.250";
    std::string delayMs = "+0000.000";
    std::vector<std::string> gainsDb;        // one per channel block written
    int width = 4;
    std::vector<std::vector<int32_t>> data;  // traces of raw values, written from 6144
    size_t cutBytes = 0;                     // bytes dropped from the end of the file
};

// The current layout; with integerTimes the oldest one (delay and interval as int32).
inline Bytes EightHeaderFile(const std::vector<EightHeaderTrace>& traces, bool integerTimes = false)
{
    Bytes b;
    for (const EightHeaderTrace& t : traces) {
        const size_t at = b.size();
        PutI32(b, at, t.number);
        PutI32(b, at + 4, t.receiver);
        PutI32(b, at + 8, t.source);
        PutI32(b, at + 12, t.gain);
        PutI32(b, at + 16, t.component);
        if (integerTimes) {
            PutI32(b, at + 20, static_cast<int32_t>(t.delayUs));
            PutI32(b, at + 24, static_cast<int32_t>(t.intervalUs));
        } else {
            PutF32(b, at + 20, t.delayUs);
            PutF32(b, at + 24, t.intervalUs);
        }
        PutI32(b, at + 28, t.declared.value_or(static_cast<int32_t>(t.samples.size())));
        for (size_t k = 0; k < t.samples.size(); ++k) PutF32(b, at + 32 + 4 * k, t.samples[k]);
    }
    return b;
}

// The text form: "%d %d %d %d %d %f %f %d" then the samples, one trace per line.
inline std::string EightHeaderText(const std::vector<EightHeaderTrace>& traces)
{
    std::string text;
    char buf[128];
    for (const EightHeaderTrace& t : traces) {
        std::snprintf(buf, sizeof buf, "%d %d %d %d %d %f %f %d\n", t.number, t.receiver, t.source, t.gain,
                      t.component, static_cast<double>(t.delayUs), static_cast<double>(t.intervalUs),
                      t.declared.value_or(static_cast<int32_t>(t.samples.size())));
        text += buf;
        for (float v : t.samples) {
            std::snprintf(buf, sizeof buf, " %.9g", static_cast<double>(v));
            text += buf;
        }
        text += "\n";
    }
    return text;
}

inline Bytes OrgFile(const OrgRecord& r)
{
    Bytes b(6144, 0);
    PutText(b, 0, "04");
    PutText(b, 2, r.model);
    const size_t block = 2816;
    auto field = [&](size_t at, const std::string& text, size_t cr) {
        PutText(b, block + at, text);
        b[block + cr] = 13;
    };
    field(51, r.channels, 53);
    field(54, r.samples, 58);
    field(59, r.intervalMs, 64);
    field(65, r.delayMs, 74);
    for (size_t c = 0; c < r.gainsDb.size(); ++c) {
        const size_t at = 2928 + 32 * c + 28;
        PutText(b, at, r.gainsDb[c]);
        b[at + r.gainsDb[c].size()] = 13;
    }
    b.resize(std::max<size_t>(b.size(), 6144));
    for (const std::vector<int32_t>& trace : r.data) {
        for (int32_t v : trace) {
            if (r.width == 2) {
                PutI16(b, b.size(), static_cast<int16_t>(v));
            } else {
                PutI32(b, b.size(), v);
            }
        }
    }
    b.resize(b.size() - std::min(r.cutBytes, b.size()));
    return b;
}

// A Torvane9 text: the header line with the three range fields and the interval field, then
// `values` integers (channel after channel), ten per line.
inline std::string Torvane9Text(const std::string& range1, const std::string& range2, const std::string& range3,
                         int intervalUs, int values)
{
    // Columns 0-23 a label, 24-35 the three ranges, 36-40 blanks, 41-43 the interval.
    std::string line = "TORVANE9 FIELD RECORD   ";
    auto padded = [](const std::string& s, size_t w) { return (s + std::string(w, ' ')).substr(0, w); };
    line += padded(range1, 4) + padded(range2, 4) + padded(range3, 4) + "     ";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%3d", intervalUs);
    line += buf;
    std::string text = line + "\r\n";
    for (int i = 0; i < values; ++i) {
        const int channel = i / 990, m = i % 990;
        std::snprintf(buf, sizeof buf, "%d%s", (channel + 1) * 1000 + m - 500, (i % 10 == 9) ? "\r\n" : " ");
        text += buf;
    }
    return text;
}

// A Kesh file: the 156-byte header with the counts, then per trace a 20-byte header and the
// float samples.
inline Bytes KeshFile(int16_t traces, int16_t samples, const std::vector<std::vector<float>>& data)
{
    Bytes b(156, 0);
    PutI16(b, 4, traces);
    PutI16(b, 6, samples);
    int16_t index = 0;
    for (const std::vector<float>& trace : data) {
        const size_t at = b.size();
        PutI16(b, at, ++index);
        PutI16(b, at + 2, 7);
        PutI16(b, at + 4, 11);
        PutI16(b, at + 6, 13);
        PutF32(b, at + 12, 0.5f);
        PutI16(b, at + 16, 17);
        b.resize(at + 20, 0);
        for (float v : trace) PutF32(b, b.size(), v);
    }
    return b;
}

// Logger files: a 1024-byte header, then blocks of 1024 int16, block b sample m = value(b, m).
inline Bytes LoggerBlocks(Bytes b, int blocks, int (*value)(int, int))
{
    b.resize(1024, 0);
    for (int k = 0; k < blocks; ++k)
        for (int m = 0; m < 1024; ++m) PutI16(b, b.size(), static_cast<int16_t>(value(k, m)));
    return b;
}

// A shuttle file (interval text at 76) or a suspension file (intervals A and B at 88 and 91).
inline Bytes ShuttleFile(const std::string& intervalText, int blocks, int (*value)(int, int))
{
    Bytes b(1024, 0);
    PutText(b, 76, intervalText);
    b[76 + intervalText.size()] = 13;
    return LoggerBlocks(std::move(b), blocks, value);
}

inline Bytes SuspensionFile(const std::string& intervalA, const std::string& intervalB, int blocks, int (*value)(int, int))
{
    Bytes b(1024, 0);
    PutText(b, 0, "SUSPENSION LOGGER");
    PutText(b, 88, intervalA);
    PutText(b, 91, intervalB);
    return LoggerBlocks(std::move(b), blocks, value);
}

}  // namespace velk::testing::instrumentfixture
