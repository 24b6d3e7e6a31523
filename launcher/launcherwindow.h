#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <memory>

#include "launcher/core/launchersession.h"
#include "platform/services.h"
#include "widgets/windowowner.h"

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

// frmMain, "MainForm": the launcher's hidden main window. It owns the tray icon, its menu, the
// launcher's own windows and the registry entry "NotinoTray", by which the other programs know
// that the launcher runs; its session runs the flows.
class frmMain : public QWidget
{
    Q_OBJECT
public:
    explicit frmMain(const Services &services, QWidget *parent = nullptr);
    ~frmMain() override;

    // The registry entry, then the session's start-up, the icon and the note list when it opens
    // by itself. False when the launcher is to end.
    bool start();

    Tray *tray() const { return m_tray.get(); }
    QMenu *mnuAvvio() const { return m_menu; }
    frmCounter *noteList() const;
    frmOpzioni *optionsWindow() const;

signals:
    // The launcher is done; the program ends.
    void finished();

private:
    // The tray's right click: the launcher's own windows close, the menu opens.
    void showMenu(QPoint globalPosition);
    // The menu's items that open the launcher's own windows, or help.
    void mnuElenco_Click();
    void mnuHelp_Click();
    void mnuOpzioni_Click();
    void mnuRicorrenze_Click();
    void mnuArchivio_Click();
    void Esci();
    void buildMenu();
    void applyTrayColour();
    void closeOwnWindows();
    void endExit();

    const Services m_services;
    LauncherSession m_session;
    std::unique_ptr<RegisteredWindow> m_registration;
    std::unique_ptr<Tray> m_tray;
    std::unique_ptr<ClipboardKeeper> m_clipboard;
    QMenu *m_menu = nullptr;
    QPointer<frmCounter> m_noteList;
    QPointer<frmOpzioni> m_optionsWindow;
    QPointer<frmRicorrenze> m_recurrenceEditor;
    QPointer<frmArchivio> m_archive;
    // Last, so its windows go first.
    WindowOwner m_windows;
};

} // namespace promemo::launcher
