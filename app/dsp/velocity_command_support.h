#pragma once
// Checks the velocity-filter commands share before they change anything.

#include <string>
#include <vector>

namespace velk {

class CWaveOperations;
class UiHost;
class Workspace;

namespace velocity_support {

// The record a command works on: traces, samples per trace, the store's interval (ms).
struct RecordShape {
    int traces = 0;
    int samples = 0;
    float interval = 0.0f;
};

void Refuse(UiHost& ui, const std::string& text);

// The record's shape when it has traces and samples that fit the rows and a usable interval;
// false otherwise (silently without traces or samples, with the message for a record longer
// than the rows or an unusable interval).
bool CheckedRecord(CWaveOperations& ops, RecordShape& shape);
bool CheckedRecord(Workspace& ws, UiHost& ui, RecordShape& shape);

// The receiver spacing of traces 1 and 2 in m; 0 with ReceiverSpacingRefusal shown when the
// record has one trace or the spacing is not above 0.
double CheckedReceiverSpacing(Workspace& ws, UiHost& ui);

// Receiver word x 0.01 of traces 0..count-1, in m.
void ReceiverPositions(const Workspace& ws, int count, std::vector<double>& positions);

// The source word of trace 1 in m: the reference position of the slant stacks.
double SourceReference(const Workspace& ws);

// Both velocities of a dialog above 0; otherwise the velocity refusal is shown and false returned.
bool PositiveVelocities(UiHost& ui, int language, float maxVelocity, float minVelocity);

// What a filter does just before it writes the rows: the undo snapshot, then every trace's
// sample count raised to `samples`.
void BeginRowsChange(Workspace& ws, int samples);

}  // namespace velocity_support

}  // namespace velk
