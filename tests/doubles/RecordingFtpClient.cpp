#include "doubles/RecordingFtpClient.h"

#include <QFile>
#include <QSaveFile>

namespace quillan::exchange {

bool RecordingFtpClient::dataConnection()
{
    // Encrypted transfers go passive; active mode that fails is tried
    // passive once.
    if (passive_ || link_.encrypted || activeFails) {
        passiveUsed_ = true;
        if (!passive_ && !link_.encrypted)
            record(QStringLiteral("passive"));
    }
    return true;
}

void RecordingFtpClient::record(const QString& call)
{
    calls << call;
    if (onCall)
        onCall(call);
}

bool RecordingFtpClient::connect(const QString& host, const QString& acc, const QString& pass, int port,
                                 bool passive)
{
    record(QStringLiteral("connect %1:%2 %3%4")
               .arg(host)
               .arg(port)
               .arg(acc, passive ? QStringLiteral(" passive") : QString()));
    dir_.clear();
    passive_ = passive;
    passiveUsed_ = false;
    link_ = FtpLink{};
    if (!certificate.isEmpty()) {
        link_.encrypted = true;
        link_.certificate = certificate;
        if (!pinned.isEmpty() && pinned != certificate) {
            link_.certificateRefused = true;
            connected_ = false;
            return false;
        }
    } else if (!pinned.isEmpty()) {
        link_.encryptionMissing = true;
        connected_ = false;
        return false;
    }
    connected_ = acc == account && pass == password;
    return connected_;
}

bool RecordingFtpClient::setCurrentDirectory(const QString& directory)
{
    record(QStringLiteral("cd ") + directory);
    QString wanted = dir_ + directory;
    if (!wanted.endsWith(QLatin1Char('/')))
        wanted += QLatin1Char('/');
    if (!connected_ || !directories.contains(wanted))
        return false;
    dir_ = wanted;
    return true;
}

bool RecordingFtpClient::putFile(const QString& localPath, const QString& remoteName, bool ascii)
{
    record(QStringLiteral("put %1 %2%3")
               .arg(localPath, remoteName, ascii ? QStringLiteral(" ascii") : QString()));
    QFile local(localPath);
    if (!connected_ || refuseUploads || !local.open(QIODevice::ReadOnly) || !dataConnection())
        return false;
    files[dir_ + remoteName] = local.readAll();
    return true;
}

bool RecordingFtpClient::getFile(const QString& remoteName, const QString& localPath, bool ascii)
{
    record(QStringLiteral("get %1 %2%3")
               .arg(remoteName, localPath, ascii ? QStringLiteral(" ascii") : QString()));
    const auto found = files.constFind(dir_ + remoteName);
    if (!connected_ || found == files.constEnd() || !dataConnection())
        return false;
    QSaveFile out(localPath);
    return out.open(QIODevice::WriteOnly) && out.write(*found) == found->size() && out.commit();
}

} // namespace quillan::exchange
