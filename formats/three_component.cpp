#include "formats/three_component.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "dsp/fourier.h"
#include "formats/file_roads.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

int ComponentFromFileName(std::string_view path)
{
    const std::string_view name = FileNamePart(path);
    auto has = [&](std::string_view a, std::string_view b) {
        return name.find(a) != std::string_view::npos || name.find(b) != std::string_view::npos;
    };
    int component = 1;
    if (has("ns", "NS")) component = 1;
    if (has("ew", "EW")) component = 2;
    if (has("ud", "UD")) component = 3;
    return component;
}

int ReadComponentDat(std::string_view text, std::string_view path, LoadTarget& target, FormatContext& ctx)
{
    const int lang = ctx.language;
    const int limit = std::min(target.MaxSample(), target.RowLength());
    if (target.Capacity() < 1) {
        ctx.ui.Message(TracesMessage(lang, kTotalTracesReadMsg, 0), MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    TextScanner in(text);
    std::span<float> row = target.Row(0);
    int count = 0;
    double firstTime = 0.0, secondTime = 0.0;
    while (true) {
        double time = 0.0, value = 0.0;
        if (!in.ReadDouble(time) || !in.ReadDouble(value)) break;
        if (count == limit) {
            ctx.ui.Message(SamplesMessage(lang, kSamplesTruncatedMsg), MsgButtons::Ok, MsgIcon::Warning);
            break;
        }
        const double scaled = value * 0.01;
        if (!std::isfinite(static_cast<float>(scaled))) break;  // a value the store cannot hold ends the trace
        if (count == 0) firstTime = time;
        if (count == 1) secondTime = time;
        row[static_cast<size_t>(count)] = static_cast<float>(scaled);
        ++count;
    }
    if (count == 0) {
        ctx.ui.Message(Msg(lang, " The file holds no pair of time and value.", " ファイルに時刻と値の組がありません。"),
                       MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    double intervalUs = count >= 2 ? (secondTime - firstTime) * 1e6 : 0.0;
    if (!std::isfinite(static_cast<float>(intervalUs))) intervalUs = 0.0;
    CTraceHeader& h = target.Header(0);
    h.Set(1, 0, 0, 10, ComponentFromFileName(path), 0.0f, static_cast<float>(intervalUs), count);
    static_cast<CTraceHeader&>(target.HeaderEx(0)) = h;
    RemoveMean(row.data(), count);
    // Values near the float range's ends can leave it once the mean is taken away.
    ConversionCount cc;
    for (int k = 0; k < count; ++k) row[static_cast<size_t>(k)] = ToFiniteFloat(row[static_cast<size_t>(k)], cc);
    if (cc.Any()) ctx.ui.Message(ConversionWarning(lang, cc), MsgButtons::Ok, MsgIcon::Warning);
    return 1;
}

int ReadComponentDatFile(const std::string& path, LoadTarget& target, FormatContext& ctx)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        ctx.ui.Message(Msg(ctx.language, "Cannot open the file") + "\n\n" + path, MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return ReadComponentDat(text, path, target, ctx);
}

}  // namespace velk
