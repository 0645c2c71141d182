// Where the office's files are: a portable program folder, or an installed
// program's office folder in the documents folder.
#include "platform/Paths.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace quillan::test {
namespace {

using platform::Installation;
using platform::Paths;

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

unsigned modeOf(const QString& path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
}

const QString kHelp = u("帮助.txt");
const QString kContacts = u("市镇县乡村劳动保障监察员联系方式.txt");

} // namespace

TEST(Paths, PortableOrInstalledAndTheOfficeFolderItStartsWith)
{
    enum class Documents { Missing, Writable, AFileInTheWay, ReadOnly };
    struct Case
    {
        const char* name;
        bool setIniBeside;
        Documents documents;
        QMap<QString, QByteArray> officeBefore; // files of the office folder before the start
        bool installed;
        QMap<QString, QByteArray> officeAfter; // "" as a value: a folder
        const char* problem;                   // part of the message; nullptr: ready
    };
    const QMap<QString, QByteArray> laidOut{
        {u("BL"), ""}, {u("Set.ini"), "[etc]"}, {kHelp, "help 2"}, {kContacts, "contacts"}};
    const Case cases[] = {
        {"a Set.ini beside the executable: the portable program folder",
         true,
         Documents::Writable,
         {},
         false,
         {},
         nullptr},
        {"installed, first start, no documents folder yet",
         false,
         Documents::Missing,
         {},
         true,
         laidOut,
         nullptr},
        {"installed, first start", false, Documents::Writable, {}, true, laidOut, nullptr},
        {"installed, the office's own files kept, an old help replaced",
         false,
         Documents::Writable,
         {{u("Set.ini"), "[own]"}, {kContacts, "own list"}, {kHelp, "help 1"}, {u("BL/a.ini"), "record"}},
         true,
         {{u("Set.ini"), "[own]"}, {kContacts, "own list"}, {kHelp, "help 2"}, {u("BL/a.ini"), "record"}},
         nullptr},
        {"installed, a file where the documents folder belongs",
         false,
         Documents::AFileInTheWay,
         {},
         true,
         {},
         "路径中有一部分不是目录"},
        {"installed, a documents folder this user cannot write",
         false,
         Documents::ReadOnly,
         {},
         true,
         {},
         "没有写入权限"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.documents == Documents::ReadOnly && ::geteuid() == 0)
            continue; // every folder is writable for root
        TempDir dir;
        const QString exe = dir.file(u("program"));
        QDir().mkpath(exe);
        if (c.setIniBeside)
            dir.write(u("program/Set.ini"), "[beside]");
        const Installation installation{dir.file(u("usr/share/quillan")), dir.file(u("etc/quillan/Set.ini"))};
        dir.write(u("etc/quillan/Set.ini"), "[etc]");
        dir.write(u("usr/share/quillan/") + kHelp, "help 2");
        dir.write(u("usr/share/quillan/") + kContacts, "contacts");
        const QString documents = dir.file(u("home/文档"));
        if (c.documents == Documents::AFileInTheWay)
            dir.write(u("home/文档"), "not a folder");
        else if (c.documents != Documents::Missing)
            QDir().mkpath(documents);
        const QString office = documents + u("/Quillan");
        for (auto it = c.officeBefore.begin(); it != c.officeBefore.end(); ++it)
            dir.write(u("home/文档/Quillan/") + it.key(), it.value());
        if (c.documents == Documents::ReadOnly)
            ::chmod(QFile::encodeName(documents).constData(), 0555);

        const Paths paths = Paths::locate(exe + u("/"), documents, installation);
        EXPECT_EQ(paths.installed, c.installed);
        EXPECT_EQ(paths.programDir, c.installed ? office : exe);
        EXPECT_EQ(paths.dataDir, c.installed ? installation.dataDir : exe);
        EXPECT_EQ(paths.settingsFile(), paths.programDir + u("/Set.ini"));

        const QString problem = paths.setUpOfficeFolder();
        if (c.problem) {
            EXPECT_TRUE(problem.contains(office) && problem.contains(u(c.problem))) << problem.toStdString();
            continue;
        }
        EXPECT_EQ(problem, QString());
        if (!c.installed) {
            EXPECT_FALSE(QFileInfo::exists(office));
            EXPECT_EQ(QDir(exe).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                      QStringList{u("Set.ini")});
            continue;
        }
        for (auto it = c.officeAfter.begin(); it != c.officeAfter.end(); ++it) {
            const QString path = office + u("/") + it.key();
            if (it.value().isEmpty())
                EXPECT_TRUE(QFileInfo(path).isDir()) << path.toStdString();
            else
                EXPECT_EQ(readFile(path), it.value()) << path.toStdString();
        }
        if (c.officeBefore.isEmpty()) {
            EXPECT_EQ(modeOf(office), 0700u);
            EXPECT_EQ(modeOf(paths.recordsDir()), 0700u);
            EXPECT_EQ(modeOf(paths.settingsFile()), 0600u);
        }
        // A second start changes nothing.
        EXPECT_EQ(paths.setUpOfficeFolder(), QString());
        EXPECT_EQ(readFile(paths.settingsFile()), c.officeAfter.value(u("Set.ini")));
    }
}

} // namespace quillan::test
