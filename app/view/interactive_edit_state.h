#pragma once
// What the interactive editing commands keep for the run: the receiver shift table (pairs of
// receiver position and time shift, from the time-shift file or the header editor) and the
// last window of the mute at the picks.

#include <algorithm>
#include <vector>

namespace velk {

// Receiver positions (m) and time shifts (ms), pair by pair; `count` pairs are in use. Its
// room is the store's MAXTRACES (Fit).
struct ReceiverShiftTable {
    std::vector<float> positions;
    std::vector<float> shifts;
    int count = 0;

    int Capacity() const { return static_cast<int>(std::min(positions.size(), shifts.size())); }
    // Room for n pairs; a table of another size starts again zero-filled with count 0.
    void Fit(int n)
    {
        if (Capacity() == n && positions.size() == shifts.size()) return;
        positions.assign(static_cast<size_t>(std::max(n, 0)), 0.0f);
        shifts.assign(static_cast<size_t>(std::max(n, 0)), 0.0f);
        count = 0;
    }
};

// The remembered window of "Mute(picked arrivale)", ms.
struct MuteWindow {
    float taperBefore = 30.0f;
    float window = 30.0f;
    float taperAfter = 30.0f;
};

struct InteractiveEditState {
    ReceiverShiftTable shiftTable;
    MuteWindow muteWindow;
    int geometryFirstRow = 0;  // the geometry editor's page, kept for its next opening
};

}  // namespace velk
