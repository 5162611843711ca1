#pragma once
// Starting the sibling programs: detached children that we never wait for, but whose exit
// status we collect so that none is left as a zombie.
//
// A child starts from its path (no PATH search) with an argument vector, in a given folder,
// with stdin from /dev/null, in a session of its own and with no descriptor of ours beyond
// stdout and stderr. glibc reports a missing, unreadable or non-executable file at once, so a
// failed start is known when SpawnDetached returns.
//
// Only the pids started here are ever waited for: the toolkit reaps the children it starts
// itself, so a waitpid(-1) would steal their status.

#include <string>
#include <sys/types.h>
#include <vector>

namespace velk {

struct SpawnResult {
    pid_t pid = -1;     // the child, when it started
    std::string error;  // why it did not start, when it did not
    bool Ok() const { return pid > 0; }
};

// Starts `executable` with args (argv[0] is the executable itself) in workingFolder (empty:
// ours). Collects the status of children that have ended first.
SpawnResult SpawnDetached(const std::string& executable, const std::vector<std::string>& args,
                          const std::string& workingFolder);

// True once our child `pid` has ended (its status is then collected); true as well for a pid
// that is not, or no longer, one of ours.
bool HasExited(pid_t pid);

// Collects the status of every child of ours that has ended; returns how many were collected.
int ReapChildren();

// The starts a workspace makes, behind an interface so that tests can record them and act for
// the child instead.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    virtual SpawnResult Spawn(const std::string& executable, const std::vector<std::string>& args,
                              const std::string& workingFolder) = 0;
    virtual bool HasExited(pid_t pid) = 0;
    virtual void ReapChildren() = 0;
};

// The real one, over the functions above.
class PosixProcessLauncher : public ProcessLauncher {
public:
    SpawnResult Spawn(const std::string& executable, const std::vector<std::string>& args,
                      const std::string& workingFolder) override;
    bool HasExited(pid_t pid) override;
    void ReapChildren() override;
};

}  // namespace velk
