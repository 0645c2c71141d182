#include "audio/WavFile.h"

#include "platform/AtomicFile.h"

#include <QtEndian>

namespace quillan::audio {

namespace {

void put16(QByteArray& b, int offset, quint16 v)
{
    qToLittleEndian(v, b.data() + offset);
}
void put32(QByteArray& b, int offset, quint32 v)
{
    qToLittleEndian(v, b.data() + offset);
}
quint16 get16(QByteArrayView b, qsizetype offset)
{
    return qFromLittleEndian<quint16>(b.data() + offset);
}
quint32 get32(QByteArrayView b, qsizetype offset)
{
    return qFromLittleEndian<quint32>(b.data() + offset);
}

} // namespace

bool AudioFormat::isAccepted() const
{
    const bool channelsOk = channels == 1 || channels == 2;
    const bool rateOk =
        sampleRate == 8000 || sampleRate == 11025 || sampleRate == 22050 || sampleRate == 44100;
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
            const bool bitsOk = l.floatSamples
                                    ? l.format.bits == 32
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
    platform::FileReplacement file(path);
    bool ok = file.write(wavHeader(format, dataLength));
    qint64 written = 0;
    while (ok && written < dataLength) {
        QByteArrayView block = nextBlock();
        if (block.isEmpty())
            break;
        if (written + block.size() > dataLength)
            block = block.first(dataLength - written);
        ok = file.write(block);
        written += block.size();
    }
    if (ok && file.commit())
        return true;
    if (error)
        *error = file.error();
    return false;
}

} // namespace quillan::audio
