#include "formats/eight_header.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

constexpr size_t kHeaderBytes = CTraceHeader::kBinarySize;

uint32_t U32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }
float F32(const uint8_t* p) { return std::bit_cast<float>(U32(p)); }

void Put32(uint8_t* p, uint32_t v)
{
    for (int b = 0; b < 4; ++b) p[b] = static_cast<uint8_t>(v >> (8 * b));
}

void Tell(FormatContext& ctx, const std::string& text, MsgIcon icon = MsgIcon::Warning)
{
    ctx.ui.Message(text, MsgButtons::Ok, icon);
}

std::string Formatted(int language, const char* english, const char* japanese, long long a, long long b = 0)
{
    return FormatC(Msg(language, english, japanese).c_str(), a, b);
}

void WarnNegativeCount(FormatContext& ctx, int trace, int32_t n)
{
    Tell(ctx, Formatted(ctx.language,
                        " Trace %lld of the file declares %lld samples ! \n Reading stops before it.",
                        " ファイルのトレース %lld のサンプル数が %lld になっています ! \n その前で読み込みを終えます。",
                        trace + 1, n));
}

void WarnCutTrace(FormatContext& ctx, int trace, long long present)
{
    Tell(ctx, Formatted(ctx.language,
                        " The file ends inside the samples of trace %lld ! \n It keeps the %lld samples present.",
                        " ファイルがトレース %lld のサンプルの途中で終わっています ! \n あるだけの %lld サンプルを読み込みました。",
                        trace + 1, present));
}

// The header of one trace at p (32 bytes), in either layout.
CTraceHeader ParseHeader(const uint8_t* p, bool integerTimes)
{
    CTraceHeader h;
    h.traceNumber = I32(p);
    h.receiverHundredths = I32(p + 4);
    h.sourceHundredths = I32(p + 8);
    h.gain = I32(p + 12);
    h.component = I32(p + 16);
    h.delayUs = integerTimes ? static_cast<float>(I32(p + 20)) : F32(p + 20);
    h.intervalUs = integerTimes ? static_cast<float>(I32(p + 24)) : F32(p + 24);
    h.samples = I32(p + 28);
    return h;
}

std::span<const uint8_t> WholeFile(ByteSource& file)
{
    file.Seek(0);
    return file.Peek(static_cast<size_t>(file.Size()));
}

// The shared loop of the binary readers.
int ReadBlocks(ByteSource& file, LoadTarget& target, int skip, bool integerTimes, FormatContext& ctx)
{
    const int lang = ctx.language;
    if (skip < 1) {
        Tell(ctx, Msg(lang, " The sample skip must be 1 or more.", " サンプルスキップは 1 以上にしてください。"),
             MsgIcon::Error);
        return -1;
    }
    const std::span<const uint8_t> bytes = WholeFile(file);
    const uint64_t size = bytes.size();
    const int64_t limit = std::max(0, std::min(target.MaxSample(), target.RowLength()));
    uint64_t pos = 0;
    int k = 0;
    bool truncated = false;
    ConversionCount cc;
    while (size - pos >= kHeaderBytes) {
        if (k >= target.Capacity()) {
            Tell(ctx, TracesMessage(lang, kTotalTracesReadMsg, k));
            break;
        }
        CTraceHeader h = ParseHeader(bytes.data() + pos, integerTimes);
        pos += kHeaderBytes;
        if (h.samples < 0) {
            WarnNegativeCount(ctx, k, h.samples);
            break;
        }
        const uint64_t declared = static_cast<uint64_t>(h.samples);
        const uint64_t present = std::min<uint64_t>(declared, (size - pos) / 4);
        int64_t kept = static_cast<int64_t>(present / static_cast<uint64_t>(skip));
        if (kept > limit) {
            truncated = true;
            kept = limit;
        }
        std::span<float> row = target.Row(k);
        const uint8_t* src = bytes.data() + pos;
        for (int64_t j = 0; j < kept; ++j) {
            const float v = F32(src + 4 * static_cast<size_t>(j) * static_cast<size_t>(skip));
            if (std::isfinite(v)) {
                row[static_cast<size_t>(j)] = v;
            } else {
                row[static_cast<size_t>(j)] = 0.0f;
                ++cc.nonFinite;
            }
        }
        if (skip != 1) h.intervalUs = static_cast<float>(static_cast<double>(h.intervalUs) * skip);
        h.samples = static_cast<int32_t>(kept);
        target.Header(k) = h;
        static_cast<CTraceHeader&>(target.HeaderEx(k)) = h;
        pos += present * 4;
        ++k;
        if (present < declared) {
            WarnCutTrace(ctx, k - 1, static_cast<long long>(present));
            break;
        }
    }
    if (truncated) Tell(ctx, SamplesMessage(lang, kSamplesTruncatedMsg));
    if (cc.Any()) Tell(ctx, ConversionWarning(lang, cc));
    return k;
}

