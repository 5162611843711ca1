#include "platform/shared_block.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velk {

namespace {

std::mutex blocksMutex;

std::optional<std::string>& Prefix()
{
    static std::optional<std::string> prefix;
    return prefix;
}

// Object names opened by this process, to be unlinked at shut-down.
std::vector<std::string>& Opened()
{
    static std::vector<std::string> names;
    return names;
}

std::string Reason(const std::string& what, const std::string& object)
{
    return what + " " + object + ": " + std::strerror(errno);
}

}  // namespace

const std::string& SharedBlockPrefix()
{
    std::lock_guard lock(blocksMutex);
    auto& prefix = Prefix();
    if (!prefix) {
        const char* v = std::getenv("VELKARINE_SHM_PREFIX");
        prefix = v ? std::string(v) : std::string();
    }
    return *prefix;
}

void SetSharedBlockPrefix(std::string prefix)
{
    std::lock_guard lock(blocksMutex);
    Prefix() = std::move(prefix);
}

std::string SharedBlockObjectName(std::string_view name)
{
    return "/" + SharedBlockPrefix() + std::string(name);
}

SharedBlock::~SharedBlock() { Close(); }

bool SharedBlock::Open(std::string_view name, size_t size, std::string* error)
{
    Close();
    auto fail = [&](std::string reason) {
        if (error) *error = std::move(reason);
        return false;
    };
    const std::string object = SharedBlockObjectName(name);
    if (name.empty() || object.find('/', 1) != std::string::npos || object.size() > 255) {
        return fail("Invalid shared memory name " + object);
    }
    if (size == 0) return fail("Empty shared memory block " + object);
    const int fd = ::shm_open(object.c_str(), O_CREAT | O_RDWR, 0600);
    if (fd < 0) return fail(Reason("Cannot open the shared memory", object));
    {
        std::lock_guard lock(blocksMutex);
        auto& opened = Opened();
        if (std::find(opened.begin(), opened.end(), object) == opened.end()) opened.push_back(object);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const std::string reason = Reason("Cannot examine the shared memory", object);
        ::close(fd);
        return fail(reason);
    }
    // Only grow: a child may hold a larger mapping of the same object.
    if (static_cast<uint64_t>(st.st_size) < size && ::ftruncate(fd, static_cast<off_t>(size)) != 0) {
        const std::string reason = Reason("Cannot size the shared memory", object);
        ::close(fd);
        return fail(reason);
    }
    void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    const int mapErrno = errno;
    ::close(fd);
    if (p == MAP_FAILED) {
        errno = mapErrno;
        return fail(Reason("Cannot map the shared memory", object));
    }
    data_ = static_cast<uint8_t*>(p);
    size_ = size;
    name_ = std::string(name);
    return true;
}

void SharedBlock::Close()
{
    if (data_) ::munmap(data_, size_);
    data_ = nullptr;
    size_ = 0;
}

std::string UnlinkSharedBlocks()
{
    std::lock_guard lock(blocksMutex);
    std::string failures;
    for (const std::string& object : Opened()) {
        if (::shm_unlink(object.c_str()) != 0 && errno != ENOENT) {
            failures += Reason("Cannot remove the shared memory", object) + "\n";
        }
    }
    Opened().clear();
    return failures;
}

}  // namespace velk
