#pragma once

#include "audio/CaptureDevice.h"

#include <QStringList>

#include <mutex>

namespace quillan::audio {

// A capture device driven by the caller: `feed` plays the capture thread.
// Records the calls it gets.
class ScriptedCapture final : public CaptureDevice
{
public:
    CaptureProblem check(const AudioFormat& format) override;
    CaptureProblem open(const AudioFormat& format, CaptureSink* sink) override;
    bool suspend() override;
    bool resume() override;
    void close() override;

    // Delivers bytes as the capture thread would; nothing unless open and
    // not suspended (as a corked stream).
    void feed(const QByteArray& bytes);
    void loseDevice();

    CaptureProblem checkResult = CaptureProblem::None;
    CaptureProblem openResult = CaptureProblem::None;
    QStringList calls() const;
    bool isOpen() const;

private:
    mutable std::mutex lock_;
    CaptureSink* sink_ = nullptr;
    bool suspended_ = false;
    QStringList calls_;
};

// A player that only records what it was asked.
class RecordingPlayer final : public SoundPlayer
{
public:
    bool play(const QString& path, qint64 startMs) override
    {
        calls << QStringLiteral("play ") + path +
                     (startMs == 0 ? QString() : QStringLiteral(" from %1 ms").arg(startMs));
        return true;
    }
    void stopAll() override { calls << QStringLiteral("stopAll"); }
    QStringList calls;
};

} // namespace quillan::audio
