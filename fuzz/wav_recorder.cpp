// A recording driven by a script taken from the input: formats, captures of
// any size, pauses, stops, restarts, failed starts, saves and ends of the
// program followed by a recovery. After each step the files on disk must hold
// exactly the audio captured: the saved WAV file and the recovery file have
// header sizes that match their data, and their samples are the captured
// bytes in capture order.
//
// The script: one byte of flags (bit 0: with a recovery file), then steps of
// one byte each, some followed by arguments:
//   0 n1 n2   capture n1 + 256 * n2 bytes        1 n    capture n bytes
//   2         pause                              3      resume
//   4         stop                               5 f    set format f
//   6         start                              7      start that cannot open
//   8         save                               9      end, then recover
// A format byte f: bit 0 two channels, bits 1-2 the rate, bit 3 16 bits.
#include "FuzzSupport.h"
#include "audio/AudioRecorder.h"
#include "doubles/AudioDoubles.h"

#include <QFileInfo>
#include <QtEndian>

#include <memory>

using namespace quillan;
using audio::AudioFormat;
using audio::AudioRecorder;
using audio::CaptureProblem;

namespace {

constexpr qsizetype kMaxCaptured = 256 * 1024; // per input, so that a run stays quick

// What the recorder must hold after each step.
struct Model
{
    bool open = false;
    bool suspended = false;
    AudioFormat recorded;      // the format of the audio held
    QByteArray captured;       // the audio held, also the chunk in progress
    qsizetype completed = 0;   // bytes in completed chunks
    bool recoveryFile = false; // a recovery file should exist
};

AudioFormat formatOf(quint8 f)
{
    static constexpr int rates[] = {8000, 11025, 22050, 44100};
    return AudioFormat{1 + (f & 1), rates[(f >> 1) & 3], (f & 8) ? 16 : 8};
}

// Distinct bytes for each position of a capture, so that a lost, repeated or
// reordered block shows.
QByteArray sound(qsizetype size, quint32& seed)
{
    QByteArray b(size, '\0');
    for (qsizetype i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        b[i] = static_cast<char>(seed >> 24);
    }
    return b;
}

quint32 le32(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}
quint16 le16(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A whole WAV file of `format` holding `samples`, with sizes that match. A
// recovery file may end in part of a sample frame, which readers leave out.
void checkWav(const QByteArray& file, const AudioFormat& format, const QByteArray& samples)
{
    FUZZ_CHECK(file.size() == audio::kWavHeaderSize + samples.size());
    FUZZ_CHECK(file.startsWith("RIFF") && file.mid(8, 8) == "WAVEfmt " && file.mid(36, 4) == "data");
    FUZZ_CHECK(le32(file, 4) == quint32(file.size() - 8));
    FUZZ_CHECK(le32(file, 40) == quint32(samples.size()));
    FUZZ_CHECK(le16(file, 20) == 1 && le16(file, 22) == format.channels &&
               le32(file, 24) == quint32(format.sampleRate));
    FUZZ_CHECK(le16(file, 32) == format.blockAlign() && le16(file, 34) == format.bits);
    FUZZ_CHECK(le32(file, 28) == quint32(format.bytesPerSecond()));
    FUZZ_CHECK(file.sliced(audio::kWavHeaderSize) == samples);
    const std::optional<audio::WavLayout> layout = audio::parseWav(file);
    FUZZ_CHECK(layout && layout->format == format && layout->dataOffset == audio::kWavHeaderSize &&
               layout->dataLength == samples.size() - samples.size() % format.blockAlign());
}

// The recovery file holds the completed chunks; its header is up to date
// right after a pause or a stop and never claims more than the file holds.
void checkRecovery(const QString& path, const Model& m, bool synced)
{
    FUZZ_CHECK(QFileInfo::exists(path) == m.recoveryFile);
    if (!m.recoveryFile)
        return;
    const QByteArray file = readAll(path);
    const QByteArray samples = m.captured.first(m.completed);
    if (synced) {
        checkWav(file, m.recorded, samples);
        return;
    }
    FUZZ_CHECK(file.size() == audio::kWavHeaderSize + samples.size());
    FUZZ_CHECK(file.sliced(audio::kWavHeaderSize) == samples);
    FUZZ_CHECK(le32(file, 40) <= quint32(samples.size()) && le32(file, 4) == le32(file, 40) + 36);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    QDir(fuzz::scratch().path()).removeRecursively();
    QDir().mkpath(fuzz::scratch().path());
    const bool withRecovery = data[0] & 1;
    const QString recoveryPath =
        withRecovery ? fuzz::scratch().filePath(QStringLiteral("unsaved.wav")) : QString();
    const QString savePath = fuzz::scratch().filePath(QStringLiteral("录音.wav"));

    audio::ScriptedCapture device;
    auto recorder = std::make_unique<AudioRecorder>(device, recoveryPath);
    Model m;
    AudioFormat requested;
    quint32 seed = 1;
    qsizetype fed = 0;
    size_t pos = 1;
    const auto arg = [&]() -> quint8 { return pos < size ? data[pos++] : 0; };

    while (pos < size) {
        const quint8 step = data[pos++] % 10;
        bool synced = false;
        switch (step) {
        case 0:
        case 1: {
            qsizetype n = arg();
            if (step == 0)
                n += 256 * arg();
            n = qMin(n, kMaxCaptured - fed);
            fed += n;
            const QByteArray bytes = sound(n, seed);
            device.feed(bytes);
            if (m.open && !m.suspended) {
                const qsizetype inProgress = m.captured.size() - m.completed;
                m.captured += bytes;
                m.completed += (inProgress + n) / AudioRecorder::kChunkSize * AudioRecorder::kChunkSize;
            }
            break;
        }
        case 2:
            FUZZ_CHECK(recorder->pause() == m.open);
            if (m.open) {
                m.suspended = true;
                m.completed = m.captured.size();
                synced = true;
            }
            break;
        case 3:
            FUZZ_CHECK(recorder->resume() == m.open);
            m.suspended = false;
            break;
        case 4:
            FUZZ_CHECK(recorder->stop() == m.open);
            if (m.open) {
                m.completed = m.captured.size();
                synced = true;
            }
            m.open = m.suspended = false;
            break;
        case 5: {
            const AudioFormat f = formatOf(arg());
            FUZZ_CHECK(recorder->setFormat(f.channels, f.sampleRate, f.bits));
            requested = f;
            break;
        }
        case 6:
            FUZZ_CHECK(recorder->start() == CaptureProblem::None);
            FUZZ_CHECK(device.isOpen());
            m = Model{true, false, requested, QByteArray(), 0, withRecovery};
            synced = true;
            break;
        case 7: {
            // The input refuses: nothing held changes, a capture in progress
            // included.
            device.openResult = CaptureProblem::OpenFailed;
            FUZZ_CHECK(recorder->start() == CaptureProblem::OpenFailed);
            device.openResult = CaptureProblem::None;
            m.open = m.suspended = false;
            m.completed = m.captured.size();
            break;
        }
        case 8: {
            QString error;
            FUZZ_CHECK(recorder->saveWav(savePath, true, &error));
            FUZZ_CHECK(!device.isOpen());
            m.open = m.suspended = false;
            m.completed = m.captured.size();
            const qsizetype whole = m.captured.size() - m.captured.size() % m.recorded.blockAlign();
            checkWav(readAll(savePath), m.recorded, m.captured.first(whole));
            FUZZ_CHECK(recorder->heldBytes() == m.captured.size());
            m.recoveryFile = false;
            break;
        }
        case 9: {
            // The program ends without saving: a capture in progress ends
            // as a stop ends it, the recovery file whole. The next run takes
            // it up.
            checkRecovery(recoveryPath, m, false);
            recorder.reset();
            if (m.open)
                m.completed = m.captured.size();
            checkRecovery(recoveryPath, m, m.open);
            recorder = std::make_unique<AudioRecorder>(device, recoveryPath);
            const bool loaded = recorder->loadRecovery(recoveryPath);
            const bool expected = m.recoveryFile && m.completed >= m.recorded.blockAlign();
            FUZZ_CHECK(loaded == expected);
            m.open = m.suspended = false;
            if (loaded) {
                FUZZ_CHECK(recorder->format() == m.recorded);
                m.captured.truncate(m.completed);
            } else {
                m.recorded = AudioFormat{}; // a new recorder's
                m.captured.clear();
                m.completed = 0;
                m.recoveryFile = false;
            }
            requested = recorder->format();
            FUZZ_CHECK(recorder->heldBytes() == m.captured.size());
            break;
        }
        }
        FUZZ_CHECK(recorder->isOpen() == m.open);
        FUZZ_CHECK(recorder->heldBytes() == m.completed);
        checkRecovery(recoveryPath, m, synced);
    }
    return 0;
}
