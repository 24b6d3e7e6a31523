#include <QApplication>

#include <memory>

#include "common/programfolder.h"
#include "launcher/launcherwindow.h"
#include "platform/desktopsession.h"
#include "platform/services.h"
#include "platform/singleinstance.h"

int main(int argc, char **argv)
{
    using namespace promemo;
    preferX11Session();
    QApplication app(argc, argv);
    // The launcher lives in the tray; closing its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    // Every program of the suite needs the registry: the launcher, which the user starts, says
    // why nothing can start.
    if (openRegistryDirectory(programFolder()).isEmpty()) {
        QtMessageBoxes messageBoxes;
        launcher::showRefusedRegistry(messageBoxes, registryDirectoryPath(programFolder()));
        return 1;
    }
    SingleInstance instance;
    if (!instance.tryAcquire(QStringLiteral("Notino")))
        return 0;
    SystemServices system(std::make_unique<WindowRegistry>());
    const Services services = system.services();
    launcher::frmMain window(services);
    QObject::connect(&window, &launcher::frmMain::finished, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (!window.start())
        return 0;
    return app.exec();
}
