#include "ledger/RecordLog.h"

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <openssl/evp.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace quillan::ledger {

namespace {

constexpr const char* kTimeFormat = "yyyy-MM-dd HH:mm:ss";
// No honest line comes near this; a longer one is not read into memory.
constexpr qint64 kMaxLine = qint64(1) << 20;
constexpr qint64 kTailBytes = qint64(64) * 1024;

// SHA-256 through libcrypto, which uses the processor's SHA instructions:
// a large recording is hashed several times faster than by Qt's own code.
class Sha256
{
public:
    Sha256() : ctx_(EVP_MD_CTX_new())
    {
        if (ctx_ && EVP_DigestInit_ex(ctx_, EVP_sha256(), nullptr) != 1) {
            EVP_MD_CTX_free(ctx_);
            ctx_ = nullptr;
        }
    }
    ~Sha256() { EVP_MD_CTX_free(ctx_); }
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;
    void add(QByteArrayView bytes)
    {
        if (!ctx_)
            fallback_.addData(bytes);
        else if (EVP_DigestUpdate(ctx_, bytes.data(), static_cast<size_t>(bytes.size())) != 1)
            failed_ = true;
    }
    // Empty when the hash could not be computed.
    QByteArray hex()
    {
        if (!ctx_)
            return fallback_.result().toHex();
        unsigned char md[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (failed_ || EVP_DigestFinal_ex(ctx_, md, &length) != 1)
            return QByteArray();
        return QByteArray(reinterpret_cast<const char*>(md), static_cast<qsizetype>(length)).toHex();
    }

private:
    EVP_MD_CTX* ctx_;
    QCryptographicHash fallback_{QCryptographicHash::Sha256};
    bool failed_ = false;
};

QByteArray sha256Hex(QByteArrayView bytes)
{
    Sha256 hash;
    hash.add(bytes);
    return hash.hex();
}

QString readError(int error)
{
    return error == ENOENT ? QStringLiteral("文件不存在") : platform::describeErrno(error);
}

// Closes a descriptor when leaving the scope.
class Fd
{
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool readAt(int fd, char* data, qint64 size, qint64 offset)
{
    while (size > 0) {
        const ssize_t n = ::pread(fd, data, static_cast<size_t>(size), static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
        offset += n;
    }
    return true;
}

// The bytes of a line without its "\n" and one "\r" before it.
QByteArray lineContent(QByteArray raw)
{
    if (raw.endsWith('\n'))
        raw.chop(1);
    if (raw.endsWith('\r'))
        raw.chop(1);
    return raw;
}

QString escapeName(const QString& name)
{
    QString out;
    for (const QChar c : name) {
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::optional<QString> unescapeName(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\')) {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i].unicode()) {
        case '\\':
            out += QLatin1Char('\\');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        default:
            return std::nullopt;
        }
    }
    return out;
}

bool isHash(const QByteArray& field)
{
    if (field.size() != 64)
        return false;
    for (const char c : field)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

// "yyyy-MM-dd HH:mm:ss" of a real date and time.
bool isTime(const QByteArray& field)
{
    static const char pattern[] = "0000-00-00 00:00:00";
    if (field.size() != 19)
        return false;
    for (int i = 0; i < 19; ++i)
        if (pattern[i] == '0' ? (field[i] < '0' || field[i] > '9') : field[i] != pattern[i])
            return false;
    const auto number = [&field](int from, int length) { return field.mid(from, length).toInt(); };
    return QDate(number(0, 4), number(5, 2), number(8, 2)).isValid() &&
           QTime(number(11, 2), number(14, 2), number(17, 2)).isValid();
}

struct ParsedLine
{
    QByteArray previous;
    QList<LoggedFile> files;
};

// A line as append() writes it, or nothing.
// A whole name in the files' encoding, or nothing when its bytes are not one.
// A fresh decoder each time: the converter's error flag outlives a reset.
std::optional<QString> decodeName(QByteArrayView bytes)
{
    QStringDecoder decoder("GB18030", QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError() || text.isEmpty())
        return std::nullopt;
    return text;
}

std::optional<ParsedLine> parseLine(const QByteArray& content, int lineNumber)
{
    const QList<QByteArray> fields = content.split('\t');
    if (fields.size() < 5 || (fields.size() - 2) % 3 != 0)
        return std::nullopt;
    if (!isTime(fields[0]))
        return std::nullopt;
    const QString time = QString::fromLatin1(fields[0]);
    if (!isHash(fields[1]))
        return std::nullopt;
    ParsedLine parsed;
    parsed.previous = fields[1];
    for (qsizetype i = 2; i < fields.size(); i += 3) {
        const std::optional<QString> escaped = decodeName(fields[i]);
        if (!escaped)
            return std::nullopt;
        const std::optional<QString> name = unescapeName(*escaped);
        bool sizeOk = false;
        const qint64 size = fields[i + 1].toLongLong(&sizeOk);
        if (!name || !sizeOk || size < 0 || fields[i + 1] != QByteArray::number(size) ||
            !isHash(fields[i + 2]))
            return std::nullopt;
        parsed.files.append({lineNumber, time, *name, size, fields[i + 2]});
    }
    return parsed;
}

// A line cut short by a crash in the middle of an append: the beginning of
// a line as append() writes it, chained to the line before (`previous`),
// ending anywhere, even inside a name's character. Nothing else written
// into the log looks like that by chance.
bool isCutLine(const QByteArray& content, const QByteArray& previous)
{
    static const QByteArray timePattern = "0000-00-00 00:00:00";
    const auto isTimeStart = [](const QByteArray& f) {
        if (f.size() > timePattern.size())
            return false;
        for (qsizetype k = 0; k < f.size(); ++k)
            if (timePattern[k] == '0' ? (f[k] < '0' || f[k] > '9') : f[k] != timePattern[k])
                return false;
        return true;
    };
    if (content.isEmpty())
        return false;
    const QList<QByteArray> fields = content.split('\t');
    // Cut short: a whole line would have parsed (a cut right before its
    // CR LF was closed into a whole line).
    if (fields.size() >= 5 && (fields.size() - 2) % 3 == 0 && fields.last().size() == 64)
        return false;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QByteArray& f = fields[i];
        const bool cut = i == fields.size() - 1; // the field the crash cut
        if (i == 0) {
            if (!(cut ? isTimeStart(f) : isTime(f)))
                return false;
        } else if (i == 1) {
            if (!(cut ? previous.startsWith(f) : f == previous))
                return false;
        } else if ((i - 2) % 3 == 0) {
            if (f.contains('\r') || f.contains('\n'))
                return false;
            if (!cut) {
                // A whole name: never empty, always a text of the encoding.
                if (!decodeName(f))
                    return false;
            }
        } else if ((i - 2) % 3 == 1) {
            if (f.isEmpty() && !cut)
                return false;
            for (const char c : f)
                if (c < '0' || c > '9')
                    return false;
        } else {
            if (f.size() > 64 || (!cut && f.size() != 64))
                return false;
            for (const char c : f)
                if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
                    return false;
        }
    }
    return true;
}

// Splits a file into lines ending in "\n" (the last one may lack it),
// reading in blocks; a line longer than kMaxLine is not kept.
class LineReader
{
public:
    enum class Result { Line, End, TooLong, Error };
    explicit LineReader(int fd) : fd_(fd) {}

    Result next(QByteArray* line)
    {
        for (;;) {
            const qsizetype end = buffer_.indexOf('\n', scanned_);
            if (end >= 0) {
                *line = buffer_.mid(start_, end + 1 - start_);
                start_ = scanned_ = end + 1;
                return Result::Line;
            }
            scanned_ = buffer_.size();
            if (buffer_.size() - start_ > kMaxLine)
                return Result::TooLong;
            if (atEnd_) {
                if (start_ == buffer_.size())
                    return Result::End;
                *line = buffer_.mid(start_);
                start_ = scanned_ = buffer_.size();
                return Result::Line;
            }
            buffer_.remove(0, start_);
            scanned_ -= start_;
            start_ = 0;
            const qsizetype had = buffer_.size();
            buffer_.resize(had + kBlock);
            ssize_t n;
            do
                n = ::read(fd_, buffer_.data() + had, kBlock);
            while (n < 0 && errno == EINTR);
            if (n < 0) {
                error_ = errno;
                return Result::Error;
            }
            buffer_.resize(had + n);
            atEnd_ = n == 0;
        }
    }
    int error() const { return error_; }

private:
    static constexpr qsizetype kBlock = qsizetype(64) * 1024;
    int fd_;
    QByteArray buffer_;
    qsizetype start_ = 0;
    qsizetype scanned_ = 0;
    bool atEnd_ = false;
    int error_ = 0;
};

struct Anchor
{
    qint64 end = 0;
    QByteArray sha256;
};

std::optional<Anchor> readAnchor(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    const std::optional<QByteArray> bytes = platform::readWholeFile(path, 4096);
    if (!bytes)
        return std::nullopt;
    const QList<QByteArray> fields = bytes->trimmed().split(' ');
    bool ok = false;
    Anchor anchor{fields.value(0).toLongLong(&ok), fields.value(1)};
    if (!ok || anchor.end <= 0 || !isHash(anchor.sha256))
        return std::nullopt;
    return anchor;
}

// The last line of the open log of `size` bytes (without its line end), and
// whether the log ends with a line end. False when it cannot be read, and
// (`tooLong`) when the last line is longer than any honest line.
bool lastLine(int fd, qint64 size, QByteArray* line, bool* terminated, bool* tooLong)
{
    *tooLong = false;
    qint64 from = qMax<qint64>(0, size - kTailBytes);
    for (;;) {
        QByteArray tail(size - from, Qt::Uninitialized);
        if (!readAt(fd, tail.data(), tail.size(), from))
            return false;
        *terminated = tail.endsWith('\n');
        const QByteArray content = *terminated ? lineContent(tail) : tail;
        const qsizetype start = content.lastIndexOf('\n');
        if (start >= 0 || from == 0) {
            *line = content.mid(start + 1);
            return true;
        }
        if (size - from > kMaxLine) {
            *tooLong = true;
            return false;
        }
        // A line longer than the tail: at most as long as a line may be.
        from = qMax<qint64>(0, size - kMaxLine - 2);
    }
}

// Takes the log's lock, trying without waiting for a while: another program
// saving into the same folder holds it for a moment only. False when it is
// still held after `waitMs` (`busy`) or cannot be taken.
bool lockLog(int fd, int waitMs, bool* busy)
{
    *busy = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return false;
        if (std::chrono::steady_clock::now() >= deadline) {
            *busy = true;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace

FileDigest digestFile(const QString& path)
{
    FileDigest digest;
    // Not blocking, so that a pipe chosen by mistake is refused instead of
    // waited on; regular files read the same either way.
    const int raw = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (raw < 0) {
        digest.error = readError(errno);
        return digest;
    }
    Fd fd(raw);
    struct stat st;
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        digest.error = QStringLiteral("不是普通文件");
        return digest;
    }
    Sha256 hash;
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(fd.get(), block.data(), static_cast<size_t>(block.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            digest.error = readError(errno);
            return digest;
        }
        if (n == 0)
            break;
        hash.add(QByteArrayView(block.constData(), n));
        digest.size += n;
    }
    digest.sha256 = hash.hex();
    digest.ok = !digest.sha256.isEmpty();
    if (!digest.ok)
        digest.error = QStringLiteral("无法计算校验值");
    return digest;
}

RecordLog::RecordLog(QString logFile, QString anchorFile)
    : file_(std::move(logFile)), anchor_(std::move(anchorFile))
{
}

QString RecordLog::timeText(const QDateTime& time)
{
    return time.toString(QString::fromLatin1(kTimeFormat));
}

bool RecordLog::append(const QDateTime& time, const QStringList& files, QString* error, QString* anchorError)
{
    const auto fail = [error](const QString& path, const QString& reason) {
        if (error)
            *error = path + QStringLiteral("：") + reason;
        return false;
    };
    // The files are read before the log is touched: a line names them all or
    // is not written.
    QByteArray fields;
    for (const QString& path : files) {
        const FileDigest d = digestFile(path);
        if (!d.ok)
            return fail(path, d.error);
        fields += '\t' + platform::encodeText(escapeName(QFileInfo(path).fileName())) + '\t' +
                  QByteArray::number(d.size) + '\t' + d.sha256;
    }

    // Never through a link planted in the log's place; a new log is the
    // officer's alone.
    const int raw = ::open(QFile::encodeName(file_).constData(),
                           O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (raw < 0)
        return fail(file_, errno == ELOOP ? platform::linkRefusal() : platform::describeErrno(errno));
    Fd fd(raw);
    // Two programs saving into one folder take turns; a lock held for
    // longer than a save takes does not hold the officer up.
    bool busy = false;
    if (!lockLog(fd.get(), lockWaitMs_, &busy))
        return fail(
            file_,
            busy ? QStringLiteral("笔录登记正被另一个程序占用，%1 秒后仍未释放").arg(lockWaitMs_ / 1000.0)
                 : platform::describeErrno(errno));
    struct stat st;
    if (::fstat(fd.get(), &st) != 0)
        return fail(file_, platform::describeErrno(errno));
    if (!S_ISREG(st.st_mode))
        return fail(file_, QStringLiteral("不是普通文件"));

    QByteArray previous = zeroHash();
    QByteArray out;
    if (st.st_size > 0) {
        QByteArray last;
        bool terminated = true;
        bool tooLong = false;
        if (!lastLine(fd.get(), st.st_size, &last, &terminated, &tooLong))
            return fail(file_, tooLong ? QStringLiteral("最后一行超过 1 MB，不是登记行")
                                       : QStringLiteral("无法读取最后一行"));
        // A line cut short by a crash is closed, never completed or removed:
        // the check tells it as an interrupted entry. Cut between its CR and
        // LF, it was whole.
        if (!terminated) {
            if (last.endsWith('\r')) {
                last.chop(1);
                out = "\n";
            } else {
                out = "\r\n";
            }
        }
        previous = sha256Hex(last);
    }
    const QByteArray line = timeText(time).toLatin1() + '\t' + previous + fields;
    out += line + "\r\n";
    if (!platform::writeAll(fd.get(), out) || ::fsync(fd.get()) != 0) {
        const int e = errno;
        // Only the bytes of this call are taken back, so that no half line stays.
        if (::ftruncate(fd.get(), st.st_size) == 0)
            ::fsync(fd.get());
        return fail(file_, platform::describeErrno(e));
    }
    // The new file's name reaches the disk too.
    if (st.st_size == 0)
        platform::syncFolderOf(file_);
    if (anchor_.isEmpty())
        return true;
    QString reason;
    platform::ensurePrivateDir(QFileInfo(anchor_).absolutePath());
    const QByteArray anchor =
        QByteArray::number(qint64(st.st_size) + out.size()) + ' ' + sha256Hex(line) + '\n';
    if (!platform::writeFileAtomically(anchor_, anchor, &reason, 0600) && anchorError)
        *anchorError = anchor_ + QStringLiteral("：") + reason;
    return true;
}

LogCheck RecordLog::check(const QString& name, const FileDigest* digest) const
{
    LogCheck result;
    const std::optional<Anchor> anchor = readAnchor(anchor_);
    const int raw = ::open(QFile::encodeName(file_).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (raw < 0) {
        const int e = errno;
        if (e == ENOENT) {
            result.chain = anchor ? LogCheck::Chain::MissingAnchored : LogCheck::Chain::Missing;
        } else {
            result.chain = LogCheck::Chain::Unreadable;
            result.error = readError(e);
        }
        return result;
    }
    Fd fd(raw);
    struct stat st;
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        result.chain = LogCheck::Chain::Unreadable;
        result.error = QStringLiteral("不是普通文件");
        return result;
    }

    const auto problem = [&result](LogCheck::Chain chain, int line) {
        if (result.chain == LogCheck::Chain::Intact) {
            result.chain = chain;
            result.line = line;
        }
    };
    LineReader reader(fd.get());
    QByteArray previous = zeroHash();
    QByteArray bytes;
    qint64 offset = 0;
    int n = 0;
    int anchorLine = 0;
    bool anchorOk = false;
    bool cutShort = false;
    QString lastTime;
    for (;;) {
        const LineReader::Result read = reader.next(&bytes);
        if (read == LineReader::Result::End)
            break;
        if (read == LineReader::Result::Error) {
            result.chain = LogCheck::Chain::Unreadable;
            result.error = readError(reader.error());
            return result;
        }
        ++n;
        if (read == LineReader::Result::TooLong) {
            problem(LogCheck::Chain::BadLine, n);
            cutShort = true;
            break;
        }
        const QByteArray content = lineContent(bytes);
        std::optional<ParsedLine> parsed;
        if (bytes.endsWith("\r\n"))
            parsed = parseLine(content, n);
        if (!parsed && isCutLine(content, previous))
            result.interrupted << n; // no file is logged by it; the chain goes on through it
        else if (!parsed)
            problem(LogCheck::Chain::BadLine, n);
        else if (parsed->previous != previous)
            problem(LogCheck::Chain::Unchained, n);
        if (parsed) {
            // Times are written as "yyyy-MM-dd HH:mm:ss": they compare as text.
            const QString time = parsed->files.constFirst().time;
            if (result.timeBackwards == 0 && time < lastTime)
                result.timeBackwards = n;
            lastTime = time;
            for (const LoggedFile& file : parsed->files) {
                if (!name.isEmpty() && file.name == name)
                    result.byName = file;
                if (digest && digest->ok && file.sha256 == digest->sha256 && file.size == digest->size)
                    result.byContent = file;
            }
        }
        previous = sha256Hex(content);
        offset += bytes.size();
        if (anchor && anchorLine == 0 && offset >= anchor->end) {
            anchorLine = n;
            anchorOk = offset == anchor->end && previous == anchor->sha256;
        }
    }
    result.lines = n;
    result.anchored = anchor.has_value();
    if (anchor && !cutShort) {
        if (anchorLine == 0)
            problem(LogCheck::Chain::Truncated, n);
        else if (!anchorOk)
            problem(LogCheck::Chain::AnchorChanged, anchorLine);
        else if (anchorLine < n)
            result.foreignFrom = anchorLine + 1; // this computer would have moved its anchor
    }
    return result;
}

} // namespace quillan::ledger
