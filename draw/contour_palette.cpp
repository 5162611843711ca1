#include "draw/contour_palette.h"

#include <algorithm>
#include <cmath>

namespace velk {
namespace {

// Low values magenta and red, through yellow and green, to blue.
constexpr ContourTable kBaseR = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                                 255, 240, 220, 200, 180, 160, 140, 120, 100, 75,  50,  25,  0,
                                 0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0};
constexpr ContourTable kBaseG = {0,   0,   0,   0,   0,   0,   35,  70,  105, 135, 165, 195, 225,
                                 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                                 225, 200, 170, 150, 125, 100, 75,  50,  25,  0,   0};
constexpr ContourTable kBaseB = {255, 200, 150, 100, 50,  0,   0,   0,   0,   0,   0,   0,   0,
                                 0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
                                 25,  50,  75,  100, 125, 150, 175, 200, 225, 255, 255};

ContourTable BaseGrey()
{
    ContourTable t{};
    int k = 0;
    for (int v : {0, 7, 14, 21, 28, 35}) t[static_cast<size_t>(k++)] = v;
    for (int j = 0; j < 12; ++j) t[static_cast<size_t>(k++)] = 43 + 7 * j;
    for (int j = 0; j < 12; ++j) t[static_cast<size_t>(k++)] = 128 + 7 * j;
    for (int j = 0; j < 7; ++j) t[static_cast<size_t>(k++)] = 213 + 7 * j;
    return t;
}

size_t U(int i) { return static_cast<size_t>(i); }

// Where level L crosses the edge a-b: crossed when min <= L < max; the point truncated toward
// zero.
bool Crossing(const ContourQuad& c, int a, int b, float level, LPoint& at)
{
    const float va = c.v[U(a)], vb = c.v[U(b)];
    if (!(std::min(va, vb) <= level && level < std::max(va, vb))) return false;
    const double t = (static_cast<double>(level) - va) / (static_cast<double>(vb) - va);
    if (!std::isfinite(t)) return false;
    const LPoint pa = c.p[U(a)], pb = c.p[U(b)];
    at.x = static_cast<int32_t>(pa.x + t * (static_cast<double>(pb.x) - pa.x));
    at.y = static_cast<int32_t>(pa.y + t * (static_cast<double>(pb.y) - pa.y));
    return true;
}

bool AnyNaN(const ContourQuad& c)
{
    return std::any_of(c.v.begin(), c.v.end(), [](float v) { return std::isnan(v); });
}

void WholeCell(const ContourQuad& c, int band, ContourCellPieces& out)
{
    ContourPolygon& poly = out.polygons[U(out.polygonCount++)];
    std::copy(c.p.begin(), c.p.end(), poly.points.begin());
    poly.count = 4;
    poly.band = band;
}

// The crossings of one level: their count, and the part of the cell at or above it walked
// around the corners.
struct LevelCut {
    int crossed = 0;
    LPoint cross[4];
    ContourPolygon above;
};

void CutLevel(const ContourQuad& c, float level, LevelCut& cut)
{
    cut.crossed = 0;
    cut.above.count = 0;
    for (int k = 0; k < 4; ++k) {
        if (c.v[U(k)] >= level && cut.above.count < 8) cut.above.points[U(cut.above.count++)] = c.p[U(k)];
        LPoint at;
        if (Crossing(c, k, (k + 1) % 4, level, at)) {
            cut.cross[cut.crossed++] = at;
            if (cut.above.count < 8) cut.above.points[U(cut.above.count++)] = at;
        }
    }
}

}  // namespace

ContourPalette::ContourPalette()
    : baseColourR(kBaseR), baseColourG(kBaseG), baseColourB(kBaseB), baseGreyR(BaseGrey()), baseGreyG(BaseGrey()),
      baseGreyB(BaseGrey())
{
}

int ContourLevelCount(const ContourPalette& palette)
{
    return std::clamp(palette.levelCount, kMinContourLevels, kMaxContourLevels);
}

void SetContourLevelCount(ContourPalette& palette, int n)
{
    palette.levelCount = std::clamp(n, kMinContourLevels, kMaxContourLevels);
}

void BuildColourTable(ContourPalette& p)
{
    const int n = ContourLevelCount(p);
    for (int i = 0; i <= n; ++i) {
        const size_t e = U(i);
        if (p.useUserColours != 0) {
            p.colourR[e] = p.userR[e];
            p.colourG[e] = p.userG[e];
            p.colourB[e] = p.userB[e];
            p.greyR[e] = p.userGreyR[e];
            p.greyG[e] = p.userGreyG[e];
            p.greyB[e] = p.userGreyB[e];
            continue;
        }
        const size_t k = U(std::min(i * kContourTableSize / n, kContourTableSize - 1));
        p.colourR[e] = p.baseColourR[k];
        p.colourG[e] = p.baseColourG[k];
        p.colourB[e] = p.baseColourB[k];
        p.greyR[e] = p.baseGreyR[k];
        p.greyG[e] = p.baseGreyG[k];
        p.greyB[e] = p.baseGreyB[k];
    }
}

