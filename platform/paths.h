#pragma once
// Where files live on Linux in place of the Windows paths the program was written around.
//
// Removable drives ("e:", "d:", "a:") become mount points held in the profile: section
// "General", key "Drive_<letter>" with the letter in upper case ("Drive_E"), default
// "/media/velkarine/<letter>" with the letter in lower case ("/media/velkarine/e").

#include <string>
#include <string_view>

namespace velk {

class Profile;

// $HOME, else the home folder of the user's passwd entry, else ".".
std::string HomeDir();

// $VELKARINE_HOME when set and not empty, else ~/.local/share/velkarine; no trailing '/'.
std::string DataRoot();

// A Windows absolute path with a drive letter maps under the data root, whatever the letter:
// "c:\wfft.dat" -> "<root>/wfft.dat", "D:\data\a.sg2" -> "<root>/data/a.sg2". Backslashes become
// '/', empty and "." parts drop out and ".." stops at the root, as on Windows. Any other path
// only has its backslashes turned into '/'.
std::string MapWindowsPath(std::string_view path);
std::string MapWindowsPath(std::string_view path, std::string_view root);

// The folder of our own executable (from /proc/self/exe); "." when it cannot be found.
std::string OwnExecutableDir();

// A sibling program beside our executable: "Quessil.exe" -> "<our folder>/Quessil". Only the
// last path part of `name` counts, and a final ".exe" (any case) is dropped.
std::string SiblingProgramPath(std::string_view name);

// The profile key and default mount point of a drive letter (either case). For a character
// that is not a letter the key and the default are empty.
std::string DriveMountKey(char drive);
std::string DefaultDriveMountPoint(char drive);
// The mount point of a drive: the profile's "Drive_<L>" in "General", else the default.
std::string DriveMountPoint(const Profile& profile, char drive);

// The process's current folder, of any length; "." when it cannot be found.
std::string WorkingFolder();

}  // namespace velk
