#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

#include "common/recurrences.h"

// Promemo.ics: the put-away notes and the recurrences as iCalendar (RFC 5545), for calendar
// programs that subscribe to a local file.
namespace promemo::launcher {

inline constexpr QStringView kCalendarFileName = u"Promemo.ics";

struct CalendarNote
{
    QDate date;
    std::optional<int> alertMinutes; // minutes from midnight; none: an all-day event
    QString text;                    // line breaks CR LF, LF or CR

    bool operator==(const CalendarNote &) const = default;
};

// The put-away notes of `folder`, read from their files; unreadable ones are left out.
QList<CalendarNote> putAwayNotes(const QString &folder);

// The calendar: one event per note (all-day, or timed at its alert with a display alarm at that
// minute) and one all-day repeating event per recurrence, first in `year`, with an alarm its
// advance-notice days before. UIDs depend on the day and the text only. `stamp` is DTSTAMP.
QByteArray calendarFile(const QList<CalendarNote> &notes, const QList<Recurrence> &recurrences,
                        int year, const QDateTime &stamp);

} // namespace promemo::launcher
