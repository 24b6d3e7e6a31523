#pragma once

#include <QCoreApplication>
#include <QDateTime>

#include <chrono>
#include <functional>

#include "common/clock.h"

// The core benchmarks need an event loop's application, but no widgets.
inline void ensureCoreApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "bench";
    static char *argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

// A clock that stands at 10/01/2027 08.00 and never fires a timer.
struct FixedClock final : promemo::IClock
{
    QDateTime now() const override { return QDateTime(QDate(2027, 1, 10), QTime(8, 0)); }
    std::chrono::milliseconds tickCount() const override { return {}; }
    void after(std::chrono::milliseconds, QObject *, std::function<void()>) const override {}
};
