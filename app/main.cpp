#include "app/Application.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillan"));
    const quillan::platform::Paths paths = quillan::platform::Paths::detect();
    quillan::app::Application app(paths, QCoreApplication::applicationFilePath(),
                                  quillan::app::Application::systemParts(paths));
    app.start();
    return QApplication::exec();
}
