#include "platform/process.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velk {

namespace {

// Our own children that have not been collected yet.
std::mutex childrenMutex;
std::vector<pid_t>& Children()
{
    static std::vector<pid_t> children;
    return children;
}

// Collects `pid` if it has ended; true when it has (or is not waitable any more).
bool CollectLocked(pid_t pid)
{
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid, &status, WNOHANG);
    } while (r < 0 && errno == EINTR);
    return r != 0;
}

std::string ErrorText(const std::string& executable, int error)
{
    return "Cannot start " + executable + ": " + std::strerror(error);
}

}  // namespace

SpawnResult SpawnDetached(const std::string& executable, const std::vector<std::string>& args,
                          const std::string& workingFolder)
{
    ReapChildren();
    SpawnResult result;
    if (executable.empty()) {
        result.error = ErrorText(executable, ENOENT);
        return result;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(executable.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (!workingFolder.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);

    pid_t pid = -1;
    const int error = ::posix_spawn(&pid, executable.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        result.error = ErrorText(executable, error);
        return result;
    }
    std::lock_guard lock(childrenMutex);
    Children().push_back(pid);
    result.pid = pid;
    return result;
}

bool HasExited(pid_t pid)
{
    std::lock_guard lock(childrenMutex);
    auto& children = Children();
    const auto it = std::find(children.begin(), children.end(), pid);
    if (it == children.end()) return true;
    if (!CollectLocked(pid)) return false;
    children.erase(it);
    return true;
}

int ReapChildren()
{
    std::lock_guard lock(childrenMutex);
    auto& children = Children();
    const auto before = children.size();
    std::erase_if(children, [](pid_t pid) { return CollectLocked(pid); });
    return static_cast<int>(before - children.size());
}

SpawnResult PosixProcessLauncher::Spawn(const std::string& executable, const std::vector<std::string>& args,
                                        const std::string& workingFolder)
{
    return SpawnDetached(executable, args, workingFolder);
}

bool PosixProcessLauncher::HasExited(pid_t pid) { return velk::HasExited(pid); }

void PosixProcessLauncher::ReapChildren() { velk::ReapChildren(); }

}  // namespace velk
