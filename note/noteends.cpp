// The note's start and end: shown as its start asks, put away, deleted or closed from outside.
#include "note/notewindow.h"

#include <QCloseEvent>

#include "common/programfolder.h"
#include "platform/processstarter.h"
#include "widgets/centring.h"

using namespace std::chrono_literals;

namespace promemo::note {

namespace {

// Bound of the wait for every watcher window to close.
constexpr auto kWatcherCloseBound = 5s;

} // namespace

void frmNotino::start(Placement placement)
{
    // Centred until the user moves it.
    centreIn(*this, m_services.screen.geometry());

    switch (placement) {
    case Placement::AlertPassed:
        showInMode(*this, WindowMode::NormalWithoutFocus);
        break;
    case Placement::ShowAndSave:
    case Placement::Topmost:
    case Placement::New:
        showInStartMode(*this);
        break;
    }
    // Wrapped lines are known only once the text is laid out.
    Conta_Righe();
    if (placement == Placement::ShowAndSave || placement == Placement::Topmost)
        Salva_Nota();
    if (placement == Placement::Topmost)
        m_services.windows.closeAll(QString::fromUtf16(kWatcherCaption), kWatcherCloseBound, this, {});
    m_timer2.start();
    // Its minute has come: the first tick is now.
    if (placement == Placement::AlertPassed)
        Timer2_Timer();
}

void frmNotino::Esci()
{
    const PutAwayResult result = putAway(m_note, m_services.clock, programFolder());
    if (!result.error.isEmpty()) {
        centre();
        showWriteFailure(result.error);
        return;
    }
    // Put away: dealt with, also while the watcher is still going.
    m_services.notifications.withdraw(this);
    if (!result.closeWatcher) {
        end();
        return;
    }
    // The watcher chooses its note when it starts: it must go before this note ends.
    hide();
    m_services.windows.closeAll(QString::fromUtf16(kWatcherCaption), kWatcherCloseBound, this,
                                [this](bool) { end(); });
}

void frmNotino::Elimina_File()
{
    hide();
    if (const WriteResult removed = deleteCurrentFile(m_note, programFolder()); !removed) {
        centre();
        show();
        m_messages.warn(
            QStringLiteral("  Impossibile eliminare il Notino:    \r\r  %1    ").arg(removed.error));
        return;
    }
    end();
}

void frmNotino::end()
{
    dropRecoveryCopy();
    m_ended = true;
    m_timer2.stop();
    close();
}

void frmNotino::closeEvent(QCloseEvent *event)
{
    // Closed from outside (the launcher ending, the session): kept as the user left it.
    if (!m_ended) {
        const SaveResult saved = closeFromOutside(m_note, m_services.clock, programFolder());
        if (saved.failed()) {
            event->ignore();
            showWriteFailure(saved.error);
            return;
        }
    }
    m_ended = true;
    m_timer2.stop();
    // Saved, or a fired note closed: the user has what they meant to keep.
    dropRecoveryCopy();
    m_services.notifications.withdraw(this);
    if (m_setup)
        m_setup->close();
    QWidget::closeEvent(event);
    emit finished();
}

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
