#include "platform/profile.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <unistd.h>

#include "platform/atomic_file.h"
#include "tools/test_support.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

using velk::testing::ReadFileText;
using velk::testing::ScopedEnv;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;

size_t CountFiles(const fs::path& folder)
{
    size_t n = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        (void)entry;
        ++n;
    }
    return n;
}

// --- reading -----------------------------------------------------------------------------------

TEST(ProfileRead, SectionAndKeyCaseAreOne)
{
    Profile p = Profile::FromText("[general]\nMaxTraces=256\n");
    EXPECT_EQ(p.GetInt("General", "MAXTRACES"), 256);
    EXPECT_EQ(p.GetInt("GENERAL", "maxtraces"), 256);
    EXPECT_EQ(p.GetInt("general", "MaxTraces"), 256);
}

TEST(ProfileRead, FirstDuplicateWins)
{
    Profile p = Profile::FromText("[General]\nNSkip=1\nNSKIP=2\n[general]\nnskip=3\n");
    EXPECT_EQ(p.GetInt("General", "NSkip"), 1);
}

TEST(ProfileRead, FirstDuplicateWinsAcrossRepeatedSections)
{
    Profile p = Profile::FromText("[Other]\nA=9\n[general]\nB=2\n[General]\nA=1\nB=3\n");
    EXPECT_EQ(p.GetInt("General", "A"), 1);
    EXPECT_EQ(p.GetInt("General", "B"), 2);
    EXPECT_EQ(p.GetInt("Other", "A"), 9);
    EXPECT_EQ(p.GetInt("Other", "B"), std::nullopt);
}

TEST(ProfileRead, BlanksAroundKeysAndValuesAreTrimmed)
{
    Profile p = Profile::FromText("  [ General ]  \n\t csUnit \t=  mV \t\nI_SENSE = -1\n");
    EXPECT_EQ(p.GetString("General", "csUnit"), "mV");
    EXPECT_EQ(p.GetInt("General", "I_SENSE"), -1);
}

TEST(ProfileRead, CrLfAndByteOrderMarkAreAccepted)
{
    Profile p = Profile::FromText("\xEF\xBB\xBF[General]\r\nA=1\r\nUNIT=m\r\n");
    EXPECT_EQ(p.GetInt("General", "A"), 1);
    EXPECT_EQ(p.GetString("General", "UNIT"), "m");
}

TEST(ProfileRead, SemicolonLinesAreComments)
{
    Profile p = Profile::FromText("[General]\n;A=1\n  ; B=2\nC=3 ; not a comment\n");
    EXPECT_EQ(p.GetString("General", "A"), std::nullopt);
    EXPECT_EQ(p.GetString("General", "B"), std::nullopt);
    EXPECT_EQ(p.GetString("General", "C"), "3 ; not a comment");
}

TEST(ProfileRead, NoHashCommentsAndNoQuotes)
{
    Profile p = Profile::FromText("[General]\n#A=1\nB=\"x y\"\n");
    EXPECT_EQ(p.GetString("General", "#A"), "1");
    EXPECT_EQ(p.GetString("General", "B"), "\"x y\"");
}

TEST(ProfileRead, Utf8ValuesAndKeys)
{
    Profile p = Profile::FromText("[General]\ncsUnit=ボルト\n単位=m\n");
    EXPECT_EQ(p.GetString("general", "csUnit"), "ボルト");
    EXPECT_EQ(p.GetString("general", "単位"), "m");
}

TEST(ProfileRead, ValueMaySplitAtFirstEqualsOnly)
{
    Profile p = Profile::FromText("[General]\nA=b=c\nE=\n");
    EXPECT_EQ(p.GetString("General", "A"), "b=c");
    EXPECT_EQ(p.GetString("General", "E"), "");
    EXPECT_EQ(p.GetInt("General", "E"), std::nullopt);
}

TEST(ProfileRead, MissingOrUnparsableFloatLeavesVariableBitIdentical)
{
    Profile p = Profile::FromText("[General]\nabc=abc\nnan=nan\nhalf=1.5x\ninf=inf\nempty=\n");
    for (const char* key : {"missing", "abc", "nan", "half", "inf", "empty"}) {
        float v = 1e-7f;
        const float before = v;
        EXPECT_FALSE(p.ReadFloat("General", key, v)) << key;
        EXPECT_EQ(std::memcmp(&v, &before, sizeof v), 0) << key;
        EXPECT_EQ(p.GetFloat("General", key), std::nullopt) << key;
    }
}

