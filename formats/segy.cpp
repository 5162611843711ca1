#include "formats/segy.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

// ---------------------------------------------------------------------------------------------
// Fields. Callers check the bounds first.

uint16_t U16(std::span<const uint8_t> b, size_t at, ByteOrder order)
{
    return order == ByteOrder::Big ? static_cast<uint16_t>((b[at] << 8) | b[at + 1])
                                   : static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

int16_t I16(std::span<const uint8_t> b, size_t at, ByteOrder order) { return static_cast<int16_t>(U16(b, at, order)); }

uint32_t U32(const uint8_t* p, ByteOrder order)
{
    if (order == ByteOrder::Big)
        return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
               (static_cast<uint32_t>(p[2]) << 8) | p[3];
    return (static_cast<uint32_t>(p[3]) << 24) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[1]) << 8) | p[0];
}

// Offsets in the binary header.
constexpr size_t kBinTracesPerEnsemble = 12;
constexpr size_t kBinInterval = 16;
constexpr size_t kBinSamples = 20;
constexpr size_t kBinFormat = 24;
constexpr size_t kBinByteOrderMark = 96;
constexpr size_t kBinExtendedHeaders = 304;
constexpr size_t kBinAdditionalTraceHeaders = 306;
constexpr size_t kTraceHeaderSamples = 114;  // in a trace header

constexpr std::string_view kEndTextAscii = "((SEG: EndText))";
// The same stanza in EBCDIC.
constexpr std::array<uint8_t, 16> kEndTextEbcdic = {0x4D, 0x4D, 0xE2, 0xC5, 0xC7, 0x7A, 0x40, 0xC5,
                                                    0x95, 0x84, 0xE3, 0x85, 0xA7, 0xA3, 0x5D, 0x5D};

bool IsReadFormat(int code) { return SegYSampleBytes(code) != 0; }

// ---------------------------------------------------------------------------------------------
// Messages

void Tell(FormatContext& ctx, const std::string& text) { ctx.ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

void Refuse(FormatContext& ctx, const std::string& reason)
{
    ctx.ui.Message(reason + Msg(ctx.language, "\n\n The data was not changed.", "\n\n データは変更されていません。"),
                   MsgButtons::Ok, MsgIcon::Error);
}

// ---------------------------------------------------------------------------------------------
// The diagnostic log, built without the locale and without a call per value.

class LogText {
public:
    LogText& Int(long long v)
    {
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, v);
        text_.append(buf, r.ptr);
        return *this;
    }
    LogText& Fixed(double v)  // "%f"
    {
        if (!std::isfinite(v)) {
            text_ += FormatC("%f", v);
            return *this;
        }
        char buf[400];
        const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6);
        text_.append(buf, r.ptr);
        return *this;
    }
    LogText& Text(std::string_view s)
    {
        text_ += s;
        return *this;
    }
    std::string& Str() { return text_; }

private:
    std::string text_;
};

// ---------------------------------------------------------------------------------------------
// Samples

// 16^(e - 64) / 2^24 for every exponent e: exact powers of two in a double.
const std::array<double, 128>& IbmScale()
{
    static const std::array<double, 128> table = [] {
        std::array<double, 128> t{};
        for (int e = 0; e < 128; ++e) t[static_cast<size_t>(e)] = std::ldexp(1.0, 4 * (e - 64) - 24);
        return t;
    }();
    return table;
}

using WordDecoder = float (*)(const uint8_t* p, ConversionCount& cc);

template <ByteOrder O>
float DecodeIbm(const uint8_t* p, ConversionCount& cc)
{
    return IbmWordToFloat(U32(p, O), cc);
}
template <ByteOrder O>
float DecodeIeee(const uint8_t* p, ConversionCount& cc)
{
    return IeeeWordToFloat(U32(p, O), cc);
}
template <ByteOrder O>
float DecodeInt32(const uint8_t* p, ConversionCount&)
{
    return static_cast<float>(static_cast<int32_t>(U32(p, O)));
}
template <ByteOrder O>
float DecodeInt16(const uint8_t* p, ConversionCount&)
{
    return O == ByteOrder::Big ? static_cast<int16_t>((p[0] << 8) | p[1]) : static_cast<int16_t>(p[0] | (p[1] << 8));
}
float DecodeInt8(const uint8_t* p, ConversionCount&) { return static_cast<int8_t>(p[0]); }

template <ByteOrder O>
WordDecoder DecoderIn(int format)
{
    switch (format) {
    case kSegYIbm: return DecodeIbm<O>;
    case kSegYInt32: return DecodeInt32<O>;
    case kSegYInt16: return DecodeInt16<O>;
    case kSegYIeee: return DecodeIeee<O>;
    case kSegYInt8: return DecodeInt8;
    default: return nullptr;
    }
}

