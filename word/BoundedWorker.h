#pragma once

#include <functional>
#include <memory>

namespace quillan::word {

// One thread that runs tasks one at a time while the caller waits for at most
// a given time. A task that overruns keeps running; the caller ends whatever
// it waits on (the office process) and then waits for the task to come back.
class BoundedWorker
{
public:
    BoundedWorker();
    ~BoundedWorker();
    BoundedWorker(const BoundedWorker&) = delete;
    BoundedWorker& operator=(const BoundedWorker&) = delete;

    // Runs `task` on the worker thread. True when it finished within
    // `timeoutMs`; false when it overran or a task is still running.
    // Exceptions escaping the task are swallowed.
    bool run(std::function<void()> task, int timeoutMs);
    // Waits until no task is running; false when the time ran out.
    bool waitIdle(int timeoutMs);

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

} // namespace quillan::word
