#include "word/BoundedWorker.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace quillan::word {

struct BoundedWorker::Shared
{
    std::mutex mutex;
    std::condition_variable changed;
    std::function<void()> task;
    bool hasTask = false;
    bool busy = false;
    bool stop = false;
    std::uint64_t submitted = 0;
    std::uint64_t finished = 0;
    std::thread thread;
};

BoundedWorker::BoundedWorker() : shared_(std::make_shared<Shared>())
{
    // The thread keeps its own reference, so an abandoned task never runs on
    // freed state.
    std::shared_ptr<Shared> shared = shared_;
    shared_->thread = std::thread([shared] {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock lock(shared->mutex);
                shared->changed.wait(lock, [&] { return shared->hasTask || shared->stop; });
                if (!shared->hasTask)
                    return;
                task = std::move(shared->task);
                shared->hasTask = false;
                shared->busy = true;
            }
            try {
                task();
            } catch (...) {
            }
            task = nullptr;
            {
                std::lock_guard lock(shared->mutex);
                shared->busy = false;
                ++shared->finished;
            }
            shared->changed.notify_all();
        }
    });
}

BoundedWorker::~BoundedWorker()
{
    const bool idle = waitIdle(30000);
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stop = true;
    }
    shared_->changed.notify_all();
    if (idle)
        shared_->thread.join();
    else
        shared_->thread.detach();
}

bool BoundedWorker::waitFor(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    // Slices short enough for a window to repaint smoothly while it waits.
    constexpr auto kSlice = std::chrono::milliseconds(15);
    for (;;) {
        {
            std::unique_lock lock(shared_->mutex);
            const auto now = std::chrono::steady_clock::now();
            if (done())
                return true;
            if (now >= deadline)
                return false;
            const auto until = whileWaiting ? std::min(deadline, now + kSlice) : deadline;
            if (shared_->changed.wait_until(lock, until, done))
                return true;
        }
        if (whileWaiting)
            whileWaiting();
    }
}

bool BoundedWorker::run(std::function<void()> task, int timeoutMs)
{
    const auto start = std::chrono::steady_clock::now();
    if (!waitFor([this] { return !shared_->busy && !shared_->hasTask; }, timeoutMs))
        return false;
    const auto used =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::uint64_t ticket = 0;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->task = std::move(task);
        shared_->hasTask = true;
        ticket = ++shared_->submitted;
    }
    shared_->changed.notify_all();
    const int left = std::max(0, timeoutMs - static_cast<int>(used.count()));
    return waitFor([this, ticket] { return shared_->finished >= ticket; }, left);
}

bool BoundedWorker::post(std::function<void()> task)
{
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->busy || shared_->hasTask)
            return false;
        shared_->task = std::move(task);
        shared_->hasTask = true;
        ++shared_->submitted;
    }
    shared_->changed.notify_all();
    return true;
}

bool BoundedWorker::busy() const
{
    std::lock_guard lock(shared_->mutex);
    return shared_->busy || shared_->hasTask;
}

bool BoundedWorker::waitIdle(int timeoutMs)
{
    std::unique_lock lock(shared_->mutex);
    return shared_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                     [&] { return !shared_->busy && !shared_->hasTask; });
}

} // namespace quillan::word
