#include "launcher/core/launchersession.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <vector>

#include "common/atomicfile.h"
#include "common/daynumber.h"
#include "common/duenotes.h"
#include "common/notefile.h"
#include "common/notelisting.h"
#include "common/programfolder.h"
#include "common/recoverycopy.h"
#include "common/recurrences.h"
#include "launcher/core/calendarfilekeeper.h"
#include "launcher/core/contactsfilekeeper.h"
#include "launcher/core/logging.h"
#include "platform/captions.h"

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

QStringList suitePrograms()
{
    return {QStringLiteral("Kundo"), QStringLiteral("Kalvo"), QStringLiteral("Kespo"),
            QStringLiteral("Kirmo"), QStringLiteral("Vigilo"), QStringLiteral("Elenko"),
            QStringLiteral("Mesaro")};
}

LauncherSession::LauncherSession(const IClock &clock, IMessageBoxes &messageBoxes,
                                 IProcessStarter &processes, IWindowRegistry &windows,
                                 QString programFolder, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_messages(messageBoxes, kMessageTitle)
    , m_processes(processes)
    , m_windows(windows)
    , m_folder(std::move(programFolder))
{
    Timer2.setInterval(kWatcherInterval);
    connect(&Timer2, &QTimer::timeout, this, &LauncherSession::Timer2_Timer);
}

LauncherSession::~LauncherSession() = default;

QString LauncherSession::file(const QString &bareName) const
{
    return QDir(m_folder).filePath(bareName);
}

Settings LauncherSession::settings() const
{
    return Settings(file(kSettingsFileName.toString()));
}

bool LauncherSession::start()
{
    if (!Controllo_Files())
        return false;
    // No note window is open yet, so no note counts as shown any more. Done before the
    // watcher starts, which looks at the put-away notes once, at its start.
    putAwayShownNotes();
    m_calendarFile = std::make_unique<CalendarFileKeeper>(m_clock, m_folder, &m_windows);
    m_contactsFile = std::make_unique<ContactsFileKeeper>(m_clock, m_folder);
    startWatcher();
    m_options = LauncherOptions::read(settings());
    Timer2.start();
    return true;
}

bool LauncherSession::Controllo_Files()
{
    const QString settingsPath = file(kSettingsFileName.toString());
    if (!QFileInfo(settingsPath).isFile()) {
        m_messages.warn(kMissingFiles);
        return false;
    }
    // The settings file is there: it, or the folder, refuses the writes.
    if (!settings().writeVersion()) {
        qCWarning(lcLauncher, "cannot write the version into %s", qPrintable(settingsPath));
        m_messages.warn(kNotWritable);
        return false;
    }
    if (missingPrograms()) {
        m_messages.warn(kMissingFiles);
        return false;
    }
    if (!QFileInfo::exists(file(kSoundFile)))
        m_messages.warn(kNoSound);
    return true;
}

bool LauncherSession::missingPrograms() const
{
    const QSet<QString> executables = executableNames(m_folder);
    const QStringList programs = suitePrograms();
    return !std::ranges::all_of(programs, [&executables](const QString &program) {
        return executables.contains(executableName(program).toLower());
    });
}

bool LauncherSession::Ricorrenze() const
{
    const auto recurrences = readRecurrences(file(kExpandedRecurrencesFile.toString()));
    return anyRecurrenceDue(recurrences, m_clock.today());
}

void LauncherSession::putAwayShownNotes()
{
    // What a note killed or cut off from its desktop showed comes back first, as its note.
    const RecoveryOutcome recovery = recoverAbandonedNotes(m_folder);
    if (recovery.recovered + recovery.dropped + recovery.damaged > 0)
        qCInfo(lcLauncher, "recovery copies: %d restored, %d older than their note, %d damaged",
               recovery.recovered, recovery.dropped, recovery.damaged);
    NoteFiles{m_folder}.putAwayAbandonedNotes();
    // A write still running is younger than a minute.
    removeStaleTemporaries(m_folder, 60s);
}

bool LauncherSession::noteListAtStart() const
{
    const ShowList when = settings().showList();
    const bool dependsOnNotes = when == ShowList::Today || when == ShowList::SevenDays;
    std::vector<int> days;
    if (dependsOnNotes) {
        const NoteFilter putAway{.state = NoteState::PutAway, .day = {}};
        for (const ListedNote &note : listNotes(m_folder, putAway))
            days.push_back(note.name.day);
    }
    return openNoteListAtStart(when, days, dependsOnNotes && Ricorrenze(), dayNumber(m_clock.today()));
}

void LauncherSession::setOptions(const LauncherOptions &options)
{
    m_options = options;
    emit optionsChanged();
}

void LauncherSession::newNote()
{
    if (m_exiting)
        return;
    m_clock.after(kLaunchPause, this, [this] {
        if (m_exiting)
            return;
        const QString program = m_options.noteSize == NoteSize::Medium ? QStringLiteral("Kespo")
                                                                       : QStringLiteral("Kundo");
        m_processes.start(program, {m_options.appearanceCode()}, WindowMode::NormalWithFocus);
    });
}

void LauncherSession::mnuAgenda_Click()
{
    m_windows.raise(caption(kAddressBookCaption), this, [this](bool there) {
        if (!there)
            m_processes.start(kAddressBook, {}, WindowMode::NormalWithFocus);
    });
}

void LauncherSession::mnuCalendario_Click()
{
    // The caption ends with the day the calendar was opened, which need not be today.
    m_windows.captionsStartingWith(caption(kCalendarCaptionPrefix), this,
                                   [this](const QStringList &calendars) {
        if (!calendars.isEmpty())
            m_windows.raise(calendars.front(), this);
        else
            m_processes.start(kCalendar, {}, WindowMode::NormalWithFocus);
    });
}

void LauncherSession::startWatcher()
{
    m_processes.start(kWatcher, {}, WindowMode::Minimised);
    m_watcherStartedAt = m_clock.tickCount();
}

void LauncherSession::Timer2_Timer()
{
    if (m_exiting || m_checkingWatcher)
        return;
    // Asked without waiting: a watcher that does not answer must not hold up the launcher.
    m_checkingWatcher = true;
    m_windows.checkPresence(caption(kWatcherCaption), this, [this](const WindowPresence &presence) {
        m_checkingWatcher = false;
        watcherChecked(presence);
    });
}

void LauncherSession::watcherChecked(const WindowPresence &presence)
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
        const bool ended = m_processes.end(pid);
        qCWarning(lcLauncher, "the watcher (process %lld) does not answer%s", pid,
                  ended ? " and was ended" : "; it cannot be ended");
    }
    startWatcher();
}

