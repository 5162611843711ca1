#pragma once
// The viewer's settings file "nordalis_profile.txt" in the working folder: the frame's left,
// top, width and height (" %d \n") and the y and x scales (" %f \n"), one a line. Read at start;
// written whole at exit, atomically, so a viewer that is killed leaves the previous file.

#include <string>

namespace velk::nordalis {

constexpr const char* kSettingsFile = "nordalis_profile.txt";
constexpr const char* kFrameEchoFile = "test.txt";

struct ViewerSettings {
    bool hasPlacement = false;  // false: the file is missing and the platform places the frame
    int left = 100;
    int top = 100;
    int width = 400;
    int height = 300;
    float yScale = 1.0f;
    float xScale = 1.0f;
};

// A missing file gives no placement and scales 1.0; a value that is missing or does not parse
// takes its default (100, 100, 400, 300, 1.0, 1.0); a width or height of 0 or less its default
// too, and a scale that is not above 0 or not finite 1.0. Parsed in the C locale.
ViewerSettings ParseViewerSettings(const std::string& text);
ViewerSettings ReadViewerSettings(const std::string& path);
std::string FormatViewerSettings(const ViewerSettings& settings);
bool WriteViewerSettings(const std::string& path, const ViewerSettings& settings, std::string* error = nullptr);

// The four frame values echoed into "test.txt" at frame creation ("%d \n" each); failures are
// ignored. TouchFrameEcho empties it, as every paint has always done.
void WriteFrameEcho(const std::string& path, const ViewerSettings& settings);
void TouchFrameEcho(const std::string& path);

}  // namespace velk::nordalis
