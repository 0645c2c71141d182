// The form survives the program being killed: the real program on a
// virtual display, typed into with the keyboard, killed, started again.
#include "Desktop.h"

#include "platform/ProfileIni.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

namespace quillan::test {
namespace {

QByteArray setIni()
{
    return gbk(QStringLiteral("[pop]\r\ntanchu=0\r\n[biaoti]\r\nbiaoti1=笔录恢复测试\r\n"));
}

QStringList tabs(int n) { return QStringList(n, QStringLiteral("Tab")); }

} // namespace

TEST(FormRecoveryE2e, AFormTypedBeforeAKillIsOfferedAtTheNextStartAndKeptWhenDeclined)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.ok());
    ProgramOnDisplay p(display, setIni());
    ASSERT_TRUE(p.start());
    const qulonglong window = display.waitForWindow(QStringLiteral("笔录恢复测试"), 60000);
    ASSERT_NE(window, 0u) << "the main window did not come up" << p.ended();

    // The keyboard starts at the first field; the name is the tenth, the
    // work unit the seventeenth; pair 11 is on the second view.
    display.keys(window, tabs(9));
    display.type(window, QStringLiteral("Zhang San"));
    display.keys(window, tabs(7));
    display.type(window, QStringLiteral("ACME Works"));
    const QString file = p.scratchDir() + QStringLiteral("/unsaved-record.ini");
    EXPECT_FALSE(QFileInfo::exists(file)) << "nothing is written before a switch of view or 30 s";
    display.keys(window, tabs(28));
    ASSERT_TRUE(pollUntil([&] { return QFileInfo::exists(file); }, 10000)) << "no recovery file after the switch";
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    p.kill(SIGKILL);
    ASSERT_TRUE(p.waitForEnd(10000));
    ASSERT_TRUE(QFileInfo::exists(file)) << "the kill took the recovery file";

    ASSERT_TRUE(p.start());
    const qulonglong question = display.waitForWindow(QStringLiteral("提示："), 60000);
    ASSERT_NE(question, 0u) << "no question about the unsaved record" << p.ended();
    display.keys(question, {QStringLiteral("Escape")}); // "No"
    const QDir records(p.programDir() + QStringLiteral("/BL"));
    ASSERT_TRUE(pollUntil([&] { return !records.entryList({QStringLiteral("恢复-*.ini")}).isEmpty(); }, 10000));
    const QString kept = records.filePath(records.entryList({QStringLiteral("恢复-*.ini")}).first());
    const platform::ProfileIni ini = platform::ProfileIni::load(kept);
    EXPECT_EQ(ini.value(QStringLiteral("set"), QStringLiteral("num10")), QStringLiteral("Zhang San"));
    EXPECT_EQ(ini.value(QStringLiteral("set"), QStringLiteral("num16")), QStringLiteral("ACME Works"));
    EXPECT_FALSE(QFileInfo::exists(file));

    p.kill(SIGTERM);
    EXPECT_TRUE(p.waitForEnd(20000));
}

} // namespace quillan::test
