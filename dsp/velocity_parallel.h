#pragma once
// Spreading independent items (traces, slownesses, frequency bins) of the velocity filters and
// the two-dimensional transforms over threads. Each item writes only its own outputs, so the
// results do not depend on the number of threads.

#include <algorithm>
#include <cstdint>

#include "platform/thread_pool.h"

namespace velk::velocity_detail {

// Calls work(first, last) on consecutive ranges covering [0, count), on up to the machine's
// pool's threads; work of fewer than `minimumCost` units per thread stays on the calling thread.
// `costPerItem` is a rough count of operations per item. A `threadCount` above 0 splits the
// items into that many ranges (at most one per item) on at most that many threads, whatever
// the cost: for tests that compare thread counts.
template <class Work>
void ParallelFor(int count, int64_t costPerItem, Work&& work, int threadCount = 0)
{
    if (count <= 0) {
        return;
    }
    constexpr int64_t kMinimumCost = 1 << 18;
    const int64_t total = std::max<int64_t>(1, costPerItem) * count;
    ThreadPool& pool = ThreadPool::Shared();
    const int machine = pool.Threads();
    const int threads = threadCount > 0 ? std::min(threadCount, count)
                                        : static_cast<int>(std::clamp<int64_t>(
                                              std::min<int64_t>(total / kMinimumCost, count), 1, machine));
    if (threads == 1) {
        work(0, count);
        return;
    }
    const int step = (count + threads - 1) / threads;
    const int ranges = (count + step - 1) / step;
    pool.Run(
        ranges, [&](int r) { work(r * step, std::min(count, (r + 1) * step)); }, threads);
}

}  // namespace velk::velocity_detail
