#include "platform/Shell.h"

#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace quillan::platform {

namespace {

QString defaultFind(const QString& name)
{
    QString found = QStandardPaths::findExecutable(name);
    if (found.isEmpty() && name == QLatin1String("soffice")) {
        for (const char* dir : {"/usr/lib/libreoffice/program", "/opt/libreoffice/program"}) {
            QString candidate = QLatin1String(dir) + QStringLiteral("/soffice");
            if (QFileInfo(candidate).isExecutable())
                return candidate;
        }
    }
    return found;
}

QString firstFound(const QStringList& names, const ExecutableFinder& find)
{
    for (const QString& name : names) {
        QString path = find(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

// Desktop entry values: escape the characters the format reserves.
QString escapeValue(QString v)
{
    v.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    v.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    v.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    v.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    return v;
}

// One argument of an Exec line, quoted as the desktop entry format wants.
QString execArgument(const QString& arg)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = arg.isEmpty();
    for (QChar c : arg)
        needsQuotes = needsQuotes || reserved.contains(c);
    QString out = arg;
    out.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (!needsQuotes)
        return out;
    QString quoted;
    for (QChar c : out) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

ProgramMapping mapProgram(const QString& program, const ExecutableFinder& find)
{
    const QString name = QFileInfo(QString(program).replace(QLatin1Char('\\'), QLatin1Char('/'))).fileName();
    const QString lower = name.toLower();
    if (lower == QLatin1String("winword.exe"))
        return {find(QStringLiteral("soffice")), {QStringLiteral("--writer")}};
    if (lower == QLatin1String("excel.exe"))
        return {find(QStringLiteral("soffice")), {QStringLiteral("--calc")}};
    if (lower == QLatin1String("calc.exe"))
        return {firstFound({QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                            QStringLiteral("galculator"), QStringLiteral("mate-calc"),
                            QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")},
                           find),
                {}};
    if (lower == QLatin1String("notepad.exe"))
        return {
            firstFound({QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"), QStringLiteral("kate"),
                        QStringLiteral("kwrite"), QStringLiteral("mousepad"), QStringLiteral("pluma"),
                        QStringLiteral("xed"), QStringLiteral("featherpad"), QStringLiteral("leafpad")},
                       find),
            {}};
    if (lower == QLatin1String("iexplore.exe"))
        return {find(QStringLiteral("xdg-open")), {}};
    if (QFileInfo(program).isAbsolute())
        return {QFileInfo(program).isExecutable() ? program : QString(), {}};
    return {find(program), {}};
}

SystemShell::SystemShell() : find_(defaultFind) {}
SystemShell::SystemShell(ExecutableFinder finder) : find_(std::move(finder)) {}

void SystemShell::openWebAddress(const QString& address)
{
    const QString opener = find_(QStringLiteral("xdg-open"));
    if (!opener.isEmpty())
        QProcess::startDetached(opener, {address});
}

bool SystemShell::startProgram(const QString& program, const QStringList& arguments)
{
    const ProgramMapping m = mapProgram(program, find_);
    if (m.program.isEmpty())
        return false;
    return QProcess::startDetached(m.program, m.leadingArguments + arguments);
}

bool createShortcut(const QString& linkPath, const QString& targetPath, const QString& iconPath)
{
    QString link = linkPath;
    if (!link.right(8).toLower().endsWith(QLatin1String(".desktop")))
        link += QStringLiteral(".desktop");
    if (QFileInfo::exists(link) || QFileInfo(link).isSymLink())
        QFile::remove(link);

    const QStringList parts = targetPath.split(QLatin1Char('/'));
    if (parts.size() < 2)
        return false;
    QString workingDir;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i)
        workingDir += parts[i] + QLatin1Char('/');

    QString entry;
    entry += QStringLiteral("[Desktop Entry]\n");
    entry += QStringLiteral("Type=Application\n");
    entry += QStringLiteral("Version=1.0\n");
    entry += QStringLiteral("Name=Quillan\n");
    entry += QStringLiteral("Comment=") + escapeValue(QStringLiteral("询问笔录")) + QLatin1Char('\n');
    entry += QStringLiteral("Exec=") + escapeValue(execArgument(targetPath)) + QLatin1Char('\n');
    entry += QStringLiteral("Path=") + escapeValue(workingDir) + QLatin1Char('\n');
    entry += QStringLiteral("Icon=") + escapeValue(iconPath) + QLatin1Char('\n');
    entry += QStringLiteral("Terminal=false\n");
    entry += QStringLiteral("Categories=Office;\n");
    return writeFileAtomically(link, entry.toUtf8(), nullptr, 0755);
}

} // namespace quillan::platform
