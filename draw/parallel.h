#pragma once
// Work split over the machine's cores for the drawing: fn(i) for i in [0, n), each index on one
// thread, returning when all are done. A WorkerPool keeps its threads between calls (a paint
// hands out work several times); ParallelFor without a pool starts threads for the one call.

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace velk {

class WorkerPool {
public:
    // Threads besides the caller's: the cores less one.
    WorkerPool();
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // fn(i) for every i in [0, n), on the pool's threads and the caller's.
    void Run(int n, const std::function<void(int)>& fn);

private:
    void Work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    const std::function<void(int)>* fn_ = nullptr;
    int n_ = 0;
    std::atomic<int> next_{0};
    int active_ = 0;        // pool threads inside the current job
    bool open_ = false;     // the current job may still be joined
    uint64_t generation_ = 0;
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

template <class Fn>
void ParallelFor(int n, Fn&& fn, WorkerPool* pool = nullptr)
{
    if (pool) {
        pool->Run(n, std::function<void(int)>(std::forward<Fn>(fn)));
        return;
    }
    const int threads = std::min<int>(n, static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    if (threads <= 1) {
        for (int i = 0; i < n; ++i) fn(i);
        return;
    }
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next.fetch_add(1); i < n; i = next.fetch_add(1)) fn(i);
    };
    std::vector<std::jthread> workers;
    workers.reserve(static_cast<size_t>(threads - 1));
    for (int t = 1; t < threads; ++t) workers.emplace_back(work);
    work();
}

}  // namespace velk
