#include "word/OfficeInstance.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QUrl>

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>
#include <rtl/ustring.hxx>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace quillan::word {

namespace {

using rtl::OUString;

using namespace std::chrono_literals;

OUString toOU(const QString& s)
{
    return OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), static_cast<sal_Int32>(s.size()));
}

QString toQ(const OUString& s)
{
    return QString(reinterpret_cast<const QChar*>(s.getStr()), s.getLength());
}

QString fileUrl(const QString& path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

// Removes the contents of a folder we own (files left by a killed process).
void clearFolder(const QString& dir)
{
    QDir d(dir);
    const QFileInfoList entries =
        d.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

bool processMatches(pid_t pid, const QByteArray& argument)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    const QByteArray statusText = status.readAll();
    // Only processes of this user, not zombies.
    const QByteArray uidLine = QByteArray("\nUid:\t") + QByteArray::number(getuid()) + '\t';
    if (!statusText.contains(uidLine) || statusText.contains("\nState:\tZ"))
        return false;
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!cmdline.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> args = cmdline.readAll().split('\0');
    return args.contains(argument);
}

} // namespace

OfficeInstance::OfficeInstance(const Options& options) : options_(options)
{
    profileDir_ = options_.workDir + QStringLiteral("/profile-%1").arg(options_.slot);
    tempDir_ = options_.workDir + QStringLiteral("/tmp-%1").arg(options_.slot);
    pidFile_ = options_.workDir + QStringLiteral("/profile-%1.pid").arg(options_.slot);
}

OfficeInstance::~OfficeInstance()
{
    if (pid_ > 0)
        kill();
    stopGuard();
}

QString OfficeInstance::profileUrl() const
{
    return fileUrl(profileDir_);
}

QList<pid_t> OfficeInstance::processesUsingProfile(const QString& profileDir)
{
    const QByteArray argument = "-env:UserInstallation=" + fileUrl(profileDir).toUtf8();
    QList<pid_t> result;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const pid_t pid = static_cast<pid_t>(entry.toLong(&numeric));
        if (numeric && pid != getpid() && processMatches(pid, argument))
            result << pid;
    }
    return result;
}

css::uno::Reference<css::uno::XComponentContext> OfficeInstance::localContext(const QString& programDir,
                                                                              QString* error)
{
    static std::mutex mutex;
    // Kept for the life of the process: tearing the UNO runtime down at exit
    // races with the bridge threads.
    static css::uno::Reference<css::uno::XComponentContext>* context = nullptr;
    std::lock_guard lock(mutex);
    if (context)
        return *context;
    // The office's bootstrap file is named to the UNO runtime itself: the
    // environment, which other threads read, is never changed.
    if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
        rtl::Bootstrap::set(
            toOU(QStringLiteral("URE_BOOTSTRAP")),
            toOU(QStringLiteral("vnd.sun.star.pathname:") + programDir + QStringLiteral("/fundamentalrc")));
    try {
        auto* created = new css::uno::Reference<css::uno::XComponentContext>(
            cppu::defaultBootstrap_InitialComponentContext());
        if (!created->is()) {
            delete created;
            *error = QStringLiteral("无法启动连接 LibreOffice 所需的 UNO 组件。");
            return {};
        }
        context = created;
        return *context;
    } catch (const css::uno::Exception& e) {
        *error = QStringLiteral("无法启动连接 LibreOffice 所需的 UNO 组件：") + toQ(e.Message);
    } catch (...) {
        *error = QStringLiteral("无法启动连接 LibreOffice 所需的 UNO 组件。");
    }
    return {};
}

void OfficeInstance::endStale()
{
    // A process named in our pid file that still runs on our profile is a
    // leftover of an earlier run of ours: end its whole group.
    QFile pidFile(pidFile_);
    if (pidFile.open(QIODevice::ReadOnly)) {
        bool ok = false;
        const pid_t old = static_cast<pid_t>(pidFile.readAll().trimmed().toLong(&ok));
        pidFile.close();
        if (ok && old > 1 && processesUsingProfile(profileDir_).contains(old))
            ::kill(-old, SIGKILL);
    }
    QFile::remove(pidFile_);
    // Anything else still naming our profile (soffice.bin whose launcher is
    // gone) is ours as well: the profile folder is private and the caller
    // holds the slot's lock.
    for (int round = 0; round < 50; ++round) {
        const QList<pid_t> stale = processesUsingProfile(profileDir_);
        if (stale.isEmpty())
            break;
        for (pid_t pid : stale)
            ::kill(pid, SIGKILL);
        std::this_thread::sleep_for(50ms);
    }
    // A crash leaves the profile's lock behind.
    QFile::remove(profileDir_ + QStringLiteral("/.lock"));
}

