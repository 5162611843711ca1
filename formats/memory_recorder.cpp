#include "formats/memory_recorder.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "formats/load_target.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"

namespace velk {

namespace {

constexpr double kCountToVolts = 0.0000125;

// A text field of a header: up to `width` characters from `offset`, ending at a zero byte,
// never past the end of the bytes.
std::string Field(std::span<const uint8_t> bytes, size_t offset, size_t width)
{
    std::string text;
    for (size_t i = offset; i < bytes.size() && i < offset + width; ++i) {
        if (bytes[i] == 0) break;
        text.push_back(static_cast<char>(bytes[i]));
    }
    return text;
}

// "%lld" over a bounded field: blanks, sign, digits; nullopt without digits or beyond int64.
std::optional<int64_t> ScanInt64(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const size_t first = i;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > (std::numeric_limits<int64_t>::max() - (text[i] - '0')) / 10) return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    if (i == first) return std::nullopt;
    return negative ? -value : value;
}

int CountRecorded(std::string_view flags) { return static_cast<int>(std::count(flags.begin(), flags.end(), '1')); }

std::span<const uint8_t> AllBytes(ByteSource& file)
{
    file.Seek(0);
    return file.Peek(static_cast<size_t>(file.Size()));
}

// Channels beyond the room and samples beyond a row are left out, never silently.
void WarnCapacity(FormatContext& ctx, int64_t channels, int room, int64_t samples, int maxSample)
{
    if (channels > room) {
        ctx.ui.Message(TracesMessage(ctx.language, kTotalTracesReadMsg, room), MsgButtons::Ok, MsgIcon::Warning);
    }
    if (samples > maxSample) ctx.ui.Message(SamplesMessage(ctx.language, kSamplesTruncatedMsg), MsgButtons::Ok, MsgIcon::Warning);
}

int Refuse(FormatContext& ctx, int result, std::string_view english, std::string_view japanese)
{
    ctx.ui.Message(Msg(ctx.language, english, japanese), MsgButtons::Ok, MsgIcon::Error);
    return result;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

DialogRequest CHeaderCountDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, "Check # of headers", "ヘッダー数の確認"));
    formula = "# of headers = (file size-# of channels*2*# of samples)/512";
    request.String("Formula", formula).ReadOnly();
    request.Int("Headers", headers, 0).Label("# of headers =");
    request.Int("Channels", channels).Label(Msg(language, "# of channels =", "チャンネル数 =")).ReadOnly();
    request.Int("Samples", samples).Label(Msg(language, "# of samples =", "サンプル数 =")).ReadOnly();
    return request;
}

DialogRequest CInputGainDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, "Set gain", "ゲインの設定"));
    text = "Set gain for Hioki Memory-recorder";
    request.String("Text", text).ReadOnly();
    for (int i = 0; i < kChannels; ++i) {
        request.Float("Gain" + std::to_string(i + 1), gains[static_cast<size_t>(i)]).Label(std::to_string(i + 1) + Msg(language, " cha."));
    }
    return request;
}

// ---------------------------------------------------------------------------------------------

