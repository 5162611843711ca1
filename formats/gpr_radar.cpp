#include "formats/gpr_radar.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

constexpr size_t kMaxWord = 256;

// Tokens a text of `chars` characters can still hold.
uint64_t TokensIn(size_t chars) { return (static_cast<uint64_t>(chars) + 1) / 2; }

}  // namespace

double GprGainFactor(std::span<const double> factors, int n, int k)
{
    const int g = static_cast<int>(factors.size());
    if (g == 0) return 1.0;
    if (g < 2) return factors[0];
    const int s = n / (g - 1);
    if (s < 1) return factors[0];
    if (k >= (g - 1) * s) return factors[static_cast<size_t>(g - 1)];
    const int j = k / s;
    const double a = factors[static_cast<size_t>(j)];
    const double b = factors[static_cast<size_t>(j + 1)];
    return a + (b - a) * static_cast<double>(k - j * s) / s;
}

int ReadGprRadarText(std::string_view text, LoadTarget& target, FormatContext& ctx, GprRadarRead& out)
{
    const int lang = ctx.language;
    TextScanner in(text);
    std::string log;
    ConversionCount cc;
    bool damaged = false;
    bool truncated = false;
    std::vector<double> dB;
    std::vector<double> factors;
    std::vector<int32_t> values;
    out = {};
    auto left = [&] { return TokensIn(text.size() - std::min(text.size(), in.Position())); };

    int k = 0;
    while (!in.AtEnd()) {
        if (k >= target.Capacity()) {
            ctx.ui.Message(TracesMessage(lang, kTotalTracesReadMsg, k), MsgButtons::Ok, MsgIcon::Warning);
            break;
        }
        // The trace header and its gains.
        int32_t n = 0, g = 0, extra = 0;
        double first = 0.0, interval = 0.0, third = 0.0;
        std::string word;
        if (!in.ReadInt(n) || !in.ReadDouble(first) || !in.ReadDouble(interval) || !in.ReadDouble(third) ||
            !in.ReadInt(g) || n < 1 || g < 0 || static_cast<uint64_t>(n) > left() || static_cast<uint64_t>(g) > left()) {
            damaged = true;
            break;
        }
        dB.assign(static_cast<size_t>(g), 0.0);
        bool ok = true;
        for (double& v : dB) ok = ok && in.ReadDouble(v);
        ok = ok && in.ReadWord(word, kMaxWord) && in.ReadInt(extra);
        values.assign(static_cast<size_t>(n), 0);
        for (int32_t& v : values) ok = ok && in.ReadInt(v);
        if (!ok) {
            damaged = true;
            break;
        }

        log += FormatC("%d %f %f %f %d", n, first, interval, third, g);
        for (double v : dB) log += FormatC(" %f", v);
        log += " \n";
        log += FormatC("%s ", word.c_str());
        log += FormatC(" %d \n", extra);

        factors.resize(dB.size());
        for (size_t i = 0; i < dB.size(); ++i) factors[i] = std::pow(10.0, dB[i] * 0.05);
        const int segment = g >= 2 ? n / (g - 1) : 0;
        int samples = n - segment;
        const int kept = std::min({samples, target.MaxSample(), target.RowLength()});
        if (samples > kept) truncated = true;
        std::span<float> row = target.Row(k);
        for (int e = 0; e < kept; ++e) {
            const double value = values[static_cast<size_t>(e)] / GprGainFactor(factors, n, e) * 10000.0;
            row[static_cast<size_t>(e)] = ToFiniteFloat(value, cc);
        }
        const double intervalMs = interval * 1000.0;
        out.intervalMs = std::isfinite(static_cast<float>(intervalMs)) ? static_cast<float>(intervalMs) : 0.0f;
        out.samples = kept;
        CTraceHeader& h = target.Header(k);
        h.Set(1, (k + 1) * 100, 0, 1, 1000, 0.0f, out.intervalMs * 1000.0f, kept);
        static_cast<CTraceHeader&>(target.HeaderEx(k)) = h;
        ++k;
    }
    out.traces = k;
    ctx.log.Rewrite("radar.txt", log);

    if (truncated) ctx.ui.Message(SamplesMessage(lang, kSamplesTruncatedMsg), MsgButtons::Ok, MsgIcon::Warning);
    if (damaged) {
        ctx.ui.Message(FormatC(Msg(lang, " Trace %d of the radar file is incomplete or damaged: the traces before it were read.",
                                   " レーダーファイルのトレース %d が不完全か壊れています: その前までのトレースを読み込みました。")
                                   .c_str(),
                               k + 1),
                       MsgButtons::Ok, MsgIcon::Warning);
    }
    if (cc.Any()) ctx.ui.Message(ConversionWarning(lang, cc), MsgButtons::Ok, MsgIcon::Warning);
    if (k == 0 && !damaged) {
        ctx.ui.Message(Msg(lang, " The radar file holds no trace.", " レーダーファイルにトレースがありません。"),
                       MsgButtons::Ok, MsgIcon::Warning);
    }
    return k;
}

GprOpenResult CGprFileDlg::ReadGprRadarFile(UiHost& ui, int language, LogSink& log, const WaveformStore& store)
{
    GprOpenResult result;
    FileRequest request;
    request.initialName = "*.*";
    request.filters = {{"ZAV GPR file(*.*)", "*.*"}};
    const std::optional<std::string> path = ui.OpenFile(request);
    if (!path) return result;
    result.path = *path;
    std::ifstream file(*path, std::ios::binary);
    if (!file) {
        ui.Message(Msg(language, kDataFileNotOpened, "データファイルを開けませんでした"), MsgButtons::Ok, MsgIcon::Error);
        return result;
    }
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto target = std::make_unique<LoadTarget>(0, store.MaxTraces(), store.RowLength(), store.MaxSample());
    FormatContext ctx{ui, language, log};
    if (ReadGprRadarText(text, *target, ctx, result.read) <= 0) return result;
    result.outcome = OpenOutcome::NewRecord;
    result.target = std::move(target);
    return result;
}

}  // namespace velk
