#pragma once
// Strong-motion station records: one file per station and component (a text file with a
// 17-line header and integer counts, a short text variant that starts "NDATA=", or a binary
// variant whose first line holds "BINARY"), gathered into one set of up to 1024 stations with
// six component slots each, and the set file ".sgm" that saves the whole set.
//
// The set holds, besides the stations, one record per trace of the waveform store (the
// "shown records"), so that the drawing and the earthquake commands know the station, its
// azimuth and its start time for every trace on show. The readers never write the store:
// FillTraces fills a LoadTarget and hands the shown records back, and the caller commits both.
//
// Times are calendar seconds by UTC arithmetic, so a record time means the same instant in
// every time zone; only differences of times are ever used.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"
#include "formats/format_support.h"

namespace velk {

class ByteSink;
class ByteSource;
class LoadTarget;
class Profile;
class UiHost;

// ---------------------------------------------------------------------------------------------
// Data model

struct StationDateTime {
    int32_t year = 1900;
    int32_t month = 1;
    int32_t day = 1;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;

    bool operator==(const StationDateTime&) const = default;
};

// Seconds from 1970-01-01 00:00:00 by the civil calendar (UTC arithmetic: no time zone, no
// daylight saving). Months outside 1..12 carry into the year, days and the time of day count
// on from the first of the month, so that every value has a defined result.
int64_t CalendarSeconds(const StationDateTime& time);

inline constexpr int kStationHeaderLines = 17;
inline constexpr int kStationSlots = 6;        // ns, ew, ud, ns-d, ew-d, ud-d
inline constexpr int kMaxStations = 1024;
inline constexpr size_t kSgmTextSize = 512;    // the fixed text fields of the set file
inline constexpr size_t kSgmBlockSize = 1024;  // the text block at the start of the set file
inline constexpr size_t kSgmRecordSize = 2232; // one trace record in the set file
inline constexpr size_t kSgmStationsOffset = 1048;

// One trace: the eight header words and what the station file says about it.
struct CStrongMotionTrace : CTraceHeader {
    int32_t flag = 1;                 // 1 in every new record; not interpreted
    StationDateTime originTime;       // not decoded from files
    float epicentreLatitude = 0.0f;   // degrees
    float epicentreLongitude = 0.0f;
    int32_t reserved1 = 0;
    int32_t reserved2 = 0;
    std::string stationCode;
    float stationLatitude = 0.0f;     // degrees
    float stationLongitude = 0.0f;
    int32_t reserved3 = 0;
    StationDateTime recordTime;       // start of the record
    int32_t samplingFrequency = 0;    // Hz
    int32_t duration = 0;             // s
    std::string reservedText1;
    float scaleFactor = 0.0f;         // amplitude per count
    float maximumAcceleration = 0.0f; // as the file header gives it
    StationDateTime reservedTime;
    std::string reservedText2;
    std::string componentLabel;       // "ns", "ew", "ud", "ns-d", "ew-d", "ud-d"
    float timeOffset = 0.0f;          // s, set by CorrectTimeAxis
    float sourceOffset = 0.0f;        // m, epicentre to station
    float sourceX = 0.0f;             // plane coordinates of the epicentre (X north, Y east), m
    float sourceY = 0.0f;
    float stationX = 0.0f;            // plane coordinates of the station, m
    float stationY = 0.0f;
    float azimuth = 0.0f;             // degrees clockwise from north, epicentre to station
    int32_t reserved4 = 0;
    std::array<std::string, kStationHeaderLines> headerLines;  // as read (not saved)

    // The set file's trace record (2232 bytes, little-endian; the header lines are not part of
    // it; the texts are written cut to 511 characters and padded with zeros). These replace
    // the 32-byte forms of CTraceHeader for a strong-motion record.
    int WriteBinary(ByteSink& sink) const;
    // Returns the bytes read: kSgmRecordSize for a complete record, which is then decoded;
    // fewer when the data end first, and the record is left as it was.
    size_t ReadBinary(ByteSource& source);
};

// The samples of one slot (replaced whole when a new trace is stored).
struct StationSamples {
    std::vector<float> values;
    int Count() const { return static_cast<int>(values.size()); }
};

struct StrongMotionStation {
    std::string name;    // the station code of its first file
    int traceCount = 0;  // the number of filled slots
    std::array<CStrongMotionTrace, kStationSlots> slots;
    std::array<StationSamples, kStationSlots> samples;
    std::array<bool, kStationSlots> filled{};

