#pragma once
// Output of a three-dimensional finite-difference earthquake simulation per observation station.
// The simulation comes as a record with one trace per surface grid node: the node's north
// position in the receiver word and its east position in the source word (m x 100). Each
// station of a station file (name, latitude, longitude) is snapped to the nearest node and the
// samples of that node's trace are written in the strong-motion text layout, one file per
// station for the chosen component.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

class DialogRequest;

struct FdStation {
    std::string name;
    float c1 = 0.0f;  // latitude, degrees
    float c2 = 0.0f;  // longitude, degrees
    float c3 = 0.0f;  // read and echoed, not used
};

// Dialog 218 "Receiver component".
struct CReceiverComponentDlg {
    static constexpr const char* kClass = "CReceiverComponentDlg";
    int component = -1;  // 0 X(N-S), 1 Y(E-W), 2 Z(U-D); -1 none chosen (taken as X)
    DialogRequest Request(int language);
};

// Dialog 219 "Observation station". The shifts and the maximum difference hold for one call.
struct CObservationStationDlg {
    static constexpr const char* kClass = "CObservationStationDlg";
    float metresPerDegreeLatitude = 0.0f;
    float metresPerDegreeLongitude = 0.0f;
    float gridSize = 0.0f;
    float longitudeOrigin = 0.0f;
    float latitudeOrigin = 0.0f;
    float xShift = 0.0f;  // m
    float yShift = 0.0f;  // m
    float scale = 0.0f;   // "Constant multiplication"
    float maximumDifference = 0.1f;  // m
    DialogRequest Request(int language);
};

// One station's output: the file name ("%s_FD3D.ns" ...) and its text.
struct FdStationFile {
    std::string name;
    std::string text;
};

struct CFdStationList {
    static constexpr int kMaxStations = 200;

    int count = 0;
    int notRead = 0;  // stations the file declares beyond kMaxStations
    std::vector<FdStation> stations;
    float gridSize = 400.0f;                    // m
    float latitudeOrigin = 34.5f;               // degrees
    float longitudeOrigin = 139.0f;             // degrees
    float metresPerDegreeLatitude = 110952.0f;
    float metresPerDegreeLongitude = 91288.0f;
    float scale = 100.0f;                       // applied to every written sample

    // Reads the station file's text: the count, then name, latitude, longitude and a third
    // value per station; at most kMaxStations, fewer when the text ends or a number does not
    // parse; notRead counts the declared stations beyond kMaxStations once all of those were
    // read. Returns the echo of the stations read ("%s %f %f %f \n" each) for "station.txt".
    std::string ReadStationText(std::string_view text);
    // The same from a file; a file that cannot be opened yields no stations. Returns the echo.
    std::string ReadStationFile(const std::string& path);

    // The dialog preset with the list's values; Apply takes the kept ones back after OK.
    CObservationStationDlg Dialog() const;
    void Apply(const CObservationStationDlg& dlg);

    // The files of the stations whose node has a trace (traces 0..traceCount-1, searched in
    // order), for component 0 ns, 1 ew, 2 ud. Stations whose name would leave the folder (a
    // '/' or '\\', "." or "..") get none.
    std::vector<FdStationFile> StationFiles(const CObservationStationDlg& dlg, int component, int traceCount,
                                            const Matrix2D<float>& rows, std::span<const CTraceHeader> headers) const;
};

// The grid node index of a station `offset` m from the origin: floor(trunc(size/2 + offset) / size).
int FdNodeIndex(double offset, double gridSize);

// The text of one station file: "NDATA=%5d dT=%6.3f Finite-difference waveform NS\n", then the
// samples x scale as "%10.3f", eight to a line, the last line padded with 0.0.
std::string FdStationText(std::span<const float> samples, float intervalUs, float scale, int component);

}  // namespace velk
