#include "platform/ProfileIni.h"

#include "platform/Text.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace quillan::platform;
using quillan::test::gbk;
using quillan::test::readFile;
using quillan::test::TempDir;

namespace {

ProfileIni parse(const QString& text)
{
    return ProfileIni::parse(gbk(text));
}

} // namespace

TEST(ProfileIniRead, ReadRules)
{
    const ProfileIni ini = parse(QStringLiteral("[Set1]\r\n"
                                                "didian1=一号\r\n"
                                                "  DIDIAN2 \t=  \t两边有空格\t \r\n"
                                                "didian3=\"引号\"\r\n"
                                                "didian4='单引号'\r\n"
                                                "didian5=\"不成对'\r\n"
                                                "didian6=\"\r\n"
                                                "didian1=第二次\r\n"
                                                "didian7=\r\n"
                                                "novalue\r\n"
                                                "didian8=a=b\r\n"
                                                "[set1]\r\n"
                                                "didian9=重复的节\r\n"
                                                "[Other]\r\n"
                                                "didian1=别的节\r\n"));
    struct Case
    {
        const char* section;
        const char* key;
        QString expected;
    };
    const Case cases[] = {
        {"Set1", "didian1", QStringLiteral("一号")},       // first occurrence counts
        {"SET1", "didian2", QStringLiteral("两边有空格")}, // case-insensitive, trimmed
        {"set1", "didian3", QStringLiteral("引号")},
        {"Set1", "didian4", QStringLiteral("单引号")},
        {"Set1", "didian5", QStringLiteral("\"不成对'")},
        {"Set1", "didian6", QStringLiteral("\"")},
        {"Set1", "didian7", QString()},
        {"Set1", "novalue", QString()},
        {"Set1", "didian8", QStringLiteral("a=b")},
        {"Set1", "didian9", QString()}, // a repeated section does not count
        {"Other", "didian1", QStringLiteral("别的节")},
        {"Missing", "didian1", QString()},
        {"Set1", "didian01", QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.value(QString::fromUtf8(c.section), QString::fromUtf8(c.key)), c.expected)
            << c.section << "/" << c.key;
}

TEST(ProfileIniRead, ChineseNamesAndBrokenLines)
{
    // A GBK trail byte may be "]" (0x5D) or "[" (0x5B): names are matched
    // on characters, never on bytes.
    const QByteArray bytes = gbk(QStringLiteral("[节]\r\n键=值\r\n")) + "[broken\r\nx=1\r\n" +
                             gbk(QStringLiteral("[第二]\r\n")) + "line without equals\r\n=empty key\r\nk=v";
    const ProfileIni ini = ProfileIni::parse(bytes);
    EXPECT_EQ(ini.value(QStringLiteral("节"), QStringLiteral("键")), QStringLiteral("值"));
    // "[broken" has no "]": it is a line of the section before it.
    EXPECT_EQ(ini.value(QStringLiteral("节"), QStringLiteral("x")), QStringLiteral("1"));
    EXPECT_EQ(ini.value(QStringLiteral("第二"), QStringLiteral("k")), QStringLiteral("v"));
    EXPECT_EQ(ini.value(QStringLiteral("第二"), QString()), QString());
}

TEST(ProfileIniRead, LongValuesAreCutAtTheLimit)
{
    const QByteArray ascii(12000, 'x');
    ProfileIni ini = ProfileIni::parse("[s]\r\nk=" + ascii + "\r\n");
    EXPECT_EQ(ini.value(QStringLiteral("s"), QStringLiteral("k")).size(), kProfileValueLimit);

    // 10239 is odd: a value of two-byte characters is cut before the
    // character that would be split.
    QString chinese(6000, QChar(0x4E2D));
    ini = ProfileIni::parse("[s]\r\nk=" + encodeText(chinese) + "\r\n");
    EXPECT_EQ(byteLength(ini.value(QStringLiteral("s"), QStringLiteral("k"))), kProfileValueLimit - 1);
}

TEST(ProfileIniRead, BadFilesReadAsEmpty)
{
    TempDir dir;
    EXPECT_TRUE(ProfileIni::load(dir.file(QStringLiteral("missing.ini"))).isEmpty());
    EXPECT_TRUE(ProfileIni::load(dir.path()).isEmpty()); // a folder

    QByteArray garbage;
    for (int i = 0; i < 70000; ++i)
        garbage.append(char((i * 7919) % 256));
    const ProfileIni g = ProfileIni::parse(garbage);
    EXPECT_EQ(g.value(QStringLiteral("Set1"), QStringLiteral("didian1")), QString());

    // Invalid GBK bytes in a value decode to replacement characters and
    // never break the keys around them.
    const ProfileIni bad = ProfileIni::parse(QByteArray("[s]\r\na=\x81\x20\xFF\r\nb=ok\r\n"));
    EXPECT_EQ(bad.value(QStringLiteral("s"), QStringLiteral("b")), QStringLiteral("ok"));
    EXPECT_FALSE(bad.value(QStringLiteral("s"), QStringLiteral("a")).isEmpty());
}

TEST(ProfileIniRead, ByteOrderMarksAndLineEnds)
{
    const ProfileIni utf8 =
        ProfileIni::parse(QByteArray("\xEF\xBB\xBF[s]\nk=") + QStringLiteral("值").toUtf8());
    EXPECT_EQ(utf8.value(QStringLiteral("s"), QStringLiteral("k")), QStringLiteral("值"));
    const ProfileIni cr = ProfileIni::parse("[s]\rk=1\rj=2");
    EXPECT_EQ(cr.value(QStringLiteral("s"), QStringLiteral("j")), QStringLiteral("2"));
}

TEST(ProfileWrite, NewFileGetsHeaderAndKeysInOrder)
{
    TempDir dir;
    ProfileWriter w(dir.file(QStringLiteral("new.ini")));
    w.setValue(QStringLiteral("set"), QStringLiteral("num1"), QStringLiteral("2012"));
    w.setValue(QStringLiteral("set"), QStringLiteral("num10"), QStringLiteral("某某"));
    w.setValue(QStringLiteral("set"), QStringLiteral("num2"), QString());
    ASSERT_TRUE(w.save());
    EXPECT_EQ(readFile(w.path()), gbk(QStringLiteral("[set]\r\nnum1=2012\r\nnum10=某某\r\nnum2=\r\n")));
}

TEST(ProfileWrite, ExistingFileChangesOnlyWhatItMust)
{
    TempDir dir;
    const QByteArray before = QByteArray("; comment kept\n") +
                              gbk(QStringLiteral("[Other]\r\nx = 1\r\n\r\n")) +
                              "[SET]\r\n  NUM1 = old \r\nnum3=keep\r\n\r\n[tail]\nz=9";
    const QString path = dir.write(QStringLiteral("t.ini"), before);
    ProfileWriter w(path);
    w.setValue(QStringLiteral("set"), QStringLiteral("num1"), QStringLiteral("新"));
    w.setValue(QStringLiteral("set"), QStringLiteral("num2"), QStringLiteral("加在节尾"));
    w.setValue(QStringLiteral("new"), QStringLiteral("k"), QStringLiteral("v"));
    ASSERT_TRUE(w.save());
    const QByteArray expected = QByteArray("; comment kept\n") +
                                gbk(QStringLiteral("[Other]\r\nx = 1\r\n\r\n")) + "[SET]\r\n" +
                                gbk(QStringLiteral("NUM1=新\r\nnum3=keep\r\nnum2=加在节尾\r\n")) +
                                "\r\n[tail]\nz=9\r\n[new]\r\nk=v\r\n";
    EXPECT_EQ(readFile(path), expected);
    // What was written reads back through the read rules.
    const ProfileIni ini = ProfileIni::load(path);
    EXPECT_EQ(ini.value(QStringLiteral("set"), QStringLiteral("num1")), QStringLiteral("新"));
    EXPECT_EQ(ini.value(QStringLiteral("set"), QStringLiteral("num2")), QStringLiteral("加在节尾"));
    EXPECT_EQ(ini.value(QStringLiteral("tail"), QStringLiteral("z")), QStringLiteral("9"));
}

TEST(ProfileWrite, LineBreaksInValuesNeverBreakTheFile)
{
    TempDir dir;
    ProfileWriter w(dir.file(QStringLiteral("b.ini")));
    w.setValue(QStringLiteral("set"), QStringLiteral("beizu"), QStringLiteral("一\r\n二\n三"));
    w.setValue(QStringLiteral("set"), QStringLiteral("after"), QStringLiteral("x"));
    ASSERT_TRUE(w.save());
    EXPECT_EQ(readFile(w.path()), gbk(QStringLiteral("[set]\r\nbeizu=一  二 三\r\nafter=x\r\n")));
}

TEST(ProfileWrite, FailuresLeaveTheOldFile)
{
    TempDir dir;
    const QString sub = dir.file(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkpath(sub));
    const QString path = dir.write(QStringLiteral("ro/t.ini"), "[set]\r\nnum1=old\r\n");
    ::chmod(QFile::encodeName(sub).constData(), 0500);
    ProfileWriter w(path);
    w.setValue(QStringLiteral("set"), QStringLiteral("num1"), QStringLiteral("new"));
    QString error;
    const bool saved = w.save(&error);
    ::chmod(QFile::encodeName(sub).constData(), 0700);
    if (::geteuid() != 0) { // root writes everywhere
        EXPECT_FALSE(saved);
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(readFile(path), QByteArray("[set]\r\nnum1=old\r\n"));
    }
    // A folder in the way: refused, nothing changed.
    ProfileWriter onDir(dir.path());
    onDir.setValue(QStringLiteral("set"), QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_FALSE(onDir.save(&error));
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
    // A missing folder.
    ProfileWriter missing(dir.file(QStringLiteral("no/such/t.ini")));
    missing.setValue(QStringLiteral("set"), QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_FALSE(missing.save(&error));
    EXPECT_EQ(error, QStringLiteral("目录不存在"));
}

// Blanks inside the brackets of a section header are not part of the name,
// for reading and for writing.
TEST(ProfileIni, BlanksInsideTheBracketsOfAHeader)
{
    const ProfileIni ini = parse(QStringLiteral("[ Set1 ]\r\na=1\r\n[\tzwei\t]\r\nb=2\r\n[x y]\r\nc=3\r\n"));
    EXPECT_EQ(ini.value(QStringLiteral("set1"), QStringLiteral("a")), QStringLiteral("1"));
    EXPECT_EQ(ini.value(QStringLiteral("zwei"), QStringLiteral("b")), QStringLiteral("2"));
    EXPECT_EQ(ini.value(QStringLiteral("x y"), QStringLiteral("c")), QStringLiteral("3"));

    TempDir dir;
    const QString path = dir.write(QStringLiteral("t.ini"), "[ set ]\r\nnum1=old\r\n");
    ProfileWriter writer(path);
    writer.setValue(QStringLiteral("set"), QStringLiteral("num1"), QStringLiteral("new"));
    writer.setValue(QStringLiteral("set"), QStringLiteral("num2"), QStringLiteral("two"));
    ASSERT_TRUE(writer.save());
    EXPECT_EQ(readFile(path), QByteArray("[ set ]\r\nnum1=new\r\nnum2=two\r\n"));
}

// UTF-16 files are split into lines on whole characters, not on bytes that
// happen to be CR or LF ("\u0D0A" holds both), and keep their mark.
TEST(ProfileIni, Utf16FileIsEditedOnWholeCharacters)
{
    const auto utf16 = [](const QString& s) {
        return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
    };
    TempDir dir;
    const QString path = dir.write(
        QStringLiteral("t.ini"), "\xFF\xFE" + utf16(QStringLiteral("[set]\r\nk=\u0D0A\u0A0D\r\n")) + "\x41");
    ProfileWriter writer(path);
    writer.setValue(QStringLiteral("set"), QStringLiteral("n"), QStringLiteral("值"));
    ASSERT_TRUE(writer.save());
    const ProfileIni ini = ProfileIni::load(path);
    EXPECT_EQ(ini.value(QStringLiteral("set"), QStringLiteral("k")), QStringLiteral("\u0D0A\u0A0D"));
    EXPECT_EQ(ini.value(QStringLiteral("set"), QStringLiteral("n")), QStringLiteral("值"));
    EXPECT_TRUE(readFile(path).startsWith("\xFF\xFE[\0"));
}

TEST(ProfileIni, AByteOrderMarkInsideTheFileIsACharacterToReaderAndWriterAlike)
{
    const auto utf16 = [](const QString& s) {
        return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
    };
    // Only the file's first mark is one; a second (a file saved twice by an
    // editor that adds one) or one at the start of a later line is U+FEFF.
    // Whatever the writer takes as the section, the reader must take too.
    const QByteArray cases[] = {
        QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF[set]\r\nk=1\r\n"),
        QByteArray("\xEF\xBB\xBF[a]\r\n\xEF\xBB\xBF[set]\r\nk=1\r\n"),
        "\xFF\xFE" + utf16(QStringLiteral("\uFEFF[set]\r\nk=1\r\n")),
        "\xFF\xFE" + utf16(QStringLiteral("[a]\r\n\uFEFF[set]\r\nk=1\r\n")),
    };
    TempDir dir;
    for (const QByteArray& bytes : cases) {
        const QString path = dir.write(QStringLiteral("t.ini"), bytes);
        ProfileWriter writer(path);
        writer.setValue(QStringLiteral("set"), QStringLiteral("n"), QStringLiteral("值"));
        ASSERT_TRUE(writer.save());
        const ProfileIni ini = ProfileIni::load(path);
        EXPECT_EQ(ini.value(QStringLiteral("set"), QStringLiteral("n")), QStringLiteral("值"))
            << bytes.toHex().constData();
        EXPECT_TRUE(ini.value(QStringLiteral("set"), QStringLiteral("k")).isEmpty())
            << bytes.toHex().constData();
    }
}
