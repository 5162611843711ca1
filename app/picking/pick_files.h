#pragma once
// The text files of picking, as functions over text (the commands read and write the files):
//   - the first-arrival file: one line per pick, "x t v" (receiver in m, pick value, third
//     value);
//   - the traveltime text file as the view reads it into the traveltime set, copying the
//     picks of the record's shot onto its traces;
//   - the reference-time file of amplitude picking (a traveltime text file of the versioned
//     form, read for its picks only).
// All numbers are read and written in the C locale. Every reader stops at the first value
// that is not a number, keeps what it read and says so in its result; no count from a file
// is trusted beyond the capacity it fills.

#include <string>
#include <string_view>

namespace velk {

class Workspace;

// How a text read ended.
enum class TextReadEnd {
    Complete,   // everything the file announced was read (or its end at a boundary)
    EndOfFile,  // the file ended inside a part it announced
    BadValue,   // a value that is not a number; reading stopped there
    TooLarge,   // a count beyond the capacity; reading stopped there
};

// ---------------------------------------------------------------------------------------------
// First-arrival file

constexpr int kFirstArrivalMaxLines = 48001;

struct FirstArrivalRead {
    int lines = 0;           // complete lines read
    TextReadEnd end = TextReadEnd::Complete;
};

// Reads up to 48001 lines "x t v". Amplitude flag 0: every trace whose receiver lies within
// 0.01 m of x gets pick value t, the current layer code and third value v. Amplitude flag 1:
// line n goes to trace n (later lines are skipped) with the same values, and its
// amplitude-pick time is j x interval for the first sample j whose |sample| lies within
// 0.000001 of t, else 0. A last line without all three values is not applied.
FirstArrivalRead ReadFirstArrivalText(Workspace& ws, std::string_view text);

// One line per trace whose pick value is at least -0.001: " %f %f %f \n" (receiver in m,
// pick value, third value), the pick value as "%e" when it is below 1.0.
std::string WriteFirstArrivalText(const Workspace& ws);

// ---------------------------------------------------------------------------------------------
// Traveltime text file, the view's reader

enum class RostrelSection { Header, Shots, SectionA, SectionB, SectionC };

struct RostrelRead {
    bool headerRead = false;  // false: nothing was taken from the file
    int version = 0;          // the first value, or the kind for the old headerless form
    int shotsDeclared = 0;    // N of the file
    int shotsStored = 0;      // shots now in the set
    TextReadEnd end = TextReadEnd::Complete;
    RostrelSection where = RostrelSection::Header;  // where reading stopped when not complete
    long long refusedCount = 0;  // TooLarge: the count that was refused
    int refusedShot = -1;        // TooLarge in the shot section: the shot (from 0), or -1 for N
};

// Reads a traveltime text file into the traveltime set. Line 1 "a b c": a below 1000 is the
// old headerless form (a kind, b N, c spacing, format level 7); otherwise a is the version, b
// the format level (at least 7) and line 2 gives kind, N and spacing. The kind and spacing
// become the set's kind and spacing as written. Kind below 10: amplitude flag 0; 20: amplitude
// flag 0 and phase-velocity-file mode 1; other kinds: amplitude flag 1. Per shot "position
// count third", then per pick X T K (+ W for kind 3 below version 2000; + F from version
// 2000, kind 3 X T K W F); older files get F 1.0. Times x 1000 in seconds mode. The picks of a
// shot within 0.0001 m of the record's source position go onto the traces within 0.0001 m of
// their X (amplitude mode: with the amplitude-pick time of the sample nearest in |value|).
// Shots with no picks stay. Then sections A, B and C as the writer writes them.
//
// Limits: 501 shots, 1001 picks, sections A and C 1001 x 201, section B 501 x 1001. A count
// beyond them, a value that is not a number or the end of the file inside a part stops the
// reading; what was read stays, the shot count becomes the shots stored, and a section read
// in part keeps its complete rows. The section sizes are cleared once the header is read, so
// a file without sections writes none back. Sets the set's has-data flag once the header is
// read. Edit mode and the curves flag are the command's.
RostrelRead ReadRostrelText(Workspace& ws, std::string_view text);

// The message after a read: "Rostrel file has been read !" when complete, else what was
// refused or where the file ended, and "read N1 of N shots" when shots are missing.
std::string RostrelReadMessage(const RostrelRead& read, int language);

// ---------------------------------------------------------------------------------------------
// Reference times of amplitude picking

struct ReferenceTimesRead {
    int picks = 0;  // picks that set a reference time
    TextReadEnd end = TextReadEnd::Complete;
};

// Two header lines "a b c" (the second gives N), per shot "position count third", per pick
// "X T K". A pick sets the reference time of the first trace whose receiver and source
// positions both lie within 0.001 m of X and of the shot position (x 1000 in seconds mode).
ReferenceTimesRead ReadReferenceTimesText(Workspace& ws, std::string_view text);

// The message for a read that stopped at a value that is not a number.
std::string BadValueMessage(int language);

}  // namespace velk
