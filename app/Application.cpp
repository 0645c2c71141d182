#include "app/Application.h"

#include "app/MainWin.h"
#include "app/Startup.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/RegistryStore.h"
#include "platform/Shell.h"
#include "platform/qt/QtPrompts.h"

#include <QAction>
#include <QCoreApplication>

namespace quillan::app {

Application::Parts Application::systemParts(const platform::Paths& paths)
{
    Parts parts;
    parts.clock = std::make_unique<platform::SystemClock>();
    parts.prompts = std::make_unique<platform::QtPrompts>();
    parts.shell = std::make_unique<platform::SystemShell>();
    parts.registry = std::make_unique<platform::RegistryStore>(paths.configDir + QStringLiteral("/registry"));
    return parts;
}

Application::Application(platform::Paths paths, QString executablePath, Parts parts) : parts_(std::move(parts))
{
    services_.paths = std::move(paths);
    services_.executablePath = std::move(executablePath);
    services_.clock = parts_.clock.get();
    services_.prompts = parts_.prompts.get();
    services_.shell = parts_.shell.get();
    services_.registry = parts_.registry.get();
    services_.pageLineCounter = 0;

    window_ = std::make_unique<MainWin>(*services_.clock);
    if (auto* qtPrompts = dynamic_cast<platform::QtPrompts*>(services_.prompts))
        qtPrompts->setParentWindow(window_.get());
    startup_ = std::make_unique<Startup>(*window_, services_);

    exitProgram = [this](int code) {
        exiting_ = true;
        QCoreApplication::exit(code);
    };
    // Closing the window runs the closing-page step; "退出" ends the program
    // at once without it.
    window_->aboutToBeDestroyed = [this] {
        if (!exiting_)
            runClosingPage(services_);
    };
    bindCommands();
}

Application::~Application() { window_.reset(); }

void Application::start() { startup_->run(); }

void Application::bindCommands()
{
    MainWin& w = *window_;
    QObject::connect(w.menuAction(QStringLiteral("文件"), QStringLiteral("退出")), &QAction::triggered, &w,
                     [this] { exitProgram(0); });
}

} // namespace quillan::app
