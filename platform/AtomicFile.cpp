#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quillan::platform {

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

QString linkRefusal()
{
    return QStringLiteral("这里是一个符号链接，不是文件，为安全起见没有写入");
}

QString describeErrno(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("没有写入权限");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("磁盘空间不足");
    case EROFS:
        return QStringLiteral("磁盘是只读的");
    case ENOENT:
        return QStringLiteral("目录不存在");
    case ENOTDIR:
        return QStringLiteral("路径中有一部分不是目录");
    case EISDIR:
        return QStringLiteral("同名的目录已经存在");
    case ENAMETOOLONG:
        return QStringLiteral("文件名太长");
    case EINVAL:
        return QStringLiteral("文件名无效");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

bool writeAll(int fd, QByteArrayView data)
{
    const char* p = data.data();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

FileReplacement::FileReplacement(const QString& target, std::optional<unsigned> mode)
{
    const QFileInfo info(target);
    target_ = info.absoluteFilePath();
    if (info.fileName().isEmpty()) {
        fail(EINVAL);
        return;
    }
    // The old file's permissions are kept; a new file is the officer's
    // alone. A link planted where the file belongs is never written
    // through, nor replaced.
    struct stat old
    {
    };
    const bool exists = ::lstat(QFile::encodeName(target_).constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        fail(EISDIR);
        return;
    }
    if (exists && S_ISLNK(old.st_mode)) {
        error_ = linkRefusal();
        return;
    }
    if (mode)
        mode_ = *mode;
    else if (exists && S_ISREG(old.st_mode))
        mode_ = old.st_mode & 07777;
    else
        mode_ = 0600;

    // The name keeps the target's extension, for programs that look at it.
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QByteArray pattern =
        QFile::encodeName(info.absolutePath() + QStringLiteral("/.~quillan-XXXXXX") + suffix);
    fd_ = ::mkostemps(pattern.data(), int(QFile::encodeName(suffix).size()), O_CLOEXEC);
    if (fd_ < 0) {
        fail(errno);
        return;
    }
    tempPath_ = QFile::decodeName(pattern);
}

FileReplacement::~FileReplacement()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !tempPath_.isEmpty())
        ::unlink(QFile::encodeName(tempPath_).constData());
}

bool FileReplacement::fail(int errorNumber)
{
    error_ = describeErrno(errorNumber);
    return false;
}

bool FileReplacement::write(QByteArrayView data)
{
    if (fd_ < 0)
        return false;
    return writeAll(fd_, data) || fail(errno);
}

bool FileReplacement::commit()
{
    if (tempPath_.isEmpty())
        return false;
    if (fd_ >= 0 && ::close(std::exchange(fd_, -1)) != 0)
        return fail(errno);
    // By name: another program may have written (or replaced) the file.
    const QByteArray temp = QFile::encodeName(tempPath_);
    const int fd = ::open(temp.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    struct stat st
    {
    };
    // The errno of the first call that fails; EINVAL for what is not a file.
    const int problem = [&] {
        if (::fstat(fd, &st) != 0)
            return errno;
        if (!S_ISREG(st.st_mode))
            return EINVAL;
        if (::fchmod(fd, static_cast<mode_t>(mode_)) != 0 || ::fsync(fd) != 0)
            return errno;
        return 0;
    }();
    ::close(fd);
    if (problem != 0)
        return fail(problem);
    if (::rename(temp.constData(), QFile::encodeName(target_).constData()) != 0)
        return fail(errno);
    committed_ = true;
    // The rename reaches the disk with the folder; the file is in place
    // either way, so a folder that cannot be flushed is not a failure.
    syncFolderOf(target_);
    return true;
}

bool writeFileAtomically(const QString& path, QByteArrayView data, QString* error,
                         std::optional<unsigned> mode)
{
    FileReplacement file(path, mode);
    if (file.write(data) && file.commit())
        return true;
    setError(error, file.error());
    return false;
}

bool syncFolderOf(const QString& path)
{
    const int dir = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return false;
    const bool ok = ::fsync(dir) == 0;
    ::close(dir);
    return ok;
}

std::optional<QByteArray> readWholeFile(const QString& path, qint64 maxBytes, QString* error)
{
    const auto fail = [error](const QString& why) -> std::optional<QByteArray> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const QFileInfo info(path);
    if (!info.exists())
        return fail(QStringLiteral("文件不存在"));
    if (info.isDir())
        return fail(QStringLiteral("这是一个文件夹，不是文件"));
    if (!info.isFile())
        return fail(QStringLiteral("这不是普通文件"));
    if (info.size() > maxBytes)
        return fail(QStringLiteral("文件太大（超过 %1 字节）").arg(maxBytes));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.error() == QFileDevice::PermissionsError)
            return fail(QStringLiteral("没有读取权限"));
        return fail(file.errorString());
    }
    // Sized by the file, not by the limit (a read of the limit would claim
    // that much memory first); a file that grows meanwhile is read on up to
    // one byte past the limit.
    QByteArray bytes = file.read(qMin(maxBytes, info.size()) + 1);
    while (bytes.size() <= maxBytes && file.error() == QFileDevice::NoError && !file.atEnd())
        bytes += file.read(qMin<qint64>(qint64(1) << 16, maxBytes + 1 - bytes.size()));
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (bytes.size() > maxBytes)
        return fail(QStringLiteral("文件太大（超过 %1 字节）").arg(maxBytes));
    return bytes;
}

std::optional<SmallFile> readSmallFile(const QString& path, qint64 maxBytes, QString* error)
{
    const auto fail = [error](const QString& why) -> std::optional<SmallFile> {
        setError(error, why);
        return std::nullopt;
    };
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return fail(QStringLiteral("文件不存在"));
        if (errno == EACCES || errno == EPERM)
            return fail(QStringLiteral("没有读取权限"));
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    }
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISDIR(st.st_mode))
        return fail(QStringLiteral("这是一个文件夹，不是文件"));
    if (!S_ISREG(st.st_mode))
        return fail(QStringLiteral("这不是普通文件"));
    const auto tooLarge = [&] { return fail(QStringLiteral("文件太大（超过 %1 字节）").arg(maxBytes)); };
    if (st.st_size > maxBytes)
        return tooLarge();
    SmallFile file;
    file.size = st.st_size;
    file.modifiedMs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    // One byte more than the size, so that a file that grew meanwhile is
    // seen to be longer; the read goes on until the end of the file.
    QByteArray bytes(qsizetype(st.st_size) + 1, Qt::Uninitialized);
    qsizetype have = 0;
    while (true) {
        if (have == bytes.size()) {
            if (have > maxBytes)
                return tooLarge();
            bytes.resize(qMin<qsizetype>(have * 2 + 4096, qsizetype(maxBytes) + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + have, size_t(bytes.size() - have));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(QString::fromLocal8Bit(std::strerror(errno)));
        if (n == 0)
            break;
        have += n;
    }
    if (have > maxBytes)
        return tooLarge();
    bytes.truncate(have);
    file.bytes = std::move(bytes);
    return file;
}

std::optional<FileStamp> fileStamp(const QString& path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileStamp{qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000};
}

} // namespace quillan::platform
