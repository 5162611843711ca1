#include "platform/file_ops.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velk {

namespace {

LocalTime LocalOf(time_t t)
{
    struct tm tm {};
    localtime_r(&t, &tm);
    LocalTime l;
    l.year = tm.tm_year + 1900;
    l.month = tm.tm_mon + 1;
    l.day = tm.tm_mday;
    l.hour = tm.tm_hour;
    l.minute = tm.tm_min;
    l.second = tm.tm_sec;
    return l;
}

// Every byte of `in` to `out`: in-kernel copies where the file systems allow, else reads and
// writes.
bool CopyBytes(int in, int out, off_t size)
{
    off_t left = size;
    while (left > 0) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(left), 0);
        if (n > 0) {
            left -= n;
            continue;
        }
        if (n == 0) break;  // the source got shorter: the read loop below finds its end
        if (errno == EINTR) continue;
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
        break;
    }
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer.data() + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return false;
            done += w;
        }
    }
}

}  // namespace

std::vector<FileStamp> PosixFileOps::ListFiles(const std::string& folder)
{
    std::vector<FileStamp> files;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return files;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (::stat((folder + "/" + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        files.push_back({name, LocalOf(st.st_mtime)});
    }
    ::closedir(dir);
    std::sort(files.begin(), files.end(), [](const FileStamp& a, const FileStamp& b) { return a.name < b.name; });
    return files;
}

bool PosixFileOps::CopyFile(const std::string& from, const std::string& to)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return false;
    }
    std::string temp = to + ".tmpXXXXXX";
    const int out = ::mkostemp(temp.data(), O_CLOEXEC);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = CopyBytes(in, out, st.st_size);
    ::close(in);
    ok = ok && ::fchmod(out, st.st_mode & 0777) == 0 && ::fsync(out) == 0;
    ok = ::close(out) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), to.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

bool PosixFileOps::MoveFile(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the no-replace rename: look first.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0 || errno != ENOENT) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool PosixFileOps::IsFolder(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileOps::MakeFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    struct stat st {};
    return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace velk
