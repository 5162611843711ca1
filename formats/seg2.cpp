#include "formats/seg2.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include <unistd.h>

#include "base/position.h"
#include "formats/file_roads.h"
#include "platform/atomic_file.h"
#include "platform/byte_io.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

// ---------------------------------------------------------------------------------------------
// Little-endian fields of a byte block. Callers check the bounds first.

uint16_t U16(std::span<const uint8_t> b, uint64_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

uint32_t U32(std::span<const uint8_t> b, uint64_t at)
{
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// The same, with bytes beyond the block read as zero.
uint8_t ByteOrZero(std::span<const uint8_t> b, uint64_t at) { return at < b.size() ? b[at] : 0; }

template <typename T>
T LoadLittle(const uint8_t* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big) {
        if constexpr (sizeof(T) == 2) v = std::bit_cast<T>(__builtin_bswap16(std::bit_cast<uint16_t>(v)));
        if constexpr (sizeof(T) == 4) v = std::bit_cast<T>(__builtin_bswap32(std::bit_cast<uint32_t>(v)));
        if constexpr (sizeof(T) == 8) v = std::bit_cast<T>(__builtin_bswap64(std::bit_cast<uint64_t>(v)));
    }
    return v;
}

// ---------------------------------------------------------------------------------------------
// Messages

void Tell(FormatContext& ctx, const std::string& text, MsgIcon icon = MsgIcon::Warning)
{
    ctx.ui.Message(text, MsgButtons::Ok, icon);
}

// A refused file: the reason, then that nothing changed.
void Refuse(FormatContext& ctx, const std::string& reason)
{
    Tell(ctx, reason + Msg(ctx.language, "\n\n The data was not changed.", "\n\n データは変更されていません。"),
         MsgIcon::Error);
}

std::string TraceText(int language, const char* english, const char* japanese, uint64_t trace)
{
    return FormatC(Msg(language, english, japanese).c_str(), static_cast<unsigned long long>(trace + 1));
}

// ---------------------------------------------------------------------------------------------
// Layout checks shared by every reader

// How a reader sizes a trace's data: by its format code, or as the 20-bit and int32 roads do.
enum class DataMode { ByCode, Packed20, Int32 };

struct TraceBlock {
    uint64_t pointer = 0;
    uint32_t blockSize = 0;
    uint32_t dataSizeField = 0;
    uint32_t ns = 0;
    uint8_t code = 0;
    uint64_t dataStart = 0;
    uint64_t dataBytes = 0;  // the bytes this reader needs (all inside the file)
};

// Bytes of ns samples of a data code; 0 for an unknown code.
uint64_t DataBytes(uint8_t code, uint64_t ns)
{
    switch (code) {
    case 1: return ns * 2;
    case 2: return ns * 4;
    case 3: return ns * 5 / 2;
    case 4: return ns * 4;
    case 5: return ns * 8;
    default: return 0;
    }
}

// The file descriptor: IDs, N, the pointer table inside the file. False after a message.
bool CheckFileDescriptor(std::span<const uint8_t> bytes, FormatContext& ctx, uint32_t& n)
{
    const int lang = ctx.language;
    if (bytes.empty()) {
        Refuse(ctx, Msg(lang, " The file is empty: it holds no bytes.", " ファイルが空です (0 バイト)。"));
        return false;
    }
    if (bytes.size() >= 2 && bytes[0] == 0x3A && bytes[1] == 0x55) {
        Refuse(ctx, Msg(lang,
                        " This SEG-2 file is in big-endian byte order (it starts with 3A 55). \n"
                        " Only little-endian SEG-2 files (55 3A) can be read.",
                        " この SEG-2 ファイルはビッグエンディアン (先頭が 3A 55) です。 \n"
                        " 読み込めるのはリトルエンディアン (55 3A) の SEG-2 ファイルだけです。"));
        return false;
    }
    if (bytes.size() < 2 || bytes[0] != 0x55 || bytes[1] != 0x3A) {
        Refuse(ctx, Msg(lang, " This is not a SEG-2 file: it does not start with 55 3A.",
                        " SEG-2 ファイルではありません (先頭が 55 3A ではありません)。"));
        return false;
    }
    if (bytes.size() < 32) {
        Refuse(ctx, Msg(lang, " The SEG-2 file is too short: its file descriptor is cut.",
                        " SEG-2 ファイルが短すぎます (ファイル記述ブロックが欠けています)。"));
        return false;
    }
    const uint32_t m = U16(bytes, 4);
    n = U16(bytes, 6);
    if (n == 0) {
        Refuse(ctx, Msg(lang, " The SEG-2 file holds no traces.", " SEG-2 ファイルにトレースがありません。"));
        return false;
    }
    if (4ull * n > m) {
        Refuse(ctx, FormatC(Msg(lang, " The SEG-2 file is damaged: %u traces do not fit its pointer table of %u bytes.",
                                " SEG-2 ファイルが壊れています: %u トレースがポインタ表 (%u バイト) に入りません。")
                                .c_str(),
                            n, m));
        return false;
    }
    if (32ull + 4ull * n > bytes.size()) {
        Refuse(ctx, Msg(lang, " The SEG-2 file is damaged: its trace pointer table is cut.",
                        " SEG-2 ファイルが壊れています: トレースポインタ表が欠けています。"));
        return false;
    }
    return true;
}

// Trace j: pointer, descriptor and data inside the file, the ID, the block size, the data code.
// False after a message.
bool CheckTrace(std::span<const uint8_t> bytes, uint32_t j, DataMode mode, FormatContext& ctx, TraceBlock& t)
{
    const int lang = ctx.language;
    const uint64_t size = bytes.size();
    t.pointer = U32(bytes, 32 + 4ull * j);
    if (t.pointer + 32 > size) {
        Refuse(ctx, TraceText(lang, " The SEG-2 file is damaged: the descriptor of trace %llu lies outside the file.",
                              " SEG-2 ファイルが壊れています: トレース %llu の記述ブロックがファイルの外にあります。", j));
        return false;
    }
    if (bytes[t.pointer] != 0x22 || bytes[t.pointer + 1] != 0x44) {
        Refuse(ctx, TraceText(lang, " The SEG-2 file is damaged: trace %llu does not start with the ID 22 44.",
                              " SEG-2 ファイルが壊れています: トレース %llu が ID 22 44 で始まっていません。", j));
        return false;
    }
    t.blockSize = U16(bytes, t.pointer + 2);
    t.dataSizeField = U32(bytes, t.pointer + 4);
    t.ns = U32(bytes, t.pointer + 8);
    t.code = bytes[t.pointer + 12];
    if (t.blockSize < 32) {
        Refuse(ctx, TraceText(lang, " The SEG-2 file is damaged: the descriptor of trace %llu is shorter than 32 bytes.",
                              " SEG-2 ファイルが壊れています: トレース %llu の記述ブロックが 32 バイト未満です。", j));
        return false;
    }
    switch (mode) {
    case DataMode::ByCode:
        if (t.code < 1 || t.code > 5) {
            Refuse(ctx, FormatC(Msg(lang, " Trace %llu of the SEG-2 file has the unknown data format code %d.",
                                    " SEG-2 ファイルのトレース %llu のデータ形式コード %d は読めません。")
                                    .c_str(),
                                static_cast<unsigned long long>(j + 1), t.code));
            return false;
        }
        t.dataBytes = DataBytes(t.code, t.ns);
        break;
    case DataMode::Packed20: t.dataBytes = DataBytes(3, t.ns); break;
    case DataMode::Int32: t.dataBytes = DataBytes(2, t.ns); break;
    }
    t.dataStart = t.pointer + t.blockSize;
    if (t.dataStart > size || t.dataBytes > size - t.dataStart) {
        Refuse(ctx, TraceText(lang, " The SEG-2 file is damaged or cut: the samples of trace %llu lie outside the file.",
                              " SEG-2 ファイルが壊れているか途中で切れています: トレース %llu のサンプルがファイルの外にあります。",
                              j));
        return false;
    }
    return true;
}

// The trace's strings: [P + 32, P + block size), clipped to the file (both layouts).
TextWindow TraceStrings(std::span<const uint8_t> bytes, const TraceBlock& t)
{
    const uint64_t from = t.pointer + 32;
    const uint64_t to = std::min<uint64_t>(t.pointer + t.blockSize, bytes.size());
    if (from >= to) return TextWindow();
    return TextWindow(bytes.subspan(from, to - from));
}

// The NOTE position of the file (first 256 bytes).
bool FileNote(std::span<const uint8_t> bytes, double& latitude, double& longitude)
{
    const TextWindow head(bytes.first(std::min<size_t>(bytes.size(), 256)));
    return ParseSeg2Note(head.Text(), latitude, longitude);
}

// ---------------------------------------------------------------------------------------------
// Keys of a trace's strings

std::optional<double> IntervalSeconds(const TextWindow& w)
{
    std::optional<double> v = w.DoubleAfter("SAMPLE_INTERVAL");
    if (v && (*v < 0.0 || *v > 1000.0)) v.reset();  // negative or absurd: absent
    return v;
}

std::optional<float> AsFloat(std::optional<double> v)
{
    if (!v || std::fabs(*v) > FLT_MAX) return std::nullopt;
    return static_cast<float>(*v);
}

// A position in metres as header hundredths, through the checked helper; absent when the key
// is missing, unparsable or out of range.
std::optional<int32_t> PositionWord(std::optional<double> metres)
{
    if (!metres) return std::nullopt;
    return MetresToHundredths(*metres);
}

struct TraceKeys {
    float intervalUs = 0.0f;
    std::optional<int32_t> receiver;  // hundredths
    int32_t source = 0;
    int32_t component = 1;
    int32_t gain = 0;
    float delayUs = 0.0f;
    std::optional<float> latitude;
    std::optional<float> longitude;
};

TraceKeys ScanTraceKeys(const TextWindow& w, int skip)
{
    TraceKeys k;
    if (const auto s = IntervalSeconds(w)) k.intervalUs = static_cast<float>(*s * 1e6 * skip);
    k.receiver = PositionWord(w.DoubleAfter("RECEIVER_LOCATION"));
    k.source = PositionWord(w.DoubleAfter("SOURCE_LOCATION")).value_or(0);
    std::optional<int32_t> component = w.IntAfter("RECEIVER_COMPONENT");
    if (!component) component = w.IntAfter("TRACE_TYPE");
    k.component = component.value_or(1);
    if (k.component < 1 || k.component > 100) k.component = 1;
    k.gain = w.IntAfter("FIXED_GAIN").value_or(0);
    // "DELAY" also finds "*DELAY". Delays beyond 1000 s are taken as absent, like intervals.
    if (const auto d = w.DoubleAfter("DELAY"); d && std::fabs(*d) <= 1000.0) k.delayUs = static_cast<float>(*d * 1e6);
    k.latitude = AsFloat(w.DoubleAfter("LATITUDE"));
    k.longitude = AsFloat(w.DoubleAfter("LONGITUDE"));
    return k;
}

// ---------------------------------------------------------------------------------------------
// Samples

bool NonFiniteBits(uint32_t bits) { return (bits & 0x7f800000u) == 0x7f800000u; }

// Float32 samples k * skip, k < stored, into the row; non-finite values become 0 (counted).
void CopyFloat32(const uint8_t* src, int skip, int stored, std::span<float> row, ConversionCount& cc)
{
    const size_t n = static_cast<size_t>(stored);
    if (skip == 1 && std::endian::native == std::endian::little) {
        std::memcpy(row.data(), src, n * 4);
        // A separate pass keeps the copy a plain memcpy and lets this one vectorise.
        bool any = false;
        for (size_t k = 0; k < n; ++k) any |= NonFiniteBits(std::bit_cast<uint32_t>(row[k]));
        if (!any) return;
        for (size_t k = 0; k < n; ++k) {
            if (!std::isfinite(row[k])) {
                row[k] = 0.0f;
                ++cc.nonFinite;
            }
        }
        return;
    }
    const size_t stride = static_cast<size_t>(skip) * 4;
    for (size_t k = 0; k < n; ++k) {
        const float v = LoadLittle<float>(src + k * stride);
        if (std::isfinite(v)) {
            row[k] = v;
        } else {
            row[k] = 0.0f;
            ++cc.nonFinite;
        }
    }
}

// Converts the stored samples of one trace into the row.
void ConvertTrace(std::span<const uint8_t> bytes, const TraceBlock& t, uint8_t code, int skip, int stored,
                  std::span<float> row, ConversionCount& cc, std::vector<int32_t>& scratch)
{
    const uint8_t* src = bytes.data() + t.dataStart;
    const size_t step = static_cast<size_t>(skip);
    switch (code) {
    case 1:
        for (int k = 0; k < stored; ++k) row[k] = LoadLittle<int16_t>(src + 2 * step * k);
        break;
    case 2:
        for (int k = 0; k < stored; ++k) row[k] = static_cast<float>(LoadLittle<int32_t>(src + 4 * step * k));
        break;
    case 3: {
        // Exactly ns samples, from the bytes of the trace's data block as far as they go: at
        // least the packed ns x 5 / 2, up to whole groups when the block declares them.
        const uint64_t fullGroups = (static_cast<uint64_t>(t.ns) + 3) / 4 * 10;
        uint64_t usable = std::max<uint64_t>(t.dataBytes, std::min<uint64_t>(t.dataSizeField, fullGroups));
        usable = std::min<uint64_t>(usable, bytes.size() - t.dataStart);
        const size_t needed = std::min<size_t>(t.ns, static_cast<size_t>(stored - 1) * step + 1);
        scratch.resize(needed);
        Unpack20BitSamples(bytes.subspan(t.dataStart, usable), scratch);
        for (int k = 0; k < stored; ++k) row[k] = static_cast<float>(scratch[step * k]);
        break;
    }
    case 4: CopyFloat32(src, skip, stored, row, cc); break;
    case 5:
        for (int k = 0; k < stored; ++k) row[k] = ToFiniteFloat(LoadLittle<double>(src + 8 * step * k), cc);
        break;
    default: break;
    }
}

int StoredSamples(uint32_t ns, int skip, int maxSample, int rowLength, bool& truncated)
{
    const uint64_t kept = ns / static_cast<uint32_t>(skip);
    const uint64_t limit = static_cast<uint64_t>(std::max(0, std::min(maxSample, rowLength)));
    if (kept > limit) {
        truncated = true;
        return static_cast<int>(limit);
    }
    return static_cast<int>(kept);
}

void CopyBase(CTraceHeaderEx& ex, const CTraceHeader& h) { static_cast<CTraceHeader&>(ex) = h; }

std::span<const uint8_t> WholeFile(ByteSource& file)
{
    file.Seek(0);
    return file.Peek(static_cast<size_t>(file.Size()));
}

}  // namespace