int ReadHioki8840(ByteSource& file, LoadTarget& target, FormatContext& ctx, MemoryRecorderRead& out)
{
    const std::span<const uint8_t> bytes = AllBytes(file);
    const size_t headerBytes = std::min(bytes.size(), k8840HeaderSize);
    const std::span<const uint8_t> header = bytes.first(headerBytes);

    const std::string model = Field(header, 0, 9);
    const std::string samplesText = Field(header, 83, 7);
    const std::string timeText = Field(header, 93, 3);
    const std::string flags = Field(header, 116, 16);
    const int64_t samples = ScanInt64(samplesText).value_or(0);
    const double interval = ScanDoublePrefix(timeText).value_or(0.0) * 0.00001;
    const int channels = CountRecorded(flags);

    std::string log = "ファイルを開きました！ \n";
    log += FormatC(" File header = %d \n", static_cast<int>(headerBytes));
    log += " " + model + " \n";
    log += " " + samplesText + FormatC(" Number of sample = %lld \n", static_cast<long long>(samples));
    log += " " + timeText + FormatC(" Sampling time = %f (msec) \n", interval);
    log += " " + flags + FormatC(" Number of trace = %d \n", channels);

    // The range of each recorded channel, in mV.
    std::vector<double> factors;
    for (int i = 0; i < channels; ++i) {
        const size_t at = k8840HeaderSize + k8840ChannelRecordSize * static_cast<size_t>(i);
        const std::string rangeText = Field(bytes, at + 4, 3);
        const std::string unit = Field(bytes, at + 7, 3);
        const double range = ScanDoublePrefix(rangeText).value_or(0.0);
        const double factor = !unit.empty() && unit[0] == 'm' ? range : range * 1000.0;
        factors.push_back(factor);
        log += " " + FormatC("%f", range) + " " + unit + " " + FormatC("%f", factor) + " \n";
    }
    ctx.log.Rewrite("mr.txt", log);

    // Only complete channels count.
    const int64_t channelBytes = samples * 2;
    const int64_t dataBytes = bytes.size() > k8840DataOffset ? static_cast<int64_t>(bytes.size() - k8840DataOffset) : 0;
    const int64_t complete = samples > 0 ? std::min<int64_t>(channels, dataBytes / channelBytes) : 0;
    if (complete <= 0) {
        return Refuse(ctx, 0, "The memory-recorder file holds no complete channel ! \n The data was not changed.",
                      "メモリーレコーダーのファイルに完全なチャンネルがありません ! \n データは変更されていません。");
    }
    if (complete < channels) {
        ctx.ui.Message(FormatC(Msg(ctx.language,
                                   "The file ends before its last channels ! \n Only %d channels have been read.",
                                   "ファイルが最後のチャンネルより前で終わっています ! \n %d チャンネルだけ読み込みました。")
                                   .c_str(),
                               static_cast<int>(complete)),
                       MsgButtons::Ok, MsgIcon::Warning);
    }
    const int stored = static_cast<int>(std::min<int64_t>(complete, target.Capacity()));
    const int kept = static_cast<int>(std::min<int64_t>(samples, std::min(target.MaxSample(), target.RowLength())));
    WarnCapacity(ctx, complete, target.Capacity(), samples, kept);

    for (int k = 0; k < stored; ++k) {
        const uint8_t* p = bytes.data() + k8840DataOffset + static_cast<size_t>(k) * static_cast<size_t>(channelBytes);
        std::span<float> row = target.Row(k);
        const double scale = factors[static_cast<size_t>(k)] * kCountToVolts;
        for (int j = 0; j < kept; ++j) {
            const int code = 256 * p[2 * j] + p[2 * j + 1];
            row[static_cast<size_t>(j)] = static_cast<float>(-(2048 - code) * scale);
        }
        target.Header(k).samples = kept;
        target.Header(k).intervalUs = static_cast<float>(interval * 1000.0);
    }
    out.samples = kept;
    out.intervalMs = static_cast<float>(interval);
    out.traces = stored;
    return 1;
}

// ---------------------------------------------------------------------------------------------

