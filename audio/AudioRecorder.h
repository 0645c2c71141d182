#pragma once

#include "audio/CaptureDevice.h"
#include "audio/WavFile.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <mutex>
#include <vector>

namespace quillan::audio {

// Captures the default sound input into memory and writes it out as a WAV
// file. The capture thread hands its bytes to the recorder, which cuts them
// into 4096-byte chunks and appends each completed chunk, under a lock, to
// the chunk list and to the recovery file; pausing and stopping hand over the
// chunk in progress with what it holds.
//
// The recovery file (mode 0600) is a WAV file whose header is brought up to
// date and flushed to disk after every two seconds of audio and at every
// pause and stop, so that a crash loses at most that much. A successful save
// and `discard` remove it.
class AudioRecorder final : private CaptureSink
{
public:
    static constexpr qsizetype kChunkSize = 4096;

    // `recoveryPath` empty: no recovery file.
    AudioRecorder(CaptureDevice& device, QString recoveryPath);
    ~AudioRecorder() override;
    AudioRecorder(const AudioRecorder&) = delete;
    AudioRecorder& operator=(const AudioRecorder&) = delete;

    // The format of the next capture. Accepts the formats of
    // AudioFormat::isAccepted; anything else is refused and the format
    // stays. The audio held keeps the format it was captured in (or read
    // from the recovery file in); a recovery sets both.
    bool setFormat(int channels, int sampleRate, int bits);
    AudioFormat format() const { return format_; }
    AudioFormat heldFormat() const { return heldFormat_; }

    // Asks the default input whether it takes the format, opens it, empties
    // the chunk list and starts capturing. A capture in progress is stopped
    // first. On failure the audio held so far stays, with its format.
    CaptureProblem start();
    bool pause();
    bool resume();
    // Ends the capture and closes the input; the audio stays.
    bool stop();
    bool isOpen() const { return open_; }

    // While a capture is open (running or paused): notes the sample frame the
    // audio held so far reaches, under `label`, unless the label is marked
    // already; true. False when no capture is open. Pauses add no audio, so
    // they do not count. A start, `discard` and a recovery forget the marks;
    // the recovery file does not hold them.
    bool mark(const QString& label);
    // The marks of the audio held, in the order they were made.
    QList<WavCue> marks() const;

    // Stops a running capture, then writes the audio held (whole sample
    // frames, in capture order) as a WAV file, with the marks as its
    // markers. With `overwrite` false an existing file is left alone and
    // false returned. On success the recovery file is removed.
    bool saveWav(const QString& path, bool overwrite, QString* error = nullptr);

    // Bytes in the chunk list.
    qint64 heldBytes() const;
    // Bytes captured since start, also those not yet in a completed chunk.
    qint64 capturedBytes() const { return captured_.load(); }
    // The input went away during the capture; cleared by the next start.
    bool deviceWasLost() const { return lost_.load(); }
    // The recovery copy of the capture could not be written (a full disk):
    // the recording goes on, but a crash would lose it. Cleared by the next
    // start.
    bool recoveryCopyLost() const { return recoveryLost_.load(); }

    // Stops a capture and forgets the audio; removes the recovery file.
    void discard();

    // Takes the audio of a recovery file that an earlier program left into
    // the chunk list; the file becomes this recorder's recovery file and
    // stays until saved or discarded. False, and the file removed, when it
    // holds no audio; false when there is none.
    bool loadRecovery(const QString& leftFile);
    QString recoveryPath() const { return recoveryPath_; }

private:
    void captured(const char* data, qsizetype size) override;
    void deviceLost() override;
    // Under the lock: moves the chunk in progress to the list.
    void completeChunkLocked();
    void openRecoveryLocked();
    void syncRecoveryLocked();
    void closeRecoveryLocked();

    CaptureDevice& device_;
    const QString recoveryPath_;
    AudioFormat format_;
    AudioFormat heldFormat_; // of the chunk list and the recovery file
    bool open_ = false;

    mutable std::mutex lock_;
    std::vector<QByteArray> chunks_; // guarded by lock_
    qint64 held_ = 0;                // guarded by lock_
    QByteArray current_;             // guarded by lock_; the chunk in progress
    QList<WavCue> marks_;            // guarded by lock_
    int recoveryFd_ = -1;            // guarded by lock_
    bool accepting_ = false;         // guarded by lock_; the capture is ours
    qint64 recoveryData_ = 0;        // guarded by lock_
    qint64 unsynced_ = 0;            // guarded by lock_
    std::atomic<qint64> captured_{0};
    std::atomic<bool> lost_{false};
    std::atomic<bool> recoveryLost_{false};
};

} // namespace quillan::audio
