#pragma once
// A frame's rectangle on the screen, and keeping it on the display: what both programs do with
// the placement they remember.

namespace velk {

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenRect&) const = default;
};

inline constexpr int kMinFrameWidth = 320;
inline constexpr int kMinFrameHeight = 240;

// Keeps a rectangle on the display: at least the minimum size, at most the work area, moved
// inside it. An empty work area (unknown display) changes only the size minimum.
ScreenRect ClampToWorkArea(ScreenRect rect, const ScreenRect& workArea);

}  // namespace velk
