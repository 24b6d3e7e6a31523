#include <QApplication>
#include <QDir>

#include "common/programfolder.h"
#include "help/helpwindow.h"
#include "platform/icons.h"
#include "platform/services.h"
#include "widgets/programstart.h"

int main(int argc, char *argv[])
{
    using namespace promemo;
    return runProgram(argc, argv, {}, [](const Services &services, QObject *context,
                                         Started<QObject> started) {
        QApplication::setWindowIcon(applicationIcon());
        // Two quick requests may both have found no help open: the later viewer steps aside.
        services.windows.exists(QString::fromUtf16(kHelpCaption), context,
                                [&windows = services.windows, started](bool there) {
            if (there)
                return started(nullptr);
            auto window = std::make_unique<HelpWindow>(
                windows, QDir(programFolder()).filePath(QStringLiteral("help")));
            window->showTopic(QCoreApplication::arguments().value(1));
            window->showMaximized();
            window->raise();
            window->activateWindow();
            started(std::move(window));
        });
    });
}
