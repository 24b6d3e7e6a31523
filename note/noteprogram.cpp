// The start of a note program: the note file read or a new note made, then its window.
#include "note/notewindow.h"

#include "common/programfolder.h"

namespace promemo::note {

namespace {

std::unique_ptr<frmNotino> openNoteWindow(const Services &services, StartKind kind, NoteSize size,
                                          const QString &argument)
{
    // Registered before the note file is read (and maybe deleted), so a launcher closing every
    // note from now on reaches this one too.
    auto registration = services.windows.registerWindow(QString::fromUtf16(kNoteCaption));
    std::optional<StartedNote> started;
    OpenFailure failure = OpenFailure::Missing;
    if (kind == StartKind::OpenFile)
        started = openNote(argument, size, services.clock, programFolder(), &failure);
    else
        started = newNote(argument, size, services.clock);
    if (!started) {
        // A file that is there but cannot be shown is said; it stays as it is.
        if (failure == OpenFailure::TooLarge || failure == OpenFailure::Unreadable)
            WindowMessages(services.messageBoxes, kNoteTitle).warn(
                QStringLiteral("  Il Notino %1 non si può aprire:    \r\r  %2    \r\r"
                               "  Il file resta nella cartella di Promemo così com'è.    ")
                    .arg(argument, failure == OpenFailure::TooLarge
                                       ? QStringLiteral("è troppo grande per un Notino.")
                                       : QStringLiteral("il file non si può leggere.")));
        return nullptr;
    }
    auto window = std::make_unique<frmNotino>(services, std::move(started->note), std::move(registration));
    window->start(started->placement);
    return window;
}

} // namespace

void startNoteProgram(const Services &services, StartKind kind, NoteSize size,
                      const QString &argument, QObject *context, Started<frmNotino> started)
{
    checkTrayThere(services.windows, context, [=](bool there) {
        started(there ? openNoteWindow(services, kind, size, argument) : nullptr);
    });
}

} // namespace promemo::note