std::optional<ByteSource> OpenForReading(const std::string& path, FormatContext& ctx)
{
    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) {
        ctx.ui.Message(Msg(ctx.language, "Cannot open the file") + "\n\n" + path, MsgButtons::Ok, MsgIcon::Error);
        return std::nullopt;
    }
    return file;
}

}  // namespace

// =============================================================================================
// Binary form

int ReadEightHeader(ByteSource& file, LoadTarget& target, int skip, FormatContext& ctx)
{
    return ReadBlocks(file, target, skip, false, ctx);
}

int ReadEightHeaderFile(const std::string& path, LoadTarget& target, int skip, FormatContext& ctx)
{
    std::optional<ByteSource> file = OpenForReading(path, ctx);
    return file ? ReadEightHeader(*file, target, skip, ctx) : -1;
}

int ReadOldestEightHeader(ByteSource& file, LoadTarget& target, FormatContext& ctx)
{
    return ReadBlocks(file, target, 1, true, ctx);
}

int ReadAppendedEightHeader(ByteSource& file, LoadTarget& target, FormatContext& ctx)
{
    return ReadBlocks(file, target, 1, false, ctx);
}

int CountEightHeaderTraces(ByteSource& file, std::span<CTraceHeader> headers)
{
    const std::span<const uint8_t> bytes = WholeFile(file);
    const uint64_t size = bytes.size();
    uint64_t pos = 0;
    int k = 0;
    while (static_cast<size_t>(k) < headers.size() && size - pos >= kHeaderBytes) {
        CTraceHeader h = ParseHeader(bytes.data() + pos, false);
        pos += kHeaderBytes;
        if (h.samples < 0) break;
        const uint64_t present = std::min<uint64_t>(static_cast<uint64_t>(h.samples), (size - pos) / 4);
        const bool cut = present < static_cast<uint64_t>(h.samples);
        h.samples = static_cast<int32_t>(present);
        headers[static_cast<size_t>(k++)] = h;
        pos += present * 4;
        if (cut) break;
    }
    return k;
}

int CountEightHeaderTraces(const std::string& path, std::span<CTraceHeader> headers)
{
    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) return -1;
    return CountEightHeaderTraces(file, headers);
}

