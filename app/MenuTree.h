#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace quillan::app {

struct MenuSpec
{
    QString title;
    QStringList items;
};

// The menu bar of the main window: ten menus, each a flat list of items.
const std::vector<MenuSpec>& menuTree();

} // namespace quillan::app
