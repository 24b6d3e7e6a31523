#include <QApplication>

#include <memory>

#include "calendar/calendarwindow.h"
#include "platform/captions.h"
#include "platform/desktopsession.h"
#include "platform/services.h"
#include "platform/singleinstance.h"

int main(int argc, char **argv)
{
    using namespace promemo;
    preferX11Session();
    QApplication app(argc, argv);
    SingleInstance instance;
    if (!instance.tryAcquire(QStringLiteral("Mesaro")))
        return 0;
    SystemServices system(std::make_unique<WindowRegistry>());
    const Services services = system.services();
    std::unique_ptr<calendar::frmMain> window;
    // Only beside a running launcher.
    services.windows.exists(QString::fromUtf16(kTrayCaption), &app, [&](bool there) {
        if (there)
            window = calendar::startCalendar(services);
        if (!window)
            QCoreApplication::exit(0);
    });
    return app.exec();
}