WriteStatus WriteEightHeader(ByteSink& sink, const Matrix2D<float>& rows, std::span<const CTraceHeader> headers,
                             int count)
{
    if (count < 1) return WriteStatus::Failed("there are no traces to save");
    if (headers.size() < static_cast<size_t>(count)) return WriteStatus::Failed("fewer headers than traces");
    if (rows.Empty() || rows.RowLow() > 0 || rows.RowHigh() < count - 1)
        return WriteStatus::Failed("fewer sample rows than traces");
    const int64_t cols = static_cast<int64_t>(rows.Cols());
    std::vector<uint8_t> block;
    for (int i = 0; i < count; ++i) {
        CTraceHeader h = headers[static_cast<size_t>(i)];
        h.samples = static_cast<int32_t>(std::clamp<int64_t>(h.samples, 0, cols));
        const size_t n = static_cast<size_t>(h.samples);
        block.assign(kHeaderBytes + 4 * n, 0);
        const uint32_t words[8] = {static_cast<uint32_t>(h.traceNumber), static_cast<uint32_t>(h.receiverHundredths),
                                   static_cast<uint32_t>(h.sourceHundredths), static_cast<uint32_t>(h.gain),
                                   static_cast<uint32_t>(h.component), std::bit_cast<uint32_t>(h.delayUs),
                                   std::bit_cast<uint32_t>(h.intervalUs), static_cast<uint32_t>(h.samples)};
        for (int w = 0; w < 8; ++w) Put32(block.data() + 4 * w, words[w]);
        const std::span<const float> row = rows.Row(i);
        for (size_t k = 0; k < n; ++k) Put32(block.data() + kHeaderBytes + 4 * k, std::bit_cast<uint32_t>(row[k]));
        if (!sink.WriteBytes(block.data(), block.size())) return WriteStatus::Failed("cannot write the file");
    }
    if (!sink.Ok()) return WriteStatus::Failed("cannot write the file");
    return WriteStatus::Ok();
}

WriteStatus WriteEightHeaderFile(const std::string& path, const Matrix2D<float>& rows,
                                 std::span<const CTraceHeader> headers, int count)
{
    AtomicFileWriter out(path);
    if (out.Failed()) return WriteStatus::Failed(out.Error());
    ByteSink sink(out);
    WriteStatus status = WriteEightHeader(sink, rows, headers, count);
    if (!status) return status;  // the temporary file goes with `out`
    if (!sink.Ok() || out.Failed()) return WriteStatus::Failed(out.Error().empty() ? "cannot write the file" : out.Error());
    if (!out.Commit()) return WriteStatus::Failed(out.Error());
    return status;
}

// =============================================================================================
// Text form

int ReadEightHeaderText(std::string_view text, LoadTarget& target, FormatContext& ctx)
{
    const int lang = ctx.language;
    TextScanner in(text);
    int k = 0;
    bool stoppedOnText = false;
    while (!in.AtEnd()) {
        CTraceHeader h;
        const bool header = in.ReadInt(h.traceNumber) && in.ReadInt(h.receiverHundredths) &&
                            in.ReadInt(h.sourceHundredths) && in.ReadInt(h.gain) && in.ReadInt(h.component) &&
                            in.ReadFloat(h.delayUs) && in.ReadFloat(h.intervalUs) && in.ReadInt(h.samples);
        if (!header) {
            stoppedOnText = !in.AtEnd();
            break;
        }
        if (k >= target.Capacity()) {
            Tell(ctx, TracesMessage(lang, kTracesMaxHeadersMsg, target.MaxTraces()), MsgIcon::Error);
            return -1;
        }
        if (h.samples < 0) {
            WarnNegativeCount(ctx, k, h.samples);
            break;
        }
        if (h.samples > std::min(target.MaxSample(), target.RowLength())) {
            Tell(ctx, SamplesMessage(lang, kSamplesMaxMsg, target.MaxSample()), MsgIcon::Error);
            return -1;
        }
        std::span<float> row = target.Row(k);
        int32_t got = 0;
        while (got < h.samples && in.ReadFloat(row[static_cast<size_t>(got)])) ++got;
        const bool cut = got < h.samples;
        h.samples = got;
        target.Header(k) = h;
        static_cast<CTraceHeader&>(target.HeaderEx(k)) = h;
        ++k;
        if (cut) {
            WarnCutTrace(ctx, k - 1, got);
            break;
        }
    }
    if (stoppedOnText) {
        Tell(ctx, Formatted(lang, " The text holds a value that is not a number after %lld traces ! \n Reading stops there.",
                            " %lld トレースの後に数値でない値があります ! \n そこで読み込みを終えます。",
                            k));
    }
    if (k > 0 && !(target.HeaderAt(0).intervalUs > 0.0f && std::isfinite(target.HeaderAt(0).intervalUs))) {
        Tell(ctx, Msg(lang, " The sampling time of the file is not larger than 0 ! \n The file has not been read.",
                      " ファイルのサンプリング時間が 0 以下です ! \n ファイルは読み込まれていません。"),
             MsgIcon::Error);
        return -1;
    }
    return k;
}

