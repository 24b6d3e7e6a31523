#include "watcher/watcherwindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>

#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/notelisting.h"
#include "common/programfolder.h"

namespace promemo::watcher {

std::optional<DueNote> findDueNote(const QString &folder, int today)
{
    std::vector<ListedNote> notes = listNotes(folder, {NoteState::PutAway, today});
    // A note too large to open would be started again at every tick of the launcher's watch.
    std::erase_if(notes, [&folder](const ListedNote &note) {
        return QFileInfo(QDir(folder).filePath(note.fileName)).size() > kMaxNoteFileBytes;
    });
    return chooseDueNote(notes, today);
}

frmControl::frmControl(const Services &services, QWidget *parent)
    : QWidget(parent), m_services(services)
{
    setObjectName(QStringLiteral("frmControl"));
    setWindowTitle(QString::fromUtf16(kWatcherCaption));
    m_registration = m_services.windows.registerWindow(windowTitle());
    if (m_registration)
        connect(m_registration.get(), &RegisteredWindow::closeRequested, this, &QWidget::close);

    m_today = dayNumber(m_services.clock.today());
    if (const auto due = findDueNote(programFolder(), m_today)) {
        m_noteName = due->fileName;
        m_alertMinute = due->alertMinutes;
    }
    resize(240, 60);
    // Runs even with no note to wait for, so an idle watcher ends at midnight too.
    m_timer1.setInterval(kTimer1Interval);
    m_timer1.setTimerType(Qt::CoarseTimer);
    connect(&m_timer1, &QTimer::timeout, this, &frmControl::Timer1_Timer);
    m_timer1.start();
}

frmControl::~frmControl() = default;

void frmControl::Timer1_Timer()
{
    if (m_ended)
        return;
    // A later day also covers a first minute that was missed (the machine slept through it).
    if (m_services.clock.minutesSinceMidnight() == 0
        || dayNumber(m_services.clock.today()) != m_today) {
        close();
        return;
    }
    if (!m_noteName.isEmpty() && m_services.clock.minutesSinceMidnight() >= m_alertMinute)
        LanciaNotino();
}

void frmControl::LanciaNotino()
{
    // The colour letter comes from the decoded name: with a five-digit day it is not the sixth
    // character.
    const auto name = decodeNoteName(m_noteName);
    const NoteSize size = name ? name->noteSize() : NoteSize::Normal;
    m_services.processes.start(reopenProgram(size), {m_noteName}, WindowMode::NormalWithoutFocus);
    close();
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