// =============================================================================================
// Reading

int ReadSeg2(ByteSource& file, LoadTarget& target, int skip, FormatContext& ctx, Seg2Image* image)
{
    const int lang = ctx.language;
    if (skip < 1) {
        Refuse(ctx, Msg(lang, " The sample skip must be 1 or more.", " サンプルスキップは 1 以上にしてください。"));
        return -1;
    }
    const std::span<const uint8_t> bytes = WholeFile(file);
    uint32_t n = 0;
    if (!CheckFileDescriptor(bytes, ctx, n)) return -1;

    // Every trace that will be read is checked before anything is shown or filled.
    const uint32_t toRead = std::min<uint32_t>(n, static_cast<uint32_t>(target.Capacity()));
    std::vector<TraceBlock> traces(toRead);
    for (uint32_t j = 0; j < toRead; ++j)
        if (!CheckTrace(bytes, j, DataMode::ByCode, ctx, traces[j])) return -1;

    if (toRead > 0) {
        const TextWindow first = TraceStrings(bytes, traces[0]);
        if (const std::optional<int> dimension = first.IntAfter(kSeg2ImageKey)) {
            if (!image || skip != 1) {
                Refuse(ctx, Msg(lang, " The file holds a coherence image, not waveforms: open it with \"Open SEG2 file\".",
                                " このファイルは波形ではなくコヒーレンス画像です: \"Open SEG2 file\" で開いてください。"));
                return -1;
            }
            image->present = true;
            image->dimension = *dimension == 2 ? 2 : 1;
            image->frequencyStep = IntervalSeconds(first).value_or(0.0) * 1000.0;
            image->shown = std::max(0, first.IntAfter(kSeg2ImageShownKey).value_or(0));
        }
    }
    if (n > toRead) Tell(ctx, TracesMessage(lang, kTotalTracesReadMsg, static_cast<int>(toRead)));
    if (toRead == 0) return 0;

    bool truncated = false;
    std::vector<int> stored(toRead);
    for (uint32_t j = 0; j < toRead; ++j)
        stored[j] = StoredSamples(traces[j].ns, skip, target.MaxSample(), target.RowLength(), truncated);
    if (truncated) Tell(ctx, SamplesMessage(lang, kSamplesTruncatedMsg));

    double noteLatitude = 0.0, noteLongitude = 0.0;
    const bool note = FileNote(bytes, noteLatitude, noteLongitude);

    ConversionCount cc;
    std::vector<int32_t> scratch;
    bool allReceiversZero = true;
    for (uint32_t j = 0; j < toRead; ++j) {
        const int k = static_cast<int>(j);
        const TraceBlock& t = traces[j];
        const TraceKeys keys = ScanTraceKeys(TraceStrings(bytes, t), skip);
        CTraceHeader& h = target.Header(k);
        h.traceNumber = target.Start() + k;
        h.receiverHundredths = keys.receiver.value_or(static_cast<int32_t>(j) * 100);
        h.sourceHundredths = keys.source;
        h.gain = keys.gain;
        h.component = keys.component;
        h.delayUs = keys.delayUs;
        h.intervalUs = keys.intervalUs;
        h.samples = stored[j];
        if (h.receiverHundredths != 0) allReceiversZero = false;

        std::span<float> row = target.Row(k);
        if (stored[j] > 0) ConvertTrace(bytes, t, t.code, skip, stored[j], row, cc, scratch);

        CTraceHeaderEx& ex = target.HeaderEx(k);
        if (keys.latitude) ex.latitude = *keys.latitude;
        if (keys.longitude) ex.longitude = *keys.longitude;
        if (note) {
            ex.latitude = static_cast<float>(noteLatitude);
            ex.longitude = static_cast<float>(noteLongitude);
        }
    }
    for (uint32_t j = 0; j < toRead; ++j) {
        const int k = static_cast<int>(j);
        if (allReceiversZero) target.Header(k).receiverHundredths = k * 100;
        CopyBase(target.HeaderEx(k), target.Header(k));
    }
    if (cc.Any()) Tell(ctx, ConversionWarning(lang, cc));
    return static_cast<int>(toRead);
}

