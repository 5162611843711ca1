#pragma once
// Helpers of the GUI tests: a private virtual display per test process (so tests that run at
// the same time never share a screen), child processes with their own environment, and
// screenshots for a human to look at.

#include <gtest/gtest.h>

#include <wx/image.h>
#include <wx/imagpng.h>
#include <wx/window.h>

#include "toolkit/screen_fit.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace velk::gui {

using namespace std::chrono_literals;

// `dialog` and its OK button lie on the work area of the display (1024 x 768 in this process).
inline void ExpectOnScreen(wxWindow* dialog)
{
    const wxRect area = WorkAreaOf(dialog);
    const wxWindow* ok = dialog->FindWindow(wxID_OK);
    EXPECT_TRUE(area.Contains(dialog->GetScreenRect()));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->IsShownOnScreen() && area.Contains(ok->GetScreenRect()));
}

// Every window inside `parent`, depth first (a form's fields lie in a panel of their own).
inline std::vector<wxWindow*> Descendants(wxWindow* parent)
{
    std::vector<wxWindow*> out;
    for (wxWindow* child : parent->GetChildren()) {
        out.push_back(child);
        const std::vector<wxWindow*> inner = Descendants(child);
        out.insert(out.end(), inner.begin(), inner.end());
    }
    return out;
}

inline bool HaveProgram(const char* name)
{
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string dirs = path;
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// A child process; killed (by its own id) if still running when this goes away.
class Child {
public:
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child()
    {
        Kill();
        RemoveSharedBlocks();
    }

    // argv[0] is looked up in PATH; `env` entries replace or add variables; a working folder,
    // when given, is the child's current folder.
    bool Start(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {},
               const std::string& outputFile = {}, const std::vector<int>& keepFds = {},
               const std::string& workingFolder = {})
    {
        std::map<std::string, std::string> all;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            const size_t eq = entry.find('=');
            if (eq != std::string::npos) all[entry.substr(0, eq)] = entry.substr(eq + 1);
        }
        for (const auto& [k, v] : env) all[k] = v;
        // Shared-memory blocks of its own, so that a test never meets a running program's blocks
        // and what a killed child left is removed with it.
        if (!all.contains("VELKARINE_SHM_PREFIX")) {
            static int started = 0;
            shmPrefix_ = "velk-gui-" + std::to_string(::getpid()) + "-" + std::to_string(++started) + "-";
            all["VELKARINE_SHM_PREFIX"] = shmPrefix_;
        }
        std::vector<std::string> envStrings;
        for (const auto& [k, v] : all) envStrings.push_back(k + "=" + v);
        std::vector<char*> envp;
        for (std::string& s : envStrings) envp.push_back(s.data());
        envp.push_back(nullptr);
        std::vector<std::string> args = argv;
        std::vector<char*> argp;
        for (std::string& s : args) argp.push_back(s.data());
        argp.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (!outputFile.empty()) {
            posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            posix_spawn_file_actions_adddup2(&actions, 1, 2);
        }
        if (!workingFolder.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
        (void)keepFds;  // inherited: posix_spawn keeps descriptors without FD_CLOEXEC
        const int rc = posix_spawnp(&pid_, args[0].c_str(), &actions, nullptr, argp.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) pid_ = -1;
        return pid_ > 0;
    }

    // The exit code, or nullopt when it did not end in time (or ended by a signal).
    std::optional<int> Wait(std::chrono::milliseconds timeout)
    {
        if (pid_ <= 0) return std::nullopt;
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            const pid_t r = ::waitpid(pid_, &status, WNOHANG);
            if (r == pid_) {
                pid_ = -1;
                if (WIFEXITED(status)) return WEXITSTATUS(status);
                return std::nullopt;
            }
            std::this_thread::sleep_for(20ms);
        }
        return std::nullopt;
    }

    void Kill()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            for (int i = 0; i < 100 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) std::this_thread::sleep_for(20ms);
            if (::waitpid(pid_, &status, WNOHANG) == 0) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
            }
            pid_ = -1;
        }
    }

    bool Running() const { return pid_ > 0; }
    // Sends `signal` and returns at once.
    void Send(int signal) const
    {
        if (pid_ > 0) ::kill(pid_, signal);
    }

private:
    void RemoveSharedBlocks()
    {
        if (shmPrefix_.empty()) return;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", ec)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with(shmPrefix_)) ::shm_unlink(("/" + name).c_str());
        }
    }

    pid_t pid_ = -1;
    std::string shmPrefix_;
};

// An X server of our own on a free display number ("-displayfd"), or none when Xvfb is not
// installed (then the tests use $DISPLAY if there is one).
class PrivateDisplay {
public:
    // A screen of `geometry` ("1280x1024x24": width x height x depth).
    explicit PrivateDisplay(const std::string& geometry = "1280x1024x24")
    {
        if (!HaveProgram("Xvfb")) {
            if (const char* d = std::getenv("DISPLAY")) name_ = d;
            return;
        }
        int fds[2];
        if (::pipe(fds) != 0) return;
        const std::string fd = std::to_string(fds[1]);
        server_.Start({"Xvfb", "-displayfd", fd, "-screen", "0", geometry, "-nolisten", "tcp"}, {},
                      "/dev/null", {fds[1]});
        ::close(fds[1]);
        std::string number;
        char c;
        // The server writes its display number and a new line once it accepts clients.
        while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(fds[0]);
        if (!number.empty()) name_ = ":" + number;
    }
    const std::string& Name() const { return name_; }
    bool Ok() const { return !name_.empty(); }

private:
    Child server_;
    std::string name_;
};

// The program's report ("key=value" lines) as a map.
inline std::map<std::string, std::string> ParseReport(const std::string& text)
{
    std::map<std::string, std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) out[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return out;
}

// The environment of one scripted run of the program: the private display, its own profile and
// home folder and the UI script, plus `more` (LANG, the shutdown command, ...).
inline std::map<std::string, std::string> ScriptedRun(const PrivateDisplay& display, const std::string& profile,
                                                      const std::string& home, const std::string& script,
                                                      std::map<std::string, std::string> more = {})
{
    more.insert({{"DISPLAY", display.Name()},
                 {"VELKARINE_PROFILE", profile},
                 {"VELKARINE_HOME", home},
                 {"VELKARINE_UI_SCRIPT", script}});
    return more;
}

// Where the screenshots go (the build tree), created on demand.
inline std::string ShotPath(const std::string& name)
{
    const std::string dir = VELK_SHOTS_DIR;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return dir + "/" + name;
}

// A screenshot of the whole display; false when `import` is missing or fails.
inline bool Screenshot(const std::string& display, const std::string& path)
{
    if (!HaveProgram("import")) return false;
    Child import;
    if (!import.Start({"import", "-display", display, "-window", "root", path}, {}, "/dev/null")) return false;
    const std::optional<int> rc = import.Wait(20s);
    return rc && *rc == 0;
}

// The pixels of one colour in a screenshot (-1 when it cannot be read).
inline int Pixels(const std::string& png, unsigned char r, unsigned char g, unsigned char b)
{
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    wxImage image;
    if (!image.LoadFile(wxString::FromUTF8(png), wxBITMAP_TYPE_PNG)) return -1;
    int n = 0;
    for (int py = 0; py < image.GetHeight(); ++py)
        for (int px = 0; px < image.GetWidth(); ++px)
            n += image.GetRed(px, py) == r && image.GetGreen(px, py) == g && image.GetBlue(px, py) == b ? 1 : 0;
    return n;
}

inline bool WaitForFile(const std::string& path, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (std::filesystem::exists(path)) return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

}  // namespace velk::gui
