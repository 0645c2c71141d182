// Prints the time from process start to the main window being ready (shown,
// start-up initialisation done, first paint processed), and the time of
// loading the phrase lists from the example Set.ini and from a 1 MB one.
//
// Usage: bench_startup <program folder with Set.ini> [repeats]
// The process start is read from /proc/self/stat, so the figure includes
// loading the libraries before main().
#include "app/Application.h"
#include "app/MainWin.h"
#include "platform/Text.h"
#include "settings/PhraseLists.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Milliseconds since this process started.
double msSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = content.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::vector<std::string> fields;
    std::string field;
    for (char c : content.substr(close + 2)) {
        if (c == ' ') {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    // Field 22 of the file (starttime, in clock ticks since boot) is index 19 here.
    const double startTicks = std::stod(fields.at(19));
    timespec boot{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    const double nowMs = double(boot.tv_sec) * 1000.0 + double(boot.tv_nsec) / 1e6;
    return nowMs - startTicks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

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

} // namespace

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_startup <program folder with Set.ini> [repeats]\n");
        return 2;
    }
    const QString programDir = QString::fromLocal8Bit(argv[1]);
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 21;

    quillan::platform::Paths paths = quillan::platform::Paths::detect();
    paths.programDir = QDir(programDir).absolutePath();
    quillan::app::Application app(paths, paths.programDir + QStringLiteral("/quillan"),
                                  quillan::app::Application::systemParts(paths));
    app.start();
    QCoreApplication::processEvents();
    const double ready = msSinceProcessStart();
    std::printf("start-up to MainWin ready: %.1f ms\n", ready);

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
