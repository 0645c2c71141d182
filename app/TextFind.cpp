#include "app/TextFind.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QToolButton>

namespace quillan::app {

namespace {

QToolButton* makeButton(const QString& text, const QString& tip, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setText(text);
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    b->setAutoRaise(true);
    return b;
}

} // namespace

TextFind::TextFind(QPlainTextEdit* viewer) : QFrame(viewer), viewer_(viewer), field_(new QLineEdit(this))
{
    setObjectName(QStringLiteral("查找"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    field_->setObjectName(QStringLiteral("查找框"));
    field_->setAccessibleName(QStringLiteral("查找"));
    field_->setPlaceholderText(QStringLiteral("查找（如 第十条）"));
    field_->setClearButtonEnabled(true);
    field_->installEventFilter(this);

    auto* previous = makeButton(QStringLiteral("▲"), QStringLiteral("上一个"), this);
    auto* next = makeButton(QStringLiteral("▼"), QStringLiteral("下一个"), this);
    auto* shut = makeButton(QStringLiteral("✕"), QStringLiteral("关闭查找"), this);
    previous->setObjectName(QStringLiteral("上一个"));
    next->setObjectName(QStringLiteral("下一个"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 2, 2);
    row->setSpacing(2);
    row->addWidget(field_, 1);
    row->addWidget(previous);
    row->addWidget(next);
    row->addWidget(shut);
    resize(300, sizeHint().height());
    hide();

    connect(previous, &QToolButton::clicked, this, [this] { findNext(true); });
    connect(next, &QToolButton::clicked, this, [this] { findNext(false); });
    connect(shut, &QToolButton::clicked, this, &TextFind::close);
    connect(field_, &QLineEdit::returnPressed, this, [this] { findNext(false); });
    // A new search starts from the top of what is in view.
    connect(field_, &QLineEdit::textEdited, this, [this] {
        QTextCursor from = viewer_->cursorForPosition(QPoint(0, 0));
        from.movePosition(QTextCursor::StartOfBlock);
        viewer_->setTextCursor(from);
        if (!field_->text().isEmpty())
            findNext(false);
        else
            highlight();
    });

    // The keys work wherever the focus is in the viewer's window, as long as
    // the viewer is on show.
    auto* openKey = new QShortcut(QKeySequence::Find, viewer_, nullptr, nullptr, Qt::WindowShortcut);
    connect(openKey, &QShortcut::activated, this, [this] {
        if (viewer_->isVisible())
            open();
    });
    auto* nextKey = new QShortcut(QKeySequence::FindNext, viewer_, nullptr, nullptr, Qt::WindowShortcut);
    connect(nextKey, &QShortcut::activated, this, [this] {
        if (isVisible())
            findNext(false);
    });
    auto* previousKey =
        new QShortcut(QKeySequence::FindPrevious, viewer_, nullptr, nullptr, Qt::WindowShortcut);
    connect(previousKey, &QShortcut::activated, this, [this] {
        if (isVisible())
            findNext(true);
    });
}

TextFind* findFieldOf(QPlainTextEdit* viewer)
{
    return viewer ? viewer->findChild<TextFind*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void TextFind::place()
{
    const int scrollBar =
        viewer_->verticalScrollBar()->isVisible() ? viewer_->verticalScrollBar()->width() : 0;
    const int width = qMin(300, viewer_->width() - scrollBar - 8);
    resize(width, sizeHint().height());
    move(viewer_->width() - scrollBar - width - 4, 4);
}

void TextFind::open()
{
    place();
    show();
    raise();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

void TextFind::close()
{
    hide();
    viewer_->setExtraSelections({});
    viewer_->setFocus(Qt::OtherFocusReason);
}

bool TextFind::findNext(bool backward)
{
    const QString text = field_->text();
    if (text.isEmpty())
        return false;
    QTextDocument* doc = viewer_->document();
    const QTextDocument::FindFlags flags =
        backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    QTextCursor found = doc->find(text, viewer_->textCursor(), flags);
    if (found.isNull()) {
        // Wrap around the end (or the beginning).
        QTextCursor from(doc);
        from.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
        found = doc->find(text, from, flags);
    }
    const bool ok = !found.isNull();
    field_->setProperty("notFound", !ok);
    field_->setStyleSheet(ok ? QString() : QStringLiteral("QLineEdit { background: #FFD6D6; }"));
    if (ok) {
        viewer_->setTextCursor(found);
        viewer_->centerCursor();
    }
    highlight();
    return ok;
}

void TextFind::highlight()
{
    QList<QTextEdit::ExtraSelection> marks;
    const QTextCursor c = viewer_->textCursor();
    if (c.hasSelection() && !field_->text().isEmpty()) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = c;
        mark.format.setBackground(QColor(255, 210, 0));
        mark.format.setForeground(Qt::black);
        marks << mark;
    }
    viewer_->setExtraSelections(marks);
}

bool TextFind::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ShiftModifier)) {
            findNext(true);
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace quillan::app
