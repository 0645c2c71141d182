#include "app/MainWin.h"

#include "app/MenuTree.h"
#include "app/StatusText.h"
#include "app/VerticalButton.h"
#include "platform/Clock.h"
#include "record/RecordFields.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>

namespace quillan::app {

namespace {

QFont headingFont()
{
    // The documents keep naming SimSun; on this desktop it is drawn with
    // the Simplified Chinese face of the Noto CJK fonts.
    QFont::insertSubstitutions(QStringLiteral("SimSun"),
                               {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    QFont f(QStringLiteral("SimSun"));
    f.setPixelSize(16);
    return f;
}

QFont formFont()
{
    // Half-width blanks are exactly half a Chinese character wide in these
    // faces, so the labels line up with the fields laid over them.
    QFont f;
    f.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    f.setPixelSize(12);
    return f;
}

} // namespace

QKeySequence menuShortcut(const QString& menu, const QString& item)
{
    // The record's own commands, so that a record can be kept without the
    // mouse; the menus show them beside their captions.
    static const struct
    {
        const char* menu;
        const char* item;
        QKeySequence::StandardKey key;
    } keys[] = {
        {"文件", "新建(笔录)", QKeySequence::New},
        {"文件", "打开(笔录模板)", QKeySequence::Open},
        {"文件", "保存(笔录及模板)", QKeySequence::Save},
        {"文件", "打印(笔录)", QKeySequence::Print},
    };
    for (const auto& k : keys)
        if (menu == QString::fromUtf8(k.menu) && item == QString::fromUtf8(k.item))
            return QKeySequence(k.key);
    return {};
}

MainWin::MainWin(platform::Clock& clock, QWidget* parent) : QMainWindow(parent), clock_(clock)
{
    setObjectName(QStringLiteral("MainWin"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(designTitle());
    setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));
    setFont(formFont());
    buildMenus();
    buildControls();
    // The client area of the design frame; taller when this desktop's menu
    // bar is, so that the pages always end above the status bar.
    const int pagesBottom = 59 + 510 + 2;
    setFixedSize(kClientWidth,
                 qMax(kClientHeight, menuBar()->sizeHint().height() + pagesBottom + kStatusBarHeight));

    dialogs_.insert(QString::fromUtf8(unit::kWavDialog), {QString::fromUtf8(unit::kWavDialog),
                                                          platform::FileDialogUnit::Mode::Save,
                                                          QStringLiteral("WAV录音文件|*.wav"),
                                                          QStringLiteral("wav"),
                                                          {}});
    dialogs_.insert(QString::fromUtf8(unit::kTemplateDialog), {QString::fromUtf8(unit::kTemplateDialog),
                                                               platform::FileDialogUnit::Mode::Open,
                                                               QStringLiteral("*.ini 笔录模板文件|*.ini"),
                                                               QStringLiteral("ini"),
                                                               {}});
    dialogs_.insert(QString::fromUtf8(unit::kDocumentDialog),
                    {QString::fromUtf8(unit::kDocumentDialog),
                     platform::FileDialogUnit::Mode::Open,
                     QStringLiteral("*.doc 选择要打印的笔录WORD文件|*.doc"),
                     QStringLiteral("ini"),
                     {}});

    for (const TimerSpec& t : mainWinTimers()) {
        auto* timer = new QTimer(this);
        timer->setObjectName(t.unit);
        timer->setInterval(t.interval);
        timers_.insert(t.unit, timer);
        if (t.running)
            timer->start();
    }
    connect(timers_.value(QString::fromUtf8(unit::kStatusClock)), &QTimer::timeout, this,
            &MainWin::refreshStatusBar);

    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kFrameWidth / 2, kFrameHeight / 2));
    }
}

MainWin::~MainWin()
{
    if (aboutToBeDestroyed)
        aboutToBeDestroyed();
}

