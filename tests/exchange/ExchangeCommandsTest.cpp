// The exchange commands against the in-memory FTP server and a scripted web
// fetcher: the checks before a transfer, the names used on the server and in
// "BL", every status text and message byte for byte, and the update check.
#include "exchange/ExchangeCommands.h"
#include "../record/MapForm.h"
#include "doubles/RecordingFtpClient.h"
#include "doubles/ScriptedPrompts.h"
#include "doubles/ScriptedWebFetcher.h"
#include "exchange/WebFetcher.h"
#include "platform/Prompts.h"
#include "platform/RegistryStore.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

using platform::Answer;
using platform::Buttons;
using Shown = platform::ScriptedPrompts::Shown;

QString u(const char* s)
{
    return QString::fromUtf8(s);
}
Shown ok(const char* text, const char* title)
{
    return {u(text), u(title), Buttons::Ok};
}

const char* const kNameRefused =
    "文件名中不能有“/”、“\\”、“..”或控制字符：文件只能放在笔录目录中。请只输入笔录文件的名称。";

class Exchange : public ::testing::Test
{
protected:
    Exchange()
    {
        exchange::ExchangeEnvironment env;
        env.fields = [this] { return server; };
        env.status = &form;
        env.session = &form.session;
        env.prompts = &prompts;
        env.ftp = &ftp;
        env.web = &web;
        env.programDir = dir.file(QStringLiteral("program"));
        env.scratchDir = dir.file(QStringLiteral("scratch"));
        env.website = QStringLiteral("http://www.quillan.example");
        env.settings = &settings;
        commands = std::make_unique<exchange::ExchangeCommands>(env);
        QDir().mkpath(bl());
        server.address = QStringLiteral("192.168.1.20");
        server.account = QStringLiteral("officer");
        server.password = QStringLiteral("secret");
        server.fileName = u("案例1");
        // The form shows the busy cursor while the server is asked.
        ftp.onCall = [this](const QString&) { busyDuringCalls << (form.busyCalls.size() % 2 == 1); };
    }
    QString bl(const QString& name = QString()) const
    {
        return dir.file(QStringLiteral("program/BL/")) + name;
    }

    TempDir dir;
    platform::RegistryStore settings{dir.file(QStringLiteral("config/registry"))};
    MapForm form;
    exchange::ServerFields server;
    platform::ScriptedPrompts prompts;
    exchange::RecordingFtpClient ftp;
    exchange::ScriptedWebFetcher web;
    std::unique_ptr<exchange::ExchangeCommands> commands;
    QList<bool> busyDuringCalls;
};

TEST_F(Exchange, AnEmptyFieldStopsBothTransfersBeforeAnyConnection)
{
    for (QString* field : {&server.address, &server.account, &server.password, &server.fileName}) {
        for (const bool uploading : {true, false}) {
            SCOPED_TRACE(field->toStdString() + (uploading ? " upload" : " download"));
            const QString kept = *field;
            field->clear();
            prompts.clear();
            uploading ? commands->upload() : commands->download();
            EXPECT_EQ(prompts.shown(),
                      QList<Shown>{ok("FTP服务器配置没有添写！", "请完善FTP服务器配置才可以上传下载：")});
            EXPECT_TRUE(prompts.dialogsOpened().isEmpty());
            *field = kept;
        }
    }
    EXPECT_TRUE(ftp.calls.isEmpty());
    EXPECT_TRUE(form.status.isEmpty());
}

TEST_F(Exchange, ANameThatLeadsOutOfItsFolderIsRefusedWithTheReason)
{
    for (const char* name : {"../Set", "a/b", "a\\b", "..", "x..y", "a\r\nDELE b"}) {
        SCOPED_TRACE(name);
        server.fileName = u(name);
        for (const bool uploading : {true, false}) {
            prompts.clear();
            prompts.chooseNext(dir.write(QStringLiteral("t.ini"), "[set]\r\n"));
            uploading ? commands->upload() : commands->download();
            EXPECT_EQ(prompts.shown(), QList<Shown>{ok(kNameRefused, "提示：")});
        }
    }
    EXPECT_TRUE(ftp.calls.isEmpty());
    // Names that stay in their folder pass.
    for (const char* name : {"案例1", "a.b", ".hidden", "2012.3.5-公司-张三"})
        EXPECT_EQ(exchange::ExchangeCommands::nameProblem(u(name)), std::nullopt) << name;
}