int ReadSeg2Headers(ByteSource& file, std::span<CTraceHeader> headers, std::span<CTraceHeaderEx> records, int start,
                    int maxSample, FormatContext& ctx)
{
    const int lang = ctx.language;
    const int maxTraces = static_cast<int>(std::min<size_t>(headers.size(), std::numeric_limits<int>::max()));
    if (!records.empty() && records.size() < headers.size()) return -1;
    const std::span<const uint8_t> bytes = WholeFile(file);
    uint32_t n = 0;
    if (!CheckFileDescriptor(bytes, ctx, n)) return -1;
    const int room = std::max(0, maxTraces - std::max(start, 0));
    const uint32_t toRead = std::min<uint32_t>(n, static_cast<uint32_t>(room));
    std::vector<TraceBlock> traces(toRead);
    for (uint32_t j = 0; j < toRead; ++j)
        if (!CheckTrace(bytes, j, DataMode::ByCode, ctx, traces[j])) return -1;
    if (n > static_cast<uint32_t>(maxTraces)) Tell(ctx, TracesMessage(lang, kTracesMaxHeadersMsg, maxTraces));

    double noteLatitude = 0.0, noteLongitude = 0.0;
    const bool note = FileNote(bytes, noteLatitude, noteLongitude);
    bool allReceiversZero = true;
    for (uint32_t j = 0; j < toRead; ++j) {
        const size_t i = static_cast<size_t>(start) + j;
        const TraceBlock& t = traces[j];
        const TextWindow w = TraceStrings(bytes, t);
        int count = static_cast<int>(std::min<uint64_t>(t.ns, static_cast<uint64_t>(std::max(maxSample, 0))));
        if (t.ns > static_cast<uint64_t>(std::max(maxSample, 0))) Tell(ctx, SamplesMessage(lang, kSamplesMaxMsg, maxSample));
        CTraceHeader& h = headers[i];
        h.traceNumber = static_cast<int32_t>(i);
        h.receiverHundredths = PositionWord(w.DoubleAfter("RECEIVER_LOCATION")).value_or(static_cast<int32_t>(j) * 100);
        h.sourceHundredths = PositionWord(w.DoubleAfter("SOURCE_LOCATION")).value_or(0);
        h.gain = 0;
        h.component = w.IntAfter("RECEIVER_COMPONENT").value_or(1);
        h.delayUs = 0.0f;
        h.intervalUs = static_cast<float>(IntervalSeconds(w).value_or(0.0) * 1e6);
        h.samples = count;
        if (h.receiverHundredths != 0) allReceiversZero = false;
        if (!records.empty()) {
            CTraceHeaderEx& ex = records[i];
            if (const auto v = AsFloat(w.DoubleAfter("LATITUDE"))) ex.latitude = *v;
            if (const auto v = AsFloat(w.DoubleAfter("LONGITUDE"))) ex.longitude = *v;
            if (note) {
                ex.latitude = static_cast<float>(noteLatitude);
                ex.longitude = static_cast<float>(noteLongitude);
            }
        }
    }
    for (uint32_t j = 0; j < toRead; ++j) {
        const size_t i = static_cast<size_t>(start) + j;
        if (allReceiversZero) headers[i].receiverHundredths = static_cast<int32_t>(j) * 100;
        if (!records.empty()) CopyBase(records[i], headers[i]);
    }
    return static_cast<int>(toRead);
}

