// The station file of the earthquake simulation output and the files made for it: whatever the
// text, at most the allowed stations are read, and every file name stays inside the folder.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "traveltime/fd_station.h"

namespace {

void Require(bool condition, const char* rule)
{
    if (!condition) {
        std::fprintf(stderr, "station file: %s\n", rule);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    velk::CFdStationList list;
    list.ReadStationText(text);
    Require(list.count >= 0 && list.count <= velk::CFdStationList::kMaxStations, "station count");
    Require(static_cast<size_t>(list.count) == list.stations.size(), "count and stations differ");
    velk::Matrix2D<float> rows(0, 2, 0, 9);
    std::vector<velk::CTraceHeader> headers(3);
    for (int i = 0; i < 3; ++i) headers[static_cast<size_t>(i)].Set(i + 1, 40000 * i, 0, 1, 1, 0.0f, 1000.0f, 10 + 5 * i);
    const velk::CObservationStationDlg dlg = list.Dialog();
    for (const velk::FdStationFile& file : list.StationFiles(dlg, 0, 3, rows, headers)) {
        Require(file.name.find('/') == std::string::npos && file.name.find('\\') == std::string::npos,
                "a file name leaves the folder");
    }
    return 0;
}
