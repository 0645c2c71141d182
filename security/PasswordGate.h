#pragma once

#include <QString>

namespace quillan::platform {
class Clock;
class Prompts;
class RegistryStore;
} // namespace quillan::platform

namespace quillan::security {

// The check behind EnterPwdWin at start-up. After five wrong passwords in a
// row every further try waits for a pause that doubles from 2 s up to 60 s,
// counted on the clock service from the closing of the message about the
// last wrong try; during the pause a try is refused without being checked. The count is kept in the registry
// store, so a restart of the program does not reset it; a right password
// does.
class PasswordGate
{
public:
    enum class Outcome {
        Unlocked, // the password is right: the main window may be shown
        Wrong,    // the officer has been told; the entry is to be emptied
        Paused,   // refused unchecked: the pause is not over
    };

    PasswordGate(platform::RegistryStore& registry, platform::Prompts& prompts, platform::Clock& clock);

    // Whether the lock is on (read afresh).
    bool lockOn() const;

    // "确认密码" with the entry's text as typed.
    Outcome confirm(const QString& typed);

    // Milliseconds until the next try is taken; 0 when it is taken now.
    qint64 remainingPauseMs() const;
    // The same in whole seconds, rounded up (what the window shows).
    int remainingPauseSeconds() const;
    // The text the window shows meanwhile; empty when there is no pause.
    QString pauseText() const;

    int failures() const { return failures_; }

    // The pause after `failures` wrong passwords in a row, in ms.
    static qint64 pauseAfter(int failures);

private:
    void recordFailure();
    void resetFailures();

    platform::RegistryStore& registry_;
    platform::Prompts& prompts_;
    platform::Clock& clock_;
    // Kept here as well as in the store: a store that cannot be written does
    // not switch the pause off.
    int failures_ = 0;
    qint64 lastFailureMs_ = 0;
};

} // namespace quillan::security
