#include "launcher/launcherwindow.h"

#include <algorithm>
#include <vector>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include "launcher/core/logging.h"
#include <QMenu>
#include <QSet>

#include "common/atomicfile.h"
#include "common/daynumber.h"
#include "common/duenotes.h"
#include "common/notefile.h"
#include "common/notelisting.h"
#include "common/programfolder.h"
#include "common/recoverycopy.h"
#include "common/recurrences.h"
#include "common/settings.h"
#include "launcher/archivewindow.h"
#include "launcher/notelistwindow.h"
#include "launcher/optionswindow.h"
#include "launcher/recurrenceeditor.h"
#include "platform/clipboardkeeper.h"
#include "platform/icons.h"
#include "platform/tray.h"
#include "widgets/registeredwidget.h"
#include "platform/messageboxes.h"

namespace promemo::launcher {

namespace {

using namespace std::chrono_literals;

constexpr auto kWatcherInterval = 10s;
// frmLancioNotino lets the tray's click finish before the new note takes the focus.
constexpr auto kLaunchPause = 100ms;
// How long a watcher just started may take to register its window.
constexpr std::chrono::milliseconds kWatcherStartBound = 3s;

const QString kMessageTitle = QStringLiteral("   Promemo");
const QString kMissingFiles = QStringLiteral(
    "  Nella cartella di Promemo  mancano uno o più files      \r\r"
    "  necessari al funzionamento del programma.    \r\r"
    "  Reinstallare Promemo per ripristinarli.    ");
const QString kNotWritable = QStringLiteral(
    "  Nella cartella di Promemo non è possibile scrivere:      \r\r"
    "  la cartella o il file Notino.ini sono protetti in scrittura.    \r\r"
    "  Controllare i permessi, poi riavviare Promemo.    ");
const QString kNoSound = QStringLiteral(
    "   Non ci sono suoni nella cartella di Promemo...   \r\r"
    "    fai riferimento all' Help del programma per risolvere il problema     ");
const QString kRefusedRegistry = QStringLiteral(
    "  Promemo non può partire: la sua cartella riservata      \r\r"
    "  %1    \r\r"
    "  appartiene a un altro utente oppure è aperta ad altri utenti.    \r\r"
    "  Controllare la cartella (deve essere solo dell' utente), poi riavviare Promemo.    ");
const QString kSoundFile = QStringLiteral("suono.wav");
const QString kHelpTopic = QStringLiteral("intro.htm");
const QString kWatcher = QStringLiteral("Vigilo");
const QString kAddressBook = QStringLiteral("Elenko");
const QString kCalendar = QStringLiteral("Mesaro");

QString caption(const char16_t *text)
{
    return QString::fromUtf16(text);
}

// Executable files of the folder, by lower-case name: the suite's programs are looked for
// without regard to case.
QSet<QString> executableNames(const QString &folder)
{
    QSet<QString> names;
    const auto entries = QDir(folder).entryInfoList(QDir::Files | QDir::Executable);
    for (const QFileInfo &entry : entries)
        names.insert(entry.fileName().toLower());
    return names;
}

} // namespace

frmMain::frmMain(const Services &services, QWidget *parent)
    : QWidget(parent), m_services(services)
{
    setWindowTitle(QStringLiteral("MainForm"));
    Timer2.setInterval(kWatcherInterval);
    connect(&Timer2, &QTimer::timeout, this, &frmMain::Timer2_Timer);
    buildMenu();
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
    m_registration = m_services.windows.registerWindow(caption(kTrayCaption));
    if (m_registration)
        connect(m_registration.get(), &RegisteredWindow::closeRequested, this, &frmMain::Esci);
    if (!Controllo_Files()) {
        m_registration.reset();
        return false;
    }
    // No note window is open yet, so no note counts as shown any more. Done before the
    // watcher starts, which looks at the put-away notes once, at its start.
    putAwayShownNotes();
    m_clipboard = std::make_unique<ClipboardKeeper>(registryDirectoryPath(programFolder()));
    m_calendarFile = std::make_unique<CalendarFileKeeper>(m_services.clock, programFolder(), &m_services.windows);
    m_contactsFile = std::make_unique<ContactsFileKeeper>(m_services.clock, programFolder());
    startWatcher();

    m_options = LauncherOptions::read(Settings::inProgramFolder());
    m_tray = std::make_unique<Tray>();
    applyTrayColour();
    m_tray->setToolTip(QStringLiteral("Promemo"));
    connect(m_tray.get(), &Tray::leftClicked, this, &frmMain::newNote);
    connect(m_tray.get(), &Tray::rightClicked, this, &frmMain::showMenu);
    m_tray->show();

    if (noteListAtStart())
        m_noteList = m_windows.adopt(new frmCounter(m_services));
    Timer2.start();
    return true;
}

bool frmMain::Controllo_Files()
{
    const WindowMessages messages(m_services.messageBoxes, kMessageTitle);
    const QString settings = programFile(kSettingsFileName.toString());
    if (!QFileInfo(settings).isFile()) {
        messages.warn(kMissingFiles);
        return false;
    }
    // The settings file is there: it, or the folder, refuses the writes.
    if (!Settings::inProgramFolder().writeVersion()) {
        qCWarning(lcLauncher, "cannot write the version into %s", qPrintable(settings));
        messages.warn(kNotWritable);
        return false;
    }
    if (missingPrograms()) {
        messages.warn(kMissingFiles);
        return false;
    }
    if (!QFileInfo::exists(programFile(kSoundFile)))
        messages.warn(kNoSound);
    return true;
}

bool frmMain::missingPrograms()
{
    const QSet<QString> executables = executableNames(programFolder());
    const QStringList programs = suitePrograms();
    return !std::ranges::all_of(programs, [&executables](const QString &program) {
        return executables.contains(executableName(program).toLower());
    });
}

bool frmMain::Ricorrenze() const
{
    const auto recurrences = readRecurrences(programFile(kExpandedRecurrencesFile.toString()));
    return anyRecurrenceDue(recurrences, m_services.clock.today());
}

void frmMain::startWatcher()
{
    m_services.processes.start(kWatcher, {}, WindowMode::Minimised);
    m_watcherStartedAt = m_services.clock.tickCount();
}

// A watcher started just before the exit has no window yet to be closed by; it must not
// outlive the launcher. Looked for every 50 ms until it shows or its start bound has passed.
void frmMain::awaitStartingWatcher(std::function<void()> then)
{
    const bool starting = m_watcherStartedAt
                          && m_services.clock.tickCount() - *m_watcherStartedAt < kWatcherStartBound;
    if (!starting) {
        then();
        return;
    }
    m_services.windows.exists(caption(kWatcherCaption), this, [this, then = std::move(then)](bool there) mutable {
        if (there) {
            then();
            return;
        }
        m_services.clock.after(50ms, this, [this, then = std::move(then)]() mutable {
            awaitStartingWatcher(std::move(then));
        });
    });
}

void frmMain::putAwayShownNotes()
{
    const QString folder = programFolder();
    // What a note killed or cut off from its desktop showed comes back first, as its note.
    const RecoveryOutcome recovery = recoverAbandonedNotes(folder);
    if (recovery.recovered + recovery.dropped + recovery.damaged > 0)
        qCInfo(lcLauncher, "recovery copies: %d restored, %d older than their note, %d damaged",
               recovery.recovered, recovery.dropped, recovery.damaged);
    NoteFiles{folder}.putAwayAbandonedNotes();
    // A write still running is younger than a minute.
    removeStaleTemporaries(folder, 60s);
}

bool frmMain::noteListAtStart() const
{
    const ShowList when = Settings::inProgramFolder().showList();
    const bool dependsOnNotes = when == ShowList::Today || when == ShowList::SevenDays;
    std::vector<int> days;
    if (dependsOnNotes) {
        const NoteFilter putAway{.state = NoteState::PutAway, .day = {}};
        for (const ListedNote &note : listNotes(programFolder(), putAway))
            days.push_back(note.name.day);
    }
    return openNoteListAtStart(when, days, dependsOnNotes && Ricorrenze(),
                               dayNumber(m_services.clock.today()));
}

void frmMain::buildMenu()
{
    m_menu = new QMenu(QStringLiteral("Avvio"), this);
    m_menu->setObjectName(QStringLiteral("mnuAvvio"));
    const auto item = [this](const char *name, const QString &text) {
        QAction *action = m_menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    connect(item("mnuRicorrenze", QStringLiteral("Editor Ricorrenze")), &QAction::triggered, this,
            &frmMain::mnuRicorrenze_Click);
    connect(item("mnuArchivio", QStringLiteral("Archivio Notino")), &QAction::triggered, this,
            &frmMain::mnuArchivio_Click);
    connect(item("mnuElenco", QStringLiteral("Elenco Notino")), &QAction::triggered, this,
            &frmMain::mnuElenco_Click);
    m_menu->addSeparator();
    connect(item("mnuAgenda", QStringLiteral("Rubrica telefonica")), &QAction::triggered, this,
            &frmMain::mnuAgenda_Click);
    connect(item("mnuCalendario", QStringLiteral("Calendario")), &QAction::triggered, this,
            &frmMain::mnuCalendario_Click);
    m_menu->addSeparator();
    connect(item("mnuHelp", QStringLiteral("Guida in linea")), &QAction::triggered, this,
            &frmMain::mnuHelp_Click);
    connect(item("mnuOpzioni", QStringLiteral("Opzioni...")), &QAction::triggered, this,
            &frmMain::mnuOpzioni_Click);
    m_menu->addSeparator();
    // Runs once the menu has gone, as a close message posted to this window would.
    connect(item("mnuChiudi", QStringLiteral("Esci da  Promemo")), &QAction::triggered, this,
            &frmMain::Esci, Qt::QueuedConnection);
}

void frmMain::applyTrayColour()
{
    const QIcon icon = trayIcon(int(m_options.colour) + 1);
    setWindowIcon(icon);
    if (m_tray)
        m_tray->setIcon(icon);
}

void frmMain::newNote()
{
    if (m_exiting)
        return;
    m_services.clock.after(kLaunchPause, this, [this] {
        if (m_exiting)
            return;
        const QString program = m_options.noteSize == NoteSize::Medium ? QStringLiteral("Kespo")
                                                                       : QStringLiteral("Kundo");
        m_services.processes.start(program, {m_options.appearanceCode()}, WindowMode::NormalWithFocus);
    });
}

void frmMain::showMenu(QPoint globalPosition)
{
    if (m_exiting)
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

void frmMain::mnuAgenda_Click()
{
    m_services.windows.raise(caption(kAddressBookCaption), this, [this](bool there) {
        if (!there)
            m_services.processes.start(kAddressBook, {}, WindowMode::NormalWithFocus);
    });
}

void frmMain::mnuCalendario_Click()
{
    // The caption ends with the day the calendar was opened, which need not be today.
    m_services.windows.captionsStartingWith(caption(kCalendarCaptionPrefix), this,
                                            [this](const QStringList &calendars) {
        if (!calendars.isEmpty())
            m_services.windows.raise(calendars.front(), this);
        else
            m_services.processes.start(kCalendar, {}, WindowMode::NormalWithFocus);
    });
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
    m_optionsWindow = m_windows.adopt(new frmOpzioni(m_services, m_options));
    connect(m_optionsWindow, &frmOpzioni::applied, this, &frmMain::applyTrayColour);
}

void frmMain::Timer2_Timer()
{
    if (m_exiting || m_checkingWatcher)
        return;
    // Asked without waiting: a watcher that does not answer must not hold up the launcher.
    m_checkingWatcher = true;
    m_services.windows.checkPresence(caption(kWatcherCaption), this,
                                     [this](const WindowPresence &presence) {
                                         m_checkingWatcher = false;
                                         watcherChecked(presence);
                                     });
}

void frmMain::watcherChecked(const WindowPresence &presence)
{
    if (m_exiting)
        return;
    if (presence.answered) {
        m_watcherStartedAt.reset();
        return;
    }
    // A watcher that does not answer fires no note, and its single-instance lock would stop the
    // new one: it is ended first.
    for (const qint64 pid : presence.unanswering) {
        const bool ended = m_services.processes.end(pid);
        qCWarning(lcLauncher, "the watcher (process %lld) does not answer%s", pid,
                  ended ? " and was ended" : "; it cannot be ended");
    }
    startWatcher();
}

void frmMain::Esci()
{
    if (m_exiting)
        return;
    m_exiting = true;
    Timer2.stop();
    m_menu->close();
    // Each step once the windows of the one before have gone, or its bound has passed.
    closeEvery(kHelpCaption, [this] {
        closeEvery(kNoteCaption, [this] {
            IWindowRegistry &windows = m_services.windows;
            windows.postClose(caption(kAddressBookCaption));
            windows.captionsStartingWith(caption(kCalendarCaptionPrefix), this,
                                         [this](const QStringList &calendars) {
                for (const QString &calendar : calendars)
                    m_services.windows.postClose(calendar);
                awaitStartingWatcher([this] {
                    closeEvery(kWatcherCaption, [this] {
                        // A note the watcher started meanwhile goes too.
                        closeEvery(kNoteCaption, [this] { endExit(); });
                    });
                });
            });
        });
    });
}

void frmMain::closeEvery(const char16_t *windowCaption, std::function<void()> then)
{
    m_services.windows.closeAll(caption(windowCaption), m_closeBound, this,
                                [windowCaption, then = std::move(then)](bool closed) {
        if (!closed)
            qCWarning(lcLauncher, "windows \"%s\" still open at the exit",
                      qPrintable(caption(windowCaption)));
        then();
    });
}

void frmMain::endExit()
{
    closeOwnWindows();
    if (m_tray)
        m_tray->hide();
    m_registration.reset();
    emit finished();
}

void showRefusedRegistry(IMessageBoxes &messageBoxes, const QString &registryFolder)
{
    qCWarning(lcLauncher, "the registry folder %s was refused", qPrintable(registryFolder));
    messageBoxes.warn(kMessageTitle, kRefusedRegistry.arg(registryFolder));
}

} // namespace promemo::launcher
