#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace quillan::ledger {

// Size and SHA-256 of a file, read in blocks (any size, little memory).
struct FileDigest
{
    bool ok = false;
    qint64 size = 0;
    QByteArray sha256; // 64 lower-case hex digits
    QString error;     // why the file could not be read, in words
};
FileDigest digestFile(const QString& path);

// One file of a logged save, as the log holds it.
struct LoggedFile
{
    int line = 0; // 1-based line of the log
    QString time; // "yyyy-MM-dd HH:mm:ss" as logged
    QString name; // file name without folder
    qint64 size = 0;
    QByteArray sha256;
};

// What reading the whole log found: the state of its chain, and the latest
// entries for one file (by name, and by content).
struct LogCheck
{
    enum class Chain {
        Intact,
        Missing,         // no log, and nothing says there was one
        MissingAnchored, // no log, though saves were logged on this computer
        Unreadable,      // `error` says why
        BadLine,         // line `line` is not a log line
        Unchained,       // line `line` does not hold the hash of the line before it
        Truncated,       // lines at the end were removed
        AnchorChanged,   // line `line`, the latest one logged here, was changed
    };
    Chain chain = Chain::Intact;
    int line = 0;
    int lines = 0;
    // Lines cut short by a crash in the middle of a save's entry and closed
    // by the next save: they log no file, and the chain goes on through them.
    QList<int> interrupted;
    // Whether this computer's anchor of the log was found. Without it only
    // the chain of the log in itself can be checked.
    bool anchored = false;
    // The first line after the latest one this computer appended: from
    // there on, lines were written elsewhere (0: none).
    int foreignFrom = 0;
    // The first line whose time is earlier than the line's before (0: none).
    int timeBackwards = 0;
    QString error;
    std::optional<LoggedFile> byName;    // latest entry of the name asked for
    std::optional<LoggedFile> byContent; // latest entry of the content asked for
};

// The append-only log of saved record files, "BL/笔录登记.log": one line per
// save, GBK, CR LF:
//
//   time TAB previous TAB name TAB size TAB sha256 [TAB name TAB size TAB sha256]...
//
// `previous` is the SHA-256 of the line before (its bytes without CR LF),
// 64 zeros on the first line. In names, "\\", TAB, CR and LF are written as
// "\\\\", "\\t", "\\r" and "\\n". The log is only ever appended to (O_APPEND,
// under an exclusive lock, then fsync); a line cut short by a crash is closed
// by the next append and told as an interrupted entry. Beside it, when `anchorFile` is
// given, the end offset and hash of the latest line appended here are kept
// outside the records folder, so that a changed or removed last line is
// found as well.
class RecordLog
{
public:
    explicit RecordLog(QString logFile, QString anchorFile = QString());

    // Appends one line for the files (full paths) saved at `time`. False,
    // with the reason in `error`, when a file could not be read or the log
    // not written; a line is then either appended whole or not at all.
    // When the line was written but the anchor could not be, `anchorError`
    // says why.
    bool append(const QDateTime& time, const QStringList& files, QString* error,
                QString* anchorError = nullptr);

    // How long append() waits for the log that another program holds.
    void setLockWait(int ms) { lockWaitMs_ = ms; }

    // Reads the whole log once. `name`/`digest` select the entries reported
    // in byName/byContent; an empty name selects none.
    LogCheck check(const QString& name = QString(), const FileDigest* digest = nullptr) const;

    const QString& file() const { return file_; }

    static QByteArray zeroHash() { return QByteArray(64, '0'); }
    static QString timeText(const QDateTime& time);

private:
    QString file_;
    QString anchor_;
    int lockWaitMs_ = 5000;
};

} // namespace quillan::ledger
