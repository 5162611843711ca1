#pragma once
// Writes a file so that the old one survives any failure: the bytes go to a temporary file
// beside the target, which replaces the target only when Commit() sees no error.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string path);
    ~AtomicFileWriter();  // removes the temporary file unless committed
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool Write(const void* data, size_t size);  // false once any write failed (sticky)
    bool Write(std::string_view text) { return Write(text.data(), text.size()); }
    // Writes are buffered; Flush() hands the buffer to the temporary file now (Commit() does
    // it anyway). False once any write failed.
    bool Flush();
    // Flushes, syncs and renames over the target. False (and the target untouched) when any
    // earlier step failed or the rename fails.
    bool Commit();
    bool Failed() const { return failed_; }
    const std::string& Path() const { return path_; }
    const std::string& TempPath() const { return tempPath_; }
    const std::string& Error() const { return error_; }

    // Test hook: called before every Write() with the bytes accepted so far; returning false
    // makes that write fail. Pass an empty function to remove it. Not thread-safe.
    static void SetFaultInjector(std::function<bool(size_t bytesSoFar)> injector);

private:
    void Fail(std::string message);
    bool WriteAll(const char* data, size_t size);

    std::string path_;
    std::string tempPath_;
    std::string error_;
    int fd_ = -1;
    size_t written_ = 0;
    bool failed_ = false;
    bool committed_ = false;
    bool tempGone_ = false;  // renamed or removed
    std::vector<char> buffer_;
};

// Writes the whole of `bytes` to `path` atomically.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error = nullptr);

}  // namespace velk
