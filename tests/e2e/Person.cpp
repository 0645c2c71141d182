#include "Person.h"

#include "app/MainWin.h"
#include "support/AccessibleNames.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

namespace quillan::test {

Person::Person()
{
    timer_.setInterval(40);
    QObject::connect(&timer_, &QTimer::timeout, this, &Person::look);
    timer_.start();
}

void Person::expectMessage(const QString& title, const QString& button)
{
    steps_.push_back({title, [button](QWidget* w) {
                          auto* box = qobject_cast<QMessageBox*>(w);
                          const QMessageBox::StandardButton which =
                              button == QLatin1String("Yes")      ? QMessageBox::Yes
                              : button == QLatin1String("No")     ? QMessageBox::No
                              : button == QLatin1String("Cancel") ? QMessageBox::Cancel
                                                                  : QMessageBox::Ok;
                          if (box && box->button(which))
                              box->button(which)->click();
                          else
                              w->close();
                      }});
}

void Person::expectWindow(const QString& title, std::function<void(QWidget*)> act)
{
    steps_.push_back({title, std::move(act)});
}

void Person::expectFile(const QString& unit, const QString& path)
{
    steps_.push_back({unit, [path](QWidget* w) {
                          auto* dialog = qobject_cast<QFileDialog*>(w);
                          auto* name = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                                              : nullptr;
                          if (!name) {
                              w->close();
                              return;
                          }
                          name->setFocus();
                          name->selectAll();
                          // The whole path at once, as pasted: typed key by key, the
                          // dialog would go into each folder as its name is typed.
                          QInputMethodEvent paste;
                          paste.setCommitString(path);
                          QApplication::sendEvent(name, &paste);
                          // The accepting button ("Open", "Save"), as a mouse would.
                          auto* buttons = dialog->findChild<QDialogButtonBox*>();
                          QAbstractButton* accept = nullptr;
                          for (QAbstractButton* b : buttons ? buttons->buttons() : QList<QAbstractButton*>())
                              if (buttons->buttonRole(b) == QDialogButtonBox::AcceptRole)
                                  accept = b;
                          if (accept && accept->isEnabled())
                              accept->click();
                          else
                              QTest::keyClick(name, Qt::Key_Return);
                      }});
}

bool Person::waitDone(int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!steps_.empty() && t.elapsed() < timeoutMs)
        QTest::qWait(50);
    return steps_.empty();
}

std::string Person::story() const
{
    QString out = QStringLiteral("seen:");
    for (const Seen& s : seen_)
        out += QStringLiteral(" [") + s.title + QStringLiteral("|") + s.text + QLatin1Char(']');
    out += QStringLiteral("; still expected:");
    for (const Step& s : steps_)
        out += QStringLiteral(" [") + s.match + QLatin1Char(']');
    return out.toStdString();
}

void Person::checkAccessibleNames()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        // Lists that drop down, menus and tooltips belong to their control.
        const Qt::WindowType type = window->windowType();
        if (!window->isVisible() || type == Qt::Popup || type == Qt::ToolTip)
            continue;
        const QString title = window->windowTitle().isEmpty() ? window->objectName() : window->windowTitle();
        if (checked_.contains({window, title}))
            continue;
        checked_.insert({window, title});
        if (!windowsChecked_.contains(title))
            windowsChecked_ << title;
        for (const QString& control : accessibleNames(window).nameless)
            if (!nameless_.contains(title + QStringLiteral(": ") + control))
                nameless_ << title + QStringLiteral(": ") + control;
    }
}

void Person::look()
{
    checkAccessibleNames();
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    timer_.stop(); // the answer may run a nested event loop
    const auto* box = qobject_cast<QMessageBox*>(modal);
    // File dialogs by their unit name, the folder browser and the rest by
    // their title.
    const bool unitNamed = qobject_cast<QFileDialog*>(modal) && !modal->objectName().isEmpty() &&
                           modal->objectName() != QLatin1String("QFileDialog");
    const QString name = unitNamed ? modal->objectName() : modal->windowTitle();
    seen_.push_back({name, box ? box->text() : QString()});
    if (!steps_.empty() && steps_.front().match == name) {
        const Step step = steps_.front();
        steps_.pop_front();
        if (beforeAnswer)
            beforeAnswer(name);
        step.act(modal);
    } else {
        unexpected_ << name + QStringLiteral(": ") + (box ? box->text() : QString());
        if (box && box->escapeButton())
            box->escapeButton()->click();
        else
            modal->close();
    }
    timer_.start();
}

void typeText(QWidget* target, const QString& text)
{
    // Latin letters and digits come from the keys; Chinese comes, as on a
    // desktop, from the input method, which commits each phrase.
    QString run;
    const auto flush = [&] {
        if (run.isEmpty())
            return;
        if (run.front().unicode() < 0x80) {
            QTest::keyClicks(target, run);
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(run);
            QApplication::sendEvent(target, &commit);
        }
        run.clear();
    };
    for (const QChar c : text) {
        if (!run.isEmpty() && (run.front().unicode() < 0x80) != (c.unicode() < 0x80))
            flush();
        run += c;
    }
    flush();
}

void typeInto(app::MainWin& w, const QString& unit, const QString& text)
{
    QWidget* control = w.control(unit);
    ASSERT_NE(control, nullptr) << unit.toStdString();
    QWidget* target = control;
    if (auto* box = qobject_cast<QComboBox*>(control); box && box->lineEdit())
        target = box->lineEdit();
    control->setFocus(Qt::MouseFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(target))
        edit->selectAll();
    typeText(target, text);
}

void pickFromList(app::MainWin& w, const QString& unit, int index)
{
    auto* box = w.control<QComboBox>(unit);
    ASSERT_NE(box, nullptr) << unit.toStdString();
    ASSERT_LT(index, box->count()) << unit.toStdString() << " has too few entries";
    box->setFocus(Qt::MouseFocusReason);
    box->showPopup();
    QAbstractItemView* list = box->view();
    ASSERT_TRUE(QTest::qWaitFor([list] { return list->isVisible(); }, 3000)) << unit.toStdString();
    const QModelIndex item = list->model()->index(index, box->modelColumn(), list->rootIndex());
    list->scrollTo(item);
    const QRect place = list->visualRect(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
    EXPECT_TRUE(QTest::qWaitFor([list] { return !list->isVisible(); }, 3000)) << unit.toStdString();
}

namespace {

QAction* actionCalled(const QList<QAction*>& actions, const QString& caption)
{
    for (QAction* a : actions)
        if (a->text() == caption)
            return a;
    return nullptr;
}

} // namespace

void chooseMenu(app::MainWin& w, const QString& menu, const QString& item)
{
    QMenuBar* bar = w.menuBar();
    QAction* title = actionCalled(bar->actions(), menu);
    ASSERT_NE(title, nullptr) << menu.toStdString();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
    QMenu* popup = title->menu();
    ASSERT_TRUE(QTest::qWaitFor([popup] { return popup->isVisible(); }, 3000)) << menu.toStdString();
    QAction* entry = actionCalled(popup->actions(), item);
    ASSERT_NE(entry, nullptr) << item.toStdString();
    QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(entry).center());
    if (popup->isVisible()) {
        ADD_FAILURE() << "the menu " << menu.toStdString() << " stayed open after a click on "
                      << item.toStdString();
        popup->close();
    }
}

} // namespace quillan::test
