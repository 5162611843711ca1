#include "draw/parallel.h"

namespace velk {

WorkerPool::WorkerPool()
{
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned t = 1; t < cores; ++t) threads_.emplace_back([this] { Work(); });
}

WorkerPool::~WorkerPool()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void WorkerPool::Work()
{
    uint64_t seen = 0;
    for (;;) {
        const std::function<void(int)>* fn = nullptr;
        int n = 0;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
            if (stop_) return;
            seen = generation_;
            // A job whose indices are all handed out is not joined: its caller may be gone.
            if (!open_) continue;
            fn = fn_;
            n = n_;
            ++active_;
        }
        for (int i = next_.fetch_add(1); i < n; i = next_.fetch_add(1)) (*fn)(i);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (--active_ == 0) done_.notify_all();
        }
    }
}

void WorkerPool::Run(int n, const std::function<void(int)>& fn)
{
    if (threads_.empty() || n <= 1) {
        for (int i = 0; i < n; ++i) fn(i);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        fn_ = &fn;
        n_ = n;
        next_.store(0);
        open_ = true;
        ++generation_;
    }
    wake_.notify_all();
    for (int i = next_.fetch_add(1); i < n; i = next_.fetch_add(1)) fn(i);
    std::unique_lock<std::mutex> lock(mutex_);
    open_ = false;
    done_.wait(lock, [&] { return active_ == 0; });
    fn_ = nullptr;
}

}  // namespace velk
