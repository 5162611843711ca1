#pragma once
// The traveltime text file of the refraction program (".vs" for traveltimes, ".pvs" for
// phase-velocity curves): the writer, and the one parser behind both readers (the view's, which
// copies a shot's picks onto the record, and the set's own).
//
// Layout, every number in the C locale, read free-format (line breaks do not matter):
//   line 1   version (1996, or 2000 for phase-velocity curves), format level, 3.0
//            (the old headerless form: kind, N, spacing, with no line 2)
//   line 2   kind, shot count N, spacing
//   N shots  "position count third", then per pick "X T K" (1996), "X T K W" (kind 3 before
//            2000), "X T K F" (2000), "X T K W F" (kind 3 from 2000)
//   section A  rows, columns; per row the line-1 values (old form: one value), then the line-2
//              values
//   section B  entries; per entry "count v1 v2 v3", then per point "first second"
//   section C  rows, columns; per row one header value (two from format level 9), then
//              columns - 1 line-1 values and columns line-2 values

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/numtext.h"

namespace velk {

class CTraveltimeSet;

constexpr int kTraveltimeVersion = 1996;
constexpr int kTraveltimePhaseVelocityVersion = 2000;

// How a text read ended.
enum class TextReadEnd {
    Complete,   // everything the file announced was read (or its end at a boundary)
    EndOfFile,  // the file ended inside a part it announced
    BadValue,   // a value that is not a number; reading stopped there
    TooLarge,   // a count beyond the capacity (or negative); reading stopped there
};

// Free-format reading that tells the end of the text from a value that is not a number; after
// the first failure every read fails and End() says why.
class FreeFormScan {
public:
    explicit FreeFormScan(std::string_view text) : sc_(text) {}

    bool Int(int32_t& v) { return Read([&] { return sc_.ReadInt(v); }); }
    bool Float(float& v) { return Read([&] { return sc_.ReadFloat(v); }); }
    bool AtEnd() { return sc_.AtEnd(); }
    TextReadEnd End() const { return end_; }

private:
    template <typename F>
    bool Read(F read)
    {
        if (end_ != TextReadEnd::Complete) return false;
        const bool atEnd = sc_.AtEnd();
        if (read()) return true;
        end_ = atEnd ? TextReadEnd::EndOfFile : TextReadEnd::BadValue;
        return false;
    }

    TextScanner sc_;
    TextReadEnd end_ = TextReadEnd::Complete;
};

enum class RostrelSection { Header, Shots, SectionA, SectionB, SectionC };

struct TraveltimeTextRead {
    bool headerRead = false;  // false: nothing was taken from the file
    int version = 0;          // the first value, or the kind for the old headerless form
    int shotsDeclared = 0;    // N of the file
    int shotsStored = 0;      // shots now in the set
    TextReadEnd end = TextReadEnd::Complete;
    RostrelSection where = RostrelSection::Header;  // where reading stopped when not complete
    long long refusedCount = 0;  // TooLarge: the count that was refused
    int refusedShot = -1;        // TooLarge in the shot section: the shot (from 0), or -1 for N
};

// What tells the two readers apart.
struct TraveltimeTextOptions {
    // The view keeps a shot without picks; the set's reader drops it and N shrinks.
    bool keepEmptyShots = false;
    // The view takes line 2 into the kind and spacing as written; the set's reader into the
    // kind and spacing as read, the spacing raised to 0.1.
    bool headerAsWritten = false;
    // Applied to every pick time (the view reads seconds files x 1000).
    float timeFactor = 1.0f;
    // After line 2 (the file's kind), and after each stored shot (its index in the set).
    std::function<void(int kind)> onHeader;
    std::function<void(int shot)> onShot;
};

// Which set a traveltime text fills is decided by the kind it declares, never by its name: kind
// 20 (the first value of line 2, or of line 1 in the old form without a version) holds
// phase-velocity curves, every other kind first arrivals. Every reader and writer asks this.
constexpr int kPhaseVelocityCurveKind = 20;
enum class TraveltimeTextSet { None, FirstArrivals, PhaseVelocityCurves };

// The declared kind, or -1 when the head cannot be read.
int DeclaredTraveltimeKind(std::string_view text);
// The set the text fills (None when its head cannot be read).
TraveltimeTextSet TraveltimeTextSetOf(std::string_view text);
// The same for a file (None when it cannot be opened).
TraveltimeTextSet TraveltimeFileSetOf(const std::string& path);

// Parses a traveltime text into the set. The format level is the second value of a versioned
// line 1 (at least 7), and 7 for the old form. Once the header is read the shot count and the
// section sizes start from 0 and the set's has-data flag is 1; before that nothing changes.
//
// Limits: 501 shots, 1001 picks, sections A and C 1001 rows of 201 values, section B 501
// entries of 1001 points; a negative count is refused like one beyond them. A refused count, a
// value that is not a number or the end of the text inside a part stops the reading: complete
// shots, rows and entries stay, the shot count is the shots stored, and the result says why
// and where. Text that ends between parts is complete.
TraveltimeTextRead ParseTraveltimeText(CTraveltimeSet& set, std::string_view text, const TraveltimeTextOptions& options);

// The set's reader over a text: shots without picks dropped, kind and spacing as read.
TraveltimeTextRead ReadTraveltimeSetText(CTraveltimeSet& set, std::string_view text);

// The set's reader over a file: the shot count afterwards, or 0 (the set unchanged) when the
// file cannot be opened.
int ReadTraveltimeText(CTraveltimeSet& set, const std::string& path);

// Appends the whole set to `out` in the text format. With secondsFlag 1 every pick time is
// written x 0.001. With phaseVelocityMode 1 the version is 2000 and the set's kind as written
// becomes 20. A spacing as written below 0.01 is first replaced, and kept, by the distance of
// the first two picks of shot 0 (when shot 0 has two picks). A set of kind 3 writes W after
// each pick's code, as the readers expect. Counts beyond the set's capacity are written as
// they stand but only the stored values are written.
void WriteTraveltimeText(CTraveltimeSet& set, std::string& out, int secondsFlag, int phaseVelocityMode);

}  // namespace velk