int ReadHioki8826(ByteSource& file, LoadTarget& target, FormatContext& ctx, MemoryRecorderRead& out)
{
    const std::span<const uint8_t> bytes = AllBytes(file);
    const int64_t size = static_cast<int64_t>(bytes.size());
    std::string log = FormatC("Data file has been opned ! File size = %lld \n", static_cast<long long>(size));
    auto failRead = [&](int64_t got) {
        log += FormatC(" Reading error ! ret=%lld \n", static_cast<long long>(got));
        ctx.log.Rewrite("mr.txt", log);
        return Refuse(ctx, -1, "The memory-recorder file is shorter than its header says ! \n The data was not changed.",
                      "メモリーレコーダーのファイルがヘッダーの示す長さより短いです ! \n データは変更されていません。");
    };
    if (size < static_cast<int64_t>(k8826BlockSize)) return failRead(size);

    const std::span<const uint8_t> header = bytes.first(k8826BlockSize);
    log += FormatC(" %d \n", static_cast<int>(k8826BlockSize));
    for (size_t at : {0u, 12u, 72u, 24u}) log += " " + Field(header, at, 12) + " \n";
    const std::string samplesText = Field(header, 72, 12);
    std::string timeText = Field(header, 144, 12);
    timeText = timeText.substr(0, timeText.find('u'));
    const std::string flags = Field(header, 408, 60);
    const int64_t samples = std::max<int64_t>(ScanInt64(samplesText).value_or(0), 0);
    const double interval = ScanDoublePrefix(timeText).value_or(0.0) * 0.001;
    const int channels = CountRecorded(flags);
    log += " " + samplesText + FormatC(" Number of sample = %lld \n", static_cast<long long>(samples));
    log += " " + timeText + FormatC(" Sampling time = %f (msec) \n", interval);
    log += " " + flags + FormatC(" Number of trace = %d \n", channels);

    // The channel headers: the range before its unit letter, in mV.
    std::vector<int64_t> ranges;
    for (int i = 0; i < channels; ++i) {
        const size_t at = k8826BlockSize * static_cast<size_t>(i + 1);
        if (at + k8826BlockSize > bytes.size()) return failRead(size);
        log += FormatC(" %d Trace header = %d \n", i, static_cast<int>(k8826BlockSize));
        std::string block(reinterpret_cast<const char*>(bytes.data() + at), k8826BlockSize);
        for (char& c : block) {
            if (c == '\n' || c == '\0') c = ' ';
        }
        std::string rangeText = block.substr(47, 10);
        int volts = 0;
        const size_t unit = rangeText.find_first_of("mMvV");
        if (unit != std::string::npos) {
            volts = rangeText[unit] == 'v' || rangeText[unit] == 'V' ? 1 : 0;
            rangeText.resize(unit);
        }
        const int64_t range = ScanInt64(rangeText).value_or(0) * (volts ? 1000 : 1);
        ranges.push_back(range);
        log += rangeText + FormatC(" %d %lld \n", volts, static_cast<long long>(range));
    }

    // The blocks before the data, as the user confirms them.
    const int64_t dataBytes = static_cast<int64_t>(channels) * samples * 2;
    const int64_t computed = (size - dataBytes) / static_cast<int64_t>(k8826BlockSize);
    CHeaderCountDlg dlg;
    dlg.headers = static_cast<int>(std::clamp<int64_t>(computed, 0, std::numeric_limits<int>::max()));
    dlg.channels = channels;
    dlg.samples = static_cast<int>(std::min<int64_t>(samples, std::numeric_limits<int>::max()));
    DialogRequest request = dlg.Request(ctx.language);
    if (!ctx.ui.RunDialog(request)) {
        ctx.log.Rewrite("mr.txt", log);
        return -1;
    }
    const int64_t start = static_cast<int64_t>(dlg.headers) * static_cast<int64_t>(k8826BlockSize);
    if (channels <= 0 || samples <= 0 || start > size || dataBytes > size - start) {
        return failRead(std::max<int64_t>(0, size - start) / 2);
    }

    const int stored = std::min(channels, target.Capacity());
    const int kept = static_cast<int>(std::min<int64_t>(samples, std::min(target.MaxSample(), target.RowLength())));
    WarnCapacity(ctx, channels, target.Capacity(), samples, kept);
    const uint8_t* data = bytes.data() + start;
    for (int k = 0; k < stored; ++k) {
        std::span<float> row = target.Row(k);
        const int64_t range = ranges[static_cast<size_t>(k)];
        const double scale = range != 0 ? static_cast<double>(range) * kCountToVolts : 1.0;
        for (int j = 0; j < kept; ++j) {
            const uint8_t* p = data + (static_cast<size_t>(j) * static_cast<size_t>(channels) + static_cast<size_t>(k)) * 2;
            const auto v = static_cast<int16_t>(static_cast<uint16_t>((p[0] << 8) | p[1]));
            row[static_cast<size_t>(j)] = static_cast<float>(v * scale);
        }
        target.Header(k).samples = kept;
        target.Header(k).intervalUs = static_cast<float>(interval * 1000.0);
    }
    log += FormatC(" Reading file was successfully completed ! ret=%lld \n", static_cast<long long>(channels * samples));
    ctx.log.Rewrite("mr.txt", log);
    out.samples = kept;
    out.intervalMs = static_cast<float>(interval);
    out.traces = stored;
    return 1;
}

