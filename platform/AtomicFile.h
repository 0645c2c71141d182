#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace quillan::platform {

// The one way every file the program writes is put in place: the new content
// goes into a temporary file beside the target (created 0600, never through
// a link), and commit() flushes it to disk, gives it its mode, renames it
// over the target and flushes the folder. After a power cut the target is
// the old file or the new one, never an empty or half-written one; readers
// never see a half-written file. Dropped without a successful commit(), the
// temporary file goes and the target stays as it was.
//
// The content is written through fd() or write(), or by another program
// through tempPath() (the office): commit() then reopens the file by name.
class FileReplacement
{
public:
    // The new file gets `mode` when given, otherwise the old file's
    // permissions (a new file: 0600). A symbolic link at the target is
    // refused (linkRefusal()).
    explicit FileReplacement(const QString& target, std::optional<unsigned> mode = std::nullopt);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // False when no temporary file could be made: error() says why.
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    const QString& tempPath() const { return tempPath_; }
    const QString& target() const { return target_; }

    bool write(QByteArrayView data);
    // True once the target holds the new content, on disk. On failure the
    // target is untouched and error() says why, in words.
    bool commit();
    const QString& error() const { return error_; }

private:
    bool fail(int errorNumber);

    QString target_;
    QString tempPath_;
    unsigned mode_ = 0600;
    int fd_ = -1;
    bool committed_ = false;
    QString error_;
};

// Replaces the file at `path` with `data` through FileReplacement. On
// failure `error` says why, in words.
bool writeFileAtomically(const QString& path, QByteArrayView data, QString* error = nullptr,
                         std::optional<unsigned> mode = std::nullopt);

// Flushes the folder holding `path` to disk, so that a file created or
// renamed there is found after a power cut.
bool syncFolderOf(const QString& path);

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

// Why a file was not written: a symbolic link stands where it belongs.
QString linkRefusal();

} // namespace quillan::platform