    // Stores the record in slot k = its component word (1..6), its component word set to k
    // and without its header lines, with the samples; a slot already filled is replaced and
    // not counted again. Returns the sample count, or -1 (nothing stored) for a component
    // outside 1..6.
    int AddTrace(std::vector<float> values, const CStrongMotionTrace& record);
    // Slot 1..6 holds a record.
    bool Filled(int slot) const;
};

struct StrongMotionSetHeader {
    // The first block of a set file as last read (zeros for a new set); a write puts the
    // counts at its start and keeps the rest, so a file read and written again is unchanged.
    std::array<uint8_t, kSgmBlockSize> text{};
    int traceCount = 0;
    int stationCount = 0;
    StationDateTime earthquakeTime;
};

// The plane-coordinate zone and origin of the stations, with the profile keys iCorollary,
// LatitudeOrigin and LongitudeOrigin.
class CCoordinateOrigin {
public:
    int zone = 7;                    // plane rectangular coordinate zone
    float originLatitude = 36.0f;    // degrees
    float originLongitude = 137.1667f;
    int startWithEarthquakeTime = 0; // toggled by the view; not saved

    void Load(const Profile& profile);  // a missing or unparsable key keeps the value
    void Save(Profile& profile) const;
};

// ---------------------------------------------------------------------------------------------
// Reading station files

enum class StationFileKind { Text, NData, Binary };

// Why a station file added no trace.
enum class StationRefusal {
    None,
    CannotOpen,
    NoSamplingFrequency,  // text header: frequency 0 or below (the interval would divide by 0)
    NegativeDuration,     // text header: a duration below 0 (a negative sample count)
    ZeroScale,            // a scale denominator of 0 (text) or a scale factor of 0 (binary)
    BadCount,             // a negative sample count
    ShortBinary,          // the binary samples would begin before the start of the file
    TooManyStations,      // a new station beyond kMaxStations
};

// What the reads of one load found worth a message, gathered so that the load shows one.
struct StationLoadReport {
    std::vector<std::pair<std::string, StationRefusal>> refused;  // file name, reason
    int badZone = 0;  // a coordinate zone the conversion does not know (positions left 0)
    bool Any() const { return !refused.empty() || badZone != 0; }
};
// The message of a report in the interface language; empty when there is nothing to say.
std::string StationLoadMessage(int language, const StationLoadReport& report);

// The file's lines as the reader sees them (each cut to 511 characters), the kind from the
// first line, and the offset of the first byte after the lines taken.
struct StationHeader {
    StationFileKind kind = StationFileKind::Text;
    std::array<std::string, kStationHeaderLines> lines;
    size_t dataOffset = 0;
};
StationHeader ReadHeaderLines(std::string_view text);

// Record time from line 10: year, month, day, hour, minute, second in their fixed columns;
// an absent field keeps its default.
StationDateTime ParseRecordTime(std::string_view line);

// Grid-square code of eight digits (a character that is not a digit counts 0, missing
// characters too): the south-west corner of its third-level cell, in degrees.
void MeshCodeToLatLon(std::string_view code, double& latitude, double& longitude);

// The component of a file name (".ns1" before ".ns", first match wins): 1..6 with its label,
// or 0 with an empty label when nothing matches.
int ComponentFromName(std::string_view fileName, std::string& label);

// Decodes the 17-line header into the record (the log "DecodedTraceHeader.txt"). Returns the
// refusal when the header would divide by zero or give a negative count.
StationRefusal DecodeTextHeader(const StationHeader& header, CStrongMotionTrace& record,
                                const CCoordinateOrigin& origin, LogSink& log, StationLoadReport& report);
// The binary header: count, scale and interval from lines 2 and 3, the station from the file
// name (`stem`) and its grid-square code.
StationRefusal ReadBinaryHeader(const StationHeader& header, std::string_view stem, CStrongMotionTrace& record,
                                const CCoordinateOrigin& origin, LogSink& log, StationLoadReport& report);

// A record as the store's header: its words, the receiver by the offset mode (0 station X,
// 1 station Y, 2 source offset, x 100 truncated; another mode the default), the sample count
// at most maxSample.
CTraceHeader ToTraceHeader(const CStrongMotionTrace& record, int offsetMode, int maxSample);

// ---------------------------------------------------------------------------------------------
// The set

// What FillTraces put into a target.
struct StrongMotionFill {
    int end = 0;                  // the store index after the last trace filled (start: none)
    std::vector<CStrongMotionTrace> records;  // the shown record of each trace filled, from k = 0
    bool samplesCut = false;      // a trace held more than MAX_SAMPLE samples
    bool tracesCut = false;       // traces were left out at the store's capacity
    ConversionCount conversions;  // samples that were not finite (stored as 0)
    std::string stationName;      // view mode 9: the station shown
};

class CStrongMotionSet {
public:
    int viewMode = 0;        // 0 all traces, 1..6 one component, 9 one station
    int offsetMode = 0;      // 0 station X, 1 station Y, 2 source offset
    int currentStation = 0;  // view mode 9
    int allocated = 0;       // 1 once the header and arrays exist
    float minimumAngle = 0.0f;
    float maximumAngle = 360.0f;
    int labelFlag = 0;       // 1: the drawing writes each trace's station code and component
    StrongMotionSetHeader header;
    std::vector<CStrongMotionTrace> shownRecords;  // by store index
    // The shown records of a fill whose traces are read but not yet in the store (a load
    // commits them with its traces, or drops them).
    std::vector<CStrongMotionTrace> pendingRecords;
    std::vector<std::unique_ptr<StrongMotionStation>> stations;  // in creation order

