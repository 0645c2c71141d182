#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace quillan::audio {

// The sound format of a recording: PCM with these channels, samples per
// second and bits per sample.
struct AudioFormat
{
    int channels = 1;
    int sampleRate = 8000;
    int bits = 16;

    int blockAlign() const { return channels * bits / 8; }
    int bytesPerSecond() const { return sampleRate * blockAlign(); }
    // 1 or 2 channels, 8000, 11025, 22050 or 44100 samples per second,
    // 8 or 16 bits.
    bool isAccepted() const;
    bool operator==(const AudioFormat&) const = default;
};

constexpr int kWavHeaderSize = 44;

// The 44-byte header of a PCM WAV file holding `dataLength` bytes of samples
// and, after them, `trailing` bytes of further chunks (with the pad byte of
// an odd data chunk).
QByteArray wavHeader(const AudioFormat& format, quint32 dataLength, quint32 trailing = 0);

// A marker in a recording: a labelled sample frame.
struct WavCue
{
    quint32 frame = 0;
    QString label;
    bool operator==(const WavCue&) const = default;
};

// The standard marker chunks for `cues`, written after the samples: a "cue "
// chunk with one cue point per cue (ids 1, 2, ... in order; position and
// sample offset the frame, in the "data" chunk) and a "LIST" chunk of type
// "adtl" with one "labl" per cue holding its label in UTF-8, NUL-terminated.
// Every chunk is padded to an even length. Empty for no cues.
QByteArray cueChunks(const QList<WavCue>& cues);

// Where the samples of a WAV file lie, and their format.
struct WavLayout
{
    AudioFormat format;
    bool floatSamples = false; // format tag 3 (IEEE float) instead of 1 (PCM)
    qsizetype dataOffset = 0;
    qsizetype dataLength = 0; // bounded by the bytes the file really holds
    // The markers of "cue " (in its order) with their labels from
    // "LIST"/"adtl" (empty for a cue without one).
    QList<WavCue> cues;
};

// Reads the RIFF chunks of a WAV file. Nothing for anything else, for
// compressed formats and for formats without whole samples. Damaged marker
// chunks are left out; the samples still count.
std::optional<WavLayout> parseWav(QByteArrayView file);

// Writes a WAV file: the header, then the blocks `nextBlock` hands out until
// it gives an empty view. The file is written beside `path` under a
// temporary name, flushed to disk and renamed over `path`, so a failed write
// never leaves a damaged file behind and never touches an old one. On
// failure `error` says why, in words. The markers `cues` follow the samples
// (see cueChunks); the caller keeps the whole file below 4 GB.
bool writeWavFile(const QString& path, const AudioFormat& format, quint32 dataLength,
                  const std::function<QByteArrayView()>& nextBlock, QString* error,
                  const QList<WavCue>& cues = {});

} // namespace quillan::audio
