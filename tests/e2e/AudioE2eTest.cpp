// The recorder and the player on a real PulseAudio server: speech made by
// espeak-ng is played into the test sink by paplay while the program
// records the default input, a remap source over that sink's monitor; lines
// typed between sentences become markers that a few lines of Python read.
// scripts/test.sh starts the server and exports PULSE_SERVER.
#include "E2eSupport.h"
#include "app/Application.h"
#include "app/MainWin.h"
#include "audio/AudioCommands.h"
#include "audio/AudioRecorder.h"
#include "audio/qt/QtCaptureDevice.h"
#include "doubles/AudioDoubles.h"
#include "doubles/ManualClock.h"
#include "doubles/RecordingEngine.h"
#include "doubles/RecordingShell.h"
#include "doubles/ScriptedPrompts.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/RegistryStore.h"
#include "platform/Shell.h"
#include "record/RecordFields.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <QtEndian>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

namespace quillan::test {
namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// About 15 seconds of speech.
QString makeSpeech(const TempDir& dir)
{
    const QString path = dir.file(u("speech.wav"));
    QString text;
    for (int i = 0; i < 6; ++i)
        text +=
            u("The officer records the interview of the worker about the accident at the building site. ");
    runProgram(u("espeak-ng"), {u("-s"), u("150"), u("-w"), path, text});
    return path;
}

// sox's RMS amplitude of a WAV file, -1 when unreadable.
double rmsOf(const QString& wav)
{
    QProcess sox;
    sox.start(u("sox"), {wav, u("-n"), u("stat")});
    sox.waitForFinished(60000);
    const QString report = QString::fromLocal8Bit(sox.readAllStandardError());
    const QRegularExpressionMatch m = QRegularExpression(u("RMS\\s+amplitude:\\s+([0-9.]+)")).match(report);
    return m.hasMatch() ? m.captured(1).toDouble() : -1;
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// Silence played into the test sink while it lives. A null sink that no
// one plays into renders its monitor in blocks of up to two seconds, so a
// new recording would get its first bytes that late; a real microphone
// delivers at once, and so does the sink while something plays.
struct SinkKeeper
{
    SinkKeeper()
    {
        pacat.start(u("pacat"), {u("--playback"), u("--raw"), u("--format=s16le"), u("--rate=8000"),
                                 u("--channels=1"), u("--latency-msec=50"), u("/dev/zero")});
        pacat.waitForStarted();
        QTest::qWait(1000);
    }
    ~SinkKeeper()
    {
        pacat.kill();
        pacat.waitForFinished();
    }
    QProcess pacat;
};

QStringList sinkInputs()
{
    return runProgram(u("pactl"), {u("list"), u("short"), u("sink-inputs")}, 10000)
        .split(u("\n"), Qt::SkipEmptyParts);
}

// The whole program with the real sound input and output; everything else
// scripted.
struct AudioApp
{
    AudioApp()
    {
        paths.programDir = dir.file(u("program"));
        paths.scratchDir = dir.file(u("scratch"));
        paths.desktopDir = dir.file(u("desktop"));
        paths.configDir = dir.file(u("config"));
        QDir().mkpath(paths.programDir);
        QDir().mkpath(paths.desktopDir);
        // No pop-up reader at start-up: it would wait for the officer.
        dir.write(u("program/Set.ini"), "[pop]\r\ntanchu=0\r\n");
        app::Application::Parts parts;
        parts.clock = std::make_unique<platform::ManualClock>(QDateTime(QDate(2012, 3, 5), QTime(15, 0, 0)));
        auto p = std::make_unique<platform::ScriptedPrompts>();
        prompts = p.get();
        parts.prompts = std::move(p);
        parts.shell = std::make_unique<platform::RecordingShell>();
        parts.registry = std::make_unique<platform::RegistryStore>(paths.configDir + u("/registry"));
        parts.word = std::make_unique<word::RecordingEngine>();
        parts.capture = std::make_unique<audio::QtCaptureDevice>();
        parts.player = std::make_unique<audio::QtSoundPlayer>();
        app = std::make_unique<app::Application>(paths, paths.programDir + u("/quillan"), std::move(parts));
        app->exitProgram = [](int) {};
        app->start();
    }
    void click(const char* unit) { app->window().control<QPushButton>(u(unit))->click(); }
    QString elapsed() { return app->window().fieldText(u("标签14")); }

    TempDir dir;
    platform::Paths paths;
    platform::ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<app::Application> app;
};

TEST(AudioE2e, RecordPauseResumeAndSaveSpeechAsWav)
{
    if (!requirePulse())
        return;
    SinkKeeper keeper;
    AudioApp a;
    const QString speech = makeSpeech(a.dir);
    ASSERT_TRUE(QFileInfo::exists(speech));

    // The silent sink first, for comparison.
    a.click("按钮录音");
    ASSERT_TRUE(a.prompts->shown().isEmpty()) << a.prompts->shown().value(0).text.toStdString();
    QTRY_COMPARE_WITH_TIMEOUT(a.elapsed(), u("0:0:2"), 5000);
    a.prompts->chooseNext(a.dir.file(u("silence.wav")));
    a.click("按钮4");
    ASSERT_TRUE(QFileInfo::exists(a.dir.file(u("silence.wav"))));

    a.click("按钮录音");
    QProcess play;
    play.start(u("paplay"), {speech});
    QTRY_COMPARE_WITH_TIMEOUT(a.elapsed(), u("0:0:5"), 8000);
    a.click("按钮暂停");
    QTest::qWait(2000);
    EXPECT_EQ(a.elapsed(), u("0:0:5")); // paused time is not counted
    a.click("按钮继续");
    QTRY_COMPARE_WITH_TIMEOUT(a.elapsed(), u("0:0:8"), 5000);

    // The first dialog is cancelled; the second save writes the same audio
    // under the name typed without extension.
    a.prompts->cancelNext();
    a.click("按钮4");
    ASSERT_EQ(a.prompts->shown().size(), 1);
    EXPECT_EQ(a.prompts->shown()[0].text, u("没有输入WAV音频文件名称，请重新保存。"));
    const qint64 held = a.app->recorder().heldBytes();
    a.prompts->chooseNext(a.dir.file(u("询问录音")));
    a.click("按钮4");
    play.kill();
    play.waitForFinished();

    const QString saved = a.dir.file(u("询问录音.wav"));
    const QByteArray file = readFile(saved);
    ASSERT_GT(file.size(), 44);
    const quint32 length = static_cast<quint32>(file.size() - 44);
    EXPECT_EQ(length, held);
    const QByteArray header =
        QByteArray("RIFF") + le32(length + 36) + QByteArray("WAVEfmt ") +
        QByteArray("\x10\x00\x00\x00\x01\x00\x01\x00\x40\x1f\x00\x00\x80\x3e\x00\x00\x02\x00\x10\x00", 20) +
        QByteArray("data") + le32(length);
    EXPECT_EQ(file.first(44), header);
    EXPECT_NEAR(length, 8 * 16000, 8 * 16000 * 0.05);
    const double speechRms = rmsOf(saved);
    const double silenceRms = rmsOf(a.dir.file(u("silence.wav")));
    EXPECT_GT(speechRms, 0.01);
    EXPECT_GT(speechRms, 10 * silenceRms + 0.001) << speechRms << " vs " << silenceRms;
    std::printf("recorded %u data bytes; RMS of the speech %.4f, of the silent sink %.4f\n", length,
                speechRms, silenceRms);
    EXPECT_EQ(a.app->window().statusPart0(), u("笔录.录音保存成功..."));
    EXPECT_FALSE(QFileInfo::exists(a.app->recorder().recoveryPath()));
}

// The markers of a WAV file as an independent reader sees them: one line
// "label milliseconds" per cue point.
const char kCueReader[] = R"(import struct, sys
d = open(sys.argv[1], 'rb').read()
pos, rate, cues, labels = 12, 0, [], {}
while pos + 8 <= len(d):
    cid, size = d[pos:pos + 4], struct.unpack('<I', d[pos + 4:pos + 8])[0]
    body = d[pos + 8:pos + 8 + size]
    if cid == b'fmt ':
        rate = struct.unpack('<I', body[4:8])[0]
    elif cid == b'cue ':
        for i in range(struct.unpack('<I', body[:4])[0]):
            ident, _, chunk, _, _, offset = struct.unpack('<II4sIII', body[4 + 24 * i:28 + 24 * i])
            cues.append((ident, offset))
    elif cid == b'LIST' and body[:4] == b'adtl':
        p = 4
        while p + 8 <= len(body):
            sub, n = body[p:p + 4], struct.unpack('<I', body[p + 4:p + 8])[0]
            if sub == b'labl':
                labels[struct.unpack('<I', body[p + 8:p + 12])[0]] = body[p + 12:p + 8 + n].split(b'\0')[0].decode()
            p += 8 + n + (n & 1)
    pos += 8 + size + (size & 1)
for ident, offset in cues:
    print(labels.get(ident, ''), offset * 1000 // rate)
)";

// The ends of the stretches of sound in a mono 16-bit WAV file, in
// milliseconds: where 300 ms of silence (10 ms windows below an RMS of 300)
// begin after sound.
const char kSpeechEnds[] = R"(import struct, sys
d = open(sys.argv[1], 'rb').read()
rate = struct.unpack('<I', d[24:28])[0]
n = struct.unpack('<I', d[40:44])[0] // 2
samples = struct.unpack('<%dh' % n, d[44:44 + 2 * n])
w = rate // 100
loud = [sum(x * x for x in samples[i:i + w]) / w > 300 * 300 for i in range(0, n - w + 1, w)]
quiet = 0
for i, l in enumerate(loud):
    if l:
        quiet = 0
        continue
    quiet += 1
    if quiet == 30 and i >= 30 and any(loud[:i]):
        print((i - 29) * 10)
)";

TEST(AudioE2e, EachLineBegunDuringTheRecordingIsAMarkerInTheSavedWav)
{
    if (!requirePulse())
        return;
    SinkKeeper keeper;
    AudioApp a;
    const char* sentences[] = {"Where were you working on the day of the accident?",
                               "Which machine did the worker use that morning?",
                               "Who was the foreman in charge of the building site?"};
    QStringList speech;
    for (int i = 0; i < 3; ++i) {
        speech << a.dir.file(u("sentence%1.wav").arg(i));
        runProgram(u("espeak-ng"), {u("-s"), u("170"), u("-w"), speech.last(), u(sentences[i])});
        ASSERT_TRUE(QFileInfo::exists(speech.last()));
    }
    const record::FieldId lines[] = {record::question(1), record::answer(1), record::question(2)};
    const QStringList labels{u("问1"), u("答1"), u("问2")};

    a.click("按钮录音");
    ASSERT_TRUE(a.prompts->shown().isEmpty()) << a.prompts->shown().value(0).text.toStdString();
    // The audio begins with the input's first bytes, which a sound server
    // delivers a moment after the start: the moments typed count from there.
    QElapsedTimer clock;
    clock.start();
    QTRY_VERIFY_WITH_TIMEOUT(a.app->recorder().capturedBytes() > 0, 5000);
    std::printf("first bytes %lld ms after the start\n", static_cast<long long>(clock.restart()));
    QList<qint64> typed;
    for (int i = 0; i < 3; ++i) {
        QProcess play;
        play.start(u("paplay"), {speech[i]});
        while (play.state() != QProcess::NotRunning)
            QTest::qWait(20);
        auto* box = a.app->window().control<QComboBox>(record::unitName(lines[i]));
        ASSERT_TRUE(box && box->lineEdit());
        QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
        QCoreApplication::sendEvent(box, &in);
        typed << clock.elapsed();
        for (const int k : {Qt::Key_A, Qt::Key_B}) {
            QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, QString(QChar(k)).toLower());
            QCoreApplication::sendEvent(box->lineEdit(), &press);
        }
        QTest::qWait(300);
    }
    const QString saved = a.dir.file(u("询问录音.wav"));
    a.prompts->chooseNext(saved);
    a.click("按钮4");
    ASSERT_TRUE(QFileInfo::exists(saved));
    EXPECT_GT(rmsOf(saved), 0.01); // sox reads the file with its markers