    CStrongMotionSet() = default;
    CStrongMotionSet(const CStrongMotionSet&) = delete;
    CStrongMotionSet& operator=(const CStrongMotionSet&) = delete;

    // The header and the shown records for `maxTraces` traces: allocated := 1. Later calls
    // only grow the shown records.
    void Allocate(int maxTraces);

    // Reads one station file (`fileName` gives the component and, for binary files and files
    // without a code, the station) and adds its trace to the station of its code. Returns 1
    // when the trace has at least one sample, else 0; a refused file adds nothing and is
    // listed in the report. Logs "OpenKNetTextFile.txt".
    int ReadStationFiles(const std::string& fileName, ByteSource& file, const CCoordinateOrigin& origin,
                         LogSink& log, StationLoadReport& report);

    // "StrongGroudMotionData.txt": the counts and each station's headers (sample counts at
    // most maxSample).
    void WriteSummaryText(LogSink& log, int maxSample) const;

    // The set file. WriteSgm writes the filled slots of every station in slot order.
    WriteStatus WriteSgm(ByteSink& sink);
    // Reads a set file in place of the stations and counts held; the trace count the file
    // gives, or -1 (the set as it was, the reason in *error) for a file that does not hold
    // what it says.
    int ReadSgm(ByteSource& file, std::string* error = nullptr);

    // Fills the target from its start with the traces of the view mode (0 all, 1..6 one
    // component, 9 the current station; with six traces or fewer in the set the mode becomes
    // 0); each trace's samples up to target.MaxSample().
    StrongMotionFill FillTraces(LoadTarget& target);

    // The shown records of store indices start .. start + records.size() - 1 := records.
    void CommitShownRecords(int start, std::vector<CStrongMotionTrace> records);
    // Applies a sort's order to the shown records (record i := old record order[i]).
    void ApplyOrderToShownRecords(std::span<const int> order);

    // The earliest record time of shown records 0 .. count-1 (at least record 0).
    int64_t EarliestRecordTime(int count) const;
    // Sets the time offsets of shown records 0 .. count-1; logs "CorrectTime.txt".
    void CorrectTimeAxis(int count, LogSink& log);
    // Shifts traces 0 .. count-1 of the store to start at the earthquake time less 15 s.
    // Refused with a message (nothing changed) when the earthquake time is 15 s or more from
    // the earliest record or an interval word is not above 0. Logs "StartEarthquakeTime.txt".
    // True when the traces were shifted.
    bool StartAtEarthquakeTime(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int count, int maxSample,
                               UiHost& ui, int language, LogSink& log);

    // 1 when the azimuth of shown record i lies in [minimum angle, maximum angle], else 0.
    int IsInDisplayRange(int i) const;

    // Plane coordinates of a position in degrees in the origin's zone, relative to the origin
    // when relative is 1; returns the zone (X and Y 0 when the zone is unknown).
    int StationXY(double latitude, double longitude, float& x, float& y, int relative,
                  const CCoordinateOrigin& origin) const;

    int StationCount() const { return static_cast<int>(stations.size()); }
    const StrongMotionStation* FindStation(std::string_view code) const;
};

// One station's lines of the summary text: its name, then the header line of each filled slot
// as ToTraceHeader makes it.
std::string WriteStationSummary(const StrongMotionStation& station, int offsetMode, int maxSample);

// The operations behind the earthquake commands.
// "Observation station selection": the current station becomes the one chosen. Always 1.
int SelectStations(CStrongMotionSet& set, UiHost& ui, int language);
// "Time" on the earthquake time: 1 after OK, else 0.
int EditEarthquakeTime(CStrongMotionSet& set, UiHost& ui, int language);
// "XY coordinate": the origin's zone and position, then every station's plane coordinates
// (log "BLtoXY.txt"). 1 after OK, else 0.
int ConvertStationsToXY(CStrongMotionSet& set, CCoordinateOrigin& origin, UiHost& ui, int language, LogSink& log);

// Messages.
inline constexpr const char* kEarthquakeTimeNotCorrect = "Earthquake time is not correct !";

}  // namespace velk
