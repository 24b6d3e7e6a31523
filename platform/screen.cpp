#include "platform/screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace promemo {

QRect PrimaryScreen::geometry() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

QRect PrimaryScreen::availableGeometry() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace promemo
