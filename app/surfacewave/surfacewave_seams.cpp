#include "app/surfacewave/surfacewave_seams.h"

#include "app/operations.h"

namespace velk {

bool ReferenceCorrelationAvailable() { return false; }
bool CoherenceAvailable() { return false; }

int CWaveOperations::CorrelateWithReference() { return 0; }
int CWaveOperations::CoherenceSelected() { return 0; }

}  // namespace velk
