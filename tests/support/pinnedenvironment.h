#pragma once

#include <QtGlobal>

#include <ctime>

namespace promemo::test {

// Every test, and every program a test starts, runs in one time zone and one locale, so that
// local times (and the days the clocks change) are the same on every machine.
inline void pinEnvironment()
{
    qputenv("TZ", "Europe/Rome");
    qputenv("LC_ALL", "C.UTF-8");
    tzset();
}

} // namespace promemo::test
