#pragma once

#include "security/PasswordCommands.h"
#include "security/PasswordWinLayout.h"

#include <QDialog>
#include <QHash>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace quillan::platform {
class Clock;
class Prompts;
class RegistryStore;
} // namespace quillan::platform

namespace quillan::security {

class PasswordGate;

// A password window built from its layout table; controls are addressed by
// unit name. Created fresh, with empty entries, each time it is shown.
class PwdWin : public QDialog
{
    Q_OBJECT
public:
    PwdWin(const PwdWinSpec& layout, QWidget* parent);

    QWidget* control(const QString& unit) const { return controls_.value(unit); }
    template <class W> W* control(const QString& unit) const { return qobject_cast<W*>(control(unit)); }

protected:
    // Takes the keyboard at once: a borderless window is not given it by
    // every window manager.
    void showEvent(QShowEvent* event) override;

private:
    QHash<QString, QWidget*> controls_;
};

// "请输入2次正确密码：". "加 密" hands both entries to the commands and
// closes the window when the password was stored. The close box changes
// nothing.
class SetPwdWin final : public PwdWin
{
    Q_OBJECT
public:
    SetPwdWin(PasswordCommands& commands, QWidget* parent = nullptr);
};

// "输 入 密 码：", borderless. "确认密码" (or Enter in the entry) checks the
// entry; the right password closes it accepted, a wrong one empties the
// entry. While a pause runs the button is off and the window shows the
// seconds left. Escape does not close it; any other way of closing it
// counts as giving up.
class EnterPwdWin final : public PwdWin
{
    Q_OBJECT
public:
    EnterPwdWin(PasswordGate& gate, QWidget* parent = nullptr);

    void confirm();
    // Shows the pause left (if any) and switches the button accordingly.
    void refreshPause();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    PasswordGate& gate_;
    QLineEdit* entry_ = nullptr;
    QPushButton* button_ = nullptr;
    QLabel* pause_ = nullptr;
    QTimer* ticker_ = nullptr;
};

// The first step of start-up: with the lock off shows `mainWin` at once;
// with the lock on shows EnterPwdWin modally first and shows `mainWin` after
// the right password. False when EnterPwdWin was closed without it
// (`mainWin` stays hidden; the program is to end).
bool runPasswordGate(PasswordGate& gate, QWidget& mainWin);

// The lock as the main window uses it: the start-up gate and the menu
// "安全设置". A child of the main window.
class PasswordUi final : public QObject
{
    Q_OBJECT
public:
    PasswordUi(platform::RegistryStore& registry, platform::Prompts& prompts, platform::Clock& clock,
               QWidget& mainWin);
    ~PasswordUi() override;

    bool runGate();
    void encrypt() { commands_->encrypt(); } // "加密"
    void decrypt() { commands_->decrypt(); } // "解密"

private:
    platform::RegistryStore& registry_;
    platform::Prompts& prompts_;
    platform::Clock& clock_;
    QWidget& mainWin_;
    std::unique_ptr<PasswordCommands> commands_;
};

} // namespace quillan::security
