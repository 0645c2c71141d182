// The form survives the end of the program, whatever the end: the real
// program on a virtual display, typed into with the keyboard, killed, ended
// by the desktop session, run twice at once, ended in the middle of a save;
// started again.
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

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

const QString kTitle = u("笔录恢复测试");

QByteArray setIni()
{
    return gbk(u("[pop]\r\ntanchu=0\r\n[biaoti]\r\nbiaoti1=笔录恢复测试\r\n"));
}

QStringList tabs(int n)
{
    return QStringList(n, u("Tab"));
}

// The recovery files in the scratch folder, each program's own.
QStringList recoveryFiles(const ProgramOnDisplay& p)
{
    QStringList files;
    for (const QString& name : QDir(p.scratchDir()).entryList({u("unsaved-record*.ini")}, QDir::Files))
        files << p.scratchDir() + u("/") + name;
    return files;
}

QString valueIn(const QString& file, const char* key)
{
    return platform::ProfileIni::load(file).value(u("set"), QString::fromLatin1(key));
}

// The main window of a program started now, not one of `others`.
qulonglong newMainWindow(const VirtualDisplay& display, const QList<qulonglong>& others,
                         int timeoutMs = 60000)
{
    qulonglong found = 0;
    pollUntil(
        [&] {
            for (const qulonglong id : display.windows(kTitle)) {
                if (!others.contains(id)) {
                    found = id;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

// From the first field: the interviewee's name (the tenth field) and, when
// given, the work unit (the seventeenth, where the keyboard then is).
void typeNameAndUnit(const VirtualDisplay& display, qulonglong window, const QString& name,
                     const QString& unit = QString())
{
    display.keys(window, tabs(9));
    display.type(window, name);
    display.keys(window, tabs(7));
    if (!unit.isEmpty())
        display.type(window, unit);
}

// From the work unit, twenty-eight more fields reach the second view (pair
// 11), which takes a snapshot.
void switchView(const VirtualDisplay& display, qulonglong window)
{
    display.keys(window, tabs(28));
}

} // namespace

TEST(FormRecoveryE2e, AFormTypedBeforeAKillIsOfferedAtTheNextStartAndKeptWhenDeclined)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.ok());
    ProgramOnDisplay p(display, setIni());
    ASSERT_TRUE(p.start());
    const qulonglong window = display.waitForWindow(kTitle, 60000);
    ASSERT_NE(window, 0u) << "the main window did not come up" << p.ended();

    typeNameAndUnit(display, window, u("Zhang San"), u("ACME Works"));
    EXPECT_TRUE(recoveryFiles(p).isEmpty()) << "nothing is written before a switch of view or 30 s";
    switchView(display, window);
    ASSERT_TRUE(pollUntil([&] { return recoveryFiles(p).size() == 1; }, 10000))
        << "no recovery file after the switch";
    const QString file = recoveryFiles(p).first();
    struct stat st
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    p.kill(SIGKILL);
    ASSERT_TRUE(p.waitForEnd(10000));
    ASSERT_TRUE(QFileInfo::exists(file)) << "the kill took the recovery file";

    ASSERT_TRUE(p.start());
    const qulonglong question = display.waitForWindow(u("提示："), 60000);
    ASSERT_NE(question, 0u) << "no question about the unsaved record" << p.ended();
    display.keys(question, {u("Escape")}); // "No"
    // The copy in "BL" comes first, then the scratch file goes.
    const QDir records(p.programDir() + u("/BL"));
    ASSERT_TRUE(pollUntil(
        [&] { return !records.entryList({u("恢复-*.ini")}).isEmpty() && recoveryFiles(p).isEmpty(); },
        10000));
    const QString kept = records.filePath(records.entryList({u("恢复-*.ini")}).first());
    EXPECT_EQ(valueIn(kept, "num10"), u("Zhang San"));
    EXPECT_EQ(valueIn(kept, "num16"), u("ACME Works"));

    p.kill(SIGTERM);
    EXPECT_TRUE(p.waitForEnd(20000));
}

TEST(FormRecoveryE2e, TheEndOfTheSessionKeepsTheFormAsItWasAtTheEnd)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.ok());
    ProgramOnDisplay p(display, setIni());
    for (const int signal : {SIGHUP, SIGTERM}) {
        SCOPED_TRACE(signal == SIGHUP ? "SIGHUP" : "SIGTERM");
        ASSERT_TRUE(p.start());
        if (signal == SIGTERM) {
            // The record the first end kept is offered: "Yes".
            const qulonglong question = display.waitForWindow(u("提示："), 60000);
            ASSERT_NE(question, 0u) << "the record kept at the end is not offered" << p.ended();
            display.keys(question, {u("Return")});
        }
        const qulonglong window = display.waitForWindow(kTitle, 60000);
        ASSERT_NE(window, 0u) << "the main window did not come up" << p.ended();
        // No switch of view and well within 30 s: only the end takes the
        // snapshot.
        display.keys(window, tabs(9));
        display.keys(window, {u("End")});
        display.type(window, signal == SIGHUP ? u("Wang") : u(" Wu"));
        p.kill(signal);
        ASSERT_TRUE(p.waitForEnd(20000)) << "the program did not end";
        EXPECT_EQ(p.process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.process.exitCode(), 0);
        const QStringList files = recoveryFiles(p);
        ASSERT_EQ(files.size(), 1);
        EXPECT_EQ(valueIn(files.first(), "num10"), signal == SIGHUP ? u("Wang") : u("Wang Wu"));
    }
}

