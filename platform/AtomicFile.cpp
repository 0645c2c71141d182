#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillan::platform {

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

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

bool writeFileAtomically(const QString& path, QByteArrayView data, QString* error, std::optional<unsigned> mode)
{
    const QFileInfo info(path);
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    QByteArray pattern = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                           QStringLiteral(".XXXXXX"));
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        setError(error, describeErrno(EISDIR));
        return false;
    }

    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        setError(error, describeErrno(errno));
        return false;
    }
    mode_t finalMode = 0;
    if (mode)
        finalMode = static_cast<mode_t>(*mode);
    else if (exists)
        finalMode = old.st_mode & 07777;
    else
        finalMode = 0666 & ~currentUmask();

    bool ok = writeAll(fd, data) && ::fchmod(fd, finalMode) == 0 && ::fsync(fd) == 0;
    int savedErrno = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        savedErrno = errno;
    }
    if (ok && ::rename(pattern.constData(), target.constData()) != 0) {
        ok = false;
        savedErrno = errno;
    }
    if (!ok) {
        ::unlink(pattern.constData());
        setError(error, describeErrno(savedErrno));
        return false;
    }
    return true;
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
