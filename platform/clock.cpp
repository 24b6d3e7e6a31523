#include "platform/clock.h"

#include <QCoreApplication>
#include <QThread>

namespace promemo {

SystemClock::SystemClock()
{
    m_ticks.start();
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

std::chrono::milliseconds SystemClock::tickCount() const
{
    return std::chrono::milliseconds(m_ticks.elapsed());
}

bool waitProcessingEvents(const IClock &clock, std::chrono::milliseconds duration,
                          const std::function<bool()> &stop)
{
    const auto end = clock.tickCount() + duration;
    while (clock.tickCount() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (stop && stop())
            return true;
        // Keeps the loop from spinning a core while nothing happens.
        QThread::msleep(1);
    }
    return stop && stop();
}

} // namespace promemo
