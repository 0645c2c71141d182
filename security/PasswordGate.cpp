#include "security/PasswordGate.h"

#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/RegistryStore.h"
#include "platform/Text.h"
#include "security/PasswordHash.h"
#include "security/PasswordLock.h"

#include <algorithm>

namespace quillan::security {

namespace {

using platform::u;

constexpr int kFreeTries = 5;
constexpr qint64 kFirstPauseMs = 2000;
constexpr qint64 kLongestPauseMs = 60000;

qint64 readNumber(const platform::RegistryStore& registry, const char* value)
{
    bool ok = false;
    const qint64 n = registry.readRegistryText(lockKey(), u(value)).toLongLong(&ok);
    return ok && n > 0 ? n : 0;
}

} // namespace

PasswordGate::PasswordGate(platform::RegistryStore& registry, platform::Prompts& prompts,
                           platform::Clock& clock)
    : registry_(registry), prompts_(prompts), clock_(clock)
{
    failures_ = int(std::min<qint64>(readNumber(registry_, kFailuresValue), 1000000));
    lastFailureMs_ = readNumber(registry_, kLastFailureValue);
}

bool PasswordGate::lockOn() const
{
    return security::lockOn(registry_);
}

qint64 PasswordGate::pauseAfter(int failures)
{
    if (failures < kFreeTries)
        return 0;
    qint64 pause = kFirstPauseMs;
    for (int i = kFreeTries; i < failures && pause < kLongestPauseMs; ++i)
        pause *= 2;
    return std::min(pause, kLongestPauseMs);
}

qint64 PasswordGate::remainingPauseMs() const
{
    const qint64 pause = pauseAfter(failures_);
    if (pause == 0)
        return 0;
    const qint64 left = lastFailureMs_ + pause - clock_.now().toMSecsSinceEpoch();
    // A clock set back does not stretch the pause beyond its length.
    return std::clamp<qint64>(left, 0, pause);
}

int PasswordGate::remainingPauseSeconds() const
{
    return int((remainingPauseMs() + 999) / 1000);
}

QString PasswordGate::pauseText() const
{
    const int seconds = remainingPauseSeconds();
    return seconds > 0 ? u("请等待 %1 秒后再输入").arg(seconds) : QString();
}

PasswordGate::Outcome PasswordGate::confirm(const QString& typed)
{
    if (remainingPauseMs() > 0)
        return Outcome::Paused;
    const QString stored = registry_.readRegistryText(lockKey(), u(kPasswordValue));
    if (passwordMatches(typed, stored)) {
        resetFailures();
        return Outcome::Unlocked;
    }
    prompts_.message(u(kWrongPassword), u(kHintTitle), platform::Buttons::Ok);
    // The pause runs from the moment the officer can type again.
    recordFailure();
    return Outcome::Wrong;
}

void PasswordGate::recordFailure()
{
    ++failures_;
    lastFailureMs_ = clock_.now().toMSecsSinceEpoch();
    // Best effort: when the store cannot be written, the count still holds
    // for this run of the program.
    registry_.writeRegistryText(lockKey(), u(kFailuresValue), QString::number(failures_));
    registry_.writeRegistryText(lockKey(), u(kLastFailureValue), QString::number(lastFailureMs_));
}

void PasswordGate::resetFailures()
{
    if (failures_ == 0)
        return;
    failures_ = 0;
    registry_.writeRegistryText(lockKey(), u(kFailuresValue), QStringLiteral("0"));
}

} // namespace quillan::security
