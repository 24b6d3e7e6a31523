#include "common/clock.h"

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

} // namespace promemo