bool ParseSeg2Note(std::string_view text, double& latitude, double& longitude)
{
    const size_t at = text.find("NOTE");
    if (at == std::string_view::npos) return false;
    auto charAt = [&](size_t offset) -> char {
        const size_t i = at + offset;
        return i < text.size() ? text[i] : '\0';
    };
    auto from = [&](size_t offset) -> std::string_view {
        const size_t i = at + offset;
        return i < text.size() ? text.substr(i) : std::string_view();
    };
    // One position at the given offsets (letter, degrees, minutes, seconds); nullopt unless the
    // letter is one of the two and all three numbers scan.
    auto angle = [&](size_t letter, char positive, char negative, size_t degrees) -> std::optional<double> {
        const char c = charAt(letter);
        if (c != positive && c != negative) return std::nullopt;
        const auto d = ScanIntPrefix(from(degrees));
        const auto m = ScanIntPrefix(from(degrees + 4));
        const auto s = ScanDoublePrefix(from(degrees + 8));
        if (!d || !m || !s) return std::nullopt;
        const double value = *d + *m / 60.0 + *s / 3600.0;
        if (!std::isfinite(value)) return std::nullopt;
        return c == negative ? -value : value;
    };
    const auto lat1 = angle(5, 'N', 'S', 7);
    const auto lon1 = angle(24, 'E', 'W', 26);
    if (!lat1 || !lon1) return false;
    const auto lat2 = angle(54, 'N', 'S', 56);
    const auto lon2 = angle(73, 'E', 'W', 75);
    if (lat2 && lon2) {
        latitude = *lat2;
        longitude = *lon2;
    } else {
        latitude = *lat1;
        longitude = *lon1;
    }
    return true;
}

void Unpack20BitSamples(std::span<const uint8_t> packed, std::span<int32_t> samples)
{
    const size_t n = samples.size();
    const size_t wholeGroups = std::min(n / 4, packed.size() / 10);
    // Whole groups that are all there: no bounds to test per byte.
    for (size_t g = 0; g < wholeGroups; ++g) {
        const uint8_t* p = packed.data() + g * 10;
        const unsigned shifts = static_cast<unsigned>(p[0] | (p[1] << 8));
        for (size_t s = 0; s < 4; ++s) {
            const int m = static_cast<int16_t>(static_cast<uint16_t>(p[2 + 2 * s] | (p[3 + 2 * s] << 8)));
            const int e = static_cast<int>((shifts >> (4 * s)) & 0xF);
            samples[g * 4 + s] = (m + (m < 0 ? 1 : 0)) * (1 << e);
        }
    }
    // The rest: bytes beyond the packed data read as zero.
    for (size_t i = wholeGroups * 4; i < n; ++i) {
        const size_t g = i / 4, s = i % 4;
        const uint64_t base = static_cast<uint64_t>(g) * 10;
        const unsigned shifts = static_cast<unsigned>(ByteOrZero(packed, base) | (ByteOrZero(packed, base + 1) << 8));
        const int m = static_cast<int16_t>(
            static_cast<uint16_t>(ByteOrZero(packed, base + 2 + 2 * s) | (ByteOrZero(packed, base + 3 + 2 * s) << 8)));
        const int e = static_cast<int>((shifts >> (4 * s)) & 0xF);
        samples[i] = (m + (m < 0 ? 1 : 0)) * (1 << e);
    }
}

