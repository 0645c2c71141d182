#pragma once

namespace quillan::exchange {
class ExchangeCommands;
}

namespace quillan::app {

class MainWin;

// Binds the menu "网络功能" and "更新软件" to the exchange commands, and
// gives the FTP fields their grey backgrounds.
void bindExchangeMenu(MainWin& window, exchange::ExchangeCommands& commands);

// "FTP笔录服务器配置": moves the FTP panel to the top left corner
// and shows it, or hides it when it is shown.
void toggleFtpPanel(MainWin& window);

} // namespace quillan::app
