#include "platform/ProgramInstance.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillan::platform {

namespace {

QString newId()
{
    return QString::number(QRandomGenerator::system()->generate64(), 16).rightJustified(16, QLatin1Char('0'));
}

// Opens `path` (no link followed) and tries its lock without waiting:
// true when nobody holds it. The descriptor stays open in `fd` then.
bool lockIsFree(const QString& path, int* fd)
{
    *fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (*fd < 0)
        return errno == ENOENT;
    int result;
    do
        result = ::flock(*fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result == 0)
        return true;
    ::close(*fd);
    *fd = -1;
    return false;
}

} // namespace

ProgramInstance::ProgramInstance(QString scratchDir) : scratchDir_(std::move(scratchDir)), id_(newId())
{
    if (!ensurePrivateDir(scratchDir_))
        return;
    // Locked before it is visible under its name, so that no other program
    // ever sees it free.
    QByteArray pattern = QFile::encodeName(scratchDir_ + QStringLiteral("/.instance-XXXXXX"));
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        ::rename(pattern.constData(), QFile::encodeName(lockFile(id_)).constData()) != 0) {
        ::unlink(pattern.constData());
        ::close(fd);
        return;
    }
    lockFd_ = fd;
}

ProgramInstance::~ProgramInstance()
{
    if (lockFd_ < 0)
        return;
    ::unlink(QFile::encodeName(lockFile(id_)).constData());
    ::close(lockFd_);
}

QString ProgramInstance::lockFile(const QString& id) const
{
    return scratchDir_ + QStringLiteral("/instance-") + id + QStringLiteral(".lock");
}

QString ProgramInstance::ownFile(const QString& stem, const QString& suffix) const
{
    return scratchDir_ + QLatin1Char('/') + stem + QLatin1Char('.') + id_ + suffix;
}

bool ProgramInstance::isRunning(const QString& id) const
{
    if (id == id_)
        return isLocked();
    int fd = -1;
    const bool free = lockIsFree(lockFile(id), &fd);
    if (fd >= 0)
        ::close(fd);
    return !free;
}

QStringList ProgramInstance::claimLeftFiles(const QString& stem, const QString& suffix)
{
    const QDir dir(scratchDir_);
    QHash<QString, bool> running; // by owner
    struct Left
    {
        QString path;
        qint64 modified;
    };
    std::vector<Left> claimed;
    const QStringList names =
        dir.entryList({stem + QLatin1Char('*') + suffix}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QString middle = name.mid(stem.size(), name.size() - stem.size() - suffix.size());
        QString owner;
        if (!middle.isEmpty()) {
            if (!middle.startsWith(QLatin1Char('.')))
                continue; // another stem that begins like this one
            owner = middle.mid(1).section(QLatin1Char('.'), 0, 0);
            if (owner == id_)
                continue;
            if (!running.contains(owner))
                running.insert(owner, isRunning(owner));
            if (running.value(owner))
                continue;
        }
        const QString from = dir.filePath(name);
        QString to;
        do
            to = scratchDir_ + QLatin1Char('/') + stem + QLatin1Char('.') + id_ + QLatin1Char('.') +
                 QString::number(++claimed_) + suffix;
        while (QFileInfo::exists(to));
        const qint64 modified = QFileInfo(from).lastModified().toMSecsSinceEpoch();
        // Whoever renames first has it; another program finds it gone.
        if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
            claimed.push_back({to, modified});
    }
    // The locks of programs that ended without removing them.
    for (auto it = running.cbegin(); it != running.cend(); ++it) {
        int fd = -1;
        if (!it.value() && lockIsFree(lockFile(it.key()), &fd) && fd >= 0)
            ::unlink(QFile::encodeName(lockFile(it.key())).constData());
        if (fd >= 0)
            ::close(fd);
    }
    std::stable_sort(claimed.begin(), claimed.end(),
                     [](const Left& a, const Left& b) { return a.modified > b.modified; });
    QStringList out;
    for (const Left& left : claimed)
        out << left.path;
    return out;
}

} // namespace quillan::platform
