#pragma once

#include <QString>

namespace quillan::platform {

// What the commands may tell through the main window besides message boxes:
// the status message, shown at the head of the status bar by the clock;
// part 0 of the status bar, which the clock replaces within a second; and
// the busy cursor while a slow component works.
class StatusPort
{
public:
    virtual ~StatusPort() = default;
    virtual QString statusMessage() const = 0;
    virtual void setStatusMessage(const QString& text) = 0;
    virtual void setStatusPart0(const QString& text) = 0;
    virtual void setBusy(bool busy) = 0;
};

// Shows the busy cursor for its lifetime; set aside around a question to
// the officer with set(false) or release().
class BusyCursor
{
public:
    explicit BusyCursor(StatusPort& port) : port_(port) { set(true); }
    ~BusyCursor() { set(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    void set(bool on)
    {
        if (on != on_)
            port_.setBusy(on);
        on_ = on;
    }
    void release() { set(false); }

private:
    StatusPort& port_;
    bool on_ = false;
};

} // namespace quillan::platform
