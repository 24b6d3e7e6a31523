#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include "common/recurrences.h"

// The calendar's date rules and the day sets its month view marks.
namespace promemo {

// 1 for 1 January, 365 or 366 for 31 December.
int dayOfYear(QDate date);

// Weeks run Monday to Sunday; the week of 1 January is week 1 and every later Monday starts
// the next, so a year that begins on Sunday has its week 2 on 2 January.
int weekNumber(QDate date);

// The days of the note files in `folder`, put away first, then shown; a day once.
QList<QDate> noteDays(const QString &folder);

// The days of `records` in the year 2000, so that 29 February is kept; a day once.
QList<QDate> recurrenceDays(const QList<Recurrence> &records);

// Whether `date` carries a note: day, month and year must match.
bool hasNote(const QList<QDate> &noteDays, QDate date);
// Whether a recurrence falls on `date`: day and month match, so 29 February marks only leap
// years.
bool hasRecurrence(const QList<QDate> &recurrenceDays, QDate date);

struct YearListEntry
{
    QDate date;
    QString text;           // the holiday's name or the recurrence's text
    bool national = false;  // a national holiday
    int listBlanks = 0;     // blanks before a national holiday's mark
};

// The holidays of `year` in table order, then each recurrence record's date in `year` with its
// text; a recurrence on 29 February is left out of a common year.
QList<YearListEntry> yearList(int year, const QList<Recurrence> &records);

// The year list's line: the day of the year minus one in three digits (so the lines sort in
// date order as text), "   dd/mm -" and the Italian weekday in a column of 24, a TAB, the
// text, and for a national holiday its blanks, a TAB and "Festività Nazionale".
QString yearListLine(const YearListEntry &entry);

} // namespace promemo
