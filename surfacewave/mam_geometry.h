#pragma once
// CMamGeometry: the microtremor-array geometry of the document, made on first use and kept
// until the program ends. Its five named settings persist in the profile, section "General".
//
// It holds the receivers of the array (one CTraceHeaderEx each: the header words of the trace it
// was built from and its plane coordinates in metres, x northing and y easting when they come
// from GPS), the preset that places them, the ascending list of distinct receiver spacings that
// the two-dimensional SPAC sorts pairs into, and the channels of the record the receivers read.
//
// Diagnostic and result files go through a LogSink (the working folder in the program); the
// messages through a UiHost in the language given.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix2d.h"
#include "base/trace_header.h"

namespace velk {

class LogSink;
class Profile;
class UiHost;

// Where a geometry command shows its messages and writes its files.
struct MamContext {
    UiHost& ui;
    int language;
    LogSink& log;
    Profile* profile = nullptr;  // the five keys are written here after a build (none: not written)
};

class CMamGeometry {
public:
    static constexpr const char* kArraySizeKey = "ArraySize";
    static constexpr const char* kGeometryKey = "iGeometry";
    static constexpr const char* kAngleKey = "Angle";
    static constexpr const char* kReceiverCountKey = "nReceiver";
    static constexpr const char* kLinearSpacingKey = "SpacingForLinearArray";

    // The presets, in the order of the dialog's radio group (the index is what is stored).
    enum Preset : int {
        kTriangle4 = 0,
        kTriangle7 = 1,
        kTriangle10 = 2,
        kTriangle13 = 3,
        kL5 = 4,
        kL7 = 5,
        kL9 = 6,
        kL11 = 7,
        kL13 = 8,
        kSingleCircle9 = 9,
        kDoubleCircle37 = 10,
        kLinearArray = 11,
        kManualArray = 12,
    };
    static constexpr int kPresetCount = 13;
    static constexpr std::array<const char*, kPresetCount> kPresetNames = {
        "Triangle 4", "Triangle 7", "Triangle 10", "Triangle 13", "L 5", "L 7", "L 9",
        "L 11", "L 13", "Single circle 9", "Double circle 37", "Linear array", "Manual array"};
    // Pairs whose distance lies within this of a spacing (m) belong to it.
    static constexpr float kSpacingTolerance = 0.1f;

    // LoadArrayGeometrySettings; spacings and usable flags for `maxTraces` channels.
    CMamGeometry(const Profile& profile, int maxTraces);

    // The defaults, then the five keys of the profile (a missing or unparsable key keeps its
    // default); every channel usable.
    void LoadArrayGeometrySettings(const Profile& profile);
    // Writes the five keys.
    void SaveArrayGeometrySettings(Profile& profile) const;
    // Marks every channel usable.
    void ResetUsableChannels();
    // The number of channels the flags and spacings are kept for (the store's trace capacity).
    int Capacity() const { return static_cast<int>(usable.size()); }

    // The receivers a preset needs, or 0 for "Linear array" and "Manual array" (nReceiver) and
    // for "Triangle 13" (no coordinates).
    static int PresetReceiverCount(int preset);

    // Builds the receivers and the spacings for a record of traceCount traces. Except for
    // "Manual array" the receivers are rebuilt from the headers (coordinates from the preset);
    // "Manual array" keeps the coordinates held and takes nReceiver of them. Writes
    // "mam_geometry.txt" and "mam_spacing.txt" and, with a profile, the five keys. On success
    // nReceiver and traceCount become the receiver count. Refusals (a message, false, nothing
    // changed): "Triangle 13", too few traces for the preset or for nReceiver, more distinct
    // spacings than the capacity.
    bool BuildArrayGeometry(int& traceCount, std::span<const CTraceHeader> headers, const MamContext& ctx);

    // Receiver i takes the coordinates of receiver count-1-i (count bounded by the array).
    static void ReverseReceiverOrder(int count, std::vector<CTraceHeaderEx>& receivers);
    // The distinct distances of every pair (i <= j) of the first `count` receivers, ascending,
    // a distance within kSpacingTolerance of one already listed counting as that one (the first
    // is always 0). The full list: the caller checks it against the capacity.
    static std::vector<float> ArraySpacings(std::span<const CTraceHeaderEx> receivers, int count);
    // ArraySpacings into `spacings`; returns spacingCount.
    int ComputeArraySpacings(std::span<const CTraceHeaderEx> receivers, int count);

