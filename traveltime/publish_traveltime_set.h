#pragma once
// Publishing the traveltime set to the refraction program's shared block "RostrelData"
// (request code -1, empty path). Callers test the set's block-open flag first.
//
// The block needs the platform's named shared memory, which is not in the tree yet; until it
// is, no block is ever open and publishing does nothing. What comes here then, beside this
// function: OpenRostrelData, SetRostrelParameter, CopyToRostrelData (which this becomes with
// request -1 and an empty path) and CloseRostrelData for Workspace::Shutdown. The open roads
// call this already, so they need no change then.

namespace velk {

class CTraveltimeSet;

// Copies the set into the open block; 1 when it was published, 0 when no block is open.
int PublishTraveltimeSet(CTraveltimeSet& set);

}  // namespace velk
