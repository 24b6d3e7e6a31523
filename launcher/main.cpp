#include <QCoreApplication>

#include "launcher/launcherwindow.h"
#include "widgets/programstart.h"

int main(int argc, char **argv)
{
    using namespace promemo;
    // Every program of the suite needs the registry: the launcher, which the user starts, says
    // why nothing can start. It lives in the tray; closing its last window does not end it.
    const ProgramOptions options{.singleInstance = QStringLiteral("Notino"),
                                 .refusedRegistry = launcher::showRefusedRegistry,
                                 .quitOnLastWindowClosed = false};
    return runProgram(argc, argv, options,
                      [](const Services &services, QObject *, Started<QObject> started) {
                          auto window = std::make_unique<launcher::frmMain>(services);
                          QObject::connect(window.get(), &launcher::frmMain::finished, qApp,
                                           &QCoreApplication::quit, Qt::QueuedConnection);
                          if (!window->start())
                              window.reset();
                          started(std::move(window));
                      });
}
