// Record exchange and the update check through the real commands, the
// libcurl clients and real servers on 127.0.0.1: a pyftpdlib FTP server that
// takes GBK names and refuses passive mode, and an HTTP server.
#include "../record/MapForm.h"
#include "TestServers.h"
#include "doubles/ScriptedPrompts.h"
#include "doubles/ScriptedWebFetcher.h"
#include "exchange/CurlFtpClient.h"
#include "exchange/CurlWebFetcher.h"
#include "exchange/ExchangeCommands.h"
#include "platform/Prompts.h"
#include "platform/RegistryStore.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

using platform::Buttons;
using Shown = platform::ScriptedPrompts::Shown;

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// Every byte value, CR LF and a lone LF: image type must keep them all.
QByteArray binaryTemplate()
{
    QByteArray b = "[set]\r\nnum1=" + gbk(u("问：你叫什么名字？")) + "\r\n\n";
    for (int i = 0; i < 256; ++i)
        b += char(i);
    return b;
}

class ExchangeE2e : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(server.start(QStringLiteral("ftp"), dir.file(QStringLiteral("server")), &error))
            << error.toStdString();
        QDir().mkpath(bl());
        makeCommands({});
        ftpFields.address = QStringLiteral("127.0.0.1:%1").arg(server.port());
        ftpFields.account = QStringLiteral("officer");
        ftpFields.password = QStringLiteral("secret");
        ftpFields.fileName = u("案例1");
    }

    void makeCommands(exchange::NetworkLimits limits, platform::RegistryStore* settings = nullptr)
    {
        ftp = std::make_unique<exchange::CurlFtpClient>(limits);
        ftp->setKeepPainting([this] {
            if (onPaint)
                onPaint();
        });
        exchange::ExchangeEnvironment env;
        env.fields = [this] { return ftpFields; };
        env.status = &form;
        env.session = &form.session;
        env.prompts = &prompts;
        env.ftp = ftp.get();
        env.web = &web;
        env.programDir = dir.file(QStringLiteral("program"));
        env.scratchDir = dir.file(QStringLiteral("scratch"));
        env.website = QStringLiteral("http://127.0.0.1:1");
        env.settings = settings;
        commands = std::make_unique<exchange::ExchangeCommands>(env);
    }

    QString bl(const QString& name = QString()) const
    {
        return dir.file(QStringLiteral("program/BL/")) + name;
    }
    QString onServer(const QString& path) const { return dir.file(QStringLiteral("server/")) + path; }
    void upload(const QString& local)
    {
        prompts.chooseNext(local);
        commands->upload();
    }

    TempDir dir;
    TestServer server;
    MapForm form;
    exchange::ServerFields ftpFields;
    platform::ScriptedPrompts prompts;
    exchange::ScriptedWebFetcher web;
    std::unique_ptr<exchange::CurlFtpClient> ftp;
    std::unique_ptr<exchange::ExchangeCommands> commands;
    std::function<void()> onPaint;
};

TEST_F(ExchangeE2e, UploadUnderTheNameFieldThenDownloadOverTheOldTemplate)
{
    const QByteArray bytes = binaryTemplate();
    upload(dir.write(u("本地/另一个名字.ini"), bytes));
    EXPECT_EQ(form.status, u("笔录模板文件.ini上传FTP服务器成功.（未加密：服务器不支持加密传输）"));
    EXPECT_EQ(form.session.uploadFile, dir.file(u("本地/另一个名字.ini")));
    // The server reads names as GBK: it holds the file by its Chinese name
    // only when the name went over the wire in GBK.
    EXPECT_EQ(QDir(onServer(QStringLiteral("officer/wwwroot"))).entryList(QDir::Files),
              QStringList{u("案例1.ini")});
    EXPECT_EQ(readFile(onServer(u("officer/wwwroot/案例1.ini"))), bytes);

    dir.write(QStringLiteral("program/BL/案例1.ini"), "[set]\r\nnum1=old\r\n");
    commands->download();
    EXPECT_EQ(form.status, u("笔录模板.ini文件下载到 笔录软件的BL目录成功.（未加密：服务器不支持加密传输）"));
    EXPECT_EQ(readFile(bl(u("案例1.ini"))), bytes);
    EXPECT_EQ(QDir(bl()).entryList(QDir::Files | QDir::Hidden), QStringList{u("案例1.ini")});

    // A name typed with its extension gets it twice, on the server and in BL.
    ftpFields.fileName = u("案例2.ini");
    upload(dir.write(QStringLiteral("x.ini"), "[set]\r\nnum1=two\r\n"));
    EXPECT_EQ(readFile(onServer(u("officer/wwwroot/案例2.ini.ini"))), QByteArray("[set]\r\nnum1=two\r\n"));
    commands->download();
    EXPECT_EQ(readFile(bl(u("案例2.ini.ini"))), QByteArray("[set]\r\nnum1=two\r\n"));
    EXPECT_TRUE(prompts.shown().isEmpty());
}

