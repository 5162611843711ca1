#pragma once
// Spreading independent items (traces, slownesses, frequency bins) of the velocity filters and
// the two-dimensional transforms over threads. Each item writes only its own outputs, so the
// results do not depend on the number of threads.

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

namespace velk::velocity_detail {

// Calls work(first, last) on consecutive ranges covering [0, count), on up to the machine's
// threads; work of fewer than `minimumCost` units per thread stays on the calling thread.
// `costPerItem` is a rough count of operations per item. A `threadCount` above 0 uses exactly
// that many threads (at most one per item), whatever the cost: for tests that compare thread
// counts.
template <class Work>
void ParallelFor(int count, int64_t costPerItem, Work&& work, int threadCount = 0)
{
    if (count <= 0) {
        return;
    }
    constexpr int64_t kMinimumCost = 1 << 18;
    const int64_t total = std::max<int64_t>(1, costPerItem) * count;
    const int machine = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int threads = threadCount > 0 ? std::min(threadCount, count)
                                        : static_cast<int>(std::clamp<int64_t>(
                                              std::min<int64_t>(total / kMinimumCost, count), 1, machine));
    if (threads == 1) {
        work(0, count);
        return;
    }
    std::vector<std::thread> pool;
    pool.reserve(static_cast<size_t>(threads) - 1);
    const int step = (count + threads - 1) / threads;
    for (int first = step; first < count; first += step) {
        pool.emplace_back([&work, first, last = std::min(count, first + step)] { work(first, last); });
    }
    work(0, std::min(count, step));
    for (std::thread& t : pool) {
        t.join();
    }
}

}  // namespace velk::velocity_detail
