#include "app/picking/pick_files.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "app/picking/pick_matching.h"
#include "app/workspace.h"
#include "formats/file_roads.h"
#include "platform/language.h"
#include "platform/numtext.h"

namespace velk {

namespace {

double Receiver(const CTraceHeader& h) { return h.receiverHundredths * 0.01; }
double Source(const CTraceHeader& h) { return h.sourceHundredths * 0.01; }

std::span<const float> TraceSamples(const WaveformStore& store, int i)
{
    const std::span<const float> row = store.current.rows.Row(i);
    return row.first(static_cast<size_t>(std::clamp(store.TraceSamples(i), 0, static_cast<int>(row.size()))));
}

// Time of the first sample whose |value| lies within 0.000001 of `value`; without one, the
// sample nearest in |value| when `nearest`, else 0.
float AmplitudeTime(const WaveformStore& store, int i, float value, bool nearest)
{
    const std::span<const float> v = TraceSamples(store, i);
    const float dt = store.Params().sampleInterval;
    for (size_t j = 0; j < v.size(); ++j) {
        if (std::fabs(std::fabs(v[j]) - value) < 0.000001f) return static_cast<float>(j) * dt;
    }
    if (!nearest) return 0.0f;
    double best = 1000000.0;
    size_t at = 0;
    for (size_t j = 0; j < v.size(); ++j) {
        const double distance = std::fabs(std::fabs(static_cast<double>(v[j])) - value);
        if (distance < best) {
            best = distance;
            at = j;
        }
    }
    return static_cast<float>(at) * dt;
}

int RecordTraces(const Workspace& ws)
{
    const CParameterSet& p = ws.store.Params();
    return std::clamp(ws.store.TraceCount(), 0,
                      std::min(static_cast<int>(p.pickTimes.size()), static_cast<int>(p.layerCodes.size())));
}

}  // namespace

// ---------------------------------------------------------------------------------------------

FirstArrivalRead ReadFirstArrivalText(Workspace& ws, std::string_view text)
{
    EnsurePickVectors(ws);
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    DisplayState& d = ws.display;
    const int traces = RecordTraces(ws);
    FirstArrivalRead result;
    FreeFormScan in(text);
    for (int line = 0; line < kFirstArrivalMaxLines; ++line) {
        float x = 0.0f, t = 0.0f, v = 0.0f;
        if (!in.Float(x) || !in.Float(t) || !in.Float(v)) break;
        ++result.lines;
        if (d.amplitudeFlag == 0) {
            for (int i = 0; i < traces; ++i) {
                if (std::fabs(Receiver(store.current.headers[static_cast<size_t>(i)]) - x) < 0.01) {
                    p.pickTimes[static_cast<size_t>(i)] = t;
                    p.layerCodes[static_cast<size_t>(i)] = d.currentLayerCode;
                    d.thirdValues[static_cast<size_t>(i)] = v;
                }
            }
        } else if (line < traces) {
            const auto i = static_cast<size_t>(line);
            p.pickTimes[i] = t;
            p.layerCodes[i] = d.currentLayerCode;
            d.thirdValues[i] = v;
            d.amplitudePickTimes[i] = AmplitudeTime(store, line, t, false);
        }
    }
    // The end of the text inside a line ends the file like the end between lines.
    result.end = in.End() == TextReadEnd::BadValue ? TextReadEnd::BadValue : TextReadEnd::Complete;
    return result;
}

std::string WriteFirstArrivalText(const Workspace& ws)
{
    const WaveformStore& store = ws.store;
    const CParameterSet& p = store.Params();
    const DisplayState& d = ws.display;
    std::string out;
    const int traces = RecordTraces(ws);
    for (int i = 0; i < traces; ++i) {
        const auto u = static_cast<size_t>(i);
        const float pick = p.pickTimes[u];
        if (!(pick >= -0.001f)) continue;
        const double third = u < d.thirdValues.size() ? d.thirdValues[u] : 0.0;
        out += FormatC(pick >= 1.0f ? " %f %f %f \n" : " %f %e %f \n", Receiver(store.current.headers[u]),
                       static_cast<double>(pick), third);
    }
    return out;
}

// ---------------------------------------------------------------------------------------------

namespace {

// The picks of shot s (already in the set) onto the record's traces.
void ShotOntoTraces(Workspace& ws, const CTraveltimeSet& set, int s)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    DisplayState& d = ws.display;
    const int traces = RecordTraces(ws);
    for (int k = 0; k < set.pickCount[s]; ++k) {
        for (int i = 0; i < traces; ++i) {
            const auto u = static_cast<size_t>(i);
            if (!(std::fabs(set.X(s, k) - Receiver(store.current.headers[u])) < 0.0001)) continue;
            p.pickTimes[u] = set.T(s, k);
            p.layerCodes[u] = set.K(s, k);
            if (d.amplitudeFlag == 1) d.amplitudePickTimes[u] = AmplitudeTime(store, i, set.T(s, k), true);
        }
    }
}

TraveltimeTextOptions RostrelOptions(const DisplayState& d)
{
    TraveltimeTextOptions options;
    options.keepEmptyShots = true;
    options.headerAsWritten = true;
    options.timeFactor = d.secondsFlag == 1 ? 1000.0f : 1.0f;
    return options;
}

}  // namespace

RostrelRead CheckRostrelText(const Workspace& ws, std::string_view text)
{
    CTraveltimeSet scratch;
    return ParseTraveltimeText(scratch, text, RostrelOptions(ws.display));
}

