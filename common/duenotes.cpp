#include "common/duenotes.h"

#include <algorithm>

#include "common/datetexts.h"
#include "common/daynumber.h"

namespace promemo {

std::optional<QDate> nextOccurrence(const Recurrence &recurrence, QDate today)
{
    const int year = recurrence.month() < today.month() ? today.year() + 1 : today.year();
    const QDate date = recurrence.dateInYear(year);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<int> daysUntilDue(const Recurrence &recurrence, QDate today)
{
    const auto occurrence = nextOccurrence(recurrence, today);
    if (!occurrence)
        return std::nullopt;
    const qint64 days = today.daysTo(*occurrence);
    if (days < 0 || days > recurrence.advanceDays())
        return std::nullopt;
    return int(days);
}

bool anyRecurrenceDue(const QList<Recurrence> &recurrences, QDate today)
{
    return std::any_of(recurrences.begin(), recurrences.end(),
                       [today](const Recurrence &r) { return daysUntilDue(r, today).has_value(); });
}

bool openNoteListAtStart(ShowList when, const std::vector<int> &putAwayDays, bool recurrenceDue,
                         int today)
{
    const auto anyDay = [&](int last) {
        return std::any_of(putAwayDays.begin(), putAwayDays.end(),
                           [&](int day) { return day >= today && day <= last; });
    };
    switch (when) {
    case ShowList::Never:
        return false;
    case ShowList::Today:
        return recurrenceDue || anyDay(today);
    case ShowList::SevenDays:
        return recurrenceDue || anyDay(today + 7);
    case ShowList::Always:
        break;
    }
    return true;
}

bool isMomentDue(QDate day, int alertMinutes, const QDateTime &now)
{
    const QDate today = now.date();
    if (day != today)
        return day < today;
    return now.time().msecsSinceStartOfDay() / 60000 >= alertMinutes;
}

QDateTime alertMoment(QDate day, int alertMinutes)
{
    // Inside the hour the clocks skip, the first valid minute after it is the moment. Bounded:
    // no gap is longer than a day.
    for (int minutes = alertMinutes; minutes < minutesPerDay; ++minutes) {
        const QTime time(minutes / 60, minutes % 60);
        const QDateTime moment(day, time);
        if (moment.isValid() && moment.date() == day && moment.time() == time)
            return moment;
    }
    return QDateTime(day.addDays(1), QTime(0, 0));
}

std::vector<DueNote> alertsToWatch(const std::vector<ListedNote> &notes, QDate today)
{
    const int todayNumber = dayNumber(today);
    std::vector<DueNote> watched;
    for (const ListedNote &note : notes) {
        const NoteName &name = note.name;
        if (name.state == NoteState::PutAway && name.day <= todayNumber && name.alertMinutes > 0)
            watched.push_back({note.fileName, dateOfDayNumber(name.day), name.alertMinutes});
    }
    std::stable_sort(watched.begin(), watched.end(), [](const DueNote &a, const DueNote &b) {
        return std::pair(a.day, a.alertMinutes) < std::pair(b.day, b.alertMinutes);
    });
    return watched;
}

std::vector<DueNote> dueAt(const std::vector<DueNote> &watched, const QDateTime &now)
{
    std::vector<DueNote> due;
    for (const DueNote &note : watched) {
        if (!isMomentDue(note.day, note.alertMinutes, now))
            break;
        due.push_back(note);
    }
    return due;
}

QString reopenProgram(NoteSize size)
{
    return size == NoteSize::Medium ? QStringLiteral("Kirmo") : QStringLiteral("Kalvo");
}

} // namespace promemo