int ReadSeg2FloatData(ByteSource& file, LoadTarget& target, FormatContext& ctx, Seg2OpenResult& out)
{
    const int lang = ctx.language;
    const std::span<const uint8_t> bytes = WholeFile(file);
    uint32_t n = 0;
    if (!CheckFileDescriptor(bytes, ctx, n)) return -1;
    const uint32_t toRead = std::min<uint32_t>(n, static_cast<uint32_t>(target.Capacity()));
    std::vector<TraceBlock> traces(toRead);
    for (uint32_t j = 0; j < toRead; ++j)
        if (!CheckTrace(bytes, j, DataMode::Int32, ctx, traces[j])) return -1;
    if (n > toRead) Tell(ctx, TracesMessage(lang, kTotalTracesReadMsg, static_cast<int>(toRead)));
    if (toRead == 0) return 0;
    bool truncated = false;
    std::vector<int> stored(toRead);
    for (uint32_t j = 0; j < toRead; ++j)
        stored[j] = StoredSamples(traces[j].ns, 1, target.MaxSample(), target.RowLength(), truncated);
    if (truncated) Tell(ctx, SamplesMessage(lang, kSamplesTruncatedMsg));

    // The interval stands at a fixed place of the strings (offset 290, else 293, from P + 48).
    auto fixedInterval = [&](uint64_t at) -> double {
        if (at >= bytes.size()) return 0.0;
        const TextWindow w(bytes.subspan(at, std::min<uint64_t>(10, bytes.size() - at)));
        const auto v = ScanDoublePrefix(w.Text());
        return v && *v >= 0.0 && *v <= 1000.0 ? *v : 0.0;
    };
    double seconds = 0.0;
    for (uint32_t j = 0; j < toRead; ++j) {
        const int k = static_cast<int>(j);
        const TraceBlock& t = traces[j];
        seconds = fixedInterval(t.pointer + 48 + 290);
        if (seconds < 1e-9) seconds = fixedInterval(t.pointer + 48 + 293);
        std::span<float> row = target.Row(k);
        const uint8_t* src = bytes.data() + t.dataStart;
        for (int s = 0; s < stored[j]; ++s) row[s] = static_cast<float>(LoadLittle<int32_t>(src + 4 * static_cast<size_t>(s)) * -0.001);
        CTraceHeader& h = target.Header(k);
        h.traceNumber = 1;
        h.receiverHundredths = (k + 1) * 100;
        h.sourceHundredths = 0;
        h.gain = 1;
        h.component = 1;
        h.delayUs = 0.0f;
        h.intervalUs = static_cast<float>(seconds * 1e6);
        h.samples = stored[j];
        CopyBase(target.HeaderEx(k), h);
    }
    out.samples = stored[toRead - 1];
    out.intervalMs = static_cast<float>(seconds * 1000.0);
    return static_cast<int>(toRead);
}

int ReadSeg2Packed20(ByteSource& file, LoadTarget& target, FormatContext& ctx, Seg2OpenResult& out)
{
    const int lang = ctx.language;
    const std::span<const uint8_t> bytes = WholeFile(file);
    std::string log;
    // The descriptor as 32 16-bit words (the first 64 bytes), as the diagnostic always showed it.
    for (int i = 0; i < 32; ++i)
        log += FormatC("%d %d \n", i,
                       static_cast<int16_t>(static_cast<uint16_t>(ByteOrZero(bytes, 2 * i) | (ByteOrZero(bytes, 2 * i + 1) << 8))));
    uint32_t n = 0;
    if (!CheckFileDescriptor(bytes, ctx, n)) {
        ctx.log.Rewrite(kSeg2Log, log);
        return -1;
    }
    for (uint32_t j = 0; j < n; ++j) log += FormatC("%u\n", U32(bytes, 32 + 4ull * j));

    const uint32_t capacity = static_cast<uint32_t>(target.Capacity());
    const uint32_t maxTraces = static_cast<uint32_t>(target.MaxTraces());
    const uint32_t toRead = std::min(n, capacity);
    std::vector<TraceBlock> traces(toRead);
    for (uint32_t j = 0; j < toRead; ++j) {
        if (!CheckTrace(bytes, j, DataMode::Packed20, ctx, traces[j])) {
            ctx.log.Rewrite(kSeg2Log, log);
            return -1;
        }
    }
    if (n > maxTraces) Tell(ctx, TracesMessage(lang, kTracesMaxPacked20Msg, static_cast<int>(maxTraces)));
    if (target.Start() > 0 && static_cast<uint64_t>(n) + target.Start() > maxTraces)
        Tell(ctx, TracesMessage(lang, kTotalTracesSetMsg, static_cast<int>(maxTraces)));
    if (toRead == 0) {
        ctx.log.Rewrite(kSeg2Log, log);
        return 0;
    }

    bool truncated = false;
    std::vector<int> stored(toRead);
    for (uint32_t j = 0; j < toRead; ++j)
        stored[j] = StoredSamples(traces[j].ns, 1, target.MaxSample(), target.RowLength(), truncated);
    if (truncated) Tell(ctx, SamplesMessage(lang, kSamplesMaxMsg, target.MaxSample()));

    out.receivers.assign(toRead, 0.0f);
    out.sources.assign(toRead, 0.0f);
    out.components.assign(toRead, 1);
    std::vector<int32_t> scratch;
    ConversionCount unused;  // integer samples are always finite
    double seconds = 0.0;
    for (uint32_t j = 0; j < toRead; ++j) {
        const TraceBlock& t = traces[j];
        log += FormatC(" %d %d \n", 0, U16(bytes, t.pointer));
        log += FormatC(" %d %d \n", 2, U16(bytes, t.pointer + 2));
        log += FormatC(" %d %u \n", 4, U32(bytes, t.pointer + 4));
        log += FormatC(" %d %u \n", 8, t.ns);
        log += FormatC(" %d %d \n", 12, t.code);
        for (uint64_t b = 13; b <= 44; ++b) log += FormatC(" %d ", ByteOrZero(bytes, t.pointer + b));
        log += "\n";
        const TextWindow w = TraceStrings(bytes, t);
        seconds = IntervalSeconds(w).value_or(0.0);
        const auto receiver = AsFloat(w.DoubleAfter("RECEIVER_LOCATION"));
        const size_t at = w.Find("RECEIVER_LOCATION");
        log += FormatC("%s \n", at == std::string::npos ? "" : std::string(w.From(at).substr(0, 40)).c_str());
        out.receivers[j] = receiver.value_or(static_cast<float>(j));
        log += FormatC("%u %f \n", j, static_cast<double>(out.receivers[j]));
        out.sources[j] = AsFloat(w.DoubleAfter("SOURCE_LOCATION")).value_or(0.0f);
        out.components[j] = w.IntAfter("RECEIVER_COMPONENT").value_or(1);
        log += FormatC("offset %llu %u\n", static_cast<unsigned long long>(t.pointer), t.blockSize);
        std::span<float> row = target.Row(static_cast<int>(j));
        if (stored[j] > 0) ConvertTrace(bytes, t, 3, 1, stored[j], row, unused, scratch);
    }
    if (std::all_of(out.receivers.begin(), out.receivers.end(), [](float r) { return r == 0.0f; }))
        for (uint32_t j = 0; j < toRead; ++j) out.receivers[j] = static_cast<float>(j);

    out.samples = stored[toRead - 1];
    out.intervalMs = static_cast<float>(seconds * 1000.0);
    for (uint32_t j = 0; j < toRead; ++j) {
        const int k = static_cast<int>(j);
        CTraceHeader& h = target.Header(k);
        h.traceNumber = 1;
        h.receiverHundredths = MetresToHundredths(out.receivers[j]).value_or(0);
        h.sourceHundredths = MetresToHundredths(out.sources[j]).value_or(0);
        h.gain = 1;
        h.component = out.components[j];
        h.delayUs = 0.0f;
        h.intervalUs = static_cast<float>(out.intervalMs * 1000.0);
        h.samples = stored[j];
        CopyBase(target.HeaderEx(k), h);
    }
    ctx.log.Rewrite(kSeg2Log, log);
    return static_cast<int>(toRead);
}

