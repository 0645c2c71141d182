#pragma once

#include <QFrame>

class QLineEdit;
class QPlainTextEdit;

namespace quillan::app {

// The find field of a text viewer: Ctrl+F opens it over the viewer's top
// right corner; Enter (or "下一个", F3) finds the next occurrence,
// Shift+Enter (or "上一个", Shift+F3) the previous one, wrapping around the
// ends; the match is selected and highlighted. Esc closes the field and
// gives the viewer the focus back.
class TextFind final : public QFrame
{
    Q_OBJECT
public:
    explicit TextFind(QPlainTextEdit* viewer);

    void open();
    void close();
    // Finds the field's text after (or before) the current match. False when
    // the text does not occur at all.
    bool findNext(bool backward = false);

    QLineEdit* field() const { return field_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();
    void highlight();

    QPlainTextEdit* viewer_;
    QLineEdit* field_;
};

// The find field attached to `viewer`, or nullptr.
TextFind* findFieldOf(QPlainTextEdit* viewer);

} // namespace quillan::app
