#include "platform/Paths.h"

#include "platform/AtomicFile.h"
#include "platform/Text.h"

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

// Creates `dir` and its missing parents (mode 0777 less the umask), `dir`
// itself with `mode`. 0, or the errno of the first step that failed.
int makeFolders(const QString& dir, mode_t mode)
{
    struct stat st
    {
    };
    const QByteArray native = QFile::encodeName(dir);
    if (::stat(native.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    const QString parent = QFileInfo(dir).absolutePath();
    if (parent != dir)
        if (const int error = makeFolders(parent, 0777))
            return error;
    if (::mkdir(native.constData(), mode) != 0 && errno != EEXIST)
        return errno;
    return 0;
}

QString folderProblem(const QString& dir, int error)
{
    return u("无法建立存放笔录的文件夹 <%1>：%2。").arg(dir, describeErrno(error));
}

// Copies the installed file `from` to `to` when there is nothing at `to`,
// or, with `whenDifferent`, when `to` holds other bytes. An installed file
// that is not there copies nothing. Empty, or what failed and why.
QString copyInstalled(const QString& from, const QString& to, bool whenDifferent)
{
    if (!QFileInfo::exists(from))
        return {};
    struct stat st
    {
    };
    const bool present = ::lstat(QFile::encodeName(to).constData(), &st) == 0;
    if (present && !whenDifferent)
        return {};
    QString error;
    const std::optional<QByteArray> bytes = readWholeFile(from, qint64(64) << 20, &error);
    if (bytes && present && readWholeFile(to, qint64(64) << 20) == bytes)
        return {};
    if (bytes && writeFileAtomically(to, *bytes, &error))
        return {};
    return u("无法把 <%1> 复制为 <%2>：%3。").arg(from, to, error);
}

} // namespace

Installation Installation::ofThisBuild()
{
    return {QStringLiteral(QUILLAN_INSTALL_DATADIR), QStringLiteral(QUILLAN_INSTALL_SYSCONFDIR "/Set.ini")};
}

Paths Paths::locate(const QString& executableDir, const QString& documentsDir,
                    const Installation& installation)
{
    Paths paths;
    const QString beside = stripSlash(executableDir);
    if (QFileInfo::exists(beside + QStringLiteral("/Set.ini"))) {
        paths.programDir = beside;
        paths.dataDir = beside;
        return paths;
    }
    paths.installed = true;
    paths.programDir = stripSlash(documentsDir) + QStringLiteral("/Quillan");
    paths.dataDir = stripSlash(installation.dataDir);
    paths.defaultSettingsFile = installation.settingsFile;
    return paths;
}

QStringList Paths::officeTexts()
{
    return {u("帮助.txt"), u("市镇县乡村劳动保障监察员联系方式.txt")};
}

QString Paths::setUpOfficeFolder() const
{
    if (!installed)
        return {};
    for (const QString& dir : {programDir, recordsDir()})
        if (const int error = makeFolders(dir, 0700))
            return folderProblem(dir, error);
    const QString help = officeTexts().first();
    if (QString problem = copyInstalled(defaultSettingsFile, settingsFile(), false); !problem.isEmpty())
        return problem;
    for (const QString& name : officeTexts())
        if (QString problem =
                copyInstalled(dataDir + QLatin1Char('/') + name, programDir + QLatin1Char('/') + name, false);
            !problem.isEmpty())
            return problem;
    // A newer help than the office's copy; the old one stays when it cannot
    // be replaced.
    copyInstalled(dataDir + QLatin1Char('/') + help, programDir + QLatin1Char('/') + help, true);
    return {};
}

Paths Paths::detect()
{
    // Qt reads ~/.config/user-dirs.dirs itself, as xdg-user-dir does.
    Paths paths = locate(QCoreApplication::applicationDirPath(),
                         QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                         Installation::ofThisBuild());
    paths.scratchDir = xdgDir("XDG_CACHE_HOME", QStringLiteral(".cache")) + QStringLiteral("/quillan");
    paths.configDir = xdgDir("XDG_CONFIG_HOME", QStringLiteral(".config")) + QStringLiteral("/quillan");
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
