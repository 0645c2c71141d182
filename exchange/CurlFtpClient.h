#pragma once

#include "exchange/CurlSession.h"
#include "exchange/FtpClient.h"

#include <QByteArray>

#include <functional>

struct x509_store_ctx_st; // OpenSSL's X509_STORE_CTX

namespace quillan::exchange {

// The FTP client on libcurl. Names on the server (directories, files) and
// the account and password go to the server in GBK, as the Windows program
// sends them. Each step is bounded by `limits`; the connection stays open
// between calls and is closed by the next connect() or the destructor.
//
// A server that offers TLS (explicit "AUTH TLS") gets the login and the
// files encrypted; its certificate, self-signed as office servers' are, is
// checked against the pinned fingerprint during the handshake, before the
// account is sent. Encrypted transfers are passive (active TLS transfers do
// not work with this libcurl). In active mode only the server's own address
// may open the data connection.
class CurlFtpClient final : public FtpClient
{
public:
    explicit CurlFtpClient(NetworkLimits limits = {});

    bool connect(const QString& host, const QString& account, const QString& password, int port = 21,
                 bool passive = false) override;
    bool setCurrentDirectory(const QString& directory) override;
    bool putFile(const QString& localPath, const QString& remoteName, bool ascii = false) override;
    bool getFile(const QString& remoteName, const QString& localPath, bool ascii = false) override;
    void setPinnedCertificate(const QByteArray& fingerprint) override { pinned_ = fingerprint; }
    FtpLink link() const override { return link_; }
    bool passiveUsed() const override { return passiveUsed_; }

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
    CURL* prepare(const QByteArray& path, bool passive = true);
    // Runs a transfer that `setUp` prepares for the mode it is given: in the
    // connection's mode, and once more passive when active mode could not
    // make the data connection.
    CURLcode transfer(const QByteArray& path, const std::function<bool(CURL*)>& setUp);
    static CURLcode sslContext(CURL*, void* context, void* self);
    // The certificate check of the TLS handshake.
    static int checkCertificate(x509_store_ctx_st* store, void* self);
    static int acceptedSocket(void* self, curl_socket_t fd, curlsocktype purpose);

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
    QByteArray pinned_;
    FtpLink link_;
    bool passiveUsed_ = false;
    QByteArray serverAddress_; // numeric, of the control connection
};

} // namespace quillan::exchange
