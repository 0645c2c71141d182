// Programs running side by side keep their recovery files apart: a file is
// left, and claimed by exactly one program, only when its own program no
// longer runs. The other program is a real process holding its lock.
#include "platform/ProgramInstance.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <optional>

#include <sys/stat.h>
#include <utime.h>

namespace quillan::test {
namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// Writes `name` in `dir` with a modification time `age` seconds ago.
void leave(const QString& dir, const QString& name, int age)
{
    QFile f(dir + QLatin1Char('/') + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(name.toUtf8());
    f.close();
    const time_t when = ::time(nullptr) - age;
    const struct utimbuf times
    {
        when, when
    };
    ASSERT_EQ(::utime(QFile::encodeName(f.fileName()).constData(), &times), 0);
}

// A program that runs, as far as the lock file tells: `flock` holds it.
class RunningProgram
{
public:
    RunningProgram(const QString& scratch, const QString& id)
    {
        const QString lock = scratch + u("/instance-") + id + u(".lock");
        process_.start(u("flock"), {u("-o"), lock, u("sleep"), u("60")});
        EXPECT_TRUE(process_.waitForStarted()) << "flock (util-linux) is missing";
        for (int i = 0; i < 200; ++i) {
            QProcess probe;
            probe.start(u("flock"), {u("-n"), lock, u("true")});
            probe.waitForFinished();
            if (probe.exitCode() != 0)
                return;
            QThread::msleep(10);
        }
        ADD_FAILURE() << "flock never took the lock";
    }
    ~RunningProgram()
    {
        process_.kill();
        process_.waitForFinished();
    }

private:
    QProcess process_;
};

TEST(ProgramInstance, OnlyTheFilesOfProgramsNoLongerRunningAreClaimedEachByOneProgram)
{
    TempDir dir;
    const QString scratch = dir.file(u("scratch"));
    std::optional<platform::ProgramInstance> program;
    platform::ProgramInstance& me = program.emplace(scratch);
    ASSERT_TRUE(me.isLocked());
    struct stat st
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(scratch).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(me.ownFile(u("unsaved-record"), u(".ini")),
              scratch + u("/unsaved-record.") + me.id() + u(".ini"));

    RunningProgram alive(scratch, u("a1"));
    leave(scratch, u("unsaved-record.a1.ini"), 0); // its program runs
    leave(scratch, u("instance-b2.lock"), 50);     // its program ended without removing it
    leave(scratch, u("unsaved-record.b2.ini"), 30);
    leave(scratch, u("unsaved-record.c3.4.ini"), 10);  // claimed by a program that ended in turn
    leave(scratch, u("unsaved-record.ini"), 20);       // an earlier version's, of no program
    leave(scratch, u("unsaved-recording.b2.wav"), 30); // another kind of file
    leave(scratch, u("unsaved-record.") + me.id() + u(".ini"), 0);

    const QStringList claimed = me.claimLeftFiles(u("unsaved-record"), u(".ini"));
    ASSERT_EQ(claimed.size(), 3);
    // Newest first, each renamed to a name of this program's, content kept.
    const QStringList from{u("unsaved-record.c3.4.ini"), u("unsaved-record.ini"), u("unsaved-record.b2.ini")};
    for (qsizetype i = 0; i < claimed.size(); ++i) {
        EXPECT_TRUE(QFileInfo(claimed[i]).fileName().startsWith(u("unsaved-record.") + me.id() + u(".")));
        EXPECT_EQ(readFile(claimed[i]), from[i].toUtf8());
        EXPECT_FALSE(QFileInfo::exists(scratch + u("/") + from[i]));
    }
    EXPECT_TRUE(QFileInfo::exists(scratch + u("/unsaved-record.a1.ini")));
    EXPECT_TRUE(QFileInfo::exists(scratch + u("/unsaved-record.") + me.id() + u(".ini")));
    EXPECT_TRUE(QFileInfo::exists(scratch + u("/unsaved-recording.b2.wav")));
    EXPECT_FALSE(QFileInfo::exists(scratch + u("/instance-b2.lock")));
    EXPECT_TRUE(me.isRunning(u("a1")));
    EXPECT_FALSE(me.isRunning(u("b2")));

    // A second program now: this one runs, so nothing of it is left.
    {
        platform::ProgramInstance other(scratch);
        ASSERT_TRUE(other.isLocked());
        EXPECT_NE(other.id(), me.id());
        EXPECT_TRUE(other.claimLeftFiles(u("unsaved-record"), u(".ini")).isEmpty());
        EXPECT_EQ(other.claimLeftFiles(u("unsaved-recording"), u(".wav")),
                  QStringList{other.ownFile(u("unsaved-recording"), u(".1.wav"))});
    }
    // Once this one has ended, what it claimed and did not deal with is left
    // for the next.
    const QString id = me.id();
    const QString lock = scratch + u("/instance-") + id + u(".lock");
    EXPECT_TRUE(QFileInfo::exists(lock));
    program.reset();
    EXPECT_FALSE(QFileInfo::exists(lock));
    platform::ProgramInstance next(scratch);
    EXPECT_EQ(next.claimLeftFiles(u("unsaved-record"), u(".ini")).size(), 4);
}

} // namespace
} // namespace quillan::test
