#include "formats/org_variants.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

#include "formats/org_file.h"
#include "platform/atomic_file.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

void Tell(FormatContext& ctx, const std::string& text, MsgIcon icon = MsgIcon::Warning)
{
    ctx.ui.Message(text, MsgButtons::Ok, icon);
}

InstrumentReadResult Refuse(FormatContext& ctx, const std::string& reason)
{
    Tell(ctx, reason + Msg(ctx.language, "\n\n The data was not changed.", "\n\n データは変更されていません。"),
         MsgIcon::Error);
    return {};
}

std::span<const uint8_t> WholeFile(ByteSource& file)
{
    file.Seek(0);
    return file.Peek(static_cast<size_t>(file.Size()));
}

int16_t I16(const uint8_t* p) { return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))); }
uint32_t U32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

float MicrosecondsOf(double ms)
{
    const double us = ms * 1000.0;
    return std::isfinite(us) && std::fabs(us) <= FLT_MAX ? static_cast<float>(us) : 0.0f;
}

int MaxSampleOf(const LoadTarget& target) { return std::max(0, std::min(target.MaxSample(), target.RowLength())); }

void WarnCut(FormatContext& ctx, long long trace, long long complete)
{
    Tell(ctx, FormatC(Msg(ctx.language, " The file ends inside trace %lld ! \n %lld complete traces have been read.",
                          " ファイルがトレース %lld の途中で終わっています ! \n 完全な %lld トレースを読み込みました。")
                          .c_str(),
                      trace, complete));
}

// How many of `wanted` traces of `traceBytes` each a file holds from `offset`, with the
// warning when it ends inside one. `wanted` may be larger than the file holds.
int64_t CompleteTraces(std::span<const uint8_t> bytes, uint64_t offset, uint64_t traceBytes, int64_t wanted,
                       FormatContext& ctx)
{
    const uint64_t data = bytes.size() > offset ? bytes.size() - offset : 0;
    const uint64_t inFile = traceBytes == 0 ? static_cast<uint64_t>(wanted) : data / traceBytes;
    const int64_t complete = static_cast<int64_t>(std::min<uint64_t>(static_cast<uint64_t>(wanted), inFile));
    if (complete < wanted && traceBytes != 0 && data % traceBytes != 0) WarnCut(ctx, complete + 1, complete);
    return complete;
}

ByteSource OpenOrNothing(const std::string& path, FormatContext& ctx, bool japaneseMessage)
{
    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) {
        const std::string text = japaneseMessage ? MsgJa(kCannotOpenDataFileJa) : Msg(ctx.language, "Cannot open the file");
        ctx.ui.Message(text + "\n\n" + path, MsgButtons::Ok, MsgIcon::Error);
    }
    return file;
}

// Rows 2 and 3 share everything up to the samples.
struct OrgVariant {
    bool qk = true;  // QK: C + 1 int32 traces, sample -value; else 470: C int16 traces, -value / factor
    const char* logName = "read.txt";
};

