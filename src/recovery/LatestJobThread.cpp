#include "recovery/LatestJobThread.h"

namespace recovery {

LatestJobThread::LatestJobThread() : thread_([this] { run(); }) {}

void LatestJobThread::stop()
{
    if (!thread_.joinable())
        return;
    {
        const std::lock_guard guard(mutex_);
        stopping_ = true;
        waiting_ = nullptr;
    }
    wake_.notify_one();
    thread_.join();
}

void LatestJobThread::post(std::function<void()> job)
{
    {
        const std::lock_guard guard(mutex_);
        waiting_ = std::move(job);
    }
    wake_.notify_one();
}

void LatestJobThread::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || waiting_; });
        if (stopping_)
            return;
        std::function<void()> job = std::move(waiting_);
        waiting_ = nullptr;
        lock.unlock();
        job();
        lock.lock();
    }
}

} // namespace recovery