TEST_F(Exchange, UploadAcceptsOnlyATemplateWithLowerCaseIniInItsPathAndKeepsTheChoice)
{
    const QString folderIni = dir.write(QStringLiteral("ini-files/record.txt"), "[set]\r\nnum1=2012\r\n");
    const QString capitals = dir.write(QStringLiteral("RECORD.INI"), "[set]\r\n");
    const QString pdf = dir.write(QStringLiteral("ini-files/finished.pdf"), "%PDF-1.7\n");
    const QString noSet = dir.write(QStringLiteral("other.ini"), "[colours]\r\nred=1\r\n");
    const Shown pathRefused = ok("请选择笔录模板文件.ini上传", "提示：");
    const struct
    {
        std::optional<QString> choice;
        std::optional<Shown> refused;
    } cases[] = {
        {std::nullopt, pathRefused},
        {QString(), pathRefused},
        {capitals, pathRefused},
        {pdf, Shown{u("所选的文件不是笔录模板，没有上传：\r\n") + pdf, u("提示："), Buttons::Ok}},
        {noSet, Shown{u("所选的文件不是笔录模板，没有上传：\r\n") + noSet, u("提示："), Buttons::Ok}},
        {folderIni, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.choice.value_or(QStringLiteral("(cancelled)")).toStdString());
        prompts.clear();
        ftp.calls.clear();
        form.session.uploadFile = QStringLiteral("old");
        c.choice ? prompts.chooseNext(*c.choice) : prompts.cancelNext();
        commands->upload();
        EXPECT_EQ(prompts.dialogsOpened(), QStringList{QStringLiteral(" ")});
        EXPECT_EQ(form.session.uploadFile, c.choice.value_or(QString()));
        if (!c.refused) {
            EXPECT_TRUE(prompts.shown().isEmpty());
            EXPECT_EQ(ftp.files.value(u("wwwroot/案例1.ini")), readFile(folderIni));
        } else {
            EXPECT_EQ(prompts.shown(), QList<Shown>{*c.refused});
            EXPECT_TRUE(ftp.calls.isEmpty());
        }
    }
}

TEST_F(Exchange, UploadStoresTheFileUnderTheNameFieldInWwwroot)
{
    const QString local =
        dir.write(QStringLiteral("somewhere/2012.3.5-公司-张三.ini"), "[set]\r\nnum1=x\r\n");
    server.address = QStringLiteral("ftp.office.example:2121");
    prompts.chooseNext(local);
    commands->upload();
    EXPECT_EQ(ftp.calls, QStringList({QStringLiteral("connect ftp.office.example:2121 officer"),
                                      u("cd wwwroot/"), u("put ") + local + u(" 案例1.ini")}));
    EXPECT_EQ(ftp.files.keys(), QStringList{u("wwwroot/案例1.ini")});
    EXPECT_EQ(ftp.files.value(u("wwwroot/案例1.ini")), QByteArray("[set]\r\nnum1=x\r\n"));
    EXPECT_EQ(form.status, u("笔录模板文件.ini上传FTP服务器成功.（未加密：服务器不支持加密传输）"));
    EXPECT_EQ(busyDuringCalls, QList<bool>({true, true, true}));
    EXPECT_EQ(form.busyCalls, QList<bool>({true, false}));

    // A name typed with its extension gets it twice; a server that refuses
    // the file; a server without "wwwroot/" takes it in the login folder.
    server.fileName = u("案例2.ini");
    prompts.chooseNext(local);
    commands->upload();
    EXPECT_TRUE(ftp.files.contains(u("wwwroot/案例2.ini.ini")));
    ftp.refuseUploads = true;
    prompts.chooseNext(local);
    commands->upload();
    EXPECT_EQ(form.status, u("笔录上传失败."));
    ftp.refuseUploads = false;
    ftp.directories = QStringList{QString()};
    server.fileName = u("案例3");
    prompts.chooseNext(local);
    commands->upload();
    EXPECT_TRUE(ftp.files.contains(u("案例3.ini")));
    EXPECT_EQ(form.status, u("笔录模板文件.ini上传FTP服务器成功.（未加密：服务器不支持加密传输）"));
}

TEST_F(Exchange, ARefusedLoginStopsBothTransfersWithTheLoginMessage)
{
    server.password = QStringLiteral("wrong");
    prompts.chooseNext(dir.write(QStringLiteral("a.ini"), "[set]\r\n"));
    commands->upload();
    EXPECT_EQ(form.status, u("服务器帐号密码不对.."));
    form.status.clear();
    commands->download();
    EXPECT_EQ(form.status, u("服务器帐号密码不对.."));
    EXPECT_EQ(ftp.calls, QStringList({QStringLiteral("connect 192.168.1.20:21 officer"),
                                      QStringLiteral("connect 192.168.1.20:21 officer")}));
    EXPECT_EQ(form.busyCalls, QList<bool>({true, false, true, false}));
}

