#include "platform/paths.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "platform/profile.h"

namespace velk {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string WithoutTrailingSlashes(std::string s)
{
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

}  // namespace

std::string HomeDir()
{
    if (const char* h = std::getenv("HOME"); h && *h) return WithoutTrailingSlashes(h);
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    struct passwd pw {};
    struct passwd* result = nullptr;
    if (::getpwuid_r(::getuid(), &pw, buffer.data(), buffer.size(), &result) == 0 && result &&
        result->pw_dir && *result->pw_dir) {
        return WithoutTrailingSlashes(result->pw_dir);
    }
    return ".";
}

std::string DataRoot()
{
    if (const char* v = std::getenv("VELKARINE_HOME"); v && *v) return WithoutTrailingSlashes(v);
    return HomeDir() + "/.local/share/velkarine";
}

std::string MapWindowsPath(std::string_view path) { return MapWindowsPath(path, DataRoot()); }

std::string MapWindowsPath(std::string_view path, std::string_view root)
{
    std::string slashed(path);
    for (char& c : slashed) {
        if (c == '\\') c = '/';
    }
    if (slashed.size() < 2 || !IsAsciiLetter(slashed[0]) || slashed[1] != ':') return slashed;

    // Drive path: normalise its parts the way Windows does, then hang them under the root.
    std::vector<std::string_view> parts;
    const std::string_view rest = std::string_view(slashed).substr(2);
    size_t pos = 0;
    while (pos <= rest.size()) {
        size_t end = rest.find('/', pos);
        if (end == std::string_view::npos) end = rest.size();
        const std::string_view part = rest.substr(pos, end - pos);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        pos = end + 1;
    }
    std::string out = WithoutTrailingSlashes(std::string(root));
    for (const std::string_view part : parts) {
        if (out.empty() || out.back() != '/') out += '/';
        out += part;
    }
    return out;
}

std::string OwnExecutableDir()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return ".";
    const auto folder = exe.parent_path().string();
    return folder.empty() ? "." : folder;
}

std::string SiblingProgramPath(std::string_view name)
{
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    if (name.size() > 4) {
        const std::string_view ext = name.substr(name.size() - 4);
        if (ext[0] == '.' && Lower(ext[1]) == 'e' && Lower(ext[2]) == 'x' && Lower(ext[3]) == 'e')
            name.remove_suffix(4);
    }
    std::string folder = OwnExecutableDir();
    if (folder.back() != '/') folder += '/';
    return folder + std::string(name);
}

std::string DriveMountKey(char drive)
{
    if (!IsAsciiLetter(drive)) return {};
    return std::string("Drive_") + Upper(drive);
}

std::string DefaultDriveMountPoint(char drive)
{
    if (!IsAsciiLetter(drive)) return {};
    return std::string("/media/velkarine/") + Lower(drive);
}

std::string DriveMountPoint(const Profile& profile, char drive)
{
    std::string mount = DefaultDriveMountPoint(drive);
    if (mount.empty()) return mount;
    std::string stored;
    if (profile.ReadString(Profile::kGeneral, DriveMountKey(drive), stored) && !stored.empty())
        mount = WithoutTrailingSlashes(std::move(stored));
    return mount;
}

std::string WorkingFolder()
{
    std::error_code ec;
    auto cwd = std::filesystem::current_path(ec);
    if (ec) return ".";
    return cwd.string();
}

}  // namespace velk
