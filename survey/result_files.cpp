#include "survey/result_files.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace velk {

namespace {

// The fixed names written into the working folder (which follows the line's folder): the
// commands' text outputs, the readers' diagnostic logs, the module exchange files and the
// viewer's own files.
constexpr std::string_view kFixedNames[] = {
    "multi_select.txt", "geometry.txt", "automatic.txt", "search.txt", "station.txt",
    "energy.txt", "SPAC.txt", "SPACAll.txt", "SPAC2DAll.txt", "Spac2D.txt", "GeometryGPS.txt",
    "lsm.txt", "correlation_function.txt", "windowed_wavelet.txt", "filter.txt", "Wiener.txt",
    "Duration.dat", "velocity.txt", "multi_separation.txt", "mam.txt", "mam_geometry.txt",
    "mam_spacing.txt", "seg2.txt", "segy_read.txt", "read.txt", "read470.txt", "torvane9.txt",
    "read_Torvane_file.txt", "radar.txt", "mr.txt", "open_binary_file.txt",
    "DecodedTraceHeader.txt", "OpenKNetTextFile.txt", "StrongGroudMotionData.txt",
    "CorrectTime.txt", "StartEarthquakeTime.txt", "BLtoXY.txt", "tmp.txt", "tmp_header.txt",
    "memory_errot.txt", "nordalis_profile.txt", "test.txt",
};

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
    if (std::find(std::begin(kFixedNames), std::end(kFixedNames), name) != std::end(kFixedNames)) return true;
    const size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) return false;
    const std::string extension = Lower(name.substr(dot));
    return std::find(std::begin(kResultExtensions), std::end(kResultExtensions), extension) !=
           std::end(kResultExtensions);
}

}  // namespace velk
