#include "platform/clock.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

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

void SystemClock::after(std::chrono::milliseconds delay, QObject *context,
                        std::function<void()> action) const
{
    QTimer::singleShot(delay, context, std::move(action));
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
