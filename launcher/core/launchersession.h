#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "common/clock.h"
#include "common/notename.h"
#include "common/settings.h"
#include "platform/messageboxes.h"
#include "platform/processstarter.h"
#include "platform/windowregistry.h"

namespace promemo::launcher {

class CalendarFileKeeper;
class ContactsFileKeeper;

// The launcher's working options: read at start-up, changed by the options dialog's Apply.
// New notes are started with these.
struct LauncherOptions
{
    NoteColour colour = NoteColour::Yellow;
    TextSize textSize = TextSize::Normal;
    NoteSize noteSize = NoteSize::Normal;
    bool sound = false;

    // Colour digit, then text-size digit ("12").
    QString appearanceCode() const { return promemo::appearanceCode(colour, textSize); }

    static LauncherOptions read(const Settings &settings)
    {
        return {settings.noteColour(), settings.textSize(), settings.noteSize(), settings.sound()};
    }
};

// The programs the launcher needs beside itself, in the order they are checked at start-up.
QStringList suitePrograms();

// The launcher's flows: the start-up, the watcher kept alive, the tray's new note, the menu's
// other programs and the exit. Its window holds the tray, the menu, the launcher's own windows
// and the registry entry "NotinoTray", and shows what this says.
class LauncherSession final : public QObject
{
    Q_OBJECT
public:
    LauncherSession(const IClock &clock, IMessageBoxes &messageBoxes, IProcessStarter &processes,
                    IWindowRegistry &windows, QString programFolder, QObject *parent = nullptr);
    ~LauncherSession() override;

    // The start-up after the single-instance check and the registry entry: the files checked,
    // the shown notes put away, the calendar and contacts files kept, the watcher started, the
    // options read and Timer2 started. False when files are missing or cannot be written: the
    // message was shown, nothing was started and the launcher is to end.
    bool start();
    // After start(): whether the note list opens by itself (`showelenco`).
    bool noteListAtStart() const;

    const LauncherOptions &options() const { return m_options; }
    // The options dialog applied: new notes take these, the icon their colour.
    void setOptions(const LauncherOptions &options);

    // The tray's left click: a new note with the options, once the click has finished.
    void newNote();
    // The menu's other programs: brought forward when open, else started.
    void mnuAgenda_Click();
    void mnuCalendario_Click();

    // Every 10 seconds: the watcher is started again when its window is gone or does not
    // answer; a watcher that does not answer is ended first. The answer comes from the event
    // loop.
    void Timer2_Timer();
    bool checkingWatcher() const { return m_checkingWatcher; }
    const QTimer &timer2() const { return Timer2; }

    // The unload sequence: closes help, notes, address book, calendar and watcher, then emits
    // finished(). Every wait is bounded by the close bound.
    void Esci();
    bool exiting() const { return m_exiting; }
    // How long each step of the exit waits for a kind of window to go.
    void setCloseBound(std::chrono::milliseconds bound) { m_closeBound = bound; }

signals:
    void optionsChanged();
    // The other programs have gone: the launcher's own windows and its icon go, the program ends.
    void finished();

private:
    bool Controllo_Files();
    bool missingPrograms() const;
    bool Ricorrenze() const;
    void putAwayShownNotes();
    void startWatcher();
    void watcherChecked(const WindowPresence &presence);
    void awaitStartingWatcher(std::function<void()> then);
    void closeEvery(const char16_t *windowCaption, std::function<void()> then);
    QString file(const QString &bareName) const;
    Settings settings() const;

    const IClock &m_clock;
    WindowMessages m_messages;
    IProcessStarter &m_processes;
    IWindowRegistry &m_windows;
    const QString m_folder;
    LauncherOptions m_options;
    std::unique_ptr<CalendarFileKeeper> m_calendarFile;
    std::unique_ptr<ContactsFileKeeper> m_contactsFile;
    QTimer Timer2;
    std::chrono::milliseconds m_closeBound{5000};
    std::optional<std::chrono::milliseconds> m_watcherStartedAt;
    bool m_exiting = false;
    bool m_checkingWatcher = false;
};

// Told when the launcher cannot start because the private folder through which the programs
// find each other (`registryFolder`) was refused: another user's, open to others, or not
// creatable.
void showRefusedRegistry(IMessageBoxes &messageBoxes, const QString &registryFolder);

} // namespace promemo::launcher
