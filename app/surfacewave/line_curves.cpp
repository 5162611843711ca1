#include "app/surfacewave/line_curves.h"

#include <algorithm>
#include <filesystem>

#include "app/formats/load_setup.h"
#include "app/workspace.h"
#include "formats/format_support.h"
#include "platform/atomic_file.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"
#include "traveltime/traveltime_set.h"
#include "traveltime/traveltime_text.h"

namespace velk {

void PutLineCurves(CTraveltimeSet& set, const std::vector<LineCurve>& curves)
{
    const int shots = std::min(static_cast<int>(curves.size()), CTraveltimeSet::kMaxShots);
    for (int s = 0; s < shots; ++s) {
        const LineCurve& c = curves[static_cast<size_t>(s)];
        const int n = std::min(static_cast<int>(c.points.size()), CTraveltimeSet::kMaxPicks);
        set.sourcePosition[s] = c.position;
        set.thirdValue[s] = c.third;
        set.pickCount[s] = n;
        for (int p = 0; p < n; ++p) {
            const LineCurvePoint& q = c.points[static_cast<size_t>(p)];
            set.X(s, p) = q.x;
            set.T(s, p) = q.t;
            set.K(s, p) = q.k;
            set.F(s, p) = q.f;
        }
    }
    set.shotCount = shots;
    set.kindWritten = 20;
    set.hasData = 1;
}

void TellSourcesLeftOut(UiHost& ui, int language, int sources)
{
    const int leftOut = sources - CTraveltimeSet::kMaxShots;
    if (leftOut <= 0) return;
    const std::string english =
        leftOut == 1 ? "The phase-velocity curves hold at most %d sources: 1 source of the line was not analysed."
                     : "The phase-velocity curves hold at most %d sources: %d sources of the line were not analysed.";
    ui.Message(FormatC(Msg(language, english, "位相速度曲線は %d 震源までです: 測線の %d 個の震源は解析されませんでした。")
                           .c_str(),
                       CTraveltimeSet::kMaxShots, leftOut),
               MsgButtons::Ok, MsgIcon::Warning);
}

void TellSharedPositions(UiHost& ui, int language, const std::vector<LineCurve>& curves,
                         const std::vector<std::string>& names)
{
    std::string list;
    std::vector<bool> told(curves.size(), false);
    for (size_t a = 0; a < curves.size(); ++a) {
        if (told[a] || curves[a].points.empty()) continue;
        std::string files = a < names.size() ? names[a] : std::string();
        bool shared = false;
        for (size_t b = a + 1; b < curves.size(); ++b) {
            if (curves[b].points.empty() || curves[b].position != curves[a].position) continue;
            told[b] = true;
            shared = true;
            files += ", " + (b < names.size() ? names[b] : std::string());
        }
        if (shared) list += FormatC("\n %.2f m: ", static_cast<double>(curves[a].position)) + files;
    }
    if (list.empty()) return;
    ui.Message(Msg(language, "Some shots share a source position; each keeps its own phase-velocity curve at that position:",
                   "震源位置が同じショットがあります。それぞれの位相速度曲線をその位置に残しました:") +
                   list,
               MsgButtons::Ok, MsgIcon::Info);
}

void TellCurvesMissing(UiHost& ui, int language, int withoutCurve, int analysed, bool cmps)
{
    if (withoutCurve <= 0) return;
    // [CMPs or sources][one or more]: English, Japanese. The singular names only the total.
    static constexpr const char* kTexts[2][2][2] = {
        {{"%d of %d sources gave no phase-velocity curve.", "位相速度曲線のない震源は %d 個です (全 %d 個中)。"},
         {"1 of %d sources gave no phase-velocity curve.", "%d 個の震源のうち 1 個は位相速度曲線がありません。"}},
        {{"%d of %d CMPs gave no phase-velocity curve (too few traces or no pick).",
          "位相速度曲線のない CMP は %d 個です (全 %d 個中; トレース不足または読み取りなし)。"},
         {"1 of %d CMPs gave no phase-velocity curve (too few traces or no pick).",
          "%d 個の CMP のうち 1 個は位相速度曲線がありません (トレース不足または読み取りなし)。"}},
    };
    const bool one = withoutCurve == 1;
    const auto& pair = kTexts[cmps ? 1 : 0][one ? 1 : 0];
    const std::string format = Msg(language, pair[0], pair[1]);
    const std::string text = one ? FormatC(format.c_str(), analysed) : FormatC(format.c_str(), withoutCurve, analysed);
    ui.Message(text, MsgButtons::Ok, MsgIcon::Warning);
}

std::string WriteLineCurves(Workspace& ws, UiHost& ui, const std::string& name)
{
    return WriteLineCurvesInto(ws, ui, {}, name);
}

std::string WriteLineCurvesInto(Workspace& ws, UiHost& ui, const std::string& folder, const std::string& name)
{
    const std::string path = (std::filesystem::path(folder.empty() ? ResultFolder(ws) : folder) / name).string();
    std::string text;
    WriteTraveltimeText(ws.curveSet, text, 0, 1);
    AtomicFileWriter out(path);
    if (!out.Failed()) {
        out.Write(text);
        if (out.Commit()) return path;
    }
    ui.Message(FileSaveFailedMessage(ws.startup.language, path, out.Error()), MsgButtons::Ok, MsgIcon::Error);
    return {};
}

void NormalizeEachCurveAmplitude(CTraveltimeSet& set)
{
    for (int s = 0; s < std::min(set.shotCount, CTraveltimeSet::kMaxShots); ++s) {
        const int n = std::clamp(static_cast<int>(set.pickCount[s]), 0, CTraveltimeSet::kMaxPicks);
        float largest = 0.0f;
        for (int p = 0; p < n; ++p) largest = std::max(largest, set.F(s, p));
        if (!(largest > 0.0f)) continue;
        for (int p = 0; p < n; ++p) set.F(s, p) /= largest;
    }
}

}  // namespace velk
