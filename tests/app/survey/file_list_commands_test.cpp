// The "Group (File list)" commands run headless, and the project file through the document.

#include "app/survey/file_list_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/formats/file_commands.h"
#include "app/formats/file_road_fixture.h"
#include "platform/byte_io.h"

namespace velk {
namespace {

using testing::FileRoad;

class FileListCommands : public ::testing::Test, public FileRoad {
protected:
    // A loaded table of two sources and three receivers, source 0 with two traces.
    void LoadTable()
    {
        CFileGroup& g = ws.fileGroup;
        g.AllocateTable(2, 3);
        g.sourceCount = 2;
        g.receiverCount = 3;
        g.sourcePositions[1] = 500;
        for (int r = 0; r < 3; ++r) g.receiverPositions[static_cast<size_t>(r)] = 100 * (r + 1);
        const std::vector<float> row = {1.0f, 2.0f, 3.0f, 4.0f};
        CTraceHeader h;
        h.Set(1, 100, 0, 1, 1, 0.0f, 500.0f, 4);
        g.table[0][0].SetTrace(row, h);
        h.Set(2, 300, 0, 1, 1, 0.0f, 500.0f, 4);
        g.table[0][2].SetTrace(row, h);
        h.Set(3, 200, 500, 1, 1, 0.0f, 500.0f, 4);
        g.table[1][1].SetTrace(row, h);
        g.dataLoaded = 1;
    }
};

TEST(FileListCommandTable, RowsAndRules)
{
    CommandTable t;
    AddFileListCommands(t);
    Profile profile = Profile::FromText("");
    NullUiHost ui;
    Workspace ws(profile, ui);
    RecentFileList recent;
    for (int id : {cmd::kShowFileList, cmd::kSaveFileListText, cmd::kSaveFileListTabular, cmd::kSaveFileListXml,
                   cmd::kShiftFileList}) {
        EXPECT_FALSE(t.IsEnabled(id, ws, recent)) << id;
    }
    EXPECT_TRUE(t.IsEnabled(cmd::kOpenFileList, ws, recent));
    EXPECT_TRUE(t.IsEnabled(cmd::kMakeFileList, ws, recent));
    ws.fileGroup.AddFile("f1.dat", 0, 0, 1);
    EXPECT_TRUE(t.IsEnabled(cmd::kShowFileList, ws, recent));
    EXPECT_EQ(t.Find(cmd::kShowFileList)->accelerator, "Ctrl+F");
}

TEST_F(FileListCommands, MakeFileListShowsFileZero)
{
    const std::string a = WriteEightHeader("s1.8hd", {900, 800, 700});
    const std::string b = WriteEightHeader("s2.8hd", {900, 800});
    CommandContext c = Context();
    ui.CancelFilesOpen();
    EXPECT_EQ(MakeFileList(c, true), 0);
    EXPECT_EQ(ws.fileGroup.entryCount, 0);

    ui.AnswerFilesOpen({b, a});
    ui.ExpectMessage("2 files have been opened!");
    // Both files carry source 300: the list's sources are used; their receivers differ, so
    // the files' own are offered, and the user takes the list's.
    ui.AnswerDialogWith("CUseFileInfoDlg", [](DialogRequest& r) {
        const bool offered = !r.Find("Source position")->BoolValue() && r.Find("Receiver position")->BoolValue();
        r.Find("Receiver position")->SetBool(false);
        return offered;
    });
    ui.AnswerDialog("CFileListDlg", {{"Source(m) 1", "-0.5"}, {"Receiver int.(m) 1", "2"}});
    ASSERT_EQ(MakeFileList(c, true), 2);
    const CFileGroup& g = ws.fileGroup;
    EXPECT_EQ(g.active, 1);
    EXPECT_EQ(g.entries[0].fileName, "s1.8hd");
    EXPECT_EQ(g.listFolder, folder.Path());
    ASSERT_EQ(ws.store.TraceCount(), 3);
    EXPECT_EQ(H(0).sourceHundredths, -50);
    EXPECT_EQ(H(2).receiverHundredths, 400);
    EXPECT_EQ(doc.currentFileName, "s1.8hd");
    EXPECT_EQ(doc.Path(), a);
}

TEST_F(FileListCommands, OpenTextListCancelKeepsTheListAndOkTakesIt)
{
    ws.fileGroup.AddFile("old5.dat", 1, 2, 3);
    const CFileGroup before = ws.fileGroup;
    testing::WriteFileText(folder.File("line.txt"), "1 0 0 1 0\n2 2 0 1 0\n");
    auto script = [&](bool ok) {
        ui.AnswerDialog("COpenDataFileDlg");
        ui.AnswerFileOpen(folder.File("line.txt"));
        ui.AnswerDialog("CSelectFileTypeDlg", {{"File type", "SEG2"}});
        ui.AnswerDialog("CFileNameOptionDlg");
        if (ok) {
            ui.AnswerDialog("CFileListDlg");
        } else {
            ui.CancelDialog("CFileListDlg");
        }
    };
    script(false);
    CommandContext c = Context();
    EXPECT_EQ(OpenFileList(c, false), 0);
    EXPECT_EQ(ws.fileGroup.entries, before.entries);
    EXPECT_EQ(ws.fileGroup.entryCount, 1);

    script(true);
    ui.ExpectMessage(folder.File("file0001.dat") + "\nThe file does not exist.");  // the pattern's name
    EXPECT_EQ(OpenFileList(c, false), 1);
    EXPECT_EQ(ws.fileGroup.entryCount, 2);
    EXPECT_EQ(ws.fileGroup.entries[1].shotDistance, 2.0f);
    EXPECT_EQ(ws.fileGroup.active, 1);
    const UiCall& open = ui.Calls()[1];
    ASSERT_EQ(open.kind, UiCallKind::OpenFile);
    EXPECT_EQ(open.file.filters.at(0).description, "File list(*.xml)");
}

TEST_F(FileListCommands, ShiftFileListReadsTheFileAgain)
{
    WriteEightHeader("k3.8hd", {500, 400});
    ws.fileGroup.listFolder = folder.Path();
    ws.fileGroup.AddFile("k3.8hd", 1.0f, 0.0f, 1.0f);
    ws.fileGroup.sourceFromFile[2] = 0;
    ui.AnswerDialog("COffsetDlg", {{"Offset", "2.5"}});
    EXPECT_EQ(FileRoad::Run(ShiftFileList), 1);
    EXPECT_EQ(ws.fileGroup.entries[0].shotDistance, 3.5f);
    ASSERT_EQ(ws.store.TraceCount(), 2);
    EXPECT_EQ(H(0).sourceHundredths, 350);
    EXPECT_EQ(H(0).receiverHundredths, 400);  // sorted by receiver
}

TEST_F(FileListCommands, ProjectFileThroughTheDocument)
{
    LoadTable();
    const std::string path = folder.File("line.QZ4");
    ASSERT_TRUE(doc.SaveRecord(ws, path, ui));  // Save As names a project file
    EXPECT_EQ(doc.fileType, kFileProject);
    ByteSink expected;
    ws.fileGroup.Save(expected);
    EXPECT_EQ(testing::ReadFileBytes(path), expected.Bytes());

    // Nothing loaded: the old file stays as it was.
    ws.fileGroup.dataLoaded = 0;
    ui.ExpectMessage("This file type cannot be saved. The file was not changed.");
    EXPECT_FALSE(doc.SaveRecord(ws, path, ui));
    EXPECT_EQ(testing::ReadFileBytes(path), expected.Bytes());

    FileRoad other;
    other.ui.ExpectMessage("# of sources=2 # of receivers=3 # of traces=3");
    ASSERT_TRUE(other.doc.LoadRecord(other.ws, path, other.ui));
    EXPECT_EQ(other.doc.fileType, kFileProject);
    const CFileGroup& g = other.ws.fileGroup;
    EXPECT_EQ(g.active, 1);
    EXPECT_EQ(g.dataLoaded, 1);
    EXPECT_EQ(g.currentIndex, 0);
    ASSERT_EQ(other.ws.store.TraceCount(), 2);
    EXPECT_EQ(other.H(1).receiverHundredths, 300);
    EXPECT_EQ(other.S(1, 3), 4.0f);
    EXPECT_EQ(other.ws.store.Params().selectionFlags[1], 1);

    // A wrong signature: the old counts and 0 traces; nothing changes.
    std::vector<uint8_t> bytes = expected.Bytes();
    bytes[0] = 'W';
    testing::WriteFileBytes(folder.File("bad.QZ4"), bytes);
    other.ui.ExpectMessage("# of sources=2 # of receivers=3 # of traces=0");
    EXPECT_FALSE(other.doc.LoadRecord(other.ws, folder.File("bad.QZ4"), other.ui));
    EXPECT_EQ(other.ws.store.TraceCount(), 2);
}

TEST_F(FileListCommands, LineXmlSavedAndOpened)
{
    WriteEightHeader("s1.8hd", {900, 800, 700});
    ws.fileGroup.listFolder = folder.Path();
    ws.fileGroup.AddFile("s1.8hd", 0.0f, 0.0f, 1.0f);
    ws.MamGeometry().Angle = 45.0f;
    ws.MamGeometry().iGeometry = 11, ws.MamGeometry().nReceiver = 3;  // a line of the three receivers
    const std::string line = folder.File("line.xml");
    auto save = [&](const char* message = nullptr) {
        ui.AnswerFileSave(folder.File("line"));
        if (message) ui.ExpectMessage(message);
        FileRoad::Run(SaveFileListXml);
        return std::filesystem::exists(line);
    };
    ws.acquisitionStartupValue = 0;  // the line-file switch off: nothing written
    EXPECT_FALSE(save());
    ws.acquisitionStartupValue = 1;
    ws.startup.acquisitionMode = 1;  // the device writes the line file (not built yet: it says so)
    EXPECT_FALSE(save("The file list could not be written."));
    ws.startup.acquisitionMode = 0;
    EXPECT_TRUE(save());

    // Unreadable documents: the path and what is wrong with it; the list stays.
    const std::string invalid = " is not a valid survey-line document: ";
    const struct {
        const char* name;
        std::string bytes;  // empty: no such file
        std::string reason;
    } bad[] = {
        {"cut.xml", "<line><file_list>", "XML error at byte 16: Start-end tags mismatch"},
        {"utf8.xml", "<line>\xff</line>", "its bytes are not valid UTF-8"},
        {"sjis.xml", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><line>\x81</line>",
         "its bytes are not valid Shift_JIS"},
        {"ebcdic.xml", "<?xml version=\"1.0\" encoding=\"EBCDIC\"?><line/>",
         "the encoding \"EBCDIC\" is not one this program reads"},
        {"missing.xml", "", ""},
    };
    const CFileGroup before = ws.fileGroup;
    for (const auto& b : bad) {
        const std::string path = folder.File(b.name);
        if (!b.bytes.empty()) testing::WriteFileText(path, b.bytes);
        ui.AnswerDialog("COpenDataFileDlg");
        ui.AnswerFileOpen(path);
        if (b.bytes.empty()) {
            ui.ExpectMessage("Cannot open the file\n\n" + path + "\nThe file does not exist.");
        } else {
            ui.ExpectMessage(path + invalid + b.reason);
        }
        EXPECT_EQ(FileRoad::Run([](CommandContext& c) { return OpenFileList(c, false); }), 0) << b.name;
        EXPECT_EQ(ws.fileGroup.entries, before.entries);
        EXPECT_EQ(ws.fileGroup.entryCount, 1);
    }

    FileRoad other;
    other.ui.AnswerFileOpen(line);
    other.ui.AnswerDialog("CFileListDlg");
    // The line carries an array: its dialog follows the list's and builds on the first record.
    other.ui.AnswerDialog("CArrayGeometryDlg");
    EXPECT_EQ(other.Run([](CommandContext& c) { return OpenFileList(c, false); }), 1);
    EXPECT_EQ(other.ws.fileGroup.entries[0].fileName, "s1.8hd");
    ASSERT_TRUE(other.ws.mamGeometry);
    EXPECT_EQ(other.ws.mamGeometry->Angle, 45.0f);
    EXPECT_EQ(other.ws.arrayGeometry.points.size(), 3u);  // built on the line's first record
    EXPECT_EQ(other.ws.display.displayMode, 4);

    // Cancel there ends the command without the array picture; the list and its record stay.
    FileRoad third;
    third.ui.AnswerFileOpen(line);
    third.ui.AnswerDialog("CFileListDlg");
    third.ui.CancelDialog("CArrayGeometryDlg");
    EXPECT_EQ(third.Run([](CommandContext& c) { return OpenFileList(c, false); }), 0);
    EXPECT_EQ(third.ws.fileGroup.entryCount, 1);
    EXPECT_EQ(third.ws.store.TraceCount(), 3);
    EXPECT_EQ(third.ws.arrayGeometry.shown, 0);
}

TEST_F(FileListCommands, SaveAsAfterAProjectWritesTheTypeTheNameGives)
{
    LoadTable();
    const std::string project = folder.File("line.QZ4");
    ASSERT_TRUE(doc.SaveRecord(ws, project, ui));
    const std::vector<uint8_t> projectBytes = testing::ReadFileBytes(project);
    for (const char* name : {"x.sg2", "line.org.bak"}) {
        FileRoad other;
        other.ui.ExpectAnyMessage();
        ASSERT_TRUE(other.doc.LoadRecord(other.ws, project, other.ui));
        other.ui.AnswerFileSave(folder.File(name));
        other.Run(OnFileSaveAs);
        if (std::string(name) == "x.sg2") {  // SEG-2 under its SEG-2 name
            FileRoad reader;
            reader.ui.ExpectAnyMessage();
            ASSERT_TRUE(reader.doc.LoadRecord(reader.ws, folder.File(name), reader.ui));
            EXPECT_EQ(other.doc.fileType, kFileSeg2);
            ASSERT_EQ(reader.ws.store.TraceCount(), 2);
            EXPECT_EQ(reader.S(1, 3), 4.0f);
        } else {  // a name that names no type keeps the document's, ".org" inside it or not
            EXPECT_EQ(testing::ReadFileBytes(folder.File(name)), projectBytes);
            EXPECT_EQ(other.doc.fileType, kFileProject);
        }
    }
}

}  // namespace
}  // namespace velk