TEST_F(Exchange, DownloadReplacesTheTemplateInBlOrKeepsItOnFailure)
{
    dir.write(QStringLiteral("program/BL/案例1.ini"), "old");
    ftp.files[u("wwwroot/案例1.ini")] = "new";
    commands->download();
    EXPECT_EQ(ftp.calls, QStringList({QStringLiteral("connect 192.168.1.20:21 officer"), u("cd wwwroot/"),
                                      u("get 案例1.ini ") + bl(u("案例1.ini"))}));
    EXPECT_EQ(readFile(bl(u("案例1.ini"))), QByteArray("new"));
    EXPECT_EQ(form.status, u("笔录模板.ini文件下载到 笔录软件的BL目录成功.（未加密：服务器不支持加密传输）"));
    EXPECT_TRUE(prompts.shown().isEmpty());

    server.fileName = u("没有的");
    dir.write(QStringLiteral("program/BL/没有的.ini"), "keep");
    commands->download();
    EXPECT_EQ(form.status, u("笔录下载失败."));
    EXPECT_EQ(readFile(bl(u("没有的.ini"))), QByteArray("keep"));

    // Without "BL" the download fails and makes no folder.
    QDir(bl()).removeRecursively();
    server.fileName = u("案例1");
    commands->download();
    EXPECT_EQ(form.status, u("笔录下载失败."));
    EXPECT_FALSE(QFileInfo::exists(bl()));
}

TEST_F(Exchange, ACommandStartedWhileATransferRunsDoesNothing)
{
    // The window paints during a transfer; whatever runs then cannot start
    // a second transfer on the same connection.
    bool nested = false;
    ftp.onCall = [&](const QString& call) {
        if (!nested && call.startsWith(QStringLiteral("connect"))) {
            nested = true;
            commands->download();
            commands->upload();
            commands->checkForUpdate();
        }
    };
    ftp.files[u("wwwroot/案例1.ini")] = "x";
    commands->download();
    EXPECT_EQ(ftp.calls.size(), 3);
    EXPECT_TRUE(prompts.shown().isEmpty());
    EXPECT_TRUE(web.addresses.isEmpty());
    EXPECT_EQ(form.status, u("笔录模板.ini文件下载到 笔录软件的BL目录成功.（未加密：服务器不支持加密传输）"));
}

TEST_F(Exchange, AddressesWithAndWithoutPort)
{
    const struct
    {
        const char* text;
        const char* host;
        int port;
    } cases[] = {
        {"192.168.1.20", "192.168.1.20", 21},
        {"192.168.1.20:2121", "192.168.1.20", 2121},
        {" ftp.example :21 ", "ftp.example", 21},
        {"ftp.example:", "ftp.example:", 21},
        {"ftp.example:abc", "ftp.example:abc", 21},
        {"ftp.example:70000", "ftp.example:70000", 21},
        {"::1", "::1", 21},
        {"[::1]:2121", "::1", 2121},
        {"[::1]", "::1", 21},
        {"ftp.example:+21", "ftp.example:+21", 21},
    };
    for (const auto& c : cases) {
        const exchange::ServerAddress a = exchange::ExchangeCommands::parseAddress(u(c.text));
        EXPECT_EQ(a.host, u(c.host)) << c.text;
        EXPECT_EQ(a.port, c.port) << c.text;
    }
}

TEST_F(Exchange, UpdateCheckReadsGengxinFromTheVersionFile)
{
    const QString newer = u("软件有新版本！ 请到 http://www.quillan.example 下载新版本使用。。。");
    const QString none = u("软件暂时没有新版本用于更新！");
    const struct
    {
        QByteArray body;
        QString message;
    } cases[] = {
        {"[set]\r\ngengxin=1\r\n", newer},
        {"[SET]\r\n gengxin = \"1\" \r\n", newer},
        {"[set]\r\ngengxin=2\r\n", none},
        {"[set]\r\ngengxin=11\r\n", none},
        {"[set]\r\nbanben=1\r\n", none},
        {"", none},
        {"<html><body><h1>404 Not Found</h1></body></html>", none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body.toStdString());
        prompts.clear();
        web.body = c.body;
        commands->checkForUpdate();
        EXPECT_EQ(prompts.shown(), QList<Shown>({Shown{c.message, u("提 示："), Buttons::Ok}}));
        EXPECT_EQ(readFile(dir.file(QStringLiteral("scratch/soft.ini"))), c.body);
    }
    EXPECT_EQ(web.addresses.constFirst(), QStringLiteral("http://www.quillan.example/soft.ini"));
    EXPECT_EQ(int(QFile::permissions(dir.file(QStringLiteral("scratch")))) & 0x0077, 0);

    // No answer is not "no new version": it is told as a failure, and the
    // copy of the last answer stays.
    web.body = "[set]\r\ngengxin=1\r\n";
    commands->checkForUpdate();
    prompts.clear();
    web.error = u("连接不上服务器");
    commands->checkForUpdate();
    EXPECT_EQ(prompts.shown(),
              QList<Shown>({Shown{u("无法连接更新服务器：连接不上服务器"), u("提 示："), Buttons::Ok}}));
    EXPECT_EQ(readFile(dir.file(QStringLiteral("scratch/soft.ini"))), QByteArray("[set]\r\ngengxin=1\r\n"));
}

