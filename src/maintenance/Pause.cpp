#include "maintenance/Pause.h"

#include "platform/Clock.h"

#include <QCoreApplication>
#include <QDateTime>

void PauseBetweenFiles() {
    const QDateTime start = Clock::Now();
    const qint64 msecsOfDay = start.time().msecsSinceStartOfDay();
    const qint64 markSeconds = (msecsOfDay + 500) / 1000;
    const QDateTime end = start.date().startOfDay().addMSecs(markSeconds * 1000 + 50);
    while (Clock::Now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}
