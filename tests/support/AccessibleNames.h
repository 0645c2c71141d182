#pragma once

#include <QStringList>

class QWidget;

namespace quillan::test {

// What a screen reader finds in one window: how many controls a person can
// reach there, and those among them that have no accessible name (named by
// their unit name, else their class).
struct AccessibleNames
{
    int reachable = 0;
    QStringList nameless;
};

AccessibleNames accessibleNames(QWidget* window);

} // namespace quillan::test
