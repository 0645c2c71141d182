#include "security/PasswordWindows.h"

#include "security/PasswordGate.h"
#include "security/PasswordLock.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace quillan::security {

namespace {

QFont windowFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans Mono CJK SC")});
    f.setPixelSize(12);
    return f;
}

Qt::WindowFlags flagsFor(PwdWinSpec::Frame frame)
{
    switch (frame) {
    case PwdWinSpec::Frame::ToolCaption:
        return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
               Qt::MSWindowsFixedSizeDialogHint;
    case PwdWinSpec::Frame::Borderless:
        break;
    }
    return Qt::Dialog | Qt::FramelessWindowHint;
}

} // namespace

PwdWin::PwdWin(const PwdWinSpec& layout, QWidget* parent) : QDialog(parent, flagsFor(layout.frame))
{
    setObjectName(layout.name);
    setWindowTitle(layout.title);
    setAccessibleName(layout.title);
    setFont(windowFont());
    setModal(true);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(layout.clientSize);
    for (const PwdControlSpec& design : layout.controls) {
        QWidget* w = nullptr;
        switch (design.type) {
        case PwdControlSpec::Type::Label: {
            auto* label = new QLabel(design.caption, this);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            w = label;
            break;
        }
        case PwdControlSpec::Type::EditBox: {
            auto* edit = new QLineEdit(design.caption, this);
            if (design.password)
                edit->setEchoMode(QLineEdit::Password);
            if (design.centred)
                edit->setAlignment(Qt::AlignCenter);
            w = edit;
            break;
        }
        case PwdControlSpec::Type::Button: {
            auto* button = new QPushButton(design.caption, this);
            button->setAutoDefault(false);
            w = button;
            break;
        }
        }
        w->setObjectName(design.unit);
        w->setGeometry(design.geometry);
        w->setAccessibleName(design.accessibleName);
        w->setVisible(!design.hidden);
        controls_.insert(design.unit, w);
    }
    // "*" for every character, whatever the style would draw.
    setStyleSheet(QStringLiteral("QLineEdit[echoMode=\"2\"] { lineedit-password-character: 42; }"));
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void PwdWin::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    raise();
    activateWindow();
}

SetPwdWin::SetPwdWin(PasswordCommands& commands, QWidget* parent) : PwdWin(setPwdWinLayout(), parent)
{
    auto* first = control<QLineEdit>(QString::fromUtf8(pwdunit::kEntry));
    auto* second = control<QLineEdit>(QString::fromUtf8(pwdunit::kRepeat));
    auto* button = control<QPushButton>(QString::fromUtf8(pwdunit::kConfirm));
    button->setDefault(true);
    connect(button, &QPushButton::clicked, this, [this, &commands, first, second] {
        if (commands.setPassword(first->text(), second->text()))
            accept();
    });
    first->setFocus();
}

EnterPwdWin::EnterPwdWin(PasswordGate& gate, QWidget* parent)
    : PwdWin(enterPwdWinLayout(), parent), gate_(gate)
{
    entry_ = control<QLineEdit>(QString::fromUtf8(pwdunit::kEntry));
    button_ = control<QPushButton>(QString::fromUtf8(pwdunit::kConfirm));
    pause_ = control<QLabel>(QString::fromUtf8(pwdunit::kPauseNotice));
    button_->setDefault(true);
    connect(button_, &QPushButton::clicked, this, &EnterPwdWin::confirm);
    // The seconds left tick down on the clock service; this only redraws.
    ticker_ = new QTimer(this);
    ticker_->setInterval(250);
    connect(ticker_, &QTimer::timeout, this, &EnterPwdWin::refreshPause);
    refreshPause();
    entry_->setFocus();
}

void EnterPwdWin::confirm()
{
    switch (gate_.confirm(entry_->text())) {
    case PasswordGate::Outcome::Unlocked:
        accept();
        return;
    case PasswordGate::Outcome::Wrong:
        entry_->clear();
        entry_->setFocus();
        break;
    case PasswordGate::Outcome::Paused:
        break;
    }
    refreshPause();
}

void EnterPwdWin::refreshPause()
{
    const QString text = gate_.pauseText();
    pause_->setText(text);
    pause_->setVisible(!text.isEmpty());
    button_->setEnabled(text.isEmpty());
    if (text.isEmpty())
        ticker_->stop();
    else if (!ticker_->isActive())
        ticker_->start();
}

void EnterPwdWin::keyPressEvent(QKeyEvent* event)
{
    // The window offers no way out but the right password.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    PwdWin::keyPressEvent(event);
}

bool runPasswordGate(PasswordGate& gate, QWidget& mainWin)
{
    if (!gate.lockOn()) {
        mainWin.show();
        return true;
    }
    EnterPwdWin window(gate, &mainWin);
    if (window.exec() != QDialog::Accepted)
        return false;
    mainWin.show();
    return true;
}

PasswordUi::PasswordUi(platform::RegistryStore& registry, platform::Prompts& prompts, platform::Clock& clock,
                       QWidget& mainWin)
    : QObject(&mainWin), registry_(registry), prompts_(prompts), clock_(clock), mainWin_(mainWin)
{
    setObjectName(QStringLiteral("PasswordUi"));
    PasswordEnvironment env;
    env.registry = &registry_;
    env.prompts = &prompts_;
    env.showSetPwdWin = [this] {
        SetPwdWin window(*commands_, &mainWin_);
        return window.exec() == QDialog::Accepted;
    };
    commands_ = std::make_unique<PasswordCommands>(std::move(env));
}

PasswordUi::~PasswordUi() = default;

bool PasswordUi::runGate()
{
    if (lockUnreadable(registry_, prompts_)) {
        mainWin_.show();
        return true;
    }
    PasswordGate gate(registry_, prompts_, clock_);
    return runPasswordGate(gate, mainWin_);
}

} // namespace quillan::security