InstrumentReadResult ReadOrgVariant(ByteSource& file, LoadTarget& target, FormatContext& ctx, const OrgVariant& v)
{
    const int lang = ctx.language;
    const std::span<const uint8_t> bytes = WholeFile(file);
    std::string log;
    auto done = [&](InstrumentReadResult r) {
        ctx.log.Rewrite(v.logName, log);
        return r;
    };
    OrgLayout layout;
    if (!ParseOrgLayout(bytes, layout)) {
        return done(Refuse(ctx, Msg(lang, " The .ORG file is too short: its header is cut.",
                                    " .ORG ファイルが短すぎます (ヘッダーが欠けています)。")));
    }
    if (v.qk) {
        const std::span<const uint8_t> block = bytes.subspan(kOrgBlockOffset, kOrgBlockSize);
        for (size_t at : {0, 2, 12}) log += FormatC("%s\n", FieldUpToCR(bytes, at).c_str());
        for (size_t at : {51, 54, 59, 65}) log += FormatC("%s\n", FieldUpToCR(block, at).c_str());
    }
    if (!CheckOrgLayout(bytes, layout, MaxSampleOf(target), ctx)) return done({});
    const int64_t channels = *layout.channels;
    const int64_t n = *layout.samples;

    std::vector<double> factor(static_cast<size_t>(channels), 1.0);
    bool oddGain = false;
    for (int64_t c = 0; c < channels; ++c) {
        const int32_t db = OrgChannelGainDb(bytes, c);
        factor[static_cast<size_t>(c)] = OrgGainFactor(db, &oddGain);
        log += FormatC(" %lld %d %f \n", static_cast<long long>(c), db, factor[static_cast<size_t>(c)]);
    }
    if (oddGain && !v.qk) {
        Tell(ctx, Msg(lang, " A channel of the .ORG file has a gain whose factor is 0 or too large ! \n Its samples are read with factor 1.",
                      " .ORG ファイルのチャンネルのゲイン係数が 0 か大きすぎます ! \n そのサンプルは係数 1 で読み込みます。"));
    }

    const int width = v.qk ? 4 : 2;
    const uint64_t traceBytes = static_cast<uint64_t>(n) * static_cast<uint64_t>(width);
    const int64_t wanted = v.qk ? channels + 1 : channels;
    const int64_t toRead = CompleteTraces(bytes, kOrgDataOffset, traceBytes, wanted, ctx);
    if (toRead > target.Capacity()) return done(Refuse(ctx, TracesMessage(lang, kTracesMaxHeadersMsg, target.MaxTraces())));
    if (toRead == 0) {
        return done(Refuse(ctx, Msg(lang, " The .ORG file holds no complete trace.",
                                    " .ORG ファイルに完全なトレースがありません。")));
    }

    ConversionCount cc;
    for (int64_t i = 0; i < toRead; ++i) {
        const int k = static_cast<int>(i);
        std::span<float> row = target.Row(k);
        const uint8_t* src = bytes.data() + kOrgDataOffset + static_cast<size_t>(i) * traceBytes;
        for (int64_t m = 0; m < n; ++m) {
            // The files store the opposite sign; negating the integer keeps a zero sample +0.
            double value;
            if (v.qk) {
                value = static_cast<double>(-static_cast<int64_t>(static_cast<int32_t>(U32(src + 4 * static_cast<size_t>(m)))));
            } else {
                value = -I16(src + 2 * static_cast<size_t>(m)) / factor[static_cast<size_t>(i)];
            }
            row[static_cast<size_t>(m)] = ToFiniteFloat(value, cc);
        }
        CTraceHeader& h = target.Header(k);
        h.Set(k + 1, (k + 1) * 100, 0, 1, 1, 0.0f, MicrosecondsOf(layout.intervalMs), static_cast<int32_t>(n));
        static_cast<CTraceHeader&>(target.HeaderEx(k)) = h;
    }
    if (cc.Any()) Tell(ctx, ConversionWarning(lang, cc));
    InstrumentReadResult r;
    r.outcome = OpenOutcome::NewRecord;
    r.samples = static_cast<int>(n);
    r.intervalMs = static_cast<float>(MicrosecondsOf(layout.intervalMs) * 0.001);
    r.traces = static_cast<int>(toRead);
    return done(r);
}

// The logger files: up to 50 blocks of 1024 int16 from byte 1024, sample = -value, as many as
// fit the target (with the traces message when more were there).
int ReadLoggerBlocks(std::span<const uint8_t> bytes, LoadTarget& target, FormatContext& ctx)
{
    const uint64_t blockBytes = 2 * kLoggerBlockSamples;
    const int64_t inFile = CompleteTraces(bytes, kShuttleHeaderSize, blockBytes, kLoggerMaxBlocks, ctx);
    int64_t toRead = inFile;
    if (toRead > target.Capacity()) {
        toRead = target.Capacity();
        Tell(ctx, TracesMessage(ctx.language, kTotalTracesReadMsg, static_cast<int>(toRead)));
    }
    for (int64_t i = 0; i < toRead; ++i) {
        std::span<float> row = target.Row(static_cast<int>(i));
        const uint8_t* src = bytes.data() + kShuttleHeaderSize + static_cast<size_t>(i) * blockBytes;
        for (int m = 0; m < kLoggerBlockSamples; ++m) row[static_cast<size_t>(m)] = static_cast<float>(-I16(src + 2 * m));
    }
    return static_cast<int>(toRead);
}

// A number written in a few characters of a header ("  500", "250"): blanks and zero bytes
// around it allowed.
std::optional<double> NumberAt(std::span<const uint8_t> bytes, size_t at, size_t width)
{
    if (at >= bytes.size()) return std::nullopt;
    const TextWindow w(bytes.subspan(at, std::min(width, bytes.size() - at)));
    return ScanDoublePrefix(w.Text());
}

