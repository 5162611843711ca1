// A stand-in for a sibling program in the launch tests. It writes to the file named by
// STANDIN_LOG the folder it runs in ("folder <path>") and each argument framed as "[<arg>]",
// one per line; with STANDIN_BLOCK (a shared-memory object name such as "/test-MyData") and
// STANDIN_BLOCK_SIZE it also copies that many bytes of the block into "<log>.block".

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

bool WriteFile(const std::string& path, const std::string& bytes)
{
    const std::string temp = path + ".part";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok && std::rename(temp.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* log = std::getenv("STANDIN_LOG");
    if (!log || !*log) return 2;
    std::string text = "folder ";
    char cwd[4096];
    text += ::getcwd(cwd, sizeof cwd) ? cwd : "?";
    text += "\n";
    for (int i = 1; i < argc; ++i) text += "[" + std::string(argv[i]) + "]\n";

    const char* block = std::getenv("STANDIN_BLOCK");
    const char* size = std::getenv("STANDIN_BLOCK_SIZE");
    if (block && size) {
        const size_t n = std::strtoul(size, nullptr, 10);
        const int fd = ::shm_open(block, O_RDONLY, 0);
        if (fd < 0) return 3;
        void* p = ::mmap(nullptr, n, PROT_READ, MAP_SHARED, fd, 0);
        ::close(fd);
        if (p == MAP_FAILED) return 4;
        const bool ok = WriteFile(std::string(log) + ".block", std::string(static_cast<const char*>(p), n));
        ::munmap(p, n);
        if (!ok) return 5;
    }
    return WriteFile(log, text) ? 0 : 6;
}
