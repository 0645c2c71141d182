#include "exchange/CurlFtpClient.h"

#include "platform/AtomicFile.h"
#include "platform/Text.h"

#include <QFile>

#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <algorithm>
#include <netdb.h>
#include <optional>
#include <sys/socket.h>

namespace quillan::exchange {

namespace {

bool hasControl(const QString& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

struct Local
{
    QFile* file;
    qint64* transferred;
};

size_t readFromFile(char* buffer, size_t size, size_t count, void* target)
{
    auto* local = static_cast<Local*>(target);
    const size_t room = size * count;
    const qint64 n = local->file->read(buffer, qint64(room));
    if (n < 0)
        return CURL_READFUNC_ABORT;
    *local->transferred += n;
    return size_t(n);
}

// The downloaded bytes go into the file that replaces the local one.
struct Incoming
{
    platform::FileReplacement* file;
    qint64* transferred;
    qint64 maxBytes;
};

size_t writeToFile(char* data, size_t size, size_t count, void* target)
{
    auto* incoming = static_cast<Incoming*>(target);
    const size_t bytes = size * count;
    const qsizetype n = qsizetype(bytes);
    // A server that did not announce the size is held to the limit here.
    if (*incoming->transferred + n > incoming->maxBytes || !incoming->file->write(QByteArrayView(data, n)))
        return 0;
    *incoming->transferred += n;
    return size_t(n);
}

} // namespace

CurlFtpClient::CurlFtpClient(NetworkLimits limits) : limits_(limits) {}

QByteArray CurlFtpClient::encodePath(const QString& text, bool keepSlash)
{
    const QByteArray bytes = platform::encodeText(text);
    QByteArray out;
    out.reserve(bytes.size() * 3);
    static const char hex[] = "0123456789ABCDEF";
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '.' || c == '_' || c == '~' || (keepSlash && c == '/');
        if (plain) {
            out += char(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

bool CurlFtpClient::validHost(const QString& host)
{
    if (host.isEmpty() || host.size() > 253)
        return false;
    const auto in = [](QChar c, char from, char to) {
        return c >= QLatin1Char(from) && c <= QLatin1Char(to);
    };
    // An IPv6 address: hexadecimal digits, colons and dots only.
    if (host.contains(QLatin1Char(':')))
        return std::all_of(host.begin(), host.end(), [&](QChar c) {
            return in(c, '0', '9') || in(c, 'a', 'f') || in(c, 'A', 'F') || c == QLatin1Char(':') ||
                   c == QLatin1Char('.');
        });
    // A host name or an IPv4 address.
    return std::all_of(host.begin(), host.end(), [&](QChar c) {
        return in(c, 'a', 'z') || in(c, 'A', 'Z') || in(c, '0', '9') || c == QLatin1Char('-') ||
               c == QLatin1Char('.') || c == QLatin1Char('_');
    });
}

CURL* CurlFtpClient::prepare(const QByteArray& path, bool passive)
{
    transferred_ = 0;
    CURL* e = session_.prepare(limits_.stallSeconds);
    if (!e)
        return nullptr;
    const QByteArray url = base_ + path;
    curl_easy_setopt(e, CURLOPT_URL, url.constData());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(e, CURLOPT_USERNAME, account_.constData());
    curl_easy_setopt(e, CURLOPT_PASSWORD, password_.constData());
    // TLS when the server offers it, for the login and the data. The pinned
    // fingerprint stands in for a certificate authority (office servers'
    // certificates are their own): it is checked in the handshake.
    // A server known to do TLS (a pinned certificate) must do it again:
    // a connection stripped of it is refused.
    curl_easy_setopt(e, CURLOPT_USE_SSL, long(pinned_.isEmpty() ? CURLUSESSL_TRY : CURLUSESSL_ALL));
    curl_easy_setopt(e, CURLOPT_FTPSSLAUTH, long(CURLFTPAUTH_TLS));
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(e, CURLOPT_SSL_CTX_FUNCTION, &CurlFtpClient::sslContext);
    curl_easy_setopt(e, CURLOPT_SSL_CTX_DATA, this);
    // Active mode: the server connects back to the address this side of the
    // control connection uses, and only the server may.
    if (!passive)
        curl_easy_setopt(e, CURLOPT_FTPPORT, "-");
    curl_easy_setopt(e, CURLOPT_SOCKOPTFUNCTION, &CurlFtpClient::acceptedSocket);
    curl_easy_setopt(e, CURLOPT_SOCKOPTDATA, this);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, long(limits_.connectSeconds));
    curl_easy_setopt(e, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(limits_.connectSeconds));
    curl_easy_setopt(e, CURLOPT_ACCEPTTIMEOUT_MS, long(limits_.connectSeconds) * 1000L);
    return e;
}

CURLcode CurlFtpClient::sslContext(CURL*, void* context, void* self)
{
    auto* ctx = static_cast<SSL_CTX*>(context);
    SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_cert_verify_callback(ctx, &CurlFtpClient::checkCertificate, self);
    return CURLE_OK;
}

int CurlFtpClient::checkCertificate(x509_store_ctx_st* store, void* self)
{
    auto* client = static_cast<CurlFtpClient*>(self);
    X509* certificate = X509_STORE_CTX_get0_cert(store);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!certificate || X509_digest(certificate, EVP_sha256(), digest, &length) != 1)
        return 0;
    const QByteArray fingerprint =
        QByteArray(reinterpret_cast<const char*>(digest), qsizetype(length)).toHex(':').toUpper();
    client->link_.encrypted = true;
    client->link_.certificate = fingerprint;
    if (!client->pinned_.isEmpty() && fingerprint != client->pinned_) {
        client->link_.certificateRefused = true;
        X509_STORE_CTX_set_error(store, X509_V_ERR_APPLICATION_VERIFICATION);
        return 0;
    }
    return 1;
}

int CurlFtpClient::acceptedSocket(void* self, curl_socket_t fd, curlsocktype purpose)
{
    if (purpose != CURLSOCKTYPE_ACCEPT)
        return CURL_SOCKOPT_OK;
    // The data connection of active mode: from the server's address only.
    sockaddr_storage peer{};
    socklen_t size = sizeof peer;
    char host[NI_MAXHOST];
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) != 0 ||
        ::getnameinfo(reinterpret_cast<sockaddr*>(&peer), size, host, sizeof host, nullptr, 0,
                      NI_NUMERICHOST) != 0)
        return CURL_SOCKOPT_ERROR;
    return QByteArray(host) == static_cast<CurlFtpClient*>(self)->serverAddress_ ? CURL_SOCKOPT_OK
                                                                                 : CURL_SOCKOPT_ERROR;
}

CURLcode CurlFtpClient::transfer(const QByteArray& path, const std::function<bool(CURL*)>& setUp)
{
    // Encrypted transfers are passive: libcurl's active mode does not
    // start TLS on the data connection.
    bool passive = passive_ || link_.encrypted;
    for (;;) {
        CURL* e = prepare(path, passive);
        if (!e || !setUp(e))
            return CURLE_FAILED_INIT;
        curl_easy_setopt(e, CURLOPT_TIMEOUT, long(limits_.transferSeconds));
        const CURLcode result = session_.perform();
        long answer = 0;
        curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &answer);
        passiveUsed_ = passiveUsed_ || passive;
        // The server could not connect back (behind NAT or a firewall):
        // passive mode, once, on the same login.
        const bool noDataConnection = result == CURLE_FTP_ACCEPT_FAILED ||
                                      result == CURLE_FTP_ACCEPT_TIMEOUT || result == CURLE_FTP_PORT_FAILED ||
                                      answer == 425;
        if (result == CURLE_OK || passive || !noDataConnection)
            return result;
        passive = true;
    }
}