WordDecoder DecoderFor(int format, ByteOrder order)
{
    return order == ByteOrder::Big ? DecoderIn<ByteOrder::Big>(format) : DecoderIn<ByteOrder::Little>(format);
}

std::span<const uint8_t> WholeFile(ByteSource& file)
{
    file.Seek(0);
    return file.Peek(static_cast<size_t>(file.Size()));
}

// The extended textual headers: the first trace's offset, or nullopt after a message.
std::optional<uint64_t> SkipExtendedHeaders(std::span<const uint8_t> bytes, int count, FormatContext& ctx)
{
    const int lang = ctx.language;
    const uint64_t first = kSegYTextHeader + kSegYBinaryHeader;
    if (count == 0) return first;
    if (count > 0) {
        const uint64_t start = first + kSegYTextHeader * static_cast<uint64_t>(count);
        if (start > bytes.size()) {
            Refuse(ctx, FormatC(Msg(lang,
                                    " The SEG-Y file is damaged: its %d extended textual headers reach past the end of the file.",
                                    " SEG-Y ファイルが壊れています: %d 個の拡張テキストヘッダーがファイルの終わりを越えています。")
                                    .c_str(),
                                count));
            return std::nullopt;
        }
        return start;
    }
    if (count == -1) {
        const auto* ascii = reinterpret_cast<const uint8_t*>(kEndTextAscii.data());
        for (uint64_t at = first; at + kSegYTextHeader <= bytes.size(); at += kSegYTextHeader) {
            const auto record = bytes.subspan(static_cast<size_t>(at), kSegYTextHeader);
            const bool end =
                std::search(record.begin(), record.end(), ascii, ascii + kEndTextAscii.size()) != record.end() ||
                std::search(record.begin(), record.end(), kEndTextEbcdic.begin(), kEndTextEbcdic.end()) != record.end();
            if (end) return at + kSegYTextHeader;
        }
        Refuse(ctx, Msg(lang,
                        " The SEG-Y file is damaged: its extended textual headers have no end stanza ((SEG: EndText)).",
                        " SEG-Y ファイルが壊れています: 拡張テキストヘッダーに終わりの記述 ((SEG: EndText)) がありません。"));
        return std::nullopt;
    }
    Refuse(ctx, FormatC(Msg(lang, " The SEG-Y file is damaged: its count of extended textual headers (%d) is not valid.",
                            " SEG-Y ファイルが壊れています: 拡張テキストヘッダーの数 (%d) が正しくありません。")
                            .c_str(),
                        count));
    return std::nullopt;
}

}  // namespace

// =============================================================================================

float IbmWordToFloat(uint32_t word, ConversionCount& cc)
{
    const uint32_t fraction = word & 0x00FFFFFFu;
    const uint32_t exponent = (word >> 24) & 0x7Fu;
    double value = static_cast<double>(fraction) * IbmScale()[exponent];
    if (word & 0x80000000u) value = -value;
    if (std::fabs(value) > FLT_MAX) {
        ++cc.clamped;
        return value < 0 ? -FLT_MAX : FLT_MAX;
    }
    return static_cast<float>(value);
}

float IeeeWordToFloat(uint32_t word, ConversionCount& cc)
{
    const float value = std::bit_cast<float>(word);
    if (!std::isfinite(value)) {
        ++cc.nonFinite;
        return 0.0f;
    }
    return value;
}

void IbmToIeee(std::span<const uint8_t> words, std::span<float> out, size_t count, int mode, ConversionCount& cc)
{
    count = std::min({count, words.size() / 4, out.size()});
    const uint8_t* p = words.data();
    if (mode == kIeeeBigEndian) {
        for (size_t i = 0; i < count; ++i) out[i] = IeeeWordToFloat(U32(p + 4 * i, ByteOrder::Big), cc);
    } else {
        for (size_t i = 0; i < count; ++i) out[i] = IbmWordToFloat(U32(p + 4 * i, ByteOrder::Big), cc);
    }
}

int SegYSampleBytes(int formatCode)
{
    switch (formatCode) {
    case kSegYIbm:
    case kSegYInt32:
    case kSegYIeee: return 4;
    case kSegYInt16: return 2;
    case kSegYInt8: return 1;
    default: return 0;
    }
}

