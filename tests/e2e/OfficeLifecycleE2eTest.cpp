// The private office of a running program: started in the background once
// the window is up, shared by the first save, and gone when the program
// ends, however it ends.
#include "app/Application.h"
#include "app/MainWin.h"
#include "doubles/RecordingShell.h"
#include "doubles/ScriptedPrompts.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/RegistryStore.h"
#include "platform/Shell.h"
#include "support/TestSupport.h"
#include "word/LibreOfficeEngine.h"
#include "word/OfficeInstance.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace quillan::test {
namespace {

// Waits, processing events, until `done` holds; false when the time ran out.
bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return true;
}

// The office processes (launcher and soffice.bin) running on a profile.
int officeProcesses(const QString& profileDir)
{
    return int(word::OfficeInstance::processesUsingProfile(profileDir).size());
}

class PaintCounter final : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint || e->type() == QEvent::UpdateRequest)
            ++count;
        return false;
    }
};

// A program with the real office, prompts answered from a script.
struct OfficeApp
{
    OfficeApp()
    {
        paths.programDir = dir.file(QStringLiteral("program"));
        paths.scratchDir = dir.file(QStringLiteral("scratch"));
        paths.desktopDir = dir.file(QStringLiteral("desktop"));
        paths.configDir = dir.file(QStringLiteral("config"));
        QDir().mkpath(paths.programDir);
        QDir().mkpath(paths.desktopDir);
        // No pop-up reader at start-up: it would wait for the officer.
        dir.write(QStringLiteral("program/Set.ini"), "[pop]\r\ntanchu=0\r\n");
        app::Application::Parts parts;
        parts.clock = std::make_unique<platform::SystemClock>();
        auto p = std::make_unique<platform::ScriptedPrompts>();
        prompts = p.get();
        parts.prompts = std::move(p);
        parts.shell = std::make_unique<platform::RecordingShell>();
        parts.registry =
            std::make_unique<platform::RegistryStore>(paths.configDir + QStringLiteral("/registry"));
        word::LibreOfficeOptions options;
        options.scratchDir = paths.scratchDir;
        auto e = std::make_unique<word::LibreOfficeEngine>(options);
        engine = e.get();
        parts.word = std::move(e);
        app = std::make_unique<app::Application>(paths, paths.programDir + QStringLiteral("/quillan"),
                                                 std::move(parts));
    }
    QString profileDir() const { return paths.scratchDir + QStringLiteral("/office/profile-1"); }

    TempDir dir;
    platform::Paths paths;
    platform::ScriptedPrompts* prompts = nullptr;
    word::LibreOfficeEngine* engine = nullptr;
    std::unique_ptr<app::Application> app;
};

bool officeInstalled()
{
    return requireProgram(QStringLiteral("soffice"), QStringLiteral("libreoffice-writer-nogui"));
}

TEST(OfficeLifecycle, SaveRightAfterStartUpWaitsForTheOfficeTheStartBeganAndClosingEndsIt)
{
    ASSERT_TRUE(officeInstalled());
    OfficeApp o;
    o.app->start();
    ASSERT_TRUE(waitUntil([&] { return o.engine->startingInBackground(); }, 5000))
        << "the office did not start in the background once the window was shown";

    app::MainWin& w = o.app->window();
    w.setFieldText(QStringLiteral("编辑框14"), QStringLiteral("青山建筑公司"));
    w.setFieldText(QStringLiteral("编辑框6"), QStringLiteral("11"));
    w.setFieldText(QStringLiteral("编辑框7"), QStringLiteral("30"));
    w.setFieldText(QStringLiteral("编辑框9"), QStringLiteral("张三"));
    o.prompts->answerNext(platform::Answer::No); // no preview
    // The window keeps painting while the save waits for the office.
    PaintCounter paints;
    w.installEventFilter(&paints);
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, &w, [&w] { w.update(); });
    repaint.start(30);
    w.menuAction(QStringLiteral("文件"), QStringLiteral("保存(笔录及模板)"))->trigger();
    repaint.stop();
    w.removeEventFilter(&paints);
    EXPECT_GT(paints.count, 3) << "the window was not repainted while the office worked";

    ASSERT_EQ(o.prompts->shown().size(), 1);
    EXPECT_EQ(o.prompts->shown()[0].text, QStringLiteral(" 是 否 对 此 笔 录 文 件 进 行 预 览？ "));
    const QStringList docs = QDir(o.paths.programDir + QStringLiteral("/BL"))
                                 .entryList({QStringLiteral("*青山建筑公司-张三.doc")}, QDir::Files);
    ASSERT_EQ(docs.size(), 1);
    EXPECT_TRUE(isOleFile(o.paths.programDir + QStringLiteral("/BL/") + docs[0]));
    EXPECT_EQ(o.engine->officeStarts(), 1) << "the save started a second office";
    EXPECT_GT(officeProcesses(o.profileDir()), 0);

    // Closing the window ends the event loop; the program then ends and
    // its office with it.
    QTimer::singleShot(0, &w, [&w] { w.close(); });
    QApplication::exec();
    o.app.reset();
    EXPECT_EQ(officeProcesses(o.profileDir()), 0);
}

