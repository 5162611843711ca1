#include <gtest/gtest.h>

#include <csignal>
#include <set>
#include <ctime>
#include <filesystem>
#include <sys/resource.h>
#include <utime.h>

#include "acquisition/archiver.h"
#include "platform/clock.h"
#include "platform/file_ops.h"
#include "platform/language.h"
#include "survey/file_group.h"
#include "survey/survey_line_xml.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using velk::testing::ReadFileText;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;
namespace fs = std::filesystem;

constexpr const char* kDated = "QKWData_2024_05_06_14_07";

// The real operations, with chosen copies failing (counted from 1) and the folders made.
class FailingOps : public PosixFileOps {
public:
    bool CopyFile(const std::string& from, const std::string& to) override
    {
        ++copies;
        if (failing.count(copies)) return false;
        return PosixFileOps::CopyFile(from, to);
    }
    bool MakeFolder(const std::string& path) override
    {
        made.push_back(path);
        return PosixFileOps::MakeFolder(path);
    }
    std::set<int> failing;
    int copies = 0;
    std::vector<std::string> made;
};

void WriteStamped(const std::string& path, const std::string& text, int day, int hour, int minute)
{
    WriteFileText(path, text);
    std::tm tm{};
    tm.tm_year = 2024 - 1900;
    tm.tm_mon = 4;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_isdst = -1;
    const utimbuf times{std::mktime(&tm), std::mktime(&tm)};
    ::utime(path.c_str(), &times);
}

struct Site {
    TempFolder data, mo;
    ManualClock clock;
    ScriptedUiHost ui;
    FailingOps ops;
    Archiver archiver{ops, clock, ui, kLanguageEnglish};

    Site() { clock.SetLocal({2024, 5, 6, 14, 7, 30, 0}); }
    std::string Mo(const std::string& name = {}) const { return mo.Path() + "/" + kDated + (name.empty() ? "" : "/" + name); }
    std::string Local(const std::string& name = {}) const
    {
        return data.Path() + "/" + kDated + (name.empty() ? "" : "/" + name);
    }
    // Today's records 1..n ("qkaa000<k>.sg2"), one of yesterday 23:59 and a note of today.
    void Records(int n)
    {
        for (int k = 1; k <= n; ++k) WriteStamped(data.File("qkaa000" + std::to_string(k) + ".sg2"), "record " + std::to_string(k), 6, 9, k);
        WriteStamped(data.File("qkaa0009.sg2"), "yesterday", 5, 23, 59);
        WriteStamped(data.File("notes.txt"), "today", 6, 10, 0);
    }
};

TEST(Archiver, TodaysRecordsAreCopiedToTheMediumAndMovedIntoTheLocalArchive)
{
    Site s;
    s.Records(3);
    s.ui.ExpectMessage("The number of today files is 3.　Are you copy them ?", MsgButtons::YesNo, MsgResult::Yes);
    s.ui.ExpectMessage("3/3 files have been copied to MO(" + s.Mo() + ").");
    s.ui.ExpectMessage("3 files have been moved to " + s.Local() + ".");
    s.archiver.CopyTodayRecords(s.data.Path(), s.mo.Path());
    for (const char* name : {"qkaa0001.sg2", "qkaa0002.sg2", "qkaa0003.sg2"})
        EXPECT_EQ(ReadFileText(s.Mo(name)), ReadFileText(s.Local(name))) << name;
    EXPECT_EQ(s.data.Entries(), (std::vector<std::string>{kDated, "notes.txt", "qkaa0009.sg2"}));
    const auto progress = s.ui.Progresses().at(0);
    EXPECT_EQ(progress->caption, "Copying SEG2 files");
    EXPECT_TRUE(progress->Full() && progress->closed);

    // Nothing left from today: 0 files, and Yes makes no folder and says nothing more.
    fs::remove_all(s.Mo());
    s.ui.ExpectMessage("The number of today files is 0.　Are you copy them ?", MsgButtons::YesNo, MsgResult::Yes);
    s.archiver.CopyTodayRecords(s.data.Path(), s.mo.Path());
    EXPECT_TRUE(s.mo.Entries().empty());

    // A new record under an archived name in the same minute stays where it is, and says so.
    WriteStamped(s.data.File("qkaa0001.sg2"), "again", 6, 14, 7);
    s.ui.ExpectAnyMessage(MsgResult::Yes);
    s.ui.ExpectMessage("1/1 files have been copied to MO(" + s.Mo() + ").");
    s.ui.ExpectMessage("0 files have been moved to " + s.Local() + ".");
    s.ui.ExpectMessage(s.Local() + " already holds files of these names; they stay in " + s.data.Path() +
                       ":\nqkaa0001.sg2");
    s.archiver.CopyTodayRecords(s.data.Path(), s.mo.Path());
    EXPECT_EQ(ReadFileText(s.data.File("qkaa0001.sg2")), "again");
    EXPECT_EQ(ReadFileText(s.Local("qkaa0001.sg2")), "record 1");
}

