// Prints the time from process start to the main window being ready (shown,
// start-up initialisation done, first paint processed), and the time of
// loading the phrase lists from the example Set.ini and from a 1 MB one.
//
// Usage: bench_startup <program folder with Set.ini> [repeats] [starts]
// The process start is read from /proc/self/stat, so the figure includes
// loading the libraries before main().
//
// Besides its own start it starts `starts` (default 21) processes of the
// program's window (this program with --window) and as many of the floor,
// a bare Qt window with as many controls (bench_startup_floor beside it),
// one after the other in turn, and prints the median of each and their
// ratio. `bench_startup --window <program folder>` prints only its own
// figure, in milliseconds.
#include "ProcessClock.h"
#include "app/Application.h"
#include "app/MainWin.h"
#include "platform/Text.h"
#include "settings/PhraseLists.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

struct NullTarget final : quillan::settings::PhraseTarget
{
    qsizetype entries = 0;
    void insertAtTop(quillan::record::FieldId, const QStringList& e) override { entries += e.size(); }
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double loadingMs(const QString& setIni, int repeats)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer t;
        t.start();
        NullTarget target;
        quillan::settings::loadPhraseLists(quillan::settings::Settings(setIni), target);
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

// The figure a started process prints, or nothing when it failed.
std::optional<double> startedFigure(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForFinished(60'000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    bool ok = false;
    const double ms = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed().toDouble(&ok);
    return ok ? std::optional<double>(ms) : std::nullopt;
}

// The program's window against the floor, `starts` processes each, in
// turn (which goes first alternates); false when a process failed.
bool compareWithFloor(const QString& programDir, int starts)
{
    const QString self = QCoreApplication::applicationFilePath();
    const QString floor = QCoreApplication::applicationDirPath() + QStringLiteral("/bench_startup_floor");
    std::vector<double> program;
    std::vector<double> bare;
    for (int i = 0; i < starts; ++i) {
        for (int k = 0; k < 2; ++k) {
            const bool floorTurn = (i + k) % 2 == 1;
            const std::optional<double> ms =
                floorTurn ? startedFigure(floor, {})
                          : startedFigure(self, {QStringLiteral("--window"), programDir});
            if (!ms) {
                std::fprintf(stderr, "bench_startup: %s failed\n", floorTurn ? "the floor" : "the window");
                return false;
            }
            (floorTurn ? bare : program).push_back(*ms);
        }
    }
    const double p = median(program);
    const double f = median(bare);
    std::printf("start-up to MainWin ready, median of %d processes: %.1f ms (min %.1f, max %.1f)\n", starts,
                p, *std::min_element(program.begin(), program.end()),
                *std::max_element(program.begin(), program.end()));
    std::printf("start-up to floor window ready, median of %d processes: %.1f ms (min %.1f, max %.1f)\n",
                starts, f, *std::min_element(bare.begin(), bare.end()),
                *std::max_element(bare.begin(), bare.end()));
    // The load of a shared machine drifts during a run: each window start
    // against the floor started next to it is the steadier ratio.
    std::vector<double> pairs;
    for (size_t i = 0; i < program.size(); ++i)
        pairs.push_back(program[i] / bare[i]);
    std::printf("MainWin / floor: %.2f (median of the %d pairs' ratios: %.2f)\n", p / f, starts,
                median(pairs));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_startup <program folder with Set.ini> [repeats]\n");
        return 2;
    }
    const bool windowOnly = QString::fromLocal8Bit(argv[1]) == QLatin1String("--window");
    if (windowOnly && argc < 3) {
        std::fprintf(stderr, "usage: bench_startup --window <program folder with Set.ini>\n");
        return 2;
    }
    const QString programDir = QString::fromLocal8Bit(argv[windowOnly ? 2 : 1]);
    const int repeats = !windowOnly && argc > 2 ? std::max(1, std::atoi(argv[2])) : 21;
    const int starts = !windowOnly && argc > 3 ? std::max(1, std::atoi(argv[3])) : 21;

    quillan::platform::Paths paths = quillan::platform::Paths::detect();
    paths.programDir = QDir(programDir).absolutePath();
    quillan::app::Application app(paths, paths.programDir + QStringLiteral("/quillan"),
                                  quillan::app::Application::systemParts(paths));
    app.start();
    const double ready = quillan::bench::msToReady();
    if (windowOnly) {
        std::printf("%.1f\n", ready);
        return 0;
    }
    std::printf("start-up to MainWin ready: %.1f ms\n", ready);
    if (!compareWithFloor(programDir, starts))
        return 1;

    const QString example = paths.settingsFile();
    std::printf("phrase lists, %s (%lld bytes): %.3f ms (median of %d)\n", qPrintable(example),
                static_cast<long long>(QFile(example).size()), loadingMs(example, repeats), repeats);

    // A 1 MB Set.ini: the example's sections, each value padded out, plus
    // many sections and keys that are never read.
    QTemporaryDir tmp;
    QByteArray big;
    QFile source(example);
    if (source.open(QIODevice::ReadOnly))
        big = source.readAll();
    int n = 0;
    while (big.size() < 1024 * 1024) {
        big += "[unused" + QByteArray::number(n++) + "]\r\n";
        for (int k = 1; k <= 20; ++k)
            big += "key" + QByteArray::number(k) + "=" +
                   quillan::platform::encodeText(QStringLiteral("询问笔录常用语句的示例文字，用来撑大文件")) +
                   "\r\n";
    }
    const QString bigPath = tmp.filePath(QStringLiteral("Set.ini"));
    QFile out(bigPath);
    if (out.open(QIODevice::WriteOnly))
        out.write(big);
    out.close();
    std::printf("phrase lists, 1 MB Set.ini (%lld bytes): %.3f ms (median of %d)\n",
                static_cast<long long>(big.size()), loadingMs(bigPath, repeats), repeats);
    return 0;
}
