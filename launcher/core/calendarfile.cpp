#include "launcher/core/calendarfile.h"

#include <QDir>

#include <libical/ical.h>

#include <algorithm>
#include <memory>

#include "common/linebreaks.h"
#include "common/logging.h"
#include "common/notefile.h"
#include "common/notelisting.h"

namespace promemo::launcher {
namespace {

using Component = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

constexpr const char *kProductId = "-//Promemo//Promemo//IT";
// The summary of a note without text.
constexpr QStringView kUntitled = u"Notino";

// Line breaks as RFC 5545 text wants them; libical escapes the rest.
QByteArray utf8Text(const QString &text)
{
    return withLineFeeds(text).toUtf8();
}

QString firstLine(const QString &text)
{
    const QStringList lines = withLineFeeds(text).split(u'\n');
    const auto found = std::find_if(lines.cbegin(), lines.cend(),
                                    [](const QString &line) { return !line.trimmed().isEmpty(); });
    return found == lines.cend() ? kUntitled.toString() : found->trimmed();
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
icaltimetype localTimeValue(const QDateTime &moment)
{
    icaltimetype value = icaltime_null_time();
    value.year = moment.date().year();
    value.month = moment.date().month();
    value.day = moment.date().day();
    value.hour = moment.time().hour();
    value.minute = moment.time().minute();
    return value;
}

icaltimetype utcValue(const QDateTime &stamp)
{
    return icaltime_from_timet_with_zone(stamp.toSecsSinceEpoch(), 0, icaltimezone_get_utc_timezone());
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

icalcomponent *event(const QString &uid, const icaltimetype &stamp, const icaltimetype &start,
                     const icaltimetype &end, const QString &text)
{
    return icalcomponent_vanew(ICAL_VEVENT_COMPONENT, icalproperty_new_uid(uid.toUtf8().constData()),
                               icalproperty_new_dtstamp(stamp), icalproperty_new_dtstart(start),
                               icalproperty_new_dtend(end),
                               icalproperty_new_summary(utf8Text(firstLine(text)).constData()),
                               icalproperty_new_description(utf8Text(text).constData()), nullptr);
}

int monthStep(int perYear)
{
    return perYear == 2 || perYear == 3 || perYear == 4 || perYear == 6 || perYear == 12 ? 12 / perYear : 0;
}

// The months the recurrence falls in, from January on.
QList<int> monthsOf(const Recurrence &recurrence)
{
    const int step = monthStep(recurrence.occurrencesPerYear());
    if (step == 0)
        return {recurrence.month()};
    QList<int> months;
    for (int month = (recurrence.month() - 1) % step + 1; month <= 12; month += step)
        months.append(month);
    return months;
}

int shortestLength(int month)
{
    return month == 2 ? 28 : QDate(2001, month, 1).daysInMonth();
}

int longestLength(int month)
{
    return month == 2 ? 29 : QDate(2001, month, 1).daysInMonth();
}

bool isValidRecurrence(const Recurrence &recurrence)
{
    const int month = recurrence.month();
    return month >= 1 && month <= 12 && recurrence.day() >= 1 && recurrence.day() <= 31;
}

Component newCalendar()
{
    return Component(icalcomponent_vanew(ICAL_VCALENDAR_COMPONENT, icalproperty_new_version("2.0"),
                                         icalproperty_new_prodid(kProductId),
                                         icalproperty_new_calscale("GREGORIAN"), nullptr),
                     &icalcomponent_free);
}

QByteArray textOf(icalcomponent *calendar)
{
    char *text = icalcomponent_as_ical_string_r(calendar);
    const QByteArray bytes(text);
    icalmemory_free_buffer(text);
    return bytes;
}

icalcomponent *noteEvent(const CalendarNote &note, const icaltimetype &stamp)
{
    icalcomponent *item = nullptr;
    if (note.alertMinutes) {
        const QDateTime start(note.date, QTime(0, 0).addSecs(*note.alertMinutes * 60));
        item = event(note.uid, stamp, localTimeValue(start),
                     localTimeValue(start.addSecs(kAlertEventMinutes * 60)), note.text);
        icalcomponent_add_component(item, displayAlarm(utf8Text(firstLine(note.text)), 0));
    } else {
        item = event(note.uid, stamp, dateValue(note.date), dateValue(note.date.addDays(1)), note.text);
    }
    return item;
}

icalcomponent *recurrenceEvent(const CalendarRecurrence &entry, const Repetition &repetition, const QString &uid,
                               const icaltimetype &stamp)
{
    const Recurrence &recurrence = entry.recurrence;
    const QDate first = firstOccurrence(recurrence, repetition, entry.firstYear);
    icalcomponent *item = event(uid, stamp, dateValue(first), dateValue(first.addDays(1)), recurrence.text);
    icalcomponent_add_property(item, icalproperty_new_rrule(icalrecurrencetype_from_string(repetition.rule.constData())));
    icalcomponent_add_component(
        item, displayAlarm(utf8Text(firstLine(recurrence.text)), recurrence.advanceDays() * 24 * 3600));
    return item;
}

// Every event, built once: the whole calendar holds them all, an item one each.
template<typename Take>
void forEachEvent(const QList<CalendarNote> &notes, const QList<CalendarRecurrence> &recurrences,
                  const QDateTime &stamp, Take take)
{
    const icaltimetype dtstamp = utcValue(stamp);
    for (const CalendarNote &note : notes) {
        if (note.date.isValid())
            take(noteEvent(note, dtstamp), note.uid);
    }
    for (const CalendarRecurrence &entry : recurrences) {
        if (!isValidRecurrence(entry.recurrence) || entry.firstYear < 1) {
            qCWarning(lcFiles, "recurrence %s left out of the calendar: no such day",
                      qPrintable(entry.recurrence.date));
            continue;
        }
        const QList<Repetition> repetitions = repetitionsOf(entry.recurrence);
        for (qsizetype i = 0; i < repetitions.size(); ++i) {
            const QString uid = i == 0 ? entry.uid : secondRepetitionUid(entry.uid);
            take(recurrenceEvent(entry, repetitions[i], uid, dtstamp), uid);
        }
    }
}

} // namespace

QList<CalendarNote> calendarNotes(const QString &folder)
{
    QList<CalendarNote> notes;
    const QDir dir(folder);
    for (const ListedNote &listed : listNotes(folder)) {
        const bool hasAlert = listed.name.alertMinutes > 0;
        if (listed.name.state == NoteState::Shown && !hasAlert)
            continue;
        const std::optional<NoteContent> content = readNoteFile(dir.filePath(listed.fileName));
        if (!content) {
            qCWarning(lcFiles, "%s left out of the calendar: it cannot be read",
                      qPrintable(listed.fileName));
            continue;
        }
        CalendarNote note{listed.name.date(), std::nullopt, content->text, {}, listed.fileName};
        if (hasAlert)
            note.alertMinutes = listed.name.alertMinutes;
        notes.append(note);
    }
    return notes;
}

QStringList identityKeys(const CalendarNote &note)
{
    // Putting a note away changes only the state letter of its name.
    return {note.fileName.mid(1), u"text\n"_qs + withLineFeeds(note.text)};
}

QStringList identityKeys(const Recurrence &recurrence)
{
    const QString when = recurrence.date + u'\n' + recurrence.perYear;
    return {when + u'\n' + recurrence.advance + u'\n' + recurrence.text, recurrence.text, when};
}

QString secondRepetitionUid(const QString &uid)
{
    return uid + u"-2"_qs;
}

QDate firstOccurrence(const Recurrence &recurrence, const Repetition &repetition, int year)
{
    const int month = repetition.months.first();
    return QDate(year, month, std::min(recurrence.day(), QDate(year, month, 1).daysInMonth()));
}

QList<Repetition> repetitionsOf(const Recurrence &recurrence)
{
    if (!isValidRecurrence(recurrence))
        return {};
    const int day = recurrence.day();
    const QList<int> months = monthsOf(recurrence);
    QList<int> onTheDay;
    QList<int> onTheLast;
    for (const int month : months) {
        if (day <= shortestLength(month))
            onTheDay.append(month);
        else
            onTheLast.append(month); // 29th and 30th of February, 31st of a shorter month
    }
    const int step = monthStep(recurrence.occurrencesPerYear());
    const auto rule = [&](const QList<int> &inMonths, const QByteArray &monthDay) {
        if (inMonths.size() == months.size() && step != 0) {
            const QByteArray interval = step == 1 ? QByteArray() : ";INTERVAL=" + QByteArray::number(step);
            return Repetition{"FREQ=MONTHLY" + interval + ";BYMONTHDAY=" + monthDay, inMonths};
        }
        QByteArray list;
        for (const int month : inMonths)
            list += (list.isEmpty() ? "" : ",") + QByteArray::number(month);
        return Repetition{"FREQ=YEARLY;BYMONTH=" + list + ";BYMONTHDAY=" + monthDay, inMonths};
    };
    // A day every month of the rule has, or beyond every month's end, is one plain rule.
    const bool lastOfEveryMonth = std::all_of(months.cbegin(), months.cend(),
                                              [day](int month) { return day >= longestLength(month); });
    if (onTheLast.isEmpty())
        return {rule(months, QByteArray::number(day))};
    if (lastOfEveryMonth)
        return {rule(months, "-1")};
    return {rule(onTheDay, QByteArray::number(day)), rule(onTheLast, "-1")};
}

QByteArray calendarFile(const QList<CalendarNote> &notes, const QList<CalendarRecurrence> &recurrences,
                        const QDateTime &stamp)
{
    const Component calendar = newCalendar();
    forEachEvent(notes, recurrences, stamp,
                 [&](icalcomponent *item, const QString &) { icalcomponent_add_component(calendar.get(), item); });
    return textOf(calendar.get());
}

QList<VdirItem> calendarItems(const QList<CalendarNote> &notes, const QList<CalendarRecurrence> &recurrences,
                              const QDateTime &stamp)
{
    QList<VdirItem> items;
    forEachEvent(notes, recurrences, stamp, [&](icalcomponent *item, const QString &uid) {
        const Component calendar = newCalendar();
        icalcomponent_add_component(calendar.get(), item);
        items.append({uid, textOf(calendar.get())});
    });
    return items;
}

bool isSuiteCalendar(const QByteArray &bytes)
{
    return bytes.startsWith("BEGIN:VCALENDAR") && bytes.contains(QByteArray("PRODID:") + kProductId);
}

} // namespace promemo::launcher
