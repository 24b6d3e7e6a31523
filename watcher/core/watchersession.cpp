#include "watcher/core/watchersession.h"

#include <QDir>
#include <QFileInfo>

#include "common/notefile.h"
#include "common/notelisting.h"

namespace promemo::watcher {

std::vector<DueNote> findAlerts(const QString &folder, QDate today)
{
    std::vector<ListedNote> notes = listNotes(folder, {NoteState::PutAway, std::nullopt});
    // A note too large to open would be started again at every tick of the launcher's watch.
    std::erase_if(notes, [&folder](const ListedNote &note) {
        return QFileInfo(QDir(folder).filePath(note.fileName)).size() > kMaxNoteFileBytes;
    });
    return alertsToWatch(notes, today);
}

WatcherSession::WatcherSession(const IClock &clock, IProcessStarter &processes, const QString &folder,
                               QObject *parent)
    : QObject(parent), m_clock(clock), m_processes(processes), m_today(clock.today()),
      m_watched(findAlerts(folder, m_today))
{
    // Runs even with no note to wait for, so an idle watcher ends at midnight too.
    m_timer1.setInterval(kTimer1Interval);
    m_timer1.setTimerType(Qt::CoarseTimer);
    connect(&m_timer1, &QTimer::timeout, this, &WatcherSession::Timer1_Timer);
    m_timer1.start();
    // What fell due while no watcher ran starts at once, not a tick later.
    if (!dueAt(m_watched, m_clock.now()).empty())
        QTimer::singleShot(0, this, &WatcherSession::Timer1_Timer);
}

void WatcherSession::Timer1_Timer()
{
    if (m_ended)
        return;
    const QDateTime now = m_clock.now();
    // Every due note starts, those of an earlier day too: none waits for a watcher of its own.
    if (const std::vector<DueNote> due = dueAt(m_watched, now); !due.empty()) {
        emit leaveRegistry();
        for (const DueNote &note : due)
            LanciaNotino(note);
        end();
        return;
    }
    // A later day also covers a first minute that was missed (the machine slept through it).
    if (now.time().msecsSinceStartOfDay() < 60'000 || now.date() != m_today)
        end();
}

void WatcherSession::LanciaNotino(const DueNote &note)
{
    // The colour letter comes from the decoded name: with a five-digit day it is not the sixth
    // character.
    const auto name = decodeNoteName(note.fileName);
    const NoteSize size = name ? name->noteSize() : NoteSize::Normal;
    // A start that failed is logged by the starter; the watcher ends all the same.
    m_processes.start(reopenProgram(size), {note.fileName}, WindowMode::NormalWithoutFocus);
}

void WatcherSession::end()
{
    if (m_ended)
        return;
    m_ended = true;
    m_timer1.stop();
    emit leaveRegistry();
    emit ended();
}

} // namespace promemo::watcher
