#include "doubles/AudioDoubles.h"

namespace quillan::audio {

CaptureProblem ScriptedCapture::check(const AudioFormat& format)
{
    std::lock_guard guard(lock_);
    calls_ << QStringLiteral("check %1/%2/%3").arg(format.channels).arg(format.sampleRate).arg(format.bits);
    return checkResult;
}

CaptureProblem ScriptedCapture::open(const AudioFormat& format, CaptureSink* sink)
{
    std::lock_guard guard(lock_);
    calls_ << QStringLiteral("open %1/%2/%3").arg(format.channels).arg(format.sampleRate).arg(format.bits);
    if (openResult != CaptureProblem::None)
        return openResult;
    sink_ = sink;
    suspended_ = false;
    return CaptureProblem::None;
}

bool ScriptedCapture::suspend()
{
    std::lock_guard guard(lock_);
    calls_ << QStringLiteral("suspend");
    suspended_ = true;
    return sink_ != nullptr;
}

bool ScriptedCapture::resume()
{
    std::lock_guard guard(lock_);
    calls_ << QStringLiteral("resume");
    suspended_ = false;
    return sink_ != nullptr;
}

void ScriptedCapture::close()
{
    std::lock_guard guard(lock_);
    calls_ << QStringLiteral("close");
    sink_ = nullptr;
}

void ScriptedCapture::feed(const QByteArray& bytes)
{
    std::lock_guard guard(lock_);
    if (sink_ && !suspended_)
        sink_->captured(bytes.constData(), bytes.size());
}

void ScriptedCapture::loseDevice()
{
    std::lock_guard guard(lock_);
    if (sink_)
        sink_->deviceLost();
}

QStringList ScriptedCapture::calls() const
{
    std::lock_guard guard(lock_);
    return calls_;
}

bool ScriptedCapture::isOpen() const
{
    std::lock_guard guard(lock_);
    return sink_ != nullptr;
}

} // namespace quillan::audio
