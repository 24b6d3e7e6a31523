#include <QCoreApplication>

#include "common/programfolder.h"
#include "note/notewindow.h"
#include "platform/clipboardkeeper.h"
#include "widgets/programstart.h"

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
    const auto size = PROMEMO_NOTE_MEDIUM ? NoteSize::Medium : NoteSize::Normal;
    const auto kind = PROMEMO_NOTE_OPENS_FILE ? note::StartKind::OpenFile
                                              : note::StartKind::NewNote;
    return runProgram(argc, argv, {}, [&](const Services &services, QObject *context,
                                          Started<QObject> started) {
        const QString argument = QCoreApplication::arguments().value(1);
        note::startNoteProgram(services, kind, size, argument, context,
                               [started](std::unique_ptr<note::frmNotino> window) {
            if (window) {
                closeAtSessionEnd(*window);
                // A note is a tool window, which does not count for quitting on the last
                // window closed.
                QObject::connect(window.get(), &note::frmNotino::finished, qApp,
                                 &QCoreApplication::quit, Qt::QueuedConnection);
                // What the note copied stays on the clipboard after it ends.
                QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] {
                    leaveClipboardText(registryDirectoryPath(programFolder()));
                });
            }
            started(std::move(window));
        });
    });
}
