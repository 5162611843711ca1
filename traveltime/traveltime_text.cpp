#include "traveltime/traveltime_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>

#include "platform/byte_io.h"
#include "platform/numtext.h"
#include "traveltime/traveltime_set.h"

namespace velk {

namespace {

double D(float v) { return static_cast<double>(v); }

bool CountFits(int32_t count, int limit) { return count >= 0 && count <= limit; }

}  // namespace

int DeclaredTraveltimeKind(std::string_view text)
{
    FreeFormScan in(text);
    int32_t first = 0, second = 0, kind = 0;
    float third = 0.0f;
    if (!in.Int(first) || !in.Int(second) || !in.Float(third)) return -1;
    if (first < 1000) return first;  // the old form: line 1 is the kind
    return in.Int(kind) ? kind : -1;
}

TraveltimeTextSet TraveltimeTextSetOf(std::string_view text)
{
    const int kind = DeclaredTraveltimeKind(text);
    if (kind < 0) return TraveltimeTextSet::None;
    return kind == kPhaseVelocityCurveKind ? TraveltimeTextSet::PhaseVelocityCurves : TraveltimeTextSet::FirstArrivals;
}

TraveltimeTextSet TraveltimeFileSetOf(const std::string& path)
{
    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) return TraveltimeTextSet::None;
    const std::span<const uint8_t> bytes = file.Peek(static_cast<size_t>(file.Size()));
    return TraveltimeTextSetOf(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

TraveltimeTextRead ParseTraveltimeText(CTraveltimeSet& set, std::string_view text, const TraveltimeTextOptions& options)
{
    using S = CTraveltimeSet;
    TraveltimeTextRead r;
    FreeFormScan in(text);
    const auto stop = [&](RostrelSection where) {
        r.end = in.End();
        r.where = where;
        return r;
    };
    const auto refuse = [&](RostrelSection where, long long count, int shot) {
        r.end = TextReadEnd::TooLarge;
        r.where = where;
        r.refusedCount = count;
        r.refusedShot = shot;
        return r;
    };

    // Header.
    int32_t a = 0, b = 0, kind = 0, n = 0;
    float c = 0.0f, spacing = 0.0f;
    if (!in.Int(a) || !in.Int(b) || !in.Float(c)) return stop(RostrelSection::Header);
    const bool versioned = a >= 1000;
    int level = 7;
    if (!versioned) {
        kind = a;
        n = b;
        spacing = c;
    } else {
        level = std::max(b, 7);
        if (!in.Int(kind) || !in.Int(n) || !in.Float(spacing)) return stop(RostrelSection::Header);
    }
    r.headerRead = true;
    r.version = a;
    r.shotsDeclared = n;
    if (options.headerAsWritten) {
        set.kindWritten = kind;
        set.spacingWritten = spacing;
    } else {
        set.kindRead = kind;
        set.spacingRead = spacing < 0.1f ? 0.1f : spacing;
    }
    set.formatLevel = level;
    set.shotCount = 0;
    set.rowsA = set.colsA = set.colsC = set.rowsC = set.entriesB = 0;
    set.hasData = 1;
    if (options.onHeader) options.onHeader(kind);
    if (n < 0) return refuse(RostrelSection::Shots, n, -1);

    // Shots.
    const bool withF = a >= kTraveltimePhaseVelocityVersion;
    const bool withW = kind == 3;
    const int shots = std::min(n, S::kMaxShots);
    int stored = 0;
    for (int s = 0; s < shots; ++s) {
        float position = 0.0f, third = 0.0f;
        int32_t count = 0;
        if (!in.Float(position) || !in.Int(count) || !in.Float(third)) return stop(RostrelSection::Shots);
        if (!CountFits(count, S::kMaxPicks)) return refuse(RostrelSection::Shots, count, s);
        for (int k = 0; k < count; ++k) {
            float x = 0.0f, t = 0.0f, w = 0.0f, f = 1.0f;
            int32_t code = 0;
            if (!in.Float(x) || !in.Float(t) || !in.Int(code)) return stop(RostrelSection::Shots);
            if (withW && !in.Float(w)) return stop(RostrelSection::Shots);
            if (withF && !in.Float(f)) return stop(RostrelSection::Shots);
            const float time = t * options.timeFactor;
            if (!std::isfinite(time)) {  // seconds beyond the float range
                r.end = TextReadEnd::BadValue;
                r.where = RostrelSection::Shots;
                return r;
            }
            set.X(stored, k) = x;
            set.T(stored, k) = time;
            set.K(stored, k) = code;
            set.F(stored, k) = f;
            if (withW) set.W(stored, k) = w;
        }
        if (count == 0 && !options.keepEmptyShots) continue;
        // The shot is stored once it is complete.
        set.sourcePosition[stored] = position;
        set.pickCount[stored] = count;
        set.thirdValue[stored] = third;
        set.shotCount = r.shotsStored = ++stored;
        if (options.onShot) options.onShot(stored - 1);
    }
    if (n > S::kMaxShots) return refuse(RostrelSection::Shots, n, -1);

    S::Sections& sec = set.sections();

    // Section A.
    if (in.AtEnd()) return r;
    int32_t rows = 0, cols = 0;
    if (!in.Int(rows) || !in.Int(cols)) return stop(RostrelSection::SectionA);
    if (!CountFits(rows, S::kMaxSectionRows)) return refuse(RostrelSection::SectionA, rows, -1);
    if (!CountFits(cols, S::kMaxSectionCols)) return refuse(RostrelSection::SectionA, cols, -1);
    set.colsA = cols;
    for (int row = 0; row < rows; ++row) {
        if (versioned) {
            for (int col = 0; col < cols; ++col) {
                if (!in.Float(sec.aLine1[row][col])) return stop(RostrelSection::SectionA);
            }
            if (cols > 0) sec.aFirst[row] = sec.aLine1[row][0];
        } else {
            if (!in.Float(sec.aFirst[row])) return stop(RostrelSection::SectionA);
            std::fill_n(sec.aLine1[row], cols, sec.aFirst[row]);
        }
        for (int col = 0; col < cols; ++col) {
            if (!in.Float(sec.aLine2[row][col])) return stop(RostrelSection::SectionA);
        }
        set.rowsA = row + 1;
    }

    // Section B.
    if (in.AtEnd()) return r;
    int32_t entries = 0;
    if (!in.Int(entries)) return stop(RostrelSection::SectionB);
    if (!CountFits(entries, S::kMaxSectionBEntries)) return refuse(RostrelSection::SectionB, entries, -1);
    for (int e = 0; e < entries; ++e) {
        int32_t points = 0;
        float v1 = 0.0f, v2 = 0.0f, v3 = 0.0f;
        if (!in.Int(points) || !in.Float(v1) || !in.Float(v2) || !in.Float(v3)) return stop(RostrelSection::SectionB);
        if (!CountFits(points, S::kMaxSectionBPoints)) return refuse(RostrelSection::SectionB, points, -1);
        for (int q = 0; q < points; ++q) {
            if (!in.Float(sec.bFirst[e][q]) || !in.Float(sec.bSecond[e][q])) return stop(RostrelSection::SectionB);
        }
        sec.bCount[e] = points;
        sec.bValue1[e] = v1;
        sec.bValue2[e] = v2;
        sec.bValue3[e] = v3;
        set.entriesB = e + 1;
    }

    // Section C.
    if (in.AtEnd()) return r;
    if (!in.Int(rows) || !in.Int(cols)) return stop(RostrelSection::SectionC);
    if (!CountFits(rows, S::kMaxSectionRows)) return refuse(RostrelSection::SectionC, rows, -1);
    if (!CountFits(cols, S::kMaxSectionCols)) return refuse(RostrelSection::SectionC, cols, -1);
    set.colsC = cols;
    for (int row = 0; row < rows; ++row) {
        if (!in.Float(sec.cHeader1[row])) return stop(RostrelSection::SectionC);
        if (level >= 9 && !in.Float(sec.cHeader2[row])) return stop(RostrelSection::SectionC);
        for (int col = 0; col + 1 < cols; ++col) {
            if (!in.Float(sec.cLine1[row][col])) return stop(RostrelSection::SectionC);
        }
        for (int col = 0; col < cols; ++col) {
            if (!in.Float(sec.cLine2[row][col])) return stop(RostrelSection::SectionC);
        }
        set.rowsC = row + 1;
    }
    return r;
}

TraveltimeTextRead ReadTraveltimeSetText(CTraveltimeSet& set, std::string_view text)
{
    return ParseTraveltimeText(set, text, TraveltimeTextOptions{});
}

int ReadTraveltimeText(CTraveltimeSet& set, const std::string& path)
{
    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) return 0;
    const std::span<const uint8_t> bytes = file.Peek(static_cast<size_t>(file.Size()));
    ReadTraveltimeSetText(set, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return set.shotCount;
}


void WriteTraveltimeText(CTraveltimeSet& set, std::string& out, int secondsFlag, int phaseVelocityMode)
{
    using S = CTraveltimeSet;
    const int version = phaseVelocityMode == 1 ? kTraveltimePhaseVelocityVersion : kTraveltimeVersion;
    if (phaseVelocityMode == 1) set.kindWritten = 20;
    out += FormatC("%d %d %f\n", version, set.formatLevel, 3.0);

    if (set.spacingWritten < 0.01f && set.shotCount > 0 && set.pickCount[0] >= 2) {
        const float spacing = set.X(0, 1) - set.X(0, 0);
        if (std::isfinite(spacing)) set.spacingWritten = spacing;
    }
    const int shots = std::clamp(set.shotCount, 0, S::kMaxShots);
    out += FormatC("%d %d %f\n", set.kindWritten, shots, D(set.spacingWritten));

    const float timeFactor = secondsFlag == 1 ? 0.001f : 1.0f;
    for (int s = 0; s < shots; ++s) {
        const int picks = std::clamp(set.pickCount[s], 0, S::kMaxPicks);
        out += FormatC("%f %d %f\n", D(set.sourcePosition[s]), picks, D(set.thirdValue[s]));
        for (int p = 0; p < picks; ++p) {
            const double t = D(set.T(s, p) * timeFactor);
            if (version == kTraveltimeVersion && set.kindWritten == 3) {
                out += FormatC("%f %f %d %f \n", D(set.X(s, p)), t, set.K(s, p), D(set.W(s, p)));
            } else if (version == kTraveltimeVersion) {
                out += FormatC("%f %f %d \n", D(set.X(s, p)), t, set.K(s, p));
            } else {
                out += FormatC("%f %f %d %f\n", D(set.X(s, p)), t, set.K(s, p), D(set.F(s, p)));
            }
        }
    }

    const S::Sections& sec = set.sections();
    const int rowsA = std::clamp(set.rowsA, 0, S::kMaxSectionRows);
    const int colsA = std::clamp(set.colsA, 0, S::kMaxSectionCols);
    out += FormatC("%d %d \n", rowsA, colsA);
    for (int r = 0; r < rowsA; ++r) {
        for (int c = 0; c < colsA; ++c) out += FormatC(" %f ", D(sec.aLine1[r][c]));
        out += " \n";
        for (int c = 0; c < colsA; ++c) out += FormatC(" %f ", D(sec.aLine2[r][c]));
        out += " \n";
    }

    const int entriesB = std::clamp(set.entriesB, 0, S::kMaxSectionBEntries);
    out += FormatC(" %d \n", entriesB);
    for (int e = 0; e < entriesB; ++e) {
        const int points = std::clamp(sec.bCount[e], 0, S::kMaxSectionBPoints);
        out += FormatC(" %d %f %f %f \n", points, D(sec.bValue1[e]), D(sec.bValue2[e]), D(sec.bValue3[e]));
        for (int p = 0; p < points; ++p) out += FormatC(" %f %f \n", D(sec.bFirst[e][p]), D(sec.bSecond[e][p]));
    }

    const int rowsC = std::clamp(set.rowsC, 0, S::kMaxSectionRows);
    const int colsC = std::clamp(set.colsC, 0, S::kMaxSectionCols);
    out += FormatC(" %d %d \n", rowsC, colsC);
    for (int r = 0; r < rowsC; ++r) {
        if (set.formatLevel >= 9) {
            out += FormatC(" %f %f\n", D(sec.cHeader1[r]), D(sec.cHeader2[r]));
        } else {
            out += FormatC(" %f \n", D(sec.cHeader1[r]));
        }
        for (int c = 0; c + 1 < colsC; ++c) out += FormatC(" %f ", D(sec.cLine1[r][c]));
        out += " \n";
        for (int c = 0; c < colsC; ++c) out += FormatC(" %f ", D(sec.cLine2[r][c]));
        out += " \n";
    }
}

}  // namespace velk
