#include "platform/Shell.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <gtest/gtest.h>

using namespace quillan::platform;
using quillan::test::readFile;
using quillan::test::TempDir;

namespace {

ExecutableFinder only(const QStringList& installed)
{
    return [installed](const QString& name) {
        return installed.contains(name) ? QStringLiteral("/usr/bin/") + name : QString();
    };
}

} // namespace

TEST(Shell, ProgramNamesMapOntoThisDesktop)
{
    const auto find =
        only({QStringLiteral("soffice"), QStringLiteral("xdg-open"), QStringLiteral("galculator"),
              QStringLiteral("mousepad"), QStringLiteral("kate")});
    struct Case
    {
        QString program;
        QString expected;
        QStringList leading;
    };
    const Case cases[] = {
        {QStringLiteral("WINWORD.EXE"), QStringLiteral("/usr/bin/soffice"), {QStringLiteral("--writer")}},
        {QStringLiteral("/usr/lib/libreoffice/program/WINWORD.EXE"),
         QStringLiteral("/usr/bin/soffice"),
         {QStringLiteral("--writer")}},
        {QStringLiteral("C:\\Progra~1\\Micros~1\\Office12\\winword.exe"),
         QStringLiteral("/usr/bin/soffice"),
         {QStringLiteral("--writer")}},
        {QStringLiteral("EXCEL.EXE"), QStringLiteral("/usr/bin/soffice"), {QStringLiteral("--calc")}},
        {QStringLiteral("calc.exe"), QStringLiteral("/usr/bin/galculator"), {}},
        {QStringLiteral("notepad.exe"), QStringLiteral("/usr/bin/kate"), {}}, // first found of the list
        {QStringLiteral("iexplore.exe"), QStringLiteral("/usr/bin/xdg-open"), {}},
        {QStringLiteral("nothing-like-it"), QString(), {}},
    };
    for (const Case& c : cases) {
        const ProgramMapping m = mapProgram(c.program, find);
        EXPECT_EQ(m.program, c.expected) << c.program.toStdString();
        EXPECT_EQ(m.leadingArguments, c.leading) << c.program.toStdString();
    }
    EXPECT_TRUE(mapProgram(QStringLiteral("calc.exe"), only({})).program.isEmpty());
}

TEST(Shell, SystemShellReportsAMissingProgram)
{
    SystemShell shell(only({}));
    EXPECT_FALSE(shell.startProgram(QStringLiteral("WINWORD.EXE"), {QStringLiteral("/tmp/x.doc")}));
    shell.openWebAddress(QStringLiteral("http://127.0.0.1/")); // no opener: nothing happens, nothing thrown
}

TEST(Shell, ShortcutIsAValidDesktopEntry)
{
    TempDir dir;
    const QString desktop = dir.file(QStringLiteral("桌面"));
    QDir().mkpath(desktop);
    const QString target = dir.file(QStringLiteral("程序 目录/quillan"));
    const QString link = desktop + QStringLiteral("/Quillan.desktop");
    dir.write(QStringLiteral("桌面/Quillan.desktop"), "old entry");

    ASSERT_TRUE(createShortcut(link, target, QStringLiteral("/icons/quillan.png")));
    const QFileInfo info(link);
    EXPECT_TRUE(info.isExecutable());
    const QString text = QString::fromUtf8(readFile(link));
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
    EXPECT_FALSE(text.contains(QStringLiteral("old entry")));
    QSettings entry(link, QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    EXPECT_EQ(entry.value(QStringLiteral("Type")).toString(), QStringLiteral("Application"));
    EXPECT_EQ(entry.value(QStringLiteral("Name")).toString(), QStringLiteral("Quillan"));
    EXPECT_EQ(entry.value(QStringLiteral("Icon")).toString(), QStringLiteral("/icons/quillan.png"));
    // The folder has a blank: the Exec value quotes the program.
    EXPECT_TRUE(text.contains(QStringLiteral("Exec=\"") + target + QStringLiteral("\"\n")));
    EXPECT_TRUE(
        text.contains(QStringLiteral("Path=") + dir.file(QStringLiteral("程序 目录/")) + QLatin1Char('\n')));
}

TEST(Shell, ShortcutSuffixAndFailures)
{
    TempDir dir;
    // ".desktop" is added unless the path ends with it in any case.
    ASSERT_TRUE(createShortcut(dir.file(QStringLiteral("a")), QStringLiteral("/opt/q/quillan"), QString()));
    EXPECT_TRUE(QFileInfo::exists(dir.file(QStringLiteral("a.desktop"))));
    ASSERT_TRUE(
        createShortcut(dir.file(QStringLiteral("b.DESKTOP")), QStringLiteral("/opt/q/quillan"), QString()));
    EXPECT_TRUE(QFileInfo::exists(dir.file(QStringLiteral("b.DESKTOP"))));
    // A target without a folder: the old shortcut is gone, nothing new.
    EXPECT_FALSE(createShortcut(dir.file(QStringLiteral("a.desktop")), QStringLiteral("quillan"), QString()));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("a.desktop"))));
    // No desktop folder.
    EXPECT_FALSE(createShortcut(dir.file(QStringLiteral("none/Quillan.desktop")),
                                QStringLiteral("/opt/q/quillan"), QString()));
}