TEST_F(ExchangeE2e, AnAccountWithoutWwwrootWorksInItsLoginFolder)
{
    ftpFields.account = QStringLiteral("plain");
    upload(dir.write(QStringLiteral("a.ini"), "[set]\r\nnum1=plain\r\n"));
    EXPECT_EQ(form.status, u("笔录模板文件.ini上传FTP服务器成功.（未加密：服务器不支持加密传输）"));
    EXPECT_EQ(readFile(onServer(u("plain/案例1.ini"))), QByteArray("[set]\r\nnum1=plain\r\n"));
    commands->download();
    EXPECT_EQ(form.status, u("笔录模板.ini文件下载到 笔录软件的BL目录成功.（未加密：服务器不支持加密传输）"));
    EXPECT_EQ(readFile(bl(u("案例1.ini"))), QByteArray("[set]\r\nnum1=plain\r\n"));
}

TEST_F(ExchangeE2e, RefusedOrUnreachableServersGiveTheLoginMessageWithinTheTimeOut)
{
    makeCommands({2, 2, 2});
    SilentServer silent;
    const QString here = QStringLiteral("127.0.0.1:%1").arg(server.port());
    const struct
    {
        QString host;
        const char* account;
        const char* password;
        qint64 atLeastMs;
    } cases[] = {
        {here, "officer", "wrong", 0},
        {here, "nobody", "secret", 0},
        {QStringLiteral("127.0.0.1:%1").arg(closedPort()), "officer", "secret", 0},
        {QStringLiteral("127.0.0.1:%1").arg(silent.port()), "officer", "secret", 1900},
        {QStringLiteral("127.0.0.1/x"), "officer", "secret", 0},
        {here, "officer\r\nDELE x", "secret", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.host.toStdString() + " " + c.account);
        ftpFields.address = c.host;
        ftpFields.account = u(c.account);
        ftpFields.password = u(c.password);
        form.status.clear();
        dir.write(QStringLiteral("program/BL/案例1.ini"), "old");
        QElapsedTimer t;
        t.start();
        commands->download();
        EXPECT_EQ(form.status, u("服务器帐号密码不对.."));
        EXPECT_GE(t.elapsed(), c.atLeastMs);
        EXPECT_LT(t.elapsed(), 3500);
        EXPECT_EQ(readFile(bl(u("案例1.ini"))), QByteArray("old"));
    }
}

TEST_F(ExchangeE2e, AMissingRemoteFileKeepsTheLocalTemplate)
{
    dir.write(QStringLiteral("program/BL/案例1.ini"), "[set]\r\nnum1=mine\r\n");
    commands->download();
    EXPECT_EQ(form.status, u("笔录下载失败."));
    EXPECT_EQ(readFile(bl(u("案例1.ini"))), QByteArray("[set]\r\nnum1=mine\r\n"));
    EXPECT_EQ(QDir(bl()).entryList(QDir::Files | QDir::Hidden), QStringList{u("案例1.ini")});
}