void PutText(std::vector<uint8_t>& b, size_t at, std::string_view text)
{
    std::copy(text.begin(), text.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
}

WriteStatus WriteThroughAtomicFile(const std::string& path, const std::function<WriteStatus(ByteSink&)>& write)
{
    AtomicFileWriter out(path);
    if (out.Failed()) return WriteStatus::Failed(out.Error());
    ByteSink sink(out);
    WriteStatus status = write(sink);
    if (!status) return status;
    if (!sink.Ok() || out.Failed()) return WriteStatus::Failed(out.Error().empty() ? "cannot write the file" : out.Error());
    if (!out.Commit()) return WriteStatus::Failed(out.Error());
    return status;
}

WriteStatus CheckRows(const Matrix2D<float>& rows, int traces)
{
    if (traces < 1) return WriteStatus::Failed("there are no traces to save");
    if (rows.Empty() || rows.RowLow() > 0 || rows.RowHigh() < traces - 1)
        return WriteStatus::Failed("fewer sample rows than traces");
    return WriteStatus::Ok();
}

// Sample m of row i, or 0 beyond the row.
double SampleOrZero(const Matrix2D<float>& rows, int i, int m)
{
    const std::span<const float> row = rows.Row(i);
    return static_cast<size_t>(m) < row.size() ? static_cast<double>(row[static_cast<size_t>(m)]) : 0.0;
}

}  // namespace

// =============================================================================================
// Row 1: Torvane9 text

InstrumentReadResult ReadTorvane9Text(ByteSource& file, LoadTarget& target, FormatContext& ctx)
{
    const int lang = ctx.language;
    const std::span<const uint8_t> bytes = WholeFile(file);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string_view values = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);

    std::string log(line.substr(0, 500));
    log += "\n";
    for (size_t column : {24, 28, 32}) {
        const std::string_view field = FixedColumns(line, column, 4);
        const int32_t range = field.find('k') != std::string_view::npos ? 10000 : ScanIntPrefix(field).value_or(0);
        log += FormatC("%d \n", range);
    }
    const int32_t intervalUs = ScanIntPrefix(FixedColumns(line, 41, 3)).value_or(0);
    log += FormatC("%d \n", intervalUs);
    auto done = [&](InstrumentReadResult r) {
        ctx.log.Rewrite(kTorvane9Log, log);
        return r;
    };

    if (target.Capacity() < kTorvane9Channels) {
        return done(Refuse(ctx, TracesMessage(lang, kTracesMaxHeadersMsg, target.MaxTraces())));
    }
    if (MaxSampleOf(target) < kTorvane9Samples) return done(Refuse(ctx, SamplesMessage(lang, kSamplesMaxMsg, target.MaxSample())));

    TextScanner in(values);
    int count = 0;
    std::string word;
    for (int c = 0; c < kTorvane9Channels; ++c) {
        std::span<float> row = target.Row(c);
        for (int m = 0; m < kTorvane9Samples && in.ReadWord(word, 64); ++m, ++count)
            row[static_cast<size_t>(m)] = static_cast<float>(ScanIntPrefix(word).value_or(0));
    }
    constexpr int kAll = kTorvane9Channels * kTorvane9Samples;
    if (count != kAll) {
        return done(Refuse(ctx, FormatC(Msg(lang, " The Torvane9 file holds %d of its %d values.",
                                            " Torvane9 ファイルには %d 個 (全 %d 個) の値しかありません。")
                                            .c_str(),
                                        count, kAll)));
    }
    const float us = static_cast<float>(intervalUs);
    for (int c = 0; c < kTorvane9Channels; ++c) {
        CTraceHeader& h = target.Header(c);
        h.Set(target.Start() + c + 1, 0, 0, 1, 1, 0.0f, us, kTorvane9Samples);
        static_cast<CTraceHeader&>(target.HeaderEx(c)) = h;
    }
    InstrumentReadResult r;
    r.outcome = target.Start() > 0 ? OpenOutcome::Appended : OpenOutcome::NewRecord;
    r.samples = kTorvane9Samples;
    r.intervalMs = static_cast<float>(intervalUs * 0.001);
    r.traces = kTorvane9Channels;
    return done(r);
}

InstrumentReadResult ReadTorvane9Text(const std::string& path, LoadTarget& target, FormatContext& ctx)
{
    ByteSource file = OpenOrNothing(path, ctx, false);
    return file.Ok() ? ReadTorvane9Text(file, target, ctx) : InstrumentReadResult{};
}

