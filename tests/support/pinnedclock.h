#pragma once

#include <QDateTime>
#include <QTimer>

#include "common/clock.h"

namespace promemo::test {

// A clock on Qt Core alone, for the cores' tests: `now` stays where the test puts it, and waits
// run from the event loop after their delay.
struct PinnedClock final : IClock
{
    explicit PinnedClock(QDateTime at) : current(std::move(at)) {}

    QDateTime now() const override { return current; }
    std::chrono::milliseconds tickCount() const override { return {}; }
    void after(std::chrono::milliseconds delay, QObject *context, std::function<void()> action) const override
    {
        QTimer::singleShot(delay, context, std::move(action));
    }

    QDateTime current;
};

} // namespace promemo::test