// =============================================================================================
// Writing

namespace {

constexpr uint32_t kFileStringBlock = 512;
constexpr uint32_t kTraceBlock = 512;
constexpr double kInt32Scale = 1925431424.0;

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A string list: [uint16 distance to the next entry][text][NUL] per entry, then a 0 distance.
std::vector<uint8_t> StringList(const std::vector<std::string>& strings)
{
    std::vector<uint8_t> list;
    for (const std::string& s : strings) {
        const size_t distance = 2 + s.size() + 1;
        list.push_back(static_cast<uint8_t>(distance));
        list.push_back(static_cast<uint8_t>(distance >> 8));
        list.insert(list.end(), s.begin(), s.end());
        list.push_back(0);
    }
    list.push_back(0);
    list.push_back(0);
    return list;
}

}  // namespace

std::vector<std::string> Seg2TraceStrings(const CTraceHeader& h, const CTraceHeaderEx* record,
                                          const Seg2RecordFacts* facts, const Seg2Image* image)
{
    // Two digits per field, whatever a bad calendar value holds, so the strings keep their length.
    auto two = [](int v) { return std::clamp(v, 0, 99); };
    const bool recorded = facts && facts->recorded;
    const std::string date = recorded ? FormatC("ACQUISITION_DATE %02d/%02d/%04d", two(facts->time.day), two(facts->time.month),
                                             std::clamp(facts->time.year, 0, 9999))
                                   : std::string("ACQUISITION_DATE 01/01/2001");
    const std::string time = recorded ? FormatC("ACQUISITION_TIME %02d:%02d:%02d", two(facts->time.hour),
                                             two(facts->time.minute), two(facts->time.second))
                                   : std::string("ACQUISITION_TIME 00:00:00");
    std::vector<std::string> s = {
        date,
        time,
        "CLIENT ZAV_CORPORATION",
        "COMPANY ZAV_CORPORATION",
        FormatC("*DELAY %f", static_cast<double>(h.delayUs) * 1e-6),
        "GENERAL_CONSTANT 1",
        "INSTRUMENT VELKARINE",
        "JOB_ID 1",
        "OBSERVER ZAV_CORPORATION",
        "PROCESSING_DATE 01/01/2001",
        "PROCESSING_TIME 00:00:00",
        FormatC("RECEIVER_LOCATION %f", h.receiverHundredths * 0.01),
        // An image's step exactly: its header word is cut to whole thousandths of a hertz.
        image ? FormatC("SAMPLE_INTERVAL %.14f", image->frequencyStep * 0.001)
              : FormatC("SAMPLE_INTERVAL %.8f", static_cast<double>(h.intervalUs) * 0.001 * 0.001),
        FormatC("SOURCE_LOCATION %f", h.sourceHundredths * 0.01),
        "TRACE_SORT COMMON_SOURCE",
        FormatC("TRACE_TYPE %d", h.component),
        "*UNITS METERS",
    };
    if (facts) {
        const auto at = std::find_if(s.begin(), s.end(), [](const std::string& k) { return k.rfind("*DELAY", 0) == 0; });
        s.insert(at + 1, FormatC("DELAY %f", static_cast<double>(h.delayUs) * 1e-6));
    }
    if (recorded) {
        // Among the keys in their order: after SOURCE_LOCATION.
        const auto at = std::find_if(s.begin(), s.end(), [](const std::string& k) { return k.rfind("TRACE_SORT", 0) == 0; });
        s.insert(at, FormatC("STACK %d", std::max(facts->stack, 1)));
    }
    if (record && record->latitude > -1000.0f) s.push_back(FormatC("LATITUDE %f", static_cast<double>(record->latitude)));
    if (record && record->longitude > -1000.0f)
        s.push_back(FormatC("LONGITUDE %f ", static_cast<double>(record->longitude)));
    if (image) {
        s.push_back(FormatC("%s %d", kSeg2ImageKey, image->dimension));
        s.push_back(FormatC("%s %d", kSeg2ImageShownKey, image->shown));
    }
    s.push_back("NOTE");
    return s;
}

