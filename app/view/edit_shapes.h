#pragma once
// Figures the mouse leaves on the record and the overlay draws: the stored velocity lines and
// the two lines of the mouse mute. Plain data of the view; the input controller writes them,
// the pick overlay reads them.

#include <vector>

namespace velk {

// One velocity line: two (time ms, distance m) end points, times raw (as the cursor gave them).
struct VelocityLine {
    float startTime = 0.0f;
    float startDistance = 0.0f;
    float endTime = 0.0f;
    float endDistance = 0.0f;
};

// Lines kept by the right button, at most MAXTRACES of them.
struct VelocityLineStore {
    std::vector<VelocityLine> lines;

    // Appends and returns true, or returns false (nothing stored) when capacity lines (the
    // store's trace capacity) are already kept.
    bool Append(const VelocityLine& line, int capacity)
    {
        if (static_cast<int>(lines.size()) >= capacity) return false;
        lines.push_back(line);
        return true;
    }
    void Clear() { lines.clear(); }
    int Count() const { return static_cast<int>(lines.size()); }
};

// Edit mode 9. state: 0 wait for line 1, 1 drawing line 1, 2 wait for line 2, 3 drawing
// line 2, 4 both drawn; it is also the number of mute points set. Line k gives the time
// t = distance / slope + intercept (slope in m per ms, intercept in ms).
struct MuteLines {
    int state = 0;
    float startTime = 0.0f;      // raw start of the line being drawn, ms
    float startDistance = 0.0f;  // m
    float intercept1 = 0.0f;     // T1, ms: the left line
    float intercept2 = 0.0f;     // T2, ms: the right line
    float slope1 = 0.0f;         // s1, m per ms
    float slope2 = 0.0f;         // s2, m per ms
};

}  // namespace velk