// =============================================================================================
// Rows 2 and 3

InstrumentReadResult ReadQkOrg(ByteSource& file, LoadTarget& target, FormatContext& ctx)
{
    return ReadOrgVariant(file, target, ctx, {true, "read.txt"});
}

InstrumentReadResult ReadQkOrg(const std::string& path, LoadTarget& target, FormatContext& ctx)
{
    ByteSource file = OpenOrNothing(path, ctx, true);
    return file.Ok() ? ReadQkOrg(file, target, ctx) : InstrumentReadResult{};
}

InstrumentReadResult Read470Org(ByteSource& file, LoadTarget& target, FormatContext& ctx)
{
    return ReadOrgVariant(file, target, ctx, {false, kRead470Log});
}

InstrumentReadResult Read470Org(const std::string& path, LoadTarget& target, FormatContext& ctx)
{
    ByteSource file = OpenOrNothing(path, ctx, true);
    return file.Ok() ? Read470Org(file, target, ctx) : InstrumentReadResult{};
}

// =============================================================================================
// Rows 4 and 5: shuttle files

std::optional<double> ShuttleHeaderIntervalMs(const ShuttleHeader& header)
{
    const std::optional<double> value = NumberAt(header, 76, 5);
    if (!value) return std::nullopt;
    return *value * 0.001 + 0.0000001;
}

InstrumentReadResult ReadShuttleFile(ByteSource& file, LoadTarget& target, ShuttleHeader& header, FormatContext& ctx)
{
    const int lang = ctx.language;
    const std::span<const uint8_t> bytes = WholeFile(file);
    std::string log;
    auto done = [&](InstrumentReadResult r) {
        ctx.log.Rewrite("read.txt", log);
        return r;
    };
    if (bytes.size() < kShuttleHeaderSize) {
        return done(Refuse(ctx, Msg(lang, " The shuttle file is too short: its header is cut.",
                                    " シャトルファイルが短すぎます (ヘッダーが欠けています)。")));
    }
    if (MaxSampleOf(target) < kLoggerBlockSamples) return done(Refuse(ctx, SamplesMessage(lang, kSamplesMaxMsg, target.MaxSample())));
    ShuttleHeader copy{};
    std::copy_n(bytes.begin(), kShuttleHeaderSize, copy.begin());
    const double intervalMs = ShuttleHeaderIntervalMs(copy).value_or(0.0);
    const int traces = ReadLoggerBlocks(bytes, target, ctx);
    log += FormatC("interval = %f ms \ntraces = %d \n", intervalMs, traces);
    if (traces == 0) {
        return done(Refuse(ctx, Msg(lang, " The shuttle file holds no complete trace.",
                                    " シャトルファイルに完全なトレースがありません。")));
    }
    header = copy;
    const float us = MicrosecondsOf(intervalMs);
    for (int k = 0; k < traces; ++k) {
        CTraceHeader& h = target.Header(k);
        h.Set(1, (k + 1) * 100, 0, 1, 1, 0.0f, us, kLoggerBlockSamples);
        static_cast<CTraceHeader&>(target.HeaderEx(k)) = h;
    }
    InstrumentReadResult r;
    r.outcome = OpenOutcome::NewRecord;
    r.samples = kLoggerBlockSamples;
    r.intervalMs = static_cast<float>(intervalMs);
    r.traces = traces;
    return done(r);
}

InstrumentReadResult ReadShuttleFile(const std::string& path, LoadTarget& target, ShuttleHeader& header,
                                     FormatContext& ctx)
{
    ByteSource file = OpenOrNothing(path, ctx, true);
    return file.Ok() ? ReadShuttleFile(file, target, header, ctx) : InstrumentReadResult{};
}

