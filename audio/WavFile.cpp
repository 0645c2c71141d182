#include "audio/WavFile.h"

#include "platform/AtomicFile.h"

#include <QHash>
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

QByteArray wavHeader(const AudioFormat& format, quint32 dataLength, quint32 trailing)
{
    QByteArray h(kWavHeaderSize, '\0');
    h.replace(0, 4, "RIFF");
    put32(h, 4, dataLength + 36 + trailing);
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

namespace {

void appendChunk(QByteArray& out, const char* id, const QByteArray& body)
{
    out.append(id, 4);
    char le[4];
    qToLittleEndian(static_cast<quint32>(body.size()), le);
    out.append(le, 4);
    out.append(body);
    if (body.size() & 1)
        out.append('\0');
}

void append32(QByteArray& out, quint32 v)
{
    char le[4];
    qToLittleEndian(v, le);
    out.append(le, 4);
}

// The cue points of a "cue " chunk's body, with their ids.
void readCuePoints(QByteArrayView body, QList<quint32>& ids, QList<WavCue>& cues)
{
    if (body.size() < 4)
        return;
    const qsizetype count = qMin<qsizetype>(get32(body, 0), (body.size() - 4) / 24);
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype at = 4 + i * 24;
        ids << get32(body, at);
        cues << WavCue{get32(body, at + 20), QString()};
    }
}

// The "labl" entries of a "LIST"/"adtl" chunk's body, by cue id.
void readLabels(QByteArrayView body, QHash<quint32, QString>& labels)
{
    if (body.size() < 4 || body.first(4) != "adtl")
        return;
    qsizetype pos = 4;
    while (pos + 8 <= body.size()) {
        const qsizetype size = get32(body, pos + 4);
        const qsizetype start = pos + 8;
        if (size > body.size() - start)
            return;
        if (body.sliced(pos, 4) == "labl" && size >= 4) {
            QByteArrayView text = body.sliced(start + 4, size - 4);
            const qsizetype nul = text.indexOf('\0');
            if (nul >= 0)
                text = text.first(nul);
            labels.insert(get32(body, start), QString::fromUtf8(text));
        }
        pos = start + size + (size & 1);
    }
}

} // namespace

QByteArray cueChunks(const QList<WavCue>& cues)
{
    if (cues.isEmpty())
        return {};
    QByteArray points;
    append32(points, static_cast<quint32>(cues.size()));
    QByteArray labels("adtl");
    quint32 id = 0;
    for (const WavCue& cue : cues) {
        ++id;
        append32(points, id);
        append32(points, cue.frame);
        points.append("data", 4);
        append32(points, 0);
        append32(points, 0);
        append32(points, cue.frame);
        QByteArray labl;
        append32(labl, id);
        labl.append(cue.label.toUtf8());
        labl.append('\0');
        appendChunk(labels, "labl", labl);
    }
    QByteArray out;
    appendChunk(out, "cue ", points);
    appendChunk(out, "LIST", labels);
    return out;
}

std::optional<WavLayout> parseWav(QByteArrayView file)
{
    if (file.size() < 12 || file.first(4) != "RIFF" || file.sliced(8, 4) != "WAVE")
        return std::nullopt;
    std::optional<WavLayout> layout;
    bool haveFormat = false;
    WavLayout l;
    QList<quint32> cueIds;
    QHash<quint32, QString> labels;
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
        } else if (id == "data" && !layout) {
            if (!haveFormat)
                return std::nullopt;
            l.dataOffset = body;
            l.dataLength = qMin(size, file.size() - body);
            l.dataLength -= l.dataLength % l.format.blockAlign();
            layout = l;
        } else if (layout && size <= file.size() - body) {
            // The markers follow the samples; a chunk that runs past the end
            // of the file is samples a crash left without a header.
            if (id == "cue " && cueIds.isEmpty())
                readCuePoints(file.sliced(body, size), cueIds, layout->cues);
            else if (id == "LIST")
                readLabels(file.sliced(body, size), labels);
        }
        pos = body + size + (size & 1);
    }
    if (layout)
        for (qsizetype i = 0; i < layout->cues.size(); ++i)
            layout->cues[i].label = labels.value(cueIds[i]);
    return layout;
}

bool writeWavFile(const QString& path, const AudioFormat& format, quint32 dataLength,
                  const std::function<QByteArrayView()>& nextBlock, QString* error, const QList<WavCue>& cues)
{
    const QByteArray markers = cueChunks(cues);
    const QByteArray pad = (markers.isEmpty() || !(dataLength & 1)) ? QByteArray() : QByteArray(1, '\0');
    platform::FileReplacement file(path);
    bool ok = file.write(wavHeader(format, dataLength, static_cast<quint32>(pad.size() + markers.size())));
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
    // The samples are held in memory: they are all there.
    if (ok && !markers.isEmpty())
        ok = file.write(pad) && file.write(markers);
    if (ok && file.commit())
        return true;
    if (error)
        *error = file.error();
    return false;
}

} // namespace quillan::audio
