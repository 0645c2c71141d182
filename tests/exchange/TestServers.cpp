#include "TestServers.h"

#include "support/TestSupport.h"

#include <QFileInfo>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quillan::test {

namespace {

// Debian's interpreter, which has python3-pyftpdlib; a python3 of another
// installation on PATH would not.
QString python()
{
    const QString debian = QStringLiteral("/usr/bin/python3");
    return QFileInfo::exists(debian) ? debian : QStringLiteral("python3");
}

int listeningSocket(int* port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    *port = ntohs(a.sin_port);
    return fd;
}

} // namespace

bool TestServer::start(const QString& kind, const QString& root, QString* error)
{
    // Its complaints go to the test's own output.
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.setProgram(python());
    process_.setArguments({sourcePath(QStringLiteral("tests/exchange/test_servers.py")), kind, root});
    process_.start();
    QByteArray line;
    if (process_.waitForStarted(10000)) {
        while (!process_.canReadLine() && process_.state() == QProcess::Running)
            process_.waitForReadyRead(10000);
        line = process_.readLine().trimmed();
    }
    if (line.startsWith("PORT "))
        port_ = line.mid(5).toInt();
    if (port_ > 0)
        return true;
    process_.waitForFinished(2000);
    *error = QStringLiteral("the %1 test server did not start (%2 with python3-pyftpdlib is needed; "
                            "apt-get install python3-pyftpdlib); its messages are above")
                 .arg(kind, python());
    stop();
    return false;
}

void TestServer::stop()
{
    if (process_.state() != QProcess::NotRunning) {
        resume();
        process_.kill();
        process_.waitForFinished(5000);
    }
}

void TestServer::pause()
{
    if (pid() > 0)
        ::kill(pid_t(pid()), SIGSTOP);
}

void TestServer::resume()
{
    if (pid() > 0)
        ::kill(pid_t(pid()), SIGCONT);
}

void TestServer::kill()
{
    if (pid() > 0)
        ::kill(pid_t(pid()), SIGKILL);
}

SilentServer::SilentServer()
{
    fd_ = listeningSocket(&port_);
}

SilentServer::~SilentServer()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int closedPort()
{
    int port = 0;
    const int fd = listeningSocket(&port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

} // namespace quillan::test
