#include "AccessibleNames.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QWidget>

namespace quillan::test {

AccessibleNames accessibleNames(QWidget* window)
{
    AccessibleNames out;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->focusPolicy() == Qt::NoFocus && !qobject_cast<QAbstractButton*>(w))
            continue;
        // The line edit inside an editable combo box and the scroll bars of
        // the text views belong to their control, which carries the name.
        // So do a line edit's own buttons; lists that pop up are windows of
        // their own, and Qt's own helpers ("qt_…") only show on overflow.
        if (qobject_cast<QComboBox*>(w->parentWidget()) ||
            qobject_cast<QAbstractScrollArea*>(w->parentWidget()) ||
            qobject_cast<QLineEdit*>(w->parentWidget()) || qobject_cast<QScrollBar*>(w) ||
            w->inherits("QMenu") || w->window() != window || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        ++out.reachable;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            out.nameless << (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                       : w->objectName());
    }
    return out;
}

} // namespace quillan::test
