#pragma once

#include "audio/CaptureDevice.h"

#include <QThread>

class QMediaDevices;
class QTimer;

namespace quillan::audio {

class CaptureWorker;

// The desktop's default sound input through Qt Multimedia (PulseAudio or
// PipeWire). The input is read on a capture thread of its own, so a busy
// user-interface thread (a long document operation, a message box) never
// makes the recording drop audio; the thread starts with the first open().
// Every call blocks until the capture thread has carried it out.
class QtCaptureDevice final : public CaptureDevice
{
public:
    QtCaptureDevice();
    ~QtCaptureDevice() override;

    CaptureProblem check(const AudioFormat& format) override;
    CaptureProblem open(const AudioFormat& format, CaptureSink* sink) override;
    bool suspend() override;
    bool resume() override;
    void close() override;

private:
    void watchInputs();

    QThread thread_;
    CaptureWorker* worker_ = nullptr;
    QMediaDevices* devices_ = nullptr;
    QTimer* watch_ = nullptr;
};

// Plays WAV files (PCM, or 32-bit float) through Qt Multimedia on the
// desktop's default output.
class QtSoundPlayer final : public SoundPlayer
{
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    bool play(const QString& path, qint64 startMs) override;
    void stopAll() override;

private:
    struct Playback;
    Playback* current_ = nullptr;
};

} // namespace quillan::audio
