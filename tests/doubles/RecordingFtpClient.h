#pragma once

#include "exchange/FtpClient.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>

#include <functional>

namespace quillan::exchange {

// An FTP client for tests: a server held in memory. It records every call
// ("connect host:port account", "cd wwwroot/", "put <local> <remote>",
// "get <remote> <local>") and keeps the files stored by their path on the
// server ("wwwroot/案例1.ini").
class RecordingFtpClient final : public FtpClient
{
public:
    bool connect(const QString& host, const QString& account, const QString& password, int port = 21,
                 bool passive = false) override;
    bool setCurrentDirectory(const QString& directory) override;
    bool putFile(const QString& localPath, const QString& remoteName, bool ascii = false) override;
    bool getFile(const QString& remoteName, const QString& localPath, bool ascii = false) override;
    void setPinnedCertificate(const QByteArray& fingerprint) override { pinned = fingerprint; }
    FtpLink link() const override { return link_; }
    bool passiveUsed() const override { return passiveUsed_; }

    // TLS on the server: its certificate's fingerprint (empty: no TLS).
    QByteArray certificate;
    // Active mode does not reach this client (behind NAT): transfers need passive.
    bool activeFails = false;
    QByteArray pinned; // as the program set it

    // The server: the one account it accepts, its directories (with a
    // trailing "/", "" is the login directory) and files.
    QString account = QStringLiteral("officer");
    QString password = QStringLiteral("secret");
    QStringList directories{QString(), QStringLiteral("wwwroot/")};
    QHash<QString, QByteArray> files;
    bool refuseUploads = false;

    QStringList calls;
    // What the form showed while each call ran: set by the test.
    std::function<void(const QString&)> onCall;

private:
    void record(const QString& call);
    bool dataConnection();

    bool connected_ = false;
    bool passive_ = false;
    bool passiveUsed_ = false;
    FtpLink link_;
    QString dir_;
};

} // namespace quillan::exchange
