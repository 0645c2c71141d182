#include "doubles/ManualClock.h"
#include "doubles/ScriptedPrompts.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace quillan::platform;
using quillan::test::readFile;
using quillan::test::TempDir;

TEST(Clock, ManualClockStandsStillAndRecordsWaits)
{
    ManualClock clock(QDateTime(QDate(2012, 3, 5), QTime(9, 5, 0)));
    clock.wait(888);
    clock.wait(2222);
    EXPECT_EQ(clock.waits(), (QList<int>{888, 2222}));
    EXPECT_EQ(clock.now().time(), QTime(9, 5, 3, 110));
}

TEST(Clock, SystemClockWaitsAtLeastTheTime)
{
    SystemClock clock;
    QElapsedTimer t;
    t.start();
    clock.wait(50);
    EXPECT_GE(t.elapsed(), 50);
    EXPECT_LT(t.elapsed(), 2000);
}

TEST(Prompts, ScriptedPromptsAnswerAndRecord)
{
    ScriptedPrompts prompts;
    prompts.answerNext(Answer::Ok);
    EXPECT_EQ(prompts.message(QStringLiteral("你确认要新建一份新的笔录？"), QStringLiteral("提 示："),
                              Buttons::OkCancel),
              Answer::Ok);
    // Unscripted: the cautious answer.
    EXPECT_EQ(prompts.message(QStringLiteral("a"), QStringLiteral("t"), Buttons::OkCancel), Answer::Cancel);
    EXPECT_EQ(prompts.message(QStringLiteral("b"), QStringLiteral("t"), Buttons::YesNo), Answer::No);
    ASSERT_EQ(prompts.shown().size(), 3);
    EXPECT_EQ(prompts.shown()[0], (ScriptedPrompts::Shown{QStringLiteral("你确认要新建一份新的笔录？"),
                                                          QStringLiteral("提 示："), Buttons::OkCancel}));

    FileDialogUnit unit{QStringLiteral("通用对话框2"),
                        FileDialogUnit::Mode::Open,
                        QStringLiteral("*.ini 笔录模板文件|*.ini"),
                        QStringLiteral("ini"),
                        {}};
    prompts.chooseNext(QStringLiteral("/tmp/a.ini"));
    prompts.cancelNext();
    EXPECT_EQ(prompts.chooseFile(unit), std::optional<QString>(QStringLiteral("/tmp/a.ini")));
    EXPECT_EQ(unit.lastFileName, QStringLiteral("/tmp/a.ini"));
    EXPECT_EQ(prompts.chooseFile(unit), std::nullopt);
    EXPECT_EQ(unit.lastFileName, QStringLiteral("/tmp/a.ini")); // a cancel keeps the last name
    EXPECT_EQ(prompts.chooseFile(unit), std::nullopt);
    EXPECT_EQ(prompts.dialogsOpened().size(), 3);
}

TEST(AtomicFile, ReplacesWholeAndKeepsPermissions)
{
    TempDir dir;
    const QString path = dir.write(QStringLiteral("f.txt"), "old");
    ::chmod(QFile::encodeName(path).constData(), 0640);
    ASSERT_TRUE(writeFileAtomically(path, "new content"));
    EXPECT_EQ(readFile(path), QByteArray("new content"));
    struct stat st
    {
    };
    ::stat(QFile::encodeName(path).constData(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    ASSERT_TRUE(writeFileAtomically(path, "secret", nullptr, 0600));
    ::stat(QFile::encodeName(path).constData(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    QString error;
    EXPECT_FALSE(writeFileAtomically(dir.file(QStringLiteral("missing/f.txt")), "x", &error));
    EXPECT_EQ(error, QStringLiteral("目录不存在"));
    EXPECT_FALSE(writeFileAtomically(dir.path(), "x", &error));
    EXPECT_EQ(error, QStringLiteral("同名的目录已经存在"));
}

TEST(Paths, ScratchFolderIsPrivate)
{
    TempDir dir;
    Paths paths;
    paths.scratchDir = dir.file(QStringLiteral("cache/quillan"));
    EXPECT_EQ(paths.ensureScratchDir(), paths.scratchDir);
    struct stat st
    {
    };
    ::stat(QFile::encodeName(paths.scratchDir).constData(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // A symbolic link in its place is refused.
    const QString link = dir.file(QStringLiteral("link"));
    ASSERT_EQ(::symlink(QFile::encodeName(dir.path()).constData(), QFile::encodeName(link).constData()), 0);
    paths.scratchDir = link;
    EXPECT_EQ(paths.ensureScratchDir(), QString());

    paths.programDir = QStringLiteral("/opt/q");
    EXPECT_EQ(paths.recordsDir(), QStringLiteral("/opt/q/BL"));
    EXPECT_EQ(paths.settingsFile(), QStringLiteral("/opt/q/Set.ini"));
    const Paths detected = Paths::detect();
    EXPECT_FALSE(detected.programDir.endsWith(QLatin1Char('/')));
    EXPECT_TRUE(detected.scratchDir.endsWith(QStringLiteral("/quillan")));
}
