#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace quillan::platform {

namespace {

QString stripSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

QString xdgDir(const char* variable, const QString& fallbackBelowHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return stripSlash(value);
    return QDir::homePath() + QLatin1Char('/') + fallbackBelowHome;
}

} // namespace

Paths Paths::detect()
{
    Paths paths;
    paths.programDir = stripSlash(QCoreApplication::applicationDirPath());
    paths.scratchDir = xdgDir("XDG_CACHE_HOME", QStringLiteral(".cache")) + QStringLiteral("/quillan");
    paths.configDir = xdgDir("XDG_CONFIG_HOME", QStringLiteral(".config")) + QStringLiteral("/quillan");
    // Qt reads ~/.config/user-dirs.dirs itself, as xdg-user-dir does.
    paths.desktopDir = stripSlash(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    return paths;
}

QString Paths::ensureScratchDir() const
{
    return ensurePrivateDir(scratchDir) ? scratchDir : QString();
}

bool ensurePrivateDir(const QString& dir)
{
    if (dir.isEmpty())
        return false;
    const QByteArray native = QFile::encodeName(dir);
    struct stat st
    {
    };
    if (::lstat(native.constData(), &st) != 0) {
        if (!QDir().mkpath(dir))
            return false;
        if (::lstat(native.constData(), &st) != 0)
            return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    if ((st.st_mode & 0777) != 0700 && ::chmod(native.constData(), 0700) != 0)
        return false;
    return true;
}

bool makePrivateFolder(const QString& dir)
{
    if (dir.isEmpty())
        return false;
    if (QFileInfo(dir).isDir())
        return true;
    const QFileInfo info(dir);
    QDir().mkpath(info.absolutePath());
    if (::mkdir(QFile::encodeName(info.absoluteFilePath()).constData(), 0700) != 0 && errno != EEXIST)
        return false;
    return QFileInfo(dir).isDir();
}

} // namespace quillan::platform