TEST(FormRecoveryE2e, TwoProgramsAtOnceNeverTakeEachOthersRecoveryFiles)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.ok());
    ProgramOnDisplay a(display, setIni());
    ASSERT_TRUE(a.start());
    const qulonglong windowA = newMainWindow(display, {});
    ASSERT_NE(windowA, 0u) << "the first program did not come up" << a.ended();
    typeNameAndUnit(display, windowA, u("Zhang San"));
    switchView(display, windowA);
    ASSERT_TRUE(pollUntil([&] { return recoveryFiles(a).size() == 1; }, 10000));
    const QString fileA = recoveryFiles(a).first();

    // The second program starts while the first runs: it asks about nothing
    // (the question would come before the window gets its title).
    ProgramOnDisplay b(a);
    ASSERT_TRUE(b.start());
    const qulonglong windowB = newMainWindow(display, {windowA});
    ASSERT_NE(windowB, 0u) << "the second program did not come up" << b.ended();
    EXPECT_TRUE(display.windows(u("提示：")).isEmpty()) << "the running program's record was offered";
    typeNameAndUnit(display, windowB, u("Li Si"));
    switchView(display, windowB);
    ASSERT_TRUE(pollUntil([&] { return recoveryFiles(a).size() == 2; }, 10000));
    QString fileB;
    for (const QString& f : recoveryFiles(a))
        if (f != fileA)
            fileB = f;
    EXPECT_EQ(valueIn(fileA, "num10"), u("Zhang San"));
    EXPECT_EQ(valueIn(fileB, "num10"), u("Li Si"));

    // The first one crashes; a third program offers its record only.
    a.kill(SIGKILL);
    ASSERT_TRUE(a.waitForEnd(10000));
    ProgramOnDisplay c(a);
    ASSERT_TRUE(c.start());
    const qulonglong question = display.waitForWindow(u("提示："), 60000);
    ASSERT_NE(question, 0u) << "the crashed program's record was not offered" << c.ended();
    display.keys(question, {u("Return")}); // "Yes"
    const qulonglong windowC = newMainWindow(display, {windowB});
    ASSERT_NE(windowC, 0u) << c.ended();
    EXPECT_TRUE(display.windows(u("提示：")).isEmpty()) << "a second question: the running program's record";
    EXPECT_FALSE(QFileInfo::exists(fileA));
    ASSERT_TRUE(QFileInfo::exists(fileB));
    EXPECT_EQ(valueIn(fileB, "num10"), u("Li Si"));
    // The restored record is the third program's own now.
    const QStringList files = recoveryFiles(a);
    ASSERT_EQ(files.size(), 2);
    for (const QString& f : files) {
        if (f != fileB) {
            EXPECT_EQ(valueIn(f, "num10"), u("Zhang San"));
        }
    }

    for (ProgramOnDisplay* p : {&b, &c}) {
        p->kill(SIGTERM);
        EXPECT_TRUE(p->waitForEnd(20000));
    }
}

TEST(FormRecoveryE2e, TheEndOfTheSessionDuringTheOverwriteQuestionCancelsTheSaveAndKeepsTheRecord)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.ok());
    ProgramOnDisplay p(display, setIni());
    ASSERT_TRUE(p.start());
    const qulonglong window = display.waitForWindow(kTitle, 60000);
    ASSERT_NE(window, 0u) << p.ended();

    // A record that can be saved: the end time, the name and the work unit.
    display.keys(window, tabs(5));
    display.type(window, u("11"));
    display.keys(window, {u("Tab")});
    display.type(window, u("15"));
    display.keys(window, tabs(3));
    display.type(window, u("Zhang San"));
    display.keys(window, tabs(7));
    display.type(window, u("ACME Works"));
    display.keys(window, {u("ctrl+s")});
    const qulonglong preview = display.waitForWindow(u("提 示："), 120000);
    ASSERT_NE(preview, 0u) << "the first save did not end in its preview question" << p.ended();
    display.keys(preview, {u("Escape")});

    const QDir records(p.programDir() + u("/BL"));
    QStringList saved;
    ASSERT_TRUE(pollUntil(
        [&] {
            saved = records.entryList({u("*ACME Works-Zhang San.*")}, QDir::Files, QDir::Name);
            return saved.size() == 3;
        },
        10000))
        << saved.join(u(", ")).toStdString();
    QHash<QString, QByteArray> before;
    for (const QString& name : saved)
        before.insert(name, readFile(records.filePath(name)));
    const QString log = records.filePath(u("笔录登记.log"));
    const QByteArray logBefore = readFile(log);
    ASSERT_EQ(logBefore.count('\n'), 1);

    // Another interview under the same name, then "保存" again.
    ASSERT_EQ(display.waitForWindow(u("提 示："), 0), 0u);
    display.keys(window, tabs(8)); // from the work unit to the first question
    display.type(window, u("Q2"));
    display.keys(window, {u("ctrl+s")});
    const qulonglong overwrite = display.waitForWindow(u("提 示："), 120000);
    ASSERT_NE(overwrite, 0u) << "no question before the old files are replaced" << p.ended();

    p.kill(SIGTERM);
    ASSERT_TRUE(p.waitForEnd(30000)) << "the program did not end";
    EXPECT_EQ(p.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.process.exitCode(), 0);
    for (const QString& name : saved)
        EXPECT_EQ(readFile(records.filePath(name)), before.value(name))
            << name.toStdString() << " was changed";
    EXPECT_EQ(records.entryList({u("*ACME Works-Zhang San.*")}, QDir::Files, QDir::Name), saved);
    EXPECT_EQ(readFile(log), logBefore) << "nothing was saved, nothing is logged";
    const QStringList files = recoveryFiles(p);
    ASSERT_EQ(files.size(), 1) << "the record of the second interview is not kept";
    EXPECT_EQ(valueIn(files.first(), "num23"), u("Q2"));
    EXPECT_EQ(valueIn(files.first(), "num16"), u("ACME Works"));
}

} // namespace quillan::test
