#include "app/StatusText.h"

namespace quillan::app {

QString versionStatusText()
{
    return QStringLiteral(" 程 序 版 本 V 2.3");
}

QString clockDate(const QDate& date)
{
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

QString clockTimeOfDay(const QTime& time)
{
    const int h = time.hour();
    const int m = time.minute();
    const int s = time.second();
    if (s != 0)
        return QStringLiteral("%1时%2分%3秒").arg(h).arg(m).arg(s);
    if (m != 0)
        return QStringLiteral("%1时%2分").arg(h).arg(m);
    if (h != 0)
        return QStringLiteral("%1时").arg(h);
    return {};
}

QString statusBarText(const QString& statusMessage, const QDateTime& now)
{
    return statusMessage + QStringLiteral("              当前日期： ") + clockDate(now.date()) +
           QStringLiteral("    ") + clockTimeOfDay(now.time());
}

} // namespace quillan::app
