#include "launcher/core/calendarfilekeeper.h"

#include <QDir>
#include <QFileInfo>

#include "common/atomicfile.h"
#include "common/logging.h"
#include "common/notename.h"
#include "common/recurrences.h"
#include "common/settings.h"
#include "launcher/core/calendarfile.h"

namespace promemo::launcher {

using namespace std::chrono_literals;

CalendarFileKeeper::CalendarFileKeeper(const IClock &clock, QString folder, QObject *parent)
    : QObject(parent), m_clock(clock), m_folder(std::move(folder))
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(300ms);
    connect(&m_quiet, &QTimer::timeout, this, &CalendarFileKeeper::refresh);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_quiet, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_quiet, qOverload<>(&QTimer::start));
    if (!m_watcher.addPath(m_folder))
        qCWarning(lcFiles, "%s is not watched: Promemo.ics follows it only at start",
                  qPrintable(m_folder));
    refresh();
    lookAtMidnight();
}

// A new year moves the recurrences' first days.
void CalendarFileKeeper::lookAtMidnight()
{
    const QDateTime now = m_clock.now();
    const auto untilMidnight = std::chrono::milliseconds(now.msecsTo(QDateTime(now.date().addDays(1), QTime(0, 0))));
    m_clock.after(untilMidnight + 5s, this, [this] {
        refresh();
        lookAtMidnight();
    });
}

QByteArray CalendarFileKeeper::inputs() const
{
    QByteArray signature;
    const QDir dir(m_folder);
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    for (const QString &name : names) {
        const std::optional<NoteName> note = decodeNoteName(name);
        const bool relevant = (note && note->state == NoteState::PutAway)
                              || name == kEnteredRecurrencesFile || name == kSettingsFileName;
        if (!relevant)
            continue;
        const QFileInfo info(dir.filePath(name));
        signature += name.toUtf8() + ' ' + QByteArray::number(info.size()) + ' '
                     + QByteArray::number(info.lastModified().toMSecsSinceEpoch()) + '\n';
    }
    return signature;
}

void CalendarFileKeeper::refresh()
{
    m_quiet.stop();
    // rico.dat and Notino.ini are replaced by renames: a watch on the file itself would end.
    const QString recurrencesPath = QDir(m_folder).filePath(kEnteredRecurrencesFile.toString());
    const QString settingsPath = QDir(m_folder).filePath(kSettingsFileName.toString());
    if (!Settings(settingsPath).desktopFeature(DesktopFeature::CalendarFile)) {
        m_writtenFrom.clear();
        return;
    }
    const QByteArray from = inputs();
    const int year = m_clock.today().year();
    // The file's own replacement wakes the watch too; nothing it is made of changed then.
    if (from == m_writtenFrom && year == m_writtenYear)
        return;
    const QByteArray content = calendarFile(putAwayNotes(m_folder), readRecurrences(recurrencesPath),
                                            year, m_clock.now());
    const WriteResult result =
        writeFileAtomically(QDir(m_folder).filePath(kCalendarFileName.toString()), content);
    if (result) {
        m_writtenFrom = from;
        m_writtenYear = year;
    } else {
        qCWarning(lcFiles).noquote() << "Promemo.ics not written:" << result.error;
    }
    emit written(result.ok());
}

} // namespace promemo::launcher
