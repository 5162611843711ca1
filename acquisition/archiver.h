#pragma once
// Archiving of the acquisition data folder onto removable media: today's records, today's
// file lists with their records, and single files or lists picked in "Copy files".
//
// A copy goes to a temporary name on the medium, is synced and renamed (FileOps::CopyFile), so
// a failed copy never leaves a cut file under a record's name. A failed copy is the disk-full
// prompt: OK makes the folder again and retries, Cancel gives the copy up. Archived originals
// are moved into a local folder of the same name inside the data folder; a move never replaces
// a file there, so an existing name leaves the original in the data folder, and says so.
// Every summary counts only what was done.
//
// "Today" is the local calendar date of a file's last write against the clock's time, taken
// once when an action starts; it also names the dated folders "QKWData_YYYY_MM_DD_hh_mm". The
// dated folder is made inside the medium's mount point and nowhere else: a medium that is not
// mounted (no mount point) cannot be written to, and says so.

#include <initializer_list>
#include <string>

namespace velk {

class Clock;
class FileOps;
class UiHost;

// The two-letter line ID of a line index (index 0 is "aa").
std::string LineIdOf(int index);

class Archiver {
public:
    Archiver(FileOps& files, const Clock& clock, UiHost& ui, int language);

    // What an action did, for the caller and the tests.
    struct Tally {
        int listsFound = 0;
        int listsCopied = 0;
        int listsMoved = 0;
        int filesFound = 0;
        int filesCopied = 0;
        int filesMoved = 0;
        int notCopied = 0;
        bool ended = false;  // a folder could not be made: the action stopped there
    };

    // "Copy all today waveform files to MO": today's ".sg2" files of `dataFolder`, after the
    // question, into "<medium>/QKWData_…" and then moved into "<dataFolder>/QKWData_…".
    Tally CopyTodayRecords(const std::string& dataFolder, const std::string& medium);
    // "Copy all today file list to MO": today's file lists ("xml" anywhere in the name) with their
    // records and result files, each list into a sub-folder named by its line ID on the medium
    // and in the local folder.
    Tally CopyTodayLists(const std::string& dataFolder, const std::string& medium);

    // "Copy files": one file of the data folder to the root of `destination`. 1 when copied.
    int CopySingleFile(const std::string& dataFolder, const std::string& name, const std::string& destination);
    // "Copy files": a file list with its in-use records and result files into
    // "<destination>/QKWData_<line ID>". Returns the number of files copied (the list
    // included), -1 when the folder could not be made.
    int CopyFileList(const std::string& dataFolder, const std::string& name, const std::string& destination);

    std::string DiskFullText() const;

private:
    // Copies with the disk-full prompt: 1 copied, 0 given up, -1 one of `folders` could not be
    // made again (said so). OK makes the folders again, in order, and retries.
    int CopyWithRetry(const std::string& from, const std::string& to, std::initializer_list<std::string> folders);
    void FolderFailed();

    FileOps& files_;
    const Clock& clock_;
    UiHost& ui_;
    int language_;
};

}  // namespace velk
