#include "audio/AudioRecorder.h"

#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillan::audio {

AudioRecorder::AudioRecorder(CaptureDevice& device, QString recoveryPath)
    : device_(device), recoveryPath_(std::move(recoveryPath))
{
}

AudioRecorder::~AudioRecorder()
{
    // The recovery file stays, whole: the audio was not saved. A running
    // capture ends as a stop ends it, with the chunk in progress and the
    // header's sizes on disk.
    stop();
    std::lock_guard guard(lock_);
    closeRecoveryLocked();
}

bool AudioRecorder::setFormat(int channels, int sampleRate, int bits)
{
    const AudioFormat f{channels, sampleRate, bits};
    if (!f.isAccepted())
        return false;
    format_ = f;
    return true;
}

CaptureProblem AudioRecorder::start()
{
    const CaptureProblem checked = device_.check(format_);
    if (checked != CaptureProblem::None)
        return checked;
    // A capture in progress ends as a stop ends it, with the chunk in
    // progress kept. The audio held so far is only replaced once the input
    // is open: a failed start loses nothing.
    stop();
    const CaptureProblem opened = device_.open(format_, this);
    if (opened != CaptureProblem::None)
        return opened;
    open_ = true;
    std::lock_guard guard(lock_);
    closeRecoveryLocked();
    heldFormat_ = format_;
    chunks_.clear();
    held_ = 0;
    current_.clear();
    marks_.clear();
    captured_ = 0;
    lost_ = false;
    recoveryLost_ = false;
    openRecoveryLocked();
    recoveryLost_ = !recoveryPath_.isEmpty() && recoveryFd_ < 0;
    accepting_ = true;
    return CaptureProblem::None;
}

bool AudioRecorder::pause()
{
    if (!open_ || !device_.suspend())
        return false;
    std::lock_guard guard(lock_);
    completeChunkLocked();
    syncRecoveryLocked();
    return true;
}

bool AudioRecorder::resume()
{
    return open_ && device_.resume();
}

bool AudioRecorder::stop()
{
    if (!open_)
        return false;
    device_.close();
    open_ = false;
    std::lock_guard guard(lock_);
    accepting_ = false;
    completeChunkLocked();
    syncRecoveryLocked();
    closeRecoveryLocked();
    return true;
}

void AudioRecorder::captured(const char* data, qsizetype size)
{
    std::lock_guard guard(lock_);
    if (!accepting_)
        return;
    captured_ += size;
    while (size > 0) {
        if (current_.capacity() < kChunkSize)
            current_.reserve(kChunkSize);
        const qsizetype take = qMin(size, kChunkSize - current_.size());
        current_.append(data, take);
        data += take;
        size -= take;
        if (current_.size() == kChunkSize)
            completeChunkLocked();
    }
}

void AudioRecorder::deviceLost()
{
    lost_ = true;
}

void AudioRecorder::completeChunkLocked()
{
    if (current_.isEmpty())
        return;
    if (recoveryFd_ >= 0) {
        if (platform::writeAll(recoveryFd_, current_)) {
            recoveryData_ += current_.size();
            unsynced_ += current_.size();
            if (unsynced_ >= 2 * qint64(heldFormat_.bytesPerSecond()))
                syncRecoveryLocked();
        } else {
            // A full disk ends the recovery copy, not the recording.
            closeRecoveryLocked();
            recoveryLost_ = true;
        }
    }
    held_ += current_.size();
    chunks_.push_back(std::move(current_));
    current_ = QByteArray();
}

void AudioRecorder::openRecoveryLocked()
{
    if (recoveryPath_.isEmpty())
        return;
    const QByteArray name = QFile::encodeName(recoveryPath_);
    ::unlink(name.constData());
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return;
    const QByteArray header = wavHeader(heldFormat_, 0);
    if (::fchmod(fd, 0600) != 0 || !platform::writeAll(fd, header)) {
        ::close(fd);
        ::unlink(name.constData());
        return;
    }
    recoveryFd_ = fd;
    recoveryData_ = 0;
    unsynced_ = 0;
}

void AudioRecorder::syncRecoveryLocked()
{
    if (recoveryFd_ < 0)
        return;
    // The sizes of the header, so that the file is a whole WAV file as it
    // stands.
    const quint32 length = static_cast<quint32>(qMin<qint64>(recoveryData_, 0xFFFFFFFFLL - 36));
    char le[4];
    qToLittleEndian(length + 36, le);
    bool ok = ::pwrite(recoveryFd_, le, 4, 4) == 4;
    qToLittleEndian(length, le);
    ok = ok && ::pwrite(recoveryFd_, le, 4, 40) == 4;
    ok = ok && ::fdatasync(recoveryFd_) == 0;
    if (!ok) {
        closeRecoveryLocked();
        recoveryLost_ = true;
    }
    unsynced_ = 0;
}

