#include "platform/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace velk {

namespace {

// The test hook. Plain static state on purpose: it is set and cleared by single-threaded tests.
std::function<bool(size_t)>& FaultInjector() {
    static std::function<bool(size_t)> injector;
    return injector;
}

std::string ErrnoText(int err) {
    char buf[256];
    // GNU strerror_r returns the message (possibly not in buf).
    return ::strerror_r(err, buf, sizeof buf);
}

// The folder part of a path ("." when there is none), for syncing the folder after a rename.
std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// A link to the target is kept: the new bytes replace the file it points to.
std::string ResolveTarget(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string resolved(real);
            std::free(real);
            return resolved;
        }
    }
    return path;
}

// A name nobody else is likely to pick, in the target's folder: "<name>.tmpXXXXXX".
std::string TempName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    uint64_t seed = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    seed ^= static_cast<uint64_t>(::getpid()) << 32;
    seed += 0x9E3779B97F4A7C15ull * (counter.fetch_add(1, std::memory_order_relaxed) + 1);
    std::string name = target + ".tmp";
    for (int i = 0; i < 6; ++i) {
        seed ^= seed >> 33;
        seed *= 0xff51afd7ed558ccdull;
        seed ^= seed >> 29;
        name += digits[seed % 62];
    }
    return name;
}

constexpr size_t kBufferSize = 64 * 1024;

}  // namespace

void AtomicFileWriter::SetFaultInjector(std::function<bool(size_t bytesSoFar)> injector) {
    FaultInjector() = std::move(injector);
}

AtomicFileWriter::AtomicFileWriter(std::string path) : path_(std::move(path)) {
    if (path_.empty()) {
        failed_ = true;
        error_ = "no file name given";
        return;
    }
    std::string target = ResolveTarget(path_);
    // O_EXCL with our own random names instead of mkstemp: mkstemp creates the file 0600,
    // whereas this way a new file gets the usual 0666 less the umask.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = TempName(target);
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            tempPath_ = std::move(name);
            break;
        }
        if (errno != EEXIST) {
            int err = errno;
            failed_ = true;
            error_ = "cannot create a temporary file beside \"" + path_ + "\": " + ErrnoText(err);
            return;
        }
    }
    if (fd_ < 0) {
        failed_ = true;
        error_ = "cannot create a temporary file beside \"" + path_ + "\": no free name";
        return;
    }
    // An existing file keeps its permission bits.
    struct stat st;
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        (void)::fchmod(fd_, st.st_mode & 07777);
    }
    buffer_.reserve(kBufferSize);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tempGone_ && !tempPath_.empty()) ::unlink(tempPath_.c_str());
}

void AtomicFileWriter::Fail(std::string message) {
    if (!failed_) error_ = std::move(message);
    failed_ = true;
}

bool AtomicFileWriter::WriteAll(const char* data, size_t size) {
    while (size > 0) {
        size_t chunk = size < static_cast<size_t>(SSIZE_MAX) ? size : static_cast<size_t>(SSIZE_MAX);
        ssize_t n = ::write(fd_, data, chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            Fail("cannot write \"" + tempPath_ + "\": " + ErrnoText(err));
            return false;
        }
        if (n == 0) {  // should not happen for a regular file; do not spin
            Fail("cannot write \"" + tempPath_ + "\": no progress");
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool AtomicFileWriter::Flush() {
    if (failed_ || committed_ || fd_ < 0) return false;
    if (buffer_.empty()) return true;
    bool ok = WriteAll(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok;
}

bool AtomicFileWriter::Write(const void* data, size_t size) {
    if (failed_) return false;
    if (committed_ || fd_ < 0) {
        Fail("write after commit to \"" + path_ + "\"");
        return false;
    }
    if (auto& injector = FaultInjector(); injector && !injector(written_)) {
        Fail("cannot write \"" + tempPath_ + "\": injected write error");
        return false;
    }
    if (size == 0) return true;
    const char* bytes = static_cast<const char*>(data);
    if (buffer_.size() + size <= kBufferSize) {
        buffer_.insert(buffer_.end(), bytes, bytes + size);
    } else {
        if (!Flush()) return false;
        if (size >= kBufferSize) {
            if (!WriteAll(bytes, size)) return false;
        } else {
            buffer_.insert(buffer_.end(), bytes, bytes + size);
        }
    }
    written_ += size;
    return true;
}

bool AtomicFileWriter::Commit() {
    if (committed_) return true;
    if (!failed_ && fd_ >= 0) {
        if (Flush()) {
            if (::fsync(fd_) != 0) {
                int err = errno;
                Fail("cannot sync \"" + tempPath_ + "\": " + ErrnoText(err));
            }
        }
        int rc = ::close(fd_);
        fd_ = -1;
        if (rc != 0 && !failed_) {
            int err = errno;
            Fail("cannot close \"" + tempPath_ + "\": " + ErrnoText(err));
        }
    }
    if (!failed_) {
        std::string target = ResolveTarget(path_);
        if (::rename(tempPath_.c_str(), target.c_str()) != 0) {
            int err = errno;
            Fail("cannot replace \"" + path_ + "\": " + ErrnoText(err));
        } else {
            committed_ = true;
            tempGone_ = true;
            // Make the rename itself durable; a failure here no longer endangers the old file.
            int dir = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (dir >= 0) {
                (void)::fsync(dir);
                ::close(dir);
            }
            return true;
        }
    }
    // Failed: the target stays as it was; drop the temporary file now.
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty() && !tempGone_) ::unlink(tempPath_.c_str());
    tempGone_ = true;
    return false;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    AtomicFileWriter writer(path);
    bool ok = writer.Write(bytes.data(), bytes.size()) && writer.Commit();
    if (error) *error = ok ? std::string() : writer.Error();
    return ok;
}

}  // namespace velk
