#include <QCoreApplication>
#include <QLibraryInfo>

#include "common/programfolder.h"
#include "platform/services.h"
#include "syscheck/systemcheck.h"
#include "widgets/programstart.h"

int main(int argc, char **argv)
{
    using namespace promemo;
    return runProgram(argc, argv, {.usesRegistry = false},
                      [](const Services &services, QObject *, Started<QObject> started) {
                          auto window = std::make_unique<syscheck::frmMain>(services.clock);
                          QObject::connect(window.get(), &syscheck::frmMain::finished, qApp,
                                           &QCoreApplication::quit, Qt::QueuedConnection);
                          const QStringList folders = loaderFolders();
                          const QString plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath);
                          window->run({requiredSystemFiles(),
                                       [folders, plugins](const SystemFile &file) {
                                           return locateSystemFile(file, folders, plugins);
                                       },
                                       systemFolder(folders), sessionType(), programFolder()});
                          started(std::move(window));
                      });
}
