#pragma once
// Work split over the machine's cores for the drawing: fn(i) for i in [0, n), each index on one
// thread, returning when all are done. Everything runs on the program's thread pool
// (platform/thread_pool.h); a WorkerPool is the handle that owners of drawing state keep and
// pass down, so a pool of another size can stand in for it.

#include <utility>

#include "platform/thread_pool.h"

namespace velk {

class WorkerPool {
public:
    WorkerPool() : pool_(&ThreadPool::Shared()) {}
    explicit WorkerPool(ThreadPool& pool) : pool_(&pool) {}

    // fn(i) for every i in [0, n), on the pool's threads and the caller's.
    template <class Fn>
    void Run(int n, Fn&& fn)
    {
        pool_->Run(n, std::forward<Fn>(fn));
    }

    // The threads a job can have, the caller's included.
    int Threads() const { return pool_->Threads(); }

private:
    ThreadPool* pool_;
};

template <class Fn>
void ParallelFor(int n, Fn&& fn, WorkerPool* pool = nullptr)
{
    if (pool) {
        pool->Run(n, std::forward<Fn>(fn));
    } else {
        ThreadPool::Shared().Run(n, std::forward<Fn>(fn));
    }
}

}  // namespace velk
