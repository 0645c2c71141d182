#include "exchange/CurlFtpClient.h"

#include "platform/AtomicFile.h"
#include "platform/Text.h"

#include <QFile>

#include <algorithm>

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
    const qint64 n = local->file->read(buffer, qint64(size * count));
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
};

size_t writeToFile(char* data, size_t size, size_t count, void* target)
{
    auto* incoming = static_cast<Incoming*>(target);
    const qsizetype n = qsizetype(size * count);
    if (!incoming->file->write(QByteArrayView(data, n)))
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

CURL* CurlFtpClient::prepare(const QByteArray& path)
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
    // Active mode: the server connects back to the address this side of the
    // control connection uses.
    if (!passive_)
        curl_easy_setopt(e, CURLOPT_FTPPORT, "-");
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, long(limits_.connectSeconds));
    curl_easy_setopt(e, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(limits_.connectSeconds));
    curl_easy_setopt(e, CURLOPT_ACCEPTTIMEOUT_MS, long(limits_.connectSeconds) * 1000L);
    return e;
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

    // Log in for real, so that a wrong account or password fails here.
    CURL* e = prepare(QByteArray());
    if (!e)
        return false;
    curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(e, CURLOPT_TIMEOUT, long(limits_.connectSeconds));
    lastResult_ = session_.perform();
    connected_ = lastResult_ == CURLE_OK;
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
    CURL* e = prepare(directory_ + encodePath(remoteName, false));
    if (!e)
        return false;
    curl_easy_setopt(e, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(e, CURLOPT_READFUNCTION, &readFromFile);
    Local source{&local, &transferred_};
    curl_easy_setopt(e, CURLOPT_READDATA, &source);
    curl_easy_setopt(e, CURLOPT_INFILESIZE_LARGE, curl_off_t(local.size()));
    curl_easy_setopt(e, CURLOPT_TRANSFERTEXT, ascii ? 1L : 0L);
    lastResult_ = session_.perform();
    return lastResult_ == CURLE_OK;
}

bool CurlFtpClient::getFile(const QString& remoteName, const QString& localPath, bool ascii)
{
    if (!connected_ || remoteName.isEmpty() || hasControl(remoteName))
        return false;
    // The file arrives beside the old one and replaces it only when whole.
    platform::FileReplacement local(localPath);
    if (!local.isOpen())
        return false;
    CURL* e = prepare(directory_ + encodePath(remoteName, false));
    if (!e)
        return false;
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &writeToFile);
    Incoming target{&local, &transferred_};
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &target);
    curl_easy_setopt(e, CURLOPT_TRANSFERTEXT, ascii ? 1L : 0L);
    lastResult_ = session_.perform();
    return lastResult_ == CURLE_OK && local.commit();
}

} // namespace quillan::exchange
