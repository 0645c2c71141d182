// "加密", "解密" and the start-up check against a real store file, scripted
// prompts and a pinned clock. Every message is checked byte for byte.
#include "security/PasswordLock.h"
#include "doubles/ManualClock.h"
#include "doubles/ScriptedPrompts.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/RegistryStore.h"
#include "security/PasswordCommands.h"
#include "security/PasswordGate.h"
#include "security/PasswordHash.h"
#include "support/TestSupport.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

using platform::Buttons;
using Shown = platform::ScriptedPrompts::Shown;
using Outcome = security::PasswordGate::Outcome;

QString u(const char* s)
{
    return QString::fromUtf8(s);
}
Shown ok(const QString& text, const char* title)
{
    return {text, u(title), Buttons::Ok};
}
Shown ok(const char* text, const char* title)
{
    return ok(u(text), title);
}

class PasswordLock : public ::testing::Test
{
protected:
    PasswordLock()
        : clock(QDateTime(QDate(2012, 3, 5), QTime(15, 0, 0))),
          store(dir.file(QStringLiteral("config/registry")))
    {
        commands = makeCommands(store);
    }

    std::unique_ptr<security::PasswordCommands> makeCommands(platform::RegistryStore& registry)
    {
        security::PasswordEnvironment env;
        env.registry = &registry;
        env.prompts = &prompts;
        env.showSetPwdWin = [this] {
            ++windows;
            return typeIn && typeIn();
        };
        return std::make_unique<security::PasswordCommands>(env);
    }

    QString value(const char* name) const { return store.readRegistryText(security::lockKey(), u(name)); }
    // What a fresh start-up check makes of `typed`.
    Outcome startWith(const QString& typed)
    {
        security::PasswordGate gate(store, prompts, clock);
        return gate.confirm(typed);
    }

    TempDir dir;
    platform::ManualClock clock;
    platform::ScriptedPrompts prompts;
    platform::RegistryStore store;
    std::unique_ptr<security::PasswordCommands> commands;
    int windows = 0;
    std::function<bool()> typeIn; // what the officer does in SetPwdWin; true: stored
};

TEST_F(PasswordLock, EncryptSetsAHashedPasswordAndTheFlag)
{
    typeIn = [&] {
        // Nothing is said while the window is open.
        EXPECT_TRUE(commands->setPassword(u("Abc密码"), u("Abc密码")));
        EXPECT_TRUE(prompts.shown().isEmpty());
        return true;
    };
    commands->encrypt();
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(prompts.shown(), (QList<Shown>{ok("密码设置成功！下次启动软件时需要输入密码。", "提 示：")}));
    EXPECT_EQ(value("JIAMI"), QStringLiteral("1"));
    EXPECT_TRUE(security::isPasswordHash(value("MIMA")));
    EXPECT_FALSE(readFile(store.storeFile()).contains(QByteArray("Abc")));

    // With the lock on: the message and no window.
    prompts.clear();
    commands->encrypt();
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(prompts.shown(), (QList<Shown>{ok(" 软件以经加过密码了！", "提 示：")}));

    prompts.clear();
    EXPECT_EQ(startWith(u("abc密码")), Outcome::Wrong); // case matters
    EXPECT_EQ(startWith(u("Abc密码")), Outcome::Unlocked);
    EXPECT_EQ(prompts.shown(), (QList<Shown>{ok("密码输入错误！ 重新输入...", "提 示：")}));
}

