// The text commands over a plain form: what is written where, what the
// panel gets, and the bad cases (missing, unreadable, huge, not GBK, a
// scratch folder that cannot be used).
#include "library/TextCommands.h"
#include "../record/MapForm.h"
#include "platform/Text.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace quillan::test {
namespace {

using library::TextEntry;

struct Panel
{
    TempDir dir;
    MapForm form;
    QStringList shown;
    QString scratch = dir.file(QStringLiteral("scratch"));
    std::unique_ptr<library::TextCommands> commands;

    Panel()
    {
        QDir().mkpath(dir.file(QStringLiteral("program")));
        library::TextEnvironment env;
        env.session = &form.session;
        env.programDir = dir.file(QStringLiteral("program"));
        env.scratchDir = [this] {
            QDir().mkpath(scratch);
            return scratch;
        };
        env.showPanel = [this](const QString& text) { shown << text; };
        commands = std::make_unique<library::TextCommands>(env);
    }
    const TextEntry& entry(const char* menu, const char* caption)
    {
        const TextEntry* e = library::findTextEntry(QString::fromUtf8(menu), QString::fromUtf8(caption));
        EXPECT_NE(e, nullptr) << caption;
        return *e;
    }
};

TEST(TextCommands, EmbeddedTextsAreWrittenToTheirScratchFileAndShownFromIt)
{
    Panel p;
    for (const TextEntry& e : library::textCatalogue()) {
        if (e.source != TextEntry::Source::Embedded)
            continue;
        // An older file of the same name is replaced whole.
        const QString path = p.scratch + QLatin1Char('/') + e.fileName;
        p.dir.write(QStringLiteral("scratch/") + e.fileName, QByteArray(200000, 'x'));
        p.shown.clear();
        p.commands->show(e);
        EXPECT_EQ(p.form.session.shownTextFile, path);
        EXPECT_EQ(readFile(path), library::embeddedText(e)) << e.caption.toStdString();
        ASSERT_EQ(p.shown.size(), 1);
        EXPECT_EQ(p.shown[0], platform::decodeText(readFile(path)));
    }
    // The panel shows what the file holds: a file that cannot be replaced
    // (here a folder of that name) gives an empty panel, not the embedded text.
    const TextEntry& law = p.entry("法律法规", "最新劳动法");
    QFile::remove(p.scratch + QStringLiteral("/a.txt"));
    QDir().mkpath(p.scratch + QStringLiteral("/a.txt"));
    p.shown.clear();
    p.commands->show(law);
    EXPECT_EQ(p.form.session.shownTextFile, p.scratch + QStringLiteral("/a.txt"));
    EXPECT_EQ(p.shown, QStringList{QString()});
}

TEST(TextCommands, ProgramFolderTextsAreReadWhereTheOfficeKeepsThem)
{
    Panel p;
    const TextEntry& help = p.entry("帮助", "软件帮助");
    const TextEntry& contacts = p.entry("帮助", "市/镇/县/乡/村 劳动保障监察员联系方式");
    const QString helpPath = p.dir.file(QStringLiteral("program/帮助.txt"));
    const QString contactsPath = p.dir.file(QStringLiteral("program/市镇县乡村劳动保障监察员联系方式.txt"));

    // Absent: an empty panel, the path still named for the print button.
    p.commands->show(help);
    EXPECT_EQ(p.form.session.shownTextFile, helpPath);
    EXPECT_EQ(p.shown.last(), QString());

    p.dir.write(QStringLiteral("program/帮助.txt"), gbk(QStringLiteral("软件帮助\r\n第一行\r\n")));
    p.commands->show(help);
    EXPECT_EQ(p.shown.last(), QStringLiteral("软件帮助\r\n第一行\r\n"));

    p.dir.write(QStringLiteral("program/市镇县乡村劳动保障监察员联系方式.txt"),
                gbk(QStringLiteral("南湖街道 张三\r\n")));
    p.commands->show(contacts);
    EXPECT_EQ(p.form.session.shownTextFile, contactsPath);
    EXPECT_EQ(p.shown.last(), QStringLiteral("南湖街道 张三\r\n"));
    // Nothing is written to the program folder or the scratch folder.
    EXPECT_EQ(QDir(p.dir.file(QStringLiteral("program"))).entryList(QDir::Files).size(), 2);
    EXPECT_FALSE(QDir(p.scratch).exists() && !QDir(p.scratch).isEmpty());

    // Broken bytes are shown as replacement characters around the good text.
    p.dir.write(QStringLiteral("program/帮助.txt"), QByteArray("\xff\xff") + gbk(QStringLiteral("好")));
    p.commands->show(help);
    EXPECT_TRUE(p.shown.last().startsWith(QChar::ReplacementCharacter)) << p.shown.last().toStdString();
    EXPECT_TRUE(p.shown.last().endsWith(QStringLiteral("好")));

    // An unreadable file, or a folder of that name: an empty panel.
    if (geteuid() != 0) {
        ::chmod(QFile::encodeName(helpPath).constData(), 0);
        p.commands->show(help);
        EXPECT_EQ(p.shown.last(), QString());
    }
    QFile::remove(helpPath);
    QDir().mkpath(helpPath);
    p.commands->show(help);
    EXPECT_EQ(p.shown.last(), QString());
}

TEST(TextCommands, ReadingStopsAtTheLimitOnACharacterBoundaryAndNeverWaitsOnAPipe)
{
    TempDir dir;
    const QByteArray han = gbk(QStringLiteral("汉"));
    const QString big = dir.write(QStringLiteral("big.txt"), "a" + han.repeated(10));
    EXPECT_EQ(library::readTextFile(big, 4), QByteArray("a") + han); // not half of the second character
    EXPECT_EQ(library::readTextFile(big, 100), "a" + han.repeated(10));
    const QString fifo = dir.file(QStringLiteral("fifo.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(library::readTextFile(fifo).isEmpty());
    EXPECT_TRUE(library::readTextFile(dir.file(QStringLiteral("missing.txt"))).isEmpty());
}

TEST(TextCommands, WithoutAPrivateScratchFolderNothingIsWritten)
{
    MapForm form;
    QStringList shown;
    library::TextEnvironment env;
    env.session = &form.session;
    env.scratchDir = [] { return QString(); };
    env.showPanel = [&](const QString& text) { shown << text; };
    form.session.shownTextFile = QStringLiteral("/old/path");
    library::TextCommands commands(env);
    commands.show(*library::findTextEntry(QStringLiteral("法律法规"), QStringLiteral("最新劳动合同法")));
    EXPECT_EQ(form.session.shownTextFile, QString());
    EXPECT_EQ(shown, QStringList{QString()});
}

TEST(TextCommands, PopUpUnlessExactlyZero)
{
    const std::pair<const char*, bool> cases[] = {
        {"0", false}, {"", true}, {"1", true}, {"00", true}, {"O", true}};
    for (const auto& [value, wanted] : cases)
        EXPECT_EQ(library::popUpWanted(QString::fromUtf8(value)), wanted) << value;
}

} // namespace
} // namespace quillan::test
