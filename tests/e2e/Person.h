#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

class QWidget;
class QComboBox;

namespace quillan::app {
class MainWin;
}

namespace quillan::test {

// Answers the program's modal windows as an officer would, from a script:
// each message box or file dialog that comes up is matched against the next
// expected step (by its title) and answered; anything unexpected is noted
// and cancelled, so that no test hangs on a window nobody answers.
class Person : public QObject
{
public:
    struct Seen
    {
        QString title;
        QString text;
    };

    Person();

    // The next message box titled `title` is answered with the button of
    // the given caption role ("Yes", "No", "OK", "Cancel").
    void expectMessage(const QString& title, const QString& button);
    // The next modal window titled `title` is handled by `act`.
    void expectWindow(const QString& title, std::function<void(QWidget*)> act);
    // Called with each window before it is answered (for screenshots).
    std::function<void(const QString& title)> beforeAnswer;
    // The next file dialog named `unit` (or, without a unit name, titled so)
    // gets `path` typed in and accepted.
    void expectFile(const QString& unit, const QString& path);
    // Waits until every expected step was taken; false after `timeoutMs`.
    bool waitDone(int timeoutMs);

    const QList<Seen>& seen() const { return seen_; }
    // Every window seen and what was still expected, for a failure message.
    std::string story() const;
    const QStringList& unexpected() const { return unexpected_; }
    // Every window that showed while this person looked on, checked for
    // controls a screen reader cannot name: the windows by title, and the
    // nameless controls as "window: control".
    const QStringList& windowsChecked() const { return windowsChecked_; }
    const QStringList& nameless() const { return nameless_; }

private:
    struct Step
    {
        QString match;
        std::function<void(QWidget*)> act;
    };
    void look();
    void checkAccessibleNames();

    QTimer timer_;
    std::deque<Step> steps_;
    QList<Seen> seen_;
    QStringList unexpected_;
    QSet<std::pair<QWidget*, QString>> checked_;
    QStringList windowsChecked_;
    QStringList nameless_;
};

// Hands of the officer: typing (Latin from the keys, Chinese committed by
// the input method), typing into a control, picking list entries.
void typeText(QWidget* target, const QString& text);
void typeInto(app::MainWin& w, const QString& unit, const QString& text);
// Opens the list of a combo box with the keyboard and picks entry `index`.
void pickFromList(app::MainWin& w, const QString& unit, int index);
// Clicks the menu entry `item` of the menu `menu`, as a mouse would.
void chooseMenu(app::MainWin& w, const QString& menu, const QString& item);

} // namespace quillan::test
