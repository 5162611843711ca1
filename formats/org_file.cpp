#include "formats/org_file.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "formats/file_roads.h"
#include "platform/atomic_file.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

constexpr const char* kLogName = "read_Torvane_file.txt";

void Tell(FormatContext& ctx, const std::string& text, MsgIcon icon = MsgIcon::Warning)
{
    ctx.ui.Message(text, MsgButtons::Ok, icon);
}

void Refuse(FormatContext& ctx, const std::string& reason)
{
    Tell(ctx, reason + Msg(ctx.language, "\n\n The data was not changed.", "\n\n データは変更されていません。"),
         MsgIcon::Error);
}

std::span<const uint8_t> WholeFile(ByteSource& file)
{
    file.Seek(0);
    return file.Peek(static_cast<size_t>(file.Size()));
}

// A time word from a value in ms: microseconds as float, 0 when it does not fit.
float MicrosecondsOf(double ms)
{
    const double us = ms * 1000.0;
    return std::isfinite(us) && std::fabs(us) <= FLT_MAX ? static_cast<float>(us) : 0.0f;
}

void PutText(std::vector<uint8_t>& b, size_t at, std::string_view text)
{
    std::copy(text.begin(), text.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

std::string OrgModelText(std::span<const uint8_t> header)
{
    std::string model;
    for (size_t i = kOrgModelFirst; i <= kOrgModelLast && i < header.size() && header[i] != 0; ++i)
        model += static_cast<char>(header[i]);
    return model;
}

int OrgSampleBytes(std::string_view model)
{
    if (model.find("Tq470F") != std::string_view::npos || model.find("TQ470F") != std::string_view::npos) return 4;
    if (model.find("Tq") != std::string_view::npos || model.find("TQ") != std::string_view::npos) return 2;
    return 4;
}

double OrgGainFactor(int32_t db, bool* odd)
{
    // The samples are floats: a factor that is 0 or infinite as a float divides nothing usefully.
    const double factor = std::pow(10.0, db * 0.05);
    const float asFloat = static_cast<float>(factor);
    if (asFloat == 0.0f || !std::isfinite(asFloat)) {
        if (odd) *odd = true;
        return 1.0;
    }
    return factor;
}

bool ParseOrgLayout(std::span<const uint8_t> bytes, OrgLayout& layout)
{
    if (bytes.size() < kOrgBlockOffset + kOrgBlockSize) return false;
    layout.model = OrgModelText(bytes);
    layout.sampleBytes = OrgSampleBytes(layout.model);
    const std::span<const uint8_t> block = bytes.subspan(kOrgBlockOffset, kOrgBlockSize);
    layout.channels = ScanIntPrefix(FieldUpToCR(block, 51));
    layout.samples = ScanIntPrefix(FieldUpToCR(block, 54));
    layout.intervalMs = ScanDoublePrefix(FieldUpToCR(block, 59)).value_or(0.0);
    layout.delayMs = ScanDoublePrefix(FieldUpToCR(block, 65)).value_or(0.0);
    return true;
}

bool CheckOrgLayout(std::span<const uint8_t> bytes, const OrgLayout& layout, int maxSample, FormatContext& ctx)
{
    const int lang = ctx.language;
    if (!layout.channels || *layout.channels < 0) {
        Refuse(ctx, Msg(lang, " The .ORG file gives no number of channels.", " .ORG ファイルにチャンネル数がありません。"));
        return false;
    }
    if (!layout.samples || *layout.samples < 1) {
        Refuse(ctx, Msg(lang, " The .ORG file gives no number of samples.", " .ORG ファイルにサンプル数がありません。"));
        return false;
    }
    if (*layout.samples > maxSample) {
        Refuse(ctx, SamplesMessage(lang, kSamplesMaxMsg, maxSample));
        return false;
    }
    if (kOrgChannelOffset + kOrgChannelSize * static_cast<uint64_t>(*layout.channels) > bytes.size()) {
        Refuse(ctx, FormatC(Msg(lang, " The .ORG file ends inside its %d channel blocks.",
                                " .ORG ファイルが %d チャンネル分のブロックの途中で終わっています。")
                                .c_str(),
                            *layout.channels));
        return false;
    }
    return true;
}

int32_t OrgChannelGainDb(std::span<const uint8_t> bytes, int64_t c)
{
    const size_t at = kOrgChannelOffset + kOrgChannelSize * static_cast<size_t>(c);
    if (at + kOrgChannelSize > bytes.size()) return 0;
    return ScanIntPrefix(FieldUpToCR(bytes.subspan(at, kOrgChannelSize), kOrgGainField)).value_or(0);
}

// =============================================================================================
// Reading

int ReadTorvaneOrg(ByteSource& file, LoadTarget& target, FormatContext& ctx)
{
    const int lang = ctx.language;
    const std::span<const uint8_t> bytes = WholeFile(file);
    std::string log;
    OrgLayout layout;
    if (!ParseOrgLayout(bytes, layout)) {
        ctx.log.Rewrite(kLogName, log);
        Refuse(ctx, Msg(lang, " The .ORG file is too short: its header is cut.",
                        " .ORG ファイルが短すぎます (ヘッダーが欠けています)。"));
        return -1;
    }
    const int maxSample = std::min(target.MaxSample(), target.RowLength());
    if (!CheckOrgLayout(bytes, layout, maxSample, ctx)) {
        ctx.log.Rewrite(kLogName, log);
        return -1;
    }
    const int64_t channels = *layout.channels;
    const int64_t n = *layout.samples;
    const int width = layout.sampleBytes;

    // The gains: C channels, then two traces of factor 1.
    std::vector<int32_t> gainDb(static_cast<size_t>(channels) + 2, 0);
    std::vector<double> factor(static_cast<size_t>(channels) + 2, 1.0);
    bool oddGain = false;
    for (int64_t c = 0; c < channels; ++c) {
        gainDb[static_cast<size_t>(c)] = OrgChannelGainDb(bytes, c);
        factor[static_cast<size_t>(c)] = OrgGainFactor(gainDb[static_cast<size_t>(c)], &oddGain);
        log += FormatC("cha=%lld gain=%d db -> %f 倍\n", static_cast<long long>(c), gainDb[static_cast<size_t>(c)],
                       factor[static_cast<size_t>(c)]);
    }
    if (oddGain) {
        Tell(ctx, Msg(lang, " A channel of the .ORG file has a gain whose factor is 0 or too large ! \n Its samples are read with factor 1.",
                      " .ORG ファイルのチャンネルのゲイン係数が 0 か大きすぎます ! \n そのサンプルは係数 1 で読み込みます。"));
    }

    // As many complete traces as the file holds, C + 2 at most.
    const uint64_t traceBytes = static_cast<uint64_t>(n) * static_cast<uint64_t>(width);
    const uint64_t dataBytes = bytes.size() > kOrgDataOffset ? bytes.size() - kOrgDataOffset : 0;
    const uint64_t inFile = dataBytes / traceBytes;
    const int64_t toRead = static_cast<int64_t>(std::min<uint64_t>(static_cast<uint64_t>(channels) + 2, inFile));
    if (toRead > target.Capacity()) {
        ctx.log.Rewrite(kLogName, log);
        Refuse(ctx, TracesMessage(lang, kTracesMaxHeadersMsg, target.MaxTraces()));
        return -1;
    }
    if (toRead < channels + 2 && dataBytes % traceBytes != 0) {
        Tell(ctx, FormatC(Msg(lang, " The .ORG file ends inside trace %lld ! \n %lld complete traces have been read.",
                              " .ORG ファイルがトレース %lld の途中で終わっています ! \n 完全な %lld トレースを読み込みました。")
                              .c_str(),
                          static_cast<long long>(toRead + 1), static_cast<long long>(toRead)));
    } else if (toRead < channels) {
        Tell(ctx, FormatC(Msg(lang, " The .ORG file holds %lld of its %lld channels ! \n They have been read.",
                              " .ORG ファイルには %lld チャンネル (全 %lld チャンネル) しかありません ! \n それを読み込みました。")
                              .c_str(),
                          static_cast<long long>(toRead), static_cast<long long>(channels)));
    }

    ConversionCount cc;
    const uint8_t* data = bytes.data() + kOrgDataOffset;
    for (int64_t i = 0; i < toRead; ++i) {
        const int k = static_cast<int>(i);
        std::span<float> row = target.Row(k);
        const uint8_t* src = data + static_cast<size_t>(i) * traceBytes;
        const double f = factor[static_cast<size_t>(i)];
        for (int64_t m = 0; m < n; ++m) {
            const uint8_t* p = src + static_cast<size_t>(m) * static_cast<size_t>(width);
            double raw;
            if (width == 2) {
                raw = static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
            } else {
                raw = static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
            }
            row[static_cast<size_t>(m)] = ToFiniteFloat(raw / f, cc);
            if (width == 2) {
                log += FormatC("cha=%lld %lld %d/%f = %f \n", static_cast<long long>(i), static_cast<long long>(m),
                               static_cast<int>(raw), f, static_cast<double>(row[static_cast<size_t>(m)]));
            }
        }
        CTraceHeader& h = target.Header(k);
        h.Set(k + 1, (k + 1) * 100, 0, gainDb[static_cast<size_t>(i)], 1, MicrosecondsOf(layout.delayMs),
              MicrosecondsOf(layout.intervalMs), static_cast<int32_t>(n));
        static_cast<CTraceHeader&>(target.HeaderEx(k)) = h;
    }
    ctx.log.Rewrite(kLogName, log);
    if (cc.Any()) Tell(ctx, ConversionWarning(lang, cc));
    return static_cast<int>(toRead);
}

int ReadTorvaneOrgFile(const std::string& path, LoadTarget& target, FormatContext& ctx)
{
    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) {
        ctx.ui.Message(Msg(ctx.language, "Cannot open the file") + "\n\n" + path, MsgButtons::Ok, MsgIcon::Error);
        return -1;
    }
    return ReadTorvaneOrg(file, target, ctx);
}

int ReadTorvaneOrgVariant(ByteSource& file, std::span<CTraceHeader> headers, FormatContext& ctx)
{
    const int lang = ctx.language;
    const std::span<const uint8_t> bytes = WholeFile(file);
    OrgLayout layout;
    if (!ParseOrgLayout(bytes, layout)) {
        Refuse(ctx, Msg(lang, " The .ORG file is too short: its header is cut.",
                        " .ORG ファイルが短すぎます (ヘッダーが欠けています)。"));
        return -1;
    }
    if (!CheckOrgLayout(bytes, layout, std::numeric_limits<int32_t>::max(), ctx)) return -1;
    const int64_t channels = *layout.channels;
    const int64_t wanted = layout.sampleBytes == 4 ? channels + 1 : channels;
    const int64_t room = static_cast<int64_t>(headers.size());
    if (wanted > room) Tell(ctx, TracesMessage(lang, kTracesMaxHeadersMsg, static_cast<int>(std::min<int64_t>(room, INT32_MAX))));
    const int64_t count = std::min(wanted, room);
    for (int64_t m = 0; m < count; ++m) {
        const int32_t db = m < channels ? OrgChannelGainDb(bytes, m) : 0;
        headers[static_cast<size_t>(m)].Set(static_cast<int32_t>(m + 1), static_cast<int32_t>((m + 1) * 100), 0, db, 1,
                                            MicrosecondsOf(layout.delayMs), MicrosecondsOf(layout.intervalMs),
                                            *layout.samples);
    }
    return static_cast<int>(count);
}

int ReadTorvaneOrgVariantFile(const std::string& path, std::span<CTraceHeader> headers, FormatContext& ctx)
{
    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) {
        ctx.ui.Message(Msg(ctx.language, "Cannot open the file") + "\n\n" + path, MsgButtons::Ok, MsgIcon::Error);
        return -1;
    }
    const int count = ReadTorvaneOrgVariant(file, headers, ctx);
    const bool ifp = path.find("ifp") != std::string::npos || path.find("IFP") != std::string::npos;
    return ifp && count > 0 ? count - 1 : count;
}