    const QStringList read =
        runProgram(u("python3"), {u("-c"), u(kCueReader), saved}, 30000).split(u("\n"), Qt::SkipEmptyParts);
    // Each sentence ends in the audio just before the line typed after it.
    const QStringList ends =
        runProgram(u("python3"), {u("-c"), u(kSpeechEnds), saved}, 60000).split(u("\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(ends.size(), 3) << ends.join(u("|")).toStdString();
    ASSERT_EQ(read.size(), 3) << read.join(u("|")).toStdString();
    for (int i = 0; i < 3; ++i) {
        const QStringList parts = read[i].split(u(" "));
        ASSERT_EQ(parts.size(), 2);
        EXPECT_EQ(parts[0], labels[i]);
        const qint64 marked = parts[1].toLongLong();
        EXPECT_NEAR(marked, typed[i], 300) << parts[0].toStdString();
        EXPECT_GT(marked, ends[i].toLongLong()) << parts[0].toStdString();
        EXPECT_LT(marked, ends[i].toLongLong() + 1000) << parts[0].toStdString();
        std::printf("%s typed at %lld ms, marked at %lld ms, its sentence ends at %s ms\n",
                    labels[i].toUtf8().constData(), static_cast<long long>(typed[i]),
                    static_cast<long long>(marked), ends[i].toUtf8().constData());
    }
}

// Takes the default input away while it lives: the source removed (an
// unplugged headset; the server moves the stream to the sink's monitor) or
// suspended (an input that stops delivering).
struct InputAway
{
    explicit InputAway(bool remove) : removed(remove)
    {
        if (removed)
            runProgram(u("pactl"), {u("unload-module"), u("module-remap-source")});
        else
            runProgram(u("pactl"), {u("suspend-source"), u("quillan_mic"), u("1")});
    }
    ~InputAway()
    {
        if (removed) {
            runProgram(u("pactl"), {u("load-module"), u("module-remap-source"), u("source_name=quillan_mic"),
                                    u("master=quillan_sink.monitor")});
            runProgram(u("pactl"), {u("set-default-source"), u("quillan_mic")});
        } else {
            runProgram(u("pactl"), {u("suspend-source"), u("quillan_mic"), u("0")});
        }
    }
    bool removed;
};

TEST(AudioE2e, AnInputThatGoesAwayEndsTheRecordingAndKeepsItsAudio)
{
    if (!requirePulse())
        return;
    SinkKeeper keeper;
    for (const bool remove : {true, false}) {
        AudioApp a;
        a.click("按钮录音");
        QTRY_COMPARE_WITH_TIMEOUT(a.elapsed(), u("0:0:2"), 5000);
        InputAway away(remove);
        QTRY_VERIFY_WITH_TIMEOUT(!a.prompts->shown().isEmpty(), 10000);
        EXPECT_EQ(a.prompts->shown()[0].text, audio::AudioCommands::deviceLostText()) << remove;
        EXPECT_EQ(a.app->audio().state(), audio::AudioCommands::State::Stopped);
        EXPECT_TRUE(a.app->window().control(u("按钮4"))->isEnabled());
        const qint64 held = a.app->recorder().heldBytes();
        EXPECT_GT(held, 16000);
        a.prompts->chooseNext(a.dir.file(u("kept.wav")));
        a.click("按钮4");
        EXPECT_EQ(readFile(a.dir.file(u("kept.wav"))).size(), 44 + held);
    }
}

TEST(AudioE2e, PlayingAWavMakesAStreamOnTheSinkAndStopAllEndsIt)
{
    if (!requirePulse())
        return;
    TempDir dir;
    const QString speech = makeSpeech(dir);
    audio::QtSoundPlayer player;
    ASSERT_TRUE(sinkInputs().isEmpty()) << sinkInputs().join(u("\n")).toStdString();
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(player.play(speech, 0));
    EXPECT_LT(t.elapsed(), 500); // returns at once
    QTRY_VERIFY_WITH_TIMEOUT(!sinkInputs().isEmpty(), 5000);
    player.stopAll();
    QTRY_VERIFY_WITH_TIMEOUT(sinkInputs().isEmpty(), 5000);
    EXPECT_FALSE(player.play(dir.file(u("missing.wav")), 0));
    dir.write(u("not-sound.wav"), "plain text, no sound");
    EXPECT_FALSE(player.play(dir.file(u("not-sound.wav")), 0));
}

// Played from a mark, the sound starts at the mark: a WAV silent for two
// seconds and loud after them, played from 2000 ms, is loud on the sink's
// monitor within 300 ms of the start.
TEST(AudioE2e, PlayingFromAMarkStartsTheSoundAtTheMark)
{
    if (!requirePulse())
        return;
    SinkKeeper keeper;
    TempDir dir;
    const audio::AudioFormat format; // 8000 Hz, mono, 16 bits
    QByteArray samples(8000 * 2 * 4, '\0');
    for (qsizetype i = 8000 * 2 * 2; i < samples.size(); i += 2)
        qToLittleEndian<qint16>((i / 2) % 16 < 8 ? 12000 : -12000, samples.data() + i);
    const QString wav = dir.file(u("marked.wav"));
    bool handed = false;
    ASSERT_TRUE(audio::writeWavFile(wav, format, quint32(samples.size()),
                                    [&] {
                                        const QByteArrayView block =
                                            handed ? QByteArrayView() : QByteArrayView(samples);
                                        handed = true;
                                        return block;
                                    },
                                    nullptr, {{16000, u("问2")}}));
    QProcess parec;
    parec.start(u("parec"), {u("--raw"), u("--format=s16le"), u("--rate=8000"), u("--channels=1"),
                             u("--latency-msec=20"), u("-d"), u("@DEFAULT_MONITOR@")});
    ASSERT_TRUE(parec.waitForStarted(5000));
    QTest::qWait(1000);
    QByteArray heard = parec.readAllStandardOutput();
    const qsizetype start = heard.size() / 2;
    audio::QtSoundPlayer player;
    ASSERT_TRUE(player.play(wav, 2000));
    QTest::qWait(1500);
    heard += parec.readAllStandardOutput();
    player.stopAll();
    parec.kill();
    parec.waitForFinished();
    qsizetype loud = -1;
    for (qsizetype i = start; i < heard.size() / 2 && loud < 0; ++i)
        if (qAbs(qFromLittleEndian<qint16>(heard.constData() + 2 * i)) > 4000)
            loud = i;
    ASSERT_GE(loud, 0) << "nothing loud within 1.5 s of the start";
    EXPECT_LT((loud - start) / 8, 300) << "ms after the start";
}

// Runs the helper program; its output lines.
QStringList runHelper(const QStringList& args, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(u(QUILLAN_AUDIO_HELPER), args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).split(u("\n"), Qt::SkipEmptyParts);
}

TEST(AudioE2e, WithoutASoundServerRecordSaysSoAndStaysIdle)
{
    TempDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u("PULSE_SERVER"), u("unix:") + dir.file(u("no-server")));
    dir.write(u("client.conf"), "autospawn = no\n");
    env.insert(u("PULSE_CLIENTCONFIG"), dir.file(u("client.conf")));
    env.insert(u("QT_QPA_PLATFORM"), u("offscreen"));
    const QStringList out = runHelper({u("start")}, env);
    const QString message = audio::AudioCommands::startFailureText(audio::CaptureProblem::NoDevice);
    EXPECT_EQ(out, (QStringList{u("MESSAGE 提示：|") + QString(message).replace(u("\n"), u("\\n")),
                                u("STATE Idle TICK 0")}));
}

// The sound server itself stopped in the middle of a recording: the
// recording ends as when the input goes away, and what was captured is kept.
// The server is a private one, so that the other tests keep theirs.
TEST(AudioE2e, ASoundServerStoppedDuringARecordingEndsItAndKeepsTheAudio)
{
    if (!requirePulse())
        return;
    TempDir dir;
    const QString speech = makeSpeech(dir);
    QDir().mkpath(dir.file(u("pulse/home")));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u("HOME"), dir.file(u("pulse/home")));
    env.insert(u("XDG_RUNTIME_DIR"), dir.file(u("pulse")));
    QProcess server;
    server.setProcessEnvironment(env);
    server.start(
        u("pulseaudio"),
        {u("--daemonize=no"), u("-n"), u("--exit-idle-time=-1"), u("--use-pid-file=no"),
         u("--disable-shm=yes"), u("-L"),
         u("module-native-protocol-unix socket=") + dir.file(u("pulse/native")) + u(" auth-anonymous=1"),
         u("-L"), u("module-null-sink sink_name=private_sink"), u("-L"),
         u("module-remap-source source_name=private_mic master=private_sink.monitor")});
    ASSERT_TRUE(server.waitForStarted(10000)) << "pulseaudio did not start";
    QProcessEnvironment client = QProcessEnvironment::systemEnvironment();
    client.insert(u("PULSE_SERVER"), u("unix:") + dir.file(u("pulse/native")));
    client.insert(u("QT_QPA_PLATFORM"), u("offscreen"));
    const auto pactl = [&client](const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(client);
        p.start(u("pactl"), args);
        return p.waitForFinished(5000) && p.exitCode() == 0;
    };
    QElapsedTimer up;
    up.start();
    while (!pactl({u("info")}) && up.elapsed() < 10000)
        QThread::msleep(100);
    ASSERT_TRUE(pactl({u("set-default-source"), u("private_mic")}))
        << "the private sound server did not come up";
    pactl({u("set-default-sink"), u("private_sink")});

