#include "word/BoundedWorker.h"

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


BoundedWorker::BoundedWorker()
    : m_shared(std::make_shared<Shared>())
{
    // The thread keeps its own reference, so an abandoned task never runs on
    // freed state.
    std::shared_ptr<Shared> shared = m_shared;
    m_shared->thread = std::thread([shared] {
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
        std::lock_guard lock(m_shared->mutex);
        m_shared->stop = true;
    }
    m_shared->changed.notify_all();
    if (idle)
        m_shared->thread.join();
    else
        m_shared->thread.detach();
}

bool BoundedWorker::run(std::function<void()> task, int timeoutMs)
{
    std::unique_lock lock(m_shared->mutex);
    if (m_shared->busy || m_shared->hasTask)
        return false;
    m_shared->task = std::move(task);
    m_shared->hasTask = true;
    const std::uint64_t ticket = ++m_shared->submitted;
    m_shared->changed.notify_all();
    return m_shared->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                      [&] { return m_shared->finished >= ticket; });
}

bool BoundedWorker::waitIdle(int timeoutMs)
{
    std::unique_lock lock(m_shared->mutex);
    return m_shared->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return !m_shared->busy && !m_shared->hasTask;
    });
}

} // namespace quillan::word
