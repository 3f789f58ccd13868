#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace recovery {

// A thread of its own that runs posted jobs one at a time. A job posted while another still
// waits replaces it: each job brings the same file up to date, so only the newest counts.
class LatestJobThread {
public:
    LatestJobThread();
    ~LatestJobThread() { stop(); }

    // Has the job run after the one running now, if any, in place of any job still waiting.
    void post(std::function<void()> job);
    // Drops a waiting job, lets the running one finish and ends the thread; later jobs never run.
    void stop();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::function<void()> waiting_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace recovery
