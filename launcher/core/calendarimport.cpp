#include "launcher/core/calendarimport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <libical/ical.h>

#include <algorithm>
#include <memory>

#include "common/archive.h"
#include "common/atomicfile.h"
#include "common/cp1252.h"
#include "common/datetexts.h"
#include "common/daynumber.h"
#include "common/linebreaks.h"
#include "common/logging.h"
#include "common/notefile.h"
#include "common/notename.h"
#include "common/settings.h"
#include "launcher/core/recurrenceentry.h"
#include "launcher/core/vdir.h"

namespace promemo::launcher {
namespace {

using Component = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

// The calendar's day marks read this many records of ricf.dat: a recurrence beyond them is lost.
constexpr int kExpandedRecurrencesRoom = 60;
constexpr int kMaxAdvanceDays = 40;
// Before an agreement: an update from the item was begun.
constexpr char kUpdating = '~';

ForeignItem damaged(const QString &why)
{
    return {ForeignItem::Kind::Damaged, {}, {}, {}, {}, why};
}

ForeignItem left(const QString &uid, const QString &why)
{
    return {ForeignItem::Kind::Left, uid, {}, {}, {}, why};
}

QString nearestStorable(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        if (cp1252::holds(c)) {
            out += one;
            continue;
        }
        // "ő" is "o" with a mark, "ﬁ" is "fi": the letters Windows-1252 has.
        static const QHash<char32_t, QString> plain = {
            {U'ł', u"l"_qs}, {U'Ł', u"L"_qs}, {U'đ', u"d"_qs}, {U'Đ', u"D"_qs}, {U'ı', u"i"_qs},
            {U'ħ', u"h"_qs}, {U'ŧ', u"t"_qs}, {U'\u2010', u"-"_qs}, {U'\u2011', u"-"_qs}, {U'\u2212', u"-"_qs}};
        QString nearest = plain.value(c);
        for (const char32_t part : nearest.isEmpty() ? one.normalized(QString::NormalizationForm_KD).toUcs4()
                                                     : QList<uint>()) {
            if (cp1252::holds(part) && QChar::category(part) != QChar::Mark_NonSpacing)
                nearest += QString::fromUcs4(&part, 1);
        }
        out += nearest.isEmpty() ? one : nearest;
    }
    return cp1252::storable(out);
}

// A moment of the calendar in local time; floating times are local already.
QDateTime localMoment(const icaltimetype &time, const icalproperty *property)
{
    const icaltimezone *zone = icaltime_get_timezone(time);
    if (!zone && property) {
        if (const icalparameter *tzid = icalproperty_get_first_parameter(const_cast<icalproperty *>(property),
                                                                         ICAL_TZID_PARAMETER))
            zone = icaltimezone_get_builtin_timezone(icalparameter_get_tzid(tzid));
    }
    if (!zone && !icaltime_is_utc(time))
        return QDateTime(QDate(time.year, time.month, time.day), QTime(time.hour, time.minute, time.second));
    return QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(time, zone ? zone : icaltimezone_get_utc_timezone()));
}

// The earliest alarm before `start` that is relative to the start or absolute.
std::optional<QDateTime> earliestAlarm(icalcomponent *event, const QDateTime &start)
{
    std::optional<QDateTime> earliest;
    for (icalcomponent *alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT); alarm;
         alarm = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT)) {
        icalproperty *property = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (!property)
            continue;
        const icaltriggertype trigger = icalproperty_get_trigger(property);
        QDateTime moment;
        if (!icaltime_is_null_time(trigger.time)) {
            moment = localMoment(trigger.time, property);
        } else {
            const icalparameter *related = icalproperty_get_first_parameter(property, ICAL_RELATED_PARAMETER);
            if (related && icalparameter_get_related(const_cast<icalparameter *>(related)) == ICAL_RELATED_END)
                continue;
            moment = start.addSecs(icaldurationtype_as_int(trigger.duration));
        }
        if (moment.isValid() && moment < start && (!earliest || moment < *earliest))
            earliest = moment;
    }
    return earliest;
}

