#include "app/ExchangeMenu.h"

#include "app/MainWin.h"
#include "app/MainWinLayout.h"
#include "exchange/ExchangeCommands.h"

#include <QAction>
#include <QLineEdit>

namespace quillan::app {

void toggleFtpPanel(MainWin& window)
{
    QWidget* panel = window.control(unit::kFtpPanel);
    panel->move(1, 0);
    panel->setVisible(panel->isHidden());
    if (panel->isVisible())
        panel->raise();
}

void bindExchangeMenu(MainWin& w, exchange::ExchangeCommands& commands)
{
    const auto bind = [&w](const char* menu, const char* item, auto run) {
        if (QAction* action = w.menuAction(QString::fromUtf8(menu), QString::fromUtf8(item)))
            QObject::connect(action, &QAction::triggered, &w, run);
    };
    exchange::ExchangeCommands* c = &commands;
    bind("网络功能", "FTP笔录服务器配置", [&w] { toggleFtpPanel(w); });
    bind("网络功能", "笔录上传", [c] { c->upload(); });
    bind("网络功能", "笔录下载", [c] { c->download(); });
    bind("更新", "更新软件", [c] { c->checkForUpdate(); });

    // Address and file name on light grey, account and password on a
    // darker grey.
    for (const auto& [name, colour] :
         {std::pair{unit::kFtpAddress, "#E4E4E4"}, std::pair{unit::kFtpFileName, "#E4E4E4"},
          std::pair{unit::kFtpAccount, "#C8C8C8"}, std::pair{unit::kFtpPassword, "#C8C8C8"}}) {
        if (auto* edit = w.control<QLineEdit>(name))
            edit->setStyleSheet(QStringLiteral("QLineEdit { background: %1; }").arg(QLatin1String(colour)));
    }
}

} // namespace quillan::app
