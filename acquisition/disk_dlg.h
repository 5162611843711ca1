#pragma once
// Dialog 262 "Disk" of the acquisition screen and dialog 274 "Copy files", its file picker.
//
// "Disk" is a keypad dialog: nine rows, each with the button of one action. Up/Down move the
// row (0..8, clamped) and focus the row's button, whose action becomes pending; Enter runs the
// pending action, or closes the dialog as OK when none is pending; Left/Right on rows 5 and 6
// switch between the ID edit (or the line-ID edit) and the row's button, on other rows they
// drop the pending action and focus OK. A click on a button runs its action the same way. The
// dialog opens on row 0 with action 0 pending. The controls are read on keys and buttons; the
// ID is checked only when "Set ID" needs it.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "acquisition/keypad.h"
#include "acquisition/keypad_dialogs.h"
#include "platform/uihost.h"

namespace velk {

class CAcquisitionManager;
class Clock;
class FileOps;

// The actions of "Disk", numbered as its rows.
enum DiskAction : int {
    kDiskNone = -1,
    kDiskTodayLists = 0,
    kDiskTodayRecords = 1,
    kDiskListToMo = 2,
    kDiskListToFd = 3,
    kDiskSave = 4,
    kDiskSetId = 5,
    kDiskSetLineId = 6,
    kDiskRecordsToMo = 7,
    kDiskRecordsToFd = 8,
};

class CDiskDlg {
public:
    static constexpr const char* kClass = "CDiskDlg";
    static constexpr const char* kIdNo = "ID No.";
    static constexpr const char* kLineId = "Line ID";
    static constexpr int kRows = 9;
    // The button of each row (its English text, also its name); row n runs action n.
    static constexpr std::array<const char*, kRows> kRowButtons{
        "Copy all today file list to MO", "Copy all today waveform files to MO", "Copy file list to MO",
        "Copy file list to FD",           "Save current data",                   "Set ID",
        "Set line ID",                    "Copy waveform files to MO",           "Copy waveform files to FD"};
    // The buttons in the order the dialog shows them.
    static constexpr std::array<int, kRows> kButtonOrder{4, 5, 6, 2, 3, 7, 8, 1, 0};

    int action = kDiskTodayLists;  // pending action, -1 none
    std::string diskFullText;
    int idNo = 0;                  // the next record number
    int row = 0;                   // 0..8
    std::string lineId;

    // The keypad on the model; each leaves the control to focus in `focus`.
    void Up();
    void Down();
    void Left();
    void Right();
    std::string focus = kRowButtons[0];

    // Runs an action on the dialog's values (the ID edit's value is in idNo); returns true
    // when the dialog is to close as OK. `keypad` is true when Enter ran it.
    using Runner = std::function<bool(int action, bool keypad, CDiskDlg& dlg)>;
    // The request: the two edits, the nine buttons and the keys. It must not outlive the
    // dialog object.
    DialogRequest Request(int language, Runner run);

private:
    void SelectRow(int r);
    KeypadState keypad_;
};

// The English label of a Disk button in the chosen language.
std::string DiskButtonLabel(const char* english, int language);

// Dialog 274: the files "qk*.<extension>" of the data folder (the case of the name does not
// matter), one of which is copied to the destination.
struct CCopyFilesDlg {
    static constexpr const char* kClass = "CCopyFilesDlg";
    static constexpr const char* kFiles = "Files";
    std::string destination;        // the medium's mount point
    std::string diskFullText;
    std::string extension = "xml";  // "xml" or "sg2"
    std::string selection;          // the chosen name after OK, empty when none

    // Sets the extension; returns the previous one.
    std::string SetExtension(const std::string& ext);
    // The matching names of a folder's files, in name order.
    static std::vector<std::string> MatchingFiles(FileOps& files, const std::string& folder, const std::string& ext);
    DialogRequest Request(int language, const std::vector<std::string>& names, int& chosen);
};

// What "Disk" works with. The pointers belong to the caller.
struct DiskContext {
    UiHost* ui = nullptr;
    int language = 0;
    CAcquisitionManager* manager = nullptr;
    FileOps* files = nullptr;
    const Clock* clock = nullptr;
    std::string dataFolder;  // the data folder (the working folder when the manager's is empty)
    std::string moFolder;    // the MO drive's mount point
    std::string fdFolder;    // the floppy drive's mount point
    std::string moKey;       // the profile keys that hold the two mount points
    std::string fdKey;
    // The record shown: trace count, data kind and dispersion flag.
    int traceCount = 0;
    int dataKind = 0;
    int dispersionFlag = 0;
    // Saves the shown record as the line's next record file; 1 when saved.
    std::function<int()> saveRecord;
    // The keypad dialogs "Set ID" (a record ID) and "Set line ID" (a line index): true after
    // OK with the value changed.
    std::function<bool(UiHost& ui, int language, int& id)> editId = CSetIdDlg::Edit;
    std::function<bool(UiHost& ui, int language, int& index)> editLineIndex = CSetLineIdDlg::Edit;
};

// True when the medium's mount point is there; otherwise says the drive is not mounted, with
// the mount point and the profile key that holds it.
bool MediumMounted(const DiskContext& ctx, const std::string& mountPoint, const std::string& key);

// "Copy files" over the data folder: 1 when something was copied.
int RunCopyFiles(const DiskContext& ctx, const std::string& extension, const std::string& destination);

}  // namespace velk