// A plain yearly or monthly rule from the start day: how many times a year; 0 for any other.
int timesAYear(const icalrecurrencetype &rule, const icaltimetype &start)
{
    if (rule.count != 0 || !icaltime_is_null_time(rule.until) || rule.by_day[0] != ICAL_RECURRENCE_ARRAY_MAX
        || rule.by_set_pos[0] != ICAL_RECURRENCE_ARRAY_MAX || rule.by_year_day[0] != ICAL_RECURRENCE_ARRAY_MAX
        || rule.by_week_no[0] != ICAL_RECURRENCE_ARRAY_MAX)
        return 0;
    const bool onItsDay = rule.by_month_day[0] == ICAL_RECURRENCE_ARRAY_MAX
                          || (rule.by_month_day[0] == start.day && rule.by_month_day[1] == ICAL_RECURRENCE_ARRAY_MAX);
    const bool inItsMonth = rule.by_month[0] == ICAL_RECURRENCE_ARRAY_MAX
                            || (rule.by_month[0] == start.month && rule.by_month[1] == ICAL_RECURRENCE_ARRAY_MAX);
    const int interval = std::max<int>(rule.interval, 1);
    if (!onItsDay)
        return 0;
    if (rule.freq == ICAL_YEARLY_RECURRENCE && interval == 1 && inItsMonth)
        return 1;
    if (rule.freq == ICAL_MONTHLY_RECURRENCE && rule.by_month[0] == ICAL_RECURRENCE_ARRAY_MAX && 12 % interval == 0)
        return 12 / interval;
    return 0;
}

ForeignItem recurrenceOf(const QString &uid, icalcomponent *event, const icaltimetype &start, int perYear,
                         const QString &summary)
{
    const QDate day(start.year, start.month, start.day);
    const std::optional<QDateTime> alarm = earliestAlarm(event, QDateTime(day, QTime(0, 0)));
    const qint64 advance = alarm ? std::min<qint64>(alarm->date().daysTo(day), kMaxAdvanceDays) : 0;
    const QString text = nearestStorable(withLineFeeds(summary).split(u'\n').join(u' ').simplified());
    const auto two = [](qint64 n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    RecurrenceForm form{two(day.day()), two(day.month()), two(perYear), two(advance), text};
    if (const InsertionCheck check = checkInsertion(form); check.refusal)
        return left(uid, u"the recurrence editor refuses it:"_qs + check.refusal->message.simplified());
    return {ForeignItem::Kind::Recurrence, uid, {}, {}, recurrenceOfEntry(entryOfForm(form, day.year())), {}};
}

QString archivePath(const QString &folder)
{
    return QDir(folder).filePath(QString::fromLatin1(kArchiveFileName));
}

QByteArray hashOf(const QString &text)
{
    return QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex().left(32);
}

NoteContent contentOf(const CalendarNote &note, const QDateTime &now)
{
    return {note.text, dateText(note.date), note.alertMinutes ? alertText(*note.alertMinutes) : QString(),
            changedText(now)};
}

bool alertUpTo(const CalendarNote &note, QDate today)
{
    return note.alertMinutes && note.date <= today;
}

bool isShownName(const QString &fileName)
{
    const auto name = decodeNoteName(fileName);
    return name && name->state == NoteState::Shown;
}

} // namespace

QString noteTextOf(const QString &summary, const QString &description)
{
    const QString head = withLineFeeds(summary).trimmed();
    const QString body = withLineFeeds(description);
    QString text = body.trimmed().isEmpty()                     ? head
                   : head.isEmpty() || body.trimmed().startsWith(head) ? body
                                                                       : head + u'\n' + body;
    text = nearestStorable(text).left(kMaxNoteTextLength);
    return text.replace(u'\n', u"\r\n"_qs);
}

