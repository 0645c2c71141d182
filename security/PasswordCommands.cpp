#include "security/PasswordCommands.h"

#include "platform/Prompts.h"
#include "platform/RegistryStore.h"
#include "platform/Text.h"
#include "security/PasswordHash.h"
#include "security/PasswordLock.h"

namespace quillan::security {

namespace {

using platform::Buttons;

using platform::u;

} // namespace

QString lockKey()
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillan");
}

bool lockOn(const platform::RegistryStore& registry)
{
    return registry.readRegistryText(lockKey(), u(kFlagValue)) == QLatin1String("1");
}

QString unreadableLockText(const QString& reason)
{
    return u("密码设置无法读取：") + reason + u("，程序没有加锁。请重新设置密码。");
}

bool lockUnreadable(platform::RegistryStore& registry, platform::Prompts& prompts)
{
    QString reason = registry.problem();
    if (!reason.isEmpty()) {
        registry.keepAside();
    } else if (lockOn(registry) &&
               isMalformedPasswordHash(registry.readRegistryText(lockKey(), u(kPasswordValue)))) {
        reason = u("保存的密码已损坏");
        registry.writeRegistryText(lockKey(), u(kFlagValue), QStringLiteral("0"));
    } else {
        return false;
    }
    prompts.message(unreadableLockText(reason), u(kHintTitle), Buttons::Ok);
    return true;
}

PasswordCommands::PasswordCommands(PasswordEnvironment env) : env_(std::move(env)) {}

void PasswordCommands::encrypt() const
{
    if (lockOn(*env_.registry)) {
        env_.prompts->message(u(kAlreadyLocked), u(kHintTitle), Buttons::Ok);
        return;
    }
    if (env_.showSetPwdWin())
        env_.prompts->message(u(kLockSet), u(kHintTitle), Buttons::Ok);
}

bool PasswordCommands::setPassword(const QString& first, const QString& second) const
{
    if (first.isEmpty() || second.isEmpty() || first != second) {
        env_.prompts->message(u(kRejected), u(kCheckTitle), Buttons::Ok);
        return false;
    }
    // The check trims blanks from the stored text only: a password with
    // blanks at an end could be set but never typed in again.
    if (hasBlankEdges(first)) {
        env_.prompts->message(u(kBlankEdges), u(kCheckTitle), Buttons::Ok);
        return false;
    }
    // The password first, then the flag: the lock is never on without the
    // password it asks for.
    const std::optional<QString> hash = hashPassword(first);
    if (!hash || !env_.registry->writeRegistryText(lockKey(), u(kPasswordValue), *hash) ||
        !env_.registry->writeRegistryText(lockKey(), u(kFlagValue), QStringLiteral("1"))) {
        env_.prompts->message(u(kSetFailed) + env_.registry->storeFile(), u(kHintTitle), Buttons::Ok);
        return false;
    }
    return true;
}

void PasswordCommands::decrypt() const
{
    if (!env_.registry->writeRegistryText(lockKey(), u(kFlagValue), QStringLiteral("0"))) {
        env_.prompts->message(u(kClearFailed) + env_.registry->storeFile(), u(kHintTitle), Buttons::Ok);
        return;
    }
    env_.prompts->message(u(kLockCleared), u(kHintTitle), Buttons::Ok);
}

} // namespace quillan::security