void MainWin::closeEvent(QCloseEvent* event)
{
    if (mayClose && !mayClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWin::buildMenus()
{
    menuBar()->setObjectName(QStringLiteral("菜单栏"));
    for (const MenuSpec& design : menuTree()) {
        QMenu* menu = menuBar()->addMenu(design.title);
        menu->setObjectName(design.title);
        for (const QString& item : design.items) {
            QAction* action = menu->addAction(item);
            action->setObjectName(design.title + QLatin1Char('/') + item);
            action->setShortcut(menuShortcut(design.title, item));
        }
    }
}

void MainWin::buildControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    for (const ControlSpec& design : mainWinLayout()) {
        if (design.type == ControlType::StatusBar) {
            auto* bar = new QStatusBar(this);
            bar->setObjectName(design.unit);
            bar->setSizeGripEnabled(false);
            bar->setFixedHeight(design.geometry.height());
            bar->setAccessibleName(design.accessibleName);
            statusPart0_ = new QLabel(bar);
            statusPart0_->setObjectName(design.unit + QStringLiteral(".0"));
            statusPart0_->setTextFormat(Qt::PlainText);
            bar->addWidget(statusPart0_, 1);
            setStatusBar(bar);
            controls_.insert(design.unit, bar);
            continue;
        }
        QWidget* parent = design.parent.isEmpty() ? client : controls_.value(design.parent);
        Q_ASSERT(parent);
        QWidget* w = nullptr;
        switch (design.type) {
        case ControlType::PicBox: {
            auto* label = new QLabel(parent);
            label->setPixmap(QPixmap(QStringLiteral(":/pictures/banner.png")));
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            w = label;
            break;
        }
        case ControlType::GroupBox:
            w = new QGroupBox(design.caption, parent);
            // Panels lie over the pages: they hide what is under them.
            w->setAutoFillBackground(true);
            break;
        case ControlType::Label: {
            auto* label = new QLabel(design.caption, parent);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            w = label;
            break;
        }
        case ControlType::EditBox: {
            auto* edit = new QLineEdit(design.caption, parent);
            if (design.centred)
                edit->setAlignment(Qt::AlignCenter);
            if (design.digitsOnly)
                edit->setValidator(
                    new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
            if (design.secret)
                edit->setEchoMode(QLineEdit::Password);
            w = edit;
            break;
        }
        case ControlType::ComboBox: {
            auto* box = new QComboBox(parent);
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            box->setMaxVisibleItems(20);
            box->addItems(design.items);
            box->setCurrentIndex(-1);
            box->setEditText(QString());
            w = box;
            break;
        }
        case ControlType::Button:
            w = design.vertical ? new VerticalButton(design.caption, parent)
                                : new QPushButton(design.caption, parent);
            break;
        case ControlType::TextViewer: {
            auto* viewer = new QPlainTextEdit(parent);
            viewer->setReadOnly(true);
            w = viewer;
            break;
        }
        case ControlType::MultiLineEdit: {
            auto* edit = new QPlainTextEdit(parent);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            w = edit;
            break;
        }
        case ControlType::SliderBar:
            w = new QSlider(Qt::Horizontal, parent);
            break;
        case ControlType::StatusBar:
            break;
        }
        w->setObjectName(design.unit);
        w->setGeometry(design.geometry);
        w->setAccessibleName(design.accessibleName);
        if (design.heading) {
            w->setFont(headingFont());
            w->setProperty("heading", true);
        }
        if (design.disabled)
            w->setEnabled(false);
        if (design.hidden)
            w->setVisible(false);
        controls_.insert(design.unit, w);
    }

    setUpTabOrder();
    connect(control<QPushButton>(unit::kToSecondView), &QPushButton::clicked, this, &MainWin::showSecondView);
    connect(control<QPushButton>(unit::kToFirstView), &QPushButton::clicked, this, &MainWin::showFirstView);
    connect(control<QPushButton>(unit::kCaseNoteButton), &QPushButton::clicked, this,
            &MainWin::toggleCaseNote);
    connect(control<QPushButton>(unit::kCloseText), &QPushButton::clicked, this, &MainWin::closeTextPanel);
    // "activated" is the list choice: raised when the officer picks an
    // entry from the list, never by typing or by the program.
    connect(control<QComboBox>(record::unitName(record::question(2))), &QComboBox::activated, this,
            &MainWin::suggestAnswerForPair2);
    connect(control<QComboBox>(record::unitName(record::question(3))), &QComboBox::activated, this,
            &MainWin::suggestLinesForPair3);
}

QString MainWin::fieldText(const QString& unit) const
{
    QWidget* w = control(unit);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    if (auto* box = qobject_cast<QComboBox*>(w))
        return box->currentText();
    if (auto* text = qobject_cast<QPlainTextEdit*>(w))
        return text->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    return {};
}

void MainWin::setFieldText(const QString& unit, const QString& text)
{
    QWidget* w = control(unit);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(text);
        edit->setCursorPosition(0);
    } else if (auto* box = qobject_cast<QComboBox*>(w)) {
        box->setEditText(text);
        if (box->lineEdit())
            box->lineEdit()->setCursorPosition(0);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        QString t = text;
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        plain->setPlainText(t);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(text);
    }
}

QString MainWin::statusMessage() const
{
    return statusMessage_;
}
void MainWin::setStatusMessage(const QString& text)
{
    statusMessage_ = text;
}
QString MainWin::statusPart0() const
{
    return statusPart0_->text();
}
void MainWin::setStatusPart0(const QString& text)
{
    statusPart0_->setText(text);
}

void MainWin::setUpTabOrder()
{
    // Tab goes through the record as it reads: the header left to right,
    // top to bottom, then each question before its answer, pair 1 to 24,
    // then the case note when its panel is open.
    for (const record::Field& field : record::writeOrder())
        if (QWidget* next = control(record::unitName(field))) {
            if (!recordFields_.isEmpty())
                QWidget::setTabOrder(recordFields_.last(), next);
            recordFields_ << next;
        }
    if (auto* note = control<QPlainTextEdit>(record::unitName(record::FieldId::CaseNote)))
        note->setTabChangesFocus(true);
    // The keyboard starts at the record's first field.
    if (!recordFields_.isEmpty())
        recordFields_.first()->setFocus();
}

bool MainWin::focusNextPrevChild(bool next)
{
    // Between the pages of the two views, the keyboard brings the other
    // view forward, so that no field is typed into out of sight.
    QWidget* focus = QApplication::focusWidget();
    qsizetype at = -1;
    for (qsizetype i = 0; focus && i < recordFields_.size() && at < 0; ++i)
        if (recordFields_[i] == focus || recordFields_[i]->isAncestorOf(focus))
            at = i;
    const qsizetype to = at + (next ? 1 : -1);
    if (at >= 0 && to >= 0 && to < recordFields_.size()) {
        QWidget* target = recordFields_[to];
        const auto within = [target, this](const char* a, const char* b) {
            return control(a)->isAncestorOf(target) || control(b)->isAncestorOf(target);
        };
        const bool firstView = control(unit::kToSecondView)->isEnabled();
        if (firstView && within(unit::kSecondViewLeft, unit::kSecondViewRight))
            showSecondView();
        else if (!firstView && within(unit::kFirstViewLeft, unit::kFirstViewRight))
            showFirstView();
        if (target->isVisible()) {
            target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return QMainWindow::focusNextPrevChild(next);
}

void MainWin::showSecondView()
{
    control(unit::kFirstViewLeft)->setVisible(false);
    control(unit::kFirstViewRight)->setVisible(false);
    control(unit::kToSecondView)->setEnabled(false);
    control(unit::kToFirstView)->setEnabled(true);
    control(unit::kSecondViewLeft)->setGeometry(1, 59, 517, 510);
    control(unit::kSecondViewRight)->setGeometry(519, 59, 500, 510);
    control(unit::kSecondViewLeft)->setVisible(true);
    control(unit::kSecondViewRight)->setVisible(true);
    raiseOverlays();
    emit viewSwitched();
}

void MainWin::showFirstView()
{
    control(unit::kFirstViewLeft)->setVisible(true);
    control(unit::kFirstViewRight)->setVisible(true);
    control(unit::kToSecondView)->setEnabled(true);
    control(unit::kToFirstView)->setEnabled(false);
    for (const char* name : {unit::kSecondViewLeft, unit::kSecondViewRight}) {
        QWidget* page = control(name);
        page->move(1660, page->y());
    }
    emit viewSwitched();
}

void MainWin::toggleCaseNote()
{
    QWidget* panel = control(unit::kCaseNotePanel);
    panel->setGeometry(519, 59, 500, 510);
    panel->setVisible(panel->isHidden());
    raiseOverlays();
}

void MainWin::raiseOverlays()
{
    // The case note lies over the pages, the three narrow buttons at the
    // right edge over the case note (it reaches under them), and the text
    // panel over everything.
    for (const char* name : {unit::kCaseNotePanel, unit::kCaseNoteButton, unit::kToFirstView,
                             unit::kToSecondView, unit::kTextViewer, unit::kPrintText, unit::kCloseText})
        control(name)->raise();
}

void MainWin::showTextPanel(const QString& text)
{
    auto* viewer = control<QPlainTextEdit>(unit::kTextViewer);
    viewer->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    viewer->setGeometry(1, 64, 1017, 506);
    for (const char* name : {unit::kTextViewer, unit::kCloseText, unit::kPrintText})
        control(name)->setVisible(true);
    raiseOverlays();
}

void MainWin::closeTextPanel()
{
    for (const char* name : {unit::kTextViewer, unit::kCloseText, unit::kPrintText})
        control(name)->setVisible(false);
}

void MainWin::refreshStatusBar()
{
    setStatusPart0(statusBarText(statusMessage(), clock_.now()));
}

void MainWin::insertAtTop(const QString& unit, const QStringList& entries)
{
    auto* box = control<QComboBox>(unit);
    if (!box || entries.isEmpty())
        return;
    const QString text = box->currentText();
    const int index = box->currentIndex();
    box->insertItems(0, entries);
    // An empty box selects its first new entry by itself; undo that.
    if (index < 0 && box->currentIndex() >= 0)
        box->setCurrentIndex(-1);
    if (box->currentText() != text)
        box->setEditText(text);
}

void MainWin::clearList(const QString& unit)
{
    auto* box = control<QComboBox>(unit);
    if (!box)
        return;
    const QString text = box->currentText();
    box->clear();
    box->setEditText(text);
}

QStringList MainWin::listEntries(const QString& unit) const
{
    QStringList entries;
    if (auto* box = control<QComboBox>(unit))
        for (int i = 0; i < box->count(); ++i)
            entries << box->itemText(i);
    return entries;
}

void MainWin::setBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

QAction* MainWin::menuAction(const QString& menu, const QString& item) const
{
    return findChild<QAction*>(menu + QLatin1Char('/') + item);
}

void MainWin::suggestAnswerForPair2()
{
    using record::FieldId;
    insertAtTop(record::unitName(record::answer(2)),
                {QStringLiteral("答：") + fieldText(record::unitName(FieldId::Name))});
}

void MainWin::suggestLinesForPair3()
{
    const QString employer = fieldText(record::unitName(record::FieldId::WorkUnit));
    insertAtTop(record::unitName(record::answer(3)), {QStringLiteral("答：") + employer});
    insertAtTop(record::unitName(record::question(4)),
                {QStringLiteral("问：") + employer + QStringLiteral("负责人是谁？")});
}

} // namespace quillan::app
