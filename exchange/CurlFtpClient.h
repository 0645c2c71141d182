#pragma once

#include "exchange/CurlSession.h"
#include "exchange/FtpClient.h"

#include <QByteArray>

namespace quillan::exchange {

// The FTP client on libcurl. Names on the server (directories, files) and
// the account and password go to the server in GBK, as the Windows program
// sends them. Each step is bounded by `limits`; the connection stays open
// between calls and is closed by the next connect() or the destructor.
class CurlFtpClient final : public FtpClient
{
public:
    explicit CurlFtpClient(NetworkLimits limits = {});

    bool connect(const QString& host, const QString& account, const QString& password, int port = 21,
                 bool passive = false) override;
    bool setCurrentDirectory(const QString& directory) override;
    bool putFile(const QString& localPath, const QString& remoteName, bool ascii = false) override;
    bool getFile(const QString& remoteName, const QString& localPath, bool ascii = false) override;

    // Called about every 50 ms while a call waits for the network.
    void setKeepPainting(std::function<void()> f) { session_.keepPainting = std::move(f); }

    // The libcurl result of the last call, and the bytes the transfer under
    // way (or the last one) has moved, for tests and diagnostics.
    int lastResult() const { return lastResult_; }
    qint64 transferredBytes() const { return transferred_; }

    // `text` in GBK, every byte but the unreserved ones percent-encoded; "/"
    // is kept when `keepSlash`.
    static QByteArray encodePath(const QString& text, bool keepSlash);
    // A host name, IPv4 or IPv6 address that can stand in a URL, or nothing.
    static bool validHost(const QString& host);

private:
    CURL* prepare(const QByteArray& path);

    CurlSession session_;
    NetworkLimits limits_;
    bool connected_ = false;
    bool passive_ = false;
    QByteArray base_; // "ftp://host:port/"
    QByteArray account_;
    QByteArray password_;
    QByteArray directory_; // encoded, "" or ending in "/"
    int lastResult_ = 0;
    qint64 transferred_ = 0;
};

} // namespace quillan::exchange
