#pragma once
// The program's one pool of worker threads. Every loop that spreads work over cores (drawing
// rasters, filters, velocity filters, finite differences, migrations) hands its items to it,
// so the program starts its threads once and never runs more of them than the machine has.
//
// Run(n, fn) calls fn(i) for every i in [0, n) and returns when all are done; the calling
// thread works on its own job too. Calls may come from several threads at once and from inside
// fn (a nested call runs on the caller and whichever workers are idle), so no call waits for a
// thread that is waiting itself. Which thread runs an index is not fixed: loops whose items
// write only their own outputs give the same results on any number of threads.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

namespace velk {

// The machine's hardware threads (at least 1), read once for the whole program.
int HardwareThreads();

class ThreadPool {
public:
    // `threads` in all, the caller's included: threads - 1 workers (none for threads <= 1).
    explicit ThreadPool(int threads);
    ~ThreadPool();
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    // The program's pool, HardwareThreads() in all, started on first use.
    static ThreadPool& Shared();

    // The threads a job can have, the caller's included.
    int Threads() const { return static_cast<int>(workers_.size()) + 1; }

    // fn(i) for i in [0, n) on at most maxThreads threads (< 1: Threads()), the caller's
    // included. When fn throws, indices not yet started are skipped and the first exception is
    // rethrown here once the running ones have returned.
    template <class Fn>
    void Run(int n, Fn&& fn, int maxThreads = 0)
    {
        using F = std::remove_reference_t<Fn>;
        Job job;
        job.call = [](const void* f, int i) { (*static_cast<F*>(const_cast<void*>(f)))(i); };
        job.fn = &fn;
        RunJob(job, n, maxThreads);
    }

private:
    struct Job {
        void (*call)(const void*, int) = nullptr;
        const void* fn = nullptr;
        int n = 0;
        std::atomic<int> next{0};  // the next index to hand out
        int helpers = 0;  // workers that may still join (guarded by the pool's mutex)
        int active = 0;   // workers inside the job (guarded by the pool's mutex)
        std::exception_ptr error;
    };

    void RunJob(Job& job, int n, int maxThreads);
    void Work(Job& job);
    Job* Pick();
    void WorkerLoop();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::deque<Job*> jobs_;
    bool stop_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace velk
