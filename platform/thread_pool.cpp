#include "platform/thread_pool.h"

#include <algorithm>
#include <system_error>

namespace velk {

int HardwareThreads()
{
    static const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return threads;
}

ThreadPool::ThreadPool(int threads)
{
    for (int t = 1; t < threads; ++t) {
        try {
            workers_.emplace_back([this] { WorkerLoop(); });
        } catch (const std::system_error&) {
            break;  // fewer workers: the jobs still run, on the threads there are
        }
    }
}

ThreadPool::~ThreadPool()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : workers_) t.join();
}

ThreadPool& ThreadPool::Shared()
{
    static ThreadPool pool(HardwareThreads());
    return pool;
}

void ThreadPool::Work(Job& job)
{
    for (int i = job.next.fetch_add(1); i < job.n; i = job.next.fetch_add(1)) {
        try {
            job.call(job.fn, i);
        } catch (...) {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!job.error) job.error = std::current_exception();
            job.next.store(job.n);  // the rest is skipped
            return;
        }
    }
}

ThreadPool::Job* ThreadPool::Pick()
{
    for (Job* job : jobs_) {
        if (job->helpers > 0 && job->next.load() < job->n) {
            --job->helpers;
            ++job->active;
            return job;
        }
    }
    return nullptr;
}

void ThreadPool::WorkerLoop()
{
    for (;;) {
        Job* job = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return stop_ || (job = Pick()) != nullptr; });
            if (!job) return;  // stopping
        }
        Work(*job);
        std::lock_guard<std::mutex> lock(mutex_);
        if (--job->active == 0) done_.notify_all();
    }
}

void ThreadPool::RunJob(Job& job, int n, int maxThreads)
{
    if (n <= 0) return;
    const int threads = std::min({n, maxThreads > 0 ? maxThreads : Threads(), Threads()});
    if (threads <= 1) {
        for (int i = 0; i < n; ++i) job.call(job.fn, i);
        return;
    }
    job.n = n;
    job.helpers = threads - 1;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(&job);
    }
    if (job.helpers == 1) {
        wake_.notify_one();
    } else {
        wake_.notify_all();
    }
    Work(job);
    {
        std::unique_lock<std::mutex> lock(mutex_);
        jobs_.erase(std::find(jobs_.begin(), jobs_.end(), &job));
        done_.wait(lock, [&] { return job.active == 0; });
    }
    if (job.error) std::rethrow_exception(job.error);
}

}  // namespace velk