TEST(Archiver, FailedCopiesAskForANewDiskAndAreCountedAsNotCopied)
{
    for (const MsgResult answer : {MsgResult::Ok, MsgResult::Cancel}) {
        const bool given = answer == MsgResult::Cancel;
        Site s;
        s.Records(3);
        s.ops.failing = {2};
        s.ui.ExpectAnyMessage(MsgResult::Yes);
        s.ui.ExpectMessage("Disk full!  Enter a new disk.", MsgButtons::OkCancel, answer);
        s.ui.ExpectMessage(std::string(given ? "2/3" : "3/3") + " files have been copied to MO(" + s.Mo() + ").");
        s.ui.ExpectMessage("3 files have been moved to " + s.Local() + ".");
        if (given) s.ui.ExpectMessage("1 files were not copied to MO and are in " + s.Local() + ".");
        s.archiver.CopyTodayRecords(s.data.Path(), s.mo.Path());
        // OK made the folder again before the retry; either way the file is in the archive.
        EXPECT_EQ(s.ops.made.size(), given ? 2u : 3u);
        EXPECT_EQ(fs::exists(s.Mo("qkaa0002.sg2")), !given);
        EXPECT_TRUE(fs::exists(s.Local("qkaa0002.sg2")));
    }
}

TEST(Archiver, ACopyThatFailsMidwayLeavesNoFileUnderTheRecordsName)
{
    TempFolder from, to;
    WriteFileText(from.File("a.sg2"), std::string(200000, 'x'));
    WriteFileText(to.File("a.sg2"), "old");
    // A size limit makes the writes fail after the first bytes, as a full medium does.
    auto old = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    PosixFileOps ops;
    const bool copied = ops.CopyFile(from.File("a.sg2"), to.File("a.sg2"));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old);
    EXPECT_FALSE(copied);
    EXPECT_EQ(to.Entries(), std::vector<std::string>{"a.sg2"});
    EXPECT_EQ(ReadFileText(to.File("a.sg2")), "old");
    // Moves never replace.
    EXPECT_FALSE(ops.MoveFile(to.File("a.sg2"), from.File("a.sg2")));
    EXPECT_EQ(ReadFileText(from.File("a.sg2")), std::string(200000, 'x'));
}

TEST(Archiver, AMediumThatIsNotMountedMakesNoFolderAnywhere)
{
    Site s;
    s.Records(1);
    const auto before = s.data.Entries();
    s.ui.ExpectAnyMessage(MsgResult::Yes);
    s.ui.ExpectMessage("Failed to create new directory");
    EXPECT_TRUE(s.archiver.CopyTodayRecords(s.data.Path(), s.mo.Path() + "/absent").ended);
    EXPECT_TRUE(s.mo.Entries().empty());
    EXPECT_EQ(s.data.Entries(), before);
}

// A list "qkab.xml" of line 1 with two records and a data file, all written today.
void WriteList(Site& s)
{
    CFileGroup group;
    SurveyLine line;
    line.lineId = 1;
    line.hasDataFile = 1;
    line.dataFile = "qkab.pvs";
    for (const char* name : {"qkab0001.sg2", "qkab0002.sg2"}) {
        group.AddFile(name, 0.0f, 0.0f, 1.0f);
        WriteStamped(s.data.File(name), name, 6, 8, 0);
    }
    WriteStamped(s.data.File("qkab.pvs"), "curves", 6, 8, 0);
    ASSERT_EQ(WriteLineXml(line, group, MamGeometrySlot{}, s.data.File("qkab.xml")), 1);
    WriteStamped(s.data.File("qkab.xml"), ReadFileText(s.data.File("qkab.xml")), 6, 8, 30);
}

TEST(Archiver, ListsGoWithTheirRecordsIntoFoldersOfTheirLineIds)
{
    Site s;
    WriteList(s);
    EXPECT_EQ(s.archiver.CopySingleFile(s.data.Path(), "qkab0002.sg2", s.mo.Path()), 1);
    EXPECT_EQ(ReadFileText(s.mo.File("qkab0002.sg2")), "qkab0002.sg2");
    s.ui.ExpectMessage("4 files were copied !");
    EXPECT_EQ(s.archiver.CopyFileList(s.data.Path(), "qkab.xml", s.mo.Path()), 4);
    EXPECT_TRUE(fs::exists(s.mo.File("QKWData_ab/qkab.pvs")));
    // Cancel at the third copy stops the copy; the count still comes.
    s.ops.failing = {s.ops.copies + 3};
    s.ui.ExpectMessage("Disk full!  Enter a new disk.", MsgButtons::OkCancel, MsgResult::Cancel);
    s.ui.ExpectMessage("2 files were copied !");
    EXPECT_EQ(s.archiver.CopyFileList(s.data.Path(), "qkab.xml", s.mo.Path()), 2);

    s.ui.ExpectMessage("The number of today file lists is 1 and waveform files is 2.　Are you copy them ?",
                       MsgButtons::YesNo, MsgResult::Yes);
    s.ui.ExpectMessage("1/1 file lists and 2/2 SEG2 files have been copied to MO(" + s.Mo() + ").");
    s.ui.ExpectMessage("1/1 file lists and 2/2 SEG2 files have been moved to " + s.Local() + ".");
    s.archiver.CopyTodayLists(s.data.Path(), s.mo.Path());
    for (const char* name : {"qkab.pvs", "qkab.xml", "qkab0001.sg2", "qkab0002.sg2"}) {
        EXPECT_TRUE(fs::exists(s.Mo("ab/") + name)) << name;
        EXPECT_TRUE(fs::exists(s.Local("ab/") + name)) << name;
    }
    EXPECT_EQ(s.ui.Progresses().at(0)->caption, "Copying file lists");
}

}  // namespace
}  // namespace velk
