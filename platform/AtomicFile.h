#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace quillan::platform {

// Replaces the file at `path` with `data` atomically: the data go into a
// temporary file in the same folder, are flushed to disk, and the temporary
// file is renamed over `path`. Readers see the old or the new file, never a
// half-written one, and a failed write leaves the old file as it was.
// The new file gets `mode` when given, otherwise the old file's permissions
// (a new file: 0666 less the umask). On failure `error` says why, in words.
bool writeFileAtomically(const QString& path, QByteArrayView data, QString* error = nullptr,
                         std::optional<unsigned> mode = std::nullopt);

// Reads a whole regular file. Missing files, folders and unreadable files
// give std::nullopt; files above `maxBytes` are refused the same way.
// `error` then says why, in words.
std::optional<QByteArray> readWholeFile(const QString& path, qint64 maxBytes = qint64(1) << 30,
                                        QString* error = nullptr);

// A regular file read with as few system calls as can be (open, fstat,
// read, close), for reading many small files: its bytes, size and
// modification time (ms since the epoch). A named pipe or device is refused
// without waiting on it; files above `maxBytes` are refused. `error` then
// says why, in the same words as readWholeFile.
struct SmallFile
{
    QByteArray bytes;
    qint64 size = 0;
    qint64 modifiedMs = 0;
};
std::optional<SmallFile> readSmallFile(const QString& path, qint64 maxBytes, QString* error = nullptr);

// Size and modification time (ms since the epoch) of a file, from one stat;
// std::nullopt when it cannot be looked at.
struct FileStamp
{
    qint64 size = 0;
    qint64 modifiedMs = 0;
    bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> fileStamp(const QString& path);

// Writes all of `data` to the file descriptor, going on after short writes
// and interruptions; false on an error (errno says which).
bool writeAll(int fd, QByteArrayView data);

// A short reason for an errno value, in the officer's language.
QString describeErrno(int error);

} // namespace quillan::platform