ForeignItem readForeignItem(const QByteArray &bytes)
{
    // A file cut short is not taken for the event it began.
    if (!bytes.trimmed().endsWith("END:VCALENDAR"))
        return damaged(u"not a whole calendar"_qs);
    const Component calendar(icalparser_parse_string(bytes.constData()), &icalcomponent_free);
    if (!calendar || icalcomponent_isa(calendar.get()) != ICAL_VCALENDAR_COMPONENT)
        return damaged(u"not a calendar"_qs);
    icalcomponent *event = nullptr;
    for (icalcomponent *part = icalcomponent_get_first_component(calendar.get(), ICAL_ANY_COMPONENT); part;
         part = icalcomponent_get_next_component(calendar.get(), ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(part);
        if (kind == ICAL_VTODO_COMPONENT || kind == ICAL_VJOURNAL_COMPONENT) {
            const char *uid = icalcomponent_get_uid(part);
            return uid ? left(QString::fromUtf8(uid), u"a to-do or a journal"_qs) : damaged(u"no UID"_qs);
        }
        // The master event; the changed occurrences of a repeating one say nothing more here.
        if (kind == ICAL_VEVENT_COMPONENT && !icalcomponent_get_first_property(part, ICAL_RECURRENCEID_PROPERTY)) {
            event = part;
            break;
        }
    }
    if (!event)
        return damaged(u"no event"_qs);
    const char *rawUid = icalcomponent_get_uid(event);
    if (!rawUid || !*rawUid)
        return damaged(u"no UID"_qs);
    const QString uid = QString::fromUtf8(rawUid);
    icalproperty *startProperty = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
    const icaltimetype start = icalcomponent_get_dtstart(event);
    if (!startProperty || icaltime_is_null_time(start) || !icaltime_is_valid_time(start))
        return damaged(u"no start"_qs);
    const QString summary = QString::fromUtf8(icalcomponent_get_summary(event));
    const QString description = QString::fromUtf8(icalcomponent_get_description(event));

    if (icalproperty *rule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY)) {
        const int perYear = icaltime_is_date(start) ? timesAYear(icalproperty_get_rrule(rule), start) : 0;
        if (perYear == 0)
            return left(uid, u"it repeats other than yearly or monthly on an all-day event"_qs);
        return recurrenceOf(uid, event, start, perYear, summary);
    }
    if (icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY))
        return left(uid, u"it repeats on dates of its own"_qs);

    ForeignItem item{ForeignItem::Kind::Note, uid, {}, {}, {}, {}};
    item.note.text = noteTextOf(summary, description);
    if (icaltime_is_date(start)) {
        item.note.date = QDate(start.year, start.month, start.day);
        item.start = QDateTime(item.note.date, QTime(0, 0));
    } else {
        item.start = localMoment(start, startProperty);
        const QDateTime alert = earliestAlarm(event, item.start).value_or(item.start);
        item.note.date = alert.date();
        item.note.alertMinutes = alert.time().hour() * 60 + alert.time().minute();
        if (item.note.alertMinutes == 0) // midnight: a note's alert field holds no 00.00
            item.note.alertMinutes.reset();
    }
    if (!item.note.date.isValid() || item.note.date < dayZero() || item.note.date > lastDay())
        return left(uid, u"its day is beyond the days a note can have"_qs);
    return item;
}

QByteArray agreementOf(const CalendarNote &note)
{
    return hashOf(note.date.toString(Qt::ISODate) + u'\n' + QString::number(note.alertMinutes.value_or(-1)) + u'\n'
                  + withLineFeeds(note.text));
}

QByteArray agreementOf(const Recurrence &recurrence)
{
    return hashOf(recurrence.date + u'\n' + recurrence.perYear + u'\n' + recurrence.advance + u'\n' + recurrence.text);
}

CalendarImport::CalendarImport(QString folder)
    : m_folder(std::move(folder)), m_vdir(QDir(m_folder).filePath(kCalendarVdir.toString()))
{
}

QByteArray CalendarImport::inputs() const
{
    QByteArray signature;
    const QDir dir(m_vdir);
    for (const QFileInfo &info : dir.entryInfoList({u"*.ics"_qs}, QDir::Files, QDir::Name)) {
        if (isSuiteUid(info.completeBaseName()))
            continue;
        signature += info.fileName().toUtf8() + ' ' + QByteArray::number(info.size()) + ' '
                     + QByteArray::number(info.lastModified().toMSecsSinceEpoch()) + '\n';
    }
    return signature;
}

void CalendarImport::sayOnce(const QString &file, const QString &what)
{
    const auto read = m_read.constFind(file);
    const QString key = file + u' ' + QString::number(read == m_read.cend() ? 0 : read->modified);
    if (m_said.contains(key))
        return;
    m_said.insert(key);
    qCInfo(lcFiles).noquote() << QDir::toNativeSeparators(QDir(m_vdir).filePath(file)) << "left alone:" << what;
}

QHash<QString, CalendarImport::Found> CalendarImport::scan()
{
    QHash<QString, Found> found;
    QHash<QString, Read> read;
    const QDir dir(m_vdir);
    for (const QFileInfo &info : dir.entryInfoList({u"*.ics"_qs}, QDir::Files, QDir::Name)) {
        const QString name = info.fileName();
        if (isSuiteUid(info.completeBaseName()))
            continue;
        Read entry{info.size(), info.lastModified().toMSecsSinceEpoch(), {}};
        const auto known = m_read.constFind(name);
        if (known != m_read.cend() && known->size == entry.size && known->modified == entry.modified)
            entry.item = known->item;
        else
            entry.item = readForeignItem(readWholeFile(info.filePath()));
        read.insert(name, entry);
    }
    m_read = read;
    for (auto it = m_read.cbegin(); it != m_read.cend(); ++it) {
        const ForeignItem &item = it->item;
        if (item.kind == ForeignItem::Kind::Damaged) {
            sayOnce(it.key(), item.why);
        } else if (isSuiteUid(item.uid)) {
            continue; // the suite's own, under another name
        } else if (found.contains(item.uid)) {
            sayOnce(it.key(), u"its UID is another file's too"_qs);
        } else {
            found.insert(item.uid, {it.key(), item});
        }
    }
    return found;
}

