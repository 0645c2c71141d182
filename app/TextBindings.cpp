#include "app/TextBindings.h"

#include "app/Bindings.h"
#include "app/MainWin.h"
#include "app/MainWinLayout.h"
#include "app/Services.h"
#include "app/Startup.h"
#include "app/TextFind.h"
#include "app/TextWin.h"
#include "settings/Settings.h"

#include <QAction>
#include <QPlainTextEdit>

namespace quillan::app {

namespace {

library::TextEnvironment textEnvironment(MainWin& w, Services& s)
{
    library::TextEnvironment env;
    env.session = &s.session;
    env.programDir = s.paths.programDir;
    const platform::Paths paths = s.paths;
    env.scratchDir = [paths] { return paths.ensureScratchDir(); };
    env.showPanel = [&w](const QString& text) {
        auto* viewer = w.control<QPlainTextEdit>(unit::kTextViewer);
        // The find field is made with the first text shown, not with the
        // window: its keys act only while the viewer is on show.
        if (TextFind* find = findFieldOf(viewer); find && find->isVisible())
            find->close();
        else if (viewer && !find)
            new TextFind(viewer);
        w.showTextPanel(text);
    };
    return env;
}

} // namespace

TextBindings::TextBindings(MainWin& window, Services& services, Startup& startup)
    : window_(window), texts_(textEnvironment(window, services)), links_(*services.shell, *services.prompts)
{
    for (const library::TextEntry& entry : library::textCatalogue())
        if (QAction* action = window.menuAction(entry.menu, entry.caption))
            QObject::connect(action, &QAction::triggered, &window, [this, &entry] { texts_.show(entry); });
    for (const library::Link& link : library::linkTable())
        if (QAction* action = window.menuAction(link.menu, link.caption))
            QObject::connect(action, &QAction::triggered, &window, [this, &link] { links_.open(link); });
    for (const library::Tool& tool : library::toolTable())
        if (QAction* action = window.menuAction(QStringLiteral("工具"), tool.caption))
            QObject::connect(action, &QAction::triggered, &window, [this, &tool] { links_.start(tool); });
    if (QAction* action = window.menuAction(QStringLiteral("帮助"), QStringLiteral("联系作者")))
        QObject::connect(action, &QAction::triggered, &window, [this] { links_.showContact(); });

    openTextWin = [this] { showTextWin(); };
    startup.popUpText = [this](const settings::Settings& settings) {
        if (library::popUpWanted(settings.readSetting(QStringLiteral("pop"), QStringLiteral("tanchu"))) &&
            openTextWin)
            openTextWin();
    };
}

void TextBindings::showTextWin()
{
    TextWin win(window_.isVisible() ? &window_ : nullptr);
    win.exec();
}

} // namespace quillan::app

namespace quillan::app {

std::unique_ptr<TextBindings> bindTexts(const Wiring& wiring)
{
    return std::make_unique<TextBindings>(wiring.window, wiring.services, wiring.startup);
}

} // namespace quillan::app
