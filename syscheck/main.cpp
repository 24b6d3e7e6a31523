#include <QApplication>
#include <QLibraryInfo>

#include "common/programfolder.h"
#include "common/clock.h"
#include "platform/desktopsession.h"
#include "syscheck/systemcheck.h"

int main(int argc, char **argv)
{
    using namespace promemo;
    preferX11Session();
    QApplication app(argc, argv);
    SystemClock clock;
    syscheck::frmMain window(clock);
    QObject::connect(&window, &syscheck::frmMain::finished, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    const QStringList folders = loaderFolders();
    const QString plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath);
    window.run({requiredSystemFiles(),
                [&](const SystemFile &file) { return locateSystemFile(file, folders, plugins); },
                systemFolder(folders), sessionType(), programFolder()});
    return app.exec();
}