CalendarImport::Outcome CalendarImport::reconcile(IdentityMap &map, const IdentityMap &before,
                                                  const QList<CalendarNote> &notes, const QDateTime &now)
{
    Outcome outcome;
    QHash<QString, Found> items = scan();
    QHash<QString, const CalendarNote *> noteOf;
    QSet<QString> linked;
    for (const IdentityMap::Entry &entry : map.entries()) {
        if (entry.isLinked())
            linked.insert(entry.foreignUid);
    }
    // Put-away notes new to the map: one an import wrote before a kill cut it short.
    QHash<QByteArray, QString> newNotes;
    for (const CalendarNote &note : notes) {
        noteOf.insert(note.uid, &note);
        if (!before.entry(note.uid) && !map.entry(note.uid)->isLinked() && !isShownName(note.fileName))
            newNotes.insert(agreementOf(note), note.uid);
    }
    QSet<QString> adopted; // agreed already: their items are taken
    const auto adopt = [&](const QString &uid, const QByteArray &agreement) {
        const QString target = newNotes.take(agreement);
        if (target.isEmpty())
            return false;
        adopted.insert(target);
        const IdentityMap::Entry source = *map.entry(uid);
        IdentityMap::Entry *entry = map.entry(target);
        entry->foreignUid = source.foreignUid;
        entry->itemFile = source.itemFile;
        entry->agreed = agreement;
        map.remove(uid);
        return true;
    };

    // A note removed on the desktop, forgotten by the map: its item goes too.
    for (const IdentityMap::Entry &entry : before.entries()) {
        if (!entry.isLinked() || map.entry(entry.uid) || linked.contains(entry.foreignUid)
            || !items.contains(entry.foreignUid))
            continue;
        const Found found = items.take(entry.foreignUid);
        if (!QFile::remove(QDir(m_vdir).filePath(found.file)))
            outcome.errors.append(u"cannot remove "_qs + found.file);
    }

    QStringList plans;
    QHash<QString, Found> planned;
    QList<std::pair<QString, Found>> updates;
    QStringList uids;
    for (const IdentityMap::Entry &entry : map.entries())
        uids.append(entry.uid);
    for (const QString &uid : std::as_const(uids)) {
        IdentityMap::Entry *entry = map.entry(uid);
        if (!entry || !entry->isLinked() || adopted.contains(uid))
            continue;
        const std::optional<Found> found =
            items.contains(entry->foreignUid) ? std::optional(items.take(entry->foreignUid)) : std::nullopt;
        const bool foundNote = found && found->item.kind == ForeignItem::Kind::Note;
        if (found)
            entry->itemFile = found->file; // a sync engine may have given it another name
        if (entry->kind == kPendingKind) {
            if (!found)
                map.remove(uid);
            else if (!adopt(uid, entry->agreed)) {
                plans.append(uid);
                planned.insert(uid, *found);
            }
            continue;
        }
        if (entry->kind != u"note")
            continue; // a recurrence: made once, then the recurrence editor's
        const CalendarNote *note = noteOf.value(uid);
        if (!note) {
            // Rewritten from its item just before a kill; else open on screen without an alert,
            // or removed and awaiting its successor.
            if (foundNote)
                adopt(uid, agreementOf(found->item.note));
            continue;
        }
        const QByteArray here = agreementOf(*note);
        if (entry->agreed.startsWith(kUpdating) && !found)
            entry->agreed.remove(0, 1);
        if (entry->agreed.startsWith(kUpdating)) {
            // A kill cut its update short: the item's content goes on.
            if (!foundNote || isShownName(note->fileName))
                continue;
            if (const QByteArray there = agreementOf(found->item.note); here == there)
                entry->agreed = there;
            else
                updates.append({uid, *found});
            continue;
        }
        if (here != entry->agreed) {
            if (foundNote && agreementOf(found->item.note) == here) {
                entry->agreed = here;
                continue;
            }
            // Saved on the desktop: the note wins.
            CalendarNote item = *note;
            item.uid = entry->foreignUid;
            const WriteResult written = writeFileAtomically(QDir(m_vdir).filePath(entry->itemFile),
                                                            calendarItems({item}, {}, now).constFirst().content);
            if (written)
                entry->agreed = here;
            else
                outcome.errors.append(written.error);
            continue;
        }
        if (isShownName(note->fileName))
            continue; // open on screen: the user's next save wins
        if (!found) {
            if (removeNote(*note, outcome))
                map.remove(uid);
        } else if (!foundNote) {
            sayOnce(found->file, u"its note stays as it was: "_qs + found->item.why);
        } else if (const QByteArray there = agreementOf(found->item.note); there != entry->agreed) {
            // A kill cut the last update between the new note's write and the old one's removal.
            if (!newNotes.contains(there))
                updates.append({uid, *found});
            else if (removeNote(*note, outcome))
                adopt(uid, there);
        }
    }

    // Marked first: a kill in the middle of an update leaves a note the next look brings on.
    if (!updates.isEmpty()) {
        for (const auto &[uid, found] : std::as_const(updates)) {
            IdentityMap::Entry *entry = map.entry(uid);
            if (!entry->agreed.startsWith(kUpdating))
                entry->agreed.prepend(kUpdating);
        }
        if (const WriteResult marked = map.write(QDir(m_folder).filePath(u"calendario.uid"_qs)); !marked)
            outcome.errors.append(marked.error);
        else {
            for (const auto &[uid, found] : std::as_const(updates)) {
                // Not begun (the note opened on screen meanwhile): its next save may win again.
                if (IdentityMap::Entry *entry = map.entry(uid);
                    !updateNote(*entry, *noteOf.value(uid), found.item.note, now, outcome))
                    entry->agreed.remove(0, 1);
            }
        }
    }

    // The rest are new.
    QList<Found> fresh = items.values();
    std::sort(fresh.begin(), fresh.end(), [](const Found &a, const Found &b) { return a.file < b.file; });
    for (const Found &found : std::as_const(fresh)) {
        const ForeignItem &item = found.item;
        const bool past = item.note.alertMinutes ? item.start < now : item.note.date < now.date();
        if (item.kind == ForeignItem::Kind::Left) {
            sayOnce(found.file, item.why);
        } else if (item.kind == ForeignItem::Kind::Note && past) {
            sayOnce(found.file, u"it is past"_qs);
        } else {
            IdentityMap::Entry &entry = map.add(kPendingKind, now.date());
            entry.foreignUid = item.uid;
            entry.itemFile = found.file;
            entry.agreed = item.kind == ForeignItem::Kind::Note ? agreementOf(item.note) : agreementOf(item.recurrence);
            // A note of the same day, alert and text that the map does not know yet is its note.
            const QString uid = entry.uid;
            if (item.kind == ForeignItem::Kind::Note && adopt(uid, entry.agreed))
                continue;
            plans.append(uid);
            planned.insert(uid, found);
        }
    }
    if (!plans.isEmpty())
        createNotes(map, plans, planned, now, outcome);
    return outcome;
}

