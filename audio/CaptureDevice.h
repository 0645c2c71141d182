#pragma once

#include "audio/WavFile.h"

#include <QString>

namespace quillan::audio {

// Receives what a capture device records. Called on the device's capture
// thread, never on the user-interface thread.
class CaptureSink
{
public:
    virtual ~CaptureSink() = default;
    virtual void captured(const char* data, qsizetype size) = 0;
    // The input went away while capturing (unplugged, stream failed).
    virtual void deviceLost() = 0;
};

// Why a capture could not start.
enum class CaptureProblem { None, NoDevice, FormatUnsupported, OpenFailed };

// The desktop's default sound input.
class CaptureDevice
{
public:
    virtual ~CaptureDevice() = default;
    // Whether the default input takes `format`; opens nothing.
    virtual CaptureProblem check(const AudioFormat& format) = 0;
    // Opens the default input and starts capturing into `sink`.
    virtual CaptureProblem open(const AudioFormat& format, CaptureSink* sink) = 0;
    // Stops and restarts the capture; the input stays open. The capture
    // thread delivers nothing between the return of suspend and resume.
    virtual bool suspend() = 0;
    virtual bool resume() = 0;
    // Stops and closes the input. When it returns, the sink gets no more
    // calls. Nothing when the input is not open.
    virtual void close() = 0;
};

// Plays sound files asynchronously through the desktop's default output.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    // Reads the whole file and starts playing it `startMs` milliseconds into
    // the sound (the whole sample frames before that are skipped); returns at
    // once. False when the file cannot be read or played, or holds nothing
    // from `startMs` on.
    virtual bool play(const QString& path, qint64 startMs) = 0;
    // Ends any playback; nothing when none runs.
    virtual void stopAll() = 0;
};

} // namespace quillan::audio
