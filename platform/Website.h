#pragma once

#include <QString>

namespace quillan::platform {

// The program's website: "官方网站" opens it, the update check reads its version file there.
inline QString programWebsite()
{
    return QStringLiteral("http://www.quillan.example");
}

} // namespace quillan::platform
