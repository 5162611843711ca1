#include "platform/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "platform/profile.h"
#include "tools/test_support.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

using velk::testing::ScopedEnv;

TEST(Paths, DataRootFromTheEnvironment)
{
    {
        ScopedEnv home("VELKARINE_HOME", "/data/velk/");
        EXPECT_EQ(DataRoot(), "/data/velk");
    }
    ScopedEnv none("VELKARINE_HOME", nullptr);
    ScopedEnv home("HOME", "/home/tester");
    EXPECT_EQ(DataRoot(), "/home/tester/.local/share/velkarine");
    ScopedEnv empty("VELKARINE_HOME", "");
    EXPECT_EQ(DataRoot(), "/home/tester/.local/share/velkarine");
}

TEST(Paths, WfftMapsUnderVelkarineHome)
{
    ScopedEnv home("VELKARINE_HOME", "/tmp/velk-home");
    EXPECT_EQ(MapWindowsPath("c:\\wfft.dat"), "/tmp/velk-home/wfft.dat");
    EXPECT_EQ(MapWindowsPath("C:\\wfft.dat"), "/tmp/velk-home/wfft.dat");
}

TEST(Paths, AnyDriveLetterMapsUnderTheRoot)
{
    EXPECT_EQ(MapWindowsPath("d:\\data\\shot1.sg2", "/r"), "/r/data/shot1.sg2");
    EXPECT_EQ(MapWindowsPath("Z:/mixed\\slashes/a.dat", "/r"), "/r/mixed/slashes/a.dat");
    EXPECT_EQ(MapWindowsPath("c:\\", "/r"), "/r");
    EXPECT_EQ(MapWindowsPath("c:", "/r/"), "/r");
    EXPECT_EQ(MapWindowsPath("c:wfft.dat", "/r"), "/r/wfft.dat");
}

TEST(Paths, DotPartsStayUnderTheRoot)
{
    EXPECT_EQ(MapWindowsPath("c:\\a\\.\\b\\\\c.dat", "/r"), "/r/a/b/c.dat");
    EXPECT_EQ(MapWindowsPath("c:\\a\\..\\b.dat", "/r"), "/r/b.dat");
    EXPECT_EQ(MapWindowsPath("c:\\..\\..\\etc\\passwd", "/r"), "/r/etc/passwd");
}

TEST(Paths, PathsWithoutDriveOnlyTurnBackslashes)
{
    EXPECT_EQ(MapWindowsPath("data\\shot1.sg2", "/r"), "data/shot1.sg2");
    EXPECT_EQ(MapWindowsPath("/home/u/x.dat", "/r"), "/home/u/x.dat");
    EXPECT_EQ(MapWindowsPath("\\\\server\\share\\x", "/r"), "//server/share/x");
    EXPECT_EQ(MapWindowsPath("", "/r"), "");
    EXPECT_EQ(MapWindowsPath("1:\\x", "/r"), "1:/x");
    EXPECT_EQ(MapWindowsPath("ファイル\\波形.dat", "/r"), "ファイル/波形.dat");
}

TEST(Paths, SiblingProgramsLiveBesideOurExecutable)
{
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string folder = fs::path(self).parent_path().string();
    EXPECT_EQ(OwnExecutableDir(), folder);
    EXPECT_EQ(SiblingProgramPath("Quessil.exe"), folder + "/Quessil");
    EXPECT_EQ(SiblingProgramPath("Rostrel.EXE"), folder + "/Rostrel");
    EXPECT_EQ(SiblingProgramPath("Mandrove"), folder + "/Mandrove");
    EXPECT_EQ(SiblingProgramPath("c:\\old\\Nordalis.exe"), folder + "/Nordalis");
}

TEST(Paths, DriveMountPointFromTheProfile)
{
    EXPECT_EQ(DriveMountKey('e'), "Drive_E");
    EXPECT_EQ(DriveMountKey('E'), "Drive_E");
    EXPECT_EQ(DefaultDriveMountPoint('E'), "/media/velkarine/e");
    EXPECT_EQ(DriveMountKey('1'), "");

    const Profile empty = Profile::FromText("");
    EXPECT_EQ(DriveMountPoint(empty, 'e'), "/media/velkarine/e");
    EXPECT_EQ(DriveMountPoint(empty, 'a'), "/media/velkarine/a");
    EXPECT_EQ(DriveMountPoint(empty, ':'), "");

    const Profile set = Profile::FromText("[general]\ndrive_e = /run/media/u/USB/\nDrive_D=\n");
    EXPECT_EQ(DriveMountPoint(set, 'E'), "/run/media/u/USB");
    EXPECT_EQ(DriveMountPoint(set, 'd'), "/media/velkarine/d");  // empty value: the default
}

TEST(Paths, WorkingFolderIsTheCurrentFolder)
{
    const fs::path old = fs::current_path();
    // A folder deeper than the old 80-character limit.
    fs::path deep = fs::temp_directory_path() / ("velk_cwd_" + std::to_string(::getpid()));
    for (int i = 0; i < 8; ++i) deep /= "a_rather_long_folder_name_" + std::to_string(i);
    fs::create_directories(deep);
    fs::current_path(deep);
    const std::string wf = WorkingFolder();
    fs::current_path(old);
    EXPECT_EQ(wf, deep.string());
    EXPECT_GT(wf.size(), 80u);
    fs::remove_all(fs::temp_directory_path() / ("velk_cwd_" + std::to_string(::getpid())));
}

TEST(Paths, HomeDirFromTheEnvironment)
{
    ScopedEnv home("HOME", "/home/tester/");
    EXPECT_EQ(HomeDir(), "/home/tester");
    ScopedEnv none("HOME", nullptr);
    EXPECT_FALSE(HomeDir().empty());  // from the passwd entry
}

}  // namespace
}  // namespace velk
