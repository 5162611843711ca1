#include "formats/dzt.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "base/position.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

constexpr size_t kSamplesAt = 4;
constexpr size_t kBitsAt = 6;
constexpr size_t kOtherFloatAt = 12;
constexpr size_t kScansPerMetreAt = 16;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

float F32(const uint8_t* p)
{
    const uint32_t bits = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                          (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    return std::bit_cast<float>(bits);
}

void Tell(FormatContext& ctx, const std::string& text, MsgIcon icon = MsgIcon::Warning)
{
    ctx.ui.Message(text, MsgButtons::Ok, icon);
}

void Refuse(FormatContext& ctx, const std::string& reason)
{
    Tell(ctx, reason + Msg(ctx.language, "\n\n The data was not changed.", "\n\n データは変更されていません。"),
         MsgIcon::Error);
}

}  // namespace

float DztTraceSpacing(float scansPerMetre)
{
    if (std::isfinite(scansPerMetre) && scansPerMetre > 0.1f) return 1.0f / scansPerMetre;
    return 0.02f;
}

int ReadDzt(ByteSource& file, LoadTarget& target, FormatContext& ctx)
{
    const int lang = ctx.language;
    file.Seek(0);
    const std::span<const uint8_t> bytes = file.Peek(static_cast<size_t>(file.Size()));
    if (bytes.size() < kDztHeaderSize) {
        Refuse(ctx, Msg(lang, " The DZT file is too short: its header is cut.", " DZT ファイルが短すぎます (ヘッダーが欠けています)。"));
        return -1;
    }
    const int samples = U16(bytes.data() + kSamplesAt);
    const int bits = static_cast<int16_t>(U16(bytes.data() + kBitsAt));
    const float scansPerMetre = F32(bytes.data() + kScansPerMetreAt);
    const float other = F32(bytes.data() + kOtherFloatAt);
    if (bits != 8 && bits != 16) {
        Refuse(ctx, FormatC(Msg(lang, " The DZT file has %d bits per sample: only 8 and 16 bits can be read.",
                                " DZT ファイルのサンプルは %d ビットです: 読めるのは 8 ビットと 16 ビットだけです。")
                                .c_str(),
                            bits));
        return -1;
    }
    if (samples == 0) {
        Refuse(ctx, Msg(lang, " The DZT file gives no number of samples per trace.", " DZT ファイルにトレースあたりのサンプル数がありません。"));
        return -1;
    }

    const size_t sampleBytes = static_cast<size_t>(bits / 8);
    const uint64_t traceBytes = static_cast<uint64_t>(samples) * sampleBytes;
    const uint64_t data = bytes.size() - kDztHeaderSize;
    const uint64_t complete = data / traceBytes;
    const uint64_t room = static_cast<uint64_t>(std::max(target.Capacity(), 0));
    const int toRead = static_cast<int>(std::min(complete, room));
    if (complete > room) Tell(ctx, TracesMessage(lang, kTotalTracesReadMsg, toRead));
    if (complete < room && data % traceBytes != 0)
        Tell(ctx, Msg(lang, " The DZT file ends inside a trace: the incomplete last trace was not read.",
                      " DZT ファイルがトレースの途中で終わっています: 最後の不完全なトレースは読み込んでいません。"));
    if (toRead == 0) {
        Refuse(ctx, Msg(lang, " The DZT file holds no complete trace.", " DZT ファイルに完全なトレースがありません。"));
        return -1;
    }
    const int kept = std::min({samples, target.MaxSample(), target.RowLength()});
    if (samples > kept) Tell(ctx, SamplesMessage(lang, kSamplesTruncatedMsg));

    const float spacing = DztTraceSpacing(scansPerMetre);
    for (int k = 0; k < toRead; ++k) {
        const uint8_t* src = bytes.data() + kDztHeaderSize + static_cast<size_t>(k) * traceBytes;
        std::span<float> row = target.Row(k);
        if (bits == 8) {
            for (int s = 0; s < kept; ++s) row[static_cast<size_t>(s)] = static_cast<float>(src[s] - 128);
        } else {
            for (int s = 0; s < kept; ++s) row[static_cast<size_t>(s)] = static_cast<float>(U16(src + 2 * s) - 32768);
        }
        const int h = target.Start() + k;
        const float metres = static_cast<float>(h) * spacing;
        CTraceHeader& header = target.Header(k);
        header.Set(h + 1, MetresToHundredths(metres).value_or(0), 0, 10, 1, 0.0f, 1000.0f, kept);
        static_cast<CTraceHeader&>(target.HeaderEx(k)) = header;
    }
    ctx.ui.Message(FormatC("# of traces=%d # of samples=%d bits=%d Trace spacing=%f %f %f", toRead, samples, bits,
                           static_cast<double>(spacing), static_cast<double>(scansPerMetre), static_cast<double>(other)));
    return toRead;
}

}  // namespace velk