bool DecodeSegYLayout(ByteSource& file, SegYRoad road, FormatContext& ctx, SegYLayout& layout, std::string* log)
{
    const int lang = ctx.language;
    const std::span<const uint8_t> bytes = WholeFile(file);
    const uint64_t headers = kSegYTextHeader + kSegYBinaryHeader;
    if (bytes.size() < headers) {
        Refuse(ctx, Msg(lang, " The SEG-Y file is too short: its headers are cut.",
                        " SEG-Y ファイルが短すぎます (ヘッダーが欠けています)。"));
        return false;
    }
    const std::span<const uint8_t> bin = bytes.subspan(kSegYTextHeader, kSegYBinaryHeader);
    SegYLayout l;

    // 1. Byte order and format: the mark, else the order in which the code makes sense, else
    // the question.
    const uint8_t* mark = bin.data() + kBinByteOrderMark;
    const bool bigMark = mark[0] == 1 && mark[1] == 2 && mark[2] == 3 && mark[3] == 4;
    const bool littleMark = mark[0] == 4 && mark[1] == 3 && mark[2] == 2 && mark[3] == 1;
    if (bigMark || littleMark) {
        l.order = bigMark ? ByteOrder::Big : ByteOrder::Little;
        l.format = I16(bin, kBinFormat, l.order);
        if (!IsReadFormat(l.format)) {
            Refuse(ctx, FormatC(Msg(lang,
                                    " The SEG-Y file has a byte-order mark, but its data sample format code %d \n"
                                    " is not one that can be read (1, 2, 3, 5 or 8).",
                                    " SEG-Y ファイルにバイト順のマークがありますが、データ形式コード %d は \n"
                                    " 読めません (1, 2, 3, 5, 8 のみ)。")
                                    .c_str(),
                                l.format));
            return false;
        }
    } else if (IsReadFormat(I16(bin, kBinFormat, ByteOrder::Big))) {
        l.order = ByteOrder::Big;
        l.format = I16(bin, kBinFormat, ByteOrder::Big);
    } else if (IsReadFormat(I16(bin, kBinFormat, ByteOrder::Little))) {
        l.order = ByteOrder::Little;
        l.format = I16(bin, kBinFormat, ByteOrder::Little);
    } else {
        const MsgResult answer = ctx.ui.Message(Msg(lang, "Convert to IEEE format ?", "IEEE 形式に変換しますか ?"),
                                                MsgButtons::YesNo, MsgIcon::Question);
        l.asked = true;
        if (answer == MsgResult::Yes) {
            l.order = ByteOrder::Big;
            l.format = road == SegYRoad::Document ? kSegYIbm : kSegYIeee;
        } else {
            l.order = ByteOrder::Little;
            l.format = kSegYInt32;
        }
    }
    l.sampleBytes = SegYSampleBytes(l.format);
    l.tracesPerEnsemble = I16(bin, kBinTracesPerEnsemble, l.order);
    if (log) {
        LogText t;
        t.Text("trace_per_rec=").Int(l.tracesPerEnsemble).Text(" \n");
        *log = std::move(t.Str());
    }

    // 2. Where the traces start.
    const std::optional<uint64_t> start = SkipExtendedHeaders(bytes, I16(bin, kBinExtendedHeaders, l.order), ctx);
    if (!start) return false;
    l.dataStart = *start;
    if (U16(bin, kBinAdditionalTraceHeaders, l.order) != 0) {
        Refuse(ctx, Msg(lang, " The SEG-Y file has additional trace headers, which cannot be read.",
                        " SEG-Y ファイルに追加のトレースヘッダーがあり、読み込めません。"));
        return false;
    }

    // 3. Samples per trace and interval.
    l.samples = U16(bin, kBinSamples, l.order);
    if (l.samples == 0 && l.dataStart + kSegYTraceHeader <= bytes.size())
        l.samples = U16(bytes, static_cast<size_t>(l.dataStart + kTraceHeaderSamples), l.order);
    if (l.samples == 0) {
        Refuse(ctx, Msg(lang, " The SEG-Y file gives no number of samples per trace.",
                        " SEG-Y ファイルにトレースあたりのサンプル数がありません。"));
        return false;
    }
    l.intervalUs = U16(bin, kBinInterval, l.order);

    // 4. The traces, from the file size.
    l.traceBytes = kSegYTraceHeader + static_cast<uint64_t>(l.samples) * static_cast<uint64_t>(l.sampleBytes);
    const uint64_t data = bytes.size() - l.dataStart;
    l.traces = data / l.traceBytes;
    l.partialTrace = data % l.traceBytes != 0;
    if (l.traces == 0) {
        Refuse(ctx, Msg(lang, " The SEG-Y file holds no complete trace.", " SEG-Y ファイルに完全なトレースがありません。"));
        return false;
    }
    layout = l;
    return true;
}

