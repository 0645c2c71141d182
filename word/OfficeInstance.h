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
    void cancelStart() { m_cancel = true; }
    void allowStart() { m_cancel = false; }
    bool connected() const { return m_desktop.is(); }
    css::uno::Reference<css::uno::XComponentContext> context() const { return m_context; }
    css::uno::Reference<css::frame::XDesktop2> desktop() const { return m_desktop; }

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

    pid_t pid() const { return m_pid.load(); }
    // How many office processes this instance has started.
    int starts() const { return m_starts; }
    QString profileDir() const { return m_profileDir; }
    QString profileUrl() const;
    QString tempDir() const { return m_tempDir; }

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

    Options m_options;
    QString m_profileDir;
    QString m_tempDir;
    QString m_pidFile;
    // The process and its guard are looked at from the window's thread too
    // (kill()), while the worker starts or ends them.
    QString pipeName() const;
    mutable std::mutex m_pipeLock;
    QString m_pipeName; // guarded by m_pipeLock
    std::atomic<pid_t> m_pid{0};
    std::atomic<pid_t> m_guardPid{0};
    std::atomic<int> m_guardFd{-1};
    std::atomic<bool> m_cancel{false};
    std::atomic<int> m_starts{0};
    css::uno::Reference<css::uno::XComponentContext> m_context;
    css::uno::Reference<css::frame::XDesktop2> m_desktop;
};

} // namespace quillan::word
