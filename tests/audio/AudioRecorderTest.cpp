// The recorder against a scripted capture device: formats, the WAV file
// byte for byte, failed starts and saves that lose nothing, the recovery
// file, and the chunk list fed from another thread.
#include "audio/AudioRecorder.h"
#include "doubles/AudioDoubles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <thread>

namespace quillan::test {
namespace {

using audio::AudioRecorder;
using audio::CaptureProblem;
using audio::ScriptedCapture;

// Bytes 0, 1, 2, ... wrapping at 251, starting at `from`.
QByteArray pattern(qsizetype size, qsizetype from = 0)
{
    QByteArray b(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        b[i] = static_cast<char>((from + i) % 251);
    return b;
}

// The header the recorder must write for 1 channel, 8000 Hz, 16 bit.
QByteArray expectedHeader(quint32 dataLength)
{
    const auto le32 = [](quint32 v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    return QByteArray("RIFF") + le32(dataLength + 36) + QByteArray("WAVEfmt ") +
           QByteArray("\x10\x00\x00\x00\x01\x00\x01\x00\x40\x1f\x00\x00\x80\x3e\x00\x00\x02\x00\x10\x00",
                      20) +
           QByteArray("data") + le32(dataLength);
}

TEST(AudioRecorder, AcceptsOnlyTheListedFormatsAndKeepsTheLastOneOtherwise)
{
    ScriptedCapture device;
    AudioRecorder r(device, QString());
    struct Case
    {
        int channels, rate, bits;
        bool accepted;
    };
    const Case cases[] = {{1, 8000, 16, true},   {2, 44100, 8, true},   {1, 11025, 8, true},
                          {2, 22050, 16, true},  {3, 8000, 16, false},  {0, 8000, 16, false},
                          {1, 16000, 16, false}, {1, 48000, 16, false}, {1, 8000, 24, false},
                          {1, 8000, 32, false},  {2, 44100, 0, false}};
    audio::AudioFormat last = r.format();
    for (const Case& c : cases) {
        EXPECT_EQ(r.setFormat(c.channels, c.rate, c.bits), c.accepted)
            << c.channels << "/" << c.rate << "/" << c.bits;
        if (c.accepted)
            last = audio::AudioFormat{c.channels, c.rate, c.bits};
        EXPECT_EQ(r.format(), last);
    }
}

TEST(AudioRecorder, WritesTheHeaderAndTheChunksInCaptureOrderAcrossAPause)
{
    TempDir dir;
    ScriptedCapture device;
    AudioRecorder r(device, QString());
    ASSERT_TRUE(r.setFormat(1, 8000, 16));
    ASSERT_EQ(r.start(), CaptureProblem::None);
    EXPECT_EQ(device.calls(),
              (QStringList{QStringLiteral("check 1/8000/16"), QStringLiteral("open 1/8000/16")}));
    const QByteArray first = pattern(10001);
    device.feed(first.first(3));
    device.feed(first.sliced(3, 5000));
    device.feed(first.sliced(5003));
    EXPECT_EQ(r.heldBytes(), 8192); // two whole chunks; the third in progress
    ASSERT_TRUE(r.pause());
    EXPECT_EQ(r.heldBytes(), 10001); // the chunk in progress handed back
    device.feed(pattern(777, 3));    // corked: nothing arrives
    ASSERT_TRUE(r.resume());
    const QByteArray second = pattern(4096 * 3 + 10, 10001);
    device.feed(second);

    const QString path = dir.file(QStringLiteral("录音.wav"));
    ASSERT_TRUE(r.saveWav(path, false));
    EXPECT_FALSE(device.isOpen()); // stopped and closed before writing
    const QByteArray file = readFile(path);
    const qsizetype whole = (first.size() + second.size()) / 2 * 2; // the odd byte is no frame
    EXPECT_EQ(file.size(), 44 + whole);
    EXPECT_EQ(file.first(44), expectedHeader(static_cast<quint32>(whole)));
    EXPECT_EQ(file.sliced(44), (first + second).first(whole));

    // A second save writes the same audio; an existing file is kept unless
    // replacing is asked for.
    EXPECT_FALSE(r.saveWav(path, false));
    EXPECT_EQ(readFile(path), file);
    const QString again = dir.file(QStringLiteral("again.wav"));
    ASSERT_TRUE(r.saveWav(again, true));
    EXPECT_EQ(readFile(again), file);
}

TEST(AudioRecorder, FailedStartsAndSavesLoseNothing)
{
    TempDir dir;
    ScriptedCapture device;
    AudioRecorder r(device, QString());
    ASSERT_EQ(r.start(), CaptureProblem::None);
    device.feed(pattern(6000));
    ASSERT_TRUE(r.stop());

    for (const CaptureProblem p : {CaptureProblem::NoDevice, CaptureProblem::FormatUnsupported}) {
        device.checkResult = p;
        const qsizetype calls = device.calls().size();
        EXPECT_EQ(r.start(), p);
        // Asked, never opened.
        EXPECT_EQ(device.calls().mid(calls), QStringList{QStringLiteral("check 1/8000/16")});
    }
    device.checkResult = CaptureProblem::None;
    device.openResult = CaptureProblem::OpenFailed;
    EXPECT_EQ(r.start(), CaptureProblem::OpenFailed);
    EXPECT_EQ(r.heldBytes(), 6000);

    QString error;
    EXPECT_FALSE(r.saveWav(dir.file(QStringLiteral("no/such/folder/a.wav")), true, &error));
    EXPECT_EQ(error, QStringLiteral("目录不存在"));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty()); // no temporary left
    ASSERT_TRUE(r.saveWav(dir.file(QStringLiteral("a.wav")), true, &error));
    EXPECT_EQ(readFile(dir.file(QStringLiteral("a.wav"))).sliced(44), pattern(6000));
}

TEST(AudioRecorder, TheAudioHeldKeepsItsFormatAndItsLastBytesWhateverIsAskedNext)
{
    TempDir dir;
    const audio::AudioFormat mono{1, 8000, 16};
    const audio::AudioFormat stereo{2, 22050, 8};
    ScriptedCapture device;
    AudioRecorder r(device, dir.file(QStringLiteral("recovery.wav")));
    ASSERT_EQ(r.start(), CaptureProblem::None);
    device.feed(pattern(5000)); // one whole chunk, one in progress
    // A format asked for during the capture is the next capture's.
    ASSERT_TRUE(r.setFormat(stereo.channels, stereo.sampleRate, stereo.bits));
    // A restart the input refuses ends the capture with every byte kept.
    device.openResult = CaptureProblem::OpenFailed;
    EXPECT_EQ(r.start(), CaptureProblem::OpenFailed);
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(r.heldBytes(), 5000);
    const QString path = dir.file(QStringLiteral("a.wav"));
    ASSERT_TRUE(r.saveWav(path, true));
    EXPECT_EQ(readFile(path), audio::wavHeader(mono, 5000) + pattern(5000));

    // Recovered audio keeps the format of its file across a start that
    // cannot open.
    device.openResult = CaptureProblem::None;
    ASSERT_EQ(r.start(), CaptureProblem::None);
    device.feed(pattern(4096 * 2));
    {
        ScriptedCapture other;
        AudioRecorder next(other, dir.file(QStringLiteral("recovery.wav")));
        r.stop();
        ASSERT_TRUE(next.loadRecovery(next.recoveryPath()));
        ASSERT_TRUE(next.setFormat(mono.channels, mono.sampleRate, mono.bits));
        other.openResult = CaptureProblem::OpenFailed;
        EXPECT_EQ(next.start(), CaptureProblem::OpenFailed);
        ASSERT_TRUE(next.saveWav(path, true));
    }
    EXPECT_EQ(readFile(path), audio::wavHeader(stereo, 4096 * 2) + pattern(4096 * 2));
}

TEST(AudioRecorder, TheRecoveryFileHoldsTheAudioOfAnEndedRunUntilSaved)
{
    TempDir dir;
    const QString recovery = dir.file(QStringLiteral("unsaved-recording.wav"));
    const QByteArray audio = pattern(16000 * 3 + 100);
    {
        ScriptedCapture device;
        AudioRecorder r(device, recovery);
        ASSERT_EQ(r.start(), CaptureProblem::None);
        device.feed(audio);
        struct stat st
        {
        };
        ASSERT_EQ(::stat(QFile::encodeName(recovery).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        // Every completed chunk is in the file; the header was brought up to
        // date after two seconds of audio.
        const QByteArray file = readFile(recovery);
        const qsizetype chunks = audio.size() / 4096 * 4096;
        EXPECT_EQ(file.sliced(44), audio.first(chunks));
        EXPECT_EQ(file.first(44), expectedHeader(8 * 4096)); // synced at the 8th chunk
        // The program ends here without a save: the chunk in progress and the
        // header's sizes reach the file.
    }
    EXPECT_EQ(readFile(recovery), expectedHeader(audio.size()) + audio);
    // The next program takes the file left by the one before as its own.
    const QString left = dir.file(QStringLiteral("unsaved-recording.left.wav"));
    ASSERT_TRUE(QFile::rename(recovery, left));
    ScriptedCapture device;
    AudioRecorder next(device, recovery);
    ASSERT_TRUE(next.loadRecovery(left));
    EXPECT_FALSE(QFileInfo::exists(left));
    EXPECT_TRUE(QFileInfo::exists(recovery));
    EXPECT_EQ(next.heldBytes(), audio.size());
    const QString saved = dir.file(QStringLiteral("saved.wav"));
    ASSERT_TRUE(next.saveWav(saved, true));
    EXPECT_EQ(readFile(saved).sliced(44), audio);
    EXPECT_FALSE(QFileInfo::exists(recovery));

    // A recovery file without audio is removed; none at all is nothing.
    dir.write(QStringLiteral("unsaved-recording.wav"), expectedHeader(0));
    AudioRecorder empty(device, recovery);
    EXPECT_FALSE(empty.loadRecovery(recovery));
    EXPECT_FALSE(QFileInfo::exists(recovery));
    EXPECT_FALSE(empty.loadRecovery(recovery));

    // A discarded recording leaves no recovery file.
    ASSERT_EQ(empty.start(), CaptureProblem::None);
    device.feed(pattern(9000));
    EXPECT_TRUE(QFileInfo::exists(recovery));
    empty.discard();
    EXPECT_FALSE(QFileInfo::exists(recovery));
    EXPECT_EQ(empty.heldBytes(), 0);
}

TEST(AudioRecorder, BytesFromTheCaptureThreadArriveWholeAndInOrder)
{
    TempDir dir;
    ScriptedCapture device;
    AudioRecorder r(device, dir.file(QStringLiteral("recovery.wav")));
    ASSERT_EQ(r.start(), CaptureProblem::None);
    const int pieces = 3000;
    const qsizetype piece = 333;
    std::thread capture([&device] {
        for (int i = 0; i < pieces; ++i)
            device.feed(pattern(piece, i * piece));
    });
    qint64 seen = 0;
    while (seen < pieces * piece - 4096) {
        const qint64 held = r.heldBytes();
        EXPECT_GE(held, seen);
        EXPECT_EQ(held % 4096, 0);
        seen = held;
    }
    capture.join();
    const QString path = dir.file(QStringLiteral("a.wav"));
    ASSERT_TRUE(r.saveWav(path, true));
    EXPECT_EQ(readFile(path).sliced(44), pattern(pieces * piece / 2 * 2));
}

// The markers after the samples, byte for byte for one label whose "labl"
// chunk has an odd length (padded) and one with an even length, after odd
// and even data chunks; every table row is read back with its samples.
TEST(WavFile, MarkersAreCueAndLabelChunksAfterTheSamplesAndReadBack)
{
    const auto le32 = [](quint32 v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    // "问1" is 4 bytes in UTF-8: id + text + NUL = 9, padded to 10; "答24"
    // makes 10.
    const QByteArray expected =
        QByteArray("cue ") + le32(4 + 2 * 24) + le32(2) + le32(1) + le32(7) + QByteArray("data") + le32(0) +
        le32(0) + le32(7) + le32(2) + le32(0x12345) + QByteArray("data") + le32(0) + le32(0) + le32(0x12345) +
        QByteArray("LIST") + le32(4 + 18 + 18) + QByteArray("adtl") + QByteArray("labl") + le32(9) + le32(1) +
        QByteArray("\xe9\x97\xae"
                   "1\0\0",
                   6) +
        QByteArray("labl") + le32(10) + le32(2) +
        QByteArray("\xe7\xad\x94"
                   "24\0",
                   6);
    const QList<audio::WavCue> twoCues{{7, QStringLiteral("问1")}, {0x12345, QStringLiteral("答24")}};
    EXPECT_EQ(audio::cueChunks(twoCues), expected);

    struct Case
    {
        audio::AudioFormat format;
        quint32 dataLength;
        QList<audio::WavCue> cues;
    };
    const Case cases[] = {
        {{1, 8000, 8}, 5, twoCues},                                     // odd data: a pad byte before "cue "
        {{1, 8000, 16}, 8, twoCues},                                    //
        {{2, 44100, 16}, 4, {{0, QStringLiteral("问13")}}},             // label chunk of even length
        {{1, 8000, 16}, 6, {}},                                         // no markers: the plain file
        {{1, 8000, 16}, 2, {{1, QString()}, {1, QStringLiteral("a")}}}, // an empty label, a repeated frame
    };
    TempDir dir;
    for (const Case& c : cases) {
        const QByteArray samples = pattern(c.dataLength);
        const QString path = dir.file(QStringLiteral("m.wav"));
        bool given = false;
        ASSERT_TRUE(audio::writeWavFile(
            path, c.format, c.dataLength,
            [&]() {
                const QByteArrayView out = given ? QByteArrayView() : QByteArrayView(samples);
                given = true;
                return out;
            },
            nullptr, c.cues));
        const QByteArray file = readFile(path);
        const qsizetype pad = c.cues.isEmpty() ? 0 : c.dataLength & 1;
        EXPECT_EQ(file.size(), 44 + c.dataLength + pad + audio::cueChunks(c.cues).size());
        EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + 4), quint32(file.size() - 8));
        EXPECT_EQ(file.first(44).sliced(8), audio::wavHeader(c.format, c.dataLength).sliced(8));
        EXPECT_EQ(file.sliced(44, c.dataLength), samples);
        const std::optional<audio::WavLayout> read = audio::parseWav(file);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->format, c.format);
        EXPECT_EQ(read->dataOffset, 44);
        EXPECT_EQ(read->dataLength, c.dataLength);
        EXPECT_EQ(read->cues, c.cues);
    }

    // Marker chunks cut short by the end of the file are left out; the
    // samples still count.
    const QByteArray whole = audio::wavHeader({1, 8000, 16}, 4) + pattern(4) + expected;
    const std::optional<audio::WavLayout> cut = audio::parseWav(whole.first(whole.size() - 3));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->dataLength, 4);
    EXPECT_EQ(cut->cues, (QList<audio::WavCue>{{7, QString()}, {0x12345, QString()}}));
}

TEST(AudioRecorder, MarksCountTheAudioHeldNotThePausesAndKeepTheFirstPerLabel)
{
    TempDir dir;
    ScriptedCapture device;
    AudioRecorder r(device, dir.file(QStringLiteral("recovery.wav")));
    EXPECT_FALSE(r.mark(QStringLiteral("问1"))); // nothing is recorded
    ASSERT_EQ(r.start(), CaptureProblem::None);
    device.feed(pattern(3001)); // the chunk in progress counts, the odd byte not
    EXPECT_TRUE(r.mark(QStringLiteral("问1")));
    ASSERT_TRUE(r.pause());
    device.feed(pattern(777)); // corked
    EXPECT_TRUE(r.mark(QStringLiteral("答1")));
    ASSERT_TRUE(r.resume());
    device.feed(pattern(5000));
    EXPECT_TRUE(r.mark(QStringLiteral("问1"))); // the first stays
    EXPECT_TRUE(r.mark(QStringLiteral("问2")));
    const QList<audio::WavCue> marks{
        {1500, QStringLiteral("问1")}, {1500, QStringLiteral("答1")}, {4000, QStringLiteral("问2")}};
    EXPECT_EQ(r.marks(), marks);

    const QString path = dir.file(QStringLiteral("录音.wav"));
    ASSERT_TRUE(r.saveWav(path, false));
    const std::optional<audio::WavLayout> saved = audio::parseWav(readFile(path));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->dataLength, 8000);
    EXPECT_EQ(saved->cues, marks);
    EXPECT_FALSE(r.mark(QStringLiteral("问3"))); // the save stopped the recording

    ASSERT_EQ(r.start(), CaptureProblem::None); // a new recording starts unmarked
    EXPECT_TRUE(r.marks().isEmpty());
}

} // namespace
} // namespace quillan::test
