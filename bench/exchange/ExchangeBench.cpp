// Times record exchange on loopback against the test FTP server (pyftpdlib,
// active mode): the login, the upload and the download of a 100 KB
// template once connected, the whole "笔录上传" / "笔录下载" commands, and
// the time until "服务器帐号密码不对.." for a server that takes the
// connection and never answers (the product's time-outs).
#include "../record/MapForm.h"
#include "TestServers.h"
#include "doubles/ScriptedPrompts.h"
#include "doubles/ScriptedWebFetcher.h"
#include "exchange/CurlFtpClient.h"
#include "exchange/ExchangeCommands.h"
#include "exchange/WebFetcher.h"
#include "platform/Prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace quillan;

namespace {

struct Figures
{
    double median = 0;
    double max = 0;
};

Figures time(int runs, const std::function<bool()>& step)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        if (!step()) {
            std::fprintf(stderr, "exchange_bench: a step failed\n");
            std::exit(1);
        }
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

void print(const char* what, const Figures& f)
{
    std::printf("%-52s median %8.2f ms   max %8.2f ms\n", what, f.median, f.max);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = 21;
    QTemporaryDir dir;
    test::TestServer server;
    QString error;
    if (!server.start(QStringLiteral("ftp"), dir.filePath(QStringLiteral("server")), &error)) {
        std::fprintf(stderr, "exchange_bench: %s\n", qPrintable(error));
        return 1;
    }
    // A 100 KB template: Chinese text in GBK, CR LF line ends.
    QByteArray bytes;
    for (int i = 0; bytes.size() < 100 * 1024; ++i)
        bytes += QStringLiteral("num%1=问：第%1个问题，你在工地做什么工作？\r\n").arg(i).toUtf8();
    bytes.truncate(100 * 1024);
    const QString local = dir.filePath(QStringLiteral("local.ini"));
    QFile f(local);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return 1;
    f.close();
    QDir().mkpath(dir.filePath(QStringLiteral("program/BL")));

    exchange::CurlFtpClient ftp;
    const auto connect = [&] {
        return ftp.connect(QStringLiteral("127.0.0.1"), QStringLiteral("officer"), QStringLiteral("secret"),
                           server.port());
    };
    std::printf("100 KB template over loopback, %d runs each\n", runs);
    print("connect and log in", time(runs, connect));
    std::printf(
        "(logins the server saw: %lld)\n", (long long)[&] {
            QFile log(dir.filePath(QStringLiteral("server/logins.log")));
            return log.open(QIODevice::ReadOnly) ? log.readAll().count('\n') : 0;
        }());
    if (!connect() || !ftp.setCurrentDirectory(QStringLiteral("wwwroot/")))
        return 1;
    const QString remote = QString::fromUtf8("案例1.ini");
    print("putFile once connected", time(runs, [&] { return ftp.putFile(local, remote); }));
    const QString target = dir.filePath(QString::fromUtf8("program/BL/案例1.ini"));
    print("getFile once connected", time(runs, [&] { return ftp.getFile(remote, target); }));

    test::MapForm form;
    platform::ScriptedPrompts prompts;
    exchange::ScriptedWebFetcher web;
    exchange::ServerFields ftpFields;
    exchange::ExchangeEnvironment env{[&ftpFields] { return ftpFields; },
                                      &form,
                                      &form.session,
                                      &prompts,
                                      &ftp,
                                      &web,
                                      dir.filePath(QStringLiteral("program")),
                                      {},
                                      {}};
    exchange::ExchangeCommands commands(env);
    ftpFields.address = QStringLiteral("127.0.0.1:%1").arg(server.port());
    ftpFields.account = QStringLiteral("officer");
    ftpFields.password = QStringLiteral("secret");
    ftpFields.fileName = QString::fromUtf8("案例1");
    print("upload command (connect, wwwroot/, put)", time(runs, [&] {
              prompts.chooseNext(local);
              commands.upload();
              return form.status.startsWith(QString::fromUtf8("笔录模板文件.ini上传FTP服务器成功."));
          }));
    print("download command (connect, wwwroot/, get)", time(runs, [&] {
              commands.download();
              return form.status.startsWith(
                  QString::fromUtf8("笔录模板.ini文件下载到 笔录软件的BL目录成功."));
          }));

    test::SilentServer silent;
    ftpFields.address = QStringLiteral("127.0.0.1:%1").arg(silent.port());
    print("download command, silent server, to login message", time(1, [&] {
              commands.download();
              return form.status == QString::fromUtf8("服务器帐号密码不对..");
          }));
    return 0;
}