namespace {

// An interval in whole microseconds, rounded to the nearest, as "%<width>d"; empty when it is
// not 1 .. the largest number of `width` digits (the readers refuse 0, and more digits would
// run into the next field).
std::string MicrosecondField(double us, int width)
{
    const double whole = std::round(us);
    if (!(whole >= 1.0) || whole >= std::pow(10.0, width)) return {};
    return FormatC("%*d", width, static_cast<int>(whole));
}

WriteStatus IntervalDoesNotFit(double us, int width)
{
    return WriteStatus::Failed(FormatC("the sampling time %g ms does not fit the %d characters of the header (1 to %d us)",
                                       us * 0.001, width, static_cast<int>(std::pow(10.0, width)) - 1));
}

// The blocks after a logger's header: rows 0 .. min(traces, 50)-1, each as 1024 int16 =
// round(-sample), samples from `samples` on as 0.
WriteStatus WriteLoggerBlocks(ByteSink& sink, int samples, int traces, const Matrix2D<float>& rows)
{
    WriteStatus status = WriteStatus::Ok();
    std::vector<uint8_t> block(2 * static_cast<size_t>(kLoggerBlockSamples));
    const int blocks = std::min(traces, kLoggerMaxBlocks);
    for (int i = 0; i < blocks; ++i) {
        for (int m = 0; m < kLoggerBlockSamples; ++m) {
            const double value = m < samples ? std::round(-SampleOrZero(rows, i, m)) : 0.0;
            const uint16_t bits = static_cast<uint16_t>(ToInt16Checked(value, status.conversions));
            block[2 * static_cast<size_t>(m)] = static_cast<uint8_t>(bits);
            block[2 * static_cast<size_t>(m) + 1] = static_cast<uint8_t>(bits >> 8);
        }
        if (!sink.WriteBytes(block.data(), block.size())) return WriteStatus::Failed("cannot write the file");
    }
    if (!sink.Ok()) return WriteStatus::Failed("cannot write the file");
    return status;
}

}  // namespace

WriteStatus WriteShuttleFile(ByteSink& sink, int samples, float intervalMs, int traces, const Matrix2D<float>& rows,
                             const ShuttleHeader* header)
{
    if (WriteStatus check = CheckRows(rows, traces); !check) return check;
    if (samples < 0) return WriteStatus::Failed("a negative number of samples");
    std::vector<uint8_t> head(kShuttleHeaderSize, 0);
    if (header) {
        std::copy(header->begin(), header->end(), head.begin());
    } else {
        const double us = static_cast<double>(intervalMs) * 1000.0;
        const std::string text = MicrosecondField(us, 5);
        if (text.empty()) return IntervalDoesNotFit(us, 5);
        PutText(head, 76, text);
        head[81] = 13;
    }
    if (!sink.WriteBytes(head.data(), head.size())) return WriteStatus::Failed("cannot write the file");
    return WriteLoggerBlocks(sink, samples, traces, rows);
}

WriteStatus WriteShuttleFile(const std::string& path, int samples, float intervalMs, int traces,
                             const Matrix2D<float>& rows, const ShuttleHeader* header)
{
    return WriteThroughAtomicFile(
        path, [&](ByteSink& sink) { return WriteShuttleFile(sink, samples, intervalMs, traces, rows, header); });
}

// =============================================================================================
// Row 6: Kesh's files

InstrumentReadResult ReadKeshFile(ByteSource& file, LoadTarget& target, FormatContext& ctx)
{
    const int lang = ctx.language;
    const std::span<const uint8_t> bytes = WholeFile(file);
    std::string log;
    auto done = [&](InstrumentReadResult r) {
        ctx.log.Rewrite("read.txt", log);
        return r;
    };
    constexpr size_t kHeader = 156;
    constexpr size_t kTraceHeader = 20;
    if (bytes.size() < kHeader) {
        return done(Refuse(ctx, Msg(lang, " The file is too short: its header is cut.",
                                    " ファイルが短すぎます (ヘッダーが欠けています)。")));
    }
    const int traces = I16(bytes.data() + 4);
    const int samples = I16(bytes.data() + 6);
    if (traces < 0 || samples < 0) {
        return done(Refuse(ctx, FormatC(Msg(lang, " The file declares %d traces of %d samples.",
                                            " ファイルのトレース数 %d、サンプル数 %d は読めません。")
                                            .c_str(),
                                        traces, samples)));
    }
    if (samples > MaxSampleOf(target)) return done(Refuse(ctx, SamplesMessage(lang, kSamplesMaxMsg, target.MaxSample())));
    if (traces > target.Capacity()) return done(Refuse(ctx, TracesMessage(lang, kTracesMaxHeadersMsg, target.MaxTraces())));

    const uint64_t traceBytes = kTraceHeader + 4 * static_cast<uint64_t>(samples);
    const int64_t toRead = CompleteTraces(bytes, kHeader, traceBytes, traces, ctx);
    if (toRead == 0) {
        return done(Refuse(ctx, Msg(lang, " The file holds no complete trace.", " ファイルに完全なトレースがありません。")));
    }
    ConversionCount cc;
    for (int64_t i = 0; i < toRead; ++i) {
        const uint8_t* p = bytes.data() + kHeader + static_cast<size_t>(i) * traceBytes;
        log += FormatC(" %d %d %d %d %f %d \n", I16(p), I16(p + 2), I16(p + 6), I16(p + 4),
                       static_cast<double>(std::bit_cast<float>(U32(p + 12))), I16(p + 16));
        std::span<float> row = target.Row(static_cast<int>(i));
        for (int m = 0; m < samples; ++m)
            row[static_cast<size_t>(m)] = ToFiniteFloat(std::bit_cast<float>(U32(p + kTraceHeader + 4 * static_cast<size_t>(m))), cc);
        CTraceHeader& h = target.Header(static_cast<int>(i));
        h.Set(1, static_cast<int32_t>(i + 1) * 100, 0, 1, 1, 0.0f, 1000.0f, samples);
        static_cast<CTraceHeader&>(target.HeaderEx(static_cast<int>(i))) = h;
    }
    if (cc.Any()) Tell(ctx, ConversionWarning(lang, cc));
    InstrumentReadResult r;
    r.outcome = OpenOutcome::NewRecord;
    r.samples = samples;
    r.intervalMs = 1.0f;
    r.traces = static_cast<int>(toRead);
    return done(r);
}

