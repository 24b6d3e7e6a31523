#include <QCoreApplication>

#include "common/programfolder.h"
#include "platform/processstarter.h"
#include "watcher/watcherwindow.h"
#include "widgets/programstart.h"

int main(int argc, char **argv)
{
    using namespace promemo;
    return runProgram(argc, argv, {.singleInstance = QStringLiteral("Vigilo")},
                      [](const Services &services, QObject *, Started<QObject> started) {
                          auto window = std::make_unique<watcher::frmControl>(services, programFolder());
                          QObject::connect(window.get(), &watcher::frmControl::ended, qApp,
                                           &QCoreApplication::quit, Qt::QueuedConnection);
                          showInStartMode(*window);
                          started(std::move(window));
                      });
}
