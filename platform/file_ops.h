#pragma once
// The file operations of the archiving: a folder's regular files with their last-write times,
// a copy that is never seen half written under its target name, a move that never replaces,
// the making of one folder and the test for one. PosixFileOps does them on the file system; tests put a fake
// in front of it to make single steps fail.

#include <string>
#include <vector>

#include "platform/clock.h"

namespace velk {

struct FileStamp {
    std::string name;   // without the folder
    LocalTime written;  // the last write, in the local calendar
};

class FileOps {
public:
    virtual ~FileOps() = default;
    // The regular files of a folder (links to regular files count), in name order; empty when
    // the folder cannot be read.
    virtual std::vector<FileStamp> ListFiles(const std::string& folder) = 0;
    // Copies `from` to `to`: the bytes go to a temporary name in the target's folder, are
    // synced, then renamed over `to`. False when any step fails; the temporary file is then
    // removed and `to` is as it was.
    virtual bool CopyFile(const std::string& from, const std::string& to) = 0;
    // Renames `from` to `to` in one step; false (and nothing moved) when `to` exists or the
    // rename fails.
    virtual bool MoveFile(const std::string& from, const std::string& to) = 0;
    // Makes the folder `path` (never its parents); true when it is made or already a folder.
    virtual bool MakeFolder(const std::string& path) = 0;
    // True when `path` is a folder (a removable medium's mount point is one while mounted).
    virtual bool IsFolder(const std::string& path) = 0;
};

class PosixFileOps : public FileOps {
public:
    std::vector<FileStamp> ListFiles(const std::string& folder) override;
    bool CopyFile(const std::string& from, const std::string& to) override;
    bool MoveFile(const std::string& from, const std::string& to) override;
    bool MakeFolder(const std::string& path) override;
    bool IsFolder(const std::string& path) override;
};

}  // namespace velk