TEST(ProfileRead, MissingOrUnparsableLeavesOtherTypesUntouched)
{
    Profile p = Profile::FromText("[General]\ni=12x\nb=yes\n");
    int32_t i = 42;
    bool b = true;
    std::string s = "keep";
    EXPECT_FALSE(p.ReadInt("General", "i", i));
    EXPECT_FALSE(p.ReadInt("General", "none", i));
    EXPECT_FALSE(p.ReadBool("General", "b", b));
    EXPECT_FALSE(p.ReadString("General", "none", s));
    EXPECT_EQ(i, 42);
    EXPECT_TRUE(b);
    EXPECT_EQ(s, "keep");
}

TEST(ProfileRead, TypedValues)
{
    Profile p = Profile::FromText("[General]\ni= -2147483648 \nf=100.000000\nbig=2147483648\n");
    int32_t i = 0;
    float f = 0;
    EXPECT_TRUE(p.ReadInt("General", "i", i));
    EXPECT_EQ(i, INT32_MIN);
    EXPECT_TRUE(p.ReadFloat("General", "f", f));
    EXPECT_EQ(f, 100.0f);
    EXPECT_EQ(p.GetInt("General", "big"), std::nullopt);
}

TEST(ProfileRead, AnyNonZeroIntegerIsTrue)
{
    Profile p = Profile::FromText("[General]\nA=256\nB=0\nC=-1\nD=1\nE=4294967296\nF=abc\n");
    bool v = false;
    EXPECT_TRUE(p.ReadBool("General", "A", v));
    EXPECT_TRUE(v);
    EXPECT_EQ(p.GetBool("General", "B"), false);
    EXPECT_EQ(p.GetBool("General", "C"), true);
    EXPECT_EQ(p.GetBool("General", "D"), true);
    EXPECT_EQ(p.GetBool("General", "E"), true);
    EXPECT_EQ(p.GetBool("General", "F"), std::nullopt);
}

TEST(ProfileRead, KeysBeforeAnySectionBelongToNone)
{
    Profile p = Profile::FromText("A=1\n[General]\nB=2\n");
    EXPECT_EQ(p.GetInt("General", "A"), std::nullopt);
    EXPECT_EQ(p.GetInt("", "A"), 1);
}

// --- writing in memory ---------------------------------------------------------------------------

TEST(ProfileWrite, FloatIsWrittenWithSixDecimals)
{
    Profile p = Profile::FromText("");
    EXPECT_TRUE(p.SetFloat("General", "plotscale", 1.5f));
    EXPECT_EQ(p.Text(), "[General]\nplotscale=1.500000\n");
}

TEST(ProfileWrite, FloatIsWrittenInTheCLocaleUnderAGermanLocale)
{
    const std::string old = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed (scripts/setup-deps.sh generates it)";
    }
    Profile p = Profile::FromText("[General]\nx=2,5\n");
    const bool stored = p.SetFloat("General", "BPFFL", 1.5f);
    const auto text = p.GetString("General", "BPFFL");
    const auto parsedComma = p.GetFloat("General", "x");
    std::setlocale(LC_ALL, old.c_str());
    EXPECT_TRUE(stored);
    EXPECT_EQ(text, "1.500000");
    EXPECT_EQ(parsedComma, std::nullopt);
}

TEST(ProfileWrite, IntAndBool)
{
    Profile p = Profile::FromText("");
    EXPECT_TRUE(p.SetInt("General", "MAXTRACES", -128));
    EXPECT_TRUE(p.SetBool("General", "COMPLETEMENU", true));
    EXPECT_TRUE(p.SetBool("General", "Off", false));
    EXPECT_EQ(p.Text(), "[General]\nMAXTRACES=-128\nCOMPLETEMENU=1\nOff=0\n");
}