// Pending first, in the map, then the notes: a kill leaves a pending import that finds its note.
void CalendarImport::createNotes(IdentityMap &map, const QStringList &plans, const QHash<QString, Found> &planned,
                                 const QDateTime &now, Outcome &outcome)
{
    const QString mapPath = QDir(m_folder).filePath(u"calendario.uid"_qs);
    if (const WriteResult pending = map.write(mapPath); !pending) {
        outcome.errors.append(pending.error);
        return;
    }
    const Settings settings(QDir(m_folder).filePath(kSettingsFileName.toString()));
    const NoteFiles files{m_folder};
    EnteredRecurrences entered = readEnteredRecurrences(QDir(m_folder).filePath(kEnteredRecurrencesFile.toString()));
    QStringList recurrences;
    QStringList noteUids;
    QList<std::pair<NoteName, NoteContent>> toWrite;
    for (const QString &uid : plans) {
        IdentityMap::Entry *entry = map.entry(uid);
        const ForeignItem &item = planned[uid].item;
        if (item.kind == ForeignItem::Kind::Recurrence) {
            if (!entered.readable.contains(item.recurrence))
                entered.readable.append(item.recurrence);
            entry->kind = u"recurrence"_qs;
            entry->keys = hashedKeys(identityKeys(item.recurrence));
            recurrences.append(uid);
            continue;
        }
        noteUids.append(uid);
        toWrite.append({{NoteState::PutAway, dayNumber(item.note.date),
                         colourLetter(settings.noteColour(), settings.noteSize()), item.note.alertMinutes.value_or(0),
                         sizeLetter(pointSize(settings.textSize())), stampOf(now.time())},
                        contentOf(item.note, now)});
    }
    const QList<std::optional<QString>> names = files.createAll(toWrite, &outcome.errors);
    for (qsizetype i = 0; i < noteUids.size(); ++i) {
        if (!names[i])
            continue; // still pending: the next look tries again
        const ForeignItem &item = planned[noteUids[i]].item;
        outcome.notesChanged = true;
        outcome.alertUpToToday |= alertUpTo(item.note, now.date());
        CalendarNote note = item.note;
        note.fileName = *names[i];
        IdentityMap::Entry *entry = map.entry(noteUids[i]);
        entry->kind = u"note"_qs;
        entry->keys = hashedKeys(identityKeys(note));
    }
    if (recurrences.isEmpty())
        return;

    const int year = now.date().year();
    int expanded = 0;
    for (const Recurrence &recurrence : std::as_const(entered.readable))
        expanded += int(expandRecurrence(recurrence, year).size());
    // No room: the newest are left alone.
    while (expanded > kExpandedRecurrencesRoom && !recurrences.isEmpty()) {
        const QString uid = recurrences.takeLast();
        const Recurrence &recurrence = planned[uid].item.recurrence;
        expanded -= int(expandRecurrence(recurrence, year).size());
        entered.readable.removeOne(recurrence);
        sayOnce(planned[uid].file, u"the recurrence files have no room for it"_qs);
        map.remove(uid);
    }
    if (recurrences.isEmpty())
        return;
    if (const WriteResult written = writeRecurrenceFiles(m_folder, entered.readable, year, entered.unreadable);
        !written) {
        outcome.errors.append(written.error);
        for (const QString &uid : std::as_const(recurrences))
            map.entry(uid)->kind = kPendingKind.toString();
        return;
    }
    outcome.recurrencesChanged = true;
}

