#include "launcher/core/calendarfilekeeper.h"

#include <QDir>
#include <QFileInfo>

#include "common/atomicfile.h"
#include "common/logging.h"
#include "common/notename.h"
#include "common/recurrences.h"
#include "common/settings.h"
#include "launcher/core/calendarfile.h"
#include "launcher/core/identitymap.h"
#include "launcher/core/vdir.h"

namespace promemo::launcher {

using namespace std::chrono_literals;

namespace {

// A note opened on screen has no file until it is saved again, maybe hours later.
constexpr std::chrono::seconds kNoteAwaitsItsSuccessor = 24h;

} // namespace

CalendarFileKeeper::CalendarFileKeeper(const IClock &clock, QString folder, QObject *parent)
    : QObject(parent), m_clock(clock), m_folder(std::move(folder)), m_watch(m_folder)
{
    connect(&m_watch, &FolderWatch::settled, this, &CalendarFileKeeper::refresh);
    refresh();
}

QByteArray CalendarFileKeeper::inputs() const
{
    QByteArray signature;
    const QDir dir(m_folder);
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    for (const QString &name : names) {
        const bool relevant = decodeNoteName(name) || name == kEnteredRecurrencesFile || name == kSettingsFileName;
        if (!relevant)
            continue;
        const QFileInfo info(dir.filePath(name));
        signature += name.toUtf8() + ' ' + QByteArray::number(info.size()) + ' '
                     + QByteArray::number(info.lastModified().toMSecsSinceEpoch()) + '\n';
    }
    return signature;
}

// Only what the suite wrote goes: a calendar file of another program of that name stays.
void CalendarFileKeeper::turnOff()
{
    m_writtenFrom.clear();
    const QDir dir(m_folder);
    const QString ics = dir.filePath(kCalendarFileName.toString());
    if (QFile::exists(ics) && isSuiteCalendar(readWholeFile(ics)) && !QFile::remove(ics))
        qCWarning(lcFiles, "Promemo.ics cannot be removed");
    clearVdir(dir.filePath(kCalendarVdir.toString()), u".ics");
}

void CalendarFileKeeper::refresh()
{
    m_watch.stop();
    const QDir dir(m_folder);
    // rico.dat and Notino.ini are replaced by renames: a watch on the file itself would end.
    if (!Settings(dir.filePath(kSettingsFileName.toString())).desktopFeature(DesktopFeature::CalendarFile)) {
        turnOff();
        return;
    }
    const QByteArray from = inputs();
    // The file's own replacement wakes the watch too; nothing it is made of changed then.
    if (from == m_writtenFrom)
        return;

    const QDateTime now = m_clock.now();
    const QString mapPath = dir.filePath(kCalendarIdentityFile.toString());
    IdentityMap map = IdentityMap::read(mapPath);
    const IdentityMap before = map;

    QList<CalendarNote> notes = calendarNotes(m_folder);
    QList<QStringList> noteKeys;
    for (const CalendarNote &note : std::as_const(notes))
        noteKeys.append(identityKeys(note));
    const QStringList noteUids = map.assign(u"note", noteKeys, now, kNoteAwaitsItsSuccessor);
    for (qsizetype i = 0; i < notes.size(); ++i)
        notes[i].uid = noteUids[i];

    const QList<Recurrence> entered = readRecurrences(dir.filePath(kEnteredRecurrencesFile.toString()));
    QList<QStringList> recurrenceKeys;
    for (const Recurrence &recurrence : entered)
        recurrenceKeys.append(identityKeys(recurrence));
    const QStringList recurrenceUids = map.assign(u"recurrence", recurrenceKeys, now);
    QList<CalendarRecurrence> recurrences;
    for (qsizetype i = 0; i < entered.size(); ++i)
        recurrences.append({entered[i], recurrenceUids[i], map.since(recurrenceUids[i]).year()});

    QStringList errors;
    if (!(map == before)) {
        if (const WriteResult saved = map.write(mapPath); !saved)
            errors.append(saved.error);
    }
    const WriteResult file =
        writeFileAtomically(dir.filePath(kCalendarFileName.toString()), calendarFile(notes, recurrences, now));
    if (!file)
        errors.append(file.error);
    const VdirResult items =
        keepVdir(dir.filePath(kCalendarVdir.toString()), u".ics", calendarItems(notes, recurrences, now));
    errors += items.errors;

    if (errors.isEmpty())
        m_writtenFrom = from;
    for (const QString &error : std::as_const(errors))
        qCWarning(lcFiles).noquote() << "calendar not written:" << error;
    emit written(errors.isEmpty());
}

} // namespace promemo::launcher
