#include "nordalis/viewer_settings.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/numtext.h"

namespace velk::nordalis {

namespace {

// Line `index` of the text, trimmed of blanks (empty when there is none).
std::string Field(const std::vector<std::string>& lines, size_t index)
{
    if (index >= lines.size()) return {};
    const std::string& line = lines[index];
    const size_t b = line.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    const size_t e = line.find_last_not_of(" \t\r");
    return line.substr(b, e - b + 1);
}

}  // namespace

ViewerSettings ParseViewerSettings(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    ViewerSettings s;
    s.hasPlacement = true;
    auto integer = [&](size_t i, int fallback, bool positive) {
        const std::optional<int32_t> v = ParseInt(Field(lines, i));
        return v && (!positive || *v > 0) ? *v : fallback;
    };
    auto scale = [&](size_t i) {
        const std::optional<float> v = ParseFloat(Field(lines, i));
        return v && std::isfinite(*v) && *v > 0.0f ? *v : 1.0f;
    };
    s.left = integer(0, 100, false);
    s.top = integer(1, 100, false);
    s.width = integer(2, 400, true);
    s.height = integer(3, 300, true);
    s.yScale = scale(4);
    s.xScale = scale(5);
    return s;
}

ViewerSettings ReadViewerSettings(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return ViewerSettings{};
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseViewerSettings(text);
}

std::string FormatViewerSettings(const ViewerSettings& s)
{
    return FormatC(" %d \n %d \n %d \n %d \n", s.left, s.top, s.width, s.height) +
           FormatC(" %f \n %f \n", static_cast<double>(s.yScale), static_cast<double>(s.xScale));
}

bool WriteViewerSettings(const std::string& path, const ViewerSettings& settings, std::string* error)
{
    return WriteFileAtomically(path, FormatViewerSettings(settings), error);
}

void WriteFrameEcho(const std::string& path, const ViewerSettings& s)
{
    if (std::FILE* f = std::fopen(path.c_str(), "w")) {
        std::fputs(FormatC("%d \n%d \n%d \n%d \n", s.left, s.top, s.width, s.height).c_str(), f);
        std::fclose(f);
    }
}

void TouchFrameEcho(const std::string& path)
{
    if (std::FILE* f = std::fopen(path.c_str(), "w")) std::fclose(f);
}

}  // namespace velk::nordalis
