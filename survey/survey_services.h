#pragma once
// What the workspace uses of the survey and program-exchange side besides the file group: the
// survey flags, the sibling-program paths, the registered modules, and the state of the
// automatic processing on the view timer.

#include <array>
#include <cstdint>
#include <string>

namespace velk {

class Profile;

struct SurveyFlags {
    int openLineRequest = 0;  // 1: the acquisition start asked to open a survey line
    int appendFiles = 0;      // 1: the last command appended several files into one record
    int applyShift = 0;       // 1: the header editor runs in time-shift mode
};

// Paths of the sibling programs (keys NordalisString, Quessil, MandroveString and
// RostrelLocation); the defaults are executables beside our own.
struct SiblingProgramPaths {
    SiblingProgramPaths();
    std::string nordalis;
    std::string quessil;
    std::string mandrove;
    std::string rostrel;
};

// Registered modules: NModule (0..6) and Module0..Module5, section "general".
struct RegisteredModules {
    static constexpr int kMax = 6;
    static constexpr const char* kSection = "general";
    RegisteredModules();
    // Reads NModule (clamped to 0..6) and Module0..Module5.
    void Load(const Profile& profile);
    // Writes NModule (clamped) and Module0 .. Module<count-1>.
    void Save(Profile& profile) const;
    int Count() const;  // count clamped to 0..6
    // Adds a path as the next module; false when six are registered already.
    bool Register(const std::string& path);
    // Removes the last registered module (its path goes back to the default, so the ids of
    // the others stay); false when none is registered.
    bool DeleteLast();

    int count = 0;
    std::array<std::string, kMax> names;  // defaults "module 0" .. "module 5"
};

// The automatic processing on the view timer (its running flag is display.automaticProcessing).
struct AutomaticProcessingState {
    static constexpr int kShowLastFile = 0;
    static constexpr int kCdpStacking = 1;
    static constexpr int kRefraction = 2;
    int seconds = 0;             // shown in the status text; 0 at each start
    int ticks = 0;               // CDP stacking: counts to 5
    int64_t lastFileTime = 0;    // modification time (s since 1970) of the newest file read
    int mode = kShowLastFile;
    std::string folder;          // the watched folder
    int icon = 128;              // the frame's icon as last set by a tick (228 or 128)
    bool inTick = false;         // a tick is running (a message box inside it runs the timer)
};

}  // namespace velk
