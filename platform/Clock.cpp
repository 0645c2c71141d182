#include "platform/Clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>

namespace quillan::platform {

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

void SystemClock::wait(int ms)
{
    if (ms <= 0)
        return;
    QElapsedTimer timer;
    timer.start();
    if (!QCoreApplication::instance()) {
        QThread::msleep(static_cast<unsigned long>(ms));
        return;
    }
    while (timer.elapsed() < ms) {
        const int left = int(ms - timer.elapsed());
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents,
                                        qMax(1, left));
        QThread::msleep(static_cast<unsigned long>(qMin(left, 10)));
    }
}

} // namespace quillan::platform
