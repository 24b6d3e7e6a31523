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

// A day of a month as a day of the year that means the same day every year: counted from the
// start up to February's 28th, from the end after February (the last of February is -307).
int stableYearDay(int month, int day)
{
    if (month == 2 && day > 28)
        return -307;
    const QDate date(2001, month, std::min(day, QDate(2001, month, 1).daysInMonth()));
    if (month <= 2)
        return date.dayOfYear();
    return -(int(date.daysTo(QDate(2001, 12, 31))) + 1);
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

icalcomponent *recurrenceEvent(const CalendarRecurrence &entry, const icaltimetype &stamp)
{
    const Recurrence &recurrence = entry.recurrence;
    const QDate first = firstOccurrence(recurrence, entry.firstYear);
    icalcomponent *item = event(entry.uid, stamp, dateValue(first), dateValue(first.addDays(1)), recurrence.text);
    icalcomponent_add_property(
        item, icalproperty_new_rrule(icalrecurrencetype_from_string(repetitionRule(recurrence).constData())));
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
        take(recurrenceEvent(entry, dtstamp), entry.uid);
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

QDate firstOccurrence(const Recurrence &recurrence, int year)
{
    if (!isValidRecurrence(recurrence))
        return {};
    const int month = monthsOf(recurrence).first();
    return QDate(year, month, std::min(recurrence.day(), QDate(year, month, 1).daysInMonth()));
}

QByteArray repetitionRule(const Recurrence &recurrence)
{
    if (!isValidRecurrence(recurrence))
        return {};
    const int day = recurrence.day();
    const QList<int> months = monthsOf(recurrence);
    const bool dayInEveryMonth =
        std::all_of(months.cbegin(), months.cend(), [day](int month) { return day <= shortestLength(month); });
    const bool lastDayOfEveryMonth =
        std::all_of(months.cbegin(), months.cend(), [day](int month) { return day >= longestLength(month); });
    QByteArray monthDay;
    if (dayInEveryMonth)
        monthDay = QByteArray::number(day);
    else if (lastDayOfEveryMonth)
        monthDay = "-1";
    if (!monthDay.isEmpty()) {
        const int step = monthStep(recurrence.occurrencesPerYear());
        if (step == 0)
            return "FREQ=YEARLY;BYMONTH=" + QByteArray::number(months.first()) + ";BYMONTHDAY=" + monthDay;
        const QByteArray interval = step == 1 ? QByteArray() : ";INTERVAL=" + QByteArray::number(step);
        return "FREQ=MONTHLY" + interval + ";BYMONTHDAY=" + monthDay;
    }
    // The entered day in some months, the last of February in others (the 29th or 30th through
    // February): days of the year that stay the same in leap years.
    QList<int> yearDays;
    for (const int month : months)
        yearDays.append(stableYearDay(month, day));
    QByteArray rule = "FREQ=YEARLY;BYYEARDAY=";
    for (qsizetype i = 0; i < yearDays.size(); ++i)
        rule += (i ? "," : "") + QByteArray::number(yearDays[i]);
    return rule;
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
