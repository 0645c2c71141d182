#pragma once

#include "platform/Shell.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quillan::platform {

// A shell for tests: records what was asked of it and starts nothing.
class RecordingShell final : public Shell
{
public:
    struct Started
    {
        QString program;
        QStringList arguments;
    };
    void openWebAddress(const QString& address) override { addresses_.append(address); }
    bool startProgram(const QString& program, const QStringList& arguments) override
    {
        started_.append(Started{program, arguments});
        return startResult_;
    }
    const QStringList& addresses() const { return addresses_; }
    const QList<Started>& started() const { return started_; }
    void setStartResult(bool ok) { startResult_ = ok; }
    void clear()
    {
        addresses_.clear();
        started_.clear();
    }

private:
    QStringList addresses_;
    QList<Started> started_;
    bool startResult_ = true;
};

} // namespace quillan::platform
