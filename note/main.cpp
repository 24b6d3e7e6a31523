#include <QApplication>

#include <memory>

#include "common/programfolder.h"
#include "note/notewindow.h"
#include "platform/clipboardkeeper.h"
#include "platform/captions.h"
#include "platform/desktopsession.h"
#include "platform/services.h"

// One source for the four note programs; the build chooses the size and the start.
#ifndef PROMEMO_NOTE_MEDIUM
#error "PROMEMO_NOTE_MEDIUM must be 0 or 1"
#endif
#ifndef PROMEMO_NOTE_OPENS_FILE
#error "PROMEMO_NOTE_OPENS_FILE must be 0 or 1"
#endif

int main(int argc, char **argv)
{
    using namespace promemo;
    preferX11Session();
    QApplication app(argc, argv);
    SystemServices system(std::make_unique<WindowRegistry>());
    const Services services = system.services();

    const auto size = PROMEMO_NOTE_MEDIUM ? NoteSize::Medium : NoteSize::Normal;
    const auto kind = PROMEMO_NOTE_OPENS_FILE ? note::StartKind::OpenFile
                                              : note::StartKind::NewNote;
    std::unique_ptr<note::frmNotino> window;
    // Only beside a running launcher.
    services.windows.exists(QString::fromUtf16(kTrayCaption), &app, [&](bool there) {
        if (there)
            window = note::startNoteProgram(services, kind, size, app.arguments().value(1));
        if (!window) {
            QCoreApplication::exit(0);
            return;
        }
        // A note is a tool window, which does not count for quitting on the last window closed.
        QObject::connect(window.get(), &note::frmNotino::finished, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
    });
    // What the note copied stays on the clipboard after it ends.
    QObject::connect(&app, &QCoreApplication::aboutToQuit,
                     [] { leaveClipboardText(registryDirectoryPath(programFolder())); });
    return app.exec();
}
