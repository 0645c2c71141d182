#pragma once

#include <QProcess>
#include <QString>

namespace quillan::test {

// One of the servers of test_servers.py ("ftp" or "http") on 127.0.0.1,
// started by the test and stopped by its process id. A test that cannot
// start it fails, saying what is missing.
class TestServer
{
public:
    TestServer() = default;
    ~TestServer() { stop(); }
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // Starts the server on a free port serving `root`; false (with the
    // reason in `error`) when it did not come up within ten seconds.
    bool start(const QString& kind, const QString& root, QString* error);
    void stop();
    void pause();  // SIGSTOP: the server holds its connections and says nothing
    void resume(); // SIGCONT
    void kill();   // SIGKILL: the server vanishes in the middle of whatever it does

    int port() const { return port_; }
    qint64 pid() const { return process_.processId(); }

private:
    QProcess process_;
    int port_ = 0;
};

// A socket on 127.0.0.1 that takes connections (the system completes them)
// and never answers.
class SilentServer
{
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

// A port on 127.0.0.1 where nothing listens.
int closedPort();

} // namespace quillan::test
