#pragma once
// The strong-motion objects the document owns, as far as the document needs them so far: the
// set's first six words and its header's counts, and the coordinate origin. The strong-motion
// readers, the stations and the set file complete them in place.

namespace velk {

struct StrongMotionSetHeader {
    int traceCount = 0;
    int stationCount = 0;
};

class CStrongMotionSet {
public:
    int viewMode = 0;        // 0 all traces, 1..6 one component, 9 one station
    int offsetMode = 0;      // 0 station X, 1 station Y, 2 source offset
    int currentStation = 0;
    int allocated = 0;       // 1 once the header and arrays exist
    float minimumAngle = 0.0f;
    float maximumAngle = 360.0f;
    StrongMotionSetHeader header;
};

class CCoordinateOrigin {
public:
    int zone = 7;                   // plane rectangular coordinate zone, 1..19
    float originLatitude = 36.0f;   // degrees
    float originLongitude = 137.1667f;
    int startWithEarthquakeTime = 0;
};

}  // namespace velk
