#pragma once
// Publishing the traveltime set to the refraction program's shared block "RostrelData"
// (request code -1, empty path). Callers test the set's block-open flag first.
//
// The block itself comes with the refraction exchange; until it exists no block is ever open,
// and publishing does nothing. The open roads call this already, so they need no change then.

namespace velk {

class CTraveltimeSet;

// Copies the set into the open block; 1 when it was published, 0 when no block is open.
int PublishTraveltimeSet(CTraveltimeSet& set);

}  // namespace velk