TEST_F(Exchange, TheServersCertificateIsPinnedOnFirstUseAndAChangedOneIsRefusedUntilTheOfficerTrustsIt)
{
    const QString key = QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillan\\FTP");
    const QString pin = QStringLiteral("192.168.1.20:21 证书");
    const QByteArray first = "AA:BB:CC";
    const QByteArray second = "DD:EE:FF";
    ftp.certificate = first;
    commands->download();
    ftp.files[u("wwwroot/案例1.ini")] = "[set]\r\n";
    EXPECT_EQ(settings.readRegistryText(key, pin), QStringLiteral("AA:BB:CC"));
    EXPECT_EQ(form.status, u("笔录下载失败."));
    commands->download();
    EXPECT_EQ(ftp.pinned, first);
    EXPECT_EQ(form.status, u("笔录模板.ini文件下载到 笔录软件的BL目录成功.（已加密）"));
    // The first success of a new server tells its fingerprint.
    settings.writeRegistryText(key, pin, QString());
    commands->download();
    EXPECT_EQ(form.status,
              u("笔录模板.ini文件下载到 "
                "笔录软件的BL目录成功.（已加密；首次连接此服务器，已记住它的证书，指纹 SHA-256 AA:BB:CC）"));

    // Another certificate: refused before anything is sent, then the
    // question; "No" keeps the old pin, "Yes" takes the new one.
    ftp.certificate = second;
    const Shown refused{
        u("FTP服务器 192.168.1.20:21 的证书与上次连接时不同，为安全起见没有登录，也没有传送任何文件。\r\n"
          "上次的证书指纹（SHA-256）：AA:BB:CC\r\n这次的证书指纹（SHA-256）：DD:EE:FF\r\n"
          "可能是服务器换了证书，也可能有人冒充服务器。请向服务器管理员核对这次的指纹，"
          "核对无误后，在下一个问题中选择“是”。"),
        u("提示："), Buttons::Ok};
    const Shown question{
        u("是否信任FTP服务器 192.168.1.20:21 的新证书（指纹 SHA-256 DD:EE:FF）？以后只接受这个证书。"),
        u("提示："), Buttons::YesNo};
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        prompts.clear();
        ftp.calls.clear();
        prompts.answerNext(Answer::Ok);
        prompts.answerNext(answer);
        commands->download();
        EXPECT_EQ(prompts.shown(), (QList<Shown>{refused, question}));
        EXPECT_EQ(ftp.calls, QStringList{QStringLiteral("connect 192.168.1.20:21 officer")});
        EXPECT_EQ(form.status, answer == Answer::Yes ? u("已信任FTP服务器的新证书，请重新上传或下载。")
                                                     : u("没有连接FTP服务器：服务器的证书与上次不同。"));
        EXPECT_EQ(settings.readRegistryText(key, pin),
                  answer == Answer::Yes ? QStringLiteral("DD:EE:FF") : QStringLiteral("AA:BB:CC"));
    }
    prompts.clear();
    commands->download();
    EXPECT_TRUE(prompts.shown().isEmpty());
    EXPECT_EQ(form.status, u("笔录模板.ini文件下载到 笔录软件的BL目录成功.（已加密）"));

    // A server known to encrypt that offers no TLS now: refused.
    ftp.certificate.clear();
    commands->download();
    EXPECT_EQ(
        prompts.shown(),
        QList<Shown>{ok("FTP服务器 192.168.1.20:21 以前使用加密连接，这次没有提供加密，为安全起见没有登录，"
                        "也没有传送任何文件。\r\n可能有人冒充服务器。请向服务器管理员核对。",
                        "提示：")});
    EXPECT_EQ(form.status, u("没有连接FTP服务器：服务器这次没有提供加密连接。"));
}

TEST_F(Exchange, AServerActiveModeCannotReachIsRememberedAsPassive)
{
    ftp.activeFails = true;
    ftp.files[u("wwwroot/案例1.ini")] = "[set]\r\n";
    commands->download();
    EXPECT_EQ(ftp.calls.mid(0, 1), QStringList{QStringLiteral("connect 192.168.1.20:21 officer")});
    EXPECT_TRUE(ftp.calls.contains(QStringLiteral("passive")));
    ftp.calls.clear();
    commands->download();
    EXPECT_EQ(ftp.calls.first(), QStringLiteral("connect 192.168.1.20:21 officer passive"));
}

} // namespace
} // namespace quillan::test
