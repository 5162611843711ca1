#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "tools/test_support.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

using velk::testing::ReadFileText;
using velk::testing::TempFolder;
using velk::testing::WriteFileText;

// Clears the fault injector even when a test fails half-way.
struct InjectorReset {
    ~InjectorReset() { AtomicFileWriter::SetFaultInjector(nullptr); }
};

// Bytes that are not plain text, so an off-by-one or a text-mode conversion would show.
std::string OldBytes() {
    std::string s;
    for (int i = 0; i < 1000; ++i) s.push_back(static_cast<char>((i * 37 + 11) & 0xFF));
    return s;
}

TEST(AtomicFileWriter, CommitReplacesTheFile) {
    TempFolder dir;
    ASSERT_FALSE(dir.Path().empty());
    std::string path = dir.File("a.bin");
    WriteFileText(path, "old contents");
    {
        AtomicFileWriter w(path);
        ASSERT_FALSE(w.Failed()) << w.Error();
        EXPECT_EQ(w.Path(), path);
        EXPECT_EQ(w.TempPath().rfind(path + ".tmp", 0), 0u) << w.TempPath();
        EXPECT_TRUE(w.Write("new "));
        EXPECT_TRUE(w.Write(std::string_view("contents")));
        EXPECT_EQ(ReadFileText(path), "old contents");  // nothing visible before Commit()
        EXPECT_TRUE(w.Commit()) << w.Error();
        EXPECT_TRUE(w.Commit());  // a second Commit() is harmless
    }
    EXPECT_EQ(ReadFileText(path), "new contents");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.bin"});
}

TEST(AtomicFileWriter, CreatesANewFile) {
    TempFolder dir;
    std::string path = dir.File("new.txt");
    std::string error = "unchanged";
    EXPECT_TRUE(WriteFileAtomically(path, "hello\n", &error));
    EXPECT_EQ(error, "");
    EXPECT_EQ(ReadFileText(path), "hello\n");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"new.txt"});
}

TEST(AtomicFileWriter, EmptyFile) {
    TempFolder dir;
    std::string path = dir.File("empty");
    WriteFileText(path, "x");
    EXPECT_TRUE(WriteFileAtomically(path, ""));
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), 0u);
}

TEST(AtomicFileWriter, LargeWritesAndManySmallOnes) {
    TempFolder dir;
    std::string path = dir.File("big.bin");
    std::string expected;
    AtomicFileWriter w(path);
    // Small pieces that cross the internal buffer, then pieces larger than it.
    for (int i = 0; i < 50000; ++i) {
        char piece[3] = {static_cast<char>(i), static_cast<char>(i >> 8), static_cast<char>(i * 7)};
        ASSERT_TRUE(w.Write(piece, sizeof piece));
        expected.append(piece, sizeof piece);
    }
    std::string block(300000, '\0');
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 13);
    ASSERT_TRUE(w.Write(block));
    expected += block;
    ASSERT_TRUE(w.Write("tail"));
    expected += "tail";
    ASSERT_TRUE(w.Commit()) << w.Error();
    EXPECT_EQ(ReadFileText(path), expected);
}

TEST(AtomicFileWriter, InjectedWriteErrorLeavesOldFileByteIdentical) {
    TempFolder dir;
    std::string path = dir.File("keep.bin");
    const std::string old = OldBytes();
    WriteFileText(path, old);
    InjectorReset reset;
    size_t calls = 0;
    // The third write fails.
    AtomicFileWriter::SetFaultInjector([&](size_t) { return ++calls != 3; });
    {
        AtomicFileWriter w(path);
        EXPECT_TRUE(w.Write("first "));
        EXPECT_TRUE(w.Write("second "));
        EXPECT_FALSE(w.Write("third "));
        EXPECT_TRUE(w.Failed());
        EXPECT_FALSE(w.Error().empty());
        EXPECT_FALSE(w.Write("fourth "));  // sticky, even though the injector would allow it
        EXPECT_FALSE(w.Commit());
        EXPECT_FALSE(fs::exists(w.TempPath()));
        EXPECT_EQ(ReadFileText(path), old);
    }
    EXPECT_EQ(ReadFileText(path), old);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"keep.bin"});
}

TEST(AtomicFileWriter, InjectorSeesTheBytesSoFar) {
    TempFolder dir;
    InjectorReset reset;
    std::vector<size_t> seen;
    AtomicFileWriter::SetFaultInjector([&](size_t soFar) {
        seen.push_back(soFar);
        return soFar < 10;
    });
    std::string path = dir.File("f");
    WriteFileText(path, "old");
    AtomicFileWriter w(path);
    EXPECT_TRUE(w.Write("12345"));
    EXPECT_TRUE(w.Write("67890"));
    EXPECT_FALSE(w.Write("x"));
    EXPECT_EQ(seen, (std::vector<size_t>{0, 5, 10}));
    EXPECT_FALSE(w.Commit());
    EXPECT_EQ(ReadFileText(path), "old");
}

