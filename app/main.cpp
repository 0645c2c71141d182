#include "app/Application.h"
#include "platform/Signals.h"
#include "platform/qt/QtPrompts.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillan"));
    quillan::platform::QtPrompts::useChineseQtTexts();
    const quillan::platform::Paths paths = quillan::platform::Paths::detect();
    quillan::app::Application app(paths, QCoreApplication::applicationFilePath(),
                                  quillan::app::Application::systemParts(paths));
    // The end of the desktop session ends the program in order: the form
    // kept, the command in progress finished or called off, then ended as
    // "退出" ends it; the office it started ends with it.
    quillan::platform::onTerminationSignal([&app](int) { app.endInOrder(0); });
    app.start();
    return QApplication::exec();
}