TEST_F(ExchangeE2e, AServerThatVanishesOrFreezesInTheMiddleOfADownloadLeavesTheTemplate)
{
    QByteArray large(48 << 20, 'x');
    dir.write(u("server/officer/wwwroot/案例1.ini"), large);
    large.clear();
    // A file this large is refused by the size limit; here the limit is
    // above it, so that the server can be stopped in the middle.
    exchange::NetworkLimits limits;
    limits.maxDownloadBytes = qint64(64) << 20;
    makeCommands(limits);
    for (const bool freeze : {false, true}) {
        SCOPED_TRACE(freeze ? "frozen" : "killed");
        QString error;
        if (freeze) {
            server.stop();
            ASSERT_TRUE(server.start(QStringLiteral("ftp"), dir.file(QStringLiteral("server")), &error))
                << error.toStdString();
            ftpFields.address = QStringLiteral("127.0.0.1:%1").arg(server.port());
            limits.connectSeconds = limits.stallSeconds = limits.requestSeconds = 2;
            makeCommands(limits);
        }
        dir.write(QStringLiteral("program/BL/案例1.ini"), "[set]\r\nnum1=mine\r\n");
        // Stop the server once part of the file has arrived.
        bool stopped = false;
        onPaint = [&] {
            if (!stopped && ftp->transferredBytes() > 0) {
                freeze ? server.pause() : server.kill();
                stopped = true;
            }
        };
        QElapsedTimer t;
        t.start();
        commands->download();
        onPaint = nullptr;
        EXPECT_TRUE(stopped);
        EXPECT_EQ(form.status, u("笔录下载失败."));
        // Frozen: given up two seconds after the last byte.
        EXPECT_LT(t.elapsed(), freeze ? 3500 : 3000);
        EXPECT_EQ(readFile(bl(u("案例1.ini"))), QByteArray("[set]\r\nnum1=mine\r\n"));
        EXPECT_EQ(QDir(bl()).entryList(QDir::Files | QDir::Hidden), QStringList{u("案例1.ini")});
    }
}

TEST_F(ExchangeE2e, AHugeOrTrickledDownloadEndsWithTheMessageAndLeavesTheTemplate)
{
    const QByteArray mine = "[set]\r\nnum1=mine\r\n";
    dir.write(QStringLiteral("program/BL/案例1.ini"), mine);
    // Gigabytes, as far as a template goes: more than 16 MB.
    dir.write(u("server/officer/wwwroot/案例1.ini"), QByteArray((16 << 20) + 1, 'x'));
    QElapsedTimer t;
    t.start();
    commands->download();
    EXPECT_EQ(form.status, u("笔录下载失败."));
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_EQ(readFile(bl(u("案例1.ini"))), mine);

    // One byte now and then keeps the stall check quiet; the whole transfer
    // has its own bound (here 3 s).
    QString error;
    server.stop();
    ASSERT_TRUE(server.start(QStringLiteral("ftp-slow"), dir.file(QStringLiteral("server")), &error))
        << error.toStdString();
    dir.write(u("server/officer/wwwroot/案例1.ini"), QByteArray(20000, 'y'));
    ftpFields.address = QStringLiteral("127.0.0.1:%1").arg(server.port());
    exchange::NetworkLimits limits;
    limits.transferSeconds = 3;
    makeCommands(limits);
    t.restart();
    commands->download();
    EXPECT_EQ(form.status, u("笔录下载失败."));
    EXPECT_GE(t.elapsed(), 2900);
    EXPECT_LT(t.elapsed(), 6000);
    EXPECT_GT(ftp->transferredBytes(), 0) << "the server sent nothing at all";
    EXPECT_EQ(readFile(bl(u("案例1.ini"))), mine);
    EXPECT_EQ(QDir(bl()).entryList(QDir::Files | QDir::Hidden), QStringList{u("案例1.ini")});
}

