#include "formats/seg1_560qx.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "formats/file_roads.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

constexpr size_t kChannelsAt = 99;
constexpr size_t kSamplesAt = 102;
constexpr size_t kIntervalAt = 107;
constexpr size_t kDelayAt = 114;
constexpr size_t kChannelBlocksAt = kSeg1HeaderProbe;  // 158
constexpr size_t kChannelBlock = 32;
constexpr size_t kGainInBlock = 28;

void Tell(FormatContext& ctx, const std::string& text) { ctx.ui.Message(text, MsgButtons::Ok, MsgIcon::Warning); }

void Refuse(FormatContext& ctx, const std::string& reason)
{
    ctx.ui.Message(reason + Msg(ctx.language, "\n\n The data was not changed.", "\n\n データは変更されていません。"),
                   MsgButtons::Ok, MsgIcon::Error);
}

// The gain factor of a channel; a factor that is not finite or is 0 counts as 1.
double GainFactor(int32_t dB, bool& replaced)
{
    const double factor = std::pow(10.0, dB * 0.05);
    if (!std::isfinite(factor) || factor == 0.0 || !std::isfinite(static_cast<float>(factor)) ||
        static_cast<float>(factor) == 0.0f) {
        replaced = true;
        return 1.0;
    }
    return factor;
}

}  // namespace

int Read560QX(ByteSource& file, LoadTarget& target, FormatContext& ctx)
{
    const int lang = ctx.language;
    file.Seek(0);
    const std::span<const uint8_t> bytes = file.Peek(static_cast<size_t>(file.Size()));
    // The header's fields end at byte 158 whatever their lengths say.
    const std::span<const uint8_t> header = bytes.first(std::min(bytes.size(), kSeg1HeaderProbe));

    const std::optional<int32_t> channels = ScanIntPrefix(FieldUpToCR(header, kChannelsAt, 3));
    const std::optional<int32_t> samples = ScanIntPrefix(FieldUpToCR(header, kSamplesAt, 5));
    if (!channels || *channels < 0) {
        Refuse(ctx, Msg(lang, " The 560QX file gives no number of channels.", " 560QX ファイルにチャンネル数がありません。"));
        return -1;
    }
    if (!samples || *samples <= 0) {
        Refuse(ctx, Msg(lang, " The 560QX file gives no number of samples.", " 560QX ファイルにサンプル数がありません。"));
        return -1;
    }
    const double intervalMs = ScanDoublePrefix(FieldUpToCR(header, kIntervalAt, 20)).value_or(0.0);
    const double delayMs = ScanDoublePrefix(FieldUpToCR(header, kDelayAt, 20)).value_or(0.0);

    // How many traces the file holds, and how many fit.
    const uint64_t traceBytes = 2ull * static_cast<uint64_t>(*samples);
    const uint64_t data = bytes.size() > kSeg1DataStart ? bytes.size() - kSeg1DataStart : 0;
    const uint64_t complete = data / traceBytes;
    const uint64_t wanted = static_cast<uint64_t>(*channels) + 1;
    const uint64_t room = static_cast<uint64_t>(std::max(target.Capacity(), 0));
    const uint64_t fit = std::min(wanted, room);
    const int toRead = static_cast<int>(std::min(fit, complete));
    if (wanted > room) Tell(ctx, TracesMessage(lang, kTotalTracesReadMsg, static_cast<int>(fit)));
    if (complete < fit && data % traceBytes != 0)
        Tell(ctx, FormatC(Msg(lang, " The 560QX file ends inside trace %d: that trace was not read.",
                              " 560QX ファイルがトレース %d の途中で終わっています: そのトレースは読み込んでいません。")
                              .c_str(),
                          toRead + 1));
    if (toRead == 0) {
        Refuse(ctx, Msg(lang, " The 560QX file holds no complete trace.", " 560QX ファイルに完全なトレースがありません。"));
        return -1;
    }
    const int kept = std::min({static_cast<int>(*samples), target.MaxSample(), target.RowLength()});
    if (*samples > kept) Tell(ctx, SamplesMessage(lang, kSamplesTruncatedMsg));

    // The channels' gains; the extra trace has none.
    bool replaced = false;
    std::vector<int32_t> gains(static_cast<size_t>(toRead), 0);
    std::vector<double> factors(static_cast<size_t>(toRead), 1.0);
    for (int c = 0; c < toRead && c < *channels; ++c) {
        const size_t at = kChannelBlocksAt + kChannelBlock * static_cast<size_t>(c) + kGainInBlock;
        gains[static_cast<size_t>(c)] = ScanIntPrefix(FieldUpToCR(bytes, at, 20)).value_or(0);
        factors[static_cast<size_t>(c)] = GainFactor(gains[static_cast<size_t>(c)], replaced);
    }
    if (replaced)
        Tell(ctx, Msg(lang, " A channel gain of the 560QX file gives no usable factor: 1 was used.",
                      " 560QX ファイルのチャンネルゲインが使えない値です: 係数 1 を使いました。"));

    const float intervalUs = static_cast<float>(intervalMs * 1000.0);
    const float delayUs = static_cast<float>(delayMs * 1000.0);
    ConversionCount cc;
    for (int m = 0; m < toRead; ++m) {
        const uint8_t* src = bytes.data() + kSeg1DataStart + static_cast<size_t>(m) * traceBytes;
        const double factor = factors[static_cast<size_t>(m)];
        std::span<float> row = target.Row(m);
        for (int e = 0; e < kept; ++e) {
            const int16_t v = static_cast<int16_t>(src[2 * e] | (src[2 * e + 1] << 8));
            // A tiny gain factor can carry a sample past the float range.
            row[static_cast<size_t>(e)] = ToFiniteFloat(v / factor, cc);
        }
        CTraceHeader& h = target.Header(m);
        h.Set(m + 1, (m + 1) * 100, 0, gains[static_cast<size_t>(m)], 1, std::isfinite(delayUs) ? delayUs : 0.0f,
              std::isfinite(intervalUs) ? intervalUs : 0.0f, kept);
        static_cast<CTraceHeader&>(target.HeaderEx(m)) = h;
    }
    if (cc.Any()) Tell(ctx, ConversionWarning(lang, cc));
    return toRead;
}

int Read560QXFile(const std::string& path, LoadTarget& target, FormatContext& ctx)
{
    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) {
        ctx.ui.Message(Msg(ctx.language, "Cannot open the file") + "\n\n" + path, MsgButtons::Ok, MsgIcon::Error);
        return -1;
    }
    return Read560QX(file, target, ctx);
}

}  // namespace velk
