#include "survey/result_files.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "formats/format_support.h"

namespace velk {

namespace {

constexpr std::string_view kResultExtensions[] = {".vs", ".pvs", ".xml", ".qz4"};

std::string Lower(std::string_view text)
{
    std::string s(text);
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

}  // namespace

bool IsProgramResultFile(std::string_view name)
{
    if (std::find(std::begin(kNumberedLogNames), std::end(kNumberedLogNames), name) != std::end(kNumberedLogNames)) {
        return true;
    }
    const size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) return false;
    const std::string extension = Lower(name.substr(dot));
    return std::find(std::begin(kResultExtensions), std::end(kResultExtensions), extension) !=
           std::end(kResultExtensions);
}

}  // namespace velk
