// Real starts of the stand-in sibling program, and the named blocks it reads.

#include "platform/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include <sys/wait.h>

#include "platform/shared_block.h"
#include "tools/test_support.h"

namespace velk {
namespace {

bool WaitForExit(pid_t pid)
{
    for (int i = 0; i < 1000; ++i) {
        if (HasExited(pid)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(Process, StandInGetsItsArgumentsFolderAndBlock)
{
    testing::TempFolder folder;
    const std::string log = folder.File("log.txt");
    SetSharedBlockPrefix("velk-test-" + std::to_string(::getpid()) + "-");
    SharedBlock block;
    std::string error;
    ASSERT_TRUE(block.Open("MyData", 16, &error)) << error;
    std::memcpy(block.Data(), "0123456789abcdef", 16);
    testing::ScopedEnv logEnv("STANDIN_LOG", log.c_str());
    testing::ScopedEnv blockEnv("STANDIN_BLOCK", SharedBlockObjectName("MyData").c_str());
    testing::ScopedEnv sizeEnv("STANDIN_BLOCK_SIZE", "16");

    const SpawnResult r = SpawnDetached(VELK_SIBLING_STANDIN, {"a b.8hd", "", "-0"}, folder.Path());
    ASSERT_TRUE(r.Ok()) << r.error;
    ASSERT_TRUE(WaitForExit(r.pid));
    EXPECT_EQ(testing::ReadFileText(log), "folder " + folder.Path() + "\n[a b.8hd]\n[]\n[-0]\n");
    EXPECT_EQ(testing::ReadFileText(log + ".block"), "0123456789abcdef");
    // Collected: no zombie is left, and nothing of ours is waited for twice.
    EXPECT_EQ(ReapChildren(), 0);
    EXPECT_EQ(::waitpid(r.pid, nullptr, WNOHANG), -1);

    block.Close();
    EXPECT_EQ(UnlinkSharedBlocks(), "");
    EXPECT_FALSE(std::filesystem::exists("/dev/shm" + SharedBlockObjectName("MyData")));
    SetSharedBlockPrefix("");
}

TEST(Process, MissingOrUnusableExecutableFailsAtOnce)
{
    testing::TempFolder folder;
    const std::string text = folder.File("not-a-program");
    testing::WriteFileText(text, "plain text");
    for (const std::string& exe : {folder.File("missing"), text, std::string()}) {
        const SpawnResult r = SpawnDetached(exe, {}, folder.Path());
        EXPECT_FALSE(r.Ok()) << exe;
        EXPECT_FALSE(r.error.empty());
    }
}

TEST(SharedBlock, RefusesNamesThatAreNoObjectName)
{
    SharedBlock block;
    for (const char* name : {"", "a/b"}) {
        std::string error;
        EXPECT_FALSE(block.Open(name, 16, &error)) << name;
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(block.IsOpen());
    }
}

}  // namespace
}  // namespace velk
