#include "app/Bindings.h"
#include "app/FormBinding.h"
#include "app/MainWin.h"
#include "app/MainWinLayout.h"
#include "app/Services.h"
#include "exchange/ExchangeCommands.h"

#include <QLineEdit>

namespace quillan::app {

namespace {

// "FTP笔录服务器配置": moves the FTP panel to the top left corner and shows
// it, or hides it when it is shown.
void toggleFtpPanel(MainWin& window)
{
    QWidget* panel = window.control(unit::kFtpPanel);
    panel->move(1, 0);
    panel->setVisible(panel->isHidden());
    if (panel->isVisible())
        panel->raise();
}

} // namespace

std::unique_ptr<exchange::ExchangeCommands> bindExchange(const Wiring& wiring)
{
    Services& s = wiring.services;
    if (!s.ftp || !s.web)
        return nullptr;
    MainWin& w = wiring.window;
    exchange::ExchangeEnvironment env;
    env.fields = [&form = wiring.form] { return form.serverFields(); };
    env.status = &w;
    env.session = &s.session;
    env.prompts = s.prompts;
    env.ftp = s.ftp;
    env.web = s.web;
    env.programDir = s.paths.programDir;
    env.scratchDir = s.paths.scratchDir;
    env.website = s.website;
    env.settings = s.registry;
    auto commands = std::make_unique<exchange::ExchangeCommands>(std::move(env));

    exchange::ExchangeCommands* c = commands.get();
    onMenu(w, "网络功能", "FTP笔录服务器配置", [&w] { toggleFtpPanel(w); });
    onMenu(w, "网络功能", "笔录上传", [c] { c->upload(); });
    onMenu(w, "网络功能", "笔录下载", [c] { c->download(); });
    onMenu(w, "更新", "更新软件", [c] { c->checkForUpdate(); });

    // Address and file name on light grey, account and password on a
    // darker grey.
    for (const auto& [name, colour] :
         {std::pair{unit::kFtpAddress, "#E4E4E4"}, std::pair{unit::kFtpFileName, "#E4E4E4"},
          std::pair{unit::kFtpAccount, "#C8C8C8"}, std::pair{unit::kFtpPassword, "#C8C8C8"}}) {
        if (auto* edit = w.control<QLineEdit>(name))
            edit->setStyleSheet(QStringLiteral("QLineEdit { background: %1; }").arg(QLatin1String(colour)));
    }
    return commands;
}

} // namespace quillan::app