TEST(ProfileWrite, NonFiniteFloatIsRefused)
{
    Profile p = Profile::FromText("[General]\nplotscale=20.000000\n");
    EXPECT_FALSE(p.SetFloat("General", "plotscale", std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE(p.SetFloat("General", "plotscale", std::numeric_limits<float>::infinity()));
    EXPECT_FALSE(p.LastError().empty());
    EXPECT_EQ(p.GetString("General", "plotscale"), "20.000000");
}

TEST(ProfileWrite, ExistingKeyKeepsItsSpellingAndPlace)
{
    Profile p = Profile::FromText("[general]\n  MaxTraces = 128\nOther=1\n");
    EXPECT_TRUE(p.SetInt("GENERAL", "MAXTRACES", 256));
    EXPECT_EQ(p.Text(), "[general]\n  MaxTraces = 256\nOther=1\n");
}

TEST(ProfileWrite, OnlyTheFirstDuplicateChanges)
{
    Profile p = Profile::FromText("[General]\nA=1\nA=2\n");
    EXPECT_TRUE(p.SetInt("General", "a", 5));
    EXPECT_EQ(p.Text(), "[General]\nA=5\nA=2\n");
    EXPECT_EQ(p.GetInt("General", "A"), 5);
}

TEST(ProfileWrite, NewKeyGoesAfterTheLastSettingOfTheFirstBlock)
{
    Profile p = Profile::FromText("[General]\nA=1\n\n; Display\n[Display]\nX=1\n[General]\nB=2\n");
    EXPECT_TRUE(p.SetInt("General", "C", 3));
    EXPECT_EQ(p.Text(), "[General]\nA=1\nC=3\n\n; Display\n[Display]\nX=1\n[General]\nB=2\n");
    EXPECT_TRUE(p.SetInt("Display", "Y", 4));
    EXPECT_TRUE(p.SetInt("New", "Z", 5));
    EXPECT_EQ(p.Text(), "[General]\nA=1\nC=3\n\n; Display\n[Display]\nX=1\nY=4\n[General]\nB=2\n[New]\nZ=5\n");
}

TEST(ProfileWrite, EmptyValueGetsItsValue)
{
    Profile p = Profile::FromText("[General]\nA=\nB = \n");
    EXPECT_TRUE(p.SetString("General", "A", "x"));
    EXPECT_TRUE(p.SetString("General", "B", "y"));
    EXPECT_EQ(p.GetString("General", "A"), "x");
    EXPECT_EQ(p.GetString("General", "B"), "y");
}

TEST(ProfileWrite, UnstorableTextIsRefusedAndChangesNothing)
{
    Profile p = Profile::FromText("[General]\nA=1\n");
    const std::string before = p.Text();
    EXPECT_FALSE(p.SetString("General", "A", "two\nlines"));
    EXPECT_FALSE(p.SetString("General", "A", "cr\rhere"));
    EXPECT_FALSE(p.SetString("General", "k=v", "1"));
    EXPECT_FALSE(p.SetString("General", ";k", "1"));
    EXPECT_FALSE(p.SetString("General", "[k", "1"));
    EXPECT_FALSE(p.SetString("General", "", "1"));
    EXPECT_FALSE(p.SetString("Gen]eral", "k", "1"));
    EXPECT_FALSE(p.SetString("", "k", "1"));
    EXPECT_FALSE(p.LastError().empty());
    EXPECT_EQ(p.Text(), before);
}

TEST(ProfileWrite, WindowsPathValueSurvives)
{
    Profile p = Profile::FromText("");
    EXPECT_TRUE(p.SetString("general", "NordalisString", "c:\\Nordalis.exe"));
    EXPECT_EQ(IniDocument::Parse(p.Text()).Find("General", "NordalisString"), "c:\\Nordalis.exe");
}

TEST(ProfileWrite, CommentsAndUnknownLinesSurviveAWrite)
{
    const std::string text =
        "; Velkarine settings\n"
        "garbage line without equals\n"
        "[broken\n"
        "#hash=kept\n"
        "[General]\n"
        "; the band-pass corners\n"
        "BPFFL=1.000000\n"
        "UnknownKey = keep me\n"
        "\n"
        "[Someone Else]\n"
        "x=y\n";
    Profile p = Profile::FromText(text);
    EXPECT_TRUE(p.SetFloat("General", "BPFFL", 2.0f));
    EXPECT_EQ(p.Text(),
              "; Velkarine settings\n"
              "garbage line without equals\n"
              "[broken\n"
              "#hash=kept\n"
              "[General]\n"
              "; the band-pass corners\n"
              "BPFFL=2.000000\n"
              "UnknownKey = keep me\n"
              "\n"
              "[Someone Else]\n"
              "x=y\n");
}

TEST(IniDocumentTest, SerialiseKeepsEveryLine)
{
    const std::string text = "\xEF\xBB\xBF; c\n[S]\nk=v\nodd\n\n";
    EXPECT_EQ(IniDocument::Parse(text).Serialize(), text);
    EXPECT_EQ(IniDocument::Parse("a\r\nb").Serialize(), "a\nb\n");
    EXPECT_EQ(IniDocument::Parse("").Serialize(), "");
    EXPECT_EQ(IniDocument::Parse(std::string_view("\0x=\0\n", 5)).Serialize(), std::string("\0x=\0\n", 5));
}

TEST(IniDocumentTest, EntriesInFileOrder)
{
    const auto entries = IniDocument::Parse("top=0\n[A]\nk = v\n[b]\nK=w\nk=x\n").Entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].section, "");
    EXPECT_EQ(entries[1].section, "A");
    EXPECT_EQ(entries[1].key, "k");
    EXPECT_EQ(entries[1].value, "v");
    EXPECT_EQ(entries[3].section, "b");
    EXPECT_EQ(entries[3].value, "x");
}

