#include "security/PasswordHash.h"

#include "platform/Text.h"

#include <QByteArray>
#include <QList>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace quillan::security {

namespace {

const QByteArray kScheme = QByteArrayLiteral("pbkdf2-sha256");
constexpr QChar kFullWidthSpace(0x3000); // GBK A1 A1

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == kFullWidthSpace;
}

std::optional<QByteArray> derive(const QByteArray& password, const QByteArray& salt, int iterations)
{
    QByteArray out(kHashBytes, '\0');
    if (PKCS5_PBKDF2_HMAC(password.constData(), int(password.size()),
                          reinterpret_cast<const unsigned char*>(salt.constData()), int(salt.size()),
                          iterations, EVP_sha256(), int(out.size()),
                          reinterpret_cast<unsigned char*>(out.data())) != 1)
        return std::nullopt;
    return out;
}

bool sameBytes(const QByteArray& a, const QByteArray& b)
{
    return a.size() == b.size() && CRYPTO_memcmp(a.constData(), b.constData(), size_t(a.size())) == 0;
}

struct Parsed
{
    int iterations = 0;
    QByteArray salt;
    QByteArray hash;
};

std::optional<QByteArray> fromBase64(const QByteArray& text)
{
    const auto result = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!result || result.decoded.isEmpty())
        return std::nullopt;
    return result.decoded;
}

std::optional<Parsed> parse(const QString& stored)
{
    // The form is plain ASCII; anything else is not ours.
    for (QChar c : stored)
        if (c.unicode() > 0x7e || c.unicode() < 0x21)
            return std::nullopt;
    const QList<QByteArray> parts = stored.toLatin1().split('$');
    if (parts.size() != 4 || parts[0] != kScheme)
        return std::nullopt;
    Parsed p;
    const QByteArray& count = parts[1];
    if (count.isEmpty() || count.size() > 9 || count.startsWith('0'))
        return std::nullopt;
    for (char c : count)
        if (c < '0' || c > '9')
            return std::nullopt;
    p.iterations = count.toInt();
    if (p.iterations < 1 || p.iterations > kMaxHashIterations)
        return std::nullopt;
    const auto salt = fromBase64(parts[2]);
    const auto hash = fromBase64(parts[3]);
    if (!salt || !hash || hash->size() != kHashBytes)
        return std::nullopt;
    p.salt = *salt;
    p.hash = *hash;
    return p;
}

} // namespace

std::optional<QString> hashPassword(const QString& password, int iterations)
{
    QByteArray salt(kSaltBytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(salt.data()), int(salt.size())) != 1)
        return std::nullopt;
    const auto hash = derive(platform::encodeText(password), salt, iterations);
    if (!hash)
        return std::nullopt;
    return QString::fromLatin1(kScheme + '$' + QByteArray::number(iterations) + '$' + salt.toBase64() + '$' +
                               hash->toBase64());
}

bool isPasswordHash(const QString& stored)
{
    return parse(stored).has_value();
}

bool isMalformedPasswordHash(const QString& stored)
{
    const QString cleaned = cleanStoredPassword(stored);
    return cleaned.startsWith(QString::fromLatin1(kScheme + '$')) && !parse(cleaned);
}

QString cleanStoredPassword(const QString& stored)
{
    QString text = stored;
    const qsizetype cr = text.indexOf(QLatin1Char('\r'));
    if (cr >= 0)
        text.remove(cr, 1);
    const qsizetype lf = text.indexOf(QLatin1Char('\n'));
    if (lf >= 0)
        text.remove(lf, 1);
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

bool hasBlankEdges(const QString& password)
{
    return !password.isEmpty() && (isBlank(password.front()) || isBlank(password.back()));
}

bool passwordMatches(const QString& typed, const QString& stored)
{
    const QString cleaned = cleanStoredPassword(stored);
    const QByteArray typedBytes = platform::encodeText(typed);
    if (const auto p = parse(cleaned)) {
        const auto hash = derive(typedBytes, p->salt, p->iterations);
        return hash && sameBytes(*hash, p->hash);
    }
    if (isMalformedPasswordHash(cleaned))
        return false;
    return sameBytes(typedBytes, platform::encodeText(cleaned));
}

} // namespace quillan::security
