#include "app/Bindings.h"
#include "app/FindRecordDialog.h"
#include "app/FormBinding.h"
#include "app/MainWin.h"
#include "app/MainWinLayout.h"
#include "app/Services.h"
#include "app/Startup.h"

#include <QAction>
#include <QPushButton>

namespace quillan::app {

void onMenu(MainWin& window, const char* menu, const char* item, std::function<void()> run)
{
    if (QAction* action = window.menuAction(QString::fromUtf8(menu), QString::fromUtf8(item)))
        QObject::connect(action, &QAction::triggered, &window, std::move(run));
}

std::unique_ptr<record::RecordCommands> bindRecords(const Wiring& wiring)
{
    Services& s = wiring.services;
    if (!s.word)
        return nullptr;
    MainWin& w = wiring.window;
    record::RecordEnvironment env;
    env.view = &wiring.form;
    env.status = &w;
    env.session = &s.session;
    env.prompts = s.prompts;
    env.clock = s.clock;
    env.shell = s.shell;
    env.word = s.word;
    env.programDir = s.paths.programDir;
    env.pageLineCounter = &s.pageLineCounter;
    env.templateDialog = &w.fileDialog(unit::kTemplateDialog);
    env.documentDialog = &w.fileDialog(unit::kDocumentDialog);
    env.rerunStartup = [&startup = wiring.startup] { startup.run(); };
    env.formSafe = wiring.formSafe;
    env.keepUnsaved = wiring.keepUnsaved;
    env.recordSaved = wiring.filesSaved;
    auto commands = std::make_unique<record::RecordCommands>(std::move(env));

    record::RecordCommands* r = commands.get();
    onMenu(w, "文件", "新建(笔录)", [r] { r->newRecord(); });
    onMenu(w, "文件", "打开(笔录模板)", [r] { r->openTemplate(); });
    onMenu(w, "文件", "保存(笔录及模板)", [r] { r->saveRecord(); });
    onMenu(w, "文件", "打印(笔录)", [r] { r->printRecord(); });
    bindFindRecord(w, s.paths.programDir, [r](const QString& path) { r->openTemplateAt(path); });
    onMenu(w, "工具", "Word文档", [r] { r->newWordDocument(); });
    onMenu(w, "工具", "Excel文档", [r] { r->newSpreadsheet(); });
    if (auto* print = w.control<QPushButton>(unit::kPrintText))
        QObject::connect(print, &QPushButton::clicked, &w, [r] { r->printShownText(); });
    return commands;
}

} // namespace quillan::app
