// The two password windows: their layout, and the start-up gate and the
// menu "安全设置" driven through the running program.
#include "../app/AppFixture.h"
#include "doubles/ManualClock.h"
#include "doubles/ScriptedPrompts.h"

#include "app/StatusText.h"
#include "security/PasswordGate.h"
#include "security/PasswordHash.h"
#include "security/PasswordLock.h"
#include "security/PasswordWindows.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace quillan::test {
namespace {

using Shown = platform::ScriptedPrompts::Shown;
using platform::Buttons;

QString u(const char* s)
{
    return QString::fromUtf8(s);
}
Shown ok(const char* text, const char* title)
{
    return {u(text), u(title), Buttons::Ok};
}

// Each control of a built window as one line: unit, kind, place, caption and
// the input modes.
QStringList describe(const QDialog& w)
{
    QStringList lines;
    for (QWidget* c : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QString line = c->objectName() + QLatin1Char(' ');
        const QRect g = c->geometry();
        const QString place =
            QStringLiteral(" %1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
        if (auto* e = qobject_cast<QLineEdit*>(c)) {
            line += QStringLiteral("EditBox") + place;
            if (e->echoMode() == QLineEdit::Password)
                line += QStringLiteral(" password");
            if (e->alignment() & Qt::AlignHCenter)
                line += QStringLiteral(" centred");
            if (!e->text().isEmpty())
                line += QStringLiteral(" text=") + e->text();
        } else if (auto* b = qobject_cast<QPushButton*>(c)) {
            line += QStringLiteral("Button") + place + QStringLiteral(" \"") + b->text() + QLatin1Char('"');
        } else if (auto* l = qobject_cast<QLabel*>(c)) {
            line += QStringLiteral("Label") + place + QStringLiteral(" \"") + l->text() + QLatin1Char('"');
        } else {
            continue;
        }
        if (c->isHidden())
            line += QStringLiteral(" hidden");
        lines << line;
    }
    return lines;
}

// Acts on each password window as it is shown (modal windows run their own
// event loop, so the test acts from a timer). A window that is still open
// after 10 s is closed and the test fails, so that nothing hangs.
class WindowDriver
{
public:
    WindowDriver(const QString& name, std::function<void(QDialog&)> step)
        : name_(name), step_(std::move(step))
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }
    int shown() const { return shown_; }

private:
    void poll()
    {
        auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!w || w->objectName() != name_ || !w->isVisible())
            return;
        if (w != seen_) {
            seen_ = w;
            ++shown_;
            since_.start();
            step_(*w);
        } else if (since_.elapsed() > 10000) {
            ADD_FAILURE() << name_.toStdString() << " did not close";
            w->close();
        }
    }

    QString name_;
    std::function<void(QDialog&)> step_;
    QTimer timer_;
    QPointer<QDialog> seen_;
    QElapsedTimer since_;
    int shown_ = 0;
};

QLineEdit* entry(QDialog& w, const char* unit)
{
    return w.findChild<QLineEdit*>(u(unit));
}

// Types `text` into `edit`: Latin characters as key clicks, the others as
// an input method would hand them over.
void type(QLineEdit* edit, const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(edit, char(c.unicode()));
        else
            edit->insert(QString(c));
    }
}
QPushButton* button(QDialog& w)
{
    return w.findChild<QPushButton*>(u("按钮1"));
}

void lock(platform::RegistryStore& store, const QString& stored)
{
    store.writeRegistryText(security::lockKey(), u("JIAMI"), QStringLiteral("1"));
    store.writeRegistryText(security::lockKey(), u("MIMA"), stored);
}

