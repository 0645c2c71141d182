#include "platform/Text.h"

#include <gtest/gtest.h>

using namespace quillan::platform;

TEST(Text, GbkBytesRoundTrip)
{
    // "劳动" in GBK.
    const QByteArray gbk("\xC0\xCD\xB6\xAF");
    EXPECT_EQ(decodeText(gbk), QStringLiteral("劳动"));
    EXPECT_EQ(encodeText(QStringLiteral("劳动")), gbk);
    EXPECT_EQ(encodeText(QStringLiteral("abc")), QByteArray("abc"));
}

TEST(Text, CharactersOutsideGbkSurvive)
{
    // U+4DB5 and U+20000 are not in GBK; GB18030 keeps them (four bytes).
    const QString rare = QStringLiteral("张") + QChar(0x4DB5) + QString::fromUcs4(U"\U00020000");
    const QByteArray bytes = encodeText(rare);
    EXPECT_FALSE(bytes.contains('?'));
    EXPECT_EQ(decodeText(bytes), rare);
    EXPECT_EQ(byteLength(rare), 2 + 4 + 4);
}

TEST(Text, ByteLengthCountsEncodedBytes)
{
    EXPECT_EQ(byteLength(QStringLiteral("12")), 2);
    EXPECT_EQ(byteLength(QStringLiteral("三")), 2);
    EXPECT_EQ(byteLength(QString()), 0);
}

TEST(Text, CutNeverSplitsACharacter)
{
    struct Case
    {
        QString text;
        qsizetype max;
        QString expected;
    };
    const QString fourByte = QString::fromUcs4(U"\U00020000");
    const Case cases[] = {
        {QStringLiteral("abcdef"), 3, QStringLiteral("abc")},
        {QStringLiteral("a中文"), 2, QStringLiteral("a")}, // 中 would be split
        {QStringLiteral("a中文"), 3, QStringLiteral("a中")},
        {QStringLiteral("中文"), 4, QStringLiteral("中文")},
        {QStringLiteral("ab") + fourByte, 5, QStringLiteral("ab")},
        {QStringLiteral("ab") + fourByte, 6, QStringLiteral("ab") + fourByte},
        {QStringLiteral("中"), 0, QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cutText(c.text, c.max), c.expected) << c.text.toStdString() << " max " << c.max;
}

TEST(Text, CutBytesHandlesInvalidSequences)
{
    // A lone lead byte at the end counts as one byte; the cut keeps whole
    // characters in front of it.
    const QByteArray bytes("\xD6\xD0\x81", 3);
    EXPECT_EQ(characterBoundary(bytes, 3), 3);
    EXPECT_EQ(characterBoundary(bytes, 1), 0);
    EXPECT_EQ(cutBytes(bytes, 2), QByteArray("\xD6\xD0"));
}

// A character cut off by the end of the bytes decodes as it does anywhere
// else: one U+FFFD, never nothing.
TEST(Text, CutOffCharacterDecodesTheSameAtTheEndAsInTheMiddle)
{
    const QByteArray cut[] = {"\xC1", "\x81\x30", "\x81\x30\x81", "\xD6"};
    for (const QByteArray& tail : cut) {
        const QString atEnd = decodeText("a" + tail);
        const QString inside = decodeText("a" + tail + "\r");
        EXPECT_EQ(atEnd + QLatin1Char('\r'), inside) << tail.toHex().constData();
        EXPECT_TRUE(atEnd.contains(QChar(QChar::ReplacementCharacter))) << tail.toHex().constData();
    }
    EXPECT_EQ(decodeText("\xD6\xD0"), QStringLiteral("中"));
    EXPECT_EQ(decodeText(""), QString());
}
