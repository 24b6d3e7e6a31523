#include <QApplication>

#include <memory>

#include "platform/desktopsession.h"
#include "platform/processstarter.h"
#include "platform/services.h"
#include "platform/singleinstance.h"
#include "watcher/watcherwindow.h"

int main(int argc, char **argv)
{
    using namespace promemo;
    preferX11Session();
    QApplication app(argc, argv);
    SingleInstance instance;
    if (!instance.tryAcquire(QStringLiteral("Vigilo")))
        return 0;
    SystemServices system(std::make_unique<WindowRegistry>());
    const Services services = system.services();
    watcher::frmControl window(services);
    QObject::connect(&window, &watcher::frmControl::ended, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    showInStartMode(window);
    return app.exec();
}
