#include "audio/qt/QtCaptureDevice.h"

#include "platform/AtomicFile.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QAudioSource>
#include <QBuffer>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>

namespace quillan::audio {

namespace {

QAudioFormat qtFormat(const AudioFormat& f, bool floatSamples = false)
{
    QAudioFormat q;
    q.setChannelCount(f.channels);
    q.setSampleRate(f.sampleRate);
    if (floatSamples)
        q.setSampleFormat(QAudioFormat::Float);
    else if (f.bits == 8)
        q.setSampleFormat(QAudioFormat::UInt8);
    else if (f.bits == 32)
        q.setSampleFormat(QAudioFormat::Int32);
    else
        q.setSampleFormat(QAudioFormat::Int16);
    return q;
}

// Where the audio source writes: hands every byte to the sink.
class SinkDevice final : public QIODevice
{
public:
    explicit SinkDevice(CaptureSink* sink) : sink_(sink)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        sink_->captured(data, size);
        return size;
    }

private:
    CaptureSink* sink_;
};

} // namespace

// Lives on the capture thread; owns the audio source there.
class CaptureWorker final : public QObject
{
public:
    CaptureProblem open(const AudioFormat& format, CaptureSink* sink)
    {
        close();
        const QAudioDevice device = QMediaDevices::defaultAudioInput();
        if (device.isNull())
            return CaptureProblem::NoDevice;
        const QAudioFormat f = qtFormat(format);
        if (!device.isFormatSupported(f))
            return CaptureProblem::FormatUnsupported;
        deviceId_ = device.id();
        sink_ = sink;
        source_ = new QAudioSource(device, f, this);
        // The server hands over 100 ms at a time (at 16000 bytes per
        // second): what is still in its buffer when the recording stops is
        // lost, so it is kept short; the recorder cuts 4096-byte chunks.
        source_->setBufferSize(kDeviceBuffer);
        target_ = new SinkDevice(sink);
        target_->setParent(this);
        QObject::connect(source_, &QAudioSource::stateChanged, this, [this](QAudio::State state) {
            if (state == QAudio::StoppedState && source_ && source_->error() != QAudio::NoError && !closing_)
                lose();
        });
        source_->start(target_);
        if (source_->error() != QAudio::NoError || source_->state() == QAudio::StoppedState) {
            close();
            return CaptureProblem::OpenFailed;
        }
        return CaptureProblem::None;
    }

    bool suspend()
    {
        if (!source_)
            return false;
        source_->suspend();
        return source_->error() == QAudio::NoError;
    }

    bool resume()
    {
        if (!source_)
            return false;
        source_->resume();
        return source_->error() == QAudio::NoError;
    }

    void close()
    {
        closing_ = true;
        if (source_) {
            source_->stop();
            delete source_;
        }
        source_ = nullptr;
        delete target_;
        target_ = nullptr;
        sink_ = nullptr;
        lost_ = false;
        closing_ = false;
    }

    static constexpr int kDeviceBuffer = 1600;

    // The list of inputs changed: the open one may be gone.
    void inputsChanged(const QList<QByteArray>& present)
    {
        if (source_ && !present.contains(deviceId_))
            lose();
    }

private:
    void lose()
    {
        if (sink_ && !lost_) {
            lost_ = true;
            sink_->deviceLost();
        }
    }

    QAudioSource* source_ = nullptr;
    SinkDevice* target_ = nullptr;
    CaptureSink* sink_ = nullptr;
    QByteArray deviceId_;
    bool closing_ = false;
    bool lost_ = false;
};

QtCaptureDevice::QtCaptureDevice()
{
    thread_.setObjectName(QStringLiteral("capture"));
    worker_ = new CaptureWorker;
    worker_->moveToThread(&thread_);
}

