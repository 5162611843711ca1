#pragma once
// Starting the sibling programs (Rostrel, Quessil, Olvenar, Nordalis, Mandrove) and the
// command lines they get.
//
// Every start follows one pattern: the program's path is held (in the profile between runs),
// the child starts detached in the working folder, and when it cannot start the user is told,
// asked for the executable and the start is retried; Cancel ends the launch with 0.
//
// A command line is kept twice: as the one string the programs were written for (it starts
// with a blank; tests compare it byte for byte) and as the argument vector the child really
// gets. Every blank-separated word of a format is one argument, with its field's value put in
// whole, so a value with blanks (a file name) stays one argument and an empty value still
// gives its word ("-" for "-%s" with ""); a format of blanks only gives none.

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

class ProcessLauncher;
class UiHost;

struct CommandLine {
    std::string text;
    std::vector<std::string> args;

    // Appends `format`, each conversion ("%d", "%f", "%s", ...) replaced by the next of the
    // values, which the caller has formatted (in the C locale) already.
    CommandLine& Append(std::string_view format, std::initializer_list<std::string> values = {});
};

// " -Velkarine -%s": the refraction program with its word ("AUTOMATIC").
CommandLine RostrelCommandLine(const std::string& argument);
// " -%d %s" with 2: the dispersion program with its switch ("-MAM").
CommandLine DispersionCommandLine(const std::string& argument);
// " -%d %s " with 1 and the name, "-%d " with n, per point " -%f -%f -%f " with |a|, |b| and
// c, then " -%s " with the file name. n is clamped to the points the arrays hold.
CommandLine DispersionCurveCommandLine(int n, std::span<const float> a, std::span<const float> b,
                                       std::span<const float> c, const std::string& name,
                                       const std::string& fileName);
// " -Velkarine -%s -%s": the data viewer with its kind and layout word.
CommandLine OlvenarCommandLine(const std::string& kind, const std::string& layout);
// " ": the time-frequency viewer, which takes no argument.
CommandLine NordalisCommandLine();
// " %d %d %f ": a registered module with the record's traces, samples and interval (ms).
CommandLine ModuleCommandLine(int traces, int samples, float intervalMs);
// "%s -0": the converter turning one old file (its bare name) into the temporary file.
CommandLine KelvarnOpenCommandLine(const std::string& name);
// "%s  -1 -%s": the converter turning a file into a new one.
CommandLine KelvarnConvertCommandLine(const std::string& source, const std::string& output);

enum class SiblingProgram { Rostrel, Quessil, Olvenar, Nordalis, Mandrove };

// "Rostrel" ...: the executable's name, as the picker presets it.
const char* SiblingProgramName(SiblingProgram program);
// The text shown when the program cannot start.
std::string LaunchFailureText(SiblingProgram program, int language);
// Where Quessil and Mandrove are installed by their own setup (under the data root); empty
// for the others.
std::string FixedInstallPath(SiblingProgram program);

// What a launch needs besides the program and its command line.
struct LaunchServices {
    UiHost& ui;
    ProcessLauncher& launcher;
    std::string workingFolder;  // where the child runs
    int language = 0;
};

// The launch pattern: start heldPath; Quessil and Mandrove then try their fixed path (which
// becomes the held one); otherwise the failure text, then the file picker. A picked path
// becomes the held one and is started the same way. 1 when the child started, 0 when the user
// cancelled the picker.
int LaunchWithRetry(SiblingProgram program, std::string& heldPath, const CommandLine& line,
                    const LaunchServices& services);

int LaunchRostrel(std::string& path, const std::string& argument, const LaunchServices& services);
int LaunchDispersionProgram(std::string& path, const std::string& argument, const LaunchServices& services);
int LaunchDispersionProgramWithCurve(std::string& path, int n, std::span<const float> a, std::span<const float> b,
                                     std::span<const float> c, const std::string& name,
                                     const std::string& fileName, const LaunchServices& services);
// n points with c all 0 and the name " ".
int SendCurveToQuessil(std::string& path, int n, std::span<const float> a, std::span<const float> b,
                       const std::string& fileName, const LaunchServices& services);
int SendCurveToQuessilNamed(std::string& path, int n, std::span<const float> a, std::span<const float> b,
                            std::span<const float> c, const std::string& name, const std::string& fileName,
                            const LaunchServices& services);

}  // namespace velk
