// The stored form of the password, its check and the cleaning of stored
// values written by other tools.
#include "security/PasswordHash.h"

#include <QByteArray>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

TEST(PasswordHash, StoredFormRoundTrip)
{
    const QString password = u("Abc密码1");
    const auto stored = security::hashPassword(password);
    ASSERT_TRUE(stored);
    const QRegularExpression form(
        QStringLiteral("^pbkdf2-sha256\\$([0-9]+)\\$([A-Za-z0-9+/=]+)\\$([A-Za-z0-9+/=]+)$"));
    const QRegularExpressionMatch m = form.match(*stored);
    ASSERT_TRUE(m.hasMatch()) << stored->toStdString();
    EXPECT_GE(m.captured(1).toInt(), 200000);
    EXPECT_GE(QByteArray::fromBase64(m.captured(2).toLatin1()).size(), 16);
    EXPECT_EQ(QByteArray::fromBase64(m.captured(3).toLatin1()).size(), 32);
    EXPECT_FALSE(stored->contains(password));
    EXPECT_TRUE(security::isPasswordHash(*stored));

    EXPECT_TRUE(security::passwordMatches(password, *stored));
    for (const char* other : {"abc密码1", "Abc密码", "Abc密码1 ", "", "pbkdf2-sha256"})
        EXPECT_FALSE(security::passwordMatches(u(other), *stored)) << other;
    // A fresh salt each time.
    EXPECT_NE(*security::hashPassword(password), *stored);
    // Stored with a terminating zero by another tool: read back with CR LF.
    EXPECT_TRUE(security::passwordMatches(password, *stored + QStringLiteral("\r\n")));
}

TEST(PasswordHash, KnownDerivation)
{
    // PBKDF2-HMAC-SHA256 of "passwd" with salt "salt", one iteration
    // (published test vector), first 32 bytes.
    const QByteArray hash =
        QByteArray::fromHex("55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc");
    const QString stored = QStringLiteral("pbkdf2-sha256$1$") +
                           QString::fromLatin1(QByteArray("salt").toBase64()) + QLatin1Char('$') +
                           QString::fromLatin1(hash.toBase64());
    EXPECT_TRUE(security::isPasswordHash(stored));
    EXPECT_TRUE(security::passwordMatches(QStringLiteral("passwd"), stored));
    EXPECT_FALSE(security::passwordMatches(QStringLiteral("Passwd"), stored));
    EXPECT_FALSE(security::passwordMatches(stored, stored)); // a hash is not its own password
}

TEST(PasswordHash, StoredValuesOfOtherToolsAreCheckedAsPlainTextDamagedHashesNever)
{
    const QString h32 = QString::fromLatin1(QByteArray(32, 'x').toBase64());
    const QString salt = QString::fromLatin1(QByteArray("salt").toBase64());
    struct Case
    {
        QString stored;
        QString typed;
        bool opens;
    } cases[] = {
        {u(""), u(""), true}, // no password stored: an empty entry opens
        {u(""), u("a"), false},
        {u("abc"), u("abc"), true},
        {u("abc"), u("Abc"), false},         // case matters
        {u("abc\r\n"), u("abc"), true},      // a terminating zero, read as CR LF
        {u("abc\r\n\r\n"), u("abc"), false}, // only the first CR and the first LF go
        {u("ab\rc\nd"), u("abcd"), true},    // wherever they are
        {u(" 　abc　 "), u("abc"), true},    // ASCII and full-width blanks at both ends
        {u(" abc"), u(" abc"), false},       // the typed text is not cleaned
        {u("a b"), u("a b"), true},          // blanks inside stay
        {u("\tabc"), u("abc"), false},       // a tab is not a blank
        {u("密码"), u("密码"), true},
        {u("密码"), u("密碼"), false},
        // Damaged hashes open nothing, not even typed as they stand.
        {u("pbkdf2-sha256$0$") + salt + u("$") + h32, u("pbkdf2-sha256$0$") + salt + u("$") + h32, false},
        {u("pbkdf2-sha256$x$") + salt + u("$") + h32, u("x"), false},
        {u("pbkdf2-sha256$1$") + salt + u("$eHl6"), u("pbkdf2-sha256$1$") + salt + u("$eHl6"), false},
        {u("pbkdf2-sha256$1$$") + h32, u("pbkdf2-sha256$1$$") + h32, false},
        // More iterations than this program uses: not its value.
        {u("pbkdf2-sha256$600001$") + salt + u("$") + h32, u("pbkdf2-sha256$600001$") + salt + u("$") + h32,
         false},
        // Another tool's plain text that only resembles the form.
        {u("pbkdf2-sha256"), u("pbkdf2-sha256"), true},
        {u("pbkdf2-sha256x$1"), u("pbkdf2-sha256x$1"), true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(security::passwordMatches(c.typed, c.stored), c.opens)
            << c.stored.toStdString() << " / " << c.typed.toStdString();
    }
}

TEST(PasswordHash, BlankEdges)
{
    for (const char* refused : {" ", "   ", "　", " abc", "abc ", "　abc", "abc　"})
        EXPECT_TRUE(security::hasBlankEdges(u(refused))) << refused;
    for (const char* taken : {"", "abc", "a b", "a　b", "\tabc"})
        EXPECT_FALSE(security::hasBlankEdges(u(taken))) << taken;
}

} // namespace
} // namespace quillan::test
