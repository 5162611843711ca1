#pragma once
// Where the processing menu meets operations that the surface-wave subsystem provides:
// CWaveOperations::CorrelateWithReference ("Cross correlation (up to 2048)") and
// CWaveOperations::CoherenceSelected ("Coherence"), declared with the holder in
// app/operations.h. Until that subsystem replaces the bodies in surfacewave_seams.cpp, the
// operations change nothing and return 0, and the predicates below keep their menu items
// disabled.

namespace velk {

// True once CorrelateWithReference does its work.
bool ReferenceCorrelationAvailable();
// True once CoherenceSelected does its work.
bool CoherenceAvailable();

}  // namespace velk