    const QString recovery = dir.file(u("unsaved-recording.wav"));
    QProcess helper;
    helper.setProcessEnvironment(client);
    helper.start(u(QUILLAN_AUDIO_HELPER), {u("record"), recovery});
    ASSERT_TRUE(helper.waitForStarted());
    QProcess play;
    play.setProcessEnvironment(client);
    play.start(u("paplay"), {speech});
    QString out;
    const auto lastHeld = [&out] {
        const qsizetype at = out.lastIndexOf(u("held "));
        return at < 0 ? 0
                      : out.mid(at + 5)
                            .section(QLatin1Char('\n'), 0, 0)
                            .section(QLatin1Char(' '), 0, 0)
                            .toLongLong();
    };
    QElapsedTimer t;
    t.start();
    while (lastHeld() < 2 * 16000 && t.elapsed() < 20000) {
        helper.waitForReadyRead(500);
        out += QString::fromUtf8(helper.readAllStandardOutput());
    }
    const qint64 before = lastHeld();
    ASSERT_GE(before, 2 * 16000) << out.toStdString();

    server.kill(); // the server goes, as when it crashes
    server.waitForFinished(5000);
    t.restart();
    while (!out.contains(u(" lost")) && t.elapsed() < 15000) {
        helper.waitForReadyRead(500);
        out += QString::fromUtf8(helper.readAllStandardOutput());
    }
    EXPECT_TRUE(out.contains(u(" lost")))
        << "the recording did not notice the server going: " << out.toStdString();
    EXPECT_GE(lastHeld(), before) << "audio captured before the server went was dropped";
    helper.kill();
    helper.waitForFinished();
    play.kill();
    play.waitForFinished();
    const QByteArray file = readFile(recovery);
    ASSERT_GT(file.size(), 44);
    EXPECT_GE(file.size() - 44, before) << "the recovery file lost audio";
}