// --- the file --------------------------------------------------------------------------------

TEST(ProfileFile, DefaultPathFollowsTheEnvironment)
{
    {
        ScopedEnv profile("VELKARINE_PROFILE", "/somewhere/test.ini");
        EXPECT_EQ(Profile::DefaultPath(), "/somewhere/test.ini");
    }
    ScopedEnv profile("VELKARINE_PROFILE", nullptr);
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg/");
        EXPECT_EQ(Profile::DefaultPath(), "/cfg/velkarine/Velkarine.ini");
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
        ScopedEnv home("HOME", "/home/tester");
        EXPECT_EQ(Profile::DefaultPath(), "/home/tester/.config/velkarine/Velkarine.ini");
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "relative/ignored");
        ScopedEnv home("HOME", "/home/tester");
        EXPECT_EQ(Profile::DefaultPath(), "/home/tester/.config/velkarine/Velkarine.ini");
    }
}

TEST(ProfileFile, OpenDefaultUsesVelkarineProfile)
{
    TempFolder tmp;
    const std::string path = tmp.File("test.ini");
    WriteFileText(path, "[General]\nLanguage=1\n");
    ScopedEnv env("VELKARINE_PROFILE", path.c_str());
    Profile p = Profile::OpenDefault();
    EXPECT_EQ(p.Path(), path);
    EXPECT_EQ(p.GetInt("General", "Language"), 1);
}

TEST(ProfileFile, MissingFileIsEmptyAndEachSetPersists)
{
    TempFolder tmp;
    const std::string path = tmp.File("sub/dir/Velkarine.ini");  // the folder is created
    Profile p(path);
    EXPECT_TRUE(p.LoadError().empty());
    EXPECT_EQ(p.GetInt("General", "A"), std::nullopt);
    EXPECT_TRUE(p.SetInt("General", "A", 1));
    EXPECT_EQ(ReadFileText(path), "[General]\nA=1\n");
    EXPECT_TRUE(p.SetFloat("General", "B", 1.5f));
    EXPECT_EQ(ReadFileText(path), "[General]\nA=1\nB=1.500000\n");
    EXPECT_EQ(Profile(path).GetFloat("general", "b"), 1.5f);
    EXPECT_EQ(CountFiles(fs::path(tmp.Path()) / "sub/dir"), 1u);  // no temporary file left behind
}

TEST(ProfileFile, CommentsAndUnknownKeysSurviveAWriteToDisk)
{
    TempFolder tmp;
    const std::string path = tmp.File("Velkarine.ini");
    WriteFileText(path, "; my notes\r\n[General]\r\nUnknownKey=42\r\nstray line\r\nplotscale=20.000000\r\n");
    Profile p(path);
    EXPECT_TRUE(p.SetFloat("General", "plotscale", 1.5f));
    EXPECT_EQ(ReadFileText(path), "; my notes\n[General]\nUnknownKey=42\nstray line\nplotscale=1.500000\n");
}

TEST(ProfileFile, BatchWritesOnceAtScopeEnd)
{
    TempFolder tmp;
    const std::string path = tmp.File("Velkarine.ini");
    WriteFileText(path, "[General]\nA=0\n");
    Profile p(path);
    {
        Profile::Batch batch(p);
        EXPECT_TRUE(p.SetInt("General", "A", 1));
        EXPECT_TRUE(p.SetInt("General", "B", 2));
        {
            Profile::Batch inner(p);
            EXPECT_TRUE(p.SetInt("General", "C", 3));
        }
        EXPECT_EQ(p.GetInt("General", "B"), 2);        // memory has it
        EXPECT_EQ(ReadFileText(path), "[General]\nA=0\n");  // the file does not yet
        EXPECT_TRUE(p.HasUnsavedChanges());
    }
    EXPECT_FALSE(p.HasUnsavedChanges());
    EXPECT_EQ(ReadFileText(path), "[General]\nA=1\nB=2\nC=3\n");
}

