#pragma once

#include <QDateTime>

namespace quillan::platform {

// The local clock and waiting. Commands never read the time or sleep by
// themselves, so tests can pin the clock and run at full speed.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Blocks the caller for `ms` milliseconds. The windows keep painting and
    // timers keep running meanwhile, but no user input is taken.
    virtual void wait(int ms) = 0;
};

class SystemClock final : public Clock
{
public:
    QDateTime now() const override;
    void wait(int ms) override;
};

} // namespace quillan::platform
