#pragma once

#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "launcher/core/calendarfilekeeper.h"
#include "launcher/core/contactsfilekeeper.h"
#include "launcher/launcheroptions.h"
#include "platform/services.h"
#include "widgets/windowowner.h"

class QAction;
class QMenu;

namespace promemo {
class ClipboardKeeper;
class Tray;
}

namespace promemo::launcher {

class frmCounter;
class frmOpzioni;
class frmRicorrenze;
class frmArchivio;

// frmMain, "MainForm": the launcher's hidden main window. It checks the program folder, keeps
// the watcher alive, owns the tray icon and its menu, and at exit closes the suite's programs.
// The registry entry "NotinoTray", by which the other programs know that the launcher runs,
// lives as long as this window.
class frmMain : public QWidget
{
    Q_OBJECT
public:
    explicit frmMain(const Services &services, QWidget *parent = nullptr);
    ~frmMain() override;

    // The start-up sequence after the single-instance check. False when files are missing: the
    // message was shown, nothing was started and the launcher is to end.
    bool start();

    const LauncherOptions &options() const { return m_options; }
    Tray *tray() const { return m_tray.get(); }
    QMenu *mnuAvvio() const { return m_menu; }
    QTimer *timer2() { return &Timer2; }
    frmCounter *noteList() const;
    frmOpzioni *optionsWindow() const;

    // How long each step of the exit waits for a kind of window to go.
    void setCloseBound(std::chrono::milliseconds bound) { m_closeBound = bound; }

    // The tray's clicks.
    void newNote();
    void showMenu(QPoint globalPosition);

    // The menu's actions.
    void mnuElenco_Click();
    void mnuAgenda_Click();
    void mnuCalendario_Click();
    void mnuHelp_Click();
    void mnuOpzioni_Click();
    void mnuRicorrenze_Click();
    void mnuArchivio_Click();

    // Every 10 seconds: the watcher is started again when its window is gone or does not
    // answer; a watcher that does not answer is ended first. The answer comes from the event
    // loop.
    void Timer2_Timer();
    bool checkingWatcher() const { return m_checkingWatcher; }

    // The unload sequence: closes help, notes, address book, calendar and watcher, then the
    // launcher's own windows and the icon, and emits finished(). Every wait is bounded.
    void Esci();

signals:
    // The launcher is done; the program ends.
    void finished();

private:
    bool Controllo_Files();
    bool missingPrograms();
    bool Ricorrenze() const;
    void startWatcher();
    void watcherChecked(const WindowPresence &presence);
    void awaitStartingWatcher(std::function<void()> then);
    void closeEvery(const char16_t *windowCaption, std::function<void()> then);
    void endExit();
    void putAwayShownNotes();
    bool noteListAtStart() const;
    void buildMenu();
    void applyTrayColour();
    void closeOwnWindows();

    const Services m_services;
    LauncherOptions m_options;
    std::unique_ptr<RegisteredWindow> m_registration;
    std::unique_ptr<Tray> m_tray;
    std::unique_ptr<ClipboardKeeper> m_clipboard;
    std::unique_ptr<CalendarFileKeeper> m_calendarFile;
    std::unique_ptr<ContactsFileKeeper> m_contactsFile;
    QMenu *m_menu = nullptr;
    QTimer Timer2;
    QPointer<frmCounter> m_noteList;
    QPointer<frmOpzioni> m_optionsWindow;
    QPointer<frmRicorrenze> m_recurrenceEditor;
    QPointer<frmArchivio> m_archive;
    std::chrono::milliseconds m_closeBound{5000};
    std::optional<std::chrono::milliseconds> m_watcherStartedAt;
    bool m_exiting = false;
    bool m_checkingWatcher = false;
    // Last, so its windows go first: the options window works on m_options.
    WindowOwner m_windows;
};

// Told when the launcher cannot start because the private folder through which the programs
// find each other (`registryFolder`) was refused: another user's, open to others, or not
// creatable.
void showRefusedRegistry(IMessageBoxes &messageBoxes, const QString &registryFolder);

} // namespace promemo::launcher