TEST_F(PasswordLock, RefusedInputWritesNothing)
{
    struct Case
    {
        const char* first;
        const char* second;
        const char* text;
    } cases[] = {
        {"", "", " 没有输入密码 或 2遍密码输入不相符！"},
        {"abc", "", " 没有输入密码 或 2遍密码输入不相符！"},
        {"", "abc", " 没有输入密码 或 2遍密码输入不相符！"},
        {"abc", "Abc", " 没有输入密码 或 2遍密码输入不相符！"},
        {"abc", "abc ", " 没有输入密码 或 2遍密码输入不相符！"},
        {" abc", " abc", "密码的开头和结尾不能是空格，也不能只有空格！"},
        {"abc　", "abc　", "密码的开头和结尾不能是空格，也不能只有空格！"},
        {"   ", "   ", "密码的开头和结尾不能是空格，也不能只有空格！"},
    };
    for (const Case& c : cases) {
        prompts.clear();
        EXPECT_FALSE(commands->setPassword(u(c.first), u(c.second))) << c.first << "/" << c.second;
        EXPECT_EQ(prompts.shown(), (QList<Shown>{ok(c.text, "请 检 查：")})) << c.first << "/" << c.second;
    }
    EXPECT_FALSE(QFileInfo::exists(store.storeFile()));
}

TEST_F(PasswordLock, DecryptWithAndWithoutALock)
{
    // No lock set: "0" is written all the same.
    commands->decrypt();
    EXPECT_EQ(value("JIAMI"), QStringLiteral("0"));
    EXPECT_EQ(prompts.shown(), (QList<Shown>{ok("密码已清除！下次启动软件时不再需要输入密码。", "提 示：")}));

    // A lock, removed, then a new password: only the new one opens.
    typeIn = [&] { return commands->setPassword(u("old"), u("old")); };
    commands->encrypt();
    commands->decrypt();
    EXPECT_EQ(value("JIAMI"), QStringLiteral("0"));
    security::PasswordGate unlocked(store, prompts, clock);
    EXPECT_FALSE(unlocked.lockOn());
    typeIn = [&] { return commands->setPassword(u("new"), u("new")); };
    commands->encrypt();
    EXPECT_EQ(windows, 2);
    EXPECT_EQ(startWith(u("old")), Outcome::Wrong);
    EXPECT_EQ(startWith(u("new")), Outcome::Unlocked);
}

TEST_F(PasswordLock, AFailedWriteIsReportedAndLeavesTheLockAsItWas)
{
    // The store's folder cannot be made: a file is in its way.
    dir.write(QStringLiteral("blocked"), "a file");
    platform::RegistryStore blocked(dir.file(QStringLiteral("blocked/registry")));
    auto failing = makeCommands(blocked);
    EXPECT_FALSE(failing->setPassword(u("abc"), u("abc")));
    failing->decrypt();
    EXPECT_EQ(
        prompts.shown(),
        (QList<Shown>{ok(u("密码没有设置成功，软件没有加密：\r\n无法写入 ") + blocked.storeFile(), "提 示："),
                      ok(u("密码没有清除成功：\r\n无法写入 ") + blocked.storeFile(), "提 示：")}));
    EXPECT_FALSE(security::lockOn(blocked));
}

TEST_F(PasswordLock, StoredValuesAsTheStartUpReadsThem)
{
    struct Case
    {
        QByteArray flag;     // null: no flag value
        QByteArray password; // null: no password value
        const char* typed;
        bool locked;
        Outcome outcome;
    } cases[] = {
        {"1", QByteArray(), "", true, Outcome::Unlocked}, // flag without a password: an empty entry opens
        {"1", QByteArray(), "x", true, Outcome::Wrong},
        {"1", QByteArray("abc\0", 4), "abc", true, Outcome::Unlocked}, // ends in a zero byte
        {"1", "Abc", "abc", true, Outcome::Wrong},
        {"1", gbk(u("　密码 ")), "密码", true, Outcome::Unlocked},
        {"0", "abc", "", false, Outcome::Wrong},
        {QByteArray("1\0", 2), "abc", "", false, Outcome::Wrong}, // reads "1" CR LF: not "1"
        {" 1", "abc", "", false, Outcome::Wrong},
        {QByteArray(), "abc", "", false, Outcome::Wrong},
    };
    for (const Case& c : cases) {
        TempDir d;
        platform::RegistryStore s(d.file(QStringLiteral("registry")));
        if (!c.flag.isNull())
            s.writeRegistryBytes(security::lockKey(), u("JIAMI"), c.flag);
        if (!c.password.isNull())
            s.writeRegistryBytes(security::lockKey(), u("MIMA"), c.password);
        security::PasswordGate gate(s, prompts, clock);
        EXPECT_EQ(gate.lockOn(), c.locked) << c.typed;
        if (c.locked) {
            EXPECT_EQ(gate.confirm(u(c.typed)), c.outcome) << c.password.toStdString() << " / " << c.typed;
        }
    }
}

