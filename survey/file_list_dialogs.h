#pragma once
// The dialogs that edit a file list and its naming options, as core objects shown through the
// UiHost: "File list" (FileListEditModel, ten entries a page over a working copy of the list),
// "Property", "File name option", "Select file type", "Use information in file", and the two
// small shared ones, "Number of auxiliary channels" and "Offset". Each is a plain struct whose
// values change only on OK; the list's working copy goes back to the group only through
// StoreList after OK.

#include <array>
#include <string>
#include <vector>

#include "platform/uihost.h"
#include "survey/file_group.h"

namespace velk {

// "Number of auxiliary channels": 0..1000.
struct CAuxChannelCountDlg {
    static constexpr const char* kClass = "CAuxChannelCountDlg";
    int count = 0;
    DialogRequest Request(int language);
};

// "Offset": "Offset =" in m, -100000..100000.
struct COffsetDlg {
    static constexpr const char* kClass = "COffsetDlg";
    float offset = 0.0f;
    DialogRequest Request(int language);
};

// "Select file type": "SEG2" 0, "Torvane series" 1, "8 header file" 2, "Unknown" 3.
struct CSelectFileTypeDlg {
    static constexpr const char* kClass = "CSelectFileTypeDlg";
    int fileType = -1;
    DialogRequest Request(int language);
};

// "File name option": the naming pattern of one file type and its two from-file flags.
struct CFileNameOptionDlg {
    static constexpr const char* kClass = "CFileNameOptionDlg";
    std::string prefix;
    std::string extension;
    int digits = 0;
    int sourcePosition = 0;
    int receiverPosition = 0;
    DialogRequest Request(int language);
};

// "Use information in file": the two from-file flags of the current type.
struct CUseFileInfoDlg {
    static constexpr const char* kClass = "CUseFileInfoDlg";
    std::string note = "Check if you use source and receiver locations in files";  // shown as text
    int sourcePosition = 0;
    int receiverPosition = 0;
    DialogRequest Request(int language);
};

// "Property": a regular shot and receiver layout for the whole list.
struct CPropertyDlg {
    static constexpr const char* kClass = "CPropertyDlg";
    static constexpr int kVariableReceiver = 0;
    static constexpr int kFixedReceiver = 1;
    float firstSource = -0.5f;      // m
    float offset = 0.5f;            // m, source to first receiver
    float receiverInterval = 1.0f;  // m
    float sourceInterval = 2.0f;    // m
    float firstReceiver = 0.0f;     // m
    int layout = kVariableReceiver;
    DialogRequest Request(int language);
};

// "File list": the working copy of the list, ten rows a page.
class FileListEditModel {
public:
    static constexpr const char* kClass = "CFileListDlg";
    static constexpr int kRows = 10;
    static constexpr int kSlots = CFileGroup::kMaxFiles;
    static constexpr int kColumns = 7;
    // Column titles; the fields of row r are "<title> <r>", r = 1..10.
    static const std::array<const char*, kColumns> kTitles;
    static constexpr const char* kCount = "Number of files";
    static constexpr const char* kSourceFlag = "Apply source position in files";
    static constexpr const char* kReceiverFlag = "Apply receiver postion in files";
    static constexpr const char* kBack = "Back";
    static constexpr const char* kNext = "Next";
    static constexpr const char* kSetUp = "Set up";
    static constexpr const char* kSetAux = "Set # of aux.";
    static constexpr const char* kDelete = "Delete";
    static std::string FieldName(int column, int row);  // row 1..10

    // The group's entries and the current type's two flags into the copy; first page shown.
    void LoadList(const CFileGroup& group);
    // The page, the flags and the copy's entries back into the group; returns the count (the
    // caller sets entryCount to it).
    int StoreList(CFileGroup& group);

    // The request of the current page with its buttons; the object must outlive it. The
    // buttons "Set up" and "Set # of aux." ask their own dialogs through `ui`.
    DialogRequest Request(int language, UiHost& ui);
    // After the dialog: OK takes the page back.
    void Finish(bool ok);

    void Next();
    void Back();
    // "Property" on OK: every entry of the copy laid out; false on Cancel.
    bool SetUp(UiHost& ui, int language);
    bool SetAuxiliaries(UiHost& ui, int language);
    void DeleteSelected();

    int Count() const { return count_; }
    int FirstRow() const { return first_; }
    int SetUpRuns() const { return setUpRuns_; }
    const std::vector<FileListEntry>& Entries() const { return copy_; }

private:
    struct PageRow {
        FileListEntry entry;
        int index = 0;
        int selected = 0;
    };
    void TakePage();
    void ShowPage();
    void ClampCount();

    std::vector<FileListEntry> copy_ = std::vector<FileListEntry>(kSlots);
    std::array<PageRow, kRows> page_{};
    int count_ = 0;
    int countShown_ = 0;
    int first_ = 0;
    int sourceFlag_ = 0;
    int receiverFlag_ = 0;
    int setUpRuns_ = 0;
};

}  // namespace velk
