#include "Desktop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/prctl.h>

namespace quillan::test {

bool pollUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

VirtualDisplay::VirtualDisplay()
{
    if (!requireProgram(QStringLiteral("Xvfb"), QStringLiteral("xvfb")) ||
        !requireProgram(QStringLiteral("xdotool"), QStringLiteral("xdotool")))
        return;
    // Xvfb picks a free display and writes its number to the given
    // descriptor: its standard output here. Without -noreset the server
    // resets whenever its last client leaves (a finished xdotool call, a
    // killed program), and drops every connection being made meanwhile: a
    // program starting then could not open its window and ended at once.
    xvfb_.setProgram(QStringLiteral("Xvfb"));
    xvfb_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                        QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x900x24"),
                        QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    xvfb_.setProcessChannelMode(QProcess::SeparateChannels);
    // A test killed outright (a time-out of CTest) leaves no display behind:
    // the display ends with the thread that started it, the test's main.
    xvfb_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    xvfb_.start();
    if (!xvfb_.waitForStarted(10000)) {
        ADD_FAILURE() << "Xvfb did not start";
        return;
    }
    QByteArray number;
    pollUntil(
        [&] {
            xvfb_.waitForReadyRead(50);
            number += xvfb_.readAllStandardOutput();
            return number.contains('\n');
        },
        20000);
    if (number.trimmed().isEmpty()) {
        ADD_FAILURE() << "Xvfb did not give its display number";
        return;
    }
    name_ = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
}

VirtualDisplay::~VirtualDisplay()
{
    if (xvfb_.state() != QProcess::NotRunning) {
        xvfb_.terminate();
        if (!xvfb_.waitForFinished(5000)) {
            xvfb_.kill();
            xvfb_.waitForFinished(5000);
        }
    }
}

QString VirtualDisplay::xdo(const QStringList& args, bool* ran) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), name_);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("xdotool"), args);
    const bool finished = p.waitForFinished(20000);
    if (ran)
        *ran = finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QList<qulonglong> VirtualDisplay::windows(const QString& title) const
{
    QList<qulonglong> found;
    const QString ids = xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                             QStringLiteral("--name"), QStringLiteral(".")});
    for (const QString& id : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (xdo({QStringLiteral("getwindowname"), id}).trimmed() == title.trimmed())
            found << id.toULongLong();
    return found;
}

qulonglong VirtualDisplay::waitForWindow(const QString& title, int timeoutMs) const
{
    qulonglong found = 0;
    const auto look = [&] {
        const QList<qulonglong> all = windows(title);
        found = all.isEmpty() ? 0 : all.first();
        return found != 0;
    };
    if (!look() && timeoutMs > 0)
        pollUntil(look, timeoutMs);
    return found;
}

void VirtualDisplay::keys(qulonglong window, const QStringList& keys) const
{
    xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window)});
    for (const QString& key : keys) {
        xdo({QStringLiteral("key"), key});
        QThread::msleep(15);
    }
}

void VirtualDisplay::type(qulonglong window, const QString& text) const
{
    xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window)});
    xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
}

bool VirtualDisplay::screenshot(const QString& png, const QRect& crop) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), name_);
    p.setProcessEnvironment(env);
    QStringList args{QStringLiteral("-window"), QStringLiteral("root")};
    if (!crop.isEmpty())
        args
            << QStringLiteral("-crop")
            << QStringLiteral("%1x%2+%3+%4").arg(crop.width()).arg(crop.height()).arg(crop.x()).arg(crop.y());
    p.start(QStringLiteral("import"), args << png);
    return p.waitForFinished(20000) && p.exitCode() == 0;
}

ProgramOnDisplay::ProgramOnDisplay(const VirtualDisplay& display, const QByteArray& setIni)
    : dir_(std::make_shared<TempDir>()), display_(display)
{
    QDir().mkpath(programDir());
    QDir().mkpath(file(QStringLiteral("home/Desktop")));
    dir_->write(QStringLiteral("program/Set.ini"), setIni);
}

ProgramOnDisplay::ProgramOnDisplay(const ProgramOnDisplay& beside)
    : dir_(beside.dir_), display_(beside.display_)
{
}

ProgramOnDisplay::~ProgramOnDisplay()
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
}

bool ProgramOnDisplay::start()
{
    const QString program = programDir() + QStringLiteral("/quillan");
    if (!QFileInfo::exists(program) && !QFile::copy(QStringLiteral(QUILLAN_EXECUTABLE), program))
        return false;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), file(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), file(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), file(QStringLiteral("config")));
    env.insert(QStringLiteral("DISPLAY"), display_.name());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(env);
    // What the program says goes into the test's log, for a failure.
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setProgram(program);
    process.start();
    return process.waitForStarted(10000);
}

std::string ProgramOnDisplay::ended()
{
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(0))
        return {};
    // For a crash Qt gives the signal's number as the exit code.
    return process.exitStatus() == QProcess::CrashExit
               ? "; the program was ended by signal " + std::to_string(process.exitCode())
               : "; the program ended with exit code " + std::to_string(process.exitCode());
}

void ProgramOnDisplay::kill(int signal)
{
    ::kill(pid_t(process.processId()), signal);
}

bool ProgramOnDisplay::waitForEnd(int timeoutMs)
{
    return process.waitForFinished(timeoutMs);
}

} // namespace quillan::test
