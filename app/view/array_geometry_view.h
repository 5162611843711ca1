#pragma once
// The microtremor array as the geometry view draws it (display mode 4): what the array's owner
// hands to the view, and the view's array flag. Until the array commands exist nothing fills
// it, and the view shows no array.

#include <vector>

namespace velk {

struct ArrayGeometryView {
    struct Point {
        float x = 0.0f;  // m
        float y = 0.0f;  // m
        int used = 1;    // 0: the array marks the point unused (it gets no number)
    };
    int shown = 0;        // the view's array flag: 1 = the view shows the array geometry
    int firstNumber = 1;  // the number of the first used point
    std::vector<Point> points;
};

}  // namespace velk
