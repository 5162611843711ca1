// The program's thread pool: every index once, jobs from several threads and from inside a job,
// the thread limit and errors thrown by an item.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/thread_pool.h"

namespace velk {
namespace {

TEST(ThreadPool, EveryIndexOnceFromManyCallersAndNestedJobs)
{
    ThreadPool pool(4);
    constexpr int kOuter = 40, kInner = 50;
    std::vector<std::atomic<int>> hits(kOuter * kInner);
    std::vector<std::thread> callers;
    for (int c = 0; c < 3; ++c) {
        callers.emplace_back([&] {
            pool.Run(kOuter, [&](int i) { pool.Run(kInner, [&](int j) { ++hits[static_cast<size_t>(i * kInner + j)]; }); });
        });
    }
    for (std::thread& t : callers) t.join();
    for (const std::atomic<int>& h : hits) ASSERT_EQ(h.load(), 3);
    pool.Run(0, [](int) { FAIL(); });
}

TEST(ThreadPool, KeepsToTheThreadLimit)
{
    ThreadPool pool(6);
    for (int limit : {1, 2, 3}) {
        std::mutex m;
        std::set<std::thread::id> seen;
        pool.Run(
            200,
            [&](int) {
                std::this_thread::sleep_for(std::chrono::microseconds(50));
                std::lock_guard<std::mutex> lock(m);
                seen.insert(std::this_thread::get_id());
            },
            limit);
        EXPECT_LE(seen.size(), static_cast<size_t>(limit)) << limit;
    }
    EXPECT_EQ(pool.Threads(), 6);
    EXPECT_EQ(ThreadPool::Shared().Threads(), HardwareThreads());
}

TEST(ThreadPool, AnItemsErrorReachesTheCaller)
{
    ThreadPool pool(4);
    EXPECT_THROW(pool.Run(1000,
                          [&](int i) {
                              if (i == 10) throw std::runtime_error("item");
                          }),
                 std::runtime_error);
    // The pool goes on working after the error.
    std::atomic<int> after{0};
    pool.Run(100, [&](int) { ++after; });
    EXPECT_EQ(after.load(), 100);
}

}  // namespace
}  // namespace velk