RostrelRead ReadRostrelText(Workspace& ws, std::string_view text)
{
    EnsurePickVectors(ws);
    DisplayState& d = ws.display;
    // Phase-velocity curves (kind 20) go among the curves; they are put onto the record only when
    // it is a dispersion image.
    const bool curves = TraveltimeTextSetOf(text) == TraveltimeTextSet::PhaseVelocityCurves;
    CTraveltimeSet& set = curves ? ws.curveSet : ws.traveltimeSet;
    const bool onTraces = curves == (ws.store.Params().recordKind == kRecordDispersion);
    TraveltimeTextOptions options = RostrelOptions(d);
    options.onHeader = [&d](int kind) {
        if (kind < 10) {
            d.amplitudeFlag = 0;
        } else if (kind == 20) {
            d.amplitudeFlag = 0;
            d.phaseVelocityFileMode = 1;
        } else {
            d.amplitudeFlag = 1;
        }
    };
    options.onShot = [&ws, &d, &set, onTraces](int s) {
        if (onTraces && std::fabs(set.sourcePosition[s] - d.sourcePosition) < 0.0001f) ShotOntoTraces(ws, set, s);
    };
    return ParseTraveltimeText(set, text, options);
}

std::string BadValueMessage(int language)
{
    return Msg(language, "The file holds a value that is not a number; reading stopped there.",
               "数値でない値があるため、そこで読み込みを終了しました。");
}

std::string RostrelReadMessage(const RostrelRead& read, int language)
{
    if (!read.headerRead) {
        if (read.end == TextReadEnd::BadValue) return BadValueMessage(language);
        return Msg(language, "No Rostrel data was found in the file !", "ファイルにRostrelデータがありません !");
    }
    if (read.end == TextReadEnd::Complete) return Msg(language, "Rostrel file has been read !", "Rostrelファイルを読み込みました !");

    static constexpr const char* kWhereEn[] = {"the header", "the shots", "section A", "section B", "section C"};
    static constexpr const char* kWhereJa[] = {"ヘッダー", "ショット", "セクションA", "セクションB", "セクションC"};
    const auto where = static_cast<size_t>(read.where);
    std::string text;
    switch (read.end) {
    case TextReadEnd::BadValue:
        text = BadValueMessage(language);
        break;
    case TextReadEnd::EndOfFile:
        text = IsJapanese(language) ? FormatC("ファイルが%sの途中で終わっています。", kWhereJa[where])
                                    : FormatC("The file ended inside %s.", kWhereEn[where]);
        break;
    case TextReadEnd::TooLarge: {
        if (read.refusedCount < 0) {
            text = IsJapanese(language)
                       ? FormatC("%sの数 %lld は正しい数ではないため、そこから先は読み込みませんでした。", kWhereJa[where],
                                 read.refusedCount)
                       : FormatC("The count %lld in %s is not a valid count; it and what follows were not read.",
                                 read.refusedCount, kWhereEn[where]);
            break;
        }
        const char* capacity = read.where == RostrelSection::Shots
                                   ? (read.refusedShot < 0 ? "501 shots" : "1001 picks per shot")
                                   : (read.where == RostrelSection::SectionB ? "501 entries of 1001 points"
                                                                             : "1001 rows of 201 values");
        text = IsJapanese(language)
                   ? FormatC("%sの数 %lld は上限 (%s) を超えるため、そこから先は読み込みませんでした。", kWhereJa[where],
                             read.refusedCount, capacity)
                   : FormatC("The count %lld in %s is beyond the capacity (%s); it and what follows were not read.",
                             read.refusedCount, kWhereEn[where], capacity);
        break;
    }
    case TextReadEnd::Complete:
        break;
    }
    if (read.shotsStored < read.shotsDeclared) {
        text += "\n";
        text += IsJapanese(language) ? FormatC("Rostrelファイル: %d 個のショットのうち %d 個を読み込みました",
                                               read.shotsDeclared, read.shotsStored)
                                     : FormatC("Rostrel file: read %d of %d shots", read.shotsStored, read.shotsDeclared);
    }
    return text;
}

// ---------------------------------------------------------------------------------------------

ReferenceTimesRead ReadReferenceTimesText(Workspace& ws, std::string_view text)
{
    EnsurePickVectors(ws);
    const WaveformStore& store = ws.store;
    DisplayState& d = ws.display;
    const int traces = RecordTraces(ws);
    const float timeFactor = d.secondsFlag == 1 ? 1000.0f : 1.0f;
    ReferenceTimesRead result;
    FreeFormScan in(text);
    int32_t a = 0, b = 0, kind = 0, n = 0;
    float c = 0.0f, spacing = 0.0f;
    if (in.Int(a) && in.Int(b) && in.Float(c) && in.Int(kind) && in.Int(n) && in.Float(spacing)) {
        for (int s = 0; s < n; ++s) {
            float position = 0.0f, third = 0.0f;
            int32_t count = 0;
            if (!in.Float(position) || !in.Int(count) || !in.Float(third)) break;
            int k = 0;
            for (; k < count; ++k) {
                float x = 0.0f, t = 0.0f;
                int32_t code = 0;
                if (!in.Float(x) || !in.Float(t) || !in.Int(code)) break;
                for (int i = 0; i < traces; ++i) {
                    const CTraceHeader& h = store.current.headers[static_cast<size_t>(i)];
                    if (std::fabs(Receiver(h) - x) < 0.001 && std::fabs(Source(h) - position) < 0.001) {
                        d.referenceTimes[static_cast<size_t>(i)] = t * timeFactor;
                        ++result.picks;
                        break;
                    }
                }
            }
            if (k < count) break;
        }
    }
    result.end = in.End() == TextReadEnd::BadValue ? TextReadEnd::BadValue : TextReadEnd::Complete;
    return result;
}

}  // namespace velk