WriteStatus WriteSeg2(ByteSink& sink, const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int count,
                      int formatCode, float scale, std::span<const CTraceHeaderEx> records, const Seg2RecordFacts* facts,
                      const Seg2Image* image)
{
    if (count < 1) return WriteStatus::Failed("there are no traces to save");
    if (count > kSeg2MaxWriteTraces)
        return WriteStatus::Failed(FormatC("SEG-2 holds at most %d traces; the record has %d", kSeg2MaxWriteTraces, count));
    if (formatCode != 2 && formatCode != 4)
        return WriteStatus::Failed(FormatC("the SEG-2 writer has no data format code %d", formatCode));
    if (headers.size() < static_cast<size_t>(count)) return WriteStatus::Failed("fewer headers than traces");
    if (!records.empty() && records.size() < static_cast<size_t>(count))
        return WriteStatus::Failed("fewer extended headers than traces");
    if (rows.Empty() || rows.RowLow() > 0 || rows.RowHigh() < count - 1)
        return WriteStatus::Failed("fewer sample rows than traces");

    const size_t n = static_cast<size_t>(count);
    const uint64_t cols = rows.Cols();
    // Per trace: its strings, block size and sample count; then the pointers.
    std::vector<std::vector<uint8_t>> lists(n);
    std::vector<uint32_t> blockSize(n), ns(n);
    std::vector<uint64_t> pointer(n);
    uint64_t at = 32 + 4 * n + kFileStringBlock;
    for (size_t i = 0; i < n; ++i) {
        lists[i] = StringList(Seg2TraceStrings(headers[i], records.empty() ? nullptr : &records[i], facts, image));
        // A list too long for the usual block grows the block to the next multiple of 4.
        const uint64_t needed = (32 + lists[i].size() + 3) / 4 * 4;
        if (needed > 65532) return WriteStatus::Failed("a trace's strings do not fit a SEG-2 block");
        blockSize[i] = static_cast<uint32_t>(std::max<uint64_t>(kTraceBlock, needed));
        ns[i] = static_cast<uint32_t>(std::clamp<int64_t>(headers[i].samples, 0, static_cast<int64_t>(cols)));
        pointer[i] = at;
        if (at > std::numeric_limits<uint32_t>::max())
            return WriteStatus::Failed("the record is too large for a SEG-2 file (pointers beyond 4 GB)");
        at += blockSize[i] + 4ull * ns[i];
    }

    // File descriptor, pointer table and the file string block (one entry "NOTE").
    std::vector<uint8_t> head(32 + 4 * n + kFileStringBlock, 0);
    Put16(head, 0, kSeg2FileId);
    Put16(head, 2, 1);
    Put16(head, 4, static_cast<uint16_t>(4 * n));
    Put16(head, 6, static_cast<uint16_t>(n));
    head[8] = 1;     // string terminator size
    head[9] = 0;     // string terminator
    head[10] = 0;
    head[11] = 1;    // line terminator size
    head[12] = 0x0A; // line terminator
    for (size_t i = 0; i < n; ++i) Put32(head, 32 + 4 * i, static_cast<uint32_t>(pointer[i]));
    const std::vector<uint8_t> fileList = StringList({"NOTE"});
    std::copy(fileList.begin(), fileList.end(), head.begin() + static_cast<std::ptrdiff_t>(32 + 4 * n));
    if (!sink.WriteBytes(head.data(), head.size())) return WriteStatus::Failed("cannot write the file");

    WriteStatus status = WriteStatus::Ok();
    std::vector<uint8_t> block;
    for (size_t i = 0; i < n; ++i) {
        block.assign(blockSize[i] + 4ull * ns[i], 0);
        Put16(block, 0, kSeg2TraceId);
        Put16(block, 2, static_cast<uint16_t>(blockSize[i]));
        Put32(block, 4, 4 * ns[i]);
        Put32(block, 8, ns[i]);
        block[12] = static_cast<uint8_t>(formatCode);
        std::copy(lists[i].begin(), lists[i].end(), block.begin() + 32);
        const std::span<const float> row = rows.Row(static_cast<int>(i));
        uint8_t* data = block.data() + blockSize[i];
        if (formatCode == 4) {
            for (uint32_t k = 0; k < ns[i]; ++k) {
                const uint32_t bits = std::bit_cast<uint32_t>(row[k]);
                for (int b = 0; b < 4; ++b) data[4 * k + b] = static_cast<uint8_t>(bits >> (8 * b));
            }
        } else {
            const bool zeros = !(scale > 0.0f);
            for (uint32_t k = 0; k < ns[i]; ++k) {
                const double v = zeros ? 0.0 : static_cast<double>(row[k]) / static_cast<double>(scale) * kInt32Scale;
                const uint32_t bits = static_cast<uint32_t>(NearestInt32Checked(v, status.conversions));
                for (int b = 0; b < 4; ++b) data[4 * k + b] = static_cast<uint8_t>(bits >> (8 * b));
            }
        }
        if (!sink.WriteBytes(block.data(), block.size())) return WriteStatus::Failed("cannot write the file");
    }
    if (!sink.Ok()) return WriteStatus::Failed("cannot write the file");
    return status;
}

WriteStatus WriteSeg2File(const std::string& path, const Matrix2D<float>& rows, std::span<const CTraceHeader> headers,
                          int count, int formatCode, float scale, const Seg2RecordFacts* facts, const Seg2Image* image)
{
    AtomicFileWriter out(path);
    if (out.Failed()) return WriteStatus::Failed(out.Error());
    ByteSink sink(out);
    WriteStatus status = WriteSeg2(sink, rows, headers, count, formatCode, scale, {}, facts, image);
    if (!status) return status;  // the temporary file goes with `out`
    if (!sink.Ok() || out.Failed()) return WriteStatus::Failed(out.Error().empty() ? "cannot write the file" : out.Error());
    if (!out.Commit()) return WriteStatus::Failed(out.Error());
    return status;
}

WriteStatus WriteSeg2AsFloat(ByteSink& sink, const Matrix2D<float>& rows, std::span<const CTraceHeader> headers,
                             int count, int formatCode, float scale)
{
    return WriteSeg2(sink, rows, headers, count, formatCode, scale, {});
}