TEST_F(ExchangeE2e, BehindNatTheTransferGoesPassiveOnceAndTheServerIsRememberedAsPassive)
{
    QString error;
    server.stop();
    ASSERT_TRUE(server.start(QStringLiteral("ftp-nat"), dir.file(QStringLiteral("server")), &error))
        << error.toStdString();
    ftpFields.address = QStringLiteral("127.0.0.1:%1").arg(server.port());
    platform::RegistryStore settings(dir.file(QStringLiteral("config/registry")));
    makeCommands({}, &settings);
    const QString key = QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillan\\FTP");
    const QString mode = QStringLiteral("127.0.0.1:%1 模式").arg(server.port());
    upload(dir.write(QStringLiteral("a.ini"), "[set]\r\nnum1=nat\r\n"));
    EXPECT_EQ(form.status, u("笔录模板文件.ini上传FTP服务器成功.（未加密：服务器不支持加密传输）"));
    EXPECT_EQ(readFile(onServer(u("officer/wwwroot/案例1.ini"))), QByteArray("[set]\r\nnum1=nat\r\n"));
    EXPECT_EQ(readFile(onServer(QStringLiteral("logins.log"))).count('\n'), 1) << "passive on the same login";
    EXPECT_EQ(settings.readRegistryText(key, mode), QStringLiteral("passive"));
    commands->download();
    EXPECT_EQ(form.status, u("笔录模板.ini文件下载到 笔录软件的BL目录成功.（未加密：服务器不支持加密传输）"));
    EXPECT_EQ(readFile(bl(u("案例1.ini"))), QByteArray("[set]\r\nnum1=nat\r\n"));
}

TEST_F(ExchangeE2e, AnActiveDataConnectionFromAnotherAddressIsRefused)
{
    QString error;
    server.stop();
    ASSERT_TRUE(server.start(QStringLiteral("ftp-foreign"), dir.file(QStringLiteral("server")), &error))
        << error.toStdString();
    ftpFields.address = QStringLiteral("127.0.0.1:%1").arg(server.port());
    const QByteArray mine = "[set]\r\nnum1=mine\r\n";
    dir.write(QStringLiteral("program/BL/案例1.ini"), mine);
    dir.write(u("server/officer/wwwroot/案例1.ini"), "[set]\r\nnum1=planted\r\n");
    commands->download();
    EXPECT_EQ(form.status, u("笔录下载失败."));
    EXPECT_EQ(readFile(bl(u("案例1.ini"))), mine);
    upload(dir.write(QStringLiteral("a.ini"), "[set]\r\nnum1=secret\r\n"));
    EXPECT_EQ(form.status, u("笔录上传失败."));
    EXPECT_NE(readFile(onServer(u("officer/wwwroot/案例1.ini"))), QByteArray("[set]\r\nnum1=secret\r\n"));
}

TEST_F(ExchangeE2e, OneLoginPerConnectTheConnectionServesEveryTransferAfterIt)
{
    const auto logins = [this] { return readFile(onServer(QStringLiteral("logins.log"))).count('\n'); };
    upload(dir.write(QStringLiteral("a.ini"), "[set]\r\n"));
    ftpFields.fileName = u("没有的");
    commands->download();
    EXPECT_EQ(form.status, u("笔录下载失败."));
    ftpFields.fileName = u("案例1");
    commands->download();
    EXPECT_EQ(form.status, u("笔录模板.ini文件下载到 笔录软件的BL目录成功.（未加密：服务器不支持加密传输）"));
    EXPECT_EQ(logins(), 3);

    ASSERT_TRUE(ftp->connect(QStringLiteral("127.0.0.1"), QStringLiteral("officer"), QStringLiteral("secret"),
                             server.port()));
    EXPECT_TRUE(ftp->setCurrentDirectory(QStringLiteral("wwwroot/")));
    EXPECT_FALSE(ftp->setCurrentDirectory(QStringLiteral("nowhere/")));
    EXPECT_TRUE(ftp->putFile(dir.write(QStringLiteral("b.ini"), "two"), u("二.ini")));
    EXPECT_FALSE(ftp->getFile(u("没有的.ini"), bl(QStringLiteral("x.ini"))));
    EXPECT_TRUE(ftp->getFile(u("二.ini"), bl(QStringLiteral("b.ini"))));
    EXPECT_EQ(readFile(bl(QStringLiteral("b.ini"))), QByteArray("two"));
    EXPECT_EQ(readFile(onServer(u("officer/wwwroot/二.ini"))), QByteArray("two"));
    EXPECT_EQ(logins(), 4);
    // Passive mode is refused by this server, so the transfers above were active.
    ASSERT_TRUE(ftp->connect(QStringLiteral("127.0.0.1"), QStringLiteral("officer"), QStringLiteral("secret"),
                             server.port(), true));
    EXPECT_FALSE(ftp->getFile(u("wwwroot/二.ini"), bl(QStringLiteral("c.ini"))));
}