TEST_F(PasswordLock, RepeatedWrongPasswordsPauseTheChecks)
{
    store.writeRegistryText(security::lockKey(), u("JIAMI"), QStringLiteral("1"));
    store.writeRegistryText(security::lockKey(), u("MIMA"), QStringLiteral("right"));
    auto gate = std::make_unique<security::PasswordGate>(store, prompts, clock);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(gate->confirm(u("wrong")), Outcome::Wrong);
        EXPECT_EQ(gate->remainingPauseMs(), 0);
    }
    // From the fifth wrong password on, every try waits: 2 s, doubling, at
    // most 60 s. A try during the pause is refused unchecked and silently.
    const int pauses[] = {2, 4, 8, 16, 32, 60, 60};
    for (int pause : pauses) {
        prompts.clear();
        EXPECT_EQ(gate->confirm(u("wrong")), Outcome::Wrong);
        EXPECT_EQ(gate->pauseText(), u("请等待 %1 秒后再输入").arg(pause));
        clock.set(clock.now().addMSecs(pause * 1000 - 1));
        EXPECT_EQ(gate->confirm(u("right")), Outcome::Paused);
        EXPECT_EQ(gate->remainingPauseMs(), 1);
        EXPECT_EQ(gate->pauseText(), u("请等待 1 秒后再输入"));
        EXPECT_EQ(prompts.shown(), (QList<Shown>{ok("密码输入错误！ 重新输入...", "提 示：")}));
        clock.set(clock.now().addMSecs(1));
        EXPECT_EQ(gate->pauseText(), QString());
    }
    EXPECT_EQ(gate->failures(), 11);

    // A restart of the program does not end the pause; a clock set back
    // does not make it longer than it is.
    EXPECT_EQ(gate->confirm(u("wrong")), Outcome::Wrong);
    gate = std::make_unique<security::PasswordGate>(store, prompts, clock);
    EXPECT_EQ(gate->remainingPauseMs(), 60000);
    clock.set(clock.now().addDays(-1));
    EXPECT_EQ(gate->remainingPauseMs(), 60000);
    clock.set(clock.now().addDays(1).addSecs(60));

    // The right password opens and resets the count, also in the store.
    EXPECT_EQ(gate->confirm(u("right")), Outcome::Unlocked);
    EXPECT_EQ(value("CUOWU"), QStringLiteral("0"));
    EXPECT_EQ(security::PasswordGate(store, prompts, clock).failures(), 0);
    EXPECT_TRUE(clock.waits().isEmpty()); // nothing ever sleeps
}

TEST_F(PasswordLock, PauseHoldsWhenTheStoreCannotBeWritten)
{
    dir.write(QStringLiteral("blocked"), "a file");
    platform::RegistryStore blocked(dir.file(QStringLiteral("blocked/registry")));
    security::PasswordGate gate(blocked, prompts, clock);
    for (int i = 0; i < 5; ++i)
        gate.confirm(u("x")); // the empty password is the right one
    EXPECT_EQ(gate.confirm(QString()), Outcome::Paused);
    clock.set(clock.now().addSecs(2));
    EXPECT_EQ(gate.confirm(QString()), Outcome::Unlocked);
}

} // namespace
} // namespace quillan::test
