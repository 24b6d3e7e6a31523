#include "launcher/launcherwindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include "common/programfolder.h"
#include "launcher/archivewindow.h"
#include "launcher/core/optionssession.h"
#include "launcher/notelistwindow.h"
#include "launcher/optionswindow.h"
#include "launcher/recurrenceeditor.h"
#include "platform/clipboardkeeper.h"
#include "platform/icons.h"
#include "platform/tray.h"
#include "widgets/registeredwidget.h"

namespace promemo::launcher {

namespace {

const QString kHelpTopic = QStringLiteral("intro.htm");

} // namespace

frmMain::frmMain(const Services &services, QWidget *parent)
    : QWidget(parent)
    , m_services(services)
    , m_session(services.clock, services.messageBoxes, services.processes, services.windows, programFolder())
{
    setWindowTitle(QStringLiteral("MainForm"));
    buildMenu();
    connect(&m_session, &LauncherSession::optionsChanged, this, &frmMain::applyTrayColour);
    connect(&m_session, &LauncherSession::finished, this, &frmMain::endExit);
}

frmMain::~frmMain() = default;

frmCounter *frmMain::noteList() const
{
    return m_noteList;
}

frmOpzioni *frmMain::optionsWindow() const
{
    return m_optionsWindow;
}

bool frmMain::start()
{
    // The other programs end at once without this entry, the watcher among them: it goes
    // first.
    m_registration = m_services.windows.registerWindow(QString::fromUtf16(kTrayCaption));
    if (m_registration)
        connect(m_registration.get(), &RegisteredWindow::closeRequested, this, &frmMain::Esci);
    if (!m_session.start()) {
        m_registration.reset();
        return false;
    }
    m_clipboard = std::make_unique<ClipboardKeeper>(registryDirectoryPath(programFolder()));
    m_tray = std::make_unique<Tray>();
    applyTrayColour();
    m_tray->setToolTip(QStringLiteral("Promemo"));
    connect(m_tray.get(), &Tray::leftClicked, &m_session, &LauncherSession::newNote);
    connect(m_tray.get(), &Tray::rightClicked, this, &frmMain::showMenu);
    m_tray->show();

    if (m_session.noteListAtStart())
        m_noteList = m_windows.adopt(new frmCounter(m_services));
    return true;
}

void frmMain::buildMenu()
{
    m_menu = new QMenu(QStringLiteral("Avvio"), this);
    m_menu->setObjectName(QStringLiteral("mnuAvvio"));
    const auto item = [this](const char *name, const QString &text, auto slot, auto *receiver) {
        QAction *action = m_menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, receiver, slot);
    };
    item("mnuRicorrenze", QStringLiteral("Editor Ricorrenze"), &frmMain::mnuRicorrenze_Click, this);
    item("mnuArchivio", QStringLiteral("Archivio Notino"), &frmMain::mnuArchivio_Click, this);
    item("mnuElenco", QStringLiteral("Elenco Notino"), &frmMain::mnuElenco_Click, this);
    m_menu->addSeparator();
    item("mnuAgenda", QStringLiteral("Rubrica telefonica"), &LauncherSession::mnuAgenda_Click, &m_session);
    item("mnuCalendario", QStringLiteral("Calendario"), &LauncherSession::mnuCalendario_Click, &m_session);
    m_menu->addSeparator();
    item("mnuHelp", QStringLiteral("Guida in linea"), &frmMain::mnuHelp_Click, this);
    item("mnuOpzioni", QStringLiteral("Opzioni..."), &frmMain::mnuOpzioni_Click, this);
    m_menu->addSeparator();
    // Runs once the menu has gone, as a close message posted to this window would.
    QAction *chiudi = m_menu->addAction(QStringLiteral("Esci da  Promemo"));
    chiudi->setObjectName(QStringLiteral("mnuChiudi"));
    connect(chiudi, &QAction::triggered, this, &frmMain::Esci, Qt::QueuedConnection);
}

void frmMain::applyTrayColour()
{
    const QIcon icon = trayIcon(int(m_session.options().colour) + 1);
    setWindowIcon(icon);
    if (m_tray)
        m_tray->setIcon(icon);
}

void frmMain::showMenu(QPoint globalPosition)
{
    if (m_session.exiting())
        return;
    closeOwnWindows();
    // Windows going away after the menu has opened would take the menu with them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_menu->popup(globalPosition);
}

void frmMain::closeOwnWindows()
{
    for (QWidget *window : std::initializer_list<QWidget *>{m_noteList, m_optionsWindow,
                                                             m_recurrenceEditor, m_archive}) {
        if (window)
            window->close();
    }
}

void frmMain::mnuRicorrenze_Click()
{
    if (m_recurrenceEditor && m_recurrenceEditor->isVisible()) {
        bringForward(*m_recurrenceEditor);
        return;
    }
    m_recurrenceEditor = m_windows.adopt(new frmRicorrenze(m_services));
}

void frmMain::mnuArchivio_Click()
{
    if (m_archive && m_archive->isVisible()) {
        bringForward(*m_archive);
        return;
    }
    m_archive = m_windows.adopt(openArchiveWindow(m_services));
}

void frmMain::mnuElenco_Click()
{
    if (m_noteList && m_noteList->isVisible()) {
        m_noteList->raise();
        return;
    }
    m_noteList = m_windows.adopt(new frmCounter(m_services));
}

void frmMain::mnuHelp_Click()
{
    m_services.help.open(kHelpTopic);
}

void frmMain::mnuOpzioni_Click()
{
    if (m_optionsWindow && m_optionsWindow->isVisible()) {
        m_optionsWindow->raise();
        return;
    }
    m_optionsWindow = m_windows.adopt(new frmOpzioni(m_services, m_session.options()));
    connect(&m_optionsWindow->session(), &OptionsSession::applied, &m_session, &LauncherSession::setOptions);
}

void frmMain::Esci()
{
    m_menu->close();
    m_session.Esci();
}

void frmMain::endExit()
{
    closeOwnWindows();
    if (m_tray)
        m_tray->hide();
    m_registration.reset();
    emit finished();
}

} // namespace promemo::launcher
