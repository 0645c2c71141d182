#pragma once

#include <QDateTime>
#include <QString>

namespace quillan::app {

// The version text the status bar starts with.
QString versionStatusText();

// "2012年3月5日": the date, decimal numbers without leading zeros.
QString clockDate(const QDate& date);
// The time of day: "15时7分9秒"; "15时7分" at zero seconds; "15时" at zero
// minutes and seconds; the empty text at midnight exactly.
QString clockTimeOfDay(const QTime& time);
// Part 0 of the status bar: the status message, fourteen blanks,
// "当前日期： ", the date, four blanks, the time of day.
QString statusBarText(const QString& statusMessage, const QDateTime& now);

} // namespace quillan::app