bool OfficeInstance::spawn(QString* error)
{
    if (!platform::ensurePrivateDir(profileDir_) || !platform::ensurePrivateDir(tempDir_)) {
        *error = QStringLiteral("无法在 %1 中建立 LibreOffice 的工作文件夹。").arg(options_.workDir);
        return false;
    }
    clearFolder(tempDir_);

    const QString pipe = QStringLiteral("quillan-%1-%2")
                             .arg(getpid())
                             .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
    {
        std::lock_guard guard(pipeLock_);
        pipeName_ = pipe;
    }
    const QString program = options_.programDir + QStringLiteral("/soffice");
    const QStringList args = {
        program,
        QStringLiteral("-env:UserInstallation=") + profileUrl(),
        QStringLiteral("--headless"),
        QStringLiteral("--invisible"),
        QStringLiteral("--nologo"),
        QStringLiteral("--norestore"),
        QStringLiteral("--nodefault"),
        QStringLiteral("--nolockcheck"),
        QStringLiteral("--accept=pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipe),
    };
    std::vector<QByteArray> argStore;
    argStore.reserve(size_t(args.size()));
    for (const QString& a : args)
        argStore.push_back(a.toUtf8());
    std::vector<char*> argv;
    argv.reserve(argStore.size() + 1);
    for (QByteArray& a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<QByteArray> envStore;
    for (char** e = environ; e && *e; ++e) {
        const QByteArray entry(*e);
        if (entry.startsWith("FONTCONFIG_FILE=") || entry.startsWith("TMPDIR="))
            continue;
        envStore.push_back(entry);
    }
    envStore.push_back("TMPDIR=" + QFile::encodeName(tempDir_));
    if (!options_.fontConfigFile.isEmpty())
        envStore.push_back("FONTCONFIG_FILE=" + QFile::encodeName(options_.fontConfigFile));
    std::vector<char*> envp;
    envp.reserve(envStore.size() + 1);
    for (QByteArray& e : envStore)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const QByteArray logFile =
        QFile::encodeName(options_.workDir + QStringLiteral("/soffice-%1.log").arg(options_.slot));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    // The office's own output: a real file, open across the exec.
    posix_spawn_file_actions_addopen(&actions, 1, logFile.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    // Its own process group, so the launcher and soffice.bin end together.
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        *error = QStringLiteral("LibreOffice（%1）无法启动：%2")
                     .arg(program, QString::fromLocal8Bit(std::strerror(rc)));
        return false;
    }
    pid_ = pid;
    ++starts_;
    QFile pidFile(pidFile_);
    if (pidFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        pidFile.write(QByteArray::number(pid));
    startGuard();
    return true;
}

void OfficeInstance::startGuard()
{
    stopGuard();
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return;
    // bash, not sh: its kill takes a process group ("-pid").
    QByteArray program = "/bin/bash";
    QByteArray dashC = "-c";
    QByteArray script = "while read -r _; do :; done; kill -KILL -- \"-$1\" 2>/dev/null; exit 0";
    QByteArray name = "quillan-office-guard";
    QByteArray group = QByteArray::number(pid_);
    char* argv[] = {program.data(), dashC.data(), script.data(), name.data(), group.data(), nullptr};
    char* envp[] = {nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigfillset(&defaults);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    // A group of its own: a signal to ours or to the office's misses it.
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t guard = 0;
    const int rc = posix_spawn(&guard, argv[0], &actions, &attr, argv, envp);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    ::close(fds[0]);
    if (rc != 0) {
        ::close(fds[1]);
        return;
    }
    guardPid_ = guard;
    guardFd_ = fds[1];
}

void OfficeInstance::stopGuard()
{
    if (guardFd_ >= 0)
        ::close(guardFd_);
    guardFd_ = -1;
    if (guardPid_ > 0) {
        // It ends as soon as it sees the pipe close.
        for (int i = 0; i < 250; ++i) {
            const pid_t r = ::waitpid(guardPid_, nullptr, WNOHANG);
            if (r == guardPid_ || (r < 0 && errno != EINTR))
                break;
            std::this_thread::sleep_for(2ms);
        }
    }
    guardPid_ = 0;
}

bool OfficeInstance::start(QString* error)
{
    QString dummy;
    if (!error)
        error = &dummy;
    if (connected())
        return true;
    if (cancel_) {
        *error = QStringLiteral("LibreOffice 的启动被取消了。");
        return false;
    }
    const css::uno::Reference<css::uno::XComponentContext> local = localContext(options_.programDir, error);
    if (!local.is())
        return false;
    if (pid_ > 0)
        kill();
    endStale();
    if (!spawn(error))
        return false;

    // Read only after a failed connection: the analyzer, which does not
    // follow exceptions, sees every try succeed.
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores)
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.startTimeoutMs);
    try {
        const css::uno::Reference<css::bridge::XUnoUrlResolver> resolver =
            css::bridge::UnoUrlResolver::create(local);
        const OUString url =
            toOU(QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipeName()));
        for (;;) {
            try {
                css::uno::Reference<css::uno::XComponentContext> remote(resolver->resolve(url),
                                                                        css::uno::UNO_QUERY_THROW);
                context_ = remote;
                desktop_ = css::frame::Desktop::create(remote);
                return true;
            } catch (const css::connection::NoConnectException&) {
                // not listening yet
            }
            if (!processRunning()) {
                *error = QStringLiteral("LibreOffice 启动时意外退出（详情见 %1/soffice-%2.log）。")
                             .arg(options_.workDir)
                             .arg(options_.slot);
                break;
            }
            if (cancel_) {
                *error = QStringLiteral("LibreOffice 的启动被取消了。");
                break;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                *error = QStringLiteral("LibreOffice 启动后 %1 秒内没有响应，请重新操作。")
                             .arg(options_.startTimeoutMs / 1000);
                break;
            }
            std::this_thread::sleep_for(50ms);
        }
    } catch (const css::uno::Exception& e) {
        *error = QStringLiteral("无法连接 LibreOffice：") + toQ(e.Message);
    } catch (...) {
        *error = QStringLiteral("无法连接 LibreOffice。");
    }
    kill();
    disconnect();
    return false;
}

void OfficeInstance::disconnect()
{
    desktop_.clear();
    context_.clear();
}

bool OfficeInstance::processRunning()
{
    if (pid_ <= 0)
        return false;
    int status = 0;
    const pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == pid_ || (r < 0 && errno == ECHILD)) {
        // The launcher is gone; soffice.bin may still be there.
        if (processesUsingProfile(profileDir_).isEmpty()) {
            pid_ = 0;
            return false;
        }
        return true;
    }
    return true;
}

