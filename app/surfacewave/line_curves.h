#pragma once
// Phase-velocity curves of a survey line as shots of the traveltime set: per curve its source
// or CMP position, per point the frequency (X, Hz), the phase velocity (T, m/s), the code (K)
// and the image amplitude (F); written as version-2000 traveltime text files of kind 20.

#include <cstdint>
#include <string>
#include <vector>

namespace velk {

class CTraveltimeSet;
class UiHost;
class Workspace;

struct LineCurvePoint {
    float x = 0.0f;  // Hz
    float t = 0.0f;  // m/s
    int32_t k = 1;
    float f = 0.0f;
};

struct LineCurve {
    float position = 0.0f;  // m
    float third = 0.0f;     // the third value of the shot line (the spread, or 0)
    std::vector<LineCurvePoint> points;
};

// The curves replace the set's shots (at most its 501 shots of 1001 points); kind 20, has-data.
void PutLineCurves(CTraveltimeSet& set, const std::vector<LineCurve>& curves);

// When a line has more sources than the curves hold (501), says how many of its `sources` were
// not analysed; nothing otherwise.
void TellSourcesLeftOut(UiHost& ui, int language, int sources);

// When `withoutCurve` of the `analysed` CMPs (or sources) gave no point, says how many; nothing
// otherwise.
void TellCurvesMissing(UiHost& ui, int language, int withoutCurve, int analysed, bool cmps);
// Shots that share a source position (a repeated shot, a roll-along) each keep their own curve
// in the set, one after the other at that position: names the files of each such position.
// names[k] is the file of curves[k]; curves without a point are not counted.
void TellSharedPositions(UiHost& ui, int language, const std::vector<LineCurve>& curves,
                         const std::vector<std::string>& names);

// The set as a phase-velocity file `name` in the result folder (on the acquisition screen
// beside the line's records), through an atomic file; a failure is reported. Returns the path
// written, empty when not.
std::string WriteLineCurves(Workspace& ws, UiHost& ui, const std::string& name);
// The same into `folder` (the result folder when it is empty).
std::string WriteLineCurvesInto(Workspace& ws, UiHost& ui, const std::string& folder, const std::string& name);

// Each shot's F values divided by the shot's largest F (a largest F not above 0 leaves it).
void NormalizeEachCurveAmplitude(CTraveltimeSet& set);

}  // namespace velk