TEST_F(ExchangeE2e, AServerThatFrozeBetweenTransfersHoldsTheNextConnectOneSecondAtMost)
{
    makeCommands({2, 2, 2});
    ASSERT_TRUE(ftp->connect(QStringLiteral("127.0.0.1"), QStringLiteral("officer"), QStringLiteral("secret"),
                             server.port()));
    server.pause();
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(ftp->connect(QStringLiteral("127.0.0.1"), QStringLiteral("officer"),
                              QStringLiteral("secret"), server.port()));
    // One second for the old connection's QUIT, two for the new login.
    EXPECT_LT(t.elapsed(), 3500);
    server.resume();
    EXPECT_TRUE(ftp->connect(QStringLiteral("127.0.0.1"), QStringLiteral("officer"), QStringLiteral("secret"),
                             server.port()));
}

// ---------------------------------------------------------------- update check

class UpdateE2e : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        QDir().mkpath(dir.file(QStringLiteral("web")));
        ASSERT_TRUE(server.start(QStringLiteral("http"), dir.file(QStringLiteral("web")), &error))
            << error.toStdString();
    }
    // The update check against `website`, with "soft.ini" = `body` (none
    // when null); the message shown.
    Shown check(const QString& website, const QByteArray& body)
    {
        QFile::remove(dir.file(QStringLiteral("web/soft.ini")));
        if (!body.isNull())
            dir.write(QStringLiteral("web/soft.ini"), body);
        exchange::ExchangeEnvironment env;
        env.fields = [] { return exchange::ServerFields{}; };
        env.status = &form;
        env.session = &form.session;
        env.prompts = &prompts;
        env.ftp = nullptr;
        env.web = &fetcher;
        env.scratchDir = dir.file(QStringLiteral("scratch"));
        env.website = website;
        prompts.clear();
        exchange::ExchangeCommands(env).checkForUpdate();
        return prompts.shown().value(0);
    }

    TempDir dir;
    TestServer server;
    MapForm form;
    platform::ScriptedPrompts prompts;
    exchange::CurlWebFetcher fetcher;
};

