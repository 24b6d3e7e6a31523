#include "calendarmodel.h"

#include <QLocale>

#include <algorithm>

#include "common/datetexts.h"
#include "calendar/core/holidays.h"
#include "common/notelisting.h"

namespace promemo {
namespace {

// The year of the recurrence marks: a leap year, so every day and month has a date.
constexpr int kRecurrenceYear = 2000;
constexpr int kDateColumn = 24;

void appendOnce(QList<QDate> &days, QDate day)
{
    if (day.isValid() && !days.contains(day))
        days.append(day);
}

} // namespace

int dayOfYear(QDate date)
{
    return date.dayOfYear();
}

int weekNumber(QDate date)
{
    if (!date.isValid())
        return 0;
    const QDate newYear(date.year(), 1, 1);
    // Days from 1 January to the first Monday after it (7 when 1 January is a Monday).
    const int toFirstMonday = 7 - (newYear.dayOfWeek() - Qt::Monday);
    const int day = dayOfYear(date) - 1;
    if (day < toFirstMonday)
        return 1;
    return 2 + (day - toFirstMonday) / 7;
}

QList<QDate> noteDays(const QString &folder)
{
    QList<QDate> days;
    for (const NoteState state : {NoteState::PutAway, NoteState::Shown}) {
        for (const ListedNote &note : listNotes(folder, {.state = state, .day = std::nullopt}))
            appendOnce(days, note.name.date());
    }
    return days;
}

QList<QDate> recurrenceDays(const QList<Recurrence> &records)
{
    QList<QDate> days;
    for (const Recurrence &record : records)
        appendOnce(days, record.dateInYear(kRecurrenceYear));
    return days;
}

bool hasNote(const QList<QDate> &noteDays, QDate date)
{
    return date.isValid() && noteDays.contains(date);
}

bool hasRecurrence(const QList<QDate> &recurrenceDays, QDate date)
{
    return date.isValid() && std::ranges::any_of(recurrenceDays, [&](QDate day) {
               return day.day() == date.day() && day.month() == date.month();
           });
}

QList<YearListEntry> yearList(int year, const QList<Recurrence> &records)
{
    QList<YearListEntry> entries;
    for (const DatedHoliday &holiday : holidaysOfYear(year))
        entries.append({holiday.date, holiday.name, holiday.national, holiday.listBlanks});
    for (const Recurrence &record : records) {
        const QDate date = record.dateInYear(year);
        if (date.isValid())
            entries.append({date, record.text});
    }
    return entries;
}

QString yearListLine(const YearListEntry &entry)
{
    const QString weekday = QLocale(QLocale::Italian).dayName(entry.date.dayOfWeek());
    const QString column = QStringLiteral("   ") + dateText(entry.date).left(5)
                           + QStringLiteral(" -") + weekday + QString(10, u' ');
    QString line = QStringLiteral("%1").arg(dayOfYear(entry.date) - 1, 3, 10, QLatin1Char('0'))
                   + column.left(kDateColumn) + u'\t' + entry.text;
    if (entry.national)
        line += QString(entry.listBlanks, u' ') + u'\t' + QStringLiteral("Festività Nazionale");
    return line;
}

} // namespace promemo