TEST(PasswordWin, LayoutAsDesigned)
{
    TempDir dir;
    platform::RegistryStore store(dir.file(QStringLiteral("registry")));
    platform::ScriptedPrompts prompts;
    platform::ManualClock clock(QDateTime(QDate(2012, 3, 5), QTime(15, 0, 0)));
    security::PasswordCommands commands({&store, &prompts, [] { return false; }});
    security::PasswordGate gate(store, prompts, clock);
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();

    security::SetPwdWin set(commands);
    EXPECT_EQ(set.objectName(), QStringLiteral("SetPwdWin"));
    EXPECT_EQ(set.windowTitle(), u("请输入2次正确密码："));
    EXPECT_EQ(set.minimumSize(), QSize(262, 92));
    EXPECT_EQ(set.maximumSize(), QSize(262, 92));
    EXPECT_EQ(set.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(set.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(set.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(set.pos(), centre - QPoint(131, 46));
    EXPECT_EQ(describe(set), (QStringList{
                                 u("编辑框1 EditBox 16,13 129x20 password centred"),
                                 u("编辑框2 EditBox 16,38 129x20 password centred"),
                                 u("按钮1 Button 154,16 88x38 \"加 密\""),
                             }));

    security::EnterPwdWin enter(gate);
    EXPECT_EQ(enter.objectName(), QStringLiteral("EnterPwdWin"));
    EXPECT_EQ(enter.windowTitle(), u("输 入 密 码："));
    EXPECT_EQ(enter.minimumSize(), QSize(276, 72));
    EXPECT_EQ(enter.maximumSize(), QSize(276, 72));
    EXPECT_TRUE(enter.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(enter.pos(), centre - QPoint(138, 36));
    EXPECT_EQ(describe(enter), (QStringList{
                                   u("标签1 Label 7,2 97x24 \"请输入登陆密码：\""),
                                   u("编辑框1 EditBox 21,37 144x20 password centred"),
                                   u("按钮1 Button 175,30 88x32 \"确认密码\""),
                                   u("标签2 Label 110,4 160x20 \"\" hidden"),
                               }));

    // Every character shows as "*"; each control has a name for screen readers.
    type(entry(enter, "编辑框1"), u("ab密"));
    EXPECT_EQ(entry(enter, "编辑框1")->displayText(), QStringLiteral("***"));
    for (QDialog* w : {static_cast<QDialog*>(&set), static_cast<QDialog*>(&enter)})
        for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_FALSE(c->accessibleName().isEmpty()) << c->objectName().toStdString();
}

TEST(PasswordWin, GateAsksUntilTheRightPassword)
{
    AppFixture f;
    lock(*f.registry, *security::hashPassword(u("Right密码")));
    WindowDriver driver(u("EnterPwdWin"), [&](QDialog& w) {
        EXPECT_FALSE(f.win().isVisible());
        EXPECT_EQ(f.win().statusMessage(), QString()); // the start-up waits
        type(entry(w, "编辑框1"), u("right密码"));
        button(w)->click();
        EXPECT_EQ(entry(w, "编辑框1")->text(), QString()); // emptied
        EXPECT_TRUE(w.isVisible());
        QTest::keyClick(&w, Qt::Key_Escape); // no way out
        EXPECT_TRUE(w.isVisible());
        type(entry(w, "编辑框1"), u("Right密码"));
        QTest::keyClick(entry(w, "编辑框1"), Qt::Key_Return); // Enter checks too
        EXPECT_FALSE(w.isVisible());
    });
    f.app->start();
    EXPECT_EQ(driver.shown(), 1);
    EXPECT_TRUE(f.win().isVisible());
    EXPECT_EQ(f.win().statusMessage(), app::versionStatusText()); // the start-up went on
    EXPECT_EQ(f.prompts->shown(), (QList<Shown>{ok("密码输入错误！ 重新输入...", "提 示：")}));
    EXPECT_EQ(f.exitCode, -1);

    // A new record runs the start-up again, without the gate.
    f.win().menuAction(u("文件"), u("新建(笔录)"))->trigger();
    EXPECT_EQ(driver.shown(), 1);
    EXPECT_TRUE(f.win().isVisible());
}

TEST(PasswordWin, ClosingTheGateEndsTheProgram)
{
    AppFixture f;
    lock(*f.registry, QStringLiteral("plain"));
    WindowDriver driver(u("EnterPwdWin"), [](QDialog& w) { w.close(); });
    f.app->start();
    EXPECT_EQ(driver.shown(), 1);
    EXPECT_EQ(f.exitCode, 1);
    EXPECT_FALSE(f.win().isVisible());
    // Nothing of the rest of the start-up ran.
    EXPECT_EQ(f.win().statusMessage(), QString());
    EXPECT_FALSE(QFileInfo::exists(f.paths.desktopDir + QStringLiteral("/Quillan.desktop")));
}

TEST(PasswordWin, AnUnreadableLockNeitherOpensInSilenceNorLocksTheOfficerOut)
{
    const QString damagedHash =
        u("pbkdf2-sha256$99999999$c2FsdA==$") + QString::fromLatin1(QByteArray(32, 'x').toBase64());
    struct Case
    {
        const char* what;
        std::function<void(AppFixture&)> prepare;
        QString reason;
        bool keptAside;
    };
    const QList<Case> cases = {
        {"a damaged store",
         [](AppFixture& f) { f.dir.write(u("config/registry"), "quillan-registry 1\nv zz\n"); },
         u("文件 %STORE% 已损坏"), true},
        {"a store too large to be the program's",
         [](AppFixture& f) { f.dir.write(u("config/registry"), QByteArray((64 << 20) + 1, 'x')); },
         u("文件太大（超过 67108864 字节）"), true},
        {"a damaged password", [&](AppFixture& f) { lock(*f.registry, damagedHash); }, u("保存的密码已损坏"),
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AppFixture f;
        c.prepare(f);
        const QByteArray before = readFile(f.registry->storeFile());
        WindowDriver driver(u("EnterPwdWin"), [](QDialog& w) { w.close(); });
        f.app->start();
        EXPECT_EQ(driver.shown(), 0) << "the officer was locked out";
        EXPECT_TRUE(f.win().isVisible());
        QString reason = c.reason;
        reason.replace(u("%STORE%"), f.registry->storeFile());
        ASSERT_FALSE(f.prompts->shown().isEmpty());
        EXPECT_EQ(f.prompts->shown().first(),
                  (Shown{u("密码设置无法读取：") + reason + u("，程序没有加锁。请重新设置密码。"),
                         u("提 示："), Buttons::Ok}));
        if (c.keptAside)
            EXPECT_EQ(readFile(f.registry->storeFile() + u(".damaged-1")), before);
        else
            EXPECT_FALSE(security::lockOn(*f.registry));
        // Told once: the next start opens as any unlocked one.
        AppFixture again;
        QFile::copy(f.registry->storeFile(), again.registry->storeFile());
        again.app->start();
        EXPECT_TRUE(again.prompts->shown().isEmpty());
    }
}

TEST(PasswordWin, PauseIsShownInTheWindow)
{
    AppFixture f;
    lock(*f.registry, QStringLiteral("right"));
    WindowDriver driver(u("EnterPwdWin"), [&](QDialog& dialog) {
        auto& w = static_cast<security::EnterPwdWin&>(dialog);
        auto* pause = w.findChild<QLabel*>(u("标签2"));
        for (int i = 0; i < 5; ++i) {
            EXPECT_TRUE(button(w)->isEnabled());
            QTest::keyClicks(entry(w, "编辑框1"), QStringLiteral("wrong"));
            button(w)->click();
        }
        EXPECT_TRUE(pause->isVisible());
        EXPECT_EQ(pause->text(), u("请等待 2 秒后再输入"));
        EXPECT_FALSE(button(w)->isEnabled());
        QTest::keyClicks(entry(w, "编辑框1"), QStringLiteral("right"));
        w.confirm(); // refused while the pause runs
        EXPECT_TRUE(w.isVisible());
        f.clock->set(f.clock->now().addSecs(1));
        QTRY_COMPARE_WITH_TIMEOUT(pause->text(), u("请等待 1 秒后再输入"), 2000);
        f.clock->set(f.clock->now().addSecs(1));
        QTRY_VERIFY_WITH_TIMEOUT(!pause->isVisible(), 2000);
        EXPECT_TRUE(button(w)->isEnabled());
        button(w)->click();
    });
    f.app->start();
    EXPECT_TRUE(f.win().isVisible());
    EXPECT_EQ(f.prompts->shown().size(), 5);
}

TEST(PasswordWin, EncryptAndDecryptFromTheMenu)
{
    AppFixture f;
    f.app->start();
    ASSERT_TRUE(f.win().isVisible()); // no lock: the window at once
    QAction* encrypt = f.win().menuAction(u("安全设置"), u("加密"));
    QAction* decrypt = f.win().menuAction(u("安全设置"), u("解密"));
    const auto flag = [&] { return f.registry->readRegistryText(security::lockKey(), u("JIAMI")); };

    WindowDriver driver(u("SetPwdWin"), [&](QDialog& w) {
        // Fresh and empty each time.
        EXPECT_EQ(entry(w, "编辑框1")->text(), QString());
        EXPECT_EQ(entry(w, "编辑框2")->text(), QString());
        if (driver.shown() == 1) {
            QTest::keyClicks(entry(w, "编辑框1"), QStringLiteral("Abc1"));
            QTest::keyClicks(entry(w, "编辑框2"), QStringLiteral("abc1"));
            button(w)->click();
            EXPECT_TRUE(w.isVisible()); // stays, as it was
            EXPECT_EQ(entry(w, "编辑框2")->text(), QStringLiteral("abc1"));
            w.close(); // the close box changes nothing
            return;
        }
        QTest::keyClicks(entry(w, "编辑框1"), QStringLiteral("Abc1"));
        QTest::keyClicks(entry(w, "编辑框2"), QStringLiteral("Abc1"));
        QTest::keyClick(entry(w, "编辑框2"), Qt::Key_Return);
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(f.prompts->shown().isEmpty()); // told after the window has closed
    });
    encrypt->trigger();
    EXPECT_EQ(flag(), QString());
    EXPECT_EQ(f.prompts->shown(), (QList<Shown>{ok(" 没有输入密码 或 2遍密码输入不相符！", "请 检 查：")}));
    f.prompts->clear();
    encrypt->trigger();
    EXPECT_EQ(flag(), QStringLiteral("1"));
    EXPECT_TRUE(security::passwordMatches(QStringLiteral("Abc1"),
                                          f.registry->readRegistryText(security::lockKey(), u("MIMA"))));
    encrypt->trigger(); // the lock is on: no window
    decrypt->trigger();
    EXPECT_EQ(driver.shown(), 2);
    EXPECT_EQ(flag(), QStringLiteral("0"));
    EXPECT_EQ(f.prompts->shown(),
              (QList<Shown>{ok("密码设置成功！下次启动软件时需要输入密码。", "提 示："),
                            ok(" 软件以经加过密码了！", "提 示："),
                            ok("密码已清除！下次启动软件时不再需要输入密码。", "提 示：")}));
}

} // namespace
} // namespace quillan::test
