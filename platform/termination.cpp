#include "platform/termination.h"

#include <csignal>

namespace velk {

namespace {

volatile std::sig_atomic_t requested = 0;

extern "C" void NoteTermination(int) { requested = 1; }

}  // namespace

void WatchTerminationRequests()
{
    static bool installed = false;
    if (installed) return;
    installed = true;
    struct sigaction action {};
    action.sa_handler = NoteTermination;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
}

bool TerminationRequested() { return requested != 0; }

}  // namespace velk