// With the note program's writers: held, its content replaced, renamed to its day and alert, archived.
// One file all along.
bool CalendarImport::updateNote(IdentityMap::Entry &entry, const CalendarNote &note, const CalendarNote &from,
                                const QDateTime &now, Outcome &outcome)
{
    const NoteFiles files{m_folder};
    std::optional<OpenedNote> opened = files.open(note.fileName);
    if (!opened)
        return false; // opened on screen meanwhile
    NoteName name = *decodeNoteName(opened->file.name());
    const NoteContent content = contentOf(from, now);
    if (const WriteResult saved = files.save(name, content, opened->file); !saved) {
        outcome.errors.append(saved.error);
        if (const WriteResult back = files.putAway(opened->file); !back)
            outcome.errors.append(back.error);
        return false;
    }
    name.state = NoteState::PutAway;
    name.day = dayNumber(from.date);
    name.alertMinutes = from.alertMinutes.value_or(0);
    if (const WriteResult renamed = files.rename(opened->file, name); !renamed)
        outcome.errors.append(renamed.error); // shown: the launcher's next start puts it away
    if (!prependToArchive(archivePath(m_folder), archiveRecordOf(content.date, content.alertTime, content.text, content.changed)))
        qCWarning(lcFiles, "note saved from its calendar item but not archived");
    CalendarNote written = from;
    written.fileName = opened->file.name();
    entry.keys = hashedKeys(identityKeys(written));
    entry.agreed = agreementOf(from);
    outcome.notesChanged = true;
    outcome.alertUpToToday |= alertUpTo(from, now.date());
    return true;
}

// Only once the archive holds its text does a note go.
bool CalendarImport::removeNote(const CalendarNote &note, Outcome &outcome)
{
    const NoteFiles files{m_folder};
    std::optional<OpenedNote> opened = files.open(note.fileName);
    if (!opened)
        return false;
    const NoteContent &content = opened->content;
    const WriteResult archived =
        prependToArchive(archivePath(m_folder), archiveRecordOf(content.date, content.alertTime, content.text, content.changed));
    const WriteResult removed = archived ? files.remove(opened->file) : files.putAway(opened->file);
    if (!archived)
        outcome.errors.append(archived.error);
    if (!removed)
        outcome.errors.append(removed.error);
    outcome.notesChanged = true;
    return archived && removed;
}

} // namespace promemo::launcher
