#pragma once

#include <QString>

#include <functional>

namespace quillan::platform {
class Prompts;
class RegistryStore;
} // namespace quillan::platform

namespace quillan::security {

// What the lock commands work with. Every member must be set.
struct PasswordEnvironment
{
    platform::RegistryStore* registry = nullptr;
    platform::Prompts* prompts = nullptr;
    // Shows SetPwdWin, fresh and empty, modally; returns when it is closed:
    // true when it closed because its "加 密" button (which calls
    // setPassword) stored the password.
    std::function<bool()> showSetPwdWin;
};

// The menu "安全设置": "加密" sets a password, "解密" removes the lock. The
// new state takes effect at the next start of the program.
class PasswordCommands
{
public:
    explicit PasswordCommands(PasswordEnvironment env);

    // "加密": refuses while the lock is on, otherwise shows SetPwdWin and,
    // once it has closed with a stored password, says so.
    void encrypt() const;
    // SetPwdWin's "加 密" with the texts of its two entries. True when the
    // password was stored and the lock switched on: the window closes. False
    // when the input was refused or the store could not be written (the
    // officer has been told why, the lock is as it was): the window stays
    // with both entries as they are.
    bool setPassword(const QString& first, const QString& second) const;
    // "解密": switches the lock off, whether or not it was on.
    void decrypt() const;

private:
    PasswordEnvironment env_;
};

} // namespace quillan::security
