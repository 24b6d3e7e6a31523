#pragma once

#include <QApplication>

// Widgets need an application; the benchmarks run without a display.
inline void ensureApplication()
{
    if (QApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench";
    static char *argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}
