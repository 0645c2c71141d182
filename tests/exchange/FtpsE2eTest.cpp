// Record exchange with an FTP server as an office runs one: Debian's vsftpd
// on 127.0.0.1 with a self-signed certificate and TLS. The login and the
// files go encrypted, the certificate is pinned on first use, and a server
// that shows another certificate later is refused before the account is
// sent.
#include "../record/MapForm.h"
#include "doubles/ScriptedPrompts.h"
#include "doubles/ScriptedWebFetcher.h"
#include "exchange/CurlFtpClient.h"
#include "exchange/ExchangeCommands.h"
#include "exchange/WebFetcher.h"
#include "platform/Prompts.h"
#include "platform/RegistryStore.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillan::test {
namespace {

using platform::Answer;
using platform::Buttons;
using Shown = platform::ScriptedPrompts::Shown;

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

// Whether an FTP server on the port says hello ("220 ...").
bool greets(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(quint16(port));
    const timeval wait{2, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    char hello[3] = {};
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                    ::recv(fd, hello, 3, MSG_WAITALL) == 3 && QByteArray(hello, 3) == "220";
    ::close(fd);
    return ok;
}

// A file named by raw bytes (a GBK name on this UTF-8 system).
QByteArray readRaw(const QByteArray& path)
{
    QByteArray bytes;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return bytes;
    char block[4096];
    ssize_t n;
    while ((n = ::read(fd, block, sizeof block)) > 0)
        bytes.append(block, n);
    ::close(fd);
    return bytes;
}

// Runs a command as it stands; true when it exited with 0.
bool run(const QString& program, const QStringList& args, const QByteArray& input = QByteArray())
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return false;
    p.write(input);
    p.closeWriteChannel();
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

class FtpsE2e : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(requireProgram(u("/usr/sbin/vsftpd"), u("vsftpd")));
        ASSERT_TRUE(requireProgram(u("openssl"), u("openssl")));
        ASSERT_EQ(::geteuid(), 0u) << "vsftpd logs in local accounts: the test adds one, which needs root";
        // A local account for the officer, removed at the end; the server's
        // session, running as that account, reaches its home in here.
        ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        account = u("quillanftp%1").arg(QRandomGenerator::global()->bounded(100000, 999999));
        home = dir.file(u("home"));
        QDir().mkpath(home + u("/wwwroot"));
        ASSERT_TRUE(run(u("useradd"), {u("-M"), u("-d"), home, u("-s"), u("/bin/sh"), account}));
        added = true;
        ASSERT_TRUE(run(u("chpasswd"), {}, (account + u(":secret\n")).toUtf8()));
        ASSERT_TRUE(run(u("chown"), {u("-R"), account, home}));
        QDir().mkpath(dir.file(u("empty")));
        port = freePort();
        ASSERT_TRUE(startServer(u("first")));

        settings = std::make_unique<platform::RegistryStore>(dir.file(u("config/registry")));
        ftp = std::make_unique<exchange::CurlFtpClient>();
        exchange::ExchangeEnvironment env;
        env.fields = [this] { return ftpFields; };
        env.status = &form;
        env.session = &form.session;
        env.prompts = &prompts;
        env.ftp = ftp.get();
        env.web = &web;
        env.programDir = dir.file(u("program"));
        env.scratchDir = dir.file(u("scratch"));
        env.settings = settings.get();
        commands = std::make_unique<exchange::ExchangeCommands>(env);
        QDir().mkpath(dir.file(u("program/BL")));
        ftpFields.address = u("127.0.0.1:%1").arg(port);
        ftpFields.account = account;
        ftpFields.password = u("secret");
        ftpFields.fileName = u("案例1");
    }
    void TearDown() override
    {
        stopServer();
        if (added)
            run(u("userdel"), {account});
        // Names in GBK, which the temporary folder's clean-up cannot read.
        run(u("rm"), {u("-rf"), home});
    }

