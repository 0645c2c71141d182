#include "audio/WavFile.h"

#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillan::audio {

namespace {

void put16(QByteArray& b, int offset, quint16 v) { qToLittleEndian(v, b.data() + offset); }
void put32(QByteArray& b, int offset, quint32 v) { qToLittleEndian(v, b.data() + offset); }
quint16 get16(QByteArrayView b, qsizetype offset) { return qFromLittleEndian<quint16>(b.data() + offset); }
quint32 get32(QByteArrayView b, qsizetype offset) { return qFromLittleEndian<quint32>(b.data() + offset); }

} // namespace

bool AudioFormat::isAccepted() const
{
    const bool channelsOk = channels == 1 || channels == 2;
    const bool rateOk = sampleRate == 8000 || sampleRate == 11025 || sampleRate == 22050 || sampleRate == 44100;
    const bool bitsOk = bits == 8 || bits == 16;
    return channelsOk && rateOk && bitsOk;
}

QByteArray wavHeader(const AudioFormat& format, quint32 dataLength)
{
    QByteArray h(kWavHeaderSize, '\0');
    h.replace(0, 4, "RIFF");
    put32(h, 4, dataLength + 36);
    h.replace(8, 8, "WAVEfmt ");
    put32(h, 16, 16);
    put16(h, 20, 1);
    put16(h, 22, static_cast<quint16>(format.channels));
    put32(h, 24, static_cast<quint32>(format.sampleRate));
    put32(h, 28, static_cast<quint32>(format.bytesPerSecond()));
    put16(h, 32, static_cast<quint16>(format.blockAlign()));
    put16(h, 34, static_cast<quint16>(format.bits));
    h.replace(36, 4, "data");
    put32(h, 40, dataLength);
    return h;
}

std::optional<WavLayout> parseWav(QByteArrayView file)
{
    if (file.size() < 12 || file.first(4) != "RIFF" || file.sliced(8, 4) != "WAVE")
        return std::nullopt;
    std::optional<WavLayout> layout;
    bool haveFormat = false;
    WavLayout l;
    qsizetype pos = 12;
    while (pos + 8 <= file.size()) {
        const QByteArrayView id = file.sliced(pos, 4);
        const qsizetype size = get32(file, pos + 4);
        const qsizetype body = pos + 8;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > file.size())
                return std::nullopt;
            const quint16 tag = get16(file, body);
            l.format.channels = get16(file, body + 2);
            l.format.sampleRate = static_cast<int>(get32(file, body + 4));
            l.format.bits = get16(file, body + 14);
            l.floatSamples = tag == 3;
            const bool bitsOk = l.floatSamples ? l.format.bits == 32
                                               : (l.format.bits == 8 || l.format.bits == 16 || l.format.bits == 32);
            if ((tag != 1 && tag != 3 && tag != 0xFFFE) || !bitsOk || l.format.channels < 1 ||
                l.format.channels > 8 || l.format.sampleRate < 1000 || l.format.sampleRate > 384000)
                return std::nullopt;
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return std::nullopt;
            l.dataOffset = body;
            l.dataLength = qMin(size, file.size() - body);
            l.dataLength -= l.dataLength % l.format.blockAlign();
            layout = l;
            break;
        }
        pos = body + size + (size & 1);
    }
    return layout;
}

bool writeWavFile(const QString& path, const AudioFormat& format, quint32 dataLength,
                  const std::function<QByteArrayView()>& nextBlock, QString* error)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo info(path);
    if (info.fileName().isEmpty())
        return fail(platform::describeErrno(EINVAL));
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    QByteArray pattern =
        QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
    struct stat old {};
    const bool hadOld = ::stat(target.constData(), &old) == 0;
    if (hadOld && S_ISDIR(old.st_mode))
        return fail(platform::describeErrno(EISDIR));

    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return fail(platform::describeErrno(errno));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = hadOld ? (old.st_mode & 07777) : (0666 & ~mask);
    bool ok = ::fchmod(fd, mode) == 0 && platform::writeAll(fd, wavHeader(format, dataLength));
    qint64 written = 0;
    while (ok) {
        QByteArrayView block = nextBlock();
        if (block.isEmpty())
            break;
        if (written + block.size() > dataLength)
            block = block.first(dataLength - written);
        ok = platform::writeAll(fd, block);
        written += block.size();
        if (written >= dataLength)
            break;
    }
    ok = ok && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(pattern.constData(), target.constData()) == 0)
        return true;
    const int why = ok ? errno : (savedErrno ? savedErrno : errno);
    ::unlink(pattern.constData());
    return fail(platform::describeErrno(why));
}

} // namespace quillan::audio