int ReadSegYTraces(ByteSource& file, const SegYLayout& layout, LoadTarget& target, FormatContext& ctx, std::string log)
{
    const int lang = ctx.language;
    const std::span<const uint8_t> bytes = WholeFile(file);
    const WordDecoder decode = DecoderFor(layout.format, layout.order);
    if (!decode || layout.traces == 0 || layout.traceBytes == 0 ||
        layout.dataStart + layout.traces * layout.traceBytes > bytes.size())
        return -1;  // not a layout DecodeSegYLayout made for this file

    const uint64_t room = static_cast<uint64_t>(std::max(target.Capacity(), 0));
    const int toRead = static_cast<int>(std::min(layout.traces, room));
    if (layout.traces > room) Tell(ctx, TracesMessage(lang, kTotalTracesReadMsg, toRead));
    if (layout.partialTrace)
        Tell(ctx, Msg(lang, " The SEG-Y file ends inside a trace: the incomplete last trace was not read.",
                      " SEG-Y ファイルがトレースの途中で終わっています: 最後の不完全なトレースは読み込んでいません。"));
    const int kept = std::min({layout.samples, target.MaxSample(), target.RowLength()});
    if (layout.samples > kept) Tell(ctx, SamplesMessage(lang, kSamplesTruncatedMsg));

    LogText t;
    t.Str() = std::move(log);
    ConversionCount cc;
    const int perEnsemble = layout.tracesPerEnsemble;
    for (int k = 0; k < toRead; ++k) {
        const uint64_t at = layout.dataStart + static_cast<uint64_t>(k) * layout.traceBytes;
        const uint8_t* src = bytes.data() + at + kSegYTraceHeader;
        const int inEnsemble = perEnsemble > 0 ? k % perEnsemble : k;
        t.Int(k).Text(" ").Int(inEnsemble).Text(" ").Int(static_cast<long long>(kSegYTraceHeader)).Text(" \n");

        std::span<float> row = target.Row(k);
        for (int s = 0; s < kept; ++s) row[static_cast<size_t>(s)] = decode(src + static_cast<size_t>(s) * layout.sampleBytes, cc);
        if (k % 10 == 0) {
            for (int s = 0; s < kept; ++s)
                t.Text(" ").Int(k).Text(" ").Int(inEnsemble).Text(" ").Int(s).Text(" ").Fixed(row[static_cast<size_t>(s)]).Text("\n");
        }

        const int h = target.Start() + k;
        CTraceHeader& header = target.Header(k);
        header.Set(h + 1, static_cast<int32_t>(static_cast<int64_t>(h) * 100), 0, 10, 1, 0.0f,
                   static_cast<float>(layout.intervalUs), kept);
        static_cast<CTraceHeader&>(target.HeaderEx(k)) = header;
    }
    ctx.log.Rewrite("segy_read.txt", t.Str());
    if (cc.Any()) Tell(ctx, ConversionWarning(lang, cc));
    return toRead;
}

int ReadSegY(ByteSource& file, LoadTarget& target, FormatContext& ctx)
{
    SegYLayout layout;
    std::string log;
    if (!DecodeSegYLayout(file, SegYRoad::Document, ctx, layout, &log)) return -1;
    return ReadSegYTraces(file, layout, target, ctx, std::move(log));
}

// =============================================================================================

SegYOpenResult CSegYFileDlg::OpenSegYDialog(UiHost& ui, int language, LogSink& log, const WaveformStore& store)
{
    SegYOpenResult result;
    FileRequest request;
    request.initialName = "*.*";
    request.filters = {{"SegY file(*.*)", "*.*"}};
    const std::optional<std::string> path = ui.OpenFile(request);
    if (!path) return result;
    result.path = *path;
    ByteSource file = ByteSource::FromFile(*path);
    if (!file.Ok()) {
        ui.Message(Msg(language, "Cannot open the file") + "\n\n" + *path, MsgButtons::Ok, MsgIcon::Error);
        return result;
    }

    FormatContext ctx{ui, language, log};
    SegYLayout layout;
    std::string text;
    if (!DecodeSegYLayout(file, SegYRoad::Menu, ctx, layout, &text)) return result;
    if (layout.intervalUs == 0) {
        Refuse(ctx, Msg(language, " The SEG-Y file gives no sample interval.",
                        " SEG-Y ファイルにサンプリング間隔がありません。"));
        return result;
    }
    auto target = std::make_unique<LoadTarget>(0, store.MaxTraces(), store.RowLength(), store.MaxSample());
    const int read = ReadSegYTraces(file, layout, *target, ctx, std::move(text));
    if (read <= 0) return result;
    result.outcome = OpenOutcome::NewRecord;
    result.samples = target->HeaderAt(0).samples;
    result.intervalMs = static_cast<float>(layout.intervalUs * 0.001);
    result.traces = read;
    result.target = std::move(target);
    return result;
}

}  // namespace velk