void QtCaptureDevice::watchInputs()
{
    // The device list is followed on the user-interface thread, where the
    // sound system reports its changes; Qt 6.4 does not signal every change
    // (a removed PulseAudio source), so it is also looked at every second
    // while the input is open. Made at the first recording: the sound
    // server is not contacted before the officer records.
    if (devices_)
        return;
    devices_ = new QMediaDevices;
    const auto lookAtInputs = [this] {
        QList<QByteArray> present;
        for (const QAudioDevice& d : QMediaDevices::audioInputs())
            present << d.id();
        QMetaObject::invokeMethod(worker_, [this, present] { worker_->inputsChanged(present); });
    };
    QObject::connect(devices_, &QMediaDevices::audioInputsChanged, devices_, lookAtInputs);
    watch_ = new QTimer(devices_);
    watch_->setInterval(1000);
    QObject::connect(watch_, &QTimer::timeout, devices_, lookAtInputs);
}

QtCaptureDevice::~QtCaptureDevice()
{
    close();
    delete devices_;
    thread_.quit();
    thread_.wait();
    delete worker_;
}

CaptureProblem QtCaptureDevice::check(const AudioFormat& format)
{
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull())
        return CaptureProblem::NoDevice;
    return device.isFormatSupported(qtFormat(format)) ? CaptureProblem::None
                                                      : CaptureProblem::FormatUnsupported;
}

CaptureProblem QtCaptureDevice::open(const AudioFormat& format, CaptureSink* sink)
{
    // The capture thread starts with the first recording, not with the
    // program.
    if (!thread_.isRunning())
        thread_.start();
    CaptureProblem result = CaptureProblem::OpenFailed;
    QMetaObject::invokeMethod(
        worker_, [this, format, sink] { return worker_->open(format, sink); }, Qt::BlockingQueuedConnection,
        &result);
    if (result == CaptureProblem::None) {
        watchInputs();
        watch_->start();
    }
    return result;
}

bool QtCaptureDevice::suspend()
{
    // Without the thread nothing was ever opened.
    if (!thread_.isRunning())
        return false;
    bool ok = false;
    QMetaObject::invokeMethod(
        worker_, [this] { return worker_->suspend(); }, Qt::BlockingQueuedConnection, &ok);
    return ok;
}

bool QtCaptureDevice::resume()
{
    if (!thread_.isRunning())
        return false;
    bool ok = false;
    QMetaObject::invokeMethod(
        worker_, [this] { return worker_->resume(); }, Qt::BlockingQueuedConnection, &ok);
    return ok;
}

void QtCaptureDevice::close()
{
    if (watch_)
        watch_->stop();
    if (!thread_.isRunning())
        return;
    QMetaObject::invokeMethod(
        worker_, [this] { worker_->close(); }, Qt::BlockingQueuedConnection);
}

struct QtSoundPlayer::Playback
{
    QByteArray samples;
    QBuffer buffer;
    QAudioSink* sink = nullptr;
    ~Playback()
    {
        if (sink) {
            sink->stop();
            delete sink;
        }
    }
};

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer()
{
    stopAll();
}

bool QtSoundPlayer::play(const QString& path, qint64 startMs)
{
    stopAll();
    const std::optional<QByteArray> file = platform::readWholeFile(path);
    if (!file)
        return false;
    const std::optional<WavLayout> layout = parseWav(*file);
    if (!layout)
        return false;
    const qint64 frames = layout->dataLength / layout->format.blockAlign();
    const qint64 skipped = qBound<qint64>(0, startMs * layout->format.sampleRate / 1000, frames);
    if (skipped == frames)
        return false;
    const qsizetype skippedBytes = skipped * layout->format.blockAlign();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    const QAudioFormat format = qtFormat(layout->format, layout->floatSamples);
    if (device.isNull() || !device.isFormatSupported(format))
        return false;
    auto* p = new Playback;
    p->samples = file->mid(layout->dataOffset + skippedBytes, layout->dataLength - skippedBytes);
    p->buffer.setData(p->samples);
    p->buffer.open(QIODevice::ReadOnly);
    p->sink = new QAudioSink(device, format);
    // The end of the sound ends the playback.
    QObject::connect(p->sink, &QAudioSink::stateChanged, p->sink, [this, p](QAudio::State state) {
        if (state == QAudio::IdleState && current_ == p)
            p->sink->stop();
    });
    p->sink->start(&p->buffer);
    if (p->sink->error() != QAudio::NoError) {
        delete p;
        return false;
    }
    current_ = p;
    return true;
}

void QtSoundPlayer::stopAll()
{
    delete current_;
    current_ = nullptr;
}

} // namespace quillan::audio