    // Marks the channels of the text unusable: integers separated by white space or commas,
    // read up to the first text that is not one; a number below 0 or at or above the capacity
    // marks nothing. With at least one number read, the message "# of unuseful channels = %d : "
    // (the count read) followed by " %d " per marked channel. Returns the count read.
    int ParseUnusedChannels(std::string_view text, UiHost* ui, int language);

    // A new receiver array from the first traceCount headers, then up to traceCount pairs x y
    // from the text (white-space separated numbers, C locale; reading stops at the first pair
    // that is not complete). spacingCount := pairs read; returns it.
    int ReadReceiverLocationsText(int traceCount, std::span<const CTraceHeader> headers, std::string_view text);
    // The same from a file, with the message "Number of receiver location = %d ". A file that
    // cannot be opened (or is larger than 16 MiB) changes nothing and gives -1.
    int ReadReceiverLocations(int traceCount, std::span<const CTraceHeader> headers, const std::string& path,
                              UiHost& ui, int language);
    // "%f %f \n" of the first traceCount receivers, written atomically; false when it failed.
    static bool WriteReceiverLocations(int traceCount, std::span<const CTraceHeaderEx> receivers,
                                       const std::string& path);
    // The text WriteReceiverLocations writes.
    static std::string ReceiverLocationsText(int traceCount, std::span<const CTraceHeaderEx> receivers);

    // Receivers from the latitude and longitude (degrees) of the first traceCount extended
    // headers: zone below 0, x = 110952 x latitude and y = 91288 x longitude (m); zone 1..19, the
    // plane rectangular coordinates of that zone. The plane coordinates go to the extended
    // headers, the receivers get them less their minima. nReceiver := traceCount, iGeometry :=
    // "Manual array". Zone 0 or above 19: a message, nothing changed, 0. Returns traceCount.
    int GeometryFromGps(int traceCount, std::span<const CTraceHeader> headers, std::span<CTraceHeaderEx> extended,
                        int zone, UiHost& ui, int language);

    // The record channel each of the first receiverCount receivers reads: from startChannel,
    // past every run of unusable channels. Empty when a channel lies at or past recordTraces.
    std::vector<int> ReceiverChannels(int receiverCount, int recordTraces) const;

    // Two-dimensional SPAC of a record over the geometry: each receiver's channel (the first
    // `samples` values) is padded to nfft = ResolutionFftLength(samples, resolution) and
    // transformed; a receiver is valid when its largest sample (signed) is above 0. Each pair of
    // valid receivers f <= g whose distance matches spacing k within kSpacingTolerance adds the
    // coherence of its first `samples` bins to row k; rows with pairs are divided by their
    // count and smoothed once by a three-point running mean (the end samples as averaged).
    // Rows 0 .. spacingCount-1 (at most their length) and the receiver words of headers
    // 0 .. spacingCount-1 (trunc(spacing x 100)) are written last. "Spac2D.txt" logs channels,
    // pairs and counts. Returns nfft; 0 with nothing written when a receiver's channel lies
    // past recordTraces, or there is no receiver or sample.
    int Spac2D(int receiverCount, int samples, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
               int resolution, int recordTraces, LogSink& log) const;

    std::vector<CTraceHeaderEx> receivers;  // one per receiver: header words and x, y (m)
    int32_t iGeometry = 2;                  // preset index
    float ArraySize = 20.0f;                // m: triangle side, L arm, circle diameter
    int32_t spacingCount = 0;               // distinct spacings after a build
    std::vector<float> spacings;            // distinct receiver spacings, ascending
    int32_t reverse = 0;                    // 1: receiver order reversed
    int32_t startChannel = 0;               // record channel of receiver 0, from 0
    int32_t nReceiver = 12;                 // receivers of the linear and manual arrays
    std::vector<int32_t> usable;            // 0 marks an unusable channel
    float Angle = 90.0f;                    // degrees, first arm of an L array
    float SpacingForLinearArray = 10.0f;    // m
};

// "Error in micro-tremor array geometry !" in the language.
std::string ArrayGeometryErrorText(int language);

}  // namespace velk
