#pragma once

#include <QString>

namespace quillan::app {

// The program's website: the home page the menus open and the host of the
// version file "/soft.ini" that the update check reads. A reserved domain
// name, so that it never reaches anybody's real host.
inline constexpr char kWebsite[] = "http://www.quillan.example";

inline QString website()
{
    return QString::fromLatin1(kWebsite);
}

} // namespace quillan::app
