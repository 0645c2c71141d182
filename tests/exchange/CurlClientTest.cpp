// The libcurl clients without a server: names on the wire and input that
// must never reach the network.
#include "exchange/CurlFtpClient.h"
#include "exchange/CurlWebFetcher.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

TEST(CurlFtpClient, NamesGoOutInGbkPercentEncoded)
{
    const struct
    {
        const char* name;
        bool keepSlash;
        const char* encoded;
    } cases[] = {
        {"案例1.ini", false, "%B0%B8%C0%FD1.ini"},
        {"wwwroot/", true, "wwwroot/"},
        {"a/b c", false, "a%2Fb%20c"},
        {"100%;#?", false, "100%25%3B%23%3F"},
        {"𠀀", false, "%952%826"}, // outside GBK: GB18030 four bytes, two of them digits
    };
    for (const auto& c : cases)
        EXPECT_EQ(exchange::CurlFtpClient::encodePath(u(c.name), c.keepSlash), QByteArray(c.encoded))
            << c.name;
}

TEST(CurlFtpClient, HostsThatCannotStandInAnAddressAreRefusedWithoutNetwork)
{
    for (const char* host : {"127.0.0.1", "ftp.office-3.example", "::1", "fe80::1", "my_server"})
        EXPECT_TRUE(exchange::CurlFtpClient::validHost(u(host))) << host;
    for (const char* host : {"", "a b", "host/x", "user@host", "host:21", "服务器", "::g", "a\r\nb", "[::1]"})
        EXPECT_FALSE(exchange::CurlFtpClient::validHost(u(host))) << host;

    exchange::CurlFtpClient ftp;
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(ftp.connect(QStringLiteral("host/x"), QStringLiteral("a"), QStringLiteral("b")));
    EXPECT_FALSE(ftp.connect(QStringLiteral("127.0.0.1"), QStringLiteral("a\nb"), QStringLiteral("b")));
    EXPECT_FALSE(ftp.connect(QStringLiteral("127.0.0.1"), QStringLiteral("a"), QStringLiteral("b"), 0));
    EXPECT_LT(t.elapsed(), 100);
    // Without a connection nothing moves.
    EXPECT_FALSE(ftp.setCurrentDirectory(QStringLiteral("wwwroot/")));
    EXPECT_FALSE(ftp.putFile(QStringLiteral("/etc/hostname"), QStringLiteral("a.ini")));
    EXPECT_FALSE(ftp.getFile(QStringLiteral("a.ini"), QStringLiteral("/nonexistent/a.ini")));
}

} // namespace
} // namespace quillan::test
