#include <QApplication>
#include <QDir>

#include <memory>

#include "common/programfolder.h"
#include "help/helpwindow.h"
#include "platform/desktopsession.h"
#include "platform/helpstarter.h"
#include "platform/icons.h"
#include "platform/windowregistry.h"

int main(int argc, char *argv[])
{
    promemo::preferX11Session();
    QApplication app(argc, argv);
    QApplication::setWindowIcon(promemo::applicationIcon());
    const QStringList arguments = QApplication::arguments();
    const QString topic = arguments.size() > 1 ? arguments.at(1) : QString();

    promemo::WindowRegistry windows;
    std::unique_ptr<promemo::HelpWindow> window;
    // Two quick requests may both have found no help open: the later viewer steps aside.
    windows.exists(QString::fromUtf16(promemo::kHelpCaption), &app, [&](bool there) {
        if (there) {
            QCoreApplication::exit(0);
            return;
        }
        window = std::make_unique<promemo::HelpWindow>(
            windows, QDir(promemo::programFolder()).filePath(QStringLiteral("help")));
        window->showTopic(topic);
        window->showMaximized();
        window->raise();
        window->activateWindow();
    });
    return app.exec();
}
