#pragma once
// The system's request to end (SIGTERM at a power-off or log-out). The handler only notes it;
// the program's event loop asks and takes its own exit road, without questions.

namespace velk {

// Installs the handler of SIGTERM (once; later calls do nothing).
void WatchTerminationRequests();
// True once SIGTERM has arrived.
bool TerminationRequested();

}  // namespace velk
