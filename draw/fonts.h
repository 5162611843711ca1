#pragma once
// The fonts of the record drawing, in one table. Sizes are font heights in logical units
// (30 is 3.0 mm) and weights are numeric (100..900 scale; 400 normal), as the drawing has always
// named them; a text without a size of its own is 35 units high. The Japanese face is IPAGothic;
// the gather title's serif face is found by name through the system's font matching.

#include "draw/canvas.h"

namespace velk {

inline constexpr const char* kJapaneseFace = "IPAGothic";
inline constexpr const char* kSerifFace = "Times New Roman";
inline constexpr int kDefaultTextHeight = 35;

enum class FontUse {
    AxisLabel,         // tick labels, "No waveform data"
    AxisLabelMonitor,  // tick labels while the acquisition monitor runs
    AxisTitle,         // axis titles read left to right
    AxisTitleRotated,  // axis titles along a vertical axis, reading bottom to top
    RecordTitle,       // the file name below the record
    ComponentName,     // "NS", "EW", "UD" left of a trace
    PeakLabel,         // a trace's peak amplitude
    StationLabel,      // a strong-motion station's names
    GatherTitle,       // " Source=..." above the record
    Status,            // the edit-mode status lines, the trigger word, captions
};

Font FontFor(FontUse use, bool japanese);

}  // namespace velk
