#include "watcher/watcherwindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>

#include "common/notefile.h"
#include "common/notelisting.h"
#include "common/programfolder.h"

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

frmControl::frmControl(const Services &services, QWidget *parent)
    : QWidget(parent), m_services(services)
{
    setObjectName(QStringLiteral("frmControl"));
    setWindowTitle(QString::fromUtf16(kWatcherCaption));
    m_registration = m_services.windows.registerWindow(windowTitle());
    if (m_registration)
        connect(m_registration.get(), &RegisteredWindow::closeRequested, this, &QWidget::close);

    m_today = m_services.clock.today();
    m_watched = findAlerts(programFolder(), m_today);
    resize(240, 60);
    // Runs even with no note to wait for, so an idle watcher ends at midnight too.
    m_timer1.setInterval(kTimer1Interval);
    m_timer1.setTimerType(Qt::CoarseTimer);
    connect(&m_timer1, &QTimer::timeout, this, &frmControl::Timer1_Timer);
    m_timer1.start();
    // What fell due while no watcher ran starts at once, not a tick later.
    if (!dueAt(m_watched, m_services.clock.now()).empty())
        QTimer::singleShot(0, this, &frmControl::Timer1_Timer);
}

frmControl::~frmControl() = default;

void frmControl::Timer1_Timer()
{
    if (m_ended)
        return;
    const QDateTime now = m_services.clock.now();
    // Every due note starts, those of an earlier day too: none waits for a watcher of its own.
    if (const std::vector<DueNote> due = dueAt(m_watched, now); !due.empty()) {
        for (const DueNote &note : due)
            LanciaNotino(note);
        close();
        return;
    }
    // A later day also covers a first minute that was missed (the machine slept through it).
    if (now.time().msecsSinceStartOfDay() < 60'000 || now.date() != m_today)
        close();
}

void frmControl::LanciaNotino(const DueNote &note)
{
    // The colour letter comes from the decoded name: with a five-digit day it is not the sixth
    // character.
    const auto name = decodeNoteName(note.fileName);
    const NoteSize size = name ? name->noteSize() : NoteSize::Normal;
    // Off the registry before the starts, which may be slow, and the end: a look meanwhile
    // finds no watcher rather than one that does not answer, and kills none.
    m_registration.reset();
    m_services.processes.start(reopenProgram(size), {note.fileName}, WindowMode::NormalWithoutFocus);
}

void frmControl::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (m_ended)
        return;
    m_ended = true;
    m_timer1.stop();
    m_registration.reset();
    emit ended();
}

} // namespace promemo::watcher