int ReadEightHeaderText(ByteSource& file, LoadTarget& target, FormatContext& ctx)
{
    const std::span<const uint8_t> bytes = WholeFile(file);
    return ReadEightHeaderText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), target,
                               ctx);
}

// =============================================================================================
// Join

int ConnectEightHeaderFiles(const std::string& first, const std::string& second, const std::string& output,
                            FormatContext& ctx)
{
    const int lang = ctx.language;
    std::optional<ByteSource> a = OpenForReading(first, ctx);
    if (!a) return -1;
    std::optional<ByteSource> b = OpenForReading(second, ctx);
    if (!b) return -1;
    const std::span<const uint8_t> one = WholeFile(*a);
    const std::span<const uint8_t> two = WholeFile(*b);

    std::vector<uint8_t> out;
    uint64_t p1 = 0, p2 = 0;
    int records = 0;
    while (records < kEightHeaderJoinLimit && one.size() - p1 >= kHeaderBytes && two.size() - p2 >= kHeaderBytes) {
        const int32_t countA = I32(one.data() + p1 + 28);
        const int32_t countB = I32(two.data() + p2 + 28);
        const char* stop = nullptr;
        const char* stopJa = nullptr;
        if (countA < 0 || countB < 0) {
            stop = " Record %lld declares a negative number of samples ! \n The join stops before it.";
            stopJa = " レコード %lld のサンプル数が負です ! \n その前で結合を終えます。";
        } else if (static_cast<uint64_t>(countA) * 4 > one.size() - p1 - kHeaderBytes ||
                   static_cast<uint64_t>(countB) * 4 > two.size() - p2 - kHeaderBytes) {
            stop = " A file ends inside the samples of record %lld ! \n The join stops before it.";
            stopJa = " ファイルがレコード %lld のサンプルの途中で終わっています ! \n その前で結合を終えます。";
        } else if (static_cast<int64_t>(countA) + countB > std::numeric_limits<int32_t>::max()) {
            stop = " Record %lld would hold more samples than a count word can say ! \n The join stops before it.";
            stopJa = " レコード %lld のサンプル数が多すぎます ! \n その前で結合を終えます。";
        }
        if (stop) {
            Tell(ctx, Formatted(lang, stop, stopJa, records + 1));
            break;
        }
        const size_t bytesA = 4 * static_cast<size_t>(countA);
        const size_t bytesB = 4 * static_cast<size_t>(countB);
        const size_t at = out.size();
        out.insert(out.end(), one.begin() + static_cast<std::ptrdiff_t>(p1),
                   one.begin() + static_cast<std::ptrdiff_t>(p1 + kHeaderBytes));
        Put32(out.data() + at + 28, static_cast<uint32_t>(countA + countB));
        p1 += kHeaderBytes;
        p2 += kHeaderBytes;
        out.insert(out.end(), one.begin() + static_cast<std::ptrdiff_t>(p1),
                   one.begin() + static_cast<std::ptrdiff_t>(p1 + bytesA));
        out.insert(out.end(), two.begin() + static_cast<std::ptrdiff_t>(p2),
                   two.begin() + static_cast<std::ptrdiff_t>(p2 + bytesB));
        p1 += bytesA;
        p2 += bytesB;
        ++records;
    }

    std::string error;
    if (!WriteFileAtomically(output, std::string_view(reinterpret_cast<const char*>(out.data()), out.size()), &error)) {
        Tell(ctx, FileSaveFailedMessage(lang, output, error), MsgIcon::Error);
        return -1;
    }
    return records;
}

}  // namespace velk
