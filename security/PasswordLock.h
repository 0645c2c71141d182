#pragma once

#include <QString>

namespace quillan::platform {
class Prompts;
class RegistryStore;
} // namespace quillan::platform

namespace quillan::security {

// Where the lock lives in the registry store: under one key, the flag
// "JIAMI" ("1": the lock is on; anything else or missing: off), the stored
// password "MIMA", and the count and time of the wrong passwords typed in a
// row, which outlive a restart of the program.
QString lockKey(); // "HKEY_CURRENT_USER\Software\Quillan"
inline constexpr const char* kFlagValue = "JIAMI";
inline constexpr const char* kPasswordValue = "MIMA";
inline constexpr const char* kFailuresValue = "CUOWU";           // decimal count
inline constexpr const char* kLastFailureValue = "CUOWUSHIJIAN"; // ms since 1970 (UTC)

// The messages and titles of the lock.
inline constexpr const char* kHintTitle = "提 示：";
inline constexpr const char* kCheckTitle = "请 检 查：";
inline constexpr const char* kAlreadyLocked = " 软件以经加过密码了！";
inline constexpr const char* kRejected = " 没有输入密码 或 2遍密码输入不相符！";
inline constexpr const char* kBlankEdges = "密码的开头和结尾不能是空格，也不能只有空格！";
inline constexpr const char* kLockSet = "密码设置成功！下次启动软件时需要输入密码。";
inline constexpr const char* kLockCleared = "密码已清除！下次启动软件时不再需要输入密码。";
inline constexpr const char* kWrongPassword = "密码输入错误！ 重新输入...";
inline constexpr const char* kSetFailed = "密码没有设置成功，软件没有加密：\r\n无法写入 ";
inline constexpr const char* kClearFailed = "密码没有清除成功：\r\n无法写入 ";

// Whether the lock is on: the flag reads exactly "1". Read afresh each time.
bool lockOn(const platform::RegistryStore& registry);

// The message when the lock's settings cannot be read: the program opens
// unlocked and says so.
QString unreadableLockText(const QString& reason);

// Before the start-up password: a store that cannot be read, or a lock
// whose stored password is damaged, never opens the window in silence and
// never locks the officer out. The officer is told why (`prompts`), the
// damaged store is kept aside (a fresh one takes its place), a damaged
// password's lock is switched off. True when the lock is to be skipped.
bool lockUnreadable(platform::RegistryStore& registry, platform::Prompts& prompts);

} // namespace quillan::security