    // A certificate of its own (`name`), then the server with it.
    bool startServer(const QString& name)
    {
        stopServer();
        const QString cert = dir.file(name + u(".pem"));
        const QString key = dir.file(name + u(".key"));
        if (!run(u("openssl"), {u("req"), u("-x509"), u("-newkey"), u("rsa:2048"), u("-nodes"), u("-days"),
                                u("2"), u("-subj"), u("/CN=localhost"), u("-keyout"), key, u("-out"), cert}))
            return false;
        const QString fingerprint = runProgram(
            u("openssl"), {u("x509"), u("-in"), cert, u("-noout"), u("-fingerprint"), u("-sha256")});
        certificate = fingerprint.section(QLatin1Char('='), 1).trimmed();
        log = dir.file(name + u(".log"));
        const QString config = dir.file(name + u(".conf"));
        const QStringList lines{u("listen=YES"),
                                u("listen_ipv6=NO"),
                                u("listen_address=127.0.0.1"),
                                u("listen_port=%1").arg(port),
                                u("background=NO"),
                                u("anonymous_enable=NO"),
                                u("local_enable=YES"),
                                u("write_enable=YES"),
                                u("pasv_enable=YES"),
                                u("pasv_address=127.0.0.1"),
                                u("port_enable=YES"),
                                u("connect_from_port_20=NO"),
                                u("ssl_enable=YES"),
                                u("allow_anon_ssl=NO"),
                                u("force_local_logins_ssl=NO"),
                                u("force_local_data_ssl=NO"),
                                u("require_ssl_reuse=NO"),
                                u("rsa_cert_file=") + cert,
                                u("rsa_private_key_file=") + key,
                                u("xferlog_enable=YES"),
                                u("log_ftp_protocol=YES"),
                                u("debug_ssl=YES"),
                                u("vsftpd_log_file=") + log,
                                u("dual_log_enable=NO"),
                                u("secure_chroot_dir=") + dir.file(u("empty")),
                                u("pam_service_name=vsftpd"),
                                u("seccomp_sandbox=NO"),
                                u("isolate=NO"),
                                u("isolate_network=NO")};
        dir.write(name + u(".conf"), (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        server.setProcessChannelMode(QProcess::ForwardedChannels);
        server.start(u("/usr/sbin/vsftpd"), {config});
        if (!server.waitForStarted(10000))
            return false;
        for (int i = 0; i < 200; ++i) {
            if (greets(port))
                return true;
            QThread::msleep(25);
        }
        ADD_FAILURE() << "vsftpd did not come up";
        return false;
    }
    void stopServer()
    {
        if (server.state() != QProcess::NotRunning) {
            server.kill();
            server.waitForFinished(5000);
        }
    }
    QString serverLog() const { return QString::fromUtf8(readFile(log)); }

    TempDir dir;
    QString account;
    QString home;
    bool added = false;
    int port = 0;
    QProcess server;
    QString certificate; // "AB:CD:..." as openssl shows it
    QString log;
    std::unique_ptr<platform::RegistryStore> settings;
    std::unique_ptr<exchange::CurlFtpClient> ftp;
    MapForm form;
    exchange::ServerFields ftpFields;
    platform::ScriptedPrompts prompts;
    exchange::ScriptedWebFetcher web;
    std::unique_ptr<exchange::ExchangeCommands> commands;
};

TEST_F(FtpsE2e, TheExchangeIsEncryptedTheCertificatePinnedAndAChangedOneRefusedBeforeTheLogin)
{
    const QByteArray record = "[set]\r\nnum10=" + gbk(u("张三")) + "\r\nnum15=110101199001011234\r\n";
    prompts.chooseNext(dir.write(u("本地.ini"), record));
    commands->upload();
    EXPECT_EQ(
        form.status,
        u("笔录模板文件.ini上传FTP服务器成功.（已加密；首次连接此服务器，已记住它的证书，指纹 SHA-256 ") +
            certificate + u("）"));
    // On the server under its GBK name.
    EXPECT_EQ(readRaw(QFile::encodeName(home) + "/wwwroot/" + gbk(u("案例1.ini"))), record);
    // The server's protocol log: TLS on the control connection, then the
    // data protected, then the file.
    const QString first = serverLog();
    const qsizetype auth = first.indexOf(u("\"AUTH TLS\""));
    const qsizetype user = first.indexOf(u("\"USER ") + account);
    const qsizetype prot = first.indexOf(u("\"PROT P\""));
    const qsizetype stor = first.indexOf(u("\"STOR "));
    EXPECT_GE(auth, 0) << first.toStdString();
    EXPECT_GT(user, auth) << "the account went out before TLS";
    EXPECT_GT(prot, auth);
    EXPECT_GT(stor, prot);
    EXPECT_FALSE(first.contains(u("secret")));

    commands->download();
    EXPECT_EQ(form.status, u("笔录模板.ini文件下载到 笔录软件的BL目录成功.（已加密）"));
    EXPECT_EQ(readFile(dir.file(u("program/BL/案例1.ini"))), record);

    // The server now shows another certificate: refused during the
    // handshake; the account never reaches it.
    const QString pinned = certificate;
    ASSERT_TRUE(startServer(u("second")));
    ASSERT_NE(certificate, pinned);
    prompts.clear();
    prompts.answerNext(Answer::Ok);
    prompts.answerNext(Answer::No);
    commands->download();
    ASSERT_EQ(prompts.shown().size(), 2);
    EXPECT_EQ(prompts.shown()[0].text, exchange::ExchangeCommands::certificateChangedText(
                                           u("127.0.0.1:%1").arg(port), pinned, certificate));
    EXPECT_EQ(prompts.shown()[1],
              (Shown{exchange::ExchangeCommands::trustQuestion(u("127.0.0.1:%1").arg(port), certificate),
                     u("提示："), Buttons::YesNo}));
    EXPECT_EQ(form.status, u("没有连接FTP服务器：服务器的证书与上次不同。"));
    EXPECT_FALSE(serverLog().contains(u("\"USER "))) << serverLog().toStdString();
    EXPECT_EQ(readFile(dir.file(u("program/BL/案例1.ini"))), record);
}

} // namespace
} // namespace quillan::test