// =============================================================================================
// Writing

std::string OrgIntervalText(double intervalMs) { return FormatC("%f", intervalMs).substr(0, 5); }

std::string OrgIntervalWarning(int language, double intervalMs)
{
    const std::string text = OrgIntervalText(intervalMs);
    const std::optional<double> back = ParseDouble(text);
    if (back && static_cast<float>(*back) == static_cast<float>(intervalMs)) return {};
    return FormatC(Msg(language, " The sampling time %g ms is written as \"%s\" ! \n The file has room for 5 characters.",
                       " サンプリング時間 %g ms は \"%s\" と書かれます ! \n ファイルの欄は 5 文字です。")
                       .c_str(),
                   intervalMs, text.c_str());
}

WriteStatus WriteTorvaneOrg(ByteSink& sink, const Matrix2D<float>& rows, std::span<const CTraceHeader> headers,
                            int count)
{
    if (count < 1) return WriteStatus::Failed("there are no traces to save");
    if (count > kOrgMaxWriteTraces)
        return WriteStatus::Failed(FormatC("an .ORG file holds at most %d traces; the record has %d", kOrgMaxWriteTraces, count));
    if (headers.size() < static_cast<size_t>(count)) return WriteStatus::Failed("fewer headers than traces");
    if (rows.Empty() || rows.RowLow() > 0 || rows.RowHigh() < count - 1)
        return WriteStatus::Failed("fewer sample rows than traces");
    const int n = headers[0].samples;
    if (n < 1) return WriteStatus::Failed("the first trace has no samples");
    if (n > kOrgMaxWriteSamples)
        return WriteStatus::Failed(
            FormatC("an .ORG file holds at most %d samples per trace; the record has %d", kOrgMaxWriteSamples, n));
    const double intervalMs = headers[0].intervalUs * 0.001;

    std::vector<uint8_t> head(kOrgDataOffset, 0);
    PutText(head, 0, "04");
    PutText(head, 2, "001Tq470FP");
    PutText(head, 12, "010198100636PM");
    // The text block: each field, then its carriage return at a fixed place.
    auto field = [&](size_t at, std::string_view text, size_t cr) {
        PutText(head, kOrgBlockOffset + at, text.substr(0, cr - at));
        head[kOrgBlockOffset + cr] = 13;
    };
    field(0, "1", 4);
    field(5, "1", 9);
    field(10, "date", 21);
    field(22, "Velkarine", 44);
    field(45, "ZAV", 50);
    field(51, FormatC("%d", count), 53);
    field(54, FormatC("%d", n), 58);
    field(59, OrgIntervalText(intervalMs), 64);
    field(65, "+0000.000", 74);
    field(75, "0.00", 79);
    field(80, "0.00", 84);
    for (int c = 0; c < count; ++c) {
        const size_t at = kOrgChannelOffset + kOrgChannelSize * static_cast<size_t>(c) + kOrgGainField;
        PutText(head, at, "10");
        head[at + 3] = 13;  // "10", a zero byte, CR
    }
    if (!sink.WriteBytes(head.data(), head.size())) return WriteStatus::Failed("cannot write the file");

    WriteStatus status = WriteStatus::Ok();
    const int64_t cols = static_cast<int64_t>(rows.Cols());
    std::vector<uint8_t> trace(4 * static_cast<size_t>(n));
    for (int i = 0; i < count; ++i) {
        const std::span<const float> row = rows.Row(i);
        const int64_t own = std::clamp<int64_t>(headers[static_cast<size_t>(i)].samples, 0, cols);
        for (int m = 0; m < n; ++m) {
            const double v = m < own ? static_cast<double>(row[static_cast<size_t>(m)]) * kOrgWrittenGainFactor : 0.0;
            const uint32_t bits = static_cast<uint32_t>(NearestInt32Checked(v, status.conversions));
            for (int b = 0; b < 4; ++b) trace[4 * static_cast<size_t>(m) + b] = static_cast<uint8_t>(bits >> (8 * b));
        }
        if (!sink.WriteBytes(trace.data(), trace.size())) return WriteStatus::Failed("cannot write the file");
    }
    if (!sink.Ok()) return WriteStatus::Failed("cannot write the file");
    return status;
}

WriteStatus WriteTorvaneOrgFile(const std::string& path, const Matrix2D<float>& rows,
                                std::span<const CTraceHeader> headers, int count)
{
    AtomicFileWriter out(path);
    if (out.Failed()) return WriteStatus::Failed(out.Error());
    ByteSink sink(out);
    WriteStatus status = WriteTorvaneOrg(sink, rows, headers, count);
    if (!status) return status;
    if (!sink.Ok() || out.Failed()) return WriteStatus::Failed(out.Error().empty() ? "cannot write the file" : out.Error());
    if (!out.Commit()) return WriteStatus::Failed(out.Error());
    return status;
}

}  // namespace velk
