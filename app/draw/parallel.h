#pragma once
// Work split over the machine's cores for the drawing: fn(i) for i in [0, n), each index on one
// thread, returning when all are done. Small counts run on the calling thread.

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace velk {

template <class Fn>
void ParallelFor(int n, Fn&& fn)
{
    const int threads = std::min<int>(n, static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    if (threads <= 1) {
        for (int i = 0; i < n; ++i) fn(i);
        return;
    }
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next.fetch_add(1); i < n; i = next.fetch_add(1)) fn(i);
    };
    std::vector<std::jthread> pool;
    pool.reserve(static_cast<size_t>(threads - 1));
    for (int t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
}

}  // namespace velk
