#pragma once
// A ProcessLauncher for tests: it records every start and never starts anything. Paths in
// `failing` fail to start; `act` may do what the child would (write a module's output).

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/process.h"

namespace velk {

class FakeLauncher : public ProcessLauncher {
public:
    struct Start {
        std::string executable;
        std::vector<std::string> args;
        std::string folder;
        bool started = false;
    };

    SpawnResult Spawn(const std::string& executable, const std::vector<std::string>& args,
                      const std::string& folder) override
    {
        const bool ok = !failing.count(executable);
        starts.push_back({executable, args, folder, ok});
        if (!ok) return SpawnResult{-1, "Cannot start " + executable + ": No such file or directory"};
        if (act) act(starts.back());
        return SpawnResult{nextPid++, {}};
    }
    bool HasExited(pid_t) override { return exited; }
    void ReapChildren() override {}

    // The executables of the successful starts, in order.
    std::vector<std::string> Started() const
    {
        std::vector<std::string> out;
        for (const Start& s : starts)
            if (s.started) out.push_back(s.executable);
        return out;
    }

    std::set<std::string> failing;
    std::function<void(const Start&)> act;
    bool exited = true;
    std::vector<Start> starts;
    pid_t nextPid = 1000;
};

}  // namespace velk