bool CurlFtpClient::connect(const QString& host, const QString& account, const QString& password, int port,
                            bool passive)
{
    session_.close();
    connected_ = false;
    directory_.clear();
    lastResult_ = CURLE_URL_MALFORMAT;
    if (!validHost(host) || port < 1 || port > 65535 || hasControl(account) || hasControl(password))
        return false;
    const bool v6 = host.contains(QLatin1Char(':'));
    base_ = QByteArrayLiteral("ftp://") + (v6 ? "[" + host.toLatin1() + "]" : host.toLatin1()) + ':' +
            QByteArray::number(port) + '/';
    account_ = platform::encodeText(account);
    password_ = platform::encodeText(password);
    passive_ = passive;
    link_ = FtpLink{};
    passiveUsed_ = false;

    // Log in for real, so that a wrong account or password fails here.
    CURL* e = prepare(QByteArray());
    if (!e)
        return false;
    curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(e, CURLOPT_TIMEOUT, long(limits_.connectSeconds));
    lastResult_ = session_.perform();
    connected_ = lastResult_ == CURLE_OK;
    // A TLS handshake that did not finish encrypts nothing.
    if (!connected_)
        link_.encrypted = false;
    link_.encryptionMissing = lastResult_ == CURLE_USE_SSL_FAILED;
    const char* address = nullptr;
    curl_easy_getinfo(e, CURLINFO_PRIMARY_IP, &address);
    serverAddress_ = address ? QByteArray(address) : QByteArray();
    if (!connected_)
        session_.close();
    return connected_;
}

