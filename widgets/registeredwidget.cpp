#include "widgets/registeredwidget.h"

#include <QWidget>

namespace promemo {

void bringForward(QWidget &window)
{
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

std::unique_ptr<RegisteredWindow> registerTopLevel(IWindowRegistry &windows, QWidget &window)
{
    auto registration = windows.registerWindow(window.windowTitle());
    if (registration) {
        QObject::connect(registration.get(), &RegisteredWindow::closeRequested, &window, &QWidget::close);
        QObject::connect(registration.get(), &RegisteredWindow::raiseRequested, &window,
                         [&window] { bringForward(window); });
    }
    return registration;
}

} // namespace promemo
