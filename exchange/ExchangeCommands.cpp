#include "exchange/ExchangeCommands.h"

#include "exchange/FtpClient.h"
#include "exchange/WebFetcher.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/ProfileIni.h"
#include "platform/Prompts.h"
#include "platform/RegistryStore.h"
#include "platform/SessionState.h"
#include "platform/StatusPort.h"
#include "platform/Text.h"

#include <algorithm>

namespace quillan::exchange {

namespace {

using platform::Buttons;

using platform::u;

const char* const kRemoteDirectory = "wwwroot/";

const char* const kLoginFailed = "服务器帐号密码不对..";

// Per server ("host:port"), in the settings store: the pinned certificate
// and the data connections' mode that worked.
const char* const kServersKey = "HKEY_CURRENT_USER\\Software\\Quillan\\FTP";
const char* const kCertificateName = " 证书";
const char* const kModeName = " 模式";

// Shows the busy cursor for the life of a transfer, and refuses a second
// command while one runs (the window paints during a transfer, so a timer
// could otherwise start another).
class Running
{
public:
    Running(bool& flag, platform::StatusPort& status) : flag_(flag), status_(status)
    {
        flag_ = true;
        status_.setBusy(true);
    }
    ~Running()
    {
        status_.setBusy(false);
        flag_ = false;
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

private:
    bool& flag_;
    platform::StatusPort& status_;
};

} // namespace

ExchangeCommands::ExchangeCommands(ExchangeEnvironment env) : env_(std::move(env)) {}

QString ExchangeCommands::updateFailureText(const QString& reason)
{
    return u("无法连接更新服务器：") + reason;
}

QString ExchangeCommands::notATemplateText(const QString& path)
{
    return u("所选的文件不是笔录模板，没有上传：\r\n") + path;
}

ServerAddress ExchangeCommands::parseAddress(const QString& text)
{
    const QString t = text.trimmed();
    ServerAddress a;
    a.host = t;
    qsizetype colon = -1;
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        if (close < 0)
            return a;
        a.host = t.mid(1, close - 1);
        if (close + 1 == t.size())
            return a;
        if (t.at(close + 1) != QLatin1Char(':')) {
            a.host = t;
            return a;
        }
        colon = close + 1;
    } else {
        // A bare IPv6 address has several colons and no port.
        if (t.count(QLatin1Char(':')) != 1)
            return a;
        colon = t.indexOf(QLatin1Char(':'));
        a.host = t.left(colon).trimmed();
    }
    const QString portText = t.mid(colon + 1);
    bool ok = false;
    const int port = portText.toInt(&ok);
    const bool digits = !portText.isEmpty() && std::all_of(portText.begin(), portText.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    if (!ok || !digits || port < 1 || port > 65535) {
        // Not a port: the whole text is the host, which the client refuses.
        a.host = t;
        return a;
    }
    a.port = port;
    return a;
}

std::optional<QString> ExchangeCommands::nameProblem(const QString& name)
{
    const bool control = std::any_of(name.begin(), name.end(),
                                     [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.contains(QStringLiteral("..")) || control)
        return u("文件名中不能有“/”、“\\”、“..”或控制字符：文件只能放在笔录目录中。请只输入笔录文件的名称。");
    return std::nullopt;
}

bool ExchangeCommands::configured()
{
    const ServerFields fields = env_.fields();
    for (const QString* value : {&fields.address, &fields.account, &fields.password, &fields.fileName}) {
        if (value->isEmpty()) {
            env_.prompts->message(u("FTP服务器配置没有添写！"), u("请完善FTP服务器配置才可以上传下载："),
                                  Buttons::Ok);
            return false;
        }
    }
    if (const auto problem = nameProblem(fields.fileName)) {
        env_.prompts->message(*problem, u("提示："), Buttons::Ok);
        return false;
    }
    return true;
}

QString ExchangeCommands::serverKey() const
{
    const ServerAddress address = parseAddress(env_.fields().address);
    return QStringLiteral("%1:%2").arg(address.host).arg(address.port);
}

bool ExchangeCommands::connect()
{
    platform::StatusPort& status = *env_.status;
    const ServerFields fields = env_.fields();
    const ServerAddress address = parseAddress(fields.address);
    const QString server = serverKey();
    const QString pinned = env_.settings
                               ? env_.settings->readRegistryText(u(kServersKey), server + u(kCertificateName))
                               : QString();
    const bool passive =
        env_.settings &&
        env_.settings->readRegistryText(u(kServersKey), server + u(kModeName)) == QLatin1String("passive");
    firstCertificate_ = false;
    env_.ftp->setPinnedCertificate(pinned.toLatin1());
    if (!env_.ftp->connect(address.host, fields.account, fields.password, address.port, passive)) {
        const FtpLink link = env_.ftp->link();
        if (link.certificateRefused) {
            // Another certificate than last time: nothing was sent. The
            // officer checks it with the server's administrator.
            const QString now = QString::fromLatin1(link.certificate);
            env_.prompts->message(certificateChangedText(server, pinned, now), u("提示："), Buttons::Ok);
            if (env_.prompts->message(trustQuestion(server, now), u("提示："), Buttons::YesNo) ==
                    platform::Answer::Yes &&
                env_.settings &&
                env_.settings->writeRegistryText(u(kServersKey), server + u(kCertificateName), now))
                status.setStatusMessage(u("已信任FTP服务器的新证书，请重新上传或下载。"));
            else
                status.setStatusMessage(u("没有连接FTP服务器：服务器的证书与上次不同。"));
            return false;
        }
        if (link.encryptionMissing) {
            env_.prompts->message(encryptionMissingText(server), u("提示："), Buttons::Ok);
            status.setStatusMessage(u("没有连接FTP服务器：服务器这次没有提供加密连接。"));
            return false;
        }
        status.setStatusMessage(u(kLoginFailed));
        return false;
    }
    const FtpLink link = env_.ftp->link();
    if (link.encrypted && pinned.isEmpty() && env_.settings) {
        // First use: this certificate is the server's from now on.
        env_.settings->writeRegistryText(u(kServersKey), server + u(kCertificateName),
                                         QString::fromLatin1(link.certificate));
        firstCertificate_ = true;
    }
    // A server without the folder takes the files in the login folder.
    env_.ftp->setCurrentDirectory(u(kRemoteDirectory));
    return true;
}

QString ExchangeCommands::afterTransfer()
{
    const FtpLink link = env_.ftp->link();
    // Active mode failed and passive worked (behind NAT): passive from now on.
    if (env_.settings && env_.ftp->passiveUsed() && !link.encrypted)
        env_.settings->writeRegistryText(u(kServersKey), serverKey() + u(kModeName),
                                         QStringLiteral("passive"));
    if (!link.encrypted)
        return unencryptedNote();
    return firstCertificate_ ? firstCertificateNote(QString::fromLatin1(link.certificate)) : encryptedNote();
}

QString ExchangeCommands::unencryptedNote()
{
    return u("（未加密：服务器不支持加密传输）");
}

QString ExchangeCommands::firstCertificateNote(const QString& fingerprint)
{
    return u("（已加密；首次连接此服务器，已记住它的证书，指纹 SHA-256 ") + fingerprint + u("）");
}

QString ExchangeCommands::encryptedNote()
{
    return u("（已加密）");
}

QString ExchangeCommands::certificateChangedText(const QString& server, const QString& before,
                                                 const QString& now)
{
    return u("FTP服务器 ") + server +
           u(" 的证书与上次连接时不同，为安全起见没有登录，也没有传送任何文件。\r\n") +
           u("上次的证书指纹（SHA-256）：") + before + u("\r\n这次的证书指纹（SHA-256）：") + now +
           u("\r\n可能是服务器换了证书，也可能有人冒充服务器。请向服务器管理员核对这次的指纹，"
             "核对无误后，在下一个问题中选择“是”。");
}

QString ExchangeCommands::encryptionMissingText(const QString& server)
{
    return u("FTP服务器 ") + server +
           u(" 以前使用加密连接，这次没有提供加密，为安全起见没有登录，也没有传送任何文件。\r\n"
             "可能有人冒充服务器。请向服务器管理员核对。");
}

QString ExchangeCommands::trustQuestion(const QString& server, const QString& fingerprint)
{
    return u("是否信任FTP服务器 ") + server + u(" 的新证书（指纹 SHA-256 ") + fingerprint +
           u("）？以后只接受这个证书。");
}

void ExchangeCommands::upload()
{
    if (running_ || !configured())
        return;
    platform::StatusPort& status = *env_.status;
    const std::optional<QString> chosen = env_.prompts->browseFolder(QStringLiteral(" "));
    env_.session->uploadFile = chosen.value_or(QString());
    const QString path = env_.session->uploadFile;
    if (path.isEmpty() || !path.contains(QStringLiteral("ini"))) {
        env_.prompts->message(u("请选择笔录模板文件.ini上传"), u("提示："), Buttons::Ok);
        return;
    }
    // Only a record template is published as one: a file that merely has
    // "ini" in its path (".../finished.pdf") is not.
    QString unreadable;
    const platform::ProfileIni chosenFile = platform::ProfileIni::load(path, &unreadable);
    if (!unreadable.isEmpty() || !chosenFile.hasSection(QStringLiteral("set"))) {
        env_.prompts->message(notATemplateText(path), u("提示："), Buttons::Ok);
        return;
    }
    Running running(running_, status);
    if (!connect())
        return;
    const bool stored = env_.ftp->putFile(path, env_.fields().fileName + QStringLiteral(".ini"));
    const QString note = afterTransfer();
    status.setStatusMessage(stored ? u("笔录模板文件.ini上传FTP服务器成功.") + note : u("笔录上传失败."));
}

void ExchangeCommands::download()
{
    if (running_ || !configured())
        return;
    platform::StatusPort& status = *env_.status;
    Running running(running_, status);
    if (!connect())
        return;
    const QString file = env_.fields().fileName + QStringLiteral(".ini");
    const bool fetched = env_.ftp->getFile(file, env_.programDir + QStringLiteral("/BL/") + file);
    const QString note = afterTransfer();
    status.setStatusMessage(fetched ? u("笔录模板.ini文件下载到 笔录软件的BL目录成功.") + note
                                    : u("笔录下载失败."));
}

void ExchangeCommands::checkForUpdate()
{
    if (running_)
        return;
    QByteArray body;
    QString error;
    {
        Running running(running_, *env_.status);
        body = env_.web->get(env_.website + QStringLiteral("/soft.ini"));
        error = env_.web->lastError();
    }
    // A failed check is no answer: it is told as such, and the copy an
    // earlier check left stays.
    if (!error.isEmpty()) {
        env_.prompts->message(updateFailureText(error), u("提 示："), Buttons::Ok);
        return;
    }
    // The copy is replaced whole; when it cannot be written, the copy an
    // earlier check left (if any) is read.
    const QString copy = env_.scratchDir + QStringLiteral("/soft.ini");
    const bool privateDir = !env_.scratchDir.isEmpty() && platform::ensurePrivateDir(env_.scratchDir);
    if (privateDir)
        platform::writeFileAtomically(copy, body);
    const bool newer = privateDir && platform::ProfileIni::load(copy).value(QStringLiteral("set"),
                                                                            QStringLiteral("gengxin")) ==
                                         QStringLiteral("1");
    if (newer)
        env_.prompts->message(u("软件有新版本！ 请到 ") + env_.website + u(" 下载新版本使用。。。"),
                              u("提 示："), Buttons::Ok);
    else
        env_.prompts->message(u("软件暂时没有新版本用于更新！"), u("提 示："), Buttons::Ok);
}

} // namespace quillan::exchange
