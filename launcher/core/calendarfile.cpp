#include "launcher/core/calendarfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QHash>
#include <QTimeZone>

#include <libical/ical.h>

#include <memory>

#include "common/linebreaks.h"
#include "common/logging.h"
#include "common/notefile.h"
#include "common/notelisting.h"

namespace promemo::launcher {
namespace {

using Component = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

// Line breaks as RFC 5545 text wants them; libical escapes the rest.
QByteArray utf8Text(const QString &text)
{
    return withLineFeeds(text).toUtf8();
}

QString firstLine(const QString &text)
{
    return withLineFeeds(text).section(u'\n', 0, 0, QString::SectionSkipEmpty).trimmed();
}

icaltimetype dateValue(QDate date)
{
    icaltimetype value = icaltime_null_date();
    value.year = date.year();
    value.month = date.month();
    value.day = date.day();
    return value;
}

// Local (floating) time: the alert sounds at that minute wherever the user is.
icaltimetype localTimeValue(QDate date, int minutes)
{
    icaltimetype value = icaltime_null_time();
    value.year = date.year();
    value.month = date.month();
    value.day = date.day();
    value.hour = minutes / 60;
    value.minute = minutes % 60;
    return value;
}

icaltimetype utcValue(const QDateTime &stamp)
{
    return icaltime_from_timet_with_zone(stamp.toSecsSinceEpoch(), 0, icaltimezone_get_utc_timezone());
}

// Same day and text, same UID; equal notes of one day are told apart by their rank.
QByteArray uid(const QByteArray &kind, const QByteArray &key, QHash<QByteArray, int> &seen)
{
    QByteArray id = kind + '-'
                    + QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(20);
    if (const int rank = seen[id]++; rank > 0)
        id += '-' + QByteArray::number(rank + 1);
    return id + "@promemo";
}

icalcomponent *displayAlarm(const QByteArray &text, int secondsBefore)
{
    icaltriggertype trigger{};
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_from_int(-secondsBefore);
    return icalcomponent_vanew(ICAL_VALARM_COMPONENT, icalproperty_new_action(ICAL_ACTION_DISPLAY),
                               icalproperty_new_trigger(trigger),
                               icalproperty_new_description(text.constData()), nullptr);
}

icalcomponent *event(const QByteArray &uidText, const icaltimetype &stamp, const icaltimetype &start,
                     const QString &text)
{
    const QByteArray summary = utf8Text(firstLine(text));
    return icalcomponent_vanew(ICAL_VEVENT_COMPONENT, icalproperty_new_uid(uidText.constData()),
                               icalproperty_new_dtstamp(stamp), icalproperty_new_dtstart(start),
                               icalproperty_new_summary(summary.constData()),
                               icalproperty_new_description(utf8Text(text).constData()), nullptr);
}

// The repetition that gives the days the recurrence files list: every `12 / perYear` months
// (or yearly), on the entered day or the month's last day when it is shorter.
QByteArray repetitionRule(const Recurrence &recurrence, int step)
{
    const int day = recurrence.day();
    QByteArray days = QByteArray::number(day);
    if (day > 28) {
        days = "28";
        for (int d = 29; d <= day; ++d)
            days += ',' + QByteArray::number(d);
        days += ";BYSETPOS=-1";
    }
    if (step == 0)
        return "FREQ=YEARLY;BYMONTH=" + QByteArray::number(recurrence.month()) + ";BYMONTHDAY=" + days;
    return "FREQ=MONTHLY;INTERVAL=" + QByteArray::number(step) + ";BYMONTHDAY=" + days;
}

int monthStep(int perYear)
{
    return perYear == 2 || perYear == 3 || perYear == 4 || perYear == 6 || perYear == 12 ? 12 / perYear : 0;
}

} // namespace

QList<CalendarNote> putAwayNotes(const QString &folder)
{
    QList<CalendarNote> notes;
    const QDir dir(folder);
    for (const ListedNote &listed : listNotes(folder, {NoteState::PutAway, std::nullopt})) {
        const std::optional<NoteContent> content = readNoteFile(dir.filePath(listed.fileName));
        if (!content) {
            qCWarning(lcFiles, "%s left out of the calendar: it cannot be read",
                      qPrintable(listed.fileName));
            continue;
        }
        CalendarNote note{listed.name.date(), std::nullopt, content->text};
        if (listed.name.alertMinutes > 0)
            note.alertMinutes = listed.name.alertMinutes;
        notes.append(note);
    }
    return notes;
}

QByteArray calendarFile(const QList<CalendarNote> &notes, const QList<Recurrence> &recurrences,
                        int year, const QDateTime &stamp)
{
    const Component calendar(
        icalcomponent_vanew(ICAL_VCALENDAR_COMPONENT, icalproperty_new_version("2.0"),
                            icalproperty_new_prodid("-//Promemo//Promemo//IT"),
                            icalproperty_new_calscale("GREGORIAN"), nullptr),
        &icalcomponent_free);
    const icaltimetype dtstamp = utcValue(stamp);
    QHash<QByteArray, int> seen;

    for (const CalendarNote &note : notes) {
        if (!note.date.isValid())
            continue;
        const QByteArray key = note.date.toString(Qt::ISODate).toUtf8() + '\n' + note.text.toUtf8();
        const icaltimetype start = note.alertMinutes ? localTimeValue(note.date, *note.alertMinutes)
                                                     : dateValue(note.date);
        icalcomponent *item = event(uid("note", key, seen), dtstamp, start, note.text);
        if (note.alertMinutes)
            icalcomponent_add_component(item, displayAlarm(utf8Text(firstLine(note.text)), 0));
        icalcomponent_add_component(calendar.get(), item);
    }

    for (const Recurrence &recurrence : recurrences) {
        const int step = monthStep(recurrence.occurrencesPerYear());
        const int day = recurrence.day();
        // The first occurrence in `year`: the earliest month the step reaches from the entered one.
        int month = recurrence.month();
        if (month < 1 || month > 12 || day < 1 || day > 31) {
            qCWarning(lcFiles, "recurrence %s left out of the calendar: no such day",
                      qPrintable(recurrence.date));
            continue;
        }
        if (step > 0)
            month = (month - 1) % step + 1;
        const QDate first(year, month, std::min(day, QDate(year, month, 1).daysInMonth()));
        const QByteArray key = recurrence.date.toUtf8() + '\n' + recurrence.perYear.toUtf8() + '\n'
                               + recurrence.text.toUtf8();
        icalcomponent *item = event(uid("recurrence", key, seen), dtstamp, dateValue(first), recurrence.text);
        icalcomponent_add_property(
            item, icalproperty_new_rrule(icalrecurrencetype_from_string(repetitionRule(recurrence, step).constData())));
        icalcomponent_add_component(
            item, displayAlarm(utf8Text(firstLine(recurrence.text)), recurrence.advanceDays() * 24 * 3600));
        icalcomponent_add_component(calendar.get(), item);
    }

    char *text = icalcomponent_as_ical_string_r(calendar.get());
    const QByteArray bytes(text);
    icalmemory_free_buffer(text);
    return bytes;
}

} // namespace promemo::launcher