InstrumentReadResult ReadKeshFile(const std::string& path, LoadTarget& target, FormatContext& ctx)
{
    ByteSource file = OpenOrNothing(path, ctx, true);
    return file.Ok() ? ReadKeshFile(file, target, ctx) : InstrumentReadResult{};
}

// =============================================================================================
// Row 7: suspension files

InstrumentReadResult ReadSuspensionFile(ByteSource& file, LoadTarget& target, FormatContext& ctx)
{
    const int lang = ctx.language;
    const std::span<const uint8_t> bytes = WholeFile(file);
    std::string log;
    auto done = [&](InstrumentReadResult r) {
        ctx.log.Rewrite("read.txt", log);
        return r;
    };
    if (bytes.size() < 113) {
        return done(Refuse(ctx, Msg(lang, " The suspension file is too short: its header is cut.",
                                    " サスペンションファイルが短すぎます (ヘッダーが欠けています)。")));
    }
    const double a = NumberAt(bytes, 88, 3).value_or(0.0);
    const double b = NumberAt(bytes, 91, 3).value_or(0.0);
    log += FormatC("A = %f \nB = %f \n", a, b);
    if (!(a > 0.0) || !(b > 0.0)) {
        return done(Refuse(ctx, FormatC(Msg(lang, " The sampling times of the suspension file are %g and %g ! \n They must be larger than 0.",
                                            " サスペンションファイルのサンプリング時間が %g と %g です ! \n 0 より大きくなければなりません。")
                                            .c_str(),
                                        a, b)));
    }
    if (MaxSampleOf(target) < kLoggerBlockSamples) return done(Refuse(ctx, SamplesMessage(lang, kSamplesMaxMsg, target.MaxSample())));
    const int traces = ReadLoggerBlocks(bytes, target, ctx);
    log += FormatC("traces = %d \n", traces);
    if (traces == 0) {
        return done(Refuse(ctx, Msg(lang, " The suspension file holds no complete trace.",
                                    " サスペンションファイルに完全なトレースがありません。")));
    }
    for (int k = 0; k < traces; ++k) {
        CTraceHeader& h = target.Header(k);
        const double interval = k == 2 || k == 5 ? b : a;
        h.Set(2, k * 100, 0, 10, 1, 0.0f, static_cast<float>(interval), kLoggerBlockSamples);
        static_cast<CTraceHeader&>(target.HeaderEx(k)) = h;
    }
    InstrumentReadResult r;
    r.outcome = OpenOutcome::NewRecord;
    r.samples = kLoggerBlockSamples;
    r.intervalMs = static_cast<float>(a * 0.001);
    r.traces = traces;
    return done(r);
}

InstrumentReadResult ReadSuspensionFile(const std::string& path, LoadTarget& target, FormatContext& ctx)
{
    ByteSource file = OpenOrNothing(path, ctx, false);
    return file.Ok() ? ReadSuspensionFile(file, target, ctx) : InstrumentReadResult{};
}