TEST(AtomicFileWriter, WriteFileAtomicallyReportsTheInjectedError) {
    TempFolder dir;
    std::string path = dir.File("p.ini");
    WriteFileText(path, "[General]\nA=1\n");
    InjectorReset reset;
    AtomicFileWriter::SetFaultInjector([](size_t) { return false; });
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(path, "[General]\nA=2\n", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadFileText(path), "[General]\nA=1\n");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"p.ini"});
}

TEST(AtomicFileWriter, StoppedBeforeTheRenameLeavesOldFileIntact) {
    TempFolder dir;
    std::string path = dir.File("keep.bin");
    const std::string old = OldBytes();
    WriteFileText(path, old);
    std::string temp;
    {
        AtomicFileWriter w(path);
        ASSERT_TRUE(w.Write(std::string(5000, 'n')));
        ASSERT_TRUE(w.Flush());
        temp = w.TempPath();
        // The new bytes sit complete in the temporary file; the target is untouched.
        EXPECT_EQ(ReadFileText(temp), std::string(5000, 'n'));
        EXPECT_EQ(ReadFileText(path), old);
        // Destroyed without Commit(): as if the program stopped before the rename.
    }
    EXPECT_EQ(ReadFileText(path), old);
    EXPECT_FALSE(fs::exists(temp));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"keep.bin"});
}

TEST(AtomicFileWriter, MissingFolderFailsWithoutCrashing) {
    TempFolder dir;
    std::string path = dir.File("no/such/folder/file.txt");
    AtomicFileWriter w(path);
    EXPECT_TRUE(w.Failed());
    EXPECT_NE(w.Error().find("file.txt"), std::string::npos) << w.Error();
    EXPECT_FALSE(w.Write("x"));
    EXPECT_FALSE(w.Flush());
    EXPECT_FALSE(w.Commit());
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(path, "x", &error));
    EXPECT_FALSE(error.empty());
}

TEST(AtomicFileWriter, EmptyPathFails) {
    AtomicFileWriter w("");
    EXPECT_TRUE(w.Failed());
    EXPECT_FALSE(w.Commit());
}

TEST(AtomicFileWriter, RenameOntoAFolderFailsAndCleansUp) {
    TempFolder dir;
    std::string path = dir.File("sub");
    fs::create_directory(path);
    fs::create_directory(path + "/inner");  // a non-empty folder cannot be replaced
    {
        AtomicFileWriter w(path);
        ASSERT_FALSE(w.Failed()) << w.Error();
        EXPECT_TRUE(w.Write("data"));
        EXPECT_FALSE(w.Commit());
        EXPECT_FALSE(w.Error().empty());
    }
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"sub"});
}

TEST(AtomicFileWriter, WriteAfterCommitFails) {
    TempFolder dir;
    AtomicFileWriter w(dir.File("x"));
    ASSERT_TRUE(w.Write("a"));
    ASSERT_TRUE(w.Commit());
    EXPECT_FALSE(w.Write("b"));
    EXPECT_EQ(ReadFileText(dir.File("x")), "a");
}

TEST(AtomicFileWriter, KeepsThePermissionsOfTheOldFile) {
    TempFolder dir;
    std::string path = dir.File("mode");
    WriteFileText(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "new"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(AtomicFileWriter, NewFileFollowsTheUmask) {
    TempFolder dir;
    std::string path = dir.File("fresh");
    mode_t old = ::umask(022);
    bool ok = WriteFileAtomically(path, "x");
    ::umask(old);
    ASSERT_TRUE(ok);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST(AtomicFileWriter, ALinkKeepsPointingAtTheNewContents) {
    TempFolder dir;
    std::string real = dir.File("real.ini");
    std::string link = dir.File("link.ini");
    WriteFileText(real, "old");
    fs::create_symlink(real, link);
    ASSERT_TRUE(WriteFileAtomically(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileText(real), "new");
    EXPECT_EQ(ReadFileText(link), "new");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"link.ini", "real.ini"}));
}

TEST(AtomicFileWriter, TwoWritersOnOneFolderUseDifferentTemporaryFiles) {
    TempFolder dir;
    std::string path = dir.File("same");
    AtomicFileWriter a(path);
    AtomicFileWriter b(path);
    ASSERT_FALSE(a.Failed());
    ASSERT_FALSE(b.Failed());
    EXPECT_NE(a.TempPath(), b.TempPath());
    EXPECT_TRUE(a.Write("a"));
    EXPECT_TRUE(b.Write("b"));
    EXPECT_TRUE(a.Commit());
    EXPECT_TRUE(b.Commit());
    EXPECT_EQ(ReadFileText(path), "b");  // the last commit wins, whole
}

}  // namespace
}  // namespace velk
