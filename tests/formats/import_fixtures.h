#pragma once
// A test-only generator of the files the strong-motion, memory-recorder and text/binary import
// readers take, written from the layouts the readers are specified by (not from the readers):
// station files of the three kinds, set files, 8840 and 8826 memory-recorder files, key files
// and every text layout. Used by the tests, the recorddump fixtures of tests/data and the fuzz
// seeds. Header-only, so that every test target can use it without a library.

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace velk::testing::importfixture {

using Bytes = std::vector<uint8_t>;

inline Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// printf in the C locale is what every number here needs; the generator formats with
// snprintf, which tests run in the C locale.
template <class... A>
std::string Format(const char* format, A... args)
{
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

// A label padded to column 18, then the value.
inline std::string Field(const char* label, const std::string& value)
{
    std::string line = label;
    line.resize(18, ' ');
    return line + value + "\n";
}

inline void PutI32(Bytes& b, int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(u >> (8 * i)));
}
inline void PutF32(Bytes& b, float v)
{
    uint32_t u = 0;
    std::memcpy(&u, &v, 4);
    PutI32(b, static_cast<int32_t>(u));
}
inline void PutText(Bytes& b, const std::string& text, size_t size)
{
    std::string field = text.substr(0, size - 1);
    field.resize(size, '\0');
    b.insert(b.end(), field.begin(), field.end());
}
inline void PutI16BE(Bytes& b, int16_t v)
{
    const auto u = static_cast<uint16_t>(v);
    b.push_back(static_cast<uint8_t>(u >> 8));
    b.push_back(static_cast<uint8_t>(u));
}

// ---------------------------------------------------------------------------------------------
// Station files

struct StationText {
    std::string code = "TST001";
    double epicentreLatitude = 36.0;
    double epicentreLongitude = 137.1667;
    double stationLatitude = 36.1;
    double stationLongitude = 137.3;
    std::string recordTime = "2003/09/26 04:50:07";
    int frequency = 100;
    int duration = 1;
    int numerator = 7845;
    int denominator = 8223790;
    double maximumAcceleration = 12.5;
    std::vector<int> counts;  // the samples; fewer than duration x frequency makes a short file
};

// The 17-line header and the counts, eight to a line.
inline std::string StationTextFile(const StationText& s)
{
    std::string t;
    t += Field("Origin Time", "2003/09/26 04:50:00");
    t += Field("Lat.", Format("%.3f", s.epicentreLatitude));
    t += Field("Long.", Format("%.4f", s.epicentreLongitude));
    t += Field("Depth. (km)", "42");
    t += Field("Mag.", "8.0");
    t += Field("Station Code", s.code);
    t += Field("Station Lat.", Format("%.4f", s.stationLatitude));
    t += Field("Station Long.", Format("%.4f", s.stationLongitude));
    t += Field("Station Height(m)", "30");
    t += Field("Record Time", s.recordTime);
    t += Field("Sampling Freq(Hz)", Format("%dHz", s.frequency));
    t += Field("Duration Time(s)", Format("%d", s.duration));
    t += Field("Dir.", "N-S");
    t += Field("Scale Factor", Format("%d(gal)/%d", s.numerator, s.denominator));
    t += Field("Max. Acc. (gal)", Format("%.3f", s.maximumAcceleration));
    t += Field("Last Correction", "2003/09/26 04:49:52");
    t += Field("Memo.", "");
    for (size_t i = 0; i < s.counts.size(); ++i) t += Format("%8d", s.counts[i]) + ((i % 8 == 7) ? "\n" : "");
    t += "\n";
    return t;
}

// "NDATA=" file: the count in columns 6-10 and the interval (s) in columns 27-32, then values.
inline std::string StationNDataFile(int count, double intervalSeconds, const std::vector<double>& values)
{
    std::string first = Format("NDATA=%5d", count);
    first.resize(27, ' ');
    first += Format("%6.4f", intervalSeconds);
    std::string t = first + "\n";
    for (size_t i = 0; i < values.size(); ++i) t += Format(" %.6g", values[i]) + ((i % 5 == 4) ? "\n" : "");
    return t + "\n";
}

// Binary file: "BINARY" line, the count in columns 6-11 of line 2, the scale at the start of
// line 3 and the interval (s) in its columns 15-20, then the samples as little-endian int32 at
// the end of the file.
inline Bytes StationBinaryFile(int count, double scale, double intervalSeconds, const std::vector<int32_t>& values)
{
    std::string t = "BINARY DATA\n";
    t += Format("COUNT %6d\n", count);
    std::string third = Format("%.6g", scale);
    third.resize(15, ' ');
    third += Format("%6.4f", intervalSeconds);
    t += third + "\n";
    Bytes b = ToBytes(t);
    for (int32_t v : values) PutI32(b, v);
    return b;
}

// ---------------------------------------------------------------------------------------------
// Set file, encoded here from the layout (independently of the set's writer).

struct SgmRecord {
    int32_t words[8] = {0, 0, 0, 0, 1, 0, 0, 0};  // header words; 5 and 6 are floats (bits)
    float delayUs = 0.0f;
    float intervalUs = 10000.0f;
    std::string stationCode;
    std::array<int32_t, 6> recordTime{2003, 9, 26, 4, 50, 7};
    float stationLatitude = 0.0f;
    float stationLongitude = 0.0f;
    std::string componentLabel;
    float azimuth = 0.0f;
    std::vector<float> samples;
};
struct SgmStation {
    std::string name;
    std::vector<SgmRecord> records;
};

inline Bytes SgmFile(int traceCount, std::array<int32_t, 6> earthquakeTime, const std::vector<SgmStation>& stations)
{
    Bytes b;
    PutText(b, Format("%d %d", static_cast<int>(stations.size()), traceCount), 1024);
    for (int32_t v : earthquakeTime) PutI32(b, v);
    for (const SgmStation& s : stations) {
        PutI32(b, static_cast<int32_t>(s.records.size()));
        PutText(b, s.name, 512);
        for (const SgmRecord& r : s.records) {
            const size_t at = b.size();
            for (int i = 0; i < 5; ++i) PutI32(b, r.words[i]);
            PutF32(b, r.delayUs);
            PutF32(b, r.intervalUs);
            PutI32(b, r.words[7]);
            PutI32(b, 1);                                     // flag
            for (int32_t v : {1900, 1, 1, 0, 0, 0}) PutI32(b, v);  // origin time
            PutF32(b, 0.0f);
            PutF32(b, 0.0f);
            PutI32(b, 0);
            PutI32(b, 0);
            PutText(b, r.stationCode, 512);
            PutF32(b, r.stationLatitude);
            PutF32(b, r.stationLongitude);
            PutI32(b, 0);
            for (int32_t v : r.recordTime) PutI32(b, v);
            PutI32(b, 100);                                   // sampling frequency
            PutI32(b, 1);                                     // duration
            PutText(b, "", 512);
            PutF32(b, 1.0f);                                  // scale factor
            PutF32(b, 0.0f);                                  // maximum acceleration
            for (int32_t v : {1900, 1, 1, 0, 0, 0}) PutI32(b, v);  // reserved time
            PutText(b, "", 512);
            PutText(b, r.componentLabel, 512);
            for (float v : {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f}) PutF32(b, v);  // offsets, X, Y
            PutF32(b, r.azimuth);
            PutI32(b, 0);
            if (b.size() - at != 2232) std::abort();
            PutI32(b, static_cast<int32_t>(r.samples.size()));
            for (float v : r.samples) PutF32(b, v);
        }
    }
    return b;
}


// ---------------------------------------------------------------------------------------------
// Memory recorders

// The 8840 file: the header's fields at their offsets, a 28-byte record per recorded channel
// (range at 4, unit at 7), the 12-bit codes big-endian from byte 2048, channel after channel.
struct Hioki8840 {
    std::string samplesText = "4";      // offset 83, 7 characters
    std::string samplingTime = "100";   // offset 93, 3 characters (x 0.00001 ms)
    std::string flags = "1100000000000000";
    std::vector<std::string> ranges = {"5", "2"};  // per recorded channel
    std::vector<std::string> units = {"mV", "V"};
    std::vector<std::vector<uint16_t>> codes;       // per recorded channel
};
inline Bytes Hioki8840File(const Hioki8840& h)
{
    Bytes b(2048, 0);
    auto put = [&](size_t at, const std::string& text) { std::memcpy(b.data() + at, text.data(), text.size()); };
    put(0, "8840");
    put(83, h.samplesText);
    put(93, h.samplingTime);
    put(116, h.flags);
    for (size_t i = 0; i < h.ranges.size(); ++i) {
        put(134 + 28 * i + 4, h.ranges[i]);
        put(134 + 28 * i + 7, h.units[i]);
    }
    for (const auto& channel : h.codes) {
        for (uint16_t c : channel) {
            b.push_back(static_cast<uint8_t>(c >> 8));
            b.push_back(static_cast<uint8_t>(c));
        }
    }
    return b;
}

// The 8826/8841/8842 file: the file header (samples at 72, sampling time at 144, channel flags
// at 408), a 512-byte header per recorded channel (range at 47), blocks up to `headerBlocks`,
// then per sample index one big-endian int16 per channel.
struct Hioki8826 {
    std::string samplesText = "3";
    std::string samplingTime = "100us";  // x 0.001 ms
    std::string flags = "11";
    std::vector<std::string> ranges = {"5V", "500mV"};
    int headerBlocks = 3;                 // file header + channel headers (+ padding)
    std::vector<std::vector<int16_t>> samples;  // per channel
};
inline Bytes Hioki8826File(const Hioki8826& h)
{
    Bytes b(static_cast<size_t>(h.headerBlocks) * 512, 0);
    auto put = [&](size_t at, const std::string& text) {
        if (at + text.size() <= b.size()) std::memcpy(b.data() + at, text.data(), text.size());
    };
    put(0, "8826");
    put(12, "MEMORY HiCORDER");
    put(24, "2003-09-26");
    put(72, h.samplesText);
    put(144, h.samplingTime);
    put(408, h.flags);
    for (size_t i = 0; i < h.ranges.size(); ++i) {
        put(512 * (i + 1), "CH" + std::to_string(i + 1) + "\n");
        put(512 * (i + 1) + 47, h.ranges[i]);
    }
    const size_t n = h.samples.empty() ? 0 : h.samples[0].size();
    for (size_t k = 0; k < n; ++k) {
        for (const auto& channel : h.samples) PutI16BE(b, channel[k]);
    }
    return b;
}

// ---------------------------------------------------------------------------------------------
// Text layouts

// Numbers, eight to a line.
inline std::string Numbers(const std::vector<double>& values)
{
    std::string t;
    for (size_t i = 0; i < values.size(); ++i) t += Format(" %.9g", values[i]) + ((i % 8 == 7) ? "\n" : "");
    return t + "\n";
}

// Morvath's text: five lines (line 2 with "Data"), line 6 with one "V" per trace, then rows
// of a time and the values.
inline std::string MorvathFile(int traces, const std::vector<std::vector<double>>& rows)
{
    std::string t = "Morvath export\nData file\nx\nx\nx\nTime";
    for (int i = 0; i < traces; ++i) t += Format(" CH%d[V]", i + 1);
    t += "\n";
    for (const auto& row : rows) {
        for (double v : row) t += Format(" %.9g", v);
        t += "\n";
    }
    return t;
}

// The laser doppler export: label, n, r; seven words; seven blocks; the intervals (ms), delays,
// a skipped block, the sample counts; r rows of a row number and n values.
inline std::string LaserDopplerFile(const std::vector<double>& intervals, const std::vector<double>& delays,
                                    const std::vector<int>& counts, const std::vector<std::vector<double>>& rows)
{
    const size_t n = intervals.size();
    std::string t = Format("Vibrometer %d %d\n", static_cast<int>(n), static_cast<int>(rows.size()));
    t += "a b c d e f g\n";
    auto block = [&](const char* label, const std::vector<double>& v) {
        t += label;
        for (double x : v) t += Format(" %.9g", x);
        t += "\n";
    };
    for (int b = 0; b < 7; ++b) block("Block", std::vector<double>(n, 1.0));
    block("Interval", intervals);
    block("Delay", delays);
    block("Skip", std::vector<double>(n, 0.0));
    t += "Count";
    for (int c : counts) t += Format(" %d", c);
    t += "\n";
    for (size_t r = 0; r < rows.size(); ++r) {
        t += Format("%d", static_cast<int>(r));
        for (double v : rows[r]) t += Format(" %.9g", v);
        t += "\n";
    }
    return t;
}

// Lines of "group time value".
inline std::string DwmFile(const std::vector<int>& groups, double step)
{
    std::string t;
    for (size_t i = 0; i < groups.size(); ++i) t += Format("%d %.6f %.6f\n", groups[i], (i + 1) * step, 0.5 * static_cast<double>(i));
    return t;
}

// Pairs of a time (s) and a value.
inline std::string PairsFile(int pairs, double step)
{
    std::string t;
    for (int i = 0; i < pairs; ++i) t += Format("%.6f %.6f\n", i * step, static_cast<double>(i % 7) - 3.0);
    return t;
}

// Little-endian int32 words.
inline Bytes Int32Words(const std::vector<int32_t>& words)
{
    Bytes b;
    for (int32_t w : words) PutI32(b, w);
    return b;
}

}  // namespace velk::testing::importfixture
