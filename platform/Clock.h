#pragma once

#include <QDateTime>
#include <QList>

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

// A clock that stands still until told otherwise; waits are recorded and
// move it forward at once.
class ManualClock final : public Clock
{
public:
    explicit ManualClock(QDateTime start) : now_(std::move(start)) {}
    QDateTime now() const override { return now_; }
    void wait(int ms) override
    {
        waits_.append(ms);
        now_ = now_.addMSecs(ms);
    }
    void set(const QDateTime& t) { now_ = t; }
    const QList<int>& waits() const { return waits_; }
    void clearWaits() { waits_.clear(); }

private:
    QDateTime now_;
    QList<int> waits_;
};

} // namespace quillan::platform
