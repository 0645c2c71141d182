#pragma once

#include "platform/Clock.h"

#include <QDateTime>
#include <QList>

#include <utility>

namespace quillan::platform {

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
