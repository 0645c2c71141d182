#include "platform/RegistryStore.h"

#include "platform/Text.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace quillan::platform;
using quillan::test::readFile;
using quillan::test::TempDir;

namespace {
const QString kWord = QStringLiteral(
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Winword.exe");
}

TEST(RegistryStore, WriteThenReadAndRoots)
{
    TempDir dir;
    RegistryStore store(dir.file(QStringLiteral("config/registry")));
    EXPECT_EQ(store.readRegistryText(kWord, QStringLiteral("Path")), QString());
    EXPECT_FALSE(QFileInfo::exists(store.storeFile())); // reading never creates

    ASSERT_TRUE(store.writeRegistryText(kWord, QStringLiteral("Path"), QStringLiteral("密码 abc")));
    EXPECT_EQ(store.readRegistryText(kWord, QStringLiteral("Path")), QStringLiteral("密码 abc"));
    // Root compared in upper case; key paths and value names match in any case.
    EXPECT_EQ(store.readRegistryText(QStringLiteral("hkey_local_machine\\software\\MICROSOFT\\Windows\\"
                                                    "CurrentVersion\\App Paths\\WINWORD.EXE"),
                                     QStringLiteral("path")),
              QStringLiteral("密码 abc"));
    EXPECT_EQ(store.readRegistryText(QStringLiteral("HKEY_NOWHERE\\SOFTWARE"), QStringLiteral("Path")),
              QString());
    EXPECT_FALSE(
        store.writeRegistryText(QStringLiteral("HKLM\\SOFTWARE"), QStringLiteral("x"), QStringLiteral("1")));
    for (const char* root : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_CONFIG", "HKEY_CURRENT_USER", "HKEY_USERS"})
        EXPECT_TRUE(store.writeRegistryText(QString::fromLatin1(root) + QStringLiteral("\\A\\B"),
                                            QStringLiteral("v"), QString::fromLatin1(root)));
    EXPECT_EQ(store.readRegistryText(QStringLiteral("HKEY_USERS\\A\\B"), QStringLiteral("v")),
              QStringLiteral("HKEY_USERS"));

    // Replacing keeps one value.
    ASSERT_TRUE(store.writeRegistryText(kWord, QStringLiteral("PATH"), QStringLiteral("新")));
    EXPECT_EQ(store.readRegistryText(kWord, QStringLiteral("Path")), QStringLiteral("新"));

    struct stat st
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(store.storeFile()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(RegistryStore, ZeroBytesComeBackAsCrLf)
{
    TempDir dir;
    RegistryStore store(dir.file(QStringLiteral("registry")));
    // A value written by another tool with its terminating zero.
    ASSERT_TRUE(store.writeRegistryBytes(QStringLiteral("HKEY_CURRENT_USER\\Soft"), QStringLiteral("MIMA"),
                                         QByteArray("abc\0", 4)));
    EXPECT_EQ(store.readRegistryText(QStringLiteral("HKEY_CURRENT_USER\\Soft"), QStringLiteral("MIMA")),
              QStringLiteral("abc\r\n"));
    ASSERT_TRUE(store.writeRegistryBytes(QStringLiteral("HKEY_CURRENT_USER\\Soft"), QStringLiteral("bin"),
                                         QByteArray("a\0b\0", 4)));
    EXPECT_EQ(store.readRegistryText(QStringLiteral("HKEY_CURRENT_USER\\Soft"), QStringLiteral("bin")),
              QStringLiteral("a\r\nb\r\n"));
    // Text is stored without a terminating zero.
    ASSERT_TRUE(store.writeRegistryText(QStringLiteral("HKEY_CURRENT_USER\\Soft"), QStringLiteral("t"),
                                        QStringLiteral("x")));
    EXPECT_EQ(store.readRegistryText(QStringLiteral("HKEY_CURRENT_USER\\Soft"), QStringLiteral("t")),
              QStringLiteral("x"));
}

TEST(RegistryStore, DamagedStoreReadsEmptyAndIsKeptAside)
{
    TempDir dir;
    const QString file = dir.file(QStringLiteral("registry"));
    const QList<QByteArray> damaged = {
        QByteArray("\x00\x01garbage", 9), QByteArray("quillan-registry 1\nv zz 00 00\nend 1\n"),
        QByteArray("quillan-registry 1\nv 41 42 43\nend 2\n"), // count does not match
        QByteArray("quillan-registry 1\nv 41 42 43\n"),        // cut short
    };
    for (const QByteArray& bytes : damaged) {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        dir.write(QStringLiteral("registry"), bytes);
        RegistryStore store(file);
        EXPECT_EQ(store.readRegistryText(QStringLiteral("HKEY_USERS\\A"), QStringLiteral("B")), QString());
        EXPECT_EQ(readFile(file), bytes) << "a read must not change the file";
        ASSERT_TRUE(store.writeRegistryText(QStringLiteral("HKEY_USERS\\A"), QStringLiteral("B"),
                                            QStringLiteral("1")));
        EXPECT_EQ(readFile(file + QStringLiteral(".damaged-1")), bytes)
            << "the damaged store is kept as it was";
        EXPECT_EQ(store.readRegistryText(QStringLiteral("HKEY_USERS\\A"), QStringLiteral("B")),
                  QStringLiteral("1"));
    }
}

TEST(RegistryStore, StoreInTheWayOfAFolder)
{
    TempDir dir;
    QDir().mkpath(dir.file(QStringLiteral("registry")));
    RegistryStore store(dir.file(QStringLiteral("registry")));
    EXPECT_EQ(store.readRegistryText(QStringLiteral("HKEY_USERS\\A"), QStringLiteral("B")), QString());
    // Whatever is in the way is kept aside, not deleted.
    EXPECT_TRUE(
        store.writeRegistryText(QStringLiteral("HKEY_USERS\\A"), QStringLiteral("B"), QStringLiteral("1")));
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("registry.damaged-1"))).isDir());
    EXPECT_EQ(store.readRegistryText(QStringLiteral("HKEY_USERS\\A"), QStringLiteral("B")),
              QStringLiteral("1"));
}

// Names written by another tool in another encoding are kept as the bytes
// they are when this store writes.
TEST(RegistryStore, OtherToolsNamesKeepTheirBytes)
{
    TempDir dir;
    const QString file = dir.file(QStringLiteral("registry"));
    const QByteArray key = "HKEY_CURRENT_USER\\Software\\\xC7\xE5\xBD\xAD"; // GBK, not UTF-8
    const QByteArray name = "\xFF\xFEname";
    dir.write(QStringLiteral("registry"),
              "quillan-registry 1\nv " + key.toHex() + ' ' + name.toHex() + " 6f6c64\nend 1\n");
    RegistryStore store(file);
    ASSERT_TRUE(store.writeRegistryText(QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillan"),
                                        QStringLiteral("JIAMI"), QStringLiteral("1")));
    const QByteArray after = readFile(file);
    EXPECT_TRUE(after.contains("v " + key.toHex() + ' ' + name.toHex() + " 6f6c64\n")) << after.constData();
    EXPECT_EQ(store.readRegistryText(QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillan"),
                                     QStringLiteral("JIAMI")),
              QStringLiteral("1"));
}
