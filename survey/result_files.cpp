#include "survey/result_files.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "formats/format_support.h"
#include "platform/numtext.h"

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

std::string CmpGatherFileName(int cmpHundredths, bool coherence)
{
    return FormatC(coherence ? "cmp_%06d.coh" : "cmp_%06d.sg2", cmpHundredths);
}

bool IsCmpGatherFileName(std::string_view name)
{
    constexpr std::string_view kStart = "cmp_";
    // Gathers copied through a FAT stick come back as "CMP_000200.SG2": the name is as
    // case-blind as the extension.
    if (name.size() < kStart.size() + 5 || Lower(name.substr(0, kStart.size())) != kStart) return false;
    const std::string extension = Lower(name.substr(name.size() - 4));
    if (extension != ".sg2" && extension != ".coh") return false;
    std::string_view number = name.substr(kStart.size(), name.size() - kStart.size() - 4);
    if (!number.empty() && number.front() == '-') number.remove_prefix(1);
    return !number.empty() &&
           std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace velk