void OfficeInstance::reap(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (pid_ > 0) {
        int status = 0;
        const pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_ || (r < 0 && errno == ECHILD))
            break;
        if (std::chrono::steady_clock::now() > deadline)
            return;
        std::this_thread::sleep_for(20ms);
    }
    // soffice.bin is the launcher's child; wait until it is gone as well.
    while (!processesUsingProfile(profileDir_).isEmpty()) {
        if (std::chrono::steady_clock::now() > deadline)
            return;
        std::this_thread::sleep_for(20ms);
    }
    pid_ = 0;
    QFile::remove(pidFile_);
    stopGuard();
}

void OfficeInstance::kill()
{
    if (pid_ > 0)
        ::kill(-pid_, SIGKILL);
    for (pid_t pid : processesUsingProfile(profileDir_))
        ::kill(pid, SIGKILL);
    reap(5000);
    if (pid_ > 0) {
        // Unkillable for now: leave it to the next start's clean-up.
        pid_ = 0;
    }
    QFile::remove(profileDir_ + QStringLiteral("/.lock"));
    clearFolder(tempDir_);
    removePipe();
}

QString OfficeInstance::pipeName() const
{
    std::lock_guard guard(pipeLock_);
    return pipeName_;
}

void OfficeInstance::removePipe()
{
    // The office's pipe socket (a unique name of ours); a killed office
    // cannot remove it itself.
    const QString pipe = pipeName();
    if (!pipe.isEmpty())
        QFile::remove(QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(getuid()).arg(pipe));
}

void OfficeInstance::terminate(int timeoutMs)
{
    if (desktop_.is()) {
        try {
            desktop_->terminate();
        } catch (...) {
            // a lost connection ends the same way
        }
    }
    desktop_.clear();
    context_.clear();
    reap(timeoutMs);
    if (pid_ > 0 || !processesUsingProfile(profileDir_).isEmpty())
        kill();
    clearFolder(tempDir_);
    QFile::remove(pidFile_);
    removePipe();
}

} // namespace quillan::word