TEST(OfficeLifecycle, QuitFromTheMenuDuringTheBackgroundStartLeavesNoOffice)
{
    ASSERT_TRUE(officeInstalled());
    OfficeApp o;
    o.app->start();
    ASSERT_TRUE(waitUntil([&] { return officeProcesses(o.profileDir()) > 0; }, 20000));
    app::MainWin& w = o.app->window();
    QTimer::singleShot(0, &w,
                       [&w] { w.menuAction(QStringLiteral("文件"), QStringLiteral("退出"))->trigger(); });
    EXPECT_EQ(QApplication::exec(), 0);
    o.app.reset();
    EXPECT_EQ(officeProcesses(o.profileDir()), 0);
}

TEST(OfficeLifecycle, WithoutTheOfficeStartUpIsAsBeforeAndTheSaveSaysItIsMissing)
{
    OfficeApp o;
    // An engine that finds no office: built over an empty search path.
    word::LibreOfficeOptions none;
    none.searchPath = {o.dir.file(QStringLiteral("nowhere"))};
    none.installFolders = {};
    none.scratchDir = o.paths.scratchDir;
    app::Application::Parts parts;
    parts.clock = std::make_unique<platform::SystemClock>();
    auto p = std::make_unique<platform::ScriptedPrompts>();
    platform::ScriptedPrompts* prompts = p.get();
    parts.prompts = std::move(p);
    parts.shell = std::make_unique<platform::RecordingShell>();
    parts.registry =
        std::make_unique<platform::RegistryStore>(o.paths.configDir + QStringLiteral("/registry"));
    parts.word = std::make_unique<word::LibreOfficeEngine>(none);
    app::Application a(o.paths, o.paths.programDir + QStringLiteral("/quillan"), std::move(parts));
    a.start();
    EXPECT_TRUE(a.window().isVisible());
    QCoreApplication::processEvents();
    a.window().menuAction(QStringLiteral("文件"), QStringLiteral("保存(笔录及模板)"))->trigger();
    ASSERT_EQ(prompts->shown().size(), 1);
    EXPECT_EQ(prompts->shown()[0].text, QStringLiteral("电 脑 没 有 安 装 WORD 办 公 软 件."));
    EXPECT_EQ(prompts->shown()[0].title, QStringLiteral("无法保存笔录为Word文档："));
}

// The real program, started as the desktop starts it.
class RunningProgram
{
public:
    RunningProgram()
    {
        const QString program = dir.file(QStringLiteral("program/quillan"));
        QDir().mkpath(dir.file(QStringLiteral("program")));
        QDir().mkpath(dir.file(QStringLiteral("home/Desktop")));
        dir.write(QStringLiteral("program/Set.ini"), "[pop]\r\ntanchu=0\r\n");
        copied = QFile::copy(QStringLiteral(QUILLAN_EXECUTABLE), program);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), dir.file(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), dir.file(QStringLiteral("cache")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.file(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.setProgram(program);
        process.start();
    }
    ~RunningProgram()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    QString profileDir() const { return dir.file(QStringLiteral("cache/quillan/office/profile-1")); }

    TempDir dir;
    bool copied = false;
    QProcess process;
};

TEST(OfficeLifecycle, TheProgramsOfficeEndsWithItOnSigtermAndOnSigkill)
{
    ASSERT_TRUE(officeInstalled());
    for (const int signal : {SIGTERM, SIGKILL}) {
        SCOPED_TRACE(signal == SIGTERM ? "SIGTERM" : "SIGKILL");
        RunningProgram p;
        ASSERT_TRUE(p.copied);
        ASSERT_TRUE(p.process.waitForStarted(10000));
        // The office comes up in the background once the window is shown.
        ASSERT_TRUE(waitUntil([&] { return officeProcesses(p.profileDir()) >= 2; }, 30000))
            << "no office of the program's own came up";
        QThread::msleep(500);
        ::kill(pid_t(p.process.processId()), signal);
        ASSERT_TRUE(p.process.waitForFinished(20000));
        if (signal == SIGTERM) {
            EXPECT_EQ(p.process.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p.process.exitCode(), 0);
        }
        EXPECT_TRUE(waitUntil([&] { return officeProcesses(p.profileDir()) == 0; }, 10000))
            << officeProcesses(p.profileDir()) << " office processes outlived the program";
    }
}

} // namespace
} // namespace quillan::test
