#include "formats/strong_motion.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "base/position.h"
#include "base/settings_io.h"
#include "dsp/fourier.h"
#include "formats/entry_dialogs.h"
#include "formats/file_roads.h"
#include "formats/load_target.h"
#include "formats/trace_arrays.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "base/plane_coordinates.h"

namespace velk {

namespace {

constexpr double kRadiansPerDegree = 0.017453292522222223;
constexpr double kDegreesPerRadian = 57.29577950560105;
constexpr size_t kLineLimit = 511;  // a header line as the reader keeps it
// Within this many seconds of the earliest record the earthquake time is believed.
constexpr int64_t kEarthquakeWindow = 15;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

std::optional<int32_t> IntAt(std::string_view line, size_t first, size_t width)
{
    return ScanIntPrefix(FixedColumns(line, first, width));
}

std::optional<double> DoubleAt(std::string_view line, size_t first, size_t width)
{
    return ScanDoublePrefix(FixedColumns(line, first, width));
}

// The first word of a text (blanks before it skipped).
std::string FirstWord(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    size_t j = i;
    while (j < text.size() && text[j] != ' ' && text[j] != '\t' && text[j] != '\r' && text[j] != '\n') ++j;
    return std::string(text.substr(i, j - i));
}

// The file name without folder and extension.
std::string Stem(std::string_view fileName)
{
    std::string_view name = FileNamePart(fileName);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
    return std::string(name);
}

float Finite(double value)
{
    ConversionCount ignored;
    return ToFiniteFloat(value, ignored);
}

int32_t TruncatedHundredths(float metres) { return MetresToHundredthsTruncated(metres).value_or(0); }

// --- The set file's fields ---

void WriteTime(ByteSink& sink, const StationDateTime& t)
{
    for (int32_t v : {t.year, t.month, t.day, t.hour, t.minute, t.second}) sink.WriteI32(v, ByteOrder::Little);
}

void WriteTextField(ByteSink& sink, const std::string& text)
{
    std::array<char, kSgmTextSize> field{};
    std::memcpy(field.data(), text.data(), std::min(text.size(), kSgmTextSize - 1));
    sink.WriteBytes(field.data(), field.size());
}

// Little-endian fields of a record already in memory.
class FieldReader {
public:
    explicit FieldReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    int32_t I32()
    {
        uint32_t v = 0;
        for (int b = 3; b >= 0; --b) v = (v << 8) | bytes_[at_ + static_cast<size_t>(b)];
        at_ += 4;
        return static_cast<int32_t>(v);
    }
    float F32() { return std::bit_cast<float>(I32()); }
    StationDateTime Time()
    {
        StationDateTime t;
        t.year = I32();
        t.month = I32();
        t.day = I32();
        t.hour = I32();
        t.minute = I32();
        t.second = I32();
        return t;
    }
    std::string Text()
    {
        const auto* p = reinterpret_cast<const char*>(bytes_.data() + at_);
        // The writer keeps the field's last byte for the terminating NUL, so a text reads as at
        // most kSgmTextSize - 1 characters: what is read is what a save writes back.
        const size_t n = strnlen(p, kSgmTextSize - 1);
        at_ += kSgmTextSize;
        return std::string(p, n);
    }

private:
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
};

std::string_view AsText(ByteSource& file)
{
    file.Seek(0);
    const std::span<const uint8_t> bytes = file.Peek(static_cast<size_t>(file.Size()));
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

const char* RefusalText(int language, StationRefusal refusal)
{
    const bool ja = IsJapanese(language);
    switch (refusal) {
    case StationRefusal::CannotOpen: return ja ? "ファイルを開けません" : "cannot be opened";
    case StationRefusal::NoSamplingFrequency: return ja ? "サンプリング周波数がありません" : "no sampling frequency";
    case StationRefusal::NegativeDuration: return ja ? "継続時間が負です" : "negative duration";
    case StationRefusal::ZeroScale: return ja ? "スケールファクターが 0 です" : "scale factor 0";
    case StationRefusal::BadCount: return ja ? "サンプル数が負です" : "negative number of samples";
    case StationRefusal::ShortBinary: return ja ? "ファイルがサンプルより短いです" : "the file is shorter than its samples";
    case StationRefusal::TooManyStations: return ja ? "観測点が 1024 を超えます" : "more than 1024 stations";
    case StationRefusal::None: break;
    }
    return "";
}

}  // namespace

// ---------------------------------------------------------------------------------------------

int64_t CalendarSeconds(const StationDateTime& t)
{
    // Days from the civil date (proleptic Gregorian), months outside 1..12 carried.
    int64_t y = static_cast<int64_t>(t.year) + FloorDiv(static_cast<int64_t>(t.month) - 1, 12);
    const int64_t m = static_cast<int64_t>(t.month) - 1 - FloorDiv(static_cast<int64_t>(t.month) - 1, 12) * 12 + 1;
    y -= m <= 2 ? 1 : 0;
    const int64_t era = FloorDiv(y, 400);
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5;
    const int64_t days = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy + (static_cast<int64_t>(t.day) - 1) - 719468;
    return days * 86400 + static_cast<int64_t>(t.hour) * 3600 + static_cast<int64_t>(t.minute) * 60 + t.second;
}

// ---------------------------------------------------------------------------------------------

int CStrongMotionTrace::WriteBinary(ByteSink& sink) const
{
    CTraceHeader::WriteBinary(sink);
    sink.WriteI32(flag, ByteOrder::Little);
    WriteTime(sink, originTime);
    sink.WriteF32(epicentreLatitude, ByteOrder::Little);
    sink.WriteF32(epicentreLongitude, ByteOrder::Little);
    sink.WriteI32(reserved1, ByteOrder::Little);
    sink.WriteI32(reserved2, ByteOrder::Little);
    WriteTextField(sink, stationCode);
    sink.WriteF32(stationLatitude, ByteOrder::Little);
    sink.WriteF32(stationLongitude, ByteOrder::Little);
    sink.WriteI32(reserved3, ByteOrder::Little);
    WriteTime(sink, recordTime);
    sink.WriteI32(samplingFrequency, ByteOrder::Little);
    sink.WriteI32(duration, ByteOrder::Little);
    WriteTextField(sink, reservedText1);
    sink.WriteF32(scaleFactor, ByteOrder::Little);
    sink.WriteF32(maximumAcceleration, ByteOrder::Little);
    WriteTime(sink, reservedTime);
    WriteTextField(sink, reservedText2);
    WriteTextField(sink, componentLabel);
    for (float v : {timeOffset, sourceOffset, sourceX, sourceY, stationX, stationY, azimuth})
        sink.WriteF32(v, ByteOrder::Little);
    sink.WriteI32(reserved4, ByteOrder::Little);
    return 1;
}

size_t CStrongMotionTrace::ReadBinary(ByteSource& source)
{
    std::array<uint8_t, kSgmRecordSize> bytes{};
    const size_t got = source.ReadBytes(bytes.data(), bytes.size());
    if (got < bytes.size()) return got;
    ByteSource head = ByteSource::FromSpan(std::span<const uint8_t>(bytes).first(CTraceHeader::kBinarySize));
    CTraceHeader::ReadBinary(head);
    FieldReader r(std::span<const uint8_t>(bytes).subspan(CTraceHeader::kBinarySize));
    flag = r.I32();
    originTime = r.Time();
    epicentreLatitude = r.F32();
    epicentreLongitude = r.F32();
    reserved1 = r.I32();
    reserved2 = r.I32();
    stationCode = r.Text();
    stationLatitude = r.F32();
    stationLongitude = r.F32();
    reserved3 = r.I32();
    recordTime = r.Time();
    samplingFrequency = r.I32();
    duration = r.I32();
    reservedText1 = r.Text();
    scaleFactor = r.F32();
    maximumAcceleration = r.F32();
    reservedTime = r.Time();
    reservedText2 = r.Text();
    componentLabel = r.Text();
    timeOffset = r.F32();
    sourceOffset = r.F32();
    sourceX = r.F32();
    sourceY = r.F32();
    stationX = r.F32();
    stationY = r.F32();
    azimuth = r.F32();
    reserved4 = r.I32();
    return got;
}

// ---------------------------------------------------------------------------------------------

int StrongMotionStation::AddTrace(std::vector<float> values, const CStrongMotionTrace& record)
{
    const int32_t k = record.component;
    if (k < 1 || k > kStationSlots) return -1;
    const auto s = static_cast<size_t>(k - 1);
    if (!filled[s]) ++traceCount;
    filled[s] = true;
    CStrongMotionTrace& slot = slots[s];
    slot = record;
    slot.component = k;
    slot.headerLines = {};
    samples[s].values = std::move(values);
    return samples[s].Count();
}

bool StrongMotionStation::Filled(int slot) const { return slot >= 1 && slot <= kStationSlots && filled[static_cast<size_t>(slot - 1)]; }

// ---------------------------------------------------------------------------------------------

void CCoordinateOrigin::Load(const Profile& profile)
{
    int32_t z = zone;
    if (ReadSettingInt(profile, "iCorollary", z)) zone = z;
    ReadSettingFloat(profile, "LatitudeOrigin", originLatitude);
    ReadSettingFloat(profile, "LongitudeOrigin", originLongitude);
}

void CCoordinateOrigin::Save(Profile& profile) const
{
    WriteSettingInt(profile, "iCorollary", zone);
    WriteSettingFloat(profile, "LatitudeOrigin", originLatitude);
    WriteSettingFloat(profile, "LongitudeOrigin", originLongitude);
}

// ---------------------------------------------------------------------------------------------

std::string StationLoadMessage(int language, const StationLoadReport& report)
{
    std::string text;
    if (!report.refused.empty()) {
        text = Msg(language, "These strong-motion files have not been read:", "次の強震記録ファイルは読み込んでいません:");
        for (const auto& [name, why] : report.refused) text += "\n " + name + " : " + RefusalText(language, why);
    }
    if (report.badZone != 0) {
        if (!text.empty()) text += "\n\n";
        text += FormatC(Msg(language,
                            "The coordinate zone %d is not one of 1 to 19 ! \n The station positions have been set to 0.",
                            "座標系 %d は 1 から 19 のどれでもありません ! \n 観測点の位置を 0 にしました。")
                            .c_str(),
                        report.badZone);
    }
    return text;
}

StationHeader ReadHeaderLines(std::string_view text)
{
    StationHeader header;
    size_t pos = 0;
    auto nextLine = [&](std::string& line) {
        if (pos >= text.size()) {
            line.clear();
            return;
        }
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view l = text.substr(pos, end - pos);
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        line.assign(l.substr(0, std::min(l.size(), kLineLimit)));
        pos = std::min(text.size(), end + 1);
    };
    nextLine(header.lines[0]);
    int lines = kStationHeaderLines;
    if (header.lines[0].find("BINARY") != std::string::npos) {
        header.kind = StationFileKind::Binary;
        lines = 3;
    } else if (header.lines[0].find("NDATA=") != std::string::npos) {
        header.kind = StationFileKind::NData;
        lines = 1;
    }
    for (int i = 1; i < lines; ++i) nextLine(header.lines[static_cast<size_t>(i)]);
    header.dataOffset = pos;
    return header;
}

StationDateTime ParseRecordTime(std::string_view line)
{
    StationDateTime t;
    const std::pair<size_t, size_t> columns[6] = {{18, 4}, {23, 2}, {26, 2}, {29, 2}, {32, 2}, {35, 2}};
    int32_t* fields[6] = {&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second};
    for (size_t i = 0; i < 6; ++i) {
        if (const auto v = IntAt(line, columns[i].first, columns[i].second)) *fields[i] = *v;
    }
    return t;
}

void MeshCodeToLatLon(std::string_view code, double& latitude, double& longitude)
{
    int d[8] = {};
    for (size_t i = 0; i < 8 && i < code.size(); ++i) {
        if (code[i] >= '0' && code[i] <= '9') d[i] = code[i] - '0';
    }
    latitude = (10 * d[0] + d[1]) * 2.0 / 3.0 + d[4] / 12.0 + d[6] / 120.0;
    longitude = 10 * d[2] + d[3] + 100 + d[5] * 0.125 + d[7] * 0.0125;
}

int ComponentFromName(std::string_view fileName, std::string& label)
{
    struct Rule {
        const char* lower;
        const char* upper;
        int component;
        const char* label;
    };
    static constexpr Rule kRules[] = {
        {".ns1", ".NS1", 4, "ns-d"}, {".ew1", ".EW1", 5, "ew-d"}, {".ud1", ".UD1", 6, "ud-d"},
        {".ns", ".NS", 1, "ns"},     {".ew", ".EW", 2, "ew"},     {".ud", ".UD", 3, "ud"},
    };
    for (const Rule& r : kRules) {
        if (fileName.find(r.lower) != std::string_view::npos || fileName.find(r.upper) != std::string_view::npos) {
            label = r.label;
            return r.component;
        }
    }
    label.clear();
    return 0;
}

StationRefusal DecodeTextHeader(const StationHeader& header, CStrongMotionTrace& record, const CCoordinateOrigin& origin,
                                LogSink& log, StationLoadReport& report)
{
    const auto& lines = header.lines;
    std::string text;
    auto line = [&](int n) -> std::string_view { return lines[static_cast<size_t>(n - 1)]; };

    // 1-2. Record time and the two positions.
    record.recordTime = ParseRecordTime(line(10));
    if (const auto v = DoubleAt(line(2), 18, 10)) record.epicentreLatitude = Finite(*v);
    if (const auto v = DoubleAt(line(3), 18, 10)) record.epicentreLongitude = Finite(*v);
    if (const auto v = DoubleAt(line(7), 18, 10)) record.stationLatitude = Finite(*v);
    if (const auto v = DoubleAt(line(8), 18, 10)) record.stationLongitude = Finite(*v);
    text += FormatC("Latitude=%f \n", static_cast<double>(record.epicentreLatitude));
    text += FormatC("Longitude=%f \n", static_cast<double>(record.epicentreLongitude));
    text += FormatC("Station Latitude=%f \n", static_cast<double>(record.stationLatitude));
    text += FormatC("Station Longitude=%f \n", static_cast<double>(record.stationLongitude));

    // 3. Plane coordinates of both in the origin's zone.
    double sx = 0.0, sy = 0.0, rx = 0.0, ry = 0.0;
    const bool known = LatLonToPlaneXY(record.epicentreLatitude * kRadiansPerDegree,
                                       record.epicentreLongitude * kRadiansPerDegree, origin.zone, sx, sy) &&
                       LatLonToPlaneXY(record.stationLatitude * kRadiansPerDegree,
                                       record.stationLongitude * kRadiansPerDegree, origin.zone, rx, ry);
    if (!known) {
        sx = sy = rx = ry = 0.0;
        if (!IsPlaneZone(origin.zone)) report.badZone = origin.zone;
    }
    record.sourceX = Finite(sx);
    record.sourceY = Finite(sy);
    record.stationX = Finite(rx);
    record.stationY = Finite(ry);
    text += FormatC("SourceX=%f SourceY=%f \n", static_cast<double>(record.sourceX), static_cast<double>(record.sourceY));
    text += FormatC("StationX=%f StationY=%f\n", static_cast<double>(record.stationX), static_cast<double>(record.stationY));

    // 4-6. Offset, header words, azimuth.
    const double dx = static_cast<double>(record.stationX) - record.sourceX;
    const double dy = static_cast<double>(record.stationY) - record.sourceY;
    record.sourceOffset = Finite(std::sqrt(dx * dx + dy * dy));
    text += FormatC("xoff(NS)=%f yoff(EW)=%f SourceOffset=%f \n", dx, dy, static_cast<double>(record.sourceOffset));
    record.receiverHundredths = TruncatedHundredths(record.stationX);
    record.sourceHundredths = TruncatedHundredths(record.stationY);
    text += FormatC("rec_dist=%d shot_dist=%d \n", record.receiverHundredths, record.sourceHundredths);
    double angle = 360.0 - std::atan2(dx, dy) * kDegreesPerRadian - 270.0;
    if (angle < 0.0) angle += 360.0;
    record.azimuth = static_cast<float>(angle);
    text += FormatC("Angle=%f \n", static_cast<double>(record.azimuth));

    // 7. Station code.
    record.stationCode = FirstWord(FixedColumns(line(6), 18, 6));
    text += "StationCode=" + record.stationCode + " \n";

    // 8-10. Frequency, duration, scale, maximum acceleration. A header that would divide by
    // zero or give a negative count refuses the file.
    StationRefusal refusal = StationRefusal::None;
    const int32_t f = IntAt(line(11), 18, 3).value_or(0);
    const int32_t d = IntAt(line(12), 18, 3).value_or(0);
    const int32_t numerator = IntAt(line(14), 18, 4).value_or(0);
    const int32_t denominator = IntAt(line(14), 28, 10).value_or(0);
    record.samplingFrequency = f;
    record.duration = d;
    if (f <= 0) {
        refusal = StationRefusal::NoSamplingFrequency;
    } else if (d < 0) {
        refusal = StationRefusal::NegativeDuration;
    } else if (denominator == 0) {
        refusal = StationRefusal::ZeroScale;
    } else {
        record.intervalUs = static_cast<float>(1.0 / f * 1000000.0);
        record.samples = static_cast<int32_t>(static_cast<int64_t>(d) * f);
        record.scaleFactor = static_cast<float>(static_cast<double>(numerator) / denominator * 0.01);
    }
    if (const auto v = DoubleAt(line(15), 18, 5)) record.maximumAcceleration = Finite(*v);
    text += FormatC("MaxAcceleration=%f \n", static_cast<double>(record.maximumAcceleration));
    log.Rewrite("DecodedTraceHeader.txt", text);
    return refusal;
}

StationRefusal ReadBinaryHeader(const StationHeader& header, std::string_view stem, CStrongMotionTrace& record,
                                const CCoordinateOrigin& origin, LogSink& log, StationLoadReport& report)
{
    record.samples = IntAt(header.lines[1], 6, 6).value_or(0);
    if (const auto v = ScanDoublePrefix(header.lines[2])) record.scaleFactor = Finite(*v);
    if (const auto v = DoubleAt(header.lines[2], 15, 6)) record.intervalUs = Finite(*v * 1000000.0);
    record.stationCode = std::string(stem);
    double latitude = 0.0, longitude = 0.0;
    MeshCodeToLatLon(record.stationCode, latitude, longitude);
    record.stationLatitude = static_cast<float>(latitude);
    record.stationLongitude = static_cast<float>(longitude);
    double x = 0.0, y = 0.0;
    if (!LatLonToPlaneXY(latitude * kRadiansPerDegree, longitude * kRadiansPerDegree, origin.zone, x, y)) {
        x = y = 0.0;
        if (!IsPlaneZone(origin.zone)) report.badZone = origin.zone;
    }
    record.stationX = Finite(x);
    record.stationY = Finite(y);
    record.receiverHundredths = TruncatedHundredths(record.stationX);
    record.sourceHundredths = TruncatedHundredths(record.stationY);
    record.sourceOffset = 0.0f;
    log.Rewrite("DecodedTraceHeader.txt",
                FormatC("rec_dist=%d shot_dist=%d \n", record.receiverHundredths, record.sourceHundredths));
    if (record.samples < 0) return StationRefusal::BadCount;
    if (!(record.scaleFactor != 0.0f)) return StationRefusal::ZeroScale;
    return StationRefusal::None;
}

CTraceHeader ToTraceHeader(const CStrongMotionTrace& record, int offsetMode, int maxSample)
{
    CTraceHeader h;
    h.traceNumber = record.traceNumber;
    h.sourceHundredths = record.sourceHundredths;
    h.gain = record.gain;
    h.component = record.component;
    h.delayUs = record.delayUs;
    h.intervalUs = record.intervalUs;
    switch (offsetMode) {
    case 0: h.receiverHundredths = TruncatedHundredths(record.stationX); break;
    case 1: h.receiverHundredths = TruncatedHundredths(record.stationY); break;
    case 2: h.receiverHundredths = TruncatedHundredths(record.sourceOffset); break;
    default: break;
    }
    h.samples = std::clamp(record.samples, 0, std::max(maxSample, 0));
    return h;
}

// ---------------------------------------------------------------------------------------------

void CStrongMotionSet::Allocate(int maxTraces)
{
    allocated = 1;
    if (maxTraces > 0 && shownRecords.size() < static_cast<size_t>(maxTraces)) {
        shownRecords.resize(static_cast<size_t>(maxTraces));
    }
}

const StrongMotionStation* CStrongMotionSet::FindStation(std::string_view code) const
{
    for (const auto& s : stations) {
        if (s->name == code) return s.get();
    }
    return nullptr;
}

int CStrongMotionSet::ReadStationFiles(const std::string& fileName, ByteSource& file, const CCoordinateOrigin& origin,
                                       LogSink& log, StationLoadReport& report)
{
    const std::string name(FileNamePart(fileName));
    auto refuse = [&](StationRefusal why) {
        report.refused.emplace_back(name, why);
        log.Rewrite("OpenKNetTextFile.txt", "");
        return 0;
    };
    if (!file.Ok()) return refuse(StationRefusal::CannotOpen);

    // 1-3. The header by kind.
    CStrongMotionTrace record;
    const std::string_view text = AsText(file);
    const StationHeader fileHeader = ReadHeaderLines(text);
    const std::string stem = Stem(name);
    StationRefusal refusal = StationRefusal::None;
    switch (fileHeader.kind) {
    case StationFileKind::NData:
        record.headerLines[0] = fileHeader.lines[0];
        record.samples = IntAt(fileHeader.lines[0], 6, 5).value_or(0);
        if (const auto v = DoubleAt(fileHeader.lines[0], 27, 6)) record.intervalUs = Finite(*v * 1000000.0);
        if (record.samples < 0) refusal = StationRefusal::BadCount;
        break;
    case StationFileKind::Binary:
        record.headerLines[0] = fileHeader.lines[0];
        refusal = ReadBinaryHeader(fileHeader, stem, record, origin, log, report);
        break;
    case StationFileKind::Text:
        record.headerLines = fileHeader.lines;
        refusal = DecodeTextHeader(fileHeader, record, origin, log, report);
        break;
    }
    if (refusal != StationRefusal::None) return refuse(refusal);

    // 4. The component from the name.
    std::string label;
    if (const int k = ComponentFromName(name, label); k > 0) {
        record.component = k;
        record.componentLabel = label;
    }

    // 5. The samples; a file that ends early keeps what it holds.
    const int64_t n = record.samples;
    std::vector<float> values;
    double largest = 0.0;
    if (fileHeader.kind == StationFileKind::Binary) {
        if (n * 4 > static_cast<int64_t>(text.size())) return refuse(StationRefusal::ShortBinary);
        values.resize(static_cast<size_t>(n));
        const auto* bytes = reinterpret_cast<const uint8_t*>(text.data()) + (text.size() - static_cast<size_t>(n) * 4);
        for (size_t i = 0; i < values.size(); ++i) {
            const uint32_t u = bytes[4 * i] | (bytes[4 * i + 1] << 8) | (bytes[4 * i + 2] << 16) |
                               (static_cast<uint32_t>(bytes[4 * i + 3]) << 24);
            values[i] = Finite(static_cast<int32_t>(u) / static_cast<double>(record.scaleFactor) * 0.01);
        }
    } else {
        // At most one value per two bytes of text: the count reserved never exceeds the file.
        values.reserve(static_cast<size_t>(std::min<int64_t>(n, static_cast<int64_t>(text.size() / 2 + 1))));
        TextScanner scan(text.substr(std::min(fileHeader.dataOffset, text.size())));
        for (int64_t i = 0; i < n; ++i) {
            if (fileHeader.kind == StationFileKind::Text) {
                int32_t count = 0;
                if (!scan.ReadInt(count)) break;
                const float v = Finite(static_cast<double>(count) * record.scaleFactor);
                largest = std::max(largest, std::fabs(static_cast<double>(v)));
                values.push_back(v);
            } else {
                double v = 0.0;
                if (!scan.ReadDouble(v)) break;
                values.push_back(Finite(v));
            }
        }
    }
    record.samples = static_cast<int32_t>(values.size());

    // 6-9. The station of the code (its own when the file names none), mean removed.
    if (record.stationCode.empty()) record.stationCode = stem;
    StrongMotionStation* station = nullptr;
    for (const auto& s : stations) {
        if (s->name == record.stationCode) {
            station = s.get();
            break;
        }
    }
    RemoveMean(values.data(), static_cast<int>(values.size()));
    if (!station) {
        if (static_cast<int>(stations.size()) >= kMaxStations) return refuse(StationRefusal::TooManyStations);
        auto fresh = std::make_unique<StrongMotionStation>();
        fresh->name = record.stationCode;
        station = fresh.get();
        stations.push_back(std::move(fresh));
        header.stationCount = static_cast<int>(stations.size());
    }
    const int slotsBefore = station->traceCount;
    const int count = station->AddTrace(std::move(values), record);
    if (station->traceCount > slotsBefore) ++header.traceCount;

    // 10.
    log.Rewrite("OpenKNetTextFile.txt", FormatC(" %f %f %f \n", fileHeader.kind == StationFileKind::Text ? largest : 0.0,
                                                static_cast<double>(record.scaleFactor),
                                                static_cast<double>(record.maximumAcceleration)));
    return count > 0 ? 1 : 0;
}

std::string WriteStationSummary(const StrongMotionStation& station, int offsetMode, int maxSample)
{
    std::string text = station.name + " \n";
    ByteSink sink;
    for (int k = 1; k <= kStationSlots; ++k) {
        if (station.Filled(k)) ToTraceHeader(station.slots[static_cast<size_t>(k - 1)], offsetMode, maxSample).WriteText(sink);
    }
    text.append(reinterpret_cast<const char*>(sink.Bytes().data()), sink.Bytes().size());
    return text + "\n";
}

void CStrongMotionSet::WriteSummaryText(LogSink& log, int maxSample) const
{
    std::string text = FormatC("Number of stations = %d\n", StationCount());
    text += FormatC("Number of traces = %d\n", header.traceCount);
    for (const auto& s : stations) text += WriteStationSummary(*s, offsetMode, maxSample);
    log.Rewrite("StrongGroudMotionData.txt", text);
}

// ---------------------------------------------------------------------------------------------

WriteStatus CStrongMotionSet::WriteSgm(ByteSink& sink)
{
    header.stationCount = StationCount();
    const std::string counts = FormatC("%d %d", header.stationCount, header.traceCount);
    std::memcpy(header.text.data(), counts.c_str(), std::min(counts.size() + 1, header.text.size()));
    sink.WriteBytes(header.text.data(), header.text.size());
    WriteTime(sink, header.earthquakeTime);
    for (const auto& s : stations) {
        sink.WriteI32(s->traceCount, ByteOrder::Little);
        WriteTextField(sink, s->name);
        for (int k = 1; k <= kStationSlots; ++k) {
            if (!s->Filled(k)) continue;
            const auto slot = static_cast<size_t>(k - 1);
            s->slots[slot].WriteBinary(sink);
            const std::vector<float>& v = s->samples[slot].values;
            sink.WriteI32(static_cast<int32_t>(v.size()), ByteOrder::Little);
            for (float x : v) sink.WriteF32(x, ByteOrder::Little);
        }
    }
    if (!sink.Ok()) return WriteStatus::Failed("write error");
    return WriteStatus::Ok();
}

int CStrongMotionSet::ReadSgm(ByteSource& file, std::string* error)
{
    auto fail = [&](const char* why) {
        if (error) *error = why;
        return -1;
    };
    file.Seek(0);
    StrongMotionSetHeader read;
    if (file.ReadBytes(read.text.data(), read.text.size()) < read.text.size()) return fail("the file is shorter than its header");
    const auto* block = reinterpret_cast<const char*>(read.text.data());
    TextScanner counts(std::string_view(block, strnlen(block, read.text.size())));
    int32_t stationCount = 0, traceCount = 0;
    if (!counts.ReadInt(stationCount) || !counts.ReadInt(traceCount)) return fail("the header holds no station and trace counts");
    if (stationCount < 0 || stationCount > kMaxStations) return fail("the station count is outside 0 to 1024");
    std::array<int32_t, 6> time{};
    for (int32_t& v : time) {
        if (file.ReadI32(v, ByteOrder::Little) != 4) return fail("the file ends in the earthquake time");
    }
    read.earthquakeTime = {time[0], time[1], time[2], time[3], time[4], time[5]};

    std::vector<std::unique_ptr<StrongMotionStation>> fresh;
    fresh.reserve(static_cast<size_t>(stationCount));
    for (int si = 0; si < stationCount; ++si) {
        int32_t n = 0;
        if (file.ReadI32(n, ByteOrder::Little) != 4) return fail("the file ends in a station");
        if (n < 0 || n > kStationSlots) return fail("a station holds more than six traces");
        std::array<char, kSgmTextSize> name{};
        if (file.ReadBytes(name.data(), name.size()) < name.size()) return fail("the file ends in a station name");
        auto station = std::make_unique<StrongMotionStation>();
        station->name.assign(name.data(), strnlen(name.data(), name.size()));
        for (int j = 0; j < n; ++j) {
            CStrongMotionTrace record;
            if (record.ReadBinary(file) < kSgmRecordSize) return fail("the file ends in a trace record");
            int32_t m = 0;
            if (file.ReadI32(m, ByteOrder::Little) != 4) return fail("the file ends in a trace record");
            if (m < 0 || static_cast<uint64_t>(m) * 4 > file.Remaining()) return fail("a trace holds more samples than the file");
            std::vector<float> values(static_cast<size_t>(m));
            for (float& v : values) file.ReadF32(v, ByteOrder::Little);
            // A record goes to the slot of its component; one without a usable component to
            // the slot of its place in the file, which becomes its component (as for a station
            // file), so that the set reads back the same after a write.
            const int slot = record.component >= 1 && record.component <= kStationSlots ? record.component : j + 1;
            record.component = slot;
            const auto s = static_cast<size_t>(slot - 1);
            if (!station->filled[s]) ++station->traceCount;
            station->filled[s] = true;
            station->slots[s] = std::move(record);
            station->samples[s].values = std::move(values);
        }
        fresh.push_back(std::move(station));
    }

    stations = std::move(fresh);
    read.stationCount = stationCount;
    read.traceCount = traceCount;
    header = read;
    currentStation = std::clamp(currentStation, 0, std::max(StationCount() - 1, 0));
    return traceCount;
}

// ---------------------------------------------------------------------------------------------

StrongMotionFill CStrongMotionSet::FillTraces(LoadTarget& target)
{
    StrongMotionFill fill;
    const int start = target.Start();
    const int end = target.MaxTraces();
    const int maxSample = target.MaxSample();
    int a = start;
    if (header.traceCount <= kStationSlots) viewMode = 0;

    // One trace into the target; false once the store is full.
    auto put = [&](const StrongMotionStation& station, size_t slot, std::optional<int32_t> receiver) {
        if (a >= end) {
            fill.tracesCut = true;
            return false;
        }
        const CStrongMotionTrace& record = station.slots[slot];
        const std::vector<float>& values = station.samples[slot].values;
        const int k = a - start;
        CTraceHeader h = ToTraceHeader(record, offsetMode, maxSample);
        if (receiver) h.receiverHundredths = *receiver;
        const int n = std::min(static_cast<int>(values.size()), std::min(maxSample, target.RowLength()));
        if (static_cast<int>(values.size()) > n) fill.samplesCut = true;
        h.samples = n;
        std::span<float> row = target.Row(k);
        for (int j = 0; j < n; ++j) row[static_cast<size_t>(j)] = ToFiniteFloat(values[static_cast<size_t>(j)], fill.conversions);
        target.Header(k) = h;
        fill.records.push_back(record);
        ++a;
        return true;
    };
    auto hasSamples = [](const StrongMotionStation& s, size_t slot) { return s.filled[slot] && s.samples[slot].Count() > 0; };

    if (viewMode == 0) {
        for (const auto& s : stations) {
            for (size_t slot = 0; slot < kStationSlots; ++slot) {
                if (hasSamples(*s, slot) && !put(*s, slot, std::nullopt)) goto done;
            }
        }
    } else if (viewMode >= 1 && viewMode <= kStationSlots) {
        const auto slot = static_cast<size_t>(viewMode - 1);
        for (const auto& s : stations) {
            if (hasSamples(*s, slot) && !put(*s, slot, std::nullopt)) goto done;
        }
    } else if (viewMode == 9 && currentStation >= 0 && currentStation < StationCount()) {
        const StrongMotionStation& s = *stations[static_cast<size_t>(currentStation)];
        fill.stationName = s.name;
        for (size_t slot = 0; slot < kStationSlots; ++slot) {
            if (hasSamples(s, slot) && !put(s, slot, static_cast<int32_t>(slot) * 100)) goto done;
        }
    }
done:
    fill.end = a;
    return fill;
}

void CStrongMotionSet::CommitShownRecords(int start, std::vector<CStrongMotionTrace> records)
{
    if (start < 0) return;
    const size_t need = static_cast<size_t>(start) + records.size();
    if (shownRecords.size() < need) shownRecords.resize(need);
    for (size_t k = 0; k < records.size(); ++k) shownRecords[static_cast<size_t>(start) + k] = std::move(records[k]);
}

void CStrongMotionSet::ApplyOrderToShownRecords(std::span<const int> order)
{
    if (shownRecords.size() < order.size()) shownRecords.resize(order.size());
    ApplyTraceOrder(order, std::span<CStrongMotionTrace>(shownRecords));
}

// ---------------------------------------------------------------------------------------------

int64_t CStrongMotionSet::EarliestRecordTime(int count) const
{
    if (shownRecords.empty()) return CalendarSeconds(StationDateTime{});
    count = std::clamp(count, 1, static_cast<int>(shownRecords.size()));
    int64_t earliest = CalendarSeconds(shownRecords[0].recordTime);
    for (int i = 1; i < count; ++i) earliest = std::min(earliest, CalendarSeconds(shownRecords[static_cast<size_t>(i)].recordTime));
    return earliest;
}

void CStrongMotionSet::CorrectTimeAxis(int count, LogSink& log)
{
    count = std::clamp(count, 0, static_cast<int>(shownRecords.size()));
    const int64_t t0 = EarliestRecordTime(count);
    const int64_t te = CalendarSeconds(header.earthquakeTime);
    const int64_t d = t0 - te;
    std::string text = FormatC("%lld \n", static_cast<long long>(d));
    for (int i = 0; i < count; ++i) {
        CStrongMotionTrace& r = shownRecords[static_cast<size_t>(i)];
        const int64_t rt = CalendarSeconds(r.recordTime);
        const int64_t offset = (d < kEarthquakeWindow && d > -kEarthquakeWindow) ? rt - te - kEarthquakeWindow : rt - t0;
        r.timeOffset = static_cast<float>(offset);
        text += FormatC("%d ", i) + r.stationCode + FormatC(" TimeOffset=%f \n", static_cast<double>(r.timeOffset));
    }
    log.Rewrite("CorrectTime.txt", text);
}

bool CStrongMotionSet::StartAtEarthquakeTime(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int count,
                                             int maxSample, UiHost& ui, int language, LogSink& log)
{
    count = std::clamp(count, 0, static_cast<int>(std::min(shownRecords.size(), headers.size())));
    count = std::min(count, static_cast<int>(rows.Rows()));
    const int64_t t0 = EarliestRecordTime(count);
    const int64_t te = CalendarSeconds(header.earthquakeTime);
    const int64_t d = t0 - te;
    if (d >= kEarthquakeWindow || d <= -kEarthquakeWindow) {
        ui.Message(Msg(language, kEarthquakeTimeNotCorrect, "地震発生時刻が正しくありません !"), MsgButtons::Ok);
        return false;
    }
    for (int i = 0; i < count; ++i) {
        if (!(headers[static_cast<size_t>(i)].intervalUs > 0.0f)) {
            ui.Message(FormatC(Msg(language,
                                   "The sampling interval of trace %d is not larger than 0 ! \n The traces have not been shifted.",
                                   "トレース %d のサンプリング間隔が 0 より大きくありません ! \n トレースは移動していません。")
                                   .c_str(),
                               i + 1),
                       MsgButtons::Ok, MsgIcon::Warning);
            return false;
        }
    }
    maxSample = std::clamp(maxSample, 0, static_cast<int>(rows.Cols()));
    std::string text;
    for (int i = 0; i < count; ++i) {
        CTraceHeader& h = headers[static_cast<size_t>(i)];
        const CStrongMotionTrace& r = shownRecords[static_cast<size_t>(i)];
        const double s = static_cast<double>(CalendarSeconds(r.recordTime) - te - kEarthquakeWindow);
        const double places = std::clamp(s / (h.intervalUs * 0.000001), -(maxSample + 1.0), maxSample + 1.0);
        const int n = static_cast<int>(places);
        text += FormatC("%d ", i) + r.stationCode + FormatC(" TimeOffset=%f \n", static_cast<double>(r.timeOffset));

        const int c = std::clamp(h.samples, 0, maxSample);
        const int shifted = std::clamp(c + n, 0, maxSample);
        std::span<float> row = rows.Row(i);
        if (n > 0) {
            for (int k = shifted - 1; k >= n; --k) row[static_cast<size_t>(k)] = row[static_cast<size_t>(k - n)];
            for (int k = 0; k < std::min(n, shifted); ++k) row[static_cast<size_t>(k)] = 0.0f;
        } else if (n < 0) {
            for (int k = 0; k < shifted; ++k) row[static_cast<size_t>(k)] = row[static_cast<size_t>(k - n)];
        }
        for (int k = shifted; k < c; ++k) row[static_cast<size_t>(k)] = 0.0f;
        h.samples = shifted;
    }
    log.Rewrite("StartEarthquakeTime.txt", text);
    return true;
}

int CStrongMotionSet::IsInDisplayRange(int i) const
{
    if (i < 0 || static_cast<size_t>(i) >= shownRecords.size()) return 0;
    const float a = shownRecords[static_cast<size_t>(i)].azimuth;
    return a >= minimumAngle && a <= maximumAngle ? 1 : 0;
}

int CStrongMotionSet::StationXY(double latitude, double longitude, float& x, float& y, int relative,
                                const CCoordinateOrigin& origin) const
{
    double px = 0.0, py = 0.0;
    if (!LatLonToPlaneXY(latitude * kRadiansPerDegree, longitude * kRadiansPerDegree, origin.zone, px, py)) {
        x = y = 0.0f;
        return origin.zone;
    }
    if (relative == 1) {
        double ox = 0.0, oy = 0.0;
        LatLonToPlaneXY(origin.originLatitude * kRadiansPerDegree, origin.originLongitude * kRadiansPerDegree,
                        origin.zone, ox, oy);
        px -= ox;
        py -= oy;
    }
    x = Finite(px);
    y = Finite(py);
    return origin.zone;
}

// ---------------------------------------------------------------------------------------------

int SelectStations(CStrongMotionSet& set, UiHost& ui, int language)
{
    CStationSelectDlg dlg;
    std::vector<std::string> names;
    for (const auto& s : set.stations) names.push_back(s->name);
    dlg.SetStations(names);
    if (!dlg.Run(ui, language)) return 1;
    for (int i = 0; i < set.StationCount(); ++i) {
        if (names[static_cast<size_t>(i)] == dlg.selection) {
            set.currentStation = std::clamp(i, 0, set.StationCount() - 1);
            break;
        }
    }
    return 1;
}

int EditEarthquakeTime(CStrongMotionSet& set, UiHost& ui, int language)
{
    CTimeDlg dlg;
    const StationDateTime& t = set.header.earthquakeTime;
    dlg.SetTime(t.year, t.month, t.day, t.hour, t.minute, t.second);
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) return 0;
    StationDateTime& out = set.header.earthquakeTime;
    dlg.GetTime(out.year, out.month, out.day, out.hour, out.minute, out.second);
    return 1;
}

int ConvertStationsToXY(CStrongMotionSet& set, CCoordinateOrigin& origin, UiHost& ui, int language, LogSink& log)
{
    CXyCoordinateDlg dlg;
    dlg.corollary = origin.zone;
    dlg.latitude = origin.originLatitude;
    dlg.longitude = origin.originLongitude;
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) return 0;
    origin.zone = dlg.corollary;
    origin.originLatitude = dlg.latitude;
    origin.originLongitude = dlg.longitude;

    std::string text;
    for (int si = 0; si < set.StationCount(); ++si) {
        StrongMotionStation& s = *set.stations[static_cast<size_t>(si)];
        for (int k = 1; k <= kStationSlots; ++k) {
            const auto slot = static_cast<size_t>(k - 1);
            if (!s.filled[slot] || s.samples[slot].Count() == 0) continue;
            CStrongMotionTrace& r = s.slots[slot];
            const int zone = set.StationXY(r.stationLatitude, r.stationLongitude, r.stationX, r.stationY,
                                           dlg.manualOrigin, origin);
            r.sourceHundredths = TruncatedHundredths(r.stationY);
            text += FormatC("%d %d %f %f %f %f %d \n", si, k, static_cast<double>(r.stationLatitude),
                            static_cast<double>(r.stationLongitude), static_cast<double>(r.stationX),
                            static_cast<double>(r.stationY), zone);
        }
    }
    log.Rewrite("BLtoXY.txt", text);
    return 1;
}

}  // namespace velk
