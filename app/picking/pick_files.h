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

#include "traveltime/traveltime_text.h"

namespace velk {

class Workspace;

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

// The view reader's result: that of the one traveltime-text parser.
using RostrelRead = TraveltimeTextRead;

// Reads a traveltime text file through ParseTraveltimeText (format and limits there), keeping
// shots without picks: a file of phase-velocity curves (kind 20) into the curve set, any other
// into the traveltime set. The kind and spacing of line 2 become that set's kind and spacing as
// written. Kind below 10: amplitude flag 0; 20: amplitude flag 0 and phase-velocity-file mode 1;
// other kinds: amplitude flag 1. Times x 1000 in seconds mode. When the file's kind is the
// record's (curves on a dispersion image, first arrivals on anything else), the picks of a shot
// within 0.0001 m of the record's source position go onto the traces within 0.0001 m of their X
// (amplitude mode: with the amplitude-pick time of the sample nearest in |value|). Edit mode and
// the curves flag are the command's.
RostrelRead ReadRostrelText(Workspace& ws, std::string_view text);
// The same read into a scratch set: what ReadRostrelText would find, with nothing changed.
RostrelRead CheckRostrelText(const Workspace& ws, std::string_view text);

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