void ReverseColourTable(ContourPalette& p)
{
    if (p.useUserColours != 0) return;
    const int n = ContourLevelCount(p);
    for (ContourTable* t : {&p.colourR, &p.colourG, &p.colourB, &p.greyR, &p.greyG, &p.greyB}) {
        std::reverse(t->begin(), t->begin() + n + 1);
    }
}

void SetAutomaticLevels(ContourPalette& p, float lowerBound)
{
    const int n = ContourLevelCount(p);
    const double lo = lowerBound;
    const bool logarithmic = p.logLevels == 1 && lo > 0.0;
    for (int i = 1; i <= n - 1; ++i) {
        double level;
        if (logarithmic) {
            const double e = (1.0 - std::log10(lo)) / (n - 2);
            level = std::pow(10.0, (i - 1) * e + std::log10(lo));
        } else {
            level = lo + (10.0 - lo) / (n - 2) * (i - 0.5);
        }
        p.levels[U(i)] = static_cast<float>(level);
    }
    p.levels[U(n - 1)] -= 0.001f;
    p.levels[0] = -10000.0f;
    p.levels[U(n)] = 100000.0f;
}

Rgb BandColour(const ContourPalette& p, int band)
{
    const size_t k = U(std::clamp(band, 0, ContourLevelCount(p)));
    auto c = [](int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
    if (p.colourScheme == -1) return {c(p.colourR[k]), c(p.colourG[k]), c(p.colourB[k])};
    return {c(p.greyR[k]), c(p.greyG[k]), c(p.greyB[k])};
}

// ---------------------------------------------------------------------------------------------

int ComputeContourQuad(const ContourPalette& palette, const ContourQuad& c, int drawLines, ContourCellPieces& out)
{
    out.Clear();
    const int n = ContourLevelCount(palette);
    if (AnyNaN(c)) {
        WholeCell(c, n - 1, out);
        return 4;
    }
    const float vmin = *std::min_element(c.v.begin(), c.v.end());
    const float vmax = *std::max_element(c.v.begin(), c.v.end());
    bool first = true;
    LevelCut cut;
    for (int i = 0; i <= n - 1; ++i) {
        const float level = palette.levels[U(i)];
        if (!(vmin <= level && level < vmax)) continue;
        if (first) {
            WholeCell(c, std::max(i - 1, 0), out);
            first = false;
        }
        CutLevel(c, level, cut);
        if (cut.crossed == 4) return 1;
        if (cut.crossed != 2) continue;
        cut.above.band = i;
        out.polygons[U(out.polygonCount++)] = cut.above;
        if (drawLines == 1) out.segments[U(out.segmentCount++)] = {cut.cross[0], cut.cross[1], out.polygonCount - 1};
    }
    if (!first) return 2;
    // No level inside the cell: the band that holds it. Equal corners on a level belong to the
    // band above it, as every value on a level does.
    for (int k = 1; k <= n; ++k) {
        const float below = palette.levels[U(k - 1)], above = palette.levels[U(k)];
        if (below <= vmin && (vmax < above || (vmax == above && vmin < vmax))) {
            WholeCell(c, k - 1, out);
            return 3;
        }
    }
    WholeCell(c, n - 1, out);
    return 4;
}

int ContourCellBand(const ContourPalette& palette, float value)
{
    const int n = ContourLevelCount(palette);
    const double l1 = palette.levels[1], step = static_cast<double>(palette.levels[2]) - l1;
    if (std::isnan(value) || value < l1) return 0;
    const double k = step > 0.0 ? std::trunc((value - l1) / step) + 1.0 : n - 1.0;
    return k >= n - 1 ? n - 1 : static_cast<int>(k);
}

int ComputeContourQuadLines(const ContourPalette& palette, const ContourQuad& c, ContourCellPieces& out)
{
    out.Clear();
    if (AnyNaN(c)) return 0;
    const int n = ContourLevelCount(palette);
    const float vmin = *std::min_element(c.v.begin(), c.v.end());
    const float vmax = *std::max_element(c.v.begin(), c.v.end());
    LevelCut cut;
    for (int i = 0; i <= n; ++i) {
        const float level = palette.levels[U(i)];
        if (!(vmin <= level && level < vmax)) continue;
        CutLevel(c, level, cut);
        if (cut.crossed == 4) return 1;
        if (cut.crossed == 2) out.segments[U(out.segmentCount++)] = {cut.cross[0], cut.cross[1], -1};
    }
    return 0;
}

std::array<ContourQuad, 4> SplitContourQuad(const ContourQuad& c)
{
    auto mid = [](LPoint a, LPoint b) {
        return LPoint{static_cast<int32_t>((static_cast<double>(a.x) + b.x) * 0.5),
                      static_cast<int32_t>((static_cast<double>(a.y) + b.y) * 0.5)};
    };
    const LPoint m01 = mid(c.p[0], c.p[1]), m12 = mid(c.p[1], c.p[2]), m23 = mid(c.p[2], c.p[3]),
                 m30 = mid(c.p[3], c.p[0]);
    const float v01 = (c.v[0] + c.v[1]) * 0.5f, v12 = (c.v[1] + c.v[2]) * 0.5f, v23 = (c.v[2] + c.v[3]) * 0.5f,
                v30 = (c.v[3] + c.v[0]) * 0.5f;
    double sx = 0.0, sy = 0.0;
    for (const LPoint& q : c.p) {
        sx += q.x;
        sy += q.y;
    }
    const LPoint centre{static_cast<int32_t>(sx * 0.25), static_cast<int32_t>(sy * 0.25)};
    const float vc = (c.v[0] + c.v[1] + c.v[2] + c.v[3]) * 0.25f;
    return {ContourQuad{{c.p[0], m01, centre, m30}, {c.v[0], v01, vc, v30}},
            ContourQuad{{m01, c.p[1], m12, centre}, {v01, c.v[1], v12, vc}},
            ContourQuad{{centre, m12, c.p[2], m23}, {vc, v12, c.v[2], v23}},
            ContourQuad{{m30, centre, m23, c.p[3]}, {v30, vc, v23, c.v[3]}}};
}

// ---------------------------------------------------------------------------------------------

void DrawContourPieces(const ContourPalette& palette, Canvas& canvas, const ContourCellPieces& pieces)
{
    const Pen callerPen = canvas.CurrentPen();
    ScopedPen restorePen(canvas, callerPen);
    ScopedBrush restoreBrush(canvas, canvas.CurrentBrush());
    int s = 0;
    // Lines of their own (no polygons): all with the caller's pen.
    if (pieces.polygonCount == 0) {
        for (; s < pieces.segmentCount; ++s) {
            const ContourSegment& seg = pieces.segments[U(s)];
            canvas.MoveTo(seg.a);
            canvas.LineTo(seg.b);
        }
        return;
    }
    const Pen null{PenStyle::Null, 0, {}};
    canvas.SetPen(null);
    for (int i = 0; i < pieces.polygonCount; ++i) {
        const ContourPolygon& poly = pieces.polygons[U(i)];
        canvas.SetBrush(Brush{BandColour(palette, poly.band), false});
        canvas.Polygon(std::span<const LPoint>(poly.points.data(), U(poly.count)), FillMode::Alternate);
        bool penSwapped = false;
        for (; s < pieces.segmentCount && pieces.segments[U(s)].afterPolygon == i; ++s) {
            if (!penSwapped) canvas.SetPen(callerPen);
            penSwapped = true;
            canvas.MoveTo(pieces.segments[U(s)].a);
            canvas.LineTo(pieces.segments[U(s)].b);
        }
        if (penSwapped) canvas.SetPen(null);
    }
}

int FillContourQuad(const ContourPalette& palette, Canvas& canvas, const ContourQuad& cell, int drawLines)
{
    ContourCellPieces pieces;
    const int result = ComputeContourQuad(palette, cell, drawLines, pieces);
    DrawContourPieces(palette, canvas, pieces);
    return result;
}

int FillContourCell(const ContourPalette& palette, Canvas& canvas, const ContourQuad& cell, float value)
{
    ScopedPen pen(canvas, Pen{PenStyle::Null, 0, {}});
    ScopedBrush brush(canvas, Brush{BandColour(palette, ContourCellBand(palette, value)), false});
    canvas.Polygon(cell.p, FillMode::Alternate);
    return 3;
}

int DrawContourQuadLines(const ContourPalette& palette, Canvas& canvas, const ContourQuad& cell)
{
    ContourCellPieces pieces;
    const int result = ComputeContourQuadLines(palette, cell, pieces);
    DrawContourPieces(palette, canvas, pieces);
    return result;
}

int FillContourQuadSplit(const ContourPalette& palette, Canvas& canvas, const ContourQuad& cell, int drawLines)
{
    for (const ContourQuad& part : SplitContourQuad(cell)) FillContourQuad(palette, canvas, part, drawLines);
    return 2;
}

int DrawContourQuadSplit(const ContourPalette& palette, Canvas& canvas, const ContourQuad& cell)
{
    for (const ContourQuad& part : SplitContourQuad(cell)) DrawContourQuadLines(palette, canvas, part);
    return 0;
}

}  // namespace velk
