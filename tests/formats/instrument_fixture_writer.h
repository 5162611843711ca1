#pragma once
// A test-only generator of the 8-header family, the instrument .ORG records and the loggers'
// files, written byte by byte from the layouts as documented, without the program's readers or
// writers, so that a test of a reader does not rest on the writer it is meant to check. The
// fixtures of tests/data and the fuzz seeds come from here too.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velk::testing::instrumentfixture {

using Bytes = std::vector<uint8_t>;

void PutI16(Bytes& b, size_t at, int16_t v);
void PutI32(Bytes& b, size_t at, int32_t v);
void PutF32(Bytes& b, size_t at, float v);
void PutText(Bytes& b, size_t at, const std::string& text);

// One trace of an 8-header file: eight words and the samples that follow. `declared` is the
// count word (the number of samples unless a test wants them to differ).
struct EightHeaderTrace {
    int32_t number = 0, receiver = 0, source = 0, gain = 0, component = 1;
    float delayUs = 0.0f, intervalUs = 0.0f;
    std::optional<int32_t> declared;  // none: samples.size()
    std::vector<float> samples;
};
// The current layout; with integerTimes the oldest one (delay and interval as int32).
Bytes EightHeaderFile(const std::vector<EightHeaderTrace>& traces, bool integerTimes = false);
// The text form: "%d %d %d %d %d %f %f %d" then the samples, one trace per line.
std::string EightHeaderText(const std::vector<EightHeaderTrace>& traces);

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
Bytes OrgFile(const OrgRecord& r);

// A Torvane9 text: the header line with the three range fields and the interval field, then
// `values` integers (channel after channel), ten per line.
std::string Torvane9Text(const std::string& range1, const std::string& range2, const std::string& range3,
                         int intervalUs, int values);

// A Kesh file: the 156-byte header with the counts, then per trace a 20-byte header and the
// float samples.
Bytes KeshFile(int16_t traces, int16_t samples, const std::vector<std::vector<float>>& data);

// A shuttle file (interval text at 76) or a suspension file (intervals A and B at 88 and 91),
// then blocks of 1024 int16: block b sample m holds value(b, m).
Bytes ShuttleFile(const std::string& intervalText, int blocks, int (*value)(int, int));
Bytes SuspensionFile(const std::string& intervalA, const std::string& intervalB, int blocks, int (*value)(int, int));

}  // namespace velk::testing::instrumentfixture