TEST_F(UpdateE2e, GengxinOneMeansANewVersionAndEverythingElseNone)
{
    const QString site = QStringLiteral("http://127.0.0.1:%1").arg(server.port());
    const Shown newer{u("软件有新版本！ 请到 ") + site + u(" 下载新版本使用。。。"), u("提 示："),
                      Buttons::Ok};
    const Shown none{u("软件暂时没有新版本用于更新！"), u("提 示："), Buttons::Ok};
    const auto failed = [](const char* reason) {
        return Shown{u("无法连接更新服务器：") + u(reason), u("提 示："), Buttons::Ok};
    };
    const struct
    {
        const char* what;
        QString website;
        QByteArray body;
        Shown shown;
    } cases[] = {
        {"1", site, "[set]\r\ngengxin=1\r\n", newer},
        {"2", site, "[set]\r\ngengxin=2\r\n", none},
        {"missing key", site, "[set]\r\nbanben=3\r\n", none},
        {"empty body", site, "", none},
        {"HTML page", site, "<html><body>[set] gengxin=1</body></html>", none},
        {"no file (404)", site, QByteArray(), failed("服务器回答 HTTP 404")},
        {"HTML error page", site + QStringLiteral("/error"), QByteArray(), failed("服务器回答 HTTP 404")},
        {"no server", QStringLiteral("http://127.0.0.1:%1").arg(closedPort()), QByteArray(),
         failed("连接不上服务器")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(check(c.website, c.body), c.shown);
    }
    // The failed checks left the last answer as it was.
    EXPECT_EQ(readFile(dir.file(QStringLiteral("scratch/soft.ini"))),
              QByteArray("<html><body>[set] gengxin=1</body></html>"));

    // The request: exactly these headers, byte for byte.
    QFile log(dir.file(QStringLiteral("requests.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QJsonObject first = QJsonDocument::fromJson(log.readLine()).object();
    EXPECT_EQ(first.value(QStringLiteral("path")).toString(), QStringLiteral("/soft.ini"));
    QStringList headers;
    for (const QJsonValue& h : first.value(QStringLiteral("headers")).toArray())
        headers << h.toArray().at(0).toString() + QStringLiteral(": ") + h.toArray().at(1).toString();
    EXPECT_EQ(
        headers,
        QStringList({QStringLiteral("Host: 127.0.0.1:%1").arg(server.port()),
                     QString::fromLatin1(exchange::CurlWebFetcher::kUserAgent).prepend(u("User-Agent: ")),
                     QString::fromLatin1(exchange::CurlWebFetcher::kAccept),
                     QString::fromLatin1(exchange::CurlWebFetcher::kAcceptLanguage)}));
    EXPECT_EQ(QString::fromLatin1(exchange::CurlWebFetcher::kUserAgent),
              QStringLiteral("Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"));
    EXPECT_EQ(
        QString::fromLatin1(exchange::CurlWebFetcher::kAccept),
        QStringLiteral(
            "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
            "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*"));
    EXPECT_EQ(QString::fromLatin1(exchange::CurlWebFetcher::kAcceptLanguage),
              QStringLiteral("Accept-Language: zh-cn"));
}

TEST_F(UpdateE2e, ASilentServerOrAHugeBodyGivesAnEmptyAnswerInTime)
{
    SilentServer silent;
    exchange::CurlWebFetcher quick({2, 2, 2});
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(quick.get(QStringLiteral("http://127.0.0.1:%1/soft.ini").arg(silent.port())), QByteArray());
    EXPECT_GE(t.elapsed(), 1900);
    EXPECT_LT(t.elapsed(), 3500);
    EXPECT_EQ(quick.lastError(), u("服务器没有在限定的时间内应答"));

    dir.write(QStringLiteral("web/big.ini"), QByteArray(2 << 20, 'x'));
    dir.write(QStringLiteral("web/small.ini"), "[set]\r\n");
    const QString site = QStringLiteral("http://127.0.0.1:%1").arg(server.port());
    EXPECT_EQ(fetcher.get(site + QStringLiteral("/big.ini")), QByteArray());
    EXPECT_EQ(fetcher.lastError(), u("回答超过 1048576 字节，不是版本文件"));
    EXPECT_EQ(fetcher.get(site + QStringLiteral("/small.ini")), QByteArray("[set]\r\n"));
    EXPECT_TRUE(fetcher.lastError().isEmpty());
    // No other scheme than HTTP(S).
    EXPECT_EQ(fetcher.get(QStringLiteral("file://") + dir.file(QStringLiteral("web/small.ini"))),
              QByteArray());
    EXPECT_EQ(fetcher.lastError(), u("地址不是 HTTP 或 HTTPS 地址"));
}

TEST_F(UpdateE2e, TheDesktopsProxyIsUsedUnlessTheAddressIsExempt)
{
    // The web server here plays the proxy: asked for an absolute address, it
    // serves the file of that name below its root.
    dir.write(QStringLiteral("web/http:/www.quillan.example/soft.ini"), "[set]\r\ngengxin=1\r\n");
    const QString site = QStringLiteral("http://127.0.0.1:%1").arg(server.port());
    qputenv("http_proxy", site.toLatin1());
    EXPECT_EQ(fetcher.get(QStringLiteral("http://www.quillan.example/soft.ini")),
              QByteArray("[set]\r\ngengxin=1\r\n"))
        << fetcher.lastError().toStdString();
    // An address the desktop exempts goes directly: here past a proxy that
    // is not there.
    qputenv("http_proxy", QStringLiteral("http://127.0.0.1:%1").arg(closedPort()).toLatin1());
    qputenv("no_proxy", "127.0.0.1");
    dir.write(QStringLiteral("web/soft.ini"), "[set]\r\n");
    EXPECT_EQ(fetcher.get(site + QStringLiteral("/soft.ini")), QByteArray("[set]\r\n"));
    qunsetenv("no_proxy");
    EXPECT_EQ(fetcher.get(site + QStringLiteral("/soft.ini")), QByteArray());
    EXPECT_EQ(fetcher.lastError(), u("连接不上服务器"));
    qunsetenv("http_proxy");

    QFile log(dir.file(QStringLiteral("requests.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(log.readLine()).object().value(QStringLiteral("path")).toString(),
              QStringLiteral("http://www.quillan.example/soft.ini"));
}

} // namespace
} // namespace quillan::test