// ---------------------------------------------------------------------------------------------

std::vector<MemoryRecorderKey> ParseMemoryRecorderKeyText(std::string_view text)
{
    std::vector<MemoryRecorderKey> keys;
    size_t pos = 0;
    while (pos < text.size() && keys.size() < static_cast<size_t>(kMaxKeyLines)) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        TextScanner scan(text.substr(pos, end - pos));
        pos = end + 1;
        if (scan.AtEnd()) {
            if (pos >= text.size()) break;
            continue;
        }
        int32_t v[5] = {};
        float gain = 0.0f;
        bool ok = true;
        for (int32_t& value : v) ok = ok && scan.ReadInt(value);
        if (!ok || !scan.ReadFloat(gain)) break;
        keys.push_back({v[0], v[1], v[2], gain});
    }
    return keys;
}

std::vector<KeyTrace> KeyTracesOf(std::span<const MemoryRecorderKey> keys)
{
    std::vector<KeyTrace> traces;
    for (const MemoryRecorderKey& k : keys) traces.push_back({k.channel, k.receiver, k.source, 1, k.gain});
    return traces;
}

std::vector<KeyTrace> KeyTracesOf(std::span<const KeyLine> keys, bool secondsFlag)
{
    std::vector<KeyTrace> traces;
    for (const KeyLine& k : keys) traces.push_back({k.trace, k.receiver, k.source, secondsFlag ? 1000 : k.component, 1.0f});
    return traces;
}

int RebuildTracesFromKeys(const Matrix2D<float>& rows, int count, int samples, float intervalUs,
                          std::span<const KeyTrace> keys, LoadTarget& target, bool* cut)
{
    if (cut) *cut = false;
    count = std::clamp(count, 0, static_cast<int>(rows.Rows()));
    samples = std::clamp(samples, 0, std::min(static_cast<int>(rows.Cols()), target.RowLength()));
    int made = 0;
    for (int channel = 1; channel <= count; ++channel) {
        for (const KeyTrace& key : keys) {
            if (key.channel != channel) continue;
            if (made >= target.Capacity()) {
                if (cut) *cut = true;
                return made;
            }
            std::span<const float> from = rows.Row(channel - 1);
            std::span<float> to = target.Row(made);
            for (int j = 0; j < samples; ++j) to[static_cast<size_t>(j)] = from[static_cast<size_t>(j)] * key.gain;
            target.Header(made).Set(made, key.receiver, key.source, 1, key.component, 0.0f, intervalUs, samples);
            ++made;
        }
    }
    return made;
}

void ApplyInputGain(Matrix2D<float>& rows, std::span<float> peaks, int count, int samples, const CInputGainDlg& gains)
{
    const int n = std::min({count, CInputGainDlg::kChannels, static_cast<int>(rows.Rows())});
    samples = std::clamp(samples, 0, static_cast<int>(rows.Cols()));
    for (int i = 0; i < n; ++i) {
        const float g = gains.gains[static_cast<size_t>(i)];
        std::span<float> row = rows.Row(i);
        for (int j = 0; j < samples; ++j) row[static_cast<size_t>(j)] *= g;
        if (static_cast<size_t>(i) < peaks.size()) peaks[static_cast<size_t>(i)] *= g;
    }
}

}  // namespace velk