TEST(AudioE2e, AnEndedOrKilledProgramLeavesItsAudioForTheNextStart)
{
    if (!requirePulse())
        return;
    for (const int signal : {SIGKILL, SIGTERM}) {
        SCOPED_TRACE(signal == SIGKILL ? "killed" : "ended by the desktop session");
        TempDir dir;
        const QString speech = makeSpeech(dir);
        const QString recovery = dir.file(u("unsaved-recording.wav"));
        SinkKeeper keeper;
        QProcess helper;
        helper.start(u(QUILLAN_AUDIO_HELPER), {u("record"), recovery});
        ASSERT_TRUE(helper.waitForStarted());
        QProcess play;
        play.start(u("paplay"), {speech});
        qint64 held = 0;
        QElapsedTimer t;
        t.start();
        QString out;
        while (held < 3 * 16000 && t.elapsed() < 20000) {
            helper.waitForReadyRead(500);
            out += QString::fromUtf8(helper.readAllStandardOutput());
            const qsizetype at = out.lastIndexOf(u("held "));
            if (at >= 0)
                held = out.mid(at + 5).section(QLatin1Char('\n'), 0, 0).toLongLong();
        }
        ASSERT_GE(held, 3 * 16000) << out.toStdString();
        ::kill(static_cast<pid_t>(helper.processId()), signal);
        ASSERT_TRUE(helper.waitForFinished(10000));
        play.kill();
        play.waitForFinished();

        const QByteArray file = readFile(recovery);
        ASSERT_GT(file.size(), 44);
        EXPECT_EQ(file.first(4), QByteArray("RIFF"));
        EXPECT_GE(file.size() - 44, held); // every chunk reported as held is on disk
        if (signal == SIGTERM) {
            // An orderly end: the last chunk and the header's sizes too.
            EXPECT_EQ(helper.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(helper.exitCode(), 0);
            EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + 4), quint32(file.size() - 8));
            EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + 40), quint32(file.size() - 44));
        }

        // The next start offers it; saved, it is the speech.
        audio::ScriptedCapture device;
        audio::AudioRecorder recorder(device, dir.file(u("unsaved-recording.next.wav")));
        struct Panel final : audio::RecorderPanel
        {
            void setEnabled(audio::PanelControl, bool) override {}
            void setVisible(audio::PanelControl, bool) override {}
            void setElapsed(const QString&) override {}
            int sliderPosition() const override { return 1; }
            void setSliderPosition(int) override {}
            void setTickInterval(int) override {}
            void setStatusPart0(const QString&) override {}
            void setPlaybackPath(const QString&) override {}
        } panel;
        platform::ScriptedPrompts prompts;
        audio::RecordingPlayer player;
        platform::FileDialogUnit dialog;
        audio::AudioCommands commands({&panel, &prompts, &recorder, &player, &dialog, {}});
        prompts.answerNext(platform::Answer::Yes);
        prompts.chooseNext(dir.file(u("recovered.wav")));
        commands.offerRecovery({recovery});
        ASSERT_FALSE(prompts.shown().isEmpty());
        EXPECT_EQ(prompts.shown()[0].text,
                  audio::AudioCommands::recoveryQuestion((file.size() - 44) / 16000));
        EXPECT_EQ(readFile(dir.file(u("recovered.wav"))).size(), 44 + (file.size() - 44) / 2 * 2);
        EXPECT_GT(rmsOf(dir.file(u("recovered.wav"))), 0.01);
        EXPECT_FALSE(QFileInfo::exists(recovery));
    }
}

} // namespace
} // namespace quillan::test