WriteStatus WriteSuspensionFile(ByteSink& sink, int samples, float intervalAUs, float intervalBUs, int traces,
                                const Matrix2D<float>& rows)
{
    if (WriteStatus check = CheckRows(rows, traces); !check) return check;
    if (samples < 0) return WriteStatus::Failed("a negative number of samples");
    const std::string a = MicrosecondField(intervalAUs, 3), b = MicrosecondField(intervalBUs, 3);
    if (a.empty()) return IntervalDoesNotFit(intervalAUs, 3);
    if (b.empty()) return IntervalDoesNotFit(intervalBUs, 3);
    std::vector<uint8_t> head(kShuttleHeaderSize, 0);
    // Interval A also where a shuttle header has it, so either reader finds it.
    PutText(head, 76, FormatC("%5s", a.c_str()));
    head[81] = 13;
    PutText(head, 88, a);
    PutText(head, 91, b);
    if (!sink.WriteBytes(head.data(), head.size())) return WriteStatus::Failed("cannot write the file");
    return WriteLoggerBlocks(sink, samples, traces, rows);
}

WriteStatus WriteSuspensionFile(const std::string& path, int samples, float intervalAUs, float intervalBUs, int traces,
                                const Matrix2D<float>& rows)
{
    return WriteThroughAtomicFile(path, [&](ByteSink& sink) {
        return WriteSuspensionFile(sink, samples, intervalAUs, intervalBUs, traces, rows);
    });
}

// =============================================================================================
// Row 8: QK files

WriteStatus WriteQkOrg(ByteSink& sink, int samples, float intervalMs, int traces, const Matrix2D<float>& rows)
{
    if (WriteStatus check = CheckRows(rows, traces); !check) return check;
    if (traces > kOrgMaxWriteTraces)
        return WriteStatus::Failed(FormatC("a QK file holds at most %d traces; the record has %d", kOrgMaxWriteTraces, traces));
    if (samples < 1 || samples > kOrgMaxWriteSamples)
        return WriteStatus::Failed(FormatC("a QK file holds 1 to %d samples per trace; the record has %d",
                                           kOrgMaxWriteSamples, samples));
    std::vector<uint8_t> head(kOrgDataOffset, 0);
    // Every field is its text and a carriage return; a later field may cover an earlier CR.
    auto field = [&](size_t at, std::string_view text) {
        PutText(head, at, text);
        head[at + text.size()] = 13;
    };
    field(0, "04");
    field(2, "001Tq470FP");
    field(12, "010198100636PM");
    const size_t block = kOrgBlockOffset;
    field(block + 0, "1");
    field(block + 5, "1");
    field(block + 10, "date");
    field(block + 22, "Velkarine");
    field(block + 45, "ZAV");
    field(block + 51, FormatC("%d", traces));
    field(block + 54, FormatC("%d", samples));
    field(block + 59, OrgIntervalText(intervalMs));
    field(block + 65, "+0000.000");
    field(block + 75, FormatC("%f", 0.0).substr(0, 4));
    field(block + 80, FormatC("%f", 0.0).substr(0, 4));
    for (int c = 0; c < traces; ++c) field(kOrgChannelOffset + kOrgChannelSize * static_cast<size_t>(c) + kOrgGainField, "10");
    if (!sink.WriteBytes(head.data(), head.size())) return WriteStatus::Failed("cannot write the file");

    WriteStatus status = WriteStatus::Ok();
    std::vector<uint8_t> trace(4 * static_cast<size_t>(samples));
    for (int i = 0; i < traces; ++i) {
        for (int m = 0; m < samples; ++m) {
            const uint32_t bits = static_cast<uint32_t>(NearestInt32Checked(-SampleOrZero(rows, i, m), status.conversions));
            for (int b = 0; b < 4; ++b) trace[4 * static_cast<size_t>(m) + b] = static_cast<uint8_t>(bits >> (8 * b));
        }
        if (!sink.WriteBytes(trace.data(), trace.size())) return WriteStatus::Failed("cannot write the file");
    }
    if (!sink.Ok()) return WriteStatus::Failed("cannot write the file");
    return status;
}

WriteStatus WriteQkOrg(const std::string& path, int samples, float intervalMs, int traces, const Matrix2D<float>& rows)
{
    return WriteThroughAtomicFile(path,
                                  [&](ByteSink& sink) { return WriteQkOrg(sink, samples, intervalMs, traces, rows); });
}

}  // namespace velk