bool CurlFtpClient::setCurrentDirectory(const QString& directory)
{
    if (!connected_ || hasControl(directory))
        return false;
    QByteArray path = directory_ + encodePath(directory, true);
    if (!path.isEmpty() && !path.endsWith('/'))
        path += '/';
    CURL* e = prepare(path);
    if (!e)
        return false;
    curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
    lastResult_ = session_.perform();
    if (lastResult_ != CURLE_OK)
        return false;
    directory_ = path;
    return true;
}

bool CurlFtpClient::putFile(const QString& localPath, const QString& remoteName, bool ascii)
{
    if (!connected_ || remoteName.isEmpty() || hasControl(remoteName))
        return false;
    QFile local(localPath);
    if (!local.open(QIODevice::ReadOnly) || local.isSequential())
        return false;
    Local source{&local, &transferred_};
    lastResult_ = transfer(directory_ + encodePath(remoteName, false), [&](CURL* e) {
        local.seek(0);
        curl_easy_setopt(e, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(e, CURLOPT_READFUNCTION, &readFromFile);
        curl_easy_setopt(e, CURLOPT_READDATA, &source);
        curl_easy_setopt(e, CURLOPT_INFILESIZE_LARGE, curl_off_t(local.size()));
        curl_easy_setopt(e, CURLOPT_TRANSFERTEXT, ascii ? 1L : 0L);
        return true;
    });
    return lastResult_ == CURLE_OK;
}

bool CurlFtpClient::getFile(const QString& remoteName, const QString& localPath, bool ascii)
{
    if (!connected_ || remoteName.isEmpty() || hasControl(remoteName))
        return false;
    // The file arrives beside the old one and replaces it only when whole,
    // and only when no larger than a template can be.
    std::optional<platform::FileReplacement> local;
    Incoming target{nullptr, &transferred_, limits_.maxDownloadBytes};
    lastResult_ = transfer(directory_ + encodePath(remoteName, false), [&](CURL* e) {
        local.emplace(localPath);
        if (!local->isOpen())
            return false;
        target.file = &*local;
        curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &writeToFile);
        curl_easy_setopt(e, CURLOPT_WRITEDATA, &target);
        curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits_.maxDownloadBytes));
        curl_easy_setopt(e, CURLOPT_TRANSFERTEXT, ascii ? 1L : 0L);
        return true;
    });
    return lastResult_ == CURLE_OK && local && local->commit();
}

} // namespace quillan::exchange
