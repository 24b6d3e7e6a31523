#pragma once

#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>

#include <chrono>
#include <functional>

class QObject;

namespace promemo {

// Every "now" of the programs comes from here, so tests can pin the date and time.
class IClock
{
public:
    virtual ~IClock() = default;

    // Local date and time.
    virtual QDateTime now() const = 0;
    // Milliseconds from an arbitrary start; never goes back. For short waits only.
    virtual std::chrono::milliseconds tickCount() const = 0;

    // Runs `action` from the event loop once `delay` has passed on the tick count, unless
    // `context` is gone by then. The short waits of the programs: nothing spins meanwhile.
    virtual void after(std::chrono::milliseconds delay, QObject *context,
                       std::function<void()> action) const = 0;

    QDate today() const { return now().date(); }
    int minutesSinceMidnight() const { return now().time().msecsSinceStartOfDay() / 60000; }
    int secondsSinceMidnight() const { return now().time().msecsSinceStartOfDay() / 1000; }
};

class SystemClock final : public IClock
{
public:
    SystemClock();

    QDateTime now() const override;
    std::chrono::milliseconds tickCount() const override;
    void after(std::chrono::milliseconds delay, QObject *context,
               std::function<void()> action) const override;

private:
    QElapsedTimer m_ticks;
};

} // namespace promemo