// =============================================================================================
// The dialog holder

namespace {

std::unique_ptr<LoadTarget> TargetFor(const WaveformStore& store, int start)
{
    return std::make_unique<LoadTarget>(start, store.MaxTraces() - start, store.RowLength(), store.MaxSample());
}

// "Open data file" when traces are loaded: nullopt when closed without OK, else the start.
std::optional<int> AskNewOrAppend(UiHost& ui, int language, int loadedCount)
{
    if (loadedCount <= 0) return 0;
    COpenDataFileDlg dlg;
    dlg.value = 0;
    DialogRequest request = dlg.Request(language);
    if (!ui.RunDialog(request)) return std::nullopt;
    return dlg.value == 1 ? loadedCount : 0;
}

std::optional<ByteSource> OpenForReading(UiHost& ui, int language, const std::string& path)
{
    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) {
        ui.Message(Msg(language, "Cannot open the file") + "\n\n" + path, MsgButtons::Ok, MsgIcon::Error);
        return std::nullopt;
    }
    return file;
}

FileRequest AllFilesRequest(const char* description)
{
    FileRequest request;
    request.initialName = "*.*";
    request.filters = {{description, "*.*"}};
    return request;
}

}  // namespace

Seg2OpenResult CSeg2FileDlg::OpenSeg2Dialog(UiHost& ui, int language, const WaveformStore& store, int loadedCount)
{
    Seg2OpenResult result;
    FileRequest request;
    request.initialName = "*.dat";
    request.filters = {{"Seg2 file(*.dat)", "*.dat"}, {"Seg2 file(*.sg2)", "*.sg2"}, {"All files(*.*)", "*.*"}};
    const std::optional<std::string> path = ui.OpenFile(request);
    if (!path) return result;
    result.path = *path;
    std::optional<ByteSource> file = OpenForReading(ui, language, *path);
    if (!file) return result;
    const std::optional<int> start = AskNewOrAppend(ui, language, std::min(loadedCount, store.MaxTraces()));
    if (!start) return result;

    std::unique_ptr<LoadTarget> target = TargetFor(store, *start);
    NullLogSink log;
    FormatContext ctx{ui, language, log};
    const int read = ReadSeg2(*file, *target, 1, ctx, &result.image);
    if (read <= 0) return result;
    result.outcome = *start > 0 ? OpenOutcome::Appended : OpenOutcome::NewRecord;
    result.start = *start;
    result.tracesRead = read;
    result.traceCount = *start + read;
    result.samples = target->HeaderAt(0).samples;
    result.intervalMs = target->HeaderAt(0).intervalUs * 0.001f;
    result.target = std::move(target);
    return result;
}

Seg2OpenResult CSeg2FileDlg::OpenSeg2FloatDialog(UiHost& ui, int language, const WaveformStore& store)
{
    Seg2OpenResult result;
    const std::optional<std::string> path = ui.OpenFile(AllFilesRequest("Seg2 file(*.*)"));
    if (!path) return result;
    result.path = *path;
    std::optional<ByteSource> file = OpenForReading(ui, language, *path);
    if (!file) return result;
    std::unique_ptr<LoadTarget> target = TargetFor(store, 0);
    NullLogSink log;
    FormatContext ctx{ui, language, log};
    const int read = ReadSeg2FloatData(*file, *target, ctx, result);
    if (read <= 0) return result;
    result.outcome = OpenOutcome::NewRecord;
    result.tracesRead = read;
    result.traceCount = read;
    result.target = std::move(target);
    return result;
}

SaveOutcome CSeg2FileDlg::SaveSeg2Dialog(UiHost& ui, int language, const Matrix2D<float>& rows,
                                         std::span<const CTraceHeader> headers, int count, const Seg2Image* image)
{
    FileRequest request;
    request.initialName = "*.dat";
    request.filters = {{"Seg2 file(*.dat)", "*.dat"}, {"Seg2 file(*.sg2)", "*.sg2"}, {"All files(*.*)", "*.*"}};
    request.overwritePrompt = false;  // the question below is the command's own
    std::optional<std::string> chosen = ui.SaveFile(request);
    if (!chosen) return SaveOutcome::Cancelled;
    std::string path = *chosen;
    const bool named = path.find(".dat") != std::string::npos || path.find(".sg2") != std::string::npos ||
                       path.find(".DAT") != std::string::npos || path.find(".SG2") != std::string::npos;
    if (!named) path += ".dat";
    if (::access(path.c_str(), F_OK) == 0) {
        if (ui.Message(Msg(language, "Are you sure you want to over write?", "上書きしてもよろしいですか?"),
                       MsgButtons::OkCancel, MsgIcon::Question) != MsgResult::Ok)
            return SaveOutcome::Cancelled;
    }
    const WriteStatus status = WriteSeg2File(path, rows, headers, count, 4, 1.0f, nullptr, image);
    if (!status) {
        ui.Message(FileSaveFailedMessage(language, path, status.error), MsgButtons::Ok, MsgIcon::Error);
        return SaveOutcome::Failed;
    }
    return SaveOutcome::Written;
}

Seg2OpenResult CSeg2FileDlg::OpenSeg2Packed20Dialog(UiHost& ui, int language, LogSink& log, const WaveformStore& store,
                                                    int loadedCount)
{
    Seg2OpenResult result;
    const std::optional<std::string> path = ui.OpenFile(AllFilesRequest("Seg2 file(*.*)"));
    if (!path) return result;
    result.path = *path;
    std::optional<ByteSource> file = OpenForReading(ui, language, *path);
    if (!file) return result;
    const std::optional<int> start = AskNewOrAppend(ui, language, std::min(loadedCount, store.MaxTraces()));
    if (!start) return result;
    std::unique_ptr<LoadTarget> target = TargetFor(store, *start);
    FormatContext ctx{ui, language, log};
    const int read = ReadSeg2Packed20(*file, *target, ctx, result);
    if (read <= 0) return result;
    result.outcome = *start > 0 ? OpenOutcome::Appended : OpenOutcome::NewRecord;
    result.start = *start;
    result.tracesRead = read;
    result.traceCount = *start + read;
    result.target = std::move(target);
    return result;
}

}  // namespace velk
