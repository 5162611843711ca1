#pragma once
// ContourPalette: the drawing parameters that every colour image shares (dispersion and
// coherence images, records drawn as colour contours, velocity models): the colour levels,
// the colour and grey tables and the switches. One object for the whole program, in the
// Workspace.
//
// The plot mode and the contour-line flag are not copied here: they are the display state's
// plot mode and sub-flag (DisplayState::plotMode, DisplayState::plotSubFlag), which the
// drawing hands to the cell operations below.
//
// The cell operations work on one quadrilateral cell with a value at each corner. Each comes
// twice: as a pure function that computes the polygons, segments and colour entries, and as
// the drawing of that result on a Canvas (fills with a null pen and the alternate fill rule,
// contour lines with the pen the caller selected; pen and brush restored afterwards).

#include <array>
#include <cstdint>
#include <string>

#include "draw/canvas.h"

namespace velk {

inline constexpr int kContourTableSize = 37;  // entries of every colour table
inline constexpr int kMinContourLevels = 3;   // the automatic levels divide by n - 2
inline constexpr int kMaxContourLevels = 36;  // the tables hold n + 1 entries

using ContourTable = std::array<int32_t, kContourTableSize>;

struct ContourPalette {
    int levelCount = 20;                                    // n, 3..36 (see SetContourLevelCount)
    std::array<float, kContourTableSize> levels{};          // L[0..n], ascending
    int levelsFixed = 0;       // 0: the automatic levels are set before every drawing
    int reverseColours = -1;   // 1: the colour table is reversed after it is built
    int colourScheme = -1;     // -1 colour table, other values grey table
    int drawCellOutlines = 0;  // 1: every velocity-model cell is outlined
    int logLevels = 0;         // 1: automatic levels spaced logarithmically
    int useUserColours = 0;    // 1: the working tables are copied from the user tables
    // Working tables: entry k is the fill of band k (built by BuildColourTable).
    ContourTable colourR{}, colourG{}, colourB{};
    ContourTable greyR{}, greyG{}, greyB{};
    // Base tables the working tables are sampled from.
    ContourTable baseColourR, baseColourG, baseColourB;
    ContourTable baseGreyR, baseGreyG, baseGreyB;
    // User tables.
    ContourTable userR{}, userG{}, userB{};
    ContourTable userGreyR{}, userGreyG{}, userGreyB{};
    // A table of thirteen colours the palette carries (R, G, B); nothing draws with it yet.
    static constexpr std::array<std::array<int32_t, 3>, 13> kThirteenColours = {{{255, 0, 0},
                                                                                  {200, 200, 0},
                                                                                  {255, 255, 100},
                                                                                  {0, 100, 0},
                                                                                  {100, 0, 255},
                                                                                  {0, 200, 0},
                                                                                  {200, 100, 0},
                                                                                  {255, 255, 0},
                                                                                  {100, 100, 0},
                                                                                  {0, 255, 0},
                                                                                  {200, 200, 0},
                                                                                  {100, 0, 100},
                                                                                  {255, 255, 100}}};
    // The two lines of the legend's heading in Japanese mode.
    std::string legendTitle1 = "凡例";
    std::string legendTitle2 = "（色と値）";

    ContourPalette();
};

// n clamped to 3..36: every routine reads the count through this, whatever was stored.
int ContourLevelCount(const ContourPalette& palette);
// Sets n, clamped to 3..36.
void SetContourLevelCount(ContourPalette& palette, int n);

// Fills entries 0..n of the six working tables: from the user tables, or entry i from base
// entry trunc(i x 37 / n), at most 36.
void BuildColourTable(ContourPalette& palette);
// Reverses entries 0..n of the working tables (new i = old n - i); nothing with user colours.
void ReverseColourTable(ContourPalette& palette);

// The automatic levels over [lowerBound, 10]: L[i] for i = 1 .. n - 1 spaced linearly, or
// logarithmically when logLevels is 1 and lowerBound > 0 (otherwise linearly); L[n - 1]
// lowered by 0.001; L[0] = -10000 and L[n] = 100000.
void SetAutomaticLevels(ContourPalette& palette, float lowerBound);

// The fill of band k (clamped to 0..n) from the table in use.
Rgb BandColour(const ContourPalette& palette, int band);

// --- One cell ------------------------------------------------------------------------------

// Corners in order around the cell; edges 0-1, 1-2, 2-3, 3-0.
struct ContourQuad {
    std::array<LPoint, 4> p{};
    std::array<float, 4> v{};
};

struct ContourPolygon {
    std::array<LPoint, 8> points{};  // corners on a level may repeat a crossing
    int count = 0;
    int band = 0;  // colour entry
};

struct ContourSegment {
    LPoint a, b;
    int afterPolygon = -1;  // drawn after this polygon of the fill (-1: lines of their own)
};

// The pieces of one cell in painting order. At most one whole-cell fill plus one polygon and
// one segment per level.
struct ContourCellPieces {
    std::array<ContourPolygon, kContourTableSize + 1> polygons;
    int polygonCount = 0;
    std::array<ContourSegment, kContourTableSize> segments;
    int segmentCount = 0;
    void Clear() { polygonCount = segmentCount = 0; }
};

// Band fill (lowest level first). Result 1: a saddle (a level crosses all four edges), painted
// only up to there; 2: at least one level crosses the cell; 3: the cell lies in one band;
// 4: no band holds it (entry n - 1). With drawLines 1 each crossing level adds its segment.
int ComputeContourQuad(const ContourPalette& palette, const ContourQuad& cell, int drawLines, ContourCellPieces& out);
// The band of one value: 0 below L[1], else trunc((value - L[1]) / (L[2] - L[1])) + 1, at most
// n - 1 (the levels taken as evenly spaced).
int ContourCellBand(const ContourPalette& palette, float value);
// The contour segments crossing the cell; 1 for a saddle (stopped there), else 0.
int ComputeContourQuadLines(const ContourPalette& palette, const ContourQuad& cell, ContourCellPieces& out);
// The four parts of a split cell: (c0, m01, C, m30), (m01, c1, m12, C), (C, m12, c2, m23),
// (m30, C, m23, c3), with edge midpoints and the centre.
std::array<ContourQuad, 4> SplitContourQuad(const ContourQuad& cell);

// The same drawn on a canvas. FillContourCell paints the band of `value` and returns 3.
int FillContourQuad(const ContourPalette& palette, Canvas& canvas, const ContourQuad& cell, int drawLines);
int FillContourCell(const ContourPalette& palette, Canvas& canvas, const ContourQuad& cell, float value);
int DrawContourQuadLines(const ContourPalette& palette, Canvas& canvas, const ContourQuad& cell);
// Each part of the split cell through the plain operation, once.
int FillContourQuadSplit(const ContourPalette& palette, Canvas& canvas, const ContourQuad& cell, int drawLines);
int DrawContourQuadSplit(const ContourPalette& palette, Canvas& canvas, const ContourQuad& cell);

// Draws computed pieces: polygons filled with a null pen and the alternate rule, segments with
// the caller's pen in their place.
void DrawContourPieces(const ContourPalette& palette, Canvas& canvas, const ContourCellPieces& pieces);

}  // namespace velk