TEST(ProfileFile, BatchCommitReportsTheResult)
{
    TempFolder tmp;
    const std::string blocker = tmp.File("afile");
    WriteFileText(blocker, "x");
    Profile p(blocker + "/Velkarine.ini");
    Profile::Batch batch(p);
    EXPECT_TRUE(p.SetInt("General", "A", 1));
    EXPECT_FALSE(batch.Commit());
    EXPECT_FALSE(p.LastError().empty());
    EXPECT_TRUE(batch.Commit());  // already ended: nothing more to do
}

TEST(ProfileFile, KeysWrittenByAnotherInstanceSurvive)
{
    TempFolder tmp;
    const std::string path = tmp.File("Velkarine.ini");
    Profile first(path);
    Profile second(path);
    EXPECT_TRUE(second.SetInt("General", "LanguageRegister", 1));
    EXPECT_TRUE(first.SetInt("General", "Language", -1));
    const Profile reread(path);
    EXPECT_EQ(reread.GetInt("General", "LanguageRegister"), 1);
    EXPECT_EQ(reread.GetInt("General", "Language"), -1);
    EXPECT_EQ(first.GetInt("General", "LanguageRegister"), 1);  // picked up on writing
}

TEST(ProfileFile, UncreatableFolderReturnsFailure)
{
    TempFolder tmp;
    const std::string blocker = tmp.File("afile");  // a file where a folder should be
    WriteFileText(blocker, "x");
    Profile p(blocker + "/sub/Velkarine.ini");
    EXPECT_FALSE(p.SetInt("General", "A", 1));
    EXPECT_FALSE(p.LastError().empty());
    EXPECT_EQ(p.GetInt("General", "A"), 1);  // kept in memory, written with the next write
    EXPECT_TRUE(p.HasUnsavedChanges());
    EXPECT_EQ(ReadFileText(blocker), "x");
}

TEST(ProfileFile, ReadOnlyFolderReturnsFailure)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    TempFolder tmp;
    const fs::path folder = fs::path(tmp.Path()) / "ro";
    fs::create_directory(folder);
    const std::string path = (folder / "Velkarine.ini").string();
    WriteFileText(path, "[General]\nA=0\n");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    Profile p(path);
    EXPECT_FALSE(p.SetInt("General", "A", 1));
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(ReadFileText(path), "[General]\nA=0\n");
}

TEST(ProfileFile, FailedWriteLeavesTheOldFileIntact)
{
    TempFolder tmp;
    const std::string path = tmp.File("Velkarine.ini");
    const std::string old = "[General]\nA=0\n; note\n";
    WriteFileText(path, old);
    Profile p(path);
    AtomicFileWriter::SetFaultInjector([](size_t) { return false; });
    const bool stored = p.SetInt("General", "A", 1);
    AtomicFileWriter::SetFaultInjector(nullptr);
    EXPECT_FALSE(stored);
    EXPECT_FALSE(p.LastError().empty());
    EXPECT_EQ(ReadFileText(path), old);
    EXPECT_EQ(CountFiles(tmp.Path()), 1u);  // the temporary file is gone
    // The next write (or Flush) brings the change to disk.
    EXPECT_TRUE(p.Flush());
    EXPECT_EQ(ReadFileText(path), "[General]\nA=1\n; note\n");
}

TEST(ProfileFile, UnreadableFileIsNeverOverwritten)
{
    TempFolder tmp;
    const std::string path = tmp.File("Velkarine.ini");
    fs::create_directory(path);  // a folder where the file should be
    Profile p(path);
    EXPECT_FALSE(p.LoadError().empty());
    EXPECT_FALSE(p.SetInt("General", "A", 1));
    EXPECT_TRUE(fs::is_directory(path));
}

TEST(ProfileFile, UnchangedValueNeedsNoWrite)
{
    TempFolder tmp;
    const std::string path = tmp.File("Velkarine.ini");
    WriteFileText(path, "[General]\nA=1\n");
    Profile p(path);
    fs::remove(path);
    EXPECT_TRUE(p.SetInt("General", "A", 1));  // the profile already says so
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(p.SetInt("General", "A", 2));
    EXPECT_EQ(ReadFileText(path), "[General]\nA=2\n");
}

TEST(ProfileFile, ReloadDropsUnsavedChanges)
{
    TempFolder tmp;
    const std::string path = tmp.File("Velkarine.ini");
    WriteFileText(path, "[General]\nA=1\n");
    Profile p(path);
    {
        Profile::Batch batch(p);
        EXPECT_TRUE(p.SetInt("General", "A", 2));
        EXPECT_TRUE(p.Reload());
        EXPECT_EQ(p.GetInt("General", "A"), 1);
    }
    EXPECT_EQ(ReadFileText(path), "[General]\nA=1\n");
}

}  // namespace
}  // namespace velk
