// Prints the time from a click on a "法律法规" entry to its text being shown
// in the main window's panel (written to the scratch file, read back,
// decoded, laid out and painted), for the longest text and a short one, and
// the time of the find field's search through the longest text.
//
// Usage: bench_texts [repeats]   (run with QT_QPA_PLATFORM=offscreen or on a display)
#include "app/Application.h"
#include "app/MainWin.h"
#include "app/TextBindings.h"
#include "app/TextFind.h"
#include "library/LawTexts.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Figures
{
    double median;
    double worst;
};

Figures figures(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

} // namespace

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;

    QTemporaryDir tmp;
    quillan::platform::Paths paths;
    paths.programDir = tmp.filePath(QStringLiteral("program"));
    paths.scratchDir = tmp.filePath(QStringLiteral("scratch"));
    paths.desktopDir = tmp.filePath(QStringLiteral("desktop"));
    paths.configDir = tmp.filePath(QStringLiteral("config"));
    QDir().mkpath(paths.programDir);
    QDir().mkpath(paths.desktopDir);
    QFile ini(paths.settingsFile());
    if (!ini.open(QIODevice::WriteOnly) || ini.write("[pop]\r\ntanchu=0\r\n") < 0)
        return 1;
    ini.close();

    quillan::app::Application app(paths, paths.programDir + QStringLiteral("/quillan"),
                                  quillan::app::Application::systemParts(paths));
    app.start();
    QCoreApplication::processEvents();
    quillan::app::MainWin& w = app.window();
    auto* viewer = w.control<QPlainTextEdit>(QStringLiteral("超级编辑框1"));

    for (const char* caption : {"劳动合同法200问", "劳动监察办案时效"}) {
        QAction* action = w.menuAction(QStringLiteral("法律法规"), QString::fromUtf8(caption));
        std::vector<double> times;
        for (int i = 0; i < repeats; ++i) {
            w.closeTextPanel();
            QCoreApplication::processEvents();
            QElapsedTimer t;
            t.start();
            action->trigger();
            viewer->repaint(); // the panel painted, not just scheduled
            QCoreApplication::processEvents();
            times.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        const Figures f = figures(times);
        const QByteArray bytes = quillan::library::embeddedText(
            *quillan::library::findTextEntry(QStringLiteral("法律法规"), QString::fromUtf8(caption)));
        std::printf(
            "click to panel shown, %s (%lld bytes, %d lines): median %.1f ms, worst %.1f ms (%d runs)\n",
            caption, static_cast<long long>(bytes.size()), viewer->document()->blockCount(), f.median,
            f.worst, repeats);
    }

    // Find: the last article cited in the longest text, from its top.
    w.menuAction(QStringLiteral("法律法规"), QStringLiteral("劳动合同法200问"))->trigger();
    quillan::app::TextFind* find = quillan::app::findFieldOf(viewer);
    find->open();
    find->field()->setText(QStringLiteral("200．问"));
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        viewer->moveCursor(QTextCursor::Start);
        QElapsedTimer t;
        t.start();
        find->findNext();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    const Figures f = figures(times);
    std::printf("find the last question from the top: median %.2f ms, worst %.2f ms (%d runs)\n", f.median,
                f.worst, repeats);
    return 0;
}