// A watcher started just before the exit has no window yet to be closed by; it must not
// outlive the launcher. Looked for every 50 ms until it shows or its start bound has passed.
void LauncherSession::awaitStartingWatcher(std::function<void()> then)
{
    const bool starting = m_watcherStartedAt && m_clock.tickCount() - *m_watcherStartedAt < kWatcherStartBound;
    if (!starting) {
        then();
        return;
    }
    m_windows.exists(caption(kWatcherCaption), this, [this, then = std::move(then)](bool there) mutable {
        if (there) {
            then();
            return;
        }
        m_clock.after(50ms, this, [this, then = std::move(then)]() mutable {
            awaitStartingWatcher(std::move(then));
        });
    });
}

void LauncherSession::Esci()
{
    if (m_exiting)
        return;
    m_exiting = true;
    Timer2.stop();
    // Each step once the windows of the one before have gone, or its bound has passed.
    closeEvery(kHelpCaption, [this] {
        closeEvery(kNoteCaption, [this] {
            m_windows.postClose(caption(kAddressBookCaption));
            m_windows.captionsStartingWith(caption(kCalendarCaptionPrefix), this,
                                           [this](const QStringList &calendars) {
                for (const QString &calendar : calendars)
                    m_windows.postClose(calendar);
                awaitStartingWatcher([this] {
                    closeEvery(kWatcherCaption, [this] {
                        // A note the watcher started meanwhile goes too.
                        closeEvery(kNoteCaption, [this] { emit finished(); });
                    });
                });
            });
        });
    });
}

void LauncherSession::closeEvery(const char16_t *windowCaption, std::function<void()> then)
{
    m_windows.closeAll(caption(windowCaption), m_closeBound, this,
                       [windowCaption, then = std::move(then)](bool closed) {
        if (!closed)
            qCWarning(lcLauncher, "windows \"%s\" still open at the exit", qPrintable(caption(windowCaption)));
        then();
    });
}

void showRefusedRegistry(IMessageBoxes &messageBoxes, const QString &registryFolder)
{
    qCWarning(lcLauncher, "the registry folder %s was refused", qPrintable(registryFolder));
    messageBoxes.warn(kMessageTitle, kRefusedRegistry.arg(registryFolder));
}

} // namespace promemo::launcher
