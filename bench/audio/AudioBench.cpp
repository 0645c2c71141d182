// Prints the figures of the recorder (see docs/PERFORMANCE.md):
//  1. bytes captured per second of wall time over a recording of the
//     default input (60 s unless given), and the CPU the recording used;
//  2. time and peak memory of saveWav for one hour of audio fed through the
//     recorder's chunk path.
//   audio_bench [seconds]
#include "audio/AudioRecorder.h"
#include "audio/qt/QtCaptureDevice.h"
#include "doubles/AudioDoubles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <sys/resource.h>

using namespace quillan;

namespace {

double cpuSeconds()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

// VmHWM or VmRSS of this process, in MB.
double memoryMb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

void waitMs(qint64 ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    QTemporaryDir dir;

    {
        // On the test server's null sink, silence played into the sink makes
        // its monitor deliver at once (see the audio end-to-end tests).
        QProcess keeper;
        if (qEnvironmentVariableIsSet("QUILLAN_BENCH_KEEP_SINK")) {
            keeper.start(QStringLiteral("pacat"),
                         {QStringLiteral("--playback"), QStringLiteral("--raw"),
                          QStringLiteral("--format=s16le"), QStringLiteral("--rate=8000"),
                          QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=50"),
                          QStringLiteral("/dev/zero")});
            waitMs(1000);
        }
        audio::QtCaptureDevice device;
        audio::AudioRecorder recorder(device, dir.filePath(QStringLiteral("recovery.wav")));
        if (recorder.start() != audio::CaptureProblem::None) {
            std::printf("no sound input: start the test sound server (scripts/test.sh) first\n");
            return 1;
        }
        QElapsedTimer wall;
        wall.start();
        // The first bytes: a new stream of a sound server may start late.
        while (recorder.capturedBytes() == 0 && wall.elapsed() < 5000)
            waitMs(5);
        const qint64 firstByteMs = wall.elapsed();
        const double cpu0 = cpuSeconds();
        const qint64 bytes0 = recorder.capturedBytes();
        QElapsedTimer run;
        run.start();
        waitMs(seconds * 1000LL);
        const qint64 bytes = recorder.capturedBytes() - bytes0;
        const double runSeconds = run.elapsed() / 1000.0;
        const double cpu = cpuSeconds() - cpu0;
        const double totalSeconds = wall.elapsed() / 1000.0;
        recorder.stop();
        keeper.kill();
        keeper.waitForFinished();
        std::printf("capture: first byte after %lld ms\n", static_cast<long long>(firstByteMs));
        std::printf("capture: %.0f bytes/s over %.1f s after the first byte (%.4f x 16000)\n",
                    bytes / runSeconds, runSeconds, bytes / runSeconds / 16000.0);
        std::printf("capture: %.0f bytes/s over %.1f s from start (%.4f x 16000)\n",
                    recorder.heldBytes() / totalSeconds, totalSeconds,
                    recorder.heldBytes() / totalSeconds / 16000.0);
        std::printf("capture: CPU %.2f %% of one core while recording\n", 100.0 * cpu / runSeconds);
    }

    {
        const double rssBefore = memoryMb("VmRSS:");
        audio::ScriptedCapture device;
        audio::AudioRecorder recorder(device, QString());
        recorder.start();
        // What the sound server hands over: 20 ms pieces of 320 bytes.
        const QByteArray piece(320, '\x11');
        const qint64 hour = 3600LL * 16000;
        for (qint64 fed = 0; fed < hour; fed += piece.size())
            device.feed(piece);
        const double rssHeld = memoryMb("VmRSS:");
        QElapsedTimer t;
        t.start();
        const QString path = dir.filePath(QStringLiteral("hour.wav"));
        const bool ok = recorder.saveWav(path, true);
        const qint64 ms = t.elapsed();
        std::printf("saveWav: one hour (%lld bytes) %s in %lld ms, file %lld bytes\n",
                    static_cast<long long>(hour), ok ? "written" : "FAILED", static_cast<long long>(ms),
                    static_cast<long long>(QFile(path).size()));
        std::printf("saveWav: memory before %.1f MB, holding the hour %.1f MB, peak %.1f MB (peak - before "
                    "%.1f MB)\n",
                    rssBefore, rssHeld, memoryMb("VmHWM:"), memoryMb("VmHWM:") - rssBefore);
    }
    return 0;
}
