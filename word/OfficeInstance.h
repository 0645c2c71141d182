#pragma once

#include <QString>
#include <QStringList>

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <atomic>
#include <mutex>
#include <sys/types.h>

namespace quillan::word {

// One headless office process of ours with its private profile, and the UNO
// connection to it. The calls that talk to the process (start, terminate)
// block; the engine runs them on its worker thread under a time-out. kill()
// is safe from any thread.
class OfficeInstance
{
public:
    struct Options
    {
        QString programDir;     // the office's program folder, no trailing "/"
        QString workDir;        // private folder (0700) for profile, temporary files, logs
        int slot = 1;           // which profile in workDir (one per running engine)
        QString fontConfigFile; // passed to the process as FONTCONFIG_FILE when set
        int startTimeoutMs = 60000;
    };

    explicit OfficeInstance(const Options& options);
    ~OfficeInstance(); // kills the process when it still runs
    OfficeInstance(const OfficeInstance&) = delete;
    OfficeInstance& operator=(const OfficeInstance&) = delete;

    // Ends stale processes on our profile, clears a lock left by a crash,
    // starts the process and connects to it. Throws nothing; false and
    // `error` on failure (the process is then ended).
    bool start(QString* error);
    // Makes a start under way give up soon (from any thread); cleared by
    // allowStart().
    void cancelStart() { cancel_ = true; }
    void allowStart() { cancel_ = false; }
    bool connected() const { return desktop_.is(); }
    css::uno::Reference<css::uno::XComponentContext> context() const { return context_; }
    css::uno::Reference<css::frame::XDesktop2> desktop() const { return desktop_; }

    // Asks the office to end and waits for the process; kills it when it
    // does not end in time.
    void terminate(int timeoutMs);
    // Ends the process tree at once (SIGKILL), also a stopped one. Leaves
    // the UNO references alone (a worker may still be inside a call).
    void kill();
    // Drops the UNO references (after kill(), once no call is running).
    void disconnect();
    // Whether the process we started is still running.
    bool processRunning();

    pid_t pid() const { return pid_.load(); }
    // How many office processes this instance has started.
    int starts() const { return starts_; }
    QString profileDir() const { return profileDir_; }
    QString profileUrl() const;
    QString tempDir() const { return tempDir_; }

    // Processes of this user whose command line names the profile folder
    // (zombies excluded).
    static QList<pid_t> processesUsingProfile(const QString& profileDir);

    // The local UNO context of this process (bootstrapped once).
    static css::uno::Reference<css::uno::XComponentContext> localContext(const QString& programDir,
                                                                         QString* error);

private:
    bool spawn(QString* error);
    void endStale();
    void reap(int timeoutMs);
    void removePipe();
    // A watcher that ends the office's process group once this process is
    // gone, however it ended (even SIGKILL): it waits for the end of a pipe
    // whose writing end only this process holds.
    void startGuard();
    void stopGuard();

    Options options_;
    QString profileDir_;
    QString tempDir_;
    QString pidFile_;
    // The process and its guard are looked at from the window's thread too
    // (kill()), while the worker starts or ends them.
    QString pipeName() const;
    mutable std::mutex pipeLock_;
    QString pipeName_; // guarded by pipeLock_
    std::atomic<pid_t> pid_{0};
    std::atomic<pid_t> guardPid_{0};
    std::atomic<int> guardFd_{-1};
    std::atomic<bool> cancel_{false};
    std::atomic<int> starts_{0};
    css::uno::Reference<css::uno::XComponentContext> context_;
    css::uno::Reference<css::frame::XDesktop2> desktop_;
};

} // namespace quillan::word
