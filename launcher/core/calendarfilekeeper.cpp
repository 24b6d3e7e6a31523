#include "launcher/core/calendarfilekeeper.h"

#include <QDir>
#include <QFileInfo>

#include "common/atomicfile.h"
#include "platform/captions.h"
#include "platform/windowregistry.h"
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
// A sync engine replaces the vdir's files, or the vdir itself, by renames a watch may miss.
constexpr std::chrono::milliseconds kRescan = 3s;
constexpr std::chrono::milliseconds kWatcherCloseBound = 5s;

QList<CalendarNote> notesWithUids(const QString &folder, IdentityMap &map, const QDateTime &now)
{
    QList<CalendarNote> notes = calendarNotes(folder);
    QList<QStringList> keys;
    for (const CalendarNote &note : std::as_const(notes))
        keys.append(identityKeys(note));
    const QStringList uids = map.assign(u"note", keys, now, kNoteAwaitsItsSuccessor);
    for (qsizetype i = 0; i < notes.size(); ++i)
        notes[i].uid = uids[i];
    return notes;
}

QList<CalendarRecurrence> recurrencesWithUids(const QString &folder, IdentityMap &map, const QDateTime &now)
{
    const QList<Recurrence> entered = readRecurrences(QDir(folder).filePath(kEnteredRecurrencesFile.toString()));
    QList<QStringList> keys;
    for (const Recurrence &recurrence : entered)
        keys.append(identityKeys(recurrence));
    const QStringList uids = map.assign(u"recurrence", keys, now);
    QList<CalendarRecurrence> recurrences;
    for (qsizetype i = 0; i < entered.size(); ++i)
        recurrences.append({entered[i], uids[i], map.since(uids[i]).year()});
    return recurrences;
}

// An imported item is written from its note only when the note changes (CalendarImport): in the
// vdir it is left out, and in Promemo.ics it has its own UID.
template<typename Item>
QList<Item> ownItems(QList<Item> &items, const IdentityMap &map)
{
    QList<Item> own;
    for (Item &item : items) {
        const IdentityMap::Entry *entry = map.entry(item.uid);
        if (entry && entry->isLinked())
            item.uid = entry->foreignUid;
        else
            own.append(item);
    }
    return own;
}

} // namespace

CalendarFileKeeper::CalendarFileKeeper(const IClock &clock, QString folder, IWindowRegistry *windows,
                                       QObject *parent)
    : QObject(parent), m_clock(clock), m_folder(std::move(folder)), m_windows(windows),
      m_watch(m_folder, {QDir(m_folder).filePath(kCalendarVdir.toString())}), m_import(m_folder)
{
    connect(&m_watch, &FolderWatch::settled, this, &CalendarFileKeeper::refresh);
    m_rescan.setInterval(kRescan);
    m_rescan.setTimerType(Qt::CoarseTimer);
    connect(&m_rescan, &QTimer::timeout, this, [this] {
        if (inputs() != m_writtenFrom)
            refresh();
    });
    m_rescan.start();
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
    return signature + m_import.inputs();
}

// Only what the suite wrote goes: a calendar file of another program of that name stays.
void CalendarFileKeeper::turnOff()
{
    // Looked at again once something changed, Notino.ini included.
    m_writtenFrom = inputs();
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
    // One keeper at a time: two launchers of one folder would both import an item.
    const FileLock lock(mapPath, 0ms);
    if (!lock.isLocked())
        return;
    m_watch.watchFilesAgain();
    IdentityMap map = IdentityMap::read(mapPath);
    const IdentityMap before = map;
    QList<CalendarNote> notes = notesWithUids(m_folder, map, now);
    QList<CalendarRecurrence> recurrences = recurrencesWithUids(m_folder, map, now);
    const CalendarImport::Outcome imported = m_import.reconcile(map, before, notes, now);
    if (imported.notesChanged)
        notes = notesWithUids(m_folder, map, now);
    if (imported.recurrencesChanged)
        recurrences = recurrencesWithUids(m_folder, map, now);
    if (imported.alertUpToToday && m_windows)
        m_windows->closeAll(QString::fromUtf16(kWatcherCaption), kWatcherCloseBound, this, [](bool) {});

    QStringList errors = imported.errors;
    if (!(map == before)) {
        if (const WriteResult saved = map.write(mapPath); !saved)
            errors.append(saved.error);
    }
    const QList<CalendarNote> ownNotes = ownItems(notes, map);
    const QList<CalendarRecurrence> ownRecurrences = ownItems(recurrences, map);
    const WriteResult file =
        writeFileAtomically(dir.filePath(kCalendarFileName.toString()), calendarFile(notes, recurrences, now));
    if (!file)
        errors.append(file.error);
    const VdirResult items = keepVdir(dir.filePath(kCalendarVdir.toString()), u".ics",
                                      calendarItems(ownNotes, ownRecurrences, now));
    errors += items.errors;

    // The import's writes change what the keeper reads: the next look finds them agreed.
    if (errors.isEmpty() && !imported.notesChanged && !imported.recurrencesChanged)
        m_writtenFrom = from;
    for (const QString &error : std::as_const(errors))
        qCWarning(lcFiles).noquote() << "calendar not written:" << error;
    emit written(errors.isEmpty());
}

} // namespace promemo::launcher
