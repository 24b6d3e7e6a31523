#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

#include "common/recurrences.h"
#include "launcher/core/vdir.h"

// The notes and the recurrences as iCalendar (RFC 5545): Promemo.ics for calendar programs that
// subscribe to a local file, and one item per note or recurrence for the calendar vdir.
namespace promemo::launcher {

inline constexpr QStringView kCalendarFileName = u"Promemo.ics";

// Minutes a note with an alert lasts in a calendar: the alert is a moment, calendars want an end.
inline constexpr int kAlertEventMinutes = 15;

struct CalendarNote
{
    QDate date;
    std::optional<int> alertMinutes; // minutes from midnight; none: an all-day event
    QString text;                    // line breaks CR LF, LF or CR
    QString uid;
    QString fileName;                // bare name of its file; empty for a note in memory

    bool operator==(const CalendarNote &) const = default;
};

struct CalendarRecurrence
{
    Recurrence recurrence;
    QString uid;
    int firstYear = 0; // the year of the first occurrence: the year it was first seen

    bool operator==(const CalendarRecurrence &) const = default;
};

// The notes of `folder` a calendar shows: the put-away ones and the shown ones with an alert,
// read from their files; unreadable ones are left out. No UIDs yet.
QList<CalendarNote> calendarNotes(const QString &folder);

// What tells a note or a recurrence from the others across saves, strongest first.
QStringList identityKeys(const CalendarNote &note);
QStringList identityKeys(const Recurrence &recurrence);

// One repeating event of a recurrence: a rule and the months it falls in.
struct Repetition
{
    QByteArray rule;
    QList<int> months;

    bool operator==(const Repetition &) const = default;
};

// The repetitions that give the days the recurrence files list: every `12 / perYear` months (or
// yearly), on the entered day or the month's last day when the month is shorter, each in a plain
// rule every calendar program reads: the entered day where every month of the rule has it, the
// last day (-1) where every month ends before or on it. The 29th or 30th through February is
// both: two repetitions, the entered day in the other months and February's last. Empty for a
// day no month has.
QList<Repetition> repetitionsOf(const Recurrence &recurrence);
// The first day of `repetition` in `year`.
QDate firstOccurrence(const Recurrence &recurrence, const Repetition &repetition, int year);

// The UID of the second repetition of a recurrence whose UID is `uid`.
QString secondRepetitionUid(const QString &uid);

// The calendar: one event per note (all-day, or timed at its alert for a quarter of an hour
// with a display alarm at that minute) and one all-day repeating event per repetition of a
// recurrence, with an alarm its advance-notice days before. `stamp` is DTSTAMP.
QByteArray calendarFile(const QList<CalendarNote> &notes, const QList<CalendarRecurrence> &recurrences,
                        const QDateTime &stamp);
// The same events, each a calendar of its own, named by its UID.
QList<VdirItem> calendarItems(const QList<CalendarNote> &notes, const QList<CalendarRecurrence> &recurrences,
                              const QDateTime &stamp);

// Whether `bytes` is a calendar this suite wrote.
bool isSuiteCalendar(const QByteArray &bytes);

} // namespace promemo::launcher
