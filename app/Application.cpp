#include "app/Application.h"

#include "app/MainWin.h"
#include "app/Startup.h"
#include "library/DocumentCommands.h"
#include "library/InspectionDocuments.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/RegistryStore.h"
#include "platform/Shell.h"
#include "platform/qt/QtPrompts.h"
#include "record/RecordCommands.h"
#include "word/LibreOfficeEngine.h"

#include <QAction>
#include <QPushButton>
#include <QCoreApplication>

namespace quillan::app {

Application::Parts Application::systemParts(const platform::Paths& paths)
{
    Parts parts;
    parts.clock = std::make_unique<platform::SystemClock>();
    parts.prompts = std::make_unique<platform::QtPrompts>();
    parts.shell = std::make_unique<platform::SystemShell>();
    parts.registry = std::make_unique<platform::RegistryStore>(paths.configDir + QStringLiteral("/registry"));
    word::LibreOfficeOptions office;
    office.scratchDir = paths.scratchDir;
    parts.word = std::make_unique<word::LibreOfficeEngine>(office);
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
    services_.word = parts_.word.get();
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

    // The record commands work on the window as the record form.
    if (services_.word) {
        record::RecordEnvironment env;
        env.form = &w;
        env.prompts = services_.prompts;
        env.clock = services_.clock;
        env.shell = services_.shell;
        env.word = services_.word;
        env.programDir = services_.paths.programDir;
        env.pageLineCounter = &services_.pageLineCounter;
        env.templateDialog = &w.fileDialog(QStringLiteral("通用对话框2"));
        env.documentDialog = &w.fileDialog(QStringLiteral("通用对话框3"));
        env.rerunStartup = [this] { startup_->run(); };
        records_ = std::make_unique<record::RecordCommands>(std::move(env));
        record::RecordCommands* r = records_.get();
        const auto bind = [&w](const char* menu, const char* item, void (record::RecordCommands::*command)(),
                               record::RecordCommands* target) {
            if (QAction* action = w.menuAction(QString::fromUtf8(menu), QString::fromUtf8(item)))
                QObject::connect(action, &QAction::triggered, &w, [target, command] { (target->*command)(); });
        };
        bind("文件", "新建(笔录)", &record::RecordCommands::newRecord, r);
        bind("文件", "打开(笔录模板)", &record::RecordCommands::openTemplate, r);
        bind("文件", "保存(笔录及模板)", &record::RecordCommands::saveRecord, r);
        bind("文件", "打印(笔录)", &record::RecordCommands::printRecord, r);
        bind("工具", "Word文档", &record::RecordCommands::newWordDocument, r);
        bind("工具", "Excel文档", &record::RecordCommands::newSpreadsheet, r);
        if (auto* print = w.control<QPushButton>(QStringLiteral("按钮6")))
            QObject::connect(print, &QPushButton::clicked, &w, [r] { r->printShownText(); });

        // The menu "监察文书": one entry per blank form of the catalogue.
        library::DocumentEnvironment forms;
        forms.form = &w;
        forms.prompts = services_.prompts;
        forms.shell = services_.shell;
        forms.word = services_.word;
        forms.scratchDir = services_.paths.scratchDir;
        documents_ = std::make_unique<library::DocumentCommands>(std::move(forms));
        for (const library::InspectionDocument& document : library::inspectionDocuments()) {
            if (QAction* action = w.menuAction(QStringLiteral("监察文书"), document.captionText()))
                QObject::connect(action, &QAction::triggered, &w,
                                 [this, &document] { documents_->open(document); });
        }
    }
}

} // namespace quillan::app
