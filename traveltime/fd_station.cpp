#include "traveltime/fd_station.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>

#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/uihost.h"

namespace velk {

namespace {

constexpr const char* kExtensions[] = {"ns", "ew", "ud"};
constexpr const char* kComponents[] = {"NS", "EW", "UD"};

bool SafeFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

}  // namespace

DialogRequest CReceiverComponentDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Receiver component", "受振器の成分"));
    r.Choice("Component", component, {"X(N-S)", "Y(E-W)", "Z(U-D)"}).Label(Msg(language, "Component", "成分"));
    return r;
}

DialogRequest CObservationStationDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Observation station", "観測点"));
    r.Float("1 degree for latitude", metresPerDegreeLatitude).Unit("m");
    r.Float("1 degree for longitude", metresPerDegreeLongitude).Unit("m");
    r.Float("Grid size", gridSize).Label(Msg(language, "Grid size", "格子間隔")).Unit("m");
    r.Float("Longitude origin", longitudeOrigin).Label(Msg(language, "Longitude origin", "経度の原点")).Unit("degree");
    r.Float("Latitude origin", latitudeOrigin).Label(Msg(language, "Latitude origin", "緯度の原点")).Unit("degree");
    r.Float("X-shift", xShift).Unit("m");
    r.Float("Y-shift", yShift).Unit("m");
    r.Float("Constant multiplication", scale).Label(Msg(language, "Constant multiplication", "定数倍"));
    r.Float("Maximum difference", maximumDifference).Label(Msg(language, "Maximum difference ", "最大の差 ")).Unit("m");
    return r;
}

std::string CFdStationList::ReadStationText(std::string_view text)
{
    count = 0;
    notRead = 0;
    stations.clear();
    TextScanner scan(text);
    int32_t n = 0;
    if (!scan.ReadInt(n)) return {};
    std::string echo;
    for (int32_t s = 0; s < std::min<int32_t>(n, kMaxStations); ++s) {
        FdStation station;
        if (!scan.ReadWord(station.name, 4096) || !scan.ReadFloat(station.c1) || !scan.ReadFloat(station.c2) ||
            !scan.ReadFloat(station.c3)) {
            break;
        }
        echo += station.name + FormatC(" %f %f %f \n", static_cast<double>(station.c1),
                                       static_cast<double>(station.c2), static_cast<double>(station.c3));
        stations.push_back(std::move(station));
    }
    count = static_cast<int>(stations.size());
    if (count == kMaxStations && n > kMaxStations) notRead = n - kMaxStations;
    return echo;
}

std::string CFdStationList::ReadStationFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        count = 0;
        notRead = 0;
        stations.clear();
        return {};
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ReadStationText(text);
}

CObservationStationDlg CFdStationList::Dialog() const
{
    CObservationStationDlg d;
    d.metresPerDegreeLatitude = metresPerDegreeLatitude;
    d.metresPerDegreeLongitude = metresPerDegreeLongitude;
    d.gridSize = gridSize;
    d.longitudeOrigin = longitudeOrigin;
    d.latitudeOrigin = latitudeOrigin;
    d.scale = scale;
    return d;
}

void CFdStationList::Apply(const CObservationStationDlg& d)
{
    metresPerDegreeLatitude = d.metresPerDegreeLatitude;
    metresPerDegreeLongitude = d.metresPerDegreeLongitude;
    gridSize = d.gridSize;
    longitudeOrigin = d.longitudeOrigin;
    latitudeOrigin = d.latitudeOrigin;
    scale = d.scale;
}

int FdNodeIndex(double offset, double gridSize)
{
    const double inner = std::trunc(gridSize / 2.0 + offset);
    const double index = std::floor(inner / gridSize);
    if (!std::isfinite(index)) return std::numeric_limits<int>::min();
    return static_cast<int>(std::clamp(index, -1.0e9, 1.0e9));
}

std::string FdStationText(std::span<const float> samples, float intervalUs, float scale, int component)
{
    const int n = static_cast<int>(samples.size());
    std::string text = FormatC("NDATA=%5d dT=%6.3f Finite-difference waveform %s\n", n,
                               static_cast<double>(intervalUs) * 1e-6, kComponents[std::clamp(component, 0, 2)]);
    const int lines = (n + 7) / 8;
    for (int line = 0; line < lines; ++line) {
        for (int k = 0; k < 8; ++k) {
            const int j = line * 8 + k;
            const float v = j < n ? samples[static_cast<size_t>(j)] * scale : 0.0f;
            text += FormatC("%10.3f", static_cast<double>(v));
        }
        text += '\n';
    }
    return text;
}

std::vector<FdStationFile> CFdStationList::StationFiles(const CObservationStationDlg& dlg, int component,
                                                        int traceCount, const Matrix2D<float>& rows,
                                                        std::span<const CTraceHeader> headers) const
{
    std::vector<FdStationFile> files;
    component = std::clamp(component, 0, 2);
    traceCount = std::clamp(traceCount, 0, static_cast<int>(std::min<size_t>(headers.size(), rows.Rows())));
    const double limit = 100.0 * dlg.maximumDifference;
    for (const FdStation& station : stations) {
        if (!SafeFileName(station.name)) continue;
        const double north = (static_cast<double>(station.c1) - latitudeOrigin) * metresPerDegreeLatitude;
        const double east = (static_cast<double>(station.c2) - longitudeOrigin) * metresPerDegreeLongitude;
        const double pn = FdNodeIndex(north, gridSize) * static_cast<double>(gridSize) * 100.0;
        const double pe = FdNodeIndex(east, gridSize) * static_cast<double>(gridSize) * 100.0;
        for (int i = 0; i < traceCount; ++i) {
            const CTraceHeader& h = headers[static_cast<size_t>(i)];
            if (std::fabs(h.receiverHundredths - pn + 100.0 * dlg.xShift) < limit &&
                std::fabs(h.sourceHundredths - pe + 100.0 * dlg.yShift) < limit) {
                const auto row = rows.Row(rows.RowLow() + i);
                const size_t n = std::min<size_t>(static_cast<size_t>(std::max(h.samples, 0)), row.size());
                files.push_back({FormatC("%s_FD3D.%s", station.name.c_str(), kExtensions[component]),
                                 FdStationText(row.first(n), h.intervalUs, scale, component)});
                break;
            }
        }
    }
    return files;
}

}  // namespace velk
