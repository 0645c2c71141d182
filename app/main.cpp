#include "app/Application.h"
#include "platform/Signals.h"
#include "platform/Text.h"
#include "platform/qt/QtPrompts.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

using quillan::platform::u;

// "--version" and "--help" are answered on the terminal before Qt is
// started, so that they need no display. Anything else is left to Qt and
// the program.
std::optional<int> answerOnTheTerminal(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("quillan " QUILLAN_VERSION "\n", stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            const QString help =
                u("用法：quillan [--help] [--version]\n"
                  "Quillan：劳动保障监察和工伤认定的询问笔录。不带选项时打开程序窗口。\n"
                  "\n"
                  "  --help     显示本说明后退出\n"
                  "  --version  显示程序版本后退出\n"
                  "\n"
                  "程序文件夹中有 Set.ini 时，笔录保存在程序文件夹的 BL 文件夹中；\n"
                  "安装的程序把笔录保存在“文档”文件夹的 Quillan/BL 中（例如 ~/文档/Quillan/BL），\n"
                  "Set.ini 也在 Quillan 文件夹中，第一次启动时从 /etc/quillan/Set.ini 复制。\n");
            std::fputs(help.toUtf8().constData(), stdout);
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> answered = answerOnTheTerminal(argc, argv))
        return *answered;
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillan"));
    quillan::platform::QtPrompts::useChineseQtTexts();
    const quillan::platform::Paths paths = quillan::platform::Paths::detect();
    // An installed program without an office folder it can write to has
    // nowhere to keep a record: it says so and does not start.
    if (const QString problem = paths.setUpOfficeFolder(); !problem.isEmpty()) {
        std::fprintf(stderr, "quillan: %s\n", problem.toUtf8().constData());
        quillan::platform::QtPrompts().message(problem, u("无法启动："), quillan::platform::Buttons::Ok);
        return 1;
    }
    quillan::app::Application app(paths, QCoreApplication::applicationFilePath(),
                                  quillan::app::Application::systemParts(paths));
    // The end of the desktop session ends the program in order: the form
    // kept, the command in progress finished or called off, then ended as
    // "退出" ends it; the office it started ends with it.
    quillan::platform::onTerminationSignal([&app](int) { app.endInOrder(0); });
    app.start();
    return QApplication::exec();
}