void AudioRecorder::closeRecoveryLocked()
{
    if (recoveryFd_ >= 0)
        ::close(recoveryFd_);
    recoveryFd_ = -1;
}

bool AudioRecorder::mark(const QString& label)
{
    if (!open_)
        return false;
    std::lock_guard guard(lock_);
    for (const WavCue& m : marks_)
        if (m.label == label)
            return true;
    const qint64 bytes = held_ + current_.size();
    marks_.append(
        WavCue{static_cast<quint32>(qMin<qint64>(bytes / heldFormat_.blockAlign(), 0xFFFFFFFFLL)), label});
    return true;
}

QList<WavCue> AudioRecorder::marks() const
{
    std::lock_guard guard(lock_);
    return marks_;
}

qint64 AudioRecorder::heldBytes() const
{
    std::lock_guard guard(lock_);
    return held_;
}

bool AudioRecorder::saveWav(const QString& path, bool overwrite, QString* error)
{
    if (!overwrite && QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("文件已经存在");
        return false;
    }
    if (open_)
        stop();
    // The input is closed: no capture thread touches the list any more.
    std::lock_guard guard(lock_);
    const int blockAlign = heldFormat_.blockAlign();
    qint64 length = held_ - held_ % blockAlign;
    // The markers and a pad byte after the samples count towards the 4 GB.
    const qint64 room = 0xFFFFFFFFLL - 36 - 1 - cueChunks(marks_).size();
    length = qMin<qint64>(length, room - room % blockAlign);
    QList<WavCue> marks;
    for (const WavCue& m : marks_)
        if (qint64(m.frame) * blockAlign <= length)
            marks << m;
    std::size_t next = 0;
    const bool ok = writeWavFile(
        path, heldFormat_, static_cast<quint32>(length),
        [this, &next]() -> QByteArrayView {
            return next < chunks_.size() ? QByteArrayView(chunks_[next++]) : QByteArrayView();
        },
        error, marks);
    if (ok && !recoveryPath_.isEmpty()) {
        closeRecoveryLocked();
        QFile::remove(recoveryPath_);
    }
    return ok;
}

void AudioRecorder::discard()
{
    if (open_) {
        device_.close();
        open_ = false;
    }
    std::lock_guard guard(lock_);
    accepting_ = false;
    closeRecoveryLocked();
    chunks_.clear();
    held_ = 0;
    current_.clear();
    marks_.clear();
    captured_ = 0;
    if (!recoveryPath_.isEmpty())
        QFile::remove(recoveryPath_);
}

bool AudioRecorder::loadRecovery(const QString& leftFile)
{
    if (recoveryPath_.isEmpty() || open_)
        return false;
    // The left file becomes this recorder's recovery file.
    if (leftFile != recoveryPath_) {
        if (!QFileInfo::exists(leftFile))
            return false;
        QFile::remove(recoveryPath_);
        if (!QFile::rename(leftFile, recoveryPath_))
            return false;
    }
    if (!QFileInfo::exists(recoveryPath_))
        return false;
    QFile file(recoveryPath_);
    char header[kWavHeaderSize] = {};
    // The header's sizes may lag behind the samples written after the last
    // flush: the file's length counts.
    AudioFormat f;
    bool usable = file.open(QIODevice::ReadOnly) && file.read(header, kWavHeaderSize) == kWavHeaderSize &&
                  QByteArrayView(header, 4) == "RIFF" && QByteArrayView(header + 36, 4) == "data";
    if (usable) {
        f.channels = qFromLittleEndian<quint16>(header + 22);
        f.sampleRate = static_cast<int>(qFromLittleEndian<quint32>(header + 24));
        f.bits = qFromLittleEndian<quint16>(header + 34);
        usable = f.isAccepted();
    }
    std::lock_guard guard(lock_);
    chunks_.clear();
    held_ = 0;
    current_.clear();
    marks_.clear();
    if (usable) {
        for (;;) {
            QByteArray chunk = file.read(kChunkSize);
            if (chunk.isEmpty())
                break;
            held_ += chunk.size();
            chunks_.push_back(std::move(chunk));
        }
    }
    captured_ = held_;
    if (held_ < f.blockAlign()) {
        file.close();
        QFile::remove(recoveryPath_);
        chunks_.clear();
        held_ = 0;
        return false;
    }
    format_ = heldFormat_ = f;
    return true;
}

} // namespace quillan::audio
