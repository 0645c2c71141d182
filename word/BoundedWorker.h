#pragma once

#include <functional>
#include <memory>

namespace quillan::word {

// One thread that runs tasks one at a time while the caller waits for at most
// a given time. A task that overruns keeps running; the caller ends whatever
// it waits on (the office process) and then waits for the task to come back.
// While the caller waits, `whileWaiting` (when set) is called every few
// milliseconds on the caller's thread, so that a window can keep painting.
class BoundedWorker
{
public:
    BoundedWorker();
    ~BoundedWorker();
    BoundedWorker(const BoundedWorker&) = delete;
    BoundedWorker& operator=(const BoundedWorker&) = delete;

    // Runs `task` on the worker thread. A task still running (one that was
    // posted) is waited for first, within the same time. True when `task`
    // finished within `timeoutMs`; false when the time ran out.
    // Exceptions escaping the task are swallowed.
    bool run(std::function<void()> task, int timeoutMs);
    // Hands `task` to the worker thread and returns at once; false (and the
    // task is dropped) when the worker is busy.
    bool post(std::function<void()> task);
    // Waits until no task is running; false when the time ran out.
    bool waitIdle(int timeoutMs);
    bool busy() const;

    std::function<void()> whileWaiting;

private:
    struct Shared;
    // Waits until `done` holds (checked under the lock), calling
    // whileWaiting between slices; false when the time ran out.
    bool waitFor(const std::function<bool()>& done, int timeoutMs);
    std::shared_ptr<Shared> shared_;
};

} // namespace quillan::word
